#include "shell/state/ProgramState.h"

#include "platform/serial/SerialPort.h"

#include <gtest/gtest.h>

namespace {

class ProgramState : public ::testing::Test {
protected:
    void SetUp() override { Reset_Program_State(); }
    void TearDown() override { Reset_Program_State(); }
};

} // namespace

TEST_F(ProgramState, StartsWithTheDocumentedDefaults) {
    EXPECT_EQ(Product_Type(), Built_Product_Type());
    EXPECT_EQ(Last_IP, "192.168.2.205");
    EXPECT_EQ(Language_Name, "English");
    EXPECT_FALSE(Internet_Enabled);
    EXPECT_FALSE(Update_Check_Enabled);
    EXPECT_FALSE(Grid_Enter_Next_Enabled);
    EXPECT_FALSE(Grid_Auto_Size_Enabled);
    EXPECT_EQ(Project_Dir, "");
    EXPECT_EQ(Row_Clipboard.Count(), 0);
}

TEST_F(ProgramState, PlacesTheProgramFoldersBelowTheProgramDir) {
    Set_Program_Dir("/opt/gw");
    EXPECT_EQ(Program_Dir, "/opt/gw");
    EXPECT_EQ(Master_Dir, "/opt/gw/MASTER");
    EXPECT_EQ(Projects_Dir, "/opt/gw/PROJECTS");
    EXPECT_EQ(Language_Dir, "/opt/gw/LANGUAGE");
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
