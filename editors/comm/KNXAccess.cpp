#include "editors/comm/KNXAccess.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFKNXAccess* FKNXAccess = nullptr;

TFKNXAccess::TFKNXAccess(TComponent* AOwner) : TFramed_Dialog(AOwner, "FKNXAccess") {
    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    Btn_DelRow = Add_Button("Btn_DelRow", 252);
    Btn_InsRow = Add_Button("Btn_InsRow", 370);
    Btn_CopyRow = Add_Button("Btn_CopyRow", 488);
    Btn_PasteRow = Add_Button("Btn_PasteRow", 606);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFKNXAccess::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    // The DMX variants leave out three columns and so need less width.
    const bool dmx = Product_Type() == 11 || Product_Type() == 1011;
    SetClientSize(dmx ? 1126 : 1205, 337);
    Set_Lang();
}

void TFKNXAccess::Set_Lang() {
    SetCaption(UI_Texts[168]);
    L_SW_Desc->SetCaption(UI_Texts[169]);
    Btn_OK->SetCaption(UI_Texts[170]);
    Btn_Cancel->SetCaption(UI_Texts[171]);
    Btn_DelRow->SetCaption(UI_Texts[172]);
    Btn_InsRow->SetCaption(UI_Texts[173]);
    Btn_CopyRow->SetCaption(UI_Texts[877]);
    Btn_PasteRow->SetCaption(UI_Texts[878]);
}
