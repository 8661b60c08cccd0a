#include "platform/pictures.h"

#include "rules/rules.h"
#include "rules/tiles.h"

namespace {

// Picture files by slot. Slots not listed stay empty; 15..17 are made in code.
struct PictureFile {
    int slot;
    const char* path;
};

const PictureFile kFiles[] = {
    {BlackRock, "graphics/black_rock.pcx"},
    {Rock, "graphics/rock.pcx"},
    {SkyTop, "graphics/skytop.pcx"},
    {SkyBottom, "graphics/skybottom.pcx"},
    {DirtBackground, "graphics/dirt_bg3.pcx"},
    {SkyBottomDestroyed, "graphics/skybottom_destroyed.pcx"},
    {OptionsButton, "graphics/menu/options.pcx"},
    {OptionsButtonOn, "graphics/menu/optionson.pcx"},
    {HelpBackground, "graphics/menu/help_bg.pcx"},
    {PlayButton, "graphics/menu/play.pcx"},
    {PlayButtonOn, "graphics/menu/playon.pcx"},
    {HelpButton, "graphics/menu/help.pcx"},
    {HelpButtonOn, "graphics/menu/helpon.pcx"},
    {QuitButton, "graphics/menu/quit.pcx"},
    {QuitButtonOn, "graphics/menu/quiton.pcx"},
    {MenuBackground, "graphics/menu/menu_bg.pcx"},
    {WinPicture, "graphics/zada_wins.pcx"},
    {BoneTile, "graphics/bone.pcx"},
    {DogTile, "graphics/zada.pcx"},
};

BITMAP* filledTile(int colour) {
    BITMAP* tile = create_bitmap(RuleState::cellSize, RuleState::cellSize);
    if (tile) clear_to_color(tile, colour);
    return tile;
}

}  // namespace

Pictures::~Pictures() {
    for (BITMAP*& picture : slots_) {
        if (picture) destroy_bitmap(picture);
        picture = nullptr;
    }
}

void Pictures::set(int slot, BITMAP* picture) {
    if (slot < 0 || slot >= 256) return;
    if (slots_[slot] && slots_[slot] != picture) destroy_bitmap(slots_[slot]);
    slots_[slot] = picture;
}

void Pictures::load() {
    missing_.clear();
    for (const PictureFile& f : kFiles) {
        set(f.slot, load_pcx(f.path, nullptr));
        if (!slots_[f.slot]) missing_.push_back(f.path);
    }
    // The editor's pointer for the dirt brush, whose own picture is all mask colour.
    set(DirtMarker, filledTile(makecol(77, 8, 12)));
    if (slots_[DirtMarker]) textout_ex(slots_[DirtMarker], font, "DIRT", 0, text_height(font), makecol(0, 255, 0), -1);
    // Dirt is all mask colour: drawn as a sprite it leaves what is beneath.
    set(Dirt, filledTile(makecol(255, 0, 255)));
    set(Tunnel, filledTile(makecol(0, 0, 0)));
}
