#include "image/SettingsBlock.h"
#include "image/ImageCompiler.h"

#include "ImageTestSupport.h"

namespace {

std::vector<std::uint8_t> writtenBlock() {
    Write_Settings(0);
    return std::vector<std::uint8_t>(Image_Buffer.begin(), Image_Buffer.begin() + 2048);
}

} // namespace

TEST(SettingsBlock, DefaultBlockHasTheDocumentedFieldsAndSum) {
    Init_Settings();
    const std::vector<std::uint8_t> b = writtenBlock();
    struct Case {
        std::size_t offset, width;
        std::uint32_t value;
    };
    const Case fields[] = {
        {0, 4, 125000},      {12, 4, 9600},        {16, 2, 8},           {40, 4, 0xCD02A8C0},
        {44, 4, 0x00FFFFFF}, {48, 4, 0xFFFFFFFF},  {52, 2, 10000},       {54, 2, 10001},
        {56, 2, 10001},      {60, 4, 9600},        {64, 2, 8},           {404, 4, 38400},
        {431, 1, 1},         {436, 4, 0x08080808}, {440, 4, 0x08080808}, {460, 2, 3671},
        {468, 2, 50000},     {470, 2, 50001},      {472, 2, 50002},      {478, 2, 512},
        {2044, 4, 4316},
    };
    for (const auto& f : fields) {
        const std::uint32_t v = f.width == 1   ? b[f.offset]
                                : f.width == 2 ? LE16(b, f.offset)
                                               : LE32(b, f.offset);
        EXPECT_EQ(v, f.value) << "offset " << f.offset;
    }
    EXPECT_EQ(b[2044], 0xDC);
    EXPECT_EQ(b[2045], 0x10);
    EXPECT_EQ(b[2046], 0x00);
    EXPECT_EQ(b[2047], 0x00);
}

TEST(SettingsBlock, SumFollowsEveryByteAndTheGapIsAlwaysZero) {
    Init_Settings();
    Settings_Record.Set_U8(100, 1);
    EXPECT_EQ(LE32(writtenBlock(), 2044), 4317u);
    Settings_Record.Set_U8(100, 200); // bytes above 127 add their unsigned value
    EXPECT_EQ(LE32(writtenBlock(), 2044), 4516u);

    Init_Settings();
    for (std::uint32_t i = 1904; i < 1912; ++i) Settings_Record.Set_U8(i, 0x55);
    const std::vector<std::uint8_t> b = writtenBlock();
    for (std::size_t i = 1904; i < 1912; ++i) EXPECT_EQ(b[i], 0) << i;
    EXPECT_EQ(LE32(b, 2044), 4316u);
}

TEST(SettingsBlock, SumCoversBytesUpTo2043Only) {
    std::vector<std::uint8_t> block(2048, 0xFF);
    EXPECT_EQ(Block_Sum(block), 2044u * 255u);
    block[2044] = 0; // the sum's own bytes are not summed
    EXPECT_EQ(Block_Sum(block), 2044u * 255u);
}
