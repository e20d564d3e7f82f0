#include "vcl/StdCtrls.h"

#include "rtl/Cp1251.h"
#include "vcl/Clipbrd.h"
#include "vcl/Forms.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
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

bool TEdit::ReadOnly() const {
    return edit_->isReadOnly();
}

void TEdit::SetReadOnly(bool on) {
    edit_->setReadOnly(on);
}

bool TEdit::TabStop() const {
    return edit_->focusPolicy() & Qt::TabFocus;
}

void TEdit::SetTabStop(bool on) {
    edit_->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
}

// ---------------------------------------------------------------- TLabel

TLabel::TLabel(QWidget* parent) : TControl(parent) {}

void TLabel::SetCaption(const AnsiString& caption) {
    caption_ = caption;
    fit();
    update();
}

void TLabel::FontChanged() {
    fit();
    update();
}

void TLabel::SetBounds(int l, int t, int w, int h) {
    designed_ = QRect(l, t, w, h);
    fit();
}

void TLabel::fit() {
    QRect box = designed_;
    const int text = QFontMetrics(Font.ToQFont())
                         .horizontalAdvance(QString::fromStdString(Cp1251ToUtf8(caption_)));
    if (AutoSize && text > box.width()) {
        const int extra = text - box.width();
        box.adjust(-(extra / 2), 0, extra - extra / 2, 0);
    }
    setGeometry(box);
}

void TLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!Transparent)
        p.fillRect(rect(), ToQColor(Color));
    p.setFont(Font.ToQFont());
    p.setPen(ToQColor(Font.Color));
    int align = Qt::AlignTop | Qt::TextSingleLine;
    if (Alignment == taCenter)
        align |= Qt::AlignHCenter;
    else if (Alignment == taRightJustify)
        align |= Qt::AlignRight;
    else
        align |= Qt::AlignLeft;
    p.drawText(rect(), align, QString::fromStdString(Cp1251ToUtf8(caption_)));
}

void TLabel::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        pressed_ = true;
    TControl::mousePressEvent(e);
}

void TLabel::mouseReleaseEvent(QMouseEvent* e) {
    // A click: the left button released over the label it was pressed on.
    const bool click =
        e->button() == Qt::LeftButton && pressed_ && rect().contains(e->position().toPoint());
    if (e->button() == Qt::LeftButton)
        pressed_ = false;
    TControl::mouseReleaseEvent(e);
    if (click && OnClick)
        Application->Guard([this] { OnClick(this); });
}

// ---------------------------------------------------------------- TButton

TButton::TButton(QWidget* parent) : TControl(parent), button_(new QPushButton(this)) {
    button_->setAutoDefault(false);
    QObject::connect(button_, &QPushButton::clicked, [this] {
        if (OnClick)
            Application->Guard([this] { OnClick(this); });
    });
}

void TButton::SetCaption(const AnsiString& caption) {
    caption_ = caption;
    button_->setText(QString::fromStdString(Cp1251ToUtf8(caption)));
}

bool TButton::TabStop() const {
    return button_->focusPolicy() & Qt::TabFocus;
}

void TButton::SetTabStop(bool on) {
    button_->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
}

void TButton::resizeEvent(QResizeEvent* e) {
    button_->setGeometry(rect());
    TControl::resizeEvent(e);
}
