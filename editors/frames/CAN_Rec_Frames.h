#pragma once
// The older CAN receive frame list: the section Receive_Frames of CAN_Rec_Frames.xml.
#include "editors/frames/CanListForm.h"

class TFCAN_Rec_Frames : public TCan_List_Form {
public:
    explicit TFCAN_Rec_Frames(TComponent* AOwner);
};

extern TFCAN_Rec_Frames* FCAN_Rec_Frames;
