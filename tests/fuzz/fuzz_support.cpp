#include "fuzz_support.h"

#include <allegro.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace fuzz {

unsigned long nowMs = 0;
std::function<void()> onRest;
unsigned long messageCount = 0;

namespace {
std::atomic<bool> quitRequested{false};
Game* theGame = nullptr;
std::string scratch;
GFX_DRIVER fakeDriver;

int noKeyPressed() { return 0; }
int noKey() { return 0; }

void removeScratch() {
    if (scratch.empty()) return;
    if (chdir("/") != 0) return;
    std::string cmd = "rm -rf '" + scratch + "'";
    if (std::system(cmd.c_str()) != 0) std::perror("rm");
}

void advance(unsigned long ms) {
    nowMs += ms;
    if (onRest) onRest();
}
}  // namespace

Game& game() {
    if (theGame) return *theGame;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) fail("cannot start Allegro");
    set_color_depth(32);
    // Display-less graphics driver: SCREEN_W/H read 640 by 480 and vsync is
    // harmless; screen is a memory bitmap.
    std::memset(&fakeDriver, 0, sizeof fakeDriver);
    fakeDriver.w = 640;
    fakeDriver.h = 480;
    gfx_driver = &fakeDriver;
    screen = create_bitmap(640, 480);
    install_keyboard_hooks(noKeyPressed, noKey);

    if (chdir(TUNNELWICK_DATA_DIR) != 0) fail("no data directory %s", TUNNELWICK_DATA_DIR);
    theGame = new Game(&quitRequested);

    // Every input is written to disk, and the level save syncs it: on a
    // memory file system, where there is one, that costs nothing.
    char inMemory[] = "/dev/shm/tunnelwick-fuzz-XXXXXX";
    char onDisk[] = "/tmp/tunnelwick-fuzz-XXXXXX";
    char* tmpl = access("/dev/shm", W_OK) == 0 ? inMemory : onDisk;
    if (!mkdtemp(tmpl)) fail("mkdtemp: %s", std::strerror(errno));
    scratch = tmpl;
    if (chdir(scratch.c_str()) != 0) fail("chdir %s", scratch.c_str());
    mkdir("levels", 0755);
    std::atexit(removeScratch);
    return *theGame;
}

const std::string& scratchDir() {
    game();
    return scratch;
}

void writeFile(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) fail("cannot write %s", path.c_str());
}

void writeFile(const std::string& path, const std::string& content) {
    writeFile(path, reinterpret_cast<const uint8_t*>(content.data()), content.size());
}

std::string readFile(const std::string& path, bool* exists) {
    std::ifstream in(path, std::ios::binary);
    if (exists) *exists = static_cast<bool>(in);
    std::ostringstream s;
    if (in) s << in.rdbuf();
    return s.str();
}

void removeFile(const std::string& path) { std::remove(path.c_str()); }

void fail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::fprintf(stderr, "fuzz check failed: ");
    std::vfprintf(stderr, format, args);
    std::fprintf(stderr, "\n");
    va_end(args);
    std::abort();
}

}  // namespace fuzz

// --- platform stand-ins, replacing Allegro's own ---------------------------

void rest(unsigned int ms) { fuzz::advance(ms); }

void vsync() { fuzz::advance(16); }

void allegro_message(const char*, ...) { ++fuzz::messageCount; }
