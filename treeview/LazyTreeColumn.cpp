// Header columns: a column's settings with their limits, its place in the display order, and
// its record in the header stream; the collection's position map.
#include "treeview/LazyTree.h"
#include "treeview/TreeStreamIO.h"

#include <algorithm>
#include <cmath>

namespace {

bool isLoading(const TBaseLazyTree* Tree) {
    return Tree->ComponentState() & csLoading;
}

// An index after a deletion: the deleted one becomes -1, later ones move down.
void adjustIndex(TColumnIndex& Index, TColumnIndex Deleted) {
    if (Index == Deleted)
        Index = NoColumnIndex;
    else if (Index > Deleted)
        --Index;
}

} // namespace

// --- the column -------------------------------------------------------------------------------

TLazyTreeColumn::TLazyTreeColumn(TCollection* Collection) : TCollectionItem(Collection) {
    TLazyTreeColumns* columns = Owner();
    FWidth = FLastWidth = columns->DefaultWidth();
    // The collection adds the new column after this constructor: it is the last one.
    FPosition = TColumnPosition(columns->Count());
    ParentBiDiModeChanged();
    ParentColorChanged();
}

TLazyTreeColumn::~TLazyTreeColumn() {
    TLazyTreeColumns* columns = Owner();
    if (!columns || columns->FClearing) return;
    const TColumnIndex index = Index();
    if (index < 0) return;
    columns->renumberPositionMap(index);
    adjustIndex(columns->FHoverIndex, index);
    adjustIndex(columns->FDownIndex, index);
    adjustIndex(columns->FTrackIndex, index);
    adjustIndex(columns->FClickIndex, index);
    TLTHeader* h = header();
    adjustIndex(h->FAutoSizeIndex, index);
    adjustIndex(h->FSortColumn, index);
    // The main column goes to the first remaining column.
    if (h->FMainColumn == index)
        h->FMainColumn = columns->Count() > 1 ? 0 : NoColumnIndex;
    else if (h->FMainColumn > index)
        --h->FMainColumn;
}

TLazyTreeColumns* TLazyTreeColumn::Owner() const {
    return static_cast<TLazyTreeColumns*>(Collection());
}
TLTHeader* TLazyTreeColumn::header() const {
    return Owner()->Header();
}
TBaseLazyTree* TLazyTreeColumn::tree() const {
    return header()->Treeview();
}
void TLazyTreeColumn::repaintTree() const {
    tree()->Invalidate();
}

void TLazyTreeColumn::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    changed();
    repaintTree();
}

void TLazyTreeColumn::SetBiDiMode(TBiDiMode Value) {
    if (Value == FBiDiMode) return;
    FBiDiMode = Value;
    FOptions.Exclude(coParentBidiMode);
    changed();
    repaintTree();
}

TAlignment TLazyTreeColumn::CaptionAlignment() const {
    return FOptions.Contains(coUseCaptionAlignment) ? FCaptionAlignment : FAlignment;
}

void TLazyTreeColumn::SetCaptionAlignment(TAlignment Value) {
    if (FOptions.Contains(coUseCaptionAlignment) && Value == FCaptionAlignment) return;
    FCaptionAlignment = Value;
    FOptions.Include(coUseCaptionAlignment);
    changed();
    header()->Invalidate(Index());
}

void TLazyTreeColumn::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    FOptions.Exclude(coParentColor);
    changed();
    repaintTree();
}

void TLazyTreeColumn::SetCheckBox(bool Value) {
    if (Value == FCheckBox) return;
    FCheckBox = Value;
    changed();
}

// Setters that store and mark the column changed.
#define KNX_COLUMN_SETTER(Name, Type, Field)                                                       \
    void TLazyTreeColumn::Set##Name(Type Value) {                                                  \
        if (Value == Field) return;                                                                \
        Field = Value;                                                                             \
        changed();                                                                                 \
    }
KNX_COLUMN_SETTER(CheckState, TCheckState, FCheckState)
KNX_COLUMN_SETTER(CheckType, TCheckType, FCheckType)
KNX_COLUMN_SETTER(ImageIndex, int, FImageIndex)
KNX_COLUMN_SETTER(Layout, TLTHeaderColumnLayout, FLayout)
KNX_COLUMN_SETTER(Spacing, int, FSpacing)
KNX_COLUMN_SETTER(Style, TLazyTreeColumnStyle, FStyle)
#undef KNX_COLUMN_SETTER

void TLazyTreeColumn::SetMargin(int Value) {
    if (Value < 0) Value = 4;
    if (Value == FMargin) return;
    FMargin = Value;
    changed();
}

void TLazyTreeColumn::SetMinWidth(int Value) {
    FMinWidth = std::min(std::max(Value, 0), FMaxWidth);
    SetWidth(FWidth);
}

void TLazyTreeColumn::SetMaxWidth(int Value) {
    FMaxWidth = std::max(Value, FMinWidth);
    SetWidth(FWidth);
}

void TLazyTreeColumn::SetText(const std::string& Value) {
    if (Value == FText) return;
    FText = Value;
    FCaptionText.clear();
    changed();
}

void TLazyTreeColumn::SetWidth(int Value) {
    TLTHeader* h = header();
    TLazyTreeColumns* columns = Owner();
    if (!h->States().Contains(hsScaling)) {
        if (FOptions.ContainsAll({coVisible, coFixed})) {
            // The fixed area as a whole keeps within its own limits.
            int sumMax = 0, sumMin = 0;
            for (int i = 0; i < columns->Count(); ++i) {
                const TLazyTreeColumn* c = columns->Items(i);
                if (!c->FOptions.ContainsAll({coVisible, coFixed})) continue;
                sumMax += c->FMaxWidth;
                sumMin += c->FMinWidth;
            }
            const int cw = tree()->ClientWidth();
            const int others = columns->GetVisibleFixedWidth() - FWidth;
            const int maxP = h->FixedAreaConstraints()->MaxWidthPercent();
            const int minP = h->FixedAreaConstraints()->MinWidthPercent();
            if (maxP > 0) sumMin = std::min(sumMin, cw * maxP / 100);
            if (minP > 0) sumMax = std::max(sumMax, cw * minP / 100);
            Value = std::min(std::max(Value, std::max(sumMin - others, FMinWidth)),
                             std::min(sumMax - others, FMaxWidth));
            if (minP > 0) Value = std::max(Value, cw * minP / 100 - others);
            if (maxP > 0) Value = std::min(Value, cw * maxP / 100 - others);
        } else {
            Value = std::min(std::max(Value, FMinWidth), FMaxWidth);
        }
    }
    if (Value == FWidth) return;
    FLastWidth = FWidth;
    if (!h->States().Contains(hsResizing)) FBonusPixel = false;
    // The auto-size column takes its width from the room the others leave.
    if (!(h->Options().Contains(hoAutoResize) && h->AutoSizeIndex() == Index())) {
        FWidth = Value;
        columns->RecomputeColumnLefts(false);
    }
    if (!isLoading(tree()) && columns->UpdateCount() == 0) tree()->ColumnResized(Index());
}

void TLazyTreeColumn::SetOptions(TLTColumnOptions Value) {
    if (Value == FOptions) return;
    const TLTColumnOptions toSet = Value - FOptions, toClear = FOptions - Value;
    FOptions = Value;
    if (toSet.Contains(coParentBidiMode)) ParentBiDiModeChanged();
    if (toSet.Contains(coParentColor)) ParentColorChanged();
    if (toSet.Contains(coAutoSpring)) FSpringRest = 0;
    if ((toSet.Contains(coFixed) || toClear.Contains(coFixed)) && FOptions.Contains(coVisible))
        header()->ApplyAreaConstraints();
    changed();
    TBaseLazyTree* t = tree();
    const bool visibility = toSet.Contains(coVisible) || toClear.Contains(coVisible);
    if (!isLoading(t) && t->UpdateCount() == 0 && t->HandleAllocated() &&
        (visibility || toSet.Contains(coParentColor))) {
        t->Invalidate();
        if (visibility) t->UpdateHorizontalScrollBar(false);
    }
}

void TLazyTreeColumn::SetPosition(TColumnPosition Value) {
    TLazyTreeColumns* columns = Owner();
    if (isLoading(tree())) {
        FPosition = Value;
        return;
    }
    Value = std::min(Value, TColumnPosition(columns->Count() - 1));
    if (Value == FPosition) return;
    columns->syncPositionMapSize();
    columns->movePositionEntry(Index(), Value);
    changed();
    if (columns->UpdateCount() == 0 && tree()->HandleAllocated()) {
        header()->Invalidate(Index());
        repaintTree();
    }
    // Fixed columns stay together at the left: take the neighbour's fixed state.
    const TColumnIndex neighbour = FOptions.Contains(coFixed) && Value > 0
                                       ? columns->ColumnFromPosition(Value - 1)
                                       : columns->ColumnFromPosition(Value + 1);
    if (neighbour >= 0) {
        TLTColumnOptions options = FOptions;
        if (columns->Items(neighbour)->FOptions.Contains(coFixed))
            options.Include(coFixed);
        else
            options.Exclude(coFixed);
        SetOptions(options);
    }
}

int TLazyTreeColumn::Left() const {
    if (FOptions.ContainsAll({coVisible, coFixed})) return FLeft;
    return FLeft - tree()->EffectiveOffsetX();
}

TRect TLazyTreeColumn::GetRect() const {
    return TRect{FLeft, 0, FLeft + FWidth, header()->Height()};
}

void TLazyTreeColumn::GetUnscrolledBounds(int& ALeft, int& ARight) const {
    ALeft = FLeft;
    ARight = FLeft + FWidth;
}

void TLazyTreeColumn::ParentBiDiModeChanged() {
    if (!FOptions.Contains(coParentBidiMode)) return;
    const TBiDiMode mode = tree()->BiDiMode();
    if (mode == FBiDiMode) return;
    FBiDiMode = mode;
    changed();
}

void TLazyTreeColumn::ParentColorChanged() {
    if (!FOptions.Contains(coParentColor)) return;
    const TColor color = tree()->Color();
    if (color == FColor) return;
    FColor = color;
    changed();
}

void TLazyTreeColumn::Assign(const TPersistent* Source) {
    const auto* src = dynamic_cast<const TLazyTreeColumn*>(Source);
    if (!src) {
        TCollectionItem::Assign(Source);
        return;
    }
    const TLTColumnOptions saved = FOptions;
    FOptions = {};
    SetBiDiMode(src->BiDiMode());
    SetImageIndex(src->ImageIndex());
    SetLayout(src->Layout());
    SetMargin(src->Margin());
    SetMaxWidth(src->MaxWidth());
    SetMinWidth(src->MinWidth());
    SetPosition(src->Position());
    SetSpacing(src->Spacing());
    SetStyle(src->Style());
    SetText(src->Text());
    FHint = src->FHint;
    SetWidth(src->Width());
    SetAlignment(src->Alignment());
    SetCaptionAlignment(src->CaptionAlignment());
    SetColor(src->Color());
    FTag = src->FTag;
    FOptions = saved;
    SetOptions(src->Options());
    changed();
}

bool TLazyTreeColumn::Equals(const TLazyTreeColumn* Other) const {
    return Other && FBiDiMode == Other->FBiDiMode && FImageIndex == Other->FImageIndex &&
           FLayout == Other->FLayout && FMargin == Other->FMargin &&
           FMaxWidth == Other->FMaxWidth && FMinWidth == Other->FMinWidth &&
           FPosition == Other->FPosition && FSpacing == Other->FSpacing &&
           FStyle == Other->FStyle && Text() == Other->Text() && FHint == Other->FHint &&
           FWidth == Other->FWidth && FAlignment == Other->FAlignment &&
           CaptionAlignment() == Other->CaptionAlignment() && FColor == Other->FColor &&
           FTag == Other->FTag && FOptions == Other->FOptions;
}

std::string TLazyTreeColumn::DisplayName() const {
    const std::string text = Text();
    for (char32_t c : Utf8ToUtf32(text))
        if (c > 0xFF) return "Column " + std::to_string(Index());
    return text;
}

void TLazyTreeColumn::SaveToStream(TStream& Stream) const {
    for (const std::string* s : {&FText, &FHint}) {
        const std::u16string wide = Utf8ToWide(*s);
        WriteLE<std::int32_t>(Stream, std::int32_t(wide.size()));
        WriteUtf16(Stream, wide);
    }
    for (std::int32_t v :
         {FWidth, FMinWidth, FMaxWidth, std::int32_t(FStyle), FImageIndex, std::int32_t(FLayout),
          FMargin, FSpacing, std::int32_t(FBiDiMode), std::int32_t(FOptions.ToBits()),
          std::int32_t(FTag), std::int32_t(FAlignment), std::int32_t(FColor)})
        WriteLE<std::int32_t>(Stream, v);
    if (FOptions.Contains(coUseCaptionAlignment))
        WriteLE<std::int32_t>(Stream, std::int32_t(FCaptionAlignment));
}

void TLazyTreeColumn::LoadFromStream(TStream& Stream, int Version) {
    auto readText = [&Stream] {
        return WideToUtf8(ReadUtf16(Stream, ReadLE<std::int32_t>(Stream)));
    };
    auto readInt = [&Stream] { return ReadLE<std::int32_t>(Stream); };
    // Enumerations out of range read as their first value.
    auto enumValue = [](std::int32_t v, int Last) { return v >= 0 && v <= Last ? v : 0; };
    SetText(readText());
    FHint = readText();
    SetWidth(readInt());
    SetMinWidth(readInt());
    SetMaxWidth(readInt());
    SetStyle(TLazyTreeColumnStyle(enumValue(readInt(), vsOwnerDraw)));
    SetImageIndex(readInt());
    SetLayout(TLTHeaderColumnLayout(enumValue(readInt(), blGlyphBottom)));
    SetMargin(readInt());
    SetSpacing(readInt());
    SetBiDiMode(TBiDiMode(enumValue(readInt(), bdRightToLeftReadingOnly)));
    std::uint32_t options = std::uint32_t(readInt());
    if (Version >= 3)
        options &= 0xFFFF;
    else if (Version == 2)
        options &= 0xFF;
    else // a member was inserted at bit 4 since
        options = (options & 0x0F) | ((options << 1) & 0xE0);
    SetOptions(TLTColumnOptions::FromBits(std::uint16_t(options)));
    if (Version > 0) {
        SetTag(readInt());
        SetAlignment(TAlignment(enumValue(readInt(), taCenter)));
    }
    if (Version > 1) SetColor(TColor(readInt()));
    if (Version > 5 && FOptions.Contains(coUseCaptionAlignment))
        SetCaptionAlignment(TAlignment(enumValue(readInt(), taCenter)));
}

// --- the collection ---------------------------------------------------------------------------

TLazyTreeColumns::TLazyTreeColumns(TLTHeader* AHeader)
    : TCollection([this](TCollection*) { return FHeader->Treeview()->ColumnClass(this); }),
      FHeader(AHeader) {}

TLazyTreeColumns::~TLazyTreeColumns() {
    // The tree is going: the columns leave without adjusting anything.
    FClearing = true;
    BeginUpdate();
    TCollection::Clear();
}

void TLazyTreeColumns::Clear() {
    FClearing = true;
    FHoverIndex = FDownIndex = FTrackIndex = FClickIndex = NoColumnIndex;
    if (!FHeader->States().Contains(hsLoading)) {
        FHeader->FAutoSizeIndex = NoColumnIndex;
        FHeader->FMainColumn = NoColumnIndex;
        FHeader->FSortColumn = NoColumnIndex;
    }
    if (!isLoading(FHeader->Treeview())) FHeader->Treeview()->SetFocusedColumn(NoColumnIndex);
    TCollection::Clear();
    FPositionToIndex.clear();
    FClearing = false;
}

TColumnIndex TLazyTreeColumns::ColumnFromPosition(TColumnPosition PositionIndex) const {
    return PositionIndex < FPositionToIndex.size() ? FPositionToIndex[PositionIndex]
                                                   : NoColumnIndex;
}

int TLazyTreeColumns::GetVisibleFixedWidth() const {
    int width = 0;
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->FOptions.ContainsAll({coVisible, coFixed})) width += Items(i)->FWidth;
    return width;
}

void TLazyTreeColumns::syncPositionMapSize() {
    const std::size_t count = std::size_t(Count());
    while (FPositionToIndex.size() < count)
        FPositionToIndex.push_back(TColumnIndex(FPositionToIndex.size()));
    if (FPositionToIndex.size() > count) {
        FPositionToIndex.resize(count);
        for (TColumnIndex& entry : FPositionToIndex)
            while (entry >= TColumnIndex(count)) --entry;
    }
}

void TLazyTreeColumns::movePositionEntry(TColumnIndex Column, TColumnPosition NewPosition) {
    const TColumnPosition old = Items(Column)->FPosition;
    if (old == NewPosition || old >= FPositionToIndex.size()) return;
    FPositionToIndex.erase(FPositionToIndex.begin() + old);
    FPositionToIndex.insert(FPositionToIndex.begin() + NewPosition, Column);
}

void TLazyTreeColumns::renumberPositionMap(TColumnIndex DeletedIndex) {
    auto at = std::find(FPositionToIndex.begin(), FPositionToIndex.end(), DeletedIndex);
    if (at != FPositionToIndex.end()) FPositionToIndex.erase(at);
    for (TColumnIndex& entry : FPositionToIndex)
        if (entry > DeletedIndex) --entry;
}

void TLazyTreeColumns::RecomputeColumnLefts(bool Force) {
    if (FNeedPositionsFix || (!Force && UpdateCount() > 0)) return;
    int left = 0;
    for (std::size_t p = 0; p < FPositionToIndex.size(); ++p) {
        TLazyTreeColumn* c = Items(FPositionToIndex[p]);
        c->FPosition = TColumnPosition(p);
        c->FLeft = left;
        if (c->FOptions.Contains(coVisible)) left += c->FWidth;
    }
    FHeader->Treeview()->UpdateHorizontalScrollBar(false);
}

void TLazyTreeColumns::ResetPositionOrder(bool RightToLeft) {
    syncPositionMapSize();
    const int count = int(FPositionToIndex.size());
    for (int p = 0; p < count; ++p)
        FPositionToIndex[std::size_t(p)] = RightToLeft ? count - 1 - p : p;
    RecomputeColumnLefts(true);
}

void TLazyTreeColumns::Update(TCollectionItem* Item) {
    syncPositionMapSize();
    if (isLoading(FHeader->Treeview()))
        FNeedPositionsFix = true;
    else
        RecomputeColumnLefts(false);
    if (FHeader->FMainColumn < 0 && Count() > 0) FHeader->FMainColumn = 0;
    TBaseLazyTree* tree = FHeader->Treeview();
    if (!isLoading(tree) && !FHeader->States().Contains(hsLoading)) {
        if (FHeader->Options().Contains(hoAutoResize)) FitAutoSizeColumn(false);
        if (Item) {
            FHeader->Invalidate(Item->Index());
        } else if (tree->HandleAllocated()) {
            tree->UpdateHorizontalScrollBar(false);
            FHeader->Invalidate();
            tree->Invalidate();
        }
    }
    TCollection::Update(Item);
}

// --- fixed-area constraints -------------------------------------------------------------------

void TLTFixedAreaConstraints::SetConstraints(int Index, std::uint8_t Value) {
    Value = std::min<std::uint8_t>(Value, 100);
    std::uint8_t* fields[] = {&FMaxHeightPercent, &FMaxWidthPercent, &FMinHeightPercent,
                              &FMinWidthPercent};
    if (Index < 0 || Index > 3 || *fields[Index] == Value) return;
    *fields[Index] = Value;
    std::uint8_t& other = *fields[(Index + 2) % 4];
    if (Index < 2 && Value > 0 && other > Value) other = Value;  // a maximum lowers the minimum
    if (Index >= 2 && other > 0 && other < Value) other = Value; // a minimum raises the maximum
    if (OnChange) OnChange(this);
}

void TLazyTreeColumn::RestoreLastWidth() {
    Owner()->AnimatedResize(Index(), FLastWidth);
}

// --- collection: copying, positions after loading ----------------------------------------------

void TLazyTreeColumns::ApplyStoredPositions() {
    syncPositionMapSize();
    for (int i = 0; i < Count(); ++i) {
        const TColumnPosition p = Items(i)->FPosition;
        if (p < FPositionToIndex.size()) FPositionToIndex[p] = i;
    }
    FNeedPositionsFix = false;
    RecomputeColumnLefts(true);
}

void TLazyTreeColumns::Assign(const TPersistent* Source) {
    const auto* src = dynamic_cast<const TLazyTreeColumns*>(Source);
    if (!src) {
        TCollection::Assign(Source);
        return;
    }
    BeginUpdate();
    Clear();
    for (int i = 0; i < src->Count(); ++i) Add()->Assign(src->Items(i));
    FPositionToIndex = src->FPositionToIndex;
    FNeedPositionsFix = false;
    EndUpdate();
    RecomputeColumnLefts(true);
}

bool TLazyTreeColumns::Equals(const TLazyTreeColumns* Other) const {
    if (!Other || Other->Count() != Count() || Other->FPositionToIndex != FPositionToIndex)
        return false;
    for (int i = 0; i < Count(); ++i)
        if (!Items(i)->Equals(Other->Items(i))) return false;
    return true;
}

// --- geometry and navigation ---------------------------------------------------------------------

TColumnIndex TLazyTreeColumns::ColumnAndBoundsAt(TPoint P, int& ALeft, int& ARight,
                                                 bool Relative) const {
    const TBaseLazyTree* tree = FHeader->Treeview();
    int sum = 0;
    if (Relative && P.X >= GetVisibleFixedWidth()) sum = -tree->EffectiveOffsetX();
    sum += tree->ColumnsRightToLeftOffset();
    // Left of the first column (a mirrored tree's columns may start right of 0).
    if (P.X < sum) return InvalidColumnIndex;
    for (TColumnIndex index : FPositionToIndex) {
        const TLazyTreeColumn* c = Items(index);
        if (!c->FOptions.Contains(coVisible)) continue;
        if (P.X < sum + c->FWidth) {
            ALeft = sum;
            ARight = sum + c->FWidth;
            return index;
        }
        sum += c->FWidth;
    }
    return InvalidColumnIndex;
}

TColumnIndex TLazyTreeColumns::ColumnFromPosition(TPoint P, bool Relative) const {
    if (P.X < 0 || P.Y < 0 || P.Y > FHeader->Treeview()->Height()) return InvalidColumnIndex;
    int l = 0, r = 0;
    return ColumnAndBoundsAt(P, l, r, Relative);
}

void TLazyTreeColumns::GetColumnBounds(TColumnIndex Column, int& ALeft, int& ARight) const {
    if (Column < 0 || !IsValidColumn(Column)) {
        ALeft = 0;
        ARight = FHeader->Treeview()->ClientWidth();
        return;
    }
    ALeft = Items(Column)->Left() + FHeader->Treeview()->ColumnsRightToLeftOffset();
    ARight = ALeft + Items(Column)->FWidth;
}

TColumnIndex TLazyTreeColumns::GetFirstColumn() const {
    return FPositionToIndex.empty() ? InvalidColumnIndex : FPositionToIndex.front();
}

TColumnIndex TLazyTreeColumns::GetNextColumn(TColumnIndex Column) const {
    if (!IsValidColumn(Column)) return InvalidColumnIndex;
    const TColumnPosition p = Items(Column)->FPosition + 1;
    return p < FPositionToIndex.size() ? FPositionToIndex[p] : InvalidColumnIndex;
}

TColumnIndex TLazyTreeColumns::GetPreviousColumn(TColumnIndex Column) const {
    if (!IsValidColumn(Column) || Items(Column)->FPosition == 0) return InvalidColumnIndex;
    return FPositionToIndex[Items(Column)->FPosition - 1];
}

namespace {
bool qualifies(const TLazyTreeColumn* c, bool ConsiderAllowFocus) {
    return c->Options().Contains(coVisible) &&
           (!ConsiderAllowFocus || c->Options().Contains(coAllowFocus));
}
} // namespace

TColumnIndex TLazyTreeColumns::GetFirstVisibleColumn(bool ConsiderAllowFocus) const {
    for (TColumnIndex index : FPositionToIndex)
        if (qualifies(Items(index), ConsiderAllowFocus)) return index;
    return InvalidColumnIndex;
}

TColumnIndex TLazyTreeColumns::GetLastVisibleColumn(bool ConsiderAllowFocus) const {
    for (auto p = FPositionToIndex.rbegin(); p != FPositionToIndex.rend(); ++p)
        if (qualifies(Items(*p), ConsiderAllowFocus)) return *p;
    return InvalidColumnIndex;
}

TColumnIndex TLazyTreeColumns::GetNextVisibleColumn(TColumnIndex Column,
                                                    bool ConsiderAllowFocus) const {
    do Column = GetNextColumn(Column);
    while (Column >= 0 && !qualifies(Items(Column), ConsiderAllowFocus));
    return Column;
}

TColumnIndex TLazyTreeColumns::GetPreviousVisibleColumn(TColumnIndex Column,
                                                        bool ConsiderAllowFocus) const {
    do Column = GetPreviousColumn(Column);
    while (Column >= 0 && !qualifies(Items(Column), ConsiderAllowFocus));
    return Column;
}

std::vector<TColumnIndex> TLazyTreeColumns::GetVisibleColumns() const {
    std::vector<TColumnIndex> out;
    for (TColumnIndex index : FPositionToIndex)
        if (Items(index)->FOptions.Contains(coVisible)) out.push_back(index);
    return out;
}

int TLazyTreeColumns::GetScrollWidth() const {
    int sum = 0, n = 0;
    for (int i = 0; i < Count(); ++i) {
        const TLazyTreeColumn* c = Items(i);
        if (c->FOptions.Contains(coVisible) && !c->FOptions.Contains(coFixed)) {
            sum += c->FWidth;
            ++n;
        }
    }
    if (n == 0) return int(FHeader->Treeview()->Indent());
    return int(std::nearbyint(double(sum) / n));
}

int TLazyTreeColumns::TotalWidth() const {
    const TColumnIndex last = GetLastVisibleColumn();
    return last < 0 ? 0 : Items(last)->FLeft + Items(last)->FWidth;
}

// --- header mouse bookkeeping ------------------------------------------------------------------

void TLazyTreeColumns::QuerySplitterResize(TPoint P, TColumnIndex Column, bool& Allowed) {
    TBaseLazyTree* tree = FHeader->Treeview();
    if (tree->OnCanSplitterResizeColumn)
        tree->OnCanSplitterResizeColumn(FHeader, P, Column, Allowed);
}

bool TLazyTreeColumns::SplitterResizeAllowed(TPoint P, TColumnIndex Column) {
    bool allowed =
        IsValidColumn(Column) && Items(Column)->FOptions.ContainsAll({coVisible, coResizable});
    QuerySplitterResize(P, Column, allowed);
    return allowed;
}

bool TLazyTreeColumns::trackColumnUnderPoint(TPoint P, TColumnIndex& Index) {
    const TColumnIndex c = ColumnFromPosition(FHeader->toHeader(P));
    if (c == Index) return false;
    if (Index >= 0) FHeader->Invalidate(Index);
    Index = c;
    if (Index >= 0) FHeader->Invalidate(Index);
    return true;
}

bool TLazyTreeColumns::TrackHotColumn(TPoint P) {
    return trackColumnUnderPoint(P, FHoverIndex);
}

TColumnIndex TLazyTreeColumns::TrackPressedColumn(TPoint P) {
    const TPoint h = FHeader->toHeader(P);
    const TColumnIndex c = ColumnFromPosition(h);
    if (c >= 0 && c != FDownIndex && Items(c)->FOptions.ContainsAll({coAllowClick, coEnabled})) {
        if (FDownIndex >= 0) FHeader->Invalidate(FDownIndex);
        FDownIndex = c;
        const TLazyTreeColumn* col = Items(c);
        FCheckBoxHit = col->FHasImage && PtInRect(col->FImageRect, h) && col->FCheckBox;
        FHeader->Invalidate(FDownIndex);
    }
    return c;
}

// --- widths ------------------------------------------------------------------------------------

void TLazyTreeColumns::AnimatedResize(TColumnIndex Column, int NewWidth) {
    if (!IsValidColumn(Column)) return;
    TLazyTreeColumn* c = Items(Column);
    NewWidth = std::clamp(NewWidth, c->FMinWidth, c->FMaxWidth);
    const int w = c->FWidth;
    if (NewWidth == w) return;
    TBaseLazyTree* tree = FHeader->Treeview();
    if (!FHeader->Options().Contains(hoDisableAnimatedResize) &&
        !c->FOptions.Contains(coDisableAnimatedResize) && tree->HandleAllocated()) {
        // The part right of the column slides to its new place in 32 steps.
        HDC dc = GetWindowDC(tree->Handle());
        const int step = (NewWidth - w) / 32;
        const TRect h = tree->HeaderRect();
        TRect headerStrip(h.Left + c->FLeft + w, h.Top, h.Right, h.Bottom);
        TRect bodyStrip(headerStrip.Left, h.Bottom, headerStrip.Left + tree->ClientWidth(),
                        h.Bottom + tree->ClientHeight());
        if (step > 0)
            FillRect(dc,
                     TRect(bodyStrip.Left, bodyStrip.Top, bodyStrip.Left + step, bodyStrip.Bottom),
                     ColorToRGB(tree->Color()));
        else {
            headerStrip.Left += step;
            bodyStrip.Left += step;
        }
        for (int i = 0; i < 32; ++i) {
            ScrollDC(dc, step, 0, &headerStrip, &headerStrip, nullptr, nullptr);
            headerStrip.Left += step;
            ScrollDC(dc, step, 0, &bodyStrip, &bodyStrip, nullptr, nullptr);
            bodyStrip.Left += step;
        }
        ReleaseDC(tree->Handle(), dc);
    }
    c->SetWidth(NewWidth);
}

void TLazyTreeColumns::FitAutoSizeColumn(bool Force) {
    if (Count() == 0) return;
    TColumnIndex index = FHeader->AutoSizeIndex();
    if (!IsValidColumn(index)) index = Count() - 1;
    TBaseLazyTree* tree = FHeader->Treeview();
    int available = tree->HandleAllocated() ? tree->ClientWidth() : tree->Width();
    for (int i = 0; i < Count(); ++i)
        if (i != index && Items(i)->FOptions.Contains(coVisible)) available -= Items(i)->FWidth;
    TLazyTreeColumn* c = Items(index);
    const int width = std::max(std::min(available, c->FMaxWidth), c->FMinWidth);
    if (!Force && width == c->FWidth) return;
    c->FWidth = width;
    RecomputeColumnLefts(false);
    const bool updating = tree->UpdateCount() > 0;
    if (!updating) tree->BeginUpdate();
    struct End {
        TBaseLazyTree* tree;
        bool end;
        ~End() {
            if (end) tree->EndUpdate();
        }
    } endUpdate{tree, !updating};
    tree->ColumnResized(index);
}

// --- the stream --------------------------------------------------------------------------------

void TLazyTreeColumns::SaveToStream(TStream& Stream) const {
    WriteLE<std::int32_t>(Stream, Count());
    for (int i = 0; i < Count(); ++i) Items(i)->SaveToStream(Stream);
    if (Count() > 0)
        for (TColumnIndex index : FPositionToIndex) WriteLE<std::int32_t>(Stream, index);
    WriteLE<std::int32_t>(Stream, FDefaultWidth);
}

void TLazyTreeColumns::LoadFromStream(TStream& Stream, int Version) {
    Clear();
    const std::int32_t count = ReadLE<std::int32_t>(Stream);
    // A column record holds at least 14 integers: the count is bounded by the stream.
    constexpr std::int64_t MinimumRecord = 14 * 4;
    if (count < 0 || count * MinimumRecord > Stream.Size() - Stream.Position())
        throw EReadError("Stream read error");
    if (count > 0) {
        BeginUpdate();
        struct End {
            TLazyTreeColumns* columns;
            ~End() { columns->EndUpdate(); }
        } endUpdate{this};
        for (std::int32_t i = 0; i < count; ++i) Add()->LoadFromStream(Stream, Version);
        std::vector<TColumnIndex> map(std::size_t(count), 0);
        std::vector<bool> seen(std::size_t(count), false);
        for (TColumnIndex& entry : map) {
            entry = ReadLE<std::int32_t>(Stream);
            // The map must be a permutation of the column indexes.
            if (entry < 0 || entry >= count || seen[std::size_t(entry)])
                throw EReadError("Stream read error");
            seen[std::size_t(entry)] = true;
        }
        FPositionToIndex = map;
    }
    if (Version > 4) FDefaultWidth = ReadLE<std::int32_t>(Stream);
    RecomputeColumnLefts(true);
}
