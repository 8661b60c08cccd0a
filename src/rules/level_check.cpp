#include "rules/level_check.h"

namespace {

const int kMovesPerLine = 12;

}  // namespace

std::string levelCheckText(const SolveResult& result) {
    switch (result.outcome) {
    case SolveResult::Solved: {
        std::string text = "Can be won in " + std::to_string(result.fewestMoves()) + " moves:";
        if (result.moves.empty()) text += " the dog is on the bone";
        for (size_t i = 0; i < result.moves.size(); ++i)
            text += std::string(i > 0 && i % kMovesPerLine == 0 ? "\n" : " ") + directionName(result.moves[i]);
        return text;
    }
    case SolveResult::Unwinnable: return std::string("Cannot be won: ") + reasonText(result.reason);
    default:
        if (result.reason == SolveResult::TooMuchWork) return "The search gave up: too many positions to try";
        return std::string("The search gave up: ") + reasonText(result.reason);
    }
}
