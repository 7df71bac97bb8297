// The tree's header: options, height and its limits, fonts and images, the fixed-area
// constraints, fitting and distributing column widths, the sort column and the header stream.
#include "treeview/LazyTreeHeader.h"

#include "platform/ui/core/WindowFrame.h"
#include "treeview/LazyTree.h"
#include "treeview/TreeStreamIO.h"

#include <algorithm>
#include <cmath>

namespace {

bool treeLoading(const TBaseLazyTree* Tree) {
    return Tree->ComponentState() & csLoading;
}

// Sets a state for the lifetime of the scope.
struct HeaderStateScope {
    TLTHeader* header;
    THeaderState state;
    HeaderStateScope(TLTHeader* h, THeaderState s) : header(h), state(s) {
        header->ChangeStates({s}, {});
    }
    ~HeaderStateScope() { header->ChangeStates({}, {state}); }
};

} // namespace

TLTHeader::TLTHeader(TBaseLazyTree* AOwner)
    : FOwner(AOwner), FColumns(ColumnsClass()),
      FConstraints(std::make_unique<TLTFixedAreaConstraints>()), FFont(std::make_unique<TFont>()),
      FDragImage(std::make_unique<TLTDragImage>(AOwner)) {
    FDragImage->SetFade(false);
    FDragImage->SetPreBlendBias(-50);
    FDragImage->SetPostBlendBias(0);
    FDragImage->SetTransparency(140);
    FFont->OnChange = [this](TObject*) { headerFontChanged(); };
    FConstraints->OnChange = [this](TObject*) { constraintsChanged(); };
}

TLTHeader::~TLTHeader() {
    FFont->OnChange = nullptr;
    FConstraints->OnChange = nullptr;
}

void TLTHeader::Assign(const TPersistent* Source) {
    const auto* src = dynamic_cast<const TLTHeader*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    SetAutoSizeIndex(src->FAutoSizeIndex);
    SetBackground(src->FBackgroundColor);
    SetColumns(src->Columns());
    SetFont(src->Font());
    FConstraints->Assign(src->FConstraints.get());
    SetHeight(src->FHeight);
    SetImages(src->FImages);
    SetMainColumn(src->MainColumn());
    SetOptions(src->FOptions);
    SetParentFont(src->FParentFont);
    FPopupMenu = src->FPopupMenu;
    SetSortColumn(src->FSortColumn);
    SetSortDirection(src->FSortDirection);
    SetStyle(src->FStyle);
    ApplyAreaConstraints();
}

void TLTHeader::SetColumns(const TLazyTreeColumns* Value) {
    FColumns->Assign(Value);
}

bool TLTHeader::AllowFocus(TColumnIndex Column) const {
    return FColumns->IsValidColumn(Column) &&
           FColumns->Items(Column)->Options().Contains(coAllowFocus);
}

// --- simple settings ----------------------------------------------------------------------------

void TLTHeader::SetOptions(TLTHeaderOptions Value) {
    const TLTHeaderOptions old = FOptions;
    if (Value == old) return;
    FOptions = Value;
    const TLTHeaderOptions changed = (Value - old) + (old - Value);
    if (changed.Contains(hoAutoResize) && UseColumns()) {
        FColumns->FitAutoSizeColumn(false);
        if (FOwner->HandleAllocated()) {
            FOwner->UpdateHorizontalScrollBar(false);
            if (Value.Contains(hoAutoResize)) FOwner->Invalidate();
        }
    }
    if (!treeLoading(FOwner) && FOwner->HandleAllocated()) {
        if (changed.Contains(hoVisible)) RefreshNonClientArea();
        Invalidate();
        FOwner->Invalidate();
    }
}

void TLTHeader::SetStyle(TLTHeaderStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    if (!treeLoading(FOwner)) Invalidate();
}

void TLTHeader::SetBackground(TColor Value) {
    if (Value == FBackgroundColor) return;
    FBackgroundColor = Value;
    Invalidate();
}

void TLTHeader::SetFont(const TFont* Value) {
    FFont->Assign(Value);
    FParentFont = false;
}

void TLTHeader::SetParentFont(bool Value) {
    if (Value == FParentFont) return;
    FParentFont = Value;
    if (Value) FFont->Assign(FOwner->Font());
}

void TLTHeader::SetImages(TImageList* Value) {
    if (Value == FImages) return;
    if (FImages) FImages->RemoveFreeNotification(FOwner);
    FImages = Value;
    if (FImages) FImages->FreeNotification(FOwner);
    if (!treeLoading(FOwner)) Invalidate();
}

void TLTHeader::headerFontChanged() {
    if (FOwner->TreeOptions()->AutoOptions().Contains(toAutoChangeScale)) {
        TBitmap scratch;
        scratch.Canvas()->Font()->Assign(FFont.get());
        int spacing = 0;
        for (int i = 0; i < ColumnCount(); ++i)
            spacing = std::max(spacing, FColumns->Items(i)->Spacing());
        const int h = scratch.Canvas()->TextHeight("Q") + spacing + spacing / 2;
        SetHeight(std::max(FHeight, h));
    }
    Invalidate();
}

void TLTHeader::SetAutoSizeIndex(TColumnIndex Value) {
    if (Value == FAutoSizeIndex) return;
    FAutoSizeIndex = Value;
    if (FOptions.Contains(hoAutoResize)) FColumns->FitAutoSizeColumn(false);
}

void TLTHeader::SetMainColumn(TColumnIndex Value) {
    if (treeLoading(FOwner)) {
        FMainColumn = Value;
        return;
    }
    Value = UseColumns() ? std::clamp(Value, 0, ColumnCount() - 1) : NoColumnIndex;
    if (Value == FMainColumn) return;
    FMainColumn = Value;
    if (!FOwner->TreeOptions()->SelectionOptions().Contains(toExtendedFocus))
        FOwner->SetFocusedColumn(Value);
    FOwner->Invalidate();
}

void TLTHeader::SetSortColumn(TColumnIndex Value) {
    if (treeLoading(FOwner))
        FSortColumn = Value;
    else
        ApplySortColumn(Value);
}

void TLTHeader::ApplySortColumn(TColumnIndex Value) {
    Value = std::clamp(Value, NoColumnIndex, ColumnCount() - 1);
    if (Value == FSortColumn) return;
    if (FSortColumn >= 0) Invalidate(FSortColumn);
    FSortColumn = Value;
    if (FSortColumn >= 0) Invalidate(FSortColumn);
    sortTreeWhenWanted();
}

void TLTHeader::SetSortDirection(TSortDirection Value) {
    if (Value == FSortDirection) return;
    FSortDirection = Value;
    Invalidate();
    sortTreeWhenWanted();
}

void TLTHeader::sortTreeWhenWanted() {
    if ((FOwner->TreeOptions()->AutoOptions().Contains(toAutoSort) ||
         FOptions.Contains(hoHeaderClickAutoSort)) &&
        FOwner->UpdateCount() == 0)
        FOwner->SortTree(FSortColumn, FSortDirection, true);
}

// --- height ---------------------------------------------------------------------------------

void TLTHeader::SetHeight(int Value) {
    if (!FOwner->HandleAllocated()) {
        FHeight = Value;
        FStates.Include(hsNeedScaling);
        return;
    }
    const int fullH = FOwner->ClientHeight() + FHeight;
    const int maxP = FConstraints->MaxHeightPercent();
    const int minP = FConstraints->MinHeightPercent();
    const int maxLimit = fullH * maxP / 100;
    const int minLimit = fullH * minP / 100;
    const int lower = maxP > 0 ? std::min(FMinHeight, maxLimit) : FMinHeight;
    const int upper = minP > 0 ? std::max(FMaxHeight, minLimit) : FMaxHeight;
    Value = std::min(std::max(Value, lower), upper);
    if (minP > 0) Value = std::max(Value, minLimit);
    if (maxP > 0) Value = std::min(Value, maxLimit);
    if (Value == FHeight) return;
    FHeight = Value;
    if (!treeLoading(FOwner) && !FStates.Contains(hsScaling)) RefreshNonClientArea();
    FOwner->Invalidate();
    FOwner->Update();
}

void TLTHeader::SetDefaultHeight(int Value) {
    Value = std::clamp(Value, FMinHeight, FMaxHeight);
    if (FHeight == FDefaultHeight) SetHeight(Value);
    FDefaultHeight = Value;
}

void TLTHeader::SetMinHeight(int Value) {
    FMinHeight = std::min(std::max(Value, 0), FMaxHeight);
    SetHeight(FHeight);
}

void TLTHeader::SetMaxHeight(int Value) {
    FMaxHeight = std::max(Value, FMinHeight);
    SetHeight(FHeight);
}

void TLTHeader::ScaleHeader(int M, int D) {
    if (D == 0) return;
    SetHeight(MulDiv(FHeight, M, D));
    if (!FParentFont) FFont->SetHeight(MulDiv(FFont->Height(), M, D));
    for (int i = 0; i < ColumnCount(); ++i) {
        TLazyTreeColumn* c = FColumns->Items(i);
        c->SetWidth(MulDiv(c->Width(), M, D));
    }
}

// --- geometry and repainting -----------------------------------------------------------------

TRect TLTHeader::HeaderRect() const {
    // The tree keeps it in window coordinates; the client area starts below it.
    TRect r = FOwner->HeaderRect();
    if (const TWindowFrame* frame = WindowFrame(FOwner))
        OffsetRect(r, -frame->Client.Left, -frame->Client.Top);
    else
        OffsetRect(r, 0, -r.Bottom);
    return r;
}

bool TLTHeader::InHeader(TPoint P) const {
    return PtInRect(HeaderRect(), P);
}

bool TLTHeader::InHeaderSplitterArea(TPoint P) const {
    if (P.Y < -2 || P.Y > 2 || !FOptions.Contains(hoVisible)) return false;
    TRect r = HeaderRect();
    r.Bottom += 2;
    return PtInRect(r, P);
}

void TLTHeader::Invalidate(TColumnIndex, bool) {
    // The platform repaints the window's frame whole, so every header repaint is the whole
    // header.
    if (!FOptions.Contains(hoVisible) || !FOwner->HandleAllocated()) return;
    RedrawWindow(FOwner->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_VALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE |
                     RDW_NOCHILDREN | RDW_FRAME);
}

void TLTHeader::RefreshNonClientArea() {
    if (!FOwner->HandleAllocated()) return;
    FOwner->ComputeHeaderArea();
    FOwner->Perform(CM_BORDERCHANGED);
}

// --- fixed-area constraints -------------------------------------------------------------------

void TLTHeader::constraintsChanged() {
    if (FOwner->HandleAllocated())
        ApplyAreaConstraints();
    else
        FStates.Include(hsNeedScaling);
}

void TLTHeader::ApplyAreaConstraints() {
    if (treeLoading(FOwner) || FStates.Contains(hsLoading) || !FOwner->HandleAllocated() ||
        FOwner->ComponentState() & csDestroying)
        return;
    {
        HeaderStateScope scaling(this, hsScaling);
        SetHeight(FHeight);
        RefreshNonClientArea();
        if (FConstraints->MinHeightPercent() != 0 || FConstraints->MaxHeightPercent() != 0) {
            for (int i = 0; i < ColumnCount(); ++i) {
                TLazyTreeColumn* c = FColumns->Items(i);
                if (c->Options().ContainsAll({coVisible, coFixed}) && c->FWidth < c->FMinWidth)
                    c->FWidth = c->FMinWidth;
            }
            const int fixed = FColumns->GetVisibleFixedWidth();
            const int cw = FOwner->ClientWidth();
            const int minW = cw * FConstraints->MinWidthPercent() / 100;
            const int maxW = cw * FConstraints->MaxWidthPercent() / 100;
            if (FConstraints->MaxWidthPercent() > 0 && maxW < fixed)
                ResizeColumns(maxW - fixed, 0, ColumnCount() - 1, {coVisible, coFixed});
            else if (FConstraints->MinWidthPercent() > 0 && fixed < minW)
                ResizeColumns(minW - fixed, 0, ColumnCount() - 1, {coVisible, coFixed});
            FColumns->RecomputeColumnLefts(false);
        }
    }
    FStates.Exclude(hsNeedScaling);
}

// --- distributing widths ---------------------------------------------------------------------

void TLTHeader::DistributeSpring() {
    const int width = HeaderRect().Width();
    if (FOptions.Contains(hoAutoSpring) && FLastWidth != 0) {
        const float delta = float(width - FLastWidth);
        const int sign = delta >= 0 ? 1 : -1;
        std::vector<TLazyTreeColumn*> springs;
        for (int i = 0; i < ColumnCount(); ++i)
            if (FColumns->Items(i)->Options().ContainsAll({coVisible, coAutoSpring}))
                springs.push_back(FColumns->Items(i));
        if (delta != 0 && !springs.empty()) {
            const float part = std::fabs(delta) / float(springs.size());
            float rest = std::fabs(delta);
            for (TLazyTreeColumn* c : springs) {
                const float share = c->FSpringRest + part;
                if (share >= 1) c->SetWidth(c->Width() + sign * int(std::trunc(share)));
                c->FSpringRest = share - std::trunc(share);
                rest -= part;
                if (rest < 0) break;
            }
        }
    }
    FLastWidth = width;
}

int TLTHeader::ResizeColumns(int ChangeBy, TColumnIndex RangeStartCol, TColumnIndex RangeEndCol,
                             TLTColumnOptions Options) {
    if (ChangeBy == 0 || !UseColumns()) return 0;
    RangeStartCol = std::clamp(RangeStartCol, 0, ColumnCount() - 1);
    RangeEndCol = std::clamp(RangeEndCol, 0, ColumnCount() - 1);
    if (RangeStartCol > RangeEndCol) return 0;
    const bool grow = ChangeBy > 0;
    const int step = grow ? 1 : -1;
    const int start = grow ? RangeStartCol : RangeEndCol;
    int remaining = std::abs(ChangeBy);
    std::vector<int> widths(static_cast<std::size_t>(ColumnCount()), 0);
    std::vector<int> limits(widths.size(), 0);
    auto takesPart = [&](int i) { return FColumns->Items(i)->Options().ContainsAll(Options); };
    for (int i = 0; i < ColumnCount(); ++i) {
        const TLazyTreeColumn* c = FColumns->Items(i);
        widths[std::size_t(i)] = c->Width();
        limits[std::size_t(i)] = grow ? c->MaxWidth() : c->MinWidth();
    }
    auto canChange = [&](int i) {
        return grow ? widths[std::size_t(i)] < limits[std::size_t(i)]
                    : widths[std::size_t(i)] > limits[std::size_t(i)];
    };
    auto reserve = [&](int& n) {
        int room = 0;
        n = 0;
        for (int i = RangeStartCol; i <= RangeEndCol; ++i)
            if (takesPart(i) && canChange(i)) {
                room += std::abs(limits[std::size_t(i)] - widths[std::size_t(i)]);
                ++n;
            }
        return room;
    };
    do {
        int n = 0;
        int room = reserve(n);
        while (!grow && FStates.Contains(hsScaling) && room < std::abs(ChangeBy)) {
            // Under scaling the widest column gives up a tenth of its minimum.
            int best = 0, pick = -1;
            for (int i = RangeStartCol; i <= RangeEndCol; ++i)
                if (takesPart(i) && FColumns->Items(i)->Width() > best) {
                    pick = i;
                    best = widths[std::size_t(i)];
                }
            if (pick < 0 || limits[std::size_t(pick)] <= 10) break;
            limits[std::size_t(pick)] -= limits[std::size_t(pick)] / 10;
            room = reserve(n);
        }
        if (n == 0) break;
        remaining = std::min(remaining, room);
        const int each = remaining / n;
        const int odd = remaining % n;
        if (each > 0) {
            for (int i = RangeStartCol; i <= RangeEndCol; ++i) {
                if (!takesPart(i) || !canChange(i)) continue;
                int& w = widths[std::size_t(i)];
                const int target = grow ? std::min(w + each, limits[std::size_t(i)])
                                        : std::max(w - each, limits[std::size_t(i)]);
                remaining -= std::abs(target - w);
                w = target;
            }
        }
        // The odd pixels go to the columns that did not get one last time.
        for (int given = 0, i = start, walks = 0; given < odd && remaining > 0 && walks < 3;) {
            if (i < RangeStartCol || i > RangeEndCol) {
                for (int j = RangeStartCol; j <= RangeEndCol; ++j)
                    if (takesPart(j))
                        FColumns->Items(j)->FBonusPixel = !FColumns->Items(j)->FBonusPixel;
                i = start;
                ++walks;
                continue;
            }
            TLazyTreeColumn* c = FColumns->Items(i);
            if (takesPart(i) && canChange(i) && c->FBonusPixel != grow) {
                widths[std::size_t(i)] += step;
                --remaining;
                ++given;
                c->FBonusPixel = grow;
            }
            i += step;
        }
    } while (remaining > 0);
    int applied = 0;
    HeaderStateScope resizing(this, hsResizing);
    for (int i = RangeStartCol; i <= RangeEndCol; ++i) {
        if (!takesPart(i)) continue;
        TLazyTreeColumn* c = FColumns->Items(i);
        const int old = c->Width();
        c->SetWidth(widths[std::size_t(i)]);
        applied += c->Width() - old;
    }
    return applied;
}

void TLTHeader::RestoreColumns() {
    const auto& map = FColumns->PositionToIndex();
    for (auto p = map.rbegin(); p != map.rend(); ++p) {
        TLazyTreeColumn* c = FColumns->Items(*p);
        if (c->Options().ContainsAll({coVisible, coResizable})) c->RestoreLastWidth();
    }
}

void TLTHeader::AutoFitColumns(bool Animated, TSmartAutoFitType SmartAutoFitType, int RangeStartCol,
                               int RangeEndCol) {
    const int start = std::max(RangeStartCol, 0);
    const int end = RangeEndCol < 0 ? ColumnCount() - 1 : std::min(RangeEndCol, ColumnCount() - 1);
    if (start > end) return;
    FOwner->StartOperation(okAutoFitColumns);
    struct End {
        TBaseLazyTree* tree;
        ~End() { tree->EndOperation(okAutoFitColumns); }
    } endOperation{FOwner};
    if (FOwner->OnBeforeAutoFitColumns) FOwner->OnBeforeAutoFitColumns(this, SmartAutoFitType);
    for (int p = start; p <= end; ++p) {
        const TColumnIndex index = FColumns->ColumnFromPosition(TColumnPosition(p));
        if (index < 0) continue;
        TLazyTreeColumn* c = FColumns->Items(index);
        if (!c->Options().ContainsAll({coVisible, coResizable})) continue;
        TSmartAutoFitType type = SmartAutoFitType;
        if (!FireBeforeAutoFitColumn(index, type) || FOwner->OperationCanceled()) continue;
        const bool smart =
            SmartAutoFitType == smaAllColumns ||
            (SmartAutoFitType == smaUseColumnOption && c->Options().Contains(coSmartResize));
        const int w = FOwner->GetMaxColumnWidth(index, smart);
        if (Animated)
            FColumns->AnimatedResize(index, w);
        else
            c->SetWidth(w);
        FireAfterAutoFitColumn(index);
    }
    if (FOwner->OnAfterAutoFitColumns) FOwner->OnAfterAutoFitColumns(this);
}

// --- the header stream --------------------------------------------------------------------------

namespace {

constexpr std::int32_t HeaderStreamVersion = 6;

[[noreturn]] void refuse() {
    throw EReadError("The stream holds no valid tree header.");
}

std::int32_t readInt(TStream& Stream) {
    return ReadLE<std::int32_t>(Stream);
}

// An ordinal within 0 .. Last, else the stream is refused.
std::int32_t readOrdinal(TStream& Stream, std::int32_t Last) {
    const std::int32_t v = readInt(Stream);
    if (v < 0 || v > Last) refuse();
    return v;
}

std::uint8_t percent(std::int32_t Value) {
    return std::uint8_t(std::clamp(Value & 0xFF, 0, 100));
}

} // namespace

void TLTHeader::SaveToStream(TStream& Stream) const {
    WriteLE<std::int32_t>(Stream, -1);
    WriteLE<std::int32_t>(Stream, HeaderStreamVersion);
    FColumns->SaveToStream(Stream);
    const std::string& name = FFont->Name();
    for (std::int32_t v :
         {FAutoSizeIndex, std::int32_t(FBackgroundColor), FHeight, std::int32_t(FOptions.ToBits()),
          std::int32_t(FStyle), std::int32_t(FFont->Color()), FFont->Height(),
          std::int32_t(name.size())})
        WriteLE<std::int32_t>(Stream, v);
    Stream.WriteBuffer(name.data(), std::int64_t(name.size()));
    std::int32_t style = 0;
    for (int s = fsBold; s <= fsStrikeOut; ++s)
        if (FFont->Style().Contains(TFontStyle(s))) style |= 1 << s;
    for (std::int32_t v :
         {std::int32_t(FFont->Pitch()), style, FMainColumn, FSortColumn,
          std::int32_t(FSortDirection), std::int32_t(FParentFont), FMaxHeight, FMinHeight,
          FDefaultHeight, std::int32_t(FConstraints->MaxHeightPercent()),
          std::int32_t(FConstraints->MaxWidthPercent()),
          std::int32_t(FConstraints->MinHeightPercent()),
          std::int32_t(FConstraints->MinWidthPercent())})
        WriteLE<std::int32_t>(Stream, v);
}

void TLTHeader::LoadFromStream(TStream& Stream) {
    // A refused stream leaves the header as it was.
    TMemoryStream before;
    SaveToStream(before);
    try {
        FStates.Include(hsLoading);
        const TLTHeaderOptions saved = FOptions;
        FOptions = {};
        int version = -1;
        const std::int64_t start = Stream.Position();
        const std::int32_t first = readInt(Stream);
        if (first < 0)
            version = readInt(Stream);
        else
            Stream.SetPosition(start);
        if (version > HeaderStreamVersion) refuse();
        FColumns->LoadFromStream(Stream, version);
        SetAutoSizeIndex(readInt(Stream));
        SetBackground(TColor(readInt(Stream)));
        const std::int32_t height = readInt(Stream);
        const std::uint32_t options = std::uint32_t(readInt(Stream));
        const auto style = TLTHeaderStyle(readOrdinal(Stream, hsPlates));
        const TColor fontColor = TColor(readInt(Stream));
        const std::int32_t fontHeight = readInt(Stream);
        const std::int32_t nameLength = readInt(Stream);
        if (nameLength < 0 || nameLength > Stream.Size() - Stream.Position()) refuse();
        std::string name(std::size_t(nameLength), '\0');
        Stream.ReadBuffer(name.data(), nameLength);
        const auto pitch = TFontPitch(readOrdinal(Stream, fpFixed));
        const std::int32_t fontStyle = readInt(Stream);
        SetHeight(height);
        FOptions = saved;
        SetOptions(TLTHeaderOptions::FromBits(options & ((1u << (hoAutoColumnPopupMenu + 1)) - 1)));
        SetStyle(style);
        FFont->SetColor(fontColor);
        FFont->SetHeight(fontHeight);
        FFont->SetName(name);
        FFont->SetPitch(pitch);
        TFontStyles styles;
        for (int s = fsBold; s <= fsStrikeOut; ++s)
            if (fontStyle & (1 << s)) styles.Include(TFontStyle(s));
        FFont->SetStyle(styles);
        if (version > 0) {
            SetMainColumn(readInt(Stream));
            SetSortColumn(readInt(Stream));
            SetSortDirection(TSortDirection(readOrdinal(Stream, sdDescending)));
        }
        if (version > 4) {
            SetParentFont(readInt(Stream) != 0);
            FMaxHeight = readInt(Stream);
            FMinHeight = readInt(Stream);
            FDefaultHeight = readInt(Stream);
            // Percentages stay percentages, whatever the stream says.
            FConstraints->FMaxHeightPercent = percent(readInt(Stream));
            FConstraints->FMaxWidthPercent = percent(readInt(Stream));
            FConstraints->FMinHeightPercent = percent(readInt(Stream));
            FConstraints->FMinWidthPercent = percent(readInt(Stream));
        }
    } catch (...) {
        FStates.Exclude(hsLoading);
        before.SetPosition(0);
        FStates.Include(hsLoading);
        FColumns->Clear();
        try {
            LoadFromStream(before);
        } catch (...) {
        }
        throw;
    }
    FStates.Exclude(hsLoading);
    FOwner->ColumnResized(NoColumnIndex);
}

// --- fixed-area constraints -------------------------------------------------------------------

void TLTFixedAreaConstraints::Assign(const TPersistent* Source) {
    const auto* src = dynamic_cast<const TLTFixedAreaConstraints*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FMaxHeightPercent = src->FMaxHeightPercent;
    FMaxWidthPercent = src->FMaxWidthPercent;
    FMinHeightPercent = src->FMinHeightPercent;
    FMinWidthPercent = src->FMinWidthPercent;
    if (OnChange) OnChange(this);
}

// --- tree operations of the header ------------------------------------------------------------

void TBaseLazyTree::ColumnResized(TColumnIndex Column) {
    if (IsLoading() || !HandleAllocated()) return;
    for (PLazyNode n = GetFirstNoInit(); n; n = GetNextNoInit(n))
        if (n->States.Contains(vsInitialized) && n->States.Contains(vsMultiline))
            n->States.Exclude(vsHeightMeasured);
    UpdateHorizontalScrollBar(true);
    if (Column >= 0) {
        InvalidateWhenShown();
        FHeader->Invalidate(Column, true);
    }
    if (FHeader->States().Contains(hsColumnWidthTracking) &&
        !FHeader->States().Contains(hsResizing))
        Update();
    if (OnColumnResize && !FHeader->States().Contains(hsResizing))
        OnColumnResize(FHeader.get(), Column);
}

int TBaseLazyTree::GetMaxColumnWidth(TColumnIndex Column, bool UseSmartColumnWidth) {
    if (OperationCanceled())
        return FHeader->Columns()->IsValidColumn(Column)
                   ? FHeader->Columns()->Items(Column)->Width()
                   : 0;
    StartOperation(okGetMaxColumnWidth);
    struct End {
        TBaseLazyTree* tree;
        ~End() { tree->EndOperation(okGetMaxColumnWidth); }
    } endOperation{this};
    if (OnBeforeGetMaxColumnWidth)
        OnBeforeGetMaxColumnWidth(FHeader.get(), Column, UseSmartColumnWidth);
    const TLTPaintOptions paint = TreeOptions()->PaintOptions();
    const int stateOffset = FStateImages ? FStateImages->Width() + 2 : 0;
    const int checkOffset = CheckImages() ? CheckImages()->Width() + 2 : 0;
    PLazyNode node = UseSmartColumnWidth ? TopNode() : GetFirstVisible();
    PLazyNode stop = nullptr;
    if (UseSmartColumnWidth)
        if (PLazyNode bottom = BottomNode()) stop = GetNextVisible(bottom);
    const bool main = Column == MainColumn();
    int indent = 0;
    if (main && node) {
        if (paint.Contains(toFixedIndent))
            indent = int(FIndent);
        else if (paint.Contains(toShowRoot))
            indent = int(FIndent) * (int(GetNodeLevel(node)) + 1);
        else
            indent = int(FIndent) * int(GetNodeLevel(node));
    }
    const bool withChecks =
        main && TreeOptions()->MiscOptions().Contains(toCheckSupport) && CheckImages();
    indent += FMargin;
    int result = 0;
    bool withImages = false;
    while (node && node != stop && !OperationCanceled()) {
        int left = indent;
        if (withChecks && node->CheckType != ctNone) left += checkOffset;
        if (FImages && (withImages || NodeHasImage(node, ikNormal, Column))) {
            withImages = true;
            left += FImages->Width() + 2;
        }
        if (FStateImages && NodeHasImage(node, ikState, Column)) left += stateOffset;
        const TPoint margin = QueryCellContentMargin(node, Column, ccmtAllSides);
        result = std::max(result, left + QueryNodeWidth(node, Column) +
                                      QueryNodeExtraWidth(node, Column) + margin.X);
        PLazyNode next = GetNextVisible(node);
        if (next && main && !paint.Contains(toFixedIndent))
            indent += int(FIndent) * (int(GetNodeLevel(next)) - int(GetNodeLevel(node)));
        node = next;
    }
    if (paint.Contains(toShowVertGridLines)) ++result;
    if (OnAfterGetMaxColumnWidth) OnAfterGetMaxColumnWidth(FHeader.get(), Column, result);
    return result;
}

// --- overridable classes and event dispatchers ---------------------------------------------------

std::unique_ptr<TLazyTreeColumns> TLTHeader::ColumnsClass() {
    return std::make_unique<TLazyTreeColumns>(this);
}

void TLTHeader::FireAfterAutoFitColumn(TColumnIndex Column) {
    if (FOwner->OnAfterAutoFitColumn) FOwner->OnAfterAutoFitColumn(this, Column);
}

void TLTHeader::FireAfterColumnWidthTracking(TColumnIndex Column) {
    if (FOwner->OnAfterColumnWidthTracking) FOwner->OnAfterColumnWidthTracking(this, Column);
}

void TLTHeader::FireAfterHeaderHeightTracking() {
    if (FOwner->OnAfterHeaderHeightTracking) FOwner->OnAfterHeaderHeightTracking(this);
}

bool TLTHeader::FireBeforeAutoFitColumn(TColumnIndex Column, TSmartAutoFitType& SmartAutoFitType) {
    bool allowed = true;
    if (FOwner->OnBeforeAutoFitColumn)
        FOwner->OnBeforeAutoFitColumn(this, Column, SmartAutoFitType, allowed);
    return allowed;
}

void TLTHeader::FireBeforeColumnWidthTracking(TColumnIndex Column, TShiftState Shift) {
    if (FOwner->OnBeforeColumnWidthTracking)
        FOwner->OnBeforeColumnWidthTracking(this, Column, Shift);
}

void TLTHeader::FireBeforeHeaderHeightTracking(TShiftState Shift) {
    if (FOwner->OnBeforeHeaderHeightTracking) FOwner->OnBeforeHeaderHeightTracking(this, Shift);
}

void TLTHeader::FireCanSplitterResizeHeader(TPoint P, bool& Allowed) {
    if (FOwner->OnCanSplitterResizeHeader) FOwner->OnCanSplitterResizeHeader(this, P, Allowed);
}

bool TLTHeader::FireColumnWidthDblClickResize(TColumnIndex Column, TShiftState Shift, TPoint P) {
    bool allowed = true;
    if (FOwner->OnColumnWidthDblClickResize)
        FOwner->OnColumnWidthDblClickResize(this, Column, Shift, P, allowed);
    return allowed;
}

bool TLTHeader::FireColumnWidthTracking(TColumnIndex Column, TShiftState Shift, TPoint& TrackPoint,
                                        TPoint P) {
    bool allowed = true;
    if (FOwner->OnColumnWidthTracking)
        FOwner->OnColumnWidthTracking(this, Column, Shift, TrackPoint, P, allowed);
    return allowed;
}

TPopupMenu* TLTHeader::FireGetPopupMenu(TColumnIndex Column, TPoint P) {
    TPopupMenu* menu = nullptr;
    bool askParent = true;
    if (FOwner->OnGetPopupMenu) FOwner->OnGetPopupMenu(FOwner, nullptr, Column, P, askParent, menu);
    return menu;
}

bool TLTHeader::FireHeaderHeightTracking(TPoint& P, TShiftState Shift) {
    bool allowed = true;
    if (FOwner->OnHeaderHeightTracking) FOwner->OnHeaderHeightTracking(this, P, Shift, allowed);
    return allowed;
}

bool TLTHeader::FireHeaderHeightDblClickResize(TPoint& P, TShiftState Shift) {
    bool allowed = true;
    if (FOwner->OnHeaderHeightDblClickResize)
        FOwner->OnHeaderHeightDblClickResize(this, P, Shift, allowed);
    return allowed;
}

// --- the tree's side
// -------------------------------------------------------------------------------

std::unique_ptr<TLTHeader> TBaseLazyTree::HeaderClass() {
    return std::make_unique<TLTHeader>(this);
}

TLazyTreeColumn* TBaseLazyTree::ColumnClass(TLazyTreeColumns* Owner) {
    return new TLazyTreeColumn(Owner);
}

void TBaseLazyTree::FireHeaderClick(const TLTHeaderHitInfo& HitInfo) {
    if (OnHeaderClick) OnHeaderClick(FHeader.get(), HitInfo);
}

void TBaseLazyTree::FireHeaderDblClick(const TLTHeaderHitInfo& HitInfo) {
    if (OnHeaderDblClick) OnHeaderDblClick(FHeader.get(), HitInfo);
}

void TBaseLazyTree::FireHeaderMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnHeaderMouseDown) OnHeaderMouseDown(FHeader.get(), Button, Shift, X, Y);
}

void TBaseLazyTree::FireHeaderMouseMove(TShiftState Shift, int X, int Y) {
    if (OnHeaderMouseMove) OnHeaderMouseMove(FHeader.get(), Shift, X, Y);
}

void TBaseLazyTree::FireHeaderMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnHeaderMouseUp) OnHeaderMouseUp(FHeader.get(), Button, Shift, X, Y);
}

bool TBaseLazyTree::FireHeaderDragging(TColumnIndex Column) {
    bool allowed = true;
    if (OnHeaderDragging) OnHeaderDragging(FHeader.get(), Column, allowed);
    return allowed;
}

void TBaseLazyTree::FireHeaderDragged(TColumnIndex Column, TColumnPosition OldPosition) {
    if (OnHeaderDragged) OnHeaderDragged(FHeader.get(), Column, OldPosition);
}

void TBaseLazyTree::FireHeaderDraggedOut(TColumnIndex Column, TPoint DropPosition) {
    if (OnHeaderDraggedOut) OnHeaderDraggedOut(FHeader.get(), Column, DropPosition);
}

void TBaseLazyTree::FireGetHeaderCursor(TCursor& Cursor) {
    if (OnGetHeaderCursor) OnGetHeaderCursor(FHeader.get(), Cursor);
}

void TBaseLazyTree::FireHeaderDraw(TCanvas* HeaderCanvas, TLazyTreeColumn* Column, TRect R,
                                   bool Hover, bool Pressed, TLTDropMarkMode DropMark) {
    if (OnHeaderDraw)
        OnHeaderDraw(FHeader.get(), HeaderCanvas, Column, R, Hover, Pressed, DropMark);
}

void TBaseLazyTree::FireHeaderDrawQueryElements(THeaderPaintInfo& PaintInfo,
                                                THeaderPaintElements& Elements) {
    if (OnHeaderDrawQueryElements) OnHeaderDrawQueryElements(FHeader.get(), PaintInfo, Elements);
}

void TBaseLazyTree::FireAdvancedHeaderDraw(THeaderPaintInfo& PaintInfo,
                                           THeaderPaintElements Elements) {
    if (OnAdvancedHeaderDraw) OnAdvancedHeaderDraw(FHeader.get(), PaintInfo, Elements);
}

void TBaseLazyTree::FireColumnVisibilityChanged(TColumnIndex Column, bool Visible) {
    if (OnColumnVisibilityChanged) OnColumnVisibilityChanged(this, Column, Visible);
}
