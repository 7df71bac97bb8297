// TQorStringGrid's editing controller: which editor a cell gets by its editor kind, opening it
// over the cell with the cell's value, writing the value back when it closes, and the report of
// the end of the edit.
#include "grid/core/GridLibrary.h"
#include "grid/core/QorStringGrid.h"
#include "grid/editors/AsgCombo.h"
#include "grid/editors/DropDownCellEditor.h"
#include "grid/editors/QorInplaceEdit.h"
#include "grid/render/ControlLook.h"

namespace {
bool flatComboLook(TGridLook look) {
    return look != glStandard && look != glClassic && look != glCustom;
}
} // namespace

TColor TQorStringGrid::cellLook(int ACol, int ARow, TGridDrawState& State, bool Select, TFont* Font,
                                TAlignment* HAlign) {
    TBrush brush;
    TFont font;
    TColor to = clNone, mirror = clNone, mirrorTo = clNone;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    bool ww = false;
    TCellGradientDirection gd = GradientVertical;
    GetVisualProperties(ACol, ARow, State, false, Select, true, &brush, to, mirror, mirrorTo,
                        Font ? Font : &font, ha, va, ww, gd);
    if (HAlign) *HAlign = ha;
    return brush.Color();
}

TColor TQorStringGrid::editorLook(int ACol, int ARow, TFont* Font, TAlignment* HAlign) {
    TGridDrawState state;
    return cellLook(ACol, ARow, state, false, Font, HAlign);
}

bool TQorStringGrid::lookupRest(const std::u32string& Typed, const std::string& Candidate,
                                std::u32string& Rest) const {
    const std::u32string c = Utf8ToUtf32(Candidate);
    if (c.size() < Typed.size()) return false;
    auto fold = [&](const std::u32string& t) {
        return FLookupCaseSensitive ? Utf32ToUtf8(t) : AnsiUpperCase(Utf32ToUtf8(t));
    };
    if (fold(c.substr(0, Typed.size())) != fold(Typed)) return false;
    Rest = c.substr(Typed.size(), 255);
    return true;
}

TInplaceEdit* TQorStringGrid::CreateEditor() {
    return new TQorInplaceEdit(this);
}

TQorInplaceEdit* TQorStringGrid::NormalEdit() const {
    return dynamic_cast<TQorInplaceEdit*>(InplaceEditor());
}

TCustomComboBox* TQorStringGrid::EditCombo() {
    return FEditCombo;
}

bool TQorStringGrid::CanEditShow() {
    if (FValidating) return false;
    const bool show = TBaseGrid::CanEditShow();
    if (Designing() || !show) return show;
    const int rc = RealColIndexOf(Col());
    if (rc < 0) return false;
    const TPoint base = BaseCell(rc, Row());
    // Cells operated by click and space never open an editor.
    if (!FEditMode && IsControlCell(base.X, base.Y)) return false;
    if (FEditMode) {
        // A special editor is open: the text editor stays hidden under it.
        if (!IsTextEditorKind(FEditControl)) return false;
    } else {
        FNoEditChange = true;
        FCellCache = CurrentCell();
        FEditControl = FDefaultEditor;
        GetEditorType(base.X, base.Y, FEditControl);
        if (FEditControl == edNone) return false;
        FEditMode = true;
        // An editor that opens takes its cell as the reference its edit is validated against.
        if (!FEditing) StoreOldCell(Col(), Row());
        if (!IsTextEditorKind(FEditControl)) {
            ActivateCellEditor(DisplColIndexOf(base.X), base.Y);
            FEntered = true;
            showEditFocusFrame();
            return false;
        }
        FShowEditProcess = true;
    }
    FEntered = true;
    if (!FEditing) StoreOldCell(Col(), Row());
    FEditing = true;
    showEditFocusFrame();
    return true;
}

// The translucent frame around the cell whose editor opens, with FocusHelper on; the window hook
// keeps it on the cell while windows move.
void TQorStringGrid::showEditFocusFrame() {
    if (!FFocusHelper->Enabled()) return;
    GridLibrary().FocusFrameGrid = this;
    ShowFocusWindow(CellRect(Col(), Row()));
}

void TQorStringGrid::ActivateCellEditor(int ACol, int ARow) {
    FEditing = FSpecialEditor = FEditActive = true;
    const TRect r = CellRect(ACol, ARow);
    const int width = r.Right - r.Left - 1, height = r.Bottom - r.Top - 1;
    const TColor color = editorLook(ACol, ARow, nullptr);
    FGridState = gsNormal;
    FEditCtrl = nullptr;
    if (FEditControl != edCustom) FLastValidation = true;
    switch (FEditControl) {
    case edComboEdit:
    case edComboList:
        openCombo(ACol, ARow, width, height, color);
        break;
    case edCustom:
        openEditLink(ACol, ARow, r);
        break;
    default:
        if (IsDropDownEditorKind(FEditControl))
            openDropDownEditor(ACol, ARow, r, color);
        else
            openSpecialEditor(ACol, ARow, r, color);
        break;
    }
    FStartEditChar = 0;
}

void TQorStringGrid::openCombo(int ACol, int ARow, int Width, int Height, TColor CellColor) {
    TGridCombo* combo = FEditCombo;
    if (!combo) return;
    const int rc = RealColIndexOf(ACol);
    const bool list = FEditControl == edComboList;
    combo->SetDropDownCount(FControlLook->DropDownCount());
    GetEditorProp(rc, ARow, FEditLink);
    const TRect r = CellRect(ACol, ARow);
    combo->SetEnabled(true);
    combo->SetDroppedDown(false);
    combo->SetStyle(list ? csDropDownList : csDropDown);
    const std::string editText = GetEditText(ACol, ARow);
    bool fallback = false;
    if (list) {
        combo->SetItemIndex(combo->Items()->IndexOf(GridCells(rc, ARow)));
        if (combo->ItemIndex() < 0) {
            if (FComboIdx == -1) {
                const int i = combo->Items()->IndexOf(editText);
                combo->SetItemIndex(i >= 0 ? i : 0);
                fallback = combo->Items()->Count() > 0;
            } else {
                combo->SetItemIndex(FComboIdx);
            }
        }
    }
    // The list drops below an edit field of the cell's size.
    combo->SetBounds(r.Left, r.Top, Width, Height);
    if (!list) {
        combo->SetText(editText);
        if (FComboIdx != -1 && combo->Items()->IndexOf(editText) < 0)
            combo->SetItemIndex(FComboIdx);
        combo->SetMaxLength(FMaxComboLength);
    }
    combo->SetFlat(flatComboLook(FLook));
    combo->SetEtched(flatComboLook(FLook));
    combo->SetColor(CellColor);
    combo->Init();
    combo->SetVisible(true);
    if (FNavigation->AutoComboDropSize())
        combo->SizeDropDownWidth();
    else if (combo->DropWidth() > 0)
        combo->Perform(CB_SETDROPPEDWIDTH, WPARAM(combo->DropWidth()));
    if (combo->CanFocus()) combo->SetFocus();
    if (FMouseActions->DirectComboDrop() || FControlLook->DropDownAlwaysVisible())
        combo->SetDroppedDown(true);
    if (FMouseActions->DirectEdit() && FMouseActions->DirectComboDrop()) {
        const TGridRect s = Selection();
        SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
    }
    if (fallback) {
        // The first item stands in for a text that is no item; the change is reported.
        combo->Change();
        combo->fireComboChange(rc, ARow);
    }
    if (FStartEditChar != 0 && combo->HandleAllocated())
        PostMessage(combo->Handle(), WM_CHAR, WPARAM(FStartEditChar), 0);
    FEditCtrl = combo;
}

void TQorStringGrid::CommitCellEditor(int ACol, int ARow) {
    if (IsDestroying()) return;
    FSpecialEditor = false;
    FBlockKill = true;
    struct Done {
        TQorStringGrid* g;
        ~Done() {
            g->FBlockKill = false;
            g->FEditActive = false;
        }
    } done{this};
    const int rc = RealColIndexOf(ACol);
    FStartEditChar = 0;
    switch (FEditControl) {
    case edComboEdit:
    case edComboList:
        // Stores only while the edit runs: a second close stores nothing.
        if (FEditMode && FEditCombo) {
            FEditMode = false;
            StoreEditorValue(rc, ARow, FEditCombo->Text());
            if (FEditCombo->Focused() && CanFocus()) SetFocus();
            FEditCombo->SetDroppedDown(false);
            FEditCombo->SetVisible(false);
            FEditCombo->SetEnabled(false);
            FEditCtrl = nullptr;
        }
        break;
    case edCustom:
        commitEditLink(ACol, ARow);
        break;
    default:
        if (IsDropDownEditorKind(FEditControl)) {
            commitDropDownEditor(ACol, ARow);
            break;
        }
        // The text kinds commit through the text editor; edDataCheckBox and edNone have none.
        commitSpecialEditor(ACol, ARow);
        break;
    }
    if (FEditControl != edNormal && FEditActive) PostEditingDone(rc, ARow);
}

void TQorStringGrid::ShowCellEdit() {
    Perform(WM_KEYDOWN, VK_F2, 0);
}

void TQorStringGrid::StoreEditorValue(int ACol, int ARow, const std::string& Value) {
    SetEditorCellText(ACol, ARow, Value);
}

void TQorStringGrid::RestoreEditedCell() {
    if (RealColIndexOf(Col()) < 0) return;
    RestoreCellCache();
    // Written once more so that the change handling and the repaint of the cell run.
    const std::string text = CurrentCell();
    SetCurrentCell(text);
}

bool TQorStringGrid::NeedsEditValidation() {
    return Options().Contains(goTabs) || bool(OnCellValidate) || bool(OnCellValidateWide);
}

bool TQorStringGrid::SetComboSelectionString(const std::string& Value) {
    TCustomComboBox* combo = EditCombo();
    const int i = combo ? combo->Items()->IndexOf(Value) : -1;
    if (i >= 0) FComboIdx = i;
    return i >= 0;
}
