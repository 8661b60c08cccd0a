#include "session/progress.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "storage/files.h"

namespace progress {

const char* const kFile = "progress.txt";

std::string format(const Progress& p) {
    return "pack " + packKey(p.level.pack) + "\nlevel " + std::to_string(p.level.number) + "\nchecksum " + p.checksum +
           "\nmoves " + p.moves + "\n";
}

namespace {

bool isHex16(const std::string& s) {
    if (s.size() != 16) return false;
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

bool isNumber(const std::string& s, int32_t& n) {
    if (s.empty() || s.size() > 9) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    n = std::atoi(s.c_str());
    return n >= 1;
}

bool isMoves(const std::string& s) {
    for (char c : s)
        if (c != 'U' && c != 'D' && c != 'L' && c != 'R') return false;
    return true;
}

}  // namespace

bool parse(const std::string& bytes, Progress& out) {
    Progress p;
    bool seen[4] = {};
    for (const std::string& line : files::textLines(bytes)) {
        const size_t space = line.find(' ');
        const std::string key = line.substr(0, space), value = space == std::string::npos ? "" : line.substr(space + 1);
        int which = key == "pack" ? 0 : key == "level" ? 1 : key == "checksum" ? 2 : key == "moves" ? 3 : -1;
        if (which < 0) continue;
        if (seen[which]) return false;
        seen[which] = true;
        bool good = false;
        switch (which) {
        case 0: good = packFromKey(value, p.level.pack); break;
        case 1: good = isNumber(value, p.level.number); break;
        case 2: good = isHex16(value), p.checksum = value; break;
        case 3: good = isMoves(value), p.moves = value; break;
        }
        if (!good) return false;
    }
    if (!(seen[0] && seen[1] && seen[2] && seen[3])) return false;
    out = p;
    return true;
}

Found read(Progress& p, std::string& reason) {
    struct stat st;
    if (lstat(kFile, &st) != 0 && errno == ENOENT) return Found::Nothing;
    std::string bytes;
    const files::Outcome got = files::readRegular(kFile, kMostBytes + 1, bytes);
    if (!got) {
        reason = got.reason.empty() ? "it cannot be read" : got.reason;
        return Found::Unusable;
    }
    if (bytes.size() > kMostBytes) {
        reason = "it is far too large";
        return Found::Unusable;
    }
    if (!parse(bytes, p)) {
        reason = "it is damaged";
        return Found::Unusable;
    }
    return Found::Kept;
}

}  // namespace progress
