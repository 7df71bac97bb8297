#pragma once
// A table dialog's column grid bound to the rows it shows: the grid's layout, the texts moved
// between the grid and a TRow_Table, and the row buttons, which run the row operations of
// RowTable.h on that table and show the result.
#include "editors/comm/RowTable.h"
#include "grid/core/CellProperties.h"
#include "platform/base/Types.h"

#include <string>
#include <vector>

class TQorColumnGrid;

// The boxes of the row operations and checks: errors with OK, questions with Yes and No.
TRow_Prompts Dialog_Prompts();
// Shows Message in an error box unless it is empty; true when it is empty.
bool Show_Check_Result(const std::string& Message);

class TTable_Grid {
public:
    // Grid gets Table's rows below its header row and one column per data column after the
    // fixed column 0 of row numbers.
    TTable_Grid(TQorColumnGrid* Grid, TRow_Table Table);

    TQorColumnGrid* Grid() const { return grid_; }
    // Lays out data column Col (1..): width, editor and the choices of a combo column.
    void Set_Column(int Col, int Width, TEditorType Editor,
                    const std::vector<std::string>& Items = {});
    void Set_Header(int Col, const std::string& Text);

    // The working copy of the rows. Read fills it from the grid's cells (hidden columns
    // included); Show writes it into the grid with the row numbers in column 0.
    TRow_Table& Table() { return table_; }
    const TRow_Table& Read();
    void Show();

    // The row buttons, on the grid's current row. Delete asks Question_Entry followed by the
    // row number first; Copy is false when there is no current row to copy.
    void Insert_Row();
    void Delete_Row(int Question_Entry);
    bool Copy_Row();
    void Paste_Row(bool Copied);

private:
    int currentRow() const;
    TQorColumnGrid* grid_;
    TRow_Table table_;
};
