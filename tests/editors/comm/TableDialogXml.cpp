#include "tests/editors/comm/SavedXml.h"

#include "platform/xml/XmlDoc.h"

#include <gtest/gtest.h>

namespace savedxml {
namespace {

TXmlNode rootOf(TXMLDocument& doc, const std::string& path) {
    doc.SetActive(true);
    doc.LoadFromFile(path);
    return doc.ChildNodes()[0];
}

} // namespace

std::vector<Row> rows(const std::string& path, const char* section,
                      const std::vector<std::string>& attributes) {
    TXMLDocument doc(nullptr);
    TXmlNode node = rootOf(doc, path);
    if (section) node = node.ChildNodes().FindNode(section);
    std::vector<Row> found;
    if (!node) return found;
    for (int i = 0; i < node.ChildNodes().Count(); ++i) {
        const TXmlNode row = node.ChildNodes()[i];
        EXPECT_EQ(row.NodeName(), "row");
        EXPECT_EQ(row.AttributeCount(), int(attributes.size()));
        Row cells;
        for (int a = 0; a < row.AttributeCount(); ++a) {
            EXPECT_EQ(row.AttributeName(a), attributes[std::size_t(a)]);
            cells.push_back(row.GetAttribute(row.AttributeName(a)).AsString());
        }
        found.push_back(cells);
    }
    return found;
}

std::vector<std::string> topLevel(const std::string& path) {
    TXMLDocument doc(nullptr);
    rootOf(doc, path);
    std::vector<std::string> nodes;
    for (int i = 0; i < doc.ChildNodes().Count(); ++i) {
        const TXmlNode n = doc.ChildNodes()[i];
        nodes.push_back(n.NodeType() == ntElement ? n.NodeName() : n.NodeValue());
    }
    return nodes;
}

} // namespace savedxml
