#pragma once
// The options dialog: the language of the user interface and the two internet flags.
#include "platform/ui/ComCtrls.h"
#include "shell/frame/DialogFrame.h"

#include <array>

class TFSoftOptions : public TFramed_Dialog {
public:
    explicit TFSoftOptions(TComponent* AOwner);

    TPageControl* PC_Options;
    TTabSheet* TS_Language;
    TTabSheet* TS_Con_Options;
    TLabel* L_Sel_Lang;
    std::array<TImage*, 6> I_L{}; // I_L1 .. I_L6, the flags of the six language tiles
    std::array<TLabel*, 6> L_L{}; // L_L1 .. L_L6, their names
    TLabel* L_Page_Lang;
    TFrame_Button* Btn_Prev;
    TFrame_Button* Btn_Next;
    TCheckBox* CB_En_Con;
    TCheckBox* CB_Update;
    TFrame_Button* Btn_Check_Update;
    TLinkLabel* LL_Check_Update;
    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;

    std::unique_ptr<TStringList> SL_Languages; // language file names
    int Show_Page = 1;                         // current page, from 1
    std::string Language_In_Use;               // the language chosen in this dialog

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFSoftOptions* FSoftOptions;
