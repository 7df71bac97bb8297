// ParGen.xml: what the dialog writes, and how it reads whole, partial, missing and bad files.
#include "ParGenTestSupport.h"

#include "image/ImageCompiler.h"
#include "image/NmeaImage.h"
#include "image/SettingsBlock.h"

#include <sys/stat.h>
#include <utility>

namespace {

using Elements = std::vector<std::pair<std::string, std::string>>;

// The root's children as (name, text), and what follows the root at document level.
Elements ReadElements(const std::string& path, std::string& rootName,
                      std::vector<std::string>& after) {
    TXMLDocument doc;
    doc.LoadFromFile(path);
    Elements elements;
    const TXmlNode root = doc.ChildNodes().First();
    rootName = root.NodeName();
    for (int i = 0; i < root.ChildNodes().Count(); ++i) {
        const TXmlNode n = root.ChildNodes()[i];
        elements.push_back({n.NodeName(), n.Text()});
    }
    for (int i = 1; i < doc.ChildNodes().Count(); ++i) {
        const TXmlNode n = doc.ChildNodes()[i];
        after.push_back(n.NodeName() + ":" + n.NodeValue());
    }
    return elements;
}

std::string ParGenText(const Elements& keys) {
    std::string text = "<Par_Gen>";
    for (const auto& [k, v] : keys) text += "<" + k + ">" + v + "</" + k + ">";
    return text + "</Par_Gen>";
}

} // namespace

TEST_F(ParGenTest, OkWritesTheType25FileElementByElement) {
    TFParGen* f = Create(25);
    int result = uitest::runModal(f, [&](TCustomForm*) {
        f->E_ID_DEV_KNX->SetText("1.1.5");
        f->E_IP1_Modbus_TCP_Slave->SetText(" 10"); // written with its blank
        f->E_SM3_Modbus_TCP_Slave->SetText("254");
        f->E_GAT4_Modbus_TCP_Slave->SetText("254");
        f->CB_En_GAT_Modbus_TCP_Slave->SetChecked(true);
        f->CB_NMEA2000_Baudrate->SetItemIndex(8);
        f->E_NMEA2000_TimeOut->SetText("30");
        f->CB_NMEA2000_Peer_To_Peer->SetChecked(true);
        f->E_NMEA2000_ID_Device->SetText("35");
        uitest::click(f->Btn_OK);
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_TRUE(uitest::dialogs().Questions().empty());

    std::string rootName;
    std::vector<std::string> after;
    const Elements written = ReadElements(File_ParGen, rootName, after);
    EXPECT_EQ(rootName, "Par_Gen");
    const Elements expected = {
        {"KNX_TYPE", "0"},
        {"KNX_ID_DEV", "1.1.5"},
        {"Modbus_TCP_Slave_IP1", " 10"},
        {"Modbus_TCP_Slave_IP2", "168"},
        {"Modbus_TCP_Slave_IP3", "0"},
        {"Modbus_TCP_Slave_IP4", "5"},
        {"Modbus_TCP_Slave_SM1", "255"},
        {"Modbus_TCP_Slave_SM2", "255"},
        {"Modbus_TCP_Slave_SM3", "254"},
        {"Modbus_TCP_Slave_SM4", "0"},
        {"Modbus_TCP_Slave_GAT1", "192"},
        {"Modbus_TCP_Slave_GAT2", "168"},
        {"Modbus_TCP_Slave_GAT3", "0"},
        {"Modbus_TCP_Slave_GAT4", "254"},
        {"Modbus_TCP_Slave_EN_GAT", "1"},
        {"NMEA2000_BAUDRATE", "8"},
        {"NMEA2000_TIMEOUT", "30"},
        {"NMEA2000_PEER_TO_PEER", "1"},
        {"NMEA2000_ID_Device", "35"},
    };
    EXPECT_EQ(written, expected);
    EXPECT_EQ(after, std::vector<std::string>{"#comment:SW_VERSION = 1.000"});
    // Nothing before the root element.
    EXPECT_EQ(ReadParGen().rfind("<Par_Gen>", 0), 0u);

    // Read back into a new showing after the controls were changed.
    f->E_NMEA2000_TimeOut->SetText("77");
    f->CB_NMEA2000_Peer_To_Peer->SetChecked(false);
    f->FormShow(f);
    EXPECT_EQ(f->E_ID_DEV_KNX->Text(), "1.1.5");
    EXPECT_EQ(f->E_IP1_Modbus_TCP_Slave->Text(), " 10");
    EXPECT_EQ(f->E_GAT4_Modbus_TCP_Slave->Text(), "254");
    EXPECT_TRUE(f->CB_En_GAT_Modbus_TCP_Slave->Checked());
    EXPECT_EQ(f->CB_NMEA2000_Baudrate->Text(), "1000K");
    EXPECT_EQ(f->E_NMEA2000_TimeOut->Text(), "30");
    EXPECT_TRUE(f->CB_NMEA2000_Peer_To_Peer->Checked());
    EXPECT_EQ(f->E_NMEA2000_ID_Device->Text(), "35");
    EXPECT_FALSE(f->Is_Change);
}

TEST_F(ParGenTest, AFileSavedByTheDialogCompilesIntoTheImage) {
    TFParGen* f = Create(25);
    uitest::runModal(f, [&](TCustomForm*) {
        f->E_ID_DEV_KNX->SetText("1.1.200");
        f->E_IP1_Modbus_TCP_Slave->SetText("10");
        f->E_IP4_Modbus_TCP_Slave->SetText("7");
        f->E_GAT1_Modbus_TCP_Slave->SetText("10");
        f->CB_En_GAT_Modbus_TCP_Slave->SetChecked(true);
        f->CB_NMEA2000_Baudrate->SetItemIndex(4);
        f->E_NMEA2000_TimeOut->SetText("30");
        f->CB_NMEA2000_Peer_To_Peer->SetChecked(true);
        f->E_NMEA2000_ID_Device->SetText("35");
        uitest::click(f->Btn_OK);
    });
    ASSERT_TRUE(HasParGen());
    ForceDirectories(PathJoin(Dir(), "bin"));
    Compile_Bank(25, Dir());
    using namespace Block_Offset;
    const TSettings_Block& r = NMEA_Settings_Record;
    EXPECT_EQ(r.U16(KNX_Address), 4552u);           // 1.1.200
    EXPECT_EQ(r.U32(IP_Address), 0x0700A80Au);      // 10.168.0.7
    EXPECT_EQ(r.U32(Subnet_Mask), 0x00FFFFFFu);     // 255.255.255.0
    EXPECT_EQ(r.U32(Gateway_Address), 0x0100A80Au); // 10.168.0.1
    EXPECT_EQ(r.U32(Bus_Bit_Rate), 125000u);
    EXPECT_EQ(r.U32(PGN_Options) & 1u, 1u);
    EXPECT_EQ(r.U32(Device_ID), 35u);
    EXPECT_EQ(Rx_Data_Timeout, 30000u);
}

TEST_F(ParGenTest, OtherTypesWriteTheirKeysInOrderWithTheirVersion) {
    struct Case {
        int type;
        std::vector<std::string> keys; // the keys of the type, in order
        const char* version;
    };
    auto octets = [](const std::string& p, bool tickFirst) {
        std::vector<std::string> k;
        for (const char* kind : {"IP", "SM"})
            for (int n = 1; n <= 4; ++n) k.push_back(p + kind + std::to_string(n));
        if (tickFirst) k.push_back(p + "EN_GAT");
        for (int n = 1; n <= 4; ++n) k.push_back(p + "GAT" + std::to_string(n));
        if (!tickFirst) k.push_back(p + "EN_GAT");
        return k;
    };
    auto join = [](std::vector<std::string> a, const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const std::vector<std::string> knx = {"KNX_TYPE", "KNX_ID_DEV"};
    const auto ethernet = octets("Modbus_TCP_Slave_", false);
    const auto profinet = octets("PROFINET_", false);
    const Case cases[] = {
        {1,
         join(join(knx, {"ModbusM_SERIAL", "ModbusM_BAUDRATE", "ModbusM_PARITY", "ModbusM_STOPBITS",
                         "ModbusM_TIMEOUT", "ModbusM_CYCLIC"}),
              ethernet),
         "1.300"},
        {4,
         join(join(knx, {"Modbus_TCP_Slave_Port", "Modbus_TCP_Slave_EN_DIAGNOSTIC",
                         "Modbus_TCP_Slave_DIAGNOSTIC_REG"}),
              ethernet),
         "1.200"},
        {3,
         join(join(knx, {"Modbus_TCP_Master_TimeOut", "Modbus_TCP_Master_Cyclic"}),
              octets("Modbus_TCP_Master_", false)),
         "1.103"},
        {5, join(join(knx, ethernet), {"CAN_BAUDRATE"}), "1.101"},
        {9,
         join(join(knx, ethernet),
              {"J1939_BAUDRATE", "J1939_TIMEOUT", "J1939_PEER_TO_PEER", "J1939_Device_ID"}),
         "1.100"},
        {12,
         join(join(join(knx, {"KNX_DELAY_BETWEEN_PACKETS"}), profinet),
              {"PROFINET_PORT", "PROFINET_NAME_STA", "PROFINET_NB_IN", "PROFINET_NB_OUT"}),
         "1.201"},
        {13,
         join(join(knx, octets("EtherNetIP_", true)),
              {"EtherNetIP_Port", "EtherNetIP_NB_IN", "EtherNetIP_NB_OUT"}),
         "1.003"},
        {1014,
         join(join(knx, {"KNX_ID_TUNNEL", "KNX_ID_MANAGEMENT", "KNX_CONTROL_PORT",
                         "KNX_TUNNEL_PORT", "KNX_MANAGEMENT_PORT"}),
              ethernet),
         "1.004"},
        {15, join(join(knx, profinet), {"PROFINET_NAME_STA"}), "1.002"},
        {2,
         join(join(knx, {"MODBUS_SLAVE_SERIAL", "MODBUS_SLAVE_BAUDRATE", "MODBUS_SLAVE_PARITY",
                         "MODBUS_SLAVE_STOPBITS", "MODBUS_SLAVE_IDDEVICE",
                         "MODBUS_SLAVE_EN_DIAGNOSTIC", "MODBUS_SLAVE_DIAGNOSTIC_REG"}),
              ethernet),
         "1.200"},
        {6,
         join(join(knx, ethernet),
              {"CANopen_IDDev", "CANopen_BAUDRATE", "CANopen_Set_Operational",
               "CANopen_Network_Start", "CANopen_Delay", "CANopen_SDO_TimeOut"}),
         "1.000"},
        {7, join(join(knx, ethernet), {"DNETM_ID_DEV", "DNETM_BAUDRATE"}), "1.000"},
        {8,
         join(join(knx, ethernet),
              {"DNETS_ID_DEV", "DNETS_BAUDRATE", "DNETS_NB_IN", "DNETS_NB_OUT"}),
         "1.000"},
        {1010,
         join(join(knx, ethernet), {"MBus_Options_Wire_Present", "MBus_Options_Wireless_Present",
                                    "Meter_Baud", "Meter_Par", "Meter_Req_Delay",
                                    "Meter_NS_Error_Code", "wMBus_Mode", "wMBus_Radio_Channel"}),
         "1.205"},
        {1011, join(join(knx, ethernet), {"DMX_DMX", "DMX_Num_Channels"}), "1.104"},
        {1001,
         join(join(knx, {"ModbusM_SERIAL", "ModbusM_BAUDRATE", "ModbusM_PARITY", "ModbusM_STOPBITS",
                         "ModbusM_TIMEOUT", "ModbusM_CYCLIC"}),
              ethernet),
         "1.300"},
        {1003,
         join(join(knx, {"Modbus_TCP_Master_TimeOut", "Modbus_TCP_Master_Cyclic"}),
              octets("Modbus_TCP_Master_", false)),
         "1.103"},
        {1012,
         join(join(join(knx, {"KNX_DELAY_BETWEEN_PACKETS"}), profinet),
              {"PROFINET_PORT", "PROFINET_NAME_STA", "PROFINET_NB_IN", "PROFINET_NB_OUT"}),
         "1.201"},
    };
    for (const Case& c : cases) {
        TFParGen* f = Create(c.type);
        f->FormShow(f);
        ASSERT_TRUE(f->Controllo_Dati()) << c.type;
        f->Write_ParGen();
        std::string rootName;
        std::vector<std::string> after;
        std::vector<std::string> names;
        for (const auto& [name, text] : ReadElements(File_ParGen, rootName, after))
            names.push_back(name);
        EXPECT_EQ(names, c.keys) << c.type;
        EXPECT_EQ(after,
                  std::vector<std::string>{std::string("#comment:SW_VERSION = ") + c.version})
            << c.type;
    }
}

TEST_F(ParGenTest, EveryKeyOfEveryTypeReadsBackWhatWasWritten) {
    // "key=value" of every key the type writes, the fixed ones left out (never read back).
    auto values = [](TFParGen* f, int type) {
        std::vector<std::string> v;
        for (const auto& k : f->Par_Keys()) {
            if (!k.Written(type) || k.Fixed) continue;
            std::string value = k.Control->Text();
            if (auto* l = dynamic_cast<TComboBox*>(k.Control))
                value = std::to_string(l->ItemIndex());
            if (auto* b = dynamic_cast<TCheckBox*>(k.Control)) value = b->Checked() ? "1" : "0";
            v.push_back(k.Key + std::string("=") + value);
        }
        return v;
    };
    for (int type : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 25}) {
        TFParGen* f = Create(type);
        f->FormShow(f);
        // A value of its own for every key the type writes.
        int n = 0;
        for (const auto& k : f->Par_Keys()) {
            if (!k.Written(type)) continue;
            ++n;
            if (auto* e = dynamic_cast<TEdit*>(k.Control))
                e->SetText(std::to_string(n));
            else if (auto* l = dynamic_cast<TComboBox*>(k.Control))
                l->SetItemIndex(n % l->Items()->Count());
            else if (auto* b = dynamic_cast<TCheckBox*>(k.Control))
                b->SetChecked(n % 2);
        }
        f->Write_ParGen();
        const auto written = values(f, type);
        f = Create(type);
        f->FormShow(f);
        EXPECT_EQ(values(f, type), written) << type;
        EXPECT_EQ(f->E_PORT->Text(), "34964") << type;
    }
}

TEST_F(ParGenTest, MissingFileGivesTheDefaultsAndForgetsTheEarlierProject) {
    TFParGen* f = Create(25);
    WriteParGen(ParGenText({{"KNX_TYPE", "1"},
                            {"KNX_ID_DEV", "2.2.2"},
                            {"Modbus_TCP_Slave_IP1", "10"},
                            {"Modbus_TCP_Slave_EN_GAT", "1"},
                            {"NMEA2000_BAUDRATE", "8"},
                            {"NMEA2000_TIMEOUT", "40"},
                            {"NMEA2000_PEER_TO_PEER", "1"},
                            {"NMEA2000_ID_Device", "12"}}));
    f->FormShow(f);
    EXPECT_EQ(f->CB_NMEA2000_Baudrate->ItemIndex(), 8);

    // Another project without the file: nothing of the first one is left.
    DeleteFile(File_ParGen);
    f->FormShow(f);
    EXPECT_EQ(f->CB_KNX_Type->ItemIndex(), 0);
    EXPECT_EQ(f->E_ID_DEV_KNX->Text(), "1.1.200");
    const char* octets[] = {"192", "168", "0",   "5",   "255", "255",
                            "255", "0",   "192", "168", "0",   "1"};
    TEdit* edits[] = {
        f->E_IP1_Modbus_TCP_Slave,  f->E_IP2_Modbus_TCP_Slave,  f->E_IP3_Modbus_TCP_Slave,
        f->E_IP4_Modbus_TCP_Slave,  f->E_SM1_Modbus_TCP_Slave,  f->E_SM2_Modbus_TCP_Slave,
        f->E_SM3_Modbus_TCP_Slave,  f->E_SM4_Modbus_TCP_Slave,  f->E_GAT1_Modbus_TCP_Slave,
        f->E_GAT2_Modbus_TCP_Slave, f->E_GAT3_Modbus_TCP_Slave, f->E_GAT4_Modbus_TCP_Slave};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(edits[i]->Text(), octets[i]) << edits[i]->Name();
    EXPECT_FALSE(f->CB_En_GAT_Modbus_TCP_Slave->Checked());
    // The NMEA 2000 group returns to the values the form starts with.
    EXPECT_EQ(f->CB_NMEA2000_Baudrate->Text(), "250K");
    EXPECT_EQ(f->E_NMEA2000_TimeOut->Text(), "0");
    EXPECT_FALSE(f->CB_NMEA2000_Peer_To_Peer->Checked());
    EXPECT_EQ(f->E_NMEA2000_ID_Device->Text(), "0");
    EXPECT_FALSE(f->Is_Change);
    EXPECT_TRUE(uitest::dialogs().Questions().empty());
}

TEST_F(ParGenTest, PartialFilesGiveEachMissingOrUnreadableKeyItsDefault) {
    struct Case {
        const char* file;
        const char* control;
        const char* shown; // list: item text; check box: "1" / "0"; edit: text
    };
    const Case cases[] = {
        {"<Par_Gen><KNX_ID_DEV>1.1.9</KNX_ID_DEV></Par_Gen>", "CB_NMEA2000_Baudrate", "500K"},
        {"<Par_Gen><NMEA2000_BAUDRATE>abc</NMEA2000_BAUDRATE></Par_Gen>", "CB_NMEA2000_Baudrate",
         "500K"},
        // An index the list does not hold shows the default, which is then saved.
        {"<Par_Gen><NMEA2000_BAUDRATE>12</NMEA2000_BAUDRATE></Par_Gen>", "CB_NMEA2000_Baudrate",
         "500K"},
        {"<Par_Gen><NMEA2000_BAUDRATE>-1</NMEA2000_BAUDRATE></Par_Gen>", "CB_NMEA2000_Baudrate",
         "500K"},
        {"<Par_Gen><NMEA2000_BAUDRATE> 2</NMEA2000_BAUDRATE></Par_Gen>", "CB_NMEA2000_Baudrate",
         "50K"},
        {"<Par_Gen><NMEA2000_PEER_TO_PEER>true</NMEA2000_PEER_TO_PEER></Par_Gen>",
         "CB_NMEA2000_Peer_To_Peer", "0"},
        {"<Par_Gen><NMEA2000_PEER_TO_PEER>1</NMEA2000_PEER_TO_PEER></Par_Gen>",
         "CB_NMEA2000_Peer_To_Peer", "1"},
        {"<Par_Gen><KNX_ID_DEV></KNX_ID_DEV></Par_Gen>", "E_ID_DEV_KNX", ""},
        {"<Par_Gen><KNX_ID_DEV> 5</KNX_ID_DEV></Par_Gen>", "E_ID_DEV_KNX", " 5"},
        {"<Par_Gen><knx_id_dev>1.1.9</knx_id_dev></Par_Gen>", "E_ID_DEV_KNX", "1.1.200"},
        {"<Par_Gen><KNX_ID_DEV>1.1.7</KNX_ID_DEV><KNX_ID_DEV>1.1.8</KNX_ID_DEV></Par_Gen>",
         "E_ID_DEV_KNX", "1.1.7"},
        {"<Par_Gen><KNX_ID_DEV><a>1</a></KNX_ID_DEV><NMEA2000_TIMEOUT>9</NMEA2000_TIMEOUT></"
         "Par_Gen>",
         "E_ID_DEV_KNX", "1.1.200"},
        {"<Par_Gen><KNX_ID_DEV><a>1</a></KNX_ID_DEV><NMEA2000_TIMEOUT>9</NMEA2000_TIMEOUT></"
         "Par_Gen>",
         "E_NMEA2000_TimeOut", "9"},
        {"<Other><KNX_ID_DEV>1.1.9</KNX_ID_DEV></Other>", "E_ID_DEV_KNX", "1.1.9"},
        // Reading starts at the document element, whatever stands before it.
        {"<!--x--><Par_Gen><KNX_ID_DEV>1.1.9</KNX_ID_DEV></Par_Gen>", "E_ID_DEV_KNX", "1.1.9"},
        {"<!--x--><Par_Gen><NMEA2000_TIMEOUT>9</NMEA2000_TIMEOUT></Par_Gen>", "E_NMEA2000_TimeOut",
         "9"},
        {"<?xml version=\"1.0\"?><Par_Gen><KNX_ID_DEV>1.1.9</KNX_ID_DEV></Par_Gen>", "E_ID_DEV_KNX",
         "1.1.9"},
        {"<?xml version=\"1.0\"?>\n<!--x-->\n<Par_Gen>\n  "
         "<KNX_ID_DEV>1.1.9</KNX_ID_DEV>\n</Par_Gen>",
         "E_ID_DEV_KNX", "1.1.9"},
        // A value of blanks is read as it is, also in an indented file.
        {"<Par_Gen>\n  <KNX_ID_DEV>  </KNX_ID_DEV>\n</Par_Gen>", "E_ID_DEV_KNX", "  "},
        {"<Par_Gen><Modbus_TCP_Slave_GAT2>7</Modbus_TCP_Slave_GAT2></Par_Gen>",
         "E_GAT3_Modbus_TCP_Slave", "0"},
    };
    TFParGen* f = Create(25);
    for (const Case& c : cases) {
        // Values of an earlier showing must not leak into this one.
        f->E_ID_DEV_KNX->SetText("9.9.9");
        f->E_NMEA2000_TimeOut->SetText("55");
        WriteParGen(c.file);
        f->FormShow(f);
        TComponent* control = f->FindComponent(c.control);
        std::string shown;
        if (auto* b = dynamic_cast<TCheckBox*>(control))
            shown = b->Checked() ? "1" : "0";
        else
            shown = static_cast<TControl*>(control)->Text();
        EXPECT_EQ(shown, c.shown) << c.file;
        EXPECT_FALSE(f->Is_Change) << c.file;
    }
    EXPECT_TRUE(uitest::dialogs().Questions().empty());

    // The out-of-range index is written as the default, never as "-1".
    WriteParGen("<Par_Gen><NMEA2000_BAUDRATE>12</NMEA2000_BAUDRATE></Par_Gen>");
    f->FormShow(f);
    f->Write_ParGen();
    EXPECT_NE(ReadParGen().find("<NMEA2000_BAUDRATE>6</NMEA2000_BAUDRATE>"), std::string::npos)
        << ReadParGen();
}

// A file that cannot be read is reported and kept: the dialog does not open, so OK cannot
// write the defaults over the user's values.
TEST_F(ParGenTest, MalformedFileIsReportedAndKept) {
    TFParGen* f = Create(25);
    const std::string malformed = "<Par_Gen><KNX_ID_DEV>3.3.3</KNX_ID_DEV><NMEA2000_TIMEOUT>40";
    WriteParGen(malformed);
    EXPECT_EQ(uitest::runModal(f, [&](TCustomForm*) { uitest::click(f->Btn_OK); }), mrCancel);
    const auto& asked = uitest::dialogs().Questions();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Kind, dkException);
    EXPECT_NE(asked[0].Text.find("ParGen.xml"), std::string::npos) << asked[0].Text;
    EXPECT_EQ(ReadParGen(), malformed);

    // Shown without its modal loop, OK still leaves the file alone.
    uitest::dialogs().Clear();
    f->FormShow(f);
    EXPECT_THROW(f->Btn_OK->Click(), EFCreateError);
    EXPECT_EQ(ReadParGen(), malformed);

    // Once the file reads again, the dialog opens with its values.
    WriteParGen(ParGenText({{"KNX_ID_DEV", "2.2.2"}}));
    EXPECT_EQ(uitest::runModal(f,
                               [&](TCustomForm*) {
                                   EXPECT_EQ(f->E_ID_DEV_KNX->Text(), "2.2.2");
                                   uitest::click(f->Btn_OK);
                               }),
              mrOk);
}

TEST_F(ParGenTest, SomethingOtherThanAFileIsAnErrorNamingIt) {
    struct Case {
        const char* what;
        void (*make)(const std::string& path);
    };
    const Case cases[] = {
        {"folder", [](const std::string& p) { std::filesystem::create_directory(p); }},
        {"FIFO", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        {"dangling link",
         [](const std::string& p) { std::filesystem::create_symlink(p + ".gone", p); }},
    };
    TFParGen* f = Create(25);
    for (const Case& c : cases) {
        uitest::dialogs().Clear();
        std::filesystem::remove_all(File_ParGen);
        c.make(File_ParGen);
        f->FormShow(f);
        const auto& asked = uitest::dialogs().Questions();
        ASSERT_EQ(asked.size(), 1u) << c.what;
        EXPECT_EQ(asked[0].Kind, dkException) << c.what;
        EXPECT_NE(asked[0].Text.find(File_ParGen), std::string::npos) << asked[0].Text;
    }
    std::filesystem::remove_all(File_ParGen);
}

TEST_F(ParGenTest, OtherTypesTakeTheirDefaultsFromAMissingFile) {
    struct Case {
        int type;
        const char* control;
        const char* shown;
    };
    const Case cases[] = {
        {14, "E_ID_Tun_KNX", "1.1.201"},
        {14, "E_MANA_Port_KNX", "50002"},
        {12, "E_KNX_Delay_Packets", "100"},
        {1, "CB_Baud_Modbus_Master", "115200"},
        {1, "E_TO_Modbus_Master", "1000"},
        {2, "E_ID_Modbus_Slave", "10"},
        {4, "E_Port_Modbus_TCP_Slave", "502"},
        {5, "CAN_Baud", "1000K"},
        {6, "E_NO_Delay_CANopen", "0"},
        {6, "E_SDO_TO_CANopen", "10000"},
        {8, "E_NB_IN_DNET_Slave", "455"},
        {10, "CB_Parity_Mbus", "ODD"},
        {10, "E_CD_Mbus", "100"},
        {11, "CB_DMX_DMX", "OUT"},
        {11, "E_DMX_Num_Channel", "512"},
        {12, "E_NB_OUT_PROFINET", "1438"},
        {12, "E_Profinet_Name_Station", "devicename1"},
        {13, "E_EtherNetIP_IP4", "11"},
        {13, "E_Port_EtherNetIP", "44818"},
        {13, "E_B_OUT_EtherNetIP", "500"},
        {9, "E_J1939_DevID", "0"},
        {10, "CB_MBus_Options_Wireless_Present", "Present"},
    };
    for (const Case& c : cases) {
        TFParGen* f = Create(c.type);
        f->FormShow(f);
        EXPECT_EQ(static_cast<TControl*>(f->FindComponent(c.control))->Text(), c.shown)
            << c.type << " " << c.control;
    }
}

TEST_F(ParGenTest, ProfinetPortIsNeverReadBack) {
    TFParGen* f = Create(12);
    WriteParGen(
        "<Par_Gen><PROFINET_PORT>1</PROFINET_PORT><PROFINET_NB_IN>5</PROFINET_NB_IN></Par_Gen>");
    f->FormShow(f);
    EXPECT_EQ(f->E_PORT->Text(), "34964");
    EXPECT_EQ(f->E_NB_IN_PROFINET->Text(), "5");
}

TEST_F(ParGenTest, TextToIntFollowsTheProjectIntegerRule) {
    struct Case {
        const char* text;
        int value; // -1: no integer
    };
    const Case cases[] = {
        {"0", 0},
        {"255", 255},
        {" 5", 5},
        {"5 ", -1},
        {"+7", 7},
        {"-3", -3},
        {"$FF", 255},
        {"0x10", 16},
        {"X1f", 31},
        {"x", -1},
        {"", -1},
        {"1.5", -1},
        {"1a", -1},
        {"2147483647", 2147483647},
        {"2147483648", -1},
        {"$FFFFFFFF", -1},
        {"$100000000", -1},
        {"-2147483648", -2147483647 - 1},
        {"$80000000", -2147483647 - 1},
        {"-$80000000", -2147483647 - 1},
        {"-$10", -16},
    };
    for (const auto& c : cases) EXPECT_EQ(TFParGen::Text_To_Int(c.text, -1), c.value) << c.text;
}
