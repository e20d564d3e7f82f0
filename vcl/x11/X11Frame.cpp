#include "vcl/x11/X11Frame.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>

#include <algorithm>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

Display* display() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

// `count` 32-bit items of a property of type `type`.
bool readProperty(Display* d, Window w, Atom property, Atom type, unsigned long* out, long count) {
    Atom actualType = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, property, 0, count, False, type, &actualType, &format, &items,
                           &after, &data) != Success)
        return false;
    const bool ok =
        actualType == type && format == 32 && items == static_cast<unsigned long>(count);
    if (ok) {
        // Xlib hands 32-bit items over as longs.
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        std::copy(values, values + count, out);
    }
    if (data)
        XFree(data);
    return ok;
}

bool windowManagerSupports(Display* d, Atom wanted) {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, DefaultRootWindow(d), XInternAtom(d, "_NET_SUPPORTED", False), 0,
                           4096, False, XA_ATOM, &type, &format, &items, &after, &data) != Success)
        return false;
    bool found = false;
    if (type == XA_ATOM && format == 32) {
        const auto* atoms = reinterpret_cast<const unsigned long*>(data);
        found = std::find(atoms, atoms + items, wanted) != atoms + items;
    }
    if (data)
        XFree(data);
    return found;
}

} // namespace

bool vcl::x11::available() {
    return display() != nullptr;
}

QMargins vcl::x11::frameExtents(WId window) {
    Display* d = display();
    if (!d)
        return QMargins();
    const Window w = static_cast<Window>(window);
    const Atom extents = XInternAtom(d, "_NET_FRAME_EXTENTS", False);
    unsigned long v[4] = {0, 0, 0, 0}; // left, right, top, bottom
    const auto margins = [&v] { return QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3])); };
    if (readProperty(d, w, extents, XA_CARDINAL, v, 4))
        return margins();
    // A window not yet mapped has no frame; the window manager estimates it on request.
    const Atom request = XInternAtom(d, "_NET_REQUEST_FRAME_EXTENTS", False);
    if (!windowManagerSupports(d, request))
        return QMargins();
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = w;
    message.xclient.message_type = request;
    message.xclient.format = 32;
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &message);
    XFlush(d);
    // The answer is the property set on the window. A window manager that announces the
    // request but does not answer costs a quarter of a second.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 250) {
        if (readProperty(d, w, extents, XA_CARDINAL, v, 4))
            return margins();
        QThread::msleep(2);
    }
    return QMargins();
}

void vcl::x11::sync() {
    // A change such as a window's opacity waits in the connection's output buffer until the
    // event loop next runs; a round trip sends it and lets the server apply it now.
    if (Display* d = display())
        XSync(d, False);
}
