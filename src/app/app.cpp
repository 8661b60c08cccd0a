#include "app/app.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/input.h"
#include "platform/sound.h"
#include "platform/window.h"
#include "screens/dialogs.h"
#include "screens/look.h"
#include "storage/replays.h"

namespace {

// The sound layer must come up; without it the game says why and stops.
void startSound() {
    if (FSOUND_Init(44100, 16, FSOUND_INIT_GLOBALFOCUS)) return;
    const char* why = soundErrorText(FSOUND_GetError());
    // With no display the message box may not appear; say it on stderr too.
    std::fprintf(stderr, "%s\n", why);
    allegro_message("%s\n", why);
    std::exit(1);
}

// The pointer's picture at the pointer: the screen's own (the editor's
// brush) or the usual arrow.
void drawPointer(BITMAP* target, BITMAP* own, const input::Held& held) {
    if (!held.inside) return;
    if (own)
        draw_sprite(target, own, held.x, held.y);
    else if (mouse_sprite)
        draw_sprite(target, mouse_sprite, held.x - mouse_x_focus, held.y - mouse_y_focus);
}

// F11, or Enter with Alt held, is the window's, whatever screen is on top.
bool switchesWindow(const input::Event& e) {
    if (e.kind != input::Event::Press && e.kind != input::Event::Typed) return false;
    return e.scancode == KEY_F11 || (e.alt && (e.scancode == KEY_ENTER || e.scancode == KEY_ENTER_PAD));
}

// The garden keeps time by the wall clock, as its recordings always have.
double wallSeconds() {
    using namespace std::chrono;
    return duration_cast<duration<double>>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

App::App(std::atomic<bool>& quit)
    : session(input::wake), stack(session, pictures, settings, preferences, quit), quit_(quit) {
    // Allegro mixes no digital sound of its own; everything goes through the sound layer.
    set_volume_per_voice(0);
    pictures.load();
    startSound();
    garden_.open(wallSeconds());
    effects_.open();
    readSettings(settings);
    FSOUND_SetSFXMasterVolume(settings.volume);
    preferences = readPreferences();
    effects_.setEnabled(preferences.effects);
    effects_.setVolume(preferences.effectsVolume);
    garden_.setVolume(preferences.gardenVolume);
    session.notes.setTold(preferences.notesTold);
    // The scale the window has (the first start's, or the largest that fits), as the options show it.
    Preferences inWindow = preferences;
    inWindow.fullScreen = false;
    preferences.windowScale = window::layoutFor(inWindow, window::desktop()).scale;
    // Records an earlier game had to leave waiting for a busy table.
    for (const std::string& line : session.applyPendingRecords()) std::fprintf(stderr, "Tunnelwick: %s.\n", line.c_str());
    std::string note;
    session.resumeProgress(note);
    stack.context().hear = [this](const CueEvent& cue) { effects_.play(cue); };
    stack.context().settingsChanged = [this] {
        FSOUND_SetSFXMasterVolume(settings.volume);
        effects_.setEnabled(preferences.effects);
        effects_.setVolume(preferences.effectsVolume);
        garden_.setVolume(preferences.gardenVolume);
        showWindow();
    };
    stack.context().windowSizes = [] { return window::sizes(window::desktop()); };
    if (!note.empty()) {
        std::fprintf(stderr, "%s\n", note.c_str());
        stack.push(std::make_unique<MessageDialog>(note));
        progressTold_ = true;
    }
    std::vector<Replay> ways;
    std::string why;
    size_t damaged = 0;
    if (replays::read(ways, why, damaged) == replays::Found::Unusable) {
        // Said once; the next best way kept rewrites the file with the good lines only.
        const std::string text = "Some of the ways you won levels could not be read (\"replays.txt\": " + why +
                                 "); those cannot be watched.";
        std::fprintf(stderr, "%s\n", text.c_str());
        stack.push(std::make_unique<MessageDialog>(text));
    }
    // Said in the window, and on standard error for whoever started the game.
    if (!pictures.missing().empty()) {
        std::string text = "These pictures could not be loaded:\n";
        for (const std::string& path : pictures.missing()) {
            std::fprintf(stderr, "Could not load %s\n", path.c_str());
            text += "\n" + path;
        }
        stack.push(std::make_unique<MessageDialog>(text));
    }
    showWindow();
}

void App::keepProgress(unsigned long nowMs, bool now) {
    std::string reason;
    if (session.keepProgress(nowMs, now, reason) || progressTold_) return;
    // Said once; play goes on, and later moves try again.
    progressTold_ = true;
    const std::string text = "Your place in the game could not be kept (\"progress.txt\"): " + reason;
    std::fprintf(stderr, "%s\n", text.c_str());
    if (!now) stack.push(std::make_unique<MessageDialog>(text));
}

void App::showWindow() {
    switch (window::show(preferences)) {
    case window::Outcome::Shown: break;
    case window::Outcome::NoFullScreen:
        preferences.fullScreen = false;
        stack.push(
            std::make_unique<MessageDialog>("Full screen is not available here, so the game stays in its window."));
        break;
    case window::Outcome::Failed:
        std::fprintf(stderr, "The game's window could not be opened again: %s\n", allegro_error);
        quit_ = true;
        break;
    }
    reshow_ = true;
}

void App::switchFullScreen() {
    preferences.fullScreen = !preferences.fullScreen;
    showWindow();
    // A game closed in full screen opens in full screen.
    const files::Outcome kept = savePreferences(preferences);
    if (!kept)
        stack.push(std::make_unique<MessageDialog>("The window's size could not be kept (\"preferences.ini\"): " +
                                                   kept.reason));
}

App::~App() {
    // However the game ends (Quit, Escape, the close button, a signal), the level in play is kept.
    keepProgress(0, true);
    FSOUND_Close();
}

bool App::leaving(unsigned long nowMs, BITMAP* picture) {
    if (!leaving_) {
        leaving_ = true;
        leftAt_ = nowMs;
        if (session.recordsWaiting() && picture) {
            // Over the last picture: the game is not gone yet, and says why.
            dimBeneath(picture);
            drawLines(picture, {{"Saving your record...", 236, makecol(255, 230, 120)}});
            window::present(picture);
        }
    }
    if (session.recordsWaiting() && nowMs - leftAt_ < kLastWaitMs) return true;
    for (const std::string& line : session.letRecordsGo()) std::fprintf(stderr, "Tunnelwick: %s.\n", line.c_str());
    return false;
}

bool App::frame(unsigned long nowMs, BITMAP* picture) {
    std::vector<input::Event> events = input::take();
    const auto ours =
        std::stable_partition(events.begin(), events.end(), [](const input::Event& e) { return !switchesWindow(e); });
    const auto presses =
        std::count_if(ours, events.end(), [](const input::Event& e) { return e.kind == input::Event::Press; });
    events.erase(ours, events.end());
    if (presses % 2) switchFullScreen();
    stack.dispatch(events);
    const input::Held held = input::held();
    bool redraw = stack.update(held, nowMs) || reshow_;
    keepProgress(nowMs, false);
    reshow_ = false;
    gardenHeard_ = settings.ambient && stack.ambient();
    garden_.update(gardenHeard_, wallSeconds());
    drew_ = redraw && picture;
    if (drew_) {
        stack.draw(picture);
        drawPointer(picture, stack.pointer(), held);
        window::present(picture);
    }
    return !quit_ && stack.animating();
}
