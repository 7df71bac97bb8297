// XML export and import of cells: the written lines, round trips of awkward texts in each
// encoding, and documents of other shapes read into cells.
#include "grid/core/QorStringGrid.h"
#include "platform/files/Files.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct XmlGrid {
    TQorStringGrid g{nullptr};
    XmlGrid(int cols, int rows) {
        g.SetColCount(cols);
        g.SetRowCount(rows);
        g.SetFixedCols(0);
        g.SetFixedRows(0);
    }
};

class GridXML : public ::testing::Test {
protected:
    TempFolder folder{"grid_xml"};
    std::string path(const std::string& name) { return folder.Path(name); }
    std::string load(XmlGrid& k, const std::string& xml, bool levelToRow = false,
                     bool names = false) {
        WriteBinaryFile(path("in.xml"), xml);
        k.g.LoadFromXML(path("in.xml"), levelToRow, names);
        std::string cells;
        for (int r = 0; r < k.g.RowCount(); ++r) {
            for (int c = 0; c < k.g.ColCount(); ++c) cells += (c ? "|" : "") + k.g.Cells(c, r);
            cells += "\n";
        }
        return cells;
    }
};

TEST_F(GridXML, WritesOneLinePerElement) {
    XmlGrid k(2, 1);
    k.g.SetCells(0, 0, "a");
    k.g.SetCells(1, 0, "b");
    k.g.SaveToXML(path("a.xml"), "L", "R", nullptr);
    EXPECT_EQ(ReadBinaryFile(path("a.xml")),
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<L>\r\n<R>\r\n"
              "<FIELD0>a</FIELD0>\r\n<FIELD1>b</FIELD1>\r\n</R>\r\n</L>\r\n");

    // Field names of the caller; empty cells only with the flag, as two quotes.
    TStringList names;
    names.Add("Name");
    k.g.SetCells(1, 0, "");
    k.g.SaveToXML(path("b.xml"), "L", "R", &names);
    EXPECT_EQ(ReadBinaryFile(path("b.xml")),
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<L>\r\n<R>\r\n"
              "<Name>a</Name>\r\n</R>\r\n</L>\r\n");
    k.g.SaveToXML(path("c.xml"), "L", "R", &names, true);
    EXPECT_NE(ReadBinaryFile(path("c.xml")).find("<FIELD1>\"\"</FIELD1>"), std::string::npos);
    XmlGrid back(1, 1);
    back.g.LoadFromXML(path("c.xml"));
    EXPECT_EQ(back.g.ColCount(), 2);
    EXPECT_EQ(back.g.Cells(0, 0), "a");
    EXPECT_EQ(back.g.Cells(1, 0), "");
}

TEST_F(GridXML, AwkwardTextsComeBackWholeInEveryEncoding) {
    const std::vector<std::string> texts = {"A&B",
                                            "$amp;",
                                            "&lt;not a tag&gt;",
                                            "<b>x</b>",
                                            "say \"hi\" 'there'",
                                            "caf\xC3\xA9 \xE2\x82\xAC 5",
                                            "two\r\nlines",
                                            "  padded  ",
                                            "]]>",
                                            "a\tb",
                                            "\xE4\xB8\xAD\xE6\x96\x87",
                                            "&#38;"};
    for (const char* encoding : {"ISO-8859-1", "UTF-8", "windows-1252", "US-ASCII"}) {
        SCOPED_TRACE(encoding);
        XmlGrid k(int(texts.size()), 2);
        for (int c = 0; c < int(texts.size()); ++c) {
            k.g.SetCells(c, 0, texts[std::size_t(c)]);
            k.g.SetCells(c, 1, std::to_string(c));
        }
        k.g.SetXMLEncoding(encoding);
        k.g.SaveToXML(path("round.xml"), "Rows", "Row", nullptr);
        const std::string bytes = ReadBinaryFile(path("round.xml"));
        EXPECT_TRUE(bytes.starts_with("<?xml version=\"1.0\" encoding=\"" + std::string(encoding)));
        if (std::string(encoding) == "ISO-8859-1") {
            // The declared encoding is the one written: one byte for e acute, a reference for
            // the euro sign, which ISO-8859-1 lacks.
            EXPECT_NE(bytes.find("caf\xE9 &#8364; 5"), std::string::npos);
        }
        XmlGrid back(1, 1);
        back.g.LoadFromXML(path("round.xml"));
        ASSERT_EQ(back.g.ColCount(), int(texts.size()));
        for (int c = 0; c < int(texts.size()); ++c) EXPECT_EQ(back.g.Cells(c, 0), texts[c]);
        EXPECT_EQ(back.g.Cells(3, 1), "3");
    }
}

TEST_F(GridXML, WriteFailuresLeaveTheFileAlone) {
    XmlGrid k(1, 1);
    k.g.SetCells(0, 0, std::string("bell\x07"));
    WriteBinaryFile(path("old.xml"), "old");
    EXPECT_THROW(k.g.SaveToXML(path("old.xml"), "L", "R", nullptr), Exception);
    EXPECT_EQ(ReadBinaryFile(path("old.xml")), "old");
    k.g.SetCells(0, 0, "fine");
    k.g.SetXMLEncoding("EBCDIC");
    EXPECT_THROW(k.g.SaveToXML(path("old.xml"), "L", "R", nullptr), Exception);
    k.g.SetXMLEncoding("UTF-8");
    try {
        k.g.SaveToXML(path("no/such/x.xml"), "L", "R", nullptr);
        ADD_FAILURE() << "no error";
    } catch (const EQorGridError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot Create file " + path("no/such/x.xml"));
    }
}

TEST_F(GridXML, DocumentsOfOtherShapesLoadIntoCells) {
    {
        // Records of three leaf elements: a row each, from SaveStartCol on.
        XmlGrid k(1, 1);
        EXPECT_EQ(load(k, "<list>\n  <r><a>1</a><b>2</b><c>3</c></r>\n"
                          "  <r><a>4</a><b/><c>6</c></r>\n</list>"),
                  "1|2|3\n4||6\n");
    }
    {
        // Attributes: their values in the record's row, their names in row 0 with fixed rows.
        XmlGrid k(1, 1);
        EXPECT_EQ(load(k, "<list><rec id=\"1\" name=\"x &amp; y\"/><rec id=\"2\" name=\"z\"/>"
                          "</list>"),
                  "1|x & y\n2|z\n");
        XmlGrid h(3, 3);
        h.g.SetFixedRows(1);
        EXPECT_EQ(load(h, "<list><rec id=\"1\" name=\"x\"/></list>", false, true),
                  "id|name\n1|x\n");
    }
    {
        // Field names into the fixed row, the records below it.
        XmlGrid k(3, 3);
        k.g.SetFixedRows(1);
        EXPECT_EQ(
            load(k, "<list><r><a>1</a><b>2</b></r><r><a>3</a><b>4</b></r></list>", false, true),
            "a|b\n1|2\n3|4\n");
    }
    {
        // Empty elements only: the grid grows for them.
        XmlGrid k(1, 1);
        EXPECT_EQ(load(k, "<list><r><a/><b/><c/></r><r><a/><b/><c/></r></list>"), "||\n||\n");
    }
    {
        // A level per row.
        XmlGrid k(1, 1);
        EXPECT_EQ(load(k, "<list><n id=\"1\"><v>a</v><v>b</v></n></list>", true), "1||\n|a|b\n");
    }
}

TEST_F(GridXML, WhatIsNoXmlIsRefusedNamingTheFile) {
    XmlGrid k(2, 2);
    k.g.SetCells(0, 0, "kept");
    try {
        load(k, "<list><r><a>1</a></r>");
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        const std::string m = e.what();
        EXPECT_TRUE(m.starts_with("XMLDOM Parsing error: ")) << m;
        EXPECT_NE(m.find(path("in.xml")), std::string::npos) << m;
        EXPECT_NE(m.find("line 1"), std::string::npos) << m;
    }
    EXPECT_EQ(k.g.Cells(0, 0), "kept");
    try {
        k.g.LoadFromXML(path("none.xml"));
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()), "XML file not found");
    }
}

} // namespace
