// The main form: the gadget's window, all of the program's state and its handlers.
#pragma once

#include "analyser/Classanalyser.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"
#include "vcl/JpegImage.h"
#include "vcl/StdCtrls.h"
#include "vcl/Windows.h"

#include <array>
#include <optional>

class TTrayIcon;
class TPopupMenu;
class TMenuItem;
class TImageList;

class TForm1 : public TForm {
public:
    TForm1();
    ~TForm1() override;

    // Components, in layout order.
    TTrayIcon* TrayIcon1 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem* NExit = nullptr;
    TImage* Image1 = nullptr;
    TImage* Image2 = nullptr;
    TTimer* Timer1 = nullptr;
    TImage* Image3 = nullptr;
    TImage* Image4 = nullptr;
    TTimer* Timer2 = nullptr;
    TEdit* Edit1 = nullptr;
    TMenuItem* NOptions = nullptr;
    TMenuItem* NScreenShot = nullptr;
    TTimer* Timer3 = nullptr;
    TMenuItem* N1 = nullptr;
    TMenuItem* NAbout = nullptr;
    TMenuItem* N = nullptr;
    TImageList* ImageList1 = nullptr;
    TImageList* ImageList2 = nullptr;

    // Handlers bound by the layout.
    void NExitClick(TObject* Sender);
    void FormActivate(TObject* Sender);
    void Timer1Timer(TObject* Sender);
    void Image1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Image1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Image1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Timer2Timer(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void NOptionsClick(TObject* Sender);
    void NScreenShotClick(TObject* Sender);
    void Timer3Timer(TObject* Sender);
    void NScreenShotDrawItem(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, bool Selected);
    void NOptionsDrawItem(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, bool Selected);
    void NScreenShotMeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
    void N1MeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
    void N1DrawItem(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, bool Selected);
    void NAboutDrawItem(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, bool Selected);
    void NDrawItem(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, bool Selected);
    void NExitDrawItem(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, bool Selected);
    void NAboutClick(TObject* Sender);
    void TrayIcon1Click(TObject* Sender);

    void ShowTextInfo();
    void ShowPictureInfo();
    void ShowNothingInfo();
    void SaveClipboardPicture();

    // State, read and written directly by the dialogs.
    bool Dragging = false;
    int DragX = 0;
    int DragY = 0;
    AnsiString Lines[3];
    int ScrollY = 0;
    AnsiString ShotDir;
    TAnalyser Analyser;
    HWND SelfHandle = nullptr;
    unsigned char Alpha = 0;
    int ShotCount = 0;
    int ShotNumber = 0;
    int ShotInterval = 0;
    bool OptionsAllowed = false;
    bool AboutAllowed = false;
    int PictureNumber = 0;
    bool Hidden = false;

private:
    void LoadLayout();

    // The monitor reports a fault once: a text whose analysis failed is not analysed again
    // until the clipboard text changes, and an error that recurs on the next tick is not
    // shown again.
    std::optional<AnsiString> FailedText;
    AnsiString LastTickError;
};

extern TForm1* Form1;

// The lines the strips show at rest (null before the first animation frame of the run), and
// a way to forget them, for a run that makes a new main form.
const std::array<AnsiString, 3>* RestingLines();
void ForgetRestingLines();

// Drawing objects of every capture, made before the main form and deleted by FormDestroy.
extern TBitmap* ShotBitmap;
extern TCanvas* ScreenCanvas;
extern TJPEGImage* ShotJpeg;
