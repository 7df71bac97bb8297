// The grid's layout kept outside itself: column widths and order in the ColumnSize store, the
// column states string and the print settings section.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridRecords.h"
#include "grid/core/base/GridSupport.h"
#include "grid/data/DataSettings.h"
#include "platform/files/IniFiles.h"
#include "platform/ui/core/Registry.h"

#include <optional>
#include <vector>

namespace {
// The ColumnSize store: an INI file written back whole, or a registry key per section.
class ColumnSizeStore {
public:
    explicit ColumnSizeStore(const TColumnSize& cs) : section_(cs.Section()) {
        if (cs.Location() == clIniFile)
            ini_.emplace(cs.Key());
        else
            path_ = cs.Key() + "\\" + cs.Section();
    }
    bool exists(const std::string& name) {
        if (ini_) return ini_->ValueExists(section_, name);
        return openForReading() && reg_.ValueExists(name);
    }
    int read(const std::string& name, int def) {
        if (ini_) return ini_->ReadInteger(section_, name, def);
        if (!openForReading() || !reg_.ValueExists(name)) return def;
        try {
            return reg_.ReadInteger(name);
        } catch (const ERegistryException&) {
            return def; // a value that is no number reads as missing, as in the INI file
        }
    }
    void write(const std::string& name, int value) {
        if (ini_) {
            ini_->WriteInteger(section_, name, value);
            return;
        }
        if (!writable_) writable_ = reg_.OpenKey(path_, true);
        reg_.WriteInteger(name, value);
    }
    void flush() {
        if (ini_) ini_->UpdateFile();
    }

private:
    bool openForReading() {
        if (!readable_) readable_ = reg_.OpenKeyReadOnly(path_) ? 1 : 0;
        return *readable_ == 1;
    }
    std::string section_;
    std::optional<TIniFile> ini_;
    TRegistry reg_;
    std::string path_;
    std::optional<int> readable_;
    bool writable_ = false;
};

bool storeUsable(TQorStringGrid& g) {
    return !g.Designing() && !g.ColumnSize()->Key().empty() && !g.ColumnSize()->Section().empty();
}

std::vector<std::string> splitOn(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (std::size_t p; (p = s.find(sep, from)) != std::string::npos; from = p + 1)
        out.push_back(s.substr(from, p - from));
    out.push_back(s.substr(from));
    return out;
}

// The integers of a comma list; raises EConvertError at an item that is no number.
std::vector<int> intList(const std::string& s) {
    std::vector<int> out;
    if (s.empty()) return out;
    for (const std::string& item : splitOn(s, ',')) out.push_back(StrToInt(item));
    return out;
}

[[noreturn]] void badStates(const std::string& why) {
    throw EConvertError("Invalid column states: " + why);
}

TFontStyles stylesOfBits(int bits) {
    TFontStyles st;
    for (TFontStyle f : {fsBold, fsItalic, fsUnderline, fsStrikeOut})
        if (bits & (1 << int(f))) st.Include(f);
    return st;
}
} // namespace

// Arrangement O (O[p] = initial index of the column at display position p) from the initial
// arrangement: with the inverse of O as the order list, moving the columns back to that
// order's start yields O.
static void arrangeColumns(TQorStringGrid& g, const std::vector<int>& O) {
    std::vector<int> inverse;
    for (int p = 0; p < int(O.size()); ++p)
        for (int i = 0; i < int(O.size()); ++i)
            if (O[std::size_t(i)] == p) inverse.push_back(i);
    g.ColumnOrder()->Clear();
    for (int v : inverse) g.ColumnOrder()->Add(v);
    g.ResetColumnOrder();
    g.ColumnOrder()->Clear();
    for (int v : O) g.ColumnOrder()->Add(v);
}

void TQorStringGrid::SaveColSizes() {
    if (!storeUsable(*this)) return;
    ColumnSizeStore store(*FColumnSize);
    for (int c = 0; c < ColCount(); ++c) store.write("Col" + std::to_string(c), ColWidths(c));
    store.flush();
}

void TQorStringGrid::LoadColSizes() {
    if (!storeUsable(*this)) return;
    ColumnSizeStore store(*FColumnSize);
    for (int c = 0; c < ColCount(); ++c) {
        const int w = store.read("Col" + std::to_string(c), ColWidths(c));
        if (w != ColWidths(c)) SetColWidths(c, w);
    }
}

void TQorStringGrid::SaveColPositions() {
    if (!storeUsable(*this)) return;
    ColumnSizeStore store(*FColumnSize);
    for (int p = 0; p < FColumnOrder->Count(); ++p)
        store.write("Pos" + std::to_string(p), FColumnOrder->GetInteger(p));
    store.flush();
}

void TQorStringGrid::LoadColPositions() {
    if (!storeUsable(*this)) return;
    ColumnSizeStore store(*FColumnSize);
    if (store.read("Pos0", -1) == -1) return;
    const int total = TotalColCount();
    std::vector<int> O;
    std::vector<bool> seen(std::size_t(total), false);
    for (int p = 0; p < total; ++p) {
        const int v = store.read("Pos" + std::to_string(p), -1);
        if (v == -1) continue;
        // Only a permutation of the columns is an arrangement; anything else stays unread.
        if (v < 0 || v >= total || seen[std::size_t(v)]) return;
        seen[std::size_t(v)] = true;
        O.push_back(v);
    }
    if (int(O.size()) != total) return;
    // The hidden columns stay hidden where they end up: remembered by their initial index.
    std::vector<int> hidden;
    for (int c = 0; c < total; ++c)
        if (IsHiddenColumn(c))
            hidden.push_back(c < FColumnOrder->Count() ? FColumnOrder->GetInteger(c) : c);
    arrangeColumns(*this, O);
    for (int initial : hidden)
        for (int c = 0; c < total; ++c)
            if (O[std::size_t(c)] == initial) HideColumn(c);
}

std::string TQorStringGrid::ColumnStatesToString() {
    const int n = ColCount() + NumHiddenColumns();
    std::string widths, order, flags;
    for (int p = 0; p < n; ++p) {
        const char* sep = p ? "," : "";
        widths += sep + std::to_string(p < ColCount() ? ColWidths(p) : DefaultColWidth());
        order += sep + std::to_string(p < FColumnOrder->Count() ? FColumnOrder->GetInteger(p) : p);
        flags += std::string(sep) + (IsHiddenColumn(p) ? "0" : "1");
    }
    return std::to_string(n) + "#" + widths + "#" + order + "#" + flags;
}

void TQorStringGrid::StringToColumnStates(const std::string& Value) {
    if (Value.find('#') == std::string::npos) return;
    // Everything is checked before anything changes.
    const std::vector<std::string> fields = splitOn(Value, '#');
    if (fields.size() != 4) badStates("four fields expected");
    const int n = StrToInt(fields[0]);
    if (n < 1 || n > MaxHiddenMapColumns) badStates("column count out of range");
    const std::vector<int> widths = intList(fields[1]);
    std::vector<int> O;
    for (int v : intList(fields[2]))
        if (v != -1 && int(O.size()) < n) O.push_back(v);
    const std::vector<int> flags = intList(fields[3]);
    if (int(widths.size()) < n || int(flags.size()) < n ||
        (!fields[2].empty() && int(O.size()) < n))
        badStates("a list is shorter than the column count");
    std::vector<bool> seen(std::size_t(n), false);
    for (int v : O) {
        if (v < 0 || v >= n || seen[std::size_t(v)]) badStates("the order is no permutation");
        seen[std::size_t(v)] = true;
    }
    for (int p = 0; p < n; ++p)
        if (widths[std::size_t(p)] < 0) badStates("negative width");
    int visible = 0;
    for (int p = 0; p < n; ++p) visible += flags[std::size_t(p)] != 0;
    if (visible == 0) badStates("no visible column");

    FColumnOrder->Clear();
    UnHideColumnsAll();
    SetColCount(n);
    if (!O.empty()) arrangeColumns(*this, O);
    for (int c = n - 1; c >= 0; --c)
        if (flags[std::size_t(c)] == 0) HideColumn(c);
    const bool stretch = FColumnSize->Stretch();
    FColumnSize->SetStretch(false);
    if (stretch) {
        const int sc =
            FColumnSize->StretchColumn() == -1 ? ColCount() - 1 : FColumnSize->StretchColumn();
        if (sc >= 0 && sc < ColCount()) SetDefaultColWidth(ColWidths(sc));
    }
    for (int c = 0; c < ColCount(); ++c) SetColWidths(c, widths[std::size_t(c)]);
    FColumnSize->SetStretch(stretch);
}

void TQorStringGrid::SavePrintSettings(const std::string& Key, const std::string& Section) {
    const TPrintSettings& ps = *FPrintSettings;
    TIniFile ini(Key);
    auto yn = [&](const char* id, bool v) { ini.WriteString(Section, id, v ? "Y" : "N"); };
    auto num = [&](const char* id, int v) { ini.WriteInteger(Section, id, v); };
    auto text = [&](const char* id, const std::string& v) { ini.WriteString(Section, id, v); };
    auto font = [&](const std::string& prefix, const TFont* f) {
        ini.WriteString(Section, prefix + "Name", f->Name());
        ini.WriteInteger(Section, prefix + "Size", f->Size());
        ini.WriteInteger(Section, prefix + "Style", int(f->Style().Bits()));
        ini.WriteInteger(Section, prefix + "Color", int(f->Color()));
    };
    num("ColumnSpacing", ps.ColumnSpacing());
    num("RowSpacing", ps.RowSpacing());
    num("TitleSpacing", ps.TitleSpacing());
    num("FixedHeight", ps.FixedHeight());
    num("FixedWidth", ps.FixedWidth());
    yn("Centered", ps.Centered());
    yn("NoAutoSize", ps.NoAutoSize());
    yn("UseFixedHeight", ps.UseFixedHeight());
    yn("UseFixedWidth", ps.UseFixedWidth());
    yn("RepeatFixedRows", ps.RepeatFixedRows());
    yn("RepeatFixedCols", ps.RepeatFixedCols());
    yn("UseDisplFont", ps.UseDisplayFont());
    yn("UseDefOrientation", ps.UseDefaultOrientation());
    num("Borders", ps.Borders());
    num("BorderColor", int(ps.BorderColor()));
    num("BorderStyle", ps.BorderStyle());
    num("Date", ps.Date());
    num("PageNr", ps.PageNr());
    num("Title", ps.Title());
    num("Time", ps.Time());
    text("DateFormat", ps.DateFormat());
    text("TitleText", ps.TitleText());
    num("FooterSize", ps.FooterSize());
    num("HeaderSize", ps.HeaderSize());
    num("LeftSize", ps.LeftSize());
    num("RightSize", ps.RightSize());
    num("FitToPage", ps.FitToPage());
    font("Font", ps.Font());
    font("HeaderFont", ps.HeaderFont());
    font("FooterFont", ps.FooterFont());
    text("PageNumSep", ps.PageNumSep());
    text("PageSuffix", ps.PageSuffix());
    text("PagePrefix", ps.PagePrefix());
    num("Orientation", ps.Orientation());
    // Each line ends in a line break, kept as backslash and "n"; a line feed alone is dropped.
    std::string lines;
    for (int i = 0; i < ps.TitleLines()->Count(); ++i) {
        for (char ch : ps.TitleLines()->Strings(i))
            if (ch == '\r')
                lines += "\\n";
            else if (ch != '\n')
                lines += ch;
        lines += "\\n";
    }
    text("TitleLines", lines);
    yn("PrintGraphics", ps.PrintGraphics());
    ini.UpdateFile();
}

void TQorStringGrid::LoadPrintSettings(const std::string& Key, const std::string& Section) {
    TPrintSettings& ps = *FPrintSettings;
    TIniFile ini(Key);
    auto yn = [&](const char* id, const char* def) {
        return ini.ReadString(Section, id, def) == "Y";
    };
    auto num = [&](const char* id, int def) { return ini.ReadInteger(Section, id, def); };
    auto text = [&](const char* id) { return ini.ReadString(Section, id, ""); };
    auto position = [&](const char* id) {
        const int v = num(id, 0);
        return v >= ppTopLeft && v <= ppBottomCenter ? TPrintPosition(v) : ppNone;
    };
    // The stored style replaces the font's style, so that a load restores what was saved.
    auto font = [&](const std::string& prefix, TFont* f) {
        f->SetName(ini.ReadString(Section, prefix + "Name", "Arial"));
        f->SetSize(ini.ReadInteger(Section, prefix + "Size", 10));
        f->SetStyle(stylesOfBits(ini.ReadInteger(Section, prefix + "Style", 0)));
        f->SetColor(TColor(ini.ReadInteger(Section, prefix + "Color", 0)));
    };
    ps.SetColumnSpacing(num("ColumnSpacing", 20));
    ps.SetRowSpacing(num("RowSpacing", 20));
    ps.SetTitleSpacing(num("TitleSpacing", 20));
    ps.SetFixedHeight(num("FixedHeight", 0));
    ps.SetFixedWidth(num("FixedWidth", 0));
    ps.SetCentered(yn("Centered", "Y"));
    ps.SetNoAutoSize(yn("NoAutoSize", "N"));
    ps.SetUseFixedHeight(yn("UseFixedHeight", "N"));
    ps.SetUseFixedWidth(yn("UseFixedWidth", "N"));
    ps.SetRepeatFixedRows(yn("RepeatFixedRows", "N"));
    ps.SetRepeatFixedCols(yn("RepeatFixedCols", "N"));
    ps.SetUseDisplayFont(yn("UseDisplFont", "N"));
    ps.SetUseDefaultOrientation(yn("UseDefOrientation", "N"));
    if (int v = num("Borders", 0); v >= pbNoborder && v <= pbCustom)
        ps.SetBorders(TPrintBorders(v));
    ps.SetBorderColor(TColor(num("BorderColor", 0)));
    if (int v = num("BorderStyle", 0); v >= psSolid && v <= psInsideFrame)
        ps.SetBorderStyle(TPenStyle(v));
    ps.SetDate(position("Date"));
    ps.SetPageNr(position("PageNr"));
    ps.SetTitle(position("Title"));
    ps.SetTime(position("Time"));
    ps.SetDateFormat(text("DateFormat"));
    ps.SetTitleText(text("TitleText"));
    ps.SetFooterSize(num("FooterSize", 100));
    ps.SetHeaderSize(num("HeaderSize", 100));
    ps.SetLeftSize(num("LeftSize", 100));
    ps.SetRightSize(num("RightSize", 100));
    if (int v = num("FitToPage", 0); v >= fpNever && v <= fpCustom) ps.SetFitToPage(TFitToPage(v));
    font("Font", ps.Font());
    font("HeaderFont", ps.HeaderFont());
    font("FooterFont", ps.FooterFont());
    ps.SetPageNumSep(text("PageNumSep"));
    ps.SetPageSuffix(text("PageSuffix"));
    ps.SetPagePrefix(text("PagePrefix"));
    if (int v = num("Orientation", 0); v == poPortrait || v == poLandscape)
        ps.SetOrientation(TPrinterOrientation(v));
    std::string lines = text("TitleLines");
    for (std::size_t p; (p = lines.find("\\n")) != std::string::npos;) lines.replace(p, 2, "\n");
    ps.TitleLines()->SetText(lines);
    ps.SetPrintGraphics(yn("PrintGraphics", "N"));
    ini.UpdateFile();
}
