#include "grid/core/QorColumnGrid.h"

#include "grid/core/base/GridUtils.h"
#include "grid/data/DataSettings.h"
#include "grid/editors/AsgCombo.h"
#include "grid/editors/GridEditors.h"
#include "grid/render/ControlLook.h"
#include "platform/files/IniFiles.h"

#include <algorithm>
#include <cmath>
#include <numeric>

// --- TGridColumnItem -------------------------------------------------------------------------
TGridColumnItem::TGridColumnItem(TCollection* ACollection)
    : TCollectionItem(ACollection), FFont(std::make_unique<TFont>()),
      FComboItems(std::make_unique<TStringList>()), FPrintFont(std::make_unique<TFont>()),
      FBorderPen(std::make_unique<TPen>()), FPrintBorderPen(std::make_unique<TPen>()),
      FFilter(std::make_unique<TStringList>()), FHeaderFont(std::make_unique<TFont>()) {
    FBorderPen->SetColor(clSilver);
    TQorColumnGrid* g = Grid();
    if (!g) return;
    FFont->Assign(g->Font());
    FHeaderFont->Assign(g->Font());
    FPrintFont->Assign(g->Font());
    FColor = g->Color();
    FFont->OnChange = [this](TObject*) { update(); };
    FHeaderFont->OnChange = [this](TObject*) { update(); };
    FBorderPen->OnChange = [this](TObject*) { update(); };
    FFilter->OnChange = [this](TObject*) { repaint(); };
}

TGridColumnItem::~TGridColumnItem() {
    FFont->OnChange = nullptr;
    FHeaderFont->OnChange = nullptr;
    FBorderPen->OnChange = nullptr;
    FFilter->OnChange = nullptr;
}

TGridColumnCollection* TGridColumnItem::columns() const {
    return dynamic_cast<TGridColumnCollection*>(Collection());
}

TQorColumnGrid* TGridColumnItem::Grid() const {
    TGridColumnCollection* c = columns();
    return c ? c->Owner() : nullptr;
}

void TGridColumnItem::update() {
    Changed(false);
}

void TGridColumnItem::repaint() {
    if (TQorColumnGrid* g = Grid()) g->Invalidate();
}

int TGridColumnItem::Width() const {
    TQorColumnGrid* g = Grid();
    return g ? g->AllColWidths(Index()) : 0;
}

void TGridColumnItem::SetWidth(int v) {
    FWidth = v;
    if (TQorColumnGrid* g = Grid()) g->SetAllColWidths(Index(), v);
}

void TGridColumnItem::SetAlignment(TAlignment v) {
    FAlignment = v;
    repaint();
}

void TGridColumnItem::SetFloatFormat(const std::string& v) {
    FFloatFormat = v;
    repaint();
}

void TGridColumnItem::SetHeaderAlignment(TAlignment v) {
    FHeaderAlignment = v;
    repaint();
}

void TGridColumnItem::SetColor(TColor v) {
    FColor = v;
    update();
}

void TGridColumnItem::SetShowBands(bool v) {
    FShowBands = v;
    update();
}

void TGridColumnItem::SetFixed(bool v) {
    FFixed = v;
    update();
}

void TGridColumnItem::SetPassword(bool v) {
    FPassword = v;
    update();
}

void TGridColumnItem::SetBorders(TCellBorders v) {
    FBorders = v;
    update();
}

void TGridColumnItem::SetEditor(TEditorType v) {
    bool checkChanged = (v == edDataCheckBox) != (FEditor == edDataCheckBox);
    FEditor = v;
    if (checkChanged) repaint();
}

void TGridColumnItem::SetHeader(const std::string& v) {
    FHeader = v;
    TQorColumnGrid* g = Grid();
    if (!g) return;
    if (g->FixedRows() > 0 && !g->ColMoving()) {
        g->SetGridCells(Index(), 0, v);
        update();
    }
    g->UpdateColumnHeaders();
}

void TGridColumnItem::SetColumnPopup(TPopupMenu* v) {
    FColumnPopup = v;
    if (TQorColumnGrid* g = Grid(); g && v) v->FreeNotification(g);
}

std::string TGridColumnItem::Rows(int idx) const {
    TQorColumnGrid* g = Grid();
    return g ? g->Cells(Index(), idx) : std::string();
}

void TGridColumnItem::SetRows(int idx, const std::string& v) {
    if (TQorColumnGrid* g = Grid()) g->SetCells(Index(), idx, v);
}

int TGridColumnItem::Ints(int idx) const {
    TQorColumnGrid* g = Grid();
    return g ? g->Ints(Index(), idx) : 0;
}

void TGridColumnItem::SetInts(int idx, int v) {
    if (TQorColumnGrid* g = Grid()) g->SetInts(Index(), idx, v);
}

double TGridColumnItem::Floats(int idx) const {
    TQorColumnGrid* g = Grid();
    return g ? g->Floats(Index(), idx) : 0;
}

void TGridColumnItem::SetFloats(int idx, double v) {
    if (TQorColumnGrid* g = Grid()) g->SetFloats(Index(), idx, v);
}

TDateTime TGridColumnItem::Dates(int idx) const {
    TQorColumnGrid* g = Grid();
    return g ? g->Dates(Index(), idx) : 0;
}

void TGridColumnItem::SetDates(int idx, TDateTime v) {
    if (TQorColumnGrid* g = Grid()) g->SetDates(Index(), idx, v);
}

TDateTime TGridColumnItem::Times(int idx) const {
    TQorColumnGrid* g = Grid();
    return g ? g->Times(Index(), idx) : 0;
}

void TGridColumnItem::SetTimes(int idx, TDateTime v) {
    if (TQorColumnGrid* g = Grid()) g->SetTimes(Index(), idx, v);
}

void TQorColumnGrid::ChangeScale(int M, int D) {
    TQorStringGrid::ChangeScale(M, D);
    if (Designing() || M == D || D == 0) return;
    auto scaled = [&](int size) { return int(std::lrint(double(size) * M / D)); };
    for (int c = 0; c < ColCount() && c < FColumnCollection->Count(); ++c) {
        TGridColumnItem* item = FColumnCollection->Items(c);
        item->Font()->SetSize(scaled(item->Font()->Size()));
        item->HeaderFont()->SetSize(scaled(item->HeaderFont()->Size()));
    }
}

std::string TGridColumnItem::DisplayName() const {
    return FName.empty() ? "Column " + std::to_string(Index())
                         : "Col " + std::to_string(Index()) + ": " + FName;
}

void TGridColumnItem::AssignVisuals(const TGridColumnItem* src) {
    if (!src) return;
    FAlignment = src->FAlignment;
    FHeaderAlignment = src->FHeaderAlignment;
    FBorderPen->Assign(src->FBorderPen.get());
    FBorders = src->FBorders;
    FCheckFalse = src->FCheckFalse;
    FCheckTrue = src->FCheckTrue;
    FEditLength = src->FEditLength;
    FEditLink = src->FEditLink;
    FEditMask = src->FEditMask;
    FEditor = src->FEditor;
    FFixed = src->FFixed;
    FPassword = src->FPassword;
    FPrintBorderPen->Assign(src->FPrintBorderPen.get());
    FPrintBorders = src->FPrintBorders;
    FPrintColor = src->FPrintColor;
    FPrintFont->Assign(src->FPrintFont.get());
    FReadOnly = src->FReadOnly;
    FSortPrefix = src->FSortPrefix;
    FSortStyle = src->FSortStyle;
    FSortSuffix = src->FSortSuffix;
    FSpinMax = src->FSpinMax;
    FSpinMin = src->FSpinMin;
    FSpinStep = src->FSpinStep;
    FColumnPopup = src->FColumnPopup;
    FShowBands = src->FShowBands;
    FMinSize = src->FMinSize;
    FMaxSize = src->FMaxSize;
    FAutoMinSize = src->FAutoMinSize;
    FAutoMaxSize = src->FAutoMaxSize;
    FFilter->Assign(src->FFilter.get());
    FFilterCaseSensitive = src->FFilterCaseSensitive;
    FDefIdx = src->FDefIdx;
    FFloatFormat = src->FFloatFormat;
    FWidth = src->Width();
    if (TQorColumnGrid* g = Grid()) {
        FColor = g->Color();
        FFont->Assign(g->Font());
    }
}

void TGridColumnItem::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const TGridColumnItem*>(Source);
    if (!src) return;
    AssignVisuals(src);
    FColor = src->FColor;
    FFont->Assign(src->FFont.get());
    FComboItems->Assign(src->FComboItems.get());
    FDropDownCount = src->FDropDownCount;
    FHeaderFont->Assign(src->FHeaderFont.get());
    FHeader = src->FHeader;
    FName = src->FName;
    FTag = src->FTag;
}

// --- TGridColumnCollection -------------------------------------------------------------------
TGridColumnCollection::TGridColumnCollection(TQorColumnGrid* AOwner)
    : TCollection([](TCollection* c) { return new TGridColumnItem(c); }), FOwner(AOwner) {}

TGridColumnItem* TGridColumnCollection::Items(int index) const {
    return static_cast<TGridColumnItem*>(TCollection::Items(index));
}

TGridColumnItem* TGridColumnCollection::Add() {
    int before = Count();
    auto* item = static_cast<TGridColumnItem*>(TCollection::Add());
    if (before > 0) item->AssignVisuals(Items(before - 1));
    return item;
}

TGridColumnItem* TGridColumnCollection::Insert(int index) {
    return static_cast<TGridColumnItem*>(TCollection::Insert(index));
}

void TGridColumnCollection::Update(TCollectionItem* Item) {
    TCollection::Update(Item);
    if (FNoRecursiveUpdate || !FOwner || FOwner->Loading() || FOwner->IsDestroying()) return;
    int n = Count() - FOwner->NumHiddenColumns();
    if (n != FOwner->ColCount() && n > FOwner->FixedCols()) FOwner->SetColCount(n);
    FOwner->UpdateColumnHeaders();
    FOwner->Invalidate();
}

// --- TQorColumnGrid --------------------------------------------------------------------------
TQorColumnGrid::TQorColumnGrid(TComponent* AOwner)
    : TQorStringGrid(AOwner), FSaveCol(std::make_unique<TGridColumnItem>(nullptr)),
      FVirtCheck(std::make_unique<TCellGraphic>()) {
    FColumnCollection = CreateColumns();
    SynchColumns();
    FConstructed = true;
}

TQorColumnGrid::~TQorColumnGrid() {
    SetComponentState(ComponentState() | csDestroying);
    FConstructed = false;
    FColumnCollection.reset();
}

std::unique_ptr<TGridColumnCollection> TQorColumnGrid::CreateColumns() {
    return std::make_unique<TGridColumnCollection>(this);
}

TGridColumnItem* TQorColumnGrid::itemOf(int RealCol) const {
    if (!FColumnCollection || RealCol < 0 || RealCol >= FColumnCollection->Count()) return nullptr;
    return FColumnCollection->Items(RealCol);
}

bool TQorColumnGrid::isNormalCell(int ACol, int ARow) const {
    return itemOf(ACol) && ACol >= FixedCols() &&
           ACol < ColCount() + NumHiddenColumns() - FixedRightCols() && ARow >= FixedRows() &&
           ARow < RowCount() - FixedFooters();
}

void TQorColumnGrid::SetColumns(const TGridColumnCollection* v) {
    FColumnCollection->Assign(v);
}

TGridColumnItem* TQorColumnGrid::ColumnByName(const std::string& AValue) const {
    for (int i = 0; i < FColumnCollection->Count(); ++i)
        if (FColumnCollection->Items(i)->Name() == AValue) return FColumnCollection->Items(i);
    return nullptr;
}

void TQorColumnGrid::SynchColumns() {
    bool saved = FColumnCollection->NoRecursiveUpdate();
    FColumnCollection->SetNoRecursiveUpdate(true);
    int want = ColCount() + NumHiddenColumns();
    while (FColumnCollection->Count() < want) FColumnCollection->Add();
    while (FColumnCollection->Count() > want)
        FColumnCollection->Delete(FColumnCollection->Count() - 1);
    FColumnCollection->SetNoRecursiveUpdate(saved);
}

void TQorColumnGrid::SizeChanged(int OldColCount, int OldRowCount) {
    TQorStringGrid::SizeChanged(OldColCount, OldRowCount);
    if (FConstructed && !FColumnCollection->NoRecursiveUpdate() && !FColMoving) SynchColumns();
}

void TQorColumnGrid::UpdateColumnHeaders() {
    if (FixedRows() <= 0 || !FColumnCollection) return;
    TStringList* headers = ColumnHeaders();
    headers->BeginUpdate();
    headers->Clear();
    for (int i = 0; i < FColumnCollection->Count(); ++i) {
        TGridColumnItem* item = FColumnCollection->Items(i);
        if (item->Header().empty() && !GridCells(i, 0).empty())
            item->SetHeaderDirect(GridCells(i, 0));
        headers->Add(item->Header());
    }
    headers->EndUpdate();
}

void TQorColumnGrid::ColumnHeadersChanged() {
    if (!FColumnCollection) return;
    TStringList* headers = ColumnHeaders();
    for (int i = 0; i < FColumnCollection->Count() && i < headers->Count(); ++i)
        FColumnCollection->Items(i)->SetHeaderDirect(headers->Get(i));
}

void TQorColumnGrid::Loaded() {
    TQorStringGrid::Loaded();
    SynchColumns();
    SetOrganization();
}

void TQorColumnGrid::RecalcFooters() {
    TQorStringGrid::RecalcFooters();
    SynchColumns();
}

void TQorColumnGrid::InsertCols(int ColIndex, int CCount) {
    if (ColIndex < 0 || ColIndex > TotalColCount() || CCount <= 0) return;
    const bool saved = FColumnCollection->NoRecursiveUpdate();
    FColumnCollection->SetNoRecursiveUpdate(true);
    // The items come first, so that the new widths reach the new items.
    for (int i = 0; i < CCount; ++i)
        FColumnCollection->Insert(std::min(ColIndex, FColumnCollection->Count()));
    TQorStringGrid::InsertCols(ColIndex, CCount);
    FColumnCollection->SetNoRecursiveUpdate(saved);
}

void TQorColumnGrid::RemoveCols(int ColIndex, int CCount) {
    if (ColIndex < 0) return;
    CCount = std::min(CCount, TotalColCount() - ColIndex);
    if (CCount <= 0) return;
    // The items go first, so that the widths left reach the items left.
    const bool saved = FColumnCollection->NoRecursiveUpdate();
    FColumnCollection->SetNoRecursiveUpdate(true);
    for (int i = 0; i < CCount && ColIndex < FColumnCollection->Count(); ++i)
        FColumnCollection->Delete(ColIndex);
    TQorStringGrid::RemoveCols(ColIndex, CCount);
    FColumnCollection->SetNoRecursiveUpdate(saved);
}

void TQorColumnGrid::SetOrganization() {
    SynchColumns();
    for (int i = 0; i < FColumnCollection->Count(); ++i) FColumnCollection->Items(i)->SetDefIdx(i);
}

void TQorColumnGrid::ResetOrganization() {
    // Each move puts one column at its default place for good; at most one move per column.
    bool moved = true;
    while (moved) {
        moved = false;
        for (int i = 0; i < FColumnCollection->Count(); ++i) {
            int def = FColumnCollection->Items(i)->DefIdx();
            if (def < i && def >= 0) {
                MoveColumn(DisplColIndex(i), DisplColIndex(def));
                moved = true;
                break;
            }
        }
    }
}

void TQorColumnGrid::SaveColumnPositions(const std::string& Key, const std::string& Section) {
    TIniFile ini(Key);
    for (int i = 0; i < FColumnCollection->Count(); ++i)
        ini.WriteInteger(Section, "CP" + std::to_string(i), FColumnCollection->Items(i)->DefIdx());
    ini.UpdateFile();
}

void TQorColumnGrid::LoadColumnPositions(const std::string& Key, const std::string& Section) {
    TIniFile ini(Key);
    int n = FColumnCollection->Count();
    std::vector<int> pos(std::size_t(n), -1);
    std::vector<bool> seen(std::size_t(n), false);
    for (int j = 0; j < n; ++j) {
        std::string id = "CP" + std::to_string(j);
        if (!ini.ValueExists(Section, id)) return;
        int k = ini.ReadInteger(Section, id, -1);
        // Only a permutation of the columns is an order; anything else is ignored.
        if (k < 0 || k >= n || seen[std::size_t(k)]) return;
        seen[std::size_t(k)] = true;
        pos[std::size_t(j)] = k;
    }
    for (int j = 0; j < n; ++j) FColumnCollection->Items(pos[std::size_t(j)])->SetDefIdx(j);
    ResetOrganization();
    for (int j = 0; j < n; ++j) FColumnCollection->Items(j)->SetDefIdx(pos[std::size_t(j)]);
}

void TQorColumnGrid::SaveColPositions() {
    if (ColumnSize()->Location() != clIniFile)
        TQorStringGrid::SaveColPositions();
    else if (!ColumnSize()->Key().empty())
        SaveColumnPositions(ColumnSize()->Key(), ColumnSize()->Section());
}

void TQorColumnGrid::LoadColPositions() {
    if (ColumnSize()->Location() != clIniFile)
        TQorStringGrid::LoadColPositions();
    else if (!ColumnSize()->Key().empty())
        LoadColumnPositions(ColumnSize()->Key(), ColumnSize()->Section());
}

std::string TQorColumnGrid::GetVersionString() const {
    int v = GetVersionNr();
    return std::to_string((v >> 24) & 0xFF) + "." + std::to_string((v >> 16) & 0xFF) + "." +
           std::to_string((v >> 8) & 0xFF) + "." + std::to_string(v & 0xFF) + " Aug, 2012";
}

void TQorColumnGrid::ColumnMoved(int FromIndex, int ToIndex) {
    int f = RealColIndex(FromIndex), t = RealColIndex(ToIndex);
    bool saved = FColumnCollection->NoRecursiveUpdate();
    FColumnCollection->SetNoRecursiveUpdate(true);
    int top = TopRow();
    TQorStringGrid::ColumnMoved(FromIndex, ToIndex);
    FColMoving = true;
    // The item travels whole, with every setting it has.
    if (TGridColumnItem* item = itemOf(f); item && t >= 0) item->SetIndex(t);
    SetTopRow(top);
    FColMoving = false;
    FColumnCollection->SetNoRecursiveUpdate(saved);
    Invalidate();
    if (OnAfterColumnMoved) OnAfterColumnMoved(this, f, t);
}

void TQorColumnGrid::ColWidthsChanged() {
    TQorStringGrid::ColWidthsChanged();
    if (Loading() || IsDestroying() || !FColumnCollection) return;
    for (int d = 0; d < ColCount(); ++d)
        if (TGridColumnItem* item = itemOf(RealColIndex(d))) item->FWidth = ColWidths(d);
}

void TQorColumnGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TQorStringGrid::MouseDown(Button, Shift, X, Y);
    int dc = -1, r = -1;
    MouseToCell(X, Y, dc, r);
    if (dc < 0 || r < 0) return;
    int c = RealColIndex(dc);
    TGridColumnItem* item = itemOf(c);
    if (!item || !item->ColumnPopup()) return;
    bool fixedRow = r < FixedRows();
    TColumnPopupType t = item->ColumnPopupType();
    bool open = false;
    if (Button == mbLeft)
        open = t == cpAllCellsLClick ||
               (fixedRow ? t == cpFixedCellsLClick : t == cpNormalCellsLClick);
    else if (Button == mbRight)
        open = t == cpAllCellsRClick ||
               (fixedRow ? t == cpFixedCellsRClick : t == cpNormalCellsRClick);
    if (!open) return;
    if (OnColumnPopup) OnColumnPopup(this, c, r, item->ColumnPopup());
    TRect rc = CellRect(dc, r);
    TPoint p = ClientToScreen(TPoint{rc.Left, rc.Bottom});
    item->ColumnPopup()->Popup(p.X, p.Y);
}

void TQorColumnGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TQorStringGrid::Notification(AComponent, Operation);
    if (Operation != opRemove || !FColumnCollection) return;
    for (int i = 0; i < FColumnCollection->Count(); ++i) {
        TGridColumnItem* item = FColumnCollection->Items(i);
        if (item->ColumnPopup() == AComponent) item->SetColumnPopup(nullptr);
    }
}

// --- hooks -----------------------------------------------------------------------------------
void TQorColumnGrid::GetDefaultProps(int ACol, int ARow, TCellGradientDirection& GD, bool& WW,
                                     TVAlignment& VA, TAlignment& HA, TColor& MirrorColorTo,
                                     TColor& MirrorColor, TColor& ColorTo, TBrush* ABrush,
                                     TFont* AFont) {
    TQorStringGrid::GetDefaultProps(ACol, ARow, GD, WW, VA, HA, MirrorColorTo, MirrorColor, ColorTo,
                                    ABrush, AFont);
    TGridColumnItem* item = itemOf(ACol);
    if (!item) return;
    bool fixedRow = ARow < FixedRows();
    AFont->Assign(fixedRow ? item->HeaderFont() : item->Font());
    if (!fixedRow) ABrush->SetColor(item->Color());
    HA = fixedRow ? item->HeaderAlignment() : item->Alignment();
}

void TQorColumnGrid::GetCellColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush,
                                  TFont* AFont) {
    TGridColumnItem* item = itemOf(ACol);
    if (item && ACol >= FixedCols() && ACol < ColCount() + NumHiddenColumns() - FixedRightCols() &&
        ARow < RowCount() - FixedFooters()) {
        if (item->Fixed())
            ABrush->SetColor(FixedColor());
        else if (ARow >= FixedRows() && !(item->ShowBands() && Bands()->Active()))
            ABrush->SetColor(item->Color());
        AFont->Assign(ARow < FixedRows() ? item->HeaderFont() : item->Font());
        if (HasCellProperties(ACol, ARow)) {
            TCellProperties* p = propsOf(ACol, ARow);
            if (p->BrushColor() != clNone) ABrush->SetColor(p->BrushColor());
            if (p->FontColor() != clNone) AFont->SetColor(p->FontColor());
        }
    }
    TQorStringGrid::GetCellColor(ACol, ARow, AState, ABrush, AFont);
}

void TQorColumnGrid::GetCellPrintColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush,
                                       TFont* AFont) {
    TGridColumnItem* item = itemOf(ACol);
    if (!isNormalCell(ACol, ARow)) {
        AFont->Assign(PrintSettings()->FixedFont());
    } else {
        TCellProperties* p = HasCellProperties(ACol, ARow) ? propsOf(ACol, ARow) : nullptr;
        if (item->Fixed()) {
            ABrush->SetColor(FixedColor());
        } else {
            if (!(item->ShowBands() && Bands()->Active() && Bands()->Print()))
                ABrush->SetColor(item->PrintColor());
            if (p && p->BrushColor() != clNone) ABrush->SetColor(p->BrushColor());
        }
        if (item->PrintFontCustom()) {
            AFont->Assign(item->PrintFont());
            if (p) {
                if (p->FontColor() != clNone) AFont->SetColor(p->FontColor());
                if (!p->FontStyle().Empty()) AFont->SetStyle(p->FontStyle());
                if (p->FontSize() != 0) AFont->SetSize(p->FontSize());
                if (!p->FontName().empty()) AFont->SetName(p->FontName());
            }
        } else {
            AFont->Assign(PrintSettings()->Font());
        }
    }
    TQorStringGrid::GetCellPrintColor(ACol, ARow, AState, ABrush, AFont);
}

void TQorColumnGrid::GetCellBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders) {
    if (TGridColumnItem* item = itemOf(ACol); item && ACol >= FixedCols() && ARow >= FixedRows()) {
        Borders = item->Borders();
        APen->Assign(item->BorderPen());
    }
    TQorStringGrid::GetCellBorder(ACol, ARow, APen, Borders);
}

void TQorColumnGrid::GetCellPrintBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders) {
    if (TGridColumnItem* item = itemOf(ACol);
        item && item->PrintBorderCustom() && ACol >= FixedCols() && ARow >= FixedRows()) {
        Borders = item->PrintBorders();
        APen->Assign(item->PrintBorderPen());
    }
    TQorStringGrid::GetCellPrintBorder(ACol, ARow, APen, Borders);
}

void TQorColumnGrid::GetAlignment(int ACol, int ARow, TAlignment& HAlign, TVAlignment& VAlign) {
    if (TGridColumnItem* item = itemOf(ACol)) {
        HAlign = ARow < FixedRows() ? item->HeaderAlignment() : item->Alignment();
        if (HasCellProperties(ACol, ARow)) HAlign = propsOf(ACol, ARow)->Alignment();
    }
    TQorStringGrid::GetAlignment(ACol, ARow, HAlign, VAlign);
}

void TQorColumnGrid::GetFormat(int ACol, TSortStyle& AStyle, std::string& APrefix,
                               std::string& ASuffix) {
    if (TGridColumnItem* item = itemOf(ACol)) {
        AStyle = item->SortStyle();
        APrefix = item->SortPrefix();
        ASuffix = item->SortSuffix();
    }
    TQorStringGrid::GetFormat(ACol, AStyle, APrefix, ASuffix);
}

void TQorColumnGrid::GetFloatFormat(int ACol, std::string& AFormat) {
    TQorStringGrid::GetFloatFormat(ACol, AFormat);
    if (TGridColumnItem* item = itemOf(ACol); item && !item->FloatFormat().empty())
        AFormat = item->FloatFormat();
}

std::string TQorColumnGrid::GetFormattedCell(int ACol, int ARow) {
    TGridColumnItem* item = itemOf(ACol);
    if (!item) return TQorStringGrid::GetFormattedCell(ACol, ARow);
    std::string text = Cells(ACol, ARow);
    std::string format = item->FloatFormat();
    int kind = NumberTextKind(text);
    bool isFloat = kind == 0 || kind == 1;
    if (OnGetFloatFormat) OnGetFloatFormat(this, ACol, ARow, isFloat, format);
    double v = 0;
    if (!format.empty() && isFloat && TryStrToFloat(Trim(text), v))
        return FormatV(format, {FormatArg(v)});
    return text;
}

void TQorColumnGrid::GetEditorType(int ACol, int ARow, TEditorType& AEditor) {
    if (TGridColumnItem* item = itemOf(ACol)) {
        if (ACol >= FixedCols() && ARow >= FixedRows()) {
            AEditor = item->Editor();
            if (TGridCombo* combo = GridCombo()) {
                combo->Items()->Assign(item->ComboItems());
                combo->SetDropDownCount(item->DropDownCount());
            }
            if (ControlLook()->DropDownCount() != item->DropDownCount())
                ControlLook()->SetDropDownCount(item->DropDownCount());
            if (item->Editor() == edSpinEdit || item->Editor() == edFloatSpinEdit ||
                item->Editor() == edTimeSpinEdit || item->Editor() == edDateSpinEdit) {
                TGridSpin* spin = SpinEdit();
                spin->SetMinValue(item->SpinMin());
                spin->SetMaxValue(item->SpinMax());
                spin->SetIncrement(item->SpinStep());
            }
            SetEditLink(item->EditLink());
        }
        if (!item->FloatFormat().empty()) SetFloatFormat(item->FloatFormat());
    }
    TQorStringGrid::GetEditorType(ACol, ARow, AEditor);
}

bool TQorColumnGrid::HasComboBox(int ACol, int ARow) {
    bool has = false;
    if (TGridColumnItem* item = itemOf(ACol); item && ACol >= FixedCols() && ARow >= FixedRows())
        has = item->Editor() == edComboEdit || item->Editor() == edComboList;
    if (OnHasComboBox) OnHasComboBox(this, ACol, ARow, has);
    return has;
}

void TQorColumnGrid::IsFixedCell(int ACol, int ARow, bool& IsFixed) {
    if (ACol >= FixedCols() && ARow >= FixedRows())
        if (TGridColumnItem* item = itemOf(RealColIndex(ACol))) IsFixed = item->Fixed();
    TQorStringGrid::IsFixedCell(ACol, ARow, IsFixed);
}

void TQorColumnGrid::IsEditableCell(int ACol, int ARow, bool& CanEdit) {
    CanEdit = false;
    if (!Loading())
        if (TGridColumnItem* item = itemOf(ACol);
            item && ACol >= FixedCols() && ARow >= FixedRows())
            CanEdit = !(item->ReadOnly() || item->Fixed());
    if (CanEdit && HasCellProperties(ACol, ARow)) CanEdit = !propsOf(ACol, ARow)->ReadOnly();
    TPoint base = BaseCell(ACol, ARow);
    DoCanEditCell(base.X, base.Y, CanEdit);
}

void TQorColumnGrid::IsPasswordCell(int ACol, int ARow, bool& IsPassword) {
    if (TGridColumnItem* item = itemOf(ACol)) IsPassword = item->Password();
    TQorStringGrid::IsPasswordCell(ACol, ARow, IsPassword);
}

void TQorColumnGrid::GetCheckTrue(int ACol, int ARow, std::string& Value) {
    TQorStringGrid::GetCheckTrue(ACol, ARow, Value);
    if (isNormalCell(ACol, ARow)) Value = itemOf(ACol)->CheckTrue();
}

void TQorColumnGrid::GetCheckFalse(int ACol, int ARow, std::string& Value) {
    TQorStringGrid::GetCheckFalse(ACol, ARow, Value);
    if (isNormalCell(ACol, ARow)) Value = itemOf(ACol)->CheckFalse();
}

TCellGraphic* TQorColumnGrid::GetCellGraphic(int ACol, int ARow) {
    TCellGraphic* g = TQorStringGrid::GetCellGraphic(ACol, ARow);
    if (g || !isNormalCell(ACol, ARow) || itemOf(ACol)->Editor() != edDataCheckBox) return g;
    // One shared graphic stands for every data check box cell.
    FVirtCheck->SetCellType(ctVirtCheckBox);
    FVirtCheck->SetCellTransparent(ControlLook()->ControlStyle() == csFlat);
    return FVirtCheck.get();
}

TCellType TQorColumnGrid::GetCellType(int ACol, int ARow) {
    TCellType t = TQorStringGrid::GetCellType(ACol, ARow);
    if (t == ctEmpty && isNormalCell(ACol, ARow) && itemOf(ACol)->Editor() == edDataCheckBox)
        return ctDataCheckBox;
    return t;
}

namespace {
std::string displayPart(const std::string& line) {
    auto eq = line.find('=');
    return eq == std::string::npos ? line : line.substr(0, eq);
}
} // namespace

bool TQorColumnGrid::BuildColumnFilterList(int ACol) {
    FilterList()->SetSorted(false);
    TQorStringGrid::BuildColumnFilterList(ACol);
    TGridColumnItem* item = itemOf(ACol);
    if (!item || item->Filter()->Count() == 0) return false;
    FilterList()->SetSorted(false);
    FilterList()->Clear();
    for (int i = 0; i < item->Filter()->Count(); ++i)
        FilterList()->Add(displayPart(item->Filter()->Get(i)));
    return true;
}

void TQorColumnGrid::Group(int Colindex) {
    if (FColumnCollection->Count() > 0 && Colindex < FColumnCollection->Count())
        if (TGridColumnItem* item = itemOf(Colindex)) FSaveCol->Assign(item);
    TQorStringGrid::Group(Colindex);
}

void TQorColumnGrid::UnGroup() {
    const int c = GroupColumn();
    TQorStringGrid::UnGroup();
    if (c > 0 && GroupColumn() == -1)
        if (TGridColumnItem* item = itemOf(c)) item->Assign(FSaveCol.get());
}

void TQorColumnGrid::FilterDropDownSelect(int ItemIndex) {
    int c = FilterColumn();
    SetFilterColumn(-1);
    TGridColumnItem* item = itemOf(c);
    if (!item || ItemIndex < 0 || ItemIndex >= item->Filter()->Count()) return;
    std::string line = item->Filter()->Get(ItemIndex);
    auto eq = line.find('=');
    std::string display = displayPart(line);
    std::string condition = eq == std::string::npos ? line : line.substr(eq + 1);
    if (FAutoFilterDisplay) item->SetHeader(display);
    if (AutoFilterUpdate()) SetFilterActive(false);
    if (OnFilterSelect) OnFilterSelect(this, c, ItemIndex, display, condition);
    TFilterData* f = Filter()->ColumnFilter(c);
    f->SetCondition(condition);
    f->SetCaseSensitive(item->FilterCaseSensitive());
    if (AutoFilterUpdate()) {
        SetFixedRowAlways(true);
        SetFilterActive(true);
        if (RowCount() != FixedRows() && RowCount() != 1) SetRow(FixedRows());
        FilterDone();
    }
}

void TQorColumnGrid::UpdateColumnSize(int ACol, int& AWidth) {
    if (TGridColumnItem* item = itemOf(ACol)) {
        if (item->MinSize() > 0) AWidth = std::max(AWidth, item->MinSize());
        if (item->MaxSize() > 0) AWidth = std::min(AWidth, item->MaxSize());
    }
    TQorStringGrid::UpdateColumnSize(ACol, AWidth);
}

void TQorColumnGrid::UpdateAutoColumnSize(int ACol, int& AWidth) {
    if (TGridColumnItem* item = itemOf(ACol)) {
        if (item->AutoMinSize() > 0) AWidth = std::max(AWidth, item->AutoMinSize());
        if (item->AutoMaxSize() > 0) AWidth = std::min(AWidth, item->AutoMaxSize());
    }
    TQorStringGrid::UpdateAutoColumnSize(ACol, AWidth);
}

int TQorColumnGrid::GetEditLimit() {
    // A column without a length of its own takes the grid's.
    if (Col() >= FixedCols() && Col() < FColumnCollection->Count())
        if (TGridColumnItem* item = itemOf(RealColIndex(Col())); item && item->EditLength() > 0)
            return item->EditLength();
    return TQorStringGrid::GetEditLimit();
}

std::string TQorColumnGrid::GetEditMask(int ACol, int ARow) {
    std::string mask;
    if (ACol >= FixedCols() && ACol < FColumnCollection->Count())
        if (TGridColumnItem* item = itemOf(RealColIndex(ACol))) mask = item->EditMask();
    std::string def = TQorStringGrid::GetEditMask(ACol, ARow);
    return def.empty() ? mask : def;
}
