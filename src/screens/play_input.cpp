// The playing screen's input step: arrows become moves (once per press, see
// play/move_keys.h), the rule state advances one tick, U takes a move back,
// H asks for a hint, and a win shows the won screen and updates the high
// scores. The rules themselves are in play/rules.cpp.
#include "app/game.h"
#include "platform/input_latch.h"

// The clock the held arrows repeat by; its own file, so tests can supply one.
unsigned long gameClockMs();

namespace {

const int kArrowKeys[MoveKeys::Count] = {KEY_UP, KEY_DOWN, KEY_RIGHT, KEY_LEFT};

MoveKeys::Keys readArrows(bool upDown) {
    MoveKeys::Keys keys;
    for (int a = 0; a < MoveKeys::Count; ++a) {
        keys.pressed[a] = inputLatch::takePress(kArrowKeys[a]);
        keys.down[a] = key[kArrowKeys[a]] != 0;
    }
    if (!upDown) {
        // Back from the options screen: an Up or Down still held from its
        // menu must not start a move, but a Right or Left held now does.
        for (int a : {MoveKeys::Up, MoveKeys::Down}) keys.pressed[a] = keys.down[a] = false;
        for (int a : {MoveKeys::Right, MoveKeys::Left}) keys.pressed[a] |= keys.down[a];
    }
    return keys;
}

// U, Backspace and H pressed while the dog is busy are not kept for later.
void dropCommandPresses() {
    for (int k : {KEY_U, KEY_BACKSPACE, KEY_H}) inputLatch::takePress(k);
}

}  // namespace

// One playing tick. A falling rock freezes everything else; moves start only
// while the dog stands still.
void Game::handlePlayInput() {
    takeAdvice();
    if (rockFalling) {
        fallTick();
        aid.keys.look(readArrows(true), false, gameClockMs());
        dropCommandPresses();
        settleMove();
        return;
    }
    if (selection == None) {
        bool upDown = true;
        if (key[KEY_O]) {
            fadeOut(5);
            optionsMenu();
            // Keys pressed on the options screen are not moves.
            inputLatch::clear();
            aid.keys.reset();
            upDown = false;
            redrawNeeded = true;
        }
        // Both taken, so that neither waits for later.
        const bool undo = inputLatch::takePress(KEY_U) | inputLatch::takePress(KEY_BACKSPACE);
        const bool hint = inputLatch::takePress(KEY_H);
        const MoveKeys::Moves moves = aid.keys.look(readArrows(upDown), true, gameClockMs());
        if (undo) {
            undoMove();
        } else if (moves.any()) {
            beginMove();
            startMove(moves.arrow[MoveKeys::Up], moves.arrow[MoveKeys::Down], moves.arrow[MoveKeys::Right],
                      moves.arrow[MoveKeys::Left]);
            aid.taken = selection;
        } else if (hint) {
            showHint();
        }
        if (!handlePlayCommandKeys()) return;
    } else {
        aid.keys.look(readArrows(true), false, gameClockMs());
        dropCommandPresses();
    }
    if (stepTick()) {
        aid.moving = false;
        updateHighScores();
        return;
    }
    settleMove();
}

void Game::beginMove() {
    aid.history.push_back(rules);
    aid.advisor.drop(Advisor::Position);
    // The level's own question is still needed for the fewest possible.
    if (aid.fewest == PlayAid::kNotKnown && aid.history.size() == 1) aid.advisor.ask(Advisor::LevelStart, aid.levelStart);
    aid.moving = true;
    aid.fromColumn = dogColumn;
    aid.fromRow = dogRow;
    aid.notice = PlayAid::NoNotice;
    aid.hintWanted = false;
    redrawNeeded = true;
}

void Game::settleMove() {
    if (!aid.moving || rockFalling || selection != None) return;
    aid.moving = false;
    aid.keys.moveEnded(aid.taken, dogColumn == aid.fromColumn && dogRow == aid.fromRow);
    aid.advisor.ask(Advisor::Position, rules);
}

void Game::undoMove() {
    if (aid.history.empty()) return;
    rules = aid.history.back();
    aid.history.pop_back();
    aid.notice = PlayAid::NoNotice;
    aid.hintWanted = false;
    aid.keys.reset();
    aid.advisor.ask(Advisor::Position, rules);
    redrawNeeded = true;
}

void Game::showHint() {
    aid.hintWanted = true;
    takeAdvice();
}

void Game::beginLevelPlay() {
    aid.history.clear();
    aid.advisor.drop(Advisor::Position);
    aid.advisor.drop(Advisor::LevelStart);
    aid.levelAsked = false;
    aid.fewest = PlayAid::kNotKnown;
    aid.best = PlayAid::kNotKnown;
    aid.moving = false;
    aid.notice = PlayAid::NoNotice;
    aid.hintWanted = false;
    aid.keys.reset();
    inputLatch::clear();
}

void Game::askAdvisor() {
    if (aid.levelAsked || screenMode != Playing || !rules.betweenMoves() || selection != None) return;
    aid.levelAsked = true;
    aid.levelStart = rules;
    // An edited board is not the level its number names: it has no record.
    aid.best = boardEdited ? PlayAid::kNotKnown : recordedBest(levelNumber);
    redrawNeeded = true;
    // At the start the player's position is the level's: one question answers both.
    if (aid.history.empty()) aid.advisor.ask(Advisor::Position, rules);
    else aid.advisor.ask(Advisor::LevelStart, rules);
}

bool Game::adviceWaiting() const { return aid.advisor.answersGiven() != aid.answersSeen; }

namespace {

int32_t fewestFrom(const SolveResult& r) {
    switch (r.outcome) {
    case SolveResult::Solved: return r.fewestMoves();
    case SolveResult::Unwinnable: return PlayAid::kNoWay;
    default: return PlayAid::kTooHard;
    }
}

}  // namespace

void Game::takeAdvice() {
    const uint64_t given = aid.advisor.answersGiven();
    if (given == aid.answersSeen && !aid.hintWanted) return;
    aid.answersSeen = given;
    SolveResult r;
    if (aid.fewest == PlayAid::kNotKnown && aid.advisor.answer(Advisor::LevelStart, r)) {
        aid.fewest = fewestFrom(r);
        redrawNeeded = true;
    }
    if (aid.moving || !aid.advisor.answer(Advisor::Position, r)) return;
    // With no move made (or all taken back) the player stands at the level's start.
    if (aid.history.empty() && aid.fewest == PlayAid::kNotKnown) aid.fewest = fewestFrom(r);
    PlayAid::Notice notice = aid.notice;
    // A dead end is told after a move; at the start only when asked.
    if (r.outcome == SolveResult::Unwinnable && (!aid.history.empty() || aid.hintWanted))
        notice = PlayAid::DeadEndNotice;
    else if (aid.hintWanted)
        notice = r.outcome == SolveResult::Solved ? PlayAid::HintNotice : PlayAid::NoHintNotice;
    if (aid.hintWanted) {
        aid.hintWanted = false;
        aid.hintDirection = r.firstMove();
        aid.hintMoves = r.fewestMoves();
    }
    aid.notice = notice;
    redrawNeeded = true;
}

void Game::startMove(bool up, bool down, bool right, bool left) { rules.startMove(up, down, right, left); }

bool Game::stepTick() {
    TickOutcome outcome = rules.stepTick();
    if (outcome.changed) redrawNeeded = true;
    if (outcome.won) screenMode = LevelWon;
    return outcome.won;
}

void Game::fallTick() {
    if (rules.fallTick()) redrawNeeded = true;
}

void Game::stopStep() {
    rules.stopStep();
    redrawNeeded = true;
}

void Game::startNextFall() {
    if (rules.startNextFall()) redrawNeeded = true;
}

bool playMove(Game& game, int32_t direction) {
    bool won = playMove(game.rules, direction);
    if (won) game.screenMode = LevelWon;
    game.redrawNeeded = true;
    return won;
}
