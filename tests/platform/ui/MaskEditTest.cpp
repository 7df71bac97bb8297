// The masked edit: texts laid out in a mask, what typing, Backspace, Delete and paste do.
#include "platform/base/FormatSettings.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/Mask.h"
#include "platform/ui/core/Clipbrd.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(MaskFormat, TextsAreLaidOutInTheMask) {
    ResetFormatSettings();
    struct Case {
        const char* mask;
        const char* value;
        const char* edit;
        const char* text;
    };
    const Case cases[] = {
        {"00:00;1;_", "12:34", "12:34", "12:34"},
        {"00:00;1;_", "1", "1_:__", "1 :  "},
        {"00:00;0;_", "1234", "12:34", "1234"},
        {"00/00/0000;1;*", "", "**/**/****", "  /  /    "},
        {">LL-999;0; ", "ab123", "AB-123", "AB123"},
        {"<ll", "XY", "xy", "xy"},
        {"\\(000\\)", "(123)", "(123)", "(123)"},
        {"099", "x12", "_12", " 12"}, // a character the place refuses stays blank
        {"", "free", "free", "free"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " " + c.value);
        const TEditMaskFormat f(c.mask);
        const std::u32string edit = f.EditTextOf(Utf8ToUtf32(c.value));
        if (f.Empty()) {
            EXPECT_EQ(FormatMaskText(c.mask, c.value), c.text);
            continue;
        }
        EXPECT_EQ(Utf32ToUtf8(edit), c.edit);
        EXPECT_EQ(Utf32ToUtf8(f.TextOf(edit)), c.text);
        EXPECT_EQ(FormatMaskText(c.mask, c.value), c.text);
    }
    // The locale's separators stand for ":" and "/".
    FormatSettings().TimeSeparator = '.';
    EXPECT_EQ(FormatMaskText("00:00", "1234"), "12.34");
    ResetFormatSettings();
}

class MaskEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 200, 100);
        edit = new TMaskEdit(form.get());
        edit->SetParent(form.get());
        edit->SetEditMask("00:00;1;_");
        form->Show();
        edit->SetFocus();
        edit->SetSelStart(0);
        uitest::processMessages();
    }
    void TearDown() override {
        form.reset();
        uitest::processMessages();
    }
    std::unique_ptr<TForm> form;
    TMaskEdit* edit = nullptr;
};

TEST_F(MaskEditTest, TypingFillsThePlacesAndStepsOverTheLiterals) {
    EXPECT_EQ(edit->EditText(), "__:__");
    EXPECT_FALSE(edit->MaskComplete());
    uitest::postNativeText("1x2", edit);
    uitest::processMessages();
    EXPECT_EQ(edit->EditText(), "12:__");
    EXPECT_EQ(edit->SelStart(), 3) << "the caret waits past the literal";
    uitest::postNativeText(":34", edit);
    uitest::processMessages();
    EXPECT_EQ(edit->Text(), "12:34");
    EXPECT_TRUE(edit->MaskComplete());
    uitest::postNativeText("5", edit);
    uitest::processMessages();
    EXPECT_EQ(edit->Text(), "12:34") << "no place is left";
}

TEST_F(MaskEditTest, BackspaceAndDeleteEmptyPlacesWithoutMovingTheRest) {
    edit->SetText("12:34");
    edit->SetSelStart(3);
    uitest::pressKey(VK_BACK, {}, edit);
    EXPECT_EQ(edit->EditText(), "1_:34");
    EXPECT_EQ(edit->SelStart(), 1);
    edit->SetSelStart(3);
    uitest::pressKey(VK_DELETE, {}, edit);
    EXPECT_EQ(edit->EditText(), "1_:_4");
    edit->SelectAll();
    edit->Perform(WM_CLEAR);
    EXPECT_EQ(edit->EditText(), "__:__");
    EXPECT_EQ(edit->Text(), "  :  ");
}

TEST_F(MaskEditTest, APasteTypesItsCharactersIntoThePlaces) {
    Clipboard()->SetAsText("0930\r\nmore");
    edit->Perform(WM_PASTE);
    EXPECT_EQ(edit->Text(), "09:30");
    edit->SetReadOnly(true);
    Clipboard()->SetAsText("1111");
    edit->SelectAll();
    edit->Perform(WM_PASTE);
    EXPECT_EQ(edit->Text(), "09:30");
}

TEST_F(MaskEditTest, ANewMaskLaysTheTextOutAgain) {
    edit->SetText("12:34");
    edit->SetEditMask("");
    EXPECT_EQ(edit->Text(), "12:34");
    edit->SetEditMask("0000;0;_");
    EXPECT_EQ(edit->EditText(), "12_3") << "the literal is no digit: its place stays blank";
}

} // namespace
