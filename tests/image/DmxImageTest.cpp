// The DMX gateway's bank.bin: KNX table, settings block and the 512 channel defaults.
#include "image/DmxImage.h"
#include "image/ImageCompiler.h"
#include "image/SettingsBlock.h"

#include "ImageTestSupport.h"

namespace {

constexpr std::size_t Settings_At = 20480;
constexpr std::size_t Defaults_At = 22528;

std::string defaultsFile(int rows, const std::string& value) {
    std::string text = "<DMX_Default_Values>";
    for (int i = 0; i < rows; ++i)
        text += Row(
            {{"Default_Value", value.empty() ? std::to_string(i % 256) : value}, {"Mnemonic", "m"}},
            "Row");
    return text + "</DMX_Default_Values><!--SW_VERSION = 1.104-->";
}

Bytes compile(const TempProject& project, int type = 11) {
    Compile_Bank(type, project.Dir());
    Save_Bank(type, project.Dir());
    return project.Read("bin/bank.bin");
}

} // namespace

TEST(DmxImage, EmptyProjectGivesDefaultsAndTheThreeFlashAddresses) {
    TempProject project;
    const Bytes bank = compile(project);
    ASSERT_EQ(bank.size(), 23040u);
    EXPECT_EQ(std::count(bank.begin(), bank.begin() + Settings_At, 0), 20480);
    EXPECT_EQ(LE32(bank, Settings_At + 444), 0x63000u);
    EXPECT_EQ(LE32(bank, Settings_At + 448), 0x63000u);
    EXPECT_EQ(LE32(bank, Settings_At + 480), 0x68800u);
    EXPECT_EQ(std::count(bank.begin() + Defaults_At, bank.end(), 0), 512);
    const std::span<const std::uint8_t> block(bank.data() + Settings_At, 2048);
    EXPECT_EQ(LE32(bank, Settings_At + 2044), Block_Sum(block));
}

TEST(DmxImage, DirectionPutsTheChannelCountIntoOneField) {
    struct Case {
        const char* dmx;
        std::uint32_t in, out;
    };
    const Case cases[] = {{"0", 24, 0}, {"1", 0, 24}, {"x", 0, 24}};
    for (const Case& c : cases) {
        TempProject project;
        project.Write("ParGen.xml", ParGen({{"DMX_DMX", c.dmx},
                                            {"DMX_Num_Channels", "24"},
                                            {"KNX_ID_DEV", "1.1.7"},
                                            {"Modbus_TCP_Slave_IP1", "10"},
                                            {"Modbus_TCP_Slave_EN_GAT", "1"}}));
        const Bytes bank = compile(project);
        EXPECT_EQ(LE16(bank, Settings_At + 476), c.in) << c.dmx;
        EXPECT_EQ(LE16(bank, Settings_At + 478), c.out) << c.dmx;
        EXPECT_EQ(LE16(bank, Settings_At + 462), 0x1107u);
        EXPECT_EQ(bank[Settings_At + 40], 10);
        EXPECT_EQ(bank[Settings_At + 48], 192);
        EXPECT_EQ(LE32(bank, Settings_At + 480), 0x68800u);
    }
    TempProject noCount;
    noCount.Write("ParGen.xml", ParGen({{"DMX_DMX", "0"}}));
    EXPECT_EQ(LE16(compile(noCount), Settings_At + 476), 512u);
}

TEST(DmxImage, DefaultValuesFillTheLastBlock) {
    struct Case {
        int rows;
        std::string value; // empty: row number mod 256
        int filled;
        std::uint8_t first;
    };
    const Case cases[] = {
        {24, "", 24, 0}, {600, "", 512, 0}, {3, "300", 3, 44}, {3, "abc", 3, 0}, {2, "0x10", 2, 16},
    };
    for (const Case& c : cases) {
        TempProject project;
        project.Write("DMX_Default_Values.xml", defaultsFile(c.rows, c.value));
        const Bytes bank = compile(project, 1011);
        ASSERT_EQ(bank.size(), 23040u);
        for (int i = 0; i < 512; ++i) {
            const std::uint8_t expected = i >= c.filled     ? 0
                                          : c.value.empty() ? std::uint8_t(i % 256)
                                                            : c.first;
            ASSERT_EQ(bank[Defaults_At + std::size_t(i)], expected) << c.rows << " row " << i;
        }
    }
}

TEST(DmxImage, RowWithoutDefaultValueGivesZeroAndTheNextRowsStillCount) {
    TempProject project;
    project.Write("DMX_Default_Values.xml",
                  "<DMX_Default_Values><Row Default_Value=\"5\"/><Row Mnemonic=\"a\"/>"
                  "<Row Default_Value=\"7\"/></DMX_Default_Values>");
    const Bytes bank = compile(project);
    EXPECT_EQ(bank[Defaults_At], 5);
    EXPECT_EQ(bank[Defaults_At + 1], 0);
    EXPECT_EQ(bank[Defaults_At + 2], 7);
}

TEST(DmxImage, CompileStartsFromZeroes) {
    TempProject project;
    project.Write("DMX_Default_Values.xml", defaultsFile(10, "9"));
    compile(project);
    DeleteFile(project.Path("DMX_Default_Values.xml"));
    const Bytes bank = compile(project);
    EXPECT_EQ(std::count(bank.begin() + Defaults_At, bank.end(), 0), 512);
}

TEST(DmxImage, MalformedDefaultsFileEndsTheCompile) {
    TempProject project;
    project.Write("DMX_Default_Values.xml", "<DMX_Default_Values><Row>");
    EXPECT_THROW(Compile_Bank(11, project.Dir()), EImageError);
}
