#pragma once
// The GSDML device description of the PROFINET gateway (product types 12 and 1012) and the
// rule that composes its file name.
#include "platform/base/DateUtils.h"

#include <string>
#include <vector>

// The cyclic data sizes of ParGen.xml; 1438 for a missing file, key or number.
struct TPROFINET_Sizes {
    int NB_IN = 1438;
    int NB_OUT = 1438;
};
TPROFINET_Sizes Read_PROFINET_Sizes(const std::string& project_dir);

// The lines of the document for product_type with the sizes of project_dir.
std::vector<std::string> Build_GSDML(int product_type, const std::string& project_dir);
// Builds the document and writes it to Path in UTF-8 with a byte-order mark, every line ended
// by CR LF, an existing file replaced.
void Write_GSDML(const std::string& Path, int product_type, const std::string& project_dir);

// The first fixed part of the file name ("GSDML-V2.31-Morvik-QV40522"), empty for a product
// type without a GSDML file.
std::string GSDML_Fixed_Part(int product_type);
// The date part: "-", year, month and day with two digits each, ".xml" ("-20210307.xml").
std::string GSDML_Date_Part(TDateTime date);
// fixed + date when the user part is blank; otherwise the user part as typed between them,
// joined by "_" unless it begins with one.
std::string Compose_GSDML_File_Name(const std::string& fixed, const std::string& user,
                                    const std::string& date);
