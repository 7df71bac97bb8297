#include "editors/frames/_Sen_Info.h"

#include "shell/state/ProgramState.h"

TF_Sen_Info* F_Sen_Info = nullptr;

TF_Sen_Info::TF_Sen_Info(TComponent* AOwner)
    : TCan_Info_Form(AOwner, "F_Sen_Info",
                     {TCan_Direction::Send, &File_CAN_Send_Frames, &File_CAN_Send_Info, 448}) {}
