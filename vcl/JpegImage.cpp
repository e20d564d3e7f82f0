#include "vcl/JpegImage.h"

#include "vcl/Graphics.h"
#include "vcl/Jpeg.h"

void TJPEGImage::Assign(TBitmap* bitmap) {
    pixels_ = bitmap ? bitmap->Image() : QImage();
}

void TJPEGImage::SaveToFile(const AnsiString& fileName) {
    vcl::writeJpegFile(pixels_, fileName.str());
}
