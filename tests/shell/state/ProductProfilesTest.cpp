#include "shell/state/ProductProfiles.h"

#include "shell/state/ProgramState.h"

#include <gtest/gtest.h>

namespace {

struct ProfileCase {
    int type;
    int base;
    const char* caption;
    const char* swCode;
    const char* description;
    const char* deviceCode;
    const char* version;
    const char* manualCode;
    TUpdate_Method method;
};

const ProfileCase Profiles[] = {
    {1, 1, "Morvik - Configurator QS40518 - Modbus Master / KNX ", "QS40518",
     "Modbus Master / KNX - Converter", "QV40518", "1.300", "QM40518", umOldBootFile},
    {2, 2, "Morvik - Configurator QS40519 - Modbus Slave / KNX ", "QS40519",
     "Modbus Slave / KNX - Converter", "QV40519", "1.200", "QM40519", umCommandLine},
    {3, 3, "Morvik - Configurator QS40520 - Modbus TCP Master / KNX ", "QS40520",
     "Modbus TCP Master / KNX - Converter", "QV40520", "1.103", "QM40520", umOldBootFile},
    {4, 4, "Morvik - Configurator QS40521 - Modbus TCP Slave / KNX ", "QS40521",
     "Modbus TCP Slave / KNX - Converter", "QV40521", "1.200", "QM40521", umCommandLine},
    {5, 5, "Morvik - Configurator QS40511 - CAN / KNX ", "QS40511", "CAN / KNX - Converter",
     "QV40511", "1.101", "QM40511", umCommandLine},
    {6, 6, "Morvik - Configurator QS40512 - CANopen / KNX ", "QS40512", "CANopen / KNX - Converter",
     "QV40512", "1.000", "QM40512", umOldBootFile},
    {7, 7, "Morvik - Configurator QS40514 - DeviceNet Master / KNX ", "QS40514",
     "DeviceNet Master / KNX - Converter", "QV40514", "1.000", "QM40514", umCommandLine},
    {8, 8, "Morvik - Configurator QS40515 - DeviceNet Slave / KNX ", "QS40515",
     "DeviceNet Slave / KNX - Converter", "QV40515", "1.000", "QM40515", umCommandLine},
    {9, 9, "Morvik - Configurator QS40516 - J1939 / KNX ", "QS40516", "J1939 / KNX - Converter",
     "QV40516", "1.100", "QM40516", umOldBootFile},
    {10, 10, "Morvik - Configurator QS40517 - M-Bus Master / KNX ", "QS40517",
     "M-Bus Master / KNX - Converter", "QV40517", "1.205", "QM40517", umOldBootFile},
    {11, 11, "Morvik - Configurator QS40524 - DMX / KNX ", "QS40524", "DMX / KNX - Converter",
     "QV40524", "1.104", "QM40524", umCommandLine},
    {12, 12, "Morvik - Configurator QS40522 - PROFINET Slave / KNX ", "QS40522",
     "PROFINET Slave / KNX - Converter", "QV40522", "1.201", "QM40522", umCommandLine},
    {13, 13, "Morvik - Configurator QS40513 - EtherNet/IP / KNX ", "QS40513",
     "EtherNet/IP / KNX - Converter", "QV40513", "1.003", "QM40513", umCommandLine},
    {14, 14, "Morvik - Configurator QS40525 - Ethernet / KNX ", "QS40525",
     "Ethernet / KNX - Interface", "QV40525", "1.004", "QM40525", umCommandLine},
    {15, 15, "Morvik - Configurator QS40523 - SNMP / KNX ", "QS40523", "SNMP / KNX - Converter",
     "QV40523", "1.002", "QM40523", umOldBootFile},
    {25, 25, "Morvik - Configurator QS40526 - NMEA 2000 / KNX ", "QS40526",
     "NMEA 2000 / KNX - Converter", "QV40526", "1.000", "QM40526", umNewBootFile},
    {1001, 1, "Lorvan - Configurator LRV-GM1-TP-485 - Modbus Master / KNX ", "LRV-GM1-TP-485",
     "Gateway Modbus RS485 master RTU - KNX TP", "LRV-GM1-TP-485", "1.300", "MLRVGM1TP485",
     umOldBootFile},
    {1003, 3, "Lorvan - Configurator LRV-GM1-TP-TCP - Modbus Master / KNX ", "LRV-GM1-TP-TCP",
     "Gateway Modbus TCP/IP master - KNX TP", "LRV-GM1-TP-TCP", "1.103", "MLRVGM1TPTCP",
     umCommandLine},
    {1010, 10, "Lorvan - Configurator LRV-GB1-TP - M-Bus Master / KNX ", "LRV-GB1-TP",
     "Gateway M-Bus Master - KNX", "LRV-GB1-TP", "1.205", "MLRVGB1TP", umOldBootFile},
    {1011, 11, "Lorvan - Configurator LRV-GD1-TP - DMX / KNX ", "LRV-GD1-TP",
     "Gateway DMX - KNX TP", "LRV-GD1-TP", "1.104", "MLRVGD1TP", umCommandLine},
    {1012, 12, "Lorvan - Configurator LRV-GN1-TP - PROFINET Slave / KNX ", "LRV-GN1-TP",
     "Gateway PROFINET - KNX TP", "LRV-GN1-TP", "1.201", "MLRVGN1TP", umCommandLine},
    {1014, 14, "Lorvan - Configurator LRV-GE1-TP - Ethernet / KNX ", "LRV-GE1-TP",
     "Interface Ethernet - KNX TP", "LRV-GX1-TP", "1.004", "MLRVGE1TP", umCommandLine},
};

} // namespace

TEST(ProductProfiles, EveryTypeHasItsTextsCodesVersionAndUpdateMethod) {
    std::vector<int> types;
    for (const auto& c : Profiles) {
        types.push_back(c.type);
        const TProduct_Profile p = Get_Product_Profile(c.type);
        SCOPED_TRACE(c.type);
        EXPECT_EQ(p.Type, c.type);
        EXPECT_EQ(p.Base_Type, c.base);
        EXPECT_EQ(p.OEM, c.type > 1000);
        EXPECT_EQ(p.Caption, c.caption);
        EXPECT_EQ(p.SW_Code, c.swCode);
        EXPECT_EQ(p.Description, c.description);
        EXPECT_EQ(p.Device_Code, c.deviceCode);
        EXPECT_EQ(p.Version, c.version);
        EXPECT_EQ(p.Manual_Code, c.manualCode);
        EXPECT_EQ(p.Version_Check_Code, p.OEM ? "" : c.swCode);
        EXPECT_EQ(p.Update_Method, c.method);
    }
    EXPECT_EQ(Product_Types_With_Profile(), types);
}

TEST(ProductProfiles, OwnBrandRulesAndOemEditionsFollowTheirBase) {
    for (int type : Product_Types_With_Profile()) {
        const TProduct_Profile p = Get_Product_Profile(type);
        SCOPED_TRACE(type);
        // One blank after "KNX", never two.
        EXPECT_TRUE(p.Caption.ends_with("/ KNX ") && !p.Caption.ends_with("  "));
        ASSERT_EQ(p.Version.size(), 5u);
        EXPECT_EQ(p.Version[1], '.');
        if (!p.OEM) {
            EXPECT_EQ(p.Device_Code, "QV40" + p.SW_Code.substr(4));
            EXPECT_EQ(p.Manual_Code, "QM40" + p.SW_Code.substr(4));
            continue;
        }
        const TProduct_Profile base = Get_Product_Profile(p.Base_Type);
        EXPECT_EQ(p.Version, base.Version);
        EXPECT_EQ(p.Steps, base.Steps);
    }
}

TEST(ProductProfiles, StepsAndWhatTheyOpen) {
    using S = std::vector<TProduct_Step>;
    const TProduct_Step newBtn{1, "Btn_New", "TFNew_Project"}, open{1, "Btn_Open", "TFOpenConf"},
        comm{2, "Btn_Prm_Gen", "TFParGen"}, knx{3, "Btn_KNX_Access", "TFKNXAccess"};
    auto update = [](int step) { return TProduct_Step{step, "Btn_CreateBin", "Update_Device"}; };
    struct Case {
        int type;
        S steps;
    };
    const Case cases[] = {
        {25,
         {newBtn,
          open,
          comm,
          knx,
          {4, "Btn_J1939_Rec_Frame", "TFReceiveNMEA"},
          {5, "Btn_J1939_Send_Frame", "TFTransmitNMEA"},
          update(6)}},
        {9,
         {newBtn,
          open,
          comm,
          knx,
          {4, "Btn_J1939_Rec_Frame", "TFReceiveJ1939"},
          {5, "Btn_J1939_Send_Frame", "TFTransmitJ1939"},
          update(6)}},
        {1, {newBtn, open, comm, knx, {4, "Btn_ModM_SetAccess", "TFSetAccess"}, update(5)}},
        {1003,
         {newBtn,
          open,
          comm,
          knx,
          {4, "Btn_ModM_SetAccess", "TFModbus_TCP_Master_Set_Access"},
          update(5)}},
        {2, {newBtn, open, comm, knx, update(4)}},
        {5,
         {newBtn,
          open,
          comm,
          knx,
          {4, "Btn_CAN_Rec_Frame", "TFReceiveCAN"},
          {5, "Btn_CAN_Send_Frame", "TFTransmitCAN"},
          update(6)}},
        {6,
         {newBtn,
          open,
          comm,
          knx,
          {4, "Btn_SDO_Server_CANopen", "TFSet_SDO_Server_Access"},
          {5, "Btn_SDO_Client_CANopen", "TFSet_SDO_Client_Access"},
          {6, "Btn_PDO_CANopen", "TFSet_PDO_Access"},
          {7, "Btn_CANopen_EDS", "Build_EDS_File"},
          update(8)}},
        {7,
         {newBtn,
          open,
          comm,
          knx,
          {4, "Btn_DNet_Net", "TFDNet"},
          {4, "Btn_DNet_Offset", "TFDefOffset"},
          update(5)}},
        {1010,
         {newBtn,
          open,
          comm,
          knx,
          {4, "Btn_MBus", "TFMeter_Bus"},
          update(5),
          {0, "Btn_ScanDecode", "TFScanDecode"}}},
        {11, {newBtn, open, comm, knx, {4, "Btn_DMX_Default", "TFDMXDefVal"}, update(5)}},
        {1012, {newBtn, open, comm, knx, {4, "Btn_PROFINET_XML", "PROFINET_XML"}, update(5)}},
        {14, {newBtn, open, comm, update(3)}},
    };
    for (const auto& c : cases) EXPECT_EQ(Get_Product_Profile(c.type).Steps, c.steps) << c.type;

    // Step counts of the main window's layout, for every type.
    const std::pair<int, int> counts[] = {
        {1, 5},    {2, 4},    {3, 5},    {4, 4},    {5, 6},    {6, 8},    {7, 5},  {8, 4},
        {9, 6},    {10, 5},   {11, 5},   {12, 5},   {13, 4},   {14, 3},   {15, 4}, {25, 6},
        {1001, 5}, {1003, 5}, {1010, 5}, {1011, 5}, {1012, 5}, {1014, 3},
    };
    for (const auto& [type, n] : counts)
        EXPECT_EQ(Step_Count(Get_Product_Profile(type)), n) << type;
}

TEST(ProductProfiles, TypeWithoutRowHasEmptyTextsAndOnlyTheCommonSteps) {
    for (int type : {0, 16, 24, 1002, -1}) {
        const TProduct_Profile p = Get_Product_Profile(type);
        SCOPED_TRACE(type);
        EXPECT_EQ(p.Caption + p.SW_Code + p.Description + p.Device_Code + p.Version +
                      p.Manual_Code + p.Version_Check_Code,
                  "");
        EXPECT_EQ(p.Update_Method, umNone);
        const std::vector<TProduct_Step> common = {{1, "Btn_New", "TFNew_Project"},
                                                   {1, "Btn_Open", "TFOpenConf"},
                                                   {2, "Btn_Prm_Gen", "TFParGen"},
                                                   {3, "Btn_CreateBin", "Update_Device"}};
        EXPECT_EQ(p.Steps, common);
        EXPECT_EQ(Product_Page_URL(type), "");
        EXPECT_EQ(Version_Query_URL(type), "");
    }
}

TEST(ProductProfiles, WebLinks) {
    const std::string host = Maker_Web_Host;
    EXPECT_EQ(Product_Page_URL(25), host + "/HOME/default.asp?frompg=QS40526");
    EXPECT_EQ(Download_Page_URL(25), host + "/Home/download/download.asp#QV40526");
    EXPECT_EQ(Version_Query_URL(25), host + "/home/download/GetversionSW.asp?nomesw=QS40526");
    // OEM editions: no product page, no version query, the download page of type 1.
    EXPECT_EQ(Product_Page_URL(1014), "");
    EXPECT_EQ(Version_Query_URL(1014), "");
    EXPECT_EQ(Download_Page_URL(1014), host + "/Home/download/download.asp#QV40518");
    EXPECT_EQ(Download_Page_URL(99), host + "/Home/download/download.asp#QV40518");
}

TEST(ProductProfiles, CurrentProfileFollowsTheProductType) {
    EXPECT_EQ(Product_Profile().Type, Product_Type());
    Set_Product_Type(1014);
    EXPECT_EQ(Product_Profile().SW_Code, "LRV-GE1-TP");
    Set_Product_Type(Built_Product_Type());
}
