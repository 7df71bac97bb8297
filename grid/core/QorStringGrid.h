#pragma once
// TQorStringGrid: the full grid control. It owns its settings objects, answers every per-cell
// decision of painting and editing through a virtual hook whose default fires the matching
// event, and keeps hidden columns and rows apart from the shown ones.
//
// Index spaces: a real column (row) counts hidden columns (rows) too; a display column (row)
// is one of the platform grid's. Cells, Objects and CellProperties take a real column and a
// display row; the All* accessors a real column and a real row; Col, Row, ColWidths, RowHeights
// and painting take display indexes. RealColIndex/DisplColIndex and RealRowIndex/DisplRowIndex
// translate.
#include "grid/core/base/BaseGrid.h"
#include "grid/core/base/CellGraphic.h"
#include "grid/core/base/GridDraw.h"
#include "grid/core/base/GridRecords.h"
#include "grid/core/base/GridSettings.h"
#include "grid/core/base/GridSupport.h"
#include "grid/core/base/GridTheme.h"
#include "grid/core/base/HiddenRows.h"
#include "platform/base/DateUtils.h"
#include "platform/gfx/ImageList.h"
#include "platform/gfx/RichText.h"
#include "platform/ui/core/DragState.h"
#include "platform/ui/core/Forms.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class THTMLPictureCache;
class TPictureContainer;
// Settings and parts of the grid whose classes live with painting, editing and the data services.
class TControlLook;
class TFloatingFooter;
class TFooterPanel;
class TBackGround;
class TBalloonSettings;
class TGridProgressAppearance;
class TQorStringGridCheck;
struct TBinStreamCells;
class TReader;
class TPrintSettings;
class THTMLSettings;
class TSortSettings;
class TDragDropSettings;
class TDragScrollOptions;
class TFilter;
class TFilterDropDown;
class TGrouping;
class TDropList;
class TDropCheckList;
enum TControlStyle : int;
enum TFooterChange : int;
enum TSortStyle : int;
enum TSortDirection : int;
class TToolTipWindow;
class TControlEdit;
class TControlCombo;
struct HTMLRenderOptions;
struct HTMLRenderResult;
struct NMTTDISPINFO;

enum TCellBorder { cbTop, cbLeft, cbRight, cbBottom };
using TCellBorders = TGridSet<TCellBorder>;
enum TSearchAction { saFindFirst, saFindPrevious, saFindNext };
enum TFindParameters {
    fnMatchCase,
    fnMatchFull,
    fnMatchRegular,
    fnDirectionLeftRight,
    fnMatchStart,
    fnFindInCurrentRow,
    fnFindInCurrentCol,
    fnIncludeFixed,
    fnAutoGoto,
    fnIgnoreHTMLTags,
    fnBackward,
    fnIncludeHiddenColumns,
    fnFindInPresetCol,
    fnFindInPresetRow,
    fnSelectedCells,
    fnIncludeHiddenRows
};
using TFindParams = TGridSet<TFindParameters>;
enum TGridLook {
    glStandard,
    glSoft,
    glClassic,
    glQor,
    glXP,
    glListView,
    glVista,
    glWin7,
    glOffice2007,
    glCustom
};
// The look's identifier text (kept with saved visual properties) and its menu caption; empty
// for glCustom.
std::string LookToString(TGridLook Look);
std::string LookToCaption(TGridLook Look);
// In the order of TQorStyle.
enum TQorGridStyle {
    gsOffice2003Blue,
    gsOffice2003Silver,
    gsOffice2003Olive,
    gsOffice2003Classic,
    gsOffice2007Luna,
    gsOffice2007Obsidian,
    gsWindowsXP,
    gsWhidbey,
    gsCustom,
    gsOffice2007Silver,
    gsWindowsVista,
    gsWindows7,
    gsTerminal,
    gsOffice2010Blue,
    gsOffice2010Silver,
    gsOffice2010Black
};
enum TXPColorScheme { xpNone, xpBlue, xpGreen, xpGray, vistaAero };
enum TScrollType { ssNormal, ssFlat, ssEncarta, ssMetro };
enum TScrollHintType { shNone, shVertical, shHorizontal, shBoth };
enum TScrollBarAlways { saNone, saVert, saHorz, saBoth };
enum TDragScrollDirection { dsdUp, dsdDown, dsdLeft, dsdRight };
using TDragScrollDirections = TGridSet<TDragScrollDirection>;
enum THoverFixedCells { hfNone, hfFixedRows, hfFixedColumns, hfAll };
enum THintShowLargeTextPos { hpCell, hpMouse };
enum TFilterDropDownColumns { fdNormal, fdAll };
enum TInvalidEntryIcon { ieNone, ieInfo, ieWarning, ieError };
enum TIntelliPan { ipVertical, ipHorizontal, ipBoth, ipNone };

// Row before column.
using TClickCellEvent = std::function<void(TObject* Sender, int ARow, int ACol)>;
using TGridHintEvent = std::function<void(TObject* Sender, int ARow, int ACol, std::string& Hint)>;
using TGridWideHintEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, std::u16string& Hint)>;
using TGridColorEvent = std::function<void(TObject* Sender, int ARow, int ACol,
                                           TGridDrawState AState, TBrush* ABrush, TFont* AFont)>;
using TGridBorderEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, TPen* APen, TCellBorders& Borders)>;
using TGridAlignEvent = std::function<void(TObject* Sender, int ARow, int ACol, TAlignment& HAlign,
                                           TVAlignment& VAlign)>;
using TIsFixedCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& IsFixed)>;
using TCanEditCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& CanEdit)>;
using TIsPasswordCellEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, bool& IsPassword)>;
// Column before row.
using TGridFormatEvent = std::function<void(TObject* Sender, int ACol, TSortStyle& AStyle,
                                            std::string& APrefix, std::string& ASuffix)>;
using TGetEditorTypeEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, TEditorType& AEditor)>;
using THasComboEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& HasComboBox)>;
using THasSpinEditEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, bool& HasSpinEdit)>;
using TWordWrapEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& WordWrap)>;
using TGetCheckEvent = std::function<void(TObject* Sender, int ACol, int ARow, std::string& Value)>;
using TGetColumnFilterEvent = std::function<void(TObject* Sender, int Column, TStrings* Filter)>;
using TCellCursorEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, int X, int Y, TCursor& ACursor)>;
using TButtonClickEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;
using TExpandClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool Expanded)>;
using TSearchFooterActionEvent = std::function<void(TObject* Sender, const std::string& Value,
                                                    int ACol, int ARow, TSearchAction Action)>;
using TEditChangeEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, const std::string& Value)>;
using TGetEditorPropEvent = std::function<void(TObject* Sender, int ACol, int ARow, TObject* Link)>;
using TColorSelectedEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, TColor& AColor, std::string& Value)>;
using TImageSelectedEvent = std::function<void(TObject* Sender, int ACol, int ARow, int& Index)>;
using TGetEditMaskEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, std::string& Value)>;
using TCheckBoxClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool State)>;
using TComboChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, int AItemIndex,
                                             const std::string& ASelection)>;
using TComboObjectChangeEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, int AItemIndex,
                       const std::string& ASelection, TObject* AObject)>;
using TFilterSelectEvent =
    std::function<void(TObject* Sender, int Column, int ItemIndex, const std::string& FriendlyName,
                       std::string& FilterCondition)>;

class TGridCombo;
class TQorInplaceEdit;
class TGridCheckBox;
class TGridSpin;
class TGridDatePicker;
class TGridDateTimePicker;
class TGridEditBtn;
class TGridUnitEditBtn;
class TGridButton;
class TDropDownCellEditor;
class TGridTrackbarDropDown;
class TGridMemoDropDown;
class TGridCalculatorDropDown;
class TGridTimepickerDropDown;
class TGridDetailPickerDropDown;
class TGridGridDropDown;
class TGridColorDropDown;
class TGridImageDropDown;
class TGridQorGridDropDown;
class TGridTransEdit;
class TGridTransCombo;
class TEditLink;
class TPopupMenu;
using TFixedDropDownClickEvent = std::function<void(
    TObject* Sender, int ACol, int ARow, TPopupMenu*& AMenu, bool& KeepFixedCellHighlighted)>;
class TQorRichEdit;
class TCustomRichEdit;
class TScrollBar;
using TSpinClickEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, int AValue, bool UpDown)>;
using TFloatSpinClickEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, double AValue, bool UpDown)>;
using TDateTimeSpinClickEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, TDateTime AValue, bool UpDown)>;

// Failures of the grid's own checks (range errors of the selection flags, typed access).
class EQorGridError : public Exception {
public:
    using Exception::Exception;
};

using TRowDisjunctSelectEvent =
    std::function<void(TObject* Sender, int ARow, bool AState, bool& Allow)>;
using TRowDisjunctSelectedEvent = std::function<void(TObject* Sender, int ARow)>;
using TCellsChangedEvent = std::function<void(TObject* Sender, const TRect& R)>;
// The states an import reports through ImportNotification.
enum TGridImportState { isImportStart, isImportNewRow, isImportDone, isImportSelRow };
// The last clipboard operation of a grid.
enum TClipOperation { coCut, coCopy };
// The states an export reports through ExportNotification.
enum TGridExportState {
    esExportStart,
    esExportNewRow,
    esExportDone,
    esExportSelRow,
    esExportFail,
    esExportNextRow
};

class TGridAlphaMask;
class TGridDropTarget;
class THeaderDragButton;
class TNoActiveForm;
class TScrollControl;
class TSearchPanel;
class TTimer;

// Told of every cell the grid's cell selection moves to (one listener per grid).
class ITQorStringGridSelect {
public:
    virtual ~ITQorStringGridSelect() = default;
    virtual void CellSelected(int ACol, int ARow) = 0;
};

class TQorStringGrid : public TBaseGrid, public IQorStyle, public IQorTones {
public:
    explicit TQorStringGrid(TComponent* AOwner);
    ~TQorStringGrid() override;

    // --- life cycle -------------------------------------------------------------------------
    void Loaded() override;
    void CreateWnd() override;
    // Copies another TQorStringGrid's settings and cells; any other source is ignored.
    void Assign(const TPersistent* Source) override;
    // The column and row counts, column widths and non-empty texts of Source.
    virtual void AssignCells(const TPersistent* Source);
    void Invalidate() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // Also the fixed font and the active cell's font.
    void ChangeScale(int M, int D) override;
    bool Loading() const { return ComponentState() & csLoading; }
    bool Designing() const { return ComponentState() & csDesigning; }
    static TCustomForm* FindParentForm(TControl* AControl);

    // --- owned settings objects -------------------------------------------------------------
    TNavigation* Navigation() const { return FNavigation.get(); }
    TMouseActions* MouseActions() const { return FMouseActions.get(); }
    TSearchFooter* SearchFooter() const { return FSearchFooter.get(); }
    TSyncGrid* SyncGrid() const { return FSyncGrid.get(); }
    TBands* Bands() const { return FBands.get(); }
    TFocusHelper* FocusHelper() const { return FFocusHelper.get(); }
    TPrintSettings* PrintSettings() const { return FPrintSettings.get(); }
    THTMLSettings* HTMLSettings() const { return FHTMLSettings.get(); }
    TSortSettings* SortSettings() const { return FSortSettings.get(); }
    TDragDropSettings* DragDropSettings() const { return FDragDropSettings.get(); }
    TDragScrollOptions* DragScrollOptions() const { return FDragScrollOptions.get(); }
    TFilter* Filter() const { return FFilter.get(); }
    TFilterDropDown* FilterDropDown() const { return FFilterDropDown.get(); }
    TGrouping* Grouping() const { return FGrouping.get(); }
    TColumnSize* ColumnSize() const { return FColumnSize.get(); }
    TCellNode* CellNode() const { return FCellNode.get(); }

    // --- settings persistence (grid/data/QorStringGridSettingsIO.cpp) -------------------------
    // Column widths as "Col<n>" in the ColumnSize store (INI file or registry key); nothing
    // without Key or Section, or while designing. Loading keeps widths whose key is missing.
    void SaveColSizes();
    void LoadColSizes();
    // The column order list as "Pos<n>" in the same store; loading needs "Pos0".
    virtual void SaveColPositions();
    virtual void LoadColPositions();
    // Count, widths, order and visibility as "N#w,w#o,o#f,f".
    std::string ColumnStatesToString();
    // Checks the whole text first: a text without "#" does nothing, a malformed one raises
    // EConvertError and changes nothing.
    void StringToColumnStates(const std::string& Value);
    // Name=value lines of the look; raise EQorGridError when the file cannot be created or
    // opened, EConvertError at a bad number.
    void SaveVisualProps(const std::string& FileName);
    void LoadVisualProps(const std::string& FileName);
    // PrintSettings in an INI section; loading writes the file back.
    void SavePrintSettings(const std::string& Key, const std::string& Section);
    void LoadPrintSettings(const std::string& Key, const std::string& Section);

    // --- printing and preview (grid/data/QorStringGridPrint.cpp) ------------------------------
    // Lay the cells out on pages of PrintSettings and print them on Printer(); a failure
    // drops the document and is raised.
    void Print();
    void PrintSelection();
    void PrintRect(const TGridRect& ARect);
    void PrintSelectedRows();
    void PrintSelectedCols();
    // Draw the pages PrintPageFrom..PrintPageTo (one page, set by SetPreviewPage) of the layout
    // for a page of DisplayRect's size into DisplayRect.
    void PrintPreview(TCanvas* Canvas, const TRect& DisplayRect);
    void PrintPreviewRect(TCanvas* Canvas, const TRect& DisplayRect, const TGridRect& ARect);
    void PrintPreviewSelection(TCanvas* Canvas, const TRect& DisplayRect);
    void PrintPreviewSelectedRows(TCanvas* Canvas, const TRect& DisplayRect);
    void PrintPreviewSelectedCols(TCanvas* Canvas, const TRect& DisplayRect);
    // Page 1 only, onto any canvas.
    void PrintDraw(TCanvas* Canvas, const TRect& ARect);
    void PrintDrawRect(TCanvas* Canvas, const TRect& ARect, const TGridRect& Cells);
    int PreviewPage() const { return FFlags.PreviewPage; }
    void SetPreviewPage(int v) {
        FFlags.PreviewPage = FFlags.PrintPageFrom = FFlags.PrintPageTo = v;
    }
    int PrintNrOfPages() const { return FPrintNrOfPages; }
    TRect PrintPageRect() const { return FPrintPageRect; }
    int PrintPageWidth() const { return FPrintPageWidth; }
    int PrintColStart() const { return FPrintColStart; }
    int PrintColEnd() const { return FPrintColEnd; }
    bool IsPrintPreview() const { return FIsPrintPreview; }
    bool FastPrint() const { return FFastPrint; }
    void SetFastPrint(bool v) { FFastPrint = v; }
    std::function<void(TObject* Sender, int NrOfPages, int& FromPage, int& ToPage)> OnPrintStart;
    std::function<void(TObject* Sender, TCanvas* Canvas, int PageNr, int PageXSize,
                       int PageYSize)>
        OnPrintPage;
    std::function<void(TObject* Sender, TCanvas* Canvas, int LastRow, int LastRowOffset,
                       int LastPage, int PageXSize, int PageYSize)>
        OnPrintPageDone;
    std::function<void(TObject* Sender, int PageNr, bool& Cancel)> OnPrintCancel;
    std::function<void(TObject* Sender, int ARow, bool& NewPage)> OnPrintNewPage;
    std::function<void(TObject* Sender, int ACol, int& Width)> OnPrintSetColumnWidth;
    std::function<void(TObject* Sender, int ARow, int& Height)> OnPrintSetRowHeight;
    std::function<void(TObject* Sender, double& ScaleFactor, bool& Allow)> OnFitToPage;
    // May change the size a cell's content needs (units of the canvas; Printing when printed).
    std::function<void(TObject* Sender, TCanvas* Canvas, int ACol, int ARow, TPoint& ASize,
                       bool Printing)>
        OnCustomCellSize;
    TSizeWhileTyping* SizeWhileTyping() const { return FSizeWhileTyping.get(); }
    TStringList* ColumnHeaders() const { return FColumnHeaders.get(); }
    // Copying a header list clears the old headers first (row 0 with fixed rows, column 0 only
    // at design time).
    void SetColumnHeaders(const TStrings* v);
    TStringList* RowHeaders() const { return FRowHeaders.get(); }
    void SetRowHeaders(const TStrings* v);
    TFont* FixedFont() const { return FFixedFont.get(); }
    void SetFixedFont(const TFont* v) { FFixedFont->Assign(v); }
    TFont* ActiveCellFont() const { return FActiveCellFont.get(); }
    void SetActiveCellFont(const TFont* v) { FActiveCellFont->Assign(v); }
    TSortIndexList* SortIndexes() const { return FSortIndexes.get(); }
    TIntList* IgnoreColumns() const { return FIgnoreColumns.get(); }
    TStringList* FilterList() const { return FFilterList.get(); }
    TDropList* FilterDropList() const { return FFilterDropList; }
    TArrowWindow* ArrowWindow(TArrowDirection d) const { return FArrows[d]; }
    TGridFocusWindow* FocusWindow() const { return FFocusWindow; }
    const THiddenRows* HiddenRowStore() const { return FHidden.get(); }

    // --- settings ---------------------------------------------------------------------------
    TGridLook Look() const { return FLook; }
    void SetLook(TGridLook v);
    TQorStyle ComponentStyle() const { return FStyle; }
    TColor ActiveCellColor() const { return FActiveCellColor; }
    void SetActiveCellColor(TColor v) { setLook(FActiveCellColor, v); }
    TColor ActiveCellColorTo() const { return FActiveCellColorTo; }
    void SetActiveCellColorTo(TColor v) { setLook(FActiveCellColorTo, v); }
    bool ActiveCellShow() const { return FActiveCellShow; }
    void SetActiveCellShow(bool v) { setLook(FActiveCellShow, v); }
    TColor DisabledFontColor() const { return FDisabledFontColor; }
    void SetDisabledFontColor(TColor v) { setLook(FDisabledFontColor, v); }
    bool UseDisabledFont() const { return FUseDisabledFont; }
    void SetUseDisabledFont(bool v) { setLook(FUseDisabledFont, v); }
    TEditorType DefaultEditor() const { return FDefaultEditor; }
    void SetDefaultEditor(TEditorType v) { FDefaultEditor = v; }
    TAlignment DefaultAlignment() const { return FDefaultAlignment; }
    void SetDefaultAlignment(TAlignment v) { setLook(FDefaultAlignment, v); }
    TVAlignment VAlignment() const { return FVAlignment; }
    void SetVAlignment(TVAlignment v);
    TColor HintColor() const { return FHintColor; }
    void SetHintColor(TColor v) { FHintColor = v; }
    // Also the colours the markup renderer gives highlighted text.
    TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor v);
    TColor HighlightTextColor() const { return FHighlightTextColor; }
    void SetHighlightTextColor(TColor v);
    TColor SelectionColor() const { return FSelectionColor; }
    void SetSelectionColor(TColor v) { setLook(FSelectionColor, v); }
    TColor SelectionColorTo() const { return FSelectionColorTo; }
    void SetSelectionColorTo(TColor v) { setLook(FSelectionColorTo, v); }
    TColor SelectionMirrorColor() const { return FSelectionMirrorColor; }
    void SetSelectionMirrorColor(TColor v) { setLook(FSelectionMirrorColor, v); }
    TColor SelectionMirrorColorTo() const { return FSelectionMirrorColorTo; }
    void SetSelectionMirrorColorTo(TColor v) { setLook(FSelectionMirrorColorTo, v); }
    TColor SelectionTextColor() const { return FSelectionTextColor; }
    void SetSelectionTextColor(TColor v) { setLook(FSelectionTextColor, v); }
    TColor SelectionRectangleColor() const { return FSelectionRectangleColor; }
    void SetSelectionRectangleColor(TColor v) { setLook(FSelectionRectangleColor, v); }
    int SelectionColorMixerFactor() const { return FSelectionColorMixerFactor; }
    // Percent, 0..100.
    void SetSelectionColorMixerFactor(int v) {
        setLook(FSelectionColorMixerFactor, std::clamp(v, 0, 100));
    }
    bool ShowSelection() const { return FShowSel; }
    void SetShowSelection(bool v) { setLook(FShowSel, v); }
    TColor URLColor() const { return FURLColor; }
    void SetURLColor(TColor v);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v);
    TScrollType ScrollType() const { return FScrollType; }
    void SetScrollType(TScrollType v);
    TColor ScrollColor() const { return FScrollColor; }
    void SetScrollColor(TColor v);
    int ScrollWidth() const { return FScrollWidth; }
    void SetScrollWidth(int v);
    TColor QorGradientFrom() const { return FQorGradientFrom; }
    void SetQorGradientFrom(TColor v) { setLook(FQorGradientFrom, ColorToRGB(v)); }
    TColor QorGradientTo() const { return FQorGradientTo; }
    void SetQorGradientTo(TColor v) { setLook(FQorGradientTo, ColorToRGB(v)); }
    TColor QorGradientMirrorFrom() const { return FQorGradientMirrorFrom; }
    void SetQorGradientMirrorFrom(TColor v) { setLook(FQorGradientMirrorFrom, ColorToRGB(v)); }
    TColor QorGradientMirrorTo() const { return FQorGradientMirrorTo; }
    void SetQorGradientMirrorTo(TColor v) { setLook(FQorGradientMirrorTo, ColorToRGB(v)); }
    const std::string& FloatFormat() const { return FFloatFormat; }
    void SetFloatFormat(const std::string& v) { setLook(FFloatFormat, v); }
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char v) { setLook(FPasswordChar, v); }
    const std::string& CheckTrue() const { return FCheckTrue; }
    void SetCheckTrue(const std::string& v) { setLook(FCheckTrue, v); }
    const std::string& CheckFalse() const { return FCheckFalse; }
    void SetCheckFalse(const std::string& v) { setLook(FCheckFalse, v); }
    const std::string& FilterDropDownClear() const { return FFilterDropDownClear; }
    void SetFilterDropDownClear(const std::string& v) { FFilterDropDownClear = v; }
    bool FilterDropDownAuto() const { return FFilterDropDownAuto; }
    void SetFilterDropDownAuto(bool v) { setLook(FFilterDropDownAuto, v); }
    TFilterDropDownColumns FilterDropDownColumns() const { return FFilterDropDownColumns; }
    void SetFilterDropDownColumns(TFilterDropDownColumns v) { FFilterDropDownColumns = v; }
    bool FilterIncremental() const { return FFilterIncremental; }
    void SetFilterIncremental(bool v) { FFilterIncremental = v; }
    bool FilterNormalCellsOnly() const { return FFilterNormalCellsOnly; }
    void SetFilterNormalCellsOnly(bool v) { FFilterNormalCellsOnly = v; }
    bool AutoFilterUpdate() const { return FAutoFilterUpdate; }
    void SetAutoFilterUpdate(bool v) { FAutoFilterUpdate = v; }
    const std::string& XMLEncoding() const { return FXMLEncoding; }
    void SetXMLEncoding(const std::string& v) { FXMLEncoding = v; }
    const std::string& EditMask() const { return FEditMask; }
    void SetEditMask(const std::string& v) { FEditMask = v; }
    bool EnableHTML() const { return FEnableHTML; }
    void SetEnableHTML(bool v) { setLook(FEnableHTML, v); }
    bool EnableWheel() const { return FEnableWheel; }
    void SetEnableWheel(bool v) { FEnableWheel = v; }
    bool FixedRowAlways() const { return FFixedRowAlways; }
    void SetFixedRowAlways(bool v) { FFixedRowAlways = v; }
    bool FixedColAlways() const { return FFixedColAlways; }
    void SetFixedColAlways(bool v) { FFixedColAlways = v; }
    int FixedFooters() const { return FFixedFooters; }
    void SetFixedFooters(int v) { setLook(FFixedFooters, v); }
    int FixedRightCols() const { return FFixedRightCols; }
    void SetFixedRightCols(int v) { setLook(FFixedRightCols, v); }
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    // True follows the Office colour scheme at once and on every theme change.
    void SetAutoThemeAdapt(bool v);
    bool AutoSize() const { return FAutoSize; }
    // True outside loading sizes the columns to their contents at once.
    void SetAutoSize(bool v);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v) { setLook(FBorderStyle, v); }
    bool IntegralHeight() const { return FIntegralHeight; }
    // Stored, then the bounds are applied again so that the height follows the setting.
    void SetIntegralHeight(bool v);
    bool HideFocusRect() const { return FHideFocusRect; }
    void SetHideFocusRect(bool v) { setLook(FHideFocusRect, v); }
    int MinRowHeight() const { return FMinRowHeight; }
    void SetMinRowHeight(int v) { FMinRowHeight = v; }
    int MaxRowHeight() const { return FMaxRowHeight; }
    void SetMaxRowHeight(int v) { FMaxRowHeight = v; }
    int MinColWidth() const { return FMinColWidth; }
    void SetMinColWidth(int v) { FMinColWidth = v; }
    int MaxColWidth() const { return FMaxColWidth; }
    void SetMaxColWidth(int v) { FMaxColWidth = v; }
    int ZoomFactor() const { return FZoomFactor; }
    TPoint XYOffset() const { return FXYOffset; }
    void SetXYOffset(TPoint v) { setLook(FXYOffset, v); }
    char Delimiter() const { return FDelimiter; }
    void SetDelimiter(char v) { FDelimiter = v; }
    THoverFixedCells HoverFixedCells() const { return FHoverFixedCells; }
    void SetHoverFixedCells(THoverFixedCells v) { FHoverFixedCells = v; }
    THintShowLargeTextPos HintShowLargeTextPos() const { return FHintShowLargeTextPos; }
    void SetHintShowLargeTextPos(THintShowLargeTextPos v) { FHintShowLargeTextPos = v; }
    TInvalidEntryIcon InvalidEntryIcon() const { return FInvalidEntryIcon; }
    void SetInvalidEntryIcon(TInvalidEntryIcon v) { FInvalidEntryIcon = v; }
    const std::string& InvalidEntryTitle() const { return FInvalidEntryTitle; }
    void SetInvalidEntryTitle(const std::string& v) { FInvalidEntryTitle = v; }
    const std::string& InvalidEntryText() const { return FInvalidEntryText; }
    void SetInvalidEntryText(const std::string& v) { FInvalidEntryText = v; }
    int GroupColumn() const { return FGroupColumn; }
    // -1 ungroups, a column above 0 groups by it; 0 and other values do nothing.
    void SetGroupColumn(int v);
    bool EditMode() const { return FEditMode; }
    TEditorType EditControl() const { return FEditControl; }
    // Flags of the save, load, print and filter services, stored for them.
    struct TServiceFlags {
        bool FitCellsInGrid = true, UseInternalHintClass = true, ShowDesignHelper = true,
             EnhRowColMove = true, IntelliZoom = true, LoadFirstRow = true, QuoteEmptyCells = true,
             ShowNullDates = true, SaveFixedCells = true, SaveVirtCells = true, SaveWithHTML = true;
        bool SaveFixedRows = false, SaveFixedCols = false, SaveHiddenCells = false,
             AlwaysQuotes = false, JavaCSV = false, ClearTextOnly = false, SizeGrowOnly = false,
             FixedAsButtons = false, NoDefaultDraw = false, ExcelClipboardFormat = false,
             PrinterDriverFix = false, SaveWithRTF = false, OemConvert = false;
        int PreviewPage = 1, PrintPageFrom = 1, PrintPageTo = 1;
    };
    TServiceFlags& Flags() { return FFlags; }
    // Flags the constructor and the window creation take from the platform.
    bool IsWinXP() const { return FIsWinXP; }
    bool IsWin7() const { return FIsWin7; }
    bool IsVista() const { return FIsVista; }
    bool IsThemed() const { return FIsThemed; }
    UINT WheelMessage() const { return FWheelMsg; }
    // Lines per wheel notch: the system's setting, or the visible rows when it is a page.
    int WheelScrollLines();
    std::uintptr_t TimerID() const { return FGridTimerID; }

    // --- per-cell hooks (virtual; the default fires the matching event) ----------------------
    virtual void GetCellColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush,
                              TFont* AFont);
    virtual void GetCellPrintColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush,
                                   TFont* AFont);
    virtual void GetCellBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders);
    virtual void GetCellPrintBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders);
    virtual void GetAlignment(int ACol, int ARow, TAlignment& HAlign, TVAlignment& VAlign);
    virtual void GetFormat(int ACol, TSortStyle& AStyle, std::string& APrefix,
                           std::string& ASuffix);
    virtual void GetSpinEditorType(int ACol, int ARow, TEditorType& AEditor);
    virtual void GetEditorType(int ACol, int ARow, TEditorType& AEditor);
    virtual bool IsNoEditor(int ACol, int ARow);
    virtual void IsFixedCell(int ACol, int ARow, bool& IsFixed);
    virtual void IsEditableCell(int ACol, int ARow, bool& CanEdit);
    virtual void IsPasswordCell(int ACol, int ARow, bool& IsPassword);
    virtual void GetCellWordWrap(int ACol, int ARow, bool& WordWrap);
    virtual bool HasComboBox(int ACol, int ARow);
    virtual bool HasSpinEdit(int ACol, int ARow);
    virtual void GetCheckTrue(int ACol, int ARow, std::string& Value);
    virtual void GetCheckFalse(int ACol, int ARow, std::string& Value);
    virtual bool BuildColumnFilterList(int ACol);
    virtual void GridHint(int ACol, int ARow, std::string& Hint, std::u16string& WideHint);
    virtual void GetCellCursor(int ACol, int ARow, int X, int Y);
    virtual void DoCanEditCell(int ACol, int ARow, bool& CanEdit);
    virtual void SearchFooterAction(const std::string& Value, int ACol, int ARow,
                                    TSearchAction Action);
    virtual void ButtonClick(int ACol, int ARow);
    virtual void ExpandClick(int ACol, int ARow, bool Expanded);
    virtual void ComboCloseUp(int ACol, int ARow);
    virtual void ComboDropDown(int ACol, int ARow);
    virtual void GetEditorProp(int ACol, int ARow, TObject* AEditLink);
    virtual void CheckBoxClick(int ACol, int ARow, bool State);
    virtual void FilterDone();
    virtual void ClickSort(int ACol);
    virtual void UpdateColumnSize(int ACol, int& AWidth);
    virtual void UpdateAutoColumnSize(int ACol, int& AWidth);
    virtual void ColumnHeadersChanged() {}
    virtual void RowHeadersChanged() {}
    virtual void RecalcFooters() {}
    virtual TCellType GetCellType(int ACol, int ARow);
    virtual TCellGraphic* GetCellGraphic(int ACol, int ARow);
    virtual void GetFloatFormat(int ACol, std::string& AFormat);
    virtual std::string GetFormattedCell(int ACol, int ARow);
    virtual void FilterDropDownSelect(int ItemIndex);
    // The column whose header filter list is open (the header click sets it).
    int FilterColumn() const { return FFilterCol; }
    void SetFilterColumn(int ACol) { FFilterCol = ACol; }
    // The check-list choice: the checked values of the open list become OR-ed conditions.
    virtual void FilterDropDownCheck(int ItemIndex);

    // --- grouping (grid/data/QorStringGridGroup.cpp) -------------------------------------------
    // Group gathers the normal rows by a column's values: a node row (the value in column 1)
    // before each run, with Grouping.Summary a summary row after it; the column goes until
    // UnGroup puts it back. SubGroup adds a level by another column (kept, emptied in the data
    // rows) and SubUnGroup removes it.
    virtual void SubGroup(int Colindex);
    virtual void SubUnGroup(int Colindex);
    virtual void Group(int Colindex);
    virtual void UnGroup();
    // Writes a calculation of column ACol into each expanded group's node (or summary) row:
    // 1 sum, 2 average, 3 minimum, 4 maximum, 5 count, 6 OnGroupCalc, 7 distinct, 8 std. dev.
    void GroupCalc(int ACol, int Method);
    void GroupSum(int ACol);
    void GroupAvg(int ACol);
    void GroupMin(int ACol);
    void GroupMax(int ACol);
    void GroupCount(int ACol);
    void GroupCustomCalc(int ACol) { GroupCalc(ACol, 6); }
    void GroupDistinct(int ACol) { GroupCalc(ACol, 7); }
    void GroupStdDev(int ACol) { GroupCalc(ACol, 8); }
    // True while Group or UnGroup runs.
    bool IsGrouping() const { return FIsGrouping; }

    // --- filtering (grid/data/QorStringGridFilter.cpp) -----------------------------------------
    // Each applied filter hides the rows that fail Filter as one more level of hidden rows.
    // Conditions are parsed once and kept while their text and case flag stay.
    virtual bool MatchFilterRow(int ARow);
    // Hides the display row when it fails the filter.
    void FilterRow(int ARow);
    void ApplyFilter();
    bool FilterActive() const { return FFilterActive; }
    void SetFilterActive(bool v);
    // Pops one level; True while more than one level remains.
    bool RemoveLastFilter();
    // Pops every level (the conditions stay); with no level the conditions go.
    void RemoveAllFilters();
    // The filter of controls that filter while the user types: one more level per character
    // typed, one fewer per character removed. AColumn -1 searches the whole row.
    void NarrowDown(const std::string& ACondition, int AColumn);
    const std::string& LastFilter() const { return FLastFilter; }
    bool FilterDropDownCheck() const { return FFilterDropDownCheck; }
    void SetFilterDropDownCheck(bool v) { FFilterDropDownCheck = v; }
    TDropCheckList* FilterDropCheckList() const { return FFilterDropCheckList; }
    // Opens the header filter list of a display column (the release on its filter button).
    void ShowFilterDropDown(int ACol, int ARow);
    void HideFilterDropDown();
    std::function<void(TObject* Sender, int ARow, bool& AcceptRow)> OnCustomFilter;
    std::function<void(TObject* Sender, short Progress)> OnFilterProgress;
    std::function<void(TObject* Sender, int Column, int ItemIndex, const std::string& FriendlyName,
                       std::string& FilterCondition, TDropCheckList* CheckList)>
        OnFilterCheck;
    virtual void NavigationChanged() {}
    virtual void MouseActionsChanged() {}
    virtual void GetIsDesigning(bool& IsDesigning) { IsDesigning = Designing(); }
    virtual void SettingsInvalidate() { Invalidate(); }
    void ClearEditingOption();
    std::string GetEditMask(int ACol, int ARow) override;
    // The font of a cell: the grid's Font without properties, else a scratch font set from them
    // (valid until the next call).
    TFont* GetCellFont(int ACol, int ARow);
    TCheckBoxState BoolToCheckBoxState(bool b) const { return b ? cbChecked : cbUnchecked; }
    // Gives cell (real column, display row) a fresh flat tri-state check box; a cell outside the
    // grid raises "Invalid cell".
    void AddCheckBox(int ACol, int ARow, TCheckBoxState State);
    void AddTriStateCheckBoxColumn(int ACol, TCheckBoxState State);
    // True when the cell (real column, real row) holds a check box, with its state.
    bool GetCheckBoxState(int ACol, int ARow, TCheckBoxState& State);
    // Keeps the focus frame on the current cell while windows move.
    virtual void MoveFocusWindow();

    // --- typed cell access, cell type and graphic size (real column) -------------------------
    // Ints and Floats read the text without markup, All* the stored text by real row; a text
    // that is no number raises EQorGridError. Empty and "-" read as 0.
    int Ints(int ACol, int ARow);
    void SetInts(int ACol, int ARow, int Value);
    double Floats(int ACol, int ARow);
    void SetFloats(int ACol, int ARow, double Value);
    int AllInts(int ACol, int ARow);
    void SetAllInts(int ACol, int ARow, int Value);
    double AllFloats(int ACol, int ARow);
    void SetAllFloats(int ACol, int ARow, double Value);
    // The VALUE of the cell's form control ID ("" when the cell has none); writing rewrites the
    // control and stores the text only when the cell has it.
    std::string ControlValues(int ACol, int ARow, const std::string& ID);
    void SetControlValues(int ACol, int ARow, const std::string& ID, const std::string& Value);
    TCellGraphic* CellGraphics(int ACol, int ARow) { return GetCellGraphic(ACol, ARow); }
    TCellType CellTypes(int ACol, int ARow) { return GetCellType(ACol, ARow); }
    // The image indexes of a ctImages cell, nullptr for other cells.
    TIntList* CellImages(int ACol, int ARow);
    TPoint CellGraphicSize(int ACol, int ARow) { return GetCellGraphicSize(ACol, ARow); }
    virtual TPoint GetCellGraphicSize(int ACol, int ARow);
    // Room the graphic takes on screen; HeightReserve is kept free below a picture.
    virtual void CalcGraphicSize(int ACol, int ARow, TPoint& Size, int HeightReserve);
    virtual void CalcPrintGraphicSize(int ACol, int ARow, TPoint& Size, int BoxWidth, int BoxHeight,
                                      double Scale);
    virtual TImageList* GetCellImageList(int ACol, int ARow);
    // Sort key of an image cell: the bitmap or icon, the image index, else -1.
    virtual std::intptr_t GetCellImageKey(int ACol, int ARow);
    virtual bool IsSortIndicatorCell(int ACol, int ARow);
    TImageList* GridImages() const { return FGridImages; }
    void SetGridImages(TImageList* Value);
    // Printed width and offset of columns 0..511; other columns raise EQorGridError.
    int PrintColWidth(int ACol) const;
    int PrintColOffset(int ACol) const;
    std::array<int, 512>& MaxWidths() { return FMaxWidths; }
    std::array<int, 512>& Indents() { return FIndents; }
    // Links the first URL of a cell's displayed text.
    bool URLShowInText() const { return FURLShowInText; }
    void SetURLShowInText(bool v) { setLook(FURLShowInText, v); }
    // The base hook, then URL links and a node row's group count in column 1.
    void GetDisplText(int ACol, int ARow, std::string& Value) override;
    // Header i goes to cell (i, 0) (row header i to (0, i)), a backslash-n becoming a line
    // break; only with fixed rows (columns).
    void ClearColumnHeaders();
    void ShowColumnHeaders();
    void ClearRowHeaders();
    void ShowRowHeaders();
    TStringList* LookupItems() const { return FLookupItems.get(); }
    // Copies the list; nil is ignored.
    void SetLookupItems(const TStrings* v) {
        if (v) FLookupItems->Assign(v);
    }

    // --- cell decorations (real column, display row) -----------------------------------------
    // A cell holds one graphic: each Add... replaces the one before (freeing what that graphic
    // owned), each Remove... removes only a graphic of its own type.
    TCellGraphic* NewCellGraphic(int ACol, int ARow);
    bool RemoveCellGraphic(int ACol, int ARow);
    bool RemoveCellGraphicOfType(int ACol, int ARow, TCellType T);
    // The base cell's graphic type is one of Types.
    bool HasCellType(int ACol, int ARow, std::initializer_list<TCellType> Types);
    void AddBitmap(int ACol, int ARow, TBitmap* ABmp, bool Transparent, TCellHAlign hal,
                   TCellVAlign val);
    TBitmap* CreateBitmap(int ACol, int ARow, bool Transparent, TCellHAlign hal, TCellVAlign val);
    TBitmap* GetBitmap(int ACol, int ARow);
    bool HasBitmap(int ACol, int ARow) { return GetBitmap(ACol, ARow) != nullptr; }
    void RemoveBitmap(int ACol, int ARow) { RemoveCellGraphicOfType(ACol, ARow, ctBitmap); }
    void AddPicture(int ACol, int ARow, TPicture* APicture, bool Transparent,
                    TStretchMode StretchMode, int Padding, TCellHAlign hal, TCellVAlign val);
    TPicture* CreatePicture(int ACol, int ARow, bool Transparent, TStretchMode StretchMode,
                            int Padding, TCellHAlign hal, TCellVAlign val);
    TPicture* GetPicture(int ACol, int ARow);
    bool HasPicture(int ACol, int ARow) { return GetPicture(ACol, ARow) != nullptr; }
    void RemovePicture(int ACol, int ARow) { RemoveCellGraphicOfType(ACol, ARow, ctPicture); }
    void AddFilePicture(int ACol, int ARow, TFilePicture* AFilePicture, bool Transparent,
                        TStretchMode StretchMode, int Padding, TCellHAlign hal, TCellVAlign val);
    TFilePicture* CreateFilePicture(int ACol, int ARow, bool Transparent, TStretchMode StretchMode,
                                    int Padding, TCellHAlign hal, TCellVAlign val);
    TFilePicture* GetFilePicture(int ACol, int ARow);
    void RemoveFilePicture(int ACol, int ARow) {
        RemoveCellGraphicOfType(ACol, ARow, ctFilePicture);
    }
    void AddIcon(int ACol, int ARow, TIcon* AIcon, TCellHAlign hal, TCellVAlign val);
    TIcon* CreateIcon(int ACol, int ARow, TCellHAlign hal, TCellVAlign val);
    void RemoveIcon(int ACol, int ARow) { RemoveCellGraphicOfType(ACol, ARow, ctIcon); }
    // The image operations do nothing while GridImages is nil.
    void AddImageIdx(int ACol, int ARow, int Aidx, TCellHAlign hal, TCellVAlign val);
    bool GetImageIdx(int ACol, int ARow, int& idx);
    void SetImageIdx(int ACol, int ARow, int Idx);
    void RemoveImageIdx(int ACol, int ARow) { RemoveCellGraphicOfType(ACol, ARow, ctImageList); }
    void AddDataImage(int ACol, int ARow, int Aidx, TCellHAlign hal, TCellVAlign val);
    void RemoveDataImage(int ACol, int ARow);
    bool HasDataImage(int ACol, int ARow) { return HasCellType(ACol, ARow, {ctDataImage}); }
    void AddMultiImage(int ACol, int ARow, int Dir, TCellHAlign hal, TCellVAlign val);
    void RemoveMultiImage(int ACol, int ARow) { RemoveCellGraphicOfType(ACol, ARow, ctImages); }
    void AddRotated(int ACol, int ARow, short AAngle, const std::string& s);
    void SetRotated(int ACol, int ARow, short AAngle);
    bool IsRotated(int ACol, int ARow, int& aAngle);
    void RemoveRotated(int ACol, int ARow) { RemoveCellGraphicOfType(ACol, ARow, ctRotated); }
    void AddInterfacedCell(int ACol, int ARow, TObject* AObject);
    TObject* GetInterfacedCell(int ACol, int ARow);
    void RemoveInterfacedCell(int ACol, int ARow) {
        RemoveCellGraphicOfType(ACol, ARow, ctInterface);
    }
    void AddProgress(int ACol, int ARow, TColor FGColor, TColor BKColor);
    void AddProgressEx(int ACol, int ARow, TColor FGColor, TColor FGTextColor, TColor BKColor,
                       TColor BKTextColor);
    void AddProgressFormatted(int ACol, int ARow, TColor FGColor, TColor FGTextColor,
                              TColor BKColor, TColor BKTextColor, const std::string& Fmt, int Min,
                              int Max);
    bool HasProgress(int ACol, int ARow) { return HasCellType(ACol, ARow, {ctProgress}); }
    void RemoveProgress(int ACol, int ARow) { RemoveCellGraphicOfType(ACol, ARow, ctProgress); }
    void AddQorProgress(int ACol, int ARow, int Min, int Max);
    void RemoveQorProgress(int ACol, int ARow) {
        RemoveCellGraphicOfType(ACol, ARow, ctXPProgress);
    }
    void AddProgressPie(int ACol, int ARow, TColor Color, int Value);
    void SetProgressPie(int ACol, int ARow, int Value);
    void RemoveProgressPie(int ACol, int ARow) {
        RemoveCellGraphicOfType(ACol, ARow, ctProgressPie);
    }
    void AddRangeIndicator(int ACol, int ARow, int Range, TColor NegColor, TColor PosColor,
                           bool ShowValue);
    void RemoveRangeIndicator(int ACol, int ARow) {
        RemoveCellGraphicOfType(ACol, ARow, ctRangeIndicator);
    }
    void AddComment(int ACol, int ARow, const std::string& Comment);
    void AddColorComment(int ACol, int ARow, const std::string& Comment, TColor Color);
    bool IsComment(int ACol, int ARow, std::string& comment);
    std::string CellComment(int ACol, int ARow);
    void SetCellComment(int ACol, int ARow, const std::string& Value);
    void RemoveComment(int ACol, int ARow) { RemoveCellGraphicOfType(ACol, ARow, ctComment); }
    void RemoveAllComments();
    void AddMarker(int ACol, int ARow, int ErrPos, int ErrLen);
    void GetMarker(int ACol, int ARow, int& ErrPos, int& ErrLen);
    void RemoveMarker(int ACol, int ARow);
    void RemoveAllMarkers();
    void AddShape(int ACol, int ARow, TCellShape Shape, TColor FillColor, TColor LineColor,
                  TCellHAlign hal, TCellVAlign val);
    void SetShapeColor(int ACol, int ARow, TColor FillColor);
    TColor GetShapeColor(int ACol, int ARow);
    void RemoveShape(int ACol, int ARow) { RemoveCellGraphicOfType(ACol, ARow, ctShape); }
    void AddRating(int ACol, int ARow, int Scale, TColor FillColor, TColor EmptyColor);
    bool HasRating(int ACol, int ARow) { return HasCellType(ACol, ARow, {ctRating}); }
    void RemoveRating(int ACol, int ARow) { RemoveCellGraphicOfType(ACol, ARow, ctRating); }
    struct TScrollProp {
        int PageSize;
        int Range;
    };
    void AddScrollBar(int ACol, int ARow, bool AutoRange);
    bool HasScrollBar(int ACol, int ARow) { return HasCellType(ACol, ARow, {ctScrollbar}); }
    bool HasAutoRangeScrollBar(int ACol, int ARow);
    void SetScrollPosition(int ACol, int ARow, int Pos);
    int GetScrollPosition(int ACol, int ARow);
    void SetScrollProp(int ACol, int ARow, TScrollProp Prop);
    TScrollProp GetScrollProp(int ACol, int ARow);
    void RemoveScrollBar(int ACol, int ARow) { RemoveCellGraphicOfType(ACol, ARow, ctScrollbar); }
    void AddButton(int ACol, int ARow, int bw, int bh, const std::string& Caption, TCellHAlign hal,
                   TCellVAlign val);
    void AddBitButton(int ACol, int ARow, int bw, int bh, const std::string& Caption,
                      TBitmap* Glyph, TCellHAlign hal, TCellVAlign val);
    TBitmap* CreateBitButton(int ACol, int ARow, int bw, int bh, const std::string& Caption,
                             TCellHAlign hal, TCellVAlign val);
    // Display column: the caption and pushed state of a button cell; other cells are left alone.
    void SetButtonText(int ACol, int ARow, const std::string& Caption);
    std::string GetButtonText(int ACol, int ARow);
    void PushButton(int ACol, int ARow, bool push);
    bool HasButton(int ACol, int ARow) { return HasCellType(ACol, ARow, {ctButton, ctBitButton}); }
    void RemoveButton(int ACol, int ARow);
    void RemoveBitButton(int ACol, int ARow) { RemoveCellGraphicOfType(ACol, ARow, ctBitButton); }
    void RemoveAllButtons();
    void AddExpand(int ACol, int ARow, int ExpandedHeight);
    bool HasExpand(int ACol, int ARow) { return HasCellType(ACol, ARow, {ctExpand}); }
    bool ToggleExpand(int ACol, int ARow);
    bool GetExpandState(int ACol, int ARow);
    int GetExpandHeight(int ACol, int ARow, bool Expanded);
    void RemoveExpand(int ACol, int ARow) { RemoveCellGraphicOfType(ACol, ARow, ctExpand); }
    // On a check box or radio button the balloon rides along; any other graphic is replaced.
    void AddBalloon(int ACol, int ARow, const std::string& Title, const std::string& Text,
                    TBalloonIcon Icon);
    bool IsBalloon(int ACol, int ARow, std::string& Title, std::string& Text, TBalloonIcon& Icon);
    bool HasBalloon(int ACol, int ARow) { return HasCellType(ACol, ARow, {ctBalloon}); }
    void RemoveBalloon(int ACol, int ARow);
    void AddRadio(int ACol, int ARow, int DirRadio, int IdxRadio, TStrings* sl);
    TStrings* CreateRadio(int ACol, int ARow, int DirRadio, int IdxRadio);
    bool GetRadioIdx(int ACol, int ARow, int& IdxRadio);
    // Only a ctRadio cell takes the index; -1 also clears the cell text.
    bool SetRadioIdx(int ACol, int ARow, int IdxRadio);
    TStrings* GetRadioStrings(int ACol, int ARow);
    bool IsRadio(int ACol, int ARow) { return GetCellType(ACol, ARow) == ctRadio; }
    void RemoveRadio(int ACol, int ARow) { RemoveCellGraphicOfType(ACol, ARow, ctRadio); }
    // The space key's step to the next item of a radio group.
    void NextRadioItem(int ACol, int ARow, bool FromUser);
    TRect GetExpandButtonRect(int ACol, int ARow);
    // Display column: where the painter last drew the cell's graphic.
    TRect GetCellGraphicRect(int ACol, int ARow);
    bool IsControlCell(int ACol, int ARow);
    bool IsDataGraphicCell(int ACol, int ARow);

    // --- check boxes and radio buttons ---------------------------------------------------------
    // A cell outside the real column and row counts raises "Invalid cell".
    void AddCheckBox(int ACol, int ARow, bool State, bool Data);
    void AddCheckBoxColumn(int ACol, bool DefaultState, bool DataCheckBox);
    void RemoveCheckBox(int ACol, int ARow);
    void RemoveCheckBoxColumn(int ACol);
    bool HasCheckBox(int ACol, int ARow);
    bool HasDataCheckBox(int ACol, int ARow);
    // By real row: false for a cell that is no two-state check box.
    bool GetCheckBoxState(int ACol, int ARow, bool& state);
    bool IsChecked(int ACol, int ARow);
    bool SetCheckBoxState(int ACol, int ARow, bool State);
    bool SetCheckBoxState(int ACol, int ARow, TCheckBoxState State);
    bool ToggleCheckBox(int ACol, int ARow) { return DoToggleCheck(ACol, ARow, false); }
    void CheckAll(int ACol);
    void UnCheckAll(int ACol);
    bool IsInCheckBox(int ACol, int ARow, int XPos, int YPos);
    void AddRadioButton(int ACol, int ARow, bool State);
    void RemoveRadioButton(int ACol, int ARow) {
        RemoveCellGraphicOfType(ACol, ARow, ctRadioButton);
    }
    bool HasRadioButton(int ACol, int ARow) { return HasCellType(ACol, ARow, {ctRadioButton}); }
    bool IsRadioButtonChecked(int ACol, int ARow);
    void AddRadioButtonColumn(int ACol);
    void RemoveRadioButtonColumn(int ACol);
    bool SetRadioButtonState(int ACol, int ARow, bool State);
    void SetRadioButtonColumnIndex(int ACol, int Index);
    int GetRadioButtonColumnIndex(int ACol);
    virtual bool DoToggleCheck(int ACol, int ARow, bool FromUser);
    virtual bool DoToggleRadio(int ACol, int ARow, bool FromUser);
    virtual void CheckBoxChange(int ACol, int ARow, bool State);
    virtual bool RatingChange(int ACol, int ARow, double& NewRate);
    // Display row; fires CheckBoxChange when the checked state changes.
    bool ApplyCheckBoxState(int ACol, int ARow, bool State);
    std::function<void(TObject* Sender, int ACol, int ARow, bool State)> OnCheckBoxChange;
    // The colour picker editor picked AColor, named Value, and the image picker editor item
    // Index for the current cell.
    virtual void ColorSelect(TColor AColor, const std::string& Value);
    virtual void ImageSelect(int Index);
    std::function<void(TObject* Sender, int ACol, int ARow, TColor AColor,
                       const std::string& Value)>
        OnColorSelect;
    std::function<void(TObject* Sender, int ACol, int ARow, int Index)> OnImageSelect;
    // The colour and the image the colour and image picker editors are about to write into the
    // cell; the event may change them.
    TColorSelectedEvent OnColorSelected;
    TImageSelectedEvent OnImageSelected;
    std::function<void(TObject* Sender, int ACol, int ARow, double& NewRate, bool& Allow)>
        OnRatingChange;

    // --- cell graphics painter -------------------------------------------------------------------
    // GetCellGraphicInfo and DrawCellGraphic are declared with the painting pipeline.
    void DrawCheck(TCanvas* Canvas, TRect R, bool Checked, bool Enabled, bool Grayed,
                   TControlStyle Style, bool TriState, TCheckBoxState State);
    void DrawRadioGroup(TCanvas* Canvas, TRect R, bool BottomUp, double Scale, TControlStyle Style,
                        int ARow, int ACol, bool Selected, TStrings* Items, bool Disabled,
                        bool SideBySide, int ItemIndex, int Count);
    // The sort direction or sort index glyph of a header cell, centred at (X, Y).
    void DrawSortGlyph(TCanvas* Canvas, int ACol, int X, int Y);
    // The image rows, radio groups, progress bars and pies, shapes, ratings and interfaced
    // drawings of a cell, for the screen and for paper: Area is the cell's room, Box the placed
    // graphic, Scale the device pixels per screen pixel.
    void DrawScaledCellGraphic(TCanvas& C, int ACol, int ARow, TCellGraphic& Graphic,
                               const TRect& Area, const TRect& Box, double Scale, bool Selected);
    static double ClampPercent(double Value) { return Value < 0 ? 0 : Value > 100 ? 100 : Value; }

    // --- hidden columns (real indexes) --------------------------------------------------------
    void HideColumn(int ColIndex) { HideColumns(ColIndex, ColIndex); }
    void HideColumns(int FromCol, int ToCol);
    void UnHideColumn(int ColIndex) { UnHideColumns(ColIndex, ColIndex); }
    void UnHideColumns(int FromCol, int ToCol);
    void UnHideColumnsAll();
    bool IsHiddenColumn(int ColIndex) const;
    int NumHiddenColumns() const { return FNumHidden; }
    int TotalColCount() const override { return ColCount() + FNumHidden; }
    int AllColCount() const { return TotalColCount(); }
    // Display to real; -1 for a display index outside the shown columns.
    int RealColIndex(int ACol) override { return RealColIndexOf(ACol); }
    int RealColIndexOf(int ACol) const;
    // Real to display; a hidden column answers the display position of the next shown column.
    int DisplColIndex(int ACol) override { return DisplColIndexOf(ACol); }
    int DisplColIndexOf(int ACol) const;
    int RealCol() const { return RealColIndexOf(Col()); }
    int AllColWidths(int ACol);
    void SetAllColWidths(int ACol, int Value);

    // --- hidden rows (real indexes) -----------------------------------------------------------
    void HideRow(int RowIndex) { HideRows(RowIndex, RowIndex); }
    void HideRows(int FromRow, int ToRow);
    // Hides display rows (ascending) as one new filter level.
    void HideRowList(const TIntList& RowList);
    void UnHideRow(int RowIndex) { UnHideRows(RowIndex, RowIndex); }
    // Shows the hidden rows of the range; nothing unless FromRow itself is hidden.
    void UnHideRows(int FromRow, int ToRow);
    void UnHideRowsAll();
    // Shows the rows of the topmost filter level.
    void UnHideRowList();
    bool IsHiddenRow(int RowIndex) const;
    // For loops: the hidden rows are listed into ListHidden by the first call (ListHidden
    // empty) and looked up there by the later ones.
    bool IsHiddenRow(int RowIndex, std::unique_ptr<TIntList>& ListHidden) const;
    // As HideRows, but nothing at all when FromRow is hidden already.
    void HideRowsEx(int FromRow, int ToRow);
    int NumHiddenRows() const;
    int TotalRowCount() const { return RowCount() + NumHiddenRows(); }
    int AllRowCount() const { return TotalRowCount(); }
    int FilterLevel() const { return FFilterLevel; }
    void SetFilterLevel(int v) { FFilterLevel = v; }
    // The level that hid a hidden row (THiddenRows::NoFilterLevel when hidden directly).
    int HiddenRowLevel(int RowIndex) const;
    // Display to real; -1 for a negative index.
    int RealRowIndex(int ARow) const;
    // Real to display; a hidden row answers the display position of the next shown row.
    int DisplRowIndex(int ARow) const;
    int RealRow() const { return RealRowIndex(Row()); }
    // Cells by real column and real row, hidden rows included.
    std::string AllCells(int ACol, int ARow);
    void SetAllCells(int ACol, int ARow, const std::string& Value);
    TCellProperties* AllCellProperties(int ACol, int ARow);
    // Stored texts by real row, hidden rows included (no display hook).
    std::string AllGridCells(int ACol, int ARow);
    void SetAllGridCells(int ACol, int ARow, const std::string& Value);
    // User objects by real row, hidden rows included.
    TObject* AllObjects(int ACol, int ARow);
    void SetAllObjects(int ACol, int ARow, TObject* Value);

    // --- extended cell access ------------------------------------------------------------------
    // Real column and real row, hidden rows included.
    std::u16string AllWideCells(int ACol, int ARow);
    void SetAllWideCells(int ACol, int ARow, const std::u16string& Value);
    // The raw object slot of a cell or of a hidden row's record (cell properties or nil).
    TObject* AllGridObjects(int ACol, int ARow);
    // Cells (display row) of the column that had position ACol when the order was recorded.
    std::string OriginalCells(int ACol, int ARow);
    void SetOriginalCells(int ACol, int ARow, const std::string& Value);
    // Recorded column order: entry p is the recorded index of the column now at position p.
    TIntList* ColumnOrder() const { return FColumnOrder.get(); }
    void SetColumnOrder();
    // Current position of the column recorded as ACol; ACol while no order is recorded.
    int ColumnPosition(int ACol) const;
    // Entry i: the row index that row i had before the last sort; empty when never sorted.
    TIntList* SortRowXRef() const { return FSortRowXRef.get(); }
    // The real row of the row that stood at ARow before the sort.
    int SortedRowIndex(int ARow) const;
    // Where the row that stood at ARow before the sort is now.
    int UnSortedRowIndex(int ARow) const;
    // Cells by their row before the sort.
    std::string UnSortedCells(int ACol, int ARow);
    void SetUnSortedCells(int ACol, int ARow, const std::string& Value);

    // --- sorting (grid/data/QorStringGridSort.cpp) ---------------------------------------------
    // The normal rows by SortSettings' column (QSort), by the sort index list (QSortIndexed),
    // inside the deepest expanded groups (QSortGroup*), or back into the order they had when
    // the cross-reference was initialised (QUnSort). Rows equal in every compared column keep
    // their order; cells, properties, hidden rows and row flags move with their rows.
    virtual void QSort();
    virtual void QSortIndexed();
    virtual void QSortGroup();
    virtual void QSortGroupIndexed();
    virtual void QUnSort();
    void Sort(int Column, TSortDirection Direction);
    // Nothing on a grid of one row.
    void SortByColumn(int Col);
    // Rows Left..Right only: no update lock, cross-reference or current-row handling.
    void QuickSort(int Col, int Left, int Right);
    void QuickSortIndexed(int Left, int Right);
    // One compare-and-exchange step; ties go on to the next columns.
    bool SortLine(int Col, int ARow1, int ARow2);
    void InitSortXRef();
    // -1, 0 or 1; Direction only turns the placing of blanks (IgnoreBlanks) around.
    int CompareCells(int ACol, int ARow1, int ARow2, TSortDirection Direction);
    int CompareLine(int ACol, int ARow1, int ARow2);
    int CompareLineIndexed(int Index, int ARow1, int ARow2);
    // The comparison result the last plain sort treated as "first row after second".
    int SortDir() const { return FSortDir; }
    // The row the current row went to in the last sort.
    int SortRow() const { return FSortRow; }
    long long Compares = 0;
    long long Swaps = 0;
    // Milliseconds of the last click sort.
    unsigned SortTime = 0;
    std::function<void(TObject* Sender, const std::string& Str1, const std::string& Str2, int& Res)>
        OnCustomCompare;
    std::function<void(TObject* Sender, int ACol, int Row1, int Row2, int& Res)> OnRawCompare;
    std::function<void(TObject* Sender, int ACol, bool& DoSort)> OnCanSort;

    // --- current cell and edit text -----------------------------------------------------------
    // The current cell (real column, merged areas by their base cell): stored text, display
    // text; writing goes through Cells.
    virtual std::string CurrentCell();
    virtual void SetCurrentCell(const std::string& Value);
    virtual std::string GetCurrentCellText();
    // Used by the editors when pasting: the edit text of the current (base) cell.
    virtual void SetCurrentEditText(const std::string& Value);
    TEditorType CurrentEditor() const { return FEditControl; }
    // The editor's start text: the base cell's text, markup tags removed unless EditWithTags.
    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
    bool EditWithTags() const { return FEditWithTags; }
    void SetEditWithTags(bool v) { FEditWithTags = v; }
    // An automatic-range scroll bar in the cell takes the row height as its page and the
    // wrapped text's height as its range.
    void CellTextChanged(int ACol, int ARow) override;
    // The edit change notification is held back while set.
    bool NoEditChange() const { return FNoEditChange; }
    void SetNoEditChange(bool v) { FNoEditChange = v; }

    // --- small accessors ----------------------------------------------------------------------
    // Also the cursor restored after the sizing cursors.
    void SetCursor(TCursor v);
    bool UseHTMLHints() const { return FUseHTMLHints; }
    // The application's hints show in the markup hint window (True) or the plain one.
    void SetUseHTMLHints(bool v);
    void SetFocusHelper(const TFocusHelper* v) { FFocusHelper->Assign(v); }
    // Veto events of user sizing in a fixed row (column) and fixed column (row).
    std::function<void(TObject* Sender, int ACol, bool& Allow)> OnColumnSize;
    std::function<void(TObject* Sender, int ARow, bool& Allow)> OnRowSize;

    // --- per-cell appearance (real column, display row) ---------------------------------------
    // Reading a cell without properties answers the default and creates nothing (WordWraps
    // excepted); writing creates the properties and repaints the cell unless updates are locked.
    TColor Colors(int ACol, int ARow) const;
    void SetColors(int ACol, int ARow, TColor Value);
    TColor ColorsTo(int ACol, int ARow) const;
    void SetColorsTo(int ACol, int ARow, TColor Value);
    TColor FontColors(int ACol, int ARow) const;
    void SetFontColors(int ACol, int ARow, TColor Value);
    TFontStyles FontStyles(int ACol, int ARow) const;
    void SetFontStyles(int ACol, int ARow, TFontStyles Value);
    std::string FontNames(int ACol, int ARow) const;
    void SetFontNames(int ACol, int ARow, const std::string& Value);
    int FontSizes(int ACol, int ARow) const;
    void SetFontSizes(int ACol, int ARow, int Value);
    TAlignment Alignments(int ACol, int ARow) const;
    void SetAlignments(int ACol, int ARow, TAlignment Value);
    bool ReadOnly(int ACol, int ARow) const;
    void SetReadOnly(int ACol, int ARow, bool Value);
    bool WordWraps(int ACol, int ARow);
    void SetWordWraps(int ACol, int ARow, bool Value);
    TCellGradientDirection Gradients(int ACol, int ARow) const;
    void SetGradients(int ACol, int ARow, TCellGradientDirection Value);
    // Copies name, size, style and colour into the cell's properties.
    void SetFonts(int ACol, int ARow, const TFont* Value);
    TControl* CellControls(int ACol, int ARow) const;
    // A control is parented to the grid and placed over the cell; nullptr removes it.
    void SetCellControls(int ACol, int ARow, TControl* Value);
    int NumCellControls() const { return FNumCellControls; }
    const TControlList& CellControlList() const { return FControlList; }
    int LinesInCell(int ACol, int ARow);
    // The display text without markup tags.
    std::string StrippedCells(int ACol, int ARow);
    // Over the columns from FixedCols on, hidden ones included; clNone resets only that field.
    void SetRowColor(int ARow, TColor Value);
    void SetRowColorTo(int ARow, TColor Value);
    void SetRowFontColor(int ARow, TColor Value);

    // --- cell colours and fonts (display column and row) --------------------------------------
    // Brush, gradient colours, font, alignment, word wrap and draw state of a cell, in the order
    // cell properties, grid colour and bands, fixed colour and look gradient, colour hooks,
    // selection colours, disabled font.
    void GetVisualProperties(int ACol, int ARow, TGridDrawState& AState, bool Print, bool Select,
                             bool Remap, TBrush* ABrush, TColor& AColorTo, TColor& AMirrorColor,
                             TColor& AMirrorColorTo, TFont* AFont, TAlignment& HA, TVAlignment& VA,
                             bool& WW, TCellGradientDirection& GD) override;
    // A cell's brush colour, with its font into Font and its alignment into HAlign when given, as
    // GetVisualProperties gives them for the draw state (which it may change), with the selection
    // colours when Select.
    TColor cellLook(int ACol, int ARow, TGridDrawState& State, bool Select, TFont* Font,
                    TAlignment* HAlign = nullptr);
    // The font of a cell: fixed or normal font, cell properties, colour hook.
    void GetFontProperties(int ACol, int RCol, int ARow, TGridDrawState& AState, TFont* AFont,
                           TBrush* ABrush, bool Remap);
    bool SelectionColorMixer() const { return FSelectionColorMixer; }
    void SetSelectionColorMixer(bool v) { setLook(FSelectionColorMixer, v); }
    std::function<void(TObject* Sender, int ARow, int ACol, TColor& Color, TColor& ColorTo,
                       TColor& ColorMirror, TColor& ColorMirrorTo, TCellGradientDirection& GD)>
        OnGetCellGradient;

    // --- geometry, navigation and footer row ---------------------------------------------------
    // The counts keep FixedRowAlways / FixedColAlways, the largest counts and the footer row.
    void SetRowCount(int Value) override;
    void SetColCount(int Value) override;
    // 1 while the platform has none and FixedRowAlways (FixedColAlways) holds.
    int FixedRows() const;
    void SetFixedRows(int Value);
    int FixedCols() const;
    void SetFixedCols(int Value);
    int FixedColWidth() const { return ColWidths(0); }
    // Every fixed column gets the width, unless it equals DefaultColWidth.
    void SetFixedColWidth(int Value);
    int FixedRowHeight() const { return FFixedRowHeight; }
    // Every fixed row gets the height; the default row height resets all rows instead.
    void SetFixedRowHeight(int Value);
    void SetDefaultRowHeight(int Value);
    // The text-drawing flag of VAlignment: 0 top, DT_VCENTER, DT_BOTTOM.
    unsigned VAlign() const { return FVAlign; }
    void SetWordWrap(bool v);
    // A synchronised grid with SelectionColumn gets the same column.
    void SetCol(int Value) override;
    // Fires OnRowUpdate when the row differs from the last one reported.
    void SetRow(int Value) override;
    // Values outside FixedRows..RowCount - 1 are ignored.
    void SetTopRow(int Value);
    // While the selection is hidden: the cell (ColCount, RowCount) outside the grid.
    TGridRect Selection() const;
    void SetSelection(const TGridRect& Value);
    void HideSelection();
    void UnHideSelection();
    bool SelectionHidden() const { return FSelHidden; }
    int MaxRowCount() const { return FMaxRowCount; }
    int MaxColCount() const { return FMaxColCount; }
    // The range the file exports write.
    int SaveStartCol() const;
    int SaveStartRow() const;
    int SaveEndCol() const;
    int SaveEndRow() const;
    int SaveColCount() const;
    int SaveRowCount() const;
    std::u16string WideCells(int ACol, int ARow);
    void SetWideCells(int ACol, int ARow, const std::u16string& Value);
    void UpdateEditMode() { SelectCell(Col(), Row()); }
    // The display cell under a screen point.
    void ScreenToCell(TPoint pt, int& ACol, int& ARow);
    bool IsIgnoredColumn(int ACol) const { return FIgnoreColumns->HasValue(ACol); }
    // Whether a client point lies within 4 pixels of a sizable fixed cell's border.
    bool IsOnSizingBorder(int X, int Y);
    // Gives the column (-1: the last) the client width the other columns leave; raises
    // "Stretch column index out of range" for an index at or past ColCount.
    void StretchColumn(int Index);
    void StretchRightColumn() { StretchColumn(ColCount() - 1); }
    TFloatingFooter* FloatingFooter() const { return FFloatingFooter.get(); }
    // Recalculates the footer row's cells of a real column (-1: all) from their calculation
    // type.
    virtual void CalcFooterValues(int ACol);
    virtual void CalcFooter(int ACol) { CalcFooterValues(ACol); }
    // Repaints the footer strip.
    virtual void UpdateFooter();
    void LastRowChanged() override;
    virtual void AppendRow() { SetRowCount(RowCount() + 1); }
    virtual void CanAddRow(bool& CanAdd);
    virtual void CanInsertRow(int ARow, bool& CanInsert);
    // Called after F2 opened the editor.
    virtual void F2EditHook() {}
    std::function<void(TObject* Sender, int OldRow, int NewRow)> OnRowUpdate;
    std::function<void(TObject* Sender, int ACol)> OnEndColumnSize;
    std::function<void(TObject* Sender, int ARow)> OnEndRowSize;
    std::function<void(TObject* Sender, bool& CanAdd)> OnCanAddRow;
    std::function<void(TObject* Sender, int ARow, bool& CanInsert)> OnCanInsertRow;
    std::function<void(TObject* Sender, int ACol, int ARow, std::string& Value)> OnCalcFooter;

    // --- alignment, used cells and text measurement -------------------------------------------
    bool AutoNumAlign() const { return FAutoNumAlign; }
    void SetAutoNumAlign(bool v) { setLook(FAutoNumAlign, v); }
    bool XYOffsetTopLeftOnly() const { return FXYOffsetTopLeftOnly; }
    void SetXYOffsetTopLeftOnly(bool v) { setLook(FXYOffsetTopLeftOnly, v); }
    // Default alignment, numbers right-aligned with AutoNumAlign, the cell's own, the hook.
    void GetCellAlignment(int ACol, int ARow, TAlignment& HA, TVAlignment& VA);
    // The smallest rectangle of cells (real columns, display rows) holding all non-empty texts.
    virtual TRect UsedCells();
    // The size of a cell's text (real column) as the painter draws it; VS measures wrapped in
    // the cell's width, SB leaves room for a scroll bar.
    TSize GetCellTextSize(int ACol, int ARow, bool VS, bool SB);

    // --- painting: pipeline, cell text, control look ------------------------------------------
    TControlLook* ControlLook() const { return FControlLook.get(); }
    void SetControlLook(const TControlLook* v);
    TColor QorGradientHoverFrom() const { return FQorGradHoverFrom; }
    void SetQorGradientHoverFrom(TColor v) { setLook(FQorGradHoverFrom, v); }
    TColor QorGradientHoverTo() const { return FQorGradHoverTo; }
    void SetQorGradientHoverTo(TColor v) { setLook(FQorGradHoverTo, v); }
    TColor QorGradientHoverMirrorFrom() const { return FQorGradHoverMirrorFrom; }
    void SetQorGradientHoverMirrorFrom(TColor v) { setLook(FQorGradHoverMirrorFrom, v); }
    TColor QorGradientHoverMirrorTo() const { return FQorGradHoverMirrorTo; }
    void SetQorGradientHoverMirrorTo(TColor v) { setLook(FQorGradHoverMirrorTo, v); }
    TColor QorGradientHoverBorder() const { return FQorGradHoverBorder; }
    void SetQorGradientHoverBorder(TColor v) { setLook(FQorGradHoverBorder, v); }
    TColor QorGradientDownFrom() const { return FQorGradDownFrom; }
    void SetQorGradientDownFrom(TColor v) { setLook(FQorGradDownFrom, v); }
    TColor QorGradientDownTo() const { return FQorGradDownTo; }
    void SetQorGradientDownTo(TColor v) { setLook(FQorGradDownTo, v); }
    TColor QorGradientDownMirrorFrom() const { return FQorGradDownMirrorFrom; }
    void SetQorGradientDownMirrorFrom(TColor v) { setLook(FQorGradDownMirrorFrom, v); }
    TColor QorGradientDownMirrorTo() const { return FQorGradDownMirrorTo; }
    void SetQorGradientDownMirrorTo(TColor v) { setLook(FQorGradDownMirrorTo, v); }
    TColor QorGradientDownBorder() const { return FQorGradDownBorder; }
    void SetQorGradientDownBorder(TColor v) { setLook(FQorGradDownBorder, v); }
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    bool Ctl3D() const { return FCtl3D; }
    // Points added to every cell font, -10..10.
    void SetZoomFactor(int v) { setLook(FZoomFactor, std::clamp(v, -10, 10)); }
    bool NoImageAndText() const { return FNoImageAndText; }
    void SetNoImageAndText(bool v) { setLook(FNoImageAndText, v); }
    bool Multilinecells() const { return FMultilinecells; }
    void SetMultilinecells(bool v) { setLook(FMultilinecells, v); }
    bool EnhTextSize() const { return FEnhTextSize; }
    void SetEnhTextSize(bool v) { setLook(FEnhTextSize, v); }
    bool URLShow() const { return FURLShow; }
    void SetURLShow(bool v) { setLook(FURLShow, v); }
    // A right click on a link cell (with URLShow) opens it for editing.
    bool URLEdit() const { return FURLEdit; }
    void SetURLEdit(bool v) { FURLEdit = v; }
    bool URLFull() const { return FURLFull; }
    void SetURLFull(bool v);
    bool URLUnderlineOnHover() const { return FURLUnderlineOnHover; }
    void SetURLUnderlineOnHover(bool v) { setLook(FURLUnderlineOnHover, v); }
    bool SelectionRectangle() const { return FSelectionRectangle; }
    void SetSelectionRectangle(bool v) { setLook(FSelectionRectangle, v); }
    bool SelectionResizer() const { return FSelectionResizer; }
    void SetSelectionResizer(bool v) { setLook(FSelectionResizer, v); }
    bool SelectionRTFKeep() const { return FSelectionRTFKeep; }
    void SetSelectionRTFKeep(bool v) { FSelectionRTFKeep = v; }
    // The fixed cell under the mouse (display indexes, -1 none) and the pressed-header state;
    // the mouse handling sets them.
    int HoverFixedX() const { return FHoverFixedX; }
    int HoverFixedY() const { return FHoverFixedY; }
    void SetHoverFixedCell(int ACol, int ARow);
    bool HeaderPressed() const { return FHeaderPressed; }
    void SetHeaderPressed(bool v) { setLook(FHeaderPressed, v); }
    // Guide lines drawn with XOR while a column or row is sized; drawing one twice removes it.
    void DrawColumnSizingLine(int X);
    void DrawRowSizingLine(int Y);
    // Draws a rich-text cell (real column, display row) into ARect.
    void RenderRichCell(int ACol, int ARow, TRect ARect, TCanvas* ACanvas);
    // R deflated by 2, its top-left moved to where Text, turned by Angle degrees and drawn with
    // the canvas font, starts for the alignments.
    void CalcRotatedTextRect(TRect& R, int Angle, TAlignment HAlign, TVAlignment VAlign,
                             const std::string& Text);
    // The start of a text turned by Angle degrees that measures X by Y unturned, inside the
    // deflated rectangle R (y growing downwards).
    static TPoint RotatedTextOrigin(const TRect& R, int Angle, TAlignment HAlign,
                                    TVAlignment VAlign, int X, int Y);
    // The cell graphic painter's hooks. GetCellGraphicInfo tells the graphic of a cell (real
    // column, display row), its size and placement and whether the text is drawn beside it;
    // DrawCellGraphic paints it into R (Info from GetCellGraphicInfo, HA and VA the cell's
    // alignments, TextWidth the measured text width, 0 when unknown) and answers the rectangle
    // the graphic leaves to the cell (QorStringGridGraphics.cpp).
    struct TCellGraphicInfo {
        TCellGraphic* Graphic = nullptr;
        int Width = 0;
        int Height = 0;
        TCellHAlign HAlign = haLeft;
        TCellVAlign VAlign = vaTop;
        bool ShowText = true;
        // A ctInterface graphic that is drawn before the text.
        bool DrawFirst = false;
    };
    virtual TCellGraphicInfo GetCellGraphicInfo(int ACol, int ARow);
    // ACol is the display column.
    virtual TRect DrawCellGraphic(TCanvas* ACanvas, int ACol, int ARow, TRect R,
                                  const TCellGraphicInfo& Info, TGridDrawState AState,
                                  TAlignment HA, TVAlignment VA, int TextWidth);
    // The formula cell's value; the base answers the text unchanged.
    virtual std::string GetPrintCellText(int ACol, int ARow);
    // The header row that shows filter buttons.
    int FilterDropDownRow() const { return FFilterDropDownRow; }
    // A row that is not a fixed row is refused.
    void SetFilterDropDownRow(int v) {
        if (v < FixedRows()) setLook(FFilterDropDownRow, v);
    }
    void DrawGridCell(TCanvas* Canvas, int ACol, int ARow, TRect ARect,
                      TGridDrawState AState) override;
    TNotifyEvent OnPainted;
    using TCustomCellDrawEvent =
        std::function<void(TObject* Sender, TCanvas* Canvas, int ACol, int ARow,
                           TGridDrawState AState, TRect ARect, bool Printing)>;
    TCustomCellDrawEvent OnCustomCellBkgDraw, OnCustomCellDraw;
    std::function<void(TObject* Sender, int ARow, int ACol, TPen* LeftPen, TPen* TopPen,
                       TPen* RightPen, TPen* BottomPen)>
        OnGetCellBorderProp;
    // --- selection model and row flags ---------------------------------------------------------
    // Disjunct row flags, modified and enabled flags are kept per display row; with
    // MouseActions.RowSelectPersistent the row-selection flags are kept per real row and the
    // operations that take display rows map them first. Reading a flag past its list answers
    // false.
    bool RowSelect(int ARow);
    void SetRowSelect(int ARow, bool Value);
    bool ColSelect(int ACol);
    void SetColSelect(int ACol, bool Value);
    void SelectRows(int RowIndex, int RCount);
    void UnSelectRows(int RowIndex, int RCount);
    void SelectCols(int ColIndex, int CCount);
    void UnSelectCols(int ColIndex, int CCount);
    void SelectRange(int FromCol, int ToCol, int FromRow, int ToRow);
    void SelectCells(int FromCol, int FromRow, int ToCol, int ToRow);
    void ClearRowSelect();
    void ClearColSelect();
    void ClearSelectedCells();
    // Copies the selection rectangle into the disjunct flags (All: also clears the others).
    void SelectionToRowSelect(bool All);
    void SelectionToColSelect(bool All);
    int RowSelectCount() const;
    int ColSelectCount() const;
    int SelectedCellsCount();
    int SelectedRowCount();
    int SelectedColCount();
    bool SelectedCells(int i, int j) const;
    void SetSelectedCells(int i, int j, bool Value);
    TGridCoord SelectedCell(int i) const;
    // The i-th selected row; -1 past the last.
    int SelectedRow(int i) const;
    bool IsSelected(int ACol, int ARow);
    // Cells separated by TAB, rows by CR LF.
    std::string SelectedText();
    bool RowModified(int ARow) const;
    void SetRowModified(int ARow, bool Value);
    int ModifiedRowCount() const;
    void ClearModifiedRows();
    bool RowEnabled(int ARow) const;
    void SetRowEnabled(int ARow, bool Value);
    bool UseEnabledRows() const { return FUseEnabledRows; }
    TShowModified* ShowModified() const { return FShowModified.get(); }
    TRowDisjunctSelectEvent OnRowDisjunctSelect;
    TRowDisjunctSelectedEvent OnRowDisjunctSelected;

    // --- row and column operations ------------------------------------------------------------
    // Rows are display rows and columns real columns. Every operation carries along what belongs
    // to a row (texts, properties, height, hidden rows, row flags, selection, cell controls) or
    // a column (texts, properties, width, visibility).
    virtual void RemoveRows(int RowIndex, int RCount);
    // Removal of the selection-driven and content-driven removals.
    virtual void DoRemoveRows(int RowIndex, int RCount);
    // DropControls: the cell controls of the removed rows are hidden and forgotten.
    void DeleteRowRange(int RowIndex, int RCount, bool DropControls);
    // Removes rows from the display without freeing their objects (their caller keeps them).
    virtual void RemoveRowsEx(int RowIndex, int RCount);
    virtual void InsertRows(int RowIndex, int RCount, bool UpdateCellControls = true);
    void AddRow();
    void AddColumn();
    virtual void InsertCols(int ColIndex, int CCount);
    virtual void RemoveCols(int ColIndex, int CCount);
    virtual void ClearRect(int ACol1, int ARow1, int ACol2, int ARow2);
    void ClearRows(int RowIndex, int RCount);
    void ClearCols(int ColIndex, int CCount);
    void ClearNormalCols(int ColIndex, int CCount);
    void ClearNormalRows(int RowIndex, int RCount);
    void ClearNormalCells();
    void Clear();
    // Clear, and the texts of the hidden rows too.
    void ClearAll();
    void ClearSelection();
    void RemoveSelectedRows();
    void RemoveUnSelectedRows();
    void RemoveSelectedCols();
    void RemoveUnSelectedCols();
    void HideSelectedRows();
    void HideUnSelectedRows();
    void RemoveCheckedRows(int CheckBoxColumn, bool RemoveChecked);
    // Keeps the first row of each text of the column; DoCase: texts differing in case differ.
    void RemoveDuplicates(int ACol, bool DoCase);
    virtual void TrimRect(int ACol1, int ARow1, int ACol2, int ARow2);
    void TrimColumn(int ACol);
    void TrimRow(int ARow);
    void TrimAll();
    void ColorRect(int ACol1, int ARow1, int ACol2, int ARow2, TColor AColor);
    void SplitColumnCells(int ColIndex);
    void SplitRowCells(int RowIndex);
    void SplitAllCells();
    void SplitAllColumnCells();
    // Merges runs of equal texts; without MainMerge a run also needs equal spans in the column
    // before (RowSpanIdentical / ColSpanIdentical).
    void MergeColumnCells(int ColIndex, bool MainMerge);
    void MergeRowCells(int RowIndex, bool MainMerge);
    void RemergeColumnCells();
    void RefreshColumnMerges();
    // Columns merged by RemergeColumnCells, the first as main merge; a change remerges.
    TIntList* MergedColumns() const { return FMergedColumns.get(); }
    void MergeCols(int ColIndex1, int ColIndex2, const std::string& Separator);
    void SwapColumns(int ACol1, int ACol2);
    void SwapRows(int ARow1, int ARow2);
    virtual void SortSwapRows(int ARow1, int ARow2);
    bool IsCell(const std::string& SubStr, int& ACol, int& ARow);
    bool IsWideCell(int ACol, int ARow);
    // Fires OnCellsChanged, tells the registered notifiers and recalculates the footers.
    virtual void CellsChanged(const TRect& R);
    TCellsChangedEvent OnCellsChanged;
    // --- window procedure and in-place edit life cycle ---------------------------------------
    // The editors call these: ShowInplaceEdit opens the editor of the current cell, HideInplaceEdit
    // closes it (commit, then the cell-selection rule for the current cell), DoneInplaceEdit ends
    // an edit after a closing key, PostEditingDone reports the end (OnEditingDone at once,
    // OnEditCellDone when the posted "GridEditDone" message arrives).
    void WndProc(TMessage& Message) override;
    void ShowInplaceEdit();
    void HideInplaceEdit();
    void DoneInplaceEdit(WORD Key, TShiftState Shift);
    void PostEditingDone(int ACol, int ARow);
    // The cell-selection rule for the current cell, its answer ignored.
    void Select();
    // A left press and release 2 pixels inside the cell, without OnMouseDown and OnMouseUp.
    void SimulateCellClick(int ACol, int ARow);
    // Places the controls of cells over their cells (rebuildlist: collect them again first).
    void CellControlsUpdate(bool rebuildlist);
    void OleColumnDragStart(int ACol, int AIndex, TCustomListBox* AList);
    int OleDragCol() const { return FOleDragCol; }
    int OleDragIndex() const { return FOleDragIndex; }
    TCustomListBox* OleDragList() const { return FOleDragList; }
    void SetSyncGrid(const TSyncGrid* v) { FSyncGrid->Assign(v); }
    bool ShowEditProcess() const { return FShowEditProcess; }
    TIntelliPan IntelliPan() const { return FIntelliPan; }
    void SetIntelliPan(TIntelliPan v) { FIntelliPan = v; }
    bool IntelliZoom() const { return FFlags.IntelliZoom; }
    void SetIntelliZoom(bool v) { FFlags.IntelliZoom = v; }
    bool WheelPanning() const { return FWheelPan; }
    TPoint WheelPanPos() const { return FWheelPanPos; }
    // The cursor shown while panning: 8000 at rest, 8001 .. 8008 by direction.
    int WheelPanCursor() const { return FWheelPanCursor; }
    // The panning origin's picture ("INTLI1" both ways, "INTLI2" across, "INTLI3" up and
    // down) at WheelPanPos, and the 32 x 32 square there made to repaint.
    void DrawWheelPanGlyph();
    void InvalidateWheelPanGlyph();
    static constexpr std::uintptr_t WheelPanTimerID = 999;
    static constexpr unsigned WheelPanInterval = 10;
    // The editors' controls: the shared combo editor (the one whose notifications the grid
    // reports) and the control of the open special editor, nil while none is open.
    virtual TCustomComboBox* EditCombo();
    virtual TWinControl* EditCtrl() { return FEditCtrl; }
    TGridCombo* GridCombo() const { return FEditCombo; }
    // The text editor; nil until the grid first shows it.
    TQorInplaceEdit* NormalEdit() const;
    // The other editors: made with the grid (check box, edits with a button, button) or on
    // first use (spin edit, date picker, date-and-time picker); hidden and disabled between
    // edits.
    TGridCheckBox* EditCheck() const { return FEditCheck; }
    TGridEditBtn* EditBtn() const { return FEditBtn; }
    TGridUnitEditBtn* UnitEditBtn() const { return FUnitEditBtn; }
    TGridButton* GridButton() const { return FGridButton; }
    // The editors of fixed cells, hidden between edits, and the opening of one over the fixed
    // cell (display column, row) when OnCanEditCell allows it.
    TGridTransEdit* EditTrans() const { return FEditTrans; }
    TGridTransCombo* ComboTrans() const { return FComboTrans; }
    void EditFixedCell(int ACol, int ARow);
    // The menu a fixed cell's drop-down button (ControlLook.FixedDropDownButton) pops up;
    // OnFixedDropDownClick may give another.
    TPopupMenu* FixedDropDownMenu() const { return FFixedDropDownMenu; }
    void SetFixedDropDownMenu(TPopupMenu* v);
    TFixedDropDownClickEvent OnFixedDropDownClick;
    TGridSpin* SpinEdit();
    TGridDatePicker* DateTimePicker();
    TGridDateTimePicker* DateAndTimePicker();
    // The drop-down editors, made on first use by the drop-down controls library, which defines
    // these getters with the editor classes.
    TGridTrackbarDropDown* TrackbarDropDown();
    TGridMemoDropDown* MemoDropDown();
    TGridCalculatorDropDown* CalculatorDropDown();
    TGridTimepickerDropDown* TimePickerDropDown();
    TGridDetailPickerDropDown* DetailPickerDropDown();
    TGridGridDropDown* GridDropDown();
    TGridColorDropDown* ColorPickerDropDown();
    TGridImageDropDown* ImagePickerDropDown();
    TGridQorGridDropDown* QorGridDropDown();
    // The editor of a drop-down kind, made on first use through the installed maker; nil for
    // another kind or while no maker is installed.
    TDropDownCellEditor* DropDownEditor(TEditorType Kind);
    // The rich edits, made on first use: a hidden one that converts rich-text cells, and the
    // in-place editor of edRichEdit cells.
    TQorRichEdit* RichEdit();
    TQorRichEdit* InplaceRichEdit();
    // Rich-text cells: the cell's RTF into the editor, the editor's RTF into the cell.
    void CellToRich(int Col, int Row, TCustomRichEdit* Richeditor);
    void RichToCell(int Col, int Row, TCustomRichEdit* Richeditor);
    std::string RichToString(TCustomRichEdit* Richeditor);
    // The selection of the rich-text in-place editor changed.
    TNotifyEvent OnRichEditSelectionChange;
    // The editor link of the cell being edited (from its column); passed to OnGetEditorProp.
    TObject* EditLink() const { return FEditLink; }
    void SetEditLink(TObject* v) { FEditLink = v; }
    // The value a date-and-time cell had when its editor opened.
    TDateTime OriginalDateTime() const { return FOriginalDateTime; }

    // --- editing life cycle (QorStringGridCellEdit.cpp) --------------------------------------
    // Opens the special editor of kind EditControl over the cell (display column).
    virtual void ActivateCellEditor(int ACol, int ARow);
    // Writes the open special editor's value into the cell (display column), hides the editor
    // and reports the end of the edit.
    virtual void CommitCellEditor(int ACol, int ARow);
    void HideCellEdit() { CommitCellEditor(Col(), Row()); }
    // Starts editing the current cell as F2 does.
    void ShowCellEdit();
    // The store step of a commit (real column): the edit-text path, then the cell.
    virtual void StoreEditorValue(int ACol, int ARow, const std::string& Value);
    // An editor's value into a cell (real column): the edit-text path, then Cells.
    virtual void SetEditorCellText(int ACol, int ARow, const std::string& Value);
    // Puts the text the cell had before the edit back (Escape).
    virtual void RestoreEditedCell();
    // Writes the text cached when the edit started back into the current cell.
    virtual void RestoreCellCache();
    // Every key message of the text editor's WM_KEYDOWN, before it handles it.
    virtual void EditorWMKeyDown(TWMKey& /*Message*/) {}
    TSpinClickEvent OnSpinClick;
    TFloatSpinClickEvent OnFloatSpinClick;
    TDateTimeSpinClickEvent OnDateSpinClick, OnTimeSpinClick;
    // Reads the text of a date cell into ADate (which starts as now) for its date picker.
    std::function<void(TObject* Sender, const std::string& Value, TDateTime& ADate)>
        OnCustomStrToDate;
    // Whether an editor hands Tab to the grid so that the cell is validated first.
    bool NeedsEditValidation();
    // The preferred combo item for a cell whose text is no item (-1: none); a text that is no
    // item leaves it unchanged and answers false.
    void SetComboSelection(int Index) { FComboIdx = Index; }
    bool SetComboSelectionString(const std::string& Value);
    int ComboSelection() const { return FComboIdx; }
    int MaxComboLength() const { return FMaxComboLength; }
    void SetMaxComboLength(int v) { FMaxComboLength = v; }
    // Look-up completion of the editors.
    bool Lookup() const { return FLookup; }
    void SetLookup(bool v) { FLookup = v; }
    bool LookupCaseSensitive() const { return FLookupCaseSensitive; }
    void SetLookupCaseSensitive(bool v) { FLookupCaseSensitive = v; }
    bool LookupHistory() const { return FLookupHistory; }
    void SetLookupHistory(bool v) { FLookupHistory = v; }
    // The characters an edValidChars cell accepts; when empty, the set of valid characters.
    const std::string& ValidChars() const { return FValidChars; }
    void SetValidChars(const std::string& v) { FValidChars = v; }
    std::bitset<256>& ValidCharSet() { return FValidCharSet; }
    bool ExcelStyleDecimalSeparator() const { return FExcelStyleDecimalSeparator; }
    void SetExcelStyleDecimalSeparator(bool v) { FExcelStyleDecimalSeparator = v; }
    // The character a typed Key puts into a cell: with ExcelStyleDecimalSeparator the numeric
    // keypad's "." (bit 22 of the key data: a keypad scan code) types the locale's separator.
    char32_t TypedChar(char32_t Key, LPARAM KeyData) const;
    // Set by an editor whose validation refused on Enter; cleared on key up.
    bool NoAutoAdvance() const { return FNoAutoAdvance; }
    void SetNoAutoAdvance(bool v) { FNoAutoAdvance = v; }
    // The editor was opened by a left click.
    bool LButFlg() const { return FLButFlg; }
    void SetLButFlg(bool v) { FLButFlg = v; }
    // The clipboard keys of the grid and its text editor (Sender: the grid or the editor); Allow
    // starts True.
    std::function<void(TObject*Sender, bool&Allow)> OnClipboardPaste, OnClipboardCut,
        OnClipboardCopy;
    std::function<void(TObject* Sender, int ACol, int ARow, std::string& Value, bool& Allow)>
        OnClipboardBeforePasteCell;
    std::function<void(TObject* Sender, int ACol, int ARow, const std::string& Value)>
        OnClipboardAfterPasteCell;
    // The text of the current cell when it became current or its edit started.
    const std::string& CellCache() const { return FCellCache; }
    char32_t StartEditChar() const { return FStartEditChar; }
    void SetStartEditChar(char32_t v) { FStartEditChar = v; }

    // --- edit permission and cell selection (QorStringGridCellSelect.cpp) ---------------------
    // Real column: whether the cell may be edited now; False unless editing is wanted (goEditing,
    // RangeSelectAndEdit or editing suppressed for the current cell).
    bool IsEditable(int ACol, int ARow);
    // Real column: the cell-level rule behind IsEditable.
    bool CanEditCell(int ACol, int ARow);
    // Display column: footer rows, fixed right columns and what the fixed-cell hook reports.
    bool IsFixed(int ACol, int ARow) override;
    void RepaintActiveHeaders(int OldCol, int OldRow, int NewRow, int NewCol);
    // Asks the changing events whether the current cell may move to (ACol, ARow).
    virtual void CellChanging(int ACol, int ARow, bool& Allow);
    virtual void PrintGetPageNum(int PageNum, int PageColNum, std::string& PageNumString);
    virtual bool CanShowFixedDropDown(int ACol);
    virtual void StartBlockFocus();
    virtual void EndBlockFocus();
    virtual bool IsDesigning(bool& Value);
    virtual void InvalidateAll() { Invalidate(); }
    virtual void DisableEditing() { SetOptions(Options() - goEditing); }
    // Editing wanted for the grid, though switched off for the current cell.
    bool EditDisabled() const { return FEditDisable; }
    std::function<void(TObject* Sender, int OldRow, int NewRow, bool& Allow)> OnRowChanging;
    std::function<void(TObject* Sender, int OldCol, int NewCol, bool& Allow)> OnColChanging;
    std::function<void(TObject* Sender, int OldRow, int OldCol, int NewRow, int NewCol,
                       bool& Allow)>
        OnCellChanging;
    std::function<void(TObject* Sender, int OldRow, int NewRow)> OnRowChanged;
    std::function<void(TObject* Sender, int PageNum, int PageColNum, std::string& PageNumString)>
        OnPrintGetPageNum;
    std::function<void(TObject* Sender, int ACol, bool& CanShow)> OnCanShowFixedDropDown;
    TNotifyEvent OnStartBlockFocus, OnEndBlockFocus;

    // --- navigation after editing (QorStringGridAdvance.cpp) ----------------------------------
    // Moves on from (ACol display, ARow) as Navigation says; Force advances even without
    // AdvanceOnEnter, Recursing is set for the repeats that skip read-only cells.
    virtual void AdvanceAfterEdit(int ACol, int ARow, bool EditAfter, bool Recursing, bool Forward,
                                  bool AutoEdit, bool Force);
    std::function<void(TObject* Sender, int OldRow, int OldCol, int& NewRow, int& NewCol,
                       bool& Allow)>
        OnAutoAdvance;
    std::function<void(TObject* Sender, int ACol)> OnAutoInsertCol;
    // The incremental search: the first normal row whose sort-column text, without markup and
    // upper-cased, starts with Value (upper case); -1 when none or with fewer than 2 rows.
    int Search(const std::string& Value);
    // The most text lines among the row's cells; 1 without Multilinecells.
    int MaxRowLineCount(int ARow);
    int GetVertTextMargin() const { return FXYOffsetTopLeftOnly ? FXYOffset.Y : 2 * FXYOffset.Y; }
    virtual void FixedEdit(int ACol, int ARow, TGridFixedCellEditor& AEditor, TStrings* Values);
    virtual void SelectionChanged(int ALeft, int ATop, int ARight, int ABottom);
    virtual void InplaceEditCaret(const std::string& /*Text*/, TPoint /*Caret*/, int /*Index*/) {}
    virtual std::string EllipsClick(const std::string& Text);
    virtual void GetPrintCellText(int /*ACol*/, int /*ARow*/, std::string& /*Text*/) {}
    virtual void SaveCellText(int ACol, int ARow, std::string& Text);
    virtual void LoadCellText(int ACol, int ARow, const std::string& Text);
    virtual void CurrentRowMoved(int /*Delta*/, bool& /*Handled*/) {}
    // Told of every export's start, of each row (before it) and of its end (row -1).
    virtual void ExportNotification(TGridExportState /*State*/, int /*ARow*/) {}
    virtual void ImportNotification(int /*State*/, int /*ARow*/) {}
    void DropDownHeaderButtonClick(int ButtonIndex);
    void DropDownFooterButtonClick(int ButtonIndex);
    void UnitChanged(const std::string& NewUnit);
    TNotifyEvent OnEditingDone;
    std::function<void(TObject* Sender, int ACol, int ARow)> OnEditCellDone;
    TComboChangeEvent OnComboChange;
    TComboObjectChangeEvent OnComboObjectChange;
    std::function<void(TObject* Sender, int ALeft, int ATop, int ARight, int ABottom)>
        OnSelectionChanged;
    std::function<void(TObject* Sender, int ACol, int ARow, TGridFixedCellEditor& AEditor,
                       TStrings* Values)>
        OnFixedEdit;
    std::function<void(TObject* Sender, int ACol, int ARow, std::string& S)> OnEllipsClick;
    std::function<void(TObject*Sender, int ACol, int ARow, std::string&Value)> OnSaveCell,
        OnLoadCell;
    std::function<void(TObject* Sender, int ACol, int ARow, TDateTime ADateTime)> OnDateTimeChange;
    std::function<void(TObject*Sender, int ACol, int ARow, int ButtonIndex)>
        OnDropDownHeaderButtonClick, OnDropDownFooterButtonClick;
    std::function<void(TObject* Sender, int ACol, int ARow, const std::string& NewUnit)>
        OnUnitChanged;
    std::function<void(TObject*Sender, TShiftState Shift, TPoint MousePos, bool&Handled)>
        OnMouseWheelDown, OnMouseWheelUp;

    // --- cell validation and edit bookkeeping -------------------------------------------------
    // Checks the text of the edited cell against its text before the edit; True = accepted.
    virtual bool ValidateCell(const std::string& NewValue);
    virtual bool ValidateCellWide(const std::u16string& NewValue);
    // The edit reference: the cell (display column and row) and its stored text now.
    virtual void StoreOldCell(int ACol, int ARow);
    virtual void UpdateColumnFooter(int ACol, int /*ARow*/) { CalcFooter(ACol); }
    void RegisterNotifier(TGridChangeNotifier* ANotifier);
    void UnRegisterNotifier(TGridChangeNotifier* ANotifier);
    bool Modified() const { return FModified; }
    void SetModified(bool v) { FModified = v; }
    bool GridModified() const { return FGridModified; }
    void SetGridModified(bool v) { FGridModified = v; }
    bool AlwaysValidate() const { return FAlwaysValidate; }
    void SetAlwaysValidate(bool v) { FAlwaysValidate = v; }
    bool LastValidation() const { return FLastValidation; }
    bool Editing() const { return FEditing; }
    bool Validating() const { return FValidating; }
    const std::string& NewCellText() const { return FNewCellText; }
    const std::string& OldCellText() const { return FOldCellText; }
    int OldCol() const { return FOldCol; }
    int OldRow() const { return FOldRow; }
    std::function<void(TObject* Sender, int ACol, int ARow, std::string& Value, bool& Valid)>
        OnCellValidate;
    std::function<void(TObject* Sender, int ACol, int ARow, std::u16string& Value, bool& Valid)>
        OnCellValidateWide;

    // --- grid timer, focus, update lock, cursor and window messages ---------------------------
    // BeginUpdate and EndUpdate nest; painting resumes when the count is back at 0. They count
    // whether or not the grid is visible.
    void BeginUpdate();
    void EndUpdate();
    // Counts without telling the window; ResetUpdate drops the whole count without a repaint.
    void StartUpdate();
    void ResetUpdate();
    bool LockUpdate() const { return FUpdateCount != 0; }
    void SetLockUpdate(bool v) { v ? BeginUpdate() : EndUpdate(); }
    int UpdateCount() const { return FUpdateCount; }
    int TimerTicks() const { return FTimerTicks; }
    const std::string& SearchInc() const { return FSearchInc; }
    void SetSearchInc(const std::string& v) {
        FSearchInc = v;
        FSearchTics = 0;
    }
    bool Hovering() const { return FHovering; }
    void SetHovering(bool v) { FHovering = v; }
    bool EnableBlink() const { return FEnableBlink; }
    void SetEnableBlink(bool v) { FEnableBlink = v; }
    bool GridBlink() const { return FGridBlink; }
    int MaxEditLength() const { return FMaxEditLength; }
    void SetMaxEditLength(int v);
    bool SizeWithForm() const { return FSizeWithForm; }
    void SetSizeWithForm(bool v) { FSizeWithForm = v; }
    int GetEditLimit() override { return FMaxEditLength; }
    bool HasCustomBorders() override { return bool(OnGetCellBorder); }

    // --- mouse, keyboard, Tab, hover and cell hints (input) -------------------------------------
    // What the pointer rests on: it decides the cursor and what the next press selects.
    enum TMouseSelectMode { msNormal, msColumn, msRow, msAll, msURL, msResize };
    TMouseSelectMode MouseSelectMode() const { return FMouseSelectMode; }
    // The grid's own cursors (pictures in CellGlyphs): rows, columns, everything and the
    // selection resizer, the cell selector.
    static constexpr TCursor RowSelectCursor = 8010, ColumnSelectCursor = 8011,
                             AllSelectCursor = 8012, CellSelectorCursor = 8014;
    // The cursor of a select mode; crDefault for msNormal and msURL.
    static TCursor SelectModeCursor(TMouseSelectMode Mode);
    // The cell whose button the pointer is over, (-1, -1) none; the hovered link of a markup
    // cell (-1 none) while URLUnderlineOnHover is on.
    TPoint HoverButton() const { return FHoverButton; }
    TPoint HoverLinkCell() const { return FHoverCell; }
    int HoverLink() const { return FHoverlink; }
    // The Tab move of the grid and its editors; False when the Tab went to the parent window.
    bool EditorNavigateKey(bool Backward);
    bool CanSelectByTab(int ACol, int ARow);
    int FirstSelectableCol(int ARow);
    int LastSelectableCol(int ARow);
    int FirstNavigableCol();
    virtual void GotoFirstRow() { SetRow(FixedRows()); }
    int LastTabCol();
    // The last data row of the grid's key navigation.
    bool IsLastDataRow();
    // Real row: one row inserted there (a normal or a child row in a grid with nodes); one row
    // removed there (the only data row is cleared instead), then OnAutoDeleteRow.
    virtual void InsertRowAt(int ARow);
    virtual void DeleteRowAt(int ARow);
    void withFilterOff(const std::function<void()>& Change);
    void AppendRowAtEnd();
    // Whether the cell (display indexes) lights up as a hovered fixed cell.
    bool IsHoverFixedCell(int ACol, int ARow);
    void ResetFixedCellHighlight();
    // The cell hint: HintStr and the hint's placement in HintInfo (screen coordinates).
    void ShowCellHint(std::string& HintStr, THintInfo& HintInfo);
    // The grid's font name at its last cell hint; the markup hint window draws packed wide hints
    // in it.
    static std::string& HintFontName();
    bool HintShowCells() const { return FHintShowCells; }
    void SetHintShowCells(bool v) { FHintShowCells = v; }
    bool HintShowLargeText() const { return FHintShowLargeText; }
    void SetHintShowLargeText(bool v) { FHintShowLargeText = v; }
    bool HintShowSizing() const { return FHintShowSizing; }
    void SetHintShowSizing(bool v) { FHintShowSizing = v; }
    bool HTMLHint() const { return FHTMLHint; }
    void SetHTMLHint(bool v) { FHTMLHint = v; }
    bool AnchorHint() const { return FAnchorHint; }
    void SetAnchorHint(bool v) { FAnchorHint = v; }
    // The sizing hint window while a column or row is sized with HintShowSizing; nullptr before.
    THintWindow* SizingHintWindow() const { return FScrollHintWnd; }
    bool SizingHintShown() const { return FScrollHintShow; }
    int HoverRowIndex() const { return FHoverRowIdx; }
    std::function<void(TObject* Sender, int ARow, int ACol, bool& Allow)> OnCanClickCell;
    // Picks the option of a radio-group cell (real column) at X, Y relative to its top-left.
    void ClickRadioGroup(int ACol, int ARow, int X, int Y);
    std::function<void(TObject*Sender, int ACol, int ARow, int AIdx)> OnRadioClick, OnRadioMouseUp;
    std::function<void(TObject* Sender, int ACol, int ARow)> OnRadioButtonClick;
    std::function<void(TObject* Sender, int ACol, int ARow, bool State)> OnCheckBoxMouseUp;
    std::function<void(TObject* Sender, int ARow, int ACol, std::string& Anchor, bool& AutoHandle)>
        OnAnchorClick;
    std::function<void(TObject* Sender, int ARow, int ACol, std::string& Anchor)> OnAnchorHint;
    std::function<void(TObject*Sender, int ARow, int ACol, const std::string&Anchor)> OnAnchorEnter,
        OnAnchorExit;
    std::function<void(TObject* Sender, int ACol, int ColumnSize)> OnColumnSizing;
    std::function<void(TObject* Sender, int ARow, int RowSize)> OnRowSizing;
    std::function<void(TObject* Sender, int ARow, bool& CanDelete)> OnCanDeleteRow;
    std::function<void(TObject*Sender, int ARow)> OnAutoInsertRow, OnAutoDeleteRow, OnAutoAddRow;
    // Cell-selector mode: a press only reports its cell to CellSelectorClick.
    bool CellSelectorMode() const { return FCellSelectorMode; }
    void SetCellSelectorMode(bool v) { FCellSelectorMode = v; }
    virtual void CellSelectorClick(int /*ACol*/, int /*ARow*/) {}
    // The rectangle a press on the corner cell selects (may be changed).
    virtual void DoSelectAll(TGridRect& /*ARect*/) {}
    // The rectangle Ctrl+A selects, before it becomes the selection (may be changed).
    virtual void BeforeSelectAll(TGridRect& /*ARect*/) {}
    // Every key the text editor gets, before it handles the key (Key 0 drops it).
    virtual void EditorKeyDown(WORD& /*Key*/, TShiftState /*Shift*/) {}
    // The selection resizer's drag: the selection at the press and the new one, before and
    // after the press's cells fill the new selection.
    std::function<void(TObject*Sender, TGridRect OrigSelection, TGridRect NewSelection)>
        OnSelectionResize, OnSelectionResized;

    // --- scroll bars and scrolling ------------------------------------------------------------
    // Thumb positions run 0..127; a position p of the vertical bar stands for the top row
    // MulDiv(p, RowCount - VisibleRowCount - FixedRows, 127) + FixedRows (columns alike).
    bool ScrollProportional() const { return FScrollProportional; }
    void SetScrollProportional(bool v);
    bool ScrollSynch() const { return FScrollSynch; }
    void SetScrollSynch(bool v) { FScrollSynch = v; }
    TScrollHintType ScrollHints() const { return FScrollHints; }
    void SetScrollHints(TScrollHintType v) { FScrollHints = v; }
    TScrollBarAlways ScrollBarAlways() const { return FScrollBarAlways; }
    void SetScrollBarAlways(TScrollBarAlways v);
    void SetDragScrollOptions(const TDragScrollOptions* v);
    // Makes the cell current and, when it lies out of view, centres it.
    void ScrollInView(int ColIndex, int RowIndex);
    // Flat scroll bars copy the window bars' state; a no-op while they are not initialised.
    void UpdateFlatVScroll();
    void UpdateFlatHScroll();
    // Thumbs that show the visible share of the cells (with ScrollProportional).
    void UpdateProportionalHScroll();
    void UpdateProportionalVScroll();
    // The bars ScrollBarAlways asks for show (disabled when there is nothing to scroll); Hide
    // also hides, with saNone, the bars of directions with nothing to scroll.
    void UpdateScrollBarsAlways(bool Hide);
    bool IsFlat() const { return FIsFlat; }
    // The painted indicators of ssMetro; nullptr with any other scroll type.
    TScrollControl* ScrollIndicator(bool Vertical) const {
        return Vertical ? FVScrlCtrl : FHScrlCtrl;
    }
    // Scrolls the grid while something is dragged near its edges (DragScrollOptions).
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    TTimer* DragScrollTimer() const { return FDragTmr; }
    virtual void ScrollCell(int ACol, int ARow, int ScrollPosition, int ScrollMin, int ScrollMax);
    std::function<void(TObject* Sender, int Index, std::string& Hint)> OnScrollHint;
    std::function<void(TObject* Sender, int ATopRow, int ALeftCol, TDragScrollDirections& Direction,
                       bool& CanScroll)>
        OnDragScroll;
    std::function<void(TObject* Sender, int ACol, int ARow, int ScrollPosition, int ScrollMin,
                       int ScrollMax)>
        OnScrollCell;

    // --- column order and moving rows and columns ---------------------------------------------
    // The order list itself (ColumnOrder, SetColumnOrder, ColumnPosition) is declared with the
    // extended cell access. Positions and indexes here are display ones.
    int ColumnAtPosition(int ACol);
    // Shows all hidden columns and brings the columns back into the recorded order.
    void ResetColumnOrder();
    // The first real column whose header (row 0) is exactly AValue; -1 when none.
    int ColumnByHeader(const std::string& AValue);
    // Columns and rows move with their cells, widths (heights), properties, hidden columns,
    // sort indexes and row flags; out-of-range indexes do nothing.
    void MoveColumn(int FromIndex, int ToIndex);
    void MoveRow(int FromIndex, int ToIndex);
    // The Count rows from FromIndex go before the row that stood at ToIndex when ToIndex lies
    // past them, else they start at ToIndex.
    void MoveRows(int FromIndex, int ToIndex, int Count);
    bool EnhRowColMove() const { return FFlags.EnhRowColMove; }
    void SetEnhRowColMove(bool v) { FFlags.EnhRowColMove = v; }
    // The header button that follows a dragged header, and the current drop targets (-1 none).
    THeaderDragButton* MoveButton() const { return FMoveButton; }
    int MoveTargetCol() const { return FMoveColInd; }
    int MoveTargetRow() const { return FMoveRowInd; }
    std::function<void(TObject*Sender, int Index, bool&Allow)> OnColumnMove, OnRowMove,
        OnColumnMoving, OnRowMoving;

    // --- column calculations and auto-sizing
    // ------------------------------------------------------ FromRow or ToRow -1: rows FixedRows ..
    // RowCount - FixedFooters - 1. A ToRow past the display rows addresses real rows, hidden ones
    // included. Cells that hold no number are skipped.
    double ColumnSum(int ACol, int FromRow = -1, int ToRow = -1);
    double ColumnAvg(int ACol, int FromRow = -1, int ToRow = -1);
    double ColumnMin(int ACol, int FromRow = -1, int ToRow = -1);
    double ColumnMax(int ACol, int FromRow = -1, int ToRow = -1);
    double ColumnStdDev(int ACol, int FromRow = -1, int ToRow = -1);
    double ColumnDistinct(int ACol, int FromRow = -1, int ToRow = -1);
    double ColumnCustomCalc(int ACol, int FromRow = -1, int ToRow = -1);
    double GroupCalcValue(int ACol, int FromRow, int ToRow);
    double RowSum(int ARow, int FromCol, int ToCol);
    double RowAvg(int ARow, int FromCol, int ToCol);
    double RowMin(int ARow, int FromCol, int ToCol);
    double RowMax(int ARow, int FromCol, int ToCol);
    void AutoSizeCol(int ACol, int Padding = 0);
    void AutoSizeColumns(bool DoFixedCols, int Padding = 0);
    void AutoSizeCells(bool DoFixedCells, int PaddingX, int PaddingY);
    void AutoSizeRow(int ARow, int Padding = 0);
    void AutoSizeRows(bool DoFixedRows, int Padding = 0);
    void AutoFitColumns(bool DoFixedCells);
    void SizeToCols();
    void SizeToRows();
    void SizeToCells();
    void Zoom(int x);
    bool SizeGrowOnly() const { return FFlags.SizeGrowOnly; }
    void SetSizeGrowOnly(bool v) { FFlags.SizeGrowOnly = v; }
    using TGroupCalcEvent =
        std::function<void(TObject* Sender, int ACol, int FromRow, int ToRow, double& Res)>;
    TGroupCalcEvent OnColumnCalc, OnGroupCalc;

    // --- appearance: looks, styles and colour tones, notifications ------------------------------
    // (QorStringGridLooks.cpp, QorStringGridStyles.cpp) The Look setter applies the look's
    // colours, glCustom keeps them; a style, an XP scheme or colour tones set a whole scheme.
    bool SpreadSheet() const { return FSpreadSheet; }
    // Switches range selection, editing, the selection rectangle and resizer, the smart
    // clipboard and range-select-and-edit on (True) or off (False).
    void SetSpreadSheet(bool v);
    TBitmap* RowIndicator() const { return FRowIndicator.get(); }
    void SetRowIndicator(const TBitmap* v);
    void SetShowModified(const TShowModified* v) { FShowModified->Assign(v); }
    void SetSortSettings(const TSortSettings* v);
    bool ShowDesignHelper() const { return FFlags.ShowDesignHelper; }
    void SetShowDesignHelper(bool v) { setLook(FFlags.ShowDesignHelper, v); }
    void UpdateXYOffset(int X, int Y) { FXYOffset = TPoint(X, Y); }
    // The column-move arrows' colour: read from the up arrow, written to all four.
    TColor ArrowColor() const;
    void SetArrowColor(TColor v);
    // A later registration replaces the listener; unregistering drops only the one given.
    void RegisterSelListener(ITQorStringGridSelect* AListener) { FSelListener = AListener; }
    void UnRegisterSelListener(ITQorStringGridSelect* AListener);
    ITQorStringGridSelect* SelListener() const { return FSelListener; }
    // The item list of the combo editor (EditCombo); without the editor there is no list.
    void ClearComboString();
    void AddComboString(const std::string& s) { AddComboStringObject(s, nullptr); }
    void AddComboStringObject(const std::string& s, TObject* AObject);
    bool RemoveComboString(const std::string& s);
    int GetComboCount();
    // The position of the cell's text in the combo items after the editor-property hook; an
    // index outside the items leaves the cell as it is.
    int ComboIndex(int ACol, int ARow);
    void SetComboIndex(int ACol, int ARow, int Value);
    bool QueryPasswordCell(int ACol, int ARow);
    // Outlines the window in BorderColor for the looks that have a border colour; a frame
    // repaint (WM_NCPAINT) ends with it.
    void DrawBorderColor();
    virtual void SetStyle(TQorGridStyle AStyle);
    // Also remembered as the grid's style and passed to the drop-down editors.
    void SetComponentStyle(TQorStyle AStyle) override;
    void SetTheme(TXPColorScheme Scheme);
    // The flat look: colours, fonts, glyphs and node buttons from the tones.
    void SetColorTones(const TColorTones& ATones) override;
    const TColorTones& ColorTones() const { return FColorTones; }
    // Pass the style (the tones) to the drop-down editors the grid owns.
    virtual void SetEditorsComponentStyle(TQorStyle AStyle);
    virtual void SetEditorsColorTones(const TColorTones& ATones);
    // Applies the style of the installed Office colour scheme when it changed since last time.
    void FollowOfficeTheme();
    TOfficeTheme LastOfficeTheme() const { return FOfficeTheme; }

    // --- nodes: expandable row groups (QorStringGridNodes.cpp) --------------------------------
    // A node is the ctNode graphic of column 0 of its header row; contracting hides the rest of
    // its span through the hidden-row store, expanding shows it again. ARow is a real row where
    // marked, else a display row.
    void AddNode(int ARow /*real*/, int Span);
    void MarkSummaryRow(int ARow /*real*/);
    void RemoveNode(int ARow /*real*/);
    void RemoveAllNodes();
    bool IsNode(int ARow);
    bool IsSummary(int ARow);
    // Contracted; False for a row that is no node.
    bool GetNodeState(int ARow);
    void SetNodeState(int ARow, bool Value);
    // -1 for a row that is no node.
    int GetNodeLevel(int ARow);
    int GetNodeSpan(int ARow);
    void SetNodeSpan(int ARow, int Span);
    void UpdateNodeSpan(int ARow, int Delta);
    int GetSubNodeCount(int ARow);
    void UpdateSubNodeCount(int ARow, int Delta);
    void ExpandNode(int ARow /*real*/);
    void ContractNode(int ARow /*real*/);
    void ExpandAll();
    void ContractAll();
    // The node row a row belongs to; -1 when none.
    int GetParentRow(int ARow);
    // 0 a node row; 2 the tree line goes on below the row; 1 it ends at the row.
    int GetNodeSpanType(int ARow);
    void InsertNormalRow(int ARow /*real*/);
    void RemoveNormalRow(int ARow);
    // A row inserted into (removed from) the node a row belongs to and every node around it.
    void InsertChildRow(int ARow /*real*/, int InsertAt);
    void RemoveChildRow(int ARow /*real*/);
    // Whether client X lies on the node glyph of the row (anywhere without PreciseNodeClick).
    bool IsOnNodeGlyph(int ARow, int X);
    int NumNodes() const { return FNumNodes; }
    bool HasNodes() override { return FNumNodes > 0; }
    int GetNodeIndent(int ARow) override;
    std::function<void(TObject*Sender, int ARow, int ARowReal, bool&Allow)> OnBeforeExpandNode,
        OnBeforeContractNode;
    std::function<void(TObject*Sender, int ARow, int ARowReal)> OnExpandNode, OnContractNode;

    // --- cell checker, fills, numbering, dates and cell navigation (QorStringGridFills.cpp) ---
    // Columns are real columns and rows display rows. Without DoFixed the ranges leave out the
    // fixed rows and columns, the fixed footers and the fixed right columns.
    TQorStringGridCheck* CellChecker() const { return FCellChecker; }
    void SetCellChecker(TQorStringGridCheck* v);
    // True when the checker changed and marked nothing (always without a checker). The stored
    // text, its error marks removed, is what the checker sees.
    bool CheckCell(int ACol, int ARow);
    bool CheckCells(int FromCol, int FromRow, int ToCol, int ToRow);
    bool CheckCol(bool DoFixed, int ACol);
    bool CheckRow(bool DoFixed, int ARow);
    bool CheckGrid(bool DoFixed);
    void TextFill(bool DoFixed, const std::string& Txt);
    // Fmt takes two integers: the column and the row.
    void FormatFill(bool DoFixed, const std::string& Fmt);
    // Random integers 0 .. Rnd - 1 (0 when Rnd is not positive).
    void RandomFill(bool DoFixed, int Rnd);
    // "column:row" in every cell.
    void LinearFill(bool DoFixed);
    int AutoNumberStart() const { return FAutoNumberStart; }
    void SetAutoNumberStart(int v) { FAutoNumberStart = v; }
    int AutoNumberOffset() const { return FAutoNumberOffset; }
    void SetAutoNumberOffset(int v) { FAutoNumberOffset = v; }
    TSortDirection AutoNumberDirection() const { return FAutoNumberDirection; }
    void SetAutoNumberDirection(TSortDirection v) { FAutoNumberDirection = v; }
    void AutoNumberCol(int ACol);
    void AutoNumberRow(int ARow);
    bool ShowNullDates() const { return FFlags.ShowNullDates; }
    void SetShowNullDates(bool v) { FFlags.ShowNullDates = v; }
    // Short date (time) texts of the locale; reading a text that is none raises EConvertError.
    TDateTime Dates(int ACol, int ARow);
    void SetDates(int ACol, int ARow, TDateTime Value);
    TDateTime Times(int ACol, int ARow);
    void SetTimes(int ACol, int ARow, TDateTime Value);
    // Each occurrence of HiText in the stored texts of the range wrapped in the Tag pair, the
    // rest of the text escaped as markup; UnHilightInRange undoes it.
    void HilightInRange(const std::string& HiText, const std::string& Tag, int FromCol, int FromRow,
                        int ToCol, int ToRow, bool DoCase);
    void UnHilightInRange(const std::string& Tag, int FromCol, int FromRow, int ToCol, int ToRow);
    // With a visible search footer: the grid shows its end and the last row's bottom lies
    // above the search panel.
    bool IsLastRowAboveSearchFooter();
    // With a visible search footer the rows scroll up until the last one shows above it.
    void KeepRowAboveSearchFooter();
    // Exchanges the stored texts and the properties (colours, graphics, objects) of two cells.
    void SwapCells(TGridCoord FromCell, TGridCoord ToCell);
    // Display columns.
    void GotoCell(int ACol, int ARow);
    void EditCell(int ACol, int ARow);
    void FocusCell(int ACol, int ARow);
    void MoveToCell(int ACol, int ARow);
    void RepaintRect(const TRect& r);
    void RepaintRow(int ARow);
    void RepaintCol(int ACol);
    void InvalidateGridRect(const TGridRect& R);

    // --- markup pictures, background, balloons and form controls in cells --------------------
    // The pictures cell markup loaded by URL, and the application's named pictures (not owned).
    THTMLPictureCache* ImageCache() const { return FImageCache.get(); }
    TPictureContainer* PictureContainer() const { return FPictureContainer; }
    void SetPictureContainer(TPictureContainer* v);
    TBackGround* BackGround() const { return FBackGround.get(); }
    void SetBackGround(const TBackGround* v);
    TBalloonSettings* Balloon() const { return FBalloon.get(); }
    void SetBalloon(const TBalloonSettings* v);
    // Makes the balloon window once; BalloonDone destroys it.
    void BalloonInit();
    void BalloonDone();
    TToolTipWindow* BalloonWindow() const { return FBalloonWindow; }
    // The cell (display column and row) of the last balloon; (-1, -1) none.
    TPoint LastBalloonPos() const { return FLastBalloonPos; }
    // Title, text and icon (TBalloonIcon) of a cell's balloon; ACol is the real column.
    std::function<void(TObject* Sender, int ACol, int ARow, std::string& ATitle, std::string& AText,
                       int& AIcon)>
        OnCellBalloon;
    // Opens the editor of an EDIT, PASSWORD, MASK or COMBO control over CtrlRect (client
    // coordinates); other types open nothing.
    void ShowCellControlEditor(const std::string& CellText, const std::string& CtrlType, int ARow,
                               int RealCol, int DisplCol, const TRect& CtrlRect,
                               const std::string& CtrlValue, const std::string& CtrlID);
    // Writes the open control editor's text into its control's VALUE and hides it.
    void EndCellControlEdit();
    void ControlComboSelect(TObject* Sender);
    // Opens the next editable control of the cell (display column) after AfterID (the first for
    // an empty ID); without one the grid takes the focus.
    void FocusNextCellControl(int ACol, int ARow, const std::string& AfterID);
    // Enter or Tab typed in a control editor.
    void CellControlKey(bool Tab);
    TControlEdit* ControlEdit() const { return FCtrlEdit; }
    TControlCombo* ControlCombo() const { return FCtrlCombo; }
    bool CellControlEditing() const { return FCtrlEditing; }
    bool CellControlDown() const { return FCtrlDown; }
    std::function<void(TObject*Sender, int ARow, int ACol, const std::string&CtrlID,
                       const std::string&CtrlType, const std::string&CtrlVal)>
        OnControlClick, OnControlEditDone;
    std::function<void(TObject* Sender, int ARow, int ACol, const std::string& CtrlID,
                       const std::string& CtrlType, const std::string& CtrlVal, TStringList* Values,
                       bool& Edit, int& DropCount)>
        OnControlComboList;
    std::function<void(TObject* Sender, int ARow, int ACol, int ItemIndex,
                       const std::string& CtrlID, const std::string& CtrlValue)>
        OnControlComboSelect;

    // --- periphery: footer strip, look settings, focus frame, design panel, snapshots, search
    // panel, version and OLE drag and drop (QorStringGridPeriphery.cpp, QorStringGridOle.cpp) --
    TFooterPanel* FooterPanel() const { return FFooterPanel; }
    // The canvas the floating footer paints on.
    TCanvas* FooterCanvas() const;
    TSearchPanel* SearchPanel() const { return FSearchPanel; }
    TGridProgressAppearance* ProgressAppearance() const { return FProgressAppearance.get(); }
    void SetProgressAppearance(const TGridProgressAppearance* v);
    // The focus frame: a translucent layered window around the edited cell (R in client
    // coordinates), 4 pixels wide on the left and top and 5 on the right and bottom.
    void ShowFocusWindow(TRect R);
    // Clears the library's focus-frame grid and hides the window.
    void HideFocusWindow();
    // Makes Window a layered window showing the mask's pixels with its opacity.
    void ApplyAlphaMask(TWinControl* Window, TGridAlphaMask* Mask);
    // The design-time quick-configuration panel at the bottom right, drawn after each paint
    // while designing with ShowDesignHelper. Items: 1 allow edit, 2 column numbers, 3 look,
    // 4 close; -1 none.
    bool ShowColumnNumbers() const { return FShowColumnNumbers; }
    virtual void PaintDesignHelper();
    virtual void DesignHelperClick(int X, int Y);
    int DesignHelperHitTest(int X, int Y);
    // The designer's hit test: items 1..4 take the click (Result 1).
    void CMDesignHitTest(TMessage& Message);
    // A form that takes no activation showing the cells of ARect as they are painted, one pixel
    // more to the right and below; the caller shows, moves and frees it.
    TNoActiveForm* SelectionToForm(TGridRect ARect);
    // Mirrors the SearchFooter settings into the search panel (not while loading).
    void UpdateSearchPanel();

    // --- find, replace and highlight; the search footer's actions (QorStringGridFind.cpp) ----
    // The next matching cell after StartCell in scan order, (-1, -1) when none; a start of
    // (-1, -1) examines the range's first (backward: last) cell itself.
    TPoint Find(TPoint StartCell, const std::string& s, TFindParams FindParams);
    TPoint FindWide(TPoint StartCell, const std::u16string& s, TFindParams FindParams);
    TPoint FindFirst(const std::string& s, TFindParams FindParams);
    // Find from SearchCell with the text and parameters of the last search.
    TPoint FindNext();
    // Replaces OldText by NewText in every matching cell (case as fnMatchCase says); answers
    // the number of cells changed.
    int Replace(const std::string& OldText, const std::string& NewText, TFindParams FindParams);
    TPoint SearchCell() const { return FSearchCell; }
    int FindCol() const { return FFindCol; }
    void SetFindCol(int v) { FFindCol = v; }
    int FindRow() const { return FFindRow; }
    void SetFindRow(int v) { FFindRow = v; }
    bool FindBusy() const { return FFindBusy; }
    // Each occurrence of HiText wrapped in the "hi" (Mark: "e") tag pair; the Un forms remove
    // the pairs.
    std::string HilightText(bool DoCase, const std::string& Text, const std::string& HiText);
    std::string MarkText(bool DoCase, const std::string& Text, const std::string& HiText);
    std::string UnHilightText(const std::string& Text);
    std::string UnMarkText(const std::string& Text);
    // Real columns. DoFixed takes the fixed cells in too.
    void HilightInCell(bool DoCase, int ACol, int ARow, const std::string& HiText);
    void HilightInCol(bool DoFixed, bool DoCase, int ACol, const std::string& HiText);
    void HilightInRow(bool DoFixed, bool DoCase, int ARow, const std::string& HiText);
    void HilightInGrid(bool DoFixed, bool DoCase, const std::string& HiText);
    void UnHilightInCell(int ACol, int ARow);
    void UnHilightInCol(int ACol, bool DoFixed);
    void UnHilightInRow(int ARow, bool DoFixed);
    void UnHilightInGrid(bool DoFixed);
    void MarkInCell(bool DoCase, int ACol, int ARow, const std::string& HiText);
    void MarkInCol(bool DoFixed, bool DoCase, int ACol, const std::string& HiText);
    void MarkInRow(bool DoFixed, bool DoCase, int ARow, const std::string& HiText);
    void MarkInGrid(bool DoFixed, bool DoCase, const std::string& HiText);
    void UnMarkInCell(int ACol, int ARow);
    void UnMarkInCol(int ACol, bool DoFixed);
    void UnMarkInRow(int ARow, bool DoFixed);
    void UnMarkInGrid(bool DoFixed);
    // The search footer's buttons and its edit.
    void SearchFooterFindNext();
    void SearchFooterFindPrev();
    void SearchFooterHighlight();
    void SearchFooterEditChange();
    void SearchFooterClose();
    // Accelerators of the search footer's buttons while it shows.
    void CMDialogChar(TWMKey& Message) override;
    std::function<void(TObject* Sender, const std::string& Value, bool& DefaultSearch)>
        OnSearchEditChange;
    TNotifyEvent OnSearchFooterClose;
    TNotifyEvent OnCreatedSearchFooter;
    virtual int GetVersionNr() const;
    virtual std::string GetVersionString() const;
    // The column widths and the grid width at load time, the base of proportional stretching.
    void InitOrigColSizes();
    const std::vector<int>& OrigColSizes() const { return FOrigColSizes; }
    int OrigGridWidth() const { return FOldSize; }
    // The drop target registered while DragDropSettings.OleDropTarget is on; nullptr else.
    TGridDropTarget* OleDropTarget() const { return FOleDropTarget.get(); }
    // The cells dragged by the last OLE drag from this grid (the selection at a resizer press).
    TGridRect DropSelection() const { return FDropSelection; }
    // The floating picture of the cells a drag moves (DragDropSettings.ShowCells); nullptr
    // while none is shown.
    TNoActiveForm* MoveForm() const { return FMoveForm; }
    // Shows the drop-position arrows at a cell (column markers above and below the left edge of
    // its header for a column drop, else the left arrow before the row); HideDropArrows hides
    // all of them.
    void ShowDropArrows(int ACol, int ARow, bool Column);
    void HideDropArrows();
    std::function<void(TObject* Sender)> OnCreatedFloatingFooter;
    std::function<void(TObject* Sender, TCanvas* Canvas, int FooterColumn, TRect FooterRect)>
        OnPaintFooter;
    std::function<void(TObject* Sender, int ARow, int ACol, const std::string& Data, bool& Allow)>
        OnOleDrag;
    std::function<void(TObject* Sender, int ARow, int ACol)> OnOleDragStart;
    std::function<void(TObject* Sender, DWORD OLEEffect)> OnOleDragStop;
    std::function<void(TObject* Sender, int ARow, int ACol, bool& Allow)> OnOleDragOver;
    std::function<void(TObject* Sender, int ARow, int ACol, const std::string& Data, bool& Allow)>
        OnOleDrop;
    std::function<void(TObject* Sender, TGridRect ARect)> OnOleDropped;
    std::function<void(TObject* Sender, int ARow, int ACol, int DropCol)> OnOleDropCol;
    std::function<void(TObject* Sender, int ARow, int ACol, const std::string& FileName,
                       bool& Allow)>
        OnOleDropFile;
    std::function<void(TObject* Sender, int ARow, int ACol, const std::string& URL, bool& Allow)>
        OnOleDropURL;

    // --- files and streams (the data services) ------------------------------------------------
    // Every writer builds its bytes in memory and replaces the file through a temporary file.
    // Every reader refuses what is not its format before it changes the grid.
    // The grid's own text file: a count line, a "cw" line per column, a line per non-empty cell.
    void SaveToFile(const std::string& FileName, bool Unicode = false);
    void LoadFromFile(const std::string& FileName);
    // The same lines as UTF-16 units; loading stops before the first line that is no cell, so
    // that a caller can read what follows.
    void SaveToStream(TStream& Stream);
    void LoadFromStream(TStream& Stream);
    // A column-aligned plain-text report, replacing the file or added after its lines.
    void SaveToASCII(const std::string& FileName, bool Unicode = false);
    void AppendToASCII(const std::string& FileName, bool Unicode = false);
    // The cell's number; 0 for an empty cell. Raises EQorGridError naming the position of the
    // first character that is no part of a number.
    long double CellToReal(int ACol, int ARow);
    // Delimiter-separated text: Unicode writes UTF-8 with its byte order mark. MaxRows 0 or
    // less reads every record.
    void SaveToCSV(const std::string& FileName, bool Unicode = false);
    void AppendToCSV(const std::string& FileName, bool Unicode = false);
    void LoadFromCSV(const std::string& FileName, int MaxRows = -1);
    void InsertFromCSV(const std::string& FileName, int MaxRows = -1);
    void LoadFromCSVStream(TStream& Stream, int MaxRows = -1);
    // Fixed-width text: Widths holds each saved column's width in characters (missing widths are
    // added); Positions holds 1-based column starts followed by the end position and is sorted.
    void SaveToFixed(const std::string& FileName, TIntList* Widths);
    void LoadFromFixed(const std::string& FileName, TIntList* Positions, bool DoTrim = true,
                       int MaxRows = -1);
    // The binary cell stream: texts, cell properties and cell graphics of a rectangle of display
    // columns and rows (both corners included).
    void SaveRectToBinStream(const TRect& ARect, TStream& Stream);
    void SaveToBinStream(TStream& Stream);
    void SaveToBinFile(const std::string& FileName);
    // Places the stream's cells with Point (column, row) as their top-left corner.
    void LoadAtPointFromBinStream(TPoint Point, TStream& Stream);
    void LoadFromBinStream(TStream& Stream);
    void LoadFromBinFile(const std::string& FileName);

    // --- HTML and XML (the data services) -----------------------------------------------------
    // The exported area as one HTML table with a style sheet of cell classes; cell pictures are
    // written as JPEG files into ImageDir + "images/" (raises "Cannot create <folder>images"
    // when that folder cannot be made).
    std::string SaveToHTMLString(const std::string& ImageDir);
    // The table between the HeaderFile and FooterFile lines, written as UTF-8 (Unicode: UTF-16
    // with its byte order mark), the charset declared; Show opens the file in the desktop's
    // viewer. AppendToHTML keeps the existing file's lines before it.
    void SaveToHTML(const std::string& FileName, bool Show = false, bool Unicode = false);
    void AppendToHTML(const std::string& FileName, bool Show = false, bool Unicode = false);
    // The save range as a list of records, one element per cell (FieldNames names the
    // columns, else FIELD0, FIELD1, ...), in XMLEncoding; raises EQorGridError "Cannot Create
    // file <name>" when the file cannot be written.
    void SaveToXML(const std::string& FileName, const std::string& ListName,
                   const std::string& RecordName, const TStrings* FieldNames,
                   bool ExportEmptyCells = false);
    // Reads an XML document into cells: each child of the document element a row, its
    // attributes and leaf elements the cells; LevelToRow starts a row per nested level,
    // LoadFieldNames puts the element names into row 0.
    void LoadFromXML(const std::string& FileName, bool LevelToRow = false,
                     bool LoadFieldNames = false);

    // --- workbooks, documents and databases (the data services) -------------------------------
    // Workbooks are .xlsx files, documents .docx files. A file that is not one raises
    // "Incorrect XLS file <name>" or "Incorrect DOC file <name>".
    // The names of the workbook's worksheets.
    std::unique_ptr<TStringList> GetXLSSheets(const std::string& FileName);
    // The used range of the active or the named sheet ("Excel worksheet <name> not found").
    void LoadFromXLS(const std::string& FileName);
    void LoadFromXLSSheet(const std::string& FileName, const std::string& SheetName);
    // The save range into a new workbook, or (without NewWorkbook) into the active sheet of the
    // existing file from its active cell's row on; into the named sheet of the file's workbook,
    // added when missing. The file's other sheets and cells stay as they were.
    void SaveToXLS(const std::string& FileName, bool NewWorkbook = false);
    void SaveToXLSSheet(const std::string& FileName, const std::string& SheetName);
    // The grid as a table at the start of the existing document (a new one with NewDocument or
    // when there is none), or added at the bookmark or the end of an existing document.
    void SaveToDOC(const std::string& FileName, bool NewDocument = false);
    void AppendToDoc(const std::string& FileName, const std::string& Bookmark);
    // A query's fields and records through ODBC. FileName is an Access or SQLite database file,
    // or a connection text starting with "DSN=", "FILEDSN=" or "DRIVER=".
    void LoadFromMDBTable(const std::string& FileName, const std::string& Table);
    void LoadFromMDBSQL(const std::string& FileName, const std::string& SQL);

    // --- clipboard (the data services) --------------------------------------------------------
    // A copy puts the cells on the clipboard as TAB-separated text with CR LF after each row of
    // a block of several rows, as an HTML table, with AllowRTFClipboard a rich-text top-left
    // cell as rich text and with AllowFmtClipboard the binary cell stream under
    // "TQorStringGrid Cells". A paste takes the richest of these the grid accepts. Columns are
    // display columns.
    void CopySelectionToClipboard();
    void CopyToClipBoard();
    // The grid's HTML table under "HTML Format" and, the same wrapped text, as plain text.
    void CopyToClipBoardAsHTML();
    void CutSelectionToClipboard();
    void CutToClipboard();
    // Pastes at the selection; with AllowSmartClipboard a larger selection is filled.
    void PasteSelectionFromClipboard();
    void PasteFromClipboard();
    std::string SelectionAsText() { return GetSelectionAsText(); }
    void SetSelectionAsText(const std::string& Value);
    std::string GetSelectionAsText();
    // The clipboard text of a rectangle; Disjunct takes only the disjunct-selected rows and
    // columns.
    std::string SelectionToText(const TRect& R, bool Disjunct);
    void CopyRectToClipboard(const TRect& R, bool Disjunct);
    // Pastes the clipboard at (ACol, ARow): answers the cells pasted, with the lines and the
    // fields of the last line.
    int PasteClipboardData(int ACol, int ARow, int& Lines, int& Fields);
    int PasteTextBlock(int ACol, int ARow, const std::string& Text, int& Lines, int& Fields);
    // Stores one pasted value (display column) with undo; a check-box cell is checked exactly
    // by CheckTrue.
    virtual void PasteCellValue(int ACol, int ARow, const std::string& Value);
    virtual void MarkPastedRowsModified(TPoint Source, const TRect& Pasted, TClipOperation Op);
    virtual bool AllowFormattedClipboard();
    virtual void BeforePaste() {}
    virtual void AfterPaste() {}
    TClipOperation LastClipOperation() const { return FLastClipOp; }
    // The top-left cell of the last block this grid copied; (-1, -1) before the first copy.
    TPoint LastCopiedCell() const { return FLastCopied; }
    std::function<void(TObject* Sender, int ACol, int ARow, std::u16string& Value, bool& Allow)>
        OnClipboardBeforePasteWideCell;
    std::function<void(TObject* Sender, int ACol, int ARow, const std::u16string& Value)>
        OnClipboardAfterPasteWideCell;
    bool OemConvert() const { return FFlags.OemConvert; }
    void SetOemConvert(bool v) { FFlags.OemConvert = v; }
    // Percent done of a file save or load, reported when it changes.
    std::function<void(TObject* Sender, int Progress)> OnFileProgress;

    // --- events -----------------------------------------------------------------------------
    TClickCellEvent OnClickCell, OnDblClickCell, OnRightClickCell, OnComboCloseUp, OnComboDropDown,
        OnDatePickerCloseUp, OnDatePickerDropDown, OnGetEditorPropInt;
    TGridHintEvent OnGridHint;
    TGridWideHintEvent OnGridWideHint;
    TGridColorEvent OnGetCellColor, OnGetCellPrintColor;
    TGridBorderEvent OnGetCellBorder, OnGetCellPrintBorder;
    TGridAlignEvent OnGetAlignment;
    TGridFormatEvent OnGetFormat;
    TGetEditorTypeEvent OnGetEditorType;
    THasComboEvent OnHasComboBox;
    THasSpinEditEvent OnHasSpinEdit;
    TIsFixedCellEvent OnIsFixedCell;
    TCanEditCellEvent OnCanEditCell;
    TIsPasswordCellEvent OnIsPasswordCell;
    TWordWrapEvent OnGetWordWrap;
    TGetCheckEvent OnGetCheckTrue, OnGetCheckFalse;
    TGetColumnFilterEvent OnGetColumnFilter;
    TCellCursorEvent OnGetCellCursor;
    TButtonClickEvent OnButtonClick;
    TExpandClickEvent OnExpandClick;
    TSearchFooterActionEvent OnSearchFooterAction;
    TEditChangeEvent OnEditChange;
    TGetEditorPropEvent OnGetEditorProp;
    TGetEditMaskEvent OnGetEditMask;
    TCheckBoxClickEvent OnCheckBoxClick;
    TFilterSelectEvent OnFilterSelect;
    std::function<void(TObject* Sender, int ACol)> OnClickSort;
    std::function<void(TObject* Sender, int ACol, int& AWidth)> OnUpdateColumnSize;
    std::function<void(TObject* Sender, int ACol, int ARow, bool& IsFloat,
                       std::string& FloatFormat)>
        OnGetFloatFormat;
    TNotifyEvent OnFilterDone;

protected:
    // The CSV writer and reader behind the CSV operations.
    void WriteCSVText(const std::string& FileName, bool Append, bool Unicode);
    void LoadCSVText(TStream& Stream, bool Insert, int MaxRows);
    using TCustomGrid::FocusCell;
    // Characters also reach the grid's own key handling without goEditing, and with the
    // incremental search of a sorted column.
    void WMGetDlgCode(TMessage& Message) override;

    // --- background picture and gradient ------------------------------------------------------
    // The client area right of the last column and below the last row.
    void PaintBackgroundArea();
    // The part of a fixed-position picture that lies in R; the picture tiled over R.
    void PaintPictureSlice(const TRect& R);
    void TilePicture(const TRect& R);

    // --- window procedure and in-place edit life cycle ---------------------------------------
    bool CanEditShow() override;
    bool SelectCell(int ACol, int ARow) override;
    void UpdateEdit() override;
    void TopLeftChanged() override;
    void WMNotify(TMessage& Message) override;
    // --- scrolling and moving ---------------------------------------------------------------
    void WMHScroll(TWMScroll& Message) override;
    void WMVScroll(TWMScroll& Message) override;
    void WMRButtonUp(TWMMouse& Message) override;
    void WMCancelMode(TWMNoParams& Message) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;
    bool FScrollProportional = false;
    bool FScrollSynch = false;
    bool FIsFlat = false;
    bool FScrollLock = false;
    TScrollHintType FScrollHints = shNone;
    TScrollBarAlways FScrollBarAlways = saNone;
    TScrollControl* FVScrlCtrl = nullptr;
    TScrollControl* FHScrlCtrl = nullptr;
    TTimer* FDragTmr = nullptr;
    TDragScrollDirections FDragScrollDirection;
    THeaderDragButton* FMoveButton = nullptr;
    int FMoveColInd = -1;
    int FMoveRowInd = -1;
    int MoveOfsX = 0;
    int MoveOfsY = 0;
    // The drag of a header has asked OnColumnMove / OnRowMove.
    bool FMoveAsked = false;
    TPoint FMovePress;
    bool FSyncedMove = false;
    bool FEditing = false;
    bool FEditStart = false;
    bool FShowEditProcess = false;
    bool FEntered = false;
    bool FBlockFocus = false;
    bool FBlockKill = false;
    bool FForceSel = false;
    bool InvokedFocusChange = false;
    std::string FEditText;
    // The grid's key-press handling: Escape, Enter and the incremental search.
    void KeyPress(char32_t& Key) override;
    // One-shot: the next invalidation (of switching goEditing per cell) is dropped.
    bool FEditChange = false;
    // OnCellChanging is held back while an advance moves the cell itself.
    bool FDisableChange = false;
    bool FSpecialEditor = false;
    bool FEditActive = false;
    bool FNoAutoAdvance = false;
    bool FLButFlg = false;
    char32_t FStartEditChar = 0;
    std::string FCellCache;
    int FComboIdx = -1;
    int FMaxComboLength = 0;
    // Where the current advance started.
    int FAECol = -1;
    int FAERow = -1;
    TWinControl* FEditCtrl = nullptr;
    TGridCombo* FEditCombo = nullptr;
    TGridCheckBox* FEditCheck = nullptr;
    TGridEditBtn* FEditBtn = nullptr;
    TGridUnitEditBtn* FUnitEditBtn = nullptr;
    TGridButton* FGridButton = nullptr;
    TGridSpin* FEditSpin = nullptr;
    TGridDatePicker* FEditDate = nullptr;
    TGridDateTimePicker* FEditDateTime = nullptr;
    // The drop-down editors by kind, from edTrackbarDropDown on.
    TDropDownCellEditor* FDropDownEditors[edQorGridDropDown - edTrackbarDropDown + 1] = {};
    TQorRichEdit* FRichEdit = nullptr;
    TQorRichEdit* FInplaceRichEdit = nullptr;
    TObject* FEditLink = nullptr;
    TDateTime FOriginalDateTime = 0;
    TGridTransEdit* FEditTrans = nullptr;
    TGridTransCombo* FComboTrans = nullptr;
    TPopupMenu* FFixedDropDownMenu = nullptr;
    // A press on a fixed cell's drop-down button; the release clears it.
    bool FDropDownDown = false;
    // The column's editor link over the cell (edCustom), and its value back into the cell.
    void openEditLink(int ACol, int ARow, const TRect& Cell);
    void commitEditLink(int ACol, int ARow);
    // A press on a fixed cell's drop-down button pops its menu up; true when it was one.
    bool fixedDropDownPress(int ACol, int ARow, int X);
    // The fixed-cell editor a press or double click opens by MouseActions.
    void fixedCellEditClick(TMouseButton Button, int ACol, int ARow, int X, int Y);
    // A press on the grid leaves an open fixed-cell editor: the grid takes the focus, which
    // ends the edit unless the editor refuses to stop.
    void leaveFixedCellEditor();
    // The fixed-cell editors' change: OnEditChange for the fixed cell.
    void fixedEditChange(TObject* Sender);
    // A press on the upper (lower) half of a spin button drawn in the cell.
    bool FSpinUpClick = false;
    bool FSpinDnClick = false;
    bool FLookup = false;
    bool FLookupCaseSensitive = false;
    bool FLookupHistory = false;
    std::string FValidChars;
    std::bitset<256> FValidCharSet;
    bool FExcelStyleDecimalSeparator = false;
    // A refused validation hides the text editor and shows it again; that ends no edit.
    bool FRefusingEdit = false;
    int FOldLeftCol = -1;
    int FOldTopRow = -1;

    // --- cell validation and edit bookkeeping -------------------------------------------------
    int FOldCol = -1;
    int FOldRow = -1;
    std::string FOldCellText;
    std::u16string FOldCellTextWide;
    bool FOldModifiedValue = false;
    std::string FNewCellText;
    bool FValidating = false;
    bool FGridModified = false;
    bool FModified = false;
    bool FLastValidation = true;
    bool FAlwaysValidate = false;

    // --- grid timer, focus, update lock, cursor and window messages ---------------------------
    void WMPaint(TWMPaint& Message) override;
    void WMEraseBkgnd(TWMEraseBkgnd& Message) override;
    void WMTimer(TWMTimer& Message) override;
    void WMSetFocus(TWMSetFocus& Message) override;
    void WMKillFocus(TWMKillFocus& Message) override;
    void DoEnter() override;
    void DoExit() override;
    void WMSetCursor(TWMSetCursor& Message) override;
    void CMCursorChanged(TMessage& Message) override;
    void CMColorChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void WMSize(TWMSize& Message) override;
    int FUpdateCount = 0;
    int FTimerTicks = 0;
    std::string FSearchInc;
    int FSearchTics = 0;
    bool FHovering = false;
    bool FEnableBlink = false;
    bool FGridBlink = false;
    int FMaxEditLength = 0;
    bool FSizeWithForm = false;
    // --- mouse, keyboard, Tab, hover and cell hints (input) -------------------------------------
    void WMLButtonDown(TWMMouse& Message) override;
    void WMLButtonUp(TWMMouse& Message) override;
    void WMLButtonDblClk(TWMMouse& Message) override;
    void WMRButtonDown(TWMMouse& Message) override;
    void WMKeyDown(TWMKey& Message) override;
    void WMChar(TWMKey& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMHintShow(TMessage& Message) override;
    void Click() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    virtual void DoAutoSizeCol(int ACol, bool GrowOnly);
    virtual void DoAutoSizeRow(int ARow, bool GrowOnly, int Padding);
    void SizeRowToLines(int ARow, int Lines, int Padding);
    TMouseSelectMode FMouseSelectMode = msNormal;
    bool FDoOnClick = false;
    bool FMouseDownMove = false;
    bool FMouseKeepDown = false;
    bool FDeselectState = false;
    bool FMouseDown = false;
    bool FDblClk = false;
    bool ColMoveFlg = false;
    bool ColSizeFlg = false;
    bool FSizingFixed = false;
    int FSizingFixedCol = -1;
    int FSizeFixedX = 0;
    bool FSizeFixedR = false;
    bool FSizingFixedR = false;
    int FSizingFixedRow = -1;
    int FSizeFixedY = 0;
    int Clickposx = 0;
    int Clickposy = 0;
    int Clickposdx = 0;
    int Clickposdy = 0;
    int Movecell = -1;
    int FMouseSelectStart = -1;
    int FOldKeepLeftCol = 0;
    // A press on a selected cell of an OLE drag source; a pushed cell or expand button.
    bool FSelectionClick = false;
    TPoint FPushedCellButton{-1, -1};
    int FLastTabCol = -1;
    int FLastTabRow = -1;
    TGridRect FMoveSelection;
    // The character that opens the editor was reported to OnKeyPress already.
    bool FStartCharReported = false;
    // The selection when the left button went down; valid until the release.
    TGridRect FPressSelection;
    bool FPressSelValid = false;
    TGridCoord FLastKeyCell;
    TPoint FLastHintPos{-1, -1};
    TPoint FHoverCell{-1, -1};
    std::string FAnchor;
    std::string FLastAnchorHint;
    int FHoverRowIdx = -1;
    bool FNoMouseLeave = false;
    bool Invokedchange = false;
    bool FHintShowCells = false;
    bool FHintShowLargeText = false;
    bool FHintShowSizing = false;
    bool FHTMLHint = false;
    bool FAnchorHint = false;
    THintWindow* FScrollHintWnd = nullptr;
    bool FScrollHintShow = false;
    // The one scroll bar placed over a ctScrollbar cell under the pointer, and that cell.
    TScrollBar* FScrollBar = nullptr;
    int FScrollCol = -1;
    int FScrollRow = -1;
    // Places the cell scroll bar over the cell (real column) under the pointer, or hides it.
    void placeCellScrollBar(int ACol, int ARow);
    // The cell's scroll bar (real column) when one is painted: its page is below its range.
    bool cellScrollBarShown(int ACol, int ARow);
    void paintCellScrollBar(TCanvas& C, int ACol, int ARow, TRect& R);
    bool isFixedCell(int ACol, int ARow);
    void platformPress(TWMMouse& Message, int ACol, int ARow, int PressTop);
    void directEditPress(int ACol, int ARow, bool ComboOnDblClickOnly);
    void selectByHeader(int ACol, int ARow, TShiftState Shift, const TGridRect& PrevSel);
    bool onResizer(int X, int Y);
    void startSelectionResize(TWMMouse& Message);
    void endSelectionResize();
    void drawFixedCellEdge(bool Down);
    void selectGroup(int ARow);
    void selectAllByKey();
    // Runs Run; when Active, under the update lock and with LeftCol put back afterwards (also
    // when Run raises): the columns of a KeepHorizScroll grid stay still.
    template <typename F> void keepingLeftCol(bool Active, F&& Run) {
        struct Restore {
            TQorStringGrid* g;
            bool active;
            int left;
            ~Restore() {
                if (!active) return;
                g->SetLeftCol(left);
                g->EndUpdate();
            }
        } restore{this, Active, LeftCol()};
        if (Active) BeginUpdate();
        Run();
    }
    // The floating picture of a drag goes.
    void freeMoveForm();
    void clearFooters(int ARow);
    bool FCellSelectorMode = false;
    bool FMouseResize = false;
    bool FFixedCellPushed = false;
    TRect FPushedFixedCell;
    // The hot header cell of the list-view look, the hovered cell button, the hovered link.
    TPoint FHotFixedCell{-1, -1};
    TPoint FHoverButton{-1, -1};
    int FHoverlink = -1;
    bool pressOnCellGraphic(int ACol, int ARow, int X, int Y, const TRect& cellRect,
                            TShiftState shift);
    // The release of a pushed cell or expand button; true when it ends the release.
    bool releaseCellButton(int ACol, int ARow, int X, int Y);
    // Disjunct cells taken by a release; false when OnSelectCell refused the cell.
    bool disjunctCellRelease(int ACol, int ARow, TShiftState Shift);
    // The release after a press on the selection of an OLE drag source; true when it ends it.
    bool releaseSelectionClick(int ACol, int ARow, int X, int Y, TShiftState Shift);
    // The reference of the markup anchor at a client point of the cell as it is drawn (after a
    // check box, in the cell's font), empty when none; Title takes the anchor's title.
    std::string hitAnchor(int ACol, int ARow, int X, int Y, std::string* Title = nullptr,
                          int* Link = nullptr);
    // The hovered link (URLUnderlineOnHover) moves to Link of Cell; -1 none.
    void hoverLink(TPoint Cell, int Link);
    bool canEditAt(int RealCol, int ARow);
    void startSizingHint(const std::string& Text, TPoint At);
    struct CalcRange;
    CalcRange calcRange(int FromRow, int ToRow);
    // A cell's number in a column calculation; nothing when it takes no part or holds none.
    std::optional<double> calcValue(int ACol, int Row, bool RealRows);
    TInplaceEdit* CreateEditor() override;
    // The platform's test, then OnColumnSize / OnRowSize may refuse the sizing.
    void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos,
                         int& SizingOfs, TGridDrawInfo& FixedInfo) override;
    void Resize() override;
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The owner form's resize, chained before the form's own handler.
    virtual void FormResize();
    template <typename T> void setLook(T& field, const T& v) {
        if (field == v) return;
        field = v;
        Invalidate();
    }
    void writeHeaders();

    // Column visibility of real columns 0..511 (entry 512 unused).
    static constexpr int MaxHiddenMapColumns = 512;
    std::array<bool, MaxHiddenMapColumns + 1> FVisibleCol;
    std::array<short, MaxHiddenMapColumns + 1> FAllColWidths{};
    int FNumHidden = 0;
    TControlList FControlList;
    bool FSelectionColorMixer = false;
    bool FAutoNumAlign = false;
    bool FXYOffsetTopLeftOnly = false;
    int FNumCellControls = 0;
    int FFilterLevel = 0;
    int FFixedRowsMin = 0;
    int FFixedColsMin = 0;
    int FMaxRowCount = 0;

    // Selection model and row flags (0/1 per index; see RowSelect).
    mutable std::vector<char> FRowSelect;
    std::vector<char> FColSelect;
    // Selected non-fixed rows in the order of selection; packed selected cells (row << 16 | col).
    std::vector<int> FSelectedRows;
    std::vector<int> FSelectedCells;
    std::vector<char> FModifiedRows;
    std::vector<char> FEnabledRows; // 1: disabled
    bool FUseEnabledRows = false;
    bool FSelChange = false;
    std::unique_ptr<TShowModified> FShowModified;

    // Row and column operations.
    bool FNilObjects = false;
    bool FBlockCellChange = false;
    std::unique_ptr<TIntList> FMergedColumns;
    bool FGridLoaded = false;
    TCursor FOldCursor = crDefault;
    // The column whose header filter list is open; -1 when none.
    int FFilterCol = -1;
    // User sizing, set by the mouse handling: the sized column (row) and its size when sizing
    // began; -1 when none.
    bool ColSized = false;
    bool Rowsized = false;
    int Colclicked = -1;
    int Rowclicked = -1;
    int Colclickedsize = 0;
    int Rowclickedsize = 0;
    void ColWidthsChanged() override;
    void RowHeightsChanged() override;
    void SizeChanged(int OldColCount, int OldRowCount) override;
    int FMaxColCount = 0;
    int FOldRowSel = 0;
    int FFixedRowHeight = 22;
    unsigned FVAlign = 0;
    TGridRect FOldSelection;
    bool FIsColChanging = false;
    bool ColchgFlg = false;
    std::unique_ptr<TIntList> FColumnOrder = std::make_unique<TIntList>(0, 0);
    std::unique_ptr<TIntList> FSortRowXRef = std::make_unique<TIntList>(0, 0);
    int FSortDir = 1;
    bool FIsGrouping = false;
    // The columns SubGroup added levels for, undone by SubUnGroup (and by UnGroup first).
    std::vector<int> FSubGroupColumns;
    int FGroupWidth = 0;
    std::string FGroupCaption;
    std::string FGroupFooter;
    // Colours and merge of a group's header or summary row.
    void decorateGroupRow(int ARow, int FromCol, bool Header);
    void undecorateGroupRow(int ARow, int FromCol, bool Header);
    bool FFilterActive = false;
    bool FFilterDropDownCheck = false;
    int FFilterFixedRows = 0;
    std::string FLastFilter;
    TDropCheckList* FFilterDropCheckList = nullptr;
    // The parsed conditions of Filter, by item.
    struct FilterConditions;
    std::shared_ptr<FilterConditions> FFilterConditions;
    // A cell's text as a filter condition of kind Data tests it (trimmed, wide text decoded);
    // Buffer holds it where the cell does not.
    std::string_view filterText(int ACol, int ARow, int Data, std::string& Buffer);
    // Row flags of rows the filter hid (real rows, in the order of selection), and the
    // shown rows' flags as real rows: the flags follow their rows in and out of hiding.
    std::vector<int> FHiddenSelectedRows;
    std::vector<int> selectedRealRows();
    void placeSelectedRows(const std::vector<int>& Real);
    // Pops the last level without counting it (FilterActive := False and RemoveLastFilter).
    void restoreLastFilterLevel();
    // The single condition of NarrowDown, applied as a new level.
    void narrowDownApply(const std::string& ACondition, int AColumn);
    int FSortRow = 0;
    // Sorts rows Left..Right by the (column, descending) keys in order (later keys break
    // ties); ignored columns compare equal when IgnoredEqual.
    void sortRows(int Left, int Right, const std::vector<std::pair<int, bool>>& Keys,
                  bool IgnoredEqual);
    // The plain sort's keys: the sort column, then (with Full) the columns to its right.
    std::vector<std::pair<int, bool>> plainSortKeys(int ACol) const;
    std::vector<std::pair<int, bool>> indexedSortKeys() const;
    // The body of QSortGroup and QSortGroupIndexed.
    void sortGroupRows(bool Indexed);
    // The header click of the sort row (mouse release).
    bool clickSort(int ACol, int ARow, int X, int Y, TShiftState Shift);
    bool FEditWithTags = false;
    bool FNoEditChange = false;
    bool FUseHTMLHints = false;
    bool FSizeFixed = false;

private:
    friend class TQorStringGridFormLink;
    // The file services: the real column at index ACol of a save or load range (the storage
    // column itself with SaveHiddenCells, else the real column of the display column) and the
    // width written for it.
    int fileColumn(int ACol) const;
    int fileColumnWidth(int ACol);
    void writeASCII(const std::string& FileName, bool Unicode, bool Append);
    void loadCSV(std::string Bytes, bool Insert, int MaxRows, const std::string& FileName);
    void loadXLSWorkbook(const std::string& FileName, const std::string& SheetName);
    void saveXLSWorkbook(const std::string& FileName, const std::string& SheetName,
                         bool NewWorkbook);
    void saveDOCDocument(const std::string& FileName, const std::string& Bookmark, bool Append,
                         bool NewDocument);
    // An export over rows First..Last: ExportNotification's start (with the first row), a next
    // row before each row, and done (row -1) after the last.
    template <typename Fn> void exportRows(int First, int Last, Fn&& EachRow) {
        ExportNotification(esExportStart, First);
        for (int r = First; r <= Last; ++r) {
            ExportNotification(esExportNextRow, r);
            EachRow(r);
        }
        ExportNotification(esExportDone, -1);
    }
    // A rich text's plain text; any other text unchanged.
    std::string plainOfRichText(std::string Text);
    // A clipboard block of the binary cell stream: placed at Point, never as a whole grid.
    void loadBinCells(TPoint Point, TReader& Reader, bool AsBlock = false);
    void applyBinCells(TPoint Point, TBinStreamCells& Cells);
    // The clipboard's services: one pasted field stored at (ACol display, ARow) through the
    // events; the fills of a smart paste into the selection.
    // The HTML of display columns FirstCol..LastCol and rows FirstRow..LastRow (HeaderRow: row
    // FirstRow as the header row), pictures written into ImageDir only with Images, the page
    // declaring Charset.
    std::string htmlText(int FirstCol, int FirstRow, int LastCol, int LastRow, bool HeaderRow,
                         const std::string& ImageDir, bool Images, const char* Charset);
    // The exported area's HTML (SaveToHTMLString) declaring Charset.
    std::string htmlExport(const std::string& ImageDir, const char* Charset);
    void writeHTML(const std::string& FileName, bool Show, bool Unicode, bool Append);
    bool pasteField(int ACol, int ARow, std::string Value, bool Events);
    void smartFill(const TGridRect& Sel, int Pasted, int Lines, int Fields, TPoint Extent);
    bool seriesFill(const TGridRect& Sel);
    TClipOperation FLastClipOp = coCopy;
    TPoint FLastCopied{-1, -1};
    // The extent (columns, rows) of the last text block pasted.
    TPoint FPastedExtent{0, 0};
    // The node rows after a load: counted from the graphics of column 0.
    void recountNodes();
    // The editors read and write the edit state they share with the grid.
    friend class TQorInplaceEdit;
    friend class TGridCombo;
    friend class TGridCheckBox;
    friend class TGridSpin;
    friend class TGridDatePicker;
    friend class TGridDateTimePicker;
    friend class TGridEditBtn;
    friend class TGridUnitEditBtn;
    friend class TGridButton;
    friend class TEditLink;
    friend class TQorRichEdit;
    friend class TGridTrackbarDropDown;
    friend class TGridMemoDropDown;
    friend class TGridCalculatorDropDown;
    friend class TGridTimepickerDropDown;
    friend class TGridDetailPickerDropDown;
    friend class TGridGridDropDown;
    friend class TGridColorDropDown;
    friend class TGridImageDropDown;
    friend class TGridQorGridDropDown;
    friend class TGridDropDownKeys;
    // Switches goEditing without the repaint of the whole grid.
    void setEditingOption(bool On);
    void openCombo(int ACol, int ARow, int Width, int Height, TColor CellColor);
    // Opening and committing the other special editors (QorStringGridSpecialEdit.cpp).
    void createEditorControls();
    void openSpecialEditor(int ACol, int ARow, const TRect& Cell, TColor CellColor);
    void commitSpecialEditor(int ACol, int ARow);
    // Opening and committing the drop-down editors (QorStringGridDropDownEdit.cpp).
    void openDropDownEditor(int ACol, int ARow, const TRect& Cell, TColor CellColor);
    void commitDropDownEditor(int ACol, int ARow);
    // Hides and disables an editor control; the grid takes the focus it had.
    void hideEditorControl(TWinControl* Control);
    // The relays of the date editors.
    void DatePickerChange();
    void DatePickerCloseUp();
    void DatePickerDropDown();
    void DateTimePickerChange();
    // The start character goes to the opened control as its first keystroke.
    void postStartChar(TWinControl* Control);
    // The editors' validation step: the editor's text into the current cell, then checked.
    bool validateEditorText(const std::string& Text);
    // An editor left by Tab with goTabs: the edit ends, the grid takes the focus and moves on.
    void tabOutOfEditor(bool Backward);
    // Escape in a special editor: End closes it, then the cell gets back exactly the text it had
    // when the edit started, also one its editor could not read.
    void escapeSpecialEdit(const std::function<void()>& End);
    // The flat look's colours for the buttons of the combo, spin, button-edit and date editors.
    void toneEditorButtons(const TColorTones& Tones);
    // The look an editor takes from the cell it opens on: the cell's brush colour, and its font
    // into Font when given (the cell's visual properties, as the cell is painted).
    TColor editorLook(int ACol, int ARow, TFont* Font, TAlignment* HAlign = nullptr);
    // Look-up completion of the editors: whether Candidate begins with Typed (by the look-up's
    // case rule) and, when it does, the rest of it (at most 255 characters) in Rest.
    bool lookupRest(const std::u32string& Typed, const std::string& Candidate,
                    std::u32string& Rest) const;
    // The step of an advance from (col, row); false when the advance ends without a target.
    bool advanceStep(int& ACol, int& ARow, bool Forward, bool& Inserted);
    // The editors' cursor walk out of (ACol display, ARow): an advance along the row whatever
    // AdvanceDirection says, the editor opening on the target.
    void walkAdvance(int ACol, int ARow, bool Forward);
    // An editor's walk out of its text by Left or Right (CursorWalkEditor): onto a control cell
    // next to it after validating Text, else along the row with the editor opening there.
    void editorWalk(bool Right, const std::string& Text);
    friend class TFooterPanel;
    friend class TGridDropTarget;
    friend class TGridDropSource;
    // Periphery state (QorStringGridPeriphery.cpp, QorStringGridOle.cpp).
    TFooterPanel* FFooterPanel = nullptr;
    TSearchPanel* FSearchPanel = nullptr;
    // Find state: the text as compared, the last parameters, the last found cell.
    std::string FFindText;
    TFindParams FFindParams;
    TPoint FSearchCell{-1, -1};
    int FFindCol = 0;
    int FFindRow = 0;
    bool FFindBusy = false;
    // The text the footer's find-next and find-previous searched last.
    std::string FFooterSearchText;
    bool findMatch(int ACol, int ARow, TFindParams P);
    void footerHighlight(bool On);
    // The footer's search options as find parameters.
    TFindParams footerParams(bool Backward);
    void searchFooterFind(bool Backward);
    std::unique_ptr<TGridProgressAppearance> FProgressAppearance;
    int FLastDesignChoice = -1;
    bool FShowColumnNumbers = false;
    std::vector<int> FOrigColSizes;
    int FOldSize = 0;
    std::shared_ptr<TGridDropTarget> FOleDropTarget;
    bool FOleDropTargetAssigned = false;
    TGridRect FDropSelection;
    // Where the press of FSelectionClick was (client coordinates).
    TPoint FOleDragStart;
    TNoActiveForm* FMoveForm = nullptr;
    void footerChanged(TFooterChange What);
    void showEditFocusFrame();
    void dragDropSettingsChanged();
    // The OLE drag that a press on the selection starts once the pointer moves; True when it ran.
    bool oleDragStartMove(int ACol, int ARow, int X, int Y);
    void startOleDrag(int ACol, int ARow, int X, int Y);
    // The working state of one DrawGridCell call, shared with its text and border steps.
    struct CellPaint;
    void drawCellText(CellPaint& P);
    void drawCellBorders(CellPaint& P);
    void drawSizingLine(TPoint From, TPoint To);
    void hookOwnerForm();
    void unhookOwnerForm();
    void putBack(const std::vector<int>& rows);

    // Row and column operations: the row flags, hidden rows, selection and cell controls follow
    // display rows leaving at RowIndex (called before the store changes) or coming in.
    void rowsLeaving(int RowIndex, int RCount, bool DropControls);
    void rowsInserted(int RowIndex, int RCount);
    // Takes display rows out of the store; a grid keeps one row, which is emptied instead.
    void deleteStoreRows(int RowIndex, int RCount);
    // Splits the merged areas that a new row (column) at Index would tear apart.
    void splitAcrossRow(int Index);
    void splitAcrossBlock(int DisplRow, int Count);
    void splitAcrossCol(int RealIndex);
    void placeCellControls();
    // Exchanges two display rows with their records, cell controls and the flags asked for.
    void exchangeRows(int ARow1, int ARow2, bool Enabled, bool Select, bool Modified);
    // The row-selection flag of a display row (its real row with RowSelectPersistent).
    bool displayRowSelected(int ARow);

    std::unique_ptr<TNavigation> FNavigation;
    std::unique_ptr<TMouseActions> FMouseActions;
    std::unique_ptr<TSearchFooter> FSearchFooter;
    std::unique_ptr<TSyncGrid> FSyncGrid;
    std::unique_ptr<TBands> FBands;
    std::unique_ptr<TFocusHelper> FFocusHelper;
    std::unique_ptr<TPrintSettings> FPrintSettings;
    std::unique_ptr<THTMLSettings> FHTMLSettings;
    std::unique_ptr<TSortSettings> FSortSettings;
    std::unique_ptr<TDragDropSettings> FDragDropSettings;
    std::unique_ptr<TDragScrollOptions> FDragScrollOptions;
    std::unique_ptr<TFilter> FFilter;
    std::unique_ptr<TFilterDropDown> FFilterDropDown;
    std::unique_ptr<TGrouping> FGrouping;
    std::unique_ptr<TColumnSize> FColumnSize;
    std::unique_ptr<TFloatingFooter> FFloatingFooter;
    std::unique_ptr<TCellNode> FCellNode;
    std::unique_ptr<TSizeWhileTyping> FSizeWhileTyping;
    std::unique_ptr<TStringList> FColumnHeaders;
    std::unique_ptr<TStringList> FRowHeaders;
    std::unique_ptr<TFont> FFixedFont;
    std::unique_ptr<TFont> FActiveCellFont;
    std::unique_ptr<TFont> FCellFont;
    std::unique_ptr<TSortIndexList> FSortIndexes;
    std::unique_ptr<TIntList> FIgnoreColumns;
    std::unique_ptr<TStringList> FFilterList;
    std::unique_ptr<TBitmap> FRowIndicator;
    std::unique_ptr<THiddenRows> FHidden;
    std::unique_ptr<TCellGraphic> FSharedGraphic;
    // Painting: the control look, the rich-text renderer (made on first use) and the
    // library look's hover and pressed header colours.
    std::unique_ptr<TControlLook> FControlLook;
    std::unique_ptr<TRichText> FRichText;
    TColor FQorGradHoverFrom = clGray;
    TColor FQorGradHoverTo = clWhite;
    TColor FQorGradHoverMirrorFrom = clNone;
    TColor FQorGradHoverMirrorTo = clNone;
    TColor FQorGradHoverBorder = clSilver;
    TColor FQorGradDownFrom = clGray;
    TColor FQorGradDownTo = clSilver;
    TColor FQorGradDownMirrorFrom = clNone;
    TColor FQorGradDownMirrorTo = clNone;
    TColor FQorGradDownBorder = clGray;
    bool FFlat = false;
    bool FCtl3D = true;
    bool FNoImageAndText = false;
    bool FMultilinecells = false;
    bool FEnhTextSize = false;
    bool FURLShow = false;
    bool FURLFull = false;
    bool FURLUnderlineOnHover = false;
    bool FURLEdit = false;
    bool FSelectionRectangle = false;
    bool FSelectionResizer = false;
    bool FSelectionRTFKeep = false;
    int FHoverFixedX = -1;
    int FHoverFixedY = -1;
    bool FHeaderPressed = false;
    int FFilterDropDownRow = 0;
    TImageList* FGridImages = nullptr;
    bool FURLShowInText = false;
    std::unique_ptr<TStringList> FLookupItems = std::make_unique<TStringList>();
    friend class TGridPrintEngine;
    int FPrintNrOfPages = 0;
    TRect FPrintPageRect;
    TRect FPrevRect;
    TGridRect FPrintCellRect{};
    int FPrintPageWidth = 0;
    int FPrintColStart = 0;
    int FPrintColEnd = 0;
    bool FIsPrintPreview = false;
    bool FFastPrint = false;
    double FFontScaleFactor = 1.0;
    std::array<int, 512> FMaxWidths{};
    std::array<int, 512> FIndents{};
    std::vector<TGridChangeNotifier*> FNotifiers;
    TDropList* FFilterDropList = nullptr;
    std::array<TArrowWindow*, 4> FArrows{};
    TGridFocusWindow* FFocusWindow = nullptr;

    TGridLook FLook = glXP;
    TQorStyle FStyle = tsOffice2003Blue;
    TColor FActiveCellColor = clGray;
    TColor FActiveCellColorTo = clNone;
    bool FActiveCellShow = false;
    TColor FDisabledFontColor = clSilver;
    bool FUseDisabledFont = true;
    TEditorType FDefaultEditor = edNormal;
    TAlignment FDefaultAlignment = taLeftJustify;
    TVAlignment FVAlignment = vtaTop;
    TColor FHintColor = clInfoBk;
    TColor FHighlightColor = clHighlight;
    TColor FHighlightTextColor = clHighlightText;
    TColor FSelectionColor = 0xEACAB6;
    TColor FSelectionColorTo = clNone;
    TColor FSelectionMirrorColor = clNone;
    TColor FSelectionMirrorColorTo = clNone;
    TColor FSelectionTextColor = clBlack;
    TColor FSelectionRectangleColor = clBlack;
    int FSelectionColorMixerFactor = 50;
    TColor FURLColor = 0xFF0000;
    TColor FBorderColor = clGray;
    TScrollType FScrollType = ssNormal;
    TColor FScrollColor = clNone;
    int FScrollWidth = 17;
    TColor FQorGradientFrom = clWhite;
    TColor FQorGradientTo = clNone;
    TColor FQorGradientMirrorFrom = clNone;
    TColor FQorGradientMirrorTo = clNone;
    std::string FFloatFormat = "%.2f";
    char FPasswordChar = '*';
    std::string FCheckTrue = "Y";
    std::string FCheckFalse = "N";
    std::string FFilterDropDownClear = "(All)";
    bool FFilterDropDownAuto = false;
    TFilterDropDownColumns FFilterDropDownColumns = fdNormal;
    bool FFilterIncremental = false;
    bool FFilterNormalCellsOnly = true;
    bool FAutoFilterUpdate = true;
    std::string FXMLEncoding = "ISO-8859-1";
    std::string FEditMask;
    bool FEnableHTML = true;
    bool FEnableWheel = true;
    bool FFixedRowAlways = false;
    bool FFixedColAlways = false;
    int FFixedFooters = 0;
    int FFixedRightCols = 0;
    bool FAutoThemeAdapt = false;
    bool FAutoSize = false;
    bool FIntegralHeight = false;
    TBorderStyle FBorderStyle = bsSingle;
    bool FHideFocusRect = false;
    int FMinRowHeight = 0;
    int FMaxRowHeight = 0;
    int FMinColWidth = 0;
    int FMaxColWidth = 0;
    int FZoomFactor = 0;
    TPoint FXYOffset{2, 2};
    char FDelimiter = 0;
    THoverFixedCells FHoverFixedCells = hfNone;
    THintShowLargeTextPos FHintShowLargeTextPos = hpCell;
    TInvalidEntryIcon FInvalidEntryIcon = ieWarning;
    std::string FInvalidEntryTitle;
    std::string FInvalidEntryText;
    int FGroupColumn = -1;
    bool FEditMode = false;
    TEditorType FEditControl = edNormal;
    TServiceFlags FFlags;
    bool FIsWinXP = false;
    bool FIsWin7 = false;
    bool FIsVista = false;
    bool FIsThemed = false;
    UINT FWheelMsg = 0;
    int FWheelScrl = 3;
    std::uintptr_t FGridTimerID = 0;
    // The owner form's size when the resize hook was made or last run.
    int FFormWidth = 0;
    int FFormHeight = 0;
    TCustomForm* FHookedForm = nullptr;
    TComponent* FHookedFormComponent = nullptr;
    bool FInvalidateSuppressed = false;
    bool FEditDisable = false;
    // Window procedure: panning and the OLE column drag.
    bool FWheelPan = false;
    TPoint FWheelPanPos;
    TCursor FPrevCursor = crDefault;
    int FWheelPanCursor = 0;
    TIntelliPan FIntelliPan = ipVertical;
    int FOleDragCol = -1;
    int FOleDragIndex = -1;
    TCustomListBox* FOleDragList = nullptr;
    void wheelPanTimer();
    // Scrolling and moving (QorStringGridScroll.cpp, QorStringGridMove.cpp).
    void applyFlatBars();
    void scrollHint(bool Vertical, int Pos);
    // The largest LeftCol and TopRow: the last column (row) ends at the edge, no blank after it.
    TGridCoord maxTopLeft();
    void stopDragScroll();
    void dragScrollTick();
    void moveDragFeedback(int X, int Y);
    bool endMoveDrag(int ACol, int ARow);
    void placeMoveArrow(TArrowDirection d, int X, int Y, bool Show);
    void stretchAfterResize();
    void startWheelPan(TPoint at);
    void endWheelPan();
    void mouseWheel(TMessage& Message);
    void comboNotification(TWMCommand& Message);
    bool refuseEdit(const std::string& Value, const std::string& NewValue);

    // Looks, styles, nodes and the cell checker.
    bool FSpreadSheet = false;
    ITQorStringGridSelect* FSelListener = nullptr;
    TColorTones FColorTones;
    TOfficeTheme FOfficeTheme = otUnknown;
    int FNumNodes = 0;
    TQorStringGridCheck* FCellChecker = nullptr;
    int FAutoNumberStart = 0;
    int FAutoNumberOffset = 0;
    TSortDirection FAutoNumberDirection{}; // sdAscending
    TCellGraphic* nodeGraphic(int ARow);
    void lowerLevels(int ARow, int Span);
    // The display row after a node's group: its span, or the next node row for span 0.
    int nodeEnd(int ARow);
    // The real row that ends a node's group (span 0: the grid's last row).
    int nodeLastReal(int ARow);
    void applyLook(TGridLook Value);
    // Rows (columns) of the fill and check operations: all, or the normal ones.
    int firstRow(bool DoFixed) const { return DoFixed ? 0 : FixedRows(); }
    int lastRow(bool DoFixed) const { return RowCount() - 1 - (DoFixed ? 0 : FFixedFooters); }
    int firstCol(bool DoFixed) const { return DoFixed ? 0 : FixedCols(); }
    int lastCol(bool DoFixed) const { return ColCount() - 1 - (DoFixed ? 0 : FFixedRightCols); }

    // Markup pictures, background, balloons and form controls in cells.
    void createCellParts();
    // The renderer's settings for the markup of a cell.
    void cellMarkupOptions(int RealCol, int ARow, HTMLRenderOptions& Options);
    // Hit-tests a cell's markup at a client point (Result.ControlID: a control to find anyway).
    bool hitCellMarkup(int ACol, int ARow, int X, int Y, HTMLRenderResult& Result);
    // Clicks on a form control of a cell's markup (true when the press is done).
    bool clickCellControl(int ACol, int ARow, int RealCol, const std::string& Text,
                          const HTMLRenderResult& Hit);
    void releaseCellControl();
    // Steps 9 and 10 of the cell text: the background picture and gradient of a cell.
    void paintCellBackground(CellPaint& P, const TRect& T);
    // Where a tiled background picture has its origin (client coordinates).
    TPoint tileOrigin();
    void balloonText(NMTTDISPINFO& Info);
    std::unique_ptr<THTMLPictureCache> FImageCache;
    TPictureContainer* FPictureContainer = nullptr;
    std::unique_ptr<TBackGround> FBackGround;
    std::unique_ptr<TBalloonSettings> FBalloon;
    TToolTipWindow* FBalloonWindow = nullptr;
    TPoint FLastBalloonPos{-1, -1};
    // The shown balloon's text and title, read by the balloon window after the request.
    std::string FBalloonText;
    std::string FBalloonTitle;
    TControlEdit* FCtrlEdit = nullptr;
    TControlCombo* FCtrlCombo = nullptr;
    // Real column and row of the cell whose control is edited or held down.
    TPoint FCtrlXY{-1, -1};
    std::string FCtrlID;
    std::string FCtrlType;
    bool FCtrlEditing = false;
    bool FCtrlDown = false;
};
