#pragma once
// The CANopen PDO tables.
#include "platform/ui/ComCtrls.h"
#include "shell/frame/DialogFrame.h"

class TFSet_PDO_Access : public TFramed_Dialog {
public:
    explicit TFSet_PDO_Access(TComponent* AOwner);

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TFrame_Button* Btn_DelRow;
    TFrame_Button* Btn_InsRow;
    TPageControl* PageControl1;
    TTabSheet* TS_Receive_PDO;
    TTabSheet* TS_Transmit_PDO;

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFSet_PDO_Access* FSet_PDO_Access;
