#include "play/solver.h"

#include <chrono>
#include <cstring>

#include "play/tiles.h"

namespace {

const int kColumns = 20;
const int kRows = 15;
const int kCells = kColumns * kRows;

// Codes the rules cannot tell apart share a class, so that positions that
// differ only in looks (a rock or a black rock, a whole or a broken ground
// line) are searched once. Each class plays as one representative code.
enum CellClass : uint8_t { Wall, RockClass, DirtClass, TunnelClass, Ground, OtherPassable };
const uint8_t kRepresentative[] = {SkyTop, Rock, Dirt, Tunnel, SkyBottom, DirtBackground};

uint8_t classOf(uint8_t code) {
    if (isRock(code)) return RockClass;
    if (!isPassable(code)) return Wall;
    if (code == Dirt) return DirtClass;
    if (code == Tunnel) return TunnelClass;
    if (code == SkyBottom || code == SkyBottomDestroyed) return Ground;
    return OtherPassable;
}

// A position between moves: every cell's class, two to a byte, then the
// dog's cell. Between moves nothing else of the game's state carries over.
const size_t kKeySize = kCells / 2 + 2;
// Stored with the move that reached it and where it came from.
const size_t kRecordSize = kKeySize + 5;
const uint32_t kNoParent = 0xffffffffu;

struct Position {
    uint8_t key[kKeySize];
};

void capture(const RuleState& g, uint8_t* key) {
    for (int i = 0; i < kCells; i += 2) {
        uint8_t a = classOf(g.board[i / kColumns][i % kColumns]);
        uint8_t b = classOf(g.board[(i + 1) / kColumns][(i + 1) % kColumns]);
        key[i / 2] = static_cast<uint8_t>(a | (b << 4));
    }
    key[kCells / 2] = static_cast<uint8_t>(g.dogColumn);
    key[kCells / 2 + 1] = static_cast<uint8_t>(g.dogRow);
}

// Sets a rule state up standing still in the position.
void restore(RuleState& g, const uint8_t* key) {
    for (int i = 0; i < kCells; i += 2) {
        g.board[i / kColumns][i % kColumns] = kRepresentative[key[i / 2] & 15];
        g.board[(i + 1) / kColumns][(i + 1) % kColumns] = kRepresentative[key[i / 2] >> 4];
    }
    g.dogColumn = key[kCells / 2];
    g.dogRow = key[kCells / 2 + 1];
    g.dogOffsetX = g.dogOffsetY = 0;
    g.selection = None;
    g.rockFalling = false;
    g.moveCount = 0;
}

}  // namespace

namespace {

uint64_t hashKey(const uint8_t* key) {
    uint64_t h = 1469598103934665603ull;
    for (size_t i = 0; i < kKeySize; ++i) {
        h ^= key[i];
        h *= 1099511628211ull;
    }
    return h ^ (h >> 29);
}

// Every position reached, in the order reached (which is the breadth-first
// order), with an open-addressed index over them.
class Visited {
public:
    explicit Visited(size_t expected) {
        size_t slots = 1024;
        while (slots < expected * 2) slots *= 2;
        slots_.assign(slots, kNoParent);
    }
    size_t size() const { return count_; }
    const uint8_t* record(size_t i) const { return &arena_[i * kRecordSize]; }
    uint32_t parent(size_t i) const {
        uint32_t p;
        std::memcpy(&p, record(i) + kKeySize, 4);
        return p;
    }
    int32_t move(size_t i) const { return record(i)[kKeySize + 4]; }

    // Adds the position unless it was seen before; true when added.
    bool add(const uint8_t* key, uint32_t parent, int32_t move) {
        if ((count_ + 1) * 2 > slots_.size()) grow();
        size_t mask = slots_.size() - 1;
        size_t at = hashKey(key) & mask;
        while (slots_[at] != kNoParent) {
            if (std::memcmp(record(slots_[at]), key, kKeySize) == 0) return false;
            at = (at + 1) & mask;
        }
        slots_[at] = static_cast<uint32_t>(count_);
        size_t offset = arena_.size();
        arena_.resize(offset + kRecordSize);
        std::memcpy(&arena_[offset], key, kKeySize);
        std::memcpy(&arena_[offset + kKeySize], &parent, 4);
        arena_[offset + kKeySize + 4] = static_cast<uint8_t>(move);
        ++count_;
        return true;
    }

private:
    void grow() {
        std::vector<uint32_t> old;
        old.swap(slots_);
        slots_.assign(old.size() * 2, kNoParent);
        size_t mask = slots_.size() - 1;
        for (uint32_t index : old) {
            if (index == kNoParent) continue;
            size_t at = hashKey(record(index)) & mask;
            while (slots_[at] != kNoParent) at = (at + 1) & mask;
            slots_[at] = index;
        }
    }

    std::vector<uint8_t> arena_;
    std::vector<uint32_t> slots_;
    size_t count_ = 0;
};

bool onBoard(int32_t column, int32_t row) {
    return column >= 0 && row >= 0 && column < kColumns && row < kRows;
}

// A rock drops only when the dog leaves the cell under it, so a rock standing
// on rocks and walls down to a wall or the bottom edge can never move.
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
    const int32_t boneColumn = from.boneColumn, boneRow = from.boneRow;
    if (from.dogColumn == boneColumn && from.dogRow == boneRow) {
        result.positions = 1;
        return finish(SolveResult::Solved, SolveResult::NoReason);  // won before any move
    }
    if (rockForever(from, boneColumn, boneRow)) return finish(SolveResult::Unwinnable, SolveResult::BoneBuried);
    if (closedForever(from, boneColumn, boneRow) ||
        (closedForever(from, boneColumn + 1, boneRow) && closedForever(from, boneColumn - 1, boneRow) &&
         closedForever(from, boneColumn, boneRow + 1) && closedForever(from, boneColumn, boneRow - 1)))
        return finish(SolveResult::Unwinnable, SolveResult::BoneWalledIn);

    RuleState game = from;
    const bool boneStartsUnderRock = isRock(game.board[boneRow][boneColumn]);
    bool boneEverOpen = false;       // the bone's cell passable in some position
    bool neighbourEverOpen = false;  // a cell beside the bone passable in some position
    const int boneCell = boneRow * kColumns + boneColumn;
    auto classAt = [](const uint8_t* key, int cell) {
        return cell % 2 == 0 ? key[cell / 2] & 15 : key[cell / 2] >> 4;
    };
    auto passableClass = [](int c) { return c >= DirtClass; };
    auto noteBone = [&](const uint8_t* key) {
        if (passableClass(classAt(key, boneCell))) boneEverOpen = true;
        const int dc[] = {1, -1, 0, 0}, dr[] = {0, 0, 1, -1};
        for (int i = 0; i < 4; ++i) {
            int c = boneColumn + dc[i], r = boneRow + dr[i];
            if (onBoard(c, r) && passableClass(classAt(key, r * kColumns + c)))
                neighbourEverOpen = true;
        }
    };

    Visited visited(1 << 16);
    Position start, next;
    capture(game, start.key);
    visited.add(start.key, kNoParent, None);
    noteBone(start.key);

    const int32_t kDirections[] = {Down, Left, Right, Up};
    for (size_t current = 0; current < visited.size(); ++current) {
        if (limits.cancel && limits.cancel->load(std::memory_order_relaxed)) {
            result.positions = visited.size();
            return finish(SolveResult::NotProved, SolveResult::Cancelled);
        }
        for (int32_t direction : kDirections) {
            restore(game, visited.record(current));
            if (playMove(game, direction)) {
                result.moves.push_back(direction);
                for (size_t i = current; visited.parent(i) != kNoParent; i = visited.parent(i))
                    result.moves.insert(result.moves.begin(), visited.move(i));
                result.positions = visited.size();
                return finish(SolveResult::Solved, SolveResult::NoReason);
            }
            capture(game, next.key);
            if (visited.add(next.key, static_cast<uint32_t>(current), direction)) {
                noteBone(next.key);
                if (visited.size() > limits.maxPositions) {
                    result.positions = visited.size();
                    return finish(SolveResult::NotProved, SolveResult::TooMuchWork);
                }
            }
        }
    }

    result.positions = visited.size();
    if (!boneEverOpen && boneStartsUnderRock) return finish(SolveResult::Unwinnable, SolveResult::BoneBuried);
    if (!boneEverOpen || !neighbourEverOpen) return finish(SolveResult::Unwinnable, SolveResult::BoneWalledIn);
    return finish(SolveResult::Unwinnable, SolveResult::NoWay);
}
