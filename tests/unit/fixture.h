// Games in scratch directories for the unit tests: boards written as text, hand-made levels, pixel helpers, and a Game driven step by step.
#pragma once
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "app/app.h"
#include "harness.h"
#include "platform/input.h"
#include "platform/sound.h"
#include "storage/board_text.h"
#include "rules/solver.h"
#include "rules/tiles.h"
#include "screens/board_view.h"
#include "screens/chooser.h"
#include "screens/dialogs.h"
#include "screens/editor.h"
#include "screens/finale.h"
#include "screens/help.h"
#include "screens/menu.h"
#include "screens/options.h"
#include "screens/playing.h"
#include "screens/text.h"
#include "screens/won.h"
#include "session/session.h"
#include "storage/level_file.h"

inline BITMAP* solid(int w, int h, int r, int g, int b) {
    BITMAP* bmp = create_bitmap(w, h);
    clear_to_color(bmp, makecol(r, g, b));
    return bmp;
}

inline bool isColour(BITMAP* bmp, int x, int y, int r, int g, int b) { return getpixel(bmp, x, y) == makecol(r, g, b); }

// The 8 rows from y show the text centred on x = 320 in the colour, and no other pixel of those rows has that colour (the text may lie over a picture).
inline bool lineShows(BITMAP* bmp, int y, const std::string& text, int colour, int halfWidth = 320) {
    BITMAP* want = create_bitmap(640, 8);
    clear_bitmap(want), textout_centre_ex(want, font, text.c_str(), 320, 0, colour, -1);
    bool same = true;
    for (int i = 0; i < 640 * 8 && same; ++i)
        same = std::abs(i % 640 - 320) > halfWidth ||
               (getpixel(bmp, i % 640, y + i / 640) == colour) == (getpixel(want, i % 640, i / 640) == colour);
    destroy_bitmap(want);
    return same;
}

// Grid rows over the blank layout after `first` usual rows; a pocket walls in all else with sky. Without a bone mark the bone lies bottom right.
inline RuleState textBoard(std::vector<std::string> rows, int first = 0, bool pocket = false) {
    rows.insert(rows.begin(), first, "");
    if (pocket) {
        rows.resize(15);
        for (std::string& row : rows) row.resize(20, '^');
    }
    RuleState s;
    s.boneColumn = 19, s.boneRow = 14;
    EXPECT_TRUE(applyGrid(s, rows));
    s.beginTick();
    return s;
}

// The pointer at (x, y) with the left button down, let go after 50 ms.
inline void click(int x, int y) {
    mouse_x = x, mouse_y = y, mouse_b = 1, input::onMouse(MOUSE_FLAG_LEFT_DOWN);
    harness::at(harness::nowMs + 50, [] { mouse_b = 0, input::onMouse(MOUSE_FLAG_LEFT_UP); });
}

// The game in a scratch directory, made by start() once the test's files are
// in place, and driven as the loop drives it: a frame every 5 ms of
// simulated time, with keys, text and clicks told to the input as Allegro
// tells them.
class AppFixture : public testing::Test {
protected:
    harness::ScratchDir dir;
    std::atomic<bool> quit{false};
    std::unique_ptr<App> app;
    BITMAP* picture = create_bitmap(640, 480);

    ~AppFixture() override { app.reset(), destroy_bitmap(picture); }
    // The scratch directory has no pictures: the message saying so is closed.
    App& start() {
        app.reset(), app = std::make_unique<App>(quit);
        run(10);
        if (on<MessageDialog>()) app->stack.close();
        run(10);
        return *app;
    }
    Session& session() { return app->session; }
    Screen* top() { return app->stack.top(); }
    template <class T> T* on() { return dynamic_cast<T*>(top()); }
    // Runs the loop for ms of simulated time.
    void run(unsigned long ms) {
        const unsigned long end = harness::nowMs + ms;
        while (harness::nowMs < end && !quit) rest(5), app->frame(harness::nowMs, picture);
    }
    // Runs the loop until the condition holds, for work done on threads in real time (at most 5 s).
    bool until(const std::function<bool()>& condition) {
        for (int i = 0; i < 1000 && !condition(); ++i) run(5), std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return condition();
    }
    // A key pressed, held `holdMs`, let go, then `afterMs` more of the loop.
    void press(int k, unsigned long holdMs = 100, unsigned long afterMs = 100) {
        harness::holdKey(k, 0, holdMs);
        run(holdMs + afterMs);
    }
    void keys(const std::vector<int>& ks) {
        for (int k : ks) press(k);
    }
    void type(const std::string& text) {
        harness::type(text);
        run(50);
    }
    // A left click at (x, y) in the game's picture.
    void clickAt(int x, int y) { click(x, y), run(100); }
    // The board of the level in play from text rows (see textBoard).
    void setBoard(const std::vector<std::string>& rows, int first = 0) {
        session().rules = textBoard(rows, first);
        session().play.begin(fewest::kNotKnown);
    }
    // The top screen's picture, drawn afresh.
    BITMAP* drawn() {
        app->stack.draw(picture);
        return picture;
    }
};

// Sky, ground line, then dirt with a diagonal of rocks and a few codes with no tile (a NUL among them).
inline int patternCell(int r, int c) {
    return r < 2 ? (r == 0 ? 2 : 19) : r == 2 && c < 3 ? (c == 0 ? 3 : c == 1 ? 200 : 0) : c == r ? 1 : 16;
}

// A level file of the pattern, a space after each cell; packed puts all 300 cells on one line.
inline std::string levelBytes(const std::string& title, const std::string& positions, const std::string& eol = "\r\n",
                              bool packed = false) {
    std::string s = title + eol + positions + eol;
    for (int n = 0; n < 300; ++n)
        s += std::string(1, char(patternCell(n / 20, n % 20))) + (packed ? "" : n % 20 == 19 ? " " + eol : " ");
    return s;
}

// A pocket in the sky, the dog one Down from the bone; buried, the bone lies under rocks down to the bottom.
inline RuleState pocket(bool buried) {
    std::vector<std::string> rows = {"", "^^^^D", "^^^^."};
    rows.resize(buried ? 15 : 4, buried ? "^^^^#" : "^^^^B");
    RuleState s = textBoard(rows, 0, true);
    s.boneColumn = 4, s.boneRow = 3;
    return s;
}

// Runs the action in a child killed after 20 s; true when it ended well.
inline bool endsInAChild(const std::function<bool()>& action) {
    pid_t child = fork();
    if (child == 0) {
        alarm(20);
        _exit(action() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The bone sealed in a ring of sky under a row of rocks: a search that runs to its bound (seconds).
inline RuleState sealedBone() {
    return textBoard({"", "", "####################", "d", "", "", "        ^^^^^", "        ^   ^", "        ^ b ^", "        ^   ^", "        ^^^^^"});
}

// A key held from `from` to `to` ms from now; a repeated one tells the keyboard's callback again every 30 ms, as X's repeat does.
struct Press {
    int key;
    unsigned long from, to;
    bool repeated = false;
};

// A child process holding the file's lock (another game stopped in the middle of a save) for `seconds`; its pid.
inline pid_t holdLock(const char* path, int seconds) {
    int ready[2];
    if (pipe(ready) != 0) return -1;
    const pid_t holder = fork();
    if (holder == 0) {
        flock(open(path, O_RDONLY), LOCK_EX);
        (void)!write(ready[1], "x", 1);
        sleep(seconds);
        _exit(0);
    }
    char x;
    (void)!read(ready[0], &x, 1);
    close(ready[0]), close(ready[1]);
    return holder;
}

struct LevelFixture : AppFixture {
    LevelFixture() { mkdir("levels", 0755); }
};
