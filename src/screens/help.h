// The help picture; Enter, Space, Escape or a click goes back to the menu.
#pragma once

#include "screens/screen.h"

class HelpScreen : public Screen {
public:
    void handle(const input::Event& event, Context& context) override;
    void draw(BITMAP* target, Context& context) override;
};
