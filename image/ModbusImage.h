#pragma once
// The images of the Modbus master gateways: RTU (product types 1 and 1001) and TCP (3 and
// 1003). bank.bin holds the request table, the KNX object table and the settings block.
#include <array>
#include <cstdint>
#include <string>

constexpr int Modbus_Table_Size = 1024;
constexpr std::uint32_t Modbus_Entry_Bytes = 32;

// Bits of Modbus_Entry::Request_Flags.
enum : std::uint8_t {
    Modbus_Flag_On_Change = 1 << 0,
    Modbus_Flag_Swap = 1 << 2,
    Modbus_Flag_On_Command = 1 << 4,
};

// One request of the gateway.
struct Modbus_Entry {
    std::uint16_t Position = 0; // byte of the gateway byte image where the data starts
    std::uint16_t Bit = 0;      // start bit in that byte (coils and inputs)
    std::uint32_t Poll_Time = 0;
    std::uint8_t Slave_ID = 0;
    std::uint8_t Function_Code = 0;
    std::uint16_t Address = 0;
    std::uint16_t NPoint = 0;
    std::uint16_t Slave_Port = 0; // TCP only
    std::uint32_t Slave_IP = 0;   // TCP only: a.b.c.d as a * 2^24 + b * 2^16 + c * 2^8 + d
    std::uint32_t Max_Error = 0;
    std::uint8_t Byte_Count = 0; // bytes of the gateway byte image the request covers
    std::uint8_t Request_Flags = 0;
};

extern std::array<Modbus_Entry, Modbus_Table_Size> Modbus_Table;
extern std::array<Modbus_Entry, Modbus_Table_Size> ModbusTCP_Table;

// The compiles of the project in project_dir.
void Compile_ModbusM(const std::string& project_dir);
void Compile_ModbusTCPM(const std::string& project_dir);

void Read_ParGen_ModbusM(const std::string& path);
void Read_ParGen_ModbusTCPM(const std::string& path);
// Read the access table at path into the request table and store the count. More enabled rows
// than the table holds, or a request whose points need more bytes than its one-byte count
// can say, raise EImageError.
void Read_ModbusM_SetAccess(const std::string& path);
void Read_ModbusTCPM_SetAccess(const std::string& path);
