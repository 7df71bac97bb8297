#include "grid/core/base/CellGraphic.h"

#include <gtest/gtest.h>

namespace {
// An object that reports its destruction.
class Tracked : public TObject {
public:
    explicit Tracked(bool& freed) : freed_(freed) { freed_ = false; }
    ~Tracked() override { freed_ = true; }

private:
    bool& freed_;
};

class TrackedIcon : public TIcon {
public:
    explicit TrackedIcon(bool& freed) : freed_(freed) { freed_ = false; }
    ~TrackedIcon() override { freed_ = true; }

private:
    bool& freed_;
};
} // namespace

TEST(CellGraphic, BringsAnglesIntoRange) {
    struct Case {
        int angle, stored;
    };
    const Case cases[] = {{-90, 270}, {720, 360}, {360, 360},  {0, 0},
                          {-360, 0},  {361, 1},   {-721, 359}, {45, 45}};
    for (const auto& c : cases) {
        TCellGraphic g;
        g.SetAngle(c.angle);
        EXPECT_EQ(g.CellType(), ctRotated);
        EXPECT_EQ(g.CellAngle(), c.stored) << c.angle;
    }
}

TEST(CellGraphic, PacksButtonSize) {
    TCellGraphic g;
    g.SetButton(80, 20, "Go", haCenter, vaCenter);
    EXPECT_EQ(g.CellIndex(), 20 * 65536 + 80);
    EXPECT_EQ(g.CellText(), "Go");
    EXPECT_FALSE(g.CellBoolean());
    g.SetButton(-1, 1, "", haLeft, vaTop); // the width keeps to the low 16 bits
    EXPECT_EQ(g.CellIndex(), 0x1FFFF);
}

TEST(CellGraphic, SizesPicturesByStretchMode) {
    struct Case {
        TStretchMode mode;
        int w, h, cw, rh, pad;
        TSize size;
    };
    const Case cases[] = {
        {StretchWithAspectRatio, 100, 50, 60, 60, 0, {60, 30}},
        {Shrink, 100, 50, 60, 60, 0, {60, 60}},
        {ShrinkWithAspectRatio, 100, 50, 60, 60, 0, {60, 30}},
        {noStretch, 100, 50, 60, 60, 0, {100, 50}},
        {Stretch, 100, 50, 60, 60, 4, {56, 56}},
        {Shrink, 20, 10, 60, 60, 0, {20, 10}},
        {ShrinkWithAspectRatio, 20, 10, 60, 60, 0, {20, 10}},
        {StretchWithAspectRatio, 20, 10, 60, 60, 0, {60, 30}},
        {StretchWithAspectRatio, 50, 100, 60, 60, 0, {30, 60}},
        {StretchWithAspectRatio, 3, 5, 5, 5, 0, {3, 5}},  // 3 x 1.0
        {StretchWithAspectRatio, 5, 2, 5, 3, 0, {5, 2}},  // 2 x 1.0
        {StretchWithAspectRatio, 10, 5, 5, 5, 0, {5, 2}}, // 2.5 rounds to even
        {StretchWithAspectRatio, 10, 7, 5, 5, 0, {5, 4}}, // 3.5 rounds to even
        {StretchWithAspectRatio, 0, 0, 40, 30, 0, {0, 30}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CalcPictureSize(c.w, c.h, c.cw, c.rh, c.pad, c.mode), c.size)
            << c.mode << " " << c.w << "x" << c.h;
}

TEST(CellGraphic, FreesOnlyWhatItOwns) {
    bool created = false, borrowed = false, icon = false;
    {
        TCellGraphic g;
        g.SetBitmap(new Tracked(created), false, haLeft, vaTop);
        g.SetCellCreated(true);
    }
    EXPECT_TRUE(created);
    Tracked mine(borrowed);
    {
        TCellGraphic g;
        g.SetBitmap(&mine, false, haLeft, vaTop);
    }
    EXPECT_FALSE(borrowed);
    {
        TCellGraphic g;
        g.SetIcon(new TrackedIcon(icon), haLeft, vaTop);
        g.SetCellCreated(true);
    }
    EXPECT_TRUE(icon);
    bool balloon = false;
    {
        TCellGraphic g;
        g.SetCheckBox(true, false, false, haLeft, vaTop);
        g.SetCellBitmap(new Tracked(balloon));
        g.SetCellAngle(1);
    }
    EXPECT_TRUE(balloon);
}

TEST(CellGraphic, ChangingTheKindFreesTheOwnedObject) {
    bool freed = false;
    TCellGraphic g;
    g.SetBitmap(new Tracked(freed), false, haLeft, vaTop);
    g.SetCellCreated(true);
    g.SetAngle(90);
    EXPECT_TRUE(freed);
    EXPECT_EQ(g.CellBitmap(), nullptr);
    EXPECT_FALSE(g.CellCreated());
}

TEST(CellGraphic, MultiImageListReportsChangesOfItsCell) {
    std::pair<int, int> changed{-1, -1};
    TCellGraphic g;
    g.SetMultiImage(2, 5, 0, haLeft, vaTop, [&](TObject*, int c, int r) { changed = {c, r}; });
    EXPECT_TRUE(g.CellBoolean());
    EXPECT_TRUE(g.CellCreated());
    auto* list = dynamic_cast<TIntList*>(g.CellBitmap());
    ASSERT_NE(list, nullptr);
    list->Add(3);
    EXPECT_EQ(changed, std::make_pair(2, 5));
}

TEST(CellGraphic, AssignCopiesValuesButNeverObjects) {
    bool sourceBmp = false, targetBmp = false;
    TCellGraphic source;
    source.SetPicture(new Tracked(sourceBmp), true, Shrink, 3, haRight, vaBottom);
    source.SetCellCreated(true);
    source.SetCellText("t");
    TCellGraphic target;
    target.SetBitmap(new Tracked(targetBmp), false, haLeft, vaTop);
    target.SetCellCreated(true);
    target.Assign(&source);
    EXPECT_TRUE(targetBmp); // what the target owned is freed, not leaked
    EXPECT_EQ(target.CellBitmap(), nullptr);
    EXPECT_EQ(target.CellType(), ctPicture);
    EXPECT_EQ(target.CellAngle(), int(Shrink));
    EXPECT_EQ(target.CellIndex(), 3);
    EXPECT_EQ(target.CellHAlign(), haRight);
    EXPECT_EQ(target.CellText(), "t");
    EXPECT_TRUE(target.CellCreated());
    EXPECT_FALSE(sourceBmp);
}

TEST(CellGraphic, SizesItsOwnPictureAndFilePicture) {
    TPicture picture;
    TBitmap bmp(100, 50);
    picture.SetGraphic(&bmp);
    TCellGraphic g;
    g.SetPicture(&picture, false, StretchWithAspectRatio, 0, haLeft, vaTop);
    EXPECT_EQ(g.GetPictureSize(60, 60, true), (TSize{60, 30}));
    g.SetPicture(&picture, false, Stretch, 10, haLeft, vaTop);
    EXPECT_EQ(g.GetPictureSize(60, 60, false), (TSize{50, 50}));
    TFilePicture file; // no file: 0 x 0
    g.SetFilePicture(&file, false, noStretch, 0, haLeft, vaTop);
    EXPECT_EQ(g.GetPictureSize(60, 60, false), (TSize{0, 0}));
}
