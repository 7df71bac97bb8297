#pragma once
// What the NMEA 2000 receive and transmit dialogs share: a table of NmeaTables.h in the column
// grid sga, its header hints, the row buttons, the check on OK and the save of the file.
#include "editors/comm/TableGrid.h"
#include "editors/frames/NmeaTables.h"
#include "shell/frame/DialogFrame.h"

#include <memory>
#include <string>
#include <vector>

class TQorColumnGrid;

class TNmea_Table_Form : public TFramed_Dialog {
public:
    TQorColumnGrid* sga;
    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TFrame_Button* Btn_DelRow;
    TFrame_Button* Btn_InsRow;
    TFrame_Button* Btn_CopyRow;
    TFrame_Button* Btn_PasteRow;
    // A row was copied in this showing.
    bool Do_Copy = false;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    // True when the table is valid; otherwise shows the first error.
    bool Controllo_Dati();
    void Btn_OKClick(TObject* Sender);
    void Btn_DelRowClick(TObject* Sender);
    void Btn_InsRowClick(TObject* Sender);
    void Btn_CopyRowClick(TObject* Sender);
    void Btn_PasteRowClick(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();

protected:
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
    TNmea_Table_Form(TComponent* AOwner, const std::string& Name, const TNmea_Form_Kind& Kind);

    // The header hints of columns 1.. in column order.
    std::vector<std::string> hints_;

private:
    TNmea_Form_Kind kind_;
    std::unique_ptr<TTable_Grid> table_;
    // The file was not read when the dialog was shown: saving would replace what it holds.
    bool load_incomplete_ = false;
};
