// The Qt-only backend: what Qt offers on any platform, used where there is no X11 (the
// offscreen test platform among them). No pointer confinement, no global key state.
#pragma once

#include "vcl/Platform.h"

namespace vcl {

class QtPlatform : public Platform {
public:
    ClipStatus clipboardFormats(ClipFormats& out) override;
    ClipStatus clipboardText(std::string& utf8, bool& present) override;
    ClipStatus clipboardPicture(QImage& out, bool& present) override;
    void prepareToolWindow(QWidget* window) override;
    void confinePointer(QWidget* grabber, const QRect* screenRect) override;
    QMargins frameExtents(QWidget* window) override;
    void flush() override;
    bool printKeyPressed() override;
    bool grabPrimaryScreen(QImage& out) override;
};

} // namespace vcl
