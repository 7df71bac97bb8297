#include "editors/frames/CAN_Send_Frame.h"

#include "editors/frames/CanLegacyTables.h"
#include "editors/frames/CanTables.h"
#include "grid/core/QorColumnGrid.h"
#include "shell/state/ProgramState.h"

TFCAN_Send_Frame* FCAN_Send_Frame = nullptr;

TFCAN_Send_Frame::TFCAN_Send_Frame(TComponent* AOwner)
    : TFrame_Table_Form(
          AOwner, "FCAN_Send_Frame",
          {"sga",
           &CAN_Send_List_Columns,
           &New_CAN_List,
           [](TRow_Table& table, const std::vector<TTable_Column>&, const std::string& path) {
               return Load_CAN_Send_List(table, path);
           },
           &Check_CAN_Send_List,
           [](const TRow_Table& table, const std::vector<TTable_Column>&, const std::string& path) {
               Save_CAN_Send_List(table, Product_Type(), path);
           },
           &File_CAN_Send_Frames,
           {398, 399, {400, 401, 402, 403, 0, 0}, {}, 404, 417},
           759,
           false,
           false,
           false}) {
    sga = Grid();
    sga->Columns()->Items(0)->SetWidth(64);
    Set_Items(2, CAN_Type_Items);
    Set_Items(4, CAN_Send_Type_Items);
}
