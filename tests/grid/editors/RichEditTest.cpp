// Rich-text cells edited in place: typed through Qt's own key delivery, written back as RTF,
// kept through the grid's file; and the grid's hidden converter.
#include "EditGridFixture.h"
#include "grid/editors/AsgCombo.h"
#include "grid/editors/QorRichEdit.h"

#include <cstdio>
#include <unistd.h>

namespace {

using edit_fixture::colText;

class RichEditTest : public edit_fixture::EditGridTest {
protected:
    void SetUp() override {
        EditGridTest::SetUp();
        grid->Columns()->Items(colText)->SetEditor(edRichEdit);
    }
    // The cell's rich text as runs.
    TRichText runsOf(int c, int r) {
        TRichText t;
        t.Load(grid->Cells(c, r));
        return t;
    }
};

TEST_F(RichEditTest, TypedBoldAndLineBreakAreKeptInTheCellAndItsFile) {
    grid->SetCells(colText, 1, "{\\rtf1{\\i it}}");
    int selections = 0;
    grid->OnRichEditSelectionChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, grid->InplaceRichEdit());
        ++selections;
    };
    at(colText, 1);
    uitest::postNativeKey(VK_F2);
    uitest::processMessages();
    TQorRichEdit* rich = grid->InplaceRichEdit();
    ASSERT_TRUE(rich->Visible());
    EXPECT_TRUE(rich->Focused());
    EXPECT_EQ(rich->PlainText(), "it");
    rich->SetSel(2, 0);
    uitest::postNativeKey('B', TShiftState{ssCtrl});
    uitest::postNativeText("bo");
    uitest::postNativeKey(VK_RETURN);
    uitest::postNativeKey('B', TShiftState{ssCtrl});
    uitest::postNativeText("x");
    uitest::processMessages();
    EXPECT_GT(selections, 0);
    // Another cell clicked: the grid takes the focus and the edit is written back.
    const TRect other = grid->CellRect(colText, 3);
    uitest::postNativeClickAt(grid, {other.Left + 5, other.Top + 5});
    uitest::processMessages();
    EXPECT_FALSE(rich->Visible());
    const TRichText cell = runsOf(colText, 1);
    EXPECT_EQ(cell.PlainText(), "itbo\r\nx");
    ASSERT_GE(cell.Runs().size(), 2u);
    EXPECT_EQ(cell.Runs()[0].Style, TFontStyles{fsItalic});
    EXPECT_EQ(cell.Runs()[1].Text.substr(0, 2), "bo");
    EXPECT_EQ(cell.Runs()[1].Style, (TFontStyles{fsItalic, fsBold}));
    EXPECT_FALSE(cell.Runs().back().Style.Contains(fsBold));

    char path[] = "/tmp/richgridXXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    const std::string stored = grid->Cells(colText, 1);
    grid->Flags().SaveWithRTF = true;
    grid->SaveToFile(path);
    grid->SetCells(colText, 1, "");
    grid->LoadFromFile(path);
    std::remove(path);
    EXPECT_EQ(grid->Cells(colText, 1), stored);
}

// The hidden converter: never shown, transparent, and a cell's RTF goes through it unchanged.
TEST_F(RichEditTest, HiddenConverterCarriesCellsBothWays) {
    TQorRichEdit* conv = grid->RichEdit();
    EXPECT_EQ(grid->RichEdit(), conv);
    EXPECT_FALSE(conv->Visible());
    EXPECT_EQ(conv->Width(), 0);
    EXPECT_TRUE(DWORD(GetWindowLong(conv->Handle(), GWL_EXSTYLE)) & WS_EX_TRANSPARENT);
    grid->SetCells(2, 2, "{\\rtf1{\\b caf\\u233?}{\\up4 2}}");
    grid->CellToRich(2, 2, conv);
    EXPECT_EQ(conv->PlainText(), "caf\u00e9"
                                 "2");
    conv->SetSel(4, 1);
    EXPECT_TRUE(conv->IsSelSuperscript());
    conv->SelSubscript();
    EXPECT_TRUE(conv->IsSelSubscript());
    grid->RichToCell(2, 3, conv);
    const TRichText back = runsOf(2, 3);
    ASSERT_EQ(back.Runs().size(), 2u);
    EXPECT_EQ(back.Runs()[0].Text, "caf\u00e9");
    EXPECT_EQ(back.Runs()[1].Offset, -40);
    // An empty cell clears the converter.
    grid->CellToRich(2, 4, conv);
    EXPECT_EQ(conv->PlainText(), "");
    EXPECT_THROW(TQorRichEdit(form.get()), EInvalidCast);
}

} // namespace
