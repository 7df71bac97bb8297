#include "editors/frames/DefOffset.h"

#include "editors/comm/KnxAccessTable.h"
#include "editors/comm/TableGrid.h"
#include "grid/core/QorColumnGrid.h"
#include "platform/base/SysUtils.h"
#include "platform/ui/core/Dialogs.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFDefOffset* FDefOffset = nullptr;

namespace {

constexpr int Pages_Top = 40;
constexpr int Slaves_Top = 24;

enum { Byte_Offset = 1, Byte_Mnemonic };

// A grid of Parent whose header row stays when it has no other row; columns gives each
// column's width and editor.
TQorColumnGrid* makeGrid(TComponent* owner, TWinControl* parent, const std::string& name,
                         int fixed_cols, const std::vector<std::pair<int, TEditorType>>& columns) {
    auto* g = Create_Control<TQorColumnGrid>(owner, parent, name);
    g->SetFixedRowAlways(true);
    g->SetColCount(int(columns.size()));
    g->SetRowCount(1);
    g->SetFixedCols(fixed_cols);
    g->SetFixedRows(1);
    g->SynchColumns();
    g->SetDefaultRowHeight(21);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        TGridColumnItem* item = g->Columns()->Items(int(c));
        item->SetWidth(columns[c].first);
        item->SetEditor(columns[c].second);
    }
    return g;
}

// The byte grid's rows from a slave's positions and mnemonics.
void showBytes(TQorColumnGrid* g, const std::vector<std::string>& offsets,
               const std::vector<std::string>& mnemonics) {
    g->BeginUpdate();
    g->SetRowCount(int(offsets.size()) + 1);
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        const int row = int(i) + 1;
        g->SetCells(0, row, IntToStr(int(i)));
        g->SetCells(Byte_Offset, row, offsets[i]);
        g->SetCells(Byte_Mnemonic, row, mnemonics[i]);
    }
    g->EndUpdate();
}

// Copies the byte grid back into a slave's lists, an edit still open included.
void readBytes(TQorColumnGrid* g, std::vector<std::string>& offsets,
               std::vector<std::string>& mnemonics) {
    Commit_Cell_Edit(g);
    for (int row = 1; row < g->RowCount() && std::size_t(row) <= offsets.size(); ++row) {
        offsets[std::size_t(row - 1)] = g->Cells(Byte_Offset, row);
        mnemonics[std::size_t(row - 1)] = g->Cells(Byte_Mnemonic, row);
    }
}

std::vector<std::string> offsetItems(int positions) {
    std::vector<std::string> items{"None"};
    for (std::string& s : Position_Items(positions)) items.push_back(std::move(s));
    return items;
}

void setItems(TQorColumnGrid* g, const std::vector<std::string>& items) {
    TStringList* list = g->Columns()->Items(Byte_Offset)->ComboItems();
    list->Clear();
    for (const std::string& s : items) list->Add(s);
}

} // namespace

TFDefOffset::TFDefOffset(TComponent* AOwner) : TFramed_Dialog(AOwner, "FDefOffset") {
    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    Panel1 = Create_Panel(this, this, "Panel1", alTop);
    Panel1->SetHeight(162);
    Splitter1 = Create_Control<TSplitter>(this, this, "Splitter1");
    Splitter1->SetAlign(alTop);
    Splitter1->SetHeight(3);
    Splitter1->SetCursor(crVSplit);
    Panel3 = Create_Panel(this, this, "Panel3", alClient);
    PageControl1 = Create_Page_Control(this, Panel3, "PageControl1", alNone);
    PageControl1->SetAnchors({akLeft, akTop, akRight, akBottom});
    TabSheet1 = Create_Tab_Sheet(this, PageControl1, "TabSheet1");
    TabSheet2 = Create_Tab_Sheet(this, PageControl1, "TabSheet2");
    Label1 = Create_Label(this, Panel1, "Label1", 8, 4);
    Label2 = Create_Label(this, Panel3, "Label2", 8, 4);
    Label3 = Create_Label(this, Panel3, "Label3", 8, 20);
    ACG_DN_Slaves = makeGrid(this, Panel1, "ACG_DN_Slaves", 0,
                             {{60, edNormal}, {90, edNormal}, {90, edNormal}, {220, edNormal}});
    ACG_DN_Slaves->SetAnchors({akLeft, akTop, akRight, akBottom});
    for (int c = 0; c < ACG_DN_Slaves->ColCount(); ++c)
        ACG_DN_Slaves->Columns()->Items(c)->SetReadOnly(true);
    ACG_DN_Slaves->OnClickCell = [this](TObject* Sender, int, int) { ACG_DN_SlavesClick(Sender); };
    ACG_ByteIN = makeGrid(this, TabSheet1, "ACG_ByteIN", 1,
                          {{60, edNormal}, {90, edComboList}, {300, edNormal}});
    ACG_ByteOUT = makeGrid(this, TabSheet2, "ACG_ByteOUT", 1,
                           {{60, edNormal}, {90, edComboList}, {300, edNormal}});
    for (TQorColumnGrid* g : {ACG_ByteIN, ACG_ByteOUT}) g->SetAlign(alClient);

    Btn_OK->OnClick = [this](TObject* Sender) { bitbtn1Click(Sender); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TFDefOffset::FormCreate(TObject* /*Sender*/) {
    Refresh_Panel_Backgrounds();
    List_Slaves_DN.clear();
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(482, 610);
    // The slave list takes the part of Panel1 below its label, the pages the part of Panel3
    // below its two labels.
    ACG_DN_Slaves->SetBounds(8, Slaves_Top, Panel1->ClientWidth() - 16,
                             Panel1->ClientHeight() - Slaves_Top - 4);
    PageControl1->SetBounds(0, Pages_Top, Panel3->ClientWidth(),
                            Panel3->ClientHeight() - Pages_Top);
    PageControl1->SetActivePage(TabSheet1);
    Set_Lang();
}

void TFDefOffset::Refresh_Panel_Backgrounds() {
    // Off, on and off again: each panel paints its own colour, not its parent's.
    for (TPanel* p : {P_Button, Panel1, Panel3})
        for (bool parent : {false, true, false}) p->SetParentBackground(parent);
}

void TFDefOffset::Set_Lang() {
    SetCaption(UI_Texts[641]);
    L_SW_Desc->SetCaption(UI_Texts[642]);
    Btn_OK->SetCaption(UI_Texts[643]);
    Btn_Cancel->SetCaption(UI_Texts[644]);
    TabSheet1->SetCaption(UI_Texts[645]);
    TabSheet2->SetCaption(UI_Texts[646]);
    Label1->SetCaption(UI_Texts[647]);
    Label2->SetCaption(UI_Texts[648]);
    Label3->SetCaption(UI_Texts[649]);
    int entry = 650;
    for (TQorColumnGrid* g : {ACG_DN_Slaves, ACG_ByteIN, ACG_ByteOUT})
        for (int c = 0; c < g->ColCount(); ++c)
            g->Columns()->Items(c)->SetHeader(UI_Texts[entry++]);
}

void TFDefOffset::FormShow(TObject* /*Sender*/) {
    List_Slaves_DN.clear();
    MAX_BYTE_IN = DNet_Max_Byte;
    MAX_BYTE_OUT = DNet_Max_Byte;
    setItems(ACG_ByteIN, offsetItems(MAX_BYTE_IN));
    setItems(ACG_ByteOUT, offsetItems(MAX_BYTE_OUT));
    Slave_Before_Select = -1;
    // A network read in part still gets the offsets of the slaves it gave, so that none is
    // shown (and saved) as "None" while the file holds its positions. What was built before a
    // failure is shown; OK asks before it replaces the file.
    load_.Start();
    load_.Read([this] { Load_Slave_DN(); });
    load_.Read([this] { Load_Offset_Slave_DN(); });
    Select_First();
    load_.Report();
}

void TFDefOffset::Load_Slave_DN() {
    std::vector<std::vector<std::string>> texts;
    auto show = [&] {
        ACG_DN_Slaves->BeginUpdate();
        ACG_DN_Slaves->SetRowCount(int(texts.size()) + 1);
        for (std::size_t r = 0; r < texts.size(); ++r)
            for (std::size_t c = 0; c < texts[r].size(); ++c)
                ACG_DN_Slaves->SetCells(int(c), int(r) + 1, texts[r][c]);
        ACG_DN_Slaves->EndUpdate();
    };
    try {
        Read_Slaves_DN(List_Slaves_DN, texts, File_DNETM_Net);
    } catch (const Exception&) {
        show();
        throw;
    }
    show();
}

void TFDefOffset::Load_Offset_Slave_DN() {
    Read_Offsets_DN(List_Slaves_DN, File_DNETM_DefOff);
}

void TFDefOffset::Select_First() {
    if (List_Slaves_DN.empty()) return Update_Slave_DN();
    ACG_DN_Slaves->SetRow(1);
    ACG_DN_SlavesClick(ACG_DN_Slaves);
}

void TFDefOffset::ACG_DN_SlavesClick(TObject* /*Sender*/) {
    const int row = ACG_DN_Slaves->Row();
    if (row < 1 || row > int(List_Slaves_DN.size())) return;
    if (Slave_Before_Select != -1) Save_Data_ByteIN_ByteOUT();
    ACG_DN_Slaves->SelectRows(row, 1);
    Slave_Before_Select = row - 1;
    Update_Slave_DN();
}

void TFDefOffset::Update_Slave_DN() {
    if (List_Slaves_DN.empty()) {
        ACG_ByteIN->SetRowCount(1);
        ACG_ByteOUT->SetRowCount(1);
        return;
    }
    const int row = ACG_DN_Slaves->Row();
    if (row < 1 || row > int(List_Slaves_DN.size())) return;
    const TSlave_DN& slave = List_Slaves_DN[std::size_t(row - 1)];
    showBytes(ACG_ByteIN, slave.SL_ByteIN, slave.SL_ByteIN_M);
    showBytes(ACG_ByteOUT, slave.SL_ByteOUT, slave.SL_ByteOUT_M);
}

bool TFDefOffset::Save_Data_ByteIN_ByteOUT() {
    if (Slave_Before_Select < 0 || Slave_Before_Select >= int(List_Slaves_DN.size())) return true;
    TSlave_DN& slave = List_Slaves_DN[std::size_t(Slave_Before_Select)];
    readBytes(ACG_ByteIN, slave.SL_ByteIN, slave.SL_ByteIN_M);
    readBytes(ACG_ByteOUT, slave.SL_ByteOUT, slave.SL_ByteOUT_M);
    return true;
}

bool TFDefOffset::Check_Data() {
    return Show_Check_Result(Check_Offsets_DN(List_Slaves_DN));
}

void TFDefOffset::Save_Offset_Slave_DN() {
    Write_Offsets_DN(List_Slaves_DN, File_DNETM_DefOff);
}

void TFDefOffset::bitbtn1Click(TObject* /*Sender*/) {
    if (Slave_Before_Select != -1) Save_Data_ByteIN_ByteOUT();
    if (!Check_Data()) return;
    if (!load_.May_Replace()) return;
    Save_Offset_Slave_DN();
    SetModalResult(mrOk);
}
