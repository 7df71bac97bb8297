// The program: starts the application on the Qt back end, creates the forms and runs the loop.
#include "app/DesktopProbe.h"
#include "controls/GridDropDownEditorsSetUp.h"
#include "grid/core/GridLibrary.h"
#include "platform/base/Memory.h"
#include "platform/qt/QtBackend.h"
#include "platform/ui/core/Forms.h"
#include "platform/ui/core/Timers.h"
#include "shell/About.h"
#include "shell/ProgramForms.h"
#include "shell/VelmareFirmWare.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
// Creates the forms of the program; the first one created is the main window.
void CreateForms() {
    Create_Program_Forms();
}

unsigned envMs(const char* name) {
    const char* v = std::getenv(name);
    return v ? unsigned(StrToIntDef(v, 0)) : 0;
}

// For unattended runs (the screenshot test): KNXGW_READY_AFTER_MS prints "ready" that long
// after the main window is shown, KNXGW_ABOUT_AFTER_MS opens the About box modally after that
// long, KNXGW_QUIT_AFTER_MS ends the program after that long, KNXGW_POINT_AT_MS moves the
// mouse pointer onto the middle of the main window's control named KNXGW_POINT_AT after that
// long.
void armSelfTestTimers() {
    if (unsigned ms = envMs("KNXGW_READY_AFTER_MS")) {
        auto* ready = new TTimer(Application);
        ready->SetInterval(ms);
        ready->OnTimer = [ready](TObject*) {
            ready->SetEnabled(false);
            std::printf("ready\n");
            std::fflush(stdout);
        };
    }
    if (unsigned ms = envMs("KNXGW_ABOUT_AFTER_MS")) {
        auto* about = new TTimer(Application);
        about->SetInterval(ms);
        about->OnTimer = [about](TObject*) {
            about->SetEnabled(false);
            if (FAbout) FAbout->ShowModal();
        };
    }
    const char* pointAt = std::getenv("KNXGW_POINT_AT");
    if (unsigned ms = envMs("KNXGW_POINT_AT_MS"); ms && pointAt && FVelmareFirmWare) {
        auto* point = new TTimer(Application);
        point->SetInterval(ms);
        std::string name = pointAt;
        point->OnTimer = [point, name](TObject*) {
            point->SetEnabled(false);
            auto* target = dynamic_cast<TControl*>(FVelmareFirmWare->FindComponent(name));
            if (!target) return;
            TPoint p = target->ClientToScreen({target->Width() / 2, target->Height() / 2});
            SetCursorPos(p.X, p.Y);
        };
    }
    if (unsigned ms = envMs("KNXGW_QUIT_AFTER_MS")) {
        auto* quit = new TTimer(Application);
        quit->SetInterval(ms);
        quit->OnTimer = [](TObject*) { Application->Terminate(); };
    }
}
} // namespace

int main(int argc, char** argv) {
    keepFreedMemory();
    InitQtBackend(argc, argv);
    Application->SetExeName(argc > 0 ? argv[0] : "knxgwconfig");
    Application->SetTitle("knxgwconfig");
    // The grid library's process-wide set-up comes before the first form.
    GridLibraryInitialize();
    GridDropDownEditorsInitialize();
    CreateForms();
    armSelfTestTimers();
    Start_Desktop_Probe();
    Application->Run();
    // All the program keeps is saved by now (the settings when the main window closed, the
    // project files on each OK). Freeing the forms and their grids cell by cell would keep the
    // process alive for a second after its window has gone; the system takes it all back at
    // once.
    std::fflush(nullptr);
    std::_Exit(0);
}
