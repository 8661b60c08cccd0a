// The background threads that stand in for Allegro's on X11: they must keep
// the library's guarantees (rhythm, disabled interrupts, self-removal) and
// sleep only inside a quiet wait, waking at once on input.
#include <allegro.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "shell/background.h"

using namespace std::chrono_literals;
using background::Calm;
using background::EventThread;
using background::TimerThread;

namespace {

std::atomic<int> runs{0};
int inputPipe[2] = {-1, -1};
EventThread* current = nullptr;

// Reads what is waiting, as Allegro's X handler reads the connection.
void countAndDrain(int) {
    ++runs;
    char buffer[64];
    while (read(inputPipe[0], buffer, sizeof buffer) > 0) {}
}

void removeSelf(int) {
    ++runs;
    current->remove(removeSelf);
}

template <class Predicate>
bool waitFor(Predicate done, std::chrono::milliseconds limit = 2000ms) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

class EventThreadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(pipe2(inputPipe, O_NONBLOCK), 0);
        runs = 0;
        thread = new EventThread(calm, [] { return inputPipe[0]; });
        current = thread;
        ASSERT_TRUE(thread->start());
    }
    void TearDown() override {
        delete thread;
        close(inputPipe[0]);
        close(inputPipe[1]);
    }
    Calm calm;
    EventThread* thread = nullptr;
};

}  // namespace

TEST_F(EventThreadTest, KeepsTheRhythmHonoursDisablingAndLetsAFunctionRemoveItself) {
    ASSERT_EQ(thread->add(countAndDrain), 0);
    EXPECT_TRUE(waitFor([] { return runs >= 5; })) << "functions run on their own, without input";

    thread->disable();
    thread->disable();
    EXPECT_EQ(thread->disabled(), 2);
    const int frozen = runs;
    std::this_thread::sleep_for(60ms);
    EXPECT_EQ(runs, frozen) << "nothing runs while disabled";
    thread->enable();
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(runs, frozen) << "disabling nests";
    thread->enable();
    EXPECT_TRUE(waitFor([&] { return runs > frozen; }));

    // Allegro's exit path removes functions from inside one of them.
    ASSERT_EQ(thread->remove(countAndDrain), 0);
    EXPECT_EQ(thread->remove(countAndDrain), -1);
    runs = 0;
    ASSERT_EQ(thread->add(removeSelf), 0);
    EXPECT_TRUE(waitFor([] { return runs == 1; }));
    std::this_thread::sleep_for(40ms);
    EXPECT_EQ(runs, 1);
}

TEST_F(EventThreadTest, SleepsInAQuietWaitUntilInputArrivesOrTheWaitEnds) {
    ASSERT_EQ(thread->add(countAndDrain), 0);
    calm.enterQuiet();
    // Input just handled still gets the full rhythm for the grace time.
    EXPECT_TRUE(waitFor([] { return runs >= 5; }));
    std::this_thread::sleep_for(Calm::grace + 50ms);

    const int asleep = runs;
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(runs, asleep) << "no runs while calm and without input";

    ASSERT_EQ(write(inputPipe[1], "k", 1), 1);
    const auto sent = std::chrono::steady_clock::now();
    EXPECT_TRUE(waitFor([&] { return runs > asleep; }));
    EXPECT_LT(std::chrono::steady_clock::now() - sent, EventThread::backstop / 2) << "input wakes the thread at once";

    // After the input the rhythm holds again, then sleeps once more.
    std::this_thread::sleep_for(Calm::grace + 50ms);
    const int again = runs;
    calm.leaveQuiet();
    EXPECT_TRUE(waitFor([&] { return runs >= again + 3; }, 300ms)) << "the end of the wait restores the rhythm";
}

TEST(TimerThreadTest, SleepsWhileCalmYetLosesNoTime) {
    Calm calm;
    std::atomic<long> calls{0}, ticks{0};
    TimerThread timers(calm, [&](long elapsed) {
        ++calls;
        ticks += elapsed;
        return MSEC_TO_TIMER(10);
    });
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(timers.start());
    EXPECT_TRUE(waitFor([&] { return calls >= 5; }));

    calm.enterQuiet();
    std::this_thread::sleep_for(Calm::grace + 50ms);
    const long asleep = calls;
    std::this_thread::sleep_for(300ms);
    EXPECT_LE(calls, asleep + 1) << "at most one late round while calm";

    calm.activity();
    EXPECT_TRUE(waitFor([&] { return calls > asleep + 1; }, 200ms)) << "activity wakes the timers";
    timers.stop();
    calm.leaveQuiet();

    // The timers were handed the whole time that passed, sleep included.
    const double handed = static_cast<double>(ticks) / TIMERS_PER_SECOND;
    const double passed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_NEAR(handed, passed, 0.05);
}
