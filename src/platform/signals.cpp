#include "platform/signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace quitSignals {

namespace {

const int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

static_assert(std::atomic<bool>::is_always_lock_free, "the handler may only touch lock-free atomics");

std::atomic<bool>* quitFlag = nullptr;
std::atomic<bool> received(false);
bool ignoredAtLaunch[sizeof kSignals / sizeof kSignals[0]] = {};
bool launchNoted = false;
int pipeEnds[2] = {-1, -1};

// Only async-signal-safe work: lock-free stores and a write to a
// non-blocking pipe (a full pipe is already readable, so a lost byte is fine).
void onSignal(int) {
    const int saved = errno;
    received.store(true);
    if (std::atomic<bool>* flag = quitFlag) flag->store(true);
    if (pipeEnds[1] >= 0) {
        const char one = 1;
        (void)!write(pipeEnds[1], &one, 1);
    }
    errno = saved;
}

}  // namespace

void noteLaunch() {
    for (size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i) {
        struct sigaction old;
        ignoredAtLaunch[i] = sigaction(kSignals[i], nullptr, &old) == 0 && old.sa_handler == SIG_IGN;
    }
    launchNoted = true;
}

void install(std::atomic<bool>& quit) {
    if (!launchNoted) noteLaunch();
    if (pipeEnds[0] < 0 && pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) pipeEnds[0] = pipeEnds[1] = -1;
    quitFlag = &quit;
    if (received.load()) quit.store(true);
    for (size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i) {
        struct sigaction action = {};
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        action.sa_handler = ignoredAtLaunch[i] ? SIG_IGN : onSignal;
        sigaction(kSignals[i], &action, nullptr);
    }
}

bool arrived() { return received.load(); }

int wakeFd() { return pipeEnds[0]; }

}  // namespace quitSignals
