#pragma once
// A non-visual serial-port component: line settings as enumerations, reads and writes with
// time-outs, and the port's events reported through component events on the UI thread by an
// event thread of its own while the port is open.
#include "platform/base/Classes.h"
#include "platform/base/SysUtils.h"
#include "platform/base/Threads.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TSerialPort;

enum TBaudrate {
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000,
    br1500000,
    br3000000
};
enum TParity { paNone, paOdd, paEven, paMark, paSpace };
enum TStopbits { sb10, sb15, sb20 };
enum TDatabits { da4, da5, da6, da7, da8 };
enum TFlowControl { fcNone, fcCTS, fcDTR, fcSoftware, fcDefault };
enum TCommOption { coParityCheck, coDsrSensitivity, coIgnoreXOff, coErrorChar, coNullStrip };
enum TCommEventType {
    evBreak,
    evCts,
    evDsr,
    evError,
    evRing,
    evRlsd,
    evRxChar,
    evRxFlag,
    evTxEmpty
};
// Sets of the enumerations above: bit (1 << value).
using TCommOptions = unsigned;
using TCommEventTypes = unsigned;
constexpr unsigned CommSet(unsigned value) {
    return 1u << value;
}
constexpr TCommEventTypes All_Comm_Events = (1u << (evTxEmpty + 1)) - 1;

// The number of bits per second of a TBaudrate.
std::uint32_t Baudrate_Value(TBaudrate Rate);

class ECommError : public Exception {
public:
    // The message is Text followed by " (Error: <code>) ".
    ECommError(const std::string& Text, int Code);
    int ErrorCode;
};

class TCustomComm;

// The five special characters of the line; each change re-applies the owner's settings.
class TCommEventChars : public TPersistent {
public:
    explicit TCommEventChars(TCustomComm* Owner) : owner_(Owner) {}
    char XonChar() const { return xon_; }
    char XoffChar() const { return xoff_; }
    char ErrorChar() const { return error_; }
    char EofChar() const { return eof_; }
    char EvtChar() const { return evt_; }
    void SetXonChar(char c);
    void SetXoffChar(char c);
    void SetErrorChar(char c);
    void SetEofChar(char c);
    void SetEvtChar(char c);
    void Assign(const TPersistent* Source) override;

private:
    void set(char& field, char c);
    TCustomComm* owner_;
    char xon_ = 17, xoff_ = 19, error_ = 0, eof_ = 0, evt_ = 0;
};

// Waits for port events on its own thread and hands each one to the UI thread (Synchronize),
// waiting until it has been handled. It outlives its component safely: Close only asks it
// to end.
class TCommEventThread {
public:
    using TSignalEvent = std::function<void(TObject* Sender, std::uint32_t EventMask)>;
    TCommEventThread(std::shared_ptr<TSerialPort> Port, std::uint32_t EventMask,
                     TSignalEvent OnSignal);
    ~TCommEventThread(); // asks the thread to end; does not wait for it
    void Terminate();

private:
    struct State;
    std::shared_ptr<State> state_;
};

class TCustomComm : public TComponent {
public:
    using TCommErrorEvent = std::function<void(TObject* Sender, std::uint32_t Errors)>;
    using TCommRxCharEvent = std::function<void(TObject* Sender, std::uint32_t Count)>;

    explicit TCustomComm(TComponent* AOwner);
    ~TCustomComm() override;

    void Open();
    void Close();
    bool Enabled() const;
    // Transfers Count bytes; the number transferred, or -1 when the time-out passed first.
    // A read returns at once with what the input holds.
    int Write(const void* Buffer, int Count);
    int Read(void* Buffer, int Count);
    int InQueCount();
    int OutQueCount();
    void PurgeIn();
    void PurgeOut();
    void SetDTRState(bool State);
    void SetRTSState(bool State);
    void SetXONState(bool State);
    void SetBREAKState(bool State);
    int Handle() const;
    bool CTS();
    bool DSR();
    bool RING();
    bool RLSD();
    bool CtsHold();
    bool DsrHold();
    bool RlsdHold();
    bool XoffHold();
    bool XOffSent();

    const std::string& DeviceName() const { return FDeviceName; }
    void SetDeviceName(const std::string& Value);
    int ReadTimeout() const { return FReadTimeout; }
    void SetReadTimeout(int Value);
    int WriteTimeout() const { return FWriteTimeout; }
    void SetWriteTimeout(int Value);
    int ReadBufSize() const { return FReadBufSize; }
    void SetReadBufSize(int Value);
    int WriteBufSize() const { return FWriteBufSize; }
    void SetWriteBufSize(int Value);
    TCommEventTypes MonitorEvents() const { return FMonitorEvents; }
    void SetMonitorEvents(TCommEventTypes Value);
    TBaudrate BaudRate() const { return FBaudRate; }
    void SetBaudRate(TBaudrate Value);
    TParity Parity() const { return FParity; }
    void SetParity(TParity Value);
    TStopbits Stopbits() const { return FStopbits; }
    void SetStopbits(TStopbits Value);
    TDatabits Databits() const { return FDatabits; }
    void SetDatabits(TDatabits Value);
    TCommOptions Options() const { return FOptions; }
    void SetOptions(TCommOptions Value);
    TFlowControl FlowControl() const { return FFlowControl; }
    void SetFlowControl(TFlowControl Value);
    TCommEventChars* EventChars() { return FEventChars.get(); }

    TNotifyEvent OnBreak, OnCts, OnDsr, OnRing, OnRlsd, OnRxFlag, OnTxEmpty;
    TCommErrorEvent OnError;
    TCommRxCharEvent OnRxChar;

    // Applies the line settings to the open port (nothing while closed).
    void ApplySettings();

protected:
    virtual void OpenPortHandle();
    virtual void ClosePortHandle();
    void ApplyTimeouts();
    void FireCommEvents(std::uint32_t EventMask);

private:
    void checkClosed();
    void checkOpen();
    std::uint32_t modemStatus();
    std::shared_ptr<TSerialPort> FPort;
    std::string FDeviceName = "Com2";
    TCriticalSection FCriticalSection;
    int FReadTimeout = 1000, FWriteTimeout = 1000;
    int FReadBufSize = 4096, FWriteBufSize = 2048;
    TCommEventTypes FMonitorEvents = All_Comm_Events;
    TBaudrate FBaudRate = br9600;
    TParity FParity = paNone;
    TStopbits FStopbits = sb10;
    TDatabits FDatabits = da8;
    std::unique_ptr<TCommEventThread> FEventThread;
    std::unique_ptr<TCommEventChars> FEventChars;
    TCommOptions FOptions = 0;
    TFlowControl FFlowControl = fcDefault;
};

class TComm : public TCustomComm {
public:
    using TCustomComm::TCustomComm;
};
