#pragma once
// Checks and conversions of the KNX table's texts, shared by the editors and the image
// compiler.
#include <string_view>

// 0 when Text is a valid KNX address, 1 otherwise. Group selects a group address
// (main/sub, main/middle/sub or a plain number); otherwise an individual address
// (area.line.device or a plain number). Allow_Zero admits the individual address 0.0.0.
int Check_KNX_Address(std::string_view Text, bool Group, bool Allow_Zero);
// True when the text holds no "." (a destination written without a dot is a group address).
bool Has_No_Dot(std::string_view Text);
// "WRITE" 128, "READ" 0 (any letter case), otherwise the whole-number value of the text, 0
// when it is none.
int Str_To_Access_Flag(std::string_view Text);
// "SYSTEM" 0, "NORMAL" 1, "URGENT" 2, "LOW" 3 (any letter case); any other text 1.
int Str_To_KNX_Priority(std::string_view Text);
// The conversion format code in the upper four bits of a 16-bit word: "NONE" 0x0000,
// "SWAP16" 0x1000 ... "FLOAT16 TO INT * 100" 0x9000 (any letter case); any other text 0.
int Str_To_Conversion(std::string_view Text);
