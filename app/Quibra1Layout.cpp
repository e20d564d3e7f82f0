// The main form's layout: components, positions, stored properties and event bindings.
#include "app/Quibra1.h"

#include "vcl/Jpeg.h"

#include <QFile>

namespace {

QImage facePicture() {
    QFile file(QStringLiteral(":/face.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return QImage();
    return vcl::decodeJpeg(file.readAll());
}

} // namespace

void TForm1::LoadLayout() {
    SetCaption("Quibra");
    SetHint("Quibra");
    move(200, 111);
    SetClientSize(192, 200);
    OnActivate = [this](TObject* s) { FormActivate(s); };
    OnDestroy = [this](TObject* s) { FormDestroy(s); };

    Image1 = new TImage(this);
    Image1->SetBounds(0, 0, 192, 200);
    Image1->AutoSize = true;
    Image1->SetPicture(facePicture());
    Image1->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        Image1MouseDown(s, b, sh, x, y);
    };
    Image1->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) {
        Image1MouseMove(s, sh, x, y);
    };
    Image1->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        Image1MouseUp(s, b, sh, x, y);
    };

    Image2 = new TImage(this);
    Image2->SetBounds(36, 35, 120, 20);
    Image2->SetShowHint(true);
    Image2->SetTransparent(true);

    Timer1 = new TTimer(this);
    Timer1->SetInterval(250);
    Timer1->OnTimer = [this](TObject* s) { Timer1Timer(s); };

    Image3 = new TImage(this);
    Image3->SetBounds(57, 94, 80, 20);
    Image3->SetTransparent(true);

    Image4 = new TImage(this);
    Image4->SetBounds(36, 152, 120, 20);
    Image4->SetTransparent(true);

    Timer2 = new TTimer(this);
    Timer2->SetEnabled(false);
    Timer2->SetInterval(25);
    Timer2->OnTimer = [this](TObject* s) { Timer2Timer(s); };

    // Hidden, and below the 200-pixel client area as well.
    Edit1 = new TEdit(this);
    Edit1->SetBounds(40, 224, 121, 21);
    Edit1->SetVisible(false);

    Timer3 = new TTimer(this);
    Timer3->SetEnabled(false);
    Timer3->OnTimer = [this](TObject* s) { Timer3Timer(s); };
}
