// The window shell on a real X server: skip-taskbar state and pointer confinement.
#include "tests/x11/XServer.h"

#include "vcl/x11/X11Platform.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPoint>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

using vcl::x11::X11Platform;

namespace {

QByteArray netWmState(const QWidget& w) {
    return xtest::run({"xprop", "-id", QString::number(w.winId()), "_NET_WM_STATE"});
}

bool hasSkipStates(const QByteArray& xprop) {
    return xprop.contains("_NET_WM_STATE_SKIP_TASKBAR") &&
           xprop.contains("_NET_WM_STATE_SKIP_PAGER");
}

QPoint pointer() {
    // "x:123 y:456 screen:0 window:789"
    const QList<QByteArray> fields = xtest::run({"xdotool", "getmouselocation"}).split(' ');
    QPoint p(-1, -1);
    for (const QByteArray& f : fields) {
        if (f.startsWith("x:"))
            p.setX(f.mid(2).toInt());
        else if (f.startsWith("y:"))
            p.setY(f.mid(2).toInt());
    }
    return p;
}

void movePointer(int x, int y) {
    xtest::run({"xdotool", "mousemove", QString::number(x), QString::number(y)});
}

bool showAndWait(QWidget& w) {
    w.show();
    const bool exposed =
        xtest::pumpUntil([&] { return w.windowHandle() && w.windowHandle()->isExposed(); });
    QGuiApplication::sync();
    return exposed;
}

} // namespace

TEST(X11Window, ToolWindowSkipsTaskbarAndPagerAtEveryShowing) {
    X11Platform platform;
    QWidget w(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    w.resize(192, 200);
    platform.prepareToolWindow(&w);
    ASSERT_TRUE(showAndWait(w));
    const QByteArray first = netWmState(w);
    EXPECT_TRUE(hasSkipStates(first)) << first.constData();
    // Qt's own state for a stay-on-top window is kept beside ours.
    EXPECT_TRUE(first.contains("_NET_WM_STATE_ABOVE")) << first.constData();

    w.hide();
    QGuiApplication::sync();
    platform.prepareToolWindow(&w);
    ASSERT_TRUE(showAndWait(w));
    const QByteArray second = netWmState(w);
    EXPECT_TRUE(hasSkipStates(second)) << second.constData();
}

TEST(X11Window, ToolWindowStateSetOnAMappedWindow) {
    X11Platform platform;
    QWidget w(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    w.resize(100, 100);
    ASSERT_TRUE(showAndWait(w));
    ASSERT_FALSE(hasSkipStates(netWmState(w)));
    platform.prepareToolWindow(&w);
    const QByteArray state = netWmState(w);
    EXPECT_TRUE(hasSkipStates(state)) << state.constData();
}

TEST(X11Window, ConfinementKeepsThePointerInsideUntilReleased) {
    X11Platform platform;
    QWidget w(nullptr, Qt::FramelessWindowHint);
    w.setGeometry(100, 100, 200, 200);
    ASSERT_TRUE(showAndWait(w));
    movePointer(150, 150);

    // The pixels the pointer may reach: x in 100..299, y in 120..249.
    const QRect rect(100, 120, 200, 130);
    platform.confinePointer(&w, &rect);
    struct Move {
        int x, y;
        QPoint expected;
    };
    const Move moves[] = {{1000, 700, {299, 249}}, {0, 0, {100, 120}},     {5, 700, {100, 249}},
                          {200, 200, {200, 200}},  {299, 249, {299, 249}}, {300, 250, {299, 249}}};
    for (const Move& m : moves) {
        movePointer(m.x, m.y);
        EXPECT_EQ(pointer(), m.expected) << "move to " << m.x << "," << m.y;
    }

    platform.confinePointer(&w, nullptr);
    movePointer(1000, 700);
    EXPECT_EQ(pointer(), QPoint(1000, 700));
    movePointer(3, 4);
    EXPECT_EQ(pointer(), QPoint(3, 4));
}

namespace {

// Confines the pointer on a left press and frees it on any release, as the gadget's drag does.
class DragSurface : public QWidget {
public:
    DragSurface(X11Platform& platform, QRect confinement)
        : QWidget(nullptr, Qt::FramelessWindowHint), platform_(platform), rect_(confinement) {}

    int presses = 0, releases = 0, moves = 0;
    QPoint lastMove;

protected:
    void mousePressEvent(QMouseEvent* e) override {
        ++presses;
        if (e->button() == Qt::LeftButton)
            platform_.confinePointer(this, &rect_);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        ++moves;
        lastMove = e->globalPosition().toPoint();
    }
    void mouseReleaseEvent(QMouseEvent*) override {
        ++releases;
        platform_.confinePointer(nullptr, nullptr);
    }

private:
    X11Platform& platform_;
    QRect rect_;
};

} // namespace

TEST(X11Window, DragUnderConfinementStillDeliversMovesAndRelease) {
    X11Platform platform;
    DragSurface w(platform, QRect(50, 60, 550, 440));
    w.setGeometry(100, 100, 200, 200);
    ASSERT_TRUE(showAndWait(w));
    movePointer(150, 150);
    ASSERT_TRUE(xtest::pumpUntil([&] { return w.underMouse(); }));

    xtest::run({"xdotool", "mousedown", "1"});
    ASSERT_TRUE(xtest::pumpUntil([&] { return w.presses == 1; }));
    QGuiApplication::sync();

    w.moves = 0;
    movePointer(900, 700);
    ASSERT_TRUE(xtest::pumpUntil([&] { return w.lastMove == QPoint(599, 499); }))
        << "last move seen at " << w.lastMove.x() << "," << w.lastMove.y();
    EXPECT_EQ(pointer(), QPoint(599, 499));
    movePointer(10, 10);
    ASSERT_TRUE(xtest::pumpUntil([&] { return w.lastMove == QPoint(50, 60); }))
        << "last move seen at " << w.lastMove.x() << "," << w.lastMove.y();
    EXPECT_EQ(pointer(), QPoint(50, 60));

    xtest::run({"xdotool", "mouseup", "1"});
    ASSERT_TRUE(xtest::pumpUntil([&] { return w.releases == 1; }));
    QGuiApplication::sync();
    movePointer(900, 700);
    EXPECT_EQ(pointer(), QPoint(900, 700));
}
