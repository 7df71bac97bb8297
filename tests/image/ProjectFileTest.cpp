#include "image/ProjectFile.h"

#include "ImageTestSupport.h"

TEST(ProjectFile, ConvertsIntegerTextsByTheImageRule) {
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    const Case cases[] = {
        {"0", true, 0},           {"42", true, 42},
        {"  42", true, 42}, // leading blanks are skipped
        {"42 ", false, 0},  // nothing may follow the digits
        {"-7", true, -7},         {"+7", true, 7},
        {"$1F", true, 31},        {"x1f", true, 31},
        {"X10", true, 16},        {"0x10", true, 16},
        {"0X10", true, 16},       {"-$10", true, -16},
        {"$FFFFFFFF", true, -1}, // any 32-bit pattern
        {"$100000000", false, 0}, {"2147483647", true, 2147483647},
        {"2147483648", false, 0}, {"-2147483648", true, -2147483647 - 1},
        {"", false, 0},           {"   ", false, 0},
        {"-", false, 0},          {"$", false, 0},
        {"0x", false, 0},         {"12a", false, 0},
        {"1.5", false, 0},        {"abc", false, 0},
    };
    for (const auto& c : cases) {
        int v = 12345;
        EXPECT_EQ(TryImageInt(c.text, v), c.ok) << '"' << c.text << '"';
        if (c.ok) {
            EXPECT_EQ(v, c.value) << '"' << c.text << '"';
        }
        EXPECT_EQ(ImageIntDef(c.text, 99), c.ok ? c.value : 99) << '"' << c.text << '"';
    }
    EXPECT_THROW(ImageInt("abc"), EConvertError);
}

TEST(ProjectFile, ReadsFromTheDocumentElementPastDeclarationAndComments) {
    TempProject project;
    const char* texts[] = {
        "<Par_Gen><KEY>5</KEY></Par_Gen>",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Par_Gen><KEY>5</KEY></Par_Gen>",
        "<!-- written by hand -->\n<Par_Gen><KEY>5</KEY></Par_Gen><!--SW_VERSION = 1.000-->",
    };
    for (const char* text : texts) {
        project.Write("ParGen.xml", text);
        TXMLDocument doc;
        TXmlNode root;
        ASSERT_TRUE(Load_Project_File(doc, project.Path("ParGen.xml"), root)) << text;
        EXPECT_EQ(root.NodeName(), "Par_Gen") << text;
        EXPECT_EQ(Key_Int(root, "KEY", 0), 5) << text;
    }
}

TEST(ProjectFile, MissingFileIsSkippedAndMalformedFileNamesItself) {
    TempProject project;
    TXMLDocument doc;
    TXmlNode root;
    EXPECT_FALSE(Load_Project_File(doc, project.Path("ParGen.xml"), root));

    project.Write("ParGen.xml", "<Par_Gen><KEY>5</Par_Gen>");
    try {
        Load_Project_File(doc, project.Path("ParGen.xml"), root);
        FAIL() << "a malformed file must raise";
    } catch (const EImageError& e) {
        EXPECT_NE(e.Message().find("ParGen.xml"), std::string::npos) << e.Message();
    }
}

TEST(ProjectFile, KeysFallBackToTheirDefault) {
    TXMLDocument doc;
    doc.LoadFromXML("<Par_Gen><A>12</A><B>twelve</B><C><D>1</D></C><E/></Par_Gen>");
    const TXmlNode root = doc.DocumentElement();
    EXPECT_EQ(Key_Int(root, "A", 7), 12);
    EXPECT_EQ(Key_Int(root, "B", 7), 7);       // not a number
    EXPECT_EQ(Key_Int(root, "C", 7), 7);       // holds elements, no value
    EXPECT_EQ(Key_Int(root, "E", 7), 7);       // empty text
    EXPECT_EQ(Key_Int(root, "Missing", 7), 7); // absent
    EXPECT_EQ(Key_Int(root, "D", 7), 7);       // only direct children are keys
}

TEST(ProjectFile, RowAttributesRaiseOnlyWhenUnguarded) {
    TXMLDocument doc;
    doc.LoadFromXML("<R><row A=\"5\" F=\"y\" G=\"Y\" N=\"no\"/></R>");
    const std::string path = "/p/Rows.xml";
    const TProject_Row row(doc.DocumentElement().ChildNodes()[0], path, 2);
    EXPECT_EQ(row.Int("A", 0), 5);
    EXPECT_EQ(row.Int("N", 9), 9);
    EXPECT_EQ(row.Int_Guarded("Missing", 9), 9);
    int v = 0;
    EXPECT_FALSE(row.Try_Int("N", v));
    EXPECT_FALSE(row.Is("F", "Y"));
    EXPECT_TRUE(row.Is_Upper("F", "Y"));
    EXPECT_TRUE(row.Is("G", "Y"));
    EXPECT_FALSE(row.Is_Upper("Missing", "Y"));
    try {
        row.Text("Missing");
        FAIL() << "an unguarded missing attribute must raise";
    } catch (const EImageError& e) {
        EXPECT_EQ(e.Message(), "/p/Rows.xml: row 3 has no attribute \"Missing\"");
    }
}

TEST(ProjectFile, ConvertsSixtyFourBitTextsForTheirLowBits) {
    struct Case {
        const char* text;
        bool ok;
        std::int64_t value;
    };
    const Case cases[] = {
        {"4294967295", true, 4294967295},
        {"-1", true, -1},
        {"$FFFFFFFFFFFFFFFF", true, -1},
        {"9223372036854775807", true, 9223372036854775807},
        {"9223372036854775808", false, 0},
        {"$10000000000000000", false, 0},
        {"12 ", false, 0},
    };
    for (const auto& c : cases) {
        std::int64_t v = 0;
        EXPECT_EQ(TryImageInt64(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}
