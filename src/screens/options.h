// The options screen: the background volume and ambient noise. Left and
// Right choose the setting, Up and Down change it (the volume keeps changing
// while held); Escape applies both, saves them and goes back.
#pragma once

#include <memory>

#include "screens/look.h"
#include "screens/screen.h"

class OptionsScreen : public Screen {
public:
    explicit OptionsScreen(Context& context);
    void handle(const input::Event& event, Context& context) override;
    bool update(const input::Held& held, unsigned long nowMs, Context& context) override;
    void draw(BITMAP* target, Context& context) override;
    bool animating(const Context& context) const override { return holding_; }

private:
    void change(int by);
    enum class Item { Volume, Ambient };
    Item item_ = Item::Volume;
    int volume_;
    bool ambient_;
    bool holding_ = false;
    int heldKey_ = 0;
    unsigned long nextStep_ = 0;
    std::unique_ptr<StyledScreen> look_;
};
