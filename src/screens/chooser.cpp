#include "screens/chooser.h"

#include "rules/tiles.h"
#include "screens/text.h"
#include "session/session.h"
#include "storage/highscores.h"
#include "storage/level.h"
#include "storage/level_file.h"

namespace {

const int kMostLevels = 99;
const int kFirstRowLine = 4;  // rows start on the fifth line, below the headings
const int kLineHeight = 10;
// 44 rows in the 480-pixel window; a longer list scrolls.
const int kRowsShown = (480 - kFirstRowLine * kLineHeight) / kLineHeight;

// The blank layout with the dog and the bone nowhere: a file that does not
// place them is not played by the solver ("fewest ?").
Level unplacedLevel() {
    Level level;
    for (int r = 0; r < Level::kRows; ++r)
        for (int c = 0; c < Level::kColumns; ++c) level.cells[r][c] = r == 0 ? SkyTop : r == 1 ? SkyBottom : Dirt;
    level.dogColumn = level.dogRow = level.boneColumn = level.boneRow = -1;
    return level;
}

}  // namespace

ChooserScreen::ChooserScreen(Context& c) : look_(new StyledScreen(c.pictures[MenuBackground])) {
    // The list ends at the first number without a file; each file is read
    // once per visit.
    std::vector<RuleState> positions;
    for (int number = 1; number <= kMostLevels && levelFileExists(number); ++number) {
        Level level = unplacedLevel();
        const bool readable = readPlayableLevel(levelFilePath(number), level);
        titles_.push_back(readable ? level.title : "");
        readable_.push_back(readable);
        positions.emplace_back();
        if (readable) placeLevel(level, positions.back());
        else placeLevel(unplacedLevel(), positions.back());
    }
    records_ = readRecords();
    // A level number beyond the list (set in the editor, say) marks no row.
    const int count = static_cast<int>(titles_.size());
    mark_ = c.session.number > 0 ? c.session.number - 1 : 0;
    first_ = firstShownRow(0, mark_, count, kRowsShown);
    shown_.assign(titles_.size(), fewest::kNotKnown);
    // The fewest moves fill in while the list shows, the marked level's
    // first; leaving stops the work.
    fewest_.reset(new FewestMovesWork(positions, mark_ < count ? mark_ : 0));
}

void ChooserScreen::handle(const input::Event& e, Context& c) {
    if (e.kind != input::Event::Press) return;
    const int count = static_cast<int>(titles_.size());
    switch (e.scancode) {
    case KEY_ESC: c.nav.close(); break;
    case KEY_UP:
        if (--mark_ < 0) mark_ = count - 1;
        c.hear({Cue::Click});
        break;
    case KEY_DOWN:
        if (++mark_ > count - 1) mark_ = 0;
        c.hear({Cue::Click});
        break;
    case KEY_ENTER:
    case KEY_ENTER_PAD:
        if (mark_ < 0 || mark_ >= count) break;
        c.hear({Cue::Click});
        c.session.loadLevel(mark_ + 1);
        c.nav.showOnly(ScreenId::Playing);
        break;
    default: break;
    }
    first_ = firstShownRow(first_, mark_, count, kRowsShown);
}

bool ChooserScreen::update(const input::Held&, unsigned long, Context&) {
    // Drawn again only when a level's fewest moves came in.
    bool changed = false;
    for (size_t j = 0; j < shown_.size(); ++j) {
        const int32_t now = fewest_->fewest(j);
        if (now != shown_[j]) shown_[j] = now, changed = true;
    }
    return changed;
}

void ChooserScreen::draw(BITMAP* target, Context&) {
    const int colour = makecol(50, 150, 200);
    const int count = static_cast<int>(titles_.size());
    std::vector<StyledLine> lines = {
        {"Warning: Level Skip Mode (press ESC to exit and return to game)", 1, colour},
        {"Select which level you want to go to:", kLineHeight, colour}};
    for (int j = first_; j < count && j < first_ + kRowsShown; ++j) {
        const auto record = records_.find(j + 1);
        std::string row = readable_[j] ? chooserRow(j == mark_, titles_[j], j + 1,
                                                    record == records_.end() ? -1 : record->second, shown_[j])
                                       : std::string(j == mark_ ? "--->" : " ") + " " + levelFilePath(j + 1) +
                                             " could not be read";
        // Made printable whole: a title cut short may end in half a character.
        lines.push_back({printableByAllegro(row), kLineHeight * (j - first_ + kFirstRowLine), colour});
    }
    look_->show(target, lines);
}
