#pragma once
// The communication-parameter dialog. It has no title or button panel: its labels and its two
// buttons sit on the form, and the stacked parameter groups decide its height.
#include "shell/frame/DialogFrame.h"

class TFParGen : public TForm {
public:
    explicit TFParGen(TComponent* AOwner);

    TLabel* L_SW_Code;
    TLabel* L_SW_Desc;
    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFParGen* FParGen;
