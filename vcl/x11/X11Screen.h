// A copy of the primary screen's pixels, through MIT-SHM on an X connection of our own.
#pragma once

#include <QImage>
#include <memory>

namespace vcl::x11 {

class ScreenGrabber {
public:
    ScreenGrabber();
    ~ScreenGrabber();
    ScreenGrabber(const ScreenGrabber&) = delete;
    ScreenGrabber& operator=(const ScreenGrabber&) = delete;

    // Copies the primary screen's rectangle into `out` (Format_RGB32). On the fast path `out`
    // wraps the shared-memory segment without a copy: it stays valid only until the next
    // grab() or the grabber's destruction (copy it to keep it longer). Returns false when the
    // screen cannot be read.
    bool grab(QImage& out);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace vcl::x11
