// One frame of play: arrows become moves (once per press, see
// session/move_keys.h), the move in progress runs its ticks by the clock
// (session/motion.h), U takes a move back, H asks for a hint. The rules
// themselves are in rules/rules.cpp.
#include "session/play.h"

#include <algorithm>
#include <cstring>

#include "session/move_log.h"

namespace {

SolveLimits adviceLimits() {
    SolveLimits l;
    l.maxPositions = Play::kMostPositions;
    return l;
}

const int32_t kDirectionOf[MoveKeys::Count] = {Up, Down, Right, Left};

}  // namespace

Play::Play(RuleState& rules, std::function<void()> onAnswer)
    : rules_(rules), motion_(rules), advisor_(std::move(onAnswer), adviceLimits()) {}

void Play::begin(int32_t bestKnown) {
    history_.clear();
    log_.clear();
    ++logChanges_;
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
    motion_.stop();
    motion_.takeCues();
    cues_.clear();
    changed_ = true;
}

bool Play::resume(const std::vector<int32_t>& moves) {
    RuleState played = rules_;
    std::vector<RuleState> before;
    bool reached = false;
    if (!moveLog::play(played, moves, &before, &reached) || reached) return false;
    // The level's own question is asked from its start, as for a level played from there.
    if (!levelAsked_) {
        levelAsked_ = true;
        levelStart_ = before.empty() ? played : before.front();
        if (!moves.empty()) advisor_.ask(Advisor::LevelStart, levelStart_);
    }
    rules_ = played;
    history_ = std::move(before);
    log_ = moves;
    ++logChanges_;
    advisor_.ask(Advisor::Position, rules_);
    changed_ = true;
    return true;
}

bool Play::takeChanged() {
    const bool was = changed_ || motion_.takeChanged();
    changed_ = false;
    return was;
}

std::vector<CueEvent> Play::takeCues() {
    std::vector<CueEvent> out;
    out.swap(cues_);
    return out;
}

void Play::takeMotion() {
    for (const CueEvent& c : motion_.takeCues()) cues_.push_back(c);
}

bool Play::won() {
    moving_ = false;
    takeMotion();
    cue(Cue::Win);
    return true;
}

int Play::speed(const Input& in) const {
    int speed = in.hurry ? Motion::kHurry : 1;
    if (keys_.waiting()) {
        // A press waits: the move hurries, faster the longer it waits, and
        // ends at once once the wait reaches kLongestWaitMs.
        const unsigned long waited = in.nowMs - keys_.waitingSince();
        if (waited >= kLongestWaitMs) return Motion::kAtOnce;
        speed = std::max(speed, kHurriedTicks << (waited * 4 / kLongestWaitMs));
    }
    return speed;
}

bool Play::frame(const Input& in) {
    takeAdvice();
    if (in.undo) {
        // At once, even mid-move: the move in progress is the one taken back.
        undo();
        return false;
    }
    if (in.hint) hintWanted_ = true;  // answered once the dog stands still
    MoveKeys::Keys arrows = in.arrows;
    bool follows = false;
    if (busy()) {
        const bool none[MoveKeys::Count] = {};
        MoveKeys::Arrow unused;
        keys_.look(arrows, false, in.nowMs, none, unused);
        arrows.pressCount = 0;
        const Motion::Ran ran = motion_.run(in.nowMs, speed(in));
        if (ran.won) return won();
        if (!ran.ended) {
            takeMotion();
            return false;
        }
        settleMove(in.nowMs);
        follows = true;
    }
    // Between moves: the presses waiting, one after another while the
    // frame's time lasts, or a held arrow's repeat.
    for (size_t played = 0; played <= MoveKeys::kMostWaiting; ++played) {
        if (motion_.run(in.nowMs, 1).won) return won();  // the dog settles in her cell; the goal
        bool wouldMove[MoveKeys::Count] = {};
        for (int a = 0; a < MoveKeys::Count; ++a)
            if (in.arrows.down[a]) wouldMove[a] = changesBoard(kDirectionOf[a]);
        MoveKeys::Arrow arrow;
        const bool play = keys_.look(arrows, true, in.nowMs, wouldMove, arrow);
        arrows.pressCount = 0;
        if (!play) break;
        beginMove(kDirectionOf[arrow]);
        motion_.start(kDirectionOf[arrow], in.nowMs, follows);
        const Motion::Ran ran = motion_.run(in.nowMs, speed(in));
        if (ran.won) return won();
        if (!ran.ended) break;
        settleMove(in.nowMs);
        follows = true;
    }
    takeMotion();
    if (!busy() && hintWanted_) takeAdvice();
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

void Play::beginMove(int32_t direction) {
    history_.push_back(rules_);
    log_.push_back(direction);
    ++logChanges_;
    taken_ = direction;
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
    keys_.moveEnded(refused);
    if (refused) {
        rules_.moveCount = before.moveCount;
        notice = noticeBefore_;
        history_.pop_back();
        log_.pop_back();
        ++logChanges_;
        cue(Cue::Bump);
        nudgeDirection_ = taken_;
        nudgeAt_ = nowMs;
    }
    advisor_.ask(Advisor::Position, rules_);
}

void Play::undo() {
    keys_.reset();  // the presses waiting were meant for a position now gone
    if (history_.empty()) return;
    rules_ = history_.back();
    history_.pop_back();
    log_.pop_back();
    ++logChanges_;
    motion_.stop();
    motion_.takeCues();
    moving_ = false;
    notice = NoNotice;
    hintWanted_ = false;
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
