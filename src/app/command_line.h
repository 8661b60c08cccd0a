// What the command line asks for, answered before anything starts: a start
// that only asks for help or the version opens no window and needs no display.
#pragma once

#include <string>

// The answer to the arguments: `status` -1 when the game is to start,
// otherwise the exit status, with what to print on standard output (`out`)
// and standard error (`err`).
struct CommandLineAnswer {
    int status = -1;
    std::string out, err;
};
CommandLineAnswer answerCommandLine(int argc, const char* const* argv);
