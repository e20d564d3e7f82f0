// Picture lists: equal-sized pictures drawn onto a canvas by index.
#pragma once

#include "vcl/Classes.h"

#include <QImage>
#include <QObject>
#include <vector>

class TCanvas;

class TImageList : public QObject, public TObject {
public:
    explicit TImageList(QObject* owner);

    // The size of every picture in the list.
    int Width = 16;
    int Height = 16;

    // Adds a picture, cut or padded (transparent) to Width × Height; returns its index.
    int Add(const QImage& picture);
    int Count() const { return static_cast<int>(pictures_.size()); }
    // The stored picture; a null image for an index outside the list.
    QImage Picture(int index) const;
    // Draws picture `index` with its top-left corner at (x, y); a disabled picture is drawn
    // greyed. An index outside the list draws nothing.
    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true) const;

private:
    std::vector<QImage> pictures_;
};
