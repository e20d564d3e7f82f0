// Edit fields.
#pragma once

#include "rtl/AnsiString.h"
#include "vcl/Controls.h"
#include "vcl/Graphics.h"

class QLineEdit;
class QPushButton;

// A single-line edit field. Pasting keeps the clipboard text up to its first line break, in
// Windows-1251.
class TEdit : public TControl {
public:
    explicit TEdit(QWidget* parent);

    AnsiString Text() const { return text_; }
    void SetText(const AnsiString& text);
    void Clear() { SetText(AnsiString()); }
    void PasteFromClipboard();
    bool ReadOnly() const;
    void SetReadOnly(bool on);
    // Reached with the Tab key; a field without it still takes the focus when clicked.
    bool TabStop() const;
    void SetTabStop(bool on);

    TNotifyEvent OnChange;

private:
    AnsiString text_;
    QLineEdit* edit_;
};

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// A text label: one line in its own font, on an opaque background in `Color` unless
// Transparent. With AutoSize, a box too narrow for its text widens by the difference, half to
// each side, so a label centred in the layout stays centred in another font.
class TLabel : public TControl {
public:
    explicit TLabel(QWidget* parent);

    AnsiString Caption() const { return caption_; }
    void SetCaption(const AnsiString& caption);
    TFont Font;
    // Call after changing Font, so the label repaints and refits.
    void FontChanged();
    TColor Color = clBtnFace;
    bool Transparent = false;
    bool AutoSize = true;
    TAlignment Alignment = taLeftJustify;
    // The box from the layout; the control's own bounds follow it and the text's width.
    void SetBounds(int l, int t, int w, int h);

    TNotifyEvent OnClick;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void fit();
    AnsiString caption_;
    QRect designed_;
    bool pressed_ = false;
};

// A push button with a caption.
class TButton : public TControl {
public:
    explicit TButton(QWidget* parent);

    AnsiString Caption() const { return caption_; }
    void SetCaption(const AnsiString& caption);
    bool TabStop() const;
    void SetTabStop(bool on);
    QPushButton* Button() const { return button_; }

    TNotifyEvent OnClick;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    AnsiString caption_;
    QPushButton* button_;
};
