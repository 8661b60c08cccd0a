// The catalogue of packs and levels on disk, driven without a window: which
// folders are packs and their titles, every level file in number order, and
// each pack's own records, safe from damaged, busy and linked files.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <map>

#include "harness.h"
#include "session/catalogue.h"
#include "storage/level.h"

namespace {

// A small level the reader takes: the dog and bone on the board.
const std::string kLevel = "A level\r\n3 1 3 9\r\n";

void folder(const std::string& path) { mkdir(path.c_str(), 0755); }

TEST(Catalogue, EveryFolderOfLevelFilesIsAPackTitledByItsPackTxtOrItsName) {
    harness::ScratchDir dir;
    folder("packs"), folder("levels"), folder("elsewhere");
    dir.write("elsewhere/1.lvl", kLevel);
    const struct { const char* folder; const char* packTxt; const char* title; } cases[] = {
        {"deep", "Deeper down\r\nthe rest is not read", "Deeper down"},
        {"two words", nullptr, "two words"},                       // no pack.txt
        {"\xc3\x89" "cureuil", "\x89PNG\r\n\x1a\n", "\xc3\x89" "cureuil"},  // a picture saved by mistake
        {"blank", "   \r\n", "blank"},
        {"huge", "Big\n", "Big"},                                     // the first line of a huge file
        {"long", "", ""},                                             // filled in below: cut to its limit
        {"is a folder", "", "is a folder"},
        {"a pipe", "", "a pipe"},
    };
    for (const auto& c : cases) {
        folder(std::string("packs/") + c.folder);
        dir.write(std::string("packs/") + c.folder + "/1.lvl", kLevel);
        if (c.packTxt) dir.write(std::string("packs/") + c.folder + "/pack.txt", c.packTxt);
    }
    dir.write("packs/huge/pack.txt", "Big\n" + std::string(2u << 20, 'x'));
    dir.write("packs/long/pack.txt", std::string(58, 'L') + "\xc3\xa9\xc3\xa9");  // cut between characters
    unlink("packs/is a folder/pack.txt"), folder("packs/is a folder/pack.txt");
    unlink("packs/a pipe/pack.txt"), mkfifo("packs/a pipe/pack.txt", 0644);
    // Not packs: no level file, hidden, a link out of packs/, a plain file.
    folder("packs/no levels"), dir.write("packs/no levels/pack.txt", "Nothing\n"), dir.write("packs/no levels/1.txt", "");
    folder("packs/.hidden"), dir.write("packs/.hidden/1.lvl", kLevel);
    symlink((dir.path() + "/elsewhere").c_str(), "packs/linked");
    dir.write("packs/7.lvl", kLevel);

    std::vector<std::pair<std::string, std::string>> want = {{"", catalogue::kShippedTitle}};
    for (const auto& c : cases) want.push_back({c.folder, c.title});
    want[6].second = std::string(58, 'L') + "\xc3\xa9";
    std::sort(want.begin() + 1, want.end());
    std::vector<std::pair<std::string, std::string>> got;
    for (const catalogue::Pack& p : catalogue::packs()) got.push_back({p.folder, p.title});
    EXPECT_EQ(got, want);
    EXPECT_TRUE(catalogue::listLevels("linked").empty() && catalogue::records("linked").empty());
}

TEST(Catalogue, EveryLevelFileIsListedInNumberOrderGapsAndAllAndTheNextIsNumberPlusOne) {
    harness::ScratchDir dir;
    folder("levels"), folder("packs"), folder("packs/p");
    for (const char* name : {"10.lvl", "3.lvl", "2.lvl", "012.lvl", "0.lvl", "-3.lvl", "x.lvl", "4.lvl.bak", "4294967298.lvl", "2147483647.lvl"})
        dir.write(std::string("levels/") + name, kLevel);
    dir.write("levels/3.lvl", "noise without a dog");
    dir.write("packs/p/5.lvl", "Five\n1 1 2 2\n");
    EXPECT_EQ(catalogue::numbers(""), (std::vector<int32_t>{2, 3, 10, 2147483647}));
    const std::vector<ListedLevel> listed = catalogue::listLevels("");
    ASSERT_EQ(listed.size(), 4u);
    EXPECT_EQ(std::make_tuple(listed[0].number, listed[0].title, listed[0].readable, listed[1].readable, listed[1].start.dogColumn),
              std::make_tuple(2, std::string("A level"), true, false, -1));
    const struct { LevelRef won; bool found; int32_t next; } cases[] = {
        {{"", 2}, true, 3}, {{"", 3}, false, 0}, {{"", 1}, true, 2}, {{"", 2147483647}, false, 0},
        {{"p", 4}, true, 5}, {{"p", 5}, false, 0}, {{"../levels", 1}, false, 0}, {{"..", 1}, false, 0}};
    for (const auto& c : cases) {
        LevelRef after{"untouched", -1};
        EXPECT_EQ(catalogue::next(c.won, after), c.found) << c.won.pack << c.won.number;
        EXPECT_TRUE(c.found ? after == LevelRef({c.won.pack, c.next}) : after == LevelRef({"untouched", -1}));
    }
    EXPECT_EQ(catalogue::checksum({"p", 5}), levelChecksum("Five\n1 1 2 2\n"));
    EXPECT_EQ(catalogue::checksum({"p", 6}) + catalogue::checksum({"../levels", 2}), "");
}

TEST(Catalogue, AWinIsKeptInItsPacksOwnTableAndADamagedBusyOrLinkedTableIsNeverWritten) {
    harness::ScratchDir dir;
    folder("levels"), folder("packs"), folder("packs/mine");
    dir.write("highscores.dat", "1 9\r\n");
    dir.write("elsewhere.dat", "1 9\r\n");
    const struct { const char* pack; std::function<void()> setUp; WinRecord::Outcome outcome; const char* table; } cases[] = {
        {"fresh", [] {}, WinRecord::NewRecord, "1 4\r\n"},  // a pack copied without a table gets one
        {"kept", [&] { dir.write("packs/kept/highscores.dat", "1 3\n"); }, WinRecord::NotBeaten, "1 3\n"},
        {"damaged", [&] { dir.write("packs/damaged/highscores.dat", "1 x\n"); }, WinRecord::Unreadable, "1 x\n"},
        {"linked", [&] { symlink((dir.path() + "/elsewhere.dat").c_str(), "packs/linked/highscores.dat"); }, WinRecord::NotSaved, "1 9\r\n"},
        {"pipe", [] { mkfifo("packs/pipe/highscores.dat", 0644); }, WinRecord::NotSaved, ""},
        {"read-only", [&] { dir.write("packs/read-only/highscores.dat", "2 2\n"); chmod("packs/read-only/highscores.dat", 0444); }, WinRecord::NotSaved, "2 2\n"},
        {"busy", [&] { dir.write("packs/busy/highscores.dat", "2 2\n"); }, WinRecord::Busy, "2 2\n"},
    };
    for (const auto& c : cases) {
        const std::string pack = c.pack;
        folder("packs/" + pack), dir.write("packs/" + pack + "/1.lvl", kLevel), c.setUp();
        int holder = -1;
        if (pack == "busy") holder = open("packs/busy/highscores.dat", O_RDONLY), flock(holder, LOCK_EX);
        EXPECT_EQ(catalogue::recordWin({pack, 1}, 4, 50).outcome, c.outcome) << pack;
        if (holder >= 0) close(holder);
        EXPECT_EQ(dir.read(catalogue::tablePath(pack)), c.table) << pack;
    }
    EXPECT_EQ(catalogue::records("fresh"), (std::map<int32_t, int32_t>{{1, 4}}));
    EXPECT_EQ(dir.read("highscores.dat") + dir.read("elsewhere.dat"), "1 9\r\n1 9\r\n") << "no other table touched";
    EXPECT_EQ(catalogue::recordWin({"", 1}, 5).outcome, WinRecord::NewRecord);
    EXPECT_EQ(dir.read("highscores.dat") + dir.read("packs/fresh/highscores.dat"), "1 5\r\n1 4\r\n");
    // The shipped set's table is never made: a missing one is told as before.
    unlink("highscores.dat");
    EXPECT_EQ(catalogue::recordWin({"", 1}, 5).outcome, WinRecord::Unreadable);
    EXPECT_EQ(dir.read("highscores.dat"), "");

    // A level is saved in its pack, never through a link nor outside the folder.
    Level level;
    level.title = "Saved";
    symlink((dir.path() + "/elsewhere.dat").c_str(), "packs/mine/2.lvl");
    const struct { LevelRef ref; bool saved; } saves[] = {{{"mine", 1}, true}, {{"mine", 2}, false}, {{"../levels", 1}, false}, {{"gone", 1}, false}};
    for (const auto& s : saves) EXPECT_EQ(static_cast<bool>(catalogue::save(s.ref, level)), s.saved) << s.ref.pack << s.ref.number;
    EXPECT_EQ(dir.read("packs/mine/1.lvl").substr(0, 7) + dir.read("elsewhere.dat"), "Saved\r\n1 9\r\n");
    EXPECT_FALSE(catalogue::exists({"gone", 1}) || catalogue::exists({"../levels", 1}));
}

TEST(Catalogue, AThousandPacksAreAllListed) {
    harness::ScratchDir dir;
    folder("packs");
    for (int i = 0; i < 1000; ++i) {
        const std::string f = "packs/p" + std::to_string(1000 + i);
        folder(f), dir.write(f + "/1.lvl", kLevel);
    }
    const std::vector<catalogue::Pack> found = catalogue::packs();
    ASSERT_EQ(found.size(), 1001u);
    EXPECT_EQ(found[1].title + found[1000].title, "p1000p1999");
}

}  // namespace
