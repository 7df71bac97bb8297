#include "platform/xml/XmlDoc.h"

#include "platform/files/Files.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <stdlib.h>

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

    std::string path = dir + "\\ParGen.xml";
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

} // namespace
