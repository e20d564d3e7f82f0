// The JPEG picture: takes a bitmap and writes it as a baseline quality-90 JPEG file.
#pragma once

#include "rtl/AnsiString.h"

#include <QImage>

class TBitmap;

class TJPEGImage {
public:
    // Keeps the bitmap's pixels (shared, not copied) and drops any earlier picture.
    void Assign(TBitmap* bitmap);
    // The file is complete or absent; throws EFCreateError or EWriteError naming it.
    void SaveToFile(const AnsiString& fileName);

    int Width() const { return pixels_.width(); }
    int Height() const { return pixels_.height(); }

private:
    QImage pixels_;
};
