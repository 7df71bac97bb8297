#include "shell/New_Project.h"

#include "platform/files/Files.h"
#include "platform/ui/core/Dialogs.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

#include <filesystem>

TFNew_Project* FNew_Project = nullptr;

TFNew_Project::TFNew_Project(TComponent* AOwner) : TFramed_Dialog(AOwner, "FNew_Project") {
    Label1 = Create_Label(this, this, "Label1", 16, 76);
    E_New_Proj = new TEdit(this);
    E_New_Proj->SetName("E_New_Proj");
    E_New_Proj->SetParent(this);
    E_New_Proj->SetBounds(16, 94, 297, 21);
    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    Btn_OK->OnClick = [this](TObject* Sender) { Btn_OKClick(Sender); };
    E_New_Proj->OnKeyPress = [this](TObject* Sender, char32_t& Key) {
        E_New_ProjKeyPress(Sender, Key);
    };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TFNew_Project::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(331, 162);
    Set_Lang();
}

void TFNew_Project::Set_Lang() {
    SetCaption(UI_Texts[25]);
    L_SW_Desc->SetCaption(UI_Texts[26]);
    Label1->SetCaption(UI_Texts[27]);
    Btn_OK->SetCaption(UI_Texts[28]);
    Btn_Cancel->SetCaption(UI_Texts[29]);
}

void TFNew_Project::FormShow(TObject* /*Sender*/) {
    E_New_Proj->SetText("");
    if (E_New_Proj->CanFocus()) E_New_Proj->SetFocus();
}

namespace {

// A name that would reach outside Projects_Dir, or is a path rather than one folder name.
bool namesAnotherFolder(const std::string& name) {
    return name.find('/') != std::string::npos || name.find('\\') != std::string::npos ||
           name.find("..") != std::string::npos || name == ".";
}

// The folder exists already, in any letter case (the model's file system ignores case).
bool projectExists(const std::string& name) {
    if (DirectoryExists(Project_Folder(name))) return true;
    for (const std::string& existing : ListSubFolders(Projects_Dir))
        if (AnsiCompareText(existing, name) == 0) return true;
    return false;
}

void errorBox(int text) {
    MessageDlg(UI_Texts[text], mtError, {mbOK});
}

} // namespace

void TFNew_Project::Btn_OKClick(TObject* /*Sender*/) {
    const std::string name = E_New_Proj->Text();
    if (Trim(name).empty()) return errorBox(32);
    if (namesAnotherFolder(name)) return errorBox(30);
    if (projectExists(name)) return errorBox(31);
    const std::string dir = Project_Folder(name);
    if (!CreateDir(dir)) return errorBox(30);
    if (!ForceDirectories(PathJoin(dir, "bin"))) {
        // Leave no half-made project behind that would block the name; it is still empty.
        std::error_code ec;
        std::filesystem::remove(dir, ec);
        return errorBox(30);
    }
    Project_Name = name;
    Project_Dir = dir;
    Set_Files();
    SetModalResult(mrOk);
}

void TFNew_Project::E_New_ProjKeyPress(TObject* Sender, char32_t& Key) {
    if (Key != U'\r') return;
    Key = 0;
    Btn_OKClick(Sender);
}
