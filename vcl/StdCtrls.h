// Edit fields.
#pragma once

#include "rtl/AnsiString.h"
#include "vcl/Controls.h"

class QLineEdit;

// A single-line edit field. Pasting keeps the clipboard text up to its first line break, in
// Windows-1251.
class TEdit : public TControl {
public:
    explicit TEdit(QWidget* parent);

    AnsiString Text() const { return text_; }
    void SetText(const AnsiString& text);
    void Clear() { SetText(AnsiString()); }
    void PasteFromClipboard();

    TNotifyEvent OnChange;

private:
    AnsiString text_;
    QLineEdit* edit_;
};
