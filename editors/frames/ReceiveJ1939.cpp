#include "editors/frames/ReceiveJ1939.h"

#include "editors/frames/tables/J1939Tables.h"

TFReceiveJ1939* FReceiveJ1939 = nullptr;

TFReceiveJ1939::TFReceiveJ1939(TComponent* AOwner)
    : TFrame_Table_Form(AOwner, "FReceiveJ1939",
                        {"sga",
                         &J1939_Rec_Columns,
                         &New_J1939_Table,
                         &Own_Columns_Load<Load_J1939_Rec>,
                         &Check_J1939_Rec,
                         &Own_Columns_Save<Save_J1939_Rec>,
                         &File_J1939_Rec_Frames,
                         {665, 666, {667, 668, 669, 670, 0, 0}, {}, 671, 687},
                         876,
                         false,
                         false,
                         false}) {
    sga = Grid();
    Set_Items(1, J1939_Data_Page_Items);
}
