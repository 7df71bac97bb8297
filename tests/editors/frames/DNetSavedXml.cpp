// Reads back the offset file for the dialog test, whose grid headers clash with the XML
// library's names.
#include "platform/xml/XmlDoc.h"

#include <string>
#include <vector>

// Per "Nodo_DNET": its ID, then the Offset of each of its ByteOUT rows.
std::vector<std::vector<std::string>> savedOutputs(const std::string& path) {
    TXMLDocument doc(nullptr);
    doc.SetActive(true);
    doc.LoadFromFile(path);
    std::vector<std::vector<std::string>> found;
    const TXmlNodeList nodes = doc.DocumentElement().ChildNodes();
    for (int k = 0; k < nodes.Count(); ++k) {
        std::vector<std::string> row{nodes[k].GetAttribute("ID").AsString()};
        const TXmlNodeList bytes = nodes[k].ChildNodes().FindNode("ByteOUT").ChildNodes();
        for (int i = 0; i < bytes.Count(); ++i)
            row.push_back(bytes[i].GetAttribute("Offset").AsString());
        found.push_back(row);
    }
    return found;
}
