// Rendering of the screens that the main loop shows from the back buffer:
// main menu, playing board, editor board, level-won and help screens.
#include "presentation/draw.h"

#include "presentation/allegro_text.h"

#include <string>
#include <vector>

#include "play/tiles.h"
#include "presentation/styled_screen.h"

namespace {

const int kCell = 32;

// Menu picture slots.
enum MenuSlot {
    OptionsButton = 242,
    OptionsButtonOn = 243,
    HelpBackground = 244,
    PlayButton = 245,
    PlayButtonOn = 246,
    HelpButton = 247,
    HelpButtonOn = 248,
    QuitButton = 249,
    QuitButtonOn = 250,
    MenuBackground = 251,
    WinPicture = 253,
};

// A missing picture file leaves a null slot; drawing simply leaves it out.
void sprite(BITMAP* target, BITMAP* picture, int x, int y) {
    if (picture) draw_sprite(target, picture, x, y);
}

void copyWhole(BITMAP* target, BITMAP* picture, int x, int y) {
    if (picture) blit(picture, target, 0, 0, x, y, picture->w, picture->h);
}

void drawBoardCell(BITMAP* target, BITMAP* background, BITMAP* tile, int column, int row) {
    int x = column * kCell;
    int y = row * kCell;
    if (background)
        blit(background, target, x, y, x, y, kCell, kCell);
    else
        rectfill(target, x, y, x + kCell - 1, y + kCell - 1, makecol(0, 0, 0));
    // A code with no picture shows just its piece of the background.
    sprite(target, tile, x, y);
}

// The board pass shared by the playing screen and the editor: the cells,
// then the falling rock, the dog and the bone.
void drawBoard(Game& g, BITMAP* target) {
    drawBoardCellsLayered(g, target);
    if (g.rockFalling) sprite(target, g.tileImages[Rock], g.fallingRockX, g.fallingRockY);
    // The dog faces the way she goes: the picture looks right, so a step
    // Left shows it mirrored.
    BITMAP* dog = g.tileImages[DogTile];
    const int dogX = g.dogColumn * kCell + g.dogOffsetX, dogY = g.dogRow * kCell + g.dogOffsetY;
    if (dog && g.screenMode == Playing && g.selection == Left)
        draw_sprite_h_flip(target, dog, dogX, dogY);
    else
        sprite(target, dog, dogX, dogY);
    // The bone goes last so that it covers the dog on the goal cell.
    sprite(target, g.tileImages[BoneTile], g.boneColumn * kCell, g.boneRow * kCell);
}

// Dark caption with a light halo, centred on the middle of the top row.
void drawCaption(const Game& g, BITMAP* target) {
    const int x0 = target->w / 2;
    const int y0 = 16 - text_height(font) / 2;
    const int halo = makecol(200, 200, 200);
    // The title is an argument, never part of the format: a '%' prints as is.
    const char* format = "Level #%i: \"%s\"";
    const std::string printable = printableByAllegro(g.levelTitle);
    const char* title = printable.c_str();
    const int number = g.levelNumber;
    textprintf_centre_ex(target, font, x0 - 1, y0, halo, -1, format, number, title);
    textprintf_centre_ex(target, font, x0 + 1, y0, halo, -1, format, number, title);
    textprintf_centre_ex(target, font, x0, y0 + 1, halo, -1, format, number, title);
    textprintf_centre_ex(target, font, x0 + 1, y0 - 1, halo, -1, format, number, title);
    textprintf_centre_ex(target, font, x0, y0, makecol(20, 20, 20), -1, format, number, title);
}

// The menu's buttons by item (Play, Options, Help, Quit): picture slots,
// plain and highlighted.
struct ButtonPictures { int normal, lit; };
const ButtonPictures kMenuButtons[4] = {
    {PlayButton, PlayButtonOn}, {OptionsButton, OptionsButtonOn}, {HelpButton, HelpButtonOn}, {QuitButton, QuitButtonOn}};

// Editor brushes by the names the README gives them.
const char* brushName(int brush) {
    switch (brush) {
    case BlackRock: return "black rock";
    case Rock: return "rock";
    case SkyTop: return "sky";
    case Dirt: return "dirt";
    case Tunnel: return "tunnel";
    case SkyBottom: return "grass";
    case SkyBottomDestroyed: return "dug grass";
    case BoneTile: return "bone";
    case DogTile: return "dog";
    default: return "?";
    }
}

// While editing: what is being edited and with which brush, over the sky;
// and the outcome of the last save along the bottom edge while it is fresh.
void drawEditorCaptions(const Game& g, BITMAP* target) {
    const std::string caption = "Editing level #" + std::to_string(g.levelNumber) + ": \"" + g.levelTitle +
                                "\" - brush: " + brushName(g.selection);
    drawOutlinedText(target, printableByAllegro(caption), target->w / 2, 12, makecol(255, 255, 255));
    if (!g.saveNote.empty())
        drawOutlinedText(target, printableByAllegro(g.saveNote), target->w / 2, target->h - 12, makecol(255, 230, 140));
}

}  // namespace

MenuButton menuButton(const Game& g, int item, int W, int H) {
    // Bottom-up: Quit, Help, Options, Play; all placed by the Play size.
    BITMAP* play = g.tileImages[PlayButton];
    const int pw = play ? play->w : 0, ph = play ? play->h : 0;
    return {W - pw, H - (4 - item) * ph, pw, ph};
}

int menuItemAt(const Game& g, int x, int y, int W, int H) {
    for (int item = 0; item < 4; ++item) {
        const MenuButton b = menuButton(g, item, W, H);
        if (x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h) return item;
    }
    return -1;
}

void drawBoardCellsDirect(const Game& g, BITMAP* target) {
    BITMAP* background = g.tileImages[DirtBackground];
    for (int row = 0; row < g.boardHeight; ++row)
        for (int column = 0; column < g.boardWidth; ++column)
            drawBoardCell(target, background, g.tileImages[g.board[row][column]], column, row);
}

// What the layer holds: for every cell the picture composed there, over the
// background it was composed with. Pictures never change once loaded, so a
// cell whose picture pointer is unchanged needs no work.
struct BoardLayer {
    BITMAP* bitmap = nullptr;
    BITMAP* background = nullptr;
    int columns = 0;
    int rows = 0;
    std::vector<BITMAP*> composed;
    std::vector<bool> valid;
};

void BoardLayerDeleter::operator()(BoardLayer* layer) const {
    if (!layer) return;
    if (layer->bitmap) destroy_bitmap(layer->bitmap);
    delete layer;
}

void forgetBoardLayer(Game& g) { g.boardLayer.reset(); }

namespace {

// The layer gives the same pixels as the direct pass only when every cell
// is drawn within its own square: tiles of exactly one cell, and a dirt
// picture (if any) that covers the whole board.
bool layerMatchesDirect(const Game& g) {
    BITMAP* background = g.tileImages[DirtBackground];
    if (background && (background->w < g.boardWidth * kCell || background->h < g.boardHeight * kCell))
        return false;
    for (int row = 0; row < g.boardHeight; ++row)
        for (int column = 0; column < g.boardWidth; ++column) {
            BITMAP* tile = g.tileImages[g.board[row][column]];
            if (tile && (tile->w != kCell || tile->h != kCell)) return false;
        }
    return true;
}

}  // namespace

void drawBoardCellsLayered(Game& g, BITMAP* target) {
    if (!layerMatchesDirect(g)) {
        drawBoardCellsDirect(g, target);
        return;
    }
    BoardLayer* layer = g.boardLayer.get();
    if (!layer || layer->columns != g.boardWidth || layer->rows != g.boardHeight) {
        g.boardLayer.reset(new BoardLayer);
        layer = g.boardLayer.get();
        layer->bitmap = create_bitmap(g.boardWidth * kCell, g.boardHeight * kCell);
        layer->columns = g.boardWidth;
        layer->rows = g.boardHeight;
        layer->composed.assign(g.boardWidth * g.boardHeight, nullptr);
        layer->valid.assign(g.boardWidth * g.boardHeight, false);
    }
    if (!layer->bitmap) {
        drawBoardCellsDirect(g, target);
        return;
    }
    BITMAP* background = g.tileImages[DirtBackground];
    if (layer->background != background) {
        layer->valid.assign(layer->valid.size(), false);
        layer->background = background;
    }
    for (int row = 0; row < g.boardHeight; ++row)
        for (int column = 0; column < g.boardWidth; ++column) {
            const size_t i = static_cast<size_t>(row) * g.boardWidth + column;
            BITMAP* tile = g.tileImages[g.board[row][column]];
            if (layer->valid[i] && layer->composed[i] == tile) continue;
            drawBoardCell(layer->bitmap, background, tile, column, row);
            layer->composed[i] = tile;
            layer->valid[i] = true;
        }
    blit(layer->bitmap, target, 0, 0, 0, 0, layer->bitmap->w, layer->bitmap->h);
}

void Game::drawScreen(BITMAP* target) {
    if (!redrawNeeded) return;
    redrawNeeded = false;
    if (!target) return;

    const int W = target->w;
    const int H = target->h;

    switch (screenMode) {
    case MainMenu: {
        copyWhole(target, tileImages[MenuBackground], 0, 0);
        for (int item = 0; item < 4; ++item) {
            const MenuButton b = menuButton(*this, item, W, H);
            sprite(target, tileImages[selection == item ? kMenuButtons[item].lit : kMenuButtons[item].normal], b.x,
                   b.y);
        }
        break;
    }
    case Playing:
    case LevelEditor: {
        drawBoard(*this, target);
        if (screenMode == Playing) drawCaption(*this, target);
        if (screenMode == LevelEditor) drawEditorCaptions(*this, target);
        break;
    }
    case LevelWon: {
        clear_bitmap(target);
        BITMAP* won = tileImages[WinPicture];
        if (won) blit(won, target, 0, 0, W / 2 - won->w / 2, H / 2 - won->h / 2, won->w, won->h);
        textprintf_centre_ex(target, font, W / 2, H * 13 / 16, makecol(50, 150, 50), -1,
                             "Congratulations! You beat the level in only %i moves.", moveCount);
        const int grey = makecol(150, 150, 150);
        if (!recordNote.empty())
            textout_centre_ex(target, font, recordNote.c_str(), W / 2, H * 7 / 8, grey, -1);
        else if (recordMoves == -1)
            textout_centre_ex(target, font, "This is a new record!", W / 2, H * 7 / 8, grey, -1);
        else if (recordMoves < moveCount)
            textprintf_centre_ex(target, font, W / 2, H * 7 / 8, grey, -1,
                                 "The high score for this level is %i.", recordMoves);
        else if (recordMoves == moveCount)
            textout_centre_ex(target, font, "You tied for the high score.", W / 2, H * 7 / 8, grey, -1);
        // A larger record means the table could not be read: no record line.
        break;
    }
    case HelpScreen:
        copyWhole(target, tileImages[HelpBackground], 0, 0);
        break;
    default:
        break;
    }
}
