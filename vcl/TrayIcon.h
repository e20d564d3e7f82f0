// The notification-area icon: the application's icon with a tooltip, a click event and a popup
// menu opened on the right button.
#pragma once

#include "rtl/AnsiString.h"
#include "vcl/Classes.h"

#include <QObject>
#include <QSystemTrayIcon>

class TPopupMenu;

class TTrayIcon : public QObject, public TObject {
public:
    // The errors raised when the notification area refuses the icon.
    static const char* const CreateError;
    static const char* const RemoveError;

    explicit TTrayIcon(QObject* owner);
    ~TTrayIcon() override;

    // True adds the icon (with the application's icon as it is now), false removes it. Adding
    // raises CreateError when there is no icon to show. Without a notification area the icon
    // waits, and appears as soon as one starts.
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

    AnsiString Hint() const { return hint_; }
    void SetHint(const AnsiString& hint);

    // Opened at the pointer on the right button's release.
    TPopupMenu* PopupMenu = nullptr;
    // A release of the left button; each one of a double click counts.
    TNotifyEvent OnClick;

    // Is there a notification area on the desktop now?
    static bool AreaAvailable();
    // The icon is shown in a notification area now.
    bool InNotificationArea() const { return visible_ && AreaAvailable(); }

    // What the icon does for the window system's activations (dispatched from the event loop,
    // never inside the notification area's own event handler).
    void Activate(QSystemTrayIcon::ActivationReason reason);

private:
    QSystemTrayIcon* icon_;
    bool visible_ = false;
    AnsiString hint_;
};
