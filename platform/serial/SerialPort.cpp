#include "platform/serial/SerialPort.h"

#include "platform/base/Clock.h"
#include "platform/serial/SerialBaud.h"
#include "platform/serial/SerialTermios.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr unsigned slice = 10; // ms between checks while waiting

thread_local int lastErrorOfThread = 0;

std::mutex mapperMutex;
TSerialPortMapper portMapper;

// Port number of "COMn" / "\\.\COMn" (also with the backslashes turned into slashes); -1 when
// the name is no port name.
constexpr int notAPortName = -1; // a device path
constexpr int badPortName = -2;  // a "COM" or "\\.\" name without a port number

int portNumber(std::string name) {
    bool prefixed = false;
    for (const char* prefix : {"\\\\.\\", "//./"})
        if (name.rfind(prefix, 0) == 0) {
            name.erase(0, 4);
            prefixed = true;
        }
    const bool com = name.size() >= 3 && std::toupper(static_cast<unsigned char>(name[0])) == 'C' &&
                     std::toupper(static_cast<unsigned char>(name[1])) == 'O' &&
                     std::toupper(static_cast<unsigned char>(name[2])) == 'M';
    if (!com) return prefixed ? badPortName : notAPortName;
    if (name.size() == 3) return badPortName;
    int n = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])) || n > 100000) return badPortName;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

// Waits up to one slice for fd to become readable or for the wake pipe: on the system clock
// the poll is the wait, on any other clock the poll only looks and the clock is advanced. A
// wait without a time-out measures nothing, so it always waits in real time.
void waitSlice(int fd, int wake, bool untimed = false) {
    TClock& clock = ApplicationClock();
    bool realTime = untimed || dynamic_cast<TSystemClock*>(&clock) != nullptr;
    pollfd fds[2] = {{fd, POLLIN, 0}, {wake, POLLIN, 0}};
    int n = fd >= 0 ? 2 : 1;
    ::poll(fd >= 0 ? fds : fds + 1, nfds_t(n), realTime ? int(slice) : 0);
    if (!realTime) clock.Sleep(slice);
}

speed_t standardSpeed(std::uint32_t baud) {
    switch (baud) {
    case 110:
        return B110;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    case 460800:
        return B460800;
    case 921600:
        return B921600;
    case 1500000:
        return B1500000;
    case 3000000:
        return B3000000;
    default:
        return B38400; // replaced through termios2 afterwards
    }
}

// Counts the calls that may use the descriptor, so that Close can wait for them.
struct UseGuard {
    explicit UseGuard(std::atomic<int>& users) : users_(users) { ++users_; }
    ~UseGuard() { --users_; }
    std::atomic<int>& users_;
};

} // namespace

bool dcbIsValid(const TDCB& dcb) {
    bool stopOk = dcb.StopBits == ONESTOPBIT ||
                  (dcb.StopBits == ONE5STOPBITS && dcb.ByteSize == 5) ||
                  (dcb.StopBits == TWOSTOPBITS && dcb.ByteSize >= 6);
    return dcb.BaudRate != 0 && dcb.ByteSize >= 5 && dcb.ByteSize <= 8 &&
           dcb.Parity <= SPACEPARITY && stopOk && dcb.fDtrControl <= DTR_CONTROL_HANDSHAKE &&
           dcb.fRtsControl <= RTS_CONTROL_TOGGLE;
}

void dcbToTermios(const TDCB& dcb, termios& t) {
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag &= ~tcflag_t(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= sizes[std::clamp<int>(dcb.ByteSize, 5, 8) - 5] | CLOCAL | CREAD;
    switch (dcb.Parity) {
    case ODDPARITY:
        t.c_cflag |= PARENB | PARODD;
        break;
    case EVENPARITY:
        t.c_cflag |= PARENB;
        break;
    case MARKPARITY:
        t.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case SPACEPARITY:
        t.c_cflag |= PARENB | CMSPAR;
        break;
    default:
        break;
    }
    // CSTOPB means 1.5 stop bits with 5 data bits and 2 otherwise.
    if (dcb.StopBits != ONESTOPBIT) t.c_cflag |= CSTOPB;
    if (dcb.fOutxCtsFlow || dcb.fRtsControl == RTS_CONTROL_HANDSHAKE) t.c_cflag |= CRTSCTS;
    t.c_iflag &= ~tcflag_t(IXON | IXOFF | INPCK);
    if (dcb.fOutX) t.c_iflag |= IXON;
    if (dcb.fInX) t.c_iflag |= IXOFF;
    if (dcb.fParity) t.c_iflag |= INPCK;
    t.c_cc[VSTART] = cc_t(dcb.XonChar);
    t.c_cc[VSTOP] = cc_t(dcb.XoffChar);
}

void termiosToDcb(const termios& t, TDCB& dcb) {
    switch (t.c_cflag & CSIZE) {
    case CS5:
        dcb.ByteSize = 5;
        break;
    case CS6:
        dcb.ByteSize = 6;
        break;
    case CS7:
        dcb.ByteSize = 7;
        break;
    default:
        dcb.ByteSize = 8;
        break;
    }
    if (!(t.c_cflag & PARENB))
        dcb.Parity = NOPARITY;
    else if (t.c_cflag & CMSPAR)
        dcb.Parity = (t.c_cflag & PARODD) ? MARKPARITY : SPACEPARITY;
    else
        dcb.Parity = (t.c_cflag & PARODD) ? ODDPARITY : EVENPARITY;
    if (!(t.c_cflag & CSTOPB))
        dcb.StopBits = ONESTOPBIT;
    else
        dcb.StopBits = dcb.ByteSize == 5 ? ONE5STOPBITS : TWOSTOPBITS;
    dcb.fParity = (t.c_iflag & INPCK) != 0;
    dcb.fOutX = (t.c_iflag & IXON) != 0;
    dcb.fInX = (t.c_iflag & IXOFF) != 0;
    dcb.fOutxCtsFlow = (t.c_cflag & CRTSCTS) != 0;
    if (dcb.fOutxCtsFlow) dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    dcb.XonChar = char(t.c_cc[VSTART]);
    dcb.XoffChar = char(t.c_cc[VSTOP]);
    dcb.fBinary = true;
}

// --- port names ---------------------------------------------------------------------------
void SetSerialPortMapper(TSerialPortMapper mapper) {
    std::lock_guard lock(mapperMutex);
    portMapper = std::move(mapper);
}

std::string DefaultSerialDevicePath(int number) {
    if (number >= 1 && number <= 32) return "/dev/ttyS" + std::to_string(number - 1);
    if (number >= 33 && number <= 64) return "/dev/ttyUSB" + std::to_string(number - 33);
    if (number >= 65 && number <= 96) return "/dev/ttyACM" + std::to_string(number - 65);
    return {};
}

std::string SerialDevicePath(const std::string& name) {
    int n = portNumber(name);
    if (n == badPortName) return {};
    // Any other name is a device path, never one relative to the working folder.
    if (n == notAPortName) return name.rfind('/', 0) == 0 ? name : std::string();
    TSerialPortMapper mapper;
    {
        std::lock_guard lock(mapperMutex);
        mapper = portMapper;
    }
    return mapper ? mapper(n) : DefaultSerialDevicePath(n);
}

bool SerialPortPresent(const std::string& name) {
    std::string path = SerialDevicePath(name);
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    // The kernel makes ttyS nodes for every UART slot; the slot's type is 0 when it is empty.
    if (path.rfind("/dev/ttyS", 0) == 0) {
        std::ifstream type("/sys/class/tty/" + path.substr(5) + "/type");
        int t = 0;
        if (type >> t) return t != 0;
    }
    return true;
}

// --- the port -----------------------------------------------------------------------------
int TSerialPort::LastError() {
    return lastErrorOfThread;
}

TSerialPort::TSerialPort() {
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
}

TSerialPort::~TSerialPort() {
    Close();
    if (wake_[0] >= 0) ::close(wake_[0]);
    if (wake_[1] >= 0) ::close(wake_[1]);
}

bool TSerialPort::fail(int err) {
    lastErrorOfThread = err;
    return false;
}

bool TSerialPort::checkOpen() {
    if (closing_ || fd_ < 0) return fail(EBADF);
    return true;
}

bool TSerialPort::Open(const std::string& name) {
    if (fd_ >= 0) return fail(EBUSY);
    if (wake_[0] < 0) return fail(EMFILE);
    std::string path = SerialDevicePath(name);
    if (path.empty()) return fail(ENOENT);
    // Only a character device is a port; anything else is not even opened.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return fail(errno);
    if (!S_ISCHR(st.st_mode)) return fail(ENOTTY);
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail(errno);
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) {
        ::close(fd);
        return fail(ENOTTY);
    }
    // Exclusive as on the model: an advisory lock for other programs of ours, TIOCEXCL for
    // everything else that is not root.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        return fail(err);
    }
    if (::isatty(fd)) {
        ::ioctl(fd, TIOCEXCL);
        termios t{};
        if (::tcgetattr(fd, &t) == 0) {
            t.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                   IXON | IXOFF | IXANY | INPCK);
            t.c_oflag &= ~tcflag_t(OPOST);
            t.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
            t.c_cflag |= CLOCAL | CREAD;
            t.c_cc[VMIN] = 0;
            t.c_cc[VTIME] = 0;
            ::tcsetattr(fd, TCSANOW, &t);
        }
    }
    std::lock_guard lock(mutex_);
    dcb_ = TDCB();
    timeouts_ = TCommTimeouts();
    mask_ = 0;
    consumed_ = rxSeen_ = 0;
    txPending_ = false;
    modemKnown_ = false;
    seenForEvents_ = seenForErrors_ = Counters();
    fd_ = fd;
    readCounters(seenForEvents_);
    seenForErrors_ = seenForEvents_;
    return true;
}

void TSerialPort::Close() {
    if (fd_ < 0) return;
    closing_ = true;
    char one = 1;
    [[maybe_unused]] ssize_t w = ::write(wake_[1], &one, 1);
    while (users_ > 0) std::this_thread::yield(); // they return within a slice
    int fd = fd_.exchange(-1);
    if (::isatty(fd)) ::ioctl(fd, TIOCNXCL);
    ::close(fd);
    char drain[16];
    while (::read(wake_[0], drain, sizeof drain) > 0) {
    }
    closing_ = false;
}

bool TSerialPort::IsCharacterDevice() const {
    struct stat st {};
    return fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISCHR(st.st_mode) && ::isatty(fd_);
}

bool TSerialPort::SetupComm(std::uint32_t inQueue, std::uint32_t outQueue) {
    if (!checkOpen()) return false;
    inQueue_ = inQueue;
    outQueue_ = outQueue;
    return true;
}

bool TSerialPort::GetCommState(TDCB& dcb) {
    UseGuard use(users_);
    if (!checkOpen()) return false;
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return fail(errno);
    std::lock_guard lock(mutex_);
    dcb = dcb_;
    std::uint32_t baud = 0;
    if (getTtyBaudRate(fd_, baud)) dcb.BaudRate = baud;
    termiosToDcb(t, dcb);
    dcb.fBinary = true;
    return true;
}

bool TSerialPort::SetCommState(const TDCB& dcb) {
    UseGuard use(users_);
    if (!checkOpen()) return false;
    if (!dcbIsValid(dcb)) return fail(EINVAL);
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return fail(errno);
    dcbToTermios(dcb, t);
    speed_t speed = standardSpeed(dcb.BaudRate);
    ::cfsetispeed(&t, speed);
    ::cfsetospeed(&t, speed);
    if (::tcsetattr(fd_, TCSANOW, &t) != 0) return fail(errno);
    if (!setTtyBaudRate(fd_, dcb.BaudRate)) return fail(errno);
    // Modem lines follow the control values; a device without them (a pseudo-terminal)
    // ignores this, as the model's drivers do.
    int dtr = TIOCM_DTR, rts = TIOCM_RTS;
    ::ioctl(fd_, dcb.fDtrControl == DTR_CONTROL_DISABLE ? TIOCMBIC : TIOCMBIS, &dtr);
    if (!(t.c_cflag & CRTSCTS))
        ::ioctl(fd_, dcb.fRtsControl == RTS_CONTROL_DISABLE ? TIOCMBIC : TIOCMBIS, &rts);
    std::lock_guard lock(mutex_);
    dcb_ = dcb;
    dcb_.fBinary = true;
    return true;
}

bool TSerialPort::GetCommTimeouts(TCommTimeouts& t) {
    if (!checkOpen()) return false;
    std::lock_guard lock(mutex_);
    t = timeouts_;
    return true;
}

bool TSerialPort::SetCommTimeouts(const TCommTimeouts& t) {
    if (!checkOpen()) return false;
    // Both read totals at MAXDWORD cannot be met, as on the model.
    if (t.ReadTotalTimeoutMultiplier == MAXDWORD && t.ReadTotalTimeoutConstant == MAXDWORD)
        return fail(EINVAL);
    std::lock_guard lock(mutex_);
    timeouts_ = t;
    return true;
}

bool TSerialPort::SetCommMask(std::uint32_t mask) {
    if (!checkOpen()) return false;
    std::lock_guard lock(mutex_);
    mask_ = mask;
    ++maskGeneration_;
    return true;
}

bool TSerialPort::GetCommMask(std::uint32_t& mask) {
    if (!checkOpen()) return false;
    std::lock_guard lock(mutex_);
    mask = mask_;
    return true;
}

std::uint64_t TSerialPort::inputCount() const {
    int n = 0;
    if (::ioctl(fd_, FIONREAD, &n) != 0) return 0;
    return std::uint64_t(std::max(n, 0));
}

bool TSerialPort::readCounters(Counters& c) const {
    serial_icounter_struct ic{};
    if (::ioctl(fd_, TIOCGICOUNT, &ic) != 0) return false;
    c = {ic.frame, ic.overrun, ic.parity, ic.brk, ic.buf_overrun};
    return true;
}

std::uint32_t TSerialPort::pendingEvents() {
    std::uint32_t ev = 0;
    std::uint64_t arrived = consumed_ + inputCount();
    if (arrived > rxSeen_) ev |= EV_RXCHAR;
    rxSeen_ = std::max(rxSeen_, arrived);
    if (txPending_) {
        int out = 0;
        if (::ioctl(fd_, TIOCOUTQ, &out) != 0 || out == 0) {
            ev |= EV_TXEMPTY;
            txPending_ = false;
        }
    }
    int modem = 0;
    if (::ioctl(fd_, TIOCMGET, &modem) == 0) {
        if (modemKnown_) {
            int changed = modem ^ lastModem_;
            if (changed & TIOCM_CTS) ev |= EV_CTS;
            if (changed & TIOCM_DSR) ev |= EV_DSR;
            if (changed & TIOCM_CD) ev |= EV_RLSD;
            if (changed & TIOCM_RI) ev |= EV_RING;
        }
        modemKnown_ = true;
        lastModem_ = modem;
    }
    Counters c;
    if (readCounters(c)) {
        if (c.brk > seenForEvents_.brk) ev |= EV_BREAK;
        if (c.frame > seenForEvents_.frame || c.overrun > seenForEvents_.overrun ||
            c.parity > seenForEvents_.parity || c.bufOverrun > seenForEvents_.bufOverrun)
            ev |= EV_ERR;
        seenForEvents_ = c;
    }
    return ev;
}

bool TSerialPort::WaitCommEvent(std::uint32_t& events, unsigned timeoutMs) {
    events = 0;
    UseGuard use(users_);
    if (!checkOpen()) return false;
    TClock& clock = ApplicationClock();
    std::uint64_t start = clock.TickCount();
    unsigned generation = maskGeneration_;
    for (;;) {
        bool unreadInput;
        {
            std::lock_guard lock(mutex_);
            if (generation != maskGeneration_) return true; // mask changed: no events
            std::uint32_t ev = pendingEvents() & mask_;
            if (ev) {
                events = ev;
                return true;
            }
            unreadInput = inputCount() > 0;
        }
        if (timeoutMs != 0xFFFFFFFF && clock.TickCount() - start >= timeoutMs)
            return fail(ETIMEDOUT);
        // Input that was seen already would make the descriptor look ready at once.
        waitSlice(unreadInput ? -1 : int(fd_), wake_[0], timeoutMs == 0xFFFFFFFF);
        if (closing_) return fail(EBADF);
    }
}

bool TSerialPort::ReadFile(void* buffer, std::uint32_t count, std::uint32_t& done) {
    done = 0;
    UseGuard use(users_);
    if (!checkOpen()) return false;
    if (count == 0) return true;
    TCommTimeouts t;
    {
        std::lock_guard lock(mutex_);
        t = timeouts_;
    }
    bool immediate = t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == 0 &&
                     t.ReadTotalTimeoutConstant == 0;
    // Interval and multiplier MAXDWORD: wait up to the constant for the first byte only.
    bool firstByte = t.ReadIntervalTimeout == MAXDWORD &&
                     t.ReadTotalTimeoutMultiplier == MAXDWORD && t.ReadTotalTimeoutConstant > 0;
    std::uint64_t total = firstByte ? t.ReadTotalTimeoutConstant
                                    : std::uint64_t(t.ReadTotalTimeoutMultiplier) * count +
                                          t.ReadTotalTimeoutConstant;
    std::uint64_t interval =
        (t.ReadIntervalTimeout == MAXDWORD || firstByte) ? 0 : t.ReadIntervalTimeout;
    TClock& clock = ApplicationClock();
    std::uint64_t start = clock.TickCount();
    std::uint64_t lastByte = start;
    unsigned abort = rxAbort_;
    auto* out = static_cast<unsigned char*>(buffer);
    for (;;) {
        ssize_t n = ::read(fd_, out + done, count - done);
        if (n > 0) {
            done += std::uint32_t(n);
            lastByte = clock.TickCount();
            std::lock_guard lock(mutex_);
            consumed_ += std::uint64_t(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return fail(errno);
        if (done == count || immediate || (firstByte && done > 0)) return true;
        std::uint64_t now = clock.TickCount();
        if (total > 0 && now - start >= total) return true;
        if (interval > 0 && done > 0 && now - lastByte >= interval) return true;
        waitSlice(fd_, wake_[0]);
        if (closing_) return fail(EBADF);
        if (abort != rxAbort_) return fail(ECANCELED);
    }
}

bool TSerialPort::WriteFile(const void* buffer, std::uint32_t count, std::uint32_t& done) {
    done = 0;
    UseGuard use(users_);
    if (!checkOpen()) return false;
    std::uint64_t total;
    {
        std::lock_guard lock(mutex_);
        total = std::uint64_t(timeouts_.WriteTotalTimeoutMultiplier) * count +
                timeouts_.WriteTotalTimeoutConstant;
    }
    TClock& clock = ApplicationClock();
    bool realTime = dynamic_cast<TSystemClock*>(&clock) != nullptr;
    std::uint64_t start = clock.TickCount();
    unsigned abort = txAbort_;
    const auto* in = static_cast<const unsigned char*>(buffer);
    while (done < count) {
        ssize_t n = ::write(fd_, in + done, count - done);
        if (n > 0) {
            done += std::uint32_t(n);
            std::lock_guard lock(mutex_);
            txPending_ = true;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return fail(errno);
        if (total > 0 && clock.TickCount() - start >= total) return true;
        pollfd fds[2] = {{fd_, POLLOUT, 0}, {wake_[0], POLLIN, 0}};
        ::poll(fds, 2, realTime ? int(slice) : 0);
        if (!realTime) clock.Sleep(slice);
        if (closing_) return fail(EBADF);
        if (abort != txAbort_) return fail(ECANCELED);
    }
    return true;
}

bool TSerialPort::ClearCommError(std::uint32_t& errors, TComStat* stat) {
    errors = 0;
    UseGuard use(users_);
    if (!checkOpen()) return false;
    std::lock_guard lock(mutex_);
    Counters c;
    if (readCounters(c)) {
        if (c.frame > seenForErrors_.frame) errors |= CE_FRAME;
        if (c.overrun > seenForErrors_.overrun) errors |= CE_OVERRUN;
        if (c.parity > seenForErrors_.parity) errors |= CE_RXPARITY;
        if (c.brk > seenForErrors_.brk) errors |= CE_BREAK;
        if (c.bufOverrun > seenForErrors_.bufOverrun) errors |= CE_RXOVER;
        seenForErrors_ = c;
    }
    if (stat) {
        *stat = TComStat();
        stat->cbInQue = std::uint32_t(inputCount());
        int out = 0;
        if (::ioctl(fd_, TIOCOUTQ, &out) == 0) stat->cbOutQue = std::uint32_t(std::max(out, 0));
        int modem = 0;
        if (dcb_.fOutxCtsFlow && ::ioctl(fd_, TIOCMGET, &modem) == 0)
            stat->fCtsHold = !(modem & TIOCM_CTS);
    }
    return true;
}

bool TSerialPort::PurgeComm(std::uint32_t flags) {
    UseGuard use(users_);
    if (!checkOpen()) return false;
    if (flags & ~(PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR))
        return fail(EINVAL);
    if (flags & PURGE_RXABORT) ++rxAbort_;
    if (flags & PURGE_TXABORT) ++txAbort_;
    std::lock_guard lock(mutex_);
    if (flags & PURGE_RXCLEAR) {
        // Discarded input counts as taken, so that it raises no further EV_RXCHAR.
        std::uint64_t waiting = inputCount();
        if (::tcflush(fd_, TCIFLUSH) != 0) return fail(errno);
        consumed_ += waiting;
        rxSeen_ = std::max(rxSeen_, consumed_);
    }
    if ((flags & PURGE_TXCLEAR) && ::tcflush(fd_, TCOFLUSH) != 0) return fail(errno);
    return true;
}

bool TSerialPort::EscapeCommFunction(std::uint32_t function) {
    UseGuard use(users_);
    if (!checkOpen()) return false;
    int r;
    int dtr = TIOCM_DTR, rts = TIOCM_RTS;
    switch (function) {
    case SETXOFF:
        r = ::tcflow(fd_, TCOOFF);
        break;
    case SETXON:
        r = ::tcflow(fd_, TCOON);
        break;
    case SETRTS:
        r = ::ioctl(fd_, TIOCMBIS, &rts);
        break;
    case CLRRTS:
        r = ::ioctl(fd_, TIOCMBIC, &rts);
        break;
    case SETDTR:
        r = ::ioctl(fd_, TIOCMBIS, &dtr);
        break;
    case CLRDTR:
        r = ::ioctl(fd_, TIOCMBIC, &dtr);
        break;
    case SETBREAK:
        r = ::ioctl(fd_, TIOCSBRK);
        break;
    case CLRBREAK:
        r = ::ioctl(fd_, TIOCCBRK);
        break;
    default:
        return fail(EINVAL);
    }
    return r == 0 ? true : fail(errno);
}

bool TSerialPort::GetCommModemStatus(std::uint32_t& status) {
    status = 0;
    UseGuard use(users_);
    if (!checkOpen()) return false;
    int modem = 0;
    if (::ioctl(fd_, TIOCMGET, &modem) != 0) return fail(errno);
    if (modem & TIOCM_CTS) status |= MS_CTS_ON;
    if (modem & TIOCM_DSR) status |= MS_DSR_ON;
    if (modem & TIOCM_RI) status |= MS_RING_ON;
    if (modem & TIOCM_CD) status |= MS_RLSD_ON;
    return true;
}
