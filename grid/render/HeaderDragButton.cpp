#include "grid/render/HeaderDragButton.h"

#include "grid/core/QorStringGrid.h"
#include "grid/render/markup/MarkupRender.h"
#include "platform/gfx/Gdi.h"

THeaderDragButton::THeaderDragButton(TComponent* AOwner) : TCustomControl(AOwner) {
    SetColor(clBtnFace);
    SetVisible(false);
    SetEnabled(false);
}

void THeaderDragButton::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
}

void THeaderDragButton::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetColor(FGrid ? FGrid->FixedColor() : Color());
    c->FillRect(r);
    if (!FFlat) DrawEdge(c, r, EDGE_RAISED, BF_RECT);
    if (FGrid) c->Font()->Assign(FGrid->FixedFont());
    SetBkMode(c, TRANSPARENT);
    if (Caption().find("</") == std::string::npos) {
        DrawText(c, Caption(), -1, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
        return;
    }
    HTMLRenderOptions o;
    o.HitX = 2;
    o.HitY = 2;
    o.FocusedLink = -1;
    o.HoveredLink = -1;
    HTMLRenderResult res;
    HTMLRenderText(*c, Caption(), r, o, res);
}
