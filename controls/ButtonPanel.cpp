#include "controls/ButtonPanel.h"

#include "controls/base/DropDownDrawing.h"
#include "grid/core/base/GridDraw.h"
#include "grid/core/base/GridTheme.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/StdCtrls.h"

#include <algorithm>

namespace {

struct CalculatorButton {
    const char* Caption;
    const char* Name;
    int Tag;
    bool Special;
    int Column; // 0..5; -1: in the top row's right part
    int Row;
};

// In collection order.
constexpr CalculatorButton calculatorButtons[28] = {
    {"", "BTN_ON", 30, false, 0, 0},   {"Back", "BTN_BACK", 31, true, -1, 0},
    {"CE", "BTN_CE", 32, true, -1, 0}, {"C", "BTN_C", 16, true, -1, 0},
    {"MC", "BTN_MC", 33, true, 0, 1},  {"MR", "BTN_MR", 34, true, 0, 2},
    {"MS", "BTN_MS", 35, true, 0, 3},  {"M+", "BTN_M+", 36, true, 0, 4},
    {"0", "BTN_0", 0, false, 1, 4},    {"1", "BTN_1", 1, false, 1, 3},
    {"4", "BTN_4", 4, false, 1, 2},    {"7", "BTN_7", 7, false, 1, 1},
    {"8", "BTN_8", 8, false, 2, 1},    {"5", "BTN_5", 5, false, 2, 2},
    {"2", "BTN_2", 2, false, 2, 3},    {"+/-", "BTN_+/-", 14, false, 2, 4},
    {".", "BTN_.", 15, false, 3, 4},   {"3", "BTN_3", 3, false, 3, 3},
    {"6", "BTN_6", 6, false, 3, 2},    {"9", "BTN_9", 9, false, 3, 1},
    {"/", "BTN_/", 13, true, 4, 1},    {"*", "BTN_*", 12, true, 4, 2},
    {"-", "BTN_-", 11, true, 4, 3},    {"+", "BTN_+", 10, true, 4, 4},
    {"=", "BTN_=", 17, true, 5, 4},    {"1/x", "BTN_1/x", 38, false, 5, 3},
    {"%", "BTN_%", 18, false, 5, 2},   {"sqrt", "BTN_sqrt", 37, true, 5, 1},
};

} // namespace

// --- TButtonItem -----------------------------------------------------------------------------

TButtonItem::TButtonItem(TCollection* Collection)
    : TCollectionItem(Collection), FImage(std::make_unique<TPicture>()) {}

TButtonItem::~TButtonItem() = default;

void TButtonItem::SetCaption(const std::string& Value) {
    if (Value == FCaption) return;
    FCaption = Value;
    Changed(false);
}

void TButtonItem::SetImageIndex(int Value) {
    if (Value == FImageIndex) return;
    FImageIndex = Value;
    Changed(false);
}

void TButtonItem::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    Changed(false);
}

void TButtonItem::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
}

void TButtonItem::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TButtonItem*>(Source);
    if (!s) return TCollectionItem::Assign(Source);
    FCaption = s->FCaption;
    FCaptionColor = s->FCaptionColor;
    FTag = s->FTag;
    FImageIndex = s->FImageIndex;
    FImage->Assign(s->FImage.get());
    FEnabled = s->FEnabled;
    FName = s->FName;
    Changed(false);
}

TButtonItems::TButtonItems(TPersistent* AOwner)
    : TCollection([](TCollection* c) { return new TButtonItem(c); }), FMyOwner(AOwner) {}

void TButtonItems::Update(TCollectionItem* Item) {
    TCollection::Update(Item);
    if (OnChange) OnChange(this);
}

// --- TButtonAppearance -----------------------------------------------------------------------

TButtonAppearance::TButtonAppearance()
    : FColorCheckedTo(AdjustColorChannels(0xF9D2B2, -10, -10, 0)),
      FColorDisabled(AdjustColorChannels(clWhite, -5, -5, -5)),
      FColorDisabledTo(AdjustColorChannels(clWhite, -5, -5, -5)),
      FColorChecked(AdjustColorChannels(0xF5F0E1, -10, -10, 0)), FFont(std::make_unique<TFont>()) {
    FFont->SetSize(10);
    FFont->SetStyle({fsBold});
}

TButtonAppearance::~TButtonAppearance() = default;

void TButtonAppearance::set(TColor& field, TColor v) {
    if (field == v) return;
    field = v;
    if (OnChange) OnChange(this);
}

void TButtonAppearance::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TButtonAppearance*>(Source);
    if (!s) return TPersistent::Assign(Source);
    FBorderColor = s->FBorderColor;
    FBorderColorHot = s->FBorderColorHot;
    FBorderColorDown = s->FBorderColorDown;
    FBorderColorChecked = s->FBorderColorChecked;
    FColor = s->FColor;
    FColorTo = s->FColorTo;
    FColorDown = s->FColorDown;
    FColorDownTo = s->FColorDownTo;
    FColorHot = s->FColorHot;
    FColorHotTo = s->FColorHotTo;
    FColorCheckedTo = s->FColorCheckedTo;
    FColorDisabled = s->FColorDisabled;
    FColorDisabledTo = s->FColorDisabledTo;
    FColorChecked = s->FColorChecked;
    FFont->Assign(s->FFont.get());
    FShineColor = s->FShineColor;
    FGlowColorHot = s->FGlowColorHot;
    FGlowColorDown = s->FGlowColorDown;
    FTextColor = s->FTextColor;
    FSpecialTextColor = s->FSpecialTextColor;
    if (OnChange) OnChange(this);
}

// --- TCustomButtonPanel ----------------------------------------------------------------------

TCustomButtonPanel::TCustomButtonPanel(TComponent* AOwner)
    : TCustomControl(AOwner), FButtons(std::make_unique<TButtonItems>(this)),
      FButtonAppearance(std::make_unique<TButtonAppearance>()) {
    auto repaint = [this](TObject*) {
        if (!FQorDropDown) Invalidate();
    };
    FButtons->OnChange = repaint;
    FButtonAppearance->OnChange = repaint;
}

TCustomButtonPanel::~TCustomButtonPanel() {
    FButtons->OnChange = nullptr;
    FButtonAppearance->OnChange = nullptr;
}

void TCustomButtonPanel::SetImages(TImageList* Value) {
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value) Value->FreeNotification(this);
    ArrangeButtons();
}

void TCustomButtonPanel::SetEdit(TCustomEdit* Value) {
    if (FEdit) FEdit->RemoveFreeNotification(this);
    FEdit = Value;
    if (Value) Value->FreeNotification(this);
}

void TCustomButtonPanel::SetButtonPanelType(TButtonPanelType Value) {
    FButtonPanelType = Value;
    ArrangeButtons();
}

void TCustomButtonPanel::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FImages) FImages = nullptr;
    if (AComponent == FEdit) FEdit = nullptr;
}

void TCustomButtonPanel::Loaded() {
    TCustomControl::Loaded();
    if (!FQorDropDown) CreateButtons();
}

void TCustomButtonPanel::Resize() {
    TCustomControl::Resize();
    ArrangeButtons();
}

void TCustomButtonPanel::GetButtonArea(TRect& Rect) const {
    Rect = ClientRect();
    InflateRect(Rect, -FOffSetX, -FOffSetY);
}

const TGraphic* TCustomButtonPanel::buttonImage(const TButtonItem& Item) const {
    return Item.Image()->Empty() ? nullptr : Item.Image()->Graphic();
}

void TCustomButtonPanel::GetButtonSize(int& Width, int& Height) {
    int imageWidth = 0, imageHeight = 0, textWidth = 0, textHeight = 0;
    Canvas()->Font()->Assign(Font());
    for (int i = 0; i < FButtons->Count(); ++i) {
        const TButtonItem& b = *FButtons->Items(i);
        if (const TGraphic* g = buttonImage(b)) {
            imageWidth = std::max(imageWidth, g->Width());
            imageHeight = std::max(imageHeight, g->Height());
        } else if (FImages && b.ImageIndex() >= 0) {
            imageWidth = std::max(imageWidth, FImages->Width());
            imageHeight = std::max(imageHeight, FImages->Height());
        }
        const TSize text = MeasureText(Canvas(), b.Caption());
        textWidth = std::max(textWidth, text.cx);
        textHeight = std::max(textHeight, text.cy);
    }
    const int gap = imageWidth > 0 && textWidth > 0 ? FCaptionGap : 0;
    if (FButtonLayout == ilCaptionLeft || FButtonLayout == ilCaptionRight) {
        Width = 2 * FButtonOffSetX + imageWidth + gap + textWidth;
        Height = std::max(imageHeight, textHeight) + 2 * FButtonOffSetY;
    } else {
        Width = std::max(imageWidth, textWidth) + 2 * FButtonOffSetX;
        Height = 2 * FButtonOffSetY + imageHeight + gap + textHeight;
    }
}

void TCustomButtonPanel::ClearButtons() {
    FButtons->Clear();
}

void TCustomButtonPanel::ResetButtons() {
    ClearButtons();
    CreateButtons();
}

void TCustomButtonPanel::CreateButtons() {
    if (FButtons->Count() == 0 && FButtonPanelType == plCalculator) {
        FButtons->BeginUpdate();
        for (const CalculatorButton& c : calculatorButtons) {
            TButtonItem* b = FButtons->Add();
            b->SetCaption(c.Caption);
            b->SetName(c.Name);
            b->SetTag(c.Tag);
            if (c.Special) {
                b->SetCaptionColor(clMaroon);
                b->SetSpecial(true);
            }
        }
        FButtons->EndUpdate();
    }
    ArrangeButtons();
}

void TCustomButtonPanel::ArrangeButtons() {
    if (FButtonPanelType == plCustom || FButtons->Count() == 0) return;
    TRect area;
    GetButtonArea(area);
    const int W = (area.Right - area.Left - 8) / 6;
    const int H = (area.Bottom - area.Top - 4) / 5;
    // Gaps of 4 pixels after the memory column and the digit block; inside a block neighbours
    // share their border pixel.
    int col[6], row[5];
    col[0] = area.Left;
    col[1] = col[0] + W + 4;
    col[2] = col[1] + W - 1;
    col[3] = col[2] + W - 1;
    col[4] = col[3] + W + 4;
    col[5] = col[4] + W - 1;
    row[0] = area.Top;
    row[1] = row[0] + H + 4;
    for (int r = 2; r < 5; ++r) row[r] = row[r - 1] + H - 1;
    const int right = col[5] + W;
    const int W2 = (right - col[1] - 8) / 3;
    const int count = std::min(FButtons->Count(), 28);
    for (int i = 0; i < count; ++i) {
        const CalculatorButton& c = calculatorButtons[i];
        TButtonItem* b = FButtons->Items(i);
        if (c.Column >= 0)
            b->SetBounds(col[c.Column], row[c.Row], W, H);
        else if (i == 1)
            b->SetBounds(col[1], row[0], W2, H);
        else if (i == 2)
            b->SetBounds(col[1] + W2 + 4, row[0], W2, H);
        else
            b->SetBounds(col[1] + 2 * W2 + 8, row[0], right - (col[1] + 2 * W2 + 8), H);
    }
    Invalidate();
}

void TCustomButtonPanel::InvalidateButton(int Index) {
    if (!validIndex(Index) || !HandleAllocated()) return;
    TRect r = GetButtonRect(Index);
    InflateRect(r, 8, 8);
    InvalidateRect(Handle(), &r, true);
}

void TCustomButtonPanel::FireButtonClick(int Index) {
    if (OnButtonClick) OnButtonClick(this, Index);
}

TRect TCustomButtonPanel::GetButtonRect(int Index) const {
    if (!validIndex(Index)) return {-1, -1, -1, -1};
    const TButtonItem& b = *FButtons->Items(Index);
    return Bounds(b.Left(), b.Top(), b.Width(), b.Height());
}

int TCustomButtonPanel::ButtonAtPos(int X, int Y) const {
    for (int i = 0; i < FButtons->Count(); ++i)
        if (PtInRect(GetButtonRect(i), {X, Y})) return i;
    return -1;
}

int TCustomButtonPanel::enabledButtonAt(int X, int Y) const {
    const int i = ButtonAtPos(X, Y);
    return i >= 0 && FButtons->Items(i)->Enabled() ? i : -1;
}

void TCustomButtonPanel::SetButtonHot(int Index) {
    if (Index == FButtonHot || (validIndex(Index) && !FButtons->Items(Index)->Enabled())) return;
    if (FButtonHot >= 0) {
        const int old = FButtonHot;
        FButtonHot = -1;
        InvalidateButton(old);
    }
    FButtonHot = Index;
    if (Index >= 0) DrawButton(Index, Canvas());
}

void TCustomButtonPanel::SetButtonDown(int Index) {
    if (Index == FButtonDown || (validIndex(Index) && !FButtons->Items(Index)->Enabled())) return;
    if (FButtonDown >= 0) {
        const int old = FButtonDown;
        FButtonDown = -1;
        InvalidateButton(old);
    }
    FButtonDown = Index;
    if (Index >= 0) DrawButton(Index, Canvas());
}

void TCustomButtonPanel::Paint() {
    TCanvas* c = Canvas();
    ::FillRect(c, ClientRect(), ColorToRGB(Color()));
    if (!FQorDropDown) {
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetColor(clBlack);
        c->Brush()->SetStyle(bsClear);
        c->Rectangle(ClientRect());
    }
    for (int i = 0; i < FButtons->Count(); ++i)
        if (i != FButtonHot) DrawButton(i, c);
    if (FButtonHot >= 0) DrawButton(FButtonHot, c);
}

void TCustomButtonPanel::DrawButton(int Index, TCanvas* ACanvas) {
    if (!validIndex(Index) || !ACanvas) return;
    const TRect R = GetButtonRect(Index);
    if (R.Left < 0 && R.Right < 0) return;
    const TButtonItem& b = *FButtons->Items(Index);
    ::FillRect(ACanvas, R, ColorToRGB(Color()));
    // The platform's push button: the themed one where visual styles run, else the classic.
    const int state = !Enabled() ? 3 : Index == FButtonDown ? 2 : Index == FButtonHot ? 1 : 0;
    DrawCellButton(*ACanvas, HandleAllocated() ? Handle() : nullptr, R,
                   ThemeIsActive(DropDownThemeBinding()) ? 0 : 1, state, TColorTones{});
    TRect content = R;
    InflateRect(content, -FButtonOffSetX, -FButtonOffSetY);
    ACanvas->Font()->Assign(FButtonAppearance->Font());
    ACanvas->Font()->SetColor(b.Special() ? FButtonAppearance->SpecialTextColor()
                                          : FButtonAppearance->TextColor());
    ACanvas->Brush()->SetStyle(bsClear);
    SetBkMode(ACanvas, TRANSPARENT);
    const TGraphic* picture = buttonImage(b);
    const bool listImage = !picture && FImages && b.ImageIndex() >= 0;
    int iw = 0, ih = 0;
    if (picture) {
        iw = picture->Width();
        ih = picture->Height();
    } else if (listImage) {
        iw = FImages->Width();
        ih = FImages->Height();
    }
    const bool image = picture || listImage;
    auto drawImage = [&](int x, int y) {
        if (picture)
            ACanvas->Draw(x, y, picture);
        else if (listImage)
            FImages->Draw(ACanvas, x, y, b.ImageIndex(), b.Enabled());
    };
    const std::string& caption = b.Caption();
    const unsigned flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (image ? DT_LEFT : DT_CENTER);
    auto drawCaption = [&](TRect r) {
        if (!caption.empty()) DrawText(ACanvas, caption, -1, r, flags);
    };
    const int middleY = content.Top + (content.Height() - ih) / 2;
    switch (FButtonLayout) {
    case ilCaptionLeft: {
        TRect text = content;
        text.Right -= iw;
        drawCaption(text);
        if (image) drawImage(content.Left + ACanvas->TextWidth(caption) + FCaptionGap, middleY);
        break;
    }
    case ilCaptionRight: {
        TRect text = content;
        if (image) {
            drawImage(content.Left, middleY);
            text.Left = content.Left + iw + FCaptionGap;
        }
        drawCaption(text);
        break;
    }
    case ilCaptionTop: {
        TRect text = content;
        text.Bottom -= ih;
        drawCaption(text);
        if (image) {
            const int textHeight = caption.empty() ? 0 : ACanvas->TextHeight(caption);
            const int y = caption.empty()
                              ? middleY
                              : text.Top + (text.Height() + textHeight) / 2 + FCaptionGap;
            drawImage(content.Left + (content.Width() - iw) / 2, y);
        }
        break;
    }
    case ilCaptionBottom: {
        const int y = caption.empty() ? middleY : content.Top;
        if (image) drawImage(content.Left + (content.Width() - iw) / 2, y);
        TRect text = content;
        text.Top = y + ih + FCaptionGap;
        drawCaption(text);
        break;
    }
    }
}

void TCustomButtonPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    const int i = enabledButtonAt(X, Y);
    if (i >= 0) SetButtonDown(i);
}

void TCustomButtonPanel::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    SetButtonHot(enabledButtonAt(X, Y));
}

void TCustomButtonPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FButtonDown < 0) return;
    const int pressed = FButtonDown;
    const int clicked = ButtonAtPos(X, Y) == pressed ? pressed : -1;
    SetButtonDown(-1);
    // A release away from the pressed button clicks nothing.
    if (clicked >= 0) FireButtonClick(clicked);
}

void TCustomButtonPanel::CMMouseLeave(TMessage& Message) {
    TCustomControl::CMMouseLeave(Message);
    SetButtonHot(-1);
}
