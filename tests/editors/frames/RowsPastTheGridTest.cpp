// Every table dialog given a file with more rows than its grid: the load says which rows it
// left out, and OK replaces the file only after a Yes, so the rows are not dropped unasked.
#include "editors/comm/KNXAccess.h"
#include "editors/comm/KnxAccessTable.h"
#include "editors/comm/ModbusMasterTables.h"
#include "editors/comm/Modbus_TCP_Master_Set_Access.h"
#include "editors/comm/SetAccess.h"
#include "editors/frames/CAN_Rec_Frames.h"
#include "editors/frames/CAN_Send_Frame.h"
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
#include "editors/frames/tables/CanLegacyTables.h"
#include "editors/frames/tables/CanTables.h"
#include "editors/frames/tables/CanopenTables.h"
#include "editors/frames/tables/DNetTables.h"
#include "editors/frames/tables/J1939Tables.h"
#include "tests/editors/comm/TableDialogTest.h"

#include <functional>

namespace {

const std::string A = "2.0A (11 bits)";

// A section of a file: its element (nullptr: the rows are the root's), its attributes and a
// valid row, the last text of which the test numbers.
struct Section {
    const char* name;
    std::vector<std::string> attributes;
    Row row;
};

struct Kind {
    const char* name;
    int type;
    std::function<TFramed_Dialog*()> make;
    std::function<TFrame_Button*(TFramed_Dialog*)> ok;
    const std::string* file;
    const char* root;
    std::vector<Section> sections;
    int full;   // the section that gets more rows than its grid
    int shown;  // that grid's rows
    int others; // rows of the other sections
};

template <class F> std::function<TFramed_Dialog*()> make() {
    return [] { return new F(nullptr); };
}
template <class F> std::function<TFrame_Button*(TFramed_Dialog*)> ok() {
    return [](TFramed_Dialog* f) { return static_cast<F*>(f)->Btn_OK; };
}

Section canopen(const TCANopen_Layout& layout, int s, Row row) {
    return {layout.Sections[s].Name, attributes(layout.Sections[s].Columns), std::move(row)};
}

std::vector<Kind> kinds() {
    const std::vector<TModbus_Column>& rtuRead = Modbus_Read_Columns(TModbus_Master::RTU);
    const std::vector<TModbus_Column>& rtuWrite = Modbus_Write_Columns(TModbus_Master::RTU);
    const std::vector<TModbus_Column>& tcpRead = Modbus_Read_Columns(TModbus_Master::TCP);
    const std::vector<TModbus_Column>& tcpWrite = Modbus_Write_Columns(TModbus_Master::TCP);
    // A disabled Modbus row: its key only.
    auto modbus = [](const std::vector<TModbus_Column>& columns, const char* name) {
        Row row(columns.size());
        row[0] = "N";
        row[1] = "1";
        return Section{name, attributes(columns), row};
    };
    return {
        {"KNX access",
         25,
         make<TFKNXAccess>(),
         ok<TFKNXAccess>(),
         &File_KNX_SetAccess,
         "BACnet_to_KNX",
         {{"KNX_in_Read", {}, {}},
          {"KNX_in_Write",
           attributes(KNX_Access_Columns),
           {"Y", "1.1.1", "1/2/3", "Write", "Urgent", "Swap16", "Y", "N", "Y", "N", "Y", "1000",
            "10", "No", "20", "500", "a"}}},
         1,
         KNX_Access_Rows,
         0},
        {"Modbus RTU master",
         1,
         make<TFSetAccess>(),
         ok<TFSetAccess>(),
         &File_ModbusM_SetAccess,
         "EtherNetIP_to_Modbus",
         {modbus(rtuRead, "Modbus_Read"), modbus(rtuWrite, "Modbus_Write")},
         0,
         Modbus_Access_Rows,
         3},
        {"Modbus TCP master",
         3,
         make<TFModbus_TCP_Master_Set_Access>(),
         ok<TFModbus_TCP_Master_Set_Access>(),
         &File_ModbusTCPM_SetAccess,
         "PROFINET_Master_to_Modbus_TCP_Master",
         {modbus(tcpRead, "Modbus_Read"), modbus(tcpWrite, "Modbus_Write")},
         1,
         Modbus_Access_Rows,
         3},
        {"NMEA 2000 receive",
         25,
         make<TFReceiveNMEA>(),
         ok<TFReceiveNMEA>(),
         &File_NMEA_Rec_Frames,
         "Receive_NMEA_2000",
         {{nullptr,
           attributes(NMEA_Rec_Columns),
           {"127250", "5", "N", "N", "", "", "Y", "heading"}}},
         0,
         NMEA_Table_Rows,
         0},
        {"NMEA 2000 transmit",
         25,
         make<TFTransmitNMEA>(),
         ok<TFTransmitNMEA>(),
         &File_NMEA_Send_Frames,
         "Receive_NMEA_2000",
         {{nullptr,
           attributes(NMEA_Send_Columns),
           {"3", "130306", "1", "N", "8", "Y", "N", "Y", "100", "wind"}}},
         0,
         NMEA_Table_Rows,
         0},
        {"J1939 receive",
         9,
         make<TFReceiveJ1939>(),
         ok<TFReceiveJ1939>(),
         &File_J1939_Rec_Frames,
         "Receive_J1939",
         {{nullptr,
           attributes(J1939_Rec_Columns),
           {"0", "65226", "5", "N", "", "", "N", "Y", "1000", "x"}}},
         0,
         J1939_Table_Rows,
         0},
        {"J1939 transmit",
         9,
         make<TFTransmitJ1939>(),
         ok<TFTransmitJ1939>(),
         &File_J1939_Send_Frames,
         "Receive_J1939",
         {{nullptr,
           attributes(J1939_Send_Columns),
           {"3", "0", "61444", "0", "8", "N", "N", "Y", "100", "eng"}}},
         0,
         J1939_Table_Rows,
         0},
        {"CAN receive",
         5,
         make<TFReceiveCAN>(),
         ok<TFReceiveCAN>(),
         &File_CAN_Rec_Frames,
         "Receive_Frames",
         {{nullptr,
           attributes(CAN_Rec_Columns),
           {"Y", "0x123", A, "3", "500", "0", "None", "7", "", "", "", "", "", "m"}}},
         0,
         CAN_Table_Rows,
         0},
        {"CAN transmit",
         5,
         make<TFTransmitCAN>(),
         ok<TFTransmitCAN>(),
         &File_CAN_Send_Frames,
         "Transmit_Frames",
         {{nullptr,
           attributes(CAN_Send_Columns),
           {"Y", "7", A, "2", "Y", "N", "Y", "100", "10", "11", "", "", "", "", "", "", "m"}}},
         0,
         CAN_Table_Rows,
         0},
        {"CAN receive list",
         5,
         make<TFCAN_Rec_Frames>(),
         ok<TFCAN_Rec_Frames>(),
         &File_CAN_Rec_Frames,
         "PROFINET_to_Receive_CAN",
         {{"Receive_Frames", attributes(CAN_Rec_List_Columns), {"2047", A, "1", "0", "m"}}},
         0,
         CAN_List_Rows,
         0},
        {"CAN send list",
         5,
         make<TFCAN_Send_Frame>(),
         ok<TFCAN_Send_Frame>(),
         &File_CAN_Send_Frames,
         "PROFINET_to_Send_CAN",
         {{"Send_Frames", attributes(CAN_Send_List_Columns), {"7", A, "2", "x", "100", "m"}}},
         0,
         CAN_List_Rows,
         0},
        {"CANopen SDO server",
         6,
         make<TFSet_SDO_Server_Access>(),
         ok<TFSet_SDO_Server_Access>(),
         &File_SDO_Server_CANopen,
         SDO_Server_Layout.Root,
         {canopen(SDO_Server_Layout, 0, {"0x2000", "1", "2", "10", "11", "", "", "speed"}),
          canopen(SDO_Server_Layout, 1, {"24575", "0", "4", "0", "1", "2", "1438", ""})},
         0,
         SDO_Server_Layout.Rows,
         2},
        {"CANopen SDO client",
         6,
         make<TFSet_SDO_Client_Access>(),
         ok<TFSet_SDO_Client_Access>(),
         &File_SDO_Client_CANopen,
         SDO_Client_Layout.Root,
         {canopen(SDO_Client_Layout, 0, {"5", "0x1000", "1", "1", "100", "3", "", "", "", "a"}),
          canopen(SDO_Client_Layout, 1,
                  {"127", "0x6000", "0", "1", "0", "Y", "7", "", "", "", "b"})},
         1,
         SDO_Client_Layout.Rows,
         2},
        {"CANopen PDO",
         6,
         make<TFSet_PDO_Access>(),
         ok<TFSet_PDO_Access>(),
         &File_PDO_CANopen,
         PDO_Layout.Root,
         {canopen(PDO_Layout, 0, {"0x181", "2", "0", "5999", "", "", "", "", "", "", "100", "rx"}),
          canopen(PDO_Layout, 1, {"0x201", "1", "7", "", "", "", "", "", "", "", "0", "N", "tx"})},
         0,
         PDO_Layout.Rows,
         2},
        {"DeviceNet network",
         7,
         make<TFDNet>(),
         ok<TFDNet>(),
         &File_DNETM_Net,
         "DNET_Net",
         {{nullptr, attributes(DNet_Net_Columns), {"1", "2", "3", "m"}}},
         0,
         DNet_Net_Rows,
         0},
    };
}

// The row numbered n of a section: its last text carries the number.
Row numbered(const Section& s, int n) {
    Row row = s.row;
    if (!row.empty()) row.back() += std::to_string(n);
    return row;
}

std::vector<Row> rowsOf(const Section& s, int count) {
    std::vector<Row> rows;
    for (int n = 1; n <= count && !s.row.empty(); ++n) rows.push_back(numbered(s, n));
    return rows;
}

// The file of a kind whose full section holds fullRows rows.
std::string fileOf(const Kind& k, int fullRows) {
    std::string xml = std::string("<") + k.root + ">";
    for (std::size_t s = 0; s < k.sections.size(); ++s) {
        const Section& section = k.sections[s];
        if (section.name) xml += std::string("<") + section.name + ">";
        for (const Row& row : rowsOf(section, int(s) == k.full ? fullRows : k.others)) {
            xml += "<row";
            for (std::size_t c = 0; c < row.size(); ++c)
                xml += " " + section.attributes[c] + "=\"" + row[c] + "\"";
            xml += "/>";
        }
        if (section.name) xml += std::string("</") + section.name + ">";
    }
    return xml + "</" + k.root + ">";
}

class RowsPastTheGrid : public TableDialogTest {};

} // namespace

TEST_F(RowsPastTheGrid, AFileWithMoreRowsIsReadInPartAndReplacedOnlyAfterAYes) {
    for (const Kind& k : kinds()) {
        SCOPED_TRACE(k.name);
        const Section& full = k.sections[std::size_t(k.full)];
        for (const int extra : {0, 2}) {
            SCOPED_TRACE(extra);
            uitest::dialogs().Clear();
            const std::string file = fileOf(k, k.shown + extra);
            WriteBinaryFile(*k.file, file);
            Set_Product_Type(k.type);
            std::unique_ptr<TFramed_Dialog> f(k.make());
            f->AfterConstruction();
            uitest::runModal(f.get(), [&](TCustomForm*) {
                if (extra == 0) {
                    EXPECT_TRUE(Shown().empty());
                    uitest::click(k.ok(f.get()));
                    return;
                }
                ASSERT_EQ(Shown().size(), 1u);
                EXPECT_EQ(uitest::dialogs().Questions()[0].Kind, dkException);
                EXPECT_EQ(Shown()[0], *k.file + ": the table shows " + std::to_string(k.shown) +
                                          " of the " + std::to_string(k.shown + extra) + " rows" +
                                          (full.name ? std::string(" of ") + full.name : "") + ".");
                // No keeps the file whole and the dialog open.
                uitest::dialogs().QueueAnswer(mrNo);
                uitest::click(k.ok(f.get()));
                EXPECT_EQ(Shown().back(), UI_Texts[1746]);
                EXPECT_EQ(f->ModalResult(), mrNone);
                EXPECT_EQ(ReadBinaryFile(*k.file), file);
                uitest::dialogs().QueueAnswer(mrYes);
                uitest::click(k.ok(f.get()));
            });
            EXPECT_EQ(f->ModalResult(), mrOk);
            // The load's message, then the question at each OK.
            EXPECT_EQ(Shown().size(), extra == 0 ? 0u : 3u);
            for (std::size_t s = 0; s < k.sections.size(); ++s) {
                const Section& section = k.sections[s];
                const int rows = int(s) == k.full ? k.shown : k.others;
                EXPECT_EQ(savedxml::rows(*k.file, section.name, section.attributes),
                          rowsOf(section, rows))
                    << s;
            }
        }
    }
}
