#include "shell/state/ProjectInt.h"

#include "platform/base/SysUtils.h"

#include <string>

namespace {

// Parses a text by the image rule into its sign, magnitude and radix; false when it does not
// convert or its magnitude exceeds limit.
bool parseImageInt(std::string_view text, std::uint64_t limit, bool& negative, bool& hex,
                   std::uint64_t& magnitude) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == text.size()) return false;
    magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        const std::uint64_t radix = hex ? 16 : 10;
        if (magnitude > (limit - std::uint64_t(digit)) / radix) return false;
        magnitude = magnitude * radix + std::uint64_t(digit);
    }
    return true;
}

} // namespace

bool TryImageInt(std::string_view text, int& value) {
    bool negative, hex;
    std::uint64_t magnitude;
    if (!parseImageInt(text, 0xFFFFFFFFull, negative, hex, magnitude)) return false;
    if (hex) {
        // Any 32-bit pattern; a sign negates it in 32 bits.
        std::uint32_t bits = std::uint32_t(magnitude);
        if (negative) bits = ~bits + 1u;
        value = std::int32_t(bits);
        return true;
    }
    if (magnitude > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return false;
    value = std::int32_t(negative ? -std::int64_t(magnitude) : std::int64_t(magnitude));
    return true;
}

bool TryImageInt64(std::string_view text, std::int64_t& value) {
    bool negative, hex;
    std::uint64_t magnitude;
    if (!parseImageInt(text, ~0ull, negative, hex, magnitude)) return false;
    if (hex) {
        value = std::int64_t(negative ? ~magnitude + 1u : magnitude);
        return true;
    }
    if (magnitude > (negative ? 0x8000000000000000ull : 0x7FFFFFFFFFFFFFFFull)) return false;
    value = negative ? std::int64_t(~magnitude + 1u) : std::int64_t(magnitude);
    return true;
}

int ImageIntDef(std::string_view text, int def) {
    int value;
    return TryImageInt(text, value) ? value : def;
}

int ImageInt(std::string_view text) {
    int value;
    if (!TryImageInt(text, value))
        throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
    return value;
}
