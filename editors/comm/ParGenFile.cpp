// The communication-parameter dialog's file: the keys of ParGen.xml, reading and writing.
#include "editors/comm/ParGen.h"
#include "editors/comm/ParGenTypes.h"
#include "platform/files/Files.h"
#include "shell/state/ProgramState.h"
#include "shell/state/ProjectInt.h"

#include <cstdint>

using namespace pargen;

namespace {

// The "SW_VERSION = " number written after the root; "" for types with no file version.
std::string SW_Version(int Type) {
    switch (Type) {
    case 1:
    case 1001:
        return "1.300";
    case 2:
    case 4:
        return "1.200";
    case 3:
    case 1003:
        return "1.103";
    case 5:
        return "1.101";
    case 6:
    case 7:
    case 8:
    case 25:
        return "1.000";
    case 9:
        return "1.100";
    case 10:
    case 1010:
        return "1.205";
    case 11:
    case 1011:
        return "1.104";
    case 12:
    case 1012:
        return "1.201";
    case 13:
        return "1.003";
    case 14:
    case 1014:
        return "1.004";
    case 15:
        return "1.002";
    default:
        return "";
    }
}

} // namespace

int TFParGen::Text_To_Int(const std::string& Text, int Def) {
    return ImageIntDef(Text, Def);
}

void TFParGen::Create_Keys() {
    keys_.clear();
    auto key = [&](std::string name, TControl* control, TPar_Kind kind, std::string initial,
                   std::string def, bool (*written)(int), bool reset = true) {
        keys_.push_back({std::move(name), control, kind, std::move(initial), std::move(def), reset,
                         written, false});
    };

    key("KNX_TYPE", CB_KNX_Type, pkList, "0", "0", Is_Any);
    key("KNX_ID_DEV", E_ID_DEV_KNX, pkEdit, "0", "1.1.200", Is_Any);
    key("KNX_ID_TUNNEL", E_ID_Tun_KNX, pkEdit, "0", "1.1.201", Is_KNXnet);
    key("KNX_ID_MANAGEMENT", E_ID_Mana_KNX, pkEdit, "0", "1.1.202", Is_KNXnet);
    key("KNX_CONTROL_PORT", E_CTRL_Port_KNX, pkEdit, "0", "50000", Is_KNXnet);
    key("KNX_TUNNEL_PORT", E_TUN_Port_KNX, pkEdit, "0", "50001", Is_KNXnet);
    key("KNX_MANAGEMENT_PORT", E_MANA_Port_KNX, pkEdit, "0", "50002", Is_KNXnet);
    key("KNX_DELAY_BETWEEN_PACKETS", E_KNX_Delay_Packets, pkEdit, "0", "100", Is_Delay);

    key("ModbusM_SERIAL", CB_Serial_Modbus_Master, pkList, "0", "0", Is_Modbus_Master);
    key("ModbusM_BAUDRATE", CB_Baud_Modbus_Master, pkList, "7", "7", Is_Modbus_Master);
    key("ModbusM_PARITY", CB_Par_Modbus_Master, pkList, "0", "0", Is_Modbus_Master);
    key("ModbusM_STOPBITS", CB_StopBits_Modbus_Master, pkList, "0", "0", Is_Modbus_Master);
    key("ModbusM_TIMEOUT", E_TO_Modbus_Master, pkEdit, "0", "1000", Is_Modbus_Master);
    key("ModbusM_CYCLIC", E_CD_Modbus_Master, pkEdit, "0", "100", Is_Modbus_Master);

    key("MODBUS_SLAVE_SERIAL", CB_Serial_Modbus_Slave, pkList, "0", "0", Is_Modbus_Slave);
    key("MODBUS_SLAVE_BAUDRATE", CB_Baud_Modbus_Slave, pkList, "7", "7", Is_Modbus_Slave);
    key("MODBUS_SLAVE_PARITY", CB_Par_Modbus_Slave, pkList, "0", "0", Is_Modbus_Slave);
    key("MODBUS_SLAVE_STOPBITS", CB_StopBits_Modbus_Slave, pkList, "0", "0", Is_Modbus_Slave);
    key("MODBUS_SLAVE_IDDEVICE", E_ID_Modbus_Slave, pkEdit, "0", "10", Is_Modbus_Slave);
    key("MODBUS_SLAVE_EN_DIAGNOSTIC", CB_Modbus_Slave_Diagnostic, pkCheck, "0", "0",
        Is_Modbus_Slave);
    key("MODBUS_SLAVE_DIAGNOSTIC_REG", E_Modbus_Slave_Diagnostic, pkEdit, "0", "0",
        Is_Modbus_Slave);

    // The octet rows: keys Prefix_IP1..4, Prefix_SM1..4, Prefix_GAT1..4 and the gateway tick
    // Prefix_EN_GAT, their controls, the IP default, the place of the tick.
    auto rows = [&](const std::string& prefix, TCheckBox* gateway, bool tick_before_gateway,
                    const char* const ip_default[4], bool (*written)(int)) {
        const std::vector<TEdit*>& edits = octet_rows_.at(prefix);
        static const char* const ip_initial[4] = {"192", "168", "0", "5"};
        static const char* const mask[4] = {"255", "255", "255", "0"};
        static const char* const gat[4] = {"192", "168", "0", "1"};
        auto octet = [&](const char* kind, int n) { return prefix + kind + std::to_string(n + 1); };
        const std::string tick = prefix + "_EN_GAT";
        for (int n = 0; n < 4; ++n)
            key(octet("_IP", n), edits[n], pkEdit, ip_initial[n], ip_default[n], written);
        for (int n = 0; n < 4; ++n)
            key(octet("_SM", n), edits[4 + n], pkEdit, mask[n], mask[n], written);
        if (tick_before_gateway) key(tick, gateway, pkCheck, "0", "0", written);
        for (int n = 0; n < 4; ++n)
            key(octet("_GAT", n), edits[8 + n], pkEdit, gat[n], gat[n], written);
        if (!tick_before_gateway) key(tick, gateway, pkCheck, "0", "0", written);
    };
    static const char* const ip_5[4] = {"192", "168", "0", "5"};
    static const char* const ip_11[4] = {"192", "168", "0", "11"};

    key("Modbus_TCP_Master_TimeOut", E_TO_Modbus_TCP_Master, pkEdit, "0", "1000",
        Is_Modbus_TCP_Master);
    key("Modbus_TCP_Master_Cyclic", E_CD_Modbus_TCP_Master, pkEdit, "0", "100",
        Is_Modbus_TCP_Master);
    rows("Modbus_TCP_Master", CB_En_GAT_Modbus_TCP_Master, false, ip_5, Is_Modbus_TCP_Master);

    key("Modbus_TCP_Slave_Port", E_Port_Modbus_TCP_Slave, pkEdit, "0", "502", Is_Modbus_TCP_Slave);
    key("Modbus_TCP_Slave_EN_DIAGNOSTIC", CB_Modbus_TCP_Slave_Diagnostic, pkCheck, "0", "0",
        Is_Modbus_TCP_Slave);
    key("Modbus_TCP_Slave_DIAGNOSTIC_REG", E_Modbus_TCP_Slave_Diagnostic, pkEdit, "0", "0",
        Is_Modbus_TCP_Slave);
    rows("Modbus_TCP_Slave", CB_En_GAT_Modbus_TCP_Slave, false, ip_5, Has_Ethernet);

    key("CAN_BAUDRATE", CAN_Baud, pkList, "9", "9", Is_CAN);

    key("CANopen_IDDev", E_ID_CANopen, pkEdit, "0", "1", Is_CANopen);
    key("CANopen_BAUDRATE", CB_Baud_CANopen, pkList, "5", "5", Is_CANopen);
    key("CANopen_Set_Operational", CB_Set_Ope_CANopen, pkCheck, "0", "0", Is_CANopen);
    key("CANopen_Network_Start", CB_Net_Ope_CANopen, pkCheck, "0", "0", Is_CANopen);
    key("CANopen_Delay", E_NO_Delay_CANopen, pkEdit, "255", "0", Is_CANopen);
    key("CANopen_SDO_TimeOut", E_SDO_TO_CANopen, pkEdit, "0", "10000", Is_CANopen);

    key("DNETM_ID_DEV", E_ID_DNET_Master, pkEdit, "0", "0", Is_DNET_Master);
    key("DNETM_BAUDRATE", CB_Baud_DNET_Master, pkList, "2", "2", Is_DNET_Master);

    key("DNETS_ID_DEV", E_ID_DNET_Slave, pkEdit, "0", "10", Is_DNET_Slave);
    key("DNETS_BAUDRATE", CB_Baud_DNET_Slave, pkList, "2", "2", Is_DNET_Slave);
    key("DNETS_NB_IN", E_NB_IN_DNET_Slave, pkEdit, "0", "455", Is_DNET_Slave);
    key("DNETS_NB_OUT", E_NB_OUT_DNET_Slave, pkEdit, "0", "455", Is_DNET_Slave);

    key("J1939_BAUDRATE", CB_Baud_J1939, pkList, "5", "5", Is_J1939);
    key("J1939_TIMEOUT", E_TO_J1939, pkEdit, "0", "0", Is_J1939);
    key("J1939_PEER_TO_PEER", CB_En_Peer_J1939, pkCheck, "0", "0", Is_J1939);
    key("J1939_Device_ID", E_J1939_DevID, pkEdit, "0", "0", Is_J1939, false);

    key("MBus_Options_Wire_Present", CB_MBus_Options_Wire_Present, pkList, "0", "1", Is_MBus);
    key("MBus_Options_Wireless_Present", CB_MBus_Options_Wireless_Present, pkList, "0", "1",
        Is_MBus);
    key("Meter_Baud", CB_Baud_Mbus, pkList, "0", "0", Is_MBus);
    key("Meter_Par", CB_Parity_Mbus, pkList, "0", "2", Is_MBus);
    key("Meter_Req_Delay", E_CD_Mbus, pkEdit, "0", "100", Is_MBus);
    key("Meter_NS_Error_Code", E_NSE_MBus, pkEdit, "0", "0", Is_MBus);
    key("wMBus_Mode", CB_wMBus_Mode, pkList, "0", "0", Is_MBus);
    key("wMBus_Radio_Channel", CB_wMBus_Radio_Channel, pkList, "0", "0", Is_MBus);

    key("DMX_DMX", CB_DMX_DMX, pkList, "1", "1", Is_DMX);
    key("DMX_Num_Channels", E_DMX_Num_Channel, pkEdit, "0", "512", Is_DMX);

    rows("PROFINET", CB_EN_GAT, false, ip_5, Is_PROFINET_Or_SNMP);
    key("PROFINET_PORT", E_PORT, pkEdit, "34964", "34964", Is_PROFINET);
    keys_.back().Fixed = true;
    key("PROFINET_NAME_STA", E_Profinet_Name_Station, pkEdit, "devicename1", "devicename1",
        Is_PROFINET_Or_SNMP);
    key("PROFINET_NB_IN", E_NB_IN_PROFINET, pkEdit, "0", "1438", Is_PROFINET);
    key("PROFINET_NB_OUT", E_NB_OUT_PROFINET, pkEdit, "0", "1438", Is_PROFINET);

    rows("EtherNetIP", CB_EtherNetIP_Gateway, true, ip_11, Is_EtherNetIP);
    key("EtherNetIP_Port", E_Port_EtherNetIP, pkEdit, "44818", "44818", Is_EtherNetIP);
    key("EtherNetIP_NB_IN", E_B_IN_EtherNetIP, pkEdit, "0", "496", Is_EtherNetIP);
    key("EtherNetIP_NB_OUT", E_B_OUT_EtherNetIP, pkEdit, "0", "500", Is_EtherNetIP);

    // A missing file leaves the NMEA 2000 group at the values it is created with.
    key("NMEA2000_BAUDRATE", CB_NMEA2000_Baudrate, pkList, "5", "6", Is_NMEA2000, false);
    key("NMEA2000_TIMEOUT", E_NMEA2000_TimeOut, pkEdit, "0", "0", Is_NMEA2000, false);
    key("NMEA2000_PEER_TO_PEER", CB_NMEA2000_Peer_To_Peer, pkCheck, "0", "0", Is_NMEA2000, false);
    key("NMEA2000_ID_Device", E_NMEA2000_ID_Device, pkEdit, "0", "0", Is_NMEA2000, false);
}

void TFParGen::Set_Value(const TPar_Key& K, const std::string& Value) {
    switch (K.Kind) {
    case pkList: {
        auto* list = static_cast<TComboBox*>(K.Control);
        const int def = Text_To_Int(K.Default, 0);
        int index = Text_To_Int(Value, def);
        // An index the list does not hold would be saved as "-1": the key's default instead.
        if (index < 0 || index >= list->Items()->Count()) index = def;
        list->SetItemIndex(index);
        break;
    }
    case pkEdit:
        static_cast<TEdit*>(K.Control)->SetText(Value);
        break;
    case pkCheck:
        static_cast<TCheckBox*>(K.Control)->SetChecked(Value == "1");
        break;
    }
}

std::string TFParGen::Get_Value(const TPar_Key& K) const {
    switch (K.Kind) {
    case pkList:
        return std::to_string(static_cast<TComboBox*>(K.Control)->ItemIndex());
    case pkEdit:
        return K.Control->Text();
    case pkCheck:
        return static_cast<TCheckBox*>(K.Control)->Checked() ? "1" : "0";
    }
    return "";
}

void TFParGen::Reset_To_Initial() {
    for (const TPar_Key& k : keys_) Set_Value(k, k.Initial);
}

void TFParGen::Apply_Missing_File_Defaults() {
    const int type = Product_Type();
    for (const TPar_Key& k : keys_)
        if (k.Written(type) && k.Reset_When_Missing) Set_Value(k, k.Default);
}

void TFParGen::Read_ParGen() {
    const int type = Product_Type();
    // Nothing of an earlier showing (another project) survives into this one.
    Reset_To_Initial();
    Apply_Missing_File_Defaults();
    Move_GroupBoxs();
    Is_Change = false;
    file_unreadable_ = false;
    try {
        // Something that is not a file where the file should be is an error, not a missing file.
        if (!FileExistsStrict(File_ParGen)) return;
        XML1->SetActive(true);
        XML1->LoadFromFile(File_ParGen);
    } catch (const Exception& e) {
        // The user sees why the file was not used; the dialog closes without touching it.
        file_unreadable_ = true;
        Application->ShowException(e);
        SetModalResult(mrCancel);
        return;
    }
    // The document element, as the image compiler reads it: a declaration or comment before
    // it is passed over.
    const TXmlNode root = XML1->DocumentElement();
    for (const TPar_Key& k : keys_) {
        if (!k.Written(type)) continue;
        std::string value = k.Default;
        if (root) {
            try {
                if (const TXmlNode node = root.ChildNodes().FindNode(k.Key)) value = node.Text();
            } catch (const EXMLDocError&) {
                // An element without plain text: this key alone takes its default.
                value = k.Default;
            }
        }
        if (k.Fixed) value = k.Default;
        Set_Value(k, value);
    }
    Move_GroupBoxs();
    Is_Change = false;
}

void TFParGen::Write_ParGen() {
    if (file_unreadable_)
        throw EFCreateError("The file " + File_ParGen + " could not be read; it is kept as it is");
    const int type = Product_Type();
    XML1->SetActive(true);
    XML1->Clear();
    TXmlNode root = XML1->AddChild("Par_Gen");
    const std::string version = SW_Version(type);
    if (!version.empty()) XML1->ChildNodes().Add(XML1->CreateComment("SW_VERSION = " + version));
    for (const TPar_Key& k : keys_)
        if (k.Written(type)) root.AddChild(k.Key).SetText(Get_Value(k));
    XML1->SaveToFile(File_ParGen);
}
