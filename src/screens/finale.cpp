#include "screens/finale.h"

#include <algorithm>

#include "platform/window.h"
#include "rules/tiles.h"
#include "screens/board_view.h"
#include "screens/text.h"
#include "session/catalogue.h"
#include "session/session.h"

const char* const kSharingText =
    "You can make your own levels with the level editor (press L in the main menu) and share them: every level "
    "is a file in the levels folder (1.lvl, 2.lvl, ...). Give a friend your file, and they put it in their own "
    "levels folder under the next free number; a whole pack is shared by copying its folder in packs. The readme "
    "tells more: its section \"Making and sharing levels\".";

namespace {

// The marks stand in rows of ten (twenty, ...) as large as the pack allows.
const int kGridWidth = 480, kGridHeight = 150, kSharingWidth = 66 * 8;

struct Grid {
    int step = 8, side = 6, columns = 1, rows = 0;
};

Grid gridFor(int levels) {
    Grid g;
    for (int step : {36, 26, 18, 12, 8}) {
        int columns = std::min(levels, kGridWidth / step);
        if (columns >= 10) columns -= columns % 10;
        columns = std::max(columns, 1);
        g = {step, step - (step >= 18 ? 4 : 2), columns, (levels + columns - 1) / columns};
        if (g.rows * step <= kGridHeight) break;
    }
    g.rows = std::min(g.rows, kGridHeight / g.step);  // a pack too large for the panel shows its first levels
    return g;
}

// Rows of the finale from the top of its panel; the panel is as tall as
// they are and centred, so no gap opens whatever the pack's size.
struct Layout {
    Grid grid;
    int panelTop, heading, counts, gridTop, legend, sharing, keys, panelBottom;
};

Layout layoutFor(int levels, int sharingLines, int height) {
    Layout l;
    l.grid = gridFor(levels);
    l.heading = 16 + 12;  // beside the dog and the bone, 32 high
    l.counts = l.heading + 32;
    l.gridTop = l.counts + 32;
    l.legend = l.gridTop + l.grid.rows * l.grid.step + 8;
    l.sharing = l.legend + 30;
    l.keys = l.sharing + sharingLines * 12 + 10;
    l.panelBottom = l.keys + 18 + 8 + 14;
    const int top = (height - l.panelBottom) / 2;
    for (int* y : {&l.heading, &l.counts, &l.gridTop, &l.legend, &l.sharing, &l.keys, &l.panelBottom}) *y += top;
    l.panelTop = top;
    return l;
}

}  // namespace

void drawLevelMark(BITMAP* target, const Pictures& p, FinaleScreen::Mark mark, int x, int y, int side) {
    BITMAP* cell = create_bitmap(kCell, kCell);
    if (!cell) return;
    // Earth: a piece of the dirt, or its colour.
    clear_to_color(cell, makecol(110, 76, 44));
    if (BITMAP* dirt = p[DirtBackground]) blit(dirt, cell, 5 * kCell, 5 * kCell, 0, 0, kCell, kCell);
    if (mark == FinaleScreen::Mark::Solved) {
        if (p[Tunnel])
            draw_sprite(cell, p[Tunnel], 0, 0);
        else
            clear_to_color(cell, makecol(0, 0, 0));
        if (BITMAP* dog = p[DogTile])
            draw_sprite(cell, dog, 0, 0);
        else
            rectfill(cell, 8, 8, 23, 23, makecol(150, 230, 130));
    } else if (mark == FinaleScreen::Mark::Fewest) {
        // The bone, as on the chooser's cards, on gold.
        clear_to_color(cell, makecol(150, 110, 30));
        if (BITMAP* bone = p[BoneTile])
            draw_sprite(cell, bone, 0, 0);
        else
            rectfill(cell, 6, 12, 25, 19, makecol(240, 236, 220));
    }
    stretch_blit(cell, target, 0, 0, kCell, kCell, x, y, side, side);
    if (side >= 12) rect(target, x - 1, y - 1, x + side, y + side, makecol(206, 156, 90));
    destroy_bitmap(cell);
}

FinaleScreen::FinaleScreen(Context& c)
    : pack_(c.session.pack), levels_(catalogue::listLevels(pack_)), look_(new StyledScreen(c.pictures[MenuBackground])) {
    records_ = catalogue::records(pack_);
    // A win whose record is still being written counts all the same.
    for (const auto& [level, moves] : c.session.winsIn(pack_)) {
        auto kept = records_.emplace(level, moves).first;
        kept->second = std::min(kept->second, moves);
    }
    std::vector<RuleState> positions;
    for (const ListedLevel& level : levels_) {
        positions.push_back(level.start);
        const bool solved = records_.count(level.number) > 0;
        marks_.push_back(solved ? Mark::Solved : Mark::NotYet);
        if (solved)
            ++solved_;
        else if (!firstUnsolved_)
            firstUnsolved_ = level.number;
    }
    // Which solved levels took the fewest moves possible is worked out while
    // the finale shows.
    fewest_.reset(new FewestMovesWork(positions, 0));
}

void FinaleScreen::handle(const input::Event& e, Context& c) {
    if (e.kind != input::Event::Press) return;
    // Back to the pack's first level, as the game starts on the first.
    const int32_t first = levels_.empty() ? 1 : levels_.front().number;
    if (e.scancode == KEY_ESC) {
        c.session.loadLevel(LevelRef{pack_, first});
        c.nav.showOnly(ScreenId::Menu);
    } else if (e.scancode == KEY_ENTER || e.scancode == KEY_ENTER_PAD || e.scancode == KEY_SPACE) {
        c.hear({Cue::Click});
        c.session.loadLevel(LevelRef{pack_, firstUnsolved_ ? firstUnsolved_ : first});
        c.nav.showOnly(firstUnsolved_ ? ScreenId::Playing : ScreenId::Menu);
    }
}

bool FinaleScreen::update(const input::Held&, unsigned long, Context&) {
    int inFewest = 0;
    bool allKnown = true, changed = false;
    for (int j = 0; j < levels(); ++j) {
        const int32_t least = fewest_->fewest(j);
        if (least == fewest::kNotKnown) allKnown = false;
        const auto record = records_.find(levels_[j].number);
        const bool fewest = record != records_.end() && bestIsFewest(record->second, least);
        inFewest += fewest;
        if (fewest && marks_[j] != Mark::Fewest) marks_[j] = Mark::Fewest, changed = true;
    }
    changed = changed || inFewest != inFewest_ || allKnown != allKnown_;
    inFewest_ = inFewest, allKnown_ = allKnown;
    return changed;
}

FinaleScreen::Box FinaleScreen::markBox(int j) const {
    const Layout l = layoutFor(levels(), static_cast<int>(wrapText(kSharingText, kSharingWidth).size()), window::kHeight);
    const Grid& g = l.grid;
    if (j < 0 || j / g.columns >= g.rows) return {};
    const int left = window::kWidth / 2 - (g.columns * g.step - (g.step - g.side)) / 2;
    return {left + (j % g.columns) * g.step, l.gridTop + (j / g.columns) * g.step, g.side};
}

void FinaleScreen::draw(BITMAP* target, Context& c) {
    look_->backdrop(target);
    const int W = target->w;
    const int gold = makecol(255, 230, 120), plain = makecol(230, 220, 200), lit = makecol(255, 214, 64);
    const std::vector<std::string> sharing = wrapText(kSharingText, kSharingWidth);
    const Layout l = layoutFor(levels(), static_cast<int>(sharing.size()), target->h);
    drawPanel(target, 40, l.panelTop, W - 41, l.panelBottom);
    const bool all = levels() > 0 && solved_ == levels();
    const std::string heading = all ? "You beat all the levels!" : "The end of the levels";
    drawOutlinedText(target, heading, W / 2, l.heading, gold);
    // The dog and her bone on either side, as on the level-won picture.
    const int half = text_length(font, heading.c_str()) / 2;
    if (BITMAP* dog = c.pictures[DogTile]) draw_sprite(target, dog, W / 2 - half - 16 - kCell, l.heading - 12);
    if (BITMAP* bone = c.pictures[BoneTile]) draw_sprite(target, bone, W / 2 + half + 16, l.heading - 12);
    drawOutlinedText(target, std::to_string(solved_) + " of " + std::to_string(levels()) + " levels solved", W / 2,
                     l.counts, gold);
    drawOutlinedText(
        target,
        std::to_string(inFewest_) + " of them in the fewest moves possible" + (allKnown_ ? "" : " (still counting...)"),
        W / 2, l.counts + 14, plain);
    // A mark for every level, each row led by its first level's number.
    for (int j = 0; j < levels(); ++j) {
        const Box b = markBox(j);
        if (!b.side) break;
        drawLevelMark(target, c.pictures, marks_[j], b.x, b.y, b.side);
        if (j % l.grid.columns == 0 && b.side >= 12) {
            const std::string number = std::to_string(levels_[j].number);
            drawOutlinedText(target, number, b.x - 8 - text_length(font, number.c_str()) / 2,
                             b.y + b.side / 2 - 4, makecol(200, 200, 200));
        }
    }
    // The legend: a small mark and its meaning, three in a row.
    const struct { Mark mark; const char* says; } legend[] = {
        {Mark::Fewest, "fewest moves"}, {Mark::Solved, "solved"}, {Mark::NotYet, "not yet"}};
    int width = 0;
    for (const auto& item : legend) width += 16 + 6 + text_length(font, item.says) + 24;
    int x = W / 2 - (width - 24) / 2;
    for (const auto& item : legend) {
        drawLevelMark(target, c.pictures, item.mark, x, l.legend, 16);
        const int w = text_length(font, item.says);
        drawOutlinedText(target, item.says, x + 22 + w / 2, l.legend + 4, plain);
        x += 16 + 6 + w + 24;
    }
    int y = l.sharing;
    for (const std::string& line : sharing) {
        drawOutlinedText(target, line, W / 2, y, makecol(200, 200, 200));
        y += 12;
    }
    const std::string go = firstUnsolved_
                               ? "Enter: play level " + std::to_string(firstUnsolved_) + ", the first not solved"
                               : "Enter: back to the menu";
    drawOutlinedText(target, go, W / 2, l.keys, lit);
    drawOutlinedText(target, "Escape: the menu", W / 2, l.keys + 18, plain);
}
