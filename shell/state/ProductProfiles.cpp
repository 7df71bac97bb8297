#include "shell/state/ProductProfiles.h"

#include "shell/state/ProgramState.h"

#include <algorithm>
#include <array>

const char* const Maker_Web_Host = "https://www.morvik.example";

namespace {

struct ProfileRow {
    int type;
    int baseType;
    const char* caption;
    const char* swCode;
    const char* description;
    const char* deviceCode;
    const char* version;
    const char* manualCode;
    TUpdate_Method method;
};

// Own-brand types: device code QV40..., manual code QM40... ; OEM editions carry their own codes.
constexpr std::array<ProfileRow, 22> Rows = {{
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
    // The 1003 caption names "Modbus Master", and 1014 shows another device code than its
    // software code in the update dialog: both are the editions' own texts.
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
}};

const ProfileRow* findRow(int type) {
    for (const ProfileRow& row : Rows)
        if (row.type == type) return &row;
    return nullptr;
}

// The buttons between Set Communication (step 2) and Update Device, by base type.
std::vector<TProduct_Step> middleSteps(int baseType) {
    const TProduct_Step knx{3, "Btn_KNX_Access", "TFKNXAccess"};
    switch (baseType) {
    case 1:
        return {knx, {4, "Btn_ModM_SetAccess", "TFSetAccess"}};
    case 3:
        return {knx, {4, "Btn_ModM_SetAccess", "TFModbus_TCP_Master_Set_Access"}};
    case 2:
    case 4:
    case 8:
    case 13:
    case 15:
        return {knx};
    case 5:
        return {knx,
                {4, "Btn_CAN_Rec_Frame", "TFReceiveCAN"},
                {5, "Btn_CAN_Send_Frame", "TFTransmitCAN"}};
    case 6:
        return {knx,
                {4, "Btn_SDO_Server_CANopen", "TFSet_SDO_Server_Access"},
                {5, "Btn_SDO_Client_CANopen", "TFSet_SDO_Client_Access"},
                {6, "Btn_PDO_CANopen", "TFSet_PDO_Access"},
                {7, "Btn_CANopen_EDS", "Build_EDS_File"}};
    case 7:
        return {knx, {4, "Btn_DNet_Net", "TFDNet"}, {4, "Btn_DNet_Offset", "TFDefOffset"}};
    case 9:
        return {knx,
                {4, "Btn_J1939_Rec_Frame", "TFReceiveJ1939"},
                {5, "Btn_J1939_Send_Frame", "TFTransmitJ1939"}};
    // The buttons named for J1939 open the NMEA 2000 editors.
    case 25:
        return {knx,
                {4, "Btn_J1939_Rec_Frame", "TFReceiveNMEA"},
                {5, "Btn_J1939_Send_Frame", "TFTransmitNMEA"}};
    case 10:
        return {knx, {4, "Btn_MBus", "TFMeter_Bus"}};
    case 11:
        return {knx, {4, "Btn_DMX_Default", "TFDMXDefVal"}};
    case 12:
        return {knx, {4, "Btn_PROFINET_XML", "PROFINET_XML"}};
    default:
        return {};
    }
}

} // namespace

TProduct_Profile Get_Product_Profile(int Type) {
    TProduct_Profile p;
    p.Type = Type;
    p.Base_Type = Type;
    const ProfileRow* row = findRow(Type);
    if (row) {
        p.Base_Type = row->baseType;
        p.OEM = row->type != row->baseType;
        p.Caption = row->caption;
        p.SW_Code = row->swCode;
        p.Description = row->description;
        p.Device_Code = row->deviceCode;
        p.Version = row->version;
        p.Manual_Code = row->manualCode;
        if (!p.OEM) p.Version_Check_Code = row->swCode;
        p.Update_Method = row->method;
    }
    p.Steps = {{1, "Btn_New", "TFNew_Project"},
               {1, "Btn_Open", "TFOpenConf"},
               {2, "Btn_Prm_Gen", "TFParGen"}};
    if (row) {
        const std::vector<TProduct_Step> middle = middleSteps(p.Base_Type);
        p.Steps.insert(p.Steps.end(), middle.begin(), middle.end());
    }
    p.Steps.push_back({p.Steps.back().Step + 1, "Btn_CreateBin", "Update_Device"});
    if (row && p.Base_Type == 10) p.Steps.push_back({0, "Btn_ScanDecode", "TFScanDecode"});
    return p;
}

TProduct_Profile Product_Profile() {
    return Get_Product_Profile(Product_Type());
}

std::vector<int> Product_Types_With_Profile() {
    std::vector<int> types;
    for (const ProfileRow& row : Rows) types.push_back(row.type);
    std::sort(types.begin(), types.end());
    return types;
}

int Step_Count(const TProduct_Profile& Profile) {
    int n = 0;
    for (const TProduct_Step& s : Profile.Steps) n = std::max(n, s.Step);
    return n;
}

std::string Product_Page_URL(int Type) {
    const ProfileRow* row = findRow(Type);
    if (!row || row->type != row->baseType) return "";
    return std::string(Maker_Web_Host) + "/HOME/default.asp?frompg=" + row->swCode;
}

std::string Download_Page_URL(int Type) {
    const ProfileRow* row = findRow(Type);
    if (!row || row->type != row->baseType) row = findRow(1);
    return std::string(Maker_Web_Host) + "/Home/download/download.asp#" + row->deviceCode;
}

std::string Version_Query_URL(int Type) {
    const std::string code = Get_Product_Profile(Type).Version_Check_Code;
    if (code.empty()) return "";
    return std::string(Maker_Web_Host) + "/home/download/GetversionSW.asp?nomesw=" + code;
}
