#include "grid/core/base/GridSupport.h"

#include "platform/base/SysUtils.h"
#include "platform/gfx/Graphics.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <unistd.h>
#include <vector>

namespace {
struct Events {
    std::vector<std::pair<int, int>> cells;
    void attach(TIntList& list) {
        list.OnChange = [this](TObject*, int c, int r) { cells.emplace_back(c, r); };
    }
};
} // namespace

TEST(IntList, FiresChangesWithItsCell) {
    TIntList list(4, 7);
    Events ev;
    ev.attach(list);
    list.Add(1);
    list.Add(22);
    list.Insert(0, 0); // no event
    list.SetInteger(2, 333);
    list.DeleteValue(99); // absent: nothing
    EXPECT_EQ(ev.cells, (std::vector<std::pair<int, int>>(3, {4, 7})));
    EXPECT_EQ(list.StrValue(), "0,1,333");
    list.DeleteValue(0);
    EXPECT_EQ(list.StrValue(), "1,333");
    EXPECT_TRUE(list.HasValue(333));
    EXPECT_EQ(ev.cells.size(), 4u);
    EXPECT_THROW(list.GetInteger(5), EListError);
}

TEST(IntList, StrValueRoundTripsAndKeepsItemsBeforeABadOne) {
    TIntList list(0, 0);
    Events ev;
    ev.attach(list);
    list.SetStrValue("1,22,333");
    EXPECT_EQ(list.StrValue(), "1,22,333");
    EXPECT_EQ(ev.cells.size(), 3u);
    list.SetStrValue("");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_THROW(list.SetStrValue("5,x,6"), EConvertError);
    EXPECT_EQ(list.StrValue(), "5");
}

TEST(SortIndexList, SavesAndLoadsDirections) {
    TSortIndexList list;
    list.AddIndex(3, true);
    list.AddIndex(5, false);
    EXPECT_EQ(list.SaveToString(), "u3;d5");
    EXPECT_EQ(list.GetInteger(1), int(0x80000005u));
    EXPECT_FALSE(list.GetSortDirections(1));
    EXPECT_EQ(list.GetSortColumns(1), 5);

    struct Case {
        const char* text;
        const char* saved;
    };
    const Case cases[] = {
        {"u3;d5;x", "u3;d5"}, {"U3", "d3"}, {"", ""}, {";;u7;", "u7"}, {"u70000", "u4464"},
    };
    for (const auto& c : cases) {
        list.LoadFromString(c.text);
        EXPECT_EQ(list.SaveToString(), c.saved) << c.text;
    }
}

TEST(SortIndexList, TogglesAndEditsOnlyTheFirstEntryOfAColumn) {
    TSortIndexList list;
    list.AddIndex(2, true);
    list.AddIndex(2, true);
    int changes = 0;
    list.OnChange = [&](TObject*, int, int) { ++changes; };
    list.ToggleIndex(2);
    EXPECT_EQ(list.SaveToString(), "d2;u2");
    list.ToggleIndex(9); // not listed
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(list.FindIndex(2), 0);
    EXPECT_EQ(list.FindIndex(9), -1);
    list.SetSortColumns(0, 6);
    EXPECT_EQ(list.SaveToString(), "d6;u2");
    list.SetSortDirections(0, true);
    list.SetSortDirections(1, false);
    EXPECT_EQ(list.SaveToString(), "u6;d2");
}

TEST(ControlList, FindsAndRemovesItemsNotControls) {
    TControlList list;
    auto* control = reinterpret_cast<TControl*>(0x1234); // never dereferenced
    list.AddControl(1, 2, control);
    list.AddControl(3, 4, nullptr);
    EXPECT_EQ(list.ControlIndex(3, 4), 1);
    EXPECT_EQ(list.ControlIndex(2, 1), -1);
    EXPECT_EQ(list.GetControl(0)->Control(), control);
    list.RemoveControl(0);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.ControlIndex(3, 4), 0);
    EXPECT_THROW(list.RemoveControl(5), EListError);
}

TEST(FileStringList, WritesPendingTextAndReadsLineByLine) {
    TFileStringList file;
    file.Write("a");
    file.Write("b");
    file.WriteLn("c");
    file.WriteLn("d");
    ASSERT_EQ(file.Count(), 2);
    EXPECT_EQ(file[0], "abc");
    file.Reset();
    std::string line;
    file.ReadLn(line);
    EXPECT_EQ(line, "abc");
    file.ReadLn(line);
    EXPECT_EQ(line, "d");
    EXPECT_TRUE(file.Eof());
    EXPECT_THROW(file.ReadLn(line), EStringListError);
}

TEST(FilePicture, KeepsNameAndSizeAndDrawsTheFile) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("gridcore_filepicture_" + std::to_string(::getpid()) + ".bmp");
    {
        TBitmap red(8, 4);
        red.SetPixelFormat(pf24bit);
        red.Canvas()->Brush()->SetColor(clRed);
        red.Canvas()->FillRect(TRect(0, 0, 8, 4));
        red.SaveToFile(path.string());
    }
    TFilePicture pic;
    pic.SetFilename(path.string());
    EXPECT_EQ(pic.Width(), 8);
    EXPECT_EQ(pic.Height(), 4);
    TFilePicture copy;
    copy.Assign(&pic);
    EXPECT_EQ(copy.Filename(), path.string());
    EXPECT_EQ(copy.Width(), 8);

    TBitmap target(20, 20);
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect(TRect(0, 0, 20, 20));
    copy.DrawPicture(target.Canvas(), TRect(0, 0, 16, 16));
    EXPECT_EQ(target.PixelColor(10, 10), clRed);
    EXPECT_EQ(target.PixelColor(18, 18), clWhite);

    std::filesystem::remove(path);
    EXPECT_ANY_THROW(pic.SetFilename(path.string()));
    pic.SetFilename("");
    EXPECT_EQ(pic.Width(), 0);
    pic.DrawPicture(target.Canvas(), TRect(0, 0, 16, 16)); // no name: nothing to draw
}

namespace {
// A bare window to own the arrow and focus windows (no back end: no native windows).
class TOwnerWindow : public TCustomControl {
public:
    explicit TOwnerWindow(TComponent* owner) : TCustomControl(owner) {}
};
} // namespace

TEST(ArrowWindow, EachDirectionShapesTheWindowToItsArrow) {
    struct Case {
        TArrowDirection dir;
        std::vector<TPoint> inside;
        std::vector<TPoint> outside;
    };
    const Case cases[] = {
        {arrUp, {{5, 2}, {5, 7}, {4, 8}}, {{1, 1}, {9, 1}, {1, 7}, {8, 7}, {5, 10}}},
        {arrDown, {{5, 2}, {5, 6}, {4, 1}}, {{1, 1}, {8, 1}, {1, 7}, {9, 7}, {5, 9}}},
        {arrLeft, {{2, 5}, {5, 5}, {1, 4}}, {{1, 1}, {1, 9}, {7, 1}, {7, 9}, {9, 5}}},
        {arrRight, {{2, 5}, {6, 5}, {7, 4}}, {{1, 1}, {1, 9}, {7, 1}, {7, 9}, {9, 5}}},
    };
    TOwnerWindow owner(nullptr);
    for (const auto& c : cases) {
        auto* arrow = new TArrowWindow(&owner, c.dir);
        EXPECT_EQ(arrow->Parent(), &owner);
        EXPECT_FALSE(arrow->Visible());
        EXPECT_EQ(arrow->Color(), clLime);
        TRegion shape;
        ASSERT_NE(GetWindowRgn(arrow->Handle(), &shape), RGN_ERROR) << c.dir;
        for (TPoint p : c.inside)
            EXPECT_TRUE(PtInRegion(&shape, p.X, p.Y)) << c.dir << " (" << p.X << "," << p.Y << ")";
        for (TPoint p : c.outside)
            EXPECT_FALSE(PtInRegion(&shape, p.X, p.Y)) << c.dir << " (" << p.X << "," << p.Y << ")";

        // A new window is shaped again.
        arrow->RecreateWnd();
        arrow->HandleNeeded();
        EXPECT_NE(GetWindowRgn(arrow->Handle(), &shape), RGN_ERROR) << c.dir;
    }
}

TEST(ArrowWindow, ArrowAndFocusWindowsAreMadeAsPopups) {
    TOwnerWindow owner(nullptr);
    auto* arrow = new TArrowWindow(&owner, arrDown);
    auto* focus = new TGridFocusWindow(&owner);
    focus->SetParent(&owner);
    auto* child = new TOwnerWindow(&owner);
    child->SetParent(&owner);
    struct Case {
        const char* name;
        TWinControl* window;
        DWORD style;
        DWORD exStyle;
    };
    const Case cases[] = {
        {"arrow", arrow, WS_POPUP, 0},
        {"focus", focus, WS_POPUP | WS_DISABLED, WS_EX_TOPMOST | WS_EX_TOOLWINDOW},
        {"plain child", child, WS_CHILD | WS_CLIPSIBLINGS, 0},
    };
    for (const auto& c : cases) {
        HWND h = c.window->Handle();
        EXPECT_EQ(DWORD(GetWindowLong(h, GWL_STYLE)), c.style) << c.name;
        EXPECT_EQ(DWORD(GetWindowLong(h, GWL_EXSTYLE)), c.exStyle) << c.name;
        EXPECT_EQ(c.window->IsPopupWindow(), bool(c.style & WS_POPUP)) << c.name;
    }
}

TEST(ArrowWindow, PaintsLimeOnlyInsideItsArrowOverTheOwner) {
    TOwnerWindow owner(nullptr);
    owner.SetBounds(100, 50, 40, 30);
    owner.SetColor(clWhite);
    auto* arrow = new TArrowWindow(&owner, arrUp);
    arrow->SetBounds(110, 60, 20, 20); // screen coordinates: (10, 10) in the owner
    arrow->Show();
    owner.HandleNeeded();
    ASSERT_TRUE(arrow->HandleAllocated());

    TBitmap image(40, 30);
    image.SetPixelFormat(pf24bit);
    owner.PaintTo(image.Canvas(), 0, 0);
    EXPECT_EQ(image.PixelColor(15, 12), clLime) << "arrow head";
    EXPECT_EQ(image.PixelColor(15, 17), clLime) << "arrow shaft";
    EXPECT_EQ(image.PixelColor(11, 11), clWhite) << "window corner outside the arrow";
    EXPECT_EQ(image.PixelColor(25, 25), clWhite) << "rest of the window";
    int lime = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            if (image.PixelColor(x, y) == clLime) {
                ++lime;
                EXPECT_TRUE(arrow->WindowRegion()->Contains({x - 10, y - 10})) << x << "," << y;
            }
    EXPECT_GT(lime, 30);
}

TEST(GridFocusWindow, IsMadeEmptyRedAndTakesNoInput) {
    TOwnerWindow owner(nullptr);
    auto* focus = new TGridFocusWindow(&owner);
    focus->SetParent(&owner);
    int downs = 0;
    focus->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
    HWND h = focus->Handle();
    EXPECT_EQ(focus->Width(), 0);
    EXPECT_EQ(focus->Height(), 0);
    EXPECT_EQ(focus->Color(), clRed);
    EXPECT_TRUE(focus->Enabled()) << "only its window is disabled";
    EXPECT_FALSE(IsWindowEnabled(h));

    focus->SetBounds(0, 0, 10, 10);
    focus->Update();
    EXPECT_EQ(focus->BackingImage()->PixelColor(5, 5), clRed);
    DeliverMouse(focus, WM_LBUTTONDOWN, {5, 5}, MK_LBUTTON);
    DeliverMouse(focus, WM_LBUTTONUP, {5, 5}, 0);
    EXPECT_EQ(downs, 0);
}
