// TQorStringGrid's cell graphics painter: where a cell's graphic goes inside the cell and how
// each kind is drawn (check boxes in every control style, radio groups, images, pictures,
// progress bars, comments, buttons, shapes, ratings, node buttons, rotated text, sort glyphs).
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUtils.h"
#include "grid/data/DataSettings.h"
#include "grid/render/CellGlyphs.h"
#include "grid/render/ControlLook.h"
#include "grid/render/LookSettings.h"
#include "grid/render/markup/MarkupText.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace {

bool isCheckOrRadio(TCellType t) {
    return t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRowCheckBox ||
           t == ctRadioButton || t == ctTriStateCheckBox;
}

bool statesInText(TCellType t) {
    return t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRowCheckBox;
}

int roundHalfEven(double v) {
    return int(std::nearbyint(v));
}

// A glyph drawn with its transparent colour left out, Scale times its size.
void drawGlyph(TCanvas& Canvas, int X, int Y, const TBitmap* Glyph, double Scale = 1.0) {
    if (!Glyph || Glyph->Empty()) return;
    TBitmap* g = const_cast<TBitmap*>(Glyph);
    TransparentBlt(&Canvas, X, Y, int(std::lround(g->Width() * Scale)),
                   int(std::lround(g->Height() * Scale)), g->Canvas(), 0, 0, g->Width(),
                   g->Height(), g->TransparentColor());
}

void line(TCanvas& Canvas, int x1, int y1, int x2, int y2) {
    Canvas.MoveTo(x1, y1);
    Canvas.LineTo(x2, y2);
}

} // namespace

TQorStringGrid::TCellGraphicInfo TQorStringGrid::GetCellGraphicInfo(int ACol, int ARow) {
    TCellGraphicInfo info;
    int& W = info.Width;
    int& H = info.Height;
    bool& ShowText = info.ShowText;
    TCellGraphic* g =
        ACol >= 0 && ARow >= 0 && ARow < RowCount() ? GetCellGraphic(ACol, ARow) : nullptr;
    if (!g) return info;
    info.Graphic = g;
    info.HAlign = g->CellHAlign();
    info.VAlign = g->CellVAlign();
    TImageList* images = GetCellImageList(ACol, ARow);
    const auto* graphic = dynamic_cast<const TGraphic*>(g->CellBitmap());
    switch (g->CellType()) {
    case ctBitmap:
        if (graphic) W = graphic->Width(), H = graphic->Height();
        break;
    case ctIcon:
        if (g->CellIcon()) W = g->CellIcon()->Width(), H = g->CellIcon()->Height();
        break;
    case ctDataImage:
        ShowText = false;
        [[fallthrough]];
    case ctImageList:
        if (images) W = images->Width(), H = images->Height();
        break;
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
        ShowText = false;
        [[fallthrough]];
    case ctCheckBox:
    case ctTriStateCheckBox:
        W = H = ControlLook()->CheckSize();
        break;
    case ctRotated:
    case ctRadio:
    case ctProgress:
    case ctRangeIndicator:
    case ctXPProgress:
        ShowText = false;
        break;
    case ctImages: {
        const auto* list = dynamic_cast<const TIntList*>(g->CellBitmap());
        const int n = list ? list->Count() : 0;
        const int iw = images ? images->Width() : 0, ih = images ? images->Height() : 0;
        W = g->CellBoolean() ? n * iw : iw;
        H = g->CellBoolean() ? ih : n * ih;
        break;
    }
    case ctPicture:
    case ctFilePicture: {
        const TPoint cell = CellSize(ACol, ARow);
        const TSize s = g->GetPictureSize(cell.X, cell.Y, !Cells(ACol, ARow).empty());
        W = s.cx;
        H = s.cy;
        break;
    }
    case ctButton:
    case ctBitButton:
        W = g->CellIndex() & 0xFFFF;
        H = int(unsigned(g->CellIndex()) >> 16);
        break;
    case ctProgressPie:
        W = H = 20;
        break;
    case ctRadioButton:
        W = H = ControlLook()->RadioSize() + 4;
        break;
    case ctShape:
        W = H = RowHeights(ARow) - 2 * FXYOffset.Y;
        break;
    case ctRating:
        W = g->CellAngle() * 18;
        H = 16;
        ShowText = false;
        break;
    case ctInterface:
        if (auto* drawer = dynamic_cast<ICellDrawer*>(g->CellBitmap())) {
            W = drawer->GetWidth();
            H = drawer->GetHeight();
            info.DrawFirst = drawer->IsBackground();
        }
        break;
    default:
        break;
    }
    return info;
}

TPoint TQorStringGrid::RotatedTextOrigin(const TRect& R, int Angle, TAlignment HAlign,
                                         TVAlignment VAlign, int X, int Y) {
    const double a = Angle * std::numbers::pi / 180.0;
    const int cw = int(std::fabs(std::cos(a) * X)), sh = int(std::fabs(std::sin(a) * Y));
    const int sw = int(std::fabs(std::sin(a) * X)), ch = int(std::fabs(std::cos(a) * Y));
    const int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
    const int deg = ((Angle % 360) + 360) % 360;
    const int quadrant = deg <= 90 ? 0 : deg <= 180 ? 1 : deg <= 270 ? 2 : 3;
    // Per quadrant: x for left, right and centre; y for top, centre and bottom.
    const int down = (sw + T + ch - B) / 2;
    const int xs[4][3] = {{L, Rt - cw - sh, L + (Rt - L - sh - cw) / 2},
                          {L + cw, Rt - sh, Rt - (sh + Rt - L - cw) / 2},
                          {L + sh + cw, Rt, Rt - (Rt - L - sh - cw) / 2},
                          {L + sh, Rt - cw, L + (sh + Rt - L - cw) / 2}};
    const int ys[4][3] = {{T + sw, T + sw - down, B - ch},
                          {T + ch + sw, T + ch + sw - down, B},
                          {T + ch, T + ch - down, B - sw},
                          {T, T - down, B - ch - sw}};
    const int h = HAlign == taRightJustify ? 1 : HAlign == taCenter ? 2 : 0;
    const int v = VAlign == vtaCenter ? 1 : VAlign == vtaBottom ? 2 : 0;
    return {xs[quadrant][h], ys[quadrant][v]};
}

void TQorStringGrid::CalcRotatedTextRect(TRect& R, int Angle, TAlignment HAlign, TVAlignment VAlign,
                                         const std::string& Text) {
    R = TRect(R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2);
    const TSize extent = Canvas()->TextExtent(Text + "w");
    const TPoint origin = RotatedTextOrigin(R, Angle, HAlign, VAlign, extent.cx, extent.cy);
    R.Left = origin.X;
    R.Top = origin.Y;
}

TRect TQorStringGrid::DrawCellGraphic(TCanvas* ACanvas, int DCol, int ARow, TRect R,
                                      const TCellGraphicInfo& Info, TGridDrawState State,
                                      TAlignment HA, TVAlignment VA, int TW) {
    TCellGraphic* Graphic = Info.Graphic;
    if (!ACanvas || !Graphic) return R;
    TCanvas& C = *ACanvas;
    const int ACol = RealColIndex(DCol);
    int W = Info.Width, H = Info.Height;
    const TCellType type = Graphic->CellType();
    const TRect cell = R;
    if (type != ctNode && type != ctProgress && type != ctRangeIndicator && type != ctXPProgress)
        R = TRect(R.Left + FXYOffset.X - 1, R.Top + FXYOffset.Y - 1, R.Right - FXYOffset.X + 1,
                  R.Bottom - FXYOffset.Y + 1);
    const TRect left = R;
    if (TW > 0) TW += 2;
    const int rw = R.Width(), rh = R.Height();

    // Horizontal place by the graphic's own alignment.
    int gl = R.Left + 1;
    switch (Graphic->CellHAlign()) {
    case haLeft:
        break;
    case haRight:
        gl = R.Right - 1 - W;
        break;
    case haCenter:
        gl = W < rw ? R.Left + (rw - W) / 2 : R.Left + 1;
        break;
    case haBeforeText:
        if (HA == taRightJustify)
            gl = std::max(R.Right - TW - W, R.Left + 1);
        else if (HA == taCenter)
            gl = std::max(R.Left + (rw - TW - W) / 2, R.Left + 1);
        break;
    case haAfterText:
        if (HA == taLeftJustify)
            gl = R.Left + TW;
        else if (HA == taRightJustify)
            gl = R.Right - W - 1;
        else
            gl = std::max(R.Left + TW + (rw - TW - W) / 2, R.Left + 1);
        break;
    case haFull:
        gl = R.Left;
        W = rw;
        break;
    }

    // Right to left the graphic shows mirrored within the cell.
    const bool mirrored = UseRightToLeftAlignment();
    if (mirrored) gl = cell.Left + cell.Right - gl - W;

    // Vertical place; a check box or radio button follows a cell alignment of its own.
    static constexpr TCellVAlign fromGrid[] = {vaTop, vaCenter, vaBottom};
    TCellVAlign val = Graphic->CellVAlign();
    if (isCheckOrRadio(type) && VA != FVAlignment) val = fromGrid[VA];
    int gt = R.Top + 1;
    switch (val) {
    case vaBottom:
        gt = R.Bottom - 1 - H;
        break;
    case vaCenter:
        gt = H < rh ? R.Top + (rh - H) / 2 : R.Top + 1;
        break;
    case vaUnderText:
        gt = R.Bottom - H;
        break;
    case vaFull:
        gt = R.Top;
        H = rh;
        break;
    default:
        break;
    }

    auto editable = [&] {
        bool canEdit = true;
        IsEditableCell(ACol, ARow, canEdit);
        return canEdit;
    };
    const TControlStyle style = ControlLook()->ControlStyle();

    switch (type) {
    case ctBitmap:
        if (auto* bmp = dynamic_cast<TBitmap*>(Graphic->CellBitmap()); bmp && !bmp->Empty()) {
            if (Graphic->CellTransparent())
                TransparentBlt(&C, gl, gt, bmp->Width(), bmp->Height(), bmp->Canvas(), 0, 0,
                               bmp->Width(), bmp->Height(), bmp->TransparentColor());
            else
                C.Draw(gl, gt, bmp);
        }
        break;
    case ctIcon:
        if (Graphic->CellIcon()) C.Draw(gl, gt, Graphic->CellIcon());
        break;
    case ctImageList:
        if (TImageList* images = GetCellImageList(ACol, ARow))
            images->Draw(&C, gl, gt, Graphic->CellIndex(), true);
        break;
    case ctDataImage:
        if (TImageList* images = GetCellImageList(ACol, ARow)) {
            int index = -1;
            try {
                index = Ints(ACol, ARow) + Graphic->CellIndex();
            } catch (const EQorGridError&) {
                // A text that is no number shows no image; painting never raises.
                index = -1;
            }
            if (index >= 0 && index < images->Count()) images->Draw(&C, gl, gt, index, true);
        }
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox:
    case ctRadioButton: {
        const bool withText = !statesInText(type) && TW > 0;
        if (HA == taRightJustify)
            gl = (statesInText(type) ? R.Right : R.Right - TW) - W - 1;
        else if (HA == taCenter)
            gl =
                withText ? R.Left + std::max(0, rw - TW) / 2 - W : R.Left + std::max(0, rw - W) / 2;
        else
            gl = R.Left + 1;
        gl = std::max(gl, R.Left + 1);
        if (mirrored) gl = cell.Left + cell.Right - gl - W;
        const bool enabled = editable();
        const TRect box(gl, gt, gl + W, gt + H);
        switch (type) {
        case ctCheckBox:
            // A plain check box has no grayed state: its angle marks a balloon.
            DrawCheck(&C, box, Graphic->CellBoolean(), enabled, false, style, false, cbUnchecked);
            break;
        case ctRowCheckBox:
            DrawCheck(&C, box, Graphic->CellBoolean(), enabled, Graphic->CellAngle() > 0, style,
                      false, cbUnchecked);
            break;
        case ctDataCheckBox:
        case ctVirtCheckBox: {
            std::string checked;
            GetCheckTrue(ACol, ARow, checked);
            DrawCheck(&C, box, Cells(ACol, ARow) == checked, enabled, false, style, false,
                      cbUnchecked);
            break;
        }
        case ctTriStateCheckBox:
            DrawCheck(&C, box, false, enabled, Graphic->CellAngle() > 0, style, true,
                      Graphic->CellCheckBoxState());
            break;
        default: {
            const int rs = ControlLook()->RadioSize();
            const TRect radio(gl + FXYOffset.X, gt, gl + FXYOffset.X + rs, gt + rs);
            DrawRadioGroup(&C, radio, false, 1.0, style, ARow, ACol, false, nullptr, !enabled,
                           false, Graphic->CellBoolean() ? 0 : -2, 1);
            break;
        }
        }
        break;
    }
    case ctRotated: {
        const std::string text = Cells(ACol, ARow);
        TRect r = R;
        TFont font;
        font.Assign(Canvas()->Font());
        Canvas()->Font()->Assign(C.Font());
        CalcRotatedTextRect(r, Graphic->CellAngle(), HA, VA, text);
        Canvas()->Font()->Assign(&font);
        TFont saved;
        HTMLSelectRotatedFont(C, Graphic->CellAngle(), saved);
        C.Brush()->SetStyle(bsClear);
        SaveDC(&C);
        IntersectClipRect(&C, R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2);
        C.TextOut(r.Left, r.Top, text);
        RestoreDC(&C, -1);
        HTMLRestoreFont(C, saved);
        C.Brush()->SetStyle(bsSolid);
        if (IsSortIndicatorCell(ACol, ARow) && FixedRows() > 0 &&
            (SortSettings()->Column() == ACol || FSortIndexes->FindIndex(ACol) >= 0) &&
            (ACol >= FixedCols() || SortSettings()->FixedCols()) &&
            (FSortIndexes->FindIndex(ACol) < 1 || SortSettings()->IndexShow()))
            DrawSortGlyph(&C, ACol, gl + W - 10, gt + 8);
        break;
    }
    case ctNode: {
        const int N = FCellNode->NodeIndent();
        const int I = GetNodeIndent(ARow);
        const int X = R.Left + I - N + N / 2 + 2;
        const bool contracted = Graphic->CellBoolean();
        if (FCellNode->ShowTree() && ARow >= FixedRows()) {
            C.Pen()->SetColor(FCellNode->TreeColor());
            C.Pen()->SetWidth(1);
            const int mid = R.Top + (R.Bottom - R.Top) / 2;
            if (ARow + 1 < RowCount() && GetNodeIndent(ARow + 1) > 0 &&
                !(contracted && GetNodeIndent(ARow + 1) < I))
                line(C, X, mid, X, R.Bottom);
            if (ARow > 0 && GetNodeIndent(ARow - 1) >= I) line(C, X, R.Top, X, R.Top + 6);
        }
        int B = R.Left + I - N / 2 - 4;
        TColor bg = C.Brush()->Color();
        if (bg == clNone) bg = FixedCols() > 0 ? FixedColor() : Color();
        TRect nr = R;
        if (FCellNode->NodeType() == cn3D) {
            C.Brush()->SetColor(FCellNode->Color());
            C.FillRect(TRect(B, R.Top, R.Right, R.Bottom));
            C.Pen()->SetColor(clWhite);
            line(C, B, R.Bottom - 1, B, R.Top);
            line(C, B, R.Top, R.Right - 1, R.Top);
            C.Pen()->SetColor(clGray);
            line(C, R.Right - 1, R.Top, R.Right - 1, R.Bottom - 1);
            line(C, R.Right - 1, R.Bottom - 1, B, R.Bottom - 1);
            ++B;
            nr = TRect(B, R.Top + 1, R.Right - 1, R.Bottom - 1);
        }
        const int nh = nr.Height();
        C.Brush()->SetColor(bg);
        if (FCellNode->NodeType() == cnLeaf) {
            drawGlyph(C, B, nr.Top + std::max(0, nh - 12) / 2,
                      CellGlyph(contracted ? "ASGLEAFCLOSE" : "ASGLEAFOPEN"));
        } else if (FCellNode->NodeType() == cnXP) {
            drawGlyph(C, B + 4, nr.Top + std::max(0, nh - 10) / 2,
                      CellGlyph(contracted ? "XPNODEC" : "XPNODEO"));
        } else if (FCellNode->NodeType() == cnGlyph && !FCellNode->ExpandGlyph()->Empty() &&
                   !FCellNode->ContractGlyph()->Empty()) {
            const TBitmap* glyph =
                contracted ? FCellNode->ContractGlyph() : FCellNode->ExpandGlyph();
            drawGlyph(C, B, nr.Top + std::max(0, nh - glyph->Height()) / 2, glyph);
        } else {
            const int top = nr.Top + std::max(0, nh - 8) / 2;
            TRect box(B + 4, top, B + 12, top + 8);
            C.Brush()->SetColor(FCellNode->Color());
            if (FCellNode->NodeType() == cnFlat) {
                C.Pen()->SetColor(FCellNode->NodeColor());
                C.Rectangle(box.Left, box.Top, box.Right + 1, box.Bottom + 1);
                line(C, B + 6, top + 4, B + 11, top + 4);
                if (contracted) line(C, B + 8, top + 2, B + 8, top + 7);
            } else {
                C.FillRect(box);
                DrawEdge(&C, box, contracted ? BDR_RAISEDINNER : BDR_SUNKENINNER,
                         BF_RECT | BF_SOFT);
            }
        }
        C.Brush()->SetColor(bg);
        break;
    }
    case ctPicture:
        if (auto* picture = dynamic_cast<TPicture*>(Graphic->CellBitmap());
            picture && !picture->Empty()) {
            if (Graphic->CellAngle() != noStretch)
                C.StretchDraw(TRect(gl, gt, gl + W, gt + H), picture->Graphic());
            else
                C.Draw(gl, gt, picture->Graphic());
        }
        break;
    case ctFilePicture:
        if (auto* picture = dynamic_cast<TFilePicture*>(Graphic->CellBitmap()))
            picture->DrawPicture(&C, TRect(gl, gt, gl + W, gt + H));
        break;
    case ctComment:
        if (ControlLook()->CommentColor() != clNone) {
            const TColor keep = C.Brush()->Color();
            const int x = R.Right + FXYOffset.X, y = R.Top - FXYOffset.Y;
            C.Brush()->SetColor(Graphic->CellIndex());
            C.Pen()->SetColor(Graphic->CellIndex());
            C.Polygon({{x - 8, y + 1}, {x - 3, y + 1}, {x - 3, y + 6}});
            C.Brush()->SetColor(keep);
        }
        break;
    case ctButton:
    case ctBitButton:
    case ctExpand: {
        TRect b(gl, gt, gl + W, gt + H);
        if (type == ctExpand) b = TRect(R.Right - 13, R.Top + 1, R.Right, R.Top + 14);
        // The hit test reads the button's place from here.
        Graphic->SetCellValue(double((b.Top - cell.Top) << 16 | ((b.Left - cell.Left) & 0xFFFF)));
        C.Brush()->SetColor(clBtnFace);
        const int look = ControlLook()->FlatButton() ? 2 : 1;
        int state = Graphic->CellBoolean()                             ? 2
                    : FHoverButton.X == DCol && FHoverButton.Y == ARow ? 1
                                                                       : 0;
        if (type != ctExpand && !ControlLook()->NoDisabledButtonLook() && !editable()) state = 3;
        DrawCellButton(C, nullptr, b, look, state, TColorTones());
        const int shift = Graphic->CellBoolean() ? 1 : 0;
        if (type == ctExpand) {
            C.Pen()->SetColor(clBlack);
            C.Pen()->SetWidth(1);
            const bool expanded = !(std::holds_alternative<bool>(Graphic->CellVar()) &&
                                    !std::get<bool>(Graphic->CellVar()));
            if (expanded)
                C.Polyline({{b.Right - 10, b.Top + 8},
                            {b.Right - 7, b.Top + 5},
                            {b.Right - 3, b.Top + 9}});
            else
                C.Polyline({{b.Right - 10, b.Top + 5},
                            {b.Right - 7, b.Top + 8},
                            {b.Right - 3, b.Top + 4}});
            break;
        }
        TRect text(b.Left + shift, b.Top + shift, b.Right + shift, b.Bottom + shift);
        if (type == ctBitButton)
            if (auto* glyph = dynamic_cast<TBitmap*>(Graphic->CellBitmap());
                glyph && !glyph->Empty()) {
                const bool centred = Graphic->CellText().empty() && glyph->Width() < b.Width();
                const int x =
                    centred ? text.Left + (b.Width() - glyph->Width()) / 2 : text.Left + 3;
                drawGlyph(C, x, text.Top + (b.Height() - glyph->Height()) / 2, glyph);
                if (!centred) text.Left = x + glyph->Width();
            }
        if (!Graphic->CellText().empty()) {
            SetBkMode(&C, TRANSPARENT);
            const bool multiLine = Graphic->CellText().find('\r') != std::string::npos;
            DrawText(&C, Graphic->CellText(), -1, text,
                     DT_CENTER | DT_END_ELLIPSIS | DT_NOPREFIX |
                         (multiLine ? DT_WORDBREAK : DT_VCENTER | DT_SINGLELINE));
        }
        break;
    }
    case ctRangeIndicator: {
        int value = 0;
        try {
            value = Ints(ACol, ARow);
        } catch (const EQorGridError&) {
            // A text that is no number shows as 0; painting never raises.
            value = 0;
        }
        const int mx = ControlLook()->ProgressMarginX(), my = ControlLook()->ProgressMarginY();
        DrawRangeIndicator(C, TRect(R.Left + mx, R.Top + my, R.Right - mx, R.Bottom - my), value,
                           Graphic->CellIndex(), Graphic->CellBoolean(), Graphic->CellBitmapColor(),
                           Graphic->CellIconColor());
        break;
    }
    case ctImages:
    case ctRadio:
    case ctProgress:
    case ctXPProgress:
    case ctProgressPie:
    case ctInterface:
    case ctShape:
    case ctRating:
        DrawScaledCellGraphic(C, ACol, ARow, *Graphic, R, TRect(gl, gt, gl + W, gt + H), 1.0,
                              State.Contains(gdSelected));
        break;
    default:
        break;
    }
    return left;
}

void TQorStringGrid::DrawScaledCellGraphic(TCanvas& C, int ACol, int ARow, TCellGraphic& Graphic,
                                           const TRect& Area, const TRect& Box, double Scale,
                                           bool Selected) {
    auto scaled = [Scale](int pixels) { return int(std::lround(pixels * Scale)); };
    switch (Graphic.CellType()) {
    case ctImages: {
        TImageList* images = GetCellImageList(ACol, ARow);
        const auto* list = dynamic_cast<const TIntList*>(Graphic.CellBitmap());
        if (!images || !list) break;
        const int iw = images->Width(), ih = images->Height();
        int x = Box.Left, y = Box.Top;
        for (int i = 0; i < list->Count(); ++i) {
            if (Scale == 1.0) {
                images->Draw(&C, x, y, list->GetInteger(i), true);
            } else if (iw > 0 && ih > 0) {
                // Drawn at its own size on the cell's colour, then stretched.
                TBitmap image(iw, ih);
                image.Canvas()->Brush()->SetColor(C.Brush()->Color());
                image.Canvas()->FillRect(TRect(0, 0, iw, ih));
                images->Draw(image.Canvas(), 0, 0, list->GetInteger(i), true);
                C.StretchDraw(TRect(x, y, x + scaled(iw), y + scaled(ih)), &image);
            }
            if (Graphic.CellBoolean())
                x += scaled(iw);
            else
                y += scaled(ih);
        }
        break;
    }
    case ctRadio: {
        bool canEdit = true;
        IsEditableCell(ACol, ARow, canEdit);
        auto* items = dynamic_cast<TStrings*>(Graphic.CellBitmap());
        DrawRadioGroup(&C, Area, false, Scale, ControlLook()->ControlStyle(), ARow, ACol, Selected,
                       items, !canEdit, Graphic.CellBoolean(), Graphic.CellIndex(),
                       items ? items->Count() : 0);
        break;
    }
    case ctProgress: {
        double value = 0;
        try {
            value = Floats(ACol, ARow);
        } catch (const EQorGridError&) {
            // A text that is no number shows an empty bar; painting never raises.
            value = 0;
        }
        const int d = scaled(2);
        const TRect r(Area.Left + d, Area.Top + d, Area.Right - d, Area.Bottom - d);
        DrawProgressBar(
            C, r, Graphic.CellBitmapColor(), Graphic.CellIndex(), Graphic.CellIconColor(),
            Graphic.CellAngle(), value, scaled(ControlLook()->ProgressMarginX()),
            scaled(ControlLook()->ProgressMarginY()), Graphic.CellErrFrom(), Graphic.CellErrLen(),
            Graphic.CellText(), ControlLook()->ProgressBorderColor(), false);
        break;
    }
    case ctXPProgress: {
        int value = 0;
        try {
            value = Ints(ACol, ARow);
        } catch (const EQorGridError&) {
            // A text that is no number shows an empty bar; painting never raises.
            value = 0;
        }
        const int from = Graphic.CellErrFrom(), to = Graphic.CellErrLen();
        // Equal bounds leave nothing to measure against: the bar stays empty.
        const int percent =
            to == from ? 0 : roundHalfEven(std::abs(value - from) * 100.0 / (to - from));
        const int mx = scaled(ControlLook()->ProgressMarginX());
        const int my = scaled(ControlLook()->ProgressMarginY());
        // The grid's progress appearance; an unset background is the cell's colour.
        const TGridProgressAppearance* pa = FProgressAppearance.get();
        TProgressLook look;
        look.Level0Color = pa->Level0Color();
        look.Level0ColorTo = pa->Level0ColorTo();
        look.Level1Color = pa->Level1Color();
        look.Level1ColorTo = pa->Level1ColorTo();
        look.Level2Color = pa->Level2Color();
        look.Level2ColorTo = pa->Level2ColorTo();
        look.Level3Color = pa->Level3Color();
        look.Level3ColorTo = pa->Level3ColorTo();
        look.Level1Perc = pa->Level1Perc();
        look.Level2Perc = pa->Level2Perc();
        look.BorderColor = pa->BorderColor();
        look.ShowBorder = pa->ShowBorder();
        look.Stacked = pa->Stacked();
        look.ShowPercentage = pa->ShowPercentage();
        look.FontName = Font()->Name();
        look.FontSize = scaled(look.FontSize);
        look.FontColor = pa->CompleteFontColor();
        look.CompletionSmooth = pa->CompletionSmooth();
        look.ShowGradient = pa->ShowGradient();
        look.Steps = pa->Steps();
        look.BackgroundColor =
            pa->UnCompleteColor() != clNone ? pa->UnCompleteColor() : C.Brush()->Color();
        const int d = scaled(1);
        DrawCellProgress(
            C, TRect(Area.Left + mx, Area.Top + my, Area.Right - mx - d, Area.Bottom - my - d),
            std::clamp(percent, 0, 100), look);
        break;
    }
    case ctProgressPie:
        DrawProgressPie(C, TRect(Box.Left, Box.Top, Box.Left + scaled(20), Box.Top + scaled(20)),
                        Graphic.CellBitmapColor(), Graphic.CellAngle(), false);
        break;
    case ctInterface:
        if (auto* drawer = dynamic_cast<ICellDrawer*>(Graphic.CellBitmap()))
            drawer->Draw(&C, TRect(Area.Left - 1, Area.Top - 1, Area.Right, Area.Bottom), this,
                         Selected, ARow, ACol);
        break;
    case ctShape:
        DrawCellShape(C, Box.Left, Box.Top, Box.Width() - 1, Box.Height() - 1,
                      TCellShape(Graphic.CellAngle()), Graphic.CellIndex(),
                      Graphic.CellBitmapColor());
        break;
    case ctRating: {
        double v = 0;
        try {
            v = roundHalfEven(Floats(ACol, ARow) * 2) / 2.0;
        } catch (const EQorGridError&) {
            // A text that is no number shows no stars filled; painting never raises.
            v = 0;
        }
        const int star = scaled(16);
        for (int i = 0; i < Graphic.CellAngle(); ++i) {
            const int x = Box.Left + scaled(18 * i);
            const TColor c = i + 1 <= v ? TColor(Graphic.CellIndex()) : Graphic.CellBitmapColor();
            DrawCellShape(C, x, Box.Top, star, star, csStar, c, c);
            if (i < v && v < i + 1)
                DrawCellShape(C, x, Box.Top, star, star, csHalfStar, Graphic.CellIndex(),
                              Graphic.CellIndex());
        }
        break;
    }
    default:
        break;
    }
}

void TQorStringGrid::DrawCheck(TCanvas* Canvas, TRect R, bool Checked, bool Enabled, bool Grayed,
                               TControlStyle Style, bool TriState, TCheckBoxState State) {
    if (!Canvas) return;
    TCanvas& C = *Canvas;
    TControlLook* look = ControlLook();
    if (look->NoDisabledCheckRadioLook() || look->CheckAlwaysActive()) Enabled = true;
    // Without visual styles the themed look is the classic one.
    if (Style == csTheme) Style = csClassic;
    if (TriState) {
        Checked = State == cbChecked;
        Grayed = State == cbGrayed;
    }
    switch (Style) {
    case csWinXP:
        drawGlyph(C, R.Left, R.Top,
                  CellGlyph(Checked ? (Enabled ? "ASGCHK05" : "ASGCHK07")
                                    : (Enabled ? "ASGCHK06" : "ASGCHK08")));
        break;
    case csQor:
        drawGlyph(C, R.Left, R.Top,
                  CellGlyph(Checked ? (Enabled ? "ASGCHK01" : "ASGCHK03")
                                    : (Enabled ? "ASGCHK02" : "ASGCHK04")));
        break;
    case csBorland: {
        const TColor keepBrush = C.Brush()->Color();
        C.Brush()->SetColor(Enabled ? clBtnFace : clBtnShadow);
        C.Pen()->SetColor(clBtnFace);
        C.Rectangle(R);
        C.Pen()->SetColor(clBtnHighlight);
        line(C, R.Left, R.Bottom - 1, R.Left, R.Top);
        line(C, R.Left, R.Top, R.Right - 1, R.Top);
        C.Pen()->SetColor(clBtnShadow);
        line(C, R.Right - 1, R.Top, R.Right - 1, R.Bottom - 1);
        line(C, R.Right - 1, R.Bottom - 1, R.Left, R.Bottom - 1);
        if (Checked) {
            C.Pen()->SetColor(Enabled ? look->Color() : clGray);
            const int T = R.Top - 1, B = R.Bottom - 1, L = R.Left, Rt = R.Right,
                      S = look->CheckSize() / 2;
            line(C, L + 2, T + S + 1, L + 2, B - 1);
            line(C, L + 3, T + S, L + 3, B - 2);
            line(C, L + 2, B - 1, Rt - 2, T + 3);
            line(C, L + 3, B - 1, Rt - 1, T + 3);
        }
        C.Brush()->SetColor(keepBrush);
        break;
    }
    case csGlyph:
        drawGlyph(C, R.Left, R.Top, Checked ? look->CheckedGlyph() : look->UnCheckedGlyph());
        break;
    default: {
        const int s = look->CheckSize();
        TRect box(R.Left + (R.Width() - s) / 2, R.Top + (R.Height() - s) / 2, 0, 0);
        box.Right = box.Left + s;
        box.Bottom = box.Top + s;
        unsigned flags = DFCS_BUTTONCHECK;
        if (Checked) flags |= DFCS_CHECKED;
        if (Grayed) flags |= DFCS_CHECKED | DFCS_BUTTON3STATE;
        if (Style == csFlat) flags |= DFCS_FLAT;
        if (!Enabled) flags |= DFCS_INACTIVE;
        DrawFrameControl(&C, box, DFC_BUTTON, flags);
        break;
    }
    }
}

void TQorStringGrid::DrawRadioGroup(TCanvas* Canvas, TRect R, bool BottomUp, double Scale,
                                    TControlStyle Style, int ARow, int ACol, bool Selected,
                                    TStrings* Items, bool Disabled, bool SideBySide, int ItemIndex,
                                    int Count) {
    if (!Canvas) return;
    TCanvas& C = *Canvas;
    TControlLook* look = ControlLook();
    if (look->NoDisabledCheckRadioLook() || look->RadioAlwaysActive()) Disabled = false;
    if (Style == csTheme) Style = csClassic;
    SetBkMode(&C, TRANSPARENT);
    const TColor keepFont = C.Font()->Color();
    if (Selected && FShowSel) C.Font()->SetColor(FSelectionTextColor);
    const bool classic = Style == csClassic || Style == csFlat;
    const int th = C.TextHeight("gh");
    // The glyph looks keep their screen pixels times Scale, as the classic look its size.
    auto scaled = [Scale](int pixels) { return int(std::lround(pixels * Scale)); };
    const int lineHeight = classic ? th : std::max(scaled(16), th);
    const std::string cellText = Items ? Cells(ACol, ARow) : std::string();
    int x = R.Left + scaled(2);
    for (int i = 1; i <= Count; ++i) {
        const std::string text =
            Items && i - 1 < Items->Count() ? Items->Get(i - 1) : std::string();
        const bool on = i == ItemIndex + 1 || (ItemIndex == -1 && Items && text == cellText);
        int gx, gy;
        if (SideBySide) {
            gx = x;
            gy = R.Top + (R.Height() - lineHeight) / 2;
        } else {
            gy = BottomUp ? R.Bottom - i * lineHeight - scaled(2)
                          : R.Top + (i - 1) * lineHeight + scaled(2);
            gx =
                text.empty() && !Items ? R.Left + (R.Width() - lineHeight) / 2 : R.Left + scaled(2);
            if (!Items) gx = R.Left, gy = R.Top;
        }
        int textX;
        if (classic) {
            const int s = int(look->RadioSize() * Scale) + (Style == csFlat ? 2 : 0);
            TRect box(gx, gy, gx + s, gy + s);
            unsigned flags = DFCS_BUTTONRADIO;
            if (on) flags |= DFCS_CHECKED;
            if (Disabled) flags |= DFCS_INACTIVE;
            if (Style == csFlat) flags |= DFCS_FLAT;
            DrawFrameControl(&C, box, DFC_BUTTON, flags);
            textX = gx + int(Scale * (SideBySide ? look->RadioSize() : look->RadioSize() + 4));
        } else {
            switch (Style) {
            case csBorland: {
                const TColor keep = C.Brush()->Color();
                C.Brush()->SetColor(clBtnFace);
                C.Pen()->SetColor(clBtnFace);
                auto at = [&](int x, int y) { return TPoint(gx + scaled(x), gy + scaled(y)); };
                C.Polygon({at(2, 8), at(8, 2), at(14, 8), at(8, 14)});
                C.Pen()->SetColor(on ? clGray : clWhite);
                C.MoveTo(at(2, 8).X, at(2, 8).Y);
                C.LineTo(at(8, 14).X, at(8, 14).Y);
                C.Pen()->SetColor(on ? clWhite : clGray);
                C.MoveTo(at(8, 2).X, at(8, 2).Y);
                C.LineTo(at(14, 8).X, at(14, 8).Y);
                if (on) {
                    C.Brush()->SetColor(look->Color());
                    C.Pen()->SetColor(look->Color());
                    C.Polygon({at(6, 8), at(8, 6), at(10, 8), at(8, 10)});
                }
                C.Brush()->SetColor(keep);
                break;
            }
            case csGlyph:
                drawGlyph(C, gx, gy, on ? look->RadioOnGlyph() : look->RadioOffGlyph(), Scale);
                break;
            case csQor:
                drawGlyph(C, gx, gy,
                          CellGlyph(on ? (Disabled ? "ASGRAD03" : "ASGRAD01")
                                       : (Disabled ? "ASGRAD04" : "ASGRAD02")),
                          Scale);
                break;
            default:
                drawGlyph(C, gx, gy,
                          CellGlyph(on ? (Disabled ? "ASGRAD07" : "ASGRAD05")
                                       : (Disabled ? "ASGRAD08" : "ASGRAD06")),
                          Scale);
                break;
            }
            textX = gx + scaled(SideBySide ? 16 : 18);
        }
        if (!text.empty()) C.TextOut(textX, gy, text);
        x = textX + (text.empty() ? 0 : C.TextWidth(text)) + scaled(2);
    }
    C.Font()->SetColor(keepFont);
}

void TQorStringGrid::DrawSortGlyph(TCanvas* Canvas, int ACol, int X, int Y) {
    if (!Canvas) return;
    TCanvas& C = *Canvas;
    TSortSettings* s = SortSettings();
    const int position = FSortIndexes->FindIndex(ACol);
    if (s->IndexShow() && position >= 0) {
        const bool descending = FSortIndexes->GetInteger(position) < 0;
        C.Brush()->SetColor(s->IndexColor());
        C.Pen()->SetColor(s->IndexColor());
        SetBkMode(&C, TRANSPARENT);
        const TBitmap* glyph = descending ? s->IndexUpGlyph() : s->IndexDownGlyph();
        if (descending) {
            if (!glyph->Empty())
                drawGlyph(C, X - 7, Y - 7, glyph);
            else
                C.Polygon({{X - 7, Y - 5}, {X + 7, Y - 5}, {X, Y + 8}});
        } else {
            if (!glyph->Empty())
                drawGlyph(C, X - 7, Y - 7, glyph);
            else
                C.Polygon({{X - 6, Y + 8}, {X + 6, Y + 8}, {X, Y - 4}});
        }
        C.Font()->SetColor(clBlack);
        C.Font()->SetSize(6);
        C.TextOut(X - 2, descending ? Y - 4 : Y - 2, std::to_string(position + 1));
    } else if (s->Direction() == sdDescending) {
        if (!s->DownGlyph()->Empty() && !s->UpGlyph()->Empty()) {
            drawGlyph(C, X - 4, Y - 4, s->DownGlyph());
            C.Brush()->SetColor(FixedColor());
        } else {
            C.Pen()->SetColor(clWhite);
            line(C, X + 4, Y - 4, X, Y + 4);
            C.Pen()->SetColor(clGray);
            C.LineTo(X - 4, Y - 4);
            C.LineTo(X + 4, Y - 4);
        }
    } else {
        if (!s->DownGlyph()->Empty() && !s->UpGlyph()->Empty()) {
            drawGlyph(C, X - 4, Y - 4, s->UpGlyph());
            C.Brush()->SetColor(FixedColor());
        } else {
            C.Pen()->SetColor(clWhite);
            line(C, X - 4, Y + 4, X + 4, Y + 4);
            C.LineTo(X, Y - 4);
            C.Pen()->SetColor(clGray);
            C.LineTo(X - 4, Y + 4);
        }
    }
    C.Pen()->SetColor(clBlack);
}
