#include "mbus/ScanDecode.h"

#include "mbus/InsertKeyWireless.h"
#include "mbus/net/MBusNetworkFile.h"
#include "platform/base/DateUtils.h"
#include "platform/files/Files.h"
#include "platform/ui/core/Dialogs.h"
#include "platform/ui/core/Timers.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"
#include "treeview/LazyTree.h"

#include <algorithm>

TFScanDecode* FScanDecode = nullptr;

namespace {

const int Wireless_Mode_Codes[] = {1, 5, 15, 17, 11};

std::string recordText(const TVariable_MBus& v) {
    return "Value = " + v.ValueStr + " - Type = " + v.Desc_Type_Data + " (U" +
           std::to_string(v.device) + "S" + std::to_string(v.storage_number) + "T" +
           std::to_string(v.tarif) + ")";
}

} // namespace

TFScanDecode::TFScanDecode(TComponent* AOwner) : TFramed_Dialog(AOwner, "FScanDecode") {
    Btn_StartScan = Add_Button("Btn_StartScan", 16);
    Btn_StopScan = Add_Button("Btn_StopScan", 134);
    Btn_AbortScan = Add_Button("Btn_AbortScan", 252);
    Btn_NewScan = Add_Button("Btn_NewScan", 370);
    Btn_SaveConf = Add_Button("Btn_SaveConf", 488);
    Btn_SaveConfManual = Add_Button("Btn_SaveConfManual", 606);

    Build_Options();
    P_TreeView = Create_Panel(this, this, "P_TreeView", alClient);
    P_Scan_Head = Create_Panel(this, P_TreeView, "P_Scan_Head", alTop);
    P_Scan_Head->SetHeight(44);
    L_ScanProgress = Create_Label(this, P_Scan_Head, "L_ScanProgress", 8, 6);
    L_Num_Slave = Create_Label(this, P_Scan_Head, "L_Num_Slave", 160, 6);
    L_AvailableDevice = Create_Label(this, P_Scan_Head, "L_AvailableDevice", 8, 26);
    LB_AvailableDevice = Create_Control<TListBox>(this, P_TreeView, "LB_AvailableDevice");
    LB_AvailableDevice->SetStyle(lbOwnerDrawFixed);
    LB_AvailableDevice->SetItemHeight(16);
    LB_AvailableDevice->SetAlign(alClient);
    LB_AvailableDevice->OnDrawItem = [this](TWinControl*, int Index, const TRect& Rect,
                                            TOwnerDrawState) { Draw_Progress_Line(Index, Rect); };
    P_View_Wireless = Create_Panel(this, this, "P_View_Wireless", alClient);
    Build_Images();
    Build_Wireless_Grid();

    T_InScan = new TTimer(this);
    T_InScan->SetInterval(1000);
    T_InScan->SetEnabled(false);
    T_InScan->OnTimer = [this](TObject*) { T_InScanTimer(); };

    auto click = [this](TFrame_Button* b, std::function<void()> f) {
        b->OnClick = [f](TObject*) { f(); };
    };
    click(Btn_StartScan, [this] { Select_Scan(); });
    click(Btn_StopScan, [this] {
        if (TR_ScanDecode->InScan()) TR_ScanDecode->Stop_Scan();
    });
    click(Btn_AbortScan, [this] {
        if (TR_ScanDecode->InScan()) TR_ScanDecode->Abort_Scan();
    });
    click(Btn_NewScan, [this] {
        List_Slave_MBus.Clear();
        Form_Style(1);
    });
    click(Btn_SaveConf, [this] { Select_SaveXML(); });
    click(Btn_COM_List, [this] { Update_List_of_COM_Port(); });
    for (TComboBox* c : {CB_HardwareType, CB_ScanMethod, CB_MBus_Baud, CB_MBus_Parity, CB_ScanBy})
        c->OnChange = [this](TObject*) { Move_Object_Type_Form(); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnClose = [this](TObject*, TCloseAction&) {
        if (TR_ScanDecode && TR_ScanDecode->InScan()) TR_ScanDecode->Close_Scan();
        if (TR_ScanDecode) TR_ScanDecode->Event_Run.ResetEvent();
        T_InScan->SetEnabled(false);
    };
}

TFScanDecode::~TFScanDecode() = default;

void TFScanDecode::FormCreate(TObject* /*Sender*/) {
    SetClientSize(760, 571);
    Form_Type = 0;
    Set_Lang();
    Move_Object_Type_Form();
    Form_Style(1);
    TR_ScanDecode = std::make_unique<TMBusScanDecode>();
}

void TFScanDecode::Set_Lang() {
    SetCaption(UI_Texts[1200]);
    L_SW_Code->SetCaption(UI_Texts[1201]);
    L_SW_Desc->SetCaption(UI_Texts[1202]);
    Btn_StartScan->SetCaption(UI_Texts[1221]);
    Btn_StopScan->SetCaption(UI_Texts[1222]);
    Btn_AbortScan->SetCaption(UI_Texts[1223]);
    Btn_NewScan->SetCaption(UI_Texts[1224]);
    Btn_SaveConf->SetCaption(UI_Texts[1225]);
    Btn_SaveConfManual->SetCaption(UI_Texts[1239]);
    CB_Opt_App_Reset->SetCaption(UI_Texts[1215]);
    CB_Opt_SND_NKE->SetCaption(UI_Texts[1216]);
    CB_Opt_Use_Fix_C_Field->SetCaption(UI_Texts[1240]);
    const std::pair<TLabel*, int> labels[] = {
        {L_ScanBy, 1203},       {L_HardwareType, 1206},        {L_IP, 1209},
        {L_ComPort, 1210},      {L_MBus_ParGen, 1211},         {L_MBus_Baud, 1212},
        {L_MBus_Parity, 1213},  {L_Option_Scan, 1214},         {L_Opt_Cut_After, 1217},
        {L_ScanProgress, 1218}, {L_AvailableDevice, 1220},     {L_ScanMethod, 1231},
        {L_wMBus_Mode, 1234},   {L_wMBus_Radio_Channel, 1235}, {L_Port, 1236}};
    for (const auto& [label, text] : labels) label->SetCaption(UI_Texts[text]);
    auto relist = [](TComboBox* c, std::initializer_list<int> texts) {
        c->Items()->Clear();
        for (int t : texts) c->Items()->Add(UI_Texts[t]);
        c->SetItemIndex(0);
    };
    relist(CB_ScanBy, {1204, 1205});
    relist(CB_HardwareType, {1207, 1208});
    relist(CB_ScanMethod, {1232, 1233});
}

TLazyStringTree* TFScanDecode::VST() const {
    return dynamic_cast<TLazyStringTree*>(FindComponent("VST"));
}

TLazyStringTree* TFScanDecode::VST_Wireless() const {
    return dynamic_cast<TLazyStringTree*>(FindComponent("VST_Wireless"));
}

void TFScanDecode::hookTree(TLazyStringTree* Tree) {
    if (!Tree || Tree->OnGetText) return;
    Tree->SetParent(Tree == VST() ? static_cast<TWinControl*>(P_TreeView) : P_View_Wireless);
    Tree->SetAlign(alClient);
    Tree->OnGetText = [this](TBaseLazyTree*, TLazyNode* Node, int, TVSTTextType,
                             std::string& Text) { Text = Item_Text(Node); };
    // Each level has its own picture, selected or not.
    Tree->SetImages(ImageList_Tree);
    Tree->OnGetImageIndexEx = [](TBaseLazyTree* Sender, TLazyNode* Node, TLTImageKind Kind, int,
                                 bool&, int& ImageIndex, TImageList*&) {
        if (Kind == ikNormal || Kind == ikSelected) ImageIndex = int(Sender->GetNodeLevel(Node));
    };
    if (Tree == VST_Wireless())
        Tree->OnChecked = [this](TBaseLazyTree* Sender, TLazyNode* Node) {
            // The tick goes into the sender or record of the row shown.
            auto lock = List_Slave_wMBus.Lock();
            if (Wireless_Row < 0 || Wireless_Row >= List_Slave_wMBus.Count()) return;
            TSlave_wMBus* s = List_Slave_wMBus.Items(Wireless_Row);
            const bool on = Sender->CheckState(Node) == csCheckedNormal;
            if (Node->Parent == Sender->RootNode())
                s->Enable = on;
            else if (Node->Index < s->List_Var.size())
                s->List_Var[Node->Index]->Enable = on;
        };
}

std::string TFScanDecode::Item_Text(TLazyNode* Node) const {
    for (const auto* texts : {&Captions, &Captions_Wireless})
        if (auto it = texts->find(Node); it != texts->end()) return it->second;
    return {};
}

TLazyNode* TFScanDecode::addNode(TLazyStringTree* Tree, TLazyNode* Parent, const std::string& Text,
                                 bool Check, bool Checked) {
    TLazyNode* n = Tree->AddChild(Parent);
    (Tree == VST() ? Captions : Captions_Wireless)[n] = Text;
    if (Check) {
        Tree->SetCheckType(n, ctCheckBox);
        Tree->SetCheckState(n, Checked ? csCheckedNormal : csUncheckedNormal);
    }
    return n;
}

void TFScanDecode::addDetails(TLazyStringTree* Tree, TLazyNode* Parent, const TVariable_MBus& v) {
    const std::string details[] = {"Storage Number = " + std::to_string(v.storage_number),
                                   "Tariff = " + std::to_string(v.tarif),
                                   "Unit = " + std::to_string(v.device),
                                   "Data Field = " + v.DataFieldStr,
                                   "Function Field = " + v.FunctionFieldStr,
                                   "Type = " + v.Desc_Type_Data,
                                   "Value = " + v.ValueStr,
                                   "DIF = " + v.DIF,
                                   "VIF = $" + IntToHex(v.VIF, 2),
                                   "DIFE = " + v.DIFE,
                                   "VIFE = " + v.VIFE,
                                   "DATA = $" + v.totdati};
    for (const auto& d : details) addNode(Tree, Parent, d, false, false);
}

void TFScanDecode::FormShow(TObject* /*Sender*/) {
    hookTree(VST());
    hookTree(VST_Wireless());
    Move_Object_Type_Form();
    Update_List_of_COM_Port();
    TR_ScanDecode->Event_Run.SetEvent();
    Read_Gateway_Address();
    Form_Style(1);
}

void TFScanDecode::Form_Style(int Style) {
    FStyle = Style;
    CB_HardwareType->SetEnabled(false);
    CB_HardwareType->SetItemIndex(0);
    const bool running = Style == 2 || Style == 4, ended = Style == 3 || Style == 5;
    Btn_StartScan->SetVisible(Style == 1);
    Btn_StopScan->SetVisible(running);
    Btn_AbortScan->SetVisible(running);
    Btn_StopScan->SetLeft(16);
    Btn_AbortScan->SetLeft(16 + Btn_StopScan->Width() + 8);
    Btn_NewScan->SetVisible(ended);
    Btn_SaveConf->SetVisible(ended);
    Btn_NewScan->SetLeft(16);
    Btn_SaveConf->SetLeft(16 + Btn_NewScan->Width() + 8);
    Btn_SaveConfManual->SetVisible(false);
    P_Options->SetVisible(Style == 1);
    P_TreeView->SetVisible(Style == 2 || Style == 3);
    P_View_Wireless->SetVisible(Style == 4 || Style == 5);
    LB_AvailableDevice->SetVisible(Style == 2);
    L_AvailableDevice->SetVisible(Style == 2);
    L_Num_Slave->SetVisible(Style == 3);
    if (TLazyStringTree* t = VST()) t->SetVisible(Style == 3);
    if (Style == 2) L_ScanProgress->SetCaption(UI_Texts[1218]);
    if (Style == 3) L_ScanProgress->SetCaption(UI_Texts[1219]);
    P_Scan_Head->SetHeight(Style == 2 ? 44 : 26);
}

std::string TFScanDecode::address() const {
    return E_IP[0]->Text() + "." + E_IP[1]->Text() + "." + E_IP[2]->Text() + "." + E_IP[3]->Text();
}

void TFScanDecode::Select_Scan() {
    if (Form_Type == 1 && CB_ScanMethod->ItemIndex() == 1)
        StarScanWireless();
    else
        StartScan();
}

void TFScanDecode::StartScan() {
    if (TR_ScanDecode->InScan()) {
        MessageDlg(UI_Texts[1226], mtError, {mbOK});
        return;
    }
    List_Slave_MBus.Clear();
    if (TLazyStringTree* t = VST()) t->Clear();
    Captions.clear();
    const bool serial = CB_HardwareType->ItemIndex() == 1;
    const std::string where = serial ? "\\\\.\\" + CB_ComPort->Text() : address();
    LB_AvailableDevice->Items()->Clear();
    TR_ScanDecode->Start_Scan(
        CB_ScanBy->ItemIndex() != 0 ? saSecondaryAddress : saPrimaryAddress,
        serial ? shSerial : shEthernet, where, StrToIntDef(CB_MBus_Baud->Text(), 2400),
        CB_MBus_Parity->ItemIndex(), CB_Opt_App_Reset->Checked(), CB_Opt_SND_NKE->Checked(),
        StrToIntDef(E_Opt_Cut_After->Text(), 3), CB_Opt_Use_Fix_C_Field->Checked(),
        std::uint8_t(CB_Opt_Use_Fix_C_Field_Value->ItemIndex()),
        [this](int k, int v, int f, int s) { Update_Slave_List_Proc(k, v, f, s); });
    Form_Style(2);
    T_InScan->SetEnabled(true);
}

void TFScanDecode::StarScanWireless() {
    if (TR_ScanDecode->InScan()) {
        MessageDlg(UI_Texts[1226], mtError, {mbOK});
        return;
    }
    const int port = StrToIntDef(E_Port->Text(), -1);
    List_Slave_wMBus.Clear();
    Clear_Wireless_Grid();
    if (TLazyStringTree* t = VST_Wireless()) t->Clear();
    Captions_Wireless.clear();
    Wireless_Row = -1;
    Senders_Full_Shown = false;
    const int mode = CB_wMBus_Mode->ItemIndex();
    TR_ScanDecode->Start_Scan_Wireless(
        shEthernet, address(), std::uint16_t(port), Wireless_Mode_Codes[mode < 0 ? 0 : mode],
        CB_wMBus_Radio_Channel->ItemIndex(),
        [this](int i, TSlave_wMBus* s) { Update_Wireless_List(i, s); });
    Form_Style(4);
    T_InScan->SetEnabled(true);
}

void TFScanDecode::Update_Slave_List_Proc(int Kind, int Value, int Found, int ScanKind) {
    const bool secondary = ScanKind == 2;
    TStrings* lines = LB_AvailableDevice->Items();
    if (Kind == 1 && secondary) lines->Add(UI_Texts[1227]);
    if (Kind == 2 && !secondary)
        lines->Add("ID = " + std::to_string(Value) + "\t" + (Found == 0 ? "[NOT FOUND]" : ""));
    if (Kind == 2 && secondary) lines->Add("ID = " + IntToHex(Value, 8));
    if (Kind == 3 && secondary) lines->Add(UI_Texts[1228]);
    LB_AvailableDevice->SetTopIndex(std::max(0, lines->Count() - 1));
}

void TFScanDecode::Draw_Progress_Line(int Index, const TRect& Rect) {
    TCanvas* c = LB_AvailableDevice->Canvas();
    c->FillRect(Rect);
    std::string line = LB_AvailableDevice->Items()->Strings(Index);
    // The tab only separates the address from the result; the column does that here.
    line.erase(std::remove(line.begin(), line.end(), '\t'), line.end());
    const std::size_t mark = line.find('[');
    const bool missing = line.find("[NOT FOUND]") != std::string::npos;
    c->Font()->SetColor(missing ? clRed : clBlue);
    c->Brush()->SetStyle(bsClear);
    if (!missing) {
        c->TextOut(Rect.Left + 2, Rect.Top + 1, line);
        return;
    }
    const TRect column{Rect.Left, Rect.Top, Rect.Left + 70, Rect.Bottom};
    c->TextRect(column, column.Left + 2, Rect.Top + 1, line.substr(0, mark));
    c->TextOut(Rect.Left + 70, Rect.Top + 1, line.substr(mark));
}

void TFScanDecode::T_InScanTimer() {
    T_InScan->SetEnabled(false);
    if (FStyle == 4 && !Senders_Full_Shown && TR_ScanDecode->Senders_Refused() > 0) {
        Senders_Full_Shown = true;
        MessageDlg(UI_Texts[1798] + IntToStr(Max_Wireless_Senders) + UI_Texts[1799], mtWarning,
                   {mbOK});
    }
    if (TR_ScanDecode->InScan()) {
        T_InScan->SetEnabled(true);
        return;
    }
    if (TR_ScanDecode->Result() == 2) {
        // Says where the gateway was looked for, so a wrong address or port shows.
        MessageDlg(UI_Texts[1229] + " (" + TR_ScanDecode->Tried_Address() + ")", mtError, {mbOK});
        Form_Style(1);
    } else if (FStyle == 4) {
        Form_Style(5);
    } else {
        Form_Style(3);
        Show_Slave_in_Tree();
    }
}

void TFScanDecode::Show_Slave_in_Tree() {
    auto lock = List_Slave_MBus.Lock();
    L_Num_Slave->SetCaption(std::to_string(List_Slave_MBus.Count()));
    L_Num_Slave->SetLeft(L_ScanProgress->Left() + L_ScanProgress->Width() + 8);
    TLazyStringTree* t = VST();
    if (!t) return;
    hookTree(t);
    for (int i = 0; i < List_Slave_MBus.Count(); ++i) {
        TSlave_MBus* s = List_Slave_MBus.Items(i);
        TLazyNode* n = addNode(t, nullptr,
                               "Primary Address = " + std::to_string(s->Primary_Addresss) + " - " +
                                   "Secondary Address = " + s->Secondary_Addresss + " - " +
                                   "Manufacturer = " + s->descManufacture + "(" +
                                   std::to_string(s->Manufacture) + ") - " +
                                   "Version = " + std::to_string(s->Version) + " - " +
                                   "Type = " + std::to_string(s->Medium),
                               true, true);
        s->Node = n;
        for (auto& v : s->List_Var) {
            TLazyNode* vn = addNode(t, n, recordText(*v), true, true);
            v->Node = vn;
            addDetails(t, vn, *v);
        }
    }
}

void TFScanDecode::Show_Slave_in_Tree_Wireless(int Index) {
    TLazyStringTree* t = VST_Wireless();
    if (!t) return;
    hookTree(t);
    t->Clear();
    Captions_Wireless.clear();
    Wireless_Row = Index;
    auto lock = List_Slave_wMBus.Lock();
    TSlave_wMBus* s = List_Slave_wMBus.Items(Index);
    TLazyNode* n = addNode(t, nullptr,
                           "Manufacturer = " + s->ALA_Manu_str + " - " +
                               "Address = " + IntToHex(std::uint32_t(s->ALA_Address), 8) + " - " +
                               "Version = " + std::to_string(s->ALA_Version) + " - " +
                               "Device Type = " + std::to_string(s->ALA_DeviceType) + " - " +
                               (s->Cripted ? "CRIPTED!!" : ""),
                           true, s->Enable);
    for (auto& v : s->List_Var) {
        TLazyNode* vn =
            addNode(t, n, v->Real_Wireless_Var ? recordText(*v) : "Idle Filler", true, v->Enable);
        addDetails(t, vn, *v);
    }
}

void TFScanDecode::ASG_WirelessDblClickCell(int ARow, TPoint Pos) {
    const int index = ARow - 1;
    {
        auto lock = List_Slave_wMBus.Lock();
        if (index < 0 || index >= List_Slave_wMBus.Count() ||
            !List_Slave_wMBus.Items(index)->Cripted)
            return;
    }
    std::unique_ptr<TFInsertKeyWireless> own;
    TFInsertKeyWireless* dialog = FInsertKeyWireless;
    if (!dialog) {
        own = std::make_unique<TFInsertKeyWireless>(nullptr);
        own->AfterConstruction();
        dialog = own.get();
    }
    // At the mouse, moved left and up as far as needed to stay inside this window.
    const TPoint origin = ClientToScreen({0, 0});
    dialog->SetLeft(std::min(Pos.X, origin.X + ClientWidth() - dialog->Width()));
    dialog->SetTop(std::min(Pos.Y, origin.Y + ClientHeight() - dialog->Height()));
    if (dialog->ShowModal() != mrOk) return;
    if (!TR_ScanDecode->Insert_Wireless_Key(index, dialog->Key()))
        MessageDlg(UI_Texts[1241], mtError, {mbOK});
}

void TFScanDecode::Select_SaveXML() {
    TSaveConfXML conf;
    conf.XML_Code_Dev = XML_Code_Dev;
    conf.Mod_Start = 1;
    conf.File_Name = FileName_MBus;
    if (FileExists(FileName_MBus)) {
        const int answer = MessageDlg(UI_Texts[1237], mtConfirmation, mbYesNoCancel);
        if (answer == mrCancel) return;
        conf.Append = answer == mrYes ? 1 : 0;
    }
    bool saved;
    try {
        if (Form_Type == 1 && CB_ScanMethod->ItemIndex() == 1) {
            saved = Save_XML_Conf_Wireless(conf, List_Slave_wMBus);
        } else {
            conf.Index_Baud = CB_MBus_Baud->ItemIndex();
            conf.Index_Par = CB_MBus_Parity->ItemIndex();
            conf.Node_ID_Type = CB_ScanBy->ItemIndex();
            conf.SND_NKE = CB_Opt_SND_NKE->Checked() ? 1 : 0;
            conf.Reset_App = CB_Opt_App_Reset->Checked() ? 1 : 0;
            conf.Cut_After = StrToIntDef(E_Opt_Cut_After->Text(), 3);
            TLazyStringTree* t = VST();
            saved = Save_XML_Conf_Wired(conf, List_Slave_MBus, [t](void* node) {
                return !t || t->CheckState(static_cast<TLazyNode*>(node)) == csCheckedNormal;
            });
        }
    } catch (const Exception& e) {
        MessageDlg(e.Message(), mtError, {mbOK});
        return;
    }
    if (saved) MessageDlg(UI_Texts[1230], mtInformation, {mbOK});
}
