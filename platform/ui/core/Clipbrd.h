#pragma once
// The clipboard, as the classic clipboard object gives it: text and blocks of bytes under
// formats registered by name (RegisterClipboardFormat). The back end installs access to the
// native clipboard; without one the clipboard lives in the process.
#include "platform/ui/core/Messages.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The standard clipboard formats (also the formats of drag and drop).
using CLIPFORMAT = std::uint16_t;
constexpr CLIPFORMAT CF_TEXT = 1;
constexpr CLIPFORMAT CF_UNICODETEXT = 13;
constexpr CLIPFORMAT CF_HDROP = 15;

// What the clipboard holds: the text (UTF-8) and the blocks of the named formats.
struct TClipboardContents {
    std::optional<std::string> Text;
    std::vector<std::pair<std::string, std::string>> Named;
};

class TClipboard {
public:
    // Between Open and Close (they nest) the changes collect and reach the clipboard once, at
    // the last Close; outside them each setter replaces the whole contents at once.
    void Open();
    void Close();
    // Empties the clipboard.
    void Clear();
    // CF_TEXT and CF_UNICODETEXT: the clipboard holds text; any other: a block of that
    // registered format.
    bool HasFormat(UINT Format) const;
    std::string AsText() const;
    void SetAsText(const std::string& Value);
    // The block of a registered format; empty when the clipboard holds none.
    std::string GetAsBytes(UINT Format) const;
    void SetAsBytes(UINT Format, const std::string& Bytes);
    // All that the clipboard holds.
    TClipboardContents Contents() const { return read(); }

private:
    TClipboardContents read() const;
    void changed();
    int openCount_ = 0;
    TClipboardContents pending_;
};

TClipboard* Clipboard();

// The native clipboard: Read answers false when it cannot be read.
struct TClipboardAccess {
    std::function<bool(TClipboardContents& Contents)> Read;
    std::function<void(const TClipboardContents& Contents)> Write;
};
void SetClipboardAccess(TClipboardAccess Access);
