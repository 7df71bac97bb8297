#include "mbus/ScanDecode.h"
#include "platform/files/Files.h"
#include "platform/ui/core/Forms.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/ProgramState.h"

void TFScanDecode::Read_Gateway_Address() {
    // The gateway's address from the communication parameters, where it has one.
    if (!FileExists(File_ParGen)) return;
    TXMLDocument doc;
    try {
        doc.LoadFromFile(File_ParGen);
    } catch (const Exception& e) {
        // The user sees why the address was not taken; the fields keep what they show.
        Application->ShowException(e);
        return;
    }
    const TXmlNode root = doc.DocumentElement();
    for (int i = 0; root && i < 4; ++i) {
        const TXmlNode key =
            root.ChildNodes().FindNode("Modbus_TCP_Slave_IP" + std::to_string(i + 1));
        try {
            if (key) E_IP[std::size_t(i)]->SetText(key.Text());
        } catch (const EXMLDocError&) {
            // A key without plain text leaves its field as it was; the others are still read.
        }
    }
}
