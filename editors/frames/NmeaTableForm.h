#pragma once
// What the NMEA 2000 receive and transmit dialogs share: a table of NmeaTables.h in the column
// grid sga of a TFrame_Table_Form, with header hints and Copy and Paste Row.
#include "editors/frames/FrameTableForm.h"

class TNmea_Table_Form : public TFrame_Table_Form {
public:
    TQorColumnGrid* sga;

    // What sets one table apart: its columns, its check, the path of its file, the first of
    // its UI_Texts entries (caption; subtitle, the six buttons, the Copy and Paste hints and
    // the headers follow at fixed offsets) and the entry of the delete question.
    struct TNmea_Form_Kind {
        const std::vector<TTable_Column>* Columns;
        std::string (*Check)(const TRow_Table&);
        const std::string* File;
        int First_Text;
        int Delete_Question;
    };

protected:
    TNmea_Table_Form(TComponent* AOwner, const std::string& Name, const TNmea_Form_Kind& Kind);
};
