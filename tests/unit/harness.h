// Platform stand-ins: a simulated clock (rest, time), timed keys, typed text, recorded message boxes and fsyncs, scratch directories.
#pragma once

#include <allegro.h>

#include <ctime>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace harness {

extern unsigned long nowMs;
extern std::time_t baseSeconds;         // time() is baseSeconds + nowMs / 1000
extern std::vector<std::string> messages;  // allegro_message texts
extern std::vector<std::string> synced;  // "<path> <size>" of every fsync, in order
extern int desktopW, desktopH;           // the desktop the window system tells of (0: none); 1024x768 at first
extern std::vector<std::string> modes;   // "WxH" of every window mode asked for, in order
extern std::string refusedMode;          // "WxH" the window system refuses

void at(unsigned long atMs, std::function<void()> action);  // once the clock reaches atMs
void holdKey(int scancode, unsigned long fromMs, unsigned long toMs);  // from now + fromMs to now + toMs
void type(const std::string& text);  // each character typed now, as Allegro's typing callback tells it
void reset();  // time 0, nothing held, scheduled, queued or recorded; a 640x480 screen on a 1024x768 desktop

// A fresh working directory (with seedData, a copy of the shipped data) in parent; the old working directory comes back when it is destroyed.
class ScratchDir {
public:
    explicit ScratchDir(bool seedData = false, const std::string& parent = "/tmp");
    ~ScratchDir();
    const std::string& path() const { return path_; }
    std::string file(const std::string& relative) const { return relative[0] == '/' ? relative : path_ + "/" + relative; }
    void write(const std::string& relative, const std::string& content) const;
    std::string read(const std::string& relative) const;  // empty unless a regular file; or an absolute path

private:
    std::string path_, oldCwd_;
};

std::string dataDir();  // the shipped data tree

}  // namespace harness
