#include "grid/core/base/GridSettings.h"

#include "platform/ui/Grids.h"

// --- TNavigation -----------------------------------------------------------------------------
void TNavigation::SetAdvanceInsert(bool v) {
    if (v == FAdvanceInsert) return;
    FAdvanceInsert = v;
    if (OnChange) OnChange(this);
}

void TNavigation::SetAdvanceDirection(TAdvanceDirection v) {
    if (v == FAdvanceDirection) return;
    FAdvanceDirection = v;
    if (OnChange) OnChange(this);
}

void TNavigation::SetAdvanceAuto(bool v) {
    if (v == FAdvanceAuto) return;
    FAdvanceAuto = v;
    if (v) FAdvanceOnEnter = true;
}

void TNavigation::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const TNavigation*>(Source);
    if (!src) return;
    // Every setting but KeepScrollOnSort and the event; no event fires.
    bool keepScroll = FKeepScrollOnSort;
    TNotifyEvent change = std::move(OnChange);
    *this = *src;
    FKeepScrollOnSort = keepScroll;
    OnChange = std::move(change);
}

// --- TMouseActions ---------------------------------------------------------------------------
TMouseActions::TMouseActions(TComponent* /*AOwner: not kept*/)
    : FFixedComboValues(std::make_unique<TStringList>()) {}

bool TMouseActions::designing() {
    bool d = false;
    if (OnIsDesigning) OnIsDesigning(this, d);
    return d;
}

void TMouseActions::SetDisjunctRowSelect(bool v) {
    FDisjunctRowSelect = v;
    if (v && designing()) FDisjunctColSelect = FDisjunctCellSelect = false;
}

void TMouseActions::SetDisjunctColSelect(bool v) {
    FDisjunctColSelect = v;
    if (v && designing()) FDisjunctRowSelect = FDisjunctCellSelect = false;
}

void TMouseActions::SetDisjunctCellSelect(bool v) {
    FDisjunctCellSelect = v;
    if (v && designing()) FDisjunctRowSelect = FDisjunctColSelect = false;
}

void TMouseActions::SetHotmailRowSelect(bool v) {
    FHotmailRowSelect = v;
    if (v) FDisjunctRowSelect = FCheckAllCheck = true;
    if (OnInvalidate) OnInvalidate(this);
}

void TMouseActions::SetWheelAction(TWheelAction v) {
    if (v == FWheelAction) return;
    FWheelAction = v;
    if (OnChange) OnChange(this);
}

void TMouseActions::SetEditOnDblClickOnly(bool v) {
    FEditOnDblClickOnly = v;
    if (v && OnDisableEdit) OnDisableEdit(this);
}

void TMouseActions::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const TMouseActions*>(Source);
    if (!src) return;
    // Not copied: SizeFixedRow, HotmailRowSelect, EditOnDblClickOnly, the combo values and the
    // events.
    FColSelect = src->FColSelect;
    FRowSelect = src->FRowSelect;
    FAllSelect = src->FAllSelect;
    FDirectEdit = src->FDirectEdit;
    FDirectComboDrop = src->FDirectComboDrop;
    FDirectComboClose = src->FDirectComboClose;
    FDirectDateClose = src->FDirectDateClose;
    FDirectDateDrop = src->FDirectDateDrop;
    FDisjunctRowSelect = src->FDisjunctRowSelect;
    FDisjunctColSelect = src->FDisjunctColSelect;
    FAllColumnSize = src->FAllColumnSize;
    FAllRowSize = src->FAllRowSize;
    FCaretPositioning = src->FCaretPositioning;
    FSizeFixedCol = src->FSizeFixedCol;
    FDisjunctCellSelect = src->FDisjunctCellSelect;
    FFixedRowsEdit = src->FFixedRowsEdit;
    FFixedColsEdit = src->FFixedColsEdit;
    FFixedRowsEditor = src->FFixedRowsEditor;
    FFixedColsEditor = src->FFixedColsEditor;
    FRangeSelectAndEdit = src->FRangeSelectAndEdit;
    FNoAutoRangeScroll = src->FNoAutoRangeScroll;
    FPreciseCheckBoxCheck = src->FPreciseCheckBoxCheck;
    FPreciseNodeClick = src->FPreciseNodeClick;
    FCheckAllCheck = src->FCheckAllCheck;
    FNodeAllExpandContract = src->FNodeAllExpandContract;
    FMoveRowOnNodeClick = src->FMoveRowOnNodeClick;
    FRowSelectPersistent = src->FRowSelectPersistent;
    FSelectOnRightClick = src->FSelectOnRightClick;
    FNoScrollOnPartialRow = src->FNoScrollOnPartialRow;
    FWheelIncrement = src->FWheelIncrement;
    FWheelAction = src->FWheelAction;
    FAutoSizeColOnDblClick = src->FAutoSizeColOnDblClick;
    FDisjunctRowSelectNoCtrl = src->FDisjunctRowSelectNoCtrl;
}

// --- TSearchFooter ---------------------------------------------------------------------------
TSearchFooter::TSearchFooter(TComponent* /*AOwner: not kept*/, bool InitDesign)
    : FFont(std::make_unique<TFont>()) {
    if (!InitDesign) return;
    FFindNextCaption = "Find &next";
    FFindPrevCaption = "Find &previous";
    FMatchCaseCaption = "Match case";
    FHintClose = "Close";
    FHintFindPrev = "Find previous occurrence";
    FHintHighlight = "Highlight occurrences";
    FHintFindNext = "Find next occurrence";
    FHighLightCaption = "Highlight";
}

void TSearchFooter::changed() {
    if (OnChange) OnChange(this);
}

template <typename T> void TSearchFooter::store(T& field, const T& v) {
    field = v;
    changed();
}

template <typename T> void TSearchFooter::storeIfChanged(T& field, const T& v) {
    if (field == v) return;
    field = v;
    changed();
}

void TSearchFooter::SetShowFindPrev(bool v) {
    storeIfChanged(FShowFindPrev, v);
}
void TSearchFooter::SetShowFindNext(bool v) {
    storeIfChanged(FShowFindNext, v);
}
void TSearchFooter::SetShowHighLight(bool v) {
    storeIfChanged(FShowHighLight, v);
}
void TSearchFooter::SetShowMatchCase(bool v) {
    storeIfChanged(FShowMatchCase, v);
}
void TSearchFooter::SetVisible(bool v) {
    storeIfChanged(FVisible, v);
}
void TSearchFooter::SetFindNextCaption(const std::string& v) {
    store(FFindNextCaption, v);
}
void TSearchFooter::SetFindPrevCaption(const std::string& v) {
    store(FFindPrevCaption, v);
}
void TSearchFooter::SetColorTo(TColor v) {
    store(FColorTo, v);
}
void TSearchFooter::SetColor(TColor v) {
    store(FColor, v);
}
void TSearchFooter::SetAutoThemeAdapt(bool v) {
    store(FAutoThemeAdapt, v);
}
void TSearchFooter::SetShowClose(bool v) {
    store(FShowClose, v);
}
void TSearchFooter::SetMatchCaseCaption(const std::string& v) {
    store(FMatchCaseCaption, v);
}
void TSearchFooter::SetHintClose(const std::string& v) {
    store(FHintClose, v);
}
void TSearchFooter::SetHintFindPrev(const std::string& v) {
    store(FHintFindPrev, v);
}
void TSearchFooter::SetHintHighlight(const std::string& v) {
    store(FHintHighlight, v);
}
void TSearchFooter::SetHintFindNext(const std::string& v) {
    store(FHintFindNext, v);
}
void TSearchFooter::SetAutoSearch(bool v) {
    store(FAutoSearch, v);
}
void TSearchFooter::SetLastSearch(const std::string& v) {
    store(FLastSearch, v);
}
void TSearchFooter::SetSearchColumn(int v) {
    store(FSearchColumn, v);
}
void TSearchFooter::SetSearchActiveColumnOnly(bool v) {
    store(FSearchActiveColumnOnly, v);
}
void TSearchFooter::SetSearchMatchStart(bool v) {
    store(FSearchMatchStart, v);
}
void TSearchFooter::SetSearchFixedCells(bool v) {
    store(FSearchFixedCells, v);
}
void TSearchFooter::SetSearchHiddenRows(bool v) {
    store(FSearchHiddenRows, v);
}
void TSearchFooter::SetHighLightCaption(const std::string& v) {
    store(FHighLightCaption, v);
}
void TSearchFooter::SetAlwaysHighLight(bool v) {
    store(FAlwaysHighLight, v);
}
void TSearchFooter::SetSearchDirection(TSearchDirection v) {
    store(FSearchDirection, v);
}

void TSearchFooter::SetFont(const TFont* v) {
    FFont->Assign(v);
    changed();
}

void TSearchFooter::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const TSearchFooter*>(Source);
    if (!src) return;
    // Not copied: AutoSearch, SearchFixedCells, AutoThemeAdapt, LastSearch; no event fires.
    FAlwaysHighLight = src->FAlwaysHighLight;
    FColor = src->FColor;
    FColorTo = src->FColorTo;
    FFindNextCaption = src->FFindNextCaption;
    FFindPrevCaption = src->FFindPrevCaption;
    FMatchCaseCaption = src->FMatchCaseCaption;
    FHighLightCaption = src->FHighLightCaption;
    FHintClose = src->FHintClose;
    FHintFindPrev = src->FHintFindPrev;
    FHintHighlight = src->FHintHighlight;
    FHintFindNext = src->FHintFindNext;
    FShowClose = src->FShowClose;
    FShowFindNext = src->FShowFindNext;
    FShowFindPrev = src->FShowFindPrev;
    FShowHighLight = src->FShowHighLight;
    FShowMatchCase = src->FShowMatchCase;
    FSearchActiveColumnOnly = src->FSearchActiveColumnOnly;
    FSearchMatchStart = src->FSearchMatchStart;
    FSearchColumn = src->FSearchColumn;
    FSearchDirection = src->FSearchDirection;
    FSearchHiddenRows = src->FSearchHiddenRows;
    FVisible = src->FVisible;
    TNotifyEvent fontChange = std::move(FFont->OnChange);
    FFont->Assign(src->FFont.get());
    FFont->OnChange = std::move(fontChange);
}

// --- TSyncGrid -------------------------------------------------------------------------------
void TSyncGrid::SetGrid(TStringGrid* v) {
    if (v && static_cast<TComponent*>(v) == FOwner) return;
    FGrid = v;
}

void TSyncGrid::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const TSyncGrid*>(Source);
    if (!src) return;
    SetGrid(src->FGrid);
    FScrollHorizontal = src->FScrollHorizontal;
    FScrollVertical = src->FScrollVertical;
    FSelectionRow = src->FSelectionRow;
    FSelectionColumn = src->FSelectionColumn;
    FMoveRow = src->FMoveRow;
    FMoveColumn = src->FMoveColumn;
}

// --- TBands ----------------------------------------------------------------------------------
void TBands::lookChanged() {
    if (FActive && OnChange) OnChange(this);
}

void TBands::SetActive(bool v) {
    if (v == FActive) return;
    FActive = v;
    if (OnChange) OnChange(this);
}

void TBands::SetPrimaryColor(TColor v) {
    if (v == FPrimaryColor) return;
    FPrimaryColor = v;
    lookChanged();
}

void TBands::SetSecondaryColor(TColor v) {
    if (v == FSecondaryColor) return;
    FSecondaryColor = v;
    lookChanged();
}

void TBands::SetPrimaryLength(int v) {
    if (v == FPrimaryLength) return;
    FPrimaryLength = v;
    FTotalLength = FPrimaryLength + FSecondaryLength;
    lookChanged();
}

void TBands::SetSecondaryLength(int v) {
    if (v == FSecondaryLength) return;
    FSecondaryLength = v;
    FTotalLength = FPrimaryLength + FSecondaryLength;
    lookChanged();
}

void TBands::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const TBands*>(Source);
    if (!src) return;
    FActive = src->FActive;
    FPrimaryColor = src->FPrimaryColor;
    FPrimaryLength = src->FPrimaryLength;
    FSecondaryColor = src->FSecondaryColor;
    FSecondaryLength = src->FSecondaryLength;
    FPrint = src->FPrint;
    FTotalLength = FPrimaryLength + FSecondaryLength;
}

// --- TFocusHelper ----------------------------------------------------------------------------
void TFocusHelper::Assign(const TPersistent* Source) {
    if (auto src = dynamic_cast<const TFocusHelper*>(Source)) FEnabled = src->FEnabled;
}

// --- TShowModified ---------------------------------------------------------------------------
void TShowModified::Assign(const TPersistent* Source) {
    auto src = dynamic_cast<const TShowModified*>(Source);
    if (!src) return;
    FColor = src->FColor;
    FEnabled = src->FEnabled;
}

void TShowModified::SetColor(TColor v) {
    FColor = v;
    if (OnChange) OnChange(this);
}
