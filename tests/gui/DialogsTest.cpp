// The settings and About dialogs: layout, values from the main form, placement, wrap, opacity,
// the flags that keep each dialog single, closing and freeing.
#include "tests/gui/GadgetFixture.h"

#include "dialogs/About.h"
#include "dialogs/Options.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

namespace {

class DialogsTest : public GadgetTest {
protected:
    void SetUp() override {
        GadgetTest::SetUp();
        // As in the program, the main form comes from the application object, so it is the
        // application's main form and the dialogs created after it are not.
        TForm::Destroy(form);
        if (!ShotBitmap) {
            ShotBitmap = new TBitmap;
            ScreenCanvas = new TCanvas;
            ShotJpeg = new TJPEGImage;
        }
        Application->CreateForm(Form1);
        form = Form1;
        ASSERT_EQ(Application->MainForm(), form);
    }
    void TearDown() override {
        settle();
        TForm::Destroy(Form2);
        TForm::Destroy(Form3);
        GadgetTest::TearDown();
    }

    // Runs the posted work, among it the freeing of closed dialogs.
    static void settle() {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
    static TForm2* openOptions() {
        Application->CreateForm(Form2);
        return Form2;
    }
    static TForm3* openAbout() {
        Application->CreateForm(Form3);
        return Form3;
    }
    bool layered() const { return GetWindowLongA(form->SelfHandle, GWL_EXSTYLE) & WS_EX_LAYERED; }
};

std::string utf8(const AnsiString& s) {
    return Cp1251ToUtf8(s);
}

// A label keeps its layout box when its text fits, and widens about the box's centre when not.
void expectLabelBox(const TLabel* label, const QRect& box) {
    SCOPED_TRACE(utf8(label->Caption()));
    const int text = QFontMetrics(label->Font.ToQFont())
                         .horizontalAdvance(QString::fromStdString(utf8(label->Caption())));
    EXPECT_EQ(label->Top(), box.top());
    EXPECT_EQ(label->Height(), box.height());
    EXPECT_EQ(label->Width(), std::max(box.width(), text));
    EXPECT_LE(std::abs((2 * label->Left() + label->Width()) - (2 * box.left() + box.width())), 1);
}

void expectBox(const TControl* c, const QRect& box) {
    EXPECT_EQ(QRect(c->Left(), c->Top(), c->Width(), c->Height()), box);
}

void expectDialogFrame(TForm* dialog) {
    EXPECT_EQ(dialog->width(), 287);
    EXPECT_EQ(dialog->height(), 164);
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()); // no resizing
    const Qt::WindowFlags flags = dialog->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(dialog->palette().color(QPalette::Window), ToQColor(clBtnFace));
    EXPECT_EQ(dialog->font().family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(dialog->font().pixelSize(), 11);
}

// ---------------------------------------------------------------- settings dialog

TEST_F(DialogsTest, SettingsDialogStartsFromTheMainForm) {
    form->ShotCount = 7;
    form->ShotInterval = 42;
    form->Timer3->SetInterval(42000);
    TForm2* d = openOptions();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(Form2, d);

    EXPECT_EQ(d->Caption().str(), "\xCD\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8"); // Настройки
    expectDialogFrame(d);

    for (TShape* s : {d->Shape1, d->Shape2}) {
        EXPECT_EQ(s->Shape, stRoundRect);
        EXPECT_EQ(s->Pen.Color, clGray);
        EXPECT_EQ(s->Brush.Style, bsClear);
    }
    expectBox(d->Shape1, QRect(8, 16, 273, 57));
    expectBox(d->Shape2, QRect(8, 88, 273, 65));
    EXPECT_EQ(utf8(d->Label1->Caption()), "Прозрачность");
    EXPECT_EQ(utf8(d->Label2->Caption()), "Параметры снимков экрана");
    EXPECT_EQ(utf8(d->Label3->Caption()), "Количество снимков");
    EXPECT_EQ(utf8(d->Label4->Caption()), "Частота снимков (сек.)");
    expectLabelBox(d->Label1, QRect(107, 10, 72, 13));
    expectLabelBox(d->Label2, QRect(72, 82, 145, 13));
    expectLabelBox(d->Label3, QRect(27, 129, 106, 13));
    expectLabelBox(d->Label4, QRect(150, 129, 119, 13));
    // Opaque labels over their frames: each label stacks above the frame it interrupts.
    const QObjectList& kids = d->children();
    EXPECT_LT(kids.indexOf(d->Shape1), kids.indexOf(d->Label1));
    EXPECT_LT(kids.indexOf(d->Shape2), kids.indexOf(d->Label2));
    EXPECT_FALSE(d->Label1->Transparent);
    EXPECT_EQ(d->Label1->Color, clBtnFace);

    expectBox(d->TrackBar1, QRect(19, 32, 252, 25));
    EXPECT_EQ(d->TrackBar1->Min(), 20);
    EXPECT_EQ(d->TrackBar1->Max(), 255);
    EXPECT_EQ(d->TrackBar1->Position(), 255);
    EXPECT_EQ(d->TrackBar1->Frequency(), 17);
    EXPECT_EQ(d->TrackBar1->TickMarks(), tmBottomRight);
    EXPECT_EQ(d->TrackBar1->ThumbLength(), 15);
    EXPECT_EQ(d->TrackBar1->Slider()->orientation(), Qt::Horizontal);
    EXPECT_EQ(d->TrackBar1->Slider()->tickPosition(), QSlider::TicksBelow);
    const std::vector<int> ticks = {20,  37,  54,  71,  88,  105, 122, 139,
                                    156, 173, 190, 207, 224, 241, 255};
    EXPECT_EQ(d->TrackBar1->TickValues(), ticks);
    EXPECT_EQ(d->TrackBar1->Cursor(), crHandPoint);
    EXPECT_EQ(d->TrackBar1->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(d->TrackBar1->TabStop());

    expectBox(d->Edit1, QRect(48, 104, 49, 21));
    expectBox(d->UpDown1, QRect(97, 104, 17, 21));
    expectBox(d->Edit2, QRect(176, 104, 49, 21));
    expectBox(d->UpDown2, QRect(225, 104, 16, 21));
    for (TEdit* e : {d->Edit1, d->Edit2}) {
        EXPECT_TRUE(e->ReadOnly());
        EXPECT_FALSE(e->TabStop());
    }
    EXPECT_EQ(d->UpDown1->Associate(), d->Edit1);
    EXPECT_EQ(d->UpDown2->Associate(), d->Edit2);
    EXPECT_EQ(d->UpDown1->Min(), 1);
    EXPECT_EQ(d->UpDown1->Max(), 100);
    EXPECT_EQ(d->UpDown2->Min(), 1);
    EXPECT_EQ(d->UpDown2->Max(), 600);
    EXPECT_TRUE(d->UpDown1->Wrap);
    EXPECT_TRUE(d->UpDown2->Wrap);

    // The main form's values, shown as plain numbers.
    EXPECT_EQ(d->UpDown1->Position(), 7);
    EXPECT_EQ(d->UpDown2->Position(), 42);
    EXPECT_EQ(d->Edit1->Text().str(), "7");
    EXPECT_EQ(d->Edit2->Text().str(), "42");
    EXPECT_EQ(form->ShotCount, 7);
    EXPECT_EQ(form->ShotInterval, 42);
    EXPECT_EQ(form->Timer3->Interval(), 42000);
    EXPECT_FALSE(form->OptionsAllowed);
    EXPECT_TRUE(form->AboutAllowed);
    EXPECT_FALSE(layered());

    // Tab order: TrackBar1, Edit1, UpDown1, Edit2, UpDown2.
    std::vector<QWidget*> chain;
    QWidget* w = d->TrackBar1->Slider();
    for (int i = 0; i < 100 && (chain.empty() || w != chain.front());
         ++i, w = w->nextInFocusChain())
        chain.push_back(w);
    auto at = [&chain](QWidget* x) {
        return std::find(chain.begin(), chain.end(), x) - chain.begin();
    };
    const auto slider = at(d->TrackBar1->Slider());
    const auto edit1 = at(d->Edit1->findChild<QLineEdit*>());
    const auto upDown1 = at(d->UpDown1);
    const auto edit2 = at(d->Edit2->findChild<QLineEdit*>());
    const auto upDown2 = at(d->UpDown2);
    EXPECT_LT(slider, edit1);
    EXPECT_LT(edit1, upDown1);
    EXPECT_LT(upDown1, edit2);
    EXPECT_LT(edit2, upDown2);
    EXPECT_LT(upDown2, static_cast<long>(chain.size()));
}

TEST_F(DialogsTest, SliderStartsFromAlphaAndMakesTheWindowLayeredThen) {
    form->Alpha = 100;
    TForm2* d = openOptions();
    EXPECT_EQ(d->TrackBar1->Position(), 100);
    // A position other than the stored 255 fires the change and applies the opacity again.
    EXPECT_TRUE(layered());
    EXPECT_NEAR(form->windowOpacity(), 100 / 255.0, 0.003);
}

struct WrapCase {
    const char* name;
    int max;
    bool count; // UpDown1 (count) or UpDown2 (period)
};

void PrintTo(const WrapCase& c, std::ostream* os) {
    *os << c.name;
}

class UpDownWrap : public DialogsTest, public ::testing::WithParamInterface<WrapCase> {};

TEST_P(UpDownWrap, WrapsAtBothEndsAndWritesTheMainForm) {
    const WrapCase& c = GetParam();
    TForm2* d = openOptions();
    TUpDown* upDown = c.count ? d->UpDown1 : d->UpDown2;
    TEdit* edit = c.count ? d->Edit1 : d->Edit2;
    const int& value = c.count ? form->ShotCount : form->ShotInterval;
    auto expectAt = [&](int v) {
        EXPECT_EQ(upDown->Position(), v);
        EXPECT_EQ(edit->Text().str(), std::to_string(v));
        EXPECT_EQ(value, v);
        if (!c.count) {
            EXPECT_EQ(form->Timer3->Interval(), v * 1000);
        }
    };

    upDown->DownButton()->click(); // 1 → max
    expectAt(c.max);
    upDown->UpButton()->click(); // max → 1
    expectAt(1);
    upDown->UpButton()->click();
    expectAt(2);

    // The Up and Down keys in the edit field step it too.
    QLineEdit* line = edit->findChild<QLineEdit*>();
    ASSERT_NE(line, nullptr);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(line, &down);
    expectAt(1);
    QCoreApplication::sendEvent(line, &down);
    expectAt(c.max);
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QCoreApplication::sendEvent(line, &up);
    expectAt(1);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, UpDownWrap,
                         ::testing::Values(WrapCase{"Count", 100, true},
                                           WrapCase{"Period", 600, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogsTest, PeriodSetsTheCaptureTimersInterval) {
    TForm2* d = openOptions();
    for (int v : {5, 600, 1, 37}) {
        d->UpDown2->SetPosition(static_cast<std::int16_t>(v));
        EXPECT_EQ(form->ShotInterval, v);
        EXPECT_EQ(form->Timer3->Interval(), v * 1000);
    }
}

TEST_F(DialogsTest, OpeningAndClosingUntouchedLeavesTheWindowAsItWas) {
    QPointer<TForm2> d = openOptions();
    d->Close();
    settle();
    EXPECT_TRUE(d.isNull());
    EXPECT_FALSE(layered());
    EXPECT_DOUBLE_EQ(form->windowOpacity(), 1.0);
    EXPECT_EQ(form->Alpha, 255);
    EXPECT_EQ(form->ShotCount, 1);
    EXPECT_EQ(form->ShotInterval, 1);
    EXPECT_EQ(form->Timer3->Interval(), 1000);
    EXPECT_TRUE(form->OptionsAllowed);
}

TEST_F(DialogsTest, SliderAppliesOpacityAtOnceAndAlphaFollowsOnClosing) {
    TForm2* d = openOptions();
    d->TrackBar1->SetPosition(20);
    EXPECT_TRUE(layered());
    EXPECT_NEAR(form->windowOpacity(), 20 / 255.0, 0.003);
    EXPECT_EQ(form->Alpha, 255); // written only when the dialog closes
    d->Close();
    settle();
    EXPECT_EQ(form->Alpha, 20);

    // Reopening starts from it; back at 255 the window stays layered, now opaque.
    d = openOptions();
    EXPECT_EQ(d->TrackBar1->Position(), 20);
    d->TrackBar1->SetPosition(255);
    EXPECT_TRUE(layered());
    EXPECT_DOUBLE_EQ(form->windowOpacity(), 1.0);
    d->Close();
    settle();
    EXPECT_EQ(form->Alpha, 255);
    EXPECT_TRUE(layered());
}

TEST_F(DialogsTest, SliderChangesAHiddenWindowAndItKeepsTheOpacityWhenShown) {
    form->Show();
    form->hide();
    TForm2* d = openOptions();
    d->TrackBar1->Slider()->setValue(128); // as a drag of the thumb does
    EXPECT_NEAR(form->windowOpacity(), 128 / 255.0, 0.003);
    form->Show();
    EXPECT_NEAR(form->windowOpacity(), 128 / 255.0, 0.003);
}

TEST_F(DialogsTest, LayeredAttributesNeedTheLayeredStyle) {
    EXPECT_FALSE(SetLayeredWindowAttributes(form, 0, 50, LWA_ALPHA));
    EXPECT_DOUBLE_EQ(form->windowOpacity(), 1.0);
    EXPECT_EQ(SetWindowLongA(form, GWL_EXSTYLE, WS_EX_LAYERED), 0);
    EXPECT_TRUE(SetLayeredWindowAttributes(form, 0, 51, LWA_ALPHA));
    EXPECT_NEAR(form->windowOpacity(), 0.2, 0.003);
    // Dropping the style makes the window opaque again.
    EXPECT_EQ(SetWindowLongA(form, GWL_EXSTYLE, 0), WS_EX_LAYERED);
    EXPECT_DOUBLE_EQ(form->windowOpacity(), 1.0);
}

// ---------------------------------------------------------------- placement

struct PlaceCase {
    const char* name;
    int mainLeft; // relative to (screen width - 192 - 287)
    bool right;
};

void PrintTo(const PlaceCase& c, std::ostream* os) {
    *os << c.name;
}

class Placement : public DialogsTest, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(Placement, BesideTheMainWindowAtItsTop) {
    const PlaceCase& c = GetParam();
    const int edge = Screen->Width() - 192 - 287;
    const int mainLeft = c.mainLeft == -9999 ? 0 : edge + c.mainLeft;
    form->move(mainLeft, 57);
    const int expected = c.right ? mainLeft + 192 : mainLeft - 287;
    // Offscreen there is no window manager frame: the outer width is the client width.
    for (TForm* d : std::initializer_list<TForm*>{openOptions(), openAbout()}) {
        EXPECT_EQ(d->frameGeometry().topLeft(), QPoint(expected, 57)) << d->ClassName();
    }
}

INSTANTIATE_TEST_SUITE_P(Dialogs, Placement,
                         ::testing::Values(PlaceCase{"AtTheLeftEdge", -9999, true},
                                           PlaceCase{"OnePixelBeforeTheLimit", -1, true},
                                           PlaceCase{"AtTheLimit", 0, false},
                                           PlaceCase{"AtTheRightEdge", 287, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- About dialog

TEST_F(DialogsTest, AboutDialogLayout) {
    TForm3* d = openAbout();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(Form3, d);
    EXPECT_EQ(d->Caption().str(), "\xCE \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE5"); // О программе
    expectDialogFrame(d);
    EXPECT_FALSE(form->AboutAllowed);
    EXPECT_TRUE(form->OptionsAllowed);

    expectBox(d->Image1, QRect(8, 13, 100, 100));
    EXPECT_EQ(d->Image1->Picture()->Image().size(), QSize(100, 100));
    expectBox(d->Image2, QRect(149, 16, 100, 35));
    const QImage& logo = d->Image2->Picture()->Image();
    ASSERT_EQ(logo.size(), QSize(100, 35));
    EXPECT_TRUE(d->Image2->Transparent());
    // White, the lower-left pixel's colour, is left out; the lettering is not.
    EXPECT_EQ(qAlpha(logo.pixel(0, 34)), 0);
    EXPECT_EQ(qAlpha(logo.pixel(99, 0)), 0);
    int opaque = 0;
    for (int y = 0; y < logo.height(); ++y)
        for (int x = 0; x < logo.width(); ++x)
            opaque += qAlpha(logo.pixel(x, y)) == 255;
    EXPECT_GT(opaque, 300);

    EXPECT_EQ(d->Label1->Caption().str(), "Quibra - version 1.0");
    EXPECT_TRUE(d->Label1->Font.Style & fsBold);
    expectLabelBox(d->Label1, QRect(143, 56, 113, 13));
    EXPECT_EQ(utf8(d->Label2->Caption()), "© 2026 The Quibra project");
    EXPECT_FALSE(d->Label2->Font.Style & fsBold);
    expectBox(d->Label2, QRect(118, 80, 161, 13)); // its text fits
    EXPECT_EQ(d->Label3->Caption().str(), "quibra@example.org");
    EXPECT_EQ(d->Label3->Font.Color, clBlue);
    expectBox(d->Label3, QRect(142, 104, 118, 13));
    EXPECT_EQ(d->Label3->Cursor(), crHandPoint);

    expectBox(d->Button1, QRect(8, 128, 273, 25));
    EXPECT_EQ(d->Button1->Caption().str(), "OK");
    EXPECT_FALSE(d->Button1->TabStop());
}

TEST_F(DialogsTest, LinkTurnsTealOverItAndBlueOverTheBareDialog) {
    TForm3* d = openAbout();
    d->Show();
    auto move = [](QWidget* w) {
        QMouseEvent e(QEvent::MouseMove, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    };
    move(d->Label3);
    EXPECT_EQ(d->Label3->Font.Color, clTeal);
    // Leaving it for a picture or another label keeps the colour.
    move(d->Image1);
    move(d->Label1);
    EXPECT_EQ(d->Label3->Font.Color, clTeal);
    move(d);
    EXPECT_EQ(d->Label3->Font.Color, clBlue);
}

TEST_F(DialogsTest, LinkOpensAMessageToTheProjectAddress) {
    QTextBrowser receiver;
    QList<QUrl> opened;
    QObject::connect(&receiver, &QTextBrowser::anchorClicked,
                     [&opened](const QUrl& u) { opened.append(u); });
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &receiver, "anchorClicked");
    TForm3* d = openAbout();
    d->Show();
    const QPointF at(4, 4);
    QMouseEvent press(QEvent::MouseButtonPress, at, d->Label3->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, d->Label3->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(d->Label3, &press);
    QCoreApplication::sendEvent(d->Label3, &release);
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.front(), QUrl(QStringLiteral("mailto:quibra@example.org")));
}

// ---------------------------------------------------------------- flags and closing

TEST_F(DialogsTest, EachDialogHasItsOwnFlag) {
    TForm2* options = openOptions();
    EXPECT_FALSE(form->OptionsAllowed);
    EXPECT_TRUE(form->AboutAllowed);
    TForm3* about = openAbout(); // on top of the settings dialog
    EXPECT_FALSE(form->OptionsAllowed);
    EXPECT_FALSE(form->AboutAllowed);
    about->Close();
    settle();
    EXPECT_FALSE(form->OptionsAllowed);
    EXPECT_TRUE(form->AboutAllowed);
    EXPECT_EQ(Form2, options);
    options->Close();
    settle();
    EXPECT_TRUE(form->OptionsAllowed);
}

enum class CloseBy { CloseCall, WindowManager, OkButton };

struct CloseCase {
    const char* name;
    bool about;
    CloseBy by;
};

void PrintTo(const CloseCase& c, std::ostream* os) {
    *os << c.name;
}

class Closing : public DialogsTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(Closing, RestoresTheFlagAndFreesTheDialog) {
    const CloseCase& c = GetParam();
    TForm* d = c.about ? static_cast<TForm*>(openAbout()) : openOptions();
    QPointer<TForm> alive = d;
    d->Show();
    bool& flag = c.about ? form->AboutAllowed : form->OptionsAllowed;
    EXPECT_FALSE(flag);
    switch (c.by) {
    case CloseBy::CloseCall:
        d->Close();
        break;
    case CloseBy::WindowManager: {
        // What the window manager's close button or Alt+F4 delivers.
        QCloseEvent e;
        QCoreApplication::sendEvent(d->windowHandle(), &e);
        break;
    }
    case CloseBy::OkButton:
        static_cast<TForm3*>(d)->Button1->Button()->click();
        break;
    }
    EXPECT_TRUE(flag);
    settle();
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(c.about ? static_cast<TForm*>(Form3) : static_cast<TForm*>(Form2), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, Closing,
    ::testing::Values(CloseCase{"SettingsByClose", false, CloseBy::CloseCall},
                      CloseCase{"SettingsByWindowManager", false, CloseBy::WindowManager},
                      CloseCase{"AboutByClose", true, CloseBy::CloseCall},
                      CloseCase{"AboutByWindowManager", true, CloseBy::WindowManager},
                      CloseCase{"AboutByOk", true, CloseBy::OkButton}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogsTest, EscapeDoesNotCloseADialogWithoutCancelButton) {
    for (TForm* d : std::initializer_list<TForm*>{openOptions(), openAbout()}) {
        QPointer<TForm> alive = d;
        d->Show();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(d, &escape);
        settle();
        EXPECT_FALSE(alive.isNull()) << d->ClassName();
    }
    EXPECT_FALSE(form->OptionsAllowed);
    EXPECT_FALSE(form->AboutAllowed);
}

TEST_F(DialogsTest, TimersKeepRunningWhileADialogIsModal) {
    for (bool about : {false, true}) {
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
        ticker.start(5);
        TForm* d = about ? static_cast<TForm*>(openAbout()) : openOptions();
        QPointer<TForm> alive = d;
        int ticksWhenClosed = -1;
        QTimer::singleShot(100, [&] {
            ticksWhenClosed = ticks;
            d->Close();
        });
        d->ShowModal();
        EXPECT_GT(ticksWhenClosed, 0) << about;
        settle();
        EXPECT_TRUE(alive.isNull()) << about;
        EXPECT_TRUE(about ? form->AboutAllowed : form->OptionsAllowed);
    }
}

// A dialog closed from a loop nested in its modal one (a clipboard wait, the menu) is freed
// only after ShowModal has left its loop.
TEST_F(DialogsTest, ADialogClosedFromANestedLoopOutlivesItsShowModal) {
    for (bool about : {false, true}) {
        TForm* d = about ? static_cast<TForm*>(openAbout()) : openOptions();
        QPointer<TForm> alive = d;
        bool stillThereAfterTheNestedLoop = false;
        QTimer::singleShot(0, [&] {
            QEventLoop nested;
            QTimer::singleShot(0, [&] { d->Close(); });
            QTimer::singleShot(30, &nested, &QEventLoop::quit);
            nested.exec();
            stillThereAfterTheNestedLoop = !alive.isNull();
        });
        d->ShowModal();
        EXPECT_TRUE(stillThereAfterTheNestedLoop) << about;
        settle();
        EXPECT_TRUE(alive.isNull()) << about;
    }
}

} // namespace
