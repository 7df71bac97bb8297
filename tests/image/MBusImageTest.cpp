#include "image/MBusImage.h"
#include "image/ImageCompiler.h"

#include "ImageTestSupport.h"

namespace {

std::string network(const std::string& nodes) {
    return "<?xml version=\"1.0\"?>\n<M-Bus_Network>" + nodes + "</M-Bus_Network>";
}

std::string node(const Attribute_List& attributes, const std::string& variables) {
    std::string text = Row(attributes, "Nodo");
    text.erase(text.size() - 2);
    return text + ">" + variables + "</Nodo>";
}

std::string variable(const Attribute_List& attributes) {
    return Row(With({{"Enable", "1"}, {"Type", "0"}, {"Fun_Field", "0"}, {"Dim", "0"}}, attributes),
               "Variabile");
}

// The keys the stream's tail needs, with the given ones replacing them.
Attribute_List tailKeys(const Attribute_List& over = {}) {
    return With({{"MBus_Options_Wire_Present", "1"},
                 {"MBus_Options_Wireless_Present", "1"},
                 {"Modbus_TCP_Slave_IP1", "10"},
                 {"Modbus_TCP_Slave_IP2", "0"},
                 {"Modbus_TCP_Slave_IP3", "0"},
                 {"Modbus_TCP_Slave_IP4", "5"},
                 {"Modbus_TCP_Slave_SM1", "255"},
                 {"Modbus_TCP_Slave_SM2", "255"},
                 {"Modbus_TCP_Slave_SM3", "255"},
                 {"Modbus_TCP_Slave_SM4", "0"},
                 {"Modbus_TCP_Slave_GAT1", "10"},
                 {"Modbus_TCP_Slave_GAT2", "0"},
                 {"Modbus_TCP_Slave_GAT3", "0"},
                 {"Modbus_TCP_Slave_GAT4", "1"},
                 {"Modbus_TCP_Slave_EN_GAT", "0"},
                 {"Meter_Baud", "3"},
                 {"Meter_Par", "2"},
                 {"Meter_Req_Delay", "300"}},
                over);
}

// The M-Bus settings block with its defaults and the marker of the compile (unsealed).
Bytes defaultBlock() {
    Bytes b(2048, 0);
    Put32(b, 0, 250000);
    Put32(b, 4, 250000);
    Put32(b, 8, 9600);
    Put(b, 40, {192, 168, 0, 5, 255, 255, 255, 0, 255, 255, 255, 255});
    Put16(b, 52, 10000);
    b[59] = 0x40;
    Put32(b, 60, 9600);
    Put(b, 72, {192, 168, 0, 10});
    Put32(b, 500, 38400);
    Put(b, 526, {1, 1, 0, 1});
    Put(b, 532, {8, 8, 0, 8});
    b[570] = 0xBF;
    b[590] = 1;
    Put32(b, 596, 0x68800);
    Put32(b, 600, 120000);
    Put16(b, 620, 3671);
    Put(b, 628, {0x50, 0xC3, 0x51, 0xC3, 0x52, 0xC3});
    return b;
}

// The settings stored from the tail keys above.
void putTailSettings(Bytes& b) {
    Put(b, 40, {10, 0, 0, 5, 255, 255, 255, 0, 255, 255, 255, 255});
    Put16(b, 54, 10001);
    Put16(b, 56, 10001);
    Put32(b, 504, 19200);
    Put32(b, 508, 2400);
    b[523] = 3;
    b[528] = 1;
    b[534] = 8;
    Put(b, 584, {3, 5, 5});
    Put32(b, 600, 120000);
    Put32(b, 604, 0x68C00);
    Put32(b, 608, 0x68C00);
    Put16(b, 622, 4552);
}

class MBusImage : public ::testing::Test {
protected:
    void compileAndSave(int type = 10) {
        Compile_Bank(type, project.Dir());
        Save_Bank(type, project.Dir());
    }
    Bytes bank1() { return project.Read("bin/bank1.bin"); }
    Bytes bank2() { return project.Read("bin/bank2.bin"); }
    TempProject project;
};

} // namespace

TEST_F(MBusImage, EmptyProjectGivesTheDefaultImage) {
    for (int type : {10, 1010}) {
        compileAndSave(type);
        Bytes expected(23552, 0);
        Bytes block = defaultBlock();
        SealBlock(block, 0);
        std::copy(block.begin(), block.end(), expected.begin());
        const Bytes image = bank1();
        EXPECT_EQ(image, expected) << type;
        // The default 120000 at offset 600 is in the image and in its block sum.
        EXPECT_EQ(LE32(image, 600), 120000u);
        EXPECT_EQ(LE32(image, 2044), 5524u);
        // Without the ParGen file there is no tail, and the KNX table address stays 0.
        EXPECT_EQ(bank2(), (Bytes{0x40, 13, 0, 0, 0, 13, 0, 0, 0, 13, 0, 0, 0})) << type;
    }
}

TEST_F(MBusImage, ProjectWithoutNetworkGivesTheHeaderAndTail) {
    project.Write("ParGen.xml", ParGen(tailKeys({{"Meter_NS_Error_Code", "7"}})));
    compileAndSave();
    EXPECT_EQ(bank2(), (Bytes{0x40, 13, 0, 0, 0,    13,   0,   0, 0,  13, 0, 0, 0, //
                              10,   0,  0, 5, 255,  255,  255, 0, 10, 0,  0, 1, 0, 0x11,
                              0x27, 3,  2, 0, 0x2C, 0x01, 0,   0, 0,  7,  0, 0, 0}));
    EXPECT_EQ(bank1().size(), 23552u);
}

TEST_F(MBusImage, SmallProjectGivesBothBanksByteForByte) {
    project.Write("ParGen.xml", ParGen(tailKeys({{"wMBus_Mode", "2"},
                                                 {"wMBus_Radio_Channel", "4"},
                                                 {"KNX_ID_DEV", "1.1.9"}})));
    Attribute_List wireless = {{"MBus_Type", "2"},         {"wMBus_ManID", "11309"},
                               {"wMBus_Add", "305419896"}, {"wMBus_Ver", "1"},
                               {"wMBus_DevType", "7"},     {"wMBus_En_Key", "1"},
                               {"Var_List_Type", "1"}};
    for (int k = 1; k <= 16; ++k)
        wireless.push_back({"wMBus_Key_" + std::to_string(k), std::to_string(k)});
    project.Write(
        "M_Bus.xml",
        network(node({{"Enable_Node", "1"},
                      {"MBus_Type", "1"},
                      {"Node_ID_Type", "1"},
                      {"ID_Primary", "3"},
                      {"ID_Secondary", "12345678"},
                      {"Send_SND_NKE", "1"},
                      {"Node_State", "1"},
                      {"Ident_Num", "1"},
                      {"Swap_IN", "1"},
                      {"Cut_After", "9"}},
                     variable({{"Type", "21"},
                               {"Fun_Field", "1"},
                               {"Dim", "7"},
                               {"Unit", "3"},
                               {"StoNumber", "1"},
                               {"VIF_ASCII", "abc"},
                               {"Length", "5"},
                               {"Position", "2"}}) +
                         variable({{"Enable", "0"}, {"Type", "9"}}) +
                         variable({{"Fun_Field", "2"},
                                   {"Dim", "5"},
                                   {"Conv_Float", "1"},
                                   {"VIF_ASCII", "zz"},
                                   {"Length", "9"}})) +
                "<!-- a node whose variables are all disabled gives nothing -->" +
                node({{"MBus_Type", "1"}, {"Node_State", "1"}}, variable({{"Enable", "0"}})) +
                node(wireless, variable({{"Type", "3"}, {"Dim", "2"}, {"TP_Mod_Regs", "1"}})) +
                node({{"Enable_Node", "0"}}, variable({}))));
    project.Write("KNX_SetAccess.xml", OneKnxRow());
    compileAndSave();

    Bytes block = defaultBlock();
    putTailSettings(block);
    block[564] = 1;
    block[568] = 15;
    block[582] = 4;
    Put32(block, 616, 1);
    Put16(block, 622, 0x1109);
    SealBlock(block, 0);
    Bytes expected1(23552, 0);
    std::copy(block.begin(), block.end(), expected1.begin());
    Put(expected1, 2048, {0x2D, 0x2C, 0x78, 0x56, 0x34, 0x12, 1,  7,  1,  2,  3,  4, 5,
                          6,    7,    8,    9,    10,   11,   12, 13, 14, 15, 16, 1});
    PutOneKnxEntry(expected1, 3072);
    EXPECT_EQ(bank1(), expected1);

    const Bytes expected2 = {
        0x40, 13, 0, 0, 0, 36, 0, 0, 0, 137, 0, 0, 0,
        // wired node: secondary address most significant byte first, two variables at 59
        1, 0x00, 0xBC, 0x61, 0x4E, 2, 0, 59, 0, 0, 0, 1, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 10,
        // wireless node: its meter's address, data after the wired node's 5 + 5 + 4 bytes
        0, 0x12, 0x34, 0x56, 0x78, 1, 0, 109, 0, 0, 0, 0, 0, 0, 14, 0, 0, 14, 0, 0, 0, 1, 0,
        // text variable: function field 1 written as 2, code 13, value at 5, text at 134
        21, 2, 13, 5, 0, 3, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 3, 134, 0, 0, 0, 2, 0, 0,
        // converted variable: 2 written as 1, code 6, four bytes at 10, no text or length
        0, 1, 6, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 137, 0, 0, 0, 1, 0, 1,
        // eight-byte variable of a node with a variable list
        3, 0, 4, 14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 137, 0, 0, 0, 1, 0, 4, 'c', 'b', 'a',
        // tail: the gateway as entered, 1 wired and 1 wireless node, error code 255
        10, 0, 0, 5, 255, 255, 255, 0, 10, 0, 0, 1, 0, 0x11, 0x27, 3, 2, 0, 0x2C, 0x01, 1, 0, 0,
        255, 1, 0, 0};
    EXPECT_EQ(bank2(), expected2);
}

TEST_F(MBusImage, OneSizeGivesRecordAddressesAndTheNextNodesStart) {
    // A variable-length value that is converted takes four bytes for its own address and for
    // the start of what follows it.
    project.Write("ParGen.xml", ParGen(tailKeys()));
    project.Write("M_Bus.xml",
                  network(node({}, variable({{"Dim", "7"}, {"Length", "10"}, {"Conv_Float", "1"}}) +
                                       variable({{"Dim", "1"}})) +
                          node({{"Node_State", "1"}}, variable({}))));
    compileAndSave();
    const Bytes b = bank2();
    const std::size_t nodes = 13, variables = 13 + 2 * 23;
    EXPECT_EQ(LE16(b, variables + 3), 0u);
    EXPECT_EQ(LE16(b, variables + 25 + 3), 4u);
    EXPECT_EQ(LE16(b, nodes + 23 + 14), 6u); // next node's state byte
    EXPECT_EQ(LE16(b, variables + 50 + 3), 7u);
}

TEST_F(MBusImage, TailKeysFollowTheirRules) {
    struct Case {
        Attribute_List keys;
        std::size_t offset;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {{{"Meter_Par", "0"}}, 523, {0}},
        {{{"Meter_Baud", "9"}}, 508, {0x60, 0x09, 0, 0}},
        {{{"Meter_Baud", "7"}}, 508, {0x00, 0x96, 0, 0}},
        {{{"wMBus_Mode", "3"}}, 568, {17}},
        {{{"wMBus_Mode", "x"}}, 568, {1}},
        // Only 0 disables the gateway here.
        {{{"Modbus_TCP_Slave_EN_GAT", "2"}}, 48, {10, 0, 0, 1}},
        {{{"Modbus_TCP_Slave_EN_GAT", "1"}}, 48, {10, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        project.Write("ParGen.xml", ParGen(tailKeys(c.keys)));
        compileAndSave();
        const Bytes b = bank1();
        EXPECT_EQ(Bytes(b.begin() + c.offset, b.begin() + c.offset + c.bytes.size()), c.bytes)
            << c.keys[0].first << "=" << c.keys[0].second;
    }
}

TEST_F(MBusImage, FailuresStopTheCompileAndKeepTheOldBanks) {
    project.Write("ParGen.xml", ParGen(tailKeys()));
    compileAndSave();
    const Bytes old1 = bank1(), old2 = bank2();
    struct Case {
        const char* file;
        std::string text, expected, kind;
    };
    const Case cases[] = {
        {"ParGen.xml", ParGen(tailKeys({{"Meter_Req_Delay", "soon"}})),
         "\"Meter_Req_Delay\" holds \"soon\"", "value"},
        {"ParGen.xml", ParGen(With(tailKeys(), {{"Meter_Baud", ""}})), "\"Meter_Baud\"", "value"},
        {"M_Bus.xml", "<M-Bus_Network><Nodo>", "M_Bus.xml", "malformed"},
        {"M_Bus.xml", network(node({}, Row({{"Enable", "1"}, {"Type", "1"}, {"Dim", "0"}}, "V"))),
         "no attribute \"Fun_Field\"", "value"},
    };
    for (const Case& c : cases) {
        project.Write("ParGen.xml", ParGen(tailKeys()));
        project.Write(c.file, c.text);
        const std::string message = FailureOf([&] { Compile_Bank(10, project.Dir()); });
        EXPECT_NE(message.find(c.file), std::string::npos) << message;
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
        EXPECT_EQ(FailureKindOf([&] { Compile_Bank(10, project.Dir()); }), c.kind) << message;
        DeleteFile(project.Path("M_Bus.xml"));
    }
    EXPECT_EQ(bank1(), old1);
    EXPECT_EQ(bank2(), old2);
}
