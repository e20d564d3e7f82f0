// The few window-system calls the program makes, with the effects it relies on.
#pragma once

#include "vcl/Classes.h"

#include <QCursor>
#include <cstdint>

class QWidget;
class QRegion;
class QMargins;

using HWND = QWidget*;
using HRGN = QRegion*;
using HCURSOR = const QCursor*;
using HINSTANCE = void*;
using HDC = void*;
using BOOL = int;
using SHORT = std::int16_t;
using LONG = std::int32_t;
using RECT = TRect;
using POINT = TPoint;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
constexpr int VK_SNAPSHOT = 0x2C;
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int GWL_EXSTYLE = -20;
constexpr LONG WS_EX_LAYERED = 0x80000;
constexpr std::uint32_t LWA_ALPHA = 2;

extern HINSTANCE HInstance;

// A rounded rectangle (right and bottom edges excluded) with corner ellipses w × h.
HRGN CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h);
// An ellipse in the box; a box given with its edges out of order stands for the ordered one.
HRGN CreateEllipticRgn(int x1, int y1, int x2, int y2);
// The window owns the region from now on.
int SetWindowRgn(HWND wnd, HRGN rgn, BOOL redraw);

// Confines the pointer to the rectangle while the window that has the mouse holds it;
// nullptr frees it.
BOOL ClipCursor(const RECT* rect);
BOOL GetCursorPos(POINT* point);
// Our own top-level window with that class name and title, or nullptr.
HWND FindWindow(const char* className, const char* title);
BOOL ShowWindow(HWND wnd, int cmd);
// Nonzero when the key is down now or was pressed since the last question.
SHORT GetAsyncKeyState(int key);
void Sleep(unsigned milliseconds);
// "C" (closed hand) and "C1" (open hand) from the program's resources.
HCURSOR LoadCursor(HINSTANCE instance, const char* name);
// Only the screen's context, GetDC(NULL), exists here.
HDC GetDC(HWND wnd);

// GWL_EXSTYLE only: the extended style is kept here per window, 0 until set. Removing
// WS_EX_LAYERED makes the window opaque again.
LONG GetWindowLongA(HWND wnd, int index);
LONG SetWindowLongA(HWND wnd, int index, LONG value);
// LWA_ALPHA on a layered window: its opacity becomes alpha / 255 at once (also while hidden).
// Fails on a window without WS_EX_LAYERED.
BOOL SetLayeredWindowAttributes(HWND wnd, std::uint32_t key, std::uint8_t alpha,
                                std::uint32_t flags);
// Opens `file` (a "mailto:" link, say) with the desktop's program for it. Returns a value
// above 32 on success, 2 when nothing could open it.
HINSTANCE ShellExecuteA(HWND wnd, const char* verb, const char* file, const char* parameters,
                        const char* directory, int show);

namespace vcl {

// The window manager's frame around a top-level window (left, top, right, bottom). For a
// window not yet shown, the window manager's estimate where it gives one; zero without a
// window manager, for frameless windows and on platforms without one.
QMargins FrameExtents(QWidget* window);

// Sends what the program asked of the window system so far, so that it takes effect now and
// not at the next return to the event loop.
void FlushWindowSystem();

} // namespace vcl
