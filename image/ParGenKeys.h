#pragma once
// Keys of the communication-parameter file that several image variants read the same way.
#include "image/SettingsBlock.h"

#include "platform/xml/XmlDoc.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>

// The low 8 bits of each of the four keys prefix + "1" .. prefix + "4", each with its own
// default when it is missing or does not convert.
std::array<std::uint8_t, 4> Octet_Keys(const TXmlNode& root, const std::string& prefix,
                                       const std::array<int, 4>& defaults);

// The address, mask and gateway keys prefix + "IP1".."IP4", "SM1".."SM4" and "GAT1".."GAT4"
// into the block's IP_Address, Subnet_Mask and Gateway_Address; the gateway becomes
// 255.255.255.255 unless prefix + "EN_GAT" is exactly "1".
void Read_Network_Keys(const TXmlNode& root, TSettings_Block& block, const std::string& prefix,
                       const std::array<int, 4>& ip_defaults = {192, 168, 0, 5});

// The KNX individual address of key name (KNX_ID_To_Int), low 16 bits; def when it is missing.
std::uint16_t KNX_Address_Key(const TXmlNode& root, const std::string& name, std::uint16_t def);

// rates[index], or other for an index outside the list.
std::uint32_t Indexed_Rate(int index, std::initializer_list<std::uint32_t> rates,
                           std::uint32_t other);

// The bit rates of the serial Modbus ports by list index; any other index gives 9600.
std::uint32_t Serial_Rate_Of_Index(int index);
// The CAN bus bit rates of the NMEA 2000 and J1939 lists; any other index gives 250000.
std::uint32_t PGN_Bus_Bit_Rate(int index);
