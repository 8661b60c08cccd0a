// Milliseconds from a steady clock, for the timing of held keys.
#include <chrono>

unsigned long gameClockMs() {
    using namespace std::chrono;
    return static_cast<unsigned long>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
