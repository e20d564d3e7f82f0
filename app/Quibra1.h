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

class TForm1 : public TForm {
public:
    TForm1();
    ~TForm1() override;

    // Components, in layout order.
    TImage* Image1;
    TImage* Image2;
    TTimer* Timer1;
    TImage* Image3;
    TImage* Image4;
    TTimer* Timer2;
    TEdit* Edit1;
    TTimer* Timer3;

    // Handlers bound by the layout.
    void FormActivate(TObject* Sender);
    void Timer1Timer(TObject* Sender);
    void Image1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Image1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Image1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Timer2Timer(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void NScreenShotClick(TObject* Sender);
    void Timer3Timer(TObject* Sender);

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
