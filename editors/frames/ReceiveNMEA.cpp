#include "editors/frames/ReceiveNMEA.h"

#include "shell/state/ProgramState.h"

TFReceiveNMEA* FReceiveNMEA = nullptr;

TFReceiveNMEA::TFReceiveNMEA(TComponent* AOwner)
    : TNmea_Table_Form(AOwner, "FReceiveNMEA",
                       {&NMEA_Rec_Columns, &Check_NMEA_Rec, &File_NMEA_Rec_Frames, 1600, 1643}) {}
