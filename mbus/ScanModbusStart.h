#pragma once
// The dialog that asks the first Modbus register of a scan.
#include "shell/frame/DialogFrame.h"

class TFScanModbusStart : public TFramed_Dialog {
public:
    explicit TFScanModbusStart(TComponent* AOwner);

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TLabel* L_StartModAdd;
    TEdit* E_StartModAdd;
    int StartModAdd = 0; // the accepted value

    void FormCreate(TObject* Sender);
    // Accepts a register from 1 to 65535 into StartModAdd.
    void Btn_OKClick(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFScanModbusStart* FScanModbusStart;
