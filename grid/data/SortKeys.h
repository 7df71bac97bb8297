#pragma once
// The comparison rules of grid sorting, as keys read once per cell: a column's style decides
// whether its cells compare as texts (in UTF-16 code unit order, folded or not), as numbers
// (numbers, dates, times, check states, image keys) or through the caller's events.
#include "grid/data/DataSettings.h"

#include <string>
#include <string_view>
#include <vector>

// A UTF-8 byte's weight in UTF-16 code unit order: texts compare as their bytes' weights do,
// the shorter first when one begins the other.
inline unsigned char Utf16OrderByte(unsigned char c) {
    // Characters past U+FFFF are surrogate pairs in UTF-16 and sort between U+D7FF and U+E000:
    // their lead bytes (F0..FF) move between ED and EE, and EE, EF move to the top.
    if (c >= 0xF0) return static_cast<unsigned char>(c - 0xF0 + 0xEE);
    if (c >= 0xEE) return static_cast<unsigned char>(c - 0xEE + 0xFE);
    return c;
}
// -1, 0 or 1: ordinal comparison of the UTF-16 code units of two UTF-8 texts.
int CompareUtf16Order(std::string_view A, std::string_view B);

// The style ssAutomatic stands for, decided once for all texts of a column: check boxes when
// the first cell is one, numbers when every non-empty text is a number, dates (date-times)
// when every one has the locale's date separator between digits at its second or third
// character, times likewise with the time separator, else texts (folded with IgnoreCase).
TSortStyle ResolveAutomaticStyle(const std::vector<std::string>& Texts, bool FirstIsCheckBox,
                                 bool IgnoreCase);
// ssAlphaNumeric(NoCase): numbers when every non-empty text is one, else texts.
TSortStyle ResolveAlphaNumericStyle(const std::vector<std::string>& Texts, bool NoCase);

enum class TSortKeyKind { Text, Number, Custom, Raw };
TSortKeyKind SortKeyKind(TSortStyle Style);

// A text's key under a style: Text the compared text (folded for the no-case styles, without
// markup for ssHTML), Number its value (0 when it does not convert), Empty whether the text
// left by the style is empty (for IgnoreBlanks).
struct TSortKey {
    std::string Text;
    double Number = 0;
    bool Empty = false;
};
// The text styles and the number, date and time styles; the others keep the text.
TSortKey MakeSortKey(TSortStyle Style, std::string_view Text, const std::string& Prefix,
                     const std::string& Suffix);

// A number of the cell comparison: the whole text after prefix and suffix (each removed at its
// first occurrence), the thousand separators (Financial) and the locale's decimal separator.
bool ReadSortNumber(std::string_view Text, const std::string& Prefix, const std::string& Suffix,
                    bool Financial, double& Value, bool& Empty);
