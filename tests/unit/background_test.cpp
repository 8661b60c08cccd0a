// The event thread standing in for Allegro's on X11: the rhythm, nested
// disabling, a function removing itself, and sleep only in a quiet wait,
// woken at once by input.
#include <allegro.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "shell/background.h"

using namespace std::chrono_literals;
using background::Calm;

namespace {

std::atomic<int> runs{0};
int input[2];
background::EventThread* current = nullptr;

void countAndDrain(int) {  // reads what waits, as Allegro's X handler reads the connection
    char buffer[64];
    ++runs;
    while (read(input[0], buffer, sizeof buffer) > 0) {}
}
void removeSelf(int) { ++runs, current->remove(removeSelf); }

bool waitFor(std::function<bool()> done, std::chrono::milliseconds limit = 2000ms) {
    for (auto end = std::chrono::steady_clock::now() + limit; !done(); std::this_thread::sleep_for(1ms))
        if (std::chrono::steady_clock::now() > end) return false;
    return true;
}

TEST(Background, EventsKeepTheRhythmHonourNestedDisablingAndSleepInAQuietWaitUntilInput) {
    ASSERT_EQ(pipe2(input, O_NONBLOCK), 0);
    Calm calm;
    background::EventThread thread(calm, [] { return input[0]; });
    current = &thread;
    ASSERT_TRUE(thread.start());
    ASSERT_EQ(thread.add(countAndDrain), 0);
    EXPECT_TRUE(waitFor([] { return runs >= 5; })) << "functions run on their own, without input";
    thread.disable(), thread.disable();
    int frozen = runs;
    thread.enable();
    std::this_thread::sleep_for(60ms);
    EXPECT_EQ(runs, frozen) << "nothing runs while disabled, and disabling nests";
    thread.enable();
    EXPECT_TRUE(waitFor([&] { return runs > frozen; }));

    calm.enterQuiet();  // input just handled keeps the rhythm for the grace time, then it sleeps
    std::this_thread::sleep_for(Calm::grace + 50ms);
    frozen = runs;
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(runs, frozen) << "no runs while calm and without input";
    ASSERT_EQ(write(input[1], "k", 1), 1);
    const auto sent = std::chrono::steady_clock::now();
    EXPECT_TRUE(waitFor([&] { return runs > frozen; }));
    EXPECT_LT(std::chrono::steady_clock::now() - sent, background::EventThread::backstop / 2) << "input wakes it at once";
    calm.leaveQuiet();

    ASSERT_EQ(thread.remove(countAndDrain), 0);  // Allegro's exit path removes functions from inside one
    EXPECT_EQ(thread.remove(countAndDrain), -1);
    runs = 0;
    ASSERT_EQ(thread.add(removeSelf), 0);
    EXPECT_TRUE(waitFor([] { return runs == 1; }));
    std::this_thread::sleep_for(40ms);
    EXPECT_EQ(runs, 1);
}

}  // namespace
