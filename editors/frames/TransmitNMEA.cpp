#include "editors/frames/TransmitNMEA.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFTransmitNMEA* FTransmitNMEA = nullptr;

TFTransmitNMEA::TFTransmitNMEA(TComponent* AOwner) : TFramed_Dialog(AOwner, "FTransmitNMEA") {
    Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFTransmitNMEA::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(810, 337);
    Set_Lang();
}

void TFTransmitNMEA::Set_Lang() {
    SetCaption(UI_Texts[1700]);
    L_SW_Desc->SetCaption(UI_Texts[1701]);
    Btn_OK->SetCaption(UI_Texts[1702]);
    Btn_Cancel->SetCaption(UI_Texts[1703]);
    Btn_DelRow->SetCaption(UI_Texts[1704]);
    Btn_InsRow->SetCaption(UI_Texts[1705]);
    Btn_CopyRow->SetCaption(UI_Texts[1706]);
    Btn_PasteRow->SetCaption(UI_Texts[1707]);
    Show_Hint(Btn_CopyRow, UI_Texts[1712]);
    Show_Hint(Btn_PasteRow, UI_Texts[1713]);
}
