#include "controls/GridDropDownEditors.h"

#include "grid/render/ControlLook.h"

#include <functional>
#include <utility>

// The grid's editing state the drop-down editors share with it.
class TGridDropDownKeys {
public:
    // The editor's text into the current cell, then validated.
    static bool Validate(TQorStringGrid* g, const std::string& Text) {
        return g->validateEditorText(Text);
    }
    // The text validation left: the corrected or the refused one.
    static const std::string& NewCellText(TQorStringGrid* g) { return g->FNewCellText; }
    // The cell's text when the edit started.
    static const std::string& CellCache(TQorStringGrid* g) { return g->FCellCache; }
    static void RefuseAdvance(TQorStringGrid* g) { g->FNoAutoAdvance = true; }
    static void TabOut(TQorStringGrid* g, bool Backward) { g->tabOutOfEditor(Backward); }
    static void Escape(TQorStringGrid* g, const std::function<void()>& End) {
        g->escapeSpecialEdit(End);
    }
    // Whether a click opened the editor; asking clears it.
    static bool TakeClick(TQorStringGrid* g) { return std::exchange(g->FLButFlg, false); }
};

namespace {
TQorStringGrid* gridOwner(TComponent* AOwner) {
    auto* g = dynamic_cast<TQorStringGrid*>(AOwner);
    if (!g) throw EInvalidCast("Invalid class typecast");
    return g;
}

bool isFamilyNavigationKey(WORD Key, TShiftState Shift) {
    switch (Key) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_UP:
        return true;
    case VK_DOWN:
        return !Shift.Contains(ssAlt);
    default:
        return false;
    }
}
} // namespace

// --- the family ----------------------------------------------------------------------------------
template <class Base>
TGridDropDownEditor<Base>::TGridDropDownEditor(TComponent* AOwner)
    : Base(AOwner), FGrid(gridOwner(AOwner)) {}

template <class Base>
void TGridDropDownEditor<Base>::TakeGridLooks(const THeaderAppearance* Header,
                                              const TFooterAppearance* Footer, TQorStyle Style) {
    this->SetDropDownHeader(Header);
    this->SetDropDownFooter(Footer);
    this->SetComponentStyle(Style);
}

template <class Base> void TGridDropDownEditor<Base>::StoreCellValue(int ACol, int ARow) {
    // A value chosen in the open popup is taken.
    if (this->DroppedDown()) this->HideDropDown(false);
    StoreValue(ACol, ARow);
}

template <class Base>
bool TGridDropDownEditor<Base>::IsNavigationKey(WORD Key, TShiftState Shift) const {
    return isFamilyNavigationKey(Key, Shift);
}

template <class Base> bool TGridDropDownEditor<Base>::ValidatesOnKey(WORD Key) const {
    return Key == VK_RETURN || Key == VK_UP || Key == VK_DOWN;
}

template <class Base> void TGridDropDownEditor<Base>::navigationKey(WORD& Key, TShiftState Shift) {
    TQorStringGrid* g = FGrid;
    using G = TGridDropDownKeys;
    if (Key == VK_ESCAPE) {
        // The editor takes the cell's value back, so that the edit ends writing it unchanged.
        if (this->DroppedDown()) this->HideDropDown(true);
        LoadCellValue(g->RealColIndexOf(g->Col()), g->Row(), G::CellCache(g));
        G::Escape(g, [g, Shift] { g->DoneInplaceEdit(VK_ESCAPE, Shift); });
        Key = 0;
        return;
    }
    if (ValidatesOnKey(Key)) {
        if (Key == VK_RETURN) BeforeEnter();
        if (!G::Validate(g, this->Text())) {
            PutText(G::NewCellText(g));
            this->SelectAll();
            this->Invalidate();
            Key = 0;
            G::RefuseAdvance(g);
            return;
        }
        // Validation may have corrected the text.
        PutText(g->CurrentCell());
    }
    if (Key == VK_TAB && g->NeedsEditValidation()) {
        if (!G::Validate(g, this->Text())) {
            PutText(G::NewCellText(g));
            this->SetSelStart(int(Utf8Length(this->EditText())));
            this->Invalidate();
            Key = 0;
            return;
        }
        if (g->Options().Contains(goTabs)) {
            G::TabOut(g, Shift.Contains(ssShift));
            Key = 0;
            return;
        }
        if (g->HandleAllocated()) PostMessage(g->Handle(), WM_KEYDOWN, VK_TAB, 0);
    }
    if (this->DroppedDown()) {
        g->HideInplaceEdit();
        if (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN) Key = 0;
    } else if (Key == VK_END) {
        // The edit's own End.
        return;
    }
    g->DoneInplaceEdit(Key, Shift);
    if (g->Navigation()->AdvanceOnEnter() && g->Navigation()->AdvanceAutoEdit())
        g->ShowInplaceEdit();
    Key = 0;
}

template <class Base> void TGridDropDownEditor<Base>::CMWantSpecialKey(TWMKey& Message) {
    const WORD key = Message.CharCode();
    Base::CMWantSpecialKey(Message);
    if ((key == VK_TAB && FGrid->NeedsEditValidation()) ||
        ((key == VK_RETURN || key == VK_ESCAPE) && ClaimsEnterAndEscape()))
        Message.M.Result = 1;
}

template <class Base> void TGridDropDownEditor<Base>::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_KEYDOWN) {
        WORD key = WORD(Message.WParam);
        const TShiftState shift = KeyDataToShiftState(Message.LParam);
        if (IsNavigationKey(key, shift)) {
            navigationKey(key, shift);
            if (key == 0) return;
        }
    }
    if (Message.Msg == WM_CHAR) {
        char32_t key = char32_t(Message.WParam);
        if (FGrid->OnKeyPress) FGrid->OnKeyPress(this, key);
        // The keys that end the edit: a calculator would take Enter as "=" after the edit has
        // refused its value.
        if (key == 0 || key == 27 || key == 13 || key == 9) return;
        Message.WParam = WPARAM(key);
    }
    Base::Dispatch(Message);
    if (Message.Msg != WM_SETFOCUS || !CaretAtClick() || !TGridDropDownKeys::TakeClick(FGrid))
        return;
    TPoint p;
    GetCursorPos(p);
    p = this->ScreenToClient(p);
    if (p.X >= 0 && p.X < this->Width() && p.Y >= 0 && p.Y < this->Height()) {
        this->SetSelStart(this->CharFromPos(p.X));
        this->SetSelLength(0);
    }
}

template <class Base> void TGridDropDownEditor<Base>::Change() {
    Base::Change();
    if (FGrid->OnEditChange) FGrid->OnEditChange(FGrid, FGrid->Col(), FGrid->Row(), this->Text());
}

template <class Base> void TGridDropDownEditor<Base>::DoExit() {
    FGrid->HideInplaceEdit();
    Base::DoExit();
}

template class TGridDropDownEditor<TQorTrackBarDropDown>;
template class TGridDropDownEditor<TQorMemoDropDown>;
template class TGridDropDownEditor<TQorCalculatorDropdown>;
template class TGridDropDownEditor<TQorTimePickerDropDown>;
template class TGridDropDownEditor<TQorDetailDropDown>;
template class TGridDropDownEditor<TQorColorPickerDropDown>;
template class TGridDropDownEditor<TQorImagePickerDropDown>;
template class TGridDropDownEditor<TQorMultiColumnDropDown>;
template class TGridDropDownEditor<TCustomQorGridDropDown>;

// --- the kinds -----------------------------------------------------------------------------------
TGridTrackbarDropDown::TGridTrackbarDropDown(TComponent* AOwner) : TGridDropDownEditor(AOwner) {
    SetEditorEnabled(true);
}

void TGridTrackbarDropDown::LoadCellValue(int, int, const std::string& EditText) {
    SetPosition(StrToIntDef(Trim(EditText), 0));
}

void TGridTrackbarDropDown::StoreValue(int ACol, int ARow) {
    FGrid->StoreEditorValue(ACol, ARow, Text());
}

TGridMemoDropDown::TGridMemoDropDown(TComponent* AOwner) : TGridDropDownEditor(AOwner) {}

void TGridMemoDropDown::LoadCellValue(int, int, const std::string& EditText) {
    SetText(EditText);
}

void TGridMemoDropDown::EditorShown() {
    Perform(EM_SETSEL, 0, 0);
}

void TGridMemoDropDown::StoreValue(int ACol, int ARow) {
    std::string text = MemoText()->Text();
    if (!text.empty() && text.back() == '\n') text.pop_back();
    FGrid->StoreEditorValue(ACol, ARow, text);
}

TGridCalculatorDropDown::TGridCalculatorDropDown(TComponent* AOwner) : TGridDropDownEditor(AOwner) {
    SetEditorEnabled(true);
}

void TGridCalculatorDropDown::BeforeEnter() {
    if (PendingOperation() != -1) CalcResult();
}

void TGridCalculatorDropDown::LoadCellValue(int, int, const std::string& EditText) {
    SetText(EditText);
}

void TGridCalculatorDropDown::StoreValue(int ACol, int ARow) {
    FGrid->StoreEditorValue(ACol, ARow, Text());
}

TGridTimepickerDropDown::TGridTimepickerDropDown(TComponent* AOwner) : TGridDropDownEditor(AOwner) {
    SetFocusDraw(false);
}

void TGridTimepickerDropDown::LoadCellValue(int, int, const std::string& EditText) {
    SetText(EditText);
    SetEditorEnabled(true);
}

void TGridTimepickerDropDown::StoreValue(int ACol, int ARow) {
    FGrid->StoreEditorValue(ACol, ARow, Text());
}

TGridDetailPickerDropDown::TGridDetailPickerDropDown(TComponent* AOwner)
    : TGridDropDownEditor(AOwner) {}

void TGridDetailPickerDropDown::LoadCellValue(int, int, const std::string& EditText) {
    SetText(EditText);
    SetEditorEnabled(true);
    if (const int i = Items()->IndexOf(EditText); i >= 0) SetItemIndex(i);
}

void TGridDetailPickerDropDown::StoreValue(int ACol, int ARow) {
    FGrid->StoreEditorValue(ACol, ARow, Text());
}

TGridColorDropDown::TGridColorDropDown(TComponent* AOwner) : TGridDropDownEditor(AOwner) {
    AddDefaultColors();
    OnSelect = [this](TObject*) {
        if (!FLoading) FGrid->ColorSelect(SelectedColor(), SelectedColorText());
    };
}

bool TGridColorDropDown::IsNavigationKey(WORD Key, TShiftState Shift) const {
    if (DroppedDown()) return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE;
    return Key == VK_HOME || isFamilyNavigationKey(Key, Shift);
}

void TGridColorDropDown::LoadCellValue(int ACol, int ARow, const std::string&) {
    const bool loading = std::exchange(FLoading, true);
    SetSelectedColor(FGrid->HasCellType(ACol, ARow, {ctShape}) ? FGrid->GetShapeColor(ACol, ARow)
                                                               : FGrid->Colors(ACol, ARow));
    FLoading = loading;
}

void TGridColorDropDown::StoreValue(int ACol, int ARow) {
    TColor color = SelectedColor();
    std::string value = SelectedColorText();
    if (FGrid->OnColorSelected) FGrid->OnColorSelected(FGrid, ACol, ARow, color, value);
    FGrid->StoreEditorValue(ACol, ARow, value);
    if (FGrid->HasCellType(ACol, ARow, {ctShape}))
        FGrid->SetShapeColor(ACol, ARow, color);
    else
        FGrid->SetColors(ACol, ARow, color);
}

TGridImageDropDown::TGridImageDropDown(TComponent* AOwner) : TGridDropDownEditor(AOwner) {
    OnSelect = [this](TObject*) {
        if (!FLoading) FGrid->ImageSelect(ImageIndex());
    };
}

void TGridImageDropDown::LoadCellValue(int ACol, int ARow, const std::string& EditText) {
    const bool list = FGrid->HasCellType(ACol, ARow, {ctImageList});
    if (list || FGrid->HasCellType(ACol, ARow, {ctDataImage})) {
        SetImages(FGrid->GridImages());
        if (Items()->Count() == 0) AddImagesFromImageList();
        int index = -1;
        if (list)
            FGrid->GetImageIdx(ACol, ARow, index);
        else
            index = StrToIntDef(Trim(EditText), -1);
        const bool loading = std::exchange(FLoading, true);
        SetImageIndex(index);
        FLoading = loading;
    }
    SetText(ItemIndex() >= 0 ? Items()->Items(ItemIndex())->Caption() : std::string());
}

void TGridImageDropDown::StoreValue(int ACol, int ARow) {
    int index = ImageIndex();
    if (FGrid->OnImageSelected) FGrid->OnImageSelected(FGrid, ACol, ARow, index);
    if (FGrid->HasCellType(ACol, ARow, {ctImageList}))
        FGrid->SetImageIdx(ACol, ARow, index);
    else if (FGrid->HasCellType(ACol, ARow, {ctDataImage}))
        FGrid->StoreEditorValue(ACol, ARow, std::to_string(index));
}

namespace {
// The item a list editor opens on: the one whose lookup text is Text, the first for none.
template <class List> void loadListItem(List& L, const std::string& Text) {
    L.SetItemIndex(Text.empty() ? 0 : L.GetItemIndex(Text));
}

template <class List> void beforeListEditorProp(List& L, TColor CellColor) {
    L.SetColor(CellColor);
    L.SetEditorEnabled(true);
    L.BeginUpdate();
}
} // namespace

TGridGridDropDown::TGridGridDropDown(TComponent* AOwner) : TGridDropDownEditor(AOwner) {}

void TGridGridDropDown::BeforeEditorProp(TColor CellColor) {
    beforeListEditorProp(*this, CellColor);
}

void TGridGridDropDown::AfterEditorProp() {
    EndUpdate();
}

void TGridGridDropDown::LoadCellValue(int, int, const std::string& EditText) {
    loadListItem(*this, EditText);
    SetText(EditText);
}

void TGridGridDropDown::StoreValue(int ACol, int ARow) {
    FGrid->StoreEditorValue(ACol, ARow, Text());
}

TGridQorGridDropDown::TGridQorGridDropDown(TComponent* AOwner) : TGridDropDownEditor(AOwner) {}

void TGridQorGridDropDown::BeforeEditorProp(TColor CellColor) {
    beforeListEditorProp(*this, CellColor);
}

void TGridQorGridDropDown::AfterEditorProp() {
    EndUpdate();
}

void TGridQorGridDropDown::LoadCellValue(int, int, const std::string& EditText) {
    if (UseItems()) loadListItem(*this, EditText);
    SetText(EditText);
    DropDownForm();
    if (Grid()) Grid()->SetFixedRowAlways(true);
}

void TGridQorGridDropDown::StoreValue(int ACol, int ARow) {
    FGrid->StoreEditorValue(ACol, ARow, Text());
}

// --- made by the grid ----------------------------------------------------------------------------
namespace {
template <class Editor> TDropDownCellEditor* setUp(Editor* e, TQorStringGrid* g) {
    e->SetVisible(false);
    e->SetEnabled(false);
    e->SetBorderStyle(bsNone);
    e->SetComponentStyle(g->ComponentStyle());
    e->SetColorTones(g->ColorTones());
    e->OnDropDownHeaderButtonClick = [g](TObject*, int Index) {
        g->DropDownHeaderButtonClick(Index);
    };
    e->OnDropDownFooterButtonClick = [g](TObject*, int Index) {
        g->DropDownFooterButtonClick(Index);
    };
    e->SetParent(g);
    return e;
}

TDropDownCellEditor* makeEditor(TQorStringGrid* g, TEditorType Kind) {
    switch (Kind) {
    case edTrackbarDropDown:
        return setUp(new TGridTrackbarDropDown(g), g);
    case edMemoDropDown:
        return setUp(new TGridMemoDropDown(g), g);
    case edCalculatorDropDown:
        return setUp(new TGridCalculatorDropDown(g), g);
    case edTimePickerDropDown:
        return setUp(new TGridTimepickerDropDown(g), g);
    case edDetailDropDown:
        return setUp(new TGridDetailPickerDropDown(g), g);
    case edGridDropDown:
        return setUp(new TGridGridDropDown(g), g);
    case edColorPickerDropDown:
        return setUp(new TGridColorDropDown(g), g);
    case edImagePickerDropDown:
        return setUp(new TGridImageDropDown(g), g);
    case edQorGridDropDown:
        return setUp(new TGridQorGridDropDown(g), g);
    default:
        return nullptr;
    }
}

template <class Editor> Editor* editorOf(TQorStringGrid* g, TEditorType Kind) {
    GridDropDownEditorsInitialize();
    return static_cast<Editor*>(g->DropDownEditor(Kind));
}
} // namespace

void GridDropDownEditorsInitialize() {
    SetDropDownCellEditorMaker(makeEditor);
}

TGridTrackbarDropDown* TQorStringGrid::TrackbarDropDown() {
    return editorOf<TGridTrackbarDropDown>(this, edTrackbarDropDown);
}

TGridMemoDropDown* TQorStringGrid::MemoDropDown() {
    return editorOf<TGridMemoDropDown>(this, edMemoDropDown);
}

TGridCalculatorDropDown* TQorStringGrid::CalculatorDropDown() {
    return editorOf<TGridCalculatorDropDown>(this, edCalculatorDropDown);
}

TGridTimepickerDropDown* TQorStringGrid::TimePickerDropDown() {
    return editorOf<TGridTimepickerDropDown>(this, edTimePickerDropDown);
}

TGridDetailPickerDropDown* TQorStringGrid::DetailPickerDropDown() {
    return editorOf<TGridDetailPickerDropDown>(this, edDetailDropDown);
}

TGridColorDropDown* TQorStringGrid::ColorPickerDropDown() {
    return editorOf<TGridColorDropDown>(this, edColorPickerDropDown);
}

TGridImageDropDown* TQorStringGrid::ImagePickerDropDown() {
    return editorOf<TGridImageDropDown>(this, edImagePickerDropDown);
}

TGridGridDropDown* TQorStringGrid::GridDropDown() {
    return editorOf<TGridGridDropDown>(this, edGridDropDown);
}

TGridQorGridDropDown* TQorStringGrid::QorGridDropDown() {
    return editorOf<TGridQorGridDropDown>(this, edQorGridDropDown);
}
