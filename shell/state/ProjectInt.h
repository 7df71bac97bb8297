#pragma once
// The integer conversion of the texts of project files and table cells, one rule for the
// editors and the image compiler.
#include <cstdint>
#include <string_view>

// The integer conversion of project texts: leading blanks, an optional sign, then decimal
// digits or hexadecimal digits after "$", "x", "X", "0x" or "0X", and nothing after them.
// The result is a signed 32-bit value; a hexadecimal text may give any 32-bit pattern.
bool TryImageInt(std::string_view text, int& value);
int ImageIntDef(std::string_view text, int def);
// Raises EConvertError when the text does not convert.
int ImageInt(std::string_view text);
// The same rule for 64-bit values: decimal texts in the signed 64-bit range, hexadecimal texts
// any 64-bit pattern. Readers that keep the low 32 bits of a number convert with this.
bool TryImageInt64(std::string_view text, std::int64_t& value);
