// The options screen: every setting on a line of its own with its value.
// Up and Down choose a line, Left and Right change it (a volume by 5 %, and
// on while held), the mouse does both; Escape applies everything, saves it
// and goes back.
#pragma once

#include <memory>
#include <vector>

#include "screens/look.h"
#include "screens/screen.h"
#include "storage/preferences.h"
#include "storage/settings.h"

class OptionsScreen : public Screen {
public:
    enum Line { Volume, EffectsVolume, GardenVolume, Ambient, Effects, WindowSize, kLines };

    explicit OptionsScreen(Context& context);
    void handle(const input::Event& event, Context& context) override;
    bool update(const input::Held& held, unsigned long nowMs, Context& context) override;
    void draw(BITMAP* target, Context& context) override;
    bool animating(const Context&) const override { return holding_; }
    int line() const { return line_; }

private:
    void change(int by);
    int* percent();  // the chosen line's per cent volume, null for the background volume or a switch
    void leave(Context& context);
    // The line under a pixel (-1: none), and whether the pixel lies on the value's right half.
    int lineAt(int y) const;

    int line_ = Volume;
    Settings settings_;
    Preferences preferences_, opened_;
    std::vector<int> sizes_;  // window sizes to choose from: scales, 0 for full screen
    bool holding_ = false;
    int heldKey_ = 0;
    unsigned long nextStep_ = 0;
    std::unique_ptr<StyledScreen> look_;
};
