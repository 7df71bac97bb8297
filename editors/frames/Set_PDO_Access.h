#pragma once
// The CANopen PDO tables: PDO_CANopen.xml in the tables of TCANopen_Table_Form, "Receive PDO"
// and "Transmit PDO".
#include "editors/frames/CanopenTableForm.h"

class TFSet_PDO_Access : public TCANopen_Table_Form {
public:
    explicit TFSet_PDO_Access(TComponent* AOwner);

    TTabSheet* TS_Receive_PDO;
    TTabSheet* TS_Transmit_PDO;
};

extern TFSet_PDO_Access* FSet_PDO_Access;
