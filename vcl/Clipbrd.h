// The clipboard object: what the clipboard offers, its text and its picture.
#pragma once

#include "rtl/AnsiString.h"

#include <QImage>
#include <optional>

#include "vcl/Platform.h"

enum TClipboardFormat { CF_TEXT = 1, CF_BITMAP = 2, CF_PICTURE = 0x7F00 };

class TClipboard {
public:
    // Between Open and Close one look at the formats answers every HasFormat: a handler
    // asking several questions waits for a slow owner once and gets one consistent answer.
    void Open();
    void Close();

    // True when the clipboard offers the format. Asks the clipboard once per call and never
    // fetches picture data. Throws "Cannot open clipboard" when the owner does not answer.
    bool HasFormat(int format);
    // The whole clipboard text in UTF-8; empty when there is none or it cannot be read.
    std::string TextUtf8();
    // The clipboard's picture. Throws "Cannot open clipboard" or "Unsupported clipboard format".
    QImage Picture();

private:
    int openCount_ = 0;
    std::optional<vcl::ClipFormats> formats_;
};

TClipboard* Clipboard();
