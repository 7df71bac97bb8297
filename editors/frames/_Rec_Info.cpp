#include "editors/frames/_Rec_Info.h"

#include "editors/comm/TableGrid.h"
#include "shell/state/ProgramState.h"

TF_Rec_Info* F_Rec_Info = nullptr;

TF_Rec_Info::TF_Rec_Info(TComponent* AOwner)
    : TCan_Info_Form(AOwner, "F_Rec_Info",
                     {TCan_Direction::Receive, &File_CAN_Rec_Frames, &File_CAN_Rec_Info, 418}) {}

bool TF_Rec_Info::Controlla_dati() {
    return Show_Check_Result(Check_CAN_Rec_Info(Data_arr));
}
