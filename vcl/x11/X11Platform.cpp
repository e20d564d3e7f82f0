#include "vcl/x11/X11Platform.h"

#include "vcl/x11/X11Clipboard.h"
#include "vcl/x11/X11Frame.h"
#include "vcl/x11/X11Keyboard.h"
#include "vcl/x11/X11Screen.h"
#include "vcl/x11/X11Window.h"

#include <QGuiApplication>
#include <QWidget>

#include <X11/Xlib.h>

namespace vcl::x11 {

namespace {

// The display Qt is connected to, for connections of our own.
QByteArray displayName() {
    if (qGuiApp)
        if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
            if (Display* dpy = x11->display())
                return QByteArray(DisplayString(dpy));
    return qgetenv("DISPLAY");
}

} // namespace

X11Platform::X11Platform() = default;
X11Platform::~X11Platform() = default;

X11Clipboard& X11Platform::clipboard() {
    if (!clipboard_)
        clipboard_ = std::make_unique<X11Clipboard>(displayName());
    return *clipboard_;
}

X11Window& X11Platform::shell() {
    if (!shell_)
        shell_ = std::make_unique<X11Window>();
    return *shell_;
}

ClipStatus X11Platform::clipboardFormats(ClipFormats& out) {
    return clipboard().formats(out);
}

ClipStatus X11Platform::clipboardText(std::string& utf8, bool& present) {
    return clipboard().text(utf8, present);
}

ClipStatus X11Platform::clipboardPicture(QImage& out, bool& present) {
    return clipboard().picture(out, present);
}

void X11Platform::prepareToolWindow(QWidget* window) {
    shell().prepareToolWindow(window);
}

void X11Platform::confinePointer(QWidget* grabber, const QRect* screenRect) {
    shell().confinePointer(grabber, screenRect);
}

bool X11Platform::printKeyPressed() {
    if (!printKey_)
        printKey_ = std::make_unique<PrintKeyWatcher>();
    return printKey_->pressed();
}

QMargins X11Platform::frameExtents(QWidget* window) {
    return x11::frameExtents(window->winId());
}

void X11Platform::flush() {
    x11::sync();
}

bool X11Platform::grabPrimaryScreen(QImage& out) {
    if (!screen_)
        screen_ = std::make_unique<ScreenGrabber>();
    // The image may share the grabber's buffer (see Platform.h): no copy of 8 MB per capture.
    return screen_->grab(out);
}

} // namespace vcl::x11
