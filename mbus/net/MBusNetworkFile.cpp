#include "mbus/net/MBusNetworkFile.h"

#include "platform/files/Files.h"
#include "platform/xml/XmlDoc.h"
#include "shell/state/ProjectInt.h"

#include <cmath>

namespace {

const char* const Network_Element = "M-Bus_Network";
const char* const Node_Element = "Nodo";
const char* const Var_Element = "Variabile";
const char* const Version_Comment = "SW_VERSION = 1.205";

int intAttr(const TXmlNode& n, std::string_view name, int def) {
    const TXmlValue v = n.GetAttribute(name);
    int result;
    return !v.IsNull() && TryImageInt(v.AsString(), result) ? result : def;
}

std::string textAttr(const TXmlNode& n, std::string_view name) {
    return n.GetAttribute(name).AsStringDef("");
}

bool flagAttr(const TXmlNode& n, std::string_view name) {
    return textAttr(n, name) == "1";
}

int requiredAttr(const TXmlNode& n, std::string_view name, const std::string& where) {
    const TXmlValue v = n.GetAttribute(name);
    int result;
    if (v.IsNull() || !TryImageInt(v.AsString(), result))
        throw EMBusFileError(where + ": the attribute \"" + std::string(name) +
                             "\" is missing or not a number");
    return result;
}

std::vector<TXmlNode> elementChildren(const TXmlNode& node) {
    std::vector<TXmlNode> out;
    const TXmlNodeList list = node.ChildNodes();
    for (int i = 0; i < list.Count(); ++i)
        if (list[i].NodeType() == ntElement) out.push_back(list[i]);
    return out;
}

std::unique_ptr<TNodo> readNode(const TXmlNode& e) {
    auto n = std::make_unique<TNodo>();
    n->Enable = textAttr(e, "Enable_Node") != "0";
    n->Node_ID_Type = std::uint8_t(intAttr(e, "Node_ID_Type", 0));
    int id;
    if (TryImageInt(textAttr(e, "ID"), id)) {
        n->Node_ID_Primary = n->Node_ID_Type != 0 ? 1 : id;
        n->Node_ID_Secondary = n->Node_ID_Type != 0 ? id : 1;
    } else {
        n->Node_ID_Primary = intAttr(e, "ID_Primary", 1);
        n->Node_ID_Secondary = intAttr(e, "ID_Secondary", 1);
    }
    n->Description = textAttr(e, "Descrizione");
    n->Send_SNK = std::uint8_t(intAttr(e, "Send_SND_NKE", 0));
    n->Reset_App = std::uint8_t(intAttr(e, "Reset_App", 0));
    n->Node_State = std::uint8_t(intAttr(e, "Node_State", 0));
    n->Ident_Num = std::uint8_t(intAttr(e, "Ident_Num", 0));
    n->BCDtoINT_IN = std::uint8_t(intAttr(e, "BCDtoINT_IN", 0));
    n->Swap_Ident = intAttr(e, "Swap_IN", 0);
    n->Var_List_Type = std::uint8_t(intAttr(e, "Var_List_Type", 0));
    n->Cut_After = std::uint8_t(intAttr(e, "Cut_After", 0));
    n->MBus_Type = std::uint8_t(intAttr(e, "MBus_Type", 1));
    n->wMBus_ManID = textAttr(e, "wMBus_ManID");
    n->wMBus_Add = textAttr(e, "wMBus_Add");
    n->wMBus_Ver = textAttr(e, "wMBus_Ver");
    n->wMBus_DevType = textAttr(e, "wMBus_DevType");
    n->wMBus_En_Key = std::uint8_t(intAttr(e, "wMBus_En_Key", 0));
    for (int k = 0; k < 16; ++k)
        n->wMBus_Key[k] = textAttr(e, "wMBus_Key_" + std::to_string(k + 1));
    return n;
}

std::unique_ptr<TVariabile> readVariable(const TXmlNode& e, const std::string& where) {
    auto v = std::make_unique<TVariabile>();
    v->Enable = flagAttr(e, "Enable");
    v->Description = textAttr(e, "Desc");
    v->Type_Of_Data = requiredAttr(e, "Type", where);
    v->Function_Field = requiredAttr(e, "Fun_Field", where);
    v->Dimension = requiredAttr(e, "Dim", where);
    v->Unita = intAttr(e, "Unit", 0);
    std::int64_t storage;
    // The low 32 bits, as the image compiler takes them.
    v->Storage_Number =
        TryImageInt64(textAttr(e, "StoNumber"), storage) ? std::uint32_t(storage) : 0;
    v->Tariff = intAttr(e, "Tariff", 0);
    v->VIFE = intAttr(e, "VIFE", 0);
    v->BCDtoINT = flagAttr(e, "BCDtoINT");
    v->VIF_ASCII = textAttr(e, "VIF_ASCII");
    v->Length = intAttr(e, "Length", 0);
    v->Conv_Float = flagAttr(e, "Conv_Float");
    v->Force_Int32 = flagAttr(e, "Force_Int32");
    v->TP_Mod_Regs = flagAttr(e, "TP_Mod_Regs");
    v->Position = std::uint8_t(intAttr(e, "Position", 1));
    v->Post_Operation = std::uint8_t(intAttr(e, "Post_Operation", 0));
    return v;
}

const char* flag(bool b) {
    return b ? "1" : "0";
}
std::string num(long long v) {
    return std::to_string(v);
}

// The elements a network file may hold: its network element, the nodes and their variables.
constexpr std::size_t Max_Network_Elements =
    1 + MBus_Max_Wired_Nodes + MBus_Max_Wireless_Nodes + MBus_Max_Variables;

// Raises EMBusFileError naming Path when the network element holds more nodes of a kind, or
// more variables, than a network can hold.
void checkNetworkSize(const TXmlNode& network, const std::string& Path) {
    int wired = 0, wireless = 0;
    std::size_t variables = 0;
    for (const TXmlNode& node : elementChildren(network)) {
        // The node's type as the reader takes it into its byte.
        (std::uint8_t(intAttr(node, "MBus_Type", 1)) != 0 ? wired : wireless) += 1;
        const TXmlNodeList children = node.ChildNodes();
        for (int i = 0; i < children.Count(); ++i)
            if (children[i].NodeType() == ntElement) ++variables;
    }
    auto refuse = [&](std::size_t count, const char* what, int most) {
        throw EMBusFileError(Path + ": the network holds " + num(static_cast<long long>(count)) +
                             " " + what + "; a network holds at most " + num(most));
    };
    if (wired > MBus_Max_Wired_Nodes)
        refuse(std::size_t(wired), "wired nodes", MBus_Max_Wired_Nodes);
    if (wireless > MBus_Max_Wireless_Nodes)
        refuse(std::size_t(wireless), "wireless nodes", MBus_Max_Wireless_Nodes);
    if (variables > std::size_t(MBus_Max_Variables))
        refuse(variables, "variables", MBus_Max_Variables);
}

// A fresh document for a scan save: the loaded file's network element when appending, else a
// new one.
TXmlNode scanNetwork(TXMLDocument& doc, const TSaveConfXML& Conf) {
    doc.SetActive(true);
    doc.Clear();
    if (Conf.Append != 1) return doc.AddChild(Network_Element);
    doc.SetMaxElements(Max_Network_Elements);
    doc.LoadFromFile(Conf.File_Name);
    TXmlNode network = doc.DocumentElement();
    if (!network) throw EMBusFileError(Conf.File_Name + ": the file holds no network element");
    return network;
}

// The attributes a scanned record shares between the wired and the wireless writer.
void writeRecord(TXmlNode& e, const TVariable_MBus& v, int Position, int& Register) {
    e.SetAttribute("Position", num(Position));
    e.SetAttribute("Desc", v.Desc_Type_Data + " (U" + num(v.device) + "S" + num(v.storage_number) +
                               "T" + num(v.tarif) + ")");
    e.SetAttribute("Type", num(v.type_data));
    e.SetAttribute("VIF_ASCII", v.type_data == Type_VIF_ASCII ? v.VIF_ASCII : "");
    // The gateway's function-field codes swap minimum and maximum.
    const int function = v.function_fild == 1 ? 2 : v.function_fild == 2 ? 1 : v.function_fild;
    e.SetAttribute("Fun_Field", num(function));
    e.SetAttribute("Length", num(v.dimension == 13 ? v.nbyte : 0));
    e.SetAttribute("ModReg", num(Register));
    e.SetAttribute("Dim", num(Record_Dimension(v.dimension)));
    Register += Record_Registers(v.dimension, v.nbyte);
    e.SetAttribute("Unit", num(v.device));
    e.SetAttribute("StoNumber", num(v.storage_number));
    e.SetAttribute("Tariff", num(v.tarif));
    e.SetAttribute("VIFE", num(v.Type_Data_Vife));
    e.SetAttribute("ModScale", "0");
    e.SetAttribute("BCDtoINT", "0");
    e.SetAttribute("SWAP", "0");
}

// The stored "Cut_After" is the list index of the count of telegrams: the count minus one.
int cutAfterIndex(int Count) {
    return Count < 1 ? 0 : Count > 250 ? 249 : Count - 1;
}

} // namespace

bool Read_MBus_Network_File(const std::string& Path, TNodi_List& Nodi) {
    if (!FileExists(Path)) return false;
    TXMLDocument doc;
    doc.SetMaxElements(Max_Network_Elements);
    try {
        doc.LoadFromFile(Path);
    } catch (const EXMLParseError& e) {
        throw EMBusFileError(Path + ": " + e.Message());
    }
    // The document element, as the image compiler reads it: a declaration or a comment before
    // it does not hide the network.
    const TXmlNode network = doc.DocumentElement();
    if (!network) return true;
    checkNetworkSize(network, Path);
    const std::vector<TXmlNode> nodes = elementChildren(network);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        Nodi.push_back(readNode(nodes[i]));
        TNodo& node = *Nodi.back();
        const std::vector<TXmlNode> vars = elementChildren(nodes[i]);
        for (std::size_t j = 0; j < vars.size(); ++j)
            node.Var_List.push_back(
                readVariable(vars[j], Path + ": node " + num(i + 1) + ", variable " + num(j + 1)));
    }
    return true;
}

void Write_MBus_Network_File(const std::string& Path, const TNodi_List& Nodi) {
    TXMLDocument doc;
    doc.SetActive(true);
    doc.Clear();
    TXmlNode network = doc.AddChild(Network_Element);
    doc.Node().AppendChild(doc.CreateComment(Version_Comment));
    for (const auto& n : Nodi) {
        TXmlNode e = network.AddChild(Node_Element);
        e.SetAttribute("Enable_Node", flag(n->Enable));
        e.SetAttribute("ID_Primary", num(n->Node_ID_Primary));
        e.SetAttribute("ID_Secondary", num(n->Node_ID_Secondary));
        e.SetAttribute("Descrizione", n->Description);
        e.SetAttribute("Send_SND_NKE", num(n->Send_SNK));
        e.SetAttribute("Reset_App", num(n->Reset_App));
        e.SetAttribute("Node_State", num(n->Node_State));
        e.SetAttribute("Ident_Num", num(n->Ident_Num));
        e.SetAttribute("BCDtoINT_IN", num(n->BCDtoINT_IN));
        e.SetAttribute("Swap_IN", num(n->Swap_Ident));
        e.SetAttribute("Node_ID_Type", num(n->Node_ID_Type));
        e.SetAttribute("Var_List_Type", num(n->Var_List_Type));
        e.SetAttribute("Cut_After", num(n->Cut_After));
        e.SetAttribute("MBus_Type", num(n->MBus_Type));
        e.SetAttribute("wMBus_ManID", n->wMBus_ManID);
        e.SetAttribute("wMBus_Add", n->wMBus_Add);
        e.SetAttribute("wMBus_Ver", n->wMBus_Ver);
        e.SetAttribute("wMBus_DevType", n->wMBus_DevType);
        e.SetAttribute("wMBus_En_Key", num(n->wMBus_En_Key));
        for (int k = 0; k < 16; ++k) e.SetAttribute("wMBus_Key_" + num(k + 1), n->wMBus_Key[k]);
        for (const auto& v : n->Var_List) {
            TXmlNode ve = e.AddChild(Var_Element);
            ve.SetAttribute("Enable", flag(v->Enable));
            ve.SetAttribute("Desc", v->Description);
            ve.SetAttribute("Type", num(v->Type_Of_Data));
            ve.SetAttribute("Fun_Field", num(v->Function_Field));
            ve.SetAttribute("Dim", num(v->Dimension));
            ve.SetAttribute("Unit", num(v->Unita));
            ve.SetAttribute("StoNumber", num(v->Storage_Number));
            ve.SetAttribute("Tariff", num(v->Tariff));
            ve.SetAttribute("VIFE", num(v->VIFE));
            ve.SetAttribute("BCDtoINT", flag(v->BCDtoINT));
            ve.SetAttribute("VIF_ASCII", v->VIF_ASCII);
            ve.SetAttribute("Length", num(v->Length));
            ve.SetAttribute("Conv_Float", flag(v->Conv_Float));
            ve.SetAttribute("Force_Int32", flag(v->Force_Int32));
            ve.SetAttribute("TP_Mod_Regs", flag(v->TP_Mod_Regs));
            ve.SetAttribute("Position", num(v->Position));
            ve.SetAttribute("Post_Operation", num(v->Post_Operation));
        }
    }
    checkNetworkSize(network, Path);
    doc.SaveToFile(Path);
}

int Record_Dimension(int Data_Field) {
    switch (Data_Field) {
    case 1:
    case 9:
        return 0;
    case 2:
    case 10:
        return 1;
    case 3:
    case 11:
        return 4;
    case 4:
    case 12:
        return 2;
    case 5:
        return 6;
    case 6:
    case 14:
        return 5;
    case 7:
        return 3;
    case 13:
        return 7;
    default:
        return 255;
    }
}

int Record_Registers(int Data_Field, int Nbyte) {
    switch (Data_Field) {
    case 1:
    case 9:
    case 2:
    case 10:
        return 1;
    case 3:
    case 11:
    case 4:
    case 12:
    case 5:
        return 2;
    case 6:
    case 14:
        return 3;
    case 7:
        return 4;
    // (Nbyte + 1) / 2 rounded to the nearest integer, a half to the even one.
    case 13:
        return int(std::nearbyint((Nbyte + 1) / 2.0));
    default:
        return 0;
    }
}

bool Save_XML_Conf_Wired(const TSaveConfXML& Conf, const TSlave_MBus_List& Slaves,
                         const TIs_Ticked& Is_Ticked) {
    auto lock = Slaves.Lock();
    if (Slaves.Count() == 0) return false;
    auto ticked = [&](void* node) { return node == nullptr || !Is_Ticked || Is_Ticked(node); };
    TXMLDocument doc;
    TXmlNode network = scanNetwork(doc, Conf);
    int reg = Conf.Mod_Start;
    for (int i = 0; i < Slaves.Count(); ++i) {
        const TSlave_MBus& s = *Slaves.Items(i);
        TXmlNode e = network.AddChild(Node_Element);
        e.SetAttribute("Enable_Node", flag(ticked(s.Node)));
        e.SetAttribute("ID_Primary", num(s.Primary_Addresss));
        e.SetAttribute("ID_Secondary", s.Secondary_Addresss);
        e.SetAttribute("Node_ID_Type", num(Conf.Node_ID_Type));
        e.SetAttribute("Descrizione", s.descManufacture);
        e.SetAttribute("Send_SND_NKE", flag(Conf.SND_NKE == 1));
        e.SetAttribute("Reset_App", flag(Conf.Reset_App == 1));
        e.SetAttribute("Cut_After", num(cutAfterIndex(Conf.Cut_After)));
        for (std::size_t j = 0; j < s.List_Var.size(); ++j) {
            const TVariable_MBus& v = *s.List_Var[j];
            TXmlNode ve = e.AddChild(Var_Element);
            ve.SetAttribute("Enable", flag(ticked(v.Node)));
            writeRecord(ve, v, int(j) + 1, reg);
        }
    }
    checkNetworkSize(network, Conf.File_Name);
    doc.SaveToFile(Conf.File_Name);
    return true;
}

bool Save_XML_Conf_Wireless(const TSaveConfXML& Conf, const TSlave_wMBus_List& Slaves) {
    auto lock = Slaves.Lock();
    if (Slaves.Count() == 0) return false;
    TXMLDocument doc;
    TXmlNode network = scanNetwork(doc, Conf);
    int reg = Conf.Mod_Start;
    for (int i = 0; i < Slaves.Count(); ++i) {
        const TSlave_wMBus& s = *Slaves.Items(i);
        TXmlNode e = network.AddChild(Node_Element);
        e.SetAttribute("Enable_Node", flag(s.Enable));
        e.SetAttribute("ID_Primary", "1");
        e.SetAttribute("ID_Secondary", "1");
        e.SetAttribute("Node_ID_Type", "0");
        e.SetAttribute("Descrizione", s.ALA_Manu_str);
        e.SetAttribute("Send_SND_NKE", "0");
        e.SetAttribute("Reset_App", "0");
        e.SetAttribute("Cut_After", num(cutAfterIndex(3)));
        e.SetAttribute("MBus_Type", "0");
        e.SetAttribute("wMBus_ManID", num(s.ALA_Manufacturer));
        // The identification is a 32-bit pattern (BCD digits); it is never negative.
        e.SetAttribute("wMBus_Add", num(std::uint32_t(s.ALA_Address)));
        e.SetAttribute("wMBus_Ver", num(s.ALA_Version));
        e.SetAttribute("wMBus_DevType", num(s.ALA_DeviceType));
        e.SetAttribute("wMBus_En_Key", flag(s.Enable_Key));
        for (int k = 0; k < 16; ++k) e.SetAttribute("wMBus_Key_" + num(k + 1), num(s.Key[k]));
        for (std::size_t j = 0; j < s.List_Var.size(); ++j) {
            const TVariable_MBus& v = *s.List_Var[j];
            if (!v.Real_Wireless_Var) continue;
            TXmlNode ve = e.AddChild(Var_Element);
            ve.SetAttribute("Enable", flag(v.Enable));
            writeRecord(ve, v, int(j) + 1, reg);
        }
    }
    checkNetworkSize(network, Conf.File_Name);
    doc.SaveToFile(Conf.File_Name);
    return true;
}
