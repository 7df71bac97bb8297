// What lies under a point of the tree (node, column and part of the row), where a node's row
// and text lie in the window, and the images, texts and widths this geometry asks about.
#include "platform/base/SysUtils.h"
#include "treeview/LazyTree.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {
// Width of the expand button's bitmap.
constexpr int ButtonBitmapWidth = 9;
} // namespace

// --- images, texts and widths -----------------------------------------------------------------

TImageList* TBaseLazyTree::FireGetImageIndex(PLazyNode Node, TLTImageKind Kind, int Column,
                                             bool& Ghosted, int& Index) {
    if (OnGetImageIndexEx) {
        TImageList* list = Kind == ikState ? FStateImages : FImages;
        OnGetImageIndexEx(this, Node, Kind, Column, Ghosted, Index, list);
        return list;
    }
    if (OnGetImageIndex) OnGetImageIndex(this, Node, Kind, Column, Ghosted, Index);
    return nullptr;
}

bool TBaseLazyTree::NodeHasImage(PLazyNode Node, TLTImageKind Kind, int Column) {
    initIfNeeded(Node);
    bool ghosted = false;
    int index = -1;
    FireGetImageIndex(Node, Kind, Column, ghosted, index);
    return index >= 0;
}

TPoint TBaseLazyTree::QueryImageSize(PLazyNode) {
    return FImages ? TPoint{FImages->Width(), FImages->Height()} : TPoint{0, 0};
}

int TBaseLazyTree::QueryNodeWidth(PLazyNode, int, TCanvas*) {
    return 0;
}

int TBaseLazyTree::QueryNodeExtraWidth(PLazyNode, int, TCanvas*) {
    return 0;
}

bool TBaseLazyTree::FireGetCellIsEmpty(PLazyNode Node, int Column) {
    bool isEmpty = true;
    if (OnGetCellIsEmpty) OnGetCellIsEmpty(this, Node, Column, isEmpty);
    return isEmpty;
}

// --- rectangles -------------------------------------------------------------------------------

TRect TBaseLazyTree::GetTreeRect() const {
    // The tree is as wide as its content, and never narrower than the window.
    const int right = int(std::min<std::int64_t>(std::max<std::int64_t>(ClientWidth(), RangeX()),
                                                 std::numeric_limits<int>::max()));
    return {0, 0, std::max(right, 0), std::max(ClientHeight(), RangeY())};
}

namespace {

// The window top of a node among the rows in the window; looking there costs no walk over the
// nodes above them, which matters for large trees (hovering calls this on every move).
bool windowTopOf(TBaseLazyTree& tree, PLazyNode Node, int& Top) {
    int top = 0;
    for (PLazyNode n = tree.GetNodeAt(0, 0, true, top); n && top < tree.ClientHeight();
         n = tree.GetNextVisibleNoInit(n)) {
        if (n == Node) {
            Top = top;
            return true;
        }
        top += int(n->NodeHeight);
    }
    return false;
}

} // namespace

TRect TBaseLazyTree::InvalidateNode(PLazyNode Node) {
    // Nothing is repainted while the tree is updating: EndUpdate repaints it whole.
    if (FUpdateCount != 0 || !HandleAllocated()) return {-1, -1, -1, -1};
    if (!Node || Node == FRoot) return {};
    // Only a row in the window needs repainting.
    int top = 0;
    if (!windowTopOf(*this, Node, top)) return {};
    const TRect r{-FEffectiveOffsetX, top, GetTreeRect().Right - FEffectiveOffsetX,
                  top + int(Node->NodeHeight)};
    InvalidateRect(Handle(), &r, false);
    return r;
}

TRect TBaseLazyTree::GetDisplayRect(PLazyNode Node, int Column, bool TextOnly, bool Unclipped,
                                    bool) {
    if (!Node) throw EAssertionFailed("Node must not be nil.");
    if (Node == FRoot) throw EAssertionFailed("Node must not be the hidden root node.");
    const bool isMain = Column == NoColumn || Column == MainColumn();
    initIfNeeded(Node);
    TRect result{0, 0, 0, 0};
    if (!GetEffectivelyVisible(Node)) return result;
    const TLTPaintOptions paint = TreeOptions()->PaintOptions();
    int indent = 0;
    if (!paint.Contains(toFixedIndent)) {
        for (PLazyNode n = Node; n != FRoot; n = n->Parent) {
            if (!n->States.Contains(vsVisible) ||
                (n->Parent != FRoot && !n->Parent->States.Contains(vsExpanded)))
                return result;
            if (n != Node && isMain) indent += int(FIndent);
        }
    }
    int windowTop = 0;
    const int top =
        windowTopOf(*this, Node, windowTop) ? windowTop - FOffsetY : AbsoluteNodeTop(Node);
    if (top < 0) return result;
    const int height = int(Node->NodeHeight);
    result = TRect{-FEffectiveOffsetX, top + FOffsetY, GetTreeRect().Right - FEffectiveOffsetX,
                   top + height + FOffsetY};
    if (Column >= 0 && FHeader->Columns()->IsValidColumn(Column)) {
        int left = 0, right = 0;
        FHeader->Columns()->GetColumnBounds(Column, left, right);
        result.Left = left;
        result.Right = right - 1;
    }
    if (!TextOnly) return result;
    const bool rtl = CellBiDiMode(Column) != bdLeftToRight;
    TAlignment alignment = CellAlignment(Column, true);

    int offset = FMargin + indent;
    if (isMain) {
        if (paint.Contains(toShowRoot)) offset += int(FIndent);
        if (TreeOptions()->MiscOptions().Contains(toCheckSupport) && CheckImages() &&
            Node->CheckType != ctNone)
            offset += CheckImages()->Width() + 2;
    }
    if (FStateImages && NodeHasImage(Node, ikState, Column)) offset += FStateImages->Width() + 2;
    if (FImages && NodeHasImage(Node, ikNormal, Column)) offset += QueryImageSize(Node).X + 2;
    if (rtl)
        result.Right -= offset;
    else
        result.Left += offset;
    const int t = QueryNodeWidth(Node, Column);
    if (Unclipped) {
        if (result.Right - result.Left < t - 1) alignment = rtl ? taRightJustify : taLeftJustify;
        switch (alignment) {
        case taRightJustify:
            result.Left = result.Right - t;
            break;
        case taCenter:
            result.Left = (result.Left + result.Right - t) / 2;
            result.Right = result.Left + t;
            break;
        default:
            result.Right = result.Left + t - 1;
            break;
        }
    } else if (t < result.Right - result.Left) {
        switch (alignment) {
        case taRightJustify:
            result.Left = result.Right - t;
            break;
        case taCenter:
            result.Left = (result.Left + result.Right - t) / 2;
            result.Right = result.Left + t;
            break;
        default:
            result.Right = result.Left + t;
            break;
        }
    }
    return result;
}

// --- hit testing ------------------------------------------------------------------------------

void TBaseLazyTree::GetHitTestInfoAt(int X, int Y, bool Relative, THitInfo& HitInfo) {
    HitInfo = THitInfo{};
    const TRect tree = GetTreeRect();
    if (X < 0)
        HitInfo.HitPositions.Include(hiToLeft);
    else if (std::int64_t(X) > std::int64_t(tree.Right))
        HitInfo.HitPositions.Include(hiToRight);
    if (Y < 0)
        HitInfo.HitPositions.Include(hiAbove);
    else if (std::int64_t(Y) > std::int64_t(tree.Bottom))
        HitInfo.HitPositions.Include(hiBelow);
    const int windowX = X;
    if (Relative) {
        if (!FHeader->UseColumns() || X >= FHeader->Columns()->GetVisibleFixedWidth())
            X += FEffectiveOffsetX;
        Y -= FOffsetY;
    }
    HitInfo.HitPoint = TPoint{X, Y};
    if (!HitInfo.HitPositions.Empty()) return;

    int nodeTop = 0;
    PLazyNode node = GetNodeAt(X, Y, false, nodeTop);
    if (!node) {
        HitInfo.HitPositions.Include(hiNowhere);
        return;
    }
    initIfNeeded(node);
    HitInfo.HitNode = node;
    HitInfo.HitColumn = NoColumn;
    int width = tree.Right;
    if (FHeader->UseColumns()) {
        int left = 0, right = 0;
        TLazyTreeColumns* columns = FHeader->Columns();
        HitInfo.HitColumn =
            columns->ColumnAndBoundsAt(TPoint(Relative ? windowX : X, 0), left, right, Relative);
        if (HitInfo.HitColumn < 0) {
            HitInfo.HitPositions.Include(hiNowhere);
            return;
        }
        if (TreeOptions()->AutoOptions().Contains(toAutoSpanColumns)) {
            // Empty cells belong to the text of the cell left of them.
            const TColumnIndex hit = HitInfo.HitColumn;
            while (HitInfo.HitColumn >= 0 && FireGetCellIsEmpty(node, HitInfo.HitColumn)) {
                const TColumnIndex previous = columns->GetPreviousVisibleColumn(HitInfo.HitColumn);
                if (previous < 0) break;
                HitInfo.HitColumn = previous;
                left -= columns->Items(previous)->Width();
            }
            for (TColumnIndex next = columns->GetNextVisibleColumn(hit);
                 next >= 0 && FireGetCellIsEmpty(node, next);
                 next = columns->GetNextVisibleColumn(next))
                right += columns->Items(next)->Width();
        }
        X = (Relative ? windowX : X) - left;
        width = right - left;
    }
    HitInfo.HitPositions = THitPositions{hiOnItem};
    if (TreeOptions()->MiscOptions().Contains(toNodeHeightResize)) {
        const TRect r = GetDisplayRect(node, HitInfo.HitColumn, false);
        if (r.Top - FOffsetY + 1 >= Y)
            HitInfo.HitPositions.Include(hiUpperSplitter);
        else if (Y >= r.Bottom - FOffsetY - 3)
            HitInfo.HitPositions.Include(hiLowerSplitter);
    }
    const TAlignment alignment = CellAlignment(HitInfo.HitColumn, false);
    if (CellBiDiMode(HitInfo.HitColumn) == bdLeftToRight)
        HitTestRowLeftToRight(HitInfo, X, width, alignment);
    else
        HitTestRowRightToLeft(HitInfo, X, width, alignment);
}

void TBaseLazyTree::HitTestRowLeftToRight(THitInfo& HitInfo, int X, int CellWidth,
                                          TAlignment Alignment) {
    PLazyNode node = HitInfo.HitNode;
    const bool isMain = HitInfo.HitColumn == MainColumn();
    const TLTPaintOptions paint = TreeOptions()->PaintOptions();
    int indentEnd = 0;
    if (isMain) {
        if (paint.Contains(toFixedIndent))
            indentEnd = int(FIndent);
        else
            indentEnd = int(FIndent) * int(GetNodeLevel(node)) +
                        (paint.Contains(toShowRoot) ? int(FIndent) : 0);
    }
    if (isMain && X < indentEnd + FMargin) {
        if (paint.Contains(toShowButtons) && node->States.Contains(vsHasChildren)) {
            if (X >= indentEnd - int(FIndent)) HitInfo.HitPositions.Include(hiOnItemButton);
            if (X >= indentEnd - ButtonBitmapWidth)
                HitInfo.HitPositions.Include(hiOnItemButtonExact);
        }
        return;
    }
    if (!isMain && TreeOptions()->MiscOptions().Contains(toReportMode)) return;
    int offset = indentEnd + FMargin;
    if (isMain && TreeOptions()->MiscOptions().Contains(toCheckSupport) && CheckImages() &&
        node->CheckType != ctNone)
        offset += CheckImages()->Width() + 2;
    if (isMain && X < offset) {
        HitInfo.HitPositions = THitPositions{hiOnItem};
        if (node->CheckType != ctNone) HitInfo.HitPositions.Include(hiOnItemCheckbox);
        return;
    }
    if (FStateImages && NodeHasImage(node, ikState, HitInfo.HitColumn)) {
        offset += FStateImages->Width() + 2;
        if (X < offset) {
            HitInfo.HitPositions.Include(hiOnStateIcon);
            return;
        }
    }
    if (FImages && NodeHasImage(node, ikNormal, HitInfo.HitColumn)) {
        offset += QueryImageSize(node).X + 2;
        if (X < offset) {
            HitInfo.HitPositions.Include(hiOnNormalIcon);
            return;
        }
    }
    const int t = QueryNodeWidth(node, HitInfo.HitColumn);
    if (t > CellWidth - offset) {
        HitInfo.HitPositions.Include(hiOnItemLabel);
        return;
    }
    switch (Alignment) {
    case taRightJustify:
        HitInfo.HitPositions.Include(X < CellWidth - t ? hiOnItemLeft : hiOnItemLabel);
        break;
    case taCenter: {
        const int l = (offset + CellWidth - t) / 2;
        HitInfo.HitPositions.Include(X < l       ? hiOnItemLeft
                                     : X < l + t ? hiOnItemLabel
                                                 : hiOnItemRight);
        break;
    }
    default:
        HitInfo.HitPositions.Include(X < offset + t ? hiOnItemLabel : hiOnItemRight);
        break;
    }
}

// The exact mirror of the left-to-right test: the parts lie from the cell's right edge in the
// order the left-to-right test finds them from the left edge.
void TBaseLazyTree::HitTestRowRightToLeft(THitInfo& HitInfo, int X, int CellWidth,
                                          TAlignment Alignment) {
    HitTestRowLeftToRight(HitInfo, CellWidth - 1 - X, CellWidth, Alignment);
    THitPositions& p = HitInfo.HitPositions;
    const bool left = p.Contains(hiOnItemLeft), right = p.Contains(hiOnItemRight);
    p.Exclude(hiOnItemLeft);
    p.Exclude(hiOnItemRight);
    if (left) p.Include(hiOnItemRight);
    if (right) p.Include(hiOnItemLeft);
}

TAlignment BiDiAlignment(TAlignment Alignment, TBiDiMode Mode) {
    if (Mode == bdLeftToRight) return Alignment;
    return Alignment == taLeftJustify    ? taRightJustify
           : Alignment == taRightJustify ? taLeftJustify
                                         : Alignment;
}

TBiDiMode TBaseLazyTree::CellBiDiMode(int Column) const {
    if (FHeader->UseColumns() && FHeader->Columns()->IsValidColumn(Column))
        return FHeader->Columns()->Items(Column)->BiDiMode();
    return BiDiMode();
}

TAlignment TBaseLazyTree::CellAlignment(int Column, bool Mirrored) const {
    const TAlignment a = FHeader->UseColumns() && FHeader->Columns()->IsValidColumn(Column)
                             ? FHeader->Columns()->Items(Column)->Alignment()
                             : FAlignment;
    return Mirrored ? BiDiAlignment(a, CellBiDiMode(Column)) : a;
}

int TBaseLazyTree::GetContentRightExtent() {
    int top = 0;
    PLazyNode node = GetNodeAt(0, 0, true, top);
    if (!node) return FMargin;
    const TLTPaintOptions paint = TreeOptions()->PaintOptions();
    int offset = (int(GetNodeLevel(node)) + (paint.Contains(toShowRoot) ? 1 : 0)) * int(FIndent);
    if (FStateImages) offset += FStateImages->Width() + 2;
    if (FImages) offset += FImages->Width() + 2;
    const int checkWidth = TreeOptions()->MiscOptions().Contains(toCheckSupport) && CheckImages()
                               ? CheckImages()->Width() + 2
                               : 0;
    int result = 0;
    while (node) {
        initIfNeeded(node);
        const int check = node->CheckType != ctNone ? checkWidth : 0;
        result = std::max(result, offset + check + QueryNodeWidth(node, NoColumn) +
                                      QueryNodeExtraWidth(node, NoColumn));
        top += int(node->NodeHeight);
        if (top > Height()) break;
        PLazyNode next = GetNextVisible(node);
        if (!next) break;
        offset += NodeLevelDifference(node, next) * int(FIndent);
        node = next;
    }
    return result + FMargin;
}
