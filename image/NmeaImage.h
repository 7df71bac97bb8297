#pragma once
// The image of the NMEA 2000 gateway (product type 25): bank1.bin is the NMEA 2000 settings
// block; bank2.bin holds the receive and transmit PGN tables and then the KNX object table.
#include "image/SettingsBlock.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

constexpr int PGN_Table_Size = 512;
constexpr std::uint32_t PGN_Entry_Bytes = 32;
// Data bytes of all rows of one direction that the gateway's byte image holds.
constexpr std::uint32_t PGN_Max_Data_Bytes = 512;

// Bits of PGN_Entry::PGN_Flags.
enum : std::uint8_t {
    PGN_Flag_Transmit = 1 << 0,
    PGN_Flag_Multi_Frame = 1 << 1, // transport protocol (receive) or multi-frame by size
    PGN_Flag_Fast_Packet = 1 << 2,
    PGN_Flag_On_Timer = 1 << 4,
    PGN_Flag_On_Data_Change = 1 << 5,
    PGN_Flag_On_Request = 1 << 6,
};

// One parameter group bound to a run of bytes of the gateway byte image; the defaults are
// the empty entry.
struct PGN_Entry {
    std::uint32_t Identifier = 0xFFFFFFFF;
    std::uint32_t Send_Timer = 0xFFFFFFFF;
    std::uint32_t Data_Timeout = 0xFFFFFFFF;
    std::uint16_t Data_Offset = 0;
    std::uint16_t Start_Byte = 0;
    std::uint16_t Byte_Count = 0;
    std::uint32_t Request_Time = 0xFFFFFFFF;
    std::uint16_t Multi_Frame = 0;
    std::uint8_t PGN_Flags = 0;
};

extern TSettings_Block NMEA_Settings_Record;
// Receive data time-out in ms (NMEA2000_TIMEOUT seconds * 1000); goes into receive entries.
extern std::uint32_t Rx_Data_Timeout;
extern std::array<PGN_Entry, PGN_Table_Size> PGN_Rx_Table;
extern std::array<PGN_Entry, PGN_Table_Size> PGN_Tx_Table;

// The type-25 compile of the project in project_dir.
void Compile_NMEA(const std::string& project_dir);
void Init_NMEA_Settings();
// Reads the NMEA 2000 and network keys of the ParGen file at path.
void Read_ParGen_NMEA(const std::string& path);
// Reads both frame files into the PGN tables and stores the totals and counts. A file with
// more rows than a table holds, or more data bytes than a direction holds, raises
// EImageError.
void Read_NMEA_Frames(const std::string& rec_path, const std::string& send_path);
void Clear_PGN_Tables();
// Writes the 512 receive and then the 512 transmit entries at position of buffer; returns
// position + 32768.
std::uint32_t Write_PGN_Tables(std::uint32_t position, std::span<std::uint8_t> buffer);
// Stores the byte sum into the record, copies the 2048 record bytes to position of buffer
// and returns position + 2048.
std::uint32_t Write_NMEA_Settings(std::uint32_t position, std::span<std::uint8_t> buffer);
