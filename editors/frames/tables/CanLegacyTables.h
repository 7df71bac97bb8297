#pragma once
// The older CAN layout without a window: the receive and send frame lists (identifier, format,
// length, time) kept in a section of CAN_Rec_Frames.xml and CAN_Send_Frames.xml, and the byte
// maps that place the data bytes of each listed frame in the gateway byte image, kept in
// CAN_Rec_Info.xml and CAN_Send_Info.xml. TFCAN_Rec_Frames, TFCAN_Send_Frame, TF_Rec_Info and
// TF_Sen_Info show them.
#include "editors/frames/tables/NmeaTables.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr int CAN_List_Rows = 500;

// Columns 1.. of the frame lists; column 0 is the row number, 64 pixels wide. Column 1 is
// the key (Cob-ID). Every attribute is required.
extern const std::vector<TTable_Column> CAN_Rec_List_Columns;
extern const std::vector<TTable_Column> CAN_Send_List_Columns;
extern const std::vector<std::string> CAN_Send_Type_Items;

TRow_Table New_CAN_List(const std::vector<TTable_Column>& columns);

// Empty the table and read the frame list at path into it. False when the file does not
// exist. A file that is not well-formed, has no section of this layout (a file of the frame
// tables of today), has a row without one of the attributes or more rows than the table raises
// with a message naming the file, the rows read before staying in the table.
bool Load_CAN_Rec_List(TRow_Table& table, const std::string& path);
bool Load_CAN_Send_List(TRow_Table& table, const std::string& path);

// The check made on OK: empty when the list is valid, else the message of the first error.
std::string Check_CAN_Rec_List(const TRow_Table& table);
std::string Check_CAN_Send_List(const TRow_Table& table);

// Write the rows up to the first empty Cob-ID to path; the version comment is written for
// product type 5 only.
void Save_CAN_Rec_List(const TRow_Table& table, int product_type, const std::string& path);
void Save_CAN_Send_List(const TRow_Table& table, int product_type, const std::string& path);

// --- byte maps -------------------------------------------------------------------------------

// Positions of the byte image 0 .. CAN_Info_Max_Byte - 1.
constexpr int CAN_Info_Max_Byte = 1439;
constexpr std::uint16_t CAN_Info_None = 65535;

// One listed frame: its Cob_Id text, its number of data bytes and the position of each data
// byte (CAN_Info_None: none).
struct TRecInfo {
    std::string Cob_Id;
    int Dim = 0;
    std::array<std::uint16_t, 8> PosB{CAN_Info_None, CAN_Info_None, CAN_Info_None, CAN_Info_None,
                                      CAN_Info_None, CAN_Info_None, CAN_Info_None, CAN_Info_None};
};

enum class TCan_Direction { Receive, Send };

// The frames of the frame list at path, every position none. None when the file does not
// exist or holds no list of this direction; a row without Cob_Id or with a Dimension that is
// no number raises with a message naming the file.
std::vector<TRecInfo> Load_CAN_Info_Frames(TCan_Direction direction, const std::string& path);
// Reads the positions of the byte map at path into frames (row i for frame i; positions
// beyond a frame's Dim stay none). A B value that is no number or no position raises with a
// message naming the file, the frames before keeping what was read. True when the file holds
// rows for frames that are not listed, which a save would drop.
bool Load_CAN_Info(std::vector<TRecInfo>& frames, const std::string& path);

// The position a typed text gives: none for an empty text or "none" in any case, else a
// number 0 .. max_byte - 1. False for any other text.
bool CAN_Info_Position(const std::string& text, int max_byte, std::uint16_t& position);
// The message when text gives no position for data byte k (1..8).
std::string CAN_Info_Position_Error(TCan_Direction direction, int k, int max_byte);

// The receive check: no position may receive two bytes. Empty, or the message naming the
// position, the later frame and byte, then the first.
std::string Check_CAN_Rec_Info(const std::vector<TRecInfo>& frames);

// Writes one "row" per frame with B1 .. B8; the version comment for product type 5 only.
void Save_CAN_Info(TCan_Direction direction, const std::vector<TRecInfo>& frames, int product_type,
                   const std::string& path);
