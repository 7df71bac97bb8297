#pragma once
// What the CAN receive and transmit dialogs share: a table of CanTables.h in a
// TFrame_Table_Form, with its look and the choices of its Type and Byte columns.
#include "editors/frames/FrameTableForm.h"

class TCan_Table_Form : public TFrame_Table_Form {
public:
    // True when every enabled row is valid; otherwise shows the first error.
    bool Controllo_dati() { return Controllo_Dati(); }

protected:
    TCan_Table_Form(TComponent* AOwner, const std::string& Name, TFrame_Form_Kind Kind);
};
