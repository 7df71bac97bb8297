#include "image/ImageCompiler.h"

#include "ImageTestSupport.h"

#include <functional>

namespace {

// bank.bin of a settings-and-KNX variant whose ParGen file is missing: the table (when the type
// has one) and the default block with what the reader stores before it looks for the file.
Bytes emptyImage(int type) {
    if (type == 14 || type == 1014) {
        Bytes b(2048, 0);
        PutDefaultSettings(b, 0);
        Put(b, 462, {0x01, 0x90, 0xA0, 0x90, 0xA1, 0x90}); // 9.0.1, 9.0.160, 9.0.161
        return b;
    }
    Bytes b(22528, 0);
    PutDefaultSettings(b, 20480);
    Put32(b, 20480 + 444, 0x63000);
    Put32(b, 20480 + 448, 0x63000);
    if (type == 12 || type == 1012 || type == 13 || type == 15) Put32(b, 20480 + 480, 0x68800);
    return b;
}

void putString(Bytes& b, std::size_t at, const std::string& s) {
    for (char c : s) b.at(at++) = std::uint8_t(c);
}

class SettingsImages : public ::testing::Test {
protected:
    Bytes compileAndSave(int type) {
        Compile_Bank(type, project.Dir());
        Save_Bank(type, project.Dir());
        return project.Read("bin/bank.bin");
    }
    TempProject project;
};

} // namespace

TEST_F(SettingsImages, EmptyProjectsGiveTheDefaultImage) {
    for (int type : {2, 4, 12, 1012, 13, 14, 1014, 15}) {
        Bytes expected = emptyImage(type);
        SealBlock(expected, expected.size() - 2048);
        EXPECT_EQ(compileAndSave(type), expected) << type;
    }
}

TEST_F(SettingsImages, SmallProjectsGiveTheImageByteForByte) {
    struct Case {
        int type;
        Attribute_List keys;
        std::function<void(Bytes&, std::size_t)> expect;
    };
    const Case cases[] = {
        {2,
         {{"KNX_TYPE", "1"},
          {"KNX_ID_DEV", "1.1.9"},
          {"Modbus_TCP_Slave_IP1", "10"},
          {"Modbus_TCP_Slave_IP2", "1"},
          {"Modbus_TCP_Slave_IP3", "2"},
          {"Modbus_TCP_Slave_IP4", "3"},
          {"MODBUS_SLAVE_IDDEVICE", "17"},
          {"MODBUS_SLAVE_SERIAL", "1"},
          {"MODBUS_SLAVE_BAUDRATE", "4"},
          {"MODBUS_SLAVE_PARITY", "1"},
          {"MODBUS_SLAVE_STOPBITS", "1"},
          {"MODBUS_SLAVE_EN_DIAGNOSTIC", "1"},
          {"MODBUS_SLAVE_DIAGNOSTIC_REG", "40"}},
         [](Bytes& b, std::size_t s) {
             Put(b, s + 40, {10, 1, 2, 3, 255, 255, 255, 0, 255, 255, 255, 255});
             Put32(b, s + 24, 17);
             Put32(b, s + 400, 19200);
             b[s + 424] = 1;
             b[s + 430] = 2;
             Put32(b, s + 384, 41);
             Put16(b, s + 462, 0x1109);
         }},
        {4,
         {{"Modbus_TCP_Slave_Port", "1502"},
          {"Modbus_TCP_Slave_EN_DIAGNOSTIC", "1"},
          {"Modbus_TCP_Slave_DIAGNOSTIC_REG", "abc"},
          {"Modbus_TCP_Slave_EN_GAT", "1"},
          {"MODBUS_SLAVE_IDDEVICE", "17"}},
         [](Bytes& b, std::size_t s) {
             Put(b, s + 40, {192, 168, 0, 5, 255, 255, 255, 0, 192, 168, 0, 1});
             Put16(b, s + 54, 1502);
             Put16(b, s + 56, 1502);
             Put32(b, s + 384, 1); // a register that is not a number counts 0
             Put16(b, s + 462, 4552);
         }},
        {12,
         {{"PROFINET_IP1", "172"},
          {"PROFINET_EN_GAT", "1"},
          {"PROFINET_NAME_STA", "plc-1"},
          {"KNX_DELAY_BETWEEN_PACKETS", "50"},
          {"PROFINET_NB_IN", "64"},
          {"Modbus_TCP_Slave_IP1", "10"}},
         [](Bytes& b, std::size_t s) {
             Put(b, s + 40, {172, 168, 0, 5, 255, 255, 255, 0, 192, 168, 0, 1});
             putString(b, s + 80, "plc-1");
             Put32(b, s + 1900, 50);
             Put32(b, s + 116, 64);
             Put32(b, s + 120, 1438);
             Put16(b, s + 462, 4552);
         }},
        {13,
         {{"EtherNetIP_Port", "2222"}, {"EtherNetIP_NB_OUT", "20"}, {"EtherNetIP_EN_GAT", "0"}},
         [](Bytes& b, std::size_t s) {
             Put(b, s + 40, {192, 168, 0, 11, 255, 255, 255, 0, 255, 255, 255, 255});
             Put16(b, s + 54, 44818);
             Put16(b, s + 56, 44818);
             Put32(b, s + 116, 496);
             Put32(b, s + 120, 20);
             Put16(b, s + 462, 4552);
         }},
        {14,
         {{"KNX_ID_DEV", "2.3.4"}, {"KNX_TUNNEL_PORT", "3671"}, {"Modbus_TCP_Slave_IP4", "9"}},
         [](Bytes& b, std::size_t s) {
             Put(b, s + 40, {192, 168, 0, 9, 255, 255, 255, 0, 255, 255, 255, 255});
             Put16(b, s + 462, 0x2304);
             Put16(b, s + 470, 3671);
         }},
        {15,
         {{"PROFINET_IP1", "10"}, {"KNX_DELAY_BETWEEN_PACKETS", "50"}, {"PROFINET_NB_IN", "64"}},
         [](Bytes& b, std::size_t s) {
             Put(b, s + 40, {10, 168, 0, 5, 255, 255, 255, 0, 255, 255, 255, 255});
             putString(b, s + 80, "devicename1");
             Put16(b, s + 462, 4552);
         }},
    };
    project.Write("KNX_SetAccess.xml", OneKnxRow());
    for (const Case& c : cases) {
        project.Write("ParGen.xml", ParGen(c.keys));
        Bytes expected = emptyImage(c.type);
        const std::size_t s = expected.size() - 2048;
        if (s > 0) {
            PutOneKnxEntry(expected, 0);
            Put32(expected, s + 456, 1);
        }
        c.expect(expected, s);
        SealBlock(expected, s);
        EXPECT_EQ(compileAndSave(c.type), expected) << c.type;
    }
}

TEST_F(SettingsImages, NameOfStationIsWrittenCharacterByCharacter) {
    // Each character gives its low 8 bits; sixteen characters fill the field.
    project.Write("ParGen.xml", ParGen({{"PROFINET_NAME_STA", "\xC3\xA9tage-0123456789"}}));
    const Bytes b = compileAndSave(1012);
    const Bytes name(b.begin() + 20480 + 80, b.begin() + 20480 + 96);
    EXPECT_EQ(name, (Bytes{0xE9, 't', 'a', 'g', 'e', '-', '0', '1', '2', '3', '4', '5', '6', '7',
                           '8', '9'}));
    EXPECT_EQ(b[20480 + 97], 0u);
}
