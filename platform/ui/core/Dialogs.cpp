#include "platform/ui/core/Dialogs.h"

#include "platform/ui/core/Forms.h"

#include <cstdio>

namespace {
// Without a back end or a test service: say what was asked and take the default.
class HeadlessDialogService : public TDialogService {
public:
    TDialogAnswer Ask(const TDialogRequest& r) override {
        std::fprintf(stderr, "[%s] %s\n", r.Caption.c_str(), r.Text.c_str());
        TDialogAnswer a;
        if (r.Kind == dkOpenFile || r.Kind == dkSaveFile)
            a.ModalResult = mrCancel;
        else
            a.ModalResult = r.DefaultResult ? r.DefaultResult : mrOk;
        return a;
    }
};

TDialogService* installed = nullptr;

int defaultResult(const TMsgDlgButtons& buttons) {
    if (buttons.Contains(mbOK)) return mrOk;
    if (buttons.Contains(mbYes)) return mrYes;
    auto list = buttons.List();
    return list.empty() ? mrOk : ModalResultOfButton(list.front());
}
} // namespace

std::vector<TMsgDlgBtn> TMsgDlgButtons::List() const {
    std::vector<TMsgDlgBtn> out;
    for (int b = mbYes; b <= mbClose; ++b)
        if (Contains(TMsgDlgBtn(b))) out.push_back(TMsgDlgBtn(b));
    return out;
}

int ModalResultOfButton(TMsgDlgBtn b) {
    switch (b) {
    case mbYes:
        return mrYes;
    case mbNo:
        return mrNo;
    case mbOK:
        return mrOk;
    case mbCancel:
        return mrCancel;
    case mbAbort:
        return mrAbort;
    case mbRetry:
        return mrRetry;
    case mbIgnore:
        return mrIgnore;
    case mbAll:
        return mrAll;
    case mbNoToAll:
        return mrNoToAll;
    case mbYesToAll:
        return mrYesToAll;
    case mbHelp:
        return mrNone;
    case mbClose:
        return mrClose;
    }
    return mrNone;
}

std::string MsgDlgCaption(TMsgDlgType type) {
    switch (type) {
    case mtWarning:
        return "Warning";
    case mtError:
        return "Error";
    case mtInformation:
        return "Information";
    case mtConfirmation:
        return "Confirmation";
    case mtCustom:
        break;
    }
    return Application->Title();
}

TDialogService& DialogService() {
    static HeadlessDialogService headless;
    return installed ? *installed : headless;
}

void SetDialogService(TDialogService* service) {
    installed = service;
}

TDialogAnswer AskDialogService(const TDialogRequest& request) {
    if (TControl* cap = GetCaptureControl()) cap->Perform(WM_CANCELMODE);
    ReleaseCapture();
    Application->CancelHint();
    return DialogService().Ask(request);
}

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
               int /*HelpCtx*/) {
    TDialogRequest r;
    r.Kind = dkMessageDlg;
    r.Caption = MsgDlgCaption(DlgType);
    r.Text = Msg;
    r.Type = DlgType;
    r.Buttons = Buttons;
    r.DefaultResult = defaultResult(Buttons);
    return AskDialogService(r).ModalResult;
}

void ShowMessage(const std::string& Msg) {
    TDialogRequest r;
    r.Kind = dkShowMessage;
    r.Caption = Application->Title();
    r.Text = Msg;
    r.Type = mtCustom;
    r.Buttons = {mbOK};
    r.DefaultResult = mrOk;
    AskDialogService(r);
}

// --- TScriptedDialogService ------------------------------------------------------------------
TDialogAnswer TScriptedDialogService::Ask(const TDialogRequest& request) {
    questions_.push_back(request);
    if (OnAsk) OnAsk(request);
    bool fileDialog = request.Kind == dkOpenFile || request.Kind == dkSaveFile;
    if (answers_.empty()) {
        ++unanswered_;
        TDialogAnswer a;
        if (fileDialog)
            a.ModalResult = mrCancel;
        else
            a.ModalResult =
                request.DefaultResult ? request.DefaultResult : defaultResult(request.Buttons);
        return a;
    }
    TDialogAnswer a = answers_.front();
    answers_.pop_front();
    if (fileDialog && a.FilterIndex == 0) a.FilterIndex = request.FilterIndex;
    return a;
}

void TScriptedDialogService::QueueAnswer(int modalResult) {
    TDialogAnswer a;
    a.ModalResult = modalResult;
    answers_.push_back(a);
}

void TScriptedDialogService::QueueFile(const std::string& fileName, int filterIndex) {
    TDialogAnswer a;
    a.ModalResult = mrOk;
    a.FileName = fileName;
    a.FilterIndex = filterIndex;
    answers_.push_back(a);
}

void TScriptedDialogService::QueueFileCancel() {
    QueueAnswer(mrCancel);
}

void TScriptedDialogService::Clear() {
    answers_.clear();
    questions_.clear();
    unanswered_ = 0;
}

// --- file dialogs ----------------------------------------------------------------------------
TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}

bool TOpenDialog::Execute() {
    TDialogRequest r;
    r.Kind = Kind();
    r.Caption = Title;
    r.FileName = FileName;
    r.Filter = Filter;
    r.FilterIndex = FilterIndex;
    r.DefaultExt = DefaultExt;
    r.InitialDir = InitialDir;
    r.Options = Options;
    TDialogAnswer a = AskDialogService(r);
    if (a.ModalResult != mrOk || a.FileName.empty()) return false;
    std::string name = a.FileName;
    if (!DefaultExt.empty()) {
        auto slash = name.find_last_of('/');
        std::string last = slash == std::string::npos ? name : name.substr(slash + 1);
        if (last.find('.') == std::string::npos) {
            std::string ext = DefaultExt;
            if (!ext.empty() && ext.front() == '.') ext.erase(0, 1);
            name += "." + ext;
        }
    }
    FileName = name;
    if (a.FilterIndex > 0) FilterIndex = a.FilterIndex;
    return true;
}
