#include "shell/SoftOptions.h"

#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFSoftOptions* FSoftOptions = nullptr;

namespace {

struct TilePlace {
    int imageLeft, imageTop, labelLeft, labelTop;
};
constexpr TilePlace Tiles[6] = {{24, 40, 80, 56},   {26, 94, 80, 110},   {24, 148, 80, 164},
                                {254, 40, 310, 56}, {254, 94, 310, 110}, {254, 148, 310, 164}};

TCheckBox* checkBox(TComponent* owner, TWinControl* parent, const std::string& name, int left,
                    int top) {
    auto* c = new TCheckBox(owner);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(left, top, 400, 17);
    return c;
}

} // namespace

TFSoftOptions::TFSoftOptions(TComponent* AOwner) : TFramed_Dialog(AOwner, "FSoftOptions") {
    SetClientSize(509, 373);
    PC_Options = new TPageControl(this);
    PC_Options->SetName("PC_Options");
    PC_Options->SetParent(this);
    PC_Options->SetAlign(alClient);
    TS_Language = new TTabSheet(this);
    TS_Language->SetName("TS_Language");
    TS_Language->SetPageControl(PC_Options);
    TS_Con_Options = new TTabSheet(this);
    TS_Con_Options->SetName("TS_Con_Options");
    TS_Con_Options->SetPageControl(PC_Options);

    L_Sel_Lang = Create_Label(this, TS_Language, "L_Sel_Lang", 24, 12);
    for (int k = 0; k < 6; ++k) {
        const std::string n = std::to_string(k + 1);
        I_L[k] = new TImage(this);
        I_L[k]->SetName("I_L" + n);
        I_L[k]->SetParent(TS_Language);
        I_L[k]->SetBounds(Tiles[k].imageLeft, Tiles[k].imageTop, 48, 48);
        L_L[k] = Create_Label(this, TS_Language, "L_L" + n, Tiles[k].labelLeft, Tiles[k].labelTop);
    }
    L_Page_Lang = Create_Label(this, TS_Language, "L_Page_Lang", 220, 212);
    Btn_Prev = Create_Push_Button(this, TS_Language, "Btn_Prev", 12, 204, 110, 28);
    Btn_Next = Create_Push_Button(this, TS_Language, "Btn_Next", 379, 205, 110, 28);

    CB_En_Con = checkBox(this, TS_Con_Options, "CB_En_Con", 12, 16);
    CB_Update = checkBox(this, TS_Con_Options, "CB_Update", 36, 47);
    Btn_Check_Update =
        Create_Push_Button(this, TS_Con_Options, "Btn_Check_Update", 36, 78, 204, 28);
    LL_Check_Update = new TLinkLabel(this);
    LL_Check_Update->SetName("LL_Check_Update");
    LL_Check_Update->SetParent(TS_Con_Options);
    LL_Check_Update->SetLeft(40);
    LL_Check_Update->SetTop(120);

    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFSoftOptions::FormCreate(TObject* /*Sender*/) {
    SL_Languages = std::make_unique<TStringList>();
    L_SW_Code->SetCaption(SW_Code);
    // The OEM editions have no connection page, so no version check.
    TS_Con_Options->SetTabVisible(Product_Type() <= 1000);
    Set_Lang();
}

void TFSoftOptions::Set_Lang() {
    SetCaption(UI_Texts[38]);
    L_SW_Desc->SetCaption(UI_Texts[39]);
    TS_Language->SetCaption(UI_Texts[40]);
    TS_Con_Options->SetCaption(UI_Texts[41]);
    L_Sel_Lang->SetCaption(UI_Texts[42]);
    L_Page_Lang->SetCaption(UI_Texts[43] + "1" + UI_Texts[44] + "1");
    Btn_Prev->SetCaption(UI_Texts[45]);
    Btn_Next->SetCaption(UI_Texts[46]);
    CB_En_Con->SetCaption(UI_Texts[47]);
    CB_Update->SetCaption(UI_Texts[48]);
    Btn_Check_Update->SetCaption(UI_Texts[49]);
    Btn_OK->SetCaption(UI_Texts[50]);
    Btn_Cancel->SetCaption(UI_Texts[51]);
}
