#pragma once
// The image of the DMX gateway (product types 11 and 1011): bank.bin holds the KNX table, the
// settings block and the 512 channel default values of DMX_Default_Values.xml.
#include <array>
#include <cstdint>
#include <string>

constexpr int DMX_Channel_Count = 512;
// Flash address of the default block; the PROFINET, SNMP and EtherNet/IP blocks name it too.
constexpr std::uint32_t DMX_Table_Flash = 0x68800;

// Byte i is the default value of channel i + 1.
extern std::array<std::uint8_t, DMX_Channel_Count> DMX_Default_Block;

void Read_ParGen_DMX(const std::string& path);
// Fills DMX_Default_Block from the default-value file at path, row i into byte i; a missing
// file, a missing row and a row without a number leave 0.
void Read_DMX_Default_Values(const std::string& path);
// Writes the 512 bytes into Image_Buffer at Image_Length and advances it.
void Write_DMX_Default_Block();
void Compile_DMX(int product_type, const std::string& project_dir);
