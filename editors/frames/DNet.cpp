#include "editors/frames/DNet.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFDNet* FDNet = nullptr;

TFDNet::TFDNet(TComponent* AOwner) : TFramed_Dialog(AOwner, "FDNet") {
    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    Btn_DelRow = Add_Button("Btn_DelRow", 252);
    Btn_InsRow = Add_Button("Btn_InsRow", 370);
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
