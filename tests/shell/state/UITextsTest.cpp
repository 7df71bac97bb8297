#include "shell/state/UITexts.h"

#include "platform/files/Files.h"
#include "shell/state/ProgramState.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

namespace {

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        path_ = std::filesystem::temp_directory_path() /
                ("knx-uitexts-" + std::to_string(std::random_device{}()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    std::string str() const { return path_.string(); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

class UITexts : public ::testing::Test {
protected:
    void SetUp() override {
        Reset_Program_State();
        Load_Default_Texts();
    }
    void TearDown() override { Reset_Program_State(); }

    // Indexes whose text differs from the built-in one.
    static std::map<int, std::string> changedEntries() {
        std::map<int, std::string> changed;
        for (int i = 0; i < UI_Texts.Count(); ++i)
            if (UI_Texts[i] != English_UI_Texts[i]) changed[i] = UI_Texts[i];
        return changed;
    }
};

// Text as UTF-16 with its byte order mark.
std::string utf16(const std::u16string& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
        const char hi = char(c >> 8), lo = char(c & 0xFF);
        bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return bytes;
}

bool inBlankRange(int i) {
    const int ranges[][2] = {{23, 24},     {739, 742},   {995, 999},   {1059, 1099}, {1164, 1199},
                             {1239, 1240}, {1242, 1299}, {1307, 1399}, {1405, 1499}, {1511, 1599},
                             {1644, 1699}, {1743, 1743}, {1747, 1797}};
    for (const auto& r : ranges)
        if (i >= r[0] && i <= r[1]) return true;
    return false;
}

} // namespace

TEST_F(UITexts, BuiltInTableHas1800EntriesWithBlanksExactlyInTheUnusedRanges) {
    ASSERT_EQ(UI_Texts.Count(), 1800);
    EXPECT_EQ(UI_Texts_Count, 1800);
    int blanks = 0;
    for (int i = 0; i < UI_Texts.Count(); ++i) {
        EXPECT_FALSE(UI_Texts[i].empty()) << i;
        EXPECT_EQ(UI_Texts[i] == " ", inBlankRange(i)) << i << ": '" << UI_Texts[i] << "'";
        blanks += UI_Texts[i] == " ";
    }
    EXPECT_EQ(blanks, 533);
    EXPECT_THROW(UI_Texts[1800], Exception);
}

TEST_F(UITexts, BuiltInTextsAreTheProgramsOwnIncludingSlipsQuotesAndBlanks) {
    struct Case {
        int index;
        const char* text;
    };
    const Case cases[] = {
        {0, "Begin"},
        {8, "Step 8"},
        {9, "None Configuration Opened "},
        {11, "Opened Configuration of the Converter : "},
        {18, "Error! Project not Valid"},
        {35, "List of Avaliable Configurations"},
        {44, " / "},
        {57, "Update Firmware from Etherner (UDP)"},
        {89, "Error! Select the COM port to use for the Update"},
        {215, "!! [KNX in Read] Bit Mode must be \"No\" or between 0 and 7"},
        {671, "N\xC2\xB0"},
        {677, "N\xC2\xB0 Byte"},
        {748, "Nodes     "},
        {872, "Receive Frames"},
        {973, "M_Bus network configuration already exists for this configuration. Do you want "
              "to continue?"},
        {1201, "SCAN && DECODE"},
        {1230, "Configuration saved! To do a new Scan press \"New Scan\" button otherwise press "
               "top-right \"X\" to close the page"},
        {1709, "Exit without save the 1939 Receive Frames List"},
        {1742, "Are you sure to delete the Row number "},
    };
    for (const auto& c : cases) EXPECT_EQ(UI_Texts[c.index], c.text) << c.index;
}

TEST_F(UITexts, LoadDefaultTextsUndoesLanguageOverrides) {
    Apply_Lng_Line("STR12 = Informazioni");
    Load_Default_Texts();
    EXPECT_EQ(UI_Texts.Count(), 1800);
    EXPECT_EQ(UI_Texts[12], "Information");
}

TEST_F(UITexts, LanguageLineRules) {
    struct Case {
        const char* line;
        int index; // -1: nothing changes
        const char* text;
    };
    const Case cases[] = {
        {"STR12 = Hallo", 12, "Hallo"},
        // The key ends one character before "=".
        {"STR12=Hallo", 1, "Hallo"},
        {"STR 12 = Hallo", 12, "Hallo"},
        {"STR12  = Hallo", 12, "Hallo"},
        {"STR12\xC3\xA9= Hallo", 12, "Hallo"},
        {"STR1=Hallo", -1, ""},
        {"STR=Hallo", -1, ""},
        {" \t STR12 = Hallo \r", 12, "Hallo"},
        {"STR0 = Zero", 0, "Zero"},
        {"STR1799 = Last", 1799, "Last"},
        {"STR1800 = X", -1, ""},
        {"STR-1 = X", -1, ""},
        {"str12 = X", -1, ""},
        {"xSTR12 = X", -1, ""},
        {"STR12 Hallo", -1, ""},
        {"STRab = X", -1, ""},
        {"STR5 =", -1, ""},
        {"STR5 =   \t", -1, ""},
        {"STR5 = a = b", 5, "a = b"},
        {"STR5 = Hello /#/ a note", 5, "Hello"},
        {"STR5 = /#/ only a note", -1, ""},
        {"STR94 = \xC2\xB6 Bus \xC2\xB6", 94, " Bus "},
        {"STR94 = \xC2\xB6 Bus", 94, " Bus"},
        {"STR94 = A\xC2\xB6 B", 94, "A"},
        {"STR94 = \xC2\xB6 a /#/ b \xC2\xB6", 94, " a"},
        {"STR12 = Gr\xC3\xBC\xC3\x9F"
         "e",
         12,
         "Gr\xC3\xBC\xC3\x9F"
         "e"},
        {"", -1, ""},
    };
    for (const auto& c : cases) {
        Load_Default_Texts();
        Apply_Lng_Line(c.line);
        std::map<int, std::string> expected;
        if (c.index >= 0) expected[c.index] = c.text;
        EXPECT_EQ(changedEntries(), expected) << c.line;
    }
}

TEST_F(UITexts, LinesChangeNothingBeforeTheBuiltInTextsAreLoaded) {
    UI_Texts.Clear();
    UI_Texts_Count = 0;
    Apply_Lng_Line("STR0 = Zero");
    EXPECT_EQ(UI_Texts.Count(), 0);
}

TEST_F(UITexts, LanguageFileEncodingsAndLineEnds) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    // Each file sets entry 0 on its first line and entry 12 to a non-ASCII text on the next.
    const std::u16string text = u"STR0 = A\r\nSTR12 = Gr\u00FC\u00DFe";
    const std::string utf16le = utf16(text, false);
    const std::string utf16be = utf16(text, true);
    const Case cases[] = {
        {"utf8-bom-crlf", "\xEF\xBB\xBFSTR0 = A\r\nSTR12 = Gr\xC3\xBC\xC3\x9F"
                          "e\r\n"},
        {"utf8-bom-cr", "\xEF\xBB\xBFSTR0 = A\rSTR12 = Gr\xC3\xBC\xC3\x9F"
                        "e"},
        {"ansi-lf", "STR0 = A\nSTR12 = Gr\xFC\xDF"
                    "e\n"},
        {"utf16le", utf16le},
        {"utf16be", utf16be},
    };
    TempFolder dir;
    for (const auto& c : cases) {
        Load_Default_Texts();
        const std::string path = dir.file(std::string(c.name) + ".lng");
        WriteBinaryFile(path, c.bytes);
        Load_Lng_File(path);
        const std::map<int, std::string> expected = {{0, "A"},
                                                     {12, "Gr\xC3\xBC\xC3\x9F"
                                                          "e"}};
        EXPECT_EQ(changedEntries(), expected) << c.name;
    }
}

TEST_F(UITexts, AnsiPilcrowQuotesAndLaterLinesWin) {
    TempFolder dir;
    const std::string path = dir.file("x.lng");
    WriteBinaryFile(path, "STR94 = \xB6 Bus \xB6\r\nSTR5 = first\r\nnoise\r\nSTR5 = second\r\n");
    Load_Lng_File(path);
    const std::map<int, std::string> expected = {{5, "second"}, {94, " Bus "}};
    EXPECT_EQ(changedEntries(), expected);
}

TEST_F(UITexts, UnreadableLanguageFileRaises) {
    TempFolder dir;
    EXPECT_THROW(Load_Lng_File(dir.file("missing.lng")), Exception);
}

TEST_F(UITexts, LoadLanguageAppliesTheChosenFileOverFreshDefaults) {
    TempFolder dir;
    Set_Program_Dir(dir.str());
    ASSERT_TRUE(ForceDirectories(Language_Dir));
    WriteBinaryFile(PathJoin(Language_Dir, "Italiano.lng"), "STR12 = Informazioni\r\n");
    Apply_Lng_Line("STR13 = left over");
    Language_Name = "Italiano";
    Load_Language();
    EXPECT_EQ(Language_Name, "Italiano");
    const std::map<int, std::string> expected = {{12, "Informazioni"}};
    EXPECT_EQ(changedEntries(), expected);
}

TEST_F(UITexts, LoadLanguageFallsBackToEnglish) {
    TempFolder dir;
    Set_Program_Dir(dir.str());
    ASSERT_TRUE(ForceDirectories(Language_Dir));

    Language_Name = "Klingon";
    Load_Language();
    EXPECT_EQ(Language_Name, "English");
    EXPECT_TRUE(changedEntries().empty());

    WriteBinaryFile(PathJoin(Language_Dir, "English.lng"), "STR0 = Start\n");
    Language_Name = "";
    Load_Language();
    EXPECT_EQ(Language_Name, "English");
    const std::map<int, std::string> expected = {{0, "Start"}};
    EXPECT_EQ(changedEntries(), expected);
}

TEST_F(UITexts, FlagBitmapOfALanguageFallsBackToTheDefaultFlag) {
    TempFolder dir;
    Set_Program_Dir(dir.str());
    ASSERT_TRUE(ForceDirectories(Language_Dir));
    EXPECT_EQ(Language_Flag_File("Italiano"), "");
    WriteBinaryFile(PathJoin(Language_Dir, "DefaultFlag.bmp"), "BM");
    EXPECT_EQ(Language_Flag_File("Italiano"), PathJoin(Language_Dir, "DefaultFlag.bmp"));
    WriteBinaryFile(PathJoin(Language_Dir, "Italiano.bmp"), "BM");
    EXPECT_EQ(Language_Flag_File("Italiano"), PathJoin(Language_Dir, "Italiano.bmp"));
}

// The English file the build installs reads back as the built-in texts, blanks and all.
TEST_F(UITexts, TheEnglishFileOfTheBuiltInTextsReadsBackUnchanged) {
    TempFolder dir;
    WriteBinaryFile(dir.file("English.lng"), English_Lng_File_Text());
    for (int i = 0; i < UI_Texts_Max; ++i) UI_Texts.Put(i, "changed");
    Load_Lng_File(dir.file("English.lng"));
    EXPECT_TRUE(changedEntries().empty()) << changedEntries().begin()->first;
}
