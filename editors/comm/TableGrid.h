#pragma once
// A table dialog's column grid bound to the rows it shows: the grid's layout, the texts moved
// between the grid and a TRow_Table, and the row buttons, which run the row operations of
// RowTable.h on that table and show the result.
#include "editors/comm/RowTable.h"
#include "grid/core/base/CellProperties.h"
#include "platform/base/Types.h"
#include "shell/frame/DialogFrame.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class TQorColumnGrid;

// The boxes of the row operations and checks: errors with OK, questions with Yes and No.
TRow_Prompts Dialog_Prompts();
// Shows Message in an error box unless it is empty; true when it is empty.
bool Show_Check_Result(const std::string& Message);

// A table dialog's caption, subtitle and then the captions of Buttons, from the UI_Texts
// entries First, First + 1, ... in this order.
void Set_Dialog_Texts(TFramed_Dialog* Dialog, int First,
                      std::initializer_list<TFrame_Button*> Buttons);

// What a dialog read of its project files when it was shown. A file not read to its end is
// replaced on OK only after the user agrees, since saving would drop what was not read.
class TTable_File_Load {
public:
    // A new showing: nothing has failed yet.
    void Start() { errors_.clear(); }
    // Runs Load; an Exception it raises means the file was read in part, and its message is
    // kept for Report.
    void Read(const std::function<void()>& Load);
    // Keeps Error, unless it is empty, as such a failure.
    void Failed(const std::string& Error);
    // Shows the failures kept, in the order they happened, in the standard error box.
    void Report() const;
    // True when every file was read whole, or when the user answers Yes to replacing it.
    bool May_Replace() const;

private:
    std::vector<std::string> errors_;
};

// Ends the edit open in Grid, if any, keeping the text typed or the item chosen so far.
void Commit_Cell_Edit(TQorColumnGrid* Grid);
// Ends the edit open in Grid, if any, giving the cell back the text it had before the edit.
void Discard_Cell_Edit(TQorColumnGrid* Grid);

// The font of the tables' grids, headers included, in place of the form's Verdana, which would
// cut the headers: the grid's own narrow 8 point face (Tahoma), here the installed face of its
// metrics (Arial's), so that every header fits its column as the tables were laid out for.
// Sets the columns' fonts too: a dialog sets its own styles (bold headers) afterwards.
void Set_Table_Grid_Font(TQorColumnGrid* Grid);
// A double click on header cell ACol of Grid (ARow 0) fits that column to its content, while
// the program-wide Grid_Auto_Size_Enabled is set.
void Grid_Auto_Size_Col(TQorColumnGrid* Grid, int ARow, int ACol);
// While the program-wide Grid_Enter_Next_Enabled is set, Enter (Key) moves Grid to the next
// column, after the last column to column 1 of the next row and after the last row to row 1,
// and is swallowed (Key becomes 0).
void Grid_Enter_Next_Cell(TQorColumnGrid* Grid, WORD& Key);

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
    // A click on a row number selects that row.
    void Select_By_Row_Number();
    // Each showing of the dialog starts here: no edit open (one left open when the dialog
    // closed is dropped), the columns as wide as laid out, the first row and column in view and
    // the first cell current.
    void Start_Showing();

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
    // The width of each column (real index) as laid out, taken at the first showing.
    std::vector<int> widths_;
};
