#include "platform/xml/XmlDoc.h"

#include "platform/files/Files.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class XmlFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/knx_xml_XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string dir;
};

const std::string umlaut = "M\xC3\xBC"
                           "ller \xE2\x82\xAC"; // "Müller €"

TEST_F(XmlFiles, RoundTripKeepsTextAttributesAndOrder) {
    TXMLDocument doc;
    TXmlNode root = doc.AddChild("Par_Gen");
    root.AddChild("KNX_ID_DEV").SetText("1.1.200");
    root.AddChild("Name").SetText(umlaut + " <a&b>");
    TXmlNode row = doc.CreateElement("Row");
    row.SetAttribute("Desc", umlaut + " \"q\"\n2nd");
    row.SetAttribute("Addr", "1/2/3");
    root.AppendChild(row);
    root.AddChild("Empty");
    doc.ChildNodes().Add(doc.CreateComment("SW_VERSION = 1.000"));

    std::string path = dir + "/ParGen.xml";
    doc.SaveToFile(path);
    EXPECT_EQ(ReadBinaryFile(path),
              "<Par_Gen><KNX_ID_DEV>1.1.200</KNX_ID_DEV><Name>" + umlaut +
                  " &lt;a&amp;b&gt;</Name><Row Desc=\"" + umlaut +
                  " &quot;q&quot;&#10;2nd\" Addr=\"1/2/3\"/><Empty/></Par_Gen>"
                  "<!--SW_VERSION = 1.000-->");

    TXMLDocument back;
    back.LoadFromFile(path);
    TXmlNode r = back.ChildNodes().First();
    ASSERT_EQ(r.NodeName(), "Par_Gen");
    EXPECT_EQ(back.ChildNodes().Count(), 2);
    EXPECT_EQ(back.ChildNodes()[1].NodeType(), ntComment);
    EXPECT_EQ(back.ChildNodes()[1].Text(), "SW_VERSION = 1.000");
    ASSERT_EQ(r.ChildNodes().Count(), 4);
    EXPECT_EQ(r.ChildNodes().FindNode("Name").Text(), umlaut + " <a&b>");
    TXmlNode rr = r.ChildNodes()[2];
    EXPECT_EQ(std::string(rr.Attributes("Desc")), umlaut + " \"q\"\n2nd");
    EXPECT_EQ(rr.AttributeName(1), "Addr");
    EXPECT_EQ(r.SelectSingleNode("Empty").Text(), "");
    EXPECT_TRUE(r.ChildNodes().FindNode("Missing").IsNull());
    EXPECT_EQ(back.SaveToXML(), doc.SaveToXML());
}

TEST(XmlDoc, CommentBeforeRootIsTheFirstNode) {
    TXMLDocument doc;
    doc.LoadFromXML("<?xml version=\"1.0\"?><!-- note --><Conf_Settings><lastlang>"
                    "<language>Italiano</language></lastlang></Conf_Settings>");
    ASSERT_EQ(doc.ChildNodes().Count(), 3);
    TXmlNode first = doc.ChildNodes().First();
    EXPECT_EQ(first.NodeType(), ntProcessingInstr);
    EXPECT_EQ(doc.ChildNodes()[1].NodeType(), ntComment);
    EXPECT_TRUE(doc.ChildNodes()[1].ChildNodes().FindNode("lastlang").IsNull());
    EXPECT_EQ(doc.DocumentElement().NodeName(), "Conf_Settings");
    EXPECT_EQ(
        doc.DocumentElement().SelectSingleNode("lastlang").SelectSingleNode("language").Text(),
        "Italiano");
    // Saving writes no declaration.
    EXPECT_EQ(doc.SaveToXML().rfind("<!-- note -->", 0), 0u);
}

TEST_F(XmlFiles, MalformedFileRaisesAndKeepsThePreviousDocument) {
    TXMLDocument doc;
    doc.LoadFromXML("<Old><a>1</a></Old>");
    std::string path = dir + "/bad.xml";
    WriteBinaryFile(path, "<Par_Gen>\n  <KNX_TYPE>0</KNX_TYPE>\n  <Oops></Par_Gen>\n");
    try {
        doc.LoadFromFile(path);
        FAIL() << "no error";
    } catch (const EXMLParseError& e) {
        EXPECT_NE(e.Message().find("line 3"), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find("bad.xml"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(doc.DocumentElement().NodeName(), "Old");
    EXPECT_EQ(doc.SaveToXML(), "<Old><a>1</a></Old>");

    WriteBinaryFile(path, "");
    EXPECT_THROW(doc.LoadFromFile(path), EXMLParseError) << "no root element";
    EXPECT_THROW(doc.LoadFromFile(dir + "/missing.xml"), EFOpenError);
    EXPECT_EQ(doc.DocumentElement().NodeName(), "Old");
}

TEST_F(XmlFiles, LoadsFilesInOtherEncodings) {
    // "<a>é</a>" in UTF-16 LE with byte order mark.
    std::string utf16("\xFF\xFE<\0a\0>\0\xE9\0<\0/\0a\0>\0", 18);
    WriteBinaryFile(dir + "/u16.xml", utf16);
    WriteBinaryFile(dir + "/l1.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9</a>");
    WriteBinaryFile(dir + "/w.xml", "<?xml version=\"1.0\" encoding=\"Windows-1252\"?><a>\xE9</a>");
    for (const char* name : {"/u16.xml", "/l1.xml", "/w.xml"}) {
        TXMLDocument doc;
        doc.LoadFromFile(dir + name);
        EXPECT_EQ(doc.DocumentElement().Text(), "\xC3\xA9") << name;
    }
    TXMLDocument doc;
    doc.LoadFromXML("<?xml version=\"1.0\" encoding=\"windows-1252\"?><a b=\"\x80\"/>");
    EXPECT_EQ(doc.DocumentElement().Attributes("b").AsString(), "\xE2\x82\xAC");
}

TEST(XmlDoc, TextAndAttributeFailuresAreDetectable) {
    TXMLDocument doc;
    doc.LoadFromXML("<r><k><sub/></k><row A=\"\" /><t>x<![CDATA[<y>]]></t></r>");
    TXmlNode r = doc.DocumentElement();
    EXPECT_THROW(r.SelectSingleNode("k").Text(), EXMLDocError) << "holds an element";
    EXPECT_EQ(r.SelectSingleNode("t").Text(), "x<y>");
    TXmlNode row = r.ChildNodes()[1];
    EXPECT_TRUE(row.HasAttribute("A"));
    EXPECT_EQ(row.Attributes("A").AsString(), "");
    TXmlValue missing = row.Attributes("B");
    EXPECT_TRUE(missing.IsNull());
    EXPECT_THROW(std::string s = missing, EXMLDocError);
    EXPECT_EQ(missing.AsStringDef("7"), "7");
    EXPECT_THROW(r.ChildNodes()[3], EXMLDocError);
    EXPECT_THROW(r.ChildNodes()[-1], EXMLDocError);
    EXPECT_THROW(TXmlNode().Text(), EXMLDocError);
}

TEST(XmlDoc, EditingTheTree) {
    TXMLDocument doc;
    TXmlNode root = doc.AddChild("Root");
    EXPECT_THROW(doc.AddChild("Second"), EXMLDocError);
    EXPECT_THROW(doc.Node().AppendChild(doc.CreateTextNode("t")), EXMLDocError);
    EXPECT_THROW(root.AddChild("bad name"), EXMLDocError);
    TXmlNode a = root.AddChild("A");
    TXmlNode b = root.AddChild("B");
    EXPECT_THROW(a.AppendChild(root), EXMLDocError) << "cycle";
    a.AppendChild(b); // moves B under A
    EXPECT_EQ(doc.SaveToXML(), "<Root><A><B/></A></Root>");
    EXPECT_EQ(b.ParentNode(), a);
    root.RemoveChild(a);
    EXPECT_TRUE(a.ParentNode().IsNull());
    EXPECT_THROW(root.RemoveChild(a), EXMLDocError);
    EXPECT_EQ(doc.SaveToXML(), "<Root/>");
    root.AppendChild(doc.CreateTextNode("v"));
    root.ChildNodes().Insert(0, doc.CreateComment("c"));
    EXPECT_EQ(doc.SaveToXML(), "<Root><!--c-->v</Root>");
    root.SetText("new");
    EXPECT_TRUE(root.IsTextElement());
    EXPECT_EQ(doc.SaveToXML(), "<Root>new</Root>");
    doc.ChildNodes().Clear();
    EXPECT_TRUE(doc.DocumentElement().IsNull());
    EXPECT_EQ(doc.SaveToXML(), "");
}

TEST_F(XmlFiles, FailedSaveLeavesTheOldFile) {
    std::string path = dir + "/Velmar.xml";
    WriteBinaryFile(path, "<old/>");
    TXMLDocument doc;
    doc.AddChild("Conf_Settings");
    EXPECT_THROW(doc.SaveToFile(dir + "/missing/Velmar.xml"), EFCreateError);
    ForceDirectories(dir + "/dirxml");
    EXPECT_THROW(doc.SaveToFile(dir + "/dirxml"), EStreamError);
    EXPECT_EQ(ReadBinaryFile(path), "<old/>");
    EXPECT_EQ(ListFiles(dir).size(), 1u);
}

TEST(XmlDoc, DeeplyNestedInputIsRefused) {
    std::string deep;
    for (int i = 0; i < 5000; ++i) deep += "<a>";
    for (int i = 0; i < 5000; ++i) deep += "</a>";
    TXMLDocument doc;
    EXPECT_THROW(doc.LoadFromXML(deep), EXMLParseError);
}

// A reader that knows how many elements its files hold stops a larger one while it parses,
// keeping the document it had.
TEST(XmlDoc, ElementBoundStopsTheParseAndKeepsTheDocument) {
    TXMLDocument doc;
    doc.SetMaxElements(4);
    doc.LoadFromXML("<r><a/><b/><!-- not an element --><c>text</c></r>");
    EXPECT_EQ(doc.DocumentElement().ChildNodes().Count(), 4);
    try {
        doc.LoadFromXML("<r><a/><b/><c/><d/></r>");
        ADD_FAILURE() << "five elements read";
    } catch (const EXMLParseError& e) {
        EXPECT_EQ(e.Message().rfind("The XML document holds more than 4 elements", 0), 0u)
            << e.Message();
    }
    EXPECT_EQ(doc.DocumentElement().ChildNodes().Count(), 4);
    doc.SetMaxElements(0);
    doc.LoadFromXML("<r><a/><b/><c/><d/></r>");
    EXPECT_EQ(doc.DocumentElement().ChildNodes().Count(), 4);
}

} // namespace

namespace {

// The parser's message of a document that must be refused; "" when it was accepted.
std::string refusal(std::string_view xml) {
    TXMLDocument doc;
    try {
        doc.LoadFromXML(xml);
    } catch (const EXMLParseError& e) {
        return e.Message();
    }
    return {};
}

TEST(XmlDoc, RefusesEveryDocumentThatIsNotWellFormed) {
    struct Case {
        const char* what;
        std::string xml;
        const char* reason; // part of the parser's message
    };
    const Case cases[] = {
        {"bare & in text", "<a>x & y</a>", "not well-formed"},
        {"bare < in text", "<a>x < y</a>", "not well-formed"},
        {"bare & in attribute", "<a b=\"x&y\"/>", "not well-formed"},
        {"bare < in attribute", "<a b=\"x<y\"/>", "not well-formed"},
        {"undefined entity", "<a>&nbsp;</a>", "undefined entity"},
        {"entity of an unread subset", "<!DOCTYPE a SYSTEM \"a.dtd\"><a>&e;</a>",
         "undefined entity"},
        {"external entity", "<!DOCTYPE a [<!ENTITY e SYSTEM \"/etc/hostname\">]><a>&e;</a>",
         "external entity"},
        {"duplicate attribute", "<a b=\"1\" b=\"2\"/>", "duplicate attribute"},
        {"second root", "<a/><b/>", "junk after document element"},
        {"text after the root", "<a/>x", "junk after document element"},
        {"text before the root", "x<a/>", "not well-formed"},
        {"declaration after the root", "<a/><?xml version=\"1.0\"?>",
         "junk after document element"},
        {"declaration after a blank", " <?xml version=\"1.0\"?><a/>", "XML or text declaration"},
        {"repeated declaration", "<?xml version=\"1.0\"?><?xml version=\"1.0\"?><a/>",
         "XML or text declaration"},
        {"unknown encoding", "<?xml version=\"1.0\" encoding=\"x-unknown\"?><a/>",
         "unknown encoding"},
        {"-- in a comment", "<a><!-- x -- y --></a>", "not well-formed"},
        {"truncated UTF-8", "<a>\xC3</a>", "not well-formed"},
        {"overlong UTF-8 slash", "<a>\xC0\xAF</a>", "not well-formed"},
        {"UTF-8 surrogate", "<a>\xED\xA0\x80</a>", "not well-formed"},
        {"beyond U+10FFFF", "<a>\xF4\x90\x80\x80</a>", "not well-formed"},
        {"Latin-1 byte without declaration", "<a>\xE9</a>", "not well-formed"},
        {"byte Windows-1252 leaves unassigned",
         "<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\x81</a>", "not well-formed"},
        {"control character", "<a>x\x01</a>", "not well-formed"},
        {"reference to a control character", "<a>&#1;</a>", "invalid character"},
        {"mismatched tag", "<a><b></a></b>", "mismatched tag"},
        {"unclosed root", "<a>", "no element found"},
        {"empty document", "", "no element found"},
        {"comment only", "<!--x-->", "no element found"},
    };
    for (const Case& c : cases) {
        const std::string message = refusal(c.xml);
        EXPECT_NE(message.find(c.reason), std::string::npos) << c.what << ": " << message;
        EXPECT_NE(message.find(" at line "), std::string::npos) << c.what << ": " << message;
        EXPECT_NE(message.find(", column "), std::string::npos) << c.what << ": " << message;
    }
    EXPECT_EQ(refusal("<a>\n  <b x='1' x='2'/>\n</a>"), "duplicate attribute at line 2, column 12");
}

TEST(XmlDoc, AcceptsWellFormedDocumentsOfEveryShape) {
    struct Case {
        std::string xml;
        const char* text; // the document element's text
    };
    const Case cases[] = {
        {"<a>x &amp; &lt;y&gt; &#233;&#x20AC;</a>", "x & <y> \xC3\xA9\xE2\x82\xAC"},
        {"<!DOCTYPE a [<!ENTITY e \"v\">]><a>&e;</a>", "v"},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<a>1</a>\n", "1"},
        {"\xEF\xBB\xBF<a>\xF4\x8F\xBF\xBF</a>", "\xF4\x8F\xBF\xBF"},
        {"<?xml version=\"1.0\" encoding=\"US-ASCII\"?><a>1</a>", "1"},
        {"<a>x\r\ny&#13;</a>", "x\ny\r"},
    };
    for (const Case& c : cases) {
        TXMLDocument doc;
        ASSERT_NO_THROW(doc.LoadFromXML(c.xml)) << c.xml;
        EXPECT_EQ(doc.DocumentElement().Text(), c.text) << c.xml;
    }
}

TEST(XmlDoc, BlankValuesAreKeptAndIndentationIsNot) {
    struct Case {
        const char* xml;
        const char* path; // element names from the root, "/"-separated; "" the root
        const char* text;
        int children; // of the element
    };
    const Case cases[] = {
        {"<a>  </a>", "", "  ", 1},
        {"<a>\n\t </a>", "", "\n\t ", 1},
        {"<a> <![CDATA[x]]> </a>", "", " x ", 3},
        {"<r>\n  <k> </k>\n</r>", "k", " ", 1},
        {"<r>\n  <k></k>\n  <k/>\n</r>", "", nullptr, 2},
        {"<r>\n  <row a=\"1\"/>\n  <!-- c -->\n  <row a=\"2\"/>\n</r>", "", nullptr, 3},
    };
    for (const Case& c : cases) {
        TXMLDocument doc;
        doc.LoadFromXML(c.xml);
        TXmlNode n = doc.DocumentElement();
        if (*c.path) n = n.SelectSingleNode(c.path);
        ASSERT_FALSE(n.IsNull()) << c.xml;
        EXPECT_EQ(n.ChildNodes().Count(), c.children) << c.xml;
        if (c.text) {
            EXPECT_EQ(n.Text(), c.text) << c.xml;
        }

        // A save and a load give the same document again.
        const std::string saved = doc.SaveToXML();
        TXMLDocument back;
        back.LoadFromXML(saved);
        EXPECT_EQ(back.SaveToXML(), saved) << c.xml;
    }
    TXMLDocument doc;
    doc.AddChild("a").SetText(" ");
    TXMLDocument back;
    back.LoadFromXML(doc.SaveToXML());
    EXPECT_EQ(back.DocumentElement().Text(), " ");
}

TEST_F(XmlFiles, WritesNothingAReaderWouldRefuse) {
    struct Case {
        const char* what;
        void (*fill)(TXMLDocument& doc);
        const char* message; // part of the error
    };
    const Case cases[] = {
        {"control character in text",
         [](TXMLDocument& d) { d.AddChild("Par_Gen").AddChild("KNX_ID_DEV").SetText("1\x01"); },
         "text of \"Par_Gen/KNX_ID_DEV\" holds the character U+0001"},
        {"control character in an attribute",
         [](TXMLDocument& d) { d.AddChild("R").AddChild("row").SetAttribute("Mnemonic", "\x1F"); },
         "attribute \"Mnemonic\" of \"R/row\" holds the character U+001F"},
        {"noncharacter U+FFFE", [](TXMLDocument& d) { d.AddChild("a").SetText("\xEF\xBF\xBE"); },
         "U+FFFE"},
        {"bytes that are not UTF-8", [](TXMLDocument& d) { d.AddChild("a").SetText("caf\xE9"); },
         "is not valid UTF-8"},
        {"overlong UTF-8 in an attribute",
         [](TXMLDocument& d) { d.AddChild("a").SetAttribute("p", "\xC0\xAF"); },
         "is not valid UTF-8"},
        {"-- in a comment",
         [](TXMLDocument& d) {
             d.AddChild("a");
             d.ChildNodes().Add(d.CreateComment("x -- y"));
         },
         "\"--\""},
        {"comment ending with -",
         [](TXMLDocument& d) {
             d.AddChild("a");
             d.ChildNodes().Add(d.CreateComment("x-"));
         },
         "\"--\""},
        {"element name that is not UTF-8",
         [](TXMLDocument& d) { d.AddChild("M-Bus_Network").AddChild("Nodo\xB0"); },
         "The name of an element in \"M-Bus_Network\" is not a valid XML name"},
        {"attribute name that is not UTF-8",
         [](TXMLDocument& d) { d.AddChild("R").AddChild("row").SetAttribute("\xC3x", "1"); },
         "The name of an attribute of \"R/row\" is not a valid XML name"},
        {"document element name with a character no name may hold",
         [](TXMLDocument& d) { d.AddChild("a\xC3\x97"); }, // U+00D7, the multiplication sign
         "The name of an element is not a valid XML name"},
    };
    const std::string path = dir + "/Project.xml";
    for (const Case& c : cases) {
        WriteBinaryFile(path, "<old/>");
        TXMLDocument doc;
        c.fill(doc);
        try {
            doc.SaveToFile(path);
            ADD_FAILURE() << c.what << ": saved";
        } catch (const EXMLWriteError& e) {
            EXPECT_NE(e.Message().find(c.message), std::string::npos)
                << c.what << ": " << e.Message();
            EXPECT_NE(e.Message().find(path), std::string::npos) << e.Message();
        }
        EXPECT_EQ(ReadBinaryFile(path), "<old/>") << c.what;
    }
    // Everything XML allows is written and read back as it was.
    const std::string allowed = "\t\n\r \xC2\x80\xEF\xBF\xBD\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF";
    TXMLDocument doc;
    TXmlNode a = doc.AddChild("a\xC3\xA9");
    a.SetText(allowed);
    a.SetAttribute("v", allowed);
    a.SetAttribute("\xC3\xA9t\xC3\xA9", "1");
    doc.SaveToFile(path);
    TXMLDocument back;
    back.LoadFromFile(path);
    EXPECT_EQ(back.DocumentElement().NodeName(), "a\xC3\xA9");
    EXPECT_EQ(back.DocumentElement().Text(), allowed);
    EXPECT_EQ(back.DocumentElement().Attributes("v").AsString(), allowed);
    EXPECT_EQ(back.DocumentElement().Attributes("\xC3\xA9t\xC3\xA9").AsString(), "1");
}

TEST_F(XmlFiles, EncodingsComeOnlyFromTheDocumentAndSavingWritesUtf8) {
    // Windows-1252 bytes in a document that declares no encoding are not text.
    EXPECT_FALSE(refusal("<a>\x80</a>").empty());
    // A declared Windows-1252 document is read once and saved as UTF-8 that reads the same.
    WriteBinaryFile(dir + "/w.xml", "<?xml version=\"1.0\" encoding=\"windows-1252\"?>"
                                    "<a b=\"\x80\x9F\">\xE9\x99</a>");
    TXMLDocument doc;
    doc.LoadFromFile(dir + "/w.xml");
    doc.SaveToFile(dir + "/w.xml");
    EXPECT_EQ(ReadBinaryFile(dir + "/w.xml"),
              "<a b=\"\xE2\x82\xAC\xC5\xB8\">\xC3\xA9\xE2\x84\xA2</a>");
    for (int cycle = 0; cycle < 2; ++cycle) {
        TXMLDocument again;
        again.LoadFromFile(dir + "/w.xml");
        again.SaveToFile(dir + "/w.xml");
    }
    EXPECT_EQ(ReadBinaryFile(dir + "/w.xml"),
              "<a b=\"\xE2\x82\xAC\xC5\xB8\">\xC3\xA9\xE2\x84\xA2</a>");
}

TEST_F(XmlFiles, RefusesOversizedFilesBeforeParsing) {
    const std::string path = dir + "/big.xml";
    {
        // A sparse file just over the bound: its bytes are never parsed.
        std::FILE* f = std::fopen(path.c_str(), "w");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(::ftruncate(::fileno(f), off_t(MaxXMLDocumentBytes + 1)), 0);
        std::fclose(f);
    }
    TXMLDocument doc;
    try {
        doc.LoadFromFile(path);
        FAIL() << "loaded";
    } catch (const EXMLParseError& e) {
        EXPECT_NE(e.Message().find("larger than 64 MB"), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find(path), std::string::npos) << e.Message();
    }
    std::string text = "<a>" + std::string(MaxXMLDocumentBytes, ' ') + "</a>";
    EXPECT_THROW(doc.LoadFromXML(text), EXMLParseError);
    text.resize(MaxXMLDocumentBytes - 4);
    text += "</a>";
    EXPECT_NO_THROW(doc.LoadFromXML(text)) << "the bound itself is allowed";
}

TEST_F(XmlFiles, OnlyANamedRegularFileCountsAsAFile) {
    struct Case {
        const char* name;
        void (*make)(const std::string& path);
        int expected; // 1 a file, 0 nothing there, -1 an error naming it
    };
    const Case cases[] = {
        {"file.xml", [](const std::string& p) { WriteBinaryFile(p, "<a/>"); }, 1},
        {"link.xml",
         [](const std::string& p) {
             WriteBinaryFile(p + ".target", "<a/>");
             std::filesystem::create_symlink(p + ".target", p);
         },
         1},
        {"missing.xml", [](const std::string&) {}, 0},
        {"folder.xml", [](const std::string& p) { std::filesystem::create_directory(p); }, -1},
        {"fifo.xml", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, -1},
        {"dangling.xml",
         [](const std::string& p) { std::filesystem::create_symlink(p + ".gone", p); }, -1},
    };
    for (const Case& c : cases) {
        const std::string path = dir + "/" + c.name;
        c.make(path);
        int got;
        try {
            got = FileExistsStrict(path) ? 1 : 0;
        } catch (const EFOpenError& e) {
            got = -1;
            EXPECT_NE(e.Message().find(path), std::string::npos) << e.Message();
        }
        EXPECT_EQ(got, c.expected) << c.name;
        if (c.expected < 0) {
            // Loading one raises at once (a FIFO is not waited on).
            TXMLDocument doc;
            EXPECT_THROW(doc.LoadFromFile(path), EFOpenError) << c.name;
        }
    }
}

} // namespace

TEST(XmlWriteOptions, DeclaredEncodingLinesAndReferences) {
    TXMLDocument doc;
    TXmlNode root = doc.AddChild("list");
    TXmlNode rec = root.AddChild("r");
    rec.SetAttribute("k", "\xE2\x82\xAC");
    rec.AddChild("f").SetText("\xC3\xA9\xE2\x82\xAC<");
    rec.AddChild("e");
    EXPECT_EQ(doc.SaveToXML(TXMLWriteOptions{"ISO-8859-1", "\r\n"}),
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<list>\r\n"
              "<r k=\"&#8364;\">\r\n<f>\xE9&#8364;&lt;</f>\r\n<e/>\r\n</r>\r\n</list>\r\n");
    EXPECT_NE(doc.SaveToXML(TXMLWriteOptions{"windows-1252", ""})
                  .find("<r k=\"\x80\"><f>\xE9\x80&lt;</f>"),
              std::string::npos);
    // The bytes read back as the text written.
    TXMLDocument back;
    back.LoadFromXML(doc.SaveToXML(TXMLWriteOptions{"US-ASCII", "\n"}));
    EXPECT_EQ(back.DocumentElement().ChildNodes()[0].ChildNodes()[0].Text(),
              "\xC3\xA9\xE2\x82\xAC<");

    // A name the encoding lacks has no reference; an unknown encoding is not written.
    root.AddChild("caf\xC3\xA9");
    EXPECT_THROW(doc.SaveToXML(TXMLWriteOptions{"US-ASCII", ""}), EXMLWriteError);
    EXPECT_THROW(doc.SaveToXML(TXMLWriteOptions{"KOI8-R", ""}), EXMLWriteError);
    EXPECT_NO_THROW(doc.SaveToXML(TXMLWriteOptions{"UTF-8", ""}));
}
