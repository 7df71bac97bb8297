// The tree's colour set, its non-client border and its answers to appearance notifications.
#include "treeview/LazyTree.h"

#include "platform/gfx/Gdi.h"
#include "treeview/LazyTreeUtils.h"

TLTColors::TLTColors(TBaseLazyTree* AOwner)
    : FOwner(AOwner), FColors{clBtnShadow,     clHighlight, clHighlight, clHighlight,  clBtnFace,
                              clBtnShadow,     clBtnFace,   clBtnFace,   clWindowText, clHighlight,
                              clBtnFace,       clHighlight, clHighlight, clHighlight,  clBtnShadow,
                              clHighlightText, clBtnFace} {}

// No application style is ever active on this platform, so the stored colour is the answer.
TColor TLTColors::GetColor(Index I) const {
    return FColors[I];
}

void TLTColors::SetColor(Index I, TColor Value) {
    if (FColors[I] == Value) return;
    FColors[I] = Value;
    if (FOwner->IsLoading() || !FOwner->HandleAllocated()) return;
    // The frame is part of the control's own image here, so a border colour repaints it too.
    FOwner->Invalidate();
}

void TLTColors::Assign(const TPersistent* Source) {
    auto* source = dynamic_cast<const TLTColors*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    FColors = source->FColors;
    if (FOwner->UpdateCount() == 0) FOwner->InvalidateWhenShown();
}

TColor TLTColors::BackGroundColor() const {
    return FOwner->Color();
}

TColor TLTColors::HeaderFontColor() const {
    return FOwner->Header()->Font()->Color();
}

TColor TLTColors::NodeFontColor() const {
    return FOwner->Font()->Color();
}

namespace {
// Classic metrics of the window frame.
constexpr int SM_CXEDGE = 2, SM_CYEDGE = 2;
constexpr int SM_CXDLGFRAME = 3, SM_CYDLGFRAME = 3;
} // namespace

void TBaseLazyTree::QueryBorderSize(int& dx, int& dy) {
    dx = dy = 0;
    if (!HandleAllocated()) return;
    const LONG style = GetWindowLong(Handle(), GWL_STYLE);
    const LONG exStyle = GetWindowLong(Handle(), GWL_EXSTYLE);
    if (style & LONG(WS_BORDER)) --dx, --dy;
    if (style & LONG(WS_THICKFRAME)) dx -= SM_CXDLGFRAME, dy -= SM_CYDLGFRAME;
    if (exStyle & LONG(WS_EX_CLIENTEDGE)) dx -= SM_CXEDGE, dy -= SM_CYEDGE;
}

void TBaseLazyTree::PaintNonClientBorder(TCanvas* DC) {
    if (FBevelKind == bkNone && FBorderWidth == 0) return;
    TRect r(0, 0, Width(), Height());
    int dx = 0, dy = 0;
    QueryBorderSize(dx, dy);
    InflateRect(r, dx, dy);
    const TRect whole = r;
    if (FBevelKind != bkNone) {
        static const unsigned inner[] = {0, BDR_SUNKENINNER, BDR_RAISEDINNER, 0};
        static const unsigned outer[] = {0, BDR_SUNKENOUTER, BDR_RAISEDOUTER, 0};
        static const unsigned kind[] = {0, 0, BF_SOFT, BF_FLAT};
        unsigned edges = 0;
        if (FBevelEdges.Contains(beLeft)) edges |= BF_LEFT;
        if (FBevelEdges.Contains(beTop)) edges |= BF_TOP;
        if (FBevelEdges.Contains(beRight)) edges |= BF_RIGHT;
        if (FBevelEdges.Contains(beBottom)) edges |= BF_BOTTOM;
        TRect bevel = r;
        DrawEdge(DC, bevel, inner[FBevelInner] | outer[FBevelOuter],
                 edges | kind[FBevelKind] | (FCtl3D ? 0 : BF_MONO));
        const int width =
            (FBevelInner != bvNone ? FBevelWidth : 0) + (FBevelOuter != bvNone ? FBevelWidth : 0);
        if (FBevelEdges.Contains(beLeft)) r.Left += width;
        if (FBevelEdges.Contains(beTop)) r.Top += width;
        if (FBevelEdges.Contains(beRight)) r.Right -= width;
        if (FBevelEdges.Contains(beBottom)) r.Bottom -= width;
    }
    SaveDC(DC);
    IntersectClipRect(DC, r.Left, r.Top, r.Right, r.Bottom);
    InflateRect(r, -FBorderWidth, -FBorderWidth);
    ExcludeClipRect(DC, r.Left, r.Top, r.Right, r.Bottom);
    FillRect(DC, whole, FColors->BorderColor());
    RestoreDC(DC, -1);
}

THintAnimationType TBaseLazyTree::EffectiveHintAnimation() const {
    // The platform has no system setting for tooltip animation: hints fade in.
    THintAnimationType result = FAnimationType;
    if (result == hatSystemDefault) result = hatFade;
    if (result == hatFade && !CpuMMXPresent) result = hatSlide;
    return result;
}

void TBaseLazyTree::CMColorChanged(TMessage& Message) {
    TCustomControl::CMColorChanged(Message);
    if (!IsLoading()) InvalidateWhenShown();
}

void TBaseLazyTree::CMBiDiModeChanged(TMessage& Message) {
    TCustomControl::CMBiDiModeChanged(Message);
    FEffectiveOffsetX = effectiveOffsetXOf(FOffsetX);
    if (TreeOptions()->AutoOptions().Contains(toAutoBidiColumnOrdering))
        FHeader->Columns()->ResetPositionOrder(UseRightToLeftAlignment());
    FHeader->Invalidate();
}

void TBaseLazyTree::CMFontChanged(TMessage& Message) {
    TCustomControl::CMFontChanged(Message);
    if (IsLoading()) return;
    if (TreeOptions()->AutoOptions().Contains(toAutoChangeScale)) {
        Canvas()->Font()->Assign(Font());
        const int height = Canvas()->TextHeight("Tg");
        if (height > int(FDefaultNodeHeight)) SetDefaultNodeHeight(std::uint32_t(height));
    }
    InvalidateWhenShown();
}

void TBaseLazyTree::CMEnabledChanged(TMessage& Message) {
    TCustomControl::CMEnabledChanged(Message);
}
