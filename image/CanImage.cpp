#include "image/CanImage.h"

#include "image/ImageCompiler.h"
#include "image/KnxTable.h"
#include "image/LittleEndian.h"
#include "image/ParGenKeys.h"
#include "image/ProjectFile.h"
#include "image/SettingsBlock.h"

#include "shell/state/ProgramState.h"

std::array<CAN_Entry, CAN_Table_Size> CAN_Table;

namespace {

constexpr std::uint32_t CAN_Table_Flash = 0x5B000;
constexpr std::uint32_t KNX_Table_Flash = 0x63000;

// Every attribute is guarded: a missing or malformed one leaves the cleared field.
void readRow(const TProject_Row& row, bool transmit, CAN_Entry& e) {
    std::int64_t v;
    if (row.Try_Int64("COBID", v)) e.COB_ID = std::uint32_t(v);
    std::string type;
    if (row.Try_Text("CAN_Type", type) && Trim(type) == "2.0B (29 bits)") e.COB_ID |= 1u << 31;
    e.Dim = std::uint8_t(row.Int_Guarded("Dim", 8));
    if (transmit) {
        e.Frame_Flags = CAN_Flag_Transmit;
        if (row.Is("OnChange", "Y")) e.Frame_Flags |= CAN_Flag_On_Change;
        if (row.Is("OnCMD", "Y")) e.Frame_Flags |= CAN_Flag_On_Command;
        if (row.Is("OnTimer", "Y")) e.Frame_Flags |= CAN_Flag_On_Timer;
        if (row.Try_Int64("Time", v)) e.Send_Time = std::uint32_t(v);
    } else if (row.Try_Int64("TimeOut", v)) {
        e.Time_Out = std::uint32_t(v);
    }
    for (int k = 1; k <= 8; ++k) {
        std::string text;
        std::uint16_t& position = e.Byte_Position[k - 1];
        if (row.Try_Text("Byte" + std::to_string(k), text))
            position = std::uint16_t(ImageIntDef(text, CAN_No_Position));
        if (e.Dim < k) position = CAN_No_Position;
    }
}

} // namespace

void Clear_CAN_Table() {
    CAN_Table.fill(CAN_Entry{});
}

void Read_ParGen_CAN(const std::string& path) {
    using namespace Block_Offset;
    TSettings_Block& r = Settings_Record;
    r.Set_U32(CAN_Table_Address, CAN_Table_Flash);
    r.Set_U32(KNX_Table_Address, KNX_Table_Flash);
    r.Set_U32(KNX_Table_Address_2, KNX_Table_Flash);
    TXMLDocument doc;
    TXmlNode root;
    if (!Load_Project_File(doc, path, root)) return;
    // KNX_TYPE is read by other variants; its value is not used here.
    r.Set_U16(KNX_Address, KNX_Address_Key(root, "KNX_ID_DEV", 36865));
    r.Set_U32(Bus_Bit_Rate, Indexed_Rate(Key_Int(root, "CAN_BAUDRATE", 9),
                                         {10000, 20000, 50000, 62500, 100000, 125000, 250000,
                                          500000, 800000, 1000000},
                                         1000000));
    Read_Network_Keys(root, r, "Modbus_TCP_Slave_");
}

void Read_CAN_Frames(const std::string& rec_path, const std::string& send_path) {
    std::uint32_t count = 0;
    Settings_Record.Set_U32(Block_Offset::CAN_Entry_Count, 0);
    for (const std::string* path : {&rec_path, &send_path}) {
        TXMLDocument doc;
        TXmlNode root;
        if (!Load_Project_File(doc, *path, root)) continue;
        const std::vector<TXmlNode> rows = Element_Children(root);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const TProject_Row row(rows[i], *path, int(i));
            std::string enable;
            if (row.Try_Text("Enable", enable) && enable != "Y") continue;
            if (count == CAN_Table_Size)
                Refuse_Rows(*path, "CAN table of both frame files", CAN_Table_Size);
            readRow(row, path == &send_path, CAN_Table[count]);
            ++count;
        }
    }
    Settings_Record.Set_U32(Block_Offset::CAN_Entry_Count, count);
}

void Write_CAN_Table() {
    std::uint8_t* p = Image_Buffer.data() + Image_Length;
    for (const CAN_Entry& e : CAN_Table) {
        Put_U32(p + 0, e.COB_ID);
        Put_U32(p + 4, e.Send_Time);
        Put_U32(p + 8, e.Time_Out);
        p[12] = 0;
        p[13] = e.Frame_Flags;
        p[14] = e.Dim;
        p[15] = 0;
        for (int k = 0; k < 8; ++k) Put_U16(p + 16 + 2 * k, e.Byte_Position[k]);
        p += CAN_Entry_Bytes;
    }
    Image_Length += CAN_Table_Size * CAN_Entry_Bytes;
}

void Compile_CAN(const std::string& project_dir) {
    Init_Settings();
    Clear_KNX_Table();
    Clear_CAN_Table();
    Read_ParGen_CAN(Project_File_Path(project_dir, "ParGen.xml"));
    Read_CAN_Frames(Project_File_Path(project_dir, "CAN_Rec_Frames.xml"),
                    Project_File_Path(project_dir, "CAN_Send_Frames.xml"));
    Read_KNX_SetAccess(Project_File_Path(project_dir, "KNX_SetAccess.xml"), 5);
    Image_Length = 0;
    Write_CAN_Table();
    Image_Length = Write_KNX_Table(Image_Length, Image_Buffer);
    Write_Settings(Image_Length);
    Image_Length += Settings_Block_Size;
}
