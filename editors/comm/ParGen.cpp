#include "editors/comm/ParGen.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFParGen* FParGen = nullptr;

namespace {
// Width of the one column of parameter groups.
constexpr int Client_Width = 312;
// Height with no group stacked yet: the buttons below the title lines.
constexpr int Empty_Client_Height = 70 + 13 + 28 + 13;
} // namespace

TFParGen::TFParGen(TComponent* AOwner) : TForm(AOwner) {
    SetName("FParGen");
    Set_Form_Look(this);
    L_SW_Code = Create_Label(this, this, "L_SW_Code", 16, 8);
    L_SW_Code->Font()->SetName("Verdana");
    L_SW_Code->Font()->SetSize(24);
    L_SW_Code->Font()->SetColor(clGray);
    L_SW_Desc = Create_Label(this, this, "L_SW_Desc", 16, 42);
    L_SW_Desc->Font()->SetStyle({fsBold});
    L_SW_Desc->Font()->SetColor(clGray);
    Btn_OK = Create_Push_Button(this, this, "Btn_OK", 71, 83, 112, 28);
    Btn_Cancel = Create_Push_Button(this, this, "Btn_Cancel", 192, 83, 112, 28);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFParGen::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(Client_Width, Empty_Client_Height);
    Set_Lang();
}

void TFParGen::Set_Lang() {
    SetCaption(UI_Texts[90]);
    L_SW_Desc->SetCaption(UI_Texts[91]);
    Btn_OK->SetCaption(UI_Texts[92]);
    Btn_Cancel->SetCaption(UI_Texts[93]);
}
