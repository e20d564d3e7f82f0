// The main form's layout: components, positions, stored properties and event bindings.
#include "app/Quibra1.h"

#include "resources/Resources.h"
#include "vcl/ImgList.h"
#include "vcl/Jpeg.h"
#include "vcl/Menus.h"
#include "vcl/TrayIcon.h"

#include <QApplication>
#include <QCursor>
#include <QIcon>

namespace {

// The main icon, all eight sizes: the application's icon, which the tray icon shows.
void LoadMainIcon() {
    QIcon icon;
    for (const QString& file : resources::iconFiles())
        icon.addFile(file);
    QApplication::setWindowIcon(icon);
}

} // namespace

void TForm1::LoadLayout() {
    LoadMainIcon();
    SetCaption("Quibra");
    SetHint("Quibra");
    move(200, 111);
    SetClientSize(192, 200);
    OnActivate = [this](TObject* s) { FormActivate(s); };
    OnDestroy = [this](TObject* s) { FormDestroy(s); };

    Image1 = new TImage(this);
    Image1->SetBounds(0, 0, 192, 200);
    Image1->AutoSize = true;
    Image1->SetPicture(vcl::decodeJpegFile(QStringLiteral(":/face.jpg")));
    Image1->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        Image1MouseDown(s, b, sh, x, y);
    };
    Image1->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) {
        Image1MouseMove(s, sh, x, y);
    };
    Image1->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        Image1MouseUp(s, b, sh, x, y);
        // Without a notification area the menu would be out of reach: the right button on
        // the gadget opens it instead, at the pointer, on the release as the icon does.
        if (b == mbRight && !TrayIcon1->InNotificationArea()) {
            const QPoint at = QCursor::pos();
            PopupMenu1->Popup(at.x(), at.y());
        }
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

    TrayIcon1 = new TTrayIcon(this);
    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->OwnerDraw = true;
    const auto item = [this](TNotifyEvent click, TMenuDrawItemEvent draw,
                             TMenuMeasureItemEvent measure) {
        auto* i = new TMenuItem(PopupMenu1);
        i->OnClick = std::move(click);
        i->OnDrawItem = std::move(draw);
        i->OnMeasureItem = std::move(measure);
        PopupMenu1->Add(i);
        return i;
    };
    const TMenuMeasureItemEvent commandSize = [this](TObject* s, TCanvas* c, int& w, int& h) {
        NScreenShotMeasureItem(s, c, w, h);
    };
    const TMenuMeasureItemEvent dividerSize = [this](TObject* s, TCanvas* c, int& w, int& h) {
        N1MeasureItem(s, c, w, h);
    };
    NScreenShot = item([this](TObject* s) { NScreenShotClick(s); },
                       [this](TObject* s, TCanvas* c, const TRect& r, bool sel) {
                           NScreenShotDrawItem(s, c, r, sel);
                       },
                       commandSize);
    NOptions = item([this](TObject* s) { NOptionsClick(s); },
                    [this](TObject* s, TCanvas* c, const TRect& r, bool sel) {
                        NOptionsDrawItem(s, c, r, sel);
                    },
                    commandSize);
    N1 = item(
        nullptr,
        [this](TObject* s, TCanvas* c, const TRect& r, bool sel) { N1DrawItem(s, c, r, sel); },
        dividerSize);
    NAbout = item(
        [this](TObject* s) { NAboutClick(s); },
        [this](TObject* s, TCanvas* c, const TRect& r, bool sel) { NAboutDrawItem(s, c, r, sel); },
        commandSize);
    N = item(
        nullptr,
        [this](TObject* s, TCanvas* c, const TRect& r, bool sel) { NDrawItem(s, c, r, sel); },
        dividerSize);
    NExit = item(
        [this](TObject* s) { NExitClick(s); },
        [this](TObject* s, TCanvas* c, const TRect& r, bool sel) { NExitDrawItem(s, c, r, sel); },
        commandSize);

    TrayIcon1->SetHint("Quibra");
    TrayIcon1->PopupMenu = PopupMenu1;
    TrayIcon1->OnClick = [this](TObject* s) { TrayIcon1Click(s); };
    try {
        TrayIcon1->SetVisible(true);
    } catch (const Exception& e) {
        // A refused icon ends the form's construction, naming the property being read.
        throw Exception("Error reading TrayIcon1.Visible: " + e.Message());
    }

    Timer3 = new TTimer(this);
    Timer3->SetEnabled(false);
    Timer3->OnTimer = [this](TObject* s) { Timer3Timer(s); };

    // The menu's picture band, cut into its item slices: the commands' 20-pixel rows and the
    // dividers' 10-pixel rows.
    const QImage band(QStringLiteral(":/band.png"));
    ImageList1 = new TImageList(this);
    ImageList1->Width = 20;
    ImageList1->Height = 20;
    for (int top : {0, 20, 50, 80})
        ImageList1->Add(band.copy(0, top, 20, 20));
    ImageList2 = new TImageList(this);
    ImageList2->Width = 20;
    ImageList2->Height = 10;
    for (int top : {40, 70})
        ImageList2->Add(band.copy(0, top, 20, 10));
}
