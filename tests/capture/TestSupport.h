// Helpers shared by the capture tests: scratch folders and an independent libjpeg reader.
#pragma once

#include <QImage>
#include <array>
#include <string>
#include <vector>

namespace capture_test {

// A fresh folder under the system's temporary folder, removed with its content at the end.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Names in the folder (without "." and ".."), sorted.
    std::vector<std::string> list() const;

private:
    std::string path_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);

// What libjpeg's decompressor reports about a JPEG stream, and its pixels as RGB.
struct JpegInfo {
    bool ok = false;
    std::string error;
    int width = 0, height = 0;
    int components = 0;
    bool progressive = false;
    bool ycbcr = false;
    int sampling[3][2] = {};                         // h, v per component
    std::array<std::array<unsigned, 64>, 2> quant{}; // luminance, chrominance (natural order)
    bool hasQuant[2] = {false, false};
    QImage pixels; // Format_RGB32
};
JpegInfo readJpeg(const std::string& data);

// The tables libjpeg makes for jpeg_set_quality(90, TRUE), in natural order.
std::array<std::array<unsigned, 64>, 2> quality90Tables();

// The frame markers (0xC0..0xCF except DHT/JPG/DAC) found before the first scan.
std::vector<int> frameMarkers(const std::string& data);

// A picture with colour ramps across both axes.
QImage gradient(int width, int height);
// A picture of random pixels (compresses badly: a large file).
QImage noise(int width, int height, unsigned randomStart);

// Mean absolute difference per channel of two pictures of one size.
double meanAbsoluteError(const QImage& a, const QImage& b);

} // namespace capture_test
