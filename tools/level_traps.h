// How dangerous a level is: along one shortest way to the bone, which of the
// positions offer a move that loses the level outright. Written against two
// questions only, so that it serves any solver:
//
//   Answer solve(const Position&)   the fewest moves from a position, its
//                                   first move, or that it is lost
//   int play(const Position&, int direction, Position& next)
//                                   0: nothing changes, 1: a new position,
//                                   2: the move wins
#pragma once

#include <cstddef>
#include <vector>

namespace traps {

struct Answer {
    enum Outcome { Won, Lost, Unknown };
    Outcome outcome = Unknown;
    int fewest = 0;        // moves to the bone, when won
    int firstMove = 0;     // a Direction that starts a shortest way
    size_t positions = 0;  // positions the solver explored
    std::vector<int> way;  // the whole shortest way, when the solver gives it
};

struct Report {
    Answer start;              // the answer for the level's start
    std::vector<int> way;      // the shortest way that was followed
    std::vector<int> trapsAt;  // their places on the way, 0 the start
    int trapPositions = 0;     // positions on it with a losing move
    int losingMoves = 0;       // such moves, all told
};

// Follows one shortest way from the start and tries every other open move
// there. Stops counting once stopAt positions with a trap are found (the
// test only needs to know there are enough).
template <class Position, class Solve, class Play>
Report analyse(const Position& start, Solve solve, Play play, int stopAt = 1 << 30) {
    Report report;
    report.start = solve(start);
    if (report.start.outcome != Answer::Won) return report;
    Position here = start, next;
    Answer answer = report.start;
    const int kDirections[] = {1, 2, 3, 4};  // Right, Down, Left, Up
    while (answer.fewest > 0 && report.trapPositions < stopAt) {
        bool trap = false;
        for (int d : kDirections) {
            if (d == answer.firstMove || play(here, d, next) != 1) continue;
            if (solve(next).outcome == Answer::Lost) {
                trap = true;
                ++report.losingMoves;
            }
        }
        if (trap) report.trapsAt.push_back(static_cast<int>(report.way.size()));
        report.trapPositions += trap;
        report.way.push_back(answer.firstMove);
        if (play(here, answer.firstMove, next) == 2) break;
        here = next;
        if (answer.way.size() > 1) {  // no need to ask again
            answer.way.erase(answer.way.begin());
            answer.firstMove = answer.way[0];
            --answer.fewest;
        } else {
            answer = solve(here);
            if (answer.outcome != Answer::Won) break;  // the solver contradicts itself
        }
    }
    return report;
}

}  // namespace traps
