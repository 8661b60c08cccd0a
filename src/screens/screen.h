// A screen of the game (menu, playing, won, chooser, options, help, editor,
// finale, and the dialogs over them) is a state on the loop's stack: it takes
// the input given to it, changes with time, and draws itself. None has a
// loop of its own, waits for a key's release or reads the keyboard.
#pragma once

#include <allegro.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/input.h"
#include "platform/pictures.h"
#include "session/cues.h"
#include "storage/preferences.h"
#include "storage/settings.h"

class Session;
class Screen;

enum class ScreenId { Menu, Playing, Won, Finale, Chooser, Options, Help, Editor };

// How a screen changes what is shown. Changes take effect after the event
// being handled: the rest of the input already taken goes nowhere, so
// nothing pressed before a screen opens reaches it.
class Navigator {
public:
    virtual ~Navigator() = default;
    // Puts a screen on top of the stack.
    virtual void open(ScreenId id) = 0;
    virtual void push(std::unique_ptr<Screen> screen) = 0;
    // Takes the top screen away (a screen closes itself).
    virtual void close() = 0;
    // Back to the menu, then `id` over it (nothing more for the menu itself).
    virtual void showOnly(ScreenId id) = 0;
    virtual void quit() = 0;
};

// What every screen may use.
struct Context {
    Session& session;
    Pictures& pictures;
    Navigator& nav;
    Settings& settings;
    Preferences& preferences;
    // Plays a cue (nothing when effects are off).
    std::function<void(const CueEvent&)> hear = [](const CueEvent&) {};
    // Applies the settings and preferences as they now are (the options screen's Escape).
    std::function<void()> settingsChanged = [] {};
    // The window sizes this desktop allows: whole scales, then 0 for full screen.
    std::function<std::vector<int>()> windowSizes = [] { return std::vector<int>{1}; };
};

class Screen {
public:
    virtual ~Screen() = default;
    // One event of the player's.
    virtual void handle(const input::Event& event, Context& context) = 0;
    // Once a frame, after the events: true when something visible changed.
    virtual bool update(const input::Held& held, unsigned long nowMs, Context& context) {
        (void)held, (void)nowMs, (void)context;
        return false;
    }
    virtual void draw(BITMAP* target, Context& context) = 0;
    // False for a dialog: the screen beneath shows through, dimmed.
    virtual bool covers() const { return true; }
    // True while it changes without input (an animation): the loop does not sleep.
    virtual bool animating(const Context& context) const {
        (void)context;
        return false;
    }
    // On top again after the screen above it closed.
    virtual void resumed(Context& context) { (void)context; }
    // The garden is heard only over this screen.
    virtual bool ambient() const { return false; }
    // The pointer's picture (null: the usual arrow).
    virtual BITMAP* pointer(const Context& context) const {
        (void)context;
        return nullptr;
    }
};
