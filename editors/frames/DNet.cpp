#include "editors/frames/DNet.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFDNet* FDNet = nullptr;

TFDNet::TFDNet(TComponent* AOwner) : TFramed_Dialog(AOwner, "FDNet") {
    Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFDNet::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(609, 337);
    Set_Lang();
}

void TFDNet::Set_Lang() {
    SetCaption(UI_Texts[625]);
    L_SW_Desc->SetCaption(UI_Texts[626]);
    Btn_OK->SetCaption(UI_Texts[627]);
    Btn_Cancel->SetCaption(UI_Texts[628]);
    Btn_DelRow->SetCaption(UI_Texts[629]);
    Btn_InsRow->SetCaption(UI_Texts[630]);
}
