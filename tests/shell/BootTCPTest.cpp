#include "shell/BootTCP.h"

#include "RealWorkClock.h"
#include "ShellTestSupport.h"
#include "platform/base/Threads.h"
#include "platform/gfx/Graphics.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/core/Messages.h"
#include "platform/ui/core/Timers.h"
#include "shell/VelmareFirmWare.h"
#include "shell/state/UITexts.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <sys/wait.h>
#include <thread>

namespace {

// What the scripted ICMP transport does: which tries get a reply, and what was sent.
struct EchoScript {
    std::function<bool(int attempt)> answers = [](int) { return false; };
    bool sendFails = false;
    int sent = 0;
    std::string lastData;
};

class ScriptedIcmp : public TIcmpTransport {
public:
    explicit ScriptedIcmp(std::shared_ptr<EchoScript> script) : script_(std::move(script)) {}
    bool SendEcho(std::uint32_t, std::uint16_t, const std::string& data) override {
        script_->lastData = data;
        if (script_->sendFails) return false;
        ++script_->sent;
        return true;
    }
    bool ReplyArrived(std::uint32_t, std::uint16_t) override {
        return script_->answers(script_->sent);
    }

private:
    std::shared_ptr<EchoScript> script_;
};

class BootTCP : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        StartProgram();
        d = FBootTCP;
        Project_Dir = PathJoin(Projects_Dir, "Boat");
        echo = std::make_shared<EchoScript>();
        d->Create_Icmp_Transport = [this] { return std::make_unique<ScriptedIcmp>(echo); };
        d->FormShow(d);
    }

    void SetAddress(const char* a, const char* b, const char* c, const char* e) {
        d->E_IP1->SetText(a);
        d->E_IP2->SetText(b);
        d->E_IP3->SetText(c);
        d->E_IP4->SetText(e);
    }
    // A ping that answers, then Next: the dialog on page 2.
    void ReachPage2(const char* last = "7") {
        echo->answers = [](int) { return true; };
        SetAddress("10", "0", "0", last);
        d->PbButton1Click(d->Btn_Ping);
        d->PbButton2Click(d->Btn_Next);
        ASSERT_TRUE(d->Btn_Update->Visible());
    }
    // A stand-in updater in the program folder that records its parameters and the parameter
    // file it found, and ends with exit code 3.
    void WriteUpdater(const std::string& name) {
        WriteFile(name, "#!/bin/sh\n"
                        "d=$(dirname \"$0\")\n"
                        ": > \"$d/args.txt\"\n"
                        "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$d/args.txt\"; done\n"
                        "[ -f \"$d/Ethernet_Update.xml\" ] && cp \"$d/Ethernet_Update.xml\" "
                        "\"$d/seen.xml\"\n"
                        "echo done > \"$d/exit.txt\"\n"
                        "exit 3\n");
        std::filesystem::permissions(Path(name), std::filesystem::perms::owner_all);
    }
    std::uint64_t Now() { return uitest::testClock().TickCount(); }

    TFBootTCP* d = nullptr;
    std::shared_ptr<EchoScript> echo;
};

TEST_F(BootTCP, ValidIpNeedsFourOctetsInRange) {
    struct Case {
        const char* ip;
        bool valid;
    };
    const Case cases[] = {
        {"192.168.2.205", true},   {" 10 . 0 . 0 . 1 ", true}, {"0.0.0.0", true},
        {"255.255.255.255", true}, {"1.2.3", false},           {"1.2.3.256", false},
        {"1.2.3.4.5", false},      {"a.b.c.d", false},         {"", false},
        {"-1.0.0.0", false},       {"1..2.3", false},          {"$C0.x0A.0.1", true},
    };
    for (const Case& c : cases) {
        std::string parts[4];
        EXPECT_EQ(TFBootTCP::Valid_IP(c.ip, parts), c.valid) << c.ip;
    }
    std::string parts[4];
    ASSERT_TRUE(TFBootTCP::Valid_IP(" 10 . 0 . 0 . 1 ", parts));
    EXPECT_EQ(parts[0] + "|" + parts[1] + "|" + parts[2] + "|" + parts[3], "10|0|0|1");
}

TEST_F(BootTCP, ShowingFillsTheOctetsOnlyFromAValidLastAddress) {
    EXPECT_EQ(d->E_IP1->Text() + "." + d->E_IP2->Text() + "." + d->E_IP3->Text() + "." +
                  d->E_IP4->Text(),
              "192.168.2.205");
    EXPECT_EQ(d->L_IP_Address->Caption(), "Insert the IP Address of  QV40526");
    EXPECT_TRUE(d->Btn_Next->Visible());
    EXPECT_FALSE(d->Btn_Update->Visible());
    EXPECT_FALSE(d->CB_Firmware->Visible());

    for (const char* last : {"1.2.3", "1.2.3.256"}) {
        SetAddress("9", "9", "9", "9");
        Last_IP = last;
        d->FormShow(d);
        EXPECT_EQ(d->E_IP1->Text() + d->E_IP4->Text(), "99") << last;
    }
}

TEST_F(BootTCP, AnsweringGatewayIsFoundAfterTwoReplies) {
    echo->answers = [](int) { return true; };
    SetAddress("10", "0", "0", "7");
    d->PbButton1Click(d->Btn_Ping);
    EXPECT_EQ(echo->sent, 2);
    EXPECT_EQ(echo->lastData, "10.0.0.7") << "each request carries the dotted address";
    EXPECT_TRUE(d->Esegui_Ping);
    EXPECT_EQ(d->LPing->Caption(), "Device Found!");
    EXPECT_EQ(d->LPing->Font()->Color(), clGreen);
}

TEST_F(BootTCP, PingResultFollowsTheLastTryWithinTenSeconds) {
    struct Case {
        const char* name;
        std::function<bool(int)> answers;
        bool sendFails;
        bool found;
        int minTries, maxTries;
    };
    const Case cases[] = {
        {"never answers", [](int) { return false; }, false, false, 25, 27},
        {"answers only the first", [](int n) { return n == 1; }, false, false, 25, 27},
        {"answers from the third", [](int n) { return n >= 3; }, false, true, 4, 4},
        {"request cannot be sent", [](int) { return true; }, true, false, 0, 0},
    };
    for (const Case& c : cases) {
        echo->answers = c.answers;
        echo->sendFails = c.sendFails;
        echo->sent = 0;
        const std::uint64_t start = Now();
        d->PbButton1Click(d->Btn_Ping);
        const std::uint64_t took = Now() - start;
        EXPECT_EQ(d->Esegui_Ping, c.found) << c.name;
        EXPECT_GE(echo->sent, c.minTries) << c.name;
        EXPECT_LE(echo->sent, c.maxTries) << c.name;
        EXPECT_EQ(d->LPing->Caption(), c.found ? "Device Found!" : "Device Not Found!") << c.name;
        if (!c.found) {
            EXPECT_GT(took, 10000u) << c.name;
            EXPECT_LE(took, 10420u) << c.name;
            EXPECT_EQ(d->LPing->Font()->Color(), clRed) << c.name;
        }
    }
}

TEST_F(BootTCP, PingHandlesMessagesEveryTenMilliseconds) {
    int ticks = 0;
    auto* timer = new TTimer(d);
    timer->SetInterval(10);
    timer->OnTimer = [&ticks](TObject*) { ++ticks; };
    timer->SetEnabled(true);
    d->PbButton1Click(d->Btn_Ping); // never answers: about ten seconds
    timer->SetEnabled(false);
    EXPECT_GE(ticks, 950);
    EXPECT_LE(ticks, 1045);
}

TEST_F(BootTCP, AddressThatIsNoAddressIsReported) {
    SetAddress("300", "0", "0", "1");
    d->PbButton1Click(d->Btn_Ping);
    EXPECT_FALSE(d->Esegui_Ping);
    EXPECT_EQ(d->LPing->Caption(), "Error!!! Check the Ip Address");
    EXPECT_EQ(d->LPing->Font()->Color(), clRed);
}

// An octet with leading zeros is read in decimal by the check and by the ping alike.
TEST_F(BootTCP, LeadingZerosArePingedAsTheDecimalAddress) {
    echo->answers = [](int) { return true; };
    SetAddress("010", "0", "00", "07");
    d->PbButton1Click(d->Btn_Ping);
    EXPECT_TRUE(d->Esegui_Ping);
    EXPECT_EQ(echo->lastData, "10.0.0.7");
    d->PbButton2Click(d->Btn_Next);
    EXPECT_TRUE(d->Btn_Update->Visible());
    EXPECT_EQ(Last_IP, "10.0.0.7");
}

TEST_F(BootTCP, AMissingPingPermissionIsReportedAsSuch) {
    d->Create_Icmp_Transport = []() -> std::unique_ptr<TIcmpTransport> {
        throw EIcmpNotPermitted("ICMP echo is not allowed for this user");
    };
    SetAddress("10", "0", "0", "7");
    d->PbButton1Click(d->Btn_Ping);
    EXPECT_FALSE(d->Esegui_Ping);
    ASSERT_EQ(uitest::dialogs().Questions().size(), 1u);
    EXPECT_EQ(uitest::dialogs().Questions()[0].Text, "ICMP echo is not allowed for this user");
    EXPECT_EQ(uitest::dialogs().Questions()[0].Type, mtError);
    EXPECT_NE(d->LPing->Caption(), "Error!!! Check the Ip Address");
}

// Cancel clicked on its native window while a gateway keeps silent closes the dialog at once,
// not after the ten seconds of the check.
TEST_F(BootTCP, CancelDuringAPingTakesEffectAtOnce) {
    FVelmareFirmWare->Show();
    std::uint64_t clicked = 0, closed = 0;
    int result = uitest::runModal(d, [&](TCustomForm*) {
        TThread::Queue(nullptr, [&] {
            clicked = Now();
            uitest::postNativeClick(d->Btn_Cancel);
        });
        d->PbButton1Click(d->Btn_Ping);
        closed = Now();
    });
    EXPECT_EQ(result, mrCancel);
    EXPECT_LT(closed - clicked, 50u);
    EXPECT_NE(d->LPing->Caption(), "Device Not Found!");
}

TEST_F(BootTCP, LoopbackAnswersARealPing) {
    try {
        CreateIcmpSocketTransport();
    } catch (const ESocketError& e) {
        GTEST_SKIP() << "ICMP sockets are not permitted here: " << e.Message();
    }
    d->Create_Icmp_Transport = [] { return CreateIcmpSocketTransport(); };
    SetAddress("127", "0", "0", "1");
    TRealWorkClock clock;
    d->PbButton1Click(d->Btn_Ping);
    EXPECT_TRUE(d->Esegui_Ping);
    EXPECT_EQ(d->LPing->Caption(), "Device Found!");
}

TEST_F(BootTCP, NextNeedsTheAddressThatAnswered) {
    d->PbButton2Click(d->Btn_Next);
    ASSERT_EQ(uitest::dialogs().Questions().size(), 1u);
    EXPECT_EQ(uitest::dialogs().Questions()[0].Text, "Device not found in network");
    EXPECT_EQ(uitest::dialogs().Questions()[0].Type, mtError);
    EXPECT_TRUE(d->Btn_Next->Visible());

    // Any octet changed after a successful ping is refused until it answers too.
    echo->answers = [](int) { return true; };
    std::size_t refusals = 1;
    for (TEdit* changed : {d->E_IP1, d->E_IP2, d->E_IP3, d->E_IP4}) {
        SetAddress("10", "0", "0", "7");
        d->PbButton1Click(d->Btn_Ping);
        ASSERT_TRUE(d->Esegui_Ping);
        changed->SetText("1");
        EXPECT_FALSE(d->Esegui_Ping) << changed->Name();
        EXPECT_EQ(d->LPing->Caption(), "") << changed->Name();
        d->PbButton2Click(d->Btn_Next);
        EXPECT_EQ(uitest::dialogs().Questions().size(), ++refusals) << changed->Name();
        EXPECT_TRUE(d->Btn_Next->Visible()) << changed->Name();
        EXPECT_EQ(Last_IP, "192.168.2.205") << changed->Name();
    }

    d->PbButton1Click(d->Btn_Ping);
    d->PbButton2Click(d->Btn_Next);
    EXPECT_EQ(uitest::dialogs().Questions().size(), refusals);
    EXPECT_EQ(Last_IP, "10.0.0.1");
    for (TControl* c : std::initializer_list<TControl*>{d->E_IP1, d->Btn_Ping, d->Btn_Next,
                                                        d->Btn_Cancel, d->LPing})
        EXPECT_FALSE(c->Visible()) << c->Name();
    for (TControl* c :
         std::initializer_list<TControl*>{d->L_Options, d->CB_Firmware, d->CB_Read_Firm, d->CB_Conf,
                                          d->CB_Read_Conf, d->Btn_Update})
        EXPECT_TRUE(c->Visible()) << c->Name();
    EXPECT_EQ(d->Btn_Update->Left(), 16);
    EXPECT_EQ(d->CB_Read_Conf->Top(), 165);
    // Execute shows its whole caption (the button keeps 4 pixels free on each side).
    TBitmap measure(1, 1);
    measure.Canvas()->Font()->Assign(d->Btn_Update->Font());
    EXPECT_LE(measure.Canvas()->TextWidth(d->Btn_Update->Caption()) + 8, d->Btn_Update->Width());
}

// Closed on page 2, the dialog shown again starts over on page 1 with the address that answered.
TEST_F(BootTCP, ShownAgainAfterPage2ItStartsOnPage1) {
    uitest::runModal(d, [this](TCustomForm*) {
        ReachPage2();
        d->SetModalResult(mrCancel);
    });
    uitest::runModal(d, [this](TCustomForm*) {
        for (TControl* c : std::initializer_list<TControl*>{d->E_IP1, d->E_IP4, d->Btn_Ping,
                                                            d->Btn_Next, d->Btn_Cancel, d->LPing})
            EXPECT_TRUE(c->Visible()) << c->Name();
        for (TControl* c : std::initializer_list<TControl*>{d->L_Options, d->CB_Firmware,
                                                            d->CB_Read_Conf, d->Btn_Update})
            EXPECT_FALSE(c->Visible()) << c->Name();
        EXPECT_EQ(d->E_IP1->Top(), 97);
        EXPECT_EQ(d->LPing->Caption(), "");
        EXPECT_EQ(d->E_IP1->Text() + "." + d->E_IP2->Text() + "." + d->E_IP3->Text() + "." +
                      d->E_IP4->Text(),
                  "10.0.0.7");
        // Page 2 needs a new ping first.
        d->PbButton2Click(d->Btn_Next);
        EXPECT_FALSE(d->Btn_Update->Visible());
        d->SetModalResult(mrCancel);
    });
}

TEST_F(BootTCP, DotMovesTheTypingToTheNextOctet) {
    uitest::runModal(d, [this](TCustomForm*) {
        SetAddress("", "", "", "");
        d->E_IP1->SetFocus();
        // The last octet takes a dot as typed.
        uitest::typeText("10.1.2.3.4");
        EXPECT_EQ(d->E_IP1->Text() + "|" + d->E_IP2->Text() + "|" + d->E_IP3->Text() + "|" +
                      d->E_IP4->Text(),
                  "10|1|2|3.4");
        d->SetModalResult(mrCancel);
    });
}

TEST_F(BootTCP, ExecuteWritesTheParameterFileAndWaitsForTheUpdater) {
    WriteUpdater("Ethernet_Update.exe");
    ReachPage2();
    d->CB_Read_Firm->SetChecked(false);
    {
        TRealWorkClock clock;
        d->PbButton4Click(d->Btn_Update);
    }
    EXPECT_TRUE(uitest::dialogs().Questions().empty());
    // The updater has ended before Execute returned, and it found the parameter file.
    EXPECT_EQ(ReadTextFile(Path("exit.txt")), "done\n");
    EXPECT_EQ(ReadTextFile(Path("args.txt")), "");
    const std::string seen = ReadTextFile(Path("seen.xml"));
    EXPECT_EQ(seen, ReadTextFile(Path("Ethernet_Update.xml")));
    TXMLDocument doc;
    doc.LoadFromXML(seen);
    const TXmlNode root = doc.DocumentElement();
    EXPECT_EQ(root.SelectSingleNode("IP_Address_Dev").Text(), "10.0.0.7");
    const TXmlNode firmware = root.SelectSingleNode("Operations").ChildNodes()[0];
    EXPECT_EQ(firmware.SelectSingleNode("Ope_Read_Back").Text(), "0");
    EXPECT_EQ(firmware.SelectSingleNode("Ope_FileName").Text(), Path("MASTER/Sim40526.sim"));
    EXPECT_TRUE(d->Btn_Update->Visible()) << "the dialog stays on page 2";

    // With neither operation ticked the updater still runs, on a file without operations.
    DeleteFile(Path("exit.txt"));
    d->CB_Firmware->SetChecked(false);
    d->CB_Conf->SetChecked(false);
    {
        TRealWorkClock clock;
        d->PbButton4Click(d->Btn_Update);
    }
    EXPECT_EQ(ReadTextFile(Path("exit.txt")), "done\n");
    doc.LoadFromXML(ReadTextFile(Path("seen.xml")));
    EXPECT_EQ(doc.DocumentElement().SelectSingleNode("Operations").ChildNodes().Count(), 0);
    EXPECT_TRUE(uitest::dialogs().Questions().empty());
}

TEST_F(BootTCP, CommandLineTypeGivesTheUpdaterItsParameters) {
    SetType(2);
    StartProgram();
    d = FBootTCP;
    d->Create_Icmp_Transport = [this] { return std::make_unique<ScriptedIcmp>(echo); };
    Project_Dir = PathJoin(Projects_Dir, "Pump");
    d->FormShow(d);
    WriteUpdater("TCP_40519_Update.exe");
    ReachPage2("9");
    d->CB_Read_Firm->SetChecked(false);
    d->CB_Read_Conf->SetChecked(false);
    {
        TRealWorkClock clock;
        d->PbButton4Click(d->Btn_Update);
    }
    EXPECT_EQ(ReadTextFile(Path("args.txt")), "10.0.0.9\n2007\nFW\nNO\nPW\nNO\n" +
                                                  Path("MASTER/sim40519.sim") + "\n" +
                                                  Path("PROJECTS/Pump/bin/bank.bin") + "\n");
    EXPECT_FALSE(FileExists(Path("Ethernet_Update.xml")));
}

TEST_F(BootTCP, ParameterFileThatCannotBeWrittenStopsExecute) {
    WriteUpdater("Ethernet_Update.exe");
    ForceDirectories(Path("Ethernet_Update.xml")); // a folder where the file belongs
    ReachPage2();
    uitest::click(d->Btn_Update);
    ASSERT_EQ(uitest::dialogs().Questions().size(), 1u);
    EXPECT_EQ(uitest::dialogs().Questions()[0].Kind, dkException);
    EXPECT_FALSE(FileExists(Path("exit.txt"))) << "the updater is not started";
    EXPECT_TRUE(d->Btn_Update->Visible());
}

TEST_F(BootTCP, UpdaterThatCannotBeStartedIsReported) {
    ReachPage2();
    d->PbButton4Click(d->Btn_Update);
    ASSERT_EQ(uitest::dialogs().Questions().size(), 1u);
    const TDialogRequest& q = uitest::dialogs().Questions()[0];
    EXPECT_EQ(q.Type, mtError);
    EXPECT_NE(q.Text.find(Path("Ethernet_Update.exe")), std::string::npos) << q.Text;

    WriteFile("Ethernet_Update.exe", "#!/bin/sh\nexit 0\n"); // not executable
    std::filesystem::permissions(Path("Ethernet_Update.exe"), std::filesystem::perms::owner_read);
    EXPECT_FALSE(FVelmareFirmWare->Start_Program(Path("Ethernet_Update.exe"), "", false));
    EXPECT_EQ(uitest::dialogs().Questions().size(), 2u);
}

namespace {
class TPaintCounter : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int paints = 0;

protected:
    void Paint() override { ++paints; }
};
} // namespace

// While the program waits for the updater its windows still repaint, so the desktop does not
// take it for hung; nothing else runs meanwhile.
TEST_F(BootTCP, WindowsRepaintWhileTheUpdaterRuns) {
    WriteFile("short.sh", "#!/bin/sh\nsleep 0.3\n");
    std::filesystem::permissions(Path("short.sh"), std::filesystem::perms::owner_all);
    FVelmareFirmWare->Show();
    auto* counter = new TPaintCounter(FVelmareFirmWare);
    counter->SetBounds(0, 0, 20, 20);
    counter->SetParent(FVelmareFirmWare);
    uitest::processMessages();
    counter->paints = 0;
    counter->Invalidate();
    bool queued = false;
    TThread::Queue(nullptr, [&] { queued = true; });
    {
        TRealWorkClock clock;
        EXPECT_TRUE(FVelmareFirmWare->Start_Program(Path("short.sh"), "", false));
    }
    EXPECT_GE(counter->paints, 1);
    EXPECT_FALSE(queued) << "no queued work runs inside the wait";
    uitest::processMessages();
    EXPECT_TRUE(queued);
}

TEST_F(BootTCP, UpdaterRunningLongerThan150SecondsIsLeftRunning) {
    // It tells its process id and runs until its folder is gone; the test ends it.
    WriteFile("slow.sh", "#!/bin/sh\nexec </dev/null >/dev/null 2>&1\nd=$(dirname \"$0\")\n"
                         "echo $$ > \"$d/pid.tmp\" && mv \"$d/pid.tmp\" \"$d/pid\"\n"
                         "while [ -d \"$d\" ]; do sleep 0.05; done\n");
    std::filesystem::permissions(Path("slow.sh"), std::filesystem::perms::owner_all);
    const std::uint64_t start = Now();
    EXPECT_TRUE(FVelmareFirmWare->Start_Program(Path("slow.sh"), "", false));
    const std::uint64_t waited = Now() - start;
    EXPECT_GT(waited, 149999u);
    EXPECT_LE(waited, 150010u);
    EXPECT_TRUE(uitest::dialogs().Questions().empty());

    // Still running: end it and its process group; the program collects it (no zombie).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!FileExists(Path("pid")) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    const pid_t pid = StrToIntDef(Trim(ReadTextFile(Path("pid"))), 0);
    ASSERT_GT(pid, 0);
    const std::string proc = "/proc/" + std::to_string(pid);
    EXPECT_TRUE(std::filesystem::exists(proc)) << "the updater has not ended by itself";
    ::kill(-pid, SIGKILL);
    while (std::filesystem::exists(proc) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    EXPECT_FALSE(std::filesystem::exists(proc)) << "the ended updater is left as a zombie";
}

} // namespace
