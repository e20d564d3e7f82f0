// The two hand cursors, 32 x 32, in three values only: black outline, white fill, transparent.
// Each hand is a union of simple parts (capsules and rounded boxes) rasterised without
// antialiasing; the outline is traced inside the union, and chosen pairs of touching parts get a
// one-pixel crease between them (finger from finger, thumb from palm).
#include "tools/artgen/Artgen.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <utility>
#include <vector>

namespace artgen {
namespace {

constexpr int kSize = 32;

using Shape = std::function<bool(double, double)>;

Shape capsule(double x1, double y1, double x2, double y2, double r) {
    return [=](double x, double y) {
        const double dx = x2 - x1, dy = y2 - y1;
        double t = ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy);
        t = std::clamp(t, 0.0, 1.0);
        const double ex = x - (x1 + t * dx), ey = y - (y1 + t * dy);
        return ex * ex + ey * ey <= r * r;
    };
}

Shape roundedBox(double left, double top, double right, double bottom, double r) {
    return [=](double x, double y) {
        const double cx = std::clamp(x, left + r, right - r);
        const double cy = std::clamp(y, top + r, bottom - r);
        if (x < left || x > right || y < top || y > bottom)
            return false;
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
    };
}

struct Hand {
    std::vector<Shape> parts;              // later parts lie on top of earlier ones
    std::set<std::pair<int, int>> creases; // pairs (lower, upper) of parts kept apart by a line
    int shiftX = 0, shiftY = 0;            // moves the drawing so the hand centres on (16, 16)
};

QImage rasterise(const Hand& hand) {
    // Label of the topmost part covering each pixel centre, -1 for none.
    std::vector<int> label(kSize * kSize, -1);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            for (int i = 0; i < static_cast<int>(hand.parts.size()); ++i)
                if (hand.parts[i](x - hand.shiftX, y - hand.shiftY))
                    label[y * kSize + x] = i;
    auto at = [&](int x, int y) {
        return x < 0 || y < 0 || x >= kSize || y >= kSize ? -1 : label[y * kSize + x];
    };
    QImage image(kSize, kSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const QRgb black = qRgba(0, 0, 0, 255), white = qRgba(255, 255, 255, 255);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const int me = at(x, y);
            if (me < 0)
                continue;
            bool edge = false;
            const int near[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            for (const auto& d : near) {
                const int other = at(x + d[0], y + d[1]);
                if (other < 0 || (other < me && hand.creases.count({other, me})))
                    edge = true;
            }
            image.setPixel(x, y, edge ? black : white);
        }
    }
    return image;
}

} // namespace

QImage renderCursorOpen() {
    // An open hand, palm towards the viewer, thumb on the left, fingers spread.
    Hand hand;
    hand.parts = {
        capsule(11.5, 21.5, 4.6, 14.6, 2.3),    // 0 thumb
        capsule(12.0, 15.0, 8.6, 5.4, 2.2),     // 1 index
        capsule(15.5, 14.0, 14.7, 2.4, 2.2),    // 2 middle
        capsule(19.0, 15.0, 21.2, 3.6, 2.2),    // 3 ring
        capsule(21.5, 18.0, 26.0, 9.6, 2.0),    // 4 little finger
        roundedBox(9.6, 12.6, 23.4, 27.4, 4.2), // 5 palm
    };
    hand.creases = {{0, 5}};
    hand.shiftX = 1;
    hand.shiftY = 1;
    return rasterise(hand);
}

QImage renderCursorClosed() {
    // A fist seen from the back, knuckles up: four curled fingers over the back of the hand and
    // the thumb folded along its left side.
    Hand hand;
    hand.parts = {
        roundedBox(8.6, 12.6, 24.4, 25.4, 4.2), // 0 back of the hand
        capsule(9.0, 22.0, 5.4, 15.6, 2.3),     // 1 thumb
        capsule(11.2, 10.6, 11.2, 17.0, 2.0),   // 2 index knuckle
        capsule(14.8, 9.6, 14.8, 17.0, 2.0),    // 3 middle knuckle
        capsule(18.4, 9.8, 18.4, 17.0, 2.0),    // 4 ring knuckle
        capsule(21.9, 11.2, 21.9, 17.0, 1.9),   // 5 little finger knuckle
    };
    hand.creases = {{0, 1}, {2, 3}, {3, 4}, {4, 5}};
    hand.shiftX = 2;
    return rasterise(hand);
}

} // namespace artgen
