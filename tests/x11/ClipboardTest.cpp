// The X11 clipboard reader against real owners: xclip, and an owner of our own.
#include "tests/x11/FakeOwner.h"
#include "tests/x11/XServer.h"

#include "vcl/Jpeg.h"
#include "vcl/x11/X11Platform.h"

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <string>

using vcl::ClipFormats;
using vcl::ClipStatus;
using vcl::x11::X11Platform;
using Offers = std::vector<xtest::FakeOwner::Offer>;

namespace {

// Puts `data` on the clipboard through a foreground xclip offering `target`.
std::unique_ptr<xtest::Child> xclipOwner(const QByteArray& data, const char* target = nullptr) {
    QStringList args{"xclip", "-quiet", "-selection", "clipboard"};
    if (target)
        args << "-t" << target;
    args << "-i" << xtest::tempFile(data);
    auto child = std::make_unique<xtest::Child>(args);
    EXPECT_TRUE(xtest::waitForClipboardOwner()) << "xclip did not take the clipboard";
    return child;
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage testImage() {
    QImage image(37, 23, QImage::Format_RGB32);
    image.fill(QColor(200, 40, 30));
    return image;
}

QByteArray jpegBytes(const QImage& image) {
    const QString path = xtest::tempFile({}, ".jpg");
    vcl::writeJpegFile(image, path.toStdString());
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

TEST(X11Clipboard, EmptyClipboardOffersNothing) {
    ASSERT_TRUE(xtest::waitForClipboardOwner(false));
    X11Platform platform;
    ClipFormats formats;
    formats.text = formats.picture = true;
    EXPECT_EQ(platform.clipboardFormats(formats), ClipStatus::Ok);
    EXPECT_FALSE(formats.text);
    EXPECT_FALSE(formats.picture);

    std::string text = "stale";
    bool present = true;
    EXPECT_EQ(platform.clipboardText(text, present), ClipStatus::Ok);
    EXPECT_FALSE(present);
    EXPECT_TRUE(text.empty());

    QImage picture(2, 2, QImage::Format_RGB32);
    present = true;
    EXPECT_EQ(platform.clipboardPicture(picture, present), ClipStatus::Ok);
    EXPECT_FALSE(present);
    EXPECT_TRUE(picture.isNull());
}

struct TextCase {
    const char* name;
    const char* target; // xclip's target; nullptr: its default (UTF8_STRING)
    QByteArray offered;
    std::string expected; // UTF-8
};

class X11ClipboardText : public ::testing::TestWithParam<TextCase> {};

TEST_P(X11ClipboardText, WholeTextArrivesAsUtf8) {
    const TextCase& c = GetParam();
    auto owner = xclipOwner(c.offered, c.target);
    X11Platform platform;

    ClipFormats formats;
    ASSERT_EQ(platform.clipboardFormats(formats), ClipStatus::Ok);
    EXPECT_TRUE(formats.text);
    EXPECT_FALSE(formats.picture);

    std::string text;
    bool present = false;
    ASSERT_EQ(platform.clipboardText(text, present), ClipStatus::Ok);
    EXPECT_TRUE(present);
    EXPECT_EQ(text, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, X11ClipboardText,
    ::testing::Values(TextCase{"Hexadecimal", nullptr, "0x1F", "0x1F"},
                      TextCase{"Cyrillic", nullptr, "Привет, мир: 2+3", "Привет, мир: 2+3"},
                      TextCase{"MultiLine", nullptr, "2+3\n7\n", "2+3\n7\n"},
                      TextCase{"StartsWithLineBreak", nullptr, "\r\n2+3", "\r\n2+3"},
                      // A Latin-1 STRING owner: the bytes are converted to UTF-8.
                      TextCase{"Latin1String", "STRING", "caf\xe9 5", "caf\xc3\xa9 5"},
                      TextCase{"PlainUtf8", "text/plain;charset=utf-8", "1,5*2", "1,5*2"}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

struct PictureCase {
    const char* name;
    const char* target;
    const char* format; // "PNG", "BMP", or "JPEG" (written through libjpeg)
};

class X11ClipboardPicture : public ::testing::TestWithParam<PictureCase> {};

TEST_P(X11ClipboardPicture, PictureIsReportedAndDecoded) {
    const PictureCase& c = GetParam();
    const QImage source = testImage();
    const QByteArray bytes =
        QByteArray(c.format) == "JPEG" ? jpegBytes(source) : encoded(source, c.format);
    ASSERT_FALSE(bytes.isEmpty());
    auto owner = xclipOwner(bytes, c.target);
    X11Platform platform;

    ClipFormats formats;
    ASSERT_EQ(platform.clipboardFormats(formats), ClipStatus::Ok);
    EXPECT_TRUE(formats.picture);
    EXPECT_FALSE(formats.text);

    QImage picture;
    bool present = false;
    ASSERT_EQ(platform.clipboardPicture(picture, present), ClipStatus::Ok);
    ASSERT_TRUE(present);
    EXPECT_EQ(picture.size(), source.size());
    EXPECT_EQ(picture.format(), QImage::Format_RGB32);
    const QColor centre = picture.pixelColor(18, 11);
    EXPECT_NEAR(centre.red(), 200, 6);
    EXPECT_NEAR(centre.green(), 40, 6);
    EXPECT_NEAR(centre.blue(), 30, 6);

    // A picture owner has no text to give.
    std::string text;
    present = true;
    EXPECT_EQ(platform.clipboardText(text, present), ClipStatus::Ok);
    EXPECT_FALSE(present);
}

INSTANTIATE_TEST_SUITE_P(Pictures, X11ClipboardPicture,
                         ::testing::Values(PictureCase{"Png", "image/png", "PNG"},
                                           PictureCase{"Bmp", "image/bmp", "BMP"},
                                           PictureCase{"Jpeg", "image/jpeg", "JPEG"}),
                         [](const ::testing::TestParamInfo<PictureCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(X11Clipboard, TextAndPictureTogether) {
    xtest::FakeOwner owner(
        Offers{{"UTF8_STRING", "12+1"}, {"image/png", encoded(testImage(), "PNG")}});
    ASSERT_TRUE(owner.owns());
    X11Platform platform;

    ClipFormats formats;
    ASSERT_EQ(platform.clipboardFormats(formats), ClipStatus::Ok);
    EXPECT_TRUE(formats.text);
    EXPECT_TRUE(formats.picture);

    std::string text;
    bool present = false;
    ASSERT_EQ(platform.clipboardText(text, present), ClipStatus::Ok);
    EXPECT_TRUE(present);
    EXPECT_EQ(text, "12+1");

    QImage picture;
    present = false;
    ASSERT_EQ(platform.clipboardPicture(picture, present), ClipStatus::Ok);
    EXPECT_TRUE(present);
    EXPECT_EQ(picture.size(), QSize(37, 23));
}

TEST(X11Clipboard, FormatsNeverFetchPictureData) {
    xtest::FakeOwner owner(Offers{{"image/png", encoded(testImage(), "PNG")}});
    ASSERT_TRUE(owner.owns());
    X11Platform platform;
    ClipFormats formats;
    ASSERT_EQ(platform.clipboardFormats(formats), ClipStatus::Ok);
    EXPECT_TRUE(formats.picture);
    EXPECT_EQ(owner.requested(), std::vector<QByteArray>{"TARGETS"});
}

TEST(X11Clipboard, OwnerRefusingEverythingOffersNothing) {
    xtest::FakeOwner owner(Offers{{"UTF8_STRING", "5"}}, /*refuseAll=*/true);
    ASSERT_TRUE(owner.owns());
    X11Platform platform;
    ClipFormats formats;
    EXPECT_EQ(platform.clipboardFormats(formats), ClipStatus::Ok);
    EXPECT_FALSE(formats.text);
    EXPECT_FALSE(formats.picture);
    std::string text;
    bool present = true;
    EXPECT_EQ(platform.clipboardText(text, present), ClipStatus::Ok);
    EXPECT_FALSE(present);
}

TEST(X11Clipboard, CorruptPictureIsNotPresent) {
    xtest::FakeOwner owner(Offers{{"image/png", "not a png at all"}});
    ASSERT_TRUE(owner.owns());
    X11Platform platform;
    QImage picture;
    bool present = true;
    EXPECT_EQ(platform.clipboardPicture(picture, present), ClipStatus::Ok);
    EXPECT_FALSE(present);
    EXPECT_TRUE(picture.isNull());
}

// Large texts come in INCR pieces; the bound is per piece, so the whole text arrives.
class X11ClipboardLarge : public ::testing::TestWithParam<int> {};

TEST_P(X11ClipboardLarge, LongLineArrivesWhole) {
    const int megabytes = GetParam();
    QByteArray line(megabytes << 20, '7');
    line[0] = '1';
    line[line.size() - 1] = '9';
    auto owner = xclipOwner(line);
    X11Platform platform;
    std::string text;
    bool present = false;
    ASSERT_EQ(platform.clipboardText(text, present), ClipStatus::Ok);
    ASSERT_TRUE(present);
    ASSERT_EQ(text.size(), size_t(line.size()));
    EXPECT_TRUE(text == line.toStdString());
}

INSTANTIATE_TEST_SUITE_P(Sizes, X11ClipboardLarge, ::testing::Values(4, 50),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::to_string(info.param) + "MB";
                         });

// A stopped owner: every call gives Busy while the GUI thread's timers keep firing; once the
// owner runs again, the late answers to the given-up requests are not taken for new ones.
TEST(X11Clipboard, HungOwnerGivesBusyAndKeepsTheLoopAlive) {
    auto owner = xclipOwner("0x10");
    X11Platform platform;
    ClipFormats formats;
    ASSERT_EQ(platform.clipboardFormats(formats), ClipStatus::Ok);
    ASSERT_TRUE(formats.text);

    owner->signal(SIGSTOP);
    int ticks = 0;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });

    timer.start();
    EXPECT_EQ(platform.clipboardFormats(formats), ClipStatus::Busy);
    timer.stop();
    EXPECT_GE(ticks, 3) << "the event loop stood still while waiting";

    ticks = 0;
    timer.start();
    std::string text;
    bool present = true;
    EXPECT_EQ(platform.clipboardText(text, present), ClipStatus::Busy);
    timer.stop();
    EXPECT_GE(ticks, 3);
    EXPECT_FALSE(present);

    ticks = 0;
    timer.start();
    QImage picture;
    EXPECT_EQ(platform.clipboardPicture(picture, present), ClipStatus::Busy);
    timer.stop();
    EXPECT_GE(ticks, 3);

    // The owner answers the three abandoned TARGETS requests first, then ours.
    owner->signal(SIGCONT);
    ASSERT_EQ(platform.clipboardText(text, present), ClipStatus::Ok);
    EXPECT_TRUE(present);
    EXPECT_EQ(text, "0x10");
    ASSERT_EQ(platform.clipboardFormats(formats), ClipStatus::Ok);
    EXPECT_TRUE(formats.text);
    EXPECT_FALSE(formats.picture);

    // A new owner after the hung one is read as usual.
    owner->kill();
    ASSERT_TRUE(xtest::waitForClipboardOwner(false));
    auto next = xclipOwner("42");
    ASSERT_EQ(platform.clipboardText(text, present), ClipStatus::Ok);
    EXPECT_EQ(text, "42");
}

// An owner slower than the bound: each request is given up, and its late answer, arriving
// while a later request waits, must not be taken for that request's answer.
TEST(X11Clipboard, LateAnswersAreNotTakenForLaterRequests) {
    xtest::FakeOwner owner(Offers{{"UTF8_STRING", "0x2A"}});
    ASSERT_TRUE(owner.owns());
    owner.setDelay(700);
    X11Platform platform;
    ClipFormats formats;
    std::string text;
    bool present = false;
    EXPECT_EQ(platform.clipboardFormats(formats), ClipStatus::Busy);
    EXPECT_EQ(platform.clipboardText(text, present), ClipStatus::Busy);
    EXPECT_EQ(platform.clipboardFormats(formats), ClipStatus::Busy);
    EXPECT_EQ(platform.clipboardText(text, present), ClipStatus::Busy);

    owner.setDelay(0);
    ASSERT_EQ(platform.clipboardText(text, present), ClipStatus::Ok);
    EXPECT_TRUE(present);
    EXPECT_EQ(text, "0x2A");
    ASSERT_EQ(platform.clipboardFormats(formats), ClipStatus::Ok);
    EXPECT_TRUE(formats.text);
}
