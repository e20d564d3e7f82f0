#include "tests/capture/TestSupport.h"

#include "rtl/FileUtils.h"
#include "vcl/Jpeg.h"

#include <QPainter>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <jpeglib.h>

using namespace capture_test;

namespace {

// ---- Files written by writeJpegFile, read back with libjpeg --------------------------------

struct SizeCase {
    const char* name;
    int width, height;
};

class JpegFileSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(JpegFileSize, IsABaselineQuality90ColourJpegOfThePicture) {
    const SizeCase& c = GetParam();
    ScratchDir dir;
    const QImage source = gradient(c.width, c.height);
    const std::string path = dir.file("photo1.jpg");
    vcl::writeJpegFile(source, path);

    const std::string data = readFile(path);
    ASSERT_GE(data.size(), 4u);
    EXPECT_EQ(static_cast<unsigned char>(data[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(data[1]), 0xD8);
    EXPECT_EQ(frameMarkers(data), std::vector<int>{0xC0}) << "baseline frame only (SOF0)";

    const JpegInfo info = readJpeg(data);
    ASSERT_TRUE(info.ok) << info.error;
    EXPECT_EQ(info.width, c.width);
    EXPECT_EQ(info.height, c.height);
    EXPECT_EQ(info.components, 3);
    EXPECT_TRUE(info.ycbcr);
    EXPECT_FALSE(info.progressive);
    // Default sampling: 4:2:0.
    EXPECT_EQ(info.sampling[0][0], 2);
    EXPECT_EQ(info.sampling[0][1], 2);
    EXPECT_EQ(info.sampling[1][0], 1);
    EXPECT_EQ(info.sampling[2][1], 1);

    const auto expected = quality90Tables();
    ASSERT_TRUE(info.hasQuant[0] && info.hasQuant[1]);
    EXPECT_EQ(info.quant[0], expected[0]);
    EXPECT_EQ(info.quant[1], expected[1]);

    EXPECT_LT(meanAbsoluteError(info.pixels, source), 2.0);
    EXPECT_EQ(dir.list(), std::vector<std::string>{"photo1.jpg"}) << "no temporary file left";
}

INSTANTIATE_TEST_SUITE_P(Sizes, JpegFileSize,
                         ::testing::Values(SizeCase{"Screen", 640, 480},
                                           SizeCase{"OddSize", 33, 17}, SizeCase{"OnePixel", 1, 1},
                                           SizeCase{"Wide", 1920, 64}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(JpegFile, QualityTablesAreNotTheDefaultQuality) {
    // Guards the table comparison above: quality 75 gives other tables.
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    c.in_color_space = JCS_RGB;
    c.input_components = 3;
    jpeg_set_defaults(&c);
    const unsigned q75 = c.quant_tbl_ptrs[0]->quantval[0];
    jpeg_destroy_compress(&c);
    EXPECT_NE(quality90Tables()[0][0], q75);
}

struct FormatCase {
    const char* name;
    QImage::Format format;
    double maxError; // fewer colours give sharper steps, which JPEG smooths
};

class JpegFileFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(JpegFileFormat, OtherPixelFormatsAreConvertedFirst) {
    ScratchDir dir;
    const QImage source = gradient(120, 90);
    // Threshold dithering: error diffusion would give a grain that JPEG cannot keep.
    const QImage input = source.convertToFormat(GetParam().format, Qt::ThresholdDither);
    vcl::writeJpegFile(input, dir.file("picture1.jpg"));
    const JpegInfo info = readJpeg(readFile(dir.file("picture1.jpg")));
    ASSERT_TRUE(info.ok) << info.error;
    EXPECT_EQ(info.components, 3);
    EXPECT_EQ(info.width, 120);
    EXPECT_EQ(info.height, 90);
    EXPECT_LT(meanAbsoluteError(info.pixels, input.convertToFormat(QImage::Format_RGB32)),
              GetParam().maxError);
}

INSTANTIATE_TEST_SUITE_P(Formats, JpegFileFormat,
                         ::testing::Values(FormatCase{"ARGB32", QImage::Format_ARGB32, 2.0},
                                           FormatCase{"RGB888", QImage::Format_RGB888, 2.0},
                                           FormatCase{"RGB16", QImage::Format_RGB16, 2.5},
                                           FormatCase{"Grayscale8", QImage::Format_Grayscale8, 2.0},
                                           FormatCase{"Indexed8", QImage::Format_Indexed8, 5.0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(JpegFile, ReplacesAnOlderFileInFull) {
    ScratchDir dir;
    const std::string path = dir.file("picture1.jpg");
    writeFile(path, std::string(3 * 1024 * 1024, 'x')); // larger than the new file
    vcl::writeJpegFile(gradient(64, 48), path);
    const JpegInfo info = readJpeg(readFile(path));
    ASSERT_TRUE(info.ok) << info.error;
    EXPECT_EQ(info.width, 64);
    EXPECT_LT(readFile(path).size(), 1024u * 1024u) << "old content truncated away";
    EXPECT_EQ(dir.list(), std::vector<std::string>{"picture1.jpg"});
}

TEST(JpegFile, NewFileHasTheUsualModeForTheUmask) {
    ScratchDir dir;
    const mode_t old = ::umask(022);
    vcl::writeJpegFile(gradient(8, 8), dir.file("picture2.jpg"));
    ::umask(old);
    struct stat st;
    ASSERT_EQ(::stat(dir.file("picture2.jpg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

// ---- Failures: nothing partial left, an older file intact, the file named --------------------

TEST(JpegFileFailure, MissingFolderIsCannotCreate) {
    ScratchDir dir;
    const std::string path = dir.file("screenshot/picture1.jpg");
    try {
        vcl::writeJpegFile(gradient(32, 32), path);
        FAIL() << "no exception";
    } catch (const EFCreateError& e) {
        EXPECT_STREQ(e.what(), ("Cannot create file " + path).c_str());
        EXPECT_EQ(std::string(e.Message().c_str()), "Cannot create file " + path);
    }
    EXPECT_TRUE(dir.list().empty());
}

TEST(JpegFileFailure, FileInPlaceOfTheFolderIsCannotCreate) {
    ScratchDir dir;
    writeFile(dir.file("screenshot"), "not a folder");
    const std::string path = dir.file("screenshot/photo3.jpg");
    try {
        vcl::writeJpegFile(gradient(32, 32), path);
        FAIL() << "no exception";
    } catch (const EFCreateError& e) {
        EXPECT_STREQ(e.what(), ("Cannot create file " + path).c_str());
    }
    EXPECT_EQ(dir.list(), std::vector<std::string>{"screenshot"});
    EXPECT_EQ(readFile(dir.file("screenshot")), "not a folder");
}

TEST(JpegFileFailure, FolderInPlaceOfTheFileIsCannotCreateAndLeavesNoTemporary) {
    ScratchDir dir;
    const std::string path = dir.file("picture1.jpg");
    ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
    try {
        vcl::writeJpegFile(gradient(32, 32), path);
        FAIL() << "no exception";
    } catch (const EFCreateError& e) {
        EXPECT_STREQ(e.what(), ("Cannot create file " + path).c_str());
    }
    EXPECT_EQ(dir.list(), std::vector<std::string>{"picture1.jpg"});
}

TEST(JpegFileFailure, NonAsciiFileNameIsShownInWindows1251) {
    ScratchDir dir;
    // "снимки" in UTF-8 on disk, "\xF1\xED\xE8\xEC\xEA\xE8" in the message.
    const std::string folder = "\xD1\x81\xD0\xBD\xD0\xB8\xD0\xBC\xD0\xBA\xD0\xB8";
    const std::string path = dir.file(folder + "/picture1.jpg");
    try {
        vcl::writeJpegFile(gradient(8, 8), path);
        FAIL() << "no exception";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file " + dir.path() + "/\xF1\xED\xE8\xEC\xEA\xE8/picture1.jpg");
    }
}

// A write that hits the file size limit (EFBIG with SIGXFSZ ignored), in a child process so
// that the limit stays there. Exit codes: 0 EWriteError with the expected text, 1 no
// exception, 2 another exception, 3 wrong message.
int writeUnderSizeLimit(const std::string& path, rlim_t limit) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit rl{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &rl);
        int code = 1;
        try {
            vcl::writeJpegFile(noise(640, 480, 7), path);
        } catch (const EWriteError& e) {
            code = std::string(e.what()) == "Error writing file " + path ? 0 : 3;
        } catch (...) {
            code = 2;
        }
        ::_exit(code);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

// The size of the noise picture's file, written once without a limit.
size_t noiseFileSize() {
    static const size_t size = [] {
        ScratchDir dir;
        vcl::writeJpegFile(noise(640, 480, 7), dir.file("size.jpg"));
        return readFile(dir.file("size.jpg")).size();
    }();
    return size;
}

struct LimitCase {
    const char* name;
    rlim_t (*limit)(size_t fileSize);
};

class JpegFileSizeLimit : public ::testing::TestWithParam<LimitCase> {};

TEST_P(JpegFileSizeLimit, IsAWriteErrorAndKeepsTheOlderFile) {
    ScratchDir dir;
    const std::string path = dir.file("photo1.jpg");
    writeFile(path, "older capture");
    EXPECT_EQ(writeUnderSizeLimit(path, GetParam().limit(noiseFileSize())), 0);
    EXPECT_EQ(dir.list(), std::vector<std::string>{"photo1.jpg"});
    EXPECT_TRUE(readFile(path) == "older capture");
}

TEST_P(JpegFileSizeLimit, IsAWriteErrorAndLeavesNoFile) {
    ScratchDir dir;
    EXPECT_EQ(writeUnderSizeLimit(dir.file("picture4.jpg"), GetParam().limit(noiseFileSize())), 0);
    EXPECT_TRUE(dir.list().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Limits, JpegFileSizeLimit,
    ::testing::Values(LimitCase{"Zero", [](size_t) -> rlim_t { return 0; }},
                      LimitCase{"Tiny", [](size_t) -> rlim_t { return 100; }},
                      LimitCase{"Half", [](size_t size) -> rlim_t { return size / 2; }},
                      LimitCase{"OneByteShort", [](size_t size) -> rlim_t { return size - 1; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JpegFileFailure, LimitOfExactlyTheFileSizeLetsItThrough) {
    // The limit mechanism itself: a limit of exactly the file's size lets the same write pass.
    ScratchDir dir;
    EXPECT_EQ(writeUnderSizeLimit(dir.file("picture5.jpg"), noiseFileSize()), 1);
    EXPECT_EQ(dir.list(), std::vector<std::string>{"picture5.jpg"});
}

TEST(JpegFileFailure, NullImageIsAWriteErrorAndLeavesNoFile) {
    ScratchDir dir;
    const std::string path = dir.file("picture1.jpg");
    writeFile(path, "older");
    EXPECT_THROW(vcl::writeJpegFile(QImage(), path), EWriteError);
    EXPECT_EQ(dir.list(), std::vector<std::string>{"picture1.jpg"});
    EXPECT_EQ(readFile(path), "older");
}

// ---- decodeJpeg -------------------------------------------------------------------------------

// Encodes with libjpeg directly, for streams writeJpegFile does not make.
std::string encodeWith(const QImage& image, bool progressive, bool grey) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = static_cast<JDIMENSION>(rgb.width());
    c.image_height = static_cast<JDIMENSION>(rgb.height());
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    if (grey)
        jpeg_set_colorspace(&c, JCS_GRAYSCALE);
    jpeg_set_quality(&c, 95, TRUE);
    if (progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(c.next_scanline)));
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::string out(reinterpret_cast<char*>(buffer), size);
    std::free(buffer);
    return out;
}

struct DecodeCase {
    const char* name;
    bool progressive, grey;
};

class JpegDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(JpegDecode, GivesRgb32PixelsOfTheStream) {
    const DecodeCase& c = GetParam();
    const QImage source = gradient(97, 61);
    const std::string data = encodeWith(source, c.progressive, c.grey);
    const QImage decoded = vcl::decodeJpeg(QByteArray(data.data(), static_cast<int>(data.size())));
    ASSERT_FALSE(decoded.isNull());
    EXPECT_EQ(decoded.format(), QImage::Format_RGB32);
    EXPECT_EQ(decoded.size(), QSize(97, 61));
    // Same pixels as libjpeg's own RGB output.
    const JpegInfo reference = readJpeg(data);
    ASSERT_TRUE(reference.ok);
    EXPECT_EQ(meanAbsoluteError(decoded, reference.pixels), 0.0);
    for (int y = 0; y < decoded.height(); ++y)
        for (int x = 0; x < decoded.width(); ++x)
            ASSERT_EQ(qAlpha(decoded.pixel(x, y)), 255);
    if (!c.grey) {
        EXPECT_LT(meanAbsoluteError(decoded, source), 2.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Streams, JpegDecode,
                         ::testing::Values(DecodeCase{"Baseline", false, false},
                                           DecodeCase{"Progressive", true, false},
                                           DecodeCase{"Greyscale", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(JpegDecode, ReadsBackWhatWriteJpegFileWrote) {
    ScratchDir dir;
    const QImage source = gradient(200, 150);
    vcl::writeJpegFile(source, dir.file("a.jpg"));
    const std::string data = readFile(dir.file("a.jpg"));
    const QImage decoded = vcl::decodeJpeg(QByteArray(data.data(), static_cast<int>(data.size())));
    ASSERT_EQ(decoded.size(), source.size());
    EXPECT_LT(meanAbsoluteError(decoded, source), 2.0);
}

struct CorruptCase {
    const char* name;
    std::string (*make)(const std::string& valid);
};

class JpegDecodeCorrupt : public ::testing::TestWithParam<CorruptCase> {};

TEST_P(JpegDecodeCorrupt, GivesANullImage) {
    const std::string valid = encodeWith(gradient(64, 64), false, false);
    const std::string data = GetParam().make(valid);
    const QImage decoded = vcl::decodeJpeg(QByteArray(data.data(), static_cast<int>(data.size())));
    EXPECT_TRUE(decoded.isNull());
}

INSTANTIATE_TEST_SUITE_P(
    Streams, JpegDecodeCorrupt,
    ::testing::Values(
        CorruptCase{"Empty", [](const std::string&) { return std::string(); }},
        CorruptCase{"NotAJpeg", [](const std::string&) { return std::string("GIF89a....", 10); }},
        CorruptCase{"OnlyStartMarker", [](const std::string&) { return std::string("\xFF\xD8"); }},
        CorruptCase{"CutInTheHeader",
                    [](const std::string& v) { return v.substr(0, v.find("\xFF\xC0") + 6); }},
        CorruptCase{"CutInTheScan", [](const std::string& v) { return v.substr(0, v.size() / 2); }},
        CorruptCase{"ZeroWidth",
                    [](const std::string& v) {
                        std::string s = v;
                        const size_t sof = s.find("\xFF\xC0");
                        s[sof + 7] = 0; // width, high byte
                        s[sof + 8] = 0; // width, low byte
                        return s;
                    }},
        CorruptCase{"BadHuffmanTableClass",
                    [](const std::string& v) {
                        std::string s = v;
                        s[s.find("\xFF\xC4") + 4] = 0x77; // table class 7: no such class
                        return s;
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JpegDecodeCorrupt, GarbageInTheScanDoesNotCrash) {
    const std::string valid = encodeWith(gradient(64, 64), false, false);
    for (unsigned round = 1; round <= 50; ++round) {
        std::string s = valid;
        const size_t scan = s.find("\xFF\xDA") + 14;
        for (size_t i = scan; i + 2 < s.size(); i += 7 + round % 5)
            s[i] = static_cast<char>(s[i] ^ (round * 37 + i));
        const QImage decoded = vcl::decodeJpeg(QByteArray(s.data(), static_cast<int>(s.size())));
        if (!decoded.isNull()) {
            EXPECT_EQ(decoded.size(), QSize(64, 64));
        }
    }
}

} // namespace
