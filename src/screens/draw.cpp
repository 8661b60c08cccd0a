// Rendering of the screens that the main loop shows from the back buffer:
// main menu, playing board, editor board, level-won and help screens.
#include "screens/draw.h"

#include "screens/allegro_text.h"

#include <cstdio>
#include <string>
#include <vector>

#include "rules/tiles.h"
#include "screens/styled_screen.h"

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
// then the dog, the bone and the falling rock.
void drawBoard(Game& g, BITMAP* target) {
    drawBoardCellsLayered(g, target);
    // The dog faces the way she goes: the picture looks right, so a step
    // Left shows it mirrored.
    BITMAP* dog = g.tileImages[DogTile];
    const int dogX = g.dogColumn * kCell + g.dogOffsetX, dogY = g.dogRow * kCell + g.dogOffsetY;
    if (dog && g.screenMode == Playing && g.selection == Left)
        draw_sprite_h_flip(target, dog, dogX, dogY);
    else
        sprite(target, dog, dogX, dogY);
    // The bone covers the dog on the goal cell, but a rock lying there, or
    // falling into it, covers the bone: buried, it must look buried.
    sprite(target, g.tileImages[BoneTile], g.boneColumn * kCell, g.boneRow * kCell);
    if (g.rules.onBoard(g.boneColumn, g.boneRow) && isRock(g.board[g.boneRow][g.boneColumn]))
        sprite(target, g.tileImages[g.board[g.boneRow][g.boneColumn]], g.boneColumn * kCell, g.boneRow * kCell);
    if (g.rockFalling) sprite(target, g.tileImages[Rock], g.fallingRockX, g.fallingRockY);
}

// Dark text with a light halo, the caption's look, readable on the sky.
// `align`: -1 left edge at x, 0 centred on x, 1 right edge at x.
void drawSkyText(BITMAP* target, const std::string& text, int x, int y, int align = 0) {
    const int halo = makecol(200, 200, 200);
    const int w = text_length(font, text.c_str());
    const int cx = align < 0 ? x + w / 2 : align > 0 ? x - w + w / 2 : x;
    const char* s = text.c_str();
    textout_centre_ex(target, font, s, cx - 1, y, halo, -1);
    textout_centre_ex(target, font, s, cx + 1, y, halo, -1);
    textout_centre_ex(target, font, s, cx, y + 1, halo, -1);
    textout_centre_ex(target, font, s, cx + 1, y - 1, halo, -1);
    textout_centre_ex(target, font, s, cx, y, makecol(20, 20, 20), -1);
}

std::string captionText(const Game& g) {
    // Formatted as Allegro's textprintf does (its own printf, its 512-byte
    // buffer). The title is an argument, never part of the format: a '%'
    // prints as is.
    char text[512];
    uszprintf(text, sizeof text, "Level #%i: \"%s\"", static_cast<int>(g.levelNumber),
              printableByAllegro(g.levelTitle).c_str());
    return text;
}

// Dark caption with a light halo, centred on the middle of the top row.
void drawCaption(const Game& g, BITMAP* target) {
    drawSkyText(target, captionText(g), target->w / 2, 16 - text_height(font) / 2);
}

std::string countText(int32_t value) {
    switch (value) {
    case PlayAid::kNotKnown: return "...";
    case PlayAid::kNoWay: return "-";
    case PlayAid::kTooHard: return "?";
    default: return std::to_string(value);
    }
}

// The moves made on the left of the caption, the best and the fewest
// possible on its right, in the sky row; shorter words when the caption
// leaves little room, and the row below when it leaves none.
void drawScoreLine(const Game& g, BITMAP* target) {
    const int margin = 6, gap = 12;
    const int captionHalf = text_length(font, captionText(g).c_str()) / 2;
    const int room = target->w / 2 - captionHalf - gap - margin;  // on each side
    const std::string best = g.aid.best >= 0 ? std::to_string(g.aid.best) : "-";
    const std::string fewest = countText(g.aid.fewest);
    const std::string moves = std::to_string(g.moveCount);
    const std::string forms[][2] = {
        {"Moves: " + moves, "Best: " + best + "  Fewest: " + fewest},
        {"Moves " + moves, "Best " + best + " Fewest " + fewest},
        {"M " + moves, "B " + best + " F " + fewest},
    };
    int y = 16 - text_height(font) / 2;
    const std::string* chosen = forms[2];
    bool fits = false;
    for (const auto& form : forms) {
        if (text_length(font, form[0].c_str()) <= room && text_length(font, form[1].c_str()) <= room) {
            chosen = form;
            fits = true;
            break;
        }
    }
    if (!fits) {
        chosen = forms[0];
        y += kCell;
    }
    drawSkyText(target, chosen[0], margin, y, -1);
    drawSkyText(target, chosen[1], target->w - margin, y, 1);
}

// An arrow filling most of a cell, pointing the way of a Direction.
void drawHintArrow(BITMAP* target, int column, int row, int32_t direction) {
    const int x0 = column * kCell, y0 = row * kCell, m = kCell / 2;
    // Drawn pointing right in a cell's own frame, then turned.
    auto at = [&](int ax, int ay, int& px, int& py) {
        const int dx = ax - m, dy = ay - m;
        switch (direction) {
        case Left: px = x0 + m - dx, py = y0 + m + dy; break;
        case Down: px = x0 + m - dy, py = y0 + m + dx; break;
        case Up: px = x0 + m + dy, py = y0 + m - dx; break;
        default: px = x0 + m + dx, py = y0 + m + dy; break;
        }
    };
    const int outline = makecol(16, 10, 6), fill = makecol(255, 214, 64);
    for (int pass = 0; pass < 2; ++pass) {
        const int grow = pass == 0 ? 2 : 0, colour = pass == 0 ? outline : fill;
        int ax, ay, bx, by, cx, cy, dx, dy;
        // The shaft, as two triangles, then the head.
        at(4 - grow, 12 - grow, ax, ay);
        at(17, 12 - grow, bx, by);
        at(17, 20 + grow, cx, cy);
        at(4 - grow, 20 + grow, dx, dy);
        triangle(target, ax, ay, bx, by, cx, cy, colour);
        triangle(target, ax, ay, cx, cy, dx, dy, colour);
        at(15 - grow, 5 - grow * 2, ax, ay);
        at(28 + grow, 16, bx, by);
        at(15 - grow, 27 + grow * 2, cx, cy);
        triangle(target, ax, ay, bx, by, cx, cy, colour);
    }
}

// The notice under the caption (the hint or the dead end), and the hint's arrow.
void drawNotice(const Game& g, BITMAP* target) {
    std::string text;
    switch (g.aid.notice) {
    case PlayAid::DeadEndNotice: text = "The bone can't be reached any more: U takes back a move, R restarts"; break;
    case PlayAid::NoHintNotice: text = "No hint: too many ways to try from here"; break;
    case PlayAid::HintNotice: {
        text = std::to_string(g.aid.hintMoves) + (g.aid.hintMoves == 1 ? " move" : " moves") + " to the bone";
        int column = g.dogColumn, row = g.dogRow;
        switch (g.aid.hintDirection) {
        case Right: ++column; break;
        case Left: --column; break;
        case Down: ++row; break;
        case Up: --row; break;
        default: break;
        }
        if (g.aid.hintDirection != None && g.rules.onBoard(column, row))
            drawHintArrow(target, column, row, g.aid.hintDirection);
        break;
    }
    default: return;
    }
    drawSkyText(target, text, target->w / 2, 16 - text_height(font) / 2 + 14);
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
        if (screenMode == Playing) {
            drawCaption(*this, target);
            drawScoreLine(*this, target);
            drawNotice(*this, target);
        }
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
        if (aid.fewest >= 0)
            textprintf_centre_ex(target, font, W / 2, H * 15 / 16, grey, -1,
                                 "The fewest moves possible for this level: %i.", aid.fewest);
        else if (aid.fewest == PlayAid::kNotKnown)
            textout_centre_ex(target, font, "Working out the fewest moves possible...", W / 2, H * 15 / 16, grey, -1);
        break;
    }
    case HelpScreen:
        copyWhole(target, tileImages[HelpBackground], 0, 0);
        break;
    default:
        break;
    }
}
