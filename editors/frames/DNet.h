#pragma once
// The DeviceNet network: the slave list of DNetTables.h in the grid ASG, with its row buttons,
// the check on OK and the save of DNETM_Net.xml.
#include "editors/comm/TableGrid.h"
#include "shell/frame/DialogFrame.h"

#include <memory>

class TQorColumnGrid;

class TFDNet : public TFramed_Dialog {
public:
    explicit TFDNet(TComponent* AOwner);

    TQorColumnGrid* ASG;
    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TFrame_Button* Btn_DelRow;
    TFrame_Button* Btn_InsRow;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    // True when the list is valid; otherwise shows the first error.
    bool controllo_dati();
    // The OK button.
    void bitbtn1Click(TObject* Sender);
    void Btn_DelRow_Click(TObject* Sender);
    void Btn_InsRowClick(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();

private:
    std::unique_ptr<TTable_Grid> table_;
    TTable_File_Load load_;
};

extern TFDNet* FDNet;
