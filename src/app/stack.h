// The screens on show, bottom (the menu) to top, and the one place that
// turns a screen's name into the screen. Changes a screen asks for take
// effect once it has handled its event; the rest of that frame's input is
// then dropped, so nothing pressed before a screen opened reaches it, nor
// the character typed by the key that opened it, even a frame later.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "screens/screen.h"

class ScreenStack : public Navigator {
public:
    ScreenStack(Session& session, Pictures& pictures, Settings& settings, Preferences& preferences,
                std::atomic<bool>& quit);

    void open(ScreenId id) override;
    void push(std::unique_ptr<Screen> screen) override;
    void close() override;
    void showOnly(ScreenId id) override;
    void quit() override { quit_ = true; }

    // Hands the events to the top screen, in order.
    void dispatch(const std::vector<input::Event>& events);
    // Updates the top screen; true when the picture must be drawn again.
    bool update(const input::Held& held, unsigned long nowMs);
    // Draws the top screen over those it lets show through.
    void draw(BITMAP* target);

    Screen* top() const { return screens_.empty() ? nullptr : screens_.back().get(); }
    size_t depth() const { return screens_.size(); }
    bool animating() const { return top() && top()->animating(context_); }
    bool ambient() const { return top() && top()->ambient(); }
    BITMAP* pointer() const { return top() ? top()->pointer(context_) : nullptr; }
    Context& context() { return context_; }

private:
    // Applies the changes asked for since the last call; true if any.
    bool apply();
    std::unique_ptr<Screen> make(ScreenId id);

    Context context_;
    std::atomic<bool>& quit_;
    std::vector<std::unique_ptr<Screen>> screens_;
    std::vector<std::function<void()>> changes_;
    bool changed_ = true;
    // The presses whose characters are still to be dropped (the latest few).
    std::vector<unsigned> dropped_;
};
