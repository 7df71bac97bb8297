#include "image/GsdmlFile.h"

#include "image/ProjectFile.h"

#include "platform/files/Files.h"
#include "shell/state/ProgramState.h"

#include <tuple>
#include <utility>

namespace {

// The PROFINET identifiers of the maker and of the gateway.
const char* const Vendor_ID = "0x4D56";
const char* const Device_ID = "0x0522";

const char* const Profile_Namespace = "http://www.profibus.com/GSDML/2003/11/DeviceProfile";
const char* const Schema_Instance_Namespace = "http://www.w3.org/2001/XMLSchema-instance";

using Attributes = std::vector<std::pair<std::string, std::string>>;

// One tag, end tag, comment or declaration per line, indented by one tab per level.
class TGsdml_Text {
public:
    void Open(const std::string& tag, const Attributes& attributes = {}) {
        line("<" + tag + list(attributes) + ">");
        ++depth_;
    }
    void Close(const std::string& tag) {
        --depth_;
        line("</" + tag + ">");
    }
    void Empty(const std::string& tag, const Attributes& attributes) {
        line("<" + tag + list(attributes) + "/>");
    }
    void Leaf(const std::string& tag, const std::string& text) {
        line("<" + tag + ">" + text + "</" + tag + ">");
    }
    void Comment(const std::string& text) { line("<!--" + text + "-->"); }
    void Raw(const std::string& text) { lines_.push_back(text); }
    std::vector<std::string> Take() { return std::move(lines_); }

private:
    static std::string list(const Attributes& attributes) {
        std::string text;
        for (const auto& [name, value] : attributes) text += " " + name + "=\"" + value + "\"";
        return text;
    }
    void line(const std::string& text) { lines_.push_back(std::string(depth_, '\t') + text); }

    std::vector<std::string> lines_;
    std::size_t depth_ = 0;
};

struct External_Text {
    const char* id;
    const char* value;
};

const External_Text External_Texts[] = {
    {"IDT_NAME_DAP1", "KNXSlave"},
    {"IDT_INFO_DAP1", "KNX Adapter"},
    {"IDT_SUBSLOT_1", "Subslot 1"},
    {"IDT_SUBSLOT_Interface", "Interface"},
    {"IDT_SUBSLOT_Port1", "Port 1"},
    {"IDT_SUBSLOT_Port2", "Port 2"},
    {"IDT_RECORD_NAME_Head", "Parameters of head module"},
    {"IDT_REF_Power", "Percent power"},
    {"IDT_NAME_VS1", "Submodule V1"},
    {"IDT_INFO_VS1", "Description of submodule V1"},
    {"IDT_NAME_IS", "I"},
    {"IDT_NAME_PS1", "P1"},
    {"IDT_NAME_PS2", "P2"},
    {"IDT_NAME_M1", "Module"},
    {"IDT_INFO_M1", "device KNXSlave"},
    {"IDT_NAME_FAP", "FAP for KNXSlave"},
    {"IDT_INFO_FAP", "Description of FAP for KNXSlave"},
    {"IDT_RECORD_NAME_SlotCluster", "Parameters of the FAP"},
    {"IDT_REF_SlotClusterBegin", "Beginning of slot cluster"},
    {"IDT_NAME_M_PB1", "KNXSlave followed by one blank"},
    {"IDT_INFO_M_PB1", "Description of KNXSlave"},
    {"IDT_NAME_S_PB1", "Module of a KNXSlave"},
    {"IDT_INFO_S_PB1", "Description of module of a KNXSlave"},
    {"IDT_PB_Input", "Digital input KNXSlave"},
    {"IDT_PB_InputBit0", "Digital input bit KNXSlave"},
    {"IDT_NAME_S1", "Submodule 1"},
    {"IDT_INFO_S1", "Description of submodule 1"},
    {"IDT_Input_1", "Input byte"},
    {"IDT_Output_1", "Output word"},
    {"IDT_CATEGORY_DI", "Digital Input"},
    {"IDT_INFO_DI", "Description of digital input"},
    {"IDT_CATEGORY_DO", "Digital output"},
    {"IDT_INFO_DO", "Description of digital output"},
    {"IDT_NAME_M1_IDT_REF_channel", "Canale x"},
    {"IDT_REF_reaction_to_cpu_stop", "Reaction to CPU STOP"},
    {"IDT_NAME_M1_Base_Parameters", "Base Parameters"},
};

// These three are written with Value before TextId.
const External_Text Assign_Texts[] = {
    {"IDT_ASSIGN_do_set_substitude_values", "Output substitute value"},
    {"IDT_ASSIGN_do_values_will_hold", "Keep last value"},
    {"IDT_ASSIGN_do_continue_counting", "Continue operation"},
};

void accessPoint(TGsdml_Text& t, const std::string& vendor) {
    t.Open("DeviceAccessPointList");
    t.Open("DeviceAccessPointItem", {{"PNIO_Version", "V2.3"},
                                     {"RequiredSchemaVersion", "V2.25"},
                                     {"ID", "IDD_1"},
                                     {"PhysicalSlots", "0..4"},
                                     {"ModuleIdentNumber", "0x00000001"},
                                     {"MinDeviceInterval", "64"},
                                     {"ImplementationType", "SERIAL"},
                                     {"DNS_CompatibleName", "SERIAL"},
                                     {"FixedInSlots", "0"},
                                     {"ObjectUUID_LocalIndex", "1"},
                                     {"MultipleWriteSupported", "true"},
                                     {"MaxSupportedRecordSize", "8192"},
                                     {"ParameterizationSpeedupSupported", "true"},
                                     {"PowerOnToCommReady", "350"},
                                     {"DeviceAccessSupported", "true"},
                                     {"SharedDeviceSupported", "true"},
                                     {"CheckDeviceID_Allowed", "false"},
                                     {"NameOfStationNotTransferable", "true"}});
    t.Open("ModuleInfo");
    t.Empty("Name", {{"TextId", "IDT_NAME_DAP1"}});
    t.Empty("InfoText", {{"TextId", "IDT_INFO_DAP1"}});
    t.Empty("VendorName", {{"Value", vendor}});
    t.Empty("OrderNumber", {{"Value", "QV40522-A1"}});
    t.Close("ModuleInfo");
    t.Open("SubslotList");
    for (const auto& [number, id] :
         {std::pair{"0", "IDT_SUBSLOT_1"}, std::pair{"32768", "IDT_SUBSLOT_Interface"},
          std::pair{"32769", "IDT_SUBSLOT_Port1"}, std::pair{"32770", "IDT_SUBSLOT_Port2"}})
        t.Empty("SubslotItem", {{"SubslotNumber", number}, {"TextId", id}});
    t.Close("SubslotList");
    t.Empty("IOConfigData",
            {{"MaxInputLength", "1440"}, {"MaxOutputLength", "1440"}, {"MaxDataLength", "2880"}});
    t.Open("UseableModules");
    t.Empty("ModuleItemRef", {{"ModuleItemTarget", "IDM_1"}, {"FixedInSlots", "1"}});
    t.Close("UseableModules");
    t.Open("VirtualSubmoduleList");
    t.Open("VirtualSubmoduleItem", {{"ID", "IDS_V1"}, {"SubmoduleIdentNumber", "0x00000000"}});
    t.Empty("IOData", {{"IOPS_Length", "1"}, {"IOCS_Length", "1"}});
    t.Open("ModuleInfo");
    t.Empty("Name", {{"TextId", "IDT_NAME_VS1"}});
    t.Empty("InfoText", {{"TextId", "IDT_INFO_VS1"}});
    t.Close("ModuleInfo");
    t.Close("VirtualSubmoduleItem");
    t.Close("VirtualSubmoduleList");
    t.Open("SystemDefinedSubmoduleList");
    t.Open("InterfaceSubmoduleItem", {{"ID", "IDS_I"},
                                      {"SubmoduleIdentNumber", "0x00000001"},
                                      {"SubslotNumber", "32768"},
                                      {"TextId", "IDT_NAME_IS"},
                                      {"SupportedRT_Classes", "RT_CLASS_1"},
                                      {"SupportedProtocols", "SNMP;LLDP"},
                                      {"SupportedMibs", "MIB2"}});
    t.Open("ApplicationRelations");
    t.Empty("TimingProperties",
            {{"SendClock", "32"}, {"ReductionRatio", "1 2 4 8 16 32 64 128 256 512"}});
    t.Close("ApplicationRelations");
    t.Close("InterfaceSubmoduleItem");
    for (const auto& [id, subslot, text] : {std::tuple{"IDS_P1", "32769", "IDT_NAME_PS1"},
                                            std::tuple{"IDS_P2", "32770", "IDT_NAME_PS2"}})
        t.Empty("PortSubmoduleItem", {{"ID", id},
                                      {"SubmoduleIdentNumber", "0x00000002"},
                                      {"SubslotNumber", subslot},
                                      {"TextId", text},
                                      {"MaxPortRxDelay", "350"},
                                      {"MaxPortTxDelay", "160"}});
    t.Close("SystemDefinedSubmoduleList");
    t.Comment(" This element tells the engineering tool that the DAP supports fieldbus "
              "integration (slot clusters). ");
    t.Comment(" FieldbusIntegrationSlots MaxSupported=\"127\" Range=\"100..9999\"/");
    t.Close("DeviceAccessPointItem");
    t.Close("DeviceAccessPointList");
}

void moduleList(TGsdml_Text& t, const TPROFINET_Sizes& sizes) {
    t.Open("ModuleList");
    t.Comment(" The \"normal\" module carrying the FAP. ");
    t.Open("ModuleItem", {{"ID", "IDM_1"}, {"ModuleIdentNumber", "0x00000001"}});
    t.Open("ModuleInfo");
    t.Empty("Name", {{"TextId", "IDT_NAME_M1"}});
    t.Empty("InfoText", {{"TextId", "IDT_INFO_M1"}});
    t.Empty("OrderNumber", {{"Value", "12345-0040-M"}});
    t.Close("ModuleInfo");
    t.Open("VirtualSubmoduleList");
    t.Open("VirtualSubmoduleItem", {{"ID", "IDM_1"}, {"SubmoduleIdentNumber", "0x00000001"}});
    t.Open("IOData", {{"IOPS_Length", "1"}, {"IOCS_Length", "1"}});
    // Input carries the OUT size and Output the IN size, as controllers already read it.
    t.Open("Input");
    t.Empty("DataItem", {{"DataType", "OctetString"},
                         {"Length", std::to_string(sizes.NB_OUT)},
                         {"TextId", "IDT_Input_1"}});
    t.Close("Input");
    t.Open("Output");
    t.Empty("DataItem", {{"DataType", "OctetString"},
                         {"Length", std::to_string(sizes.NB_IN)},
                         {"TextId", "IDT_Output_1"}});
    t.Close("Output");
    t.Close("IOData");
    t.Open("RecordDataList");
    t.Open("ParameterRecordDataItem", {{"Index", "128"}, {"Length", "2"}});
    t.Empty("Name", {{"TextId", "IDT_NAME_M1_IDT_REF_channel"}});
    t.Empty("Const", {{"ByteOffset", "0"}, {"Data", "0x00,0x00"}});
    t.Empty("Ref", {{"TextId", "IDT_REF_reaction_to_cpu_stop"},
                    {"Visible", "true"},
                    {"DataType", "BitArea"},
                    {"ByteOffset", "0"},
                    {"BitOffset", "0"},
                    {"BitLength", "2"},
                    {"DefaultValue", "2"},
                    {"AllowedValues", "0..2"},
                    {"ValueItemTarget", "IDV_reaction_to_cpu_stop"},
                    {"ID", "IDT_REF_reaction_to_cpu_stop"}});
    t.Open("MenuList");
    t.Open("MenuItem", {{"ID", "IDT_NAME_M1_IDT_REF_channel"}});
    t.Empty("Name", {{"TextId", "IDT_NAME_M1_IDT_REF_channel"}});
    t.Empty("MenuRef", {{"MenuTarget", "IDT_NAME_M1_Base_Parameters"}});
    t.Close("MenuItem");
    t.Open("MenuItem", {{"ID", "IDT_NAME_M1_Base_Parameters"}});
    t.Empty("Name", {{"TextId", "IDT_NAME_M1_Base_Parameters"}});
    t.Empty("ParameterRef", {{"ParameterTarget", "IDT_REF_reaction_to_cpu_stop"}});
    t.Close("MenuItem");
    t.Close("MenuList");
    t.Close("ParameterRecordDataItem");
    t.Close("RecordDataList");
    t.Open("ModuleInfo");
    t.Empty("Name", {{"TextId", "IDT_NAME_M1"}});
    t.Empty("InfoText", {{"TextId", "IDT_INFO_M1"}});
    t.Close("ModuleInfo");
    t.Close("VirtualSubmoduleItem");
    t.Close("VirtualSubmoduleList");
    t.Close("ModuleItem");
    t.Close("ModuleList");
}

void textLists(TGsdml_Text& t, const std::string& vendor) {
    t.Open("ValueList");
    t.Open("ValueItem", {{"ID", "IDV_reaction_to_cpu_stop"}});
    t.Open("Assignments");
    int content = 0;
    for (const External_Text& a : Assign_Texts)
        t.Empty("Assign", {{"TextId", a.id}, {"Content", std::to_string(content++)}});
    t.Close("Assignments");
    t.Close("ValueItem");
    t.Close("ValueList");
    t.Open("CategoryList");
    for (const char* kind : {"DI", "DO"}) {
        t.Open("CategoryItem", {{"ID", std::string("IDC_") + kind},
                                {"TextId", std::string("IDT_CATEGORY_") + kind}});
        t.Empty("InfoText", {{"TextId", std::string("IDT_INFO_") + kind}});
        t.Close("CategoryItem");
    }
    t.Close("CategoryList");
    t.Open("ExternalTextList");
    t.Open("PrimaryLanguage");
    t.Empty("Text", {{"TextId", "IDT_INFO_Device"}, {"Value", vendor + " Gateways"}});
    for (const External_Text& e : External_Texts)
        t.Empty("Text", {{"TextId", e.id}, {"Value", e.value}});
    for (const External_Text& e : Assign_Texts)
        t.Empty("Text", {{"Value", e.value}, {"TextId", e.id}});
    t.Close("PrimaryLanguage");
    t.Close("ExternalTextList");
}

} // namespace

TPROFINET_Sizes Read_PROFINET_Sizes(const std::string& project_dir) {
    TPROFINET_Sizes sizes;
    TXMLDocument doc;
    TXmlNode root;
    if (!Load_Project_File(doc, Project_File_Path(project_dir, "ParGen.xml"), root)) return sizes;
    sizes.NB_IN = Key_Int(root, "PROFINET_NB_IN", 1438);
    sizes.NB_OUT = Key_Int(root, "PROFINET_NB_OUT", 1438);
    return sizes;
}

std::vector<std::string> Build_GSDML(int product_type, const std::string& project_dir) {
    const TPROFINET_Sizes sizes = Read_PROFINET_Sizes(project_dir);
    const std::string vendor = product_type == 1012 ? "Lorvan" : "Morvik";
    TGsdml_Text t;
    // The declaration names the encoding the file is written in.
    t.Raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    t.Comment(" A fieldbus integration example. ");
    t.Open("ISO15745Profile",
           {{"xmlns", Profile_Namespace},
            {"xmlns:xsi", Schema_Instance_Namespace},
            {"xsi:schemaLocation",
             std::string(Profile_Namespace) + " ..\\xsd\\GSDML-DeviceProfile-v2.31.xsd"}});
    t.Open("ProfileHeader");
    t.Leaf("ProfileIdentification", "PROFINET Device Profile");
    t.Leaf("ProfileRevision", "1.00");
    t.Leaf("ProfileName", "Device Profile for PROFINET Devices");
    t.Leaf("ProfileSource", "PROFIBUS Nutzerorganisation e. V. (PNO)");
    t.Leaf("ProfileClassID", "Device");
    t.Open("ISO15745Reference");
    t.Leaf("ISO15745Part", "4");
    t.Leaf("ISO15745Edition", "1");
    t.Leaf("ProfileTechnology", "GSDML");
    t.Close("ISO15745Reference");
    t.Close("ProfileHeader");
    t.Open("ProfileBody");
    t.Open("DeviceIdentity", {{"VendorID", Vendor_ID}, {"DeviceID", Device_ID}});
    t.Empty("InfoText", {{"TextId", "IDT_INFO_Device"}});
    t.Empty("VendorName", {{"Value", vendor}});
    t.Close("DeviceIdentity");
    t.Open("DeviceFunction");
    t.Empty("Family", {{"MainFamily", "Gateway"}, {"ProductFamily", "QV40522"}});
    t.Close("DeviceFunction");
    t.Open("ApplicationProcess");
    accessPoint(t, vendor);
    moduleList(t, sizes);
    textLists(t, vendor);
    t.Close("ApplicationProcess");
    t.Close("ProfileBody");
    t.Close("ISO15745Profile");
    return t.Take();
}

void Write_GSDML(const std::string& Path, int product_type, const std::string& project_dir) {
    std::string text = "\xEF\xBB\xBF";
    for (const std::string& line : Build_GSDML(product_type, project_dir)) text += line + "\r\n";
    WriteBinaryFile(Path, text);
}

std::string GSDML_Fixed_Part(int product_type) {
    if (product_type == 12) return "GSDML-V2.31-Morvik-QV40522";
    if (product_type == 1012) return "GSDML-V2.31-Lorvan-QV40522";
    return "";
}

std::string GSDML_Date_Part(TDateTime date) {
    return "-" + FormatDateTime("yyyymmdd", date) + ".xml";
}

std::string Compose_GSDML_File_Name(const std::string& fixed, const std::string& user,
                                    const std::string& date) {
    if (Trim(user).empty()) return fixed + date;
    if (user.starts_with("_")) return fixed + user + date;
    return fixed + "_" + user + date;
}
