// Popup menus with owner-drawn items: the program measures and paints every item itself, on
// a popup surface of ours, at fixed coordinates of the menu's picture.
#pragma once

#include "rtl/AnsiString.h"
#include "vcl/Classes.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class TCanvas;
class QWidget;

using TMenuMeasureItemEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuDrawItemEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, bool Selected)>;

class TMenuItem : public QObject, public TObject {
public:
    explicit TMenuItem(QObject* owner);

    AnsiString Caption;
    bool Enabled = true;
    TNotifyEvent OnClick;
    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnDrawItem;

    // Runs OnClick inside the application's error guard.
    void Click();
};

class TPopupMenu : public QObject, public TObject {
public:
    explicit TPopupMenu(QObject* owner);
    ~TPopupMenu() override;

    // Room the menu adds to the widest measured item (a check-mark column's worth), and the
    // frame drawn around the items' picture.
    static constexpr int ExtraWidth = 20;
    static constexpr int FrameWidth = 1;
    // The menu font: the system's sans-serif at 8 points (11 pixels).
    static constexpr int FontSize = 8;

    bool OwnerDraw = false;

    // Appends an item; the menu owns it from then on.
    void Add(TMenuItem* item);
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_[static_cast<std::size_t>(index)]; }

    // Opens the menu with its top-left corner at the screen point (moved so that it stays on
    // the screen) and returns when it has closed; a chosen command runs after the menu has
    // gone. Timers go on meanwhile. Does nothing while the menu is already open.
    void Popup(int x, int y);
    bool IsOpen() const { return !surface_.isNull(); }
    // The open menu's window (nullptr while closed).
    QWidget* Surface() const { return surface_; }
    // Closes an open menu without a choice.
    void CloseMenu();

    // The menu's picture as the open menu shows it inside its frame: every item measured and
    // drawn unselected, then item `selected` (-1: none) drawn selected.
    QImage Render(int selected = -1);
    // An item's rectangle in the picture, as measured by the last Render or Popup.
    TRect ItemRect(int index) const;
    // The item at a point of the picture, -1 for none.
    int ItemAt(int x, int y) const;

    // Used by the menu's window.
    void Select(int index);
    int Selected() const { return selected_; }
    const QImage& Picture() const { return picture_; }

private:
    void measure();
    void drawItem(int index, bool selected);
    void prepare(TCanvas& canvas, bool selected) const;

    std::vector<TMenuItem*> items_;
    std::vector<TRect> rects_;
    QImage picture_;
    int selected_ = -1;
    QPointer<QWidget> surface_;
};
