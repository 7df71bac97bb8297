#include "image/dialogs/DMXDefValFile.h"

#include "image/DmxImage.h"
#include "image/ProjectFile.h"
#include "platform/files/Files.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/ProgramState.h"

#include <algorithm>

namespace {

std::string attributeText(const TXmlNode& node, const char* name) {
    const TXmlValue value = node.GetAttribute(name);
    return value.IsNull() ? std::string() : value.AsString();
}

} // namespace

TXMLDocument* Create_DMX_Document(TComponent* Owner) {
    return new TXMLDocument(Owner);
}

int Load_DMX_Channel_Count(TXMLDocument& Doc) {
    if (!FileExists(File_ParGen)) return DMX_Channel_Count;
    Doc.SetActive(true);
    Doc.LoadFromFile(File_ParGen);
    const TXmlNode root = Doc.DocumentElement();
    if (!root) return DMX_Channel_Count;
    const TXmlNode key = root.ChildNodes().FindNode("DMX_Num_Channels");
    if (!key) return DMX_Channel_Count;
    int n;
    try {
        // Read as the image compiler reads it.
        if (!TryImageInt(key.Text(), n)) return DMX_Channel_Count;
    } catch (const EXMLDocError&) {
        return DMX_Channel_Count; // an element with child elements holds no number
    }
    return n >= 1 && n <= DMX_Channel_Count ? n : DMX_Channel_Count;
}

std::vector<TDMX_Default_Row> Load_DMX_Default_Rows(TXMLDocument& Doc, int Channels) {
    std::vector<TDMX_Default_Row> rows;
    if (!FileExists(File_DMX_Default_Values)) return rows;
    Doc.SetActive(true);
    Doc.LoadFromFile(File_DMX_Default_Values);
    const TXmlNode root = Doc.DocumentElement();
    if (!root) return rows;
    // The rows are the root's elements, as the image compiler counts them.
    const std::vector<TXmlNode> elements = Element_Children(root);
    const int count = std::min(Channels, int(elements.size()));
    for (int i = 0; i < count; ++i) {
        const TXmlNode& row = elements[std::size_t(i)];
        rows.push_back({attributeText(row, "Default_Value"), attributeText(row, "Mnemonic")});
    }
    return rows;
}

void Save_DMX_Default_Rows(TXMLDocument& Doc, const std::vector<TDMX_Default_Row>& Rows) {
    Doc.SetActive(true);
    Doc.Clear();
    TXmlNode root = Doc.AddChild("DMX_Default_Values");
    Doc.ChildNodes().Add(Doc.CreateComment("SW_VERSION = 1.104"));
    for (const TDMX_Default_Row& r : Rows) {
        TXmlNode row = root.AddChild("Row");
        row.SetAttribute("Default_Value", r.Default_Value);
        row.SetAttribute("Mnemonic", r.Mnemonic);
    }
    Doc.SaveToFile(File_DMX_Default_Values);
}
