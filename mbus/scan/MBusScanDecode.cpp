#include "mbus/scan/MBusScanDecode.h"

#include "platform/base/Clock.h"
#include "platform/net/Udp.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint8_t Ack = 0xE5;
const std::string Analyzer_Enabled = "\n\rAnalyzer_Mode Enabled!\n\r";
const std::string Analyzer_Disabled = "\n\rAnalyzer_Mode Disabled!\n\r";
const std::string No_Slave = "NO_SLAVE\n\r";

bool anyAnswer(const std::vector<std::uint8_t>&) {
    return true;
}

bool isAck(const std::vector<std::uint8_t>& a) {
    return a.size() == 1 && a[0] == Ack;
}

// A long frame 68 L L 68 ... CS 16 with a correct checksum, longer than 21 bytes.
bool isValidRspUd(const std::vector<std::uint8_t>& a) {
    const std::size_t n = a.size();
    if (n <= 21 || a[0] != 0x68 || a[3] != 0x68 || a[1] != a[2] || a[n - 1] != 0x16) return false;
    std::uint8_t sum = 0;
    for (std::size_t i = 4; i + 2 < n; ++i) sum = std::uint8_t(sum + a[i]);
    return sum == a[n - 2];
}

// A serial answer is complete as an acknowledgement, a whole short frame or a whole long
// frame by its L field.
bool serialAnswerComplete(const std::vector<std::uint8_t>& a) {
    if (a.empty()) return false;
    if (a[0] == Ack) return true;
    if (a[0] == 0x10) return a.size() >= 5;
    if (a[0] == 0x68) return a.size() >= 4 && a.size() >= std::size_t(a[1]) + 6;
    return false;
}

} // namespace

TMBusScanDecode::TMBusScanDecode() : TThread(false) {
    Event_Run.ResetEvent();
    Comm = std::make_unique<TComm>(nullptr);
    Comm->SetBaudRate(br115200);
    Comm->SetDatabits(da8);
    Comm->SetFlowControl(fcNone);
    Comm->SetParity(paNone);
    Comm->SetStopbits(sb10);
    Comm->SetReadBufSize(4096);
    Comm->SetWriteBufSize(4096);
    // The serial answer is assembled from the received characters.
    Comm->OnRxChar = [this](TObject*, std::uint32_t) { Serial_RxChar(); };
    Start();
}

TMBusScanDecode::~TMBusScanDecode() {
    FExit = true;
    Event_Run.SetEvent();
    WaitFor();
    if (UDP_Server) UDP_Server->StopListening();
    UDP_Server.reset();
    Comm->Close();
    RemoveQueuedEvents(this);
}

void TMBusScanDecode::Execute() {
    // The wait comes first, so that a thread whose event was never set runs no pass at all.
    for (;;) {
        Event_Run.WaitFor();
        if (FExit) break;
        if (FInScan) {
            Scan_Step();
            Sleep(40);
        } else {
            Sleep(10);
        }
    }
}

void TMBusScanDecode::Scan_Step() {
    try {
        if (Select_Hardware == shSerial) {
            // Bytes that stopped coming in form an answer of their own.
            std::lock_guard lock(FAnswerLock);
            if (!Serial_Input.empty() && Serial_Input.size() == Serial_Seen) {
                const std::vector<std::uint8_t> bytes = std::move(Serial_Input);
                Serial_Input.clear();
                Serial_Seen = 0;
                Ans_Len = int(std::min<std::size_t>(bytes.size(), Ans_Array.size()));
                std::copy_n(bytes.begin(), Ans_Len, Ans_Array.begin());
                Answer_Arrived = true;
                ++receivedCount_;
            } else {
                Serial_Seen = Serial_Input.size();
            }
        }
        if (MBusType == mtWireless)
            Scan_Decode_Wireless();
        else
            Scan_Decode();
    } catch (const Exception&) {
        // A transport that fails ends the scan through its closing phase, once.
        const int closing = MBusType == mtWireless ? 500 : 200;
        FResult = 2;
        Step_Scan = Step_Scan >= closing ? closing + 3 : closing;
    }
}

// --- start, stop, close ---------------------------------------------------------------------
bool TMBusScanDecode::Start_Scan(TScanType ScanType, TSelectHard Select_Hardware,
                                 const std::string& Address, int Baudrate, int Parity,
                                 bool App_Reset, bool SND_NKE, int Cut_After, bool Fix_C_Field,
                                 std::uint8_t Fix_C_Field_Value,
                                 TUpdate_Slave_List Update_Slave_List) {
    if (FInScan) return false;
    {
        std::lock_guard lock(FCallbackLock);
        this->Update_Slave_List = std::move(Update_Slave_List);
    }
    MBusType = mtWired;
    this->ScanType = ScanType;
    this->Select_Hardware = Select_Hardware;
    ComPort.clear();
    IP_Address.clear();
    (Select_Hardware == shSerial ? ComPort : IP_Address) = Address;
    Last_Port = 0;
    this->Baudrate = Baudrate > 0 ? Baudrate : 2400;
    this->Parity = Parity;
    this->App_Reset = App_Reset;
    this->SND_NKE = SND_NKE;
    this->Cut_After = Cut_After;
    this->Fix_C_Field = Fix_C_Field;
    this->Fix_C_Field_Value = Fix_C_Field_Value;
    Wireless_Receive_Message = false;
    Open_Transport(0, true);
    Step_Scan = 0;
    FStopScan = false;
    FAbortScan = false;
    Scan_Idle.ResetEvent();
    FInScan = true;
    return true;
}

bool TMBusScanDecode::Start_Scan_Wireless(TSelectHard Select_Hardware, const std::string& Address,
                                          std::uint16_t Port, int Mode, int Channel,
                                          TUpdateListWirelessSlave UpdateListWirelessSlave) {
    if (FInScan) return false;
    {
        std::lock_guard lock(FCallbackLock);
        this->UpdateListWirelessSlave = std::move(UpdateListWirelessSlave);
    }
    MBusType = mtWireless;
    this->Select_Hardware = Select_Hardware;
    IP_Address = Address;
    if (Select_Hardware == shSerial) ComPort = Address;
    Last_Port = 0;
    wMBusMode = Mode;
    wMBusRadioChannel = Channel;
    Port_Wireless = Port;
    Wireless_Receive_Message = false;
    sendersRefused_ = 0;
    {
        std::lock_guard lock(FKeyLock);
        Key_Pending = false;
    }
    Open_Transport(Port, false);
    Step_Scan = 0;
    FStopScan = false;
    FAbortScan = false;
    Scan_Idle.ResetEvent();
    FInScan = true;
    return true;
}

bool TMBusScanDecode::Close_Scan(unsigned Max_Ms) {
    if (!FInScan) return true;
    FAbortScan = true;
    const bool finished = Scan_Idle.WaitFor(Max_Ms) == wrSignaled;
    FInScan = false;
    return finished;
}

void TMBusScanDecode::Scan_Finished() {
    Close_Transport();
    if (!SaveXMLFile().empty()) {
        // A dump that cannot be written leaves the scan's result as it is.
        try {
            if (MBusType == mtWired)
                Save_XML_File_DLL();
            else
                Save_Wireless_XML_File_DLL();
        } catch (const std::exception&) {
        }
    }
    FInScan = false;
    Scan_Idle.SetEvent();
}

// --- transport ------------------------------------------------------------------------------
void TMBusScanDecode::Open_Transport(std::uint16_t Local_Port, bool Keep_Binding) {
    if (Select_Hardware == shSerial) {
        Comm->Close();
        {
            std::lock_guard lock(FAnswerLock);
            Serial_Input.clear();
        }
        Comm->SetDeviceName(ComPort);
        Comm->Open();
        return;
    }
    {
        std::lock_guard lock(FAnswerLock);
        Gateway_Address = IP_Address;
        Gateway_Port = MBusType == mtWired ? Analyzer_Port : 0;
    }
    // Only the interface that reaches the gateway listens, where the system knows one.
    std::string local = Local_Address;
    if (local.empty()) local = TUdpSocket::LocalAddressFor(IP_Address);
    if (local.empty()) local = "0.0.0.0";
    const bool newPort = !Keep_Binding && (!UDP_Bound_Fixed || UDP_Local_Port != Local_Port);
    if (!UDP_Server || newPort || UDP_Local_Address != local) {
        // A wired scan keeps the port that a wireless scan bound.
        const bool fixed = Keep_Binding ? UDP_Bound_Fixed : true;
        const std::uint16_t port = Keep_Binding ? (fixed ? UDP_Local_Port : 0) : Local_Port;
        if (UDP_Server) UDP_Server->StopListening();
        UDP_Server.reset();
        UDP_Server = std::make_unique<TUdpSocket>();
        UDP_Server->Bind(port, local);
        UDP_Local_Port = UDP_Server->LocalPort();
        UDP_Local_Address = local;
        UDP_Bound_Fixed = fixed;
    }
    if (!UDP_Server->Listening())
        UDP_Server->StartListening(
            [this](const std::string& data, const std::string& from, std::uint16_t port) {
                if (From_Gateway(from, port))
                    UDP_Read(data);
                else
                    ++refusedCount_;
            });
}

void TMBusScanDecode::Close_Transport() {
    if (Select_Hardware == shSerial)
        Comm->Close();
    else if (UDP_Server)
        UDP_Server->StopListening();
}

void TMBusScanDecode::sendBytes(const std::uint8_t* Data, std::size_t Count, std::uint16_t Port) {
    {
        std::lock_guard lock(FAnswerLock);
        Answer_Arrived = false;
        Serial_Input.clear();
    }
    ++sentCount_;
    Last_Port = Port;
    if (Select_Hardware == shEthernet) {
        UDP_Server->SendTo(IP_Address, Port,
                           std::string_view(reinterpret_cast<const char*>(Data), Count));
    } else {
        Comm->PurgeIn();
        Comm->Write(Data, int(Count));
    }
    Start_Send = GetTickCount();
}

std::string TMBusScanDecode::Tried_Address() const {
    if (Select_Hardware == shSerial) return ComPort;
    const std::uint16_t port = Last_Port;
    return port ? IP_Address + " port " + std::to_string(port) : IP_Address;
}

void TMBusScanDecode::Send_Command(const std::string& Text, std::uint16_t Port) {
    sendBytes(reinterpret_cast<const std::uint8_t*>(Text.data()), Text.size(), Port);
}

void TMBusScanDecode::Send_Command(std::uint16_t Port) {
    sendBytes(Req_Array.data(), Req_Array.size(), Port);
}

bool TMBusScanDecode::isText(const std::vector<std::uint8_t>& a, const std::string& text) {
    return a.size() == text.size() &&
           std::equal(a.begin(), a.end(), text.begin(),
                      [](std::uint8_t b, char c) { return b == std::uint8_t(c); });
}

void TMBusScanDecode::sendStep(const std::string& Text, std::uint16_t Port, int Next) {
    Send_Command(Text, Port);
    Step_Scan = Next;
}

void TMBusScanDecode::sendStep(std::uint16_t Port, int Next) {
    Send_Command(Port);
    Step_Scan = Next;
}

TMBusScanDecode::TAwaited TMBusScanDecode::awaitAnswer(
    std::vector<std::uint8_t>& Answer,
    const std::function<bool(const std::vector<std::uint8_t>&)>& Accepted) {
    if (Take_Answer(Answer)) return Accepted(Answer) ? TAwaited::Accepted : TAwaited::Other;
    return TimeOut_Expired() ? TAwaited::TimedOut : TAwaited::Nothing;
}

void TMBusScanDecode::closingStep(int Step, int First, std::uint16_t Port,
                                  const std::string& Command, const std::string& Left) {
    if (Step == First + 1) {
        if (Select_Hardware == shSerial || Count_Disable_Analyzer > 2) {
            Step_Scan = First + 3;
            return;
        }
        ++Count_Disable_Analyzer;
        TimeOut_Calc = 1000;
        sendStep(Command, Port, First + 2);
    } else if (Step == First + 2) {
        std::vector<std::uint8_t> answer;
        const TAwaited got = awaitAnswer(answer, [&](const auto& a) { return isText(a, Left); });
        if (got != TAwaited::Nothing) Step_Scan = got == TAwaited::Accepted ? First + 3 : First + 1;
    }
}

bool TMBusScanDecode::TimeOut_Expired() const {
    const std::uint32_t now = GetTickCount();
    return std::uint64_t(now) > std::uint64_t(Start_Send) + std::uint64_t(TimeOut_Calc) ||
           now < Start_Send;
}

void TMBusScanDecode::storeAnswer(const std::uint8_t* Data, std::size_t Count) {
    std::lock_guard lock(FAnswerLock);
    // A datagram longer than the buffer is cut to it.
    Ans_Len = int(std::min(Count, Ans_Array.size()));
    std::copy_n(Data, Ans_Len, Ans_Array.begin());
    Answer_Arrived = true;
    ++receivedCount_;
}

bool TMBusScanDecode::Take_Answer(std::vector<std::uint8_t>& Answer) {
    std::lock_guard lock(FAnswerLock);
    if (!Answer_Arrived) return false;
    Answer.assign(Ans_Array.begin(), Ans_Array.begin() + Ans_Len);
    Answer_Arrived = false;
    return true;
}

bool TMBusScanDecode::From_Gateway(const std::string& Address, std::uint16_t Port) const {
    std::lock_guard lock(FAnswerLock);
    return Address == Gateway_Address && (Gateway_Port == 0 || Port == Gateway_Port);
}

void TMBusScanDecode::UDP_Read(const std::string& Data) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(Data.data());
    if (MBusType == mtWired || !Wireless_Receive_Message) {
        storeAnswer(bytes, Data.size());
        return;
    }
    // Receive mode: a datagram is a telegram; only a whole one is decoded.
    if (Data.size() <= std::size_t(Ans_Array_Size) &&
        Is_Whole_Telegram(bytes, int(Data.size()), RadioModule))
        Decode_Wireless(bytes, int(Data.size()));
    ++receivedCount_;
}

void TMBusScanDecode::Serial_RxChar() {
    std::uint8_t buf[512];
    for (;;) {
        int n = 0;
        try {
            n = Comm->Read(buf, int(sizeof buf));
        } catch (const ECommError&) {
            return; // the port was closed meanwhile; nothing is waiting for the bytes
        }
        if (n <= 0) return;
        std::lock_guard lock(FAnswerLock);
        Serial_Input.insert(Serial_Input.end(), buf, buf + n);
        if (serialAnswerComplete(Serial_Input)) {
            Ans_Len = int(std::min<std::size_t>(Serial_Input.size(), Ans_Array.size()));
            std::copy_n(Serial_Input.begin(), Ans_Len, Ans_Array.begin());
            Serial_Input.clear();
            Answer_Arrived = true;
            ++receivedCount_;
        }
    }
}

void TMBusScanDecode::Notify(int Kind, int Value, int Found, int ScanKind) {
    TUpdate_Slave_List callback;
    {
        std::lock_guard lock(FCallbackLock);
        callback = Update_Slave_List;
    }
    if (!callback) return;
    Queue([callback, Kind, Value, Found, ScanKind] {
        try {
            callback(Kind, Value, Found, ScanKind);
        } catch (const std::exception&) {
            // The window's list update may fail on a closing window; the scan goes on.
        }
    });
}

void TMBusScanDecode::Notify_Wireless_Slave(int Index) {
    TUpdateListWirelessSlave callback;
    {
        std::lock_guard lock(FCallbackLock);
        callback = UpdateListWirelessSlave;
    }
    if (!callback) return;
    // The sender is looked up again on the UI thread: the list may have been cleared since.
    Queue([callback, Index] {
        auto lock = List_Slave_wMBus.Lock();
        if (Index < List_Slave_wMBus.Count()) callback(Index, List_Slave_wMBus.Items(Index));
    });
}

void TMBusScanDecode::Decode_Wireless(const std::uint8_t* Data, int Count) {
    TWireless_Decoder decoder;
    decoder.Module = RadioModule;
    decoder.Load(Data, Count);
    int index = -1;
    try {
        index = decoder.Decode_Wireless_Frame(List_Slave_wMBus);
    } catch (const Exception&) {
        return; // a telegram the decryption refuses is dropped with its records unread
    }
    if (index == Sender_List_Full) ++sendersRefused_;
    if (index >= 0) Notify_Wireless_Slave(index);
}

// --- frames ---------------------------------------------------------------------------------
std::uint8_t TMBusScanDecode::Wired_C_Field(bool Request) const {
    if (Request) {
        if (Fix_C_Field) return Fix_C_Field_Value != 0 ? 0x7B : 0x5B;
        return Num_Frame_Read % 2 == 0 ? 0x7B : 0x5B;
    }
    return Fix_C_Field && Fix_C_Field_Value == 0 ? 0x53 : 0x73;
}

void TMBusScanDecode::Build_SND_NKE(std::uint8_t Address) {
    Req_Array = {0x10, 0x40, Address, std::uint8_t(0x40 + Address), 0x16};
}

void TMBusScanDecode::Build_REQ_UD2(std::uint8_t Address) {
    const std::uint8_t c = Wired_C_Field(true);
    Req_Array = {0x10, c, Address, std::uint8_t(c + Address), 0x16};
}

void TMBusScanDecode::Build_App_Reset(std::uint8_t Address) {
    const std::uint8_t c = Wired_C_Field(false);
    Req_Array = {0x68, 0x03, 0x03, 0x68, c, Address, 0x50, std::uint8_t(c + Address + 0x50), 0x16};
}

void TMBusScanDecode::Build_Selection() {
    auto nibble = [](int digit) { return std::uint8_t(digit < 0 ? 0x0F : digit); };
    auto pair = [&](int high, int low) { return std::uint8_t(nibble(high) << 4 | nibble(low)); };
    Req_Array = {0x68,
                 0x0B,
                 0x0B,
                 0x68,
                 Wired_C_Field(false),
                 0xFD,
                 0x52,
                 pair(Index_G, Index_H),
                 pair(Index_E, Index_F),
                 pair(Index_C, Index_D),
                 pair(Index_A, Index_B),
                 0xFF,
                 0xFF,
                 0xFF,
                 0xFF};
    std::uint8_t sum = 0;
    for (std::size_t i = 4; i < Req_Array.size(); ++i) sum = std::uint8_t(sum + Req_Array[i]);
    Req_Array.push_back(sum);
    Req_Array.push_back(0x16);
}

// --- the wired machine ----------------------------------------------------------------------
void TMBusScanDecode::Scan_Decode() {
    if (FAbortScan) Step_Scan = 200;
    const int T1 = 330000 / Baudrate + 450;
    const int T2 = 3245000 / Baudrate + 450;
    std::vector<std::uint8_t> answer;
    int* digits[8] = {&Index_A, &Index_B, &Index_C, &Index_D,
                      &Index_E, &Index_F, &Index_G, &Index_H};

    // Reads an RSP_UD into the slave of the current device; true when the device is done.
    auto readTelegram = [&](bool& done) {
        bool noMore = true;
        Index_Device = Decoder.Add_Wired_Slave(List_Slave_MBus, answer.data(), int(answer.size()),
                                               Num_Frame_Read == 0 ? -1 : Index_Device, noMore);
        ++Num_Frame_Read;
        done = noMore || Num_Frame_Read >= Cut_After;
    };
    auto secondaryOfLast = [&] {
        auto lock = List_Slave_MBus.Lock();
        const TSlave_MBus* s = List_Slave_MBus.Items(Index_Device);
        return int(std::uint32_t(std::stoul(s->Secondary_Addresss, nullptr, 16)));
    };

    const int step = Step_Scan;
    switch (step) {
    case 0:
        Enable_Send_In_Last_Step = false;
        FResult = 1;
        if (Select_Hardware == shSerial) {
            ID_Dev_Primary = -1;
            Step_Scan = ScanType == saSecondaryAddress ? 100 : 2;
        } else {
            TimeOut_Calc = 1000;
            sendStep("Morvik_Enable_Analyzer_Mode", Analyzer_Port, 1);
        }
        break;
    case 1:
        switch (awaitAnswer(answer, [](const auto& a) { return isText(a, Analyzer_Enabled); })) {
        case TAwaited::Accepted:
            ID_Dev_Primary = -1;
            Step_Scan = ScanType == saSecondaryAddress ? 100 : 2;
            break;
        case TAwaited::Other:
        case TAwaited::TimedOut:
            FResult = 2;
            Step_Scan = 200;
            break;
        case TAwaited::Nothing:
            break;
        }
        break;

    // Primary scan.
    case 2:
        TimeOut_Calc = T1;
        ID_Dev_Primary = -1;
        Notify(1, 0, 0, 1);
        Build_SND_NKE(0xFF);
        sendStep(Analyzer_Port, 3);
        break;
    case 3:
        if (awaitAnswer(answer, anyAnswer) != TAwaited::Nothing) Step_Scan = 4;
        break;
    case 4:
        TimeOut_Calc = T1;
        Num_Frame_Read = 0;
        ++ID_Dev_Primary;
        if (ID_Dev_Primary > 250 || FStopScan) {
            Type_To_Send_In_Last_Step = 1;
            Enable_Send_In_Last_Step = true;
            FResult = 1;
            Step_Scan = 200;
        } else {
            Step_Scan = App_Reset ? 5 : SND_NKE ? 7 : 9;
        }
        break;
    case 5:
        Sleep(500);
        Build_App_Reset(std::uint8_t(ID_Dev_Primary));
        sendStep(Analyzer_Port, 6);
        break;
    case 6:
    case 8: {
        // Another answer than the acknowledgement is passed over; the wait goes on.
        const TAwaited got = awaitAnswer(answer, isAck);
        if (got == TAwaited::Accepted || got == TAwaited::TimedOut)
            Step_Scan = (step == 6 && SND_NKE) ? 7 : 9;
        break;
    }
    case 7:
        Sleep(500);
        Build_SND_NKE(std::uint8_t(ID_Dev_Primary));
        sendStep(Analyzer_Port, 8);
        break;
    case 9:
        TimeOut_Calc = T2;
        Sleep(500);
        Build_REQ_UD2(std::uint8_t(ID_Dev_Primary));
        sendStep(Analyzer_Port, 10);
        break;
    case 10: {
        ID_Dev_Found = false;
        const TAwaited got = awaitAnswer(answer, isValidRspUd);
        if (got == TAwaited::Accepted) {
            bool done = false;
            readTelegram(done);
            if (done) {
                ID_Dev_Found = true;
                Notify(2, ID_Dev_Primary, 1, 1);
                Step_Scan = 4;
            } else {
                Step_Scan = 9;
            }
        } else if (got != TAwaited::Nothing) {
            // A meter already read once counts as found.
            Notify(2, ID_Dev_Primary, Num_Frame_Read > 0 ? 1 : 0, 1);
            Step_Scan = 4;
        }
        break;
    }

    // Secondary scan: depth-first over the eight digits.
    case 100:
        TimeOut_Calc = T1;
        Phase_Scan_Sec_Add = 1;
        Notify(1, 0, 0, 2);
        Phase_Scan_Sec_Add = 2;
        Step_Scan = SND_NKE ? 101 : App_Reset ? 103 : 105;
        break;
    case 101:
        Build_SND_NKE(0xFD);
        sendStep(Analyzer_Port, 102);
        break;
    case 102:
    case 104:
    case 106: {
        const TAwaited got = awaitAnswer(answer, isAck);
        if (got == TAwaited::Accepted || got == TAwaited::TimedOut)
            Step_Scan = step == 102 ? (App_Reset ? 103 : 105) : step == 104 ? 105 : 107;
        break;
    }
    case 103:
        Build_App_Reset(0xFF);
        sendStep(Analyzer_Port, 104);
        break;
    case 105:
        Build_SND_NKE(0xFF);
        sendStep(Analyzer_Port, 106);
        break;
    case 107:
        for (int* d : digits) *d = -1;
        Step_Scan = 108;
        break;
    case 124:
        TimeOut_Calc = T2;
        Build_REQ_UD2(0xFD);
        sendStep(Analyzer_Port, 125);
        break;
    case 125: {
        ID_Dev_Found = false;
        const TAwaited got = awaitAnswer(answer, isValidRspUd);
        if (got == TAwaited::Accepted) {
            bool done = false;
            readTelegram(done);
            if (done) {
                TimeOut_Calc = T1;
                ID_Dev_Found = true;
                Notify(2, secondaryOfLast(), 1, 2);
                Step_Scan = Sec_Add_Next_Step;
            } else {
                Step_Scan = 124;
            }
        } else if (got != TAwaited::Nothing) {
            TimeOut_Calc = T1;
            if (Num_Frame_Read > 0) Notify(2, secondaryOfLast(), 1, 2);
            Step_Scan = Sec_Add_Next_Step;
        }
        break;
    }

    // Closing.
    case 200:
        Count_Disable_Analyzer = 0;
        FAbortScan = false;
        Step_Scan = 201;
        break;
    case 201:
    case 202:
        closingStep(step, 200, Analyzer_Port, "Morvik_Disable_Analyzer_Mode", Analyzer_Disabled);
        break;
    case 203:
        if (!FInScan) break;
        // The end notification is queued before the scan counts as ended.
        if (Enable_Send_In_Last_Step) Notify(3, 0, 0, int(Type_To_Send_In_Last_Step));
        Scan_Finished();
        break;
    default:
        if (step >= 108 && step <= 123) {
            const int level = (step - 108) / 2;
            const int digitStep = 108 + 2 * level;
            if (step % 2 == 0) {
                // Count digit `level` on with every lower digit a wildcard.
                if (FStopScan) {
                    Step_Scan = 200;
                    break;
                }
                ++*digits[level];
                for (int k = level + 1; k < 8; ++k) *digits[k] = -1;
                if (*digits[level] > 9) {
                    if (level == 0) {
                        Phase_Scan_Sec_Add = 3;
                        Type_To_Send_In_Last_Step = 2;
                        Enable_Send_In_Last_Step = true;
                        Step_Scan = 200;
                    } else {
                        Step_Scan = digitStep - 2;
                    }
                } else {
                    Build_Selection();
                    sendStep(Analyzer_Port, step + 1);
                }
            } else {
                switch (awaitAnswer(answer, isAck)) {
                case TAwaited::Accepted:
                    Num_Frame_Read = 0;
                    Sec_Add_Next_Step = digitStep;
                    Step_Scan = 124;
                    break;
                case TAwaited::Other:
                    // No meter, or a collision: descend one digit.
                    Step_Scan = isText(answer, No_Slave) || level == 7 ? digitStep : digitStep + 2;
                    break;
                case TAwaited::TimedOut:
                    Step_Scan = digitStep;
                    break;
                case TAwaited::Nothing:
                    break;
                }
            }
        }
        break;
    }
}
