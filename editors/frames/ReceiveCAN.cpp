#include "editors/frames/ReceiveCAN.h"

#include "editors/frames/CanTables.h"
#include "shell/state/ProgramState.h"

TFReceiveCAN* FReceiveCAN = nullptr;

TFReceiveCAN::TFReceiveCAN(TComponent* AOwner)
    : TCan_Table_Form(AOwner, "FReceiveCAN",
                      {"ACG_CAN_Receive",
                       &CAN_Rec_Columns,
                       &New_CAN_Table,
                       [](TRow_Table& table, const std::vector<TTable_Column>&,
                          const std::string& path) { return Load_CAN_Rec(table, path); },
                       &Check_CAN_Rec,
                       [](const TRow_Table& table, const std::vector<TTable_Column>&,
                          const std::string& path) { Save_CAN_Rec(table, Product_Type(), path); },
                       &File_CAN_Rec_Frames,
                       {1000,
                        1001,
                        {1002, 1003, 1004, 1005, 1006, 1007},
                        {1023, 1024, 1025, 1026, 1027, 1028},
                        1008,
                        1058},
                       1010,
                       true,
                       true,
                       false}) {
    ACG_CAN_Receive = Grid();
}
