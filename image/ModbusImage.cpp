#include "image/ModbusImage.h"

#include "image/ImageCompiler.h"
#include "image/KnxTable.h"
#include "image/LittleEndian.h"
#include "image/ParGenKeys.h"
#include "image/ProjectFile.h"
#include "image/SettingsBlock.h"

#include "shell/state/ProgramState.h"

std::array<Modbus_Entry, Modbus_Table_Size> Modbus_Table;
std::array<Modbus_Entry, Modbus_Table_Size> ModbusTCP_Table;

namespace {

constexpr std::uint32_t Modbus_Table_Flash = 0x5B000;
constexpr std::uint32_t KNX_Table_Flash = 0x63000;
constexpr int Max_Byte_Count = 255;

enum class Variant { Rtu, Tcp };

// How a reader compares the texts of Type, OnChange and OnCMD: RTU trims and upper-cases,
// TCP only upper-cases.
std::string compared(const std::string& text, Variant v) {
    return UpperCase(v == Variant::Rtu ? Trim(text) : text);
}

// A guarded flag: a missing attribute is not "Y".
bool flagIs(const TProject_Row& row, std::string_view name, std::string_view literal, Variant v) {
    std::string text;
    return row.Try_Text(name, text) && compared(text, v) == literal;
}

bool isBitCode(std::uint8_t code) {
    return code == 1 || code == 2 || code == 5 || code == 15;
}

// Bytes of the gateway byte image that npoint coils or registers of the code cover; a request
// that needs more than the one-byte count can say is refused.
std::uint8_t byteCount(const TProject_Row& row, std::uint8_t code, int npoint) {
    const std::int64_t bytes =
        isBitCode(code) ? (std::int64_t(npoint) + 7) / 8 : 2 * std::int64_t(npoint);
    if (npoint < 0 || bytes > Max_Byte_Count)
        row.Refuse(Format("its %d points need more than the %d bytes one request covers", npoint,
                          Max_Byte_Count));
    return std::uint8_t(bytes);
}

std::uint8_t readFunctionCode(const TProject_Row& row, bool write, int npoint, Variant v) {
    const std::string type = compared(row.Text("Type"), v);
    if (!write) {
        if (type == "COIL STATUS") return 1;
        if (type == "INPUT STATUS") return 2;
        if (type == "HOLDING REGISTER") return 3;
        if (v == Variant::Rtu || type == "INPUT REGISTER") return 4;
        return 0;
    }
    const bool single = npoint == 1;
    if (type == "COIL STATUS") {
        if (v == Variant::Rtu && flagIs(row, "UseFC1516", "Y", v)) return 15;
        return single ? 5 : 15;
    }
    if (v == Variant::Rtu || type == "HOLDING REGISTER") {
        if (v == Variant::Rtu && flagIs(row, "UseFC1516", "Y", v)) return 16;
        return single ? 6 : 16;
    }
    return 0;
}

// The four dotted numbers of a slave's address, a.b.c.d as a * 2^24 + b * 2^16 + c * 2^8 + d.
std::uint32_t slaveIp(const TProject_Row& row) {
    const std::string text = row.Text("IP_Address");
    std::uint32_t ip = 0;
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t dot = i < 3 ? text.find('.', start) : text.size();
        int octet;
        if (dot == std::string::npos ||
            !TryImageInt(Trim(std::string_view(text).substr(start, dot - start)), octet))
            row.Refuse_Value(Format("the attribute \"IP_Address\" holds \"%s\", which is not an "
                                    "address of four dotted numbers",
                                    text));
        ip = ip << 8 | std::uint8_t(octet);
        start = dot + 1;
    }
    return ip;
}

void readRow(const TProject_Row& row, bool write, Variant v, Modbus_Entry& e) {
    e.Slave_ID = std::uint8_t(row.Strict_Int("Slave_ID"));
    e.Address = std::uint16_t(row.Strict_Int("Address"));
    const int npoint = row.Strict_Int("NPoint");
    e.NPoint = std::uint16_t(npoint);
    e.Function_Code = readFunctionCode(row, write, npoint, v);
    e.Byte_Count = byteCount(row, e.Function_Code, npoint);
    e.Poll_Time = std::uint32_t(row.Strict_Int64("PollTime"));
    e.Request_Flags = 0;
    if (write) {
        if (compared(row.Text("OnChange"), v) == "Y") e.Request_Flags |= Modbus_Flag_On_Change;
        if (flagIs(row, "OnCMD", "Y", v)) e.Request_Flags |= Modbus_Flag_On_Command;
    }
    e.Max_Error = std::uint32_t(row.Strict_Int64("MaxError"));
    e.Position = std::uint16_t(row.Strict_Int("Position"));
    // The TCP reader keeps the number a register row gives, but a register request has no
    // start bit to need: a blank or missing one is 0 there.
    if (isBitCode(e.Function_Code))
        e.Bit = std::uint16_t(row.Strict_Int("Bit"));
    else
        e.Bit = v == Variant::Tcp ? std::uint16_t(row.Int_Guarded("Bit", 0)) : 0;
    const bool swap = v == Variant::Tcp && write ? row.Is_Upper("Swap", "Y") : row.Is("Swap", "Y");
    if (swap) e.Request_Flags |= Modbus_Flag_Swap;
    if (v == Variant::Tcp) {
        e.Slave_IP = slaveIp(row);
        e.Slave_Port = std::uint16_t(row.Int_Guarded("Port", 502));
    }
}

void readAccessTable(const std::string& path, Variant v,
                     std::array<Modbus_Entry, Modbus_Table_Size>& table) {
    std::uint32_t count = 0;
    TXMLDocument doc;
    TXmlNode root;
    if (Load_Project_File(doc, path, root)) {
        for (const char* name : {"Modbus_Read", "Modbus_Write"}) {
            const bool write = std::string_view(name) == "Modbus_Write";
            const std::vector<TXmlNode> rows = Element_Children(Find_Section(root, name, path));
            for (std::size_t i = 0; i < rows.size(); ++i) {
                const TProject_Row row(rows[i], path, int(i));
                std::string enable;
                if (row.Try_Text("Enable", enable) && UpperCase(Trim(enable)) != "Y") continue;
                if (count == Modbus_Table_Size)
                    Refuse_Rows(path, "Modbus request table", Modbus_Table_Size);
                readRow(row, write, v, table[count]);
                ++count;
            }
        }
    }
    Settings_Record.Set_U32(Block_Offset::Modbus_Entry_Count, count);
}

void storeFlashAddresses() {
    using namespace Block_Offset;
    Settings_Record.Set_U32(Modbus_Table_Address, Modbus_Table_Flash);
    Settings_Record.Set_U32(KNX_Table_Address, KNX_Table_Flash);
    Settings_Record.Set_U32(KNX_Table_Address_2, KNX_Table_Flash);
}

void writeTable(const std::array<Modbus_Entry, Modbus_Table_Size>& table) {
    std::uint8_t* p = Image_Buffer.data() + Image_Length;
    for (const Modbus_Entry& e : table) {
        std::fill(p, p + Modbus_Entry_Bytes, std::uint8_t(0));
        Put_U16(p + 0, e.Position);
        Put_U16(p + 2, e.Bit);
        Put_U32(p + 4, e.Poll_Time);
        p[8] = e.Slave_ID;
        p[9] = e.Function_Code;
        Put_U16(p + 10, e.Address);
        Put_U16(p + 12, e.NPoint);
        Put_U16(p + 14, e.Slave_Port);
        Put_U32(p + 16, e.Slave_IP);
        Put_U32(p + 24, e.Max_Error);
        p[30] = e.Byte_Count;
        p[31] = e.Request_Flags;
        p += Modbus_Entry_Bytes;
    }
    Image_Length += Modbus_Table_Size * Modbus_Entry_Bytes;
}

void compile(const std::string& projectDir, Variant v) {
    auto& table = v == Variant::Rtu ? Modbus_Table : ModbusTCP_Table;
    Init_Settings();
    Clear_KNX_Table();
    table.fill(Modbus_Entry{});
    const std::string parGen = Project_File_Path(projectDir, "ParGen.xml");
    if (v == Variant::Rtu)
        Read_ParGen_ModbusM(parGen);
    else
        Read_ParGen_ModbusTCPM(parGen);
    Read_KNX_SetAccess(Project_File_Path(projectDir, "KNX_SetAccess.xml"),
                       v == Variant::Rtu ? 1 : 3);
    readAccessTable(Project_File_Path(projectDir, v == Variant::Rtu ? "ModbusM_SetAccess.xml"
                                                                    : "ModbusTCPM_SetAccess.xml"),
                    v, table);
    Image_Length = 0;
    writeTable(table);
    Image_Length = Write_KNX_Table(Image_Length, Image_Buffer);
    Write_Settings(Image_Length);
    Image_Length += Settings_Block_Size;
}

} // namespace

void Read_ParGen_ModbusM(const std::string& path) {
    using namespace Block_Offset;
    TSettings_Block& r = Settings_Record;
    storeFlashAddresses();
    TXMLDocument doc;
    TXmlNode root;
    if (!Load_Project_File(doc, path, root)) return;
    // KNX_TYPE is read by other variants; its value is not used here.
    r.Set_U16(KNX_Address, KNX_Address_Key(root, "KNX_ID_DEV", 4552));
    r.Set_U32(Modbus_Timeout, std::uint32_t(Key_Int(root, "ModbusM_TIMEOUT", 1000)));
    r.Set_U32(Modbus_Cycle, std::uint32_t(Key_Int(root, "ModbusM_CYCLIC", 100)));
    Read_Network_Keys(root, r, "Modbus_TCP_Slave_");
    std::string text;
    r.Set_U8(Serial_Line, Key_Text(root, "ModbusM_SERIAL", text) && text == "0" ? 1 : 0);
    r.Set_U32(Serial_Bit_Rate, Serial_Rate_Of_Index(Key_Int(root, "ModbusM_BAUDRATE", 7)));
    r.Set_U8(Serial_Parity, std::uint32_t(Key_Int(root, "ModbusM_PARITY", 0)));
    const int stopBits = Key_Int(root, "ModbusM_STOPBITS", 0);
    r.Set_U8(Serial_Stop_Bits, stopBits == 1 ? 2 : std::uint32_t(stopBits));
    r.Set_U8(Serial_Data_Bits, 8);
}

void Read_ParGen_ModbusTCPM(const std::string& path) {
    using namespace Block_Offset;
    TSettings_Block& r = Settings_Record;
    storeFlashAddresses();
    TXMLDocument doc;
    TXmlNode root;
    if (!Load_Project_File(doc, path, root)) return;
    r.Set_U16(KNX_Address, KNX_Address_Key(root, "KNX_ID_DEV", 4552));
    r.Set_U32(Modbus_Timeout, std::uint32_t(Key_Int(root, "Modbus_TCP_Master_TimeOut", 1000)));
    r.Set_U32(Modbus_Cycle, std::uint32_t(Key_Int(root, "Modbus_TCP_Master_Cyclic", 100)));
    Read_Network_Keys(root, r, "Modbus_TCP_Master_");
}

void Read_ModbusM_SetAccess(const std::string& path) {
    readAccessTable(path, Variant::Rtu, Modbus_Table);
}

void Read_ModbusTCPM_SetAccess(const std::string& path) {
    readAccessTable(path, Variant::Tcp, ModbusTCP_Table);
}

void Compile_ModbusM(const std::string& project_dir) {
    compile(project_dir, Variant::Rtu);
}

void Compile_ModbusTCPM(const std::string& project_dir) {
    compile(project_dir, Variant::Tcp);
}
