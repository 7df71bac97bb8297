// The text of a painted cell: number formats, formulas, password masks, selection colours, the
// header filter button, the selection rectangle, and plain, markup or rich text.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridDraw.h"
#include "grid/core/base/GridUtils.h"
#include "grid/data/DataSettings.h"
#include "grid/render/QorStringGridPaint.h"
#include "grid/render/markup/MarkupRender.h"
#include "platform/base/SysUtils.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr unsigned kVerticalFlag[] = {0, DT_VCENTER, DT_BOTTOM};

unsigned horizontalFlag(TAlignment a) {
    return a == taRightJustify ? DT_RIGHT : a == taCenter ? DT_CENTER : DT_LEFT;
}

bool isURL(const std::string& s) {
    return s.find("://") != std::string::npos || s.find("mailto:") != std::string::npos;
}

// The shown part of a URL: without its protocol.
std::string stripProtocol(const std::string& s) {
    if (auto p = s.find("://"); p != std::string::npos) return s.substr(p + 3);
    if (auto p = s.find("mailto:"); p != std::string::npos) return s.substr(0, p) + s.substr(p + 7);
    return s;
}

} // namespace

std::string TQorStringGrid::GetFormattedCell(int ACol, int ARow) {
    std::string text = Cells(ACol, ARow);
    if (!OnGetFloatFormat) return text;
    const int kind = NumberTextKind(text);
    if (kind != ntkInteger && kind != ntkDecimal && kind != ntkExponent) return text;
    bool isFloat = true;
    std::string format = FFloatFormat;
    OnGetFloatFormat(this, ACol, ARow, isFloat, format);
    if (!isFloat || format.empty()) return text;
    // A text the format's number kind cannot read stays as it is.
    const std::string number = Trim(text);
    try {
        if (format.find('d') != std::string::npos) {
            int v = 0;
            if (TryStrToInt(number, v)) return Format(format, v);
        } else {
            double v = 0;
            if (TryStrToFloat(number, v)) return Format(format, v);
        }
    } catch (const Exception&) {
        // A format that does not fit the number: the plain text is shown.
    }
    return text;
}

void TQorStringGrid::drawCellText(CellPaint& P) {
    TCanvas* c = P.Canvas;
    const int RCol = P.RCol, ARow = P.ARow;
    // 1., 2. the link colour and the selected look
    TColor linkColor = FURLColor;
    const bool fixedCell = IsFixed(P.ACol, ARow);
    const bool rowSelected = Options().Contains(goRowSelect) && RowSelect(ARow) &&
                             RCol >= FixedCols() && RCol < ColCount() - FFixedRightCols;
    if ((P.State.Contains(gdSelected) || rowSelected) && !fixedCell) {
        if (FShowSel) {
            if (FSelectionColor != clNone) c->Brush()->SetColor(FSelectionColor);
            if (FSelectionTextColor != clNone && Enabled())
                c->Font()->SetColor(FSelectionTextColor);
            linkColor = FSelectionTextColor;
        } else if (!Focused() ||
                   (P.Info.Graphic && (P.Info.Graphic->CellType() == ctCheckBox ||
                                       P.Info.Graphic->CellType() == ctDataCheckBox ||
                                       P.Info.Graphic->CellType() == ctVirtCheckBox))) {
            c->Brush()->SetColor(P.B1);
            c->Font()->SetColor(P.F1);
            linkColor = FURLColor;
        }
    }
    // 3. - 5. the shown text
    std::string text = GetFormattedCell(RCol, ARow);
    int kind = GetCellTextKind(text, FEnableHTML);
    if (kind == ctkFormula) {
        text = GetPrintCellText(RCol, ARow);
        kind = GetCellTextKind(text, FEnableHTML);
    }
    int errPos = 0, errLen = 0;
    GetMarker(RCol, ARow, errPos, errLen);
    bool password = false;
    IsPasswordCell(RCol, ARow, password);
    if (password) text = std::string(Utf8Length(text), FPasswordChar);
    // 6.
    TRect T = P.R;
    if (fixedCell) {
        T.Left += FGridLineWidth;
        T.Top += FGridLineWidth;
    }
    // A scrolled cell shows its text moved up, clipped to the cell, until the text is drawn.
    const int scrolled = cellScrollBarShown(RCol, ARow) ? GetScrollPosition(RCol, ARow) : 0;
    struct ClipGuard {
        TCanvas* C = nullptr;
        ~ClipGuard() {
            if (C) RestoreDC(C, -1);
        }
    } clip;
    if (scrolled > 0) {
        SaveDC(c);
        clip.C = c;
        IntersectClipRect(c, P.R.Left, P.R.Top, P.R.Right, P.R.Bottom);
        T.Top -= scrolled;
    }
    // 7. the header filter button
    if (P.FilterButton) {
        TBitmap* glyph =
            FFilter->HasFilter(RCol) ? FFilterDropDown->GlyphActive() : FFilterDropDown->Glyph();
        if (glyph && !glyph->Empty()) {
            glyph->SetTransparent(true);
            c->Draw(P.Shown(TRect(P.R.Right - 16, T.Top, P.R.Right, T.Top + 16)).Left, T.Top,
                    glyph);
        } else {
            DrawResourceBitmap(*c, FixedColor(),
                               P.Shown(TRect(P.R.Right - 16, T.Top, P.R.Right, T.Top + 16)),
                               "ASGFILT");
        }
        T = P.R;
    }
    // 8. a cell outside the disjunct selection shows its own colours
    const bool normalCell = P.ACol >= FixedCols() && ARow >= FixedRows();
    if (normalCell && GetKeyState(VK_LBUTTON) >= 0 &&
        ((FMouseActions->DisjunctRowSelect() && !RowSelect(ARow)) ||
         (FMouseActions->DisjunctColSelect() && !ColSelect(P.ACol)))) {
        linkColor = FURLColor;
        c->Brush()->SetColor(Color());
        c->Font()->SetColor(Font()->Color());
        // The font is zoomed already; only a size the hook sets anew takes the zoom.
        const int zoomed = c->Font()->Size();
        GetCellColor(RCol, ARow, P.State, c->Brush(), c->Font());
        if (FZoomFactor != 0 && c->Font()->Size() != zoomed)
            c->Font()->SetSize(c->Font()->Size() + FZoomFactor);
    }
    // 9., 10. the background picture and gradient
    paintCellBackground(P, T);
    // 11. the selection rectangle
    if (FSelectionRectangle && !fixedCell) {
        const TPoint base = BaseCell(P.ACol, ARow);
        const TGridRect s = Selection();
        const int L = std::min(s.Left, s.Right), Rt = std::max(s.Left, s.Right);
        const int Tp = std::min(s.Top, s.Bottom), B = std::max(s.Top, s.Bottom);
        if (base.X >= L && base.X <= Rt && base.Y >= Tp && base.Y <= B) {
            const TRect& r = P.R;
            const int g = FGridLineWidth;
            const TPoint span = CellSpan(base.X, base.Y);
            const bool onLeft = base.X == L, onRight = base.X + std::max(0, span.X) >= Rt;
            const bool onTop = base.Y == Tp, onBottom = base.Y + std::max(0, span.Y) >= B;
            c->Pen()->SetColor(FSelectionRectangleColor);
            c->Pen()->SetWidth(2);
            auto ln = [&](int x1, int y1, int x2, int y2) {
                c->MoveTo(P.ShownX(x1), y1);
                c->LineTo(P.ShownX(x2), y2);
            };
            if (onLeft) ln(r.Left - g + 1, r.Bottom, r.Left - g + 1, r.Top - g);
            if (onRight) ln(r.Right - 1, r.Bottom, r.Right - 1, r.Top - g);
            if (onTop)
                ln(r.Left - g, r.Top - g + 1, onRight ? r.Right - 1 : r.Right, r.Top - g + 1);
            if (onBottom) ln(r.Left - g, r.Bottom, onRight ? r.Right - 1 : r.Right, r.Bottom);
            if (FSelectionResizer && onRight && onBottom) {
                c->Brush()->SetColor(FSelectionRectangleColor);
                c->FillRect(P.Shown(TRect(r.Right - 4, r.Bottom - 4, r.Right, r.Bottom)));
                c->Brush()->SetColor(P.B1);
            }
            c->Pen()->SetWidth(1);
        }
    }
    // 12.
    if (P.Info.Graphic && !P.Info.ShowText) return;
    // 13. offsets and room for the graphic
    T.Left += FXYOffset.X;
    T.Top += FXYOffset.Y;
    if (!FXYOffsetTopLeftOnly) T.Right -= FXYOffset.X;
    // With left-aligned text a graphic before it (or at the left) moves the sort glyph too.
    int indent = 0;
    if (P.Info.Graphic) {
        switch (P.Info.HAlign) {
        case haBeforeText:
            T.Left += P.Info.Width;
            if (P.HA == taLeftJustify) indent = P.Info.Width;
            break;
        case haLeft:
            indent = P.Info.Width;
            break;
        case haAfterText:
            T.Right -= P.Info.Width;
            break;
        default:
            break;
        }
        if (P.Info.VAlign == vaAboveText) T.Top += P.Info.Height;
        if (P.Info.VAlign == vaUnderText) T.Bottom -= P.Info.Height;
    }
    if (RCol == 0 && HasNodes() && GetCellType(0, ARow) != ctNode) T.Left += GetNodeIndent(ARow);

    // The sort glyph of a header cell: its column is the sort column or in the sort indexes.
    const TSortSettings* ss = FSortSettings.get();
    const int sortPos = FSortIndexes->FindIndex(RCol);
    const bool sortGlyph = IsSortIndicatorCell(RCol, ARow) &&
                           (RCol == ss->Column() || sortPos >= 0) && FixedRows() > 0 &&
                           (RCol >= FixedCols() || ss->FixedCols()) &&
                           (sortPos < 1 || ss->IndexShow());
    auto drawSortGlyph = [&](int X, const TRect& t) {
        const int Y = P.VA == vtaTop      ? t.Top + 8
                      : P.VA == vtaCenter ? t.Top + (t.Bottom - t.Top) / 2
                                          : t.Bottom - 8;
        DrawSortGlyph(c, RCol, P.ShownX(X), Y);
    };
    if (kind == ctkMarkup) {
        // 14. markup
        if (P.FilterButton) T.Right -= 18;
        T.Left -= 1;
        if (sortGlyph) T.Right -= 10;
        HTMLRenderOptions o;
        cellMarkupOptions(RCol, ARow, o);
        o.LinkColor = linkColor;
        o.ShadowColor = clGray;
        // Links are underlined only while the pointer is on them.
        if (FURLUnderlineOnHover) {
            o.HoverOnly = true;
            o.HoveredLink = FHoverCell.X == P.ACol && FHoverCell.Y == ARow ? FHoverlink : -1;
        }
        // A held form button looks pressed while the pointer is on it.
        if (FCtrlDown && FCtrlXY.X == RCol && FCtrlXY.Y == ARow) {
            TPoint p;
            GetCursorPos(p);
            p = ScreenToClient(p);
            o.ButtonDown = true;
            o.HitX = p.X;
            o.HitY = p.Y;
        }
        o.WordWrap = FEnhTextSize;
        // Blinking text shows in every other phase of the grid timer.
        o.BlinkVisible = !FEnableBlink || FGridBlink;
        HTMLRenderResult res;
        HTMLRenderText(*c, text, P.Shown(T), o, res);
        P.TextWidth = res.MaxLineWidth + 2;
        if (sortGlyph) drawSortGlyph(T.Right + 2, T);
    } else if (kind == ctkRTF) {
        // 15. rich text
        c->Pen()->SetColor(c->Brush()->Color());
        if (!(P.State.Contains(gdSelected) && !P.State.Contains(gdFocused) &&
              FSelectionColor == clNone))
            c->FillRect(P.Shown(T));
        c->Brush()->SetStyle(bsClear);
        RenderRichCell(RCol, ARow, P.Shown(T), c);
        c->Brush()->SetStyle(bsSolid);
        c->Font()->SetColor(clBlack);
    } else {
        // 16. plain text
        if (P.HA == taCenter && FSortSettings->Show() && ARow == FSortSettings->Row() &&
            RCol == FSortSettings->Column())
            T.Left += 10;
        const bool url = FURLShow && isURL(text);
        if (url) {
            if (!FURLFull) text = stripProtocol(text);
            TFontStyles st = c->Font()->Style();
            st.Include(fsUnderline);
            c->Font()->SetStyle(st);
            c->Font()->SetColor(linkColor);
        }
        unsigned F = DT_EDITCONTROL;
        if (CountLines(text, FMultilinecells) == 1 && !P.WW) {
            text = text.substr(0, text.find_first_of("\r\n"));
            F = DT_SINGLELINE;
            if (FEnhTextSize) F |= DT_END_ELLIPSIS;
        }
        if (P.WW && !FMultilinecells && FEnhTextSize) F |= DT_END_ELLIPSIS;
        FVAlign = kVerticalFlag[P.VA];
        F |= DT_EXPANDTABS | DT_NOPREFIX | horizontalFlag(P.HA) | FVAlign;
        F |= P.WW || FMultilinecells ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE;
        SetBkMode(c, TRANSPARENT);
        if (P.FilterButton) T.Right -= 16;
        if (P.Info.Graphic && !text.empty()) {
            TRect calc = T;
            DrawText(c, text, -1, calc, F | DT_CALCRECT);
            P.TextWidth = calc.Right - T.Left + 2;
        }
        TRect shown = P.Shown(T);
        DrawText(c, text, -1, shown, DrawTextBiDiModeFlags(F));
        if (errLen > 0 && P.Info.Graphic &&
            (P.Info.Graphic->CellType() == ctEmpty || P.Info.Graphic->CellType() == ctValue))
            DrawErrorMarker(*c, text, shown, 0, errPos, errLen);
        T = P.R;
        if (P.FilterButton) T.Right -= 16;
        if (sortGlyph) {
            const int textWidth = c->TextWidth(text);
            const int Q = std::max(0, std::min(T.Width() - 16, textWidth));
            const int X = P.HA == taLeftJustify    ? T.Left + Q + indent + 10
                          : P.HA == taRightJustify ? T.Right - Q - 10
                                                   : T.Left + 8;
            drawSortGlyph(X, T);
        }
        if (url) {
            TFontStyles st = c->Font()->Style();
            st.Exclude(fsUnderline);
            c->Font()->SetStyle(st);
        }
    }
}

void TQorStringGrid::RenderRichCell(int ACol, int ARow, TRect ARect, TCanvas* ACanvas) {
    if (Designing()) return;
    if (!FRichText) FRichText = std::make_unique<TRichText>();
    FRichText->Load(Cells(ACol, ARow));
    ACanvas->Brush()->SetStyle(bsClear);
    const int d = DisplColIndex(ACol);
    const TGridRect s = Selection();
    const bool inSelection = d >= std::min(s.Left, s.Right) && d <= std::max(s.Left, s.Right) &&
                             ARow >= std::min(s.Top, s.Bottom) && ARow <= std::max(s.Top, s.Bottom);
    const bool current = d == Col() && ARow == Row();
    const bool selected = !FMouseActions->DisjunctRowSelect() && inSelection &&
                          !(current && Focused() && !Options().Contains(goDrawFocusSelected));
    if (selected && !FSelectionRTFKeep && FSelectionTextColor != clNone)
        FRichText->SetAllColor(FSelectionTextColor);
    // The target in twips as the rich-edit control takes it, then back to pixels.
    const double dpi = ScreenPixelsPerInch;
    const int E = FXYOffset.X * ScreenPixelsPerInch / 96;
    auto twips = [&](double px) { return std::lrint(px / dpi * 1440); };
    auto pixels = [&](long tw) { return int(std::lrint(tw * dpi / 1440)); };
    const long left = twips(ARect.Left + E), top = twips(ARect.Top + E);
    const long right = left + twips(ARect.Width() - 2 * E);
    const long bottom = top + twips(ARect.Height() - 2 * E);
    FRichText->Render(*ACanvas, TRect(pixels(left), pixels(top), pixels(right), pixels(bottom)));
}
