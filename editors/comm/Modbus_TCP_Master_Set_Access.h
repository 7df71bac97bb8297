#pragma once
// The Modbus TCP master access-table editor: ModbusTCPM_SetAccess.xml in a TModbus_Access_Form.
// Its texts start at UI_Texts[Ind_Lang].
#include "editors/comm/ModbusAccessForm.h"

class TFModbus_TCP_Master_Set_Access : public TModbus_Access_Form {
public:
    explicit TFModbus_TCP_Master_Set_Access(TComponent* AOwner);

    static constexpr int Ind_Lang = 281;

    void Btn_OKClick(TObject* /*Sender*/) { OK(); }
    void Btn_InsRowClick(TObject* /*Sender*/) { Insert_Row(); }
};

extern TFModbus_TCP_Master_Set_Access* FModbus_TCP_Master_Set_Access;
