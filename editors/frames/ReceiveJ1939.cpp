#include "editors/frames/ReceiveJ1939.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFReceiveJ1939* FReceiveJ1939 = nullptr;

TFReceiveJ1939::TFReceiveJ1939(TComponent* AOwner) : TFramed_Dialog(AOwner, "FReceiveJ1939") {
    Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFReceiveJ1939::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(876, 337);
    Set_Lang();
}

void TFReceiveJ1939::Set_Lang() {
    SetCaption(UI_Texts[665]);
    L_SW_Desc->SetCaption(UI_Texts[666]);
    Btn_OK->SetCaption(UI_Texts[667]);
    Btn_Cancel->SetCaption(UI_Texts[668]);
    Btn_DelRow->SetCaption(UI_Texts[669]);
    Btn_InsRow->SetCaption(UI_Texts[670]);
}
