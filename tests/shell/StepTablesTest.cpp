// The tables of the product types other than 25, end to end: the main window's step button
// opens the dialog, the rows entered are saved, and the image compiler of the type reads them.
#include "ShellTestSupport.h"
#include "editors/comm/Modbus_TCP_Master_Set_Access.h"
#include "editors/comm/SetAccess.h"
#include "editors/frames/ReceiveCAN.h"
#include "editors/frames/ReceiveJ1939.h"
#include "editors/frames/TransmitCAN.h"
#include "editors/frames/TransmitJ1939.h"
#include "grid/core/QorColumnGrid.h"
#include "platform/files/Files.h"
#include "platform/testing/UiTest.h"
#include "shell/ProgramForms.h"
#include "shell/state/ProgramState.h"

#include <gtest/gtest.h>

#include <cctype>

// StepTablesCompile.cpp
std::string compiledTables(int type, const std::string& dir);

namespace {

using Row = std::vector<std::string>;
const std::string A = "2.0A (11 bits)";

// The main window's header meets the XML library's names, which clash with the grid's: the
// step buttons are found by name.
class StepTables : public ShellTest {
protected:
    // The program started as the product type, with the project P open.
    void Start(int type) {
        SetType(type);
        StartProgram();
        ForceDirectories(PathJoin(Projects_Dir, "P/bin"));
        Project_Name = "P";
        Project_Dir = PathJoin(Projects_Dir, "P");
        Set_Files();
    }
    static TFrame_Button* Step(const std::string& name) {
        auto* b = dynamic_cast<TFrame_Button*>(Application->MainForm()->FindComponent(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
    // Clicks the step button; in the dialog it opens, fills row 1 of grid with cells (typing
    // the cell of column typed with real key events) and presses OK on its native window.
    void EnterRow(TFrame_Button* step, TCustomForm* dialog, TQorColumnGrid* grid, TFrame_Button* ok,
                  const Row& cells, int typed) {
        TCustomForm* shown = nullptr;
        uitest::whenModalIdle([&](TCustomForm* f) {
            shown = f;
            for (std::size_t c = 0; c < cells.size(); ++c)
                if (int(c) + 1 != typed) grid->SetCells(int(c) + 1, 1, cells[c]);
            typeNative(grid, typed, cells[std::size_t(typed - 1)]);
            uitest::postNativeClick(ok);
            uitest::processMessages();
            if (f->ModalResult() == mrNone) {
                ADD_FAILURE() << "OK did not close " << f->Name();
                f->SetModalResult(mrCancel);
            }
        });
        step->Click();
        EXPECT_EQ(shown, dialog);
        EXPECT_EQ(dialog->ModalResult(), mrOk);
    }

private:
    static void typeNative(TQorColumnGrid* g, int col, const std::string& text) {
        // The grid's per-cell editing switch, set as the grid sets it for an editable cell.
        g->SetOptions(g->Options() + goEditing);
        g->SetFocus();
        g->SetCol(g->DisplColIndexOf(col));
        g->SetRow(1);
        for (char ch : text) {
            uitest::postNativeKey(WORD(std::toupper(static_cast<unsigned char>(ch))));
            uitest::processMessages();
        }
        uitest::postNativeKey(VK_RETURN);
        uitest::processMessages();
        EXPECT_EQ(g->Cells(col, 1), text);
    }
};

} // namespace

TEST_F(StepTables, ModbusRtuMaster) {
    Start(1);
    TFSetAccess* d = FSetAccess;
    EnterRow(Step("Btn_ModM_SetAccess"), d, d->ACG_Modbus_Read, d->Btn_OK,
             {"Y", "5", "Holding Register", "0", "2", "1000", "3", "10", "", "N", "m"}, 2);
    EXPECT_EQ(compiledTables(1, Project_Dir),
              "1 requests; slave 5 ip 0x0 port 0 points 2 position 10");
}

TEST_F(StepTables, ModbusTcpMaster) {
    Start(3);
    TFModbus_TCP_Master_Set_Access* d = FModbus_TCP_Master_Set_Access;
    EnterRow(Step("Btn_ModM_SetAccess"), d, d->ACG_Modbus_Read, d->Btn_OK,
             {"Y", "192.168.1.125", "502", "1", "Input Register", "0", "125", "500", "0", "1000",
              "0", "N", "t"},
             3);
    EXPECT_EQ(compiledTables(3, Project_Dir),
              "1 requests; slave 1 ip 0xC0A8017D port 502 points 125 position 1000");
}

TEST_F(StepTables, Can) {
    Start(5);
    EnterRow(Step("Btn_CAN_Rec_Frame"), FReceiveCAN, FReceiveCAN->ACG_CAN_Receive,
             FReceiveCAN->Btn_OK,
             {"Y", "0x123", A, "3", "500", "7", "None", "8", "", "", "", "", "", "m"}, 2);
    EnterRow(Step("Btn_CAN_Send_Frame"), FTransmitCAN, FTransmitCAN->ACG_CAN_Transmit,
             FTransmitCAN->Btn_OK,
             {"Y", "9", A, "2", "Y", "N", "Y", "100", "10", "11", "", "", "", "", "", "", ""}, 2);
    EXPECT_EQ(compiledTables(5, Project_Dir),
              "2 frames; cob 0x123 dim 3 byte1 7; cob 0x9 dim 2 byte1 10");
}

TEST_F(StepTables, J1939) {
    Start(9);
    EnterRow(Step("Btn_J1939_Rec_Frame"), FReceiveJ1939, FReceiveJ1939->sga, FReceiveJ1939->Btn_OK,
             {"0", "65226", "5", "N", "", "", "N", "N", "1000", "x"}, 2);
    EnterRow(Step("Btn_J1939_Send_Frame"), FTransmitJ1939, FTransmitJ1939->sga,
             FTransmitJ1939->Btn_OK, {"3", "0", "61444", "0", "8", "N", "N", "Y", "100", ""}, 3);
    EXPECT_EQ(compiledTables(9, Project_Dir),
              "1 received; id 0xFECA05 bytes 8, 1 sent; id 0xCF00400 bytes 8");
}
