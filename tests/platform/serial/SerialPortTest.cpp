#include "platform/serial/SerialPort.h"
#include "platform/serial/SerialTermios.h"

#include "platform/base/Clock.h"
#include "platform/testing/PseudoTerminal.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// A pseudo-terminal whose slave side is port COM7; the test plays the device on the master.
class PtyPort : public ::testing::Test {
protected:
    void TearDown() override { SetApplicationClock(nullptr); }
    std::string readMaster(std::size_t n) { return pty.ReadMaster(n); }
    void writeMaster(const std::string& s) { ASSERT_TRUE(pty.WriteMaster(s)); }
    // Waits until the port's input holds n bytes (the pty hands them over asynchronously).
    void waitInput(TSerialPort& port, std::uint32_t n) {
        for (int i = 0; i < 5000; ++i) {
            std::uint32_t errors;
            TComStat st;
            ASSERT_TRUE(port.ClearCommError(errors, &st));
            if (st.cbInQue >= n) return;
            pollfd p{port.Handle(), POLLIN, 0};
            ::poll(&p, 1, 1);
        }
        FAIL() << "input did not arrive";
    }
    testpty::PseudoTerminal pty{7};
    const int master = pty.Master();
};

TEST(SerialNames, MapsPortNamesToDevices) {
    struct Case {
        const char* name;
        const char* path;
    };
    const Case cases[] = {
        {"COM1", "/dev/ttyS0"},
        {"\\\\.\\COM3", "/dev/ttyS2"},
        {"com32", "/dev/ttyS31"},
        {"COM33", "/dev/ttyUSB0"},
        {"COM65", "/dev/ttyACM0"},
        {"COM97", ""},
        {"COM0", ""},
        {"/dev/ttyAMA0", "/dev/ttyAMA0"},
        // Names that do not parse are refused, never taken as relative paths.
        {"COM", ""},
        {"COM1a", ""},
        {"com-1", ""},
        {"COM99999999999", ""},
        {"\\\\.\\PORT1", ""},
        {"ttyUSB0", ""},
        {"../dev/ttyS0", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(SerialDevicePath(c.name), c.path) << c.name;
    EXPECT_FALSE(SerialPortPresent("COM97"));
}

TEST_F(PtyPort, PresenceTestDoesNotHoldThePort) {
    EXPECT_TRUE(SerialPortPresent("COM7"));
    EXPECT_FALSE(SerialPortPresent("COM8"));
    TSerialPort port;
    ASSERT_TRUE(port.Open("\\\\.\\COM7"));
    EXPECT_TRUE(SerialPortPresent("COM7")) << "in use still counts";
}

TEST_F(PtyPort, OpenIsExclusiveAndReportsErrors) {
    TSerialPort port, other;
    EXPECT_FALSE(port.Open("COM8"));
    EXPECT_EQ(TSerialPort::LastError(), ENOENT);
    ASSERT_TRUE(port.Open("COM7"));
    EXPECT_TRUE(port.IsCharacterDevice());
    EXPECT_FALSE(other.Open("COM7"));
    EXPECT_EQ(TSerialPort::LastError(), EBUSY);
    port.Close();
    EXPECT_TRUE(other.Open("COM7"));
    std::uint32_t errors;
    EXPECT_FALSE(port.ClearCommError(errors, nullptr)) << "closed";
    EXPECT_EQ(TSerialPort::LastError(), EBADF);

    // A plain file, a folder or a FIFO is no port.
    char tmpl[] = "/tmp/knx_serial_XXXXXX";
    int fd = ::mkstemp(tmpl);
    ::close(fd);
    const std::string fifo = std::string(tmpl) + ".fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& name : {std::string(tmpl), std::string("/tmp"), fifo}) {
        TSerialPort file;
        EXPECT_FALSE(file.Open(name)) << name;
        EXPECT_EQ(TSerialPort::LastError(), ENOTTY) << name;
        EXPECT_FALSE(file.IsOpen()) << name;
    }
    std::filesystem::remove(tmpl);
    std::filesystem::remove(fifo);
}

TEST(SerialTermios, FramingRoundTripsThroughTermios) {
    struct Case {
        std::uint8_t bits, parity, stop;
    };
    const Case cases[] = {
        {8, NOPARITY, ONESTOPBIT},   {8, EVENPARITY, ONESTOPBIT},    {7, ODDPARITY, TWOSTOPBITS},
        {8, MARKPARITY, ONESTOPBIT}, {5, SPACEPARITY, ONE5STOPBITS}, {6, EVENPARITY, TWOSTOPBITS},
    };
    for (const auto& c : cases) {
        TDCB dcb;
        dcb.ByteSize = c.bits;
        dcb.Parity = c.parity;
        dcb.StopBits = c.stop;
        ASSERT_TRUE(dcbIsValid(dcb));
        termios t{};
        dcbToTermios(dcb, t);
        TDCB back;
        back.ByteSize = 0;
        termiosToDcb(t, back);
        EXPECT_EQ(back.ByteSize, c.bits);
        EXPECT_EQ(back.Parity, c.parity) << int(c.bits);
        EXPECT_EQ(back.StopBits, c.stop) << int(c.bits);
    }
    const Case refused[] = {{4, NOPARITY, ONESTOPBIT},
                            {8, NOPARITY, ONE5STOPBITS},
                            {5, NOPARITY, TWOSTOPBITS},
                            {8, 5, ONESTOPBIT}};
    for (const auto& c : refused) {
        TDCB dcb;
        dcb.ByteSize = c.bits;
        dcb.Parity = c.parity;
        dcb.StopBits = c.stop;
        EXPECT_FALSE(dcbIsValid(dcb)) << int(c.bits) << int(c.parity) << int(c.stop);
    }
}

// A pseudo-terminal keeps 8 data bits without parity whatever is asked; rates, stop bits and
// flow control stay as set.
TEST_F(PtyPort, LineSettingsReachTheDevice) {
    TSerialPort port;
    ASSERT_TRUE(port.Open("COM7"));
    for (std::uint32_t baud : {115200u, 2400u, 56000u, 300u}) {
        TDCB dcb;
        ASSERT_TRUE(port.GetCommState(dcb));
        dcb.BaudRate = baud;
        dcb.StopBits = baud == 2400 ? TWOSTOPBITS : ONESTOPBIT;
        dcb.fOutX = dcb.fInX = baud == 300;
        ASSERT_TRUE(port.SetCommState(dcb)) << baud;
        TDCB back;
        ASSERT_TRUE(port.GetCommState(back));
        EXPECT_EQ(back.BaudRate, baud);
        EXPECT_EQ(back.StopBits, dcb.StopBits) << baud;
        EXPECT_EQ(back.fOutX, dcb.fOutX) << baud;
        EXPECT_EQ(back.fInX, dcb.fInX) << baud;
    }
    TDCB bad;
    bad.ByteSize = 4;
    EXPECT_FALSE(port.SetCommState(bad));
    EXPECT_EQ(TSerialPort::LastError(), EINVAL);
}

TEST_F(PtyPort, MovesBytesBothWaysUnchanged) {
    TSerialPort port;
    ASSERT_TRUE(port.Open("COM7"));
    TDCB dcb;
    ASSERT_TRUE(port.GetCommState(dcb));
    dcb.BaudRate = 115200;
    ASSERT_TRUE(port.SetCommState(dcb));
    ASSERT_TRUE(port.SetupComm(4096, 4096));

    // Bytes a terminal would translate or act on: CR, LF, ^C, XON, XOFF, DEL, 0xFF.
    const std::string frame("\x10\x40\x01\x41\x16\r\n\x03\x11\x13\x7F\xFF\x00", 13);
    std::uint32_t done = 0;
    ASSERT_TRUE(port.WriteFile(frame.data(), std::uint32_t(frame.size()), done));
    EXPECT_EQ(done, frame.size());
    EXPECT_EQ(readMaster(frame.size()), frame);

    writeMaster(frame);
    waitInput(port, std::uint32_t(frame.size()));
    TCommTimeouts t;
    t.ReadIntervalTimeout = MAXDWORD; // return with what is there
    ASSERT_TRUE(port.SetCommTimeouts(t));
    char buf[64] = {};
    ASSERT_TRUE(port.ReadFile(buf, sizeof buf, done));
    EXPECT_EQ(std::string(buf, done), frame);
}

TEST_F(PtyPort, ReadFollowsTheTimeouts) {
    TSerialPort port;
    ASSERT_TRUE(port.Open("COM7"));
    TManualClock clock;
    SetApplicationClock(&clock);
    char buf[16];
    std::uint32_t done = 99;

    TCommTimeouts t; // read returns at once with what is there
    t.ReadIntervalTimeout = MAXDWORD;
    ASSERT_TRUE(port.SetCommTimeouts(t));
    std::uint64_t start = clock.TickCount();
    ASSERT_TRUE(port.ReadFile(buf, sizeof buf, done));
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(clock.TickCount(), start);

    writeMaster("abc");
    waitInput(port, 3);
    t = TCommTimeouts();
    t.ReadTotalTimeoutMultiplier = 10;
    t.ReadTotalTimeoutConstant = 300;
    ASSERT_TRUE(port.SetCommTimeouts(t));
    start = clock.TickCount();
    ASSERT_TRUE(port.ReadFile(buf, 10, done));
    EXPECT_EQ(std::string(buf, done), "abc");
    EXPECT_GE(clock.TickCount() - start, 400u); // 10 * 10 + 300
    EXPECT_LT(clock.TickCount() - start, 420u);

    t.ReadTotalTimeoutMultiplier = t.ReadTotalTimeoutConstant = MAXDWORD;
    EXPECT_FALSE(port.SetCommTimeouts(t));
}

TEST_F(PtyPort, EventWaitReportsNewInputAndTransmitEmpty) {
    TSerialPort port;
    ASSERT_TRUE(port.Open("COM7"));
    TManualClock clock;
    SetApplicationClock(&clock);
    ASSERT_TRUE(port.SetCommMask(EV_RXCHAR | EV_TXEMPTY));
    std::uint32_t ev = 0;
    EXPECT_FALSE(port.WaitCommEvent(ev, 100));
    EXPECT_EQ(TSerialPort::LastError(), ETIMEDOUT);

    writeMaster("12");
    waitInput(port, 2);
    ASSERT_TRUE(port.WaitCommEvent(ev, 100));
    EXPECT_EQ(ev, EV_RXCHAR);
    EXPECT_FALSE(port.WaitCommEvent(ev, 100)) << "unread input is reported once";

    std::uint32_t errors = 0;
    TComStat st;
    ASSERT_TRUE(port.ClearCommError(errors, &st));
    EXPECT_EQ(st.cbInQue, 2u);
    EXPECT_EQ(errors, 0u);
    ASSERT_TRUE(port.PurgeComm(PURGE_RXABORT | PURGE_RXCLEAR));
    ASSERT_TRUE(port.ClearCommError(errors, &st));
    EXPECT_EQ(st.cbInQue, 0u);

    std::uint32_t done;
    ASSERT_TRUE(port.WriteFile("x", 1, done));
    ASSERT_TRUE(port.WaitCommEvent(ev, 100));
    EXPECT_EQ(ev, EV_TXEMPTY);
}

TEST_F(PtyPort, ChangingTheMaskOrClosingEndsAWait) {
    TSerialPort port;
    ASSERT_TRUE(port.Open("COM7"));
    ASSERT_TRUE(port.SetCommMask(EV_RXCHAR));
    std::uint32_t ev = 1;
    bool result = false;
    std::atomic<bool> finished{false};
    std::thread waiter([&] {
        result = port.WaitCommEvent(ev);
        finished = true;
    });
    // Keep changing the mask until the waiter has seen a change and returned.
    while (!finished) {
        port.SetCommMask(EV_RXCHAR);
        std::this_thread::yield();
    }
    waiter.join();
    EXPECT_TRUE(result);
    EXPECT_EQ(ev, 0u);

    // Close wakes a waiter (or refuses a late one) and waits for it before releasing the port.
    int error = 0;
    std::thread closed([&] {
        std::uint32_t e;
        result = port.WaitCommEvent(e);
        error = TSerialPort::LastError();
    });
    for (int i = 0; i < 1000; ++i) std::this_thread::yield();
    port.Close();
    closed.join();
    EXPECT_FALSE(result);
    EXPECT_EQ(error, EBADF);
}

TEST_F(PtyPort, ModemFunctionsFailOnAPseudoTerminal) {
    TSerialPort port;
    ASSERT_TRUE(port.Open("COM7"));
    std::uint32_t status = 0;
    EXPECT_FALSE(port.GetCommModemStatus(status));
    EXPECT_FALSE(port.EscapeCommFunction(SETDTR));
    EXPECT_FALSE(port.EscapeCommFunction(77));
    EXPECT_EQ(TSerialPort::LastError(), EINVAL);
    EXPECT_TRUE(port.EscapeCommFunction(SETXOFF));
    EXPECT_TRUE(port.EscapeCommFunction(SETXON));
}

} // namespace
