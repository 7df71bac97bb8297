#pragma once
// The communication-parameter dialog: one column of parameter groups chosen by the product
// type, read from and written to the project's ParGen.xml.
#include "platform/xml/XmlDoc.h"
#include "shell/frame/DialogFrame.h"

#include <map>
#include <string>
#include <vector>

class TFParGen : public TForm {
public:
    explicit TFParGen(TComponent* AOwner);

    TLabel* L_SW_Code;
    TLabel* L_SW_Desc;
    TXMLDocument* XML1;
    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;

    // --- groups, in the order of their flags -------------------------------------------------
    TGroupBox* GB_KNX;
    TGroupBox* GB_Modbus_TCP_Slave; // the Ethernet group of every type but 4
    TGroupBox* GB_Modbus_TCP_Master;
    TGroupBox* GB_Modbus_Slave;
    TGroupBox* GB_Modbus_Master;
    TGroupBox* GB_CAN;
    TGroupBox* GB_CANopen;
    TGroupBox* GB_DNET_Master;
    TGroupBox* GB_DNET_Slave;
    TGroupBox* GB_J1939;
    TGroupBox* GB_MBus_Options;
    TGroupBox* GB_wMBus;
    TGroupBox* GB_MBus;
    TGroupBox* GB_DMX;
    TGroupBox* GB_PROFINET; // also the SNMP group of type 15
    TGroupBox* GB_EtherNetIP;
    TGroupBox* GB_NMEA2000;

    // True while the group is expanded.
    bool GB_KNX_Visible = true;
    bool GB_Modbus_TCP_Slave_Visible = true;
    bool GB_Modbus_TCP_Master_Visible = true;
    bool GB_Modbus_Slave_Visible = true;
    bool GB_Modbus_Master_Visible = true;
    bool GB_CAN_Visible = true;
    bool GB_CANopen_Visible = true;
    bool GB_DNET_Master_Visible = true;
    bool GB_DNET_Slave_Visible = true;
    bool GB_J1939_Visible = true;
    bool GB_MBus_Options_Visible = true;
    bool GB_wMBus_Visible = true;
    bool GB_MBus_Visible = true;
    bool GB_DMX_Visible = true;
    bool GB_PROFINET_Visible = true;
    bool GB_EtherNetIP_Visible = true;
    bool GB_NMEA2000_Visible = true;

    // True once the user changed a value since the dialog was last filled.
    bool Is_Change = false;

    // --- GB_KNX ----------------------------------------------------------------------------
    TLabel *L_KNX_Type, *L_KNX_ID_Dev, *L_KNX_ID_Tun, *L_KNX_ID_Mana, *L_KNX_CTRL_Port,
        *L_KNX_TUN_Port, *L_KNX_MANA_Port, *L_KNX_Delay_Packets;
    TComboBox* CB_KNX_Type;
    TEdit *E_ID_DEV_KNX, *E_ID_Tun_KNX, *E_ID_Mana_KNX, *E_CTRL_Port_KNX, *E_TUN_Port_KNX,
        *E_MANA_Port_KNX, *E_KNX_Delay_Packets;
    TFrame_Button *Btn_KNX_Collapse, *Btn_KNX_Expande;

    // --- GB_Modbus_Master ------------------------------------------------------------------
    TLabel *L_Modbus_Master_Serial, *L_Modbus_Master_Baud, *L_Modbus_Master_Parity,
        *L_Modbus_Master_Stop_Bit, *L_Modbus_Master_TimeOut, *L_Modbus_Master_Cyclic_Delay;
    TComboBox *CB_Serial_Modbus_Master, *CB_Baud_Modbus_Master, *CB_Par_Modbus_Master,
        *CB_StopBits_Modbus_Master;
    TEdit *E_TO_Modbus_Master, *E_CD_Modbus_Master;
    TFrame_Button *Btn_Modbus_Master_Collapse, *Btn_Modbus_Master_Expande;

    // --- GB_Modbus_Slave -------------------------------------------------------------------
    TLabel *L_Modbus_Slave_Serial, *L_Modbus_Slave_Baud, *L_Modbus_Slave_Parity,
        *L_Modbus_Slave_Stop_Bit, *L_Modbus_Slave_ID_Dev;
    TComboBox *CB_Serial_Modbus_Slave, *CB_Baud_Modbus_Slave, *CB_Par_Modbus_Slave,
        *CB_StopBits_Modbus_Slave;
    TEdit *E_ID_Modbus_Slave, *E_Modbus_Slave_Diagnostic;
    TCheckBox* CB_Modbus_Slave_Diagnostic;
    TFrame_Button *Btn_Modbus_Slave_Collapse, *Btn_Modbus_Slave_Expande;

    // --- GB_Modbus_TCP_Master --------------------------------------------------------------
    TLabel *L_Modbus_TCP_Master_IP_Add, *L_Modbus_TCP_Master_SM_Add, *L_ModbusTCPMaster_TimeOut,
        *L_ModbusTCPMaster_CyclicDelay;
    TEdit *E_IP1_Modbus_TCP_Master, *E_IP2_Modbus_TCP_Master, *E_IP3_Modbus_TCP_Master,
        *E_IP4_Modbus_TCP_Master;
    TEdit *E_SM1_Modbus_TCP_Master, *E_SM2_Modbus_TCP_Master, *E_SM3_Modbus_TCP_Master,
        *E_SM4_Modbus_TCP_Master;
    TEdit *E_GAT1_Modbus_TCP_Master, *E_GAT2_Modbus_TCP_Master, *E_GAT3_Modbus_TCP_Master,
        *E_GAT4_Modbus_TCP_Master;
    TCheckBox* CB_En_GAT_Modbus_TCP_Master;
    TEdit *E_TO_Modbus_TCP_Master, *E_CD_Modbus_TCP_Master;
    TFrame_Button *Btn_Modbus_TCP_Master_Collapse, *Btn_Modbus_TCP_Master_Expande;

    // --- GB_Modbus_TCP_Slave (Ethernet) ----------------------------------------------------
    TLabel *L_Modbus_TCP_Slave_IP_Add, *L_Modbus_TCP_Slave_SM_Add, *L_ModbusTCPSlave_Port;
    TEdit *E_IP1_Modbus_TCP_Slave, *E_IP2_Modbus_TCP_Slave, *E_IP3_Modbus_TCP_Slave,
        *E_IP4_Modbus_TCP_Slave;
    TEdit *E_SM1_Modbus_TCP_Slave, *E_SM2_Modbus_TCP_Slave, *E_SM3_Modbus_TCP_Slave,
        *E_SM4_Modbus_TCP_Slave;
    TEdit *E_GAT1_Modbus_TCP_Slave, *E_GAT2_Modbus_TCP_Slave, *E_GAT3_Modbus_TCP_Slave,
        *E_GAT4_Modbus_TCP_Slave;
    TCheckBox *CB_En_GAT_Modbus_TCP_Slave, *CB_Modbus_TCP_Slave_Diagnostic;
    TEdit *E_Port_Modbus_TCP_Slave, *E_Modbus_TCP_Slave_Diagnostic;
    TFrame_Button *Btn_Modbus_TCP_Slave_Collapse, *Btn_Modbus_TCP_Slave_Expande;

    // --- GB_CAN ----------------------------------------------------------------------------
    TLabel* L_CAN_Baud;
    TComboBox* CAN_Baud;
    TFrame_Button *Btn_CAN_Collapse, *Btn_CAN_Expande;

    // --- GB_CANopen ------------------------------------------------------------------------
    TLabel *L_CANopen_ID_Dev, *L_CANopen_Baud, *L_CANopen_TimeOut;
    TEdit *E_ID_CANopen, *E_NO_Delay_CANopen, *E_SDO_TO_CANopen;
    TComboBox* CB_Baud_CANopen;
    TCheckBox *CB_Set_Ope_CANopen, *CB_Net_Ope_CANopen;
    TFrame_Button *Btn_CANopen_Collapse, *Btn_CANopen_Expande;

    // --- GB_DNET_Master, GB_DNET_Slave -----------------------------------------------------
    TLabel *L_DNET_Master_ID_Dev, *L_DNET_Master_Baud;
    TEdit* E_ID_DNET_Master;
    TComboBox* CB_Baud_DNET_Master;
    TFrame_Button *Btn_DNET_Master_Collapse, *Btn_DNET_Master_Expande;
    TLabel *L_DNET_Slave_ID_Dev, *L_DNET_Slave_Baud, *L_DNET_Slave_NByteIn, *L_DNET_Slave_NByteOut;
    TEdit *E_ID_DNET_Slave, *E_NB_IN_DNET_Slave, *E_NB_OUT_DNET_Slave;
    TComboBox* CB_Baud_DNET_Slave;
    TFrame_Button *Btn_DNET_Slave_Collapse, *Btn_DNET_Slave_Expande;

    // --- GB_J1939 --------------------------------------------------------------------------
    TLabel *L_J1939_Baud, *L_J1939_TimeOut, *L_J1939_DevID;
    TComboBox* CB_Baud_J1939;
    TEdit *E_TO_J1939, *E_J1939_DevID;
    TCheckBox* CB_En_Peer_J1939;
    TFrame_Button *Btn_J1939_Collapse, *Btn_J1939_Expande;

    // --- GB_MBus_Options, GB_MBus, GB_wMBus ------------------------------------------------
    TLabel *L_MBus_Options_Wire_Present, *L_MBus_Options_Wireless_Present;
    TComboBox *CB_MBus_Options_Wire_Present, *CB_MBus_Options_Wireless_Present;
    TFrame_Button *Btn_MBus_Options_Collapse, *Btn_MBus_Options_Expande;
    TLabel *L_MBus_Baud, *L_MBus_Par, *L_MBus_CD, *L_MBus_NS1, *L_MBus_NS2;
    TComboBox *CB_Baud_Mbus, *CB_Parity_Mbus;
    TEdit *E_CD_Mbus, *E_NSE_MBus;
    TFrame_Button *Btn_MBus_Collapse, *Btn_MBus_Expande;
    TLabel *L_wMBus_Mode, *L_wMBus_Radio_Channel;
    TComboBox *CB_wMBus_Mode, *CB_wMBus_Radio_Channel;
    TFrame_Button *Btn_wMBus_Collapse, *Btn_wMBus_Expande;

    // --- GB_DMX ----------------------------------------------------------------------------
    TLabel *L_DMX_DMX, *L_DMX_Num_Channal;
    TComboBox* CB_DMX_DMX;
    TEdit* E_DMX_Num_Channel;
    TFrame_Button *Btn_DMX_Collapse, *Btn_DMX_Expande;

    // --- GB_PROFINET -----------------------------------------------------------------------
    TLabel *L_PROFINET_IP_Add, *L_PROFINET_Subnet_Mask, *L_PROFINET_Port, *L_PROFINET_Name_Station,
        *L_PROFINET_Byte_IN, *L_PROFINET_Byte_OUT;
    TEdit *E_IP1, *E_IP2, *E_IP3, *E_IP4, *E_SM1, *E_SM2, *E_SM3, *E_SM4, *E_GAT1, *E_GAT2, *E_GAT3,
        *E_GAT4;
    TCheckBox* CB_EN_GAT;
    TEdit *E_PORT, *E_Profinet_Name_Station, *E_NB_IN_PROFINET, *E_NB_OUT_PROFINET;
    TFrame_Button *Btn_PROFINET_Collapse, *Btn_PROFINET_Expande;

    // --- GB_EtherNetIP ---------------------------------------------------------------------
    TLabel *L_EtherNetIP_IP_Add, *L_EtherNetIP_SubNet, *L_EtherNetIP_Port, *L_EtherNetIP_NByteIN,
        *L_EtherNetIP_NByteOUT;
    TEdit *E_EtherNetIP_IP1, *E_EtherNetIP_IP2, *E_EtherNetIP_IP3, *E_EtherNetIP_IP4;
    TEdit *E_EtherNetIP_SM1, *E_EtherNetIP_SM2, *E_EtherNetIP_SM3, *E_EtherNetIP_SM4;
    TEdit *E_EtherNetIP_GAT1, *E_EtherNetIP_GAT2, *E_EtherNetIP_GAT3, *E_EtherNetIP_GAT4;
    TCheckBox* CB_EtherNetIP_Gateway;
    TEdit *E_Port_EtherNetIP, *E_B_IN_EtherNetIP, *E_B_OUT_EtherNetIP;
    TFrame_Button *Btn_EtherNetIP_Collapse, *Btn_EtherNetIP_Expande;

    // --- GB_NMEA2000 -----------------------------------------------------------------------
    TLabel *L_NMEA2000_Baudrate, *L_NMEA2000_TimeOut, *L_NMEA2000_ID_Device;
    TComboBox* CB_NMEA2000_Baudrate;
    TEdit *E_NMEA2000_TimeOut, *E_NMEA2000_ID_Device;
    TCheckBox* CB_NMEA2000_Peer_To_Peer;
    TFrame_Button *Btn_NMEA2000_Collapse, *Btn_NMEA2000_Expande;

    // --- operations --------------------------------------------------------------------------
    void FormCreate(TObject* Sender);
    // Fills the controls from ParGen.xml (or the defaults), re-stacks, clears Is_Change. A file
    // that cannot be read is reported and the dialog closes at once, so that OK never writes
    // defaults over it.
    void FormShow(TObject* Sender);
    // Keeps the window's top edge on the screen.
    void FormActivate(TObject* Sender);
    // The close box and Cancel: after a change, leaving needs a Yes.
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void Btn_OKClick(TObject* Sender);
    void Btn_CancelClick(TObject* Sender);
    void Btn_GB_Collapse(TObject* Sender);
    void Btn_GB_Expande(TObject* Sender);
    void On_Change(TObject* Sender);
    void On_Click(TObject* Sender);
    // "." moves to the next octet edit of the row sequence and is dropped.
    void KeyPress(TObject* Sender, char32_t& Key);
    void Collapse_Expand_Creation();
    // Stacks the groups of the product type.
    void Move_GroupBoxs();
    void Set_Lang();
    // True when every shown value is valid; otherwise shows the first error.
    bool Controllo_Dati();

    // The layout methods, one per product type (Move_GroupBoxs picks one).
    void RePosition_Objects_511();
    void RePosition_Objects_512();
    void RePosition_Objects_513();
    void RePosition_Objects_514();
    void RePosition_Objects_515();
    void RePosition_Objects_516();
    void RePosition_Objects_517();
    void RePosition_Objects_518();
    void RePosition_Objects_519();
    void RePosition_Objects_520();
    void RePosition_Objects_521();
    void RePosition_Objects_522();
    void RePosition_Objects_523();
    void RePosition_Objects_524();
    void RePosition_Objects_525();
    void RePosition_Objects_526();

    // Reads File_ParGen into the controls; a missing or malformed file gives the defaults.
    void Read_ParGen();
    // Writes the whole file for the product type to File_ParGen.
    void Write_ParGen();

    // One parameter of the file: its key, its control and its values.
    enum TPar_Kind { pkList, pkEdit, pkCheck };
    struct TPar_Key {
        std::string Key;
        TControl* Control;
        TPar_Kind Kind;
        std::string Initial;     // the value the form is created with
        std::string Default;     // a missing or unreadable key (a list index as text)
        bool Reset_When_Missing; // false: a missing file leaves the initial value
        bool (*Written)(int Type);
        bool Fixed = false; // the file's value is not read: the key always takes its default
    };
    // The project integer rule (ImageIntDef) for edit and file texts.
    static int Text_To_Int(const std::string& Text, int Def);
    // Every key of every product type, in file order.
    const std::vector<TPar_Key>& Par_Keys() const { return keys_; }

private:
    struct TGroup {
        TGroupBox* Box;
        bool* Expanded;
        TFrame_Button* Collapse;
        TFrame_Button* Expand;
        std::vector<TControl*> First_Row;
        TControl* Last; // the control that ends the expanded group (some types change it)
    };
    void Create_Groups();
    void Create_Keys();
    TGroup* Group_Of_Button(TObject* Sender);
    // Places the listed groups top to bottom from top 70 and the buttons below them.
    void Stack_Groups(const std::vector<TGroupBox*>& Groups);
    TControl* Last_Control(TGroupBox* Box) const;
    void Set_Port_Row(bool Shown);
    // Puts every control back to the value it is created with.
    void Reset_To_Initial();
    void Apply_Missing_File_Defaults();
    void Set_Value(const TPar_Key& K, const std::string& Value);
    std::string Get_Value(const TPar_Key& K) const;
    bool Confirm_Exit();
    bool Error(int Entry, const std::string& Suffix = "");
    // The next octet edit after Edit in its group's IP, SM, GAT order; nullptr after the last.
    TEdit* Next_Octet(TObject* Edit) const;

    std::vector<TGroup> groups_;
    std::vector<TPar_Key> keys_;
    std::vector<std::pair<TControl*, int>> texts_;
    // The 12 octet edits of each group in order, by the prefix of the group's keys.
    std::map<std::string, std::vector<TEdit*>> octet_rows_;
    bool exit_confirmed_ = false;
    bool file_unreadable_ = false; // the showing's ParGen.xml could not be read: never written
};

extern TFParGen* FParGen;
