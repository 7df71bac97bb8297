#pragma once
// The NMEA 2000 transmit frame table: NMEA_Send_Frames.xml in the grid of TNmea_Table_Form.
#include "editors/frames/NmeaTableForm.h"

class TFTransmitNMEA : public TNmea_Table_Form {
public:
    explicit TFTransmitNMEA(TComponent* AOwner);
};

extern TFTransmitNMEA* FTransmitNMEA;
