#include "editors/frames/ReceiveCAN.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFReceiveCAN* FReceiveCAN = nullptr;

TFReceiveCAN::TFReceiveCAN(TComponent* AOwner) : TFramed_Dialog(AOwner, "FReceiveCAN") {
    Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFReceiveCAN::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(1010, 337);
    Set_Lang();
}

void TFReceiveCAN::Set_Lang() {
    SetCaption(UI_Texts[1000]);
    L_SW_Desc->SetCaption(UI_Texts[1001]);
    Btn_OK->SetCaption(UI_Texts[1002]);
    Btn_Cancel->SetCaption(UI_Texts[1003]);
    Btn_DelRow->SetCaption(UI_Texts[1004]);
    Btn_InsRow->SetCaption(UI_Texts[1005]);
    Btn_CopyRow->SetCaption(UI_Texts[1006]);
    Btn_PasteRow->SetCaption(UI_Texts[1007]);
    Show_Hint(Btn_OK, UI_Texts[1023]);
    Show_Hint(Btn_Cancel, UI_Texts[1024]);
    Show_Hint(Btn_DelRow, UI_Texts[1025]);
    Show_Hint(Btn_InsRow, UI_Texts[1026]);
    Show_Hint(Btn_CopyRow, UI_Texts[1027]);
    Show_Hint(Btn_PasteRow, UI_Texts[1028]);
}
