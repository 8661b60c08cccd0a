// Test stand-ins for the platform: a simulated clock driven by rest() and
// vsync(), scripted key and mouse changes at chosen times, a key queue the
// test fills, recorded message boxes, and scratch game directories.
#pragma once

#include <allegro.h>

#include <ctime>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace harness {

// Milliseconds of simulated time; rest(ms) adds ms, vsync() adds 16.
extern unsigned long nowMs;
// time() returns baseSeconds + nowMs / 1000.
extern std::time_t baseSeconds;
// Every rest() call's argument, in order.
extern std::vector<unsigned> rests;
extern unsigned long vsyncCount;
// What allegro_message was asked to show, formatted.
extern std::vector<std::string> messages;
// Keys waiting for keypressed()/readkey(): (scancode << 8) | ascii.
extern std::deque<int> keyQueue;
// The picture last given to set_mouse_sprite (null: the default arrow), and
// how many times it was called; no mouse driver runs in the tests.
extern BITMAP* mouseSprite;
extern int mouseSpriteCalls;

// Runs the action once the simulated clock has reached atMs.
void at(unsigned long atMs, std::function<void()> action);
// Holds a key from now + fromMs to now + toMs.
void holdKey(int scancode, unsigned long fromMs, unsigned long toMs);
// Holds the left mouse button at (x, y) during the same kind of window.
void holdMouse(int x, int y, unsigned long fromMs, unsigned long toMs);
// Queues typed text for readkey (printable characters).
void type(const std::string& text);
void queueKey(int scancode, int ascii = 0);

// Back to time 0 with nothing held, scheduled, queued or recorded.
void reset();

// A fresh directory to work in; with seedData the shipped data tree is copied
// into it. The old working directory comes back when it is destroyed.
class ScratchDir {
public:
    explicit ScratchDir(bool seedData = false);
    // The same, made inside another directory (such as a memory file system
    // for a test that writes a lot).
    ScratchDir(bool seedData, const std::string& parent);
    ~ScratchDir();
    const std::string& path() const { return path_; }
    std::string file(const std::string& relative) const { return path_ + "/" + relative; }
    void write(const std::string& relative, const std::string& content) const;
    std::string read(const std::string& relative) const;  // empty when missing
    bool exists(const std::string& relative) const;

private:
    std::string path_;
    std::string oldCwd_;
};

// The directory of the shipped data tree.
std::string dataDir();

}  // namespace harness
