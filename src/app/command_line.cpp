#include "app/command_line.h"

#include <cstring>

#include "version.h"

namespace {

const char* const kUsage =
    "Usage: tunnelwick [OPTION]\n"
    "Tunnelwick, a puzzle game: dig the dog's way through the garden to her bone.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "      --version  show the game's version and exit\n"
    "\n"
    "With no option the game opens its window. It reads and writes its files in\n"
    "the folder it is started in; the launcher starts it in\n"
    "${XDG_DATA_HOME:-~/.local/share}/tunnelwick.\n";

}  // namespace

CommandLineAnswer answerCommandLine(int argc, const char* const* argv) {
    CommandLineAnswer answer;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
            if (answer.status < 0) answer.status = 0, answer.out = kUsage;
        } else if (std::strcmp(a, "--version") == 0) {
            if (answer.status < 0) answer.status = 0, answer.out = std::string("Tunnelwick ") + kGameVersion + "\n";
        } else {
            // Whatever else is asked is refused, not ignored: the game takes no files or settings here.
            CommandLineAnswer refused;
            refused.status = 2;
            refused.err = std::string("tunnelwick: ") + (a[0] == '-' ? "unknown option '" : "unexpected argument '") +
                          a + "'\n" + kUsage;
            return refused;
        }
    }
    return answer;
}
