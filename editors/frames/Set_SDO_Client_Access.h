#pragma once
// The CANopen SDO client access table.
#include "platform/ui/ComCtrls.h"
#include "shell/frame/DialogFrame.h"

class TFSet_SDO_Client_Access : public TFramed_Dialog {
public:
    explicit TFSet_SDO_Client_Access(TComponent* AOwner);

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TFrame_Button* Btn_DelRow;
    TFrame_Button* Btn_InsRow;
    TPageControl* PageControl1;
    TTabSheet* TS_SDO_Read;
    TTabSheet* TS_SDO_Write;

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFSet_SDO_Client_Access* FSet_SDO_Client_Access;
