#include "platform/ui/core/Clipbrd.h"

#include <optional>

namespace {
TClipboardAccess& access() {
    static TClipboardAccess a;
    return a;
}
// The process's own clipboard while no native one is installed.
std::optional<std::string>& ownText() {
    static std::optional<std::string> text;
    return text;
}

bool readText(std::string& text) {
    if (access().Get) return access().Get(text);
    if (!ownText()) return false;
    text = *ownText();
    return true;
}
} // namespace

bool TClipboard::HasFormat(UINT Format) const {
    if (Format != CF_TEXT && Format != CF_UNICODETEXT) return false;
    std::string text;
    return readText(text);
}

std::string TClipboard::AsText() const {
    std::string text;
    return readText(text) ? text : std::string();
}

void TClipboard::SetAsText(const std::string& Value) {
    if (access().Set)
        access().Set(Value);
    else
        ownText() = Value;
}

TClipboard* Clipboard() {
    static TClipboard clipboard;
    return &clipboard;
}

void SetClipboardAccess(TClipboardAccess Access) {
    access() = std::move(Access);
}
