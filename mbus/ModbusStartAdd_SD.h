#pragma once
// The dialog that gives each scanned M-Bus node its Modbus start address.
#include "shell/frame/DialogFrame.h"

class TFModbusStartAdd_SD : public TFramed_Dialog {
public:
    explicit TFModbusStartAdd_SD(TComponent* AOwner);

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TCheckBox* CB_En_NodeState;
    TCheckBox* CB_En_IndNum;

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFModbusStartAdd_SD* FModbusStartAdd_SD;
