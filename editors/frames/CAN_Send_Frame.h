#pragma once
// The older CAN send frame list: the section Send_Frames of CAN_Send_Frames.xml in the grid
// sga of a TFrame_Table_Form.
#include "editors/frames/FrameTableForm.h"

class TFCAN_Send_Frame : public TFrame_Table_Form {
public:
    explicit TFCAN_Send_Frame(TComponent* AOwner);

    TQorColumnGrid* sga;

    bool controllo_dati() { return Controllo_Dati(); }
    void bitbtn1Click(TObject* Sender) { Btn_OKClick(Sender); }
    void Btn_DelRow_Click(TObject* Sender) { Btn_DelRowClick(Sender); }
};

extern TFCAN_Send_Frame* FCAN_Send_Frame;
