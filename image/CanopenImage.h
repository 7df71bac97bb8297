#pragma once
// The image of the CANopen gateway (product type 6): bank.bin holds six object tables (SDO
// server read and write, SDO client read and write, receive and transmit PDOs), the KNX object
// table and the settings block.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint32_t CANopen_Entry_Bytes = 32;
constexpr std::uint16_t CANopen_No_Address = 0xFFFF;

// One SDO or PDO of a table; the defaults are the cleared entry.
struct CANopen_Entry {
    std::uint32_t COB_ID = 0;
    std::uint16_t Index = 0;
    std::uint8_t SubIndex = 0;
    std::uint8_t Device_ID = 0;
    std::uint32_t Timing = 0; // poll time, time-out or send time
    std::array<std::uint16_t, 8> Byte_Address{
        CANopen_No_Address, CANopen_No_Address, CANopen_No_Address, CANopen_No_Address,
        CANopen_No_Address, CANopen_No_Address, CANopen_No_Address, CANopen_No_Address};
    std::uint8_t NByte = 0;
    std::uint8_t Transfer_Mode = 0;
};

// The six tables in image order.
enum CANopen_Table_Index {
    SDO_Server_Read,
    SDO_Server_Write,
    SDO_Client_Read,
    SDO_Client_Write,
    RPDO,
    TPDO,
    CANopen_Table_Count
};

// Entries of each table, in image order.
constexpr std::array<int, CANopen_Table_Count> CANopen_Table_Sizes = {512, 512, 256, 256, 128, 128};

extern std::array<std::vector<CANopen_Entry>, CANopen_Table_Count> CANopen_Tables;

void Clear_CANopen_Tables();
void Read_ParGen_CANopen(const std::string& path);
// Fills the six tables from the SDO server, SDO client and PDO files of project_dir and stores
// their counts; a section with more rows than its table holds raises EImageError.
void Read_CANopen_Files(const std::string& project_dir);
// Writes the six tables into Image_Buffer at Image_Length and advances it.
void Write_CANopen_Tables();
void Compile_CANopen(const std::string& project_dir);
