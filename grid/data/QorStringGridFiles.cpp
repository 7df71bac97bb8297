// TQorStringGrid: the grid's own text file and text stream, the aligned text report and the
// conversion of a cell to a number.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUtils.h"
#include "grid/core/base/ScopeGuards.h"
#include "grid/data/GridFileText.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view CRLF = "\r\n";

std::string noDataMessage(const std::string& FileName) {
    return "File contains no data or corrupt file " + FileName;
}

void appendInt(std::string& out, long long v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

// A decimal integer with optional leading blanks and sign, nothing after it.
bool parseInt(std::string_view s, int& v) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty()) return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// "a,b": the text before the first comma and the rest.
bool splitPair(std::string_view line, std::string_view& a, std::string_view& b) {
    const auto p = line.find(',');
    if (p == std::string_view::npos) return false;
    a = line.substr(0, p);
    b = line.substr(p + 1);
    return true;
}

// A cell line "col,row,text" of the text file and stream; false with fewer than two commas.
bool splitCellLine(std::string_view line, std::string_view& col, std::string_view& row,
                   std::string_view& text) {
    std::string_view rest;
    return splitPair(line, col, rest) && splitPair(rest, row, text);
}

bool isWidthLine(std::string_view line) {
    return line.starts_with("cw");
}

// The index and width of a "cw <index>,<width>" line.
bool splitWidthLine(std::string_view line, std::string_view& index, std::string_view& width) {
    return splitPair(line.size() > 3 ? line.substr(3) : std::string_view(), index, width);
}

struct FileEntry {
    bool Width = false;
    int A = 0; // column, or the index of a width line
    int B = 0; // row, or the width
    std::string_view Text;
};

// The lines of a cell text for the aligned report: all of them with multi-line cells, else the
// first.
std::vector<std::string_view> reportLines(std::string_view text, bool multiLine) {
    std::vector<std::string_view> lines = SplitTextLines(text);
    if (lines.empty()) lines.emplace_back();
    if (!multiLine) lines.resize(1);
    return lines;
}

std::string alignText(std::string_view text, TAlignment align, std::size_t width) {
    std::string s(text);
    std::size_t len = Utf8Length(s);
    if (align == taRightJustify && len < width) {
        s.insert(0, width - len, ' ');
    } else if (align == taCenter) {
        while (len < width) {
            s = ' ' + s + ' ';
            len += 2;
        }
    }
    return s;
}

// The length of the longest numeric prefix of s (blanks, sign, digits, point, exponent).
std::size_t numberPrefix(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    const std::size_t digitsFrom = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    }
    if (i == digitsFrom || (i == digitsFrom + 1 && s[digitsFrom] == '.')) return digitsFrom;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '-' || s[j] == '+')) ++j;
        const std::size_t expFrom = j;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j;
        if (j > expFrom) i = j;
    }
    return i;
}

} // namespace

int TQorStringGrid::fileColumn(int ACol) const {
    if (FFlags.SaveHiddenCells || FNumHidden == 0) return ACol;
    return ACol < ColCount() ? RealColIndexOf(ACol) : ACol + FNumHidden;
}

int TQorStringGrid::fileColumnWidth(int ACol) {
    if (FFlags.SaveHiddenCells) return AllColWidths(ACol);
    return ACol < ColCount() ? ColWidths(ACol) : 0;
}

// --- text file -------------------------------------------------------------------------------

void TQorStringGrid::SaveToFile(const std::string& FileName, bool Unicode) {
    const int h = FFlags.SaveHiddenCells ? FNumHidden : 0;
    const int c0 = SaveStartCol(), c1 = SaveEndCol() + h;
    const int r0 = SaveStartRow(), r1 = SaveEndRow();
    TGridTextWriter file(FileName, Unicode ? gteUtf16 : gteAnsi);
    std::string& head = file.Text();
    appendInt(head, SaveColCount() + h);
    head += ',';
    appendInt(head, SaveRowCount());
    head += CRLF;
    for (int c = c0; c <= c1; ++c) {
        head += "cw ";
        appendInt(head, c);
        head += ',';
        appendInt(head, fileColumnWidth(c));
        head += CRLF;
    }
    TProgressReport progress(OnFileProgress, this);
    std::string text;
    exportRows(r0, r1, [&](int r) {
        file.Break();
        std::string& out = file.Text();
        for (int c = c0; c <= c1; ++c) {
            SaveCellText(fileColumn(c), r, text);
            if (text.empty()) continue;
            appendInt(out, c);
            out += ',';
            appendInt(out, r);
            out += ',';
            out += EncodeLineBreaks(text);
            out += CRLF;
        }
        progress.Report(r - r0, SaveRowCount() - 1);
    });
    file.Commit();
}

void TQorStringGrid::LoadFromFile(const std::string& FileName) {
    const TGridFileText file = ReadGridTextFile(FileName);
    const std::vector<std::string_view> lines = SplitTextLines(file.Text);
    // The whole file is checked before the grid changes.
    auto refuse = [&] { throw EQorGridError(noDataMessage(FileName)); };
    std::string_view a, b;
    int cols = 0, rows = 0;
    if (lines.empty() || !splitPair(lines[0], a, b) || !parseInt(a, cols) || !parseInt(b, rows) ||
        cols <= 0 || rows <= 0)
        refuse();
    std::vector<FileEntry> entries;
    entries.reserve(lines.size() - 1);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        FileEntry e;
        std::string_view x, y;
        if (isWidthLine(line)) {
            e.Width = true;
            if (!splitWidthLine(line, x, y) || !parseInt(x, e.A) || !parseInt(y, e.B)) refuse();
        } else if (!splitCellLine(line, x, y, e.Text) || !parseInt(x, e.A) || !parseInt(y, e.B)) {
            refuse();
        }
        entries.push_back(e);
    }
    const bool fixedColsSaved = FFlags.SaveFixedCells || FFlags.SaveFixedCols;
    const bool fixedRowsSaved = FFlags.SaveFixedCells || FFlags.SaveFixedRows;
    const int firstCol = fixedColsSaved ? 0 : FixedCols();
    const int firstRow = fixedRowsSaved ? 0 : FixedRows();
    {
        UpdateScope<TCustomGrid> lock(*this);
        SetColCount(firstCol + cols);
        SetRowCount(firstRow + rows);
        // The file holds every non-empty cell of its range: the others are emptied.
        for (int r = firstRow; r < RowCount(); ++r)
            for (int c = firstCol; c < TotalColCount(); ++c)
                if (!GridCells(c, r).empty()) SetGridCells(c, r, "");
        TProgressReport progress(OnFileProgress, this);
        TLoadPump pump;
        for (const FileEntry& e : entries) {
            if (e.Width) {
                if (e.A >= 0 && e.A < ColCount()) SetColWidths(e.A, e.B);
            } else if (e.A >= 0 && e.A < TotalColCount() && e.B >= 0 && e.B < RowCount()) {
                LoadCellText(e.A, e.B, DecodeLineBreaks(e.Text, FMultilinecells));
                progress.Report(e.B, RowCount() - 1);
            }
            pump.Step();
        }
    }
    CellsChanged(TRect(0, 0, ColCount() - 1, RowCount() - 1));
    RecalcFooters();
}

// --- text stream -----------------------------------------------------------------------------

void TQorStringGrid::SaveToStream(TStream& Stream) {
    const int c0 = SaveStartCol(), c1 = SaveEndCol();
    const int r0 = SaveStartRow(), r1 = SaveEndRow();
    std::string line, out, text;
    auto put = [&] {
        AppendUtf16Line(out, line);
        line.clear();
    };
    appendInt(line, SaveColCount());
    line += ',';
    appendInt(line, SaveRowCount());
    put();
    for (int c = 0; c < ColCount(); ++c) {
        line += "cw ";
        appendInt(line, c);
        line += ',';
        appendInt(line, ColWidths(c));
        put();
    }
    exportRows(r0, r1, [&](int r) {
        for (int c = c0; c <= c1; ++c) {
            SaveCellText(fileColumn(c), r, text);
            if (text.empty()) continue;
            appendInt(line, c - c0);
            line += ',';
            appendInt(line, r - r0);
            line += ',';
            line += EncodeLineBreaks(text);
            put();
        }
    });
    Stream.WriteBuffer(out.data(), std::int64_t(out.size()));
}

void TQorStringGrid::LoadFromStream(TStream& Stream) {
    const std::int64_t start = Stream.Position();
    const std::int64_t size = Stream.Size();
    if (start >= size) return;
    std::string bytes(std::size_t(size - start), '\0');
    Stream.ReadBuffer(bytes.data(), std::int64_t(bytes.size()));
    // Everything is read and checked before the grid changes; reading stops before the first
    // line that is no cell, where the stream is left.
    std::size_t pos = 0, end = 0;
    std::string line;
    std::optional<std::pair<int, int>> counts;
    if (ReadUtf16Line(bytes, pos, line)) {
        end = pos;
        if (!line.empty()) {
            std::string_view a, b;
            if (!splitPair(line, a, b)) b = "";
            counts = {StrToInt(a), StrToInt(b)};
        }
    }
    const int cols = counts ? counts->first + SaveStartCol() : ColCount();
    const int rows = counts ? counts->second + SaveStartRow() : RowCount();
    if (cols < 0 || rows < 0) throw EInvalidGridOperation("Grid index out of range");
    struct Entry {
        bool Width;
        int A, B;
        std::string Text;
    };
    std::vector<Entry> entries;
    for (std::size_t lineStart = pos; ReadUtf16Line(bytes, pos, line); lineStart = pos) {
        std::string_view x, y, text;
        if (isWidthLine(line)) {
            if (!splitWidthLine(line, x, y)) y = "";
            const int index = StrToInt(x), width = StrToInt(y);
            if (index >= cols) throw EInvalidGridOperation("Grid index out of range");
            entries.push_back({true, index, width, {}});
        } else if (splitCellLine(line, x, y, text)) {
            const int c = StrToInt(x) + SaveStartCol(), r = StrToInt(y) + SaveStartRow();
            entries.push_back({false, c, r, DecodeLineBreaks(text, FMultilinecells)});
        } else {
            pos = lineStart;
            break;
        }
        end = pos;
    }
    Stream.SetPosition(start + std::int64_t(end));
    {
        UpdateScope<TCustomGrid> lock(*this);
        if (counts) {
            SetColCount(cols);
            SetRowCount(rows);
        }
        for (int r = SaveStartRow(); r < RowCount(); ++r)
            for (int c = SaveStartCol(); c < TotalColCount(); ++c)
                if (!GridCells(c, r).empty()) SetGridCells(c, r, "");
        for (const Entry& e : entries) {
            if (e.Width) {
                if (e.A >= 0) SetColWidths(e.A, e.B);
            } else if (e.A >= 0 && e.A < TotalColCount() && e.B >= 0 && e.B < RowCount()) {
                LoadCellText(fileColumn(e.A), e.B, e.Text);
            }
        }
    }
    CellsChanged(TRect(0, 0, ColCount() - 1, RowCount() - 1));
    RecalcFooters();
}

// --- aligned text report ---------------------------------------------------------------------

void TQorStringGrid::SaveToASCII(const std::string& FileName, bool Unicode) {
    writeASCII(FileName, Unicode, false);
}

void TQorStringGrid::AppendToASCII(const std::string& FileName, bool Unicode) {
    writeASCII(FileName, Unicode, true);
}

void TQorStringGrid::writeASCII(const std::string& FileName, bool Unicode, bool Append) {
    CursorScope busy(crHourGlass);
    TGridTextEncoding encoding = Unicode ? gteUtf16 : gteAnsi;
    std::string before;
    if (Append && FileExists(FileName)) {
        TGridFileText old = ReadGridTextFile(FileName);
        encoding = old.Encoding;
        before = std::move(old.Text);
        if (!before.empty() && before.back() != '\n' && before.back() != '\r') before += CRLF;
    }
    TGridTextWriter file(FileName, encoding);
    file.Text() = std::move(before);
    const int h = FFlags.SaveHiddenCells ? FNumHidden : 0;
    const int c0 = FFlags.SaveFixedCells || FFlags.SaveFixedCols ? 0 : FixedCols();
    const int r0 = FFlags.SaveFixedCells || FFlags.SaveFixedRows ? 0 : FixedRows();
    const int c1 = ColCount() + h - 1, r1 = RowCount() - 1;
    // The save texts once; widths are counted in characters.
    const int cols = std::max(0, c1 - c0 + 1);
    std::vector<std::string> texts(std::size_t(cols) * std::size_t(std::max(0, r1 - r0 + 1)));
    std::vector<std::size_t> widths(std::size_t(cols), 0);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            std::string& t = texts[std::size_t(r - r0) * cols + std::size_t(c - c0)];
            SaveCellText(fileColumn(c), r, t);
            for (std::string_view l : reportLines(t, FMultilinecells))
                widths[std::size_t(c - c0)] = std::max(widths[std::size_t(c - c0)], Utf8Length(l));
        }
    std::vector<std::string> extra;
    exportRows(r0, r1, [&](int r) {
        file.Break();
        std::string& out = file.Text();
        std::string main;
        std::size_t offset = 0;
        for (int c = c0; c <= c1; ++c) {
            const std::size_t width = widths[std::size_t(c - c0)];
            const std::string& t = texts[std::size_t(r - r0) * cols + std::size_t(c - c0)];
            TAlignment ha = taLeftJustify;
            TVAlignment va = vtaTop;
            GetCellAlignment(fileColumn(c), r, ha, va);
            const std::vector<std::string_view> lines = reportLines(t, FMultilinecells);
            for (std::size_t n = 1; n < lines.size(); ++n) {
                if (extra.size() < n) extra.resize(n);
                std::string& x = extra[n - 1];
                const std::size_t len = Utf8Length(x);
                if (len < offset) x.append(offset - len, ' ');
                x += alignText(lines[n], ha, width);
            }
            std::string cell = alignText(lines[0], ha, width);
            const std::size_t len = Utf8Length(cell);
            if (len <= width) cell.append(width - len + 1, ' ');
            main += cell;
            offset += width + 1;
        }
        out += main;
        out += CRLF;
        for (const std::string& x : extra) {
            out += x;
            out += CRLF;
        }
        extra.clear();
    });
    file.Commit();
}

// --- cell to number --------------------------------------------------------------------------

long double TQorStringGrid::CellToReal(int ACol, int ARow) {
    const std::string text = Cells(ACol, ARow);
    if (text.empty()) return 0;
    const std::string number = ExtractNumericText(text);
    const std::size_t valid = numberPrefix(number);
    if (number.empty() || valid < number.size())
        throw EQorGridError(
            Format("Error at position: %d in Cell [%d, %d].", int(valid) + 1, ACol, ARow));
    std::string_view digits = number;
    while (!digits.empty() && (digits.front() == ' ' || digits.front() == '+'))
        digits.remove_prefix(1);
    long double v = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), v);
    return v;
}
