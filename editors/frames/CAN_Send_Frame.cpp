#include "editors/frames/CAN_Send_Frame.h"

#include "editors/frames/tables/CanLegacyTables.h"

TFCAN_Send_Frame* FCAN_Send_Frame = nullptr;

TFCAN_Send_Frame::TFCAN_Send_Frame(TComponent* AOwner)
    : TCan_List_Form(AOwner, "FCAN_Send_Frame",
                     {&CAN_Send_List_Columns, &Own_Columns_Load<Load_CAN_Send_List>,
                      &Check_CAN_Send_List, &Product_Save<Save_CAN_Send_List>,
                      &File_CAN_Send_Frames, 398, 417}) {
    Set_Items(4, CAN_Send_Type_Items);
}
