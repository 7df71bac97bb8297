#include "WirelessTelegram.h"
#include "platform/files/Files.h"

#include <gtest/gtest.h>

namespace {

using namespace scantest;

std::vector<std::string> texts(const std::vector<Bytes>& log, std::size_t from = 0) {
    std::vector<std::string> out;
    for (std::size_t i = from; i < log.size(); ++i) out.emplace_back(log[i].begin(), log[i].end());
    return out;
}

class WirelessScan : public ::testing::Test {
protected:
    void SetUp() override {
        SetApplicationClock(&clock);
        List_Slave_wMBus.Clear();
        scan = std::make_unique<TMBusScanDecode>();
        scan->Local_Address = "127.0.0.2";
        clock.setQuiet([this, s = scan.get()] { return gateway.quiet(*s); });
        scan->Event_Run.SetEvent();
    }
    void TearDown() override {
        scan.reset();
        clock.setQuiet({});
        SetApplicationClock(nullptr);
        List_Slave_wMBus.Clear();
        CheckSynchronize();
    }
    bool start(int mode, int channel = 0) {
        return scan->Start_Scan_Wireless(
            shEthernet, gateway.address(), gateway.port(), mode, channel,
            [this](int index, TSlave_wMBus* s) { heard.emplace_back(index, s->Cripted); });
    }
    bool waitStep(int step) {
        return pumpUntil([&] { return scan->Step() == step || !scan->InScan(); }) &&
               scan->Step() == step;
    }
    void stop() {
        scan->Stop_Scan();
        ASSERT_TRUE(pumpUntil([&] { return !scan->InScan(); }));
    }

    LockstepClock clock;
    Gateway gateway;
    std::unique_ptr<TMBusScanDecode> scan;
    std::vector<std::pair<int, bool>> heard; // sender index, encrypted
};

TEST_F(WirelessScan, FirstModuleIsConfiguredForModeAndChannel) {
    struct Case {
        int mode, channel;
        std::vector<std::string> commands;
    };
    const std::vector<std::string> opening{"Morvik_Enable_Configuration_Mode",
                                           "Morvik_Type_Radio_Module", "+++", "ATR\r"};
    const Case cases[] = {
        {5,
         2,
         {"ATS400=5\r", "ATS401=0\r", "ATS402=191\r", "ATS420=2\r", "ATS421=0\r", "ATS422=3\r",
          "ATS430=5\r", "ATS431=5\r", "ATS440=0\r", "ATS441=0\r", "ATS442=0\r", "ATS452=0\r",
          "ATS453=0\r", "ATS454=0\r", "ATO\r"}},
        {15,
         0,
         {"ATS400=15\r", "ATS401=0\r", "ATS402=191\r", "ATS420=0\r", "ATS422=3\r", "ATS430=5\r",
          "ATS431=5\r", "ATS440=0\r", "ATS441=0\r", "ATS452=0\r", "ATS453=0\r", "ATO\r"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        const std::size_t before = gateway.received().size();
        ASSERT_TRUE(start(c.mode, c.channel));
        ASSERT_TRUE(waitStep(134));
        std::vector<std::string> expected = opening;
        expected.insert(expected.end(), c.commands.begin(), c.commands.end());
        EXPECT_EQ(texts(gateway.received(), before), expected);
        // The scan listens on the gateway's own port number.
        EXPECT_EQ(gateway.lastSenderPort(), gateway.port());
        stop();
        EXPECT_EQ(texts(gateway.received()).back(), "Morvik_Disable_Configuration_Mode");
        EXPECT_EQ(scan->Result(), 1);
    }
}

TEST_F(WirelessScan, TelegramsAreDecodedAndKeysInstalledInTheFirstModule) {
    EXPECT_FALSE(scan->Insert_Wireless_Key(0, Key)) << "no scan";
    ASSERT_TRUE(start(5));
    ASSERT_TRUE(waitStep(134));
    gateway.sendTelegram(telit(telegram(true)));
    Bytes wrongLength = telit(telegram(false));
    wrongLength.push_back(0x00);
    gateway.sendTelegram(wrongLength);
    ASSERT_TRUE(pumpUntil([&] { return gateway.quiet(*scan) && !heard.empty(); }));
    ASSERT_EQ(heard.size(), 1u) << "a datagram of the wrong length is ignored";
    EXPECT_EQ(heard[0], std::make_pair(0, true));

    const std::size_t before = gateway.received().size();
    ASSERT_TRUE(scan->Insert_Wireless_Key(0, Key));
    // The installation ends with 27 commands and receive mode again.
    ASSERT_TRUE(pumpUntil([&] { return gateway.received().size() >= before + 27; }));
    ASSERT_TRUE(waitStep(134));
    std::vector<std::string> expected{"+++",         "ATS461=45\r", "ATS462=44\r",
                                      "ATS463=77\r", "ATS464=60\r", "ATS465=43\r",
                                      "ATS466=26\r", "ATS467=1\r",  "ATS468=7\r"};
    for (int i = 0; i < 16; ++i)
        expected.push_back("ATS" + std::to_string(470 + i) + "=" + std::to_string(Key[i]) + "\r");
    expected.push_back("ATS460=5\r");
    expected.push_back("ATO\r");
    EXPECT_EQ(texts(gateway.received(), before), expected);

    // The next telegram of the sender is decrypted with its key.
    heard.clear();
    gateway.sendTelegram(telit(telegram(true)));
    ASSERT_TRUE(pumpUntil([&] { return !heard.empty(); }));
    EXPECT_EQ(heard[0], std::make_pair(0, false));
    {
        auto lock = List_Slave_wMBus.Lock();
        const TSlave_wMBus& s = *List_Slave_wMBus.Items(0);
        EXPECT_TRUE(s.Enable_Key);
        EXPECT_EQ(s.RSSI, -72);
        int real = 0;
        for (const auto& v : s.List_Var)
            if (v->Real_Wireless_Var) {
                ++real;
                EXPECT_EQ(v->Desc_Type_Data, "Volume m3");
            }
        EXPECT_EQ(real, 1);
    }
    stop();
    const std::size_t calls = heard.size();
    CheckSynchronize();
    EXPECT_EQ(heard.size(), calls) << "the end of a wireless scan calls nothing";
}

TEST_F(WirelessScan, SecondModuleErasesEveryKeyPositionAndInstallsKeys) {
    gateway.radio = Gateway::Radio::RadioCrafts;
    ASSERT_TRUE(start(1));
    ASSERT_TRUE(waitStep(320));
    const auto log = gateway.received();
    std::vector<Bytes> expected{bytesOf("Morvik_Enable_Configuration_Mode"),
                                bytesOf("Morvik_Type_Radio_Module"),
                                {0x00},
                                {'0'},
                                {'M'},
                                {0x03, 0x03, 0x04, 0x00, 0x05, 0x01, 0x12, 0x01, 0x16, 0x17, 0x3A,
                                 0x01, 0x3D, 0x02, 0x37, 0x01},
                                {0xFF}};
    for (int position = 1; position <= 64; ++position) {
        expected.push_back({'B'});
        expected.push_back({std::uint8_t(position)});
        expected.push_back(Bytes(8, 0x00));
    }
    expected.push_back({'X'});
    EXPECT_EQ(log, expected);

    // A telegram of the second module type: L + 1 bytes, the last one the signal.
    Bytes t = telegram(true);
    t.push_back(0xB4);
    t[0] = std::uint8_t(t.size() - 1);
    gateway.sendTelegram(t);
    ASSERT_TRUE(pumpUntil([&] { return !heard.empty(); }));
    {
        auto lock = List_Slave_wMBus.Lock();
        EXPECT_EQ(List_Slave_wMBus.Items(0)->RSSI, -37);
    }

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        const std::size_t before = gateway.received().size();
        ASSERT_TRUE(scan->Insert_Wireless_Key(0, Key));
        // The installation ends with 11 requests and receive mode again.
        ASSERT_TRUE(pumpUntil([&] { return gateway.received().size() >= before + 11; }));
        ASSERT_TRUE(waitStep(320));
        const auto got = gateway.received();
        std::vector<Bytes> install{{0x00},
                                   {'B'},
                                   {0x01},
                                   {0x4D, 0x3C, 0x2B, 0x1A, 0x2D, 0x2C, 0x01, 0x07},
                                   {'K'},
                                   {0x01},
                                   Bytes(Key.begin(), Key.end()),
                                   {'A'},
                                   {0x01},
                                   {0x00, 0x40},
                                   {'X'}};
        EXPECT_EQ(std::vector<Bytes>(got.begin() + std::ptrdiff_t(before), got.end()), install)
            << "the same sender keeps its key position";
    }
    stop();
}

TEST_F(WirelessScan, SecondModuleHoldsSixtyFourKeys) {
    gateway.radio = Gateway::Radio::RadioCrafts;
    ASSERT_TRUE(start(5));
    ASSERT_TRUE(waitStep(320));
    for (int i = 0; i < 65; ++i) {
        auto s = std::make_unique<TSlave_wMBus>();
        s->ALA_Address = i;
        List_Slave_wMBus.Add(std::move(s));
    }
    for (int i = 0; i < 64; ++i) {
        const std::size_t before = gateway.received().size();
        ASSERT_TRUE(scan->Insert_Wireless_Key(i, Key)) << i;
        ASSERT_TRUE(pumpUntil([&] { return gateway.received().size() >= before + 11; }));
        ASSERT_TRUE(waitStep(320));
    }
    EXPECT_FALSE(scan->Insert_Wireless_Key(64, Key)) << "every position is given";
    auto lock = List_Slave_wMBus.Lock();
    EXPECT_EQ(List_Slave_wMBus.Items(63)->RadioCrafts_Ind_Tab_Decript, 64);
    EXPECT_EQ(List_Slave_wMBus.Items(64)->RadioCrafts_Ind_Tab_Decript, -1);
    EXPECT_FALSE(List_Slave_wMBus.Items(64)->Enable_Key);
}

TEST_F(WirelessScan, ModuleThatDoesNotAnswerEndsTheScan) {
    gateway.radioAnswers = false;
    ASSERT_TRUE(start(5));
    ASSERT_TRUE(pumpUntil([&] { return !scan->InScan(); }));
    EXPECT_EQ(scan->Result(), 2);
    EXPECT_EQ(texts(gateway.received()),
              (std::vector<std::string>{
                  "Morvik_Enable_Configuration_Mode", "Morvik_Disable_Configuration_Mode",
                  "Morvik_Disable_Configuration_Mode", "Morvik_Disable_Configuration_Mode"}));
    ASSERT_TRUE(start(5));
    EXPECT_FALSE(start(5)) << "a second start is refused";
    scan->Abort_Scan();
    ASSERT_TRUE(pumpUntil([&] { return !scan->InScan(); }));
}

namespace {
// The plain telegram of another sender: its identification number is n.
Bytes senderTelegram(std::uint32_t n) {
    Bytes t = telegram(false);
    for (int i = 0; i < 4; ++i) t[std::size_t(4 + i)] = std::uint8_t(n >> (8 * i));
    return telit(t);
}
} // namespace

// A flood of new senders fills the list up to its bound; the telegrams of more senders are
// counted and dropped, while the senders listed are still heard.
TEST_F(WirelessScan, TheSenderListIsBounded) {
    ASSERT_TRUE(start(5));
    ASSERT_TRUE(waitStep(134));
    const std::uint32_t senders = Max_Wireless_Senders + 5;
    for (std::uint32_t n = 0; n < senders; ++n) {
        gateway.sendTelegram(senderTelegram(n));
        // One at a time, so that no datagram is lost in a full socket buffer.
        ASSERT_TRUE(pumpUntil([&] { return gateway.quiet(*scan); }));
    }
    EXPECT_EQ(List_Slave_wMBus.Count(), Max_Wireless_Senders);
    EXPECT_EQ(scan->Senders_Refused(), 5u);
    // A listed sender is found again and keeps its place.
    gateway.sendTelegram(senderTelegram(7));
    ASSERT_TRUE(pumpUntil([&] { return gateway.quiet(*scan) && heard.size() == senders - 4; }));
    CheckSynchronize();
    EXPECT_EQ(heard.back().first, 7);
    EXPECT_EQ(List_Slave_wMBus.Count(), Max_Wireless_Senders);
    stop();
}

// Telegrams come from the gateway only; the scan listens on the interface that reaches it.
TEST_F(WirelessScan, OnlyTheGatewaysDatagramsAreHeard) {
    // The gateway stands at an address of its own, the scan on the loopback interface's.
    Gateway remote("127.0.0.4");
    scan.reset();
    scan = std::make_unique<TMBusScanDecode>();
    clock.setQuiet([&, s = scan.get()] { return remote.quiet(*s); });
    scan->Event_Run.SetEvent();
    ASSERT_TRUE(scan->Start_Scan_Wireless(
        shEthernet, remote.address(), remote.port(), 5, 0,
        [this](int index, TSlave_wMBus* s) { heard.emplace_back(index, s->Cripted); }));
    ASSERT_TRUE(waitStep(134));
    const std::uint16_t port = remote.lastSenderPort();
    const Bytes forged = senderTelegram(0x55555555);
    TUdpSocket elsewhere;
    elsewhere.Bind(0, "127.0.0.3");
    // To another loopback address: nothing listens there.
    elsewhere.SendTo("127.0.0.5", port, std::string(forged.begin(), forged.end()));
    // To the scan's own address, from another address: heard and refused.
    elsewhere.SendTo("127.0.0.1", port, std::string(forged.begin(), forged.end()));
    ASSERT_TRUE(pumpUntil([&] { return scan->Refused_Count() == 1; }));
    // The gateway's own telegram comes after them and is heard.
    remote.sendTelegram(senderTelegram(1));
    ASSERT_TRUE(pumpUntil([&] { return remote.quiet(*scan) && heard.size() == 1; }));
    EXPECT_EQ(scan->Refused_Count(), 1u);
    EXPECT_EQ(List_Slave_wMBus.Count(), 1);
    scan->Stop_Scan();
    ASSERT_TRUE(pumpUntil([&] { return !scan->InScan(); }));
}

TEST_F(WirelessScan, ANewPortReplacesTheBinding) {
    Gateway other;
    ASSERT_TRUE(start(5));
    ASSERT_TRUE(waitStep(134));
    stop();
    clock.setQuiet([&, s = scan.get()] {
        return gateway.handledCount() + other.handledCount() == s->Sent_Count() &&
               gateway.sentCount() + other.sentCount() == s->Received_Count();
    });
    ASSERT_TRUE(scan->Start_Scan_Wireless(shEthernet, other.address(), other.port(), 5, 0, {}));
    ASSERT_TRUE(pumpUntil([&] { return scan->Step() == 134; }));
    EXPECT_EQ(other.lastSenderPort(), other.port());
    stop();
}

} // namespace

namespace {

TEST_F(WirelessScan, TheRawDumpHoldsEverySender) {
    const std::string file = ::testing::TempDir() + "scan_wireless_dump.xml";
    DeleteFile(file);
    scan->SetSaveXMLFile(file);
    ASSERT_TRUE(start(5));
    ASSERT_TRUE(waitStep(134));
    gateway.sendTelegram(telit(telegram(true)));
    ASSERT_TRUE(pumpUntil([&] { return gateway.quiet(*scan) && !heard.empty(); }));
    stop();
    ASSERT_TRUE(FileExists(file));
    TXMLDocument doc;
    doc.LoadFromFile(file);
    TXmlNode root = doc.DocumentElement();
    EXPECT_EQ(root.NodeName(), "SCAN_M-Bus_Wireless");
    ASSERT_EQ(elementsOf(root).size(), 1u);
    TXmlNode node = elementsOf(root)[0];
    auto lock = List_Slave_wMBus.Lock();
    const TSlave_wMBus& s = *List_Slave_wMBus.Items(0);
    EXPECT_EQ(node.GetAttribute("Manufacturer").AsString(),
              s.ALA_Manu_str + " (" + std::to_string(s.ALA_Manufacturer) + ")");
    EXPECT_EQ(node.GetAttribute("Address").AsString(), IntToHex(std::uint32_t(s.ALA_Address), 8));
    EXPECT_EQ(node.GetAttribute("Cripted").AsString(), "True");
    // The telegram's records cannot be read without the key; the fillers are left out.
    int real = 0;
    for (const auto& v : s.List_Var) real += v->Real_Wireless_Var;
    EXPECT_EQ(int(elementsOf(node).size()), real);
    DeleteFile(file);
}

} // namespace
