// The editing life cycle and the text editor: which editor a cell opens, what its filters let
// through, how the value reaches the cell, Escape, validation and the end-of-edit report.
#include "platform/base/FormatSettings.h"
#include "platform/ui/core/Clipbrd.h"
#include "tests/grid/editors/EditGridFixture.h"

using namespace edit_fixture;
using Log = std::vector<std::string>;

namespace {

class CellEditTest : public EditGridTest {
protected:
    void SetUp() override {
        EditGridTest::SetUp();
        ResetFormatSettings();
    }
    // Opens the text editor on (colText, row) holding Cell, all its text selected.
    void open(int row, const std::string& cell) {
        grid->SetCells(colText, row, cell);
        at(colText, row);
        uitest::pressKey(VK_F2, {}, grid);
        ASSERT_TRUE(editorShown());
    }
};

TEST_F(CellEditTest, TypedKeysAreFilteredByTheEditorKind) {
    struct Case {
        const char* name;
        TEditorType kind;
        const char* cell; // the editor opens on it with F2 and the caret goes home first
        int right;        // caret moves right after Home
        const char* typed;
        const char* stored;
    };
    const Case cases[] = {
        {"plain", edNormal, nullptr, 0, "a-1.B", "a-1.B"},
        {"integer", edNumeric, nullptr, 0, "1a2-", "12"},
        {"minus first", edNumeric, "12", 0, "-", "-12"},
        {"second minus", edNumeric, "-12", 0, "-", "-12"},
        {"minus inside", edNumeric, "12", 1, "-", "12"},
        {"positive integer", edPositiveNumeric, nullptr, 0, "-1x2", "12"},
        {"number", edFloat, nullptr, 0, "1.5.2,3", "1.523"},
        {"signed number", edFloat, nullptr, 0, "-2.5", "-2.5"},
        {"positive number", edPositiveFloat, nullptr, 0, "-1.5", "1.5"},
        {"capitals", edCapital, nullptr, 0, "abC", "ABC"},
        {"upper case", edUpperCase, nullptr, 0, "x1y", "X1Y"},
        {"lower case", edLowerCase, nullptr, 0, "AbC", "abc"},
        {"words", edMixedCase, nullptr, 0, "john smith", "John Smith"},
        {"valid characters", edValidChars, nullptr, 0, "ADBC", "ABC"},
        {"password", edPassword, nullptr, 0, "pw", "pw"},
    };
    grid->SetValidChars("ABC");
    int row = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        grid->Columns()->Items(colText)->SetEditor(c.kind);
        row = row % 5 + 1;
        if (c.cell) {
            open(row, c.cell);
            uitest::pressKey(VK_HOME);
            for (int i = 0; i < c.right; ++i) uitest::pressKey(VK_RIGHT);
        } else {
            grid->SetCells(colText, row, "");
            at(colText, row);
        }
        uitest::typeText(c.typed);
        if (c.kind == edPassword) {
            EXPECT_EQ(editor()->PasswordChar(), U'*');
        }
        uitest::pressKey(VK_RETURN);
        EXPECT_FALSE(editorShown());
        EXPECT_EQ(grid->Cells(colText, row), c.stored);
    }
}

TEST_F(CellEditTest, TheLengthLimitStopsTypingButNotReplacing) {
    grid->SetMaxEditLength(3);
    open(1, "abc");
    uitest::pressKey(VK_END);
    uitest::typeText("d");
    EXPECT_EQ(editor()->Text(), "abc");
    uitest::pressKey(VK_BACK);
    EXPECT_EQ(editor()->Text(), "ab");
    editor()->SetSelStart(0);
    editor()->SetSelLength(2);
    uitest::typeText("xyz");
    EXPECT_EQ(editor()->Text(), "xyz");
}

TEST_F(CellEditTest, PastingIsFilteredByTheEditorKind) {
    struct Case {
        const char* name;
        TEditorType kind;
        const char* cell;
        int selStart, selLength;
        const char* clipboard;
        const char* text;
    };
    const Case cases[] = {
        {"digits behind the caret", edPositiveNumeric, "2", 1, 0, "15", "215"},
        {"a minus is no positive number", edPositiveNumeric, "2", 1, 0, "-5", "2"},
        {"signed integer", edNumeric, "", 0, 0, "-5", "-5"},
        {"grouped number", edFloat, "", 0, 0, "1,000.5", "1,000.5"},
        {"exponent refused", edFloat, "", 0, 0, "1e5", ""},
        {"selection replaced", edNormal, "abcd", 1, 2, "XY", "aXYd"},
        {"line break at the end dropped", edNormal, "x", 1, 0, "ab\r\n", "xab"},
        {"upper-cased", edUpperCase, "", 0, 0, "ab", "AB"},
        {"valid characters only", edValidChars, "", 0, 0, "AD", ""},
    };
    grid->SetValidChars("ABC");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        grid->Columns()->Items(colText)->SetEditor(c.kind);
        open(2, c.cell);
        editor()->SetSelStart(c.selStart);
        editor()->SetSelLength(c.selLength);
        Clipboard()->SetAsText(c.clipboard);
        // Ctrl+V goes through the same filtered paste.
        editor()->Perform(WM_CHAR, 22);
        EXPECT_EQ(editor()->Text(), c.text);
        EXPECT_EQ(grid->Cells(colText, 2), c.text) << "the cell takes the pasted text at once";
        uitest::pressKey(VK_ESCAPE);
    }
    // Too long for the limit: refused whole.
    grid->Columns()->Items(colText)->SetEditor(edNormal);
    grid->SetMaxEditLength(3);
    open(3, "");
    Clipboard()->SetAsText("abcd");
    editor()->Perform(WM_PASTE);
    EXPECT_EQ(editor()->Text(), "");
}

TEST_F(CellEditTest, ATextEditIsValidatedCommittedAndReportedOnce) {
    logDone();
    grid->OnCellValidate = [this](TObject*, int c, int r, std::string& v, bool&) {
        log.push_back("validate " + std::to_string(c) + "," + std::to_string(r) + " " + v);
    };
    at(colText, 3);
    // Real key presses through Qt's delivery: a digit opens the editor with it, Enter closes.
    uitest::postNativeKey('4', grid);
    uitest::processMessages();
    ASSERT_TRUE(editorShown());
    uitest::postNativeKey('2', editor());
    uitest::postNativeKey(VK_RETURN, editor());
    uitest::processMessages();
    EXPECT_FALSE(editorShown());
    EXPECT_EQ(grid->Cells(colText, 3), "42");
    EXPECT_EQ(log, (Log{"validate 1,3 42", "editing done", "cell done 1,3"}));
    EXPECT_EQ(grid->Row(), 3) << "Enter confirms; the current cell stays";
    // The next Enter opens the editor again.
    uitest::pressKey(VK_RETURN, {}, grid);
    EXPECT_TRUE(editorShown());
}

TEST_F(CellEditTest, EscapeRestoresTheTextOfBeforeTheEdit) {
    open(4, "old");
    uitest::typeText("new");
    EXPECT_EQ(grid->Cells(colText, 4), "oldnew") << "F2 puts the caret at the end; the cell "
                                                    "follows the editor while typing";
    uitest::pressKey(VK_ESCAPE);
    EXPECT_FALSE(editorShown());
    EXPECT_EQ(grid->Cells(colText, 4), "old");
}

TEST_F(CellEditTest, ARefusedValueKeepsTheEditorOpenWithTheValidationsText) {
    logDone();
    grid->OnCellValidate = [](TObject*, int, int, std::string& v, bool& valid) {
        if (v.starts_with("bad")) {
            v = "bad!";
            valid = false;
        }
    };
    open(2, "ok");
    editor()->SelectAll();
    uitest::typeText("bad");
    uitest::pressKey(VK_RETURN);
    ASSERT_TRUE(editorShown());
    EXPECT_EQ(editor()->Text(), "bad!");
    EXPECT_FALSE(grid->LastValidation());
    uitest::processMessages();
    EXPECT_TRUE(log.empty()) << "a refusal ends no edit";
    editor()->SelectAll();
    uitest::typeText("good");
    uitest::pressKey(VK_RETURN);
    EXPECT_EQ(grid->Cells(colText, 2), "good");
}

TEST_F(CellEditTest, CursorWalkLeavesTheTextAlongTheRow) {
    grid->Navigation()->SetCursorWalkEditor(true);
    // The walk goes along the row whatever the advance after Enter is set to.
    grid->Navigation()->SetAdvanceDirection(adTopBottom);
    grid->Columns()->Items(colList)->SetEditor(edNormal);
    open(2, "ab");
    editor()->SetSelStart(2);
    uitest::postNativeKey(VK_RIGHT, editor());
    uitest::processMessages();
    EXPECT_EQ(grid->Col(), colList);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->Cells(colText, 2), "ab");
    EXPECT_EQ(grid->Navigation()->AdvanceDirection(), adTopBottom);

    uitest::pressKey(VK_F2, {}, grid);
    ASSERT_TRUE(editorShown());
    editor()->SetSelStart(0);
    uitest::postNativeKey(VK_LEFT, editor());
    uitest::processMessages();
    EXPECT_EQ(grid->Col(), colText);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->Navigation()->AdvanceDirection(), adTopBottom);
}

TEST_F(CellEditTest, LookupCompletesFromTheItemsUntilBackspace) {
    grid->SetLookup(true);
    grid->LookupItems()->Add("Alpha");
    grid->LookupItems()->Add("Beta");
    open(1, "");
    uitest::typeText("b");
    EXPECT_EQ(editor()->Text(), "beta");
    EXPECT_EQ(editor()->SelStart(), 1);
    EXPECT_EQ(editor()->SelLength(), 3);
    uitest::pressKey(VK_BACK);
    EXPECT_EQ(editor()->Text(), "b");
}

TEST_F(CellEditTest, ComboListCellsOpenWithTheirItemOrTheFirstOne) {
    Log events;
    grid->OnComboChange = [&](TObject*, int c, int r, int i, const std::string& s) {
        events.push_back(std::to_string(c) + "," + std::to_string(r) + " " + std::to_string(i) +
                         " " + s);
    };
    Log objectEvents;
    grid->OnComboObjectChange = [&](TObject*, int c, int r, int i, const std::string& s, TObject*) {
        objectEvents.push_back(std::to_string(c) + "," + std::to_string(r) + " " +
                               std::to_string(i) + " " + s);
    };
    logDone();
    grid->SetCells(colList, 2, "B");
    at(colList, 2);
    uitest::pressKey(VK_F2, {}, grid);
    ASSERT_TRUE(comboShown());
    EXPECT_EQ(combo()->Style(), csDropDownList);
    EXPECT_EQ(combo()->ItemIndex(), 1);
    EXPECT_TRUE(events.empty());
    uitest::pressKey(VK_ESCAPE, {}, combo());
    EXPECT_EQ(grid->Cells(colList, 2), "B");

    // An empty cell opens with the first item, reported once, and closing stores it.
    at(colList, 3);
    log.clear();
    uitest::pressKey(VK_F2, {}, grid);
    EXPECT_EQ(combo()->Text(), "A");
    EXPECT_EQ(events, Log{"2,3 0 A"});
    EXPECT_EQ(objectEvents, Log{"2,3 0 A"});
    uitest::pressKey(VK_RETURN, {}, combo());
    EXPECT_FALSE(comboShown());
    EXPECT_EQ(grid->Cells(colList, 3), "A");
    uitest::processMessages();
    EXPECT_EQ(log, (Log{"editing done", "cell done 2,3"}));
    EXPECT_EQ(events, Log{"2,3 0 A"});

    // A second close stores nothing.
    grid->SetCells(colList, 3, "Z");
    grid->HideCellEdit();
    EXPECT_EQ(grid->Cells(colList, 3), "Z");

    // A column without items opens an empty list and reports nothing.
    events.clear();
    grid->Columns()->Items(colList)->ComboItems()->Clear();
    at(colList, 4);
    uitest::pressKey(VK_F2, {}, grid);
    EXPECT_TRUE(comboShown());
    EXPECT_TRUE(events.empty());
}

TEST_F(CellEditTest, ATypedKeyOpensTheComboAndIsItsFirstKeystroke) {
    at(colList, 2);
    uitest::typeText("c");
    ASSERT_TRUE(comboShown());
    EXPECT_TRUE(combo()->Focused());
    EXPECT_EQ(combo()->Text(), "C");
    uitest::pressKey(VK_RETURN, {}, combo());
    EXPECT_EQ(grid->Cells(colList, 2), "C");

    at(colCombo, 2);
    grid->SetCells(colCombo, 2, "free");
    uitest::typeText("x");
    ASSERT_TRUE(comboShown());
    EXPECT_EQ(combo()->Style(), csDropDown);
    EXPECT_EQ(combo()->Text(), "x") << "the typed key replaces the selected cell text";
    uitest::typeText("yz");
    uitest::pressKey(VK_RETURN, {}, combo());
    EXPECT_EQ(grid->Cells(colCombo, 2), "xyz");
}

TEST_F(CellEditTest, AComboEditCellKeepsATextThatIsNoItem) {
    grid->SetCells(colCombo, 1, "other");
    at(colCombo, 1);
    uitest::pressKey(VK_F2, {}, grid);
    EXPECT_EQ(combo()->Text(), "other");
    EXPECT_EQ(combo()->ItemIndex(), -1);
    uitest::pressKey(VK_RETURN, {}, combo());
    EXPECT_EQ(grid->Cells(colCombo, 1), "other");
}

TEST_F(CellEditTest, TheComboCoversItsCell) {
    at(colCombo, 3);
    uitest::pressKey(VK_F2, {}, grid);
    const TRect cell = grid->CellRect(colCombo, 3);
    EXPECT_EQ(combo()->BoundsRect(),
              Bounds(cell.Left, cell.Top, cell.Width() - 1, cell.Height() - 1));
    EXPECT_EQ(combo()->DropDownCount(), 8);
}

TEST_F(CellEditTest, KindsWithoutAnEditorOpenNothing) {
    grid->OnGetEditorType = [](TObject*, int c, int, TEditorType& e) {
        if (c == colText) e = edNone;
    };
    at(colText, 2);
    uitest::pressKey(VK_F2, {}, grid);
    uitest::typeText("q");
    EXPECT_FALSE(editorShown());
    EXPECT_FALSE(grid->EditMode());
    EXPECT_EQ(grid->Cells(colText, 2), "");
}

TEST_F(CellEditTest, ShowCellEditOpensAndHideCellEditCommits) {
    at(colCombo, 4);
    grid->ShowCellEdit();
    ASSERT_TRUE(comboShown());
    combo()->SetText("B");
    grid->HideCellEdit();
    EXPECT_FALSE(comboShown());
    EXPECT_EQ(grid->Cells(colCombo, 4), "B");
}

} // namespace
