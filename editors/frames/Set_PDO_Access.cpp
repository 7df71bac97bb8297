#include "editors/frames/Set_PDO_Access.h"

#include "shell/state/ProgramState.h"

TFSet_PDO_Access* FSet_PDO_Access = nullptr;

TFSet_PDO_Access::TFSet_PDO_Access(TComponent* AOwner)
    : TCANopen_Table_Form(
          AOwner, "FSet_PDO_Access",
          {&PDO_Layout, &File_PDO_CANopen, 566, 624, {"TS_Receive_PDO", "TS_Transmit_PDO"}, 798}),
      TS_Receive_PDO(Sheet(0)), TS_Transmit_PDO(Sheet(1)) {}
