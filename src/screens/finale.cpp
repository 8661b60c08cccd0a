#include "screens/finale.h"

#include <algorithm>

#include "rules/tiles.h"
#include "screens/text.h"
#include "session/catalogue.h"
#include "session/session.h"

const char* const kSharingText =
    "You can make your own levels with the level editor (press L in the main menu) and share them: every level "
    "is a file in the levels folder (1.lvl, 2.lvl, ...). Give a friend your file, and they put it in their own "
    "levels folder under the next free number; a whole pack is shared by copying its folder in packs. The readme "
    "tells more: its section \"Making and sharing levels\".";

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
        if (records_.count(level.number))
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
    bool allKnown = true;
    for (int j = 0; j < levels(); ++j) {
        const int32_t least = fewest_->fewest(j);
        if (least == fewest::kNotKnown) allKnown = false;
        const auto record = records_.find(levels_[j].number);
        if (record != records_.end() && bestIsFewest(record->second, least)) ++inFewest;
    }
    const bool changed = inFewest != inFewest_ || allKnown != allKnown_;
    inFewest_ = inFewest, allKnown_ = allKnown;
    return changed;
}

void FinaleScreen::draw(BITMAP* target, Context& c) {
    look_->backdrop(target);
    const int W = target->w;
    const int gold = makecol(255, 230, 120), plain = makecol(230, 220, 200), lit = makecol(255, 214, 64);
    drawPanel(target, 40, 40, W - 41, 439);
    const bool all = levels() > 0 && solved_ == levels();
    drawOutlinedText(target, all ? "You beat all the levels!" : "The end of the levels", W / 2, 64, gold);
    // The dog and her bone, as on the level-won picture.
    if (BITMAP* dog = c.pictures[DogTile]) stretch_sprite(target, dog, W / 2 - 72, 90, 64, 64);
    if (BITMAP* bone = c.pictures[BoneTile]) stretch_sprite(target, bone, W / 2 + 8, 90, 64, 64);
    drawOutlinedText(target, std::to_string(solved_) + " of " + std::to_string(levels()) + " levels solved", W / 2, 176,
                     gold);
    drawOutlinedText(
        target,
        std::to_string(inFewest_) + " of them in the fewest moves possible" + (allKnown_ ? "" : " (still counting...)"),
        W / 2, 194, plain);
    int y = 232;
    for (const std::string& line : wrapText(kSharingText, 66 * 8)) {
        drawOutlinedText(target, line, W / 2, y, makecol(200, 200, 200));
        y += 12;
    }
    const std::string go = firstUnsolved_
                               ? "Enter: play level " + std::to_string(firstUnsolved_) + ", the first not solved"
                               : "Enter: back to the menu";
    drawOutlinedText(target, go, W / 2, 392, lit);
    drawOutlinedText(target, "Escape: the menu", W / 2, 410, plain);
}
