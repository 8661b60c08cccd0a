#include "screens/board_view.h"

#include <cstdio>

#include "rules/tiles.h"
#include "screens/text.h"
#include "session/play.h"

namespace {

void sprite(BITMAP* target, BITMAP* picture, int x, int y) {
    if (picture) draw_sprite(target, picture, x, y);
}

// The grass row is the one under the sky: a rock there stands on the grass,
// not in a square of dirt sticking up into the sky.
const int kGrassRow = 1;

// What a cell shows beneath its tile besides the dirt background (null: nothing),
// and the tile itself.
BITMAP* grassUnder(const RuleState& b, const Pictures& p, int column, int row) {
    return row == kGrassRow && isRock(b.board[row][column]) ? p[SkyBottom] : nullptr;
}

BITMAP* tileOf(const RuleState& b, const Pictures& p, int column, int row) {
    const uint8_t code = b.board[row][column];
    // The fallen rock's picture is square with the tunnel's black round it;
    // on the grass only the stone itself is wanted.
    if (grassUnder(b, p, column, row) && code == BlackRock && p[Rock]) return p[Rock];
    return p[code];
}

void drawCell(BITMAP* target, BITMAP* background, BITMAP* grass, BITMAP* tile, int column, int row) {
    const int x = column * kCell, y = row * kCell;
    if (background)
        blit(background, target, x, y, x, y, kCell, kCell);
    else
        rectfill(target, x, y, x + kCell - 1, y + kCell - 1, makecol(0, 0, 0));
    sprite(target, grass, x, y);
    // A code with no picture shows just its piece of the background.
    sprite(target, tile, x, y);
}

// The bone's edge, faint and light, over the rock that covers it: the player
// still sees where the bone is, and that it is buried.
void drawBuriedBone(BITMAP* target, BITMAP* bone, int x0, int y0) {
    if (!bone) return;
    const int mask = bitmap_mask_color(bone), colour = makecol(255, 244, 214);
    auto inside = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < bone->w && y < bone->h && getpixel(bone, x, y) != mask;
    };
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    set_trans_blender(0, 0, 0, 150);
    for (int y = 0; y < bone->h; ++y)
        for (int x = 0; x < bone->w; ++x)
            if (inside(x, y) && !(inside(x - 1, y) && inside(x + 1, y) && inside(x, y - 1) && inside(x, y + 1)))
                putpixel(target, x0 + x, y0 + y, colour);
    solid_mode();
}

// The layer gives the same pixels as the direct pass only when every cell
// is drawn within its own square: tiles of exactly one cell, and a dirt
// picture (if any) that covers the whole board.
bool layerMatchesDirect(const RuleState& b, const Pictures& p) {
    BITMAP* background = p[DirtBackground];
    if (background && (background->w < b.boardWidth * kCell || background->h < b.boardHeight * kCell)) return false;
    BITMAP* grass = p[SkyBottom];
    if (grass && (grass->w != kCell || grass->h != kCell)) return false;
    for (int row = 0; row < b.boardHeight; ++row)
        for (int column = 0; column < b.boardWidth; ++column) {
            BITMAP* tile = p[b.board[row][column]];
            if (tile && (tile->w != kCell || tile->h != kCell)) return false;
        }
    return true;
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

// A rock with an open tunnel right under it falls as soon as its column
// moves: a crack across the stone and crumbs trickling into the gap tell it
// from a rock bedded in earth. The rock on the bone stays (the bone holds it).
void drawLooseRocks(BITMAP* target, const RuleState& b) {
    const int crack = makecol(60, 54, 52), lit = makecol(214, 208, 196), crumb = makecol(170, 122, 80);
    for (int row = 0; row + 1 < b.boardHeight; ++row)
        for (int column = 0; column < b.boardWidth; ++column) {
            if (!isLoose(b, column, row)) continue;
            const int x = column * kCell, y = row * kCell;
            const int points[][2] = {{9, 19}, {13, 23}, {17, 20}, {22, 25}};
            for (int i = 0; i + 1 < 4; ++i) {
                line(target, x + points[i][0], y + points[i][1] + 1, x + points[i + 1][0], y + points[i + 1][1] + 1,
                     lit);
                line(target, x + points[i][0], y + points[i][1], x + points[i + 1][0], y + points[i + 1][1], crack);
            }
            for (const auto& at : {std::pair{12, 3}, {18, 7}, {15, 12}})
                rectfill(target, x + at.first, y + kCell + at.second, x + at.first + 1, y + kCell + at.second + 1,
                         crumb);
        }
}

}  // namespace

bool isLoose(const RuleState& b, int column, int row) {
    if (!b.onBoard(column, row) || !b.onBoard(column, row + 1)) return false;
    if (column == b.boneColumn && row == b.boneRow) return false;
    return isRock(b.board[row][column]) && b.board[row + 1][column] == Tunnel;
}

BoardView::~BoardView() { forget(); }

void BoardView::forget() {
    if (layer_) destroy_bitmap(layer_);
    layer_ = nullptr;
    composed_.clear();
    valid_.clear();
}

void drawCellsDirect(BITMAP* target, const RuleState& b, const Pictures& p) {
    for (int row = 0; row < b.boardHeight; ++row)
        for (int column = 0; column < b.boardWidth; ++column)
            drawCell(target, p[DirtBackground], grassUnder(b, p, column, row), tileOf(b, p, column, row), column, row);
}

void BoardView::drawCells(BITMAP* target, const RuleState& b, const Pictures& p) {
    if (!layerMatchesDirect(b, p)) {
        drawCellsDirect(target, b, p);
        return;
    }
    if (!layer_) {
        layer_ = create_bitmap(b.boardWidth * kCell, b.boardHeight * kCell);
        composed_.assign(b.boardWidth * b.boardHeight, {nullptr, nullptr});
        valid_.assign(b.boardWidth * b.boardHeight, false);
    }
    if (!layer_) {
        drawCellsDirect(target, b, p);
        return;
    }
    BITMAP* background = p[DirtBackground];
    if (background_ != background) {
        valid_.assign(valid_.size(), false);
        background_ = background;
    }
    // Pictures never change once loaded, so a cell whose picture is the one
    // composed there needs no work.
    for (int row = 0; row < b.boardHeight; ++row)
        for (int column = 0; column < b.boardWidth; ++column) {
            const size_t i = static_cast<size_t>(row) * b.boardWidth + column;
            const std::pair<BITMAP*, BITMAP*> shows(grassUnder(b, p, column, row), tileOf(b, p, column, row));
            if (valid_[i] && composed_[i] == shows) continue;
            drawCell(layer_, background, shows.first, shows.second, column, row);
            composed_[i] = shows;
            valid_[i] = true;
        }
    blit(layer_, target, 0, 0, 0, 0, layer_->w, layer_->h);
}

void BoardView::draw(BITMAP* target, const RuleState& b, const Pictures& p, bool playing) {
    drawCells(target, b, p);
    drawLooseRocks(target, b);
    // The dog faces the way she goes: the picture looks right, so a step
    // Left shows it mirrored.
    BITMAP* dog = p[DogTile];
    const int dogX = b.dogColumn * kCell + b.dogOffsetX, dogY = b.dogRow * kCell + b.dogOffsetY;
    if (dog && playing && b.selection == Left)
        draw_sprite_h_flip(target, dog, dogX, dogY);
    else
        sprite(target, dog, dogX, dogY);
    // In play the dog on the goal cell has won: she is seen holding her bone,
    // smaller, at her mouth. Elsewhere (the editor) the bone covers the dog.
    // A rock lying on the bone, or falling into it, covers it: buried, it
    // must look buried.
    BITMAP* bone = p[BoneTile];
    const bool atBone =
        playing && b.dogColumn == b.boneColumn && b.dogRow == b.boneRow && b.dogOffsetX == 0 && b.dogOffsetY == 0;
    if (atBone && bone)
        stretch_sprite(target, bone, dogX + (b.selection == Left ? -2 : kCell / 2 - 2), dogY + kCell / 2, kCell / 2 + 4,
                       kCell / 2 + 4);
    else
        sprite(target, bone, b.boneColumn * kCell, b.boneRow * kCell);
    if (b.onBoard(b.boneColumn, b.boneRow) && isRock(b.board[b.boneRow][b.boneColumn])) {
        sprite(target, tileOf(b, p, b.boneColumn, b.boneRow), b.boneColumn * kCell, b.boneRow * kCell);
        drawBuriedBone(target, p[BoneTile], b.boneColumn * kCell, b.boneRow * kCell);
    }
    if (b.rockFalling) sprite(target, p[Rock], b.fallingRockX, b.fallingRockY);
}

void drawSkyText(BITMAP* target, const std::string& text, int x, int y, int align) {
    const int halo = makecol(200, 200, 200);
    const int w = text_length(font, text.c_str());
    const int cx = align < 0 ? x + w / 2 : align > 0 ? x - w + w / 2 : x;
    const char* s = text.c_str();
    textout_centre_ex(target, font, s, cx - 1, y, halo, -1);
    textout_centre_ex(target, font, s, cx + 1, y, halo, -1);
    textout_centre_ex(target, font, s, cx, y + 1, halo, -1);
    textout_centre_ex(target, font, s, cx, y - 1, halo, -1);
    textout_centre_ex(target, font, s, cx, y, makecol(20, 20, 20), -1);
}

// The caption's room: the picture's width less a margin each side.
const int kCaptionWidth = 640 - 16;

std::string captionText(int number, const std::string& title) {
    // A long title is cut so that the level's number stays in view. The
    // title is never a format: a '%' prints as is.
    return withTitleFitted("Level #" + std::to_string(number) + ": \"", title, "\"", kCaptionWidth);
}

void drawCaption(BITMAP* target, int number, const std::string& title) {
    drawSkyText(target, captionText(number, title), target->w / 2, kCell / 2 - text_height(font) / 2);
}

std::string fewestText(int32_t value) {
    switch (value) {
    case fewest::kNotKnown: return "...";
    case fewest::kNoWay: return "-";
    case fewest::kTooHard: return "?";
    default: return std::to_string(value);
    }
}

// Shorter words when the caption leaves little room, and the row below
// when it leaves none.
void drawScoreLine(BITMAP* target, const std::string& caption, int32_t movesMade, int32_t bestKept, int32_t fewest) {
    const int margin = 6, gap = 12;
    const int captionHalf = text_length(font, caption.c_str()) / 2;
    const int room = target->w / 2 - captionHalf - gap - margin;  // on each side
    const std::string best = bestKept >= 0 ? std::to_string(bestKept) : "-";
    const std::string least = fewestText(fewest);
    const std::string moves = std::to_string(movesMade);
    const std::string forms[][2] = {
        {"Moves: " + moves, "Best: " + best + "  Fewest: " + least},
        {"Moves " + moves, "Best " + best + " Fewest " + least},
        {"M " + moves, "B " + best + " F " + least},
    };
    int y = kCell / 2 - text_height(font) / 2;
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

void drawNotice(BITMAP* target, const RuleState& b, const Play& play) {
    std::string text;
    switch (play.notice) {
    case Play::DeadEndNotice: text = "The bone can't be reached any more: U takes back a move, R restarts"; break;
    case Play::NoHintNotice: text = "No hint: too many ways to try from here"; break;
    case Play::HintNotice: {
        text = std::to_string(play.hintMoves) + (play.hintMoves == 1 ? " move" : " moves") + " to the bone";
        int column = b.dogColumn, row = b.dogRow;
        switch (play.hintDirection) {
        case Right: ++column; break;
        case Left: --column; break;
        case Down: ++row; break;
        case Up: --row; break;
        default: break;
        }
        if (play.hintDirection != None && b.onBoard(column, row))
            drawHintArrow(target, column, row, play.hintDirection);
        break;
    }
    default: return;
    }
    drawSkyText(target, text, target->w / 2, kCell / 2 - text_height(font) / 2 + 14);
}
