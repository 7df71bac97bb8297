#include "ScanTestSupport.h"
#include "platform/files/Files.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>

namespace {

using namespace scantest;

struct Note {
    int kind, value, found, scanKind;
};

class WiredScan : public ::testing::Test {
protected:
    void SetUp() override {
        SetApplicationClock(&clock);
        List_Slave_MBus.Clear();
        scan = std::make_unique<TMBusScanDecode>();
        scan->Local_Address = "127.0.0.2";
        scan->Analyzer_Port = gateway.port();
        clock.setQuiet([this, s = scan.get()] { return gateway.quiet(*s); });
        scan->Event_Run.SetEvent();
    }
    void TearDown() override {
        scan.reset();
        clock.setQuiet({});
        SetApplicationClock(nullptr);
        List_Slave_MBus.Clear();
        CheckSynchronize();
    }
    TUpdate_Slave_List callback() {
        return [this](int k, int v, int f, int s) { notes.push_back({k, v, f, s}); };
    }
    bool start(TScanType type, int cutAfter = 0, bool appReset = false, bool sndNke = false,
               int baud = 2400, bool fixC = false, std::uint8_t fixValue = 0) {
        return scan->Start_Scan(type, shEthernet, gateway.address(), baud, 1, appReset, sndNke,
                                cutAfter, fixC, fixValue, callback());
    }
    void runToEnd() {
        ASSERT_TRUE(pumpUntil([&] { return !scan->InScan(); }));
    }
    std::vector<int> found() const {
        std::vector<int> out;
        for (const auto& n : notes)
            if (n.kind == 2 && n.found) out.push_back(n.value);
        return out;
    }

    LockstepClock clock;
    Gateway gateway;
    std::unique_ptr<TMBusScanDecode> scan;
    std::vector<Note> notes;
};

TEST_F(WiredScan, PrimaryScanFindsTheMetersThatAnswer) {
    struct Case {
        const char* what;
        std::vector<Meter> meters;
        int cutAfter;
        std::vector<int> found;
        std::size_t records; // records of the first slave
    };
    Meter multi;
    multi.primary = 7;
    multi.telegrams = 3;
    Meter dropped;
    dropped.primary = 3;
    dropped.dropAnswers = 1;
    Meter garbled;
    garbled.primary = 4;
    garbled.garbleAnswers = 1;
    Meter lateDrop = multi; // its second telegram never comes
    lateDrop.primary = 9;
    lateDrop.dropFrom = 2;
    const Case cases[] = {
        {"one meter", {Meter{}}, 0, {1}, 1},
        {"first and last address", {Meter{0}, Meter{250, 0x250}}, 0, {0, 250}, 1},
        {"cut after three", {multi}, 3, {7}, 3},
        {"cut after one", {multi}, 1, {7}, 1},
        {"cut after zero", {multi}, 0, {7}, 1},
        {"answer dropped", {dropped}, 0, {}, 0},
        {"answer garbled", {garbled}, 0, {}, 0},
        {"later telegram lost", {lateDrop}, 3, {9}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        gateway.bus = Bus();
        gateway.bus.meters = c.meters;
        notes.clear();
        List_Slave_MBus.Clear();
        ASSERT_TRUE(start(saPrimaryAddress, c.cutAfter));
        runToEnd();
        EXPECT_EQ(scan->Result(), 1);
        EXPECT_EQ(found(), c.found);
        ASSERT_FALSE(notes.empty());
        EXPECT_EQ(notes.front().kind, 1);
        EXPECT_EQ(notes.back().kind, 3);
        EXPECT_EQ(notes.back().scanKind, 1);
        // Every address from 0 to 250 is reported exactly once.
        std::vector<int> reported;
        for (const auto& n : notes)
            if (n.kind == 2) reported.push_back(n.value);
        ASSERT_EQ(reported.size(), 251u);
        for (int a = 0; a <= 250; ++a) EXPECT_EQ(reported[std::size_t(a)], a);
        auto lock = List_Slave_MBus.Lock();
        ASSERT_EQ(List_Slave_MBus.Count(), int(c.found.size()));
        if (!c.found.empty()) {
            EXPECT_EQ(List_Slave_MBus.Items(0)->Primary_Addresss, c.found[0]);
            EXPECT_EQ(List_Slave_MBus.Items(0)->List_Var.size(), c.records);
        }
    }
}

TEST_F(WiredScan, TelegramsOfOneMeterAlternateTheFrameCountBit) {
    Meter multi;
    multi.telegrams = 3;
    gateway.bus.meters = {multi};
    ASSERT_TRUE(start(saPrimaryAddress, 3));
    runToEnd();
    std::vector<std::uint8_t> toMeter;
    for (const auto& f : gateway.received())
        if (f.size() == 5 && f[0] == 0x10 && f[2] == 1) toMeter.push_back(f[1]);
    EXPECT_EQ(toMeter, (std::vector<std::uint8_t>{0x7B, 0x5B, 0x7B}));

    // A fixed C field keeps one value.
    gateway.bus = Bus();
    gateway.bus.meters = {multi};
    List_Slave_MBus.Clear();
    const std::size_t before = gateway.received().size();
    ASSERT_TRUE(start(saPrimaryAddress, 3, true, true, 2400, true, 0));
    runToEnd();
    toMeter.clear();
    Bytes reset5;
    const auto log = gateway.received();
    for (std::size_t i = before; i < log.size(); ++i) {
        const Bytes& f = log[i];
        if (f.size() == 5 && f[0] == 0x10 && f[2] == 1 && f[1] != 0x40) toMeter.push_back(f[1]);
        if (f.size() == 9 && f[5] == 5) reset5 = f;
    }
    EXPECT_EQ(toMeter, (std::vector<std::uint8_t>{0x5B, 0x5B, 0x5B}));
    EXPECT_EQ(reset5, (Bytes{0x68, 0x03, 0x03, 0x68, 0x53, 0x05, 0x50, 0xA8, 0x16}));
}

TEST_F(WiredScan, RequestsFollowTheirSequence) {
    gateway.bus.meters = {Meter{}};
    ASSERT_TRUE(start(saPrimaryAddress, 0, true, true));
    ASSERT_TRUE(pumpUntil([&] { return gateway.received().size() >= 9; }));
    scan->Stop_Scan();
    runToEnd();
    const auto log = gateway.received();
    EXPECT_EQ(log[0], bytesOf("Morvik_Enable_Analyzer_Mode"));
    EXPECT_EQ(log[1], (Bytes{0x10, 0x40, 0xFF, 0x3F, 0x16}));
    EXPECT_EQ(log[2], (Bytes{0x68, 0x03, 0x03, 0x68, 0x73, 0x00, 0x50, 0xC3, 0x16}));
    EXPECT_EQ(log[3], (Bytes{0x10, 0x40, 0x00, 0x40, 0x16}));
    EXPECT_EQ(log[4], (Bytes{0x10, 0x7B, 0x00, 0x7B, 0x16}));
    EXPECT_EQ(log[5], (Bytes{0x68, 0x03, 0x03, 0x68, 0x73, 0x01, 0x50, 0xC4, 0x16}));
    EXPECT_EQ(log.back(), bytesOf("Morvik_Disable_Analyzer_Mode"));
    EXPECT_EQ(notes.back().kind, 3) << "a stop ends with the end notification";
}

TEST_F(WiredScan, TimeOutsFollowTheBaudRate) {
    struct Case {
        int baud, t1, t2;
    };
    const Case cases[] = {{300, 1550, 11266}, {2400, 587, 1802}, {38400, 458, 534}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.baud);
        const std::size_t before = gateway.received().size();
        ASSERT_TRUE(start(saPrimaryAddress, 0, false, false, c.baud));
        ASSERT_TRUE(pumpUntil([&] { return gateway.received().size() >= before + 4; }));
        scan->Abort_Scan();
        runToEnd();
        const auto times = gateway.times();
        const auto log = gateway.received();
        // This run's SND_NKE to 255 and the two REQ_UD2 after it.
        const std::size_t i = before + 1;
        ASSERT_EQ(log[i], (Bytes{0x10, 0x40, 0xFF, 0x3F, 0x16}));
        // A wait step sees the time-out at the first 40 ms pass after it, then steps 4 and 9
        // (40 ms each) and the 500 ms pause before the request.
        auto gap = [](int t) { return std::uint64_t(40 * (t / 40 + 1) + 40 + 500 + 40); };
        EXPECT_EQ(times[i + 1] - times[i], gap(c.t1));
        EXPECT_EQ(times[i + 2] - times[i + 1], gap(c.t2));
    }
}

TEST_F(WiredScan, SecondaryScanResolvesCollisionsDigitByDigit) {
    struct Case {
        const char* what;
        std::vector<std::uint32_t> ids;
        std::vector<int> found;
    };
    const Case cases[] = {
        {"none", {}, {}},
        {"one", {0x12345678}, {0x12345678}},
        {"collision down to the last digit", {0x12345678, 0x12345679}, {0x12345678, 0x12345679}},
        {"collisions at several digits",
         {0x21000000, 0x22222222, 0x11111111},
         {0x11111111, 0x21000000, 0x22222222}},
        {"same address twice stays unresolved", {0x55555555, 0x55555555, 0x66666666}, {0x66666666}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        gateway.bus = Bus();
        for (auto id : c.ids) {
            Meter m;
            m.primary = 0;
            m.id = id;
            gateway.bus.meters.push_back(m);
        }
        notes.clear();
        List_Slave_MBus.Clear();
        ASSERT_TRUE(start(saSecondaryAddress));
        runToEnd();
        EXPECT_EQ(found(), c.found);
        ASSERT_FALSE(notes.empty());
        EXPECT_EQ(notes.front().kind, 1);
        EXPECT_EQ(notes.front().scanKind, 2);
        EXPECT_EQ(notes.back().kind, 3);
        EXPECT_EQ(notes.back().scanKind, 2);
        EXPECT_EQ(List_Slave_MBus.Count(), int(c.found.size()));
    }
    // The search starts with digit A = 0 and every other digit a wildcard.
    const auto log = gateway.received();
    const Bytes first{0x68, 0x0B, 0x0B, 0x68, 0x73, 0xFD, 0x52, 0xFF, 0xFF,
                      0xFF, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xCA, 0x16};
    EXPECT_NE(std::find(log.begin(), log.end(), first), log.end());
}

TEST_F(WiredScan, AnalyzerModeNotConfirmedEndsTheScan) {
    struct Case {
        const char* what;
        bool answers;
        std::string text;
        std::size_t disables;
    };
    const Case cases[] = {
        {"no answer", false, "", 3},
        {"wrong answer", true, "\n\rAnalyzer_Mode Busy\n\r", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        gateway.analyzerAnswers = c.answers;
        gateway.analyzerAnswer = c.text;
        const std::size_t before = gateway.received().size();
        notes.clear();
        ASSERT_TRUE(start(saPrimaryAddress));
        runToEnd();
        EXPECT_EQ(scan->Result(), 2);
        // The window's message says where the gateway was looked for.
        EXPECT_EQ(scan->Tried_Address(),
                  gateway.address() + " port " + std::to_string(gateway.port()));
        EXPECT_TRUE(notes.empty());
        const auto log = gateway.received();
        ASSERT_EQ(log.size() - before, 1 + c.disables);
        for (std::size_t i = before + 1; i < log.size(); ++i)
            EXPECT_EQ(log[i], bytesOf("Morvik_Disable_Analyzer_Mode"));
    }
}

TEST_F(WiredScan, AbortAndCloseRunTheClosingPhase) {
    gateway.bus.meters = {Meter{}};
    // The clock stands still once the address after the meter's is asked, so the scan is
    // still running when the second start comes, however slowly this thread runs.
    const int next = gateway.bus.meters[0].primary + 1;
    std::atomic<bool> hold{true};
    clock.setQuiet([&, s = scan.get()] {
        if (hold) {
            for (const auto& r : gateway.received())
                if (r.size() >= 5 && r[0] == 0x10 && r[2] == next) return false;
        }
        return gateway.quiet(*s);
    });
    ASSERT_TRUE(start(saPrimaryAddress));
    ASSERT_TRUE(pumpUntil([&] { return !found().empty(); }));
    EXPECT_FALSE(start(saSecondaryAddress)) << "refused while a scan runs";
    scan->Abort_Scan();
    hold = false;
    runToEnd();
    EXPECT_NE(notes.back().kind, 3) << "an abort sends no end notification";
    EXPECT_EQ(gateway.received().back(), bytesOf("Morvik_Disable_Analyzer_Mode"));

    // The window's close waits for the closing phase.
    ASSERT_TRUE(start(saPrimaryAddress));
    ASSERT_TRUE(pumpUntil([&] { return gateway.received().size() > 5; }));
    EXPECT_TRUE(scan->Close_Scan());
    EXPECT_FALSE(scan->InScan());
    EXPECT_EQ(gateway.received().back(), bytesOf("Morvik_Disable_Analyzer_Mode"));
}

TEST_F(WiredScan, IdleThreadSendsNothingUntilItsEventIsSet) {
    scan.reset();
    TMBusScanDecode idle; // its event was never set
    idle.Local_Address = "127.0.0.2";
    idle.Analyzer_Port = gateway.port();
    clock.setQuiet([this, s = &idle] { return gateway.quiet(*s); });
    ASSERT_TRUE(idle.Start_Scan(saPrimaryAddress, shEthernet, gateway.address(), 2400, 1, false,
                                false, 0, false, 0, callback()));
    // Give the thread every chance to run: it stays blocked on the event.
    for (int i = 0; i < 1000; ++i) std::this_thread::yield();
    EXPECT_TRUE(gateway.received().empty());
    idle.Event_Run.SetEvent();
    ASSERT_TRUE(pumpUntil([&] { return !gateway.received().empty(); }));
    idle.Abort_Scan();
    ASSERT_TRUE(pumpUntil([&] { return !idle.InScan(); }));
}

// Only the gateway's address and port answer a wired scan: a frame from elsewhere, arriving
// while the scan waits for a meter, is dropped and makes no slave.
TEST_F(WiredScan, DatagramsFromAnywhereButTheGatewayAreRefused) {
    gateway.bus.meters = {Meter{}};
    const int next = gateway.bus.meters[0].primary + 1; // no meter answers there
    std::atomic<bool> hold{true};
    clock.setQuiet([&, s = scan.get()] {
        if (hold) {
            for (const auto& r : gateway.received())
                if (r.size() >= 5 && r[0] == 0x10 && r[1] != 0x40 && r[2] == next) return false;
        }
        return gateway.quiet(*s);
    });
    ASSERT_TRUE(start(saPrimaryAddress));
    ASSERT_TRUE(pumpUntil([&] {
        for (const auto& r : gateway.received())
            if (r.size() >= 5 && r[0] == 0x10 && r[1] != 0x40 && r[2] == next) return true;
        return false;
    }));
    Meter forged;
    forged.primary = next;
    forged.id = 0x99999999;
    const Bytes frame = rspUd(forged, 0, false);
    TUdpSocket otherPort, otherAddress;
    otherPort.Bind(0, gateway.address());
    otherAddress.Bind(gateway.port(), "127.0.0.3");
    for (TUdpSocket* s : {&otherPort, &otherAddress})
        s->SendTo("127.0.0.2", gateway.lastSenderPort(), std::string(frame.begin(), frame.end()));
    ASSERT_TRUE(pumpUntil([&] { return scan->Refused_Count() == 2; }));
    hold = false;
    runToEnd();
    EXPECT_EQ(found(), std::vector<int>{1});
    EXPECT_EQ(List_Slave_MBus.Count(), 1);
}

TEST_F(WiredScan, OversizedAnswerIsCutToTheBuffer) {
    gateway.bus.meters = {Meter{}};
    gateway.oversized = std::string(5000, 'x');
    ASSERT_TRUE(start(saPrimaryAddress));
    runToEnd();
    EXPECT_EQ(found(), std::vector<int>{1});
}

} // namespace

namespace {

TEST_F(WiredScan, TheRawDumpHoldsEverySlaveWithItsRecords) {
    const std::string file = ::testing::TempDir() + "scan_wired_dump.xml";
    DeleteFile(file);
    gateway.bus = Bus();
    gateway.bus.meters = {Meter{}};
    // Without a name there is no dump.
    ASSERT_TRUE(start(saPrimaryAddress));
    runToEnd();
    EXPECT_FALSE(FileExists(file));

    scan->SetSaveXMLFile(file);
    List_Slave_MBus.Clear();
    ASSERT_TRUE(start(saPrimaryAddress));
    runToEnd();
    ASSERT_TRUE(FileExists(file));
    TXMLDocument doc;
    doc.LoadFromFile(file);
    TXmlNode root = doc.DocumentElement();
    EXPECT_EQ(root.NodeName(), "SCAN_M-Bus_Wired");
    ASSERT_EQ(elementsOf(root).size(), 1u);
    TXmlNode node = elementsOf(root)[0];
    auto lock = List_Slave_MBus.Lock();
    const TSlave_MBus& s = *List_Slave_MBus.Items(0);
    EXPECT_EQ(node.GetAttribute("Primary_Address").AsString(), "1");
    EXPECT_EQ(node.GetAttribute("Secondary_Address").AsString(), s.Secondary_Addresss);
    EXPECT_EQ(node.GetAttribute("Manufacturer").AsString(),
              s.descManufacture + " (" + std::to_string(s.Manufacture) + ")");
    ASSERT_EQ(elementsOf(node).size(), s.List_Var.size());
    const TVariable_MBus& v = *s.List_Var[0];
    TXmlNode var = elementsOf(node)[0];
    EXPECT_EQ(var.NodeName(), "Variable");
    EXPECT_EQ(var.GetAttribute("Value").AsString(), v.ValueStr);
    EXPECT_EQ(var.GetAttribute("UST").AsString(), "(U0S0T0)");
    const std::pair<const char*, std::string> children[] = {
        {"Storage_Number", "0"},    {"Tariff", "0"},      {"Unit", "0"},
        {"Type", v.Desc_Type_Data}, {"DIF", v.DIF},       {"VIF", "$" + IntToHex(v.VIF, 2)},
        {"DATA", "$" + v.totdati},  {"Value", v.ValueStr}};
    for (const auto& [name, text] : children)
        EXPECT_EQ(var.SelectSingleNode(name).Text(), text) << name;
    DeleteFile(file);
}

} // namespace
