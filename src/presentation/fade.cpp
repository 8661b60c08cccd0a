#include "shell/game.h"

void fadeIn(BITMAP*, int) {}
void fadeOut(int) {}
