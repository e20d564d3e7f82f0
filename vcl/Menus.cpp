#include "vcl/Menus.h"

#include "vcl/Forms.h"
#include "vcl/Graphics.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <algorithm>

namespace {

// The menu's window: a frameless popup showing the menu's picture inside a thin frame. It
// grabs mouse and keyboard while open; a press outside it closes it.
class MenuSurface : public QWidget {
public:
    MenuSurface(TPopupMenu* menu, QPoint opener)
        : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint), menu_(menu), opener_(opener) {
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
        const int f = TPopupMenu::FrameWidth;
        setFixedSize(menu->Picture().width() + 2 * f, menu->Picture().height() + 2 * f);
    }

    QEventLoop* loop = nullptr;
    int chosen = -1;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const int f = TPopupMenu::FrameWidth;
        p.fillRect(rect(), palette().color(QPalette::Dark));
        p.drawImage(f, f, menu_->Picture());
    }

    void mouseMoveEvent(QMouseEvent* e) override {
        // The release of the button that opened the menu does not choose, unless the pointer
        // went somewhere first (press, drag to an item, release).
        if ((e->globalPosition().toPoint() - opener_).manhattanLength() >
            QApplication::startDragDistance())
            armed_ = true;
        menu_->Select(itemAt(e->position().toPoint()));
    }

    void mousePressEvent(QMouseEvent* e) override {
        if (!rect().contains(e->position().toPoint())) {
            close();
            return;
        }
        armed_ = true;
        menu_->Select(itemAt(e->position().toPoint()));
    }

    void mouseReleaseEvent(QMouseEvent* e) override {
        if (!armed_)
            return;
        const int index = itemAt(e->position().toPoint());
        if (index >= 0)
            choose(index);
    }

    void keyPressEvent(QKeyEvent* e) override {
        switch (e->key()) {
        case Qt::Key_Escape:
            close();
            break;
        case Qt::Key_Up:
        case Qt::Key_Down:
            step(e->key() == Qt::Key_Down ? 1 : -1);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (menu_->Selected() >= 0)
                choose(menu_->Selected());
            break;
        default:
            break;
        }
    }

    void closeEvent(QCloseEvent* e) override {
        if (loop)
            loop->quit();
        QWidget::closeEvent(e);
    }

    void hideEvent(QHideEvent* e) override {
        if (loop)
            loop->quit();
        QWidget::hideEvent(e);
    }

private:
    int itemAt(QPoint p) const {
        const int f = TPopupMenu::FrameWidth;
        return menu_->ItemAt(p.x() - f, p.y() - f);
    }

    void choose(int index) {
        if (!menu_->Items(index)->Enabled)
            return;
        chosen = index;
        close();
    }

    void step(int direction) {
        const int n = menu_->Count();
        int index = menu_->Selected();
        for (int i = 0; i < n; ++i) {
            index = index < 0 ? (direction > 0 ? 0 : n - 1) : (index + direction + n) % n;
            if (menu_->Items(index)->Enabled) {
                menu_->Select(index);
                return;
            }
        }
    }

    TPopupMenu* menu_;
    QPoint opener_;
    bool armed_ = false;
};

} // namespace

// ---------------------------------------------------------------- TMenuItem

TMenuItem::TMenuItem(QObject* owner) : QObject(owner) {}

void TMenuItem::Click() {
    if (OnClick)
        Application->Guard([this] { OnClick(this); });
}

// ---------------------------------------------------------------- TPopupMenu

TPopupMenu::TPopupMenu(QObject* owner) : QObject(owner) {}

TPopupMenu::~TPopupMenu() {
    CloseMenu();
}

void TPopupMenu::Add(TMenuItem* item) {
    item->setParent(this);
    items_.push_back(item);
}

void TPopupMenu::prepare(TCanvas& canvas, bool selected) const {
    // What the menu hands to each item: a fresh canvas with the menu font, the colours of the
    // item's state and the default pen. Nothing a handler changes carries over.
    const QPalette pal = QGuiApplication::palette();
    canvas.Font.SetSize(FontSize);
    // The menu font is narrow, as menu fonts are: the bold "  Настройки..." then ends inside
    // its highlight box.
    canvas.Font.Stretch = QFont::SemiCondensed;
    canvas.Font.Style = 0;
    canvas.Font.Color =
        FromQColor(pal.color(selected ? QPalette::HighlightedText : QPalette::WindowText));
    canvas.Brush.Color = FromQColor(pal.color(selected ? QPalette::Highlight : QPalette::Window));
    canvas.Brush.Style = bsSolid;
    canvas.Pen = TPen();
}

void TPopupMenu::measure() {
    rects_.clear();
    QImage scratch(1, 1, QImage::Format_RGB32);
    int top = 0;
    int widest = 0;
    for (TMenuItem* item : items_) {
        TCanvas canvas(&scratch);
        prepare(canvas, false);
        // Without a handler: the caption with some room around it.
        int w = canvas.TextWidth(item->Caption) + 8;
        int h = std::max(canvas.TextHeight(item->Caption) + 6, 20);
        if (OwnerDraw && item->OnMeasureItem)
            Application->Guard([&] { item->OnMeasureItem(item, &canvas, w, h); });
        rects_.emplace_back(0, top, 0, top + std::max(h, 0));
        top += std::max(h, 0);
        widest = std::max(widest, w);
    }
    const int width = widest + ExtraWidth;
    for (TRect& r : rects_)
        r.Right = width;
    picture_ = QImage(std::max(width, 1), std::max(top, 1), QImage::Format_RGB32);
    picture_.fill(QGuiApplication::palette().color(QPalette::Window));
    selected_ = -1;
}

void TPopupMenu::drawItem(int index, bool selected) {
    TMenuItem* item = items_[static_cast<std::size_t>(index)];
    const TRect& r = rects_[static_cast<std::size_t>(index)];
    TCanvas canvas(&picture_);
    prepare(canvas, selected);
    if (OwnerDraw && item->OnDrawItem) {
        Application->Guard([&] { item->OnDrawItem(item, &canvas, r, selected); });
        return;
    }
    canvas.FillRect(r);
    canvas.TextOut(r.Left + 8, r.Top + (r.Height() - canvas.TextHeight(item->Caption)) / 2,
                   item->Caption);
}

QImage TPopupMenu::Render(int selected) {
    measure();
    for (int i = 0; i < Count(); ++i)
        drawItem(i, false);
    if (selected >= 0 && selected < Count()) {
        drawItem(selected, true);
        selected_ = selected;
    }
    return picture_;
}

TRect TPopupMenu::ItemRect(int index) const {
    if (index < 0 || index >= static_cast<int>(rects_.size()))
        return TRect();
    return rects_[static_cast<std::size_t>(index)];
}

int TPopupMenu::ItemAt(int x, int y) const {
    for (std::size_t i = 0; i < rects_.size(); ++i) {
        const TRect& r = rects_[i];
        if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom)
            return static_cast<int>(i);
    }
    return -1;
}

void TPopupMenu::Select(int index) {
    if (index == selected_)
        return;
    // Disabled items are not highlighted.
    if (index >= 0 && !items_[static_cast<std::size_t>(index)]->Enabled)
        index = -1;
    if (index == selected_)
        return;
    const int previous = selected_;
    selected_ = index;
    if (previous >= 0)
        drawItem(previous, false);
    if (index >= 0)
        drawItem(index, true);
    if (surface_)
        surface_->update();
}

void TPopupMenu::CloseMenu() {
    if (surface_)
        surface_->close();
}

void TPopupMenu::Popup(int x, int y) {
    if (surface_ || items_.empty())
        return;
    Render(-1);

    MenuSurface surface(this, QPoint(x, y));
    // On the screen under the point: flipped to the left of or above the point where it would
    // run off the right or bottom edge, then held inside the screen.
    QScreen* screen = QGuiApplication::screenAt(QPoint(x, y));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    int left = x, top = y;
    if (screen) {
        const QRect g = screen->geometry();
        const int w = surface.width(), h = surface.height();
        if (left + w > g.right() + 1)
            left = x - w;
        if (top + h > g.bottom() + 1)
            top = y - h;
        left = std::max(g.left(), std::min(left, g.right() + 1 - w));
        top = std::max(g.top(), std::min(top, g.bottom() + 1 - h));
    }
    surface.move(left, top);

    QEventLoop loop;
    surface_ = &surface;
    surface.show();
    if (surface.isVisible()) {
        surface.loop = &loop;
        loop.exec();
        surface.loop = nullptr;
    }
    surface.hide();
    surface_ = nullptr;
    selected_ = -1;
    if (surface.chosen >= 0)
        items_[static_cast<std::size_t>(surface.chosen)]->Click();
}
