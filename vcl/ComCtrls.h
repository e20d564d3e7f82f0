// The common controls of the settings dialog: the track bar and the up-down control.
#pragma once

#include "vcl/Controls.h"

#include <cstdint>
#include <vector>

class QSlider;
class QToolButton;
class TEdit;

enum TTrackBarOrientation { trHorizontal, trVertical };
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };
enum TTickStyle { tsNone, tsAuto, tsManual };

// A horizontal slider. Setting a new position, or the user moving the thumb, fires OnChange.
// With tsAuto, tick marks stand at Min, every Frequency from Min on, and at Max.
class TTrackBar : public TControl {
public:
    explicit TTrackBar(QWidget* parent);

    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const;
    void SetMin(int v) { SetRange(v, max_); }
    void SetMax(int v) { SetRange(min_, v); }
    void SetRange(int min, int max);
    void SetPosition(int v);
    int Frequency() const { return frequency_; }
    void SetFrequency(int f);
    TTickMark TickMarks() const { return tickMarks_; }
    void SetTickMarks(TTickMark t);
    TTickStyle TickStyle() const { return tickStyle_; }
    void SetTickStyle(TTickStyle t);
    int ThumbLength() const { return thumbLength_; }
    void SetThumbLength(int length);
    bool TabStop() const;
    void SetTabStop(bool on);
    // Values where tick marks are drawn, smallest first.
    std::vector<int> TickValues() const;

    QSlider* Slider() const { return slider_; }

    TNotifyEvent OnChange;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    QSlider* slider_;
    int min_ = 0, max_ = 10;
    int frequency_ = 1;
    TTickMark tickMarks_ = tmBottomRight;
    TTickStyle tickStyle_ = tsAuto;
    int thumbLength_ = 20;
};

// A pair of arrow buttons that steps a 16-bit position between Min and Max and writes it as a
// plain decimal number into its associated edit field (which fires the field's OnChange). The
// Up and Down keys step it too while the edit field has the focus. With Wrap, stepping past one
// end continues at the other.
class TUpDown : public TControl {
public:
    explicit TUpDown(QWidget* parent);

    int Min() const { return min_; }
    int Max() const { return max_; }
    void SetMin(int v) { min_ = v; }
    void SetMax(int v) { max_ = v; }
    std::int16_t Position() const { return position_; }
    void SetPosition(std::int16_t v);
    bool Wrap = false;
    TEdit* Associate() const { return associate_; }
    void SetAssociate(TEdit* edit);
    bool TabStop() const;
    void SetTabStop(bool on);

    // One click of the up (+1) or down (-1) arrow.
    void Step(int direction);

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void updateAssociate();
    QToolButton* up_;
    QToolButton* down_;
    TEdit* associate_ = nullptr;
    QObject* watchedEdit_ = nullptr;
    int min_ = 0, max_ = 100;
    std::int16_t position_ = 0;
};
