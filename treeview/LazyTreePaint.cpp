// Painting: PaintTree walks the rows in a window of the tree's content and paints each into a
// one-row bitmap, cell by cell (background and selection, tree lines, expand button, check box,
// images, content), then fills what lies below the last row. A right-to-left cell lays its parts
// out from its right edge.
#include "platform/ui/core/Forms.h"
#include "treeview/LazyTree.h"
#include "treeview/LazyTreeUtils.h"

#include <algorithm>
#include <cmath>

namespace {

// Round to the nearest integer, halves to the even neighbour.
int roundEven(double v) {
    return int(std::nearbyint(v));
}

constexpr std::array<std::uint16_t, 8> dottedPattern{0x55, 0xAA, 0x55, 0xAA,
                                                     0x55, 0xAA, 0x55, 0xAA};
constexpr std::array<std::uint16_t, 8> solidPattern{0, 0, 0, 0, 0, 0, 0, 0};

} // namespace

// --- line images ------------------------------------------------------------------------------

bool TBaseLazyTree::hasVisibleSiblingAfter(PLazyNode Node) const {
    for (PLazyNode s = Node->NextSibling; s; s = s->NextSibling)
        if (GetEffectivelyVisible(s)) return true;
    return false;
}

bool TBaseLazyTree::hasVisibleSiblingBefore(PLazyNode Node) const {
    for (PLazyNode s = Node->PrevSibling; s; s = s->PrevSibling)
        if (GetEffectivelyVisible(s)) return true;
    return false;
}

int TBaseLazyTree::ComputeLineImage(PLazyNode Node, TLineImage& LineImage) {
    const TLTPaintOptions paint = TreeOptions()->PaintOptions();
    int count = paint.Contains(toShowRoot) ? 1 : 0;
    int selectedAncestors = 0;
    for (PLazyNode p = Node->Parent; p != FRoot; p = p->Parent) {
        ++count;
        if (p->States.Contains(vsSelected)) ++selectedAncestors;
    }
    LineImage.assign(std::size_t(count), ltNone);
    int pos = count - 1;
    if (!paint.Contains(toShowTreeLines) ||
        (paint.Contains(toHideTreeLinesIfThemed) && FStates.Contains(tsUseThemes)))
        return selectedAncestors;
    const bool topLevel = Node->Parent == FRoot;
    if (paint.Contains(toChildrenAbove)) {
        if (pos >= 0) {
            const bool follows = !topLevel || hasVisibleSiblingAfter(Node);
            if (hasVisibleSiblingBefore(Node))
                LineImage[std::size_t(pos)] = follows ? ltTopDownRight : ltTopRight;
            else
                LineImage[std::size_t(pos)] = follows ? ltBottomRight : ltRight;
        }
        for (PLazyNode p = Node->Parent; p != FRoot && --pos >= 0; p = p->Parent)
            LineImage[std::size_t(pos)] = hasVisibleSiblingBefore(p) ? ltTopDown : ltNone;
    } else {
        if (!topLevel) {
            LineImage[std::size_t(pos)] =
                hasVisibleSiblingAfter(Node) ? ltTopDownRight : ltTopRight;
            for (PLazyNode p = Node->Parent; p->Parent != FRoot && --pos >= 0; p = p->Parent)
                LineImage[std::size_t(pos)] = hasVisibleSiblingAfter(p) ? ltTopDown : ltNone;
        }
        if (paint.Contains(toShowRoot)) {
            if (topLevel) {
                const bool first = !hasVisibleSiblingBefore(Node);
                const bool last = !hasVisibleSiblingAfter(Node);
                LineImage[0] = first && last ? ltRight
                               : first       ? ltBottomRight
                               : last        ? ltTopRight
                                             : ltTopDownRight;
            } else {
                PLazyNode top = Node;
                while (top->Parent != FRoot) top = top->Parent;
                LineImage[0] = hasVisibleSiblingAfter(top) ? ltTopDown : ltNone;
            }
        }
    }
    if (FStates.Contains(tsUseExplorerTheme) && Node->States.Contains(vsHasChildren) && count > 0)
        LineImage[std::size_t(count - 1)] = ltNone;
    return selectedAncestors;
}

TLineImage TBaseLazyTree::DeriveBandImage(const TLineImage& LineImage, bool OpenWithVisibleChild) {
    TLineImage band(LineImage.size(), ltNone);
    for (std::size_t i = LineImage.size(); i-- > 0;) {
        if (OpenWithVisibleChild) {
            band[i] = ltLeft;
            continue;
        }
        switch (LineImage[i]) {
        case ltBottomRight:
        case ltTopDownRight:
        case ltRight:
        case ltTopRight:
            band[i] = ltLeftBottom;
            break;
        case ltNone:
        case ltTopDown:
            // The rightmost level has no level to its right: it closes its band like a level
            // with a stub does.
            if (i + 1 == LineImage.size())
                band[i] = ltLeftBottom;
            else if (LineImage[i + 1] == ltNone || LineImage[i + 1] == ltTopRight)
                band[i] = band[i + 1];
            else
                band[i] = ltLeft;
            break;
        default:
            band[i] = ltNone;
            break;
        }
    }
    return band;
}

void TBaseLazyTree::ComputeVerticalAlignment(bool ImagesUsed, bool StateImagesUsed, int& ButtonY,
                                             int& VAlign, PLazyNode Node) {
    const int height = int(Node->NodeHeight);
    const int align = Node->Align;
    switch (FNodeAlignment) {
    case naFromBottom:
        VAlign = height - align;
        break;
    case naFromTop:
        VAlign = align;
        break;
    case naProportional:
        if (ImagesUsed || StateImagesUsed) {
            const int imageHeight =
                ImagesUsed ? FImages->Height() : (FStateImages ? FStateImages->Height() : 0);
            VAlign = MulDiv(height - imageHeight, align, 100) + imageHeight / 2;
        } else if (TreeOptions()->PaintOptions().Contains(toShowButtons)) {
            const int buttonHeight = FMinusBM ? FMinusBM->Height() : 9;
            VAlign = MulDiv(height - buttonHeight, align, 100) + buttonHeight / 2;
        } else {
            VAlign = MulDiv(height, align, 100);
        }
        break;
    }
    const int buttonHeight = FMinusBM ? FMinusBM->Height() : 9;
    ButtonY = VAlign - buttonHeight / 2 - buttonHeight % 2;
}

// --- dotted lines -----------------------------------------------------------------------------

void TBaseLazyTree::dottedFill(TCanvas* Canvas, const TRect& R, TColor Line, TColor Back) {
    if (R.Right <= R.Left || R.Bottom <= R.Top) return;
    const TColor line = ColorToRGB(Line), back = ColorToRGB(Back);
    // Every bit clear: one solid fill in the line colour.
    if (std::all_of(FLineBits.begin(), FLineBits.end(),
                    [](std::uint16_t b) { return (b & 0xFF) == 0; })) {
        FillRect(Canvas, R, line);
        return;
    }
    if (!FLineBrush || FLineBrushFore != line || FLineBrushBack != back) {
        // Clear bits take the line colour, set bits the background colour.
        if (!FLineBrush) FLineBrush = std::make_unique<TBitmap>(8, 8);
        TCanvas* b = FLineBrush->Canvas();
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                b->SetPixels(x, y, (FLineBits[std::size_t(y)] >> (7 - x)) & 1 ? back : line);
        FLineBrushFore = line;
        FLineBrushBack = back;
    }
    TBrush* brush = Canvas->Brush();
    TBitmap* old = brush->Bitmap();
    brush->SetBitmap(FLineBrush.get());
    Canvas->FillRect(R);
    brush->SetBitmap(old);
}

void TBaseLazyTree::DrawDottedHorzLine(TLTPaintInfo& PaintInfo, int Left, int Right, int Top) {
    dottedFill(PaintInfo.Canvas,
               TRect(std::min(Left, Right), Top, std::max(Left, Right) + 1, Top + 1),
               PaintInfo.Canvas->Font()->Color(), Colors()->BackGroundColor());
}

void TBaseLazyTree::DrawDottedVertLine(TLTPaintInfo& PaintInfo, int Top, int Bottom, int Left,
                                       bool UseSelectedBkColor) {
    TColor back = Colors()->BackGroundColor();
    if (UseSelectedBkColor)
        back = Focused() || TreeOptions()->PaintOptions().Contains(toPopupMode)
                   ? Colors()->FocusedSelectionColor()
                   : Colors()->UnfocusedSelectionColor();
    dottedFill(PaintInfo.Canvas,
               TRect(Left, std::min(Top, Bottom), Left + 1, std::max(Top, Bottom) + 1),
               PaintInfo.Canvas->Font()->Color(), back);
}

void TBaseLazyTree::PaintLineSegment(TLTPaintInfo& PaintInfo, int X, int Y, int H, int VAlign,
                                     TLTLineType Style, bool Reverse) {
    const int half = roundEven(double(FIndent) / 2);
    const int stubEnd = Reverse ? X : X + int(FIndent);
    switch (Style) {
    case ltNone:
        break;
    case ltBottomRight:
        DrawDottedVertLine(PaintInfo, Y + VAlign, Y + H, X + half, false);
        DrawDottedHorzLine(PaintInfo, X + half, stubEnd, Y + VAlign);
        break;
    case ltTopDown:
        DrawDottedVertLine(PaintInfo, Y, Y + H, X + half, false);
        break;
    case ltTopDownRight:
        DrawDottedVertLine(PaintInfo, Y, Y + H, X + half, false);
        DrawDottedHorzLine(PaintInfo, X + half, stubEnd, Y + VAlign);
        break;
    case ltRight:
        DrawDottedHorzLine(PaintInfo, X + half, stubEnd, Y + VAlign);
        break;
    case ltTopRight:
        DrawDottedVertLine(PaintInfo, Y, Y + VAlign, X + half, false);
        DrawDottedHorzLine(PaintInfo, X + half, stubEnd, Y + VAlign);
        break;
    case ltLeft:
        DrawDottedVertLine(PaintInfo, Y, Y + H, Reverse ? X + int(FIndent) : X, false);
        break;
    case ltLeftBottom:
        DrawDottedVertLine(PaintInfo, Y, Y + H, Reverse ? X + int(FIndent) : X, false);
        DrawDottedHorzLine(PaintInfo, X, X + int(FIndent), Y + H);
        break;
    }
}

void TBaseLazyTree::PaintConnectorLines(TLTPaintInfo& PaintInfo, int VAlignment, int IndentSize,
                                        const TLineImage& LineImage) {
    const PLazyNode node = PaintInfo.Node;
    const int levelBase = TreeOptions()->PaintOptions().Contains(toShowRoot) ? 0 : 1;
    const int count = std::min(IndentSize, int(LineImage.size()));
    const bool rtl = PaintInfo.BidiMode != bdLeftToRight;
    const int step = rtl ? -int(FIndent) : int(FIndent);
    auto loop = [&](const TLineImage& image, TColor color, int height) {
        PaintInfo.Canvas->Font()->SetColor(color);
        int x = rtl ? PaintInfo.CellRect.Right - int(FIndent) : PaintInfo.CellRect.Left;
        for (int i = 0; i < count; ++i) {
            if (OnBeforeDrawTreeLine) OnBeforeDrawTreeLine(this, node, i + levelBase, x);
            PaintLineSegment(PaintInfo, x, PaintInfo.CellRect.Top, height, VAlignment - 1,
                             image[std::size_t(i)], rtl);
            x += step;
        }
    };
    if (FLineMode == lmNormal) {
        loop(LineImage, Colors()->TreeLineColor(), int(node->NodeHeight));
        return;
    }
    if (!PaintInfo.PaintOptions.Contains(poGridLines)) return;
    const bool open = node->States.Contains(vsExpanded) && GetFirstVisibleChildNoInit(node);
    loop(DeriveBandImage(TLineImage(LineImage.begin(), LineImage.begin() + count), open),
         Colors()->GridLineColor(), int(node->NodeHeight) - 1);
}

// --- buttons ----------------------------------------------------------------------------------

void TBaseLazyTree::BuildButtonBitmaps(bool NeedButtons, bool NeedLines) {
    if (NeedButtons) {
        int size = 9;
        const TColor prepared = clFuchsia;
        auto prepare = [&](std::unique_ptr<TBitmap>& bm) {
            if (!bm) bm = std::make_unique<TBitmap>();
            bm->SetSize(size, size);
            bm->SetTransparentColor(prepared);
            FillRect(bm->Canvas(), TRect(0, 0, size, size), prepared);
        };
        if (OnPrepareButtonBitmaps) {
            for (auto* bm : {&FPlusBM, &FHotPlusBM, &FSelectedHotPlusBM, &FMinusBM, &FHotMinusBM,
                             &FSelectedHotMinusBM})
                prepare(*bm);
            TSize buttonSize{size, size};
            OnPrepareButtonBitmaps(this, FPlusBM.get(), FHotPlusBM.get(), FSelectedHotPlusBM.get(),
                                   FMinusBM.get(), FHotMinusBM.get(), FSelectedHotMinusBM.get(),
                                   buttonSize);
        } else {
            for (auto* bm : {&FPlusBM, &FMinusBM}) prepare(*bm);
            auto drawButton = [&](TBitmap* bm, bool plus) {
                TCanvas* c = bm->Canvas();
                if (FButtonStyle == bsTriangle) {
                    c->Brush()->SetColor(clBlack);
                    c->Pen()->SetColor(clBlack);
                    if (plus)
                        c->Polygon({{2, 0}, {6, 4}, {2, 8}});
                    else
                        c->Polygon({{0, 2}, {8, 2}, {4, 6}});
                    return;
                }
                c->Pen()->SetColor(Colors()->TreeLineColor());
                if (FButtonFillMode == fmShaded) {
                    // The shaded button: a light-to-face gradient in a grey frame.
                    GradientFillRect(c, TRect(0, 0, size, size), clWhite, clBtnFace, true);
                    c->Brush()->SetStyle(bsClear);
                    c->Pen()->SetColor(clBtnShadow);
                } else {
                    TColor fill = Colors()->BackGroundColor();
                    if (FButtonFillMode == fmWindowColor) fill = clWindow;
                    if (FButtonFillMode == fmTransparent) fill = prepared;
                    c->Brush()->SetColor(fill);
                }
                c->Rectangle(0, 0, size, size);
                c->Brush()->SetStyle(bsSolid);
                c->Pen()->SetColor(Colors()->NodeFontColor());
                c->MoveTo(2, size / 2);
                c->LineTo(size - 2, size / 2);
                if (plus) {
                    c->MoveTo(size / 2, 2);
                    c->LineTo(size / 2, size - 2);
                }
            };
            if (!FStates.Contains(tsUseExplorerTheme)) {
                drawButton(FMinusBM.get(), false);
                drawButton(FPlusBM.get(), true);
            }
            // Without a theme the hot buttons look like the plain ones.
            const std::pair<std::unique_ptr<TBitmap>*, const TBitmap*> copies[] = {
                {&FHotPlusBM, FPlusBM.get()},
                {&FSelectedHotPlusBM, FPlusBM.get()},
                {&FHotMinusBM, FMinusBM.get()},
                {&FSelectedHotMinusBM, FMinusBM.get()}};
            for (auto [copy, from] : copies) {
                *copy = std::make_unique<TBitmap>();
                (*copy)->Assign(from);
            }
        }
    }
    if (NeedLines) {
        const std::uint16_t* bits = nullptr;
        if (FLineStyle == lsCustomStyle && OnGetLineStyle) OnGetLineStyle(this, bits);
        if (bits)
            std::copy(bits, bits + 8, FLineBits.begin());
        else
            FLineBits = FLineStyle == lsSolid ? solidPattern : dottedPattern;
        FLineBrushFore = FLineBrushBack = clNone;
    }
}

void TBaseLazyTree::ensureButtonBitmaps() {
    const ButtonLook look{FButtonStyle,
                          FButtonFillMode,
                          FLineStyle,
                          ColorToRGB(Colors()->BackGroundColor()),
                          ColorToRGB(Colors()->TreeLineColor()),
                          ColorToRGB(Colors()->NodeFontColor()),
                          bool(OnGetLineStyle),
                          bool(OnPrepareButtonBitmaps)};
    if (FMinusBM && look == FButtonLook) return;
    FButtonLook = look;
    BuildButtonBitmaps(true, true);
}

void TBaseLazyTree::PaintExpandButton(TCanvas* Canvas, PLazyNode Node, int, const TRect& R,
                                      int ButtonX, int ButtonY, TBiDiMode BidiMode) {
    const bool expanded = Node->States.Contains(vsExpanded);
    const TBitmap* bm = expanded ? FMinusBM.get() : FPlusBM.get();
    if (Node == FCurrentHotNode && FHotNodeButtonHit) {
        if (Node->States.Contains(vsSelected))
            bm = expanded ? FSelectedHotMinusBM.get() : FSelectedHotPlusBM.get();
        else
            bm = expanded ? FHotMinusBM.get() : FHotPlusBM.get();
    }
    if (!bm) return;
    const int x = BidiMode != bdLeftToRight ? R.Right - ButtonX - bm->Width() : R.Left + ButtonX;
    Canvas->Draw(x, R.Top + ButtonY, bm);
}

// --- images -----------------------------------------------------------------------------------

void TBaseLazyTree::FireGetImageText(PLazyNode Node, TLTImageKind Kind, int Column,
                                     std::string& ImageText) {
    if (OnGetImageText) OnGetImageText(this, Node, Kind, Column, ImageText);
}

std::string TBaseLazyTree::GetImageText(PLazyNode Node, TLTImageKind Kind, int Column) {
    if (!Node) throw EAssertionFailed("Node must not be nil.");
    initIfNeeded(Node);
    std::string text;
    FireGetImageText(Node, Kind, Column, text);
    return text;
}

TPoint TBaseLazyTree::QueryCellContentMargin(PLazyNode Node, int Column,
                                             TVTCellContentMarginType CellContentMarginType,
                                             TCanvas* Canvas) {
    if (!OnBeforeCellPaint) return {0, 0};
    if (!Canvas) Canvas = this->Canvas();
    Canvas->Font()->Assign(Font());
    const TRect cell = GetDisplayRect(Node, Column, false, false, true);
    TRect content = cell;
    OnBeforeCellPaint(this, Canvas, Node, Column, cpmGetContentMargin, cell, content);
    switch (CellContentMarginType) {
    case ccmtTopLeftOnly:
        return {content.Left - cell.Left, content.Top - cell.Top};
    case ccmtBottomRightOnly:
        return {cell.Right - content.Right, cell.Bottom - content.Bottom};
    default:
        return {cell.Width() - content.Width(), cell.Height() - content.Height()};
    }
}

int TBaseLazyTree::LookupImage(TLTPaintInfo& PaintInfo, TLTImageKind Kind, TLTPaintImageIndex Slot,
                               TImageList* DefaultImages) {
    TLTPaintImage& image = PaintInfo.ImageInfo[Slot];
    image.Index = -1;
    image.Ghosted = false;
    TImageList* list =
        FireGetImageIndex(PaintInfo.Node, Kind, PaintInfo.Column, image.Ghosted, image.Index);
    image.Images = list ? list : DefaultImages;
    return image.Index;
}

void TBaseLazyTree::PlaceImage(TImageList* Images, TBiDiMode BidiMode, int VAlign, TRect& R,
                               TLTPaintImage& Slot) {
    if (BidiMode == bdLeftToRight) {
        Slot.XPos = R.Left - 1;
        R.Left += Images->Width() + 2;
    } else {
        Slot.XPos = R.Right - Images->Width();
        R.Right -= Images->Width() + 2;
    }
    Slot.YPos = R.Top + VAlign - Images->Height() / 2;
}

void TBaseLazyTree::ShiftContentByIndent(TLTPaintInfo& PaintInfo, int Levels) {
    int offset = Levels * int(FIndent);
    if (PaintInfo.BidiMode == bdLeftToRight) {
        PaintInfo.ContentRect.Left += offset;
    } else {
        PaintInfo.ContentRect.Right -= offset;
        offset = -offset;
    }
    for (TLTPaintImageIndex slot : {piNormal, piState, piCheck})
        PaintInfo.ImageInfo[slot].XPos += offset;
}

void TBaseLazyTree::PaintNodeImage(TLTPaintInfo& PaintInfo, TLTPaintImageIndex Slot,
                                   bool DoOverlay) {
    TLTPaintImage& image = PaintInfo.ImageInfo[Slot];
    if (!image.Images || image.Index < 0) return;
    int overlay = -1;
    if (DoOverlay) {
        overlay = LookupImage(PaintInfo, ikOverlay, piOverlay, FImages);
        const TLTPaintImage& o = PaintInfo.ImageInfo[piOverlay];
        if (overlay == image.Index && o.Images == image.Images) overlay = -1;
    }
    const bool enabled = !PaintInfo.Node->States.Contains(vsDisabled) && Enabled();
    if (enabled)
        image.Images->Draw(PaintInfo.Canvas, image.XPos, image.YPos, image.Index);
    else
        image.Images->DrawGrayed(PaintInfo.Canvas, image.XPos, image.YPos, image.Index);
    const TLTPaintImage& o = PaintInfo.ImageInfo[piOverlay];
    if (overlay >= 0 && o.Images) o.Images->Draw(PaintInfo.Canvas, image.XPos, image.YPos, overlay);
}

// --- backgrounds and selection ----------------------------------------------------------------

void TBaseLazyTree::PaintFixedBackground(TBitmap* Bitmap, TCanvas* Canvas, const TRect& R,
                                         TPoint Offset) {
    FillRect(Canvas, R, ColorToRGB(Color()));
    TRect shown = R;
    OffsetRect(shown, Offset.X, Offset.Y);
    TRect picture =
        Bounds(FBackgroundOffsetX, FBackgroundOffsetY, Bitmap->Width(), Bitmap->Height());
    TRect part;
    if (!IntersectRect(part, picture, shown)) return;
    const int x = part.Left - Offset.X, y = part.Top - Offset.Y;
    const int sx = part.Left - picture.Left, sy = part.Top - picture.Top;
    if (Bitmap->Transparent())
        TransparentBlt(Canvas, x, y, part.Width(), part.Height(), Bitmap->Canvas(), sx, sy,
                       part.Width(), part.Height(), Bitmap->TransparentColor());
    else
        BitBlt(Canvas, x, y, part.Width(), part.Height(), Bitmap->Canvas(), sx, sy, SRCCOPY);
}

void TBaseLazyTree::PaintTiledBackground(TBitmap* Bitmap, TCanvas* Canvas, const TRect& R,
                                         TPoint Offset) {
    const int w = Bitmap->Width(), h = Bitmap->Height();
    if (w <= 0 || h <= 0) return;
    auto phase = [](int v, int size) { return ((v % size) + size) % size; };
    int sy = phase(R.Top + Offset.Y + FBackgroundOffsetY, h);
    for (int y = R.Top; y < R.Bottom; sy = 0) {
        const int rows = std::min(h - sy, R.Bottom - y);
        int sx = phase(R.Left + Offset.X + FBackgroundOffsetX, w);
        for (int x = R.Left; x < R.Right; sx = 0) {
            const int columns = std::min(w - sx, R.Right - x);
            BitBlt(Canvas, x, y, columns, rows, Bitmap->Canvas(), sx, sy, SRCCOPY);
            x += columns;
        }
        y += rows;
    }
}

TBitmap* TBaseLazyTree::backgroundBitmap() const {
    if (!TreeOptions()->PaintOptions().Contains(toShowBackground)) return nullptr;
    auto* bitmap = dynamic_cast<TBitmap*>(FBackground->Graphic());
    return bitmap && !bitmap->Empty() ? bitmap : nullptr;
}

void TBaseLazyTree::PaintItemBackground(TLTPaintInfo& PaintInfo, bool UseBackground, TRect R,
                                        bool Relative) {
    TCanvas* canvas = PaintInfo.Canvas;
    TColor color = Colors()->BackGroundColor();
    TItemEraseAction action = eaDefault;
    TPoint offset;
    if (Relative) {
        offset = TPoint(-FEffectiveOffsetX, R.Top);
        R = TRect(R.Left, 0, R.Right, R.Bottom - R.Top);
    }
    if (OnBeforeItemErase) OnBeforeItemErase(this, canvas, PaintInfo.Node, R, color, action);
    const TLTPaintOptions paint = TreeOptions()->PaintOptions();
    switch (action) {
    case eaColor:
        FillRect(canvas, R, ColorToRGB(color));
        break;
    case eaNone:
        break;
    case eaDefault:
        if (UseBackground) {
            if (paint.Contains(toStaticBackground))
                PaintFixedBackground(backgroundBitmap(), canvas, R, offset);
            else
                PaintTiledBackground(backgroundBitmap(), canvas, R, offset);
        } else if (PaintInfo.PaintOptions.Contains(poDrawSelection) &&
                   TreeOptions()->SelectionOptions().Contains(toFullRowSelect) &&
                   PaintInfo.Node->States.Contains(vsSelected) &&
                   !paint.Contains(toUseBlendedSelection) &&
                   !FStates.Contains(tsUseExplorerTheme)) {
            TRect r = R;
            if (paint.Contains(toShowHorzGridLines)) {
                FillRect(canvas, TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom), ColorToRGB(color));
                --r.Bottom;
            }
            const bool focused = Focused() || paint.Contains(toPopupMode);
            canvas->Brush()->SetStyle(bsSolid);
            canvas->Brush()->SetColor(focused ? Colors()->FocusedSelectionColor()
                                              : Colors()->UnfocusedSelectionColor());
            canvas->Pen()->SetColor(focused ? Colors()->FocusedSelectionBorderColor()
                                            : Colors()->UnfocusedSelectionBorderColor());
            canvas->RoundRect(r, int(FSelectionCurveRadius), int(FSelectionCurveRadius));
        } else {
            FillRect(canvas, R, ColorToRGB(color));
        }
        break;
    }
    if (OnAfterItemErase) OnAfterItemErase(this, canvas, PaintInfo.Node, R);
}

void TBaseLazyTree::PaintCellBackground(TLTPaintInfo& PaintInfo, int WindowOrgX, int MaxWidth) {
    TCanvas* canvas = PaintInfo.Canvas;
    const PLazyNode node = PaintInfo.Node;
    const TLTPaintOptions paint = TreeOptions()->PaintOptions();
    const TLTSelectionOptions selection = TreeOptions()->SelectionOptions();
    if (OnBeforeCellPaint)
        OnBeforeCellPaint(this, canvas, node, PaintInfo.Column, cpmPaint, PaintInfo.CellRect,
                          PaintInfo.ContentRect);
    TRect inner = PaintInfo.ContentRect;
    if (!TreeOptions()->MiscOptions().Contains(toGridExtensions)) {
        const int width = inner.Right - inner.Left;
        switch (PaintInfo.Alignment) {
        case taLeftJustify:
            if (inner.Left + PaintInfo.NodeWidth < inner.Right)
                inner.Right = inner.Left + PaintInfo.NodeWidth;
            break;
        case taRightJustify:
            if (PaintInfo.NodeWidth < width) inner.Left = inner.Right - PaintInfo.NodeWidth;
            break;
        case taCenter:
            if (PaintInfo.NodeWidth < width) {
                inner.Left = (inner.Left + inner.Right - PaintInfo.NodeWidth) / 2;
                inner.Right = inner.Left + PaintInfo.NodeWidth;
            }
            break;
        }
    }
    const bool inFocusedColumn =
        PaintInfo.Column == FocusedColumn() || selection.Contains(toFullRowSelect);
    const bool focused = Focused() || paint.Contains(toPopupMode);
    // A node that dropped data would go onto shows the drop target's colours.
    const bool dropTarget = inFocusedColumn && PaintInfo.PaintOptions.Contains(poDrawDropMark) &&
                            node == FDropTargetNode &&
                            (FLastDropMode == dmOnNode || !paint.Contains(toShowDropmark));
    if (dropTarget && inner.Right > inner.Left) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(Colors()->DropTargetColor());
        canvas->Pen()->SetColor(Colors()->DropTargetBorderColor());
        canvas->RoundRect(inner, int(FSelectionCurveRadius), int(FSelectionCurveRadius));
    } else if (inFocusedColumn && PaintInfo.PaintOptions.Contains(poDrawSelection) &&
               node->States.Contains(vsSelected)) {
        if (TreeOptions()->MiscOptions().Contains(toGridExtensions) ||
            selection.Contains(toFullRowSelect))
            inner = PaintInfo.CellRect;
        if (inner.Right > inner.Left && inner.Bottom > inner.Top) {
            const TColor fill =
                focused ? Colors()->FocusedSelectionColor() : Colors()->UnfocusedSelectionColor();
            if (CpuMMXPresent && paint.Contains(toUseBlendedSelection)) {
                TRect r = inner;
                r.Left = std::max(r.Left, WindowOrgX);
                r.Right = std::min(r.Right, WindowOrgX + MaxWidth);
                // The blend works on device pixels.
                TPoint corners[2] = {{r.Left, r.Top}, {r.Right, r.Bottom}};
                LPtoDP(canvas, corners, 2);
                BlendRect(nullptr, canvas,
                          TRect(corners[0].X, corners[0].Y, corners[1].X, corners[1].Y),
                          TPoint(0, 0), abMasterAndColor, FSelectionBlendFactor, ColorToRGB(fill));
            } else {
                canvas->Brush()->SetStyle(bsSolid);
                canvas->Brush()->SetColor(fill);
                canvas->Pen()->SetColor(focused ? Colors()->FocusedSelectionBorderColor()
                                                : Colors()->UnfocusedSelectionBorderColor());
                canvas->RoundRect(inner, int(FSelectionCurveRadius), int(FSelectionCurveRadius));
            }
        }
    }
    if (inFocusedColumn && PaintInfo.PaintOptions.Contains(poDrawFocusRect) && focused &&
        node == FocusedNode()) {
        TRect r =
            TreeOptions()->MiscOptions().Contains(toGridExtensions) ? PaintInfo.CellRect : inner;
        const TColor text = SetTextColor(canvas, clWhite);
        const TColor back = SetBkColor(canvas, clBlack);
        canvas->DrawFocusRect(r);
        SetTextColor(canvas, text);
        SetBkColor(canvas, back);
    }
}

void TBaseLazyTree::PaintRubberBand(TCanvas* Canvas, int WindowOrgX, const TRect& SelectionRect,
                                    TRect TargetRect) {
    if ((FDrawSelectionMode == smBlendedRectangle || FStates.Contains(tsUseThemes)) &&
        CpuMMXPresent && Canvas->Target() && Canvas->Target()->PixelFormat() == pf32bit) {
        OffsetRect(TargetRect, WindowOrgX, 0);
        TRect r;
        if (!IntersectRect(r, SelectionRect, TargetRect)) return;
        // The blend works on device pixels.
        TPoint corners[2] = {{r.Left, r.Top}, {r.Right, r.Bottom}};
        LPtoDP(Canvas, corners, 2);
        BlendRect(nullptr, Canvas, TRect(corners[0].X, corners[0].Y, corners[1].X, corners[1].Y),
                  TPoint(0, 0), abMasterAndColor, FSelectionBlendFactor,
                  ColorToRGB(Colors()->SelectionRectangleBlendColor()));
        FrameRect(Canvas, SelectionRect, ColorToRGB(Colors()->SelectionRectangleBorderColor()));
        return;
    }
    const TColor text = SetTextColor(Canvas, clWhite);
    const TColor back = SetBkColor(Canvas, clBlack);
    Canvas->DrawFocusRect(SelectionRect);
    SetTextColor(Canvas, text);
    SetBkColor(Canvas, back);
}

// --- the painter ------------------------------------------------------------------------------

void TBaseLazyTree::PaintTree(TCanvas* TargetCanvas, const TRect& Window, TPoint Target,
                              TLTInternalPaintOptions PaintOptions) {
    if (FStates.Contains(tsPainting)) return;
    ChangeTreeStates({tsPainting}, {});
    struct Leave {
        TBaseLazyTree* tree;
        ~Leave() { tree->ChangeTreeStates({}, {tsPainting}); }
    } leave{this};
    if (OnBeforePaint) OnBeforePaint(this, TargetCanvas);
    ensureButtonBitmaps();

    // The control's own image is an off-screen surface already (it is shown only when the paint
    // is done), so its rows are painted in place instead of through a row buffer.
    // Blending needs 32 bits per pixel.
    const bool blending =
        CpuMMXPresent &&
        (FDrawSelectionMode == smBlendedRectangle || FStates.Contains(tsUseThemes) ||
         TreeOptions()->PaintOptions().Contains(toUseBlendedSelection));
    if (TargetCanvas == Canvas() &&
        (!blending || (TargetCanvas->Target() && TargetCanvas->Target()->PixelFormat() == pf32bit)))
        PaintOptions.Include(poUnbuffered);
    const bool unbuffered = PaintOptions.Contains(poUnbuffered);
    const int paintWidth = Window.Right - Window.Left;
    const int maximumBottom = Target.Y + (Window.Bottom - Window.Top);
    if (paintWidth > 0 && Window.Bottom > Window.Top) {
        TCanvas* canvas = TargetCanvas;
        int saved = 0;
        if (unbuffered) {
            saved = SaveDC(TargetCanvas);
        } else {
            if (!FRowBuffer) FRowBuffer = std::make_unique<TBitmap>();
            FRowBuffer->SetPixelFormat(blending ? pf32bit : pfDevice);
            if (FRowBuffer->Width() != paintWidth) FRowBuffer->SetSize(paintWidth, 0);
            canvas = FRowBuffer->Canvas();
        }
        struct Restore {
            TCanvas* target;
            int saved;
            ~Restore() {
                if (saved) RestoreDC(target, saved);
            }
        } restore{TargetCanvas, saved};
        paintRows(TargetCanvas, canvas, Window, Target, PaintOptions, maximumBottom);
    }
    if (FRoot->ChildCount == 0 && !FEmptyListMessage.empty()) {
        TargetCanvas->Font()->Assign(Font());
        TargetCanvas->Font()->SetColor(clGrayText);
        SetBkMode(TargetCanvas, TRANSPARENT);
        TRect r(FOffsetX + 2, 2, FOffsetX + Width(), Height() - 2);
        std::string text = FEmptyListMessage;
        TargetCanvas->TextRect(r, text, {tfLeft, tfNoClip, tfWordBreak});
    }
    if (OnAfterPaint) OnAfterPaint(this, TargetCanvas);
}

void TBaseLazyTree::paintRows(TCanvas* TargetCanvas, TCanvas* Canvas, const TRect& Window,
                              TPoint Target, TLTInternalPaintOptions PaintOptions,
                              int MaximumBottom) {
    const bool unbuffered = PaintOptions.Contains(poUnbuffered);
    const int paintWidth = Window.Right - Window.Left;
    const TLTPaintOptions paint = TreeOptions()->PaintOptions();
    const TLTMiscOptions misc = TreeOptions()->MiscOptions();
    const int maxWidth = std::max(ClientWidth(), int(RangeX()));
    const bool imagesUsed = FImages != nullptr;
    const bool useBackground = backgroundBitmap() && PaintOptions.Contains(poBackground);
    const bool stateImagesUsed = FStateImages != nullptr;
    const bool checkImagesUsed = misc.Contains(toCheckSupport) && CheckImages() != nullptr;
    if (paint.Contains(toAlwaysHideSelection) || (!Focused() && paint.Contains(toHideSelection)))
        PaintOptions.Exclude(poDrawSelection);
    if (paint.Contains(toHideFocusRect)) PaintOptions.Exclude(poDrawFocusRect);

    // The rubber band of a drag selection, moved along with the rows.
    TRect band = SortRectCorners(FNewSelRect);
    // The platform's key state does not follow the mouse buttons: the tree's own state does.
    const bool drawBand = FStates.Contains(tsDrawSelecting) && !band.IsEmpty() &&
                          (FStates.Contains(tsLeftButtonDown) || GetKeyState(VK_LBUTTON) < 0);
    int nodeTop = Window.Top;
    PLazyNode node = GetNodeAt(0, Window.Top, false, nodeTop);
    if (!node) nodeTop = Window.Top;
    OffsetRect(band, 0, -nodeTop);
    TRect targetRect(Target.X, Target.Y - (Window.Top - nodeTop), Target.X + paintWidth, 0);
    TargetCanvas->Font()->Assign(Font());
    TLTPaintInfo info;
    info.Canvas = Canvas;
    TLineImage lineImage;
    for (; node; node = GetNextVisible(node, true)) {
        int selectLevel = ComputeLineImage(node, lineImage);
        const int indentSize = int(lineImage.size());
        const int buttonWidth = FPlusBM ? FPlusBM->Width() : 9;
        const int buttonX = paint.Contains(toFixedIndent)
                                ? roundEven((double(FIndent) - buttonWidth) / 2) + 1
                                : roundEven((double(FIndent) - buttonWidth) / 2) +
                                      (indentSize - 1) * int(FIndent) + 1;
        initIfNeeded(node);
        if (node->States.Contains(vsSelected) && !paint.Contains(toChildrenAbove)) ++selectLevel;
        MeasureItemHeight(Canvas, node);
        const int rowHeight = int(node->NodeHeight);
        info.BrushOrigin = TPoint(Window.Left & 1, nodeTop & 1);
        nodeTop += rowHeight;
        targetRect.Bottom = targetRect.Top + rowHeight;
        if (selectLevel > 0 || !PaintOptions.Contains(poSelectedOnly)) {
            if (unbuffered) {
                SetWindowOrgEx(Canvas, Window.Left - targetRect.Left, -targetRect.Top, nullptr);
                ClipToRect(Canvas, TRect(Window.Left, 0, Window.Right,
                                         std::min(rowHeight, MaximumBottom - targetRect.Top)));
            } else {
                if (FRowBuffer->Height() != rowHeight) {
                    FRowBuffer->SetSize(paintWidth, 0);
                    FRowBuffer->SetSize(paintWidth, rowHeight);
                }
                SetWindowOrgEx(Canvas, Window.Left, 0, nullptr);
            }
            SetBrushOrgEx(Canvas, info.BrushOrigin.X, info.BrushOrigin.Y, nullptr);
            const TRect itemRect(0, 0, maxWidth, rowHeight);
            int buttonY = 0, vAlign = 0;
            ComputeVerticalAlignment(imagesUsed, stateImagesUsed, buttonY, vAlign, node);
            bool customDraw = false;
            if (OnBeforeItemPaint) OnBeforeItemPaint(this, Canvas, node, itemRect, customDraw);
            if (!customDraw) {
                info.Node = node;
                info.PaintOptions = PaintOptions;
                PaintItemBackground(
                    info, useBackground,
                    TRect(Window.Left, targetRect.Top, Window.Right, targetRect.Bottom), true);
                info.CellRect = itemRect;
                paintCell(info, Window, lineImage, indentSize, buttonX, buttonY, vAlign, imagesUsed,
                          stateImagesUsed, checkImagesUsed);
                if (node == FDropTargetNode && paint.Contains(toShowDropmark) &&
                    PaintOptions.Contains(poDrawDropMark))
                    DrawDropMark(Canvas, itemRect);
                if (OnAfterItemPaint) OnAfterItemPaint(this, Canvas, node, itemRect);
            }
            if (drawBand)
                PaintRubberBand(Canvas, Window.Left, band, TRect(0, 0, paintWidth, rowHeight));
            if (!unbuffered) {
                BitBlt(TargetCanvas, targetRect.Left, targetRect.Top, paintWidth, rowHeight, Canvas,
                       Window.Left, 0, SRCCOPY);
            }
        }
        targetRect.Top += rowHeight;
        OffsetRect(band, 0, -rowHeight);
        if (targetRect.Top >= MaximumBottom) break;
    }
    if (targetRect.Top < MaximumBottom) {
        const TRect area(0, 0, Target.X + paintWidth - targetRect.Left,
                         MaximumBottom - targetRect.Top);
        TCanvas* c = Canvas;
        if (unbuffered) {
            SetWindowOrgEx(c, -targetRect.Left, -targetRect.Top, nullptr);
            SelectClipRgn(c, nullptr);
        } else {
            FRowBuffer->SetSize(area.Right, 0);
            FRowBuffer->SetSize(area.Right, area.Bottom);
            SetWindowOrgEx(c, 0, 0, nullptr);
        }
        bool handled = false;
        if (OnPaintBackground) OnPaintBackground(this, c, area, handled);
        if (!handled && useBackground) {
            const TPoint at(targetRect.Left, targetRect.Top);
            if (paint.Contains(toStaticBackground))
                PaintFixedBackground(backgroundBitmap(), c, area, at);
            else
                PaintTiledBackground(backgroundBitmap(), c, area, at);
        } else if (!handled) {
            FillRect(c, area, ColorToRGB(Colors()->BackGroundColor()));
        }
        if (drawBand) {
            OffsetRect(band, -Window.Left, 0);
            PaintRubberBand(c, 0, band, area);
        }
        SetWindowOrgEx(c, 0, 0, nullptr);
        if (!unbuffered)
            BitBlt(TargetCanvas, targetRect.Left, targetRect.Top, area.Right, area.Bottom, c, 0, 0,
                   SRCCOPY);
    }
}

void TBaseLazyTree::AdjustCellSpan(TLTPaintInfo& PaintInfo, int& NextColumn) {
    NextColumn = FHeader->Columns()->GetNextVisibleColumn(PaintInfo.Column);
}

void TCustomLazyStringTree::AdjustCellSpan(TLTPaintInfo& PaintInfo, int& NextColumn) {
    TLazyTreeColumns* columns = Header()->Columns();
    TColumnIndex next = columns->GetNextVisibleColumn(PaintInfo.Column);
    if (TreeOptions()->AutoOptions().Contains(toAutoSpanColumns) && Header()->UseColumns() &&
        !columns->Items(PaintInfo.Column)->UseRightToLeftReading()) {
        // Empty cells to the right take the text of this one.
        while (next >= 0 && FireGetCellIsEmpty(PaintInfo.Node, next) &&
               !columns->Items(next)->UseRightToLeftReading()) {
            PaintInfo.CellRect.Right += columns->Items(next)->Width();
            next = columns->GetNextVisibleColumn(next);
        }
    }
    NextColumn = next;
}

void TBaseLazyTree::paintCell(TLTPaintInfo& info, const TRect& Window, const TLineImage& LineImage,
                              int IndentSize, int ButtonX, int ButtonY, int VAlign, bool ImagesUsed,
                              bool StateImagesUsed, bool CheckImagesUsed) {
    const bool useColumns = FHeader->UseColumns();
    TLazyTreeColumns* columns = FHeader->Columns();
    const TLTInternalPaintOptions rowOptions = info.PaintOptions;
    const int rowHeight = info.CellRect.Bottom;
    int column = NoColumn;
    if (useColumns) {
        column = columns->GetFirstVisibleColumn();
        if (column < 0) return;
        int left = 0, right = 0;
        columns->Items(column)->GetUnscrolledBounds(left, right);
        info.CellRect.Left = left;
        info.CellRect.Right = right;
    }
    for (;;) {
        info.Column = column;
        info.Position = useColumns ? columns->Items(column)->Position() : 0;
        info.BidiMode = CellBiDiMode(column);
        info.Alignment = CellAlignment(column, true);
        info.PaintOptions = rowOptions;
        int next = InvalidColumn;
        if (useColumns) AdjustCellSpan(info, next);
        paintOneCell(info, Window, LineImage, IndentSize, ButtonX, ButtonY, VAlign, ImagesUsed,
                     StateImagesUsed, CheckImagesUsed);
        if (!useColumns) break;
        SelectClipRgn(info.Canvas, nullptr);
        if (info.CellRect.Left >= Window.Right || next < 0) break;
        column = next;
        int left = 0, right = 0;
        columns->Items(column)->GetUnscrolledBounds(left, right);
        info.CellRect = TRect(left, 0, right, rowHeight);
    }
}

void TBaseLazyTree::paintOneCell(TLTPaintInfo& info, const TRect& Window,
                                 const TLineImage& LineImage, int IndentSize, int ButtonX,
                                 int ButtonY, int VAlign, bool ImagesUsed, bool StateImagesUsed,
                                 bool CheckImagesUsed) {
    TCanvas* canvas = info.Canvas;
    const PLazyNode node = info.Node;
    const TLTPaintOptions paint = TreeOptions()->PaintOptions();
    const bool useColumns = FHeader->UseColumns();
    const bool isMain = !useColumns || info.Column == MainColumn();
    const TLazyTreeColumn* col = useColumns ? FHeader->Columns()->Items(info.Column) : nullptr;
    // Column colours need columns; a selected full row and parent-coloured columns have none.
    if (!useColumns || col->Options().Contains(coParentColor) ||
        (node->States.Contains(vsSelected) &&
         TreeOptions()->SelectionOptions().Contains(toFullRowSelect) &&
         info.PaintOptions.Contains(poDrawSelection)))
        info.PaintOptions.Exclude(poColumnColor);
    const bool edited = FStates.Contains(tsEditing) && node == FocusedNode() &&
                        (!useColumns || FEditColumn == info.Column);
    if (edited) info.PaintOptions.Exclude(poDrawSelection);
    if (info.CellRect.Right <= Window.Left) return;
    info.NodeWidth = QueryNodeWidth(node, info.Column, canvas);
    const bool rtl = info.BidiMode != bdLeftToRight;
    info.ContentRect = info.CellRect;
    if (rtl)
        info.ContentRect.Right -= FMargin;
    else
        info.ContentRect.Left += FMargin;
    for (TLTPaintImage& slot : info.ImageInfo) slot = TLTPaintImage();
    if (CheckImagesUsed && isMain) {
        TImageList* checks = CheckImages();
        const int index = GetCheckImageIndex(node, node->CheckType, node->CheckState,
                                             !node->States.Contains(vsDisabled) && Enabled());
        TLTPaintImage& slot = info.ImageInfo[piCheck];
        if (index >= 0) {
            slot.Index = index;
            slot.Images = checks;
            PlaceImage(checks, info.BidiMode, VAlign, info.ContentRect, slot);
        }
    }
    if (StateImagesUsed && LookupImage(info, ikState, piState, FStateImages) >= 0)
        PlaceImage(info.ImageInfo[piState].Images, info.BidiMode, VAlign, info.ContentRect,
                   info.ImageInfo[piState]);
    if (ImagesUsed && LookupImage(info, node->States.Contains(vsSelected) ? ikSelected : ikNormal,
                                  piNormal, FImages) >= 0)
        PlaceImage(info.ImageInfo[piNormal].Images, info.BidiMode, VAlign, info.ContentRect,
                   info.ImageInfo[piNormal]);
    if (isMain) ShiftContentByIndent(info, paint.Contains(toFixedIndent) ? 1 : IndentSize);
    if (useColumns) ClipToRect(canvas, info.CellRect);
    if (info.PaintOptions.Contains(poGridLines) && paint.Contains(toShowHorzGridLines)) {
        canvas->Font()->SetColor(Colors()->GridLineColor());
        int left = info.CellRect.Left, right = info.CellRect.Right - 1;
        if (isMain && FLineMode == lmBands) {
            const int indent = (paint.Contains(toFixedIndent) ? 1 : IndentSize) * int(FIndent);
            if (rtl)
                right -= indent;
            else
                left += indent;
        }
        DrawDottedHorzLine(info, left, right, info.CellRect.Bottom - 1);
        --info.CellRect.Bottom;
        --info.ContentRect.Bottom;
    }
    if (useColumns && info.PaintOptions.Contains(poGridLines) &&
        paint.Contains(toShowVertGridLines) &&
        !(FHeader->Options().Contains(hoAutoResize) &&
          info.Column == FHeader->Columns()->GetLastVisibleColumn()) &&
        (info.CellRect.Right - FEffectiveOffsetX + ColumnsRightToLeftOffset() != ClientWidth() ||
         col->Options().Contains(coFixed))) {
        // A right-to-left text may run on into an empty cell: no line before it.
        if (!rtl || !FireGetCellIsEmpty(node, info.Column)) {
            canvas->Font()->SetColor(Colors()->GridLineColor());
            DrawDottedVertLine(info, info.CellRect.Top, info.CellRect.Bottom,
                               info.CellRect.Right - 1, false);
        }
        --info.CellRect.Right;
        --info.ContentRect.Right;
    }
    PaintCellBackground(info, Window.Left, Window.Right - Window.Left);
    if (isMain) {
        if (paint.Contains(toShowTreeLines) &&
            !(paint.Contains(toHideTreeLinesIfThemed) && FStates.Contains(tsUseThemes)))
            PaintConnectorLines(info, VAlign, paint.Contains(toFixedIndent) ? 1 : IndentSize,
                                LineImage);
        if (paint.Contains(toShowButtons) && node->States.Contains(vsHasChildren) &&
            (!node->States.Contains(vsAllChildrenHidden) ||
             !TreeOptions()->AutoOptions().Contains(toAutoHideButtons)))
            PaintExpandButton(canvas, node, info.Column, info.CellRect, ButtonX, ButtonY,
                              info.BidiMode);
        const TLTPaintImage& check = info.ImageInfo[piCheck];
        if (check.Index >= 0) PaintCheckBox(canvas, check, node->States.Contains(vsSelected));
    }
    if (info.ImageInfo[piState].Index >= 0) PaintNodeImage(info, piState, false);
    if (info.ImageInfo[piNormal].Index >= 0) PaintNodeImage(info, piNormal, true);
    if (!edited) PaintNodeContent(info);
    if (OnAfterCellPaint) OnAfterCellPaint(this, canvas, node, info.Column, info.CellRect);
}

void TBaseLazyTree::InvalidateColumn(TColumnIndex Column) {
    if (FUpdateCount != 0 || !HandleAllocated() || !FHeader->Columns()->IsValidColumn(Column))
        return;
    int left = 0, right = 0;
    FHeader->Columns()->GetColumnBounds(Column, left, right);
    const TRect r(left, 0, right, ClientHeight());
    InvalidateRect(Handle(), &r, false);
}

void TBaseLazyTree::Paint() {
    const TRect client = ClientRect();
    if (client.Right <= client.Left || client.Bottom <= client.Top) return;
    const int rtlOffset = ColumnsRightToLeftOffset();
    const int fixedWidth = FHeader->UseColumns() ? FHeader->Columns()->GetVisibleFixedWidth() : 0;
    if (fixedWidth == 0) {
        TRect window = client;
        OffsetRect(window, FEffectiveOffsetX - rtlOffset, -FOffsetY);
        PaintTree(Canvas(), window, TPoint(client.Left, client.Top), PaintOptionsOfRepaint);
        return;
    }
    // Fixed columns stay in place; the others scroll.
    TRect fixed(client.Left, client.Top, std::min(int(client.Right), fixedWidth), client.Bottom);
    TRect window = fixed;
    OffsetRect(window, -rtlOffset, -FOffsetY);
    PaintTree(Canvas(), window, fixed.TopLeft(), PaintOptionsOfRepaint);
    if (client.Right > fixedWidth) {
        TRect rest(fixedWidth, client.Top, client.Right, client.Bottom);
        window = rest;
        OffsetRect(window, FEffectiveOffsetX - rtlOffset, -FOffsetY);
        PaintTree(Canvas(), window, rest.TopLeft(), PaintOptionsOfRepaint);
    }
}

int TBaseLazyTree::RightToLeftPaintOffset(bool Vertical) const {
    const TScrollStyle bars = ScrollBarOptions()->ScrollBars();
    const int scrollWidth = ClientHeight() < RangeY() && (bars == ssVertical || bars == ssBoth)
                                ? GetSystemMetrics(SM_CXVSCROLL)
                                : 0;
    // The header spans the client area and the vertical bar.
    const int headerWidth = ClientWidth() + scrollWidth;
    int result =
        headerWidth >= scrollWidth + int(FRangeX) ? headerWidth - int(FRangeX) : scrollWidth;
    if (Vertical) result -= scrollWidth;
    return result;
}

int TBaseLazyTree::ColumnsRightToLeftOffset() const {
    return UseRightToLeftAlignment() && FHeader->UseColumns() ? RightToLeftPaintOffset(true) : 0;
}

void TBaseLazyTree::InvalidateToBottom(PLazyNode Node) {
    if (FUpdateCount != 0 || !HandleAllocated()) return;
    if (!Node || Node == FRoot) {
        Invalidate();
        return;
    }
    if (!Node->States.Contains(vsInitialized) || !FullyVisible(Node)) return;
    const int top = AbsoluteNodeTop(Node);
    if (top < 0) return;
    TRect r(0, top + FOffsetY, ClientWidth(), ClientHeight());
    if (r.Top < r.Bottom) InvalidateRect(Handle(), &r, false);
}

void TBaseLazyTree::InvalidateChildren(PLazyNode Node, bool Recursive) {
    if (!Node || Node == FRoot) {
        Node = FRoot;
    } else {
        initIfNeeded(Node);
        InvalidateNode(Node);
        ensureChildrenCounted(Node);
    }
    for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling) {
        InvalidateNode(child);
        if (Recursive) InvalidateChildren(child, true);
    }
}

void TBaseLazyTree::RepaintNode(PLazyNode Node) {
    if (!Node || Node == FRoot || !HandleAllocated()) return;
    InvalidateNode(Node);
    Update();
}
