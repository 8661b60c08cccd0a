#include "screens/editor.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

#include "rules/background_task.h"
#include "rules/level_check.h"
#include "rules/solver.h"
#include "rules/tiles.h"
#include "screens/dialogs.h"
#include "screens/look.h"
#include "screens/text.h"
#include "session/session.h"
#include "storage/level.h"

namespace {

// How long the save note stays on screen, and how long a check runs before
// it says that it is working.
const unsigned long kNoteMs = 3000;
const unsigned long kMomentMs = 300;

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

// V: the solver works on the board on a thread of its own while this shows
// (after a moment) that it is working; Escape stops it. The answer replaces
// it as a message.
class CheckDialog : public Screen {
public:
    explicit CheckDialog(const RuleState& board) : position_(board) {
        // No thread to be had: the check runs here, at the first update.
        onThisThread_ = !task_.start([this](const std::atomic<bool>& cancelled) {
            SolveLimits limits;
            limits.cancel = &cancelled;
            result_ = solve(position_, limits);
        });
    }
    ~CheckDialog() override {
        task_.cancel();
        task_.join();
    }
    void handle(const input::Event& e, Context& c) override {
        if (e.kind == input::Event::Press && e.scancode == KEY_ESC) {
            task_.cancel();
            c.nav.close();
        }
    }
    bool update(const input::Held&, unsigned long nowMs, Context& c) override {
        if (startedMs_ == 0) startedMs_ = nowMs;
        if (onThisThread_) {
            result_ = solve(position_);
        } else if (!task_.finished()) {
            const bool show = !shown_ && nowMs - startedMs_ >= kMomentMs;
            shown_ |= show;
            return show;
        }
        c.nav.close();
        c.nav.push(std::make_unique<MessageDialog>(levelCheckText(result_)));
        return true;
    }
    void draw(BITMAP* target, Context&) override {
        if (!shown_) return;
        dimBeneath(target);
        drawLines(target, {{"Checking whether the level can be won...", target->h / 2 - 12, makecol(255, 255, 255)},
                           {"Escape stops the check", target->h / 2 + 4, makecol(200, 200, 200)}});
    }
    bool covers() const override { return false; }
    bool animating(const Context&) const override { return true; }

private:
    const RuleState position_;
    SolveResult result_;  // written by the task, read once it has finished
    unsigned long startedMs_ = 0;
    bool shown_ = false, onThisThread_ = false;
    BackgroundTask task_;
};

}  // namespace

int nextBrush(int b, int stepping) {
    b += stepping;
    if (b < 0) return DogTile;
    if (b > 255) return BlackRock;
    if (b >= 3 && b <= 15) return stepping > 0 ? Dirt : SkyTop;
    if (b == 18) return stepping > 0 ? SkyBottom : Tunnel;
    if (b == 20) return stepping > 0 ? SkyBottomDestroyed : SkyBottom;
    if (b >= 22 && b <= 253) return stepping > 0 ? BoneTile : SkyBottomDestroyed;
    return b;
}

int32_t levelNumberFromText(const std::string& text) {
    errno = 0;
    long value = std::strtol(text.c_str(), nullptr, 10);
    if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return 0;
    return static_cast<int32_t>(value);
}

const char* const kEditorKeysText = "E clear  N number  T title  V check  S save  L load  Esc menu";

std::string editorCaption(int32_t number, const std::string& title, int32_t boardFile, int width,
                          const std::string& brush) {
    // A board is the level its number names only once loaded from or saved to that file.
    const std::string head =
        (boardFile != 0 && boardFile == number ? "Editing level #" : "New level #") + std::to_string(number);
    const std::string tail = brush.empty() ? std::string() : " - brush: " + brush;
    if (title.empty()) return printableByAllegro(head + tail);
    return withTitleFitted(head + ": \"", title, "\"" + tail, width);
}

void EditorScreen::saved(Context& c) {
    std::string reason;
    const std::string path = c.session.filePath();
    const bool ok = c.session.save(reason);
    note_ = ok ? "Saved " + path : "Could not save " + path + ": " + reason;
    // A failure stays until the player acts: a few seconds are easily missed.
    noteUntil_ = ok ? now_ + kNoteMs : ULONG_MAX;
}

void EditorScreen::save(Context& c) {
    // A file that holds another board is replaced only when the player says so.
    if (!c.session.saveNeedsQuestion()) {
        saved(c);
        return;
    }
    c.nav.push(std::make_unique<QuestionDialog>("Replace " + c.session.filePath() + "? (Y/N)",
                                                [this](bool yes, Context& c) {
                                                    if (yes) saved(c);
                                                }));
}

bool EditorScreen::paintAt(int x, int y, Context& c) {
    // Division truncates toward zero, so a pixel just left of or above the
    // board would land in column or row 0 without this check.
    if (x < 0 || y < 0) return false;
    return c.session.paint(x / kCell, y / kCell, brush_);
}

void EditorScreen::handle(const input::Event& e, Context& c) {
    Session& s = c.session;
    if ((e.kind == input::Event::Click || e.kind == input::Event::Press) && noteUntil_ == ULONG_MAX) note_.clear();
    if (e.kind == input::Event::Move) {
        pointerX_ = e.x, pointerY_ = e.y;
        return;
    }
    if (e.kind == input::Event::Click) {
        pointerX_ = e.x, pointerY_ = e.y;
        painting_ = true;
        paintAt(e.x, e.y, c);
        return;
    }
    if (e.kind != input::Event::Press) return;
    switch (e.scancode) {
    case KEY_LEFT:
    case KEY_RIGHT: brush_ = nextBrush(brush_, e.scancode == KEY_LEFT ? -1 : 1); break;
    case KEY_ESC: c.nav.showOnly(ScreenId::Menu); break;
    case KEY_S: save(c); break;
    case KEY_L:
        // A file play refuses is no level to edit either: the board stays.
        if (!s.reload()) note_ = s.unreadableText(), noteUntil_ = ULONG_MAX;
        break;
    case KEY_E: s.blankBoard(); break;
    case KEY_V: c.nav.push(std::make_unique<CheckDialog>(s.boardToCheck())); break;
    case KEY_F1: keysShown_ = !keysShown_; break;
    case KEY_T:
        c.nav.push(std::make_unique<PromptDialog>(
            "Enter the new level title:", s.title,
            [](const std::string& title, Context& c) {
                if (title.empty())
                    c.nav.push(std::make_unique<MessageDialog>("Previous level name used."));
                else
                    c.session.setTitle(title);
            },
            kLongestTitle));
        break;
    case KEY_N:
        c.nav.push(
            std::make_unique<PromptDialog>("Enter the new level #:", "", [](const std::string& text, Context& c) {
                const int32_t n = levelNumberFromText(text);
                if (n == 0)
                    c.nav.push(std::make_unique<MessageDialog>("Invalid level # input"));
                else
                    c.session.setNumber(n);
            }));
        break;
    default: break;
    }
}

bool EditorScreen::update(const input::Held& held, unsigned long nowMs, Context& c) {
    now_ = nowMs;
    bool changed = false;
    if (!note_.empty() && nowMs >= noteUntil_) {
        note_.clear();
        changed = true;
    }
    // The pointer's moves come as events; one that leaves the window hides the cell's outline.
    if (held.inside && (held.x != pointerX_ || held.y != pointerY_))
        pointerX_ = held.x, pointerY_ = held.y, changed = true;
    else if (!held.inside && wasInside_)
        pointerX_ = pointerY_ = -1, changed = true;
    wasInside_ = held.inside;
    // Held down, the button paints wherever the pointer goes.
    painting_ = painting_ && held.button;
    if (painting_) changed |= paintAt(held.x, held.y, c);
    return changed;
}

void EditorScreen::draw(BITMAP* target, Context& c) {
    const Session& s = c.session;
    view_.draw(target, s.rules, c.pictures, false);
    // A long title is cut so that the number and the brush stay in view.
    const std::string caption = editorCaption(s.number, s.title, s.boardFile, target->w - 16, brushName(brush_));
    drawOutlinedText(target, caption, target->w / 2, 12, makecol(255, 255, 255));
    drawPointerCell(target, c);
    int foot = target->h - 12;
    if (keysShown_) {
        drawPanel(target, 2, foot - 6, target->w - 3, target->h - 1);
        drawOutlinedText(target, kEditorKeysText, target->w / 2, foot, makecol(230, 220, 200));
        foot -= 20;
    }
    if (!note_.empty())
        drawOutlinedText(target, printableByAllegro(note_), target->w / 2, foot, makecol(255, 230, 140));
}

void EditorScreen::drawPointerCell(BITMAP* target, const Context& c) const {
    if (pointerX_ < 0 || pointerY_ < 0) return;
    const int column = pointerX_ / kCell, row = pointerY_ / kCell;
    if (!c.session.rules.onBoard(column, row)) return;
    // The cell a click paints, outlined light on dark so it shows on any tile.
    const int x0 = column * kCell, y0 = row * kCell;
    rect(target, x0, y0, x0 + kCell - 1, y0 + kCell - 1, makecol(16, 10, 6));
    rect(target, x0 + 1, y0 + 1, x0 + kCell - 2, y0 + kCell - 2, makecol(255, 240, 160));
    // The brush beside that cell, on the right (on the left at the board's
    // right edge), smaller, in a frame: the cell itself stays in sight.
    const int size = kCell * 3 / 4;
    int bx = x0 + kCell + 3;
    if (bx + size + 2 > target->w) bx = x0 - size - 3;
    const int by = std::min(std::max(2, pointerY_ - size / 2), target->h - size - 3);
    drawPanel(target, bx - 2, by - 2, bx + size + 1, by + size + 1);
    // The dirt picture is all mask colour; its marker stands in for it.
    if (BITMAP* brush = c.pictures[brush_ == Dirt ? DirtMarker : brush_])
        stretch_sprite(target, brush, bx, by, size, size);
}
