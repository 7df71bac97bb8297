#include "editors/frames/CAN_Send_Frame.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFCAN_Send_Frame* FCAN_Send_Frame = nullptr;

TFCAN_Send_Frame::TFCAN_Send_Frame(TComponent* AOwner) : TFramed_Dialog(AOwner, "FCAN_Send_Frame") {
    Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFCAN_Send_Frame::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(759, 337);
    Set_Lang();
}

void TFCAN_Send_Frame::Set_Lang() {
    SetCaption(UI_Texts[398]);
    L_SW_Desc->SetCaption(UI_Texts[399]);
    Btn_OK->SetCaption(UI_Texts[400]);
    Btn_Cancel->SetCaption(UI_Texts[401]);
    Btn_DelRow->SetCaption(UI_Texts[402]);
    Btn_InsRow->SetCaption(UI_Texts[403]);
}
