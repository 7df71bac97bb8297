#include "platform/ui/Menus.h"
#include "platform/ui/core/WindowFrame.h"
#include "tests/treeview/TreeInput.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace {

// A shown tree with a visible header of three columns (widths 60, 50, 40) and the header at
// window y 0 .. 19.
struct HeaderFixture : TreeFixture {
    TLTHeader* header;
    TLazyTreeColumns* columns;
    explicit HeaderFixture(const std::vector<std::string>& rows = {"b", "c", "a"})
        : TreeFixture(rows) {
        header = tree->Header();
        columns = header->Columns();
        const char* captions[] = {"Name", "Size", "Kind"};
        const int widths[] = {60, 50, 40};
        for (int i = 0; i < 3; ++i) {
            TLazyTreeColumn* c = columns->Add();
            c->SetText(captions[i]);
            c->SetWidth(widths[i]);
        }
        header->SetOptions(header->Options() + TLTHeaderOptions{hoVisible});
        uitest::processMessages();
    }
    TLazyTreeColumn* col(int i) const { return columns->Items(i); }
    // Window point on the header at x.
    TPoint at(int x, int y = 8) const { return {x, y}; }
    void press(TPoint p) {
        uitest::postNativeWindowMouseDown(tree, p);
        uitest::processMessages();
    }
    void moveHeld(TPoint p) {
        uitest::postNativeWindowMouseMove(tree, p, true);
        uitest::processMessages();
    }
    void release(TPoint p) {
        uitest::postNativeWindowMouseUp(tree, p);
        uitest::processMessages();
    }
    void clickAt(TPoint p) {
        press(p);
        release(p);
    }
    // Dark pixels (caption text) of the header between x0 and x1, inside the cells' edges.
    int inkIn(int x0, int x1) {
        uitest::processMessages();
        tree->Update();
        const TWindowFrame* frame = WindowFrame(tree);
        int n = 0;
        for (int x = x0; x < x1; ++x)
            for (int y = 3; y < 16; ++y) {
                const TColor c = frame->Image->PixelColor(x, y);
                if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 0x60) ++n;
            }
        return n;
    }
    // A pixel of the window's frame image, where the header is painted.
    TColor framePixel(int x, int y) {
        uitest::processMessages();
        tree->Update();
        const TWindowFrame* frame = WindowFrame(tree);
        return frame && frame->Image ? frame->Image->PixelColor(x, y) : clNone;
    }
};

std::string streamBytes(TMemoryStream& Stream) {
    std::string bytes(std::size_t(Stream.Size()), '\0');
    Stream.SetPosition(0);
    Stream.ReadBuffer(bytes.data(), Stream.Size());
    return bytes;
}

TEST(LazyTreeHeader, VisibleHeaderTakesAStripAboveTheNodesAndPaintsItsColumns) {
    HeaderFixture t;
    const TWindowFrame* frame = WindowFrame(t.tree);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->Client.Top, 19);
    EXPECT_EQ(t.tree->HeaderRect(), TRect(0, 0, t.tree->Width(), 19));
    EXPECT_TRUE(t.header->InHeader({10, -5}));
    EXPECT_FALSE(t.header->InHeader({10, 5}));
    // Themed, each cell is flat on the window colour with a thin separator at its border.
    ASSERT_TRUE(t.tree->TreeStates().Contains(tsUseThemes));
    EXPECT_EQ(t.framePixel(56, 3), ColorToRGB(clWindow));
    const TColor separator = t.framePixel(59, 10);
    EXPECT_NE(separator, ColorToRGB(clWindow));
    EXPECT_EQ(t.framePixel(30, 18), separator);
    // Sorting by a column shows its arrow in the cell's right part.
    const auto arrowShown = [&] {
        for (int x = 60 + 50 - 24; x < 110 - 2; ++x)
            for (int y = 2; y < 17; ++y)
                if (t.framePixel(x, y) == ColorToRGB(clBtnShadow)) return true;
        return false;
    };
    t.header->SetSortColumn(1);
    EXPECT_TRUE(arrowShown());
    // Without themes each cell is a raised button: a white top-left edge, a dark right edge.
    t.tree->TreeOptions()->SetPaintOptions(t.tree->TreeOptions()->PaintOptions() -
                                           TLTPaintOptions{toThemeAware});
    t.header->Invalidate();
    EXPECT_EQ(t.framePixel(30, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(t.framePixel(59, 10), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(t.framePixel(56, 3), ColorToRGB(clBtnFace));
    EXPECT_TRUE(arrowShown());
}

TEST(LazyTreeHeader, DraggingABorderSizesTheColumnAndDoubleClickFitsIt) {
    HeaderFixture t;
    std::vector<std::string> events;
    t.tree->OnAfterColumnWidthTracking = [&](TLTHeader*, TColumnIndex c) {
        events.push_back("after " + std::to_string(c));
    };
    // The border of the first column lies at x 60.
    t.press(t.at(61));
    t.moveHeld(t.at(70));
    t.moveHeld(t.at(90));
    t.release(t.at(90));
    EXPECT_EQ(t.col(0)->Width(), 90);
    EXPECT_EQ(t.col(1)->Left(), 90);
    EXPECT_EQ(events, std::vector<std::string>{"after 0"});
    EXPECT_TRUE(t.header->States().Empty());
    // A double click on the border fits the column to its widest text.
    t.header->SetOptions(t.header->Options() + TLTHeaderOptions{hoDblClickResize});
    const int expected = t.tree->GetMaxColumnWidth(0);
    uitest::postNativeWindowDoubleClick(t.tree, t.at(91));
    uitest::processMessages();
    EXPECT_EQ(t.col(0)->Width(), expected);
    EXPECT_LT(expected, 90);
}

TEST(LazyTreeHeader, ColumnChangesRepaintTheHeaderAndRefitTheAutoSizeColumn) {
    HeaderFixture t;
    t.col(0)->SetWidth(120);
    EXPECT_GT(t.inkIn(4, 56), 0);
    EXPECT_EQ(t.inkIn(64, 116), 0);
    t.col(0)->SetCaptionAlignment(taRightJustify);
    EXPECT_EQ(t.inkIn(4, 56), 0);
    EXPECT_GT(t.inkIn(64, 116), 0);
    t.col(0)->SetText("");
    EXPECT_EQ(t.inkIn(4, 116), 0);
    // Hiding a column gives its room to the auto-size column.
    t.header->SetAutoSizeIndex(2);
    t.header->SetOptions(t.header->Options() + TLTHeaderOptions{hoAutoResize});
    const int fitted = t.col(2)->Width();
    EXPECT_EQ(fitted, t.tree->ClientWidth() - 170);
    t.col(1)->SetOptions(t.col(1)->Options() - TLTColumnOptions{coVisible});
    EXPECT_EQ(t.col(2)->Width(), fitted + 50);
}

TEST(LazyTreeHeader, ADraggedColumnShowsItsPictureFollowingTheMouse) {
    for (const bool restricted : {false, true}) {
        SCOPED_TRACE(restricted ? "horizontal only" : "free");
        HeaderFixture t;
        if (restricted)
            t.header->SetOptions(t.header->Options() + TLTHeaderOptions{hoRestrictDrag});
        TLTDragImage* image = t.header->DragImage();
        t.press(t.at(20));
        t.moveHeld(t.at(40));
        ASSERT_TRUE(image->Visible());
        ASSERT_NE(image->Window(), nullptr);
        // The picture starts over the column's cell, darkened, and is as large as the cell.
        const TPoint client = t.tree->ClientToScreen(TPoint(0, 0));
        const TPoint cell(client.X, client.Y - t.header->Height());
        EXPECT_EQ(image->ImagePosition(), cell);
        ASSERT_NE(image->Picture(), nullptr);
        EXPECT_EQ(image->Picture()->Width(), 60);
        EXPECT_EQ(image->Picture()->Height(), t.header->Height());
        const TColor face = ColorToRGB(clWindow); // the themed cell
        const TColor darkened = image->Picture()->PixelColor(56, 4);
        EXPECT_EQ(GetRValue(darkened), std::max(GetRValue(face) - 50, 0));
        t.moveHeld(t.at(70, 12));
        const TPoint moved(cell.X + 30, restricted ? cell.Y : cell.Y + 4);
        EXPECT_EQ(image->ImagePosition(), moved);
        EXPECT_EQ(image->Window()->Left(), moved.X);
        EXPECT_EQ(image->Window()->Top(), moved.Y);
        t.release(t.at(70, 12));
        EXPECT_FALSE(image->Visible());
        EXPECT_EQ(image->Window(), nullptr);
    }
}

// A header whose width tracking is refused, and columns whose captions carry a mark.
class MarkedColumn : public TLazyTreeColumn {
public:
    using TLazyTreeColumn::TLazyTreeColumn;
    std::string Text() const override { return "#" + TLazyTreeColumn::Text(); }
};
class FrozenHeader : public TLTHeader {
public:
    using TLTHeader::TLTHeader;
    int tracked = 0;

protected:
    bool FireColumnWidthTracking(TColumnIndex, TShiftState, TPoint&, TPoint) override {
        ++tracked;
        return false;
    }
};
class OwnHeaderTree : public TestTree {
public:
    explicit OwnHeaderTree(TComponent* AOwner) : TestTree(AOwner) { InstallHeader(); }
    std::vector<TColumnIndex> clicks;

protected:
    std::unique_ptr<TLTHeader> HeaderClass() override {
        return std::make_unique<FrozenHeader>(this);
    }
    TLazyTreeColumn* ColumnClass(TLazyTreeColumns* Owner) override {
        return new MarkedColumn(Owner);
    }
    void FireHeaderClick(const TLTHeaderHitInfo& HitInfo) override {
        clicks.push_back(HitInfo.Column);
        TestTree::FireHeaderClick(HitInfo);
    }
};

TEST(LazyTreeHeader, ADerivedTreeBringsItsOwnHeaderColumnsAndDispatchers) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 300);
    auto* tree = new OwnHeaderTree(&form);
    tree->SetParent(&form);
    tree->SetBounds(0, 0, 200, 180);
    tree->SetBorderStyle(bsNone);
    TLTHeader* header = tree->Header();
    auto* frozen = dynamic_cast<FrozenHeader*>(header);
    ASSERT_NE(frozen, nullptr);
    TLazyTreeColumn* first = header->Columns()->Add();
    header->Columns()->Add();
    first->SetText("Name");
    EXPECT_NE(dynamic_cast<MarkedColumn*>(first), nullptr);
    EXPECT_EQ(first->Text(), "#Name");
    header->SetOptions(header->Options() + TLTHeaderOptions{hoVisible});
    int heard = 0;
    tree->OnHeaderClick = [&](TLTHeader*, const TLTHeaderHitInfo&) { ++heard; };
    form.Show();
    uitest::processMessages();
    uitest::postNativeWindowMouseDown(tree, {70, 8});
    uitest::processMessages();
    uitest::postNativeWindowMouseUp(tree, {70, 8});
    uitest::processMessages();
    EXPECT_EQ(tree->clicks, std::vector<TColumnIndex>{1});
    EXPECT_EQ(heard, 1);
    // The header refuses every width step: the border drag leaves the width.
    uitest::postNativeWindowMouseDown(tree, {51, 8});
    uitest::processMessages();
    for (int x : {60, 80}) {
        uitest::postNativeWindowMouseMove(tree, {x, 8}, true);
        uitest::processMessages();
    }
    uitest::postNativeWindowMouseUp(tree, {80, 8});
    uitest::processMessages();
    EXPECT_GT(frozen->tracked, 0);
    EXPECT_EQ(first->Width(), 50);
}

TEST(LazyTreeHeader, ClicksOnCellsReportTheirColumn) {
    HeaderFixture t;
    std::vector<std::string> events;
    t.tree->OnColumnClick = [&](TBaseLazyTree*, TColumnIndex c, TShiftState) {
        events.push_back("click " + std::to_string(c));
    };
    t.tree->OnColumnDblClick = [&](TBaseLazyTree*, TColumnIndex c, TShiftState) {
        events.push_back("double " + std::to_string(c));
    };
    uitest::postNativeClickAt(t.tree, t.rowPoint("c", 80));
    uitest::processMessages();
    uitest::postNativeDoubleClickAt(t.tree, t.rowPoint("c", 130));
    uitest::processMessages();
    // The release after the double click is a click again.
    EXPECT_EQ(events, (std::vector<std::string>{"click 1", "click 2", "double 2", "click 2"}));
}

TEST(LazyTreeHeader, ClickSortsByTheColumnAndASecondClickFlipsTheDirection) {
    HeaderFixture t;
    t.header->SetOptions(t.header->Options() + TLTHeaderOptions{hoHeaderClickAutoSort});
    t.tree->OnCompareNodes = [&](TBaseLazyTree*, PLazyNode a, PLazyNode b, TColumnIndex,
                                 int& result) { result = t.name(a).compare(t.name(b)); };
    std::vector<int> clicks;
    t.tree->OnHeaderClick = [&](TLTHeader*, const TLTHeaderHitInfo& hit) {
        clicks.push_back(hit.Column);
    };
    auto order = [&] {
        std::string s;
        for (PLazyNode n = t.tree->GetFirst(); n; n = t.tree->GetNext(n)) s += t.name(n);
        return s;
    };
    t.clickAt(t.at(20));
    EXPECT_EQ(t.header->SortColumn(), 0);
    EXPECT_EQ(t.header->SortDirection(), sdAscending);
    EXPECT_EQ(order(), "abc");
    t.clickAt(t.at(20));
    EXPECT_EQ(t.header->SortDirection(), sdDescending);
    EXPECT_EQ(order(), "cba");
    // Another column sorts in its own default direction.
    t.col(1)->SetDefaultSortDirection(sdDescending);
    t.clickAt(t.at(80));
    EXPECT_EQ(t.header->SortColumn(), 1);
    EXPECT_EQ(t.header->SortDirection(), sdDescending);
    EXPECT_EQ(clicks, (std::vector<int>{0, 0, 1}));
}

TEST(LazyTreeHeader, DraggingAColumnMovesItOnlyPastTheThreshold) {
    HeaderFixture t;
    std::vector<std::string> events;
    t.tree->OnHeaderDragged = [&](TLTHeader*, TColumnIndex c, TColumnPosition old) {
        events.push_back("dragged " + std::to_string(c) + " from " + std::to_string(old));
    };
    // Five pixels are no drag.
    t.press(t.at(20));
    t.moveHeld(t.at(25));
    uitest::processMessages();
    EXPECT_FALSE(t.header->States().Contains(hsDragging));
    // Past it: the column follows onto the right half of the last column.
    t.moveHeld(t.at(26));
    t.moveHeld(t.at(140));
    uitest::processMessages();
    EXPECT_TRUE(t.header->States().Contains(hsDragging));
    EXPECT_EQ(t.columns->DropTarget(), 2);
    EXPECT_FALSE(t.columns->DropBefore());
    t.release(t.at(140));
    EXPECT_EQ(t.columns->PositionToIndex(), (std::vector<TColumnIndex>{1, 2, 0}));
    EXPECT_EQ(events, std::vector<std::string>{"dragged 0 from 0"});
    // Escape ends a drag without moving anything.
    t.press(t.at(70));
    t.moveHeld(t.at(100));
    uitest::processMessages();
    uitest::pressKey(VK_ESCAPE, {}, t.tree);
    EXPECT_FALSE(t.header->States().Contains(hsDragging));
    t.release(t.at(100));
    EXPECT_EQ(t.columns->PositionToIndex(), (std::vector<TColumnIndex>{1, 2, 0}));
    EXPECT_EQ(events.size(), 1u);
}

TEST(LazyTreeHeader, ColumnMenuHidesAndShowsColumnsAndOpensAtTheMouse) {
    HeaderFixture t;
    t.header->SetOptions(t.header->Options() +
                         TLTHeaderOptions{hoAutoColumnPopupMenu, hoDblClickResize});
    std::vector<std::string> shown;
    TPoint where;
    std::string pick = "Size";
    SetPopupMenuPresenter([&](TPopupMenu& m, TPoint p) -> TMenuItem* {
        where = p;
        TMenuItem* chosen = nullptr;
        for (int i = 0; i < m.Items()->Count(); ++i) {
            TMenuItem* item = m.Items()->Items(i);
            shown.push_back(item->Caption() + (item->Checked() ? "+" : "") +
                            (item->Enabled() ? "" : "!"));
            if (item->Caption() == pick) chosen = item;
        }
        return chosen;
    });
    std::vector<std::string> changes;
    t.tree->OnColumnVisibilityChanged = [&](TBaseLazyTree*, TColumnIndex c, bool v) {
        changes.push_back(std::to_string(c) + (v ? " shown" : " hidden"));
    };
    uitest::postNativeWindowRightClick(t.tree, t.at(75, 9));
    uitest::processMessages();
    EXPECT_EQ(shown, (std::vector<std::string>{"&Resize All Columns To Fit", "-", "Name+", "Size+",
                                               "Kind+"}));
    EXPECT_EQ(where, t.tree->ClientToScreen({75, 9 - 19}));
    EXPECT_FALSE(t.col(1)->Options().Contains(coVisible));
    EXPECT_EQ(changes, std::vector<std::string>{"1 hidden"});
    // The last visible column cannot be hidden.
    t.col(2)->SetOptions(t.col(2)->Options() - TLTColumnOptions{coVisible});
    shown.clear();
    pick = "";
    uitest::postNativeWindowRightClick(t.tree, t.at(10, 9));
    uitest::processMessages();
    EXPECT_EQ(shown, (std::vector<std::string>{"&Resize All Columns To Fit", "-", "Name+!", "Size",
                                               "Kind"}));
    SetPopupMenuPresenter(nullptr);
}

TEST(LazyTreeHeader, TabMovesTheFocusBetweenColumnsAndRows) {
    HeaderFixture t;
    t.setSelectionOptions({toExtendedFocus});
    t.tree->SetWantTabs(true);
    t.col(1)->SetOptions(t.col(1)->Options() - TLTColumnOptions{coAllowFocus});
    t.tree->SetFocus();
    t.tree->SetFocusedNode(t["b"]);
    t.tree->SetFocusedColumn(0);
    uitest::pressKey(VK_TAB, {}, t.tree);
    EXPECT_EQ(t.tree->FocusedColumn(), 2);
    EXPECT_EQ(t.tree->FocusedNode(), t["b"]);
    uitest::pressKey(VK_TAB, {}, t.tree);
    EXPECT_EQ(t.tree->FocusedColumn(), 0);
    EXPECT_EQ(t.tree->FocusedNode(), t["c"]);
    uitest::pressKey(VK_TAB, {ssShift}, t.tree);
    EXPECT_EQ(t.tree->FocusedColumn(), 2);
    EXPECT_EQ(t.tree->FocusedNode(), t["b"]);
    // The hit test names the column under a point.
    THitInfo hit;
    t.tree->GetHitTestInfoAt(70, 5, true, hit);
    EXPECT_EQ(hit.HitColumn, 1);
    t.tree->GetHitTestInfoAt(190, 5, true, hit);
    EXPECT_EQ(hit.HitColumn, InvalidColumnIndex);
    EXPECT_TRUE(hit.HitPositions.Contains(hiNowhere));
}

TEST(LazyTreeHeader, HeightKeepsItsLimitsAndADoubleClickOnTheEdgeRestoresTheDefault) {
    HeaderFixture t;
    t.header->SetHeight(5);
    EXPECT_EQ(t.header->Height(), 10);
    t.header->SetHeight(40);
    EXPECT_EQ(WindowFrame(t.tree)->Client.Top, 40);
    t.header->SetOptions(t.header->Options() + TLTHeaderOptions{hoHeightDblClickResize});
    uitest::postNativeWindowDoubleClick(t.tree, t.at(100, 39));
    uitest::processMessages();
    EXPECT_EQ(t.header->Height(), t.header->DefaultHeight());
    // The edge can be dragged with hoHeightResize.
    t.header->SetOptions(t.header->Options() + TLTHeaderOptions{hoHeightResize});
    t.press(t.at(100, 18));
    t.moveHeld(t.at(100, 25));
    t.moveHeld(t.at(100, 30));
    t.release(t.at(100, 30));
    EXPECT_EQ(t.header->Height(), 30);
}

TEST(LazyTreeHeader, ResizeColumnsSpreadsTheChangeWithAlternatingOddPixels) {
    HeaderFixture t;
    EXPECT_EQ(t.header->ResizeColumns(10, 0, 2), 10);
    EXPECT_EQ(t.col(0)->Width(), 64);
    EXPECT_EQ(t.col(1)->Width(), 53);
    EXPECT_EQ(t.col(2)->Width(), 43);
    // Columns at their minimums give nothing.
    for (int i = 0; i < 3; ++i) t.col(i)->SetMinWidth(t.col(i)->Width());
    EXPECT_EQ(t.header->ResizeColumns(-30, 0, 2), 0);
    EXPECT_EQ(t.col(0)->Width(), 64);
}

TEST(LazyTreeHeader, StreamRoundTripAndCorruptStreamsRefused) {
    HeaderFixture t;
    t.col(1)->SetPosition(0);
    t.col(2)->SetCaptionAlignment(taCenter);
    t.header->SetSortColumn(2);
    t.header->FixedAreaConstraints()->SetConstraints(1, 40);
    t.header->Font()->SetName("Verdana");
    TMemoryStream stream;
    t.header->SaveToStream(stream);

    HeaderFixture other(std::vector<std::string>{});
    stream.SetPosition(0);
    other.header->LoadFromStream(stream);
    EXPECT_TRUE(other.columns->Equals(t.columns));
    EXPECT_EQ(other.header->SortColumn(), 2);
    EXPECT_EQ(other.header->FixedAreaConstraints()->MaxWidthPercent(), 40);
    EXPECT_EQ(other.header->Font()->Name(), "Verdana");
    EXPECT_EQ(other.col(2)->CaptionAlignment(), taCenter);

    // Corruptions: a huge column count, a broken position map, a font name longer than the
    // stream, a cut stream. Each is refused and the header stays as it was.
    const std::string bytes = streamBytes(stream);
    const std::size_t mapAt = bytes.size() - 4 * 13 - 7 - 4 * 9 - 4 * 3;
    auto patched = [&](std::size_t at, std::int32_t v) {
        std::string b = bytes;
        for (int i = 0; i < 4; ++i) b[at + std::size_t(i)] = char((v >> (8 * i)) & 0xFF);
        return b;
    };
    const std::vector<std::string> corrupt = {patched(8, 1000000), patched(mapAt, 7),
                                              patched(bytes.size() - 4 * 13 - 7 - 4, 5000),
                                              bytes.substr(0, bytes.size() - 3)};
    for (const std::string& b : corrupt) {
        TMemoryStream bad;
        bad.WriteBuffer(b.data(), std::int64_t(b.size()));
        bad.SetPosition(0);
        EXPECT_THROW(other.header->LoadFromStream(bad), EReadError);
        EXPECT_TRUE(other.columns->Equals(t.columns));
        EXPECT_EQ(other.header->SortColumn(), 2);
    }
    // Percentages beyond 100 are taken as 100.
    std::string b = patched(bytes.size() - 4, 250);
    TMemoryStream big;
    big.WriteBuffer(b.data(), std::int64_t(b.size()));
    big.SetPosition(0);
    other.header->LoadFromStream(big);
    EXPECT_EQ(other.header->FixedAreaConstraints()->MinWidthPercent(), 100);
}

} // namespace
