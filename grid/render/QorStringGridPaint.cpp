// The grid's paint pass and the per-cell painter: header looks, content, borders, look edges,
// tree lines, user drawing and the focus rectangle; the XOR sizing lines.
#include "grid/render/QorStringGridPaint.h"
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridDraw.h"
#include "grid/core/base/GridTheme.h"
#include "grid/data/DataSettings.h"
#include "grid/render/ControlLook.h"
#include "grid/render/LookSettings.h"
#include "platform/ui/core/SysInfo.h"

#include <algorithm>

namespace {

void line(TCanvas* c, int x1, int y1, int x2, int y2) {
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
}

bool headerGradientLook(TGridLook look) {
    return look == glQor || look == glXP || look == glVista || look == glWin7 ||
           look == glOffice2007;
}

} // namespace

void TQorStringGrid::Paint() {
    TCanvas* c = Canvas();
    c->Pen()->SetStyle(psSolid);
    c->Brush()->SetStyle(bsSolid);
    TBaseGrid::Paint();
    if (EditorMode()) {
        const bool noLines = !Options().Contains(goHorzLine) && !Options().Contains(goVertLine);
        c->Pen()->SetColor(GridLineWidth() < 1 || noLines ? Color() : GridLineColor());
        // Only the outline: the editor covers the cell itself.
        c->Brush()->SetStyle(bsClear);
        c->Rectangle(CellRect(Col(), Row()));
        c->Brush()->SetStyle(bsSolid);
    }
    c->Pen()->SetColor(clBlack);
    if (!FBackGround->Bitmap()->Empty() || FBackGround->ColorTo() != clNone) PaintBackgroundArea();
    PaintDesignHelper();
    // What the mouse holds stays on top of the cells: a pushed header, the panning origin.
    if (FFixedCellPushed) drawFixedCellEdge(true);
    if (FWheelPan) DrawWheelPanGlyph();
    if (OnPainted) OnPainted(this);
}

void TQorStringGrid::SetHoverFixedCell(int ACol, int ARow) {
    if (ACol == FHoverFixedX && ARow == FHoverFixedY) return;
    FHoverFixedX = ACol;
    FHoverFixedY = ARow;
    Invalidate();
}

std::string TQorStringGrid::GetPrintCellText(int ACol, int ARow) {
    return Cells(ACol, ARow);
}

// A classic vertical bar: arrows at both ends, the thumb where the position stands in the range
// and as long as the page's share of it. R loses the bar's width.
void TQorStringGrid::paintCellScrollBar(TCanvas& C, int ACol, int ARow, TRect& R) {
    const int w = GetSystemMetrics(SM_CXVSCROLL);
    const TScrollProp p = GetScrollProp(ACol, ARow);
    const int pos = std::max(0, GetScrollPosition(ACol, ARow));
    TRect bar{R.Right - w, R.Top, R.Right, R.Bottom};
    R.Right = bar.Left;
    C.Brush()->SetColor(clScrollBar);
    C.FillRect(bar);
    const int arrow = std::min(w, bar.Height() / 2);
    TRect up{bar.Left, bar.Top, bar.Right, bar.Top + arrow};
    TRect down{bar.Left, bar.Bottom - arrow, bar.Right, bar.Bottom};
    DrawFrameControl(&C, up, DFC_SCROLL, DFCS_SCROLLUP);
    DrawFrameControl(&C, down, DFC_SCROLL, DFCS_SCROLLDOWN);
    const int track = bar.Height() - 2 * arrow;
    if (track <= 0 || p.Range <= 0) return;
    const int len = std::max(8, MulDiv(track, std::max(p.PageSize, 1), p.Range));
    const int top = up.Bottom + MulDiv(track - len, pos, std::max(1, p.Range - p.PageSize));
    TRect thumb{bar.Left, top, bar.Right, std::min(top + len, down.Top)};
    C.Brush()->SetColor(clBtnFace);
    C.FillRect(thumb);
    DrawEdge(&C, thumb, EDGE_RAISED, BF_RECT);
}

void TQorStringGrid::DrawGridCell(TCanvas* Canvas, int ACol, int ARow, TRect ARect,
                                  TGridDrawState AState) {
    CellPaint P;
    P.Canvas = Canvas;
    P.ACol = ACol;
    P.RCol = RealColIndex(ACol);
    P.ARow = ARow;
    P.State = AState;
    P.R = ARect;
    P.Cell = ARect;
    P.Mirrored = UseRightToLeftAlignment();
    TRect& R = P.R;
    const int RCol = P.RCol;
    // 1.
    FCtl3D = !FFlat;
    // 2. the header filter button
    P.FilterButton = ARow == FFilterDropDownRow && BuildColumnFilterList(RCol);
    // 3. the cell scroll bar at the right edge
    if (cellScrollBarShown(RCol, ARow)) paintCellScrollBar(*Canvas, RCol, ARow, R);
    // 4. colours, font, alignment and word wrap
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TCellGradientDirection gd = GradientVertical;
    P.WW = WordWrap();
    GetVisualProperties(ACol, ARow, P.State, false, false, true, Canvas->Brush(), colorTo, mirror,
                        mirrorTo, Canvas->Font(), P.HA, P.VA, P.WW, gd);
    // 5. the cell graphic
    P.Info = GetCellGraphicInfo(RCol, ARow);
    if (RCol == 0 && HasNodes() && GetCellType(0, ARow) == ctNode && HasCellProperties(0, ARow))
        P.Info.Width = propsOf(0, ARow)->NodeLevel() * 12 + 4;
    // 6.
    if (P.State.Contains(gdSelected) && !P.State.Contains(gdFocused) && FSelectionColor == clNone)
        Canvas->Brush()->SetColor(clHighlight);
    // 7.
    if (FZoomFactor != 0) Canvas->Font()->SetSize(Canvas->Font()->Size() + FZoomFactor);
    P.B1 = Canvas->Brush()->Color();
    P.F1 = Canvas->Font()->Color();
    // 8. the fixed look
    bool fixedLook = IsFixed(ACol, ARow) || ACol < FixedCols() || ARow < FixedRows();
    if (ARow == FHoverRowIdx && FHoverRowCells.Contains(hcFixed)) fixedLook = false;
    // 9. The platform has no application style elements, so no cell is drawn by them.
    // 10. header gradients
    if (fixedLook && headerGradientLook(FLook)) {
        const bool hoverTest = FHoverFixedCells == hfAll ||
                               (FHoverFixedCells == hfFixedColumns && ACol < FixedCols()) ||
                               (FHoverFixedCells == hfFixedRows && ARow < FixedRows());
        const bool colMoving = GridState() == gsColMoving;
        const bool hovered = hoverTest && !Designing() &&
                             ((FHoverFixedX == ACol && FHoverFixedY == ARow && !colMoving) ||
                              (colMoving && ACol == FMoveIndex));
        const bool activeHeader =
            FActiveCellShow && ((ARow == Row() && ACol == FixedCols() - 1 && FixedCols() > 0) ||
                                (ACol == Col() && ARow == FixedRows() - 1 && FixedRows() > 0));
        const TSortSettings* ss = FSortSettings.get();
        const bool sortHeader = ss->Column() != -1 && ss->HeaderColor() != clNone &&
                                ss->Column() == RCol && ARow == FixedRows() - 1 &&
                                (ACol >= FixedCols() || ss->FixedCols());
        if (hovered) {
            ++R.Bottom;
            const bool pressed = FHeaderPressed || (colMoving && FMoveIndex >= 0);
            const bool dropDown = FControlLook->FixedDropDownButton() && CanShowFixedDropDown(RCol);
            auto hoverLook = [&](const TRect& A) {
                DrawGradientCell(*Canvas, A, FQorGradHoverFrom, FQorGradHoverTo,
                                 FQorGradHoverMirrorFrom, FQorGradHoverMirrorTo, true,
                                 FQorGradHoverBorder, false, true);
            };
            auto downLook = [&](const TRect& A) {
                DrawGradientCell(*Canvas, A, FQorGradDownFrom, FQorGradDownTo,
                                 FQorGradDownMirrorFrom, FQorGradDownMirrorTo, true,
                                 FQorGradDownBorder, false, true);
            };
            if (!pressed) {
                hoverLook(R);
            } else if (dropDown) {
                // The button strip and the rest of the header: one pressed, one lit.
                const TRect strip = P.Shown(TRect(R.Right - 16, R.Top, R.Right, R.Bottom));
                const TRect rest = P.Shown(TRect(R.Left, R.Top, R.Right - 16, R.Bottom));
                if (FDropDownDown) {
                    downLook(strip);
                    hoverLook(rest);
                } else {
                    hoverLook(strip);
                    downLook(rest);
                }
            } else {
                downLook(R);
            }
            if (dropDown) {
                Canvas->Pen()->SetColor(pressed ? FQorGradDownBorder : FQorGradHoverBorder);
                Canvas->MoveTo(P.ShownX(R.Right - 16), R.Top);
                Canvas->LineTo(P.ShownX(R.Right - 16), R.Bottom);
                DrawDownArrow(*Canvas, P.ShownX(R.Right - 8), R.Top + 8, clBlack);
                R.Right -= 16;
            }
        } else if (activeHeader) {
            DrawGradientCell(*Canvas, R, FActiveCellColor, FActiveCellColorTo, clNone, clNone, true,
                             clNone, false, true);
        } else if (sortHeader) {
            DrawGradientCell(*Canvas, R, ss->HeaderColor(), ss->HeaderColorTo(),
                             ss->HeaderMirrorColor(), ss->HeaderMirrorColorTo(), true, clNone,
                             false, true);
        } else if (!FFlat) {
            DrawGradientCell(*Canvas, R, Canvas->Brush()->Color(), colorTo, mirror, mirrorTo, true,
                             FLook == glVista ? TColor(clWhite) : TColor(clNone), true, true);
        }
        Canvas->Brush()->SetColor(P.B1);
    }
    // 11. the row indicator
    const bool indicator = RCol == 0 && ARow == Row() && FixedCols() > 0 &&
                           !FRowIndicator->Empty() &&
                           !(RowCount() == FixedRows() && FFixedRowAlways);
    if (indicator) {
        TBitmap& bmp = *FRowIndicator;
        bmp.SetTransparent(true);
        bmp.SetTransparentMode(tmAuto);
        int y = R.Top;
        if (FVAlignment == vtaCenter) y = R.Top + (R.Height() - bmp.Height()) / 2;
        if (FVAlignment == vtaBottom) y = R.Bottom - bmp.Height();
        Canvas->Draw(R.Left + 2, y, &bmp);
        R.Left += bmp.Width() + 2;
    }
    // 12. the list-view look, drawn without visual styles (the platform offers none)
    if (FLook == glListView && fixedLook && !FFlat) {
        Canvas->Brush()->SetColor(clBtnFace);
        Canvas->Pen()->SetColor(clWhite);
        Canvas->Rectangle(R);
        Canvas->Brush()->SetColor(P.B1);
    }
    // 14.
    if (OnCustomCellBkgDraw) OnCustomCellBkgDraw(this, Canvas, RCol, ARow, P.State, R, false);
    // 15. editor buttons shown in every cell
    const int rightBeforeButtons = R.Right;
    if (!IsFixed(ACol, ARow) &&
        (FControlLook->DropDownAlwaysVisible() || FControlLook->SpinButtonsAlwaysVisible())) {
        const bool styles = ThemeIsActive(GridThemeBinding());
        const int look = FControlLook->FlatButton() ? 2 : styles ? 0 : 1;
        bool editable = true;
        IsEditableCell(RCol, ARow, editable);
        const int state = editable ? 0 : 3;
        const TColorTones tones{};
        if (FControlLook->DropDownAlwaysVisible() && HasComboBox(RCol, ARow)) {
            DrawComboButton(*Canvas, Handle(), TRect(R.Left - 2, R.Top - 1, R.Right + 1, R.Bottom),
                            look, state, tones);
            R.Right -= 16;
        } else if (FControlLook->SpinButtonsAlwaysVisible() && HasSpinEdit(RCol, ARow)) {
            DrawSpinButtons(*Canvas, Handle(), TRect(R.Left - 2, R.Top - 1, R.Right + 1, R.Bottom),
                            look, state, tones);
            R.Right -= 16;
        }
        Canvas->Brush()->SetColor(P.B1);
    }
    // 16. the content
    bool graphicDrawn = false;
    if (P.Info.Graphic && P.Info.DrawFirst) {
        InflateRect(R, 1, 1);
        DrawCellGraphic(Canvas, ACol, ARow, R, P.Info, P.State, P.HA, P.VA, 0);
        InflateRect(R, -1, -1);
        graphicDrawn = true;
    }
    const bool userDraws = (OnDrawCell || OnCustomCellDraw) && FFlags.NoDefaultDraw;
    if (!((P.Info.Graphic && FNoImageAndText) || userDraws)) drawCellText(P);
    // 17.
    R.Right = rightBeforeButtons;
    Canvas->Brush()->SetColor(P.B1);
    Canvas->Font()->SetColor(P.F1);
    // 18. the cell borders
    InflateRect(R, 1, 1);
    drawCellBorders(P);
    // 19.
    if (indicator) R.Left -= FRowIndicator->Width();
    // 20. - 22. the look's edges of fixed cells
    if (fixedLook && !FFlat) {
        if (FLook == glClassic) {
            OffsetRect(R, 0, 1);
            ++R.Left;
            TRect e = R;
            DrawEdge(Canvas, e, BDR_RAISEDINNER, BF_LEFT | BF_TOP);
            e = R;
            DrawEdge(Canvas, e, BDR_RAISED, BF_RIGHT | BF_BOTTOM);
            Canvas->Pen()->SetColor(clBlack);
            Canvas->Pen()->SetWidth(1);
            Canvas->MoveTo(R.Right - 1, R.Top);
            Canvas->LineTo(R.Right - 1, R.Bottom - 1);
            Canvas->LineTo(R.Left - 1, R.Bottom - 1);
        } else if (FLook == glQor || FLook == glXP) {
            ++R.Bottom;
            if (Options().Contains(goFixedHorzLine)) {
                Canvas->Pen()->SetWidth(1);
                Canvas->Pen()->SetColor(HalfColor(FixedColor()));
                line(Canvas, R.Left, R.Bottom - 1, R.Right, R.Bottom - 1);
                Canvas->Pen()->SetColor(clWhite);
                Canvas->MoveTo(P.ShownX(R.Right - 2), R.Top + 1);
                Canvas->LineTo(P.ShownX(R.Left + 1), R.Top + 1);
                Canvas->LineTo(P.ShownX(R.Left + 1), R.Bottom - 1);
            }
        } else if (FLook == glSoft) {
            Canvas->Pen()->SetWidth(1);
            if (FCtl3D) {
                ++R.Right;
                ++R.Bottom;
                if (Options().Contains(goFixedHorzLine)) {
                    Canvas->Pen()->SetColor(HalfColor(FixedColor()));
                    line(Canvas, R.Left, R.Bottom - 1, R.Right, R.Bottom - 1);
                    Canvas->Pen()->SetColor(clWhite);
                    Canvas->MoveTo(R.Right, R.Top + 1);
                    Canvas->LineTo(R.Left + 1, R.Top + 1);
                    Canvas->LineTo(R.Left + 1, R.Bottom - 1);
                }
                if (Options().Contains(goFixedVertLine)) {
                    Canvas->Pen()->SetColor(HalfColor(FixedColor()));
                    line(Canvas, R.Right - 2, R.Top, R.Right - 2, R.Bottom - 1);
                    Canvas->Pen()->SetColor(clWhite);
                    line(Canvas, R.Right - 1, R.Top, R.Right - 1, R.Bottom - 1);
                }
            } else {
                Canvas->Pen()->SetColor(clBlack);
                if (Options().Contains(goFixedHorzLine)) {
                    line(Canvas, R.Left - 1, R.Top - 1, R.Right + 1, R.Top - 1);
                    line(Canvas, R.Left - 1, R.Bottom + 1, R.Right + 1, R.Bottom + 1);
                }
                if (Options().Contains(goFixedVertLine)) {
                    line(Canvas, R.Left - 1, R.Top - 1, R.Left - 1, R.Bottom + 1);
                    line(Canvas, R.Right + 1, R.Top - 1, R.Right + 1, R.Bottom + 1);
                }
            }
        }
    }
    // 23. fixed right columns
    if (FFixedRightCols > 0 && FFixedRightCols >= ColCount() + FNumHidden - RCol &&
        FLook != glClassic && !FCtl3D) {
        Canvas->Pen()->SetColor(FFlat ? TColor(clGray) : TColor(clBlack));
        Canvas->Pen()->SetWidth(1);
        if (Options().Contains(goFixedHorzLine)) {
            line(Canvas, R.Left - 1, R.Top - 1, R.Right + 1, R.Top - 1);
            line(Canvas, R.Left - 1, R.Bottom + 1, R.Right + 1, R.Bottom + 1);
        }
        if (Options().Contains(goFixedVertLine)) {
            line(Canvas, R.Left - 1, R.Top - 1, R.Left - 1, R.Bottom + 1);
            line(Canvas, R.Right + 1, R.Top - 1, R.Right + 1, R.Bottom + 1);
        }
    }
    // 24. node tree lines
    if (HasNodes() && RCol == 0 && ARow >= FixedRows() && FCellNode->ShowTree()) {
        auto levelOf = [&](int r) {
            return r >= 0 && r < RowCount() && HasCellProperties(0, r) ? propsOf(0, r)->NodeLevel()
                                                                       : -1;
        };
        const int L = std::max(0, levelOf(ARow));
        const int N = FCellNode->NodeIndent();
        const int X = L * N + N / 2 - N + 2;
        const int M = R.Top + (R.Bottom - R.Top) / 2;
        Canvas->Pen()->SetColor(FCellNode->TreeColor());
        Canvas->Pen()->SetWidth(1);
        if (L > 0) line(Canvas, X, M, FCellNode->ShowTreeFull() ? R.Right : L * N + 4, M);
        const int next = levelOf(ARow + 1);
        const bool lastRow = ARow == RowCount() - 1;
        if (L > 0) {
            if (next < L)
                line(Canvas, X, R.Top, X, M);
            else
                line(Canvas, X, R.Top, X, R.Bottom + 4);
        }
        for (int i = 1; i <= L; ++i) {
            const int x = X - N * i;
            if (lastRow) {
                if (i < L) {
                    Canvas->MoveTo(x, R.Top);
                    Canvas->LineTo(x, M);
                    Canvas->LineTo(X + N - N * i, M);
                } else {
                    line(Canvas, x, R.Top, x, M);
                }
            } else if (next > 0) {
                line(Canvas, x, R.Top, x, R.Bottom + 4);
            } else if (i < L) {
                Canvas->MoveTo(x, R.Top);
                Canvas->LineTo(x, M);
                Canvas->LineTo(X + N - N * i, M);
            } else {
                line(Canvas, x, R.Top, x, M);
            }
        }
    }
    // 25. the cell graphic
    if (P.Info.Graphic && !graphicDrawn) {
        TRect g = R;
        if (fixedLook) ++g.Top;
        R = DrawCellGraphic(Canvas, ACol, ARow, g, P.Info, P.State, P.HA, P.VA, P.TextWidth);
    }
    // 26., 27. user drawing
    if (OnDrawCell) {
        TRect r(R.Left + 1, R.Top + 1, R.Right - FGridLineWidth, R.Bottom - FGridLineWidth);
        OnDrawCell(this, RCol, ARow, r, P.State);
    }
    if (OnCustomCellDraw) OnCustomCellDraw(this, Canvas, RCol, ARow, P.State, R, false);
    // 28. the focus rectangle
    const TPoint base = BaseCell(ACol, ARow);
    if (!FHideFocusRect && base.X == Col() && base.Y == Row() && Focused() &&
        !Options().Contains(goRowSelect) && Row() >= FixedRows() && Col() >= FixedCols()) {
        TRect f = R;
        InflateRect(f, FGridLineWidth - 1, FGridLineWidth - 1);
        --f.Right;
        --f.Bottom;
        Canvas->DrawFocusRect(f);
    }
}

void TQorStringGrid::drawCellBorders(CellPaint& P) {
    TCanvas* c = P.Canvas;
    TPen saved;
    saved.Assign(c->Pen());
    TCellBorders borders;
    GetCellBorder(P.RCol, P.ARow, c->Pen(), borders);
    if (borders.Empty() && !OnGetCellBorderProp) {
        c->Pen()->Assign(&saved);
        return;
    }
    TPen lp, tp, rp, bp;
    for (TPen* p : {&lp, &tp, &rp, &bp}) p->Assign(c->Pen());
    if (OnGetCellBorderProp) OnGetCellBorderProp(this, P.ARow, P.RCol, &lp, &tp, &rp, &bp);
    TRect r = P.R;
    const int W = (c->Pen()->Width() + 1) / 2;
    const bool vert = Options().Contains(goVertLine), horz = Options().Contains(goHorzLine);
    if (vert) r.Left += W;
    if (horz) r.Bottom -= W;
    if (borders.Contains(cbLeft)) {
        c->Pen()->Assign(&lp);
        line(c, std::max(0, r.Left), r.Top, std::max(0, r.Left), r.Bottom);
    }
    if (vert) r.Right -= W;
    if (borders.Contains(cbRight)) {
        c->Pen()->Assign(&rp);
        line(c, r.Right - 1, r.Top, r.Right - 1, r.Bottom);
    }
    if (borders.Contains(cbTop)) {
        if (horz) r.Top += W;
        c->Pen()->Assign(&tp);
        const int y = FGridLineWidth == 0 ? r.Top + 1 : std::max(0, r.Top - FGridLineWidth);
        line(c, r.Left, y, r.Right, y);
    }
    if (borders.Contains(cbBottom)) {
        c->Pen()->Assign(&bp);
        line(c, r.Left - FGridLineWidth - 1, r.Bottom - 1, r.Right, r.Bottom - 1);
    }
    c->Pen()->Assign(&saved);
}

void TQorStringGrid::drawSizingLine(TPoint From, TPoint To) {
    TCanvas* c = Canvas();
    TPen saved;
    saved.Assign(c->Pen());
    c->Pen()->SetColor(clBlack);
    c->Pen()->SetStyle(psDot);
    c->Pen()->SetMode(pmXor);
    c->Pen()->SetWidth(1);
    // A black XOR pen changes nothing by itself: the line shows in its gaps, drawn in the
    // white background colour, which needs an opaque background whatever the cells left.
    const int mode = SetBkMode(c, OPAQUE);
    const TColor back = SetBkColor(c, clWhite);
    line(c, From.X, From.Y, To.X, To.Y);
    SetBkColor(c, back);
    SetBkMode(c, mode);
    c->Pen()->Assign(&saved);
}

void TQorStringGrid::DrawColumnSizingLine(int X) {
    drawSizingLine(TPoint(X, 0), TPoint(X, std::max(Height(), CellRect(0, RowCount() - 1).Bottom)));
}

void TQorStringGrid::DrawRowSizingLine(int Y) {
    drawSizingLine(TPoint(0, Y), TPoint(std::max(Width(), CellRect(ColCount() - 1, 0).Right), Y));
}
