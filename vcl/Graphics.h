// Colours, fonts, brushes, pens, canvases and bitmaps, with the drawing semantics the program
// relies on: Rectangle without a pen fills one column and one row less, LineTo leaves out the
// end point, TextOut paints an opaque cell in the brush colour.
#pragma once

#include "rtl/AnsiString.h"
#include "vcl/Classes.h"

#include <QFont>
#include <QImage>
#include <cstdint>
#include <functional>

class QPainter;
class TClipboard;

// Low byte red, then green, then blue.
using TColor = std::uint32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clGray = 0x808080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clBtnFace = 0xF0F0F0;

QColor ToQColor(TColor c);
TColor FromQColor(const QColor& c);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4 };
using TFontStyles = unsigned;

enum TBrushStyle { bsSolid, bsClear };
enum TPenStyle { psSolid, psClear };

class TFont {
public:
    TColor Color = clBlack;
    TFontStyles Style = 0;
    // Width of the face in percent (100 normal, 87 semi-condensed: DejaVu Sans Condensed).
    int Stretch = 100;

    // Point size at 96 pixels per inch; the face is the system's sans-serif font.
    int Size() const { return size_; }
    void SetSize(int points) { size_ = points; }
    // Height in pixels (negative: character height, as the layouts store it).
    void SetHeight(int pixels) { size_ = (pixels < 0 ? -pixels : pixels) * 72 / 96; }

    QFont ToQFont() const;

private:
    int size_ = 8;
};

class TBrush {
public:
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

class TPen {
public:
    TColor Color = clBlack;
    TPenStyle Style = psSolid;
    int Width = 1;
};

class TBitmap;

// Drawing onto a QImage target. When `TransparentFills` is set (a transparent image), fills
// and text cells clear the pixels instead of painting the brush colour: the brush colour is
// the image's transparent colour, so the background beneath shows through.
class TCanvas {
public:
    TCanvas() = default;
    explicit TCanvas(QImage* target) : target_(target) {}
    virtual ~TCanvas() = default;

    TFont Font;
    TBrush Brush;
    TPen Pen;
    bool TransparentFills = false;

    void FillRect(const TRect& r);
    void TextOut(int x, int y, const AnsiString& text);
    int TextWidth(const AnsiString& text) const;
    int TextHeight(const AnsiString& text) const;
    void Rectangle(int x1, int y1, int x2, int y2);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Draw(int x, int y, const QImage& picture);
    // 1:1 copy from another canvas (a bitmap's or the screen's).
    void CopyRect(const TRect& dest, TCanvas* source, const TRect& src);

    // A device context: here only the screen's (GetDC(NULL)) is ever bound.
    void SetHandle(void* dc) { handle_ = dc; }
    void* Handle() const { return handle_; }

    QImage* Target() const { return target_; }
    void SetTarget(QImage* target) { target_ = target; }
    // Called after each drawing call, so the owner can repaint.
    std::function<void()> OnChange;

private:
    void changed();
    QImage* target_ = nullptr;
    void* handle_ = nullptr;
    int penX_ = 0, penY_ = 0;
};

class TBitmap {
public:
    TBitmap();
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetWidth(int w);
    void SetHeight(int h);
    TCanvas* Canvas() { return &canvas_; }
    bool Empty() const { return image_.isNull(); }

    // Takes the clipboard's picture; throws "Cannot open clipboard" or
    // "Unsupported clipboard format".
    void Assign(TClipboard* clipboard);
    void Assign(const QImage& image);

    const QImage& Image() const { return image_; }
    QImage& Image() { return image_; }

private:
    void resize(int w, int h);
    int width_ = 0, height_ = 0;
    QImage image_;
    TCanvas canvas_;
};
