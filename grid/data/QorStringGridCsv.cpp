// TQorStringGrid: CSV and fixed-width text files.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUtils.h"
#include "grid/core/base/ScopeGuards.h"
#include "grid/data/CsvText.h"
#include "grid/data/GridFileText.h"
#include "grid/render/FloatingFooter.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::string_view CRLF = "\r\n";

std::string noDataMessage(const std::string& FileName) {
    return FileName.empty() ? "File contains no data or corrupt file"
                            : "File contains no data or corrupt file " + FileName;
}

// A cell text on one line of a fixed-width file: its line breaks become blanks.
std::string oneLine(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        s += c == '\r' || c == '\n' ? ' ' : c;
    }
    return s;
}

// Blanks and control characters off both ends.
std::string trimControls(std::string_view s) {
    auto isTrim = [](char c) { return (unsigned char)c <= ' '; };
    while (!s.empty() && isTrim(s.front())) s.remove_prefix(1);
    while (!s.empty() && isTrim(s.back())) s.remove_suffix(1);
    return std::string(s);
}

} // namespace

// --- CSV -------------------------------------------------------------------------------------

void TQorStringGrid::SaveToCSV(const std::string& FileName, bool Unicode) {
    WriteCSVText(FileName, false, Unicode);
}

void TQorStringGrid::AppendToCSV(const std::string& FileName, bool Unicode) {
    WriteCSVText(FileName, true, Unicode);
}

void TQorStringGrid::WriteCSVText(const std::string& FileName, bool Append, bool Unicode) {
    TGridTextEncoding encoding = Unicode ? gteUtf8 : gteAnsi;
    std::string before;
    if (Append) {
        // The file must exist; its text and encoding are kept.
        TGridFileText old = ReadGridTextFile(FileName);
        encoding = old.Encoding;
        before = std::move(old.Text);
        if (!before.empty() && before.back() != '\n' && before.back() != '\r') before += CRLF;
    }
    TGridTextWriter file(FileName, encoding);
    file.Text() = std::move(before);
    TCsvOptions options;
    options.Delimiter = FDelimiter ? FDelimiter : ',';
    options.AlwaysQuotes = FFlags.AlwaysQuotes;
    options.QuoteEmptyCells = FFlags.QuoteEmptyCells;
    options.JavaCSV = FFlags.JavaCSV;
    options.OemConvert = FFlags.OemConvert;
    const int h = FFlags.SaveHiddenCells ? FNumHidden : 0;
    const int c0 = SaveStartCol(), c1 = SaveEndCol() + h;
    const int r0 = SaveStartRow(), r1 = SaveEndRow();
    TProgressReport progress(OnFileProgress, this);
    std::string text;
    exportRows(r0, r1, [&](int r) {
        file.Break();
        std::string& out = file.Text();
        for (int c = c0; c <= c1; ++c) {
            if (c > c0) out += options.Delimiter;
            SaveCellText(fileColumn(c), r, text);
            AppendCsvField(out, text, options);
        }
        out += CRLF;
        progress.Report(r, RowCount() - 1);
    });
    file.Commit();
}

void TQorStringGrid::LoadFromCSV(const std::string& FileName, int MaxRows) {
    std::string bytes = ReadBinaryFile(FileName);
    if (!bytes.empty()) loadCSV(std::move(bytes), false, MaxRows, FileName);
}

void TQorStringGrid::InsertFromCSV(const std::string& FileName, int MaxRows) {
    std::string bytes = ReadBinaryFile(FileName);
    if (!bytes.empty()) loadCSV(std::move(bytes), true, MaxRows, FileName);
}

void TQorStringGrid::LoadFromCSVStream(TStream& Stream, int MaxRows) {
    LoadCSVText(Stream, false, MaxRows);
}

void TQorStringGrid::LoadCSVText(TStream& Stream, bool Insert, int MaxRows) {
    const std::int64_t start = Stream.Position(), size = Stream.Size();
    std::string bytes(std::size_t(std::max<std::int64_t>(0, size - start)), '\0');
    if (!bytes.empty()) Stream.ReadBuffer(bytes.data(), std::int64_t(bytes.size()));
    loadCSV(std::move(bytes), Insert, MaxRows, "");
}

void TQorStringGrid::loadCSV(std::string Bytes, bool Insert, int MaxRows,
                             const std::string& FileName) {
    const TGridFileText file = DecodeGridText(std::move(Bytes));
    if (file.Text.empty())
        throw Exception(FileName.empty() ? "File is empty" : "File is empty (" + FileName + ")");
    if (HoldsNul(file.Text)) throw EQorGridError(noDataMessage(FileName));
    TCsvOptions options;
    options.Delimiter = FDelimiter;
    options.JavaCSV = FFlags.JavaCSV;
    options.OemConvert = FFlags.OemConvert;
    if (options.Delimiter == 0) {
        // Detected for this load only; the property stays as it is.
        const std::vector<std::string_view> lines =
            SplitTextLines(std::string_view(file.Text).substr(
                0, std::min<std::size_t>(file.Text.size(), 1 << 20)));
        options.Delimiter = DetectCsvDelimiter(lines.empty() ? std::string_view() : lines[0],
                                               lines.size() > 1 ? lines[1] : std::string_view());
    }
    TCsvReader reader(file.Text, options);
    std::vector<std::string> fields;
    if (!FFlags.LoadFirstRow) reader.NextRecord(fields);

    {
        UpdateScope<TCustomGrid> lock(*this);
        int target = SaveStartRow();
        std::vector<std::string> footer;
        const bool keepFooter = Insert && FFloatingFooter->Visible() && FFixedFooters > 0;
        if (Insert) {
            target = RowCount();
            if (keepFooter) {
                const int last = RowCount() - 1;
                for (int c = 0; c < TotalColCount(); ++c) footer.push_back(GridCells(c, last));
                ClearRow(last);
                target = last;
            }
        }
        TProgressReport progress(OnFileProgress, this);
        int records = 0;
        if (progress.Active()) {
            records = reader.CountRecords();
            SetRowCount(Insert ? RowCount() + records : SaveStartRow() + records + FFixedFooters);
        }
        const int h = FFlags.SaveHiddenCells ? FNumHidden : 0;
        int read = 0;
        while ((MaxRows <= 0 || read < MaxRows) && reader.NextRecord(fields)) {
            if (target >= RowCount() - FFixedFooters) SetRowCount(target + 1000);
            int col = SaveStartCol();
            for (const std::string& field : fields) {
                if (col + 1 > ColCount() + h) SetColCount(col + 1 - h);
                LoadCellText(fileColumn(col), target, field);
                ++col;
            }
            ++target;
            ++read;
            progress.Report(read, records);
        }
        SetRowCount(target + FFixedFooters);
        FMaxRowCount = RowCount();
        if (keepFooter)
            for (int c = 0; c < int(footer.size()) && c < TotalColCount(); ++c)
                SetGridCells(c, RowCount() - 1, footer[std::size_t(c)]);
    }
    CellsChanged(TRect(0, 0, ColCount() - 1, RowCount() - 1));
    RecalcFooters();
}

// --- fixed width -----------------------------------------------------------------------------

void TQorStringGrid::SaveToFixed(const std::string& FileName, TIntList* Widths) {
    const int h = FFlags.SaveHiddenCells ? FNumHidden : 0;
    const int c0 = SaveStartCol(), c1 = SaveEndCol() + h;
    const int r0 = SaveStartRow(), r1 = SaveEndRow();
    std::string text;
    for (int c = c0 + Widths->Count(); c <= c1; ++c) {
        std::size_t longest = 0;
        for (int r = 0; r < RowCount(); ++r) {
            SaveCellText(fileColumn(c), r, text);
            longest = std::max(longest, Utf8Length(oneLine(text)));
        }
        Widths->Add(int(longest) + 1);
    }
    // The file is made first: a file that cannot be made is refused before the export.
    std::optional<TGridTextWriter> file;
    try {
        file.emplace(FileName, gteAnsi);
    } catch (const EFCreateError&) {
        throw EQorGridError("Cannot Create file " + FileName);
    }
    exportRows(r0, r1, [&](int r) {
        file->Break();
        std::string& out = file->Text();
        for (int c = c0; c <= c1; ++c) {
            const std::size_t width = std::size_t(std::max(0, Widths->GetInteger(c - c0)));
            SaveCellText(fileColumn(c), r, text);
            std::string s = oneLine(text);
            const std::size_t len = Utf8Length(s);
            if (len > width)
                s = Utf8Substr(s, 0, width);
            else
                s.append(width - len, ' ');
            out += s;
        }
        out += CRLF;
    });
    try {
        file->Commit();
    } catch (const EFCreateError&) {
        throw EQorGridError("Cannot Create file " + FileName);
    }
}

void TQorStringGrid::LoadFromFixed(const std::string& FileName, TIntList* Positions, bool DoTrim,
                                   int MaxRows) {
    TGridFileText file;
    try {
        file = ReadGridTextFile(FileName);
    } catch (const EFOpenError&) {
        throw EQorGridError("File " + FileName + " not found");
    }
    if (HoldsNul(file.Text)) throw EQorGridError(noDataMessage(FileName));
    const int n = Positions->Count();
    if (n < 2) return;
    std::vector<int> p;
    for (int i = 0; i < n; ++i) p.push_back(Positions->GetInteger(i));
    std::sort(p.begin(), p.end());
    Positions->Clear();
    for (int v : p) Positions->Insert(Positions->Count(), v);

    {
        UpdateScope<TCustomGrid> lock(*this);
        SetColCount(FixedCols() + n - 1);
        const std::vector<std::string_view> lines = SplitTextLines(file.Text);
        int target = SaveStartRow();
        if (!lines.empty() && target >= RowCount()) SetRowCount(target + 1);
        int read = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::u32string line = Utf8ToUtf32(lines[i]);
            for (int k = 1; k < n; ++k) {
                const std::size_t from = std::size_t(std::max(1, p[std::size_t(k - 1)]) - 1);
                const int length = p[std::size_t(k)] - p[std::size_t(k - 1)];
                std::u32string field =
                    from < line.size() && length > 0 ? line.substr(from, std::size_t(length)) : U"";
                std::string value = Utf32ToUtf8(field);
                if (DoTrim) value = trimControls(value);
                LoadCellText(fileColumn(SaveStartCol() + k - 1), target, value);
            }
            ++read;
            // A maximum of 0 or below reads every line.
            if (MaxRows > 0 && read >= MaxRows) break;
            if (target + 1 >= RowCount() && i + 1 < lines.size()) SetRowCount(target + 2);
            ++target;
        }
    }
    CellsChanged(TRect(0, 0, ColCount() - 1, RowCount() - 1));
    RecalcFooters();
}
