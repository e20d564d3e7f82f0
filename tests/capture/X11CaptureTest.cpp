// The Print key watcher and the screen copy against an Xvfb of the suite's own.
#include "vcl/x11/X11Keyboard.h"
#include "vcl/x11/X11Screen.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QWidget>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <X11/Xlib.h>

namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;

// Starts `Xvfb -displayfd` and returns its display number, or -1.
int startXvfb(pid_t& pid) {
    int fds[2];
    if (::pipe(fds) != 0)
        return -1;
    pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        const std::string size =
            std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24";
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", size.c_str(), "-noreset",
                 "-nolisten", "tcp", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    while (::poll(&p, 1, 15000) > 0) {
        char c;
        if (::read(fds[0], &c, 1) != 1 || c == '\n')
            break;
        number += c;
    }
    ::close(fds[0]);
    return number.empty() ? -1 : std::atoi(number.c_str());
}

// Runs xdotool on the suite's display; true when it succeeded.
bool xdotool(const std::string& args) {
    return std::system(("xdotool " + args).c_str()) == 0;
}

// Lets the X server deliver what xdotool sent and Qt handle it.
void settle(int ms = 150) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// The expected screen content: every pixel distinct within a 256x256 block, the block
// number in blue, so a shift or a wrong size shows.
QRgb patternAt(int x, int y, int variant) {
    return qRgb((x + variant * 40) & 0xff, y & 0xff, ((x >> 8) + (y >> 8) * 8 + variant) & 0xff);
}

QImage pattern(int width, int height, int variant) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, patternAt(x, y, variant));
    return image;
}

class PatternWindow : public QWidget {
public:
    PatternWindow() {
        setWindowFlags(Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
        setGeometry(0, 0, kScreenWidth, kScreenHeight);
    }
    void setVariant(int variant) {
        picture_ = pattern(kScreenWidth, kScreenHeight, variant);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, picture_);
    }

private:
    QImage picture_;
};

class X11Capture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        display_ = startXvfb(server_);
        if (display_ < 0)
            return;
        ::setenv("DISPLAY", (":" + std::to_string(display_)).c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
        static int argc = 1;
        static char name[] = "capture_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
    }
    static void TearDownTestSuite() {
        delete app_; // before the server goes
        app_ = nullptr;
        if (server_ > 0) {
            ::kill(server_, SIGTERM);
            ::waitpid(server_, nullptr, 0);
        }
    }
    void SetUp() override {
        ASSERT_GE(display_, 0) << "Xvfb did not start";
        ASSERT_NE(app_, nullptr);
    }

    static pid_t server_;
    static int display_;
    static QApplication* app_;
};

pid_t X11Capture::server_ = -1;
int X11Capture::display_ = -1;
QApplication* X11Capture::app_ = nullptr;

// ---- Print key ---------------------------------------------------------------------------

// Asks until the answer is yes (the press may still be on its way), at most a few seconds.
bool pressedWithin(vcl::x11::PrintKeyWatcher& watcher) {
    for (int i = 0; i < 100; ++i) {
        if (watcher.pressed())
            return true;
        settle(30);
    }
    return false;
}

TEST_F(X11Capture, PrintPressIsReportedOnceThenNoMore) {
    vcl::x11::PrintKeyWatcher watcher;
    settle();
    EXPECT_FALSE(watcher.pressed()) << "nothing pressed yet";
    ASSERT_TRUE(xdotool("key Print"));
    EXPECT_TRUE(pressedWithin(watcher));
    settle();
    EXPECT_FALSE(watcher.pressed()) << "the press was already reported";
    EXPECT_FALSE(watcher.pressed());
}

TEST_F(X11Capture, PressSeenByTheEventLoopIsNotLost) {
    vcl::x11::PrintKeyWatcher watcher;
    ASSERT_TRUE(xdotool("key Print"));
    settle(400); // the socket notifier drains the press and the release meanwhile
    EXPECT_TRUE(watcher.pressed());
    EXPECT_FALSE(watcher.pressed());
}

TEST_F(X11Capture, OtherKeysAreNotPrint) {
    vcl::x11::PrintKeyWatcher watcher;
    ASSERT_TRUE(xdotool("key a Return F12 Scroll_Lock"));
    settle(400);
    EXPECT_FALSE(watcher.pressed());
}

TEST_F(X11Capture, HeldPrintIsReportedAtEveryQuestionUntilReleased) {
    vcl::x11::PrintKeyWatcher watcher;
    ASSERT_TRUE(xdotool("keydown Print"));
    EXPECT_TRUE(pressedWithin(watcher));
    for (int i = 0; i < 3; ++i) {
        settle(100);
        EXPECT_TRUE(watcher.pressed()) << "question " << i << " while held";
    }
    ASSERT_TRUE(xdotool("keyup Print"));
    settle(300);
    EXPECT_FALSE(watcher.pressed());
}

TEST_F(X11Capture, PressIsSeenWhileAnotherClientGrabsTheKeyboard) {
    vcl::x11::PrintKeyWatcher watcher;
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(XGrabKeyboard(other, DefaultRootWindow(other), False, GrabModeAsync, GrabModeAsync,
                            CurrentTime),
              GrabSuccess);
    XSync(other, False);
    ASSERT_TRUE(xdotool("key Print"));
    EXPECT_TRUE(pressedWithin(watcher));
    XUngrabKeyboard(other, CurrentTime);
    XCloseDisplay(other);
}

TEST_F(X11Capture, TwoWatchersBothSeeThePress) {
    // The key is not grabbed: a second client (another program) sees it too.
    vcl::x11::PrintKeyWatcher first;
    vcl::x11::PrintKeyWatcher second;
    ASSERT_TRUE(xdotool("key Print"));
    EXPECT_TRUE(pressedWithin(first));
    EXPECT_TRUE(pressedWithin(second));
}

// ---- Screen copy -------------------------------------------------------------------------

// Grabs until the screen shows `variant` (the window may not be painted yet); the last grab.
QImage grabShowing(vcl::x11::ScreenGrabber& grabber, int variant) {
    QImage shot;
    for (int i = 0; i < 100; ++i) {
        settle(30);
        if (grabber.grab(shot) && shot.width() > 700 && shot.height() > 300 &&
            shot.pixel(700, 300) == patternAt(700, 300, variant))
            break;
    }
    return shot;
}

int differingPixels(const QImage& shot, int variant) {
    int differing = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if ((shot.pixel(x, y) & 0xffffff) != (patternAt(x, y, variant) & 0xffffff))
                ++differing;
    return differing;
}

TEST_F(X11Capture, GrabCopiesThePrimaryScreen) {
    PatternWindow window;
    window.setVariant(0);
    window.show();
    vcl::x11::ScreenGrabber grabber;
    const QImage shot = grabShowing(grabber, 0);
    ASSERT_EQ(shot.size(), QSize(kScreenWidth, kScreenHeight));
    EXPECT_EQ(shot.format(), QImage::Format_RGB32);
    EXPECT_EQ(differingPixels(shot, 0), 0);
    EXPECT_EQ(shot.pixel(0, 0), patternAt(0, 0, 0));
    EXPECT_EQ(shot.pixel(kScreenWidth - 1, kScreenHeight - 1),
              patternAt(kScreenWidth - 1, kScreenHeight - 1, 0));
}

TEST_F(X11Capture, EachGrabShowsTheScreenOfItsMoment) {
    PatternWindow window;
    window.setVariant(1);
    window.show();
    vcl::x11::ScreenGrabber grabber;
    QImage first = grabShowing(grabber, 1);
    ASSERT_EQ(differingPixels(first, 1), 0);
    const QImage kept = first.copy(); // the grab itself is only valid until the next one

    window.setVariant(2);
    const QImage second = grabShowing(grabber, 2);
    ASSERT_EQ(second.size(), QSize(kScreenWidth, kScreenHeight));
    EXPECT_EQ(differingPixels(second, 2), 0);
    EXPECT_EQ(differingPixels(kept, 1), 0);
}

TEST_F(X11Capture, GrabberWorksWithoutAPaintedWindow) {
    // Whatever the root shows: the size and format are the screen's.
    vcl::x11::ScreenGrabber grabber;
    QImage shot;
    ASSERT_TRUE(grabber.grab(shot));
    EXPECT_EQ(shot.size(), QSize(kScreenWidth, kScreenHeight));
    EXPECT_EQ(shot.format(), QImage::Format_RGB32);
}

} // namespace
