#include "vcl/ExtCtrls.h"

#include "vcl/Forms.h"

#include <QPainter>
#include <QTimer>
#include <algorithm>

TTimer::TTimer(QObject* owner) : timer_(new QTimer(owner)) {
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_, &QTimer::timeout, [this] {
        if (OnTimer)
            Application->Guard([this] { OnTimer(this); });
    });
    update();
}

TTimer::~TTimer() {
    timer_->stop();
}

void TTimer::update() {
    if (enabled_ && interval_ > 0)
        timer_->start(interval_);
    else
        timer_->stop();
}

void TTimer::SetEnabled(bool on) {
    if (on == enabled_)
        return;
    enabled_ = on;
    update();
}

void TTimer::SetInterval(int ms) {
    if (ms == interval_)
        return;
    interval_ = ms;
    update();
}

TImage::TImage(QWidget* parent) : TControl(parent) {
    picture_.Canvas()->OnChange = [this] { update(); };
}

TCanvas* TImage::Canvas() {
    if (picture_.Empty()) {
        picture_.Assign(
            QImage(width(), height(),
                   transparent_ ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32));
        picture_.Image().fill(transparent_ ? QColor(Qt::transparent) : QColor(Qt::white));
        picture_.Canvas()->TransparentFills = transparent_;
    }
    return picture_.Canvas();
}

void TImage::SetPicture(const QImage& image) {
    picture_.Assign(image);
    if (AutoSize && !image.isNull())
        resize(image.size());
    update();
}

void TImage::SetTransparent(bool t) {
    transparent_ = t;
    picture_.Canvas()->TransparentFills = t;
    update();
}

void TImage::paintEvent(QPaintEvent*) {
    if (picture_.Empty())
        return;
    QPainter p(this);
    p.drawImage(0, 0, picture_.Image());
}

TShape::TShape(QWidget* parent) : TControl(parent) {}

void TShape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // Aliased, as the window system draws shapes: a one-pixel pen covers the outermost
    // columns and rows of the control.
    const int inset = Pen.Width / 2;
    const QRect box(inset, inset, width() - Pen.Width, height() - Pen.Width);
    if (Pen.Style == psClear)
        p.setPen(Qt::NoPen);
    else
        p.setPen(QPen(ToQColor(Pen.Color), std::max(1, Pen.Width)));
    if (Brush.Style == bsClear)
        p.setBrush(Qt::NoBrush);
    else
        p.setBrush(ToQColor(Brush.Color));
    if (Shape == stRoundRect) {
        const qreal radius = std::min(width(), height()) / 4 / 2.0;
        p.drawRoundedRect(box, radius, radius);
    } else {
        p.drawRect(box);
    }
}
