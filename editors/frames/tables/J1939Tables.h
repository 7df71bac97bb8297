#pragma once
// The J1939 receive and transmit frame tables without a window: their columns, the load of
// their project files, the check made on OK and the save that the image compiler reads.
// TFReceiveJ1939 and TFTransmitJ1939 bind these to their grids once the grid editors exist.
#include "editors/frames/tables/NmeaTables.h"

#include <string>
#include <vector>

constexpr int J1939_Table_Rows = 62;
// Data bytes of all rows of one direction together (and of one transmit row).
constexpr int J1939_Max_Data_Bytes = 512;

// Columns 1..10 of both tables (no header hints); column 0 is the row number, 40 pixels wide,
// headed by entry 671 (receive) or 698 (transmit). The Data Page columns are combo lists of
// J1939_Data_Page_Items.
extern const std::vector<TTable_Column> J1939_Rec_Columns;
extern const std::vector<TTable_Column> J1939_Send_Columns;
extern const std::vector<std::string> J1939_Data_Page_Items;

TRow_Table New_J1939_Table(const std::vector<TTable_Column>& columns);

// Empty the table and read the file at path into it. False when the file does not exist; a
// file that cannot be read or is not well-formed raises the platform's error, the table
// staying empty. The transmit load takes the sending mode of older files from T_Type.
bool Load_J1939_Rec(TRow_Table& table, const std::string& path);
bool Load_J1939_Send(TRow_Table& table, const std::string& path);

// The check made on OK: empty when the table is valid, else the message of the first error.
std::string Check_J1939_Rec(const TRow_Table& table);
std::string Check_J1939_Send(const TRow_Table& table);

// Write the rows up to the first empty PGN to path (both files have the root "Receive_J1939").
void Save_J1939_Rec(const TRow_Table& table, const std::string& path);
void Save_J1939_Send(const TRow_Table& table, const std::string& path);
