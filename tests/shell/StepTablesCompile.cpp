// The image compiler's header meets the XML library's names, which clash with the grid's: the
// step tests compile through here.
#include "image/CanImage.h"
#include "image/ImageCompiler.h"
#include "image/ModbusImage.h"
#include "image/NmeaImage.h"
#include "image/SettingsBlock.h"
#include "platform/base/SysUtils.h"

#include <string>

namespace {

std::string hex(std::uint32_t v) {
    return Format("0x%X", v);
}

std::string modbus(const std::array<Modbus_Entry, Modbus_Table_Size>& table) {
    const std::uint32_t n = Settings_Record.U32(Block_Offset::Modbus_Entry_Count);
    std::string text = IntToStr(n) + " requests";
    for (std::uint32_t i = 0; i < n; ++i) {
        const Modbus_Entry& e = table[i];
        text += "; slave " + IntToStr(e.Slave_ID) + " ip " + hex(e.Slave_IP) + " port " +
                IntToStr(e.Slave_Port) + " points " + IntToStr(e.NPoint) + " position " +
                IntToStr(e.Position);
    }
    return text;
}

std::string pgns(const char* name, std::uint32_t offset,
                 const std::array<PGN_Entry, PGN_Table_Size>& table) {
    const std::uint32_t n = Settings_Record.U32(offset);
    std::string text = IntToStr(n) + " " + name;
    for (std::uint32_t i = 0; i < n; ++i)
        text += "; id " + hex(table[i].Identifier) + " bytes " + IntToStr(table[i].Byte_Count);
    return text;
}

} // namespace

// Compiles the project in dir for type, writes its bank files and tells what the tables of
// the image hold.
std::string compiledTables(int type, const std::string& dir) {
    Compile_Bank(type, dir);
    Save_Bank(type, dir);
    switch (type) {
    case 1:
        return modbus(Modbus_Table);
    case 3:
        return modbus(ModbusTCP_Table);
    case 5: {
        const std::uint32_t n = Settings_Record.U32(Block_Offset::CAN_Entry_Count);
        std::string text = IntToStr(n) + " frames";
        for (std::uint32_t i = 0; i < n; ++i)
            text += "; cob " + hex(CAN_Table[i].COB_ID) + " dim " + IntToStr(CAN_Table[i].Dim) +
                    " byte1 " + IntToStr(CAN_Table[i].Byte_Position[0]);
        return text;
    }
    case 9:
        return pgns("received", Block_Offset::Rx_PGN_Count, PGN_Rx_Table) + ", " +
               pgns("sent", Block_Offset::Tx_PGN_Count, PGN_Tx_Table);
    default:
        return {};
    }
}
