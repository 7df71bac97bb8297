// Painting the header: the composed header bitmap, each column's cell with its edge, glyphs,
// caption, sort arrow and drop mark, and the layout of a header cell.
#include "platform/gfx/Gdi.h"
#include "platform/gfx/Themes.h"
#include "treeview/LazyTree.h"
#include "treeview/LazyTreeUtils.h"

#include <algorithm>

namespace {

constexpr int UtilityImageSize = 16;

// A filled arrow in a 16 x 16 box at (X, Y): up, down, left or right.
enum ArrowKind { arrowUp, arrowDown, arrowLeft, arrowRight };
void drawArrow(TCanvas* DC, int X, int Y, ArrowKind Kind, TColor Color) {
    const TColor c = ColorToRGB(Color);
    for (int i = 0; i < 5; ++i) {
        // Row i of the arrow, from its tip: 2 * i + 1 pixels wide.
        const int near = Kind == arrowUp || Kind == arrowLeft ? 5 + i : 10 - i;
        if (Kind == arrowUp || Kind == arrowDown)
            FillRect(DC, TRect(X + 7 - i, Y + near, X + 8 + i, Y + near + 1), c);
        else
            FillRect(DC, TRect(X + near, Y + 7 - i, X + near + 1, Y + 8 + i), c);
    }
}

void paintCaptionText(TCanvas* DC, TBaseLazyTree* Tree, std::string Caption, TRect Bounds,
                      bool Enabled, bool Hot, unsigned DrawFormat, bool WrapCaption) {
    if (!WrapCaption) {
        TSize size;
        GetTextExtentPoint32(DC, Caption, int(Caption.size()), size);
        if (size.cx > Bounds.Width()) {
            TSize dots;
            GetTextExtentPoint32(DC, "...", 3, dots);
            Caption = ShortenToWidth(DC, Caption, Bounds.Width(), dots.cx);
        }
    }
    SetBkMode(DC, TRANSPARENT);
    if (Enabled) {
        SetTextColor(DC, ColorToRGB(Hot ? Tree->Colors()->HeaderHotColor()
                                        : Tree->Colors()->HeaderFontColor()));
        DrawText(DC, Caption, int(Caption.size()), Bounds, DrawFormat);
    } else {
        TRect shifted = Bounds;
        OffsetRect(shifted, 1, 1);
        SetTextColor(DC, ColorToRGB(clBtnHighlight));
        DrawText(DC, Caption, int(Caption.size()), shifted, DrawFormat);
        SetTextColor(DC, ColorToRGB(clBtnShadow));
        DrawText(DC, Caption, int(Caption.size()), Bounds, DrawFormat);
    }
}

// The header's theme while the tree draws themed, closed when it goes.
class THeaderTheme {
public:
    explicit THeaderTheme(TBaseLazyTree* Tree)
        : theme(Tree->TreeStates().Contains(tsUseThemes) && Tree->HandleAllocated()
                    ? OpenThemeData(Tree->Handle(), "HEADER")
                    : nullptr) {}
    ~THeaderTheme() {
        if (theme) CloseThemeData(theme);
    }
    THeaderTheme(const THeaderTheme&) = delete;
    THeaderTheme& operator=(const THeaderTheme&) = delete;
    const HTHEME theme;
};

} // namespace

void TLazyTreeColumns::PaintHeader(TCanvas* DC, const TRect& R, int HOffset) {
    TBaseLazyTree* tree = FHeader->Treeview();
    const TRect headerRect = tree->HeaderRect();
    if (!FHeaderBitmap) {
        FHeaderBitmap = std::make_unique<TBitmap>();
        FHeaderBitmap->SetPixelFormat(pf32bit);
    }
    const int width = std::max(R.Width(), int(headerRect.Right));
    if (FHeaderBitmap->Width() != width || FHeaderBitmap->Height() != headerRect.Bottom)
        FHeaderBitmap->SetSize(width, headerRect.Bottom);
    TCanvas* canvas = FHeaderBitmap->Canvas();
    const int fixedWidth = GetVisibleFixedWidth();
    const int rtlOffset = tree->ColumnsRightToLeftOffset();
    const int h = R.Height();
    PaintHeader(canvas, TRect(fixedWidth - HOffset, 0, R.Right + fixedWidth - HOffset, h),
                TPoint(R.Left + fixedWidth, R.Top), rtlOffset);
    if (fixedWidth > 0)
        PaintHeader(canvas, TRect(0, 0, std::min(int(R.Right), fixedWidth), h),
                    TPoint(R.Left, R.Top), rtlOffset);
    BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), canvas, R.Left, R.Top, SRCCOPY);
}

void TLazyTreeColumns::PaintHeader(TCanvas* TargetCanvas, TRect R, TPoint Target, int RTLOffset) {
    if (R.IsEmpty()) return;
    TBaseLazyTree* tree = FHeader->Treeview();
    const bool designing = tree->ComponentState() & csDesigning;
    const bool ownerDraw = FHeader->Options().Contains(hoOwnerDraw) && !designing;
    const bool advanced =
        ownerDraw && tree->OnAdvancedHeaderDraw && tree->OnHeaderDrawQueryElements;
    const bool simple = ownerDraw && tree->OnHeaderDraw && !advanced;
    THeaderPaintInfo info;
    info.TargetCanvas = TargetCanvas;
    TargetCanvas->Font()->Assign(FHeader->Font());
    const int headerHeight = FHeader->Height();
    const TRect background(Target.X, Target.Y, Target.X + R.Width(), Target.Y + headerHeight);
    THeaderPaintElements requested;
    if (advanced) {
        info.PaintRectangle = R;
        tree->FireHeaderDrawQueryElements(info, requested);
    }
    const THeaderTheme themed(tree);
    if (requested.Contains(hpeBackground)) {
        info.PaintRectangle = background;
        tree->FireAdvancedHeaderDraw(info, {hpeBackground});
    } else if (!themed.theme || !DrawThemeBackground(themed.theme, TargetCanvas, HP_HEADERITEM,
                                                     HIS_NORMAL, background)) {
        FillRect(TargetCanvas, background, ColorToRGB(FHeader->Background()));
    }
    R.Left = std::max(int(R.Left), 0);
    R.Top = std::max(int(R.Top), 0);
    R.Right = std::min(int(R.Right), TotalWidth());
    R.Bottom = std::min(int(R.Bottom), headerHeight);
    // Mirrored columns lie RTLOffset further right.
    const int maxX = Target.X + R.Width() + RTLOffset;
    int l = 0, r = 0;
    TColumnIndex column = ColumnAndBoundsAt(TPoint(R.Left + RTLOffset, 0), l, r, false);
    if (column < 0 || R.Left >= R.Right) return;
    TRect cell(Items(column)->FLeft + Target.X + RTLOffset - R.Left, Target.Y, 0,
               Target.Y + R.Height());
    const bool showRightBorder =
        !(FHeader->Style() != hsThickButtons && FHeader->Options().Contains(hoAutoResize) &&
          tree->BevelKind() != bkNone);
    while (column >= 0 && cell.Left < maxX) {
        cell.Right = cell.Left + Items(column)->FWidth;
        ClipToRect(TargetCanvas, TRect(std::max(Target.X, int(cell.Left)), Target.Y + R.Top,
                                       std::min(int(cell.Right), maxX), cell.Bottom));
        info.TargetCanvas = TargetCanvas;
        paintColumn(info, column, cell, showRightBorder, advanced, simple, themed.theme);
        SelectClipRgn(TargetCanvas, nullptr);
        cell.Left = cell.Right;
        column = GetNextVisibleColumn(column);
    }
}

void TLazyTreeColumns::paintColumn(THeaderPaintInfo& Info, TColumnIndex C, const TRect& CR,
                                   bool ShowRightBorder, bool AdvancedOwnerDraw,
                                   bool SimpleOwnerDraw, HTHEME Theme) {
    TBaseLazyTree* tree = FHeader->Treeview();
    TLazyTreeColumn* col = Items(C);
    TCanvas* dc = Info.TargetCanvas;
    const TLTHeaderOptions options = FHeader->Options();
    Info.Column = col;
    Info.IsHoverIndex =
        C == FHoverIndex && options.Contains(hoHotTrack) && col->FOptions.Contains(coEnabled);
    Info.IsDownIndex = C == FDownIndex && !FCheckBoxHit;
    Info.DropMark = dmmNone;
    if (col->FOptions.Contains(coShowDropMark) && C == FDropTarget && C != FDragIndex)
        Info.DropMark = FDropBefore ? dmmLeft : dmmRight;
    Info.IsEnabled = col->FOptions.Contains(coEnabled) && tree->Enabled();
    TImageList* images = FHeader->Images();
    Info.ShowHeaderGlyph =
        options.Contains(hoShowImages) && ((images && col->FImageIndex >= 0) || col->FCheckBox);
    Info.ShowSortGlyph = C == FHeader->SortColumn() && options.Contains(hoShowSortGlyphs);
    Info.ShowRightBorder = ShowRightBorder;
    Info.PaintRectangle = CR;
    if (col->FStyle == vsOwnerDraw && SimpleOwnerDraw) {
        tree->FireHeaderDraw(dc, col, CR, Info.IsHoverIndex, Info.IsDownIndex, Info.DropMark);
        return;
    }
    THeaderPaintElements requested;
    if (AdvancedOwnerDraw) tree->FireHeaderDrawQueryElements(Info, requested);
    const unsigned rightBorder = ShowRightBorder || C < Count() - 1 ? BF_RIGHT : 0;
    const int themeState = Info.IsDownIndex    ? HIS_PRESSED
                           : Info.IsHoverIndex ? HIS_HOT
                                               : HIS_NORMAL;
    if (requested.Contains(hpeBackground)) {
        tree->FireAdvancedHeaderDraw(Info, {hpeBackground});
    } else if (!Theme || !DrawThemeBackground(Theme, dc, HP_HEADERITEM, themeState, CR)) {
        TRect edge = CR;
        const bool hotPlate = FHeader->Style() == hsPlates && Info.IsHoverIndex &&
                              col->FOptions.ContainsAll({coAllowClick, coEnabled});
        static const unsigned normalEdge[] = {EDGE_RAISED, BDR_RAISEDINNER, BDR_RAISEDINNER};
        static const unsigned normalFlags[] = {0x380B, 0x280B, 0x380F};
        static const unsigned pressedEdge[] = {EDGE_RAISED, BDR_SUNKENOUTER, BDR_SUNKENOUTER};
        static const unsigned pressedFlags[] = {0x780F, 0x280F, 0x280F};
        const int style = FHeader->Style();
        if (Info.IsDownIndex)
            DrawEdge(dc, edge, pressedEdge[style], pressedFlags[style]);
        else if (hotPlate)
            DrawEdge(dc, edge, BDR_RAISEDINNER, 0x280B | rightBorder);
        else
            DrawEdge(dc, edge, normalEdge[style], normalFlags[style] | rightBorder);
    }
    TRect content = CR;
    InflateRect(content, -2, -2);
    const TAlignment caption = col->CaptionAlignment();
    unsigned format = DT_NOPREFIX | (caption == taRightJustify ? DT_RIGHT
                                     : caption == taCenter     ? DT_CENTER
                                                               : DT_LEFT);
    if (col->UseRightToLeftReading()) format |= DT_RTLREADING;
    TSize sortSize;
    col->ArrangeHeaderContent(dc, content, Info.ShowHeaderGlyph, Info.ShowSortGlyph, Info.GlyphPos,
                              Info.SortGlyphPos, sortSize, Info.TextRectangle, format);
    if (Info.IsDownIndex) {
        OffsetRect(Info.TextRectangle, 1, 1);
        Info.GlyphPos.X += 1, Info.GlyphPos.Y += 1;
        Info.SortGlyphPos.X += 1, Info.SortGlyphPos.Y += 1;
    }
    THeaderPaintElements elements = requested;
    elements.Exclude(hpeBackground);
    col->FHasImage = false;
    const int imageWidth = images ? images->Width() : 0;
    if (!requested.Contains(hpeHeaderGlyph) && Info.ShowHeaderGlyph &&
        (!Info.ShowSortGlyph || col->UseRightToLeftReading() ||
         Info.GlyphPos.X + imageWidth <= Info.SortGlyphPos.X)) {
        TSize size;
        if (col->FCheckBox) {
            TImageList* checks = tree->CheckImages();
            const int index = tree->GetCheckImageIndex(nullptr, col->FCheckType, col->FCheckState,
                                                       Info.IsEnabled);
            if (checks && index >= 0) {
                checks->Draw(dc, Info.GlyphPos.X, Info.GlyphPos.Y, index);
                size = TSize{checks->Width(), checks->Height()};
            }
        } else {
            images->Draw(dc, Info.GlyphPos.X, Info.GlyphPos.Y, col->FImageIndex, Info.IsEnabled);
            size = TSize{images->Width(), images->Height()};
        }
        col->FHasImage = true;
        col->FImageRect = TRect(Info.GlyphPos.X, Info.GlyphPos.Y, Info.GlyphPos.X + size.cx,
                                Info.GlyphPos.Y + size.cy);
    }
    const std::string text =
        col->FOptions.Contains(coWrapCaption) ? col->FCaptionText : col->Text();
    if (!requested.Contains(hpeText) && !text.empty())
        paintCaptionText(dc, tree, text, Info.TextRectangle, Info.IsEnabled,
                         Info.IsHoverIndex && options.Contains(hoHotTrack) && !Theme, format,
                         col->FOptions.Contains(coWrapCaption));
    if (!requested.Contains(hpeSortGlyph) && Info.ShowSortGlyph) {
        const bool up = FHeader->SortDirection() == sdAscending;
        const TRect box(Info.SortGlyphPos.X, Info.SortGlyphPos.Y,
                        Info.SortGlyphPos.X + UtilityImageSize,
                        Info.SortGlyphPos.Y + UtilityImageSize);
        if (!Theme || !DrawThemeBackground(Theme, dc, HP_HEADERSORTARROW,
                                           up ? HSAS_SORTEDUP : HSAS_SORTEDDOWN, box))
            drawArrow(dc, Info.SortGlyphPos.X, Info.SortGlyphPos.Y, up ? arrowUp : arrowDown,
                      clBtnShadow);
    }
    if (!requested.Contains(hpeDropMark) && Info.DropMark != dmmNone) {
        const int y = (content.Top + content.Bottom - UtilityImageSize) / 2;
        if (Info.DropMark == dmmLeft)
            drawArrow(dc, content.Left, y, arrowRight, clHighlight);
        else
            drawArrow(dc, content.Right - UtilityImageSize, y, arrowLeft, clHighlight);
    }
    if (!elements.Empty()) {
        const int saved = SaveDC(dc);
        tree->FireAdvancedHeaderDraw(Info, elements);
        RestoreDC(dc, saved);
    }
}

void TLazyTreeColumn::ArrangeHeaderContent(TCanvas* DC, const TRect& Client, bool UseHeaderGlyph,
                                           bool UseSortGlyph, TPoint& HeaderGlyphPos,
                                           TPoint& SortGlyphPos, TSize& SortGlyphSize,
                                           TRect& TextBounds, unsigned DrawFormat) {
    const bool hasText = !FText.empty();
    HeaderGlyphPos = SortGlyphPos = TPoint();
    SortGlyphSize = TSize{0, 0};
    TextBounds = TRect();
    if (!hasText && !UseHeaderGlyph && !UseSortGlyph) return;
    TAlignment alignment = CaptionAlignment();
    const bool rtl = FBiDiMode != bdLeftToRight;
    if (rtl && alignment != taCenter)
        alignment = alignment == taLeftJustify ? taRightJustify : taLeftJustify;
    const int w = Client.Width(), h = Client.Height();
    TSize glyph{0, 0};
    TBaseLazyTree* t = tree();
    if (UseHeaderGlyph) {
        if (FCheckBox) {
            if (TImageList* checks = t->CheckImages())
                glyph = TSize{checks->Width(), checks->Height()};
        } else if (TImageList* images = header()->Images()) {
            glyph = TSize{images->Width(), images->Height()};
        }
    }
    TSize sort{0, 0};
    if (UseSortGlyph) sort = TSize{16, 16};
    SortGlyphSize = sort;
    TSize text{0, 0};
    if (hasText) {
        if (!FOptions.Contains(coWrapCaption)) {
            FCaptionText = FText;
            GetTextExtentPoint32(DC, FCaptionText, int(FCaptionText.size()), text);
            text.cx += 2;
        } else {
            if (FCaptionText.empty())
                FCaptionText =
                    WrapTextLines(DC, FText, Client, DrawFormat, DrawFormat & DT_RTLREADING);
            TRect measure(0, 0, w, 0);
            text = TSize{w, DrawText(DC, FCaptionText, int(FCaptionText.size()), measure,
                                     DrawFormat | DT_CALCRECT)};
        }
        TextBounds = TRect(0, 0, text.cx, text.cy);
    }
    const int s = hasText ? FSpacing : 0;
    const int sp = FSpacing;
    int tx = 0, ty = 0, gx = 0, gy = 0, sx = 0;
    const int sy = (h - sort.cy) / 2;
    int minLeft = 0, maxRight = 0;
    const bool vertical = FLayout == blGlyphTop || FLayout == blGlyphBottom;
    if (!hasText && !UseHeaderGlyph) {
        sx = (w - sort.cx) / 2;
    } else {
        if (FLayout == blGlyphLeft || FLayout == blGlyphRight || !UseHeaderGlyph) {
            gy = (h - glyph.cy) / 2;
            ty = std::max((h - text.cy) / 2, -5);
        } else if (FLayout == blGlyphTop) {
            gy = (h - glyph.cy - text.cy - s) / 2;
            ty = gy + glyph.cy + s;
        } else {
            ty = (h - glyph.cy - text.cy - s) / 2;
            gy = ty + text.cy + s;
        }
        switch (alignment) {
        case taLeftJustify:
            minLeft = FMargin;
            if (rtl && UseSortGlyph) {
                sx = minLeft;
                minLeft += sort.cx + sp;
            }
            if (vertical && UseHeaderGlyph) {
                tx = minLeft;
                gx = std::max((w - glyph.cx) / 2, minLeft);
                minLeft = std::max(gx + glyph.cx + sp, tx + text.cx + s);
            } else if (vertical) {
                tx = minLeft;
                minLeft = tx + text.cx + s;
            } else {
                if (UseHeaderGlyph && FLayout == blGlyphLeft) {
                    gx = minLeft;
                    minLeft += glyph.cx + sp;
                }
                tx = minLeft;
                minLeft += text.cx + s;
                if (UseHeaderGlyph && FLayout == blGlyphRight) {
                    gx = minLeft;
                    minLeft += glyph.cx + sp;
                }
            }
            if (!rtl && UseSortGlyph) sx = minLeft;
            break;
        case taCenter:
            if (vertical) {
                gx = (w - glyph.cx) / 2;
                tx = (w - text.cx) / 2;
                if (UseSortGlyph) tx -= sort.cx / 2;
            } else {
                minLeft = (w - glyph.cx - s - text.cx) / 2;
                if (UseHeaderGlyph && FLayout == blGlyphLeft) {
                    gx = minLeft;
                    minLeft += glyph.cx + s;
                }
                tx = minLeft;
                minLeft += s + text.cx;
                if (UseHeaderGlyph && FLayout == blGlyphRight) gx = minLeft;
            }
            if (UseHeaderGlyph) {
                minLeft = std::min(gx, tx);
                maxRight = std::max(gx + glyph.cx, tx + text.cx);
            } else {
                minLeft = tx;
                maxRight = tx + text.cx;
            }
            if (UseSortGlyph) sx = rtl ? minLeft - sp - sort.cx : maxRight + sp;
            break;
        default: // right
            maxRight = w - FMargin;
            if (!rtl && UseSortGlyph) {
                maxRight -= sort.cx;
                sx = maxRight;
                maxRight -= sp;
            }
            if (vertical) {
                tx = maxRight - text.cx;
                if (UseHeaderGlyph) {
                    gx = (w - glyph.cx) / 2;
                    if (gx + glyph.cx + sp > maxRight) gx = maxRight - glyph.cx - sp;
                    maxRight = std::min(gx - sp, tx - s);
                } else {
                    maxRight = tx - s;
                }
            } else {
                if (UseHeaderGlyph && FLayout == blGlyphRight) {
                    gx = maxRight - glyph.cx;
                    maxRight = gx - sp;
                }
                tx = maxRight - text.cx;
                maxRight = tx - s;
                if (UseHeaderGlyph && FLayout == blGlyphLeft) {
                    gx = maxRight - glyph.cx;
                    maxRight = gx - sp;
                }
            }
            if (rtl && UseSortGlyph) sx = maxRight - sort.cx;
            break;
        }
    }
    // Everything stays inside the cell's margins.
    minLeft = FMargin;
    maxRight = w - FMargin;
    if (UseSortGlyph) {
        if (!rtl && sx + sort.cx > maxRight) {
            sx = maxRight - sort.cx;
            maxRight = sx - sp;
        }
        sx = std::max(sx, minLeft);
        if (rtl) minLeft = sx + sort.cx + sp;
        SortGlyphPos = TPoint(sx + Client.Left, sy + Client.Top);
    }
    if (UseHeaderGlyph) {
        if (gx + glyph.cx > maxRight) gx = maxRight - glyph.cx;
        if (FLayout == blGlyphRight) maxRight = gx - sp;
        gx = std::max(gx, minLeft);
        if (FLayout == blGlyphLeft) minLeft = gx + glyph.cx + sp;
        if (FCheckBox || Index() != header()->MainColumn()) gx -= 2;
        HeaderGlyphPos = TPoint(gx + Client.Left, gy + Client.Top);
    }
    if (hasText) {
        tx = std::max(tx, minLeft);
        OffsetRect(TextBounds, tx, ty);
        TextBounds.Right = std::min(int(TextBounds.Right), maxRight);
        OffsetRect(TextBounds, Client.Left, Client.Top);
        if (FOptions.Contains(coWrapCaption))
            FCaptionText =
                WrapTextLines(DC, FText, TextBounds, DrawFormat, DrawFormat & DT_RTLREADING);
    }
}
