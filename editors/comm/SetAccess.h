#pragma once
// The Modbus RTU master access-table editor.
#include "platform/ui/ComCtrls.h"
#include "shell/frame/DialogFrame.h"

class TFSetAccess : public TFramed_Dialog {
public:
    explicit TFSetAccess(TComponent* AOwner);

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TFrame_Button* Btn_DelRow;
    TFrame_Button* Btn_InsRow;
    TFrame_Button* Btn_CopyRow;
    TFrame_Button* Btn_PasteRow;
    TPageControl* PageControl1;
    TTabSheet* TS_Modbus_Read;
    TTabSheet* TS_Modbus_Write;

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFSetAccess* FSetAccess;
