// tunnelwick-mklevel: turns a level written as text into a level file.
//
//   tunnelwick-mklevel SOURCE.txt OUT.lvl
//   tunnelwick-mklevel --dir DIR NN.txt...   (writes DIR/N.lvl for each)
//
// The source is a title line and 15 rows of 20 cells (see play/board_text.h).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "storage/board_text.h"
#include "storage/files.h"

namespace {

// A level source is a few kilobytes; anything longer is not one.
const size_t kLargestSource = 1 << 20;

// "07.txt" and "dir/7.txt" are level 7; -1 when the name holds no number.
int levelNumberOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find('.');
    std::string stem = name.substr(0, dot);
    if (stem.empty() || stem.size() > 6 || stem.find_first_not_of("0123456789") != std::string::npos) return -1;
    return std::atoi(stem.c_str());
}

bool convert(const std::string& source, const std::string& target) {
    std::string text, error;
    files::Outcome read = files::readRegular(source, kLargestSource + 1, text);
    if (!read || text.size() > kLargestSource) {
        std::fprintf(stderr, "%s: cannot read: %s\n", source.c_str(), read ? "too large" : read.reason.c_str());
        return false;
    }
    Level level;
    if (!parseLevelText(text, level, error)) {
        std::fprintf(stderr, "%s: %s\n", source.c_str(), error.c_str());
        return false;
    }
    files::Outcome written = files::writeReplacing(target, formatLevel(level));
    if (!written) {
        std::fprintf(stderr, "%s: cannot write: %s\n", target.c_str(), written.reason.c_str());
        return false;
    }
    return true;
}

int usage() {
    std::fprintf(stderr,
                 "usage: tunnelwick-mklevel SOURCE.txt OUT.lvl\n"
                 "       tunnelwick-mklevel --dir DIR NN.txt...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 2 && args[0] == "--dir") {
        bool ok = true;
        for (size_t i = 2; i < args.size(); ++i) {
            int number = levelNumberOf(args[i]);
            if (number < 1) {
                std::fprintf(stderr, "%s: the file name is not a level number\n", args[i].c_str());
                ok = false;
                continue;
            }
            ok = convert(args[i], args[1] + "/" + std::to_string(number) + ".lvl") && ok;
        }
        return ok ? 0 : 1;
    }
    if (args.size() != 2 || args[0].rfind("--", 0) == 0) return usage();
    return convert(args[0], args[1]) ? 0 : 1;
}
