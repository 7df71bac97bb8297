#pragma once
// The Modbus RTU master access-table editor: ModbusM_SetAccess.xml in a TModbus_Access_Form.
#include "editors/comm/ModbusAccessForm.h"

class TFSetAccess : public TModbus_Access_Form {
public:
    explicit TFSetAccess(TComponent* AOwner);

    void bitbtn1Click(TObject* /*Sender*/) { OK(); }
    void Btn_InsertRowClick(TObject* /*Sender*/) { Insert_Row(); }
};

extern TFSetAccess* FSetAccess;
