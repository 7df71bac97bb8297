#include "editors/frames/TransmitCAN.h"

#include "editors/frames/tables/CanTables.h"

TFTransmitCAN* FTransmitCAN = nullptr;

TFTransmitCAN::TFTransmitCAN(TComponent* AOwner)
    : TCan_Table_Form(AOwner, "FTransmitCAN",
                      {"ACG_CAN_Transmit",
                       &CAN_Send_Columns,
                       &New_CAN_Table,
                       &Own_Columns_Load<Load_CAN_Send>,
                       &Check_CAN_Send,
                       &Product_Save<Save_CAN_Send>,
                       &File_CAN_Send_Frames,
                       {1100,
                        1101,
                        {1102, 1103, 1104, 1105, 1106, 1107},
                        {1125, 1126, 1127, 1128, 1129, 1130},
                        1108,
                        1161},
                       1100,
                       true,
                       true,
                       false}) {
    ACG_CAN_Transmit = Grid();
}
