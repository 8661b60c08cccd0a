// The playing screen: the board, the caption and score line, the hint and
// dead-end notices. Arrows move the dog, U takes a move back, H hints, R
// restarts (after a question), S opens the chooser, O the options, Escape
// goes to the menu with the level kept as it is.
#pragma once

#include "screens/board_view.h"
#include "screens/screen.h"
#include "session/play.h"
#include "session/rule_notes.h"

class PlayingScreen : public Screen {
public:
    void handle(const input::Event& event, Context& context) override;
    bool update(const input::Held& held, unsigned long nowMs, Context& context) override;
    void draw(BITMAP* target, Context& context) override;
    bool animating(const Context& context) const override;
    bool ambient() const override { return true; }
    // Back on top (after a question, the chooser or the options): keys held
    // there are not moves here.
    void resumed(Context& context) override;

private:
    // The rule notes of this frame; true when what they show changed.
    bool tellRules(Context& context);

    BoardView view_;
    size_t shownNotes_ = 0;
    Play::Input pending_;
    bool arrowHeld_ = false;
    bool nudging_ = false;
    int32_t nudgeX_ = 0, nudgeY_ = 0;
};

// The rule notes on show, in a panel at the foot of the board.
void drawRuleNotes(BITMAP* target, const RuleNotes& notes);
// The keys told on the first levels until the level is won.
extern const char* const kFirstStepsText;
