#include "image/dialogs/DMXDefVal.h"

#include "editors/comm/TableGrid.h"
#include "grid/core/QorColumnGrid.h"
#include "image/dialogs/DMXDefValFile.h"
#include "platform/ui/core/Dialogs.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

#include <algorithm>

TFDMXDefVal* FDMXDefVal = nullptr;

namespace {

// Background of the default-value column.
constexpr TColor Default_Value_Color = 16710368;

} // namespace

TFDMXDefVal::TFDMXDefVal(TComponent* AOwner) : TFramed_Dialog(AOwner, "FDMXDefVal") {
    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    ACG_DMX_Def_Val = Create_Control<TQorColumnGrid>(this, this, "ACG_DMX_Def_Val");
    TQorColumnGrid* g = ACG_DMX_Def_Val;
    g->SetAlign(alClient);
    g->SetColCount(3);
    g->SetRowCount(2);
    g->SetFixedCols(1);
    g->SetFixedRows(1);
    g->SynchColumns();
    Set_Table_Grid_Font(g);
    g->SetDefaultRowHeight(22);
    g->SetScrollBars(ssBoth);
    g->SetOptions(g->Options() + goColSizing);
    const int widths[] = {100, 100, 250};
    for (int c = 0; c < 3; ++c) g->Columns()->Items(c)->SetWidth(widths[c]);
    for (int c = 1; c < 3; ++c) g->Columns()->Items(c)->SetEditor(edNormal);
    g->Columns()->Items(1)->SetColor(Default_Value_Color);
    XML1 = Create_DMX_Document(this);
    Btn_OK->OnClick = [this](TObject* Sender) { Btn_OKClick(Sender); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TFDMXDefVal::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(475, 337);
    Set_Lang();
}

void TFDMXDefVal::Set_Lang() {
    SetCaption(UI_Texts[879]);
    L_SW_Desc->SetCaption(UI_Texts[880]);
    Btn_OK->SetCaption(UI_Texts[881]);
    Btn_Cancel->SetCaption(UI_Texts[882]);
    for (int c = 0; c < 3; ++c) ACG_DMX_Def_Val->Columns()->Items(c)->SetHeader(UI_Texts[883 + c]);
}

void TFDMXDefVal::FormShow(TObject* /*Sender*/) {
    try {
        Load_Grid();
    } catch (const Exception& E) {
        // Closed at once: OK must not replace a file that could not be read with defaults.
        Application->ShowException(E);
        SetModalResult(mrCancel);
    }
}

void TFDMXDefVal::Load_Grid() {
    TQorColumnGrid* g = ACG_DMX_Def_Val;
    // An edit left open when the dialog closed is dropped.
    Discard_Cell_Edit(g);
    const int n = Load_DMX_Channel_Count(*XML1);
    g->SetRowCount(n + 1);
    for (int r = 1; r <= n; ++r) {
        g->SetCells(0, r, std::to_string(r));
        g->SetCells(1, r, "0");
        g->SetCells(2, r, "");
    }
    file_rows_.clear(); // a file that cannot be read leaves none of an earlier showing
    file_rows_ = Load_DMX_Default_Rows(File_DMX_Default_Values);
    const int count = std::min(n, int(file_rows_.size()));
    for (int i = 0; i < count; ++i) {
        g->SetCells(1, i + 1, file_rows_[std::size_t(i)].Default_Value);
        g->SetCells(2, i + 1, file_rows_[std::size_t(i)].Mnemonic);
    }
}

bool TFDMXDefVal::Controllo_dati() {
    TQorColumnGrid* g = ACG_DMX_Def_Val;
    for (int r = 1; r < g->RowCount(); ++r) {
        const int value = StrToIntDef(g->Cells(1, r), -1);
        if (value < 0 || value > 255) {
            MessageDlg(UI_Texts[886] + std::to_string(r) + UI_Texts[887], mtError, {mbOK});
            return false;
        }
    }
    return true;
}

void TFDMXDefVal::Btn_OKClick(TObject* /*Sender*/) {
    TQorColumnGrid* g = ACG_DMX_Def_Val;
    // A cell being edited keeps its text.
    Commit_Cell_Edit(g);
    if (!Controllo_dati()) return;
    std::vector<TDMX_Default_Row> rows;
    for (int r = 1; r < g->RowCount(); ++r) rows.push_back({g->Cells(1, r), g->Cells(2, r)});
    Save_DMX_Default_Rows(rows, file_rows_, File_DMX_Default_Values);
    SetModalResult(mrOk);
}
