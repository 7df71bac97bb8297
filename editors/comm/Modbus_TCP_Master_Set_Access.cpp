#include "editors/comm/Modbus_TCP_Master_Set_Access.h"

#include "shell/state/ProgramState.h"

TFModbus_TCP_Master_Set_Access* FModbus_TCP_Master_Set_Access = nullptr;

TFModbus_TCP_Master_Set_Access::TFModbus_TCP_Master_Set_Access(TComponent* AOwner)
    : TModbus_Access_Form(AOwner, "FModbus_TCP_Master_Set_Access",
                          {TModbus_Master::TCP, &File_ModbusTCPM_SetAccess, Ind_Lang, 289, 301,
                           Ind_Lang + 56, 1007}) {
    Btn_OK->OnClick = [this](TObject* Sender) { Btn_OKClick(Sender); };
    Btn_InsRow->OnClick = [this](TObject* Sender) { Btn_InsRowClick(Sender); };
}
