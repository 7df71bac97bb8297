#include "controls/ColorSelectorPanels.h"

#include "platform/base/SysUtils.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/core/Forms.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr TColor palette[6][10] = {
    {0xFFFFFF, 0x000000, 0xE1ECEE, 0x7D491F, 0xBD814F, 0x4D50C0, 0x59BB9B, 0xA26480, 0xC6AC4B,
     0x4696F7},
    {0xF2F2F2, 0x7F7F7F, 0xC3D9DD, 0xDACEC2, 0xF1E5DB, 0xDBDCF2, 0xDDF1EB, 0xECE0E5, 0xF3EEDB,
     0xDAEAFD},
    {0xD8D8D8, 0x595959, 0x97BDC4, 0xE2B38D, 0xE4CCB8, 0xB7B9E5, 0xBCE3D7, 0xD9C1CC, 0xE8DDB7,
     0xB5D5FB},
    {0xBFBFBF, 0x3F3F3F, 0x538993, 0xD48D54, 0xD7B395, 0x9496D9, 0x9BD6C3, 0xC7A2B2, 0xDCCD92,
     0x8FC0FA},
    {0xA5A5A5, 0x262626, 0x294449, 0x5D3617, 0x926036, 0x343795, 0x3C9276, 0x7A495F, 0x9B8531,
     0x096CE3},
    {0x7F7F7F, 0x0C0C0C, 0x101B1D, 0x3E240F, 0x614024, 0x232463, 0x28614F, 0x51313F, 0x675820,
     0x064897},
};

constexpr TColor cubeColors[127] = {
    0x663300, 0x996633, 0xCC6633, 0x993300, 0x990000, 0xCC0000, 0x660000, // 1
    0x666600, 0x996600, 0xCC9900, 0xCC6600, 0xCC3300, 0xFF0000, 0xFF3333, 0x993333, 0x808000,
    0x999900, 0xCCCC33, 0xFFCC00, 0xFF9900, 0xFF6600, 0xFF6633, 0xCC3333, 0x996666, 0x669933,
    0x99CC00, 0xCCFF00, 0xFFFF00, 0xFFCC33, 0xFF9933, 0xFF9966, 0xFF6666, 0xFF0066,
    0xCC0066, // 4
    0x339933, 0x66CC00, 0x99FF00, 0xCCFF66, 0xFFFF66, 0xFFCC66, 0xFFCC99, 0xFF9999, 0xFF6699,
    0xFF3399, 0xFF0099, // 5
    0x006600, 0x00CC00, 0x00FF00, 0x99FF66, 0xCCFF99, 0xFFFFCC, 0xFFECCC, 0xFFCCCC, 0xFF99CC,
    0xFF66CC, 0xFF00CC, 0xCC0099, // 6
    0x003300, 0x008000, 0x33CC33, 0x66FF66, 0x99FF99, 0xCCFFCC, 0xFFFFFF, 0xFFCCFF, 0xFF99FF,
    0xFF66FF, 0xFF00FF, 0xCC00CC, 0x660066, // 7
    0x006633, 0x009900, 0x33FF66, 0x66FF99, 0x99FFCC, 0xCCFFFF, 0xCCCCFF, 0xCC99FF, 0xCC66FF,
    0xCC33FF, 0x9900CC, 0x800080, // 8
    0x003333, 0x009966, 0x33FF99, 0x66FFCC, 0x99FFFF, 0x99CCFF, 0x9999FF, 0x9966FF, 0x9933FF,
    0x9933CC, 0x990099, // 9
    0x336666, 0x00CC99, 0x33FFCC, 0x66FFFF, 0x66CCFF, 0x6699FF, 0x807CFF, 0x6600FF, 0x9300D6,
    0x663399, // 10
    0x008080, 0x00CCCC, 0x00FFFF, 0x00CCFF, 0x3399FF, 0x0066FF, 0x5050FF, 0x6600CC, 0x330066,
    0x336699, 0x0099CC, 0x0099FF, 0x0066CC, 0x0033FF, 0x0000FF, 0x0000CC, 0x330099, // 12
    0x003366, 0x006699, 0x0033CC, 0x003399, 0x000099, 0x000080, 0x2100A5,
};

void hexagon(TCanvas* C, int X, int Y, int w, int v) {
    C->Polygon({{X - w, Y - v},
                {X, Y - 2 * v},
                {X + w, Y - v},
                {X + w, Y + v},
                {X, Y + 2 * v},
                {X - w, Y + v}});
}

} // namespace

// --- items and look --------------------------------------------------------------------------

void TColorBoxItem::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    Changed(false);
}

void TColorBoxItem::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TColorBoxItem*>(Source);
    if (!s) return TCollectionItem::Assign(Source);
    FColor = s->FColor;
    FEnabled = s->FEnabled;
    Changed(false);
}

void TColorBoxAppearance::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TColorBoxAppearance*>(Source);
    if (!s) return TPersistent::Assign(Source);
    BorderColor = s->BorderColor;
    OuterBorderColorHot = s->OuterBorderColorHot;
    InnerBorderColorHot = s->InnerBorderColorHot;
    OuterBorderColorSelected = s->OuterBorderColorSelected;
    InnerBorderColorSelected = s->InnerBorderColorSelected;
}

// --- the discrete palette --------------------------------------------------------------------

TCustomColorSelector::TCustomColorSelector(TComponent* AOwner)
    : TCustomControl(AOwner), FAppearance(std::make_unique<TColorBoxAppearance>()),
      FItems(std::make_unique<TColorBoxItems>()) {
    SetParentColor(true);
}

TCustomColorSelector::~TCustomColorSelector() = default;

void TCustomColorSelector::SetColumns(int Value) {
    if (Value == FColumns) return;
    FColumns = Value;
    UpdateLayout();
}

void TCustomColorSelector::SetColumnGap(int Value) {
    if (Value == FColumnGap) return;
    FColumnGap = Value;
    UpdateLayout();
}

void TCustomColorSelector::SetColorBoxWidth(int Value) {
    if (Value == FColorBoxWidth) return;
    FColorBoxWidth = Value;
    UpdateLayout();
}

void TCustomColorSelector::SetColorBoxHeight(int Value) {
    if (Value == FColorBoxHeight) return;
    FColorBoxHeight = Value;
    UpdateLayout();
}

void TCustomColorSelector::SetItemColorStyle(TSelectionColorStyle Value) {
    if (Value == FItemColorStyle) return;
    FItemColorStyle = Value;
    if (Value != scCustom) {
        const TColorBoxAppearance defaults;
        FAppearance->Assign(&defaults);
    }
}

void TCustomColorSelector::FillPalette() {
    FItems->Clear();
    for (int row = 0; row < 6; ++row)
        for (TColor c : palette[row]) {
            TColorBoxItem* item = FItems->Add();
            item->SetColor(c);
            item->SetColorBoxPos(row == 0   ? ipStandAlone
                                 : row == 1 ? ipTop
                                 : row == 5 ? ipBottom
                                            : ipMiddle);
        }
}

TRect TCustomColorSelector::GetStartPos() const {
    TRect r = ClientRect();
    InflateRect(r, -FOffSetX, -FOffSetY);
    return r;
}

TSize TCustomColorSelector::GetItemSize() const {
    return {FColorBoxWidth, FColorBoxHeight};
}

void TCustomColorSelector::UpdateLayout() {
    if (FItems->Count() == 0) {
        SetBounds(Left(), Top(), 100, 50);
        return;
    }
    FItemHot = -1;
    const TSize size = GetItemSize();
    const int W = size.cx, H = size.cy;
    const TRect start = GetStartPos();
    const int x0 = start.Left, y0 = start.Top;
    int x = x0, y = y0, column = 0, widest = 0;
    bool gap = false;
    for (int i = 0; i < FItems->Count(); ++i) {
        TColorBoxItem* item = FItems->Items(i);
        item->SetRect({x, y, x + W, y + H});
        ++column;
        if (i == FItems->Count() - 1) break;
        if (item->ColorBoxPos() == ipStandAlone) gap = true;
        if (column < FColumns) {
            x += W + FColumnGap;
        } else {
            if (gap) y += FColumnGap;
            gap = false;
            y += H;
            widest = std::max(widest, x);
            x = x0;
            column = 0;
        }
    }
    SetBounds(Left(), Top(), std::max(widest, x) + W + x0 + 1, y + H + y0);
    Invalidate();
}

void TCustomColorSelector::DrawItem(int Index, TCanvas* C) {
    if (!validIndex(Index) || !C) return;
    const TColorBoxItem& item = *FItems->Items(Index);
    TRect R = item.Rect();
    if (R.IsEmpty()) return;
    const TColorBoxAppearance& a = *FAppearance;
    TColor border = a.BorderColor, inner = clNone;
    const bool chosen = Index == FItemIndex, hot = Index == FItemHot;
    if (chosen) {
        border = a.OuterBorderColorSelected;
        inner = a.InnerBorderColorSelected;
    } else if (hot) {
        border = a.OuterBorderColorHot;
        inner = a.InnerBorderColorHot;
    }
    C->Pen()->SetWidth(1);
    C->Pen()->SetStyle(psSolid);
    if (item.Color() != clNone) {
        C->Pen()->SetColor(item.Color());
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(item.Color());
        C->Rectangle(R);
    }
    if (chosen || hot) {
        C->Brush()->SetStyle(bsClear);
        if (border != clNone) {
            C->Pen()->SetColor(border);
            C->Rectangle(R);
            InflateRect(R, -1, -1);
        }
        if (inner != clNone) {
            C->Pen()->SetColor(inner);
            C->Rectangle(R);
        }
        return;
    }
    C->Pen()->SetColor(a.BorderColor);
    auto line = [C](int x1, int y1, int x2, int y2) {
        C->MoveTo(x1, y1);
        C->LineTo(x2, y2);
    };
    switch (item.ColorBoxPos()) {
    case ipStandAlone:
        C->Polyline({{R.Left, R.Bottom},
                     {R.Left, R.Top},
                     {R.Right, R.Top},
                     {R.Right, R.Bottom},
                     {R.Left, R.Bottom}});
        break;
    case ipTop:
        C->Polyline({{R.Left, R.Bottom}, {R.Left, R.Top}, {R.Right, R.Top}, {R.Right, R.Bottom}});
        break;
    case ipMiddle:
        line(R.Left, R.Top, R.Left, R.Bottom);
        line(R.Right, R.Top, R.Right, R.Bottom);
        break;
    case ipBottom:
        C->Polyline({{R.Left, R.Top}, {R.Left, R.Bottom}, {R.Right, R.Bottom}});
        line(R.Right, R.Top, R.Right, R.Bottom + 1);
        break;
    }
}

void TCustomColorSelector::Paint() {
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
    for (int i = 0; i < FItems->Count(); ++i) DrawItem(i, Canvas());
}

void TCustomColorSelector::InvalidateItem(int Index) {
    if (!validIndex(Index)) return;
    TRect r = FItems->Items(Index)->Rect();
    InflateRect(r, 1, 1);
    if (HandleAllocated()) InvalidateRect(Handle(), &r, true);
}

void TCustomColorSelector::SetItemIndex(int Index) {
    if (validIndex(Index) && !FItems->Items(Index)->Enabled()) return;
    if (FItemIndex != Index && validIndex(FItemIndex)) {
        const int old = FItemIndex;
        FItemIndex = -1;
        InvalidateItem(old);
    }
    FItemIndex = Index;
    if (Index < 0) return;
    FSelectedColor = FItems->Items(Index)->Color();
    InvalidateItem(Index);
    if (OnItemSelect) OnItemSelect(this);
}

void TCustomColorSelector::SetItemHot(int Index) {
    if (Index == FItemHot || (validIndex(Index) && !FItems->Items(Index)->Enabled())) return;
    const int old = FItemHot;
    FItemHot = Index;
    InvalidateItem(old);
    InvalidateItem(Index);
}

void TCustomColorSelector::SetSelectedColor(TColor Value) {
    if (Value == FSelectedColor) return;
    FSelectedColor = Value;
    int found = -1;
    for (int i = 0; i < FItems->Count() && found < 0 && Value != clNone; ++i)
        if (FItems->Items(i)->Color() == Value) found = i;
    SetItemIndex(found);
}

void TCustomColorSelector::SelectFirst() {
    if (FItems->Count() > 0) SetItemIndex(0);
}

void TCustomColorSelector::SelectLast() {
    if (FItems->Count() > 0) SetItemIndex(FItems->Count() - 1);
}

void TCustomColorSelector::SelectNext() {
    if (FItemIndex + 1 < FItems->Count()) SetItemIndex(FItemIndex + 1);
}

void TCustomColorSelector::SelectPrevious() {
    if (FItemIndex - 1 >= 0) SetItemIndex(FItemIndex - 1);
}

void TCustomColorSelector::HotNext() {
    if (FItemHot + 1 < FItems->Count()) SetItemHot(FItemHot + 1);
}

void TCustomColorSelector::HotPrevious() {
    if (FItemHot - 1 >= 0) SetItemHot(FItemHot - 1);
}

void TCustomColorSelector::HandleKey(WORD Key, bool EditorEnabled, bool DroppedDown) {
    if (!Enabled()) return;
    switch (Key) {
    case VK_NEXT:
    case VK_END:
        SelectLast();
        break;
    case VK_PRIOR:
    case VK_HOME:
        SelectFirst();
        break;
    case VK_LEFT:
        if (!(EditorEnabled && !DroppedDown)) SelectPrevious();
        break;
    case VK_RIGHT:
        if (!(EditorEnabled && !DroppedDown)) SelectNext();
        break;
    case VK_UP:
    case VK_DOWN: {
        if (!DroppedDown) {
            Key == VK_UP ? SelectPrevious() : SelectNext();
            break;
        }
        const int step = Key == VK_UP ? -FColumns : FColumns;
        const int i = FItemIndex < 0 ? 0 : FItemIndex + step;
        if (validIndex(i)) SetItemIndex(i);
        break;
    }
    default:
        break;
    }
}

int TCustomColorSelector::itemAt(int X, int Y) const {
    for (int i = 0; i < FItems->Count(); ++i)
        if (PtInRect(FItems->Items(i)->Rect(), {X, Y})) return i;
    return -1;
}

void TCustomColorSelector::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    const int i = itemAt(X, Y);
    if (validIndex(i) && FItems->Items(i)->Enabled()) SetItemIndex(i);
}

void TCustomColorSelector::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    const int i = itemAt(X, Y);
    if (!validIndex(i)) return;
    if (FItems->Items(i)->Enabled())
        SetItemHot(i);
    else
        SetItemHot(-1);
}

void TCustomColorSelector::CMMouseLeave(TMessage& Message) {
    TCustomControl::CMMouseLeave(Message);
    SetItemHot(-1);
}

// --- the colour cube -------------------------------------------------------------------------

TQorColorCubePanel::TQorColorCubePanel(TComponent* AOwner) : TCustomControl(AOwner) {
    BuildCells();
    SetShowRGBHint(true);
    SetParentColor(true);
}

void TQorColorCubePanel::BuildCells() {
    FCubeSize = {6, 3};
    int n = 0;
    for (int r = 1; r <= 13; ++r) {
        const int count = r <= 7 ? r + 6 : 20 - r;
        const int x0 = r <= 7 ? 55 - 6 * (r - 1) : 19 + 6 * (r - 7);
        for (int i = 0; i < count; ++i, ++n)
            FCells[n] = {x0 + i * 2 * FCubeSize.X, 20 + 10 * (r - 1), cubeColors[n]};
    }
}

void TQorColorCubePanel::Reset() {
    FHotIndex = -1;
    SetBounds(Left(), Top(), 182, 160);
}

void TQorColorCubePanel::SetShowRGBHint(bool Value) {
    FShowRGBHint = Value;
    SetShowHint(Value);
}

void TQorColorCubePanel::SetSelectedColor(TColor Value) {
    FSelectedColor = Value;
    FSelectedIndex = -1;
    for (int i = 1; i <= 127 && FSelectedIndex < 0; ++i)
        if (FCells[i - 1].Color == Value) FSelectedIndex = i;
}

int TQorColorCubePanel::CellAt(int X, int Y) const {
    for (int i = 1; i <= 127; ++i) {
        const int dx = FCells[i - 1].X - X, dy = FCells[i - 1].Y - Y;
        if (dx * dx + dy * dy <= FCubeSize.X * FCubeSize.X) return i;
    }
    return -1;
}

void TQorColorCubePanel::drawCell(TCanvas* C, int Index) {
    if (Index < 1 || Index > 127) return;
    const Cell& cell = FCells[Index - 1];
    C->Pen()->SetWidth(1);
    C->Pen()->SetColor(cell.Color);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(cell.Color);
    hexagon(C, cell.X, cell.Y, 6, 3);
    auto outline = [&](TColor outer) {
        C->Brush()->SetStyle(bsClear);
        C->Pen()->SetColor(outer);
        hexagon(C, cell.X, cell.Y, 5, 3);
        C->Pen()->SetColor(clWhite);
        hexagon(C, cell.X, cell.Y, 4, 2);
    };
    if (Index == FHotIndex) outline(clRed);
    if (Index == FSelectedIndex) outline(clBlack);
}

void TQorColorCubePanel::Paint() {
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
    for (int i = 1; i <= 127; ++i) drawCell(Canvas(), i);
}

void TQorColorCubePanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    const int i = CellAt(X, Y);
    if (i < 0) return;
    const int old = FSelectedIndex;
    FSelectedIndex = -1;
    drawCell(Canvas(), old);
    FSelectedColor = FCells[i - 1].Color;
    FSelectedIndex = i;
    drawCell(Canvas(), i);
    if (OnSelect) OnSelect(this);
}

void TQorColorCubePanel::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    const int i = CellAt(X, Y);
    if (i < 0) {
        if (FShowRGBHint) {
            SetHint("");
            Application->CancelHint();
        }
        return;
    }
    if (i == FHotIndex) return;
    const int old = FHotIndex;
    FHotIndex = -1;
    drawCell(Canvas(), old);
    FHotIndex = i;
    drawCell(Canvas(), i);
    if (FShowRGBHint) {
        const TColor c = FCells[i - 1].Color;
        SetHint(Format("Red: %d,  Green: %d,  Blue: %d", GetRValue(c), GetGValue(c), GetBValue(c)));
        Application->CancelHint();
    }
}

// --- the spectrum ----------------------------------------------------------------------------

std::unique_ptr<TBitmap> MakeSpectrumBitmap() {
    auto b = std::make_unique<TBitmap>(128, 128);
    b->SetPixelFormat(pf24bit);
    for (int x = 0; x < 128; ++x) {
        // The saturated hue of the column.
        const double h = 6.0 * x / 128;
        const double f = h - std::floor(h);
        double rgb[3];
        switch (int(h) % 6) {
        case 0:
            rgb[0] = 1, rgb[1] = f, rgb[2] = 0;
            break;
        case 1:
            rgb[0] = 1 - f, rgb[1] = 1, rgb[2] = 0;
            break;
        case 2:
            rgb[0] = 0, rgb[1] = 1, rgb[2] = f;
            break;
        case 3:
            rgb[0] = 0, rgb[1] = 1 - f, rgb[2] = 1;
            break;
        case 4:
            rgb[0] = f, rgb[1] = 0, rgb[2] = 1;
            break;
        default:
            rgb[0] = 1, rgb[1] = 0, rgb[2] = 1 - f;
            break;
        }
        for (int y = 0; y < 128; ++y) {
            // Lightness from almost white (row 0) through the hue (row 64) to almost black.
            const double l = 1.0 - (y + 0.5) / 128;
            int c[3];
            for (int k = 0; k < 3; ++k) {
                const double v = l >= 0.5 ? rgb[k] + (1 - rgb[k]) * (l - 0.5) * 2 : rgb[k] * l * 2;
                c[k] = int(std::lround(v * 255));
            }
            b->Canvas()->SetPixels(x, y, RGB(c[0], c[1], c[2]));
        }
    }
    return b;
}

std::unique_ptr<TBitmap> MakeEyedropperBitmap() {
    auto b = std::make_unique<TBitmap>(32, 32);
    TCanvas& c = *b->Canvas();
    c.Brush()->SetColor(clFuchsia);
    c.FillRect({0, 0, 32, 32});
    c.Pen()->SetColor(clBlack);
    c.Brush()->SetColor(clWhite);
    // The glass tube from the tip up and to the right, its collar and the rubber bulb.
    c.Polygon({{1, 30}, {2, 26}, {16, 12}, {19, 15}, {5, 29}});
    c.Brush()->SetColor(clBlack);
    c.Polygon({{13, 11}, {17, 7}, {24, 14}, {20, 18}});
    c.Ellipse(19, 2, 30, 13);
    b->SetTransparentColor(clFuchsia);
    return b;
}

TQorColorSpectrumPanel::TQorColorSpectrumPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    SetParentColor(true);
    FSpectrumImage = new TImage(this);
    FSpectrumImage->SetParent(this);
    FSpectrumImage->SetBounds(0, 0, 128, 128);
    FSpectrumImage->Picture()->SetGraphic(MakeSpectrumBitmap().get());
    if (Screen && !Screen->CursorImage(crEyedropper))
        Screen->SetCursorImage(crEyedropper, *MakeEyedropperBitmap(), EyedropperHotSpot);
    FSpectrumImage->SetCursor(crEyedropper);
    FSpectrumImage->OnMouseMove = [this](TObject*, TShiftState, int X, int Y) {
        FHotColor = FSpectrumImage->Picture()->Bitmap()->Canvas()->Pixels(X, Y);
        drawPreview(Canvas(), FHotRect, FHotColor);
    };
    FSpectrumImage->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) {
        FSelectedColor = FHotColor;
        drawPreview(Canvas(), FSelectedRect, FSelectedColor);
        if (OnSelect) OnSelect(this);
    };
}

void TQorColorSpectrumPanel::LayoutPanel() {
    SetBounds(Left(), Top(), 150, 174);
    FSpectrumImage->SetBounds((150 - 128) / 2, 10, 128, 128);
    const TRect p = FSpectrumImage->BoundsRect();
    FSelectedRect = {p.Left - 1, p.Bottom + 8, p.Left + p.Width() / 2 - 2, p.Bottom + 28};
    FHotRect = {FSelectedRect.Right + 4, FSelectedRect.Top, p.Left + p.Width() + 1,
                FSelectedRect.Bottom};
    FHotColor = clNone;
    Invalidate();
}

void TQorColorSpectrumPanel::drawPreview(TCanvas* C, const TRect& R, TColor Colour) {
    C->Pen()->SetWidth(1);
    C->Brush()->SetStyle(bsClear);
    C->Pen()->SetColor(clGray);
    C->Rectangle(R.Left - 1, R.Top - 1, R.Right + 1, R.Bottom + 1);
    C->Pen()->SetColor(clWhite);
    if (Colour != clNone) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Colour);
    }
    C->Rectangle(R);
}

void TQorColorSpectrumPanel::Paint() {
    TCanvas* C = Canvas();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color());
    C->FillRect(ClientRect());
    const TRect p = FSpectrumImage->BoundsRect();
    C->Brush()->SetStyle(bsClear);
    C->Pen()->SetWidth(1);
    C->Pen()->SetColor(clWhite);
    C->Rectangle(p.Left - 1, p.Top - 1, p.Right + 1, p.Bottom + 1);
    C->Pen()->SetColor(clGray);
    C->Rectangle(p.Left - 2, p.Top - 2, p.Right + 2, p.Bottom + 2);
    drawPreview(C, FSelectedRect, FSelectedColor);
    drawPreview(C, FHotRect, FHotColor);
}
