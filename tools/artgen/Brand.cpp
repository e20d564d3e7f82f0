// The name pictures: the About dialog's logo and the tray menu's side band.
#include "tools/artgen/Artgen.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace artgen {
namespace {

QPainterPath textPath(const QString& text, const QFont& font) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    return path;
}

} // namespace

QImage renderLogo() {
    QImage image(100, 35, QImage::Format_RGB32);
    image.fill(Qt::white);
    QFont font("DejaVu Sans");
    font.setBold(true);
    font.setPixelSize(25);
    font.setLetterSpacing(QFont::AbsoluteSpacing, -0.6);
    QPainterPath path = textPath(QStringLiteral("Quibra"), font);
    const QRectF box = path.boundingRect();
    // Centre the word; the tail of the Q may hang lower than the baseline.
    path.translate(50 - box.center().x(), 17.5 - box.center().y());
    const QRectF r = path.boundingRect();

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Soft shadow, kept clear of the lower-left pixel that marks the transparent colour.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 30, 90, 50));
    p.drawPath(path.translated(1.2, 1.4));
    QLinearGradient body(0, r.top(), 0, r.bottom());
    body.setColorAt(0, QColor(120, 184, 255));
    body.setColorAt(0.48, QColor(30, 110, 230));
    body.setColorAt(0.52, QColor(10, 74, 196));
    body.setColorAt(1, QColor(20, 110, 220));
    p.setBrush(body);
    p.setPen(QPen(QColor(8, 36, 110), 1.0));
    p.drawPath(path);
    // Gloss: a light band over the upper half of the letters.
    p.save();
    p.setClipPath(path);
    QLinearGradient gloss(0, r.top(), 0, r.top() + r.height() * 0.5);
    gloss.setColorAt(0, QColor(255, 255, 255, 190));
    gloss.setColorAt(1, QColor(255, 255, 255, 30));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawRect(QRectF(r.left() - 2, r.top() - 2, r.width() + 4, r.height() * 0.5 + 2));
    p.restore();
    p.end();
    image.setPixel(0, image.height() - 1, qRgb(255, 255, 255));
    return image;
}

QImage renderBand() {
    QImage image(20, 100, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, 100);
    sky.setColorAt(0, QColor(255, 255, 255));
    sky.setColorAt(1, QColor(9, 184, 249));
    p.fillRect(image.rect(), sky);
    p.setRenderHint(QPainter::Antialiasing);

    QFont font("DejaVu Sans");
    font.setBold(true);
    font.setPixelSize(14);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.0);
    QPainterPath path = textPath(QStringLiteral("QUIBRA"), font);
    const QRectF box = path.boundingRect();
    path.translate(-box.center().x(), -box.center().y());
    // A quarter turn counter-clockwise: the word reads from the bottom of the band upwards.
    p.translate(10, 56);
    p.rotate(-90);
    p.setPen(QPen(QColor(112, 116, 124), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(path);
    return image;
}

} // namespace artgen
