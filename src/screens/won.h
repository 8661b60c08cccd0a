// The level-won screen: the dog with her bone, the moves made, the record,
// and the fewest moves possible once known. Enter, Space or Escape goes on
// to the next level; after the last one, the end of the game.
#pragma once

#include "screens/screen.h"
#include "storage/highscores.h"

class WonScreen : public Screen {
public:
    // The record being written in the background (null: none is kept).
    explicit WonScreen(const RecordKeeper* keeper);
    // A record already known.
    explicit WonScreen(WinRecord record);
    void handle(const input::Event& event, Context& context) override;
    bool update(const input::Held& held, unsigned long nowMs, Context& context) override;
    void draw(BITMAP* target, Context& context) override;

private:
    const RecordKeeper* keeper_ = nullptr;  // owned by the session
    WinRecord record_;
    bool known_ = false;  // record_ holds the table's answer
    bool told_ = false;   // the damaged table's message shown
};

// The message at the end of the level set.
extern const char* const kEndOfGameText;
