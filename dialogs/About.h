// The About dialog: the program's picture, name and version, and the project's mail link.
#pragma once

#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

class TForm3 : public TForm {
public:
    TForm3();
    ~TForm3() override;

    // Components, in layout order.
    TImage* Image1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TImage* Image2 = nullptr;
    TButton* Button1 = nullptr;

    void Button1Click(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Label3Click(TObject* Sender);
    void Label3MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void FormMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);

private:
    void LoadLayout();
};

extern TForm3* Form3;

// The address the link shows and opens.
extern const char* const ContactAddress;
