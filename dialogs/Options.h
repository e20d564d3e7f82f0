// The settings dialog: the gadget's opacity and the count and period of a capture series.
#pragma once

#include "vcl/ComCtrls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

class TForm2 : public TForm {
public:
    TForm2();
    ~TForm2() override;

    // Components, in layout order.
    TShape* Shape1 = nullptr;
    TLabel* Label1 = nullptr;
    TShape* Shape2 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;
    TTrackBar* TrackBar1 = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UpDown1 = nullptr;
    TEdit* Edit2 = nullptr;
    TUpDown* UpDown2 = nullptr;

    void TrackBar1Change(TObject* Sender);
    void Edit1Change(TObject* Sender);
    void Edit2Change(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

private:
    void LoadLayout();
};

extern TForm2* Form2;

// Puts a dialog beside the main window, at its top: right of it when the dialog fits between
// the main window and the primary screen's right edge, otherwise left of it. Outer sizes, the
// window manager's frame included; computed once, not kept on the screen.
void PlaceBesideMainWindow(TForm* dialog);
