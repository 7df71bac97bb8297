#include "controls/base/QorItemSelector.h"

#include "controls/base/DropDownDrawing.h"
#include "grid/core/base/GridDraw.h"
#include "grid/render/ControlLook.h"
#include "grid/render/markup/MarkupText.h"
#include "platform/base/SysUtils.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/core/Forms.h"
#include "platform/ui/core/WindowFrame.h"

#include <algorithm>

namespace {

// The area captions are measured in.
const TRect measureArea{0, 0, 1000, 500};

struct ColorPreset {
    TColor Hot, HotTo, MirrorHot, MirrorHotTo, Top, Bottom, Border, Edge;
    TColor Selected, SelectedTo, MirrorSelected, MirrorSelectedTo;
};

// The presets of scOffice2007, scWindowsVista and scWindows7.
constexpr ColorPreset colorPresets[3] = {
    {0xD7FFFD, 0x58D4FC, 0x58D4FC, 0xB3F1FC, 0xF4FEFF, 0xCAF8FF, 0x8DD7D3, 0xC3D9DF, 0xA6FFFB,
     0x04B9F4, 0x15C1FB, 0x68E3F9},
    {0xFDF8F1, 0xFCEFD5, clNone, clNone, 0xFDFBF6, 0xFDF5E7, 0xFDDE99, 0xFCEDCB, 0xFAEEDE, 0xFAE3B4,
     clNone, clNone},
    {0xFCEBDC, 0xFCDBC1, clNone, clNone, 0xFDF4EB, 0xFDEADB, 0xCEA27D, 0xE0C5AE, 0xF9D8B9, 0xFBCAA2,
     clNone, clNone},
};

} // namespace

// --- TSelectorItem ---------------------------------------------------------------------------

TSelectorItem::TSelectorItem(TCollection* Collection)
    : TCollectionItem(Collection), FImage(std::make_unique<TPicture>()) {}

TSelectorItem::~TSelectorItem() = default;

void TSelectorItem::SetCaption(const std::string& Value) {
    if (Value == FCaption) return;
    FCaption = Value;
    Changed(false);
}

void TSelectorItem::SetImageIndex(int Value) {
    if (Value == FImageIndex) return;
    FImageIndex = Value;
    Changed(false);
}

void TSelectorItem::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    Changed(false);
}

void TSelectorItem::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TSelectorItem*>(Source);
    if (!s) return TCollectionItem::Assign(Source);
    FCaption = s->FCaption;
    FColor = s->FColor;
    FImageIndex = s->FImageIndex;
    FImage->Assign(s->FImage.get());
    FEnabled = s->FEnabled;
    FHint = s->FHint;
    Changed(false);
}

TSelectorItems::TSelectorItems(TPersistent* AOwner)
    : TCollection([](TCollection* c) { return new TSelectorItem(c); }), FMyOwner(AOwner) {}

void TSelectorItems::Update(TCollectionItem* Item) {
    TCollection::Update(Item);
    if (OnChange) OnChange(this);
}

// --- TItemAppearance -------------------------------------------------------------------------

TItemAppearance::TItemAppearance(TPersistent* AOwner)
    : FOwner(AOwner), FFont(std::make_unique<TFont>()) {
    FFont->SetName("Tahoma");
    SetColorStyle(scOffice2007);
}

TItemAppearance::~TItemAppearance() = default;

void TItemAppearance::set(TColor& field, TColor v) {
    if (field == v) return;
    field = v;
    if (OnChange) OnChange(this);
}

void TItemAppearance::SetFont(const TFont* v) {
    FFont->Assign(v);
    if (OnChange) OnChange(this);
}

void TItemAppearance::SetColorStyle(TSelectionColorStyle Style) {
    if (Style == FColorStyle) return;
    FColorStyle = Style;
    if (Style == scCustom) return;
    const ColorPreset& p = colorPresets[int(Style) - 1];
    SetColorHot(p.Hot);
    SetColorHotTo(p.HotTo);
    SetColorMirrorHot(p.MirrorHot);
    SetColorMirrorHotTo(p.MirrorHotTo);
    SetBorderColorTop(p.Top);
    SetBorderColorBottom(p.Bottom);
    SetBorderColor(p.Border);
    SetEdgeColor(p.Edge);
    SetColorSelected(p.Selected);
    SetColorSelectedTo(p.SelectedTo);
    SetColorMirrorSelected(p.MirrorSelected);
    SetColorMirrorSelectedTo(p.MirrorSelectedTo);
}

void TItemAppearance::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TItemAppearance*>(Source);
    if (!s) return TPersistent::Assign(Source);
    SetColorMirrorHotTo(s->FColorMirrorHotTo);
    SetBorderColor(s->FBorderColor);
    SetColorMirrorHot(s->FColorMirrorHot);
    SetColorSelectedTo(s->FColorSelectedTo);
    SetColorSelected(s->FColorSelected);
    SetEdgeColor(s->FEdgeColor);
    SetColorHotTo(s->FColorHotTo);
    SetBorderColorBottom(s->FBorderColorBottom);
    SetColorHot(s->FColorHot);
    SetBorderColorTop(s->FBorderColorTop);
    SetColorMirrorSelectedTo(s->FColorMirrorSelectedTo);
    SetColorMirrorSelected(s->FColorMirrorSelected);
    SetFont(s->FFont.get());
    SetColorStyle(s->FColorStyle);
    SetColorSelectedText(s->FColorSelectedText);
    SetColorHotText(s->FColorHotText);
    SetBorderColorHot(s->FBorderColorHot);
    SetBorderColorSelected(s->FBorderColorSelected);
}

// --- TCustomItemSelector ---------------------------------------------------------------------

TCustomItemSelector::TCustomItemSelector(TComponent* AOwner) : TCustomControl(AOwner) {
    FQorItemSelector = dynamic_cast<TQorCustomItemSelector*>(AOwner);
    if (!FQorItemSelector) throw Exception("Invalid parent");
    SetParentColor(true);
}

TCustomItemSelector::~TCustomItemSelector() = default;

int TCustomItemSelector::Columns() const {
    return FQorItemSelector->Columns();
}
TSelectorItems* TCustomItemSelector::Items() const {
    return FQorItemSelector->Items();
}
TSelectorType TCustomItemSelector::SelectorType() const {
    return FQorItemSelector->SelectorType();
}
TItemLayout TCustomItemSelector::ItemLayout() const {
    return FQorItemSelector->ItemLayout();
}
TImageList* TCustomItemSelector::Images() const {
    return FQorItemSelector->Images();
}
TItemAppearance* TCustomItemSelector::look() const {
    return FQorItemSelector->ItemAppearance();
}
TSelectionColorStyle TCustomItemSelector::ItemColorStyle() const {
    return look()->ColorStyle();
}
TColor TCustomItemSelector::ItemColorHot() const {
    return look()->ColorHot();
}
TColor TCustomItemSelector::ItemColorHotTo() const {
    return look()->ColorHotTo();
}
TColor TCustomItemSelector::ItemColorSelected() const {
    return look()->ColorSelected();
}
TColor TCustomItemSelector::ItemColorSelectedTo() const {
    return look()->ColorSelectedTo();
}
int TCustomItemSelector::ColorBoxHeight() const {
    return FQorItemSelector->ColorBoxHeight();
}
int TCustomItemSelector::ColorBoxWidth() const {
    return FQorItemSelector->ColorBoxWidth();
}

bool TCustomItemSelector::validIndex(int Index) const {
    return Index >= 0 && Index < Items()->Count();
}

bool TCustomItemSelector::enabledItem(int Index) const {
    return !validIndex(Index) || Items()->Items(Index)->Enabled();
}

TSize TCustomItemSelector::contentSize(const TSelectorItem& Item) const {
    if (SelectorType() == stColor) return {ColorBoxWidth(), ColorBoxHeight()};
    if (!Item.Image()->Empty()) return {Item.Image()->Width(), Item.Image()->Height()};
    if (Images() && Item.ImageIndex() >= 0) return {Images()->Width(), Images()->Height()};
    return {0, 0};
}

TSize TCustomItemSelector::GetItemSize() {
    TSize size{0, 0};
    if (FQorItemSelector->OnItemSize) {
        FQorItemSelector->OnItemSize(FQorItemSelector, size);
        return size;
    }
    TCanvas* c = Canvas();
    c->Font()->Assign(look()->Font());
    int w = 0, h = 0;
    if (SelectorType() == stColor) {
        w = ColorBoxWidth();
        h = ColorBoxHeight();
    }
    int cw = 0, ch = 0;
    for (int i = 0; i < Items()->Count(); ++i) {
        const TSelectorItem& item = *Items()->Items(i);
        if (SelectorType() == stImage) {
            const TSize content = contentSize(item);
            w = std::max(w, content.cx);
            h = std::max(h, content.cy);
        }
        const TSize caption =
            DrawMarkupText(c, item.Caption(), measureArea, nullptr, false, Images());
        cw = std::max(cw, caption.cx);
        ch = std::max(ch, caption.cy);
    }
    if (cw > 0) cw += 4;
    if (ItemLayout() == ilCaptionLeft || ItemLayout() == ilCaptionRight) {
        size.cx = 2 * FItemOffSetX + (w > 0 ? w : 0) + (w > 0 && cw > 0 ? FCaptionGap : 0) + cw;
        size.cy = std::max(ch, h) + 2 * FItemOffSetY;
    } else {
        size.cx = std::max(cw, w) + 2 * FItemOffSetX;
        size.cy = 2 * FItemOffSetY + (h > 0 ? h : 0) + (h > 0 && ch > 0 ? FCaptionGap : 0) + ch;
    }
    return size;
}

TRect TCustomItemSelector::GetStartPos() const {
    TRect r = ClientRect();
    InflateRect(r, -FOffSetX, -FOffSetY);
    return r;
}

void TCustomItemSelector::UpdateLayout() {
    if (Items()->Count() == 0) {
        SetBounds(Left(), Top(), 100, 50);
    } else {
        FItemHot = -1;
        const TSize size = GetItemSize();
        const TRect start = GetStartPos();
        const int x0 = start.Left, y0 = start.Top;
        int x = x0, y = y0, column = 0, widest = 0;
        const int last = Items()->Count() - 1;
        for (int i = 0; i <= last; ++i) {
            Items()->Items(i)->SetRect(Bounds(x, y, size.cx, size.cy));
            ++column;
            if (i == last) break;
            if (column < Columns()) {
                x += size.cx;
            } else {
                widest = std::max(widest, x);
                y += size.cy;
                x = x0;
                column = 0;
            }
        }
        SetBounds(Left(), Top(), std::max(widest, x) + size.cx + x0, y + size.cy + y0);
    }
    Invalidate();
    // The container's scroll range follows the panel.
    FQorItemSelector->Realign();
}

int TCustomItemSelector::ItemAtPos(int X, int Y) const {
    for (int i = 0; i < Items()->Count(); ++i)
        if (PtInRect(Items()->Items(i)->Rect(), {X, Y})) return i;
    return -1;
}

void TCustomItemSelector::InvalidateItem(int Index) {
    if (!validIndex(Index) || !HandleAllocated()) return;
    const TRect r = Items()->Items(Index)->Rect();
    InvalidateRect(Handle(), &r, true);
}

void TCustomItemSelector::SetItemIndex(int Value) {
    if (!enabledItem(Value)) return;
    if (FItemIndex >= 0 && Value != FItemIndex) {
        const int old = FItemIndex;
        FItemIndex = -1;
        InvalidateItem(old);
    }
    FItemIndex = Value;
    if (Value < 0) return;
    DrawItem(Value, Canvas());
    if (OnItemSelect) OnItemSelect(this);
}

void TCustomItemSelector::SetItemHot(int Index) {
    if (Index == FItemHot || !enabledItem(Index)) return;
    if (FItemHot >= 0) {
        const int old = FItemHot;
        FItemHot = -1;
        InvalidateItem(old);
    }
    FItemHot = Index;
    if (Index >= 0) DrawItem(Index, Canvas());
}

void TCustomItemSelector::SelectFirst() {
    if (Items()->Count() > 0) SetItemIndex(0);
}

void TCustomItemSelector::SelectLast() {
    if (Items()->Count() > 0) SetItemIndex(Items()->Count() - 1);
}

void TCustomItemSelector::SelectNext() {
    if (FItemIndex < 0)
        SetItemIndex(0);
    else if (FItemIndex + 1 < Items()->Count())
        SetItemIndex(FItemIndex + 1);
}

void TCustomItemSelector::SelectPrevious() {
    if (FItemIndex < 0)
        SetItemIndex(0);
    else if (FItemIndex > 0)
        SetItemIndex(FItemIndex - 1);
}

void TCustomItemSelector::HotNext() {
    if (FItemHot < 0)
        SetItemHot(0);
    else if (FItemHot + 1 < Items()->Count())
        SetItemHot(FItemHot + 1);
}

void TCustomItemSelector::HotPrevious() {
    if (FItemHot < 0)
        SetItemHot(0);
    else if (FItemHot > 0)
        SetItemHot(FItemHot - 1);
}

bool TCustomItemSelector::LookupItem(const std::string& S) {
    if (S.empty()) return false;
    for (int i = 0; i < Items()->Count(); ++i) {
        const std::string key = AnsiUpperCase(Trim(HTMLStripTags(Items()->Items(i)->Caption())));
        if (StartsStr(S, key)) {
            SetItemIndex(i);
            return true;
        }
    }
    return false;
}

void TCustomItemSelector::drawContent(TCanvas* C, const TSelectorItem& Item, int X, int Y,
                                      TSize Size) {
    if (SelectorType() == stColor) {
        C->Pen()->SetStyle(psSolid);
        C->Pen()->SetWidth(1);
        C->Pen()->SetColor(clBlack);
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Item.Color());
        C->Rectangle(Bounds(X, Y, Size.cx, Size.cy));
    } else if (!Item.Image()->Empty()) {
        C->Draw(X, Y, Item.Image()->Graphic());
    } else if (Images() && Item.ImageIndex() >= 0) {
        Images()->Draw(C, X, Y, Item.ImageIndex(), Item.Enabled());
    }
}

void TCustomItemSelector::DrawItem(int Index, TCanvas* ACanvas) {
    if (!validIndex(Index) || !ACanvas) return;
    const TSelectorItem& item = *Items()->Items(Index);
    const TRect R = item.Rect();
    if (R.IsEmpty()) return;
    const TItemAppearance& a = *look();
    TColor border = a.BorderColor(), top = a.BorderColorTop(), bottom = a.BorderColorBottom(),
           edge = a.EdgeColor();
    TColor start = clNone, end = clNone, mirrorStart = clNone, mirrorEnd = clNone;
    const bool hot = Index == FItemHot, selected = Index == FItemIndex;
    auto take = [&](TColor s, TColor e, TColor ms, TColor me, TColor b) {
        start = s;
        end = e;
        mirrorStart = ms;
        mirrorEnd = me;
        if (b != clNone) {
            border = b;
            top = bottom = edge = clNone;
        }
    };
    if (selected)
        take(a.ColorSelected(), a.ColorSelectedTo(), a.ColorMirrorSelected(),
             a.ColorMirrorSelectedTo(), a.BorderColorSelected());
    else if (hot)
        take(a.ColorHot(), a.ColorHotTo(), a.ColorMirrorHot(), a.ColorMirrorHotTo(),
             a.BorderColorHot());
    const TColor back = ColorToRGB(Color());
    if (!hot && !selected) {
        ::FillRect(ACanvas, R, back);
    } else if (top == clNone) {
        if (start != clNone && end != clNone)
            DrawGradientRect(*ACanvas, start, end, 80, R, false);
        else if (start != clNone)
            ::FillRect(ACanvas, R, ColorToRGB(start));
        if (border != clNone) ::FrameRect(ACanvas, R, ColorToRGB(border));
    } else {
        DrawSelectionFrame(*ACanvas, start, end, mirrorStart, mirrorEnd, top, bottom, border, edge,
                           back, R, 0);
    }
    if (FQorItemSelector->OnDrawItem) {
        FQorItemSelector->OnDrawItem(this, ACanvas, R, Index);
        return;
    }
    const TSize content = contentSize(item);
    const int W = content.cx, H = content.cy;
    TRect I = R;
    InflateRect(I, -FItemOffSetX, -FItemOffSetY);
    TRect C = I;
    ACanvas->Font()->Assign(a.Font());
    if (selected)
        ACanvas->Font()->SetColor(a.ColorSelectedText());
    else if (hot)
        ACanvas->Font()->SetColor(a.ColorHotText());
    const std::string& caption = item.Caption();
    const HWND window = HandleAllocated() ? Handle() : nullptr;
    auto measure = [&](const TRect& in) {
        return DrawMarkupText(ACanvas, caption, in, window, false, Images());
    };
    auto draw = [&](const TRect& in) {
        DrawMarkupText(ACanvas, caption, in, window, true, Images());
    };
    // Vertically centred in the content rectangle (a colour box keeps to its top).
    auto contentTop = [&] {
        return SelectorType() == stColor ? C.Top : C.Top + (C.Height() - H) / 2;
    };
    auto centreCaption = [&] {
        const TSize size = measure(I);
        if (size.cy < I.Height()) I.Top += (I.Height() - size.cy) / 2;
    };
    switch (ItemLayout()) {
    case ilCaptionLeft:
        if (!caption.empty()) {
            I.Right -= W;
            centreCaption();
            draw(I);
            C.Left = I.Left + measure(I).cx + FCaptionGap;
        }
        drawContent(ACanvas, item, C.Left, contentTop(), content);
        break;
    case ilCaptionRight:
        drawContent(ACanvas, item, C.Left, contentTop(), content);
        if (W > 0) I.Left = C.Left + W + FCaptionGap;
        if (!caption.empty()) {
            centreCaption();
            draw(I);
        }
        break;
    case ilCaptionTop:
        if (!caption.empty()) {
            I.Bottom -= H;
            draw(I);
            C.Top = I.Top + measure(I).cy + FCaptionGap;
        } else {
            C.Top += (C.Height() - H) / 2;
        }
        C.Left += (C.Width() - W) / 2;
        drawContent(ACanvas, item, C.Left, C.Top, content);
        break;
    case ilCaptionBottom:
        if (caption.empty()) C.Top += (C.Height() - H) / 2;
        C.Left += (C.Width() - W) / 2;
        drawContent(ACanvas, item, C.Left, C.Top, content);
        I.Top = C.Top + H + FCaptionGap;
        if (!caption.empty()) draw(I);
        break;
    }
}

void TCustomItemSelector::Paint() {
    TCanvas* c = Canvas();
    ::FillRect(c, ClientRect(), ColorToRGB(Color()));
    for (int i = 0; i < Items()->Count(); ++i) DrawItem(i, c);
}

void TCustomItemSelector::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    const int i = ItemAtPos(X, Y);
    if (i >= 0 && Items()->Items(i)->Enabled()) SetItemIndex(i);
}

void TCustomItemSelector::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    const int i = ItemAtPos(X, Y);
    if (i >= 0) {
        if (i == FItemHot) return;
        SetItemHot(Items()->Items(i)->Enabled() ? i : -1);
        SetHint(Items()->Items(i)->Hint());
        Application->CancelHint();
    } else if (FItemHot >= 0) {
        SetItemHot(-1);
    }
}

void TCustomItemSelector::CMMouseLeave(TMessage& Message) {
    TCustomControl::CMMouseLeave(Message);
    if (FItemHot >= 0) SetItemHot(-1);
}

// --- TQorCustomItemSelector ------------------------------------------------------------------

TQorCustomItemSelector::TQorCustomItemSelector(TComponent* AOwner)
    : TScrollingWinControl(AOwner), FItems(std::make_unique<TSelectorItems>(this)),
      FItemAppearance(std::make_unique<TItemAppearance>(this)) {
    FItems->OnChange = [this](TObject*) { relayout(); };
    FItemAppearance->OnChange = [this](TObject*) {
        if (FSelectorPanel) FSelectorPanel->Invalidate();
    };
    FSelectorPanel = new TCustomItemSelector(this);
    FSelectorPanel->SetParent(this);
    FSelectorPanel->OnItemSelect = [this](TObject*) {
        if (OnItemSelect) OnItemSelect(this);
    };
    relayout();
}

TQorCustomItemSelector::~TQorCustomItemSelector() {
    FItems->OnChange = nullptr;
    FItemAppearance->OnChange = nullptr;
}

void TQorCustomItemSelector::relayout() {
    if (FSelectorPanel) FSelectorPanel->UpdateLayout();
}

void TQorCustomItemSelector::SetSelectorType(TSelectorType Value) {
    if (Value == FSelectorType) return;
    FSelectorType = Value;
    relayout();
}

void TQorCustomItemSelector::SetColumns(int Value) {
    if (Value < 1 || Value == FColumns) return;
    FColumns = Value;
    relayout();
}

void TQorCustomItemSelector::SetColorBoxWidth(int Value) {
    if (Value == FColorBoxWidth) return;
    FColorBoxWidth = Value;
    relayout();
}

void TQorCustomItemSelector::SetColorBoxHeight(int Value) {
    if (Value == FColorBoxHeight) return;
    FColorBoxHeight = Value;
    relayout();
}

void TQorCustomItemSelector::SetImages(TImageList* Value) {
    if (Value == FImages) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value) Value->FreeNotification(this);
    relayout();
}

void TQorCustomItemSelector::Notification(TComponent* AComponent, TOperation Operation) {
    TScrollingWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FImages) {
        FImages = nullptr;
        relayout();
    }
    if (AComponent == FSelectorPanel) FSelectorPanel = nullptr;
}

int TQorCustomItemSelector::ItemIndex() const {
    return FSelectorPanel ? FSelectorPanel->ItemIndex() : -1;
}

void TQorCustomItemSelector::SetItemIndex(int Value) {
    if (!FSelectorPanel) return;
    FSelectorPanel->SetItemIndex(Value);
    ScrollItemInView(FSelectorPanel->ItemIndex());
}

int TQorCustomItemSelector::ItemHot() const {
    return FSelectorPanel ? FSelectorPanel->ItemHot() : -1;
}

void TQorCustomItemSelector::SelectFirst() {
    if (!FSelectorPanel) return;
    FSelectorPanel->SelectFirst();
    ScrollItemInView(FSelectorPanel->ItemIndex());
}

void TQorCustomItemSelector::SelectLast() {
    if (!FSelectorPanel) return;
    FSelectorPanel->SelectLast();
    ScrollItemInView(FSelectorPanel->ItemIndex());
}

void TQorCustomItemSelector::SelectNext() {
    if (!FSelectorPanel) return;
    FSelectorPanel->SelectNext();
    ScrollItemInView(FSelectorPanel->ItemIndex());
}

void TQorCustomItemSelector::SelectPrevious() {
    if (!FSelectorPanel) return;
    FSelectorPanel->SelectPrevious();
    ScrollItemInView(FSelectorPanel->ItemIndex());
}

void TQorCustomItemSelector::HotNext() {
    if (!FSelectorPanel) return;
    FSelectorPanel->HotNext();
    ScrollItemInView(FSelectorPanel->ItemHot());
}

void TQorCustomItemSelector::HotPrevious() {
    if (!FSelectorPanel) return;
    FSelectorPanel->HotPrevious();
    ScrollItemInView(FSelectorPanel->ItemHot());
}

bool TQorCustomItemSelector::LookupItem(const std::string& S) {
    return FSelectorPanel && FSelectorPanel->LookupItem(S);
}

void TQorCustomItemSelector::UpdateSelectorPanel() {
    relayout();
}

void TQorCustomItemSelector::ScrollItemInView(int Index) {
    if (!FSelectorPanel || Index < 0 || Index >= FItems->Count() ||
        !VertScrollBar()->IsScrollBarVisible())
        return;
    TRect r = FItems->Items(Index)->Rect();
    r.Top -= VertScrollBar()->Margin();
    r.Bottom += VertScrollBar()->Margin();
    OffsetRect(r, FSelectorPanel->Left(), FSelectorPanel->Top());
    TControlScrollBar* bar = VertScrollBar();
    if (r.Top < 0) {
        bar->SetPosition(bar->Position() + r.Top);
    } else if (r.Bottom > ClientHeight()) {
        if (r.Height() > ClientHeight()) r.Bottom = r.Top + ClientHeight();
        bar->SetPosition(bar->Position() + r.Bottom - ClientHeight());
    }
}

int TQorCustomItemSelector::GetVisibleItemCount() const {
    if (!FSelectorPanel || FItems->Count() == 0) return 0;
    const int cell = FItems->Items(0)->Rect().Height();
    // A cell never laid out has no height.
    if (cell <= 0) return 0;
    const int height = Height() - (HorzScrollBar()->IsScrollBarVisible() ? 20 : 0);
    return height / cell * FColumns;
}

TSize TQorCustomItemSelector::GetPanelSize() const {
    if (!FSelectorPanel) return {100, 50};
    return {FSelectorPanel->Width(), FSelectorPanel->Height()};
}

void TQorCustomItemSelector::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTALLKEYS;
        return;
    case WM_VSCROLL: {
        TScrollingWinControl::Dispatch(Message);
        if (TWMScroll(Message).ScrollCode() == SB_THUMBTRACK) {
            SCROLLINFO info;
            info.fMask = SIF_TRACKPOS;
            if (GetScrollInfo(Handle(), SB_VERT, &info))
                VertScrollBar()->SetPosition(info.nTrackPos);
        }
        return;
    }
    default:
        TScrollingWinControl::Dispatch(Message);
    }
}
