#include "image/J1939Image.h"

#include "image/ImageCompiler.h"
#include "image/KnxTable.h"
#include "image/NmeaImage.h"
#include "image/ParGenKeys.h"
#include "image/ProjectFile.h"

#include "shell/state/ProgramState.h"

namespace {

constexpr std::uint32_t Rx_PGN_Table_Flash = 0x5B000;
constexpr std::uint32_t Tx_PGN_Table_Flash = 0x5F000;
constexpr std::uint32_t KNX_Table_Flash = 0x63000;
// Data offsets and byte counts of the entries are 16-bit.
constexpr std::int64_t Max_Data_Offset = 0xFFFF;

bool peerToPeer() {
    return Settings_Record.U32(Block_Offset::PGN_Options) & 1;
}

// Each row reader fills the entry and returns the row's data bytes.
int readReceiveRow(const TProject_Row& row, PGN_Entry& e, std::uint32_t running) {
    std::uint32_t id = std::uint32_t(row.Int_Guarded("DP", 0));
    id = std::uint32_t(row.Int_Guarded("PGN", 0)) + id * 65536;
    if (peerToPeer())
        id *= 256;
    else
        id = std::uint32_t(row.Int_Guarded("SA", 0)) + id * 256;
    e.Identifier = id;
    e.Send_Timer = 0;
    e.Data_Timeout = row.Is("Delete", "Y") ? Rx_Data_Timeout : 0;
    e.Multi_Frame = row.Is("TP", "Y") ? 1 : 0;
    if (row.Is_Upper("OnRequest", "Y")) e.PGN_Flags |= PGN_Flag_Request;
    e.Request_Time = std::uint32_t(row.Int_Guarded("OnReq_Time", 0));
    e.Data_Offset = std::uint16_t(running);
    e.Start_Byte = std::uint16_t(row.Int_Guarded("TP_Start", 0));
    const int count = row.Int_Guarded("TP_NByte", 8);
    e.Byte_Count = std::uint16_t(count);
    return count;
}

int readTransmitRow(const TProject_Row& row, PGN_Entry& e, std::uint32_t running) {
    // Each step guarded: a failing part adds nothing, but the shifts still apply.
    std::uint32_t id = 0;
    int v;
    if (row.Try_Int("Priority", v)) id = std::uint32_t(v);
    id = id * 4 + (row.Try_Int("DP", v) ? std::uint32_t(v) : 0);
    id = id * 65536 + (row.Try_Int("PGN", v) ? std::uint32_t(v) : 0);
    id = id * 256 + (row.Try_Int("SA", v) ? std::uint32_t(v) : 0);
    e.Identifier = id;
    e.Send_Timer = 0;
    e.PGN_Flags = PGN_Flag_Transmit;
    if (row.Is_Upper("On_Request", "Y")) e.PGN_Flags |= PGN_Flag_On_Request;
    if (row.Is_Upper("On_Data_Change", "Y")) e.PGN_Flags |= PGN_Flag_On_Data_Change;
    if (row.Is_Upper("On_Timer", "Y")) {
        e.PGN_Flags |= PGN_Flag_On_Timer;
        if (row.Try_Int("SendTimer", v)) e.Send_Timer = std::uint32_t(v);
    }
    // No fast packet: more than eight bytes make a multi-frame group.
    const int count = row.Int_Guarded("TP_NByte", 8);
    e.Multi_Frame = count > 8 ? 1 : 0;
    e.Data_Offset = std::uint16_t(running);
    e.Start_Byte = 0;
    e.Byte_Count = std::uint16_t(count);
    return count;
}

// Reads one frame file into table; returns the number of rows.
template <typename ReadRow>
std::uint32_t readFrames(const std::string& path, std::array<PGN_Entry, PGN_Table_Size>& table,
                         ReadRow readRow) {
    TXMLDocument doc;
    TXmlNode root;
    if (!Load_Project_File(doc, path, root)) return 0;
    const std::vector<TXmlNode> rows = Element_Children(root);
    if (rows.size() > std::size_t(PGN_Table_Size)) Refuse_Rows(path, "PGN table", PGN_Table_Size);
    std::int64_t running = 0;
    for (std::size_t n = 0; n < rows.size(); ++n) {
        const TProject_Row row(rows[n], path, int(n));
        if (running > Max_Data_Offset)
            row.Refuse(Format("its data would start at byte %d; the data offsets reach %d", running,
                              Max_Data_Offset));
        const int count = readRow(row, table[n], std::uint32_t(running));
        if (count < 0 || count > Max_Data_Offset)
            row.Refuse(Format("its byte count %d is not within 0..%d", count, Max_Data_Offset));
        running += count;
    }
    return std::uint32_t(rows.size());
}

} // namespace

void Read_ParGen_J1939(const std::string& path) {
    using namespace Block_Offset;
    TSettings_Block& r = Settings_Record;
    r.Set_U32(KNX_Table_Address, KNX_Table_Flash);
    r.Set_U32(KNX_Table_Address_2, KNX_Table_Flash);
    r.Set_U32(Rx_PGN_Table_Address, Rx_PGN_Table_Flash);
    r.Set_U32(Tx_PGN_Table_Address, Tx_PGN_Table_Flash);
    Rx_Data_Timeout = 0;
    TXMLDocument doc;
    TXmlNode root;
    if (!Load_Project_File(doc, path, root)) return;

    // KNX_TYPE is read by the other variants; its value is not used here.
    r.Set_U16(KNX_Address, KNX_Address_Key(root, "KNX_ID_DEV", 36865));
    r.Set_U32(Bus_Bit_Rate, PGN_Bus_Bit_Rate(Key_Int(root, "J1939_BAUDRATE", 5)));
    Rx_Data_Timeout = std::uint32_t(Key_Int(root, "J1939_TIMEOUT", 0)) * 1000u;
    r.Set_U32(PGN_Options, 0);
    std::string text;
    if (Key_Text(root, "J1939_PEER_TO_PEER", text) && text == "1") r.Set_U32(PGN_Options, 1);
    r.Set_U32(Device_ID, std::uint32_t(Key_Int(root, "J1939_Device_ID", 0)));
    Read_Network_Keys(root, r, "Modbus_TCP_Slave_");
}

void Read_J1939_Frames(const std::string& rec_path, const std::string& send_path) {
    using namespace Block_Offset;
    Settings_Record.Set_U32(Rx_PGN_Count, readFrames(rec_path, PGN_Rx_Table, readReceiveRow));
    Settings_Record.Set_U32(Tx_PGN_Count, readFrames(send_path, PGN_Tx_Table, readTransmitRow));
}

void Compile_J1939(const std::string& project_dir) {
    Init_Settings();
    Clear_KNX_Table();
    Clear_PGN_Tables();
    Read_ParGen_J1939(Project_File_Path(project_dir, "ParGen.xml"));
    Read_J1939_Frames(Project_File_Path(project_dir, "J1939_Rec_Frames.xml"),
                      Project_File_Path(project_dir, "J1939_Send_Frames.xml"));
    Read_KNX_SetAccess(Project_File_Path(project_dir, "KNX_SetAccess.xml"), 9);
    Image_Length = 0;
    Image_Length = Write_PGN_Tables(Image_Length, Image_Buffer);
    Image_Length = Write_KNX_Table(Image_Length, Image_Buffer);
    Write_Settings(Image_Length);
    Image_Length += Settings_Block_Size;
}
