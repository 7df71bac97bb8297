#include "editors/frames/_Rec_Info.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TF_Rec_Info* F_Rec_Info = nullptr;

TF_Rec_Info::TF_Rec_Info(TComponent* AOwner) : TFramed_Dialog(AOwner, "F_Rec_Info") {
    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    StaticText1 = Create_Label(this, this, "StaticText1", 8, 72);
    StaticText2 = Create_Label(this, this, "StaticText2", 184, 72);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TF_Rec_Info::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(654, 508);
    Set_Lang();
}

void TF_Rec_Info::Set_Lang() {
    SetCaption(UI_Texts[418]);
    L_SW_Desc->SetCaption(UI_Texts[419]);
    Btn_OK->SetCaption(UI_Texts[420]);
    Btn_Cancel->SetCaption(UI_Texts[421]);
    StaticText1->SetCaption(UI_Texts[422]);
    StaticText2->SetCaption(UI_Texts[423]);
}
