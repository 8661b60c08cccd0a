#include "fuzz_support.h"

#include <sys/stat.h>
#include <unistd.h>

namespace fuzz {

static std::string scratch;

Session& session() {
    static Session* theSession = nullptr;
    if (theSession) return *theSession;
    // Every input is written and synced: in memory where there is a place.
    char tmpl[] = "/dev/shm/tunnelwick-fuzz-XXXXXX", fallback[] = "/tmp/tunnelwick-fuzz-XXXXXX";
    const char* made = mkdtemp(tmpl);
    FUZZ_CHECK((made || (made = mkdtemp(fallback))) && chdir(made) == 0, "no scratch directory");
    scratch = made;
    mkdir("levels", 0755);
    std::atexit([] { std::system(("rm -rf '" + scratch + "'").c_str()); });
    theSession = new Session();
    return *theSession;
}

}  // namespace fuzz
