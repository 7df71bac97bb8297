#include "editors/frames/CAN_Rec_Frames.h"

#include "editors/frames/tables/CanLegacyTables.h"

TFCAN_Rec_Frames* FCAN_Rec_Frames = nullptr;

TFCAN_Rec_Frames::TFCAN_Rec_Frames(TComponent* AOwner)
    : TCan_List_Form(AOwner, "FCAN_Rec_Frames",
                     {&CAN_Rec_List_Columns, &Own_Columns_Load<Load_CAN_Rec_List>,
                      &Check_CAN_Rec_List, &Product_Save<Save_CAN_Rec_List>, &File_CAN_Rec_Frames,
                      379, 397}) {}
