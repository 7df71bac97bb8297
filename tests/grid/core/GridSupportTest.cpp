#include "grid/core/GridSupport.h"

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
