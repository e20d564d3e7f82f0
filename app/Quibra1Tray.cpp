// The tray icon's click, the owner-drawn popup menu and its commands: the two dialogs and the
// exit with its closing animation.
#include "app/Quibra1.h"

#include "dialogs/About.h"
#include "dialogs/Options.h"
#include "vcl/ImgList.h"
#include "vcl/Menus.h"
#include "vcl/TrayIcon.h"

namespace {

const char* const TextScreenShot = "  \xD1\xED\xE8\xEC\xEE\xEA";             // "  Снимок"
const char* const TextOptions = "  \xCD\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8..."; // "  Настройки..."
const char* const TextAbout = "  \xCE \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE5"; // "  О программе"
const char* const TextExit = "  \xC2\xFB\xF5\xEE\xE4";                       // "  Выход"

// A command row at top T: the highlight box or its erasure, the band picture, the text.
void DrawCommand(TCanvas* c, TImageList* pictures, int top, int index, const char* text,
                 bool selected, bool bold) {
    if (selected) {
        c->Brush.Color = clSilver;
        c->Rectangle(22, top, 108, top + 19);
    } else {
        c->Pen.Style = psClear;
        c->Rectangle(22, top, 109, top + 20);
    }
    if (bold)
        c->Font.Style |= fsBold;
    pictures->Draw(c, 0, top, index, true);
    c->TextOut(23, top + 2, text);
}

// A divider row at top T: the band picture and a teal line; the selected state changes nothing.
void DrawDivider(TCanvas* c, TImageList* pictures, int top, int index) {
    pictures->Draw(c, 0, top, index, true);
    c->Pen.Color = clTeal;
    c->MoveTo(22, top + 4);
    c->LineTo(115, top + 4);
}

} // namespace

void TForm1::TrayIcon1Click(TObject*) {
    Hidden = !Hidden;
    SetVisible(!Hidden);
}

void TForm1::NScreenShotMeasureItem(TObject*, TCanvas*, int& Width, int& Height) {
    Width = 96;
    Height = 20;
}

void TForm1::N1MeasureItem(TObject*, TCanvas*, int& Width, int& Height) {
    Width = 96;
    Height = 10;
}

void TForm1::NScreenShotDrawItem(TObject*, TCanvas* ACanvas, const TRect&, bool Selected) {
    DrawCommand(ACanvas, ImageList1, 0, 0, TextScreenShot, Selected, false);
}

void TForm1::NOptionsDrawItem(TObject*, TCanvas* ACanvas, const TRect&, bool Selected) {
    DrawCommand(ACanvas, ImageList1, 20, 1, TextOptions, Selected, true);
}

void TForm1::N1DrawItem(TObject*, TCanvas* ACanvas, const TRect&, bool) {
    DrawDivider(ACanvas, ImageList2, 40, 0);
}

void TForm1::NAboutDrawItem(TObject*, TCanvas* ACanvas, const TRect&, bool Selected) {
    DrawCommand(ACanvas, ImageList1, 50, 2, TextAbout, Selected, false);
}

void TForm1::NDrawItem(TObject*, TCanvas* ACanvas, const TRect&, bool) {
    DrawDivider(ACanvas, ImageList2, 70, 1);
}

void TForm1::NExitDrawItem(TObject*, TCanvas* ACanvas, const TRect&, bool Selected) {
    DrawCommand(ACanvas, ImageList1, 80, 3, TextExit, Selected, false);
}

void TForm1::NOptionsClick(TObject*) {
    if (!OptionsAllowed)
        return;
    Application->CreateForm(Form2);
    Form2->ShowModal();
}

void TForm1::NAboutClick(TObject*) {
    if (!AboutAllowed)
        return;
    Application->CreateForm(Form3);
    Form3->ShowModal();
}

void TForm1::NExitClick(TObject*) {
    TrayIcon1->SetVisible(false);
    if (!Hidden) {
        // The window shrinks in an ellipse centred on (96, 100), 3 pixels a side per frame.
        // Each region is on the screen before the next: SetWindowRgn redraws at once.
        for (int k = 0; k <= 47; ++k) {
            SetWindowRgn(
                this, CreateEllipticRgn(-40 + 3 * k, -40 + 3 * k, 232 - 3 * k, 240 - 3 * k), TRUE);
            Sleep(1);
        }
    }
    Form1->Close();
}
