#include "editors/frames/Set_SDO_Server_Access.h"

#include "shell/state/ProgramState.h"

TFSet_SDO_Server_Access* FSet_SDO_Server_Access = nullptr;

TFSet_SDO_Server_Access::TFSet_SDO_Server_Access(TComponent* AOwner)
    : TCANopen_Table_Form(AOwner, "FSet_SDO_Server_Access",
                          {&SDO_Server_Layout,
                           &File_SDO_Server_CANopen,
                           473,
                           514,
                           {"TS_SDO_Read", "TS_SDO_Write"},
                           749}),
      TS_SDO_Read(Sheet(0)), TS_SDO_Write(Sheet(1)) {}
