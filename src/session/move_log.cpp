#include "session/move_log.h"

#include <cstring>

namespace moveLog {

std::string text(const std::vector<int32_t>& moves) {
    std::string out;
    out.reserve(moves.size());
    for (int32_t m : moves) out += m == Up ? 'U' : m == Down ? 'D' : m == Left ? 'L' : 'R';
    return out;
}

bool fromText(const std::string& letters, std::vector<int32_t>& moves) {
    moves.clear();
    moves.reserve(letters.size());
    for (char c : letters) {
        switch (c) {
        case 'U': moves.push_back(Up); break;
        case 'D': moves.push_back(Down); break;
        case 'L': moves.push_back(Left); break;
        case 'R': moves.push_back(Right); break;
        default: moves.clear(); return false;
        }
    }
    return true;
}

bool settle(RuleState& state) {
    state.beginTick();
    return state.stepTick().won;
}

bool play(RuleState& state, const std::vector<int32_t>& moves, std::vector<RuleState>* before, bool* won) {
    if (won) *won = false;
    if (before) before->clear();
    if (!state.valid() || !state.betweenMoves() || state.selection != None) return false;
    bool reached = settle(state);
    for (size_t i = 0; i < moves.size(); ++i) {
        if (reached) return false;  // the level was over before this move
        if (before) before->push_back(state);
        const RuleState was = state;
        reached = playMove(state, moves[i]);
        const bool changed = reached || state.dogColumn != was.dogColumn || state.dogRow != was.dogRow ||
                             std::memcmp(state.board, was.board, sizeof state.board) != 0;
        if (!changed) return false;
        if (!reached) reached = settle(state);
    }
    if (won) *won = reached;
    return true;
}

}  // namespace moveLog
