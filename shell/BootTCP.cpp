#include "shell/BootTCP.h"

#include "platform/base/Clock.h"
#include "platform/ui/core/Dialogs.h"
#include "shell/VelmareFirmWare.h"
#include "shell/state/ProductProfiles.h"
#include "shell/state/ProgramState.h"
#include "shell/state/ProjectInt.h"
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
    Btn_Update->SetWidth(170); // wide enough for its caption
    Btn_Update->SetVisible(false);
    XML1 = new TXMLDocument(this);
    XML1->SetName("XML1");
    Create_Icmp_Transport = [] { return CreateIcmpSocketTransport(); };

    for (TEdit* e : {E_IP1, E_IP2, E_IP3}) {
        e->OnKeyPress = [this](TObject* Sender, char32_t& Key) { E_IPKeyPress(Sender, Key); };
    }
    // An address changed after its ping has not answered yet.
    for (TEdit* e : {E_IP1, E_IP2, E_IP3, E_IP4}) {
        e->OnChange = [this](TObject*) {
            if (!Esegui_Ping) return;
            Esegui_Ping = false;
            LPing->SetCaption("");
        };
    }
    Btn_Ping->OnClick = [this](TObject* Sender) { PbButton1Click(Sender); };
    Btn_Next->OnClick = [this](TObject* Sender) { PbButton2Click(Sender); };
    Btn_Update->OnClick = [this](TObject* Sender) { PbButton4Click(Sender); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
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

void TFBootTCP::FormShow(TObject* /*Sender*/) {
    for (TControl* c :
         std::initializer_list<TControl*>{L_IP_Address, E_IP1, E_IP2, E_IP3, E_IP4, Label2, Label3,
                                          Label4, L_Ping, Btn_Ping, LPing, Btn_Cancel, Btn_Next})
        c->SetVisible(true);
    L_IP_Address->SetBounds(16, 75, L_IP_Address->Width(), L_IP_Address->Height());
    const int lefts[4] = {35, 91, 147, 203};
    TEdit* edits[4] = {E_IP1, E_IP2, E_IP3, E_IP4};
    for (int i = 0; i < 4; ++i) {
        edits[i]->SetLeft(lefts[i]);
        edits[i]->SetTop(97);
    }
    TLabel* dots[3] = {Label2, Label3, Label4};
    for (int i = 0; i < 3; ++i) {
        dots[i]->SetLeft(83 + 56 * i);
        dots[i]->SetTop(105);
    }
    L_Ping->SetLeft(16);
    L_Ping->SetTop(136);
    Btn_Ping->SetLeft(35);
    Btn_Ping->SetTop(155);
    LPing->SetCaption("");
    LPing->SetLeft(151);
    LPing->SetTop(163);
    for (TControl* c : std::initializer_list<TControl*>{L_Options, CB_Firmware, CB_Read_Firm,
                                                        CB_Conf, CB_Read_Conf, Btn_Update})
        c->SetVisible(false);

    std::string parts[4];
    if (Valid_IP(Last_IP, parts))
        for (int i = 0; i < 4; ++i) edits[i]->SetText(parts[i]);
    // The text ends with a blank already, so two blanks stand before the code.
    L_IP_Address->SetCaption(UI_Texts[58] + " " + Product_Profile().Device_Code);
    Esegui_Ping = false;
    Pinged_IP.clear();
}

void TFBootTCP::E_IPKeyPress(TObject* Sender, char32_t& Key) {
    if (Key != U'.') return;
    Key = 0;
    TEdit* next = Sender == E_IP1 ? E_IP2 : Sender == E_IP2 ? E_IP3 : E_IP4;
    if (next->CanFocus()) next->SetFocus();
}

bool TFBootTCP::Valid_IP(const std::string& IP, std::string Parts[4]) {
    std::string rest = Trim(IP);
    std::string parts[4];
    for (int i = 0; i < 3; ++i) {
        const std::size_t dot = rest.find('.');
        if (dot == std::string::npos) return false;
        parts[i] = Trim(rest.substr(0, dot));
        rest = Trim(rest.substr(dot + 1));
    }
    parts[3] = rest;
    for (const std::string& p : parts) {
        const int n = ImageIntDef(p, 1000);
        if (n < 0 || n > 255) return false;
    }
    for (int i = 0; i < 4; ++i) Parts[i] = parts[i];
    return true;
}

std::string TFBootTCP::Edit_Address() const {
    const std::string typed =
        E_IP1->Text() + "." + E_IP2->Text() + "." + E_IP3->Text() + "." + E_IP4->Text();
    // Octets as the check reads them, in decimal: "010" is 10 for the ping too, never octal.
    std::string parts[4];
    if (!Valid_IP(typed, parts)) return typed;
    std::string address;
    for (int i = 0; i < 4; ++i) address += (i ? "." : "") + IntToStr(ImageIntDef(parts[i], 0));
    return address;
}

void TFBootTCP::PbButton1Click(TObject* /*Sender*/) {
    // The wait below handles messages, so a second click could start a ping inside this one.
    if (pinging_) return;
    pinging_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{pinging_};

    Esegui_Ping = false;
    Pinged_IP.clear();
    const std::uint64_t start = GetTickCount64();
    ping_ = 0;
    const std::string host = Edit_Address();
    // Cancel or the close box, handled while waiting, end the check at once.
    struct Cancelled {};
    auto waitOn = [this] {
        Application->ProcessMessages();
        if (ModalResult() != mrNone) throw Cancelled{};
    };
    try {
        TIcmpEcho echo(Create_Icmp_Transport());
        int successes = 0;
        do {
            const std::uint64_t tryStart = GetTickCount64();
            ping_ = 0;
            PingReply(echo.Ping(host, 400, waitOn));
            if (ping_ == 1) {
                ++successes;
            } else {
                // A request that could not be sent fails at once; its try still lasts 400 ms.
                while (GetTickCount64() - tryStart < 400) {
                    Sleep(10);
                    waitOn();
                }
            }
        } while (successes < 2 && GetTickCount64() - start <= 10000);
    } catch (const Cancelled&) {
        // The dialog is closing: nothing to show.
        return;
    } catch (const EIcmpNotPermitted& e) {
        // Not the address's fault: say what is missing.
        LPing->SetCaption("");
        MessageDlg(e.Message(), mtError, {mbOK});
        return;
    } catch (const Exception&) {
        // An address that is no IPv4 address, or no ICMP socket: reported in the label.
        LPing->Font()->SetColor(clRed);
        LPing->SetCaption(UI_Texts[71]);
        return;
    }
    if (ping_ == 1) {
        Esegui_Ping = true;
        Pinged_IP = host;
        LPing->Font()->SetColor(clGreen);
        LPing->SetCaption(UI_Texts[69]);
    } else {
        LPing->Font()->SetColor(clRed);
        LPing->SetCaption(UI_Texts[70]);
    }
}

void TFBootTCP::PingReply(bool Replied) {
    ping_ = Replied ? 1 : 2;
}

void TFBootTCP::PbButton2Click(TObject* /*Sender*/) {
    if (!Esegui_Ping || Edit_Address() != Pinged_IP) {
        MessageDlg(UI_Texts[72], mtError, {mbOK});
        return;
    }
    Show_Page_2();
    Last_IP = Pinged_IP;
}

void TFBootTCP::Show_Page_2() {
    for (TControl* c :
         std::initializer_list<TControl*>{L_IP_Address, E_IP1, E_IP2, E_IP3, E_IP4, Label2, Label3,
                                          Label4, L_Ping, Btn_Ping, LPing, Btn_Cancel, Btn_Next})
        c->SetVisible(false);
    const std::pair<TControl*, TPoint> places[] = {
        {L_Options, {16, 75}}, {CB_Firmware, {36, 96}},   {CB_Read_Firm, {56, 119}},
        {CB_Conf, {36, 142}},  {CB_Read_Conf, {56, 165}},
    };
    for (const auto& [control, at] : places) {
        control->SetLeft(at.X);
        control->SetTop(at.Y);
        control->SetVisible(true);
    }
    Btn_Update->SetLeft(16);
    Btn_Update->SetVisible(true);
}

TUpdate_Request TFBootTCP::Update_Request() const {
    return {Pinged_IP, CB_Firmware->Checked(), CB_Read_Firm->Checked(), CB_Conf->Checked(),
            CB_Read_Conf->Checked()};
}

void TFBootTCP::Compile_XML_Parameter() {
    ::Compile_XML_Parameter(*XML1, Product_Type(), Update_Request());
    XML1->SaveToFile(Update_Parameter_File());
}

void TFBootTCP::Compile_XML_Parameter_New_Boot() {
    ::Compile_XML_Parameter_New_Boot(*XML1, Product_Type(), Update_Request());
    XML1->SaveToFile(Update_Parameter_File());
}

void TFBootTCP::PbButton4Click(TObject* /*Sender*/) {
    if (!Esegui_Ping) {
        MessageDlg(UI_Texts[72], mtError, {mbOK});
        return;
    }
    const int type = Product_Type();
    std::string parameters;
    switch (Product_Profile().Update_Method) {
    case umNewBootFile:
        Compile_XML_Parameter_New_Boot();
        break;
    case umOldBootFile:
        Compile_XML_Parameter();
        break;
    case umCommandLine:
        parameters = Updater_Command_Line(type, Update_Request());
        break;
    case umNone:
        return;
    }
    FVelmareFirmWare->Start_Program(Updater_Program(type), parameters, false);
}
