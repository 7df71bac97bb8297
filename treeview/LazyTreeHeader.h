#pragma once
// The tree's header: its options and states, the column model and the sort column.
#include "treeview/LazyTreeTypes.h"

#include "platform/base/Classes.h"
#include "platform/base/Types.h"
#include "shell/frame/PbButton.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TBaseLazyTree;
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
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

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

private:
    friend class TLazyTreeColumns;
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

protected:
    void Update(TCollectionItem* Item) override;

private:
    friend class TLazyTreeColumn;
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
    TNotifyEvent OnChange;

private:
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

class TLTHeader : public TPersistent {
public:
    explicit TLTHeader(TBaseLazyTree* AOwner);
    ~TLTHeader() override;
    TBaseLazyTree* Treeview() const { return FOwner; }
    TLazyTreeColumns* Columns() const { return FColumns.get(); }
    int ColumnCount() const { return FColumns->Count(); }
    bool UseColumns() const { return FColumns->Count() > 0; }
    TLTFixedAreaConstraints* FixedAreaConstraints() const { return FConstraints.get(); }

    TLTHeaderOptions Options() const { return FOptions; }
    void SetOptions(TLTHeaderOptions Value) { FOptions = Value; }
    THeaderStates States() const { return FStates; }
    void ChangeStates(THeaderStates Enter, THeaderStates Leave) {
        FStates = (FStates - Leave) + Enter;
    }
    int Height() const { return FHeight; }
    TColumnIndex AutoSizeIndex() const { return FAutoSizeIndex; }
    void SetAutoSizeIndex(TColumnIndex Value) { FAutoSizeIndex = Value; }
    // -1 while there are no columns.
    TColumnIndex MainColumn() const { return UseColumns() ? FMainColumn : NoColumnIndex; }
    // Limited to 0 .. count - 1.
    void SetMainColumn(TColumnIndex Value);

    TColumnIndex SortColumn() const { return FSortColumn; }
    void SetSortColumn(TColumnIndex Value);
    TSortDirection SortDirection() const { return FSortDirection; }
    void SetSortDirection(TSortDirection Value);

protected:
    // Limits Value to -1 .. count - 1 and sorts the tree by it where the options ask for that.
    virtual void ApplySortColumn(TColumnIndex Value);

private:
    // With toAutoSort or hoHeaderClickAutoSort, outside an update bracket.
    void sortTreeWhenWanted();
    friend class TLazyTreeColumn;
    friend class TLazyTreeColumns;
    TBaseLazyTree* FOwner;
    std::unique_ptr<TLazyTreeColumns> FColumns;
    std::unique_ptr<TLTFixedAreaConstraints> FConstraints;
    int FHeight = 19;
    TColumnIndex FAutoSizeIndex = 0;
    TColumnIndex FMainColumn = NoColumnIndex;
    TLTHeaderOptions FOptions{hoColumnResize, hoDrag, hoShowSortGlyphs};
    THeaderStates FStates;
    TColumnIndex FSortColumn = NoColumnIndex;
    TSortDirection FSortDirection = sdAscending;
};
