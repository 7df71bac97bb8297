#include "mbus/ScanDecode.h"

#include "shell/state/ProgramState.h"

// The scan window's options: the rows of the option panel and their layout.

namespace {

constexpr int Label_Left = 24;
constexpr int Field_Left = 260;
constexpr int First_Row = 16;
constexpr int Row_Step = 28;

TComboBox* makeCombo(TComponent* owner, TWinControl* parent, const std::string& name,
                     const std::vector<std::string>& items, int index = 0) {
    auto* c = Create_Control<TComboBox>(owner, parent, name);
    c->SetStyle(csDropDownList);
    c->SetBounds(Field_Left, 0, 170, 21);
    for (const auto& s : items) c->Items()->Add(s);
    c->SetItemIndex(index);
    return c;
}

TCheckBox* makeCheck(TComponent* owner, TWinControl* parent, const std::string& name) {
    auto* c = Create_Control<TCheckBox>(owner, parent, name);
    c->SetBounds(Label_Left, 0, 300, 17);
    return c;
}

TEdit* makeEdit(TComponent* owner, TWinControl* parent, const std::string& name, int left,
                int width, const std::string& text) {
    auto* e = Create_Control<TEdit>(owner, parent, name);
    e->SetBounds(left, 0, width, 21);
    e->SetText(text);
    return e;
}

} // namespace

void TFScanDecode::Build_Options() {
    P_Options = Create_Panel(this, this, "P_Options", alClient);
    auto* p = P_Options;
    auto label = [&](const std::string& name) {
        return Create_Label(this, p, name, Label_Left, 0);
    };
    L_ScanMethod = label("L_ScanMethod");
    CB_ScanMethod = makeCombo(this, p, "CB_ScanMethod", {"M-Bus Wired", "M-Bus Wireless"});
    L_ScanBy = label("L_ScanBy");
    CB_ScanBy = makeCombo(this, p, "CB_ScanBy", {"Primary Address", "Secondary Address"});
    L_HardwareType = label("L_HardwareType");
    CB_HardwareType = makeCombo(this, p, "CB_HardwareType", {"Ethernet", "Serial"});
    L_IP = label("L_IP");
    const char* ip[] = {"192", "168", "2", "205"};
    for (int i = 0; i < 4; ++i) {
        E_IP[std::size_t(i)] =
            makeEdit(this, p, "E_IP" + std::to_string(i + 1), Field_Left + i * 44, 38, ip[i]);
        // A "." is swallowed and moves on to the next part of the address.
        E_IP[std::size_t(i)]->OnKeyPress = [this, i](TObject*, char32_t& Key) {
            if (Key != U'.') return;
            Key = 0;
            if (i < 3 && E_IP[std::size_t(i) + 1]->CanFocus()) E_IP[std::size_t(i) + 1]->SetFocus();
        };
    }
    L_ComPort = label("L_ComPort");
    CB_ComPort = makeCombo(this, p, "CB_ComPort", {});
    CB_ComPort->SetWidth(120);
    Btn_COM_List = Create_Push_Button(this, p, "Btn_COM_List", Field_Left + 126, 0, 44, 22);
    const std::unique_ptr<TBitmap> arrow = Create_Arrow_Glyph();
    Btn_COM_List->SetGlyph(arrow.get());
    Show_Hint(Btn_COM_List, "Update COM Ports List");
    L_Port = label("L_Port");
    E_Port = makeEdit(this, p, "E_Port", Field_Left, 60, "10001");
    L_wMBus_Mode = label("L_wMBus_Mode");
    CB_wMBus_Mode = makeCombo(this, p, "CB_wMBus_Mode", {"S", "T", "N1", "N2", "C"});
    L_wMBus_Radio_Channel = label("L_wMBus_Radio_Channel");
    CB_wMBus_Radio_Channel = makeCombo(this, p, "CB_wMBus_Radio_Channel",
                                       {"1a @ 4800 bps", "1b @ 4800 bps", "2a @ 2400 bps",
                                        "2b @ 2400 bps", "3a @ 4800 bps", "3b @ 4800 bps",
                                        "0 @ 19200 bps", "2a @ 4800 bps", "2b @ 4800 bps"});
    L_MBus_ParGen = label("L_MBus_ParGen");
    L_MBus_ParGen->Font()->SetStyle({fsBold});
    L_MBus_Baud = label("L_MBus_Baud");
    CB_MBus_Baud = makeCombo(this, p, "CB_MBus_Baud",
                             {"300", "600", "1200", "2400", "4800", "9600", "19200", "38400"}, 3);
    L_MBus_Parity = label("L_MBus_Parity");
    CB_MBus_Parity = makeCombo(this, p, "CB_MBus_Parity", {"NONE", "EVEN", "ODD"}, 1);
    L_Option_Scan = label("L_Option_Scan");
    L_Option_Scan->Font()->SetStyle({fsBold});
    CB_Opt_App_Reset = makeCheck(this, p, "CB_Opt_App_Reset");
    CB_Opt_SND_NKE = makeCheck(this, p, "CB_Opt_SND_NKE");
    L_Opt_Cut_After = label("L_Opt_Cut_After");
    E_Opt_Cut_After = makeEdit(this, p, "E_Opt_Cut_After", Field_Left, 60, "3");
    CB_Opt_Use_Fix_C_Field = makeCheck(this, p, "CB_Opt_Use_Fix_C_Field");
    CB_Opt_Use_Fix_C_Field_Value =
        makeCombo(this, p, "CB_Opt_Use_Fix_C_Field_Value", {"0x5X", "0x7X"});
    CB_Opt_Use_Fix_C_Field_Value->SetVisible(false);
}

void TFScanDecode::Move_Object_Type_Form() {
    SetClientHeight(571);
    CB_HardwareType->SetItemIndex(0);
    CB_HardwareType->SetEnabled(false);
    E_Port->SetText("10001");
    E_Port->SetEnabled(false);
    const bool wireless = Form_Type == 1 && CB_ScanMethod->ItemIndex() == 1;
    const bool serial = CB_HardwareType->ItemIndex() == 1;
    struct Row {
        std::vector<TControl*> controls;
        bool shown;
        int extra = 0; // room above the row
    };
    const Row rows[] = {
        {{L_ScanMethod, CB_ScanMethod}, Form_Type == 1},
        {{L_ScanBy, CB_ScanBy}, !wireless},
        {{L_HardwareType, CB_HardwareType}, true},
        {{L_IP, E_IP[0], E_IP[1], E_IP[2], E_IP[3]}, !serial},
        {{L_ComPort, CB_ComPort, Btn_COM_List}, serial},
        {{L_Port, E_Port}, wireless},
        {{L_wMBus_Mode, CB_wMBus_Mode}, wireless},
        {{L_wMBus_Radio_Channel, CB_wMBus_Radio_Channel}, wireless},
        {{L_MBus_ParGen}, !wireless, 8},
        {{L_MBus_Baud, CB_MBus_Baud}, !wireless},
        {{L_MBus_Parity, CB_MBus_Parity}, !wireless},
        {{L_Option_Scan}, !wireless, 8},
        {{CB_Opt_App_Reset}, !wireless},
        {{CB_Opt_SND_NKE}, !wireless},
        {{L_Opt_Cut_After, E_Opt_Cut_After}, !wireless},
        {{CB_Opt_Use_Fix_C_Field}, !wireless},
    };
    int top = First_Row;
    for (const Row& r : rows) {
        if (r.shown) top += r.extra;
        for (TControl* c : r.controls) {
            c->SetVisible(r.shown);
            // Labels and check boxes sit a little lower than the edits beside them.
            c->SetTop(dynamic_cast<TWinControl*>(c) && !dynamic_cast<TCheckBox*>(c) ? top
                                                                                    : top + 3);
        }
        if (r.shown) top += Row_Step;
    }
    CB_Opt_Use_Fix_C_Field_Value->SetTop(CB_Opt_Use_Fix_C_Field->Top() - 3);
}

void TFScanDecode::Update_List_of_COM_Port() {
    CB_ComPort->Items()->Clear();
    const std::unique_ptr<TStringList> ports = List_COM_Ports();
    for (int i = 0; i < ports->Count(); ++i) CB_ComPort->Items()->Add("COM" + ports->Strings(i));
    CB_ComPort->SetItemIndex(0);
}
