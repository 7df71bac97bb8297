#pragma once
// The main window: a column of numbered step labels with one push button per step, laid out
// for the product type; the buttons open the dialogs of the other subsystems.
#include "platform/ui/core/Dialogs.h"
#include "platform/ui/core/Timers.h"
#include "platform/xml/XmlDoc.h"
#include "shell/frame/DialogFrame.h"

#include <array>

class TFVelmareFirmWare : public TForm {
public:
    explicit TFVelmareFirmWare(TComponent* AOwner);

    TLabel* L_SW_Code;
    TLabel* L_SW_Desc;
    TLabel* L_Begin;
    std::array<TLabel*, 8> L_Step{}; // L_Step_1 .. L_Step_8
    TShape* Shape2;                  // frame around the project lines
    TLabel* L_Name_Conf;
    TLabel* L_Name_Conf_L2;
    TLabel* L_Morvik; // link to the product page
    TImage* I_Lorvan; // OEM logo
    TLinkLabel* LL_Update;
    TFrame_Button* Btn_Info;
    TFrame_Button* Btn_Opz;
    TFrame_Button* Btn_Close;
    TFrame_Button* Btn_New;
    TFrame_Button* Btn_Open;
    TFrame_Button* Btn_Prm_Gen;
    TFrame_Button* Btn_KNX_Access;
    TFrame_Button* Btn_ModM_SetAccess;
    TFrame_Button* Btn_CAN_Rec_Frame;
    TFrame_Button* Btn_CAN_Rec_Info;
    TFrame_Button* Btn_CAN_Send_Frame;
    TFrame_Button* Btn_CAN_Send_Info;
    TFrame_Button* Btn_SDO_Server_CANopen;
    TFrame_Button* Btn_SDO_Client_CANopen;
    TFrame_Button* Btn_PDO_CANopen;
    TFrame_Button* Btn_CANopen_EDS;
    TFrame_Button* Btn_DNet_Net;
    TFrame_Button* Btn_DNet_Offset;
    TFrame_Button* Btn_J1939_Rec_Frame;
    TFrame_Button* Btn_J1939_Send_Frame;
    TFrame_Button* Btn_MBus;
    TFrame_Button* Btn_DMX_Default;
    TFrame_Button* Btn_PROFINET_XML;
    TFrame_Button* Btn_CreateBin;
    TFrame_Button* Btn_ScanDecode;
    TShape* Shape1; // separator below the last step
    TTimer* Timer_Update;
    TXMLDocument* XML1;
    TSaveDialog* SaveEDS;

    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    // Sets the window's own texts from UI_Texts (not the project lines).
    void Set_Lang();
    // Relabels the main window and every dialog that follows a language change.
    void Change_Language();
    void I_LorvanClick(TObject* Sender);

    // The OnClick of every button: a project action, a dialog or the refusal without a project.
    void Btn_Click(TObject* Sender);
    void Create_New_Project();
    void Open_Project();
    // Compiles the bank files, then shows the device-update dialog.
    void Update_Device();
    void Build_EDS_File();
    void PROFINET_XML();
    // What a workflow step opens: a main-window action or the form of a form class.
    void Open_Step(const std::string& Opens);
    // Asks before a scan replaces the M-Bus network, then shows the scan window.
    void Scan_And_Decode();
    // Starts a program (Hide: without its windows) and waits until it ends or more than
    // 149999 ms have passed. False, after an error box, when it cannot be started.
    bool Start_Program(const std::string& Path, const std::string& Parameters, bool Hide);
    // The version check: the download link when a newer version exists.
    void Timer_UpdateTimer(TObject* Sender);
    void L_MorvikClick(TObject* Sender);
    void LL_UpdateLinkClick(TObject* Sender, const std::string& Link, TSysLinkType LinkType);

private:
    // Assigns the handlers of the buttons, the update timer and the two links.
    void Wire_Step_Handlers();
    // Shows the step labels and buttons of the product type and sizes the window.
    void Apply_Step_Layout(int Type);
};

extern TFVelmareFirmWare* FVelmareFirmWare;
