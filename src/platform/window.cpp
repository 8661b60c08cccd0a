#include "platform/window.h"

namespace window {

void present(BITMAP* picture) {
    if (!picture || !screen) return;
    acquire_screen();
    blit(picture, screen, 0, 0, 0, 0, picture->w, picture->h);
    release_screen();
}

}  // namespace window
