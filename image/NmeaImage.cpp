#include "image/NmeaImage.h"

#include "image/ImageCompiler.h"
#include "image/KnxTable.h"
#include "image/LittleEndian.h"
#include "image/ParGenKeys.h"
#include "image/ProjectFile.h"

#include "shell/state/ProgramState.h"

TSettings_Block NMEA_Settings_Record;
std::uint32_t Rx_Data_Timeout = 0;
std::array<PGN_Entry, PGN_Table_Size> PGN_Rx_Table;
std::array<PGN_Entry, PGN_Table_Size> PGN_Tx_Table;

namespace {

constexpr std::uint32_t Rx_PGN_Table_Flash = 0x80000;
constexpr std::uint32_t Tx_PGN_Table_Flash = 0x84000;
constexpr std::uint32_t KNX_Table_Flash = 0x88000;

// Fast-packet transmit rows above this size are flagged multi-frame too.
constexpr int Fast_Packet_Multi_Frame_Bytes = 233;

// Refuses a row that would not fit into a table of the gateway.
void checkRoom(const std::string& path, int rows, std::uint64_t bytes) {
    if (rows > PGN_Table_Size)
        throw EImageLimitError(Format("%s: more than %d rows; the PGN table holds %d entries", path,
                                      PGN_Table_Size, PGN_Table_Size));
    if (bytes > PGN_Max_Data_Bytes)
        throw EImageLimitError(Format("%s: the rows hold more than %d data bytes, the most one "
                                      "direction holds",
                                      path, int(PGN_Max_Data_Bytes)));
}

// Each row reader fills the entry and returns the row's data bytes as the file gives them.
std::uint32_t readReceiveRow(const TProject_Row& row, PGN_Entry& e, std::uint32_t running) {
    std::uint32_t id = std::uint32_t(row.Int_Guarded("PGN", 0));
    if (NMEA_Settings_Record.U32(Block_Offset::PGN_Options) & 1)
        id *= 256;
    else
        id = std::uint32_t(row.Int_Guarded("SA", 0)) + id * 256;
    e.Identifier = id;
    e.Data_Timeout = row.Is("Delete", "Y") ? Rx_Data_Timeout : 0;
    e.PGN_Flags = 0;
    if (row.Is("TP", "Y")) e.PGN_Flags |= PGN_Flag_Multi_Frame;
    if (row.Is("FP", "Y")) e.PGN_Flags |= PGN_Flag_Fast_Packet;
    e.Data_Offset = std::uint16_t(running);
    e.Start_Byte = std::uint16_t(row.Int_Guarded("TP_Start", 0));
    const int count = row.Int_Guarded("TP_NByte", 8);
    e.Byte_Count = std::uint16_t(count);
    return std::uint32_t(count);
}

std::uint32_t readTransmitRow(const TProject_Row& row, PGN_Entry& e, std::uint32_t running) {
    // Each step guarded: a failing part adds nothing, but the shifts still apply.
    std::uint32_t id = 0;
    int v;
    if (row.Try_Int("Priority", v)) id += std::uint32_t(v);
    id = id * (1u << 18) + (row.Try_Int("PGN", v) ? std::uint32_t(v) : 0);
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
    int count;
    if (row.Is("FP", "Y")) {
        e.PGN_Flags |= PGN_Flag_Fast_Packet;
        e.Multi_Frame = 1;
        count = row.Int("TP_NByte", 8); // unguarded: a fast-packet row must give its size
        if (count > Fast_Packet_Multi_Frame_Bytes) e.PGN_Flags |= PGN_Flag_Multi_Frame;
    } else {
        e.Multi_Frame = 0;
        count = row.Int_Guarded("TP_NByte", 8);
        if (count > 8) {
            e.Multi_Frame = 1;
            e.PGN_Flags |= PGN_Flag_Multi_Frame;
        }
    }
    e.Data_Offset = std::uint16_t(running);
    e.Start_Byte = 0;
    e.Byte_Count = std::uint16_t(count);
    return std::uint32_t(count);
}

// Reads one frame file into table; returns the number of rows and their total data bytes.
template <typename ReadRow>
void readFrames(const std::string& path, std::array<PGN_Entry, PGN_Table_Size>& table,
                ReadRow readRow, std::uint32_t& rowCount, std::uint32_t& total) {
    rowCount = 0;
    total = 0;
    std::uint64_t bytes = 0;
    TXMLDocument doc;
    TXmlNode root;
    if (!Load_Project_File(doc, path, root)) return;
    const std::vector<TXmlNode> rows = Element_Children(root);
    checkRoom(path, int(rows.size()), 0);
    for (std::size_t n = 0; n < rows.size(); ++n) {
        // Counted as given: a negative count wraps to a huge one, and a count above 65535
        // is not taken for the low 16 bits that the entry keeps.
        bytes += readRow(TProject_Row(rows[n], path, int(n)), table[n], total);
        checkRoom(path, int(n + 1), bytes);
        total = std::uint32_t(bytes);
    }
    rowCount = std::uint32_t(rows.size());
}

void putEntry(std::uint8_t* p, const PGN_Entry& e) {
    Put_U32(p + 0, e.Identifier);
    Put_U32(p + 4, e.Send_Timer);
    Put_U32(p + 8, e.Data_Timeout);
    Put_U16(p + 12, e.Data_Offset);
    Put_U16(p + 14, e.Start_Byte);
    Put_U16(p + 16, e.Byte_Count);
    Put_U16(p + 18, 0);
    Put_U32(p + 20, e.Request_Time);
    Put_U32(p + 24, 0);
    Put_U16(p + 28, e.Multi_Frame);
    p[30] = e.PGN_Flags;
    p[31] = 0;
}

} // namespace

void Init_NMEA_Settings() {
    using namespace Block_Offset;
    TSettings_Block& r = NMEA_Settings_Record;
    Init_Shared_Settings(r);
    r.Set_U32(Bus_Bit_Rate, 250000);
    r.Set_U32(4, 250000);
}

void Read_ParGen_NMEA(const std::string& path) {
    using namespace Block_Offset;
    TSettings_Block& r = NMEA_Settings_Record;
    Rx_Data_Timeout = 0;
    TXMLDocument doc;
    TXmlNode root;
    if (!Load_Project_File(doc, path, root)) return;

    // KNX_TYPE is read by the other variants; its value is not used here.
    r.Set_U16(KNX_Address, KNX_Address_Key(root, "KNX_ID_DEV", 36865));
    r.Set_U32(Bus_Bit_Rate, PGN_Bus_Bit_Rate(Key_Int(root, "NMEA2000_BAUDRATE", 5)));
    Rx_Data_Timeout = std::uint32_t(Key_Int(root, "NMEA2000_TIMEOUT", 0)) * 1000u;
    std::string text;
    if (Key_Text(root, "NMEA2000_PEER_TO_PEER", text) && text == "1")
        r.Set_U32(PGN_Options, r.U32(PGN_Options) | 1);
    r.Set_U32(Device_ID, std::uint32_t(Key_Int(root, "NMEA2000_ID_Device", 0)));
    Read_Network_Keys(root, r, "Modbus_TCP_Slave_");
}

void Clear_PGN_Tables() {
    PGN_Rx_Table.fill(PGN_Entry{});
    PGN_Tx_Table.fill(PGN_Entry{});
}

void Read_NMEA_Frames(const std::string& rec_path, const std::string& send_path) {
    using namespace Block_Offset;
    TSettings_Block& r = NMEA_Settings_Record;
    std::uint32_t rows = 0, total = 0;
    readFrames(rec_path, PGN_Rx_Table, readReceiveRow, rows, total);
    r.Set_U32(Input_Size, total);
    r.Set_U32(Rx_PGN_Count, rows);
    readFrames(send_path, PGN_Tx_Table, readTransmitRow, rows, total);
    r.Set_U32(Output_Size, total);
    r.Set_U32(Tx_PGN_Count, rows);
}

std::uint32_t Write_PGN_Tables(std::uint32_t position, std::span<std::uint8_t> buffer) {
    const std::uint32_t size = 2 * PGN_Table_Size * PGN_Entry_Bytes;
    if (std::size_t(position) + size > buffer.size())
        throw ERangeError("The PGN tables do not fit into the image buffer");
    std::uint8_t* p = buffer.data() + position;
    for (const auto* table : {&PGN_Rx_Table, &PGN_Tx_Table})
        for (const PGN_Entry& e : *table) {
            putEntry(p, e);
            p += PGN_Entry_Bytes;
        }
    return position + size;
}

std::uint32_t Write_NMEA_Settings(std::uint32_t position, std::span<std::uint8_t> buffer) {
    NMEA_Settings_Record.Set_U32(Block_Sum_Offset, Block_Sum(NMEA_Settings_Record.Bytes));
    return Write_Settings_Block(NMEA_Settings_Record, position, buffer);
}

void Compile_NMEA(const std::string& project_dir) {
    using namespace Block_Offset;
    Init_NMEA_Settings();
    Clear_PGN_Tables();
    Clear_KNX_Table();
    TSettings_Block& r = NMEA_Settings_Record;
    r.Set_U32(Rx_PGN_Table_Address, Rx_PGN_Table_Flash);
    r.Set_U32(Tx_PGN_Table_Address, Tx_PGN_Table_Flash);
    r.Set_U32(KNX_Table_Address, KNX_Table_Flash);
    r.Set_U32(KNX_Table_Address_2, KNX_Table_Flash);
    // The parameters come first: the frame reader uses the peer-to-peer bit and the time-out.
    Read_ParGen_NMEA(Project_File_Path(project_dir, "ParGen.xml"));
    Read_NMEA_Frames(Project_File_Path(project_dir, "NMEA_Rec_Frames.xml"),
                     Project_File_Path(project_dir, "NMEA_Send_Frames.xml"));
    Read_KNX_SetAccess(Project_File_Path(project_dir, "KNX_SetAccess.xml"), 25);
    Image_Length = 0;
    Bank2_Length = 0;
    Bank2_Length = Write_PGN_Tables(0, Bank2_Buffer);
    Bank2_Length = Write_KNX_Table(Bank2_Length, Bank2_Buffer);
    Image_Length = Write_NMEA_Settings(0, Image_Buffer);
}
