// The older CAN frame lists and their byte maps: checks, load, save and the four forms.
#include "editors/frames/CAN_Rec_Frames.h"
#include "editors/frames/CAN_Send_Frame.h"
#include "editors/frames/_Rec_Info.h"
#include "editors/frames/_Sen_Info.h"
#include "editors/frames/tables/CanLegacyTables.h"
#include "tests/editors/comm/TableDialogTest.h"

namespace {

const std::string A = "2.0A (11 bits)";
const std::string B = "2.0B (29 bits)";

const std::vector<std::string> Rec_Attributes = {"Cob_Id", "Type", "Dimension", "TimeOut",
                                                 "Mnemonic"};
const std::vector<std::string> Send_Attributes = {"Cob_Id",    "Type",       "Dimension",
                                                  "Send_Type", "Timer_Send", "Mnemonic"};

TRow_Table listOf(const std::vector<TTable_Column>& columns, const std::vector<Row>& rows) {
    return filled(New_CAN_List(columns), rows);
}

TRecInfo frame(const std::string& cob, int dim, std::vector<int> positions = {}) {
    TRecInfo f;
    f.Cob_Id = cob;
    f.Dim = dim;
    for (std::size_t k = 0; k < positions.size(); ++k) f.PosB[k] = std::uint16_t(positions[k]);
    return f;
}

std::string listFile(const char* root, const char* section, const std::string& rows) {
    return std::string("<") + root + "><" + section + ">" + rows + "</" + section + "></" + root +
           ">";
}

class CanLegacy : public TableDialogTest {};

} // namespace

TEST_F(CanLegacy, FrameListCheck) {
    struct Case {
        bool receive;
        std::vector<Row> rows;
        std::string message; // empty: valid
    };
    const std::string e1 = "Error row 1";
    const std::string cob11 = "!! CAN Cob-Id must be between 0x000 and 0x7FF";
    const std::string cob29 = "!! CAN Cob-Id must be between 0x000 and 0x1FFFFFFF";
    const Case cases[] = {
        {true, {}, ""},
        {true, {{"2047", A, "1", "0"}, {"0x7FF", " 2.0a (11 BITS) ", "8", "10000000"}}, ""},
        {true, {{"2048", A, "1", "0"}}, e1 + cob11},
        {true, {{"-1", A, "1", "0"}}, e1 + cob11},
        {true, {{" ", A, "1", "0"}}, e1 + cob11},
        {true, {{"2048", B, "1", "0"}, {"536870911", "other", "1", "0"}}, ""},
        {true, {{"536870912", B, "1", "0"}}, e1 + cob29},
        {true, {{"x", B, "1", "0"}}, e1 + cob29},
        {true,
         {{"1", " ", "1", "0"}},
         e1 + "!! Cob-Id Type must be 2.0A (11 bits) or 2.0B (29 bits)"},
        {true, {{"1", A, "0", "0"}}, e1 + "!! CAN Dimension must be between 1 and 8"},
        {true, {{"1", A, "9", "0"}}, e1 + "!! CAN Dimension must be between 1 and 8"},
        {true, {{"1", A, "1", "10000001"}}, e1 + "!! TimeOut must be between 0 and 10000000 ms"},
        {true, {{"1", A, "1", ""}}, e1 + "!! TimeOut must be between 0 and 10000000 ms"},
        // The send list checks Timer Send and not Send Frame Type.
        {false, {{"1", A, "1", "junk", "10000000"}}, ""},
        {false,
         {{"1", A, "1", "On Timer", "-1"}},
         e1 + "!! TimeOut must be between 0 and 10000000 ms"},
        // The first faulty row is named; an empty Cob-ID before filled rows is refused.
        {true,
         {{"1", A, "1", "0"}, {"1", A, "1", "0"}, {"1", B, "10", "0"}},
         "Error row 3!! CAN Dimension must be between 1 and 8"},
        {true,
         {{"1", A, "1", "0"}, {"", A}, {"2", A, "1", "0"}},
         "Error row 2!! Cob-ID is empty but the row or rows below it are filled: fill it or "
         "delete the row"},
        {false,
         {{"", "", "", "", "", "note"}},
         "Error row 1!! Cob-ID is empty but the row or rows below it are filled: fill it or "
         "delete the row"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        const Case& c = cases[i];
        EXPECT_EQ(c.receive ? Check_CAN_Rec_List(listOf(CAN_Rec_List_Columns, c.rows))
                            : Check_CAN_Send_List(listOf(CAN_Send_List_Columns, c.rows)),
                  c.message);
    }
}

TEST_F(CanLegacy, FrameListSaveKeepsACobId0RowAndReadsBack) {
    const std::vector<Row> rows = {
        {"5", A, "1", "0", "a"},
        {"0", A, "2", "10", ""},
        {"0x1FFFFFFF", B, "8", "10000000", "q \"<&>\" ü"},
    };
    ASSERT_EQ(Check_CAN_Rec_List(listOf(CAN_Rec_List_Columns, rows)), "");
    const std::string path = Path("CAN_Rec_Frames.xml");
    Save_CAN_Rec_List(listOf(CAN_Rec_List_Columns, rows), 5, path);
    EXPECT_EQ(savedxml::topLevel(path),
              (std::vector<std::string>{"PROFINET_to_Receive_CAN", "SW_VERSION = 1.101"}));
    EXPECT_EQ(savedxml::rows(path, "Receive_Frames", Rec_Attributes), rows);
    TRow_Table back = New_CAN_List(CAN_Rec_List_Columns);
    EXPECT_TRUE(Load_CAN_Rec_List(back, path));
    for (int r = 1; r <= 3; ++r) EXPECT_EQ(rowOf(back, r), rows[std::size_t(r - 1)]);
    EXPECT_EQ(rowOf(back, 4), Row(5));

    // Another product type writes no comment.
    const std::vector<Row> sent = {{"7", B, "3", "On Timer", "100", ""}};
    Save_CAN_Send_List(listOf(CAN_Send_List_Columns, sent), 9, path);
    EXPECT_EQ(savedxml::topLevel(path), std::vector<std::string>{"PROFINET_to_Send_CAN"});
    EXPECT_EQ(savedxml::rows(path, "Send_Frames", Send_Attributes), sent);
}

TEST_F(CanLegacy, FrameListLoadNeedsEveryAttribute) {
    const std::string path = Path("CAN_Send_Frames.xml");
    TRow_Table table = New_CAN_List(CAN_Send_List_Columns);
    EXPECT_FALSE(Load_CAN_Send_List(table, path));

    const std::string whole = "<row Cob_Id=\"1\" Type=\"t\" Dimension=\"2\" Send_Type=\"s\" "
                              "Timer_Send=\"5\" Mnemonic=\" m \"/>";
    WriteBinaryFile(path, listFile("PROFINET_to_Send_CAN", "Send_Frames",
                                   whole + "<!--c--><row Cob_Id=\"2\" Type=\"t\"/>" + whole));
    try {
        Load_CAN_Send_List(table, path);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message().find(path), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find("row 2 has no attribute Dimension"), std::string::npos)
            << e.Message();
    }
    EXPECT_EQ(rowOf(table, 1), (Row{"1", "t", "2", "s", "5", " m "}));
    EXPECT_EQ(rowOf(table, 2), (Row{"2", "t", "", "", "", ""}));
    EXPECT_EQ(rowOf(table, 3), Row(6));

    // A file of the frame tables of today has no section of this layout.
    WriteBinaryFile(path, "<Transmit_Frames><row COBID=\"1\"/></Transmit_Frames>");
    EXPECT_THROW(Load_CAN_Send_List(table, path), Exception);
    EXPECT_EQ(rowOf(table, 1), Row(6));

    std::string many;
    for (int i = 1; i <= 501; ++i)
        many += "<row Cob_Id=\"" + std::to_string(i) +
                "\" Type=\"\" Dimension=\"\" TimeOut=\"\" Mnemonic=\"\"/>";
    WriteBinaryFile(path, listFile("PROFINET_to_Receive_CAN", "Receive_Frames", many));
    // A row past the table's last is not read: the load says so, keeping the rows that fit.
    TRow_Table rec = New_CAN_List(CAN_Rec_List_Columns);
    try {
        Load_CAN_Rec_List(rec, path);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), path + ": the table shows 500 of the 501 rows of Receive_Frames");
    }
    EXPECT_EQ(rec.Cell(1, 500), "500");
}

TEST_F(CanLegacy, PositionRule) {
    struct Case {
        const char* text;
        bool ok;
        int position;
    };
    const Case cases[] = {
        {"", true, CAN_Info_None},
        {" none ", true, CAN_Info_None},
        {"NoNe", true, CAN_Info_None},
        {"0", true, 0},
        {" 1438", true, 1438},
        {"0x10", true, 16},
        {"1439", false, 0},
        {"-1", false, 0},
        {"65535", false, 0},
        {"nonex", false, 0},
        {"5 x", false, 0},
    };
    for (const Case& c : cases) {
        std::uint16_t position = 7;
        EXPECT_EQ(CAN_Info_Position(c.text, CAN_Info_Max_Byte, position), c.ok) << c.text;
        EXPECT_EQ(position, c.ok ? c.position : 7) << c.text;
    }
    EXPECT_EQ(CAN_Info_Position_Error(TCan_Direction::Receive, 1, 1439),
              "Error Byte 1!! Value have to be between 0 to 1438 or none");
    EXPECT_EQ(CAN_Info_Position_Error(TCan_Direction::Send, 8, 1439),
              "Error Byte 8!! Value have to be between 0 to 1438 or none");
}

TEST_F(CanLegacy, ReceiveByteMapRefusesAPositionTakenTwice) {
    const std::string none = std::to_string(CAN_Info_None);
    struct Case {
        std::vector<TRecInfo> frames;
        std::string message;
    };
    const Case cases[] = {
        {{}, ""},
        {{frame("256", 8, {0, CAN_Info_None, CAN_Info_None, 1438}), frame("512", 2, {1, 1437})},
         ""},
        // The frame found later is named first.
        {{frame("256", 3, {9, 10}), frame("512", 1, {10})},
         "Error!! The Byte 10 is used in COB ID 512 in Byte 1 and in COB ID 256 in Byte 2"},
        {{frame("7", 8, {3, 4, 5, 6, 7, 8, 9, 3})},
         "Error!! The Byte 3 is used in COB ID 7 in Byte 8 and in COB ID 7 in Byte 1"},
        // Positions above 454 take part like the others.
        {{frame("1", 1, {1000}), frame("2", 1, {1438}), frame("3", 1, {1000})},
         "Error!! The Byte 1000 is used in COB ID 3 in Byte 1 and in COB ID 1 in Byte 1"},
    };
    for (const Case& c : cases) EXPECT_EQ(Check_CAN_Rec_Info(c.frames), c.message);
}

TEST_F(CanLegacy, ByteMapLoadAndSave) {
    const std::string frames = Path("CAN_Rec_Frames.xml"), info = Path("CAN_Rec_Info.xml");
    EXPECT_TRUE(Load_CAN_Info_Frames(TCan_Direction::Receive, frames).empty());
    WriteBinaryFile(frames, listFile("PROFINET_to_Receive_CAN", "Receive_Frames",
                                     "<row Cob_Id=\"256\" Dimension=\"3\"/>"
                                     "<row Cob_Id=\" 0x200\" Dimension=\"8\"/>"));
    std::vector<TRecInfo> read = Load_CAN_Info_Frames(TCan_Direction::Receive, frames);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[1].Cob_Id, " 0x200");
    EXPECT_EQ(read[0].Dim, 3);
    EXPECT_EQ(read[0].PosB[0], CAN_Info_None);
    // The send direction looks for its own section.
    EXPECT_TRUE(Load_CAN_Info_Frames(TCan_Direction::Send, frames).empty());

    // Positions beyond the frame's Dimension stay none; a third row has no frame.
    WriteBinaryFile(info, "<Receive_Frames_Info>"
                          "<row B1=\"0\" B2=\"65535\" B3=\"1438\" B4=\"9\"/>"
                          "<row B1=\"1\" B2=\"2\" B3=\"3\" B4=\"4\" B5=\"5\" B6=\"6\" B7=\"7\" "
                          "B8=\"8\"/><row/></Receive_Frames_Info>");
    EXPECT_TRUE(Load_CAN_Info(read, info));
    EXPECT_EQ(read[0].PosB,
              (std::array<std::uint16_t, 8>{0, CAN_Info_None, 1438, CAN_Info_None, CAN_Info_None,
                                            CAN_Info_None, CAN_Info_None, CAN_Info_None}));
    EXPECT_EQ(read[1].PosB[7], 8);
    read.pop_back();
    Save_CAN_Info(TCan_Direction::Receive, read, 5, info);
    EXPECT_EQ(savedxml::topLevel(info),
              (std::vector<std::string>{"Receive_Frames_Info", "SW_VERSION = 1.101"}));
    EXPECT_EQ(
        savedxml::rows(info, nullptr, {"B1", "B2", "B3", "B4", "B5", "B6", "B7", "B8"}),
        (std::vector<Row>{{"0", "65535", "1438", "65535", "65535", "65535", "65535", "65535"}}));
    EXPECT_FALSE(Load_CAN_Info(read, info));

    // What is no position, no number or missing stops the load naming the file.
    struct Bad {
        const char* row;
        const char* says;
    };
    const Bad bad[] = {
        {"<row B1=\"1439\" B2=\"1\" B3=\"1\"/>", "B1 is no position"},
        {"<row B1=\"1\" B2=\"-1\" B3=\"1\"/>", "B2 is no position"},
        {"<row B1=\"1\" B2=\"x\" B3=\"1\"/>", "B2 is not a number"},
        {"<row B1=\"1\" B2=\"1\"/>", "no attribute B3"},
    };
    for (const Bad& b : bad) {
        WriteBinaryFile(info,
                        std::string("<Receive_Frames_Info>") + b.row + "</Receive_Frames_Info>");
        std::vector<TRecInfo> f = {frame("1", 3)};
        try {
            Load_CAN_Info(f, info);
            ADD_FAILURE() << b.row;
        } catch (const Exception& e) {
            EXPECT_NE(e.Message().find(info), std::string::npos) << e.Message();
            EXPECT_NE(e.Message().find(b.says), std::string::npos) << e.Message();
        }
    }
    WriteBinaryFile(frames, listFile("PROFINET_to_Receive_CAN", "Receive_Frames",
                                     "<row Cob_Id=\"1\" Dimension=\"three\"/>"));
    EXPECT_THROW(Load_CAN_Info_Frames(TCan_Direction::Receive, frames), Exception);
}

// --- the forms -------------------------------------------------------------------------------

TEST_F(CanLegacy, FrameListFormsSaveEveryRowUpToTheFirstEmptyCobId) {
    auto rec = Create<TFCAN_Rec_Frames>(5);
    const std::vector<Row> rows = {{"5", A, "1", "0", "a"}, {"0", B, "2", "10", ""}};
    uitest::runModal(rec.get(), [&](TCustomForm*) {
        TQorColumnGrid* g = rec->sga;
        EXPECT_EQ(rec->Caption(), "Receive CAN Frames");
        EXPECT_EQ(g->RowCount(), 501);
        EXPECT_EQ(g->ColCount(), 6);
        EXPECT_EQ(g->ColWidths(0), 64);
        EXPECT_EQ(g->ColWidths(5), 310);
        EXPECT_EQ(g->Cells(1, 0), "Cob-ID");
        EXPECT_EQ(g->Columns()->Items(2)->ComboItems()->Text(), A + "\n" + B + "\n");
        EXPECT_EQ(rec->Btn_CopyRow, nullptr);
        for (std::size_t r = 0; r < rows.size(); ++r) Fill(g, int(r) + 1, rows[r]);
        Fill(g, 3, {"1", A, "0", "0", ""});
        rec->bitbtn1Click(rec->Btn_OK);
        EXPECT_EQ(rec->ModalResult(), mrNone);
        Select(g, 3);
        uitest::dialogs().QueueAnswer(mrYes);
        rec->Btn_DelRow_Click(rec->Btn_DelRow);
        uitest::click(rec->Btn_OK);
    });
    EXPECT_EQ(rec->ModalResult(), mrOk);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"Error row 3!! CAN Dimension must be between 1 "
                                                 "and 8",
                                                 "Are you sure to delete the Row number 3"}));
    EXPECT_EQ(savedxml::rows(File_CAN_Rec_Frames, "Receive_Frames", Rec_Attributes), rows);

    auto send = Create<TFCAN_Send_Frame>(5);
    uitest::runModal(send.get(), [&](TCustomForm*) {
        EXPECT_EQ(send->sga->Cells(4, 0), "Send Frame Type");
        EXPECT_EQ(send->sga->Columns()->Items(4)->ComboItems()->Text(),
                  "On Data Change\nOn Timer\n");
        Fill(send->sga, 1, {"0", A, "8", "On Timer", "100", ""});
        uitest::click(send->Btn_OK);
    });
    EXPECT_EQ(savedxml::rows(File_CAN_Send_Frames, "Send_Frames", Send_Attributes),
              (std::vector<Row>{{"0", A, "8", "On Timer", "100", ""}}));
}

TEST_F(CanLegacy, FrameListFormReplacesAFileOfAnotherLayoutOnlyAfterAYes) {
    const std::string today = "<Receive_Frames><row Enable=\"Y\" COBID=\"1\"/></Receive_Frames>";
    WriteBinaryFile(File_CAN_Rec_Frames, today);
    auto f = Create<TFCAN_Rec_Frames>(5);
    uitest::runModal(f.get(), [&](TCustomForm*) {
        ASSERT_EQ(uitest::dialogs().Questions().size(), 1u);
        EXPECT_EQ(uitest::dialogs().Questions()[0].Kind, dkException);
        EXPECT_NE(Shown()[0].find("Receive_Frames is missing"), std::string::npos) << Shown()[0];
        Fill(f->sga, 1, {"5", A, "1", "0", ""});
        uitest::dialogs().QueueAnswer(mrNo);
        uitest::click(f->Btn_OK);
        EXPECT_EQ(ReadBinaryFile(File_CAN_Rec_Frames), today);
        uitest::click(f->Btn_Cancel);
    });
    EXPECT_EQ(Shown().back(), UI_Texts[1746]);
}

namespace {

class ByteMap : public CanLegacy {
protected:
    void WriteFrames() {
        WriteBinaryFile(File_CAN_Rec_Frames, listFile("PROFINET_to_Receive_CAN", "Receive_Frames",
                                                      "<row Cob_Id=\"256\" Dimension=\"3\"/>"
                                                      "<row Cob_Id=\"512\" Dimension=\"8\"/>"));
        WriteBinaryFile(File_CAN_Send_Frames, listFile("PROFINET_to_Send_CAN", "Send_Frames",
                                                       "<row Cob_Id=\"7\" Dimension=\"2\"/>"));
    }
    // Types text into edit k with native key events, leaving the focus in it.
    static void TypeInto(TCan_Info_Form* f, int k, const std::string& text) {
        TEdit* edit = f->Edits[std::size_t(k - 1)];
        edit->SetFocus();
        edit->SelectAll();
        if (text.empty()) edit->ClearSelection();
        for (char ch : text)
            uitest::postNativeKey(WORD(std::toupper(static_cast<unsigned char>(ch))), edit);
        uitest::processMessages();
    }
    // Types text into edit k and leaves it with Tab.
    static void TypeAndLeave(TCan_Info_Form* f, int k, const std::string& text) {
        TypeInto(f, k, text);
        uitest::postNativeKey(VK_TAB, f->Edits[std::size_t(k - 1)]);
        uitest::processMessages();
    }
    // Clicks the list item of the frame at index through the list's native window.
    static void ClickFrame(TCan_Info_Form* f, int index) {
        const TRect r = f->ListBox1->ItemRect(index);
        uitest::postNativeClickAt(f->ListBox1, {r.Left + 4, (r.Top + r.Bottom) / 2});
        uitest::processMessages();
    }
    static std::vector<std::string> EditTexts(TCan_Info_Form* f) {
        std::vector<std::string> texts;
        for (TEdit* e : f->Edits) texts.push_back(e->Text());
        return texts;
    }
};

} // namespace

TEST_F(ByteMap, ShowsTheFramesAndTheirPositions) {
    WriteFrames();
    WriteBinaryFile(File_CAN_Rec_Info, "<Receive_Frames_Info><row B1=\"5\" B2=\"65535\" "
                                       "B3=\"7\"/><row B1=\"1\" B2=\"2\" B3=\"3\" B4=\"4\" "
                                       "B5=\"5\" B6=\"6\" B7=\"7\" B8=\"1438\"/>"
                                       "</Receive_Frames_Info>");
    auto f = Create<TF_Rec_Info>(5);
    uitest::runModal(f.get(), [&](TCustomForm*) {
        EXPECT_EQ(f->Caption(), "Receive CAN Frames Info");
        EXPECT_EQ(f->ClientWidth(), 654);
        EXPECT_EQ(f->ListBox1->Items()->Text(), "256\n512\n");
        EXPECT_EQ(f->ListBox1->ItemIndex(), 0);
        EXPECT_EQ(f->Byte_Texts[7]->Caption(), "Byte 8 of frame CAN go to byte");
        // Dimension 3: bytes 4..8 are not in use.
        EXPECT_EQ(EditTexts(f.get()), (std::vector<std::string>{"5", "none", "7", "none", "none",
                                                                "none", "none", "none"}));
        for (int k = 0; k < 8; ++k) {
            EXPECT_EQ(f->Panels[std::size_t(k)]->Enabled(), k < 3) << k;
            EXPECT_EQ(f->Not_In_Use[std::size_t(k)]->Visible(), k >= 3) << k;
        }
        // A click on the second frame shows its eight positions.
        ClickFrame(f.get(), 1);
        EXPECT_EQ(f->ListBox1->ItemIndex(), 1);
        EXPECT_EQ(f->Edits[7]->Text(), "1438");
        EXPECT_TRUE(f->Panels[7]->Enabled());
        EXPECT_FALSE(f->Not_In_Use[7]->Visible());
        uitest::click(f->Btn_Cancel);
    });
    EXPECT_TRUE(Shown().empty());
}

TEST_F(ByteMap, ReceivePositionsAreTakenWhenAnEditIsLeftAndCheckedOnOk) {
    WriteFrames();
    auto f = Create<TF_Rec_Info>(5);
    uitest::runModal(f.get(), [&](TCustomForm*) {
        TypeAndLeave(f.get(), 1, "1439");
        EXPECT_EQ(Shown(), std::vector<std::string>{
                               "Error Byte 1!! Value have to be between 0 to 1438 or none"});
        EXPECT_TRUE(f->Edits[0]->Focused());
        EXPECT_EQ(f->Data_arr[0].PosB[0], CAN_Info_None);
        TypeAndLeave(f.get(), 1, "10");
        // A position typed and left by a click on another frame belongs to the frame it was
        // typed for.
        TypeInto(f.get(), 2, "12");
        ClickFrame(f.get(), 1);
        EXPECT_EQ(f->Data_arr[0].PosB[0], 10);
        EXPECT_EQ(f->Data_arr[0].PosB[1], 12);
        EXPECT_EQ(f->Edits[1]->Text(), "none");
        ClickFrame(f.get(), 0);
        TypeAndLeave(f.get(), 2, "");
        ClickFrame(f.get(), 1);
        TypeAndLeave(f.get(), 8, "10");
        // OK refuses the position taken twice, then saves once it is changed.
        f->bitbtn1Click(f->Btn_OK);
        EXPECT_EQ(f->ModalResult(), mrNone);
        EXPECT_EQ(
            Shown().back(),
            "Error!! The Byte 10 is used in COB ID 512 in Byte 8 and in COB ID 256 in Byte 1");
        // A text typed and not yet left counts.
        TypeInto(f.get(), 8, "11");
        uitest::postNativeClick(f->Btn_OK);
        uitest::processMessages();
    });
    EXPECT_EQ(f->ModalResult(), mrOk);
    EXPECT_EQ(Shown().size(), 2u);
    const std::string n = "65535";
    EXPECT_EQ(savedxml::rows(File_CAN_Rec_Info, nullptr,
                             {"B1", "B2", "B3", "B4", "B5", "B6", "B7", "B8"}),
              (std::vector<Row>{{"10", n, n, n, n, n, n, n}, {n, n, n, n, n, n, n, "11"}}));
}

TEST_F(ByteMap, SendPositionsAreCheckedWhenLeftNotWhileTyped) {
    WriteFrames();
    auto f = Create<TF_Sen_Info>(5);
    uitest::runModal(f.get(), [&](TCustomForm*) {
        EXPECT_EQ(f->Caption(), "Send CAN Frames Info");
        EXPECT_EQ(f->Byte_Texts[0]->Caption(), "Byte 1 of frame CAN is the byte");
        TypeAndLeave(f.get(), 1, "none");
        TypeAndLeave(f.get(), 2, "1438");
        EXPECT_TRUE(Shown().empty());
        TypeAndLeave(f.get(), 1, "abc");
        EXPECT_EQ(Shown(), std::vector<std::string>{
                               "Error Byte 1!! Value have to be between 0 to 1438 or none"});
        TypeAndLeave(f.get(), 1, "1438");
        // Send positions may repeat.
        uitest::click(f->Btn_OK);
    });
    EXPECT_EQ(f->ModalResult(), mrOk);
    const std::string n = "65535";
    EXPECT_EQ(savedxml::rows(File_CAN_Send_Info, nullptr,
                             {"B1", "B2", "B3", "B4", "B5", "B6", "B7", "B8"}),
              (std::vector<Row>{{"1438", "1438", n, n, n, n, n, n}}));
}

TEST_F(ByteMap, AnInfoFileNotReadToItsEndIsReplacedOnlyAfterAYes) {
    // The frame file holds the frame tables of today: no frames, the info file is not read.
    WriteBinaryFile(File_CAN_Rec_Frames, "<Receive_Frames><row COBID=\"1\"/></Receive_Frames>");
    const std::string info = "<Receive_Frames_Info><row B1=\"3\"/></Receive_Frames_Info>";
    WriteBinaryFile(File_CAN_Rec_Info, info);
    auto f = Create<TF_Rec_Info>(5);
    f->Edits[0]->SetText("7");
    uitest::runModal(f.get(), [&](TCustomForm*) {
        EXPECT_EQ(f->ListBox1->Count(), 0);
        EXPECT_FALSE(f->Panels[0]->Enabled());
        EXPECT_EQ(f->Edits[0]->Text(), "none");
        uitest::dialogs().QueueAnswer(mrNo);
        uitest::click(f->Btn_OK);
        EXPECT_EQ(f->ModalResult(), mrNone);
        EXPECT_EQ(ReadBinaryFile(File_CAN_Rec_Info), info);
        uitest::click(f->Btn_Cancel);
    });
    EXPECT_EQ(Shown(), std::vector<std::string>{UI_Texts[1746]});
    // A position in the file that is no position of the image is reported, not used.
    WriteFrames();
    WriteBinaryFile(
        File_CAN_Rec_Info,
        "<Receive_Frames_Info><row B1=\"5000\" B2=\"1\" B3=\"1\"/></Receive_Frames_Info>");
    uitest::dialogs().Clear();
    uitest::runModal(f.get(), [&](TCustomForm*) {
        ASSERT_EQ(uitest::dialogs().Questions().size(), 1u);
        EXPECT_EQ(uitest::dialogs().Questions()[0].Kind, dkException);
        EXPECT_EQ(f->Edits[0]->Text(), "none");
        uitest::dialogs().QueueAnswer(mrYes);
        uitest::click(f->Btn_OK);
    });
    EXPECT_EQ(f->ModalResult(), mrOk);
}
