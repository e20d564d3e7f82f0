#include "vcl/qt/QtPlatform.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPixmap>
#include <QScreen>

namespace vcl {

namespace {

// The clipboard's data; null when it holds nothing (the offscreen platform gives null
// after clear()).
const QMimeData* clipboardData() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->mimeData(QClipboard::Clipboard) : nullptr;
}

} // namespace

ClipStatus QtPlatform::clipboardFormats(ClipFormats& out) {
    out = ClipFormats();
    if (const QMimeData* data = clipboardData()) {
        out.text = data->hasText();
        out.picture = data->hasImage();
    }
    return ClipStatus::Ok;
}

ClipStatus QtPlatform::clipboardText(std::string& utf8, bool& present) {
    const QMimeData* data = clipboardData();
    present = data && data->hasText();
    utf8 = present ? data->text().toStdString() : std::string();
    return ClipStatus::Ok;
}

ClipStatus QtPlatform::clipboardPicture(QImage& out, bool& present) {
    const QMimeData* data = clipboardData();
    present = data && data->hasImage();
    out = present ? qvariant_cast<QImage>(data->imageData()).convertToFormat(QImage::Format_RGB32)
                  : QImage();
    present = present && !out.isNull();
    return ClipStatus::Ok;
}

void QtPlatform::prepareToolWindow(QWidget*) {}

void QtPlatform::confinePointer(QWidget*, const QRect*) {}

QMargins QtPlatform::frameExtents(QWidget*) {
    return QMargins();
}

void QtPlatform::flush() {}

bool QtPlatform::printKeyPressed() {
    return false;
}

bool QtPlatform::grabPrimaryScreen(QImage& out) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return false;
    out = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    return !out.isNull();
}

} // namespace vcl
