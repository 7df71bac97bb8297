#include "image/dialogs/DMXDefValFile.h"

#include "image/DmxImage.h"
#include "image/ProjectFile.h"
#include "platform/files/Files.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/ProgramState.h"

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
