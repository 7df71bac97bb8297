#include "mbus/Meter_Bus.h"

#include "mbus/NewIDNode.h"
#include "mbus/net/MBusNetworkFile.h"
#include "platform/files/Files.h"
#include "platform/ui/Menus.h"
#include "platform/ui/core/Dialogs.h"
#include "platform/ui/core/SysInfo.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"
#include "treeview/LazyTree.h"

#include <filesystem>

TFMeter_Bus* FMeter_Bus = nullptr;

namespace {

constexpr int Label_Left = 8;
constexpr int Field_Left = 128;
constexpr int Field_Width = 160;
// The node fields stand further right, after the longest node label ("Swap Identification
// Num.").
constexpr int Node_Field_Left = 156;
constexpr int Node_Field_Width = 132;

void fillCombo(TComboBox* c, const std::vector<std::string>& items) {
    c->Items()->Clear();
    for (const auto& s : items) c->Items()->Add(s);
    c->SetItemIndex(0);
}

// A value the list has no entry for (a decoder code, a number the scan wrote) is shown as its
// number, in an extra item after the list's own, and read back unchanged unless another item
// is picked.
void showCode(TComboBox* c, std::size_t listCount, int code) {
    while (c->Items()->Count() > int(listCount)) c->Items()->Delete(c->Items()->Count() - 1);
    if (code >= 0 && code < int(listCount)) {
        c->SetItemIndex(code);
        return;
    }
    c->Items()->Add(std::to_string(code));
    c->SetItemIndex(int(listCount));
}

int readCode(const TComboBox* c, std::size_t listCount) {
    const int i = c->ItemIndex();
    if (i >= int(listCount)) return StrToIntDef(c->Items()->Strings(i), 0);
    return std::max(i, 0);
}

} // namespace

TFMeter_Bus::TFMeter_Bus(TComponent* AOwner) : TFramed_Dialog(AOwner, "FMeter_Bus") {
    // The network editor, unlike the other dialogs, can be resized.
    SetBorderStyle(bsSizeable);
    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134);
    Btn_ImportNet = Add_Button("Btn_ImportNet", 252);
    L_MBus_NumByte = Create_Label(this, P_Title, "L_MBus_NumByte", 600, 42);
    L_MBus_NumByte->SetAlignment(taRightJustify);

    QorPageControl1 = Create_Control<TQorPageControl>(this, this, "QorPageControl1");
    QorPageControl1->SetAlign(alRight);
    QorPageControl1->SetWidth(330);
    QorPageControl1->SetTabPosition(tpLeft);
    QorPageControl1->SetTabStyle(tsDotNet);
    QorPageControl1->SetMultiLine(true);
    QorPageControl1->SetActiveColor(clSkyBlue);
    QorPageControl1->SetDefaultTabColor(Form_Color);
    QorPageControl1->SetTabBackGroundColor(Form_Color);
    TTabMargin margin;
    margin.SetTopMargin(10);
    margin.SetRightMargin(20);
    QorPageControl1->SetTabMargin(&margin);
    QorPageControl1->Font()->SetName("Verdana");
    QorPageControl1->Font()->SetHeight(-13);
    QorPageControl1->ActiveFont()->SetName("Verdana");
    QorPageControl1->ActiveFont()->SetHeight(-13);
    QorTabSheet1 = new TQorTabSheet(this);
    QorTabSheet1->SetName("QorTabSheet1");
    QorTabSheet1->SetQorPageControl(QorPageControl1);
    QorTabSheet1->SetSheetColor(Form_Color);
    QorTabSheet1->SetCaption("Nodes     ");
    QorTabSheet2 = new TQorTabSheet(this);
    QorTabSheet2->SetName("QorTabSheet2");
    QorTabSheet2->SetQorPageControl(QorPageControl1);
    QorTabSheet2->SetSheetColor(Form_Color);
    QorTabSheet2->SetCaption("Variables     ");
    QorPageControl1->SetActivePage(QorTabSheet2);
    // Only the tabs take the control's larger font; the fields and labels on the pages keep the
    // dialogs' own.
    for (TQorTabSheet* sheet : {QorTabSheet1, QorTabSheet2}) sheet->Font()->Assign(Font());

    TW = Create_Control<TLazyStringTree>(this, this, "TW");
    TW->SetAlign(alClient);
    TW->SetNodeDataSize(int(sizeof(int)));
    TW->Font()->SetName("Verdana");
    TW->Font()->SetHeight(-13);
    // No label editing, whole rows selected and kept shown without the focus, no lines to the
    // root.
    TCustomStringTreeOptions* o = TW->TreeOptions();
    o->SetPaintOptions({toShowButtons, toShowTreeLines, toThemeAware, toUseBlendedImages});
    o->SetSelectionOptions({toFullRowSelect});
    o->SetMiscOptions({toFullRepaintOnResize, toInitOnSave, toToggleOnDblClick, toWheelPanning});
    TW->SetIndent(19);
    TW->OnGetText = [this](TBaseLazyTree*, TLazyNode* Node, int, TVSTTextType, std::string& Text) {
        Text = Item_Text(Node);
    };
    TW->OnChange = [this](TBaseLazyTree*, TLazyNode*) { TWChange(); };

    auto* n = QorTabSheet1;
    auto label = [&](TWinControl* parent, int ui, int top, int left = Label_Left) {
        TLabel* l = Create_Label(this, parent, "L_" + std::to_string(ui), left, top + 3);
        l->SetTag(ui);
        return l;
    };
    auto edit = [&](TWinControl* parent, const std::string& name, int top, int left = Field_Left,
                    int width = Field_Width) {
        auto* e = Create_Control<TEdit>(this, parent, name);
        e->SetBounds(left, top, width, 21);
        return e;
    };
    auto check = [&](TWinControl* parent, const std::string& name, int top, int left = Label_Left,
                     int width = 290) {
        auto* c = Create_Control<TCheckBox>(this, parent, name);
        c->SetBounds(left, top, width, 17);
        return c;
    };
    auto combo = [&](TWinControl* parent, const std::string& name, int top,
                     const std::vector<std::string>& items, int width = Field_Width,
                     int left = Field_Left) {
        auto* c = Create_Control<TComboBox>(this, parent, name);
        c->SetStyle(csDropDownList);
        c->SetBounds(left, top, width, 21);
        fillCombo(c, items);
        return c;
    };

    const int nodeLeft = Node_Field_Left, nodeWidth = Node_Field_Width;
    auto nodeEdit = [&](TWinControl* parent, const std::string& name, int top) {
        return edit(parent, name, top, nodeLeft, nodeWidth);
    };
    auto nodeCombo = [&](TWinControl* parent, const std::string& name, int top,
                         const std::vector<std::string>& items, int width = Node_Field_Width) {
        return combo(parent, name, top, items, width, nodeLeft);
    };
    CB_Enable_Node = check(n, "CB_Enable_Node", 8);
    label(n, 751, 32);
    E_New_Node_Desc = nodeEdit(n, "E_New_Node_Desc", 32);
    label(n, 802, 53);
    CB_MBus_Type = nodeCombo(n, "CB_MBus_Type", 53, MBus_Type_Items);
    RB_ID_Primary = Create_Control<TRadioButton>(this, n, "RB_ID_Primary");
    RB_ID_Primary->SetBounds(Label_Left, 82, nodeLeft - Label_Left - 4, 17);
    E_New_Node_ID_Pri = nodeEdit(n, "E_New_Node_ID_Pri", 80);
    RB_ID_Secondary = Create_Control<TRadioButton>(this, n, "RB_ID_Secondary");
    RB_ID_Secondary->SetBounds(Label_Left, 106, nodeLeft - Label_Left - 4, 17);
    E_New_Node_ID_Sec = nodeEdit(n, "E_New_Node_ID_Sec", 104);
    CB_Node_State = check(n, "CB_Node_State", 128);
    CB_Ident_Num = check(n, "CB_Ident_Num", 152);
    label(n, 756, 176);
    CB_Swap_IN = nodeCombo(n, "CB_Swap_IN", 176, Swap_Items);
    CB_BCDtoINT_IN = check(n, "CB_BCDtoINT_IN", 200);
    CB_SND_NKE = check(n, "CB_SND_NKE", 224);
    CB_Reset_App = check(n, "CB_Reset_App", 248);
    label(n, 760, 272);
    CB_Var_Type = nodeCombo(n, "CB_Var_Type", 272, Var_List_Type_Items);
    label(n, 761, 296);
    CB_Cut_After = nodeCombo(n, "CB_Cut_After", 296, Cut_After_Items(), 60);
    label(n, 762, 296, nodeLeft + 66);

    P_wMBus_Node = Create_Panel(this, n, "P_wMBus_Node", alNone);
    P_wMBus_Node->SetBounds(0, 77, 300, 436);
    auto* w = P_wMBus_Node;
    label(w, 803, 0);
    E_wMBus_ManID = nodeEdit(w, "E_wMBus_ManID", 0);
    label(w, 804, 24);
    E_wMBus_Add = nodeEdit(w, "E_wMBus_Add", 24);
    label(w, 805, 48);
    E_wMBus_Ver = nodeEdit(w, "E_wMBus_Ver", 48);
    label(w, 806, 72);
    E_wMBus_DevType = nodeEdit(w, "E_wMBus_DevType", 72);
    CB_wMBus_EnKey = check(w, "CB_wMBus_EnKey", 96);
    for (int k = 0; k < 16; ++k) {
        // Odd keys on the left, even keys on the right.
        const int top = 120 + (k / 2) * 24, left = k % 2 == 0 ? 0 : 150;
        label(w, 808 + k, top, left + Label_Left);
        E_wMBus_K[k] = edit(w, "E_wMBus_K" + std::to_string(k + 1), top, left + 64, 70);
    }
    CB_wMBus_Node_State = check(w, "CB_wMBus_Node_State", 316);
    CB_wMBus_Ident_Num = check(w, "CB_wMBus_Ident_Num", 340);
    CB_wMBus_Conv_BCD = check(w, "CB_wMBus_Conv_BCD", 364);
    label(w, 827, 388);
    CB_wMBus_Swap_Ident = nodeCombo(w, "CB_wMBus_Swap_Ident", 388, Swap_Items);
    label(w, 828, 412);
    CB_wMBus_VarList = nodeCombo(w, "CB_wMBus_VarList", 412, Var_List_Type_Items);
    CB_MBus_Type->SetItemIndex(1);
    RB_ID_Primary->SetChecked(true);
    E_New_Node_ID_Pri->SetText("1");
    E_New_Node_ID_Sec->SetText("1");
    btn_Add_Node = Create_Push_Button(this, n, "btn_Add_Node", nodeLeft, 319, nodeWidth, 28);

    auto* v = QorTabSheet2;
    CB_Var_En = check(v, "CB_Var_En", 8);
    CB_Var_En->SetChecked(true);
    CB_Enable_Node->SetChecked(true);
    label(v, 766, 32);
    E_New_Var_Desc = edit(v, "E_New_Var_Desc", 32);
    // The labels of the rows; Sposta_Oggetti_Var places them with their fields.
    for (int ui : {767, 768, 769, 770, 771, 772, 774, 775, 776, 920, 780}) label(v, ui, 0);
    CB_Var_ToD = combo(v, "CB_Var_ToD", 56, Type_Of_Data_Items);
    E_VIF_ASCII = edit(v, "E_VIF_ASCII", 80);
    CB_Var_FF = combo(v, "CB_Var_FF", 104, Function_Field_Items);
    CB_Var_Dim = combo(v, "CB_Var_Dim", 128, Dimension_Items);
    E_Length = edit(v, "E_Length", 152);
    CB_Var_Unit = combo(v, "CB_Var_Unit", 176, Unit_Items);
    E_Sto_Num = edit(v, "E_Sto_Num", 200);
    E_Tariff = edit(v, "E_Tariff", 224);
    CB_VIFE = combo(v, "CB_VIFE", 248, VIFE_Items);
    CB_BCDtoINT = check(v, "CB_BCDtoINT", 272);
    CB_Float = check(v, "CB_Float", 296, Label_Left, 140);
    CB_Float->SetCaption("Convert in Float");
    CB_Force_Int32 = check(v, "CB_Force_Int32", 296, 151, 140);
    CB_TP_MR = check(v, "CB_TP_MR", 320);
    CB_PostOpe = combo(v, "CB_PostOpe", 344, Post_Operation_Items);
    E_Position = edit(v, "E_Position", 368);
    Reset_Var_Fields();
    btn_Add_Var = Create_Push_Button(this, v, "btn_Add_Var", Field_Left, 375, Field_Width, 28);

    PM_CopyPaste = new TPopupMenu(this);
    auto item = [&](const std::string& name, const std::string& caption) {
        auto* i = new TMenuItem(this);
        i->SetName(name);
        i->SetCaption(caption);
        PM_CopyPaste->Items()->Add(i);
        return i;
    };
    auto separator = [&] { item("", "-"); };
    CopyVariable1 = item("CopyVariable1", "Copy Variable");
    PasteVariable1 = item("PasteVariable1", "Paste Variable");
    separator();
    CopyNode1 = item("CopyNode1", "Copy Node");
    PasteNode1 = item("PasteNode1", "Paste Node");
    separator();
    DeleteItems1 = item("DeleteItems1", "Delete Items");
    PasteVariable1->SetEnabled(false);
    PasteNode1->SetEnabled(false);
    TW->SetPopupMenu(PM_CopyPaste);
    OD_Import_Net = new TOpenDialog(this);
    OD_Import_Net->Filter = "XML File (*.xml)|*.xml";

    CopyVariable1->OnClick = [this](TObject* s) { CopyVariable1Click(s); };
    PasteVariable1->OnClick = [this](TObject* s) { PasteVariable1Click(s); };
    CopyNode1->OnClick = [this](TObject* s) { CopyNode1Click(s); };
    PasteNode1->OnClick = [this](TObject* s) { PasteNode1Click(s); };
    DeleteItems1->OnClick = [this](TObject* s) { btn_Delete_ItemClick(s); };
    btn_Add_Node->OnClick = [this](TObject* s) { btn_Add_NodeClick(s); };
    btn_Add_Var->OnClick = [this](TObject* s) { btn_Add_VarClick(s); };
    Btn_OK->OnClick = [this](TObject* s) { PbButton2Click(s); };
    Btn_Cancel->OnClick = [this](TObject* s) { PbButton4Click(s); };
    Btn_ImportNet->OnClick = [this](TObject* s) { Btn_ImportNetClick(s); };
    CB_Var_ToD->OnChange = [this](TObject*) { CB_Var_ToDChange(); };
    CB_Var_Dim->OnChange = [this](TObject*) { CB_Var_DimChange(); };
    CB_MBus_Type->OnChange = [this](TObject*) { CB_MBus_TypeChange(); };
    // The close box asks as Cancel does when something changed.
    OnCloseQuery = [this](TObject*, bool& CanClose) {
        if (ModalResult() != mrCancel || Cancel_Asked || !Is_Change) return;
        CanClose = MessageDlg(UI_Texts[798], mtConfirmation, mbYesNo) == mrYes;
    };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

TFMeter_Bus::~TFMeter_Bus() = default;

void TFMeter_Bus::FormCreate(TObject* /*Sender*/) {
    // The type and VIFE lists are wider than their combos and open to the left, so that they
    // stay over the page.
    Select_Width_ComboBox(CB_Var_ToD);
    Select_Width_ComboBox(CB_VIFE);
    auto alignRight = [](TComboBox* combo, const TWndMethod& original) {
        return [combo, original](TMessage& Message) {
            if (Message.Msg == WM_CTLCOLORLISTBOX) {
                const TRect r = combo->DroppedRect();
                const int right = combo->ClientToScreen({combo->Width(), 0}).X;
                combo->SetDroppedRect(Bounds(right - r.Width(), r.Top, r.Width(), r.Height()));
            }
            original(Message);
        };
    };
    CB_VAR_TOD_WindowProcORIGINAL = CB_Var_ToD->WindowProc;
    CB_Var_ToD->WindowProc = alignRight(CB_Var_ToD, CB_VAR_TOD_WindowProcORIGINAL);
    CB_VIFE_WindowProcORIGINAL = CB_VIFE->WindowProc;
    CB_VIFE->WindowProc = alignRight(CB_VIFE, CB_VIFE_WindowProcORIGINAL);
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(834, 662);
    Nodes_Move_Elements();
    Sposta_Oggetti_Var(0);
    Set_Lang();
}

void TFMeter_Bus::Set_Lang() {
    SetCaption(UI_Texts[743]);
    L_SW_Desc->SetCaption(UI_Texts[744]);
    Btn_OK->SetCaption(UI_Texts[745]);
    Btn_Cancel->SetCaption(UI_Texts[746]);
    Btn_ImportNet->SetCaption(UI_Texts[747]);
    QorTabSheet1->SetCaption(UI_Texts[748]);
    QorTabSheet2->SetCaption(UI_Texts[749]);
    CB_Enable_Node->SetCaption(UI_Texts[750]);
    RB_ID_Primary->SetCaption(UI_Texts[752]);
    RB_ID_Secondary->SetCaption(UI_Texts[753]);
    CB_Node_State->SetCaption(UI_Texts[754]);
    CB_Ident_Num->SetCaption(UI_Texts[755]);
    CB_BCDtoINT_IN->SetCaption(UI_Texts[757]);
    CB_SND_NKE->SetCaption(UI_Texts[758]);
    CB_Reset_App->SetCaption(UI_Texts[759]);
    btn_Add_Node->SetCaption(UI_Texts[763]);
    CB_Var_En->SetCaption(UI_Texts[765]);
    CB_BCDtoINT->SetCaption(UI_Texts[777]);
    CB_TP_MR->SetCaption(UI_Texts[779]);
    btn_Add_Var->SetCaption(UI_Texts[781]);
    CB_Force_Int32->SetCaption(UI_Texts[971]);
    CB_wMBus_EnKey->SetCaption(UI_Texts[807]);
    CB_wMBus_Node_State->SetCaption(UI_Texts[824]);
    CB_wMBus_Ident_Num->SetCaption(UI_Texts[825]);
    CB_wMBus_Conv_BCD->SetCaption(UI_Texts[826]);
    // The labels carry their text's number in their tag.
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* l = dynamic_cast<TLabel*>(Components(i)); l && l->Tag() > 0)
            l->SetCaption(UI_Texts[int(l->Tag())]);
}

// --- tree items -------------------------------------------------------------------------------

std::string TFMeter_Bus::Item_Text(TLazyNode* Item) const {
    auto it = Captions.find(Item);
    return it == Captions.end() ? std::string() : it->second;
}

TLazyNode* TFMeter_Bus::Add_Item(TLazyNode* Parent, const std::string& Text) {
    TLazyNode* item = TW->AddChild(Parent);
    Captions[item] = Text;
    return item;
}

void TFMeter_Bus::Delete_Item(TLazyNode* Item) {
    for (TLazyNode* c = Item->FirstChild; c; c = c->NextSibling) Captions.erase(c);
    Captions.erase(Item);
    TW->DeleteNode(Item);
}

void TFMeter_Bus::Clear_Tree() {
    TW->Clear();
    Captions.clear();
    NODE_ORIG = Add_Item(nullptr, "M-Bus Network");
    NODE_ID = SELECT_NODE = nullptr;
    IND_NODO = IND_VAR = -1;
}

void TFMeter_Bus::Select_Item(TLazyNode* Item) {
    TW->ClearSelection();
    if (Item) {
        TW->SetFocusedNode(Item);
        TW->SetSelected(Item, true);
    }
    TWChange();
}

// --- showing ----------------------------------------------------------------------------------

void TFMeter_Bus::Show_Network() {
    Clear_Tree();
    for (const auto& node : Nodi_List) {
        TLazyNode* item = Add_Item(NODE_ORIG, Node_Caption(*node));
        for (const auto& var : node->Var_List) Add_Item(item, Var_Caption(*var));
    }
    TW->SetExpanded(NODE_ORIG, true);
}

void TFMeter_Bus::FormShow(TObject* /*Sender*/) {
    CB_Cut_After->SetItemIndex(0);
    Is_Change = false;
    Cancel_Asked = false;
    Partial_Read = false;
    Nodi_List.clear();
    try {
        Read_MBus_Network_File(File_M_Bus, Nodi_List);
    } catch (const Exception& e) {
        // The nodes read before the failure stay; OK asks before it overwrites the file.
        Partial_Read = true;
        MessageDlg(e.Message(), mtError, {mbOK});
    }
    Show_Network();
    Node_Mode = Var_Mode = TEditMode::Add;
    Sposta_Oggetti_Var(0);
    PasteVariable1->SetEnabled(Copy_Var != nullptr);
    PasteNode1->SetEnabled(Copy_Node != nullptr);
    CB_MBus_TypeChange();
    Is_Change = false;
    Aggiorna_Label_Num_Byte();
}

void TFMeter_Bus::TWChange() {
    NODE_ID = SELECT_NODE = nullptr;
    IND_NODO = IND_VAR = -1;
    TLazyNode* sel = TW->GetFirstSelected();
    if (sel && sel->Parent == NODE_ORIG) {
        NODE_ID = SELECT_NODE = sel;
        IND_NODO = int(sel->Index);
    } else if (sel && sel->Parent && sel->Parent->Parent == NODE_ORIG) {
        NODE_ID = sel->Parent;
        SELECT_NODE = sel;
        IND_NODO = int(sel->Parent->Index);
        IND_VAR = int(sel->Index);
    }
    Aggiorna_Label();
    CB_Var_ToDChange();
    CB_Var_DimChange();
    CB_MBus_TypeChange();
    if (IND_VAR >= 0)
        QorPageControl1->SetActivePage(QorTabSheet2);
    else if (IND_NODO >= 0)
        QorPageControl1->SetActivePage(QorTabSheet1);
}

// --- the pages' fields ------------------------------------------------------------------------

TNode_Fields TFMeter_Bus::Node_Fields() const {
    TNode_Fields f;
    f.Enable = CB_Enable_Node->Checked();
    f.Description = E_New_Node_Desc->Text();
    f.MBus_Type = CB_MBus_Type->ItemIndex();
    f.Secondary = !RB_ID_Primary->Checked();
    f.ID_Pri = E_New_Node_ID_Pri->Text();
    f.ID_Sec = E_New_Node_ID_Sec->Text();
    f.Node_State = CB_Node_State->Checked();
    f.Ident_Num = CB_Ident_Num->Checked();
    f.BCDtoINT_IN = CB_BCDtoINT_IN->Checked();
    f.SND_NKE = CB_SND_NKE->Checked();
    f.Reset_App = CB_Reset_App->Checked();
    f.Swap = readCode(CB_Swap_IN, Swap_Items.size());
    f.Var_List_Type = readCode(CB_Var_Type, Var_List_Type_Items.size());
    f.Cut_After = readCode(CB_Cut_After, Cut_After_Count);
    f.wMBus_ManID = E_wMBus_ManID->Text();
    f.wMBus_Add = E_wMBus_Add->Text();
    f.wMBus_Ver = E_wMBus_Ver->Text();
    f.wMBus_DevType = E_wMBus_DevType->Text();
    f.wMBus_En_Key = CB_wMBus_EnKey->Checked();
    for (int k = 0; k < 16; ++k) f.wMBus_Key[k] = E_wMBus_K[k]->Text();
    f.W_Node_State = CB_wMBus_Node_State->Checked();
    f.W_Ident_Num = CB_wMBus_Ident_Num->Checked();
    f.W_BCDtoINT_IN = CB_wMBus_Conv_BCD->Checked();
    f.W_Swap = readCode(CB_wMBus_Swap_Ident, Swap_Items.size());
    f.W_Var_List_Type = readCode(CB_wMBus_VarList, Var_List_Type_Items.size());
    return f;
}

void TFMeter_Bus::Show_Node_Fields(const TNode_Fields& f) {
    CB_Enable_Node->SetChecked(f.Enable);
    E_New_Node_Desc->SetText(f.Description);
    CB_MBus_Type->SetItemIndex(f.MBus_Type != 0 ? 1 : 0);
    RB_ID_Primary->SetChecked(!f.Secondary);
    RB_ID_Secondary->SetChecked(f.Secondary);
    E_New_Node_ID_Pri->SetText(f.ID_Pri);
    E_New_Node_ID_Sec->SetText(f.ID_Sec);
    CB_Node_State->SetChecked(f.Node_State);
    CB_Ident_Num->SetChecked(f.Ident_Num);
    CB_BCDtoINT_IN->SetChecked(f.BCDtoINT_IN);
    CB_SND_NKE->SetChecked(f.SND_NKE);
    CB_Reset_App->SetChecked(f.Reset_App);
    showCode(CB_Swap_IN, Swap_Items.size(), f.Swap);
    showCode(CB_Var_Type, Var_List_Type_Items.size(), f.Var_List_Type);
    showCode(CB_Cut_After, Cut_After_Count, f.Cut_After);
    E_wMBus_ManID->SetText(f.wMBus_ManID);
    E_wMBus_Add->SetText(f.wMBus_Add);
    E_wMBus_Ver->SetText(f.wMBus_Ver);
    E_wMBus_DevType->SetText(f.wMBus_DevType);
    CB_wMBus_EnKey->SetChecked(f.wMBus_En_Key);
    for (int k = 0; k < 16; ++k) E_wMBus_K[k]->SetText(f.wMBus_Key[k]);
    CB_wMBus_Node_State->SetChecked(f.W_Node_State);
    CB_wMBus_Ident_Num->SetChecked(f.W_Ident_Num);
    CB_wMBus_Conv_BCD->SetChecked(f.W_BCDtoINT_IN);
    showCode(CB_wMBus_Swap_Ident, Swap_Items.size(), f.W_Swap);
    showCode(CB_wMBus_VarList, Var_List_Type_Items.size(), f.W_Var_List_Type);
}

TVar_Fields TFMeter_Bus::Var_Fields() const {
    TVar_Fields f;
    f.Enable = CB_Var_En->Checked();
    f.Description = E_New_Var_Desc->Text();
    f.Type_Of_Data = readCode(CB_Var_ToD, Type_Of_Data_Items.size());
    f.Function_Field = readCode(CB_Var_FF, Function_Field_Items.size());
    f.Dimension = readCode(CB_Var_Dim, Dimension_Items.size());
    f.Unita = readCode(CB_Var_Unit, Unit_Items.size());
    f.VIFE = readCode(CB_VIFE, VIFE_Items.size());
    f.Post_Operation = readCode(CB_PostOpe, Post_Operation_Items.size());
    f.VIF_ASCII = E_VIF_ASCII->Text();
    f.Length = E_Length->Text();
    f.Storage_Number = E_Sto_Num->Text();
    f.Tariff = E_Tariff->Text();
    f.Position = E_Position->Text();
    f.BCDtoINT = CB_BCDtoINT->Checked();
    f.Conv_Float = CB_Float->Checked();
    f.Force_Int32 = CB_Force_Int32->Checked();
    f.TP_Mod_Regs = CB_TP_MR->Checked();
    return f;
}

void TFMeter_Bus::Show_Var_Fields(const TVar_Fields& f) {
    CB_Var_En->SetChecked(f.Enable);
    E_New_Var_Desc->SetText(f.Description);
    showCode(CB_Var_ToD, Type_Of_Data_Items.size(), f.Type_Of_Data);
    showCode(CB_Var_FF, Function_Field_Items.size(), f.Function_Field);
    showCode(CB_Var_Dim, Dimension_Items.size(), f.Dimension);
    showCode(CB_Var_Unit, Unit_Items.size(), f.Unita);
    showCode(CB_VIFE, VIFE_Items.size(), f.VIFE);
    showCode(CB_PostOpe, Post_Operation_Items.size(), f.Post_Operation);
    E_VIF_ASCII->SetText(f.VIF_ASCII);
    E_Length->SetText(f.Length);
    E_Sto_Num->SetText(f.Storage_Number);
    E_Tariff->SetText(f.Tariff);
    E_Position->SetText(f.Position);
    CB_BCDtoINT->SetChecked(f.BCDtoINT);
    CB_Float->SetChecked(f.Conv_Float);
    CB_Force_Int32->SetChecked(f.Force_Int32);
    CB_TP_MR->SetChecked(f.TP_Mod_Regs);
}

void TFMeter_Bus::Reset_Var_Fields() {
    Show_Var_Fields(TVar_Fields{});
}

void TFMeter_Bus::Aggiorna_Label() {
    if (IND_NODO < 0) {
        Node_Mode = Var_Mode = TEditMode::Add;
        btn_Add_Node->SetCaption(UI_Texts[763]);
        btn_Add_Var->SetCaption(UI_Texts[781]);
        for (TCheckBox* c : {CB_SND_NKE, CB_Reset_App, CB_Node_State, CB_Ident_Num, CB_BCDtoINT_IN})
            c->SetChecked(false);
        CB_Enable_Node->SetChecked(true);
        return;
    }
    const TNodo& node = *Nodi_List[std::size_t(IND_NODO)];
    Show_Node_Fields(Fields_From_Node(node));
    if (IND_VAR < 0) {
        Node_Mode = TEditMode::Change;
        Var_Mode = TEditMode::Add;
        btn_Add_Node->SetCaption(UI_Texts[764]);
        btn_Add_Var->SetCaption(UI_Texts[781]);
        Reset_Var_Fields();
    } else {
        Node_Mode = TEditMode::Add;
        Var_Mode = TEditMode::Change;
        btn_Add_Node->SetCaption(UI_Texts[763]);
        btn_Add_Var->SetCaption(UI_Texts[782]);
        Show_Var_Fields(Fields_From_Var(*node.Var_List[std::size_t(IND_VAR)]));
    }
    Sposta_Oggetti_Var(node.Var_List_Type);
}

void TFMeter_Bus::CB_Var_ToDChange() {
    E_VIF_ASCII->SetEnabled(readCode(CB_Var_ToD, Type_Of_Data_Items.size()) == Type_VIF_ASCII);
}

void TFMeter_Bus::CB_Var_DimChange() {
    E_Length->SetEnabled(CB_Var_Dim->ItemIndex() == Dimension_Variable_Length);
}

void TFMeter_Bus::CB_MBus_TypeChange() {
    const bool wired = CB_MBus_Type->ItemIndex() != 0;
    P_wMBus_Node->SetVisible(!wired);
    for (TControl* c : std::initializer_list<TControl*>{
             RB_ID_Primary, RB_ID_Secondary, E_New_Node_ID_Pri, E_New_Node_ID_Sec, CB_Node_State,
             CB_Ident_Num, CB_Swap_IN, CB_BCDtoINT_IN, CB_SND_NKE, CB_Reset_App, CB_Var_Type,
             CB_Cut_After})
        c->SetVisible(wired);
    for (int i = 0; i < QorTabSheet1->ControlCount(); ++i)
        if (auto* l = dynamic_cast<TLabel*>(QorTabSheet1->Controls(i));
            l && l->Tag() >= 756 && l->Tag() <= 762)
            l->SetVisible(wired);
    btn_Add_Node->SetTop(wired ? 319 : 513);
}

void TFMeter_Bus::Nodes_Move_Elements() {
    CB_MBus_TypeChange();
}

void TFMeter_Bus::Sposta_Oggetti_Var(int List_Type) {
    const bool byType = List_Type != Var_List_By_Position;
    auto place = [](TControl* c, int top, bool visible) {
        c->SetTop(top);
        c->SetVisible(visible);
    };
    auto labelOf = [&](int ui) -> TLabel* {
        for (int i = 0; i < QorTabSheet2->ControlCount(); ++i)
            if (auto* l = dynamic_cast<TLabel*>(QorTabSheet2->Controls(i)); l && l->Tag() == ui)
                return l;
        return nullptr;
    };
    auto row = [&](TControl* field, int ui, int top, bool visible) {
        place(field, top, visible);
        if (TLabel* l = labelOf(ui)) place(l, top + 3, visible);
    };
    if (byType) {
        row(CB_Var_ToD, 767, 56, true);
        row(E_VIF_ASCII, 768, 80, true);
        row(CB_Var_FF, 769, 104, true);
        row(CB_Var_Dim, 770, 128, true);
        row(E_Length, 771, 152, true);
        row(CB_Var_Unit, 772, 176, true);
        row(E_Sto_Num, 774, 200, true);
        row(E_Tariff, 775, 224, true);
        row(CB_VIFE, 776, 248, true);
        place(CB_BCDtoINT, 272, true);
        place(CB_Float, 296, true);
        place(CB_Force_Int32, 296, true);
        place(CB_TP_MR, 320, true);
        row(CB_PostOpe, 920, 344, true);
        row(E_Position, 780, 368, false);
        btn_Add_Var->SetTop(375);
    } else {
        for (auto [field, ui] : std::initializer_list<std::pair<TControl*, int>>{{CB_Var_ToD, 767},
                                                                                 {E_VIF_ASCII, 768},
                                                                                 {CB_Var_FF, 769},
                                                                                 {CB_Var_Unit, 772},
                                                                                 {E_Sto_Num, 774},
                                                                                 {E_Tariff, 775},
                                                                                 {CB_VIFE, 776}})
            row(field, ui, field->Top(), false);
        row(CB_Var_Dim, 770, 56, true);
        row(E_Length, 771, 80, true);
        place(CB_BCDtoINT, 104, true);
        place(CB_Float, 128, true);
        place(CB_Force_Int32, 128, true);
        place(CB_TP_MR, 152, true);
        row(CB_PostOpe, 920, 176, true);
        row(E_Position, 780, 200, true);
        btn_Add_Var->SetTop(231);
    }
}

void TFMeter_Bus::Aggiorna_Label_Num_Byte() {
    L_MBus_NumByte->SetCaption(UI_Texts[800] + IntToStr(Calcola_Byte_Usati(Nodi_List)));
}

void TFMeter_Bus::Select_Width_ComboBox(TComboBox* Combo) {
    TBitmap measure(1, 1);
    measure.Canvas()->Font()->Assign(Combo->Font());
    int widest = 0;
    for (int i = 0; i < Combo->Items()->Count(); ++i)
        widest = std::max(widest, measure.Canvas()->TextWidth(Combo->Items()->Strings(i)));
    int width = widest + 12 + (Combo == CB_VIFE ? 65 : 30);
    const int scrollBar = GetSystemMetrics(SM_CXVSCROLL);
    if (width <= Combo->Width() - scrollBar) return;
    if (Combo->Items()->Count() > Combo->DropDownCount()) width += scrollBar;
    Combo->Perform(CB_SETDROPPEDWIDTH, WPARAM(width));
}

void TFMeter_Bus::Show_Error(int Text) {
    MessageDlg(UI_Texts[Text], mtError, {mbOK});
}

// --- checks -----------------------------------------------------------------------------------

bool TFMeter_Bus::Controllo_Dati_New_Nodo() {
    const TNode_Fields f = Node_Fields();
    if (const int error = Check_Node_Fields(f)) {
        Show_Error(error);
        return false;
    }
    if (f.MBus_Type == 0) return true;
    return Check_Node_ID(int(Field_Number(f.Secondary ? f.ID_Sec : f.ID_Pri)), f.Secondary);
}

bool TFMeter_Bus::Controllo_Dati_New_Var() {
    if (const int error = Check_Var_Fields(Var_Fields())) {
        Show_Error(error);
        return false;
    }
    return true;
}

bool TFMeter_Bus::Check_Node_ID(int Address, int Address_Type) {
    // Changing a node skips it; with a variable selected a new node is being added.
    const TNodo* skip = Node_Mode == TEditMode::Change && IND_NODO >= 0
                            ? Nodi_List[std::size_t(IND_NODO)].get()
                            : nullptr;
    if (Node_ID_Free(Nodi_List, Address, Address_Type, skip)) return true;
    Show_Error(789);
    return false;
}

bool TFMeter_Bus::Check_Node_ID2(int Address, int Address_Type) {
    if (Node_ID_Free(Nodi_List, Address, Address_Type, nullptr)) return true;
    Show_Error(789);
    return false;
}

// --- editing ----------------------------------------------------------------------------------

void TFMeter_Bus::btn_Add_NodeClick(TObject* /*Sender*/) {
    if (Node_Mode == TEditMode::Change) {
        if (NODE_ID && IND_NODO >= 0 && Controllo_Dati_New_Nodo()) {
            try {
                TNodo& node = *Nodi_List[std::size_t(IND_NODO)];
                Store_Node_Fields(Node_Fields(), node);
                Captions[NODE_ID] = Node_Caption(node);
                TW->InvalidateNode(NODE_ID);
                Is_Change = true;
            } catch (const EConvertError& e) {
                MessageDlg(e.Message(), mtError, {mbOK});
            }
        }
    } else if (Controllo_Dati_New_Nodo()) {
        try {
            auto node = std::make_unique<TNodo>();
            Store_Node_Fields(Node_Fields(), *node);
            Add_Item(NODE_ORIG, Node_Caption(*node));
            Nodi_List.push_back(std::move(node));
            Is_Change = true;
        } catch (const EConvertError& e) {
            MessageDlg(e.Message(), mtError, {mbOK});
        }
    }
    TW->SetExpanded(NODE_ORIG, true);
    Aggiorna_Label_Num_Byte();
}

void TFMeter_Bus::btn_Add_VarClick(TObject* /*Sender*/) {
    if (Var_Mode == TEditMode::Add) {
        if (NODE_ID && IND_NODO >= 0 && Controllo_Dati_New_Var()) {
            auto var = std::make_unique<TVariabile>();
            Store_Var_Fields(Var_Fields(), *var);
            Add_Item(NODE_ID, Var_Caption(*var));
            Nodi_List[std::size_t(IND_NODO)]->Var_List.push_back(std::move(var));
            Is_Change = true;
        }
    } else if (SELECT_NODE && IND_VAR >= 0 && Controllo_Dati_New_Var()) {
        TVariabile& var = *Nodi_List[std::size_t(IND_NODO)]->Var_List[std::size_t(IND_VAR)];
        Store_Var_Fields(Var_Fields(), var);
        Captions[SELECT_NODE] = Var_Caption(var);
        TW->InvalidateNode(SELECT_NODE);
        Is_Change = true;
    }
    TW->SetExpanded(NODE_ORIG, true);
    Aggiorna_Label_Num_Byte();
}

void TFMeter_Bus::btn_Delete_ItemClick(TObject* /*Sender*/) {
    if (IND_NODO < 0) {
        if (MessageDlg(UI_Texts[790], mtConfirmation, mbYesNo) == mrYes) {
            if (!Nodi_List.empty()) Is_Change = true;
            while (!Nodi_List.empty()) Nodi_List.pop_back();
            Clear_Tree();
            TW->SetExpanded(NODE_ORIG, true);
        }
    } else if (IND_VAR < 0) {
        if (MessageDlg(UI_Texts[791], mtConfirmation, mbYesNo) == mrYes) {
            Nodi_List.erase(Nodi_List.begin() + IND_NODO);
            TLazyNode* item = NODE_ID;
            NODE_ID = SELECT_NODE = nullptr;
            IND_NODO = -1;
            Delete_Item(item);
            Is_Change = true;
        }
    } else if (MessageDlg(UI_Texts[792], mtConfirmation, mbYesNo) == mrYes) {
        auto& vars = Nodi_List[std::size_t(IND_NODO)]->Var_List;
        vars.erase(vars.begin() + IND_VAR);
        TLazyNode* item = SELECT_NODE;
        SELECT_NODE = nullptr;
        IND_VAR = -1;
        Delete_Item(item);
        Is_Change = true;
    }
    TWChange();
    TW->Invalidate();
    Aggiorna_Label_Num_Byte();
}

void TFMeter_Bus::CopyVariable1Click(TObject* /*Sender*/) {
    if (IND_NODO < 0) return Show_Error(794);
    if (IND_VAR < 0) return Show_Error(793);
    Copy_Var = std::make_unique<TVariabile>(
        *Nodi_List[std::size_t(IND_NODO)]->Var_List[std::size_t(IND_VAR)]);
    PasteVariable1->SetEnabled(true);
}

void TFMeter_Bus::PasteVariable1Click(TObject* /*Sender*/) {
    if (!Copy_Var) return Show_Error(796);
    if (IND_NODO < 0) return Show_Error(797);
    Add_Item(NODE_ID, Var_Caption(*Copy_Var));
    Nodi_List[std::size_t(IND_NODO)]->Var_List.push_back(std::make_unique<TVariabile>(*Copy_Var));
    Is_Change = true;
    Aggiorna_Label_Num_Byte();
}

void TFMeter_Bus::CopyNode1Click(TObject* /*Sender*/) {
    if (IND_NODO < 0) return Show_Error(795);
    Copy_Node = std::make_unique<TNodo>(*Nodi_List[std::size_t(IND_NODO)]);
    PasteNode1->SetEnabled(true);
}

void TFMeter_Bus::PasteNode1Click(TObject* /*Sender*/) {
    if (!Copy_Node) return;
    auto paste = [this](std::unique_ptr<TNodo> node) {
        TLazyNode* item = Add_Item(NODE_ORIG, Node_Caption(*node));
        for (const auto& v : node->Var_List) Add_Item(item, Var_Caption(*v));
        Nodi_List.push_back(std::move(node));
        Is_Change = true;
        TW->SetExpanded(NODE_ORIG, true);
    };
    // A wireless node has no wired address to choose; it keeps the copied one.
    if (Copy_Node->MBus_Type == 0) {
        paste(std::make_unique<TNodo>(*Copy_Node));
        return Aggiorna_Label_Num_Byte();
    }
    std::unique_ptr<TFNewIDNode> own;
    TFNewIDNode* dialog = FNewIDNode;
    if (!dialog) {
        own = std::make_unique<TFNewIDNode>(nullptr);
        own->AfterConstruction();
        dialog = own.get();
    }
    dialog->Editor = this;
    dialog->RB_ID_Primary->SetChecked(Copy_Node->Node_ID_Type == 0);
    dialog->RB_ID_Secondary->SetChecked(Copy_Node->Node_ID_Type != 0);
    dialog->E_New_Node_ID_Pri->SetText(IntToStr(Copy_Node->Node_ID_Primary));
    dialog->E_New_Node_ID_Sec->SetText(IntToStr(Copy_Node->Node_ID_Secondary));
    if (dialog->ShowModal() == mrOk) {
        auto node = std::make_unique<TNodo>(*Copy_Node);
        // The dialog checked the chosen address; the other one keeps the copied number when
        // its text is not a number.
        node->Node_ID_Primary =
            StrToIntDef(dialog->E_New_Node_ID_Pri->Text(), node->Node_ID_Primary);
        node->Node_ID_Secondary =
            StrToIntDef(dialog->E_New_Node_ID_Sec->Text(), node->Node_ID_Secondary);
        node->Node_ID_Type = dialog->RB_ID_Secondary->Checked() ? 1 : 0;
        paste(std::move(node));
    }
    Aggiorna_Label_Num_Byte();
}

// --- import, OK and Cancel --------------------------------------------------------------------

void TFMeter_Bus::Btn_ImportNetClick(TObject* /*Sender*/) {
    if (!OD_Import_Net->Execute()) return;
    const std::string chosen = OD_Import_Net->FileName;
    std::error_code ec;
    // The network file itself holds the network already.
    if (std::filesystem::equivalent(chosen, File_M_Bus, ec)) return;
    if (FileExists(File_M_Bus) && MessageDlg(UI_Texts[799], mtConfirmation, mbYesNo) != mrYes)
        return;
    try {
        // Written to a temporary file and renamed over the network file: a failed copy loses
        // nothing.
        WriteBinaryFile(File_M_Bus, ReadBinaryFile(chosen));
    } catch (const Exception& e) {
        MessageDlg(e.Message(), mtError, {mbOK});
        return;
    }
    FormShow(this);
}

void TFMeter_Bus::PbButton2Click(TObject* /*Sender*/) {
    if (Calcola_Byte_Usati(Nodi_List) > MBus_Max_Bytes) {
        MessageDlg(UI_Texts[801] + IntToStr(MBus_Max_Bytes), mtError, {mbOK});
        return;
    }
    // Only part of the file was read: writing would drop the rest.
    if (Partial_Read && MessageDlg(UI_Texts[799], mtConfirmation, mbYesNo) != mrYes) return;
    try {
        Write_MBus_Network_File(File_M_Bus, Nodi_List);
    } catch (const Exception& e) {
        MessageDlg(e.Message(), mtError, {mbOK});
        return;
    }
    Clear_Tree();
    Nodi_List.clear();
    SetModalResult(mrOk);
}

void TFMeter_Bus::PbButton4Click(TObject* /*Sender*/) {
    if (Is_Change && MessageDlg(UI_Texts[798], mtConfirmation, mbYesNo) != mrYes) return;
    Cancel_Asked = true;
    SetModalResult(mrCancel);
}
