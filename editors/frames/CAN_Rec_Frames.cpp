#include "editors/frames/CAN_Rec_Frames.h"

#include "editors/frames/CanLegacyTables.h"
#include "editors/frames/CanTables.h"
#include "grid/core/QorColumnGrid.h"
#include "shell/state/ProgramState.h"

TFCAN_Rec_Frames* FCAN_Rec_Frames = nullptr;

TFCAN_Rec_Frames::TFCAN_Rec_Frames(TComponent* AOwner)
    : TFrame_Table_Form(
          AOwner, "FCAN_Rec_Frames",
          {"sga",
           &CAN_Rec_List_Columns,
           &New_CAN_List,
           [](TRow_Table& table, const std::vector<TTable_Column>&, const std::string& path) {
               return Load_CAN_Rec_List(table, path);
           },
           &Check_CAN_Rec_List,
           [](const TRow_Table& table, const std::vector<TTable_Column>&, const std::string& path) {
               Save_CAN_Rec_List(table, Product_Type(), path);
           },
           &File_CAN_Rec_Frames,
           {379, 380, {381, 382, 383, 384, 0, 0}, {}, 385, 397},
           759,
           false,
           false,
           false}) {
    sga = Grid();
    sga->Columns()->Items(0)->SetWidth(64);
    Set_Items(2, CAN_Type_Items);
}
