// The owner-drawn tree: the application paints each node's content and names its width.
#include "treeview/LazyTree.h"

int TCustomLazyDrawTree::QueryNodeWidth(PLazyNode Node, int Column, TCanvas* Canvas) {
    int width = 2 * TextMargin();
    if (OnGetNodeWidth) OnGetNodeWidth(this, Canvas ? Canvas : this->Canvas(), Node, Column, width);
    return width;
}

TPoint TCustomLazyDrawTree::QueryCellContentMargin(PLazyNode Node, int Column,
                                                   TVTCellContentMarginType CellContentMarginType,
                                                   TCanvas* Canvas) {
    TPoint margin{0, 0};
    if (OnGetCellContentMargin)
        OnGetCellContentMargin(this, Canvas ? Canvas : this->Canvas(), Node, Column,
                               CellContentMarginType, margin);
    return margin;
}

void TCustomLazyDrawTree::PaintNodeContent(TLTPaintInfo& PaintInfo) {
    if (OnDrawNode) OnDrawNode(this, PaintInfo);
}
