// The level chooser: one pack at a time, a card for every level file in it,
// ten to a page, with its title, whether the player solved it, their best
// beside the fewest moves it needs (worked out while the list shows) and a
// mark when the two are equal. Up and Down step through the cards, Left and
// Right go a column across, Page Up and Page Down a page; Enter plays the
// marked level afresh, Escape goes back. A click marks a card, a click on
// the marked one plays it. Tab, a click on the pack's title or a shoulder
// button of the gamepad turns to the next pack. On a solved level's card W
// watches your best way again, F a way in the fewest moves.
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

    // Cards on a page: two columns of five, filled down each column.
    static const int kColumns = 2, kRowsPerColumn = 5, kPerPage = kColumns * kRowsPerColumn;
    // The marked card's place in the list (-1: none, the level being played
    // is not in it).
    int marked() const { return mark_; }
    // The pack shown.
    const catalogue::Pack& pack() const { return packs_[pack_]; }

private:
    // Shows the pack of the list, marking the level being played when it is there.
    void showPack(std::size_t index, Context& context);
    // The card under (x, y) on the page shown, or -1.
    int cardAt(int x, int y) const;
    int firstOnPage() const;
    void play(Context& context);
    // A level solved (in the table or in this game): its ways may be watched.
    bool solved(int index, Context& context) const;
    // W: your best, as kept in replays.txt; F: a fewest-moves way from the solver.
    void watch(bool fewestWay, Context& context);

    std::vector<catalogue::Pack> packs_;
    std::size_t pack_ = 0;
    std::vector<ListedLevel> levels_;
    std::map<int32_t, int32_t> records_;
    std::vector<int32_t> shown_;  // the fewest moves as last drawn
    std::unique_ptr<FewestMovesWork> fewest_;
    std::unique_ptr<StyledScreen> look_;
    int mark_ = 0;
};
