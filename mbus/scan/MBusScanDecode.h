#pragma once
// The M-Bus scan thread: it runs a wired or wireless scan as a step machine, one step per
// pass of its loop, talking to the gateway over UDP or a serial port, decoding the answers
// into the slave lists and reporting progress through two callbacks on the UI thread.
#include "mbus/scan/Comm.h"
#include "mbus/scan/MBus_Decode.h"
#include "mbus/scan/Slave_MBus.h"
#include "mbus/scan/WMBus_Decode.h"
#include "platform/base/Threads.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TUdpSocket;

enum TScanType { saPrimaryAddress, saSecondaryAddress };
enum TSelectHard { shEthernet, shSerial };
enum TMBusType { mtWired, mtWireless };

// Kind, Value, Found, ScanKind (see Update_Slave_List).
using TUpdate_Slave_List = std::function<void(int Kind, int Value, int Found, int ScanKind)>;
using TUpdateListWirelessSlave = std::function<void(int Index, TSlave_wMBus* Slave)>;

constexpr std::uint16_t Port_Analyzer = 10000;

class TMBusScanDecode : public TThread {
public:
    // The thread starts at once and waits on Event_Run.
    TMBusScanDecode();
    // Ends the loop and waits for the thread.
    ~TMBusScanDecode() override;

    bool Exit() const { return FExit; }
    bool InScan() const { return FInScan; }
    int Result() const { return FResult; }
    bool StopScan() const { return FStopScan; }
    bool AbortScan() const { return FAbortScan; }
    void SetExit(bool v) { FExit = v; }
    void SetInScan(bool v) { FInScan = v; }
    void SetStopScan(bool v) { FStopScan = v; }
    void SetAbortScan(bool v) { FAbortScan = v; }

    bool Start_Scan(TScanType ScanType, TSelectHard Select_Hardware, const std::string& Address,
                    int Baudrate, int Parity, bool App_Reset, bool SND_NKE, int Cut_After,
                    bool Fix_C_Field, std::uint8_t Fix_C_Field_Value,
                    TUpdate_Slave_List Update_Slave_List);
    bool Start_Scan_Wireless(TSelectHard Select_Hardware, const std::string& Address,
                             std::uint16_t Port, int Mode, int Channel,
                             TUpdateListWirelessSlave UpdateListWirelessSlave);
    void Stop_Scan() { FStopScan = true; }
    void Abort_Scan() { FAbortScan = true; }
    // Hands a sender's key to the machine, which installs it in the radio module; false when
    // the machine is not receiving or the radio module has no key position left.
    bool Insert_Wireless_Key(int Index, const std::array<std::uint8_t, 16>& Key);
    // For the window's close: asks the running scan to abort and waits, at most Max_Ms
    // milliseconds, until its closing phase has taken the gateway out of its mode and closed
    // the transport. Returns whether it finished; either way the scan is no longer running.
    bool Close_Scan(unsigned Max_Ms = 3000);

    // Lets the loop run (set while the scan window is open).
    TEvent Event_Run{true, false, "EVENT_SCAN_DECODE_MBUS"};
    std::atomic<TMBusType> MBusType{mtWired}; // read by the UDP listener too
    // The local address the UDP server binds: empty for the address of the interface that
    // reaches the gateway (all interfaces when none does); tests narrow it. The gateway's port
    // for analyzer mode and wired frames.
    std::string Local_Address;
    std::uint16_t Analyzer_Port = Port_Analyzer;

    // Where the last request of the scan went: "address port n" over Ethernet (the address
    // alone before the first request), the serial port's name over a serial line.
    std::string Tried_Address() const;

    // Requests sent and answers stored since the thread started; tests wait on them.
    std::uint64_t Sent_Count() const { return sentCount_; }
    std::uint64_t Received_Count() const { return receivedCount_; }
    // Datagrams dropped because they did not come from the gateway (its address, and for a
    // wired scan its port), since the thread started.
    std::uint64_t Refused_Count() const { return refusedCount_; }
    // Telegrams of new senders the full sender list turned away in the running or last
    // wireless scan (see Max_Wireless_Senders).
    std::uint64_t Senders_Refused() const { return sendersRefused_; }
    int Step() const { return Step_Scan; }
    TRadioModule Radio_Module() const { return RadioModule; }
    int Parity_Index() const { return Parity; }

    // Runs one step of the running machine (the loop calls it; tests may drive it directly).
    void Scan_Step();

    // Raw scan dumps: with a file name here, the end of a wired scan writes every wired slave
    // to it, the end of a wireless scan every wireless sender (empty: no dump).
    std::string SaveXMLFile() const;
    void SetSaveXMLFile(const std::string& FileName);
    void Save_XML_File_DLL();
    void Save_Wireless_XML_File_DLL();

protected:
    void Execute() override;

private:
    // The two machines.
    void Scan_Decode();
    void Scan_Decode_Wireless();

    // Transport.
    void Send_Command(const std::string& Text, std::uint16_t Port);
    void Send_Command(std::uint16_t Port);
    void sendBytes(const std::uint8_t* Data, std::size_t Count, std::uint16_t Port);
    void UDP_Read(const std::string& Data);
    // Whether a datagram from Address and Port comes from the gateway of the running scan.
    bool From_Gateway(const std::string& Address, std::uint16_t Port) const;
    void Serial_RxChar();
    void Open_Transport(std::uint16_t Local_Port, bool Keep_Binding);
    void Close_Transport();
    bool TimeOut_Expired() const;
    // The answer stored since the last send, if any (copied out under the lock).
    bool Take_Answer(std::vector<std::uint8_t>& Answer);

    // The step shapes both machines are made of.
    enum class TAwaited { Nothing, Accepted, Other, TimedOut };
    // Sends (the text, or the frame in Req_Array) and goes on at Next.
    void sendStep(const std::string& Text, std::uint16_t Port, int Next);
    void sendStep(std::uint16_t Port, int Next);
    // What a waiting step got: an answer that Accepted takes, another answer (Answer holds
    // either), the time-out passed, or nothing yet.
    TAwaited awaitAnswer(std::vector<std::uint8_t>& Answer,
                         const std::function<bool(const std::vector<std::uint8_t>&)>& Accepted);
    // The last steps of both machines from First on: the gateway is asked up to three times to
    // leave its mode (Command, answered with Left); First + 3 ends the scan.
    void closingStep(int Step, int First, std::uint16_t Port, const std::string& Command,
                     const std::string& Left);
    // A stored answer that is exactly the text.
    static bool isText(const std::vector<std::uint8_t>& Answer, const std::string& Text);
    void storeAnswer(const std::uint8_t* Data, std::size_t Count);
    void Notify(int Kind, int Value, int Found, int ScanKind);
    void Notify_Wireless_Slave(int Index);
    void Decode_Wireless(const std::uint8_t* Data, int Count);
    void Scan_Finished();

    // Frames.
    std::uint8_t Wired_C_Field(bool Request) const;
    void Build_SND_NKE(std::uint8_t Address);
    void Build_REQ_UD2(std::uint8_t Address);
    void Build_App_Reset(std::uint8_t Address);
    void Build_Selection();

    std::atomic<bool> FExit{false};
    std::atomic<bool> FInScan{false};
    std::atomic<int> FResult{-1};
    std::atomic<bool> FStopScan{false};
    std::atomic<bool> FAbortScan{false};
    std::atomic<TRadioModule> RadioModule{rmTelit};
    TScanType ScanType = saPrimaryAddress;
    TSelectHard Select_Hardware = shEthernet;
    std::string IP_Address;
    std::string ComPort;
    int Baudrate = 2400;
    int Parity = 1;
    bool App_Reset = false;
    bool SND_NKE = false;
    int Cut_After = 0;
    bool Fix_C_Field = false;
    std::uint8_t Fix_C_Field_Value = 0;
    int wMBusMode = 0;
    int wMBusRadioChannel = 0;
    std::atomic<int> Step_Scan{0};
    std::unique_ptr<TUdpSocket> UDP_Server;
    std::uint16_t UDP_Local_Port = 0;        // the port UDP_Server is bound to; 0: any
    std::atomic<std::uint16_t> Last_Port{0}; // the gateway's port of the last request; 0: none
    bool UDP_Bound_Fixed = false;
    std::string UDP_Local_Address; // the address UDP_Server is bound to
    std::unique_ptr<TComm> Comm;

    // Shared with the UDP listener and the serial event dispatch.
    mutable std::mutex FAnswerLock;
    bool Answer_Arrived = false;
    std::array<std::uint8_t, Ans_Array_Size> Ans_Array{};
    int Ans_Len = 0;
    std::vector<std::uint8_t> Serial_Input; // bytes of a serial answer being assembled
    std::size_t Serial_Seen = 0;            // its size at the previous pass
    std::atomic<bool> Wireless_Receive_Message{false};
    // Where the gateway's datagrams come from; a port of 0 takes any.
    std::string Gateway_Address;
    std::uint16_t Gateway_Port = 0;

    std::vector<std::uint8_t> Req_Array;
    int TimeOut_Calc = 1000;
    std::uint32_t Start_Send = 0;
    int ID_Dev_Primary = -1;
    bool ID_Dev_Found = false;
    int Num_Frame_Read = 0;
    TMBus_Decoder Decoder;
    int Index_A = -1, Index_B = -1, Index_C = -1, Index_D = -1, Index_E = -1, Index_F = -1,
        Index_G = -1, Index_H = -1;
    int Index_Device = -1;
    int Sec_Add_Next_Step = 0;
    int Phase_Scan_Sec_Add = 0;
    int Count_Disable_Analyzer = 0;
    std::uint16_t Port_Wireless = 0;
    std::array<std::uint8_t, 16> Wireless_Key{};
    int Wireless_Key_Index = -1;
    int Index_Key_Send = 0;
    bool Enable_Send_In_Last_Step = false;
    unsigned Type_To_Send_In_Last_Step = 0;
    int Index_RadioCrafts_Erase_Position = 0;
    int Index_RadioCrafts_Position_Used = 1;

    // A key handed over by Insert_Wireless_Key, taken by the machine in receive mode.
    std::mutex FKeyLock;
    bool Key_Pending = false;
    int Key_Pending_Index = -1;
    std::array<std::uint8_t, 16> Key_Pending_Value{};

    // Set whenever no scan runs; Close_Scan waits on it.
    TEvent Scan_Idle{true, true};

    TUpdate_Slave_List Update_Slave_List;
    TUpdateListWirelessSlave UpdateListWirelessSlave;
    std::mutex FCallbackLock; // guards the two callbacks against a new start

    std::atomic<std::uint64_t> sentCount_{0};
    std::atomic<std::uint64_t> receivedCount_{0};
    std::atomic<std::uint64_t> refusedCount_{0};
    std::atomic<std::uint64_t> sendersRefused_{0};

    mutable std::mutex FDumpLock;
    std::string FSaveXMLFile;
};
