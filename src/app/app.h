// The running game once the window exists: pictures, sound, settings, the
// session on level 1 and the screens, and one pass of the loop over them.
#pragma once

#include <allegro.h>

#include <atomic>

#include "app/stack.h"
#include "platform/effects.h"
#include "platform/garden.h"
#include "platform/pictures.h"
#include "session/session.h"
#include "storage/preferences.h"
#include "storage/settings.h"

class App {
public:
    // Without a sound device the game says why and ends with status 1.
    explicit App(std::atomic<bool>& quit);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // One pass of the loop: the input taken and handed to the screen on top,
    // the screen updated, and the picture drawn and shown when it changed.
    // True while something moves without input (the loop must not sleep).
    bool frame(unsigned long nowMs, BITMAP* picture);
    // Whether the last pass drew and showed a new picture.
    bool drew() const { return drew_; }
    // Once the loop has ended: a win still waiting for its record table
    // gets a few seconds more, with a word on the screen. True while it
    // waits; then what became of the records is said on standard error.
    bool leaving(unsigned long nowMs, BITMAP* picture);
    // How long a closing game waits for a busy record table.
    static constexpr unsigned long kLastWaitMs = 3000;
    // What the sound was told last: effects on, the garden to be heard.
    bool effectsOn() const { return effects_.enabled(); }
    bool gardenHeard() const { return gardenHeard_; }

    Pictures pictures;
    Settings settings;
    Preferences preferences;
    Session session;
    ScreenStack stack;

private:
    // Shows the window the preferences ask for; says so when full screen
    // cannot be had, and ends the game when no window can.
    void showWindow();
    // F11 or Alt+Enter: full screen or back, kept for the next start.
    void switchFullScreen();

    // Writes progress.txt when the level in play changed (throttled unless
    // `now`); a failure is said once.
    void keepProgress(unsigned long nowMs, bool now);

    Garden garden_;
    bool progressTold_ = false;
    Effects effects_;
    std::atomic<bool>& quit_;
    bool drew_ = false;
    bool reshow_ = false;  // the window changed: the picture is shown afresh
    bool leaving_ = false;
    unsigned long leftAt_ = 0;
    bool gardenHeard_ = false;
};
