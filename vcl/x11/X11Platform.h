// The X11 backend: clipboard, window shell, Print key and screen, each set up on first use.
#pragma once

#include "vcl/Platform.h"

#include <memory>

namespace vcl::x11 {

class X11Clipboard;
class X11Window;
class PrintKeyWatcher;
class ScreenGrabber;

class X11Platform : public Platform {
public:
    X11Platform();
    ~X11Platform() override;

    ClipStatus clipboardFormats(ClipFormats& out) override;
    ClipStatus clipboardText(std::string& utf8, bool& present) override;
    ClipStatus clipboardPicture(QImage& out, bool& present) override;

    void prepareToolWindow(QWidget* window) override;
    void confinePointer(QWidget* grabber, const QRect* screenRect) override;
    QMargins frameExtents(QWidget* window) override;
    void flush() override;

    bool printKeyPressed() override;
    bool grabPrimaryScreen(QImage& out) override;

private:
    X11Clipboard& clipboard();
    X11Window& shell();

    std::unique_ptr<X11Clipboard> clipboard_;
    std::unique_ptr<X11Window> shell_;
    std::unique_ptr<PrintKeyWatcher> printKey_;
    std::unique_ptr<ScreenGrabber> screen_;
};

} // namespace vcl::x11
