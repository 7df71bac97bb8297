#pragma once
// The CAN receive frame table: CAN_Rec_Frames.xml in the grid ACG_CAN_Receive.
#include "editors/frames/CanTableForm.h"

class TFReceiveCAN : public TCan_Table_Form {
public:
    explicit TFReceiveCAN(TComponent* AOwner);

    TQorColumnGrid* ACG_CAN_Receive;
};

extern TFReceiveCAN* FReceiveCAN;
