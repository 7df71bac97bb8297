#pragma once
// The lazy tree control: a tree of nodes with caller-sized data that are created in bulk and
// initialised on first use. The node model (store, life cycle, counts and heights) is in
// LazyTreeNodes.cpp, the walks in LazyTreeNavigation.cpp, change reports and update brackets
// in LazyTreeChanges.cpp, options and properties in LazyTreeOptions.cpp, colours and the
// appearance messages in LazyTreeColors.cpp, and the control frame in LazyTree.cpp.
#include "platform/gfx/ImageList.h"
#include "platform/gfx/Imaging.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Grids.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/core/Controls.h"
#include "platform/ui/core/WindowFrame.h"
#include "treeview/LazyTreeHeader.h"
#include "treeview/LazyTreeOle.h"
#include "treeview/LazyTreeTypes.h"
#include "treeview/NodeAllocator.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TBaseLazyTree;
using TNodeArray = std::vector<PLazyNode>;

// --- events -----------------------------------------------------------------------------------
using TLTInitNodeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode ParentNode,
                                            PLazyNode Node, TLazyNodeInitStates& InitialStates)>;
using TLTInitChildrenEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, std::uint32_t& ChildCount)>;
using TLTFreeNodeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node)>;
using TLTChangeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node)>;
using TLTGetNodeDataSizeEvent = std::function<void(TBaseLazyTree* Sender, int& NodeDataSize)>;
using TLTMeasureItemEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas,
                                               PLazyNode Node, int& NodeHeight)>;
using TLTStructureChangeEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TChangeReason Reason)>;
using TLTStateChangeEvent =
    std::function<void(TBaseLazyTree* Sender, TLazyTreeStates Enter, TLazyTreeStates Leave)>;
using TLTUpdatingEvent = std::function<void(TBaseLazyTree* Sender, TLTUpdateState State)>;
using TLTOperationEvent =
    std::function<void(TBaseLazyTree* Sender, TLTOperationKind OperationKind)>;
using TLTChangingEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, bool& Allowed)>;
using TLTScrollEvent = std::function<void(TBaseLazyTree* Sender, int DeltaX, int DeltaY)>;
// Moving, copying and sorting; Allowed starts true.
using TLTNodeMovingEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, PLazyNode Target, bool& Allowed)>;
using TLTNodeMovedEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node)>;
using TLTNodeCopyingEvent = TLTNodeMovingEvent;
using TLTNodeCopiedEvent = TLTNodeMovedEvent;
// Result starts at 0: below 0 when Node1 comes first, above 0 when Node2 does.
using TLTCompareEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node1, PLazyNode Node2,
                                           TColumnIndex Column, int& Result)>;
// The tree stream: the application's own data of a node (nil: the hidden root) and of the tree.
using TLTSaveNodeEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TStream& Stream)>;
using TLTLoadNodeEvent = TLTSaveNodeEvent;
using TLTSaveTreeEvent = std::function<void(TBaseLazyTree* Sender, TStream& Stream)>;
using TLTLoadTreeEvent = TLTSaveTreeEvent;
// Callback of IterateSubtree; setting Abort ends the walk at Node.
using TLTGetNodeProc =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, void* Data, bool& Abort)>;

// What lies under a point: the node, its column and the parts of the row.
enum THitPosition {
    hiAbove,
    hiBelow,
    hiNowhere,
    hiOnItem,
    hiOnItemButton,
    hiOnItemButtonExact,
    hiOnItemCheckbox,
    hiOnItemIndent,
    hiOnItemLabel,
    hiOnItemLeft,
    hiOnItemRight,
    hiOnNormalIcon,
    hiOnStateIcon,
    hiToLeft,
    hiToRight,
    hiUpperSplitter,
    hiLowerSplitter
};
using THitPositions = TEnumSet<THitPosition, std::uint32_t>;
struct THitInfo {
    PLazyNode HitNode = nullptr;
    THitPositions HitPositions;
    int HitColumn = -1; // -1: no column, -2: beyond the last column
    TPoint HitPoint;    // canvas coordinates
};

// Events of check boxes, selection, focus, images, mouse and keyboard.
using TLTCheckingEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node,
                                            TCheckState& NewState, bool& Allowed)>;
using TLTFocusChangingEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode OldNode, PLazyNode NewNode, int OldColumn,
                       int NewColumn, bool& Allowed)>;
using TLTFocusChangeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, int Column)>;
using TLTGetImageEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TLTImageKind Kind, int Column,
                       bool& Ghosted, int& ImageIndex)>;
using TLTGetImageExEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TLTImageKind Kind, int Column,
                       bool& Ghosted, int& ImageIndex, TImageList*& ImageList)>;
using TLTGetCellIsEmptyEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, int Column, bool& IsEmpty)>;
using TLTGetCursorEvent = std::function<void(TBaseLazyTree* Sender, TCursor& Cursor)>;
using TLTHotNodeChangeEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode OldNode, PLazyNode NewNode)>;
using TLTNodeClickEvent = std::function<void(TBaseLazyTree* Sender, const THitInfo& HitInfo)>;
using TLTCanSplitterResizeNodeEvent =
    std::function<void(TBaseLazyTree* Sender, TPoint P, PLazyNode Node, int Column, bool& Allowed)>;
using TLTNodeHeightDblClickResizeEvent = std::function<void(
    TBaseLazyTree* Sender, PLazyNode Node, int Column, TShiftState Shift, TPoint P, bool& Allowed)>;
using TLTNodeHeightTrackingEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, int Column, TShiftState Shift,
                       TPoint& TrackPoint, TPoint P, bool& Allowed)>;
using TLTPopupEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, int Column,
                                         const TPoint& P, bool& AskParent, TPopupMenu*& PopupMenu)>;
using TLTKeyActionEvent =
    std::function<void(TBaseLazyTree* Sender, WORD& CharCode, TShiftState& Shift, bool& DoDefault)>;
using TLTIncrementalSearchEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node,
                                                     const std::string& SearchText, int& Result)>;
using TLTHelpContextEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, int Column, int& HelpContext)>;

enum TVSTTextType { ttNormal, ttStatic };
enum TVTCellContentMarginType { ccmtAllSides, ccmtTopLeftOnly, ccmtBottomRightOnly };
using TLTGetImageTextEvent = std::function<void(
    TBaseLazyTree* Sender, PLazyNode Node, TLTImageKind Kind, int Column, std::string& ImageText)>;
using TLTGetTextEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, int Column,
                                           TVSTTextType TextType, std::string& CellText)>;

// One image of a painted cell (the paint info of a cell holds one per kind).
enum TLTPaintImageIndex { piNormal, piState, piCheck, piOverlay };
struct TLTPaintImage {
    int Index = -1; // -1: no image
    int XPos = 0;   // top-left corner
    int YPos = 0;
    bool Ghosted = false;
    TImageList* Images = nullptr;
};

enum TScrollDirection { sdLeft, sdUp, sdRight, sdDown };
using TScrollDirections = TEnumSet<TScrollDirection, std::uint8_t>;

// Alignment as a text reading in Mode shows it: left and right swap when reading right to left.
TAlignment BiDiAlignment(TAlignment Alignment, TBiDiMode Mode);

// State functions of check states.
TCheckState PressedCheckState(TCheckState State);
TCheckState UnpressedCheckState(TCheckState State);
TCheckState EnabledCheckState(TCheckState State);
TCheckState ToggledCheckState(TCheckState State);
bool IsDisabledCheckState(TCheckState State);
bool IsCheckedState(TCheckState State);

// --- painting -------------------------------------------------------------------------------
// What one PaintTree call paints.
enum TLTInternalPaintOption {
    poBackground,
    poColumnColor,
    poDrawFocusRect,
    poDrawSelection,
    poDrawDropMark,
    poGridLines,
    poMainOnly,
    poSelectedOnly,
    poUnbuffered
};
using TLTInternalPaintOptions = TEnumSet<TLTInternalPaintOption, std::uint16_t>;
// The control's own repaint (value 63).
constexpr TLTInternalPaintOptions PaintOptionsOfRepaint{
    poBackground, poColumnColor, poDrawFocusRect, poDrawSelection, poDrawDropMark, poGridLines};
// Tree lines of one indentation level of a row.
enum TLTLineType : std::uint8_t {
    ltNone,
    ltBottomRight,
    ltTopDown,
    ltTopDownRight,
    ltRight,
    ltTopRight,
    ltLeft,
    ltLeftBottom
};
using TLineImage = std::vector<TLTLineType>;
// Handed to every cell operation of one PaintTree call.
struct TLTPaintInfo {
    TCanvas* Canvas = nullptr;
    TLTInternalPaintOptions PaintOptions;
    PLazyNode Node = nullptr;
    int Column = -1;
    unsigned Position = 0;
    TRect CellRect;    // x in tree coordinates, y from 0 to the row height
    TRect ContentRect; // the cell less margins, indentation and images
    int NodeWidth = 0;
    TAlignment Alignment = taLeftJustify;
    TAlignment CaptionAlignment = taLeftJustify;
    TBiDiMode BidiMode = bdLeftToRight;
    TPoint BrushOrigin;
    std::array<TLTPaintImage, 4> ImageInfo;
};
enum TItemEraseAction { eaColor, eaDefault, eaNone };
enum TLTCellPaintMode { cpmPaint, cpmGetContentMargin };

using TLTPaintEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas)>;
using TLTBeforeItemPaintEvent =
    std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node,
                       const TRect& ItemRect, bool& CustomDraw)>;
using TLTBeforeItemEraseEvent =
    std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node,
                       const TRect& ItemRect, TColor& ItemColor, TItemEraseAction& EraseAction)>;
using TLTAfterItemPaintEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas,
                                                  PLazyNode Node, const TRect& ItemRect)>;
using TLTBeforeCellPaintEvent =
    std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node, int Column,
                       TLTCellPaintMode CellPaintMode, const TRect& CellRect, TRect& ContentRect)>;
using TLTAfterCellPaintEvent =
    std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node, int Column,
                       const TRect& CellRect)>;
using TLTBackgroundPaintEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas,
                                                   const TRect& R, bool& Handled)>;
using TLTBeforeDrawLineImageEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, int Level, int& PosX)>;
// Draws the six expand buttons, prepared at ASize and filled with their transparent colour; the
// hot ones show while the mouse is over a button, the selected-hot ones on a selected node.
using TLTPrepareButtonImagesEvent = std::function<void(
    TBaseLazyTree* Sender, TBitmap* APlusBM, TBitmap* APlusHotBM, TBitmap* APlusSelectedHotBM,
    TBitmap* AMinusBM, TBitmap* AMinusHotBM, TBitmap* AMinusSelectedHotBM, TSize& ASize)>;
// Points Bits to eight pattern rows of its own (the low 8 bits of each are used).
using TLTGetLineStyleEvent = std::function<void(TBaseLazyTree* Sender, const std::uint16_t*& Bits)>;

// --- scroll bars ------------------------------------------------------------------------------
// Bar is SB_HORZ or SB_VERT (platform/ui/core/WindowFrame.h).
using TLTScrollBarShowEvent = std::function<void(TBaseLazyTree* Sender, int Bar, bool Show)>;

// --- options ----------------------------------------------------------------------------------
class TCustomLazyTreeOptions : public TPersistent {
public:
    explicit TCustomLazyTreeOptions(TBaseLazyTree* AOwner);

    TBaseLazyTree* Owner() const { return FOwner; }
    TLTPaintOptions PaintOptions() const { return FPaintOptions; }
    TLTAnimationOptions AnimationOptions() const { return FAnimationOptions; }
    TLTAutoOptions AutoOptions() const { return FAutoOptions; }
    TLTSelectionOptions SelectionOptions() const { return FSelectionOptions; }
    TLTMiscOptions MiscOptions() const { return FMiscOptions; }
    TLTExportMode ExportMode() const { return FExportMode; }
    void SetPaintOptions(TLTPaintOptions Value);
    void SetAnimationOptions(TLTAnimationOptions Value);
    void SetAutoOptions(TLTAutoOptions Value);
    void SetSelectionOptions(TLTSelectionOptions Value);
    void SetMiscOptions(TLTMiscOptions Value);
    void SetExportMode(TLTExportMode Value) { FExportMode = Value; }

protected:
    void AssignTo(TPersistent* Dest) const override;

private:
    friend class TBaseLazyTree;
    TBaseLazyTree* FOwner;
    TLTPaintOptions FPaintOptions;
    TLTAnimationOptions FAnimationOptions;
    TLTAutoOptions FAutoOptions;
    TLTSelectionOptions FSelectionOptions;
    TLTMiscOptions FMiscOptions;
    TLTExportMode FExportMode = emAll;
};
using TLazyTreeOptions = TCustomLazyTreeOptions;

class TCustomStringTreeOptions : public TCustomLazyTreeOptions {
public:
    explicit TCustomStringTreeOptions(TBaseLazyTree* AOwner);
    TLTStringOptions StringOptions() const { return FStringOptions; }
    void SetStringOptions(TLTStringOptions Value);

protected:
    void AssignTo(TPersistent* Dest) const override;

private:
    TLTStringOptions FStringOptions;
};
using TStringTreeOptions = TCustomStringTreeOptions;

// --- scroll bars ------------------------------------------------------------------------------
enum TScrollBarStyle { sbmRegular, sbm3D };

class TScrollBarOptions : public TPersistent {
public:
    explicit TScrollBarOptions(TBaseLazyTree* AOwner) : FOwner(AOwner) {}
    TBaseLazyTree* Owner() const { return FOwner; }
    bool AlwaysVisible() const { return FAlwaysVisible; }
    void SetAlwaysVisible(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    TScrollBarStyle ScrollBarStyle() const { return FScrollBarStyle; }
    void SetScrollBarStyle(TScrollBarStyle Value) { FScrollBarStyle = Value; }
    // Pixels of one line step (1..10000).
    std::uint16_t HorizontalIncrement() const { return FIncrementX; }
    void SetHorizontalIncrement(std::uint16_t Value) { FIncrementX = Value; }
    std::uint16_t VerticalIncrement() const { return FIncrementY; }
    void SetVerticalIncrement(std::uint16_t Value) { FIncrementY = Value; }
    void Assign(const TPersistent* Source) override;

private:
    // The window styles depend on the bars: a shown window is made again.
    void recreateOwnerWindow();
    bool FAlwaysVisible = false;
    TBaseLazyTree* FOwner;
    TScrollStyle FScrollBars = ssBoth;
    TScrollBarStyle FScrollBarStyle = sbmRegular;
    std::uint16_t FIncrementX = 20;
    std::uint16_t FIncrementY = 20;
};

// --- colours ----------------------------------------------------------------------------------
class TLTColors : public TPersistent {
public:
    enum Index {
        DisabledColorIndex,
        DropMarkColorIndex,
        DropTargetColorIndex,
        FocusedSelectionColorIndex,
        GridLineColorIndex,
        TreeLineColorIndex,
        UnfocusedSelectionColorIndex,
        BorderColorIndex,
        HotColorIndex,
        FocusedSelectionBorderColorIndex,
        UnfocusedSelectionBorderColorIndex,
        DropTargetBorderColorIndex,
        SelectionRectangleBlendColorIndex,
        SelectionRectangleBorderColorIndex,
        HeaderHotColorIndex,
        SelectionTextColorIndex,
        UnfocusedColorIndex,
        ColorCount
    };
    explicit TLTColors(TBaseLazyTree* AOwner);
    TColor GetColor(Index I) const;
    void SetColor(Index I, TColor Value);
    void Assign(const TPersistent* Source) override;

    TColor DisabledColor() const { return GetColor(DisabledColorIndex); }
    TColor DropMarkColor() const { return GetColor(DropMarkColorIndex); }
    TColor DropTargetColor() const { return GetColor(DropTargetColorIndex); }
    TColor FocusedSelectionColor() const { return GetColor(FocusedSelectionColorIndex); }
    TColor GridLineColor() const { return GetColor(GridLineColorIndex); }
    TColor TreeLineColor() const { return GetColor(TreeLineColorIndex); }
    TColor UnfocusedSelectionColor() const { return GetColor(UnfocusedSelectionColorIndex); }
    TColor BorderColor() const { return GetColor(BorderColorIndex); }
    TColor HotColor() const { return GetColor(HotColorIndex); }
    TColor FocusedSelectionBorderColor() const {
        return GetColor(FocusedSelectionBorderColorIndex);
    }
    TColor UnfocusedSelectionBorderColor() const {
        return GetColor(UnfocusedSelectionBorderColorIndex);
    }
    TColor DropTargetBorderColor() const { return GetColor(DropTargetBorderColorIndex); }
    TColor SelectionRectangleBlendColor() const {
        return GetColor(SelectionRectangleBlendColorIndex);
    }
    TColor SelectionRectangleBorderColor() const {
        return GetColor(SelectionRectangleBorderColorIndex);
    }
    TColor HeaderHotColor() const { return GetColor(HeaderHotColorIndex); }
    // The colour of header captions: the header font's.
    TColor HeaderFontColor() const;
    TColor SelectionTextColor() const { return GetColor(SelectionTextColorIndex); }
    TColor UnfocusedColor() const { return GetColor(UnfocusedColorIndex); }
    void SetTreeLineColor(TColor v) { SetColor(TreeLineColorIndex, v); }
    void SetBorderColor(TColor v) { SetColor(BorderColorIndex, v); }
    // The colours the painting uses for the background and the node texts.
    TColor BackGroundColor() const;
    TColor NodeFontColor() const;

private:
    TBaseLazyTree* FOwner;
    std::array<TColor, ColorCount> FColors;
};

class TPrinter;
// Node editing (treeview/services/LazyTreeEdit.h).
class ILTEditLink;
class TStringEditLink;
class TLTEdit;
using TLTEditingEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, int Column, bool& Allowed)>;
using TLTCreateEditorEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, int Column,
                                                std::shared_ptr<ILTEditLink>& EditLink)>;
using TLTEditChangeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, int Column)>;
using TLTEditCancelEvent = std::function<void(TBaseLazyTree* Sender, int Column)>;

// Hints (treeview/services/LazyTreeHints.cpp).
enum TLTTooltipLineBreakStyle { hlbDefault, hlbForceSingleLine, hlbForceMultiLine };
enum TLTHintKind { vhkText, vhkOwnerDraw };
// What a tree hint shows; the tree hands it to its hint window.
struct TLTHintData : public TObject {
    TBaseLazyTree* Tree = nullptr;
    PLazyNode Node = nullptr;
    int Column = -1;
    TRect HintRect; // an owner-drawn hint's size
    std::string DefaultHint;
    std::string HintText;
    TBiDiMode BidiMode = bdLeftToRight;
    TAlignment Alignment = taLeftJustify;
    TLTTooltipLineBreakStyle LineBreakStyle = hlbDefault;
};
using TLTGetHintKindEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, int Column, TLTHintKind& Kind)>;
using TLTGetHintSizeEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, int Column, TRect& R)>;
using TLTDrawHintEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* HintCanvas,
                                            PLazyNode Node, const TRect& R, int Column)>;
using TLTGetHintEvent =
    std::function<void(TBaseLazyTree* Sender, PLazyNode Node, int Column,
                       TLTTooltipLineBreakStyle& LineBreakStyle, std::string& HintText)>;
// False when a hint window is made or hidden; true when one is destroyed, or a tree goes while
// it animates a hint.
extern bool HintWindowGone;

// --- the tree ---------------------------------------------------------------------------------
class TBaseLazyTree : public TCustomControl {
    friend class TLTHeader;
    friend class TLazyTreeColumns;
    friend class TStringEditLink;
    friend class TLTEdit;

public:
    explicit TBaseLazyTree(TComponent* AOwner);
    ~TBaseLazyTree() override;
    virtual std::string ClassName() const { return "TBaseLazyTree"; }

    // Events of the node store.
    TLTInitNodeEvent OnInitNode;
    TLTInitChildrenEvent OnInitChildren;
    TLTFreeNodeEvent OnFreeNode;
    TLTGetNodeDataSizeEvent OnGetNodeDataSize;
    TLTMeasureItemEvent OnMeasureItem;
    TLTChangeEvent OnResetNode;
    // Events of change notification.
    TLTChangeEvent OnChange;
    TLTStructureChangeEvent OnStructureChange;
    TLTStateChangeEvent OnStateChange;
    TLTUpdatingEvent OnUpdating;
    TLTOperationEvent OnStartOperation;
    TLTOperationEvent OnEndOperation;
    // Events of expanding and collapsing; Allowed starts true.
    TLTChangingEvent OnExpanding;
    TLTChangeEvent OnExpanded;
    TLTChangingEvent OnCollapsing;
    TLTChangeEvent OnCollapsed;
    TLTScrollEvent OnScroll;

    // --- node creation (nil stands for the hidden root) ---
    virtual PLazyNode AddChild(PLazyNode Parent, void* UserData = nullptr);
    // The child holds a reference on UserData until it is freed.
    PLazyNode AddChild(PLazyNode Parent, IInterface* UserData);
    PLazyNode InsertNode(PLazyNode Node, TLTNodeAttachMode Mode, void* UserData = nullptr);
    std::uint32_t ChildCount(PLazyNode Node) const;
    virtual void SetChildCount(PLazyNode Node, std::uint32_t NewChildCount);
    std::uint32_t RootNodeCount() const { return FRoot->ChildCount; }
    void SetRootNodeCount(std::uint32_t Value);
    bool HasChildren(PLazyNode Node) const;
    void SetHasChildren(PLazyNode Node, bool Value);
    bool ChildrenInitialized(PLazyNode Node) const;
    bool IsEmpty() const { return FRoot->ChildCount == 0; }
    // Initialises every node of the tree first.
    std::uint32_t TotalCount();
    // Nodes that are effectively visible and on an expanded path.
    std::uint32_t VisibleCount() const { return FVisibleCount; }
    // The hidden root (never shown, never handed to events as a node).
    PLazyNode RootNode() const { return FRoot; }
    static TBaseLazyTree* TreeFromNode(PLazyNode Node);

    // The header: its columns and the sort column.
    TLTHeader* Header() const { return FHeader.get(); }
    // A column's width changed (-1: the tree as a whole).
    std::function<void(TLTHeader* Sender, TColumnIndex Column)> OnColumnResize;
    // Repaints from the column's left edge to the right and fires OnColumnResize.
    virtual void ColumnResized(TColumnIndex Column);
    // --- header columns (LazyTreeHeader*.cpp) ---
    using THeaderNotifyEvent = std::function<void(TLTHeader* Sender)>;
    using THeaderColumnEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column)>;
    using THeaderHitEvent = std::function<void(TLTHeader* Sender, const TLTHeaderHitInfo& HitInfo)>;
    using THeaderMouseEvent = std::function<void(TLTHeader* Sender, TMouseButton Button,
                                                 TShiftState Shift, int X, int Y)>;
    THeaderHitEvent OnHeaderClick;
    THeaderHitEvent OnHeaderDblClick;
    THeaderMouseEvent OnHeaderMouseDown;
    THeaderMouseEvent OnHeaderMouseUp;
    std::function<void(TLTHeader* Sender, TShiftState Shift, int X, int Y)> OnHeaderMouseMove;
    std::function<void(TLTHeader* Sender, TColumnIndex Column, bool& Allowed)> OnHeaderDragging;
    std::function<void(TLTHeader* Sender, TColumnIndex Column, TColumnPosition OldPosition)>
        OnHeaderDragged;
    std::function<void(TLTHeader* Sender, TColumnIndex Column, TPoint DropPosition)>
        OnHeaderDraggedOut;
    std::function<void(TLTHeader* Sender, TCursor& Cursor)> OnGetHeaderCursor;
    std::function<void(TLTHeader* Sender, TCanvas* HeaderCanvas, TLazyTreeColumn* Column, TRect R,
                       bool Hover, bool Pressed, TLTDropMarkMode DropMark)>
        OnHeaderDraw;
    std::function<void(TLTHeader* Sender, THeaderPaintInfo& PaintInfo,
                       THeaderPaintElements& Elements)>
        OnHeaderDrawQueryElements;
    std::function<void(TLTHeader* Sender, THeaderPaintInfo& PaintInfo,
                       THeaderPaintElements Elements)>
        OnAdvancedHeaderDraw;
    std::function<void(TBaseLazyTree* Sender, TColumnIndex Column, TShiftState Shift)>
        OnColumnClick;
    std::function<void(TBaseLazyTree* Sender, TColumnIndex Column, TShiftState Shift)>
        OnColumnDblClick;
    std::function<void(TBaseLazyTree* Sender, TColumnIndex Column, bool Visible)>
        OnColumnVisibilityChanged;
    std::function<void(TLTHeader* Sender, TColumnIndex Column, TShiftState Shift)>
        OnBeforeColumnWidthTracking;
    std::function<void(TLTHeader* Sender, TColumnIndex Column, TShiftState Shift,
                       TPoint& TrackPoint, TPoint P, bool& Allowed)>
        OnColumnWidthTracking;
    THeaderColumnEvent OnAfterColumnWidthTracking;
    std::function<void(TLTHeader* Sender, TShiftState Shift)> OnBeforeHeaderHeightTracking;
    std::function<void(TLTHeader* Sender, TPoint& P, TShiftState Shift, bool& Allowed)>
        OnHeaderHeightTracking;
    THeaderNotifyEvent OnAfterHeaderHeightTracking;
    std::function<void(TLTHeader* Sender, TPoint& P, TShiftState Shift, bool& Allowed)>
        OnHeaderHeightDblClickResize;
    std::function<void(TLTHeader* Sender, TColumnIndex Column, TShiftState Shift, TPoint P,
                       bool& Allowed)>
        OnColumnWidthDblClickResize;
    std::function<void(TLTHeader* Sender, TPoint P, bool& Allowed)> OnCanSplitterResizeHeader;
    std::function<void(TLTHeader* Sender, TPoint P, TColumnIndex Column, bool& Allowed)>
        OnCanSplitterResizeColumn;
    std::function<void(TLTHeader* Sender, TSmartAutoFitType& SmartAutoFitType)>
        OnBeforeAutoFitColumns;
    std::function<void(TLTHeader* Sender, TColumnIndex Column, TSmartAutoFitType& SmartAutoFitType,
                       bool& Allowed)>
        OnBeforeAutoFitColumn;
    THeaderColumnEvent OnAfterAutoFitColumn;
    THeaderNotifyEvent OnAfterAutoFitColumns;
    std::function<void(TLTHeader* Sender, TColumnIndex Column, bool& UseSmartColumnWidth)>
        OnBeforeGetMaxColumnWidth;
    std::function<void(TLTHeader* Sender, TColumnIndex Column, int& MaxWidth)>
        OnAfterGetMaxColumnWidth;
    // The width the column's content needs (Smart: only the nodes in view).
    virtual int GetMaxColumnWidth(TColumnIndex Column, bool UseSmartColumnWidth = false);
    // Repaints the client area within a column's bounds.
    void InvalidateColumn(TColumnIndex Column);
    // Widens a cell over the empty cells right of it; NextColumn: the column after them.
    virtual void AdjustCellSpan(TLTPaintInfo& PaintInfo, int& NextColumn);
    // The header's rectangle in window coordinates (empty height while it is hidden).
    const TRect& HeaderRect() const { return FHeaderRect; }
    virtual void ComputeHeaderArea();
    // How far a right-to-left tree's columns lie right of the client's left edge when the client
    // is wider than they are; Vertical: without the vertical scroll bar's width.
    virtual int RightToLeftPaintOffset(bool Vertical = false) const;
    // The columns' shift in client coordinates: RightToLeftPaintOffset in a mirrored tree with
    // columns, else 0.
    int ColumnsRightToLeftOffset() const;
    // Reading order and text alignment of a cell: the column's, or the tree's for no column;
    // Mirrored swaps left and right for right-to-left reading.
    TBiDiMode CellBiDiMode(int Column) const;
    TAlignment CellAlignment(int Column, bool Mirrored) const;
    // The horizontal scroll position (0 or more).
    int EffectiveOffsetX() const { return FEffectiveOffsetX; }

    // --- moving, copying and sorting (LazyTreeMove.cpp) ---
    // All four move and copy events fire on the source tree.
    TLTNodeMovingEvent OnNodeMoving;
    TLTNodeMovedEvent OnNodeMoved;
    TLTNodeCopyingEvent OnNodeCopying;
    TLTNodeCopiedEvent OnNodeCopied;
    TLTCompareEvent OnCompareNodes;
    // Moves Source (or only its children) to Target (nil: this tree's root), within this tree or
    // into the tree that owns Target.
    void MoveTo(PLazyNode Source, PLazyNode Target, TLTNodeAttachMode Mode, bool ChildrenOnly);
    void MoveTo(PLazyNode Node, TBaseLazyTree* Tree, TLTNodeAttachMode Mode, bool ChildrenOnly);
    // Copies through the tree stream; answers the last copy (ChildrenOnly: Target), nil when
    // nothing was copied or the last copy was refused.
    PLazyNode CopyTo(PLazyNode Source, PLazyNode Target, TLTNodeAttachMode Mode, bool ChildrenOnly);
    PLazyNode CopyTo(PLazyNode Source, TBaseLazyTree* Tree, TLTNodeAttachMode Mode,
                     bool ChildrenOnly);
    // Sorts Node's children (nil: the top-level nodes) stably by FireCompare.
    virtual void Sort(PLazyNode Node, TColumnIndex Column, TSortDirection Direction,
                      bool DoInit = true);
    // Sorts the children of every node.
    virtual void SortTree(TColumnIndex Column, TSortDirection Direction, bool DoInit = true);
    // Makes Value Node's parent (last child); nil leaves Node where it is.
    void SetNodeParent(PLazyNode Node, PLazyNode Value);

    // --- the tree stream (LazyTreeStream.cpp) ---
    TLTSaveNodeEvent OnSaveNode;
    TLTLoadNodeEvent OnLoadNode;
    TLTSaveTreeEvent OnSaveTree;
    TLTLoadTreeEvent OnLoadTree;
    // Writes the whole tree, or Node with its subtree.
    virtual void SaveToStream(TStream& Stream, PLazyNode Node = nullptr);
    void SaveToFile(const std::string& FileName);
    // Replaces the tree's content; a stream that is not a tree stream leaves the tree as it was.
    virtual void LoadFromStream(TStream& Stream);
    virtual void LoadFromFile(const std::string& FileName);
    // Adds the stream's nodes as last children of TargetNode (nil: the root).
    void AddFromStream(TStream& Stream, PLazyNode TargetNode);

    // --- drag and drop (LazyTreeDragDrop.cpp, LazyTreeDragImage.cpp) ---
    TLTDragAllowedEvent OnDragAllowed;
    TLTStartDragEvent OnStartDrag;
    TLTCreateDataObjectEvent OnCreateDataObject;
    TLTCreateDragManagerEvent OnCreateDragManager;
    TLTDragOverEvent OnDragOver;
    TLTDragDropEvent OnDragDrop;
    TLTEndDragEvent OnEndDrag;
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode v) { FDragMode = v; }
    // Created on first use.
    std::shared_ptr<ILTDragManager> DragManager();
    TLTDragImage* DragImage() const { return FDragImage.get(); }
    PLazyNode DropTargetNode() const { return FDropTargetNode; }
    TDropMode LastDropMode() const { return FLastDropMode; }
    DWORD LastDragEffect() const { return FLastDragEffect; }
    int DragThreshold() const { return FDragThreshold; }
    // The selection being dragged while an OLE drag from this tree runs.
    const TNodeArray& DragSelection() const { return FDragSelection; }
    // Starts a drag now (Immediate) or once the mouse moved Threshold pixels (-1: the
    // platform's distance).
    // With dtVCL the drag is the component model's own drag of the control.
    void BeginDrag(bool Immediate, int Threshold = -1) override;
    bool Dragging() const override;
    // Inserts dropped tree data at TargetNode; for an OnDragDrop handler.
    bool ProcessDrop(const std::shared_ptr<IDataObject>& DataObject, PLazyNode TargetNode,
                     DWORD& Effect, TLTNodeAttachMode Mode);
    // Inserts the "Lazy Tree Data" of DataObject: moves Source's nodes (Optimized) or copies
    // them through the tree stream.
    bool ProcessOLEData(TBaseLazyTree* Source, const std::shared_ptr<IDataObject>& DataObject,
                        PLazyNode TargetNode, TLTNodeAttachMode Mode, bool Optimized);
    // Renders the selected nodes into the drag picture around HotSpot (client coordinates).
    void PrepareDragImage(TPoint HotSpot, const std::shared_ptr<IDataObject>& DataObject);
    // The tree of this process whose data object DataObject is; nil for any other.
    TBaseLazyTree* TreeFromDataObject(const std::shared_ptr<IDataObject>& DataObject);
    // The drop target's handlers, called by the drag manager.
    virtual HRESULT OleDragEnter(DWORD KeyState, TPoint Pt, DWORD& Effect);
    virtual HRESULT OleDragOver(TObject* Source, DWORD KeyState, TDragState State, TPoint Pt,
                                DWORD& Effect);
    virtual void OleDragLeave();
    virtual HRESULT OleDragDrop(const std::shared_ptr<IDataObject>& DataObject, DWORD KeyState,
                                TPoint Pt, DWORD& Effect);

    // --- the clipboard (LazyTreeClipboard.cpp) ---
    TLTGetUserClipboardFormatsEvent OnGetUserClipboardFormats;
    TLTRenderOLEDataEvent OnRenderOLEData;
    TClipboardFormats* ClipboardFormats() const { return FClipboardFormats.get(); }
    void SetClipboardFormats(const TStrings* Value);
    virtual void CopyToClipboard();
    virtual void CutToClipboard();
    virtual bool PasteFromClipboard();
    virtual void CancelCutOrCopy();
    virtual void FinishCutOrCopy();
    void FlushClipboard();
    std::uint32_t CutCopyCount();
    // The nodes marked for a cut or copy in tree order; Resolve leaves out their descendants.
    TNodeArray GetSortedCutCopySet(bool Resolve);
    // The registered formats for the tree's class that ClipboardFormats names.
    virtual void GetNativeFormats(TFormatEtcArray& Formats);
    virtual HRESULT RenderFormat(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium,
                                 bool ForClipboard);
    // The class the format registry files this tree under.
    virtual const TTreeClass* TreeClass() const { return &BaseLazyTreeClass; }
    // The link data objects keep to the tree.
    const TTreeLink& Link() const { return FLink; }

    // --- node data ---
    void* GetNodeData(PLazyNode Node) {
        if (FNodeDataSize <= 0) raiseNodeDataSizeNotInitialized();
        if (!Node || Node == FRoot) return nullptr;
        // Written only when missing, so that reading data does not dirty every node.
        if (!Node->States.Contains(vsOnFreeNodeCallRequired))
            Node->States.Include(vsOnFreeNodeCallRequired);
        return Node->Data();
    }
    template <class T> T* GetNodeData(PLazyNode Node) { return static_cast<T*>(GetNodeData(Node)); }
    // Stores a full pointer at the start of the user data.
    void SetNodeData(PLazyNode Node, void* UserData);
    // Stores an interface there; the node holds a reference until it is freed.
    void SetNodeData(PLazyNode Node, IInterface* UserData);
    int NodeDataSize() const { return FNodeDataSize; }
    void SetNodeDataSize(int Value);
    virtual std::uint32_t ReserveInternalDataArea(std::uint32_t Size);
    // Address of an internal area of Node at the offset ReserveInternalDataArea returned.
    unsigned char* InternalData(PLazyNode Node, std::uint32_t Offset) const;

    // --- initialisation ---
    void ValidateNode(PLazyNode Node, bool Recursive);
    void ValidateChildren(PLazyNode Node, bool Recursive);
    void InitRecursive(PLazyNode Node, std::uint32_t Levels = 0xFFFFFFFF, bool pVisibleOnly = true);
    virtual void ReinitNode(PLazyNode Node, bool Recursive);
    virtual void ReinitChildren(PLazyNode Node, bool Recursive);
    virtual void ResetNode(PLazyNode Node);

    // --- deletion ---
    void DeleteNode(PLazyNode Node) { DeleteNodeEx(Node, true, false); }
    void DeleteNodeEx(PLazyNode Node, bool Reindex, bool ParentClearing);
    void DeleteChildren(PLazyNode Node, bool ResetHasChildren = false);
    virtual void Clear();
    virtual void DeleteSelectedNodes();

    // --- node properties ---
    bool Disabled(PLazyNode Node) const;
    void SetDisabled(PLazyNode Node, bool Value);
    bool Multiline(PLazyNode Node) const;
    void SetMultiline(PLazyNode Node, bool Value);
    std::uint32_t NodeHeight(PLazyNode Node);
    void SetNodeHeight(PLazyNode Node, std::uint32_t Value);
    std::uint8_t VerticalAlignment(PLazyNode Node) const { return Node ? Node->Align : 0; }
    void SetVerticalAlignment(PLazyNode Node, std::uint8_t Value);
    PLazyNode NodeParent(PLazyNode Node) const;
    // Expanding, hiding and filtering, to the extent the node store needs them.
    bool Expanded(PLazyNode Node) const { return Node && Node->States.Contains(vsExpanded); }
    void SetExpanded(PLazyNode Node, bool Value);
    void ToggleNode(PLazyNode Node);
    using TControl::SetVisible;
    using TControl::Visible;
    bool Visible(PLazyNode Node);
    void SetVisible(PLazyNode Node, bool Value);
    bool Filtered(PLazyNode Node) const { return Node && Node->States.Contains(vsFiltered); }
    void SetFiltered(PLazyNode Node, bool Value);
    bool GetEffectivelyFiltered(PLazyNode Node) const;
    bool GetEffectivelyVisible(PLazyNode Node) const;
    bool FullyVisible(PLazyNode Node) const;
    void SetFullyVisible(PLazyNode Node, bool Value);
    // Every ancestor below the root is expanded and visible.
    bool VisiblePath(PLazyNode Node) const;
    void SetVisiblePath(PLazyNode Node, bool Value);
    // Expand or collapse Node's subtree (nil: the whole tree).
    virtual void FullExpand(PLazyNode Node = nullptr);
    virtual void FullCollapse(PLazyNode Node = nullptr);

    // --- expand and collapse animation ---
    // Called as (Step, StepSize, Data); false ends the animation.
    using TLTAnimationCallback = std::function<bool(int Step, int StepSize, void* Data)>;
    // A timed animation on the application clock: Steps steps in about Duration ms, then a
    // final call with (0, 0).
    virtual void Animate(std::uint32_t Steps, std::uint32_t Duration,
                         const TLTAnimationCallback& Callback, void* Data);
    enum TToggleAnimationMode { tamNoScroll, tamScrollUp, tamScrollDown };
    struct TToggleAnimationData {
        HDC DC = nullptr;
        TColor Brush = clWindow; // fills the uncovered strips
        TRect R1, R2;
        TToggleAnimationMode Region1Mode = tamNoScroll;
        TToggleAnimationMode Region2Mode = tamNoScroll;
        int Pixels1 = 0, Pixels2 = 0; // how far each region moves in all
        double ScaleFactor = 0;       // region 2's pixels per pixel of region 1
        double MissedSteps = 0;
    };
    // The callback of the toggle animation; Data is a TToggleAnimationData.
    bool ToggleAnimationStep(int Step, int StepSize, void* Data);

    // --- painting (LazyTreePaint.cpp) ---
    TLTPaintEvent OnBeforePaint;
    TLTPaintEvent OnAfterPaint;
    TLTBeforeItemPaintEvent OnBeforeItemPaint;
    TLTBeforeItemEraseEvent OnBeforeItemErase;
    TLTAfterItemPaintEvent OnAfterItemErase;
    TLTAfterItemPaintEvent OnAfterItemPaint;
    TLTBeforeCellPaintEvent OnBeforeCellPaint;
    TLTAfterCellPaintEvent OnAfterCellPaint;
    TLTBackgroundPaintEvent OnPaintBackground;
    TLTBeforeDrawLineImageEvent OnBeforeDrawTreeLine;
    TLTGetLineStyleEvent OnGetLineStyle;
    TLTPrepareButtonImagesEvent OnPrepareButtonBitmaps;
    // Paints the part Window of the tree's content (x from the content's left edge, y from the
    // top of the first node) so that its top-left corner lands on Target of TargetCanvas.
    virtual void PaintTree(TCanvas* TargetCanvas, const TRect& Window, TPoint Target,
                           TLTInternalPaintOptions PaintOptions);
    // The tree lines of each level of Node's row; answers the number of selected ancestors.
    virtual int ComputeLineImage(PLazyNode Node, TLineImage& LineImage);
    // The band lines of a row (line mode lmBands) from its line image.
    static TLineImage DeriveBandImage(const TLineImage& LineImage, bool OpenWithVisibleChild);
    void ComputeVerticalAlignment(bool ImagesUsed, bool StateImagesUsed, int& ButtonY, int& VAlign,
                                  PLazyNode Node);
    void InvalidateToBottom(PLazyNode Node);
    void InvalidateChildren(PLazyNode Node, bool Recursive);
    void RepaintNode(PLazyNode Node);
    // The expand button bitmaps (built when the tree first paints).
    const TBitmap* PlusBitmap() const { return FPlusBM.get(); }
    const TBitmap* MinusBitmap() const { return FMinusBM.get(); }

    // --- scroll bars (LazyTreeScrollBars.cpp) ---
    TLTScrollBarShowEvent OnShowScrollBar;
    // Width of the tree's content (the widest node in view without header columns).
    std::uint32_t RangeX() const { return FRangeX; }
    void UpdateScrollBars(bool DoRepaint);
    void UpdateRanges();
    void UpdateVerticalRange();
    void UpdateHorizontalRange();
    void UpdateVerticalScrollBar(bool DoRepaint);
    void UpdateHorizontalScrollBar(bool DoRepaint);

    // --- scrolling and the position cache ---
    int OffsetX() const { return FOffsetX; }
    int OffsetY() const { return FOffsetY; }
    void SetOffsetX(int Value);
    void SetOffsetY(int Value);
    // The node at a vertical position (Relative: window coordinates); nil below the last node,
    // NodeTop is then left unchanged.
    PLazyNode GetNodeAt(int X, int Y, bool Relative, int& NodeTop);
    PLazyNode GetNodeAt(int X, int Y);
    // Top of a shown node on the canvas; -1 when the node is not shown.
    int AbsoluteNodeTop(PLazyNode Node) const;
    PLazyNode TopNode() { return GetNodeAt(0, 0); }
    void SetTopNode(PLazyNode Node);
    PLazyNode BottomNode() { return GetNodeAt(0, ClientHeight() - 1); }
    // Brings Node into view (Center: its middle to the window's middle, even when it is in view
    // already); Horizontally also brings the focused column into view.
    bool ScrollIntoView(PLazyNode Node, bool Center, bool Horizontally = false);
    // Brings a header column into view; false without header columns.
    bool ScrollIntoView(int Column, bool Center);
    std::size_t CacheEntryCount() const { return FPositionCache.size(); }
    TScrollBarOptions* ScrollBarOptions() const { return FScrollBarOptions.get(); }
    // Copies Value into the tree's own options.
    void SetScrollBarOptions(const TScrollBarOptions* Value) { FScrollBarOptions->Assign(Value); }

    // --- selection and focus (LazyTreeSelection.cpp) ---
    TLTChangeEvent OnAddToSelection;
    TLTChangeEvent OnRemoveFromSelection;
    TLTFocusChangingEvent OnFocusChanging;
    TLTFocusChangeEvent OnFocusChanged;
    bool Selected(PLazyNode Node) const { return Node && Node->States.Contains(vsSelected); }
    void SetSelected(PLazyNode Node, bool Value);
    std::uint32_t SelectedCount() const { return FSelectionCount; }
    bool SelectionLocked() const { return FSelectionLocked; }
    void SetSelectionLocked(bool Value) { FSelectionLocked = Value; }
    PLazyNode FocusedNode() const { return FFocusedNode; }
    void SetFocusedNode(PLazyNode Value);
    int FocusedColumn() const { return FFocusedColumn; }
    void SetFocusedColumn(int Value);
    virtual void AddToSelection(PLazyNode Node);
    virtual void RemoveFromSelection(PLazyNode Node);
    void ClearSelection();
    void SelectAll(bool VisibleOnly);
    void InvertSelection(bool VisibleOnly);
    // Selected nodes in tree order; Resolve leaves out descendants of selected nodes.
    TNodeArray GetSortedSelection(bool Resolve);
    bool IsMouseSelecting() const {
        return FStates.Contains(tsDrawSelPending) || FStates.Contains(tsDrawSelecting);
    }
    virtual void EnsureNodeSelected();
    PLazyNode RangeAnchor() const { return FRangeAnchor; }
    // The selection array in its order (ascending node addresses).
    const TNodeArray& SelectionArray() const { return FSelection; }
    // The rubber band's current rectangle (canvas coordinates).
    TRect NewSelectionRect() const { return FNewSelRect; }

    // --- check boxes (LazyTreeChecks.cpp) ---
    TLTCheckingEvent OnChecking;
    TLTChangeEvent OnChecked;
    TCheckState CheckState(PLazyNode Node) const { return Node->CheckState; }
    void SetCheckState(PLazyNode Node, TCheckState Value);
    TCheckType CheckType(PLazyNode Node) const { return Node->CheckType; }
    void SetCheckType(PLazyNode Node, TCheckType Value);
    void SetCheckStateForAll(TCheckState aCheckState, bool pSelectedOnly, bool pExcludeDisabled);
    void ClearChecked();
    std::uint32_t CheckedCount();
    // The state a click or the space bar leads to.
    virtual TCheckState NextCheckState(TCheckType CheckType, TCheckState CheckState);
    // The check image of Node (or, without a node, of the given type and state); -1 for none.
    virtual int GetCheckImageIndex(PLazyNode Node, TCheckType ImgCheckType,
                                   TCheckState ImgCheckState, bool ImgEnabled);
    virtual TImageList* CheckImageListOfKind(TCheckImageKind Kind);
    // The check images of the current CheckImageKind.
    TImageList* CheckImages();
    // Draws the check image of a slot (Index from GetCheckImageIndex).
    virtual void PaintCheckBox(TCanvas* Canvas, const TLTPaintImage& Slot, bool Selected);
    PLazyNode CheckNode() const { return FCheckNode; }
    TCheckState PendingCheckState() const { return FPendingCheckState; }

    // --- images and texts the geometry needs (LazyTreeHitTest.cpp) ---
    TLTGetImageEvent OnGetImageIndex;
    TLTGetImageExEvent OnGetImageIndexEx;
    TLTGetCellIsEmptyEvent OnGetCellIsEmpty;
    // The list the image comes from (nil: the default one); Index -1 for no image.
    virtual TImageList* FireGetImageIndex(PLazyNode Node, TLTImageKind Kind, int Column,
                                          bool& Ghosted, int& Index);
    virtual bool NodeHasImage(PLazyNode Node, TLTImageKind Kind, int Column);
    // Width and height of Images, (0, 0) without images.
    virtual TPoint QueryImageSize(PLazyNode Node);
    // Width of a node's content in a column (the string tree: its text with both margins).
    virtual int QueryNodeWidth(PLazyNode Node, int Column, TCanvas* Canvas = nullptr);
    // What OnBeforeCellPaint (in cpmGetContentMargin mode) takes off a cell: both sides, the
    // left and top, or the right and bottom; (0, 0) without the event.
    virtual TPoint QueryCellContentMargin(PLazyNode Node, int Column,
                                          TVTCellContentMarginType CellContentMarginType,
                                          TCanvas* Canvas = nullptr);
    TLTGetImageTextEvent OnGetImageText;
    // The text describing a node's image (for accessibility); empty without OnGetImageText.
    std::string GetImageText(PLazyNode Node, TLTImageKind Kind, int Column);
    virtual void FireGetImageText(PLazyNode Node, TLTImageKind Kind, int Column,
                                  std::string& ImageText);
    virtual int QueryNodeExtraWidth(PLazyNode Node, int Column, TCanvas* Canvas = nullptr);
    virtual bool FireGetCellIsEmpty(PLazyNode Node, int Column);

    // Repaints a node's row; answers its rectangle (empty when the node is not shown).
    virtual TRect InvalidateNode(PLazyNode Node);

    // --- hit testing and display rectangles (LazyTreeHitTest.cpp) ---
    virtual void GetHitTestInfoAt(int X, int Y, bool Relative, THitInfo& HitInfo);
    TRect GetDisplayRect(PLazyNode Node, int Column, bool TextOnly, bool Unclipped = false,
                         bool ApplyCellContentMargin = false);
    TRect GetTreeRect() const;
    // The main column; -1 while the tree has no header columns.
    int MainColumn() const { return FHeader->MainColumn(); }
    static constexpr int NoColumn = -1;
    static constexpr int InvalidColumn = -2;

    // --- mouse (LazyTreeMouse.cpp) ---
    TLTGetCursorEvent OnGetCursor;
    TLTHotNodeChangeEvent OnHotChange;
    TLTNodeClickEvent OnNodeClick;
    TLTNodeClickEvent OnNodeDblClick;
    TLTCanSplitterResizeNodeEvent OnCanSplitterResizeNode;
    TLTNodeHeightDblClickResizeEvent OnNodeHeightDblClickResize;
    TLTNodeHeightTrackingEvent OnNodeHeightTracking;
    TLTPopupEvent OnGetPopupMenu;
    PLazyNode HotNode() const { return FCurrentHotNode; }
    bool HotNodeButtonHit() const { return FHotNodeButtonHit; }
    TPoint LastClickPos() const { return FLastClickPos; }
    // The indicator shown while wheel panning (nil otherwise) and the cursor it shows.
    TWinControl* PanningWindow() const { return FPanningWindow; }
    TCursor PanningCursor() const { return FPanningCursor; }
    bool CanFocus() const override;

    // --- keyboard (LazyTreeKeys.cpp) ---
    TLTKeyActionEvent OnKeyAction;
    TLTIncrementalSearchEvent OnIncrementalSearch;
    TLTHelpContextEvent OnGetHelpContext;
    const std::string& SearchBuffer() const { return FSearchBuffer; }

    // --- bookkeeping ---
    void ChangeTotalCount(PLazyNode Node, int Value, bool Relative);
    void ChangeTotalHeight(PLazyNode Node, int Value, bool Relative);
    void RecountSubtree(PLazyNode Node);
    void RemeasureSubtreeHeight(PLazyNode Node);
    virtual std::uint32_t CountShownChildren(PLazyNode Node) const;
    virtual void UpdateHiddenChildrenFlag(PLazyNode Node);
    virtual void UpdateHiddenChildrenFlagAllNodes();
    virtual void MeasureItemHeight(TCanvas* Canvas, PLazyNode Node);
    // The vertical scroll range: all shown rows plus BottomSpace.
    int RangeY() const;

    // --- navigation (CA: ConsiderChildrenAbove, IF: IncludeFiltered) ---
    PLazyNode GetFirst(bool CA = false);
    PLazyNode GetFirstNoInit(bool CA = false) const;
    PLazyNode GetLast(PLazyNode Node = nullptr, bool CA = false);
    PLazyNode GetLastNoInit(PLazyNode Node = nullptr, bool CA = false) const;
    // Inline for the common case: an initialised node with counted children, in tree order.
    PLazyNode GetNext(PLazyNode Node, bool CA = false) {
        if (!Node || Node == FRoot || !Node->States.Contains(vsInitialized) ||
            (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0) ||
            (CA && FOptions->FPaintOptions.Contains(toChildrenAbove)))
            return nextInOrder(Node, CA, true);
        PLazyNode result = Node->FirstChild;
        for (PLazyNode n = Node; !result && n != FRoot; n = n->Parent) result = n->NextSibling;
        if (result && !result->States.Contains(vsInitialized)) InitNode(result);
        return result;
    }
    PLazyNode GetNextNoInit(PLazyNode Node, bool CA = false) const;
    PLazyNode GetPrevious(PLazyNode Node, bool CA = false);
    PLazyNode GetPreviousNoInit(PLazyNode Node, bool CA = false) const;
    PLazyNode GetFirstChild(PLazyNode Node);
    PLazyNode GetFirstChildNoInit(PLazyNode Node) const;
    PLazyNode GetLastChild(PLazyNode Node);
    PLazyNode GetLastChildNoInit(PLazyNode Node) const;
    PLazyNode GetNextSibling(PLazyNode Node);
    PLazyNode GetNextSiblingNoInit(PLazyNode Node) const;
    PLazyNode GetPreviousSibling(PLazyNode Node);
    PLazyNode GetPreviousSiblingNoInit(PLazyNode Node) const;
    PLazyNode GetFirstChecked(TCheckState State = csCheckedNormal, bool CA = false);
    PLazyNode GetNextChecked(PLazyNode Node, TCheckState State = csCheckedNormal, bool CA = false);
    PLazyNode GetPreviousChecked(PLazyNode Node, TCheckState State = csCheckedNormal,
                                 bool CA = false);
    PLazyNode GetFirstCutCopy(bool CA = false);
    PLazyNode GetNextCutCopy(PLazyNode Node, bool CA = false);
    PLazyNode GetPreviousCutCopy(PLazyNode Node, bool CA = false);
    PLazyNode GetFirstInitialized(bool CA = false);
    PLazyNode GetNextInitialized(PLazyNode Node, bool CA = false);
    PLazyNode GetPreviousInitialized(PLazyNode Node, bool CA = false);
    PLazyNode GetLastInitialized(PLazyNode Node = nullptr, bool CA = false);
    PLazyNode GetFirstLeaf();
    PLazyNode GetNextLeaf(PLazyNode Node);
    PLazyNode GetPreviousLeaf(PLazyNode Node);
    PLazyNode GetFirstLevel(std::uint32_t NodeLevel);
    PLazyNode GetNextLevel(PLazyNode Node, std::uint32_t NodeLevel);
    PLazyNode GetPreviousLevel(PLazyNode Node, std::uint32_t NodeLevel);
    PLazyNode GetFirstSelected(bool CA = false);
    PLazyNode GetNextSelected(PLazyNode Node, bool CA = false);
    PLazyNode GetPreviousSelected(PLazyNode Node, bool CA = false);
    PLazyNode GetFirstVisible(PLazyNode Node = nullptr, bool CA = true, bool IF = false);
    PLazyNode GetFirstVisibleNoInit(PLazyNode Node = nullptr, bool CA = true,
                                    bool IF = false) const;
    PLazyNode GetNextVisible(PLazyNode Node, bool CA = true);
    PLazyNode GetNextVisibleNoInit(PLazyNode Node, bool CA = true) const;
    PLazyNode GetPreviousVisible(PLazyNode Node, bool CA = true);
    PLazyNode GetPreviousVisibleNoInit(PLazyNode Node, bool CA = true) const;
    PLazyNode GetLastVisible(PLazyNode Node = nullptr, bool CA = true, bool IF = false);
    PLazyNode GetLastVisibleNoInit(PLazyNode Node = nullptr, bool CA = true, bool IF = false) const;
    PLazyNode GetFirstVisibleChild(PLazyNode Node, bool IF = false);
    PLazyNode GetFirstVisibleChildNoInit(PLazyNode Node, bool IF = false) const;
    PLazyNode GetLastVisibleChild(PLazyNode Node, bool IF = false);
    PLazyNode GetLastVisibleChildNoInit(PLazyNode Node, bool IF = false) const;
    PLazyNode GetNextVisibleSibling(PLazyNode Node, bool IF = false);
    PLazyNode GetNextVisibleSiblingNoInit(PLazyNode Node, bool IF = false) const;
    PLazyNode GetPreviousVisibleSibling(PLazyNode Node, bool IF = false);
    PLazyNode GetPreviousVisibleSiblingNoInit(PLazyNode Node, bool IF = false) const;
    std::uint32_t GetNodeLevel(PLazyNode Node) const;
    bool HasAsParent(PLazyNode Node, PLazyNode PotentialParent) const;
    PLazyNode GetVisibleParent(PLazyNode Node, bool IF = false) const;
    std::uint32_t AbsoluteIndex(PLazyNode Node);
    PLazyNode IterateSubtree(PLazyNode Node, const TLTGetNodeProc& Callback, void* Data,
                             TLazyNodeStates Filter = {}, bool DoInit = false,
                             bool ChildNodesOnly = false);

    // Enumerations for range-for loops: for (PLazyNode n : tree.Nodes()) ...
    enum TLZLazyNodeEnumerationMode : std::uint8_t {
        vneAll,
        vneChecked,
        vneChild,
        vneCutCopy,
        vneInitialized,
        vneLeaf,
        vneLevel,
        vneNoInit,
        vneSelected,
        vneVisible,
        vneVisibleChild,
        vneVisibleNoInitChild,
        vneVisibleNoInit
    };
    struct TLTLazyNodeEnumeration;
    struct TLTLazyNodeEnumerator {
        PLazyNode FNode = nullptr;
        bool FCanModeNext = true;
        const TLTLazyNodeEnumeration* FEnumeration = nullptr;
        PLazyNode Current() const { return FNode; }
        bool MoveNext();
        // Range-for adapters.
        PLazyNode operator*() const { return FNode; }
        TLTLazyNodeEnumerator& operator++() {
            MoveNext();
            return *this;
        }
        bool operator!=(std::nullptr_t) const { return FCanModeNext; }
    };
    struct TLTLazyNodeEnumeration {
        TLZLazyNodeEnumerationMode FMode = vneAll;
        TBaseLazyTree* FTree = nullptr;
        bool FConsiderChildrenAbove = false;
        PLazyNode FNode = nullptr;
        std::uint32_t FNodeLevel = 0;
        TCheckState FState = csCheckedNormal;
        bool FIncludeFiltered = false;
        TLTLazyNodeEnumerator GetEnumerator() const { return {nullptr, true, this}; }
        PLazyNode GetNext(PLazyNode Node) const;
        TLTLazyNodeEnumerator begin() const {
            TLTLazyNodeEnumerator e = GetEnumerator();
            e.MoveNext();
            return e;
        }
        std::nullptr_t end() const { return nullptr; }
    };
    TLTLazyNodeEnumeration Nodes(bool CA = false);
    TLTLazyNodeEnumeration CheckedNodes(TCheckState State = csCheckedNormal, bool CA = false);
    TLTLazyNodeEnumeration ChildNodes(PLazyNode Node);
    TLTLazyNodeEnumeration CutCopyNodes(bool CA = false);
    TLTLazyNodeEnumeration InitializedNodes(bool CA = false);
    TLTLazyNodeEnumeration LeafNodes();
    TLTLazyNodeEnumeration LevelNodes(std::uint32_t NodeLevel);
    TLTLazyNodeEnumeration NoInitNodes(bool CA = false);
    TLTLazyNodeEnumeration SelectedNodes(bool CA = false);
    TLTLazyNodeEnumeration VisibleNodes(PLazyNode Node = nullptr, bool CA = true, bool IF = false);
    TLTLazyNodeEnumeration VisibleChildNodes(PLazyNode Node, bool IF = false);
    TLTLazyNodeEnumeration VisibleChildNoInitNodes(PLazyNode Node, bool IF = false);
    TLTLazyNodeEnumeration VisibleNoInitNodes(PLazyNode Node = nullptr, bool CA = true,
                                              bool IF = false);

    // --- change notification and brackets ---
    TLazyTreeStates TreeStates() const { return FStates; }
    virtual void ChangeTreeStates(TLazyTreeStates Enter, TLazyTreeStates Leave);
    virtual void BeginUpdate();
    virtual void EndUpdate();
    void BeginSynch();
    void EndSynch();
    std::uint32_t UpdateCount() const { return FUpdateCount; }
    void CancelOperation();
    bool OperationCanceled() const { return FOperationCount > 0 && FOperationCanceled; }
    std::uint32_t ChangeDelay() const { return FChangeDelay; }
    void SetChangeDelay(std::uint32_t Value) { FChangeDelay = Value; }

    // --- options and published properties ---
    TCustomLazyTreeOptions* TreeOptions() const { return FOptions.get(); }
    void SetTreeOptions(const TCustomLazyTreeOptions* Value) { FOptions->Assign(Value); }
    const std::string& AccessibleName() const { return FAccessibleName; }
    void SetAccessibleName(const std::string& v) { FAccessibleName = v; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    std::uint32_t AnimationDuration() const { return FAnimationDuration; }
    void SetAnimationDuration(std::uint32_t v);
    std::uint32_t AutoExpandDelay() const { return FAutoExpandDelay; }
    void SetAutoExpandDelay(std::uint32_t v) { FAutoExpandDelay = v; }
    std::uint32_t AutoScrollDelay() const { return FAutoScrollDelay; }
    void SetAutoScrollDelay(std::uint32_t v) { FAutoScrollDelay = v; }
    std::uint32_t AutoScrollInterval() const { return FAutoScrollInterval; }
    void SetAutoScrollInterval(std::uint32_t v) { FAutoScrollInterval = v; }
    TPicture* Background() const { return FBackground.get(); }
    void SetBackground(const TPicture* v);
    int BackgroundOffsetX() const { return FBackgroundOffsetX; }
    void SetBackgroundOffsetX(int v);
    int BackgroundOffsetY() const { return FBackgroundOffsetY; }
    void SetBackgroundOffsetY(int v);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    std::uint32_t BottomSpace() const { return FBottomSpace; }
    void SetBottomSpace(std::uint32_t v);
    TLTButtonFillMode ButtonFillMode() const { return FButtonFillMode; }
    void SetButtonFillMode(TLTButtonFillMode v);
    TLTButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TLTButtonStyle v);
    TCheckImageKind CheckImageKind() const { return FCheckImageKind; }
    void SetCheckImageKind(TCheckImageKind v);
    TLTColors* Colors() const { return FColors.get(); }
    void SetColors(const TLTColors* v) { FColors->Assign(v); }
    TImageList* CustomCheckImages() const { return FCustomCheckImages; }
    void SetCustomCheckImages(TImageList* v);
    std::uint32_t DefaultNodeHeight() const { return FDefaultNodeHeight; }
    void SetDefaultNodeHeight(std::uint32_t v);
    TLTNodeAttachMode DefaultPasteMode() const { return FDefaultPasteMode; }
    void SetDefaultPasteMode(TLTNodeAttachMode v) { FDefaultPasteMode = v; }
    int DragHeight() const { return FDragHeight; }
    void SetDragHeight(int v) { FDragHeight = v; }
    int DragWidth() const { return FDragWidth; }
    void SetDragWidth(int v) { FDragWidth = v; }
    TLTDragImageKind DragImageKind() const { return FDragImageKind; }
    void SetDragImageKind(TLTDragImageKind v) { FDragImageKind = v; }
    TDragOperations DragOperations() const { return FDragOperations; }
    void SetDragOperations(TDragOperations v) { FDragOperations = v; }
    TLTDragType DragType() const { return FDragType; }
    void SetDragType(TLTDragType v) { FDragType = v; }
    TLTDrawSelectionMode DrawSelectionMode() const { return FDrawSelectionMode; }
    void SetDrawSelectionMode(TLTDrawSelectionMode v) { FDrawSelectionMode = v; }
    std::uint32_t EditDelay() const { return FEditDelay; }
    void SetEditDelay(std::uint32_t v) { FEditDelay = v; }
    const std::string& EmptyListMessage() const { return FEmptyListMessage; }
    void SetEmptyListMessage(const std::string& v);
    THintAnimationType HintAnimation() const { return FAnimationType; }
    void SetHintAnimation(THintAnimationType v) { FAnimationType = v; }
    TLTHintMode HintMode() const { return FHintMode; }
    void SetHintMode(TLTHintMode v) { FHintMode = v; }
    TCursor HotCursor() const { return FHotCursor; }
    void SetHotCursor(TCursor v) { FHotCursor = v; }
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* v);
    TImageList* StateImages() const { return FStateImages; }
    void SetStateImages(TImageList* v);
    TLTIncrementalSearch IncrementalSearch() const { return FIncrementalSearch; }
    void SetIncrementalSearch(TLTIncrementalSearch v);
    TLTSearchDirection IncrementalSearchDirection() const { return FSearchDirection; }
    void SetIncrementalSearchDirection(TLTSearchDirection v) { FSearchDirection = v; }
    TLTSearchStart IncrementalSearchStart() const { return FSearchStart; }
    void SetIncrementalSearchStart(TLTSearchStart v) { FSearchStart = v; }
    std::uint32_t IncrementalSearchTimeout() const { return FSearchTimeout; }
    void SetIncrementalSearchTimeout(std::uint32_t v) { FSearchTimeout = v; }
    std::uint32_t Indent() const { return FIndent; }
    void SetIndent(std::uint32_t v);
    TLTLineMode LineMode() const { return FLineMode; }
    void SetLineMode(TLTLineMode v);
    TLTLineStyle LineStyle() const { return FLineStyle; }
    void SetLineStyle(TLTLineStyle v);
    int Margin() const { return FMargin; }
    void SetMargin(int v);
    TLTNodeAlignment NodeAlignment() const { return FNodeAlignment; }
    void SetNodeAlignment(TLTNodeAlignment v);
    std::uint8_t SelectionBlendFactor() const { return FSelectionBlendFactor; }
    void SetSelectionBlendFactor(std::uint8_t v) { FSelectionBlendFactor = v; }
    std::uint32_t SelectionCurveRadius() const { return FSelectionCurveRadius; }
    void SetSelectionCurveRadius(std::uint32_t v);
    int TextMargin() const { return FTextMargin; }
    void SetTextMargin(int v);
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool v) { FWantTabs = v; }
    // The tree buffers its painting itself.
    bool DoubleBuffered() const { return true; }
    void SetDoubleBuffered(bool) {}
    // Bevel and border ring of the frame the tree paints around its client area (inside the
    // window border, outside the scroll bars).
    TBevelKind BevelKind() const { return FBevelKind; }
    void SetBevelKind(TBevelKind v);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut v);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut v);
    TBevelEdges BevelEdges() const { return FBevelEdges; }
    void SetBevelEdges(TBevelEdges v);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int v);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool v);
    // Reads the legacy "Options" form property: a set of voXxx names.
    void ReadOldOptions(const std::vector<std::string>& Names);

    // --- frame ---
    void Assign(const TPersistent* Source) override;
    // Completes what loading from a form deferred (the top-level nodes of RootNodeCount).
    virtual void Loaded();
    virtual void QueryBorderSize(int& dx, int& dy);
    virtual void PaintNonClientBorder(TCanvas* DC);
    virtual THintAnimationType EffectiveHintAnimation() const;
    virtual void FlagCutCopyNodes();
    virtual void RepaintAndClearSelection(bool Notify);
    bool VclStyleEnabled() const { return FVclStyleEnabled; }
    virtual void UpdateStyleState();
    // With toAutoChangeScale the default node height and the indent scale with the control.
    void ChangeScale(int M, int D) override;
    // Gives the window a theme of the named kind; the theme change it causes does not
    // recreate the window.
    void ApplyWindowTheme(const std::string& Name);

    // --- hints (services/LazyTreeHints.cpp) ---
    TLTGetHintKindEvent OnGetHintKind;
    TLTGetHintSizeEvent OnGetHintSize;
    TLTDrawHintEvent OnDrawHint;
    // The hint of a node (the control's hint here) and the text of a node's tooltip.
    virtual std::string QueryNodeHint(PLazyNode Node, int Column,
                                      TLTTooltipLineBreakStyle& LineBreakStyle);
    virtual std::string QueryNodeTooltip(PLazyNode Node, int Column,
                                         TLTTooltipLineBreakStyle& LineBreakStyle);
    TLTHintKind QueryHintKind(PLazyNode Node, int Column);
    virtual TLTHintKind DefaultHintKind() const { return vhkText; }
    virtual void FireGetHintSize(PLazyNode Node, int Column, TRect& R);
    virtual void FireDrawHint(TCanvas* HintCanvas, PLazyNode Node, const TRect& R, int Column);
    // The area, in client coordinates, for which the shown hint is valid; empty when none.
    const TRect& LastHintRect() const { return FLastHintRect; }
    const TLTHintData& HintData() const { return FHintData; }

    // --- accessibility (services/LazyTreeAccessibility.cpp) ---
    // The accessible objects the registered providers made for the tree and its focused
    // item; nil while no provider is registered.
    const std::shared_ptr<TObject>& Accessible() const { return FAccessible; }
    const std::shared_ptr<TObject>& AccessibleItem() const { return FAccessibleItem; }
    // A node's text as assistive technology reads it (the text for column -1).
    std::string AccessibleNodeText(PLazyNode Node);

    // --- printing (services/LazyTreePrint.cpp) ---
    // The whole tree (with its header when PrintHeader and the header shows) on pages of
    // Printer, its text as large as on screen; nothing for a nil printer.
    void Print(TPrinter* Printer, bool PrintHeader);

    // --- node editing (services/LazyTreeEdit.cpp) ---
    TLTEditingEvent OnEditing;
    TLTCreateEditorEvent OnCreateEditor;
    TLTEditChangeEvent OnEdited;
    TLTEditCancelEvent OnEditCancelled;
    // The link of the open editor; nil when none.
    const std::shared_ptr<ILTEditLink>& EditLink() const { return FEditLink; }
    virtual bool CanEdit(PLazyNode Node, int Column);
    // Starts editing the cell; answers whether the tree edits afterwards.
    virtual bool EditNode(PLazyNode Node, int Column);
    bool EndEditNode();
    bool CancelEditNode();
    bool IsEditing() const { return FStates.Contains(tsEditing); }
    // The font (AFont takes it), text rectangle and text of a cell as painted; the base tree
    // answers an empty rectangle and text and the tree's font.
    virtual void GetTextInfo(PLazyNode Node, int Column, TFont* AFont, TRect& R, std::string& Text);

protected:
    virtual std::unique_ptr<TCustomLazyTreeOptions> OptionsClass();
    // A derived constructor calls this so that its own options class is used.
    void InstallOptions() { FOptions = OptionsClass(); }
    virtual void InitNode(PLazyNode Node);
    virtual void InitChildren(PLazyNode Node);
    virtual void FireInitNode(PLazyNode ParentNode, PLazyNode Node,
                              TLazyNodeInitStates& InitStates);
    virtual bool FireInitChildren(PLazyNode Node, std::uint32_t& ChildCount);
    virtual void FireGetNodeDataSize(int& Size);
    virtual void FireMeasureItem(TCanvas* Canvas, PLazyNode Node, int& Height);
    virtual void FireResetNode(PLazyNode Node);
    virtual void FreeNode(PLazyNode Node);
    virtual void ConnectNode(PLazyNode Node, PLazyNode Destination, TLTNodeAttachMode Mode,
                             TBaseLazyTree* Target);
    virtual void DisconnectNode(PLazyNode Node, bool KeepFocus, bool Reindex, bool ParentClearing);
    PLazyNode AllocateNode();

    // Moving, copying and sorting.
    virtual int FireCompare(PLazyNode Node1, PLazyNode Node2, TColumnIndex Column);
    virtual bool FireNodeMoving(PLazyNode Node, PLazyNode Target);
    virtual void FireNodeMoved(PLazyNode Node);
    virtual bool FireNodeCopying(PLazyNode Node, PLazyNode Target);
    virtual void FireNodeCopied(PLazyNode Node);
    // The tree stream: chunks of one node and its subtree.
    virtual void WriteNodeChunk(TStream& Stream, PLazyNode Node);
    virtual void WriteNodeContent(TStream& Stream, PLazyNode Node);
    // Writes the size of the chunk at ChunkStart (its end is ChunkEnd) and returns to the end.
    virtual void FixChunkSize(TStream& Stream, std::int64_t ChunkStart, std::int64_t ChunkEnd);
    virtual void ReadNodeChunk(TStream& Stream, int Version, PLazyNode Node);
    // Reads one inner chunk of a node; false when it was not understood (and skipped).
    virtual bool ReadContentChunk(TStream& Stream, int Version, PLazyNode Node, int ChunkType,
                                  int ChunkSize);
    virtual void SkipNodeChunk(TStream& Stream);
    // Fills Node, already connected to its parent, from a node chunk with its subtree.
    virtual void LoadNodeFromStream(TStream& Stream, int Version, PLazyNode Node);

    // Drag and drop.
    virtual void StartDragging(TPoint HotSpot);
    virtual void RunDragLoop(DWORD AllowedEffects, const std::shared_ptr<IDataObject>& DataObject,
                             DWORD& Effect);
    virtual void OleDragFinished();
    // The component model's drag: OnStartDrag and OnEndDrag of the tree, and drags over it.
    void DoStartDrag(std::unique_ptr<TDragObject>& DragObject) override;
    void DoEndDrag(TObject* Target, int X, int Y) override;
    void CMDrag(TMessage& Message) override;
    virtual DWORD ProposeDropEffect(TObject* Source, TShiftState Shift, TPoint Pt,
                                    DWORD AllowedEffects);
    virtual TDropMode DropModeAt(TPoint P, THitInfo& HitInfo, const TRect& NodeRect);
    virtual void ExpandDropTarget();
    virtual bool FireDragAllowed(PLazyNode Node, int Column);
    virtual bool FireDragOver(TObject* Source, TShiftState Shift, TDragState State, TPoint Pt,
                              TDropMode Mode, DWORD& Effect);
    virtual void FireDragDrop(TObject* Source, const std::shared_ptr<IDataObject>& DataObject,
                              const TFormatArray& Formats, TShiftState Shift, TPoint Pt,
                              DWORD& Effect, TDropMode Mode);
    virtual void DrawDropMark(TCanvas* Canvas, const TRect& R);
    virtual bool DragImageWanted() const { return FDragImageKind != diNoImage; }
    // The tree repaints what lies under another tree's drag picture.
    virtual void RepaintUnderDragImage(TBaseLazyTree* Source, const TRect& R);
    // The window's drop target follows toAcceptOLEDrop.
    void UpdateDropTargetRegistration();
    void DestroyWnd() override;

    virtual void AddPendingChange(bool IsStructureChange, PLazyNode Node, TChangeReason Reason);
    virtual void ReportChange(PLazyNode Node);
    virtual void ReportStructureChange(PLazyNode Node, TChangeReason Reason);
    virtual void FireChange(PLazyNode Node);
    virtual void FireStructureChange(PLazyNode Node, TChangeReason Reason);
    virtual void FireUpdating(TLTUpdateState State);
    void StartOperation(TLTOperationKind Kind);
    void EndOperation(TLTOperationKind Kind);
    virtual void FireStartOperation(TLTOperationKind Kind);
    virtual void FireEndOperation(TLTOperationKind Kind);
    virtual void ReportDesignerModified() {}
    virtual int NodePositionOrder(PLazyNode Node1, PLazyNode Node2, bool CA) const;
    virtual int NodeLevelDifference(PLazyNode Node1, PLazyNode Node2) const;

    virtual bool FireExpanding(PLazyNode Node);
    virtual bool FireCollapsing(PLazyNode Node);
    virtual void FireExpanded(PLazyNode Node);
    virtual void FireCollapsed(PLazyNode Node);
    virtual void FireScroll(int DeltaX, int DeltaY);
    // Clamps and stores the offsets; false when nothing changed.
    virtual bool ApplyScrollOffsets(int X, int Y);
    // --- painting (LazyTreePaint.cpp) ---
    void Paint() override;
    void PaintItemBackground(TLTPaintInfo& PaintInfo, bool UseBackground, TRect R, bool Relative);
    // The background picture over R: once at (BackgroundOffsetX, BackgroundOffsetY) of the
    // content on the tree's colour, or tiled; Offset is R's place in the content.
    void PaintFixedBackground(TBitmap* Bitmap, TCanvas* Canvas, const TRect& R, TPoint Offset);
    void PaintTiledBackground(TBitmap* Bitmap, TCanvas* Canvas, const TRect& R, TPoint Offset);
    virtual void PaintCellBackground(TLTPaintInfo& PaintInfo, int WindowOrgX, int MaxWidth);
    virtual void PaintConnectorLines(TLTPaintInfo& PaintInfo, int VAlignment, int IndentSize,
                                     const TLineImage& LineImage);
    void PaintLineSegment(TLTPaintInfo& PaintInfo, int X, int Y, int H, int VAlign,
                          TLTLineType Style, bool Reverse);
    virtual void DrawDottedHorzLine(TLTPaintInfo& PaintInfo, int Left, int Right, int Top);
    virtual void DrawDottedVertLine(TLTPaintInfo& PaintInfo, int Top, int Bottom, int Left,
                                    bool UseSelectedBkColor);
    void BuildButtonBitmaps(bool NeedButtons, bool NeedLines);
    virtual void PaintExpandButton(TCanvas* Canvas, PLazyNode Node, int Column, const TRect& R,
                                   int ButtonX, int ButtonY, TBiDiMode BidiMode);
    virtual int LookupImage(TLTPaintInfo& PaintInfo, TLTImageKind Kind, TLTPaintImageIndex Slot,
                            TImageList* DefaultImages);
    virtual void PlaceImage(TImageList* Images, TBiDiMode BidiMode, int VAlign, TRect& R,
                            TLTPaintImage& Slot);
    void ShiftContentByIndent(TLTPaintInfo& PaintInfo, int Levels);
    virtual void PaintNodeImage(TLTPaintInfo& PaintInfo, TLTPaintImageIndex Slot, bool DoOverlay);
    // The part of a drag selection's rectangle (tree coordinates moved to the row) in TargetRect.
    virtual void PaintRubberBand(TCanvas* Canvas, int WindowOrgX, const TRect& SelectionRect,
                                 TRect TargetRect);
    // The node's own content (the string tree's texts); nothing in the base tree.
    virtual void PaintNodeContent(TLTPaintInfo&) {}
    // --- scroll bars (LazyTreeScrollBars.cpp) ---
    virtual void ShowTreeScrollBar(int Bar, bool Show);
    void WMScroll(TMessage& Message, bool Vertical);
    // The frame, printing and appearance messages (LazyTreeFrame.cpp).
    void WMNCCalcSize(TMessage& Message);
    void WMNCPaint(TMessage& Message);
    void WMPrint(TMessage& Message);
    void WMPrintClient(TMessage& Message);
    void WMEnable(TMessage& Message);
    void WMThemeChanged(TMessage& Message);
    void WMSize(TWMSize& Message) override;
    // The position cache: the worker thread rebuilds it, lookups use it while tsUseCache is set.
    struct TCacheEntry {
        PLazyNode Node;
        std::uint32_t AbsoluteTop;
    };
    static constexpr std::uint32_t CacheThreshold = 2000;
    virtual bool RebuildPositionCache();
    void MarkCacheInvalid();
    virtual void StartCacheValidation();
    void StopCacheValidation();
    // Repaint and scroll-bar refresh, only when a window exists.
    void InvalidateWhenShown();
    bool IsLoading() const { return ComponentState() & csLoading; }
    bool IsDesigning() const { return ComponentState() & csDesigning; }
    bool IsTreeDestroying() const { return FDestroying; }
    // Change links of the image lists invalidate the tree.
    void ImageListChange(TObject* Sender);

    // Window and messages.
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void WMTimer(TWMTimer& Message) override;
    void CMColorChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMBiDiModeChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Check boxes.
    virtual bool FireChecking(PLazyNode Node, TCheckState& NewState);
    virtual void ApplyCheckStateChange(PLazyNode Node, TCheckState NewState);
    virtual void FireChecked(PLazyNode Node);
    bool PropagateCheckState(PLazyNode Node, TCheckState NewState);
    virtual bool ReevaluateParentCheckState(PLazyNode Node, TCheckState NewState);

    // Selection and focus.
    virtual void AddNodesToSelection(TNodeArray& NewItems, int NewLength, bool ForceInsert);
    virtual bool LocateInSelection(PLazyNode P, int& Index, int LowBound, int HighBound) const;
    virtual void AddToTempNodeCache(PLazyNode Node);
    void ClearTempNodeCache();
    virtual void MarkNodeUnselected(PLazyNode Node);
    virtual void ResetSelection();
    virtual void ClearRangeAnchor();
    // Remembers the node EnsureNodeSelected selects when Node's selection ends (only with
    // toAlwaysSelectNode): its next sibling, else its previous one, its parent, its first child.
    virtual void PickNextNodeToSelect(PLazyNode Node);
    virtual void SelectNodeRange(PLazyNode StartNode, PLazyNode EndNode, bool AddOnly);
    virtual void ToggleNodeRange(PLazyNode StartNode, PLazyNode EndNode);
    virtual void UnselectNodeRange(PLazyNode StartNode, PLazyNode EndNode);
    virtual void ApplyFocusedNode(PLazyNode Node, bool Ask);
    virtual bool FireFocusChanging(PLazyNode OldNode, PLazyNode NewNode, int OldColumn,
                                   int NewColumn);
    virtual void FireFocusChanged(PLazyNode Node, int Column);
    virtual void MoveFocusTo(PLazyNode Node, int Column);
    virtual void FireAddToSelection(PLazyNode Node);
    virtual void FireRemoveFromSelection(PLazyNode Node);
    virtual bool UpdateSelectionRect(int X, int Y);
    void ApplyClickSelection(PLazyNode LastFocused, PLazyNode NewNode, bool DragPending,
                             TShiftState Shift);
    bool ApplyRubberBandSelection(int X, int Y);
    // Drops the selection entries of nodes freed inside an update bracket.
    void CompactSelection();

    // Hit testing.
    virtual void HitTestRowLeftToRight(THitInfo& HitInfo, int X, int CellWidth,
                                       TAlignment Alignment);
    virtual void HitTestRowRightToLeft(THitInfo& HitInfo, int X, int CellWidth,
                                       TAlignment Alignment);
    virtual int GetContentRightExtent();

    // Mouse.
    virtual void ProcessMouseDown(TWMMouse& Message, THitInfo& HitInfo);
    virtual void ProcessMouseUp(TWMMouse& Message, THitInfo& HitInfo);
    virtual void ProcessMouseDblClick(TWMMouse& Message, THitInfo& HitInfo);
    virtual void UpdateHotNode(int X, int Y);
    virtual void BeginWheelPanning(TPoint Position);
    virtual void EndWheelPanning();
    virtual void UpdatePanningCursor(int X, int Y);
    virtual bool PopupMenuAvailable(PLazyNode Node, int Column, TPoint P);
    virtual TPopupMenu* QueryPopupMenu(PLazyNode Node, int Column, TPoint P);
    virtual void ShowNodePopupMenu(PLazyNode Node, int Column, TPoint P);
    virtual bool NodeSplitterResizeAllowed(TPoint P, PLazyNode Node, int Column);
    // Automatic scrolling near the edges (rubber band) and wheel panning
    // (LazyTreeAutoScroll.cpp).
    virtual bool AutoScrollAllowed();
    virtual TScrollDirections GetAutoScrollDirections(int X, int Y);
    virtual void ArmAutoScroll(int X, int Y);
    virtual void AutoScrollStep();
    // Timer 4: the first tick of an armed auto-scroll starts the steps.
    void AutoScrollTimer();
    virtual void FireGetCursor(TCursor& Cursor);
    virtual void FireHotChange(PLazyNode OldNode, PLazyNode NewNode);
    virtual void FireNodeClick(const THitInfo& HitInfo);
    virtual void FireNodeDblClick(const THitInfo& HitInfo);
    virtual void FireCanSplitterResizeNode(TPoint P, PLazyNode Node, int Column, bool& Allowed);
    virtual bool FireNodeHeightDblClickResize(PLazyNode Node, int Column, TShiftState Shift,
                                              TPoint P);
    virtual bool FireNodeHeightTracking(PLazyNode Node, int Column, TShiftState Shift,
                                        TPoint& TrackPoint, TPoint P);
    // The header's class; a derived tree installs its own with InstallHeader from its
    // constructor.
    virtual std::unique_ptr<TLTHeader> HeaderClass();
    void InstallHeader() { FHeader = HeaderClass(); }
    // A new column of the header's column class, in Owner.
    virtual TLazyTreeColumn* ColumnClass(TLazyTreeColumns* Owner);
    // Dispatchers of the header's events (each fires its event only when assigned).
    virtual void FireHeaderClick(const TLTHeaderHitInfo& HitInfo);
    virtual void FireHeaderDblClick(const TLTHeaderHitInfo& HitInfo);
    virtual void FireHeaderMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void FireHeaderMouseMove(TShiftState Shift, int X, int Y);
    virtual void FireHeaderMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual bool FireHeaderDragging(TColumnIndex Column);
    virtual void FireHeaderDragged(TColumnIndex Column, TColumnPosition OldPosition);
    virtual void FireHeaderDraggedOut(TColumnIndex Column, TPoint DropPosition);
    virtual void FireGetHeaderCursor(TCursor& Cursor);
    virtual void FireHeaderDraw(TCanvas* HeaderCanvas, TLazyTreeColumn* Column, TRect R, bool Hover,
                                bool Pressed, TLTDropMarkMode DropMark);
    virtual void FireHeaderDrawQueryElements(THeaderPaintInfo& PaintInfo,
                                             THeaderPaintElements& Elements);
    virtual void FireAdvancedHeaderDraw(THeaderPaintInfo& PaintInfo, THeaderPaintElements Elements);
    virtual void FireColumnClick(TColumnIndex Column, TShiftState Shift);
    virtual void FireColumnDblClick(TColumnIndex Column, TShiftState Shift);
    virtual void FireColumnVisibilityChanged(TColumnIndex Column, bool Visible);
    void WMLButtonDown(TWMMouse& Message) override;
    void WMLButtonUp(TWMMouse& Message) override;
    void WMLButtonDblClk(TWMMouse& Message) override;
    void WMMButtonDown(TWMMouse& Message) override;
    void WMMButtonUp(TWMMouse& Message) override;
    void WMRButtonDown(TWMMouse& Message) override;
    void WMRButtonUp(TWMMouse& Message) override;
    void WMRButtonDblClk(TWMMouse& Message) override;
    virtual void WMMButtonDblClk(TWMMouse& Message);
    void WMMouseMove(TWMMouse& Message) override;
    void CMMouseWheel(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void WMContextMenu(TWMContextMenu& Message) override;
    void WMCancelMode(TWMNoParams& Message) override;
    void WMSetFocus(TWMSetFocus& Message) override;
    void WMKillFocus(TWMKillFocus& Message) override;
    void WMSetCursor(TWMSetCursor& Message) override;

    // Keyboard.
    virtual bool FireKeyAction(WORD& CharCode, TShiftState& Shift);
    virtual int FireIncrementalSearch(PLazyNode Node, const std::string& Text);
    virtual void RunIncrementalSearch(char32_t CharCode);
    virtual void AssureFocusedNode();
    void WMKeyDown(TWMKey& Message) override;
    void WMKeyUp(TWMKey& Message) override;
    void WMChar(TWMKey& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    // Ends the incremental search: time-out, focus loss, cancelled mode.
    void ResetIncrementalSearch();

    // Hints.
    void CMHintShow(TMessage& Message) override;
    void CMHintShowPause(TMessage& Message);
    TLTHintData FHintData;
    TRect FLastHintRect;
    // The messages the services answer (hints, accessibility); false for others.
    bool DispatchServiceMessage(TMessage& Message);
    // Accessibility and the tree-view control messages.
    void WMGetObject(TMessage& Message);
    void TVMGetItem(TMessage& Message);
    void TVMGetItemRect(TMessage& Message);
    void TVMGetNextItem(TMessage& Message);
    // The node of an item handle from outside; nil when it names none of this tree's nodes.
    PLazyNode NodeOfItemHandle(LPARAM Handle);
    std::shared_ptr<TObject> FAccessible;
    std::shared_ptr<TObject> FAccessibleItem;
    // Tells assistive technology that the focus moved to another node.
    void NotifyAccessibleFocus();
    // Drops what the accessible objects keep of a node being freed.
    void AccessibleNodeGone(PLazyNode Node);

    // Node editing.
    virtual void StartNodeEdit();
    virtual bool FinishNodeEdit();
    virtual bool AbortNodeEdit();
    virtual void PlaceEditor();
    virtual void FireEditing(PLazyNode Node, int Column, bool& Allowed);
    virtual std::shared_ptr<ILTEditLink> FireCreateEditor(PLazyNode Node, int Column);
    std::shared_ptr<ILTEditLink> FEditLink;

    PLazyNode FRoot = nullptr;
    // Every node but the root comes from this pool.
    std::unique_ptr<TNodeAllocator> FNodeAllocator;
    std::vector<std::unique_ptr<TNodeAllocator>> FRetiredAllocators;
    int FNodeDataSize = -1;
    std::uint32_t FTotalInternalDataSize = 0;
    std::uint32_t FDefaultNodeHeight = 18;
    std::uint32_t FVisibleCount = 0;
    TNodeArray FSingletonNodeArray = TNodeArray(1);

private:
    friend struct TLazyTreeWorkerAccess;
    // Moving, copying and sorting (LazyTreeMove.cpp).
    std::unique_ptr<TLTHeader> FHeader;
    TRect FHeaderRect;
    // Checks the source and settles the target tree, node and mode; nil when nothing happens.
    TBaseLazyTree* resolveMoveTarget(PLazyNode Source, PLazyNode& Target, TLTNodeAttachMode& Mode);
    // Writes Source (or its children) to a stream and reads them into Tree at Target; answers
    // the new nodes in order (nil for a refused copy).
    std::vector<PLazyNode> transportNodes(PLazyNode Source, bool ChildrenOnly, TBaseLazyTree* Tree,
                                          PLazyNode Target, TLTNodeAttachMode Mode, bool Copying);
    void sortSubtree(PLazyNode Node, TColumnIndex Column, TSortDirection Direction, bool DoInit);
    bool autoSortWanted() const;
    // Sorts Node's children by the header's sort column under toAutoSort.
    void autoSort(PLazyNode Node, bool DoInit);
    TNodeArray FSortNodes;
    // The tree stream (LazyTreeStream.cpp).
    int readStreamHeader(TStream& Stream, bool Loading);
    void readTopLevelNodes(TStream& Stream, int Version, PLazyNode Parent);
    // Counts, heights and visible count of a subtree read from a stream.
    void settleLoadedSubtree(PLazyNode Node);
    friend class TScrollBarOptions;
    std::unique_ptr<TScrollBarOptions> FScrollBarOptions =
        std::make_unique<TScrollBarOptions>(this);
    friend class TCustomLazyTreeOptions;
    // Applies a finished rebuild on the UI thread, unless the tree changed since it started.
    void finishCacheValidation(bool UseCache, std::uint64_t Generation);
    std::size_t cacheEntryCountFor(std::uint32_t VisibleCount) const;
    std::vector<TCacheEntry> FPositionCache;
    // Every FineCacheStep-th visible node with its top, built with the cache: a lookup walks at
    // most that many nodes from the entry it finds.
    static constexpr std::uint32_t FineCacheStep = 40;
    std::vector<TCacheEntry> FFineCache;
    std::uint32_t FStartIndex = 0;
    std::atomic<std::uint64_t> FCacheGeneration{0};
    std::atomic<bool> FStopValidation{false};
    bool FCacheQueued = false;
    int FOffsetX = 0;
    int FOffsetY = 0;
    friend class TLTColors;
    // --- painting (LazyTreePaint.cpp) ---
    bool hasVisibleSiblingAfter(PLazyNode Node) const;
    bool hasVisibleSiblingBefore(PLazyNode Node) const;
    void dottedFill(TCanvas* Canvas, const TRect& R, TColor Line, TColor Back);
    void ensureButtonBitmaps();
    void paintRows(TCanvas* TargetCanvas, TCanvas* Canvas, const TRect& Window, TPoint Target,
                   TLTInternalPaintOptions PaintOptions, int MaximumBottom);
    void paintCell(TLTPaintInfo& Info, const TRect& Window, const TLineImage& LineImage,
                   int IndentSize, int ButtonX, int ButtonY, int VAlign, bool ImagesUsed,
                   bool StateImagesUsed, bool CheckImagesUsed);
    void paintOneCell(TLTPaintInfo& Info, const TRect& Window, const TLineImage& LineImage,
                      int IndentSize, int ButtonX, int ButtonY, int VAlign, bool ImagesUsed,
                      bool StateImagesUsed, bool CheckImagesUsed);
    // What the button bitmaps and the line pattern were built from.
    struct ButtonLook {
        TLTButtonStyle Style;
        TLTButtonFillMode FillMode;
        TLTLineStyle LineStyle;
        TColor Back, Line, Font;
        bool CustomLines;
        bool CustomButtons;
        friend bool operator==(const ButtonLook&, const ButtonLook&) = default;
    };
    ButtonLook FButtonLook{};
    std::unique_ptr<TBitmap> FPlusBM, FMinusBM, FHotPlusBM, FHotMinusBM, FSelectedHotPlusBM,
        FSelectedHotMinusBM;
    std::array<std::uint16_t, 8> FLineBits{};
    std::unique_ptr<TBitmap> FLineBrush;
    TColor FLineBrushFore = clNone, FLineBrushBack = clNone;
    std::unique_ptr<TBitmap> FRowBuffer;
    // --- scroll bars (LazyTreeScrollBars.cpp) ---
    std::uint32_t FRangeX = 0;
    std::uint32_t FRangeY = 0;
    int FEffectiveOffsetX = 0;
    // The effective horizontal offset that OffsetX gives.
    int effectiveOffsetXOf(int OffsetX) const;
    // -1 where a mirrored tree scrolls horizontally the other way, else 1.
    int mirrorSign() const { return UseRightToLeftAlignment() ? -1 : 1; }
    int updateScrollBar(int Bar, int ClientSize, std::uint32_t Range, int Position, bool DoRepaint);
    bool dispatchFrameMessage(TMessage& Message);
    // Timer 8: the window is made again after a theme change.
    bool themeTimer(std::uintptr_t Id);
    // The frame's sizes changed: the window calculates its frame again.
    void frameChanged();
    bool FThemeChanging = false;
    // The background picture when toShowBackground shows one (only a bitmap is used).
    TBitmap* backgroundBitmap() const;
    // F1: the help topic of the focused node, its ancestors, the tree or its parents.
    void showHelp();
    void setUpRootNode();
    // Expand and collapse animation (runs only when no update bracket is open).
    void scrollAnimationRegion(TToggleAnimationData& D, const TRect& R, TToggleAnimationMode Mode,
                               int Amount, bool Refill);
    void runToggleAnimation(TToggleAnimationData& D);
    bool animateCollapse(PLazyNode Node, int HeightDelta);
    bool animateExpand(PLazyNode Node, int HeightDelta);
    std::size_t nodeBlockSize() const;
    void freeNodeBlock(PLazyNode Node);
    [[noreturn]] static void raiseNodeDataSizeNotInitialized();
    void releaseRootNode();
    void applyPaintOptionsChange(TLTPaintOptions Old, TLTPaintOptions New);
    void applySelectionOptionsChange(TLTSelectionOptions Old, TLTSelectionOptions New);
    void applyMiscOptionsChange(TLTMiscOptions Old, TLTMiscOptions New);
    void invalidateUnlessLoading();
    void invalidateWhenShownAndNotLoading();
    void killTreeTimer(std::uintptr_t Id);
    void clearReferences(PLazyNode Node);
    // Walks shared by the Init and NoInit forms.
    PLazyNode nextInOrder(PLazyNode Node, bool CA, bool Init);
    PLazyNode previousInOrder(PLazyNode Node, bool CA, bool Init);
    PLazyNode deepestFirst(PLazyNode Node, bool Init);
    PLazyNode lastDescendant(PLazyNode Node, bool Init);
    PLazyNode firstVisible(PLazyNode Node, bool CA, bool IF, bool Init);
    PLazyNode nextVisible(PLazyNode Node, bool CA, bool Init);
    PLazyNode previousVisible(PLazyNode Node, bool CA, bool Init);
    PLazyNode siblingVisible(PLazyNode Node, bool IF, bool Forward) const;
    PLazyNode lastVisibleChildNoInit(PLazyNode Node, bool IF) const;
    PLazyNode searchMarked(PLazyNode Node, bool Forward, bool CA,
                           const std::function<bool(PLazyNode)>& Match);
    void ensureChildrenCounted(PLazyNode Node);
    void initIfNeeded(PLazyNode Node);
    // Non-const walks for the const NoInit queries (they never change the tree).
    TBaseLazyTree* self() const { return const_cast<TBaseLazyTree*>(this); }

    // Check boxes.
    PLazyNode FCheckNode = nullptr;
    TCheckState FPendingCheckState = csUncheckedNormal;
    std::uint32_t FCheckPropagationCount = 0;

    // Selection and focus.
    bool mergeIntoSelection(TNodeArray& NewItems, int NewLength, bool ForceInsert);
    void mergeNodeIntoSelection(PLazyNode Node, bool ForceInsert);
    int compactNodeArray(TNodeArray& Items, int Count);
    bool collectRectNodes(const TRect& NewRect, const TRect& OldRect, int NodeLeft, int MaxRight);
    // A node the rubber band's edge crossed: toggled, or selected or unselected as it is now
    // Inside the band.
    void bandCrossed(PLazyNode Node, bool Inside, bool Toggle);
    bool collectRectNodesRightToLeft(const TRect& NewRect, const TRect& OldRect, int NodeLeft,
                                     int MaxRight, TAlignment Alignment);
    TNodeArray FSelection;
    bool FSelectionLocked = false;
    PLazyNode FRangeAnchor = nullptr;
    PLazyNode FNextNodeToSelect = nullptr;
    PLazyNode FFocusedNode = nullptr;
    TNodeArray FTempNodeCache;
    std::uint32_t FTempNodeCount = 0;
    TShiftState FDrawSelShiftState;
    TRect FNewSelRect;
    TRect FLastSelRect;

    // Mouse.
    TPoint FLastClickPos;
    PLazyNode FHeightTrackNode = nullptr;
    int FHeightTrackColumn = -1;
    TPoint FHeightTrackPoint;
    PLazyNode FCurrentHotNode = nullptr;
    int FCurrentHotColumn = -1;
    bool FHotNodeButtonHit = false;
    TScrollDirections FScrollDirections;
    void abandonPendingCheck();
    TWinControl* FPanningWindow = nullptr;
    std::unique_ptr<TBitmap> FPanningImage;
    TCursor FPanningCursor = crDefault;
    int FEditColumn = -1;

    // Keyboard.
    std::string FSearchBuffer;
    PLazyNode FLastSearchNode = nullptr;

    std::unique_ptr<TCustomLazyTreeOptions> FOptions;
    std::unique_ptr<TLTColors> FColors;
    std::unique_ptr<TPicture> FBackground;
    TLazyTreeStates FStates;
    std::uint32_t FUpdateCount = 0;
    std::uint32_t FSynchUpdateCount = 0;
    PLazyNode FLastChangedNode = nullptr;
    PLazyNode FLastStructureChangeNode = nullptr;
    TChangeReason FLastStructureChangeReason = crIgnore;
    std::uint32_t FChangeDelay = 0;
    std::uint32_t FOperationCount = 0;
    bool FOperationCanceled = false;
    std::uint32_t FSelectionCount = 0;
    bool FDestroying = false;
    bool FVclStyleEnabled = false;
    bool FWorkerReferenced = false;

    std::string FAccessibleName;
    TAlignment FAlignment = taLeftJustify;
    std::uint32_t FAnimationDuration = 200;
    std::uint32_t FAutoExpandDelay = 1000;
    std::uint32_t FAutoScrollDelay = 1000;
    std::uint32_t FAutoScrollInterval = 1;
    int FBackgroundOffsetX = 0;
    int FBackgroundOffsetY = 0;
    TBorderStyle FBorderStyle = bsSingle;
    std::uint32_t FBottomSpace = 0;
    TLTButtonFillMode FButtonFillMode = fmTreeColor;
    TLTButtonStyle FButtonStyle = bsRectangle;
    TCheckImageKind FCheckImageKind = ckSystemDefault;
    TImageList* FCustomCheckImages = nullptr;
    TImageList* FImages = nullptr;
    TImageList* FStateImages = nullptr;
    TLTNodeAttachMode FDefaultPasteMode = amAddChildLast;
    int FDragHeight = 350;
    int FDragWidth = 200;
    TLTDragImageKind FDragImageKind = diComplete;
    TDragOperations FDragOperations{doCopy, doMove};
    TLTDragType FDragType = dtOLE;
    TDragMode FDragMode = dmManual;
    PLazyNode FLastVCLDragTarget = nullptr;
    DWORD FVCLDragEffect = DROPEFFECT_NONE;
    std::shared_ptr<ILTDragManager> FDragManager;
    bool FDropTargetRegistered = false;
    std::unique_ptr<TLTDragImage> FDragImage;
    PLazyNode FDropTargetNode = nullptr;
    TDropMode FLastDropMode = dmNowhere;
    DWORD FLastDragEffect = DROPEFFECT_NONE;
    int FDragThreshold = 5;
    int FDragScrollStart = 0;
    TNodeArray FDragSelection;
    std::unique_ptr<TClipboardFormats> FClipboardFormats;
    TTreeLink FLink;
    // The shift state of a drag's key state, with the buttons the tree saw pressed.
    TShiftState dragShift(DWORD KeyState) const;
    // Reads the "Lazy Tree Data" of a data object into the tree at Target.
    void readTreeData(TBaseLazyTree* Source, const std::shared_ptr<IDataObject>& DataObject,
                      PLazyNode Target, TLTNodeAttachMode Mode);
    TLTDrawSelectionMode FDrawSelectionMode = smDottedRectangle;
    std::uint32_t FEditDelay = 1000;
    std::string FEmptyListMessage;
    THintAnimationType FAnimationType = hatSystemDefault;
    TLTHintMode FHintMode = hmDefault;
    TCursor FHotCursor = crDefault;
    TLTIncrementalSearch FIncrementalSearch = isNone;
    TLTSearchDirection FSearchDirection = sdForward;
    TLTSearchStart FSearchStart = ssFocusedNode;
    std::uint32_t FSearchTimeout = 1000;
    std::uint32_t FIndent = 18;
    TLTLineMode FLineMode = lmNormal;
    TLTLineStyle FLineStyle = lsDotted;
    int FMargin = 4;
    TLTNodeAlignment FNodeAlignment = naProportional;
    std::uint8_t FSelectionBlendFactor = 128;
    std::uint32_t FSelectionCurveRadius = 0;
    int FTextMargin = 4;
    bool FWantTabs = false;
    int FFocusedColumn = -1;
    int FLastSelectionLevel = -1;
    TBevelKind FBevelKind = bkNone;
    TBevelCut FBevelInner = bvRaised;
    TBevelCut FBevelOuter = bvLowered;
    TBevelEdges FBevelEdges{beLeft, beTop, beRight, beBottom};
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    bool FCtl3D = true;
};

// What an export is producing; handed to the text query and to every export event.
enum TLTExportType { etNone, etRTF, etHTML, etText, etExcel, etWord, etCustom };

// What OnGetCellText answers for one cell.
struct TVSTGetCellTextEventArgs {
    PLazyNode Node = nullptr;
    int Column = -1;
    std::string CellText;
    std::string StaticText;
    TLTExportType ExportType = etNone;
};
using TLTTreeExportEvent = std::function<void(TBaseLazyTree* Sender, TLTExportType ExportType)>;
using TLTColumnExportEvent =
    std::function<void(TBaseLazyTree* Sender, TLTExportType ExportType, int Column)>;
using TLTNodeExportEvent =
    std::function<bool(TBaseLazyTree* Sender, TLTExportType ExportType, PLazyNode Node)>;
// The walk that follows a node of an export source.
using TLTNextNodeOfSource = std::function<PLazyNode(PLazyNode Node)>;
using TLTGetCellTextEvent = std::function<void(TBaseLazyTree* Sender, TVSTGetCellTextEventArgs& E)>;
using TLTPaintTextEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas,
                                             PLazyNode Node, int Column, TVSTTextType TextType)>;
using TLTShortenStringEvent =
    std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node, int Column,
                       const std::string& S, int TextSpace, std::string& Result, bool& Done)>;
using TLTDrawTextEvent =
    std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node, int Column,
                       const std::string& Text, const TRect& CellRect, bool& DefaultDraw)>;
using TLTMeasureTextEvent =
    std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node, int Column,
                       const std::string& Text, int& Extent)>;
using TLTNewTextEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, int Column,
                                           const std::string& NewText)>;

// A tree whose nodes show texts; it keeps each node's measured text width in an internal area.
class TCustomLazyStringTree : public TBaseLazyTree {
    friend struct TLazyTreeExport;

public:
    explicit TCustomLazyStringTree(TComponent* AOwner);
    std::string ClassName() const override { return "TCustomLazyStringTree"; }
    const std::string& DefaultText() const { return FDefaultText; }
    void SetDefaultText(const std::string& Value);
    TCustomStringTreeOptions* TreeOptions() const {
        return static_cast<TCustomStringTreeOptions*>(TBaseLazyTree::TreeOptions());
    }
    void SetChildCount(PLazyNode Node, std::uint32_t NewChildCount) override;
    void ReinitNode(PLazyNode Node, bool Recursive) override;
    // The cached text width of a node (0: not measured).
    std::uint32_t& CachedTextWidth(PLazyNode Node) const;

    // --- texts, measuring and painting (LazyTreeText.cpp) ---
    // Texts of the nodes; without OnGetText (or OnGetCellText) every node shows DefaultText.
    TLTGetTextEvent OnGetText;
    TLTGetCellTextEvent OnGetCellText;
    TLTPaintTextEvent OnPaintText;
    TLTShortenStringEvent OnShortenString;
    TLTDrawTextEvent OnDrawText;
    TLTMeasureTextEvent OnMeasureTextWidth;
    TLTMeasureTextEvent OnMeasureTextHeight;
    TLTNewTextEvent OnNewText;
    TLTGetHintEvent OnGetHint;
    std::string GetText(PLazyNode Node, int Column);
    // With toRestoreSelection a new node whose text was selected before is selected again.
    PLazyNode AddChild(PLazyNode Parent, void* UserData = nullptr) override;
    using TBaseLazyTree::AddChild;
    // The texts in Column from the top-level ancestor down to Node, each followed by Delimiter
    // (nil or the root: the delimiter alone).
    std::string Path(PLazyNode Node, int Column, char Delimiter);
    std::string GetStaticText(PLazyNode Node, int Column);
    // Hands the new text to OnNewText and repaints the node.
    void SetText(PLazyNode Node, int Column, const std::string& Value);
    int QueryNodeWidth(PLazyNode Node, int Column, TCanvas* Canvas = nullptr) override;
    int QueryNodeExtraWidth(PLazyNode Node, int Column, TCanvas* Canvas = nullptr) override;
    bool FireGetCellIsEmpty(PLazyNode Node, int Column) override;
    void AdjustCellSpan(TLTPaintInfo& PaintInfo, int& NextColumn) override;
    TRect InvalidateNode(PLazyNode Node) override;
    // Height of the text S (Node's text when empty) as one line, or word-wrapped for a
    // multi-line node.
    virtual int ComputeNodeHeight(TCanvas* Canvas, PLazyNode Node, int Column, std::string S = "");
    // Width of "..." and height of a line in the tree's font.
    int EllipsisWidth();
    int TextHeight();
    void AddToSelection(PLazyNode Node) override;
    void RemoveFromSelection(PLazyNode Node) override;
    // Texts of selected nodes kept for toRestoreSelection (nil until first used).
    const TStringList* PreviouslySelected() const { return FPreviouslySelected.get(); }
    const TTreeClass* TreeClass() const override { return &CustomLazyStringTreeClass; }
    // The base tree's formats, then the texts of the nodes as plain and Unicode text, CSV and
    // HTML.
    HRESULT RenderFormat(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium,
                         bool ForClipboard) override;
    // A new block of the nodes' texts in a clipboard format; nil for a format without texts.
    HGLOBAL ContentToClipboard(CLIPFORMAT Format, TVSTTextSourceType Source);
    // The texts of the nodes of Source, one line each, indented and with the columns
    // separated by Separator.
    std::string ContentToText(TVSTTextSourceType Source, const std::string& Separator);
    // The texts as an HTML table.
    std::string ContentToHTML(TVSTTextSourceType Source, const std::string& Caption = "");

    // --- export (services/LazyTreeExport.cpp) ---
    TLTTreeExportEvent OnBeforeTreeExport;
    TLTTreeExportEvent OnAfterTreeExport;
    TLTTreeExportEvent OnBeforeHeaderExport;
    TLTTreeExportEvent OnAfterHeaderExport;
    TLTColumnExportEvent OnBeforeColumnExport;
    TLTColumnExportEvent OnColumnExport;
    TLTColumnExportEvent OnAfterColumnExport;
    TLTNodeExportEvent OnBeforeNodeExport;
    TLTNodeExportEvent OnNodeExport;
    TLTNodeExportEvent OnAfterNodeExport;
    // The texts as an RTF table.
    std::string ContentToRTF(TVSTTextSourceType Source);
    std::string ContentToUnicode(TVSTTextSourceType Source, char Separator);
    // Runs the export events over the nodes; the handlers write the output.
    void ContentToCustom(TVSTTextSourceType Source);
    // The first node of Source; Next walks on from a node.
    PLazyNode FirstNodeOfSource(TVSTTextSourceType Source, TLTNextNodeOfSource& Next);
    // Appends the comma-separated lines of the top-level nodes, after the column captions when
    // IncludeHeading.
    void RenderCsvLines(TStrings* Lines, bool IncludeHeading);
    // Writes the lines of RenderCsvLines; false for an empty file name.
    bool SaveToCSVFile(const std::string& FileNameWithPath, bool IncludeHeading);
    void GetTextInfo(PLazyNode Node, int Column, TFont* AFont, TRect& R,
                     std::string& Text) override;

protected:
    std::unique_ptr<TCustomLazyTreeOptions> OptionsClass() override;
    int FireIncrementalSearch(PLazyNode Node, const std::string& Text) override;
    // OnGetHint may change the control's hint; a tooltip is the cell's text without it.
    std::string QueryNodeHint(PLazyNode Node, int Column,
                              TLTTooltipLineBreakStyle& LineBreakStyle) override;
    std::string QueryNodeTooltip(PLazyNode Node, int Column,
                                 TLTTooltipLineBreakStyle& LineBreakStyle) override;
    // A default string edit link when OnCreateEditor gives none.
    std::shared_ptr<ILTEditLink> FireCreateEditor(PLazyNode Node, int Column) override;
    virtual void FireGetText(TVSTGetCellTextEventArgs& E);
    virtual void FireNewText(PLazyNode Node, int Column, const std::string& Text);
    virtual void FirePaintText(TCanvas* Canvas, PLazyNode Node, int Column, TVSTTextType TextType);
    virtual std::string FireShortenString(TCanvas* Canvas, PLazyNode Node, int Column,
                                          const std::string& S, int TextSpace, int EllipsisWidth);
    virtual void FireDrawText(TLTPaintInfo& PaintInfo, const std::string& Text, TRect R,
                              unsigned Format);
    virtual TSize MeasureCellText(TCanvas* Canvas, PLazyNode Node, int Column,
                                  const std::string& Text);
    virtual int MeasureTextWidth(TCanvas* Canvas, PLazyNode Node, int Column,
                                 const std::string& Text);
    virtual int MeasureStaticTextWidth(TCanvas* Canvas, PLazyNode Node, int Column,
                                       const std::string& Text);
    void PrepareTextFont(TLTPaintInfo& PaintInfo);
    // FontChanged: set when an OnPaintText handler changed the canvas font.
    virtual void PaintCellText(TLTPaintInfo& PaintInfo, const std::string& Text, bool& FontChanged);
    virtual void PaintCellStaticText(TLTPaintInfo& PaintInfo, const std::string& Text);
    void PaintNodeContent(TLTPaintInfo& PaintInfo) override;
    void CMFontChanged(TMessage& Message) override;
    // The caption chunk of the tree stream.
    void WriteNodeContent(TStream& Stream, PLazyNode Node) override;
    bool ReadContentChunk(TStream& Stream, int Version, PLazyNode Node, int ChunkType,
                          int ChunkSize) override;

private:
    void measureFont();
    int FTextHeight = 0;
    int FEllipsisWidth = 0;
    bool FFontMeasured = false;
    std::unique_ptr<TStringList> FPreviouslySelected;
    std::string FDefaultText = "Node";
    std::uint32_t FTextWidthOffset = 0;
};

class TLazyStringTree : public TCustomLazyStringTree {
public:
    using TCustomLazyStringTree::TCustomLazyStringTree;
    std::string ClassName() const override { return "TLazyStringTree"; }
};

// A tree whose nodes the application draws itself (OnDrawNode).
using TLTDrawNodeEvent = std::function<void(TBaseLazyTree* Sender, const TLTPaintInfo& PaintInfo)>;
using TLTGetCellContentMarginEvent =
    std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node, int Column,
                       TVTCellContentMarginType CellContentMarginType, TPoint& CellContentMargin)>;
using TLTGetNodeWidthEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas,
                                                PLazyNode Node, int Column, int& NodeWidth)>;

class TCustomLazyDrawTree : public TBaseLazyTree {
public:
    using TBaseLazyTree::TBaseLazyTree;
    std::string ClassName() const override { return "TCustomLazyDrawTree"; }
    TLTDrawNodeEvent OnDrawNode;
    TLTGetCellContentMarginEvent OnGetCellContentMargin;
    TLTGetNodeWidthEvent OnGetNodeWidth;
    // 2 x TextMargin unless OnGetNodeWidth says otherwise.
    int QueryNodeWidth(PLazyNode Node, int Column, TCanvas* Canvas = nullptr) override;
    TPoint QueryCellContentMargin(PLazyNode Node, int Column,
                                  TVTCellContentMarginType CellContentMarginType,
                                  TCanvas* Canvas = nullptr) override;
    // The application draws a drawn tree's hints too.
    TLTHintKind DefaultHintKind() const override { return vhkOwnerDraw; }

protected:
    void PaintNodeContent(TLTPaintInfo& PaintInfo) override;
};

class TLazyDrawTree : public TCustomLazyDrawTree {
public:
    using TCustomLazyDrawTree::TCustomLazyDrawTree;
    std::string ClassName() const override { return "TLazyDrawTree"; }
};

// The tree's own errors (streams, moves, clipboard) carry a help context.
class ELazyTreeError : public Exception {
public:
    ELazyTreeError(std::string Message, int HelpContext)
        : Exception(std::move(Message)), FHelpContext(HelpContext) {}
    int HelpContext() const { return FHelpContext; }

private:
    int FHelpContext;
};
[[noreturn]] void RaiseTreeError(const std::string& Message, int HelpContext);

// Process-wide state shared by all trees: set up by the first tree, kept until process end.
struct TLazyTreeGlobals {
    int InitCount = 0; // how many times the set-up did its work (0 or 1)
    bool Initialized = false;
    bool OleInitialized = false; // the set-up initialised OLE for the UI thread
};
const TLazyTreeGlobals& LazyTreeGlobals();
// Runs the set-up once; every tree constructor calls it.
void InitTreeGlobals();
// Builds the process-wide check images again (the system colours changed).
void ReloadCheckImages();
