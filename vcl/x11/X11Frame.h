// The window manager's frame and flushing requests, on the X11 connection Qt opened.
#pragma once

#include <QMargins>
#include <QWindow>

namespace vcl::x11 {

// The program runs on X11 (Qt's xcb platform).
bool available();

// The frame the window manager puts around `window` (left, top, right, bottom): the
// _NET_FRAME_EXTENTS it set, or for a window not yet mapped its estimate, asked for with
// _NET_REQUEST_FRAME_EXTENTS and awaited for at most a quarter of a second. Zero when no
// window manager answers.
QMargins frameExtents(WId window);

// Sends every buffered request and waits until the server has handled them.
void sync();

} // namespace vcl::x11
