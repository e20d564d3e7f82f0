#include "vcl/StdCtrls.h"

#include "rtl/Cp1251.h"
#include "vcl/Clipbrd.h"
#include "vcl/Forms.h"

#include <QLineEdit>
#include <QVBoxLayout>

TEdit::TEdit(QWidget* parent) : TControl(parent), edit_(new QLineEdit(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit_);
    QObject::connect(edit_, &QLineEdit::textEdited,
                     [this](const QString& t) { SetText(Utf8ToCp1251(t.toStdString())); });
}

void TEdit::SetText(const AnsiString& text) {
    if (text == text_)
        return;
    text_ = text;
    const QString shown = QString::fromStdString(Cp1251ToUtf8(text));
    if (edit_->text() != shown)
        edit_->setText(shown);
    if (OnChange)
        Application->Guard([this] { OnChange(this); });
}

void TEdit::PasteFromClipboard() {
    std::string text = Clipboard()->TextUtf8();
    const std::size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos)
        text.resize(end);
    SetText(Utf8ToCp1251(text));
}
