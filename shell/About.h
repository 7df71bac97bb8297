#pragma once
// The About box. Its labels are fixed English texts: it has no Set_Lang.
#include "shell/frame/DialogFrame.h"

class TFAbout : public TForm {
public:
    explicit TFAbout(TComponent* AOwner);

    TImage* Image2;   // the maker's logo
    TImage* I_Lorvan; // the OEM logo
    TLabel* Label1;
    TLabel* Label2; // description
    TLabel* Label6;
    TLabel* Label3;
    TLabel* Label8;
    TLabel* Label9;  // software code
    TLabel* Label10; // version
    TLabel* Label12; // manual code
    TLabel* Label4;  // the maker's web address
    TFrame_Button* PbButton1;

    // Fills the profile's texts and shows the maker's or the OEM logo.
    void FormShow(TObject* Sender);
    // Opens the product page; nothing for OEM editions.
    void Label4Click(TObject* Sender);
};

extern TFAbout* FAbout;
