/* Presses a window's close button as a window manager does (WM_DELETE_WINDOW). Usage: wm_close WINDOW_ID */
#include <X11/Xlib.h>
#include <stdlib.h>

int main(int argc, char **argv) {
    Display *display = argc == 2 ? XOpenDisplay(NULL) : NULL;
    if (!display) return 2;
    XEvent event = {.xclient = {.type = ClientMessage, .window = strtoul(argv[1], NULL, 0), .format = 32}};
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    Status sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XCloseDisplay(display);  /* flushes the event */
    return sent ? 0 : 1;
}
