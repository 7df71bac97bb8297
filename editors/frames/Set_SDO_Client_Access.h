#pragma once
// The CANopen SDO client access table: SDO_Client_CANopen.xml in the tables of
// TCANopen_Table_Form, "SDO Read" and "SDO Write".
#include "editors/frames/CanopenTableForm.h"

class TFSet_SDO_Client_Access : public TCANopen_Table_Form {
public:
    explicit TFSet_SDO_Client_Access(TComponent* AOwner);

    TTabSheet* TS_SDO_Read;
    TTabSheet* TS_SDO_Write;
};

extern TFSet_SDO_Client_Access* FSet_SDO_Client_Access;
