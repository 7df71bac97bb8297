#pragma once
// The Modbus TCP master access-table editor. Its texts start at UI_Texts[Ind_Lang].
#include "platform/ui/ComCtrls.h"
#include "shell/frame/DialogFrame.h"

class TFModbus_TCP_Master_Set_Access : public TFramed_Dialog {
public:
    explicit TFModbus_TCP_Master_Set_Access(TComponent* AOwner);

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TFrame_Button* Btn_DelRow;
    TFrame_Button* Btn_InsRow;
    TFrame_Button* Btn_CopyRow;
    TFrame_Button* Btn_PasteRow;
    TPageControl* PageControl1;
    TTabSheet* TS_Modbus_Read;
    TTabSheet* TS_Modbus_Write;
    int Ind_Lang = 0; // first UI_Texts entry of this dialog

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFModbus_TCP_Master_Set_Access* FModbus_TCP_Master_Set_Access;
