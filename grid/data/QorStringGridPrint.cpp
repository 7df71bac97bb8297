// Printing and preview: one layout pass measures the columns and rows in tenths of a
// millimetre (y growing upwards, the page top at 0), cuts the columns into bands that fit the
// page width and the rows of each band into pages, and paints the pages that are asked for.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUtils.h"
#include "grid/data/DataSettings.h"
#include "grid/render/ControlLook.h"
#include "grid/render/markup/MarkupRender.h"
#include "grid/render/markup/MarkupText.h"
#include "platform/gfx/ImageList.h"
#include "platform/gfx/Imaging.h"
#include "platform/gfx/RichText.h"
#include "platform/print/Printers.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

namespace {
enum PassMode { pmPrint, pmPreview, pmPrinterCount, pmPreviewCount };

bool drawing(PassMode m) {
    return m == pmPrint || m == pmPreview;
}

bool atTop(TPrintPosition p) {
    return p >= ppTopLeft && p <= ppTopCenter;
}
bool atBottom(TPrintPosition p) {
    return p >= ppBottomLeft && p <= ppBottomCenter;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines.push_back(line);
            line.clear();
        } else
            line += text[i];
    }
    lines.push_back(line);
    return lines;
}

// The columns of one band.
struct Band {
    int first = 0, last = 0;
};
} // namespace

// The layout pass and the page painter over one grid.
class TGridPrintEngine {
public:
    TGridPrintEngine(TQorStringGrid& g, PassMode mode, bool selectedRows, bool selectedCols)
        : g(g), ps(*g.FPrintSettings), mode(mode), selRows(selectedRows), selCols(selectedCols),
          measure(nullptr) {}

    // Draws onto canvas with its page origin at the device point origin, dpi pixels per inch.
    void setTarget(TCanvas* c, TPoint origin, int dpi) {
        canvas = c;
        map.Origin = origin;
        map.PixelsPerInchX = map.PixelsPerInchY = dpi;
    }
    int run(int W, int B);
    void setTotal(int n) { pagesTotal = n; }

    static void print(TQorStringGrid& g, const TGridRect& cells, bool rows, bool cols);
    static void preview(TQorStringGrid& g, TCanvas* canvas, const TRect& rect,
                        const TGridRect& cells, bool rows, bool cols);
    static void draw(TQorStringGrid& g, TCanvas* canvas, const TRect& rect, const TGridRect& cells);

private:
    // --- fonts and text ---------------------------------------------------------------------
    int mapFontHeight(int points) const { return -int(points * 254.0 / 72.0 * g.FFontScaleFactor); }
    // The font in units on the measuring canvas.
    void measureFont(const TFont* f) {
        measure.Font()->Assign(f);
        measure.Font()->SetHeight(mapFontHeight(f->Size()));
    }
    // The font in device pixels on the target canvas.
    void deviceFont(const TFont* f) {
        canvas->Font()->Assign(f);
        canvas->Font()->SetHeight(-std::max(1, map.Height(-mapFontHeight(f->Size()))));
    }
    int textHeight(const TFont* f) {
        measureFont(f);
        return measure.TextHeight("gh");
    }
    const TFont* bodyFont() const { return ps.UseDisplayFont() ? g.Font() : ps.Font(); }

    // --- kept cells -------------------------------------------------------------------------
    bool keptRow(int r) {
        if (r < 0 || r >= g.RowCount()) return false;
        if (ps.FixedCellsAlways() && r < g.FixedRows()) return true;
        if (!selRows) return true;
        if (g.MouseActions()->DisjunctRowSelect()) return g.RowSelect(r);
        const TGridRect s = g.Selection();
        return r >= s.Top && r <= s.Bottom;
    }
    bool keptCol(int c) {
        if (ps.FixedCellsAlways() && c < g.FixedCols()) return true;
        if (!selCols) return true;
        if (g.MouseActions()->DisjunctRowSelect()) return true;
        if (g.MouseActions()->DisjunctColSelect()) return g.ColSelect(c);
        const TGridRect s = g.Selection();
        return c >= s.Left && c <= s.Right;
    }

    // --- cell look and size -----------------------------------------------------------------
    struct Look {
        TBrush brush;
        TFont font;
        TColor colorTo = clNone;
        TAlignment ha = taLeftJustify;
        TVAlignment va = vtaTop;
        bool wordWrap = false;
    };
    void cellLook(int c, int r, Look& look) {
        TGridDrawState state;
        if (c < g.FixedCols() || r < g.FixedRows()) state.Include(gdFixed);
        TColor mirror = clNone, mirrorTo = clNone;
        TCellGradientDirection gd = GradientVertical;
        look.wordWrap = g.WordWrap();
        g.GetVisualProperties(c, r, state, true, false, true, &look.brush, look.colorTo, mirror,
                              mirrorTo, &look.font, look.ha, look.va, look.wordWrap, gd);
    }
    // The printed text and its kind: a formula shows its value; a cell whose graphic stands
    // for its text shows none.
    std::string cellText(int c, int r, int& kind) {
        const int rc = g.RealColIndexOf(c);
        kind = ctkPlain;
        switch (g.GetCellType(rc, r)) {
        case ctDataCheckBox:
        case ctDataImage:
        case ctVirtCheckBox:
        case ctRowCheckBox:
            return std::string();
        default:
            break;
        }
        // A graphic that stands in for its text on screen does so on paper when it prints.
        if (ps.PrintGraphics() && !g.GetCellGraphicInfo(rc, r).ShowText) {
            TSize printed;
            if (printedGraphic(c, r, printed)) return std::string();
        }
        std::string text = g.GetFormattedCell(rc, r);
        kind = GetCellTextKind(text, g.EnableHTML());
        if (kind == ctkFormula) {
            text = g.GetPrintCellText(rc, r);
            kind = GetCellTextKind(text, g.EnableHTML());
        }
        return text;
    }
    // The graphic printed in a cell, with its printed size in units; nullptr when none.
    TCellGraphic* printedGraphic(int c, int r, int boxWidth, int boxHeight, TSize& size) {
        if (!ps.PrintGraphics()) return nullptr;
        const int rc = g.RealColIndexOf(c);
        TCellGraphic* graphic = g.GetCellGraphic(rc, r);
        if (!graphic) return nullptr;
        TPoint px;
        g.CalcPrintGraphicSize(rc, r, px, int(boxWidth / s), int(boxHeight / s), 1.0);
        size = {int(std::lround(px.X * s)), int(std::lround(px.Y * s))};
        return size.cx > 0 && size.cy > 0 ? graphic : nullptr;
    }
    // The same, fitted to the cell's size on screen.
    TCellGraphic* printedGraphic(int c, int r, TSize& size) {
        return printedGraphic(c, r, int(std::lround(g.ColWidths(c) * s)),
                              int(std::lround(g.RowHeights(r) * s)), size);
    }
    // Device pixels per screen pixel.
    double deviceScale() const { return map.PixelsPerInchX / double(ScreenPixelsPerInch); }
    HTMLRenderOptions markupOptions(int c, int r) {
        HTMLRenderOptions o;
        g.cellMarkupOptions(g.RealColIndexOf(c), r, o);
        o.PrintScale = true;
        o.ScaleFactor = deviceScale();
        return o;
    }
    // Width and height of a cell's printed content, in units.
    TSize cellExtent(int c, int r) {
        Look look;
        cellLook(c, r, look);
        measureFont(&look.font);
        int kind = ctkPlain;
        std::string text = cellText(c, r, kind);
        const int rc = g.RealColIndexOf(c);
        TSize graphicSize;
        const TCellGraphic* graphic = printedGraphic(c, r, graphicSize);
        int angle = 0;
        const bool turned = g.IsRotated(rc, r, angle);
        TSize size;
        if (kind == ctkMarkup) {
            HTMLRenderOptions o = markupOptions(c, r);
            o.MeasureOnly = true;
            o.WordWrap = look.wordWrap;
            const int wrap =
                look.wordWrap ? std::max(1, int(std::lround(g.ColWidths(c) * s))) : 1000000;
            HTMLRenderResult res;
            HTMLRenderText(measure, text, TRect(0, 0, wrap, 1000000), o, res);
            size = {res.MaxLineWidth, std::max(res.TotalHeight, measure.TextHeight("gh"))};
        } else {
            if (kind == ctkRTF) {
                TRichText rich;
                rich.Load(text);
                text = rich.PlainText();
            }
            if (text.empty()) text = "gh";
            const std::vector<std::string> lines = splitLines(text);
            if (look.wordWrap && !ps.NoAutoSize() && !turned && g.CellSpan(rc, r).X == 0) {
                TRect box(0, 0, std::max(1, int(std::lround(g.ColWidths(c) * s))), 0);
                DrawText(measure.Handle(), text, -1, box, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
                size = {box.Width(), box.Height()};
            } else {
                int widest = 0;
                for (const std::string& line : lines)
                    widest = std::max(widest, measure.TextWidth(line));
                size = {widest, measure.TextHeight("gh") * int(lines.size())};
                if (turned) {
                    const double a = angle * std::numbers::pi / 180.0;
                    const double sn = std::fabs(std::sin(a)), cs = std::fabs(std::cos(a));
                    size = {int(std::lround(cs * size.cx + sn * size.cy)),
                            int(std::lround(sn * widest + cs * size.cy))};
                }
            }
        }
        if (graphic) {
            size.cx += graphicSize.cx;
            size.cx = std::max(size.cx, graphicSize.cx);
            size.cy = std::max(size.cy, graphicSize.cy);
        }
        if (g.OnCustomCellSize) {
            TPoint pt{size.cx, size.cy};
            g.OnCustomCellSize(&g, &measure, c, r, pt, true);
            size = {pt.X, pt.Y};
        }
        return size;
    }

    // --- layout steps -----------------------------------------------------------------------
    void measureColumns();
    void fitToPage();
    std::vector<Band> cutBands();
    void placeColumns(const Band& band, bool repeatCols);
    int rowHeight(int r);
    int drawnHeight(int r) { return 2 * gap + rowHeight(r) + ps.RowSpacing(); }
    void headerFooterAreas(int pageInBand, int& E, int& F);
    bool markupTitle() const;
    int paintMarkupTitle(int y, bool Draw);
    int markupTitleHeight();

    // --- painting ---------------------------------------------------------------------------
    bool pageDrawn() const {
        return drawing(mode) && page >= g.FFlags.PrintPageFrom && page <= g.FFlags.PrintPageTo;
    }
    void startPage();
    void paintHeaderFooter();
    std::string pageNumberText();
    void paintRow(int r, int y, bool repeatCols);
    void paintCell(int c, int r, int left, int width, int y, int height, bool firstOfBand);
    void paintGraphic(int c, int r, TCellGraphic& graphic, const TRect& R, TColor background);
    void paintClosingLines(int bottom, bool repeatCols);
    void line(int x1, int y1, int x2, int y2) {
        canvas->MoveTo(map.X(x1), map.Y(y1));
        canvas->LineTo(map.X(x2), map.Y(y2));
    }

    TQorStringGrid& g;
    TPrintSettings& ps;
    PassMode mode;
    bool selRows, selCols;
    TCanvas measure;
    TCanvas* canvas = nullptr;
    TMetricMapping map;
    TGridRect range{};
    std::vector<int> fixedCols; // repeated fixed columns of the current band
    std::vector<int> bandCols;  // kept columns of the current band
    int W = 0, B = 0, Hh = 0, Hf = 0, Hb = 0, gap = 0, m = 0;
    double s = 254.0 / ScreenPixelsPerInch;
    int page = 0, pageInBand = 0, bandNr = 0, bandCount = 0, pagesTotal = 0;
    bool anyDrawn = false;
    int cachedRow = -1, cachedHeight = 0, lastMeasured = 0;
    int titleHeight = -1;
};

void TGridPrintEngine::measureColumns() {
    for (int c = range.Left; c <= range.Right && c < 512; ++c) {
        if (!keptCol(c)) {
            g.FMaxWidths[std::size_t(c)] = 0;
            continue;
        }
        int w = 0;
        if (ps.NoAutoSize())
            w = int(std::lround(g.ColWidths(c) * s));
        else if (ps.UseFixedWidth())
            w = ps.FixedWidth();
        else {
            auto measureRow = [&](int r) {
                if (g.CellSpan(g.RealColIndexOf(c), r).X > 0) return;
                if (g.IsMergedNonBaseCell(g.RealColIndexOf(c), r)) return;
                w = std::max(w, cellExtent(c, r).cx);
            };
            if (ps.RepeatFixedRows())
                for (int r = 0; r < std::min(g.FixedRows(), range.Top); ++r) measureRow(r);
            for (int r = range.Top; r <= range.Bottom; ++r)
                if (keptRow(r)) measureRow(r);
        }
        g.FMaxWidths[std::size_t(c)] = w;
    }
}

void TGridPrintEngine::fitToPage() {
    g.FFontScaleFactor = 1.0;
    if (ps.FitToPage() == fpNever) return;
    long long S = 0, V = 0;
    for (int c = range.Left; c <= range.Right && c < 512; ++c) {
        V += m;
        if (keptCol(c)) S += g.FMaxWidths[std::size_t(c)] + m;
    }
    double f = S != V ? double(W - ps.RightSize() - ps.LeftSize() - V) / double(S - V) : 1.0;
    switch (ps.FitToPage()) {
    case fpShrink:
        if (f > 1) f = 1;
        break;
    case fpGrow:
        if (f < 1) f = 1;
        break;
    case fpCustom: {
        bool allow = true;
        if (g.OnFitToPage) g.OnFitToPage(&g, f, allow);
        if (!allow) f = 1;
        break;
    }
    default:
        break;
    }
    if (f <= 0) f = 1; // a page too narrow for the gaps alone is printed unscaled
    if (f != 1.0)
        for (int c = range.Left; c <= range.Right && c < 512; ++c)
            g.FMaxWidths[std::size_t(c)] = int(g.FMaxWidths[std::size_t(c)] * f);
    g.FFontScaleFactor = f;
}

std::vector<Band> TGridPrintEngine::cutBands() {
    std::vector<Band> bands;
    int fixedWidth = 0;
    if (ps.RepeatFixedCols())
        for (int c = 0; c < g.FixedCols(); ++c) fixedWidth += g.FMaxWidths[std::size_t(c)] + m;
    const int last = std::min(range.Right, 511);
    for (int first = range.Left; first <= last;) {
        const bool repeat =
            ps.RepeatFixedCols() && g.FixedCols() > 0 && !(bands.empty() && first <= g.FixedCols());
        int width = (repeat ? fixedWidth : 0) + (ps.Centered() ? 0 : ps.LeftSize());
        int end = first;
        for (int c = first; c <= last; ++c) {
            const int add = keptCol(c) ? g.FMaxWidths[std::size_t(c)] + m : 0;
            if (c > first && width + add > W - ps.RightSize()) break;
            width += add;
            end = c;
        }
        bands.push_back({first, end});
        first = end + 1;
    }
    return bands;
}

void TGridPrintEngine::placeColumns(const Band& band, bool repeatCols) {
    fixedCols.clear();
    bandCols.clear();
    int fixedWidth = 0;
    if (repeatCols)
        for (int c = 0; c < g.FixedCols() && c < 512; ++c) {
            fixedCols.push_back(c);
            g.FIndents[std::size_t(c)] = fixedWidth;
            fixedWidth += g.FMaxWidths[std::size_t(c)] + m;
        }
    int x = ps.Centered() ? 0 : ps.LeftSize();
    for (int c = band.first; c <= band.last; ++c) {
        g.FIndents[std::size_t(c)] = x;
        if (!keptCol(c)) continue;
        bandCols.push_back(c);
        x += g.FMaxWidths[std::size_t(c)] + m;
    }
    g.FIndents[std::size_t(band.last + 1)] = x;
    int bandWidth = x - (ps.Centered() ? 0 : ps.LeftSize()) + fixedWidth;
    g.FPrintPageWidth = bandWidth;
    const int shift = ps.Centered() && bandWidth < W ? (W - bandWidth) / 2 : 0;
    for (int c : fixedCols)
        g.FIndents[std::size_t(c)] += shift + (ps.Centered() ? 0 : ps.LeftSize());
    for (int c = band.first; c <= band.last + 1; ++c)
        g.FIndents[std::size_t(c)] += shift + fixedWidth;
    g.FPrintColStart = band.first;
    g.FPrintColEnd = band.last;
}

int TGridPrintEngine::rowHeight(int r) {
    if (r == cachedRow) return cachedHeight;
    int h;
    if (ps.NoAutoSizeRow())
        h = int(std::lround(g.RowHeights(r) * s)) - 4;
    else if (ps.UseFixedHeight())
        h = ps.FixedHeight();
    else {
        h = 0;
        for (int c = range.Left; c <= range.Right; ++c) {
            if (!keptCol(c) || g.CellSpan(g.RealColIndexOf(c), r).Y > 0) continue;
            if (g.IsMergedNonBaseCell(g.RealColIndexOf(c), r)) continue;
            h = std::max(h, cellExtent(c, r).cy);
        }
        if (h == 0) h = lastMeasured;
        lastMeasured = h;
        h += h / 8;
    }
    if (g.OnPrintSetRowHeight) g.OnPrintSetRowHeight(&g, r, h);
    cachedRow = r;
    cachedHeight = h;
    return h;
}

void TGridPrintEngine::headerFooterAreas(int pageOfBand, int& E, int& F) {
    const bool anyTop =
        atTop(ps.Time()) || atTop(ps.Date()) || atTop(ps.PageNr()) || atTop(ps.Title());
    const bool anyBottom =
        atBottom(ps.Time()) || atBottom(ps.Date()) || atBottom(ps.PageNr()) || atBottom(ps.Title());
    const bool markup = markupTitle();
    const int extraLines =
        ps.TitleText().empty() && !markup ? std::max(0, ps.TitleLines()->Count() - 1) : 0;
    E = anyTop ? gap + Hh + ps.HeaderSize() : ps.HeaderSize();
    if (atTop(ps.Title())) E += extraLines * Hh;
    F = anyBottom ? 2 * gap + 2 * Hf + ps.FooterSize() : gap + Hf + ps.FooterSize();
    if (atBottom(ps.Title())) F += extraLines * Hf;
    // A markup title takes its room on the first page of each band, below the header line or
    // above the footer line.
    if (markup && pageOfBand == 1) {
        if (atTop(ps.Title())) E += markupTitleHeight();
        if (atBottom(ps.Title())) F += markupTitleHeight();
    }
}

bool TGridPrintEngine::markupTitle() const {
    return ps.TitleText().empty() && ps.Title() != ppNone && ps.TitleLines()->Count() > 0 &&
           GetCellTextKind(ps.TitleLines()->Text(), g.EnableHTML()) == ctkMarkup;
}

// The markup title block drawn (or, with Draw false, measured) with its top at y.
int TGridPrintEngine::paintMarkupTitle(int y, bool Draw) {
    deviceFont(ps.HeaderFont());
    HTMLRenderOptions o;
    g.cellMarkupOptions(0, 0, o);
    o.PrintScale = true;
    o.ScaleFactor = deviceScale();
    o.MeasureOnly = !Draw;
    HTMLRenderResult res;
    HTMLRenderText(*canvas, ps.TitleLines()->Text(),
                   TRect(map.X(ps.LeftSize()), map.Y(y), map.X(W), map.Y(B)), o, res);
    return map.UnitsY(res.TotalHeight);
}

int TGridPrintEngine::markupTitleHeight() {
    if (titleHeight < 0) titleHeight = paintMarkupTitle(0, false);
    return titleHeight;
}

int TGridPrintEngine::run(int width, int bottom) {
    W = width;
    B = bottom;
    g.FPrintPageRect = TRect(0, 0, W, B);
    g.FFontScaleFactor = 1.0;
    range = g.FPrintCellRect;
    range.Right = std::min(range.Right, g.ColCount() - 1);
    range.Bottom = std::min(range.Bottom, g.RowCount() - 1);
    if (range.Left > range.Right || range.Top > range.Bottom) return 0;
    Hh = textHeight(ps.HeaderFont());
    Hf = textHeight(ps.FooterFont());
    Hb = textHeight(bodyFont());
    gap = Hb / 8;
    m = ps.UseFixedWidth() ? 0 : ps.ColumnSpacing() + 20;
    measureColumns();
    fitToPage();
    for (int c = range.Left; c <= range.Right && c < 512; ++c)
        if (g.OnPrintSetColumnWidth) g.OnPrintSetColumnWidth(&g, c, g.FMaxWidths[std::size_t(c)]);
    const std::vector<Band> bands = cutBands();
    bandCount = int(bands.size());
    const int state = range.Left == 0 && range.Top == 0 && range.Right == g.ColCount() - 1 &&
                              range.Bottom == g.RowCount() - 1
                          ? esExportNewRow
                          : esExportSelRow;
    bool cancelled = false;
    page = 0;
    for (std::size_t b = 0; b < bands.size() && !cancelled; ++b) {
        bandNr = int(b) + 1;
        pageInBand = 0;
        const bool repeatCols = ps.RepeatFixedCols() && g.FixedCols() > 0 &&
                                !(b == 0 && bands[b].first <= g.FixedCols());
        placeColumns(bands[b], repeatCols);
        int r = range.Top;
        while (!cancelled) {
            while (r <= range.Bottom && !keptRow(r)) ++r;
            if (r > range.Bottom) break;
            ++page;
            ++pageInBand;
            startPage();
            int E, F;
            headerFooterAreas(pageInBand, E, F);
            int y = -E - ps.TitleSpacing();
            const bool repeatRows = ps.RepeatFixedRows() && g.FixedRows() > 0 &&
                                    (page > 1 || range.Top >= g.FixedRows());
            if (repeatRows) {
                for (int fr = 0; fr < g.FixedRows(); ++fr) {
                    if (pageDrawn()) paintRow(fr, y, repeatCols);
                    y -= drawnHeight(fr);
                }
                if (r < g.FixedRows()) r = g.FixedRows();
                while (r <= range.Bottom && !keptRow(r)) ++r;
            }
            int rowsOnPage = 0;
            bool breakPage = false;
            while (r <= range.Bottom && !breakPage) {
                if (!keptRow(r)) {
                    ++r;
                    continue;
                }
                const int h = drawnHeight(r);
                // A row taller than the page still gets a page of its own.
                if (rowsOnPage > 0 && y - h <= B + F) break;
                if (drawing(mode)) g.ExportNotification(TGridExportState(state), r);
                if (pageDrawn()) paintRow(r, y, repeatCols);
                y -= h;
                ++rowsOnPage;
                ++r;
                if (g.OnPrintNewPage && r <= range.Bottom) g.OnPrintNewPage(&g, r, breakPage);
            }
            if (drawing(mode)) {
                if (g.OnPrintPageDone) g.OnPrintPageDone(&g, canvas, r, y, page, W, B);
                if (g.OnPrintCancel) g.OnPrintCancel(&g, page, cancelled);
            }
            if (pageDrawn()) {
                paintClosingLines(y, repeatCols);
                paintHeaderFooter();
            }
            if (g.FFastPrint && page >= g.FFlags.PrintPageTo) {
                cancelled = true; // nothing further is drawn
            }
        }
    }
    g.FFontScaleFactor = 1.0;
    return page;
}

void TGridPrintEngine::startPage() {
    if (!pageDrawn()) return;
    if (mode == pmPrint && anyDrawn && Printer()->Printing()) Printer()->NewPage();
    anyDrawn = true;
    if (g.OnPrintPage) g.OnPrintPage(&g, canvas, page, W, B);
}

std::string TGridPrintEngine::pageNumberText() {
    std::string text;
    int num = page, col = 0;
    if (bandCount > 1) {
        num = pageInBand;
        col = bandNr;
        text = std::to_string(pageInBand) + "-" + std::to_string(bandNr);
    } else {
        text = std::to_string(page + ps.PageNumberOffset());
        if (!ps.PageNumSep().empty() && !g.FFastPrint && pagesTotal > 1)
            text += ps.PageNumSep() + std::to_string(pagesTotal + ps.MaxPagesOffset());
    }
    g.PrintGetPageNum(num, col, text);
    return text;
}

void TGridPrintEngine::paintHeaderFooter() {
    std::string texts[7];
    auto place = [&](TPrintPosition pos, const std::string& item) {
        if (pos == ppNone) return;
        std::string& t = texts[pos];
        if (pos == ppTopLeft || pos == ppBottomLeft)
            t = item + " " + t;
        else
            t = t + " " + item;
    };
    place(ps.Time(), FormatDateTime("hh:nn", Now()));
    place(ps.Date(), FormatDateTime(ps.DateFormat(), Now()));
    place(ps.PageNr(), ps.PagePrefix() + " " + pageNumberText() + " " + ps.PageSuffix());
    std::vector<std::string> titleLines;
    if (!ps.TitleText().empty())
        place(ps.Title(), ps.TitleText());
    else if (markupTitle()) {
        if (pageInBand == 1) {
            int E, F;
            headerFooterAreas(0, E, F);
            paintMarkupTitle(atTop(ps.Title()) ? -E : B + F + markupTitleHeight(), true);
        }
    } else if (ps.Title() != ppNone && ps.TitleLines()->Count() > 0) {
        for (int i = 0; i < ps.TitleLines()->Count(); ++i)
            titleLines.push_back(ps.TitleLines()->Strings(i));
        std::string& t = texts[ps.Title()];
        const bool left = ps.Title() == ppTopLeft || ps.Title() == ppBottomLeft;
        const std::string sep = t.empty() || titleLines[0].empty() ? "" : " ";
        t = left ? titleLines[0] + sep + t : t + sep + titleLines[0];
    }
    SetBkMode(canvas->Handle(), TRANSPARENT);
    for (int pos = ppTopLeft; pos <= ppBottomCenter; ++pos) {
        const bool top = pos <= ppTopCenter;
        const TFont* f = top ? ps.HeaderFont() : ps.FooterFont();
        measureFont(f);
        deviceFont(f);
        const int lineH = top ? Hh : Hf;
        std::vector<std::string> lines{texts[pos]};
        if (pos == ps.Title())
            for (std::size_t i = 1; i < titleLines.size(); ++i) lines.push_back(titleLines[i]);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].empty()) continue;
            const int w = measure.TextWidth(lines[i]);
            int x;
            if (pos == ppTopLeft || pos == ppBottomLeft)
                x = ps.LeftSize();
            else if (pos == ppTopRight || pos == ppBottomRight)
                x = W - ps.RightSize() - 20 - w;
            else
                x = (W - w) / 2;
            const int y = top ? -ps.HeaderSize() - int(i) * lineH
                              : B + ps.FooterSize() + Hf + gap + int(i) * lineH;
            canvas->TextOut(map.X(x), map.Y(y), lines[i]);
        }
    }
}

void TGridPrintEngine::paintRow(int r, int y, bool repeatCols) {
    const int height = drawnHeight(r);
    std::vector<int> cols = fixedCols;
    if (!repeatCols) cols.clear();
    cols.insert(cols.end(), bandCols.begin(), bandCols.end());
    for (std::size_t i = 0; i < cols.size(); ++i) {
        const int c = cols[i];
        const int rc = g.RealColIndexOf(c);
        if (g.IsMergedNonBaseCell(rc, r)) continue;
        const TPoint span = g.CellSpan(rc, r);
        int width = 0;
        for (int k = c; k <= c + span.X && k <= g.FPrintColEnd; ++k)
            width += g.FMaxWidths[std::size_t(k)] + m;
        int cellHeight = height;
        for (int k = r + 1; k <= r + span.Y && k < g.RowCount(); ++k) cellHeight += drawnHeight(k);
        paintCell(c, r, g.FIndents[std::size_t(c)], width, y, cellHeight, i == 0);
    }
}

void TGridPrintEngine::paintCell(int c, int r, int left, int width, int y, int height,
                                 bool firstOfBand) {
    Look look;
    cellLook(c, r, look);
    TCellBorders sides;
    switch (ps.Borders()) {
    case pbSingle:
    case pbDouble:
        sides = {cbLeft, cbTop, cbRight, cbBottom};
        break;
    case pbHorizontal:
    case pbAroundHorizontal:
        sides = {cbTop, cbBottom};
        break;
    case pbVertical:
    case pbAroundVertical:
        sides = {cbLeft, cbRight};
        break;
    default:
        break;
    }
    TPen pen;
    pen.SetWidth(1);
    pen.SetColor(ps.BorderColor());
    pen.SetStyle(ps.BorderStyle());
    g.GetCellPrintBorder(g.RealColIndexOf(c), r, &pen, sides);
    // A cell reaching below the footer is cut to the row and loses its bottom line.
    int bottom = y - height;
    if (bottom < B + ps.FooterSize()) {
        bottom = y - drawnHeight(r);
        sides.Exclude(cbBottom);
    }
    const int penUnits = std::max(1, int(pen.Width() * s));
    TRect fill(map.X(left + (sides.Contains(cbLeft) ? 0 : 2 * penUnits)),
               map.Y(y - (sides.Contains(cbTop) ? 0 : 2 * penUnits)), map.X(left + width),
               map.Y(bottom));
    if (look.brush.Color() != clNone) {
        if (look.colorTo != clNone && look.colorTo != look.brush.Color())
            GradientFillRect(canvas->Handle(), fill, look.brush.Color(), look.colorTo, true);
        else {
            canvas->Brush()->SetColor(look.brush.Color());
            canvas->Brush()->SetStyle(bsSolid);
            canvas->FillRect(fill);
        }
    }
    measureFont(&look.font);
    deviceFont(&look.font);
    canvas->Font()->SetColor(look.font.Color());
    const int right = std::min(left + width, W);
    const TRect clip(map.X(left), map.Y(y), map.X(right), map.Y(bottom));
    // The text area, less the room a graphic beside, under or above the text takes.
    int textLeft = left, textRight = right, textTop = y, textBottom = bottom;
    TSize gs;
    if (TCellGraphic* graphic = printedGraphic(c, r, right - left, y - bottom, gs)) {
        int gx = left + int(s), gy = y;
        switch (graphic->CellHAlign()) {
        case haRight:
        case haAfterText:
            gx = right - gs.cx;
            break;
        case haCenter:
            gx = left + (right - left - gs.cx) / 2;
            break;
        case haFull:
            gx = left;
            gs.cx = right - left;
            break;
        default:
            break;
        }
        switch (graphic->CellVAlign()) {
        case vaBottom:
        case vaUnderText:
            gy = bottom + gs.cy;
            break;
        case vaCenter:
            gy = y - (y - bottom - gs.cy) / 2;
            break;
        case vaFull:
            gs.cy = y - bottom;
            break;
        default:
            break;
        }
        if (graphic->CellHAlign() == haBeforeText) textLeft = gx + gs.cx;
        if (graphic->CellHAlign() == haAfterText) textRight = gx;
        if (graphic->CellVAlign() == vaUnderText) textBottom = gy;
        if (graphic->CellVAlign() == vaAboveText) textTop = gy - gs.cy;
        SaveDC(canvas->Handle());
        IntersectClipRect(canvas->Handle(), clip.Left, clip.Top, clip.Right, clip.Bottom);
        paintGraphic(c, r, *graphic,
                     TRect(map.X(gx), map.Y(gy), map.X(gx + gs.cx), map.Y(gy - gs.cy)),
                     look.brush.Color());
        RestoreDC(canvas->Handle(), -1);
        canvas->Font()->SetColor(look.font.Color());
    }
    // Text goes over the fill and the graphic without a background of its own.
    canvas->Brush()->SetStyle(bsClear);
    SetBkMode(canvas->Handle(), TRANSPARENT);
    int kind = ctkPlain;
    std::string text = cellText(c, r, kind);
    const TRect textClip(map.X(textLeft), map.Y(textTop), map.X(textRight), map.Y(textBottom));
    const int indent = measure.TextWidth("g") / 2;
    int angle = 0;
    if (kind == ctkMarkup) {
        HTMLRenderOptions o = markupOptions(c, r);
        o.WordWrap = look.wordWrap;
        HTMLRenderResult res;
        SaveDC(canvas->Handle());
        IntersectClipRect(canvas->Handle(), textClip.Left, textClip.Top, textClip.Right,
                          textClip.Bottom);
        HTMLRenderText(
            *canvas, text,
            TRect(map.X(textLeft + indent), map.Y(textTop - gap), textClip.Right, textClip.Bottom),
            o, res);
        RestoreDC(canvas->Handle(), -1);
    } else if (kind == ctkRTF) {
        TRichText rich;
        rich.Load(text);
        rich.Render(
            *canvas,
            TRect(map.X(textLeft + indent), map.Y(textTop - gap), textClip.Right, textClip.Bottom),
            map.PixelsPerInchY / double(ScreenPixelsPerInch));
    } else if (g.IsRotated(g.RealColIndexOf(c), r, angle)) {
        // The rule of the screen with y growing upwards: the rectangle is turned upside down
        // for it and the origin back.
        const TSize extent{measure.TextWidth(text + "w"), measure.TextHeight(text + "w")};
        const TPoint o = TQorStringGrid::RotatedTextOrigin(
            TRect(textLeft + 2, -textTop + 2, textRight - 2, -textBottom - 2), angle, look.ha,
            look.va, extent.cx, extent.cy);
        TFont saved;
        if (g.Flags().PrinterDriverFix && mode == pmPrint) angle = -angle;
        HTMLSelectRotatedFont(*canvas, angle, saved);
        SaveDC(canvas->Handle());
        IntersectClipRect(canvas->Handle(), textClip.Left, textClip.Top, textClip.Right,
                          textClip.Bottom);
        canvas->TextOut(map.X(o.X), map.Y(-o.Y), text);
        RestoreDC(canvas->Handle(), -1);
        HTMLRestoreFont(*canvas, saved);
    } else {
        std::vector<std::string> lines = splitLines(text);
        if (g.URLShow() && !g.URLFull())
            for (std::string& l : lines) {
                std::size_t p = l.find("://");
                if (p != std::string::npos)
                    l.erase(0, p + 3);
                else if ((p = l.find("mailto:")) != std::string::npos)
                    l.erase(0, p + 7);
            }
        const int lineH = measure.TextHeight("gh");
        if (look.wordWrap && ps.NoAutoSize()) {
            TRect rc(map.X(textLeft + indent), map.Y(textTop - gap), map.X(textRight - indent),
                     map.Y(textBottom));
            DrawText(canvas->Handle(), text, -1, rc, DT_WORDBREAK | DT_NOPREFIX);
        } else {
            const int block = lineH * int(lines.size());
            int top = textTop - gap;
            if (!g.IsMergedCell(g.RealColIndexOf(c), r)) {
                if (look.va == vtaCenter)
                    top = textTop - (textTop - textBottom - block) / 2;
                else if (look.va == vtaBottom)
                    top = textBottom + block + gap;
            }
            for (const std::string& l : lines) {
                const int w = measure.TextWidth(l);
                int x = textLeft + indent;
                if (look.ha == taRightJustify)
                    x = textRight - indent - w;
                else if (look.ha == taCenter)
                    x = textLeft + (textRight - textLeft - w) / 2;
                TRect rc = textClip;
                canvas->TextRect(rc, map.X(x), map.Y(top), l);
                top -= lineH;
            }
        }
    }
    if (g.OnCustomCellDraw) {
        TGridDrawState st;
        g.OnCustomCellDraw(&g, canvas, c, r, st, clip, true);
    }
    // Border lines, the pen scaled to the paper when printing.
    canvas->Pen()->Assign(&pen);
    canvas->Pen()->SetWidth(mode == pmPrint ? std::max(1, map.Width(int(pen.Width() * s)))
                                            : pen.Width());
    const int l = firstOfBand ? left : left - penUnits;
    if (sides.Contains(cbTop)) line(l, y, left + width, y);
    if (sides.Contains(cbBottom)) line(l, bottom, left + width, bottom);
    if (sides.Contains(cbLeft)) line(l, y, l, bottom);
    if (sides.Contains(cbRight)) line(left + width, y, left + width, bottom);
}

// Bitmaps and pictures are stretched into R; image-list images and check boxes are drawn at
// their screen size into a bitmap that is stretched; the other graphics are drawn by the
// screen's routines at the page's resolution.
void TGridPrintEngine::paintGraphic(int c, int r, TCellGraphic& graphic, const TRect& R,
                                    TColor background) {
    const int rc = g.RealColIndexOf(c);
    const double scale = deviceScale();
    const TColor paper = background == clNone ? clWhite : background;
    auto throughBitmap = [&](int w, int h, const std::function<void(TCanvas&)>& draw) {
        if (w <= 0 || h <= 0) return;
        TBitmap bmp;
        bmp.SetSize(w, h);
        bmp.Canvas()->Brush()->SetColor(paper);
        bmp.Canvas()->FillRect(TRect(0, 0, w, h));
        draw(*bmp.Canvas());
        canvas->StretchDraw(R, &bmp);
    };
    switch (graphic.CellType()) {
    case ctBitmap:
        if (auto* bmp = dynamic_cast<TBitmap*>(graphic.CellBitmap()); bmp && !bmp->Empty())
            canvas->StretchDraw(R, bmp);
        break;
    case ctIcon:
        if (graphic.CellIcon()) canvas->StretchDraw(R, graphic.CellIcon());
        break;
    case ctPicture:
        if (auto* picture = dynamic_cast<TPicture*>(graphic.CellBitmap());
            picture && !picture->Empty())
            canvas->StretchDraw(R, picture->Graphic());
        break;
    case ctFilePicture:
        if (auto* picture = dynamic_cast<TFilePicture*>(graphic.CellBitmap()))
            picture->DrawPicture(canvas, R);
        break;
    case ctImageList:
    case ctDataImage: {
        TImageList* images = g.GetCellImageList(rc, r);
        if (!images) break;
        int index = graphic.CellIndex();
        if (graphic.CellType() == ctDataImage) {
            try {
                index += g.Ints(rc, r);
            } catch (const EQorGridError&) {
                index = -1; // a text that is no number prints no image
            }
        }
        if (index < 0 || index >= images->Count()) break;
        throughBitmap(images->Width(), images->Height(),
                      [&](TCanvas& bc) { images->Draw(&bc, 0, 0, index, true); });
        break;
    }
    case ctCheckBox:
    case ctRowCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctTriStateCheckBox: {
        bool checked = graphic.CellBoolean();
        if (graphic.CellType() == ctDataCheckBox || graphic.CellType() == ctVirtCheckBox) {
            std::string yes;
            g.GetCheckTrue(rc, r, yes);
            checked = g.Cells(rc, r) == yes;
        }
        const bool tri = graphic.CellType() == ctTriStateCheckBox;
        const int size = g.ControlLook()->CheckSize();
        throughBitmap(size, size, [&](TCanvas& bc) {
            g.DrawCheck(&bc, TRect(0, 0, size, size), checked && !tri, true,
                        tri && graphic.CellAngle() > 0, g.ControlLook()->ControlStyle(), tri,
                        graphic.CellCheckBoxState());
        });
        break;
    }
    case ctRadioButton: {
        bool canEdit = true;
        g.IsEditableCell(rc, r, canEdit);
        g.DrawRadioGroup(canvas, R, false, scale, g.ControlLook()->ControlStyle(), r, rc, false,
                         nullptr, !canEdit, false, graphic.CellBoolean() ? 0 : -2, 1);
        break;
    }
    default:
        canvas->Brush()->SetColor(paper);
        g.DrawScaledCellGraphic(*canvas, rc, r, graphic, R, R, scale, false);
        break;
    }
}

void TGridPrintEngine::paintClosingLines(int bottom, bool repeatCols) {
    const TPrintBorders b = ps.Borders();
    if (bandCols.empty()) return;
    const int first = repeatCols && !fixedCols.empty() ? fixedCols.front() : bandCols.front();
    const int x1 = g.FIndents[std::size_t(first)];
    const int x2 =
        g.FIndents[std::size_t(bandCols.back())] + g.FMaxWidths[std::size_t(bandCols.back())] + m;
    int E, F;
    headerFooterAreas(pageInBand, E, F);
    const int top = -E - ps.TitleSpacing();
    const int y2 = bottom + gap / 2;
    canvas->Pen()->SetColor(clBlack);
    canvas->Pen()->SetStyle(ps.BorderStyle());
    canvas->Pen()->SetWidth(std::max(1, map.Width(b == pbDouble ? 10 : 2)));
    if (b == pbAround || b == pbAroundVertical || b == pbAroundHorizontal) {
        line(x1, top, x2, top);
        line(x2, top, x2, y2);
        line(x2, y2, x1, y2);
        line(x1, y2, x1, top);
    }
    if (b == pbDouble || b == pbHorizontal || b == pbAroundHorizontal) line(x1, y2, x2, y2);
    if ((b == pbDouble || b == pbVertical || b == pbAroundVertical) && repeatCols)
        for (int c : fixedCols)
            line(g.FIndents[std::size_t(c)], top, g.FIndents[std::size_t(c)], y2);
}

void TGridPrintEngine::print(TQorStringGrid& g, const TGridRect& cells, bool rows, bool cols) {
    TPrinter& printer = *Printer();
    const TPrintSettings& ps = *g.FPrintSettings;
    if (!ps.UseDefaultOrientation()) printer.SetOrientation(ps.Orientation());
    const int dpi = printer.PixelsPerInch();
    const int W = MulDiv(printer.PageWidth(), 254, dpi);
    const int B = -MulDiv(printer.PageHeight(), 254, dpi);
    g.FPrintCellRect = cells;
    g.FPrevRect = TRect(0, 0, W, B);
    printer.SetTitle(ps.JobName());
    g.ExportNotification(esExportStart, -1);
    try {
        printer.BeginDoc();
        int N = INT_MAX;
        if (!g.FFastPrint) {
            TGridPrintEngine count(g, pmPrinterCount, rows, cols);
            count.setTarget(printer.Canvas(), {0, 0}, dpi);
            N = count.run(W, B);
        }
        g.FPrintNrOfPages = N;
        g.FFlags.PrintPageFrom = 1;
        g.FFlags.PrintPageTo = N;
        if (g.OnPrintStart) {
            printer.Abort();
            int from = 1, to = N;
            g.OnPrintStart(&g, N, from, to);
            if (from <= 0 || to <= 0 || to < from) {
                g.ExportNotification(esExportDone, -1);
                return;
            }
            g.FFlags.PrintPageFrom = from;
            g.FFlags.PrintPageTo = to;
            g.FPrintNrOfPages = to;
            printer.BeginDoc();
        }
        TGridPrintEngine engine(g, pmPrint, rows, cols);
        engine.setTarget(printer.Canvas(), {0, 0}, dpi);
        engine.setTotal(N);
        engine.run(W, B);
        printer.EndDoc();
    } catch (...) {
        // The document is dropped rather than printed in part.
        printer.Abort();
        g.FFontScaleFactor = 1.0;
        g.ExportNotification(esExportDone, -1);
        throw;
    }
    g.ExportNotification(esExportDone, -1);
}

void TGridPrintEngine::preview(TQorStringGrid& g, TCanvas* canvas, const TRect& rect,
                               const TGridRect& cells, bool rows, bool cols) {
    const int W = MulDiv(rect.Width(), 254, ScreenPixelsPerInch);
    const int B = -MulDiv(rect.Height(), 254, ScreenPixelsPerInch);
    g.FPrintCellRect = cells;
    g.FPrevRect = rect;
    g.ExportNotification(esExportStart, -1);
    struct Done {
        TQorStringGrid& g;
        ~Done() {
            g.FIsPrintPreview = false;
            g.FFontScaleFactor = 1.0;
            g.ExportNotification(esExportDone, -1);
        }
    } done{g};
    int N = 1;
    if (!g.FFastPrint) {
        TGridPrintEngine count(g, pmPreviewCount, rows, cols);
        count.setTarget(canvas, rect.TopLeft(), ScreenPixelsPerInch);
        N = count.run(W, B);
    }
    g.FPrintNrOfPages = N;
    g.FIsPrintPreview = true;
    int from = 1, to = N;
    if (g.OnPrintStart) g.OnPrintStart(&g, N, from, to);
    if (from <= 0 || to <= 0 || to < from) return;
    TGridPrintEngine engine(g, pmPreview, rows, cols);
    engine.setTarget(canvas, rect.TopLeft(), ScreenPixelsPerInch);
    engine.setTotal(N);
    SaveDC(canvas->Handle());
    IntersectClipRect(canvas->Handle(), rect.Left, rect.Top, rect.Right, rect.Bottom);
    try {
        engine.run(W, B);
    } catch (...) {
        RestoreDC(canvas->Handle(), -1);
        throw;
    }
    RestoreDC(canvas->Handle(), -1);
}

void TGridPrintEngine::draw(TQorStringGrid& g, TCanvas* canvas, const TRect& rect,
                            const TGridRect& cells) {
    g.FPrintCellRect = cells;
    g.FPrevRect = rect;
    g.FFlags.PrintPageFrom = g.FFlags.PrintPageTo = 1;
    TGridPrintEngine engine(g, pmPrint, false, false);
    engine.setTarget(canvas, rect.TopLeft(), ScreenPixelsPerInch);
    engine.run(MulDiv(rect.Width(), 254, ScreenPixelsPerInch),
               -MulDiv(rect.Height(), 254, ScreenPixelsPerInch));
}

// --- the grid's operations -----------------------------------------------------------------
namespace {
TGridRect allCells(TQorStringGrid& g) {
    return {0, 0, g.ColCount() - 1, g.RowCount() - 1};
}
} // namespace

void TQorStringGrid::Print() {
    TGridPrintEngine::print(*this, allCells(*this), false, false);
}
void TQorStringGrid::PrintSelection() {
    TGridPrintEngine::print(*this, Selection(), false, false);
}
void TQorStringGrid::PrintRect(const TGridRect& ARect) {
    TGridPrintEngine::print(*this, ARect, false, false);
}
void TQorStringGrid::PrintSelectedRows() {
    TGridPrintEngine::print(*this, allCells(*this), true, true);
}
void TQorStringGrid::PrintSelectedCols() {
    TGridPrintEngine::print(*this, allCells(*this), true, true);
}
void TQorStringGrid::PrintPreview(TCanvas* Canvas, const TRect& DisplayRect) {
    TGridPrintEngine::preview(*this, Canvas, DisplayRect, allCells(*this), false, false);
}
void TQorStringGrid::PrintPreviewRect(TCanvas* Canvas, const TRect& DisplayRect,
                                      const TGridRect& ARect) {
    TGridPrintEngine::preview(*this, Canvas, DisplayRect, ARect, false, false);
}
void TQorStringGrid::PrintPreviewSelection(TCanvas* Canvas, const TRect& DisplayRect) {
    TGridPrintEngine::preview(*this, Canvas, DisplayRect, Selection(), false, false);
}
void TQorStringGrid::PrintPreviewSelectedRows(TCanvas* Canvas, const TRect& DisplayRect) {
    TGridPrintEngine::preview(*this, Canvas, DisplayRect, allCells(*this), true, true);
}
void TQorStringGrid::PrintPreviewSelectedCols(TCanvas* Canvas, const TRect& DisplayRect) {
    TGridPrintEngine::preview(*this, Canvas, DisplayRect, allCells(*this), true, true);
}
void TQorStringGrid::PrintDraw(TCanvas* Canvas, const TRect& ARect) {
    TGridPrintEngine::draw(*this, Canvas, ARect, allCells(*this));
}
void TQorStringGrid::PrintDrawRect(TCanvas* Canvas, const TRect& ARect, const TGridRect& Cells) {
    TGridPrintEngine::draw(*this, Canvas, ARect, Cells);
}
