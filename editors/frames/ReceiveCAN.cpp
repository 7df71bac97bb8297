#include "editors/frames/ReceiveCAN.h"

#include "editors/frames/tables/CanTables.h"

TFReceiveCAN* FReceiveCAN = nullptr;

TFReceiveCAN::TFReceiveCAN(TComponent* AOwner)
    : TCan_Table_Form(AOwner, "FReceiveCAN",
                      {"ACG_CAN_Receive",
                       &CAN_Rec_Columns,
                       &New_CAN_Table,
                       &Own_Columns_Load<Load_CAN_Rec>,
                       &Check_CAN_Rec,
                       &Product_Save<Save_CAN_Rec>,
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
