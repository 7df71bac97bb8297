#include "mbus/scan/Comm.h"

#include "platform/base/Clock.h"
#include "platform/serial/SerialBaud.h"
#include "platform/serial/SerialPort.h"
#include "platform/testing/PseudoTerminal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

// A pseudo-terminal whose slave side is port COM5; the test plays the device on the master.
class CommPort : public ::testing::Test {
protected:
    void TearDown() override { CheckSynchronize(); }
    std::string readMaster(std::size_t n) { return pty.ReadMaster(n); }
    testpty::PseudoTerminal pty{5};
    const int master = pty.Master();
};

std::string message(const std::function<void()>& f, int* code = nullptr) {
    try {
        f();
    } catch (const ECommError& e) {
        if (code) *code = e.ErrorCode;
        return e.Message();
    }
    return "no error";
}

TEST_F(CommPort, FailuresCarryTheirTextAndCode) {
    TComm comm(nullptr);
    EXPECT_EQ(comm.InQueCount(), -1);
    EXPECT_EQ(comm.OutQueCount(), -1);
    int code = 0;
    EXPECT_EQ(message([&] { comm.SetDTRState(true); }, &code),
              "Port not open, unable to complete operation (Error: -1) ");
    comm.SetDeviceName("\\\\.\\COM6");
    const std::string text = message([&] { comm.Open(); }, &code);
    EXPECT_EQ(text, Format("Error accessing specified device (Error: %d) ", code));
    EXPECT_GT(code, 0);
    EXPECT_FALSE(comm.Enabled());

    comm.SetDeviceName("\\\\.\\COM5");
    comm.Open();
    EXPECT_TRUE(comm.Enabled());
    struct Case {
        const char* what;
        std::function<void()> action;
    };
    const Case refused[] = {
        {"open twice", [&] { comm.Open(); }},
        {"device name", [&] { comm.SetDeviceName("COM1"); }},
        {"read buffer", [&] { comm.SetReadBufSize(10); }},
        {"write buffer", [&] { comm.SetWriteBufSize(10); }},
        {"events", [&] { comm.SetMonitorEvents(0); }},
    };
    for (const auto& c : refused) {
        code = 0;
        EXPECT_EQ(message(c.action, &code), "Port already assigned (open) (Error: -1) ") << c.what;
        EXPECT_EQ(code, -1);
    }
    // A pseudo-terminal has no modem lines to switch.
    EXPECT_NE(message([&] { comm.SetDTRState(true); }).find("EscapeCommFunction failure"),
              std::string::npos);
    comm.Close();
    EXPECT_FALSE(comm.Enabled());

    // A plain file is no character device.
    char tmpl[] = "/tmp/knx_comm_XXXXXX";
    ::close(::mkstemp(tmpl));
    comm.SetDeviceName(tmpl);
    EXPECT_EQ(message([&] { comm.Open(); }), "Invalid device handle, access denied (Error: -1) ");
    ::unlink(tmpl);
}

TEST_F(CommPort, SettingsMadeWhileClosedApplyAtOpen) {
    TComm comm(nullptr);
    comm.SetDeviceName("COM5");
    comm.SetBaudRate(br2400);
    comm.SetParity(paEven);
    comm.SetDatabits(da7);
    comm.SetStopbits(sb20);
    comm.SetFlowControl(fcNone);
    EXPECT_EQ(comm.BaudRate(), br2400);
    comm.Open();
    // A pseudo-terminal keeps 8 data bits and no parity whatever it is given; the rate and the
    // stop bits show.
    termios t{};
    std::uint32_t baud = 0;
    ASSERT_EQ(::tcgetattr(comm.Handle(), &t), 0);
    ASSERT_TRUE(getTtyBaudRate(comm.Handle(), baud));
    EXPECT_EQ(baud, 2400u);
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    // A change while open is applied at once.
    comm.SetBaudRate(br115200);
    comm.SetStopbits(sb10);
    ASSERT_EQ(::tcgetattr(comm.Handle(), &t), 0);
    ASSERT_TRUE(getTtyBaudRate(comm.Handle(), baud));
    EXPECT_EQ(baud, 115200u);
    EXPECT_FALSE(t.c_cflag & CSTOPB);
    // Four data bits are refused by the port.
    EXPECT_NE(message([&] { comm.SetDatabits(da4); }).find("Error updating DataControlBlock"),
              std::string::npos);
}

TEST_F(CommPort, BytesAndReceiveEventsReachTheUiThread) {
    TComm comm(nullptr);
    comm.SetDeviceName("COM5");
    comm.SetFlowControl(fcNone);
    std::vector<std::uint32_t> counts;
    bool onUiThread = true;
    comm.OnRxChar = [&](TObject* sender, std::uint32_t count) {
        EXPECT_EQ(sender, &comm);
        onUiThread = onUiThread && TThread::IsMainThread();
        counts.push_back(count);
    };
    comm.Open();
    const std::string frame("\x10\x7B\x01\x7C\x16", 5);
    EXPECT_EQ(comm.Write(frame.data(), int(frame.size())), 5);
    EXPECT_EQ(readMaster(5), frame);

    const std::string answer("\xE5", 1);
    ASSERT_EQ(::write(master, answer.data(), 1), 1);
    for (int i = 0; i < 100000 && counts.empty(); ++i) {
        CheckSynchronize();
        std::this_thread::yield();
    }
    ASSERT_FALSE(counts.empty());
    EXPECT_EQ(counts[0], 1u);
    EXPECT_TRUE(onUiThread);
    EXPECT_EQ(comm.InQueCount(), 1);
    char buf[8] = {};
    EXPECT_EQ(comm.Read(buf, sizeof buf), 1);
    EXPECT_EQ(buf[0], '\xE5');
    EXPECT_EQ(comm.Read(buf, sizeof buf), 0) << "a read returns at once";
    comm.Close();
    comm.Open(); // reopens after a close
}

TEST_F(CommPort, WaitingForPortEventsLeavesTheClockAlone) {
    TManualClock clock;
    SetApplicationClock(&clock);
    const std::uint64_t start = clock.TickCount();
    {
        TComm comm(nullptr);
        comm.SetDeviceName("COM5");
        comm.Open();
        // The event thread waits meanwhile; a wait without time-out measures nothing.
        for (int i = 0; i < 20000; ++i) std::this_thread::yield();
    }
    EXPECT_EQ(clock.TickCount(), start);
    SetApplicationClock(nullptr);
}

} // namespace
