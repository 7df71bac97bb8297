#include "shell/state/KnxText.h"

#include "platform/base/SysUtils.h"
#include "shell/state/ProjectInt.h"

#include <string>

namespace {

// A trimmed part read as a whole number; -1 when it is none.
int partValue(std::string_view part) {
    return ImageIntDef(Trim(part), -1);
}

bool inRange(int v, int lo, int hi) {
    return v >= lo && v <= hi;
}

bool validIndividual(std::string_view text, bool allowZero) {
    if (text.find('/') != std::string_view::npos) return false;
    const std::size_t dot1 = text.find('.');
    if (dot1 == std::string_view::npos) return inRange(partValue(text), 1, 65535);
    const std::string_view rest = text.substr(dot1 + 1);
    const std::size_t dot2 = rest.find('.');
    if (dot2 == std::string_view::npos) return false;
    const std::string_view last = rest.substr(dot2 + 1);
    if (last.find('.') != std::string_view::npos) return false;
    const int a = partValue(text.substr(0, dot1));
    const int b = partValue(rest.substr(0, dot2));
    const int c = partValue(last);
    if (!inRange(a, 0, 15) || !inRange(b, 0, 15) || !inRange(c, 0, 255)) return false;
    return allowZero || a != 0 || b != 0 || c != 0;
}

bool validGroup(std::string_view text) {
    if (text.find('.') != std::string_view::npos) return false;
    const std::size_t slash1 = text.find('/');
    if (slash1 == std::string_view::npos) return inRange(partValue(text), 1, 65535);
    const int main = partValue(text.substr(0, slash1));
    const std::string_view rest = text.substr(slash1 + 1);
    const std::size_t slash2 = rest.find('/');
    if (slash2 == std::string_view::npos) {
        const int sub = partValue(rest);
        return inRange(main, 0, 31) && inRange(sub, 0, 2047) && (main != 0 || sub != 0);
    }
    const std::string_view last = rest.substr(slash2 + 1);
    if (last.find('/') != std::string_view::npos) return false;
    const int middle = partValue(rest.substr(0, slash2));
    const int sub = partValue(last);
    return inRange(main, 0, 31) && inRange(middle, 0, 7) && inRange(sub, 0, 255) &&
           (main != 0 || middle != 0 || sub != 0);
}

} // namespace

int Check_KNX_Address(std::string_view Text, bool Group, bool Allow_Zero) {
    const bool valid = Group ? validGroup(Text) : validIndividual(Text, Allow_Zero);
    return valid ? 0 : 1;
}

bool Has_No_Dot(std::string_view Text) {
    return Text.find('.') == std::string_view::npos;
}

int Str_To_Access_Flag(std::string_view Text) {
    const std::string upper = UpperCase(Text);
    if (upper == "WRITE") return 128;
    if (upper == "READ") return 0;
    return ImageIntDef(Text, 0);
}

int Str_To_KNX_Priority(std::string_view Text) {
    const std::string upper = UpperCase(Text);
    if (upper == "SYSTEM") return 0;
    if (upper == "URGENT") return 2;
    if (upper == "LOW") return 3;
    return 1; // "NORMAL" and any other text
}

int Str_To_Conversion(std::string_view Text) {
    static const char* const names[] = {
        "NONE",
        "SWAP16",
        "SWAP32",
        "SWAP ALL",
        "INT TO FLOAT",
        "FLOAT TO INT",
        "FLOAT16 TO FLOAT32",
        "FLOAT16 TO INT",
        "FLOAT16 TO INT * 10",
        "FLOAT16 TO INT * 100",
    };
    const std::string upper = UpperCase(Text);
    for (int code = 0; code < int(std::size(names)); ++code)
        if (upper == names[code]) return code << 12;
    return 0;
}
