#pragma once
// What the device-update dialog hands to the external updater programs: the parameter file
// Ethernet_Update.xml (newer and older boot loader layouts) or the command line of a TCP
// updater, by product type.
#include "platform/xml/XmlDoc.h"

#include <string>

// The dialog's choices: the gateway's address and the four check boxes.
struct TUpdate_Request {
    std::string IP_Address; // the four octets joined with "."
    bool Firmware = true;   // write the firmware
    bool Read_Firm = true;  // read it back
    bool Conf = true;       // write the configuration (bank files)
    bool Read_Conf = true;  // read it back
};

// Fills Doc (emptied first) with the layout of the newer boot loader (type 25).
void Compile_XML_Parameter_New_Boot(TXMLDocument& Doc, int Type, const TUpdate_Request& Request);
// Fills Doc (emptied first) with the layout of the older boot loader (1, 1001, 3, 6, 9, 10,
// 1010, 15; any other type gets the fallback row).
void Compile_XML_Parameter(TXMLDocument& Doc, int Type, const TUpdate_Request& Request);

// Path of the parameter file: Program_Dir + "\Ethernet_Update.xml".
std::string Update_Parameter_File();
// Full path of the updater program of a type: Ethernet_Update.exe (Ethernet_Update_Lorvan.exe
// for 1001 and 1010) for the parameter-file types, the TCP updater for the command-line types;
// "" for a type without an update method.
std::string Updater_Program(int Type);
// Parameters of the TCP updater of a command-line type: address, " 2007 ", the four tokens,
// the quoted firmware image and the quoted bank file; "" for the other types.
std::string Updater_Command_Line(int Type, const TUpdate_Request& Request);
