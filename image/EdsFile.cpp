#include "image/EdsFile.h"

#include "image/ProjectFile.h"

#include "platform/files/Files.h"
#include "shell/state/ProgramState.h"

std::array<EDS_PDO, EDS_PDO_Slots> EDS_Receive_PDO;
std::array<EDS_PDO, EDS_PDO_Slots> EDS_Transmit_PDO;
int EDS_Receive_Count = 0;
int EDS_Transmit_Count = 0;
std::vector<SDO_Index> SDO_Index_List;

namespace {

// The largest data length of a PDO; a longer one would map bytes the frame cannot carry.
constexpr std::uint32_t PDO_Max_Dimension = 8;

const char* const Receive_Prefix[EDS_PDO_Slots] = {
    "b",  "c",  "d",  "e",  "f",  "g",  "h",  "j",  "k",  "i",  "aa", "ab", "ac", "ad", "ae",
    "af", "ag", "ah", "ai", "al", "am", "an", "ao", "ap", "aq", "ar", "as", "at", "au", "av"};
const char* const Transmit_Prefix[EDS_PDO_Slots] = {
    "l",  "m",  "n",  "o",  "p",  "q",  "r",  "s",  "t",  "u",  "ca", "cb", "cc", "cd", "ce",
    "cf", "cg", "ch", "ci", "cl", "cm", "cn", "co", "cp", "cq", "cr", "cs", "ct", "cu", "cv"};

const char* const File_Name = "CANopen_KNX.eds";
const char* const Product_Name = "Converter CANopen / KNX";
const char* const Order_Code = "QV40512";

// value in upper-case hexadecimal, at least digits long with leading zeros.
std::string hexN(std::uint32_t value, int digits) {
    std::string text;
    do {
        text.insert(text.begin(), "0123456789ABCDEF"[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    if (int(text.size()) < digits) text.insert(0, std::size_t(digits) - text.size(), '0');
    return text;
}

std::string hex(std::uint32_t value) {
    return hexN(value, 1);
}

std::string dec(long long value) {
    return std::to_string(value);
}

std::string twoDigits(int value) {
    return value < 10 ? "0" + std::to_string(value) : std::to_string(value);
}

void readPdoSection(const TXmlNode& root, const char* name, const char* list,
                    const std::string& path, std::array<EDS_PDO, EDS_PDO_Slots>& slots,
                    int& count) {
    const std::vector<TXmlNode> rows = Element_Children(Find_Section(root, name, path));
    if (rows.size() > std::size_t(EDS_PDO_Slots)) Refuse_Rows(path, list, EDS_PDO_Slots);
    for (std::size_t n = 0; n < rows.size(); ++n) {
        const TProject_Row row(rows[n], path, int(n));
        const int dimension = row.Int_Guarded("Dimension", 8);
        if (dimension < 0 || std::uint32_t(dimension) > PDO_Max_Dimension)
            row.Refuse(
                Format("the dimension %d is outside 0..%d", dimension, int(PDO_Max_Dimension)));
        slots[n].COB_ID = std::uint32_t(row.Int_Guarded("COB-ID", 0));
        slots[n].Dimension = std::uint32_t(dimension);
    }
    count = int(rows.size());
}

void addSdoEntries(const TXmlNode& root, const char* name, const std::string& path, bool readonly) {
    const std::vector<TXmlNode> rows = Element_Children(Find_Section(root, name, path));
    for (std::size_t n = 0; n < rows.size(); ++n) {
        const TProject_Row row(rows[n], path, int(n));
        const std::uint16_t index = std::uint16_t(row.Strict_Int("Index"));
        SDO_Sub_Type sub;
        sub.Sub = std::uint8_t(row.Strict_Int("SubIndex"));
        sub.Quantity = std::uint8_t(row.Strict_Int("NByte"));
        sub.Readonly = readonly;
        const int at = Find_SDO_Index(index);
        if (at < 0)
            SDO_Index_List.push_back({index, {sub}});
        else
            SDO_Index_List[std::size_t(at)].Sub_Indexs.push_back(sub);
    }
}

// Builds the lines section by section; every section but the ones named ends with an empty
// line.
class TEds_Text {
public:
    void Line(const std::string& text) { lines_.push_back(text); }
    void Empty() { lines_.emplace_back(); }
    void Header(std::uint32_t index) { Line("[" + hexN(index, 4) + "]"); }
    void Header(std::uint32_t index, std::uint32_t sub) {
        Line("[" + hexN(index, 4) + "sub" + hex(sub) + "]");
    }
    // The lines of a plain variable, in the file's key order; an empty text leaves its line
    // out.
    void Variable(const std::string& name, const std::string& objectType,
                  const std::string& dataType, const std::string& access,
                  const std::string& defaultValue, const std::string& mapping) {
        Line("ParameterName=" + name);
        Line("ObjectType=" + objectType);
        if (!dataType.empty()) Line("DataType=" + dataType);
        if (!access.empty()) Line("AccessType=" + access);
        if (!defaultValue.empty()) Line("DefaultValue=" + defaultValue);
        if (!mapping.empty()) Line("PDOMapping=" + mapping);
    }
    void Record(int subNumber, const std::string& name, const std::string& objectType) {
        Line("SubNumber=" + dec(subNumber));
        Line("ParameterName=" + name);
        Line("ObjectType=" + objectType);
    }
    std::vector<std::string> Take() { return std::move(lines_); }

private:
    std::vector<std::string> lines_;
};

struct Fixed_Object {
    std::uint32_t index;
    int sub;       // -1: the object itself
    int subNumber; // 0: no SubNumber line
    const char* name;
    const char* objectType;
    const char* dataType;
    const char* access;
    const char* defaultValue;
};

const Fixed_Object Fixed_Objects[] = {
    {0x1000, -1, 0, "Device Type", "0x07", "0x0007", "const", "0x000101A4"},
    {0x1001, -1, 0, "Error Register", "0x07", "0x0005", "ro", "0x00"},
    {0x1005, -1, 0, "COB-ID SYNC", "0x07", "0x0007", "rw", "0x80000080"},
    {0x1006, -1, 0, "Communication Cycle Period", "0x07", "0x0007", "rw", "0x00000000"},
    {0x1008, -1, 0, "Manufacturer Device Name", "0x07", "0x0009", "const", "s1"},
    {0x1014, -1, 0, "COB-ID EMCY", "0x07", "0x0007", "ro", "$NODEID+0x80"},
    {0x1016, -1, 3, "Heartbeat Consumer Entries", "0x08", "", "", ""},
    {0x1016, 0, 0, "Number of Entries", "0x07", "0x0005", "ro", "0x02"},
    {0x1016, 1, 0, "Consumer Heartbeat Time 1", "0x07", "0x0007", "rw", "0x00000000"},
    {0x1016, 2, 0, "Consumer Heartbeat Time 2", "0x07", "0x0007", "rw", "0x00000000"},
    {0x1017, -1, 0, "Producer Heartbeat Time", "0x07", "0x0006", "rw", "0x000003E8"},
    {0x1018, -1, 5, "Identity Object", "0x09", "", "", ""},
    {0x1018, 0, 0, "number of entries", "0x07", "0x0005", "ro", "0x4"},
    {0x1018, 1, 0, "Vendor Id", "0x07", "0x0007", "ro", ""},
    {0x1018, 2, 0, "Product Code", "0x07", "0x0007", "ro", ""},
    {0x1018, 3, 0, "Revision number", "0x07", "0x0007", "ro", ""},
    {0x1018, 4, 0, "Serial number", "0x07", "0x0007", "ro", ""},
    {0x1029, -1, 2, "Error Behaviour", "0x08", "", "", ""},
    {0x1029, 0, 0, "Number of Entries", "0x07", "0x0005", "ro", "1"},
    {0x1029, 1, 0, "Communication Error", "0x07", "0x0005", "rw", "0x0"},
    {0x1280, -1, 4, "Client SDO Parameter 1", "0x09", "", "", ""},
    {0x1280, 0, 0, "Number of Entries", "0x07", "0x0005", "ro", "0x03"},
    {0x1280, 1, 0, "COB-ID Client -> Server", "0x07", "0x0007", "rw", ""},
    {0x1280, 2, 0, "COB-ID Server -> Client", "0x07", "0x0007", "rw", ""},
    {0x1280, 3, 0, "Node ID of the SDO Server", "0x07", "0x0005", "rw", ""},
};

void fixedObjects(TEds_Text& t) {
    const std::size_t count = std::size(Fixed_Objects);
    for (std::size_t n = 0; n < count; ++n) {
        const Fixed_Object& o = Fixed_Objects[n];
        if (o.sub < 0)
            t.Header(o.index);
        else
            t.Header(o.index, std::uint32_t(o.sub));
        if (o.subNumber > 0)
            t.Record(o.subNumber, o.name, o.objectType);
        else
            t.Variable(o.name, o.objectType, o.dataType, o.access, o.defaultValue, "0");
        // The last one runs straight into the next section.
        if (n + 1 < count) t.Empty();
    }
}

void communicationObject(TEds_Text& t, bool transmit, int i, const EDS_PDO& pdo) {
    const std::uint32_t index = (transmit ? 0x1800u : 0x1400u) + std::uint32_t(i);
    t.Header(index);
    t.Record(4,
             std::string(transmit ? "Transmit" : "Receive") + " PDO Communication Parameter " +
                 dec(i + 1),
             "0x09");
    t.Empty();
    t.Header(index, 0);
    t.Variable("Number of Entries", "0x07", "0x0005", "ro", "0x03", "0");
    t.Empty();
    t.Header(index, 1);
    t.Variable("COB-ID", "0x07", "0x0007", "rw", "0x" + hexN(pdo.COB_ID, 8), "0");
    t.Empty();
    t.Header(index, 2);
    t.Variable("Transmission Type", "0x07", "0x0005", "rw", "0xFE", "0");
    t.Empty();
    t.Header(index, 3);
    t.Variable("Inhibit Time", "0x07", "0x0006", "rw", "0x0", "0");
    t.Empty();
}

std::uint32_t variableArray(bool transmit, int i) {
    return (transmit ? 0x7050u : 0x7000u) + std::uint32_t(i);
}

void mappingObject(TEds_Text& t, bool transmit, int i, const EDS_PDO& pdo) {
    const std::uint32_t index = (transmit ? 0x1A00u : 0x1600u) + std::uint32_t(i);
    const std::uint32_t d = pdo.Dimension;
    t.Header(index);
    t.Record(int(d) + 1,
             transmit ? "Transmit PDO Mapping Parameter " + dec(i + 1)
                      : std::string("Receive PDO Mapping Parameter"),
             "0x09");
    t.Empty();
    t.Header(index, 0);
    t.Variable("Number of Entries", "0x07", "0x0005", "ro", "0x" + hexN(d, 2), "0");
    t.Empty();
    for (std::uint32_t k = 1; k <= d; ++k) {
        t.Header(index, k);
        t.Variable("Mapping Entry " + dec(k), "0x07", "0x0007", "ro",
                   "0x" + hexN(variableArray(transmit, i), 4) + hexN(k, 2) + "08", "0");
        t.Empty();
    }
}

void pdoVariables(TEds_Text& t, bool transmit, int i, const EDS_PDO& pdo) {
    const std::uint32_t index = variableArray(transmit, i);
    const std::uint32_t d = pdo.Dimension;
    t.Header(index);
    t.Record(int(d) + 1, (transmit ? "TPDO" : "RPDO") + dec(i + 1), "0x08");
    t.Empty();
    t.Header(index, 0);
    t.Variable("Number of Entries", "0x07", "0x0005", transmit ? "rw" : "ro", "0x" + hexN(d, 2),
               "0");
    t.Empty();
    const char* prefix = transmit ? Transmit_Prefix[i] : Receive_Prefix[i];
    for (std::uint32_t k = 1; k <= d; ++k) {
        t.Header(index, k);
        t.Variable(prefix + dec(k), "0x07", "0x0005", transmit ? "rwr" : "rww", "0x00", "1");
        t.Empty();
    }
}

void applicationVariables(TEds_Text& t, const SDO_Index& object) {
    const std::vector<SDO_Sub_Type>& subs = object.Sub_Indexs;
    const bool hasSub0 = subs.front().Sub == 0;
    t.Header(object.Index);
    t.Record(int(subs.size()) + (hasSub0 ? 0 : 1), "App Vars", "0x9");
    t.Empty();
    if (!hasSub0) {
        t.Header(object.Index, 0);
        t.Variable("Largest Sub-Index supported", "0x7", "0x0005", "ro",
                   "0x" + hexN(subs.back().Sub, 2), "0");
        t.Empty();
    }
    for (const SDO_Sub_Type& s : subs) {
        t.Header(object.Index, s.Sub);
        t.Line("ParameterName=Application Variable");
        t.Line("ObjectType=0x7");
        if (s.Quantity == 1) {
            t.Line("DataType=0x0005");
            t.Line("LowLimit=0x00");
            t.Line("HighLimit=0xFF");
            t.Line("DefaultValue=0x00");
        } else if (s.Quantity == 2) {
            t.Line("DataType=0x0006");
            t.Line("LowLimit=0x0000");
            t.Line("HighLimit=0xFFFF");
            t.Line("DefaultValue=0x0000");
        } else {
            t.Line("DataType=0x0007");
            t.Line("LowLimit=0x00000000");
            t.Line("HighLimit=0xFFFFFFFF");
            t.Line("DefaultValue=0x00000000");
        }
        t.Line(std::string("AccessType=") + (s.Readonly ? "ro" : "rw"));
        t.Line("PDOMapping=0");
        t.Empty();
    }
}

std::vector<std::string> edsLines(TDateTime now) {
    const int r = EDS_Receive_Count, tx = EDS_Transmit_Count;
    const std::string date = EDS_Date(now), time = EDS_Time(now);
    TEds_Text t;
    for (const std::string& line :
         {std::string("[FileInfo]"), "FileName=" + std::string(File_Name),
          std::string("FileVersion=1"), std::string("FileRevision=0"),
          std::string("EDSVersion=4.0"), "Description=" + std::string(Product_Name),
          "CreationTime=" + time, "CreationDate=" + date, std::string("CreatedBy=Morvik"),
          "ModificationTime=" + time, "ModificationDate=" + date, std::string("ModifiedBy=Morvik")})
        t.Line(line);
    t.Empty();
    t.Line("[DeviceInfo]");
    t.Line("VendorName=Morvik");
    t.Line("VendorNumber=0x00");
    t.Line("ProductName=" + std::string(Product_Name));
    // The product number is the last three digits of the order code.
    t.Line("ProductNumber=" + std::string(Order_Code).substr(4));
    t.Line("RevisionNumber=0x0");
    t.Line("OrderCode=" + std::string(Order_Code));
    for (const char* line :
         {"BaudRate_10=1", "BaudRate_20=1", "BaudRate_50=1", "BaudRate_125=1", "BaudRate_250=1",
          "BaudRate_500=1", "BaudRate_800=0", "BaudRate_1000=1", "DynamicChannelsSupported=0",
          "GroupMessaging=0", "LSS_Supported=0", "Granularity=0", "SimpleBootUpSlave=1",
          "SimpleBootUpMaster=0"})
        t.Line(line);
    t.Line("NrOfRXPDO=" + dec(r));
    t.Line("NrOfTXPDO=" + dec(tx));
    t.Empty();
    t.Line("[Comments]");
    t.Line("Lines=0");
    t.Empty();
    t.Line("[DummyUsage]");
    for (int n = 1; n <= 7; ++n) t.Line("Dummy000" + dec(n) + "=0");
    t.Empty();
    t.Line("[MandatoryObjects]");
    t.Line("SupportedObjects=3");
    t.Line("1=0x1000");
    t.Line("2=0x1001");
    t.Line("3=0x1018");
    t.Empty();
    t.Line("[OptionalObjects]");
    t.Line("SupportedObjects=" + dec(8 + 3 * r + 3 * tx));
    int n = 0;
    for (std::uint32_t object : {0x1005, 0x1006, 0x1008, 0x1014, 0x1016, 0x1017, 0x1029, 0x1280})
        t.Line(dec(++n) + "=0x" + hexN(object, 4));
    const auto listObjects = [&](std::uint32_t base, int count) {
        for (int i = 0; i < count; ++i) t.Line(dec(++n) + "=0x" + hexN(base + std::uint32_t(i), 4));
    };
    listObjects(0x1400, r);
    listObjects(0x1600, r);
    listObjects(0x1800, tx);
    listObjects(0x1A00, tx);
    listObjects(0x7000, r);
    listObjects(0x7050, tx);
    t.Empty();
    t.Line("[ManufacturerObjects]");
    t.Line("SupportedObjects=" + dec(static_cast<long long>(SDO_Index_List.size())));
    for (std::size_t k = 0; k < SDO_Index_List.size(); ++k)
        t.Line(dec(static_cast<long long>(k + 1)) + "=0x" + hexN(SDO_Index_List[k].Index, 4));
    t.Empty();
    fixedObjects(t);
    for (int i = 0; i < r; ++i) communicationObject(t, false, i, EDS_Receive_PDO[i]);
    for (int i = 0; i < r; ++i) mappingObject(t, false, i, EDS_Receive_PDO[i]);
    for (int i = 0; i < tx; ++i) communicationObject(t, true, i, EDS_Transmit_PDO[i]);
    for (int i = 0; i < tx; ++i) mappingObject(t, true, i, EDS_Transmit_PDO[i]);
    for (int i = 0; i < r; ++i) pdoVariables(t, false, i, EDS_Receive_PDO[i]);
    for (int i = 0; i < tx; ++i) pdoVariables(t, true, i, EDS_Transmit_PDO[i]);
    for (const SDO_Index& object : SDO_Index_List)
        if (!object.Sub_Indexs.empty()) applicationVariables(t, object);
    t.Empty();
    return t.Take();
}

} // namespace

void Read_PDO_CANopen(const std::string& path) {
    EDS_Receive_Count = 0;
    EDS_Transmit_Count = 0;
    TXMLDocument doc;
    TXmlNode root;
    if (!Load_Project_File(doc, path, root)) return;
    readPdoSection(root, "Receive_PDO", "data sheet's receive PDO list", path, EDS_Receive_PDO,
                   EDS_Receive_Count);
    readPdoSection(root, "Transmit_PDO", "data sheet's transmit PDO list", path, EDS_Transmit_PDO,
                   EDS_Transmit_Count);
}

void Read_SDO_Server_CANopen(const std::string& path) {
    TXMLDocument doc;
    TXmlNode root;
    if (!Load_Project_File(doc, path, root)) return;
    addSdoEntries(root, "SDO_Read", path, true);
    addSdoEntries(root, "SDO_Write", path, false);
}

int Find_SDO_Index(int Index) {
    for (std::size_t i = 0; i < SDO_Index_List.size(); ++i)
        if (SDO_Index_List[i].Index == Index) return int(i);
    return -1;
}

void Sort_SDO_Sub_Indexs() {
    for (SDO_Index& object : SDO_Index_List) {
        std::vector<SDO_Sub_Type>& subs = object.Sub_Indexs;
        bool exchanged = true;
        while (exchanged) {
            exchanged = false;
            for (std::size_t i = 0; i + 1 < subs.size(); ++i)
                if (subs[i + 1].Sub < subs[i].Sub) {
                    std::swap(subs[i], subs[i + 1]);
                    exchanged = true;
                }
        }
    }
}

std::string EDS_Date(TDateTime now) {
    int year, month, day;
    DecodeDate(now, year, month, day);
    return twoDigits(month) + "-" + twoDigits(day) + "-" + dec(year);
}

std::string EDS_Time(TDateTime now) {
    int hour, minute, second, msec;
    DecodeTime(now, hour, minute, second, msec);
    // A 12-hour clock: midnight is 12 AM, noon 12 PM.
    const int shown = hour % 12 == 0 ? 12 : hour % 12;
    return twoDigits(shown) + ":" + twoDigits(minute) + (hour < 12 ? "AM" : "PM");
}

std::vector<std::string> Build_EDS(const std::string& project_dir, TDateTime now) {
    SDO_Index_List.clear();
    Read_PDO_CANopen(Project_File_Path(project_dir, "PDO_CANopen.xml"));
    Read_SDO_Server_CANopen(Project_File_Path(project_dir, "SDO_Server_CANopen.xml"));
    Sort_SDO_Sub_Indexs();
    return edsLines(now);
}

void Write_EDS(const std::string& Path, const std::string& project_dir, TDateTime now) {
    std::string text;
    for (const std::string& line : Build_EDS(project_dir, now)) text += line + "\r\n";
    WriteBinaryFile(Path, text);
}

void Write_EDS(const std::string& Path) {
    Write_EDS(Path, Project_Dir, Now());
}
