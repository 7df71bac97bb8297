#pragma once
// The 2048-byte settings block of the images: communication parameters, flash addresses and
// entry counts of the tables, and the 32-bit byte sum of bytes 0..2043 in its last four bytes.
#include <array>
#include <cstdint>
#include <span>

constexpr std::uint32_t Settings_Block_Size = 2048;
// Bytes summed into Block_Sum; the sum itself sits at this offset.
constexpr std::uint32_t Block_Sum_Offset = 2044;

// Block offsets of the fields that the image compilers set (the layout of every variant but
// M-Bus; fields not listed keep their defaults or are reserved).
namespace Block_Offset {
enum : std::uint32_t {
    Bus_Bit_Rate = 0,
    Modbus_Slave_ID = 24,
    Device_ID = 28,
    Modbus_Timeout = 32,
    Modbus_Cycle = 36,
    IP_Address = 40,
    Subnet_Mask = 44,
    Gateway_Address = 48,
    Server_Port = 54,
    Server_Port_2 = 56,
    Modbus_Entry_Count = 72,
    Station_Name = 80,
    Serial_Line = 97,
    CAN_Entry_Count = 112,
    Input_Size = 116,
    Output_Size = 120,
    Rx_PGN_Count = 144,
    Tx_PGN_Count = 148,
    PGN_Options = 152,
    CANopen_Node_ID = 156,
    CANopen_Options = 160,
    CANopen_Delay = 164,
    CANopen_SDO_Timeout = 168,
    CANopen_Entry_Counts = 172,
    Modbus_Table_Address = 196,
    CAN_Table_Address = 200,
    Rx_PGN_Table_Address = 204,
    Tx_PGN_Table_Address = 208,
    CANopen_Table_Addresses = 224,
    Diagnostic_Register = 384,
    Serial_Bit_Rate = 400,
    Serial_Parity = 424,
    Serial_Stop_Bits = 430,
    Serial_Data_Bits = 436,
    KNX_Table_Address = 444,
    KNX_Table_Address_2 = 448,
    KNX_Read_Count = 452,
    KNX_Entry_Count = 456,
    KNX_Address = 462,
    KNX_Tunnel_Address = 464,
    KNX_Management_Address = 466,
    KNX_Control_Port = 468,
    KNX_Tunnel_Port = 470,
    KNX_Management_Port = 472,
    DMX_Channels = 476,
    DMX_Channels_2 = 478,
    DMX_Table_Address = 480,
    KNX_Delay = 1900,
};
} // namespace Block_Offset

// A settings record kept byte for byte as the block it is written as.
class TSettings_Block {
public:
    TSettings_Block() { Bytes.fill(0); }
    void Clear() { Bytes.fill(0); }
    void Set_U8(std::uint32_t offset, std::uint32_t v);
    void Set_U16(std::uint32_t offset, std::uint32_t v);
    void Set_U32(std::uint32_t offset, std::uint32_t v);
    // Four address octets in written order (a.b.c.d gives a, b, c, d).
    void Set_Octets(std::uint32_t offset, std::uint8_t a, std::uint8_t b, std::uint8_t c,
                    std::uint8_t d);
    std::uint32_t U8(std::uint32_t offset) const;
    std::uint32_t U16(std::uint32_t offset) const;
    std::uint32_t U32(std::uint32_t offset) const;

    std::array<std::uint8_t, Settings_Block_Size> Bytes;
};

// Unsigned 32-bit sum of bytes 0..2043 of a block, each taken as 0..255.
std::uint32_t Block_Sum(std::span<const std::uint8_t> block);

// The settings record of every variant but M-Bus and NMEA 2000 (product type 25).
extern TSettings_Block Settings_Record;

// Clears Block and sets the defaults that the settings blocks of all variants share: the serial
// rate at 12, the network addresses and ports, 8 data bits on every line, the KNX ports.
void Init_Shared_Settings(TSettings_Block& Block);
// Sets Settings_Record to its defaults, every reserved byte 0.
void Init_Settings();
// Writes Settings_Record into Image_Buffer at position: bytes 1904..1911 are written 0, and
// the byte sum goes into the last four bytes. The caller adds 2048 to Image_Length.
void Write_Settings(std::uint32_t position);
// Writes the block at position of buffer with its byte sum in bytes 2044..2047; returns
// position + 2048. Raises ERangeError when the buffer has no room.
std::uint32_t Write_Settings_Block(const TSettings_Block& block, std::uint32_t position,
                                   std::span<std::uint8_t> buffer);
