// The CANopen SDO server, SDO client and PDO dialogs: their tables on two pages, load, OK with
// its checks, the saved file, the row buttons of the active page and typing into the grids.
#include "editors/frames/Set_PDO_Access.h"
#include "editors/frames/Set_SDO_Client_Access.h"
#include "editors/frames/Set_SDO_Server_Access.h"
#include "tests/editors/comm/TableDialogTest.h"

namespace {

// What sets the three dialogs apart in these tests.
struct Kind {
    const char* name;
    std::unique_ptr<TCANopen_Table_Form> (*make)();
    const TCANopen_Layout* layout;
    const std::string* file;
    std::string caption;
    std::vector<std::string> sheets;
    Row first, second; // a valid row of each table
    int width;
};

std::vector<Kind> kinds() {
    return {
        {"server",
         [] { return std::unique_ptr<TCANopen_Table_Form>(new TFSet_SDO_Server_Access(nullptr)); },
         &SDO_Server_Layout,
         &File_SDO_Server_CANopen,
         "Set SDO Server Access",
         {"SDO in Read", "SDO in Write"},
         Row{"0x2000", "1", "2", "10", "11", "", "", "speed"},
         Row{"24575", "0", "4", "0", "1", "2", "1438", ""},
         749},
        {"client",
         [] { return std::unique_ptr<TCANopen_Table_Form>(new TFSet_SDO_Client_Access(nullptr)); },
         &SDO_Client_Layout,
         &File_SDO_Client_CANopen,
         "Set SDO Client Access",
         {"SDO Read", "SDO Write"},
         Row{"5", "0x1000", "1", "1", "100", "3", "", "", "", "a"},
         Row{"127", "0x6000", "0", "1", "0", "Y", "7", "", "", "", "b"},
         798},
        {"pdo",
         [] { return std::unique_ptr<TCANopen_Table_Form>(new TFSet_PDO_Access(nullptr)); },
         &PDO_Layout,
         &File_PDO_CANopen,
         "Set PDO Access",
         {"Receive PDO", "Transmit PDO"},
         Row{"0x181", "2", "0", "5999", "", "", "", "", "", "", "100", "rx"},
         Row{"0x201", "1", "7", "", "", "", "", "", "", "", "0", "N", "tx"},
         798},
    };
}

std::vector<std::string> attributes(const TCANopen_Section& section) {
    std::vector<std::string> names;
    for (const TTable_Column& c : section.Columns) names.push_back(c.Attribute);
    return names;
}

Row with(Row row, int col, const std::string& text) {
    row[std::size_t(col - 1)] = text;
    return row;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '<')
            out += "&lt;";
        else if (c == '&')
            out += "&amp;";
        else if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

// The file of a kind with rows in both sections, written as the dialog writes it.
std::string fileOf(const Kind& k, const std::vector<Row>& first, const std::vector<Row>& second) {
    std::string xml = std::string("<") + k.layout->Root + ">";
    for (int s = 0; s < 2; ++s) {
        const TCANopen_Section& section = k.layout->Sections[s];
        xml += std::string("<") + section.Name + ">";
        for (const Row& row : s == 0 ? first : second) {
            xml += "<row";
            for (std::size_t c = 0; c < row.size(); ++c)
                xml += std::string(" ") + section.Columns[c].Attribute + "=\"" + escaped(row[c]) +
                       "\"";
            xml += "/>";
        }
        xml += std::string("</") + section.Name + ">";
    }
    return xml + "</" + k.layout->Root + ">";
}

class CanopenDialog : public TableDialogTest {
protected:
    std::unique_ptr<TCANopen_Table_Form> Make(const Kind& k) {
        Set_Product_Type(6);
        std::unique_ptr<TCANopen_Table_Form> f = k.make();
        f->AfterConstruction();
        return f;
    }
    static int Cols(const Kind& k, int section) {
        return int(k.layout->Sections[section].Columns.size());
    }
    static std::vector<Row> Saved(const Kind& k, int section) {
        const TCANopen_Section& s = k.layout->Sections[section];
        return savedxml::rows(*k.file, s.Name, attributes(s));
    }
};

} // namespace

TEST_F(CanopenDialog, ShowsTheTwoTablesOfEachDialog) {
    for (const Kind& k : kinds()) {
        SCOPED_TRACE(k.name);
        auto f = Make(k);
        EXPECT_EQ(f->Caption(), k.caption);
        EXPECT_EQ(f->ClientWidth(), k.width);
        EXPECT_EQ(f->ClientHeight(), 337);
        EXPECT_EQ(f->L_SW_Code->Caption(), "QS40526");
        uitest::runModal(f.get(), [&](TCustomForm*) {
            EXPECT_EQ(f->PageControl1->ActivePageIndex(), 0);
            EXPECT_EQ(f->PROFINET_NByte_IN, k.layout->Limit);
            EXPECT_EQ(f->PROFINET_NByte_OUT, k.layout->Limit);
            for (int s = 0; s < 2; ++s) {
                TQorColumnGrid* g = s == 0 ? f->sga : f->sgb;
                const TCANopen_Section& section = k.layout->Sections[s];
                EXPECT_EQ(f->PageControl1->Pages(s)->Caption(), k.sheets[std::size_t(s)]);
                EXPECT_EQ(g->RowCount(), k.layout->Rows + 1);
                EXPECT_EQ(g->ColCount(), Cols(k, s) + 1);
                EXPECT_EQ(g->Cells(0, 0), "N");
                EXPECT_EQ(g->Cells(0, k.layout->Rows), std::to_string(k.layout->Rows));
                EXPECT_EQ(RowOf(g, 1, Cols(k, s)), Row(std::size_t(Cols(k, s))));
                for (int c = 1; c <= Cols(k, s); ++c) {
                    const TTable_Column& column = section.Columns[std::size_t(c - 1)];
                    EXPECT_EQ(g->Cells(c, 0), UI_Texts[column.Header_Entry]);
                    EXPECT_EQ(g->ColWidths(c), column.Width) << c;
                    EXPECT_EQ(g->Columns()->Items(c)->Editor(), column.Editor) << c;
                }
            }
            for (TFrame_Button* b : {f->Btn_OK, f->Btn_DelRow, f->Btn_InsRow})
                EXPECT_TRUE(b->Enabled()) << b->Name();
            uitest::click(f->Btn_Cancel);
        });
    }
    EXPECT_TRUE(Shown().empty());
}

TEST_F(CanopenDialog, ShowsTheFileAndOkWritesItBack) {
    for (const Kind& k : kinds()) {
        SCOPED_TRACE(k.name);
        const Row second2 = with(k.second, Cols(k, 1), "<\"&\"> ü");
        WriteBinaryFile(*k.file, fileOf(k, {k.first}, {k.second, second2}));
        auto f = Make(k);
        EXPECT_EQ(uitest::runModal(f.get(),
                                   [&](TCustomForm*) {
                                       EXPECT_EQ(RowOf(f->sga, 1, Cols(k, 0)), k.first);
                                       EXPECT_EQ(RowOf(f->sgb, 2, Cols(k, 1)), second2);
                                       // An edit cancelled is gone at the next showing.
                                       f->sga->SetCells(1, 1, "");
                                       uitest::click(f->Btn_Cancel);
                                   }),
                  mrCancel);
        EXPECT_EQ(uitest::runModal(f.get(),
                                   [&](TCustomForm*) {
                                       EXPECT_EQ(RowOf(f->sga, 1, Cols(k, 0)), k.first);
                                       Fill(f->sga, 2, k.first);
                                       uitest::click(f->Btn_OK);
                                   }),
                  mrOk);
        EXPECT_EQ(savedxml::topLevel(*k.file),
                  (std::vector<std::string>{k.layout->Root, "SW_VERSION = 1.000"}));
        EXPECT_EQ(Saved(k, 0), (std::vector<Row>{k.first, k.first}));
        EXPECT_EQ(Saved(k, 1), (std::vector<Row>{k.second, second2}));
    }
    EXPECT_TRUE(Shown().empty());
}

TEST_F(CanopenDialog, OkShowsTheFirstErrorAndWritesNothing) {
    const Kind server = kinds()[0];
    auto f = Make(server);
    uitest::runModal(f.get(), [&](TCustomForm*) {
        Fill(f->sga, 1, server.first);
        Fill(f->sgb, 1, with(server.second, 7, "1439"));
        uitest::click(f->Btn_OK);
        EXPECT_EQ(f->ModalResult(), mrNone);
        // The read table's error comes first.
        Fill(f->sga, 1, with(server.first, 2, "256"));
        uitest::click(f->Btn_OK);
        // A blank Index before a filled row would drop that row from the file.
        Fill(f->sga, 1, Row(8));
        Fill(f->sga, 3, server.first);
        uitest::click(f->Btn_OK);
        EXPECT_EQ(f->ModalResult(), mrNone);
        uitest::click(f->Btn_Cancel);
    });
    EXPECT_EQ(Shown(),
              (std::vector<std::string>{
                  "Error row 1!! [SDO in Write] Address Byte4 must be between 0 and 1438",
                  "Error row 1!! [SDO in Read] SubIndex must be between 0x00 and 0xFF",
                  "Error row 1!! [SDO in Read] Index is empty but the row or rows below it are "
                  "filled: fill it or delete the row"}));
    EXPECT_EQ(uitest::dialogs().Questions()[0].Type, mtError);
    EXPECT_FALSE(FileExists(File_SDO_Server_CANopen));
}

TEST_F(CanopenDialog, AFileReadInPartIsReplacedOnlyAfterAYes) {
    const Kind client = kinds()[1];
    // The second write row lacks Poll_Time.
    const std::string file = fileOf(client, {client.first}, {client.second});
    const std::string broken = file.substr(0, file.find("</SDO_Write>")) +
                               "<row Device_ID=\"9\"/></SDO_Write></SDO_Client_CANopen>";
    WriteBinaryFile(File_SDO_Client_CANopen, broken);
    auto f = Make(client);
    uitest::runModal(f.get(), [&](TCustomForm*) {
        ASSERT_EQ(uitest::dialogs().Questions().size(), 1u);
        EXPECT_EQ(uitest::dialogs().Questions()[0].Kind, dkException);
        EXPECT_NE(Shown()[0].find("Index"), std::string::npos);
        EXPECT_EQ(RowOf(f->sga, 1, 10), client.first);
        EXPECT_EQ(RowOf(f->sgb, 1, 11), client.second);
        // The row stopped at keeps what was read of it, and is checked like any other.
        EXPECT_EQ(RowOf(f->sgb, 2, 11), with(Row(11), 1, "9"));
        uitest::click(f->Btn_OK);
        EXPECT_EQ(Shown().back(), "Error row 2!! [SDO Write] Index must be between 0x1000 and "
                                  "0xFFFF");
        f->PageControl1->SetActivePage(f->PageControl1->Pages(1));
        Select(f->sgb, 2);
        uitest::dialogs().QueueAnswer(mrYes);
        uitest::click(f->Btn_DelRow);
        uitest::dialogs().QueueAnswer(mrNo);
        uitest::click(f->Btn_OK);
        EXPECT_EQ(f->ModalResult(), mrNone);
        EXPECT_EQ(ReadBinaryFile(File_SDO_Client_CANopen), broken);
        uitest::dialogs().QueueAnswer(mrYes);
        uitest::click(f->Btn_OK);
    });
    EXPECT_EQ(f->ModalResult(), mrOk);
    EXPECT_EQ(Shown().back(), UI_Texts[1746]);
    EXPECT_EQ(Saved(client, 1), std::vector<Row>{client.second});
}

TEST_F(CanopenDialog, RowButtonsActOnTheTableOfTheActivePage) {
    const Kind pdo = kinds()[2];
    auto f = Make(pdo);
    const auto numbered = [&](int n) { return with(pdo.second, 13, std::to_string(n)); };
    uitest::runModal(f.get(), [&](TCustomForm*) {
        for (int r = 1; r <= 3; ++r) {
            Fill(f->sga, r, pdo.first);
            Fill(f->sgb, r, numbered(r));
        }
        Select(f->sga, 1);
        f->PageControl1->SetActivePage(f->PageControl1->Pages(1));
        Select(f->sgb, 2);
        uitest::dialogs().QueueAnswer(mrNo);
        uitest::click(f->Btn_DelRow);
        EXPECT_EQ(f->sgb->Cells(13, 2), "2");
        uitest::dialogs().QueueAnswer(mrYes);
        uitest::click(f->Btn_DelRow);
        EXPECT_EQ(f->sgb->Cells(13, 2), "3");
        EXPECT_EQ(RowOf(f->sgb, 3, 13), Row(13));
        Select(f->sgb, 1);
        uitest::click(f->Btn_InsRow);
        EXPECT_EQ(RowOf(f->sgb, 1, 13), Row(13));
        EXPECT_EQ(f->sgb->Cells(13, 2), "1");
        // The other page's table is untouched.
        for (int r = 1; r <= 3; ++r) EXPECT_EQ(RowOf(f->sga, r, 12), pdo.first) << r;
        // With the last row used, Insert is refused.
        Fill(f->sgb, 30, numbered(30));
        uitest::click(f->Btn_InsRow);
        EXPECT_EQ(RowOf(f->sgb, 1, 13), Row(13));
        EXPECT_EQ(f->sgb->Cells(13, 30), "30");
        uitest::click(f->Btn_Cancel);
    });
    EXPECT_EQ(Shown(), (std::vector<std::string>{"Are you sure to delete the Row number 2",
                                                 "Are you sure to delete the Row number 2",
                                                 UI_Texts[1744]}));
    EXPECT_FALSE(FileExists(File_PDO_CANopen));
}

TEST_F(CanopenDialog, CellsTypedAndTickedThroughTheNativeWindowsAreSaved) {
    const Kind client = kinds()[1];
    auto f = Make(client);
    uitest::runModal(f.get(), [&](TCustomForm*) {
        f->PageControl1->SetActivePage(f->PageControl1->Pages(1));
        TQorColumnGrid* g = f->sgb;
        Fill(g, 1, client.second);
        // Type "12" over ID Device with real key presses; Enter ends the edit.
        Type(g, 1, 1, "");
        for (WORD key : {WORD('1'), WORD('2')}) {
            uitest::postNativeKey(key);
            uitest::processMessages();
        }
        uitest::postNativeKey(VK_RETURN);
        uitest::processMessages();
        EXPECT_EQ(g->Cells(1, 1), "12");
        // Space on the On Change cell clears its tick.
        Type(g, 6, 1, "");
        uitest::postNativeKey(VK_SPACE, g);
        uitest::processMessages();
        EXPECT_EQ(g->Cells(6, 1), "N");
        uitest::click(f->Btn_OK);
    });
    EXPECT_EQ(f->ModalResult(), mrOk);
    EXPECT_EQ(Saved(client, 1), std::vector<Row>{with(with(client.second, 1, "12"), 6, "N")});
}

TEST_F(CanopenDialog, AFileThatCannotBeWrittenShowsTheErrorAndKeepsTheDialogOpen) {
    const Kind pdo = kinds()[2];
    // A folder in the file's place.
    ForceDirectories(*pdo.file);
    auto f = Make(pdo);
    uitest::runModal(f.get(), [&](TCustomForm*) {
        Fill(f->sga, 1, pdo.first);
        uitest::click(f->Btn_OK);
        EXPECT_EQ(f->ModalResult(), mrNone);
        ASSERT_EQ(uitest::dialogs().Questions().size(), 1u);
        EXPECT_EQ(uitest::dialogs().Questions()[0].Kind, dkException);
        EXPECT_NE(Shown()[0].find(*pdo.file), std::string::npos) << Shown()[0];
        DeleteTree(*pdo.file);
        uitest::click(f->Btn_OK);
    });
    EXPECT_EQ(f->ModalResult(), mrOk);
    EXPECT_EQ(Saved(pdo, 0), std::vector<Row>{pdo.first});
}
