// Reading and writing the game's files (levels, high scores, settings, the
// tools' outputs) so that nothing hangs, nothing is read without bound and
// no failure half-way leaves a damaged file. No Allegro, no SDL: the tools
// link this too.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace files {

// The result of a file operation; when it failed, `reason` holds the
// system's own words for why ("Permission denied", "No space left on device").
struct Outcome {
    bool ok = true;
    std::string reason;
    explicit operator bool() const { return ok; }
};

// Reads at most `limit` bytes of the regular file at `path`. Anything else
// (a directory, a device, a named pipe, a link to one) fails like a missing
// file, without ever blocking.
Outcome readRegular(const std::string& path, std::size_t limit, std::string& bytes);

// Replaces the file at `path` with `bytes`: written to a new temporary file
// beside it (created exclusively, never through a link), flushed, synced and
// renamed over it. A link is kept: the file it points to is replaced. A file
// that exists keeps its mode; one nobody may write to is not replaced. A
// temporary left behind by a killed writer is removed. On failure the old
// file is as it was.
Outcome writeReplacing(const std::string& path, const std::string& bytes);

// Creates an empty file at `path` unless something (even a dangling link)
// stands there already; never through a link. True when the file is there
// now, made by this call or found as a regular file.
Outcome createEmpty(const std::string& path);

// An existing regular file held under an exclusive advisory lock (flock)
// while this lives, so that a read-change-replace of it by two processes
// never loses either change. writeReplacing may replace it while locked.
// The lines of a text file read whole, without their breaks (LF or CRLF);
// empty lines are left out.
std::vector<std::string> textLines(const std::string& bytes);

class LockedFile {
public:
    LockedFile() = default;
    ~LockedFile();
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    // Opens and locks; fails like readRegular for anything but a regular
    // file, or (busy() then true) when another holder keeps the lock longer
    // than `patienceMs`. With `create`, a missing file is made empty first.
    Outcome lock(const std::string& path, int patienceMs = 3000, bool create = false);
    bool busy() const { return busy_; }
    // The locked file's content, at most `limit` bytes.
    Outcome read(std::size_t limit, std::string& bytes);

private:
    int fd_ = -1;
    bool busy_ = false;
};

}  // namespace files
