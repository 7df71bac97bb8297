#pragma once
// The clipboard's text, as the classic clipboard object gives it. The back end installs access
// to the native clipboard; without one the clipboard lives in the process.
#include "platform/ui/Messages.h"

#include <functional>
#include <string>

constexpr UINT CF_TEXT = 1;
constexpr UINT CF_UNICODETEXT = 13;

class TClipboard {
public:
    // CF_TEXT and CF_UNICODETEXT: the clipboard holds text.
    bool HasFormat(UINT Format) const;
    std::string AsText() const;
    void SetAsText(const std::string& Value);
};

TClipboard* Clipboard();

// The native clipboard: Get answers false when it holds no text.
struct TClipboardAccess {
    std::function<bool(std::string& Text)> Get;
    std::function<void(const std::string& Text)> Set;
};
void SetClipboardAccess(TClipboardAccess Access);
