// The application object, forms and the screen object.
#pragma once

#include "rtl/AnsiString.h"
#include "rtl/SysUtils.h"
#include "vcl/Controls.h"
#include "vcl/Windows.h"

#include <QCursor>
#include <functional>
#include <map>
#include <memory>

class QApplication;
class QEventLoop;

enum TBorderStyle { bsNone, bsDialog };
enum TFormStyle { fsNormal, fsStayOnTop };
enum TPosition { poDesigned, poDefault, poScreenCenter };
enum TCloseAction { caNone, caHide, caFree };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

class TForm : public TControl {
public:
    // `className` is the window class that FindWindow looks for.
    TForm(const char* className, TBorderStyle border, TFormStyle style, TPosition position);
    ~TForm() override;

    const char* ClassName() const { return className_; }
    // Runs OnDestroy, then deletes the form: the way every form ends.
    static void Destroy(TForm* form);
    AnsiString Caption() const;
    void SetCaption(const AnsiString& caption);
    void SetClientSize(int w, int h);
    bool DoubleBuffered = false;

    void Show();
    void Close();
    // Runs a nested loop until the form closes.
    int ShowModal();

    TNotifyEvent OnActivate;
    TNotifyEvent OnDestroy;
    TCloseEvent OnClose;

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    const char* className_;
    TPosition position_;
    bool shownOnce_ = false;
    void freeLater();
    QEventLoop* modalLoop_ = nullptr;
    bool freeAfterModal_ = false;
};

class TApplication {
public:
    TApplication();
    ~TApplication();

    // Creates the window-system connection. Unless the user chose a Qt platform, X11 is used,
    // also in a Wayland session: a global key state, free placement, stay-on-top and the
    // clipboard need it.
    void Initialize();
    // The first form created becomes the main form; `ref` is set before the constructor runs.
    template <class T> void CreateForm(T*& ref) {
        ref = static_cast<T*>(::operator new(sizeof(T)));
        try {
            new (ref) T();
        } catch (...) {
            ::operator delete(ref);
            ref = nullptr;
            throw;
        }
        adopt(ref);
    }
    // Shows the main form and runs the message loop until the main form closes.
    void Run();
    void Terminate();
    // Destroys every form, then the window-system connection; Run ends with it.
    void Shutdown();

    // The default report: a critical message box with the message, the title as caption.
    void ShowException(const std::exception& e);
    void HandleException(const std::exception& e);
    // Runs a handler; an exception never leaves it, it goes to the report instead.
    void Guard(const std::function<void()>& handler);
    // Tests replace the report; an empty function restores the message box.
    std::function<void(const AnsiString& message)> OnReport;

    AnsiString Title;
    // Full path of the running program file.
    AnsiString ExeName() const;
    // The hidden application window; ShowWindow(Handle, SW_HIDE) keeps the program out of
    // the taskbar.
    HWND Handle() const;
    TForm* MainForm() const { return mainForm_; }
    bool Terminated() const { return terminated_; }

private:
    void adopt(TForm* form);
    std::unique_ptr<QApplication> app_;
    TForm* mainForm_ = nullptr;
    std::vector<TForm*> forms_;
    bool terminated_ = false;
};

class TScreen {
public:
    // The primary screen's size in pixels.
    int Width() const;
    int Height() const;
    // The cursor table by number; a slot never filled gives the default cursor.
    void SetCursor(int slot, HCURSOR cursor);
    QCursor CursorFor(TCursor c) const;

private:
    std::map<int, QCursor> cursors_;
};

extern TApplication* Application;
extern TScreen* Screen;
