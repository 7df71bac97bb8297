#pragma once
// The images of the gateways without a protocol table of their own: Modbus RTU slave (2),
// Modbus TCP slave (4), PROFINET (12, 1012), EtherNet/IP (13), KNXnet/IP (14, 1014) and SNMP
// (15). bank.bin is the KNX object table and the settings block, or only the settings block
// for KNXnet/IP.
#include <string>

// Characters of the name of station that its block field holds.
constexpr int Station_Name_Bytes = 16;

// Each reader stores its fixed values and then the keys of the ParGen file at path. The name of
// station is refused with EImageError when it is longer than its field.
void Read_ParGen_ModbusS(const std::string& path);
void Read_ParGen_ModbusTCPS(const std::string& path);
void Read_ParGen_PROFINET(const std::string& path);
void Read_ParGen_EtherNetIP(const std::string& path);
void Read_ParGen_KNXIP(const std::string& path);
void Read_ParGen_SNMP(const std::string& path);

// The compile of product_type (2, 4, 12, 1012, 13, 14, 1014 or 15) for the project in
// project_dir.
void Compile_Settings_Image(int product_type, const std::string& project_dir);
