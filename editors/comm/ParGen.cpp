#include "editors/comm/ParGen.h"

#include "editors/comm/ParGenTypes.h"
#include "platform/ui/core/Dialogs.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

#include <algorithm>

TFParGen* FParGen = nullptr;

using namespace pargen;

namespace {

constexpr int Client_Width = 312;
constexpr int Group_Width = 296;
constexpr int First_Group_Top = 70;
constexpr int Group_Gap = 6;
constexpr int Collapsed_Height = 26;
// Below the last control of an expanded group.
constexpr int Group_Bottom_Margin = 15;

// A 5-pixel minus (or plus) sign on a one-cell glyph strip. The push button puts a glyph without
// caption 2 pixels left of its middle (the caption spacing), so the sign stands 2 pixels right of
// the strip's middle.
std::unique_ptr<TBitmap> Sign_Glyph(bool Plus) {
    auto bmp = std::make_unique<TBitmap>(11, 7);
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(0, 0, 11, 7));
    c->Brush()->SetColor(clBlack);
    c->FillRect(Rect(5, 3, 10, 4));
    if (Plus) c->FillRect(Rect(7, 1, 8, 6));
    return bmp;
}

// The collapse and expand buttons show a sign and no caption.
void Set_Sign(TFrame_Button* Button, bool Plus) {
    Button->SetGlyph(Sign_Glyph(Plus).get());
    Button->SetNumGlyphs(1);
    Button->SetCaption("");
}

} // namespace

TFParGen::TFParGen(TComponent* AOwner) : TForm(AOwner) {
    SetName("FParGen");
    Set_Form_Look(this);
    Font()->SetSize(8);
    L_SW_Code = Create_Label(this, this, "L_SW_Code", 16, 8);
    L_SW_Code->Font()->SetName("Verdana");
    L_SW_Code->Font()->SetSize(24);
    L_SW_Code->Font()->SetColor(clGray);
    L_SW_Desc = Create_Label(this, this, "L_SW_Desc", 16, 42);
    L_SW_Desc->Font()->SetStyle({fsBold});
    L_SW_Desc->Font()->SetColor(clGray);
    XML1 = new TXMLDocument(this);
    XML1->SetName("XML1");
    Create_Groups();
    Btn_OK = Create_Push_Button(this, this, "Btn_OK", 71, 83, 112, 28);
    Btn_Cancel = Create_Push_Button(this, this, "Btn_Cancel", 192, 83, 112, 28);
    Btn_OK->OnClick = [this](TObject* Sender) { Btn_OKClick(Sender); };
    Btn_Cancel->OnClick = [this](TObject* Sender) { Btn_CancelClick(Sender); };
    Create_Keys();
    Reset_To_Initial();

    for (int i = 0; i < ComponentCount(); ++i) {
        TComponent* c = Components(i);
        if (auto* e = dynamic_cast<TEdit*>(c))
            e->OnChange = [this](TObject* Sender) { On_Change(Sender); };
        else if (auto* l = dynamic_cast<TComboBox*>(c))
            l->OnChange = [this](TObject* Sender) { On_Change(Sender); };
        else if (auto* b = dynamic_cast<TCheckBox*>(c))
            b->OnClick = [this](TObject* Sender) { On_Click(Sender); };
    }
    for (auto& [keys, row] : octet_rows_)
        for (TEdit* e : row)
            e->OnKeyPress = [this](TObject* Sender, char32_t& Key) { KeyPress(Sender, Key); };

    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnActivate = [this](TObject* Sender) { FormActivate(Sender); };
    OnCloseQuery = [this](TObject* Sender, bool& CanClose) { FormCloseQuery(Sender, CanClose); };
}

void TFParGen::Create_Groups() {
    TGroupBox* box = nullptr;
    auto group = [&](const std::string& name) {
        box = Create_Control<TGroupBox>(this, this, name);
        box->SetBounds(8, First_Group_Top, Group_Width, 105);
        box->SetCaption("");
        return box;
    };
    // A label at left 16 with a text of UI_Texts.
    auto label = [&](const std::string& name, int left, int top, int entry) {
        TLabel* l = Create_Label(this, box, name, left, top);
        texts_.push_back({l, entry});
        return l;
    };
    auto edit = [&](const std::string& name, int left, int top, int width) {
        auto* e = Create_Control<TEdit>(this, box, name);
        e->SetBounds(left, top, width, 21);
        return e;
    };
    auto list = [&](const std::string& name, int left, int top, int width,
                    std::initializer_list<const char*> items) {
        auto* l = Create_Control<TComboBox>(this, box, name);
        l->SetStyle(csDropDownList);
        l->SetBounds(left, top, width, 22);
        for (const char* item : items) l->Items()->Add(item);
        return l;
    };
    auto check = [&](const std::string& name, int left, int top, int width, int entry) {
        auto* b = Create_Control<TCheckBox>(this, box, name);
        b->SetBounds(left, top, width, 17);
        texts_.push_back({b, entry});
        return b;
    };
    // The three octet rows: IP at top 43, mask at 98, gateway at 154, "." between the edits.
    // The group is known by the prefix of its keys in ParGen.xml.
    auto octets = [&](const std::string& keys, const std::string& prefix,
                      const std::string& suffix) {
        std::vector<TEdit*> row;
        const char* kinds[] = {"IP", "SM", "GAT"};
        const int tops[] = {43, 98, 154};
        for (int k = 0; k < 3; ++k) {
            for (int n = 0; n < 4; ++n) {
                row.push_back(edit(prefix + kinds[k] + std::to_string(n + 1) + suffix, 16 + 66 * n,
                                   tops[k], 60));
                if (n < 3) Create_Label(this, box, "", 77 + 66 * n, tops[k] + 3, ".");
            }
        }
        octet_rows_[keys] = row;
        return row;
    };
    // Ends the current group: its collapse and expand buttons, and its entry in groups_.
    auto add_group = [&](bool* flag, const std::string& stem, std::vector<TControl*> first,
                         TControl* last, TGroupBox*& Box, TFrame_Button*& Collapse,
                         TFrame_Button*& Expand) {
        TGroup g{box, flag, nullptr, nullptr, std::move(first), last};
        g.Collapse = Create_Push_Button(this, box, "Btn_" + stem + "_Collapse", 280, 10, 11, 11);
        g.Expand = Create_Push_Button(this, box, "Btn_" + stem + "_Expande", 280, 10, 11, 11);
        Set_Sign(g.Collapse, false);
        Set_Sign(g.Expand, true);
        g.Collapse->OnClick = [this](TObject* Sender) { Btn_GB_Collapse(Sender); };
        g.Expand->OnClick = [this](TObject* Sender) { Btn_GB_Expande(Sender); };
        groups_.push_back(g);
        Box = g.Box;
        Collapse = g.Collapse;
        Expand = g.Expand;
    };

    // GB_KNX, with the optional rows of the KNXnet/IP and PROFINET types.
    group("GB_KNX");
    L_KNX_Type = label("L_KNX_Type", 16, 24, 95);
    CB_KNX_Type = list("CB_KNX_Type", 82, 21, 192, {"KNX TP", "KNXnet/IP"});
    CB_KNX_Type->SetEnabled(false);
    L_KNX_ID_Dev = label("L_KNX_ID_Dev", 16, 58, 96);
    E_ID_DEV_KNX = edit("E_ID_DEV_KNX", 82, 55, 192);
    L_KNX_ID_Tun = label("L_KNX_ID_Tun", 16, 92, 944);
    E_ID_Tun_KNX = edit("E_ID_Tun_KNX", 148, 89, 126);
    L_KNX_ID_Mana = label("L_KNX_ID_Mana", 16, 126, 945);
    E_ID_Mana_KNX = edit("E_ID_Mana_KNX", 148, 123, 126);
    L_KNX_CTRL_Port = label("L_KNX_CTRL_Port", 16, 160, 946);
    E_CTRL_Port_KNX = edit("E_CTRL_Port_KNX", 148, 157, 126);
    L_KNX_TUN_Port = label("L_KNX_TUN_Port", 16, 194, 947);
    E_TUN_Port_KNX = edit("E_TUN_Port_KNX", 148, 191, 126);
    L_KNX_MANA_Port = label("L_KNX_MANA_Port", 16, 228, 948);
    E_MANA_Port_KNX = edit("E_MANA_Port_KNX", 148, 225, 126);
    L_KNX_Delay_Packets = label("L_KNX_Delay_Packets", 16, 262, 979);
    E_KNX_Delay_Packets = edit("E_KNX_Delay_Packets", 148, 259, 126);
    add_group(&GB_KNX_Visible, "KNX", {L_KNX_Type, CB_KNX_Type}, E_ID_DEV_KNX, GB_KNX,
              Btn_KNX_Collapse, Btn_KNX_Expande);

    group("GB_Modbus_TCP_Slave");
    L_Modbus_TCP_Slave_IP_Add = label("L_Modbus_TCP_Slave_IP_Add", 16, 24, 117);
    L_Modbus_TCP_Slave_SM_Add = label("L_Modbus_TCP_Slave_SM_Add", 16, 79, 118);
    CB_En_GAT_Modbus_TCP_Slave = check("CB_En_GAT_Modbus_TCP_Slave", 16, 134, 97, 119);
    {
        auto o = octets("Modbus_TCP_Slave", "E_", "_Modbus_TCP_Slave");
        E_IP1_Modbus_TCP_Slave = o[0], E_IP2_Modbus_TCP_Slave = o[1];
        E_IP3_Modbus_TCP_Slave = o[2], E_IP4_Modbus_TCP_Slave = o[3];
        E_SM1_Modbus_TCP_Slave = o[4], E_SM2_Modbus_TCP_Slave = o[5];
        E_SM3_Modbus_TCP_Slave = o[6], E_SM4_Modbus_TCP_Slave = o[7];
        E_GAT1_Modbus_TCP_Slave = o[8], E_GAT2_Modbus_TCP_Slave = o[9];
        E_GAT3_Modbus_TCP_Slave = o[10], E_GAT4_Modbus_TCP_Slave = o[11];
    }
    L_ModbusTCPSlave_Port = label("L_ModbusTCPSlave_Port", 16, 191, 120);
    E_Port_Modbus_TCP_Slave = edit("E_Port_Modbus_TCP_Slave", 82, 188, 192);
    CB_Modbus_TCP_Slave_Diagnostic = check("CB_Modbus_TCP_Slave_Diagnostic", 16, 225, 126, 983);
    E_Modbus_TCP_Slave_Diagnostic = edit("E_Modbus_TCP_Slave_Diagnostic", 148, 223, 126);
    add_group(&GB_Modbus_TCP_Slave_Visible, "Modbus_TCP_Slave", {L_Modbus_TCP_Slave_IP_Add},
              E_GAT4_Modbus_TCP_Slave, GB_Modbus_TCP_Slave, Btn_Modbus_TCP_Slave_Collapse,
              Btn_Modbus_TCP_Slave_Expande);

    group("GB_Modbus_TCP_Master");
    L_Modbus_TCP_Master_IP_Add = label("L_Modbus_TCP_Master_IP_Add", 16, 24, 110);
    L_Modbus_TCP_Master_SM_Add = label("L_Modbus_TCP_Master_SM_Add", 16, 79, 111);
    CB_En_GAT_Modbus_TCP_Master = check("CB_En_GAT_Modbus_TCP_Master", 16, 134, 97, 112);
    {
        auto o = octets("Modbus_TCP_Master", "E_", "_Modbus_TCP_Master");
        E_IP1_Modbus_TCP_Master = o[0], E_IP2_Modbus_TCP_Master = o[1];
        E_IP3_Modbus_TCP_Master = o[2], E_IP4_Modbus_TCP_Master = o[3];
        E_SM1_Modbus_TCP_Master = o[4], E_SM2_Modbus_TCP_Master = o[5];
        E_SM3_Modbus_TCP_Master = o[6], E_SM4_Modbus_TCP_Master = o[7];
        E_GAT1_Modbus_TCP_Master = o[8], E_GAT2_Modbus_TCP_Master = o[9];
        E_GAT3_Modbus_TCP_Master = o[10], E_GAT4_Modbus_TCP_Master = o[11];
    }
    L_ModbusTCPMaster_TimeOut = label("L_ModbusTCPMaster_TimeOut", 16, 191, 113);
    E_TO_Modbus_TCP_Master = edit("E_TO_Modbus_TCP_Master", 148, 188, 126);
    L_ModbusTCPMaster_CyclicDelay = label("L_ModbusTCPMaster_CyclicDelay", 16, 225, 114);
    E_CD_Modbus_TCP_Master = edit("E_CD_Modbus_TCP_Master", 148, 222, 126);
    add_group(&GB_Modbus_TCP_Master_Visible, "Modbus_TCP_Master", {L_Modbus_TCP_Master_IP_Add},
              E_CD_Modbus_TCP_Master, GB_Modbus_TCP_Master, Btn_Modbus_TCP_Master_Collapse,
              Btn_Modbus_TCP_Master_Expande);

    const std::initializer_list<const char*> serial_bauds = {"1200",  "2400",  "4800",  "9600",
                                                             "19200", "38400", "57600", "115200"};
    group("GB_Modbus_Slave");
    L_Modbus_Slave_Serial = label("L_Modbus_Slave_Serial", 16, 24, 105);
    CB_Serial_Modbus_Slave = list("CB_Serial_Modbus_Slave", 82, 21, 192, {"RS232", "RS485"});
    L_Modbus_Slave_Baud = label("L_Modbus_Slave_Baud", 16, 58, 106);
    CB_Baud_Modbus_Slave = list("CB_Baud_Modbus_Slave", 82, 55, 192, serial_bauds);
    L_Modbus_Slave_Parity = label("L_Modbus_Slave_Parity", 16, 92, 107);
    CB_Par_Modbus_Slave = list("CB_Par_Modbus_Slave", 82, 89, 192, {"NONE", "ODD", "EVEN"});
    L_Modbus_Slave_Stop_Bit = label("L_Modbus_Slave_Stop_Bit", 16, 126, 340);
    CB_StopBits_Modbus_Slave =
        list("CB_StopBits_Modbus_Slave", 82, 123, 192, {"1 Stop Bits", "2 Stop Bits"});
    L_Modbus_Slave_ID_Dev = label("L_Modbus_Slave_ID_Dev", 16, 160, 108);
    E_ID_Modbus_Slave = edit("E_ID_Modbus_Slave", 82, 157, 192);
    CB_Modbus_Slave_Diagnostic = check("CB_Modbus_Slave_Diagnostic", 16, 194, 126, 981);
    E_Modbus_Slave_Diagnostic = edit("E_Modbus_Slave_Diagnostic", 148, 192, 126);
    add_group(&GB_Modbus_Slave_Visible, "Modbus_Slave",
              {L_Modbus_Slave_Serial, CB_Serial_Modbus_Slave}, E_Modbus_Slave_Diagnostic,
              GB_Modbus_Slave, Btn_Modbus_Slave_Collapse, Btn_Modbus_Slave_Expande);

    group("GB_Modbus_Master");
    L_Modbus_Master_Serial = label("L_Modbus_Master_Serial", 16, 24, 98);
    CB_Serial_Modbus_Master = list("CB_Serial_Modbus_Master", 82, 21, 192, {"RS232", "RS485"});
    L_Modbus_Master_Baud = label("L_Modbus_Master_Baud", 16, 58, 99);
    CB_Baud_Modbus_Master = list("CB_Baud_Modbus_Master", 82, 55, 192, serial_bauds);
    L_Modbus_Master_Parity = label("L_Modbus_Master_Parity", 16, 92, 100);
    CB_Par_Modbus_Master = list("CB_Par_Modbus_Master", 82, 89, 192, {"NONE", "ODD", "EVEN"});
    L_Modbus_Master_Stop_Bit = label("L_Modbus_Master_Stop_Bit", 16, 126, 101);
    CB_StopBits_Modbus_Master =
        list("CB_StopBits_Modbus_Master", 82, 123, 192, {"1 Stop Bits", "2 Stop Bits"});
    L_Modbus_Master_TimeOut = label("L_Modbus_Master_TimeOut", 16, 160, 102);
    E_TO_Modbus_Master = edit("E_TO_Modbus_Master", 148, 157, 126);
    L_Modbus_Master_Cyclic_Delay = label("L_Modbus_Master_Cyclic_Delay", 16, 194, 103);
    E_CD_Modbus_Master = edit("E_CD_Modbus_Master", 148, 191, 126);
    add_group(&GB_Modbus_Master_Visible, "Modbus_Master",
              {L_Modbus_Master_Serial, CB_Serial_Modbus_Master}, E_CD_Modbus_Master,
              GB_Modbus_Master, Btn_Modbus_Master_Collapse, Btn_Modbus_Master_Expande);

    group("GB_CAN");
    L_CAN_Baud = label("L_CAN_Baud", 16, 24, 352);
    CAN_Baud =
        list("CAN_Baud", 82, 21, 192,
             {"10K", "20K", "50K", "62.5K", "100K", "125K", "250K", "500K", "800K", "1000K"});
    add_group(&GB_CAN_Visible, "CAN", {L_CAN_Baud, CAN_Baud}, CAN_Baud, GB_CAN, Btn_CAN_Collapse,
              Btn_CAN_Expande);

    const std::initializer_list<const char*> can_bauds = {"10K",  "20K",  "50K",  "100K", "125K",
                                                          "250K", "500K", "800K", "1000K"};
    group("GB_CANopen");
    L_CANopen_ID_Dev = label("L_CANopen_ID_Dev", 16, 24, 354);
    E_ID_CANopen = edit("E_ID_CANopen", 82, 21, 192);
    L_CANopen_Baud = label("L_CANopen_Baud", 16, 58, 355);
    CB_Baud_CANopen = list("CB_Baud_CANopen", 82, 55, 192, can_bauds);
    CB_Set_Ope_CANopen = check("CB_Set_Ope_CANopen", 16, 92, 209, 356);
    CB_Net_Ope_CANopen = check("CB_Net_Ope_CANopen", 16, 126, 225, 357);
    E_NO_Delay_CANopen = edit("E_NO_Delay_CANopen", 239, 124, 35);
    L_CANopen_TimeOut = label("L_CANopen_TimeOut", 16, 160, 358);
    E_SDO_TO_CANopen = edit("E_SDO_TO_CANopen", 197, 157, 77);
    add_group(&GB_CANopen_Visible, "CANopen", {L_CANopen_ID_Dev, E_ID_CANopen}, E_SDO_TO_CANopen,
              GB_CANopen, Btn_CANopen_Collapse, Btn_CANopen_Expande);

    group("GB_DNET_Master");
    L_DNET_Master_ID_Dev = label("L_DNET_Master_ID_Dev", 16, 24, 360);
    E_ID_DNET_Master = edit("E_ID_DNET_Master", 82, 21, 192);
    L_DNET_Master_Baud = label("L_DNET_Master_Baud", 16, 58, 361);
    CB_Baud_DNET_Master = list("CB_Baud_DNET_Master", 82, 55, 192, {"125K", "250K", "500K"});
    add_group(&GB_DNET_Master_Visible, "DNET_Master", {L_DNET_Master_ID_Dev, E_ID_DNET_Master},
              CB_Baud_DNET_Master, GB_DNET_Master, Btn_DNET_Master_Collapse,
              Btn_DNET_Master_Expande);

    group("GB_DNET_Slave");
    L_DNET_Slave_ID_Dev = label("L_DNET_Slave_ID_Dev", 16, 24, 363);
    E_ID_DNET_Slave = edit("E_ID_DNET_Slave", 82, 21, 192);
    L_DNET_Slave_Baud = label("L_DNET_Slave_Baud", 16, 58, 364);
    CB_Baud_DNET_Slave = list("CB_Baud_DNET_Slave", 82, 55, 192, {"125K", "250K", "500K"});
    L_DNET_Slave_NByteIn = label("L_DNET_Slave_NByteIn", 16, 92, 365);
    E_NB_IN_DNET_Slave = edit("E_NB_IN_DNET_Slave", 148, 89, 126);
    L_DNET_Slave_NByteOut = label("L_DNET_Slave_NByteOut", 16, 126, 366);
    E_NB_OUT_DNET_Slave = edit("E_NB_OUT_DNET_Slave", 148, 123, 126);
    add_group(&GB_DNET_Slave_Visible, "DNET_Slave", {L_DNET_Slave_ID_Dev, E_ID_DNET_Slave},
              E_NB_OUT_DNET_Slave, GB_DNET_Slave, Btn_DNET_Slave_Collapse, Btn_DNET_Slave_Expande);

    group("GB_J1939");
    L_J1939_Baud = label("L_J1939_Baud", 16, 24, 368);
    CB_Baud_J1939 = list("CB_Baud_J1939", 82, 21, 192, can_bauds);
    L_J1939_TimeOut = label("L_J1939_TimeOut", 16, 58, 369);
    E_TO_J1939 = edit("E_TO_J1939", 148, 55, 126);
    CB_En_Peer_J1939 = check("CB_En_Peer_J1939", 16, 92, 193, 370);
    L_J1939_DevID = label("L_J1939_DevID", 16, 126, 974);
    E_J1939_DevID = edit("E_J1939_DevID", 148, 123, 126);
    add_group(&GB_J1939_Visible, "J1939", {L_J1939_Baud, CB_Baud_J1939}, E_J1939_DevID, GB_J1939,
              Btn_J1939_Collapse, Btn_J1939_Expande);

    group("GB_MBus_Options");
    L_MBus_Options_Wire_Present = label("L_MBus_Options_Wire_Present", 16, 24, 721);
    CB_MBus_Options_Wire_Present =
        list("CB_MBus_Options_Wire_Present", 148, 21, 126, {"Not Present", "Present"});
    L_MBus_Options_Wireless_Present = label("L_MBus_Options_Wireless_Present", 16, 58, 724);
    CB_MBus_Options_Wireless_Present =
        list("CB_MBus_Options_Wireless_Present", 148, 55, 126, {"Not Present", "Present"});
    add_group(&GB_MBus_Options_Visible, "MBus_Options",
              {L_MBus_Options_Wire_Present, CB_MBus_Options_Wire_Present},
              CB_MBus_Options_Wireless_Present, GB_MBus_Options, Btn_MBus_Options_Collapse,
              Btn_MBus_Options_Expande);

    group("GB_wMBus");
    L_wMBus_Mode = label("L_wMBus_Mode", 16, 24, 734);
    CB_wMBus_Mode = list("CB_wMBus_Mode", 82, 21, 192, {"S1", "T1", "N1", "N2"});
    L_wMBus_Radio_Channel = label("L_wMBus_Radio_Channel", 16, 58, 735);
    CB_wMBus_Radio_Channel =
        list("CB_wMBus_Radio_Channel", 148, 55, 126,
             {"1a @ 4800 bps", "1b @ 4800 bps", "2a @ 2400 bps", "2b @ 2400 bps", "3a @ 4800 bps",
              "3b @ 4800 bps", "0 @ 19200 bps", "2a @ 4800 bps", "2b @ 4800 bps"});
    add_group(&GB_wMBus_Visible, "wMBus", {L_wMBus_Mode, CB_wMBus_Mode}, CB_wMBus_Radio_Channel,
              GB_wMBus, Btn_wMBus_Collapse, Btn_wMBus_Expande);

    group("GB_MBus");
    L_MBus_Baud = label("L_MBus_Baud", 16, 24, 728);
    CB_Baud_Mbus = list("CB_Baud_Mbus", 82, 21, 192,
                        {"300", "600", "1200", "2400", "4800", "9600", "19200", "38400"});
    L_MBus_Par = label("L_MBus_Par", 16, 58, 729);
    CB_Parity_Mbus = list("CB_Parity_Mbus", 82, 55, 192, {"NONE", "EVEN", "ODD"});
    L_MBus_CD = label("L_MBus_CD", 16, 92, 730);
    E_CD_Mbus = edit("E_CD_Mbus", 148, 89, 126);
    L_MBus_NS1 = label("L_MBus_NS1", 16, 126, 731);
    L_MBus_NS2 = label("L_MBus_NS2", 16, 145, 732);
    E_NSE_MBus = edit("E_NSE_MBus", 82, 142, 192);
    add_group(&GB_MBus_Visible, "MBus", {L_MBus_Baud, CB_Baud_Mbus}, E_NSE_MBus, GB_MBus,
              Btn_MBus_Collapse, Btn_MBus_Expande);

    group("GB_DMX");
    L_DMX_DMX = label("L_DMX_DMX", 16, 24, 921);
    CB_DMX_DMX = list("CB_DMX_DMX", 82, 21, 192, {"IN", "OUT"});
    L_DMX_Num_Channal = label("L_DMX_Num_Channal", 16, 58, 861);
    E_DMX_Num_Channel = edit("E_DMX_Num_Channel", 148, 55, 126);
    add_group(&GB_DMX_Visible, "DMX", {L_DMX_DMX, CB_DMX_DMX}, E_DMX_Num_Channel, GB_DMX,
              Btn_DMX_Collapse, Btn_DMX_Expande);

    group("GB_PROFINET");
    L_PROFINET_IP_Add = label("L_PROFINET_IP_Add", 16, 24, 890);
    L_PROFINET_Subnet_Mask = label("L_PROFINET_Subnet_Mask", 16, 79, 891);
    CB_EN_GAT = check("CB_EN_GAT", 16, 134, 97, 892);
    {
        auto o = octets("PROFINET", "E_", "");
        E_IP1 = o[0], E_IP2 = o[1], E_IP3 = o[2], E_IP4 = o[3];
        E_SM1 = o[4], E_SM2 = o[5], E_SM3 = o[6], E_SM4 = o[7];
        E_GAT1 = o[8], E_GAT2 = o[9], E_GAT3 = o[10], E_GAT4 = o[11];
    }
    L_PROFINET_Port = label("L_PROFINET_Port", 16, 191, 893);
    E_PORT = edit("E_PORT", 82, 188, 192);
    E_PORT->SetEnabled(false);
    // The label's text depends on the product type (Set_Lang).
    L_PROFINET_Name_Station = Create_Label(this, box, "L_PROFINET_Name_Station", 16, 223);
    E_Profinet_Name_Station = edit("E_Profinet_Name_Station", 16, 242, 258);
    E_Profinet_Name_Station->SetMaxLength(15);
    L_PROFINET_Byte_IN = label("L_PROFINET_Byte_IN", 16, 279, 895);
    E_NB_IN_PROFINET = edit("E_NB_IN_PROFINET", 148, 276, 126);
    L_PROFINET_Byte_OUT = label("L_PROFINET_Byte_OUT", 16, 313, 896);
    E_NB_OUT_PROFINET = edit("E_NB_OUT_PROFINET", 148, 310, 126);
    add_group(&GB_PROFINET_Visible, "PROFINET", {L_PROFINET_IP_Add}, E_NB_OUT_PROFINET, GB_PROFINET,
              Btn_PROFINET_Collapse, Btn_PROFINET_Expande);

    group("GB_EtherNetIP");
    L_EtherNetIP_IP_Add = label("L_EtherNetIP_IP_Add", 16, 24, 923);
    L_EtherNetIP_SubNet = label("L_EtherNetIP_SubNet", 16, 79, 924);
    CB_EtherNetIP_Gateway = check("CB_EtherNetIP_Gateway", 16, 134, 97, 925);
    {
        auto o = octets("EtherNetIP", "E_EtherNetIP_", "");
        E_EtherNetIP_IP1 = o[0], E_EtherNetIP_IP2 = o[1];
        E_EtherNetIP_IP3 = o[2], E_EtherNetIP_IP4 = o[3];
        E_EtherNetIP_SM1 = o[4], E_EtherNetIP_SM2 = o[5];
        E_EtherNetIP_SM3 = o[6], E_EtherNetIP_SM4 = o[7];
        E_EtherNetIP_GAT1 = o[8], E_EtherNetIP_GAT2 = o[9];
        E_EtherNetIP_GAT3 = o[10], E_EtherNetIP_GAT4 = o[11];
    }
    L_EtherNetIP_Port = label("L_EtherNetIP_Port", 16, 191, 926);
    E_Port_EtherNetIP = edit("E_Port_EtherNetIP", 82, 188, 192);
    E_Port_EtherNetIP->SetEnabled(false);
    L_EtherNetIP_NByteIN = label("L_EtherNetIP_NByteIN", 16, 225, 927);
    E_B_IN_EtherNetIP = edit("E_B_IN_EtherNetIP", 148, 222, 126);
    L_EtherNetIP_NByteOUT = label("L_EtherNetIP_NByteOUT", 16, 259, 928);
    E_B_OUT_EtherNetIP = edit("E_B_OUT_EtherNetIP", 148, 256, 126);
    add_group(&GB_EtherNetIP_Visible, "EtherNetIP", {L_EtherNetIP_IP_Add}, E_B_OUT_EtherNetIP,
              GB_EtherNetIP, Btn_EtherNetIP_Collapse, Btn_EtherNetIP_Expande);

    group("GB_NMEA2000");
    L_NMEA2000_Baudrate = label("L_NMEA2000_Baudrate", 16, 24, 989);
    CB_NMEA2000_Baudrate = list("CB_NMEA2000_Baudrate", 82, 21, 192, can_bauds);
    L_NMEA2000_TimeOut = label("L_NMEA2000_TimeOut", 16, 58, 990);
    E_NMEA2000_TimeOut = edit("E_NMEA2000_TimeOut", 148, 55, 126);
    CB_NMEA2000_Peer_To_Peer = check("CB_NMEA2000_Peer_To_Peer", 16, 92, 193, 991);
    L_NMEA2000_ID_Device = label("L_NMEA2000_ID_Device", 16, 126, 992);
    E_NMEA2000_ID_Device = edit("E_NMEA2000_ID_Device", 148, 123, 126);
    add_group(&GB_NMEA2000_Visible, "NMEA2000", {L_NMEA2000_Baudrate, CB_NMEA2000_Baudrate},
              E_NMEA2000_ID_Device, GB_NMEA2000, Btn_NMEA2000_Collapse, Btn_NMEA2000_Expande);
}

void TFParGen::FormCreate(TObject* /*Sender*/) {
    const int type = Product_Type();
    L_SW_Code->SetCaption(SW_Code);
    for (const TGroup& g : groups_) g.Box->SetVisible(false);

    const bool knxnet = Is_KNXnet(type);
    for (TControl* c : std::initializer_list<TControl*>{
             L_KNX_ID_Tun, E_ID_Tun_KNX, L_KNX_ID_Mana, E_ID_Mana_KNX, L_KNX_CTRL_Port,
             E_CTRL_Port_KNX, L_KNX_TUN_Port, E_TUN_Port_KNX, L_KNX_MANA_Port, E_MANA_Port_KNX})
        c->SetVisible(knxnet);
    const bool delay = Is_Delay(type);
    L_KNX_Delay_Packets->SetVisible(delay);
    E_KNX_Delay_Packets->SetVisible(delay);
    if (delay) {
        L_KNX_Delay_Packets->SetTop(92);
        E_KNX_Delay_Packets->SetTop(89);
    }

    Collapse_Expand_Creation();
    Move_GroupBoxs();
    Set_Lang();
}

void TFParGen::Collapse_Expand_Creation() {
    for (TGroup& g : groups_) {
        *g.Expanded = true;
        g.Collapse->SetBounds(280, 10, 11, 11);
        g.Collapse->SetVisible(true);
        g.Expand->SetBounds(280, 10, 11, 11);
        g.Expand->SetVisible(false);
    }
}

TControl* TFParGen::Last_Control(TGroupBox* Box) const {
    const int type = Product_Type();
    if (Box == GB_KNX) {
        if (Is_KNXnet(type)) return E_MANA_Port_KNX;
        if (Is_Delay(type)) return E_KNX_Delay_Packets;
    }
    if (Box == GB_Modbus_TCP_Slave && Is_Modbus_TCP_Slave(type))
        return E_Modbus_TCP_Slave_Diagnostic;
    if (Box == GB_PROFINET && Is_SNMP(type)) return E_Profinet_Name_Station;
    for (const TGroup& g : groups_)
        if (g.Box == Box) return g.Last;
    return nullptr;
}

void TFParGen::Stack_Groups(const std::vector<TGroupBox*>& Groups) {
    int top = First_Group_Top;
    int bottom = First_Group_Top;
    for (TGroupBox* box : Groups) {
        const auto g = std::find_if(groups_.begin(), groups_.end(),
                                    [box](const TGroup& x) { return x.Box == box; });
        box->SetVisible(true);
        int height = box->Height();
        if (*g->Expanded) {
            TControl* last = Last_Control(box);
            height = last->Top() + last->Height() + Group_Bottom_Margin;
        }
        box->SetBounds(8, top, Group_Width, height);
        bottom = top + height;
        top = bottom + Group_Gap;
    }
    Btn_OK->SetTop(bottom + 13);
    Btn_Cancel->SetTop(Btn_OK->Top());
    SetClientSize(Client_Width, bottom + 54);
}

void TFParGen::Set_Port_Row(bool Shown) {
    L_ModbusTCPSlave_Port->SetVisible(Shown);
    E_Port_Modbus_TCP_Slave->SetVisible(Shown);
}

void TFParGen::Move_GroupBoxs() {
    switch (Product_Type()) {
    case 1:
    case 1001:
        RePosition_Objects_518();
        break;
    case 2:
        RePosition_Objects_519();
        break;
    case 3:
    case 1003:
        RePosition_Objects_520();
        break;
    case 4:
        RePosition_Objects_521();
        break;
    case 5:
        RePosition_Objects_511();
        break;
    case 6:
        RePosition_Objects_512();
        break;
    case 7:
        RePosition_Objects_514();
        break;
    case 8:
        RePosition_Objects_515();
        break;
    case 9:
        RePosition_Objects_516();
        break;
    case 10:
    case 1010:
        RePosition_Objects_517();
        break;
    case 11:
    case 1011:
        RePosition_Objects_524();
        break;
    case 12:
    case 1012:
        RePosition_Objects_522();
        break;
    case 13:
        RePosition_Objects_513();
        break;
    case 14:
    case 1014:
        RePosition_Objects_525();
        break;
    case 15:
        RePosition_Objects_523();
        break;
    case 25:
        RePosition_Objects_526();
        break;
    default:
        break;
    }
}

void TFParGen::RePosition_Objects_511() {
    Set_Port_Row(false);
    Stack_Groups({GB_KNX, GB_CAN, GB_Modbus_TCP_Slave});
}

void TFParGen::RePosition_Objects_512() {
    Set_Port_Row(false);
    Stack_Groups({GB_KNX, GB_CANopen, GB_Modbus_TCP_Slave});
}

void TFParGen::RePosition_Objects_513() {
    Stack_Groups({GB_KNX, GB_EtherNetIP});
}

void TFParGen::RePosition_Objects_514() {
    Set_Port_Row(false);
    Stack_Groups({GB_KNX, GB_DNET_Master, GB_Modbus_TCP_Slave});
}

void TFParGen::RePosition_Objects_515() {
    Set_Port_Row(false);
    Stack_Groups({GB_KNX, GB_DNET_Slave, GB_Modbus_TCP_Slave});
}

void TFParGen::RePosition_Objects_516() {
    Set_Port_Row(false);
    Stack_Groups({GB_KNX, GB_J1939, GB_Modbus_TCP_Slave});
}

void TFParGen::RePosition_Objects_517() {
    Set_Port_Row(false);
    // The M-Bus groups follow the two presence lists and take no place while absent.
    std::vector<TGroupBox*> list{GB_KNX, GB_MBus_Options};
    const bool wire = CB_MBus_Options_Wire_Present->ItemIndex() == 1;
    const bool wireless = CB_MBus_Options_Wireless_Present->ItemIndex() == 1;
    GB_MBus->SetVisible(wire);
    GB_wMBus->SetVisible(wireless);
    if (wire) list.push_back(GB_MBus);
    if (wireless) list.push_back(GB_wMBus);
    list.push_back(GB_Modbus_TCP_Slave);
    Stack_Groups(list);
}

void TFParGen::RePosition_Objects_518() {
    Set_Port_Row(false);
    Stack_Groups({GB_KNX, GB_Modbus_Master, GB_Modbus_TCP_Slave});
}

void TFParGen::RePosition_Objects_519() {
    Set_Port_Row(false);
    Stack_Groups({GB_KNX, GB_Modbus_Slave, GB_Modbus_TCP_Slave});
}

void TFParGen::RePosition_Objects_520() {
    Stack_Groups({GB_KNX, GB_Modbus_TCP_Master});
}

void TFParGen::RePosition_Objects_521() {
    Set_Port_Row(true);
    Stack_Groups({GB_KNX, GB_Modbus_TCP_Slave});
}

void TFParGen::RePosition_Objects_522() {
    Stack_Groups({GB_KNX, GB_PROFINET});
}

void TFParGen::RePosition_Objects_523() {
    for (TControl* c :
         std::initializer_list<TControl*>{L_PROFINET_Port, E_PORT, L_PROFINET_Byte_IN,
                                          E_NB_IN_PROFINET, L_PROFINET_Byte_OUT, E_NB_OUT_PROFINET})
        c->SetVisible(false);
    L_PROFINET_Name_Station->SetTop(L_PROFINET_Port->Top());
    E_Profinet_Name_Station->SetTop(L_PROFINET_Port->Top() + 19);
    Stack_Groups({GB_KNX, GB_PROFINET});
}

void TFParGen::RePosition_Objects_524() {
    Set_Port_Row(false);
    Stack_Groups({GB_KNX, GB_DMX, GB_Modbus_TCP_Slave});
}

void TFParGen::RePosition_Objects_525() {
    Set_Port_Row(false);
    Stack_Groups({GB_KNX, GB_Modbus_TCP_Slave});
}

void TFParGen::RePosition_Objects_526() {
    Set_Port_Row(false);
    Stack_Groups({GB_KNX, GB_NMEA2000, GB_Modbus_TCP_Slave});
}

TFParGen::TGroup* TFParGen::Group_Of_Button(TObject* Sender) {
    for (TGroup& g : groups_)
        if (g.Collapse == Sender || g.Expand == Sender) return &g;
    return nullptr;
}

void TFParGen::Btn_GB_Collapse(TObject* Sender) {
    TGroup* g = Group_Of_Button(Sender);
    if (!g) return;
    g->Box->SetHeight(Collapsed_Height);
    for (TControl* c : g->First_Row) c->SetVisible(false);
    g->Collapse->SetVisible(false);
    g->Expand->SetVisible(true);
    *g->Expanded = false;
    Move_GroupBoxs();
}

void TFParGen::Btn_GB_Expande(TObject* Sender) {
    TGroup* g = Group_Of_Button(Sender);
    if (!g) return;
    for (TControl* c : g->First_Row) c->SetVisible(true);
    g->Collapse->SetVisible(true);
    g->Expand->SetVisible(false);
    *g->Expanded = true;
    Move_GroupBoxs();
}

void TFParGen::FormShow(TObject* /*Sender*/) {
    exit_confirmed_ = false;
    // Each showing starts on the first field, not on the button that closed it last time.
    SetActiveControl(nullptr);
    Read_ParGen();
}

void TFParGen::FormActivate(TObject* /*Sender*/) {
    if (Top() < 0) SetTop(0);
}

bool TFParGen::Confirm_Exit() {
    return MessageDlg(UI_Texts[167], mtConfirmation, mbYesNo) == mrYes;
}

void TFParGen::FormCloseQuery(TObject* /*Sender*/, bool& CanClose) {
    // Cancel asked already; the close box asks here, so a change is never dropped unasked.
    if (ModalResult() != mrOk && Is_Change && !exit_confirmed_) CanClose = Confirm_Exit();
}

void TFParGen::Btn_CancelClick(TObject* /*Sender*/) {
    if (Is_Change && !Confirm_Exit()) return;
    exit_confirmed_ = true;
    SetModalResult(mrCancel);
}

void TFParGen::Btn_OKClick(TObject* /*Sender*/) {
    if (!Controllo_Dati()) return;
    Write_ParGen();
    SetModalResult(mrOk);
}

void TFParGen::On_Change(TObject* Sender) {
    Is_Change = true;
    if (!Is_MBus(Product_Type())) return;
    if (Sender != CB_MBus_Options_Wire_Present && Sender != CB_MBus_Options_Wireless_Present)
        return;
    if (CB_MBus_Options_Wire_Present->ItemIndex() == 0 &&
        CB_MBus_Options_Wireless_Present->ItemIndex() == 0) {
        MessageDlg(UI_Texts[736], mtError, {mbOK});
        static_cast<TComboBox*>(Sender)->SetItemIndex(1);
    }
    Move_GroupBoxs();
}

void TFParGen::On_Click(TObject* /*Sender*/) {
    Is_Change = true;
}

TEdit* TFParGen::Next_Octet(TObject* Edit) const {
    for (const auto& [keys, row] : octet_rows_) {
        const auto it = std::find(row.begin(), row.end(), Edit);
        if (it == row.end()) continue;
        return it + 1 == row.end() ? nullptr : *(it + 1);
    }
    return nullptr;
}

void TFParGen::KeyPress(TObject* Sender, char32_t& Key) {
    if (Key != U'.') return;
    TEdit* next = Next_Octet(Sender);
    if (next && next->CanFocus()) next->SetFocus();
    Key = 0;
}

void TFParGen::Set_Lang() {
    const int type = Product_Type();
    SetCaption(UI_Texts[90]);
    L_SW_Desc->SetCaption(UI_Texts[91]);
    Btn_OK->SetCaption(UI_Texts[92]);
    Btn_Cancel->SetCaption(UI_Texts[93]);
    const std::pair<TGroupBox*, int> captions[] = {
        {GB_KNX, 94},
        {GB_Modbus_Master, 97},
        {GB_Modbus_Slave, 104},
        {GB_Modbus_TCP_Master, 109},
        {GB_Modbus_TCP_Slave, Is_Modbus_TCP_Slave(type) ? 115 : 116},
        {GB_CAN, 351},
        {GB_CANopen, 353},
        {GB_DNET_Master, 359},
        {GB_DNET_Slave, 362},
        {GB_J1939, 367},
        {GB_MBus_Options, 720},
        {GB_MBus, 727},
        {GB_wMBus, 733},
        {GB_DMX, 860},
        {GB_PROFINET, Is_SNMP(type) ? 955 : 889},
        {GB_EtherNetIP, 922},
        {GB_NMEA2000, 988},
    };
    for (const auto& [box, entry] : captions) box->SetCaption(UI_Texts[entry]);
    for (const auto& [control, entry] : texts_) control->SetCaption(UI_Texts[entry]);
    L_PROFINET_Name_Station->SetCaption(UI_Texts[Is_SNMP(type) ? 956 : 894]);
    for (const TGroup& g : groups_) {
        Show_Hint(g.Collapse, UI_Texts[121]);
        Show_Hint(g.Expand, UI_Texts[122]);
    }
    // Only these two lists are translated; refilled, they have no selection until shown.
    CB_MBus_Options_Wire_Present->Items()->Clear();
    CB_MBus_Options_Wire_Present->Items()->Add(UI_Texts[722]);
    CB_MBus_Options_Wire_Present->Items()->Add(UI_Texts[723]);
    CB_MBus_Options_Wireless_Present->Items()->Clear();
    CB_MBus_Options_Wireless_Present->Items()->Add(UI_Texts[725]);
    CB_MBus_Options_Wireless_Present->Items()->Add(UI_Texts[726]);
}
