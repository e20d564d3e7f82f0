#include "vcl/Graphics.h"

#include "rtl/Cp1251.h"
#include "rtl/SysUtils.h"
#include "vcl/Clipbrd.h"
#include "vcl/Platform.h"
#include "vcl/Windows.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cstdlib>

namespace {

QString toQString(const AnsiString& text) {
    return QString::fromStdString(Cp1251ToUtf8(text));
}

} // namespace

QColor ToQColor(TColor c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

TColor FromQColor(const QColor& c) {
    return TColor(c.red()) | TColor(c.green()) << 8 | TColor(c.blue()) << 16;
}

QFont TFont::ToQFont() const {
    // The layouts' "MS Sans Serif" is not here: the system's sans-serif face at the same
    // pixel size stands in (points at 96 pixels per inch).
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize((size_ * 96 + 36) / 72);
    f.setStretch(Stretch);
    f.setBold(Style & fsBold);
    f.setItalic(Style & fsItalic);
    f.setUnderline(Style & fsUnderline);
    return f;
}

void TCanvas::changed() {
    if (OnChange)
        OnChange();
}

void TCanvas::FillRect(const TRect& r) {
    if (!target_ || target_->isNull())
        return;
    QPainter p(target_);
    if (TransparentFills) {
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), Qt::transparent);
    } else if (Brush.Style == bsSolid) {
        p.fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), ToQColor(Brush.Color));
    }
    p.end();
    changed();
}

int TCanvas::TextWidth(const AnsiString& text) const {
    return QFontMetrics(Font.ToQFont()).horizontalAdvance(toQString(text));
}

int TCanvas::TextHeight(const AnsiString& text) const {
    (void)text;
    return QFontMetrics(Font.ToQFont()).height();
}

void TCanvas::TextOut(int x, int y, const AnsiString& text) {
    if (!target_ || target_->isNull() || text.IsEmpty())
        return;
    const QFont font = Font.ToQFont();
    const QFontMetrics fm(font);
    const QString s = toQString(text);
    const QRect cell(x, y, fm.horizontalAdvance(s), fm.height());
    QPainter p(target_);
    if (TransparentFills) {
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(cell, Qt::transparent);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    } else if (Brush.Style == bsSolid) {
        p.fillRect(cell, ToQColor(Brush.Color));
    }
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font);
    p.setPen(ToQColor(Font.Color));
    p.drawText(x, y + fm.ascent(), s);
    p.end();
    changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (!target_ || target_->isNull())
        return;
    QPainter p(target_);
    // With a pen the outline runs on the outer pixels x1..x2-1, y1..y2-1 and the fill inside
    // it; without one the fill alone covers x1..x2-2, y1..y2-2: one column and one row less.
    if (Pen.Style == psClear) {
        if (Brush.Style == bsSolid)
            p.fillRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1), ToQColor(Brush.Color));
    } else {
        if (Brush.Style == bsSolid)
            p.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), ToQColor(Brush.Color));
        const QColor pen = ToQColor(Pen.Color);
        p.fillRect(QRect(x1, y1, x2 - x1, 1), pen);
        p.fillRect(QRect(x1, y2 - 1, x2 - x1, 1), pen);
        p.fillRect(QRect(x1, y1, 1, y2 - y1), pen);
        p.fillRect(QRect(x2 - 1, y1, 1, y2 - y1), pen);
    }
    p.end();
    changed();
}

void TCanvas::MoveTo(int x, int y) {
    penX_ = x;
    penY_ = y;
}

void TCanvas::LineTo(int x, int y) {
    if (target_ && !target_->isNull() && Pen.Style != psClear) {
        QPainter p(target_);
        const QColor pen = ToQColor(Pen.Color);
        // Only the horizontal and vertical lines the program draws; the end point is left out.
        if (y == penY_) {
            const int len = std::abs(x - penX_);
            p.fillRect(QRect(x > penX_ ? penX_ : x + 1, y, len, Pen.Width), pen);
        } else if (x == penX_) {
            const int len = std::abs(y - penY_);
            p.fillRect(QRect(x, y > penY_ ? penY_ : y + 1, Pen.Width, len), pen);
        } else {
            p.setPen(QPen(pen, Pen.Width));
            p.drawLine(penX_, penY_, x, y);
        }
        p.end();
        changed();
    }
    penX_ = x;
    penY_ = y;
}

void TCanvas::Draw(int x, int y, const QImage& picture) {
    if (!target_ || target_->isNull() || picture.isNull())
        return;
    QPainter p(target_);
    p.drawImage(x, y, picture);
    p.end();
    changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& src) {
    if (!target_ || !source)
        return;
    QImage grabbed;
    const QImage* from = source->Target();
    if (source->Handle() == GetDC(nullptr)) {
        // A capture that silently came out blank would be a lost capture.
        if (!vcl::platform().grabPrimaryScreen(grabbed))
            throw Exception("Cannot copy the screen");
        from = &grabbed;
        // The usual case, the whole screen into a bitmap of its size: take the pixels as they
        // are, without a copy.
        if (dest.Left == 0 && dest.Top == 0 && src.Left == 0 && src.Top == 0 &&
            dest.Width() == src.Width() && dest.Height() == src.Height() &&
            grabbed.width() == src.Width() && grabbed.height() == src.Height() &&
            target_->width() == dest.Width() && target_->height() == dest.Height()) {
            *target_ = grabbed;
            changed();
            return;
        }
    }
    if (!from || from->isNull() || target_->isNull())
        return;
    QPainter p(target_);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QRect(dest.Left, dest.Top, dest.Width(), dest.Height()), *from,
                QRect(src.Left, src.Top, src.Width(), src.Height()));
    p.end();
    changed();
}

TBitmap::TBitmap() : canvas_(&image_) {}
TBitmap::~TBitmap() = default;

void TBitmap::resize(int w, int h) {
    width_ = w;
    height_ = h;
    if (w == image_.width() && h == image_.height())
        return;
    // A fresh image: the old pixels are not kept (nothing here relies on them), and the old
    // one may share memory with a screen copy.
    if (w <= 0 || h <= 0)
        image_ = QImage();
    else
        image_ = QImage(w, h, QImage::Format_RGB32);
    if (!image_.isNull())
        image_.fill(Qt::white);
}

void TBitmap::SetWidth(int w) {
    resize(w, height_);
}

void TBitmap::SetHeight(int h) {
    resize(width_, h);
}

void TBitmap::Assign(const QImage& image) {
    image_ = image;
    width_ = image.width();
    height_ = image.height();
    canvas_.SetTarget(&image_);
}

void TBitmap::Assign(TClipboard* clipboard) {
    Assign(clipboard->Picture());
}
