#include "vcl/Platform.h"

#include "vcl/qt/QtPlatform.h"
#include "vcl/x11/X11Platform.h"

#include <QGuiApplication>

namespace vcl {

namespace {

std::unique_ptr<Platform>& current() {
    static std::unique_ptr<Platform> backend;
    return backend;
}

} // namespace

Platform& platform() {
    auto& backend = current();
    if (!backend) {
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            backend = std::make_unique<x11::X11Platform>();
        else
            backend = std::make_unique<QtPlatform>();
    }
    return *backend;
}

void setPlatform(std::unique_ptr<Platform> replacement) {
    current() = std::move(replacement);
}

} // namespace vcl
