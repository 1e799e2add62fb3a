/* The one duty of a window manager that Wine waits for, and nothing else: it keeps the
 * WM_STATE property of each top-level window (normal once mapped, withdrawn once unmapped).
 * With no window manager on the screen, Wine waits up to 2 s for that property before it
 * hides a window, a wait a PC with Windows never has. The helper places, decorates, focuses
 * and redirects nothing. The benchmark runs it only while a copy is timed, after its last
 * key: with the property present, xdotool's keys reach Wine another way.
 *   wmstate &   (on $DISPLAY; ends when killed or when the X server ends) */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>

static void set_state(Display* display, Atom wm_state, Window window, long state) {
    const long value[2] = {state, None};
    XChangeProperty(display, window, wm_state, wm_state, 32, PropModeReplace,
                    (const unsigned char*)value, 2);
}

static int ignore_errors(Display* display, XErrorEvent* error) {
    (void)display;
    (void)error;
    return 0; /* a window that is gone before its property is set */
}

int main(void) {
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "wmstate: no display\n");
        return 1;
    }
    XSetErrorHandler(ignore_errors);
    const Atom wm_state = XInternAtom(display, "WM_STATE", False);
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    /* The windows on the screen when it starts are normal (one may be waiting to hide). */
    Window parent;
    Window* children = NULL;
    unsigned int count = 0;
    if (XQueryTree(display, root, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, children[i], &attributes) &&
                attributes.map_state == IsViewable && !attributes.override_redirect) {
                set_state(display, wm_state, children[i], NormalState);
            }
        }
        XFree(children);
    }
    XFlush(display);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && !event.xmap.override_redirect) {
            set_state(display, wm_state, event.xmap.window, NormalState);
        } else if (event.type == UnmapNotify) {
            set_state(display, wm_state, event.xunmap.window, WithdrawnState);
        }
        XFlush(display);
    }
}
