#include "image/MBusImage.h"

#include "image/ImageCompiler.h"
#include "image/KnxTable.h"
#include "image/LittleEndian.h"
#include "image/ParGenKeys.h"
#include "image/ProjectFile.h"

#include "shell/state/ProgramState.h"

#include <algorithm>

TSettings_Block MBus_Settings_Record;
std::array<TwMBus_Meter, wMBus_Table_Size> wMBus_Table;
std::vector<TMBus_Nodo> MBus_Nodes;
std::vector<TMBus_Nodo> wMBus_Nodes;

namespace {

constexpr std::uint32_t wMBus_Table_Flash = 0x68800;
constexpr std::uint32_t KNX_Table_Flash = 0x68C00;
constexpr std::uint8_t Stream_Marker = 0x40;

// Data-field code of the variable record for each Dimension; any other gives 2.
std::uint8_t dataFieldCode(std::uint8_t dimension) {
    static const std::uint8_t codes[] = {1, 2, 4, 7, 3, 6, 5, 13};
    return dimension < std::size(codes) ? codes[dimension] : 2;
}

// The parameters of the stream's tail, read from the ParGen file.
struct Tail {
    std::array<std::uint8_t, 4> ip{}, mask{}, gateway{};
    std::uint8_t enableGateway = 0;
    std::uint8_t meterBaud = 0;
    std::uint8_t meterParity = 0;
    std::uint16_t requestDelay = 0;
    std::uint8_t errorCode = 255;
};

// Keys without a default: a missing or malformed one stops the compile.
Tail readTail(const TXmlNode& root, const std::string& path) {
    Tail t;
    const auto octets = [&](const char* prefix, std::array<std::uint8_t, 4>& out) {
        for (int i = 0; i < 4; ++i)
            out[i] = std::uint8_t(Key_Int_Strict(root, prefix + std::to_string(i + 1), path));
    };
    octets("Modbus_TCP_Slave_IP", t.ip);
    octets("Modbus_TCP_Slave_SM", t.mask);
    octets("Modbus_TCP_Slave_GAT", t.gateway);
    t.enableGateway = std::uint8_t(Key_Int_Strict(root, "Modbus_TCP_Slave_EN_GAT", path));
    t.meterBaud = std::uint8_t(Key_Int_Strict(root, "Meter_Baud", path));
    t.meterParity = std::uint8_t(Key_Int_Strict(root, "Meter_Par", path));
    t.requestDelay = std::uint16_t(Key_Int_Strict(root, "Meter_Req_Delay", path));
    t.errorCode = std::uint8_t(Key_Int(root, "Meter_NS_Error_Code", 255));
    return t;
}

// The settings fields that the ParGen file sets, as the tail stores them.
void storeSettings(const TXmlNode& root, const Tail& t) {
    using namespace MBus_Offset;
    TSettings_Block& r = MBus_Settings_Record;
    r.Set_Octets(IP_Address, t.ip[0], t.ip[1], t.ip[2], t.ip[3]);
    r.Set_Octets(Subnet_Mask, t.mask[0], t.mask[1], t.mask[2], t.mask[3]);
    r.Set_Octets(Gateway_Address, t.gateway[0], t.gateway[1], t.gateway[2], t.gateway[3]);
    // Only 0 means "no gateway" here; the tail keeps the address as entered.
    if (t.enableGateway == 0) r.Set_Octets(Gateway_Address, 255, 255, 255, 255);
    r.Set_U16(Server_Port, 10001);
    r.Set_U16(Server_Port_2, 10001);
    r.Set_U32(600, 120000);
    r.Set_U32(Meter_Bit_Rate,
              Indexed_Rate(t.meterBaud, {300, 600, 1200, 2400, 4800, 9600, 19200, 38400}, 2400));
    r.Set_U8(Meter_Parity, t.meterParity == 0 ? 0 : t.meterParity + 1);
    static const std::uint8_t modes[] = {1, 5, 15, 17};
    const int mode = Key_Int(root, "wMBus_Mode", 0);
    r.Set_U8(wMBus_Mode, mode >= 0 && mode < 4 ? modes[mode] : 1);
    r.Set_U8(wMBus_Radio_Channel, std::uint32_t(Key_Int(root, "wMBus_Radio_Channel", 0)));
    r.Set_U32(504, 19200);
    r.Set_U8(522, 0);
    r.Set_U8(528, 1);
    r.Set_U8(534, 8);
    r.Set_U8(584, 3);
    r.Set_U8(585, 5);
    r.Set_U8(586, 5);
    r.Set_U32(KNX_Table_Address, KNX_Table_Flash);
    r.Set_U32(KNX_Table_Address_2, KNX_Table_Flash);
    r.Set_U16(KNX_Address, KNX_Address_Key(root, "KNX_ID_DEV", 4552));
}

// Stream offsets of the variable records and texts, and the data addresses of every node and
// variable. Returns the offset reached after the texts.
std::uint64_t placeNodes(const std::string& path) {
    const std::size_t nodeCount = MBus_Nodes.size() + wMBus_Nodes.size();
    std::uint64_t offset = MBus_Stream_Header_Bytes + MBus_Node_Record_Bytes * nodeCount;
    std::uint64_t address = 0;
    const auto checkAddress = [&] {
        if (address > MBus_Max_Data_Address)
            throw EImageLimitError(Format("%s: the values of the network need data addresses past "
                                          "%d, the most the gateway can address",
                                          path, MBus_Max_Data_Address));
    };
    for (auto* nodes : {&MBus_Nodes, &wMBus_Nodes})
        for (TMBus_Nodo& n : *nodes) {
            n.Add = std::uint32_t(offset); // the caller refuses a stream past its limit
            offset += MBus_Variable_Record_Bytes * n.Vars.size();
            checkAddress();
            n.Add_NS = std::uint16_t(address);
            if (n.Node_State == 1) address += 1;
            checkAddress();
            n.Add_IN = std::uint16_t(address);
            if (n.Ident_Num == 1) address += 4;
            checkAddress();
            n.Appoggio_Add_Variabili = std::int32_t(address);
            for (const TMBus_Variabile& v : n.Vars) {
                checkAddress();
                address += MBus_Value_Size(v, n);
            }
        }
    for (auto* nodes : {&MBus_Nodes, &wMBus_Nodes})
        for (TMBus_Nodo& n : *nodes)
            for (TMBus_Variabile& v : n.Vars) {
                v.Address_VIF_ASCII = std::uint32_t(offset);
                offset += v.Len_VIF_ASCII;
            }
    return offset;
}

std::uint8_t* putNode(std::uint8_t* p, const TMBus_Nodo& n) {
    p[0] = n.ID_Type;
    // The identifier is the one value of the stream written most significant byte first.
    p[1] = std::uint8_t(n.ID >> 24);
    p[2] = std::uint8_t(n.ID >> 16);
    p[3] = std::uint8_t(n.ID >> 8);
    p[4] = std::uint8_t(n.ID);
    Put_U16(p + 5, std::uint32_t(n.Vars.size()));
    Put_U32(p + 7, n.Add);
    p[11] = n.SND_NKE;
    p[12] = n.Reset_App;
    p[13] = n.Node_State;
    Put_U16(p + 14, n.Add_NS);
    p[16] = n.Ident_Num;
    Put_U16(p + 17, n.Add_IN);
    p[19] = n.BCDtoINT_IN;
    p[20] = n.Swap_IN;
    p[21] = n.Var_Type;
    p[22] = n.Cut_After;
    return p + MBus_Node_Record_Bytes;
}

std::uint8_t* putVariables(std::uint8_t* p, const TMBus_Nodo& n) {
    std::uint32_t address = std::uint32_t(n.Appoggio_Add_Variabili);
    for (const TMBus_Variabile& v : n.Vars) {
        p[0] = v.Type_Of_Data;
        p[1] = v.Function_Field;
        p[2] = dataFieldCode(v.Dimension);
        Put_U16(p + 3, address);
        p[5] = v.Unita;
        Put_U32(p + 6, v.Storage_Num);
        Put_U32(p + 10, v.Tarif);
        p[14] = v.VIFE;
        p[15] = v.BCDtoINT;
        p[16] = v.Length;
        p[17] = v.Len_VIF_ASCII;
        Put_U32(p + 18, v.Address_VIF_ASCII);
        p[22] = v.Position;
        p[23] = v.Post_Ope;
        p[24] = v.Conv_Float;
        address += MBus_Value_Size(v, n);
        p += MBus_Variable_Record_Bytes;
    }
    return p;
}

std::uint8_t* putTail(std::uint8_t* p, const Tail& t) {
    std::fill(p, p + MBus_Tail_Bytes, std::uint8_t(0));
    std::copy(t.ip.begin(), t.ip.end(), p);
    std::copy(t.mask.begin(), t.mask.end(), p + 4);
    std::copy(t.gateway.begin(), t.gateway.end(), p + 8);
    p[12] = t.enableGateway;
    Put_U16(p + 13, 10001);
    p[15] = t.meterBaud;
    p[16] = t.meterParity;
    Put_U16(p + 18, t.requestDelay);
    p[20] = std::uint8_t(MBus_Nodes.size());
    p[23] = t.errorCode;
    p[24] = std::uint8_t(wMBus_Nodes.size());
    return p + MBus_Tail_Bytes;
}

} // namespace

std::uint32_t MBus_Value_Size(const TMBus_Variabile& v, const TMBus_Nodo& node) {
    if ((v.Conv_Float & MBus_Flag_TP_Mod_Regs) &&
        (node.Var_Type != 0 || v.Type_Of_Data == MBus_Type_Eight_Bytes))
        return 8;
    if (v.Conv_Float & (MBus_Flag_Conv_Float | MBus_Flag_Force_Int32)) return 4;
    static const std::uint8_t sizes[] = {1, 2, 4, 8, 3, 6, 4};
    if (v.Dimension == MBus_Dimension_Variable) return v.Length;
    return v.Dimension < std::size(sizes) ? sizes[v.Dimension] : 2;
}

void Init_MBus_Settings() {
    TSettings_Block& r = MBus_Settings_Record;
    r.Clear();
    r.Set_U32(0, 250000);
    r.Set_U32(4, 250000);
    r.Set_U32(8, 9600);
    r.Set_Octets(MBus_Offset::IP_Address, 192, 168, 0, 5);
    r.Set_Octets(MBus_Offset::Subnet_Mask, 255, 255, 255, 0);
    r.Set_Octets(MBus_Offset::Gateway_Address, 255, 255, 255, 255);
    r.Set_U16(52, 10000);
    r.Set_U8(MBus_Offset::Stream_Marker, 1);
    r.Set_U32(60, 9600);
    r.Set_Octets(72, 192, 168, 0, 10);
    r.Set_U32(500, 38400);
    for (std::uint32_t offset : {526u, 527u, 529u, 590u}) r.Set_U8(offset, 1);
    for (std::uint32_t offset : {532u, 533u, 535u}) r.Set_U8(offset, 8);
    r.Set_U8(570, 0xBF);
    r.Set_U32(MBus_Offset::wMBus_Table_Address, wMBus_Table_Flash);
    r.Set_U32(600, 120000);
    r.Set_U16(620, 3671);
    r.Set_U16(628, 50000);
    r.Set_U16(630, 50001);
    r.Set_U16(632, 50002);
}

void Clear_wMBus_Table() {
    wMBus_Table.fill(TwMBus_Meter{});
}

void Read_M_Bus(const std::string& par_gen_path, const std::string& network_path) {
    MBus_Nodes.clear();
    wMBus_Nodes.clear();
    Bank2_Length = 0;
    MBus_Settings_Record.Set_U32(540, 0);
    TSettings_Block& r = MBus_Settings_Record;

    TXMLDocument doc;
    TXmlNode root;
    const bool hasParGen = Load_Project_File(doc, par_gen_path, root);
    bool wired = false, wireless = false;
    Tail tail;
    if (hasParGen) {
        wired = Key_Int(root, "MBus_Options_Wire_Present", 0) == 1;
        wireless = Key_Int(root, "MBus_Options_Wireless_Present", 0) == 1;
        tail = readTail(root, par_gen_path);
        storeSettings(root, tail);
    }
    Read_MBus_Network(network_path, wired, wireless, MBus_Nodes, wMBus_Nodes);
    if (MBus_Nodes.size() > std::size_t(MBus_Max_Wired_Nodes))
        throw EImageLimitError(Format("%s: more than %d wired nodes; the gateway counts at most %d",
                                      network_path, MBus_Max_Wired_Nodes, MBus_Max_Wired_Nodes));
    if (wMBus_Nodes.size() > std::size_t(wMBus_Table_Size))
        throw EImageLimitError(Format("%s: more than %d wireless meters; the wireless meter table "
                                      "holds %d entries",
                                      network_path, wMBus_Table_Size, wMBus_Table_Size));
    for (std::size_t i = 0; i < wMBus_Nodes.size(); ++i) wMBus_Table[i] = wMBus_Nodes[i].Meter;
    r.Set_U8(MBus_Offset::Wireless_Count, std::uint32_t(wMBus_Nodes.size()));

    const std::uint64_t tailOffset = placeNodes(network_path);
    if (tailOffset + (hasParGen ? MBus_Tail_Bytes : 0) > MBus_Stream_Limit)
        throw EImageLimitError(Format("%s: the network needs more than the %d bytes of node stream "
                                      "that the gateway holds",
                                      network_path, MBus_Stream_Limit));

    std::uint8_t* const stream = Bank2_Buffer.data();
    stream[0] = Stream_Marker;
    Put_U32(stream + 1, MBus_Stream_Header_Bytes);
    Put_U32(stream + 5,
            MBus_Stream_Header_Bytes + MBus_Node_Record_Bytes * std::uint32_t(MBus_Nodes.size()));
    Put_U32(stream + 9, std::uint32_t(tailOffset));
    std::uint8_t* p = stream + MBus_Stream_Header_Bytes;
    for (auto* nodes : {&MBus_Nodes, &wMBus_Nodes})
        for (const TMBus_Nodo& n : *nodes) p = putNode(p, n);
    for (auto* nodes : {&MBus_Nodes, &wMBus_Nodes})
        for (const TMBus_Nodo& n : *nodes) p = putVariables(p, n);
    // Each text is written last character first, one byte (the low byte) per character.
    for (auto* nodes : {&MBus_Nodes, &wMBus_Nodes})
        for (const TMBus_Nodo& n : *nodes)
            for (const TMBus_Variabile& v : n.Vars)
                for (auto c = v.VIF_ASCII.rbegin(); c != v.VIF_ASCII.rend(); ++c)
                    *p++ = std::uint8_t(*c);
    if (hasParGen) p = putTail(p, tail);
    Bank2_Length = std::uint32_t(p - stream);
}

std::uint32_t Write_MBus_Settings(std::uint32_t position) {
    TSettings_Block block = MBus_Settings_Record;
    std::fill(block.Bytes.begin() + MBus_Offset::Gap,
              block.Bytes.begin() + MBus_Offset::Gap + MBus_Settings_Gap_Bytes, std::uint8_t(0));
    return Write_Settings_Block(block, position, Image_Buffer);
}

std::uint32_t Write_wMBus_Table(std::uint32_t position) {
    std::uint8_t* p = Image_Buffer.data() + position;
    for (const TwMBus_Meter& m : wMBus_Table) {
        std::fill(p, p + wMBus_Entry_Bytes, std::uint8_t(0));
        Put_U16(p + 0, m.Man_ID);
        Put_U32(p + 2, m.Address);
        p[6] = m.Version;
        p[7] = m.Device_Type;
        std::copy(m.Key.begin(), m.Key.end(), p + 8);
        p[24] = m.Key_Enable;
        p += wMBus_Entry_Bytes;
    }
    return position + wMBus_Table_Size * wMBus_Entry_Bytes;
}

void Compile_MBus(int product_type, const std::string& project_dir) {
    Init_MBus_Settings();
    Clear_KNX_Table();
    Clear_wMBus_Table();
    MBus_Settings_Record.Set_U8(MBus_Offset::Stream_Marker, Stream_Marker);
    Read_M_Bus(Project_File_Path(project_dir, "ParGen.xml"),
               Project_File_Path(project_dir, "M_Bus.xml"));
    Read_KNX_SetAccess(Project_File_Path(project_dir, "KNX_SetAccess.xml"), product_type);
    Image_Length = 0;
    Image_Length = Write_MBus_Settings(Image_Length);
    Image_Length = Write_wMBus_Table(Image_Length);
    Image_Length = Write_KNX_Table(Image_Length, Image_Buffer);
}
