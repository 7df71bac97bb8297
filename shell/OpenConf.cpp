#include "shell/OpenConf.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFOpenConf* FOpenConf = nullptr;

namespace {
constexpr int Client_Width = 377;
constexpr int Client_Height = 351;
} // namespace

TFOpenConf::TFOpenConf(TComponent* AOwner) : TFramed_Dialog(AOwner, "FOpenConf") {
    SetClientSize(Client_Width, Client_Height);
    Label1 = Create_Label(this, this, "Label1", 16, 76);
    ListBox1 = new TListBox(this);
    ListBox1->SetName("ListBox1");
    ListBox1->SetParent(this);
    ListBox1->SetBounds(16, 94, 345, 211);
    ListBox1->SetAnchors({akLeft, akTop, akRight, akBottom});
    Btn_OK = Add_Button("Btn_OK", 16, mrOk);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFOpenConf::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(Client_Width, Client_Height);
    Set_Lang();
}

void TFOpenConf::Set_Lang() {
    SetCaption(UI_Texts[33]);
    L_SW_Desc->SetCaption(UI_Texts[34]);
    Label1->SetCaption(UI_Texts[35]);
    Btn_OK->SetCaption(UI_Texts[36]);
    Btn_Cancel->SetCaption(UI_Texts[37]);
}
