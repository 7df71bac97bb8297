#pragma once
// Message boxes, the standard exception box and file dialogs, all through one dialog service:
// the back end installs a native one, tests a scripted one that answers from a queue and
// records every question.
#include "platform/base/Classes.h"
#include "platform/ui/core/Messages.h"

#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp,
    mbClose
};
class TMsgDlgButtons {
public:
    TMsgDlgButtons() = default;
    TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons) {
        for (auto b : buttons) Include(b);
    }
    bool Contains(TMsgDlgBtn b) const { return bits_ & (1u << unsigned(b)); }
    void Include(TMsgDlgBtn b) { bits_ |= 1u << unsigned(b); }
    void Exclude(TMsgDlgBtn b) { bits_ &= ~(1u << unsigned(b)); }
    bool Empty() const { return bits_ == 0; }
    // The buttons in the order a box shows them.
    std::vector<TMsgDlgBtn> List() const;
    friend bool operator==(const TMsgDlgButtons&, const TMsgDlgButtons&) = default;

private:
    unsigned bits_ = 0;
};
inline const TMsgDlgButtons mbYesNo{mbYes, mbNo};
inline const TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline const TMsgDlgButtons mbYesAllNoAllCancel{mbYes, mbYesToAll, mbNo, mbNoToAll, mbCancel};
inline const TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline const TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};
inline const TMsgDlgButtons mbAbortIgnore{mbAbort, mbIgnore};

// The modal result a button gives (mbOK -> mrOk ...).
int ModalResultOfButton(TMsgDlgBtn b);
// The classic captions: "Warning", "Error", "Information", "Confirmation".
std::string MsgDlgCaption(TMsgDlgType type);

// Shows a box and returns the modal result of the button chosen (mrYes, mrNo, mrOk ...).
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
               int HelpCtx = 0);
// An information box with OK, under the application title.
void ShowMessage(const std::string& Msg);

// --- the dialog service ----------------------------------------------------------------------
enum TDialogKind { dkMessageDlg, dkMessageBox, dkShowMessage, dkException, dkOpenFile, dkSaveFile };

struct TDialogRequest {
    TDialogKind Kind = dkMessageDlg;
    std::string Caption;
    std::string Text;
    TMsgDlgType Type = mtCustom;
    TMsgDlgButtons Buttons;
    int DefaultResult = 0; // modal result of the default button
    // File dialogs.
    std::string FileName;
    std::string Filter; // "Text files (*.txt)|*.txt|All files (*.*)|*.*"
    int FilterIndex = 1;
    std::string DefaultExt;
    std::string InitialDir;
    unsigned Options = 0;
};

struct TDialogAnswer {
    int ModalResult = 0;  // message boxes: mrOk, mrYes ...; file dialogs: mrOk or mrCancel
    std::string FileName; // file dialogs
    int FilterIndex = 1;
};

class TDialogService {
public:
    virtual ~TDialogService() = default;
    virtual TDialogAnswer Ask(const TDialogRequest& request) = 0;
};

// The installed service (not owned); without one, boxes print to stderr and answer with
// their default button, file dialogs are cancelled.
TDialogService& DialogService();
void SetDialogService(TDialogService* service);
// Ends mouse capture (WM_CANCELMODE) and asks the installed service.
TDialogAnswer AskDialogService(const TDialogRequest& request);

// Answers from a queue of prepared answers and records every question. With the queue
// empty it answers a box with its default (first) button, a file dialog with Cancel, and
// counts the question as unanswered.
class TScriptedDialogService : public TDialogService {
public:
    TDialogAnswer Ask(const TDialogRequest& request) override;
    void QueueAnswer(int modalResult);
    void QueueFile(const std::string& fileName, int filterIndex = 0);
    void QueueFileCancel();
    const std::vector<TDialogRequest>& Questions() const { return questions_; }
    int Unanswered() const { return unanswered_; }
    int Pending() const { return int(answers_.size()); }
    void Clear();
    // Runs before each answer (to act while the box is "open").
    std::function<void(const TDialogRequest&)> OnAsk;

private:
    std::deque<TDialogAnswer> answers_;
    std::vector<TDialogRequest> questions_;
    int unanswered_ = 0;
};

// --- file dialogs ----------------------------------------------------------------------------
constexpr unsigned ofReadOnly = 1u << 0;
constexpr unsigned ofOverwritePrompt = 1u << 1;
constexpr unsigned ofHideReadOnly = 1u << 2;
constexpr unsigned ofNoChangeDir = 1u << 3;
constexpr unsigned ofShowHelp = 1u << 4;
constexpr unsigned ofNoValidate = 1u << 5;
constexpr unsigned ofAllowMultiSelect = 1u << 6;
constexpr unsigned ofExtensionDifferent = 1u << 7;
constexpr unsigned ofPathMustExist = 1u << 8;
constexpr unsigned ofFileMustExist = 1u << 9;
constexpr unsigned ofCreatePrompt = 1u << 10;
constexpr unsigned ofEnableSizing = 1u << 19;

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* AOwner);
    // Shows the dialog; true when a file was chosen (FileName then holds it).
    virtual bool Execute();
    std::string FileName;
    std::string Filter;
    int FilterIndex = 1;
    std::string DefaultExt; // without the dot; added when the chosen name has no extension
    std::string InitialDir;
    std::string Title;
    unsigned Options = ofHideReadOnly | ofEnableSizing;

protected:
    virtual TDialogKind Kind() const { return dkOpenFile; }
};

class TSaveDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;

protected:
    TDialogKind Kind() const override { return dkSaveFile; }
};
