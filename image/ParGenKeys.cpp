#include "image/ParGenKeys.h"

#include "image/KnxTable.h"
#include "image/ProjectFile.h"

std::array<std::uint8_t, 4> Octet_Keys(const TXmlNode& root, const std::string& prefix,
                                       const std::array<int, 4>& defaults) {
    std::array<std::uint8_t, 4> octets{};
    for (int i = 0; i < 4; ++i)
        octets[i] = std::uint8_t(Key_Int(root, prefix + std::to_string(i + 1), defaults[i]));
    return octets;
}

void Read_Network_Keys(const TXmlNode& root, TSettings_Block& block, const std::string& prefix,
                       const std::array<int, 4>& ip_defaults) {
    using namespace Block_Offset;
    const auto store = [&](std::uint32_t offset, const std::array<std::uint8_t, 4>& o) {
        block.Set_Octets(offset, o[0], o[1], o[2], o[3]);
    };
    store(IP_Address, Octet_Keys(root, prefix + "IP", ip_defaults));
    store(Subnet_Mask, Octet_Keys(root, prefix + "SM", {255, 255, 255, 0}));
    store(Gateway_Address, Octet_Keys(root, prefix + "GAT", {192, 168, 0, 1}));
    std::string enable;
    if (!(Key_Text(root, prefix + "EN_GAT", enable) && enable == "1"))
        block.Set_Octets(Gateway_Address, 255, 255, 255, 255);
}

std::uint16_t KNX_Address_Key(const TXmlNode& root, const std::string& name, std::uint16_t def) {
    std::string text;
    return Key_Text(root, name, text) ? std::uint16_t(KNX_ID_To_Int(text)) : def;
}

std::uint32_t Indexed_Rate(int index, std::initializer_list<std::uint32_t> rates,
                           std::uint32_t other) {
    return index >= 0 && std::size_t(index) < rates.size() ? rates.begin()[index] : other;
}

std::uint32_t Serial_Rate_Of_Index(int index) {
    return Indexed_Rate(index, {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200}, 9600);
}

std::uint32_t PGN_Bus_Bit_Rate(int index) {
    return Indexed_Rate(
        index, {10000, 20000, 50000, 100000, 125000, 250000, 500000, 800000, 1000000}, 250000);
}
