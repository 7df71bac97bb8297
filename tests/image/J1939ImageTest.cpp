#include "image/ImageCompiler.h"
#include "image/NmeaImage.h"
#include "image/SettingsBlock.h"

#include "ImageTestSupport.h"

namespace {

std::string frames(const std::string& rows) {
    return "<Receive_J1939>" + rows + "</Receive_J1939>";
}

// bank.bin of the J1939 gateway before any row: empty PGN tables, zero KNX table, the default
// block with the flash addresses (sealed by the caller).
Bytes baseImage() {
    Bytes b(55296, 0);
    PutEmptyPgnEntries(b, 0, 1024);
    PutDefaultSettings(b, 53248);
    Put32(b, 53248 + 204, 0x5B000);
    Put32(b, 53248 + 208, 0x5F000);
    Put32(b, 53248 + 444, 0x63000);
    Put32(b, 53248 + 448, 0x63000);
    return b;
}

class J1939Image : public ::testing::Test {
protected:
    Bytes compileAndSave() {
        Compile_Bank(9, project.Dir());
        Save_Bank(9, project.Dir());
        return project.Read("bin/bank.bin");
    }
    TempProject project;
};

} // namespace

TEST_F(J1939Image, EmptyProjectGivesTheDefaultImage) {
    Bytes expected = baseImage();
    SealBlock(expected, 53248);
    EXPECT_EQ(compileAndSave(), expected);
    EXPECT_EQ(Image_Length, 55296u);
}

TEST_F(J1939Image, SmallProjectGivesTheImageByteForByte) {
    project.Write("ParGen.xml", ParGen({{"KNX_TYPE", "0"},
                                        {"KNX_ID_DEV", "1.1.200"},
                                        {"J1939_BAUDRATE", "6"},
                                        {"J1939_TIMEOUT", "2"},
                                        {"J1939_PEER_TO_PEER", "0"},
                                        {"J1939_Device_ID", "33"},
                                        {"Modbus_TCP_Slave_IP1", "10"},
                                        {"Modbus_TCP_Slave_IP2", "0"},
                                        {"Modbus_TCP_Slave_IP3", "0"},
                                        {"Modbus_TCP_Slave_IP4", "9"},
                                        {"Modbus_TCP_Slave_GAT1", "10"},
                                        {"Modbus_TCP_Slave_EN_GAT", "0"}}));
    project.Write("J1939_Rec_Frames.xml", frames(Row({{"DP", "1"},
                                                      {"PGN", "61444"},
                                                      {"SA", "0"},
                                                      {"TP", "N"},
                                                      {"TP_Start", "0"},
                                                      {"TP_NByte", "8"},
                                                      {"Delete", "Y"},
                                                      {"OnRequest", "N"},
                                                      {"OnReq_Time", "0"},
                                                      {"Mnemonic", "EEC1"}}) +
                                                 Row({{"DP", "0"},
                                                      {"PGN", "65262"},
                                                      {"SA", "3"},
                                                      {"TP", "Y"},
                                                      {"TP_Start", "2"},
                                                      {"TP_NByte", "20"},
                                                      {"Delete", "N"},
                                                      {"OnRequest", "y"},
                                                      {"OnReq_Time", "500"},
                                                      {"Mnemonic", "ET1"}})));
    project.Write("J1939_Send_Frames.xml", frames(Row({{"Priority", "3"},
                                                       {"DP", "1"},
                                                       {"PGN", "61444"},
                                                       {"SA", "0"},
                                                       {"TP_NByte", "9"},
                                                       {"On_Request", "N"},
                                                       {"On_Data_Change", "Y"},
                                                       {"On_Timer", "Y"},
                                                       {"SendTimer", "100"},
                                                       {"Mnemonic", "Out"}})));
    project.Write("KNX_SetAccess.xml", OneKnxRow());

    Bytes expected = baseImage();
    // Receive: identifier, send timer 0, data time-out, offset, start, count, request time.
    Put(expected, 0, {0x00, 0x04, 0xF0, 0x01, 0, 0, 0, 0, 0xD0, 0x07, 0, 0, 0, 0, 0, 0, 8, 0});
    Put32(expected, 20, 0);
    Put(expected, 32, {0x03, 0xEE, 0xFE, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 2, 0, 20, 0});
    Put32(expected, 32 + 20, 500);
    Put(expected, 32 + 28, {1, 0, 0x80}); // multi-frame by TP, requested
    // Transmit: priority 3, DP 1; nine bytes are multi-frame without flag bit 1.
    Put(expected, 16384,
        {0x00, 0x04, 0xF0, 0x0D, 100, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 9, 0});
    Put(expected, 16384 + 28, {1, 0, 0x31});
    PutOneKnxEntry(expected, 32768);
    const std::size_t s = 53248;
    Put32(expected, s + 0, 500000);
    Put32(expected, s + 28, 33);
    Put(expected, s + 40, {10, 0, 0, 9});
    Put32(expected, s + 144, 2);
    Put32(expected, s + 148, 1);
    Put32(expected, s + 456, 1);
    Put16(expected, s + 462, 4552);
    SealBlock(expected, s);
    EXPECT_EQ(compileAndSave(), expected);
}

TEST_F(J1939Image, PeerToPeerLeavesTheSourceOutOfReceiveIdentifiers) {
    project.Write("ParGen.xml", ParGen({{"J1939_PEER_TO_PEER", "1"}}));
    project.Write("J1939_Rec_Frames.xml", frames(Row({{"DP", "1"}, {"PGN", "61444"}, {"SA", "5"}}) +
                                                 Row({{"PGN", "61444"}, {"SA", "5"}})));
    Compile_Bank(9, project.Dir());
    EXPECT_EQ(PGN_Rx_Table[0].Identifier, 0x01F00400u);
    EXPECT_EQ(PGN_Rx_Table[1].Identifier, 0x00F00400u); // a missing DP counts 0
    EXPECT_EQ(Settings_Record.U32(Block_Offset::PGN_Options), 1u);
}
