#include "app/Quibra1.h"

#include "rtl/FileUtils.h"
#include "rtl/SysUtils.h"
#include "vcl/Clipbrd.h"

#include <array>
#include <memory>

TForm1* Form1 = nullptr;

TBitmap* ShotBitmap = nullptr;
TCanvas* ScreenCanvas = nullptr;
TJPEGImage* ShotJpeg = nullptr;

namespace {

const char* const KindText = "\xD2\xE5\xEA\xF1\xF2";            // "Текст"
const char* const KindPicture = "\xD0\xE8\xF1\xF3\xED\xEE\xEA"; // "Рисунок"
const char* const Unknown = "???";

// The lines the strips show at rest; made at the first animation frame of the run.
std::unique_ptr<std::array<AnsiString, 3>> ShownLines;

// The unit's own start-up: the capture objects exist before any form.
struct UnitStart {
    UnitStart() {
        ShotBitmap = new TBitmap;
        ScreenCanvas = new TCanvas;
        ShotJpeg = new TJPEGImage;
    }
} unitStart;

AnsiString CaptureFolder() {
    return ExtractFilePath(Application->ExeName()) + "screenshot/";
}

} // namespace

const std::array<AnsiString, 3>* RestingLines() {
    return ShownLines.get();
}

void ForgetRestingLines() {
    ShownLines.reset();
}

TForm1::TForm1() : TForm("TForm1", bsNone, fsStayOnTop, poScreenCenter) {
    LoadLayout();

    const AnsiString folder = CaptureFolder();
    if (!DirectoryExists(folder))
        CreateDir(folder);

    Hidden = false;
    PictureNumber = 1;
    OptionsAllowed = true;
    AboutAllowed = true;
    ShotCount = 1;
    ShotInterval = 1;

    Screen->SetCursor(1, LoadCursor(HInstance, "C"));
    Screen->SetCursor(2, LoadCursor(HInstance, "C1"));
    Image1->SetCursor(2);

    SelfHandle = FindWindow("TForm1", "Quibra");
    Alpha = 255;
    ShotDir = CaptureFolder();

    SetWindowRgn(this, CreateRoundRectRgn(0, 0, 193, 201, 20, 20), TRUE);
    DoubleBuffered = true;

    // The strips: pink bold text; the fill colours are the strips' transparent colours.
    TCanvas* c = Image2->Canvas();
    c->Font.Color = 12631547;
    c->Brush.Color = clBlack;
    c->Font.SetSize(10);
    c->FillRect(Rect(0, 0, 120, 20));
    c->Font.Style |= fsBold;
    c = Image3->Canvas();
    c->Font.Color = 12631547;
    c->Font.SetSize(10);
    c->FillRect(Rect(0, 0, 80, 20));
    c->Font.Style |= fsBold;
    c = Image4->Canvas();
    c->Font.Color = 12631547;
    c->Font.SetSize(10);
    c->FillRect(Rect(0, 0, 120, 20));
    c->Font.Style |= fsBold;

    ScrollY = -12;
}

TForm1::~TForm1() = default;

void TForm1::FormDestroy(TObject*) {
    delete ShotBitmap;
    ShotBitmap = nullptr;
    delete ScreenCanvas;
    ScreenCanvas = nullptr;
    delete ShotJpeg;
    ShotJpeg = nullptr;
}

// ---------------------------------------------------------------- clipboard monitor

void TForm1::Timer1Timer(TObject*) {
    Timer1->SetEnabled(false);
    // One look at the formats serves the whole tick: a slow owner is waited for once, and no
    // animation frame can run inside the tick while it is waited for.
    Clipboard()->Open();
    struct CloseClipboard {
        ~CloseClipboard() { Clipboard()->Close(); }
    } closeClipboard;
    try {
        if (GetAsyncKeyState(VK_SNAPSHOT) != 0)
            SaveClipboardPicture();
        const bool text = Clipboard()->HasFormat(CF_TEXT);
        if (text)
            ShowTextInfo();
        const bool picture = Clipboard()->HasFormat(CF_PICTURE);
        if (picture)
            ShowPictureInfo();
        if (!text && !picture)
            ShowNothingInfo();
        LastTickError = AnsiString();
    } catch (const Exception& e) {
        // The monitor goes on after a report: the edit is emptied, and unless a completed
        // show operation has started the animation (whose end re-arms the monitor), the
        // next tick is armed here. A fault seen on the previous tick is not shown again.
        Edit1->Clear();
        // A wait cut short by the program's end is no fault to report.
        if (Application->Terminated())
            return;
        if (!Timer2->Enabled())
            Timer1->SetEnabled(true);
        if (e.Message() == LastTickError)
            return;
        LastTickError = e.Message();
        throw;
    }
}

void TForm1::ShowTextInfo() {
    Edit1->PasteFromClipboard();
    const AnsiString text = Edit1->Text();
    if (!FailedText || text != *FailedText) {
        FailedText.reset();
        const std::array<AnsiString, 3> before = {Lines[0], Lines[1], Lines[2]};
        try {
            Lines[0] = Analyser.Analyse(text);
            Lines[1] = KindText;
            Lines[2] = Analyser.ToHex(Lines[0]);
        } catch (const Exception&) {
            // The display keeps what it showed; this text is not analysed again.
            for (int i = 0; i < 3; ++i)
                Lines[i] = before[i];
            FailedText = text;
            throw;
        }
    }
    Edit1->Clear();
    Timer2->SetEnabled(true);
    Image2->SetHint(Lines[0]);
}

void TForm1::ShowPictureInfo() {
    Lines[0] = Unknown;
    Lines[1] = KindPicture;
    Lines[2] = Unknown;
    Image2->SetHint("");
    Timer2->SetEnabled(true);
}

void TForm1::ShowNothingInfo() {
    Lines[0] = Unknown;
    Lines[1] = Unknown;
    Lines[2] = Unknown;
    Image2->SetHint("");
    Timer2->SetEnabled(true);
}

// ---------------------------------------------------------------- display

void TForm1::Timer2Timer(TObject*) {
    if (!ShownLines)
        ShownLines = std::make_unique<std::array<AnsiString, 3>>();
    TImage* const strips[3] = {Image2, Image3, Image4};
    for (int i = 0; i < 3; ++i) {
        const AnsiString& shown = (*ShownLines)[i];
        if (shown == Lines[i])
            continue;
        TCanvas* c = strips[i]->Canvas();
        const int half = strips[i]->Width() / 2;
        c->TextOut(half - c->TextWidth(Lines[i]) / 2, ScrollY, Lines[i]);
        c->TextOut(half - c->TextWidth(shown) / 2, ScrollY + 17, shown);
    }
    ++ScrollY;
    if (ScrollY == 2) {
        Timer2->SetEnabled(false);
        ScrollY = -15;
        for (int i = 0; i < 3; ++i)
            (*ShownLines)[i] = Lines[i];
        Timer1->SetEnabled(true);
    }
}

// ---------------------------------------------------------------- captures

void TForm1::SaveClipboardPicture() {
    ShotBitmap->Assign(Clipboard());
    ShotJpeg->Assign(ShotBitmap);
    const int number = PictureNumber++;
    ShotJpeg->SaveToFile(ShotDir + "picture" + IntToStr(number) + ".jpg");
}

void TForm1::NScreenShotClick(TObject*) {
    Timer3->SetEnabled(true);
    ShotNumber = 0;
}

void TForm1::Timer3Timer(TObject*) {
    ++ShotNumber;
    // A series always ends: the stop test runs after a failed save too, and a count lowered
    // below the captures already taken ends it here.
    struct StopTest {
        TForm1* form;
        ~StopTest() {
            if (form->ShotNumber >= form->ShotCount)
                form->Timer3->SetEnabled(false);
        }
    } stopTest{this};

    ScreenCanvas->SetHandle(GetDC(nullptr));
    ShotBitmap->SetWidth(Screen->Width());
    ShotBitmap->SetHeight(Screen->Height());
    const TRect r = Rect(0, 0, Screen->Width(), Screen->Height());
    ShotBitmap->Canvas()->CopyRect(r, ScreenCanvas, r);
    ShotJpeg->Assign(ShotBitmap);
    ShotJpeg->SaveToFile(ShotDir + "photo" + IntToStr(ShotNumber) + ".jpg");
}

// ---------------------------------------------------------------- window shell

void TForm1::FormActivate(TObject*) {
    ShowWindow(Application->Handle(), SW_HIDE);
}

void TForm1::Image1MouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
    if (Button != mbLeft)
        return;
    Image1->SetCursor(1);
    Dragging = true;
    DragX = X;
    DragY = Y;
    const RECT clip = Rect(X, Y, Screen->Width() - Image1->Width() + X + 1,
                           Screen->Height() - Image1->Height() + Y + 1);
    ClipCursor(&clip);
}

void TForm1::Image1MouseMove(TObject*, TShiftState, int, int) {
    if (!Dragging)
        return;
    POINT p;
    GetCursorPos(&p);
    SetLeft(p.x - DragX);
    SetTop(p.y - DragY);
}

void TForm1::Image1MouseUp(TObject*, TMouseButton, TShiftState, int, int) {
    Image1->SetCursor(2);
    Dragging = false;
    ClipCursor(nullptr);
}
