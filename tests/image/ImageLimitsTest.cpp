// Tables that would run past their bank area are refused with the file and the limit, and
// nothing is written.
#include "image/ImageCompiler.h"

#include "ImageTestSupport.h"

#include <functional>

namespace {

std::string repeat(int n, const std::function<std::string(int)>& item) {
    std::string text;
    for (int i = 0; i < n; ++i) text += item(i);
    return text;
}

std::string modbusRow(const std::string& type, int npoint, bool write) {
    Attribute_List a = {{"Slave_ID", "1"},         {"Type", type},
                        {"Address", "0"},          {"NPoint", std::to_string(npoint)},
                        {"PollTime", "100"},       {"MaxError", "1"},
                        {"Position", "0"},         {"Bit", "0"},
                        {"IP_Address", "10.0.0.1"}};
    if (write) a.push_back({"OnChange", "N"});
    return Row(a);
}

std::string modbusTable(const std::string& readRows, const std::string& writeRows) {
    return "<M><Modbus_Read>" + readRows + "</Modbus_Read><Modbus_Write>" + writeRows +
           "</Modbus_Write></M>";
}

std::string sections(const char* first, const std::string& firstRows, const char* second,
                     const std::string& secondRows) {
    return std::string("<R><") + first + ">" + firstRows + "</" + first + "><" + second + ">" +
           secondRows + "</" + second + "></R>";
}

std::string sdoRow(int) {
    return Row({{"Device_ID", "1"},
                {"Index", "0x2000"},
                {"SubIndex", "0"},
                {"NByte", "1"},
                {"Poll_Time", "0"},
                {"Address_B1", "0"}});
}

std::string pdoRow(int) {
    return Row({{"COB-ID", "0x181"},
                {"Dimension", "1"},
                {"TimeOut", "0"},
                {"Send_Time", "0"},
                {"Address_B1", "0"}});
}

const std::string mbusParGen = ParGen({{"MBus_Options_Wire_Present", "1"},
                                       {"MBus_Options_Wireless_Present", "1"},
                                       {"Modbus_TCP_Slave_IP1", "1"},
                                       {"Modbus_TCP_Slave_IP2", "1"},
                                       {"Modbus_TCP_Slave_IP3", "1"},
                                       {"Modbus_TCP_Slave_IP4", "1"},
                                       {"Modbus_TCP_Slave_SM1", "1"},
                                       {"Modbus_TCP_Slave_SM2", "1"},
                                       {"Modbus_TCP_Slave_SM3", "1"},
                                       {"Modbus_TCP_Slave_SM4", "1"},
                                       {"Modbus_TCP_Slave_GAT1", "1"},
                                       {"Modbus_TCP_Slave_GAT2", "1"},
                                       {"Modbus_TCP_Slave_GAT3", "1"},
                                       {"Modbus_TCP_Slave_GAT4", "1"},
                                       {"Modbus_TCP_Slave_EN_GAT", "1"},
                                       {"Meter_Baud", "1"},
                                       {"Meter_Par", "1"},
                                       {"Meter_Req_Delay", "1"}});

std::string mbusNode(const Attribute_List& attributes, int variables,
                     const Attribute_List& variable = {}) {
    std::string text = Row(attributes, "Nodo");
    text.erase(text.size() - 2);
    return text + ">" +
           repeat(variables,
                  [&](int) {
                      return Row(
                          With({{"Enable", "1"}, {"Type", "0"}, {"Fun_Field", "0"}, {"Dim", "0"}},
                               variable),
                          "Variabile");
                  }) +
           "</Nodo>";
}

std::string mbusNetwork(const std::string& nodes) {
    return "<M-Bus_Network>" + nodes + "</M-Bus_Network>";
}

} // namespace

TEST(ImageLimits, OverfullTablesAreRefusedWithFileAndLimit) {
    struct Case {
        int type;
        std::vector<std::pair<std::string, std::string>> files;
        std::string file, limit;
    };
    const Case cases[] = {
        {9,
         {{"J1939_Rec_Frames.xml", "<R>" +
                                       repeat(513,
                                              [](int) {
                                                  return Row({{"PGN", "1"}, {"TP_NByte", "1"}});
                                              }) +
                                       "</R>"}},
         "J1939_Rec_Frames.xml",
         "PGN table holds 512"},
        {9,
         {{"J1939_Send_Frames.xml", "<R>" + Row({{"PGN", "1"}, {"TP_NByte", "70000"}}) + "</R>"}},
         "J1939_Send_Frames.xml",
         "0..65535"},
        {9,
         {{"J1939_Send_Frames.xml",
           "<R>" +
               repeat(2,
                      [](int) {
                          return Row({{"PGN", "1"}, {"TP_NByte", "65535"}});
                      }) +
               Row({{"PGN", "1"}}) + "</R>"}},
         "J1939_Send_Frames.xml",
         "row 3"},
        {1,
         {{"ModbusM_SetAccess.xml",
           modbusTable(repeat(513, [](int) { return modbusRow("Coil Status", 1, false); }),
                       repeat(512, [](int) { return modbusRow("Coil Status", 1, true); }))}},
         "ModbusM_SetAccess.xml",
         "holds 1024"},
        {1,
         {{"ModbusM_SetAccess.xml", modbusTable(modbusRow("Holding Register", 128, false), "")}},
         "ModbusM_SetAccess.xml",
         "255 bytes"},
        {3,
         {{"ModbusTCPM_SetAccess.xml", modbusTable("", modbusRow("Coil Status", 2041, true))}},
         "ModbusTCPM_SetAccess.xml",
         "255 bytes"},
        {5,
         {{"CAN_Rec_Frames.xml", "<R>" +
                                     repeat(600,
                                            [](int) {
                                                return Row({{"COBID", "1"}});
                                            }) +
                                     "</R>"},
          {"CAN_Send_Frames.xml", "<R>" +
                                      repeat(425,
                                             [](int) {
                                                 return Row({{"COBID", "1"}});
                                             }) +
                                      "</R>"}},
         "CAN_Send_Frames.xml",
         "holds 1024"},
        {6,
         {{"SDO_Server_CANopen.xml", sections("SDO_Read", repeat(513, sdoRow), "SDO_Write", "")}},
         "SDO_Server_CANopen.xml",
         "SDO server read table holds 512"},
        {6,
         {{"SDO_Client_CANopen.xml", sections("SDO_Read", "", "SDO_Write", repeat(257, sdoRow))}},
         "SDO_Client_CANopen.xml",
         "SDO client write table holds 256"},
        {6,
         {{"PDO_CANopen.xml", sections("Receive_PDO", "", "Transmit_PDO", repeat(129, pdoRow))}},
         "PDO_CANopen.xml",
         "transmit PDO table holds 128"},
        {12,
         {{"ParGen.xml", ParGen({{"PROFINET_NAME_STA", "abcdefghijklmnopq"}})}},
         "ParGen.xml",
         "holds 16"},
        {10,
         {{"ParGen.xml", mbusParGen},
          {"M_Bus.xml", mbusNetwork(repeat(33,
                                           [](int) {
                                               return mbusNode({{"MBus_Type", "2"}}, 1);
                                           }))}},
         "M_Bus.xml",
         "table holds 32"},
        {10,
         {{"ParGen.xml", mbusParGen},
          {"M_Bus.xml", mbusNetwork(repeat(256, [](int) { return mbusNode({}, 1); }))}},
         "M_Bus.xml",
         "at most 255"},
        {10,
         {{"ParGen.xml", mbusParGen},
          {"M_Bus.xml",
           mbusNetwork(mbusNode({}, 1, {{"Type", "21"}, {"VIF_ASCII", std::string(256, 'v')}}))}},
         "M_Bus.xml",
         "at most 255"},
        {10,
         {{"ParGen.xml", mbusParGen}, {"M_Bus.xml", mbusNetwork(mbusNode({}, 3850))}},
         "M_Bus.xml",
         "96256 bytes"},
        {10,
         {{"ParGen.xml", mbusParGen},
          {"M_Bus.xml", mbusNetwork(mbusNode({}, 259, {{"Dim", "7"}, {"Length", "255"}}))}},
         "M_Bus.xml",
         "past 65535"},
    };
    for (const Case& c : cases) {
        TempProject project;
        for (const auto& [name, text] : c.files) project.Write(name, text);
        const std::string message = FailureOf([&] { Compile_Bank(c.type, project.Dir()); });
        EXPECT_NE(message.find(c.file), std::string::npos) << c.type << ": " << message;
        EXPECT_NE(message.find(c.limit), std::string::npos) << c.type << ": " << message;
        EXPECT_EQ(FailureKindOf([&] { Compile_Bank(c.type, project.Dir()); }), "limit") << message;
        EXPECT_TRUE(ListFiles(project.Path("bin")).empty()) << c.type;
    }
}

// Full tables compile, and leave nothing behind for the next compile of another project.
TEST(ImageLimits, FullTablesCompileAndLeaveNoTrace) {
    struct Case {
        int type;
        std::vector<std::pair<std::string, std::string>> files;
    };
    const Case cases[] = {
        {9,
         {{"J1939_Rec_Frames.xml", "<R>" +
                                       repeat(512,
                                              [](int) {
                                                  return Row({{"PGN", "1"}});
                                              }) +
                                       "</R>"}}},
        {1,
         {{"ModbusM_SetAccess.xml",
           modbusTable(repeat(512, [](int) { return modbusRow("Holding Register", 127, false); }),
                       repeat(512, [](int) { return modbusRow("Coil Status", 2040, true); }))}}},
        {6,
         {{"PDO_CANopen.xml",
           sections("Receive_PDO", repeat(128, pdoRow), "Transmit_PDO", repeat(128, pdoRow))}}},
        {12, {{"ParGen.xml", ParGen({{"PROFINET_NAME_STA", "abcdefghijklmnop"}})}}},
        {10,
         {{"ParGen.xml", mbusParGen},
          {"M_Bus.xml", mbusNetwork(repeat(32,
                                           [](int) {
                                               return mbusNode({{"MBus_Type", "2"}}, 1);
                                           }) +
                                    repeat(255, [](int) { return mbusNode({}, 1); }))}}},
    };
    const auto banks = [](int type, const TempProject& project) {
        Compile_Bank(type, project.Dir());
        Save_Bank(type, project.Dir());
        std::vector<Bytes> files;
        for (const std::string& name : ListFiles(project.Path("bin")))
            files.push_back(project.Read("bin/" + name));
        return files;
    };
    for (const Case& c : cases) {
        TempProject empty;
        const std::vector<Bytes> before = banks(c.type, empty);
        TempProject project;
        for (const auto& [name, text] : c.files) project.Write(name, text);
        EXPECT_EQ(FailureOf([&] { Compile_Bank(c.type, project.Dir()); }), "") << c.type;
        EXPECT_EQ(banks(c.type, empty), before) << c.type;
    }
}
