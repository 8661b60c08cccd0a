// The finale after the last level of a pack: a mark for each of its levels
// (solved in the fewest moves possible, solved, not yet), the counts, and
// how to share levels made in the editor. Enter goes to the pack's first level not yet
// solved (the menu when every one is), Escape to the menu.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "screens/look.h"
#include "screens/screen.h"
#include "session/chooser_rows.h"

class FinaleScreen : public Screen {
public:
    enum class Mark { NotYet, Solved, Fewest };
    // Where a mark is drawn: its top left corner and its side.
    struct Box {
        int x = 0, y = 0, side = 0;
    };

    explicit FinaleScreen(Context& context);
    void handle(const input::Event& event, Context& context) override;
    bool update(const input::Held& held, unsigned long nowMs, Context& context) override;
    void draw(BITMAP* target, Context& context) override;

    int solved() const { return solved_; }
    int levels() const { return static_cast<int>(levels_.size()); }
    // The number of the first level not solved (0: all are).
    int firstUnsolved() const { return firstUnsolved_; }
    // The j-th level's mark (in the pack's order) and where it is drawn.
    Mark mark(int j) const { return marks_[j]; }
    Box markBox(int j) const;

private:
    std::string pack_;
    std::vector<ListedLevel> levels_;
    std::map<int32_t, int32_t> records_;
    std::vector<Mark> marks_;
    int solved_ = 0, firstUnsolved_ = 0;
    int inFewest_ = 0;
    bool allKnown_ = false;
    std::unique_ptr<FewestMovesWork> fewest_;
    std::unique_ptr<StyledScreen> look_;
};

// A level's mark in the pack's art: earth not yet dug, the dog in her tunnel
// when solved, her bone on gold when solved in the fewest moves possible.
void drawLevelMark(BITMAP* target, const Pictures& pictures, FinaleScreen::Mark mark, int x, int y, int side);

// How to share a level made in the editor.
extern const char* const kSharingText;
