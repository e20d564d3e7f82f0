#include "vcl/TrayIcon.h"

#include "rtl/Cp1251.h"
#include "rtl/SysUtils.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"

#include <QApplication>
#include <QCursor>
#include <QTimer>
#include <QWidget>

const char* const TTrayIcon::CreateError = "Cannot Create System Shell Notification Icon";
const char* const TTrayIcon::RemoveError = "Cannot Remove System Shell Notification Icon";

TTrayIcon::TTrayIcon(QObject* owner) : QObject(owner), icon_(new QSystemTrayIcon(this)) {
    // Handled from the event loop: on X11 the activations come from inside the embedded
    // icon window's mouse handler, and the menu's commands may remove that very window.
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        QTimer::singleShot(0, this, [this, r] { Activate(r); });
    });
}

TTrayIcon::~TTrayIcon() {
    icon_->hide();
}

bool TTrayIcon::AreaAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TTrayIcon::SetVisible(bool visible) {
    if (visible == visible_)
        return;
    if (visible) {
        // Qt shows nothing for an empty icon (it only warns); that is the one refusal Qt has.
        // A missing notification area is not one: Qt embeds the icon once an area starts.
        const QIcon icon = QApplication::windowIcon();
        if (icon.isNull() || icon.availableSizes().isEmpty())
            throw Exception(CreateError);
        icon_->setIcon(icon);
        icon_->show();
    } else {
        // Removing cannot fail through Qt: the icon's window is simply withdrawn, so
        // RemoveError is never raised here.
        icon_->hide();
    }
    visible_ = visible;
}

void TTrayIcon::SetHint(const AnsiString& hint) {
    hint_ = hint;
    icon_->setToolTip(QString::fromStdString(Cp1251ToUtf8(hint)));
}

void TTrayIcon::Activate(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::DoubleClick:
        // X11 reports the first click of a double click as Trigger and the second as
        // DoubleClick: both are clicks.
        if (OnClick)
            Application->Guard([this] { OnClick(this); });
        break;
    case QSystemTrayIcon::Context:
        if (PopupMenu) {
            if (QWidget* active = QApplication::activeWindow()) {
                active->raise();
                active->activateWindow();
            }
            const QPoint at = QCursor::pos();
            PopupMenu->Popup(at.x(), at.y());
        }
        break;
    default:
        break;
    }
}
