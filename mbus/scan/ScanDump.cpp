// The raw scan dumps: every slave or sender the scan found, with its records as decoded.
#include "mbus/scan/MBusScanDecode.h"
#include "platform/base/SysUtils.h"
#include "platform/xml/XmlDoc.h"

namespace {

std::string num(long long v) {
    return IntToStr(v);
}

void addText(TXmlNode& Parent, const std::string& Name, const std::string& Text) {
    Parent.AddChild(Name).SetText(Text);
}

// One record: its value, type and place as attributes, its fields and bytes as elements.
void writeVariable(TXmlNode& Node, const TVariable_MBus& v) {
    TXmlNode e = Node.AddChild("Variable");
    e.SetAttribute("Value", v.ValueStr);
    e.SetAttribute("Type", v.Desc_Type_Data);
    e.SetAttribute("UST",
                   "(U" + num(v.device) + "S" + num(v.storage_number) + "T" + num(v.tarif) + ")");
    addText(e, "Storage_Number", num(v.storage_number));
    addText(e, "Tariff", num(v.tarif));
    addText(e, "Unit", num(v.device));
    addText(e, "Data_Field", v.DataFieldStr);
    addText(e, "Function_Field", v.FunctionFieldStr);
    addText(e, "Type", v.Desc_Type_Data);
    addText(e, "Value", v.ValueStr);
    addText(e, "DIF", v.DIF);
    addText(e, "VIF", "$" + IntToHex(v.VIF, 2));
    addText(e, "DIFE", v.DIFE);
    addText(e, "VIFE", v.VIFE);
    addText(e, "DATA", "$" + v.totdati);
}

} // namespace

std::string TMBusScanDecode::SaveXMLFile() const {
    std::lock_guard lock(FDumpLock);
    return FSaveXMLFile;
}

void TMBusScanDecode::SetSaveXMLFile(const std::string& FileName) {
    std::lock_guard lock(FDumpLock);
    FSaveXMLFile = FileName;
}

void TMBusScanDecode::Save_XML_File_DLL() {
    const std::string file = SaveXMLFile();
    if (file.empty()) return;
    TXMLDocument doc;
    doc.SetActive(true);
    TXmlNode root = doc.AddChild("SCAN_M-Bus_Wired");
    {
        auto lock = List_Slave_MBus.Lock();
        for (int i = 0; i < List_Slave_MBus.Count(); ++i) {
            const TSlave_MBus& s = *List_Slave_MBus.Items(i);
            TXmlNode n = root.AddChild("Node");
            n.SetAttribute("Primary_Address", num(s.Primary_Addresss));
            n.SetAttribute("Secondary_Address", s.Secondary_Addresss);
            n.SetAttribute("Manufacturer", s.descManufacture + " (" + num(s.Manufacture) + ")");
            n.SetAttribute("Version", num(s.Version));
            n.SetAttribute("Type", s.descmedium);
            for (const auto& v : s.List_Var) writeVariable(n, *v);
        }
    }
    doc.SaveToFile(file);
}

void TMBusScanDecode::Save_Wireless_XML_File_DLL() {
    const std::string file = SaveXMLFile();
    if (file.empty()) return;
    TXMLDocument doc;
    doc.SetActive(true);
    TXmlNode root = doc.AddChild("SCAN_M-Bus_Wireless");
    {
        auto lock = List_Slave_wMBus.Lock();
        for (int i = 0; i < List_Slave_wMBus.Count(); ++i) {
            const TSlave_wMBus& s = *List_Slave_wMBus.Items(i);
            TXmlNode n = root.AddChild("Node");
            n.SetAttribute("Manufacturer", s.ALA_Manu_str + " (" + num(s.ALA_Manufacturer) + ")");
            // The identification number's BCD digits.
            n.SetAttribute("Address", IntToHex(std::uint32_t(s.ALA_Address), 8));
            n.SetAttribute("Version", num(s.ALA_Version));
            n.SetAttribute("Device_Type", num(s.ALA_DeviceType));
            n.SetAttribute("Cripted", s.Cripted ? "True" : "False");
            for (const auto& v : s.List_Var)
                if (v->Real_Wireless_Var) writeVariable(n, *v);
        }
    }
    doc.SaveToFile(file);
}
