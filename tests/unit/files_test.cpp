// The file reader and writer (regular files, bounded reads, all-or-nothing replace) and the fewest-moves table on top of it.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>

#include "fixture.h"
#include "storage/files.h"
#include "storage/highscores.h"
#include "storage/pending_records.h"

namespace {

// Files in the working directory, dot files included.
int entries() { return std::system("exit $(ls -A | wc -l)") >> 8; }

TEST(Files, ReadsOnlyRegularFilesAndNoFurtherThanAsked) {
    harness::ScratchDir dir;
    dir.write("plain", "0123456789");
    ASSERT_EQ(std::system("mkfifo pipe && ln -s /dev/zero zero && ln -s plain link && mkdir folder && truncate -s 100M huge"), 0);
    const struct { const char* path; size_t limit; const char* result; } cases[] = {
        {"plain", 100, "0123456789"}, {"plain", 4, "0123"}, {"link", 3, "012"}, {"huge", 2, "\0\0"},
        {"missing", 9, "No such file or directory"}, {"folder", 9, "Is a directory"},
        {"pipe", 9, "Not a regular file"}, {"zero", 9, "Not a regular file"},
    };
    for (const auto& c : cases) {
        std::string bytes = "old";
        files::Outcome read = files::readRegular(c.path, c.limit, bytes);
        EXPECT_EQ(read.ok ? bytes : read.reason, std::string(c.result, read.ok ? std::min<size_t>(c.limit, 10) : strlen(c.result))) << c.path;
    }
}

TEST(Files, AReplaceSyncsThenRenamesKeepsLinksAndModesAndRefusesWhatMayNotBeWritten) {
    harness::ScratchDir dir;
    ASSERT_EQ(std::system("mkdir real && echo old >real/table && chmod 640 real/table && ln -s real/table table"
                          " && echo mine >victim && ln -s victim settings.ini.tmp && ln -s victim highscores2.dat"
                          " && echo old >kept && chmod 444 kept && mkdir dir"), 0);
    ASSERT_TRUE(files::writeReplacing("table", "new"));
    struct stat st;
    EXPECT_EQ(dir.read("real/table"), "new");
    EXPECT_TRUE(stat("real/table", &st) == 0 && (st.st_mode & 07777) == 0640);
    EXPECT_TRUE(lstat("table", &st) == 0 && S_ISLNK(st.st_mode));
    // The bytes reached the disk under the temporary name, before the rename;
    // then the folder did, so that the rename outlives a power cut too.
    ASSERT_EQ(harness::synced.size(), 2u);
    EXPECT_EQ(harness::synced[0].rfind(dir.file("real/table.tmp-"), 0), 0u) << harness::synced[0];
    EXPECT_EQ(harness::synced[0].substr(harness::synced[0].size() - 2), " 3");
    EXPECT_EQ(harness::synced[1].rfind(dir.file("real") + " ", 0), 0u) << harness::synced[1];
    // Links at the temporary names an older game used lead nowhere now.
    EXPECT_TRUE(files::writeReplacing("settings.ini", "1") && files::writeReplacing("highscores.dat", "2"));
    EXPECT_EQ(dir.read("victim"), "mine\n");
    const struct { const char* path; const char* reason; } refused[] = {
        {"kept", "Permission denied"}, {"dir", "Is a directory"}, {"nowhere/file", "No such file or directory"}};
    for (const auto& r : refused) EXPECT_EQ(files::writeReplacing(r.path, "new").reason, r.reason) << r.path;
    EXPECT_EQ(dir.read("kept"), "old\n");
    EXPECT_EQ(entries(), 9) << "a temporary was left behind";
}

TEST(Files, AnInterruptedReplaceLeavesTheOldFileOrTheNewOneAndNoTemporary) {
    harness::ScratchDir dir;
    const std::string oldBytes(300, 'o'), newBytes(500, 'n');
    pid_t dead = fork();  // a stale temporary of a dead writer goes; a live writer's stays
    if (dead == 0) _exit(0);
    waitpid(dead, nullptr, 0);
    dir.write("f.tmp-" + std::to_string(dead) + "-abcdef", "x");
    dir.write("f.tmp-1-abcdef", "live");
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_IGN);
    // Files limited to `limit` bytes: the write fails there (or, in a child with the signal's default, the writer dies there as on a kill -9).
    for (bool kill : {false, true}) {
        for (rlim_t limit = 0; limit <= 520; limit += kill ? 52 : 1) {
            dir.write("f", oldBytes);
            pid_t child = kill ? fork() : 0;
            struct rlimit small = {limit, old.rlim_max};
            if (child == 0) {
                if (kill) signal(SIGXFSZ, SIG_DFL);
                setrlimit(RLIMIT_FSIZE, &small);
                files::Outcome written = files::writeReplacing("f", newBytes);
                setrlimit(RLIMIT_FSIZE, &old);
                if (kill) _exit(0);
                EXPECT_EQ(written.reason, written.ok ? "" : "File too large");
                EXPECT_EQ(written.ok, dir.read("f") == newBytes) << limit;
            }
            if (child > 0) waitpid(child, nullptr, 0);
            ASSERT_TRUE(dir.read("f") == oldBytes || dir.read("f") == newBytes) << limit << " " << kill;
        }
        ASSERT_TRUE(files::writeReplacing("f", newBytes));  // cleans up what the kills left
        EXPECT_EQ(entries(), 2) << "temporaries left behind";
    }
    EXPECT_EQ(dir.read("f.tmp-1-abcdef"), "live");
}

class HighScores : public testing::Test {
protected:
    // Wins level in moves with the table as given; the table afterwards.
    std::string win(const char* before, int level, int moves) {
        if (before) dir.write("highscores.dat", before);
        result = recordWin(level, moves);
        return dir.read("highscores.dat");
    }
    harness::ScratchDir dir;
    WinRecord result;
};

TEST_F(HighScores, LookupAppendAndRewriteInPlace) {
    const struct { const char* before; int level, moves, record; const char* after; } cases[] = {  // record -1: new
        {"", 3, 17, -1, "3 17\r\n"}, {"3 17\r\n", 4, 9, -1, "3 17\r\n4 9\r\n"},
        {"1 5\n3 17\n4 9\n", 3, 12, -1, "1 5\n3 12\n4 9\n"},  // only the level's count changes
        {"1 5\r\n3 17\r\n", 3, 17, 17, "1 5\r\n3 17\r\n"}, {"1 5\r\n3 17\r\n", 3, 20, 17, "1 5\r\n3 17\r\n"},
        {"1 3\n3 17\n", 3, 12, -1, "1 3\n3 12\n"},  // a count equal to the level number is no level
        {"3 17\n2 4\n3 30\n", 3, 25, 17, "3 17\n2 4\n3 30\n"}, {"3 17\n2 4\n3 30\n", 3, 12, -1, "3 12\n2 4\n3 12\n"},
        {"2 4\n3 17", 3, 11, -1, "2 4\n3 11"}, {"2 4\n3 11", 5, 8, -1, "2 4\n3 11\n5 8\n"},
        {"  7\t21 \r\n\n 3   17 ", 3, 16, -1, "  7\t21 \r\n\n 3   16 "}, {"3 -1\n", 3, 40, -1, "3 40\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(win(c.before, c.level, c.moves), c.after) << c.before;
        EXPECT_EQ(result.outcome == WinRecord::NewRecord ? -1 : result.record, c.record) << c.before;
    }
    EXPECT_EQ(std::system("test $(ls -A | wc -l) -eq 1"), 0) << "a temporary file was left behind";
}

TEST_F(HighScores, ATableThatCannotBeReadToItsEndIsNeverWrittenAndClaimsNothing) {
    const char* damaged[] = {"3 17\n1 x\n4 9\n", "3 17\n6 4294967296\n", "3 17\n6 1000000000000000000000\n", "3 17\n5",
                             "\x7f\x01\x02 binary", nullptr, "mkdir", "mkfifo"};  // null: missing; then a folder, a pipe
    for (const char* before : damaged) {
        for (int level : {3, 5, 6}) {
            std::system("rm -rf highscores.dat");
            const bool made = before && before[0] == 'm';
            if (made) std::system((before + std::string(" highscores.dat")).c_str());
            const std::string after = win(made ? nullptr : before, level, 12);
            EXPECT_EQ(result.outcome, WinRecord::Unreadable) << "a record line is shown";
            EXPECT_EQ(after, before && !made ? before : "") << (before ? before : "missing");
        }
    }
    EXPECT_EQ(std::system("test $(ls -A | wc -l) -le 1"), 0) << "a file was made";
    // At its reading limit (16 MiB) a table is read whole; a byte past it, it is not cut short and rewritten.
    std::system("rm -rf highscores.dat");
    for (size_t size : {size_t(16) << 20, (size_t(16) << 20) + 1}) {
        const std::string big = "3 17\n" + std::string(size - 10, ' ') + "8 20\n", after = win(big.c_str(), 3, 12);
        const bool whole = size == size_t(16) << 20;
        EXPECT_TRUE(after == (whole ? "3 12" + big.substr(4) : big)) << size;
        EXPECT_EQ(result.outcome, whole ? WinRecord::NewRecord : WinRecord::Unreadable) << size;
    }
}

// Four games, each in a process of its own, win at once in one directory.
TEST(HighScoresShared, TwoGamesInOneDirectoryNeverLoseAnEntry) {
    harness::ScratchDir dir;
    std::string big;  // long rewrites, so that the games' wins overlap
    for (int i = 1000; i < 6000; ++i) big += std::to_string(i) + " 9\n";
    dir.write("highscores.dat", big);
    for (int g = 0; g < 4; ++g)
        if (fork() == 0) {
            for (int w = 0; w < 10; ++w) {  // as the game does: the keeper waits while another holds the table
                RecordKeeper keeper(kShippedTable, {"levels", 1 + g * 10 + w, 5});
                WinRecord r;
                while (!keeper.done(r)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            _exit(0);
        }
    while (wait(nullptr) > 0) {}
    const std::string after = dir.read("highscores.dat");
    for (int level = 1; level <= 40; ++level) EXPECT_NE(after.find("\n" + std::to_string(level) + " 5\n"), std::string::npos) << level;
}

std::unique_ptr<RecordKeeper> keeper(int level, int moves) {
    return std::make_unique<RecordKeeper>(kShippedTable, PendingRecord{"levels", level, moves});
}

// A busy table is waited for and never blamed; each win it keeps waiting is in the journal at once, and leaves it once written.
TEST(HighScoresShared, ABusyTableIsWaitedForAndAWaitingWinIsKeptInTheJournal) {
    harness::ScratchDir dir;
    dir.write("highscores.dat", "1 9\n");
    const pid_t holder = holdLock("highscores.dat", 30);
    EXPECT_EQ(recordWin(2, 7, 100).outcome, WinRecord::Busy);
    auto waits = keeper(1, 4);
    while (!waits->waiting()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    auto stopped = keeper(5, 5), worse = keeper(5, 8);
    while (!stopped->waiting() || !worse->waiting()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::string why;
    WinRecord r;
    EXPECT_TRUE(waits->pending() && waits->kept(why) && !waits->done(r));
    stopped->stop(), worse->stop();  // the game closed: the better of the two stays
    EXPECT_TRUE(stopped->done(r) && r.outcome == WinRecord::Busy && stopped->kept(why));
    EXPECT_EQ(dir.read("pending-records.txt"), "levels\t1\t4\nlevels\t5\t5\n");
    kill(holder, SIGKILL), waitpid(holder, nullptr, 0);
    while (waits->pending()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(waits->done(r) && r.outcome == WinRecord::NewRecord);
    EXPECT_EQ(dir.read("highscores.dat"), "1 4\n");
    EXPECT_EQ(dir.read("pending-records.txt"), "levels\t5\t5\n");  // the written one has left it
    EXPECT_TRUE(pending::apply(Session::recordKept, 100).said.size() == 1 && dir.read("highscores.dat") == "1 4\n5 5\n");
    EXPECT_EQ(entries(), 1) << "the journal is gone once empty";
}

// The journal applied by the rules of a win; a damaged, huge or strange one records nothing false and never hangs.
TEST(HighScoresShared, KeptRecordsAreWrittenByTheRulesOfAWinAndABadJournalRecordsNothing) {
    harness::ScratchDir dir;
    std::string huge;
    while (huge.size() <= (1u << 20)) huge += "levels\t1\t1\n";
    // The journal, the table, then both tables (the shipped one, then the pack's) and the journal left (null: none).
    const struct { const char* journal; const char* table; const char* tableAfter; const char* journalAfter; } cases[] = {
        {"levels\t1\t12\n", "1 20\n", "1 12\n", nullptr},  // null: no journal left
        {"levels\t1\t25\r\nlevels\t3\t7\n", "1 20\n", "1 20\n3 7\n", nullptr},
        {"packs/mine\t2\t4\n", "", "2 4\r\n", nullptr},  // into the pack's own table
        {"levels\t1\t1x\nlevels\t1\t-3\nlevels 1 2\n\t1\t2\nlevels\t1\t2\t3\nlevels\t99999999999\t2\n", "1 20\n", "1 20\n", nullptr},
        {"packs/..\t1\t2\nnone\t1\t2\npacks/a/b\t1\t2\n", "1 20\n", "1 20\n", nullptr},  // no pack: never another file
        {"levels\t1\t2", "1 20\n", "1 20\n", nullptr},  // cut short: "2" may be "25"
        {"\x7f\x01\x02 binary\xfe", "1 20\n", "1 20\n", nullptr},
        {"levels\t1\t2\n", "1 x\n", "1 x\n", nullptr},  // a damaged table is never written
        {"levels\t1\t2\n", nullptr, nullptr, nullptr},  // nor is a missing one made
        {huge.c_str(), "1 20\n", "1 20\n", huge.c_str()},  // no journal of ours: left as it is
        {"mkdir", "1 20\n", "1 20\n", ""}, {"mkfifo", "1 20\n", "1 20\n", ""},
    };
    for (const auto& c : cases) {
        std::system("rm -rf pending-records.txt highscores.dat packs && mkdir -p packs/mine && touch packs/mine/highscores.dat");
        if (c.table) dir.write("highscores.dat", c.table);
        const bool made = c.journal[0] == 'm';
        made ? (void)std::system((c.journal + std::string(" pending-records.txt")).c_str()) : dir.write("pending-records.txt", c.journal);
        pending::apply(Session::recordKept, 100);
        EXPECT_EQ(dir.read("highscores.dat") + dir.read("packs/mine/highscores.dat"), c.tableAfter ? c.tableAfter : "") << c.journal;
        struct stat st;
        EXPECT_EQ(lstat("pending-records.txt", &st) == 0, c.journalAfter != nullptr) << c.journal;
        if (c.journalAfter && !made) { EXPECT_TRUE(dir.read("pending-records.txt") == c.journalAfter); }
    }
    // Keeping a record: a folder, a pipe or an unwritable journal says why, and a later better record replaces a worse one.
    for (const char* make : {"mkdir", "mkfifo", "touch"}) {
        std::system((std::string("rm -rf pending-records.txt && ") + make + " pending-records.txt && chmod a-w pending-records.txt").c_str());
        EXPECT_FALSE(pending::keep({"levels", 1, 5})) << make;
    }
    std::system("rm -rf pending-records.txt");
    for (int moves : {9, 12, 7}) ASSERT_TRUE(pending::keep({"levels", 2, moves}));
    EXPECT_EQ(dir.read("pending-records.txt"), "levels\t2\t7\n");

    // A record that waited keeps the way it was won: it reaches replays.txt with the table, unless the level changed since.
    std::system("rm -rf pending-records.txt replays.txt && mkdir -p levels");
    dir.write("levels/1.lvl", "a level"), dir.write("levels/2.lvl", "another");
    const std::string sum = levelChecksum("a level"), stale = levelChecksum("was another");
    ASSERT_TRUE(pending::keep({"levels", 1, 3, sum, "DRU"}) && pending::keep({"levels", 2, 4, stale, "LLDD"}));
    dir.write("highscores.dat", "1 20\n");
    pending::apply(Session::recordKept, 100);
    EXPECT_EQ(dir.read("highscores.dat"), "1 3\n2 4\n");
    EXPECT_EQ(dir.read("replays.txt"), "levels\t1\t" + sum + "\tDRU\n");
}

}  // namespace
