#include "harness.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include "platform/input.h"

namespace harness {

unsigned long nowMs = 0;
std::time_t baseSeconds = 1000000;
std::vector<std::string> messages, synced;
int desktopW = 1024, desktopH = 768;
std::vector<std::string> modes;
std::string refusedMode;

namespace {
std::multimap<unsigned long, std::function<void()>> scheduled;

// Runs what is due up to target, in time order. A wait that never ends stops the run with a message instead of hanging it.
void advance(unsigned long ms) {
    const unsigned long target = nowMs + ms;
    while (!scheduled.empty() && scheduled.begin()->first <= target) {
        nowMs = std::max(nowMs, scheduled.begin()->first);
        auto action = scheduled.begin()->second;
        scheduled.erase(scheduled.begin());
        action();
    }
    nowMs = target;
    if (nowMs > 30UL * 60 * 1000) {
        std::fprintf(stderr, "harness: simulated clock ran past 30 minutes; a wait never ended\n");
        std::abort();
    }
}

GFX_DRIVER fakeDriver;

int fakeDesktop(int* w, int* h) {
    *w = desktopW, *h = desktopH;
    return desktopW > 0 ? 0 : -1;
}

// The screen a window of w by h gives: a black memory bitmap of that size.
void makeScreen(int w, int h) {
    if (screen) destroy_bitmap(screen);
    screen = create_bitmap(w, h);
    clear_bitmap(screen);
    fakeDriver.w = w, fakeDriver.h = h;
}
}  // namespace

void at(unsigned long atMs, std::function<void()> action) { scheduled.emplace(atMs, std::move(action)); }

// Allegro's keyboard callback hears of the press and the release as well.
void holdKey(int scancode, unsigned long fromMs, unsigned long toMs) {
    at(nowMs + fromMs, [scancode] { key[scancode] = -1, input::onKey(scancode); });
    at(nowMs + toMs, [scancode] { key[scancode] = 0, input::onKey(scancode | 0x80); });
}

void type(const std::string& text) {
    for (unsigned char c : text) {
        int scancode = 0;
        input::onTyped(c, &scancode);
    }
}

// fsync is called from the record keeper's thread too.
std::mutex syncedMutex;

void reset() {
    nowMs = 0;
    {
        std::lock_guard<std::mutex> hold(syncedMutex);
        synced.clear();
    }
    messages.clear(), scheduled.clear(), modes.clear(), refusedMode.clear();
    desktopW = 1024, desktopH = 768;
    makeScreen(640, 480);
    input::setPointerMapping(0, 0, 640, 480);
    mouse_b = 0, mouse_x = mouse_y = -100;
    for (int i = 0; i < KEY_MAX; ++i)
        if (key[i]) key[i] = 0, input::onKey(i | 0x80);
    input::take(), input::clear();
}

std::string dataDir() { return TUNNELWICK_DATA_DIR; }

ScratchDir::ScratchDir(bool seedData, const std::string& parent) {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd)) oldCwd_ = cwd;
    std::string pattern = parent + "/tunnelwick-test-XXXXXX";
    if (!mkdtemp(&pattern[0])) std::abort();
    path_ = pattern;
    if (seedData && std::system(("cp -R '" + dataDir() + "/.' '" + path_ + "'").c_str()) != 0) std::abort();
    if (chdir(path_.c_str()) != 0) std::abort();
}

ScratchDir::~ScratchDir() {
    if (!oldCwd_.empty() && chdir(oldCwd_.c_str()) != 0) std::perror("chdir");
    if (std::system(("chmod -R u+rwx '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'").c_str()) != 0) std::perror("rm");
}

void ScratchDir::write(const std::string& relative, const std::string& content) const {
    std::ofstream(file(relative), std::ios::binary) << content;
}

std::string ScratchDir::read(const std::string& relative) const {
    struct stat st;
    if (stat(file(relative).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return "";  // a pipe would wait
    std::ostringstream s;
    s << std::ifstream(file(relative), std::ios::binary).rdbuf();
    return s.str();
}

}  // namespace harness

// Platform stand-ins, replacing Allegro's and the C library's own.
void rest(unsigned int ms) { harness::advance(ms); }

extern "C" std::time_t time(std::time_t* out) {
    std::time_t now = harness::baseSeconds + static_cast<std::time_t>(harness::nowMs / 1000);
    if (out) *out = now;
    return now;
}

// Records which file reached the disk and at what size, then syncs it.
extern "C" int fsync(int fd) {
    char path[4096] = {};
    struct stat st = {};
    ssize_t n = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path - 1);
    fstat(fd, &st);
    std::lock_guard<std::mutex> hold(harness::syncedMutex);
    harness::synced.push_back(std::string(path, n > 0 ? n : 0) + " " + std::to_string(st.st_size));
    return static_cast<int>(syscall(SYS_fsync, fd));
}

// A window of any size but the refused one; as Allegro does, a refused mode leaves no screen.
int set_gfx_mode(int card, int w, int h, int, int) {
    if (card == GFX_TEXT) return 0;
    harness::modes.push_back(std::to_string(w) + "x" + std::to_string(h));
    if (harness::modes.back() == harness::refusedMode) {
        if (screen) destroy_bitmap(screen);
        screen = nullptr;
        return -1;
    }
    harness::makeScreen(w, h);
    return 0;
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
struct ResetEachTest : testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { harness::reset(), clear_bitmap(screen); }
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
    // A display-less graphics driver: SCREEN_W and SCREEN_H read 640 by 480, and screen is a memory bitmap.
    harness::fakeDriver.w = 640, harness::fakeDriver.h = 480;
    gfx_driver = &harness::fakeDriver;
    system_driver->get_desktop_resolution = harness::fakeDesktop;
    harness::makeScreen(640, 480);
    testing::UnitTest::GetInstance()->listeners().Append(new ResetEachTest);
    // The pointer stands outside the window unless a test moves it in.
    mouse_x = mouse_y = -100;
    return RUN_ALL_TESTS();
}
