#include "app/stack.h"

#include <algorithm>

#include "screens/chooser.h"
#include "screens/editor.h"
#include "screens/finale.h"
#include "screens/help.h"
#include "screens/menu.h"
#include "screens/options.h"
#include "screens/playing.h"

ScreenStack::ScreenStack(Session& session, Pictures& pictures, Settings& settings, Preferences& preferences,
                         std::atomic<bool>& quit)
    : context_{session, pictures, *this, settings, preferences}, quit_(quit) {
    screens_.push_back(std::make_unique<MenuScreen>());
}

std::unique_ptr<Screen> ScreenStack::make(ScreenId id) {
    switch (id) {
    case ScreenId::Playing: return std::make_unique<PlayingScreen>();
    case ScreenId::Chooser: return std::make_unique<ChooserScreen>(context_);
    case ScreenId::Options: return std::make_unique<OptionsScreen>(context_);
    case ScreenId::Help: return std::make_unique<HelpScreen>();
    case ScreenId::Editor: return std::make_unique<EditorScreen>();
    case ScreenId::Finale: return std::make_unique<FinaleScreen>(context_);
    default: return nullptr;
    }
}

void ScreenStack::open(ScreenId id) {
    changes_.push_back([this, id] {
        if (std::unique_ptr<Screen> screen = make(id)) screens_.push_back(std::move(screen));
    });
}

void ScreenStack::push(std::unique_ptr<Screen> screen) {
    // Held by a shared pointer until the change runs: a std::function must be copyable.
    std::shared_ptr<std::unique_ptr<Screen>> held = std::make_shared<std::unique_ptr<Screen>>(std::move(screen));
    changes_.push_back([this, held] {
        if (*held) screens_.push_back(std::move(*held));
    });
}

void ScreenStack::close() {
    changes_.push_back([this] {
        // The menu at the bottom stays.
        if (screens_.size() > 1) screens_.pop_back();
        top()->resumed(context_);
    });
}

void ScreenStack::showOnly(ScreenId id) {
    changes_.push_back([this, id] {
        while (screens_.size() > 1) screens_.pop_back();
        top()->resumed(context_);
    });
    if (id != ScreenId::Menu) open(id);
}

bool ScreenStack::apply() {
    if (changes_.empty()) return false;
    // A change may ask for more (a screen made that opens another).
    for (size_t i = 0; i < changes_.size(); ++i) {
        std::function<void()> next = std::move(changes_[i]);
        next();
    }
    changes_.clear();
    changed_ = true;
    return true;
}

void ScreenStack::dispatch(const std::vector<input::Event>& events) {
    apply();
    for (size_t i = 0; i < events.size(); ++i) {
        const input::Event& e = events[i];
        if (e.kind == input::Event::Typed && e.press) {
            const auto own = std::find(dropped_.begin(), dropped_.end(), e.press);
            if (own != dropped_.end()) {
                dropped_.erase(own);  // N's "n" is not the first letter of the number it asks for
                continue;
            }
        }
        top()->handle(e, context_);
        changed_ = true;
        if (apply() || quit_) {
            // This press and those after it went to a screen that is gone:
            // so do the characters they type, whenever they come.
            for (size_t j = i; j < events.size(); ++j)
                if (events[j].kind == input::Event::Press && events[j].press) dropped_.push_back(events[j].press);
            if (dropped_.size() > 16) dropped_.erase(dropped_.begin(), dropped_.end() - 16);
            break;
        }
    }
}

bool ScreenStack::update(const input::Held& held, unsigned long nowMs) {
    bool changed = top()->update(held, nowMs, context_);
    changed |= apply();
    changed |= changed_;
    changed_ = false;
    return changed;
}

void ScreenStack::draw(BITMAP* target) {
    size_t first = screens_.size() - 1;
    while (first > 0 && !screens_[first]->covers()) --first;
    for (size_t i = first; i < screens_.size(); ++i) screens_[i]->draw(target, context_);
}
