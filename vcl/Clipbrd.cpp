#include "vcl/Clipbrd.h"

#include "rtl/SysUtils.h"
#include "vcl/Platform.h"

namespace {

[[noreturn]] void cannotOpen() {
    throw Exception("Cannot open clipboard");
}

} // namespace

void TClipboard::Open() {
    ++openCount_;
}

void TClipboard::Close() {
    if (openCount_ > 0 && --openCount_ == 0)
        formats_.reset();
}

bool TClipboard::HasFormat(int format) {
    vcl::ClipFormats formats;
    if (openCount_ > 0 && formats_) {
        formats = *formats_;
    } else {
        if (vcl::platform().clipboardFormats(formats) != vcl::ClipStatus::Ok)
            cannotOpen();
        if (openCount_ > 0)
            formats_ = formats;
    }
    switch (format) {
    case CF_TEXT:
        return formats.text;
    case CF_BITMAP:
    case CF_PICTURE:
        return formats.picture;
    default:
        return false;
    }
}

std::string TClipboard::TextUtf8() {
    std::string text;
    bool present = false;
    if (vcl::platform().clipboardText(text, present) != vcl::ClipStatus::Ok || !present)
        return std::string();
    return text;
}

QImage TClipboard::Picture() {
    QImage picture;
    bool present = false;
    if (vcl::platform().clipboardPicture(picture, present) != vcl::ClipStatus::Ok)
        cannotOpen();
    if (!present || picture.isNull())
        throw Exception("Unsupported clipboard format");
    return picture;
}

TClipboard* Clipboard() {
    static TClipboard clipboard;
    return &clipboard;
}
