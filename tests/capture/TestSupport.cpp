#include "tests/capture/TestSupport.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#include <jpeglib.h>

namespace capture_test {

ScratchDir::ScratchDir() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/capture-test.XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = buf.data();
}

ScratchDir::~ScratchDir() {
    const std::string cmd = "rm -rf '" + path_ + "'";
    if (std::system(cmd.c_str()) != 0)
        std::fprintf(stderr, "could not remove %s\n", path_.c_str());
}

std::vector<std::string> ScratchDir::list() const {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(path_.c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

namespace {

struct Reader {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void readerError(j_common_ptr cinfo) {
    Reader* r = reinterpret_cast<Reader*>(reinterpret_cast<char*>(cinfo) - offsetof(Reader, cinfo));
    (*cinfo->err->format_message)(cinfo, r->message);
    std::longjmp(r->jump, 1);
}

void quiet(j_common_ptr, int) {}

// setjmp frame without C++ objects; the caller owns everything.
bool decodeAll(Reader* r, const unsigned char* data, unsigned long size, JpegInfo* info,
               unsigned char* (*allocate)(JpegInfo*, int, int, int*)) {
    r->cinfo.err = jpeg_std_error(&r->err);
    r->err.error_exit = readerError;
    r->err.emit_message = quiet;
    if (setjmp(r->jump)) {
        jpeg_destroy_decompress(&r->cinfo);
        return false;
    }
    jpeg_create_decompress(&r->cinfo);
    jpeg_mem_src(&r->cinfo, data, size);
    jpeg_read_header(&r->cinfo, TRUE);
    info->width = static_cast<int>(r->cinfo.image_width);
    info->height = static_cast<int>(r->cinfo.image_height);
    info->components = r->cinfo.num_components;
    info->progressive = r->cinfo.progressive_mode;
    info->ycbcr = r->cinfo.jpeg_color_space == JCS_YCbCr;
    for (int c = 0; c < r->cinfo.num_components && c < 3; ++c) {
        info->sampling[c][0] = r->cinfo.comp_info[c].h_samp_factor;
        info->sampling[c][1] = r->cinfo.comp_info[c].v_samp_factor;
    }
    for (int t = 0; t < 2; ++t) {
        if (const JQUANT_TBL* q = r->cinfo.quant_tbl_ptrs[t]) {
            info->hasQuant[t] = true;
            for (int i = 0; i < 64; ++i)
                info->quant[t][i] = q->quantval[i];
        }
    }
    r->cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&r->cinfo);
    int stride = 0;
    unsigned char* rgb = allocate(info, static_cast<int>(r->cinfo.output_width),
                                  static_cast<int>(r->cinfo.output_height), &stride);
    while (r->cinfo.output_scanline < r->cinfo.output_height) {
        JSAMPROW row = rgb + static_cast<size_t>(stride) * r->cinfo.output_scanline;
        jpeg_read_scanlines(&r->cinfo, &row, 1);
    }
    jpeg_finish_decompress(&r->cinfo);
    jpeg_destroy_decompress(&r->cinfo);
    return true;
}

// Scratch RGB888 buffer kept in the JpegInfo's image (Format_RGB888), converted afterwards.
unsigned char* allocateRgb(JpegInfo* info, int w, int h, int* stride) {
    info->pixels = QImage(w, h, QImage::Format_RGB888);
    *stride = static_cast<int>(info->pixels.bytesPerLine());
    return info->pixels.bits();
}

} // namespace

JpegInfo readJpeg(const std::string& data) {
    JpegInfo info;
    auto reader = std::make_unique<Reader>();
    std::memset(reader.get(), 0, sizeof(Reader));
    info.ok = decodeAll(reader.get(), reinterpret_cast<const unsigned char*>(data.data()),
                        static_cast<unsigned long>(data.size()), &info, allocateRgb);
    if (!info.ok)
        info.error = reader->message;
    else
        info.pixels = info.pixels.convertToFormat(QImage::Format_RGB32);
    return info;
}

std::array<std::array<unsigned, 64>, 2> quality90Tables() {
    std::array<std::array<unsigned, 64>, 2> tables{};
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    c.in_color_space = JCS_RGB;
    c.input_components = 3;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    for (int t = 0; t < 2; ++t)
        for (int i = 0; i < 64; ++i)
            tables[t][i] = c.quant_tbl_ptrs[t]->quantval[i];
    jpeg_destroy_compress(&c);
    return tables;
}

std::vector<int> frameMarkers(const std::string& data) {
    std::vector<int> markers;
    size_t i = 2; // after SOI
    while (i + 4 <= data.size()) {
        if (static_cast<unsigned char>(data[i]) != 0xFF)
            break;
        const int marker = static_cast<unsigned char>(data[i + 1]);
        if (marker == 0xDA) // start of scan
            break;
        const size_t length = (static_cast<unsigned char>(data[i + 2]) << 8) |
                              static_cast<unsigned char>(data[i + 3]);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            markers.push_back(marker);
        i += 2 + length;
    }
    return markers;
}

QImage gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb(x * 255 / std::max(1, width - 1), y * 255 / std::max(1, height - 1),
                           (x + y) * 255 / std::max(1, width + height - 2));
    }
    return image;
}

QImage noise(int width, int height, unsigned randomStart) {
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(randomStart);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = 0xff000000u | (random() & 0xffffffu);
    }
    return image;
}

double meanAbsoluteError(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int r = 0; r < x.height(); ++r) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(r));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(r));
        for (int c = 0; c < x.width(); ++c)
            sum += std::abs(qRed(p[c]) - qRed(q[c])) + std::abs(qGreen(p[c]) - qGreen(q[c])) +
                   std::abs(qBlue(p[c]) - qBlue(q[c]));
    }
    return sum / (3.0 * x.width() * x.height());
}

} // namespace capture_test
