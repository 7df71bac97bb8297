#include "grid/editors/EditFilters.h"

#include "platform/base/FormatSettings.h"
#include "platform/ui/core/Controls.h"

bool NumberKeyAccepted(TNumberKind Kind, char32_t Key, const std::u32string& Text, int SelStart,
                       int SelLength, bool& Beep) {
    Beep = true;
    if ((Key >= '0' && Key <= '9') || Key == 8 || Key == 9 || Key == 13 || Key == 27) return true;
    const std::size_t start = std::size_t(SelStart), length = std::size_t(SelLength);
    const std::u32string selected = Text.substr(std::min(start, Text.size()), length);
    const bool isFloat = Kind == TNumberKind::Float || Kind == TNumberKind::PositiveFloat;
    const bool isSigned = Kind == TNumberKind::Integer || Kind == TNumberKind::Float;
    if (Key == '-') {
        if (!isSigned) {
            // The float kind without sign drops it silently; the integer one beeps.
            Beep = !isFloat;
            return false;
        }
        if (SelStart == 0 && Text.find(U'-') == std::u32string::npos) return true;
        return isFloat && selected.find(U'-') != std::u32string::npos;
    }
    if (!isFloat) return false;
    Beep = false;
    const char32_t dec = char32_t(FormatSettings().DecimalSeparator);
    const char32_t th = char32_t(FormatSettings().ThousandSeparator);
    if (Key == dec) {
        std::u32string outside = Text;
        outside.erase(std::min(start, outside.size()), length);
        return outside.find(dec) == std::u32string::npos;
    }
    if (Key == th) return false;
    if (Key == ',' || Key == '.') return true;
    // Clipboard shortcuts go on to the edit control.
    return GetKeyState(VK_CONTROL) < 0;
}

void DropFinalLineBreak(std::string& Text) {
    const std::size_t crlf = Text.find("\r\n");
    if (crlf != std::string::npos && crlf + 2 == Text.size()) Text.resize(crlf);
}
