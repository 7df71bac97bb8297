#include "shell/BootTCP.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFBootTCP* FBootTCP = nullptr;

namespace {

TEdit* octetEdit(TFBootTCP* form, const std::string& name, int left) {
    auto* e = new TEdit(form);
    e->SetName(name);
    e->SetParent(form);
    e->SetBounds(left, 97, 41, 21);
    e->SetText("0");
    return e;
}

TCheckBox* checkBox(TFBootTCP* form, const std::string& name, int left, int top) {
    auto* c = new TCheckBox(form);
    c->SetName(name);
    c->SetParent(form);
    c->SetBounds(left, top, 260, 17);
    c->SetVisible(false);
    return c;
}

} // namespace

TFBootTCP::TFBootTCP(TComponent* AOwner) : TFramed_Dialog(AOwner, "FBootTCP") {
    SetBorderStyle(bsDialog);
    L_IP_Address = Create_Label(this, this, "L_IP_Address", 16, 75);
    E_IP1 = octetEdit(this, "E_IP1", 35);
    E_IP2 = octetEdit(this, "E_IP2", 91);
    E_IP3 = octetEdit(this, "E_IP3", 147);
    E_IP4 = octetEdit(this, "E_IP4", 203);
    Label2 = Create_Label(this, this, "Label2", 83, 105, ".");
    Label3 = Create_Label(this, this, "Label3", 139, 105, ".");
    Label4 = Create_Label(this, this, "Label4", 195, 105, ".");
    L_Ping = Create_Label(this, this, "L_Ping", 16, 136);
    Btn_Ping = Create_Push_Button(this, this, "Btn_Ping", 35, 155, 110, 28);
    LPing = Create_Label(this, this, "LPing", 151, 163);
    L_Options = Create_Label(this, this, "L_Options", 16, 75);
    L_Options->SetVisible(false);
    CB_Firmware = checkBox(this, "CB_Firmware", 36, 96);
    CB_Read_Firm = checkBox(this, "CB_Read_Firm", 56, 119);
    CB_Conf = checkBox(this, "CB_Conf", 36, 142);
    CB_Read_Conf = checkBox(this, "CB_Read_Conf", 56, 165);
    Btn_Cancel = Add_Button("Btn_Cancel", 16, mrCancel);
    Btn_Next = Add_Button("Btn_Next", 134);
    Btn_Update = Add_Button("Btn_Update", 134);
    Btn_Update->SetVisible(false);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFBootTCP::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(350, 233);
    // The boxes keep their state between showings.
    for (TCheckBox* c : {CB_Firmware, CB_Read_Firm, CB_Conf, CB_Read_Conf}) c->SetChecked(true);
    Set_Lang();
}

void TFBootTCP::Set_Lang() {
    SetCaption(UI_Texts[57]);
    L_SW_Desc->SetCaption(UI_Texts[57]);
    L_Ping->SetCaption(UI_Texts[59]);
    Btn_Ping->SetCaption(UI_Texts[60]);
    Btn_Cancel->SetCaption(UI_Texts[61]);
    Btn_Next->SetCaption(UI_Texts[62]);
    L_Options->SetCaption(UI_Texts[63]);
    CB_Firmware->SetCaption(UI_Texts[64]);
    CB_Read_Firm->SetCaption(UI_Texts[65]);
    CB_Conf->SetCaption(UI_Texts[66]);
    CB_Read_Conf->SetCaption(UI_Texts[67]);
    Btn_Update->SetCaption(UI_Texts[68]);
}
