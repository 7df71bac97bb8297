#pragma once
// The scan-and-decode window of the M-Bus variants.
#include "mbus/scan/MBusScanDecode.h"
#include "shell/frame/DialogFrame.h"

#include <array>
#include <map>
#include <memory>
#include <string>

class TLazyStringTree;
struct TLazyNode;
class TQorColumnGrid;
class TTimer;
class TImageList;

class TFScanDecode : public TFramed_Dialog {
public:
    explicit TFScanDecode(TComponent* AOwner);
    ~TFScanDecode() override;

    TFrame_Button* Btn_StartScan;
    TFrame_Button* Btn_StopScan;
    TFrame_Button* Btn_AbortScan;
    TFrame_Button* Btn_NewScan;
    TFrame_Button* Btn_SaveConf;
    TFrame_Button* Btn_SaveConfManual;
    TPanel* P_Options;
    TLabel* L_ScanMethod;
    TComboBox* CB_ScanMethod;
    TLabel* L_ScanBy;
    TComboBox* CB_ScanBy;
    TLabel* L_HardwareType;
    TComboBox* CB_HardwareType;
    TLabel* L_IP;
    std::array<TEdit*, 4> E_IP;
    TLabel* L_ComPort;
    TComboBox* CB_ComPort;
    TFrame_Button* Btn_COM_List;
    TLabel* L_Port;
    TEdit* E_Port;
    TLabel* L_wMBus_Mode;
    TComboBox* CB_wMBus_Mode;
    TLabel* L_wMBus_Radio_Channel;
    TComboBox* CB_wMBus_Radio_Channel;
    TLabel* L_MBus_ParGen;
    TLabel* L_MBus_Baud;
    TComboBox* CB_MBus_Baud;
    TLabel* L_MBus_Parity;
    TComboBox* CB_MBus_Parity;
    TLabel* L_Option_Scan;
    TCheckBox* CB_Opt_App_Reset;
    TCheckBox* CB_Opt_SND_NKE;
    TLabel* L_Opt_Cut_After;
    TEdit* E_Opt_Cut_After;
    TCheckBox* CB_Opt_Use_Fix_C_Field;
    TComboBox* CB_Opt_Use_Fix_C_Field_Value;
    TPanel* P_TreeView;
    TPanel* P_Scan_Head;
    TLabel* L_ScanProgress;
    TLabel* L_Num_Slave;
    TLabel* L_AvailableDevice;
    // The progress of a wired scan, drawn by Draw_Progress_Line.
    TListBox* LB_AvailableDevice;
    TPanel* P_View_Wireless;
    TQorColumnGrid* ASG_Wireless;
    // Images of the wireless grid's last column: 0 encrypted, 1 plain.
    TImageList* ImageList1;
    // Images of the tree nodes, one per level: slave, record, detail.
    TImageList* ImageList_Tree;
    TTimer* T_InScan;

    int XML_Code_Dev = 0;      // device code for the network-file writers
    std::string FileName_MBus; // the project's M-Bus file
    int Form_Type = 0;         // 1: wired and wireless scans are offered
    // The scan thread, made with the window at start-up; it waits on its event until the
    // window lets it run.
    std::unique_ptr<TMBusScanDecode> TR_ScanDecode;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Set_Lang();
    void Move_Object_Type_Form();
    void Form_Style(int Style);
    void StartScan();
    void StarScanWireless();
    void Select_Scan();
    void T_InScanTimer();
    void Show_Slave_in_Tree();
    void Show_Slave_in_Tree_Wireless(int Index);
    void Select_SaveXML();
    // Refills CB_ComPort with the serial ports present and selects the first.
    void Update_List_of_COM_Port();
    // One line of the progress list: red with its "[NOT FOUND]" in a column of its own, else
    // blue.
    void Draw_Progress_Line(int Index, const TRect& Rect);
    // Key entry for the sender of a grid row (from a double click at Pos).
    void ASG_WirelessDblClickCell(int ARow, TPoint Pos);
    // The progress lines of a wired scan and the rows of a wireless one (UI thread).
    void Update_Slave_List_Proc(int Kind, int Value, int Found, int ScanKind);
    void Update_Wireless_List(int Index, TSlave_wMBus* Slave);

    // The trees the program makes for this window: "VST" (wired) and "VST_Wireless".
    TLazyStringTree* VST() const;
    TLazyStringTree* VST_Wireless() const;
    std::string Item_Text(TLazyNode* Node) const;
    int Style() const { return FStyle; }

private:
    void Build_Options();
    void Build_Wireless_Grid();
    void Build_Images();
    void Clear_Wireless_Grid();
    // The four parts of the gateway's address from the communication parameters file.
    void Read_Gateway_Address();
    void hookTree(TLazyStringTree* Tree);
    TLazyNode* addNode(TLazyStringTree* Tree, TLazyNode* Parent, const std::string& Text,
                       bool Check, bool Checked);
    void addDetails(TLazyStringTree* Tree, TLazyNode* Parent, const TVariable_MBus& V);
    std::string address() const;
    int FStyle = 1;
    int Wireless_Row = -1;           // the sender shown in VST_Wireless
    bool Senders_Full_Shown = false; // the full sender list was reported in this scan
    // The node texts of the two trees (the trees ask for them when they paint).
    std::map<TLazyNode*, std::string> Captions;
    std::map<TLazyNode*, std::string> Captions_Wireless;
};

extern TFScanDecode* FScanDecode;
