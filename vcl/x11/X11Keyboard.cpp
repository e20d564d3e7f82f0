#include "vcl/x11/X11Keyboard.h"

#include <QSocketNotifier>
#include <set>
#include <utility>
#include <vector>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

namespace vcl::x11 {

struct PrintKeyWatcher::Impl {
    Display* display = nullptr;
    int xiOpcode = -1;
    std::vector<int> printKeycodes;
    std::set<std::pair<int, int>> down; // (source device, keycode) pressed and not released
    bool pressedSinceLast = false;
    std::unique_ptr<QSocketNotifier> notifier;

    bool open();
    void findKeycodes();
    bool isPrint(int keycode) const;
    void drain();
};

bool PrintKeyWatcher::Impl::open() {
    display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    int event = 0, error = 0;
    if (!XQueryExtension(display, "XInputExtension", &xiOpcode, &event, &error))
        return false;
    // Announce 2.2: a client that announces less gets no raw events while another client
    // holds a keyboard grab, so Print would be missed during drags and open menus.
    int major = 2, minor = 2;
    if (XIQueryVersion(display, &major, &minor) != Success || major < 2 ||
        (major == 2 && minor < 2))
        return false;

    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XIEventMask mask;
    mask.deviceid = XIAllMasterDevices;
    mask.mask_len = sizeof bits;
    mask.mask = bits;
    XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
    findKeycodes();
    XSync(display, False);
    return true;
}

void PrintKeyWatcher::Impl::findKeycodes() {
    printKeycodes.clear();
    int minCode = 0, maxCode = 0;
    XDisplayKeycodes(display, &minCode, &maxCode);
    int perCode = 0;
    KeySym* syms = XGetKeyboardMapping(display, static_cast<KeyCode>(minCode),
                                       maxCode - minCode + 1, &perCode);
    if (!syms)
        return;
    for (int code = minCode; code <= maxCode; ++code) {
        for (int i = 0; i < perCode; ++i) {
            if (syms[(code - minCode) * perCode + i] == XK_Print) {
                printKeycodes.push_back(code);
                break;
            }
        }
    }
    XFree(syms);
}

bool PrintKeyWatcher::Impl::isPrint(int keycode) const {
    for (int code : printKeycodes)
        if (code == keycode)
            return true;
    return false;
}

void PrintKeyWatcher::Impl::drain() {
    while (XPending(display) > 0) {
        XEvent ev;
        XNextEvent(display, &ev);
        if (ev.type == MappingNotify) {
            // The keyboard layout changed (setxkbmap, a new keyboard): Print may have moved.
            XRefreshKeyboardMapping(&ev.xmapping);
            findKeycodes();
            continue;
        }
        if (ev.type != GenericEvent || ev.xcookie.extension != xiOpcode)
            continue;
        if (!XGetEventData(display, &ev.xcookie))
            continue;
        const auto* raw = static_cast<const XIRawEvent*>(ev.xcookie.data);
        if (isPrint(raw->detail)) {
            const std::pair<int, int> key(raw->sourceid, raw->detail);
            if (ev.xcookie.evtype == XI_RawKeyPress) {
                down.insert(key);
                pressedSinceLast = true;
            } else if (ev.xcookie.evtype == XI_RawKeyRelease) {
                down.erase(key);
            }
        }
        XFreeEventData(display, &ev.xcookie);
    }
}

PrintKeyWatcher::PrintKeyWatcher() : d(std::make_unique<Impl>()) {
    if (!d->open()) {
        if (d->display)
            XCloseDisplay(d->display);
        d->display = nullptr;
        return;
    }
    d->notifier =
        std::make_unique<QSocketNotifier>(ConnectionNumber(d->display), QSocketNotifier::Read);
    Impl* impl = d.get();
    QObject::connect(d->notifier.get(), &QSocketNotifier::activated, [impl] { impl->drain(); });
}

PrintKeyWatcher::~PrintKeyWatcher() {
    d->notifier.reset();
    if (d->display)
        XCloseDisplay(d->display);
}

bool PrintKeyWatcher::pressed() {
    if (!d->display)
        return false;
    // Events may sit unread in the socket (the loop has not run since) or in Xlib's queue
    // (read by an earlier XPending, where the notifier cannot see them).
    d->drain();
    const bool answer = !d->down.empty() || d->pressedSinceLast;
    d->pressedSinceLast = false;
    return answer;
}

} // namespace vcl::x11
