#include "editors/frames/_Sen_Info.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TF_Sen_Info* F_Sen_Info = nullptr;

TF_Sen_Info::TF_Sen_Info(TComponent* AOwner) : TFramed_Dialog(AOwner, "F_Sen_Info") {
    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    StaticText1 = Create_Label(this, this, "StaticText1", 8, 72);
    StaticText2 = Create_Label(this, this, "StaticText2", 184, 72);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TF_Sen_Info::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(654, 508);
    Set_Lang();
}

void TF_Sen_Info::Set_Lang() {
    SetCaption(UI_Texts[448]);
    L_SW_Desc->SetCaption(UI_Texts[449]);
    Btn_OK->SetCaption(UI_Texts[450]);
    Btn_Cancel->SetCaption(UI_Texts[451]);
    StaticText1->SetCaption(UI_Texts[452]);
    StaticText2->SetCaption(UI_Texts[453]);
}
