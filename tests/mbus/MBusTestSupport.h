#pragma once
// A project folder of its own for the M-Bus windows and dialogs.
#include "tests/ProjectFolderTest.h"

#include <functional>

class MBusWindowTest : public ProjectFolderTest {
protected:
    MBusWindowTest() : ProjectFolderTest("mbus_window_", "QS40510") {}
    // Shows form modally, runs action inside it and returns how it closed (Cancel when the
    // action left it open).
    static int Show(TCustomForm* form, std::function<void()> action) {
        return uitest::runModal(form, [&](TCustomForm* f) {
            action();
            if (f->ModalResult() == mrNone) f->SetModalResult(mrCancel);
        });
    }
};
