#pragma once
// The tree's header: its options and states, the column model and the sort column.
#include "treeview/LazyTreeTypes.h"

#include "platform/base/Classes.h"
#include "platform/base/Types.h"
#include "platform/ui/Menus.h"
#include "platform/ui/core/Messages.h"
#include "shell/frame/PbButton.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TBaseLazyTree;
class TBitmap;
class TCanvas;
class TFont;
class TImageList;
class TLTDragImage;
struct HTHEME__;
class TLTHeader;
class TLazyTreeColumns;

enum TLTColumnOption {
    coAllowClick,
    coDraggable,
    coEnabled,
    coParentBidiMode,
    coParentColor,
    coResizable,
    coShowDropMark,
    coVisible,
    coAutoSpring,
    coFixed,
    coSmartResize,
    coAllowFocus,
    coDisableAnimatedResize,
    coWrapCaption,
    coUseCaptionAlignment,
    coEditable
};
using TLTColumnOptions = TEnumSet<TLTColumnOption, std::uint16_t>;
constexpr TLTColumnOptions DefaultColumnOptions{
    coAllowClick, coDraggable,    coEnabled, coParentBidiMode, coParentColor,
    coResizable,  coShowDropMark, coVisible, coAllowFocus,     coEditable};

enum TLazyTreeColumnStyle { vsText, vsOwnerDraw };
// Where the header glyph goes relative to the caption: the push button's layout values.
using TLTHeaderColumnLayout = TPbButtonLayout;

enum TLTDropMarkMode { dmmNone, dmmLeft, dmmRight };
enum THeaderPaintElement { hpeBackground, hpeDropMark, hpeHeaderGlyph, hpeSortGlyph, hpeText };
using THeaderPaintElements = TEnumSet<THeaderPaintElement, std::uint8_t>;
enum TLTHeaderStyle { hsThickButtons, hsFlatButtons, hsPlates };
enum TSmartAutoFitType { smaAllColumns, smaNoColumn, smaUseColumnOption };
enum TLTHeaderHitPosition { hhiNoWhere, hhiOnColumn, hhiOnIcon, hhiOnCheckbox };
using TLTHeaderHitPositions = TEnumSet<TLTHeaderHitPosition, std::uint8_t>;

class TLazyTreeColumn;

// What the header painting hands to the owner-draw events.
struct THeaderPaintInfo {
    TCanvas* TargetCanvas = nullptr;
    TLazyTreeColumn* Column = nullptr; // nil for the header background
    TRect PaintRectangle;
    TRect TextRectangle;
    bool IsHoverIndex = false;
    bool IsDownIndex = false;
    bool IsEnabled = false;
    bool ShowHeaderGlyph = false;
    bool ShowSortGlyph = false;
    bool ShowRightBorder = false;
    TLTDropMarkMode DropMark = dmmNone;
    TPoint GlyphPos;
    TPoint SortGlyphPos;
};

// A click on the header: header coordinates, the column and what of it was hit.
struct TLTHeaderHitInfo {
    int X = 0;
    int Y = 0;
    TMouseButton Button = mbLeft;
    TShiftState Shift;
    TColumnIndex Column = NoColumnIndex;
    TLTHeaderHitPositions HitPosition;
};

// A column of the header.
class TLazyTreeColumn : public TCollectionItem {
public:
    explicit TLazyTreeColumn(TCollection* Collection);
    ~TLazyTreeColumn() override;
    TLazyTreeColumns* Owner() const;
    TColumnIndex ColumnIndex() const { return Index(); }

    void Assign(const TPersistent* Source) override;
    // True when Other is a column with the same settings.
    bool Equals(const TLazyTreeColumn* Other) const;
    // The text when it is all Latin-1, else "Column %d".
    std::string DisplayName() const override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    TAlignment CaptionAlignment() const;
    void SetCaptionAlignment(TAlignment Value);
    const std::string& CaptionText() const { return FCaptionText; }
    TCheckType CheckType() const { return FCheckType; }
    void SetCheckType(TCheckType Value);
    TCheckState CheckState() const { return FCheckState; }
    void SetCheckState(TCheckState Value);
    bool CheckBox() const { return FCheckBox; }
    void SetCheckBox(bool Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TSortDirection DefaultSortDirection() const { return FDefaultSortDirection; }
    void SetDefaultSortDirection(TSortDirection Value) { FDefaultSortDirection = Value; }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TLTHeaderColumnLayout Layout() const { return FLayout; }
    void SetLayout(TLTHeaderColumnLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    TLTColumnOptions Options() const { return FOptions; }
    void SetOptions(TLTColumnOptions Value);
    TColumnPosition Position() const { return FPosition; }
    void SetPosition(TColumnPosition Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    TLazyTreeColumnStyle Style() const { return FStyle; }
    void SetStyle(TLazyTreeColumnStyle Value);
    std::intptr_t Tag() const { return FTag; }
    void SetTag(std::intptr_t Value) { FTag = Value; }
    virtual std::string Text() const { return FText; }
    virtual void SetText(const std::string& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    int LastWidth() const { return FLastWidth; }
    bool BonusPixel() const { return FBonusPixel; }
    float SpringRest() const { return FSpringRest; }

    // The left edge as seen on screen: fixed visible columns do not scroll.
    int Left() const;
    // The header rectangle of the column (no scroll offset).
    virtual TRect GetRect() const;
    void GetUnscrolledBounds(int& ALeft, int& ARight) const;
    // Take the tree's direction or colour while the parent option is set.
    void ParentBiDiModeChanged();
    void ParentColorChanged();
    bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }

    // The column record of the header stream; Version is the header stream's version.
    void LoadFromStream(TStream& Stream, int Version);
    void SaveToStream(TStream& Stream) const;
    // Animated resize back to the width before the last change.
    void RestoreLastWidth();
    // Whether the last paint drew a header glyph, and where (coordinates of that paint).
    bool HasImage() const { return FHasImage; }
    const TRect& ImageRect() const { return FImageRect; }
    // The layout of the header cell Client: glyph, sort glyph and caption places.
    void ArrangeHeaderContent(TCanvas* DC, const TRect& Client, bool UseHeaderGlyph,
                              bool UseSortGlyph, TPoint& HeaderGlyphPos, TPoint& SortGlyphPos,
                              TSize& SortGlyphSize, TRect& TextBounds, unsigned DrawFormat);

private:
    friend class TLazyTreeColumns;
    friend class TLTHeader;
    TBaseLazyTree* tree() const;
    TLTHeader* header() const;
    void changed() { Changed(false); }
    void repaintTree() const;
    std::string FText;
    std::string FHint;
    int FLeft = 0;
    int FWidth = 50;
    TColumnPosition FPosition = 0;
    int FMinWidth = 10;
    int FMaxWidth = 10000;
    TLazyTreeColumnStyle FStyle = vsText;
    int FImageIndex = -1;
    TBiDiMode FBiDiMode = bdLeftToRight;
    TLTHeaderColumnLayout FLayout = blGlyphLeft;
    int FMargin = 4;
    int FSpacing = 3;
    TLTColumnOptions FOptions = DefaultColumnOptions;
    std::intptr_t FTag = 0;
    TAlignment FAlignment = taLeftJustify;
    TAlignment FCaptionAlignment = taLeftJustify;
    int FLastWidth = 50;
    TColor FColor = clWindow;
    bool FBonusPixel = false;
    float FSpringRest = 0;
    std::string FCaptionText;
    bool FCheckBox = false;
    TCheckType FCheckType = ctCheckBox;
    TCheckState FCheckState = csUncheckedNormal;
    TRect FImageRect;
    bool FHasImage = false;
    TSortDirection FDefaultSortDirection = sdAscending;
};

// The header's columns with their display order (position -> column index).
class TLazyTreeColumns : public TCollection {
public:
    explicit TLazyTreeColumns(TLTHeader* AHeader);
    ~TLazyTreeColumns() override;
    TLTHeader* Header() const { return FHeader; }
    TLazyTreeColumn* Items(int Index) const {
        return static_cast<TLazyTreeColumn*>(TCollection::Items(Index));
    }
    TLazyTreeColumn* Add() { return static_cast<TLazyTreeColumn*>(TCollection::Add()); }
    void Clear();
    bool Clearing() const { return FClearing; }
    int DefaultWidth() const { return FDefaultWidth; }
    void SetDefaultWidth(int Value) { FDefaultWidth = Value; }
    TColumnIndex HoverIndex() const { return FHoverIndex; }
    TColumnIndex DownIndex() const { return FDownIndex; }
    TColumnIndex TrackIndex() const { return FTrackIndex; }
    TColumnIndex ClickIndex() const { return FClickIndex; }
    // The column at a display position; -1 past the end.
    TColumnIndex ColumnFromPosition(TColumnPosition PositionIndex) const;
    const std::vector<TColumnIndex>& PositionToIndex() const { return FPositionToIndex; }
    bool IsValidColumn(TColumnIndex Column) const { return Column >= 0 && Column < Count(); }
    // Sum of the widths of the visible fixed columns.
    int GetVisibleFixedWidth() const;
    // Positions and left edges again from the position map.
    void RecomputeColumnLefts(bool Force);
    // Display order by index, or reversed for a right-to-left tree.
    void ResetPositionOrder(bool RightToLeft);
    // Applies the positions the columns stored while the tree was loading.
    void ApplyStoredPositions();
    void Assign(const TPersistent* Source) override;
    bool Equals(const TLazyTreeColumns* Other) const;

    // --- geometry and navigation (header coordinates: x from the first column) ---
    // The visible column whose span holds P.X (Relative: scrolled, except over the fixed area);
    // InvalidColumnIndex when none.
    TColumnIndex ColumnFromPosition(TPoint P, bool Relative = true) const;
    TColumnIndex ColumnAndBoundsAt(TPoint P, int& ALeft, int& ARight, bool Relative = true) const;
    // The on-screen span of a column; of the whole client for a negative column.
    void GetColumnBounds(TColumnIndex Column, int& ALeft, int& ARight) const;
    TColumnIndex GetFirstColumn() const;
    TColumnIndex GetNextColumn(TColumnIndex Column) const;
    TColumnIndex GetPreviousColumn(TColumnIndex Column) const;
    TColumnIndex GetFirstVisibleColumn(bool ConsiderAllowFocus = false) const;
    TColumnIndex GetLastVisibleColumn(bool ConsiderAllowFocus = false) const;
    TColumnIndex GetNextVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus = false) const;
    TColumnIndex GetPreviousVisibleColumn(TColumnIndex Column,
                                          bool ConsiderAllowFocus = false) const;
    std::vector<TColumnIndex> GetVisibleColumns() const;
    // The horizontal scroll step: the mean width of the visible scrolling columns.
    int GetScrollWidth() const;
    int TotalWidth() const;

    // --- header mouse bookkeeping (tree client coordinates, the header at negative y) ---
    virtual void QuerySplitterResize(TPoint P, TColumnIndex Column, bool& Allowed);
    bool SplitterResizeAllowed(TPoint P, TColumnIndex Column);
    bool TrackHotColumn(TPoint P);
    TColumnIndex TrackPressedColumn(TPoint P);
    // P in client coordinates of the tree's client area plus the header height.
    virtual void ProcessHeaderClick(TPoint P, TMouseButton Button, bool Force, bool DblClick);
    bool CheckBoxHit() const { return FCheckBoxHit; }
    TColumnIndex DragIndex() const { return FDragIndex; }
    TColumnIndex DropTarget() const { return FDropTarget; }
    bool DropBefore() const { return FDropBefore; }
    // The menu a right click made with hoAutoColumnPopupMenu (nil before).
    TPopupMenu* ColumnPopupMenu() const { return FColumnPopupMenu.get(); }

    // --- widths ---
    void AnimatedResize(TColumnIndex Column, int NewWidth);
    // The auto-size column takes the room the other visible columns leave.
    void FitAutoSizeColumn(bool Force);

    // --- painting ---
    // R: the header in DC coordinates; HOffset: the offset of the scrolling columns.
    void PaintHeader(TCanvas* DC, const TRect& R, int HOffset);
    // R in unscrolled header coordinates, painted with its top-left corner at Target.
    void PaintHeader(TCanvas* TargetCanvas, TRect R, TPoint Target, int RTLOffset = 0);

    void LoadFromStream(TStream& Stream, int Version);
    void SaveToStream(TStream& Stream) const;

protected:
    void Update(TCollectionItem* Item) override;

private:
    friend class TLazyTreeColumn;
    friend class TLTHeader;
    friend class TBaseLazyTree;
    bool trackColumnUnderPoint(TPoint P, TColumnIndex& Index);
    void paintColumn(struct THeaderPaintInfo& PaintInfo, TColumnIndex Column, const TRect& CR,
                     bool ShowRightBorder, bool AdvancedOwnerDraw, bool SimpleOwnerDraw,
                     HTHEME__* Theme);
    void syncPositionMapSize();
    void movePositionEntry(TColumnIndex Column, TColumnPosition NewPosition);
    void renumberPositionMap(TColumnIndex DeletedIndex);
    TLTHeader* FHeader;
    TColumnIndex FHoverIndex = NoColumnIndex;
    TColumnIndex FDownIndex = NoColumnIndex;
    TColumnIndex FTrackIndex = NoColumnIndex;
    TColumnIndex FClickIndex = NoColumnIndex;
    std::vector<TColumnIndex> FPositionToIndex;
    int FDefaultWidth = 50;
    bool FNeedPositionsFix = false;
    bool FClearing = false;
    bool FCheckBoxHit = false;
    TColumnIndex FDragIndex = NoColumnIndex;
    TColumnIndex FDropTarget = NoColumnIndex;
    bool FDropBefore = false;
    std::unique_ptr<TBitmap> FHeaderBitmap;
    std::unique_ptr<TPopupMenu> FColumnPopupMenu;
};

// Limits of the fixed area as percentages (0: no limit).
class TLTFixedAreaConstraints : public TPersistent {
public:
    std::uint8_t MaxWidthPercent() const { return FMaxWidthPercent; }
    std::uint8_t MinWidthPercent() const { return FMinWidthPercent; }
    std::uint8_t MaxHeightPercent() const { return FMaxHeightPercent; }
    std::uint8_t MinHeightPercent() const { return FMinHeightPercent; }
    // Index 0 MaxHeightPercent, 1 MaxWidthPercent, 2 MinHeightPercent, 3 MinWidthPercent;
    // a maximum below its minimum moves the other limit along.
    void SetConstraints(int Index, std::uint8_t Value);
    void Assign(const TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    friend class TLTHeader;
    std::uint8_t FMaxHeightPercent = 0;
    std::uint8_t FMaxWidthPercent = 0;
    std::uint8_t FMinHeightPercent = 0;
    std::uint8_t FMinWidthPercent = 0;
};

enum TLTHeaderOption {
    hoAutoResize,
    hoColumnResize,
    hoDblClickResize,
    hoDrag,
    hoHotTrack,
    hoOwnerDraw,
    hoRestrictDrag,
    hoShowHint,
    hoShowImages,
    hoShowSortGlyphs,
    hoVisible,
    hoAutoSpring,
    hoFullRepaintOnResize,
    hoDisableAnimatedResize,
    hoHeightResize,
    hoHeightDblClickResize,
    hoHeaderClickAutoSort,
    hoAutoColumnPopupMenu
};
using TLTHeaderOptions = TEnumSet<TLTHeaderOption, std::uint32_t>;

enum THeaderState {
    hsAutoSizing,
    hsDragging,
    hsDragPending,
    hsLoading,
    hsColumnWidthTracking,
    hsColumnWidthTrackPending,
    hsHeightTracking,
    hsHeightTrackPending,
    hsResizing,
    hsScaling,
    hsNeedScaling
};
using THeaderStates = TEnumSet<THeaderState, std::uint16_t>;

// The popup menu of the header's columns: a checked item per visible column, optionally with an
// item that fits all columns first.
enum TLTHeaderPopupOption { poOriginalOrder, poAllowHideAll, poResizeToFitItem };
using TLTHeaderPopupOptions = TEnumSet<TLTHeaderPopupOption, std::uint8_t>;
enum TAddPopupItemType { apNormal, apDisabled, apHidden };

class TLTHeaderPopupMenu : public TPopupMenu {
public:
    using TPopupMenu::TPopupMenu;
    // Rebuilds the items when the popup component is a tree, then shows the menu.
    void Popup(int X, int Y) override;
    TLTHeaderPopupOptions Options() const { return FOptions; }
    void SetOptions(TLTHeaderPopupOptions Value) { FOptions = Value; }
    std::function<void(TBaseLazyTree* Sender, TColumnIndex Column, TAddPopupItemType& Cmd)>
        OnAddHeaderPopupItem;
    std::function<void(TBaseLazyTree* Sender, TColumnIndex Column, bool Visible)> OnColumnChange;

protected:
    virtual void FireAddHeaderPopupItem(TColumnIndex Column, TAddPopupItemType& Cmd);
    virtual void FireColumnChange(TColumnIndex Column, bool Visible);

private:
    void menuItemClicked(TObject* Sender);
    TLTHeaderPopupOptions FOptions;
};

// The caption of the menu item that fits all columns.
extern const char* const SResizeToFitMenuItem;

class TLTHeader : public TPersistent {
public:
    explicit TLTHeader(TBaseLazyTree* AOwner);
    ~TLTHeader() override;
    void Assign(const TPersistent* Source) override;
    TBaseLazyTree* Treeview() const { return FOwner; }
    TLazyTreeColumns* Columns() const { return FColumns.get(); }
    void SetColumns(const TLazyTreeColumns* Value);
    int ColumnCount() const { return FColumns->Count(); }
    bool UseColumns() const { return FColumns->Count() > 0; }
    TLTFixedAreaConstraints* FixedAreaConstraints() const { return FConstraints.get(); }
    bool AllowFocus(TColumnIndex Column) const;

    TLTHeaderOptions Options() const { return FOptions; }
    void SetOptions(TLTHeaderOptions Value);
    THeaderStates States() const { return FStates; }
    void ChangeStates(THeaderStates Enter, THeaderStates Leave) {
        FStates = (FStates - Leave) + Enter;
    }
    TLTHeaderStyle Style() const { return FStyle; }
    void SetStyle(TLTHeaderStyle Value);
    TColor Background() const { return FBackgroundColor; }
    void SetBackground(TColor Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value) { FPopupMenu = Value; }
    int SplitterHitTolerance() const { return FSplitterHitTolerance; }
    void SetSplitterHitTolerance(int Value) { FSplitterHitTolerance = Value; }

    int Height() const { return FHeight; }
    void SetHeight(int Value);
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(int Value);
    int MinHeight() const { return FMinHeight; }
    void SetMinHeight(int Value);
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int Value);

    TColumnIndex AutoSizeIndex() const { return FAutoSizeIndex; }
    void SetAutoSizeIndex(TColumnIndex Value);
    // -1 while there are no columns.
    TColumnIndex MainColumn() const { return UseColumns() ? FMainColumn : NoColumnIndex; }
    // Limited to 0 .. count - 1.
    void SetMainColumn(TColumnIndex Value);

    TColumnIndex SortColumn() const { return FSortColumn; }
    void SetSortColumn(TColumnIndex Value);
    TSortDirection SortDirection() const { return FSortDirection; }
    void SetSortDirection(TSortDirection Value);

    // --- geometry (tree client coordinates; the header lies above y = 0) ---
    TRect HeaderRect() const;
    bool InHeader(TPoint P) const;
    bool InHeaderSplitterArea(TPoint P) const;
    // Repaints a column's header cell (with ExpandToBorder up to the header's edge) or the
    // whole header for NoColumnIndex.
    void Invalidate(TColumnIndex Column = NoColumnIndex, bool ExpandToBorder = false);
    // The tree's frame follows the header's height and visibility.
    virtual void RefreshNonClientArea();

    // --- widths ---
    void AutoFitColumns(bool Animated = true,
                        TSmartAutoFitType SmartAutoFitType = smaUseColumnOption,
                        int RangeStartCol = NoColumnIndex, int RangeEndCol = NoColumnIndex);
    // Spreads ChangeBy over the columns RangeStartCol .. RangeEndCol having all of Options;
    // answers the change applied.
    int ResizeColumns(int ChangeBy, TColumnIndex RangeStartCol, TColumnIndex RangeEndCol,
                      TLTColumnOptions Options = {coVisible});
    void RestoreColumns();
    void DistributeSpring();
    // Applies the fixed-area and height percentages.
    void ApplyAreaConstraints();
    void ScaleHeader(int M, int D);

    // --- mouse and keyboard (LazyTreeHeaderInput.cpp) ---
    // The tree offers its messages here first; true when the header consumed it.
    virtual bool ProcessHeaderMessage(TMessage& Message);
    // Finds the column splitter at P (client coordinates); sets the tracked column.
    virtual bool LocateSplitter(TPoint P);
    bool HeightSplitterAllowed(TPoint P);
    // The picture of a column while it is dragged.
    TLTDragImage* DragImage() const { return FDragImage.get(); }
    TPoint TrackPoint() const { return FTrackPoint; }

    // The header record of a stream of its own; a stream that is not one is refused.
    void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream) const;

protected:
    // Limits Value to -1 .. count - 1 and sorts the tree by it where the options ask for that.
    virtual void ApplySortColumn(TColumnIndex Value);
    // The header's column collection; a derived header installs its own with InstallColumns
    // from its constructor.
    virtual std::unique_ptr<TLazyTreeColumns> ColumnsClass();
    void InstallColumns() { FColumns = ColumnsClass(); }
    // Dispatchers of the tree's header events (each fires its event only when assigned); the
    // Boolean ones answer whether the step is allowed.
    virtual void FireAfterAutoFitColumn(TColumnIndex Column);
    virtual void FireAfterColumnWidthTracking(TColumnIndex Column);
    virtual void FireAfterHeaderHeightTracking();
    virtual bool FireBeforeAutoFitColumn(TColumnIndex Column, TSmartAutoFitType& SmartAutoFitType);
    virtual void FireBeforeColumnWidthTracking(TColumnIndex Column, TShiftState Shift);
    virtual void FireBeforeHeaderHeightTracking(TShiftState Shift);
    virtual void FireCanSplitterResizeHeader(TPoint P, bool& Allowed);
    virtual bool FireColumnWidthDblClickResize(TColumnIndex Column, TShiftState Shift, TPoint P);
    virtual bool FireColumnWidthTracking(TColumnIndex Column, TShiftState Shift, TPoint& TrackPoint,
                                         TPoint P);
    // The tree's menu for a column (nil when it has none).
    virtual TPopupMenu* FireGetPopupMenu(TColumnIndex Column, TPoint P);
    virtual bool FireHeaderHeightTracking(TPoint& P, TShiftState Shift);
    virtual bool FireHeaderHeightDblClickResize(TPoint& P, TShiftState Shift);

private:
    // With toAutoSort or hoHeaderClickAutoSort, outside an update bracket.
    void sortTreeWhenWanted();
    void headerFontChanged();
    void constraintsChanged();
    bool columnSplitterHit(TPoint P);
    bool headerMouseMove(TMessage& Message);
    bool handleButtonDown(TMessage& Message);
    bool handleButtonUp(TMessage& Message);
    bool handleDoubleClick(TMessage& Message);
    bool handleSetCursor(TMessage& Message);
    bool cancelTracking();
    void beginColumnDrag(TPoint HotSpot, TPoint Start);
    void dragColumnTo(TPoint P);
    void endColumnDrag();
    TPoint toHeader(TPoint Client) const { return TPoint(Client.X, Client.Y + FHeight); }
    friend class TLazyTreeColumn;
    friend class TLazyTreeColumns;
    TBaseLazyTree* FOwner;
    std::unique_ptr<TLazyTreeColumns> FColumns;
    std::unique_ptr<TLTFixedAreaConstraints> FConstraints;
    std::unique_ptr<TFont> FFont;
    int FHeight = 19;
    bool FParentFont = false;
    TLTHeaderStyle FStyle = hsThickButtons;
    TColor FBackgroundColor = clBtnFace;
    TColumnIndex FAutoSizeIndex = 0;
    TPopupMenu* FPopupMenu = nullptr;
    TColumnIndex FMainColumn = NoColumnIndex;
    int FMaxHeight = 10000;
    int FMinHeight = 10;
    int FDefaultHeight = 19;
    TImageList* FImages = nullptr;
    int FSplitterHitTolerance = 8;
    TLTHeaderOptions FOptions{hoColumnResize, hoDrag, hoShowSortGlyphs};
    THeaderStates FStates;
    TColumnIndex FSortColumn = NoColumnIndex;
    TSortDirection FSortDirection = sdAscending;
    std::unique_ptr<TLTDragImage> FDragImage;
    int FLastWidth = 0;
    TPoint FDragStart;
    TPoint FTrackStart;
    TPoint FTrackPoint;
};
