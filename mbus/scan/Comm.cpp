#include "mbus/scan/Comm.h"

#include "platform/serial/SerialPort.h"

#include <atomic>
#include <cerrno>
#include <mutex>
#include <thread>

namespace {

constexpr std::uint32_t Event_Bits[] = {EV_BREAK, EV_CTS,    EV_DSR,    EV_ERR,    EV_RING,
                                        EV_RLSD,  EV_RXCHAR, EV_RXFLAG, EV_TXEMPTY};

std::uint32_t eventMask(TCommEventTypes types) {
    std::uint32_t mask = 0;
    for (unsigned i = 0; i <= evTxEmpty; ++i)
        if (types & CommSet(i)) mask |= Event_Bits[i];
    return mask;
}

} // namespace

std::uint32_t Baudrate_Value(TBaudrate Rate) {
    static const std::uint32_t rates[] = {110,    300,    600,    1200,    2400,   4800,
                                          9600,   14400,  19200,  38400,   56000,  57600,
                                          115200, 128000, 256000, 1500000, 3000000};
    return rates[Rate];
}

ECommError::ECommError(const std::string& Text, int Code)
    : Exception(Text + Format(" (Error: %d) ", Code)), ErrorCode(Code) {}

// --- event characters ---------------------------------------------------------------------
void TCommEventChars::set(char& field, char c) {
    field = c;
    if (owner_) owner_->ApplySettings();
}
void TCommEventChars::SetXonChar(char c) {
    set(xon_, c);
}
void TCommEventChars::SetXoffChar(char c) {
    set(xoff_, c);
}
void TCommEventChars::SetErrorChar(char c) {
    set(error_, c);
}
void TCommEventChars::SetEofChar(char c) {
    set(eof_, c);
}
void TCommEventChars::SetEvtChar(char c) {
    set(evt_, c);
}

void TCommEventChars::Assign(const TPersistent* Source) {
    if (const auto* s = dynamic_cast<const TCommEventChars*>(Source)) {
        xon_ = s->xon_;
        xoff_ = s->xoff_;
        error_ = s->error_;
        eof_ = s->eof_;
        evt_ = s->evt_;
        if (owner_) owner_->ApplySettings();
        return;
    }
    TPersistent::Assign(Source);
}

// --- event thread -------------------------------------------------------------------------
struct TCommEventThread::State {
    std::shared_ptr<TSerialPort> port;
    std::recursive_mutex mutex; // guards onSignal against Terminate, also from a handler
    TSignalEvent onSignal;
    std::atomic<bool> terminated{false};
};

TCommEventThread::TCommEventThread(std::shared_ptr<TSerialPort> Port, std::uint32_t EventMask,
                                   TSignalEvent OnSignal)
    : state_(std::make_shared<State>()) {
    state_->port = std::move(Port);
    state_->onSignal = std::move(OnSignal);
    state_->port->SetCommMask(EventMask);
    std::shared_ptr<State> state = state_;
    std::thread([state] {
        while (!state->terminated) {
            std::uint32_t events = 0;
            if (!state->port->WaitCommEvent(events)) {
                if (TSerialPort::LastError() == EBADF) break;
                continue;
            }
            if (events == 0) continue; // the mask changed
            TThread::Synchronize(nullptr, [state, events] {
                std::lock_guard lock(state->mutex);
                TSignalEvent signal = state->onSignal; // a handler may close the port
                if (!state->terminated && signal) signal(nullptr, events);
            });
        }
        state->port->PurgeComm(PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
    }).detach();
}

TCommEventThread::~TCommEventThread() {
    Terminate();
}

void TCommEventThread::Terminate() {
    std::lock_guard lock(state_->mutex);
    state_->terminated = true;
    state_->onSignal = nullptr;
}

// --- the component ------------------------------------------------------------------------
TCustomComm::TCustomComm(TComponent* AOwner)
    : TComponent(AOwner), FPort(std::make_shared<TSerialPort>()),
      FEventChars(std::make_unique<TCommEventChars>(this)) {}

TCustomComm::~TCustomComm() {
    Close();
}

bool TCustomComm::Enabled() const {
    return FPort->IsOpen();
}

int TCustomComm::Handle() const {
    return FPort->IsOpen() ? FPort->Handle() : -1;
}

void TCustomComm::checkClosed() {
    if (Enabled()) throw ECommError("Port already assigned (open)", -1);
}

void TCustomComm::checkOpen() {
    if (!Enabled()) throw ECommError("Port not open, unable to complete operation", -1);
}

void TCustomComm::OpenPortHandle() {
    if (!FPort->Open(FDeviceName)) {
        // The port refuses to open what is no character device.
        if (TSerialPort::LastError() == ENOTTY)
            throw ECommError("Invalid device handle, access denied", -1);
        throw ECommError("Error accessing specified device", TSerialPort::LastError());
    }
    if (!FPort->IsCharacterDevice()) {
        FPort->Close();
        throw ECommError("Invalid device handle, access denied", -1);
    }
}

void TCustomComm::ClosePortHandle() {
    FPort->Close();
}

void TCustomComm::Open() {
    checkClosed();
    OpenPortHandle();
    try {
        FEventThread = std::make_unique<TCommEventThread>(
            FPort, eventMask(FMonitorEvents),
            [this](TObject*, std::uint32_t mask) { FireCommEvents(mask); });
        ApplyTimeouts();
        ApplySettings();
        if (!FPort->SetupComm(std::uint32_t(FReadBufSize), std::uint32_t(FWriteBufSize)))
            throw ECommError("Error initializing Read/Write Buffers", TSerialPort::LastError());
    } catch (...) {
        Close();
        throw;
    }
}

void TCustomComm::Close() {
    if (!Enabled()) return;
    if (FEventThread) FEventThread->Terminate();
    FEventThread.reset();
    ClosePortHandle();
}

void TCustomComm::ApplyTimeouts() {
    TCommTimeouts t;
    t.ReadIntervalTimeout = MAXDWORD; // a read returns at once with what is there
    t.WriteTotalTimeoutConstant = std::uint32_t(FWriteTimeout);
    if (!FPort->SetCommTimeouts(t))
        throw ECommError("Error updating CommTimeouts", TSerialPort::LastError());
}

void TCustomComm::ApplySettings() {
    if (!Enabled()) return;
    TDCB dcb;
    if (!FPort->GetCommState(dcb))
        throw ECommError("Error updating DataControlBlock", TSerialPort::LastError());
    dcb.BaudRate = Baudrate_Value(FBaudRate);
    dcb.Parity = std::uint8_t(FParity);
    dcb.StopBits = std::uint8_t(FStopbits);
    dcb.ByteSize = std::uint8_t(4 + FDatabits);
    dcb.XonChar = FEventChars->XonChar();
    dcb.XoffChar = FEventChars->XoffChar();
    dcb.ErrorChar = FEventChars->ErrorChar();
    dcb.EofChar = FEventChars->EofChar();
    dcb.EvtChar = FEventChars->EvtChar();
    dcb.XonLim = std::uint16_t(FReadBufSize / 4);
    dcb.XoffLim = std::uint16_t(FReadBufSize / 4);
    auto binaryOnly = [&] {
        dcb.fBinary = true;
        dcb.fParity = dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = false;
        dcb.fDtrControl = DTR_CONTROL_DISABLE;
        dcb.fDsrSensitivity = dcb.fTXContinueOnXoff = dcb.fOutX = dcb.fInX = false;
        dcb.fErrorChar = dcb.fNull = false;
        dcb.fRtsControl = RTS_CONTROL_DISABLE;
        dcb.fAbortOnError = false;
    };
    switch (FFlowControl) {
    case fcNone:
        binaryOnly();
        break;
    case fcCTS:
        binaryOnly();
        dcb.fOutxCtsFlow = true;
        dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
        break;
    case fcDTR:
        binaryOnly();
        dcb.fOutxDsrFlow = true;
        dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
        break;
    case fcSoftware:
        binaryOnly();
        dcb.fOutX = dcb.fInX = true;
        break;
    case fcDefault:
        break;
    }
    dcb.fParity = FOptions & CommSet(coParityCheck);
    dcb.fDsrSensitivity = FOptions & CommSet(coDsrSensitivity);
    dcb.fTXContinueOnXoff = FOptions & CommSet(coIgnoreXOff);
    dcb.fErrorChar = FOptions & CommSet(coErrorChar);
    dcb.fNull = FOptions & CommSet(coNullStrip);
    if (!FPort->SetCommState(dcb))
        throw ECommError("Error updating DataControlBlock", TSerialPort::LastError());
}

int TCustomComm::Write(const void* Buffer, int Count) {
    FCriticalSection.Enter();
    struct Leave {
        TCriticalSection& cs;
        ~Leave() { cs.Leave(); }
    } leave{FCriticalSection};
    std::uint32_t done = 0;
    if (!FPort->WriteFile(Buffer, std::uint32_t(std::max(Count, 0)), done))
        throw ECommError("Write error", TSerialPort::LastError());
    return int(done) < Count ? -1 : int(done);
}

int TCustomComm::Read(void* Buffer, int Count) {
    FCriticalSection.Enter();
    struct Leave {
        TCriticalSection& cs;
        ~Leave() { cs.Leave(); }
    } leave{FCriticalSection};
    std::uint32_t done = 0;
    if (!FPort->ReadFile(Buffer, std::uint32_t(std::max(Count, 0)), done))
        throw ECommError("Read error", TSerialPort::LastError());
    return int(done);
}

int TCustomComm::InQueCount() {
    if (!Enabled()) return -1;
    std::uint32_t errors = 0;
    TComStat stat;
    if (!FPort->ClearCommError(errors, &stat)) return -1;
    return int(stat.cbInQue);
}

int TCustomComm::OutQueCount() {
    if (!Enabled()) return -1;
    std::uint32_t errors = 0;
    TComStat stat;
    if (!FPort->ClearCommError(errors, &stat)) return -1;
    return int(stat.cbOutQue);
}

void TCustomComm::PurgeIn() {
    if (Enabled()) FPort->PurgeComm(PURGE_RXABORT | PURGE_RXCLEAR);
}

void TCustomComm::PurgeOut() {
    if (Enabled()) FPort->PurgeComm(PURGE_TXABORT | PURGE_TXCLEAR);
}

namespace {
void escape(TSerialPort& port, bool open, std::uint32_t function) {
    if (!open) throw ECommError("Port not open, unable to complete operation", -1);
    if (!port.EscapeCommFunction(function))
        throw ECommError("EscapeCommFunction failure", TSerialPort::LastError());
}
} // namespace

void TCustomComm::SetDTRState(bool State) {
    escape(*FPort, Enabled(), State ? SETDTR : CLRDTR);
}
void TCustomComm::SetRTSState(bool State) {
    escape(*FPort, Enabled(), State ? SETRTS : CLRRTS);
}
void TCustomComm::SetXONState(bool State) {
    escape(*FPort, Enabled(), State ? SETXON : SETXOFF);
}
void TCustomComm::SetBREAKState(bool State) {
    escape(*FPort, Enabled(), State ? SETBREAK : CLRBREAK);
    PurgeIn();
    PurgeOut();
}

std::uint32_t TCustomComm::modemStatus() {
    std::uint32_t status = 0;
    if (Enabled()) FPort->GetCommModemStatus(status);
    return status;
}
bool TCustomComm::CTS() {
    return modemStatus() & MS_CTS_ON;
}
bool TCustomComm::DSR() {
    return modemStatus() & MS_DSR_ON;
}
bool TCustomComm::RING() {
    return modemStatus() & MS_RING_ON;
}
bool TCustomComm::RLSD() {
    return modemStatus() & MS_RLSD_ON;
}

namespace {
TComStat comStat(TSerialPort& port, bool open) {
    TComStat stat;
    std::uint32_t errors = 0;
    if (open) port.ClearCommError(errors, &stat);
    return stat;
}
} // namespace

bool TCustomComm::CtsHold() {
    return comStat(*FPort, Enabled()).fCtsHold;
}
bool TCustomComm::DsrHold() {
    return comStat(*FPort, Enabled()).fDsrHold;
}
bool TCustomComm::RlsdHold() {
    return comStat(*FPort, Enabled()).fRlsdHold;
}
bool TCustomComm::XoffHold() {
    return comStat(*FPort, Enabled()).fXoffHold;
}
bool TCustomComm::XOffSent() {
    return comStat(*FPort, Enabled()).fXoffSent;
}

void TCustomComm::SetDeviceName(const std::string& Value) {
    checkClosed();
    FDeviceName = Value;
}
void TCustomComm::SetReadTimeout(int Value) {
    FReadTimeout = Value;
}
void TCustomComm::SetWriteTimeout(int Value) {
    FWriteTimeout = Value;
    if (Enabled()) ApplyTimeouts();
}
void TCustomComm::SetReadBufSize(int Value) {
    checkClosed();
    FReadBufSize = Value;
}
void TCustomComm::SetWriteBufSize(int Value) {
    checkClosed();
    FWriteBufSize = Value;
}
void TCustomComm::SetMonitorEvents(TCommEventTypes Value) {
    checkClosed();
    FMonitorEvents = Value;
}

namespace {
template <class T> void setAndApply(T& field, T value, TCustomComm& comm) {
    if (field == value) return;
    field = value;
    comm.ApplySettings();
}
} // namespace

void TCustomComm::SetBaudRate(TBaudrate Value) {
    setAndApply(FBaudRate, Value, *this);
}
void TCustomComm::SetParity(TParity Value) {
    setAndApply(FParity, Value, *this);
}
void TCustomComm::SetStopbits(TStopbits Value) {
    setAndApply(FStopbits, Value, *this);
}
void TCustomComm::SetDatabits(TDatabits Value) {
    setAndApply(FDatabits, Value, *this);
}
void TCustomComm::SetOptions(TCommOptions Value) {
    setAndApply(FOptions, Value, *this);
}
void TCustomComm::SetFlowControl(TFlowControl Value) {
    setAndApply(FFlowControl, Value, *this);
}

void TCustomComm::FireCommEvents(std::uint32_t EventMask) {
    std::uint32_t errors = 0;
    TComStat stat;
    if (Enabled()) FPort->ClearCommError(errors, &stat);
    auto fire = [&](std::uint32_t bit, const TNotifyEvent& event) {
        if ((EventMask & bit) && event) event(this);
    };
    fire(EV_BREAK, OnBreak);
    fire(EV_CTS, OnCts);
    fire(EV_DSR, OnDsr);
    if ((EventMask & EV_ERR) && OnError) OnError(this, errors);
    fire(EV_RING, OnRing);
    fire(EV_RLSD, OnRlsd);
    if ((EventMask & EV_RXCHAR) && OnRxChar && stat.cbInQue != 0) OnRxChar(this, stat.cbInQue);
    fire(EV_RXFLAG, OnRxFlag);
    fire(EV_TXEMPTY, OnTxEmpty);
}
