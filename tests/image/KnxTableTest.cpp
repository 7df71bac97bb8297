#include "image/KnxTable.h"
#include "image/ImageCompiler.h"
#include "image/NmeaImage.h"
#include "image/SettingsBlock.h"

#include "ImageTestSupport.h"

#include <map>

namespace {

using Attributes = std::map<std::string, std::string>;

// A row of the KNX access table with every attribute the editor writes; overrides replace
// values, and a value of "<absent>" leaves the attribute out.
std::string knxRow(const Attributes& overrides = {}) {
    Attributes a = {
        {"Enable", "Y"},
        {"Source_Address", "1.1.1"},
        {"Destination_Address", "1/1/1"},
        {"APCI", "Write"},
        {"Priority", "Normal"},
        {"Format", "None"},
        {"Extended", "N"},
        {"ReTest", "N"},
        {"On_Command", "N"},
        {"On_Change", "N"},
        {"On_Timer", "N"},
        {"Poll_Time", "0"},
        {"Position", "0"},
        {"Bit_Mode", "No"},
        {"Length", "1"},
        {"TimeOut", "0"},
        {"Mnemonic", "m"},
    };
    for (const auto& [k, v] : overrides) a[k] = v;
    std::string row = "<row";
    for (const auto& [k, v] : a)
        if (v != "<absent>") row += " " + k + "=\"" + v + "\"";
    return row + "/>";
}

std::string knxFile(const std::string& rows) {
    return "<BACnet_to_KNX><KNX_in_Read/><KNX_in_Write>" + rows + "</KNX_in_Write></BACnet_to_KNX>";
}

class KnxTable : public ::testing::Test {
protected:
    // Reads the file text as the type-25 compile does and returns the number of entries.
    std::uint32_t read(const std::string& text, int productType = 25) {
        project.Write("KNX_SetAccess.xml", text);
        Clear_KNX_Table();
        Read_KNX_SetAccess(project.Path("KNX_SetAccess.xml"), productType);
        return Settings_Record.U32(Block_Offset::KNX_Entry_Count);
    }
    KNX_Entry readOne(const Attributes& overrides) {
        EXPECT_EQ(read(knxFile(knxRow(overrides))), 1u);
        return KNX_Table[0];
    }
    TempProject project;
};

} // namespace

TEST(KnxAddress, EncodesSourceAndDestinationTexts) {
    struct Case {
        const char* text;
        bool group;
        std::uint16_t value;
    };
    const Case cases[] = {
        {"1/2/3", true, 0x0A03},    {"1/2", true, 0x0802},        {"31/7/255", true, 0xFFFF},
        {"31/2047", true, 0xFFFF},  {"4660", true, 4660},         {" 1 / 2 / 3 ", true, 0x0A03},
        {"33/9/300", true, 0x092C}, // each part masked: 1, 1, 44
        {"1/2/3/4", true, 0x0A00},  // c = "3/4" fails: 0
        {"-1/0", true, 0xF800},     // masks apply to the two's complement
        {"1.1.5", false, 0x1105},   {"15.15.255", false, 0xFFFF}, {"1.5", false, 0x1005},
        {"1/2/3", false, 0},        {"4660", false, 4660},        {"", false, 0},
        {"17.1.1", false, 0x1101},  {"1.2.3.4", false, 0x1200},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KNX_Address_To_Int(c.text, c.group), c.value)
            << '"' << c.text << "\" group=" << c.group;
}

TEST(KnxAddress, EncodesTheGatewaysOwnAddress) {
    struct Case {
        const char* text;
        int value;
    };
    const Case
        cases[] =
            {
                {"1.1.200", 4552}, {"15.15.255", 65535}, {"1.5", 4357},   {"9.0.1", 36865},
                {"", 4372},        {"abc", 4372},        {"x.y.z", 4372}, {"4660", 4660},
                {"16.0.0", 65536}, // not masked: the caller keeps the low 16 bits
            };
    for (const auto& c : cases) EXPECT_EQ(KNX_ID_To_Int(c.text), c.value) << '"' << c.text << '"';
}

TEST_F(KnxTable, EnableDecidesWhichRowsTakeAnEntry) {
    const std::string rows = knxRow({{"Enable", " y "}, {"Position", "1"}}) +
                             knxRow({{"Enable", "N"}, {"Position", "2"}}) +
                             knxRow({{"Enable", ""}, {"Position", "3"}}) +
                             knxRow({{"Enable", "<absent>"}, {"Position", "4"}});
    ASSERT_EQ(read(knxFile(rows)), 2u);
    EXPECT_EQ(KNX_Table[0].Position, 1);
    EXPECT_EQ(KNX_Table[1].Position, 4); // a row without Enable counts as enabled
    EXPECT_EQ(KNX_Table[2].Position, 0);
    EXPECT_EQ(NMEA_Settings_Record.U32(Block_Offset::KNX_Entry_Count), 2u);
    EXPECT_EQ(NMEA_Settings_Record.U32(Block_Offset::KNX_Read_Count), 0u);
}

TEST_F(KnxTable, DisabledRowsAreNotReadBeyondEnable) {
    EXPECT_EQ(read(knxFile("<row Enable=\"N\"/>" + knxRow())), 1u);
}

TEST_F(KnxTable, DestinationWithoutDotIsAGroupAddress) {
    struct Case {
        const char* destination;
        std::uint16_t encoded;
        bool group;
    };
    const Case cases[] = {
        {"1/2/3", 0x0A03, true},
        {"1/2", 0x0802, true},
        {"1.1.5", 0x1105, false},
        {"4660", 4660, true},
    };
    for (const auto& c : cases) {
        const KNX_Entry e = readOne({{"Destination_Address", c.destination}});
        EXPECT_EQ(e.Destination_Address, c.encoded) << c.destination;
        EXPECT_EQ((e.Flags & KNX_Flag_Group) != 0, c.group) << c.destination;
    }
    EXPECT_EQ(readOne({{"Source_Address", "1/2/3"}}).Source_Address, 0);
}

TEST_F(KnxTable, FlagTextsSetTheirBits) {
    struct Case {
        const char* attribute;
        const char* text;
        std::uint16_t bit;
    };
    const Case cases[] = {
        {"On_Change", "y", KNX_Flag_On_Change},
        {"ReTest", "Y", KNX_Flag_ReTest},
        {"On_Command", "y", KNX_Flag_On_Command},
        {"Extended", "Y", KNX_Flag_Extended},
        {"On_Change", " Y", 0}, // only Enable is trimmed
    };
    for (const auto& c : cases) {
        const KNX_Entry e = readOne({{c.attribute, c.text}, {"Destination_Address", "1.1.1"}});
        EXPECT_EQ(e.Flags, c.bit) << c.attribute << "=\"" << c.text << '"';
    }
}

TEST_F(KnxTable, ConvertsServicePriorityFormatAndTimes) {
    struct Case {
        Attributes row;
        std::uint16_t apci;
        std::uint8_t priority;
        std::uint16_t format;
        std::uint32_t pollTime, timeOut;
    };
    const Case cases[] = {
        {{{"APCI", "write"}}, 128, 1, 0, 0, 0},
        {{{"APCI", "Read"}, {"Priority", "system"}}, 0, 0, 0, 0, 0},
        {{{"APCI", "12"}, {"Priority", "URGENT"}}, 12, 2, 0, 0, 0},
        {{{"APCI", "abc"}, {"Priority", "low"}}, 0, 3, 0, 0, 0},
        {{{"Format", "Swap All"}}, 128, 1, 0x3000, 0, 0},
        {{{"Format", "float16 to int * 100"}}, 128, 1, 0x9000, 0, 0},
        {{{"Format", "<absent>"}}, 128, 1, 0, 0, 0},
        {{{"On_Timer", "Y"}, {"Poll_Time", "2500"}}, 128, 1, 0, 2500, 0},
        {{{"On_Timer", "y"}, {"Poll_Time", "soon"}}, 128, 1, 0, 1000, 0},
        {{{"On_Timer", "Y"}, {"Poll_Time", "<absent>"}}, 128, 1, 0, 0, 0},
        {{{"On_Timer", "N"}, {"Poll_Time", "2500"}}, 128, 1, 0, 0, 0},
        {{{"On_Timer", "<absent>"}}, 128, 1, 0, 0, 0},
        {{{"TimeOut", "3000"}}, 128, 1, 0, 0, 3000},
        {{{"TimeOut", "<absent>"}}, 128, 1, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const KNX_Entry e = readOne(c.row);
        EXPECT_EQ(e.APCI, c.apci) << knxRow(c.row);
        EXPECT_EQ(e.Priority, c.priority) << knxRow(c.row);
        EXPECT_EQ(e.Flags & 0xF000, c.format) << knxRow(c.row);
        EXPECT_EQ(e.Poll_Time, c.pollTime) << knxRow(c.row);
        EXPECT_EQ(e.TimeOut, c.timeOut) << knxRow(c.row);
    }
}

TEST_F(KnxTable, BitModeTurnsThePositionIntoABitPosition) {
    struct Case {
        const char* bitMode;
        const char* position;
        const char* length;
        std::uint16_t expected;
        bool bitFlag;
        std::uint8_t expectedLength;
    };
    const Case cases[] = {
        {"No", "10", "2", 10, false, 2},     {"NO", "bad", "x", 0, false, 1},
        {"3", "10", "1", 83, true, 1},       {"x", "10", "300", 80, true, 44},
        {"7", "8191", "1", 0xFFFF, true, 1}, // computed in 16 bits
    };
    for (const auto& c : cases) {
        const KNX_Entry e =
            readOne({{"Bit_Mode", c.bitMode}, {"Position", c.position}, {"Length", c.length}});
        EXPECT_EQ(e.Position, c.expected) << c.bitMode << " " << c.position;
        EXPECT_EQ((e.Flags & KNX_Flag_Bit_Mode) != 0, c.bitFlag) << c.bitMode;
        EXPECT_EQ(e.Length, c.expectedLength) << c.length;
    }
}

TEST_F(KnxTable, DmxWithoutChannelsReadsNeitherServiceNorCommandFlags) {
    Init_Settings(); // DMX_Channels 0
    const std::string row =
        knxRow({{"APCI", "<absent>"}, {"On_Change", "<absent>"}, {"On_Command", "Y"}});
    for (int type : {11, 1011}) {
        ASSERT_EQ(read(knxFile(row), type), 1u) << type;
        EXPECT_EQ(KNX_Table[0].APCI, 0);
        EXPECT_EQ(KNX_Table[0].Flags & (KNX_Flag_On_Command | KNX_Flag_On_Change), 0);
    }
    EXPECT_THROW(read(knxFile(row), 25), EImageError);
    Settings_Record.Set_U16(Block_Offset::DMX_Channels, 16);
    EXPECT_THROW(read(knxFile(row), 11), EImageError);
    Init_Settings();
}

TEST_F(KnxTable, MissingUnguardedAttributeOrSectionEndsTheRead) {
    const char* unguarded[] = {"APCI",     "Priority",       "Extended",  "Destination_Address",
                               "ReTest",   "Source_Address", "On_Change", "Bit_Mode",
                               "Position", "Length"};
    for (const char* name : unguarded) {
        try {
            read(knxFile(knxRow() + knxRow({{name, "<absent>"}})));
            ADD_FAILURE() << name << " missing must raise";
        } catch (const EImageError& e) {
            EXPECT_NE(e.Message().find("row 2"), std::string::npos) << e.Message();
            EXPECT_NE(e.Message().find(name), std::string::npos) << e.Message();
        }
    }
    try {
        read("<BACnet_to_KNX><KNX_in_Read/></BACnet_to_KNX>");
        ADD_FAILURE() << "a missing section must raise";
    } catch (const EImageError& e) {
        EXPECT_NE(e.Message().find("KNX_in_Write"), std::string::npos) << e.Message();
    }
}

TEST_F(KnxTable, RefusesMoreEnabledRowsThanTheTableHolds) {
    std::string full;
    for (int i = 0; i < KNX_Table_Size; ++i) full += knxRow();
    EXPECT_EQ(read(knxFile(full + knxRow({{"Enable", "N"}}))), 1024u);
    try {
        read(knxFile(full + knxRow()));
        FAIL() << "1025 enabled rows must be refused";
    } catch (const EImageError& e) {
        EXPECT_NE(e.Message().find("KNX_SetAccess.xml"), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find("1024"), std::string::npos) << e.Message();
    }
}

TEST_F(KnxTable, WritesTwentyByteEntriesLittleEndian) {
    const KNX_Entry e = readOne({{"On_Timer", "Y"},
                                 {"Poll_Time", "5000"},
                                 {"TimeOut", "3000"},
                                 {"Priority", "Low"},
                                 {"Length", "2"},
                                 {"ReTest", "Y"},
                                 {"Format", "SWAP16"},
                                 {"Source_Address", "1.1.5"},
                                 {"Destination_Address", "1/2/3"},
                                 {"Position", "10"}});
    (void)e;
    std::vector<std::uint8_t> buffer(20480 + 4, 0xEE);
    EXPECT_EQ(Write_KNX_Table(4, buffer), 20484u);
    const std::vector<std::uint8_t> expected = {0x88, 0x13, 0,    0,    0xB8, 0x0B, 0,
                                                0,    3,    2,    0x22, 0x10, 0x80, 0,
                                                0x05, 0x11, 0x03, 0x0A, 0x0A, 0};
    EXPECT_EQ(std::vector<std::uint8_t>(buffer.begin() + 4, buffer.begin() + 24), expected);
    for (std::size_t i = 24; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 0) << i;
}
