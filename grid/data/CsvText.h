#pragma once
// Delimiter-separated text: the field writer, the record reader and the delimiter detection of
// the grid's CSV files, shared with every service that exchanges cells as CSV text.
#include <string>
#include <string_view>
#include <vector>

struct TCsvOptions {
    char Delimiter = ',';
    // Every field in double quotes.
    bool AlwaysQuotes = false;
    // An empty field as two double quotes.
    bool QuoteEmptyCells = true;
    // Line breaks as "~", an empty field as "^".
    bool JavaCSV = false;
    // Field texts to (writing) or from (reading) the OEM code page.
    bool OemConvert = false;
};

// Appends one cell text as a field: quotes doubled; the field enclosed in quotes with
// AlwaysQuotes, or when it holds a quote, the delimiter, a line break or leading blanks (which a
// reader would drop); line breaks as character 11 in a field that is not otherwise quoted, as
// "~" with JavaCSV, else kept inside the quotes as line feeds.
void AppendCsvField(std::string& Line, std::string_view Text, const TCsvOptions& Options);

// The delimiter of a file from its first two lines (Line2 empty for a one-line file): the first
// of "," ";" "#" TAB "|" "@" "*" "-" "+" "&" that ends as many fields in both lines, and more
// than any candidate before; failing that the same count of occurrences; failing that the most
// occurrences in either line. Character 0 when no candidate occurs.
char DetectCsvDelimiter(std::string_view Line1, std::string_view Line2);

// Reads records from CSV text. A record ends at a line end (CR LF, LF or CR) outside quotes; a
// field in quotes may hold delimiters, doubled quotes and line breaks (read as CR LF, a lone CR
// kept), and a quote left open takes the rest of the text. Blanks before a field are dropped,
// except that a last field of blanks keeps one. Fields are decoded (character 11 or "~" and
// "^" to their texts); an empty last field after a delimiter is no field.
class TCsvReader {
public:
    TCsvReader(std::string_view Text, const TCsvOptions& Options);
    // The next record's fields; false when no record is left.
    bool NextRecord(std::vector<std::string>& Fields);
    // The number of records from the current one to the end (reading nothing).
    int CountRecords() const;

private:
    // Reads the field at pos_; answers whether a delimiter follows it.
    bool readField(std::string& Field, bool& Quoted);
    bool atLineEnd(std::size_t p) const;
    std::string_view text_;
    TCsvOptions options_;
    std::size_t pos_ = 0;
};
