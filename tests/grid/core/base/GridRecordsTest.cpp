#include "grid/core/base/GridRecords.h"

#include <gtest/gtest.h>

TEST(CellNode, RepaintsOnlyWhenAVisibleSettingChanges) {
    TCellNode node(nullptr);
    int repaints = 0;
    node.OnRepaint = [&] { ++repaints; };
    node.SetTreeColor(clSilver);
    node.SetTreeColor(clSilver);
    node.SetNodeIndent(12); // the default: no change
    node.SetColor(clRed);   // plain
    node.SetShowTree(false);
    EXPECT_EQ(repaints, 2);
    TCellNode copy(nullptr);
    copy.Assign(&node);
    EXPECT_EQ(copy.TreeColor(), clSilver);
    EXPECT_EQ(copy.Color(), clRed);
    EXPECT_FALSE(copy.ShowTree());
    EXPECT_EQ(copy.NodeType(), cnXP);
}

TEST(ColumnSize, AssignCopiesSettingsButNotTheOwner) {
    TComponent owner(nullptr);
    TColumnSize a(&owner), b(nullptr);
    int stretches = 0;
    a.OnStretch = [&] { ++stretches; };
    a.SetKey("k");
    a.SetStretchColumn(3);
    a.SetStretch(true);
    EXPECT_EQ(stretches, 1);
    b.Assign(&a);
    EXPECT_EQ(b.Owner(), nullptr);
    EXPECT_EQ(b.Key(), "k");
    EXPECT_EQ(b.StretchColumn(), 3);
    EXPECT_TRUE(b.Stretch());
    EXPECT_EQ(b.Location(), clRegistry);
}

TEST(CellNode, GlyphsAreCopies) {
    TCellNode node(nullptr);
    TBitmap glyph(9, 9);
    node.SetExpandGlyph(&glyph);
    glyph.SetSize(3, 3);
    EXPECT_EQ(node.ExpandGlyph()->Width(), 9);
    TCellNode copy(nullptr);
    copy.Assign(&node);
    EXPECT_EQ(copy.ExpandGlyph()->Width(), 9);
    EXPECT_NE(copy.ExpandGlyph(), node.ExpandGlyph());
    node.SetExpandGlyph(nullptr);
    EXPECT_TRUE(node.ExpandGlyph()->Empty());
    EXPECT_TRUE(node.ContractGlyph()->Empty());
}
