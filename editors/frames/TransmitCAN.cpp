#include "editors/frames/TransmitCAN.h"

#include "editors/frames/CanTables.h"
#include "shell/state/ProgramState.h"

TFTransmitCAN* FTransmitCAN = nullptr;

TFTransmitCAN::TFTransmitCAN(TComponent* AOwner)
    : TCan_Table_Form(AOwner, "FTransmitCAN",
                      {"ACG_CAN_Transmit",
                       &CAN_Send_Columns,
                       &New_CAN_Table,
                       [](TRow_Table& table, const std::vector<TTable_Column>&,
                          const std::string& path) { return Load_CAN_Send(table, path); },
                       &Check_CAN_Send,
                       [](const TRow_Table& table, const std::vector<TTable_Column>&,
                          const std::string& path) { Save_CAN_Send(table, Product_Type(), path); },
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
