#include "screens/look.h"

#include <algorithm>

#include "platform/window.h"

namespace {

const int kGardenOpacity = 96;  // of 255: the garden stays recognisable behind the text
const int kBoardOpacity = 120;  // the screen a question was asked over
const int kPanelOpacity = 220;
const int kPadX = 14, kPadY = 9;
const int kNarrowestPanel = 288;

std::vector<DrawnBox>* recorded = nullptr;

int earth() { return makecol(30, 22, 16); }

// The menu's garden at low opacity over dark earth; the earth alone when the
// picture is missing, so the screen is never a black void.
void paintBackdrop(BITMAP* into, BITMAP* garden) {
    clear_to_color(into, earth());
    if (!garden) return;
    set_trans_blender(0, 0, 0, kGardenOpacity);
    draw_trans_sprite(into, garden, 0, 0);
}

}  // namespace

void recordLayout(std::vector<DrawnBox>* into) { recorded = into; }

void drawOutlinedText(BITMAP* target, const std::string& text, int x, int y, int colour) {
    if (recorded) {
        const int left = x - text_length(font, text.c_str()) / 2;
        recorded->push_back({false, left - 1, y - 1, left + text_length(font, text.c_str()), y + text_height(font), text});
    }
    const int luma = (30 * getr(colour) + 59 * getg(colour) + 11 * getb(colour)) / 100;
    const int outline = luma < 100 ? makecol(236, 220, 190) : makecol(16, 10, 6);
    const char* s = text.c_str();
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (dx || dy) textout_centre_ex(target, font, s, x + dx, y + dy, outline, -1);
    textout_centre_ex(target, font, s, x, y, colour, -1);
}

void drawPanel(BITMAP* t, int x0, int y0, int x1, int y1) {
    if (recorded) recorded->push_back({true, x0, y0, x1, y1, ""});
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    set_trans_blender(0, 0, 0, kPanelOpacity);
    rectfill(t, x0, y0, x1, y1, makecol(36, 24, 14));
    solid_mode();
    rect(t, x0, y0, x1, y1, makecol(92, 60, 32));
    rect(t, x0 + 1, y0 + 1, x1 - 1, y1 - 1, makecol(206, 156, 90));
}

void drawLines(BITMAP* into, const std::vector<StyledLine>& lines) {
    if (lines.empty()) return;
    const int middle = into->w / 2;
    int left = middle - kNarrowestPanel / 2, right = middle + kNarrowestPanel / 2;
    int top = lines.front().y, bottom = top;
    for (const StyledLine& l : lines) {
        const int x = l.x < 0 ? middle : l.x;
        const int half = text_length(font, l.text.c_str()) / 2;
        left = std::min(left, x - half);
        right = std::max(right, x + half);
        top = std::min(top, l.y);
        bottom = std::max(bottom, l.y + text_height(font));
    }
    drawPanel(into, std::max(2, left - kPadX), std::max(0, top - kPadY), std::min(into->w - 3, right + kPadX),
              std::min(into->h - 1, bottom + kPadY));
    for (const StyledLine& l : lines) drawOutlinedText(into, l.text, l.x < 0 ? middle : l.x, l.y, l.colour);
}

void dimBeneath(BITMAP* target) {
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    set_trans_blender(0, 0, 0, 255 - kBoardOpacity);
    rectfill(target, 0, 0, target->w - 1, target->h - 1, earth());
    solid_mode();
}

StyledScreen::StyledScreen(BITMAP* garden)
    : backdrop_(create_bitmap(window::kWidth, window::kHeight)), garden_(garden) {
    if (backdrop_) paintBackdrop(backdrop_, garden_);
}

StyledScreen::~StyledScreen() {
    if (backdrop_) destroy_bitmap(backdrop_);
}

void StyledScreen::backdrop(BITMAP* target) const {
    if (backdrop_)
        blit(backdrop_, target, 0, 0, 0, 0, backdrop_->w, backdrop_->h);
    else
        paintBackdrop(target, garden_);
}

void StyledScreen::show(BITMAP* target, const std::vector<StyledLine>& lines) const {
    if (!target) return;
    backdrop(target);
    drawLines(target, lines);
}
