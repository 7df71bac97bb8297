// TQorStringGrid: the binary cell stream (file format, clipboard and drag-and-drop payload).
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/ScopeGuards.h"
#include "grid/data/GridFileText.h"
#include "grid/data/GridStreamIO.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Cell indexes are written as 16-bit values.
constexpr int MaxStreamIndex = 65535;

std::string joinInts(const std::vector<int>& values) {
    std::string s;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i) s += ',';
        s += std::to_string(values[i]);
    }
    return s;
}

std::vector<int> splitInts(const std::string& text) {
    std::vector<int> values;
    if (text.empty()) return values;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma - start);
        int v = 0;
        if (!TryStrToInt(Trim(item), v)) throw EReadError("Invalid stream format: " + text);
        values.push_back(v);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return values;
}

// Whether a cell's graphic travels with it: only graphics the grid owns carry their objects.
bool graphicTravels(const TCellGraphic& g) {
    switch (g.CellType()) {
    case ctEmpty:
        return false;
    case ctBitmap:
    case ctIcon:
    case ctRadio:
    case ctImages:
    case ctPicture:
    case ctFilePicture:
    case ctBitButton:
        return g.CellCreated();
    default:
        return true;
    }
}

// The records of one save or load, owned by the grid for the time of it.
struct Records {
    explicit Records(TComponent* grid)
        : prop(std::make_unique<TGridPropIO>(grid)), cell(std::make_unique<TGridCellIO>(grid)),
          cellProp(std::make_unique<TGridCellPropIO>(grid)),
          graphic(std::make_unique<TGridGraphicIO>(grid)), bmp(std::make_unique<TGridBMPIO>(grid)),
          icon(std::make_unique<TGridIconIO>(grid)), pic(std::make_unique<TGridPicIO>(grid)),
          filePic(std::make_unique<TGridFilePicIO>(grid)), sl(std::make_unique<TGridSLIO>(grid)) {}
    std::unique_ptr<TGridPropIO> prop;
    std::unique_ptr<TGridCellIO> cell;
    std::unique_ptr<TGridCellPropIO> cellProp;
    std::unique_ptr<TGridGraphicIO> graphic;
    std::unique_ptr<TGridBMPIO> bmp;
    std::unique_ptr<TGridIconIO> icon;
    std::unique_ptr<TGridPicIO> pic;
    std::unique_ptr<TGridFilePicIO> filePic;
    std::unique_ptr<TGridSLIO> sl;
};

void writePayload(TWriter& w, Records& rec, const TCellGraphic& g) {
    TObject* object = g.CellBitmap();
    switch (g.CellType()) {
    case ctBitmap:
    case ctBitButton:
        if (auto* b = dynamic_cast<TBitmap*>(object))
            rec.bmp->Bitmap()->Assign(b);
        else
            rec.bmp->Bitmap()->SetSize(0, 0);
        rec.bmp->Write(w);
        break;
    case ctIcon:
        if (g.CellIcon())
            rec.icon->Icon()->Assign(g.CellIcon());
        else
            rec.icon->Take();
        rec.icon->Write(w);
        break;
    case ctRadio:
        rec.sl->Strings()->Clear();
        if (auto* s = dynamic_cast<TStrings*>(object)) rec.sl->Strings()->Assign(s);
        rec.sl->Write(w);
        break;
    case ctImages:
        rec.sl->Strings()->Clear();
        if (auto* list = dynamic_cast<TIntList*>(object))
            for (int i = 0; i < list->Count(); ++i)
                rec.sl->Strings()->Add(std::to_string(list->GetInteger(i)));
        rec.sl->Write(w);
        break;
    case ctPicture:
        if (auto* p = dynamic_cast<TPicture*>(object))
            rec.pic->Picture()->Assign(p);
        else
            rec.pic->Take();
        rec.pic->Write(w);
        break;
    case ctFilePicture:
        if (auto* p = dynamic_cast<TFilePicture*>(object))
            rec.filePic->Picture()->Assign(p);
        else
            rec.filePic->Take();
        rec.filePic->Write(w);
        break;
    default:
        break;
    }
}

// Reads the payload record a graphic of this type is followed by; nullptr for other types.
std::unique_ptr<TObject> readPayload(TReader& r, Records& rec, TCellType type) {
    switch (type) {
    case ctBitmap:
    case ctBitButton:
        rec.bmp->Read(r);
        return rec.bmp->Take();
    case ctIcon:
        rec.icon->Read(r);
        return rec.icon->Take();
    case ctRadio:
        rec.sl->Read(r);
        return rec.sl->Take();
    case ctImages: {
        rec.sl->Read(r);
        // The indexes must be numbers; the list itself is made for its cell when placed.
        TIntList check(0, 0);
        check.SetStrValue(rec.sl->Strings()->CommaText());
        return rec.sl->Take();
    }
    case ctPicture:
        rec.pic->Read(r);
        return rec.pic->Take();
    case ctFilePicture:
        rec.filePic->Read(r);
        return rec.filePic->Take();
    default:
        return nullptr;
    }
}

TBinStreamCells readCells(TReader& r, Records& rec) {
    TBinStreamCells cells;
    rec.prop->Read(r);
    cells.ColCount = rec.prop->ColCount();
    cells.RowCount = rec.prop->RowCount();
    cells.ColWidths = splitInts(rec.prop->ColWidths());
    cells.RowHeights = splitInts(rec.prop->RowHeights());
    cells.FullGrid = rec.prop->FullGrid();
    // A cell record takes at least 16 bytes.
    cells.Cells.reserve(std::min(std::size_t(std::max(0, cells.ColCount)) *
                                     std::size_t(std::max(0, cells.RowCount)),
                                 r.Remaining() / 16));
    while (r.Remaining() >= 2) {
        rec.cell->Read(r);
        TBinStreamCell& c = cells.Cells.emplace_back();
        c.Col = rec.cell->Col();
        c.Row = rec.cell->Row();
        c.Text = rec.cell->Cell();
        if (!rec.cell->HasProp()) continue;
        rec.cellProp->Read(r);
        c.More = std::make_unique<TBinStreamCell::Extra>();
        c.More->Props = std::make_unique<TCellProperties>(nullptr, 0, 0);
        CopyStreamedCellProps(*rec.cellProp->CellProperties(), *c.More->Props, scpAll);
        c.More->Present = rec.cellProp->Present();
        c.More->ControlName = rec.cellProp->ControlName();
        if (!rec.cellProp->HasGraphic()) continue;
        rec.graphic->Read(r);
        c.More->Graphic = std::make_unique<TCellGraphic>();
        c.More->Graphic->Assign(rec.graphic->CellGraphic());
        c.More->Graphic->SetCellCheckBoxState(rec.graphic->CellGraphic()->CellCheckBoxState());
        c.More->Payload = readPayload(r, rec, c.More->Graphic->CellType());
    }
    return cells;
}

} // namespace

void TQorStringGrid::SaveRectToBinStream(const TRect& ARect, TStream& Stream) {
    // Indexes that do not fit in 16 bits are refused, never cut.
    if (ARect.Left < 0 || ARect.Top < 0 || ARect.Right > MaxStreamIndex ||
        ARect.Bottom > MaxStreamIndex)
        throw EQorGridError(
            Format("Cells beyond index %d cannot be written to a cell stream", MaxStreamIndex));
    Records rec(this);
    TWriter w(Stream);
    std::vector<int> widths, heights;
    for (int c = ARect.Left; c <= ARect.Right; ++c)
        widths.push_back(c < ColCount() ? ColWidths(c) : DefaultColWidth());
    for (int r = ARect.Top; r <= ARect.Bottom; ++r)
        heights.push_back(r < RowCount() ? RowHeights(r) : DefaultRowHeight());
    const bool fixed = FFlags.SaveFixedCells;
    rec.prop->SetColCount(ARect.Right - ARect.Left + 1);
    rec.prop->SetRowCount(ARect.Bottom - ARect.Top + 1);
    rec.prop->SetColWidths(joinInts(widths));
    rec.prop->SetRowHeights(joinInts(heights));
    rec.prop->SetFullGrid(ARect.Left == (fixed ? 0 : FixedCols()) &&
                          ARect.Top == (fixed ? 0 : FixedRows()) && ARect.Right == ColCount() - 1 &&
                          ARect.Bottom == RowCount() - 1);
    rec.prop->SetID(HandleAllocated() ? int(reinterpret_cast<std::intptr_t>(Handle())) : 0);
    rec.prop->Write(w);
    w.FlushBuffer();

    TProgressReport progress(OnFileProgress, this);
    exportRows(ARect.Top, ARect.Bottom, [&](int r) {
        for (int c = ARect.Left; c <= ARect.Right; ++c) {
            const int real = c < ColCount() ? RealColIndexOf(c) : c + FNumHidden;
            const bool inside = r < RowCount() && real < TotalColCount();
            const TPoint base = inside ? BaseCell(real, r) : TPoint(real, r);
            rec.cell->SetCol(c);
            rec.cell->SetRow(r);
            rec.cell->SetCell(inside ? GridCells(base.X, base.Y) : std::string());
            const bool hasProp = inside && HasCellProperties(real, r);
            rec.cell->SetHasProp(hasProp);
            rec.cell->Write(w);
            if (!hasProp) continue;
            const TCellProperties* p = propsOf(real, r);
            const auto* g = dynamic_cast<const TCellGraphic*>(p->GraphicObject());
            const bool hasGraphic = g && graphicTravels(*g);
            CopyStreamedCellProps(*p, *rec.cellProp->CellProperties(), scpAll);
            rec.cellProp->CellProperties()->SetControl(p->Control());
            rec.cellProp->SetHasGraphic(hasGraphic);
            rec.cellProp->Write(w);
            if (!hasGraphic) continue;
            rec.graphic->SetFrom(*g);
            rec.graphic->Write(w);
            writePayload(w, rec, *g);
        }
        w.FlushBuffer();
        progress.Report(r - ARect.Top, ARect.Bottom - ARect.Top);
    });
}

void TQorStringGrid::SaveToBinStream(TStream& Stream) {
    SaveRectToBinStream(TRect(SaveStartCol(), SaveStartRow(), SaveEndCol(), SaveEndRow()), Stream);
}

void TQorStringGrid::SaveToBinFile(const std::string& FileName) {
    TMemoryStream m;
    SaveToBinStream(m);
    WriteBinaryFile(FileName, m.Memory(), std::size_t(m.Size()));
}

void TQorStringGrid::LoadAtPointFromBinStream(TPoint Point, TStream& Stream) {
    TReader r(Stream);
    loadBinCells(Point, r);
    r.Finish();
}

void TQorStringGrid::loadBinCells(TPoint Point, TReader& Reader) {
    TBinStreamCells cells;
    {
        // The whole stream is read and checked before the grid changes.
        Records rec(this);
        cells = readCells(Reader, rec);
    }
    applyBinCells(Point, cells);
}

void TQorStringGrid::applyBinCells(TPoint Point, TBinStreamCells& Cells) {
    const int firstCol = Cells.Cells.empty() ? 0 : Cells.Cells.front().Col;
    const int firstRow = Cells.Cells.empty() ? 0 : Cells.Cells.front().Row;
    struct Merge {
        int Col, Row, SpanX, SpanY;
    };
    std::vector<Merge> merges;
    int progressRow = -1;
    TProgressReport progress(OnFileProgress, this);
    {
        UpdateScope<TCustomGrid> lock(*this);
        // A whole grid written without its fixed cells starts at its first normal cell.
        const int offsetX = Cells.FullGrid ? firstCol : 0, offsetY = Cells.FullGrid ? firstRow : 0;
        if (Cells.FullGrid) {
            Clear();
            SetRowCount(offsetY + Cells.RowCount);
            SetColCount(offsetX + Cells.ColCount);
            for (std::size_t i = 0; i < Cells.ColWidths.size(); ++i)
                if (offsetX + int(i) < ColCount())
                    SetColWidths(offsetX + int(i), Cells.ColWidths[i]);
            for (std::size_t i = 0; i < Cells.RowHeights.size(); ++i)
                if (offsetY + int(i) < RowCount())
                    SetRowHeights(offsetY + int(i), Cells.RowHeights[i]);
        }
        const TPoint origin = Cells.FullGrid ? TPoint(0, 0) : TPoint(firstCol, firstRow);
        TComponent* form = Owner();
        for (TBinStreamCell& cell : Cells.Cells) {
            const int c = Point.X + cell.Col - origin.X;
            const int r = Point.Y + cell.Row - origin.Y;
            // The grid keeps its size: cells beyond it are not placed.
            if (c < 0 || r < 0 || r >= RowCount() || c >= TotalColCount()) continue;
            const int real = c < ColCount() ? RealColIndexOf(c) : c + FNumHidden;
            TBinStreamCell::Extra* more = cell.More.get();
            if (more) {
                // A merged area the cell belongs to is made again from the stream's areas.
                if (IsMergedCell(real, r)) SplitCells(real, r);
            }
            const bool nonBase =
                more && (more->Present & scpIsBaseCell) && !more->Props->IsBaseCell();
            // The text of a merged area lives in its base cell.
            if (!nonBase) SetCells(real, r, cell.Text);
            if (r != progressRow) {
                progressRow = r;
                progress.Report(r, RowCount());
            }
            if (!more) continue;
            TCellProperties* target = CellProperties(real, r);
            CopyStreamedCellProps(*more->Props, *target, more->Present & ~unsigned(scpMerge));
            if (more->Present & scpControl) {
                TComponent* found = form && !more->ControlName.empty()
                                        ? form->FindComponent(more->ControlName)
                                        : nullptr;
                target->SetControl(dynamic_cast<TControl*>(found));
            }
            const TCellProperties& p = *more->Props;
            if ((more->Present & scpMerge) == scpMerge && p.IsBaseCell() &&
                (p.CellSpanX() > 0 || p.CellSpanY() > 0))
                merges.push_back({real, r, p.CellSpanX() + 1, p.CellSpanY() + 1});
            if (!more->Graphic) continue;
            TCellGraphic* g = NewCellGraphic(real, r);
            g->Assign(more->Graphic.get());
            g->SetCellCheckBoxState(more->Graphic->CellCheckBoxState());
            TObject* payload = more->Payload.release();
            switch (g->CellType()) {
            case ctIcon:
                g->SetCellIcon(static_cast<TIcon*>(payload));
                g->SetCellCreated(true);
                break;
            case ctImages: {
                auto list = std::make_unique<TIntList>(real, r);
                list->SetStrValue(static_cast<TStringList*>(payload)->CommaText());
                delete payload;
                list->OnChange = [this](TObject*, int lc, int lr) {
                    RepaintCell(DisplColIndex(lc), lr);
                };
                g->SetCellBitmap(list.release());
                g->SetCellCreated(true);
                break;
            }
            default:
                if (payload) {
                    g->SetCellBitmap(payload);
                    g->SetCellCreated(true);
                }
                break;
            }
        }
        for (const Merge& m : merges) {
            try {
                MergeCells(m.Col, m.Row, m.SpanX, m.SpanY);
            } catch (const EInvalidGridOperation&) {
                // An area reaching beyond the grid or over an area the stream did not replace
                // stays unmerged; its cells keep their texts.
            }
        }
    }
    CellsChanged(TRect(0, 0, ColCount() - 1, RowCount() - 1));
}

void TQorStringGrid::LoadFromBinStream(TStream& Stream) {
    LoadAtPointFromBinStream(TPoint(0, 0), Stream);
    recountNodes();
}

void TQorStringGrid::recountNodes() {
    int nodes = 0;
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (const TCellGraphic* g = GetCellGraphic(0, r); g && g->CellType() == ctNode) ++nodes;
    FNumNodes = nodes;
    if (nodes > 0) Invalidate();
}

// As LoadFromBinStream over the file's bytes, read in place.
void TQorStringGrid::LoadFromBinFile(const std::string& FileName) {
    TReader r(ReadBinaryFile(FileName));
    try {
        loadBinCells(TPoint(0, 0), r);
    } catch (const EReadError& e) {
        throw EReadError(e.Message() + " (" + FileName + ")");
    }
    recountNodes();
}
