// The clipboard object: what the clipboard offers, its text and its picture.
#pragma once

#include "rtl/AnsiString.h"

#include <QImage>

enum TClipboardFormat { CF_TEXT = 1, CF_BITMAP = 2, CF_PICTURE = 0x7F00 };

class TClipboard {
public:
    // True when the clipboard offers the format. Asks the clipboard once per call and never
    // fetches picture data. Throws "Cannot open clipboard" when the owner does not answer.
    bool HasFormat(int format);
    // The whole clipboard text in UTF-8; empty when there is none or it cannot be read.
    std::string TextUtf8();
    // The clipboard's picture. Throws "Cannot open clipboard" or "Unsupported clipboard format".
    QImage Picture();
};

TClipboard* Clipboard();
