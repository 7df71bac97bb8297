#include "editors/frames/TransmitJ1939.h"

#include "editors/frames/tables/J1939Tables.h"

TFTransmitJ1939* FTransmitJ1939 = nullptr;

TFTransmitJ1939::TFTransmitJ1939(TComponent* AOwner)
    : TFrame_Table_Form(AOwner, "FTransmitJ1939",
                        {"sga",
                         &J1939_Send_Columns,
                         &New_J1939_Table,
                         &Own_Columns_Load<Load_J1939_Send>,
                         &Check_J1939_Send,
                         &Own_Columns_Save<Save_J1939_Send>,
                         &File_J1939_Send_Frames,
                         {692, 693, {694, 695, 696, 697, 0, 0}, {}, 698, 718},
                         800,
                         false,
                         false,
                         false}) {
    sga = Grid();
    Set_Items(2, J1939_Data_Page_Items);
}
