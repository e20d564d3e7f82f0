// File writers. JPEG goes through libjpeg directly (Qt's JPEG plugin is never used), the bitmap
// is laid out by hand so that its palette size and row padding are exactly what we choose.
#include "tools/artgen/Artgen.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace artgen {
namespace {

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

void onJpegError(j_common_ptr info) {
    char message[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, message);
    std::fprintf(stderr, "artgen: libjpeg: %s\n", message);
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

void putLe16(std::vector<unsigned char>& out, unsigned value) {
    out.push_back(value & 0xFF);
    out.push_back((value >> 8) & 0xFF);
}

void putLe32(std::vector<unsigned char>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back((value >> (8 * i)) & 0xFF);
}

bool saveBytes(const QString& path, const unsigned char* data, std::size_t size) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) !=
            static_cast<qint64>(size) ||
        !file.commit()) {
        std::fprintf(stderr, "artgen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

bool writeJpeg(const QImage& image, const QString& path, int quality, bool subsample) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct info;
    JpegError error;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    info.err = jpeg_std_error(&error.mgr);
    error.mgr.error_exit = onJpegError;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(rgb.width());
    info.image_height = static_cast<JDIMENSION>(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (!subsample) {
        for (int c = 0; c < info.num_components; ++c) {
            info.comp_info[c].h_samp_factor = 1;
            info.comp_info[c].v_samp_factor = 1;
        }
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    const bool ok = saveBytes(path, buffer, size);
    std::free(buffer);
    return ok;
}

bool writeBmp8(const QImage& image, const QString& path, int paletteSize) {
    if (image.format() != QImage::Format_Indexed8 || image.colorCount() > paletteSize) {
        std::fprintf(stderr, "artgen: %s: not an 8-bit image with %d colours\n", qPrintable(path),
                     paletteSize);
        return false;
    }
    const int width = image.width();
    const int height = image.height();
    const int stride = (width + 3) & ~3;
    const std::uint32_t headers = 14 + 40 + 4 * static_cast<std::uint32_t>(paletteSize);
    const std::uint32_t pixels = static_cast<std::uint32_t>(stride * height);
    std::vector<unsigned char> out;
    out.reserve(headers + pixels);
    // BITMAPFILEHEADER
    out.push_back('B');
    out.push_back('M');
    putLe32(out, headers + pixels);
    putLe32(out, 0);
    putLe32(out, headers);
    // BITMAPINFOHEADER: positive height, so rows are stored bottom-up.
    putLe32(out, 40);
    putLe32(out, static_cast<std::uint32_t>(width));
    putLe32(out, static_cast<std::uint32_t>(height));
    putLe16(out, 1);
    putLe16(out, 8);
    putLe32(out, 0); // BI_RGB
    putLe32(out, pixels);
    putLe32(out, 3780); // 96 dots per inch, in dots per metre
    putLe32(out, 3780);
    putLe32(out, static_cast<std::uint32_t>(paletteSize));
    putLe32(out, 0);
    const QList<QRgb> table = image.colorTable();
    for (int i = 0; i < paletteSize; ++i) {
        const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
        out.push_back(static_cast<unsigned char>(qBlue(c)));
        out.push_back(static_cast<unsigned char>(qGreen(c)));
        out.push_back(static_cast<unsigned char>(qRed(c)));
        out.push_back(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        const uchar* row = image.constScanLine(y);
        out.insert(out.end(), row, row + width);
        out.insert(out.end(), static_cast<std::size_t>(stride - width), 0);
    }
    return saveBytes(path, out.data(), out.size());
}

bool writePng(const QImage& image, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        std::fprintf(stderr, "artgen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

namespace {

struct Box {
    std::vector<QRgb> colours; // one entry per distinct colour
    std::vector<int> counts;
};

} // namespace

QImage quantise(const QImage& source, int maxColours, QRgb keep) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> histogram;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            ++histogram[row[x] | 0xFF000000u];
    }
    keep |= 0xFF000000u;
    // The kept colour gets its own palette entry; the rest is cut into maxColours - 1 boxes.
    std::vector<std::pair<QRgb, int>> entries;
    for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
        if (it.key() != keep)
            entries.emplace_back(it.key(), it.value());
    std::sort(entries.begin(), entries.end()); // hash order is not stable between runs
    std::vector<std::vector<std::pair<QRgb, int>>> boxes;
    if (!entries.empty())
        boxes.push_back(entries);
    auto channel = [](QRgb c, int k) { return k == 0 ? qRed(c) : k == 1 ? qGreen(c) : qBlue(c); };
    while (static_cast<int>(boxes.size()) < maxColours - 1) {
        // Split the box with the widest weighted channel range.
        int best = -1;
        int bestChannel = 0;
        long bestScore = 0;
        for (int b = 0; b < static_cast<int>(boxes.size()); ++b) {
            if (boxes[b].size() < 2)
                continue;
            long weight = 0;
            for (const auto& e : boxes[b])
                weight += e.second;
            for (int k = 0; k < 3; ++k) {
                int lo = 255, hi = 0;
                for (const auto& e : boxes[b]) {
                    lo = std::min(lo, channel(e.first, k));
                    hi = std::max(hi, channel(e.first, k));
                }
                const long score = static_cast<long>(hi - lo) * (hi - lo) * weight;
                if (score > bestScore) {
                    bestScore = score;
                    best = b;
                    bestChannel = k;
                }
            }
        }
        if (best < 0)
            break;
        auto& box = boxes[best];
        std::sort(box.begin(), box.end(), [&](const auto& a, const auto& b) {
            const int ca = channel(a.first, bestChannel), cb = channel(b.first, bestChannel);
            return ca != cb ? ca < cb : a.first < b.first;
        });
        long total = 0;
        for (const auto& e : box)
            total += e.second;
        long run = 0;
        std::size_t cut = 1;
        for (; cut < box.size() - 1; ++cut) {
            run += box[cut - 1].second;
            if (run * 2 >= total)
                break;
        }
        std::vector<std::pair<QRgb, int>> upper(box.begin() + static_cast<long>(cut), box.end());
        box.resize(cut);
        boxes.push_back(std::move(upper));
    }
    QList<QRgb> palette{keep};
    QHash<QRgb, int> index;
    index.insert(keep, 0);
    for (const auto& box : boxes) {
        double r = 0, g = 0, b = 0, w = 0;
        for (const auto& e : box) {
            r += qRed(e.first) * double(e.second);
            g += qGreen(e.first) * double(e.second);
            b += qBlue(e.first) * double(e.second);
            w += e.second;
        }
        const int slot = static_cast<int>(palette.size());
        palette.push_back(qRgb(int(r / w + 0.5), int(g / w + 0.5), int(b / w + 0.5)));
        for (const auto& e : box)
            index.insert(e.first, slot);
    }
    QImage out(image.size(), QImage::Format_Indexed8);
    out.setColorTable(palette);
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < image.width(); ++x)
            dst[x] = static_cast<uchar>(index.value(row[x] | 0xFF000000u));
    }
    return out;
}

} // namespace artgen
