#include "editors/comm/SetAccess.h"

#include "shell/state/ProgramState.h"

TFSetAccess* FSetAccess = nullptr;

TFSetAccess::TFSetAccess(TComponent* AOwner)
    : TModbus_Access_Form(
          AOwner, "FSetAccess",
          {TModbus_Master::RTU, &File_ModbusM_SetAccess, 230, 238, 249, 280, 1051}) {
    Btn_OK->OnClick = [this](TObject* Sender) { bitbtn1Click(Sender); };
    Btn_InsRow->OnClick = [this](TObject* Sender) { Btn_InsertRowClick(Sender); };
}
