#pragma once
// The DMX default-value dialog: per DMX channel the value sent until KNX supplies one, and a
// mnemonic, kept in DMX_Default_Values.xml.
#include "image/dialogs/DmxDefaultValues.h"
#include "shell/frame/DialogFrame.h"

#include <vector>

class TQorColumnGrid;
class TXMLDocument;

class TFDMXDefVal : public TFramed_Dialog {
public:
    explicit TFDMXDefVal(TComponent* AOwner);

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    // Column 0 the channel number, 1 the default value, 2 the mnemonic; row 0 the header.
    TQorColumnGrid* ACG_DMX_Def_Val;
    TXMLDocument* XML1;

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
    // Fills the grid from ParGen.xml's channel count and the default-value file; a file that
    // cannot be read is shown in the error box and closes the dialog.
    void FormShow(TObject* Sender);
    // True when every default value is 0..255; otherwise shows the first bad row.
    bool Controllo_dati();
    // Saves the file and closes with OK when the values pass.
    void Btn_OKClick(TObject* Sender);

private:
    void Load_Grid();
    // The rows of the file when shown: the channels past the grid are saved as they were.
    std::vector<TDMX_Default_Row> file_rows_;
};

extern TFDMXDefVal* FDMXDefVal;
