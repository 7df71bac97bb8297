// What each edit type lets through when typed and pasted, the prefix and suffix around the
// value, and the number formats of the Text setter and the number values.
#include "DropDownTestSupport.h"

#include "platform/base/FormatSettings.h"
#include "platform/ui/core/Clipbrd.h"

#include <map>
#include <string>

using namespace uitest;

namespace {

class DropDownTextTest : public DropDownTest {
protected:
    void TearDown() override {
        ResetFormatSettings();
        DropDownTest::TearDown();
    }

    // Types keys through Qt's delivery: characters as they are, {NAME} for a named key.
    void typeKeys(const std::string& keys) {
        static const std::map<std::string, WORD> named = {
            {"HOME", VK_HOME},    {"END", VK_END},    {"LEFT", VK_LEFT},
            {"RIGHT", VK_RIGHT},  {"BS", VK_BACK},    {"DEL", VK_DELETE},
            {"ENTER", VK_RETURN}, {"ESC", VK_ESCAPE}, {"PAD.", VK_DECIMAL}};
        std::string text;
        auto flush = [&] {
            if (!text.empty()) postNativeText(text);
            text.clear();
        };
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (keys[i] != '{') {
                text += keys[i];
                continue;
            }
            const std::size_t end = keys.find('}', i);
            flush();
            postNativeKey(named.at(keys.substr(i + 1, end - i - 1)));
            i = end;
        }
        flush();
        processMessages();
    }

    // A fresh edit state: the type and settings, then the edit text as it is, caret at its end.
    void prepare(TDropDownEditType type, int precision, const std::string& edited,
                 const std::string& prefix = "", const std::string& suffix = "") {
        edit->SetEditType(etString);
        edit->SetPrecision(0);
        edit->SetEditType(type);
        edit->SetPrecision(precision);
        edit->SetPrefix(prefix);
        edit->SetSuffix(suffix);
        edit->SetEditText(edited);
        edit->SetSelStart(int(Utf8Length(edited)));
    }
};

struct TypingCase {
    const char* what;
    TDropDownEditType type;
    int precision;
    bool isSigned;
    const char* prefix;
    const char* suffix;
    const char* edited; // the edit text before, caret at its end
    const char* keys;
    const char* expected; // the edit text after
};

} // namespace

TEST_F(DropDownTextTest, TypedKeysAreFilteredByTheEditType) {
    const TypingCase cases[] = {
        {"string takes all", etString, 0, false, "", "", "ab", "Cd!-", "abCd!-"},
        {"numeric: digits only", etNumeric, 0, false, "", "", "", "12a-3.", "123"},
        {"numeric: minus toggles a sign", etNumeric, 0, true, "", "", "12", "-", "-12"},
        {"numeric: minus again removes it", etNumeric, 0, true, "", "", "-12", "{HOME}-", "12"},
        {"numeric: the sign keeps the prefix", etNumeric, 0, true, "$", "", "$12", "-", "$-12"},
        {"float: all decimals typed", etFloat, 2, false, "", "", "1.25", "7", "1.25"},
        {"float: a digit overwrites the last", etFloat, 2, false, "", "", "1.25", "{LEFT}9",
         "1.29"},
        {"float: one separator", etFloat, 2, false, "", "", "1.25", "{HOME}.4", "1.45"},
        {"float: separator into nothing", etFloat, 2, false, "", "", "", ".5", "0.5"},
        {"float: no separator at precision 0", etFloat, 0, false, "", "", "", "1.5", "15"},
        {"float: letters dropped", etFloat, 2, false, "", "", "", "1x2", "12"},
        {"float: separator three from a group", etFloat, 2, false, "", "", "1,234", "{LEFT}{LEFT}.",
         "1,234"},
        {"money: thousand separators", etMoney, 0, false, "", "", "", "1234", "1,234"},
        {"money: and decimals", etMoney, 2, false, "", "", "", "12345.6", "12,345.6"},
        {"money: no commas typed", etMoney, 2, false, "", "", "", "1,2", "12"},
        {"upper case", etUppercase, 0, false, "", "", "", "aBc", "ABC"},
        {"lower case", etLowerCase, 0, false, "", "", "", "AbC", "abc"},
        {"mixed case", etMixedCase, 0, false, "", "", "", "henry iii", "Henry III"},
        {"range", etRange, 0, false, "", "", "", "1-3,5;7", "1-3,5;7"},
        {"range: no separator first or doubled", etRange, 0, false, "", "", "", ",1--2;,3x",
         "1-2;3"},
        {"hexadecimal", etHex, 0, false, "", "", "", "fF9g-", "fF9-"},
        {"alphanumeric", etAlphaNumeric, 0, false, "", "", "", "a1-b_", "a1b"},
        {"length limit before the separator", etFloat, 2, false, "", "", "123", "4.56", "123.56"},
        {"prefix and suffix stay", etString, 0, false, "$", " kg", "$12 kg",
         "{HOME}{LEFT}{BS}9{END}{RIGHT}0", "$9120 kg"},
        {"delete stops at the suffix", etString, 0, false, "$", " kg", "$12 kg", "{END}{DEL}",
         "$12 kg"},
    };
    for (const TypingCase& c : cases) {
        prepare(c.type, c.precision, c.edited, c.prefix, c.suffix);
        edit->SetSigned(c.isSigned);
        edit->SetLengthLimit(std::string(c.what).find("limit") != std::string::npos ? 3 : 0);
        typeKeys(c.keys);
        EXPECT_EQ(edit->EditText(), c.expected) << c.what;
    }
    prepare(etValidChars, 0, "");
    edit->SetValidChars("xz");
    typeKeys("xyz");
    EXPECT_EQ(edit->EditText(), "xz");
}

TEST_F(DropDownTextTest, LocaleSeparatorsAreTheOnesTyped) {
    FormatSettings().DecimalSeparator = ',';
    FormatSettings().ThousandSeparator = '.';
    prepare(etMoney, 2, "");
    typeKeys("1234,5");
    EXPECT_EQ(edit->EditText(), "1.234,5");
    EXPECT_DOUBLE_EQ(edit->GetNumberValue(), 1234.5);
    // A second separator only moves the caret after the first.
    edit->SetText("7,25");
    edit->SetSelStart(0);
    typeKeys(",");
    EXPECT_EQ(edit->EditText(), "7,25");
    EXPECT_EQ(edit->SelStart(), 2);
    // The keypad's separator key types the locale's separator when asked to.
    prepare(etFloat, 2, "");
    edit->SetExcelStyleDecimalSeparator(true);
    typeKeys("3{PAD.}5");
    EXPECT_EQ(edit->EditText(), "3,5");
}

TEST_F(DropDownTextTest, MoneyKeepsTheCaretAfterTheLastDigitAndReportsEachKeyOnce) {
    prepare(etMoney, 0, "");
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    typeKeys("1234");
    EXPECT_EQ(edit->EditText(), "1,234");
    EXPECT_EQ(edit->SelStart(), 5);
    EXPECT_EQ(changes, 4) << "the reformatting is not reported";
    // A reformatting that changes nothing leaves the next change reported.
    prepare(etMoney, 0, "$1", "$");
    edit->AutoSeparators();
    changes = 0;
    typeKeys("2");
    EXPECT_EQ(edit->EditText(), "$12");
    EXPECT_EQ(changes, 1);
}

TEST_F(DropDownTextTest, SwitchesForDescendantsChangeTheKeys) {
    // Money without thousand separators.
    prepare(etMoney, 0, "");
    edit->SetAutoThousandSeparator(false);
    typeKeys("1234");
    EXPECT_EQ(edit->EditText(), "1234");
    // Without undo Escape leaves the selection alone.
    prepare(etString, 0, "abc");
    edit->SetCanUndo(false);
    typeKeys("{ESC}");
    EXPECT_EQ(edit->SelLength(), 0);
    // Without default handling Enter goes on to the form: its default button clicks.
    auto* ok = new TButton(form.get());
    ok->SetParent(form.get());
    ok->SetBounds(20, 200, 75, 25);
    ok->SetDefault(true);
    int clicks = 0;
    ok->OnClick = [&](TObject*) { ++clicks; };
    typeKeys("{ENTER}");
    EXPECT_EQ(clicks, 0) << "the edit keeps Enter";
    edit->SetDefaultHandling(false);
    typeKeys("{ENTER}");
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(edit->Focused());
}

TEST_F(DropDownTextTest, TypingOverTheWholeValueIsOneChange) {
    edit->SetText("hello");
    edit->SelectAll();
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    typeKeys("7");
    EXPECT_EQ(edit->Text(), "7");
    EXPECT_EQ(changes, 1);
}

TEST_F(DropDownTextTest, TextSetterFormatsByTheEditType) {
    struct Case {
        TDropDownEditType type;
        int precision;
        const char* written;
        const char* shown;
        double number;
    };
    const Case cases[] = {
        {etString, 0, "", "", 0},
        {etString, 0, "12.5abc", "12.5abc", 12.5},
        {etNumeric, 0, "", "0", 0},
        {etNumeric, 0, "abc", "abc", 0},
        {etNumeric, 0, "-", "-", 0},
        {etFloat, 2, "", "0.00", 0},
        {etFloat, 2, "3", "3.00", 3},
        {etFloat, 2, "Error", "Error", 0},
        {etFloat, 2, "letters", "letters", 0},
        {etMoney, 2, "1234.5", "1,234.50", 1234.5},
        {etMoney, 0, "1,234.", "1,234.", 1234},
        {etHex, 0, "ff", "FF", 255},
        {etHex, 0, "", "0", 0},
        {etUppercase, 0, "abc", "abc", 0},
    };
    for (const Case& c : cases) {
        prepare(c.type, c.precision, "");
        edit->SetText(c.written);
        EXPECT_EQ(edit->EditText(), c.shown) << c.written;
        EXPECT_EQ(edit->FOldText, c.shown) << c.written;
        EXPECT_DOUBLE_EQ(edit->GetNumberValue(), c.number) << c.written;
        EXPECT_FALSE(edit->Modified()) << c.written;
    }
}

TEST_F(DropDownTextTest, PrefixAndSuffixAreShownAroundTheValue) {
    prepare(etNumeric, 0, "", "$", " kg");
    edit->SetText("12");
    EXPECT_EQ(edit->EditText(), "$12 kg");
    EXPECT_EQ(edit->Text(), "12");
    struct Case {
        const char* edited;
        const char* value;
    };
    const Case cases[] = {
        {"12 kg", "12"},     // no prefix: only the suffix goes
        {"$12 lb", "12 lb"}, // not ending with the suffix: kept
        {"kg", "kg"},        // shorter than the suffix
        {"$ kg", ""},
    };
    for (const Case& c : cases) {
        edit->SetEditText(c.edited);
        EXPECT_EQ(edit->Text(), c.value) << c.edited;
    }
    // Selecting all selects the value only.
    edit->SetText("345");
    edit->SelectAll();
    EXPECT_EQ(edit->SelStart(), 1);
    EXPECT_EQ(edit->SelLength(), 3);
    // A click inside the prefix selects the value.
    edit->SetSelStart(5);
    postNativeClickAt(edit, {3, 10});
    processMessages();
    EXPECT_EQ(edit->SelStart(), 1);
    EXPECT_EQ(edit->SelLength(), 3);
}

TEST_F(DropDownTextTest, NumberValuesAreWrittenInTheEditTypesFormat) {
    struct Case {
        TDropDownEditType type;
        int precision;
        double value;
        bool integer;
        const char* shown;
    };
    const Case cases[] = {
        {etFloat, 2, 3.14159, false, "3.14"},    {etNumeric, 0, 1234, false, "1,234"},
        {etMoney, 2, 1234.5, false, "1,234.50"}, {etHex, 0, 255.9, false, "FF"},
        {etString, 1, 2.26, false, "2.3"},       {etMoney, 0, 1234567, true, "1,234,567"},
        {etFloat, 2, 7, true, "7.00"},           {etHex, 0, 4096, true, "1000"},
    };
    for (const Case& c : cases) {
        prepare(c.type, c.precision, "");
        if (c.integer)
            edit->SetIntegerValue(int(c.value));
        else
            edit->SetNumberValue(c.value);
        EXPECT_EQ(edit->EditText(), c.shown) << c.value;
        EXPECT_TRUE(edit->GetModifiedFlag()) << c.value;
    }
}

TEST_F(DropDownTextTest, EditTypeAndPrecisionChangesConvertTheValue) {
    edit->SetText("abc");
    edit->SetEditType(etNumeric);
    EXPECT_EQ(edit->EditText(), "0");
    edit->SetEditType(etString);
    edit->SetText("1.5");
    edit->SetEditType(etFloat);
    EXPECT_EQ(edit->EditText(), "1.5") << "a number stays";
    edit->SetPrecision(3);
    EXPECT_EQ(edit->EditText(), "1.500");
    edit->SetEditType(etPassword);
    EXPECT_EQ(edit->PasswordChar(), U'*');
    edit->SetEditType(etHex);
    EXPECT_EQ(edit->PasswordChar(), char32_t(0));
    edit->SetPrecision(5);
    EXPECT_EQ(edit->Precision(), 3) << "hexadecimal takes no precision";
}

TEST_F(DropDownTextTest, PasteTakesOnlyWhatTheEditTypeAccepts) {
    struct Case {
        TDropDownEditType type;
        int precision;
        bool isSigned;
        const char* before;
        const char* clip;
        const char* after; // the edit text
    };
    const Case cases[] = {
        {etString, 0, false, "ab", "cd", "abcd"},
        {etNumeric, 0, false, "12", "34", "1234"},
        {etNumeric, 0, false, "12", "3a", "12"},
        {etNumeric, 0, false, "12", "-3", "12"},
        {etNumeric, 0, true, "12", "-3", "12-3"},
        {etFloat, 2, false, "", "1.5", "1.50"},
        {etFloat, 0, false, "", "1.5", ""},
        {etMoney, 2, false, "", "1234", "1,234.00"},
        {etUppercase, 0, false, "", "abc", "ABC"},
        {etMixedCase, 0, false, "", "mcdonald", "McDonald"},
        {etAlphaNumeric, 0, false, "", "a-b", ""},
        {etRange, 0, false, "1", "-2", "1"},
        {etHex, 0, false, "A", "B", "A"},
    };
    for (const Case& c : cases) {
        prepare(c.type, c.precision, c.before);
        edit->SetSigned(c.isSigned);
        Clipboard()->SetAsText(c.clip);
        postNativeKey('V', {ssCtrl});
        processMessages();
        EXPECT_EQ(edit->EditText(), c.after) << c.clip;
    }
    // An event may refuse; the length limit refuses too.
    prepare(etString, 0, "ab");
    edit->OnClipboardPaste = [](TObject*, const std::string& value, bool& allow) {
        allow = value != "abcd";
    };
    Clipboard()->SetAsText("cd");
    edit->Perform(WM_PASTE);
    EXPECT_EQ(edit->EditText(), "ab");
    edit->OnClipboardPaste = nullptr;
    edit->SetMaxLength(3);
    edit->Perform(WM_PASTE);
    EXPECT_EQ(edit->EditText(), "ab");
}

TEST_F(DropDownTextTest, CopyAndCutReportTheSelectedValue) {
    prepare(etString, 0, "$hello kg", "$", " kg");
    std::vector<std::string> copied, cut;
    edit->OnClipboardCopy = [&](TObject*, const std::string& v, bool&) { copied.push_back(v); };
    edit->OnClipboardCut = [&](TObject*, const std::string& v, bool& allow) {
        cut.push_back(v);
        allow = v != "he";
    };
    edit->Perform(EM_SETSEL, 1, 3);
    postNativeKey('C', {ssCtrl});
    processMessages();
    EXPECT_EQ(Clipboard()->AsText(), "he");
    postNativeKey('X', {ssCtrl});
    processMessages();
    EXPECT_EQ(edit->EditText(), "$hello kg") << "the cut was refused";
    edit->Perform(EM_SETSEL, 4, 6);
    postNativeKey('X', {ssCtrl});
    processMessages();
    EXPECT_EQ(edit->EditText(), "$hel kg");
    EXPECT_EQ(Clipboard()->AsText(), "lo");
    EXPECT_EQ(copied, std::vector<std::string>{"he"}) << "a cut's copy is not reported";
    EXPECT_EQ(cut, (std::vector<std::string>{"he", "lo"}));
}

TEST_F(DropDownTextTest, LeavingFormatsTheNumberAndFillsEmptyNumbers) {
    auto* other = new TEdit(form.get());
    other->SetParent(form.get());
    other->SetBounds(20, 200, 100, 22);
    struct Case {
        TDropDownEditType type;
        int precision;
        bool allowNull;
        const char* typed;
        const char* left;
    };
    const Case cases[] = {
        {etFloat, 2, false, "3", "3.00"}, {etMoney, 2, false, "1234", "1,234.00"},
        {etNumeric, 0, false, "", "0"},   {etNumeric, 0, true, "", ""},
        {etFloat, 2, false, "", "0.00"},  {etFloat, 2, true, "", ""},
    };
    for (const Case& c : cases) {
        edit->SetFocus();
        prepare(c.type, c.precision, "");
        edit->SetAllowNumericNullValue(c.allowNull);
        typeKeys(c.typed);
        other->SetFocus();
        processMessages();
        EXPECT_EQ(edit->EditText(), c.left) << c.typed;
    }
}

TEST_F(DropDownTextTest, EscapeSelectsTheValueAndEnterCanMoveOn) {
    auto* other = new TEdit(form.get());
    other->SetParent(form.get());
    other->SetBounds(20, 200, 100, 22);
    edit->SetText("abc");
    edit->SetSelStart(3);
    typeKeys("d{ESC}");
    EXPECT_EQ(edit->SelStart(), 0);
    EXPECT_EQ(edit->SelLength(), 4);
    EXPECT_FALSE(edit->Modified());
    int enters = 0;
    edit->OnKeyPress = [&](TObject*, char32_t& k) { enters += k == 13; };
    typeKeys("{ENTER}");
    EXPECT_EQ(enters, 1);
    EXPECT_TRUE(edit->Focused());
    edit->SetReturnIsTab(true);
    typeKeys("{ENTER}");
    EXPECT_TRUE(other->Focused());
}

TEST_F(DropDownTextTest, PressInsideTheSelectionKeepsItUntilTheRelease) {
    edit->SetText("hello world");
    edit->SetFocus();
    edit->Perform(EM_SETSEL, 0, 5);
    const int x = 8; // over "h"
    postNativeMouseDown(edit, {x, 10});
    processMessages();
    EXPECT_EQ(edit->SelLength(), 5) << "kept while held";
    postNativeMouseUp(edit, {x, 10});
    processMessages();
    EXPECT_EQ(edit->SelLength(), 0);
    EXPECT_LT(edit->SelStart(), 2);
}
