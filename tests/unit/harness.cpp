#include "harness.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

namespace harness {

unsigned long nowMs = 0;
std::time_t baseSeconds = 1000000;
std::vector<unsigned> rests;
unsigned long vsyncCount = 0;
std::vector<std::string> messages;
std::deque<int> keyQueue;
BITMAP* mouseSprite = nullptr;
int mouseSpriteCalls = 0;

namespace {
std::multimap<unsigned long, std::function<void()>> scheduled;
// A test whose waits never end would hang; past this much simulated time the
// run stops with a clear message instead.
const unsigned long kRunawayMs = 30UL * 60UL * 1000UL;

void runDue() {
    while (!scheduled.empty() && scheduled.begin()->first <= nowMs) {
        auto action = scheduled.begin()->second;
        scheduled.erase(scheduled.begin());
        action();
    }
    if (nowMs > kRunawayMs) {
        std::fprintf(stderr, "harness: simulated clock ran past 30 minutes; a wait never ended\n");
        std::abort();
    }
}

void advance(unsigned long ms) {
    // Step through scheduled moments so that actions happen in time order.
    unsigned long target = nowMs + ms;
    while (!scheduled.empty() && scheduled.begin()->first <= target) {
        if (scheduled.begin()->first > nowMs) nowMs = scheduled.begin()->first;
        runDue();
    }
    nowMs = target;
    runDue();
}

int fakeKeyPressed() { return keyQueue.empty() ? 0 : 1; }
int fakeReadKey() {
    if (keyQueue.empty()) return 0;
    int k = keyQueue.front();
    keyQueue.pop_front();
    return k;
}

GFX_DRIVER fakeDriver;
}  // namespace

void at(unsigned long atMs, std::function<void()> action) {
    scheduled.emplace(atMs, std::move(action));
}

void holdKey(int scancode, unsigned long fromMs, unsigned long toMs) {
    at(nowMs + fromMs, [scancode] { key[scancode] = -1; });
    at(nowMs + toMs, [scancode] { key[scancode] = 0; });
}

void holdMouse(int x, int y, unsigned long fromMs, unsigned long toMs) {
    at(nowMs + fromMs, [x, y] {
        mouse_x = x;
        mouse_y = y;
        mouse_b = 1;
    });
    at(nowMs + toMs, [] { mouse_b = 0; });
}

void queueKey(int scancode, int ascii) { keyQueue.push_back((scancode << 8) | (ascii & 0xff)); }

void type(const std::string& text) {
    for (unsigned char c : text) queueKey(0, c);
}

void reset() {
    nowMs = 0;
    rests.clear();
    vsyncCount = 0;
    messages.clear();
    keyQueue.clear();
    scheduled.clear();
    mouseSprite = nullptr;
    mouseSpriteCalls = 0;
    for (int i = 0; i < KEY_MAX; ++i) key[i] = 0;
    mouse_b = 0;
    mouse_x = 0;
    mouse_y = 0;
}

std::string dataDir() { return TUNNELWICK_DATA_DIR; }

ScratchDir::ScratchDir(bool seedData) : ScratchDir(seedData, "/tmp") {}

ScratchDir::ScratchDir(bool seedData, const std::string& parent) {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd)) oldCwd_ = cwd;
    std::string pattern = parent + "/tunnelwick-test-XXXXXX";
    std::vector<char> tmpl(pattern.begin(), pattern.end());
    tmpl.push_back('\0');
    const char* made = mkdtemp(tmpl.data());
    if (!made) {
        std::perror("mkdtemp");
        std::abort();
    }
    path_ = made;
    if (seedData) {
        std::string cmd = "cp -R '" + dataDir() + "/.' '" + path_ + "'";
        if (std::system(cmd.c_str()) != 0) std::abort();
    }
    if (chdir(path_.c_str()) != 0) std::abort();
}

ScratchDir::~ScratchDir() {
    if (!oldCwd_.empty() && chdir(oldCwd_.c_str()) != 0) std::perror("chdir");
    std::string cmd = "chmod -R u+rwx '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'";
    if (std::system(cmd.c_str()) != 0) std::perror("rm");
}

void ScratchDir::write(const std::string& relative, const std::string& content) const {
    std::ofstream out(file(relative), std::ios::binary);
    out << content;
}

std::string ScratchDir::read(const std::string& relative) const {
    std::ifstream in(file(relative), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool ScratchDir::exists(const std::string& relative) const {
    struct stat st;
    return stat(file(relative).c_str(), &st) == 0;
}

}  // namespace harness

// --- platform stand-ins, replacing Allegro's and the C library's own -------

void rest(unsigned int ms) {
    harness::rests.push_back(ms);
    harness::advance(ms);
}

void vsync() {
    ++harness::vsyncCount;
    harness::advance(16);
}

extern "C" std::time_t time(std::time_t* out) {
    std::time_t now = harness::baseSeconds + static_cast<std::time_t>(harness::nowMs / 1000);
    if (out) *out = now;
    return now;
}

void set_mouse_sprite(BITMAP* sprite) {
    harness::mouseSprite = sprite;
    ++harness::mouseSpriteCalls;
}

void allegro_message(const char* format, ...) {
    char text[4096];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    harness::messages.push_back(text);
}

namespace {
// Every test starts with a clean clock, keys and screen.
class ResetEachTest : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override {
        harness::reset();
        clear_bitmap(screen);
    }
};
}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "cannot start Allegro without a display\n");
        return 1;
    }
    set_color_depth(32);
    // A display-less stand-in for the graphics driver, so that SCREEN_W and
    // SCREEN_H read 640 by 480 and screen is a memory bitmap.
    std::memset(&harness::fakeDriver, 0, sizeof harness::fakeDriver);
    harness::fakeDriver.w = 640;
    harness::fakeDriver.h = 480;
    gfx_driver = &harness::fakeDriver;
    screen = create_bitmap(640, 480);
    install_keyboard_hooks(harness::fakeKeyPressed, harness::fakeReadKey);
    testing::UnitTest::GetInstance()->listeners().Append(new ResetEachTest);
    return RUN_ALL_TESTS();
}
