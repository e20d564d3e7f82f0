// The tray icon's click, the owner-drawn popup menu pixel by pixel, the menu's behaviour and
// the exit command.
#include "tests/gui/GadgetFixture.h"

#include "dialogs/About.h"
#include "dialogs/Options.h"
#include "vcl/ImgList.h"
#include "vcl/Menus.h"
#include "vcl/TrayIcon.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QRegion>
#include <QTimer>
#include <cstdlib>
#include <functional>

namespace {

QRgb rgbOf(TColor c) {
    return ToQColor(c).rgb();
}

QRgb menuColour() {
    return QGuiApplication::palette().color(QPalette::Window).rgb();
}

// The rows of the menu: tops from the measured heights, and which picture each one shows.
struct Row {
    const char* name;
    int index; // item index in the menu
    int top;
    bool command;
    int picture; // index in ImageList1 (commands) or ImageList2 (dividers)
};
const Row Rows[] = {
    {"NScreenShot", 0, 0, true, 0}, {"NOptions", 1, 20, true, 1}, {"N1", 2, 40, false, 0},
    {"NAbout", 3, 50, true, 2},     {"N", 4, 70, false, 1},       {"NExit", 5, 80, true, 3},
};
const Row Commands[] = {Rows[0], Rows[1], Rows[3], Rows[5]};
const Row Dividers[] = {Rows[2], Rows[4]};

// Pixels of the picture in [x0, x1] × [y0, y1] that differ from `background`.
int inkIn(const QImage& img, int x0, int x1, int y0, int y1, QRgb background) {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (img.pixel(x, y) != background)
                ++n;
    return n;
}

// The leftmost column of [x0, x1] holding a pixel unlike `background` in rows [y0, y1].
int firstInkColumn(const QImage& img, int x0, int x1, int y0, int y1, QRgb background) {
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y)
            if (img.pixel(x, y) != background)
                return x;
    return -1;
}

class MenuTest : public GadgetTest {
protected:
    TPopupMenu* menu() { return form->PopupMenu1; }
    // Runs `inside` once the menu is open, from within its nested loop.
    void whileOpen(std::function<void(QWidget* surface)> inside) {
        QTimer::singleShot(0, [this, inside] {
            ASSERT_TRUE(menu()->IsOpen());
            inside(menu()->Surface());
        });
    }
    // A mouse event at a point of the menu's picture (inside the frame).
    static void mouse(QWidget* surface, QEvent::Type type, int x, int y,
                      Qt::MouseButton button = Qt::LeftButton) {
        const int f = TPopupMenu::FrameWidth;
        const QPointF local(x + f, y + f);
        QMouseEvent e(type, local, surface->mapToGlobal(local), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button),
                      Qt::NoModifier);
        QApplication::sendEvent(surface, &e);
    }
    static void click(QWidget* surface, int x, int y) {
        mouse(surface, QEvent::MouseMove, x, y, Qt::NoButton);
        mouse(surface, QEvent::MouseButtonPress, x, y);
        mouse(surface, QEvent::MouseButtonRelease, x, y);
    }
    static void key(QWidget* surface, int k) {
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(surface, &e);
    }
};

TEST_F(MenuTest, HasSixOwnerDrawnItemsInOrder) {
    ASSERT_NE(menu(), nullptr);
    EXPECT_TRUE(menu()->OwnerDraw);
    ASSERT_EQ(menu()->Count(), 6);
    TMenuItem* const expected[] = {form->NScreenShot, form->NOptions, form->N1,
                                   form->NAbout,      form->N,        form->NExit};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(menu()->Items(i), expected[i]) << i;
        EXPECT_TRUE(menu()->Items(i)->Caption.IsEmpty()) << i;
    }
    EXPECT_FALSE(static_cast<bool>(form->N1->OnClick));
    EXPECT_FALSE(static_cast<bool>(form->N->OnClick));
    EXPECT_EQ(form->TrayIcon1->PopupMenu, menu());
    EXPECT_EQ(Cp1251ToUtf8(form->TrayIcon1->Hint()), "Quibra");
    EXPECT_TRUE(form->TrayIcon1->Visible());
}

TEST_F(MenuTest, PictureListsAreTheBandsSlices) {
    const QImage band(":/band.png");
    ASSERT_EQ(band.size(), QSize(20, 100));
    ASSERT_EQ(form->ImageList1->Count(), 4);
    ASSERT_EQ(form->ImageList2->Count(), 2);
    EXPECT_EQ(form->ImageList1->Width, 20);
    EXPECT_EQ(form->ImageList1->Height, 20);
    EXPECT_EQ(form->ImageList2->Width, 20);
    EXPECT_EQ(form->ImageList2->Height, 10);
    for (const Row& r : Rows) {
        const QImage slice =
            r.command ? form->ImageList1->Picture(r.picture) : form->ImageList2->Picture(r.picture);
        const int h = r.command ? 20 : 10;
        ASSERT_EQ(slice.size(), QSize(20, h)) << r.name;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < 20; ++x)
                ASSERT_EQ(slice.pixel(x, y), band.pixel(x, r.top + y)) << r.name << x << "," << y;
    }
}

TEST_F(MenuTest, ItemsAreMeasuredIntoOneHundredRows) {
    const QImage img = menu()->Render();
    // Measured 96 wide, plus the menu's own room: the highlight reaches x 107 and the divider
    // lines x 114 inside it.
    EXPECT_EQ(img.width(), 96 + TPopupMenu::ExtraWidth);
    EXPECT_GE(img.width(), 116);
    EXPECT_EQ(img.height(), 100);
    for (const Row& r : Rows) {
        const TRect rect = menu()->ItemRect(r.index);
        EXPECT_EQ(rect.Left, 0) << r.name;
        EXPECT_EQ(rect.Top, r.top) << r.name;
        EXPECT_EQ(rect.Height(), r.command ? 20 : 10) << r.name;
        EXPECT_EQ(rect.Width(), img.width()) << r.name;
        EXPECT_EQ(menu()->ItemAt(50, r.top), r.index) << r.name;
    }
}

TEST_F(MenuTest, TheBandRunsDownTheLeftEdgeInEveryState) {
    const QImage band(":/band.png");
    for (int selected = -1; selected < 6; ++selected) {
        const QImage img = menu()->Render(selected);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 20; ++x)
                ASSERT_EQ(img.pixel(x, y), band.pixel(x, y) | 0xFF000000u)
                    << "selected " << selected << " at " << x << "," << y;
    }
}

TEST_F(MenuTest, ASelectedCommandIsASilverBoxWithABlackOutline) {
    for (const Row& r : Commands) {
        SCOPED_TRACE(r.name);
        const QImage img = menu()->Render(r.index);
        const int T = r.top;
        const QRgb black = rgbOf(clBlack), silver = rgbOf(clSilver);
        for (int y = T; y <= T + 18; ++y) {
            EXPECT_EQ(img.pixel(22, y), black) << "left edge, row " << y;
            EXPECT_EQ(img.pixel(21, y), menuColour()) << "left of the box, row " << y;
            EXPECT_EQ(img.pixel(107, y), black) << "right edge, row " << y;
            EXPECT_EQ(img.pixel(108, y), menuColour()) << "right of the box, row " << y;
        }
        for (int x = 22; x <= 107; ++x) {
            EXPECT_EQ(img.pixel(x, T), black) << "top edge, column " << x;
            EXPECT_EQ(img.pixel(x, T + 18), black) << "bottom edge, column " << x;
            EXPECT_EQ(img.pixel(x, T + 19), menuColour()) << "below the box, column " << x;
            // Inside: silver above and below the text cell.
            if (x > 22 && x < 107) {
                EXPECT_EQ(img.pixel(x, T + 1), silver) << "column " << x;
                for (int y = T + 15; y <= T + 17; ++y)
                    EXPECT_EQ(img.pixel(x, y), silver) << x << "," << y;
            }
        }
        for (int y = T + 1; y <= T + 17; ++y)
            EXPECT_EQ(img.pixel(106, y), silver) << "inside the right edge, row " << y;
    }
}

TEST_F(MenuTest, AnUnselectedCommandFillsTheSamePixelsInTheMenuColour) {
    // Highlight first, then draw it unselected over it: the fill without a pen covers exactly
    // the box, so nothing of the highlight is left, and the result is a fresh menu's picture.
    const QImage fresh = menu()->Render(-1);
    for (const Row& r : Commands) {
        SCOPED_TRACE(r.name);
        menu()->Render(-1);
        menu()->Select(r.index);
        menu()->Select(-1);
        EXPECT_EQ(menu()->Picture(), fresh);
        const int T = r.top;
        for (int y = T; y <= T + 19; ++y)
            for (int x : {20, 21, 22, 107, 108, 115})
                EXPECT_EQ(fresh.pixel(x, y), menuColour()) << x << "," << y;
        for (int x = 22; x <= 115; ++x) {
            EXPECT_EQ(fresh.pixel(x, T), menuColour()) << "column " << x;
            EXPECT_EQ(fresh.pixel(x, T + 18), menuColour()) << "column " << x;
        }
    }
}

TEST_F(MenuTest, CommandTextsStartAtTwentyThreeTwoRowsDown) {
    const QRgb silver = rgbOf(clSilver);
    for (bool selected : {false, true}) {
        for (const Row& r : Commands) {
            SCOPED_TRACE(std::string(r.name) + (selected ? " selected" : ""));
            const QImage img = menu()->Render(selected ? r.index : -1);
            const QRgb background = selected ? silver : menuColour();
            const int T = r.top;
            // Ink only in the text cell's rows, and after the two leading blanks.
            EXPECT_GT(inkIn(img, 23, 106, T + 2, T + 14, background), 20);
            EXPECT_EQ(inkIn(img, 23, 106, T + 1, T + 1, background), 0);
            EXPECT_EQ(inkIn(img, 23, 106, T + 15, T + 17, background), 0);
            const int first = firstInkColumn(img, 23, 106, T + 2, T + 14, background);
            EXPECT_GE(first, 23 + 4);
            EXPECT_LE(first, 23 + 12);
            // The ink is the state's text colour (anti-aliased: nearer to it than to the
            // background).
            const QColor text = QGuiApplication::palette().color(
                selected ? QPalette::HighlightedText : QPalette::WindowText);
            const auto distance = [](QRgb a, const QColor& b) {
                return std::abs(qRed(a) - b.red()) + std::abs(qGreen(a) - b.green()) +
                       std::abs(qBlue(a) - b.blue());
            };
            int nearText = 0;
            for (int y = T + 2; y <= T + 14; ++y)
                for (int x = 23; x <= 106; ++x)
                    nearText += distance(img.pixel(x, y), text) <
                                distance(img.pixel(x, y), QColor::fromRgb(background));
            EXPECT_GT(nearText, 20);
        }
    }
}

TEST_F(MenuTest, OnlyTheSettingsTextIsBold) {
    // The same text drawn plain and bold on a fresh canvas: the item's ink matches the bold.
    const auto inkOf = [](bool bold) {
        QImage img(116, 20, QImage::Format_RGB32);
        img.fill(Qt::white);
        TCanvas c(&img);
        c.Font.SetSize(TPopupMenu::FontSize);
        c.Font.Stretch = QFont::SemiCondensed;
        if (bold)
            c.Font.Style |= fsBold;
        c.TextOut(23, 2, "  \xCD\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8...");
        return inkIn(img, 0, 115, 0, 19, qRgb(255, 255, 255));
    };
    const QImage img = menu()->Render(-1);
    const int item = inkIn(img, 23, 115, 22, 36, menuColour());
    EXPECT_EQ(item, inkOf(true));
    EXPECT_NE(inkOf(true), inkOf(false));
}

TEST_F(MenuTest, TextsOfPlainCommandsEndInsideTheHighlightBox) {
    for (const Row& r : {Rows[0], Rows[3], Rows[5]}) {
        SCOPED_TRACE(r.name);
        const QImage img = menu()->Render(r.index);
        for (int y = r.top; y <= r.top + 18; ++y)
            EXPECT_EQ(img.pixel(107, y), rgbOf(clBlack)) << "row " << y;
    }
}

// The widest text, the bold "  Настройки...", leaves the box's right edge whole.
TEST_F(MenuTest, TheBoldSettingsTextEndsInsideTheHighlightBox) {
    const QImage img = menu()->Render(1);
    for (int y = 20; y <= 38; ++y)
        EXPECT_EQ(img.pixel(107, y), rgbOf(clBlack)) << "row " << y;
}

TEST_F(MenuTest, DividersAreATealLineFromTwentyTwoToOneHundredFourteen) {
    for (int selected = -1; selected < 6; ++selected) {
        const QImage img = menu()->Render(selected);
        for (const Row& r : Dividers) {
            SCOPED_TRACE(std::string(r.name) + " with selection " + std::to_string(selected));
            const int y = r.top + 4;
            EXPECT_EQ(img.pixel(21, y), menuColour());
            EXPECT_EQ(img.pixel(22, y), rgbOf(clTeal));
            EXPECT_EQ(img.pixel(114, y), rgbOf(clTeal));
            EXPECT_EQ(img.pixel(115, y), menuColour());
            EXPECT_EQ(inkIn(img, 22, 114, y, y, rgbOf(clTeal)), 0);
            // Nothing else in the divider's rows right of the band.
            EXPECT_EQ(inkIn(img, 20, 115, r.top, y - 1, menuColour()), 0);
            EXPECT_EQ(inkIn(img, 20, 115, y + 1, r.top + 9, menuColour()), 0);
        }
    }
}

TEST_F(MenuTest, HoveringADividerChangesNothing) {
    const QImage fresh = menu()->Render(-1);
    for (const Row& r : Dividers) {
        menu()->Select(r.index);
        EXPECT_EQ(menu()->Selected(), r.index) << r.name;
        EXPECT_EQ(menu()->Picture(), fresh) << r.name;
    }
}

TEST_F(MenuTest, EachItemGetsAFreshCanvas) {
    // The settings item adds bold and every command changes brush or pen; each item still
    // starts from the menu font, the menu colour and the default pen, on a canvas of its own.
    const QImage all = menu()->Render(-1);
    std::vector<std::tuple<TFontStyles, TColor, TPenStyle, TColor, int>> states;
    for (int i = 0; i < menu()->Count(); ++i) {
        TMenuItem* item = menu()->Items(i);
        const TMenuDrawItemEvent original = item->OnDrawItem;
        item->OnDrawItem = [&, original](TObject* s, TCanvas* c, const TRect& r, bool sel) {
            states.emplace_back(c->Font.Style, c->Brush.Color, c->Pen.Style, c->Pen.Color,
                                c->Pen.Width);
            original(s, c, r, sel);
        };
    }
    menu()->Render(-1);
    ASSERT_EQ(states.size(), 6u);
    for (const auto& s : states) {
        EXPECT_EQ(std::get<0>(s), 0u);
        EXPECT_EQ(ToQColor(std::get<1>(s)).rgb(), menuColour());
        EXPECT_EQ(std::get<2>(s), psSolid);
        EXPECT_EQ(std::get<3>(s), clBlack);
        EXPECT_EQ(std::get<4>(s), 1);
    }
    EXPECT_EQ(menu()->Picture(), all);
}

TEST_F(MenuTest, TrayClickTogglesHiddenAndTheWindow) {
    form->show();
    ASSERT_TRUE(form->isVisible());
    const QPoint at(40, 30);
    form->move(at);
    form->TrayIcon1Click(form->TrayIcon1);
    EXPECT_TRUE(form->Hidden);
    EXPECT_FALSE(form->isVisible());
    form->TrayIcon1Click(form->TrayIcon1);
    EXPECT_FALSE(form->Hidden);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->pos(), at);
}

TEST_F(MenuTest, ADoubleClickOnTheIconTogglesTwice) {
    form->show();
    // What X11 reports for a double click: the first click, then the double click.
    form->TrayIcon1->Activate(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(form->Hidden);
    EXPECT_FALSE(form->isVisible());
    form->TrayIcon1->Activate(QSystemTrayIcon::DoubleClick);
    EXPECT_FALSE(form->Hidden);
    EXPECT_TRUE(form->isVisible());
    // The middle button does nothing.
    form->TrayIcon1->Activate(QSystemTrayIcon::MiddleClick);
    EXPECT_FALSE(form->Hidden);
}

TEST_F(MenuTest, TheRightButtonOnTheIconOpensTheMenuAtThePointer) {
    QCursor::setPos(300, 200);
    QPoint shownAt;
    whileOpen([&](QWidget* surface) {
        shownAt = surface->pos();
        key(surface, Qt::Key_Escape);
    });
    form->TrayIcon1->Activate(QSystemTrayIcon::Context);
    EXPECT_FALSE(menu()->IsOpen());
    EXPECT_EQ(shownAt, QCursor::pos());
}

TEST_F(MenuTest, TheMenuStaysOnTheScreen) {
    const int sw = Screen->Width(), sh = Screen->Height();
    QRect shown;
    whileOpen([&](QWidget* surface) {
        shown = surface->geometry();
        surface->close();
    });
    menu()->Popup(sw - 5, sh - 5);
    EXPECT_EQ(shown.size(), QSize(116 + 2, 100 + 2));
    // Flipped to the left of and above the point.
    EXPECT_EQ(shown.topLeft(), QPoint(sw - 5 - shown.width(), sh - 5 - shown.height()));
}

TEST_F(MenuTest, HoverHighlightsAndAClickRunsTheCommandAfterTheMenuCloses) {
    form->Timer3->SetEnabled(false);
    form->ShotNumber = 7;
    bool openDuringClick = true;
    const TNotifyEvent original = form->NScreenShot->OnClick;
    form->NScreenShot->OnClick = [&](TObject* s) {
        openDuringClick = menu()->IsOpen();
        original(s);
    };
    whileOpen([&](QWidget* surface) {
        mouse(surface, QEvent::MouseMove, 60, 10, Qt::NoButton);
        EXPECT_EQ(menu()->Selected(), 0);
        EXPECT_EQ(menu()->Picture().pixel(22, 0), rgbOf(clBlack));
        mouse(surface, QEvent::MouseMove, 60, 30, Qt::NoButton);
        EXPECT_EQ(menu()->Selected(), 1);
        EXPECT_EQ(menu()->Picture().pixel(22, 0), menuColour());
        click(surface, 60, 10);
    });
    menu()->Popup(100, 100);
    EXPECT_FALSE(openDuringClick);
    EXPECT_TRUE(form->Timer3->Enabled());
    EXPECT_EQ(form->ShotNumber, 0);
}

TEST_F(MenuTest, ADividerClickClosesTheMenuAndDoesNothing) {
    for (const Row& r : Dividers) {
        whileOpen([&](QWidget* surface) { click(surface, 60, r.top + 5); });
        menu()->Popup(100, 100);
        EXPECT_FALSE(menu()->IsOpen()) << r.name;
    }
    EXPECT_FALSE(form->Timer3->Enabled());
    EXPECT_FALSE(form->Hidden);
    EXPECT_TRUE(reports.empty());
}

TEST_F(MenuTest, EscapeAndAPressOutsideCloseWithoutAChoice) {
    whileOpen([&](QWidget* surface) {
        mouse(surface, QEvent::MouseMove, 60, 10, Qt::NoButton);
        key(surface, Qt::Key_Escape);
    });
    menu()->Popup(100, 100);
    EXPECT_FALSE(form->Timer3->Enabled());

    whileOpen([&](QWidget* surface) {
        mouse(surface, QEvent::MouseMove, 60, 10, Qt::NoButton);
        mouse(surface, QEvent::MouseButtonPress, 300, 10);
    });
    menu()->Popup(100, 100);
    EXPECT_FALSE(menu()->IsOpen());
    EXPECT_FALSE(form->Timer3->Enabled());
}

TEST_F(MenuTest, TheReleaseOfTheOpeningButtonDoesNotChoose) {
    // X11 reports the icon's right button on its press: the menu opens under the pointer and
    // the same button's release must not pick the item there.
    whileOpen([&](QWidget* surface) {
        mouse(surface, QEvent::MouseButtonRelease, 0, 0, Qt::RightButton);
        EXPECT_TRUE(menu()->IsOpen());
        key(surface, Qt::Key_Down);
        key(surface, Qt::Key_Return);
    });
    const QPoint at = QCursor::pos();
    menu()->Popup(at.x(), at.y());
    EXPECT_TRUE(form->Timer3->Enabled());
}

TEST_F(MenuTest, TimersGoOnWhileTheMenuIsOpen) {
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++ticks == 3)
            menu()->CloseMenu();
    });
    timer.start(5);
    menu()->Popup(100, 100);
    EXPECT_EQ(ticks, 3);
}

TEST_F(MenuTest, WithoutANotificationAreaTheRightButtonOnTheGadgetOpensTheMenu) {
    // The offscreen platform has no notification area.
    ASSERT_FALSE(TTrayIcon::AreaAvailable());
    EXPECT_FALSE(form->TrayIcon1->InNotificationArea());
    form->show();
    bool opened = false;
    whileOpen([&](QWidget* surface) {
        opened = true;
        key(surface, Qt::Key_Escape);
    });
    const QPointF p(50, 60);
    QMouseEvent press(QEvent::MouseButtonPress, p, form->Image1->mapToGlobal(p), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(form->Image1, &press);
    EXPECT_FALSE(opened);
    QMouseEvent release(QEvent::MouseButtonRelease, p, form->Image1->mapToGlobal(p),
                        Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(form->Image1, &release);
    EXPECT_TRUE(opened);
    EXPECT_FALSE(form->Dragging);
}

TEST_F(MenuTest, AnIconlessApplicationIsRefusedByTheNotificationArea) {
    const QIcon saved = QApplication::windowIcon();
    QApplication::setWindowIcon(QIcon());
    TTrayIcon icon(nullptr);
    try {
        icon.SetVisible(true);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Cannot Create System Shell Notification Icon");
    }
    EXPECT_FALSE(icon.Visible());
    QApplication::setWindowIcon(saved);
    EXPECT_NO_THROW(icon.SetVisible(true));
    EXPECT_TRUE(icon.Visible());
    icon.SetVisible(false);
    EXPECT_FALSE(icon.Visible());
}

TEST_F(MenuTest, TheApplicationIconHasTheEightSizes) {
    const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
    for (int s : {16, 24, 32, 48, 64, 72, 96, 128})
        EXPECT_TRUE(sizes.contains(QSize(s, s))) << s;
}

TEST_F(MenuTest, ADialogThatIsOpenIsNotOpenedAgain) {
    form->OptionsAllowed = false;
    form->AboutAllowed = false;
    Form2 = nullptr;
    Form3 = nullptr;
    form->NOptionsClick(form->NOptions);
    form->NAboutClick(form->NAbout);
    EXPECT_EQ(Form2, nullptr);
    EXPECT_EQ(Form3, nullptr);
    EXPECT_TRUE(reports.empty());
}

TEST_F(MenuTest, ExitWithTheWindowShownShrinksItToTheCentreAndCloses) {
    form->show();
    form->NExitClick(form->NExit);
    EXPECT_FALSE(form->TrayIcon1->Visible());
    EXPECT_FALSE(form->isVisible());
    // The last frame's box (101, 101, 91, 99) in order: a small ellipse about (96, 100).
    const QRegion mask = form->mask();
    ASSERT_FALSE(mask.isEmpty());
    const QRect box = mask.boundingRect();
    EXPECT_GE(box.left(), 91);
    EXPECT_LE(box.right(), 100);
    EXPECT_GE(box.top(), 99);
    EXPECT_LE(box.bottom(), 100);
    EXPECT_TRUE(mask.contains(QPoint(96, 100)));
}

TEST_F(MenuTest, ExitWithTheWindowHiddenSkipsTheAnimation) {
    form->show();
    form->TrayIcon1Click(form->TrayIcon1);
    ASSERT_TRUE(form->Hidden);
    const QRegion before = form->mask();
    form->NExitClick(form->NExit);
    EXPECT_FALSE(form->TrayIcon1->Visible());
    EXPECT_EQ(form->mask(), before);
}

// The exit command ends the program: its main form closes and the application terminates.
TEST(MenuExit, TheExitCommandTerminatesTheApplication) {
    Application->Initialize();
    Application->OnReport = [](const AnsiString& m) { ADD_FAILURE() << m.c_str(); };
    if (!ShotBitmap) {
        ShotBitmap = new TBitmap;
        ScreenCanvas = new TCanvas;
        ShotJpeg = new TJPEGImage;
    }
    Application->CreateForm(Form1);
    ASSERT_EQ(Application->MainForm(), Form1);
    Form1->show();
    EXPECT_FALSE(Application->Terminated());
    bool ranAfterTermination = false;
    // Like the icon's menu, from the event loop; Run's loop ends with the exit code 0.
    QTimer::singleShot(0, [] { Form1->NExit->Click(); });
    QTimer::singleShot(5000, [&] {
        ranAfterTermination = true;
        QCoreApplication::exit(1);
    });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(ranAfterTermination);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_FALSE(Form1->TrayIcon1->Visible());
    Application->OnReport = nullptr;
    TForm::Destroy(Form1);
    Form1 = nullptr;
}

} // namespace
