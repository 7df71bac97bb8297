#include "controls/QorImagePickerDropDown.h"

#include "controls/base/DropDownForm.h"
#include "controls/base/ListPickerKeys.h"
#include "platform/files/Files.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/core/SysInfo.h"
#include "platform/ui/core/Timers.h"

#include <algorithm>

// --- TImageItem ------------------------------------------------------------------------------

TImageItem::TImageItem(TCollection* Collection)
    : TCollectionItem(Collection), FImage(std::make_unique<TPicture>()) {}

TImageItem::~TImageItem() = default;

void TImageItem::SetCaption(const std::string& Value) {
    if (Value == FCaption) return;
    FCaption = Value;
    Changed(false);
}

void TImageItem::SetImageIndex(int Value) {
    if (Value == FImageIndex) return;
    FImageIndex = Value;
    Changed(false);
}

void TImageItem::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TImageItem*>(Source);
    if (!s) return TCollectionItem::Assign(Source);
    FCaption = s->FCaption;
    FImageIndex = s->FImageIndex;
    FImage->Assign(s->FImage.get());
    FEnabled = s->FEnabled;
    FHint = s->FHint;
    Changed(false);
}

TImageItems::TImageItems(TPersistent* AOwner)
    : TCollection([](TCollection* c) { return new TImageItem(c); }), FMyOwner(AOwner) {}

void TImageItems::Update(TCollectionItem* Item) {
    TCollection::Update(Item);
    if (OnChange) OnChange(this);
}

// --- TQorImagePickerDropDown -----------------------------------------------------------------

TQorImagePickerDropDown::TQorImagePickerDropDown(TComponent* AOwner)
    : TQorCustomDropDown(AOwner), FItems(std::make_unique<TImageItems>(this)),
      FItemAppearance(std::make_unique<TItemAppearance>(this)) {
    FKeyTimer = NewSearchTimer(this, FCurSearch);
    SetEditorEnabled(false);
    SetDropDownEnabled(true);
    SetCursor(crArrow);
    DropDownFormNeeded();
}

TQorImagePickerDropDown::~TQorImagePickerDropDown() {
    FKeyTimer->SetEnabled(false);
    // The list outlives this part of the control.
    if (FItemSelector) {
        FItemSelector->OnDrawItem = nullptr;
        FItemSelector->OnItemSelect = nullptr;
    }
}

void TQorImagePickerDropDown::SetItemIndex(int Value) {
    if (Value < 0) Value = -1;
    if (Value == FItemIndex || Value >= FItems->Count()) return;
    FItemIndex = Value;
    Invalidate();
    Change();
    if (OnSelect) OnSelect(this);
}

int TQorImagePickerDropDown::ImageIndex() const {
    return FItemIndex < 0 ? -1 : FItems->Items(FItemIndex)->ImageIndex();
}

void TQorImagePickerDropDown::SetImageIndex(int Value) {
    int found = -1;
    for (int i = 0; i < FItems->Count() && found < 0; ++i)
        if (FItems->Items(i)->ImageIndex() == Value) found = i;
    SetItemIndex(found);
}

void TQorImagePickerDropDown::SelectFirst() {
    if (FItems->Count() > 0) SetItemIndex(0);
}

void TQorImagePickerDropDown::SelectLast() {
    if (FItems->Count() > 0) SetItemIndex(FItems->Count() - 1);
}

void TQorImagePickerDropDown::SelectNext() {
    if (FItems->Count() == 0) return;
    if (FItemIndex < 0)
        SetItemIndex(0);
    else if (FItemIndex + 1 < FItems->Count())
        SetItemIndex(FItemIndex + 1);
}

void TQorImagePickerDropDown::SelectPrevious() {
    if (FItems->Count() == 0) return;
    if (FItemIndex < 0)
        SetItemIndex(0);
    else if (FItemIndex > 0)
        SetItemIndex(FItemIndex - 1);
}

void TQorImagePickerDropDown::AddImagesFromImageList() {
    if (!Images()) return;
    for (int i = 0; i < Images()->Count(); ++i) FItems->Add()->SetImageIndex(i);
}

void TQorImagePickerDropDown::AddImagesFromFolder(const std::string& AFolder,
                                                  bool SetImageCaption) {
    const std::string folder = ExtractFileDir(AFolder);
    TPicture picture;
    for (const std::string& name : ListFiles(folder, ExtractFileName(AFolder))) {
        try {
            picture.LoadFromFile(PathJoin(folder, name));
        } catch (const std::exception&) {
            continue;
        }
        if (picture.Empty()) continue;
        TImageItem* item = FItems->Add();
        item->SetImage(&picture);
        if (SetImageCaption) item->SetCaption(name);
    }
}

void TQorImagePickerDropDown::CreateDropDownForm() {
    TQorCustomDropDown::CreateDropDownForm();
    if (!FItemSelector) {
        FItemSelector = new TQorCustomItemSelector(this);
        FItemSelector->SetParent(FDropDownForm);
        FItemSelector->SetSelectorType(stImage);
        FItemSelector->SetBounds(0, 0, FItemSelector->Width(), 150);
    }
    FItemSelector->SetColor(DropDownColor());
    FItemSelector->UpdateSelectorPanel();
    SetControl(FItemSelector);
}

void TQorImagePickerDropDown::DropDownFormDestroyed() {
    TQorCustomDropDown::DropDownFormDestroyed();
    FItemSelector = nullptr;
}

void TQorImagePickerDropDown::fillList() {
    if (!FItemSelector) return;
    FItemSelector->OnItemSelect = nullptr;
    FItemSelector->SetColumns(FColumns);
    FItemSelector->SetImages(Images());
    FItemSelector->SetItemLayout(FLayout);
    FItemSelector->SetColor(DropDownColor());
    FItemSelector->SetItemAppearance(FItemAppearance.get());
    TSelectorItems* items = FItemSelector->Items();
    items->BeginUpdate();
    items->Clear();
    for (int i = 0; i < FItems->Count(); ++i) {
        const TImageItem& source = *FItems->Items(i);
        TSelectorItem* s = items->Add();
        s->SetCaption(source.Caption());
        s->SetImage(source.Image());
        s->SetImageIndex(source.ImageIndex());
        s->SetHint(source.Hint());
    }
    items->EndUpdate();
    FItemSelector->UpdateSelectorPanel();
    FItemSelector->SetItemIndex(FItemIndex);
    FItemSelector->OnItemSelect = [this](TObject*) {
        SetItemIndex(FItemSelector->ItemIndex());
        if (!FInternalCall) DoHideDropDown(false);
    };
    FItemSelector->SetShowHint(ShowHint());
    if (OnDrawItem)
        FItemSelector->OnDrawItem = [this](TObject*, TCanvas* C, TRect R, int Index) {
            OnDrawItem(this, C, R, Index);
        };
    else
        FItemSelector->OnDrawItem = nullptr;
}

void TQorImagePickerDropDown::BeforeDropDown() {
    TQorCustomDropDown::BeforeDropDown();
    fillList();
    FOldItemIndex = FItemIndex;
}

void TQorImagePickerDropDown::UpdateDropDownSize() {
    if (!FItemSelector) return TQorCustomDropDown::UpdateDropDownSize();
    FItemSelector->SetAlign(alNone);
    const TSize panel = FItemSelector->GetPanelSize();
    if (DropDownWidth() < 1) FItemSelector->SetWidth(panel.cx);
    if (DropDownHeight() < 1) FItemSelector->SetHeight(panel.cy);
    TQorCustomDropDown::UpdateDropDownSize();
    if (FItemSelector->VertScrollBar()->IsScrollBarVisible())
        FDropDownForm->SetWidth(FDropDownForm->Width() + GetSystemMetrics(SM_CXVSCROLL));
}

void TQorImagePickerDropDown::DoHideDropDown(bool Cancelled) {
    TQorCustomDropDown::DoHideDropDown(Cancelled);
    if (Cancelled && FItemSelector) SetItemIndex(FOldItemIndex);
}

void TQorImagePickerDropDown::HandleMouseWheelDown() {
    if (!Enabled() || ReadOnly() || !FItemSelector) return;
    if (DroppedDown()) {
        FItemSelector->HotNext();
    } else {
        FInternalCall = true;
        FItemSelector->SelectNext();
        FInternalCall = false;
    }
}

void TQorImagePickerDropDown::HandleMouseWheelUp() {
    if (!Enabled() || ReadOnly() || !FItemSelector) return;
    if (DroppedDown()) {
        FItemSelector->HotPrevious();
    } else {
        FInternalCall = true;
        FItemSelector->SelectPrevious();
        FInternalCall = false;
    }
}

void TQorImagePickerDropDown::SetComponentStyle(TQorStyle AStyle) {
    TQorCustomDropDown::SetComponentStyle(AStyle);
    SetItemAppearanceStyle(FItemAppearance.get(), AStyle);
}

void TQorImagePickerDropDown::SetSelectionColorStyle(TSelectionColorStyle Value) {
    TQorCustomDropDown::SetSelectionColorStyle(Value);
    if (FItemSelector) FItemSelector->ItemAppearance()->SetColorStyle(Value);
}

void TQorImagePickerDropDown::DrawFocusText() {
    TQorCustomDropDown::DrawFocusText();
    TBitmap* image = BackingImage();
    if (!image) return;
    TCanvas* c = image->Canvas();
    TRect R;
    Perform(EM_GETRECT, 0, LPARAM(&R));
    if (OnDrawSelectedImage) {
        OnDrawSelectedImage(this, c, R);
        return;
    }
    if (FItemIndex < 0) return;
    const TImageItem& item = *FItems->Items(FItemIndex);
    if (!item.Image()->Empty()) {
        TGraphic* g = item.Image()->Graphic();
        c->Draw(R.Left + (R.Width() - g->Width()) / 2, R.Top + (R.Height() - g->Height()) / 2, g);
    } else if (Images() && item.ImageIndex() >= 0) {
        Images()->Draw(c, R.Left + (R.Width() - Images()->Width()) / 2,
                       R.Top + (R.Height() - Images()->Height()) / 2, item.ImageIndex(), true);
    }
}

void TQorImagePickerDropDown::keyDown(WORD Key, bool EnterHandled) {
    if (!Enabled() || GetKeyState(VK_MENU) < 0 || !FItemSelector) return;
    if (Key == VK_RETURN) {
        if (!EnterHandled && OnSelect) OnSelect(this);
        return;
    }
    TListPickerKeys keys;
    keys.List = FItemSelector;
    keys.ItemIndex = FItemIndex;
    keys.Count = FItems->Count();
    keys.Columns = FColumns;
    keys.DroppedDown = DroppedDown();
    keys.EditorEnabled = EditorEnabled();
    keys.InternalCall = &FInternalCall;
    keys.Search = &FCurSearch;
    keys.KeyTimer = FKeyTimer;
    keys.Refill = [this] { fillList(); };
    keys.SelectFirst = [this] { SelectFirst(); };
    keys.SelectLast = [this] { SelectLast(); };
    keys.SelectNext = [this] { SelectNext(); };
    keys.SelectPrevious = [this] { SelectPrevious(); };
    HandleListPickerKey(Key, keys);
}

void TQorImagePickerDropDown::Dispatch(TMessage& Message) {
    if (Message.Msg != WM_KEYDOWN) return TQorCustomDropDown::Dispatch(Message);
    const WORD key = WORD(Message.WParam);
    bool enterHandled = false;
    if (Enabled() && DroppedDown() && key == VK_RETURN && FItemSelector &&
        FItemSelector->ItemHot() >= 0) {
        FItemSelector->SetItemIndex(FItemSelector->ItemHot());
        enterHandled = true;
    }
    TQorCustomDropDown::Dispatch(Message);
    keyDown(key, enterHandled);
}
