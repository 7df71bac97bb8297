#pragma once
// The clipboard's text, as the classic clipboard object gives it. The back end installs access
// to the native clipboard; without one the clipboard lives in the process.
#include "platform/ui/core/Messages.h"

#include <cstdint>
#include <functional>
#include <string>

// The standard clipboard formats (also the formats of drag and drop).
using CLIPFORMAT = std::uint16_t;
constexpr CLIPFORMAT CF_TEXT = 1;
constexpr CLIPFORMAT CF_UNICODETEXT = 13;
constexpr CLIPFORMAT CF_HDROP = 15;

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
