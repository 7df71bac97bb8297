#pragma once
// The KNX object table of the images: one 20-byte entry per enabled row of the KNX access
// table, binding a KNX telegram to a place in the gateway's byte image.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

constexpr int KNX_Table_Size = 1024;
constexpr std::uint32_t KNX_Entry_Bytes = 20;

// Bits of KNX_Entry::Flags; bits 12..15 hold the conversion format code.
enum : std::uint16_t {
    KNX_Flag_On_Change = 1 << 0,
    KNX_Flag_ReTest = 1 << 1,
    KNX_Flag_On_Command = 1 << 3,
    KNX_Flag_Extended = 1 << 4,
    KNX_Flag_Group = 1 << 5,
    KNX_Flag_Bit_Mode = 1 << 6,
};

struct KNX_Entry {
    std::uint32_t Poll_Time = 0; // ms, when On_Timer
    std::uint32_t TimeOut = 0;   // ms
    std::uint8_t Priority = 0;   // 0 system, 1 normal, 2 urgent, 3 low
    std::uint8_t Length = 0;     // bytes, or bits in bit mode
    std::uint16_t Flags = 0;
    std::uint16_t APCI = 0; // 0 read, 128 write, or the number given
    std::uint16_t Source_Address = 0;
    std::uint16_t Destination_Address = 0;
    std::uint16_t Position = 0; // byte position, or byte position * 8 + start bit in bit mode
};

extern std::array<KNX_Entry, KNX_Table_Size> KNX_Table;

// Sets every entry to zero.
void Clear_KNX_Table();
// Reads the KNX access-table file at path into KNX_Table and the KNX counts of the settings
// records (the common, M-Bus and NMEA 2000 ones); a missing file gives an empty table. product_type
// decides the DMX exception of the APCI and command flags. More enabled rows than the table holds
// raise EImageError.
void Read_KNX_SetAccess(const std::string& path, int product_type);
// Writes all 1024 entries at position of buffer; returns position + 20480.
std::uint32_t Write_KNX_Table(std::uint32_t position, std::span<std::uint8_t> buffer);

// 16-bit encoding of a source or destination address text (group: main/middle/sub,
// main/sub or a number; individual: area.line.device or a number).
std::uint16_t KNX_Address_To_Int(std::string_view text, bool group);
// Encoding of the gateway's own individual address text; the caller keeps the low 16 bits.
int KNX_ID_To_Int(std::string_view text);
