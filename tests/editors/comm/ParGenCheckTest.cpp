// Validation of the communication parameters, every product type.
#include "ParGenTestSupport.h"

namespace {

struct Setting {
    const char* control; // an edit gets the text, a list the index, a check box "1" ticks it
    const char* value;
};

struct Case {
    int type;
    std::vector<Setting> settings;
    const char* message; // nullptr: passes
};

void Apply(TFParGen* f, const Setting& s) {
    TComponent* c = f->FindComponent(s.control);
    ASSERT_NE(c, nullptr) << s.control;
    if (auto* e = dynamic_cast<TEdit*>(c))
        e->SetText(s.value);
    else if (auto* l = dynamic_cast<TComboBox*>(c))
        l->SetItemIndex(std::stoi(s.value));
    else if (auto* b = dynamic_cast<TCheckBox*>(c))
        b->SetChecked(std::string(s.value) == "1");
    else
        FAIL() << s.control;
}

std::string Describe(const Case& c) {
    std::string text = "type " + std::to_string(c.type) + ":";
    for (const Setting& s : c.settings)
        text += std::string(" ") + s.control + "=\"" + s.value + "\"";
    return text;
}

} // namespace

// Each case starts from the values of a project without ParGen.xml, which pass.
TEST_F(ParGenTest, ControlloDatiShowsTheFirstFailingCheck) {
    const char* knx = "Error KNX!! ID Device must be a valid KNX Address (Ex. 1.1.20)";
    const char* ip1 = "Error Ethernet!! IP Address 1 must be between 0 and 255";
    const char* gat1 = "Error Ethernet!! GATEWAY IP 1 must be between 0 and 255";
    const char* timeout = "Error NMEA 2000!! Time Out Data must be between 0 and 100000s";
    const char* id2000 = "Error J1939!! ID Device NMEA 2000 must be between 0 and 239";
    const Case cases[] = {
        // Product type 25.
        {25, {}, nullptr},
        {25, {{"E_ID_DEV_KNX", "0.0.0"}}, knx},
        {25, {{"E_ID_DEV_KNX", "15.15.255"}}, nullptr},
        {25, {{"E_ID_DEV_KNX", " 1.1.200 "}}, nullptr},
        {25, {{"E_ID_DEV_KNX", "16.1.1"}}, knx},
        {25, {{"E_ID_DEV_KNX", ""}}, knx},
        {25, {{"E_ID_DEV_KNX", "1/1/1"}}, knx},
        {25, {{"E_ID_DEV_KNX", "65535"}}, nullptr},
        {25, {{"E_IP1_Modbus_TCP_Slave", "256"}}, ip1},
        {25, {{"E_IP1_Modbus_TCP_Slave", ""}}, ip1},
        {25, {{"E_IP1_Modbus_TCP_Slave", "1a"}}, ip1},
        {25, {{"E_IP1_Modbus_TCP_Slave", "1.5"}}, ip1},
        {25, {{"E_IP1_Modbus_TCP_Slave", " 5"}}, nullptr},
        {25, {{"E_IP1_Modbus_TCP_Slave", "5 "}}, ip1},
        {25, {{"E_IP1_Modbus_TCP_Slave", "$FF"}}, nullptr},
        {25,
         {{"E_IP3_Modbus_TCP_Slave", "-1"}},
         "Error Ethernet!! IP Address 3 must be between 0 and 255"},
        {25,
         {{"E_IP4_Modbus_TCP_Slave", "300"}, {"E_SM1_Modbus_TCP_Slave", "x"}},
         "Error Ethernet!! IP Address 4 must be between 0 and 255"},
        {25,
         {{"E_SM2_Modbus_TCP_Slave", "256"}},
         "Error Ethernet!! SUBNET Mask 2 must be between 0 and 255"},
        {25, {{"E_SM2_Modbus_TCP_Slave", "0"}, {"E_SM4_Modbus_TCP_Slave", "255"}}, nullptr},
        {25, {{"E_GAT1_Modbus_TCP_Slave", "ab"}}, nullptr},
        {25, {{"E_GAT1_Modbus_TCP_Slave", "ab"}, {"CB_En_GAT_Modbus_TCP_Slave", "1"}}, gat1},
        {25,
         {{"E_GAT4_Modbus_TCP_Slave", "256"}, {"CB_En_GAT_Modbus_TCP_Slave", "1"}},
         "Error Ethernet!! GATEWAY IP 4 must be between 0 and 255"},
        {25, {{"E_IP1_Modbus_TCP_Slave", "x"}, {"E_NMEA2000_TimeOut", "x"}}, ip1},
        {25, {{"E_NMEA2000_TimeOut", "100000"}}, nullptr},
        {25, {{"E_NMEA2000_TimeOut", "100001"}}, timeout},
        {25, {{"E_NMEA2000_TimeOut", "-1"}}, timeout},
        {25, {{"E_NMEA2000_ID_Device", "239"}}, nullptr},
        {25, {{"E_NMEA2000_ID_Device", "240"}}, id2000},
        {25, {{"E_NMEA2000_TimeOut", "1x"}, {"E_NMEA2000_ID_Device", "240"}}, timeout},
        {25, {{"CB_NMEA2000_Baudrate", "-1"}}, nullptr},
        // KNXnet/IP.
        {14, {}, nullptr},
        {14,
         {{"E_ID_Tun_KNX", "0.0.0"}},
         "Error KNX!! ID Tunnel must be a valid KNX Address (Ex. 1.1.20)"},
        {1014,
         {{"E_ID_Mana_KNX", "1.16.1"}},
         "Error KNX!! ID Management must be a valid KNX Address (Ex. 1.1.20)"},
        {14,
         {{"E_CTRL_Port_KNX", "65536"}},
         "Error KNX!! Control Port must be between 0 and 65535"},
        {14, {{"E_TUN_Port_KNX", ""}}, "Error KNX!! Tunnel Port must be between 0 and 65535"},
        {14,
         {{"E_MANA_Port_KNX", "-5"}},
         "Error KNX!! Management Port must be between 0 and 65535"},
        {14,
         {{"E_CTRL_Port_KNX", "50000"}, {"E_MANA_Port_KNX", "50000"}},
         "Error KNX!! Control, Tunnel, Management Port must be different"},
        {14,
         {{"E_IP2_Modbus_TCP_Slave", "999"}},
         "Error Ethernet!! IP Address 2 must be between 0 and 255"},
        // PROFINET and SNMP.
        {12, {}, nullptr},
        {12,
         {{"E_KNX_Delay_Packets", "1001"}},
         "Error KNX!! Delay between packet must be between 0 and 1000 milliseconds"},
        {12, {{"E_IP1", "256"}}, "Error PROFINET!! IP Address 1 must be between 0 and 255"},
        {1012,
         {{"E_GAT2", "x"}, {"CB_EN_GAT", "1"}},
         "Error PROFINET!! GATEWAY IP 2 must be between 0 and 255"},
        {12,
         {{"E_NB_IN_PROFINET", "0"}},
         "Error PROFINET!! Number Byte IN must be between 1 and 1438"},
        {12,
         {{"E_NB_OUT_PROFINET", "1439"}},
         "Error PROFINET!! Number Byte OUT must be between 1 and 1438"},
        {15, {}, nullptr},
        {15, {{"E_SM3", "256"}}, "Error SNMP!! SUBNET Mask 3 must be between 0 and 255"},
        {15, {{"E_NB_IN_PROFINET", "0"}}, nullptr},
        // Modbus.
        {1, {}, nullptr},
        {1,
         {{"CB_StopBits_Modbus_Master", "1"}, {"CB_Par_Modbus_Master", "2"}},
         "Error Modbus Master!! Two Stop Bits can be selected only with None Parity"},
        {1001, {{"CB_StopBits_Modbus_Master", "1"}, {"CB_Par_Modbus_Master", "0"}}, nullptr},
        {1,
         {{"E_TO_Modbus_Master", "100001"}},
         "Error Modbus Master!! TimeOut must be between 0 and 100000ms"},
        {1,
         {{"E_CD_Modbus_Master", "10001"}},
         "Error Modbus Master!! Cyclic Delay must be between 0 and 10000ms"},
        {1,
         {{"E_SM4_Modbus_TCP_Slave", "256"}},
         "Error Ethernet!! SUBNET Mask 4 must be between 0 and 255"},
        {2, {}, nullptr},
        {2,
         {{"CB_StopBits_Modbus_Slave", "1"}, {"CB_Par_Modbus_Slave", "1"}},
         "Error Modbus Slave!! Two Stop Bits can be selected only with None Parity"},
        {2,
         {{"E_ID_Modbus_Slave", "0"}},
         "Error Modbus Slave!! ID Device must be between 1 and 247"},
        {2,
         {{"E_ID_Modbus_Slave", "248"}},
         "Error Modbus Slave!! ID Device must be between 1 and 247"},
        {2, {{"E_Modbus_Slave_Diagnostic", "1439"}}, nullptr},
        {2,
         {{"E_Modbus_Slave_Diagnostic", "1439"}, {"CB_Modbus_Slave_Diagnostic", "1"}},
         "Error Modbus Slave!! Diagnostic must be between 0 and 1438"},
        {3, {}, nullptr},
        {3,
         {{"E_TO_Modbus_TCP_Master", "x"}},
         "Error Modbus TCP Master!! TimeOut must be between 0 and 100000ms"},
        {1003,
         {{"E_CD_Modbus_TCP_Master", "10001"}},
         "Error Modbus TCP Master!! Cyclic Delay must be between 0 and 10000ms"},
        {3,
         {{"E_IP4_Modbus_TCP_Master", "256"}},
         "Error Modbus TCP Master!! IP Address 4 must be between 0 and 255"},
        {3,
         {{"E_SM1_Modbus_TCP_Master", "256"}},
         "Error Modbus TCP Master!! SUBNET Mask 1 must be between 0 and 255"},
        {3,
         {{"E_GAT3_Modbus_TCP_Master", "256"}, {"CB_En_GAT_Modbus_TCP_Master", "1"}},
         "Error Modbus TCP Master!! GATEWAY IP 3 must be between 0 and 255"},
        {4, {}, nullptr},
        {4,
         {{"E_Port_Modbus_TCP_Slave", "10000"}},
         "Error Modbus TCP Slave!! Port must be between 0 and 65535, and different from 10000"},
        {4, {{"E_Port_Modbus_TCP_Slave", "0"}}, nullptr},
        {4, {{"E_Port_Modbus_TCP_Slave", "65535"}}, nullptr},
        {4,
         {{"E_Modbus_TCP_Slave_Diagnostic", "-1"}, {"CB_Modbus_TCP_Slave_Diagnostic", "1"}},
         "Error Modbus TCP Slave!! Diagnostic must be between 0 and 1438"},
        {4,
         {{"E_IP1_Modbus_TCP_Slave", "256"}},
         "Error Modbus TCP Slave!! IP Address 1 must be between 0 and 255"},
        {4,
         {{"E_SM2_Modbus_TCP_Slave", "256"}},
         "Error Modbus TCP Slave!! SUBNET Mask 2 must be between 0 and 255"},
        {4,
         {{"E_GAT1_Modbus_TCP_Slave", "256"}, {"CB_En_GAT_Modbus_TCP_Slave", "1"}},
         "Error Modbus TCP Slave!! GATEWAY IP 1 must be between 0 and 255"},
        // CAN family.
        {5, {{"CAN_Baud", "-1"}}, nullptr},
        {5,
         {{"E_GAT2_Modbus_TCP_Slave", "256"}, {"CB_En_GAT_Modbus_TCP_Slave", "1"}},
         "Error Ethernet!! GATEWAY IP 2 must be between 0 and 255"},
        {6, {}, nullptr},
        {6, {{"E_ID_CANopen", "0"}}, "Error CANopen!! Device ID must be between 1 and 127"},
        {6, {{"E_ID_CANopen", "128"}}, "Error CANopen!! Device ID must be between 1 and 127"},
        {6, {{"E_NO_Delay_CANopen", "256"}}, nullptr},
        {6,
         {{"E_NO_Delay_CANopen", "256"}, {"CB_Net_Ope_CANopen", "1"}},
         "Error CANopen!! Delay must be between 0 and 255 seconds"},
        {6,
         {{"E_SDO_TO_CANopen", "100001"}},
         "Error CANopen!! TimeOut SDO must be between 0 and 100000"},
        {7,
         {{"E_ID_DNET_Master", "64"}},
         "Error DeviceNet Master!! ID Device must be between 0 and 63"},
        {8,
         {{"E_ID_DNET_Slave", "64"}},
         "Error DeviceNet Slave!! ID Device must be between 0 and 63"},
        {8,
         {{"E_NB_IN_DNET_Slave", "456"}},
         "Error DeviceNet Slave!! Number Byte IN must be between 0 and 455"},
        {8,
         {{"E_NB_OUT_DNET_Slave", "456"}},
         "Error DeviceNet Slave!! Number Byte OUT must be between 0 and 455"},
        {9, {}, nullptr},
        {9, {{"E_TO_J1939", "100001"}}, "Error J1939!! TimeOut must be between 0 and 100000s"},
        {9, {{"E_J1939_DevID", "240"}}, "Error J1939!! Device ID J1939 must be between 0 and 239"},
        // M-Bus.
        {10, {}, nullptr},
        {1010,
         {{"CB_MBus_Options_Wire_Present", "0"}, {"CB_MBus_Options_Wireless_Present", "0"}},
         "Error M-Bus Options!! At least one M-Bus Port must be present (Wire and/or Wireless)"},
        {10,
         {{"E_CD_Mbus", "65536"}},
         "Error M-Bus!! Cyclic Delay must be between 0 and 65535 seconds"},
        {10,
         {{"E_NSE_MBus", "256"}},
         "Error M-Bus!! Node State value when slave device is not present must be between 0 and "
         "255"},
        {10,
         {{"CB_MBus_Options_Wire_Present", "0"}, {"E_CD_Mbus", "x"}, {"E_NSE_MBus", "x"}},
         nullptr},
        // DMX and EtherNet/IP.
        {11,
         {{"E_DMX_Num_Channel", "23"}},
         "Error DMX!! Channel Number must be between 24 and 512"},
        {1011, {{"E_DMX_Num_Channel", "24"}}, nullptr},
        {11,
         {{"E_DMX_Num_Channel", "513"}},
         "Error DMX!! Channel Number must be between 24 and 512"},
        {13, {}, nullptr},
        {13,
         {{"E_EtherNetIP_IP2", "256"}},
         "Error EtherNet/IP!! IP Address 2 must be between 0 and 255"},
        {13,
         {{"E_EtherNetIP_SM4", "256"}},
         "Error EtherNet/IP!! SUBNET Mask 4 must be between 0 and 255"},
        {13,
         {{"E_EtherNetIP_GAT1", "x"}, {"CB_EtherNetIP_Gateway", "1"}},
         "Error EtherNet/IP!! GATEWAY IP 1 must be between 0 and 255"},
        {13, {{"E_Port_EtherNetIP", "44819"}}, "Error EtherNet/IP!! Port must be equal to 44818"},
        {13,
         {{"E_B_IN_EtherNetIP", "497"}},
         "Error EtherNet/IP!! Number Byte Input must be between 0 and 496"},
        {13,
         {{"E_B_OUT_EtherNetIP", "501"}},
         "Error EtherNet/IP!! Number Byte Output must be between 0 and 500"},
    };
    for (const Case& c : cases) {
        TFParGen* f = Create(c.type);
        f->FormShow(f);
        for (const Setting& s : c.settings) Apply(f, s);
        uitest::dialogs().Clear();
        const bool valid = f->Controllo_Dati();
        const auto& asked = uitest::dialogs().Questions();
        if (!c.message) {
            EXPECT_TRUE(valid) << Describe(c);
            EXPECT_TRUE(asked.empty())
                << Describe(c) << ": " << (asked.empty() ? "" : asked[0].Text);
            continue;
        }
        EXPECT_FALSE(valid) << Describe(c);
        ASSERT_EQ(asked.size(), 1u) << Describe(c);
        EXPECT_EQ(asked[0].Text, c.message) << Describe(c);
        EXPECT_EQ(asked[0].Type, mtError) << Describe(c);
        EXPECT_EQ(asked[0].Buttons, TMsgDlgButtons{mbOK}) << Describe(c);
    }
}
