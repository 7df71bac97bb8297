#include "editors/frames/TransmitCAN.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFTransmitCAN* FTransmitCAN = nullptr;

TFTransmitCAN::TFTransmitCAN(TComponent* AOwner) : TFramed_Dialog(AOwner, "FTransmitCAN") {
    Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFTransmitCAN::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(1100, 337);
    Set_Lang();
}

void TFTransmitCAN::Set_Lang() {
    SetCaption(UI_Texts[1100]);
    L_SW_Desc->SetCaption(UI_Texts[1101]);
    Btn_OK->SetCaption(UI_Texts[1102]);
    Btn_Cancel->SetCaption(UI_Texts[1103]);
    Btn_DelRow->SetCaption(UI_Texts[1104]);
    Btn_InsRow->SetCaption(UI_Texts[1105]);
    Btn_CopyRow->SetCaption(UI_Texts[1106]);
    Btn_PasteRow->SetCaption(UI_Texts[1107]);
    Show_Hint(Btn_OK, UI_Texts[1125]);
    Show_Hint(Btn_Cancel, UI_Texts[1126]);
    Show_Hint(Btn_DelRow, UI_Texts[1127]);
    Show_Hint(Btn_InsRow, UI_Texts[1128]);
    Show_Hint(Btn_CopyRow, UI_Texts[1129]);
    Show_Hint(Btn_PasteRow, UI_Texts[1130]);
}
