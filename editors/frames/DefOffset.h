#pragma once
// The DeviceNet byte offsets.
#include "platform/ui/ComCtrls.h"
#include "shell/frame/DialogFrame.h"

class TFDefOffset : public TFramed_Dialog {
public:
    explicit TFDefOffset(TComponent* AOwner);

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TPanel* Panel1; // the slave list at the top
    TPanel* Panel3; // the byte offsets below it
    TPageControl* PageControl1;
    TTabSheet* TabSheet1;
    TTabSheet* TabSheet2;
    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFDefOffset* FDefOffset;
