#pragma once
// The device-update dialog: page 1 takes the gateway's address and pings it, page 2 offers the
// update options and starts the external updater.
#include "platform/net/Ping.h"
#include "platform/xml/XmlDoc.h"
#include "shell/UpdaterParameters.h"
#include "shell/frame/DialogFrame.h"

#include <functional>
#include <memory>
#include <string>

class TFBootTCP : public TFramed_Dialog {
public:
    explicit TFBootTCP(TComponent* AOwner);

    // Page 1.
    TLabel* L_IP_Address;
    TEdit* E_IP1;
    TEdit* E_IP2;
    TEdit* E_IP3;
    TEdit* E_IP4;
    TLabel* Label2;
    TLabel* Label3;
    TLabel* Label4;
    TLabel* L_Ping;
    TFrame_Button* Btn_Ping;
    TLabel* LPing;
    // Page 2.
    TLabel* L_Options;
    TCheckBox* CB_Firmware;
    TCheckBox* CB_Read_Firm;
    TCheckBox* CB_Conf;
    TCheckBox* CB_Read_Conf;
    // Button panel.
    TFrame_Button* Btn_Cancel;
    TFrame_Button* Btn_Next;
    TFrame_Button* Btn_Update;

    TXMLDocument* XML1; // the updater's parameter file

    int ping_ = 0;            // status of the last try: 0 none yet, 1 reply, 2 no reply
    bool Esegui_Ping = false; // a successful ping check was made since the dialog was shown
    std::string Pinged_IP;    // the address that answered; any octet edit clears Esegui_Ping

    // Opens the ICMP transport of each ping check; the socket transport unless replaced (tests).
    std::function<std::unique_ptr<TIcmpTransport>()> Create_Icmp_Transport;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
    // "." in E_IP1 .. E_IP3 moves to the next octet.
    void E_IPKeyPress(TObject* Sender, char32_t& Key);
    void PbButton1Click(TObject* Sender); // Ping
    void PingReply(bool Replied);
    void PbButton2Click(TObject* Sender); // Next
    void PbButton4Click(TObject* Sender); // Execute
    // True when IP is a dotted address of four octets 0 .. 255; the four texts go to Parts.
    static bool Valid_IP(const std::string& IP, std::string Parts[4]);
    // Write Update_Parameter_File() (older or newer boot loader) for the address that answered
    // and the check boxes.
    void Compile_XML_Parameter();
    void Compile_XML_Parameter_New_Boot();

private:
    // The four octet edits joined with ".".
    std::string Edit_Address() const;
    TUpdate_Request Update_Request() const;
    void Show_Page_2();
    bool pinging_ = false;
};

extern TFBootTCP* FBootTCP;
