#include "platform/ui/core/ShellIcons.h"

#include "platform/gfx/ImageList.h"
#include "platform/ui/core/Peer.h"

#include <map>
#include <memory>

namespace {
struct Lists {
    std::unique_ptr<TImageList> small = std::make_unique<TImageList>();
    std::unique_ptr<TImageList> large = std::make_unique<TImageList>();
    std::map<std::string, int> byKind;
    Lists() { large->SetSize(32, 32); }
};
Lists& lists() {
    static Lists l;
    return l;
}
} // namespace

TImageList* SystemImageList(bool Large) {
    return Large ? lists().large.get() : lists().small.get();
}

int SystemIconIndex(const std::string& Path, bool useFileAttributes) {
    TBackend* backend = Backend();
    if (!backend) return -1;
    std::string kind;
    TBitmap small, large;
    if (!backend->FileIcon(Path, useFileAttributes, kind, small, large)) return -1;
    if (small.Width() != 16 || small.Height() != 16 || large.Width() != 32 || large.Height() != 32)
        return -1;
    Lists& l = lists();
    if (auto it = l.byKind.find(kind); it != l.byKind.end()) return it->second;
    const int index = l.small->Add(&small, nullptr);
    l.large->Add(&large, nullptr);
    l.byKind[kind] = index;
    return index;
}
