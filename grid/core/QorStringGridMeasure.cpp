// Alignment of a cell, the used range of cells and the measured size of a cell's text.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUtils.h"
#include "grid/render/markup/MarkupRender.h"
#include "platform/base/SysUtils.h"

#include <algorithm>
#include <cmath>

void TQorStringGrid::GetCellAlignment(int ACol, int ARow, TAlignment& HA, TVAlignment& VA) {
    HA = FDefaultAlignment;
    VA = FVAlignment;
    std::string text = ACol >= 0 && ARow >= 0 && ARow < RowCount() ? Cells(ACol, ARow) : "";
    const bool formula = !text.empty() && text[0] == '=';
    if (FAutoNumAlign && !formula) {
        const int kind = NumberTextKind(Trim(text));
        if (kind == ntkInteger || kind == ntkDecimal || kind == ntkExponent) HA = taRightJustify;
    }
    if (!formula && ACol >= 0 && ARow >= 0 && ARow < RowCount() && HasCellProperties(ACol, ARow))
        HA = propsOf(ACol, ARow)->Alignment();
    GetAlignment(ACol, ARow, HA, VA);
}

TRect TQorStringGrid::UsedCells() {
    int minC = -1, minR = -1, maxC = -1, maxR = -1;
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c) {
            if (GridCells(c, r).empty()) continue;
            if (minC < 0 || c < minC) minC = c;
            if (minR < 0 || r < minR) minR = r;
            maxC = std::max(maxC, c);
            maxR = std::max(maxR, r);
        }
    return minC < 0 ? TRect(0, 0, 0, 0) : TRect(minC, minR, maxC, maxR);
}

TSize TQorStringGrid::GetCellTextSize(int ACol, int ARow, bool VS, bool SB) {
    const int d = DisplColIndex(ACol);
    std::string text = GetFormattedCell(ACol, ARow);
    const int kind = GetCellTextKind(text, FEnableHTML);
    // A canvas of its own: measuring draws nothing and leaves the grid's canvas alone.
    TCanvas canvas(nullptr);
    TGridDrawState state;
    TBrush brush;
    GetFontProperties(d, ACol, ARow, state, canvas.Font(), &brush, true);
    const bool fixed = d < FixedCols() || ARow < FixedRows();
    if (fixed && FActiveCellShow && FActiveCellFont->Style().Contains(fsBold)) {
        TFontStyles st = canvas.Font()->Style();
        st.Include(fsBold);
        canvas.Font()->SetStyle(st);
    }
    if (FZoomFactor != 0) canvas.Font()->SetSize(canvas.Font()->Size() + FZoomFactor);
    TRect r = CellRect(d, ARow);
    if (FXYOffsetTopLeftOnly) {
        r.Left += FXYOffset.X;
        r.Top += FXYOffset.Y;
    } else {
        r = TRect(r.Left + FXYOffset.X, r.Top + FXYOffset.Y, r.Right - FXYOffset.X,
                  r.Bottom - FXYOffset.Y);
    }
    if (SB) r.Right -= 17;
    if (kind == ctkMarkup) {
        if (!VS) {
            r.Right = 65535;
            r.Bottom = 65535;
        }
        HTMLRenderOptions o;
        cellMarkupOptions(ACol, ARow, o);
        o.MeasureOnly = true;
        o.WordWrap = VS;
        HTMLRenderResult res;
        HTMLRenderText(canvas, text, r, o, res);
        return TSize{res.MaxLineWidth + 2, res.TotalHeight + 2};
    }
    TCellGraphic* graphic =
        GetCellType(ACol, ARow) == ctRotated ? GetCellGraphic(ACol, ARow) : nullptr;
    if (VS && !graphic) {
        r = TRect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
        // The edit control shows the empty line after a final line feed.
        if (FEditMode && ACol == RealCol() && ARow == Row() && !text.empty() && text.back() == '\n')
            text += "w";
        TRect calc = r;
        const int h =
            DrawText(&canvas, text, -1, calc,
                     DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_EDITCONTROL);
        return TSize{calc.Width(), h};
    }
    int width = 0, lines = 0;
    std::size_t at = 0;
    for (;;) {
        std::size_t cr = text.find('\r', at);
        std::string line = text.substr(at, cr == std::string::npos ? std::string::npos : cr - at);
        width = std::max(width, canvas.TextWidth(line));
        ++lines;
        if (cr == std::string::npos) break;
        at = cr + 1;
        if (at < text.size() && text[at] == '\n') ++at;
    }
    const int height = canvas.TextHeight("gh") * lines;
    if (!graphic) return TSize{width, height};
    // The extent of the rotated text's box (exact at every angle, not only at right angles).
    const double a = graphic->CellAngle() * M_PI / 180.0;
    const int wc = int(std::abs(width * std::cos(a))), ws = int(std::abs(width * std::sin(a)));
    const int hc = int(std::abs(height * std::cos(a))), hs = int(std::abs(height * std::sin(a)));
    return TSize{hs + wc + 12, hc + ws + 12};
}
