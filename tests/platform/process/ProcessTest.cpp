#include "platform/process/Process.h"

#include "platform/base/Clock.h"
#include "platform/files/Files.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <thread>

namespace {

TEST(ChildProcess, ExitCodeIsReadAfterTheProgramEnds) {
    struct Case {
        const char* parameters;
        std::uint32_t code;
    };
    const Case cases[] = {
        {"-c \"exit 7\"", 7},
        {"-c \"test \\\"$0\\\" = 'a b'\" \"a b\"", 0}, // a quoted word with a blank stays one
        {"-c \"kill -TERM $$\"", 128 + 15},
    };
    for (const auto& c : cases) {
        TChildProcess p;
        ASSERT_TRUE(p.Start("/bin/sh", c.parameters)) << p.ErrorText();
        EXPECT_TRUE(p.WaitFor(60000)) << c.parameters;
        EXPECT_EQ(p.ExitCode(), c.code) << c.parameters;
    }
}

TEST(ChildProcess, HangingProgramIsLeftAfterTheTimeout) {
    TManualClock clock;
    SetApplicationClock(&clock);
    TChildProcess p;
    struct KillAtEnd {
        TChildProcess& p;
        ~KillAtEnd() { p.Terminate(); }
    } killAtEnd{p};
    ASSERT_TRUE(p.Start("sleep", std::vector<std::string>{"600"}, true));
    std::uint64_t start = clock.TickCount();
    EXPECT_FALSE(p.WaitFor(149999));
    std::uint64_t waited = clock.TickCount() - start;
    SetApplicationClock(nullptr);
    EXPECT_GT(waited, 149999u);
    EXPECT_LE(waited, 150010u);
    EXPECT_EQ(p.ExitCode(), STILL_ACTIVE);
    p.Terminate();
    EXPECT_EQ(p.ExitCode(), 128u + 9u);
}

// A program still running when its owner goes away is collected once it ends: no zombie.
TEST(ChildProcess, ProgramLeftRunningIsCollectedWhenItEnds) {
    int pid = 0;
    {
        TChildProcess p;
        ASSERT_TRUE(p.Start("sleep", std::vector<std::string>{"600"}, true));
        pid = p.Pid();
    }
    const std::string proc = "/proc/" + std::to_string(pid);
    ASSERT_TRUE(std::filesystem::exists(proc));
    ::kill(pid, SIGKILL);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::filesystem::exists(proc) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    EXPECT_FALSE(std::filesystem::exists(proc)) << "the ended program is left as a zombie";
}

TEST(ChildProcess, StartFailureIsReported) {
    char tmpl[] = "/tmp/knx_proc_XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    std::string dir = tmpl;
    WriteBinaryFile(dir + "/script", "#!/bin/sh\nexit 0\n"); // not executable

    struct Case {
        std::string path;
        int error;
    };
    const Case cases[] = {
        {dir + "/missing", ENOENT}, {"no-such-program-knx", ENOENT}, {dir + "/script", EACCES}};
    for (const auto& c : cases) {
        TChildProcess p;
        EXPECT_FALSE(p.Start(c.path, "", false)) << c.path;
        EXPECT_EQ(p.Error(), c.error) << c.path;
        EXPECT_NE(p.ErrorText().find(c.path), std::string::npos) << p.ErrorText();
        EXPECT_FALSE(p.Started());
        EXPECT_EQ(p.ExitCode(), 0u);
    }
    EXPECT_FALSE(StartDetached(dir + "/missing", {}));
    std::filesystem::remove_all(dir);
}

TEST(ChildProcess, HiddenProgramHasNoStandardStreams) {
    char tmpl[] = "/tmp/knx_proc_XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    std::string out = std::string(tmpl) + "/out";
    TChildProcess p;
    ASSERT_TRUE(
        p.Start("/bin/sh", {"-c", "readlink /proc/$$/fd/0 /proc/$$/fd/2 > \"$0\"", out}, true));
    ASSERT_TRUE(p.WaitFor(60000));
    EXPECT_EQ(ReadTextFile(out), "/dev/null\n/dev/null\n");
    std::filesystem::remove_all(tmpl);
}

TEST(ChildProcess, ParametersSplitLikeACommandLine) {
    EXPECT_EQ(SplitParameters("  192.168.2.205 2007 FW NO  "),
              (std::vector<std::string>{"192.168.2.205", "2007", "FW", "NO"}));
    EXPECT_EQ(SplitParameters("\"C:\\Program Files\\x\" \"\" a\\\"b"),
              (std::vector<std::string>{"C:\\Program Files\\x", "", "a\"b"}));
    EXPECT_TRUE(SplitParameters("").empty());
}

TEST(ShellOpen, GoesToTheInstalledHandler) {
    std::vector<std::string> opened;
    SetShellOpenHandler([&](const std::string& url) {
        opened.push_back(url);
        return true;
    });
    EXPECT_TRUE(ShellOpen("https://example.invalid/download"));
    SetShellOpenHandler({});
    EXPECT_EQ(opened, (std::vector<std::string>{"https://example.invalid/download"}));
}

} // namespace
