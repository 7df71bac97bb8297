#include "image/SettingsBlock.h"

#include "image/ImageCompiler.h"
#include "image/LittleEndian.h"

#include "platform/base/SysUtils.h"

#include <algorithm>

TSettings_Block Settings_Record;

void TSettings_Block::Set_U8(std::uint32_t offset, std::uint32_t v) {
    Bytes.at(offset) = std::uint8_t(v);
}

void TSettings_Block::Set_U16(std::uint32_t offset, std::uint32_t v) {
    Put_U16(&Bytes.at(offset + 1) - 1, v);
}

void TSettings_Block::Set_U32(std::uint32_t offset, std::uint32_t v) {
    Put_U32(&Bytes.at(offset + 3) - 3, v);
}

void TSettings_Block::Set_Octets(std::uint32_t offset, std::uint8_t a, std::uint8_t b,
                                 std::uint8_t c, std::uint8_t d) {
    Set_U32(offset, std::uint32_t(a) | std::uint32_t(b) << 8 | std::uint32_t(c) << 16 |
                        std::uint32_t(d) << 24);
}

std::uint32_t TSettings_Block::U8(std::uint32_t offset) const {
    return Bytes.at(offset);
}

std::uint32_t TSettings_Block::U16(std::uint32_t offset) const {
    return Get_U16(&Bytes.at(offset + 1) - 1);
}

std::uint32_t TSettings_Block::U32(std::uint32_t offset) const {
    return Get_U32(&Bytes.at(offset + 3) - 3);
}

std::uint32_t Block_Sum(std::span<const std::uint8_t> block) {
    std::uint32_t sum = 0;
    const std::size_t n = std::min<std::size_t>(block.size(), Block_Sum_Offset);
    for (std::size_t i = 0; i < n; ++i) sum += block[i];
    return sum;
}

void Init_Shared_Settings(TSettings_Block& Block) {
    using namespace Block_Offset;
    Block.Clear();
    Block.Set_U32(12, 9600);
    Block.Set_Octets(IP_Address, 192, 168, 2, 205);
    Block.Set_Octets(Subnet_Mask, 255, 255, 255, 0);
    Block.Set_Octets(Gateway_Address, 255, 255, 255, 255);
    Block.Set_U16(52, 10000);
    Block.Set_U16(Server_Port, 10001);
    Block.Set_U16(Server_Port_2, 10001);
    for (std::uint32_t i = 0; i < 8; ++i) Block.Set_U8(Serial_Data_Bits + i, 8);
    Block.Set_U16(460, 3671);
    Block.Set_U16(KNX_Control_Port, 50000);
    Block.Set_U16(KNX_Tunnel_Port, 50001);
    Block.Set_U16(KNX_Management_Port, 50002);
}

void Init_Settings() {
    using namespace Block_Offset;
    TSettings_Block& r = Settings_Record;
    Init_Shared_Settings(r);
    r.Set_U32(Bus_Bit_Rate, 125000);
    r.Set_U16(16, 8);
    r.Set_U32(60, 9600);
    r.Set_U16(64, 8);
    r.Set_U32(404, 38400);
    r.Set_U8(431, 1);
    r.Set_U16(DMX_Channels_2, 512);
}

std::uint32_t Write_Settings_Block(const TSettings_Block& block, std::uint32_t position,
                                   std::span<std::uint8_t> buffer) {
    if (std::size_t(position) + Settings_Block_Size > buffer.size())
        throw ERangeError("The settings block does not fit into the image buffer");
    std::uint8_t* out = buffer.data() + position;
    std::copy(block.Bytes.begin(), block.Bytes.end(), out);
    Put_U32(out + Block_Sum_Offset,
            Block_Sum(std::span<const std::uint8_t>(out, Block_Sum_Offset)));
    return position + Settings_Block_Size;
}

void Write_Settings(std::uint32_t position) {
    TSettings_Block block = Settings_Record;
    // 1904..1911 is a gap between record fields, always written as zero bytes.
    std::fill(block.Bytes.begin() + 1904, block.Bytes.begin() + 1912, std::uint8_t(0));
    Write_Settings_Block(block, position, Image_Buffer);
}
