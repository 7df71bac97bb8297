#pragma once
// The older CAN receive frame list: the section Receive_Frames of CAN_Rec_Frames.xml in the
// grid sga of a TFrame_Table_Form.
#include "editors/frames/FrameTableForm.h"

class TFCAN_Rec_Frames : public TFrame_Table_Form {
public:
    explicit TFCAN_Rec_Frames(TComponent* AOwner);

    TQorColumnGrid* sga;

    bool controllo_dati() { return Controllo_Dati(); }
    void bitbtn1Click(TObject* Sender) { Btn_OKClick(Sender); }
    void Btn_DelRow_Click(TObject* Sender) { Btn_DelRowClick(Sender); }
};

extern TFCAN_Rec_Frames* FCAN_Rec_Frames;
