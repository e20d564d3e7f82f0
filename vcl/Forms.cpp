#include "vcl/Forms.h"

#include "rtl/Cp1251.h"
#include "vcl/Graphics.h"
#include "vcl/Platform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

QString toQString(const AnsiString& s) {
    return QString::fromStdString(Cp1251ToUtf8(s));
}

// A stand-in for the hidden application window: only ShowWindow knows it.
char applicationWindowTag;
QWidget* const applicationWindow = reinterpret_cast<QWidget*>(&applicationWindowTag);

} // namespace

static TApplication applicationObject;
static TScreen screenObject;
TApplication* Application = &applicationObject;
TScreen* Screen = &screenObject;

// ---------------------------------------------------------------- TForm

TForm::TForm(const char* className, TBorderStyle border, TFormStyle style, TPosition position)
    : className_(className), position_(position) {
    Qt::WindowFlags flags = Qt::Window;
    if (border == bsNone) {
        // No frame, no caption bar, and a tool window so no taskbar entry is made for it.
        flags = Qt::Tool | Qt::FramelessWindowHint;
    } else {
        // A caption with the close button only, no minimise or maximise.
        flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
    }
    if (style == fsStayOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    setWindowFlags(flags);
    setAttribute(Qt::WA_QuitOnClose, false);
    setObjectName(QString::fromLatin1(className));
    // Every form: the dialog face colour and the forms' font.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, ToQColor(clBtnFace));
    setPalette(colours);
    setAutoFillBackground(true);
    setFont(TFont().ToQFont());
}

TForm::~TForm() = default;

void TForm::Destroy(TForm* form) {
    if (!form)
        return;
    if (form->OnDestroy)
        Application->Guard([form] { form->OnDestroy(form); });
    delete form;
}

AnsiString TForm::Caption() const {
    return Utf8ToCp1251(windowTitle().toStdString());
}

void TForm::SetCaption(const AnsiString& caption) {
    setWindowTitle(toQString(caption));
}

void TForm::SetClientSize(int w, int h) {
    setFixedSize(w, h);
}

void TForm::Show() {
    show();
}

void TForm::showEvent(QShowEvent* e) {
    if (!shownOnce_) {
        shownOnce_ = true;
        if (position_ == poScreenCenter) {
            // Centred on the primary screen at the first showing only.
            const int l = std::max(0, (Screen->Width() - width()) / 2);
            const int t = std::max(0, (Screen->Height() - height()) / 2);
            move(l, t);
        }
    }
    if (windowFlags() & Qt::Tool && isWindow())
        vcl::platform().prepareToolWindow(this);
    TControl::showEvent(e);
}

bool TForm::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && OnActivate)
        Application->Guard([this] { OnActivate(this); });
    return TControl::event(e);
}

void TForm::closeEvent(QCloseEvent* e) {
    TCloseAction action = caHide;
    if (OnClose)
        Application->Guard([&] { OnClose(this, action); });
    if (action == caNone) {
        e->ignore();
        return;
    }
    e->accept();
    if (modalLoop_)
        modalLoop_->quit();
    if (this == Application->MainForm()) {
        Application->Terminate();
    } else if (action == caFree) {
        // A modal form is freed by ShowModal once its loop has ended: a loop nested inside it
        // (a clipboard wait, the menu) must not free it under ShowModal's feet.
        if (modalLoop_)
            freeAfterModal_ = true;
        else
            freeLater();
    }
}

void TForm::freeLater() {
    // Once the handler that closed it has returned.
    QTimer::singleShot(0, qApp, [form = QPointer<TForm>(this)] {
        if (form)
            TForm::Destroy(form);
    });
}

void TForm::Close() {
    close();
}

int TForm::ShowModal() {
    setWindowModality(Qt::ApplicationModal);
    show();
    QEventLoop loop;
    modalLoop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    modalLoop_ = nullptr;
    if (freeAfterModal_)
        freeLater();
    return 0;
}

// ---------------------------------------------------------------- TApplication

TApplication::TApplication() : Title("Quibra") {}

TApplication::~TApplication() {
    // At process exit Qt's own globals may be gone already: a window-system connection still
    // open here is left to the operating system.
    (void)app_.release();
}

void TApplication::Shutdown() {
    // The forms go before the window-system connection, the main form last.
    while (!forms_.empty()) {
        TForm* form = forms_.back();
        forms_.pop_back();
        TForm::Destroy(form);
    }
    mainForm_ = nullptr;
    app_.reset();
}

void TApplication::Initialize() {
    if (app_)
        return;
    static int argc = 1;
    static char name[] = "quibra";
    static char platformOption[] = "-platform";
    static char xcb[] = "xcb";
    static char* argv[] = {name, platformOption, xcb, nullptr};
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        argc = 1;
    else
        argc = 3;
    // The forms are laid out in pixels, and the screen copies are the screen's pixels: one
    // window pixel is one screen pixel, whatever scale the desktop asks Qt for.
    const bool scalingChosen = qEnvironmentVariableIsSet("QT_ENABLE_HIGHDPI_SCALING");
    if (!scalingChosen)
        qputenv("QT_ENABLE_HIGHDPI_SCALING", QByteArray("0"));
    app_ = std::make_unique<QApplication>(argc, argv);
    if (!scalingChosen)
        qunsetenv("QT_ENABLE_HIGHDPI_SCALING"); // not for the programs we start
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("quibra"));
}

void TApplication::adopt(TForm* form) {
    forms_.push_back(form);
    if (!mainForm_)
        mainForm_ = form;
    // Dialogs free themselves; the list keeps only what is still alive.
    QObject::connect(form, &QObject::destroyed, [this, form] {
        forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
        if (mainForm_ == form)
            mainForm_ = nullptr;
    });
}

void TApplication::Run() {
    if (!app_ || !mainForm_ || terminated_)
        return;
    mainForm_->Show();
    QApplication::exec();
    Shutdown();
}

void TApplication::Terminate() {
    terminated_ = true;
    QCoreApplication::exit(0);
}

AnsiString TApplication::ExeName() const {
    // The path's own bytes; file names are not re-coded.
    return AnsiString(QCoreApplication::applicationFilePath().toStdString());
}

HWND TApplication::Handle() const {
    return applicationWindow;
}

void TApplication::ShowException(const std::exception& e) {
    const AnsiString message(e.what());
    std::fprintf(stderr, "%s: %s\n", Cp1251ToUtf8(Title).c_str(), Cp1251ToUtf8(message).c_str());
    if (OnReport) {
        OnReport(message);
        return;
    }
    QMessageBox box(QMessageBox::Critical, toQString(Title), toQString(message), QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

void TApplication::HandleException(const std::exception& e) {
    ShowException(e);
}

void TApplication::Guard(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        HandleException(e);
    } catch (...) {
        HandleException(Exception("Unknown error"));
    }
}

// ---------------------------------------------------------------- TScreen

int TScreen::Width() const {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 0;
}

int TScreen::Height() const {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 0;
}

void TScreen::SetCursor(int slot, HCURSOR cursor) {
    if (cursor)
        cursors_[slot] = *cursor;
    else
        cursors_.erase(slot);
}

QCursor TScreen::CursorFor(TCursor c) const {
    if (c == crHandPoint)
        return QCursor(Qt::PointingHandCursor);
    auto it = cursors_.find(c);
    return it != cursors_.end() ? it->second : QCursor(Qt::ArrowCursor);
}
