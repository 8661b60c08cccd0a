// Building and tearing down the Game: pictures, placeholder tiles, the sound
// library with the ambient streams, the saved settings and the first level.
#include "app/game.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Picture files by slot. Slots not listed (3..14, 18, 22..241, 252) stay
// empty; 15..17 are made in code.
struct PictureFile {
    int slot;
    const char* path;
};

const PictureFile kBoardPictures[] = {
    {0, "graphics/black_rock.pcx"},
    {1, "graphics/rock.pcx"},
    {2, "graphics/skytop.pcx"},
};

const PictureFile kOtherPictures[] = {
    {19, "graphics/skybottom.pcx"},
    {20, "graphics/dirt_bg3.pcx"},
    {21, "graphics/skybottom_destroyed.pcx"},
    {242, "graphics/menu/options.pcx"},
    {243, "graphics/menu/optionson.pcx"},
    {244, "graphics/menu/help_bg.pcx"},
    {245, "graphics/menu/play.pcx"},
    {246, "graphics/menu/playon.pcx"},
    {247, "graphics/menu/help.pcx"},
    {248, "graphics/menu/helpon.pcx"},
    {249, "graphics/menu/quit.pcx"},
    {250, "graphics/menu/quiton.pcx"},
    {251, "graphics/menu/menu_bg.pcx"},
    {253, "graphics/zada_wins.pcx"},
    {254, "graphics/bone.pcx"},
    {255, "graphics/zada.pcx"},
};

// A missing file leaves its slot null; drawing skips null pictures.
template <size_t N>
void loadPictures(BITMAP* (&slots)[256], const PictureFile (&files)[N]) {
    for (const PictureFile& f : files) slots[f.slot] = load_pcx(f.path, nullptr);
}

BITMAP* filledTile(int colour) {
    BITMAP* tile = create_bitmap(32, 32);
    if (tile) clear_to_color(tile, colour);
    return tile;
}

}  // namespace

Game::Game(std::atomic<bool>* quit)
    : rules(), tileImages{}, screenMode(MainMenu), redrawNeeded(true), quitFlag(quit), levelTitle(),
      // A level that cannot be read still leaves a defined level number.
      levelNumber(1), ambientEnabled(true), ambientSounds(), recordMoves(0) {
    // Allegro mixes no digital sound of its own; everything goes through the
    // sound library.
    set_volume_per_voice(0);

    loadPictures(tileImages, kBoardPictures);

    // Slot 15: the editor's pointer for the dirt brush, whose own picture is all mask colour.
    tileImages[15] = filledTile(makecol(77, 8, 12));
    text_mode(-1);  // every text from here on is drawn without a background
    if (tileImages[15]) textout(tileImages[15], font, "DIRT", 0, text_height(font), makecol(0, 255, 0));
    // Slot 16 is all mask colour: drawn as a sprite it leaves what is beneath.
    tileImages[16] = filledTile(makecol(255, 0, 255));
    tileImages[17] = filledTile(makecol(0, 0, 0));

    loadPictures(tileImages, kOtherPictures);

    redrawNeeded = true;
    selection = 0;
    dogOffsetY = 0;
    dogOffsetX = 0;
    quitFlag = quit;

    if (!FSOUND_Init(44100, 16, FSOUND_INIT_GLOBALFOCUS)) {
        const char* why = soundErrorText(FSOUND_GetError());
        // With no display the message box may not appear; say it on stderr too.
        std::fprintf(stderr, "%s\n", why);
        allegro_message("%s\n", why);
        std::exit(1);
    }

    openAmbientSounds();
    ambientEnabled = true;
    readSettings();

    screenMode = MainMenu;
    resetBoard(0);
    loadLevel(1);  // without a readable level 1 the blank layout stays
}

Game::~Game() {
    for (BITMAP*& picture : tileImages) {
        if (picture) destroy_bitmap(picture);
        picture = nullptr;
    }
    FSOUND_Close();  // also frees the ambient streams
    for (AmbientSound& sound : ambientSounds) sound.stream = nullptr;
}
