#include "platform/qt/QtDialogs.h"

#include "platform/qt/QtWindowPeer.h"
#include "platform/ui/core/Forms.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {
// While a native dialog runs its own loop, the program's timers, posted messages and thread
// calls go on, as they do under a classic message box.
class PumpWhileOpen {
public:
    PumpWhileOpen() {
        QObject::connect(&timer, &QTimer::timeout, [] {
            try {
                Application->DispatchPending();
            } catch (...) {
                Application->HandleException(Application);
            }
        });
        timer.start(10);
    }

private:
    QTimer timer;
};

// The window of the active form, which owns a box or file dialog shown now.
QWidget* activeOwner() {
    TCustomForm* form = Screen ? Screen->ActiveForm() : nullptr;
    if (!form && Application) form = Application->MainForm();
    auto peer = form && form->Showing() ? dynamic_cast<TQtWindowPeer*>(form->Peer()) : nullptr;
    return peer && peer->Widget() ? peer->Widget()->window() : nullptr;
}

QMessageBox::Icon iconOf(TMsgDlgType type) {
    switch (type) {
    case mtWarning:
        return QMessageBox::Warning;
    case mtError:
        return QMessageBox::Critical;
    case mtInformation:
        return QMessageBox::Information;
    case mtConfirmation:
        return QMessageBox::Question;
    default:
        return QMessageBox::NoIcon;
    }
}

const char* buttonText(TMsgDlgBtn b) {
    switch (b) {
    case mbYes:
        return "&Yes";
    case mbNo:
        return "&No";
    case mbOK:
        return "OK";
    case mbCancel:
        return "Cancel";
    case mbAbort:
        return "&Abort";
    case mbRetry:
        return "&Retry";
    case mbIgnore:
        return "&Ignore";
    case mbAll:
        return "&All";
    case mbNoToAll:
        return "N&o to All";
    case mbYesToAll:
        return "Yes to &All";
    case mbHelp:
        return "&Help";
    case mbClose:
        return "&Close";
    }
    return "";
}

TDialogAnswer askBox(const TDialogRequest& r) {
    QMessageBox box(iconOf(r.Type), QString::fromStdString(r.Caption),
                    QString::fromStdString(r.Text), QMessageBox::NoButton, activeOwner());
    std::vector<std::pair<QPushButton*, int>> buttons;
    for (TMsgDlgBtn b : r.Buttons.List()) {
        int result = ModalResultOfButton(b);
        auto role = result == mrCancel || result == mrNo ? QMessageBox::RejectRole
                                                         : QMessageBox::AcceptRole;
        QPushButton* button = box.addButton(QString::fromUtf8(buttonText(b)), role);
        buttons.emplace_back(button, result);
        if (result == r.DefaultResult) box.setDefaultButton(button);
        if (result == mrCancel) box.setEscapeButton(button);
    }
    PumpWhileOpen pump;
    box.exec();
    TDialogAnswer a;
    a.ModalResult = mrCancel;
    for (auto& [button, result] : buttons)
        if (box.clickedButton() == button) a.ModalResult = result;
    return a;
}
} // namespace

std::vector<std::string> FilterToQtNameFilters(const std::string& filter) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= filter.size()) {
        auto bar = filter.find('|', start);
        parts.push_back(
            filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    std::vector<std::string> out;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string patterns = parts[i + 1];
        for (char& c : patterns)
            if (c == ';') c = ' ';
        out.push_back(parts[i] + " (" + patterns + ")");
    }
    return out;
}

TDialogAnswer TQtDialogService::Ask(const TDialogRequest& r) {
    if (r.Kind != dkOpenFile && r.Kind != dkSaveFile) return askBox(r);
    QFileDialog dialog(activeOwner(), QString::fromStdString(r.Caption),
                       QString::fromStdString(r.InitialDir));
    dialog.setAcceptMode(r.Kind == dkSaveFile ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(r.Kind == dkSaveFile ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (r.Kind == dkSaveFile && !(r.Options & ofOverwritePrompt))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    QStringList filters;
    for (const auto& f : FilterToQtNameFilters(r.Filter)) filters << QString::fromStdString(f);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        int i = std::clamp(r.FilterIndex, 1, int(filters.size())) - 1;
        dialog.selectNameFilter(filters[i]);
    }
    if (!r.FileName.empty()) dialog.selectFile(QString::fromStdString(r.FileName));
    TDialogAnswer a;
    a.ModalResult = mrCancel;
    PumpWhileOpen pump;
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        a.ModalResult = mrOk;
        a.FileName = dialog.selectedFiles().front().toStdString();
        a.FilterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    }
    return a;
}
