#include "image/SettingsImages.h"

#include "image/DmxImage.h"
#include "image/ImageCompiler.h"
#include "image/KnxTable.h"
#include "image/ParGenKeys.h"
#include "image/ProjectFile.h"
#include "image/SettingsBlock.h"

#include "shell/state/ProgramState.h"

namespace {

constexpr std::uint32_t KNX_Table_Flash = 0x63000;

void storeKnxTableAddress() {
    Settings_Record.Set_U32(Block_Offset::KNX_Table_Address, KNX_Table_Flash);
    Settings_Record.Set_U32(Block_Offset::KNX_Table_Address_2, KNX_Table_Flash);
}

// The slave's diagnostic register: 0 unless the enable key is exactly "1", then the register
// number + 1 (a register text that is not a number counts as 0, a missing one gives 0).
std::uint32_t diagnosticRegister(const TXmlNode& root, const std::string& prefix) {
    std::string text;
    if (!(Key_Text(root, prefix + "EN_DIAGNOSTIC", text) && text == "1")) return 0;
    if (!Key_Text(root, prefix + "DIAGNOSTIC_REG", text)) return 0;
    return std::uint32_t(ImageIntDef(text, 0)) + 1;
}

// One byte per character of the name, its low 8 bits; the bytes after the name stay 0.
void readStationName(const TXmlNode& root, const std::string& path) {
    std::string name = "devicename1";
    Key_Text(root, "PROFINET_NAME_STA", name);
    const std::u32string chars = Utf8ToUtf32(name);
    if (chars.size() > std::size_t(Station_Name_Bytes))
        throw EImageLimitError(Format("%s: the name of station \"%s\" has %d characters; its field "
                                      "holds %d",
                                      path, name, chars.size(), Station_Name_Bytes));
    for (std::size_t i = 0; i < chars.size(); ++i)
        Settings_Record.Set_U8(Block_Offset::Station_Name + std::uint32_t(i),
                               std::uint8_t(chars[i]));
}

// The keys every reader but KNXnet/IP's starts with.
void readKnxAddress(const TXmlNode& root) {
    Settings_Record.Set_U16(Block_Offset::KNX_Address, KNX_Address_Key(root, "KNX_ID_DEV", 4552));
}

void u32Key(const TXmlNode& root, std::uint32_t offset, const char* key, int def) {
    Settings_Record.Set_U32(offset, std::uint32_t(Key_Int(root, key, def)));
}

void u16Key(const TXmlNode& root, std::uint32_t offset, const char* key, int def) {
    Settings_Record.Set_U16(offset, std::uint32_t(Key_Int(root, key, def)));
}

void readProfinetOrSnmp(const std::string& path, bool profinet) {
    using namespace Block_Offset;
    storeKnxTableAddress();
    Settings_Record.Set_U32(DMX_Table_Address, DMX_Table_Flash);
    TXMLDocument doc;
    TXmlNode root;
    if (!Load_Project_File(doc, path, root)) return;
    readKnxAddress(root);
    Read_Network_Keys(root, Settings_Record, "PROFINET_");
    if (profinet) u32Key(root, KNX_Delay, "KNX_DELAY_BETWEEN_PACKETS", 100);
    readStationName(root, path);
    if (profinet) {
        u32Key(root, Input_Size, "PROFINET_NB_IN", 1438);
        u32Key(root, Output_Size, "PROFINET_NB_OUT", 1438);
    }
}

} // namespace

void Read_ParGen_ModbusS(const std::string& path) {
    using namespace Block_Offset;
    TSettings_Block& r = Settings_Record;
    storeKnxTableAddress();
    TXMLDocument doc;
    TXmlNode root;
    if (!Load_Project_File(doc, path, root)) return;
    readKnxAddress(root);
    Read_Network_Keys(root, r, "Modbus_TCP_Slave_");
    u32Key(root, Modbus_Slave_ID, "MODBUS_SLAVE_IDDEVICE", 10);
    std::string text;
    r.Set_U8(Serial_Line, Key_Text(root, "MODBUS_SLAVE_SERIAL", text) && text == "0" ? 1 : 0);
    r.Set_U32(Serial_Bit_Rate, Serial_Rate_Of_Index(Key_Int(root, "MODBUS_SLAVE_BAUDRATE", 7)));
    r.Set_U8(Serial_Parity, std::uint32_t(Key_Int(root, "MODBUS_SLAVE_PARITY", 0)));
    const int stopBits = Key_Int(root, "MODBUS_SLAVE_STOPBITS", 0);
    r.Set_U8(Serial_Stop_Bits, stopBits == 1 ? 2 : std::uint32_t(stopBits));
    r.Set_U8(Serial_Data_Bits, 8);
    r.Set_U32(Diagnostic_Register, diagnosticRegister(root, "MODBUS_SLAVE_"));
}

void Read_ParGen_ModbusTCPS(const std::string& path) {
    using namespace Block_Offset;
    storeKnxTableAddress();
    TXMLDocument doc;
    TXmlNode root;
    if (!Load_Project_File(doc, path, root)) return;
    readKnxAddress(root);
    Read_Network_Keys(root, Settings_Record, "Modbus_TCP_Slave_");
    u16Key(root, Server_Port, "Modbus_TCP_Slave_Port", 502);
    u16Key(root, Server_Port_2, "Modbus_TCP_Slave_Port", 502);
    Settings_Record.Set_U32(Diagnostic_Register, diagnosticRegister(root, "Modbus_TCP_Slave_"));
}

void Read_ParGen_PROFINET(const std::string& path) {
    readProfinetOrSnmp(path, true);
}

void Read_ParGen_SNMP(const std::string& path) {
    readProfinetOrSnmp(path, false);
}

void Read_ParGen_EtherNetIP(const std::string& path) {
    using namespace Block_Offset;
    storeKnxTableAddress();
    Settings_Record.Set_U32(DMX_Table_Address, DMX_Table_Flash);
    TXMLDocument doc;
    TXmlNode root;
    if (!Load_Project_File(doc, path, root)) return;
    readKnxAddress(root);
    Read_Network_Keys(root, Settings_Record, "EtherNetIP_", {192, 168, 0, 11});
    // The port key is looked up, but the server always listens on 44818.
    Settings_Record.Set_U16(Server_Port, 44818);
    Settings_Record.Set_U16(Server_Port_2, 44818);
    u32Key(root, Input_Size, "EtherNetIP_NB_IN", 496);
    u32Key(root, Output_Size, "EtherNetIP_NB_OUT", 500);
}

void Read_ParGen_KNXIP(const std::string& path) {
    using namespace Block_Offset;
    TSettings_Block& r = Settings_Record;
    r.Set_U16(KNX_Address, 36865);            // 9.0.1
    r.Set_U16(KNX_Tunnel_Address, 37024);     // 9.0.160
    r.Set_U16(KNX_Management_Address, 37025); // 9.0.161
    r.Set_U16(KNX_Control_Port, 50000);
    r.Set_U16(KNX_Tunnel_Port, 50001);
    r.Set_U16(KNX_Management_Port, 50002);
    TXMLDocument doc;
    TXmlNode root;
    if (!Load_Project_File(doc, path, root)) return;
    Read_Network_Keys(root, r, "Modbus_TCP_Slave_");
    r.Set_U16(KNX_Address, KNX_Address_Key(root, "KNX_ID_DEV", 36865));
    r.Set_U16(KNX_Tunnel_Address, KNX_Address_Key(root, "KNX_ID_TUNNEL", 37024));
    r.Set_U16(KNX_Management_Address, KNX_Address_Key(root, "KNX_ID_MANAGEMENT", 37025));
    u16Key(root, KNX_Control_Port, "KNX_CONTROL_PORT", 50000);
    u16Key(root, KNX_Tunnel_Port, "KNX_TUNNEL_PORT", 50001);
    u16Key(root, KNX_Management_Port, "KNX_MANAGEMENT_PORT", 50002);
}

void Compile_Settings_Image(int product_type, const std::string& project_dir) {
    const std::string parGen = Project_File_Path(project_dir, "ParGen.xml");
    Init_Settings();
    if (product_type == 14 || product_type == 1014) {
        Read_ParGen_KNXIP(parGen);
        Image_Length = 0;
        Write_Settings(Image_Length);
        Image_Length += Settings_Block_Size;
        return;
    }
    Clear_KNX_Table();
    switch (product_type) {
    case 2:
        Read_ParGen_ModbusS(parGen);
        break;
    case 4:
        Read_ParGen_ModbusTCPS(parGen);
        break;
    case 12:
    case 1012:
        Read_ParGen_PROFINET(parGen);
        break;
    case 13:
        Read_ParGen_EtherNetIP(parGen);
        break;
    case 15:
        Read_ParGen_SNMP(parGen);
        break;
    default:
        throw EImageError(Format("Product type %d has no settings image", product_type));
    }
    Read_KNX_SetAccess(Project_File_Path(project_dir, "KNX_SetAccess.xml"), product_type);
    Image_Length = 0;
    Image_Length = Write_KNX_Table(Image_Length, Image_Buffer);
    Write_Settings(Image_Length);
    Image_Length += Settings_Block_Size;
}
