// Timers and image controls.
#pragma once

#include "vcl/Controls.h"
#include "vcl/Graphics.h"

#include <QObject>

class QTimer;

// A precise timer. Switching on a running timer changes nothing; a new interval restarts a
// running one. Ticks run inside the application's error guard.
class TTimer : public TObject {
public:
    explicit TTimer(QObject* owner);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    int Interval() const { return interval_; }
    void SetInterval(int ms);

    TNotifyEvent OnTimer;

private:
    void update();
    QTimer* timer_;
    bool enabled_ = true;
    int interval_ = 1000;
};

// A picture control. Its canvas draws into a bitmap of the control's size, made at the first
// access. A transparent image shows the controls beneath where nothing but its background
// colour was drawn.
class TImage : public TControl {
public:
    explicit TImage(QWidget* parent);

    TCanvas* Canvas();
    TBitmap* Picture() { return &picture_; }
    void SetPicture(const QImage& image);
    bool AutoSize = false;
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool t);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    TBitmap picture_;
    bool transparent_ = false;
};

enum TShapeType { stRectangle, stRoundRect };

// A drawn figure: the outline in the pen, the inside in the brush (none with bsClear).
// stRoundRect rounds its corners with ellipses a quarter of the shorter side across.
class TShape : public TControl {
public:
    explicit TShape(QWidget* parent);

    TShapeType Shape = stRectangle;
    TPen Pen;
    TBrush Brush;

protected:
    void paintEvent(QPaintEvent* e) override;
};
