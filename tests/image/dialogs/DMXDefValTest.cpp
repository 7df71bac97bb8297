// The DMX default-value dialog: channel count, loading, validation and the saved file.
#include "image/dialogs/DMXDefVal.h"

#include "grid/core/QorColumnGrid.h"

#include "DialogTestSupport.h"

#include <algorithm>
#include <memory>

namespace {

class DMXDefValTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        Set_Product_Type(11);
        form = std::make_unique<TFDMXDefVal>(nullptr);
        form->AfterConstruction();
    }
    void TearDown() override {
        form.reset();
        DialogTest::TearDown();
    }
    TQorColumnGrid* Grid() const { return form->ACG_DMX_Def_Val; }
    void Channels(const std::string& count) {
        WriteBinaryFile(File_ParGen, "<Par_Gen><DMX_Num_Channels>" + count +
                                         "</DMX_Num_Channels></Par_Gen><!--SW_VERSION = 1.0-->");
    }
    void Defaults(int rows) {
        std::string text = "<DMX_Default_Values>";
        for (int i = 1; i <= rows; ++i)
            text += "<Row Default_Value=\"" + std::to_string(i * 10) + "\" Mnemonic=\"m" +
                    std::to_string(i) + "\"/>";
        WriteBinaryFile(File_DMX_Default_Values, text + "</DMX_Default_Values>");
    }
    // Shows the dialog, runs action inside it and returns how it closed.
    int Show(std::function<void()> action) {
        return uitest::runModal(form.get(), [&](TCustomForm* f) {
            action();
            if (f->ModalResult() == mrNone) f->SetModalResult(mrCancel);
        });
    }
    // The rows of the saved file: Default_Value and Mnemonic of each. (The grid's header and
    // the XML layer's cannot meet in one file; the saved text is plain enough to read here.)
    std::vector<std::pair<std::string, std::string>> SavedRows() const {
        const std::string text = ReadBinaryFile(File_DMX_Default_Values);
        EXPECT_EQ(text.rfind("<DMX_Default_Values", 0), 0u) << text;
        std::vector<std::pair<std::string, std::string>> rows;
        auto attribute = [&text](std::size_t& at, const std::string& name) {
            const std::string start = name + "=\"";
            at = text.find(start, at) + start.size();
            const std::size_t end = text.find('"', at);
            std::string value = text.substr(at, end - at);
            at = end;
            return value;
        };
        for (std::size_t at = text.find("<Row "); at != std::string::npos;
             at = text.find("<Row ", at)) {
            std::string value = attribute(at, "Default_Value");
            rows.emplace_back(std::move(value), attribute(at, "Mnemonic"));
        }
        return rows;
    }

    std::unique_ptr<TFDMXDefVal> form;
};

} // namespace

TEST_F(DMXDefValTest, FourChannelsWithoutAFileSaveFourZeroRows) {
    Channels("4");
    EXPECT_EQ(Show([&] {
                  ASSERT_EQ(Grid()->RowCount(), 5);
                  EXPECT_EQ(Grid()->Cells(0, 0), "Channel");
                  EXPECT_EQ(Grid()->Cells(1, 0), "Default Value");
                  EXPECT_EQ(Grid()->Cells(2, 0), "Mnemonic");
                  for (int r = 1; r <= 4; ++r) {
                      EXPECT_EQ(Grid()->Cells(0, r), std::to_string(r));
                      EXPECT_EQ(Grid()->Cells(1, r), "0");
                      EXPECT_EQ(Grid()->Cells(2, r), "");
                  }
                  form->Btn_OK->Click();
              }),
              mrOk);
    const std::vector<std::pair<std::string, std::string>> zero(4, {"0", ""});
    EXPECT_EQ(SavedRows(), zero);
    const std::string text = ReadBinaryFile(File_DMX_Default_Values);
    EXPECT_NE(text.find("</DMX_Default_Values><!--SW_VERSION = 1.104-->"), std::string::npos)
        << text;
    EXPECT_TRUE(Asked().empty());
}

TEST_F(DMXDefValTest, ChannelCountFallsBackTo512) {
    const char* counts[] = {nullptr, "", "x", "0", "-3", "513", "100000"};
    for (const char* count : counts) {
        if (count)
            Channels(count);
        else
            DeleteFile(File_ParGen);
        Show([&] { EXPECT_EQ(Grid()->RowCount(), 513) << (count ? count : "no file"); });
    }
    Channels(" 7");
    Show([&] { EXPECT_EQ(Grid()->RowCount(), 8); });
    Channels("512");
    Show([&] { EXPECT_EQ(Grid()->RowCount(), 513); });
}

// The rows past the channel count stay in the file: the image compiler still sends them.
TEST_F(DMXDefValTest, FileRowsFillUpToTheChannelCountAndTheRestIsKept) {
    struct Case {
        int channels, fileRows;
    };
    for (const Case c : {Case{5, 10}, Case{5, 3}, Case{10, 512}}) {
        Channels(std::to_string(c.channels));
        Defaults(c.fileRows);
        EXPECT_EQ(Show([&] {
                      ASSERT_EQ(Grid()->RowCount(), c.channels + 1);
                      for (int r = 1; r <= c.channels; ++r) {
                          const bool fromFile = r <= c.fileRows;
                          EXPECT_EQ(Grid()->Cells(1, r), fromFile ? std::to_string(r * 10) : "0");
                          EXPECT_EQ(Grid()->Cells(2, r), fromFile ? "m" + std::to_string(r) : "");
                      }
                      Grid()->SetCells(2, 1, "typed");
                      form->Btn_OK->Click();
                  }),
                  mrOk);
        std::vector<std::pair<std::string, std::string>> expected;
        for (int r = 1; r <= std::max(c.channels, c.fileRows); ++r) {
            const bool fromFile = r <= c.fileRows;
            expected.emplace_back(fromFile ? std::to_string(r * 10) : "0",
                                  fromFile ? "m" + std::to_string(r) : "");
        }
        expected[0].second = "typed";
        EXPECT_EQ(SavedRows(), expected) << c.fileRows;
        EXPECT_TRUE(Asked().empty());
    }
}

TEST_F(DMXDefValTest, ValidationStopsAtTheFirstBadRowAndWritesNothing) {
    struct Case {
        int row;
        const char* value;
        bool passes;
    };
    const Case cases[] = {
        {3, "256", false}, {1, "", false},      {2, "-1", false}, {4, "abc", false},
        {2, " 5", false},  {1, "0x10", true},   {1, "$FF", true}, {4, "255", true},
        {3, "0", true},    {2, "0x100", false},
    };
    Channels("4");
    for (const Case& c : cases) {
        DeleteFile(File_DMX_Default_Values);
        uitest::dialogs().Clear();
        const int result = Show([&] {
            Grid()->SetCells(1, c.row, c.value);
            if (!c.passes) Grid()->SetCells(1, c.row + 1 > 4 ? 1 : c.row + 1, "999");
            form->Btn_OK->Click();
        });
        if (c.passes) {
            EXPECT_EQ(result, mrOk) << c.value;
            EXPECT_EQ(SavedRows()[std::size_t(c.row - 1)].first, c.value) << "saved as entered";
            EXPECT_TRUE(Asked().empty());
            continue;
        }
        EXPECT_EQ(result, mrCancel) << c.value << ": the dialog stays open";
        EXPECT_FALSE(FileExists(File_DMX_Default_Values)) << c.value;
        const int first = c.row == 4 ? 1 : c.row;
        ASSERT_EQ(Asked().size(), 1u) << c.value;
        EXPECT_EQ(Asked()[0], "Error row " + std::to_string(first) +
                                  "!! Default Value must be between 0 and 255")
            << c.value;
        EXPECT_EQ(uitest::dialogs().Questions()[0].Type, mtError);
        EXPECT_EQ(uitest::dialogs().Questions()[0].Buttons, TMsgDlgButtons({mbOK}));
    }
}

TEST_F(DMXDefValTest, CancelWritesNothing) {
    Channels("2");
    Defaults(2);
    const std::string before = ReadBinaryFile(File_DMX_Default_Values);
    EXPECT_EQ(Show([&] {
                  Grid()->SetCells(1, 1, "7");
                  form->Btn_Cancel->Click();
              }),
              mrCancel);
    EXPECT_EQ(ReadBinaryFile(File_DMX_Default_Values), before);
}

// A value typed into a cell through the grid's in-place editor is saved.
TEST_F(DMXDefValTest, TypedValueIsSaved) {
    Channels("3");
    EXPECT_EQ(Show([&] {
                  uitest::click(Grid(), {150, 2 * 23 + 11});
                  EXPECT_EQ(Grid()->Row(), 2);
                  EXPECT_EQ(Grid()->Col(), 1);
                  uitest::typeText("77");
                  uitest::pressKey(VK_RETURN);
                  uitest::click(Grid(), {300, 3 * 23 + 11});
                  uitest::typeText("Hall");
                  uitest::click(form->Btn_OK);
              }),
              mrOk);
    const std::vector<std::pair<std::string, std::string>> rows = SavedRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].first, "77");
    EXPECT_EQ(rows[2].second, "Hall");
}

// The error is shown and the dialog closes, so OK cannot replace the file with defaults.
TEST_F(DMXDefValTest, MalformedFileIsShownAndClosesTheDialog) {
    const std::string bad = "<DMX_Default_Values><Row>";
    for (const std::string* file : {&File_ParGen, &File_DMX_Default_Values}) {
        uitest::dialogs().Clear();
        Channels("2");
        DeleteFile(File_DMX_Default_Values);
        WriteBinaryFile(*file, bad);
        EXPECT_EQ(form->ShowModal(), mrCancel) << *file;
        ASSERT_EQ(uitest::dialogs().Questions().size(), 1u) << *file;
        EXPECT_EQ(uitest::dialogs().Questions()[0].Kind, dkException);
        EXPECT_EQ(ReadBinaryFile(*file), bad);
        EXPECT_EQ(FileExists(File_DMX_Default_Values), file == &File_DMX_Default_Values);
    }
}

TEST_F(DMXDefValTest, LanguageChangeRelabelsTheHeader) {
    UI_Texts.Put(884, "Valore");
    form->Set_Lang();
    EXPECT_EQ(Grid()->Cells(1, 0), "Valore");
    EXPECT_EQ(form->ClientWidth(), 475);
    EXPECT_EQ(form->ClientHeight(), 337);
}

TEST_F(DMXDefValTest, DefaultValueColumnIsPale) {
    Channels("4");
    Show([&] {
        EXPECT_EQ(uitest::pixel(Grid(), 150, 3 * 23 + 11), TColor(16710368));
        EXPECT_NE(uitest::pixel(Grid(), 300, 3 * 23 + 11), TColor(16710368));
    });
}

// Rows are the root's elements, as the image compiler counts them: blanks and comments between
// them do not move a value to another channel.
TEST_F(DMXDefValTest, RowsAreTheRootsElements) {
    Channels("3");
    WriteBinaryFile(File_DMX_Default_Values,
                    "<DMX_Default_Values>\n  <!-- first -->\n  <Row Default_Value=\"1\"/>\n"
                    "  <Row Default_Value=\"2\"/>\n  <Row Default_Value=\"3\"/>\n"
                    "</DMX_Default_Values>");
    Show([&] {
        for (int r = 1; r <= 3; ++r) EXPECT_EQ(Grid()->Cells(1, r), std::to_string(r));
    });
}
