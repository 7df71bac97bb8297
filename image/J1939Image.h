#pragma once
// The image of the J1939 gateway (product type 9): bank.bin holds the receive and transmit PGN
// tables, the KNX object table and the settings block.
#include <string>

// Bit 7 of PGN_Entry::PGN_Flags of a receive row: the gateway requests the group itself.
constexpr unsigned PGN_Flag_Request = 1u << 7;

// The type-9 compile of the project in project_dir.
void Compile_J1939(const std::string& project_dir);
// Reads the J1939 and network keys of the ParGen file at path into Settings_Record and
// Rx_Data_Timeout; the flash addresses are stored first.
void Read_ParGen_J1939(const std::string& path);
// Reads both frame files into the PGN tables and stores the counts. A file with more rows than
// a table holds, or with data runs that the 16-bit offsets and counts cannot hold, raises
// EImageError.
void Read_J1939_Frames(const std::string& rec_path, const std::string& send_path);
