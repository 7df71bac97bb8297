#include "editors/comm/KNXAccess.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFKNXAccess* FKNXAccess = nullptr;

TFKNXAccess::TFKNXAccess(TComponent* AOwner) : TFramed_Dialog(AOwner, "FKNXAccess") {
    Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow);
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
