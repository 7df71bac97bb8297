// Compiling (and saving) a project whose tables are full, for each product type: every table
// of the variant holds as many rows as its bank area takes, with 1024 KNX rows beside them.
#include "image/ImageCompiler.h"

#include "platform/base/Memory.h"
#include "platform/files/Files.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using Files = std::vector<std::pair<std::string, std::string>>;

std::string repeat(int n, const std::function<std::string(int)>& item) {
    std::string text;
    for (int i = 0; i < n; ++i) text += item(i);
    return text;
}

std::string knxTable() {
    return "<BACnet_to_KNX><KNX_in_Read/><KNX_in_Write>" +
           repeat(1024,
                  [](int i) {
                      return "<row Enable=\"Y\" Source_Address=\"1.1." + std::to_string(i % 256) +
                             "\" Destination_Address=\"1/2/" + std::to_string(i % 256) +
                             "\" APCI=\"Write\" Priority=\"Low\" Format=\"SWAP16\" Extended=\"N\" "
                             "ReTest=\"N\" On_Command=\"Y\" On_Change=\"Y\" On_Timer=\"Y\" "
                             "Poll_Time=\"1000\" Position=\"" +
                             std::to_string(i) +
                             "\" Bit_Mode=\"No\" Length=\"1\" TimeOut=\"0\" Mnemonic=\"k\"/>";
                  }) +
           "</KNX_in_Write></BACnet_to_KNX>";
}

const char* const networkKeys =
    "<KNX_ID_DEV>1.1.200</KNX_ID_DEV>"
    "<Modbus_TCP_Slave_IP1>10</Modbus_TCP_Slave_IP1><Modbus_TCP_Slave_IP2>0</Modbus_TCP_Slave_IP2>"
    "<Modbus_TCP_Slave_IP3>0</Modbus_TCP_Slave_IP3><Modbus_TCP_Slave_IP4>7</Modbus_TCP_Slave_IP4>"
    "<Modbus_TCP_Slave_SM1>255</Modbus_TCP_Slave_SM1><Modbus_TCP_Slave_SM2>255</"
    "Modbus_TCP_Slave_SM2>"
    "<Modbus_TCP_Slave_SM3>255</Modbus_TCP_Slave_SM3><Modbus_TCP_Slave_SM4>0</Modbus_TCP_Slave_SM4>"
    "<Modbus_TCP_Slave_GAT1>10</Modbus_TCP_Slave_GAT1><Modbus_TCP_Slave_GAT2>0</"
    "Modbus_TCP_Slave_GAT2>"
    "<Modbus_TCP_Slave_GAT3>0</Modbus_TCP_Slave_GAT3><Modbus_TCP_Slave_GAT4>1</"
    "Modbus_TCP_Slave_GAT4>"
    "<Modbus_TCP_Slave_EN_GAT>1</Modbus_TCP_Slave_EN_GAT>";

std::string parGen(const std::string& keys) {
    return std::string("<Par_Gen>") + networkKeys + keys + "</Par_Gen>";
}

std::string pgnFrames(const char* root, int n, const std::string& attributes) {
    return std::string("<") + root + ">" +
           repeat(n,
                  [&](int i) {
                      return "<row PGN=\"" + std::to_string(126208 + i) + "\" " + attributes + "/>";
                  }) +
           "</" + root + ">";
}

std::string modbusTable(bool tcp) {
    const std::string ip = tcp ? " IP_Address=\"10.0.0.9\" Port=\"502\"" : "";
    const auto row = [&](const char* type, bool write) {
        return "<row Enable=\"Y\" Slave_ID=\"1\" Type=\"" + std::string(type) +
               "\" Address=\"100\" NPoint=\"10\" PollTime=\"500\" MaxError=\"3\" Position=\"0\" "
               "Bit=\"0\" Swap=\"N\"" +
               (write ? " OnChange=\"Y\" OnCMD=\"N\" UseFC1516=\"N\"" : "") + ip +
               " Mnemonic=\"m\"/>";
    };
    return "<M><Modbus_Read>" + repeat(512, [&](int) { return row("Holding Register", false); }) +
           "</Modbus_Read><Modbus_Write>" +
           repeat(512, [&](int) { return row("Coil Status", true); }) + "</Modbus_Write></M>";
}

std::string canFrames(bool send) {
    return "<CAN>" +
           repeat(512,
                  [&](int i) {
                      return "<row Enable=\"Y\" COBID=\"" + std::to_string(0x100 + i) +
                             "\" CAN_Type=\"2.0A (11 bits)\" Dim=\"8\"" +
                             (send ? " OnChange=\"Y\" OnCMD=\"N\" OnTimer=\"Y\" Time=\"100\""
                                   : " TimeOut=\"500\"") +
                             repeat(8,
                                    [&](int k) {
                                        return " Byte" + std::to_string(k + 1) + "=\"" +
                                               std::to_string((i * 8 + k) % 1024) + "\"";
                                    }) +
                             "/>";
                  }) +
           "</CAN>";
}

std::string sections(const char* root, const char* first, const char* second, int n,
                     const std::string& row) {
    const std::string rows = repeat(n, [&](int) { return row; });
    return std::string("<") + root + "><" + first + ">" + rows + "</" + first + "><" + second +
           ">" + rows + "</" + second + "></" + root + ">";
}

std::string mbusNetwork() {
    // 255 wired nodes and 32 wireless meters with 12 variables each: close to the 96256 bytes
    // of the node stream.
    const std::string variables = repeat(12, [](int) {
        return "<Variabile Enable=\"1\" Type=\"0\" Fun_Field=\"0\" Dim=\"2\" Unit=\"3\" "
               "StoNumber=\"0\" Tariff=\"0\" VIFE=\"0\" BCDtoINT=\"0\" VIF_ASCII=\"\" "
               "Length=\"0\" Conv_Float=\"0\" Force_Int32=\"0\" TP_Mod_Regs=\"0\" Position=\"1\" "
               "Post_Operation=\"0\"/>";
    });
    return "<M-Bus_Network>" +
           repeat(
               255 + 32,
               [&](int i) {
                   const bool wired = i < 255;
                   return std::string("<Nodo Enable_Node=\"1\" MBus_Type=\"") +
                          (wired ? "1" : "2") + "\" Node_ID_Type=\"0\" ID_Primary=\"" +
                          std::to_string(i % 250 + 1) +
                          "\" Node_State=\"1\" Ident_Num=\"1\" wMBus_ManID=\"11309\" wMBus_Add=\"" +
                          std::to_string(1000 + i) + "\" wMBus_En_Key=\"0\">" + variables +
                          "</Nodo>";
               }) +
           "</M-Bus_Network>";
}

Files filesOf(int type) {
    const std::string knx = knxTable();
    switch (type) {
    case 1:
        return {{"ParGen.xml", parGen("")},
                {"ModbusM_SetAccess.xml", modbusTable(false)},
                {"KNX_SetAccess.xml", knx}};
    case 3:
        return {{"ParGen.xml", parGen("")},
                {"ModbusTCPM_SetAccess.xml", modbusTable(true)},
                {"KNX_SetAccess.xml", knx}};
    case 5:
        return {{"ParGen.xml", parGen("<CAN_BAUDRATE>5</CAN_BAUDRATE>")},
                {"CAN_Rec_Frames.xml", canFrames(false)},
                {"CAN_Send_Frames.xml", canFrames(true)},
                {"KNX_SetAccess.xml", knx}};
    case 6: {
        const std::string sdo = "<row Device_ID=\"2\" Index=\"0x2000\" SubIndex=\"1\" NByte=\"4\" "
                                "Poll_Time=\"100\" On_Change=\"Y\" Address_B1=\"0\" "
                                "Address_B2=\"1\" Address_B3=\"2\" Address_B4=\"3\"/>";
        const std::string pdo =
            "<row COB-ID=\"0x181\" Dimension=\"8\" TimeOut=\"0\" Send_Time=\"100\" "
            "On_Change=\"Y\"" +
            repeat(8,
                   [](int k) {
                       return " Address_B" + std::to_string(k + 1) + "=\"" + std::to_string(k) +
                              "\"";
                   }) +
            "/>";
        return {
            {"ParGen.xml", parGen("<CANopen_IDDev>5</CANopen_IDDev>")},
            {"SDO_Server_CANopen.xml",
             sections("SDO_Server_CANopen", "SDO_Read", "SDO_Write", 512, sdo)},
            {"SDO_Client_CANopen.xml", sections("SDO_Client", "SDO_Read", "SDO_Write", 256, sdo)},
            {"PDO_CANopen.xml", sections("PDO_CANopen", "Receive_PDO", "Transmit_PDO", 128, pdo)},
            {"KNX_SetAccess.xml", knx}};
    }
    case 9:
        return {{"ParGen.xml",
                 parGen("<J1939_BAUDRATE>5</J1939_BAUDRATE><J1939_TIMEOUT>10</J1939_TIMEOUT>")},
                {"J1939_Rec_Frames.xml",
                 pgnFrames("Receive_J1939", 512,
                           "DP=\"0\" SA=\"5\" TP=\"N\" TP_Start=\"0\" TP_NByte=\"8\" Delete=\"Y\" "
                           "OnRequest=\"N\" OnReq_Time=\"0\"")},
                {"J1939_Send_Frames.xml",
                 pgnFrames("Receive_J1939", 512,
                           "Priority=\"3\" DP=\"0\" SA=\"7\" TP_NByte=\"8\" On_Request=\"N\" "
                           "On_Data_Change=\"Y\" On_Timer=\"Y\" SendTimer=\"500\"")},
                {"KNX_SetAccess.xml", knx}};
    case 10:
        return {
            {"ParGen.xml", parGen("<MBus_Options_Wire_Present>1</MBus_Options_Wire_Present>"
                                  "<MBus_Options_Wireless_Present>1</MBus_Options_Wireless_Present>"
                                  "<Meter_Baud>3</Meter_Baud><Meter_Par>0</Meter_Par>"
                                  "<Meter_Req_Delay>100</Meter_Req_Delay>")},
            {"M_Bus.xml", mbusNetwork()},
            {"KNX_SetAccess.xml", knx}};
    case 14:
        return {{"ParGen.xml", parGen("<KNX_ID_TUNNEL>9.0.160</KNX_ID_TUNNEL>")}};
    case 25:
        return {
            {"ParGen.xml", parGen("<NMEA2000_BAUDRATE>5</NMEA2000_BAUDRATE>"
                                  "<NMEA2000_TIMEOUT>10</NMEA2000_TIMEOUT>")},
            {"NMEA_Rec_Frames.xml",
             pgnFrames("Receive_NMEA_2000", 512,
                       "SA=\"5\" TP=\"N\" FP=\"N\" TP_Start=\"0\" TP_NByte=\"1\" Delete=\"Y\"")},
            {"NMEA_Send_Frames.xml",
             pgnFrames("Receive_NMEA_2000", 512,
                       "Priority=\"3\" SA=\"7\" FP=\"N\" TP_NByte=\"1\" On_Request=\"N\" "
                       "On_Data_Change=\"Y\" On_Timer=\"Y\" SendTimer=\"500\"")},
            {"KNX_SetAccess.xml", knx}};
    default: // 2, 4, 12, 13 and 15: the KNX table is their only table
        return {{"ParGen.xml", parGen("<PROFINET_NAME_STA>plc-1</PROFINET_NAME_STA>")},
                {"KNX_SetAccess.xml", knx}};
    }
}

class FullProject {
public:
    explicit FullProject(int type) {
        dir_ = (std::filesystem::temp_directory_path() /
                ("bench_image_full_project_" + std::to_string(type)))
                   .string();
        std::filesystem::remove_all(dir_);
        ForceDirectories(PathJoin(dir_, "bin"));
        for (const auto& [name, text] : filesOf(type)) WriteBinaryFile(PathJoin(dir_, name), text);
    }
    ~FullProject() { std::filesystem::remove_all(dir_); }
    const std::string& Dir() const { return dir_; }

private:
    std::string dir_;
};

void BM_CompileFullProject(benchmark::State& state) {
    const int type = int(state.range(0));
    FullProject project(type);
    for (auto _ : state) {
        Compile_Bank(type, project.Dir());
        benchmark::DoNotOptimize(Image_Buffer.data());
    }
}

void BM_CompileAndSaveFullProject(benchmark::State& state) {
    const int type = int(state.range(0));
    FullProject project(type);
    for (auto _ : state) {
        Compile_Bank(type, project.Dir());
        Save_Bank(type, project.Dir());
    }
}

void types(benchmark::internal::Benchmark* b) {
    for (int type : {1, 2, 3, 4, 5, 6, 9, 10, 12, 13, 14, 15, 25}) b->Arg(type);
    b->ArgName("type")->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_CompileFullProject)->Apply(types);
BENCHMARK(BM_CompileAndSaveFullProject)->Apply(types);

} // namespace

// As the program does at start-up.
int main(int argc, char** argv) {
    keepFreedMemory();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
