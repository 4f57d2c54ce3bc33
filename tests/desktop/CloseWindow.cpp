// velquor_close_window WINDOW-ID
//
// Asks an X11 top-level window to close, the way a window manager's close button does:
// a WM_DELETE_WINDOW message in WM_PROTOCOLS, sent only if the window announces that it
// understands it. Exit status 0 when the request was delivered, 1 when the window does
// not take it or does not exist, 2 on a usage error or without an X display.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

int lastXError = 0;

int recordXError(Display* display, XErrorEvent* event) {
    lastXError = event->error_code;
    char text[128] = {};
    XGetErrorText(display, event->error_code, text, sizeof text);
    std::fprintf(stderr, "velquor_close_window: X error: %s\n", text);
    return 0;
}

bool takesDeleteRequests(Display* display, Window window, Atom deleteWindow) {
    Atom* protocols = nullptr;
    int count = 0;
    if (XGetWMProtocols(display, window, &protocols, &count) == 0)
        return false;
    bool found = false;
    for (int i = 0; i < count; ++i)
        found = found || protocols[i] == deleteWindow;
    XFree(protocols);
    return found;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: velquor_close_window WINDOW-ID\n");
        return 2;
    }
    char* end = nullptr;
    errno = 0;
    const unsigned long id = std::strtoul(argv[1], &end, 0);
    if (errno != 0 || end == argv[1] || *end != '\0' || id == 0) {
        std::fprintf(stderr, "velquor_close_window: not a window id: %s\n", argv[1]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "velquor_close_window: cannot open the X display\n");
        return 2;
    }
    XSetErrorHandler(recordXError);

    const Window window = static_cast<Window>(id);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    if (!takesDeleteRequests(display, window, deleteWindow) || lastXError != 0) {
        std::fprintf(stderr, "velquor_close_window: window 0x%lx does not take WM_DELETE_WINDOW\n",
                     id);
        XCloseDisplay(display);
        return 1;
    }

    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    if (sent == 0 || lastXError != 0) {
        std::fprintf(stderr, "velquor_close_window: could not send to window 0x%lx\n", id);
        return 1;
    }
    return 0;
}
