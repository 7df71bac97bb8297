#include "controls/QorMultiColumnDropDown.h"

#include "controls/base/DropDownForm.h"
#include "controls/base/DropDownLookup.h"
#include "platform/base/SysUtils.h"
#include "platform/gfx/ImageList.h"

#include <algorithm>

namespace {

bool isStepKey(WORD Key) {
    return Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN;
}

} // namespace

namespace multi_column {

TQorColGrid::TQorColGrid(TComponent* AOwner, TQorMultiColumnDropDown* DropDown)
    : TDropDownGridInput<TStringGrid>(AOwner), FQorDropDown(DropDown),
      FColumns(std::make_unique<TDropDownColumns>(this)), FHeaderFont(std::make_unique<TFont>()) {
    SetFixedRows(1);
    SetFixedCols(0);
    TGridOptions o = Options();
    o.Exclude(goRangeSelect);
    o.Exclude(goDrawFocusSelected);
    o.Include(goHorzLine);
    o.Include(goRowSelect);
    SetOptions(o);
    // The list draws its cells and lines itself.
    SetDefaultDrawing(false);
    TCustomGrid::SetGridLineWidth(0);
}

TQorColGrid::~TQorColGrid() = default;

void TQorColGrid::SetImages(TImageList* v) {
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = v;
    if (v) v->FreeNotification(this);
}

void TQorColGrid::SetGridLineWidth(int v) {
    FGridLineWidth = v;
    TCustomGrid::SetGridLineWidth(0);
    Invalidate();
}

void TQorColGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TStringGrid::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

void TQorColGrid::LoadFromDropDown() {
    TQorMultiColumnDropDown& dd = *FQorDropDown;
    SetConfirmSelection(false);
    FColumns->Assign(dd.Columns());
    SetColCount(std::max(1, FColumns->Count()));
    SetRowCount(dd.Items()->Count() + 1);
    if (RowCount() > 1) {
        SetFixedRows(1);
        SetRow(1);
    }
    for (int i = 0; i < FColumns->Count(); ++i) SetColWidths(i, FColumns->Items(i)->Width());
    FLineColor = dd.LineColor();
    FFixedLineColor = dd.FixedLineColor();
    FHeaderColor = dd.HeaderColor();
    FHeaderColorTo = dd.HeaderColorTo();
    FHeaderHeight = dd.HeaderHeight();
    FHeaderFont->Assign(dd.HeaderFont());
    SetImages(dd.Images());
    SetDefaultRowHeight(dd.DropDownRowHeight());
    SetRowHeights(0, FHeaderHeight);
    TGridOptions o = Options();
    dd.ColumnSizing() ? o.Include(goColSizing) : o.Exclude(goColSizing);
    SetOptions(o);
    bool wrap = false;
    for (int i = 0; i < FColumns->Count(); ++i) {
        // Measured only while the list sits on the popup.
        if (FColumns->Items(i)->AutoSize() && Parent() == dd.FDropDownForm)
            dd.AutoSizeColumn(*this, i, *FColumns);
        wrap = wrap || FColumns->Items(i)->Wordwrap();
    }
    if (wrap) dd.WordWrapRowHeights(*this, *FColumns);
}

void TQorColGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState) {
    FQorDropDown->drawCell(Canvas(), ACol, ARow, ARect);
}

void TQorColGrid::doSelect() {
    if (OnSelect) OnSelect(this);
}

void TQorColGrid::KeyDown(WORD& Key, TShiftState Shift) {
    if (ForwardAltArrow(FQorDropDown, Key, Shift)) return;
    const WORD key = Key;
    TStringGrid::KeyDown(Key, Shift);
    if (key == VK_RETURN) doSelect();
}

void TQorColGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TStringGrid::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    const TGridCoord cell = MouseCoord(X, Y);
    if (cell.Y >= FixedRows() && cell.Y < RowCount()) doSelect();
}

} // namespace multi_column

using multi_column::TQorColGrid;

// --- TQorMultiColumnDropDown -------------------------------------------------------------------

TQorMultiColumnDropDown::TQorMultiColumnDropDown(TComponent* AOwner) : TColumnListDropDown(AOwner) {
    DropDownFormNeeded();
}

TQorMultiColumnDropDown::~TQorMultiColumnDropDown() {
    // The list outlives this part of the control.
    if (FQorColGrid) {
        FQorColGrid->OnSelect = nullptr;
        FQorColGrid->OnSelectCell = nullptr;
    }
}

TCustomGrid* TQorMultiColumnDropDown::ListGrid() const {
    return FQorColGrid;
}

// --- the popup ---------------------------------------------------------------------------------

void TQorMultiColumnDropDown::CreateDropDownForm() {
    TColumnListDropDown::CreateDropDownForm();
    if (!FQorColGrid) {
        FQorColGrid = new TQorColGrid(this, this);
        FQorColGrid->SetParent(FDropDownForm);
        FQorColGrid->SetBounds(0, 0, FQorColGrid->Width(), 180);
        FQorColGrid->SetColor(DropDownColor());
        SetFocusControl(FQorColGrid);
    }
    SetControl(FQorColGrid);
}

void TQorMultiColumnDropDown::DropDownFormDestroyed() {
    TColumnListDropDown::DropDownFormDestroyed();
    FQorColGrid = nullptr;
}

void TQorMultiColumnDropDown::BeforeDropDown() {
    TColumnListDropDown::BeforeDropDown();
    FDropDownForm->SetCancelOnDeActivate(false);
    FShowing = true;
    FLookupEntry.clear();
    FQorColGrid->LoadFromDropDown();
    TGridOptions o = FQorColGrid->Options();
    o.Include(goThumbTracking);
    FQorColGrid->SetOptions(o);
    FQorColGrid->SetColor(DropDownColor());
    FQorColGrid->OnSelectCell = [this](TObject*, int, int ARow, bool&) {
        // Moving through the list shows the row's text at once; the wheel and the opening
        // popup only move the list.
        if (!FQorColGrid->MouseWheelSelection() && !FShowing) SetItemIndex(ARow - 1);
    };
    FQorColGrid->OnSelect = [this](TObject*) { gridSelect(); };
    if (FQorColGrid->RowCount() > 1) FQorColGrid->SetRow(std::max(FItemIndex + 1, 1));
    RememberOpening();
}

void TQorMultiColumnDropDown::UpdateDropDownContent() {
    SetControl(FQorColGrid);
    TColumnListDropDown::UpdateDropDownContent();
}

void TQorMultiColumnDropDown::DoShowDropDown() {
    TColumnListDropDown::DoShowDropDown();
    if (FQorColGrid && FDropDownForm && FDropDownForm->Visible()) {
        SizeColumnsToDropDown();
        TQorColGrid& list = *FQorColGrid;
        if (list.RowCount() > 1) {
            const int row = std::max(FItemIndex + 1, 1);
            list.SetRow(row);
            const int visible = list.VisibleRowCount();
            if (row < list.TopRow() || row >= list.TopRow() + visible)
                list.SetTopRow(std::max(row - visible + 1, list.FixedRows()));
        }
    }
    FShowing = false;
}

void TQorMultiColumnDropDown::DoHideDropDown(bool Cancelled) {
    if (!FDropDownForm || !FDropDownForm->Visible()) {
        TColumnListDropDown::DoHideDropDown(Cancelled);
        return;
    }
    TColumnListDropDown::DoHideDropDown(Cancelled);
    if (Cancelled) {
        // The base put the text back.
        FItemIndex = FOldItemIndex;
    } else {
        if (FQorColGrid && FQorColGrid->ConfirmSelection()) SetItemIndex(FQorColGrid->Row() - 1);
        FOldItemIndex = FItemIndex;
    }
}

void TQorMultiColumnDropDown::gridSelect() {
    if (FQorColGrid->ConfirmSelection()) SetItemIndex(FQorColGrid->Row() - 1);
    HideDropDown(false);
    if (OnSelect) OnSelect(this);
}

// --- drawing -----------------------------------------------------------------------------------

void TQorMultiColumnDropDown::drawCell(TCanvas* Canvas, int ACol, int ARow, TRect ARect) {
    if (OnDropDownDrawItem) {
        OnDropDownDrawItem(this, ACol, ARow, Canvas, ARect);
        return;
    }
    TQorColGrid& list = *FQorColGrid;
    const int cols = list.ColCount();
    const int kind = cols == 1 ? 0 : ACol == 0 ? 1 : ACol == cols - 1 ? 2 : 3;
    TRect r{ARect.Left, ARect.Top, ARect.Left + list.ColWidths(ACol),
            ARect.Top + list.RowHeights(ARow)};
    const bool header = ARow < list.FixedRows();
    const bool column = ACol < Columns()->Count();
    TColor background = list.Color();
    TAlignment alignment = taLeftJustify;
    bool wrap = false, ellipsis = false;
    std::string text;
    int image = -1;
    if (column) {
        const TDropDownColumn& c = *Columns()->Items(ACol);
        background = c.Color();
        alignment = c.Alignment();
        wrap = c.Wordwrap();
        ellipsis = c.Ellipsis();
        Canvas->Font()->Assign(c.Font());
        if (!header && ARow - 1 < Items()->Count()) {
            const TDropDownItem& item = *Items()->Items(ARow - 1);
            text = item.ColumnText(ACol);
            if (c.ColumnType() == ctImage) image = item.ImageIndex();
        }
    } else {
        Canvas->Font()->Assign(list.HeaderFont());
    }
    if (OnDropDownGetItemText) OnDropDownGetItemText(this, ACol, ARow, text);

    const bool selected = !header && ARow == list.Row();
    if (header) {
        if (column) text = Columns()->Items(ACol)->Header();
        Canvas->Font()->Assign(list.HeaderFont());
        if (list.HeaderColor() == clNone || list.HeaderColorTo() == clNone) {
            Canvas->Brush()->SetStyle(bsSolid);
            Canvas->Brush()->SetColor(list.HeaderColor());
            Canvas->FillRect(r);
        } else {
            PaintGradient(Canvas, list.HeaderColor(), list.HeaderColorTo(), 80, r, true);
        }
    } else if (selected) {
        DrawSelection(Canvas, r, kind, background);
    } else {
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(background);
        Canvas->FillRect(r);
    }

    // Lines along the bottom and the right edge.
    const TGridOptions o = list.Options();
    const int lineWidth = header ? 1 : list.GridLineWidth();
    const int c = header ? 1 : (lineWidth + 1) / 2;
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Pen()->SetColor(header ? list.FixedLineColor() : list.LineColor());
    Canvas->Pen()->SetWidth(lineWidth);
    if (lineWidth > 0) {
        if (o.Contains(header ? goFixedHorzLine : goHorzLine)) {
            Canvas->MoveTo(r.Left - c + 1, r.Bottom - c);
            Canvas->LineTo(r.Right - c + 1, r.Bottom - c);
        }
        if (o.Contains(header ? goFixedVertLine : goVertLine)) {
            Canvas->MoveTo(r.Right - c, r.Bottom - c);
            Canvas->LineTo(r.Right - c, r.Top - c);
        }
    }
    Canvas->Pen()->SetWidth(1);

    TRect content = r;
    InflateRect(content, -list.GridLineWidth(), -list.GridLineWidth());
    if (Images() && image >= 0) {
        const int h = Images()->Height();
        const int y = h < content.Height() ? content.Top + (content.Height() - h) / 2 : content.Top;
        Images()->Draw(Canvas, content.Left + 2, y, image);
        content.Left += Images()->Width() + 4;
    } else {
        content.Left += 2;
    }
    if (text.empty()) return;
    if (selected) Canvas->Font()->SetColor(SelectionTextColor());
    Canvas->Brush()->SetStyle(bsClear);
    unsigned flags = DT_VCENTER | DT_NOPREFIX | DT_EXPANDTABS;
    flags |= wrap ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE;
    flags |= alignment == taRightJustify ? DT_RIGHT : alignment == taCenter ? DT_CENTER : DT_LEFT;
    if (ellipsis) flags |= DT_END_ELLIPSIS;
    DrawText(Canvas, text, -1, content, flags);
}

// --- keys in the open list ---------------------------------------------------------------------

void TQorMultiColumnDropDown::ControlKeyDown(WORD& Key, TShiftState Shift) {
    // The list moves its row itself.
    if (isStepKey(Key) && !Shift.Contains(ssAlt)) return;
    TColumnListDropDown::ControlKeyDown(Key, Shift);
}

void TQorMultiColumnDropDown::ControlKeyUp(WORD& Key, TShiftState Shift) {
    if (isStepKey(Key) && !Shift.Contains(ssAlt)) return;
    TColumnListDropDown::ControlKeyUp(Key, Shift);
}

void TQorMultiColumnDropDown::ControlKeyPress(char32_t& Key) {
    if (FQorColGrid && !FQorColGrid->EditorMode()) lookupKey(Key);
}

int TQorMultiColumnDropDown::findLookupItem(const std::string& Entry) const {
    if (!FQorColGrid || LookupColumn() < 0) return -1;
    return FindCompletion(
        Items()->Count(), [this](int i) { return lookupText(i); }, Entry, CaseSensitive());
}

void TQorMultiColumnDropDown::lookupKey(char32_t Key) {
    if (Key == 13 || Key == 27) {
        FLookupEntry.clear();
        if (GetKeyState(VK_MENU) >= 0) return;
    }
    if (Key == 8) {
        if (SelLength() == 0) {
            const std::size_t n = Utf8Length(FLookupEntry);
            FLookupEntry = Utf8Substr(FLookupEntry, 0, n > 0 ? n - 1 : 0);
            SetEditText(FLookupEntry);
        } else {
            const std::string t = EditText();
            const std::size_t start = std::size_t(SelStart());
            SetEditText(Utf8Substr(t, 0, start) + Utf8Substr(t, start + std::size_t(SelLength())));
        }
        SetSelStart(int(Utf8Length(EditText())));
        FLookupEntry.clear();
        return;
    }
    const std::string ch = Utf32ToUtf8(std::u32string(1, Key));
    if (Key != 9) FLookupEntry += ch;
    int found = findLookupItem(FLookupEntry);
    if (found >= 0) {
        FItemIndex = found;
        SetEditText(lookupText(found));
        const int typed = int(Utf8Length(FLookupEntry));
        SetSelStart(typed);
        SetSelLength(int(Utf8Length(EditText())) - typed);
    } else {
        found = findLookupItem(ch);
        if (found >= 0) {
            FItemIndex = found;
            SetEditText(lookupText(found));
            FLookupEntry = ch;
        } else {
            FLookupEntry.clear();
            return;
        }
    }
    TQorColGrid& list = *FQorColGrid;
    const int row = found + 1;
    if (row < list.TopRow() || row > list.TopRow() + list.VisibleRowCount()) list.SetTopRow(row);
    list.SetCol(0);
    list.SetRow(row);
}

// --- keys in the edit --------------------------------------------------------------------------

void TQorMultiColumnDropDown::Dispatch(TMessage& Message) {
    TColumnListDropDown::Dispatch(Message);
    if (Message.Msg != WM_KEYDOWN || !Enabled() || GetKeyState(VK_MENU) < 0) return;
    if (LookupColumn() < 0 || Items()->Count() == 0) return;
    StepForKey(WORD(Message.WParam), !EditorEnabled());
}
