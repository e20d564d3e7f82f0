// Print Screen pictures and timed series as the main form takes them: names, numbers, sizes,
// the series' start, restart and stop rules, and what a failure leaves behind.
#include "tests/gui/GadgetFixture.h"

#include "vcl/Jpeg.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

class CaptureTest : public GadgetTest {
protected:
    void SetUp() override {
        GadgetTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        form->ShotDir = AnsiString(dir.path().toStdString() + "/");
        platform->screen = patterned(Screen->Width(), Screen->Height());
    }

    static QImage patterned(int w, int h) {
        QImage img(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                img.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
        return img;
    }
    QImage file(const QString& name) const {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            return QImage();
        return vcl::decodeJpeg(f.readAll());
    }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
    void fire() {
        Application->Guard([this] { form->Timer3Timer(form->Timer3); });
    }

    QTemporaryDir dir;
};

TEST_F(CaptureTest, PrintScreenSavesTheClipboardPictureNumbered) {
    platform->picture = patterned(64, 48);
    platform->printKey = true;
    for (int i = 0; i < 10; ++i)
        tick();
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(form->PictureNumber, 11);
    EXPECT_EQ(file("picture1.jpg").size(), QSize(64, 48));
    EXPECT_EQ(file("picture10.jpg").size(), QSize(64, 48));
    EXPECT_EQ(files().size(), 10);
    // The same tick shows the picture lines.
    EXPECT_EQ(line(1), "Рисунок");
}

TEST_F(CaptureTest, NoPrintScreenNoFile) {
    platform->picture = patterned(64, 48);
    tick();
    EXPECT_TRUE(files().isEmpty());
    EXPECT_EQ(platform->pictureFetches, 0);
}

TEST_F(CaptureTest, PrintScreenWithoutAPictureKeepsTheNumber) {
    platform->printKey = true;
    platform->text = "12";
    tick();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "Unsupported clipboard format");
    EXPECT_EQ(form->PictureNumber, 1);
    EXPECT_TRUE(files().isEmpty());
    // The monitor goes on.
    EXPECT_TRUE(form->Timer1->Enabled());
}

TEST_F(CaptureTest, AFailedWriteUsesItsNumberUp) {
    platform->picture = patterned(64, 48);
    platform->printKey = true;
    form->ShotDir = AnsiString(dir.path().toStdString() + "/missing/");
    tick();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0],
              "Cannot create file " + dir.path().toStdString() + "/missing/picture1.jpg");
    EXPECT_EQ(form->PictureNumber, 2);
    form->ShotDir = AnsiString(dir.path().toStdString() + "/");
    tick();
    EXPECT_TRUE(QFile::exists(dir.filePath("picture2.jpg")));
    EXPECT_EQ(files(), QStringList{"picture2.jpg"});
}

TEST_F(CaptureTest, ASeriesWritesItsCountThenStops) {
    form->ShotCount = 3;
    form->NScreenShotClick(nullptr);
    EXPECT_TRUE(form->Timer3->Enabled());
    EXPECT_EQ(form->ShotNumber, 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(form->Timer3->Enabled());
        fire();
    }
    EXPECT_FALSE(form->Timer3->Enabled());
    EXPECT_EQ(files(), (QStringList{"photo1.jpg", "photo2.jpg", "photo3.jpg"}));
    const QImage photo = file("photo2.jpg");
    ASSERT_EQ(photo.size(), QSize(Screen->Width(), Screen->Height()));
    // Close to the screen's pixels.
    const QRgb a = photo.pixel(100, 50), b = platform->screen.pixel(100, 50);
    EXPECT_NEAR(qRed(a), qRed(b), 12);
    EXPECT_NEAR(qGreen(a), qGreen(b), 12);
    EXPECT_NEAR(qBlue(a), qBlue(b), 12);
}

TEST_F(CaptureTest, TheCommandAgainRestartsTheNumbering) {
    form->ShotCount = 2;
    form->NScreenShotClick(nullptr);
    fire();
    form->NScreenShotClick(nullptr);
    fire();
    EXPECT_TRUE(form->Timer3->Enabled()); // one capture after the restart, of two
    fire();
    EXPECT_FALSE(form->Timer3->Enabled());
    EXPECT_EQ(files(), (QStringList{"photo1.jpg", "photo2.jpg"}));
}

TEST_F(CaptureTest, ALoweredCountEndsTheSeriesAtTheNextCapture) {
    form->ShotCount = 5;
    form->NScreenShotClick(nullptr);
    fire();
    fire();
    form->ShotCount = 1; // below the two already taken
    fire();
    EXPECT_FALSE(form->Timer3->Enabled());
    EXPECT_EQ(form->ShotNumber, 3);
}

TEST_F(CaptureTest, AFailedSaveStillEndsTheSeries) {
    form->ShotDir = AnsiString(dir.path().toStdString() + "/missing/");
    form->NScreenShotClick(nullptr);
    fire();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "Cannot create file " + dir.path().toStdString() + "/missing/photo1.jpg");
    EXPECT_FALSE(form->Timer3->Enabled());
}

TEST_F(CaptureTest, AnUnreadableScreenIsReportedNotSavedBlank) {
    platform->screen = QImage();
    form->NScreenShotClick(nullptr);
    fire();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(files().isEmpty());
    EXPECT_FALSE(form->Timer3->Enabled());
}

} // namespace
