#pragma once
// The byte map of the older CAN receive frames: CAN_Rec_Info.xml for the frames of
// CAN_Rec_Frames.xml. No two bytes may go to the same position.
#include "editors/frames/CanInfoForm.h"

class TF_Rec_Info : public TCan_Info_Form {
public:
    explicit TF_Rec_Info(TComponent* AOwner);

    // True when no position receives two bytes; otherwise shows the first clash.
    bool Controlla_dati();

protected:
    bool Check_Positions() override { return Controlla_dati(); }
};

extern TF_Rec_Info* F_Rec_Info;
