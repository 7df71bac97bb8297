// Stacking of the parameter groups, collapse and expand, texts and octet keys.
#include "ParGenTestSupport.h"

#include <vector>

namespace {

struct Placed {
    const char* group;
    int top, height;
};

void ExpectStack(TFParGen* f, const std::vector<Placed>& groups, int buttons, int client,
                 const std::string& what) {
    for (const Placed& p : groups) {
        auto* box = dynamic_cast<TGroupBox*>(f->FindComponent(p.group));
        ASSERT_NE(box, nullptr) << what << " " << p.group;
        EXPECT_TRUE(box->Visible()) << what << " " << p.group;
        EXPECT_EQ(box->BoundsRect(), Bounds(8, p.top, 296, p.height)) << what << " " << p.group;
    }
    int shown = 0;
    for (int i = 0; i < f->ComponentCount(); ++i)
        if (auto* box = dynamic_cast<TGroupBox*>(f->Components(i)); box && box->Visible()) ++shown;
    EXPECT_EQ(shown, int(groups.size())) << what;
    EXPECT_EQ(f->Btn_OK->Top(), buttons) << what;
    EXPECT_EQ(f->Btn_Cancel->Top(), buttons) << what;
    EXPECT_EQ(f->Btn_OK->Left(), 71) << what;
    EXPECT_EQ(f->Btn_Cancel->Left(), 192) << what;
    EXPECT_EQ(f->ClientHeight(), client) << what;
    EXPECT_EQ(f->ClientWidth(), 312) << what;
}

} // namespace

TEST_F(ParGenTest, Type25StacksKnxNmeaAndEthernet) {
    TFParGen* f = Create(25);
    ExpectStack(f,
                {{"GB_KNX", 70, 91}, {"GB_NMEA2000", 167, 159}, {"GB_Modbus_TCP_Slave", 332, 190}},
                535, 576, "created");
    EXPECT_EQ(f->GB_KNX->Caption(), " KNX ");
    EXPECT_EQ(f->GB_NMEA2000->Caption(), " NMEA 2000 ");
    EXPECT_EQ(f->GB_Modbus_TCP_Slave->Caption(), " Ethernet ");
    EXPECT_EQ(f->Caption(), "Set Communication");
    EXPECT_EQ(f->L_SW_Code->Caption(), "QS40526");
    EXPECT_EQ(f->L_SW_Desc->Caption(), "Set Communication Setting");
    // Only the first two KNX rows and no port row.
    EXPECT_FALSE(f->E_ID_Tun_KNX->Visible());
    EXPECT_FALSE(f->E_KNX_Delay_Packets->Visible());
    EXPECT_FALSE(f->E_Port_Modbus_TCP_Slave->Visible());
    EXPECT_FALSE(f->CB_KNX_Type->Enabled());
    EXPECT_EQ(f->CB_NMEA2000_Baudrate->Text(), "250K");
    EXPECT_EQ(f->L_NMEA2000_TimeOut->Caption(), "Time Out Data (s)");
    EXPECT_EQ(f->CB_NMEA2000_Peer_To_Peer->Caption(), "Enable Peer to Peer");
    EXPECT_EQ(f->Btn_KNX_Collapse->Hint(), "Collapse");
    EXPECT_EQ(f->Btn_KNX_Expande->Hint(), "Expand");

    f->FormShow(f);
    ExpectStack(f,
                {{"GB_KNX", 70, 91}, {"GB_NMEA2000", 167, 159}, {"GB_Modbus_TCP_Slave", 332, 190}},
                535, 576, "shown");
}

TEST_F(ParGenTest, CollapsingRestacksAndExpandingRestores) {
    TFParGen* f = Create(25);
    f->FormShow(f);
    f->Btn_KNX_Collapse->Click();
    EXPECT_FALSE(f->GB_KNX_Visible);
    EXPECT_FALSE(f->L_KNX_Type->Visible());
    EXPECT_FALSE(f->CB_KNX_Type->Visible());
    EXPECT_FALSE(f->Btn_KNX_Collapse->Visible());
    EXPECT_TRUE(f->Btn_KNX_Expande->Visible());
    EXPECT_EQ(f->Btn_KNX_Expande->BoundsRect(), Bounds(280, 10, 11, 11));
    // The groups below move up by 65 pixels at once.
    ExpectStack(f,
                {{"GB_KNX", 70, 26}, {"GB_NMEA2000", 102, 159}, {"GB_Modbus_TCP_Slave", 267, 190}},
                470, 511, "KNX collapsed");

    f->Btn_NMEA2000_Collapse->Click();
    f->Btn_Modbus_TCP_Slave_Collapse->Click();
    ExpectStack(f, {{"GB_KNX", 70, 26}, {"GB_NMEA2000", 102, 26}, {"GB_Modbus_TCP_Slave", 134, 26}},
                173, 214, "all collapsed");
    EXPECT_FALSE(f->Is_Change);

    // The collapse state outlives a showing.
    f->FormShow(f);
    ExpectStack(f, {{"GB_KNX", 70, 26}, {"GB_NMEA2000", 102, 26}, {"GB_Modbus_TCP_Slave", 134, 26}},
                173, 214, "shown again");

    f->Btn_KNX_Expande->Click();
    f->Btn_NMEA2000_Expande->Click();
    f->Btn_Modbus_TCP_Slave_Expande->Click();
    EXPECT_TRUE(f->L_KNX_Type->Visible());
    EXPECT_TRUE(f->Btn_KNX_Collapse->Visible());
    EXPECT_FALSE(f->Btn_KNX_Expande->Visible());
    ExpectStack(f,
                {{"GB_KNX", 70, 91}, {"GB_NMEA2000", 167, 159}, {"GB_Modbus_TCP_Slave", 332, 190}},
                535, 576, "expanded");
}

TEST_F(ParGenTest, EveryTypeStacksItsGroupsWhenShownWithoutFile) {
    struct Case {
        int type;
        std::vector<Placed> groups;
        int buttons, client;
    };
    const std::vector<Placed> modbusMaster = {
        {"GB_KNX", 70, 91}, {"GB_Modbus_Master", 167, 227}, {"GB_Modbus_TCP_Slave", 400, 190}};
    const std::vector<Placed> tcpMaster = {{"GB_KNX", 70, 91}, {"GB_Modbus_TCP_Master", 167, 258}};
    const std::vector<Placed> mbus = {{"GB_KNX", 70, 91},
                                      {"GB_MBus_Options", 167, 92},
                                      {"GB_MBus", 265, 178},
                                      {"GB_wMBus", 449, 92},
                                      {"GB_Modbus_TCP_Slave", 547, 190}};
    const std::vector<Placed> dmx = {
        {"GB_KNX", 70, 91}, {"GB_DMX", 167, 91}, {"GB_Modbus_TCP_Slave", 264, 190}};
    const std::vector<Placed> profinet = {{"GB_KNX", 70, 125}, {"GB_PROFINET", 201, 346}};
    const std::vector<Placed> knxnet = {{"GB_KNX", 70, 261}, {"GB_Modbus_TCP_Slave", 337, 190}};
    const Case cases[] = {
        {1, modbusMaster, 603, 644},
        {1001, modbusMaster, 603, 644},
        {2,
         {{"GB_KNX", 70, 91}, {"GB_Modbus_Slave", 167, 228}, {"GB_Modbus_TCP_Slave", 401, 190}},
         604,
         645},
        {3, tcpMaster, 438, 479},
        {1003, tcpMaster, 438, 479},
        {4, {{"GB_KNX", 70, 91}, {"GB_Modbus_TCP_Slave", 167, 259}}, 439, 480},
        {5, {{"GB_KNX", 70, 91}, {"GB_CAN", 167, 58}, {"GB_Modbus_TCP_Slave", 231, 190}}, 434, 475},
        {6,
         {{"GB_KNX", 70, 91}, {"GB_CANopen", 167, 193}, {"GB_Modbus_TCP_Slave", 366, 190}},
         569,
         610},
        {7,
         {{"GB_KNX", 70, 91}, {"GB_DNET_Master", 167, 92}, {"GB_Modbus_TCP_Slave", 265, 190}},
         468,
         509},
        {8,
         {{"GB_KNX", 70, 91}, {"GB_DNET_Slave", 167, 159}, {"GB_Modbus_TCP_Slave", 332, 190}},
         535,
         576},
        {9,
         {{"GB_KNX", 70, 91}, {"GB_J1939", 167, 159}, {"GB_Modbus_TCP_Slave", 332, 190}},
         535,
         576},
        {10, mbus, 750, 791},
        {1010, mbus, 750, 791},
        {11, dmx, 467, 508},
        {1011, dmx, 467, 508},
        {12, profinet, 560, 601},
        {1012, profinet, 560, 601},
        {13, {{"GB_KNX", 70, 91}, {"GB_EtherNetIP", 167, 292}}, 472, 513},
        {14, knxnet, 540, 581},
        {1014, knxnet, 540, 581},
        {15, {{"GB_KNX", 70, 91}, {"GB_PROFINET", 167, 246}}, 426, 467},
        {25,
         {{"GB_KNX", 70, 91}, {"GB_NMEA2000", 167, 159}, {"GB_Modbus_TCP_Slave", 332, 190}},
         535,
         576},
    };
    for (const Case& c : cases) {
        TFParGen* f = Create(c.type);
        f->FormShow(f);
        ExpectStack(f, c.groups, c.buttons, c.client, "type " + std::to_string(c.type));
    }
}

TEST_F(ParGenTest, TypeRulesOfTheOptionalRows) {
    TFParGen* f = Create(4);
    EXPECT_EQ(f->GB_Modbus_TCP_Slave->Caption(), " Modbus TCP Slave ");
    EXPECT_TRUE(f->E_Port_Modbus_TCP_Slave->Visible());
    EXPECT_TRUE(f->E_Modbus_TCP_Slave_Diagnostic->Visible());

    f = Create(12);
    EXPECT_TRUE(f->E_KNX_Delay_Packets->Visible());
    EXPECT_EQ(f->E_KNX_Delay_Packets->BoundsRect(), Bounds(148, 89, 126, 21));
    EXPECT_EQ(f->L_KNX_Delay_Packets->Top(), 92);
    EXPECT_EQ(f->L_PROFINET_Name_Station->Caption(), "PROFINET Name of Station");
    EXPECT_FALSE(f->E_PORT->Enabled());

    f = Create(14);
    for (TControl* c :
         {static_cast<TControl*>(f->E_ID_Tun_KNX), static_cast<TControl*>(f->E_MANA_Port_KNX)})
        EXPECT_TRUE(c->Visible()) << c->Name();
    EXPECT_FALSE(f->E_KNX_Delay_Packets->Visible());

    f = Create(15);
    EXPECT_EQ(f->GB_PROFINET->Caption(), " SNMP ");
    EXPECT_EQ(f->L_PROFINET_Name_Station->Caption(), "SNMP Name of Station");
    EXPECT_EQ(f->L_PROFINET_Name_Station->Top(), 191);
    EXPECT_EQ(f->E_Profinet_Name_Station->Top(), 210);
    EXPECT_FALSE(f->E_PORT->Visible());
    EXPECT_FALSE(f->E_NB_IN_PROFINET->Visible());
    EXPECT_FALSE(f->E_NB_OUT_PROFINET->Visible());
    EXPECT_EQ(f->E_Profinet_Name_Station->MaxLength(), 15);
}

TEST_F(ParGenTest, MBusGroupsFollowThePresenceLists) {
    TFParGen* f = Create(10);
    f->FormShow(f);
    // Wireless absent: the wM-Bus group goes and the Ethernet group moves up.
    f->CB_MBus_Options_Wireless_Present->SetItemIndex(0);
    f->On_Change(f->CB_MBus_Options_Wireless_Present);
    EXPECT_TRUE(f->Is_Change);
    EXPECT_FALSE(f->GB_wMBus->Visible());
    ExpectStack(f,
                {{"GB_KNX", 70, 91},
                 {"GB_MBus_Options", 167, 92},
                 {"GB_MBus", 265, 178},
                 {"GB_Modbus_TCP_Slave", 449, 190}},
                652, 693, "wireless absent");

    // Both absent is refused at once and the list goes back to "Present".
    f->CB_MBus_Options_Wire_Present->SetItemIndex(0);
    f->On_Change(f->CB_MBus_Options_Wire_Present);
    EXPECT_EQ(Asked(), std::vector<std::string>{"Error M-Bus Options!! At least one M-Bus Port "
                                                "must be present (Wire and/or Wireless)"});
    EXPECT_EQ(f->CB_MBus_Options_Wire_Present->ItemIndex(), 1);
    EXPECT_TRUE(f->GB_MBus->Visible());

    // Wire absent, wireless present: the wM-Bus group takes the M-Bus group's place.
    f->CB_MBus_Options_Wireless_Present->SetItemIndex(1);
    f->On_Change(f->CB_MBus_Options_Wireless_Present);
    f->CB_MBus_Options_Wire_Present->SetItemIndex(0);
    f->On_Change(f->CB_MBus_Options_Wire_Present);
    ExpectStack(f,
                {{"GB_KNX", 70, 91},
                 {"GB_MBus_Options", 167, 92},
                 {"GB_wMBus", 265, 92},
                 {"GB_Modbus_TCP_Slave", 363, 190}},
                566, 607, "wire absent");
    EXPECT_EQ(f->CB_MBus_Options_Wire_Present->Items()->Strings(1), "Present");
}

TEST_F(ParGenTest, ChangesAreTrackedButCollapseIsNoChange) {
    TFParGen* f = Create(25);
    f->FormShow(f);
    EXPECT_FALSE(f->Is_Change);
    f->E_NMEA2000_TimeOut->SetText("5");
    EXPECT_TRUE(f->Is_Change);
    f->FormShow(f);
    EXPECT_FALSE(f->Is_Change);
    f->CB_En_GAT_Modbus_TCP_Slave->SetChecked(true);
    EXPECT_TRUE(f->Is_Change);
}

TEST_F(ParGenTest, DotMovesToTheNextOctetAndIsDropped) {
    TFParGen* f = Create(25);
    uitest::runModal(f, [&](TCustomForm*) {
        f->E_IP4_Modbus_TCP_Slave->SetFocus();
        f->E_IP4_Modbus_TCP_Slave->SelectAll();
        uitest::typeText("57.");
        EXPECT_EQ(f->E_IP4_Modbus_TCP_Slave->Text(), "57");
        EXPECT_TRUE(f->E_SM1_Modbus_TCP_Slave->Focused());

        f->E_GAT4_Modbus_TCP_Slave->SetFocus();
        f->E_GAT4_Modbus_TCP_Slave->SelectAll();
        uitest::typeText("1.a");
        // The last octet has no next edit: the "." is dropped and the focus stays.
        EXPECT_EQ(f->E_GAT4_Modbus_TCP_Slave->Text(), "1a");
        EXPECT_TRUE(f->E_GAT4_Modbus_TCP_Slave->Focused());
        f->SetModalResult(mrOk);
    });
}

TEST_F(ParGenTest, DotMovesWithinTheOctetRowsOfEveryType) {
    struct Case {
        int type;
        const char* from;
        const char* to;
    };
    const Case cases[] = {
        {3, "E_IP4_Modbus_TCP_Master", "E_SM1_Modbus_TCP_Master"},
        {1, "E_SM4_Modbus_TCP_Slave", "E_GAT1_Modbus_TCP_Slave"},
        {12, "E_SM4", "E_GAT1"},
        {15, "E_IP1", "E_IP2"},
        {13, "E_EtherNetIP_GAT3", "E_EtherNetIP_GAT4"},
    };
    for (const Case& c : cases) {
        TFParGen* f = Create(c.type);
        auto* from = static_cast<TEdit*>(f->FindComponent(c.from));
        auto* to = static_cast<TEdit*>(f->FindComponent(c.to));
        uitest::runModal(f, [&](TCustomForm*) {
            from->SetFocus();
            from->SelectAll();
            uitest::typeText("9.");
            EXPECT_EQ(from->Text(), "9") << c.type;
            EXPECT_TRUE(to->Focused()) << c.type;
            f->SetModalResult(mrOk);
        });
    }
}

TEST_F(ParGenTest, ActivationKeepsTheTopOnTheScreen) {
    TFParGen* f = Create(25);
    f->SetTop(-40);
    f->FormActivate(f);
    EXPECT_EQ(f->Top(), 0);
    f->SetTop(25);
    f->FormActivate(f);
    EXPECT_EQ(f->Top(), 25);
}

TEST_F(ParGenTest, SetLangTakesTheTextsOfTheLanguage) {
    TFParGen* f = Create(10);
    f->FormShow(f);
    Apply_Lng_Line("STR721 = Filo");
    Apply_Lng_Line("STR723 = Presente");
    Apply_Lng_Line("STR94 = KNX bus");
    Apply_Lng_Line("STR116 = Rete");
    Apply_Lng_Line("STR121 = Chiudi");
    f->Set_Lang();
    EXPECT_EQ(f->L_MBus_Options_Wire_Present->Caption(), "Filo");
    EXPECT_EQ(f->GB_KNX->Caption(), "KNX bus");
    EXPECT_EQ(f->GB_Modbus_TCP_Slave->Caption(), "Rete");
    EXPECT_EQ(f->Btn_MBus_Collapse->Hint(), "Chiudi");
    // The presence lists are refilled in the language and wait for the next showing.
    EXPECT_EQ(f->CB_MBus_Options_Wire_Present->Items()->Strings(1), "Presente");
    EXPECT_EQ(f->CB_MBus_Options_Wire_Present->ItemIndex(), -1);
    EXPECT_EQ(f->CB_Baud_Mbus->Items()->Strings(0), "300");
    f->FormShow(f);
    EXPECT_EQ(f->CB_MBus_Options_Wire_Present->Text(), "Presente");
}

TEST_F(ParGenTest, CollapseAndExpandSignsSitInTheMiddleOfTheirButtons) {
    TFParGen* f = Create(25);
    f->FormShow(f);
    f->Btn_NMEA2000_Collapse->Click();
    // The dark pixels inside the frame: a 5-pixel minus, and for expand a plus, around (5, 5).
    struct Case {
        TPbButton* button;
        bool plus;
    };
    const Case cases[] = {{f->Btn_KNX_Collapse, false}, {f->Btn_NMEA2000_Expande, true}};
    for (const Case& c : cases) {
        std::string drawn, expected;
        for (int y = 1; y < 10; ++y) {
            for (int x = 1; x < 10; ++x) {
                const TColor p = uitest::pixel(c.button, x, y);
                drawn += GetRValue(p) + GetGValue(p) + GetBValue(p) < 180 ? '#' : '.';
                const bool bar = y == 5 && x >= 3 && x <= 7;
                const bool stem = c.plus && x == 5 && y >= 3 && y <= 7;
                expected += bar || stem ? '#' : '.';
            }
            drawn += '\n';
            expected += '\n';
        }
        EXPECT_EQ(drawn, expected) << c.button->Name();
    }
}
