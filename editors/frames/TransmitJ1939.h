#pragma once
// The J1939 transmit frame table: J1939_Send_Frames.xml in the grid sga of a TFrame_Table_Form.
#include "editors/frames/FrameTableForm.h"

class TFTransmitJ1939 : public TFrame_Table_Form {
public:
    explicit TFTransmitJ1939(TComponent* AOwner);

    TQorColumnGrid* sga;
};

extern TFTransmitJ1939* FTransmitJ1939;
