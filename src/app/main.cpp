// The program's entry: bring up Allegro and the sound, then the one loop:
// take the input, hand it to the screen on top, let it change, draw the
// screens and show the picture; sleep while nothing moves.
#include <allegro.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include <unistd.h>

#include "app/app.h"
#include "app/command_line.h"
#include "app/start_up.h"
#include "platform/background.h"
#include "platform/input.h"
#include "platform/signals.h"
#include "platform/window.h"
#include "storage/preferences.h"

namespace {

// Set by the window's close button (possibly from the library's window
// thread) and by the game itself; never cleared once set.
std::atomic<bool> quitRequested(false);

void onCloseButton() { quitRequested = true; }

bool allegroStarted = false;

// Says once why the game cannot start: on standard error for whoever
// started it, and in a message box where Allegro is up to show one (before
// that, Allegro's box is the same text on standard error again).
void reportFailure(const char* format) {
    // Allegro leaves no text when it finds no display at all.
    const char* why = allegro_error[0] ? allegro_error : "No display could be opened (is DISPLAY set?)";
    char text[1024];
    std::snprintf(text, sizeof text, format, why);
    std::fprintf(stderr, "%s\n", text);
    if (allegroStarted) allegro_message("%s\n", text);
}

// True when every service came up; false after its failure message.
bool initPlatform() {
    background::install();
    quitSignals::noteLaunch();
    if (!reachDisplay(std::getenv("DISPLAY"), [] { return allegro_init() == 0; }, [] { usleep(200 * 1000); })) {
        reportFailure("Could not initialize Allegro.\n\n%s");
        return false;
    }
    allegroStarted = true;
    // Allegro's own handlers for these shut it down inside the handler.
    quitSignals::install(quitRequested);
    // Before the window shows, so that no press of its close button is lost.
    set_close_button_callback(onCloseButton);
    if (install_timer() < 0) {
        reportFailure(
            "Could not initialize the timer. You probably cannot fix this, try restarting or "
            "closing some programs.\n\n%s");
        return false;
    }
    set_color_depth(32);
    // The window the player chose last time (the first start's: the largest
    // that fits), else smaller, down to 640x480; never run on without one.
    if (window::show(readPreferences()) == window::Outcome::Failed) {
        reportFailure("Could not open the 640x480 window.\n\n%s");
        return false;
    }
    if (install_keyboard() < 0) {
        reportFailure("Could not initialize the keyboard! This is bad! Try again later...\n\n%s");
        return false;
    }
    if (install_mouse() < 0) {
        reportFailure("Could not initialize the mouse! So we're just gonna quit for now. Try again later...\n\n%s");
        return false;
    }
    // No digital driver: all game sound goes through the sound library.
    if (install_sound(DIGI_NONE, MIDI_AUTODETECT, nullptr) < 0) {
        reportFailure("Could not initialize sound, try again later...\n\n%s");
        return false;
    }
    // A gamepad if one is there; without one the game is played as ever.
    install_joystick(JOY_TYPE_AUTODETECT);
    set_volume(255, 150);
    set_window_title(window::kTitle);
    set_display_switch_mode(SWITCH_PAUSE);
    return true;
}

}  // namespace

// Milliseconds from a steady clock (platform/clock.cpp).
unsigned long gameClockMs();

int main(int argc, char* argv[]) {
    // Answered before Allegro starts, so it needs no display and opens no window.
    const CommandLineAnswer asked = answerCommandLine(argc, argv);
    if (asked.status >= 0) {
        std::fputs(asked.out.c_str(), stdout);
        std::fputs(asked.err.c_str(), stderr);
        return asked.status;
    }
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    quitRequested = false;
    // A start that fails is no success: the caller (a menu, a script) is told.
    if (!initPlatform()) return 1;
    set_close_button_callback(onCloseButton);
    // Presses and clicks are caught as they happen, and wake the idle wait.
    input::install();

    BITMAP* picture = create_bitmap(window::kWidth, window::kHeight);
    if (!picture) {
        reportFailure("Could not create the screen buffer.\n\n%s");
        allegro_exit();
        return 1;
    }
    clear_bitmap(picture);

    {
        App app(quitRequested);
        // Held over idle passes: nothing moves until the player acts, so
        // the background threads may sleep until X input arrives. A pass
        // that draws leaves it, so the new picture reaches the X server
        // at once.
        std::unique_ptr<background::QuietWait> quiet;
        while (!quitRequested) {
            const bool animating = app.frame(gameClockMs(), picture);
            if (animating || app.drew()) quiet.reset();
            if (animating) {
                rest(4);
            } else if (!quitRequested) {
                // The wait ends at once on input or an answer of the
                // advisor, and at least ten times a second for the garden (more often
                // to poll a gamepad).
                if (!quiet) quiet = std::make_unique<background::QuietWait>();
                input::waitForInput(input::gamepad() ? 15 : 100);
            }
        }
        while (app.leaving(gameClockMs(), picture)) rest(20);
    }

    destroy_bitmap(picture);
    allegro_exit();
    return 0;
}
END_OF_MAIN()
