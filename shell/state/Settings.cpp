#include "shell/state/Settings.h"

#include "platform/files/Files.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/ProgramState.h"

namespace {

const char* const Default_IP = "192.168.2.205";
const char* const Default_Language = "English";

void setDefaults() {
    Project_Name = "";
    Project_Dir = "";
    Last_IP = Default_IP;
    Language_Name = Default_Language;
    Internet_Enabled = false;
    Update_Check_Enabled = false;
}

// The text of root/group/key; def when an element is missing or holds more than plain text.
std::string readValue(const TXmlNode& root, const char* group, const char* key,
                      const std::string& def) {
    const TXmlNode groupNode = root.ChildNodes().FindNode(group);
    if (!groupNode) return def;
    const TXmlNode keyNode = groupNode.ChildNodes().FindNode(key);
    if (!keyNode) return def;
    try {
        return keyNode.Text();
    } catch (const EXMLDocError&) {
        return def; // an element with child elements: this one value takes its default
    }
}

} // namespace

std::string Settings_File() {
    return PathJoin(Program_Dir, "Velmar.xml");
}

void Read_Setting() {
    const std::string path = Settings_File();
    if (!FileExists(path)) {
        setDefaults();
        return;
    }
    TXMLDocument doc;
    try {
        doc.LoadFromFile(path);
    } catch (const Exception&) {
        setDefaults(); // an unreadable or malformed file counts as a missing one
        return;
    }
    // The document element, so that a declaration or comment before it is passed over.
    const TXmlNode root = doc.DocumentElement();
    if (!root) {
        setDefaults();
        return;
    }
    // The two names are joined to PROJECTS and LANGUAGE: one that would lead elsewhere (a path,
    // "..") takes its default.
    Project_Name = readValue(root, "lastproj", "projectname", "");
    if (!Is_Plain_Name(Project_Name)) Project_Name.clear();
    Last_IP = readValue(root, "lastipadd", "ipaddress", Default_IP);
    Language_Name = readValue(root, "lastlang", "language", Default_Language);
    if (!Language_Name.empty() && !Is_Plain_Name(Language_Name)) Language_Name = Default_Language;
    Internet_Enabled = readValue(root, "lastinternet", "enable_internet", "0") == "1";
    Update_Check_Enabled = readValue(root, "lastinternet", "enable_update", "0") == "1";
}

void Save_Setting() {
    TXMLDocument doc;
    TXmlNode root = doc.AddChild("Conf_Settings");
    root.AddChild("lastproj").AddChild("projectname").SetText(Project_Name);
    root.AddChild("lastipadd").AddChild("ipaddress").SetText(Last_IP);
    root.AddChild("lastlang").AddChild("language").SetText(Language_Name);
    TXmlNode internet = root.AddChild("lastinternet");
    internet.AddChild("enable_internet").SetText(Internet_Enabled ? "1" : "0");
    internet.AddChild("enable_update").SetText(Update_Check_Enabled ? "1" : "0");
    doc.SaveToFile(Settings_File());
}
