#include "image/dialogs/DmxDefaultValues.h"

#include "platform/files/Files.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/ProjectXml.h"

namespace {

std::string attributeText(const TXmlNode& node, const char* name) {
    const TXmlValue value = node.GetAttribute(name);
    return value.IsNull() ? std::string() : value.AsString();
}

} // namespace

std::vector<TDMX_Default_Row> Load_DMX_Default_Rows(const std::string& path) {
    std::vector<TDMX_Default_Row> rows;
    if (!FileExists(path)) return rows;
    TXMLDocument doc(nullptr);
    doc.SetActive(true);
    doc.LoadFromFile(path);
    const TXmlNode root = doc.DocumentElement();
    if (!root) return rows;
    // The rows are the root's elements, as the image compiler counts them.
    for (const TXmlNode& node : Element_Children(root))
        rows.push_back({attributeText(node, "Default_Value"), attributeText(node, "Mnemonic")});
    return rows;
}

void Save_DMX_Default_Rows(const std::vector<TDMX_Default_Row>& rows,
                           const std::vector<TDMX_Default_Row>& file, const std::string& path) {
    TXMLDocument doc(nullptr);
    doc.SetActive(true);
    TXmlNode root = doc.AddChild("DMX_Default_Values");
    doc.ChildNodes().Add(doc.CreateComment("SW_VERSION = 1.104"));
    auto add = [&](const TDMX_Default_Row& r) {
        TXmlNode row = root.AddChild("Row");
        row.SetAttribute("Default_Value", r.Default_Value);
        row.SetAttribute("Mnemonic", r.Mnemonic);
    };
    for (const TDMX_Default_Row& r : rows) add(r);
    for (std::size_t i = rows.size(); i < file.size(); ++i) add(file[i]);
    doc.SaveToFile(path);
}
