#pragma once
// The image of the CAN gateway (product type 5): bank.bin holds the CAN frame table, the KNX
// object table and the settings block.
#include <array>
#include <cstdint>
#include <string>

constexpr int CAN_Table_Size = 1024;
constexpr std::uint32_t CAN_Entry_Bytes = 32;
// Byte_Position of a data byte that has no place in the gateway byte image.
constexpr std::uint16_t CAN_No_Position = 0xFFFF;

// Bits of CAN_Entry::Frame_Flags.
enum : std::uint8_t {
    CAN_Flag_Transmit = 1 << 0,
    CAN_Flag_On_Change = 1 << 1,
    CAN_Flag_On_Timer = 1 << 2,
    CAN_Flag_On_Command = 1 << 3,
};

// One receive or transmit frame; the defaults are the cleared entry.
struct CAN_Entry {
    std::uint32_t COB_ID = 0; // bit 31 set for a 29-bit identifier
    std::uint32_t Send_Time = 0;
    std::uint32_t Time_Out = 0;
    std::uint8_t Frame_Flags = 0;
    std::uint8_t Dim = 0;
    std::array<std::uint16_t, 8> Byte_Position{CAN_No_Position, CAN_No_Position, CAN_No_Position,
                                               CAN_No_Position, CAN_No_Position, CAN_No_Position,
                                               CAN_No_Position, CAN_No_Position};
};

extern std::array<CAN_Entry, CAN_Table_Size> CAN_Table;

void Clear_CAN_Table();
void Read_ParGen_CAN(const std::string& path);
// Fills CAN_Table from the receive and then the transmit frame file and stores the count; more
// enabled rows than the table holds raise EImageError.
void Read_CAN_Frames(const std::string& rec_path, const std::string& send_path);
// Writes the 1024 entries into Image_Buffer at Image_Length and advances it.
void Write_CAN_Table();
void Compile_CAN(const std::string& project_dir);
