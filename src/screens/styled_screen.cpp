#include "screens/styled_screen.h"

#include <algorithm>

namespace {

const int kMenuPicture = 251;
const int kGardenOpacity = 96;   // of 255: the garden stays recognisable behind the text
const int kBoardOpacity = 120;   // the board a question was asked over
const int kPanelOpacity = 220;
const int kPadX = 14, kPadY = 9;
const int kNarrowestPanel = 288;

int earth() { return makecol(30, 22, 16); }

// The menu's garden at low opacity over dark earth; the earth alone when the
// picture is missing, so the screen is never a black void.
void paintBackdrop(BITMAP* into, BITMAP* garden, int opacity) {
    clear_to_color(into, earth());
    if (!garden) return;
    set_trans_blender(0, 0, 0, opacity);
    draw_trans_sprite(into, garden, 0, 0);
}

// A dark translucent board with the two-tone wooden edge of the menu buttons.
void paintPanel(BITMAP* t, int x0, int y0, int x1, int y1) {
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    set_trans_blender(0, 0, 0, kPanelOpacity);
    rectfill(t, x0, y0, x1, y1, makecol(36, 24, 14));
    solid_mode();
    rect(t, x0, y0, x1, y1, makecol(92, 60, 32));
    rect(t, x0 + 1, y0 + 1, x1 - 1, y1 - 1, makecol(206, 156, 90));
}

}  // namespace

void drawOutlinedText(BITMAP* target, const std::string& text, int x, int y, int colour) {
    // Dark letters (the red of the restart question) get a light outline.
    const int luma = (30 * getr(colour) + 59 * getg(colour) + 11 * getb(colour)) / 100;
    const int outline = luma < 100 ? makecol(236, 220, 190) : makecol(16, 10, 6);
    const char* s = text.c_str();
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (dx || dy) textout_centre_ex(target, font, s, x + dx, y + dy, outline, -1);
    textout_centre_ex(target, font, s, x, y, colour, -1);
}

StyledScreen::StyledScreen(const Game& game) : StyledScreen(game, nullptr) {}

StyledScreen::StyledScreen(const Game& game, BITMAP* picture)
    : backdrop_(create_bitmap(SCREEN_W, SCREEN_H)),
      frame_(create_bitmap(SCREEN_W, SCREEN_H)),
      garden_(picture ? picture : game.tileImages[kMenuPicture]),
      opacity_(picture ? kBoardOpacity : kGardenOpacity) {
    if (backdrop_) paintBackdrop(backdrop_, garden_, opacity_);
}

StyledScreen::~StyledScreen() {
    if (backdrop_) destroy_bitmap(backdrop_);
    if (frame_) destroy_bitmap(frame_);
}

void StyledScreen::show(BITMAP* target, const std::vector<StyledLine>& lines) const {
    if (!target) return;
    BITMAP* into = frame_ ? frame_ : target;
    if (backdrop_)
        blit(backdrop_, into, 0, 0, 0, 0, backdrop_->w, backdrop_->h);
    else
        paintBackdrop(into, garden_, opacity_);

    const int middle = into->w / 2;
    if (!lines.empty()) {
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
        paintPanel(into, std::max(2, left - kPadX), std::max(0, top - kPadY),
                   std::min(into->w - 3, right + kPadX), std::min(into->h - 1, bottom + kPadY));
        for (const StyledLine& l : lines) drawOutlinedText(into, l.text, l.x < 0 ? middle : l.x, l.y, l.colour);
    }
    if (into != target) blit(into, target, 0, 0, 0, 0, into->w, into->h);
}
