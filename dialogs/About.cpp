#include "dialogs/About.h"

#include "app/Quibra1.h"
#include "dialogs/Options.h"
#include "vcl/Jpeg.h"
#include "vcl/Windows.h"

TForm3* Form3 = nullptr;
const char* const ContactAddress = "quibra@example.org";

namespace {

// The logo with its transparent colour, the colour of its lower-left pixel, left out.
QImage logo() {
    QImage picture(QStringLiteral(":/logo.bmp"));
    if (picture.isNull())
        return picture;
    picture = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = picture.pixel(0, picture.height() - 1);
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            if (row[x] == key)
                row[x] = qRgba(0, 0, 0, 0);
    }
    return picture;
}

} // namespace

TForm3::TForm3() : TForm("TForm3", bsDialog, fsNormal, poDefault) {
    LoadLayout();
    Form1->AboutAllowed = false;
    PlaceBesideMainWindow(this);
}

TForm3::~TForm3() {
    if (Form3 == this)
        Form3 = nullptr;
}

void TForm3::LoadLayout() {
    SetCaption("\xCE \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE5"); // О программе
    move(678, 111);
    SetClientSize(287, 164);
    OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { FormMouseMove(s, sh, x, y); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };

    Image1 = new TImage(this);
    Image1->SetBounds(8, 13, 100, 100);
    Image1->AutoSize = true;
    Image1->SetPicture(vcl::decodeJpegFile(QStringLiteral(":/miniature.jpg")));

    Label1 = new TLabel(this);
    Label1->Font.Style = fsBold;
    Label1->SetCaption("Quibra - version 1.0");
    Label1->SetBounds(143, 56, 113, 13);

    Label2 = new TLabel(this);
    Label2->SetCaption("\xA9 2026 The Quibra project"); // © 2026 The Quibra project
    Label2->SetBounds(118, 80, 161, 13);

    Label3 = new TLabel(this);
    Label3->Font.Color = clBlue;
    Label3->SetCaption(ContactAddress);
    Label3->SetBounds(142, 104, 118, 13);
    Label3->SetCursor(crHandPoint);
    Label3->OnClick = [this](TObject* s) { Label3Click(s); };
    Label3->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) {
        Label3MouseMove(s, sh, x, y);
    };

    Image2 = new TImage(this);
    Image2->SetBounds(149, 16, 100, 35);
    Image2->AutoSize = true;
    Image2->SetTransparent(true);
    Image2->SetPicture(logo());

    Button1 = new TButton(this);
    Button1->SetBounds(8, 128, 273, 25);
    Button1->SetCaption("OK");
    Button1->SetTabStop(false);
    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
}

void TForm3::Button1Click(TObject*) {
    Close();
}

void TForm3::FormClose(TObject*, TCloseAction& Action) {
    Form1->AboutAllowed = true;
    Action = caFree;
}

void TForm3::Label3Click(TObject*) {
    const AnsiString link = AnsiString("mailto:") + ContactAddress;
    ShellExecuteA(this, nullptr, link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TForm3::Label3MouseMove(TObject*, TShiftState, int, int) {
    Label3->Font.Color = clTeal;
    Label3->FontChanged();
}

void TForm3::FormMouseMove(TObject*, TShiftState, int, int) {
    Label3->Font.Color = clBlue;
    Label3->FontChanged();
}
