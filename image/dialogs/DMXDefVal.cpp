#include "image/dialogs/DMXDefVal.h"

#include "image/DmxImage.h"
#include "image/ProjectFile.h"
#include "image/dialogs/DmxDefaultValues.h"

#include "platform/files/Files.h"
#include "platform/ui/core/Dialogs.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFDMXDefVal* FDMXDefVal = nullptr;

namespace {

// Background of the default-value column.
constexpr TColor Default_Value_Color = 16710368;

// The string grid with the default-value column on its pale background.
class TDMX_Grid : public TStringGrid {
public:
    using TStringGrid::TStringGrid;

protected:
    void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override {
        if (RealColIndex(ACol) == 1 && ARow >= FixedRows() && !AState.Contains(gdSelected))
            Canvas()->Brush()->SetColor(Default_Value_Color);
        TStringGrid::DrawCell(ACol, ARow, ARect, AState);
    }
};

// The channel count of ParGen.xml; 512 when the file, the key or a number is missing, and for
// a count the DMX universe cannot hold.
int channelCount(TXMLDocument& doc) {
    if (!FileExists(File_ParGen)) return DMX_Channel_Count;
    doc.SetActive(true);
    doc.LoadFromFile(File_ParGen);
    const TXmlNode root = doc.DocumentElement();
    if (!root) return DMX_Channel_Count;
    const TXmlNode key = root.ChildNodes().FindNode("DMX_Num_Channels");
    if (!key) return DMX_Channel_Count;
    int n;
    try {
        // Read as the image compiler reads it.
        if (!TryImageInt(key.Text(), n)) return DMX_Channel_Count;
    } catch (const EXMLDocError&) {
        return DMX_Channel_Count; // an element with child elements holds no number
    }
    return n >= 1 && n <= DMX_Channel_Count ? n : DMX_Channel_Count;
}

} // namespace

TFDMXDefVal::TFDMXDefVal(TComponent* AOwner) : TFramed_Dialog(AOwner, "FDMXDefVal") {
    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    ACG_DMX_Def_Val = Create_Control<TDMX_Grid>(this, this, "ACG_DMX_Def_Val");
    TStringGrid* g = ACG_DMX_Def_Val;
    g->SetAlign(alClient);
    g->SetColCount(3);
    g->SetRowCount(2);
    g->SetFixedCols(1);
    g->SetFixedRows(1);
    g->SetDefaultRowHeight(22);
    g->SetColWidths(0, 100);
    g->SetColWidths(1, 100);
    g->SetColWidths(2, 250);
    g->SetScrollBars(ssBoth);
    g->SetOptions(
        {goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goColSizing, goEditing});
    XML1 = new TXMLDocument(this);
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
    ACG_DMX_Def_Val->SetCells(0, 0, UI_Texts[883]);
    ACG_DMX_Def_Val->SetCells(1, 0, UI_Texts[884]);
    ACG_DMX_Def_Val->SetCells(2, 0, UI_Texts[885]);
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
    TStringGrid* g = ACG_DMX_Def_Val;
    g->SetEditorMode(false);
    const int n = channelCount(*XML1);
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
    const TStringGrid* g = ACG_DMX_Def_Val;
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
    TStringGrid* g = ACG_DMX_Def_Val;
    // A cell being edited keeps its text.
    g->SetEditorMode(false);
    if (!Controllo_dati()) return;
    std::vector<TDMX_Default_Row> rows;
    for (int r = 1; r < g->RowCount(); ++r) rows.push_back({g->Cells(1, r), g->Cells(2, r)});
    Save_DMX_Default_Rows(rows, file_rows_, File_DMX_Default_Values);
    SetModalResult(mrOk);
}
