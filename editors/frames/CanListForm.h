#pragma once
// What the two older CAN frame lists share: a list of CanLegacyTables.h in the grid sga of a
// TFrame_Table_Form, with a row-number column 64 wide and the frame types in column 2.
#include "editors/frames/FrameTableForm.h"

class TCan_List_Form : public TFrame_Table_Form {
public:
    TQorColumnGrid* sga;

    bool controllo_dati() { return Controllo_Dati(); }
    void bitbtn1Click(TObject* Sender) { Btn_OKClick(Sender); }
    void Btn_DelRow_Click(TObject* Sender) { Btn_DelRowClick(Sender); }

    // What sets one list apart: its columns, its load, check and save, the path of its file,
    // the first of its UI_Texts entries (caption; subtitle, OK, Cancel, Delete Row, Insert Row
    // and the row-number header follow) and the entry of the delete question.
    struct TCan_List_Kind {
        const std::vector<TTable_Column>* Columns;
        decltype(TFrame_Form_Kind::Load) Load;
        decltype(TFrame_Form_Kind::Check) Check;
        decltype(TFrame_Form_Kind::Save) Save;
        const std::string* File;
        int First_Text;
        int Delete_Question;
    };

protected:
    TCan_List_Form(TComponent* AOwner, const std::string& Name, const TCan_List_Kind& Kind);
};
