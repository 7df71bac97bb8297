#include "mbus/net/MBusNetworkFile.h"

#include "image/MBusNetwork.h"
#include "mbus/scan/MBus_Decode.h"
#include "platform/files/Files.h"
#include "platform/xml/XmlDoc.h"
#include "tests/PeakMemory.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

namespace {

class NetworkFile : public ::testing::Test {
protected:
    void write(const std::string& text) { WriteBinaryFile(path_, text); }
    std::string read() { return ReadBinaryFile(path_); }
    // Attribute names and values of an element, in document order.
    static std::vector<std::pair<std::string, std::string>> attributes(const TXmlNode& e) {
        std::vector<std::pair<std::string, std::string>> out;
        for (int i = 0; i < e.AttributeCount(); ++i)
            out.emplace_back(e.AttributeName(i), e.GetAttribute(e.AttributeName(i)).AsString());
        return out;
    }
    TempFolder folder_{"mbus_net"};
    std::string path_ = folder_.Path("M_Bus.xml");
};

TNodi_List sampleNetwork() {
    TNodi_List list;
    auto wired = std::make_unique<TNodo>();
    wired->Description = "heat <meter> & \"more\"";
    wired->Node_ID_Primary = 12;
    wired->Node_ID_Secondary = 99999999;
    wired->Node_ID_Type = 1;
    wired->Send_SNK = 1;
    wired->Node_State = 1;
    wired->Swap_Ident = 1;
    wired->Var_List_Type = 1;
    wired->Cut_After = 249;
    auto v = std::make_unique<TVariabile>();
    v->Enable = true;
    v->Description = "Energy";
    v->Type_Of_Data = 21;
    v->VIF_ASCII = "kWh°";
    v->Function_Field = 3;
    v->Dimension = 7;
    v->Length = 191;
    v->Unita = 10;
    v->Storage_Number = 4294967295u;
    v->Tariff = 1048575;
    v->VIFE = 125;
    v->BCDtoINT = true;
    v->TP_Mod_Regs = true;
    v->Position = 100;
    v->Post_Operation = 12;
    wired->Var_List.push_back(std::move(v));
    auto off = std::make_unique<TVariabile>();
    off->Enable = false;
    off->Type_Of_Data = -1; // a decoder code outside the editor's list stays as it is
    wired->Var_List.push_back(std::move(off));
    list.push_back(std::move(wired));

    auto wireless = std::make_unique<TNodo>();
    wireless->Enable = false;
    wireless->MBus_Type = 0;
    wireless->wMBus_ManID = "5317";
    wireless->wMBus_Add = "2147483649";
    wireless->wMBus_Ver = "3";
    wireless->wMBus_DevType = "7";
    wireless->wMBus_En_Key = 1;
    for (int k = 0; k < 16; ++k) wireless->wMBus_Key[k] = std::to_string(k * 16);
    list.push_back(std::move(wireless));
    return list;
}

void expectSameVariable(const TVariabile& a, const TVariabile& b) {
    EXPECT_EQ(a.Enable, b.Enable);
    EXPECT_EQ(a.Description, b.Description);
    EXPECT_EQ(a.Type_Of_Data, b.Type_Of_Data);
    EXPECT_EQ(a.Function_Field, b.Function_Field);
    EXPECT_EQ(a.Dimension, b.Dimension);
    EXPECT_EQ(a.Unita, b.Unita);
    EXPECT_EQ(a.Storage_Number, b.Storage_Number);
    EXPECT_EQ(a.Tariff, b.Tariff);
    EXPECT_EQ(a.VIFE, b.VIFE);
    EXPECT_EQ(a.BCDtoINT, b.BCDtoINT);
    EXPECT_EQ(a.Length, b.Length);
    EXPECT_EQ(a.VIF_ASCII, b.VIF_ASCII);
    EXPECT_EQ(a.Conv_Float, b.Conv_Float);
    EXPECT_EQ(a.Force_Int32, b.Force_Int32);
    EXPECT_EQ(a.TP_Mod_Regs, b.TP_Mod_Regs);
    EXPECT_EQ(a.Position, b.Position);
    EXPECT_EQ(a.Post_Operation, b.Post_Operation);
}

void expectSameNode(const TNodo& a, const TNodo& b) {
    EXPECT_EQ(a.Enable, b.Enable);
    EXPECT_EQ(a.Description, b.Description);
    EXPECT_EQ(a.Node_ID_Primary, b.Node_ID_Primary);
    EXPECT_EQ(a.Node_ID_Secondary, b.Node_ID_Secondary);
    EXPECT_EQ(a.Send_SNK, b.Send_SNK);
    EXPECT_EQ(a.Reset_App, b.Reset_App);
    EXPECT_EQ(a.Node_State, b.Node_State);
    EXPECT_EQ(a.Ident_Num, b.Ident_Num);
    EXPECT_EQ(a.BCDtoINT_IN, b.BCDtoINT_IN);
    EXPECT_EQ(a.Swap_Ident, b.Swap_Ident);
    EXPECT_EQ(a.Node_ID_Type, b.Node_ID_Type);
    EXPECT_EQ(a.Var_List_Type, b.Var_List_Type);
    EXPECT_EQ(a.Cut_After, b.Cut_After);
    EXPECT_EQ(a.MBus_Type, b.MBus_Type);
    EXPECT_EQ(a.wMBus_ManID, b.wMBus_ManID);
    EXPECT_EQ(a.wMBus_Add, b.wMBus_Add);
    EXPECT_EQ(a.wMBus_Ver, b.wMBus_Ver);
    EXPECT_EQ(a.wMBus_DevType, b.wMBus_DevType);
    EXPECT_EQ(a.wMBus_En_Key, b.wMBus_En_Key);
    EXPECT_EQ(a.wMBus_Key, b.wMBus_Key);
    ASSERT_EQ(a.Var_List.size(), b.Var_List.size());
    for (std::size_t i = 0; i < a.Var_List.size(); ++i)
        expectSameVariable(*a.Var_List[i], *b.Var_List[i]);
}

std::unique_ptr<TVariable_MBus> record(int dataField, int nbyte = 0) {
    auto v = std::make_unique<TVariable_MBus>();
    v->dimension = std::uint8_t(dataField);
    v->nbyte = nbyte;
    v->type_data = 0;
    v->Desc_Type_Data = "Energy (Wh)";
    return v;
}

TNodo editorNode(int primary) {
    TNodo n;
    n.Node_ID_Primary = primary;
    n.Description = "editor";
    return n;
}

} // namespace

TEST_F(NetworkFile, EditorFileRoundTripsEveryField) {
    const TNodi_List written = sampleNetwork();
    Write_MBus_Network_File(path_, written);
    TNodi_List back;
    ASSERT_TRUE(Read_MBus_Network_File(path_, back));
    ASSERT_EQ(back.size(), written.size());
    for (std::size_t i = 0; i < back.size(); ++i) expectSameNode(*written[i], *back[i]);
}

TEST_F(NetworkFile, EditorWriterLayout) {
    Write_MBus_Network_File(path_, sampleNetwork());
    TXMLDocument doc;
    doc.LoadFromFile(path_);
    ASSERT_EQ(doc.ChildNodes().Count(), 2);
    EXPECT_EQ(doc.ChildNodes()[0].NodeName(), "M-Bus_Network");
    EXPECT_EQ(doc.ChildNodes()[1].NodeType(), ntComment);
    EXPECT_EQ(doc.ChildNodes()[1].NodeValue(), "SW_VERSION = 1.205");
    const TXmlNode wireless = doc.ChildNodes()[0].ChildNodes()[1];
    std::vector<std::string> names;
    for (const auto& [name, value] : attributes(wireless)) names.push_back(name);
    std::vector<std::string> expected = {
        "Enable_Node",  "ID_Primary",    "ID_Secondary",  "Descrizione", "Send_SND_NKE",
        "Reset_App",    "Node_State",    "Ident_Num",     "BCDtoINT_IN", "Swap_IN",
        "Node_ID_Type", "Var_List_Type", "Cut_After",     "MBus_Type",   "wMBus_ManID",
        "wMBus_Add",    "wMBus_Ver",     "wMBus_DevType", "wMBus_En_Key"};
    for (int k = 1; k <= 16; ++k) expected.push_back("wMBus_Key_" + std::to_string(k));
    EXPECT_EQ(names, expected);
    EXPECT_EQ(wireless.GetAttribute("Enable_Node").AsString(), "0");
    const TXmlNode var = doc.ChildNodes()[0].ChildNodes()[0].ChildNodes()[0];
    EXPECT_EQ(attributes(var),
              (std::vector<std::pair<std::string, std::string>>{{"Enable", "1"},
                                                                {"Desc", "Energy"},
                                                                {"Type", "21"},
                                                                {"Fun_Field", "3"},
                                                                {"Dim", "7"},
                                                                {"Unit", "10"},
                                                                {"StoNumber", "4294967295"},
                                                                {"Tariff", "1048575"},
                                                                {"VIFE", "125"},
                                                                {"BCDtoINT", "1"},
                                                                {"VIF_ASCII", "kWh°"},
                                                                {"Length", "191"},
                                                                {"Conv_Float", "0"},
                                                                {"Force_Int32", "0"},
                                                                {"TP_Mod_Regs", "1"},
                                                                {"Position", "100"},
                                                                {"Post_Operation", "12"}}));
}

TEST_F(NetworkFile, EmptyNetworkHoldsTheElementAndTheComment) {
    Write_MBus_Network_File(path_, {});
    EXPECT_EQ(read(), "<M-Bus_Network/><!--SW_VERSION = 1.205-->");
    TNodi_List back;
    EXPECT_TRUE(Read_MBus_Network_File(path_, back));
    EXPECT_TRUE(back.empty());
}

TEST_F(NetworkFile, MissingFileReadsNothing) {
    TNodi_List back;
    EXPECT_FALSE(Read_MBus_Network_File(path_, back));
    EXPECT_TRUE(back.empty());
}

TEST_F(NetworkFile, ReaderDefaultsAndTheIdAttribute) {
    write("<?xml version=\"1.0\"?><!-- made by hand --><M-Bus_Network>"
          "<Nodo/>"
          "<Nodo ID=\"77\" Node_ID_Type=\"1\" ID_Primary=\"3\" ID_Secondary=\"4\"/>"
          "<Nodo ID=\"x\" ID_Primary=\"3\" ID_Secondary=\"4\" Enable_Node=\"0\" Cut_After=\"q\">"
          "<Variabile Type=\"1\" Fun_Field=\"2\" Dim=\"3\" Enable=\"yes\" StoNumber=\"-\"/>"
          "</Nodo></M-Bus_Network>");
    TNodi_List n;
    ASSERT_TRUE(Read_MBus_Network_File(path_, n));
    ASSERT_EQ(n.size(), 3u) << "a declaration or comment before the network does not hide it";
    EXPECT_TRUE(n[0]->Enable);
    EXPECT_TRUE(n[0]->Is_Wired());
    EXPECT_EQ(n[0]->Node_ID_Primary, 1);
    EXPECT_EQ(n[0]->Node_ID_Secondary, 1);
    EXPECT_EQ(n[1]->Node_ID_Secondary, 77);
    EXPECT_EQ(n[1]->Node_ID_Primary, 1);
    EXPECT_FALSE(n[2]->Enable);
    EXPECT_EQ(n[2]->Node_ID_Primary, 3);
    EXPECT_EQ(n[2]->Node_ID_Secondary, 4);
    EXPECT_EQ(n[2]->Cut_After, 0);
    ASSERT_EQ(n[2]->Var_List.size(), 1u);
    const TVariabile& v = *n[2]->Var_List[0];
    EXPECT_FALSE(v.Enable);
    EXPECT_EQ(v.Position, 1);
    EXPECT_EQ(v.Storage_Number, 0u);
    EXPECT_EQ(v.Dimension, 3);
}

TEST_F(NetworkFile, BadVariableStopsTheReadKeepingWhatWasRead) {
    const char* bad[] = {"Type", "Fun_Field", "Dim"};
    for (const char* missing : bad) {
        std::string var = "<Variabile";
        for (const char* a : bad)
            if (std::string(a) != missing) var += std::string(" ") + a + "=\"0\"";
        var += "/>";
        write("<M-Bus_Network><Nodo Descrizione=\"a\"/><Nodo Descrizione=\"b\">"
              "<Variabile Type=\"0\" Fun_Field=\"0\" Dim=\"0\"/>" +
              var +
              "<Variabile Type=\"0\" Fun_Field=\"0\" Dim=\"0\"/></Nodo><Nodo/></M-Bus_Network>");
        TNodi_List n;
        try {
            Read_MBus_Network_File(path_, n);
            ADD_FAILURE() << missing;
        } catch (const EMBusFileError& e) {
            EXPECT_NE(e.Message().find(missing), std::string::npos) << e.Message();
            EXPECT_NE(e.Message().find("node 2, variable 2"), std::string::npos) << e.Message();
        }
        ASSERT_EQ(n.size(), 2u) << missing;
        EXPECT_EQ(n[1]->Var_List.size(), 1u) << missing;
    }
    write("<M-Bus_Network><Nodo></M-Bus_Network>");
    TNodi_List n;
    EXPECT_THROW(Read_MBus_Network_File(path_, n), EMBusFileError);
}

TEST_F(NetworkFile, WiredScanSaveGivesRegistersDimensionsAndCounts) {
    TSlave_MBus_List slaves;
    auto s1 = std::make_unique<TSlave_MBus>();
    s1->Primary_Addresss = 5;
    s1->Secondary_Addresss = "12345678";
    s1->descManufacture = "ABC";
    s1->List_Var.push_back(record(4));
    s1->List_Var.push_back(record(13, 6));
    s1->List_Var.push_back(record(2));
    s1->List_Var[0]->function_fild = 1;
    s1->List_Var[1]->function_fild = 2;
    s1->List_Var[2]->function_fild = 3;
    s1->List_Var[2]->storage_number = 4294967295LL;
    s1->List_Var[2]->device = 2;
    s1->List_Var[2]->tarif = 1;
    int ticked = 0, unticked = 0;
    s1->List_Var[1]->Node = &unticked;
    s1->Node = &ticked;
    slaves.Add(std::move(s1));
    auto s2 = std::make_unique<TSlave_MBus>();
    s2->List_Var.push_back(record(7));
    s2->List_Var.push_back(record(99));
    s2->Node = &unticked;
    slaves.Add(std::move(s2));

    TSaveConfXML conf;
    conf.File_Name = path_;
    conf.Node_ID_Type = 1;
    conf.SND_NKE = 1;
    conf.Cut_After = 3;
    ASSERT_TRUE(Save_XML_Conf_Wired(conf, slaves, [&](void* node) { return node == &ticked; }));

    TXMLDocument doc;
    doc.LoadFromFile(path_);
    ASSERT_EQ(doc.ChildNodes().Count(), 1) << "a scan writes no comment";
    const TXmlNode net = doc.DocumentElement();
    const TXmlNode n1 = net.ChildNodes()[0];
    EXPECT_EQ(attributes(n1),
              (std::vector<std::pair<std::string, std::string>>{{"Enable_Node", "1"},
                                                                {"ID_Primary", "5"},
                                                                {"ID_Secondary", "12345678"},
                                                                {"Node_ID_Type", "1"},
                                                                {"Descrizione", "ABC"},
                                                                {"Send_SND_NKE", "1"},
                                                                {"Reset_App", "0"},
                                                                {"Cut_After", "2"}}));
    struct Expect {
        int node, var;
        const char *enable, *modReg, *dim, *length, *fun;
    };
    const Expect expect[] = {
        {0, 0, "1", "1", "2", "0", "2"},    {0, 1, "0", "3", "7", "6", "1"},
        {0, 2, "1", "7", "1", "0", "3"},    {1, 0, "1", "8", "3", "0", "2"},
        {1, 1, "1", "12", "255", "0", "2"},
    };
    for (const Expect& e : expect) {
        const TXmlNode v = net.ChildNodes()[e.node].ChildNodes()[e.var];
        const std::string at = std::to_string(e.node) + "/" + std::to_string(e.var);
        EXPECT_EQ(v.GetAttribute("Enable").AsString(), e.enable) << at;
        EXPECT_EQ(v.GetAttribute("Position").AsString(), std::to_string(e.var + 1)) << at;
        EXPECT_EQ(v.GetAttribute("ModReg").AsString(), e.modReg) << at;
        EXPECT_EQ(v.GetAttribute("Dim").AsString(), e.dim) << at;
        EXPECT_EQ(v.GetAttribute("Length").AsString(), e.length) << at;
        if (e.node == 0) {
            EXPECT_EQ(v.GetAttribute("Fun_Field").AsString(), e.fun) << at;
        }
    }
    EXPECT_EQ(net.ChildNodes()[1].GetAttribute("Enable_Node").AsString(), "0");
    const TXmlNode third = net.ChildNodes()[0].ChildNodes()[2];
    EXPECT_EQ(third.GetAttribute("Desc").AsString(), "Energy (Wh) (U2S4294967295T1)");
    EXPECT_EQ(third.GetAttribute("StoNumber").AsString(), "4294967295");

    // The editor and the image compiler read what the scan stored: three telegrams.
    TNodi_List read;
    Read_MBus_Network_File(path_, read);
    EXPECT_EQ(Cut_After_Items()[read[0]->Cut_After], "3");
    std::vector<TMBus_Nodo> wired, wireless;
    Read_MBus_Network(path_, true, true, wired, wireless);
    ASSERT_EQ(wired.size(), 1u);
    EXPECT_EQ(wired[0].Cut_After, 3);
}

// A meter's plain-text unit is any bytes: Latin-1 text, control characters. The scan keeps it
// as text, so that the save writes it and a reader gets what the window showed.
TEST_F(NetworkFile, PlainTextUnitsOfAScanAreSaved) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> record; // the unit's bytes come in reverse order
        std::string unit;
    };
    const Case cases[] = {
        {"Latin-1 degree sign",
         {0x02, 0x7C, 0x02, 0x43, 0xB0, 0x34, 0x12},
         "\xC2\xB0"
         "C"},
        {"control character", {0x01, 0x7C, 0x02, 0x43, 0x01, 0x05}, "?C"},
        {"extension bit set, DEL", {0x01, 0xFC, 0x02, 0x7F, 0x68, 0x00, 0x05}, "h?"},
    };
    for (const Case& c : cases) {
        TSlave_MBus_List slaves;
        auto slave = std::make_unique<TSlave_MBus>();
        TMBus_Decoder decoder;
        decoder.Decode_Data_Records(slave->List_Var, int(c.record.size()) - 1, c.record.data());
        ASSERT_EQ(slave->List_Var.size(), 1u) << c.what;
        EXPECT_EQ(slave->List_Var[0]->VIF_ASCII, c.unit) << c.what;
        slaves.Add(std::move(slave));
        TSaveConfXML conf;
        conf.File_Name = path_;
        ASSERT_TRUE(Save_XML_Conf_Wired(conf, slaves, nullptr)) << c.what;
        TXMLDocument doc;
        doc.LoadFromFile(path_);
        const TXmlNode v = doc.DocumentElement().ChildNodes()[0].ChildNodes()[0];
        EXPECT_EQ(v.GetAttribute("VIF_ASCII").AsString(), c.unit) << c.what;
    }
}

namespace {
std::string repeated(const std::string& element, std::size_t count) {
    std::string out;
    out.reserve(element.size() * count);
    for (std::size_t i = 0; i < count; ++i) out += element;
    return out;
}
const std::string Variable = "<Variabile Type=\"0\" Fun_Field=\"0\" Dim=\"0\"/>";
} // namespace

// A network holds 255 wired nodes, a wireless node per byte of the data area and the variables
// one node record can count; a larger file is refused before a node is built.
TEST_F(NetworkFile, AFileLargerThanANetworkIsRefusedBeforeItsNodesAreBuilt) {
    struct Case {
        const char* what;
        std::string nodes;
        std::string message; // empty: read
    };
    const Case cases[] = {
        {"as much as a network holds",
         repeated("<Nodo/>", 254) + "<Nodo>" + repeated(Variable, 65535) + "</Nodo>" +
             repeated("<Nodo MBus_Type=\"0\"/>", 1439),
         ""},
        {"256 wired nodes", repeated("<Nodo/>", 256),
         "the network holds 256 wired nodes; a network holds at most 255"},
        {"1440 wireless nodes", repeated("<Nodo MBus_Type=\"0\"/>", 1440),
         "the network holds 1440 wireless nodes; a network holds at most 1439"},
        {"65536 variables",
         "<Nodo>" + repeated(Variable, 40000) + "</Nodo><Nodo>" + repeated(Variable, 25536) +
             "</Nodo>",
         "the network holds 65536 variables; a network holds at most 65535"},
    };
    for (const Case& c : cases) {
        write("<M-Bus_Network>" + c.nodes + "</M-Bus_Network>");
        TNodi_List nodes;
        if (c.message.empty()) {
            EXPECT_TRUE(Read_MBus_Network_File(path_, nodes)) << c.what;
            EXPECT_EQ(nodes.size(), 255u + 1439u) << c.what;
            continue;
        }
        try {
            Read_MBus_Network_File(path_, nodes);
            ADD_FAILURE() << c.what << ": read";
        } catch (const EMBusFileError& e) {
            EXPECT_EQ(e.Message(), path_ + ": " + c.message) << c.what;
        }
        EXPECT_TRUE(nodes.empty()) << c.what;
    }
}

// 20 MB of empty nodes (three million) cost the file's bytes and what a network can hold, not
// what their number would (some 3 GB).
TEST_F(NetworkFile, AHostileFileIsRefusedWithinABoundedMemory) {
    write("<M-Bus_Network>" + repeated("<Nodo/>", (20u << 20) / 7) + "</M-Bus_Network>");
    TNodi_List nodes;
    const long growth = peakmemory::growthMiB(
        [&] { EXPECT_THROW(Read_MBus_Network_File(path_, nodes), EMBusFileError); });
    EXPECT_LT(growth, 128);
    EXPECT_TRUE(nodes.empty());
}

// The writers write no network that the reader would refuse; the file stays as it was.
TEST_F(NetworkFile, WritersRefuseANetworkLargerThanItCanHold) {
    const std::string full = "<M-Bus_Network>" + repeated("<Nodo/>", 255) + "</M-Bus_Network>";
    write(full);
    TSlave_MBus_List slaves;
    slaves.Add(std::make_unique<TSlave_MBus>());
    TSaveConfXML conf;
    conf.File_Name = path_;
    conf.Append = 1;
    EXPECT_THROW(Save_XML_Conf_Wired(conf, slaves, nullptr), EMBusFileError);
    EXPECT_EQ(read(), full);

    TNodi_List network;
    for (int i = 0; i < 256; ++i) network.push_back(std::make_unique<TNodo>());
    EXPECT_THROW(Write_MBus_Network_File(path_, network), EMBusFileError);
    EXPECT_EQ(read(), full);
    network.pop_back();
    Write_MBus_Network_File(path_, network);
    TNodi_List back;
    Read_MBus_Network_File(path_, back);
    EXPECT_EQ(back.size(), 255u);
}

TEST_F(NetworkFile, RegistersOfVariableLengthRoundHalvesToEven) {
    const int nbytes[][2] = {{4, 2}, {5, 3}, {6, 4}, {0, 0}, {1, 1}, {8, 4}};
    for (const auto& c : nbytes) EXPECT_EQ(Record_Registers(13, c[0]), c[1]) << c[0];
}

TEST_F(NetworkFile, WirelessScanSaveWritesRealVariablesAndUnsignedAddress) {
    TSlave_wMBus_List senders;
    auto s = std::make_unique<TSlave_wMBus>();
    s->ALA_Manu_str = "XYZ";
    s->ALA_Manufacturer = 0xC5A3;
    s->ALA_Address = std::int32_t(0x80000001u);
    s->ALA_Version = 255;
    s->ALA_DeviceType = 7;
    s->Enable_Key = true;
    for (int k = 0; k < 16; ++k) s->Key[k] = std::uint8_t(255 - k);
    for (int i = 0; i < 4; ++i) {
        s->List_Var.push_back(record(2));
        s->List_Var.back()->Real_Wireless_Var = i % 2 == 1;
    }
    s->List_Var[3]->Enable = false;
    senders.Add(std::move(s));

    TSaveConfXML conf;
    conf.File_Name = path_;
    ASSERT_TRUE(Save_XML_Conf_Wireless(conf, senders));
    TXMLDocument doc;
    doc.LoadFromFile(path_);
    const TXmlNode node = doc.DocumentElement().ChildNodes()[0];
    EXPECT_EQ(node.GetAttribute("MBus_Type").AsString(), "0");
    EXPECT_EQ(node.GetAttribute("wMBus_Add").AsString(), "2147483649");
    EXPECT_EQ(node.GetAttribute("wMBus_ManID").AsString(), "50595");
    EXPECT_EQ(node.GetAttribute("wMBus_Key_1").AsString(), "255");
    EXPECT_EQ(node.GetAttribute("wMBus_Key_16").AsString(), "240");
    EXPECT_EQ(node.GetAttribute("Cut_After").AsString(), "2");
    ASSERT_EQ(node.ChildNodes().Count(), 2);
    EXPECT_EQ(node.ChildNodes()[0].GetAttribute("Position").AsString(), "2");
    EXPECT_EQ(node.ChildNodes()[1].GetAttribute("Position").AsString(), "4");
    EXPECT_EQ(node.ChildNodes()[1].GetAttribute("Enable").AsString(), "0");
    EXPECT_EQ(node.ChildNodes()[1].GetAttribute("ModReg").AsString(), "2");

    std::vector<TMBus_Nodo> wired, wireless;
    Read_MBus_Network(path_, true, true, wired, wireless);
    ASSERT_EQ(wireless.size(), 1u);
    EXPECT_EQ(wireless[0].Meter.Address, 0x80000001u);
}

TEST_F(NetworkFile, ScanSaveAppendsAfterTheEditorsNodes) {
    TNodi_List editor;
    editor.push_back(std::make_unique<TNodo>(editorNode(1)));
    Write_MBus_Network_File(path_, editor);
    // A hand-made comment before the network must not become the network.
    write("<!-- kept -->" + read());

    TSlave_MBus_List slaves;
    slaves.Add(std::make_unique<TSlave_MBus>());
    TSaveConfXML conf;
    conf.File_Name = path_;
    conf.Append = 1;
    ASSERT_TRUE(Save_XML_Conf_Wired(conf, slaves, nullptr));

    TXMLDocument doc;
    doc.LoadFromFile(path_);
    ASSERT_EQ(doc.ChildNodes().Count(), 3);
    EXPECT_EQ(doc.ChildNodes()[0].NodeType(), ntComment);
    EXPECT_EQ(doc.ChildNodes()[1].NodeName(), "M-Bus_Network");
    EXPECT_EQ(doc.ChildNodes()[2].NodeValue(), "SW_VERSION = 1.205");
    TNodi_List back;
    Read_MBus_Network_File(path_, back);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0]->Description, "editor");
    EXPECT_EQ(back[1]->Description, "");
}

TEST_F(NetworkFile, ScanSaveOfAnEmptyListTouchesNothing) {
    write("keep");
    TSaveConfXML conf;
    conf.File_Name = path_;
    TSlave_MBus_List wired;
    TSlave_wMBus_List wireless;
    EXPECT_FALSE(Save_XML_Conf_Wired(conf, wired, nullptr));
    EXPECT_FALSE(Save_XML_Conf_Wireless(conf, wireless));
    EXPECT_EQ(read(), "keep");
    // Appending to a file that cannot be loaded raises and leaves it.
    wired.Add(std::make_unique<TSlave_MBus>());
    conf.Append = 1;
    EXPECT_ANY_THROW(Save_XML_Conf_Wired(conf, wired, nullptr));
    EXPECT_EQ(read(), "keep");
}
