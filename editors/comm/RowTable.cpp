#include "editors/comm/RowTable.h"

#include "platform/base/SysUtils.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/ProgramState.h"
#include "shell/state/ProjectInt.h"
#include "shell/state/UITexts.h"

TRow_Table::TRow_Table(int rows, std::vector<bool> check_box, int enable_column)
    : rows_(rows), check_box_(std::move(check_box)), enable_column_(enable_column),
      cells_(std::size_t(rows) * check_box_.size()) {
    Reset();
}

std::string& TRow_Table::Cell(int col, int row) {
    return cells_.at(std::size_t(row - 1) * check_box_.size() + std::size_t(col - 1));
}

const std::string& TRow_Table::Cell(int col, int row) const {
    return cells_.at(std::size_t(row - 1) * check_box_.size() + std::size_t(col - 1));
}

void TRow_Table::Reset() {
    for (int r = 1; r <= rows_; ++r) Clear_Row(r);
}

void TRow_Table::Clear_Row(int row) {
    for (int c = 1; c <= Col_Count(); ++c) Cell(c, row).clear();
    if (enable_column_ > 0) Cell(enable_column_, row) = "Y";
}

bool TRow_Table::Row_Used(int row) const {
    for (int c = 1; c <= Col_Count(); ++c)
        if (!Is_Check_Box(c) && !Trim(Cell(c, row)).empty()) return true;
    return false;
}

namespace {

void copyRow(TRow_Table& table, int from, int to) {
    for (int c = 1; c <= table.Col_Count(); ++c) table.Cell(c, to) = table.Cell(c, from);
}

bool keyEmpty(const TRow_Table& table, int key_col, int row, bool trim) {
    const std::string& text = table.Cell(key_col, row);
    return trim ? Trim(text).empty() : text.empty();
}

} // namespace

bool Insert_Grid_Row(TRow_Table& table, int row, const TRow_Prompts& prompts) {
    const int last = table.Row_Count();
    if (table.Row_Used(last)) {
        prompts.Error(UI_Texts[1744]);
        return false;
    }
    for (int i = last - 1; i >= row; --i) copyRow(table, i, i + 1);
    table.Clear_Row(row);
    return true;
}

void Delete_Grid_Row(TRow_Table& table, int row) {
    const int last = table.Row_Count();
    for (int i = row; i < last; ++i) copyRow(table, i + 1, i);
    for (int c = 1; c <= table.Col_Count(); ++c) table.Cell(c, last).clear();
}

void Copy_Grid_Row(const TRow_Table& table, int row) {
    Row_Clipboard.Clear();
    for (int c = 1; c <= table.Col_Count(); ++c) Row_Clipboard.Add(table.Cell(c, row));
}

bool Paste_Grid_Row(TRow_Table& table, int row, bool copied, const TRow_Prompts& prompts) {
    if (!copied) {
        prompts.Error(UI_Texts[348]);
        return false;
    }
    if (Row_Clipboard.Count() != table.Col_Count()) {
        prompts.Error(UI_Texts[347]);
        return false;
    }
    if (table.Row_Used(row) && !prompts.Ask(UI_Texts[346])) return false;
    for (int c = 1; c <= table.Col_Count(); ++c) table.Cell(c, row) = Row_Clipboard[c - 1];
    return true;
}

int Table_Length(const TRow_Table& table, int key_col, bool trim) {
    int r = 1;
    while (r <= table.Row_Count() && !keyEmpty(table, key_col, r, trim)) ++r;
    return r - 1;
}

int Row_Lost_After_End(const TRow_Table& table, int key_col, bool trim) {
    const int end = Table_Length(table, key_col, trim) + 1;
    for (int r = end; r <= table.Row_Count(); ++r)
        if (table.Row_Used(r)) return end;
    return 0;
}

int Cell_Number(const TRow_Table& table, int col, int row) {
    return ImageIntDef(table.Cell(col, row), -1);
}

bool In_Range(int value, int low, int high) {
    return value >= low && value <= high;
}

std::string Row_Attribute(const TXmlNode& node, const char* name, const char* def,
                          const std::string& path, const std::string& what, int row) {
    const TXmlValue value = node.GetAttribute(name);
    if (!value.IsNull()) return value.AsString();
    if (def) return def;
    throw Exception(path + ": " + (what.empty() ? "" : what + " ") + "row " + IntToStr(row) +
                    " has no attribute " + name);
}

void TRow_Load::Fill(TRow_Table& table, const std::vector<TXmlNode>& rows,
                     const std::function<void(const TXmlNode&, int)>& fill,
                     const std::string& what) {
    const int count = int(rows.size());
    for (int row = 1; row <= count && row <= table.Row_Count(); ++row)
        fill(rows[std::size_t(row - 1)], row);
    if (count <= table.Row_Count()) return;
    left_out_ += (left_out_.empty() ? "" : "; ") + std::string("the table shows ") +
                 IntToStr(table.Row_Count()) + " of the " + IntToStr(count) + " rows" +
                 (what.empty() ? std::string() : " of " + what);
}

void TRow_Load::Finish() const {
    if (!left_out_.empty()) throw Exception(path_ + ": " + left_out_);
}
