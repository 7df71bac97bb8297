#include "shell/UpdaterParameters.h"

#include "platform/files/Files.h"
#include "shell/state/ProductProfiles.h"
#include "shell/state/ProgramState.h"

#include <vector>

namespace {

// Writing internal data after the operation (newer boot loader, third operation of type 10).
struct InternalData {
    std::string write, address, command, data;
};

struct Operation {
    std::string fileName;
    std::string startAddress;
    std::string bankType;
    bool readBack = false;
    std::string writeCss;
    std::string addressCss;
    std::string commandCss;
    bool hasInternalData = false;
    InternalData internalData;
    std::string goToAppAfter;
};

struct Layout {
    std::string title;
    std::string addressProtection;
    std::vector<std::string> protections;
    std::vector<Operation> operations;
};

std::string masterFile(const std::string& name) {
    return PathJoin(Master_Dir, name);
}

std::string bankFile(const std::string& name) {
    return PathJoin(PathJoin(Project_Dir, "bin"), name);
}

void write(TXMLDocument& doc, const std::string& address, const Layout& layout) {
    doc.Clear();
    TXmlNode root = doc.AddChild("Ethernet_Update");
    root.AddChild("Version").SetText("1000");
    root.AddChild("Title").SetText(layout.title);
    root.AddChild("IP_Address_Dev").SetText(address);
    root.AddChild("Application_Port").SetText("10000");
    root.AddChild("Boot_Port").SetText("2008");
    root.AddChild("Boot_Port_Sec").SetText("2007");
    root.AddChild("Address_Protection").SetText(layout.addressProtection);
    TXmlNode protections = root.AddChild("Protections");
    for (const std::string& p : layout.protections) protections.AddChild("Protection").SetText(p);
    TXmlNode operations = root.AddChild("Operations");
    for (const Operation& op : layout.operations) {
        TXmlNode o = operations.AddChild("Operation");
        auto add = [&o](const char* name, const std::string& text) {
            o.AddChild(name).SetText(text);
        };
        add("Ope_Protection_Enabled", "");
        add("Ope_GoToBoot_Before", "0");
        add("Ope_GoToApp_Before", "0");
        add("Ope_IP_Address", "");
        add("Ope_Port", "2008");
        add("Ope_Port_Sec", "2007");
        add("Ope_Erase_Memory", "0");
        add("Ope_FileName", op.fileName);
        add("Ope_Start_Address", op.startAddress);
        add("Ope_Memory_Type", "0");
        add("Ope_Bank_Type", op.bankType);
        add("Ope_Read_Back", op.readBack ? "1" : "0");
        add("Ope_Write_CSS", op.writeCss);
        add("Ope_Address_CSS", op.addressCss);
        add("Ope_Command_CSS", op.commandCss);
        if (op.hasInternalData) {
            add("Ope_Write_Internal_Data", op.internalData.write);
            add("Ope_WID_Address", op.internalData.address);
            add("Ope_WID_Command", op.internalData.command);
            add("Ope_WID_Data", op.internalData.data);
        }
        add("Ope_GoToApp_After", op.goToAppAfter);
    }
}

// The older boot loader's row of a type: title, protection words, image, configuration file.
struct OldBootRow {
    int type;
    const char* title;
    std::vector<std::string> protections;
    const char* image;
    const char* bank;
    const char* bankStart;
};

const OldBootRow& oldBootRow(int type) {
    static const std::vector<OldBootRow> rows = {
        {1, "Morvik - QS40518 Ethernet Update", {"0x104"}, "Sim40518.sim", "bank.bin", "0x5B000"},
        {1001, "LRV-GM1-TP-485 Ethernet Update", {"0x104"}, "Sim40518.sim", "bank.bin", "0x5B000"},
        {3, "Morvik - QS40520 Ethernet Update", {"0x106"}, "Sim40520.sim", "bank.bin", "0x5B000"},
        {1003, "LRV-GM1-TP-TCP Ethernet Update", {"0x106"}, "Sim40520.sim", "bank.bin", "0x5B000"},
        {6, "Morvik - QS40512 Ethernet Update", {"0x174"}, "Sim40512.sim", "bank.bin", "0x55000"},
        {9, "Morvik - QS40516 Ethernet Update", {"0x19E"}, "Sim40516.sim", "bank.bin", "0x5B000"},
        // Type 10 carries the title of type 9.
        {10,
         "Morvik - QS40516 Ethernet Update",
         {"0x119", "0x1BB"},
         "Sim40517.sim",
         "bank2.bin",
         "0x50800"},
        {1010,
         "LRV-GB1-TP Ethernet Update",
         {"0x119", "0x1BB"},
         "Sim40517.sim",
         "bank2.bin",
         "0x50800"},
        {15, "Morvik - QS40523 Ethernet Update", {"0x123"}, "Sim40523.sim", "bank.bin", "0x63000"},
        {0, "Morvik - Ethernet Update", {"0x123"}, "Sim40523.sim", "bank.bin", "0x63000"},
    };
    for (const OldBootRow& row : rows)
        if (row.type == type) return row;
    return rows.back();
}

// A path as one quoted word of a command line; a quote inside it is written \".
std::string quoted(const std::string& path) {
    std::string out = "\"";
    for (char c : path) out += c == '"' ? std::string("\\\"") : std::string(1, c);
    return out + "\"";
}

bool isMBus(int type) {
    return type == 10 || type == 1010;
}

// The TCP updater and firmware image of a command-line type.
struct CommandLineRow {
    int type;
    const char* updater;
    const char* image;
};

const CommandLineRow* commandLineRow(int type) {
    static const CommandLineRow rows[] = {
        {2, "TCP_40519_Update.exe", "sim40519.sim"},
        {4, "TCP_40521_Update.exe", "sim40521.sim"},
        {5, "TCP_40511_Update.exe", "sim40511.sim"},
        {7, "TCP_40514_Update.exe", "sim40514.sim"},
        {8, "TCP_40515_Update.exe", "sim40515.sim"},
        {11, "TCP_40524_Update.exe", "sim40524.sim"},
        {1011, "TCP_40524_Lorvan_Update.exe", "sim40524.sim"},
        {12, "TCP_40522_Update.exe", "sim40522.sim"},
        {1012, "TCP_40522_Lorvan_Update.exe", "sim40522.sim"},
        {13, "TCP_40513_Update.exe", "sim40513.sim"},
        {14, "TCP_40525_Update.exe", "sim40525.sim"},
        {1014, "TCP_40525_Lorvan_Update.exe", "sim40525.sim"},
        {1003, "TCP_40520_Lorvan_Update.exe", "sim40520.sim"},
    };
    for (const CommandLineRow& row : rows)
        if (row.type == type) return &row;
    return nullptr;
}

} // namespace

void Compile_XML_Parameter_New_Boot(TXMLDocument& Doc, int Type, const TUpdate_Request& Request) {
    Layout layout;
    layout.title = Type == 25 ? "Morvik - QS40526 Ethernet Update" : "Morvik - Ethernet Update";
    layout.addressProtection = "0x07800";
    layout.protections = {"0x2C7"};
    const InternalData data{"0", "0x07810", "0x02", "0x00, 0x00, 0x00, 0x01"};
    if (Request.Firmware)
        layout.operations.push_back({masterFile("Sim40526.sim"), "0x8000", "1", Request.Read_Firm,
                                     "1", "0x07A00", "0x02", true, data, Request.Conf ? "0" : "1"});
    if (Request.Conf) {
        layout.operations.push_back({bankFile("bank1.bin"), "0x07000", "2", Request.Read_Conf, "0",
                                     "0x07A00", "0x02", true, data, "0"});
        layout.operations.push_back({bankFile("bank2.bin"), "0x80000", "2", Request.Read_Conf, "0",
                                     "0x07A00", "0x02", true, data, "1"});
    }
    write(Doc, Request.IP_Address, layout);
}

void Compile_XML_Parameter(TXMLDocument& Doc, int Type, const TUpdate_Request& Request) {
    const OldBootRow& row = oldBootRow(Type);
    Layout layout;
    layout.title = row.title;
    layout.addressProtection = "0x78000";
    layout.protections = row.protections;
    if (Request.Firmware)
        layout.operations.push_back({masterFile(row.image),
                                     "0x8000",
                                     "1",
                                     Request.Read_Firm,
                                     "1",
                                     "0x78100",
                                     "0x0B",
                                     false,
                                     {},
                                     Request.Conf ? "0" : "1"});
    if (Request.Conf) {
        layout.operations.push_back({bankFile(row.bank),
                                     row.bankStart,
                                     "2",
                                     Request.Read_Conf,
                                     "0",
                                     "0x50100",
                                     "0x0B",
                                     false,
                                     {},
                                     isMBus(Type) ? "0" : "1"});
        if (isMBus(Type))
            layout.operations.push_back({bankFile("bank1.bin"),
                                         "0x68000",
                                         "2",
                                         Request.Read_Conf,
                                         "0",
                                         "0x50100",
                                         "0x0B",
                                         true,
                                         {"1", "0x78200", "0x0B", "0x01, 0x00, 0x00, 0x00"},
                                         "1"});
    }
    write(Doc, Request.IP_Address, layout);
}

std::string Update_Parameter_File() {
    return PathJoin(Program_Dir, "Ethernet_Update.xml");
}

std::string Updater_Program(int Type) {
    std::string name;
    switch (Get_Product_Profile(Type).Update_Method) {
    case umNewBootFile:
    case umOldBootFile:
        name = Type == 1001 || Type == 1010 ? "Ethernet_Update_Lorvan.exe" : "Ethernet_Update.exe";
        break;
    case umCommandLine:
        if (const CommandLineRow* row = commandLineRow(Type)) name = row->updater;
        break;
    case umNone:
        break;
    }
    return name.empty() ? "" : PathJoin(Program_Dir, name);
}

std::string Updater_Command_Line(int Type, const TUpdate_Request& Request) {
    const CommandLineRow* row = commandLineRow(Type);
    if (!row) return "";
    return Request.IP_Address + " 2007 " + (Request.Firmware ? "FW " : "NO ") +
           (Request.Read_Firm ? "FR " : "NO ") + (Request.Conf ? "PW " : "NO ") +
           (Request.Read_Conf ? "PR " : "NO ") + quoted(masterFile(row->image)) + " " +
           quoted(bankFile("bank.bin"));
}
