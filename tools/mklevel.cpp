// tunnelwick-mklevel: turns a level written as text into a level file.
//
//   tunnelwick-mklevel SOURCE.txt OUT.lvl
//   tunnelwick-mklevel --dir DIR NN.txt...   (writes DIR/N.lvl for each)
//
// The source is a title line and 15 rows of 20 cells (see play/board_text.h).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "play/board_text.h"

namespace {

bool readFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return !in.bad();
}

// Written beside the target and renamed over it, so a failed run never
// leaves half a level behind.
bool writeFile(const std::string& path, const std::string& bytes) {
    std::string temporary = path + ".tmp";
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (!out) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    ok = std::fclose(out) == 0 && ok;
    if (ok) ok = std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temporary.c_str());
    return ok;
}

// "07.txt" and "dir/7.txt" are level 7; -1 when the name holds no number.
int levelNumberOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find('.');
    std::string stem = name.substr(0, dot);
    if (stem.empty() || stem.size() > 6 || stem.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::atoi(stem.c_str());
}

bool convert(const std::string& source, const std::string& target) {
    std::string text, error;
    if (!readFile(source, text)) {
        std::fprintf(stderr, "%s: cannot read\n", source.c_str());
        return false;
    }
    Level level;
    if (!parseLevelText(text, level, error)) {
        std::fprintf(stderr, "%s: %s\n", source.c_str(), error.c_str());
        return false;
    }
    if (!writeFile(target, formatLevel(level))) {
        std::fprintf(stderr, "%s: cannot write\n", target.c_str());
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
