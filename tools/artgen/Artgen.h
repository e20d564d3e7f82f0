// Shared pieces of the artwork generator: the pseudo-random source, the file writers and one
// entry point per picture.
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>

namespace artgen {

// Small fixed generator so that every run (and every machine) draws the same texture; the
// standard library's distributions differ between implementations.
class Rng {
public:
    explicit Rng(std::uint64_t state) : state_(state) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    // Roughly normal, mean 0, deviation 1 (sum of four uniforms; no libm involved).
    double gauss() { return (uniform() + uniform() + uniform() + uniform() - 2.0) * 1.7320508; }

private:
    std::uint64_t state_;
};

// Writes a baseline JPEG through libjpeg. Without subsampling every component is sampled 1 x 1;
// otherwise libjpeg's default 4:2:0 stays. Returns false (with a message on stderr) on failure.
bool writeJpeg(const QImage& image, const QString& path, int quality, bool subsample);
// Writes an uncompressed Windows bitmap with 8 bits per pixel and a palette of exactly
// paletteSize entries; the image must be Format_Indexed8 with at most that many colours.
bool writeBmp8(const QImage& image, const QString& path, int paletteSize);
bool writePng(const QImage& image, const QString& path);

// Reduces an opaque image to at most maxColours colours (median cut), keeping keep exact.
QImage quantise(const QImage& image, int maxColours, QRgb keep);

// The gadget's face, without texts in the slots.
QImage renderFace();
// The face with sample lines in its slots, as the running gadget draws them.
QImage renderFaceWithLines(const QString& upper, const QString& middle, const QString& lower);
// The face scaled into a 100 x 100 picture for the About dialog.
QImage renderMiniature();

QImage renderCursorClosed();
QImage renderCursorOpen();

QImage renderIcon(int size);
QImage renderLogo();
QImage renderBand();

} // namespace artgen
