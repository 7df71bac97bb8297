// TQorStringGrid's appearance setters: the looks and their colours, the spreadsheet switch, the
// selection listener, the combo editor's items, the border outline and the component
// notification.
#include "grid/core/QorStringGrid.h"
#include "grid/data/DataSettings.h"
#include "grid/render/ControlLook.h"
#include "grid/render/markup/MarkupText.h"

#include <iterator>

namespace {

struct LookName {
    TGridLook look;
    const char* id;
    const char* caption;
};

constexpr LookName lookNames[] = {
    {glStandard, "glStandard", "Standard"},
    {glSoft, "glSoft", "Soft"},
    {glClassic, "glClassic", "Classic"},
    {glQor, "glQor", "Qor"},
    {glXP, "glXP", "Windows XP"},
    {glListView, "glListView", "ListView"},
    {glVista, "glVista", "Windows Vista"},
    {glWin7, "glWin7", "Windows 7"},
    {glOffice2007, "glOffice2007", "Office2007"},
};

const LookName* lookName(TGridLook Look) {
    for (const LookName& n : lookNames)
        if (n.look == Look) return &n;
    return nullptr;
}

} // namespace

std::string LookToString(TGridLook Look) {
    const LookName* n = lookName(Look);
    return n ? n->id : "";
}

std::string LookToCaption(TGridLook Look) {
    const LookName* n = lookName(Look);
    return n ? n->caption : "";
}

// --- looks ---------------------------------------------------------------------------------------

void TQorStringGrid::SetLook(TGridLook v) {
    if (v == FLook) return;
    FLook = v;
    applyLook(v);
}

void TQorStringGrid::applyLook(TGridLook Value) {
    TControlLook* cl = FControlLook.get();
    if (Value != glCustom) {
        cl->SetFixedGradientFrom(clNone);
        cl->SetFixedGradientTo(clNone);
        cl->SetFixedGradientMirrorFrom(clNone);
        cl->SetFixedGradientMirrorTo(clNone);
        FQorGradientFrom = FQorGradientTo = FQorGradientMirrorFrom = FQorGradientMirrorTo = clNone;
        FSortSettings->SetHeaderColor(clNone);
    }
    switch (Value) {
    case glVista:
        SetStyle(gsWindowsVista);
        FStyle = tsWindowsVista;
        SetSelectionStyle(ssVista);
        break;
    case glWin7:
        SetStyle(gsWindows7);
        FStyle = tsWindows7;
        SetSelectionStyle(ssWin7);
        break;
    case glOffice2007:
        SetStyle(gsOffice2007Luna);
        FStyle = tsOffice2007Luna;
        SetSelectionStyle(ssOffice2007);
        break;
    case glCustom:
        break;
    default: {
        if (!Designing()) SetEditorsComponentStyle(tsWindowsXP);
        SetSelectionStyle(ssDefault);
        if (Loading()) break;
        const bool plain = Value == glStandard || Value == glSoft || Value == glClassic;
        if (plain) {
            SetFixedColor(clBtnFace);
            cl->SetFixedGradientFrom(clBtnFace);
            cl->SetFixedGradientTo(clNone);
        } else {
            cl->SetFixedGradientFrom(clWhite);
            cl->SetFixedGradientTo(clBtnFace);
        }
        SetGridFixedLineColor(clGray);
        cl->SetFixedGradientMirrorFrom(clNone);
        cl->SetFixedGradientMirrorTo(clNone);
        FQorGradientMirrorFrom = FQorGradientMirrorTo = clNone;
        SetGridLineColor(clSilver);
        if (Value != glQor && Value != glXP) {
            FActiveCellColor = clGray;
            FActiveCellColorTo = clNone;
            FSelectionColor = clHighlight;
            FSelectionTextColor = clHighlightText;
            FSearchFooter->SetColor(clBtnFace);
            FSearchFooter->SetColorTo(clBtnFace);
            break;
        }
        FActiveCellColor = 0xEACAB6;
        FActiveCellColorTo = clNone;
        FSelectionColor = 0xEACAB6;
        FSelectionColorTo = clNone;
        FSelectionTextColor = clBlack;
        FSearchFooter->SetColor(FQorGradientFrom);
        FSearchFooter->SetColorTo(FQorGradientTo);
        cl->SetFixedGradientFrom(clWhite);
        cl->SetFixedGradientTo(Value == glXP ? TColor(clBtnFace) : TColor(clSilver));
        cl->SetFixedGradientHoverFrom(0xCFD0D1);
        cl->SetFixedGradientHoverTo(0xBEC6C8);
        cl->SetFixedGradientHoverMirrorFrom(0xBEC6C8);
        cl->SetFixedGradientHoverMirrorTo(0xABBCBF);
        cl->SetFixedGradientDownFrom(0x868788);
        cl->SetFixedGradientDownTo(0x737C7E);
        cl->SetFixedGradientDownMirrorFrom(0x737C7E);
        cl->SetFixedGradientDownMirrorTo(0x627376);
        break;
    }
    }
    SetScrollType(ssNormal);
    FBorderStyle = bsSingle;
    FBorderColor = 0xB99D7F;
    Invalidate();
    if (!Loading()) UpdateFooter();
}

// --- store-and-repaint setters -------------------------------------------------------------------

void TQorStringGrid::SetHighlightColor(TColor v) {
    if (v == FHighlightColor) return;
    FHighlightColor = v;
    SetHTMLHighlightColors(FHighlightColor, FHighlightTextColor);
    Invalidate();
}

void TQorStringGrid::SetHighlightTextColor(TColor v) {
    if (v == FHighlightTextColor) return;
    FHighlightTextColor = v;
    SetHTMLHighlightColors(FHighlightColor, FHighlightTextColor);
    Invalidate();
}

void TQorStringGrid::SetURLColor(TColor v) {
    if (v == FURLColor) return;
    FURLColor = v;
    if (FURLShow) Invalidate();
}

void TQorStringGrid::SetURLFull(bool v) {
    FURLFull = v;
    if (FURLShow) Invalidate();
}

void TQorStringGrid::SetFlat(bool v) {
    FFlat = v;
    if (!Loading()) Invalidate();
}

void TQorStringGrid::SetRowIndicator(const TBitmap* v) {
    FRowIndicator->Assign(v);
    RepaintCell(0, Row());
}

TColor TQorStringGrid::ArrowColor() const {
    return FArrows[arrUp] ? FArrows[arrUp]->Color() : TColor(clNone);
}

void TQorStringGrid::SetArrowColor(TColor v) {
    for (TArrowWindow* a : FArrows)
        if (a) a->SetColor(v);
}

void TQorStringGrid::SetSpreadSheet(bool v) {
    FSpreadSheet = v;
    SetSelectionRectangle(v);
    SetSelectionResizer(v);
    FNavigation->SetAllowSmartClipboard(v);
    TGridOptions o = Options();
    if (v) {
        o.Include(goRangeSelect);
        o.Include(goEditing);
    } else {
        o.Exclude(goRangeSelect);
        o.Exclude(goEditing);
    }
    SetOptions(o);
    FMouseActions->SetRangeSelectAndEdit(v);
}

void TQorStringGrid::SetAutoThemeAdapt(bool v) {
    if (v == FAutoThemeAdapt) return;
    FAutoThemeAdapt = v;
    FSearchFooter->SetAutoThemeAdapt(v);
    if (v) {
        FollowOfficeTheme();
        Invalidate();
    }
    if (Designing() || Loading() || !HandleAllocated()) return;
    if (v)
        GetThemeNotifier(this)->RegisterWindow(Handle());
    else
        GetThemeNotifier(this)->UnRegisterWindow(Handle());
}

// --- listeners, combo items, password hook ------------------------------------------------------

void TQorStringGrid::UnRegisterSelListener(ITQorStringGridSelect* AListener) {
    if (FSelListener == AListener) FSelListener = nullptr;
}

void TQorStringGrid::ClearComboString() {
    if (TCustomComboBox* c = EditCombo()) c->Items()->Clear();
}

void TQorStringGrid::AddComboStringObject(const std::string& s, TObject* AObject) {
    if (TCustomComboBox* c = EditCombo()) c->Items()->AddObject(s, AObject);
}

bool TQorStringGrid::RemoveComboString(const std::string& s) {
    TCustomComboBox* c = EditCombo();
    const int i = c ? c->Items()->IndexOf(s) : -1;
    if (i < 0) return false;
    c->Items()->Delete(i);
    return true;
}

int TQorStringGrid::GetComboCount() {
    TCustomComboBox* c = EditCombo();
    return c ? c->Items()->Count() : 0;
}

int TQorStringGrid::ComboIndex(int ACol, int ARow) {
    GetEditorProp(ACol, ARow, nullptr);
    TCustomComboBox* c = EditCombo();
    return c ? c->Items()->IndexOf(Cells(ACol, ARow)) : -1;
}

void TQorStringGrid::SetComboIndex(int ACol, int ARow, int Value) {
    GetEditorProp(ACol, ARow, nullptr);
    TCustomComboBox* c = EditCombo();
    if (c && Value >= 0 && Value < c->Items()->Count())
        SetCells(ACol, ARow, c->Items()->Strings(Value));
}

bool TQorStringGrid::QueryPasswordCell(int ACol, int ARow) {
    bool isPassword = false;
    IsPasswordCell(ACol, ARow, isPassword);
    return isPassword;
}

void TQorStringGrid::WMGetDlgCode(TMessage& Message) {
    TBaseGrid::WMGetDlgCode(Message);
    if (FNavigation->AutoGotoWhenSorted() || !Options().Contains(goEditing))
        Message.Result |= DLGC_WANTCHARS;
}

// --- border outline ------------------------------------------------------------------------------

void TQorStringGrid::DrawBorderColor() {
    const bool bordered = FLook == glSoft || (FLook >= glQor && FLook <= glOffice2007);
    if (!bordered || FBorderStyle == bsNone || FBorderColor == clNone || FFlat) return;
    TCanvas* c = Canvas();
    TPen saved;
    saved.Assign(c->Pen());
    const int w = Width(), h = Height();
    auto outline = [&](int l, int t, int r, int b) {
        c->MoveTo(l, b);
        c->LineTo(l, t);
        c->LineTo(r, t);
        c->LineTo(r, b);
        c->LineTo(l, b);
    };
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    c->Pen()->SetColor(FBorderColor);
    if (FFlags.FitCellsInGrid) {
        outline(1, 1, w - 2, h - 2);
        c->Pen()->SetColor(Parent() ? Parent()->Color() : Color());
        outline(0, 0, w - 1, h - 1);
    } else if (IsComCtl6()) {
        outline(0, 0, w - 1, h - 1);
    }
    c->Pen()->Assign(&saved);
}
