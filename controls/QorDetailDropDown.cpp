#include "controls/QorDetailDropDown.h"

#include "controls/base/DropDownDrawing.h"
#include "controls/base/DropDownForm.h"
#include "controls/base/ListPickerKeys.h"
#include "platform/base/SysUtils.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/core/SysInfo.h"
#include "platform/ui/core/Timers.h"

#include <algorithm>

// --- TDetailItem -----------------------------------------------------------------------------

TDetailItem::TDetailItem(TCollection* Collection)
    : TCollectionItem(Collection), FImage(std::make_unique<TPicture>()) {}

TDetailItem::~TDetailItem() = default;

void TDetailItem::SetCaption(const std::string& Value) {
    if (Value == FCaption) return;
    FCaption = Value;
    Changed(false);
}

void TDetailItem::SetImageIndex(int Value) {
    if (Value == FImageIndex) return;
    FImageIndex = Value;
    Changed(false);
}

void TDetailItem::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TDetailItem*>(Source);
    if (!s) return TCollectionItem::Assign(Source);
    SetCaption(s->FCaption);
    SetImageIndex(s->FImageIndex);
    FImage->Assign(s->FImage.get());
    FEnabled = s->FEnabled;
    FNotes = s->FNotes;
    FTag = s->FTag;
    FItemObject = s->FItemObject;
}

TDetailItems::TDetailItems(TPersistent* AOwner)
    : TCollection([](TCollection* c) { return new TDetailItem(c); }), FMyOwner(AOwner) {}

int TDetailItems::IndexOf(const std::string& AValue) const {
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Caption() == AValue) return i;
    return -1;
}

void TDetailItems::Update(TCollectionItem* Item) {
    TCollection::Update(Item);
    if (OnChange) OnChange(this);
}

// --- TQorDetailDropDown ----------------------------------------------------------------------

TQorDetailDropDown::TQorDetailDropDown(TComponent* AOwner)
    : TQorCustomDropDown(AOwner), FItems(std::make_unique<TDetailItems>(this)),
      FItemAppearance(std::make_unique<TItemAppearance>(this)),
      FCaptionFont(std::make_unique<TFont>()), FNotesFont(std::make_unique<TFont>()) {
    FCaptionFont->Assign(Font());
    FNotesFont->Assign(Font());
    FKeyTimer = NewSearchTimer(this, FCurSearch);
    SetEditorEnabled(true);
    SetDropDownEnabled(true);
    DropDownFormNeeded();
}

TQorDetailDropDown::~TQorDetailDropDown() {
    FKeyTimer->SetEnabled(false);
    // The list outlives this part of the control.
    if (FItemSelector) {
        FItemSelector->OnResize = nullptr;
        FItemSelector->OnDrawItem = nullptr;
        FItemSelector->OnItemSize = nullptr;
        FItemSelector->OnItemSelect = nullptr;
    }
}

void TQorDetailDropDown::SetCaptionFont(const TFont* Value) {
    FCaptionFont->Assign(Value);
}

void TQorDetailDropDown::SetNotesFont(const TFont* Value) {
    FNotesFont->Assign(Value);
}

void TQorDetailDropDown::SetItemIndex(int Value) {
    if (Value == FItemIndex) return;
    if (Value >= 0 && Value < FItems->Count()) {
        FItemIndex = Value;
        SetEditText(FItems->Items(Value)->Caption());
        SelectAll();
        Invalidate();
        if (FItemSelector) FItemSelector->Invalidate();
        if (OnSelect) OnSelect(this);
    } else if (Value == -1) {
        SetEditText("");
        FItemIndex = -1;
    }
}

void TQorDetailDropDown::SelectFirst() {
    if (FItems->Count() > 0) SetItemIndex(0);
}

void TQorDetailDropDown::SelectLast() {
    if (FItems->Count() > 0) SetItemIndex(FItems->Count() - 1);
}

void TQorDetailDropDown::SelectNext() {
    if (FItems->Count() == 0) return;
    if (FItemIndex == -1)
        SetItemIndex(0);
    else if (FItemIndex + 1 < FItems->Count())
        SetItemIndex(FItemIndex + 1);
}

void TQorDetailDropDown::SelectPrevious() {
    if (FItems->Count() == 0) return;
    if (FItemIndex == -1)
        SetItemIndex(0);
    else if (FItemIndex - 1 >= 0)
        SetItemIndex(FItemIndex - 1);
}

void TQorDetailDropDown::CreateDropDownForm() {
    TQorCustomDropDown::CreateDropDownForm();
    if (!FItemSelector) {
        FItemSelector = new TQorCustomItemSelector(this);
        FItemSelector->SetParent(FDropDownForm);
        FItemSelector->SetSelectorType(stImage);
        FItemSelector->SetBounds(0, 0, FItemSelector->Width(), 150);
        FItemSelector->OnDrawItem = [this](TObject*, TCanvas* C, TRect R, int Index) {
            drawItem(C, R, Index);
        };
        FItemSelector->OnItemSize = [this](TObject*, TSize& Size) { itemSize(Size); };
        FItemSelector->UpdateSelectorPanel();
        FItemSelector->OnResize = [this](TObject*) { FItemSelector->UpdateSelectorPanel(); };
    }
    FItemSelector->SetColor(DropDownColor());
    FItemSelector->UpdateSelectorPanel();
    SetControl(FItemSelector);
}

void TQorDetailDropDown::DropDownFormDestroyed() {
    TQorCustomDropDown::DropDownFormDestroyed();
    FItemSelector = nullptr;
}

void TQorDetailDropDown::fillList() {
    if (!FItemSelector) return;
    FItemSelector->OnItemSelect = nullptr;
    FItemSelector->SetColumns(1);
    FItemSelector->SetImages(Images());
    FItemSelector->SetItemLayout(FLayout);
    FItemSelector->SetColor(DropDownColor());
    FItemSelector->SetItemAppearance(FItemAppearance.get());
    TSelectorItems* items = FItemSelector->Items();
    items->BeginUpdate();
    items->Clear();
    for (int i = 0; i < FItems->Count(); ++i) {
        const TDetailItem& d = *FItems->Items(i);
        TSelectorItem* s = items->Add();
        s->SetCaption(d.Caption());
        s->SetImage(d.Image());
        s->SetImageIndex(d.ImageIndex());
    }
    items->EndUpdate();
    FItemSelector->UpdateSelectorPanel();
    FItemSelector->SetItemIndex(FItemIndex);
    FItemSelector->OnItemSelect = [this](TObject*) { listSelect(); };
}

void TQorDetailDropDown::BeforeDropDown() {
    TQorCustomDropDown::BeforeDropDown();
    fillList();
    FOldItemIndex = FItemIndex;
}

void TQorDetailDropDown::UpdateDropDownSize() {
    if (FItemSelector) {
        FItemSelector->SetAlign(alNone);
        if (DropDownWidth() <= 0) FItemSelector->SetWidth(Width());
        if (DropDownHeight() <= 0) FItemSelector->SetHeight(100);
    }
    TQorCustomDropDown::UpdateDropDownSize();
}

void TQorDetailDropDown::DoShowDropDown() {
    TQorCustomDropDown::DoShowDropDown();
    if (FItemSelector && FItemSelector->CanFocus()) FItemSelector->SetFocus();
}

void TQorDetailDropDown::DoHideDropDown(bool Cancelled) {
    TQorCustomDropDown::DoHideDropDown(Cancelled);
    if (Cancelled && FOldItemIndex != -1) SetItemIndex(FOldItemIndex);
}

void TQorDetailDropDown::DropDownSizing() {
    if (FItemSelector) FItemSelector->UpdateSelectorPanel();
}

void TQorDetailDropDown::itemSize(TSize& Size) {
    int w = DropDownWidth() > 0 ? DropDownWidth() : FDropDownForm->Width();
    // The system's one-pixel window border on either side.
    w -= 2 * 1 + 4;
    if (FItemSelector->VertScrollBar()->IsScrollBarVisible()) w -= GetSystemMetrics(SM_CXVSCROLL);
    Size = {w, FItemHeight};
}

void TQorDetailDropDown::drawItem(TCanvas* Canvas, TRect R, int Index) {
    if (OnDrawSelectedImage) {
        OnDrawSelectedImage(this, Canvas, R);
        return;
    }
    if (Index < 0 || Index >= FItems->Count()) return;
    const TDetailItem& item = *FItems->Items(Index);
    // The picture, or the image-list image, before the caption (centred without one).
    auto place = [&](int W, int H) {
        const int x = item.Caption().empty() ? R.Left + (R.Width() - W) / 2 : R.Left + 2;
        return TPoint{x, R.Top + (R.Height() - H) / 2};
    };
    if (!item.Image()->Empty()) {
        TGraphic* g = item.Image()->Graphic();
        if (auto* bmp = dynamic_cast<TBitmap*>(g)) bmp->SetTransparent(true);
        const TPoint at = place(g->Width(), g->Height());
        Canvas->Draw(at.X, at.Y, g);
        R.Left += g->Width() + 4;
    } else if (Images() && item.ImageIndex() >= 0) {
        const TPoint at = place(Images()->Width(), Images()->Height());
        Images()->Draw(Canvas, at.X, at.Y, item.ImageIndex());
        R.Left += Images()->Width() + 4;
    }
    TColor textColour = clNone;
    if (FItemSelector && Index == FItemSelector->ItemHot())
        textColour = FItemAppearance->ColorHotText();
    if (Index == FItemIndex) textColour = FItemAppearance->ColorSelectedText();
    Canvas->Font()->Assign(FCaptionFont.get());
    if (textColour != clNone) Canvas->Font()->SetColor(textColour);
    Canvas->Brush()->SetStyle(bsClear);
    R.Left += 4;
    R.Top += 2;
    R.Right -= 4;
    TRect caption = R;
    DrawText(Canvas, item.Caption(), -1, caption, DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS);
    if (item.Notes().empty()) return;
    R.Top += Canvas->TextHeight("gh");
    Canvas->Font()->Assign(FNotesFont.get());
    if (textColour != clNone) Canvas->Font()->SetColor(textColour);
    DrawMarkupText(Canvas, item.Notes(), R, nullptr, true, Images());
}

void TQorDetailDropDown::listSelect() {
    const int index = FItemSelector->ItemIndex();
    SetItemIndex(index);
    if (index >= 0 && index < FItems->Count()) {
        SetEditText(FItems->Items(index)->Caption());
        SelectAll();
    }
    if (!FInternalCall) DoHideDropDown(false);
}

void TQorDetailDropDown::setListIndex(int Index) {
    FInternalCall = true;
    FItemSelector->SetItemIndex(Index);
    FInternalCall = false;
}

void TQorDetailDropDown::stepList(int Delta) {
    const int current = FItemSelector->ItemIndex();
    const int next = current == -1 ? 0 : current + Delta;
    if (next >= 0 && next < FItemSelector->Items()->Count()) setListIndex(next);
    Invalidate();
}

void TQorDetailDropDown::HandleMouseWheelDown() {
    if (DroppedDown() && FItemSelector)
        stepList(1);
    else
        SelectNext();
}

void TQorDetailDropDown::HandleMouseWheelUp() {
    if (DroppedDown() && FItemSelector)
        stepList(-1);
    else
        SelectPrevious();
}

void TQorDetailDropDown::SetComponentStyle(TQorStyle AStyle) {
    TQorCustomDropDown::SetComponentStyle(AStyle);
    SetItemAppearanceStyle(FItemAppearance.get(), AStyle);
}

void TQorDetailDropDown::SetSelectionColorStyle(TSelectionColorStyle Value) {
    TQorCustomDropDown::SetSelectionColorStyle(Value);
    if (FItemSelector) FItemSelector->ItemAppearance()->SetColorStyle(Value);
}

void TQorDetailDropDown::DoEnter() {
    TQorCustomDropDown::DoEnter();
    FOldValue = EditText();
}

void TQorDetailDropDown::Change() {
    FItemChange = false;
    TQorCustomDropDown::Change();
    if ((ComponentState() & csDesigning) || !FWorkMode) return;
    SetModifiedFlag(EditText() != FOldValue);
    const int index = CompleteBeforeCaret(
        FItems->Count(), [this](int i) { return FItems->Items(i)->Caption(); }, FMatchCase);
    if (index >= 0) {
        FItemIndex = index;
        FItemIdx = index;
        FItemChange = true;
    }
}

void TQorDetailDropDown::KeyDown(WORD& Key, TShiftState Shift) {
    if (FItems->Count() == 0) {
        TQorCustomDropDown::KeyDown(Key, Shift);
        return;
    }
    if (Key == VK_BACK || Key == VK_ESCAPE || Key == VK_DELETE) {
        FWorkMode = false;
    } else {
        FWorkMode = true;
        if (Key == VK_RETURN) {
            const int index = FItems->IndexOf(EditText());
            if (index >= 0) {
                SetEditText(FItems->Items(index)->Caption());
                SetItemIndex(index);
                Change();
            }
        }
    }
    const WORD key = Key;
    TQorCustomDropDown::KeyDown(Key, Shift);
    if (key == VK_ESCAPE) {
        const int index = FItems->IndexOf(EditText());
        if (index >= 0) SetItemIndex(index);
    }
}

void TQorDetailDropDown::KeyUp(WORD& Key, TShiftState Shift) {
    TQorCustomDropDown::KeyUp(Key, Shift);
    if (FItemChange) {
        SetItemIndex(FItemIdx);
        FItemChange = false;
    }
}

bool TQorDetailDropDown::windowKeyDown(WORD Key) {
    if (!Enabled() || GetKeyState(VK_MENU) < 0 || !FItemSelector) return false;
    const bool open = DroppedDown();
    switch (Key) {
    case VK_PRIOR:
    case VK_NEXT: {
        if (FItemSelector->Items()->Count() != FItems->Count()) fillList();
        const int n = FItemSelector->GetVisibleItemCount();
        if (n > 0) {
            const int current = FItemSelector->ItemIndex();
            const int last = FItemSelector->Items()->Count() - 1;
            setListIndex(Key == VK_PRIOR ? std::max(current - n, 0) : std::min(current + n, last));
        }
        return open;
    }
    case VK_END:
    case VK_HOME:
        if (open) {
            FInternalCall = true;
            Key == VK_END ? FItemSelector->SelectLast() : FItemSelector->SelectFirst();
            FInternalCall = false;
        } else if (!EditorEnabled()) {
            Key == VK_END ? SelectLast() : SelectFirst();
        }
        return false;
    case VK_LEFT:
    case VK_RIGHT:
        if (open && !EditorEnabled()) {
            FInternalCall = true;
            Key == VK_LEFT ? FItemSelector->SelectPrevious() : FItemSelector->SelectNext();
            FInternalCall = false;
        }
        return open;
    case VK_UP:
    case VK_DOWN:
        if (open)
            stepList(Key == VK_UP ? -1 : 1);
        else
            Key == VK_UP ? SelectPrevious() : SelectNext();
        return open;
    default:
        // The type-ahead search belongs to the open list.
        if (open && GetKeyState(VK_CONTROL) >= 0 && Key >= 0x20) {
            FCurSearch += char(Key);
            FInternalCall = true;
            FItemSelector->LookupItem(FCurSearch);
            FInternalCall = false;
            if (!FKeyTimer->Enabled()) FKeyTimer->SetEnabled(true);
        }
        return false;
    }
}

void TQorDetailDropDown::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_KEYDOWN && windowKeyDown(WORD(Message.WParam))) return;
    TQorCustomDropDown::Dispatch(Message);
}
