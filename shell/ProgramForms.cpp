#include "shell/ProgramForms.h"

#include "editors/comm/KNXAccess.h"
#include "editors/comm/Modbus_TCP_Master_Set_Access.h"
#include "editors/comm/ParGen.h"
#include "editors/comm/SetAccess.h"
#include "editors/frames/CAN_Rec_Frames.h"
#include "editors/frames/CAN_Send_Frame.h"
#include "editors/frames/DNet.h"
#include "editors/frames/DefOffset.h"
#include "editors/frames/ReceiveCAN.h"
#include "editors/frames/ReceiveJ1939.h"
#include "editors/frames/ReceiveNMEA.h"
#include "editors/frames/Set_PDO_Access.h"
#include "editors/frames/Set_SDO_Client_Access.h"
#include "editors/frames/Set_SDO_Server_Access.h"
#include "editors/frames/TransmitCAN.h"
#include "editors/frames/TransmitJ1939.h"
#include "editors/frames/TransmitNMEA.h"
#include "editors/frames/_Rec_Info.h"
#include "editors/frames/_Sen_Info.h"
#include "image/dialogs/DMXDefVal.h"
#include "image/dialogs/ProfinetFileName.h"
#include "mbus/InsertKeyWireless.h"
#include "mbus/Meter_Bus.h"
#include "mbus/ModbusStartAdd_SD.h"
#include "mbus/NewIDNode.h"
#include "mbus/ScanDecode.h"
#include "mbus/ScanModbusStart.h"
#include "shell/About.h"
#include "shell/BootTCP.h"
#include "shell/New_Project.h"
#include "shell/OpenConf.h"
#include "shell/SoftOptions.h"
#include "shell/VelmareFirmWare.h"
#include "treeview/LazyTree.h"

namespace {

// Calls f on the instance pointer of every form, in creation order.
template <class F> void forEachForm(F&& f) {
    f(FVelmareFirmWare);
    f(FBootTCP);
    f(FNew_Project);
    f(FOpenConf);
    f(FAbout);
    f(FSoftOptions);
    f(FParGen);
    f(FKNXAccess);
    f(FSetAccess);
    f(FModbus_TCP_Master_Set_Access);
    f(FCAN_Rec_Frames);
    f(FCAN_Send_Frame);
    f(F_Rec_Info);
    f(F_Sen_Info);
    f(FSet_SDO_Server_Access);
    f(FSet_SDO_Client_Access);
    f(FSet_PDO_Access);
    f(FDNet);
    f(FDefOffset);
    f(FReceiveJ1939);
    f(FTransmitJ1939);
    f(FMeter_Bus);
    f(FNewIDNode);
    f(FDMXDefVal);
    f(FProfinetFileName);
    f(FReceiveCAN);
    f(FTransmitCAN);
    f(FInsertKeyWireless);
    f(FScanDecode);
    f(FScanModbusStart);
    f(FModbusStartAdd_SD);
    f(FReceiveNMEA);
    f(FTransmitNMEA);
}

// The scan-and-decode window's two trees, with the settings its form gives them; the window
// owns and frees them.
void Create_Scan_Trees() {
    for (const char* name : {"VST", "VST_Wireless"}) {
        auto* tree = new TLazyStringTree(FScanDecode);
        tree->SetName(name);
        tree->SetNodeDataSize(8);
        TCustomStringTreeOptions* o = tree->TreeOptions();
        o->SetAnimationOptions({toAnimatedToggle});
        o->SetAutoOptions({toAutoDropExpand, toAutoTristateTracking});
        o->SetMiscOptions({toCheckSupport, toFullRepaintOnResize, toInitOnSave, toToggleOnDblClick,
                           toWheelPanning});
        o->SetPaintOptions(
            {toShowButtons, toShowRoot, toShowTreeLines, toThemeAware, toUseBlendedImages});
        o->SetSelectionOptions({toMultiSelect, toCenterScrollIntoView});
    }
}

} // namespace

void Create_Program_Forms() {
    forEachForm([](auto*& form) { Application->CreateForm(form); });
    Create_Scan_Trees();
}

void Destroy_Program_Forms() {
    std::vector<TCustomForm*> forms;
    forEachForm([&forms](auto*& form) {
        forms.push_back(form);
        form = nullptr;
    });
    for (auto it = forms.rbegin(); it != forms.rend(); ++it) delete *it;
}
