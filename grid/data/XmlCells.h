#pragma once
// Cells as XML: a list of records written as a document, and the walk that reads the elements
// and attributes of a document into cell positions. The grid supplies the cells.
#include "platform/base/Types.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// One record: its fields' element names and texts.
using TXMLRecord = std::vector<std::pair<std::string, std::string>>;

// Writes <ListName> holding one <RecordName> element per record, a line per element, in
// Encoding (declared); raises the XML layer's and the files layer's errors.
void WriteXMLRecords(const std::string& FileName, const std::string& Encoding,
                     const std::string& ListName, const std::string& RecordName,
                     const std::vector<TXMLRecord>& Records);

struct TXMLCellWalk {
    int StartCol = 0;
    int StartRow = 0;
    bool LevelToRow = false;
    bool LoadFieldNames = false;
    // Names go into row 0 (when the cell there is empty).
    bool NamesInHeader = false;
    // Two double quotes read as an empty text.
    bool QuoteEmptyCells = true;
    // Makes the cell (column, row) exist.
    std::function<void(int Col, int Row)> Grow;
    std::function<void(int Col, int Row, const std::string& Text)> Store;
    std::function<bool(int Col)> HeaderEmpty;
};

// Reads the document's records into cells through Walk; answers the largest column and row
// stored. Raises Exception "XML file not found" and "XMLDOM Parsing error: <reason>".
TPoint ReadXMLCells(const std::string& FileName, const TXMLCellWalk& Walk);
