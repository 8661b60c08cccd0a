// One frame of play: arrows become moves (once per press, see
// session/move_keys.h), the rule state advances one tick, U takes a move back,
// H asks for a hint. The rules themselves are in rules/rules.cpp.
#include "session/play.h"

#include <cstring>

#include "rules/tiles.h"

namespace {

SolveLimits adviceLimits() {
    SolveLimits l;
    l.maxPositions = Play::kMostPositions;
    return l;
}

bool onGrass(const RuleState& s) {
    if (!s.onBoard(s.dogColumn, s.dogRow)) return false;
    const uint8_t cell = s.board[s.dogRow][s.dogColumn];
    return cell == SkyBottom || cell == SkyBottomDestroyed;
}

}  // namespace

Play::Play(RuleState& rules, std::function<void()> onAnswer)
    : rules_(rules), advisor_(std::move(onAnswer), adviceLimits()) {}

void Play::begin(int32_t bestKnown) {
    history_.clear();
    advisor_.drop(Advisor::Position);
    advisor_.drop(Advisor::LevelStart);
    levelAsked_ = false;
    fewest = fewest::kNotKnown;
    best = bestKnown;
    moving_ = false;
    notice = NoNotice;
    hintWanted_ = false;
    nudgeDirection_ = None;
    keys_.reset();
    cues_.clear();
    changed_ = true;
}

bool Play::takeChanged() {
    const bool was = changed_;
    changed_ = false;
    return was;
}

std::vector<CueEvent> Play::takeCues() {
    std::vector<CueEvent> out;
    out.swap(cues_);
    return out;
}

bool Play::frame(const Input& in) {
    won_ = false;
    takeAdvice();
    if (in.undo) {
        // At once, even mid-move: the move in progress is the one taken back.
        undo();
        return false;
    }
    if (busy()) {
        const bool none[MoveKeys::Count] = {};
        keys_.look(in.arrows, false, in.nowMs, none);
        if (in.hint) hintWanted_ = true;  // answered once the move has ended
        return advance(in.nowMs);
    }
    bool wouldMove[MoveKeys::Count] = {};
    static const int32_t direction[MoveKeys::Count] = {Up, Down, Right, Left};
    for (int a = 0; a < MoveKeys::Count; ++a)
        if (in.arrows.down[a]) wouldMove[a] = changesBoard(direction[a]);
    const MoveKeys::Moves moves = keys_.look(in.arrows, true, in.nowMs, wouldMove);
    if (moves.any()) {
        beginMove();
        rules_.startMove(moves.arrow[MoveKeys::Up], moves.arrow[MoveKeys::Down], moves.arrow[MoveKeys::Right],
                         moves.arrow[MoveKeys::Left]);
        taken_ = rules_.selection;
    } else if (in.hint) {
        hintWanted_ = true;
        takeAdvice();
    }
    return advance(in.nowMs);
}

bool Play::advance(unsigned long nowMs) {
    // A press waits: the move hurries, faster the longer it waits, and ends
    // at once once the wait reaches kLongestWaitMs.
    int ticks = 1;
    if (keys_.waiting() && busy()) {
        const unsigned long waited = nowMs - keys_.waitingSince();
        ticks = waited >= kLongestWaitMs ? kMostTicks : kHurriedTicks << (waited * 4 / kLongestWaitMs);
    }
    for (int i = 0; i < ticks; ++i) {
        if (i > 0 && !busy()) break;
        rules_.beginTick();
        tick();
        if (won_) {
            moving_ = false;
            cue(Cue::Win);
            return true;
        }
        settleMove(nowMs);
    }
    return false;
}

bool Play::changesBoard(int32_t direction) const {
    if (!rules_.betweenMoves()) return false;
    RuleState after = rules_;
    slideMove(after, direction);
    return after.dogColumn != rules_.dogColumn || after.dogRow != rules_.dogRow ||
           std::memcmp(after.board, rules_.board, sizeof after.board) != 0;
}

bool Play::nudge(unsigned long nowMs, int32_t& dx, int32_t& dy) const {
    dx = dy = 0;
    if (nudgeDirection_ == None || nowMs - nudgeAt_ >= kNudgeMs) return false;
    // Out a few pixels towards the wall and back.
    const int32_t t = static_cast<int32_t>(nowMs - nudgeAt_), half = kNudgeMs / 2;
    const int32_t pixels = 4 * (t < half ? t : kNudgeMs - t) / half;
    switch (nudgeDirection_) {
    case Right: dx = pixels; break;
    case Left: dx = -pixels; break;
    case Down: dy = pixels; break;
    default: dy = -pixels; break;
    }
    return true;
}

void Play::tick() {
    if (rules_.rockFalling) {
        const int32_t y = rules_.fallingRockY;
        if (rules_.fallTick()) changed_ = true;
        // A landing ends the fall, or the next rock up the column starts above.
        if (!rules_.rockFalling || rules_.fallingRockY < y) {
            cue(Cue::Land, (y - fallFrom_) / RuleState::cellSize + 1);
            fallFrom_ = rules_.fallingRockY;
        }
        return;
    }
    uint8_t before[RuleState::boardHeight][RuleState::boardWidth];
    std::memcpy(before, rules_.board, sizeof before);
    const int32_t column = rules_.dogColumn, row = rules_.dogRow;
    const TickOutcome outcome = rules_.stepTick();
    if (outcome.changed) changed_ = true;
    won_ = outcome.won;
    if (std::memcmp(before, rules_.board, sizeof before) != 0) {
        for (int r = 0; r < RuleState::boardHeight; ++r)
            for (int c = 0; c < RuleState::boardWidth; ++c)
                if (before[r][c] == Dirt && rules_.board[r][c] == Tunnel) cue(Cue::Dig);
    } else if ((column != rules_.dogColumn || row != rules_.dogRow) && onGrass(rules_)) {
        cue(Cue::Step);
    }
    if (rules_.rockFalling) fallFrom_ = rules_.fallingRockY;
}

void Play::beginMove() {
    history_.push_back(rules_);
    noticeBefore_ = notice;
    advisor_.drop(Advisor::Position);
    // The level's own question is still needed for the fewest possible.
    if (fewest == fewest::kNotKnown && history_.size() == 1) advisor_.ask(Advisor::LevelStart, levelStart_);
    moving_ = true;
    notice = NoNotice;
    hintWanted_ = false;
    changed_ = true;
}

void Play::settleMove(unsigned long nowMs) {
    if (!moving_ || rules_.rockFalling || rules_.selection != None) return;
    moving_ = false;
    // A move that changed nothing is no move: not counted, nothing to take back.
    const RuleState& before = history_.back();
    const bool refused = rules_.dogColumn == before.dogColumn && rules_.dogRow == before.dogRow &&
                         std::memcmp(rules_.board, before.board, sizeof before.board) == 0;
    keys_.moveEnded(taken_, refused);
    if (refused) {
        rules_.moveCount = before.moveCount;
        notice = noticeBefore_;
        history_.pop_back();
        cue(Cue::Bump);
        nudgeDirection_ = taken_;
        nudgeAt_ = nowMs;
    }
    advisor_.ask(Advisor::Position, rules_);
}

void Play::undo() {
    if (history_.empty()) return;
    rules_ = history_.back();
    history_.pop_back();
    moving_ = false;
    notice = NoNotice;
    hintWanted_ = false;
    keys_.reset();
    advisor_.ask(Advisor::Position, rules_);
    changed_ = true;
    cue(Cue::Undo);
}

void Play::takeAdvice() {
    if (!levelAsked_ && rules_.betweenMoves() && rules_.selection == None) {
        levelAsked_ = true;
        levelStart_ = rules_;
        changed_ = true;
        // At the start the player's position is the level's: one question answers both.
        if (history_.empty())
            advisor_.ask(Advisor::Position, rules_);
        else
            advisor_.ask(Advisor::LevelStart, rules_);
    }
    const uint64_t given = advisor_.answersGiven();
    if (given == answersSeen_ && !hintWanted_) return;
    answersSeen_ = given;
    SolveResult r;
    if (fewest == fewest::kNotKnown && advisor_.answer(Advisor::LevelStart, r)) {
        fewest = fewest::of(r);
        changed_ = true;
    }
    if (moving_ || !advisor_.answer(Advisor::Position, r)) return;
    // With no move made (or all taken back) the player stands at the level's start.
    if (history_.empty() && fewest == fewest::kNotKnown) fewest = fewest::of(r);
    Notice next = notice;
    // A dead end is told after a move; at the start only when asked.
    if (r.outcome == SolveResult::Unwinnable && (!history_.empty() || hintWanted_))
        next = DeadEndNotice;
    else if (hintWanted_)
        next = r.outcome == SolveResult::Solved ? HintNotice : NoHintNotice;
    if (hintWanted_) {
        hintWanted_ = false;
        hintDirection = r.firstMove();
        hintMoves = r.fewestMoves();
        if (next == HintNotice) cue(Cue::Hint);
    }
    if (next == DeadEndNotice && notice != DeadEndNotice) cue(Cue::DeadEnd);
    notice = next;
    changed_ = true;
}
