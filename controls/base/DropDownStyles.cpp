// The colour styles of the drop-down edits: the popup, its header and footer and its buttons per
// style, the selection colour styles with their selection painting, and the item looks of the
// item selectors.
#include "controls/base/QorCustomDropDown.h"
#include "controls/base/QorItemSelector.h"

#include "grid/core/base/GridDraw.h"

#include <array>

namespace {

// A value the style leaves as it was.
constexpr TColor Keep = TColor(0xFFFFFFFF);

struct PopupColors {
    TColor Color, ColorTo, BorderColor;
    TColor HeaderColor, HeaderColorTo, FooterColor, FooterColorTo;
    TColor FontColor, HeaderBorder, FooterBorder;
};

// Indexed by TQorStyle; tsCustom is never applied.
constexpr std::array<PopupColors, 16> popupColors{{
    {0xFFFFFF, clNone, Keep, 0xFCE1CB, 0xE0A57D, 0xFCE1CB, 0xE0A57D, 0x000000, 0x000000, 0x962D00},
    {0xFFFFFF, clNone, Keep, 0xECE2E1, 0xB39698, 0xECE2E1, 0xB39698, 0x000000, 0x947C7C, 0x947C7C},
    {0xFFFFFF, clNone, clNone, 0xCFF0EA, 0x8CC0B1, 0xCFF0EA, 0x8CC0B1, 0x000000, 0x588060,
     0x588060},
    {0xF2F2F2, 0xF2F2F2, clNone, 0x808080, 0x808080, 0x808080, 0x808080, 0xFFFFFF, 0x808080,
     0x808080},
    {0xF3E5DA, 0xF0DED0, clNone, 0xFFEFE3, 0xFFD2AF, 0xFFEFE3, 0xFFD2AF, 0x723708, 0xFFD2AF,
     0xFFD2AF},
    {0xFFFFFF, clNone, clNone, 0xF2F1F0, 0xC9C2BD, 0xF2F1F0, 0xC9C2BD, 0x433C37, 0x5C534C,
     0x5C534C},
    {0xFFFFFF, clNone, Keep, 0xFFFFFF, clBtnFace, 0xFFFFFF, clBtnFace, 0x000000, 0x808080,
     0x808080},
    {0xF5F9FA, 0xF5F9FA, clNone, 0xEBEEEF, 0x7E9898, 0xEBEEEF, 0x7E9898, 0xFFFFFF, 0x962D00,
     0x962D00},
    {},
    {0xF8F4F1, 0xF0E8E3, clNone, 0xF8F7F6, 0xE8E0DB, 0xF8F7F6, 0xE8E0DB, 0x8B4215, 0x74706F,
     0x74706F},
    {0xFFFFFF, 0xFFFFFF, 0x979797, 0xFFFDF9, 0xFFFAF0, 0xFFFAF0, 0xFFFDF9, 0x000000, 0xFCF2DA,
     0xFCF2DA},
    {0xFFFFFF, 0xFFFFFF, 0x979797, 0xFDFBFA, 0xFDF3EB, 0xFDFBFA, 0xFDF3EB, 0x000000, 0xFBD6B8,
     0xFBD6B8},
    {0xFFFFFF, 0xFFFFFF, 0x808080, clBtnFace, clBtnFace, clBtnFace, clBtnFace, 0x000000, clNone,
     clNone},
    {0xFFFFFF, 0xF1EFED, 0xEDEDEC, 0xFDF6EF, 0xF0DAC7, 0xFDF6EF, 0xF0DAC7, 0x5B391E, 0xC7B29F,
     0xC7B29F},
    {0xFFFFFF, 0xF1EFED, 0xEDEDEC, 0xFFFFFF, 0xEDE5E0, 0xFFFFFF, 0xEDE5E0, 0x5B391E, 0xD2CDC8,
     0xD2CDC8},
    {0xFFFFFF, 0xF1EFED, 0xEDEDEC, 0xBFBFBF, 0x919191, 0xBFBFBF, 0x919191, 0xD7D7D6, 0x6D6D6D,
     0x6D6D6D},
}};

struct ButtonColors {
    TColor Color, ColorTo, BorderColor;
    TColor Hot, HotTo, HotBorder;
    TColor Down, DownTo, DownBorder;
    TColor Disabled, DisabledTo;
    TColor Checked, CheckedTo, CheckedBorder;
};

// The state colours most styles share.
constexpr ButtonColors setA(TColor color, TColor colorTo) {
    return {color,    colorTo,  clNone,   0xEBFDFF, 0xACECFF, 0x99CEDB, 0xAAD9FF,
            0x6EBBFF, 0x42AEFE, 0xF2F2F2, 0xB6B6B6, 0x76AFF1, 0x4190F3, 0x45667B};
}

// The state colours of the 2010 styles.
constexpr ButtonColors setB(TColor color, TColor colorTo, TColor border) {
    return {color,  colorTo,  border,   0x8AE3FD, clNone,   0x58CAF1, 0x6CD0FF,
            clNone, 0x308AC2, 0xF2F2F2, 0xB6B6B6, 0x45E1FE, clNone,   0x4FA0CE};
}

constexpr std::array<ButtonColors, 16> buttonColors{{
    setA(0xFCE1CB, 0xE0A57D),
    setA(0xECE2E1, 0xB39698),
    setA(0xCFF0EA, 0x8CC0B1),
    {0xFFFFFF, 0xC9D1D5, clNone, 0xD2BDB6, 0xD2BDB6, 0x808080, 0xB59285, 0xB59285, 0x808080,
     0xD8D5D4, 0xD8D5D4, 0xD8D5D4, 0xD8D5D4, 0x808080},
    setA(0xFFEFE3, 0xFFDDC4),
    setA(0xF2F1F0, 0xC9C2BD),
    {0xFFFFFF, clBtnFace, clNone, 0xEFD3C6, 0xEFD3C6, clHighlight, clInactiveCaption,
     clInactiveCaption, clHighlight, 0xB6B6B6, 0xB6B6B6, 0xB9D8DC, 0xB9D8DC, 0x000000},
    setA(0xFFFFFF, 0xDFEDF0),
    {},
    setA(0xF9F8F8, 0xE4E2DF),
    // The checked border is the pressed one (0xFEDF9A).
    {0xFFFDF9, 0xFFFAF0, 0xFCF2DA, 0xFEF9F0, 0xFFFAF0, 0xFCF2DA, 0xFEF9F0, 0xFDF0D7, 0xFEDF9A,
     0xFFFFFF, 0xFFFFFF, 0xFEF9F0, 0xFDF0D7, 0xFEDF9A},
    {0xFDFBFA, 0xFDF3EB, 0xFBD6B8, 0xFDFBFA, 0xFDF3EB, 0xFBD6B8, 0xFCEBDC, 0xFCDBC1, 0xCEA27D,
     0xFFFFFF, 0xFFFFFF, 0xFEF9F0, 0xFCDBC1, 0xCEA27D},
    {clBtnFace, clBtnFace, clNone, 0xC0C0C0, 0xC0C0C0, 0x808080, clHighlight, clHighlight, 0x808080,
     clBtnFace, clBtnFace, clBtnFace, clBtnFace, clHighlight},
    setB(0xFDF6EF, 0xF0DAC7, 0xC7B29F),
    setB(0xFFFFFF, 0xEDE5E0, 0xD2CDC8),
    setB(0xBFBFBF, 0x919191, 0xD7D7D6),
}};

struct SelectionFrame {
    TColor Color, ColorTo, Corner, Outer, InnerBottom, InnerTop, Mirror, MirrorTo;
};

// Indexed by TSelectionColorStyle; scCustom fills instead.
constexpr std::array<SelectionFrame, 4> selectionFrames{{
    {},
    {0xD7FFFD, 0x58D4FC, 0xC3D9DF, 0x8DD7D3, 0xCAF8FF, 0xF4FEFF, 0x58D4FC, 0xB3F1FC},
    {0xFDF8F1, 0xFCEFD5, 0xFCEDCB, 0xFDDE99, 0xFDF5E7, 0xFDFBF6, clNone, clNone},
    {0xFCEBDC, 0xFCDBC1, 0xE0C5AE, 0xCEA27D, 0xFDEADB, 0xFDF4EB, clNone, clNone},
}};

struct ItemLook {
    TColor Hot, HotTo, MirrorHot, MirrorHotTo;
    TColor Selected, SelectedTo, MirrorSelected, MirrorSelectedTo;
    TColor Border, Top, Bottom, Edge, SelectedText;
};

constexpr ItemLook office2003Items{0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0xAAD9FF,
                                   0x6EBBFF, 0x42AEFE, 0x7AE1FE, 0x42AEFE, clNone,
                                   clNone,   clNone,   clBlack};
constexpr ItemLook office2007Items{0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0xAAD9FF,
                                   0x6EBBFF, 0x42AEFE, 0x7AE1FE, 0x42AEFE, 0xF4FEFF,
                                   0xCAF8FF, 0xC3D9DF, clBlack};
constexpr ItemLook office2010Items{0xD9F9FD, 0x8AE3FD, 0x8AE3FD, 0xD9F9FD, 0x7BEEFF,
                                   0x6CD0FF, 0x6CD0FF, 0x7BEEFF, 0x308AC2, clNone,
                                   clNone,   clNone,   clBlack};

constexpr std::array<ItemLook, 16> itemLooks{{
    office2003Items,
    office2003Items,
    office2003Items,
    {0xD2BDB6, 0xD2BDB6, clNone, clNone, 0xB59285, 0xB59285, clNone, clNone, 0x808080, clNone,
     clNone, clNone, clBlack},
    office2007Items,
    office2007Items,
    {0xEFD3C6, 0xEFD3C6, clNone, clNone, clHighlight, clNone, clNone, clNone, clHighlight, clNone,
     clNone, clNone, clHighlightText},
    office2003Items,
    {},
    office2007Items,
    {0xFFFDF9, 0xFFFAF0, clNone, clNone, 0xFEF9F0, 0xFDF0D7, clNone, clNone, 0xFEDF9A, 0xFDFBF6,
     0xFDF5E7, 0xFCEDCB, clBlack},
    {0xFDFBFA, 0xFDF3EB, clNone, clNone, 0xFCEBDC, 0xFCDBC1, clNone, clNone, 0xCEA27D, 0xFDF4EB,
     0xFDEADB, 0xE0C5AE, clBlack},
    {0xC0C0C0, 0xC0C0C0, clNone, clNone, clHighlight, clNone, clNone, clNone, 0x808080, clNone,
     clNone, clNone, clHighlightText},
    office2010Items,
    office2010Items,
    office2010Items,
}};

void applyButtonColors(TQorButtonAppearance& a, const ButtonColors& c) {
    a.SetColor(c.Color);
    a.SetColorTo(c.ColorTo);
    a.SetBorderColor(c.BorderColor);
    a.SetColorHot(c.Hot);
    a.SetColorHotTo(c.HotTo);
    a.SetBorderColorHot(c.HotBorder);
    a.SetColorDown(c.Down);
    a.SetColorDownTo(c.DownTo);
    a.SetBorderColorDown(c.DownBorder);
    a.SetColorDisabled(c.Disabled);
    a.SetColorDisabledTo(c.DisabledTo);
    a.SetColorChecked(c.Checked);
    a.SetColorCheckedTo(c.CheckedTo);
    a.SetBorderColorChecked(c.CheckedBorder);
}

} // namespace

void TQorCustomDropDown::SetComponentStyle(TQorStyle AStyle) {
    FQorStyle = AStyle;
    if (AStyle == tsCustom) return;
    const PopupColors& p = popupColors[std::size_t(AStyle)];
    FDropDownColor = p.Color;
    FDropDownColorTo = p.ColorTo;
    if (p.BorderColor != Keep) FDropDownBorderColor = p.BorderColor;
    FDropDownHeader->SetColor(p.HeaderColor);
    FDropDownHeader->SetColorTo(p.HeaderColorTo);
    FDropDownHeader->Font()->SetColor(p.FontColor);
    FDropDownHeader->SetBorderColor(p.HeaderBorder);
    FDropDownFooter->SetColor(p.FooterColor);
    FDropDownFooter->SetColorTo(p.FooterColorTo);
    FDropDownFooter->Font()->SetColor(p.FontColor);
    FDropDownFooter->SetBorderColor(p.FooterBorder);
    applyButtonColors(*FButtonAppearance, buttonColors[std::size_t(AStyle)]);
}

void TQorCustomDropDown::SetSelectionColorStyle(TSelectionColorStyle Value) {
    FSelectionColorStyle = Value;
    if (Value == scCustom) return;
    FSelectionColor = selectionFrames[std::size_t(Value)].Color;
    FSelectionColorTo = selectionFrames[std::size_t(Value)].ColorTo;
}

void TQorCustomDropDown::DrawSelection(TCanvas* Canvas, const TRect& R, int FrameKind,
                                       TColor BkColor) {
    if (FSelectionColorStyle == scCustom) {
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(FSelectionColor);
        Canvas->Pen()->SetStyle(psSolid);
        Canvas->Pen()->SetColor(FSelectionColor);
        Canvas->Rectangle(R);
        return;
    }
    const SelectionFrame& f = selectionFrames[std::size_t(FSelectionColorStyle)];
    DrawSelectionFrame(*Canvas, FSelectionColor, FSelectionColorTo, f.Mirror, f.MirrorTo,
                       f.InnerTop, f.InnerBottom, f.Outer, f.Corner, BkColor, R, FrameKind);
}

void TQorCustomDropDown::SetItemAppearanceStyle(TItemAppearance* Appearance, TQorStyle AStyle) {
    if (!Appearance || AStyle == tsCustom) return;
    TItemAppearance& a = *Appearance;
    a.SetBorderColorHot(clNone);
    a.SetBorderColorSelected(clNone);
    a.SetColorSelectedText(clBlack);
    a.SetColorHotText(clBlack);
    const ItemLook& l = itemLooks[std::size_t(AStyle)];
    a.SetColorHot(l.Hot);
    a.SetColorHotTo(l.HotTo);
    a.SetColorMirrorHot(l.MirrorHot);
    a.SetColorMirrorHotTo(l.MirrorHotTo);
    a.SetColorSelected(l.Selected);
    a.SetColorSelectedTo(l.SelectedTo);
    a.SetColorMirrorSelected(l.MirrorSelected);
    a.SetColorMirrorSelectedTo(l.MirrorSelectedTo);
    a.SetBorderColor(l.Border);
    a.SetBorderColorTop(l.Top);
    a.SetBorderColorBottom(l.Bottom);
    a.SetEdgeColor(l.Edge);
    a.SetColorSelectedText(l.SelectedText);
}
