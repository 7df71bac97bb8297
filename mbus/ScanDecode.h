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
    TComboBox* CB_ScanMethod;
    TComboBox* CB_ScanBy;
    TComboBox* CB_HardwareType;
    std::array<TEdit*, 4> E_IP;
    TEdit* E_Port;
    TComboBox* CB_MBus_Baud;
    TComboBox* CB_MBus_Parity;
    TCheckBox* CB_Opt_App_Reset;
    TCheckBox* CB_Opt_SND_NKE;
    TEdit* E_Opt_Cut_After;
    TCheckBox* CB_Opt_Use_Fix_C_Field;
    TComboBox* CB_Opt_Use_Fix_C_Field_Value;
    TComboBox* CB_wMBus_Mode;
    TComboBox* CB_wMBus_Radio_Channel;
    TPanel* P_TreeView;
    TListBox* LB_AvailableDevice;
    TLabel* L_Num_Slave;
    TPanel* P_View_Wireless;
    TQorColumnGrid* ASG_Wireless;
    TTimer* T_InScan;

    int XML_Code_Dev = 0;      // device code for the network-file writers
    std::string FileName_MBus; // the project's M-Bus file
    int Form_Type = 0;         // 1: wired and wireless scans are offered
    // The scan thread, made with the window at start-up; it waits on its event until the
    // window lets it run.
    std::unique_ptr<TMBusScanDecode> MBusScanDecode;

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
    void Build_Wireless_Grid();
    void Clear_Wireless_Grid();
    // The four parts of the gateway's address from the communication parameters file.
    void Read_Gateway_Address();
    void hookTree(TLazyStringTree* Tree);
    TLazyNode* addNode(TLazyStringTree* Tree, TLazyNode* Parent, const std::string& Text,
                       bool Check, bool Checked);
    void addDetails(TLazyStringTree* Tree, TLazyNode* Parent, const TVariable_MBus& V);
    std::string address() const;
    int FStyle = 1;
    int Wireless_Row = -1; // the sender shown in VST_Wireless
    std::map<TLazyNode*, std::string> Captions;
};

extern TFScanDecode* FScanDecode;
