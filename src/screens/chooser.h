// The level chooser: every level on disk with its title, whether the player
// solved it and the fewest moves it needs (worked out while the list
// shows). Up and Down mark a level, Enter plays it afresh, Escape goes back.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "screens/look.h"
#include "screens/screen.h"
#include "session/chooser_rows.h"

class ChooserScreen : public Screen {
public:
    ChooserScreen(Context& context);
    void handle(const input::Event& event, Context& context) override;
    bool update(const input::Held& held, unsigned long nowMs, Context& context) override;
    void draw(BITMAP* target, Context& context) override;

private:
    std::vector<std::string> titles_;
    std::vector<bool> readable_;
    std::map<int32_t, int32_t> records_;
    std::vector<int32_t> shown_;  // the fewest moves as last drawn
    std::unique_ptr<FewestMovesWork> fewest_;
    std::unique_ptr<StyledScreen> look_;
    int mark_ = 0, first_ = 0;
};
