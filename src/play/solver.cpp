#include "play/solver.h"

#include <chrono>
#include <cstring>

#include "play/tiles.h"
#include "shell/game.h"

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

void capture(const Game& g, uint8_t* key) {
    for (int i = 0; i < kCells; i += 2) {
        uint8_t a = classOf(g.board[i / kColumns][i % kColumns]);
        uint8_t b = classOf(g.board[(i + 1) / kColumns][(i + 1) % kColumns]);
        key[i / 2] = static_cast<uint8_t>(a | (b << 4));
    }
    key[kCells / 2] = static_cast<uint8_t>(g.dogColumn);
    key[kCells / 2 + 1] = static_cast<uint8_t>(g.dogRow);
}

// Sets the game up standing still in the position.
void restore(Game& g, const uint8_t* key) {
    for (int i = 0; i < kCells; i += 2) {
        g.board[i / kColumns][i % kColumns] = kRepresentative[key[i / 2] & 15];
        g.board[(i + 1) / kColumns][(i + 1) % kColumns] = kRepresentative[key[i / 2] >> 4];
    }
    g.dogColumn = key[kCells / 2];
    g.dogRow = key[kCells / 2 + 1];
    g.dogOffsetX = g.dogOffsetY = 0;
    g.selection = None;
    g.rockFalling = false;
    g.screenMode = Playing;
    g.moveCount = 0;
}

// One input step of the playing screen, as the main loop runs it.
void inputStep(Game& g) {
    g.stepStartColumn = g.dogColumn;
    g.stepStartRow = g.dogRow;
    if (g.rockFalling)
        g.fallTick();
    else
        g.stepTick();
}

}  // namespace

bool playMove(Game& g, int32_t direction) {
    g.stepStartColumn = g.dogColumn;
    g.stepStartRow = g.dogRow;
    g.startMove(direction == Up, direction == Down, direction == Right, direction == Left);
    g.stepTick();
    // A slide cannot outlast a trip over the whole board with every rock
    // falling; the bound only guards against a rules change that never ends.
    for (int ticks = 0; ticks < 200000; ++ticks) {
        if (g.screenMode != Playing) return true;
        if (g.selection == None && !g.rockFalling) return false;
        inputStep(g);
    }
    return g.screenMode != Playing;
}

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

// The game's state that solving overwrites, put back afterwards.
struct SavedGame {
    uint8_t cells[kRows][kColumns];
    int32_t dogColumn, dogRow, selection, dogOffsetX, dogOffsetY, screenMode, moveCount;
    int32_t fallingRockX, fallingRockY, fallColumn, fallRow, stepStartColumn, stepStartRow;
    bool rockFalling, recordWins;

    explicit SavedGame(const Game& g)
        : dogColumn(g.dogColumn), dogRow(g.dogRow), selection(g.selection),
          dogOffsetX(g.dogOffsetX), dogOffsetY(g.dogOffsetY), screenMode(g.screenMode),
          moveCount(g.moveCount), fallingRockX(g.fallingRockX), fallingRockY(g.fallingRockY),
          fallColumn(g.fallColumn), fallRow(g.fallRow), stepStartColumn(g.stepStartColumn),
          stepStartRow(g.stepStartRow), rockFalling(g.rockFalling), recordWins(g.recordWins) {
        for (int r = 0; r < kRows; ++r) std::memcpy(cells[r], g.board[r], kColumns);
    }
    void putBack(Game& g) const {
        for (int r = 0; r < kRows; ++r) std::memcpy(g.board[r], cells[r], kColumns);
        g.dogColumn = dogColumn;
        g.dogRow = dogRow;
        g.selection = selection;
        g.dogOffsetX = dogOffsetX;
        g.dogOffsetY = dogOffsetY;
        g.screenMode = screenMode;
        g.moveCount = moveCount;
        g.fallingRockX = fallingRockX;
        g.fallingRockY = fallingRockY;
        g.fallColumn = fallColumn;
        g.fallRow = fallRow;
        g.stepStartColumn = stepStartColumn;
        g.stepStartRow = stepStartRow;
        g.rockFalling = rockFalling;
        g.recordWins = recordWins;
    }
};

bool onBoard(int32_t column, int32_t row) {
    return column >= 0 && row >= 0 && column < kColumns && row < kRows;
}

// A rock drops only when the dog leaves the cell under it, so a rock standing
// on rocks and walls down to a wall or the bottom edge can never move.
bool rockForever(const Game& g, int32_t column, int32_t row) {
    if (!isRock(g.board[row][column])) return false;
    for (int32_t r = row + 1; r < kRows; ++r) {
        uint8_t below = g.board[r][column];
        if (!isRock(below)) return !isPassable(below);
    }
    return true;
}

// Cells the dog can never enter: walls never change, and rocks that can
// never fall stay where they are.
bool closedForever(const Game& g, int32_t column, int32_t row) {
    if (!onBoard(column, row)) return true;
    uint8_t code = g.board[row][column];
    if (isRock(code)) return rockForever(g, column, row);
    return !isPassable(code);
}

}  // namespace

const char* directionName(int32_t direction) {
    switch (direction) {
        case Up: return "Up";
        case Down: return "Down";
        case Left: return "Left";
        case Right: return "Right";
        default: return "None";
    }
}

SolveResult solveLevel(Game& game, size_t maxStates) {
    SolveResult result;
    auto started = std::chrono::steady_clock::now();
    auto finish = [&](SolveResult::Outcome outcome) {
        result.outcome = outcome;
        result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        return result;
    };

    if (!game.board || game.boardWidth != kColumns || game.boardHeight != kRows) {
        result.reason = "there is no board";
        return finish(SolveResult::Unwinnable);
    }
    const int32_t boneColumn = game.boneColumn, boneRow = game.boneRow;
    if (!onBoard(boneColumn, boneRow)) {
        result.reason = "the bone lies outside the board";
        return finish(SolveResult::Unwinnable);
    }
    if (!onBoard(game.dogColumn, game.dogRow)) {
        result.reason = "the dog starts outside the board";
        return finish(SolveResult::Unwinnable);
    }
    if (game.dogColumn == boneColumn && game.dogRow == boneRow) {
        return finish(SolveResult::Solved);  // won before any move
    }

    if (rockForever(game, boneColumn, boneRow)) {
        result.reason = "the bone is buried under a rock";
        return finish(SolveResult::Unwinnable);
    }
    if (closedForever(game, boneColumn, boneRow) ||
        (closedForever(game, boneColumn + 1, boneRow) && closedForever(game, boneColumn - 1, boneRow) &&
         closedForever(game, boneColumn, boneRow + 1) && closedForever(game, boneColumn, boneRow - 1))) {
        result.reason = "the bone is walled in";
        return finish(SolveResult::Unwinnable);
    }

    SavedGame saved(game);
    game.recordWins = false;  // the solver is no player: no high scores

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
        ++result.statesExplored;
        for (int32_t direction : kDirections) {
            restore(game, visited.record(current));
            if (playMove(game, direction)) {
                result.moves.push_back(direction);
                for (size_t i = current; visited.parent(i) != kNoParent; i = visited.parent(i))
                    result.moves.insert(result.moves.begin(), visited.move(i));
                result.statesSeen = visited.size();
                saved.putBack(game);
                return finish(SolveResult::Solved);
            }
            capture(game, next.key);
            if (visited.add(next.key, static_cast<uint32_t>(current), direction)) {
                noteBone(next.key);
                if (visited.size() > maxStates) {
                    result.statesSeen = visited.size();
                    result.reason = "gave up after " + std::to_string(maxStates) + " positions";
                    saved.putBack(game);
                    return finish(SolveResult::GaveUp);
                }
            }
        }
    }

    result.statesSeen = visited.size();
    saved.putBack(game);
    if (!boneEverOpen && boneStartsUnderRock)
        result.reason = "the bone is buried under a rock";
    else if (!boneEverOpen || !neighbourEverOpen)
        result.reason = "the bone is walled in";
    else
        result.reason = "no sequence of moves reaches the bone";
    return finish(SolveResult::Unwinnable);
}
