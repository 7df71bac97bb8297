#include "shell/SoftOptions.h"

#include "RealWorkClock.h"
#include "ShellTestSupport.h"
#include "platform/base/Threads.h"
#include "platform/gfx/Graphics.h"
#include "platform/process/Process.h"
#include "platform/testing/UiTest.h"
#include "shell/VelmareFirmWare.h"
#include "shell/state/ProductProfiles.h"
#include "shell/state/Settings.h"
#include "shell/state/UITexts.h"

#include <arpa/inet.h>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// A one-connection HTTP server on 127.0.0.1 that records the request and sends a prepared
// response, or reads the request and stays silent until it is destroyed.
class VersionServer {
public:
    explicit VersionServer(std::string response, bool silent = false)
        : response_(std::move(response)), silent_(silent) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd_, 4) != 0)
            ADD_FAILURE() << "cannot listen on 127.0.0.1";
        socklen_t len = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        if (::pipe(stop_) != 0) std::abort();
        thread_ = std::thread([this] { serve(); });
    }
    ~VersionServer() {
        [[maybe_unused]] ssize_t w = ::write(stop_[1], "x", 1);
        thread_.join();
        ::close(fd_);
        ::close(stop_[0]);
        ::close(stop_[1]);
    }
    std::string Host() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::string Request() {
        std::lock_guard lock(mutex_);
        return request_;
    }

private:
    bool waitFor(int fd) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {stop_[0], POLLIN, 0}};
        return ::poll(fds, 2, -1) > 0 && !fds[1].revents;
    }
    void serve() {
        if (!waitFor(fd_)) return;
        const int c = ::accept(fd_, nullptr, nullptr);
        std::string got;
        char buf[4096];
        while (got.find("\r\n\r\n") == std::string::npos && waitFor(c)) {
            const ssize_t n = ::read(c, buf, sizeof buf);
            if (n <= 0) break;
            got.append(buf, std::size_t(n));
        }
        {
            std::lock_guard lock(mutex_);
            request_ = got;
        }
        if (silent_) {
            waitFor(stop_[0]);
        } else {
            [[maybe_unused]] ssize_t w = ::write(c, response_.data(), response_.size());
        }
        ::close(c);
    }

    std::string response_;
    bool silent_;
    int fd_ = -1;
    int stop_[2] = {-1, -1};
    std::uint16_t port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::string request_;
};

std::string reply(const std::string& body, int status = 200) {
    return "HTTP/1.0 " + std::to_string(status) + (status == 200 ? " OK" : " Not Found") +
           "\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

class SoftOptions : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        StartProgram();
        d = FSoftOptions;
    }
    void TearDown() override {
        Version_Check_Host = Maker_Web_Host;
        SetShellOpenHandler(nullptr);
        ShellTest::TearDown();
    }
    // Check_Version against a server that answers with response.
    bool CheckAgainst(const std::string& response, std::string* request = nullptr) {
        VersionServer server(response);
        Version_Check_Host = server.Host();
        TRealWorkClock clock;
        const bool newer = Check_Version();
        if (request) *request = server.Request();
        return newer;
    }
    void WriteLanguages(std::initializer_list<const char*> names) {
        for (const char* n : names) WriteFile(std::string("LANGUAGE/") + n + ".lng", "");
    }
    void WriteFlag(const std::string& name) {
        TBitmap b;
        b.SetSize(4, 4);
        b.SaveToFile(Path("LANGUAGE/" + name));
    }
    // Shows the options dialog through its main-window button and acts inside it.
    void ShowOptions(std::function<void()> action) {
        uitest::whenModalIdle([action = std::move(action), this](TCustomForm*) {
            action();
            if (d->ModalResult() == mrNone) d->SetModalResult(mrCancel);
        });
        FVelmareFirmWare->Btn_Opz->Click();
    }
    std::vector<std::string> ShownTiles() const {
        std::vector<std::string> names;
        for (int k = 0; k < 6; ++k)
            if (d->L_L[k]->Visible()) names.push_back(d->L_L[k]->Caption());
        return names;
    }

    TFSoftOptions* d = nullptr;
};

TEST_F(SoftOptions, ConvVersionReadsTheDigitsAroundThePoint) {
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {
        {"1.000", 1000},
        {"VER. 1.205", 1205},
        {"ver. 1.001", 1001},
        {"VER.  1.205 ", 1205},
        {"1.20", -1},
        {"VER. x.yzw", -1},
        {"", -1},
        {"VER. 1,2,3", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(Conv_Version(c.text), c.value) << c.text;
}

TEST_F(SoftOptions, VersionQueryAsksTheMakerServerForTheSoftwareCode) {
    std::string request;
    EXPECT_TRUE(CheckAgainst(reply("VER. 1.001"), &request));
    EXPECT_EQ(request.rfind("GET /home/download/GetversionSW.asp?nomesw=QS40526 HTTP/1.0\r\n", 0),
              0u)
        << request;
    EXPECT_NE(request.find("\r\nAccept: text/html,application/xhtml+xml,application/xml;q=0.9,"
                           "*/*;q=0.8\r\n"),
              std::string::npos)
        << request;
    EXPECT_NE(request.find("\r\nUser-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"),
              std::string::npos)
        << request;
}

TEST_F(SoftOptions, OnlyANewerVersionInTheAnswerCounts) {
    struct Case {
        std::string response;
        bool newer;
    };
    const Case cases[] = {
        {reply("VER. 1.001"), true},  {reply("  ver. 1.001\r\n"), true},
        {reply("VER. 1.000"), false}, {reply("VER. 0.999"), false},
        {reply("VER. 0.000"), false}, {reply("<html>garbled</html>"), false},
        {reply(""), false},           {reply("VER. 9.999", 404), false},
        {"not http at all", false},
    };
    for (const Case& c : cases) EXPECT_EQ(CheckAgainst(c.response), c.newer) << c.response;
}

TEST_F(SoftOptions, ServerThatDoesNotAnswerReadsAsNoNewVersion) {
    {
        VersionServer server("", true);
        Version_Check_Host = server.Host();
        const std::uint64_t start = uitest::testClock().TickCount();
        EXPECT_FALSE(Check_Version());
        EXPECT_GE(uitest::testClock().TickCount() - start, Version_Check_Timeout);
    }
    // Nobody listens on the port any more.
    EXPECT_FALSE(Check_Version());
    EXPECT_TRUE(uitest::dialogs().Questions().empty());
}

class PaintCounter : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int paints = 0;

protected:
    void Paint() override { ++paints; }
};

// While the check waits for the server the windows repaint, so the desktop does not take the
// program for hung; queued work waits for the check to end.
TEST_F(SoftOptions, WindowsRepaintWhileTheCheckWaits) {
    FVelmareFirmWare->Show();
    auto* counter = new PaintCounter(FVelmareFirmWare);
    counter->SetBounds(0, 0, 20, 20);
    counter->SetParent(FVelmareFirmWare);
    uitest::processMessages();
    counter->paints = 0;
    counter->Invalidate();
    bool queued = false;
    TThread::Queue(nullptr, [&] { queued = true; });
    {
        VersionServer server("", true);
        Version_Check_Host = server.Host();
        EXPECT_FALSE(Check_Version());
    }
    EXPECT_GE(counter->paints, 1);
    EXPECT_FALSE(queued) << "no queued work runs inside the wait";
    uitest::processMessages();
    EXPECT_TRUE(queued);
}

TEST_F(SoftOptions, TypeWithoutVersionCodeAsksNoServer) {
    Set_Product_Type(1001);
    VersionServer server(reply("VER. 9.999"), true);
    Version_Check_Host = server.Host();
    EXPECT_FALSE(Check_Version());
    EXPECT_EQ(server.Request(), "");
}

TEST_F(SoftOptions, CheckButtonShowsTheDownloadLinkOrNoUpdate) {
    VersionServer newer(reply("VER. 1.001"));
    Version_Check_Host = newer.Host();
    {
        TRealWorkClock clock;
        d->Btn_Check_UpdateClick(d->Btn_Check_Update);
    }
    EXPECT_TRUE(d->LL_Check_Update->Visible());
    EXPECT_EQ(d->LL_Check_Update->Caption(),
              "<a href=\"" + Download_Page_URL(25) + "\">" + UI_Texts[52] + "</a>");
    Version_Check_Host = "http://127.0.0.1:1";
    d->Btn_Check_UpdateClick(d->Btn_Check_Update);
    EXPECT_EQ(d->LL_Check_Update->Caption(), "No Update Available");
}

TEST_F(SoftOptions, UpdateTimerShowsTheLinkAndChecksAgainInTwoHours) {
    TFVelmareFirmWare* w = FVelmareFirmWare;
    VersionServer newer(reply("VER. 2.000"));
    Version_Check_Host = newer.Host();
    {
        TRealWorkClock clock;
        w->Timer_UpdateTimer(w->Timer_Update);
    }
    EXPECT_TRUE(w->LL_Update->Visible());
    EXPECT_EQ(w->LL_Update->Caption(),
              "<a href=\"" + Download_Page_URL(25) + "\">" + UI_Texts[19] + "</a>");
    EXPECT_TRUE(w->Timer_Update->Enabled());
    EXPECT_EQ(w->Timer_Update->Interval(), 7200000u);

    Version_Check_Host = "http://127.0.0.1:1";
    w->Timer_UpdateTimer(w->Timer_Update);
    EXPECT_FALSE(w->LL_Update->Visible());
    EXPECT_TRUE(w->Timer_Update->Enabled());
}

TEST_F(SoftOptions, FirstCheckComesOneMinuteAfterStart) {
    Internet_Enabled = Update_Check_Enabled = true;
    Save_Setting();
    StartProgram();
    TFVelmareFirmWare* w = FVelmareFirmWare;
    ASSERT_TRUE(w->Timer_Update->Enabled());
    Version_Check_Host = "http://127.0.0.1:1";
    uitest::advanceClock(59990);
    EXPECT_EQ(w->Timer_Update->Interval(), 60000u);
    uitest::advanceClock(20);
    EXPECT_EQ(w->Timer_Update->Interval(), 7200000u);
    EXPECT_FALSE(w->LL_Update->Visible());
}

TEST_F(SoftOptions, LinksOpenInTheBrowser) {
    std::vector<std::string> opened;
    SetShellOpenHandler([&opened](const std::string& url) {
        opened.push_back(url);
        return true;
    });
    TFVelmareFirmWare* w = FVelmareFirmWare;
    w->L_Morvik->OnClick(w->L_Morvik);
    w->LL_Update->OnLinkClick(w->LL_Update, "https://example.test/a", sltURL);
    d->LL_Check_Update->OnLinkClick(d->LL_Check_Update, "https://example.test/b", sltURL);
    EXPECT_EQ(opened, (std::vector<std::string>{Product_Page_URL(25), "https://example.test/a",
                                                "https://example.test/b"}));
    // An OEM edition has no product page to open.
    Set_Product_Type(1001);
    w->L_MorvikClick(w->L_Morvik);
    EXPECT_EQ(opened.size(), 3u);
}

TEST_F(SoftOptions, LanguagesAreShownSixToAPage) {
    WriteLanguages(
        {"Svenska", "Italiano", "deutsch", "English", "Francais", "Nederlands", "Polski"});
    WriteFile("LANGUAGE/readme.txt", "");
    ForceDirectories(Path("LANGUAGE/folder.lng"));
    WriteFlag("English.bmp");
    ShowOptions([this] {
        EXPECT_EQ(ShownTiles(), (std::vector<std::string>{"deutsch", "English", "Francais",
                                                          "Italiano", "Nederlands", "Polski"}));
        EXPECT_EQ(d->L_Page_Lang->Caption(), "Page 1 / 2");
        EXPECT_EQ(d->L_Sel_Lang->Caption(), "Selected Language : English");
        EXPECT_FALSE(d->Btn_Prev->Visible());
        EXPECT_TRUE(d->Btn_Next->Visible());
        EXPECT_FALSE(d->Btn_Next->Glyph()->Empty());
        EXPECT_EQ(d->Btn_Next->Layout(), blGlyphRight);
        // Only English has a flag, and there is no default flag.
        for (int k = 0; k < 6; ++k) EXPECT_EQ(d->I_L[k]->Visible(), k == 1) << k;

        d->Btn_Next->Click();
        d->Btn_Next->Click();
        EXPECT_EQ(ShownTiles(), std::vector<std::string>{"Svenska"});
        EXPECT_EQ(d->L_Page_Lang->Caption(), "Page 2 / 2");
        EXPECT_TRUE(d->Btn_Prev->Visible());
        EXPECT_FALSE(d->Btn_Next->Visible());
        d->Btn_Prev->Click();
        EXPECT_EQ(d->L_Page_Lang->Caption(), "Page 1 / 2");
    });
    WriteFlag("DefaultFlag.bmp");
    ShowOptions([this] {
        for (int k = 0; k < 6; ++k) EXPECT_TRUE(d->I_L[k]->Visible()) << k;
    });
}

TEST_F(SoftOptions, NoLanguageFilesShowNoTiles) {
    ShowOptions([this] {
        EXPECT_TRUE(ShownTiles().empty());
        for (int k = 0; k < 6; ++k) EXPECT_FALSE(d->I_L[k]->Visible()) << k;
        EXPECT_EQ(d->L_Page_Lang->Caption(), "Page 1 / 0");
    });
}

TEST_F(SoftOptions, ChosenLanguageShowsAtOnceAndIsKeptOnlyOnOk) {
    WriteFile("LANGUAGE/Italiano.lng", "STR15 = Nuova Configurazione\nSTR42 = Lingua :\n");
    WriteLanguages({"English"});
    auto chooseItaliano = [this] {
        ASSERT_EQ(d->L_L[1]->Caption(), "Italiano");
        d->LangClick(d->L_L[1]);
    };

    uitest::dialogs().QueueAnswer(mrNo);
    ShowOptions(chooseItaliano);
    EXPECT_EQ(FVelmareFirmWare->Btn_New->Caption(), "New Configuration");

    uitest::dialogs().QueueAnswer(mrYes);
    ShowOptions([&] {
        chooseItaliano();
        EXPECT_EQ(FVelmareFirmWare->Btn_New->Caption(), "Nuova Configurazione");
        EXPECT_EQ(d->L_Sel_Lang->Caption(), "Lingua :Italiano");
        EXPECT_EQ(Language_Name, "English");
        d->Btn_Cancel->Click();
    });
    const std::vector<TDialogRequest>& q = uitest::dialogs().Questions();
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[1].Text, "Do you want to change the Language from English to Italiano?");
    EXPECT_EQ(q[1].Type, mtConfirmation);
    EXPECT_EQ(q[1].Buttons, mbYesNo);
    // Cancel brings the language in use back.
    EXPECT_EQ(Language_Name, "English");
    EXPECT_EQ(UI_Texts[15], "New Configuration");
    EXPECT_EQ(FVelmareFirmWare->Btn_New->Caption(), "New Configuration");
    EXPECT_FALSE(FileExists(Settings_File()));

    uitest::dialogs().QueueAnswer(mrYes);
    ShowOptions([&] {
        chooseItaliano();
        d->Btn_OK->Click();
    });
    EXPECT_EQ(Language_Name, "Italiano");
    EXPECT_EQ(FVelmareFirmWare->Btn_New->Caption(), "Nuova Configurazione");
    EXPECT_NE(ReadTextFile(Settings_File()).find("<language>Italiano</language>"),
              std::string::npos);
}

TEST_F(SoftOptions, InternetFlagsEnableTheCheckAndTheTimer) {
    struct Case {
        bool internet, update;
        bool updateEnabled, checkEnabled, timer;
    };
    const Case cases[] = {
        {false, false, false, false, false},
        {true, false, true, false, false},
        {true, true, true, true, true},
        {false, true, false, false, false},
    };
    for (const Case& c : cases) {
        ShowOptions([&] {
            d->CB_En_Con->SetChecked(c.internet);
            d->CB_Update->SetChecked(c.update);
            EXPECT_EQ(d->CB_Update->Enabled(), c.updateEnabled);
            EXPECT_EQ(d->Btn_Check_Update->Enabled(), c.checkEnabled);
            d->Btn_OK->Click();
        });
        EXPECT_EQ(Internet_Enabled, c.internet);
        // The box counts even while it is disabled.
        EXPECT_EQ(Update_Check_Enabled, c.update);
        EXPECT_EQ(FVelmareFirmWare->Timer_Update->Enabled(), c.timer);
        ShowOptions([&] {
            EXPECT_EQ(d->CB_En_Con->Checked(), c.internet);
            EXPECT_EQ(d->CB_Update->Checked(), c.update);
            EXPECT_FALSE(d->LL_Check_Update->Visible());
            EXPECT_EQ(d->PC_Options->ActivePage(), d->TS_Language);
        });
    }
    EXPECT_NE(ReadTextFile(Settings_File()).find("<enable_update>1</enable_update>"),
              std::string::npos);
}

} // namespace
