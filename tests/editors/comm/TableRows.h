#pragma once
// The rows of a TRow_Table as the texts of its data columns 1.., for the table tests.
#include "editors/comm/RowTable.h"

#include <string>
#include <vector>

using Row = std::vector<std::string>;

// table with rows written over its rows 1.. from column 1 on.
inline TRow_Table filled(TRow_Table table, const std::vector<Row>& rows) {
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            table.Cell(int(c) + 1, int(r) + 1) = rows[r][c];
    return table;
}

inline Row rowOf(const TRow_Table& table, int row) {
    Row cells;
    for (int c = 1; c <= table.Col_Count(); ++c) cells.push_back(table.Cell(c, row));
    return cells;
}

// row with the text of data column col (1..) replaced.
inline Row with(Row row, int col, const std::string& text) {
    row[std::size_t(col - 1)] = text;
    return row;
}

// The file attribute of each column, in column order.
template <class Column> std::vector<std::string> attributes(const std::vector<Column>& columns) {
    std::vector<std::string> names;
    for (const Column& c : columns) names.push_back(c.Attribute);
    return names;
}
