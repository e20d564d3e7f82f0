// The main form: its start state, the clipboard monitor and the window shell.
#include "tests/gui/GadgetFixture.h"

#include "rtl/FileUtils.h"

#include <QCursor>
#include <QRegion>

namespace {

TEST_F(GadgetTest, StartsWithTheStartValues) {
    EXPECT_FALSE(form->Dragging);
    EXPECT_EQ(form->DragX, 0);
    EXPECT_EQ(form->DragY, 0);
    for (const AnsiString& l : form->Lines)
        EXPECT_TRUE(l.IsEmpty());
    EXPECT_EQ(form->ScrollY, -12);
    EXPECT_EQ(form->SelfHandle, form);
    EXPECT_EQ(form->Alpha, 255);
    EXPECT_EQ(form->ShotCount, 1);
    EXPECT_EQ(form->ShotNumber, 0);
    EXPECT_EQ(form->ShotInterval, 1);
    EXPECT_TRUE(form->OptionsAllowed);
    EXPECT_TRUE(form->AboutAllowed);
    EXPECT_EQ(form->PictureNumber, 1);
    EXPECT_FALSE(form->Hidden);

    EXPECT_TRUE(form->Timer1->Enabled());
    EXPECT_EQ(form->Timer1->Interval(), 250);
    EXPECT_FALSE(form->Timer2->Enabled());
    EXPECT_EQ(form->Timer2->Interval(), 25);
    EXPECT_FALSE(form->Timer3->Enabled());
    EXPECT_EQ(form->Timer3->Interval(), 1000);

    EXPECT_EQ(form->width(), 192);
    EXPECT_EQ(form->height(), 200);
    EXPECT_EQ(Cp1251ToUtf8(form->Caption()), "Quibra");
    EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    // The hidden edit lies outside the window and is never shown.
    EXPECT_FALSE(form->Edit1->isVisibleTo(form));
    EXPECT_GE(form->Edit1->Top(), 200);
    EXPECT_TRUE(form->Image2->ShowHint());
    EXPECT_FALSE(form->Image3->ShowHint());

    // Nothing drawn in the strips yet: they are fully transparent.
    for (TImage* strip : {form->Image2, form->Image3, form->Image4}) {
        const QImage& img = strip->Picture()->Image();
        ASSERT_FALSE(img.isNull());
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                ASSERT_EQ(qAlpha(img.pixel(x, y)), 0);
    }
}

TEST_F(GadgetTest, MakesTheCaptureFolderBesideTheProgram) {
    const std::string dir = form->ShotDir.str();
    ASSERT_GE(dir.size(), 11u);
    EXPECT_EQ(dir.substr(dir.size() - 11), "screenshot/");
    EXPECT_EQ(ExtractFilePath(Application->ExeName()).str() + "screenshot/", dir);
    EXPECT_TRUE(DirectoryExists(form->ShotDir));
}

TEST_F(GadgetTest, LoadsBothHandCursors) {
    EXPECT_EQ(form->Image1->Cursor(), 2);
    EXPECT_EQ(Screen->CursorFor(1).shape(), Qt::BitmapCursor);
    EXPECT_EQ(Screen->CursorFor(2).shape(), Qt::BitmapCursor);
    EXPECT_EQ(Screen->CursorFor(1).hotSpot(), QPoint(16, 16));
    EXPECT_NE(Screen->CursorFor(1).bitmap().toImage(), Screen->CursorFor(2).bitmap().toImage());
}

TEST_F(GadgetTest, RoundsTheWindowCornersWithTheRegion) {
    const QRegion mask = form->mask();
    struct Case {
        int x, y;
        bool inside;
    } cases[] = {
        {0, 0, false},    {191, 0, false}, {0, 199, false},   {191, 199, false}, // corners cut
        {2, 2, false},    {3, 3, true},    {96, 0, true},     {0, 100, true},    // edges whole
        {191, 100, true}, {96, 199, true}, {96, 100, true},   {10, 0, true},
        {9, 0, true},     {5, 1, true},    {1, 2, false},     {190, 2, false},
        {2, 3, true},     {188, 2, true},  {190, 198, false}, {187, 197, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mask.contains(QPoint(c.x, c.y)), c.inside) << c.x << "," << c.y;
    // The rounding comes from the 193 × 201 box: the right and bottom edges are full rows.
    for (int y = 10; y < 190; ++y)
        EXPECT_TRUE(mask.contains(QPoint(191, y))) << y;
}

struct MonitorCase {
    const char* name;
    std::optional<std::string> text;
    bool picture;
    const char* lines[3];
    const char* hint;
};

void PrintTo(const MonitorCase& c, std::ostream* os) {
    *os << c.name;
}

class MonitorTest : public GadgetTest, public ::testing::WithParamInterface<MonitorCase> {};

TEST_P(MonitorTest, FillsTheLinesFromTheClipboard) {
    const MonitorCase& c = GetParam();
    platform->text = c.text;
    if (c.picture)
        platform->picture = QImage(4, 4, QImage::Format_RGB32);
    tick();
    EXPECT_TRUE(reports.empty()) << reports.front();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(line(i), c.lines[i]) << "line " << i;
    EXPECT_EQ(Cp1251ToUtf8(form->Image2->Hint()), c.hint);
    EXPECT_TRUE(form->Edit1->Text().IsEmpty());
    // The tick hands over to the animation; asking for formats never fetched the picture.
    EXPECT_FALSE(form->Timer1->Enabled());
    EXPECT_TRUE(form->Timer2->Enabled());
    EXPECT_EQ(platform->pictureFetches, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MonitorTest,
    ::testing::Values(
        MonitorCase{"Hex", "0x1F", false, {"31", "Текст", "1F"}, "31"},
        MonitorCase{"Expression", "2+3*4", false, {"14", "Текст", "E"}, "14"},
        MonitorCase{"FirstLineOnly", "2+3\n7", false, {"5", "Текст", "5"}, "5"},
        MonitorCase{"CarriageReturn", "10/4\r\n99", false, {"2,5", "Текст", "2"}, "2,5"},
        MonitorCase{"StartsWithLineBreak", "\n12", false, {"???", "Текст", "???"}, "???"},
        MonitorCase{"Cyrillic", "2005 год", false, {"2005", "Текст", "7D5"}, "2005"},
        MonitorCase{"Empty", std::nullopt, false, {"???", "???", "???"}, ""},
        MonitorCase{"Picture", std::nullopt, true, {"???", "Рисунок", "???"}, ""},
        MonitorCase{"TextAndPicture", "0x1F", true, {"???", "Рисунок", "???"}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GadgetTest, ReportsAFailingTextOnceAndKeepsWatching) {
    platform->text = "7";
    tick();
    animate();
    platform->text = "1/0";
    tick();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "Floating point division by zero");
    // The display keeps its lines; the monitor is armed again with an empty edit.
    EXPECT_EQ(line(0), "7");
    EXPECT_EQ(line(2), "7");
    EXPECT_TRUE(form->Edit1->Text().IsEmpty());
    EXPECT_TRUE(form->Timer1->Enabled());
    EXPECT_FALSE(form->Timer2->Enabled());

    // The same text again: no new report, the cycle runs with unchanged lines.
    for (int i = 0; i < 3; ++i) {
        tick();
        EXPECT_EQ(animate(), 17);
    }
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_EQ(line(0), "7");

    // A new text is analysed; the old failing one would be reported again later.
    platform->text = "2+2";
    tick();
    animate();
    EXPECT_EQ(line(0), "4");
    platform->text = "1/0";
    tick();
    EXPECT_EQ(reports.size(), 2u);
}

TEST_F(GadgetTest, ToHexFailureLeavesTheLinesAsTheyWere) {
    platform->text = "5";
    tick();
    animate();
    platform->text = "100000*100000+1"; // 1E11 has no hexadecimal line
    tick();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "'1E11' is not a valid integer value");
    EXPECT_EQ(line(0), "5");
    EXPECT_EQ(line(1), "Текст");
    EXPECT_EQ(line(2), "5");
}

TEST_F(GadgetTest, AnOwnerThatDoesNotAnswerIsReportedOnce) {
    platform->busy = true;
    for (int i = 0; i < 4; ++i) {
        tick();
        EXPECT_TRUE(form->Timer1->Enabled());
    }
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "Cannot open clipboard");
    // Once it answers again the monitor works, and a later hang is a new fault.
    platform->busy = false;
    platform->text = "0x10";
    tick();
    EXPECT_EQ(line(0), "16");
    animate();
    platform->busy = true;
    tick();
    EXPECT_EQ(reports.size(), 2u);
}

TEST_F(GadgetTest, ATickLooksAtTheFormatsOnceAndNoFrameRunsInsideIt) {
    platform->text = "0x1F";
    platform->picture = QImage(4, 4, QImage::Format_RGB32);
    platform->printKey = true;
    bool timer2DuringARequest = false;
    platform->duringRequest = [&] { timer2DuringARequest |= form->Timer2->Enabled(); };
    for (int i = 0; i < 3; ++i) {
        platform->formatQueries = 0;
        tick();
        EXPECT_EQ(platform->formatQueries, 1);
        animate();
    }
    EXPECT_FALSE(timer2DuringARequest);
    EXPECT_TRUE(reports.empty());
}

TEST_F(GadgetTest, AnimationLengthsAndHandOver) {
    platform->text = "1";
    tick();
    EXPECT_EQ(animate(), 14); // the first one starts at -12
    EXPECT_EQ(form->ScrollY, -15);
    EXPECT_TRUE(form->Timer1->Enabled());
    tick();
    EXPECT_EQ(animate(), 17);
    EXPECT_EQ(form->ScrollY, -15);
}

// The rows and columns where a strip has ink.
QRect inkBox(const QImage& img) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) > 0)
                box |= QRect(x, y, 1, 1);
    return box;
}

// The strip's text drawn alone at (x, y), to find where the ink of a line drawn at a given
// place must appear.
QRect referenceInk(TImage* strip, const AnsiString& text, int x, int y) {
    QImage img(strip->Width(), strip->Height(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    TCanvas c(&img);
    c.Font = strip->Canvas()->Font;
    c.TransparentFills = true;
    c.TextOut(x, y, text);
    return inkBox(img);
}

TEST_F(GadgetTest, LinesSlideDownOnePixelPerFrameCentred) {
    platform->text = "12345";
    tick();
    TImage* strip = form->Image2;
    TCanvas* c = strip->Canvas();
    const int x = 60 - c->TextWidth("12345") / 2;
    // First animation: only the incoming line, from y = -12 to 1.
    for (int y = -12; y <= 1; ++y) {
        form->Timer2Timer(form->Timer2);
        EXPECT_EQ(inkBox(strip->Picture()->Image()), referenceInk(strip, "12345", x, y))
            << "y " << y;
    }
    EXPECT_FALSE(form->Timer2->Enabled());

    // Second: the new line from -15 to 1, the old one 17 pixels below it.
    platform->text = "7*7";
    tick();
    const int x2 = 60 - c->TextWidth("49") / 2;
    for (int y = -15; y <= 1; ++y) {
        form->Timer2Timer(form->Timer2);
        const QRect expected =
            referenceInk(strip, "49", x2, y) | referenceInk(strip, "12345", x, y + 17);
        EXPECT_EQ(inkBox(strip->Picture()->Image()), expected) << "y " << y;
    }
}

TEST_F(GadgetTest, CentresWithHalvesRoundedDownSeparately) {
    // A text of odd width: each half is rounded down before the subtraction.
    platform->text = "1";
    tick();
    TCanvas* c = form->Image3->Canvas();
    const AnsiString kind = form->Lines[1];
    const int w = c->TextWidth(kind);
    animate();
    const QRect ink = inkBox(form->Image3->Picture()->Image());
    EXPECT_EQ(ink, referenceInk(form->Image3, kind, 40 - w / 2, 1));
}

TEST_F(GadgetTest, UnchangedStripsAreNotTouched) {
    platform->text = "0x10";
    tick();
    animate();
    const QImage middle = form->Image3->Picture()->Image().copy();
    const QImage top = form->Image2->Picture()->Image().copy();
    platform->text = "0x20"; // a new number: the kind stays "Текст"
    tick();
    form->Timer2Timer(form->Timer2);
    EXPECT_EQ(form->Image3->Picture()->Image(), middle);
    EXPECT_NE(form->Image2->Picture()->Image(), top);
    animate();
    // The same lines again: nothing at all is drawn, and the monitor waits 17 frames.
    const QImage rest = form->Image2->Picture()->Image().copy();
    tick();
    EXPECT_EQ(animate(), 17);
    EXPECT_EQ(form->Image2->Picture()->Image(), rest);
}

TEST_F(GadgetTest, DragsWithTheLeftButtonWithinTheScreen) {
    const int sw = Screen->Width(), sh = Screen->Height();
    form->Image1MouseDown(form->Image1, mbRight, 0, 50, 60);
    form->Image1MouseDown(form->Image1, mbMiddle, 0, 50, 60);
    EXPECT_FALSE(form->Dragging);
    EXPECT_EQ(form->Image1->Cursor(), 2);
    EXPECT_FALSE(platform->confinement.has_value());

    form->Image1MouseDown(form->Image1, mbLeft, ssLeft, 50, 60);
    EXPECT_TRUE(form->Dragging);
    EXPECT_EQ(form->DragX, 50);
    EXPECT_EQ(form->DragY, 60);
    EXPECT_EQ(form->Image1->Cursor(), 1);
    // The pointer stays where the window stays on the screen, touching every edge.
    ASSERT_TRUE(platform->confinement.has_value());
    EXPECT_EQ(*platform->confinement, QRect(50, 60, sw - 192 + 1, sh - 200 + 1));

    QCursor::setPos(300, 200);
    form->Image1MouseMove(form->Image1, ssLeft, 0, 0);
    EXPECT_EQ(form->Left(), QCursor::pos().x() - 50);
    EXPECT_EQ(form->Top(), QCursor::pos().y() - 60);

    // Any button's release ends the drag; later moves leave the window alone.
    form->Image1MouseUp(form->Image1, mbRight, 0, 0, 0);
    EXPECT_FALSE(form->Dragging);
    EXPECT_EQ(form->Image1->Cursor(), 1 + 1);
    EXPECT_FALSE(platform->confinement.has_value());
    const QPoint at = form->pos();
    QCursor::setPos(10, 10);
    form->Image1MouseMove(form->Image1, 0, 0, 0);
    EXPECT_EQ(form->pos(), at);
}

TEST_F(GadgetTest, CentresAtTheFirstShowingOnlyAndStaysOutOfTheTaskbar) {
    form->show();
    EXPECT_EQ(form->Left(), std::max(0, (Screen->Width() - 192) / 2));
    EXPECT_EQ(form->Top(), std::max(0, (Screen->Height() - 200) / 2));
    EXPECT_EQ(platform->toolWindows.size(), 1u);
    form->move(5, 7);
    form->hide();
    form->show();
    EXPECT_EQ(form->pos(), QPoint(5, 7));
    EXPECT_EQ(platform->toolWindows.size(), 2u);
    form->FormActivate(form);
    EXPECT_EQ(platform->toolWindows.size(), 3u);
}

} // namespace
