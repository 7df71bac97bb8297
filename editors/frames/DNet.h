#pragma once
// The DeviceNet network (slave list).
#include "shell/frame/DialogFrame.h"

class TFDNet : public TFramed_Dialog {
public:
    explicit TFDNet(TComponent* AOwner);

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TFrame_Button* Btn_DelRow;
    TFrame_Button* Btn_InsRow;

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFDNet* FDNet;
