#include "fuzz_support.h"

#include <allegro.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace fuzz {

unsigned long messageCount = 0;
static std::string scratch;
static GFX_DRIVER fakeDriver;

Game& game() {
    static Game* theGame = nullptr;
    if (theGame) return *theGame;
    static std::atomic<bool> quit{false};
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    FUZZ_CHECK(install_allegro(SYSTEM_NONE, &errno, atexit) == 0, "cannot start Allegro");
    set_color_depth(32);
    fakeDriver.w = 640, fakeDriver.h = 480;  // SCREEN_W/H read 640 by 480; screen is in memory
    gfx_driver = &fakeDriver;
    screen = create_bitmap(640, 480);
    install_keyboard_hooks([] { return 0; }, [] { return 0; });
    FUZZ_CHECK(chdir(TUNNELWICK_DATA_DIR) == 0, "no data directory");
    theGame = new Game(&quit);
    // Every input is written and synced: in memory where there is a place.
    char tmpl[] = "/dev/shm/tunnelwick-fuzz-XXXXXX", fallback[] = "/tmp/tunnelwick-fuzz-XXXXXX";
    const char* made = mkdtemp(tmpl);
    FUZZ_CHECK((made || (made = mkdtemp(fallback))) && chdir(made) == 0, "no scratch directory");
    scratch = made;
    mkdir("levels", 0755);
    std::atexit([] { std::system(("rm -rf '" + scratch + "'").c_str()); });
    return *theGame;
}

}  // namespace fuzz

void rest(unsigned int) {}
void vsync() {}
void allegro_message(const char*, ...) { ++fuzz::messageCount; }
