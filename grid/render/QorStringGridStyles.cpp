// TQorStringGrid's colour schemes in one call: the named styles, the XP colour schemes, the
// flat colour tones and the style that follows the installed Office colour scheme.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridDraw.h"
#include "grid/data/DataSettings.h"
#include "grid/editors/AsgCombo.h"
#include "grid/render/CellGlyphs.h"
#include "grid/render/ControlLook.h"
#include "grid/render/FloatingFooter.h"

#include <optional>

namespace {

using Opt = std::optional<TColor>;

// The colours a style writes; an empty entry leaves the grid's value as it is.
struct StyleColors {
    std::optional<TGridLook> look;
    Opt from, to, mirrorFrom, mirrorTo;
    Opt activeFrom, activeTo;
    Opt selection, selectionTo, selectionText;
    Opt gridLine, fixedLine;
};

constexpr TColor activeOffice2003From = 9758459, activeOffice2003To = 1414638;
constexpr TColor activeOffice2010From = 6018559, activeOffice2010To = 7467007;
constexpr TColor black = clBlack;

StyleColors office2003(TColor from, TColor to) {
    return {glXP,
            from,
            to,
            clNone,
            clNone,
            activeOffice2003From,
            activeOffice2003To,
            activeOffice2003From,
            activeOffice2003To,
            black,
            clSilver,
            clGray};
}

// The sorted column's header of the Office 2010 styles: the styles' own header colour, set off
// from the base colour of the other headers.
TColor office2010Header(TQorGridStyle s) {
    switch (s) {
    case gsOffice2010Silver:
        return 0xEDE9E5;
    case gsOffice2010Black:
        return 0x828282;
    default:
        return 0xEDDBCD;
    }
}

StyleColors office2010(TColor base, TColor fixedLine) {
    return {glOffice2007,       base,     base, base,  base,     activeOffice2010From,
            activeOffice2010To, 16767927, {},   black, clSilver, fixedLine};
}

StyleColors styleColors(TQorGridStyle s) {
    switch (s) {
    case gsOffice2003Blue:
        return office2003(16572875, 14722429);
    case gsOffice2003Silver:
        return office2003(15524577, 11769496);
    case gsOffice2003Olive:
        return office2003(13627626, 9224369);
    case gsOffice2003Classic:
        return {glXP,     clWhite, 13423832, clNone, clNone,   14210516,
                14210516, {},      {},       {},     clSilver, clGray};
    case gsOffice2007Luna:
        return {glOffice2007, 16513526, 15260626, clNone, clNone,   10344697,
                6210033,      6210033,  {},       black,  15855083, 13745060};
    case gsOffice2007Obsidian:
        return {glOffice2007, 16250871, 14606046, clNone, clNone,   10344697,
                6210033,      6210033,  {},       black,  15062992, clGray};
    case gsWindowsXP:
        return {glXP,      clBtnFace, clBtnFace, clNone, clNone,   clBtnFace,
                clBtnFace, {},        {},        {},     clSilver, clGray};
    case gsWhidbey:
        return {{},      clWhite, clBtnFace, clNone, clNone,   9758459,
                1414638, {},      {},        {},     clSilver, clGray};
    case gsCustom:
        return {};
    case gsOffice2007Silver:
        return {glOffice2007, 15987697, 13289928, {},    {},       10079487,
                6921471,      9816053,  {},       black, 15062992, clGray};
    case gsWindowsVista:
        return {glVista,  clWhite,  clWhite, 16447735, 16052977, 16644337,
                16576469, 15387318, {},      black,    15527152, 13947601};
    case gsWindows7:
        return {glWin7,   16645370, 16445670, 16049884, 16247261, 16575452,
                16571329, 15387318, {},       black,    15527152, 13947601};
    case gsTerminal:
        return {glStandard, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}};
    case gsOffice2010Blue:
        return office2010(16115674, 13086880);
    case gsOffice2010Silver:
        return office2010(15262687, 12236209);
    case gsOffice2010Black:
        return office2010(6974058, 4473924);
    }
    return {};
}

void set(TColor& field, const Opt& v) {
    if (v) field = ColorToRGB(*v);
}

void setHover(TControlLook& cl, TColor from, TColor to, TColor mirrorFrom, TColor mirrorTo) {
    cl.SetFixedGradientHoverFrom(from);
    cl.SetFixedGradientHoverTo(to);
    cl.SetFixedGradientHoverMirrorFrom(mirrorFrom);
    cl.SetFixedGradientHoverMirrorTo(mirrorTo);
}

void setDown(TControlLook& cl, TColor from, TColor to, TColor mirrorFrom, TColor mirrorTo,
             TColor border) {
    cl.SetFixedGradientDownFrom(from);
    cl.SetFixedGradientDownTo(to);
    cl.SetFixedGradientDownMirrorFrom(mirrorFrom);
    cl.SetFixedGradientDownMirrorTo(mirrorTo);
    cl.SetFixedGradientDownBorder(border);
}

void setSortHeader(TSortSettings& ss, TColor from, TColor to, TColor mirrorFrom, TColor mirrorTo) {
    ss.SetHeaderColor(from);
    ss.SetHeaderColorTo(to);
    ss.SetHeaderMirrorColor(mirrorFrom);
    ss.SetHeaderMirrorColorTo(mirrorTo);
}

} // namespace

void TQorStringGrid::SetStyle(TQorGridStyle AStyle) {
    const StyleColors sc = styleColors(AStyle);
    TControlLook& cl = *FControlLook;
    TSortSettings& ss = *FSortSettings;
    // The look first: its own colours give way to the style's.
    if (sc.look) SetLook(*sc.look);
    FSelectionColor = clHighlight;
    FSelectionColorTo = clNone;
    FSelectionTextColor = clHighlightText;
    SetSelectionStyle(ssDefault);
    setSortHeader(ss, clNone, clNone, clNone, clNone);
    cl.ResetColors();

    set(FQorGradientFrom, sc.from);
    set(FQorGradientTo, sc.to);
    set(FQorGradientMirrorFrom, sc.mirrorFrom);
    set(FQorGradientMirrorTo, sc.mirrorTo);
    set(FActiveCellColor, sc.activeFrom);
    set(FActiveCellColorTo, sc.activeTo);
    set(FSelectionColor, sc.selection);
    set(FSelectionColorTo, sc.selectionTo);
    set(FSelectionTextColor, sc.selectionText);
    if (sc.gridLine) SetGridLineColor(*sc.gridLine);
    if (sc.fixedLine) SetGridFixedLineColor(*sc.fixedLine);

    switch (AStyle) {
    case gsOffice2003Blue:
    case gsOffice2003Silver:
    case gsOffice2003Olive:
    case gsOffice2007Obsidian:
    case gsOffice2007Silver:
        cl.SetFixedGradientFrom(FQorGradientFrom);
        cl.SetFixedGradientTo(FQorGradientTo);
        break;
    case gsOffice2007Luna:
        cl.SetFixedGradientFrom(FQorGradientFrom);
        cl.SetFixedGradientTo(FQorGradientTo);
        setHover(cl, 15000287, 14406605, 14406605, 13813180);
        cl.SetFixedGradientHoverBorder(12033927);
        setDown(cl, 14991773, 14991773, 14991773, 14991773, 14991773);
        SetSelectionStyle(ssOffice2007);
        break;
    case gsOffice2003Classic:
    case gsWindowsXP:
    case gsWhidbey:
        cl.ClearFixedGradient();
        break;
    case gsWindowsVista:
        FQorGradHoverFrom = FQorGradHoverTo = 16775139;
        FQorGradHoverMirrorFrom = 16772541;
        FQorGradHoverMirrorTo = 16508855;
        FQorGradHoverBorder = 14928275;
        setHover(cl, FQorGradHoverFrom, FQorGradHoverTo, FQorGradHoverMirrorFrom,
                 FQorGradHoverMirrorTo);
        cl.SetFixedGradientHoverBorder(FQorGradHoverBorder);
        setDown(cl, 16377020, 16377020, 16242317, 16109962, 11440207);
        setSortHeader(ss, 16579058, 16579058, 16380385, 16182488);
        cl.ClearFixedGradient();
        SetSelectionStyle(ssVista);
        break;
    case gsWindows7:
        FQorGradHoverFrom = 16644339;
        FQorGradHoverTo = 16380911;
        FQorGradHoverMirrorFrom = FQorGradHoverMirrorTo = clNone;
        FQorGradHoverBorder = 15657187;
        cl.SetFixedGradientMirrorFrom(FQorGradientMirrorFrom);
        cl.SetFixedGradientMirrorTo(FQorGradientMirrorTo);
        setHover(cl, 16710648, 16446189, 16049367, 15258305);
        setDown(cl, 15853789, 15852760, 15522767, 15588559, 14007466);
        setSortHeader(ss, 16579058, 16579058, 16380385, 16182488);
        cl.ClearFixedGradient();
        SetSelectionStyle(ssWin7);
        break;
    case gsOffice2010Blue:
    case gsOffice2010Silver:
    case gsOffice2010Black: {
        FQorGradHoverFrom = FQorGradHoverTo = clNone;
        FQorGradHoverMirrorFrom = FQorGradHoverMirrorTo = FQorGradHoverBorder = clNone;
        cl.SetFixedGradientFrom(FQorGradientFrom);
        cl.SetFixedGradientTo(FQorGradientTo);
        cl.SetFixedGradientMirrorFrom(FQorGradientMirrorFrom);
        cl.SetFixedGradientMirrorTo(FQorGradientMirrorTo);
        setHover(cl, 7069695, 11530239, 11530239, 15138047);
        cl.SetFixedGradientHoverBorder(3850216);
        setDown(cl, 6018559, 6611199, 6611199, 7467007, 3181250);
        const TColor header = office2010Header(AStyle);
        setSortHeader(ss, header, header, header, header);
        cl.ClearFixedGradient();
        SetSelectionStyle(ssDefault);
        break;
    }
    case gsCustom:
    case gsTerminal:
        break;
    }
    if (AStyle != gsCustom && AStyle != gsTerminal) {
        FSearchFooter->SetColor(FQorGradientFrom);
        FSearchFooter->SetColorTo(FQorGradientMirrorTo);
    }
    Invalidate();
}

void TQorStringGrid::SetComponentStyle(TQorStyle AStyle) {
    SetStyle(TQorGridStyle(AStyle));
    // After the style: a look it sets names its own style.
    FStyle = AStyle;
    if (!Designing()) SetEditorsComponentStyle(AStyle);
    if (AStyle != tsCustom && FScrollType == ssMetro) SetScrollType(ssNormal);
}

void TQorStringGrid::SetEditorsComponentStyle(TQorStyle AStyle) {
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* editor = dynamic_cast<IQorStyle*>(Components(i)))
            editor->SetComponentStyle(AStyle);
}

void TQorStringGrid::SetEditorsColorTones(const TColorTones& ATones) {
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* editor = dynamic_cast<IQorTones*>(Components(i))) editor->SetColorTones(ATones);
}

void TQorStringGrid::SetTheme(TXPColorScheme Scheme) {
    TControlLook& cl = *FControlLook;
    if (Scheme == xpNone) {
        FActiveCellColor = clWhite;
        FActiveCellColorTo = 16767411;
        FQorGradientFrom = clWhite;
        FQorGradientTo = ColorToRGB(clBtnFace);
        FQorGradientMirrorFrom = FQorGradientMirrorTo = clNone;
        cl.ClearFixedGradient();
        FSearchFooter->SetColor(clWhite);
        FSearchFooter->SetColorTo(16767411);
        Invalidate();
        return;
    }
    struct Pair {
        TColor from, to;
    };
    const Pair pair = Scheme == xpBlue    ? Pair{16572875, 14722429}
                      : Scheme == xpGreen ? Pair{13627626, 9224369}
                      : Scheme == xpGray  ? Pair{15524577, 11769496}
                                          : Pair{clWhite, clWhite};
    FQorGradientFrom = pair.from;
    FQorGradientTo = pair.to;
    if (Scheme == vistaAero) {
        FQorGradientMirrorFrom = 16447735;
        FQorGradientMirrorTo = 16052977;
    } else {
        FQorGradientMirrorFrom = FQorGradientMirrorTo = clNone;
    }
    FActiveCellColor = activeOffice2003From;
    FActiveCellColorTo = activeOffice2003To;
    cl.SetFixedGradientFrom(pair.from);
    cl.SetFixedGradientTo(pair.to);
    const Pair footer = Scheme == vistaAero ? Pair{15524577, 11769496} : pair;
    FSearchFooter->SetColor(footer.from);
    FSearchFooter->SetColorTo(footer.to);
    Invalidate();
}

void TQorStringGrid::FollowOfficeTheme() {
    if (Designing()) return;
    const TOfficeTheme theme = GetOfficeTheme();
    if (theme == FOfficeTheme) return;
    FOfficeTheme = theme;
    switch (theme) {
    case ot2003Blue:
        return SetComponentStyle(tsOffice2003Blue);
    case ot2003Silver:
        return SetComponentStyle(tsOffice2003Silver);
    case ot2003Olive:
        return SetComponentStyle(tsOffice2003Olive);
    case ot2003Classic:
        return SetComponentStyle(tsOffice2003Classic);
    case ot2007Blue:
        return SetComponentStyle(tsOffice2007Luna);
    case ot2007Silver:
        return SetComponentStyle(tsOffice2007Silver);
    case ot2007Black:
        return SetComponentStyle(tsOffice2007Obsidian);
    case ot2010Blue:
        return SetComponentStyle(tsOffice2010Blue);
    case ot2010Silver:
        return SetComponentStyle(tsOffice2010Silver);
    case ot2010Black:
        return SetComponentStyle(tsOffice2010Black);
    case otUnknown:
        return;
    }
}

void TQorStringGrid::SetColorTones(const TColorTones& ATones) {
    FColorTones = ATones;
    SetLook(glClassic);
    SetFlat(true);
    SetScrollType(ssMetro);
    SetFixedColor(ATones.Foreground.BrushColor);
    FFixedFont->SetColor(ATones.Foreground.TextColor);
    FFixedFont->SetName(DefaultFontName());
    SetColor(ATones.Background.BrushColor);
    Font()->SetName(DefaultFontName());
    Font()->SetColor(ATones.Background.TextColor);
    FSelectionColor = ATones.Selected.BrushColor;
    FSelectionTextColor = ATones.Selected.TextColor;
    FSelectionColorTo = clNone;
    SetGridLineColor(15132390);
    SetGridFixedLineColor(ScaleColorPercent(ATones.Foreground.BrushColor, -20));
    FBorderStyle = bsNone;
    TControlLook& cl = *FControlLook;
    cl.SetControlStyle(csGlyph);
    cl.SetCheckedGlyph(CellGlyph("metrocheckon"));
    cl.SetUnCheckedGlyph(CellGlyph("metrocheckoff"));
    cl.SetRadioOnGlyph(CellGlyph("metroradioon"));
    cl.SetRadioOffGlyph(CellGlyph("metroradiooff"));
    if (!Designing()) {
        toneEditorButtons(ATones);
        if (FEditCombo) {
            FEditCombo->SetBorderColor(Color());
            FEditCombo->SetFlat(true);
        }
        SetEditorsColorTones(ATones);
    }
    cl.SetFlatButton(true);
    FFloatingFooter->SetColor(ATones.Foreground.BrushColor);
    FSearchFooter->SetColor(ATones.Foreground.BrushColor);
    FSearchFooter->SetColorTo(ATones.Foreground.BrushColor);
    FCellNode->SetNodeType(cnFlat);
    Invalidate();
}
