// The CLIPBOARD selection, read on an X connection of our own in a worker thread.
#pragma once

#include "vcl/Platform.h"

#include <QByteArray>
#include <QImage>
#include <memory>
#include <string>

namespace vcl::x11 {

// Each call posts one request to the worker and waits for its answer in a nested event loop,
// so the GUI thread keeps repainting, dragging and firing timers. An owner that makes no
// progress for about half a second gives ClipStatus::Busy; the worker gives the request up at
// the same bound, so a stopped owner never wedges it.
class X11Clipboard {
public:
    // `displayName`: the display Qt is connected to (the worker opens its own connection).
    explicit X11Clipboard(const QByteArray& displayName);
    ~X11Clipboard();
    X11Clipboard(const X11Clipboard&) = delete;
    X11Clipboard& operator=(const X11Clipboard&) = delete;

    // Asks for TARGETS only; never fetches picture data.
    ClipStatus formats(ClipFormats& out);
    // The whole text, UTF-8 (Latin-1 STRING and COMPOUND_TEXT converted).
    ClipStatus text(std::string& utf8, bool& present);
    // PNG or BMP through Qt's readers, JPEG through libjpeg; Format_RGB32.
    ClipStatus picture(QImage& out, bool& present);

private:
    struct Request;
    ClipStatus run(const std::shared_ptr<Request>& request);

    struct Worker;
    std::unique_ptr<Worker> worker_;
};

} // namespace vcl::x11
