#pragma once
// The NMEA 2000 receive and transmit frame tables without a window: their columns, the load
// of their project files, the check made on OK and the save that the image compiler reads.
// TFReceiveNMEA and TFTransmitNMEA show them in their grids.
#include "editors/comm/RowTable.h"
#include "grid/core/base/CellProperties.h"
#include "platform/base/Types.h"

#include <functional>
#include <string>
#include <vector>

class TXmlNode;

constexpr int NMEA_Table_Rows = 62;
// Data bytes of all rows of one direction together (and of one transmit row).
constexpr int NMEA_Max_Data_Bytes = 512;

// One data column of a table: its header and hint (UI_Texts entries), width in pixels,
// editor, the row attribute of the file, the text a missing attribute gives and the colour of
// its cells.
struct TTable_Column {
    int Header_Entry;
    int Width;
    TEditorType Editor;
    const char* Attribute;
    int Hint_Entry;
    const char* Default;
    TColor Color;
};

// Columns 1..8 of the receive table and 1..10 of the transmit table; column 0 is the row
// number, 40 pixels wide, headed by entry 1614 (receive) or 1714 (transmit).
extern const std::vector<TTable_Column> NMEA_Rec_Columns;
extern const std::vector<TTable_Column> NMEA_Send_Columns;

TRow_Table New_NMEA_Table(const std::vector<TTable_Column>& columns);

// Empties the table and reads the file at path into it, each attribute on its own with its
// column's default. False when the file does not exist. A file that cannot be read or is not
// well-formed raises the platform's error, the table staying empty; one with more rows than the
// table raises (TRow_Load) once the rows that fit are read.
bool Load_NMEA_Table(TRow_Table& table, const std::vector<TTable_Column>& columns,
                     const std::string& path);

// The check made on OK: empty when the table is valid, else the message of the first error.
std::string Check_NMEA_Rec(const TRow_Table& table);
std::string Check_NMEA_Send(const TRow_Table& table);

// Writes the rows up to the first empty PGN to path (both files have the root
// "Receive_NMEA_2000").
void Save_NMEA_Table(const TRow_Table& table, const std::vector<TTable_Column>& columns,
                     const std::string& path);

// Shared by the frame tables of the other product types.

// Empties the table and reads the file at path: fill(node, row) fills table row row from the
// row-th element under the file's root. False when the file does not exist; a file that cannot
// be read or is not well-formed raises the platform's error, the table staying empty; one with
// more rows than the table raises (TRow_Load) once the rows that fit are read.
bool Load_Frame_Table(TRow_Table& table, const std::string& path,
                      const std::function<void(const TXmlNode&, int)>& fill);
// Fills row from node, each column's attribute on its own with the column's default.
void Fill_Frame_Row(TRow_Table& table, const std::vector<TTable_Column>& columns,
                    const TXmlNode& node, int row);
// Fills row from node, every column's attribute required: a missing one stops the row there
// (the cells before it keep what was read) with an error that names path, what (the table) and
// the row.
void Fill_Required_Row(TRow_Table& table, const std::vector<TTable_Column>& columns,
                       const TXmlNode& node, int row, const std::string& path,
                       const std::string& what);
// Writes the root element, the version comment behind it (none when version is empty) and one
// "row" element per table row up to the first empty key_col cell (after trimming blanks when
// trim), every column's cell text unchanged.
void Save_Frame_Table(const TRow_Table& table, const std::vector<TTable_Column>& columns,
                      int key_col, const std::string& root, const std::string& version,
                      const std::string& path, bool trim = false);
// Adds under parent one "row" element per table row up to the first empty key_col cell (after
// trimming blanks when trim), every column's cell text unchanged.
void Add_Frame_Rows(TXmlNode& parent, const TRow_Table& table,
                    const std::vector<TTable_Column>& columns, int key_col, bool trim);
// "prefix" entry, the row number and text.
std::string Frame_Row_Error(int prefix, int row, const std::string& text);
// The message naming the first row below the end of the table (the first empty key_col cell,
// after trimming blanks when trim) whose texts the file would lose; empty when there is none.
std::string Frame_Rows_Lost(const TRow_Table& table, int key_col, int prefix, int header,
                            bool trim = false);
