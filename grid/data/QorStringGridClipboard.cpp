// TQorStringGrid: copy, cut and paste through the clipboard, the selection as text and the
// smart fill of a paste into a larger selection.
#include "grid/core/GridLibrary.h"
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUndo.h"
#include "grid/core/base/GridUtils.h"
#include "grid/data/CsvText.h"
#include "grid/data/GridStreamIO.h"
#include "grid/render/FloatingFooter.h"
#include "platform/base/ComponentStream.h"
#include "platform/base/FormatSettings.h"
#include "platform/ui/core/Clipbrd.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view CRLF = "\r\n";

UINT cellsFormat() {
    return GridLibrary().GridClipboardFormat;
}
UINT rtfFormat() {
    static const UINT f = RegisterClipboardFormat("Rich Text Format");
    return f;
}
UINT htmlFormat() {
    static const UINT f = RegisterClipboardFormat("HTML Format");
    return f;
}

// A cell text holding line breaks, for the clipboard text: in double quotes (inner ones
// doubled), one LF for each line break.
std::string quoteLines(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '"') {
            out += "\"\"";
        } else {
            out += c;
        }
    }
    return out + '"';
}

bool isPackedWide(std::string_view s) {
    return s.starts_with("|\\");
}

TQorGridUndoRedo* undoOf(TBaseGrid& grid) {
    return dynamic_cast<TQorGridUndoRedo*>(grid.UndoRedo());
}

// Opens an undo sequence for the scope when the grid has an undo component.
class UndoSequence {
public:
    explicit UndoSequence(TBaseGrid& grid) : undo_(undoOf(grid)) {
        if (undo_) undo_->StartSequence();
    }
    ~UndoSequence() {
        if (undo_) undo_->StopSequence();
    }
    UndoSequence(const UndoSequence&) = delete;
    UndoSequence& operator=(const UndoSequence&) = delete;

private:
    TQorGridUndoRedo* undo_;
};

// Opens the clipboard for the scope: the formats set inside reach it together.
class ClipboardScope {
public:
    ClipboardScope() { Clipboard()->Open(); }
    ~ClipboardScope() { Clipboard()->Close(); }
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;
};

// A text ending in a whole number: the text before it and the number.
bool splitTrailingNumber(const std::string& s, std::string& prefix, long long& value) {
    std::size_t p = s.size();
    while (p > 0 && s[p - 1] >= '0' && s[p - 1] <= '9') --p;
    if (p == s.size() || p == 0 || s.size() - p > 18) return false;
    prefix = s.substr(0, p);
    value = std::stoll(s.substr(p));
    return true;
}

TGridRect normalized(TGridRect r) {
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    return r;
}

} // namespace

// --- copy ------------------------------------------------------------------------------------

std::string TQorStringGrid::SelectionToText(const TRect& R, bool Disjunct) {
    FLastCopied = TPoint(R.Left, R.Top);
    ExportNotification(esExportStart, -1);
    const bool rowsDisjunct = FMouseActions->DisjunctRowSelect();
    const bool colsDisjunct = FMouseActions->DisjunctColSelect();
    auto rowTakesPart = [&](int r) {
        return !rowsDisjunct || !Disjunct || colsDisjunct || RowSelect(r);
    };
    auto colTakesPart = [&](int c) { return !colsDisjunct || !Disjunct || ColSelect(c); };
    const bool wholeRange = R.Top <= FixedRows() && R.Bottom >= RowCount() - FFixedFooters - 1;
    for (int r = R.Top; r <= R.Bottom; ++r)
        if (rowTakesPart(r)) ExportNotification(wholeRange ? esExportNewRow : esExportSelRow, r);
    std::string out, text;
    for (int r = R.Top; r <= R.Bottom; ++r) {
        if (!rowTakesPart(r)) continue;
        ExportNotification(esExportNewRow, r);
        for (int c = R.Left; c <= R.Right; ++c) {
            if (!colTakesPart(c)) continue;
            const int real = c < ColCount() ? RealColIndexOf(c) : c + FNumHidden;
            SaveCellText(real, r, text);
            if (isPackedWide(text)) text = WideToUtf8(DecodePackedWideText(text));
            if (!FNavigation->CopyHTMLTagsToClipboard() && text.find("</") != std::string::npos)
                text = StrippedCells(real, r);
            text = plainOfRichText(std::move(text));
            if (FFlags.ExcelClipboardFormat && CountLines(text, true) > 1)
                text = QuoteMultiLineText(text);
            else if (text.find('\r') != std::string::npos || text.find('\n') != std::string::npos)
                text = quoteLines(text);
            out += text;
            if (c != R.Right) out += '\t';
        }
        if (R.Bottom > R.Top) out += CRLF;
    }
    ExportNotification(esExportDone, -1);
    return out;
}

void TQorStringGrid::CopyRectToClipboard(const TRect& R, bool Disjunct) {
    ClipboardScope scope;
    Clipboard()->Clear();
    Clipboard()->SetAsText(SelectionToText(R, Disjunct));
    std::string html = htmlText(R.Left, R.Top, R.Right, R.Bottom, false, "", false, "utf-8");
    MakeClipboardHTML(html);
    Clipboard()->SetAsBytes(htmlFormat(), html);
    if (FNavigation->AllowRTFClipboard()) {
        const int real = R.Left < ColCount() ? RealColIndexOf(R.Left) : -1;
        if (real >= 0 && R.Top < RowCount()) {
            const std::string& cell = GridCells(real, R.Top);
            if (cell.find("{\\") != std::string::npos)
                Clipboard()->SetAsBytes(rtfFormat(), cell + '\0');
        }
    }
    if (FNavigation->AllowFmtClipboard()) {
        TMemoryStream m;
        SaveRectToBinStream(R, m);
        Clipboard()->SetAsBytes(
            cellsFormat(),
            std::string(reinterpret_cast<const char*>(m.Memory()), std::size_t(m.Size())));
    }
}

// The selection grown to whole merged areas at its corners.
static TGridRect withMergedAreas(TQorStringGrid& g, TGridRect s) {
    s = normalized(s);
    auto realOf = [&](int c) { return g.RealColIndex(c); };
    const int tl = realOf(s.Left);
    if (tl >= 0 && s.Top < g.RowCount() && g.IsMergedCell(tl, s.Top)) {
        const TPoint base = g.BaseCell(tl, s.Top);
        s.Left = g.DisplColIndex(base.X);
        s.Top = base.Y;
    }
    const int br = realOf(s.Right);
    if (br >= 0 && s.Bottom < g.RowCount() && g.IsMergedCell(br, s.Bottom)) {
        const TPoint base = g.BaseCell(br, s.Bottom);
        const TPoint span = g.CellSpan(base.X, base.Y);
        s.Right = std::max(s.Right, g.DisplColIndex(base.X) + span.X);
        s.Bottom = std::max(s.Bottom, base.Y + span.Y);
    }
    return s;
}

void TQorStringGrid::CopySelectionToClipboard() {
    const TGridRect before = Selection();
    const TGridRect sel = withMergedAreas(*this, before);
    if (!(sel == before)) SetSelection(sel);
    const bool fmt = FNavigation->AllowFmtClipboard();
    if (FMouseActions->DisjunctRowSelect() && !fmt)
        CopyRectToClipboard(
            TRect(FixedCols(), SaveStartRow(), ColCount() - FFixedRightCols - 1, SaveEndRow()),
            true);
    else if (FMouseActions->DisjunctColSelect() && !fmt)
        CopyRectToClipboard(TRect(SaveStartCol(), SaveStartRow(), SaveEndCol(), SaveEndRow()),
                            true);
    else
        CopyRectToClipboard(TRect(sel.Left, sel.Top, sel.Right, sel.Bottom), false);
    FLastClipOp = coCopy;
}

void TQorStringGrid::CopyToClipBoard() {
    CopyRectToClipboard(TRect(SaveStartCol(), SaveStartRow(), SaveEndCol(), SaveEndRow()), false);
    FLastClipOp = coCopy;
}

void TQorStringGrid::CopyToClipBoardAsHTML() {
    std::string html = SaveToHTMLString("");
    MakeClipboardHTML(html);
    ClipboardScope scope;
    Clipboard()->Clear();
    Clipboard()->SetAsBytes(htmlFormat(), html);
    Clipboard()->SetAsText(html);
}

std::string TQorStringGrid::GetSelectionAsText() {
    const TGridRect s = normalized(Selection());
    return SelectionToText(TRect(s.Left, s.Top, s.Right, s.Bottom), false);
}

// --- cut -------------------------------------------------------------------------------------

void TQorStringGrid::CutToClipboard() {
    CopyToClipBoard();
    const int c0 = SaveStartCol(), c1 = SaveEndCol(), r0 = SaveStartRow(), r1 = SaveEndRow();
    const bool always = FNavigation->AllowClipboardAlways();
    for (int r = r0; r <= r1; ++r) {
        for (int c = c0; c <= c1; ++c) {
            const int real = RealColIndexOf(c);
            if (real >= 0 && (always || IsEditable(real, r))) SetCells(real, r, "");
        }
        if (FShowModified->Enabled()) SetRowModified(r, true);
    }
    FLastClipOp = coCut;
}

void TQorStringGrid::CutSelectionToClipboard() {
    CopySelectionToClipboard();
    const TGridRect sel = normalized(Selection());
    if (FMouseActions->DisjunctRowSelect()) {
        for (int r = FixedRows(); r < RowCount(); ++r) {
            const int flagRow = FMouseActions->RowSelectPersistent() ? RealRowIndex(r) : r;
            if (!RowSelect(flagRow)) continue;
            ClearRows(r, 1);
            if (FShowModified->Enabled()) SetRowModified(r, true);
        }
    } else if (FMouseActions->DisjunctColSelect()) {
        for (int c = FixedCols(); c < ColCount(); ++c)
            if (ColSelect(c)) ClearCols(RealColIndexOf(c), 1);
    } else {
        const bool always = FNavigation->AllowClipboardAlways();
        TQorGridUndoRedo* undo = undoOf(*this);
        {
            UndoSequence sequence(*this);
            for (int r = sel.Top; r <= sel.Bottom; ++r) {
                for (int c = sel.Left; c <= sel.Right; ++c) {
                    const int real = RealColIndexOf(c);
                    if (real < 0 || !(always || IsEditable(real, r))) continue;
                    if (undo) undo->RegisterChange(c, r, Cells(real, r), "");
                    SetCells(real, r, "");
                }
                if (FShowModified->Enabled()) SetRowModified(r, true);
            }
        }
        if (FNavigation->AllowFmtClipboard())
            FreeCellPropertiesRect(RealColIndexOf(sel.Left), sel.Top, RealColIndexOf(sel.Right),
                                   sel.Bottom);
    }
    FLastClipOp = coCut;
    if (OnCellsChanged) OnCellsChanged(this, TRect(sel.Left, sel.Top, sel.Right, sel.Bottom));
    if (FNumHidden > 0) Invalidate();
}

// --- paste -----------------------------------------------------------------------------------

bool TQorStringGrid::AllowFormattedClipboard() {
    return FNavigation->AllowFmtClipboard();
}

void TQorStringGrid::MarkPastedRowsModified(TPoint, const TRect& Pasted, TClipOperation) {
    if (!FShowModified->Enabled()) return;
    for (int r = Pasted.Top; r <= Pasted.Bottom && r < RowCount(); ++r) SetRowModified(r, true);
}

void TQorStringGrid::PasteCellValue(int ACol, int ARow, const std::string& Value) {
    const int real = RealColIndexOf(ACol);
    if (real < 0) return;
    if (TQorGridUndoRedo* undo = undoOf(*this))
        undo->RegisterChange(ACol, ARow, Cells(real, ARow), Value);
    if (HasCheckBox(real, ARow))
        ApplyCheckBoxState(real, ARow, Value == FCheckTrue);
    else
        SetCells(real, ARow, Value);
    if (real != ACol) RepaintCell(ACol, ARow);
}

bool TQorStringGrid::pasteField(int ACol, int ARow, std::string Value, bool Events) {
    if (!Events) {
        PasteCellValue(ACol, ARow, Value);
        return true;
    }
    bool allow = true;
    if (isPackedWide(Value)) {
        std::u16string wide = DecodePackedWideText(Value);
        if (OnClipboardBeforePasteWideCell)
            OnClipboardBeforePasteWideCell(this, ACol, ARow, wide, allow);
        if (!allow) return false;
        PasteCellValue(ACol, ARow, EncodePackedWideText(wide));
        if (OnClipboardAfterPasteWideCell) OnClipboardAfterPasteWideCell(this, ACol, ARow, wide);
        return true;
    }
    if (OnClipboardBeforePasteCell) OnClipboardBeforePasteCell(this, ACol, ARow, Value, allow);
    if (!allow) return false;
    PasteCellValue(ACol, ARow, Value);
    if (OnClipboardAfterPasteCell) OnClipboardAfterPasteCell(this, ACol, ARow, Value);
    return true;
}

int TQorStringGrid::PasteTextBlock(int ACol, int ARow, const std::string& Text, int& Lines,
                                   int& Fields) {
    Lines = Fields = 0;
    FPastedExtent = TPoint(0, 0);
    const bool always = FNavigation->AllowClipboardAlways();
    if (ACol < 0 || ARow < 0 ||
        !(Options().Contains(goEditing) || always || FMouseActions->RangeSelectAndEdit()))
        return 0;
    const std::vector<std::vector<std::string>> lines = ParseClipboardText(Text);
    const bool insert = FNavigation->ClipboardPasteAction() == paInsert;
    const bool wholeGrid = ACol == SaveStartCol() && ARow == SaveStartRow();
    int pasted = 0, row = ARow, maxCol = ACol - 1, maxRow = ARow - 1;
    {
        UndoSequence sequence(*this);
        for (std::size_t l = 0; l < lines.size(); ++l) {
            const std::vector<std::string>& fields = lines[l];
            const bool last = l + 1 == lines.size();
            ++Lines;
            ImportNotification(wholeGrid ? isImportNewRow : isImportSelRow, row);
            const bool emptyLine = fields.size() == 1 && fields[0].empty();
            if (insert && !emptyLine) InsertRows(row, 1);
            int col = ACol;
            for (std::size_t f = 0; f < fields.size(); ++f) {
                ++pasted;
                const bool endOfText = last && f + 1 == fields.size();
                if (!(endOfText && fields[f].empty()) && col < ColCount() && row < RowCount()) {
                    const int real = RealColIndexOf(col);
                    if (real >= 0 && (always || IsEditable(real, row)) &&
                        pasteField(col, row, fields[f], true)) {
                        maxCol = std::max(maxCol, col);
                        maxRow = std::max(maxRow, row);
                    }
                }
                if (f + 1 < fields.size()) {
                    ++col;
                    if (col >= ColCount() && FNavigation->AllowClipboardColGrow())
                        SetColCount(col + 1);
                }
            }
            Fields = int(fields.size());
            if (last) break;
            ++row;
            const int end = FFloatingFooter->Visible() ? RowCount() - 1 : RowCount();
            if (row >= end && FNavigation->AllowClipboardRowGrow()) SetRowCount(RowCount() + 1);
        }
    }
    if (maxRow >= ARow && maxCol >= ACol) {
        const TRect done(ACol, ARow, maxCol, maxRow);
        FPastedExtent = TPoint(maxCol - ACol + 1, maxRow - ARow + 1);
        MarkPastedRowsModified(FLastCopied, done, FLastClipOp);
        CellsChanged(TRect(RealColIndexOf(ACol), ARow, RealColIndexOf(maxCol), maxRow));
    }
    return pasted;
}

int TQorStringGrid::PasteClipboardData(int ACol, int ARow, int& Lines, int& Fields) {
    Lines = Fields = 0;
    if (AllowFormattedClipboard() && Clipboard()->HasFormat(cellsFormat())) {
        BeforePaste();
        const std::string bytes = Clipboard()->GetAsBytes(cellsFormat());
        TGridPropIO prop(nullptr);
        {
            TReader r(bytes);
            prop.Read(r);
        }
        if (FNavigation->AllowClipboardColGrow() && ACol + prop.ColCount() > ColCount())
            SetColCount(ACol + prop.ColCount());
        if (FNavigation->AllowClipboardRowGrow() && ARow + prop.RowCount() > RowCount())
            SetRowCount(ARow + prop.RowCount());
        if (FNavigation->ClipboardPasteAction() == paInsert) InsertRows(ARow, prop.RowCount());
        {
            TReader r(bytes);
            loadBinCells(TPoint(ACol, ARow), r, true);
            r.Finish();
        }
        Lines = prop.RowCount();
        Fields = prop.ColCount();
        FPastedExtent = TPoint(Fields, Lines);
        const bool own =
            HandleAllocated() && prop.ID() == int(reinterpret_cast<std::intptr_t>(Handle()));
        MarkPastedRowsModified(own ? FLastCopied : TPoint(-1, -1),
                               TRect(ACol, ARow, ACol + Fields - 1, ARow + Lines - 1), FLastClipOp);
        AfterPaste();
        return Fields * Lines;
    }
    if (FNavigation->AllowRTFClipboard() && Clipboard()->HasFormat(rtfFormat())) {
        std::string rtf = Clipboard()->GetAsBytes(rtfFormat());
        rtf.resize(std::min(rtf.size(), rtf.find('\0')));
        const int real = RealColIndexOf(ACol);
        if (real >= 0 && IsEditable(real, ARow)) PasteCellValue(ACol, ARow, rtf);
        Lines = Fields = 1;
        FPastedExtent = TPoint(1, 1);
        return 0;
    }
    if (Clipboard()->HasFormat(CF_TEXT))
        return PasteTextBlock(ACol, ARow, Clipboard()->AsText(), Lines, Fields);
    return 0;
}

void TQorStringGrid::PasteFromClipboard() {
    ImportNotification(isImportStart, -1);
    int lines = 0, fields = 0;
    PasteClipboardData(SaveStartCol(), SaveStartRow(), lines, fields);
    ImportNotification(isImportDone, -1);
    RecalcFooters();
}

void TQorStringGrid::PasteSelectionFromClipboard() {
    ImportNotification(isImportStart, -1);
    const TGridRect before = Selection();
    TGridRect sel = withMergedAreas(*this, before);
    if (!(sel == before)) SetSelection(sel);
    const int startCol = Options().Contains(goRowSelect) ? FixedCols() : sel.Left;
    int lines = 0, fields = 0;
    const int pasted = PasteClipboardData(startCol, sel.Top, lines, fields);
    const int cells = (sel.Right - sel.Left + 1) * (sel.Bottom - sel.Top + 1);
    if (FNavigation->AllowSmartClipboard() && pasted != cells + 1)
        smartFill(sel, pasted, lines, fields, FPastedExtent);
    ImportNotification(isImportDone, -1);
    CellsChanged(TRect(RealColIndexOf(sel.Left), sel.Top, RealColIndexOf(sel.Right), sel.Bottom));
    RecalcFooters();
}

void TQorStringGrid::smartFill(const TGridRect& Sel, int Pasted, int Lines, int Fields,
                               TPoint Extent) {
    const bool always = FNavigation->AllowClipboardAlways();
    auto editable = [&](int c, int r) {
        const int real = RealColIndexOf(c);
        return real >= 0 && (always || IsEditable(real, r));
    };
    const bool oneCol = Sel.Left == Sel.Right, oneRow = Sel.Top == Sel.Bottom;
    // A selection of one cell has nothing to fill.
    if (oneCol && oneRow) return;
    if (Pasted == 1) {
        BeforePaste();
        const int topReal = RealColIndexOf(Sel.Left);
        std::string value = Cells(topReal, Sel.Top);
        bool state = false;
        if (HasCheckBox(topReal, Sel.Top) && GetCheckBoxState(topReal, Sel.Top, state))
            value = state ? FCheckTrue : FCheckFalse;
        for (int r = Sel.Top; r <= Sel.Bottom; ++r)
            for (int c = Sel.Left; c <= Sel.Right; ++c) {
                if (!editable(c, r)) continue;
                const bool topLeft = c == Sel.Left && r == Sel.Top;
                if (pasteField(c, r, value, !topLeft) && FShowModified->Enabled())
                    SetRowModified(r, true);
            }
        AfterPaste();
        return;
    }
    if (Pasted > 1 && (oneCol || oneRow)) {
        if (seriesFill(Sel)) return;
        // Text repetition: the pasted block again and again.
        const int period = oneCol ? Extent.Y : Extent.X;
        if (period <= 0) return;
        if (oneCol) {
            for (int r = Sel.Top + period; r <= Sel.Bottom; ++r)
                if (editable(Sel.Left, r))
                    pasteField(Sel.Left, r, Cells(RealColIndexOf(Sel.Left), r - period), true);
        } else {
            for (int c = Sel.Left + period; c <= Sel.Right; ++c)
                if (editable(c, Sel.Top))
                    pasteField(c, Sel.Top, Cells(RealColIndexOf(c - period), Sel.Top), true);
        }
        MarkPastedRowsModified(FLastCopied, TRect(Sel.Left, Sel.Top, Sel.Right, Sel.Bottom),
                               FLastClipOp);
        return;
    }
    if (!oneCol && !oneRow) {
        int l = 0, f = 0;
        if (Lines == 1) {
            for (int r = Sel.Top + 1; r <= Sel.Bottom; ++r) PasteClipboardData(Sel.Left, r, l, f);
        } else if (Fields == 1) {
            for (int c = Sel.Left + 1; c <= Sel.Right; ++c) PasteClipboardData(c, Sel.Top, l, f);
        }
        SetSelection(Sel);
    }
}

// Continues dates, times, numbers and texts ending in numbers from the first two cells of a
// one-column or one-row selection; false when they are none of these.
bool TQorStringGrid::seriesFill(const TGridRect& Sel) {
    const bool oneCol = Sel.Left == Sel.Right;
    const std::string a = Cells(RealColIndexOf(Sel.Left), Sel.Top);
    const std::string b = oneCol ? Cells(RealColIndexOf(Sel.Left), Sel.Top + 1)
                                 : Cells(RealColIndexOf(Sel.Left + 1), Sel.Top);
    const TFormatSettings& fs = FormatSettings();
    const bool always = FNavigation->AllowClipboardAlways();
    // Writes Next() into every editable cell, the value advancing past every cell.
    auto walk = [&](auto&& Text) {
        for (int c = Sel.Left; c <= Sel.Right; ++c)
            for (int r = Sel.Top; r <= Sel.Bottom; ++r) {
                const int real = RealColIndexOf(c);
                const std::string value = Text();
                if (real < 0 || !(always || IsEditable(real, r))) continue;
                const bool topLeft = c == Sel.Left && r == Sel.Top;
                if (pasteField(c, r, value, !topLeft) && FShowModified->Enabled())
                    SetRowModified(r, true);
            }
    };
    const bool timeA = a.find(fs.TimeSeparator) != std::string::npos;
    const bool timeB = b.find(fs.TimeSeparator) != std::string::npos;
    if ((LooksLikeDate(a) && LooksLikeDate(b)) || (timeA && timeB)) {
        const bool asDate = a.find(fs.DateSeparator) != std::string::npos;
        try {
            const auto parse = [&](const std::string& s) {
                return LooksLikeDate(s) ? StrToDateTime(s) : StrToTime(s);
            };
            double v = parse(a);
            const double vb = parse(b), step = vb - v;
            int ya, ma, da, yb, mb, db;
            DecodeDate(v, ya, ma, da);
            DecodeDate(vb, yb, mb, db);
            walk([&] {
                std::string s = asDate ? DateToStr(v) : TimeToStr(v);
                v = IncDateStep(yb - ya, mb - ma, db - da, v, step);
                return s;
            });
        } catch (const EConvertError&) {
            // The cells filled so far stay.
        }
        return true;
    }
    if (a.find(fs.DecimalSeparator) != std::string::npos ||
        b.find(fs.DecimalSeparator) != std::string::npos) {
        try {
            double v = StrToFloat(a);
            const double step = StrToFloat(b) - v;
            std::string format;
            GetFloatFormat(RealColIndexOf(Sel.Left), format);
            walk([&] {
                std::string s = Format(format.empty() ? FFloatFormat : format, v);
                v += step;
                return s;
            });
        } catch (const EConvertError&) {
        }
        return true;
    }
    long long ia = 0, ib = 0;
    int na = 0, nb = 0;
    if (TryStrToInt(a, na) && TryStrToInt(b, nb)) {
        ia = na;
        const long long step = (long long)nb - na;
        walk([&] {
            const std::string s = std::to_string(ia);
            ia += step;
            return s;
        });
        return true;
    }
    std::string pa, pb;
    if (splitTrailingNumber(a, pa, ia) && splitTrailingNumber(b, pb, ib) && pa == pb) {
        const long long step = ib - ia;
        walk([&] {
            const std::string s = pa + std::to_string(ia);
            ia += step;
            return s;
        });
        return true;
    }
    return false;
}

void TQorStringGrid::SetSelectionAsText(const std::string& Value) {
    const TGridRect sel = normalized(Selection());
    std::vector<std::vector<std::string>> lines = ParseClipboardText(Value);
    // A line end at the very end starts no further row.
    if (lines.size() > 1 && lines.back().size() == 1 && lines.back()[0].empty()) lines.pop_back();
    int row = sel.Top, maxCol = sel.Left, maxRow = sel.Top;
    for (std::size_t l = 0; l < lines.size(); ++l) {
        int col = sel.Left;
        for (const std::string& field : lines[l]) {
            if (col >= ColCount()) SetColCount(col + 1);
            const int real = RealColIndexOf(col);
            SetGridCells(real, row,
                         isPackedWide(field) ? EncodePackedWideText(DecodePackedWideText(field))
                                             : field);
            maxCol = std::max(maxCol, col);
            ++col;
        }
        maxRow = row;
        if (l + 1 == lines.size()) break;
        ++row;
        const int end = FFloatingFooter->Visible() ? RowCount() - 1 : RowCount();
        if (row >= end) SetRowCount(RowCount() + 1);
    }
    CellsChanged(TRect(sel.Left, sel.Top, maxCol, maxRow));
}
