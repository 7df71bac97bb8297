#include "editors/frames/TransmitNMEA.h"

#include "shell/state/ProgramState.h"

TFTransmitNMEA* FTransmitNMEA = nullptr;

TFTransmitNMEA::TFTransmitNMEA(TComponent* AOwner)
    : TNmea_Table_Form(AOwner, "FTransmitNMEA",
                       {&NMEA_Send_Columns, &Check_NMEA_Send, &File_NMEA_Send_Frames, 1700, 1742}) {
}
