#pragma once
// DMX_Default_Values.xml without a window: per channel, in channel order, the value sent until
// KNX supplies one and a mnemonic. The image compiler reads every row, so the rows past the
// channels the dialog shows still reach the device and a save keeps them.
#include <string>
#include <vector>

struct TDMX_Default_Row {
    std::string Default_Value = "0";
    std::string Mnemonic;
};

// The rows of the file at path, the root's elements in order (a missing attribute gives an
// empty text); none when the file does not exist. A file that is not well-formed raises.
std::vector<TDMX_Default_Row> Load_DMX_Default_Rows(const std::string& path);

// Writes rows as channels 1.., then the rows of file past them, to path.
void Save_DMX_Default_Rows(const std::vector<TDMX_Default_Row>& rows,
                           const std::vector<TDMX_Default_Row>& file, const std::string& path);
