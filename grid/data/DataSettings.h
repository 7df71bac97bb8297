#pragma once
// Settings objects of the grid's data services (HTML export, drag and drop, drag scrolling,
// filtering, header filter lists, printing, sorting, grouping). The grid creates them with
// their defaults and copies them through Assign; the services that act on them read them.
#include "grid/core/base/GridSupport.h"
#include "platform/base/Classes.h"
#include "platform/gfx/Graphics.h"
#include "platform/print/Printers.h"
#include "platform/ui/StdCtrls.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TCustomGrid;

// --- HTML export -----------------------------------------------------------------------------
class THTMLSettings : public TPersistent {
public:
    THTMLSettings();
    // Every setting but ExportImages and ColWidths.
    void Assign(const TPersistent* Source) override;

    bool AutoPreview() const { return FAutoPreview; }
    void SetAutoPreview(bool v) { FAutoPreview = v; }
    int BorderSize() const { return FBorderSize; }
    void SetBorderSize(int v) { FBorderSize = v; }
    int CellSpacing() const { return FCellSpacing; }
    void SetCellSpacing(int v) { FCellSpacing = v; }
    int CellPadding() const { return FCellPadding; }
    void SetCellPadding(int v) { FCellPadding = v; }
    bool ConvertSpecialChars() const { return FConvertSpecialChars; }
    void SetConvertSpecialChars(bool v) { FConvertSpecialChars = v; }
    bool ExportImages() const { return FExportImages; }
    void SetExportImages(bool v) { FExportImages = v; }
    const std::string& FooterFile() const { return FFooterFile; }
    void SetFooterFile(const std::string& v) { FFooterFile = v; }
    const std::string& HeaderFile() const { return FHeaderFile; }
    void SetHeaderFile(const std::string& v) { FHeaderFile = v; }
    bool NonBreakingText() const { return FNonBreakingText; }
    void SetNonBreakingText(bool v) { FNonBreakingText = v; }
    const std::string& PrefixTag() const { return FPrefixTag; }
    void SetPrefixTag(const std::string& v) { FPrefixTag = v; }
    bool SaveColor() const { return FSaveColor; }
    void SetSaveColor(bool v) { FSaveColor = v; }
    bool SaveFonts() const { return FSaveFonts; }
    void SetSaveFonts(bool v) { FSaveFonts = v; }
    const std::string& SuffixTag() const { return FSuffixTag; }
    void SetSuffixTag(const std::string& v) { FSuffixTag = v; }
    const std::string& Summary() const { return FSummary; }
    void SetSummary(const std::string& v) { FSummary = v; }
    const std::string& TableStyle() const { return FTableStyle; }
    void SetTableStyle(const std::string& v) { FTableStyle = v; }
    int Width() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }
    bool XHTML() const { return FXHTML; }
    void SetXHTML(bool v) { FXHTML = v; }
    TIntList* ColWidths() const { return FColWidths.get(); }

private:
    bool FAutoPreview = false;
    int FBorderSize = 1;
    int FCellSpacing = 0;
    int FCellPadding = 0;
    bool FConvertSpecialChars = false;
    bool FExportImages = true;
    std::string FFooterFile;
    std::string FHeaderFile;
    bool FNonBreakingText = false;
    std::string FPrefixTag;
    bool FSaveColor = true;
    bool FSaveFonts = true;
    std::string FSuffixTag;
    std::string FSummary;
    std::string FTableStyle;
    int FWidth = 100;
    bool FXHTML = false;
    std::unique_ptr<TIntList> FColWidths;
};

// --- drag and drop ---------------------------------------------------------------------------
class TDragDropSettings : public TPersistent {
public:
    // The owning grid is kept for the drop-target registration.
    explicit TDragDropSettings(TComponent* AOwner) : FOwner(AOwner) {}
    void Assign(const TPersistent* Source) override;
    TComponent* Owner() const { return FOwner; }

    bool ShowCells() const { return FShowCells; }
    void SetShowCells(bool v) { FShowCells = v; }
    bool OleAcceptFiles() const { return FOleAcceptFiles; }
    void SetOleAcceptFiles(bool v) { FOleAcceptFiles = v; }
    bool OleAcceptText() const { return FOleAcceptText; }
    void SetOleAcceptText(bool v) { FOleAcceptText = v; }
    bool OleAcceptURLs() const { return FOleAcceptURLs; }
    void SetOleAcceptURLs(bool v) { FOleAcceptURLs = v; }
    bool OleAppendRows() const { return FOleAppendRows; }
    void SetOleAppendRows(bool v) { FOleAppendRows = v; }
    bool OleColumnDragDrop() const { return FOleColumnDragDrop; }
    void SetOleColumnDragDrop(bool v) { FOleColumnDragDrop = v; }
    bool OleColumnReorder() const { return FOleColumnReorder; }
    void SetOleColumnReorder(bool v) { FOleColumnReorder = v; }
    bool OleColumnsOnly() const { return FOleColumnsOnly; }
    void SetOleColumnsOnly(bool v) { FOleColumnsOnly = v; }
    bool OleCopyAlways() const { return FOleCopyAlways; }
    void SetOleCopyAlways(bool v) { FOleCopyAlways = v; }
    bool OleDropTarget() const { return FOleDropTarget; }
    // Stores, then the grid registers or revokes its drop target (OnDropTargetChange).
    void SetOleDropTarget(bool v) {
        FOleDropTarget = v;
        if (OnDropTargetChange) OnDropTargetChange(this);
    }
    bool OleDropSource() const { return FOleDropSource; }
    void SetOleDropSource(bool v) { FOleDropSource = v; }
    bool OleEntireRows() const { return FOleEntireRows; }
    void SetOleEntireRows(bool v) { FOleEntireRows = v; }
    bool OleInsertRows() const { return FOleInsertRows; }
    void SetOleInsertRows(bool v) { FOleInsertRows = v; }
    bool OleRemoveRows() const { return FOleRemoveRows; }
    void SetOleRemoveRows(bool v) { FOleRemoveRows = v; }
    bool OleDropRTF() const { return FOleDropRTF; }
    // Also switches rich text on or off for every drag and drop (SetDropRTF).
    void SetOleDropRTF(bool v);

    TNotifyEvent OnDropTargetChange;

private:
    TComponent* FOwner;
    bool FShowCells = true;
    bool FOleAcceptFiles = true;
    bool FOleAcceptText = true;
    bool FOleAcceptURLs = true;
    bool FOleAppendRows = false;
    bool FOleColumnDragDrop = false;
    bool FOleColumnReorder = false;
    bool FOleColumnsOnly = false;
    bool FOleCopyAlways = false;
    bool FOleDropTarget = false;
    bool FOleDropSource = false;
    bool FOleEntireRows = false;
    bool FOleInsertRows = false;
    bool FOleRemoveRows = false;
    bool FOleDropRTF = false;
};

class TDragScrollDelays : public TPersistent {
public:
    void Assign(const TPersistent* Source) override;
    int InitialDelay() const { return FInitialDelay; }
    void SetInitialDelay(int v) { FInitialDelay = v; }
    int RepeatDelay() const { return FRepeatDelay; }
    void SetRepeatDelay(int v) { FRepeatDelay = v; }

private:
    int FInitialDelay = 1000;
    int FRepeatDelay = 250;
};

class TDragScrollMargins : public TPersistent {
public:
    void Assign(const TPersistent* Source) override;
    int TopMargin() const { return FTopMargin; }
    void SetTopMargin(int v) { FTopMargin = v; }
    int BottomMargin() const { return FBottomMargin; }
    void SetBottomMargin(int v) { FBottomMargin = v; }
    int LeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(int v) { FLeftMargin = v; }
    int RightMargin() const { return FRightMargin; }
    void SetRightMargin(int v) { FRightMargin = v; }

private:
    int FTopMargin = 50;
    int FBottomMargin = 50;
    int FLeftMargin = 50;
    int FRightMargin = 50;
};

class TDragScrollOptions : public TPersistent {
public:
    TDragScrollOptions();
    void Assign(const TPersistent* Source) override;
    bool Active() const { return FActive; }
    void SetActive(bool v) { FActive = v; }
    TDragScrollDelays* Delays() const { return FDelays.get(); }
    void SetDelays(const TDragScrollDelays* v) { FDelays->Assign(v); }
    TDragScrollMargins* Margins() const { return FMargins.get(); }
    void SetMargins(const TDragScrollMargins* v) { FMargins->Assign(v); }

private:
    bool FActive = false;
    std::unique_ptr<TDragScrollDelays> FDelays;
    std::unique_ptr<TDragScrollMargins> FMargins;
};

// --- filtering -------------------------------------------------------------------------------
enum TFilterOperation { foSHORT, foNONE, foAND, foXOR, foOR };
enum TFilterCells { fcVirtual, fcNormal, fcStripHTML, fcCalculated, fcRow };
enum TFilterMethod { fmExpression, fmLiteral };

// One filter condition on a column (real index).
class TFilterData : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    // Every field but Method.
    void Assign(const TPersistent* Source) override;

    int Column() const { return FColumn; }
    void SetColumn(int v) { FColumn = short(v); }
    const std::string& Condition() const { return FCondition; }
    void SetCondition(const std::string& v) { FCondition = v; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool v) { FCaseSensitive = v; }
    const std::string& Suffix() const { return FSuffix; }
    void SetSuffix(const std::string& v) { FSuffix = v; }
    const std::string& Prefix() const { return FPrefix; }
    void SetPrefix(const std::string& v) { FPrefix = v; }
    TFilterOperation Operation() const { return FOperation; }
    void SetOperation(TFilterOperation v) { FOperation = v; }
    TFilterCells Data() const { return FData; }
    void SetData(TFilterCells v) { FData = v; }
    TFilterMethod Method() const { return FMethod; }
    void SetMethod(TFilterMethod v) { FMethod = v; }

private:
    short FColumn = 0;
    std::string FCondition;
    bool FCaseSensitive = true;
    std::string FSuffix;
    std::string FPrefix;
    TFilterOperation FOperation = foSHORT;
    TFilterCells FData = fcVirtual;
    TFilterMethod FMethod = fmExpression;
};

// The grid's filter conditions.
class TFilter : public TCollection {
public:
    explicit TFilter(TCustomGrid* AOwner);
    TCustomGrid* Owner() const { return FOwner; }
    TFilterData* Items(int index) const;
    void SetItems(int index, const TFilterData* v) { Items(index)->Assign(v); }
    // The only condition joins with foNONE, later ones with foAND.
    TFilterData* Add();
    // Inserts at index (appends past the end); the operation stays foSHORT.
    TFilterData* Insert(int index);
    // The first condition of the column; one is added when there is none.
    TFilterData* ColumnFilter(int Col);
    // Deletes every condition of the column and repaints its header cell in row 0.
    void RemoveColumnFilter(int Col);
    bool HasFilter(int Col) const;

private:
    TCustomGrid* FOwner;
};

// The look of the header filter lists.
class TFilterDropDown : public TPersistent {
public:
    TFilterDropDown();
    // Every setting but AutoSize.
    void Assign(const TPersistent* Source) override;

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v) { FAutoSize = v; }
    int Height() const { return FHeight; }
    void SetHeight(int v) { FHeight = v; }
    int Width() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { FColor = v; }
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* v) { FFont->Assign(v); }
    // A change of either glyph fires OnChange.
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* v);
    TBitmap* GlyphActive() const { return FGlyphActive.get(); }
    void SetGlyphActive(const TBitmap* v);
    bool ColumnWidth() const { return FColumnWidth; }
    void SetColumnWidth(bool v) { FColumnWidth = v; }

    TNotifyEvent OnChange;

private:
    void changed();
    bool FAutoSize = false;
    int FHeight = 150;
    int FWidth = 150;
    TColor FColor = clWindow;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TBitmap> FGlyph;
    std::unique_ptr<TBitmap> FGlyphActive;
    bool FColumnWidth = false;
};

using TDropSelectEvent = std::function<void(TObject* Sender, int ItemIndex)>;

// What both header filter lists share: created hidden and 0 x 0 by the grid, they report a
// choice through OnSelect; a cancel-mode notice while the pointer is outside hides the list
// and fires OnCancel.
class TFilterListBox : public TListBox {
public:
    using TListBox::TListBox;
    TDropSelectEvent OnSelect;
    TNotifyEvent OnCancel;

protected:
    void WMCancelMode(TWMNoParams& Message) override;
};

// The pick list: Enter or a left release on an item hides it and reports the item.
class TDropList : public TFilterListBox {
public:
    using TFilterListBox::TFilterListBox;

protected:
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
};

// The check list: a box before every item; a click on an item or the space key toggles it and
// reports index -1. It stays open across toggles.
class TDropCheckList : public TFilterListBox {
public:
    explicit TDropCheckList(TComponent* AOwner);
    bool Checked(int Index) const;
    void SetChecked(int Index, bool Value);
    // Removes the items and their check states.
    void ClearItems();

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;

private:
    void toggle(int Index);
    std::vector<char> FChecked;
};

// --- printing --------------------------------------------------------------------------------
enum TPrintPosition {
    ppNone,
    ppTopLeft,
    ppTopRight,
    ppTopCenter,
    ppBottomLeft,
    ppBottomRight,
    ppBottomCenter
};
enum TPrintBorders {
    pbNoborder,
    pbSingle,
    pbDouble,
    pbVertical,
    pbHorizontal,
    pbAround,
    pbAroundVertical,
    pbAroundHorizontal,
    pbCustom
};
enum TFitToPage { fpNever, fpGrow, fpShrink, fpAlways, fpCustom };

// Print layout settings; lengths in tenths of a millimetre. Data only: no change events.
class TPrintSettings : public TPersistent {
public:
    explicit TPrintSettings(TComponent* AOwner);
    // Every setting but FixedCellsAlways; another class raises EConvertError.
    void Assign(const TPersistent* Source) override;
    TComponent* Owner() const { return FOwner; }

    TPrintPosition Time() const { return FTime; }
    void SetTime(TPrintPosition v) { FTime = v; }
    TPrintPosition Date() const { return FDate; }
    void SetDate(TPrintPosition v) { FDate = v; }
    TPrintPosition PageNr() const { return FPageNr; }
    void SetPageNr(TPrintPosition v) { FPageNr = v; }
    const std::string& PageNumSep() const { return FPageNumSep; }
    void SetPageNumSep(const std::string& v) { FPageNumSep = v; }
    const std::string& DateFormat() const { return FDateFormat; }
    void SetDateFormat(const std::string& v) { FDateFormat = v; }
    TPrintPosition Title() const { return FTitle; }
    void SetTitle(TPrintPosition v) { FTitle = v; }
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* v) { FFont->Assign(v); }
    TFont* HeaderFont() const { return FHeaderFont.get(); }
    void SetHeaderFont(const TFont* v) { FHeaderFont->Assign(v); }
    TFont* FooterFont() const { return FFooterFont.get(); }
    void SetFooterFont(const TFont* v) { FFooterFont->Assign(v); }
    TPrintBorders Borders() const { return FBorders; }
    void SetBorders(TPrintBorders v) { FBorders = v; }
    TPenStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TPenStyle v) { FBorderStyle = v; }
    const std::string& TitleText() const { return FTitleText; }
    void SetTitleText(const std::string& v) { FTitleText = v; }
    TStringList* TitleLines() const { return FTitleLines.get(); }
    void SetTitleLines(const TStrings* v) { FTitleLines->Assign(v); }
    bool Centered() const { return FCentered; }
    void SetCentered(bool v) { FCentered = v; }
    bool RepeatFixedRows() const { return FRepeatFixedRows; }
    void SetRepeatFixedRows(bool v) { FRepeatFixedRows = v; }
    bool RepeatFixedCols() const { return FRepeatFixedCols; }
    void SetRepeatFixedCols(bool v) { FRepeatFixedCols = v; }
    int FooterSize() const { return FFooterSize; }
    void SetFooterSize(int v) { FFooterSize = v; }
    int HeaderSize() const { return FHeaderSize; }
    void SetHeaderSize(int v) { FHeaderSize = v; }
    int LeftSize() const { return FLeftSize; }
    void SetLeftSize(int v) { FLeftSize = v; }
    int RightSize() const { return FRightSize; }
    void SetRightSize(int v) { FRightSize = v; }
    int ColumnSpacing() const { return FColumnSpacing; }
    void SetColumnSpacing(int v) { FColumnSpacing = v; }
    int RowSpacing() const { return FRowSpacing; }
    void SetRowSpacing(int v) { FRowSpacing = v; }
    int TitleSpacing() const { return FTitleSpacing; }
    void SetTitleSpacing(int v) { FTitleSpacing = v; }
    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation v) { FOrientation = v; }
    const std::string& PagePrefix() const { return FPagePrefix; }
    void SetPagePrefix(const std::string& v) { FPagePrefix = v; }
    const std::string& PageSuffix() const { return FPageSuffix; }
    void SetPageSuffix(const std::string& v) { FPageSuffix = v; }
    int FixedHeight() const { return FFixedHeight; }
    void SetFixedHeight(int v) { FFixedHeight = v; }
    bool UseFixedHeight() const { return FUseFixedHeight; }
    void SetUseFixedHeight(bool v) { FUseFixedHeight = v; }
    int FixedWidth() const { return FFixedWidth; }
    void SetFixedWidth(int v) { FFixedWidth = v; }
    bool UseFixedWidth() const { return FUseFixedWidth; }
    void SetUseFixedWidth(bool v) { FUseFixedWidth = v; }
    TFitToPage FitToPage() const { return FFitToPage; }
    void SetFitToPage(TFitToPage v) { FFitToPage = v; }
    bool NoAutoSize() const { return FNoAutoSize; }
    void SetNoAutoSize(bool v) { FNoAutoSize = v; }
    bool PrintGraphics() const { return FPrintGraphics; }
    void SetPrintGraphics(bool v) { FPrintGraphics = v; }
    const std::string& JobName() const { return FJobName; }
    void SetJobName(const std::string& v) { FJobName = v; }
    bool NoAutoSizeRow() const { return FNoAutoSizeRow; }
    void SetNoAutoSizeRow(bool v) { FNoAutoSizeRow = v; }
    int PageNumberOffset() const { return FPageNumberOffset; }
    void SetPageNumberOffset(int v) { FPageNumberOffset = v; }
    int MaxPagesOffset() const { return FMaxPagesOffset; }
    void SetMaxPagesOffset(int v) { FMaxPagesOffset = v; }
    TFont* FixedFont() const { return FFixedFont.get(); }
    void SetFixedFont(const TFont* v) { FFixedFont->Assign(v); }
    bool UseDisplayFont() const { return FUseDisplayFont; }
    void SetUseDisplayFont(bool v) { FUseDisplayFont = v; }
    bool UseDefaultOrientation() const { return FUseDefaultOrientation; }
    void SetUseDefaultOrientation(bool v) { FUseDefaultOrientation = v; }
    bool FixedCellsAlways() const { return FFixedCellsAlways; }
    void SetFixedCellsAlways(bool v) { FFixedCellsAlways = v; }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { FBorderColor = v; }

private:
    TComponent* FOwner;
    TPrintPosition FTime = ppNone;
    TPrintPosition FDate = ppNone;
    TPrintPosition FPageNr = ppNone;
    std::string FPageNumSep = "/";
    std::string FDateFormat = "dd/mm/yyyy";
    TPrintPosition FTitle = ppNone;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TFont> FHeaderFont;
    std::unique_ptr<TFont> FFooterFont;
    TPrintBorders FBorders = pbSingle;
    TPenStyle FBorderStyle = psSolid;
    std::string FTitleText;
    std::unique_ptr<TStringList> FTitleLines;
    bool FCentered = true;
    bool FRepeatFixedRows = false;
    bool FRepeatFixedCols = false;
    int FFooterSize = 0;
    int FHeaderSize = 0;
    int FLeftSize = 0;
    int FRightSize = 0;
    int FColumnSpacing = 0;
    int FRowSpacing = 0;
    int FTitleSpacing = 0;
    TPrinterOrientation FOrientation = poPortrait;
    std::string FPagePrefix;
    std::string FPageSuffix;
    int FFixedHeight = 0;
    bool FUseFixedHeight = false;
    int FFixedWidth = 0;
    bool FUseFixedWidth = false;
    TFitToPage FFitToPage = fpNever;
    bool FNoAutoSize = false;
    bool FPrintGraphics = false;
    std::string FJobName;
    bool FNoAutoSizeRow = false;
    int FPageNumberOffset = 0;
    int FMaxPagesOffset = 0;
    std::unique_ptr<TFont> FFixedFont;
    bool FUseDisplayFont = true;
    bool FUseDefaultOrientation = false;
    bool FFixedCellsAlways = false;
    TColor FBorderColor = clBlack;
};

// --- sorting ---------------------------------------------------------------------------------
// How a column's cells compare.
enum TSortStyle : int {
    ssAutomatic,
    ssAlphabetic,
    ssNumeric,
    ssDate,
    ssAlphaNoCase,
    ssAlphaCase,
    ssShortDateEU,
    ssShortDateUS,
    ssCustom,
    ssFinancial,
    ssAnsiAlphaCase,
    ssAnsiAlphaNoCase,
    ssRaw,
    ssHTML,
    ssImages,
    ssCheckBox,
    ssDateTime,
    ssTime,
    ssAlphaNumeric,
    ssAlphaNumericNoCase
};
enum TSortBlankPosition { blFirst, blLast };
enum TSortDirection : int { sdAscending, sdDescending };
enum TIndexSortKey { ikShift, ikCtrl };

class ESortSettingsError : public Exception {
public:
    using Exception::Exception;
};

class TSortSettings : public TPersistent {
public:
    // The grid is kept: some setters repaint it.
    explicit TSortSettings(TCustomGrid* AOwner);
    // Every setting but IgnoreCase and SortOnVirtualCells; another class is ignored.
    void Assign(const TPersistent* Source) override;
    TCustomGrid* Owner() const { return FOwner; }

    bool Show() const { return FShow; }
    void SetShow(bool v);
    bool IndexShow() const { return FIndexShow; }
    void SetIndexShow(bool v) { FIndexShow = v; }
    bool Full() const { return FFull; }
    void SetFull(bool v) { FFull = v; }
    bool SingleColumn() const { return FSingleColumn; }
    void SetSingleColumn(bool v) { FSingleColumn = v; }
    bool IgnoreBlanks() const { return FIgnoreBlanks; }
    void SetIgnoreBlanks(bool v) { FIgnoreBlanks = v; }
    TSortBlankPosition BlankPos() const { return FBlankPos; }
    void SetBlankPos(TSortBlankPosition v) { FBlankPos = v; }
    bool AutoFormat() const { return FAutoFormat; }
    void SetAutoFormat(bool v) { FAutoFormat = v; }
    TSortDirection Direction() const { return FDirection; }
    void SetDirection(TSortDirection v) { FDirection = v; }
    TBitmap* UpGlyph() const { return FUpGlyph.get(); }
    void SetUpGlyph(const TBitmap* v) { FUpGlyph->Assign(v); }
    TBitmap* DownGlyph() const { return FDownGlyph.get(); }
    void SetDownGlyph(const TBitmap* v) { FDownGlyph->Assign(v); }
    TBitmap* IndexUpGlyph() const { return FIndexUpGlyph.get(); }
    void SetIndexUpGlyph(const TBitmap* v) { FIndexUpGlyph->Assign(v); }
    TBitmap* IndexDownGlyph() const { return FIndexDownGlyph.get(); }
    void SetIndexDownGlyph(const TBitmap* v) { FIndexDownGlyph->Assign(v); }
    bool NormalCellsOnly() const { return FNormalCellsOnly; }
    void SetNormalCellsOnly(bool v) { FNormalCellsOnly = v; }
    bool FixedCols() const { return FFixedCols; }
    void SetFixedCols(bool v) { FFixedCols = v; }
    int Column() const { return FColumn; }
    void SetColumn(int v) { FColumn = v; }
    int Row() const { return FRow; }
    // Refuses a row that is not one of the grid's fixed rows.
    void SetRow(int v);
    bool AutoColumnMerge() const { return FAutoColumnMerge; }
    void SetAutoColumnMerge(bool v) { FAutoColumnMerge = v; }
    TColor IndexColor() const { return FIndexColor; }
    void SetIndexColor(TColor v) { FIndexColor = v; }
    TSortDirection InitSortDirection() const { return FInitSortDirection; }
    void SetInitSortDirection(TSortDirection v) { FInitSortDirection = v; }
    bool UndoSort() const { return FUndoSort; }
    void SetUndoSort(bool v) { FUndoSort = v; }
    bool AutoSortForGrouping() const { return FAutoSortForGrouping; }
    void SetAutoSortForGrouping(bool v) { FAutoSortForGrouping = v; }
    bool SortOnVirtualCells() const { return FSortOnVirtualCells; }
    void SetSortOnVirtualCells(bool v) { FSortOnVirtualCells = v; }
    bool IgnoreCase() const { return FIgnoreCase; }
    void SetIgnoreCase(bool v) { FIgnoreCase = v; }
    // The header colours repaint the sort header row (the last fixed row).
    TColor HeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(TColor v) { setHeaderColor(FHeaderColor, v); }
    TColor HeaderColorTo() const { return FHeaderColorTo; }
    void SetHeaderColorTo(TColor v) { setHeaderColor(FHeaderColorTo, v); }
    TColor HeaderMirrorColor() const { return FHeaderMirrorColor; }
    void SetHeaderMirrorColor(TColor v) { setHeaderColor(FHeaderMirrorColor, v); }
    TColor HeaderMirrorColorTo() const { return FHeaderMirrorColorTo; }
    void SetHeaderMirrorColorTo(TColor v) { setHeaderColor(FHeaderMirrorColorTo, v); }
    TIndexSortKey IndexSortKey() const { return FIndexSortKey; }
    void SetIndexSortKey(TIndexSortKey v) { FIndexSortKey = v; }

    // "i;" and the sort index list with IndexShow, else "u" or "d" and the column ("u-1").
    std::string SaveToString() const;
    // Shows the sort and sorts by the specifier; empty changes nothing, one character raises
    // "Invalid sort settings specifier".
    void LoadFromString(const std::string& Value);
    // Unsorted look: no sort column, an empty index list; the rows keep their order.
    void Remove();
    void ToggleDirection() { FDirection = FDirection == sdAscending ? sdDescending : sdAscending; }

private:
    void setHeaderColor(TColor& field, TColor v);
    TCustomGrid* FOwner;
    bool FShow = false;
    bool FIndexShow = false;
    bool FFull = true;
    bool FSingleColumn = false;
    bool FIgnoreBlanks = false;
    TSortBlankPosition FBlankPos = blFirst;
    bool FAutoFormat = true;
    TSortDirection FDirection = sdAscending;
    std::unique_ptr<TBitmap> FUpGlyph;
    std::unique_ptr<TBitmap> FDownGlyph;
    std::unique_ptr<TBitmap> FIndexUpGlyph;
    std::unique_ptr<TBitmap> FIndexDownGlyph;
    bool FNormalCellsOnly = false;
    bool FFixedCols = false;
    int FColumn = -1;
    int FRow = 0;
    bool FAutoColumnMerge = false;
    TColor FIndexColor = clYellow;
    TSortDirection FInitSortDirection = sdAscending;
    bool FUndoSort = false;
    bool FAutoSortForGrouping = true;
    bool FSortOnVirtualCells = true;
    bool FIgnoreCase = false;
    TColor FHeaderColor = clNone;
    TColor FHeaderColorTo = clNone;
    TColor FHeaderMirrorColor = clNone;
    TColor FHeaderMirrorColorTo = clNone;
    TIndexSortKey FIndexSortKey = ikShift;
};

// --- grouping --------------------------------------------------------------------------------
class TGrouping : public TPersistent {
public:
    // Not copied: Summary and the two lines' colours and widths.
    void Assign(const TPersistent* Source) override;

    bool MergeHeader() const { return FMergeHeader; }
    void SetMergeHeader(bool v) { FMergeHeader = v; }
    bool MergeSummary() const { return FMergeSummary; }
    void SetMergeSummary(bool v) { FMergeSummary = v; }
    TColor HeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(TColor v) { FHeaderColor = v; }
    TColor HeaderColorTo() const { return FHeaderColorTo; }
    void SetHeaderColorTo(TColor v) { FHeaderColorTo = v; }
    TColor HeaderTextColor() const { return FHeaderTextColor; }
    void SetHeaderTextColor(TColor v) { FHeaderTextColor = v; }
    TColor SummaryColor() const { return FSummaryColor; }
    void SetSummaryColor(TColor v) { FSummaryColor = v; }
    TColor SummaryColorTo() const { return FSummaryColorTo; }
    void SetSummaryColorTo(TColor v) { FSummaryColorTo = v; }
    TColor SummaryTextColor() const { return FSummaryTextColor; }
    void SetSummaryTextColor(TColor v) { FSummaryTextColor = v; }
    bool Summary() const { return FSummary; }
    void SetSummary(bool v) { FSummary = v; }
    bool HeaderUnderline() const { return FHeaderUnderline; }
    void SetHeaderUnderline(bool v) { FHeaderUnderline = v; }
    TColor HeaderLineColor() const { return FHeaderLineColor; }
    void SetHeaderLineColor(TColor v) { FHeaderLineColor = v; }
    int HeaderLineWidth() const { return FHeaderLineWidth; }
    void SetHeaderLineWidth(int v) { FHeaderLineWidth = v; }
    bool SummaryLine() const { return FSummaryLine; }
    void SetSummaryLine(bool v) { FSummaryLine = v; }
    TColor SummaryLineColor() const { return FSummaryLineColor; }
    void SetSummaryLineColor(TColor v) { FSummaryLineColor = v; }
    int SummaryLineWidth() const { return FSummaryLineWidth; }
    void SetSummaryLineWidth(int v) { FSummaryLineWidth = v; }
    bool ShowGroupCount() const { return FShowGroupCount; }
    void SetShowGroupCount(bool v) { FShowGroupCount = v; }
    const std::string& GroupCountFormat() const { return FGroupCountFormat; }
    void SetGroupCountFormat(const std::string& v) { FGroupCountFormat = v; }
    bool AutoSelectGroup() const { return FAutoSelectGroup; }
    void SetAutoSelectGroup(bool v) { FAutoSelectGroup = v; }
    bool AutoCheckGroup() const { return FAutoCheckGroup; }
    void SetAutoCheckGroup(bool v) { FAutoCheckGroup = v; }

private:
    bool FMergeHeader = false;
    bool FMergeSummary = false;
    TColor FHeaderColor = clNone;
    TColor FHeaderColorTo = clNone;
    TColor FHeaderTextColor = clNone;
    TColor FSummaryColor = clNone;
    TColor FSummaryColorTo = clNone;
    TColor FSummaryTextColor = clNone;
    bool FSummary = false;
    bool FHeaderUnderline = false;
    TColor FHeaderLineColor = clBlue;
    int FHeaderLineWidth = 2;
    bool FSummaryLine = false;
    TColor FSummaryLineColor = clBlue;
    int FSummaryLineWidth = 2;
    bool FShowGroupCount = false;
    std::string FGroupCountFormat;
    bool FAutoSelectGroup = false;
    bool FAutoCheckGroup = false;
};
