// The base of every visible control: position, size, visibility, cursor, hint and the mouse
// events, each dispatched inside the application's error guard.
#pragma once

#include "rtl/AnsiString.h"
#include "vcl/Classes.h"

#include <QWidget>

class TControl : public QWidget, public TObject {
public:
    explicit TControl(QWidget* parent = nullptr);

    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const { return width(); }
    int Height() const { return height(); }
    void SetLeft(int v) { move(v, y()); }
    void SetTop(int v) { move(x(), v); }
    void SetBounds(int l, int t, int w, int h) { setGeometry(l, t, w, h); }
    bool Visible() const { return isVisible(); }
    void SetVisible(bool v) { setVisible(v); }

    // A cursor number: crDefault, crHandPoint or a slot of Screen->Cursors.
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor c);

    AnsiString Hint() const { return hint_; }
    void SetHint(const AnsiString& h);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool s);

    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    void updateToolTip();
    TCursor cursor_ = crDefault;
    AnsiString hint_;
    bool showHint_ = false;
};
