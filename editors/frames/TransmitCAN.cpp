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
    Btn_OK->SetHint(UI_Texts[1125]);
    Btn_OK->SetShowHint(true);
    Btn_Cancel->SetHint(UI_Texts[1126]);
    Btn_Cancel->SetShowHint(true);
    Btn_DelRow->SetHint(UI_Texts[1127]);
    Btn_DelRow->SetShowHint(true);
    Btn_InsRow->SetHint(UI_Texts[1128]);
    Btn_InsRow->SetShowHint(true);
    Btn_CopyRow->SetHint(UI_Texts[1129]);
    Btn_CopyRow->SetShowHint(true);
    Btn_PasteRow->SetHint(UI_Texts[1130]);
    Btn_PasteRow->SetShowHint(true);
}
