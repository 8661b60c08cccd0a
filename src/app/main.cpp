// The program's entry: bring up Allegro, build the Game, run the main loop of
// show, wait for input, handle it, rest, draw; then shut down.
#include <allegro.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <unistd.h>

#include "platform/background.h"
#include "platform/signals.h"
#include "app/game.h"
#include "platform/input_latch.h"

namespace {

// Set by the window's close button (possibly from the library's window
// thread) and by the game itself; never cleared once set.
std::atomic<bool> quitRequested(false);

void onCloseButton() { quitRequested = true; }

// Shows a start-up failure. With no display there may be no message box, so
// the text also goes to standard error.
void reportFailure(const char* format) {
    // Allegro leaves no text when it finds no display at all.
    const char* why = allegro_error[0] ? allegro_error : "No display could be opened (is DISPLAY set?)";
    char text[1024];
    std::snprintf(text, sizeof text, format, why);
    std::fprintf(stderr, "%s\n", text);
    allegro_message(format, why);
}

// True when every service came up; false after its failure message.
bool initPlatform() {
    background::install();
    quitSignals::noteLaunch();
    // An X server resets itself when its last client leaves, and a connection
    // still being set up at that moment is closed unanswered (about one start
    // in twenty while other clients come and go); a moment later it answers.
    // Without any display there is nothing to wait for.
    const char* display = std::getenv("DISPLAY");
    const int attempts = display && *display ? 5 : 1;
    for (int attempt = 1; allegro_init() != 0; ++attempt) {
        if (attempt == attempts) {
            reportFailure("Could not initialize Allegro.\n\n%s");
            return false;
        }
        usleep(200 * 1000);
    }
    // Allegro's own handlers for these shut it down inside the handler.
    quitSignals::install(quitRequested);
    // Before the window shows, so that no press of its close button is lost.
    set_close_button_callback(onCloseButton);
    if (install_timer() < 0) {
        allegro_message("Could not initialize the timer. You probably cannot fix this, try restarting or "
                        "closing some programs.\n\n%s",
                        allegro_error);
        return false;
    }
    set_color_depth(32);
    // Everything after this draws on a 640x480 screen; never run on without one.
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 640, 480, 0, 0) != 0) {
        reportFailure("Could not open the 640x480 window.\n\n%s");
        return false;
    }
    if (install_keyboard() < 0) {
        allegro_message("Could not initialize the keyboard! This is bad! Try again later...\n\n%s", allegro_error);
        return false;
    }
    if (install_mouse() < 0) {
        allegro_message("Could not initialize the mouse! So we're just gonna quit for now. Try again later...\n\n%s",
                        allegro_error);
        return false;
    }
    // No digital driver: all game sound goes through the sound library.
    if (install_sound(DIGI_NONE, MIDI_AUTODETECT, nullptr) < 0) {
        allegro_message("Could not initialize sound, try again later...\n\n%s", allegro_error);
        return false;
    }
    set_volume(255, 150);
    set_window_title("Tunnelwick");
    set_display_switch_mode(SWITCH_PAUSE);
    return true;
}

}  // namespace

int main() {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    quitRequested = false;
    if (!initPlatform()) return 0;
    set_close_button_callback(onCloseButton);
    // Presses and clicks are caught as they happen, and wake the idle wait.
    inputLatch::install();

    BITMAP* backBuffer = create_bitmap(SCREEN_W, SCREEN_H);
    if (!backBuffer) {
        reportFailure("Could not create the screen buffer.\n\n%s");
        allegro_exit();
        return 0;
    }
    clear_bitmap(backBuffer);

    {
        Game game(&quitRequested);

        game.drawScreen(backBuffer);
        vsync();
        blit(backBuffer, screen, 0, 0, 0, 0, SCREEN_W, SCREEN_H);

        while (!quitRequested) {
            // The pointer is hidden only for the copy, so the copy does not
            // paint over it. show_mouse stays outside the acquired screen: it
            // takes the timer's lock, and the timer's pointer callback waits
            // for the screen's lock, so inside they could wait on each other
            // for ever (seen under X11: the game froze mid-slide).
            show_mouse(nullptr);
            acquire_screen();
            blit(backBuffer, screen, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
            release_screen();
            show_mouse(screen);

            if (!game.pollInput() && !quitRequested) {
                // Nothing moves until the player acts, so the background
                // threads may sleep until X input arrives. A press or an
                // answer of the advisor ends the wait at once; the polls in
                // between keep the ambient sounds going.
                background::QuietWait quiet;
                do inputLatch::waitForInput(100);
                while (!game.pollInput() && !quitRequested);
            }

            game.handleInput();
            rest(4);
            game.drawScreen(backBuffer);
        }
    }

    destroy_bitmap(backBuffer);
    allegro_exit();
    return 0;
}
END_OF_MAIN()
