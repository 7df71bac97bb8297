#pragma once
// The M-Bus network editor.
#include "shell/frame/DialogFrame.h"

class TFMeter_Bus : public TFramed_Dialog {
public:
    explicit TFMeter_Bus(TComponent* AOwner);

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TFrame_Button* Btn_ImportNet;

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFMeter_Bus* FMeter_Bus;
