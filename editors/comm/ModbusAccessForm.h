#pragma once
// What the Modbus RTU and TCP master access-table dialogs share: the read and the write table
// of ModbusMasterTables.h on two pages, the row buttons acting on the page shown, the check on
// OK and the save of the file.
#include "editors/comm/ModbusMasterTables.h"
#include "editors/comm/TableGrid.h"
#include "shell/frame/DialogFrame.h"

#include <memory>
#include <string>

class TQorColumnGrid;

class TModbus_Access_Form : public TFramed_Dialog {
public:
    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TFrame_Button* Btn_DelRow;
    TFrame_Button* Btn_InsRow;
    TFrame_Button* Btn_CopyRow;
    TFrame_Button* Btn_PasteRow;
    TPageControl* PageControl1;
    TTabSheet* TS_Modbus_Read;
    TTabSheet* TS_Modbus_Write;
    TQorColumnGrid* ACG_Modbus_Read;
    TQorColumnGrid* ACG_Modbus_Write;

    // A row was copied in this showing, from the grid named.
    bool Do_Copy_In_Read = false;
    bool Do_Copy_In_Write = false;
    // Bytes of the read and of the write byte image, set when shown.
    int NByte_IN = Modbus_Image_Bytes;
    int NByte_OUT = Modbus_Image_Bytes;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    // True when every enabled row of both tables is valid; otherwise shows the first error.
    bool Controllo_dati();
    void Btn_DelRowClick(TObject* Sender);
    void Btn_CopyRowClick(TObject* Sender);
    void Btn_PasteRowClick(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();

protected:
    // What sets the twins apart: the master, the path of its file, the first of the UI_Texts
    // entries of caption, subtitle, OK, Cancel, Delete Row, Insert Row and the two pages (in
    // this order), the headers of the two row-number columns, the delete question and the
    // client width.
    struct TModbus_Form_Kind {
        TModbus_Master Master;
        const std::string* File;
        int First_Text;
        int Read_Row_Number;
        int Write_Row_Number;
        int Delete_Question;
        int Client_Width;
    };
    TModbus_Access_Form(TComponent* AOwner, const std::string& Name, const TModbus_Form_Kind& Kind);

    // OK: check, write the file and close.
    void OK();
    // Insert Row on the grid of the page shown.
    void Insert_Row();

private:
    TTable_Grid& shown();
    TModbus_Form_Kind kind_;
    std::unique_ptr<TTable_Grid> read_;
    std::unique_ptr<TTable_Grid> write_;
    TTable_File_Load load_;
};
