// The level-won screen: first a moment of the board with the dog at her
// bone, then over it, dimmed, a panel with the dog and her bone, the moves
// made, the player's best (their record for the level) and the fewest moves
// possible once known. Enter, Space or Escape goes on to the next level
// of the pack; after the last one, to the finale.
#pragma once

#include "screens/look.h"
#include "screens/screen.h"
#include "session/catalogue.h"

class WonScreen : public Screen {
public:
    // The win moment: the board with the dog at her bone shows this long
    // before the panel opens (any press or click ends it sooner).
    static constexpr unsigned long kMomentMs = 1000;

    // The record being written in the background (null: none is kept);
    // `moment`: open over the board just won, which shows a while first.
    explicit WonScreen(const RecordKeeper* keeper, bool moment = false);
    // A record already known.
    explicit WonScreen(WinRecord record);
    void handle(const input::Event& event, Context& context) override;
    bool update(const input::Held& held, unsigned long nowMs, Context& context) override;
    void draw(BITMAP* target, Context& context) override;
    bool covers() const override { return false; }
    bool animating(const Context&) const override { return inMoment_; }
    bool inMoment() const { return inMoment_; }

private:
    bool inMoment_ = false;
    unsigned long momentFrom_ = 0;
    bool momentTimed_ = false;
    const RecordKeeper* keeper_ = nullptr;  // owned by the session
    WinRecord record_;
    bool known_ = false;  // record_ holds the table's answer
    bool told_ = false;   // the damaged table's message shown
    bool waitingSaid_ = false;  // the wait for a busy table is on the screen
};

// The line about the player's best after a win of `moves` (empty: none to show).
std::string bestLine(const WinRecord& record, int32_t moves, bool boardEdited);
// The line about the fewest moves possible (empty: none to show).
std::string fewestLine(int32_t fewest, int32_t moves);
