#include "editors/frames/Set_SDO_Client_Access.h"

#include "shell/state/ProgramState.h"

TFSet_SDO_Client_Access* FSet_SDO_Client_Access = nullptr;

TFSet_SDO_Client_Access::TFSet_SDO_Client_Access(TComponent* AOwner)
    : TCANopen_Table_Form(AOwner, "FSet_SDO_Client_Access",
                          {&SDO_Client_Layout,
                           &File_SDO_Client_CANopen,
                           515,
                           565,
                           {"TS_SDO_Read", "TS_SDO_Write"},
                           798}),
      TS_SDO_Read(Sheet(0)), TS_SDO_Write(Sheet(1)) {}
