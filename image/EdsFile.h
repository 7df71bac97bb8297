#pragma once
// The electronic data sheet (EDS) of the CANopen gateway (product type 6): the gateway as a
// CANopen slave, with its PDOs from PDO_CANopen.xml and its application variables from
// SDO_Server_CANopen.xml.
#include "platform/base/DateUtils.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr int EDS_PDO_Slots = 30;

struct EDS_PDO {
    std::uint32_t COB_ID = 0;
    std::uint32_t Dimension = 0; // data bytes
};

// The PDOs read last, per direction; only the first count slots are meaningful.
extern std::array<EDS_PDO, EDS_PDO_Slots> EDS_Receive_PDO;
extern std::array<EDS_PDO, EDS_PDO_Slots> EDS_Transmit_PDO;
extern int EDS_Receive_Count;
extern int EDS_Transmit_Count;

struct SDO_Sub_Type {
    std::uint8_t Sub = 0;
    std::uint8_t Quantity = 0; // data bytes
    bool Readonly = false;     // an entry of SDO_Read
    std::string Mnemonic;      // left empty
};

struct SDO_Index {
    std::uint16_t Index = 0;
    std::vector<SDO_Sub_Type> Sub_Indexs;
};

// The SDO server's objects in order of first appearance of each index.
extern std::vector<SDO_Index> SDO_Index_List;

// Reads the PDO file at path into the PDO slots; a missing file gives no PDOs. A missing
// section, and more PDOs in one direction than there are slots, raise EImageError.
void Read_PDO_CANopen(const std::string& path);
// Appends the entries of the SDO server file at path to SDO_Index_List; a missing file adds
// nothing. A missing section and a row without a numeric Index, SubIndex or NByte raise
// EImageError.
void Read_SDO_Server_CANopen(const std::string& path);
// Position in SDO_Index_List of the first entry with Index, or -1.
int Find_SDO_Index(int Index);
// Sorts the sub entries of every index by Sub, keeping the order of equal ones.
void Sort_SDO_Sub_Indexs();

// The time stamp texts of the file: "MM-DD-YYYY" and a 12-hour "hh:mmAM" / "hh:mmPM".
std::string EDS_Date(TDateTime now);
std::string EDS_Time(TDateTime now);

// Reads the two project files of project_dir and returns the lines of the data sheet stamped
// with now.
std::vector<std::string> Build_EDS(const std::string& project_dir, TDateTime now);
// Builds the data sheet and writes it to Path: 8-bit text, every line ended by CR LF, an
// existing file replaced. A failure while reading leaves Path untouched.
void Write_EDS(const std::string& Path, const std::string& project_dir, TDateTime now);
// The same for the open project and the current local time.
void Write_EDS(const std::string& Path);
