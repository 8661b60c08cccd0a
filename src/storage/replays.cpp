#include "storage/replays.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

namespace replays {

const char* const kFile = "replays.txt";

std::string line(const Replay& r) {
    return r.pack + "\t" + std::to_string(r.number) + "\t" + r.checksum + "\t" + r.moves;
}

bool parseLine(const std::string& text, Replay& r) {
    std::string field[4];
    size_t at = 0;
    for (int i = 0; i < 4; ++i) {
        const size_t tab = i < 3 ? text.find('\t', at) : text.size();
        if (tab == std::string::npos) return false;
        field[i] = text.substr(at, tab - at);
        at = tab + 1;
    }
    if (field[3].find('\t') != std::string::npos) return false;
    if (field[0].empty()) return false;
    for (char c : field[0])
        if (static_cast<unsigned char>(c) < 32 || c == 127) return false;
    if (field[1].empty() || field[1].size() > 9) return false;
    for (char c : field[1])
        if (c < '0' || c > '9') return false;
    if (field[2].size() != 16) return false;
    for (char c : field[2])
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    if (field[3].empty()) return false;
    for (char c : field[3])
        if (c != 'U' && c != 'D' && c != 'L' && c != 'R') return false;
    r.pack = field[0];
    r.number = std::atoi(field[1].c_str());
    r.checksum = field[2];
    r.moves = field[3];
    return r.number >= 1;
}

Found read(std::vector<Replay>& out, std::string& reason, std::size_t& damaged) {
    out.clear();
    damaged = 0;
    struct stat st;
    if (lstat(kFile, &st) != 0 && errno == ENOENT) return Found::Nothing;
    std::string bytes;
    const files::Outcome got = files::readRegular(kFile, kMostBytes + 1, bytes);
    if (!got || bytes.size() > kMostBytes) {
        reason = !got ? (got.reason.empty() ? "it cannot be read" : got.reason) : "it is far too large";
        return Found::Unusable;
    }
    for (const std::string& text : files::textLines(bytes)) {
        Replay r;
        if (parseLine(text, r))
            out.push_back(r);
        else
            ++damaged;
    }
    if (damaged == 0) return Found::Kept;
    reason = std::to_string(damaged) + (damaged == 1 ? " line is" : " lines are") + " damaged";
    return Found::Unusable;
}

bool find(const std::string& pack, int32_t number, Replay& out) {
    std::vector<Replay> all;
    std::string reason;
    size_t damaged = 0;
    read(all, reason, damaged);
    for (const Replay& r : all)
        if (r.pack == pack && r.number == number) out = r;  // the last line of a level counts
    return !out.moves.empty() && out.number == number && out.pack == pack;
}

files::Outcome keep(const Replay& r) {
    std::vector<Replay> all;
    std::string reason;
    size_t damaged = 0;
    read(all, reason, damaged);
    std::string text;
    bool placed = false;
    for (const Replay& old : all) {
        if (old.pack == r.pack && old.number == r.number) {
            if (placed) continue;
            text += line(r) + "\n";
            placed = true;
        } else {
            text += line(old) + "\n";
        }
    }
    if (!placed) text += line(r) + "\n";
    return files::writeReplacing(kFile, text);
}

}  // namespace replays
