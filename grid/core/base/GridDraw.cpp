#include "grid/core/base/GridDraw.h"

#include "platform/base/SysUtils.h"
#include "platform/ui/core/SysInfo.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

int nearest(double x) {
    return int(std::lrint(x));
}

void penBrush(TCanvas& c, TColor color) {
    c.Pen()->SetWidth(1);
    c.Pen()->SetColor(color);
    c.Pen()->SetStyle(psSolid);
    c.Brush()->SetColor(color);
    c.Brush()->SetStyle(bsSolid);
}

void fillBox(TCanvas& c, const TRect& r, TColor color) {
    penBrush(c, color);
    c.Rectangle(r);
}

void line(TCanvas& c, int x1, int y1, int x2, int y2) {
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
}

std::map<std::string, TBitmap*>& resourceBitmaps() {
    static std::map<std::string, TBitmap*> m;
    return m;
}

const TColorTone& tone(const TColorTones& t, int state) {
    switch (state) {
    case 1:
        return t.Hover;
    case 2:
        return t.Selected;
    case 3:
        return t.Disabled;
    default:
        return t.Background;
    }
}

} // namespace

void DrawGradient(TCanvas& Canvas, TColor FromColor, TColor ToColor, int Steps, TRect R,
                  bool Horizontal) {
    if (R.Top == R.Bottom) return;
    if (R.Bottom < R.Top) std::swap(R.Top, R.Bottom);
    if (FromColor == clNone || ToColor == clNone) {
        fillBox(Canvas, R, FromColor == clNone && ToColor != clNone ? ToColor : FromColor);
        return;
    }
    const TColor from = ColorToRGB(FromColor), to = ColorToRGB(ToColor);
    const int span = (Horizontal ? R.Width() : R.Height()) - 1;
    Steps = std::max(std::min(Steps, span), 1);
    const double stepWidth = double(span) / Steps;
    const int dr = GetRValue(to) - GetRValue(from), dg = GetGValue(to) - GetGValue(from),
              db = GetBValue(to) - GetBValue(from);
    // Each band overlaps the next, which covers it from its own start on; with a copying pen
    // only the uncovered part of a band is filled, once, with the brush.
    const bool copyPen = Canvas.Pen()->Mode() == pmCopy;
    TColor color = from;
    penBrush(Canvas, color);
    for (int i = 0; i <= Steps; ++i) {
        color = RGB(GetRValue(from) + nearest(double(i) * dr / Steps),
                    GetGValue(from) + nearest(double(i) * dg / Steps),
                    GetBValue(from) + nearest(double(i) * db / Steps));
        const int offset = int(i * stepWidth);
        int end = offset + int(stepWidth + 1);
        if (copyPen && i < Steps) end = std::min(end, int((i + 1) * stepWidth));
        TRect band = R;
        if (Horizontal) {
            band.Left = R.Left + offset;
            band.Right = std::min(R.Right, R.Left + end);
        } else {
            band.Top = R.Top + offset;
            band.Bottom = std::min(R.Bottom, R.Top + end);
        }
        if (!copyPen) {
            fillBox(Canvas, band, color);
        } else if (band.Left < band.Right && band.Top < band.Bottom) {
            Canvas.Brush()->SetColor(color);
            Canvas.FillRect(band);
        }
    }
    penBrush(Canvas, color);
}

void DrawGradientCell(TCanvas& Canvas, TRect R, TColor Color, TColor ColorTo, TColor MirrorColor,
                      TColor MirrorColorTo, bool Vertical, TColor BorderColor, bool SidesOnly,
                      bool Fill) {
    if (Fill && Color != clNone) {
        if (MirrorColor == clNone) {
            if (ColorTo == clNone) {
                penBrush(Canvas, Color);
                Canvas.Pen()->SetWidth(1);
                Canvas.Rectangle(R.Left, R.Top, R.Right, R.Bottom + 1);
            } else {
                DrawGradient(Canvas, Color, ColorTo, 128, R, !Vertical);
            }
        } else {
            TRect first = R, second = R;
            if (Vertical) {
                first.Bottom = second.Top = R.Top + R.Height() / 2;
            } else {
                first.Right = second.Left = R.Left + R.Width() / 2;
            }
            DrawGradient(Canvas, Color, ColorTo, 128, first, !Vertical);
            DrawGradient(Canvas, MirrorColor, MirrorColorTo, 128, second, !Vertical);
        }
    }
    if (BorderColor != clNone) {
        Canvas.Pen()->SetColor(BorderColor);
        Canvas.Pen()->SetWidth(1);
        if (SidesOnly) {
            line(Canvas, R.Left, R.Top, R.Left, R.Bottom);
            line(Canvas, R.Right - 1, R.Top, R.Right - 1, R.Bottom);
        } else {
            Canvas.Brush()->SetColor(BorderColor);
            Canvas.FrameRect(R);
        }
    }
}

void DrawSelectionFrame(TCanvas& Canvas, TColor Color, TColor ColorTo, TColor MirrorColor,
                        TColor MirrorColorTo, TColor InnerTopColor, TColor InnerBottomColor,
                        TColor BorderColor, TColor CornerColor, TColor BackgroundColor, TRect R,
                        int Kind) {
    R.Bottom -= 2;
    R.Right -= 1;
    const int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom, M = T + (B - T) / 2;
    const bool leftEnd = Kind == 0 || Kind == 1, rightEnd = Kind == 0 || Kind == 2;
    const int li = leftEnd ? 2 : 0, ri = rightEnd ? 2 : 0;
    Canvas.Pen()->SetWidth(1);
    Canvas.Pen()->SetStyle(psSolid);
    Canvas.Pen()->SetColor(InnerTopColor);
    line(Canvas, L, T + 1, Rt, T + 1);
    if (leftEnd) line(Canvas, L + 1, T + 1, L + 1, M);
    if (rightEnd) line(Canvas, Rt - 2, T + 1, Rt - 2, M);
    Canvas.Pen()->SetColor(InnerBottomColor);
    line(Canvas, L, B - 1, Rt, B - 1);
    if (leftEnd) line(Canvas, L + 1, M, L + 1, B - 1);
    if (rightEnd) line(Canvas, Rt - 2, M, Rt - 2, B - 1);
    Canvas.Pen()->SetColor(BorderColor);
    line(Canvas, L + li, T, Rt - ri, T);
    line(Canvas, L + li, B, Rt - ri, B);
    if (rightEnd) line(Canvas, Rt - 1, T + 2, Rt - 1, B - 1);
    if (leftEnd) line(Canvas, L, T + 2, L, B - 1);
    auto corners = [&](int x0, int x1, bool mirrored) {
        // x0: the outer column, x1: the inner one.
        (void)mirrored;
        Canvas.SetPixels(x1, T, CornerColor);
        Canvas.SetPixels(x1, T + 1, CornerColor);
        Canvas.SetPixels(x0, T + 1, CornerColor);
        Canvas.SetPixels(x1, B, CornerColor);
        Canvas.SetPixels(x1, B - 1, CornerColor);
        Canvas.SetPixels(x0, B - 1, CornerColor);
        Canvas.SetPixels(x0, T, BackgroundColor);
        Canvas.SetPixels(x0, B, BackgroundColor);
    };
    if (leftEnd) corners(L, L + 1, false);
    if (rightEnd) corners(Rt - 1, Rt - 2, true);
    const TRect inside(L + li, T + 2, Rt - ri, B - 1);
    if (ColorTo == clNone) {
        FillRectColor(Canvas, inside, Color);
    } else if (MirrorColor == clNone) {
        DrawGradient(Canvas, Color, ColorTo, 16, inside, false);
    } else {
        TRect upper = inside, lower = inside;
        upper.Bottom = lower.Top = inside.Top + inside.Height() / 2;
        DrawGradient(Canvas, Color, ColorTo, 16, upper, false);
        DrawGradient(Canvas, MirrorColor, MirrorColorTo, 16, lower, false);
    }
}

TColor InterpolateColor(TColor Color1, TColor Color2, int Start, int End, int Offset) {
    if (Color2 == clNone) return Color1;
    const TColor a = ColorToRGB(Color1), b = ColorToRGB(Color2);
    const double span = End - Start;
    auto mix = [&](int c1, int c2) { return c1 + nearest((c2 - c1) / span * Offset); };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
               mix(GetBValue(a), GetBValue(b)));
}

TColor HalfColor(TColor Color) {
    const TColor c = ColorToRGB(Color);
    return RGB(GetRValue(c) / 2, GetGValue(c) / 2, GetBValue(c) / 2);
}

TColor ScaleColorPercent(TColor Color, int Percentage) {
    const TColor c = ColorToRGB(Color);
    auto scale = [&](int v) { return std::clamp(nearest(v + v * Percentage / 100.0), 0, 255); };
    return RGB(scale(GetRValue(c)), scale(GetGValue(c)), scale(GetBValue(c)));
}

void FillRectColor(TCanvas& Canvas, const TRect& R, TColor Color) {
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(Color);
    Canvas.FillRect(R);
}

void DrawDownArrow(TCanvas& Canvas, int X, int Y, TColor Color) {
    penBrush(Canvas, Color);
    Canvas.Polygon({TPoint(X - 3, Y), TPoint(X + 3, Y), TPoint(X, Y + 3)});
}

void DrawBitmapTransparent(TCanvas& Canvas, TBitmap& Bitmap, TColor BackgroundColor,
                           const TRect& R) {
    const TColor key = Bitmap.TransparentColor();
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(BackgroundColor);
    const TRect src(0, 0, Bitmap.Width(), Bitmap.Height());
    Canvas.BrushCopy(TRect(R.Left, R.Top, R.Left + src.Right, R.Top + src.Bottom), &Bitmap, src,
                     key);
}

void RegisterResourceBitmap(const std::string& Name, TBitmap* Bitmap) {
    if (Bitmap)
        resourceBitmaps()[UpperCase(Name)] = Bitmap;
    else
        resourceBitmaps().erase(UpperCase(Name));
}

void DrawResourceBitmap(TCanvas& Canvas, TColor BackgroundColor, const TRect& R,
                        const std::string& Name) {
    auto it = resourceBitmaps().find(UpperCase(Name));
    if (it != resourceBitmaps().end())
        DrawBitmapTransparent(Canvas, *it->second, BackgroundColor, R);
}

void DrawErrorMarker(TCanvas& Canvas, const std::string& Text, const TRect& R, int Offset,
                     int Start, int Length) {
    const int count = int(Utf8Length(Text));
    auto posOf = [&](int ch) { return Canvas.TextWidth(Utf8Substr(Text, 0, std::size_t(ch))); };
    const int lastX = count > 0 ? posOf(count - 1) : 0;
    const int startX = Start >= count ? posOf(count) + 4 : posOf(Start);
    const int endChar = Start + Length - 1;
    const int endX = Start + Length >= count ? lastX + 4 : posOf(std::max(endChar, 0));
    Canvas.Pen()->SetColor(clRed);
    Canvas.Pen()->SetWidth(2);
    Canvas.Pen()->SetStyle(psSolid);
    int x = R.Left + startX;
    const int y = R.Top + Offset;
    bool low = true;
    Canvas.MoveTo(x, y + 3);
    while (x <= R.Left + endX) {
        x += 3;
        low = !low;
        Canvas.LineTo(x, y + (low ? 3 : 0));
    }
    Canvas.Pen()->SetWidth(1);
}

void DrawRangeIndicator(TCanvas& Canvas, TRect R, int Value, int Range, bool ShowValue,
                        TColor NegColor, TColor PosColor) {
    if (Range == 0) return;
    R = TRect(R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2);
    const int half = R.Width() / 2;
    const int centre = R.Left + half;
    Value = std::clamp(Value, -std::abs(Range), std::abs(Range));
    const double x = double(half) * Value / Range;
    const int end = centre + nearest(x);
    fillBox(Canvas, TRect(std::min(centre, end), R.Top, std::max(centre, end), R.Bottom),
            Value < 0 ? NegColor : PosColor);
    if (ShowValue) {
        const std::string text = std::to_string(Value);
        SetBkMode(&Canvas, TRANSPARENT);
        Canvas.TextOut(centre - Canvas.TextWidth(text) / 2,
                       R.Top + (R.Height() - Canvas.TextHeight(text)) / 2, text);
    }
}

void DrawProgressBar(TCanvas& Canvas, TRect R, TColor DoneColor, TColor DoneTextColor,
                     TColor RemainingColor, TColor RemainingTextColor, double Position, int MarginX,
                     int MarginY, int Minimum, int Maximum, const std::string& Fmt,
                     TColor BorderColor, bool InvertedY) {
    const TColor entry = Canvas.Brush()->Color();
    penBrush(Canvas, DoneColor);
    Canvas.Font()->SetColor(DoneTextColor);
    std::string text;
    int percentage;
    if (Fmt.empty()) {
        text = std::to_string(nearest(Position)) + "%";
        percentage = nearest(Position);
    } else {
        if (Fmt.find('d') != std::string::npos || Fmt.find('u') != std::string::npos)
            text = Format(Fmt, nearest(Position));
        else
            text = Format(Fmt, Position);
        percentage =
            Maximum == Minimum ? 0 : nearest((Position - Minimum) * 100 / (Maximum - Minimum));
    }
    percentage = std::clamp(percentage, 0, 100);
    R = TRect(R.Left + MarginX, R.Top + MarginY, R.Right - MarginX, R.Bottom - MarginY);
    const int doneRight = R.Left + nearest(double(R.Width()) * percentage / 100);
    const TSize size = Canvas.TextExtent(text);
    const int tx = R.Left + (R.Width() - size.cx) / 2;
    const int ty =
        InvertedY ? R.Top + (R.Height() + size.cy) / 2 : R.Top + (R.Height() - size.cy) / 2;
    const TRect done(R.Left, R.Top, doneRight, R.Bottom);
    const TRect rest(doneRight, R.Top, R.Right, R.Bottom);
    if (!done.IsEmpty()) {
        Canvas.FillRect(done);
        Canvas.TextRect(done, tx, ty, text);
    }
    penBrush(Canvas, RemainingColor);
    Canvas.Font()->SetColor(RemainingTextColor);
    if (!rest.IsEmpty()) {
        Canvas.FillRect(rest);
        Canvas.TextRect(rest, tx, ty, text);
    }
    R = TRect(R.Left - 1, R.Top - 1, R.Right + 1, R.Bottom + 1);
    if (BorderColor != clNone) {
        Canvas.Brush()->SetColor(BorderColor);
        Canvas.FrameRect(R);
    }
    R = TRect(R.Left - 1, R.Top - 1, R.Right + 1, R.Bottom + 1);
    Canvas.Brush()->SetColor(entry);
    Canvas.FrameRect(R);
}

void DrawProgressPie(TCanvas& Canvas, const TRect& R, TColor FillColor, int Percentage,
                     bool InvertedY) {
    Canvas.Pen()->SetColor(clGray);
    Canvas.Pen()->SetWidth(1);
    Canvas.Pen()->SetStyle(psSolid);
    Canvas.Brush()->SetStyle(bsClear);
    Canvas.Ellipse(R);
    const int cx = R.Left + R.Width() / 2, cy = R.Top + R.Height() / 2;
    line(Canvas, cx, R.Top, cx, cy);
    const double a = Percentage * 3.6 * M_PI / 180.0;
    line(Canvas, cx, cy, cx + nearest((R.Width() + 1) / 2.0 * std::sin(a)),
         cy - nearest((R.Height() + 1) / 2.0 * std::cos(a)));
    if (Percentage > 0) {
        Canvas.Brush()->SetStyle(bsSolid);
        Canvas.Brush()->SetColor(FillColor);
        Canvas.FloodFill(cx + 1, InvertedY ? R.Top - 2 : R.Top + 2, clGray, fsBorder);
    }
}

namespace {

// A bar or block from a to b along the span (pixels from the start), inset across it.
void progressPiece(TCanvas& c, const TRect& frame, int a, int b, int inset, TColor color,
                   TColor colorTo, const TProgressLook& look) {
    TRect p;
    if (look.Vertical)
        p = TRect(frame.Left + inset, frame.Bottom - 1 - b, frame.Right - inset,
                  frame.Bottom - 1 - a);
    else
        p = TRect(frame.Left + 1 + a, frame.Top + inset, frame.Left + 1 + b, frame.Bottom - inset);
    if (p.IsEmpty()) return;
    if (look.ShowGradient && colorTo != clNone) {
        TRect first = p, second = p;
        if (look.Vertical)
            first.Right = second.Left = p.Left + p.Width() / 2;
        else
            first.Bottom = second.Top = p.Top + p.Height() / 2;
        DrawGradient(c, colorTo, color, look.Steps, first, look.Vertical);
        DrawGradient(c, color, colorTo, look.Steps, second, look.Vertical);
    } else {
        fillBox(c, p, color);
    }
}

} // namespace

void DrawCellProgress(TCanvas& Canvas, TRect R, int Percentage, const TProgressLook& Look) {
    int span = Look.Vertical ? R.Height() : R.Width();
    const TColor framePen = Look.ShowBorder ? Look.BorderColor : Look.BackgroundColor;
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(Look.BackgroundColor);
    Canvas.Pen()->SetColor(framePen);
    Canvas.Pen()->SetWidth(1);
    Canvas.Rectangle(R);
    span -= 2;
    const int p = std::clamp(Percentage, 0, 100);
    if (p > 0) {
        if (Look.Stacked) {
            struct Seg {
                int from, to;
                TColor c, ct;
            };
            const Seg segs[] = {
                {0, std::min(p, Look.Level1Perc), Look.Level0Color, Look.Level0ColorTo},
                {Look.Level1Perc, std::min(p, Look.Level2Perc), Look.Level1Color,
                 Look.Level1ColorTo},
                {Look.Level2Perc, p, Look.Level3Color, Look.Level3ColorTo}};
            int at = 0;
            for (const auto& s : segs) {
                if (s.to <= s.from) continue;
                int len = nearest(double(span) * (s.to - s.from) / 100);
                if (p == 100 && &s == &segs[2]) len = span - at;
                progressPiece(Canvas, R, at, at + len, 1, s.c, s.ct, Look);
                at += len;
            }
        } else {
            TColor c = Look.Level2Color, ct = Look.Level2ColorTo;
            if (p < Look.Level1Perc) {
                c = Look.Level0Color;
                ct = Look.Level0ColorTo;
            } else if (p < Look.Level2Perc) {
                c = Look.Level1Color;
                ct = Look.Level1ColorTo;
            } else if (p > 99) {
                c = Look.Level3Color;
                ct = Look.Level3ColorTo;
            }
            if (Look.CompletionSmooth) {
                progressPiece(Canvas, R, 0, nearest(p / 100.0 * span), 1, c, ct, Look);
            } else {
                const int t = nearest(double(p) * span / 100);
                int at = 0;
                if (t > 9) {
                    for (int i = 0; i < t / 9; ++i, at += 9)
                        progressPiece(Canvas, R, at + 2, at + 9, 2, c, ct, Look);
                    if (t % 9 > 2) progressPiece(Canvas, R, at + 2, at + t % 9 + 1, 2, c, ct, Look);
                } else if (t >= 2) {
                    progressPiece(Canvas, R, 2, t + 1, 2, c, ct, Look);
                }
            }
        }
    }
    if (Look.ShowPercentage) {
        TFont saved;
        saved.Assign(Canvas.Font());
        Canvas.Font()->SetName(Look.FontName);
        Canvas.Font()->SetSize(Look.FontSize);
        Canvas.Font()->SetStyle(Look.FontStyle);
        Canvas.Font()->SetColor(Look.FontColor);
        const std::string text = std::to_string(Percentage) + "%";
        SetBkMode(&Canvas, TRANSPARENT);
        const int cx = R.Left + R.Width() / 2, cy = R.Top + R.Height() / 2;
        const TSize size = Canvas.TextExtent(text);
        if (Look.Vertical) {
            Canvas.Font()->SetOrientation(900);
            Canvas.TextOut(cx - size.cy / 2, cy + size.cx / 2, text);
        } else {
            Canvas.TextOut(cx - size.cx / 2, cy - size.cy / 2, text);
        }
        Canvas.Font()->SetOrientation(0);
    }
    Canvas.Pen()->SetColor(framePen);
    Canvas.Brush()->SetStyle(bsClear);
    Canvas.Rectangle(R);
}

void DrawCellShape(TCanvas& Canvas, int X, int Y, int W, int H, TCellShape Shape, TColor FillColor,
                   TColor PenColor) {
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(FillColor);
    Canvas.Pen()->SetColor(PenColor);
    Canvas.Pen()->SetStyle(psSolid);
    if (Shape == csCircle || Shape == csSquare || Shape == csRoundSquare) W = H = std::min(W, H);
    const int cw = W / 2, ch = H / 2, we = W / 2 * 2, he = H / 2 * 2;
    auto star = [&](std::initializer_list<int> ks) {
        std::vector<TPoint> pts;
        for (int k : ks) {
            const double a = k * 36 * M_PI / 180.0;
            const double r = k % 2 ? cw / 3.0 : cw, s = k % 2 ? ch / 3.0 : ch;
            pts.emplace_back(X + cw + nearest(std::sin(a) * r), Y + ch - nearest(std::cos(a) * s));
        }
        Canvas.Polygon(pts);
    };
    using P = TPoint;
    switch (Shape) {
    case csRectangle:
    case csSquare:
        Canvas.Rectangle(X + 1, Y + 1, X + W - 1, Y + H - 1);
        break;
    case csCircle:
    case csEllips:
        Canvas.Ellipse(X, Y, X + W, Y + H);
        break;
    case csTriangleLeft:
        Canvas.Polygon({P(X + W, Y), P(X + W, Y + H), P(X, Y + ch)});
        break;
    case csTriangleRight:
        Canvas.Polygon({P(X, Y), P(X, Y + H), P(X + W, Y + ch)});
        break;
    case csTriangleUp:
        Canvas.Polygon({P(X, Y + H), P(X + W, Y + H), P(X + cw, Y)});
        break;
    case csTriangleDown:
        Canvas.Polygon({P(X, Y), P(X + W, Y), P(X + cw, Y + H)});
        break;
    case csDiamond:
        Canvas.Polygon({P(X, Y + ch), P(X + cw, Y), P(X + 2 * cw, Y + ch), P(X + cw, Y + 2 * ch)});
        break;
    case csLineVert:
        Canvas.Rectangle(X + cw, Y, X + cw + 1, Y + H);
        break;
    case csLineHorz:
        Canvas.Rectangle(X, Y + ch, X + W, Y + ch + 1);
        break;
    case csRoundRect:
    case csRoundSquare:
        Canvas.RoundRect(X, Y, X + W, Y + H, 10, 10);
        break;
    case csStar:
        star({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
        break;
    case csHalfStar:
        star({0, 5, 6, 7, 8, 9});
        break;
    case csArrowUp:
        Canvas.Polygon({P(X, Y + ch), P(X + we / 2, Y), P(X + we, Y + ch),
                        P(X + 3 * (we / 4), Y + ch), P(X + 3 * (we / 4), Y + H),
                        P(X + we / 4, Y + H), P(X + we / 4, Y + ch)});
        break;
    case csArrowDown:
        Canvas.Polygon({P(X, Y + ch), P(X + we / 2, Y + H), P(X + we, Y + ch),
                        P(X + 3 * (we / 4), Y + ch), P(X + 3 * (we / 4), Y), P(X + we / 4, Y),
                        P(X + we / 4, Y + ch)});
        break;
    case csArrowLeft:
        Canvas.Polygon({P(X, Y + he / 2), P(X + cw, Y), P(X + cw, Y + he / 4), P(X + W, Y + he / 4),
                        P(X + W, Y + 3 * (he / 4)), P(X + cw, Y + 3 * (he / 4)),
                        P(X + cw, Y + he)});
        break;
    case csArrowRight:
        Canvas.Polygon({P(X + W, Y + he / 2), P(X + cw, Y), P(X + cw, Y + he / 4), P(X, Y + he / 4),
                        P(X, Y + 3 * (he / 4)), P(X + cw, Y + 3 * (he / 4)), P(X + cw, Y + he)});
        break;
    }
}

// Look 0 needs the visual-style binding; where it is not loaded the classic look stands in.
void DrawComboButton(TCanvas& Canvas, HWND, TRect R, int Look, int State,
                     const TColorTones& Tones) {
    TRect b(R.Right - 17 - 2, R.Top + 1, R.Right - 2, R.Bottom - 1);
    if (Look == 0 || Look == 1 || Look == 2) {
        unsigned flags = DFCS_SCROLLCOMBOBOX | (State == 3 ? DFCS_INACTIVE : 0u);
        if (Look == 2) flags |= DFCS_FLAT;
        DrawFrameControl(&Canvas, b, DFC_SCROLL, flags);
        return;
    }
    b.Left += 3;
    const TColorTone& t = tone(Tones, State);
    fillBox(Canvas, b, t.BrushColor);
    Canvas.Pen()->SetColor(Tones.Background.BorderColor);
    line(Canvas, b.Left + 1, b.Top, b.Left + 1, b.Bottom);
    penBrush(Canvas, Tones.Background.TextColor);
    Canvas.Polygon({TPoint(b.Left + 5, b.Top + 8), TPoint(b.Left + 11, b.Top + 8),
                    TPoint(b.Left + 8, b.Top + 11)});
}

void DrawCellButton(TCanvas& Canvas, HWND, TRect R, int Look, int State, const TColorTones& Tones) {
    if (Look == 0 || Look == 1 || Look == 2) {
        unsigned flags = DFCS_BUTTONPUSH;
        if (State == 1) flags |= DFCS_HOT;
        if (State == 2) flags |= DFCS_PUSHED;
        if (State == 3) flags |= DFCS_INACTIVE;
        if (Look == 2) flags |= DFCS_FLAT;
        DrawFrameControl(&Canvas, R, DFC_BUTTON, flags);
        return;
    }
    const TColorTone& t = tone(Tones, State);
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(t.BrushColor);
    Canvas.Pen()->SetColor(t.BorderColor);
    Canvas.Rectangle(R);
}

void DrawSpinButtons(TCanvas& Canvas, HWND, TRect R, int Look, int State,
                     const TColorTones& Tones) {
    const TRect pair(R.Right - 15 - 1, R.Top - 1, R.Right - 1, R.Bottom - 1);
    const int mid = pair.Top + pair.Height() / 2;
    TRect up(pair.Left, pair.Top, pair.Right, mid);
    TRect down(pair.Left, mid + (Look == 0 ? 0 : 1), pair.Right, pair.Bottom);
    if (Look == 0 || Look == 1 || Look == 2) {
        unsigned extra = (State == 3 ? DFCS_INACTIVE : 0u) | (Look == 2 ? DFCS_FLAT : 0u);
        DrawFrameControl(&Canvas, up, DFC_SCROLL, DFCS_SCROLLUP | extra);
        DrawFrameControl(&Canvas, down, DFC_SCROLL, DFCS_SCROLLDOWN | extra);
        return;
    }
    const TColorTone& t = tone(Tones, State);
    fillBox(Canvas, up, t.BrushColor);
    fillBox(Canvas, down, t.BrushColor);
    penBrush(Canvas, clBlack);
    Canvas.Polygon({TPoint(up.Left + 5, up.Top + 5), TPoint(up.Left + 9, up.Top + 5),
                    TPoint(up.Left + 7, up.Top + 3)});
    Canvas.Polygon({TPoint(down.Left + 5, down.Top + 1), TPoint(down.Left + 9, down.Top + 1),
                    TPoint(down.Left + 7, down.Top + 3)});
}

bool DynUpdateLayeredWindow(HWND Wnd, HDC DstDC, TPoint* DstPos, TSize* Size, HDC SrcDC,
                            TPoint* SrcPos, TColor Key, BLENDFUNCTION* Blend, DWORD Flags) {
    using Fn = bool (*)(HWND, HDC, TPoint*, TSize*, HDC, TPoint*, TColor, BLENDFUNCTION*, DWORD);
    HMODULE lib = GetModuleHandle("USER32.DLL");
    FARPROC f = lib ? GetProcAddress(lib, "UpdateLayeredWindow") : nullptr;
    if (!f) return true;
    return reinterpret_cast<Fn>(f)(Wnd, DstDC, DstPos, Size, SrcDC, SrcPos, Key, Blend, Flags);
}

bool DynSetLayeredWindowAttributes(HWND Wnd, TColor Key, std::uint8_t Alpha, DWORD Flags) {
    using Fn = bool (*)(HWND, TColor, std::uint8_t, DWORD);
    HMODULE lib = GetModuleHandle("USER32.DLL");
    FARPROC f = lib ? GetProcAddress(lib, "SetLayeredWindowAttributes") : nullptr;
    if (!f) return true;
    return reinterpret_cast<Fn>(f)(Wnd, Key, Alpha, Flags);
}
