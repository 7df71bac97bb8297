// Colours, fonts, alignment and draw state of each cell before it is painted.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridDraw.h"
#include "grid/data/DataSettings.h"

#include <algorithm>
#include <cmath>

TColor MixColors(TColor C1, TColor C2, int Percent) {
    if (Percent >= 100) return C1;
    if (Percent < 1 || C1 == clNone) return C2;
    if (C2 == clNone) return C1;
    const TColor a = ColorToRGB(C1), b = ColorToRGB(C2);
    const double p = Percent / 100.0;
    auto mix = [&](int x, int y) { return std::min(int(std::lrint(p * x + (1 - p) * y)), 255); };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
               mix(GetBValue(a), GetBValue(b)));
}

TColor MixColorsIf(TColor C1, TColor C2, bool DoMix, int Percent) {
    return DoMix ? MixColors(C1, C2, Percent) : C1;
}

namespace {

bool gradientLook(TGridLook look) {
    return look != glStandard && look != glSoft && look != glClassic;
}

} // namespace

void TQorStringGrid::GetVisualProperties(int ACol, int ARow, TGridDrawState& AState, bool Print,
                                         bool Select, bool Remap, TBrush* ABrush, TColor& AColorTo,
                                         TColor& AMirrorColor, TColor& AMirrorColorTo, TFont* AFont,
                                         TAlignment& HA, TVAlignment& VA, bool& WW,
                                         TCellGradientDirection& GD) {
    const int RCol = Remap ? RealColIndex(ACol) : ACol;
    const bool normal = ACol >= FixedCols() && ARow >= FixedRows();
    // 1. the font
    const bool printFonts = Print && !FPrintSettings->UseDisplayFont();
    if (normal)
        AFont->Assign(printFonts ? FPrintSettings->Font() : Font());
    else
        AFont->Assign(printFonts ? FPrintSettings->FixedFont() : FixedFont());
    // 2. start values
    ABrush->SetColor(clNone);
    AColorTo = AMirrorColor = AMirrorColorTo = clNone;
    bool ownColor = false;
    // 3. cell properties
    if (RCol >= 0 && ARow >= 0 && ARow < RowCount() && HasCellProperties(RCol, ARow)) {
        TCellProperties* p = GetCellProperties(RCol, ARow);
        const TCellType type = GetCellType(ACol, ARow);
        if (type == ctNone || type == ctRotated || type == ctEmpty) {
            if (p->BrushColor() != clNone) {
                ABrush->SetColor(p->BrushColor());
                ownColor = true;
            }
        } else {
            ABrush->SetColor(p->BrushColor());
        }
        if (p->FontColor() != clNone) AFont->SetColor(p->FontColor());
        if (!p->FontStyle().Empty()) AFont->SetStyle(p->FontStyle());
        if (p->FontSize() != 0) AFont->SetSize(p->FontSize());
        if (!p->FontName().empty()) AFont->SetName(p->FontName());
        WW = p->WordWrap();
        AColorTo = p->BrushColorTo();
        GD = p->GradientDirection();
    }
    // 4.
    if (AState.Contains(gdSelected)) GD = GradientVertical;
    // 5. grid colour, bands, fixed colour
    if (ABrush->Color() == clNone) ABrush->SetColor(Color());
    const TBands* bands = FBands.get();
    if (bands->Active() && (bands->Print() == Print || !Print) && ACol >= FixedCols() &&
        ACol < ColCount() + NumHiddenColumns() - FixedRightCols() && ARow >= FixedRows() &&
        ARow < RowCount() - FixedFooters() && bands->TotalLength() > 0) {
        ABrush->SetColor((ARow - FixedRows()) % bands->TotalLength() < bands->PrimaryLength()
                             ? bands->PrimaryColor()
                             : bands->SecondaryColor());
    }
    if (ACol < FixedCols() || ARow < FixedRows() ||
        DisplColIndex(ACol) >= ColCount() - FixedRightCols() || ARow >= RowCount() - FixedFooters())
        ABrush->SetColor(FixedColor());
    // 6. fixed cells
    bool isFixed = ACol < FixedCols() || ARow < FixedRows();
    if (!isFixed) isFixed = IsFixed(ACol, ARow);
    if (isFixed && !ownColor && !Print) {
        ABrush->SetColor(FixedColor());
        AFont->Assign(FixedFont());
        AState.Include(gdFixed);
    }
    // 7. look gradient
    if (isFixed && !ownColor && gradientLook(FLook)) {
        ABrush->SetColor(FQorGradientFrom);
        AColorTo = FQorGradientTo;
        AMirrorColor = FQorGradientMirrorFrom;
        AMirrorColorTo = FQorGradientMirrorTo;
    }
    // 8. colour hooks
    if (Print)
        GetCellPrintColor(RCol, ARow, AState, ABrush, AFont);
    else
        GetCellColor(RCol, ARow, AState, ABrush, AFont);
    // 9. gradient event
    if (OnGetCellGradient) {
        TColor c = ABrush->Color();
        OnGetCellGradient(this, ARow, RCol, c, AColorTo, AMirrorColor, AMirrorColorTo, GD);
        ABrush->SetColor(c);
    }
    // 10. what selection colours may be undone to
    const TColor B0 = ABrush->Color();
    const TColor F0 = AFont->Color();
    auto selectionColours = [&] {
        ABrush->SetColor(FSelectionColor);
        AColorTo = FSelectionColorTo;
        AMirrorColor = FSelectionMirrorColor;
        AMirrorColorTo = FSelectionMirrorColorTo;
        if (FSelectionTextColor != clNone) AFont->SetColor(FSelectionTextColor);
    };
    const bool disjunctRows = FMouseActions->DisjunctRowSelect();
    const bool disjunctCols = FMouseActions->DisjunctColSelect();
    const bool showSelection = !Print && Select && FShowSel && !isFixed;
    // The grid's own mouse-down tracking comes with the mouse input.
    const bool mouseDown = false;
    // 11. disjunct rows
    if (normal && disjunctRows && showSelection) {
        const bool flagged = displayRowSelected(ARow);
        if ((flagged && !(mouseDown && ARow == Row())) ||
            (mouseDown && !flagged && AState.Contains(gdSelected))) {
            AState = TGridDrawState{gdSelected};
            selectionColours();
        } else {
            AState.Exclude(gdSelected);
        }
    }
    // 12. disjunct columns: a column without its flag is not painted selected, whatever the
    // selection rectangle holds.
    if (normal && disjunctCols && showSelection) {
        const bool flagged = ColSelect(ACol);
        if ((flagged && !(mouseDown && ACol == Col())) ||
            (mouseDown && !flagged && AState.Contains(gdSelected))) {
            AState = TGridDrawState{gdSelected};
            selectionColours();
        } else {
            AState.Exclude(gdSelected);
        }
    }
    // 13. the selection rectangle
    if ((showSelection && IsSelected(ACol, ARow) && !disjunctRows && !disjunctCols) ||
        (AState.Contains(gdSelected) && mouseDown && FShowSel)) {
        const TColor mixed = ABrush->Color() == Color()
                                 ? FSelectionColor
                                 : MixColorsIf(FSelectionColor, ABrush->Color(),
                                               FSelectionColorMixer, FSelectionColorMixerFactor);
        selectionColours();
        ABrush->SetColor(mixed);
        AState.Include(gdSelected);
    }
    // 14. disjunct cells
    if (FMouseActions->DisjunctCellSelect() && FShowSel) {
        if (std::find(FSelectedCells.begin(), FSelectedCells.end(),
                      int((unsigned(ARow) << 16) | (unsigned(ACol) & 0xFFFFu))) !=
            FSelectedCells.end()) {
            selectionColours();
            AState.Include(gdSelected);
        } else if (ACol == Col() && ARow == Row()) {
            AState.Exclude(gdSelected);
            ABrush->SetColor(B0);
            AFont->SetColor(F0);
        }
    }
    // 15. disabled font
    if (FUseDisabledFont && ((FUseEnabledRows && !RowEnabled(ARow)) || !Enabled()))
        AFont->SetColor(FDisabledFontColor);
    // 16.
    if (disjunctRows && ARow != Row() && FSelectionColorTo == clNone && IsSelected(ACol, ARow))
        ABrush->SetColor(ScaleColorPercent(ABrush->Color(), 7));
    // 17. word wrap hook
    GetCellWordWrap(RCol, ARow, WW);
    // 18. alignment
    GetCellAlignment(RCol, ARow, HA, VA);
}

void TQorStringGrid::GetFontProperties(int ACol, int RCol, int ARow, TGridDrawState& AState,
                                       TFont* AFont, TBrush* ABrush, bool) {
    bool isFixed = ACol < FixedCols() || ARow < FixedRows();
    if (!isFixed) isFixed = IsFixed(ACol, ARow);
    AFont->Assign(isFixed ? FixedFont() : Font());
    if (RCol >= 0 && ARow >= 0 && ARow < RowCount() && HasCellProperties(RCol, ARow)) {
        TCellProperties* p = propsOf(RCol, ARow);
        if (p->FontColor() != clNone) AFont->SetColor(p->FontColor());
        if (!p->FontStyle().Empty()) AFont->SetStyle(p->FontStyle());
        if (p->FontSize() != 0) AFont->SetSize(p->FontSize());
        if (!p->FontName().empty()) AFont->SetName(p->FontName());
    }
    GetCellColor(RCol, ARow, AState, ABrush, AFont);
}
