// TQorStringGrid's typed cell access (integers and floats with the grid's own conversion),
// the cell type and graphic of a cell, and the room a graphic takes on screen and on paper.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUtils.h"
#include "grid/data/DataSettings.h"
#include "grid/render/ControlLook.h"
#include "grid/render/markup/MarkupControls.h"
#include "platform/gfx/ImageList.h"

#include <charconv>
#include <cmath>

namespace {

const char* const NoIntegerMessage = "Cell does not contain integer value";
const char* const NoFloatMessage = "Cell does not contain a float value";

int cellInt(const std::string& text) {
    const std::string s = Trim(text);
    if (s.empty() || s == "-") return 0;
    int v = 0;
    if (!TryStrToInt(s, v)) throw EQorGridError(NoIntegerMessage);
    return v;
}

// The number part of the text, read with "." as decimal separator whatever the locale.
double cellFloat(const std::string& text) {
    std::string s = ExtractNumericText(text);
    if (s.empty() || s == "-") return 0;
    // An exponent without mantissa takes its own digits as the mantissa: "E3" reads as 3E3.
    const std::size_t at = s[0] == '+' || s[0] == '-' ? 1 : 0;
    if (at < s.size() && (s[at] == 'e' || s[at] == 'E')) s.insert(at, s.substr(at + 1));
    const char* first = s.data();
    const char* last = s.data() + s.size();
    if (*first == '+') ++first;
    double v = 0;
    auto [end, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || end != last || first == last) throw EQorGridError(NoFloatMessage);
    return v;
}

template <typename T> T* objectAs(const TCellGraphic* g) {
    return g ? dynamic_cast<T*>(g->CellBitmap()) : nullptr;
}

} // namespace

// --- typed access ------------------------------------------------------------------------------

int TQorStringGrid::Ints(int ACol, int ARow) {
    return cellInt(StrippedCells(ACol, ARow));
}

void TQorStringGrid::SetInts(int ACol, int ARow, int Value) {
    SetCells(ACol, ARow, IntToStr(Value));
    if (FNumHidden > 0) RepaintCell(DisplColIndex(ACol), ARow);
}

double TQorStringGrid::Floats(int ACol, int ARow) {
    return cellFloat(StrippedCells(ACol, ARow));
}

void TQorStringGrid::SetFloats(int ACol, int ARow, double Value) {
    std::string format;
    GetFloatFormat(ACol, format);
    SetCells(ACol, ARow, Format(format, Value));
}

int TQorStringGrid::AllInts(int ACol, int ARow) {
    return cellInt(AllCells(ACol, ARow));
}

void TQorStringGrid::SetAllInts(int ACol, int ARow, int Value) {
    SetAllCells(ACol, ARow, IntToStr(Value));
}

double TQorStringGrid::AllFloats(int ACol, int ARow) {
    return cellFloat(AllCells(ACol, ARow));
}

void TQorStringGrid::SetAllFloats(int ACol, int ARow, double Value) {
    SetAllCells(ACol, ARow, Format(FFloatFormat, Value));
}

std::string TQorStringGrid::ControlValues(int ACol, int ARow, const std::string& ID) {
    bool found = false;
    std::string value = HTMLGetControlValue(Cells(ACol, ARow), ID, found);
    return found ? value : std::string();
}

void TQorStringGrid::SetControlValues(int ACol, int ARow, const std::string& ID,
                                      const std::string& Value) {
    std::string text = Cells(ACol, ARow);
    if (HTMLSetControlValue(text, ID, Value)) SetCells(ACol, ARow, text);
}

// --- displayed text ------------------------------------------------------------------------------

void TQorStringGrid::GetDisplText(int ACol, int ARow, std::string& Value) {
    TBaseGrid::GetDisplText(ACol, ARow, Value);
    if (FURLShowInText) {
        static const char* const prefixes[] = {"HTTP://", "WWW.",    "MAILTO:", "HTTPS://",
                                               "NNTP://", "FILE://", "FTP://"};
        for (const char* prefix : prefixes) {
            std::string linked;
            if (MakeURLLink(Value, prefix, linked)) {
                Value = std::move(linked);
                break;
            }
        }
    }
    if (ACol != 1 || !FGrouping->ShowGroupCount() || ARow < 0) return;
    TCellGraphic* node = GetCellType(0, ARow) == ctNode ? GetCellGraphic(0, ARow) : nullptr;
    if (!node) return;
    // A span of 0 reaches to the next node row.
    int span = node->CellIndex();
    if (span <= 0) {
        span = 1;
        while (ARow + span < RowCount() && GetCellType(0, ARow + span) != ctNode) ++span;
    }
    const int count = span - node->CellErrFrom() - 1;
    const std::string& format = FGrouping->GroupCountFormat();
    Value += format.empty() ? " (" + std::to_string(count) + ")" : Format(format, count);
}

// --- cell graphic and type -----------------------------------------------------------------------

TCellGraphic* TQorStringGrid::GetCellGraphic(int ACol, int ARow) {
    TCellGraphic* own = nullptr;
    if (HasCellProperties(ACol, ARow)) {
        TObject* o = propsOf(ACol, ARow)->GraphicObject();
        own = dynamic_cast<TCellGraphic*>(o);
        if (o && !own) return nullptr;
    }
    if (ACol != 0 || ARow < 0 || !FMouseActions->HotmailRowSelect()) return own;
    // Column 0 shows the row check box; row 0 whether some or all rows are selected.
    TCellGraphic* g = FSharedGraphic.get();
    g->SetCellType(ctRowCheckBox);
    g->SetCellHAlign(haBeforeText);
    const int rows = RowCount() - FixedRows();
    if (ARow == 0) {
        const int selected = SelectedRowCount();
        g->SetCellAngle(selected > 0 && selected < rows ? 1 : 0);
        g->SetCellBoolean(selected >= rows);
    } else {
        g->SetCellAngle(0);
        g->SetCellBoolean(RowSelect(RealRowIndex(ARow)));
    }
    g->SetCellTransparent(ControlLook()->ControlStyle() == csFlat);
    return g;
}

TCellType TQorStringGrid::GetCellType(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return ctEmpty;
    if (HasCellProperties(ACol, ARow)) {
        TObject* o = propsOf(ACol, ARow)->GraphicObject();
        if (o && !dynamic_cast<TCellGraphic*>(o)) return ctEmpty;
        if (o && !(ACol == 0 && FMouseActions->HotmailRowSelect()))
            return static_cast<TCellGraphic*>(o)->CellType();
    }
    if (ACol == 0 && FMouseActions->HotmailRowSelect()) return ctRowCheckBox;
    return ctEmpty;
}

TIntList* TQorStringGrid::CellImages(int ACol, int ARow) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    return g && g->CellType() == ctImages ? objectAs<TIntList>(g) : nullptr;
}

TImageList* TQorStringGrid::GetCellImageList(int, int) {
    return FGridImages;
}

std::intptr_t TQorStringGrid::GetCellImageKey(int ACol, int ARow) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g) return -1;
    switch (g->CellType()) {
    case ctBitmap:
        return reinterpret_cast<std::intptr_t>(g->CellBitmap());
    case ctIcon:
        return reinterpret_cast<std::intptr_t>(g->CellIcon());
    case ctImageList:
        return g->CellIndex();
    default:
        return -1;
    }
}

void TQorStringGrid::SetGridImages(TImageList* Value) {
    if (FGridImages == Value) return;
    if (FGridImages) FGridImages->RemoveFreeNotification(this);
    FGridImages = Value;
    if (FGridImages) FGridImages->FreeNotification(this);
    Invalidate();
}

bool TQorStringGrid::IsSortIndicatorCell(int ACol, int ARow) {
    if (IsMergedCell(ACol, ARow)) {
        const TPoint b = BaseCell(ACol, ARow);
        ARow = b.Y + CellSpan(ACol, ARow).Y;
    }
    return ARow == SortSettings()->Row() && SortSettings()->Show() && RowCount() > FixedRows() + 1;
}

int TQorStringGrid::PrintColWidth(int ACol) const {
    if (ACol < 0 || ACol >= int(FMaxWidths.size()))
        throw EQorGridError("Columns is not in valid range");
    return FMaxWidths[std::size_t(ACol)];
}

int TQorStringGrid::PrintColOffset(int ACol) const {
    if (ACol < 0 || ACol >= int(FIndents.size()))
        throw EQorGridError("Columns is not in valid range");
    return FIndents[std::size_t(ACol)];
}

// --- graphic sizes -------------------------------------------------------------------------------

TPoint TQorStringGrid::GetCellGraphicSize(int ACol, int ARow) {
    TPoint size;
    CalcGraphicSize(ACol, ARow, size, 0);
    return size;
}

namespace {

int graphicWidth(const TObject* o) {
    const auto* g = dynamic_cast<const TGraphic*>(o);
    return g ? g->Width() : 0;
}

int graphicHeight(const TObject* o) {
    const auto* g = dynamic_cast<const TGraphic*>(o);
    return g ? g->Height() : 0;
}

bool besideText(const TCellGraphic& g) {
    return g.CellHAlign() == haBeforeText || g.CellHAlign() == haAfterText;
}

bool aboveOrBelowText(const TCellGraphic& g) {
    return g.CellVAlign() == vaUnderText || g.CellVAlign() == vaAboveText;
}

} // namespace

void TQorStringGrid::CalcGraphicSize(int ACol, int ARow, TPoint& Size, int HeightReserve) {
    Size = TPoint{0, 0};
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g) return;
    const bool t = !Cells(ACol, ARow).empty();
    const bool beside = besideText(*g);
    const bool above = aboveOrBelowText(*g);
    TImageList* images = GetCellImageList(ACol, ARow);
    const int iw = images ? images->Width() : 0;
    const int ih = images ? images->Height() : 0;
    TCanvas* canvas = Canvas();
    switch (g->CellType()) {
    case ctBitmap:
        Size.X = beside || !t ? graphicWidth(g->CellBitmap()) : 0;
        Size.Y = above || !t ? graphicHeight(g->CellBitmap()) : 0;
        break;
    case ctIcon:
        Size.X = beside || !t ? graphicWidth(g->CellIcon()) : 0;
        Size.Y = graphicHeight(g->CellIcon());
        break;
    case ctImageList:
    case ctDataImage:
        Size.X = beside || !t ? iw : 0;
        Size.Y = above || !t ? ih : 0;
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox:
        Size = TPoint{ControlLook()->CheckSize(), ControlLook()->CheckSize()};
        break;
    case ctRadioButton:
        Size = TPoint{ControlLook()->RadioSize(), ControlLook()->RadioSize()};
        break;
    case ctRadio: {
        const auto* items = objectAs<TStrings>(g);
        const int n = items ? items->Count() : 0;
        const int th = canvas->TextHeight("gh");
        if (g->CellBoolean()) {
            for (int i = 0; i < n; ++i) Size.X += canvas->TextWidth(items->Get(i)) + 12;
            Size.Y = th;
        } else {
            int widest = 0;
            for (int i = 0; i < n; ++i) widest = std::max(widest, canvas->TextWidth(items->Get(i)));
            Size.X = widest + 12;
            Size.Y = n * std::max(16, th);
        }
        break;
    }
    case ctImages: {
        const auto* list = objectAs<TIntList>(g);
        const int n = list ? list->Count() : 0;
        Size = g->CellBoolean() ? TPoint{n * iw, ih} : TPoint{iw, n * ih};
        break;
    }
    case ctPicture:
    case ctFilePicture: {
        const TPoint cell = CellSize(ACol, ARow);
        const int mx = FXYOffsetTopLeftOnly ? FXYOffset.X : 2 * FXYOffset.X;
        const int my = FXYOffsetTopLeftOnly ? FXYOffset.Y : 2 * FXYOffset.Y;
        const TSize s = g->GetPictureSize(cell.X - mx - 1, cell.Y - my - HeightReserve - 1, t);
        Size = TPoint{s.cx, s.cy};
        break;
    }
    case ctButton:
    case ctBitButton: {
        const int bw = g->CellIndex() & 0xFFFF;
        const int bh = int(unsigned(g->CellIndex()) >> 16);
        Size = TPoint{bw, bh};
        if (t) {
            if (g->CellHAlign() == haCenter || above)
                Size.X = 0;
            else if (g->CellHAlign() == haFull)
                Size.X = canvas->TextWidth(g->CellText()) + 4;
            if (!above) Size.Y = 0;
        } else if (g->CellHAlign() == haFull) {
            canvas->Font()->Assign(Font());
            Size.X = canvas->TextWidth(g->CellText()) + 4;
        }
        break;
    }
    case ctProgressPie:
        Size = TPoint{20, 20};
        break;
    case ctRating:
        Size = TPoint{g->CellAngle() * 18, 16};
        break;
    case ctInterface:
        if (auto* drawer = dynamic_cast<ICellDrawer*>(g->CellBitmap())) {
            Size = TPoint{drawer->GetWidth(), drawer->GetHeight()};
            if (Size.X == 0 || Size.Y == 0) Size = CellSize(ACol, ARow);
        }
        break;
    default:
        break;
    }
    const bool textButton =
        (g->CellType() == ctButton || g->CellType() == ctBitButton) && !t && !g->CellText().empty();
    if (g->CellVAlign() == vaFull) Size.Y = CellRect(ACol, ARow).Height();
    if (g->CellHAlign() == haFull && g->CellType() != ctRating && !textButton)
        Size.X = CellRect(ACol, ARow).Width();
}

void TQorStringGrid::CalcPrintGraphicSize(int ACol, int ARow, TPoint& Size, int BoxWidth,
                                          int BoxHeight, double Scale) {
    Size = TPoint{0, 0};
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    if (!g) return;
    const bool t = !Cells(ACol, ARow).empty();
    TImageList* images = GetCellImageList(ACol, ARow);
    const int iw = images ? images->Width() : 0;
    const int ih = images ? images->Height() : 0;
    switch (g->CellType()) {
    case ctBitmap:
        Size = TPoint{graphicWidth(g->CellBitmap()), graphicHeight(g->CellBitmap())};
        break;
    case ctIcon:
        Size = TPoint{graphicWidth(g->CellIcon()), graphicHeight(g->CellIcon())};
        break;
    case ctImageList:
        Size = TPoint{besideText(*g) || !t ? iw : 0, ih};
        break;
    case ctDataImage:
        Size = TPoint{iw, ih};
        break;
    case ctRadio: {
        // As on screen, with the plain text height as the stacked line height.
        const auto* items = objectAs<TStrings>(g);
        const int n = items ? items->Count() : 0;
        TCanvas* canvas = Canvas();
        const int th = canvas->TextHeight("gh");
        if (g->CellBoolean()) {
            for (int i = 0; i < n; ++i) Size.X += canvas->TextWidth(items->Get(i)) + 12;
            Size.Y = th;
        } else {
            int widest = 0;
            for (int i = 0; i < n; ++i) widest = std::max(widest, canvas->TextWidth(items->Get(i)));
            Size = TPoint{widest + 12, n * th};
        }
        break;
    }
    case ctPicture:
    case ctFilePicture: {
        const TSize s = g->GetPictureSize(BoxWidth, BoxHeight, t);
        const double scale = Scale == 0 ? 1 : Scale;
        Size = TPoint{int(std::nearbyint(s.cx / scale)), int(std::nearbyint(s.cy / scale))};
        break;
    }
    case ctProgress:
    case ctXPProgress:
        Size = TPoint{ColWidths(DisplColIndex(ACol)), RowHeights(ARow)};
        break;
    case ctButton:
    case ctBitButton:
        Size = TPoint{g->CellIndex() & 0xFFFF, int(unsigned(g->CellIndex()) >> 16)};
        break;
    case ctShape: {
        const int side = RowHeights(ARow) - 2 * FXYOffset.Y;
        Size = TPoint{side, side};
        break;
    }
    case ctInterface:
        if (auto* drawer = dynamic_cast<ICellDrawer*>(g->CellBitmap())) {
            const TPoint cell = CellSize(ACol, ARow);
            Size.X = drawer->GetWidth() ? drawer->GetWidth() : cell.X;
            Size.Y = drawer->GetHeight() ? drawer->GetHeight() : cell.Y;
        }
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox:
    case ctRadioButton:
    case ctImages:
    case ctProgressPie:
        CalcGraphicSize(ACol, ARow, Size, 0);
        break;
    case ctRating:
        Size = TPoint{g->CellAngle() * 18, 16};
        break;
    default:
        break;
    }
}

// --- column and row headers
// ------------------------------------------------------------------------

void TQorStringGrid::SetColumnHeaders(const TStrings* v) {
    if (FixedRows() > 0) ClearColumnHeaders();
    FColumnHeaders->Assign(v);
}

void TQorStringGrid::SetRowHeaders(const TStrings* v) {
    if (Designing() && FixedCols() > 0) ClearRowHeaders();
    FRowHeaders->Assign(v);
}

void TQorStringGrid::ClearColumnHeaders() {
    if (RowCount() == 0) return;
    for (int c = 0; c < TotalColCount(); ++c) SetGridCells(c, 0, "");
}

void TQorStringGrid::ShowColumnHeaders() {
    if (FixedRows() == 0) return;
    for (int i = 0; i < FColumnHeaders->Count() && i < TotalColCount(); ++i)
        SetGridCells(i, 0, UnescapeLineBreaks(FColumnHeaders->Get(i)));
}

void TQorStringGrid::ClearRowHeaders() {
    if (ColCount() == 0) return;
    for (int r = 0; r < RowCount(); ++r) SetGridCells(0, r, "");
}

void TQorStringGrid::ShowRowHeaders() {
    if (FixedCols() == 0) return;
    for (int i = 0; i < FRowHeaders->Count() && i < RowCount(); ++i)
        SetGridCells(0, i, UnescapeLineBreaks(FRowHeaders->Get(i)));
}
