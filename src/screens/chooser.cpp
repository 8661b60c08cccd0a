#include "screens/chooser.h"

#include <algorithm>

#include "rules/solver.h"
#include "rules/tiles.h"
#include "screens/text.h"
#include "screens/watching.h"
#include "session/catalogue.h"
#include "session/move_log.h"
#include "session/session.h"
#include "storage/replays.h"

namespace {

const int kLeft = 14, kTop = 62, kCardW = 300, kCardH = 62, kGapX = 12, kGapY = 8;
const int kFooterY = 426;
// The heading's panel; a click on it turns to the next pack.
const int kHeadX0 = 120, kHeadY0 = 8, kHeadX1 = 519, kHeadY1 = 54;

int cardX(int column) { return kLeft + column * (kCardW + kGapX); }
int cardY(int row) { return kTop + row * (kCardH + kGapY); }

void textLeft(BITMAP* t, const std::string& text, int x, int y, int colour) {
    drawOutlinedText(t, text, x + text_length(font, text.c_str()) / 2, y, colour);
}

// The mark of a level solved in the fewest moves possible: the bone itself,
// or a star when its picture is missing.
void drawFewestMark(BITMAP* t, BITMAP* bone, int x, int y) {
    if (bone)
        draw_sprite(t, bone, x, y);
    else
        drawOutlinedText(t, "*", x + 16, y + 12, makecol(255, 214, 64));
}

}  // namespace

ChooserScreen::ChooserScreen(Context& c) : packs_(catalogue::packs()), look_(new StyledScreen(c.pictures[MenuBackground])) {
    std::size_t shown = 0;
    for (std::size_t i = 0; i < packs_.size(); ++i)
        if (packs_[i].folder == c.session.pack) shown = i;
    showPack(shown, c);
}

void ChooserScreen::showPack(std::size_t index, Context& c) {
    fewest_.reset();  // the last pack's work stops first
    pack_ = index;
    const std::string& folder = packs_[pack_].folder;
    levels_ = catalogue::listLevels(folder);
    records_ = catalogue::records(folder);
    // The level being played is marked; a number not in the list (set in the
    // editor, say) marks no card, and the first page shows.
    mark_ = -1;
    for (std::size_t j = 0; j < levels_.size(); ++j)
        if (folder == c.session.pack && levels_[j].number == c.session.number) mark_ = static_cast<int>(j);
    if (folder != c.session.pack && !levels_.empty()) mark_ = 0;
    shown_.assign(levels_.size(), fewest::kNotKnown);
    std::vector<RuleState> positions;
    for (const ListedLevel& level : levels_) positions.push_back(level.start);
    // The fewest moves fill in while the list shows, the marked level's
    // first; leaving stops the work.
    fewest_.reset(new FewestMovesWork(positions, mark_ >= 0 ? mark_ : 0));
}

int ChooserScreen::firstOnPage() const { return mark_ >= 0 ? mark_ / kPerPage * kPerPage : 0; }

int ChooserScreen::cardAt(int x, int y) const {
    for (int i = 0; i < kPerPage; ++i) {
        const int cx = cardX(i / kRowsPerColumn), cy = cardY(i % kRowsPerColumn);
        const int j = firstOnPage() + i;
        if (j < static_cast<int>(levels_.size()) && x >= cx && x < cx + kCardW && y >= cy && y < cy + kCardH) return j;
    }
    return -1;
}

void ChooserScreen::play(Context& c) {
    if (mark_ < 0 || mark_ >= static_cast<int>(levels_.size())) return;
    c.hear({Cue::Click});
    c.session.loadLevel(LevelRef{pack().folder, levels_[mark_].number});
    c.nav.showOnly(ScreenId::Playing);
}

bool ChooserScreen::solved(int j, Context& c) const {
    if (j < 0 || j >= static_cast<int>(levels_.size()) || !levels_[j].readable) return false;
    const int32_t number = levels_[j].number;
    return records_.count(number) || c.session.winsIn(pack().folder).count(number);
}

void ChooserScreen::watch(bool fewestWay, Context& c) {
    if (!solved(mark_, c)) return;
    const ListedLevel& level = levels_[mark_];
    const LevelRef ref{pack().folder, level.number};
    std::vector<int32_t> moves;
    if (fewestWay) {
        moves = solve(level.start).moves;
    } else {
        // Only a way kept for the level as it is now, and one that still wins it.
        Replay best;
        RuleState end = level.start;
        bool won = false;
        if (!replays::find(packKey(ref.pack), ref.number, best) || best.checksum != catalogue::checksum(ref) ||
            !moveLog::fromText(best.moves, moves) || !moveLog::play(end, moves, nullptr, &won) || !won)
            moves.clear();
    }
    if (moves.empty()) {
        c.hear({Cue::Bump});
        return;
    }
    c.hear({Cue::Click});
    c.nav.push(std::make_unique<WatchingScreen>(level.start, moves, level.number, level.title,
                                                fewestWay ? "The fewest moves" : "Your best"));
}

void ChooserScreen::handle(const input::Event& e, Context& c) {
    const int count = static_cast<int>(levels_.size());
    const bool turn = (e.kind == input::Event::Press && e.scancode == KEY_TAB) ||
                      (e.kind == input::Event::Click && e.x >= kHeadX0 && e.x <= kHeadX1 && e.y >= kHeadY0 && e.y <= kHeadY1);
    if (turn && packs_.size() > 1) {
        c.hear({Cue::Click});
        showPack((pack_ + 1) % packs_.size(), c);
        return;
    }
    if (count == 0) {
        if (e.kind == input::Event::Press && e.scancode == KEY_ESC) c.nav.close();
        return;
    }
    // With no card marked the first page shows, and moves start from its first card.
    const int from = std::max(mark_, 0);
    auto moveTo = [&](int to) {
        mark_ = to;
        c.hear({Cue::Click});
    };
    if (e.kind == input::Event::Click) {
        const int page = from / kPerPage, pages = (count + kPerPage - 1) / kPerPage;
        const int card = cardAt(e.x, e.y);
        if (card >= 0 && card == mark_)
            play(c);
        else if (card >= 0)
            moveTo(card);
        else if (e.y >= kFooterY - 6 && e.y < kFooterY + 14 && e.x < 200 && page > 0)
            moveTo((page - 1) * kPerPage);
        else if (e.y >= kFooterY - 6 && e.y < kFooterY + 14 && e.x >= 440 && page < pages - 1)
            moveTo((page + 1) * kPerPage);
        return;
    }
    if (e.kind != input::Event::Press) return;
    switch (e.scancode) {
    case KEY_ESC: c.nav.close(); break;
    case KEY_UP: moveTo(mark_ < 0 ? count - 1 : (mark_ + count - 1) % count); break;
    case KEY_DOWN: moveTo(mark_ < 0 ? 0 : (mark_ + 1) % count); break;
    case KEY_LEFT: moveTo(std::max(0, from - kRowsPerColumn)); break;
    case KEY_RIGHT: moveTo(std::min(count - 1, from + kRowsPerColumn)); break;
    case KEY_PGUP: moveTo(std::max(0, from - kPerPage)); break;
    case KEY_PGDN: moveTo(std::min(count - 1, from + kPerPage)); break;
    case KEY_HOME: moveTo(0); break;
    case KEY_END: moveTo(count - 1); break;
    case KEY_ENTER:
    case KEY_ENTER_PAD: play(c); break;
    case KEY_W: watch(false, c); break;
    case KEY_F: watch(true, c); break;
    default: break;
    }
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

void ChooserScreen::draw(BITMAP* target, Context& c) {
    look_->backdrop(target);
    const int count = static_cast<int>(levels_.size());
    const int gold = makecol(255, 230, 120), plain = makecol(230, 220, 200), lit = makecol(255, 214, 64);
    const bool several = packs_.size() > 1;
    drawPanel(target, kHeadX0, kHeadY0, kHeadX1, several ? kHeadY1 : kHeadY1 - 8);
    drawOutlinedText(target, "Choose a level", target->w / 2, 14, gold);
    if (several) {
        // Which pack, and that there are others.
        const std::string name = printableByAllegro(cardTitle(pack().title));
        drawOutlinedText(target, name + " (" + std::to_string(pack_ + 1) + " of " + std::to_string(packs_.size()) + ")",
                         target->w / 2, 27, lit);
        drawOutlinedText(target, "Tab: next pack, Enter plays, Escape goes back", target->w / 2, 40, plain);
    } else {
        drawOutlinedText(target, "Enter plays, Escape goes back", target->w / 2, 30, plain);
    }
    if (count == 0) {
        drawLines(target, {{"There are no levels in " + printableByAllegro(pack().folder.empty() ? "the levels folder" : catalogue::folderPath(pack().folder)) + ".", 200, plain}});
        return;
    }
    const int first = firstOnPage();
    for (int i = 0; i < kPerPage && first + i < count; ++i) {
        const int j = first + i, x = cardX(i / kRowsPerColumn), y = cardY(i % kRowsPerColumn);
        drawPanel(target, x, y, x + kCardW - 1, y + kCardH - 1);
        if (j == mark_) {
            rect(target, x - 1, y - 1, x + kCardW, y + kCardH, lit);
            rect(target, x - 2, y - 2, x + kCardW + 1, y + kCardH + 1, lit);
        }
        const int32_t number = levels_[j].number;
        textLeft(target, "Level " + std::to_string(number), x + 12, y + 10, j == mark_ ? lit : gold);
        if (!levels_[j].readable) {
            const std::string path = catalogue::levelPath({pack().folder, number});
            textLeft(target, printableByAllegro(path) + " could not be read", x + 12, y + 26, makecol(255, 150, 120));
            continue;
        }
        const auto record = records_.find(number);
        const int32_t best = record == records_.end() ? -1 : record->second;
        // Made printable whole: a title cut short may end in half a character.
        textLeft(target, printableByAllegro(cardTitle(levels_[j].title)), x + 12, y + 26, plain);
        textLeft(target, cardProgress(best, shown_[j]), x + 12, y + 42,
                 best >= 0 ? makecol(150, 230, 130) : makecol(200, 190, 170));
        if (bestIsFewest(best, shown_[j])) drawFewestMark(target, c.pictures[BoneTile], x + kCardW - 44, y + 6);
    }
    const int page = first / kPerPage + 1, pages = (count + kPerPage - 1) / kPerPage;
    const int dim = makecol(200, 200, 200);
    if (pages > 1) {
        drawOutlinedText(target, "Page " + std::to_string(page) + " of " + std::to_string(pages), target->w / 2,
                         kFooterY, plain);
        if (page > 1) textLeft(target, "< Page Up", 40, kFooterY, dim);
        if (page < pages)
            drawOutlinedText(target, "Page Down >", 600 - text_length(font, "Page Down >") / 2, kFooterY, dim);
    }
    drawOutlinedText(target, "The bone marks a level solved in the fewest moves possible", target->w / 2, 450, dim);
    if (solved(mark_, c)) drawOutlinedText(target, "W watches your best, F the fewest moves", target->w / 2, 462, plain);
}
