#include "editors/frames/ReceiveNMEA.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFReceiveNMEA* FReceiveNMEA = nullptr;

TFReceiveNMEA::TFReceiveNMEA(TComponent* AOwner) : TFramed_Dialog(AOwner, "FReceiveNMEA") {
    Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFReceiveNMEA::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(810, 337);
    Set_Lang();
}

void TFReceiveNMEA::Set_Lang() {
    SetCaption(UI_Texts[1600]);
    L_SW_Desc->SetCaption(UI_Texts[1601]);
    Btn_OK->SetCaption(UI_Texts[1602]);
    Btn_Cancel->SetCaption(UI_Texts[1603]);
    Btn_DelRow->SetCaption(UI_Texts[1604]);
    Btn_InsRow->SetCaption(UI_Texts[1605]);
    Btn_CopyRow->SetCaption(UI_Texts[1606]);
    Btn_PasteRow->SetCaption(UI_Texts[1607]);
    Show_Hint(Btn_CopyRow, UI_Texts[1612]);
    Show_Hint(Btn_PasteRow, UI_Texts[1613]);
}
