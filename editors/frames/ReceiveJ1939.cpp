#include "editors/frames/ReceiveJ1939.h"

#include "editors/frames/J1939Tables.h"
#include "shell/state/ProgramState.h"

TFReceiveJ1939* FReceiveJ1939 = nullptr;

TFReceiveJ1939::TFReceiveJ1939(TComponent* AOwner)
    : TFrame_Table_Form(AOwner, "FReceiveJ1939",
                        {"sga",
                         &J1939_Rec_Columns,
                         &New_J1939_Table,
                         [](TRow_Table& table, const std::vector<TTable_Column>&,
                            const std::string& path) { return Load_J1939_Rec(table, path); },
                         &Check_J1939_Rec,
                         [](const TRow_Table& table, const std::vector<TTable_Column>&,
                            const std::string& path) { Save_J1939_Rec(table, path); },
                         &File_J1939_Rec_Frames,
                         {665, 666, {667, 668, 669, 670, 0, 0}, {}, 671, 687},
                         876,
                         false,
                         false,
                         false}) {
    sga = Grid();
    Set_Items(1, J1939_Data_Page_Items);
}
