// The one reader and the one writer of every file: only regular files are
// read, never without bound or blocking; a replace is all or nothing, keeps
// links and modes, follows no link at a temporary name and cleans up after a
// killed writer. Every failure says why in the system's words.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "harness.h"
#include "shell/files.h"

namespace {

// Runs the writer with every file limited to `limit` bytes: a write past it
// fails (EFBIG), or with kill set the process dies there, as on a kill -9.
files::Outcome limited(rlim_t limit, bool kill, const std::function<files::Outcome()>& writer) {
    struct rlimit old, small;
    getrlimit(RLIMIT_FSIZE, &old);
    small = {limit, old.rlim_max};
    pid_t child = kill ? fork() : 0;
    if (child > 0) {
        waitpid(child, nullptr, 0);
        return {false, "killed"};
    }
    signal(SIGXFSZ, kill ? SIG_DFL : SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    files::Outcome result = writer();
    setrlimit(RLIMIT_FSIZE, &old);
    if (kill) _exit(0);
    return result;
}

TEST(Files, ReadsOnlyRegularFilesAndNoFurtherThanAsked) {
    harness::ScratchDir dir;
    dir.write("plain", "0123456789");
    ASSERT_EQ(mkfifo("pipe", 0644), 0);  // no writer: opening it would wait for one
    ASSERT_EQ(symlink("/dev/zero", "zero"), 0);
    ASSERT_EQ(symlink("plain", "link"), 0);
    mkdir("folder", 0755);
    dir.write("huge", "");
    ASSERT_EQ(truncate("huge", 100 << 20), 0);
    const struct {
        const char* path;
        size_t limit;
        const char* bytes;  // null: fails with the reason
        const char* reason;
    } cases[] = {
        {"plain", 100, "0123456789", ""}, {"plain", 4, "0123", ""}, {"link", 3, "012", ""},
        {"huge", 2, "\0\0", ""},           {"missing", 9, nullptr, "No such file or directory"},
        {"folder", 9, nullptr, "Is a directory"}, {"pipe", 9, nullptr, "Not a regular file"},
        {"zero", 9, nullptr, "Not a regular file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string bytes = "old";
        files::Outcome read = files::readRegular(c.path, c.limit, bytes);
        EXPECT_EQ(read.ok, c.bytes != nullptr);
        EXPECT_EQ(read.reason, c.reason);
        EXPECT_EQ(bytes, c.bytes ? std::string(c.bytes, c.limit < 10 ? c.limit : 10) : "old");
    }
}

TEST(Files, AReplaceKeepsLinksAndModesAndRefusesWhatMayNotBeWritten) {
    harness::ScratchDir dir;
    mkdir("real", 0755);
    dir.write("real/table", "old");
    chmod("real/table", 0640);
    ASSERT_EQ(symlink("real/table", "table"), 0);
    ASSERT_TRUE(files::writeReplacing("table", "new"));
    struct stat st;
    EXPECT_EQ(dir.read("real/table"), "new");  // written beside the real file,
    EXPECT_TRUE(stat("real/table", &st) == 0 && (st.st_mode & 07777) == 0640);  // in its mode,
    char target[64] = {};
    EXPECT_EQ(readlink("table", target, sizeof target), 10);  // and the link stays a link

    // Links at the temporary names an older game used lead nowhere now.
    dir.write("victim", "mine");
    ASSERT_EQ(symlink("victim", "settings.ini.tmp"), 0);
    ASSERT_EQ(symlink("victim", "highscores2.dat"), 0);
    ASSERT_TRUE(files::writeReplacing("settings.ini", "1"));
    ASSERT_TRUE(files::writeReplacing("highscores.dat", "2"));
    EXPECT_EQ(dir.read("victim"), "mine");

    // A read-only file, a directory, a missing folder: refused, kept, why told.
    dir.write("kept", "old");
    chmod("kept", 0444);
    mkdir("dir", 0755);
    const struct { const char* path; const char* reason; } refused[] = {
        {"kept", "Permission denied"}, {"dir", "Is a directory"},
        {"nowhere/file", "No such file or directory"},
    };
    for (const auto& r : refused) {
        files::Outcome written = files::writeReplacing(r.path, "new");
        EXPECT_FALSE(written.ok) << r.path;
        EXPECT_EQ(written.reason, r.reason) << r.path;
    }
    EXPECT_EQ(dir.read("kept"), "old");
    EXPECT_EQ(system("test $(ls -A | wc -l) -eq 9"), 0) << "a temporary was left behind";
}

TEST(Files, AnInterruptedReplaceLeavesTheOldFileOrTheNewOneAndNoTemporary) {
    harness::ScratchDir dir;
    const std::string oldBytes(300, 'o'), newBytes(500, 'n');
    // A stale temporary of a dead writer goes; one of a live writer stays.
    pid_t dead = fork();
    if (dead == 0) _exit(0);
    waitpid(dead, nullptr, 0);
    const std::string stale = "f.tmp-" + std::to_string(dead) + "-abcdef";
    dir.write(stale, "x");
    dir.write("f.tmp-1-abcdef", "live");
    for (bool kill : {false, true}) {
        for (rlim_t limit = 0; limit <= 520; limit += kill ? 52 : 1) {
            dir.write("f", oldBytes);
            files::Outcome written = limited(limit, kill, [&] { return files::writeReplacing("f", newBytes); });
            std::string now = dir.read("f");
            ASSERT_TRUE(now == oldBytes || now == newBytes) << limit << (kill ? " killed" : " failed");
            if (kill) continue;
            ASSERT_EQ(written.ok, now == newBytes) << limit;
            EXPECT_EQ(written.reason, written.ok ? "" : "File too large");
        }
        EXPECT_FALSE(dir.exists(stale));
        // After the kills a save cleans up what they left.
        ASSERT_TRUE(files::writeReplacing("f", newBytes));
        EXPECT_EQ(system("test $(ls -A | wc -l) -eq 2"), 0) << "temporaries left behind";
    }
    EXPECT_EQ(dir.read("f.tmp-1-abcdef"), "live");
}

}  // namespace
