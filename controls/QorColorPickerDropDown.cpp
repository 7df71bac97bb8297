#include "controls/QorColorPickerDropDown.h"

#include "controls/base/DropDownForm.h"
#include "controls/base/ListPickerKeys.h"
#include "platform/base/SysUtils.h"
#include "platform/ui/core/SysInfo.h"
#include "platform/ui/core/Timers.h"

namespace {

struct NamedColor {
    const char* Name;
    TColor Color;
};

// The sixteen basic colours, in the order AddDefaultColors appends them.
constexpr NamedColor defaultColors[16] = {
    {"Black", 0x000000},  {"Maroon", 0x000080},  {"Green", 0x008000}, {"Olive", 0x008080},
    {"Navy", 0x800000},   {"Purple", 0x800080},  {"Teal", 0x808000},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},     {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},  {"White", 0xFFFFFF},
};

std::string hex2(int v) {
    return IntToHex(v, 2);
}

} // namespace

// --- TColorItem ------------------------------------------------------------------------------

void TColorItem::SetCaption(const std::string& Value) {
    if (Value == FCaption) return;
    FCaption = Value;
    Changed(false);
}

void TColorItem::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    Changed(false);
}

void TColorItem::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TColorItem*>(Source);
    if (!s) return TCollectionItem::Assign(Source);
    FCaption = s->FCaption;
    FColor = s->FColor;
    FEnabled = s->FEnabled;
    FHint = s->FHint;
    Changed(false);
}

TColorItems::TColorItems(TPersistent* AOwner)
    : TCollection([](TCollection* c) { return new TColorItem(c); }), FMyOwner(AOwner) {}

void TColorItems::Update(TCollectionItem* Item) {
    TCollection::Update(Item);
    if (OnChange) OnChange(this);
}

// --- TQorColorPickerDropDown -----------------------------------------------------------------

TQorColorPickerDropDown::TQorColorPickerDropDown(TComponent* AOwner)
    : TQorCustomDropDown(AOwner), FColors(std::make_unique<TColorItems>(this)),
      FItemAppearance(std::make_unique<TItemAppearance>(this)) {
    FKeyTimer = NewSearchTimer(this, FCurSearch);
    SetEditorEnabled(false);
    SetDropDownEnabled(true);
    SetDropDownHeight(200);
    DropDownHeader()->SetVisible(false);
    DropDownFooter()->SetVisible(false);
    SetCursor(crArrow);
    DropDownFormNeeded();
}

TQorColorPickerDropDown::~TQorColorPickerDropDown() {
    FKeyTimer->SetEnabled(false);
    // The style controls outlive this part of the control.
    if (FItemSelector) {
        FItemSelector->OnItemSelect = nullptr;
        FItemSelector->OnDrawItem = nullptr;
    }
    if (FColorSelector) FColorSelector->OnItemSelect = nullptr;
    if (FColorCubePanel) FColorCubePanel->OnSelect = nullptr;
    if (FSpectrumPanel) FSpectrumPanel->OnSelect = nullptr;
}

void TQorColorPickerDropDown::AddDefaultColors() {
    for (const NamedColor& c : defaultColors) {
        TColorItem* item = FColors->Add();
        item->SetCaption(c.Name);
        item->SetColor(c.Color);
    }
}

void TQorColorPickerDropDown::SetItemIndex(int Value) {
    if (Value >= FColors->Count()) return;
    FItemIndex = Value;
    if (Value >= 0) FSelectedColor = FColors->Items(Value)->Color();
    Invalidate();
    if (OnSelect) OnSelect(this);
}

void TQorColorPickerDropDown::SetSelectedColor(TColor Value) {
    if (Value == FSelectedColor) return;
    FSelectedColor = Value;
    int found = -1;
    for (int i = 0; i < FColors->Count() && found < 0; ++i)
        if (FColors->Items(i)->Color() == Value) found = i;
    if (found >= 0)
        SetItemIndex(found);
    else
        // No entry has it: no entry's caption may stand for it.
        FItemIndex = -1;
    Invalidate();
}

void TQorColorPickerDropDown::SetShowText(bool Value) {
    if (Value == FShowText) return;
    FShowText = Value;
    Invalidate();
}

void TQorColorPickerDropDown::SetColorValueText(TColorValueText Value) {
    FColorValueText = Value;
    Invalidate();
}

std::string TQorColorPickerDropDown::SelectedColorText() const {
    if (FColorSelectionStyle == csList && FItemIndex >= 0)
        return FColors->Items(FItemIndex)->Caption();
    const TColor c = FSelectedColor;
    const TColor rgb = ColorToRGB(c);
    const std::string html = hex2(GetRValue(rgb)) + hex2(GetGValue(rgb)) + hex2(GetBValue(rgb));
    switch (FColorValueText) {
    case cvtNone:
        return "";
    case cvtHex:
        return IntToHex(static_cast<unsigned>(c), (static_cast<unsigned>(c) >> 24) ? 8 : 6);
    case cvtWebName:
        for (const NamedColor& n : defaultColors)
            if (n.Color == c) return LowerCase(n.Name);
        return "#" + html;
    case cvtRGB:
        return Format("Red:%d,Green:%d,Blue:%d", GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
    case cvtHTML:
        return "#" + html;
    }
    return "";
}

// --- the style controls ----------------------------------------------------------------------

void TQorColorPickerDropDown::CreateDropDownForm() {
    TQorCustomDropDown::CreateDropDownForm();
    if (FColorSelectionStyle == csList) prepareList();
    SetControl(styleControl());
}

void TQorColorPickerDropDown::DropDownFormDestroyed() {
    TQorCustomDropDown::DropDownFormDestroyed();
    FItemSelector = nullptr;
    FColorSelector = nullptr;
    FColorCubePanel = nullptr;
    FSpectrumPanel = nullptr;
}

void TQorColorPickerDropDown::prepareList() {
    if (FItemSelector) return;
    FItemSelector = new TQorCustomItemSelector(this);
    FItemSelector->SetParent(FDropDownForm);
    FItemSelector->SetBounds(0, 0, FItemSelector->Width(), 150);
    FItemSelector->SetColor(DropDownColor());
    FItemSelector->SetSelectorType(stColor);
    FItemSelector->UpdateSelectorPanel();
}

void TQorColorPickerDropDown::prepareDiscrete() {
    if (FColorSelector) return;
    FColorSelector = new TCustomColorSelector(this);
    FColorSelector->SetParent(FDropDownForm);
    FColorSelector->SetBounds(0, 0, FColorSelector->Width(), FColorSelector->Height());
    FColorSelector->SetColor(DropDownColor());
    FColorSelector->FillPalette();
    FColorSelector->UpdateLayout();
}

void TQorColorPickerDropDown::prepareCube() {
    if (FColorCubePanel) return;
    FColorCubePanel = new TQorColorCubePanel(this);
    FColorCubePanel->SetParent(FDropDownForm);
    FColorCubePanel->SetBounds(0, 0, FColorCubePanel->Width(), FColorCubePanel->Height());
    FColorCubePanel->SetColor(DropDownColor());
}

void TQorColorPickerDropDown::prepareSpectrum() {
    if (FSpectrumPanel) return;
    FSpectrumPanel = new TQorColorSpectrumPanel(this);
    FSpectrumPanel->SetParent(FDropDownForm);
    FSpectrumPanel->SetBounds(0, 0, FSpectrumPanel->Width(), FSpectrumPanel->Height());
    FSpectrumPanel->SetColor(DropDownColor());
}

TControl* TQorColorPickerDropDown::styleControl() const {
    switch (FColorSelectionStyle) {
    case csList:
        return FItemSelector;
    case csDiscrete:
        return FColorSelector;
    case csColorCube:
        return FColorCubePanel;
    case csSpectrum:
        return FSpectrumPanel;
    }
    return nullptr;
}

void TQorColorPickerDropDown::showOnly(TControl* Control) {
    for (TControl* c :
         {static_cast<TControl*>(FItemSelector), static_cast<TControl*>(FColorSelector),
          static_cast<TControl*>(FColorCubePanel), static_cast<TControl*>(FSpectrumPanel)})
        if (c) c->SetVisible(c == Control);
}

void TQorColorPickerDropDown::fillList() {
    FItemSelector->OnItemSelect = nullptr;
    FItemSelector->SetColumns(FColumns);
    FItemSelector->SetImages(Images());
    FItemSelector->SetItemLayout(FLayout);
    FItemSelector->SetColor(DropDownColor());
    TSelectorItems* items = FItemSelector->Items();
    items->BeginUpdate();
    items->Clear();
    for (int i = 0; i < FColors->Count(); ++i) {
        const TColorItem& c = *FColors->Items(i);
        TSelectorItem* s = items->Add();
        s->SetCaption(c.Caption());
        s->SetColor(c.Color());
        s->SetHint(c.Hint());
    }
    items->EndUpdate();
    FItemSelector->SetColorBoxHeight(FColorBoxHeight);
    FItemSelector->SetColorBoxWidth(FColorBoxWidth);
    FItemSelector->SetItemAppearance(FItemAppearance.get());
    FItemSelector->UpdateSelectorPanel();
    FItemSelector->SetItemIndex(FItemIndex);
    FItemSelector->OnItemSelect = [this](TObject*) {
        SetItemIndex(FItemSelector->ItemIndex());
        if (!FInternalCall) DoHideDropDown(false);
    };
    FItemSelector->SetShowHint(ShowHint());
    if (OnDrawColor)
        FItemSelector->OnDrawItem = [this](TObject*, TCanvas* C, TRect R, int Index) {
            OnDrawColor(this, C, R, Index);
        };
    else
        FItemSelector->OnDrawItem = nullptr;
    FOldItemIndex = FItemIndex;
}

void TQorColorPickerDropDown::panelChosen(TColor Colour, bool Close) {
    SetSelectedColor(Colour);
    SetItemIndex(-1);
    if (Close) DoHideDropDown(false);
}

void TQorColorPickerDropDown::prepareStyle() {
    switch (FColorSelectionStyle) {
    case csList:
        prepareList();
        break;
    case csDiscrete:
        prepareDiscrete();
        break;
    case csColorCube:
        prepareCube();
        break;
    case csSpectrum:
        prepareSpectrum();
        break;
    }
    showOnly(styleControl());
    SetControl(styleControl());
    // A panel keeps the size it gives itself.
    if (FColorSelectionStyle != csList) styleControl()->SetAlign(alNone);
}

void TQorColorPickerDropDown::BeforeDropDown() {
    TQorCustomDropDown::BeforeDropDown();
    prepareStyle();
    switch (FColorSelectionStyle) {
    case csList:
        fillList();
        break;
    case csDiscrete:
        FColorSelector->OnItemSelect = nullptr;
        FColorSelector->SetSelectedColor(FSelectedColor);
        FColorSelector->UpdateLayout();
        FColorSelector->OnItemSelect = [this](TObject*) {
            panelChosen(FColorSelector->SelectedColor(), !FInternalCall);
        };
        FColorSelector->SetItemColorStyle(SelectionColorStyle());
        break;
    case csColorCube:
        FColorCubePanel->SetSelectedColor(FSelectedColor);
        FColorCubePanel->BuildCells();
        FColorCubePanel->Reset();
        FColorCubePanel->OnSelect = [this](TObject*) {
            panelChosen(FColorCubePanel->SelectedColor(), true);
        };
        break;
    case csSpectrum:
        FSpectrumPanel->SetSelectedColor(FSelectedColor);
        FSpectrumPanel->LayoutPanel();
        FSpectrumPanel->OnSelect = [this](TObject*) {
            panelChosen(FSpectrumPanel->SelectedColor(), true);
        };
        break;
    }
    FOldSelectedColor = FSelectedColor;
}

void TQorColorPickerDropDown::UpdateDropDownSize() {
    if (!FDropDownForm) return;
    TControl* content = styleControl();
    if (FColorSelectionStyle == csList) {
        if (!FItemSelector) return TQorCustomDropDown::UpdateDropDownSize();
        FItemSelector->SetAlign(alNone);
        const TSize panel = FItemSelector->GetPanelSize();
        if (DropDownWidth() < 1) FItemSelector->SetWidth(panel.cx);
        if (DropDownHeight() < 1) FItemSelector->SetHeight(panel.cy);
        TQorCustomDropDown::UpdateDropDownSize();
        if (FItemSelector->VertScrollBar()->IsScrollBarVisible())
            FDropDownForm->SetWidth(FDropDownForm->Width() + GetSystemMetrics(SM_CXVSCROLL));
        return;
    }
    const bool visible = content && content->Visible();
    if (visible) content->SetAlign(alNone);
    const int border = DropDownBorderWidth();
    int h = 2 * border;
    if (DropDownHeader()->Visible()) h += DropDownHeader()->Height();
    if (DropDownFooter()->Visible()) h += DropDownFooter()->Height();
    if (visible) h += content->Height();
    const int w = visible ? content->Width() + 2 * border : Width();
    FDropDownForm->SetBounds(FDropDownForm->Left(), FDropDownForm->Top(), w, h);
}

void TQorColorPickerDropDown::UpdateDropDownContent() {
    TQorCustomDropDown::UpdateDropDownContent();
    if (FDropDownForm && FColorSelectionStyle != csList) FDropDownForm->SetSizeable(false);
}

void TQorColorPickerDropDown::SetColorSelectionStyle(TColorSelectionStyle Value) {
    if (Value == FColorSelectionStyle) return;
    FColorSelectionStyle = Value;
    if (!FDropDownForm) return;
    // The popup switches at once.
    if (DroppedDown()) {
        BeforeDropDown();
    } else {
        prepareStyle();
        FOldSelectedColor = FSelectedColor;
    }
    UpdateDropDownSize();
    UpdateDropDownContent();
    FDropDownForm->Invalidate();
}

void TQorColorPickerDropDown::DoHideDropDown(bool Cancelled) {
    TQorCustomDropDown::DoHideDropDown(Cancelled);
    if (!Cancelled) return;
    if (FColorSelectionStyle == csList && FItemSelector) {
        SetItemIndex(FOldItemIndex);
        if (FOldItemIndex < 0) SetSelectedColor(FOldSelectedColor);
    } else if (FColorSelectionStyle == csDiscrete && FColorSelector) {
        FColorSelector->SetSelectedColor(FOldSelectedColor);
    }
}

// --- keys, wheel and drawing -----------------------------------------------------------------

void TQorColorPickerDropDown::keyDown(WORD Key, bool EnterHandled) {
    if (!Enabled() || GetKeyState(VK_MENU) < 0) return;
    if (FColorSelectionStyle == csList && FItemSelector) {
        if (Key == VK_RETURN) {
            if (!EnterHandled && OnSelect) OnSelect(this);
            return;
        }
        TListPickerKeys keys;
        keys.List = FItemSelector;
        keys.ItemIndex = FItemIndex;
        keys.Count = FColors->Count();
        keys.Columns = FColumns;
        keys.DroppedDown = DroppedDown();
        keys.EditorEnabled = EditorEnabled();
        keys.InternalCall = &FInternalCall;
        keys.Search = &FCurSearch;
        keys.KeyTimer = FKeyTimer;
        keys.Refill = [this] { fillList(); };
        const int count = FColors->Count();
        keys.SelectFirst = [this, count] {
            if (count > 0) SetItemIndex(0);
        };
        keys.SelectLast = [this, count] {
            if (count > 0) SetItemIndex(count - 1);
        };
        keys.SelectNext = [this, count] {
            const int i = FItemIndex < 0 ? 0 : FItemIndex + 1;
            if (i < count) SetItemIndex(i);
        };
        keys.SelectPrevious = [this, count] {
            const int i = FItemIndex < 0 ? 0 : FItemIndex - 1;
            if (i >= 0 && i < count) SetItemIndex(i);
        };
        HandleListPickerKey(Key, keys);
    } else if (FColorSelectionStyle == csDiscrete && FColorSelector) {
        FInternalCall = true;
        FColorSelector->HandleKey(Key, EditorEnabled(), DroppedDown());
        FInternalCall = false;
        if (Key == VK_RETURN && !EnterHandled && OnSelect) OnSelect(this);
    }
}

void TQorColorPickerDropDown::Dispatch(TMessage& Message) {
    if (Message.Msg != WM_KEYDOWN) return TQorCustomDropDown::Dispatch(Message);
    const WORD key = WORD(Message.WParam);
    bool enterHandled = false;
    if (Enabled() && DroppedDown() && key == VK_RETURN) {
        if (FColorSelectionStyle == csList && FItemSelector && FItemSelector->ItemHot() >= 0) {
            FItemSelector->SetItemIndex(FItemSelector->ItemHot());
            enterHandled = true;
        } else if (FColorSelectionStyle == csDiscrete && FColorSelector &&
                   FColorSelector->ItemHot() >= 0) {
            FColorSelector->SetItemIndex(FColorSelector->ItemHot());
            enterHandled = true;
        }
    }
    TQorCustomDropDown::Dispatch(Message);
    keyDown(key, enterHandled);
}

void TQorColorPickerDropDown::wheel(bool Down) {
    if (!Enabled() || ReadOnly()) return;
    FInternalCall = true;
    if (FColorSelectionStyle == csList && FItemSelector) {
        if (DroppedDown())
            Down ? FItemSelector->HotNext() : FItemSelector->HotPrevious();
        else
            Down ? FItemSelector->SelectNext() : FItemSelector->SelectPrevious();
    } else if (FColorSelectionStyle == csDiscrete && FColorSelector) {
        if (DroppedDown())
            Down ? FColorSelector->HotNext() : FColorSelector->HotPrevious();
        else
            Down ? FColorSelector->SelectNext() : FColorSelector->SelectPrevious();
    }
    FInternalCall = false;
}

void TQorColorPickerDropDown::HandleMouseWheelDown() {
    wheel(true);
}

void TQorColorPickerDropDown::HandleMouseWheelUp() {
    wheel(false);
}

void TQorColorPickerDropDown::SetComponentStyle(TQorStyle AStyle) {
    TQorCustomDropDown::SetComponentStyle(AStyle);
    SetItemAppearanceStyle(FItemAppearance.get(), AStyle);
}

void TQorColorPickerDropDown::SetSelectionColorStyle(TSelectionColorStyle Value) {
    TQorCustomDropDown::SetSelectionColorStyle(Value);
    if (FItemSelector) FItemSelector->ItemAppearance()->SetColorStyle(Value);
}

void TQorColorPickerDropDown::DrawFocusText() {
    TQorCustomDropDown::DrawFocusText();
    TBitmap* image = BackingImage();
    if (!image) return;
    TCanvas* c = image->Canvas();
    const TRect R{1, 1, Width() - Button()->Width() - 2, Height() - 2};
    if (OnDrawSelectedColor) {
        OnDrawSelectedColor(this, c, R);
        return;
    }
    const int boxTop = R.Top + (Height() - FColorBoxHeight) / 2;
    if (FSelectedColor != clNone) {
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetWidth(1);
        c->Pen()->SetColor(clBlack);
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(FSelectedColor);
        c->Rectangle(R.Left + 4, boxTop, R.Left + 4 + FColorBoxWidth, boxTop + FColorBoxHeight);
    }
    if (!FShowText) return;
    c->Font()->Assign(Font());
    if (!EditorEnabled() && Focused()) c->Font()->SetColor(clHighlightText);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Focused() ? clHighlight : Color());
    TRect text{R.Left + 4 + FColorBoxWidth + 4, R.Top, R.Right, R.Bottom};
    DrawText(c, SelectedColorText(), -1, text,
             DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}
