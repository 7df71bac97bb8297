#include "image/ModbusImage.h"
#include "image/ImageCompiler.h"
#include "image/SettingsBlock.h"

#include "ImageTestSupport.h"

namespace {

std::string accessTable(const std::string& readRows, const std::string& writeRows) {
    return "<Modbus_Set><Modbus_Read>" + readRows + "</Modbus_Read><Modbus_Write>" + writeRows +
           "</Modbus_Write></Modbus_Set>";
}

Attribute_List readRow(const std::string& type, const std::string& npoint,
                       Attribute_List more = {}) {
    Attribute_List a = {{"Enable", "Y"},    {"Slave_ID", "1"},  {"Type", type},
                        {"Address", "100"}, {"NPoint", npoint}, {"PollTime", "500"},
                        {"MaxError", "3"},  {"Position", "10"}, {"Bit", "2"},
                        {"Swap", "N"},      {"Mnemonic", "m"}};
    return With(a, more);
}

Attribute_List writeRow(const std::string& type, const std::string& npoint,
                        Attribute_List more = {}) {
    return With(readRow(type, npoint, {{"OnChange", "N"}, {"OnCMD", "N"}}), more);
}

// bank.bin of a Modbus master before any row: zero tables, the default block with the flash
// addresses (sealed by the caller).
Bytes baseImage() {
    Bytes b(55296, 0);
    PutDefaultSettings(b, 53248);
    Put32(b, 53248 + 196, 0x5B000);
    Put32(b, 53248 + 444, 0x63000);
    Put32(b, 53248 + 448, 0x63000);
    return b;
}

class ModbusImage : public ::testing::Test {
protected:
    Bytes compileAndSave(int type) {
        Compile_Bank(type, project.Dir());
        Save_Bank(type, project.Dir());
        return project.Read("bin/bank.bin");
    }
    TempProject project;
};

} // namespace

TEST_F(ModbusImage, EmptyProjectsGiveTheDefaultImage) {
    Bytes expected = baseImage();
    SealBlock(expected, 53248);
    for (int type : {1, 1001, 3, 1003}) EXPECT_EQ(compileAndSave(type), expected) << type;
}

TEST_F(ModbusImage, RtuProjectGivesTheImageByteForByte) {
    project.Write("ParGen.xml", ParGen({{"KNX_ID_DEV", "1.1.7"},
                                        {"ModbusM_TIMEOUT", "2000"},
                                        {"ModbusM_CYCLIC", "abc"},
                                        {"Modbus_TCP_Slave_IP1", "10"},
                                        {"Modbus_TCP_Slave_EN_GAT", "1"},
                                        {"ModbusM_SERIAL", "0"},
                                        {"ModbusM_BAUDRATE", "3"},
                                        {"ModbusM_PARITY", "2"},
                                        {"ModbusM_STOPBITS", "1"}}));
    project.Write("ModbusM_SetAccess.xml",
                  accessTable(Row(readRow("Holding Register", "10", {{"Swap", "Y"}})) +
                                  Row(readRow("Coil Status", "10", {{"Enable", "N"}})) +
                                  Row(readRow(" coil status ", "10")),
                              Row(writeRow("Holding Register", "1",
                                           {{"UseFC1516", "y"}, {"OnChange", "y"}}))));
    project.Write("KNX_SetAccess.xml", OneKnxRow());

    Bytes expected = baseImage();
    // Holding registers: code 3, no bit, 20 bytes, swapped.
    Put(expected, 0, {10, 0, 0, 0, 0xF4, 0x01, 0, 0, 1, 3, 100, 0, 10, 0});
    Put32(expected, 24, 3);
    Put(expected, 30, {20, 0x04});
    // Coils (the disabled row takes no entry): code 1, bit 2, two bytes.
    Put(expected, 32, {10, 0, 2, 0, 0xF4, 0x01, 0, 0, 1, 1, 100, 0, 10, 0});
    Put32(expected, 32 + 24, 3);
    Put(expected, 32 + 30, {2, 0});
    // One register written with the multiple-register code, on change.
    Put(expected, 64, {10, 0, 0, 0, 0xF4, 0x01, 0, 0, 1, 16, 100, 0, 1, 0});
    Put32(expected, 64 + 24, 3);
    Put(expected, 64 + 30, {2, 0x01});
    PutOneKnxEntry(expected, 32768);
    const std::size_t s = 53248;
    Put32(expected, s + 32, 2000);
    Put32(expected, s + 36, 100);
    Put(expected, s + 40, {10, 168, 0, 5, 255, 255, 255, 0, 192, 168, 0, 1});
    Put32(expected, s + 72, 3);
    expected[s + 97] = 1;
    Put32(expected, s + 400, 9600);
    expected[s + 424] = 2;
    expected[s + 430] = 2;
    Put32(expected, s + 456, 1);
    Put16(expected, s + 462, 0x1107);
    SealBlock(expected, s);
    EXPECT_EQ(compileAndSave(1), expected);
}

TEST_F(ModbusImage, FunctionCodesAndByteCounts) {
    struct Case {
        int type;
        bool write;
        std::string kind, npoint, useFc1516;
        int code, bytes;
    };
    const Case cases[] = {
        {1, false, "Input Status", "9", "", 2, 2},
        {1, false, "Input Register", "4", "", 4, 8},
        {1, false, "anything", "4", "", 4, 8},
        {1, true, "Coil Status", "1", "N", 5, 1},
        {1, true, "Coil Status", "1", "Y", 15, 1},
        {1, true, "Coil Status", "2", "N", 15, 1},
        {1, true, "Holding Register", "1", "N", 6, 2},
        {1, true, "Holding Register", "2", "N", 16, 4},
        {3, false, "Input Register", "4", "", 4, 8},
        {3, false, "anything", "4", "", 0, 8},
        {3, false, " Coil Status", "9", "", 0, 18},    // not trimmed
        {3, true, "Holding Register", "1", "Y", 6, 2}, // UseFC1516 is not read
        {3, true, "anything", "1", "", 0, 2},
    };
    for (const Case& c : cases) {
        Attribute_List extra = {{"IP_Address", "1.2.3.4"}};
        if (!c.useFc1516.empty()) extra.push_back({"UseFC1516", c.useFc1516});
        const std::string row =
            Row(c.write ? writeRow(c.kind, c.npoint, extra) : readRow(c.kind, c.npoint, extra));
        project.Write(c.type == 1 ? "ModbusM_SetAccess.xml" : "ModbusTCPM_SetAccess.xml",
                      c.write ? accessTable("", row) : accessTable(row, ""));
        Compile_Bank(c.type, project.Dir());
        const Modbus_Entry& e = (c.type == 1 ? Modbus_Table : ModbusTCP_Table)[0];
        EXPECT_EQ(e.Function_Code, c.code) << row;
        EXPECT_EQ(e.Byte_Count, c.bytes) << row;
        DeleteFile(
            project.Path(c.type == 1 ? "ModbusM_SetAccess.xml" : "ModbusTCPM_SetAccess.xml"));
    }
}

TEST_F(ModbusImage, TcpEntriesCarryTheSlavesAddressAndPort) {
    project.Write("ParGen.xml", ParGen({{"Modbus_TCP_Master_TimeOut", "700"},
                                        {"Modbus_TCP_Master_IP1", "172"},
                                        {"Modbus_TCP_Master_GAT4", "254"},
                                        {"Modbus_TCP_Master_EN_GAT", "1"},
                                        {"ModbusM_SERIAL", "0"}}));
    project.Write(
        "ModbusTCPM_SetAccess.xml",
        accessTable(
            Row(readRow("Holding Register", "2",
                        {{"IP_Address", "192.168.1.125"}, {"Port", "1502"}})) +
                Row(readRow("Holding Register", "2", {{"IP_Address", " 10 . 0.0.1"}, {"Bit", ""}})),
            Row(writeRow("Coil Status", "1", {{"IP_Address", "10.0.0.2"}, {"Swap", "y"}}))));
    Compile_Bank(3, project.Dir());
    Save_Bank(3, project.Dir());
    const Bytes b = project.Read("bin/bank.bin");
    EXPECT_EQ(LE16(b, 14), 1502u);
    EXPECT_EQ(Bytes(b.begin() + 16, b.begin() + 20), (Bytes{125, 1, 168, 192}));
    EXPECT_EQ(b[2], 2u);            // the TCP reader takes Bit for every row
    EXPECT_EQ(LE16(b, 32 + 2), 0u); // and a register row may leave it blank
    EXPECT_EQ(LE16(b, 32 + 14), 502u);
    EXPECT_EQ(LE32(b, 32 + 16), 0x0A000001u);
    EXPECT_EQ(b[64 + 31], 0x04); // write rows compare Swap in upper case
    const std::size_t s = 53248;
    EXPECT_EQ(LE32(b, s + 32), 700u);
    EXPECT_EQ(LE32(b, s + 36), 100u);
    EXPECT_EQ(Bytes(b.begin() + s + 40, b.begin() + s + 52),
              (Bytes{172, 168, 0, 5, 255, 255, 255, 0, 192, 168, 0, 254}));
    EXPECT_EQ(b[s + 97], 0u); // serial keys belong to the RTU master
    EXPECT_EQ(LE32(b, s + 72), 3u);
}

TEST_F(ModbusImage, MalformedAccessTablesStopTheCompileNamingFileAndRow) {
    struct Case {
        int type;
        std::string file, expected;
    };
    // Each of them is a missing or unreadable value to a caller.
    const Case cases[] = {
        {1, "<M><Modbus_Write/></M>", "section \"Modbus_Read\""},
        {1, "<M><Modbus_Read/></M>", "section \"Modbus_Write\""},
        {1, accessTable(Row(readRow("Coil Status", "x")), ""), "row 1: the attribute \"NPoint\""},
        {1, accessTable("", Row(readRow("Coil Status", "1"))),
         "row 1 has no attribute \"OnChange\""},
        {3, accessTable(Row(readRow("Coil Status", "1", {{"IP_Address", "1.2.3"}})), ""),
         "\"IP_Address\" holds \"1.2.3\""},
        {3, accessTable(Row(readRow("Coil Status", "1")), ""), "no attribute \"IP_Address\""},
        {3,
         accessTable(Row(readRow("Coil Status", "1", {{"IP_Address", "1.2.3.4"}, {"Bit", ""}})),
                     ""),
         "the attribute \"Bit\""},
    };
    for (const Case& c : cases) {
        const std::string name = c.type == 1 ? "ModbusM_SetAccess.xml" : "ModbusTCPM_SetAccess.xml";
        project.Write(name, c.file);
        const std::string message = FailureOf([&] { Compile_Bank(c.type, project.Dir()); });
        EXPECT_NE(message.find(name), std::string::npos) << message;
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
        EXPECT_EQ(FailureKindOf([&] { Compile_Bank(c.type, project.Dir()); }), "value") << message;
        DeleteFile(project.Path(name));
    }
}
