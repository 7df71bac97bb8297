#pragma once
// The CANopen SDO server, SDO client and PDO tables without a window: the columns of their two
// grids, the load of their project files, the check made on OK and the save that the image
// compiler reads. TCANopen_Table_Form shows them.
#include "editors/frames/tables/NmeaTables.h"

#include <string>
#include <vector>

class TXmlNode;

// One of the two tables of a file: its section element, the UI_Texts entry of its tab sheet
// (which names the table in messages) and its data columns 1.. (column 0 is the row number).
// Every attribute is required: the columns have no default.
struct TCANopen_Section {
    const char* Name;
    int Title_Entry;
    std::vector<TTable_Column> Columns;
};

// One file and its two tables: the first ("SDO_Read", "Receive_PDO") is shown in grid sga, the
// second in sgb. Column 1 is the key; a table ends at the first row whose key cell, trimmed, is
// empty. Addresses run from 0 to Limit - 1. Check_Row gives the rule's text of the first
// failing test of a row of section 0 or 1, or an empty text.
struct TCANopen_Layout {
    const char* Root;
    int Rows;
    int Limit;
    int Error_Prefix;
    TCANopen_Section Sections[2];
    std::string (*Check_Row)(const TRow_Table& table, int section, int row, int limit);
};

extern const TCANopen_Layout SDO_Server_Layout;
extern const TCANopen_Layout SDO_Client_Layout;
extern const TCANopen_Layout PDO_Layout;

struct TCANopen_Tables {
    TRow_Table First;
    TRow_Table Second;
    TRow_Table& operator[](int section) { return section == 0 ? First : Second; }
    const TRow_Table& operator[](int section) const { return section == 0 ? First : Second; }
};
TCANopen_Tables New_CANopen_Tables(const TCANopen_Layout& layout);

// Empties both tables and reads the file at path into them, section by section. False when the
// file does not exist. A file that is not well-formed, a missing section or a row without one
// of its attributes raises an error naming the file; the rows read before it stay. A section
// with more rows than its table raises once both are read (TRow_Load).
bool Load_CANopen_Tables(TCANopen_Tables& tables, const TCANopen_Layout& layout,
                         const std::string& path);

// The check made on OK, first table first, the first table's addresses bounded by limit_first
// and the second's by limit_second: empty when both are valid, else the first error's message.
// An empty key cell followed by filled rows is refused.
std::string Check_CANopen_Tables(const TCANopen_Tables& tables, const TCANopen_Layout& layout,
                                 int limit_first, int limit_second);

// Writes both tables, each up to the end that the check stops at, to path.
void Save_CANopen_Tables(const TCANopen_Tables& tables, const TCANopen_Layout& layout,
                         const std::string& path);

// Shared with the DeviceNet tables.

// The version comment of the files that product_type alone opens.
std::string Version_Comment(int product_type);
