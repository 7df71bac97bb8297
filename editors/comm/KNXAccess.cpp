#include "editors/comm/KNXAccess.h"

#include "grid/core/QorColumnGrid.h"
#include "platform/ui/core/Dialogs.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFKNXAccess* FKNXAccess = nullptr;

namespace {

constexpr int Read_Rows = 512;
constexpr int Read_Position = 6;

// Headers of the hidden grid: N, Enable, Source Add, Dest/Group, Format, TimeOut, Position,
// Bit Mode, Length, Mnemonic.
constexpr int Read_Headers[] = {176, 338, 177, 178, 181, 186, 187, 188, 189, 190};

bool isDmx(int type) {
    return type == 11 || type == 1011;
}

TQorColumnGrid* makeGrid(TFKNXAccess* form, const std::string& name) {
    auto* g = Create_Control<TQorColumnGrid>(form, form, name);
    g->SetAlign(alClient);
    return g;
}

} // namespace

TFKNXAccess::TFKNXAccess(TComponent* AOwner) : TFramed_Dialog(AOwner, "FKNXAccess") {
    ACG_KNX_in_Write = makeGrid(this, "ACG_KNX_in_Write");
    write_ = std::make_unique<TTable_Grid>(ACG_KNX_in_Write, New_KNX_Table());
    for (std::size_t i = 0; i < KNX_Access_Columns.size(); ++i) {
        const TKnx_Column& c = KNX_Access_Columns[i];
        write_->Set_Column(int(i) + 1, c.Width, c.Editor, c.Items);
    }
    ACG_KNX_in_Read = makeGrid(this, "ACG_KNX_in_Read");
    ACG_KNX_in_Read->SetVisible(false);
    std::vector<bool> readChecks(std::size(Read_Headers) - 1, false);
    readChecks[0] = true;
    read_ = std::make_unique<TTable_Grid>(ACG_KNX_in_Read,
                                          TRow_Table(Read_Rows, readChecks, KNX_Enable));
    read_->Set_Column(KNX_Enable, 50, edDataCheckBox);
    read_->Set_Column(Read_Position, 55, edComboList);
    write_->Select_By_Row_Number();
    read_->Select_By_Row_Number();

    Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow);
    for (TFrame_Button* b : {Btn_OK, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow})
        b->SetEnabled(true);
    Btn_OK->OnClick = [this](TObject* Sender) { Btn_OKClick(Sender); };
    Btn_DelRow->OnClick = [this](TObject* Sender) { Btn_DelRowClick(Sender); };
    Btn_InsRow->OnClick = [this](TObject* Sender) { Btn_InsRowClick(Sender); };
    Btn_CopyRow->OnClick = [this](TObject* Sender) { Btn_CopyRowClick(Sender); };
    Btn_PasteRow->OnClick = [this](TObject* Sender) { Btn_PasteRowClick(Sender); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TFKNXAccess::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientHeight(337);
    Set_DMX_Layout(isDmx(Product_Type()));
    Set_Lang();
}

void TFKNXAccess::Set_DMX_Layout(bool Fixed) {
    // The DMX variants leave out three columns and so need less width.
    SetClientWidth(Fixed ? 1126 : 1205);
    for (int col : {int(KNX_APCI), int(KNX_On_Command), int(KNX_On_Change)}) {
        if (Fixed && !ACG_KNX_in_Write->IsHiddenColumn(col)) ACG_KNX_in_Write->HideColumn(col);
        if (!Fixed && ACG_KNX_in_Write->IsHiddenColumn(col)) ACG_KNX_in_Write->UnHideColumn(col);
    }
    ACG_KNX_in_Write->SetAllColWidths(KNX_TimeOut, Fixed ? 200 : 96);
}

void TFKNXAccess::FormShow(TObject* /*Sender*/) {
    write_->Start_Showing();
    read_->Start_Showing();
    write_->Table().Reset();
    write_->Show();
    read_->Table().Reset();
    read_->Show();
    const int type = Product_Type();
    try {
        Settings = KNX_Settings(type, File_ParGen, Settings);
    } catch (const Exception& e) {
        // A ParGen.xml that cannot be read leaves the product type's defaults.
        Application->ShowException(e);
        Settings = KNX_Settings(type, std::string(), Settings);
    }
    if (isDmx(type)) Set_DMX_Layout(Settings.DMX_Fixed());
    const std::vector<std::string> positions = Position_Items(Settings.Max_Num_Byte);
    write_->Set_Column(KNX_Position, KNX_Access_Columns[KNX_Position - 1].Width, edComboList,
                       positions);
    read_->Set_Column(Read_Position, 55, edComboList, positions);

    const TKnx_Load load = Load_KNX_Table(write_->Table(), File_KNX_SetAccess);
    write_->Show();
    Do_Copy_In_Read = false;
    Do_Copy_In_Write = false;
    load_.Start();
    load_.Failed(load.Error);
    load_.Report();
}

bool TFKNXAccess::Controllo_dati() {
    return Show_Check_Result(Check_KNX_Table(write_->Read(), Settings));
}

void TFKNXAccess::Btn_OKClick(TObject* /*Sender*/) {
    if (!Controllo_dati() || !load_.May_Replace()) return;
    Save_KNX_Table(write_->Read(), Settings, File_KNX_SetAccess);
    SetModalResult(mrOk);
}

void TFKNXAccess::Btn_DelRowClick(TObject* /*Sender*/) {
    write_->Delete_Row(227);
}

void TFKNXAccess::Btn_InsRowClick(TObject* /*Sender*/) {
    write_->Insert_Row();
}

void TFKNXAccess::Btn_CopyRowClick(TObject* /*Sender*/) {
    if (!write_->Copy_Row()) return;
    Do_Copy_In_Write = true;
    Do_Copy_In_Read = false;
}

void TFKNXAccess::Btn_PasteRowClick(TObject* /*Sender*/) {
    write_->Paste_Row(Do_Copy_In_Write);
}

void TFKNXAccess::Set_Lang() {
    Set_Dialog_Texts(this, 168, {Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow});
    Btn_CopyRow->SetCaption(UI_Texts[877]);
    Btn_PasteRow->SetCaption(UI_Texts[878]);
    write_->Set_Header(0, UI_Texts[191]);
    for (std::size_t i = 0; i < KNX_Access_Columns.size(); ++i)
        write_->Set_Header(int(i) + 1, UI_Texts[KNX_Access_Columns[i].Header_Entry]);
    for (std::size_t i = 0; i < std::size(Read_Headers); ++i)
        read_->Set_Header(int(i), UI_Texts[Read_Headers[i]]);
}
