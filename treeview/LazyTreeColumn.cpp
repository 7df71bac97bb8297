// Header columns: a column's settings with their limits, its place in the display order, and
// its record in the header stream; the collection's position map.
#include "treeview/LazyTree.h"
#include "treeview/TreeStreamIO.h"

#include <algorithm>

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
    if (columns->UpdateCount() == 0 && tree()->HandleAllocated()) repaintTree();
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
    // The tree reads left to right.
    if (FOptions.Contains(coParentBidiMode) && FBiDiMode != bdLeftToRight) {
        FBiDiMode = bdLeftToRight;
        changed();
    }
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
    : TCollection([](TCollection* c) { return new TLazyTreeColumn(c); }), FHeader(AHeader) {}

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

void TLazyTreeColumns::Update(TCollectionItem* Item) {
    syncPositionMapSize();
    if (isLoading(FHeader->Treeview()))
        FNeedPositionsFix = true;
    else
        RecomputeColumnLefts(false);
    if (FHeader->FMainColumn < 0 && Count() > 0) FHeader->FMainColumn = 0;
    TBaseLazyTree* tree = FHeader->Treeview();
    if (!isLoading(tree) && !FHeader->States().Contains(hsLoading) && !Item &&
        tree->HandleAllocated()) {
        tree->UpdateHorizontalScrollBar(false);
        tree->Invalidate();
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
