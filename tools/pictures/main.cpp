// make_pictures ART_DIR DATA_DIR: draws every picture of the game and writes
// the PCX files under DATA_DIR/graphics. The output depends on nothing but
// this code and the pixel maps in ART_DIR, so a second run gives the same bytes.
#include <allegro.h>

#include <sys/stat.h>
#include <cerrno>
#include <cstdio>
#include <string>

#include "pictures.h"

namespace {

bool makeDir(const std::string& path) { return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST; }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ART_DIR DATA_DIR\n", argv[0]);
        return 2;
    }
    std::string artDir = argv[1], dataDir = argv[2];
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "cannot start Allegro: %s\n", allegro_error);
        return 1;
    }
    set_color_depth(32);
    art::Sprites sprites;
    std::string error;
    if (!art::loadSprites(artDir, sprites, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::string g = dataDir + "/graphics", m = g + "/menu";
    if (!makeDir(dataDir) || !makeDir(g) || !makeDir(m)) {
        std::fprintf(stderr, "cannot create %s\n", m.c_str());
        return 1;
    }
    struct Out {
        std::string path;
        art::Canvas canvas;
        bool transparency;
    };
    std::vector<Out> outs;
    auto add = [&](const std::string& path, art::Canvas c, bool t) { outs.push_back({path, std::move(c), t}); };
    add(g + "/rock.pcx", art::makeRock(false), true);
    add(g + "/black_rock.pcx", art::makeRock(true), false);
    add(g + "/skytop.pcx", art::makeSkyTop(), false);
    add(g + "/skybottom.pcx", art::makeSkyBottom(false), false);
    add(g + "/skybottom_destroyed.pcx", art::makeSkyBottom(true), false);
    add(g + "/dirt_bg3.pcx", art::makeDirtBackground(640, 480, 3), false);
    add(g + "/zada.pcx", sprites.dog.canvas, true);
    add(g + "/bone.pcx", sprites.bone.canvas, true);
    add(g + "/zada_wins.pcx", art::makeWinPicture(sprites), false);
    add(m + "/menu_bg.pcx", art::makeMenuBackground(sprites), false);
    add(m + "/help_bg.pcx", art::makeHelpBackground(sprites), false);
    const char* buttons[][2] = {{"play", "Play"}, {"options", "Options"}, {"help", "Help"}, {"quit", "Quit"}};
    for (const auto& b : buttons) {
        add(m + "/" + b[0] + ".pcx", art::makeButton(b[1], false, sprites), true);
        add(m + "/" + b[0] + "on.pcx", art::makeButton(b[1], true, sprites), true);
    }
    for (const Out& o : outs) {
        if (!art::savePicture(o.canvas, o.path, o.transparency)) {
            std::fprintf(stderr, "cannot write %s\n", o.path.c_str());
            return 1;
        }
    }
    std::printf("wrote %zu pictures under %s\n", outs.size(), g.c_str());
    return 0;
}
