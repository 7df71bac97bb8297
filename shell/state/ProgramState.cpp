#include "shell/state/ProgramState.h"

#include "platform/files/Files.h"
#include "platform/serial/SerialPort.h"

std::string Program_Dir;
std::string Master_Dir;
std::string Projects_Dir;
std::string Language_Dir;
std::string Project_Name;
std::string Project_Dir;

std::string File_ParGen;
std::string File_KNX_SetAccess;
std::string File_ModbusM_SetAccess;
std::string File_ModbusTCPM_SetAccess;
std::string File_CAN_Rec_Frames;
std::string File_CAN_Send_Frames;
std::string File_CAN_Rec_Info;
std::string File_CAN_Send_Info;
std::string File_SDO_Server_CANopen;
std::string File_SDO_Client_CANopen;
std::string File_PDO_CANopen;
std::string File_DNETM_Net;
std::string File_DNETM_DefOff;
std::string File_J1939_Rec_Frames;
std::string File_J1939_Send_Frames;
std::string File_M_Bus;
std::string File_DMX_Default_Values;
std::string File_NMEA_Rec_Frames;
std::string File_NMEA_Send_Frames;

std::string Last_IP = "192.168.2.205";
std::string Language_Name = "English";
bool Internet_Enabled = false;
bool Update_Check_Enabled = false;
std::string Window_Caption;
std::string SW_Code;
std::string SW_Desc;
bool Grid_Enter_Next_Enabled = false;
bool Grid_Auto_Size_Enabled = false;

TStringList Row_Clipboard;

void Set_Program_Dir(const std::string& Dir) {
    Program_Dir = Dir;
    Master_Dir = PathJoin(Dir, "MASTER");
    Projects_Dir = PathJoin(Dir, "PROJECTS");
    Language_Dir = PathJoin(Dir, "LANGUAGE");
}

std::string Project_Folder(const std::string& Name) {
    return PathJoin(Projects_Dir, Name);
}

bool Is_Plain_Name(std::string_view Name) {
    return !Name.empty() && Name != "." && Name != ".." &&
           Name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

std::string Project_File_Path(const std::string& Dir, const std::string& File_Name) {
    // As the model concatenates them, an empty Dir gives a path at the root ("/ParGen.xml").
    return Dir.empty() ? "/" + File_Name : PathJoin(Dir, File_Name);
}

void Set_Files() {
    struct Entry {
        std::string* path;
        const char* base;
    };
    const Entry files[] = {
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
    for (const Entry& f : files)
        *f.path = Project_File_Path(Project_Dir, std::string(f.base) + ".xml");
}

void Reset_Program_State() {
    Set_Product_Type(Built_Product_Type());
    Program_Dir.clear();
    Master_Dir.clear();
    Projects_Dir.clear();
    Language_Dir.clear();
    Project_Name.clear();
    Project_Dir.clear();
    Set_Files();
    Last_IP = "192.168.2.205";
    Language_Name = "English";
    Internet_Enabled = false;
    Update_Check_Enabled = false;
    Window_Caption.clear();
    SW_Code.clear();
    SW_Desc.clear();
    Grid_Enter_Next_Enabled = false;
    Grid_Auto_Size_Enabled = false;
    Row_Clipboard.Clear();
}

std::unique_ptr<TStringList> List_COM_Ports() {
    auto ports = std::make_unique<TStringList>();
    for (int n = 1; n <= 256; ++n)
        if (SerialPortPresent("\\\\.\\COM" + std::to_string(n))) ports->Add(std::to_string(n));
    return ports;
}

int Get_BACnet_No_Units() {
    return 95;
}

int Get_XML_Code_Dev() {
    return Is_MBus_Type() ? 15 : 0;
}

int Is_MBus_Type() {
    const int type = Product_Type();
    return type == 10 || type == 1010 ? 1 : 0;
}
