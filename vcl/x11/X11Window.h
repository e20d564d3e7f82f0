// Window-shell calls on Qt's own X connection: taskbar state and pointer confinement.
#pragma once

#include <QRect>

class QWidget;

namespace vcl::x11 {

class X11Window {
public:
    X11Window();
    ~X11Window();
    X11Window(const X11Window&) = delete;
    X11Window& operator=(const X11Window&) = delete;

    // Adds _NET_WM_STATE_SKIP_TASKBAR and _NET_WM_STATE_SKIP_PAGER to the window's state.
    void prepareToolWindow(QWidget* window);
    // Confines the pointer to `rect` (right and bottom edges excluded) through an active grab
    // of `grabber`'s top-level window; nullptr releases the grab.
    void confinePointer(QWidget* grabber, const QRect* rect);

private:
    unsigned long confineWindow_ = 0; // the input-only window the grab is confined to
    bool grabbed_ = false;
};

} // namespace vcl::x11
