#include "grid/data/DataSettings.h"

#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridDragDrop.h"
#include "platform/base/SysUtils.h"
#include "platform/ui/Grids.h"

// --- THTMLSettings ---------------------------------------------------------------------------
THTMLSettings::THTMLSettings() : FColWidths(std::make_unique<TIntList>(0, 0)) {}

void THTMLSettings::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const THTMLSettings*>(Source);
    if (!src) return;
    FAutoPreview = src->FAutoPreview;
    FBorderSize = src->FBorderSize;
    FCellSpacing = src->FCellSpacing;
    FCellPadding = src->FCellPadding;
    FConvertSpecialChars = src->FConvertSpecialChars;
    FFooterFile = src->FFooterFile;
    FHeaderFile = src->FHeaderFile;
    FNonBreakingText = src->FNonBreakingText;
    FPrefixTag = src->FPrefixTag;
    FSaveColor = src->FSaveColor;
    FSaveFonts = src->FSaveFonts;
    FSuffixTag = src->FSuffixTag;
    FSummary = src->FSummary;
    FTableStyle = src->FTableStyle;
    FWidth = src->FWidth;
    FXHTML = src->FXHTML;
}

// --- drag and drop ---------------------------------------------------------------------------
void TDragDropSettings::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const TDragDropSettings*>(Source);
    if (!src) return;
    FShowCells = src->FShowCells;
    FOleAcceptFiles = src->FOleAcceptFiles;
    FOleAcceptText = src->FOleAcceptText;
    FOleAcceptURLs = src->FOleAcceptURLs;
    FOleAppendRows = src->FOleAppendRows;
    FOleColumnDragDrop = src->FOleColumnDragDrop;
    FOleColumnReorder = src->FOleColumnReorder;
    FOleColumnsOnly = src->FOleColumnsOnly;
    FOleCopyAlways = src->FOleCopyAlways;
    SetOleDropTarget(src->FOleDropTarget);
    FOleDropSource = src->FOleDropSource;
    FOleEntireRows = src->FOleEntireRows;
    FOleInsertRows = src->FOleInsertRows;
    FOleRemoveRows = src->FOleRemoveRows;
    SetOleDropRTF(src->FOleDropRTF);
}

void TDragDropSettings::SetOleDropRTF(bool v) {
    SetDropRTF(v);
    FOleDropRTF = v;
}

void TDragScrollDelays::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const TDragScrollDelays*>(Source);
    if (!src) return;
    FInitialDelay = src->FInitialDelay;
    FRepeatDelay = src->FRepeatDelay;
}

void TDragScrollMargins::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const TDragScrollMargins*>(Source);
    if (!src) return;
    FTopMargin = src->FTopMargin;
    FBottomMargin = src->FBottomMargin;
    FLeftMargin = src->FLeftMargin;
    FRightMargin = src->FRightMargin;
}

TDragScrollOptions::TDragScrollOptions()
    : FDelays(std::make_unique<TDragScrollDelays>()),
      FMargins(std::make_unique<TDragScrollMargins>()) {}

void TDragScrollOptions::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const TDragScrollOptions*>(Source);
    if (!src) return;
    FActive = src->FActive;
    FDelays->Assign(src->FDelays.get());
    FMargins->Assign(src->FMargins.get());
}

// --- filtering -------------------------------------------------------------------------------
void TFilterData::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const TFilterData*>(Source);
    if (!src) return;
    FColumn = src->FColumn;
    FCondition = src->FCondition;
    FCaseSensitive = src->FCaseSensitive;
    FData = src->FData;
    FPrefix = src->FPrefix;
    FSuffix = src->FSuffix;
    FOperation = src->FOperation;
}

TFilter::TFilter(TCustomGrid* AOwner)
    : TCollection([](TCollection* c) { return new TFilterData(c); }), FOwner(AOwner) {}

TFilterData* TFilter::Items(int index) const {
    return static_cast<TFilterData*>(TCollection::Items(index));
}

TFilterData* TFilter::Add() {
    auto* d = static_cast<TFilterData*>(TCollection::Add());
    d->SetOperation(Count() == 1 ? foNONE : foAND);
    return d;
}

TFilterData* TFilter::Insert(int index) {
    return static_cast<TFilterData*>(TCollection::Insert(index));
}

TFilterData* TFilter::ColumnFilter(int Col) {
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Column() == Col) return Items(i);
    TFilterData* d = Add();
    d->SetColumn(Col);
    return d;
}

void TFilter::RemoveColumnFilter(int Col) {
    for (int i = Count() - 1; i >= 0; --i)
        if (Items(i)->Column() == Col) Delete(i);
    if (FOwner) FOwner->InvalidateCell(Col, 0);
}

bool TFilter::HasFilter(int Col) const {
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Column() == Col) return true;
    return false;
}

TFilterDropDown::TFilterDropDown()
    : FFont(std::make_unique<TFont>()), FGlyph(std::make_unique<TBitmap>()),
      FGlyphActive(std::make_unique<TBitmap>()) {}

void TFilterDropDown::changed() {
    if (OnChange) OnChange(this);
}

void TFilterDropDown::SetGlyph(const TBitmap* v) {
    FGlyph->Assign(v);
    changed();
}

void TFilterDropDown::SetGlyphActive(const TBitmap* v) {
    FGlyphActive->Assign(v);
    changed();
}

void TFilterDropDown::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const TFilterDropDown*>(Source);
    if (!src) return;
    FColor = src->FColor;
    FColumnWidth = src->FColumnWidth;
    FFont->Assign(src->FFont.get());
    FHeight = src->FHeight;
    FWidth = src->FWidth;
    FGlyph->Assign(src->FGlyph.get());
    FGlyphActive->Assign(src->FGlyphActive.get());
}

// --- printing --------------------------------------------------------------------------------
TPrintSettings::TPrintSettings(TComponent* AOwner)
    : FOwner(AOwner), FFont(std::make_unique<TFont>()), FHeaderFont(std::make_unique<TFont>()),
      FFooterFont(std::make_unique<TFont>()), FTitleLines(std::make_unique<TStringList>()),
      FFixedFont(std::make_unique<TFont>()) {}

void TPrintSettings::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const TPrintSettings*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FTime = src->FTime;
    FDate = src->FDate;
    FPageNr = src->FPageNr;
    FPageNumSep = src->FPageNumSep;
    FDateFormat = src->FDateFormat;
    FTitle = src->FTitle;
    FFont->Assign(src->FFont.get());
    FHeaderFont->Assign(src->FHeaderFont.get());
    FFooterFont->Assign(src->FFooterFont.get());
    FBorders = src->FBorders;
    FBorderStyle = src->FBorderStyle;
    FTitleText = src->FTitleText;
    FTitleLines->Assign(src->FTitleLines.get());
    FCentered = src->FCentered;
    FRepeatFixedRows = src->FRepeatFixedRows;
    FRepeatFixedCols = src->FRepeatFixedCols;
    FFooterSize = src->FFooterSize;
    FHeaderSize = src->FHeaderSize;
    FLeftSize = src->FLeftSize;
    FRightSize = src->FRightSize;
    FColumnSpacing = src->FColumnSpacing;
    FRowSpacing = src->FRowSpacing;
    FTitleSpacing = src->FTitleSpacing;
    FOrientation = src->FOrientation;
    FPagePrefix = src->FPagePrefix;
    FPageSuffix = src->FPageSuffix;
    FFixedHeight = src->FFixedHeight;
    FUseFixedHeight = src->FUseFixedHeight;
    FFixedWidth = src->FFixedWidth;
    FUseFixedWidth = src->FUseFixedWidth;
    FFitToPage = src->FFitToPage;
    FNoAutoSize = src->FNoAutoSize;
    FPrintGraphics = src->FPrintGraphics;
    FJobName = src->FJobName;
    FNoAutoSizeRow = src->FNoAutoSizeRow;
    FPageNumberOffset = src->FPageNumberOffset;
    FMaxPagesOffset = src->FMaxPagesOffset;
    FFixedFont->Assign(src->FFixedFont.get());
    FUseDisplayFont = src->FUseDisplayFont;
    FUseDefaultOrientation = src->FUseDefaultOrientation;
    FBorderColor = src->FBorderColor;
}

// --- sorting ---------------------------------------------------------------------------------
TSortSettings::TSortSettings(TCustomGrid* AOwner)
    : FOwner(AOwner), FUpGlyph(std::make_unique<TBitmap>()),
      FDownGlyph(std::make_unique<TBitmap>()), FIndexUpGlyph(std::make_unique<TBitmap>()),
      FIndexDownGlyph(std::make_unique<TBitmap>()) {}

void TSortSettings::SetShow(bool v) {
    if (v == FShow) return;
    FShow = v;
    if (FOwner) FOwner->Invalidate();
}

void TSortSettings::SetRow(int v) {
    if (FOwner && v >= FOwner->FixedRows())
        throw ESortSettingsError("Sort row should be smaller than number of fixed rows");
    FRow = v;
}

std::string TSortSettings::SaveToString() const {
    auto* g = dynamic_cast<TQorStringGrid*>(FOwner);
    if (FIndexShow) return "i;" + (g ? g->SortIndexes()->SaveToString() : std::string());
    return (FDirection == sdDescending ? "d" : "u") + std::to_string(FColumn);
}

void TSortSettings::LoadFromString(const std::string& Value) {
    if (Value.empty()) return;
    SetShow(true);
    if (Value.size() < 2) throw ESortSettingsError("Invalid sort settings specifier");
    auto* g = dynamic_cast<TQorStringGrid*>(FOwner);
    if (Value.find("i;") != std::string::npos) {
        FIndexShow = true;
        const std::string rest = Value.substr(2);
        if (!rest.empty() && g) {
            g->SortIndexes()->LoadFromString(rest);
            if (g->SortIndexes()->Count() > 0) g->QSortIndexed();
        }
        return;
    }
    FIndexShow = false;
    FDirection = Value.find('u') != std::string::npos ? sdAscending : sdDescending;
    int column = 0;
    if (!TryStrToInt(Value.substr(1), column)) return;
    FColumn = column;
    if (g) g->QSort();
}

void TSortSettings::Remove() {
    FColumn = -1;
    if (auto* g = dynamic_cast<TQorStringGrid*>(FOwner)) g->SortIndexes()->Clear();
    if (FOwner && FOwner->FixedRows() > 0) FOwner->InvalidateRow(FOwner->FixedRows() - 1);
}

void TSortSettings::setHeaderColor(TColor& field, TColor v) {
    if (v == field) return;
    field = v;
    if (FOwner && FOwner->FixedRows() > 0) FOwner->InvalidateRow(FOwner->FixedRows() - 1);
}

void TSortSettings::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const TSortSettings*>(Source);
    if (!src) return;
    FAutoSortForGrouping = src->FAutoSortForGrouping;
    FAutoColumnMerge = src->FAutoColumnMerge;
    FColumn = src->FColumn;
    FShow = src->FShow;
    FIndexShow = src->FIndexShow;
    FIndexColor = src->FIndexColor;
    FFull = src->FFull;
    FSingleColumn = src->FSingleColumn;
    FIgnoreBlanks = src->FIgnoreBlanks;
    FBlankPos = src->FBlankPos;
    FAutoFormat = src->FAutoFormat;
    FDirection = src->FDirection;
    FUpGlyph->Assign(src->FUpGlyph.get());
    FDownGlyph->Assign(src->FDownGlyph.get());
    FIndexUpGlyph->Assign(src->FIndexUpGlyph.get());
    FIndexDownGlyph->Assign(src->FIndexDownGlyph.get());
    FIndexSortKey = src->FIndexSortKey;
    FInitSortDirection = src->FInitSortDirection;
    FFixedCols = src->FFixedCols;
    FNormalCellsOnly = src->FNormalCellsOnly;
    FRow = src->FRow;
    FUndoSort = src->FUndoSort;
    FHeaderColor = src->FHeaderColor;
    FHeaderColorTo = src->FHeaderColorTo;
    FHeaderMirrorColor = src->FHeaderMirrorColor;
    FHeaderMirrorColorTo = src->FHeaderMirrorColorTo;
}

// --- grouping --------------------------------------------------------------------------------
void TGrouping::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const TGrouping*>(Source);
    if (!src) return;
    FGroupCountFormat = src->FGroupCountFormat;
    FHeaderColor = src->FHeaderColor;
    FHeaderColorTo = src->FHeaderColorTo;
    FHeaderTextColor = src->FHeaderTextColor;
    FHeaderUnderline = src->FHeaderUnderline;
    FMergeHeader = src->FMergeHeader;
    FMergeSummary = src->FMergeSummary;
    FShowGroupCount = src->FShowGroupCount;
    FSummaryColor = src->FSummaryColor;
    FSummaryColorTo = src->FSummaryColorTo;
    FSummaryTextColor = src->FSummaryTextColor;
    FSummaryLine = src->FSummaryLine;
    FAutoCheckGroup = src->FAutoCheckGroup;
    FAutoSelectGroup = src->FAutoSelectGroup;
}
