#include "shell/UpdaterParameters.h"

#include "platform/files/Files.h"
#include "platform/process/Process.h"
#include "shell/state/ProgramState.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Children = std::vector<std::pair<std::string, std::string>>;

// Names and texts of the child elements of node, in order ("" for an element with children).
Children childrenOf(const TXmlNode& node) {
    Children out;
    for (int i = 0; i < node.ChildNodes().Count(); ++i) {
        const TXmlNode c = node.ChildNodes()[i];
        bool leaf = true;
        for (int j = 0; j < c.ChildNodes().Count(); ++j)
            if (c.ChildNodes()[j].NodeType() == ntElement) leaf = false;
        out.emplace_back(c.NodeName(), leaf ? c.Text() : "");
    }
    return out;
}

std::vector<TXmlNode> operationsOf(const TXMLDocument& doc) {
    std::vector<TXmlNode> ops;
    const TXmlNode list = doc.DocumentElement().SelectSingleNode("Operations");
    for (int i = 0; i < list.ChildNodes().Count(); ++i) ops.push_back(list.ChildNodes()[i]);
    return ops;
}

std::string textOf(const TXmlNode& op, const char* name) {
    return op.SelectSingleNode(name).Text();
}

class UpdaterParameters : public ::testing::Test {
protected:
    void SetUp() override {
        Reset_Program_State();
        Set_Program_Dir("/opt/velmar");
        Project_Dir = "/opt/velmar/PROJECTS/Boat";
    }
    void TearDown() override { Reset_Program_State(); }
    TXMLDocument doc;
};

TEST_F(UpdaterParameters, NewBootFileOfType25HasEveryElementInOrder) {
    Compile_XML_Parameter_New_Boot(doc, 25, {"10.1.2.3", true, true, true, true});

    EXPECT_EQ(doc.DocumentElement().NodeName(), "Ethernet_Update");
    EXPECT_EQ(doc.SaveToXML().rfind("<Ethernet_Update>", 0), 0u) << "no declaration";
    const Children root = {
        {"Version", "1000"},
        {"Title", "Morvik - QS40526 Ethernet Update"},
        {"IP_Address_Dev", "10.1.2.3"},
        {"Application_Port", "10000"},
        {"Boot_Port", "2008"},
        {"Boot_Port_Sec", "2007"},
        {"Address_Protection", "0x07800"},
        {"Protections", ""},
        {"Operations", ""},
    };
    EXPECT_EQ(childrenOf(doc.DocumentElement()), root);
    EXPECT_EQ(childrenOf(doc.DocumentElement().SelectSingleNode("Protections")),
              (Children{{"Protection", "0x2C7"}}));

    struct Row {
        const char* name;
        std::string firmware, bank1, bank2;
    };
    const Row rows[] = {
        {"Ope_Protection_Enabled", "", "", ""},
        {"Ope_GoToBoot_Before", "0", "0", "0"},
        {"Ope_GoToApp_Before", "0", "0", "0"},
        {"Ope_IP_Address", "", "", ""},
        {"Ope_Port", "2008", "2008", "2008"},
        {"Ope_Port_Sec", "2007", "2007", "2007"},
        {"Ope_Erase_Memory", "0", "0", "0"},
        {"Ope_FileName", "/opt/velmar/MASTER/Sim40526.sim",
         "/opt/velmar/PROJECTS/Boat/bin/bank1.bin", "/opt/velmar/PROJECTS/Boat/bin/bank2.bin"},
        {"Ope_Start_Address", "0x8000", "0x07000", "0x80000"},
        {"Ope_Memory_Type", "0", "0", "0"},
        {"Ope_Bank_Type", "1", "2", "2"},
        {"Ope_Read_Back", "1", "1", "1"},
        {"Ope_Write_CSS", "1", "0", "0"},
        {"Ope_Address_CSS", "0x07A00", "0x07A00", "0x07A00"},
        {"Ope_Command_CSS", "0x02", "0x02", "0x02"},
        {"Ope_Write_Internal_Data", "0", "0", "0"},
        {"Ope_WID_Address", "0x07810", "0x07810", "0x07810"},
        {"Ope_WID_Command", "0x02", "0x02", "0x02"},
        {"Ope_WID_Data", "0x00, 0x00, 0x00, 0x01", "0x00, 0x00, 0x00, 0x01",
         "0x00, 0x00, 0x00, 0x01"},
        {"Ope_GoToApp_After", "0", "0", "1"},
    };
    Children expected[3];
    for (const Row& r : rows) {
        expected[0].emplace_back(r.name, r.firmware);
        expected[1].emplace_back(r.name, r.bank1);
        expected[2].emplace_back(r.name, r.bank2);
    }
    const std::vector<TXmlNode> ops = operationsOf(doc);
    ASSERT_EQ(ops.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ops[i].NodeName(), "Operation");
        EXPECT_EQ(childrenOf(ops[i]), expected[i]) << "operation " << i + 1;
    }
}

TEST_F(UpdaterParameters, NewBootOperationsFollowTheTickedBoxes) {
    struct Case {
        TUpdate_Request request;
        std::vector<std::string> files;
        std::vector<std::string> readBack;
        std::vector<std::string> goToAppAfter;
    };
    const std::string fw = "/opt/velmar/MASTER/Sim40526.sim";
    const std::string b1 = "/opt/velmar/PROJECTS/Boat/bin/bank1.bin";
    const std::string b2 = "/opt/velmar/PROJECTS/Boat/bin/bank2.bin";
    const Case cases[] = {
        {{"1.2.3.4", false, false, true, true}, {b1, b2}, {"1", "1"}, {"0", "1"}},
        {{"1.2.3.4", true, true, false, false}, {fw}, {"1"}, {"1"}},
        {{"1.2.3.4", true, false, true, false}, {fw, b1, b2}, {"0", "0", "0"}, {"0", "0", "1"}},
        {{"1.2.3.4", false, true, false, true}, {}, {}, {}},
    };
    for (const Case& c : cases) {
        Compile_XML_Parameter_New_Boot(doc, 25, c.request);
        std::vector<std::string> files, readBack, after;
        for (const TXmlNode& op : operationsOf(doc)) {
            files.push_back(textOf(op, "Ope_FileName"));
            readBack.push_back(textOf(op, "Ope_Read_Back"));
            after.push_back(textOf(op, "Ope_GoToApp_After"));
        }
        const std::string what =
            std::to_string(c.request.Firmware) + std::to_string(c.request.Conf);
        EXPECT_EQ(files, c.files) << what;
        EXPECT_EQ(readBack, c.readBack) << what;
        EXPECT_EQ(after, c.goToAppAfter) << what;
    }
    EXPECT_EQ(doc.DocumentElement().SelectSingleNode("Operations").ChildNodes().Count(), 0);
}

TEST_F(UpdaterParameters, OldBootFileHasTheRowOfEachType) {
    struct Case {
        int type;
        const char* title;
        std::vector<std::string> protections;
        const char* image;
        std::vector<std::pair<std::string, std::string>> configuration; // file, start
    };
    const std::vector<Case> cases = {
        {1,
         "Morvik - QS40518 Ethernet Update",
         {"0x104"},
         "Sim40518.sim",
         {{"bank.bin", "0x5B000"}}},
        {1001,
         "LRV-GM1-TP-485 Ethernet Update",
         {"0x104"},
         "Sim40518.sim",
         {{"bank.bin", "0x5B000"}}},
        {3,
         "Morvik - QS40520 Ethernet Update",
         {"0x106"},
         "Sim40520.sim",
         {{"bank.bin", "0x5B000"}}},
        {6,
         "Morvik - QS40512 Ethernet Update",
         {"0x174"},
         "Sim40512.sim",
         {{"bank.bin", "0x55000"}}},
        {9,
         "Morvik - QS40516 Ethernet Update",
         {"0x19E"},
         "Sim40516.sim",
         {{"bank.bin", "0x5B000"}}},
        {10,
         "Morvik - QS40516 Ethernet Update",
         {"0x119", "0x1BB"},
         "Sim40517.sim",
         {{"bank2.bin", "0x50800"}, {"bank1.bin", "0x68000"}}},
        {1010,
         "LRV-GB1-TP Ethernet Update",
         {"0x119", "0x1BB"},
         "Sim40517.sim",
         {{"bank2.bin", "0x50800"}, {"bank1.bin", "0x68000"}}},
        {15,
         "Morvik - QS40523 Ethernet Update",
         {"0x123"},
         "Sim40523.sim",
         {{"bank.bin", "0x63000"}}},
        {42, "Morvik - Ethernet Update", {"0x123"}, "Sim40523.sim", {{"bank.bin", "0x63000"}}},
    };
    for (const Case& c : cases) {
        Compile_XML_Parameter(doc, c.type, {"10.0.0.9", true, true, true, false});
        const TXmlNode root = doc.DocumentElement();
        EXPECT_EQ(textOf(root, "Title"), c.title) << c.type;
        EXPECT_EQ(textOf(root, "Address_Protection"), "0x78000") << c.type;
        std::vector<std::string> protections;
        for (const auto& [name, text] : childrenOf(root.SelectSingleNode("Protections")))
            protections.push_back(text);
        EXPECT_EQ(protections, c.protections) << c.type;

        const std::vector<TXmlNode> ops = operationsOf(doc);
        ASSERT_EQ(ops.size(), 1 + c.configuration.size()) << c.type;
        const TXmlNode fw = ops[0];
        EXPECT_EQ(childrenOf(fw).size(), 16u) << c.type;
        EXPECT_EQ(textOf(fw, "Ope_FileName"), std::string("/opt/velmar/MASTER/") + c.image);
        EXPECT_EQ(textOf(fw, "Ope_Start_Address"), "0x8000");
        EXPECT_EQ(textOf(fw, "Ope_Address_CSS"), "0x78100");
        EXPECT_EQ(textOf(fw, "Ope_Command_CSS"), "0x0B");
        EXPECT_EQ(textOf(fw, "Ope_Write_CSS"), "1");
        EXPECT_EQ(textOf(fw, "Ope_Read_Back"), "1");
        EXPECT_EQ(textOf(fw, "Ope_GoToApp_After"), "0");
        for (std::size_t i = 0; i < c.configuration.size(); ++i) {
            const TXmlNode op = ops[i + 1];
            EXPECT_EQ(textOf(op, "Ope_FileName"),
                      "/opt/velmar/PROJECTS/Boat/bin/" + c.configuration[i].first)
                << c.type;
            EXPECT_EQ(textOf(op, "Ope_Start_Address"), c.configuration[i].second) << c.type;
            EXPECT_EQ(textOf(op, "Ope_Bank_Type"), "2");
            EXPECT_EQ(textOf(op, "Ope_Read_Back"), "0");
            EXPECT_EQ(textOf(op, "Ope_Write_CSS"), "0");
            EXPECT_EQ(textOf(op, "Ope_Address_CSS"), "0x50100");
            const bool last = i + 1 == c.configuration.size();
            EXPECT_EQ(textOf(op, "Ope_GoToApp_After"), last ? "1" : "0") << c.type;
        }
    }
}

TEST_F(UpdaterParameters, MBusThirdOperationWritesInternalData) {
    Compile_XML_Parameter(doc, 10, {"10.0.0.9", false, false, true, true});
    const std::vector<TXmlNode> ops = operationsOf(doc);
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(childrenOf(ops[0]).size(), 16u);
    const Children third = childrenOf(ops[1]);
    ASSERT_EQ(third.size(), 20u);
    const Children tail(third.end() - 5, third.end());
    EXPECT_EQ(tail, (Children{{"Ope_Write_Internal_Data", "1"},
                              {"Ope_WID_Address", "0x78200"},
                              {"Ope_WID_Command", "0x0B"},
                              {"Ope_WID_Data", "0x01, 0x00, 0x00, 0x00"},
                              {"Ope_GoToApp_After", "1"}}));
    EXPECT_EQ(textOf(ops[1], "Ope_Read_Back"), "1");
}

TEST_F(UpdaterParameters, CommandLinesOfTheTcpUpdaters) {
    struct Case {
        int type;
        const char* updater;
        const char* image;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        EXPECT_EQ(Updater_Program(c.type), std::string("/opt/velmar/") + c.updater) << c.type;
        EXPECT_EQ(Updater_Command_Line(c.type, {"10.0.0.9", true, false, false, false}),
                  std::string("10.0.0.9 2007 FW NO NO NO \"/opt/velmar/MASTER/") + c.image +
                      "\" \"/opt/velmar/PROJECTS/Boat/bin/bank.bin\"")
            << c.type;
    }
    EXPECT_EQ(Updater_Command_Line(2, {"1.2.3.4", false, true, true, true}).substr(0, 24),
              "1.2.3.4 2007 NO FR PW PR");

    // A quote in the project's name stays part of the bank file's path.
    Project_Dir = "/opt/velmar/PROJECTS/My \"Boat\" 2";
    const std::vector<std::string> words =
        SplitParameters(Updater_Command_Line(2, {"1.2.3.4", true, true, true, true}));
    ASSERT_EQ(words.size(), 8u);
    EXPECT_EQ(words[6], "/opt/velmar/MASTER/sim40519.sim");
    EXPECT_EQ(words[7], "/opt/velmar/PROJECTS/My \"Boat\" 2/bin/bank.bin");
}

TEST_F(UpdaterParameters, ParameterFileTypesStartTheirUpdaterWithoutCommandLine) {
    struct Case {
        int type;
        const char* updater;
    };
    const Case cases[] = {
        {25, "Ethernet_Update.exe"},          {1, "Ethernet_Update.exe"},
        {3, "Ethernet_Update.exe"},           {6, "Ethernet_Update.exe"},
        {9, "Ethernet_Update.exe"},           {10, "Ethernet_Update.exe"},
        {15, "Ethernet_Update.exe"},          {1001, "Ethernet_Update_Lorvan.exe"},
        {1010, "Ethernet_Update_Lorvan.exe"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Updater_Program(c.type), std::string("/opt/velmar/") + c.updater) << c.type;
        EXPECT_EQ(Updater_Command_Line(c.type, {}), "") << c.type;
    }
    EXPECT_EQ(Updater_Program(42), "");
    EXPECT_EQ(Update_Parameter_File(), "/opt/velmar/Ethernet_Update.xml");
}

} // namespace
