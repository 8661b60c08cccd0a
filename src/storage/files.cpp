#include "storage/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace files {

namespace {

const char* const kNotRegular = "Not a regular file";

Outcome failure(int error) { return {false, std::strerror(error)}; }
Outcome failure(const char* reason) { return {false, reason}; }

// Why a file of this kind is not read or replaced.
Outcome notRegular(const struct stat& st) { return S_ISDIR(st.st_mode) ? failure(EISDIR) : failure(kNotRegular); }

// Opens a regular file for reading. The kind is looked at before opening
// (opening some devices has effects of its own) and again on what was
// opened; O_NONBLOCK keeps a named pipe from waiting for a writer.
Outcome openRegular(const std::string& path, int& fd) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return failure(errno);
    if (!S_ISREG(st.st_mode)) return notRegular(st);
    fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return failure(errno);
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        Outcome why = S_ISREG(st.st_mode) ? failure(errno) : notRegular(st);
        close(fd);
        fd = -1;
        return why;
    }
    return {};
}

Outcome readUpTo(int fd, std::size_t limit, std::string& bytes) {
    std::string content;
    char buffer[65536];
    while (content.size() < limit) {
        std::size_t want = std::min(sizeof buffer, limit - content.size());
        ssize_t got = ::read(fd, buffer, want);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return failure(errno);
        if (got == 0) break;
        content.append(buffer, static_cast<std::size_t>(got));
    }
    bytes.swap(content);
    return {};
}

std::string directoryOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a chain of links ends at (the path itself when it is no link);
// a dangling link gives the file it would create.
Outcome followLinks(std::string& path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0) return errno == ENOENT ? Outcome{} : failure(errno);
        if (!S_ISLNK(st.st_mode)) return {};
        char target[4096];
        ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
        if (n < 0) return failure(errno);
        target[n] = '\0';
        std::string next(target);
        if (next[0] != '/' && path.find('/') != std::string::npos) next = directoryOf(path) + "/" + next;
        path = next;
    }
    return failure(ELOOP);
}

const char* const kTemporaryMark = ".tmp-";

// Temporaries are "<name>.tmp-<pid>-<six letters>": unique to the writer,
// and a killed writer's are told apart from a live one's by the pid.
std::string temporaryName(const std::string& path, unsigned attempt) {
    // Savers on other threads (the record keeper) name theirs at the same time.
    static std::atomic<unsigned> counter{0};
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    unsigned long mix = static_cast<unsigned long>(now.tv_nsec) * 2654435761u + (counter.fetch_add(1) + 1) * 40503u + attempt;
    std::string letters;
    for (int i = 0; i < 6; ++i, mix /= 36) letters.push_back("abcdefghijklmnopqrstuvwxyz0123456789"[mix % 36]);
    return path + kTemporaryMark + std::to_string(getpid()) + "-" + letters;
}

// Removes temporaries of this target whose writer no longer runs (a kill
// in the middle of a save). Links and other kinds of file are left alone.
void removeStaleTemporaries(const std::string& path) {
    const std::string dir = directoryOf(path);
    const std::string prefix = nameOf(path) + kTemporaryMark;
    DIR* d = opendir(dir.c_str());
    if (!d) return;
    while (struct dirent* entry = readdir(d)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string rest = name.substr(prefix.size());
        std::size_t dash = rest.find('-');
        if (dash == 0 || dash == std::string::npos || rest.size() - dash != 7 ||
            rest.find_first_not_of("0123456789") != dash)
            continue;
        long pid = std::strtol(rest.c_str(), nullptr, 10);
        if (pid <= 0 || pid == getpid() || !(kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)) continue;
        const std::string stale = dir + "/" + name;
        struct stat st;
        if (lstat(stale.c_str(), &st) == 0 && S_ISREG(st.st_mode)) unlink(stale.c_str());
    }
    closedir(d);
}

Outcome writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return failure(errno);
        done += static_cast<std::size_t>(n);
    }
    return {};
}

}  // namespace

Outcome readRegular(const std::string& path, std::size_t limit, std::string& bytes) {
    int fd = -1;
    Outcome opened = openRegular(path, fd);
    if (!opened) return opened;
    Outcome read = readUpTo(fd, limit, bytes);
    close(fd);
    return read;
}

Outcome writeReplacing(const std::string& path, const std::string& bytes) {
    std::string target = path;
    Outcome followed = followLinks(target);
    if (!followed) return followed;

    // A new file gets the usual mode (0666 less the umask); an old one keeps
    // its own, and one without any write permission stays as it is.
    mode_t keptMode = 0;
    struct stat st;
    const bool exists = stat(target.c_str(), &st) == 0;
    if (exists) {
        if (!S_ISREG(st.st_mode)) return notRegular(st);
        if ((st.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0) return failure(EACCES);
        keptMode = st.st_mode & 07777;
    }

    removeStaleTemporaries(target);
    std::string temporary;
    int fd = -1;
    for (unsigned attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = temporaryName(target, attempt);
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return failure(errno);
    }
    if (fd < 0) return failure(EEXIST);

    Outcome result = writeAll(fd, bytes);
    if (result && exists && fchmod(fd, keptMode) != 0) result = failure(errno);
    if (result && fsync(fd) != 0) result = failure(errno);
    if (close(fd) != 0 && result) result = failure(errno);
    if (result && rename(temporary.c_str(), target.c_str()) != 0) result = failure(errno);
    if (!result) {
        unlink(temporary.c_str());
        return result;
    }
    // The rename itself is on disk once the directory is synced.
    int dir = open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return result;
}

Outcome createEmpty(const std::string& path) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno != EEXIST) return failure(errno);
        struct stat st;
        if (lstat(path.c_str(), &st) != 0) return failure(errno);
        return S_ISREG(st.st_mode) ? Outcome{} : S_ISLNK(st.st_mode) ? failure(ELOOP) : notRegular(st);
    }
    Outcome result;
    if (fsync(fd) != 0) result = failure(errno);
    close(fd);
    int dir = open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return result;
}

LockedFile::~LockedFile() {
    if (fd_ >= 0) close(fd_);  // closing releases the lock
}

Outcome LockedFile::lock(const std::string& path, int patienceMs, bool create) {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    busy_ = false;
    // Another game holds the lock for a few milliseconds; one that keeps it
    // longer is waited for only as long as the caller allows.
    for (int attempt = 0; attempt <= patienceMs / 10; ++attempt) {
        if (fd_ < 0) {
            // Made exclusively and empty: a file another made meanwhile is kept as it is.
            if (create) {
                const int made = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
                if (made >= 0) close(made);
            }
            Outcome opened = openRegular(path, fd_);
            if (!opened) return opened;
        }
        if (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                Outcome why = failure(errno);
                close(fd_);
                fd_ = -1;
                return why;
            }
            struct timespec pause = {0, 10 * 1000 * 1000};
            nanosleep(&pause, nullptr);
            continue;
        }
        // The holder before us may have replaced the file: the lock must be
        // on the one that is there now.
        struct stat locked, current;
        if (fstat(fd_, &locked) == 0 && stat(path.c_str(), &current) == 0 && locked.st_ino == current.st_ino &&
            locked.st_dev == current.st_dev)
            return {};
        close(fd_);
        fd_ = -1;
    }
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    busy_ = true;
    return failure(EWOULDBLOCK);
}

Outcome LockedFile::read(std::size_t limit, std::string& bytes) {
    if (fd_ < 0) return failure(EBADF);
    if (lseek(fd_, 0, SEEK_SET) != 0) return failure(errno);
    return readUpTo(fd_, limit, bytes);
}

std::vector<std::string> textLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < bytes.size()) {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace files
