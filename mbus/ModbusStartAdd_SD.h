#pragma once
// The dialog that gives each scanned M-Bus node its Modbus start address.
#include "shell/frame/DialogFrame.h"

class TQorColumnGrid;

class TFModbusStartAdd_SD : public TFramed_Dialog {
public:
    explicit TFModbusStartAdd_SD(TComponent* AOwner);

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TCheckBox* CB_En_NodeState;
    TCheckBox* CB_En_IndNum;
    // "M-Bus ID" and "Modbus Start Address", one row per scanned node.
    TQorColumnGrid* sga;

    void FormCreate(TObject* Sender);
    void Btn_OKClick(TObject* Sender);
    // Shows the first row whose start address is empty or not 1..59999.
    bool Check_Data();
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFModbusStartAdd_SD* FModbusStartAdd_SD;
