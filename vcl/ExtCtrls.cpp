#include "vcl/ExtCtrls.h"

#include "vcl/Forms.h"

#include <QPainter>
#include <QTimer>

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
