#pragma once
// What the three CANopen dialogs share: the two tables of CanopenTables.h on two tab sheets, the
// row buttons on the table of the active sheet, the check on OK and the save of the file.
#include "editors/comm/TableGrid.h"
#include "editors/frames/tables/CanopenTables.h"
#include "platform/ui/ComCtrls.h"
#include "shell/frame/DialogFrame.h"

#include <memory>
#include <string>

class TQorColumnGrid;

class TCANopen_Table_Form : public TFramed_Dialog {
public:
    TPageControl* PageControl1;
    // The first table (read, receive) and the second (write, transmit).
    TQorColumnGrid* sga;
    TQorColumnGrid* sgb;
    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TFrame_Button* Btn_DelRow;
    TFrame_Button* Btn_InsRow;
    // The positions that the first and the second table may address (0 .. n - 1), set when
    // the dialog is shown.
    int PROFINET_NByte_IN = 0;
    int PROFINET_NByte_OUT = 0;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    // True when both tables are valid; otherwise shows the first error.
    bool Controllo_dati();
    void Btn_OK_Click(TObject* Sender);
    void Btn_DelRow_Click(TObject* Sender);
    void Btn_InsRowClick(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();

protected:
    // What sets one dialog apart: its tables, the path of its file, the first of its UI_Texts
    // entries (caption; subtitle, OK, Cancel, Delete Row and Insert Row follow), the entry of
    // the delete question, the names of its two tab sheets and its client width.
    struct TCANopen_Form_Kind {
        const TCANopen_Layout* Layout;
        const std::string* File;
        int First_Text;
        int Delete_Question;
        const char* Sheet_Names[2];
        int Client_Width;
    };
    TCANopen_Table_Form(TComponent* AOwner, const std::string& Name,
                        const TCANopen_Form_Kind& Kind);

    TTabSheet* Sheet(int section) const { return sheets_[section]; }

private:
    TTable_Grid& active() const;
    TCANopen_Form_Kind kind_;
    TTabSheet* sheets_[2];
    std::unique_ptr<TTable_Grid> tables_[2];
    TTable_File_Load load_;
};
