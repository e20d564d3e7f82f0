#include "vcl/Controls.h"

#include "rtl/Cp1251.h"
#include "vcl/Forms.h"

#include <QMouseEvent>

namespace {

TShiftState shiftOf(const QMouseEvent* e) {
    TShiftState s = 0;
    const Qt::KeyboardModifiers m = e->modifiers();
    if (m & Qt::ShiftModifier)
        s |= ssShift;
    if (m & Qt::AltModifier)
        s |= ssAlt;
    if (m & Qt::ControlModifier)
        s |= ssCtrl;
    const Qt::MouseButtons b = e->buttons();
    if (b & Qt::LeftButton)
        s |= ssLeft;
    if (b & Qt::RightButton)
        s |= ssRight;
    if (b & Qt::MiddleButton)
        s |= ssMiddle;
    return s;
}

bool buttonOf(const QMouseEvent* e, TMouseButton& out) {
    switch (e->button()) {
    case Qt::LeftButton:
        out = mbLeft;
        return true;
    case Qt::RightButton:
        out = mbRight;
        return true;
    case Qt::MiddleButton:
        out = mbMiddle;
        return true;
    default:
        return false;
    }
}

} // namespace

TControl::TControl(QWidget* parent) : QWidget(parent) {
    // Moves are reported with or without a pressed button.
    setMouseTracking(true);
}

void TControl::SetCursor(TCursor c) {
    cursor_ = c;
    setCursor(Screen->CursorFor(c));
}

void TControl::SetHint(const AnsiString& h) {
    hint_ = h;
    updateToolTip();
}

void TControl::SetShowHint(bool s) {
    showHint_ = s;
    updateToolTip();
}

void TControl::updateToolTip() {
    setToolTip(showHint_ ? QString::fromStdString(Cp1251ToUtf8(hint_)) : QString());
}

void TControl::mousePressEvent(QMouseEvent* e) {
    TMouseButton b;
    if (OnMouseDown && buttonOf(e, b)) {
        const QPoint p = e->position().toPoint();
        Application->Guard([&] { OnMouseDown(this, b, shiftOf(e), p.x(), p.y()); });
    }
    e->accept();
}

void TControl::mouseReleaseEvent(QMouseEvent* e) {
    TMouseButton b;
    if (OnMouseUp && buttonOf(e, b)) {
        const QPoint p = e->position().toPoint();
        Application->Guard([&] { OnMouseUp(this, b, shiftOf(e), p.x(), p.y()); });
    }
    e->accept();
}

void TControl::mouseMoveEvent(QMouseEvent* e) {
    if (OnMouseMove) {
        const QPoint p = e->position().toPoint();
        Application->Guard([&] { OnMouseMove(this, shiftOf(e), p.x(), p.y()); });
    }
    e->accept();
}
