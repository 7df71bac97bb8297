#pragma once
// The device-update dialog: page 1 takes the gateway's address and pings it, page 2 offers the
// update options and starts the external updater.
#include "shell/frame/DialogFrame.h"

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

    int ping_ = 0;            // status of the last try: 0 none yet, 1 reply, 2 no reply
    bool Esegui_Ping = false; // a successful ping check was made since the dialog was shown

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFBootTCP* FBootTCP;
