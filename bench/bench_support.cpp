#include "bench_support.h"

#include <allegro.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace bench {

namespace {
std::atomic<bool> quitRequested{false};
GFX_DRIVER fakeDriver;
bool started = false;

int desktopW = 1024, desktopH = 768;
int fakeDesktop(int* w, int* h) {
    *w = desktopW, *h = desktopH;
    return 0;
}
}  // namespace

void setDesktop(int w, int h) { desktopW = w, desktopH = h; }

std::string dataDir() { return TUNNELWICK_DATA_DIR; }

void startAllegro() {
    if (started) return;
    started = true;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "cannot start Allegro without a display\n");
        std::exit(1);
    }
    set_color_depth(32);
    std::memset(&fakeDriver, 0, sizeof fakeDriver);
    fakeDriver.w = 640;
    fakeDriver.h = 480;
    gfx_driver = &fakeDriver;
    system_driver->get_desktop_resolution = fakeDesktop;
    screen = create_bitmap(640, 480);
    // The game writes its place, records and ways where it runs: a scratch
    // directory with the shipped data linked in, never the source tree.
    char scratch[] = "/tmp/tunnelwick-bench-XXXXXX";
    if (!mkdtemp(scratch) || chdir(scratch) != 0) {
        std::perror("a scratch directory");
        std::exit(1);
    }
    static std::string made = scratch;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(made, ignored);  // the links go, not what they point at
    });
    for (const char* name : {"graphics", "sounds", "levels", "packs"})
        if (symlink((dataDir() + "/" + name).c_str(), name) != 0) {
            std::perror(name);
            std::exit(1);
        }
    std::FILE* table = std::fopen("highscores.dat", "w");  // as shipped: empty
    if (table) std::fclose(table);
}

App& app() {
    static App* theApp = nullptr;
    if (!theApp) {
        startAllegro();
        theApp = new App(quitRequested);
    }
    return *theApp;
}

}  // namespace bench

// A window is a memory bitmap of its size, as the copy into X's image is.
int set_gfx_mode(int card, int w, int h, int, int) {
    if (card == GFX_TEXT) return 0;
    if (screen) destroy_bitmap(screen);
    screen = create_bitmap(w, h);
    bench::fakeDriver.w = w;
    bench::fakeDriver.h = h;
    return screen ? 0 : -1;
}

// Modal waits are not part of any measured path; nothing must sleep.
void allegro_message(const char* format, ...) { (void)format; }
