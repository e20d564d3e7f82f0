#include "vcl/ComCtrls.h"

#include "rtl/SysUtils.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QToolButton>
#include <algorithm>

namespace {

// A slider that draws the track bar's tick marks itself: Qt's styles draw them only at whole
// intervals from the minimum, the track bar also marks the maximum.
class TickedSlider : public QSlider {
public:
    TickedSlider(TTrackBar* owner, QWidget* parent)
        : QSlider(Qt::Horizontal, parent), owner_(owner) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QStyleOptionSlider opt;
        initStyleOption(&opt);
        opt.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
        style()->drawComplexControl(QStyle::CC_Slider, &opt, &p, this);
        if (tickPosition() == NoTicks)
            return;
        const QRect handle =
            style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, this);
        const int len = handle.width();
        const int available = width() - len;
        p.setPen(palette().color(QPalette::WindowText));
        const bool below = tickPosition() & TicksBelow;
        const bool above = tickPosition() & TicksAbove;
        for (int v : owner_->TickValues()) {
            const int x =
                QStyle::sliderPositionFromValue(minimum(), maximum(), v, available) + len / 2;
            if (below)
                p.drawLine(x, height() - 4, x, height() - 2);
            if (above)
                p.drawLine(x, 1, x, 3);
        }
    }

private:
    TTrackBar* owner_;
};

} // namespace

// ---------------------------------------------------------------- TTrackBar

TTrackBar::TTrackBar(QWidget* parent) : TControl(parent), slider_(new TickedSlider(this, this)) {
    slider_->setRange(min_, max_);
    slider_->setPageStep(5);
    SetTickMarks(tickMarks_);
    SetThumbLength(thumbLength_);
    QObject::connect(slider_, &QSlider::valueChanged, [this](int) {
        if (OnChange)
            Application->Guard([this] { OnChange(this); });
    });
}

void TTrackBar::resizeEvent(QResizeEvent* e) {
    slider_->setGeometry(rect());
    TControl::resizeEvent(e);
}

int TTrackBar::Position() const {
    return slider_->value();
}

void TTrackBar::SetRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    slider_->setRange(min_, max_);
    slider_->update();
}

void TTrackBar::SetPosition(int v) {
    // The slider clamps to its range and reports only a real change.
    slider_->setValue(v);
}

void TTrackBar::SetFrequency(int f) {
    frequency_ = f;
    slider_->setTickInterval(std::max(1, f));
    slider_->update();
}

void TTrackBar::SetTickMarks(TTickMark t) {
    tickMarks_ = t;
    SetTickStyle(tickStyle_);
}

void TTrackBar::SetTickStyle(TTickStyle t) {
    tickStyle_ = t;
    if (t == tsNone)
        slider_->setTickPosition(QSlider::NoTicks);
    else if (tickMarks_ == tmBottomRight)
        slider_->setTickPosition(QSlider::TicksBelow);
    else if (tickMarks_ == tmTopLeft)
        slider_->setTickPosition(QSlider::TicksAbove);
    else
        slider_->setTickPosition(QSlider::TicksBothSides);
}

void TTrackBar::SetThumbLength(int length) {
    thumbLength_ = length;
    slider_->update();
}

std::vector<int> TTrackBar::TickValues() const {
    std::vector<int> values;
    if (tickStyle_ != tsAuto)
        return values;
    for (int v = min_; v < max_; v += std::max(1, frequency_))
        values.push_back(v);
    values.push_back(max_);
    return values;
}

bool TTrackBar::TabStop() const {
    return slider_->focusPolicy() & Qt::TabFocus;
}

void TTrackBar::SetTabStop(bool on) {
    slider_->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
}

// ---------------------------------------------------------------- TUpDown

TUpDown::TUpDown(QWidget* parent)
    : TControl(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setIconSize(QSize(7, 4));
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    QObject::connect(up_, &QToolButton::clicked, [this] { Step(+1); });
    QObject::connect(down_, &QToolButton::clicked, [this] { Step(-1); });
}

void TUpDown::resizeEvent(QResizeEvent* e) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
    TControl::resizeEvent(e);
}

void TUpDown::SetPosition(std::int16_t v) {
    position_ = static_cast<std::int16_t>(std::clamp<int>(v, min_, max_));
    updateAssociate();
}

void TUpDown::Step(int direction) {
    int next = position_ + direction;
    if (next > max_)
        next = Wrap ? min_ : max_;
    else if (next < min_)
        next = Wrap ? max_ : min_;
    position_ = static_cast<std::int16_t>(next);
    updateAssociate();
}

void TUpDown::SetAssociate(TEdit* edit) {
    if (watchedEdit_)
        watchedEdit_->removeEventFilter(this);
    associate_ = edit;
    watchedEdit_ = nullptr;
    if (!edit)
        return;
    // The keys go to the line edit inside the field.
    QLineEdit* line = edit->findChild<QLineEdit*>();
    watchedEdit_ = line ? static_cast<QObject*>(line) : edit;
    watchedEdit_->installEventFilter(this);
    updateAssociate();
}

void TUpDown::updateAssociate() {
    if (associate_)
        associate_->SetText(IntToStr(position_));
}

bool TUpDown::eventFilter(QObject* watched, QEvent* e) {
    if (watched == watchedEdit_ && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return TControl::eventFilter(watched, e);
}

bool TUpDown::TabStop() const {
    return focusPolicy() & Qt::TabFocus;
}

void TUpDown::SetTabStop(bool on) {
    setFocusPolicy(on ? Qt::TabFocus : Qt::NoFocus);
}
