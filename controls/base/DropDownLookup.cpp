#include "controls/base/DropDownLookup.h"

#include "platform/base/SysUtils.h"

int FindCompletion(int Count, const std::function<std::string(int)>& Caption,
                   const std::string& Typed, bool MatchCase) {
    if (Typed.empty()) return -1;
    const std::string key = MatchCase ? Typed : AnsiUpperCase(Typed);
    for (int i = 0; i < Count; ++i) {
        const std::string caption = Caption(i);
        const std::string text = MatchCase ? caption : AnsiUpperCase(caption);
        if (text.compare(0, key.size(), key) == 0) return i;
    }
    return -1;
}

std::string CompletedText(const std::string& Typed, const std::string& Caption) {
    return Typed + Utf8Substr(Caption, Utf8Length(Typed), 255);
}
