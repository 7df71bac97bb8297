#pragma once
// The grid's small settings objects: keyboard navigation, mouse actions, the search footer,
// synchronisation with a second grid, row bands and the focus helper. They hold values; the
// grid reads them where it acts. Assign copies only from the same class and ignores any other.
#include "platform/base/Classes.h"
#include "platform/base/Types.h"
#include "platform/gfx/Graphics.h"

#include <functional>
#include <memory>
#include <string>

class TStringGrid;

enum TClipboardPasteAction { paReplace, paInsert };
enum TAdvanceDirection { adLeftRight, adTopBottom, adLeftRightInRow, adTopBottomInCol };
enum TInsertPosition { pInsertBefore, pInsertAfter };
enum THomeEndAction { heFirstLastColumn, heFirstLastRow, heFirstLastCell };
enum TCursorAdvance { caDefault, caSnake, caLoop };

class TNavigation : public TPersistent {
public:
    TNavigation() = default;
    void Assign(const TPersistent* Source) override;

    bool AllowInsertRow() const { return FAllowInsertRow; }
    void SetAllowInsertRow(bool v) { FAllowInsertRow = v; }
    bool AllowDeleteRow() const { return FAllowDeleteRow; }
    void SetAllowDeleteRow(bool v) { FAllowDeleteRow = v; }
    bool AdvanceOnEnter() const { return FAdvanceOnEnter; }
    void SetAdvanceOnEnter(bool v) { FAdvanceOnEnter = v; }
    bool AdvanceInsert() const { return FAdvanceInsert; }
    void SetAdvanceInsert(bool v);
    bool AutoGotoWhenSorted() const { return FAutoGotoWhenSorted; }
    void SetAutoGotoWhenSorted(bool v) { FAutoGotoWhenSorted = v; }
    bool AutoGotoIncremental() const { return FAutoGotoIncremental; }
    void SetAutoGotoIncremental(bool v) { FAutoGotoIncremental = v; }
    bool AutoComboDropSize() const { return FAutoComboDropSize; }
    void SetAutoComboDropSize(bool v) { FAutoComboDropSize = v; }
    bool AllowClipboardShortCuts() const { return FAllowClipboardShortCuts; }
    void SetAllowClipboardShortCuts(bool v) { FAllowClipboardShortCuts = v; }
    bool AllowRTFClipboard() const { return FAllowRTFClipboard; }
    void SetAllowRTFClipboard(bool v) { FAllowRTFClipboard = v; }
    bool AllowSmartClipboard() const { return FAllowSmartClipboard; }
    void SetAllowSmartClipboard(bool v) { FAllowSmartClipboard = v; }
    bool AllowClipboardAlways() const { return FAllowClipboardAlways; }
    void SetAllowClipboardAlways(bool v) { FAllowClipboardAlways = v; }
    bool AllowClipboardColGrow() const { return FAllowClipboardColGrow; }
    void SetAllowClipboardColGrow(bool v) { FAllowClipboardColGrow = v; }
    bool AllowClipboardRowGrow() const { return FAllowClipboardRowGrow; }
    void SetAllowClipboardRowGrow(bool v) { FAllowClipboardRowGrow = v; }
    TClipboardPasteAction ClipboardPasteAction() const { return FClipboardPasteAction; }
    void SetClipboardPasteAction(TClipboardPasteAction v) { FClipboardPasteAction = v; }
    bool CopyHTMLTagsToClipboard() const { return FCopyHTMLTagsToClipboard; }
    void SetCopyHTMLTagsToClipboard(bool v) { FCopyHTMLTagsToClipboard = v; }
    TAdvanceDirection AdvanceDirection() const { return FAdvanceDirection; }
    void SetAdvanceDirection(TAdvanceDirection v);
    bool AdvanceAuto() const { return FAdvanceAuto; }
    // True also switches AdvanceOnEnter on; False leaves it.
    void SetAdvanceAuto(bool v);
    bool AdvanceAutoEdit() const { return FAdvanceAutoEdit; }
    void SetAdvanceAutoEdit(bool v) { FAdvanceAutoEdit = v; }
    bool CursorWalkEditor() const { return FCursorWalkEditor; }
    void SetCursorWalkEditor(bool v) { FCursorWalkEditor = v; }
    bool CursorWalkAlwaysEdit() const { return FCursorWalkAlwaysEdit; }
    void SetCursorWalkAlwaysEdit(bool v) { FCursorWalkAlwaysEdit = v; }
    bool MoveRowOnSort() const { return FMoveRowOnSort; }
    void SetMoveRowOnSort(bool v) { FMoveRowOnSort = v; }
    bool KeepScrollOnSort() const { return FKeepScrollOnSort; }
    void SetKeepScrollOnSort(bool v) { FKeepScrollOnSort = v; }
    bool ImproveMaskSel() const { return FImproveMaskSel; }
    void SetImproveMaskSel(bool v) { FImproveMaskSel = v; }
    bool AlwaysEdit() const { return FAlwaysEdit; }
    void SetAlwaysEdit(bool v) { FAlwaysEdit = v; }
    TInsertPosition InsertPosition() const { return FInsertPosition; }
    void SetInsertPosition(TInsertPosition v) { FInsertPosition = v; }
    bool LineFeedOnEnter() const { return FLineFeedOnEnter; }
    void SetLineFeedOnEnter(bool v) { FLineFeedOnEnter = v; }
    THomeEndAction HomeEndKey() const { return FHomeEndKey; }
    void SetHomeEndKey(THomeEndAction v) { FHomeEndKey = v; }
    bool KeepHorizScroll() const { return FKeepHorizScroll; }
    void SetKeepHorizScroll(bool v) { FKeepHorizScroll = v; }
    bool AllowFmtClipboard() const { return FAllowFmtClipboard; }
    void SetAllowFmtClipboard(bool v) { FAllowFmtClipboard = v; }
    bool TabToNextAtEnd() const { return FTabToNextAtEnd; }
    void SetTabToNextAtEnd(bool v) { FTabToNextAtEnd = v; }
    bool EditSelectAll() const { return FEditSelectAll; }
    void SetEditSelectAll(bool v) { FEditSelectAll = v; }
    TAdvanceDirection TabAdvanceDirection() const { return FTabAdvanceDirection; }
    void SetTabAdvanceDirection(TAdvanceDirection v) { FTabAdvanceDirection = v; }
    bool SkipFixedCells() const { return FSkipFixedCells; }
    void SetSkipFixedCells(bool v) { FSkipFixedCells = v; }
    bool SkipDisabledRows() const { return FSkipDisabledRows; }
    void SetSkipDisabledRows(bool v) { FSkipDisabledRows = v; }
    bool AllowCtrlEnter() const { return FAllowCtrlEnter; }
    void SetAllowCtrlEnter(bool v) { FAllowCtrlEnter = v; }
    bool AppendOnArrowDown() const { return FAppendOnArrowDown; }
    void SetAppendOnArrowDown(bool v) { FAppendOnArrowDown = v; }
    bool LeftRightRowSelect() const { return FLeftRightRowSelect; }
    void SetLeftRightRowSelect(bool v) { FLeftRightRowSelect = v; }
    bool MoveScrollOnly() const { return FMoveScrollOnly; }
    void SetMoveScrollOnly(bool v) { FMoveScrollOnly = v; }
    bool ComboGetUpDown() const { return FComboGetUpDown; }
    void SetComboGetUpDown(bool v) { FComboGetUpDown = v; }
    bool AdvanceOnEnterLoop() const { return FAdvanceOnEnterLoop; }
    void SetAdvanceOnEnterLoop(bool v) { FAdvanceOnEnterLoop = v; }
    TCursorAdvance CursorAdvance() const { return FCursorAdvance; }
    void SetCursorAdvance(TCursorAdvance v) { FCursorAdvance = v; }
    bool AdvanceSkipReadOnlyCells() const { return FAdvanceSkipReadOnlyCells; }
    void SetAdvanceSkipReadOnlyCells(bool v) { FAdvanceSkipReadOnlyCells = v; }
    bool CursorMoveRows() const { return FCursorMoveRows; }
    void SetCursorMoveRows(bool v) { FCursorMoveRows = v; }

    TNotifyEvent OnChange;

private:
    bool FAllowInsertRow = false;
    bool FAllowDeleteRow = false;
    bool FAdvanceOnEnter = false;
    bool FAdvanceInsert = false;
    bool FAutoGotoWhenSorted = false;
    bool FAutoGotoIncremental = false;
    bool FAutoComboDropSize = false;
    bool FAllowClipboardShortCuts = false;
    bool FAllowRTFClipboard = false;
    bool FAllowSmartClipboard = false;
    bool FAllowClipboardAlways = false;
    bool FAllowClipboardColGrow = true;
    bool FAllowClipboardRowGrow = true;
    TClipboardPasteAction FClipboardPasteAction = paReplace;
    bool FCopyHTMLTagsToClipboard = true;
    TAdvanceDirection FAdvanceDirection = adLeftRight;
    bool FAdvanceAuto = false;
    bool FAdvanceAutoEdit = true;
    bool FCursorWalkEditor = false;
    bool FCursorWalkAlwaysEdit = true;
    bool FMoveRowOnSort = false;
    bool FKeepScrollOnSort = false;
    bool FImproveMaskSel = false;
    bool FAlwaysEdit = false;
    TInsertPosition FInsertPosition = pInsertBefore;
    bool FLineFeedOnEnter = false;
    THomeEndAction FHomeEndKey = heFirstLastColumn;
    bool FKeepHorizScroll = false;
    bool FAllowFmtClipboard = false;
    bool FTabToNextAtEnd = false;
    bool FEditSelectAll = true;
    TAdvanceDirection FTabAdvanceDirection = adLeftRight;
    bool FSkipFixedCells = true;
    bool FSkipDisabledRows = true;
    bool FAllowCtrlEnter = true;
    bool FAppendOnArrowDown = false;
    bool FLeftRightRowSelect = true;
    bool FMoveScrollOnly = false;
    bool FComboGetUpDown = true;
    bool FAdvanceOnEnterLoop = true;
    TCursorAdvance FCursorAdvance = caDefault;
    bool FAdvanceSkipReadOnlyCells = true;
    bool FCursorMoveRows = false;
};

enum TGridFixedCellEdit { fceNone, fceDblClick, fceLeftClick, fceRightClick };
enum TGridFixedCellEditor { fceEdit, fceComboEdit, fceComboList };
enum TWheelAction { waMoveSelection, waScroll };

using TIsDesigningEvent = std::function<void(TObject* Sender, bool& Designing)>;

class TMouseActions : public TPersistent {
public:
    // The owning grid is not kept.
    explicit TMouseActions(TComponent* AOwner);
    void Assign(const TPersistent* Source) override;

    bool ColSelect() const { return FColSelect; }
    void SetColSelect(bool v) { FColSelect = v; }
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool v) { FRowSelect = v; }
    bool AllSelect() const { return FAllSelect; }
    void SetAllSelect(bool v) { FAllSelect = v; }
    bool DirectEdit() const { return FDirectEdit; }
    void SetDirectEdit(bool v) { FDirectEdit = v; }
    bool DirectComboDrop() const { return FDirectComboDrop; }
    void SetDirectComboDrop(bool v) { FDirectComboDrop = v; }
    bool DirectComboClose() const { return FDirectComboClose; }
    void SetDirectComboClose(bool v) { FDirectComboClose = v; }
    bool DirectDateClose() const { return FDirectDateClose; }
    void SetDirectDateClose(bool v) { FDirectDateClose = v; }
    bool DirectDateDrop() const { return FDirectDateDrop; }
    void SetDirectDateDrop(bool v) { FDirectDateDrop = v; }
    // The three disjunct selections exclude each other only while designing.
    bool DisjunctRowSelect() const { return FDisjunctRowSelect; }
    void SetDisjunctRowSelect(bool v);
    bool DisjunctColSelect() const { return FDisjunctColSelect; }
    void SetDisjunctColSelect(bool v);
    bool DisjunctCellSelect() const { return FDisjunctCellSelect; }
    void SetDisjunctCellSelect(bool v);
    // Reads and writes the field without the setter's rules.
    bool DisjunctRowSelectDirect() const { return FDisjunctRowSelect; }
    void SetDisjunctRowSelectDirect(bool v) { FDisjunctRowSelect = v; }
    bool AllColumnSize() const { return FAllColumnSize; }
    void SetAllColumnSize(bool v) { FAllColumnSize = v; }
    bool AllRowSize() const { return FAllRowSize; }
    void SetAllRowSize(bool v) { FAllRowSize = v; }
    bool CaretPositioning() const { return FCaretPositioning; }
    void SetCaretPositioning(bool v) { FCaretPositioning = v; }
    bool SizeFixedCol() const { return FSizeFixedCol; }
    void SetSizeFixedCol(bool v) { FSizeFixedCol = v; }
    bool SizeFixedRow() const { return FSizeFixedRow; }
    void SetSizeFixedRow(bool v) { FSizeFixedRow = v; }
    TGridFixedCellEdit FixedRowsEdit() const { return FFixedRowsEdit; }
    void SetFixedRowsEdit(TGridFixedCellEdit v) { FFixedRowsEdit = v; }
    TGridFixedCellEdit FixedColsEdit() const { return FFixedColsEdit; }
    void SetFixedColsEdit(TGridFixedCellEdit v) { FFixedColsEdit = v; }
    TGridFixedCellEditor FixedRowsEditor() const { return FFixedRowsEditor; }
    void SetFixedRowsEditor(TGridFixedCellEditor v) { FFixedRowsEditor = v; }
    TGridFixedCellEditor FixedColsEditor() const { return FFixedColsEditor; }
    void SetFixedColsEditor(TGridFixedCellEditor v) { FFixedColsEditor = v; }
    bool HotmailRowSelect() const { return FHotmailRowSelect; }
    // True also sets DisjunctRowSelect and CheckAllCheck; then OnInvalidate fires.
    void SetHotmailRowSelect(bool v);
    bool RangeSelectAndEdit() const { return FRangeSelectAndEdit; }
    void SetRangeSelectAndEdit(bool v) { FRangeSelectAndEdit = v; }
    bool NoAutoRangeScroll() const { return FNoAutoRangeScroll; }
    void SetNoAutoRangeScroll(bool v) { FNoAutoRangeScroll = v; }
    bool PreciseCheckBoxCheck() const { return FPreciseCheckBoxCheck; }
    void SetPreciseCheckBoxCheck(bool v) { FPreciseCheckBoxCheck = v; }
    bool PreciseNodeClick() const { return FPreciseNodeClick; }
    void SetPreciseNodeClick(bool v) { FPreciseNodeClick = v; }
    bool CheckAllCheck() const { return FCheckAllCheck; }
    void SetCheckAllCheck(bool v) { FCheckAllCheck = v; }
    bool NodeAllExpandContract() const { return FNodeAllExpandContract; }
    void SetNodeAllExpandContract(bool v) { FNodeAllExpandContract = v; }
    bool MoveRowOnNodeClick() const { return FMoveRowOnNodeClick; }
    void SetMoveRowOnNodeClick(bool v) { FMoveRowOnNodeClick = v; }
    bool RowSelectPersistent() const { return FRowSelectPersistent; }
    void SetRowSelectPersistent(bool v) { FRowSelectPersistent = v; }
    bool SelectOnRightClick() const { return FSelectOnRightClick; }
    void SetSelectOnRightClick(bool v) { FSelectOnRightClick = v; }
    bool NoScrollOnPartialRow() const { return FNoScrollOnPartialRow; }
    void SetNoScrollOnPartialRow(bool v) { FNoScrollOnPartialRow = v; }
    int WheelIncrement() const { return FWheelIncrement; }
    void SetWheelIncrement(int v) { FWheelIncrement = v; }
    TWheelAction WheelAction() const { return FWheelAction; }
    void SetWheelAction(TWheelAction v);
    bool AutoSizeColOnDblClick() const { return FAutoSizeColOnDblClick; }
    void SetAutoSizeColOnDblClick(bool v) { FAutoSizeColOnDblClick = v; }
    bool EditOnDblClickOnly() const { return FEditOnDblClickOnly; }
    // True fires OnDisableEdit.
    void SetEditOnDblClickOnly(bool v);
    bool DisjunctRowSelectNoCtrl() const { return FDisjunctRowSelectNoCtrl; }
    void SetDisjunctRowSelectNoCtrl(bool v) { FDisjunctRowSelectNoCtrl = v; }
    TStringList* FixedComboValues() const { return FFixedComboValues.get(); }
    void SetFixedComboValues(const TStrings* v) { FFixedComboValues->Assign(v); }

    TNotifyEvent OnChange;
    TNotifyEvent OnInvalidate;
    TIsDesigningEvent OnIsDesigning;
    TNotifyEvent OnDisableEdit;

private:
    bool designing();
    bool FColSelect = false;
    bool FRowSelect = false;
    bool FAllSelect = false;
    bool FDirectEdit = false;
    bool FDirectComboDrop = false;
    bool FDirectComboClose = false;
    bool FDirectDateClose = false;
    bool FDirectDateDrop = false;
    bool FDisjunctRowSelect = false;
    bool FDisjunctColSelect = false;
    bool FAllColumnSize = false;
    bool FAllRowSize = false;
    bool FCaretPositioning = false;
    bool FSizeFixedCol = false;
    bool FSizeFixedRow = false;
    bool FDisjunctCellSelect = false;
    TGridFixedCellEdit FFixedRowsEdit = fceNone;
    TGridFixedCellEdit FFixedColsEdit = fceNone;
    TGridFixedCellEditor FFixedRowsEditor = fceEdit;
    TGridFixedCellEditor FFixedColsEditor = fceEdit;
    bool FHotmailRowSelect = false;
    bool FRangeSelectAndEdit = false;
    bool FNoAutoRangeScroll = false;
    bool FPreciseCheckBoxCheck = false;
    bool FPreciseNodeClick = true;
    bool FCheckAllCheck = false;
    bool FNodeAllExpandContract = false;
    bool FMoveRowOnNodeClick = false;
    bool FRowSelectPersistent = false;
    bool FSelectOnRightClick = false;
    bool FNoScrollOnPartialRow = false;
    int FWheelIncrement = 0;
    TWheelAction FWheelAction = waMoveSelection;
    bool FAutoSizeColOnDblClick = true;
    bool FEditOnDblClickOnly = false;
    bool FDisjunctRowSelectNoCtrl = false;
    std::unique_ptr<TStringList> FFixedComboValues;
};

enum TSearchDirection { sdTopBottom, sdLeftRight };

class TSearchFooter : public TPersistent {
public:
    // The owning grid is not kept; InitDesign fills the captions and hints with their texts.
    TSearchFooter(TComponent* AOwner, bool InitDesign);
    void Assign(const TPersistent* Source) override;

    bool ShowFindPrev() const { return FShowFindPrev; }
    void SetShowFindPrev(bool v);
    bool ShowFindNext() const { return FShowFindNext; }
    void SetShowFindNext(bool v);
    const std::string& FindNextCaption() const { return FFindNextCaption; }
    void SetFindNextCaption(const std::string& v);
    const std::string& FindPrevCaption() const { return FFindPrevCaption; }
    void SetFindPrevCaption(const std::string& v);
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool v);
    bool ShowClose() const { return FShowClose; }
    void SetShowClose(bool v);
    bool ShowHighLight() const { return FShowHighLight; }
    void SetShowHighLight(bool v);
    bool ShowMatchCase() const { return FShowMatchCase; }
    void SetShowMatchCase(bool v);
    const std::string& MatchCaseCaption() const { return FMatchCaseCaption; }
    void SetMatchCaseCaption(const std::string& v);
    const std::string& HintClose() const { return FHintClose; }
    void SetHintClose(const std::string& v);
    const std::string& HintFindPrev() const { return FHintFindPrev; }
    void SetHintFindPrev(const std::string& v);
    const std::string& HintHighlight() const { return FHintHighlight; }
    void SetHintHighlight(const std::string& v);
    const std::string& HintFindNext() const { return FHintFindNext; }
    void SetHintFindNext(const std::string& v);
    bool AutoSearch() const { return FAutoSearch; }
    void SetAutoSearch(bool v);
    const std::string& LastSearch() const { return FLastSearch; }
    void SetLastSearch(const std::string& v);
    int SearchColumn() const { return FSearchColumn; }
    void SetSearchColumn(int v);
    bool SearchActiveColumnOnly() const { return FSearchActiveColumnOnly; }
    void SetSearchActiveColumnOnly(bool v);
    bool SearchMatchStart() const { return FSearchMatchStart; }
    void SetSearchMatchStart(bool v);
    bool SearchFixedCells() const { return FSearchFixedCells; }
    void SetSearchFixedCells(bool v);
    bool SearchHiddenRows() const { return FSearchHiddenRows; }
    void SetSearchHiddenRows(bool v);
    const std::string& HighLightCaption() const { return FHighLightCaption; }
    void SetHighLightCaption(const std::string& v);
    bool AlwaysHighLight() const { return FAlwaysHighLight; }
    void SetAlwaysHighLight(bool v);
    TSearchDirection SearchDirection() const { return FSearchDirection; }
    void SetSearchDirection(TSearchDirection v);
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* v);

    TNotifyEvent OnChange;

private:
    void changed();
    template <typename T> void store(T& field, const T& v);
    template <typename T> void storeIfChanged(T& field, const T& v);
    bool FShowFindPrev = true;
    bool FShowFindNext = true;
    std::string FFindNextCaption;
    std::string FFindPrevCaption;
    TColor FColorTo = clBtnFace;
    TColor FColor = clWhite;
    bool FVisible = false;
    bool FAutoThemeAdapt = false;
    bool FShowClose = true;
    bool FShowHighLight = true;
    bool FShowMatchCase = true;
    std::string FMatchCaseCaption;
    std::string FHintClose;
    std::string FHintFindPrev;
    std::string FHintHighlight;
    std::string FHintFindNext;
    bool FAutoSearch = true;
    std::string FLastSearch;
    int FSearchColumn = -1;
    bool FSearchActiveColumnOnly = false;
    bool FSearchMatchStart = false;
    bool FSearchFixedCells = false;
    bool FSearchHiddenRows = false;
    std::string FHighLightCaption;
    bool FAlwaysHighLight = false;
    TSearchDirection FSearchDirection = sdTopBottom;
    std::unique_ptr<TFont> FFont;
};

class TSyncGrid : public TPersistent {
public:
    explicit TSyncGrid(TComponent* AOwner) : FOwner(AOwner) {}
    void Assign(const TPersistent* Source) override;
    TComponent* Owner() const { return FOwner; }

    bool ScrollHorizontal() const { return FScrollHorizontal; }
    void SetScrollHorizontal(bool v) { FScrollHorizontal = v; }
    TStringGrid* Grid() const { return FGrid; }
    // A grid cannot be synchronised with itself: the owner is refused.
    void SetGrid(TStringGrid* v);
    bool ScrollVertical() const { return FScrollVertical; }
    void SetScrollVertical(bool v) { FScrollVertical = v; }
    bool SelectionRow() const { return FSelectionRow; }
    void SetSelectionRow(bool v) { FSelectionRow = v; }
    bool SelectionColumn() const { return FSelectionColumn; }
    void SetSelectionColumn(bool v) { FSelectionColumn = v; }
    bool MoveRow() const { return FMoveRow; }
    void SetMoveRow(bool v) { FMoveRow = v; }
    bool MoveColumn() const { return FMoveColumn; }
    void SetMoveColumn(bool v) { FMoveColumn = v; }

private:
    TComponent* FOwner;
    bool FScrollHorizontal = false;
    TStringGrid* FGrid = nullptr;
    bool FScrollVertical = false;
    bool FSelectionRow = false;
    bool FSelectionColumn = false;
    bool FMoveRow = false;
    bool FMoveColumn = false;
};

// Row banding: PrimaryLength rows in PrimaryColor, then SecondaryLength rows in SecondaryColor.
class TBands : public TPersistent {
public:
    void Assign(const TPersistent* Source) override;

    bool Print() const { return FPrint; }
    void SetPrint(bool v) { FPrint = v; }
    bool Active() const { return FActive; }
    void SetActive(bool v);
    int TotalLength() const { return FTotalLength; }
    int SecondaryLength() const { return FSecondaryLength; }
    void SetSecondaryLength(int v);
    int PrimaryLength() const { return FPrimaryLength; }
    void SetPrimaryLength(int v);
    TColor SecondaryColor() const { return FSecondaryColor; }
    void SetSecondaryColor(TColor v);
    TColor PrimaryColor() const { return FPrimaryColor; }
    void SetPrimaryColor(TColor v);

    TNotifyEvent OnChange;

private:
    // Look changes are reported only while the bands are active.
    void lookChanged();
    bool FPrint = false;
    bool FActive = false;
    int FTotalLength = 2;
    int FSecondaryLength = 1;
    int FPrimaryLength = 1;
    TColor FSecondaryColor = clWindow;
    TColor FPrimaryColor = clInfoBk;
};

class TFocusHelper : public TPersistent {
public:
    explicit TFocusHelper(TComponent* /*AOwner: not kept*/) {}
    void Assign(const TPersistent* Source) override;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v) { FEnabled = v; }

private:
    bool FEnabled = false;
};

// Marking of edited rows: a bar in column 0 of each modified row.
class TShowModified : public TPersistent {
public:
    void Assign(const TPersistent* Source) override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v) { FEnabled = v; }
    TColor Color() const { return FColor; }
    // Fires OnChange also when the colour stays the same.
    void SetColor(TColor v);

    TNotifyEvent OnChange;

private:
    bool FEnabled = false;
    TColor FColor = clYellow;
};
