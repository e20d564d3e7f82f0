#include "vcl/x11/X11Window.h"

#include <QGuiApplication>
#include <QWidget>

#include <algorithm>
#include <vector>

// Xlib last: its macros (None, Bool, Status, ...) clash with Qt's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace vcl::x11 {

namespace {

// Qt's own Xlib display: window properties and grabs must come from the connection that owns
// the windows, in order with Qt's own requests.
Display* qtDisplay() {
    if (!qGuiApp)
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

constexpr long kNetWmStateAdd = 1;
constexpr long kSourceApplication = 1;

} // namespace

X11Window::X11Window() = default;

X11Window::~X11Window() {
    Display* dpy = qtDisplay();
    if (!dpy || !confineWindow_)
        return;
    if (grabbed_)
        XUngrabPointer(dpy, CurrentTime);
    XDestroyWindow(dpy, confineWindow_);
    XFlush(dpy);
}

// X11: Qt::Tool gives a utility window but no skip-taskbar state. Qt merges the atoms already
// in _NET_WM_STATE with its own when it maps the window, so setting them before the showing
// keeps them; a window manager reads them at map time.
void X11Window::prepareToolWindow(QWidget* widget) {
    Display* dpy = qtDisplay();
    if (!dpy || !widget)
        return;
    const Window win = widget->window()->winId();
    if (!win)
        return;
    char* names[] = {const_cast<char*>("_NET_WM_STATE"),
                     const_cast<char*>("_NET_WM_STATE_SKIP_TASKBAR"),
                     const_cast<char*>("_NET_WM_STATE_SKIP_PAGER")};
    Atom atoms[3];
    XInternAtoms(dpy, names, 3, False, atoms);
    const Atom netWmState = atoms[0];

    std::vector<Atom> states;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, win, netWmState, 0, 1024, False, XA_ATOM, &type, &format, &count,
                           &after, &data) == Success &&
        data) {
        if (type == XA_ATOM && format == 32) {
            const auto* list = reinterpret_cast<const Atom*>(data);
            states.assign(list, list + count);
        }
        XFree(data);
    }
    for (Atom wanted : {atoms[1], atoms[2]})
        if (std::find(states.begin(), states.end(), wanted) == states.end())
            states.push_back(wanted);
    XChangeProperty(dpy, win, netWmState, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(states.data()), int(states.size()));

    // On a mapped window the state belongs to the window manager: ask it.
    XWindowAttributes attrs{};
    if (XGetWindowAttributes(dpy, win, &attrs) && attrs.map_state != IsUnmapped) {
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = win;
        ev.xclient.message_type = netWmState;
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = kNetWmStateAdd;
        ev.xclient.data.l[1] = long(atoms[1]);
        ev.xclient.data.l[2] = long(atoms[2]);
        ev.xclient.data.l[3] = kSourceApplication;
        XSendEvent(dpy, DefaultRootWindow(dpy), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    }
    XFlush(dpy);
}

// An active grab confined to an input-only window that covers the rectangle. owner_events is
// off, so every pointer event goes to the grabbing top-level window and Qt keeps delivering
// moves and the release to the pressed widget.
void X11Window::confinePointer(QWidget* grabber, const QRect* rect) {
    Display* dpy = qtDisplay();
    if (!dpy)
        return;
    if (!grabber || !rect) {
        if (grabbed_)
            XUngrabPointer(dpy, CurrentTime);
        grabbed_ = false;
        if (confineWindow_)
            XUnmapWindow(dpy, confineWindow_);
        XFlush(dpy);
        return;
    }
    const Window target = grabber->window()->winId();
    if (!target)
        return;
    // The rectangle holds exactly the pixels the pointer may reach.
    const int width = std::max(1, rect->width());
    const int height = std::max(1, rect->height());
    if (!confineWindow_) {
        XSetWindowAttributes attrs{};
        attrs.override_redirect = True;
        confineWindow_ = XCreateWindow(dpy, DefaultRootWindow(dpy), rect->left(), rect->top(),
                                       unsigned(width), unsigned(height), 0, 0, InputOnly,
                                       CopyFromParent, CWOverrideRedirect, &attrs);
    }
    XMoveResizeWindow(dpy, confineWindow_, rect->left(), rect->top(), unsigned(width),
                      unsigned(height));
    // confine_to must be viewable; at the bottom of the stack it takes no input from anyone.
    XMapWindow(dpy, confineWindow_);
    XLowerWindow(dpy, confineWindow_);
    auto grab = [&] {
        return XGrabPointer(dpy, target, False,
                            ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                            GrabModeAsync, confineWindow_, 0, CurrentTime);
    };
    int status = grab();
    if (status == AlreadyGrabbed) {
        // The press that starts a drag leaves an implicit XInput2 grab of ours on the pointer,
        // and the server refuses a core grab over a grab of another kind. Ending our own grab
        // first lets the confining one take its place (another client's grab stays).
        XUngrabPointer(dpy, CurrentTime);
        status = grab();
    }
    grabbed_ = status == GrabSuccess;
    if (!grabbed_)
        XUnmapWindow(dpy, confineWindow_);
    XFlush(dpy);
}

} // namespace vcl::x11
