// The gadget's face: brushed steel-blue metal with three sunken display slots and raised caption
// plates, and its miniature for the About dialog.
#include "tools/artgen/Artgen.h"

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <vector>

namespace artgen {
namespace {

constexpr int kWidth = 192;
constexpr int kHeight = 200;
// Texture strengths: brush streaks (relative), then per-pixel grain and its colour spread (levels).
// With the face written at quality 100 these land its JPEG near 70 KB.
constexpr double kStreak = 0.045;
constexpr double kGrain = 7.0;
constexpr double kTint = 3.0;

// The display strips of the main form; the slots' interiors cover them exactly.
const QRect kSlots[3] = {QRect(36, 35, 120, 20), QRect(57, 94, 80, 20), QRect(36, 152, 120, 20)};

// UTF-8 in the source; these strings never reach the program itself.
const char* const kCaptions[3] = {"Результат выражения", "Буфер обмена", "Система счисления"};

const QColor kStripText(251, 189, 192);

int clampByte(double v) {
    return std::clamp(static_cast<int>(std::lround(v)), 0, 255);
}

// Horizontally streaked noise: white noise blurred along x gives the brushed grain.
std::vector<double> brushedNoise(Rng& rng) {
    std::vector<double> white(kWidth * kHeight);
    for (double& v : white)
        v = rng.gauss();
    std::vector<double> out(white.size());
    const int reach = 12;
    for (int y = 0; y < kHeight; ++y) {
        const double row = rng.gauss() * 0.8; // each brush stroke row is a little different
        for (int x = 0; x < kWidth; ++x) {
            double sum = 0;
            for (int d = -reach; d <= reach; ++d)
                sum += white[y * kWidth + (x + d + kWidth) % kWidth];
            out[y * kWidth + x] = sum / std::sqrt(2.0 * reach + 1) + row;
        }
    }
    return out;
}

QImage metalBase(Rng& rng) {
    const std::vector<double> streak = brushedNoise(rng);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            const double t = double(y) / (kHeight - 1);
            // Steel blue, lighter at the top, with a broad diagonal sheen.
            double r = 96 - 34 * t, g = 128 - 38 * t, b = 166 - 40 * t;
            const double d = (x * 0.8 + y - 95) / 60.0;
            const double sheen = 1.0 + 0.16 * std::exp(-d * d);
            const double grain = 1.0 + kStreak * streak[y * kWidth + x];
            const double k = sheen * grain;
            row[x] = qRgb(clampByte(r * k), clampByte(g * k), clampByte(b * k));
        }
    }
    return image;
}

QFont captionFont(int pixels, bool bold) {
    QFont font("DejaVu Sans");
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// The window's outline: an engraved frame a few pixels inside the rounded edge.
void drawFrame(QPainter& p) {
    p.setBrush(Qt::NoBrush);
    QLinearGradient rim(0, 0, kWidth, kHeight);
    rim.setColorAt(0, QColor(255, 255, 255, 150));
    rim.setColorAt(0.5, QColor(255, 255, 255, 40));
    rim.setColorAt(1, QColor(0, 0, 0, 120));
    p.setPen(QPen(QBrush(rim), 1.5));
    p.drawRoundedRect(QRectF(0.75, 0.75, kWidth - 1.5, kHeight - 1.5), 9.5, 9.5);
    // Groove: dark line with a light line just below and to the right of it.
    p.setPen(QPen(QColor(20, 32, 52, 150), 1));
    p.drawRoundedRect(QRectF(5.5, 5.5, kWidth - 12, kHeight - 12), 6, 6);
    p.setPen(QPen(QColor(220, 232, 246, 110), 1));
    p.drawRoundedRect(QRectF(6.5, 6.5, kWidth - 12, kHeight - 12), 6, 6);
}

void drawScrew(QPainter& p, QPointF c) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(10, 20, 35, 110));
    p.drawEllipse(c + QPointF(0.5, 0.7), 3.2, 3.2);
    QRadialGradient head(c - QPointF(1, 1), 4.5);
    head.setColorAt(0, QColor(226, 234, 244));
    head.setColorAt(1, QColor(112, 130, 154));
    p.setBrush(head);
    p.drawEllipse(c, 2.9, 2.9);
    p.setPen(QPen(QColor(40, 52, 70, 220), 1));
    p.drawLine(c + QPointF(-1.8, 1.8), c + QPointF(1.8, -1.8));
}

// A raised, bevelled plate with engraved-looking text.
void drawPlate(QPainter& p, const QRectF& r, const QString& text, const QFont& font) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(8, 16, 30, 90));
    p.drawRoundedRect(r.translated(0.8, 1.2), 3, 3);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, QColor(214, 224, 236));
    fill.setColorAt(1, QColor(162, 178, 199));
    p.setBrush(fill);
    p.drawRoundedRect(r, 3, 3);
    // Bevel: light rim at the top and left, shade at the bottom and right.
    QLinearGradient bevel(r.topLeft(), r.bottomRight());
    bevel.setColorAt(0, QColor(255, 255, 255, 220));
    bevel.setColorAt(0.45, QColor(255, 255, 255, 60));
    bevel.setColorAt(0.55, QColor(40, 55, 80, 60));
    bevel.setColorAt(1, QColor(40, 55, 80, 200));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(bevel), 1));
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
    p.setFont(font);
    p.setPen(QColor(255, 255, 255, 170));
    p.drawText(r.translated(0, 1), Qt::AlignCenter, text);
    p.setPen(QColor(22, 34, 56));
    p.drawText(r, Qt::AlignCenter, text);
}

// A sunken slot: near-black interior exactly the strip's size, with a two-pixel bevel outside it.
void drawSlot(QImage& image, const QRect& slot, Rng& rng) {
    const int l = slot.left(), t = slot.top(), rr = slot.right(), bb = slot.bottom();
    for (int y = t - 2; y <= bb + 2; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = l - 2; x <= rr + 2; ++x) {
            const int dx = std::max(l - x, x - rr);
            const int dy = std::max(t - y, y - bb);
            const int ring = std::max(dx, dy); // 0 inside, 1 or 2 on the bevel
            if (ring <= 0) {
                // Interior: a faint vertical gradient, darkest just under the top edge.
                const double v = double(y - t) / (slot.height() - 1);
                double k = 11 + 9 * v + rng.gauss() * 0.9;
                if (y == t)
                    k -= 3;
                row[x] = qRgb(clampByte(k), clampByte(k + 3), clampByte(k + 8));
                continue;
            }
            // The top and left sides are in shadow, the bottom and right sides catch the light;
            // the two odd corners are split along their diagonal.
            bool shade = (y < t || x < l) && !(y > bb || x > rr);
            if (y < t && x > rr)
                shade = t - y >= x - rr;
            if (x < l && y > bb)
                shade = l - x >= y - bb;
            const QColor under = QColor::fromRgb(row[x]);
            QColor c;
            if (shade)
                c = ring == 1 ? QColor(6, 10, 18) : QColor(30, 44, 66);
            else
                c = ring == 1 ? QColor(150, 170, 196) : QColor(206, 220, 238);
            const double a = ring == 1 ? 0.95 : 0.75;
            row[x] = qRgb(clampByte(c.red() * a + under.red() * (1 - a)),
                          clampByte(c.green() * a + under.green() * (1 - a)),
                          clampByte(c.blue() * a + under.blue() * (1 - a)));
        }
    }
}

// Fine grain over the whole panel (not over the slots), the last touch of the metal.
void addGrain(QImage& image, Rng& rng) {
    for (int y = 0; y < kHeight; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            bool inSlot = false;
            for (const QRect& s : kSlots)
                inSlot = inSlot || s.contains(x, y);
            if (inSlot)
                continue;
            const double n = rng.gauss() * kGrain;
            const double tint = rng.gauss() * kTint;
            row[x] = qRgb(clampByte(qRed(row[x]) + n - tint), clampByte(qGreen(row[x]) + n),
                          clampByte(qBlue(row[x]) + n + tint));
        }
    }
}

} // namespace

QImage renderFace() {
    Rng rng(0x51B7A0001ull);
    QImage image = metalBase(rng);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        drawFrame(p);
        for (QPointF c : {QPointF(14, 14), QPointF(178, 14), QPointF(14, 186), QPointF(178, 186)})
            drawScrew(p, c);

        const QFont small = captionFont(10, false);
        const QFontMetrics metrics(small);
        for (int i = 0; i < 3; ++i) {
            const QString text = QString::fromUtf8(kCaptions[i]);
            const int w = metrics.horizontalAdvance(text) + 14;
            const QRect& s = kSlots[i];
            const double cx = s.left() + s.width() / 2.0;
            drawPlate(p, QRectF(cx - w / 2.0, s.top() - 17, w, 13), text, small);
        }
        const QRect& c = kSlots[2];
        drawPlate(p, QRectF(c.left() + c.width() / 2.0 - 14, 176, 28, 14), QStringLiteral("16"),
                  captionFont(11, true));
    }
    for (const QRect& s : kSlots)
        drawSlot(image, s, rng);
    addGrain(image, rng);
    return image;
}

QImage renderFaceWithLines(const QString& upper, const QString& middle, const QString& lower) {
    QImage image = renderFace();
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font("DejaVu Sans");
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kStripText);
    const QString lines[3] = {upper, middle, lower};
    for (int i = 0; i < 3; ++i)
        p.drawText(kSlots[i], Qt::AlignCenter, lines[i]);
    return image;
}

QImage renderMiniature() {
    // "Текст" and the sample's value 407 with its hexadecimal form 197.
    const QImage face = renderFaceWithLines(QStringLiteral("407"), QString::fromUtf8("Текст"),
                                            QStringLiteral("197"));
    const QColor dialog(240, 240, 240);
    // Cut the face to the window's rounded shape before scaling it to half size.
    QImage shaped(face.size(), QImage::Format_RGB32);
    shaped.fill(dialog);
    {
        QPainter p(&shaped);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath window;
        window.addRoundedRect(QRectF(0, 0, kWidth, kHeight), 10, 10);
        p.setClipPath(window);
        p.drawImage(0, 0, face);
    }
    const QImage half = shaped.scaled(96, 100, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage out(100, 100, QImage::Format_RGB32);
    out.fill(dialog);
    QPainter p(&out);
    p.drawImage(2, 0, half);
    return out;
}

} // namespace artgen
