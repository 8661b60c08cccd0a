// Breadth-first search over the positions between moves. Each move is played
// in whole-cell steps (play/cell_moves.h) on a packed board that is also the
// position's key, so a position costs one small copy, a few cell changes and
// one hash.
#include "rules/solver.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>

#include "rules/cell_moves.h"
#include "rules/tiles.h"

namespace {

using cellmoves::kColumns;
using cellmoves::kRows;
using cellmoves::onBoard;
const int kCells = kColumns * kRows;

// Codes the rules cannot tell apart share a class, so that positions that
// differ only in looks (a rock or a black rock, a whole or a broken ground
// line) are searched once. The passable classes come last.
enum CellClass : uint8_t { Wall, RockClass, DirtClass, TunnelClass, Ground, OtherPassable };

uint8_t classOf(uint8_t code) {
    if (isRock(code)) return RockClass;
    if (!isPassable(code)) return Wall;
    if (code == Dirt) return DirtClass;
    if (code == Tunnel) return TunnelClass;
    if (code == SkyBottom || code == SkyBottomDestroyed) return Ground;
    return OtherPassable;
}

// A position between moves: every cell's class, two to a byte, then the
// dog's cell. Nothing else of the rule state carries over from one move to
// the next. Whole 64-bit words, so that copying and hashing are quick.
const size_t kKeyWords = 19;
const size_t kDogByte = kCells / 2;  // then the dog's column and row

struct Position {
    uint64_t words[kKeyWords];

    uint8_t* bytes() { return reinterpret_cast<uint8_t*>(words); }
    const uint8_t* bytes() const { return reinterpret_cast<const uint8_t*>(words); }
    int get(int c, int r) const {
        int i = r * kColumns + c;
        return (bytes()[i >> 1] >> ((i & 1) << 2)) & 15;
    }
    void set(int c, int r, int value) {
        int i = r * kColumns + c, shift = (i & 1) << 2;
        uint8_t& b = bytes()[i >> 1];
        b = static_cast<uint8_t>((b & ~(15 << shift)) | (value << shift));
    }
    int dogColumn() const { return bytes()[kDogByte]; }
    int dogRow() const { return bytes()[kDogByte + 1]; }

    // The Board of cellmoves on the classes.
    bool passable(int c, int r) const { return get(c, r) >= DirtClass; }
    bool rock(int c, int r) const { return get(c, r) == RockClass; }
    bool dirt(int c, int r) const { return get(c, r) == DirtClass; }
    bool tunnel(int c, int r) const { return get(c, r) == TunnelClass; }
    bool ground(int c, int r) const { return get(c, r) == Ground; }
    void dig(int c, int r) { set(c, r, TunnelClass); }
    void loosen(int c, int r) { set(c, r, TunnelClass); }
    void land(int c, int r) { set(c, r, RockClass); }
    void breakGround(int, int) {}  // whole or broken, the same class
    void settled(int column) { mergeDirt(column); }

    // Rocks only ever fall straight down their own column, and dirt differs
    // from tunnel only in that rocks fall into tunnels. So above a column's
    // highest rock dirt and tunnel can never be told apart, now or later:
    // they are kept as one (tunnel), and positions that differ only there
    // are searched once.
    void mergeDirt(int column) {
        for (int r = 0; r < kRows; ++r) {
            const int c = get(column, r);
            if (c == RockClass) return;
            if (c == DirtClass) set(column, r, TunnelClass);
        }
    }

    // Plays a move; true when it reaches the bone.
    bool play(int32_t direction, const cellmoves::Goal& goal) {
        int column = dogColumn(), row = dogRow();
        bool won = cellmoves::move(*this, column, row, direction, goal);
        bytes()[kDogByte] = static_cast<uint8_t>(column);
        bytes()[kDogByte + 1] = static_cast<uint8_t>(row);
        return won;
    }
};

Position capture(const RuleState& s) {
    Position p;
    std::memset(p.words, 0, sizeof p.words);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) p.set(c, r, classOf(s.board[r][c]));
    p.bytes()[kDogByte] = static_cast<uint8_t>(s.dogColumn);
    p.bytes()[kDogByte + 1] = static_cast<uint8_t>(s.dogRow);
    for (int c = 0; c < kColumns; ++c) p.mergeDirt(c);
    return p;
}

uint64_t hashOf(const Position& p) {
    // Two independent lanes, so that the multiplications overlap.
    uint64_t a = 0x9e3779b97f4a7c15ull, b = 0x632be59bd9b4e019ull;
    for (size_t i = 0; i + 1 < kKeyWords; i += 2) {
        a = (a ^ p.words[i]) * 0xbf58476d1ce4e5b9ull;
        b = (b ^ p.words[i + 1]) * 0x94d049bb133111ebull;
        a ^= a >> 29;
        b ^= b >> 32;
    }
    a = (a ^ p.words[kKeyWords - 1]) * 0xbf58476d1ce4e5b9ull;
    uint64_t h = (a ^ (b >> 7)) * 0x94d049bb133111ebull;
    return h ^ (h >> 31);
}

bool samePosition(const Position& x, const Position& y) {
    uint64_t differ = 0;
    for (size_t i = 0; i < kKeyWords; ++i) differ |= x.words[i] ^ y.words[i];
    return differ == 0;
}

const uint32_t kNoParent = 0xffffffffu;

// Every position reached, in the order reached (the breadth-first order),
// with the move that reached it and where from, and a hash index over them.
// Positions are kept in fixed blocks, so that growing never copies them.
class Visited {
public:
    explicit Visited(size_t maxBytes) : maxBytes_(maxBytes), slots_(1 << 10, 0) {}
    size_t size() const { return size_; }
    // True once a position was refused because keeping it would take more
    // than the bound's bytes.
    bool full() const { return full_; }
    // What the containers hold now, allocated capacity counted.
    size_t bytes() const {
        return blocks_.size() * kBlock * sizeof(Position) + blocks_.capacity() * sizeof(blocks_[0]) +
               links_.capacity() * sizeof(Link) + slots_.capacity() * sizeof(uint64_t);
    }
    const Position& at(size_t i) const { return blocks_[i >> kBlockBits][i & (kBlock - 1)]; }
    uint32_t parent(size_t i) const { return links_[i].parent; }
    int32_t move(size_t i) const { return links_[i].move; }

    // The hash's high half both places the slot and is kept in it, so a slot
    // is only compared in full when the halves agree, and growing needs no
    // hashing.
    static uint64_t tagOf(const Position& p) { return hashOf(p) >> 32; }
    // Asks the processor for the slot's cache line ahead of add().
    void prefetch(uint64_t tag) const { __builtin_prefetch(&slots_[tag & (slots_.size() - 1)]); }

    // Adds the position (with its tagOf) unless it was seen before; true when added.
    bool add(const Position& p, uint64_t tag, uint32_t parent, int32_t move) {
        // Growing holds the old and the new table (or link list) at once.
        const bool growSlots = (size_ + 1) * 2 > slots_.size();
        size_t more = growSlots ? slots_.size() * 2 * sizeof(uint64_t) : 0;
        if ((size_ & (kBlock - 1)) == 0) more += kBlock * sizeof(Position) + sizeof(blocks_[0]);
        if (links_.size() == links_.capacity()) more += std::max<size_t>(links_.capacity(), 1) * 2 * sizeof(Link);
        if (bytes() + more > maxBytes_) {
            full_ = true;
            return false;
        }
        if (growSlots) grow();
        const size_t mask = slots_.size() - 1;
        for (size_t at = tag & mask;; at = (at + 1) & mask) {
            const uint64_t slot = slots_[at];
            if (slot == 0) {
                slots_[at] = tag << 32 | (size_ + 1);
                append(p);
                links_.push_back({parent, static_cast<uint8_t>(move)});
                return true;
            }
            if (slot >> 32 == tag && samePosition(this->at((slot & 0xffffffffu) - 1), p)) return false;
        }
    }

private:
    static const size_t kBlockBits = 9;
    static const size_t kBlock = size_t(1) << kBlockBits;

    struct Link {
        uint32_t parent;
        uint8_t move;
    };

    void append(const Position& p) {
        if ((size_ & (kBlock - 1)) == 0) blocks_.emplace_back(new Position[kBlock]);
        blocks_.back()[size_ & (kBlock - 1)] = p;
        ++size_;
    }

    void grow() {
        std::vector<uint64_t> old(slots_.size() * 2, 0);
        old.swap(slots_);
        const size_t mask = slots_.size() - 1;
        for (uint64_t slot : old) {
            if (slot == 0) continue;
            size_t at = (slot >> 32) & mask;
            while (slots_[at] != 0) at = (at + 1) & mask;
            slots_[at] = slot;
        }
    }

    size_t maxBytes_;
    bool full_ = false;
    std::vector<std::unique_ptr<Position[]>> blocks_;
    size_t size_ = 0;
    std::vector<Link> links_;
    std::vector<uint64_t> slots_;  // the hash's high half, then index + 1; 0 is empty
};

// A rock drops only when the dog leaves the cell under it, so a rock standing
// on rocks down to a wall or the bottom edge can never move.
bool rockForever(const RuleState& g, int32_t column, int32_t row) {
    if (!isRock(g.board[row][column])) return false;
    for (int32_t r = row + 1; r < kRows; ++r) {
        uint8_t below = g.board[r][column];
        if (!isRock(below)) return !isPassable(below);
    }
    return true;
}

// Cells the dog can never enter: walls never change, and rocks that can
// never fall stay where they are.
bool closedForever(const RuleState& g, int32_t column, int32_t row) {
    if (!onBoard(column, row)) return true;
    uint8_t code = g.board[row][column];
    if (isRock(code)) return rockForever(g, column, row);
    return !isPassable(code);
}

}  // namespace

const char* reasonText(SolveResult::Reason reason) {
    switch (reason) {
    case SolveResult::BoneBuried: return "the bone is buried under a rock";
    case SolveResult::BoneWalledIn: return "the bone is walled in";
    case SolveResult::NoWay: return "no sequence of moves reaches the bone";
    case SolveResult::TooMuchWork: return "gave up: too many positions";
    case SolveResult::Cancelled: return "stopped before the end";
    case SolveResult::NotPlayable: return "the position is not one between moves";
    default: return "";
    }
}

SolveResult solve(const RuleState& from, const SolveLimits& limits) {
    SolveResult result;
    auto started = std::chrono::steady_clock::now();
    auto finish = [&](SolveResult::Outcome outcome, SolveResult::Reason reason) {
        result.outcome = outcome;
        result.reason = reason;
        result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        return result;
    };

    if (!from.valid() || !from.betweenMoves()) return finish(SolveResult::NotProved, SolveResult::NotPlayable);
    const cellmoves::Goal goal{from.boneColumn, from.boneRow};
    if (from.dogColumn == goal.boneColumn && from.dogRow == goal.boneRow) {
        result.positions = 1;
        return finish(SolveResult::Solved, SolveResult::NoReason);  // won before any move
    }
    // The quick verdicts hold while the dog stands in an open cell, as it
    // does in play. A hand-made level may place it inside a wall or a rock:
    // from there a rock can even be dropped into a wall, so only the search
    // can tell.
    const int bc = goal.boneColumn, br = goal.boneRow;
    if (isPassable(from.board[from.dogRow][from.dogColumn])) {
        if (rockForever(from, bc, br)) return finish(SolveResult::Unwinnable, SolveResult::BoneBuried);
        if (closedForever(from, bc, br) || (closedForever(from, bc + 1, br) && closedForever(from, bc - 1, br) &&
                                            closedForever(from, bc, br + 1) && closedForever(from, bc, br - 1)))
            return finish(SolveResult::Unwinnable, SolveResult::BoneWalledIn);
    }

    // What the search saw of the bone's cell and its neighbours, to tell why
    // a level that has no way cannot be won.
    const bool boneStartsUnderRock = isRock(from.board[br][bc]);
    bool boneEverOpen = false, neighbourEverOpen = false;
    auto noteBone = [&](const Position& p) {
        if (p.passable(bc, br)) boneEverOpen = true;
        const int dc[] = {1, -1, 0, 0}, dr[] = {0, 0, 1, -1};
        for (int i = 0; i < 4; ++i)
            if (onBoard(bc + dc[i], br + dr[i]) && p.passable(bc + dc[i], br + dr[i])) neighbourEverOpen = true;
    };

    Visited visited(limits.maxBytes);
    const Position start = capture(from);
    visited.add(start, Visited::tagOf(start), kNoParent, None);
    noteBone(start);
    if (visited.full()) return finish(SolveResult::NotProved, SolveResult::TooMuchWork);  // not even one position

    const int32_t kDirections[] = {Down, Left, Right, Up};
    for (size_t current = 0; current < visited.size(); ++current) {
        if ((current & 255) == 0 && limits.cancel && limits.cancel->load(std::memory_order_relaxed)) {
            result.positions = visited.size();
            return finish(SolveResult::NotProved, SolveResult::Cancelled);
        }
        // The four moves are played first and their slots fetched together,
        // so that the lookups' memory waits overlap.
        Position next[4];
        uint64_t tags[4];
        for (int i = 0; i < 4; ++i) {
            next[i] = visited.at(current);
            if (next[i].play(kDirections[i], goal)) {
                result.moves.push_back(kDirections[i]);
                for (size_t p = current; visited.parent(p) != kNoParent; p = visited.parent(p))
                    result.moves.push_back(visited.move(p));
                std::reverse(result.moves.begin(), result.moves.end());
                result.positions = visited.size();
                return finish(SolveResult::Solved, SolveResult::NoReason);
            }
            tags[i] = Visited::tagOf(next[i]);
            visited.prefetch(tags[i]);
        }
        for (int i = 0; i < 4; ++i) {
            if (visited.add(next[i], tags[i], static_cast<uint32_t>(current), kDirections[i])) noteBone(next[i]);
            if (visited.full() || visited.size() > limits.maxPositions) {
                result.positions = visited.size();
                return finish(SolveResult::NotProved, SolveResult::TooMuchWork);
            }
        }
    }

    result.positions = visited.size();
    if (!boneEverOpen && boneStartsUnderRock) return finish(SolveResult::Unwinnable, SolveResult::BoneBuried);
    if (!boneEverOpen || !neighbourEverOpen) return finish(SolveResult::Unwinnable, SolveResult::BoneWalledIn);
    return finish(SolveResult::Unwinnable, SolveResult::NoWay);
}
