#pragma once
// A written document read back through the XML layer (kept apart from the grid's headers).
#include <string>

struct DocView {
    std::string Tables;       // a row a line, cells separated by "|", line breaks as "\n"
    std::string Blocks;       // the body's blocks: "p(text) ", "t ", "s " (section properties)
    std::string RightAligned; // the texts of right-aligned table cells, each followed by " "
};

// The main part of the document at the path (word/document.xml or the part the package names).
DocView ReadDocumentPart(const std::string& xml);
