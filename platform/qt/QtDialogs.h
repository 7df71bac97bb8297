#pragma once
// The native dialog service: message boxes and file dialogs shown with Qt.
#include "platform/ui/core/Dialogs.h"

class TQtDialogService : public TDialogService {
public:
    TDialogAnswer Ask(const TDialogRequest& request) override;
};

// "Text (*.txt)|*.txt|All|*.*" as Qt name filters ("Text (*.txt) (*.txt)", "All (*.*)").
std::vector<std::string> FilterToQtNameFilters(const std::string& filter);
