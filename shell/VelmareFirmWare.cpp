#include "shell/VelmareFirmWare.h"

#include "editors/comm/KNXAccess.h"
#include "editors/comm/Modbus_TCP_Master_Set_Access.h"
#include "editors/comm/ParGen.h"
#include "editors/comm/SetAccess.h"
#include "editors/frames/CAN_Rec_Frames.h"
#include "editors/frames/CAN_Send_Frame.h"
#include "editors/frames/DNet.h"
#include "editors/frames/DefOffset.h"
#include "editors/frames/ReceiveJ1939.h"
#include "editors/frames/ReceiveNMEA.h"
#include "editors/frames/Set_PDO_Access.h"
#include "editors/frames/Set_SDO_Client_Access.h"
#include "editors/frames/Set_SDO_Server_Access.h"
#include "editors/frames/TransmitJ1939.h"
#include "editors/frames/TransmitNMEA.h"
#include "editors/frames/_Rec_Info.h"
#include "editors/frames/_Sen_Info.h"
#include "image/dialogs/DMXDefVal.h"
#include "mbus/scan/Slave_MBus.h"
#include "platform/files/Files.h"
#include "shell/BootTCP.h"
#include "shell/New_Project.h"
#include "shell/OpenConf.h"
#include "shell/SoftOptions.h"
#include "shell/StepLayout.h"
#include "shell/state/ProductProfiles.h"
#include "shell/state/ProgramState.h"
#include "shell/state/Settings.h"
#include "shell/state/UITexts.h"

TFVelmareFirmWare* FVelmareFirmWare = nullptr;

namespace {

constexpr int Step_Button_Width = 170;
constexpr int Step_Button_Height = 36;

TLabel* greyLabel(TFVelmareFirmWare* form, const std::string& name, bool bold) {
    TLabel* l = Create_Label(form, form, name, 0, 0);
    l->Font()->SetColor(clGray);
    if (bold) l->Font()->SetStyle({fsBold});
    return l;
}

TFrame_Button* stepButton(TFVelmareFirmWare* form, const std::string& name) {
    TFrame_Button* b =
        Create_Push_Button(form, form, name, 80, 0, Step_Button_Width, Step_Button_Height);
    b->SetAlignment(taLeftJustify);
    b->SetGlyph(Create_Arrow_Glyph().get());
    b->SetNumGlyphs(1);
    b->SetVisible(false);
    return b;
}

enum class TopGlyph { Info, Options, Close };

// The 50 x 50 picture of a top button, drawn on the fuchsia of its bottom-left pixel, which the
// button paints transparent.
std::unique_ptr<TBitmap> topGlyph(TopGlyph kind) {
    auto bmp = std::make_unique<TBitmap>(50, 50);
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(Rect(0, 0, 50, 50));
    switch (kind) {
    case TopGlyph::Info: {
        const TColor blue = 0xA06020; // red 32, green 96, blue 160
        c->Pen()->SetColor(blue);
        c->Pen()->SetWidth(3);
        c->Brush()->SetStyle(bsClear);
        c->Ellipse(10, 10, 40, 40);
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(blue);
        c->FillRect(Rect(23, 16, 27, 20));
        c->FillRect(Rect(23, 22, 27, 34));
        break;
    }
    case TopGlyph::Options:
        // Three sliders with their knobs.
        for (const auto& [y, knob] : {std::pair{17, 19}, std::pair{25, 31}, std::pair{33, 23}}) {
            c->Brush()->SetColor(clGray);
            c->FillRect(Rect(12, y - 1, 38, y + 1));
            c->Brush()->SetColor(0x505050);
            c->FillRect(Rect(knob - 3, y - 4, knob + 3, y + 4));
        }
        break;
    case TopGlyph::Close:
        c->Pen()->SetColor(0x2020B0); // red 176, green 32, blue 32
        c->Pen()->SetWidth(4);
        c->MoveTo(16, 16);
        c->LineTo(34, 34);
        c->MoveTo(34, 16);
        c->LineTo(16, 34);
        break;
    }
    return bmp;
}

// The OEM brand logo, 238 x 51: the brand name in white on a dark teal band.
std::unique_ptr<TBitmap> oemLogo() {
    auto bmp = std::make_unique<TBitmap>(238, 51);
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetColor(Form_Color);
    c->FillRect(Rect(0, 0, 238, 51));
    const TColor teal = 0x707020; // red 32, green 112, blue 112
    c->Pen()->SetColor(teal);
    c->Brush()->SetColor(teal);
    c->RoundRect(0, 0, 238, 51, 12, 12);
    c->Font()->SetName("Verdana");
    c->Font()->SetHeight(-30);
    c->Font()->SetStyle({fsBold});
    c->Font()->SetColor(clWhite);
    c->Brush()->SetStyle(bsClear);
    const TSize size = c->TextExtent("Lorvan");
    c->TextOut((238 - size.cx) / 2, (51 - size.cy) / 2, "Lorvan");
    return bmp;
}

TFrame_Button* topButton(TFVelmareFirmWare* form, const std::string& name, TopGlyph glyph) {
    TFrame_Button* b = Create_Push_Button(form, form, name, 0, 8, 50, 50);
    b->SetStyle(bsNormal);
    b->SetShowHint(true);
    b->SetGlyph(topGlyph(glyph).get());
    b->SetNumGlyphs(1);
    return b;
}

void place(TControl* c, int left, int top, bool visible) {
    c->SetLeft(left);
    c->SetTop(top);
    c->SetVisible(visible);
}

} // namespace

TFVelmareFirmWare::TFVelmareFirmWare(TComponent* AOwner) : TForm(AOwner) {
    SetName("FVelmareFirmWare");
    Set_Form_Look(this);
    SetClientSize(Main_Client_Width, Main_Client_Height(Design_Last_At));

    L_SW_Code = greyLabel(this, "L_SW_Code", false);
    L_SW_Code->Font()->SetHeight(-32);
    L_SW_Desc = greyLabel(this, "L_SW_Desc", true);
    L_Begin = greyLabel(this, "L_Begin", true);
    for (int k = 0; k < Step_Label_Count; ++k)
        L_Step[k] = greyLabel(this, "L_Step_" + std::to_string(k + 1), true);
    Shape2 = Create_Control<TShape>(this, this, "Shape2");
    Shape2->SetBounds(80, 70, 348, 36);
    Shape2->Pen()->SetColor(clSilver);
    Shape2->Brush()->SetStyle(bsClear);
    L_Name_Conf = greyLabel(this, "L_Name_Conf", false);
    L_Name_Conf_L2 = greyLabel(this, "L_Name_Conf_L2", false);
    L_Morvik = greyLabel(this, "L_Morvik", true);
    // The host name alone: the full address would run past the window's right edge.
    L_Morvik->SetCaption(std::string(Maker_Web_Host).substr(std::string("https://www.").size()));
    L_Morvik->SetCursor(crHandPoint);
    I_Lorvan = Create_Control<TImage>(this, this, "I_Lorvan");
    I_Lorvan->SetBounds(Logo_Left(), 0, 238, 51);
    I_Lorvan->SetStretch(true);
    I_Lorvan->Picture()->SetGraphic(oemLogo().get());
    I_Lorvan->OnClick = [this](TObject* Sender) { I_LorvanClick(Sender); };
    LL_Update = Create_Control<TLinkLabel>(this, this, "LL_Update");
    place(LL_Update, 208, 19, false);

    Btn_Info = topButton(this, "Btn_Info", TopGlyph::Info);
    Btn_Opz = topButton(this, "Btn_Opz", TopGlyph::Options);
    Btn_Close = topButton(this, "Btn_Close", TopGlyph::Close);
    Btn_New = stepButton(this, "Btn_New");
    Btn_Open = stepButton(this, "Btn_Open");
    Btn_Prm_Gen = stepButton(this, "Btn_Prm_Gen");
    Btn_KNX_Access = stepButton(this, "Btn_KNX_Access");
    Btn_ModM_SetAccess = stepButton(this, "Btn_ModM_SetAccess");
    Btn_CAN_Rec_Frame = stepButton(this, "Btn_CAN_Rec_Frame");
    Btn_CAN_Rec_Info = stepButton(this, "Btn_CAN_Rec_Info");
    Btn_CAN_Send_Frame = stepButton(this, "Btn_CAN_Send_Frame");
    Btn_CAN_Send_Info = stepButton(this, "Btn_CAN_Send_Info");
    Btn_SDO_Server_CANopen = stepButton(this, "Btn_SDO_Server_CANopen");
    Btn_SDO_Client_CANopen = stepButton(this, "Btn_SDO_Client_CANopen");
    Btn_PDO_CANopen = stepButton(this, "Btn_PDO_CANopen");
    Btn_CANopen_EDS = stepButton(this, "Btn_CANopen_EDS");
    Btn_DNet_Net = stepButton(this, "Btn_DNet_Net");
    Btn_DNet_Offset = stepButton(this, "Btn_DNet_Offset");
    Btn_J1939_Rec_Frame = stepButton(this, "Btn_J1939_Rec_Frame");
    Btn_J1939_Send_Frame = stepButton(this, "Btn_J1939_Send_Frame");
    Btn_MBus = stepButton(this, "Btn_MBus");
    Btn_DMX_Default = stepButton(this, "Btn_DMX_Default");
    Btn_PROFINET_XML = stepButton(this, "Btn_PROFINET_XML");
    Btn_CreateBin = stepButton(this, "Btn_CreateBin");
    Btn_ScanDecode = Create_Push_Button(this, this, "Btn_ScanDecode", 516, 70, 166, 36);
    Btn_ScanDecode->SetAlignment(taLeftJustify);
    Btn_ScanDecode->SetGlyph(Create_Arrow_Glyph().get());
    Btn_ScanDecode->SetNumGlyphs(1);
    for (TFrame_Button* b : {Btn_New, Btn_Open, Btn_CreateBin}) b->SetHotTrackColor(clSkyBlue);

    Shape1 = Create_Control<TShape>(this, this, "Shape1");
    Shape1->SetBounds(10, Shape1_Top(Design_Last_At), 674, 1);
    Shape1->Pen()->SetColor(clSilver);

    Timer_Update = new TTimer(this);
    Timer_Update->SetName("Timer_Update");
    Timer_Update->SetEnabled(false);
    Timer_Update->SetInterval(60000);
    XML1 = new TXMLDocument(this);
    XML1->SetName("XML1");
    SaveEDS = new TSaveDialog(this);
    SaveEDS->SetName("SaveEDS");
    SaveEDS->Filter = "Electronic Data Sheet (*.eds)|*.eds";
    SaveEDS->DefaultExt = "*.eds";

    Wire_Step_Handlers();
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
}

void TFVelmareFirmWare::FormCreate(TObject* /*Sender*/) {
    // 1. The text table starts empty; Load_Language fills it below.
    UI_Texts.Clear();
    UI_Texts_Count = 0;

    // 2. The fixed controls.
    place(L_SW_Code, 16, 8, true);
    place(L_SW_Desc, 16, 42, true);
    place(L_Begin, 16, 84, true);
    place(Shape2, 80, 70, true);
    place(L_Name_Conf, 87, 75, true);
    place(L_Name_Conf_L2, 87, 88, true);
    place(Btn_Info, 516, 8, true);
    place(Btn_Opz, 574, 8, true);
    place(Btn_Close, 632, 8, true);

    // 3. Step labels and link hidden.
    for (int k = 1; k <= Step_Label_Count; ++k) place(L_Step[k - 1], 16, Step_Label_Top(k), false);
    place(L_Morvik, Morvik_Left, Morvik_Design_Top, false);

    // 4. The steps every type has; the others hidden.
    for (TFrame_Button* b :
         {Btn_KNX_Access, Btn_ModM_SetAccess, Btn_CAN_Rec_Frame, Btn_CAN_Rec_Info,
          Btn_CAN_Send_Frame, Btn_CAN_Send_Info, Btn_SDO_Server_CANopen, Btn_SDO_Client_CANopen,
          Btn_PDO_CANopen, Btn_CANopen_EDS, Btn_DNet_Net, Btn_DNet_Offset, Btn_J1939_Rec_Frame,
          Btn_J1939_Send_Frame, Btn_MBus, Btn_DMX_Default, Btn_PROFINET_XML})
        b->SetVisible(false);
    place(Btn_New, 80, 112, true);
    place(Btn_Open, 258, 112, true);
    place(Btn_Prm_Gen, 80, 156, true);
    place(Btn_CreateBin, 80, Design_Last_At, true);
    I_Lorvan->SetVisible(false);
    Btn_ScanDecode->SetVisible(false);

    // 5.
    Apply_Step_Layout(Product_Type());

    // 6. The program's folders; a folder that cannot be made is not reported here.
    Set_Program_Dir(ProgramDir());
    for (const std::string& dir : {Master_Dir, Projects_Dir, Language_Dir})
        if (!DirectoryExists(dir)) CreateDir(dir);

    // 7.
    Project_Name.clear();
    Grid_Enter_Next_Enabled = false;
    Grid_Auto_Size_Enabled = false;

    // 8. - 9.
    Read_Setting();
    Timer_Update->SetEnabled(Internet_Enabled && Update_Check_Enabled);

    // 10. A type without a profile leaves the three texts empty.
    const TProduct_Profile profile = Product_Profile();
    Window_Caption = profile.Caption;
    SW_Code = profile.SW_Code;
    SW_Desc = profile.Description;
    SetCaption(Window_Caption);
    L_SW_Code->SetCaption(SW_Code);
    L_SW_Desc->SetCaption(SW_Desc);

    // 11. A language file that cannot be read is reported; the start goes on in English.
    try {
        Load_Language();
    } catch (const Exception& e) {
        Load_Default_Texts();
        Application->ShowException(e);
    }

    // 12. A stale project name stays in Project_Name and is saved again.
    const std::string lastDir = Project_Folder(Project_Name);
    if (!Project_Name.empty() && DirectoryExists(lastDir)) {
        L_Name_Conf->SetCaption(UI_Texts[11]);
        L_Name_Conf_L2->SetCaption(Project_Name);
        Project_Dir = lastDir;
    } else {
        L_Name_Conf->SetCaption(UI_Texts[9]);
        L_Name_Conf_L2->SetCaption(UI_Texts[10]);
        Project_Dir.clear();
    }

    // 13. - 16.
    List_Slave_MBus.Clear();
    List_Slave_wMBus.Clear();
    Set_Lang();
    Set_Files();
    Row_Clipboard.Clear();
}

void TFVelmareFirmWare::Apply_Step_Layout(int Type) {
    const TStep_Layout layout = Get_Step_Layout(Type);
    if (!layout.Known) return;
    for (int k = 1; k <= layout.Steps; ++k) L_Step[k - 1]->SetVisible(true);
    if (layout.Logo) {
        L_Morvik->SetVisible(false);
        place(I_Lorvan, Logo_Left(), Logo_Top(layout), true);
    } else {
        place(L_Morvik, Morvik_Left, Link_Top(layout), true);
    }
    for (const TStep_Button_Place& p : layout.Buttons) {
        auto* b = dynamic_cast<TControl*>(FindComponent(p.Button));
        if (b) place(b, p.Left, p.Top, true);
    }
    Shape1->SetBounds(10, Shape1_Top(layout.Last_At), 674, 1);
    SetClientHeight(Main_Client_Height(layout.Last_At));
    SetClientWidth(Main_Client_Width);
}

void TFVelmareFirmWare::Set_Lang() {
    L_Begin->SetCaption(UI_Texts[0]);
    for (int k = 0; k < Step_Label_Count; ++k) L_Step[k]->SetCaption(UI_Texts[1 + k]);
    Btn_Info->SetHint(UI_Texts[12]);
    Btn_Opz->SetHint(UI_Texts[13]);
    Btn_Close->SetHint(UI_Texts[14]);
    const std::pair<TFrame_Button*, int> captions[] = {
        {Btn_New, 15},
        {Btn_Open, 16},
        {Btn_CreateBin, 17},
        {Btn_Prm_Gen, 20},
        {Btn_KNX_Access, 21},
        {Btn_ModM_SetAccess, 22},
        {Btn_CAN_Rec_Frame, 863},
        {Btn_CAN_Rec_Info, 864},
        {Btn_CAN_Send_Frame, 865},
        {Btn_CAN_Send_Info, 866},
        {Btn_SDO_Server_CANopen, 867},
        {Btn_SDO_Client_CANopen, 868},
        {Btn_PDO_CANopen, 869},
        {Btn_DNet_Net, 870},
        {Btn_DNet_Offset, 871},
        {Btn_J1939_Rec_Frame, 872},
        {Btn_J1939_Send_Frame, 873},
        {Btn_MBus, 874},
        {Btn_CANopen_EDS, 875},
        {Btn_DMX_Default, 876},
        {Btn_PROFINET_XML, 888},
        {Btn_ScanDecode, 972},
    };
    for (const auto& [button, index] : captions) button->SetCaption(UI_Texts[index]);
}

void TFVelmareFirmWare::Change_Language() {
    Set_Lang();
    // The dialogs in the fixed order; the others keep the texts of their creation.
    auto relabel = [](auto* form) {
        if (form) form->Set_Lang();
    };
    relabel(FBootTCP);
    relabel(FNew_Project);
    relabel(FOpenConf);
    relabel(FSoftOptions);
    relabel(FParGen);
    relabel(FKNXAccess);
    relabel(FSetAccess);
    relabel(FModbus_TCP_Master_Set_Access);
    relabel(FCAN_Rec_Frames);
    relabel(FCAN_Send_Frame);
    relabel(F_Rec_Info);
    relabel(F_Sen_Info);
    relabel(FSet_SDO_Server_Access);
    relabel(FSet_SDO_Client_Access);
    relabel(FSet_PDO_Access);
    relabel(FDNet);
    relabel(FDefOffset);
    relabel(FReceiveJ1939);
    relabel(FTransmitJ1939);
    relabel(FDMXDefVal);
    relabel(FReceiveNMEA);
    relabel(FTransmitNMEA);
}

void TFVelmareFirmWare::FormClose(TObject* /*Sender*/, TCloseAction& /*Action*/) {
    // A settings file that cannot be written is reported; the window still closes.
    try {
        Save_Setting();
    } catch (...) {
        Application->HandleException(this);
    }
}

void TFVelmareFirmWare::I_LorvanClick(TObject* /*Sender*/) {}
