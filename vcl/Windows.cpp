#include "vcl/Windows.h"

#include "rtl/Cp1251.h"
#include "vcl/Forms.h"
#include "vcl/Platform.h"

#include <QApplication>
#include <QBitmap>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QImage>
#include <QMargins>
#include <QRegion>
#include <QThread>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>

HINSTANCE HInstance = nullptr;

namespace {

// Pixel (x, y) belongs to the ellipse inscribed in [l, r) × [t, b) when its centre lies
// inside it.
bool inEllipse(double cx, double cy, double rx, double ry, int x, int y) {
    if (rx <= 0 || ry <= 0)
        return false;
    const double dx = (x + 0.5 - cx) / rx;
    const double dy = (y + 0.5 - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
}

// Builds a region row by row from a span function giving [from, to) for each row.
template <class Span> QRegion rowsRegion(int top, int bottom, Span span) {
    QRegion region;
    for (int y = top; y < bottom; ++y) {
        int from = 0, to = 0;
        span(y, from, to);
        if (to > from)
            region += QRect(from, y, to - from, 1);
    }
    return region;
}

} // namespace

HRGN CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h) {
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    w = std::min(w, x2 - x1);
    h = std::min(h, y2 - y1);
    const double rx = w / 2.0, ry = h / 2.0;
    return new QRegion(rowsRegion(y1, y2, [&](int y, int& from, int& to) {
        from = x1;
        to = x2;
        // Rows in a corner band: the span is cut by the corner ellipses.
        double cy;
        if (y < y1 + ry)
            cy = y1 + ry;
        else if (y >= y2 - ry)
            cy = y2 - ry;
        else
            return;
        const double cxl = x1 + rx, cxr = x2 - rx;
        while (from < cxl && !inEllipse(cxl, cy, rx, ry, from, y))
            ++from;
        while (to > cxr && !inEllipse(cxr, cy, rx, ry, to - 1, y))
            --to;
    }));
}

HRGN CreateEllipticRgn(int x1, int y1, int x2, int y2) {
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    const double cx = (x1 + x2) / 2.0, cy = (y1 + y2) / 2.0;
    const double rx = (x2 - x1) / 2.0, ry = (y2 - y1) / 2.0;
    return new QRegion(rowsRegion(y1, y2, [&](int y, int& from, int& to) {
        from = x1;
        to = x2;
        while (from < to && !inEllipse(cx, cy, rx, ry, from, y))
            ++from;
        while (to > from && !inEllipse(cx, cy, rx, ry, to - 1, y))
            --to;
    }));
}

int SetWindowRgn(HWND wnd, HRGN rgn, BOOL redraw) {
    if (!wnd || !rgn)
        return 0;
    wnd->setMask(*rgn);
    delete rgn;
    if (redraw) {
        // X11: the new shape waits in Qt's request buffer until something flushes it (measured:
        // 46 of 48 animation frames never reached the server without this). A synchronous
        // repaint flushes it with the window's pixels, and handles no timer or input meanwhile.
        if (wnd->isVisible())
            wnd->repaint();
        else
            wnd->update();
    }
    return 1;
}

BOOL ClipCursor(const RECT* rect) {
    // The window that has the mouse: the one under the pointer, or the active one.
    QWidget* grabber = QApplication::widgetAt(QCursor::pos());
    grabber = grabber ? grabber->window() : QApplication::activeWindow();
    if (!rect) {
        vcl::platform().confinePointer(grabber, nullptr);
        return TRUE;
    }
    const QRect r(rect->Left, rect->Top, rect->Width(), rect->Height());
    vcl::platform().confinePointer(grabber, &r);
    return TRUE;
}

BOOL GetCursorPos(POINT* point) {
    const QPoint p = QCursor::pos();
    point->x = p.x();
    point->y = p.y();
    return TRUE;
}

HWND FindWindow(const char* className, const char* title) {
    const QString wantedTitle = QString::fromUtf8(title);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* form = dynamic_cast<TForm*>(w);
        if (form && std::string(form->ClassName()) == className && w->windowTitle() == wantedTitle)
            return w;
    }
    return nullptr;
}

BOOL ShowWindow(HWND wnd, int cmd) {
    if (wnd == Application->Handle()) {
        // Our program has no window of its own for the taskbar button; hiding it means
        // keeping every shown form of ours out of the taskbar.
        if (cmd == SW_HIDE)
            for (QWidget* w : QApplication::topLevelWidgets())
                if (dynamic_cast<TForm*>(w) && w->isVisible() && (w->windowFlags() & Qt::Tool))
                    vcl::platform().prepareToolWindow(w);
        return TRUE;
    }
    if (!wnd)
        return FALSE;
    wnd->setVisible(cmd != SW_HIDE);
    return TRUE;
}

SHORT GetAsyncKeyState(int key) {
    if (key == VK_SNAPSHOT && vcl::platform().printKeyPressed())
        return SHORT(0x8001);
    return 0;
}

void Sleep(unsigned milliseconds) {
    QThread::msleep(milliseconds);
}

HCURSOR LoadCursor(HINSTANCE, const char* name) {
    static std::map<std::string, QCursor> loaded;
    const std::string key(name);
    auto it = loaded.find(key);
    if (it != loaded.end())
        return &it->second;
    QString file;
    if (key == "C")
        file = QStringLiteral(":/cursor_closed.png");
    else if (key == "C1")
        file = QStringLiteral(":/cursor_open.png");
    QImage picture(file);
    if (picture.isNull())
        return nullptr;
    picture = picture.convertToFormat(QImage::Format_ARGB32);
    // Monochrome: a shape bit (black) and a mask bit (drawn) per pixel; bit 1 is black in
    // both, as QBitmap reads them.
    QImage shape(picture.size(), QImage::Format_MonoLSB);
    QImage mask(picture.size(), QImage::Format_MonoLSB);
    shape.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    mask.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb px = picture.pixel(x, y);
            const bool drawn = qAlpha(px) >= 128;
            shape.setPixel(x, y, drawn && qGray(px) < 128 ? 1 : 0);
            mask.setPixel(x, y, drawn ? 1 : 0);
        }
    }
    const QCursor cursor(QBitmap::fromImage(shape), QBitmap::fromImage(mask), 16, 16);
    return &loaded.emplace(key, cursor).first->second;
}

HDC GetDC(HWND wnd) {
    static int screen;
    return wnd ? nullptr : &screen;
}

// ---------------------------------------------------------------- layered windows

namespace {

// The extended style of each window that ever had one set.
std::map<const QWidget*, LONG>& extendedStyles() {
    static std::map<const QWidget*, LONG> styles;
    return styles;
}

LONG extendedStyle(const QWidget* wnd) {
    const auto& styles = extendedStyles();
    const auto it = styles.find(wnd);
    return it == styles.end() ? 0 : it->second;
}

} // namespace

LONG GetWindowLongA(HWND wnd, int index) {
    if (!wnd || index != GWL_EXSTYLE)
        return 0;
    return extendedStyle(wnd);
}

LONG SetWindowLongA(HWND wnd, int index, LONG value) {
    if (!wnd || index != GWL_EXSTYLE)
        return 0;
    auto& styles = extendedStyles();
    const LONG previous = extendedStyle(wnd);
    if (styles.find(wnd) == styles.end())
        QObject::connect(wnd, &QObject::destroyed, [wnd] { extendedStyles().erase(wnd); });
    styles[wnd] = value;
    if ((previous & WS_EX_LAYERED) && !(value & WS_EX_LAYERED)) {
        wnd->setWindowOpacity(1.0);
        vcl::FlushWindowSystem();
    }
    return previous;
}

BOOL SetLayeredWindowAttributes(HWND wnd, std::uint32_t, std::uint8_t alpha, std::uint32_t flags) {
    if (!wnd || !(extendedStyle(wnd) & WS_EX_LAYERED))
        return FALSE;
    if (flags & LWA_ALPHA) {
        // Also for a hidden window: the opacity stays with it and holds when it is shown.
        wnd->setWindowOpacity(alpha / 255.0);
        vcl::FlushWindowSystem();
    }
    return TRUE;
}

HINSTANCE ShellExecuteA(HWND, const char*, const char* file, const char*, const char*, int) {
    const QUrl url(QString::fromStdString(Cp1251ToUtf8(AnsiString(file))));
    const bool opened = url.isValid() && QDesktopServices::openUrl(url);
    // Like the shell's answer: above 32 on success, "file not found" otherwise.
    return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(opened ? 42 : 2));
}

// ---------------------------------------------------------------- window manager

QMargins vcl::FrameExtents(QWidget* window) {
    if (!window || !window->isWindow() || window->windowFlags() & Qt::FramelessWindowHint)
        return QMargins();
    if (window->isVisible() && window->testAttribute(Qt::WA_WState_Created)) {
        const QRect frame = window->frameGeometry();
        const QRect client = window->geometry();
        if (frame != client)
            return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                            frame.right() - client.right(), frame.bottom() - client.bottom());
    }
    return vcl::platform().frameExtents(window);
}

void vcl::FlushWindowSystem() {
    vcl::platform().flush();
}
