#include "image/CanopenImage.h"

#include "image/ImageCompiler.h"
#include "image/KnxTable.h"
#include "image/LittleEndian.h"
#include "image/ParGenKeys.h"
#include "image/ProjectFile.h"
#include "image/SettingsBlock.h"

#include "shell/state/ProgramState.h"

std::array<std::vector<CANopen_Entry>, CANopen_Table_Count> CANopen_Tables = {
    std::vector<CANopen_Entry>(CANopen_Table_Sizes[0]),
    std::vector<CANopen_Entry>(CANopen_Table_Sizes[1]),
    std::vector<CANopen_Entry>(CANopen_Table_Sizes[2]),
    std::vector<CANopen_Entry>(CANopen_Table_Sizes[3]),
    std::vector<CANopen_Entry>(CANopen_Table_Sizes[4]),
    std::vector<CANopen_Entry>(CANopen_Table_Sizes[5])};

namespace {

constexpr std::array<std::uint32_t, CANopen_Table_Count> Table_Flash = {0x55000, 0x59000, 0x5D000,
                                                                        0x5F000, 0x61000, 0x62000};
constexpr std::uint32_t KNX_Table_Flash = 0x63000;

const char* const Table_Names[CANopen_Table_Count] = {
    "SDO server read table",  "SDO server write table", "SDO client read table",
    "SDO client write table", "receive PDO table",      "transmit PDO table"};

enum class Kind { Server, Client, Pdo };

// 3 (on change) when On_Change is exactly "Y", else 1 (cyclic); a missing one is not "Y".
std::uint8_t changeOrCyclic(const TProject_Row& row) {
    return row.Is("On_Change", "Y") ? 3 : 1;
}

void readSdoRow(const TProject_Row& row, Kind kind, bool write, CANopen_Entry& e) {
    e.COB_ID = 0;
    e.Index = std::uint16_t(row.Strict_Int("Index"));
    e.SubIndex = std::uint8_t(row.Strict_Int("SubIndex"));
    e.Device_ID = 0;
    e.Timing = 0;
    if (kind == Kind::Client) {
        e.Device_ID = std::uint8_t(row.Strict_Int("Device_ID"));
        e.Timing = std::uint32_t(row.Strict_Int64("Poll_Time"));
    }
    e.NByte = std::uint8_t(row.Strict_Int("NByte"));
    // The value's bytes sit in elements 4..7.
    e.Byte_Address = {0, 0, 0, 0, 0, 0, 0, 0};
    e.Byte_Address[4] = std::uint16_t(row.Strict_Int("Address_B1"));
    if (e.NByte >= 2) e.Byte_Address[5] = std::uint16_t(row.Strict_Int("Address_B2"));
    if (e.NByte >= 4) {
        e.Byte_Address[6] = std::uint16_t(row.Strict_Int("Address_B3"));
        e.Byte_Address[7] = std::uint16_t(row.Strict_Int("Address_B4"));
    }
    if (!write)
        e.Transfer_Mode = 0;
    else
        e.Transfer_Mode = kind == Kind::Client ? changeOrCyclic(row) : 1;
}

void readPdoRow(const TProject_Row& row, bool transmit, CANopen_Entry& e) {
    e.COB_ID = std::uint32_t(row.Strict_Int64("COB-ID"));
    e.Index = 0;
    e.SubIndex = 0;
    e.Device_ID = 0;
    e.Timing = std::uint32_t(row.Strict_Int64(transmit ? "Send_Time" : "TimeOut"));
    e.NByte = std::uint8_t(row.Strict_Int("Dimension"));
    for (int k = 1; k <= 8; ++k)
        e.Byte_Address[k - 1] = k == 1 || e.NByte >= k
                                    ? std::uint16_t(row.Strict_Int("Address_B" + std::to_string(k)))
                                    : 0;
    e.Transfer_Mode = transmit ? changeOrCyclic(row) : 0;
}

// Reads the two sections of one file into the tables first and first + 1.
void readFile(const std::string& path, Kind kind, const char* readSection, const char* writeSection,
              int first) {
    using namespace Block_Offset;
    for (int t = first; t <= first + 1; ++t)
        Settings_Record.Set_U32(CANopen_Entry_Counts + 4 * t, 0);
    TXMLDocument doc;
    TXmlNode root;
    if (!Load_Project_File(doc, path, root)) return;
    for (int t = first; t <= first + 1; ++t) {
        const bool second = t == first + 1;
        const std::vector<TXmlNode> rows =
            Element_Children(Find_Section(root, second ? writeSection : readSection, path));
        std::vector<CANopen_Entry>& table = CANopen_Tables[t];
        if (rows.size() > std::size_t(CANopen_Table_Sizes[t]))
            Refuse_Rows(path, Table_Names[t], CANopen_Table_Sizes[t]);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const TProject_Row row(rows[i], path, int(i));
            if (kind == Kind::Pdo)
                readPdoRow(row, second, table[i]);
            else
                readSdoRow(row, kind, second, table[i]);
            Settings_Record.Set_U32(CANopen_Entry_Counts + 4 * t, std::uint32_t(i + 1));
        }
    }
}

} // namespace

void Clear_CANopen_Tables() {
    for (int t = 0; t < CANopen_Table_Count; ++t)
        CANopen_Tables[t].assign(std::size_t(CANopen_Table_Sizes[t]), CANopen_Entry{});
}

void Read_ParGen_CANopen(const std::string& path) {
    using namespace Block_Offset;
    TSettings_Block& r = Settings_Record;
    for (int t = 0; t < CANopen_Table_Count; ++t)
        r.Set_U32(CANopen_Table_Addresses + 4 * t, Table_Flash[t]);
    r.Set_U32(KNX_Table_Address, KNX_Table_Flash);
    r.Set_U32(KNX_Table_Address_2, KNX_Table_Flash);
    TXMLDocument doc;
    TXmlNode root;
    if (!Load_Project_File(doc, path, root)) return;
    // KNX_TYPE is read by other variants; its value is not used here.
    r.Set_U16(KNX_Address, KNX_Address_Key(root, "KNX_ID_DEV", 36865));
    r.Set_U32(Bus_Bit_Rate,
              Indexed_Rate(Key_Int(root, "CANopen_BAUDRATE", 8),
                           {10000, 20000, 50000, 100000, 125000, 250000, 500000, 800000, 1000000},
                           1000000));
    r.Set_U32(CANopen_Node_ID, std::uint32_t(Key_Int(root, "CANopen_IDDev", 1)));
    std::uint32_t options = 0;
    std::string text;
    if (Key_Text(root, "CANopen_Set_Operational", text) && text == "1") options |= 1;
    if (Key_Text(root, "CANopen_Network_Start", text) && text == "1") options |= 2;
    r.Set_U32(CANopen_Options, options);
    r.Set_U32(CANopen_Delay, std::uint32_t(Key_Int(root, "CANopen_Delay", 10)) * 1000u);
    r.Set_U32(CANopen_SDO_Timeout, std::uint32_t(Key_Int(root, "CANopen_SDO_TimeOut", 10000)));
    Read_Network_Keys(root, r, "Modbus_TCP_Slave_");
}

void Read_CANopen_Files(const std::string& project_dir) {
    readFile(Project_File_Path(project_dir, "SDO_Server_CANopen.xml"), Kind::Server, "SDO_Read",
             "SDO_Write", SDO_Server_Read);
    readFile(Project_File_Path(project_dir, "SDO_Client_CANopen.xml"), Kind::Client, "SDO_Read",
             "SDO_Write", SDO_Client_Read);
    readFile(Project_File_Path(project_dir, "PDO_CANopen.xml"), Kind::Pdo, "Receive_PDO",
             "Transmit_PDO", RPDO);
}

void Write_CANopen_Tables() {
    for (const std::vector<CANopen_Entry>& table : CANopen_Tables) {
        std::uint8_t* p = Image_Buffer.data() + Image_Length;
        for (const CANopen_Entry& e : table) {
            Put_U32(p + 0, e.COB_ID);
            Put_U16(p + 4, e.Index);
            p[6] = e.SubIndex;
            p[7] = e.Device_ID;
            Put_U32(p + 8, e.Timing);
            for (int k = 0; k < 8; ++k) Put_U16(p + 12 + 2 * k, e.Byte_Address[k]);
            p[28] = e.NByte;
            p[29] = e.Transfer_Mode;
            Put_U16(p + 30, 0);
            p += CANopen_Entry_Bytes;
        }
        Image_Length += std::uint32_t(table.size()) * CANopen_Entry_Bytes;
    }
}

void Compile_CANopen(const std::string& project_dir) {
    Init_Settings();
    Clear_KNX_Table();
    Clear_CANopen_Tables();
    Read_ParGen_CANopen(Project_File_Path(project_dir, "ParGen.xml"));
    Read_CANopen_Files(project_dir);
    Read_KNX_SetAccess(Project_File_Path(project_dir, "KNX_SetAccess.xml"), 6);
    Image_Length = 0;
    Write_CANopen_Tables();
    Image_Length = Write_KNX_Table(Image_Length, Image_Buffer);
    Write_Settings(Image_Length);
    Image_Length += Settings_Block_Size;
}
