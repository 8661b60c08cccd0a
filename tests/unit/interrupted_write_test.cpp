// Every writer of a file, interrupted at each byte of its write, leaves on
// disk either the complete old file or the complete new one: never a mixture,
// never a cut-off file. Two kinds of interruption: a write that fails (the
// writer must notice and keep the old file) and the death of the process in
// the middle of its write. Both come from the kernel's file-size limit, so
// they hit whatever way the writer writes: every write that would grow a file
// past the limit fails with EFBIG, or, with SIGXFSZ left at its default,
// kills the process there.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "harness.h"
#include "shell/game.h"

namespace {

enum class Interruption { FailingWrite, Kill };

const char* name(Interruption how) { return how == Interruption::Kill ? "killed" : "failed"; }

// Runs the writer with every file limited to `limit` bytes. Returns what the
// writer reported (for a killed child: true when it ran to the end).
bool runLimited(Interruption how, rlim_t limit, const std::function<bool()>& writer) {
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit limited = {limit, old.rlim_max};
    if (how == Interruption::FailingWrite) {
        struct sigaction ignore = {}, previous = {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &previous);
        setrlimit(RLIMIT_FSIZE, &limited);
        bool ok = writer();
        setrlimit(RLIMIT_FSIZE, &old);
        sigaction(SIGXFSZ, &previous, nullptr);
        return ok;
    }
    pid_t child = fork();
    if (child == 0) {
        struct rlimit noCore = {0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        signal(SIGXFSZ, SIG_DFL);
        setrlimit(RLIMIT_FSIZE, &limited);
        writer();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string show(const std::string& bytes) {
    std::string s;
    for (unsigned char c : bytes) {
        if (c >= 32 && c < 127)
            s.push_back(static_cast<char>(c));
        else
            s += "\\" + std::to_string(c);
    }
    return s;
}

struct WriterCase {
    std::string file;                // the file that must stay whole
    std::function<void()> prepare;   // puts the old file and the game state in place
    std::function<bool()> write;     // the writer; its result when it has one
    bool reportsFailure;             // whether the writer's result must tell a failure
};

// Runs the writer once whole to learn the new file, then again interrupted
// after every byte count from 0 up to the size of the larger file, both
// ways; checks each time that the file is the old one or the new one.
void expectOldOrNew(const harness::ScratchDir& dir, const WriterCase& c) {
    c.prepare();
    const std::string oldContent = dir.read(c.file);
    ASSERT_TRUE(c.write());
    const std::string newContent = dir.read(c.file);
    ASSERT_NE(oldContent, newContent) << "the writer changed nothing; the test shows nothing";
    const size_t most = std::max(oldContent.size(), newContent.size()) + 1;

    for (Interruption how : {Interruption::FailingWrite, Interruption::Kill}) {
        int sawOld = 0, sawNew = 0;
        // A failing write costs little and is tried after every byte; a
        // killed child costs a process, so those are spread over the write
        // (with its first bytes and its end always among them).
        const size_t step = how == Interruption::Kill ? std::max<size_t>(1, most / 48) : 1;
        for (size_t limit = 0; limit <= most; limit = (limit < 4 || limit + step > most) ? limit + 1 : limit + step) {
            c.prepare();
            bool reported = runLimited(how, limit, c.write);
            std::string now = dir.read(c.file);
            bool isOld = now == oldContent, isNew = now == newContent;
            sawOld += isOld;
            sawNew += isNew;
            ASSERT_TRUE(isOld || isNew)
                << c.file << " " << name(how) << " after " << limit << " bytes holds \"" << show(now)
                << "\"\nold: \"" << show(oldContent) << "\"\nnew: \"" << show(newContent) << "\"";
            if (how == Interruption::FailingWrite && c.reportsFailure) {
                EXPECT_EQ(reported, isNew) << c.file << ": a failed write reported as success or "
                                              "the reverse, limit "
                                           << limit;
            }
        }
        // Both outcomes occurred: the limits really cut the write somewhere.
        EXPECT_GT(sawOld, 0) << name(how);
        EXPECT_GT(sawNew, 0) << name(how);
    }
}

class InterruptedWrite : public testing::Test {
protected:
    void SetUp() override {
        // Hundreds of saves, each synced to disk: on a memory file system
        // where there is one, that costs nothing.
        struct stat shm;
        bool inMemory = stat("/dev/shm", &shm) == 0 && S_ISDIR(shm.st_mode) &&
                        access("/dev/shm", W_OK) == 0;
        dir = std::make_unique<harness::ScratchDir>(false, inMemory ? "/dev/shm" : "/tmp");
        mkdir("levels", 0755);
        game = std::make_unique<Game>(&quit);
        ASSERT_NE(game->board, nullptr);
    }
    void TearDown() override {
        game.reset();
        dir.reset();
    }

    std::atomic<bool> quit{false};
    std::unique_ptr<harness::ScratchDir> dir;
    std::unique_ptr<Game> game;
};

std::string levelBytes(const std::string& title, const std::string& positions, uint8_t cell) {
    std::string s = title + "\r\n" + positions + "\r\n";
    for (int r = 0; r < 15; ++r) {
        for (int c = 0; c < 20; ++c) {
            s.push_back(static_cast<char>(r < 2 ? (r == 0 ? 2 : 19) : cell));
            s.push_back(' ');
        }
        s += "\r\n";
    }
    return s;
}

TEST_F(InterruptedWrite, LevelSaveLeavesTheOldLevelOrTheNewOne) {
    const std::string old = levelBytes("The old level", "3 1 10 9", 16);
    WriterCase level{
        "levels/5.lvl",
        [&] {
            dir->write("levels/5.lvl", old);
            ASSERT_TRUE(game->loadLevel(5));
            game->setLevelTitle("A new title, somewhat longer than the old one");
            game->board[6][4] = 1;
            game->board[7][4] = 17;
            game->dogColumn = 12;
        },
        [&] { return game->saveLevel(); },
        true,
    };
    expectOldOrNew(*dir, level);
}

TEST_F(InterruptedWrite, HighScoreRewriteAndAppendLeaveTheOldTableOrTheNewOne) {
    WriterCase rewrite{
        "highscores.dat",
        [&] {
            dir->write("highscores.dat", "1 20\r\n3 25\r\n2 31\r\n3 40\r\n");
            std::remove("highscores2.dat");
            game->setLevelNumber(3);
            game->moveCount = 17;
        },
        [&] {
            game->updateHighScores();
            return true;
        },
        false,
    };
    expectOldOrNew(*dir, rewrite);

    WriterCase append = rewrite;
    append.prepare = [&] {
        dir->write("highscores.dat", "1 20\r\n2 31");  // the last line without its break
        std::remove("highscores2.dat");
        game->setLevelNumber(3);
        game->moveCount = 17;
    };
    expectOldOrNew(*dir, append);
}

TEST_F(InterruptedWrite, SettingsSaveLeavesTheOldSettingsOrTheNewOnes) {
    WriterCase settings{
        "settings.ini",
        [&] {
            dir->write("settings.ini", "200\r\n1\r\n");
            FSOUND_SetSFXMasterVolume(100);
            game->ambientEnabled = false;
        },
        [&] {
            // Escape alone: the menu leaves at once and saves what it has.
            key[KEY_ESC] = -1;
            harness::holdKey(KEY_ESC, 0, 200);
            game->optionsMenu();
            return true;
        },
        false,
    };
    expectOldOrNew(*dir, settings);
}

}  // namespace
