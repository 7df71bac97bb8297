#include "editors/comm/TableGrid.h"

#include "grid/core/QorColumnGrid.h"
#include "platform/base/SysUtils.h"
#include "platform/ui/core/Dialogs.h"
#include "platform/ui/core/Forms.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TRow_Prompts Dialog_Prompts() {
    TRow_Prompts p;
    p.Error = [](const std::string& text) { MessageDlg(text, mtError, {mbOK}); };
    p.Ask = [](const std::string& text) {
        return MessageDlg(text, mtConfirmation, mbYesNo) == mrYes;
    };
    return p;
}

bool Show_Check_Result(const std::string& Message) {
    if (Message.empty()) return true;
    MessageDlg(Message, mtError, {mbOK});
    return false;
}

void Set_Dialog_Texts(TFramed_Dialog* Dialog, int First,
                      std::initializer_list<TFrame_Button*> Buttons) {
    Dialog->SetCaption(UI_Texts[First]);
    Dialog->L_SW_Desc->SetCaption(UI_Texts[First + 1]);
    int entry = First + 2;
    for (TFrame_Button* b : Buttons) b->SetCaption(UI_Texts[entry++]);
}

void TTable_File_Load::Read(const std::function<void()>& Load) {
    try {
        Load();
    } catch (const Exception& e) {
        Failed(e.Message());
    }
}

void TTable_File_Load::Failed(const std::string& Error) {
    if (!Error.empty()) errors_.push_back(Error);
}

void TTable_File_Load::Report() const {
    for (const std::string& e : errors_) Application->ShowException(Exception(e));
}

bool TTable_File_Load::May_Replace() const {
    return errors_.empty() || MessageDlg(UI_Texts[1746], mtConfirmation, mbYesNo) == mrYes;
}

void Commit_Cell_Edit(TQorColumnGrid* Grid) {
    if (Grid->EditMode()) Grid->HideInplaceEdit();
    if (Grid->EditorMode()) Grid->SetEditorMode(false);
}

void Discard_Cell_Edit(TQorColumnGrid* Grid) {
    if (!Grid->EditMode() && !Grid->EditorMode()) return;
    const int col = Grid->RealCol();
    const int row = Grid->Row();
    const std::string before = Grid->CellCache();
    Commit_Cell_Edit(Grid);
    Grid->SetCells(col, row, before);
}

void Set_Table_Grid_Font(TQorColumnGrid* Grid) {
    Grid->Font()->SetName("Arial");
    Grid->Font()->SetHeight(-11);
    // Columns made with the grid took the font it had then.
    for (int c = 0; c < Grid->Columns()->Count(); ++c) {
        Grid->Columns()->Items(c)->Font()->Assign(Grid->Font());
        Grid->Columns()->Items(c)->HeaderFont()->Assign(Grid->Font());
    }
}

void Grid_Auto_Size_Col(TQorColumnGrid* Grid, int ARow, int ACol) {
    if (!Grid_Auto_Size_Enabled || ARow != 0 || ACol < 0 || ACol >= Grid->ColCount()) return;
    Grid->AutoSizeCol(ACol);
}

void Grid_Enter_Next_Cell(TQorColumnGrid* Grid, WORD& Key) {
    if (!Grid_Enter_Next_Enabled || Key != VK_RETURN) return;
    int col = Grid->Col() + 1;
    int row = Grid->Row();
    if (col >= Grid->ColCount()) {
        col = Grid->FixedCols();
        if (++row >= Grid->RowCount()) row = Grid->FixedRows();
    }
    Commit_Cell_Edit(Grid);
    Grid->GotoCell(col, row);
    Key = 0;
}

TTable_Grid::TTable_Grid(TQorColumnGrid* Grid, TRow_Table Table)
    : grid_(Grid), table_(std::move(Table)) {
    grid_->SetColCount(table_.Col_Count() + 1);
    grid_->SetRowCount(table_.Row_Count() + 1);
    grid_->SetFixedCols(1);
    grid_->SetFixedRows(1);
    grid_->SynchColumns();
    Set_Table_Grid_Font(grid_);
    grid_->SetDefaultRowHeight(21);
    grid_->Columns()->Items(0)->SetWidth(40);
    grid_->SetOptions(grid_->Options() + goColSizing);
    // A list is as wide as its widest item, whatever the width of its column.
    grid_->Navigation()->SetAutoComboDropSize(true);
    Show();
}

void TTable_Grid::Set_Column(int Col, int Width, TEditorType Editor,
                             const std::vector<std::string>& Items) {
    TGridColumnItem* item = grid_->Columns()->Items(Col);
    item->SetWidth(Width);
    item->SetEditor(Editor);
    TStringList* list = item->ComboItems();
    list->Clear();
    for (const std::string& s : Items) list->Add(s);
}

void TTable_Grid::Set_Header(int Col, const std::string& Text) {
    grid_->Columns()->Items(Col)->SetHeader(Text);
}

void TTable_Grid::Select_By_Row_Number() {
    TQorColumnGrid* g = grid_;
    g->OnClickCell = [g](TObject*, int ARow, int ACol) {
        if (ACol == 0 && ARow >= 1) g->SelectRows(ARow, 1);
    };
}

void TTable_Grid::Start_Showing() {
    Discard_Cell_Edit(grid_);
    // The first showing finds the columns as the dialog laid them out; later ones restore that.
    if (widths_.empty())
        for (int c = 0; c < grid_->ColCount() + grid_->NumHiddenColumns(); ++c)
            widths_.push_back(grid_->AllColWidths(c));
    else
        for (std::size_t c = 0; c < widths_.size(); ++c) grid_->SetAllColWidths(int(c), widths_[c]);
    grid_->GotoCell(grid_->FixedCols(), grid_->FixedRows());
    grid_->SetTopRow(grid_->FixedRows());
    grid_->SetLeftCol(grid_->FixedCols());
}

const TRow_Table& TTable_Grid::Read() {
    // A button pressed while a cell is being edited acts on the text typed or chosen so far.
    Commit_Cell_Edit(grid_);
    // Cells take the real column, so hidden columns move with their rows.
    for (int r = 1; r <= table_.Row_Count(); ++r)
        for (int c = 1; c <= table_.Col_Count(); ++c) table_.Cell(c, r) = grid_->Cells(c, r);
    return table_;
}

void TTable_Grid::Show() {
    grid_->BeginUpdate();
    // Only changed cells are written: a row operation touches a few rows of a long table.
    auto put = [this](int c, int r, const std::string& text) {
        if (grid_->Cells(c, r) != text) grid_->SetCells(c, r, text);
    };
    for (int r = 1; r <= table_.Row_Count(); ++r) {
        put(0, r, IntToStr(r));
        for (int c = 1; c <= table_.Col_Count(); ++c) put(c, r, table_.Cell(c, r));
    }
    grid_->EndUpdate();
}

int TTable_Grid::currentRow() const {
    const int row = grid_->Row();
    return row >= 1 && row <= table_.Row_Count() ? row : 0;
}

void TTable_Grid::Insert_Row() {
    const int row = currentRow();
    if (row == 0) return;
    Read();
    if (Insert_Grid_Row(table_, row, Dialog_Prompts())) Show();
}

void TTable_Grid::Delete_Row(int Question_Entry) {
    const int row = currentRow();
    if (row == 0) return;
    if (MessageDlg(UI_Texts[Question_Entry] + IntToStr(row), mtConfirmation, mbYesNo) != mrYes)
        return;
    Read();
    Delete_Grid_Row(table_, row);
    Show();
}

bool TTable_Grid::Copy_Row() {
    const int row = currentRow();
    if (row == 0) return false;
    Read();
    Copy_Grid_Row(table_, row);
    return true;
}

void TTable_Grid::Paste_Row(bool Copied) {
    const int row = currentRow();
    if (row == 0) return;
    Read();
    if (Paste_Grid_Row(table_, row, Copied, Dialog_Prompts())) Show();
}
