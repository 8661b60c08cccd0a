// Ending the game from outside: SIGTERM, SIGINT and SIGHUP only ask the game
// to quit, and the main loop then shuts down as it does for the close button.
// Allegro's own handlers shut it down inside the handler (not safe there:
// seen to abort) and, for a signal the shell had ignored, leave a game with
// no window running for good.
#pragma once

#include <atomic>

namespace quitSignals {

// Notes which of the signals the game was launched with ignored (a shell's
// background job ignores SIGINT). Call before allegro_init, which installs
// handlers over them.
void noteLaunch();
// From now on each of the signals sets `quit` (and wakes wakeFd()); one that
// was ignored at launch is ignored again. Call after allegro_init.
void install(std::atomic<bool>& quit);
// True once one of the signals arrived.
bool arrived();
// Readable from the first signal on, for a wait that polls descriptors; -1
// when it could not be made.
int wakeFd();

}  // namespace quitSignals
