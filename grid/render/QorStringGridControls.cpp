// Cell markup's pictures and form controls: the picture stores and renderer settings of cells,
// the clicks on embedded controls and their editors.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridDraw.h"
#include "grid/core/base/GridUtils.h"
#include "grid/editors/ControlEditors.h"
#include "grid/render/ControlLook.h"
#include "grid/render/LookSettings.h"
#include "grid/render/markup/HTMLPicture.h"
#include "grid/render/markup/MarkupControls.h"
#include "grid/render/markup/MarkupRender.h"
#include "platform/ui/core/ToolTips.h"

void TQorStringGrid::createCellParts() {
    FImageCache = std::make_unique<THTMLPictureCache>();
    FBackGround = std::make_unique<TBackGround>();
    FBackGround->OnRepaint = [this] { Invalidate(); };
    FBalloon = std::make_unique<TBalloonSettings>();
    FBalloon->OnEnableChange = [this](TObject*) {
        if (Loading()) return;
        if (FBalloon->Enable())
            BalloonInit();
        else
            BalloonDone();
    };
    if (Designing()) return;
    FCtrlEdit = new TControlEdit(this);
    FCtrlEdit->SetParent(this);
    FCtrlCombo = new TControlCombo(this);
    FCtrlCombo->SetParent(this);
}

void TQorStringGrid::SetPictureContainer(TPictureContainer* v) {
    if (FPictureContainer) FPictureContainer->RemoveFreeNotification(this);
    FPictureContainer = v;
    if (v) v->FreeNotification(this);
    Invalidate();
}

void TQorStringGrid::cellMarkupOptions(int RealCol, int ARow, HTMLRenderOptions& Options) {
    Options.ImageList = GetCellImageList(RealCol, ARow);
    Options.PictureContainer = FPictureContainer;
    Options.PictureCache = FImageCache.get();
    Options.LinkColor = FURLColor;
    Options.ThemeWindow = HandleAllocated() ? Handle() : nullptr;
    Options.BiDiMode = BiDiMode();
}

bool TQorStringGrid::hitCellMarkup(int ACol, int ARow, int X, int Y, HTMLRenderResult& Result) {
    const TRect cell = CellRect(ACol, ARow);
    TRect r = cell;
    r.Left += FXYOffset.X + 1;
    r.Top += FXYOffset.Y + 1;
    const int realCol = RealColIndex(ACol);
    if (HasCheckBox(realCol, ARow)) r.Left += FControlLook->CheckSize();
    // Right to left the text lies mirrored within the cell, as painted.
    if (UseRightToLeftAlignment()) r = MirrorWithin(r, cell);
    HTMLRenderOptions options;
    cellMarkupOptions(realCol, ARow, options);
    options.HitX = X;
    options.HitY = Y;
    options.HitTestOnly = true;
    TCanvas* c = Canvas();
    c->Font()->Assign(isFixedCell(ACol, ARow) ? FFixedFont.get() : Font());
    return HTMLRenderText(*c, Cells(realCol, ARow), r, options, Result);
}

// --- clicks on form controls -----------------------------------------------------------------
bool TQorStringGrid::clickCellControl(int ACol, int ARow, int RealCol, const std::string& Text,
                                      const HTMLRenderResult& Hit) {
    bool editable = (Options().Contains(goEditing) || FEditDisable) && !ReadOnly(RealCol, ARow);
    DoCanEditCell(ACol, ARow, editable);
    if (!editable) return false;
    const std::string id = Hit.ControlID, type = Hit.ControlType;
    std::string value = Hit.ControlValue;
    // An open control edit ends first (its value written), so the text is read again.
    std::string text = Text;
    if (FCtrlEditing) {
        EndCellControlEdit();
        text = Cells(RealCol, ARow);
    }
    if (type == "BUTTON") {
        FCtrlXY = {RealCol, ARow};
        FCtrlDown = true;
        RepaintCell(ACol, ARow);
    } else if (type == "CHECK") {
        value = UpperCase(value) == "TRUE" ? "FALSE" : "TRUE";
        HTMLSetControlValue(text, id, value);
        SetCells(RealCol, ARow, text);
    } else if (type == "RADIO") {
        value = "TRUE";
        text = HTMLClearRadioControls(text);
        HTMLSetControlValue(text, id, value);
        SetCells(RealCol, ARow, text);
    }
    if (OnControlClick) OnControlClick(this, ARow, ACol, id, type, value);
    ShowCellControlEditor(text, type, ARow, RealCol, ACol, Hit.ControlRect, value, id);
    return true;
}

void TQorStringGrid::releaseCellControl() {
    if (!FCtrlDown) return;
    FCtrlDown = false;
    const int col = DisplColIndex(FCtrlXY.X);
    if (col >= 0 && col < ColCount() && FCtrlXY.Y >= 0 && FCtrlXY.Y < RowCount())
        RepaintCell(col, FCtrlXY.Y);
}

// --- control editors -------------------------------------------------------------------------
void TQorStringGrid::ShowCellControlEditor(const std::string& CellText, const std::string& CtrlType,
                                           int ARow, int RealCol, int DisplCol,
                                           const TRect& CtrlRect, const std::string& CtrlValue,
                                           const std::string& CtrlID) {
    const bool edit = CtrlType == "EDIT" || CtrlType == "PASSWORD" || CtrlType == "MASK";
    if ((!edit && CtrlType != "COMBO") || !FCtrlEdit || !FCtrlCombo) return;
    FCtrlXY = {RealCol, ARow};
    FCtrlID = CtrlID;
    FCtrlType = CtrlType;
    FCtrlEditing = true;
    const int maxLen = HTMLGetControlMaxLen(CellText, CtrlID);
    if (edit) {
        TControlEdit* e = FCtrlEdit;
        e->SetWidth(0);
        e->SetPasswordChar(CtrlType == "PASSWORD" ? U'*' : 0);
        e->SetEditMask(CtrlType == "MASK" ? HTMLGetControlProp(CellText, CtrlID) : "");
        e->OnExit = [this](TObject*) { EndCellControlEdit(); };
        e->SetText(CtrlValue);
        e->SetBorderStyle(bsNone);
        e->SetBounds(CtrlRect.Left + 1, CtrlRect.Top + 8, CtrlRect.Width() - 4, 14);
        e->SetMaxLength(maxLen);
        e->SetParent(this);
        e->SetVisible(true);
        e->BringToFront();
        if (e->CanFocus()) e->SetFocus();
        return;
    }
    TControlCombo* cb = FCtrlCombo;
    cb->SetIsWinXP(FIsWinXP);
    cb->SetWidth(0);
    cb->SetFlat(false);
    cb->SetBounds(CtrlRect.Left - 1, CtrlRect.Top + 4, CtrlRect.Width(), cb->Height());
    cb->OnSelect = [this](TObject* Sender) { ControlComboSelect(Sender); };
    cb->SetParent(this);
    // The list belongs to this control alone: the handler fills it anew each time.
    cb->Items()->Clear();
    bool editStyle = true;
    int dropCount = 8;
    if (OnControlComboList)
        OnControlComboList(this, ARow, DisplCol, CtrlID, CtrlType, CtrlValue,
                           static_cast<TStringList*>(cb->Items()), editStyle, dropCount);
    cb->SetStyle(editStyle ? csDropDown : csDropDownList);
    const int index = cb->Items()->IndexOf(CtrlValue);
    if (index >= 0) cb->SetItemIndex(index);
    cb->SetText(CtrlValue);
    cb->SetDropDownCount(dropCount);
    cb->OnExit = [this](TObject*) { EndCellControlEdit(); };
    cb->SetHeight(cb->ItemHeight() * (dropCount + 2));
    cb->SetMaxLength(maxLen);
    cb->SetVisible(true);
    cb->BringToFront();
    cb->SetDroppedDown(true);
    if (cb->CanFocus()) cb->SetFocus();
}

void TQorStringGrid::EndCellControlEdit() {
    if (!FCtrlEditing) return;
    FCtrlEditing = false;
    std::string value;
    if (FCtrlType == "COMBO") {
        value = FCtrlCombo->Text();
        FCtrlCombo->SetDroppedDown(false);
        FCtrlCombo->SetVisible(false);
    } else {
        value = FCtrlEdit->Text();
        FCtrlEdit->SetVisible(false);
    }
    const int col = FCtrlXY.X, row = FCtrlXY.Y;
    if (col >= 0 && col < TotalColCount() && row >= 0 && row < RowCount()) {
        std::string text = Cells(col, row);
        if (HTMLSetControlValue(text, FCtrlID, value)) SetCells(col, row, text);
    }
    if (OnControlEditDone) OnControlEditDone(this, row, col, FCtrlID, FCtrlType, value);
    FCtrlType.clear();
}

void TQorStringGrid::ControlComboSelect(TObject*) {
    if (!OnControlComboSelect || !FCtrlCombo) return;
    const int index = FCtrlCombo->ItemIndex();
    const std::string item = index >= 0 && index < FCtrlCombo->Items()->Count()
                                 ? FCtrlCombo->Items()->Strings(index)
                                 : std::string();
    OnControlComboSelect(this, FCtrlXY.Y, FCtrlXY.X, index, FCtrlID, item);
}

void TQorStringGrid::FocusNextCellControl(int ACol, int ARow, const std::string& AfterID) {
    const int realCol = RealColIndex(ACol);
    const std::string text = realCol >= 0 ? Cells(realCol, ARow) : std::string();
    const std::string id = HTMLNextControlID(text, AfterID);
    if (id.empty()) {
        if (CanFocus()) SetFocus();
        return;
    }
    HTMLRenderResult found;
    found.ControlID = id;
    hitCellMarkup(ACol, ARow, -1, -1, found);
    if (found.ControlID != id || found.HitHref != "ctrl") {
        if (CanFocus()) SetFocus();
        return;
    }
    ShowCellControlEditor(text, found.ControlType, ARow, realCol, ACol, found.ControlRect,
                          found.ControlValue, id);
}

void TQorStringGrid::CellControlKey(bool Tab) {
    const TPoint cell = FCtrlXY;
    const std::string id = FCtrlID;
    EndCellControlEdit();
    if (!Tab) {
        if (CanFocus()) SetFocus();
        return;
    }
    if (FNavigation->AdvanceAuto())
        AdvanceAfterEdit(Col(), Row(), true, false, true, false, true);
    else
        FocusNextCellControl(DisplColIndex(cell.X), cell.Y, id);
}
