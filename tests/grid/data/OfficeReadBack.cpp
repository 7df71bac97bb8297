#include "tests/grid/data/OfficeReadBack.h"
#include "platform/xml/XmlDoc.h"

namespace {

void collect(const TXmlNode& n, std::string& out) {
    for (int i = 0; i < n.ChildNodes().Count(); ++i) {
        const TXmlNode k = n.ChildNodes()[i];
        if (k.NodeType() != ntElement) continue;
        if (k.NodeName() == "w:t")
            out += k.Text();
        else if (k.NodeName() == "w:br")
            out += "\n";
        else
            collect(k, out);
    }
}

} // namespace

DocView ReadDocumentPart(const std::string& xml) {
    TXMLDocument doc;
    doc.LoadFromXML(xml);
    const TXmlNode body = doc.DocumentElement().SelectSingleNode("w:body");
    DocView v;
    for (int i = 0; i < body.ChildNodes().Count(); ++i) {
        const TXmlNode b = body.ChildNodes()[i];
        if (b.NodeName() == "w:p") {
            std::string text;
            collect(b, text);
            v.Blocks += "p(" + text + ") ";
        } else if (b.NodeName() == "w:tbl") {
            v.Blocks += "t ";
            for (int r = 0; r < b.ChildNodes().Count(); ++r) {
                const TXmlNode tr = b.ChildNodes()[r];
                if (tr.NodeName() != "w:tr") continue;
                int c = 0;
                for (int k = 0; k < tr.ChildNodes().Count(); ++k) {
                    const TXmlNode tc = tr.ChildNodes()[k];
                    if (tc.NodeName() != "w:tc") continue;
                    std::string text;
                    collect(tc, text);
                    v.Tables += (c++ ? "|" : "") + text;
                    const TXmlNode pPr = tc.SelectSingleNode("w:p").SelectSingleNode("w:pPr");
                    if (pPr && pPr.SelectSingleNode("w:jc").GetAttribute("w:val").AsStringDef("") ==
                                   "right")
                        v.RightAligned += text + " ";
                }
                v.Tables += "\n";
            }
        } else
            v.Blocks += b.NodeName() == "w:sectPr" ? "s " : b.NodeName() + " ";
    }
    return v;
}
