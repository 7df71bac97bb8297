#pragma once
// The KNX access table without a window: its columns, the bounds a product type gives it, the
// load of its project file, the check made on OK and the save that the image compiler reads.
// TFKNXAccess binds these to its grid once the grid editors exist.
#include "editors/comm/RowTable.h"
#include "grid/core/base/CellProperties.h"

#include <string>
#include <vector>

constexpr int KNX_Access_Rows = 1024;

// One data column: header (UI_Texts entry), editor, width in pixels, the row attribute of the
// file, the editor's choices and the text a missing attribute gives (nullptr: the attribute
// is required).
struct TKnx_Column {
    int Header_Entry;
    TEditorType Editor;
    int Width;
    const char* Attribute;
    std::vector<std::string> Items;
    const char* Default;
};

// Columns 1..17; column 0 is the row number, 40 pixels wide, headed by entry 191. The
// Position choices depend on the product type (Position_Items).
extern const std::vector<TKnx_Column> KNX_Access_Columns;

enum {
    KNX_Enable = 1,
    KNX_Source,
    KNX_Destination,
    KNX_APCI,
    KNX_Priority,
    KNX_Format,
    KNX_Extended,
    KNX_ReTest,
    KNX_On_Command,
    KNX_On_Change,
    KNX_On_Timer,
    KNX_Poll_Time,
    KNX_Position,
    KNX_Bit_Mode,
    KNX_Length,
    KNX_TimeOut,
    KNX_Mnemonic
};

// The bounds of one showing.
struct TKnx_Settings {
    int Product_Type = 25;
    int Max_Num_Byte = 1439;
    int DMX_Type = 0;
    int Num_Byte_Read_InPROFI = 0;
    int Num_Byte_Write_OutPROFI = 0;
    // The DMX direction that hides APCI, OnCMD and OnChange.
    bool DMX_Fixed() const;
};

// The settings of product_type, reading the keys it takes from the ParGen file at par_gen
// (when that file exists); the PROFINET and EtherNet/IP bounds keep those of previous when
// the file does not exist.
TKnx_Settings KNX_Settings(int product_type, const std::string& par_gen,
                           const TKnx_Settings& previous = {});
// "0" .. max_num_byte - 1.
std::vector<std::string> Position_Items(int max_num_byte);

TRow_Table New_KNX_Table();

// The outcome of a load: Error is empty when the whole file was read, else the failure's text,
// the rows read before it staying in the table (rows past the table's last are not read).
struct TKnx_Load {
    bool Exists = false;
    std::string Error;
};
TKnx_Load Load_KNX_Table(TRow_Table& table, const std::string& path);

// The check made on OK: empty when the table is valid, else the first error's message.
std::string Check_KNX_Table(const TRow_Table& table, const TKnx_Settings& settings);

// Writes the rows up to the first blank Source Add to path.
void Save_KNX_Table(const TRow_Table& table, const TKnx_Settings& settings,
                    const std::string& path);
