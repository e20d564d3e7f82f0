// The main icon: a flat-panel monitor on a stand, turned slightly to the right, its screen full
// of windows and charts. Sizes from 48 up are drawn from one perspective design; 16, 24 and 32
// get a pixel-aligned front view of their own, since perspective only blurs at that scale.
#include "tools/artgen/Artgen.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QTransform>
#include <cmath>

namespace artgen {
namespace {

const QColor kTitleColours[3] = {QColor(40, 110, 220), QColor(30, 160, 80), QColor(235, 120, 20)};
const QColor kChart[4] = {QColor(232, 56, 56), QColor(252, 186, 32), QColor(56, 184, 88),
                          QColor(52, 120, 236)};

// The screen's own content, in a flat 160 x 100 space.
void drawScreen(QPainter& p) {
    QLinearGradient desk(0, 0, 160, 100);
    desk.setColorAt(0, QColor(24, 70, 170));
    desk.setColorAt(1, QColor(70, 170, 235));
    p.fillRect(QRectF(0, 0, 160, 100), desk);

    auto window = [&](const QRectF& r, const QColor& title) {
        p.fillRect(r.translated(2, 2), QColor(0, 0, 30, 70));
        p.fillRect(r, QColor(250, 251, 253));
        p.fillRect(QRectF(r.left(), r.top(), r.width(), 9), title);
    };
    // Bar chart.
    const QRectF bars(8, 8, 78, 56);
    window(bars, kTitleColours[0]);
    const double heights[5] = {0.45, 0.8, 0.6, 0.95, 0.7};
    const int barCount = 5;
    const double top = bars.top() + 14, bottom = bars.bottom() - 5;
    const double step = (bars.width() - 12) / barCount;
    for (int i = 0; i < barCount; ++i) {
        const double h = (bottom - top) * heights[i];
        p.fillRect(QRectF(bars.left() + 6 + i * step + step * 0.15, bottom - h, step * 0.7, h),
                   kChart[i % 4]);
    }
    // Pie chart.
    const QRectF pie(92, 14, 60, 50);
    window(pie, kTitleColours[1]);
    const QRectF disc(pie.center().x() - 17, pie.top() + 13, 34, 34);
    const int spans[4] = {140, 100, 70, 50};
    int start = 90 * 16;
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        p.setBrush(kChart[i]);
        p.drawPie(disc, start, -spans[i] * 16);
        start -= spans[i] * 16;
    }
    {
        // Line chart across the bottom.
        const QRectF lines(30, 58, 100, 34);
        window(lines, kTitleColours[2]);
        QPainterPath curve;
        const double ys[8] = {0.2, 0.55, 0.4, 0.75, 0.5, 0.85, 0.65, 0.95};
        for (int i = 0; i < 8; ++i) {
            const QPointF pt(lines.left() + 6 + i * (lines.width() - 12) / 7,
                             lines.bottom() - 4 - ys[i] * (lines.height() - 16));
            i ? curve.lineTo(pt) : curve.moveTo(pt);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(kChart[0], 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(curve);
    }
    // Task bar.
    p.fillRect(QRectF(0, 93, 160, 7), QColor(20, 28, 44, 220));
    for (int i = 0; i < 4; ++i)
        p.fillRect(QRectF(4 + i * 9, 94.5, 6, 4), kChart[(i + 3) % 4]);
}

QImage renderPerspective(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.scale(size / 128.0, size / 128.0);

    // Soft shadow under the foot.
    QRadialGradient shadow(QPointF(64, 116), 40);
    shadow.setColorAt(0, QColor(0, 0, 0, 90));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.save();
    p.translate(64, 116);
    p.scale(1, 0.22);
    p.drawEllipse(QPointF(0, 0), 44, 44);
    p.restore();

    // Foot and neck.
    QLinearGradient metal(0, 0, 128, 0);
    metal.setColorAt(0, QColor(120, 126, 138));
    metal.setColorAt(0.45, QColor(226, 230, 236));
    metal.setColorAt(1, QColor(96, 102, 114));
    p.setBrush(metal);
    p.drawEllipse(QRectF(34, 106, 62, 14));
    p.setBrush(QColor(70, 76, 88));
    p.drawEllipse(QRectF(34, 109, 62, 12));
    p.setBrush(metal);
    p.drawEllipse(QRectF(34, 106, 62, 12));
    QPolygonF neck;
    neck << QPointF(57, 86) << QPointF(71, 86) << QPointF(70, 112) << QPointF(58, 112);
    p.setBrush(metal);
    p.drawPolygon(neck);

    // The panel, turned so that its right edge is farther away: its left side shows.
    const QPolygonF front = QPolygonF() << QPointF(9, 12) << QPointF(121, 20) << QPointF(121, 86)
                                        << QPointF(9, 96);
    const QPolygonF side = QPolygonF()
                           << QPointF(5, 14) << QPointF(9, 12) << QPointF(9, 96) << QPointF(5, 93);
    p.setBrush(QColor(28, 30, 36));
    p.drawPolygon(side);
    QLinearGradient bezel(0, 12, 0, 96);
    bezel.setColorAt(0, QColor(74, 78, 90));
    bezel.setColorAt(1, QColor(30, 32, 40));
    p.setBrush(bezel);
    p.drawPolygon(front);

    // Screen inset from the bezel, bilinear in the quad.
    auto lerp = [](QPointF a, QPointF b, double t) { return a + (b - a) * t; };
    auto quadPoint = [&](double u, double v) {
        return lerp(lerp(front[0], front[1], u), lerp(front[3], front[2], u), v);
    };
    const double mu = 0.035, mv = 0.055, bottomMargin = 0.1;
    QPolygonF screen;
    screen << quadPoint(mu, mv) << quadPoint(1 - mu, mv) << quadPoint(1 - mu, 1 - bottomMargin)
           << quadPoint(mu, 1 - bottomMargin);
    QTransform map;
    // Four corners: QPolygonF(QRectF) would add a closing fifth point, which quadToQuad refuses.
    const QPolygonF flat = QPolygonF() << QPointF(0, 0) << QPointF(160, 0) << QPointF(160, 100)
                                       << QPointF(0, 100);
    QTransform::quadToQuad(flat, screen, map);
    p.save();
    p.setTransform(map, true);
    p.setClipRect(QRectF(0, 0, 160, 100));
    drawScreen(p);
    p.restore();
    // Glass: a faint diagonal reflection.
    p.save();
    QPainterPath glass;
    glass.addPolygon(screen);
    p.setClipPath(glass);
    QLinearGradient gloss(20, 10, 80, 90);
    gloss.setColorAt(0, QColor(255, 255, 255, 70));
    gloss.setColorAt(0.5, QColor(255, 255, 255, 14));
    gloss.setColorAt(0.51, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(0, 0, 128, 128), gloss);
    p.restore();
    // Power light on the chin.
    p.setBrush(QColor(80, 230, 120));
    const QPointF led = quadPoint(0.9, 1 - bottomMargin / 2);
    p.drawEllipse(led, 1.4, 1.2);
    // Bezel rim highlight.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(150, 156, 170), 128.0 / size));
    p.drawPolygon(front);
    return image;
}

// 16, 24 and 32 pixels: a front view on whole pixels.
QImage renderSmall(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    const bool tiny = size == 16;
    // Panel outline and screen.
    const QRect panel = tiny         ? QRect(0, 1, 16, 11)
                        : size == 24 ? QRect(1, 2, 22, 15)
                                     : QRect(0, 3, 32, 21);
    p.fillRect(panel, QColor(36, 38, 46));
    p.fillRect(panel.adjusted(1, 1, -1, -1), QColor(64, 68, 80));
    const QRect glass = panel.adjusted(1, 1, -1, tiny ? -2 : -3);
    if (size == 32)
        p.fillRect(QRect(27, 22, 2, 1), QColor(80, 230, 120)); // power light
    QLinearGradient desk(glass.topLeft(), glass.bottomRight());
    desk.setColorAt(0, QColor(30, 80, 190));
    desk.setColorAt(1, QColor(80, 175, 240));
    p.fillRect(glass, desk);
    if (tiny) {
        // One window with a bar chart and one coloured block.
        p.fillRect(QRect(2, 3, 7, 6), QColor(250, 250, 252));
        p.fillRect(QRect(2, 3, 7, 1), kTitleColours[0]);
        p.fillRect(QRect(3, 6, 1, 2), kChart[0]);
        p.fillRect(QRect(5, 5, 1, 3), kChart[2]);
        p.fillRect(QRect(7, 6, 1, 2), kChart[1]);
        p.fillRect(QRect(10, 4, 4, 4), kChart[1]);
        p.fillRect(QRect(10, 4, 4, 1), kTitleColours[1]);
        p.fillRect(QRect(11, 5, 2, 2), kChart[0]);
    } else if (size == 24) {
        p.fillRect(QRect(3, 4, 10, 8), QColor(250, 250, 252));
        p.fillRect(QRect(3, 4, 10, 2), kTitleColours[0]);
        p.fillRect(QRect(4, 9, 2, 2), kChart[0]);
        p.fillRect(QRect(7, 7, 2, 4), kChart[2]);
        p.fillRect(QRect(10, 8, 2, 3), kChart[1]);
        p.fillRect(QRect(14, 5, 7, 7), QColor(250, 250, 252));
        p.fillRect(QRect(14, 5, 7, 2), kTitleColours[2]);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(kChart[3]);
        p.drawPie(QRectF(15, 7, 5, 5), 90 * 16, -220 * 16);
        p.setBrush(kChart[0]);
        p.drawPie(QRectF(15, 7, 5, 5), -130 * 16, -140 * 16);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(QRect(2, 13, 20, 1), QColor(20, 28, 44));
    } else {
        // 32: bar chart, pie chart and a line chart window over the task bar.
        p.fillRect(QRect(3, 5, 15, 11), QColor(250, 250, 252));
        p.fillRect(QRect(3, 5, 15, 2), kTitleColours[0]);
        const int bars[4][2] = {{5, 4}, {8, 7}, {11, 5}, {14, 8}};
        for (int i = 0; i < 4; ++i)
            p.fillRect(QRect(bars[i][0], 15 - bars[i][1], 2, bars[i][1]), kChart[i]);
        p.fillRect(QRect(19, 6, 10, 10), QColor(250, 250, 252));
        p.fillRect(QRect(19, 6, 10, 2), kTitleColours[1]);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        const int spans[4] = {140, 100, 70, 50};
        int start = 90 * 16;
        for (int i = 0; i < 4; ++i) {
            p.setBrush(kChart[i]);
            p.drawPie(QRectF(20.5, 8.5, 7, 7), start, -spans[i] * 16);
            start -= spans[i] * 16;
        }
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(QRect(9, 14, 14, 6), QColor(250, 250, 252));
        p.fillRect(QRect(9, 14, 14, 1), kTitleColours[2]);
        p.setPen(QPen(kChart[0], 1));
        p.drawPolyline(QPolygon() << QPoint(10, 19) << QPoint(13, 17) << QPoint(15, 18)
                                  << QPoint(18, 16) << QPoint(21, 16));
        p.fillRect(QRect(2, 20, 28, 1), QColor(20, 28, 44));
        p.fillRect(QRect(3, 20, 2, 1), kChart[3]);
        p.fillRect(QRect(6, 20, 2, 1), kChart[1]);
    }
    // Neck and foot.
    QLinearGradient metal(0, 0, size, 0);
    metal.setColorAt(0, QColor(110, 116, 128));
    metal.setColorAt(0.5, QColor(222, 226, 232));
    metal.setColorAt(1, QColor(96, 102, 114));
    if (tiny) {
        p.fillRect(QRect(6, 12, 4, 2), metal);
        p.fillRect(QRect(3, 14, 10, 1), metal);
        p.fillRect(QRect(3, 15, 10, 1), QColor(70, 76, 88));
    } else if (size == 24) {
        p.fillRect(QRect(9, 17, 6, 3), metal);
        p.fillRect(QRect(5, 20, 14, 2), metal);
        p.fillRect(QRect(5, 22, 14, 1), QColor(70, 76, 88));
    } else {
        p.fillRect(QRect(12, 24, 8, 4), metal);
        p.fillRect(QRect(7, 28, 18, 2), metal);
        p.fillRect(QRect(7, 30, 18, 1), QColor(70, 76, 88));
    }
    return image;
}

} // namespace

QImage renderIcon(int size) {
    const QImage image = size <= 32 ? renderSmall(size) : renderPerspective(size);
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace artgen
