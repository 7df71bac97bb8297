#pragma once
// The dialog that asks the address of a pasted M-Bus node.
#include "shell/frame/DialogFrame.h"

class TFMeter_Bus;

class TFNewIDNode : public TFramed_Dialog {
public:
    explicit TFNewIDNode(TComponent* AOwner);

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TLabel* Label1;
    TEdit* E_New_Node_ID_Pri;
    TEdit* E_New_Node_ID_Sec;
    TRadioButton* RB_ID_Primary;
    TRadioButton* RB_ID_Secondary;

    // The editor whose network the chosen address is checked against (FMeter_Bus if none).
    TFMeter_Bus* Editor = nullptr;

    void FormCreate(TObject* Sender);
    // Accepts a valid address that no wired node of its type uses.
    void PbButton2Click(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFNewIDNode* FNewIDNode;
