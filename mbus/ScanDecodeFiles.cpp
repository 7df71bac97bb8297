#include "mbus/ScanDecode.h"
#include "platform/files/Files.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/ProgramState.h"

void TFScanDecode::Read_Gateway_Address() {
    // The gateway's address from the communication parameters, where it has one.
    if (FileExists(File_ParGen)) {
        try {
            TXMLDocument doc;
            doc.LoadFromFile(File_ParGen);
            const TXmlNode root = doc.DocumentElement();
            for (int i = 0; root && i < 4; ++i) {
                const TXmlNode key =
                    root.ChildNodes().FindNode("Modbus_TCP_Slave_IP" + std::to_string(i + 1));
                if (key) E_IP[i]->SetText(key.Text());
            }
        } catch (const Exception&) {
            // An unreadable file leaves the address fields as they are.
        }
    }
}
