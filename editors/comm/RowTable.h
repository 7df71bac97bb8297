#pragma once
// The rows of a table editor as cell texts, without a window, and the row operations of the
// editors' Insert, Delete, Copy and Paste Row buttons over the program's Row_Clipboard.
// The dialogs bind a TRow_Table to their grid once the grid editors exist.
#include <functional>
#include <string>
#include <utility>
#include <vector>

class TXmlNode;

// Rows 1..Row_Count() and data columns 1..Col_Count(); column 0 (the row number) is the
// grid's and is not stored.
class TRow_Table {
public:
    // check_box[c - 1] tells whether data column c is a check-box column; enable_column is the
    // data column of the Enable check box, 0 when the table has none.
    TRow_Table(int rows, std::vector<bool> check_box, int enable_column = 0);

    int Row_Count() const { return rows_; }
    int Col_Count() const { return int(check_box_.size()); }
    bool Is_Check_Box(int col) const { return check_box_[std::size_t(col - 1)]; }
    int Enable_Column() const { return enable_column_; }

    std::string& Cell(int col, int row);
    const std::string& Cell(int col, int row) const;
    // Empties every row; the Enable column, where there is one, holds "Y".
    void Reset();
    // Empties one row (Enable "Y" where the table has one).
    void Clear_Row(int row);
    // True when a cell of row outside the check-box columns holds more than blanks.
    bool Row_Used(int row) const;

private:
    int rows_;
    std::vector<bool> check_box_;
    int enable_column_;
    std::vector<std::string> cells_;
};

// The boxes a row operation shows: an error with an OK button, a Yes/No question.
struct TRow_Prompts {
    std::function<void(const std::string&)> Error;
    std::function<bool(const std::string&)> Ask;
};

// Moves rows row..last-1 one row down and empties row. Refused with an error when the last
// row is used, whose texts would be lost; true when the row was inserted.
bool Insert_Grid_Row(TRow_Table& table, int row, const TRow_Prompts& prompts);
// Moves the rows below row up by one and empties the last row.
void Delete_Grid_Row(TRow_Table& table, int row);
// Puts the texts of the row's data columns into Row_Clipboard.
void Copy_Grid_Row(const TRow_Table& table, int row);
// Writes Row_Clipboard into row after the checks: a row must have been copied (copied) in
// this showing, the clipboard must fit the table's columns and a used row is overwritten only
// after a Yes. True when the row was written.
bool Paste_Grid_Row(TRow_Table& table, int row, bool copied, const TRow_Prompts& prompts);

// A cell read as an integer by the project rule for the checks made on OK: -1 when its text
// is none, so that an empty or wrong cell fails every range from 0 up.
int Cell_Number(const TRow_Table& table, int col, int row);
bool In_Range(int value, int low, int high);

// The first row whose key cell is empty (exactly, or after trimming blanks when trim) ends
// the table. Returns that row's number when it or a row below it is used, whose texts the
// end of the table would drop; 0 otherwise.
int Row_Lost_After_End(const TRow_Table& table, int key_col, bool trim);
// The number of rows before the end of the table.
int Table_Length(const TRow_Table& table, int key_col, bool trim);

// Reads the row elements of a file into tables. Rows past a table's last row are left out:
// Finish then raises, naming the file and the rows, once the load has read the rest, so that
// the dialog reports a file read in part and asks before OK replaces it.
class TRow_Load {
public:
    explicit TRow_Load(std::string path) : path_(std::move(path)) {}
    // Fills rows 1.. of table from rows in order, fill(node, row) each, up to the table's last
    // row; what names the table in the message (the file alone when empty).
    void Fill(TRow_Table& table, const std::vector<TXmlNode>& rows,
              const std::function<void(const TXmlNode&, int)>& fill, const std::string& what = "");
    // Raises an Exception when a table left rows out.
    void Finish() const;

private:
    std::string path_;
    std::string left_out_;
};

// The text of attribute name of the row element node that a table's load reads into row row:
// def when the attribute is missing, or, when def is nullptr, an Exception naming path, the
// table what (none when empty), the row and the attribute. Loads write each cell as soon as it
// is read, so a row whose load stops at a missing attribute keeps the cells read before it.
std::string Row_Attribute(const TXmlNode& node, const char* name, const char* def,
                          const std::string& path, const std::string& what, int row);
