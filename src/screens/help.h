// Help, two pages: the keys (the help picture) and the rules, each with a
// small picture of the board. Right, Left, Page Down, Page Up or a click
// turn the pages; N on the rules page has the rule notes told again;
// Enter, Space or Escape goes back to the menu from either page.
#pragma once

#include <memory>

#include "screens/board_view.h"
#include "screens/look.h"
#include "screens/screen.h"

class HelpScreen : public Screen {
public:
    enum Page { KeysPage, RulesPage, kPages };

    void handle(const input::Event& event, Context& context) override;
    void draw(BITMAP* target, Context& context) override;
    int page() const { return page_; }

private:
    void drawRules(BITMAP* target, Context& context);

    int page_ = KeysPage;
    bool notesForgotten_ = false;
    BoardView view_;
    std::unique_ptr<StyledScreen> look_;
};

// One rule as the rules page tells it: a heading, a few words, and a board
// of three by three cells that shows it.
struct RuleSection {
    const char* heading;
    const char* text;
    const char* cells[3];  // the characters of the level sources, 'v' a rock falling into that cell
};
extern const RuleSection kRuleSections[6];
// Where the rules page draws its sections, for the layout test.
const int kRuleColumnWidth = 292;
