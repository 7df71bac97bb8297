#include "platform/ui/core/Clipbrd.h"

#include "platform/base/SysUtils.h"

namespace {
TClipboardAccess& access() {
    static TClipboardAccess a;
    return a;
}
// The process's own clipboard while no native one is installed.
TClipboardContents& ownContents() {
    static TClipboardContents contents;
    return contents;
}

std::string nameOf(UINT Format) {
    return GetClipboardFormatName(Format);
}

std::string* findNamed(TClipboardContents& c, const std::string& name) {
    for (auto& [n, bytes] : c.Named)
        if (SameText(n, name)) return &bytes;
    return nullptr;
}
} // namespace

TClipboardContents TClipboard::read() const {
    if (openCount_ > 0) return pending_;
    if (!access().Read) return ownContents();
    TClipboardContents c;
    if (!access().Read(c)) return {};
    return c;
}

void TClipboard::changed() {
    if (openCount_ > 0) return;
    if (access().Write)
        access().Write(pending_);
    else
        ownContents() = pending_;
    pending_ = {};
}

void TClipboard::Open() {
    if (openCount_++ == 0) pending_ = read();
}

void TClipboard::Close() {
    if (openCount_ == 0) return;
    if (--openCount_ == 0) changed();
}

void TClipboard::Clear() {
    pending_ = {};
    changed();
}

bool TClipboard::HasFormat(UINT Format) const {
    const TClipboardContents c = read();
    if (Format == CF_TEXT || Format == CF_UNICODETEXT) return c.Text.has_value();
    const std::string name = nameOf(Format);
    if (name.empty()) return false;
    for (const auto& [n, bytes] : c.Named)
        if (SameText(n, name)) return true;
    return false;
}

std::string TClipboard::AsText() const {
    return read().Text.value_or(std::string());
}

void TClipboard::SetAsText(const std::string& Value) {
    if (openCount_ == 0) pending_ = {};
    pending_.Text = Value;
    changed();
}

std::string TClipboard::GetAsBytes(UINT Format) const {
    TClipboardContents c = read();
    const std::string* bytes = findNamed(c, nameOf(Format));
    return bytes ? *bytes : std::string();
}

void TClipboard::SetAsBytes(UINT Format, const std::string& Bytes) {
    const std::string name = nameOf(Format);
    if (name.empty()) return;
    if (openCount_ == 0) pending_ = {};
    if (std::string* old = findNamed(pending_, name))
        *old = Bytes;
    else
        pending_.Named.emplace_back(name, Bytes);
    changed();
}

TClipboard* Clipboard() {
    static TClipboard clipboard;
    return &clipboard;
}

void SetClipboardAccess(TClipboardAccess Access) {
    access() = std::move(Access);
}
