#include "dialogs/Options.h"

#include "app/Quibra1.h"
#include "rtl/SysUtils.h"
#include "vcl/Windows.h"

#include <QMargins>
#include <QSlider>

TForm2* Form2 = nullptr;

TForm2::TForm2() : TForm("TForm2", bsDialog, fsNormal, poDefault) {
    LoadLayout();
    UpDown1->SetPosition(static_cast<std::int16_t>(Form1->ShotCount));
    UpDown2->SetPosition(static_cast<std::int16_t>(Form1->ShotInterval));
    Form1->OptionsAllowed = false;
    // Fires TrackBar1Change only when Alpha differs from the stored 255.
    TrackBar1->SetPosition(Form1->Alpha);
    PlaceBesideMainWindow(this);
}

TForm2::~TForm2() {
    if (Form2 == this)
        Form2 = nullptr;
}

void TForm2::LoadLayout() {
    SetCaption("\xCD\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8"); // Настройки
    move(402, 110);
    SetClientSize(287, 164);
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };

    Shape1 = new TShape(this);
    Shape1->SetBounds(8, 16, 273, 57);
    Shape1->Shape = stRoundRect;
    Shape1->Pen.Color = clGray;
    Shape1->Brush.Style = bsClear;

    // Each label comes after its frame, so its opaque background interrupts the frame's top.
    Label1 = new TLabel(this);
    Label1->SetCaption("\xCF\xF0\xEE\xE7\xF0\xE0\xF7\xED\xEE\xF1\xF2\xFC"); // Прозрачность
    Label1->SetBounds(107, 10, 72, 13);

    Shape2 = new TShape(this);
    Shape2->SetBounds(8, 88, 273, 65);
    Shape2->Shape = stRoundRect;
    Shape2->Pen.Color = clGray;
    Shape2->Brush.Style = bsClear;

    Label2 = new TLabel(this);
    // Параметры снимков экрана
    Label2->SetCaption("\xCF\xE0\xF0\xE0\xEC\xE5\xF2\xF0\xFB \xF1\xED\xE8\xEC\xEA\xEE\xE2 "
                       "\xFD\xEA\xF0\xE0\xED\xE0");
    Label2->SetBounds(72, 82, 145, 13);

    Label3 = new TLabel(this);
    // Количество снимков
    Label3->SetCaption("\xCA\xEE\xEB\xE8\xF7\xE5\xF1\xF2\xE2\xEE \xF1\xED\xE8\xEC\xEA\xEE\xE2");
    Label3->SetBounds(27, 129, 106, 13);

    Label4 = new TLabel(this);
    // Частота снимков (сек.)
    Label4->SetCaption("\xD7\xE0\xF1\xF2\xEE\xF2\xE0 \xF1\xED\xE8\xEC\xEA\xEE\xE2 "
                       "(\xF1\xE5\xEA.)");
    Label4->SetBounds(150, 129, 119, 13);

    TrackBar1 = new TTrackBar(this);
    TrackBar1->SetBounds(19, 32, 252, 25);
    TrackBar1->SetRange(20, 255);
    TrackBar1->SetPosition(255);
    TrackBar1->SetFrequency(17);
    TrackBar1->SetTickMarks(tmBottomRight);
    TrackBar1->SetTickStyle(tsAuto);
    TrackBar1->SetThumbLength(15);
    TrackBar1->SetCursor(crHandPoint);
    TrackBar1->SetTabStop(false);
    TrackBar1->OnChange = [this](TObject* s) { TrackBar1Change(s); };

    Edit1 = new TEdit(this);
    Edit1->SetBounds(48, 104, 49, 21);
    Edit1->SetReadOnly(true);
    Edit1->SetTabStop(false);
    Edit1->SetText("1");
    Edit1->OnChange = [this](TObject* s) { Edit1Change(s); };

    UpDown1 = new TUpDown(this);
    UpDown1->SetBounds(97, 104, 17, 21);
    UpDown1->SetMin(1);
    UpDown1->SetMax(100);
    UpDown1->SetPosition(1);
    UpDown1->Wrap = true;
    UpDown1->SetAssociate(Edit1);

    Edit2 = new TEdit(this);
    Edit2->SetBounds(176, 104, 49, 21);
    Edit2->SetReadOnly(true);
    Edit2->SetTabStop(false);
    Edit2->SetText("1");
    Edit2->OnChange = [this](TObject* s) { Edit2Change(s); };

    UpDown2 = new TUpDown(this);
    UpDown2->SetBounds(225, 104, 16, 21);
    UpDown2->SetMin(1);
    UpDown2->SetMax(600);
    UpDown2->SetPosition(1);
    UpDown2->Wrap = true;
    UpDown2->SetAssociate(Edit2);

    // Tab order: TrackBar1, Edit1, UpDown1, Edit2, UpDown2.
    QWidget::setTabOrder(TrackBar1->Slider(), Edit1);
    QWidget::setTabOrder(Edit1, UpDown1);
    QWidget::setTabOrder(UpDown1, Edit2);
    QWidget::setTabOrder(Edit2, UpDown2);
}

void TForm2::TrackBar1Change(TObject*) {
    SetWindowLongA(Form1->SelfHandle, GWL_EXSTYLE,
                   GetWindowLongA(Form1->SelfHandle, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(Form1->SelfHandle, 0,
                               static_cast<std::uint8_t>(TrackBar1->Position() & 0xFF), LWA_ALPHA);
}

void TForm2::Edit1Change(TObject*) {
    Form1->ShotCount = StrToInt(Edit1->Text());
}

void TForm2::Edit2Change(TObject*) {
    Form1->ShotInterval = StrToInt(Edit2->Text());
    Form1->Timer3->SetInterval(Form1->ShotInterval * 1000);
}

void TForm2::FormClose(TObject*, TCloseAction& Action) {
    Form1->OptionsAllowed = true;
    Form1->Alpha = static_cast<unsigned char>(TrackBar1->Position() & 0xFF);
    Action = caFree;
}

void PlaceBesideMainWindow(TForm* dialog) {
    const QRect main = Form1->frameGeometry();
    const QMargins frame = vcl::FrameExtents(dialog);
    const int width = dialog->width() + frame.left() + frame.right();
    const int left = main.left() < Screen->Width() - main.width() - width
                         ? main.left() + main.width()
                         : main.left() - width;
    // The client area goes inside the frame, so the frame's corner lands on (left, top).
    dialog->setGeometry(
        QRect(QPoint(left + frame.left(), main.top() + frame.top()), dialog->size()));
}
