#include "screens/help.h"

#include <string>

#include "rules/tiles.h"
#include "screens/dialogs.h"
#include "screens/text.h"
#include "session/session.h"

const RuleSection kRuleSections[6] = {
    {"Sliding and digging",
     "An arrow sends the dog sliding until a rock, the edge or the grass stops her. She digs a tunnel through the "
     "earth as she goes. Each arrow is one move.",
     {"...", "  d", "..."}},
    {"Rocks fall one at a time",
     "A rock over an open tunnel is loose: it shows a crack and crumbs. It falls once the dog leaves the cell "
     "beneath it, and she waits until it lands.",
     {".#.", "  d", "..."}},
    {"The chain up a column",
     "When a rock lands, the next loose rock higher up the same column falls after it, however far above the dog "
     "it hangs.",
     {". .", ".v.", ".o."}},
    {"The grass",
     "The dog stops on the first grass she reaches and walks along it one cell a move. The sky above it is a "
     "wall; digging down breaks the grass.",
     {"^^^", "=D_", ". ."}},
    {"Covering and freeing the bone",
     "A rock falling into the tunnel where the bone lies covers it; on earth the bone holds it up. Dig under it "
     "and it falls on, freeing the bone, but a rock above may cover it again.",
     {". .", ".v.", ".b."}},
    {"Undo and hints",
     "U or Backspace takes back a move, as many as you like; H shows the next move on a way to the bone. A move "
     "that loses the level is told at once. R restarts.",
     {"d  ", "...", ". b"}},
};

namespace {

const int kPanelTop = 8, kHeadingY = 22, kFirstSectionY = 46, kSectionStep = 132;
const int kPictureSide = 72, kTextGap = 10, kLineStep = 11;
const int kLeftColumnX = 24;

// The section's three rows over a scratch board, as the level sources write them.
RuleState sectionBoard(const RuleSection& section) {
    RuleState b;
    for (auto& row : b.board)
        for (uint8_t& cell : row) cell = Dirt;
    b.dogColumn = b.boneColumn = RuleState::boardWidth - 1;
    b.dogRow = b.boneRow = RuleState::boardHeight - 1;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            uint8_t& cell = b.board[row][column];
            switch (section.cells[row][column]) {
            case '^': cell = SkyTop; break;
            case '=': cell = SkyBottom; break;
            case '_': cell = SkyBottomDestroyed; break;
            case '#': cell = Rock; break;
            case 'o': cell = BlackRock; break;
            case ' ': cell = Tunnel; break;
            case 'D': cell = SkyBottom, b.dogColumn = column, b.dogRow = row; break;
            case 'd': cell = Tunnel, b.dogColumn = column, b.dogRow = row; break;
            case 'b': cell = Tunnel, b.boneColumn = column, b.boneRow = row; break;
            case 'v':
                // Half way into the cell, coming from the one above.
                cell = Tunnel;
                b.rockFalling = true;
                b.fallingRockX = column * kCell, b.fallingRockY = row * kCell - kCell / 2;
                break;
            default: break;
            }
        }
    return b;
}

}  // namespace

void HelpScreen::handle(const input::Event& e, Context& c) {
    if (e.kind == input::Event::Click) {
        page_ = (page_ + 1) % kPages;
        return;
    }
    if (e.kind != input::Event::Press) return;
    switch (e.scancode) {
    case KEY_RIGHT:
    case KEY_PGDN: page_ = RulesPage; break;
    case KEY_LEFT:
    case KEY_PGUP: page_ = KeysPage; break;
    case KEY_N:
        if (page_ != RulesPage || notesForgotten_) break;
        notesForgotten_ = true;
        c.session.notes.forgetTold();
        c.preferences.notesTold.clear();
        if (const files::Outcome kept = savePreferences(c.preferences); !kept)
            c.nav.push(std::make_unique<MessageDialog>("The rule notes could not be kept (\"preferences.ini\"): " +
                                                       kept.reason));
        break;
    case KEY_ENTER:
    case KEY_ENTER_PAD:
    case KEY_SPACE:
    case KEY_ESC: c.nav.close(); break;
    default: break;
    }
}

void HelpScreen::draw(BITMAP* target, Context& c) {
    if (page_ == RulesPage) {
        drawRules(target, c);
        return;
    }
    BITMAP* help = c.pictures[HelpBackground];
    clear_to_color(target, makecol(30, 22, 16));
    if (help) blit(help, target, 0, 0, 0, 0, help->w, help->h);
}

void HelpScreen::drawRules(BITMAP* target, Context& c) {
    if (!look_) look_.reset(new StyledScreen(c.pictures[MenuBackground]));
    look_->backdrop(target);
    const int W = target->w, H = target->h;
    drawPanel(target, 12, kPanelTop, W - 13, H - 9);
    const int gold = makecol(255, 230, 120), plain = makecol(230, 220, 200), lit = makecol(255, 214, 64);
    drawOutlinedText(target, "The rules", W / 2, kHeadingY - 8, gold);
    BITMAP* cells = create_bitmap(3 * kCell, 3 * kCell);
    for (int i = 0; i < 6; ++i) {
        const RuleSection& section = kRuleSections[i];
        const int x = kLeftColumnX + (i % 2) * (kRuleColumnWidth + 8), y = kFirstSectionY + (i / 2) * kSectionStep;
        drawOutlinedText(target, section.heading, x + text_length(font, section.heading) / 2, y, gold);
        if (cells) {
            view_.draw(cells, sectionBoard(section), c.pictures, true);
            stretch_blit(cells, target, 0, 0, cells->w, cells->h, x, y + 16, kPictureSide, kPictureSide);
            rect(target, x - 1, y + 15, x + kPictureSide, y + 16 + kPictureSide, makecol(206, 156, 90));
        }
        const int textX = x + kPictureSide + kTextGap;
        int lineY = y + 18;
        for (const std::string& line : wrapText(section.text, kRuleColumnWidth - kPictureSide - kTextGap)) {
            drawOutlinedText(target, line, textX + text_length(font, line.c_str()) / 2, lineY, plain);
            lineY += kLineStep;
        }
    }
    if (cells) destroy_bitmap(cells);
    drawOutlinedText(target,
                     notesForgotten_ ? "The rule notes will be told again as the rules happen."
                                     : "N: tell the rule notes again as the rules happen",
                     W / 2, H - 46, plain);
    drawOutlinedText(target, "Left or a click: the keys.  Escape: the menu.", W / 2, H - 30, lit);
}
