#pragma once
// The CAN receive and transmit frame tables without a window: their columns, the load of
// their project files, the check made on OK and the save that the image compiler reads.
// TFReceiveCAN and TFTransmitCAN bind these to their grids once the grid editors exist.
#include "editors/frames/tables/NmeaTables.h"

#include <string>
#include <vector>

constexpr int CAN_Table_Rows = 512;
// Byte-image positions 0 .. CAN_Max_Byte - 1.
constexpr int CAN_Max_Byte = 1439;

// Columns 1..14 of the receive table and 1..17 of the transmit table, each with its header
// hint; column 0 is the row number, 40 pixels wide, headed by entry 1008 (receive) or 1108
// (transmit). Column 1 is the Enable check box. The Type columns are combo lists of
// CAN_Type_Items, the Byte columns of CAN_Byte_Items.
extern const std::vector<TTable_Column> CAN_Rec_Columns;
extern const std::vector<TTable_Column> CAN_Send_Columns;
extern const std::vector<std::string> CAN_Type_Items;
// "None", then "0" .. CAN_Max_Byte - 1.
std::vector<std::string> CAN_Byte_Items();

TRow_Table New_CAN_Table(const std::vector<TTable_Column>& columns);

// Empty the table (Enable "Y") and read the file at path into it, each attribute on its own
// with its default; the transmit Time of a row without one is "0" when the row's OnTimer is
// "Y". False when the file does not exist; a file that cannot be read or is not well-formed
// raises the platform's error, the table staying empty.
bool Load_CAN_Rec(TRow_Table& table, const std::string& path);
bool Load_CAN_Send(TRow_Table& table, const std::string& path);

// The check made on OK over the enabled rows: empty when the table is valid, else the message
// of the first error. A blank CobID ends the table; filled rows below it are refused.
std::string Check_CAN_Rec(const TRow_Table& table);
std::string Check_CAN_Send(const TRow_Table& table);

// Write the rows up to the first blank CobID to path, whatever their Enable; the version
// comment is written for product type 5 only.
void Save_CAN_Rec(const TRow_Table& table, int product_type, const std::string& path);
void Save_CAN_Send(const TRow_Table& table, int product_type, const std::string& path);
