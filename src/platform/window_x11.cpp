#include "platform/window_x11.h"

#include <allegro.h>
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <string>

#include "platform/window.h"

namespace window {
namespace x11 {

namespace {

// The window (or the one under it, below a window manager's frame) named `title`.
Window find(Display* d, Window w, const std::string& title, int depth) {
    char* name = nullptr;
    if (XFetchName(d, w, &name) && name) {
        const bool same = title == name;
        XFree(name);
        if (same) return w;
    }
    Window root, parent, *children = nullptr, found = 0;
    unsigned int count = 0;
    if (depth > 0 && XQueryTree(d, w, &root, &parent, &children, &count)) {
        for (unsigned int i = count; i-- > 0 && !found;) found = find(d, children[i], title, depth - 1);
        if (children) XFree(children);
    }
    return found;
}

int ignoreErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

void askFullScreen(bool on) {
    if (!system_driver || system_driver->id != SYSTEM_XWINDOWS) return;
    Display* d = XOpenDisplay(nullptr);
    if (!d) return;
    // Allegro keeps its window to itself; a name no other window has finds it.
    const std::string mark = std::string(kTitle) + " " + std::to_string(getpid());
    set_window_title(mark.c_str());
    XErrorHandler old = XSetErrorHandler(ignoreErrors);  // a window may vanish while searched
    const Window w = find(d, DefaultRootWindow(d), mark, 3);
    set_window_title(kTitle);
    if (w) {
        XEvent e = {};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = XInternAtom(d, "_NET_WM_STATE", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = on ? 1 : 0;  // add, remove
        e.xclient.data.l[1] = static_cast<long>(XInternAtom(d, "_NET_WM_STATE_FULLSCREEN", False));
        e.xclient.data.l[3] = 1;  // asked by a normal application
        XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
        // Without a window manager nothing answers the request: the window is put at the corner itself.
        if (on) XMoveWindow(d, w, 0, 0);
    }
    XSync(d, False);
    XSetErrorHandler(old);
    XCloseDisplay(d);
}

}  // namespace x11
}  // namespace window
