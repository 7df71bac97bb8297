#include "editors/frames/CAN_Rec_Frames.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFCAN_Rec_Frames* FCAN_Rec_Frames = nullptr;

TFCAN_Rec_Frames::TFCAN_Rec_Frames(TComponent* AOwner) : TFramed_Dialog(AOwner, "FCAN_Rec_Frames") {
    Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFCAN_Rec_Frames::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(759, 337);
    Set_Lang();
}

void TFCAN_Rec_Frames::Set_Lang() {
    SetCaption(UI_Texts[379]);
    L_SW_Desc->SetCaption(UI_Texts[380]);
    Btn_OK->SetCaption(UI_Texts[381]);
    Btn_Cancel->SetCaption(UI_Texts[382]);
    Btn_DelRow->SetCaption(UI_Texts[383]);
    Btn_InsRow->SetCaption(UI_Texts[384]);
}
