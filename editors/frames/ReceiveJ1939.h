#pragma once
// The J1939 receive frame table: J1939_Rec_Frames.xml in the grid sga of a TFrame_Table_Form.
#include "editors/frames/FrameTableForm.h"

class TFReceiveJ1939 : public TFrame_Table_Form {
public:
    explicit TFReceiveJ1939(TComponent* AOwner);

    TQorColumnGrid* sga;
};

extern TFReceiveJ1939* FReceiveJ1939;
