#pragma once
// The CANopen SDO server access table: SDO_Server_CANopen.xml in the tables of
// TCANopen_Table_Form, "SDO in Read" and "SDO in Write".
#include "editors/frames/CanopenTableForm.h"

class TFSet_SDO_Server_Access : public TCANopen_Table_Form {
public:
    explicit TFSet_SDO_Server_Access(TComponent* AOwner);

    TTabSheet* TS_SDO_Read;
    TTabSheet* TS_SDO_Write;
};

extern TFSet_SDO_Server_Access* FSet_SDO_Server_Access;
