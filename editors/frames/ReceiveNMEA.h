#pragma once
// The NMEA 2000 receive frame table: NMEA_Rec_Frames.xml in the grid of TNmea_Table_Form.
#include "editors/frames/NmeaTableForm.h"

class TFReceiveNMEA : public TNmea_Table_Form {
public:
    explicit TFReceiveNMEA(TComponent* AOwner);
};

extern TFReceiveNMEA* FReceiveNMEA;
