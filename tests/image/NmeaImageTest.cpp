#include "image/NmeaImage.h"
#include "image/ImageCompiler.h"

#include "ImageTestSupport.h"

#include <map>

namespace {

using Attributes = std::map<std::string, std::string>;

std::string row(const Attributes& attributes) {
    std::string text = "<row";
    for (const auto& [k, v] : attributes) text += " " + k + "=\"" + v + "\"";
    return text + "/>";
}

std::string frames(const std::string& rows) {
    return "<Receive_NMEA_2000>" + rows + "</Receive_NMEA_2000><!--SW_VERSION = 1.000-->";
}

std::string parGen(const Attributes& keys) {
    std::string text = "<Par_Gen>";
    for (const auto& [k, v] : keys) text += "<" + k + ">" + v + "</" + k + ">";
    return text + "</Par_Gen>";
}

class NmeaImage : public ::testing::Test {
protected:
    void compile() { Compile_Bank(25, project.Dir()); }
    std::uint32_t block(std::uint32_t offset) { return NMEA_Settings_Record.U32(offset); }
    TempProject project;
};

} // namespace

TEST_F(NmeaImage, ReceiveIdentifierFollowsPeerToPeerMode) {
    project.Write("NMEA_Rec_Frames.xml",
                  frames(row({{"PGN", "127250"}, {"SA", "5"}}) + row({{"PGN", "127250"}})));
    compile();
    EXPECT_EQ(PGN_Rx_Table[0].Identifier, 0x01F11205u);
    EXPECT_EQ(PGN_Rx_Table[1].Identifier, 0x01F11200u); // a missing SA adds nothing

    project.Write("ParGen.xml", parGen({{"NMEA2000_PEER_TO_PEER", "1"}}));
    compile();
    EXPECT_EQ(PGN_Rx_Table[0].Identifier, 0x01F11200u);
    EXPECT_EQ(block(Block_Offset::PGN_Options), 1u);
}

TEST_F(NmeaImage, ReceiveRowsGetConsecutiveDataRunsAndTheirOptions) {
    project.Write("ParGen.xml", parGen({{"NMEA2000_TIMEOUT", "30"}}));
    project.Write("NMEA_Rec_Frames.xml",
                  frames(row({{"PGN", "1"}, {"TP_NByte", "8"}, {"Delete", "Y"}, {"TP", "Y"}}) +
                         row({{"PGN", "2"},
                              {"TP_NByte", "20"},
                              {"Delete", "N"},
                              {"FP", "Y"},
                              {"TP_Start", "3"}}) +
                         row({{"PGN", "3"}, {"TP_NByte", "4"}, {"Delete", "y"}, {"TP", "y"}})));
    compile();
    struct Case {
        std::uint16_t offset, start, count;
        std::uint32_t timeout;
        std::uint8_t flags;
    };
    const Case cases[] = {{0, 0, 8, 30000, 0x02}, {8, 3, 20, 0, 0x04}, {28, 0, 4, 0, 0x00}};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const PGN_Entry& e = PGN_Rx_Table[i];
        EXPECT_EQ(e.Data_Offset, cases[i].offset) << i;
        EXPECT_EQ(e.Start_Byte, cases[i].start) << i;
        EXPECT_EQ(e.Byte_Count, cases[i].count) << i;
        EXPECT_EQ(e.Data_Timeout, cases[i].timeout) << i; // flags compared exactly: "y" is no
        EXPECT_EQ(e.PGN_Flags, cases[i].flags) << i;
        EXPECT_EQ(e.Send_Timer, 0xFFFFFFFFu) << i;
    }
    EXPECT_EQ(block(Block_Offset::Input_Size), 32u);
    EXPECT_EQ(block(Block_Offset::Rx_PGN_Count), 3u);
    EXPECT_EQ(PGN_Rx_Table[3].Identifier, 0xFFFFFFFFu);
}

TEST_F(NmeaImage, TransmitRowsSetIdentifierTimerAndFrameFlags) {
    struct Case {
        Attributes row;
        std::uint32_t identifier, sendTimer;
        std::uint16_t multiFrame, count;
        std::uint8_t flags;
    };
    const Case cases[] = {
        {{{"Priority", "2"}, {"PGN", "127250"}, {"SA", "5"}}, 0x09F11205, 0, 0, 8, 0x01},
        {{{"Priority", "x"}, {"PGN", "127250"}, {"SA", "5"}}, 0x01F11205, 0, 0, 8, 0x01},
        {{{"Priority", "2"}, {"SA", "5"}}, 0x08000005, 0, 0, 8, 0x01},
        {{{"Priority", "2"}, {"PGN", "127250"}}, 0x09F11200, 0, 0, 8, 0x01},
        {{{"FP", "N"}, {"TP_NByte", "9"}}, 0, 0, 1, 9, 0x03},
        {{{"FP", "N"}, {"TP_NByte", "8"}}, 0, 0, 0, 8, 0x01},
        {{{"FP", "Y"}, {"TP_NByte", "20"}}, 0, 0, 1, 20, 0x05},
        {{{"FP", "Y"}, {"TP_NByte", "233"}}, 0, 0, 1, 233, 0x05},
        {{{"FP", "Y"}, {"TP_NByte", "234"}}, 0, 0, 1, 234, 0x07},
        {{{"FP", "y"}, {"TP_NByte", "20"}}, 0, 0, 1, 20, 0x03}, // FP is compared exactly
        {{{"On_Timer", "y"}, {"SendTimer", "1000"}}, 0, 1000, 0, 8, 0x11},
        {{{"On_Timer", "N"}, {"SendTimer", "1000"}}, 0, 0, 0, 8, 0x01},
        {{{"On_Timer", "Y"}, {"SendTimer", "soon"}}, 0, 0, 0, 8, 0x11},
        {{{"On_Data_Change", "Y"}, {"On_Request", "y"}}, 0, 0, 0, 8, 0x61},
    };
    for (const auto& c : cases) {
        project.Write("NMEA_Send_Frames.xml", frames(row(c.row)));
        compile();
        const PGN_Entry& e = PGN_Tx_Table[0];
        EXPECT_EQ(e.Identifier, c.identifier) << row(c.row);
        EXPECT_EQ(e.Send_Timer, c.sendTimer) << row(c.row);
        EXPECT_EQ(e.Multi_Frame, c.multiFrame) << row(c.row);
        EXPECT_EQ(e.Byte_Count, c.count) << row(c.row);
        EXPECT_EQ(e.PGN_Flags, c.flags) << row(c.row);
        EXPECT_EQ(e.Data_Timeout, 0xFFFFFFFFu) << row(c.row);
        EXPECT_EQ(e.Start_Byte, 0) << row(c.row);
    }
}

TEST_F(NmeaImage, FastPacketTransmitRowMustGiveItsSize) {
    project.Write("NMEA_Send_Frames.xml", frames(row({{"FP", "Y"}})));
    EXPECT_THROW(compile(), EImageError);
    project.Write("NMEA_Send_Frames.xml", frames(row({{"FP", "N"}})));
    EXPECT_NO_THROW(compile());
    EXPECT_EQ(PGN_Tx_Table[0].Byte_Count, 8);
}

TEST_F(NmeaImage, ParametersFillTheSettingsBlock) {
    struct Case {
        const char* baudrate;
        std::uint32_t bitRate;
    };
    const Case rates[] = {{"0", 10000},  {"4", 125000},  {"5", 250000},  {"8", 1000000},
                          {"9", 250000}, {"-1", 250000}, {"abc", 250000}};
    for (const auto& c : rates) {
        project.Write("ParGen.xml", parGen({{"NMEA2000_BAUDRATE", c.baudrate}}));
        compile();
        EXPECT_EQ(block(Block_Offset::Bus_Bit_Rate), c.bitRate) << c.baudrate;
    }

    project.Write("ParGen.xml", parGen({{"Modbus_TCP_Slave_IP1", "10"},
                                        {"Modbus_TCP_Slave_IP4", "263"},
                                        {"Modbus_TCP_Slave_GAT1", "10"},
                                        {"Modbus_TCP_Slave_EN_GAT", "1"},
                                        {"NMEA2000_ID_Device", "35"},
                                        {"KNX_ID_DEV", "1.1.200"}}));
    compile();
    EXPECT_EQ(block(Block_Offset::IP_Address), 0x0700A80Au); // 10.168.0.7
    EXPECT_EQ(block(Block_Offset::Subnet_Mask), 0x00FFFFFFu);
    EXPECT_EQ(block(Block_Offset::Gateway_Address), 0x0100A80Au); // 10.168.0.1
    EXPECT_EQ(block(Block_Offset::Device_ID), 35u);
    EXPECT_EQ(NMEA_Settings_Record.U16(Block_Offset::KNX_Address), 4552u);

    // With the file present, missing keys take the reader's defaults.
    for (const char* enGat : {"0", "", "Y"}) {
        project.Write("ParGen.xml", parGen({{"Modbus_TCP_Slave_GAT1", "10"},
                                            {"Modbus_TCP_Slave_EN_GAT", enGat}}));
        compile();
        EXPECT_EQ(block(Block_Offset::Gateway_Address), 0xFFFFFFFFu) << enGat;
        EXPECT_EQ(block(Block_Offset::IP_Address), 0x0500A8C0u);                // 192.168.0.5
        EXPECT_EQ(NMEA_Settings_Record.U16(Block_Offset::KNX_Address), 36865u); // 9.0.1
        EXPECT_EQ(Rx_Data_Timeout, 0u);
    }
}

TEST_F(NmeaImage, RefusesMoreRowsOrDataBytesThanADirectionHolds) {
    std::string rows512;
    for (int i = 0; i < 512; ++i) rows512 += row({{"PGN", "1"}, {"TP_NByte", "1"}});
    struct Case {
        const char* file;
        std::string text;
        const char* limit;
    };
    const Case cases[] = {
        {"NMEA_Rec_Frames.xml", frames(rows512 + row({{"PGN", "1"}, {"TP_NByte", "0"}})), "512"},
        {"NMEA_Send_Frames.xml", frames(rows512 + row({{"PGN", "1"}, {"TP_NByte", "0"}})), "512"},
        {"NMEA_Rec_Frames.xml", frames(row({{"TP_NByte", "500"}}) + row({{"TP_NByte", "13"}})),
         "512"},
        {"NMEA_Send_Frames.xml", frames(row({{"TP_NByte", "500"}}) + row({{"TP_NByte", "13"}})),
         "512"},
        {"NMEA_Send_Frames.xml", frames(row({{"TP_NByte", "-1"}})), "512"},
        // Counted as given, not by the low 16 bits that would be stored (4).
        {"NMEA_Rec_Frames.xml", frames(row({{"TP_NByte", "65540"}})), "512"},
        {"NMEA_Send_Frames.xml", frames(row({{"TP_NByte", "65540"}})), "512"},
        {"NMEA_Send_Frames.xml", frames(row({{"FP", "Y"}, {"TP_NByte", "65540"}})), "512"},
    };
    for (const auto& c : cases) {
        TempProject p;
        p.Write(c.file, c.text);
        try {
            Compile_Bank(25, p.Dir());
            ADD_FAILURE() << c.file << " must be refused";
        } catch (const EImageError& e) {
            EXPECT_NE(e.Message().find(c.file), std::string::npos) << e.Message();
            EXPECT_NE(e.Message().find(c.limit), std::string::npos) << e.Message();
        }
    }
    // Exactly at the limits is fine.
    project.Write("NMEA_Rec_Frames.xml", frames(rows512));
    project.Write("NMEA_Send_Frames.xml",
                  frames(row({{"TP_NByte", "500"}}) + row({{"TP_NByte", "12"}})));
    EXPECT_NO_THROW(compile());
    EXPECT_EQ(block(Block_Offset::Rx_PGN_Count), 512u);
    EXPECT_EQ(block(Block_Offset::Input_Size), 512u);
    EXPECT_EQ(block(Block_Offset::Output_Size), 512u);
}

TEST(NmeaSettings, DefaultBlockHasItsOwnRatesAndTheSharedNetworkFields) {
    Init_NMEA_Settings();
    const TSettings_Block& r = NMEA_Settings_Record;
    struct Case {
        std::uint32_t offset, width, value;
    };
    const Case fields[] = {
        {0, 4, 250000},      {4, 4, 250000},      {12, 4, 9600},        {16, 2, 0},
        {40, 4, 0xCD02A8C0}, {44, 4, 0x00FFFFFF}, {48, 4, 0xFFFFFFFF},  {52, 2, 10000},
        {54, 2, 10001},      {56, 2, 10001},      {60, 4, 0},           {64, 2, 0},
        {404, 4, 0},         {431, 1, 0},         {436, 4, 0x08080808}, {440, 4, 0x08080808},
        {460, 2, 3671},      {468, 2, 50000},     {470, 2, 50001},      {472, 2, 50002},
        {478, 2, 0},
    };
    for (const auto& f : fields) {
        const std::uint32_t v = f.width == 1   ? r.U8(f.offset)
                                : f.width == 2 ? r.U16(f.offset)
                                               : r.U32(f.offset);
        EXPECT_EQ(v, f.value) << "offset " << f.offset;
    }
    // Every byte outside the fields above is 0.
    EXPECT_EQ(Block_Sum(r.Bytes), 4387u);
}
