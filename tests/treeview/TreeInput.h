#pragma once
// A shown string tree with named nodes and a log of its events, for the tests of check boxes,
// selection, hit testing, mouse and keyboard.
#include "platform/testing/UiTest.h"
#include "treeview/LazyTree.h"

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Opens the protected operations the tests call directly.
class TestTree : public TLazyStringTree {
public:
    using TBaseLazyTree::CompactSelection;
    using TBaseLazyTree::GetContentRightExtent;
    using TBaseLazyTree::LocateInSelection;
    using TBaseLazyTree::MarkNodeUnselected;
    using TBaseLazyTree::SelectNodeRange;
    using TBaseLazyTree::ToggleNodeRange;
    using TBaseLazyTree::UnselectNodeRange;
    using TLazyStringTree::TLazyStringTree;
    DWORD ProposeEffect(TObject* Source, TShiftState Shift, DWORD Allowed) {
        return ProposeDropEffect(Source, Shift, TPoint{0, 0}, Allowed);
    }
};

struct TreeFixture {
    TForm form{nullptr};
    TestTree* tree;
    std::map<std::string, PLazyNode> nodes;
    std::map<PLazyNode, std::string> names;
    std::vector<std::string> log;

    // Nodes as "name" (top level) or "path/to/parent/name"; every node shows its name as text.
    explicit TreeFixture(const std::vector<std::string>& rows, bool show = true) {
        form.SetBounds(0, 0, 300, 300);
        tree = new TestTree(&form);
        tree->SetParent(&form);
        tree->SetBounds(0, 0, 200, 180);
        tree->SetBorderStyle(bsNone);
        tree->SetNodeDataSize(8);
        tree->OnGetText = [this](TBaseLazyTree*, PLazyNode n, int, TVSTTextType,
                                 std::string& text) { text = names[n]; };
        for (const std::string& s : rows) {
            const auto slash = s.rfind('/');
            PLazyNode parent = nullptr;
            if (slash != std::string::npos) {
                const std::string path = s.substr(0, slash);
                const auto up = path.rfind('/');
                parent = nodes.at(up == std::string::npos ? path : path.substr(up + 1));
            }
            const std::string name = slash == std::string::npos ? s : s.substr(slash + 1);
            PLazyNode n = tree->AddChild(parent);
            nodes[name] = n;
            names[n] = name;
        }
        if (show) {
            form.Show();
            uitest::processMessages();
        }
    }
    // The tree goes first: its last events still find the names.
    ~TreeFixture() { delete tree; }
    TreeFixture(const TreeFixture&) = delete;
    TreeFixture& operator=(const TreeFixture&) = delete;
    PLazyNode operator[](const std::string& name) const { return nodes.at(name); }
    std::string name(PLazyNode n) const {
        if (!n) return "nil";
        auto it = names.find(n);
        return it == names.end() ? "?" : it->second;
    }
    // Names of the selected nodes in tree order, joined with spaces.
    std::string selection() {
        std::string s;
        for (PLazyNode n : tree->GetSortedSelection(false)) s += (s.empty() ? "" : " ") + name(n);
        return s;
    }
    std::string events() {
        std::string s;
        for (const std::string& e : log) s += (s.empty() ? "" : ", ") + e;
        log.clear();
        return s;
    }
    void logSelection() {
        tree->OnAddToSelection = [this](TBaseLazyTree*, PLazyNode n) {
            log.push_back("+" + name(n));
        };
        tree->OnRemoveFromSelection = [this](TBaseLazyTree*, PLazyNode n) {
            log.push_back("-" + name(n));
        };
        tree->OnFocusChanged = [this](TBaseLazyTree*, PLazyNode n, int) {
            log.push_back("focus " + name(n));
        };
        tree->OnChange = [this](TBaseLazyTree*, PLazyNode n) {
            log.push_back("change " + name(n));
        };
    }
    void setSelectionOptions(TLTSelectionOptions o) { tree->TreeOptions()->SetSelectionOptions(o); }
    void addMisc(TLTMiscOption o) {
        auto m = tree->TreeOptions()->MiscOptions();
        m.Include(o);
        tree->TreeOptions()->SetMiscOptions(m);
    }
    void addPaint(TLTPaintOption o) {
        auto m = tree->TreeOptions()->PaintOptions();
        m.Include(o);
        tree->TreeOptions()->SetPaintOptions(m);
    }
    void addAuto(TLTAutoOption o) {
        auto m = tree->TreeOptions()->AutoOptions();
        m.Include(o);
        tree->TreeOptions()->SetAutoOptions(m);
    }
    // Client point in the middle of a node's text.
    TPoint textPoint(const std::string& n) {
        const TRect r = tree->GetDisplayRect(nodes.at(n), -1, true);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    // Client point in a node's row at x.
    TPoint rowPoint(const std::string& n, int x) {
        const TRect r = tree->GetDisplayRect(nodes.at(n), -1, false);
        return {x, (r.Top + r.Bottom) / 2};
    }
};

// The hit positions as words, in the order of their values.
inline std::string positions(THitPositions p) {
    static const char* names[] = {"Above",         "Below",        "Nowhere",   "OnItem", "Button",
                                  "ButtonExact",   "Checkbox",     "Indent",    "Label",  "Left",
                                  "Right",         "NormalIcon",   "StateIcon", "ToLeft", "ToRight",
                                  "UpperSplitter", "LowerSplitter"};
    std::string s;
    for (int i = 0; i <= hiLowerSplitter; ++i)
        if (p.Contains(THitPosition(i))) s += (s.empty() ? "" : " ") + std::string(names[i]);
    return s;
}

// a / b / c / d: c is at level 2 and has a child; c shows a check box, a state image and a
// normal image.
struct ImageTree : TreeFixture {
    std::unique_ptr<TImageList> images = std::make_unique<TImageList>(nullptr);
    std::unique_ptr<TImageList> stateImages = std::make_unique<TImageList>(nullptr);
    explicit ImageTree(TBiDiMode mode = bdLeftToRight)
        : TreeFixture({"a", "a/b", "a/b/c", "a/b/c/d", "e"}) {
        tree->SetBiDiMode(mode);
        images->SetSize(12, 12);
        stateImages->SetSize(16, 16);
        tree->SetImages(images.get());
        tree->SetStateImages(stateImages.get());
        tree->OnGetImageIndex = [this](TBaseLazyTree*, PLazyNode n, TLTImageKind kind, int, bool&,
                                       int& index) {
            if (name(n) == "c" && (kind == ikNormal || kind == ikState)) index = 0;
        };
        addMisc(toCheckSupport);
        tree->SetCheckType(nodes["c"], ctCheckBox);
        tree->FullExpand();
        uitest::processMessages();
    }
    THitInfo hit(int x, int y) {
        THitInfo h;
        tree->GetHitTestInfoAt(x, y, true, h);
        return h;
    }
};
