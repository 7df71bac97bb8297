#pragma once
// The project's M-Bus network file "M_Bus.xml": the editor's reader and writer, and the scan
// writers that store the slaves a scan found into a new file or append them to the file.
#include "mbus/net/MBusNetwork.h"
#include "mbus/scan/Slave_MBus.h"
#include "platform/base/SysUtils.h"

#include <functional>
#include <string>
#include <vector>

// A network file that cannot be read: not well-formed, or a variable without a numeric "Type",
// "Fun_Field" or "Dim". The message names the file and, for a variable, its node and attribute.
class EMBusFileError : public Exception {
public:
    using Exception::Exception;
};

// What a network file can hold: the wired meters of one bus, a wireless meter for each byte of
// the data area (each delivers at least one), and as many variables as one node record can
// count. The readers refuse a larger file before they build anything; the writers refuse to
// write one.
constexpr int MBus_Max_Wired_Nodes = 255;
constexpr int MBus_Max_Wireless_Nodes = Max_Wireless_Senders;
constexpr int MBus_Max_Variables = 65535;

// Reads the network file at Path and appends its nodes to Nodi, in file order. A missing file
// appends nothing and returns false. On EMBusFileError, Nodi keeps the nodes read up to the
// failure (the failing node with the variables before the bad one); a file larger than a
// network can hold is refused before any node is read.
bool Read_MBus_Network_File(const std::string& Path, TNodi_List& Nodi);

// Rewrites the file at Path from Nodi, with the version comment after the network element.
void Write_MBus_Network_File(const std::string& Path, const TNodi_List& Nodi);

// What the scan window hands to the scan writers.
struct TSaveConfXML {
    int Append = 0; // 1 appends to File_Name, otherwise a new file is written
    int XML_Code_Dev = 15;
    int Mod_Start = 1; // first register number given to the variables
    int Index_Baud = 0;
    int Index_Par = 0;
    int Node_ID_Type = 0; // 0 primary, 1 secondary addressing of every wired node
    int SND_NKE = 0;
    int Reset_App = 0;
    int Cut_After = 3; // telegrams read from every wired node
    int StartModnode = 0;
    std::vector<int> SMN_Array;
    bool En_NodeState = false;
    bool En_IdeNum = false;
    std::string File_Name;
};

// Whether the tree item of a slave or record is ticked; a slave or record without an item
// counts as ticked.
using TIs_Ticked = std::function<bool(void* Node)>;

// Write the wired slaves / wireless senders into Conf.File_Name. False when the list is empty
// (no file is touched); EMBusFileError when the network would be larger than it can hold. Appending
// takes the document element of the loaded file as the network; a file that cannot be loaded raises
// and nothing is written.
bool Save_XML_Conf_Wired(const TSaveConfXML& Conf, const TSlave_MBus_List& Slaves,
                         const TIs_Ticked& Is_Ticked);
bool Save_XML_Conf_Wireless(const TSaveConfXML& Conf, const TSlave_wMBus_List& Slaves);

// Modbus registers a scanned record takes, by its data field code and byte count.
int Record_Registers(int Data_Field, int Nbyte);
// The "Dim" index of a data field code; 255 for a code without a data size.
int Record_Dimension(int Data_Field);
