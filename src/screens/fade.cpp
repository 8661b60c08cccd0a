// Fades through black, drawn straight on the screen and paced by the
// vertical retrace. Speed is the change of opacity per frame (0..255 scale).
#include "app/game.h"

namespace {

const int kDefaultSpeed = 16;

int usableSpeed(int speed) { return speed <= 0 ? kDefaultSpeed : speed; }

// One frame: the picture at the given opacity over black.
void composeFrame(BITMAP* frame, BITMAP* picture, int opacity) {
    clear_bitmap(frame);
    set_trans_blender(0, 0, 0, opacity);
    draw_trans_sprite(frame, picture, 0, 0);
}

}  // namespace

void fadeIn(BITMAP* image, int speed) {
    if (!image) return;
    speed = usableSpeed(speed);
    if (BITMAP* work = create_bitmap(SCREEN_W, SCREEN_H)) {
        // long: a huge speed must not wrap the opacity round to a small value
        for (long opacity = 0; opacity < 256; opacity += speed) {
            composeFrame(work, image, static_cast<int>(opacity));
            vsync();
            blit(work, screen, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
        }
        destroy_bitmap(work);
    }
    // Always end on the full picture, even when no frame could be drawn.
    blit(image, screen, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
}

void fadeOut(int speed) {
    speed = usableSpeed(speed);
    BITMAP* snapshot = create_bitmap(SCREEN_W, SCREEN_H);
    BITMAP* work = snapshot ? create_bitmap(SCREEN_W, SCREEN_H) : nullptr;
    if (snapshot && work) {
        blit(screen, snapshot, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
        // Neither full brightness nor black is a frame of its own.
        for (long opacity = 255L - speed; opacity > 0; opacity -= speed) {
            composeFrame(work, snapshot, static_cast<int>(opacity));
            vsync();
            blit(work, screen, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
        }
    }
    if (work) destroy_bitmap(work);
    if (snapshot) destroy_bitmap(snapshot);
    // Always end black.
    rectfill(screen, 0, 0, SCREEN_W, SCREEN_H, makecol(0, 0, 0));
}
