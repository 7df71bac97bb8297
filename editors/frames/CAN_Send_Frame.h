#pragma once
// The older CAN send frame list: the section Send_Frames of CAN_Send_Frames.xml.
#include "editors/frames/CanListForm.h"

class TFCAN_Send_Frame : public TCan_List_Form {
public:
    explicit TFCAN_Send_Frame(TComponent* AOwner);
};

extern TFCAN_Send_Frame* FCAN_Send_Frame;
