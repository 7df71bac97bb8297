#include "platform/gfx/Themes.h"

#include <algorithm>
#include <string>

// The themed look: flat header items on the window colour with thin separators, tinted with
// the highlight colour when hot or pressed, and a small sort arrow above the caption.
struct HTHEME__ {};

namespace {

HTHEME__ headerTheme;

// C weighted with Percent of Tint.
TColor tinted(TColor C, TColor Tint, int Percent) {
    const auto mix = [Percent](int a, int b) { return (a * (100 - Percent) + b * Percent) / 100; };
    C = ColorToRGB(C);
    Tint = ColorToRGB(Tint);
    return RGB(mix(GetRValue(C), GetRValue(Tint)), mix(GetGValue(C), GetGValue(Tint)),
               mix(GetBValue(C), GetBValue(Tint)));
}

constexpr int SortArrowWidth = 9;
constexpr int SortArrowHeight = 5;

} // namespace

HTHEME OpenThemeData(HWND__*, const char* ClassList) {
    if (!ClassList) return nullptr;
    std::string list = ClassList;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(';', start), list.size());
        if (list.compare(start, end - start, "HEADER") == 0) return &headerTheme;
        start = end + 1;
    }
    return nullptr;
}

void CloseThemeData(HTHEME) {}

bool DrawThemeBackground(HTHEME Theme, HDC DC, int PartId, int StateId, const TRect& Rect,
                         const TRect* ClipRect) {
    if (Theme != &headerTheme || !DC) return false;
    int saved = 0;
    if (ClipRect) {
        saved = SaveDC(DC);
        IntersectClipRect(DC, ClipRect->Left, ClipRect->Top, ClipRect->Right, ClipRect->Bottom);
    }
    bool drawn = true;
    if (PartId == HP_HEADERITEM && StateId >= HIS_NORMAL && StateId <= HIS_PRESSED) {
        static const int tint[] = {0, 18, 34};
        FillRect(DC, Rect, tinted(clWindow, clHighlight, tint[StateId - 1]));
        const TColor line = tinted(clWindow, clBtnShadow, 45);
        FillRect(DC, TRect(Rect.Left, Rect.Bottom - 1, Rect.Right, Rect.Bottom), line);
        FillRect(DC, TRect(Rect.Right - 1, Rect.Top + 2, Rect.Right, Rect.Bottom - 3), line);
    } else if (PartId == HP_HEADERSORTARROW &&
               (StateId == HSAS_SORTEDUP || StateId == HSAS_SORTEDDOWN)) {
        // Rows of the arrow from its tip, centred in Rect.
        const int x = Rect.Left + (Rect.Width() - SortArrowWidth) / 2;
        const int y = Rect.Top + (Rect.Height() - SortArrowHeight) / 2;
        const TColor c = ColorToRGB(clBtnShadow);
        for (int i = 0; i < SortArrowHeight; ++i) {
            const int row = StateId == HSAS_SORTEDUP ? i : SortArrowHeight - 1 - i;
            FillRect(DC, TRect(x + 4 - i, y + row, x + 5 + i, y + row + 1), c);
        }
    } else {
        drawn = false;
    }
    if (ClipRect) RestoreDC(DC, saved);
    return drawn;
}

bool GetThemePartSize(HTHEME Theme, HDC, int PartId, int StateId, const TRect* Rect, THEMESIZE Size,
                      TSize& PartSize) {
    PartSize = TSize{0, 0};
    if (Theme != &headerTheme) return false;
    if (PartId == HP_HEADERSORTARROW && (StateId == HSAS_SORTEDUP || StateId == HSAS_SORTEDDOWN)) {
        PartSize = TSize{SortArrowWidth, SortArrowHeight};
        return true;
    }
    if (PartId == HP_HEADERITEM && StateId >= HIS_NORMAL && StateId <= HIS_PRESSED) {
        // An item takes what it is given; its smallest size holds its lines.
        PartSize = Size == TS_MIN || !Rect ? TSize{2, 2} : TSize{Rect->Width(), Rect->Height()};
        return true;
    }
    return false;
}
