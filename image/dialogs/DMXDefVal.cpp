#include "image/dialogs/DMXDefVal.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFDMXDefVal* FDMXDefVal = nullptr;

TFDMXDefVal::TFDMXDefVal(TComponent* AOwner) : TFramed_Dialog(AOwner, "FDMXDefVal") {
    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFDMXDefVal::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(475, 337);
    Set_Lang();
}

void TFDMXDefVal::Set_Lang() {
    SetCaption(UI_Texts[879]);
    L_SW_Desc->SetCaption(UI_Texts[880]);
    Btn_OK->SetCaption(UI_Texts[881]);
    Btn_Cancel->SetCaption(UI_Texts[882]);
}
