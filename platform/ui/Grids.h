#pragma once
// The grid family: TCustomGrid (cells laid out in columns and rows, fixed rows and columns,
// current cell, selection, scrolling, sizing, moving, the in-place editor), TDrawGrid (events
// per cell) and TStringGrid (a text and an object per cell).
//
// Input arrives as messages; the grid reacts through the overridable steps below (MouseDown,
// KeyDown, SelectCell, DrawCell ...). Painting goes into the control's backing image.
#include "platform/ui/GridRows.h"
#include "platform/ui/Mask.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/core/Controls.h"
#include "platform/ui/core/SysInfo.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TCustomGrid;

class EInvalidGridOperation : public Exception {
public:
    using Exception::Exception;
};

// A small set over an enum with fewer than 32 members.
template <typename E> class TGridSet {
public:
    constexpr TGridSet() = default;
    constexpr TGridSet(std::initializer_list<E> items) {
        for (auto i : items) bits_ |= bit(i);
    }
    constexpr bool Contains(E e) const { return bits_ & bit(e); }
    constexpr void Include(E e) { bits_ |= bit(e); }
    constexpr void Exclude(E e) { bits_ &= ~bit(e); }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr unsigned Bits() const { return bits_; }
    friend constexpr TGridSet operator+(TGridSet s, E e) {
        s.Include(e);
        return s;
    }
    friend constexpr TGridSet operator-(TGridSet s, E e) {
        s.Exclude(e);
        return s;
    }
    friend constexpr TGridSet operator+(TGridSet a, TGridSet b) {
        a.bits_ |= b.bits_;
        return a;
    }
    friend constexpr TGridSet operator-(TGridSet a, TGridSet b) {
        a.bits_ &= ~b.bits_;
        return a;
    }
    friend constexpr TGridSet operator*(TGridSet a, TGridSet b) {
        a.bits_ &= b.bits_;
        return a;
    }
    friend constexpr bool operator==(const TGridSet&, const TGridSet&) = default;

private:
    static constexpr unsigned bit(E e) { return 1u << unsigned(e); }
    unsigned bits_ = 0;
};

enum TGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking
};
using TGridOptions = TGridSet<TGridOption>;

enum TGridDrawStateFlag { gdSelected, gdFocused, gdFixed, gdRowSelected, gdHotTrack, gdPressed };
using TGridDrawState = TGridSet<TGridDrawStateFlag>;

enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };

struct TGridCoord {
    int X = 0;
    int Y = 0;
    friend constexpr bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

// Cell indexes, both corners included.
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    constexpr TGridCoord TopLeft() const { return {Left, Top}; }
    constexpr TGridCoord BottomRight() const { return {Right, Bottom}; }
    constexpr bool Contains(int c, int r) const {
        return c >= Left && c <= Right && r >= Top && r <= Bottom;
    }
    friend constexpr bool operator==(const TGridRect&, const TGridRect&) = default;
};

// Sizes of the cells along one axis (column widths or row heights), as the layout reads them.
class TGridExtents {
public:
    virtual int Extent(int i) const = 0;
    // The extent every cell has, or -1 when they differ (the layout then walks the cells).
    virtual int Uniform() const { return -1; }
    int operator[](std::size_t i) const { return Extent(int(i)); }

protected:
    ~TGridExtents() = default;
};

// Layout of one axis (columns: horizontal; rows: vertical) for the current scroll position.
struct TGridAxisDrawInfo {
    int EffectiveLineWidth = 0;
    int FixedBoundary = 0; // end of the fixed cells (their lines included)
    int GridBoundary = 0;  // end of the last cell shown, at most GridExtent
    int GridExtent = 0;    // client size along the axis
    int LastFullVisibleCell = 0;
    int FullVisBoundary = 0; // end of the last cell shown completely
    int FixedCellCount = 0;
    int FirstGridCell = 0; // LeftCol or TopRow
    int GridCellCount = 0;
    const TGridExtents* Extents = nullptr;
};

struct TGridDrawInfo {
    TGridAxisDrawInfo Horz;
    TGridAxisDrawInfo Vert;
};

constexpr int GridThumbRange = 127;
// Scroll bar state the grid keeps, as the window scroll information gives it: the range
// Min..Max, the page (0: a thumb of fixed size; else the thumb shows Page of the range and
// runs up to Max - Page + 1), the position, and whether the bar is enabled and shown. The grid
// keeps the range 0..127 unless it is set; the thumb position of its scroll messages lies in
// that range. The grid paints its bars at the right and bottom edges of its client area and
// turns presses on them into WM_VSCROLL and WM_HSCROLL messages.
struct TGridScrollBar {
    bool Visible = false;
    int Position = 0;
    int Min = 0;
    int Max = GridThumbRange;
    int Page = 0;
    bool Enabled = true;
};
// Whether a bar shows: when the cells do not fit (and ScrollBars has it), always, or never.
enum TGridScrollBarShow { sbsAuto, sbsAlways, sbsNever };
// Identifier of the drag-scroll window timer and its period.
constexpr std::uintptr_t GridDragScrollTimerID = 1;
constexpr unsigned GridDragScrollInterval = 60;

// The editor the grid lays over the current cell: a borderless edit that shows the cell's edit
// text, hands the navigation keys to the grid and gives its text back through SetEditText.
class TInplaceEdit : public TCustomMaskEdit {
public:
    explicit TInplaceEdit(TComponent* AOwner);
    ~TInplaceEdit() override;

    TCustomGrid* Grid() const { return grid_; }
    void SetGrid(TCustomGrid* g) { grid_ = g; }
    void Deselect();

    // Placement by the grid: shown over Loc (hidden when Loc is empty).
    void Move(const TRect& Loc);
    void Hide();
    bool PosEqual(const TRect& Rect) const;
    // Loads the text, mask and limit of the grid's current cell.
    virtual void UpdateContents();
    // Back to the text the editor was loaded with.
    void Reset();

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void DblClick() override;
    void WMGetDlgCode(TMessage& Message) override;
    virtual void BoundsChanged() {}

private:
    TCustomGrid* grid_ = nullptr;
    std::string loadedText_;
};

class TCustomGrid : public TCustomControl {
public:
    explicit TCustomGrid(TComponent* AOwner);
    ~TCustomGrid() override;

    // The counts and the current cell are set through these virtual setters (the grid's own
    // row and column deletions too), so that a descendant sees every change.
    int ColCount() const { return colCount_; }
    virtual void SetColCount(int v);
    int RowCount() const { return rowCount_; }
    virtual void SetRowCount(int v);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int v);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int v);
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int v);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int v);
    // Also the default sizes and every column width and row height.
    void ChangeScale(int M, int D) override;
    int ColWidths(int i) const;
    void SetColWidths(int i, int v);
    int RowHeights(int i) const;
    void SetRowHeights(int i, int v);
    int GridLineWidth() const { return gridLineWidth_; }
    void SetGridLineWidth(int v);
    TGridOptions Options() const { return options_; }
    virtual void SetOptions(TGridOptions v);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool v);
    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor v);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle v);
    bool TabStops(int i) const;
    void SetTabStops(int i, bool v);

    // Current cell; setting it asks SelectCell and moves the selection anchor along.
    int Col() const { return current_.X; }
    virtual void SetCol(int v);
    int Row() const { return current_.Y; }
    virtual void SetRow(int v);
    int LeftCol() const { return topLeft_.X; }
    void SetLeftCol(int v);
    int TopRow() const { return topLeft_.Y; }
    void SetTopRow(int v);
    // Scrollable columns (rows) shown completely.
    int VisibleColCount();
    int VisibleRowCount();
    TGridRect Selection() const;
    void SetSelection(const TGridRect& v);
    TGridState GridState() const { return FGridState; }

    // Client rectangle of a shown cell; empty for a cell scrolled out of view.
    TRect CellRect(int ACol, int ARow);
    // The cell at a client point; -1 in a coordinate outside the cells.
    TGridCoord MouseCoord(int X, int Y);
    void MouseToCell(int X, int Y, int& ACol, int& ARow);
    // Total size of the cells (lines included), as painted.
    int GridWidth();
    int GridHeight();

    bool EditorMode() const { return editorMode_; }
    void SetEditorMode(bool v);
    TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }
    TGridScrollBar HorzScrollBar() const { return hScroll_; }
    TGridScrollBar VertScrollBar() const { return vScroll_; }
    TGridScrollBar ScrollBarInfo(bool Vertical) const { return Vertical ? vScroll_ : hScroll_; }
    // Range and page of a bar (kept until set again; the grid's own thumb positions assume
    // that Max - Page + 1 stays 127); the position is clamped to the range.
    void SetScrollBarRange(bool Vertical, int Min, int Max, int Page);
    void SetScrollBarPosition(bool Vertical, int Position);
    // A disabled bar is painted inactive (no thumb) and takes no presses.
    void EnableScrollBar(bool Vertical, bool Enabled);
    TGridScrollBarShow ScrollBarShow(bool Vertical) const { return Vertical ? vShow_ : hShow_; }
    void SetScrollBarShow(bool Vertical, TGridScrollBarShow v);

    // Update lock: between BeginUpdate and the matching EndUpdate invalidation and the scroll
    // range update are held back and done once at the end.
    void BeginUpdate();
    void EndUpdate();
    bool UpdateLocked() const { return updateLock_ > 0; }
    void Invalidate() override;
    // The client area without the scroll bars: where the cells are.
    int CellAreaWidth() const;
    int CellAreaHeight() const;
    // Cells are laid out from the left edge of the cell area (x = 0 at its left); right to left
    // (UseRightToLeftAlignment) the layout is shown mirrored, from the right edge. These map a
    // client x to the layout and a layout rectangle to the client; both are the identity for a
    // left-to-right grid whose vertical bar is on the right.
    int ClientToLayoutX(int X) const;
    TRect LayoutToClient(const TRect& R) const;
    // Right to left the Left and Right arrows move the other way through the layout: the key as
    // the layout reads it.
    WORD LayoutKey(WORD Key) const;
    // DrawText flags in the grid's reading order: under right-to-left alignment DT_RIGHT is
    // dropped and left-aligned text gets it (centred text stays), then the reading flag.
    unsigned DrawTextBiDiModeFlags(unsigned Flags) const;
    // DT_RTLREADING when the text reads from the right, else 0.
    unsigned DrawTextBiDiModeFlagsReadingOnly() const;

    void InvalidateCell(int ACol, int ARow);
    void InvalidateCol(int ACol);
    void InvalidateRow(int ARow);
    void InvalidateGrid() { Invalidate(); }
    void InvalidateEditor();

    // Text the in-place editor is loaded with, and where its text goes back.
    virtual std::string GetEditText(int ACol, int ARow);
    virtual void SetEditText(int ACol, int ARow, const std::string& Value);
    virtual std::string GetEditMask(int ACol, int ARow);
    // Characters the editor accepts (0: no limit; -1: read-only).
    virtual int GetEditLimit();
    virtual bool CanEditModify();

    // Moves column (row) FromIndex to ToIndex with its width (height) and cells.
    void MoveColumn(int FromIndex, int ToIndex);
    void MoveRow(int FromIndex, int ToIndex);
    // Deleted rows and columns leave the store with their cells (their objects are released).
    void DeleteColumn(int ACol);
    void DeleteRow(int ARow);
    // Count empty rows of the default height at ARow (0 <= ARow <= RowCount), and the removal
    // of Count rows from ARow; each in one step whatever Count is.
    void InsertRows(int ARow, int Count);
    void DeleteRows(int ARow, int Count);
    // Rows A and B change places with their heights and cells.
    void ExchangeRows(int A, int B);

    // --- column index spaces --------------------------------------------------------------
    // The platform grid counts display columns (Col, LeftCol, Selection, ColWidths, cell
    // rectangles, painting, invalidation, the editor's cell); the cell store counts real
    // columns. A descendant that hides columns maps the two here; without hidden columns both
    // are the same. TotalColCount is the number of real columns.
    virtual int RealColIndex(int DisplCol) { return DisplCol; }
    virtual int DisplColIndex(int RealCol) { return RealCol; }
    virtual int TotalColCount() const { return colCount_; }

protected:
    // --- overridable steps -----------------------------------------------------------------
    // Whether (ACol, ARow) may become the current cell.
    virtual bool SelectCell(int ACol, int ARow);
    virtual void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) = 0;
    void Paint() override;
    virtual void TopLeftChanged();
    virtual void SizeChanged(int OldColCount, int OldRowCount);
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    // Before a checked move (display indexes), and after it.
    virtual void ColumnMoving(int /*FromIndex*/, int /*ToIndex*/) {}
    virtual void RowMoving(int /*FromIndex*/, int /*ToIndex*/) {}
    virtual void ColumnMoved(int FromIndex, int ToIndex);
    virtual void RowMoved(int FromIndex, int ToIndex);
    virtual TInplaceEdit* CreateEditor();
    virtual bool CanEditShow();
    virtual bool CanEditAcceptKey(char32_t Key);
    virtual bool CanGridAcceptKey(WORD Key, TShiftState Shift);
    // Whether the mouse at (X, Y) lies on a column or row border that can be dragged.
    virtual void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos,
                                 int& SizingOfs, TGridDrawInfo& FixedInfo);
    virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
    // The editor's key the grid handles instead of the editor.
    virtual void KeyDownFromEditor(WORD& Key, TShiftState Shift) { KeyDown(Key, Shift); }
    // Paints the scroll bars over the client area's edges.
    virtual void PaintScrollBars(TCanvas* ACanvas);
    // True when DrawCell fills each cell's whole rectangle even without default drawing: the
    // paint then fills only what lies beyond the cells, as with default drawing.
    virtual bool CellsCoverTheirArea() const { return false; }
    // The store tells the grid when cells leave it for good, before they go: rows (display
    // indexes) deleted or cut off by a lower RowCount, and real columns deleted or cut off by a
    // lower column count. Their objects are released by the store's object deleter afterwards.
    virtual void RowsLeaving(int /*First*/, int /*Count*/) {}
    virtual void ColsLeaving(int /*RealFirst*/, int /*Count*/) {}
    // Rows taken out of the store with their records and put back (hiding rows): the grid
    // closes up or opens the rows, its current cell and top row follow, nothing is released.
    TGridRowBlock TakeRows(int ARow, int Count);
    // Takes the rows at the ascending, distinct indexes Rows out at once (fewer than RowCount).
    TGridRowBlock TakeRowList(const std::vector<int>& Rows);
    void PutRows(int ARow, TGridRowBlock&& Block);
    // The records themselves, for reading and writing cells. Rows are added, removed and moved
    // through the grid's operations (they keep RowCount, the current cell and the layout in
    // step) and heights through SetRowHeights (the layout counts rows of the default height).
    TGridRowStore& RowStore() { return rows_; }
    const TGridRowStore& RowStore() const { return rows_; }

    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void Resize() override;
    void DoExit() override;

    void WMChar(TWMKey& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMSetFocus(TWMSetFocus& Message) override;
    void WMKillFocus(TWMKillFocus& Message) override;
    void WMTimer(TWMTimer& Message) override;
    void WMCancelMode(TWMNoParams& Message) override;
    void Dispatch(TMessage& Message) override;
    virtual void WMHScroll(TWMScroll& Message);
    virtual void WMVScroll(TWMScroll& Message);

    // --- helpers for the descendants --------------------------------------------------------
    void CalcDrawInfo(TGridDrawInfo& DrawInfo);
    void CalcFixedInfo(TGridDrawInfo& DrawInfo);
    TGridCoord CalcCoordFromPoint(int X, int Y, const TGridDrawInfo& DrawInfo);
    // Client rectangle covering the cells from (ALeft, ATop) to (ARight, ABottom), as shown.
    TRect BoxRect(int ALeft, int ATop, int ARight, int ABottom);
    void InvalidateRect(const TGridRect& ARect);
    // Makes (ACol, ARow) current (MoveAnchor: the selection collapses to it).
    void FocusCell(int ACol, int ARow, bool MoveAnchor);
    void MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show);
    void MoveAnchor(const TGridCoord& NewAnchor);
    void MoveTopLeft(int ALeft, int ATop);
    void ClampInView(const TGridCoord& Coord);
    // Largest LeftCol and TopRow that still show the last column and row.
    TGridCoord CalcMaxTopLeft(const TGridCoord& Coord, const TGridDrawInfo& DrawInfo);
    // The in-place editor's life: every show, hide and placement of the editor goes through
    // these, so that a descendant can put another control in its place. EditorShowing answers
    // whether an editor covers the current cell (no focus rectangle is painted then).
    virtual void ShowEditor();
    virtual void HideEditor();
    void ShowEditorChar(char32_t Ch);
    virtual void UpdateEdit();
    void UpdateText();
    virtual void HideEdit();
    virtual bool EditorShowing() const;
    void UpdateScrollRange();
    void UpdateScrollPos();
    bool IsActiveControl();

    TGridState FGridState = gsNormal;
    TInplaceEdit* FInplaceEdit = nullptr;
    int FInplaceCol = -1;
    int FInplaceRow = -1;
    // Column or row being sized or moved.
    int FSizingIndex = 0;
    int FSizingPos = 0;
    int FSizingOfs = 0;
    int FMoveIndex = 0;
    int FMovePos = 0;
    bool FCanEditModify = true;

private:
    void changeSize(int newColCount, int newRowCount);
    void modifyScrollBar(bool vertical, WORD code, int pos);
    void selectionMoved(const TGridRect& oldSel);
    void dragScroll();
    void drawSizingLine();
    void clampPositions();
    bool cellShown(int c, int r);
    // Scroll bars: parts (0 none, 1 back arrow, 2 page back, 3 thumb, 4 page forward,
    // 5 forward arrow) and their rectangles.
    TRect scrollBarRect(bool vertical) const;
    int cellAreaLeft() const;
    TRect thumbRect(bool vertical) const;
    int scrollBarPart(bool vertical, TPoint p) const;
    int thumbLength(bool vertical) const;
    void fixedAxis(TGridAxisDrawInfo& a, bool vertical);
    // Thumb positions for the current top left cell, given the largest one.
    void setThumbs(const TGridCoord& maxTL);
    // Position (of the bar's own range) for a thumb start `at` pixels into the track.
    int thumbPosAt(bool vertical, int at) const;
    bool scrollBarMouseDown(TPoint p);
    void sendScroll(bool vertical, WORD code, int pos = 0);

    int colCount_ = 5;
    int rowCount_ = 5;
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    int gridLineWidth_ = 1;
    std::vector<int> colWidths_;
    // Row records: heights other than the default and, in a string grid, the cells.
    TGridRowStore rows_;
    struct ColExtents final : TGridExtents {
        const TCustomGrid* g;
        explicit ColExtents(const TCustomGrid* grid) : g(grid) {}
        int Extent(int i) const override { return g->colWidths_[std::size_t(i)]; }
        int Uniform() const override { return g->customColWidths_ ? -1 : g->defaultColWidth_; }
    } colExtents_{this};
    struct RowExtents final : TGridExtents {
        const TCustomGrid* g;
        explicit RowExtents(const TCustomGrid* grid) : g(grid) {}
        int Extent(int i) const override {
            const TGridRow* row = g->rows_.Get(i);
            return row && row->Height >= 0 ? row->Height : g->defaultRowHeight_;
        }
        // Every height written goes through SetRowHeights or PutRows, which mark it.
        int Uniform() const override { return g->customRowHeights_ ? -1 : g->defaultRowHeight_; }
    } rowExtents_{this};
    std::vector<bool> tabStops_;
    TGridOptions options_{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    bool defaultDrawing_ = true;
    TColor fixedColor_ = clBtnFace;
    TScrollStyle scrollBars_ = ssBoth;
    TGridCoord current_{1, 1};
    TGridCoord anchor_{1, 1};
    TGridCoord topLeft_{1, 1};
    bool editorMode_ = false;
    TGridScrollBar hScroll_;
    TGridScrollBar vScroll_;
    TGridScrollBarShow hShow_ = sbsAuto;
    TGridScrollBarShow vShow_ = sbsAuto;
    int updateLock_ = 0;
    bool pendingInvalidate_ = false;
    bool pendingScrollRange_ = false;
    TPoint lastMouse_;
    bool timerRunning_ = false;
    bool sizingLineShown_ = false;
    // A thumb being dragged: its bar and the pointer's offset into the thumb.
    int thumbDrag_ = 0; // 0 none, 1 horizontal, 2 vertical
    int thumbDragOfs_ = 0;
    int thumbDragPos_ = 0;
    bool customColWidths_ = false;
    bool customRowHeights_ = false;
    friend class TInplaceEdit;
};

using TDrawCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, std::string& Value)>;
using TSetEditEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, const std::string& Value)>;
using TMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;

// A grid whose cells are painted by OnDrawCell.
class TDrawGrid : public TCustomGrid {
public:
    explicit TDrawGrid(TComponent* AOwner);

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TNotifyEvent OnTopLeftChanged;
    TGetEditEvent OnGetEditText;
    TGetEditEvent OnGetEditMask;
    TSetEditEvent OnSetEditText;
    TMovedEvent OnColumnMoved;
    TMovedEvent OnRowMoved;

    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
    std::string GetEditMask(int ACol, int ARow) override;

protected:
    void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
    void TopLeftChanged() override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;
};

// A grid with a text and an object slot per cell. The cells live in the row records of the
// grid's row store, so that inserting, deleting and moving rows moves records, not cells.
// Cells are addressed by real column index (see RealColIndex); the editor's text, the default
// drawing and the repaint of a written cell translate to and from display columns.
class TStringGrid : public TDrawGrid {
public:
    explicit TStringGrid(TComponent* AOwner);
    ~TStringGrid() override;

    // Reading outside the grid answers an empty text (nil object). Writing needs a row inside
    // the grid and a column of 0 or more; columns beyond ColCount are kept until the column
    // count is lowered.
    const std::string& Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const std::string& Value);
    TObject* Objects(int ACol, int ARow) const;
    void SetObjects(int ACol, int ARow, TObject* Value);

    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;

protected:
    void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;

private:
    TGridCell& cellFor(int ACol, int ARow);
    void cellChanged(int ACol, int ARow);
    int editUpdate_ = 0;
};
