#pragma once
// The byte map of the older CAN send frames: CAN_Send_Info.xml for the frames of
// CAN_Send_Frames.xml. Several sent bytes may read the same position.
#include "editors/frames/CanInfoForm.h"

class TF_Sen_Info : public TCan_Info_Form {
public:
    explicit TF_Sen_Info(TComponent* AOwner);
};

extern TF_Sen_Info* F_Sen_Info;
