// The tree stream: a 12-byte header, the number of top-level nodes, then one node chunk per
// top-level node with its whole subtree. A node chunk holds the node's base chunk (its record
// and its children's node chunks), the application's user chunk and, in the string tree, the
// caption chunk. Every length read is checked against what the stream or the chunk still holds.
#include "treeview/LazyTree.h"
#include "treeview/TreeStreamIO.h"

#include "platform/files/Files.h"

#include <vector>

namespace {

constexpr std::uint16_t HeaderWords[6] = {0x2045, 0x0056, 0x0054, 2, 0x0020, 0x2046};
constexpr int FormatVersion = 2;

constexpr std::int32_t NodeChunk = 1;
constexpr std::int32_t BaseChunk = 2;
constexpr std::int32_t CaptionChunk = 3;
constexpr std::int32_t UserChunk = 4;

constexpr std::int64_t ChunkHeaderSize = 8;
constexpr std::int64_t BaseBodySize = 19;
constexpr std::int64_t OldBaseBodySize = 12;

// States that describe a moment of this process, not the node: never stored, never read.
const TLazyNodeStates TransientStates{vsChecking,       vsCutOrCopy,
                                      vsDeleting,       vsOnFreeNodeCallRequired,
                                      vsHeightMeasured, vsReleaseCallOnUserDataRequired,
                                      vsToggling,       vsInitializing};
// The states written: the stored format leaves out only the first five transient ones.
const TLazyNodeStates UnsavedStates{vsChecking, vsCutOrCopy, vsDeleting, vsOnFreeNodeCallRequired,
                                    vsHeightMeasured};

template <class F> struct ScopeExit {
    F f;
    ~ScopeExit() { f(); }
};
template <class F> ScopeExit(F) -> ScopeExit<F>;

[[noreturn]] void raiseNotEnoughData() {
    RaiseTreeError("Unable to load tree structure, not enough data available.", 2004);
}
[[noreturn]] void raiseAnchorMissing() {
    RaiseTreeError("Stream data corrupt. A node's anchor chunk is missing.", 2005);
}
[[noreturn]] void raiseDataAfterEnd() {
    RaiseTreeError("Stream data corrupt. Unexpected data after node's end position.", 2006);
}

struct ChunkHeader {
    std::int32_t Type;
    std::int32_t Size;
};

// Reads a chunk header whose chunk must end by Limit.
ChunkHeader readChunkHeader(TStream& Stream, std::int64_t Limit) {
    ChunkHeader h;
    h.Type = ReadLE<std::int32_t>(Stream);
    h.Size = ReadLE<std::int32_t>(Stream);
    if (h.Size < 0 || h.Size > Limit - Stream.Position()) raiseNotEnoughData();
    return h;
}

std::int64_t beginChunk(TStream& Stream, std::int32_t Type) {
    const std::int64_t start = Stream.Position();
    WriteLE<std::int32_t>(Stream, Type);
    WriteLE<std::int32_t>(Stream, 0);
    return start;
}

} // namespace

// --- writing ----------------------------------------------------------------------------------

void TBaseLazyTree::SaveToStream(TStream& Stream, PLazyNode Node) {
    for (std::uint16_t w : HeaderWords) WriteLE<std::uint16_t>(Stream, w);
    if (!Node || Node == FRoot) {
        WriteLE<std::int32_t>(Stream, std::int32_t(FRoot->ChildCount));
        for (PLazyNode child = FRoot->FirstChild; child; child = child->NextSibling)
            WriteNodeChunk(Stream, child);
    } else {
        WriteLE<std::int32_t>(Stream, 1);
        WriteNodeChunk(Stream, Node);
    }
    if (OnSaveTree) OnSaveTree(this, Stream);
}

void TBaseLazyTree::SaveToFile(const std::string& FileName) {
    TMemoryStream stream;
    SaveToStream(stream);
    WriteBinaryFile(FileName, stream.Memory(), std::size_t(stream.Size()));
}

void TBaseLazyTree::FixChunkSize(TStream& Stream, std::int64_t ChunkStart, std::int64_t ChunkEnd) {
    Stream.SetPosition(ChunkStart + 4);
    WriteLE<std::int32_t>(Stream, std::int32_t(ChunkEnd - ChunkStart - ChunkHeaderSize));
    Stream.SetPosition(ChunkEnd);
}

void TBaseLazyTree::WriteNodeChunk(TStream& Stream, PLazyNode Node) {
    if (TreeOptions()->MiscOptions().Contains(toInitOnSave)) {
        initIfNeeded(Node);
        ensureChildrenCounted(Node);
    }
    const std::int64_t start = beginChunk(Stream, NodeChunk);
    WriteNodeContent(Stream, Node);
    FixChunkSize(Stream, start, Stream.Position());
}

void TBaseLazyTree::WriteNodeContent(TStream& Stream, PLazyNode Node) {
    const std::int64_t base = beginChunk(Stream, BaseChunk);
    // Only an initialised node writes its children, so only it counts them.
    const bool initialized = Node->States.Contains(vsInitialized);
    WriteLE<std::uint32_t>(Stream, initialized ? Node->ChildCount : 0);
    WriteLE<std::uint32_t>(Stream, Node->NodeHeight);
    WriteLE<std::uint32_t>(Stream, (Node->States - UnsavedStates).ToBits());
    WriteLE<std::uint8_t>(Stream, Node->Align);
    WriteLE<std::uint8_t>(Stream, Node->CheckState);
    WriteLE<std::uint8_t>(Stream, Node->CheckType);
    WriteLE<std::uint32_t>(Stream, 0);
    if (initialized)
        for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling)
            WriteNodeChunk(Stream, child);
    FixChunkSize(Stream, base, Stream.Position());
    const std::int64_t user = beginChunk(Stream, UserChunk);
    if (OnSaveNode) OnSaveNode(this, Node == FRoot ? nullptr : Node, Stream);
    const std::int64_t end = Stream.Position();
    if (end == user + ChunkHeaderSize) {
        // Nothing written: the empty chunk's header goes again.
        if (Stream.Size() == end) Stream.SetSize(user);
        Stream.SetPosition(user);
    } else {
        FixChunkSize(Stream, user, end);
    }
}

// --- reading ----------------------------------------------------------------------------------

int TBaseLazyTree::readStreamHeader(TStream& Stream, bool Loading) {
    std::uint16_t words[6];
    if (Loading) {
        if (Stream.Size() - Stream.Position() < 12) raiseNotEnoughData();
    }
    for (std::uint16_t& w : words) w = ReadLE<std::uint16_t>(Stream);
    const bool formatOk = words[0] == HeaderWords[0] && words[1] == HeaderWords[1] &&
                          words[2] == HeaderWords[2] && words[5] == HeaderWords[5];
    if (Loading && !formatOk)
        RaiseTreeError("Unable to load tree structure, the format is wrong.", 2002);
    if (!formatOk || words[3] > FormatVersion)
        RaiseTreeError("Unable to load tree structure, the version is unknown.", 2003);
    return words[3];
}

void TBaseLazyTree::readTopLevelNodes(TStream& Stream, int Version, PLazyNode Parent) {
    std::int64_t count = 0x7FFFFFFF;
    if (Version >= 2) count = ReadLE<std::int32_t>(Stream);
    for (; count > 0 && Stream.Position() < Stream.Size(); --count) {
        PLazyNode node = AllocateNode();
        ConnectNode(node, Parent, amAddChildLast, this);
        LoadNodeFromStream(Stream, Version, node);
    }
}

void TBaseLazyTree::LoadFromStream(TStream& Stream) {
    if (TreeOptions()->MiscOptions().Contains(toReadOnly)) return;
    // The header is checked first: a stream of another kind leaves the tree as it was.
    const int version = readStreamHeader(Stream, true);
    Clear();
    BeginUpdate();
    ScopeExit end{[this] { EndUpdate(); }};
    readTopLevelNodes(Stream, version, FRoot);
    FireNodeCopied(nullptr);
    if (OnLoadTree) OnLoadTree(this, Stream);
}

void TBaseLazyTree::LoadFromFile(const std::string& FileName) {
    TMemoryStream stream;
    const std::string bytes = ReadBinaryFile(FileName);
    stream.WriteBuffer(bytes.data(), std::int64_t(bytes.size()));
    stream.SetPosition(0);
    try {
        LoadFromStream(stream);
    } catch (const ELazyTreeError& e) {
        throw ELazyTreeError(FileName + ": " + e.Message(), e.HelpContext());
    } catch (const EReadError&) {
        throw ELazyTreeError(
            FileName + ": Unable to load tree structure, not enough data available.", 2004);
    }
}

void TBaseLazyTree::AddFromStream(TStream& Stream, PLazyNode TargetNode) {
    if (TreeOptions()->MiscOptions().Contains(toReadOnly)) return;
    if (!TargetNode) TargetNode = FRoot;
    const int version = readStreamHeader(Stream, false);
    // Lazily created children must exist before others join them.
    initIfNeeded(TargetNode);
    ensureChildrenCounted(TargetNode);
    BeginUpdate();
    ScopeExit end{[this] { EndUpdate(); }};
    readTopLevelNodes(Stream, version, TargetNode);
    FireNodeCopied(TargetNode == FRoot ? nullptr : TargetNode);
}

void TBaseLazyTree::settleLoadedSubtree(PLazyNode Node) {
    Node->TotalCount = 1;
    Node->TotalHeight = GetEffectivelyFiltered(Node) ? 0 : Node->NodeHeight;
    const bool expanded = Node->States.Contains(vsExpanded);
    for (PLazyNode child = Node->FirstChild; child; child = child->NextSibling) {
        settleLoadedSubtree(child);
        Node->TotalCount += child->TotalCount;
        if (expanded && child->States.Contains(vsVisible)) Node->TotalHeight += child->TotalHeight;
    }
    if (Node->FirstChild) Node->States.Include(vsHasChildren);
}

void TBaseLazyTree::LoadNodeFromStream(TStream& Stream, int Version, PLazyNode Node) {
    if (Node == FRoot) throw EAssertionFailed("The root node cannot be loaded from stream.");
    PLazyNode parent = Node->Parent;
    auto shown = [this](PLazyNode N) -> std::uint32_t {
        return FullyVisible(N) ? CountShownChildren(N) + (GetEffectivelyVisible(N) ? 1 : 0) : 0;
    };
    auto heightShare = [parent](PLazyNode N) -> std::uint32_t {
        return parent->States.Contains(vsExpanded) && N->States.Contains(vsVisible) ? N->TotalHeight
                                                                                    : 0;
    };
    const std::uint32_t countBefore = Node->TotalCount;
    const std::uint32_t heightBefore = heightShare(Node);
    const std::uint32_t shownBefore = shown(Node);
    // Also after a failure the nodes read so far keep the counts right.
    auto settle = [&] {
        settleLoadedSubtree(Node);
        ChangeTotalCount(parent, int(Node->TotalCount) - int(countBefore), true);
        ChangeTotalHeight(parent, int(heightShare(Node)) - int(heightBefore), true);
        FVisibleCount = FVisibleCount - shownBefore + shown(Node);
        if (parent != FRoot) UpdateHiddenChildrenFlag(parent);
        MarkCacheInvalid();
    };
    try {
        ReadNodeChunk(Stream, Version, Node);
    } catch (...) {
        settle();
        throw;
    }
    settle();
    // Selected nodes join the selection (with multiple selection) or lose the mark.
    const bool multi = TreeOptions()->SelectionOptions().Contains(toMultiSelect);
    ClearTempNodeCache();
    std::vector<PLazyNode> pending{Node};
    while (!pending.empty()) {
        PLazyNode n = pending.back();
        pending.pop_back();
        for (PLazyNode child = n->FirstChild; child; child = child->NextSibling)
            pending.push_back(child);
        if (!n->States.Contains(vsSelected)) continue;
        n->States.Exclude(vsSelected);
        int index = 0;
        if (multi &&
            !(FSelectionCount > 0 && LocateInSelection(n, index, 0, int(FSelectionCount) - 1)))
            AddToTempNodeCache(n);
    }
    if (FTempNodeCount > 0) AddNodesToSelection(FTempNodeCache, int(FTempNodeCount), true);
    ClearTempNodeCache();
}

void TBaseLazyTree::ReadNodeChunk(TStream& Stream, int Version, PLazyNode Node) {
    const ChunkHeader header = readChunkHeader(Stream, Stream.Size());
    if (header.Type != NodeChunk) raiseAnchorMissing();
    const std::int64_t end = Stream.Position() + header.Size;
    while (Stream.Position() < end) {
        if (end - Stream.Position() < ChunkHeaderSize) raiseDataAfterEnd();
        const std::int32_t type = ReadLE<std::int32_t>(Stream);
        const std::int32_t size = ReadLE<std::int32_t>(Stream);
        if (size < 0 || size > end - Stream.Position()) raiseDataAfterEnd();
        ReadContentChunk(Stream, Version, Node, type, size);
    }
    if (Stream.Position() != end) raiseDataAfterEnd();
}

bool TBaseLazyTree::ReadContentChunk(TStream& Stream, int Version, PLazyNode Node, int ChunkType,
                                     int ChunkSize) {
    const std::int64_t end = Stream.Position() + ChunkSize;
    switch (ChunkType) {
    case BaseChunk: {
        if (ChunkSize < (Version >= 2 ? BaseBodySize : OldBaseBodySize)) raiseDataAfterEnd();
        const std::uint32_t childCount = ReadLE<std::uint32_t>(Stream);
        const std::uint32_t height = ReadLE<std::uint32_t>(Stream);
        TLazyNodeStates states;
        if (Version >= 2) {
            states = TLazyNodeStates::FromBits(ReadLE<std::uint32_t>(Stream));
        } else {
            states = TLazyNodeStates::FromBits(ReadLE<std::uint8_t>(Stream));
            if (states.Contains(vsVisible)) states.Include(vsSelected);
            states.Include(vsVisible);
        }
        const std::uint8_t align = ReadLE<std::uint8_t>(Stream);
        const std::uint8_t checkState = ReadLE<std::uint8_t>(Stream);
        const std::uint8_t checkType = ReadLE<std::uint8_t>(Stream);
        if (Version >= 2) ReadLE<std::uint32_t>(Stream);
        // Only known states are taken; unknown check values read as none.
        const TLazyNodeStates known = TLazyNodeStates::FromBits((1u << (vsInitializing + 1)) - 1);
        Node->States = (states * known) - TransientStates;
        Node->NodeHeight = std::uint16_t(height);
        Node->TotalHeight = Node->NodeHeight;
        Node->Align = align;
        Node->CheckState =
            checkState <= csMixedDisabled ? TCheckState(checkState) : csUncheckedNormal;
        Node->CheckType = checkType <= ctButton ? TCheckType(checkType) : ctNone;
        // Each child needs at least a chunk header: the count cannot outgrow the chunk.
        for (std::uint32_t i = 0; i < childCount && Stream.Position() < end; ++i) {
            PLazyNode child = AllocateNode();
            child->Parent = Node;
            child->PrevSibling = Node->LastChild;
            child->Index = Node->LastChild ? Node->LastChild->Index + 1 : 0;
            if (Node->LastChild)
                Node->LastChild->NextSibling = child;
            else
                Node->FirstChild = child;
            Node->LastChild = child;
            ++Node->ChildCount;
            ReadNodeChunk(Stream, Version, child);
        }
        if (Stream.Position() != end) raiseDataAfterEnd();
        return true;
    }
    case UserChunk: {
        if (ChunkSize == 0) return true;
        const std::int64_t start = Stream.Position();
        if (OnLoadNode) OnLoadNode(this, Node, Stream);
        const std::int64_t stop = Stream.Position();
        if (stop > start && stop == end) return true;
        Stream.SetPosition(end);
        return stop != start;
    }
    default:
        Stream.SetPosition(end);
        return false;
    }
}

void TBaseLazyTree::SkipNodeChunk(TStream& Stream) {
    const ChunkHeader header = readChunkHeader(Stream, Stream.Size());
    if (header.Type != NodeChunk) raiseAnchorMissing();
    Stream.Seek(header.Size, soCurrent);
}

// --- the string tree's caption ----------------------------------------------------------------

void TCustomLazyStringTree::WriteNodeContent(TStream& Stream, PLazyNode Node) {
    TBaseLazyTree::WriteNodeContent(Stream, Node);
    if (!TreeOptions()->StringOptions().Contains(toSaveCaptions) || Node == FRoot ||
        !Node->States.Contains(vsInitialized))
        return;
    const std::u16string text = Utf8ToWide(GetText(Node, MainColumn()));
    if (text.empty()) return;
    WriteLE<std::int32_t>(Stream, CaptionChunk);
    WriteLE<std::int32_t>(Stream, std::int32_t(2 * text.size()));
    WriteUtf16(Stream, text);
}

bool TCustomLazyStringTree::ReadContentChunk(TStream& Stream, int Version, PLazyNode Node,
                                             int ChunkType, int ChunkSize) {
    if (ChunkType != CaptionChunk)
        return TBaseLazyTree::ReadContentChunk(Stream, Version, Node, ChunkType, ChunkSize);
    const std::int64_t end = Stream.Position() + ChunkSize;
    SetText(Node, MainColumn(), WideToUtf8(ReadUtf16(Stream, ChunkSize / 2)));
    Stream.SetPosition(end);
    return true;
}
