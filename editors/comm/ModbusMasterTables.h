#pragma once
// The read and write tables of the Modbus RTU and TCP masters without a window: their columns,
// the load of their project file, the check made on OK and the save that the image compiler
// reads. TFSetAccess and TFModbus_TCP_Master_Set_Access bind these to their grids.
#include "editors/comm/RowTable.h"
#include "grid/core/base/CellProperties.h"

#include <string>
#include <vector>

constexpr int Modbus_Access_Rows = 512;
// Bytes of the read and of the write byte image.
constexpr int Modbus_Image_Bytes = 1439;

enum class TModbus_Master { RTU, TCP };

// One data column: header (UI_Texts entry), editor, the row attribute of the file, the
// editor's choices and the text a missing attribute gives (nullptr: the attribute is required).
struct TModbus_Column {
    int Header_Entry;
    TEditorType Editor;
    const char* Attribute;
    std::vector<std::string> Items;
    const char* Default;
};

// Columns 1.. of each table; column 0 is the row number. Column 1 is Enable, column 2 the key
// (Slave ID of the RTU master, Slave IP Address of the TCP master).
const std::vector<TModbus_Column>& Modbus_Read_Columns(TModbus_Master master);
const std::vector<TModbus_Column>& Modbus_Write_Columns(TModbus_Master master);

struct TModbus_Tables {
    TRow_Table Read;
    TRow_Table Write;
};
TModbus_Tables New_Modbus_Tables(TModbus_Master master);

// The outcome of a load: Error is empty when the whole file was read, else the failure's text,
// the rows read before it staying in the tables (rows past a table's last are not read).
struct TModbus_Load {
    bool Exists = false;
    std::string Error;
};
TModbus_Load Load_Modbus_Tables(TModbus_Tables& tables, TModbus_Master master,
                                const std::string& path);

// True when text is not an IPv4 address of four parts 0..255.
bool Check_IP_Address(const std::string& text);

// The check made on OK, read table first: empty when both are valid, else the first error.
std::string Check_Modbus_Tables(const TModbus_Tables& tables, TModbus_Master master);

// Writes both tables, each up to its first blank key, to path.
void Save_Modbus_Tables(const TModbus_Tables& tables, TModbus_Master master,
                        const std::string& path);
