#include "shell/OpenConf.h"

#include "platform/files/Files.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFOpenConf* FOpenConf = nullptr;

namespace {
constexpr int Client_Width = 377;
constexpr int Client_Height = 351;
} // namespace

TFOpenConf::TFOpenConf(TComponent* AOwner) : TFramed_Dialog(AOwner, "FOpenConf") {
    SetClientSize(Client_Width, Client_Height);
    Label1 = Create_Label(this, this, "Label1", 16, 76);
    ListBox1 = new TListBox(this);
    ListBox1->SetName("ListBox1");
    ListBox1->SetParent(this);
    ListBox1->SetBounds(16, 94, 345, 211);
    ListBox1->SetAnchors({akLeft, akTop, akRight, akBottom});
    Btn_OK = Add_Button("Btn_OK", 16, mrOk);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    ListBox1->OnClick = [this](TObject* Sender) { ListBox1Click(Sender); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TFOpenConf::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(Client_Width, Client_Height);
    Set_Lang();
}

void TFOpenConf::Set_Lang() {
    SetCaption(UI_Texts[33]);
    L_SW_Desc->SetCaption(UI_Texts[34]);
    Label1->SetCaption(UI_Texts[35]);
    Btn_OK->SetCaption(UI_Texts[36]);
    Btn_Cancel->SetCaption(UI_Texts[37]);
}

void TFOpenConf::FormShow(TObject* /*Sender*/) {
    Load_Existing_Configuration();
    // The open project's folder name: Project_Dir after Projects_Dir and its separator.
    const std::string prefix = PathJoin(Projects_Dir, "");
    const std::string& dir = Project_Dir;
    std::string open;
    if (dir.size() > prefix.size() && dir.compare(0, prefix.size(), prefix) == 0)
        open = dir.substr(prefix.size());
    int index = open.empty() ? -1 : Search_Open_Conf(open);
    if (index < 0 && SL.Count() > 0) index = 0;
    ListBox1->SetItemIndex(index);
    // With no project in the list nothing can be opened, not even the name of a past showing.
    Name_Conf = index >= 0 ? SL[index] : std::string();
}

void TFOpenConf::Load_Existing_Configuration() {
    SL.Clear();
    for (const std::string& name : ListSubFolders(Projects_Dir)) SL.Add(name);
    ListBox1->Items()->Assign(&SL);
}

int TFOpenConf::Search_Open_Conf(const std::string& Name) const {
    for (int i = 0; i < SL.Count(); ++i)
        if (AnsiCompareText(SL[i], Name) == 0) return i;
    return -1;
}

void TFOpenConf::ListBox1Click(TObject* /*Sender*/) {
    const int index = ListBox1->ItemIndex();
    if (index >= 0 && index < SL.Count()) Name_Conf = SL[index];
}
