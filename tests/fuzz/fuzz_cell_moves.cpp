// The solver's shortcuts against the ticks on any board (see differential.h).
#include <cstdio>

#include "../differential.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const std::string& fault : {differential::checkMoves(data, size), differential::checkSolver(data, size)})
        if (!fault.empty()) {
            std::fprintf(stderr, "%s\n", fault.c_str());
            __builtin_trap();
        }
    return 0;
}
