#include "fuzz_support.h"

#include <allegro.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace fuzz {

unsigned long messageCount = 0;

namespace {
std::atomic<bool> quitRequested{false};
std::string scratch;
GFX_DRIVER fakeDriver;
int noKey() { return 0; }
void removeScratch() { std::system(("rm -rf '" + scratch + "'").c_str()); }
}  // namespace

Game& game() {
    static Game* theGame = nullptr;
    if (theGame) return *theGame;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    FUZZ_CHECK(install_allegro(SYSTEM_NONE, &errno, atexit) == 0, "cannot start Allegro");
    set_color_depth(32);
    // SCREEN_W/H read 640 by 480 and vsync is harmless; screen is in memory.
    std::memset(&fakeDriver, 0, sizeof fakeDriver);
    fakeDriver.w = 640;
    fakeDriver.h = 480;
    gfx_driver = &fakeDriver;
    screen = create_bitmap(640, 480);
    install_keyboard_hooks(noKey, noKey);
    FUZZ_CHECK(chdir(TUNNELWICK_DATA_DIR) == 0, "no data directory");
    theGame = new Game(&quitRequested);
    // Every input is written and synced: in memory where there is a place.
    char tmpl[] = "/dev/shm/tunnelwick-fuzz-XXXXXX";
    char fallback[] = "/tmp/tunnelwick-fuzz-XXXXXX";
    const char* made = mkdtemp(tmpl);
    if (!made) made = mkdtemp(fallback);
    FUZZ_CHECK(made && chdir(made) == 0, "no scratch directory");
    scratch = made;
    mkdir("levels", 0755);
    std::atexit(removeScratch);
    return *theGame;
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    FUZZ_CHECK(out << content, "cannot write %s", path.c_str());
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace fuzz

// Platform stand-ins, replacing Allegro's own: waits take no time.
void rest(unsigned int) {}
void vsync() {}
void allegro_message(const char*, ...) { ++fuzz::messageCount; }
