#include "editors/comm/RowTable.h"

#include "platform/xml/XmlDoc.h"
#include "shell/state/ProgramState.h"
#include "shell/state/ProjectXml.h"
#include "shell/state/UITexts.h"

#include <gtest/gtest.h>

namespace {

// Four rows of Enable (check box), Key and Value.
class RowTable : public ::testing::Test {
protected:
    void SetUp() override {
        Load_Default_Texts();
        Row_Clipboard.Clear();
        prompts.Error = [this](const std::string& m) { shown.push_back("error:" + m); };
        prompts.Ask = [this](const std::string& m) {
            shown.push_back("ask:" + m);
            return answer;
        };
    }
    void fill(int row, const std::string& key, const std::string& value,
              const std::string& enable = "Y") {
        table.Cell(1, row) = enable;
        table.Cell(2, row) = key;
        table.Cell(3, row) = value;
    }
    std::vector<std::string> rowOf(int row) const {
        return {table.Cell(1, row), table.Cell(2, row), table.Cell(3, row)};
    }

    TRow_Table table{4, {true, false, false}, 1};
    TRow_Prompts prompts;
    std::vector<std::string> shown;
    bool answer = true;
};

using Row = std::vector<std::string>;

} // namespace

TEST_F(RowTable, InsertMovesRowsDownAndStartsEnabled) {
    fill(1, "a", "1");
    fill(2, "b", "2", "N");
    EXPECT_TRUE(Insert_Grid_Row(table, 1, prompts));
    EXPECT_EQ(rowOf(1), (Row{"Y", "", ""}));
    EXPECT_EQ(rowOf(2), (Row{"Y", "a", "1"}));
    EXPECT_EQ(rowOf(3), (Row{"N", "b", "2"}));
    EXPECT_TRUE(shown.empty());
}

TEST_F(RowTable, InsertIsRefusedWhenTheLastRowIsUsed) {
    fill(1, "a", "1");
    fill(4, "", "kept"); // any text outside the check boxes counts
    EXPECT_FALSE(Insert_Grid_Row(table, 1, prompts));
    EXPECT_EQ(shown, (std::vector<std::string>{"error:" + UI_Texts[1744]}));
    EXPECT_EQ(rowOf(1), (Row{"Y", "a", "1"}));
    EXPECT_EQ(rowOf(4), (Row{"Y", "", "kept"}));

    // A last row holding only a check-box text and blanks is free.
    fill(4, " ", "", "N");
    EXPECT_TRUE(Insert_Grid_Row(table, 4, prompts));
    EXPECT_EQ(rowOf(4), (Row{"Y", "", ""}));
}

TEST_F(RowTable, DeleteMovesRowsUpAndEmptiesTheLast) {
    for (int r = 1; r <= 4; ++r) fill(r, std::to_string(r), "v");
    Delete_Grid_Row(table, 2);
    EXPECT_EQ(rowOf(2), (Row{"Y", "3", "v"}));
    EXPECT_EQ(rowOf(3), (Row{"Y", "4", "v"}));
    EXPECT_EQ(rowOf(4), (Row{"", "", ""}));
    Delete_Grid_Row(table, 4);
    EXPECT_EQ(rowOf(3), (Row{"Y", "4", "v"}));
}

TEST_F(RowTable, PasteChecksAndQuestions) {
    fill(1, "src", "9", "N");
    Copy_Grid_Row(table, 1);
    ASSERT_EQ(Row_Clipboard.Count(), 3);

    struct Case {
        const char* name;
        bool copied;
        int clipboard_extra; // entries added to the clipboard
        Row target;
        bool answer;
        std::vector<std::string> shown;
        Row after;
    };
    const Row copy{"N", "src", "9"};
    const std::vector<Case> cases = {
        {"not copied in this showing",
         false,
         0,
         {"Y", "", ""},
         true,
         {"error:" + UI_Texts[348]},
         {"Y", "", ""}},
        {"clipboard of another table",
         true,
         1,
         {"Y", "", ""},
         true,
         {"error:" + UI_Texts[347]},
         {"Y", "", ""}},
        {"free row, no question", true, 0, {"Y", "", ""}, true, {}, copy},
        {"check boxes and blanks only", true, 0, {"N", "  ", ""}, false, {}, copy},
        {"used row, No", true, 0, {"Y", "k", ""}, false, {"ask:" + UI_Texts[346]}, {"Y", "k", ""}},
        {"used row, Yes", true, 0, {"Y", "k", ""}, true, {"ask:" + UI_Texts[346]}, copy},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Copy_Grid_Row(table, 1);
        for (int i = 0; i < c.clipboard_extra; ++i) Row_Clipboard.Add("x");
        fill(3, c.target[1], c.target[2], c.target[0]);
        shown.clear();
        answer = c.answer;
        Paste_Grid_Row(table, 3, c.copied, prompts);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(rowOf(3), c.after);
    }
}

TEST_F(RowTable, EndOfTableAndRowsItWouldDrop) {
    struct Case {
        std::vector<Row> rows;
        bool trim;
        int length;
        int lost;
    };
    const std::vector<Case> cases = {
        {{}, false, 0, 0},
        {{{"Y", "a", "1"}, {"Y", "b", ""}}, false, 2, 0},
        {{{"Y", "a", "1"}, {"Y", "", ""}, {"Y", "c", "3"}}, false, 1, 2},
        {{{"Y", "a", "1"}, {"N", "", "orphan"}}, false, 1, 2},            // the ending row itself
        {{{"Y", "a", "1"}, {"Y", " ", ""}, {"Y", "c", ""}}, false, 3, 0}, // a blank is a key
        {{{"Y", "a", "1"}, {"Y", " ", ""}, {"Y", "c", ""}}, true, 1, 2},
        {{{"Y", "a", "1"}, {"N", "", ""}, {"N", "", ""}}, false, 1, 0}, // ticks only
    };
    for (const Case& c : cases) {
        table.Reset();
        for (std::size_t i = 0; i < c.rows.size(); ++i)
            fill(int(i) + 1, c.rows[i][1], c.rows[i][2], c.rows[i][0]);
        EXPECT_EQ(Table_Length(table, 2, c.trim), c.length);
        EXPECT_EQ(Row_Lost_After_End(table, 2, c.trim), c.lost);
    }
}

// A load fills what fits, reads on and then names every table that left rows out.
TEST(RowLoad, RowsPastTheTableAreNamedAfterTheRestIsRead) {
    TXMLDocument doc;
    doc.LoadFromXML("<r><a><row v=\"1\"/><row v=\"2\"/><row v=\"3\"/></a>"
                    "<b><row v=\"4\"/></b><c><row v=\"5\"/><row v=\"6\"/></c></r>");
    const TXmlNode root = doc.DocumentElement();
    TRow_Table a(2, {false}), b(2, {false}), c(1, {false});
    TRow_Load load("/p/file.xml");
    auto fill = [](TRow_Table& t) {
        return [&t](const TXmlNode& node, int row) {
            t.Cell(1, row) = node.GetAttribute("v").AsString();
        };
    };
    const auto rows = [&](const char* name) {
        return Element_Children(root.ChildNodes().FindNode(name));
    };
    load.Fill(a, rows("a"), fill(a)); // named by the file alone
    load.Fill(b, rows("b"), fill(b), "b");
    load.Fill(c, rows("c"), fill(c), "c");
    try {
        load.Finish();
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "/p/file.xml: the table shows 2 of the 3 rows; the table shows 1 "
                               "of the 2 rows of c");
    }
    EXPECT_EQ(a.Cell(1, 2), "2");
    EXPECT_EQ(b.Cell(1, 1), "4");
    EXPECT_EQ(c.Cell(1, 1), "5");
    TRow_Load whole("/p/other.xml");
    whole.Fill(b, rows("b"), fill(b));
    EXPECT_NO_THROW(whole.Finish());
}
