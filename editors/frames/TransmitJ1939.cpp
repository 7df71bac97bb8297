#include "editors/frames/TransmitJ1939.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFTransmitJ1939* FTransmitJ1939 = nullptr;

TFTransmitJ1939::TFTransmitJ1939(TComponent* AOwner) : TFramed_Dialog(AOwner, "FTransmitJ1939") {
    Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFTransmitJ1939::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(800, 337);
    Set_Lang();
}

void TFTransmitJ1939::Set_Lang() {
    SetCaption(UI_Texts[692]);
    L_SW_Desc->SetCaption(UI_Texts[693]);
    Btn_OK->SetCaption(UI_Texts[694]);
    Btn_Cancel->SetCaption(UI_Texts[695]);
    Btn_DelRow->SetCaption(UI_Texts[696]);
    Btn_InsRow->SetCaption(UI_Texts[697]);
}
