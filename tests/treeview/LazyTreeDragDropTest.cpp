// Dragging nodes within a tree and between trees (through the drag loop of this process and
// through Qt's drag and drop), the data object and the drag manager, the drop mark and the
// clipboard.
#include "platform/testing/NativeMouse.h"
#include "tests/treeview/TreeInput.h"
#include "treeview/LazyTreeOle.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Every format the registry has for the tree's class.
void offerAllFormats(TBaseLazyTree* tree) {
    TStringList names;
    TClipboardFormatList::EnumerateFormats(tree->TreeClass(), &names);
    tree->SetClipboardFormats(&names);
}

// The names of a tree's nodes in tree order, children in brackets.
std::string shape(TreeFixture& f, PLazyNode parent = nullptr) {
    std::string s;
    for (PLazyNode n = f.tree->GetFirstChildNoInit(parent ? parent : f.tree->RootNode()); n;
         n = n->NextSibling) {
        if (!s.empty()) s += " ";
        s += f.tree->GetText(n, -1);
        if (n->ChildCount) s += "(" + shape(f, n) + ")";
    }
    return s;
}

// A tree that accepts every drag and inserts dropped nodes where the drop mode says.
void acceptDrops(TBaseLazyTree* tree) {
    tree->OnDragOver = [](TBaseLazyTree*, TObject*, TShiftState, TDragState, TPoint, TDropMode,
                          DWORD&, bool& accept) { accept = true; };
    tree->OnDragDrop = [](TBaseLazyTree* t, TObject*, const std::shared_ptr<IDataObject>& data,
                          const TFormatArray&, TShiftState, TPoint, DWORD& effect, TDropMode mode) {
        const TLTNodeAttachMode attach = mode == dmAbove    ? amInsertBefore
                                         : mode == dmBelow  ? amInsertAfter
                                         : mode == dmOnNode ? amAddChildLast
                                                            : amNoWhere;
        t->ProcessDrop(data, t->DropTargetNode(), effect, attach);
    };
}

std::string text(IDataObject& d, CLIPFORMAT f) {
    const auto b = DataObjectBytes(d, f);
    return f == CF_UNICODETEXT
               ? WideBytesText(b.data(), b.size())
               : std::string(reinterpret_cast<const char*>(b.data()),
                             strnlen(reinterpret_cast<const char*>(b.data()), b.size()));
}

struct TreePair {
    TreeFixture a{{"a1", "a1/a11", "a2", "a3"}};
    TreeFixture b{{"b1", "b2"}};
    TreePair() {
        b.form.SetBounds(320, 0, 300, 300);
        for (TreeFixture* f : {&a, &b}) {
            offerAllFormats(f->tree);
            f->tree->SetDragMode(dmAutomatic);
            acceptDrops(f->tree);
            f->setSelectionOptions({toMultiSelect});
            // Moved nodes keep their names; copies are new nodes.
            f->tree->OnGetText = [this](TBaseLazyTree*, PLazyNode n, int, TVSTTextType,
                                        std::string& t) {
                t = "copy";
                for (TreeFixture* g : {&a, &b})
                    if (auto it = g->names.find(n); it != g->names.end()) t = it->second;
            };
        }
        uitest::processMessages();
    }
    // Presses on a node of from, moves beyond the threshold (the drag starts) and releases the
    // button over at in to's client area, with the keys of keys.
    void drag(TreeFixture& from, const std::string& node, TreeFixture& to, TPoint at,
              TShiftState keys = {}) {
        const TPoint p = from.textPoint(node);
        uitest::whenDragIdle([&to, at] { uitest::dragPointer(to.tree, at); });
        uitest::whenDragIdle([&to, at, keys] { uitest::dragPointer(to.tree, at, keys); });
        uitest::mouseDown(from.tree, p);
        uitest::mouseMove(from.tree, TPoint{p.X + 12, p.Y + 8}, {ssLeft});
        uitest::mouseUp(from.tree, TPoint{p.X + 12, p.Y + 8});
    }
};

struct TwoTrees : ::testing::Test, TreePair {};

TEST(LazyTreeDragDrop, DragsMoveOrCopyNodesAboveOnOrBelowTheTarget) {
    struct Case {
        const char* node;
        const char* target;
        int where; // -1 upper part of the row, 0 on the text, 1 lower part
        TShiftState keys;
        const char* source;
        const char* result;
    } cases[] = {
        // Between trees a drag copies (through the tree stream); with Shift it moves.
        {"a2", "b1", -1, {ssShift}, "a1(a11) a3", "copy b1 b2"},
        {"a2", "b2", 1, {ssShift}, "a1(a11) a3", "b1 b2 copy"},
        {"a2", "b1", 0, {ssShift}, "a1(a11) a3", "b1(copy) b2"},
        {"a1", "b2", 1, {}, "a1(a11) a2 a3", "b1 b2 copy(copy)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.node + std::string(" -> ") + c.target);
        TreePair fresh;
        const TRect r = fresh.b.tree->GetDisplayRect(fresh.b[c.target], -1, false);
        const TPoint at = c.where == 0
                              ? fresh.b.textPoint(c.target)
                              : TPoint{r.Right - 4, c.where < 0 ? r.Top + 2 : r.Bottom - 2};
        fresh.drag(fresh.a, c.node, fresh.b, at, c.keys);
        EXPECT_EQ(shape(fresh.a), c.source);
        EXPECT_EQ(shape(fresh.b), c.result);
        EXPECT_FALSE(fresh.a.tree->Dragging());
        EXPECT_EQ(fresh.b.tree->DropTargetNode(), nullptr);
    }
}

TEST_F(TwoTrees, WithinOneTreeADragMovesAndCannotEnterItsOwnSubtree) {
    const TRect r = a.tree->GetDisplayRect(a["a3"], -1, false);
    drag(a, "a1", a, TPoint{150, r.Bottom - 2});
    EXPECT_EQ(shape(a), "a2 a3 a1(a11)");
    EXPECT_EQ(a.tree->LastDragEffect(), DROPEFFECT_NONE); // moved by the drop itself
    a.tree->FullExpand();
    uitest::processMessages();
    drag(a, "a1", a, a.textPoint("a11"));
    EXPECT_EQ(shape(a), "a2 a3 a1(a11)");
}

TEST_F(TwoTrees, WithoutAnAcceptingHandlerNothingIsDropped) {
    b.tree->OnDragOver = nullptr;
    drag(a, "a2", b, b.textPoint("b1"));
    EXPECT_EQ(shape(a), "a1(a11) a2 a3");
    EXPECT_EQ(shape(b), "b1 b2");
    EXPECT_EQ(a.tree->LastDragEffect(), DROPEFFECT_NONE);
}

TEST_F(TwoTrees, TheDropMarkShowsWhereTheNodesWouldGo) {
    a.tree->SetSelected(a["a2"], true);
    auto data = a.tree->DragManager()->CurrentDataObject();
    auto target = std::dynamic_pointer_cast<IDropTarget>(b.tree->DragManager());
    const TRect r = b.tree->GetDisplayRect(b["b1"], -1, false);
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(target->DragEnter(data, MK_LBUTTON, b.tree->ClientToScreen({r.Right - 4, r.Top + 2}),
                                effect),
              S_OK);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(
        target->DragOver(MK_LBUTTON, b.tree->ClientToScreen({r.Right - 4, r.Bottom - 2}), effect),
        S_OK);
    EXPECT_EQ(effect, DROPEFFECT_COPY); // from another tree
    EXPECT_EQ(b.tree->DropTargetNode(), b["b1"]);
    EXPECT_EQ(b.tree->LastDropMode(), dmBelow);
    // The mark's filled band lies just above the row's bottom edge.
    const TColor mark = ColorToRGB(b.tree->Colors()->DropMarkColor());
    EXPECT_EQ(uitest::pixel(b.tree, r.Left + 20, r.Bottom - 2), mark);
    target->DragLeave();
    EXPECT_EQ(b.tree->DropTargetNode(), nullptr);
    EXPECT_NE(uitest::pixel(b.tree, r.Left + 20, r.Bottom - 2), mark);
}

TEST_F(TwoTrees, ADropThroughQtCopiesTheNodesAndCarriesTheirTexts) {
    a.tree->SetSelected(a["a1"], true);
    a.tree->SetSelected(a["a3"], true);
    auto data = a.tree->DragManager()->CurrentDataObject();
    // What a text editor takes of the drag.
    EXPECT_EQ(text(*data, CF_UNICODETEXT), "a1\r\na3\r\n");
    const DWORD done =
        uitest::sendNativeDrop(b.tree, *data, b.textPoint("b2"), DROPEFFECT_COPY | DROPEFFECT_MOVE);
    EXPECT_EQ(done, DROPEFFECT_COPY);
    EXPECT_EQ(shape(b), "b1 b2(copy(copy) copy)");
    EXPECT_EQ(shape(a), "a1(a11) a2 a3");
}

TEST_F(TwoTrees, AComponentDragCarriesTheSourceTreeToTreesAndControls) {
    a.tree->SetDragType(dtVCL);
    std::vector<std::string> events;
    a.tree->OnStartDrag = [&](TObject*, std::unique_ptr<TObject>&) { events.push_back("start"); };
    a.tree->OnEndDrag = [&](TObject*, TObject* target, int, int) {
        events.push_back(target == b.tree ? "end on b" : target ? "end elsewhere" : "end nowhere");
    };
    const auto from = [&](TObject* source) { return source == a.tree ? "a" : "?"; };
    b.tree->OnDragOver = [&](TBaseLazyTree*, TObject* source, TShiftState, TDragState state, TPoint,
                             TDropMode, DWORD&, bool& accept) {
        if (state != dsDragMove)
            events.push_back(std::string(state == dsDragEnter ? "enter from " : "leave from ") +
                             (source ? from(source) : "-"));
        accept = true;
    };
    b.tree->OnDragDrop = [&](TBaseLazyTree* t, TObject* source,
                             const std::shared_ptr<IDataObject>& data, const TFormatArray&,
                             TShiftState, TPoint, DWORD&, TDropMode mode) {
        events.push_back(std::string("drop from ") + from(source) + (data ? " with data" : "") +
                         " on " + b.name(t->DropTargetNode()) +
                         (mode == dmOnNode ? " itself" : ""));
    };
    // A plain control on the source's form takes drops through its own events.
    auto* panel = new TPanel(&a.form);
    panel->SetParent(&a.form);
    panel->SetBounds(210, 0, 80, 80);
    panel->OnDragOver = [&](TObject*, TObject* source, int, int, TDragState, bool& accept) {
        accept = source == a.tree;
    };
    panel->OnDragDrop = [&](TObject*, TObject* source, int, int) {
        events.push_back(std::string("panel drop from ") + from(source));
    };
    uitest::processMessages();
    const TPoint start = a.textPoint("a2");
    const auto onA = [&](TWinControl* c, TPoint p) {
        return a.tree->ScreenToClient(c->ClientToScreen(p));
    };
    const auto move = [&](TPoint p) {
        uitest::postNativeMouseMove(a.tree, p, true);
        uitest::processMessages();
    };
    const TPoint overB = onA(b.tree, b.textPoint("b2"));

    uitest::postNativeMouseDown(a.tree, start);
    uitest::processMessages();
    EXPECT_TRUE(a.tree->TreeStates().Contains(tsVCLDragPending));
    EXPECT_TRUE(a.tree->Dragging());
    move({start.X + 3, start.Y + 3});
    EXPECT_EQ(events, std::vector<std::string>{"start"});
    move(overB);
    move({overB.X + 1, overB.Y});
    EXPECT_EQ(b.tree->DropTargetNode(), b["b2"]);
    uitest::postNativeMouseUp(a.tree, {overB.X + 1, overB.Y});
    uitest::processMessages();
    EXPECT_EQ(events, (std::vector<std::string>{"start", "enter from a", "drop from a on b2 itself",
                                                "end on b"}));
    EXPECT_FALSE(a.tree->Dragging());
    EXPECT_TRUE(
        (a.tree->TreeStates() * TLazyTreeStates{tsVCLDragPending, tsVCLDragging, tsVCLDragFinished})
            .Empty());
    EXPECT_EQ(b.tree->DropTargetNode(), nullptr);

    // Onto the panel.
    events.clear();
    uitest::postNativeMouseDown(a.tree, a.textPoint("a3"));
    uitest::processMessages();
    move(onA(panel, {40, 40}));
    uitest::postNativeMouseUp(a.tree, onA(panel, {41, 40}));
    uitest::processMessages();
    EXPECT_EQ(events, (std::vector<std::string>{"start", "panel drop from a", "end elsewhere"}));

    // Escape ends a drag without a drop.
    events.clear();
    uitest::postNativeMouseDown(a.tree, a.textPoint("a1"));
    uitest::processMessages();
    move(overB);
    uitest::postNativeKey(VK_ESCAPE, a.tree);
    uitest::processMessages();
    EXPECT_EQ(events,
              (std::vector<std::string>{"start", "enter from a", "leave from a", "end nowhere"}));
    EXPECT_FALSE(a.tree->Dragging());
    uitest::postNativeMouseUp(a.tree, overB);
    uitest::processMessages();
    EXPECT_EQ(events.size(), 4u);
    EXPECT_EQ(shape(b), "b1 b2");
}

TEST(LazyTreeDragDrop, ProposedEffectsFollowTheKeys) {
    TreeFixture f({"x"}, false);
    TestTree other(nullptr);
    const DWORD all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    const DWORD copyMove = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    struct Case {
        TObject* source;
        TShiftState shift;
        DWORD allowed, expected;
    } cases[] = {
        {f.tree, {}, copyMove, DROPEFFECT_MOVE},
        {&other, {}, copyMove, DROPEFFECT_COPY},
        {nullptr, {}, copyMove, DROPEFFECT_COPY},
        {f.tree, {ssCtrl}, copyMove, DROPEFFECT_COPY},
        {f.tree, {ssCtrl, ssShift}, all, DROPEFFECT_LINK},
        {f.tree, {ssCtrl, ssShift}, copyMove, DROPEFFECT_MOVE},
        {&other, {ssShift}, copyMove, DROPEFFECT_MOVE},
        {&other, {ssAlt}, all, DROPEFFECT_LINK},
        {&other, {}, DROPEFFECT_LINK, DROPEFFECT_LINK},
    };
    for (const Case& c : cases)
        EXPECT_EQ(f.tree->ProposeEffect(c.source, c.shift, c.allowed), c.expected);
}

// --- the data object -------------------------------------------------------------------------

TEST(LazyTreeDataObject, TheReferenceNamesTheTreeOnlyInThisProcess) {
    TreeFixture f({"x"}, false);
    auto data = std::make_shared<TLTDataObject>(f.tree, false);
    ASSERT_TRUE(data->FormatEtcArray().empty());
    FORMATETC ref;
    ref.cfFormat = LazyTreeReferenceFormat;
    STGMEDIUM m;
    ASSERT_EQ(data->GetData(ref, m), S_OK);
    // The process id and the whole address of the tree.
    EXPECT_EQ(GlobalSize(m.hGlobal), 4 + sizeof(void*));
    std::vector<std::uint8_t> block(GlobalSize(m.hGlobal));
    std::memcpy(block.data(), GlobalLock(m.hGlobal), block.size());
    GlobalUnlock(m.hGlobal);
    ReleaseStgMedium(m);
    EXPECT_EQ(f.tree->TreeFromDataObject(data), f.tree);

    auto forged = std::make_shared<TMemoryDataObject>();
    forged->SetFormat(LazyTreeReferenceFormat, block);
    EXPECT_EQ(f.tree->TreeFromDataObject(forged), f.tree);
    block[0] ^= 1; // another process
    forged->SetFormat(LazyTreeReferenceFormat, block);
    EXPECT_EQ(f.tree->TreeFromDataObject(forged), nullptr);

    f.tree->ChangeTreeStates({tsClipboardFlushing}, {});
    EXPECT_EQ(data->GetData(ref, m), E_FAIL);
    f.tree->ChangeTreeStates({}, {tsClipboardFlushing});
}

TEST(LazyTreeDataObject, QueriesStoredMediaAndTheFormatList) {
    TreeFixture f({"x"}, false);
    auto data = std::make_shared<TLTDataObject>(f.tree, false);
    const CLIPFORMAT own = CLIPFORMAT(RegisterClipboardFormat("Tree Test Format"));
    FORMATETC one;
    one.cfFormat = own;
    one.lindex = 1;
    FORMATETC two = one;
    two.lindex = 2;
    // Stored copies are independent of the caller's blocks.
    for (FORMATETC* fe : {&one, &two}) {
        STGMEDIUM m;
        m.tymed = TYMED_HGLOBAL;
        m.hGlobal = GlobalAlloc(GHND, 3);
        std::memcpy(GlobalLock(m.hGlobal), fe == &one ? "one" : "two", 3);
        GlobalUnlock(m.hGlobal);
        ASSERT_EQ(data->SetData(*fe, m, false), S_OK);
        ReleaseStgMedium(m);
    }
    FORMATETC three = one;
    three.lindex = 3;
    EXPECT_EQ(data->QueryGetData(three), DV_E_LINDEX);
    EXPECT_EQ(data->QueryGetData(two), S_OK);
    FORMATETC aspect = one;
    aspect.dwAspect = 4;
    EXPECT_EQ(data->QueryGetData(aspect), DV_E_DVASPECT);
    FORMATETC medium = one;
    medium.tymed = TYMED_ISTREAM;
    EXPECT_EQ(data->QueryGetData(medium), DV_E_TYMED);
    FORMATETC other;
    other.cfFormat = CF_HDROP;
    EXPECT_EQ(data->QueryGetData(other), DV_E_CLIPFORMAT);
    // Media are found by format id: the first one stored answers.
    STGMEDIUM out;
    ASSERT_EQ(data->GetData(two, out), S_OK);
    EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(out.hGlobal)), 3), "one");
    GlobalUnlock(out.hGlobal);
    ReleaseStgMedium(out);
    STGMEDIUM picture;
    picture.tymed = TYMED_ENHMF;
    FORMATETC pictureFormat = one;
    pictureFormat.cfFormat = CF_HDROP;
    pictureFormat.tymed = TYMED_ENHMF;
    EXPECT_EQ(data->SetData(pictureFormat, picture, false), DV_E_TYMED);

    std::shared_ptr<IEnumFORMATETC> list;
    EXPECT_EQ(data->EnumFormatEtc(DATADIR_SET, list), OLE_S_USEREG);
    EXPECT_EQ(list, nullptr);
    ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, list), S_OK);
    const ULONG count = ULONG(data->FormatEtcArray().size());
    EXPECT_EQ(list->Skip(count + 1), S_FALSE);
    EXPECT_EQ(list->Skip(count), S_OK);
    FORMATETC got;
    ULONG fetched = 7;
    EXPECT_EQ(list->Next(1, &got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
}

TEST(LazyTreeDataObject, TheDragSourceGoesOnWhileOneButtonIsHeld) {
    TreeFixture f({"x"}, false);
    TLTDragManager manager(f.tree);
    EXPECT_EQ(manager.QueryContinueDrag(false, MK_LBUTTON), S_OK);
    EXPECT_EQ(manager.QueryContinueDrag(false, MK_RBUTTON), S_OK);
    EXPECT_EQ(manager.QueryContinueDrag(false, MK_LBUTTON | MK_RBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(manager.QueryContinueDrag(true, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(manager.QueryContinueDrag(false, 0), DRAGDROP_S_DROP);
}

TEST(LazyTreeDataObject, TheDragPictureFadesAndKeepsItsSize) {
    EXPECT_EQ(DragImageAlpha(10, 10, 20, 20), 255);
    EXPECT_LT(DragImageAlpha(0, 0, 20, 20), DragImageAlpha(5, 5, 20, 20));
    TreeFixture f({"a", "b"});
    f.tree->SetSelected(f["a"], true);
    // A hot spot at the corner: the picture keeps DragWidth x DragHeight.
    f.tree->PrepareDragImage({0, 0}, nullptr);
    TLTDragImage* image = f.tree->DragImage();
    ASSERT_NE(image->Picture(), nullptr);
    EXPECT_EQ(image->Picture()->Width(), f.tree->DragWidth());
    EXPECT_EQ(image->Picture()->Height(), f.tree->DragHeight());
    // Unpainted pixels are the colour key: fully transparent.
    EXPECT_EQ(image->Picture()->ScanLine(0)[3], 0);
    EXPECT_FALSE(image->Visible());
    image->ShowDragImage();
    EXPECT_TRUE(image->Visible());
    image->SetMoveRestriction(dmrVerticalOnly);
    const TPoint at = f.tree->ClientToScreen({0, 0});
    EXPECT_FALSE(image->WillMove({at.X + 30, at.Y}));
    EXPECT_TRUE(image->WillMove({at.X, at.Y + 3}));
    image->EndDrag();
    EXPECT_FALSE(image->Visible());
    f.tree->SetDragImageKind(diNoImage);
    f.tree->PrepareDragImage({0, 0}, nullptr);
    EXPECT_EQ(image->Picture(), nullptr);
}

// --- the clipboard ---------------------------------------------------------------------------

TEST_F(TwoTrees, CopyAndPasteThroughTheClipboard) {
    a.tree->SetSelected(a["a2"], true);
    a.tree->CopyToClipboard();
    EXPECT_EQ(a.tree->CutCopyCount(), 1u);
    // The desktop's clipboard holds the texts and the HTML of the nodes.
    EXPECT_EQ(Clipboard()->AsText(), "a2\r\n");
    const std::string html = Clipboard()->GetAsBytes(HtmlClipFormat);
    EXPECT_NE(html.find("StartHTML:00000097"), std::string::npos);
    EXPECT_NE(html.find(">a2</td>"), std::string::npos);
    b.tree->SetFocusedNode(b["b1"]);
    EXPECT_TRUE(b.tree->PasteFromClipboard());
    EXPECT_EQ(shape(b), "b1(copy) b2");
    EXPECT_EQ(shape(a), "a1(a11) a2 a3");
    // The source keeps its marks until the clipboard lets the data go.
    EXPECT_EQ(a.tree->CutCopyCount(), 1u);
    Clipboard()->SetAsText("other");
    EXPECT_FALSE(b.tree->PasteFromClipboard());
    EXPECT_EQ(a.tree->CutCopyCount(), 0u);
    EXPECT_FALSE(a.tree->TreeStates().Contains(tsCopyPending));
}

TEST_F(TwoTrees, TheClipboardHoldsTheNodesAsRichText) {
    a.tree->SetSelected(a["a1"], true);
    a.tree->SetSelected(a["a11"], true);
    a.tree->CopyToClipboard();
    const std::string rtf = Clipboard()->GetAsBytes(RtfClipFormat);
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl{\\f0 ", 0), 0u);
    // One row per node; the child is indented by a tab and each character is a Unicode escape.
    EXPECT_NE(rtf.find("\\pard\\intbl\\f0\\cf1\\fs"), std::string::npos);
    EXPECT_NE(rtf.find(" \\u97\\'3f\\u49\\'3f\\cell\\row\r\n"), std::string::npos);
    EXPECT_NE(rtf.find("\\pard\\intbl\\tab  \\u97\\'3f\\u49\\'3f\\u49\\'3f\\cell"),
              std::string::npos);
    EXPECT_NE(rtf.find("\\row\r\n\\pard\\par}"), std::string::npos);
    EXPECT_EQ(Clipboard()->GetAsBytes(RtfNoObjectsClipFormat), rtf);
}

TEST(LazyTreeDataObject, AdviseSinksHearOfStoredData) {
    TreeFixture f({"x"}, false);
    auto data = std::make_shared<TLTDataObject>(f.tree, false);
    struct Sink : IAdviseSink {
        std::vector<std::string> heard;
        void OnDataChange(const FORMATETC&, const STGMEDIUM& m) override {
            if (m.tymed != TYMED_HGLOBAL) {
                heard.push_back("-");
                return;
            }
            heard.push_back(std::string(static_cast<const char*>(GlobalLock(m.hGlobal)),
                                        GlobalSize(m.hGlobal)));
            GlobalUnlock(m.hGlobal);
        }
    };
    auto sink = std::make_shared<Sink>();
    std::shared_ptr<IEnumSTATDATA> list;
    EXPECT_EQ(data->DUnadvise(1), E_NOTIMPL);
    EXPECT_EQ(data->EnumDAdvise(list), OLE_E_ADVISENOTSUPPORTED);
    FORMATETC format;
    format.cfFormat = CLIPFORMAT(RegisterClipboardFormat("Tree Advise Format"));
    const auto store = [&](const char* text) {
        STGMEDIUM m;
        m.tymed = TYMED_HGLOBAL;
        m.hGlobal = GlobalAlloc(GHND, 3);
        std::memcpy(GlobalLock(m.hGlobal), text, 3);
        GlobalUnlock(m.hGlobal);
        ASSERT_EQ(data->SetData(format, m, true), S_OK);
    };
    DWORD withData = 0, noData = 0, once = 0;
    ASSERT_EQ(data->DAdvise(format, 0, sink, withData), S_OK);
    ASSERT_EQ(data->DAdvise(format, ADVF_NODATA, sink, noData), S_OK);
    ASSERT_EQ(data->DAdvise(format, ADVF_ONLYONCE, sink, once), S_OK);
    EXPECT_EQ(std::vector<DWORD>({withData, noData, once}), std::vector<DWORD>({1, 2, 3}));
    store("one");
    EXPECT_EQ(sink->heard, std::vector<std::string>({"one", "-", "one"}));
    // The connection made for one notice is gone; an ended one cannot end twice.
    ASSERT_EQ(data->DUnadvise(noData), S_OK);
    EXPECT_EQ(data->DUnadvise(noData), OLE_E_NOCONNECTION);
    EXPECT_EQ(data->DUnadvise(once), OLE_E_NOCONNECTION);
    store("two");
    EXPECT_EQ(sink->heard.back(), "two");
    EXPECT_EQ(sink->heard.size(), 4u);
    ASSERT_EQ(data->EnumDAdvise(list), S_OK);
    STATDATA got[2];
    ULONG fetched = 0;
    EXPECT_EQ(list->Next(2, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(got[0].dwConnection, withData);
    EXPECT_EQ(got[0].pAdvSink, sink);
    // A first notice at once, with the data stored so far.
    DWORD prime = 0;
    ASSERT_EQ(data->DAdvise(format, ADVF_PRIMEFIRST, sink, prime), S_OK);
    EXPECT_EQ(sink->heard.back(), "two");
    EXPECT_EQ(sink->heard.size(), 5u);
}

TEST_F(TwoTrees, CutAndPasteMovesTheNodesAndEndsTheCut) {
    a.tree->SetSelected(a["a1"], true);
    a.tree->CutToClipboard();
    EXPECT_TRUE(a.tree->TreeStates().Contains(tsCutPending));
    EXPECT_TRUE(b.tree->PasteFromClipboard());
    // Moved into another tree, the nodes travel through the tree stream.
    EXPECT_EQ(shape(b), "b1 b2 copy(copy)");
    EXPECT_EQ(shape(a), "a2 a3");
    EXPECT_FALSE(a.tree->TreeStates().Contains(tsCutPending));
}

TEST_F(TwoTrees, ACopyWhileACutIsPendingCancelsTheCut) {
    a.tree->SetSelected(a["a1"], true);
    a.tree->CutToClipboard();
    a.tree->ClearSelection();
    a.tree->SetSelected(a["a3"], true);
    a.tree->CopyToClipboard();
    EXPECT_FALSE(a.tree->TreeStates().Contains(tsCutPending));
    EXPECT_EQ(a.tree->GetSortedCutCopySet(false), TNodeArray{a["a3"]});
    EXPECT_TRUE(b.tree->PasteFromClipboard());
    // a1 was only cut before the copy: it stays.
    EXPECT_EQ(shape(a), "a1(a11) a2 a3");
    EXPECT_EQ(shape(b), "b1 b2 copy");
}

TEST_F(TwoTrees, AFlushedClipboardNamesNoTreeAndPastesCopies) {
    a.tree->SetSelected(a["a2"], true);
    a.tree->CutToClipboard();
    a.tree->FlushClipboard();
    EXPECT_EQ(a.tree->CutCopyCount(), 0u);
    EXPECT_TRUE(b.tree->PasteFromClipboard());
    EXPECT_EQ(shape(b), "b1 b2 copy");
    EXPECT_EQ(shape(a), "a1(a11) a2 a3");
}

TEST(LazyTreeClipboard, FormatsAreOfferedByClassAndPriority) {
    TreeFixture f({"x"}, false);
    // An empty list offers no format: a copy of it cannot be pasted.
    EXPECT_TRUE(std::make_shared<TLTDataObject>(f.tree, true)->FormatEtcArray().empty());
    offerAllFormats(f.tree);
    std::vector<std::string> offered;
    const auto data = std::make_shared<TLTDataObject>(f.tree, true);
    for (const FORMATETC& fe : data->FormatEtcArray()) {
        std::string name;
        TClipboardFormatList::FindFormat(fe.cfFormat, name);
        offered.push_back(name);
    }
    EXPECT_EQ(offered, (std::vector<std::string>{
                           "Lazy Tree Data", "HTML Format", "Rich Text Format Without Objects",
                           "Rich Text Format", "CSV", "Unicode text", "Plain text"}));
    TLazyDrawTree draw(nullptr);
    EXPECT_EQ(draw.ClipboardFormats()->Add("HTML Format"), -1);
    EXPECT_GE(draw.ClipboardFormats()->Add("lazy tree data"), 0);
}

} // namespace
