#include "shell/New_Project.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFNew_Project* FNew_Project = nullptr;

TFNew_Project::TFNew_Project(TComponent* AOwner) : TFramed_Dialog(AOwner, "FNew_Project") {
    Label1 = Create_Label(this, this, "Label1", 16, 76);
    E_New_Proj = new TEdit(this);
    E_New_Proj->SetName("E_New_Proj");
    E_New_Proj->SetParent(this);
    E_New_Proj->SetBounds(16, 94, 297, 21);
    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFNew_Project::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(331, 162);
    Set_Lang();
}

void TFNew_Project::Set_Lang() {
    SetCaption(UI_Texts[25]);
    L_SW_Desc->SetCaption(UI_Texts[26]);
    Label1->SetCaption(UI_Texts[27]);
    Btn_OK->SetCaption(UI_Texts[28]);
    Btn_Cancel->SetCaption(UI_Texts[29]);
}
