// The window-system backend behind the class-library stand-in. One implementation per
// window system (vcl/x11) plus a Qt-only fallback (vcl/qt) used by the offscreen test platform.
#pragma once

#include <QImage>
#include <QMargins>
#include <QRect>
#include <memory>
#include <string>

class QWidget;

namespace vcl {

// Outcome of a clipboard request. Busy: the owner did not answer within the bound
// (about half a second), or the selection could not be read at all.
enum class ClipStatus { Ok, Busy };

struct ClipFormats {
    bool text = false;    // some text target (UTF8_STRING, STRING, text/plain, ...)
    bool picture = false; // some image/* target (or a bitmap target)
};

class Platform {
public:
    virtual ~Platform() = default;

    // Clipboard. Each call returns within about 500 ms and keeps the GUI thread's event
    // loop running while it waits (repaints, drags and timers go on).
    // Asking for formats never fetches picture data.
    virtual ClipStatus clipboardFormats(ClipFormats& out) = 0;
    // UTF-8 text of the clipboard; `present` false when the clipboard offers no text.
    virtual ClipStatus clipboardText(std::string& utf8, bool& present) = 0;
    // The clipboard's picture; `present` false when the clipboard offers none.
    virtual ClipStatus clipboardPicture(QImage& out, bool& present) = 0;

    // Window shell.
    // Keep a top-level window out of the taskbar and the pager; call before every showing.
    virtual void prepareToolWindow(QWidget* window) = 0;
    // Confine the pointer to `screenRect`, the pixels it may reach (a Windows RECT with its
    // right and bottom edges excluded becomes QRect(left, top, right - left, bottom - top)),
    // while `grabber`'s mouse button is held; nullptr releases it.
    virtual void confinePointer(QWidget* grabber, const QRect* screenRect) = 0;

    // The frame the window manager puts around a top-level window that is not mapped yet
    // (zero when there is none or it cannot tell).
    virtual QMargins frameExtents(QWidget* window) = 0;
    // Sends every buffered window-system request and waits until they are handled, without
    // running the event loop.
    virtual void flush() = 0;

    // Keyboard: is the Print Screen key down now, or was it pressed since the last question?
    virtual bool printKeyPressed() = 0;

    // Screen: the primary screen's pixels in `out` (Format_RGB32). The image may share the
    // backend's buffer: its pixels change at the next grab, so a holder must not read it
    // after that (take a copy to keep them). Returns false when the screen cannot be read.
    virtual bool grabPrimaryScreen(QImage& out) = 0;
};

// The backend for the running Qt platform (xcb → X11, anything else → Qt fallback).
// Created on first use, after the application object exists.
Platform& platform();

// Tests may install their own backend; nullptr restores the default choice.
void setPlatform(std::unique_ptr<Platform> replacement);

} // namespace vcl
