#pragma once
// The DeviceNet byte offsets: the slaves of the saved network in the grid ACG_DN_Slaves and the
// positions and mnemonics of the selected slave's input and output bytes in ACG_ByteIN and
// ACG_ByteOUT, saved to DNETM_DefOff.xml.
#include "editors/comm/TableGrid.h"
#include "editors/frames/tables/DNetTables.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Splitter.h"
#include "shell/frame/DialogFrame.h"

#include <string>
#include <vector>

class TQorColumnGrid;

class TFDefOffset : public TFramed_Dialog {
public:
    explicit TFDefOffset(TComponent* AOwner);

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TPanel* Panel1; // the slave list at the top
    TSplitter* Splitter1;
    TPanel* Panel3; // the byte offsets below it
    TPageControl* PageControl1;
    TTabSheet* TabSheet1;
    TTabSheet* TabSheet2;
    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;
    TQorColumnGrid* ACG_DN_Slaves;
    TQorColumnGrid* ACG_ByteIN;
    TQorColumnGrid* ACG_ByteOUT;

    // The slaves of the network file, in its order.
    std::vector<TSlave_DN> List_Slaves_DN;
    // The index in List_Slaves_DN of the slave whose bytes the byte grids show; -1 while none.
    int Slave_Before_Select = -1;
    // The positions offered for input and output bytes (0 .. n - 1).
    int MAX_BYTE_IN = 0;
    int MAX_BYTE_OUT = 0;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Refresh_Panel_Backgrounds();
    void Load_Slave_DN();
    void Load_Offset_Slave_DN();
    void Select_First();
    // A click on the slave grid: keeps the bytes shown with their slave and shows the bytes of
    // the slave clicked.
    void ACG_DN_SlavesClick(TObject* Sender);
    void Update_Slave_DN();
    // Copies the byte grids back into the slave at Slave_Before_Select.
    bool Save_Data_ByteIN_ByteOUT();
    // True when no output position is used twice; otherwise shows the error.
    bool Check_Data();
    void Save_Offset_Slave_DN();
    // The OK button.
    void bitbtn1Click(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();

private:
    TTable_File_Load load_;
};

extern TFDefOffset* FDefOffset;
