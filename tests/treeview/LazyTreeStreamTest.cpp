#include "tests/TempFolder.h"
#include "tests/treeview/TreeModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

// A string tree whose nodes keep an int in their data and a caption in a side table; the stream
// carries the int through OnSaveNode/OnLoadNode and the caption in its caption chunk.
struct StreamTree {
    TLazyStringTree tree{nullptr};
    std::vector<std::string> loadedTexts;
    explicit StreamTree(bool userData = true) {
        tree.SetNodeDataSize(sizeof(int));
        tree.OnGetText = [](TBaseLazyTree* t, PLazyNode node, int, TVSTTextType, std::string& s) {
            const int v = *t->GetNodeData<int>(node);
            s = v % 3 == 0 ? "" : "n\xC3\xA4" + std::to_string(v); // some nodes without text
        };
        tree.OnNewText = [this](TBaseLazyTree*, PLazyNode, int, const std::string& text) {
            loadedTexts.push_back(text);
        };
        if (!userData) return;
        tree.OnSaveNode = [](TBaseLazyTree* t, PLazyNode node, TStream& s) {
            s.WriteBuffer(t->GetNodeData(node), sizeof(int));
        };
        tree.OnLoadNode = [](TBaseLazyTree* t, PLazyNode node, TStream& s) {
            s.ReadBuffer(t->GetNodeData(node), sizeof(int));
        };
    }
};

struct Row {
    std::uint32_t level;
    int value;
    std::uint32_t states;
    std::uint16_t height;
    TCheckState check;
    TCheckType type;
    friend bool operator==(const Row&, const Row&) = default;
};
std::vector<Row> rows(TBaseLazyTree& tree) {
    std::vector<Row> out;
    const TLazyNodeStates stored{vsInitialized, vsDisabled, vsExpanded,  vsHasChildren,
                                 vsVisible,     vsSelected, vsMultiline, vsFiltered};
    for (PLazyNode n = tree.GetFirstNoInit(); n; n = tree.GetNextNoInit(n))
        out.push_back({tree.GetNodeLevel(n), *tree.GetNodeData<int>(n),
                       (n->States * stored).ToBits(), n->NodeHeight, n->CheckState, n->CheckType});
    return out;
}

// A random tree with values, heights, hidden and expanded nodes and check states.
void fill(StreamTree& t, unsigned seed, int count) {
    TreeModel m = TreeModel::random(seed, count, 4);
    m.build(t.tree);
    std::mt19937 rng(seed);
    for (std::size_t i = 0; i < m.nodes.size(); ++i) {
        PLazyNode n = m.nodes[i].node;
        *t.tree.GetNodeData<int>(n) = int(i) + 1;
        t.tree.SetCheckType(n, rng() % 2 ? ctCheckBox : ctTriStateCheckBox);
        if (rng() % 3 == 0) t.tree.SetCheckState(n, csCheckedNormal);
        if (rng() % 7 == 0) t.tree.SetDisabled(n, true);
    }
}

std::vector<std::uint8_t> saved(TBaseLazyTree& tree, PLazyNode node = nullptr) {
    TMemoryStream s;
    tree.SaveToStream(s, node);
    return s.Bytes();
}
void load(TBaseLazyTree& tree, const std::vector<std::uint8_t>& bytes) {
    TMemoryStream s;
    s.WriteBuffer(bytes.data(), std::int64_t(bytes.size()));
    s.SetPosition(0);
    tree.LoadFromStream(s);
}

TEST(LazyTreeStream, RoundTripsThroughAFileNodeForNode) {
    TempFolder folder("tree_stream");
    for (unsigned seed : {1u, 5u}) {
        StreamTree source, copy;
        fill(source, seed, 200);
        source.tree.SaveToFile(folder.Path("tree.bin"));
        int copiedEvents = 0;
        copy.tree.OnNodeCopied = [&](TBaseLazyTree*, PLazyNode node) {
            EXPECT_EQ(node, nullptr);
            ++copiedEvents;
        };
        copy.tree.LoadFromFile(folder.Path("tree.bin"));
        EXPECT_EQ(rows(copy.tree), rows(source.tree));
        EXPECT_EQ(copiedEvents, 1);
        ExpectTreeConsistent(copy.tree);
        // Captions came back through SetText, for the nodes that have one.
        std::vector<std::string> texts;
        for (PLazyNode n = source.tree.GetFirstNoInit(); n; n = source.tree.GetNextNoInit(n))
            if (!source.tree.GetText(n, -1).empty()) texts.push_back(source.tree.GetText(n, -1));
        std::sort(texts.begin(), texts.end());
        std::sort(copy.loadedTexts.begin(), copy.loadedTexts.end());
        EXPECT_EQ(copy.loadedTexts, texts);
    }
}

TEST(LazyTreeStream, EmptyTreeSubtreeAndSkippedChunks) {
    StreamTree empty;
    int loadTree = 0;
    empty.tree.OnLoadTree = [&](TBaseLazyTree*, TStream&) { ++loadTree; };
    const std::vector<std::uint8_t> bytes = saved(empty.tree);
    EXPECT_EQ(bytes.size(), 16u);
    load(empty.tree, bytes);
    EXPECT_EQ(loadTree, 1);
    EXPECT_TRUE(empty.tree.IsEmpty());

    // One node's subtree: the count is 1. Without user data and caption (OnSaveNode writes
    // nothing, value 3 has no text) the node chunk holds only the base chunk.
    StreamTree t(false);
    PLazyNode a = t.tree.AddChild(nullptr);
    *t.tree.GetNodeData<int>(a) = 3;
    t.tree.AddChild(nullptr);
    const std::vector<std::uint8_t> one = saved(t.tree, a);
    EXPECT_EQ(one[12], 1);
    EXPECT_EQ(one.size(), 16u + 8 + 8 + 19);
    // A plain tree skips the caption chunks of a string tree's stream.
    StreamTree captions;
    fill(captions, 2, 20);
    TLazyDrawTree plain(nullptr);
    plain.SetNodeDataSize(sizeof(int));
    plain.OnLoadNode = captions.tree.OnLoadNode;
    load(plain, saved(captions.tree));
    EXPECT_EQ(rows(plain), rows(captions.tree));
}

TEST(LazyTreeStream, ForeignStreamsLeaveTheTreeAsItWas) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        int helpContext;
    };
    const std::vector<std::uint8_t> good = {0x45, 0x20, 0x56, 0, 0x54, 0,
                                            2,    0,    0x20, 0, 0x46, 0x20};
    std::vector<std::uint8_t> wrongFormat = good, version3 = good;
    wrongFormat[2] = 'W';
    version3[6] = 3;
    const Case cases[] = {
        {"short", {0x45, 0x20, 0x56}, 2004},
        {"format", wrongFormat, 2002},
        {"version", version3, 2003},
    };
    for (const Case& c : cases) {
        StreamTree t;
        fill(t, 4, 10);
        const std::vector<Row> before = rows(t.tree);
        try {
            load(t.tree, c.bytes);
            ADD_FAILURE() << c.what;
        } catch (const ELazyTreeError& e) {
            EXPECT_EQ(e.HelpContext(), c.helpContext) << c.what;
        }
        EXPECT_EQ(rows(t.tree), before) << c.what;
    }
    // Read-only trees take nothing and say nothing.
    StreamTree t;
    TLTMiscOptions misc = t.tree.TreeOptions()->MiscOptions();
    misc.Include(toReadOnly);
    t.tree.TreeOptions()->SetMiscOptions(misc);
    load(t.tree, wrongFormat);
    EXPECT_TRUE(t.tree.IsEmpty());
}

TEST(LazyTreeStream, TruncatedAndCorruptStreamsAreRefused) {
    StreamTree source;
    fill(source, 9, 40);
    const std::vector<std::uint8_t> bytes = saved(source.tree);
    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::uint8_t> broken = bytes;
        if (round % 2 == 0) {
            broken.resize(12 + rng() % (bytes.size() - 12));
        } else {
            for (int k = 0; k < 3; ++k)
                broken[12 + rng() % (bytes.size() - 12)] = std::uint8_t(rng());
        }
        StreamTree t;
        try {
            load(t.tree, broken);
        } catch (const ELazyTreeError&) {
        } catch (const EReadError&) {
        }
        SCOPED_TRACE(round);
        ExpectTreeConsistent(t.tree);
    }
    // A huge child count in a short stream creates no more nodes than the chunk can hold.
    StreamTree one(false);
    one.tree.AddChild(nullptr);
    std::vector<std::uint8_t> huge = saved(one.tree);
    huge[16 + 8 + 8 + 0] = 0xFF; // ChildCount = 0x...FF
    huge[16 + 8 + 8 + 3] = 0x7F;
    StreamTree t(false);
    load(t.tree, huge);
    EXPECT_EQ(t.tree.TotalCount(), 1u);
}

TEST(LazyTreeStream, WriterAndReaderStayInStep) {
    // An uninitialised node with children writes no children, so the next node is read right.
    StreamTree t(false);
    TLTMiscOptions misc = t.tree.TreeOptions()->MiscOptions();
    misc.Exclude(toInitOnSave);
    t.tree.TreeOptions()->SetMiscOptions(misc);
    t.tree.SetRootNodeCount(2);
    t.tree.SetChildCount(t.tree.GetFirstNoInit(), 3);
    StreamTree copy(false);
    load(copy.tree, saved(t.tree));
    EXPECT_EQ(copy.tree.RootNodeCount(), 2u);
    EXPECT_EQ(copy.tree.ChildCount(copy.tree.GetFirstNoInit()), 0u);

    // OnLoadNode reading less than was written: the rest of the node is still read.
    StreamTree source;
    source.tree.OnSaveNode = [](TBaseLazyTree*, PLazyNode, TStream& s) {
        const char data[6] = "12345";
        s.WriteBuffer(data, 6);
    };
    PLazyNode p = source.tree.AddChild(nullptr);
    source.tree.AddChild(p);
    // A height above 65535 in the stream keeps its low 16 bits.
    std::vector<std::uint8_t> bytes = saved(source.tree);
    bytes[16 + 8 + 8 + 6] = 1;
    StreamTree reader(false);
    int reads = 0;
    reader.tree.OnLoadNode = [&](TBaseLazyTree*, PLazyNode, TStream& s) {
        char c;
        s.ReadBuffer(&c, 1);
        ++reads;
    };
    load(reader.tree, bytes);
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(reader.tree.TotalCount(), 2u);
    EXPECT_EQ(reader.tree.GetFirstNoInit()->NodeHeight, p->NodeHeight);
}

TEST(LazyTreeStream, VersionOneStreamsAndSelection) {
    // Version 1: no count, a 12-byte base body with one state byte; all nodes are visible and
    // bit 7 selects.
    std::vector<std::uint8_t> v1 = {0x45, 0x20, 0x56, 0, 0x54, 0, 1, 0, 0x20, 0, 0x46, 0x20};
    for (std::uint8_t stateByte : {std::uint8_t(0x81), std::uint8_t(0x01)}) {
        const std::uint8_t node[] = {1, 0, 0, 0, 20, 0, 0, 0, // node chunk, 20 bytes
                                     2, 0, 0, 0, 12, 0, 0, 0, // base chunk, 12 bytes
                                     0, 0, 0, 0, 25, 0, 0, 0, stateByte, 50, 0, 0};
        v1.insert(v1.end(), std::begin(node), std::end(node));
    }
    StreamTree t(false);
    TLTSelectionOptions selection = t.tree.TreeOptions()->SelectionOptions();
    selection.Include(toMultiSelect);
    t.tree.TreeOptions()->SetSelectionOptions(selection);
    load(t.tree, v1);
    ASSERT_EQ(t.tree.RootNodeCount(), 2u);
    PLazyNode first = t.tree.GetFirstNoInit();
    EXPECT_TRUE(first->States.Contains(vsVisible));
    EXPECT_TRUE(first->NextSibling->States.Contains(vsVisible));
    EXPECT_EQ(first->NodeHeight, 25);
    EXPECT_EQ(t.tree.SelectedCount(), 1u);
    EXPECT_TRUE(t.tree.Selected(first));
    // Without multiple selection loaded nodes lose the mark.
    StreamTree single(false);
    load(single.tree, v1);
    EXPECT_EQ(single.tree.SelectedCount(), 0u);
    EXPECT_FALSE(single.tree.Selected(single.tree.GetFirstNoInit()));
}

} // namespace
