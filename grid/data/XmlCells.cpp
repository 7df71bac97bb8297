#include "grid/data/XmlCells.h"

#include "platform/files/Files.h"
#include "platform/xml/XmlDoc.h"

#include <algorithm>

namespace {

// The text of a node and everything below it, in document order.
std::string allText(const TXmlNode& node) {
    const TNodeType t = node.NodeType();
    if (t == ntText || t == ntCData) return node.NodeValue();
    std::string text;
    const TXmlNodeList children = node.ChildNodes();
    for (int i = 0; i < children.Count(); ++i) text += allText(children[i]);
    return text;
}

class Walker {
public:
    explicit Walker(const TXMLCellWalk& w) : w_(w), mc_(w.StartCol), mr_(w.StartRow) {}
    TPoint Run(const TXmlNode& root) {
        const TXmlNodeList records = root.ChildNodes();
        for (int i = 0; i < records.Count(); ++i) {
            const TXmlNode record = records[i];
            c_ = 0;
            v_ = 1;
            // A first record without attributes starts its row when it opens its children; one
            // that holds a single value has no such step and stays on the first row.
            if (w_.LevelToRow && i == 0 && attributes(record) == 0 &&
                record.ChildNodes().Count() > 1)
                r_ = -1;
            walk(record);
            if (!w_.LevelToRow) ++r_;
        }
        return TPoint(mc_, mr_);
    }

private:
    static int attributes(const TXmlNode& n) {
        return n.NodeType() == ntElement ? n.AttributeCount() : 0;
    }
    void grow() { w_.Grow(c_ + w_.StartCol, r_ + w_.StartRow); }
    void store(const std::string& text) {
        grow();
        w_.Store(c_ + w_.StartCol, r_ + w_.StartRow, text);
        mc_ = std::max(mc_, c_ + w_.StartCol);
        mr_ = std::max(mr_, r_ + w_.StartRow);
    }
    void header(const std::string& name) {
        if (w_.HeaderEmpty(c_ + w_.StartCol)) w_.Store(c_ + w_.StartCol, 0, name);
    }
    void walk(const TXmlNode& n) {
        bool rowStarted = false;
        const int count = attributes(n);
        for (int k = 0; k < count; ++k) {
            grow();
            const std::string name = n.AttributeName(k);
            if (w_.NamesInHeader) header(name);
            store(n.GetAttribute(name).AsString());
            ++c_;
        }
        if (w_.LevelToRow && count > 0) {
            ++r_;
            c_ = v_;
            rowStarted = true;
        }
        const TXmlNodeList children = n.ChildNodes();
        if (children.Count() > 1) {
            if (w_.LevelToRow && !rowStarted) {
                ++r_;
                c_ = 0;
            }
            ++v_;
            for (int i = 0; i < children.Count(); ++i) walk(children[i]);
        } else if (children.Count() == 1) {
            grow();
            if (w_.NamesInHeader && w_.LoadFieldNames) header(n.NodeName());
            std::string text = allText(n);
            if (w_.QuoteEmptyCells && text == "\"\"") text.clear();
            store(text);
            ++c_;
        } else if (count == 0) {
            // A node without children or attributes is an empty cell; the grid grows for it.
            store("");
            ++c_;
        }
    }
    const TXMLCellWalk& w_;
    int mc_, mr_;
    int r_ = 0, c_ = 0, v_ = 1;
};

} // namespace

void WriteXMLRecords(const std::string& FileName, const std::string& Encoding,
                     const std::string& ListName, const std::string& RecordName,
                     const std::vector<TXMLRecord>& Records) {
    TXMLDocument doc;
    TXmlNode list = doc.AddChild(ListName);
    for (const TXMLRecord& fields : Records) {
        TXmlNode record = list.AddChild(RecordName);
        for (const auto& [name, text] : fields) record.AddChild(name).SetText(text);
    }
    doc.SaveToFile(FileName, TXMLWriteOptions{Encoding, "\r\n"});
}

TPoint ReadXMLCells(const std::string& FileName, const TXMLCellWalk& Walk) {
    if (!FileExists(FileName)) throw Exception("XML file not found");
    TXMLDocument doc;
    try {
        doc.LoadFromFile(FileName);
    } catch (const EXMLParseError& e) {
        throw Exception("XMLDOM Parsing error: " + e.Message());
    }
    const TXmlNode root = doc.DocumentElement();
    if (!root) throw Exception("XMLDOM Parsing error: no document element in \"" + FileName + "\"");
    return Walker(Walk).Run(root);
}
