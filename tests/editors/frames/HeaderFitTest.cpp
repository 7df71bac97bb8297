// Every column header of every table dialog is fully visible at the dialog's default size: its
// text, in its header font, fits on one line inside the header cell.
#include "editors/comm/KNXAccess.h"
#include "editors/comm/Modbus_TCP_Master_Set_Access.h"
#include "editors/comm/SetAccess.h"
#include "editors/frames/DNet.h"
#include "editors/frames/ReceiveCAN.h"
#include "editors/frames/ReceiveJ1939.h"
#include "editors/frames/ReceiveNMEA.h"
#include "editors/frames/Set_PDO_Access.h"
#include "editors/frames/Set_SDO_Client_Access.h"
#include "editors/frames/Set_SDO_Server_Access.h"
#include "editors/frames/TransmitCAN.h"
#include "editors/frames/TransmitJ1939.h"
#include "editors/frames/TransmitNMEA.h"
#include "grid/core/QorColumnGrid.h"
#include "image/dialogs/DMXDefVal.h"
#include "platform/testing/UiTest.h"
#include "shell/state/ProgramState.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// The header cells of Grid whose text does not fit: "text (needed > available)".
std::vector<std::string> cutHeaders(TQorColumnGrid* Grid) {
    // The cell's text starts and ends two pixels inside it, after the grid line.
    constexpr int Margins = 2 + 2 + 1;
    std::vector<std::string> cut;
    TBitmap bitmap(1, 1);
    TCanvas* c = bitmap.Canvas();
    for (int col = 0; col < Grid->ColCount(); ++col) {
        const int real = Grid->RealColIndex(col);
        const std::string text = Grid->Cells(real, 0);
        c->Font()->Assign(Grid->Columns()->Items(real)->HeaderFont());
        const int needed = c->TextWidth(text);
        const int available = Grid->ColWidths(col) - Margins;
        if (needed > available)
            cut.push_back(text + " (" + std::to_string(needed) + " > " + std::to_string(available) +
                          ")");
    }
    return cut;
}

struct Dialog {
    const char* name;
    int type;
    std::function<TForm*()> make;
};

} // namespace

TEST(TableHeaders, EveryHeaderOfEveryTableDialogFitsItsCell) {
    const Dialog dialogs[] = {
        {"KNX", 25, [] { return new TFKNXAccess(nullptr); }},
        {"NMEA receive", 25, [] { return new TFReceiveNMEA(nullptr); }},
        {"NMEA transmit", 25, [] { return new TFTransmitNMEA(nullptr); }},
        {"Modbus RTU", 1, [] { return new TFSetAccess(nullptr); }},
        {"Modbus TCP", 3, [] { return new TFModbus_TCP_Master_Set_Access(nullptr); }},
        {"CAN receive", 5, [] { return new TFReceiveCAN(nullptr); }},
        {"CAN transmit", 5, [] { return new TFTransmitCAN(nullptr); }},
        {"CANopen SDO server", 6, [] { return new TFSet_SDO_Server_Access(nullptr); }},
        {"CANopen SDO client", 6, [] { return new TFSet_SDO_Client_Access(nullptr); }},
        {"CANopen PDO", 6, [] { return new TFSet_PDO_Access(nullptr); }},
        {"DeviceNet", 7, [] { return new TFDNet(nullptr); }},
        {"J1939 receive", 9, [] { return new TFReceiveJ1939(nullptr); }},
        {"J1939 transmit", 9, [] { return new TFTransmitJ1939(nullptr); }},
        {"DMX", 11, [] { return new TFDMXDefVal(nullptr); }},
    };
    for (const Dialog& d : dialogs) {
        Set_Product_Type(d.type);
        std::unique_ptr<TForm> form(d.make());
        form->AfterConstruction();
        int grids = 0;
        // Measured as the dialog shows.
        form->Show();
        uitest::processMessages();
        std::function<void(TComponent*)> visit = [&](TComponent* owner) {
            for (int i = 0; i < owner->ComponentCount(); ++i) {
                TComponent* c = owner->Components(i);
                if (auto* g = dynamic_cast<TQorColumnGrid*>(c); g && g->Visible()) {
                    ++grids;
                    EXPECT_EQ(cutHeaders(g), std::vector<std::string>{})
                        << d.name << ", " << g->Name();
                }
                visit(c);
            }
        };
        visit(form.get());
        form->Hide();
        EXPECT_GT(grids, 0) << d.name;
    }
    Set_Product_Type(Built_Product_Type());
}
