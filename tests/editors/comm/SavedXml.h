#pragma once
// Reading back the files the table dialogs save (apart from the grid headers, whose names
// clash with the XML library's).
#include <string>
#include <vector>

namespace savedxml {

using Row = std::vector<std::string>;

// The attribute texts of the "row" elements below the root, or below the root's child section;
// each row's attribute names must be attributes, in that order.
std::vector<Row> rows(const std::string& path, const char* section,
                      const std::vector<std::string>& attributes);
// The top-level nodes: an element's name, a comment's text.
std::vector<std::string> topLevel(const std::string& path);

} // namespace savedxml
