#pragma once
// A serial port with the communications calls of the model (SetupComm, GetCommState, ...),
// on a Linux tty through termios.
//
// Port names. "COMn" (any letter case, with or without the "\\.\" prefix) is port number n
// and goes through the port mapper; another name with "COM" or that prefix has no device, and
// any other name is taken as a device path when it is absolute (none otherwise). The default
// mapper: COM1..COM32 are /dev/ttyS0..ttyS31 (built-in UARTs), COM33..COM64 are
// /dev/ttyUSB0..ttyUSB31 (USB adapters), COM65..COM96 are /dev/ttyACM0..ttyACM31 (USB modem
// class devices); other numbers have no device. Tests install their own mapper, for example
// to the slave side of a pseudo-terminal.
//
// Failures are returned as false with the system's error number in LastError(), as the
// model's calls report them; waiting is measured on the application clock.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

// Parity, stop bits, DTR and RTS control values of TDCB.
constexpr std::uint8_t NOPARITY = 0, ODDPARITY = 1, EVENPARITY = 2, MARKPARITY = 3, SPACEPARITY = 4;
constexpr std::uint8_t ONESTOPBIT = 0, ONE5STOPBITS = 1, TWOSTOPBITS = 2;
constexpr std::uint8_t DTR_CONTROL_DISABLE = 0, DTR_CONTROL_ENABLE = 1, DTR_CONTROL_HANDSHAKE = 2;
constexpr std::uint8_t RTS_CONTROL_DISABLE = 0, RTS_CONTROL_ENABLE = 1, RTS_CONTROL_HANDSHAKE = 2,
                       RTS_CONTROL_TOGGLE = 3;
// Event mask bits.
constexpr std::uint32_t EV_RXCHAR = 0x0001, EV_RXFLAG = 0x0002, EV_TXEMPTY = 0x0004,
                        EV_CTS = 0x0008, EV_DSR = 0x0010, EV_RLSD = 0x0020, EV_BREAK = 0x0040,
                        EV_ERR = 0x0080, EV_RING = 0x0100;
// PurgeComm flags.
constexpr std::uint32_t PURGE_TXABORT = 0x0001, PURGE_RXABORT = 0x0002, PURGE_TXCLEAR = 0x0004,
                        PURGE_RXCLEAR = 0x0008;
// EscapeCommFunction functions.
constexpr std::uint32_t SETXOFF = 1, SETXON = 2, SETRTS = 3, CLRRTS = 4, SETDTR = 5, CLRDTR = 6,
                        SETBREAK = 8, CLRBREAK = 9;
// GetCommModemStatus bits.
constexpr std::uint32_t MS_CTS_ON = 0x0010, MS_DSR_ON = 0x0020, MS_RING_ON = 0x0040,
                        MS_RLSD_ON = 0x0080;
// ClearCommError error bits.
constexpr std::uint32_t CE_RXOVER = 0x0001, CE_OVERRUN = 0x0002, CE_RXPARITY = 0x0004,
                        CE_FRAME = 0x0008, CE_BREAK = 0x0010;
constexpr std::uint32_t MAXDWORD = 0xFFFFFFFF;

// The device control block: the line settings of a port.
struct TDCB {
    std::uint32_t BaudRate = 9600;
    bool fBinary = true;
    bool fParity = false; // check parity of received bytes
    bool fOutxCtsFlow = false;
    bool fOutxDsrFlow = false; // kept, not supported by Linux ttys
    std::uint8_t fDtrControl = DTR_CONTROL_ENABLE;
    bool fDsrSensitivity = false;   // kept, not supported
    bool fTXContinueOnXoff = false; // kept, not supported
    bool fOutX = false;             // XON/XOFF for output
    bool fInX = false;              // XON/XOFF for input
    bool fErrorChar = false;        // kept, not supported
    bool fNull = false;             // kept, not supported
    std::uint8_t fRtsControl = RTS_CONTROL_ENABLE;
    bool fAbortOnError = false;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 8; // 5..8
    std::uint8_t Parity = NOPARITY;
    std::uint8_t StopBits = ONESTOPBIT; // 1.5 only with 5 data bits, 2 only with 6..8
    char XonChar = 17;
    char XoffChar = 19;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
};

// Read and write time-outs in ms, with the model's rules: interval MAXDWORD with both read
// totals 0 returns at once with what is there; a total of 0 (multiplier and constant) means
// no total limit; an interval of 0 means no interval limit.
struct TCommTimeouts {
    std::uint32_t ReadIntervalTimeout = 0;
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 0;
    std::uint32_t WriteTotalTimeoutConstant = 0;
};

struct TComStat {
    bool fCtsHold = false;
    bool fDsrHold = false;
    bool fRlsdHold = false;
    bool fXoffHold = false;
    bool fXoffSent = false;
    bool fEof = false;
    bool fTxim = false;
    std::uint32_t cbInQue = 0;
    std::uint32_t cbOutQue = 0;
};

// --- port names ---------------------------------------------------------------------------
using TSerialPortMapper = std::function<std::string(int number)>;
// Installs the mapping from port numbers to device paths; an empty one restores the default.
void SetSerialPortMapper(TSerialPortMapper mapper);
// The default mapping (see above); "" for a number without a device.
std::string DefaultSerialDevicePath(int number);
// The device path for a port name; "" for a name without a device.
std::string SerialDevicePath(const std::string& name);
// True when the port's device exists, whether in use or not. The device is not opened: a
// built-in UART slot without hardware behind it counts as absent.
bool SerialPortPresent(const std::string& name);

// --- the port -----------------------------------------------------------------------------
class TSerialPort {
public:
    TSerialPort();
    ~TSerialPort(); // closes
    TSerialPort(const TSerialPort&) = delete;
    TSerialPort& operator=(const TSerialPort&) = delete;

    // Opens a port by name for exclusive use and puts it into raw mode (no echo, no line
    // editing, no character translation), keeping its rate and framing. An open port held
    // elsewhere fails with EBUSY; a name whose device is no character device, with ENOTTY.
    bool Open(const std::string& name);
    // Closes the port; a waiting WaitCommEvent, ReadFile or WriteFile returns false.
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    int Handle() const { return fd_; }
    // True when the open device is a terminal device (a file opened by path is not).
    bool IsCharacterDevice() const;
    // The error number of the calling thread's last failed call.
    static int LastError();

    // Records the queue sizes; the kernel keeps its own buffers.
    bool SetupComm(std::uint32_t inQueue, std::uint32_t outQueue);
    bool GetCommState(TDCB& dcb);
    bool SetCommState(const TDCB& dcb);
    bool GetCommTimeouts(TCommTimeouts& t);
    bool SetCommTimeouts(const TCommTimeouts& t);
    // Setting the mask ends a WaitCommEvent in progress with no events.
    bool SetCommMask(std::uint32_t mask);
    bool GetCommMask(std::uint32_t& mask);
    // Waits until one of the masked events happens and returns them. Returns true with 0 when
    // the mask was changed meanwhile; false with ETIMEDOUT after timeoutMs, with EBADF when
    // the port is closed. EV_RXFLAG is never reported. A wait without time-out does not move a
    // test's manual clock.
    bool WaitCommEvent(std::uint32_t& events, unsigned timeoutMs = 0xFFFFFFFF);

    // Reads and writes following the time-outs. A purge with the abort flag ends a waiting
    // read (write) with ECANCELED.
    bool ReadFile(void* buffer, std::uint32_t count, std::uint32_t& done);
    bool WriteFile(const void* buffer, std::uint32_t count, std::uint32_t& done);

    // The CE_ errors since the last call (from the driver's counters) and the queue state.
    bool ClearCommError(std::uint32_t& errors, TComStat* stat);
    bool PurgeComm(std::uint32_t flags);
    bool EscapeCommFunction(std::uint32_t function);
    // Fails on devices without modem lines (a pseudo-terminal).
    bool GetCommModemStatus(std::uint32_t& status);

    std::uint32_t InQueueSize() const { return inQueue_; }
    std::uint32_t OutQueueSize() const { return outQueue_; }

private:
    struct Counters {
        int frame = 0, overrun = 0, parity = 0, brk = 0, bufOverrun = 0;
    };
    bool fail(int err);
    bool checkOpen();
    bool readCounters(Counters& c) const;
    std::uint32_t pendingEvents(); // under mutex_
    std::uint64_t inputCount() const;

    std::atomic<int> fd_{-1};
    int wake_[2] = {-1, -1}; // written when the port closes
    std::atomic<bool> closing_{false};
    std::atomic<int> users_{0}; // calls that may be waiting on the descriptor
    std::mutex mutex_;
    TDCB dcb_;
    TCommTimeouts timeouts_;
    std::uint32_t mask_ = 0;
    std::atomic<unsigned> maskGeneration_{0};
    std::atomic<unsigned> rxAbort_{0};
    std::atomic<unsigned> txAbort_{0};
    std::uint32_t inQueue_ = 0, outQueue_ = 0;
    // Event detection: bytes taken from the input so far, bytes seen by WaitCommEvent.
    std::uint64_t consumed_ = 0;
    std::uint64_t rxSeen_ = 0;
    bool txPending_ = false;
    bool modemKnown_ = false;
    int lastModem_ = 0;
    Counters seenForEvents_;
    Counters seenForErrors_;
};
