#include "shell/state/ProgramState.h"

#include "platform/serial/SerialPort.h"
#include "shell/state/Settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace {

class ProgramState : public ::testing::Test {
protected:
    void SetUp() override { Reset_Program_State(); }
    void TearDown() override { Reset_Program_State(); }
};

} // namespace

// The program-wide defaults are written twice: in the reset and in the settings reader's
// defaults for a missing file. A fresh start without a settings file sees the same values.
TEST_F(ProgramState, ResetGivesWhatAStartWithoutSettingsReads) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("knx-state-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    auto scribble = [] {
        Set_Product_Type(10);
        Project_Name = "Boat";
        Project_Dir = "/p/PROJECTS/Boat";
        Set_Files();
        Last_IP = "1.2.3.4";
        Language_Name = "Italiano";
        Internet_Enabled = Update_Check_Enabled = true;
        Row_Clipboard.Add("row");
    };
    scribble();
    Reset_Program_State();
    const std::vector<std::string> reset{Project_Name,
                                         Project_Dir,
                                         Last_IP,
                                         Language_Name,
                                         Internet_Enabled ? "1" : "0",
                                         Update_Check_Enabled ? "1" : "0",
                                         File_ParGen};
    EXPECT_EQ(Product_Type(), Built_Product_Type());
    EXPECT_EQ(Row_Clipboard.Count(), 0);

    scribble();
    Set_Program_Dir(dir.string());
    Read_Setting();
    Set_Files();
    const std::vector<std::string> started{Project_Name,
                                           Project_Dir,
                                           Last_IP,
                                           Language_Name,
                                           Internet_Enabled ? "1" : "0",
                                           Update_Check_Enabled ? "1" : "0",
                                           File_ParGen};
    EXPECT_EQ(started, reset);
    std::filesystem::remove_all(dir);
}

TEST_F(ProgramState, NamesJoinedToTheProgramFoldersStayInside) {
    Set_Program_Dir("/opt/g\\w");
    EXPECT_EQ(Projects_Dir, "/opt/g\\w/PROJECTS");
    EXPECT_EQ(Project_Folder("a\\..\\b"), "/opt/g\\w/PROJECTS/a\\..\\b");
    Project_Dir = Project_Folder("Bo\\at");
    Set_Files();
    EXPECT_EQ(File_ParGen, "/opt/g\\w/PROJECTS/Bo\\at/ParGen.xml");

    struct Case {
        std::string name;
        bool plain;
    };
    const Case cases[] = {
        {"Boat", true},
        {"Schiff M\xC3\xBCller", true},
        {"a..b", true},
        {".hidden", true},
        {"", false},
        {".", false},
        {"..", false},
        {"/etc", false},
        {"a/b", false},
        {"a\\b", false},
        {std::string("a\0b", 3), false},
    };
    for (const Case& c : cases) EXPECT_EQ(Is_Plain_Name(c.name), c.plain) << c.name;
}

TEST_F(ProgramState, SetFilesDerivesTheNineteenPathsFromTheProjectDir) {
    Project_Dir = "/opt/gw/PROJECTS/Boat";
    Set_Files();
    struct Case {
        const std::string* path;
        const char* base;
    };
    const Case cases[] = {
        {&File_ParGen, "ParGen"},
        {&File_KNX_SetAccess, "KNX_SetAccess"},
        {&File_ModbusM_SetAccess, "ModbusM_SetAccess"},
        {&File_ModbusTCPM_SetAccess, "ModbusTCPM_SetAccess"},
        {&File_CAN_Rec_Frames, "CAN_Rec_Frames"},
        {&File_CAN_Send_Frames, "CAN_Send_Frames"},
        {&File_CAN_Rec_Info, "CAN_Rec_Info"},
        {&File_CAN_Send_Info, "CAN_Send_Info"},
        {&File_SDO_Server_CANopen, "SDO_Server_CANopen"},
        {&File_SDO_Client_CANopen, "SDO_Client_CANopen"},
        {&File_PDO_CANopen, "PDO_CANopen"},
        {&File_DNETM_Net, "DNETM_Net"},
        {&File_DNETM_DefOff, "DNETM_DefOff"},
        {&File_J1939_Rec_Frames, "J1939_Rec_Frames"},
        {&File_J1939_Send_Frames, "J1939_Send_Frames"},
        {&File_M_Bus, "M_Bus"},
        {&File_DMX_Default_Values, "DMX_Default_Values"},
        {&File_NMEA_Rec_Frames, "NMEA_Rec_Frames"},
        {&File_NMEA_Send_Frames, "NMEA_Send_Frames"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(*c.path, std::string("/opt/gw/PROJECTS/Boat/") + c.base + ".xml") << c.base;

    Project_Dir.clear();
    Set_Files();
    EXPECT_EQ(File_ParGen, "/ParGen.xml");
    EXPECT_EQ(File_NMEA_Send_Frames, "/NMEA_Send_Frames.xml");
}

TEST_F(ProgramState, MBusHelpersFollowTheProductType) {
    struct Case {
        int type, xmlCode, mbus;
    };
    const Case cases[] = {{10, 15, 1}, {1010, 15, 1}, {25, 0, 0}, {1, 0, 0}, {11, 0, 0}};
    for (const auto& c : cases) {
        Set_Product_Type(c.type);
        EXPECT_EQ(Product_Type(), c.type);
        EXPECT_EQ(Get_XML_Code_Dev(), c.xmlCode) << c.type;
        EXPECT_EQ(Is_MBus_Type(), c.mbus) << c.type;
    }
    EXPECT_EQ(Get_BACnet_No_Units(), 95);
}

TEST_F(ProgramState, ListsThePresentComPortsInAscendingOrder) {
    SetSerialPortMapper([](int number) {
        return number == 12 || number == 3 || number == 256 ? std::string("/dev/null")
                                                            : std::string();
    });
    const std::unique_ptr<TStringList> ports = List_COM_Ports();
    SetSerialPortMapper(nullptr);
    EXPECT_EQ(ports->ToVector(), (std::vector<std::string>{"3", "12", "256"}));
}
