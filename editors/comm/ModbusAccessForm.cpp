#include "editors/comm/ModbusAccessForm.h"

#include "grid/core/QorColumnGrid.h"
#include "platform/ui/core/Dialogs.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

#include <map>

namespace {

int widthOf(const std::string& attribute) {
    static const std::map<std::string, int> widths = {
        {"Enable", 50},   {"IP_Address", 110}, {"Port", 50},   {"Slave_ID", 60},
        {"Type", 120},    {"Address", 60},     {"NPoint", 55}, {"UseFC1516", 85},
        {"PollTime", 65}, {"OnChange", 70},    {"OnCMD", 60},  {"MaxError", 70},
        {"Position", 60}, {"Bit", 60},         {"Swap", 50},   {"Mnemonic", 120},
    };
    return widths.at(attribute);
}

std::unique_ptr<TTable_Grid> makeTable(TModbus_Access_Form* form, TTabSheet* page,
                                       const std::string& name,
                                       const std::vector<TModbus_Column>& columns, TRow_Table rows,
                                       TQorColumnGrid*& grid) {
    grid = Create_Control<TQorColumnGrid>(form, page, name);
    grid->SetAlign(alClient);
    auto table = std::make_unique<TTable_Grid>(grid, std::move(rows));
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const TModbus_Column& c = columns[i];
        table->Set_Column(int(i) + 1, widthOf(c.Attribute), c.Editor, c.Items);
        if (c.Editor == edDataCheckBox) grid->Columns()->Items(int(i) + 1)->SetAlignment(taCenter);
    }
    table->Select_By_Row_Number();
    return table;
}

} // namespace

TModbus_Access_Form::TModbus_Access_Form(TComponent* AOwner, const std::string& Name,
                                         const TModbus_Form_Kind& Kind)
    : TFramed_Dialog(AOwner, Name), kind_(Kind) {
    PageControl1 = Create_Page_Control(this, this, "PageControl1", alClient);
    TS_Modbus_Read = Create_Tab_Sheet(this, PageControl1, "TS_Modbus_Read");
    TS_Modbus_Write = Create_Tab_Sheet(this, PageControl1, "TS_Modbus_Write");
    TModbus_Tables tables = New_Modbus_Tables(kind_.Master);
    read_ = makeTable(this, TS_Modbus_Read, "ACG_Modbus_Read", Modbus_Read_Columns(kind_.Master),
                      std::move(tables.Read), ACG_Modbus_Read);
    write_ =
        makeTable(this, TS_Modbus_Write, "ACG_Modbus_Write", Modbus_Write_Columns(kind_.Master),
                  std::move(tables.Write), ACG_Modbus_Write);

    Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow);
    for (TFrame_Button* b : {Btn_OK, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow})
        b->SetEnabled(true);
    Btn_DelRow->OnClick = [this](TObject* Sender) { Btn_DelRowClick(Sender); };
    Btn_CopyRow->OnClick = [this](TObject* Sender) { Btn_CopyRowClick(Sender); };
    Btn_PasteRow->OnClick = [this](TObject* Sender) { Btn_PasteRowClick(Sender); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TModbus_Access_Form::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(kind_.Client_Width, 337);
    Set_Lang();
}

void TModbus_Access_Form::Set_Lang() {
    const int t = kind_.First_Text;
    Set_Dialog_Texts(this, t, {Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow});
    // These two have no entry of their own.
    Btn_CopyRow->SetCaption("Copy Row");
    Btn_PasteRow->SetCaption("Paste Row");
    TS_Modbus_Read->SetCaption(UI_Texts[t + 6]);
    TS_Modbus_Write->SetCaption(UI_Texts[t + 7]);
    read_->Set_Header(0, UI_Texts[kind_.Read_Row_Number]);
    write_->Set_Header(0, UI_Texts[kind_.Write_Row_Number]);
    const std::vector<TModbus_Column>& reads = Modbus_Read_Columns(kind_.Master);
    for (std::size_t i = 0; i < reads.size(); ++i)
        read_->Set_Header(int(i) + 1, UI_Texts[reads[i].Header_Entry]);
    const std::vector<TModbus_Column>& writes = Modbus_Write_Columns(kind_.Master);
    for (std::size_t i = 0; i < writes.size(); ++i)
        write_->Set_Header(int(i) + 1, UI_Texts[writes[i].Header_Entry]);
}

void TModbus_Access_Form::FormShow(TObject* /*Sender*/) {
    read_->Start_Showing();
    write_->Start_Showing();
    PageControl1->SetActivePage(TS_Modbus_Read);
    NByte_IN = Modbus_Image_Bytes;
    NByte_OUT = Modbus_Image_Bytes;
    TModbus_Tables tables = New_Modbus_Tables(kind_.Master);
    const TModbus_Load load = Load_Modbus_Tables(tables, kind_.Master, *kind_.File);
    read_->Table() = std::move(tables.Read);
    write_->Table() = std::move(tables.Write);
    read_->Show();
    write_->Show();
    Do_Copy_In_Read = false;
    Do_Copy_In_Write = false;
    load_.Start();
    load_.Failed(load.Error);
    load_.Report();
}

bool TModbus_Access_Form::Controllo_dati() {
    const TModbus_Tables tables{read_->Read(), write_->Read()};
    return Show_Check_Result(Check_Modbus_Tables(tables, kind_.Master));
}

void TModbus_Access_Form::OK() {
    if (!Controllo_dati() || !load_.May_Replace()) return;
    Save_Modbus_Tables({read_->Read(), write_->Read()}, kind_.Master, *kind_.File);
    SetModalResult(mrOk);
}

TTable_Grid& TModbus_Access_Form::shown() {
    return PageControl1->ActivePage() == TS_Modbus_Write ? *write_ : *read_;
}

void TModbus_Access_Form::Btn_DelRowClick(TObject* /*Sender*/) {
    shown().Delete_Row(kind_.Delete_Question);
}

void TModbus_Access_Form::Insert_Row() {
    shown().Insert_Row();
}

void TModbus_Access_Form::Btn_CopyRowClick(TObject* /*Sender*/) {
    if (!shown().Copy_Row()) return;
    const bool write = &shown() == write_.get();
    Do_Copy_In_Write = write;
    Do_Copy_In_Read = !write;
}

void TModbus_Access_Form::Btn_PasteRowClick(TObject* /*Sender*/) {
    shown().Paste_Row(&shown() == write_.get() ? Do_Copy_In_Write : Do_Copy_In_Read);
}
