#pragma once
// The image of the M-Bus master gateway (product types 10 and 1010): bank1.bin holds the M-Bus
// settings block, the wireless meter table and the KNX object table; bank2.bin is the node
// stream that describes every compiled node with its variables, followed by a copy of the
// communication parameters.
#include "image/MBusNetwork.h"
#include "image/SettingsBlock.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr int wMBus_Table_Size = 32;
constexpr std::uint32_t wMBus_Entry_Bytes = 32;
// Most wired nodes the one-byte count of the stream's parameter tail can say.
constexpr int MBus_Max_Wired_Nodes = 255;
// The flash area of bank2, from 0x50800 up to bank1 at 0x68000.
constexpr std::uint32_t MBus_Stream_Limit = 0x68000 - 0x50800;
// Data addresses of the stream are 16-bit.
constexpr std::uint32_t MBus_Max_Data_Address = 0xFFFF;

constexpr std::uint32_t MBus_Stream_Header_Bytes = 13;
constexpr std::uint32_t MBus_Node_Record_Bytes = 23;
constexpr std::uint32_t MBus_Variable_Record_Bytes = 25;
constexpr std::uint32_t MBus_Tail_Bytes = 27;

// Block offsets of the M-Bus settings block that the compile sets.
namespace MBus_Offset {
enum : std::uint32_t {
    IP_Address = 40,
    Subnet_Mask = 44,
    Gateway_Address = 48,
    Server_Port = 54,
    Server_Port_2 = 56,
    Stream_Marker = 59,
    Meter_Bit_Rate = 508,
    Meter_Parity = 523,
    Wireless_Count = 564,
    wMBus_Mode = 568,
    wMBus_Radio_Channel = 582,
    wMBus_Table_Address = 596,
    KNX_Table_Address = 604,
    KNX_Table_Address_2 = 608,
    KNX_Read_Count = 612,
    KNX_Entry_Count = 616,
    KNX_Address = 622,
    Gap = 636, // 96 bytes between the record's two parts, always 0
};
} // namespace MBus_Offset
constexpr std::uint32_t MBus_Settings_Gap_Bytes = 96;

// The settings record, kept byte for byte as the written block (its gap is always 0).
extern TSettings_Block MBus_Settings_Record;
extern std::array<TwMBus_Meter, wMBus_Table_Size> wMBus_Table;
// The compiled wired and wireless nodes of the last compile, in network order.
extern std::vector<TMBus_Nodo> MBus_Nodes;
extern std::vector<TMBus_Nodo> wMBus_Nodes;

// The compile of product_type (10 or 1010) for the project in project_dir.
void Compile_MBus(int product_type, const std::string& project_dir);
void Init_MBus_Settings();
void Clear_wMBus_Table();
// Reads the ParGen and network files, fills the node lists, the wireless meter table and the
// settings fields, and writes the node stream into Bank2_Buffer with its length. Every failure
// raises EImageError naming the file: a missing or malformed parameter of the stream's tail,
// more wireless meters than the table holds or more wired nodes than the tail can count, a
// stream longer than the flash area of bank2, and data addresses past 16 bits.
void Read_M_Bus(const std::string& par_gen_path, const std::string& network_path);
// Writes the settings block into Image_Buffer at position with its byte sum; returns
// position + 2048.
std::uint32_t Write_MBus_Settings(std::uint32_t position);
// Writes the 32 meter entries into Image_Buffer at position; returns position + 1024.
std::uint32_t Write_wMBus_Table(std::uint32_t position);

// The bytes of the gateway byte image that a variable of node takes. Both the variable's own
// data address and the start of the next node's data come from it.
std::uint32_t MBus_Value_Size(const TMBus_Variabile& variable, const TMBus_Nodo& node);
