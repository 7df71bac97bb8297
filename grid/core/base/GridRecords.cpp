#include "grid/core/base/GridRecords.h"

void TColumnSize::SetStretch(bool v) {
    FStretch = v;
    if (OnStretch) OnStretch();
}

void TColumnSize::Assign(const TPersistent* Source) {
    const auto* src = dynamic_cast<const TColumnSize*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FSave = src->FSave;
    FKey = src->FKey;
    FSection = src->FSection;
    FStretch = src->FStretch;
    FStretchColumn = src->FStretchColumn;
    FSynchWithGrid = src->FSynchWithGrid;
    FSynchNormalCellsOnly = src->FSynchNormalCellsOnly;
    FLocation = src->FLocation;
    FRows = src->FRows;
}

template <typename T> void TCellNode::setVisible(T& field, T v) {
    if (field == v) return;
    field = v;
    if (OnRepaint) OnRepaint();
}

namespace {
void copyGlyph(TBitmap& glyph, const TBitmap* source) {
    if (source)
        glyph.Assign(source);
    else
        glyph.SetSize(0, 0);
}
} // namespace

void TCellNode::SetExpandGlyph(const TBitmap* v) {
    copyGlyph(*FExpandGlyph, v);
}
void TCellNode::SetContractGlyph(const TBitmap* v) {
    copyGlyph(*FContractGlyph, v);
}

void TCellNode::SetNodeType(TNodeType v) {
    setVisible(FNodeType, v);
}
void TCellNode::SetShowTree(bool v) {
    setVisible(FShowTree, v);
}
void TCellNode::SetShowTreeFull(bool v) {
    setVisible(FShowTreeFull, v);
}
void TCellNode::SetNodeIndent(int v) {
    setVisible(FNodeIndent, v);
}
void TCellNode::SetTreeColor(TColor v) {
    setVisible(FTreeColor, v);
}

void TCellNode::Assign(const TPersistent* Source) {
    const auto* src = dynamic_cast<const TCellNode*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FColor = src->FColor;
    FNodeType = src->FNodeType;
    FNodeColor = src->FNodeColor;
    FExpandGlyph->Assign(src->FExpandGlyph.get());
    FExpandOne = src->FExpandOne;
    FContractGlyph->Assign(src->FContractGlyph.get());
    FShowTree = src->FShowTree;
    FShowTreeFull = src->FShowTreeFull;
    FNodeIndent = src->FNodeIndent;
    FTreeColor = src->FTreeColor;
}

void TSizeWhileTyping::Assign(const TPersistent* Source) {
    const auto* src = dynamic_cast<const TSizeWhileTyping*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FHeight = src->FHeight;
    FWidth = src->FWidth;
}
