#pragma once
// The CAN transmit frame table: CAN_Send_Frames.xml in the grid ACG_CAN_Transmit.
#include "editors/frames/CanTableForm.h"

class TFTransmitCAN : public TCan_Table_Form {
public:
    explicit TFTransmitCAN(TComponent* AOwner);

    TQorColumnGrid* ACG_CAN_Transmit;

protected:
    // The header hints follow the language of each showing, the other texts that of the start.
    void Prepare_Show() override { Build_Hints(); }
};

extern TFTransmitCAN* FTransmitCAN;
