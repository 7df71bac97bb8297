#pragma once
// Process-wide state of the program: the product type, the program's folders, the open
// project and its file paths, the settings of the settings file and the row clipboard of the
// table editors, with a few small helpers around them.
#include "platform/base/Classes.h"

#include <memory>
#include <string>
#include <string_view>

// --- product type -------------------------------------------------------------------------
// The gateway variant this program serves; the build setting PRODUCT_TYPE (25 by default).
int Product_Type();
// Changes the variant at run time; only tests call it, to run every type.
void Set_Product_Type(int value);
// The value compiled into the program, whatever Set_Product_Type did since.
int Built_Product_Type();

// --- folders and the open project ---------------------------------------------------------
extern std::string Program_Dir;  // folder of the program file, no trailing separator
extern std::string Master_Dir;   // Program_Dir/MASTER
extern std::string Projects_Dir; // Program_Dir/PROJECTS
extern std::string Language_Dir; // Program_Dir/LANGUAGE
extern std::string Project_Name; // name of the open project
extern std::string Project_Dir;  // Project_Folder(Project_Name); empty while none is open

// Sets Program_Dir and the three folders below it (they are not created here).
void Set_Program_Dir(const std::string& Dir);
// The folder of the project named Name: Projects_Dir/Name.
std::string Project_Folder(const std::string& Name);
// True when Name is one plain name of a file or folder: not empty, not "." or "..", and
// without "/", "\" or NUL, so joined to a folder it stays inside that folder.
bool Is_Plain_Name(std::string_view Name);

// The 19 project files; Set_Files computes them from Project_Dir.
extern std::string File_ParGen;
extern std::string File_KNX_SetAccess;
extern std::string File_ModbusM_SetAccess;
extern std::string File_ModbusTCPM_SetAccess;
extern std::string File_CAN_Rec_Frames;
extern std::string File_CAN_Send_Frames;
extern std::string File_CAN_Rec_Info;
extern std::string File_CAN_Send_Info;
extern std::string File_SDO_Server_CANopen;
extern std::string File_SDO_Client_CANopen;
extern std::string File_PDO_CANopen;
extern std::string File_DNETM_Net;
extern std::string File_DNETM_DefOff;
extern std::string File_J1939_Rec_Frames;
extern std::string File_J1939_Send_Frames;
extern std::string File_M_Bus;
extern std::string File_DMX_Default_Values;
extern std::string File_NMEA_Rec_Frames;
extern std::string File_NMEA_Send_Frames;

// Recomputes the 19 paths as Project_Dir/base.xml; with no project open they are
// "/ParGen.xml" and so on, as the model builds them.
void Set_Files();
// The path of a project file: Dir/File_Name (File_Name with its extension).
std::string Project_File_Path(const std::string& Dir, const std::string& File_Name);

// --- settings and texts of the variant ----------------------------------------------------
extern std::string Last_IP;       // last gateway address, "192.168.2.205" by default
extern std::string Language_Name; // base name of the language file, "English" by default
extern bool Internet_Enabled;
extern bool Update_Check_Enabled;
extern std::string Window_Caption;
extern std::string SW_Code;
extern std::string SW_Desc;
// Enter moves to the next cell, and a header double-click sizes a column, in the NMEA 2000
// editors; both stay off in every build.
extern bool Grid_Enter_Next_Enabled;
extern bool Grid_Auto_Size_Enabled;

// --- shared lists -------------------------------------------------------------------------
// Cells 1 .. ColCount-1 of the row last copied in a table editor; empty until the first copy.
extern TStringList Row_Clipboard;
// The wired and wireless M-Bus slave lists belong to the M-Bus records (mbus/scan).

// Puts every variable above back to its start-up value (tests, and before a new start-up).
void Reset_Program_State();

// --- small helpers ------------------------------------------------------------------------
// A new list of the numbers (decimal text, ascending) of the COM ports 1..256 that exist,
// in use or not. The caller owns the list.
std::unique_ptr<TStringList> List_COM_Ports();
// Units value written for each M-Bus variable by the scan's file writer.
int Get_BACnet_No_Units();
// 15 for the M-Bus variants (10, 1010), else 0.
int Get_XML_Code_Dev();
// 1 for the M-Bus variants (10, 1010), else 0.
int Is_MBus_Type();
