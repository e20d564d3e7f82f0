#include "vcl/ImgList.h"

#include "vcl/Graphics.h"

#include <QPainter>

TImageList::TImageList(QObject* owner) : QObject(owner) {}

int TImageList::Add(const QImage& picture) {
    QImage slot(Width, Height, QImage::Format_ARGB32_Premultiplied);
    slot.fill(Qt::transparent);
    QPainter p(&slot);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, picture);
    p.end();
    pictures_.push_back(slot);
    return Count() - 1;
}

QImage TImageList::Picture(int index) const {
    if (index < 0 || index >= Count())
        return QImage();
    return pictures_[static_cast<std::size_t>(index)];
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) const {
    if (!canvas || index < 0 || index >= Count())
        return;
    QImage picture = pictures_[static_cast<std::size_t>(index)];
    if (!enabled) {
        // Greyed: the grey level of each pixel, lifted halfway to white, alpha kept.
        picture = picture.convertToFormat(QImage::Format_ARGB32);
        for (int py = 0; py < picture.height(); ++py) {
            auto* line = reinterpret_cast<QRgb*>(picture.scanLine(py));
            for (int px = 0; px < picture.width(); ++px) {
                const int g = (qGray(line[px]) + 255) / 2;
                line[px] = qRgba(g, g, g, qAlpha(line[px]));
            }
        }
    }
    canvas->Draw(x, y, picture);
}
