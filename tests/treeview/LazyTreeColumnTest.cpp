#include "treeview/LazyTree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ColumnTree {
    TLazyStringTree tree{nullptr};
    TLazyTreeColumns* columns = tree.Header()->Columns();
    TLazyTreeColumn* add(int width = 50) {
        TLazyTreeColumn* c = columns->Add();
        c->SetWidth(width);
        return c;
    }
    std::vector<int> lefts() const {
        std::vector<int> out;
        for (int i = 0; i < columns->Count(); ++i) out.push_back(columns->Items(i)->Left());
        return out;
    }
};

TEST(LazyTreeColumn, DefaultsPositionsAndLeftEdges) {
    ColumnTree t;
    TLazyTreeColumn* a = t.add(30);
    TLazyTreeColumn* b = t.add(40);
    TLazyTreeColumn* c = t.add(50);
    EXPECT_EQ(a->Options().ToBits(), 0x88FF);
    EXPECT_EQ(a->MinWidth(), 10);
    EXPECT_EQ(a->MaxWidth(), 10000);
    EXPECT_EQ(c->Position(), 2u);
    EXPECT_EQ(t.tree.Header()->MainColumn(), 0);
    EXPECT_EQ(t.lefts(), (std::vector<int>{0, 30, 70}));
    // A position past the end is the last one; the others close up.
    a->SetPosition(TColumnPosition(-1));
    EXPECT_EQ(a->Position(), 2u);
    EXPECT_EQ(t.lefts(), (std::vector<int>{90, 0, 40}));
    // A hidden column takes no room.
    TLTColumnOptions options = b->Options();
    options.Exclude(coVisible);
    b->SetOptions(options);
    EXPECT_EQ(t.lefts(), (std::vector<int>{50, 0, 0}));
    // A column moved between two fixed ones becomes fixed.
    for (TLazyTreeColumn* f : {b, c}) f->SetOptions(f->Options() + TLTColumnOptions{coFixed});
    a->SetPosition(1);
    EXPECT_EQ(t.columns->PositionToIndex(), (std::vector<TColumnIndex>{1, 0, 2}));
    EXPECT_TRUE(a->Options().Contains(coFixed));
}

TEST(LazyTreeColumn, WidthLimits) {
    ColumnTree t;
    TLazyTreeColumn* a = t.add(100);
    std::vector<TColumnIndex> resized;
    t.tree.OnColumnResize = [&](TLTHeader*, TColumnIndex c) { resized.push_back(c); };
    a->SetWidth(5);
    EXPECT_EQ(a->Width(), 10);
    EXPECT_EQ(a->LastWidth(), 100);
    a->SetWidth(80);
    a->SetMaxWidth(60);
    EXPECT_EQ(a->Width(), 60);
    a->SetMinWidth(-5);
    EXPECT_EQ(a->MinWidth(), 0);
    a->SetMinWidth(70); // crossing the maximum stops at it
    EXPECT_EQ(a->MinWidth(), 60);
    // A tree without a window is not told of width changes.
    EXPECT_TRUE(resized.empty());
    // The auto-size column keeps its width against direct assignments.
    t.tree.Header()->SetOptions(t.tree.Header()->Options() + TLTHeaderOptions{hoAutoResize});
    t.tree.Header()->SetAutoSizeIndex(0);
    a->SetMinWidth(0);
    a->SetWidth(20);
    EXPECT_EQ(a->Width(), 60);
}

TEST(LazyTreeColumn, FixedAreaKeepsWithinItsPercentage) {
    ColumnTree t;
    TLazyTreeColumn* a = t.add(50);
    TLazyTreeColumn* b = t.add(50);
    for (TLazyTreeColumn* c : {a, b}) c->SetOptions(c->Options() + TLTColumnOptions{coFixed});
    t.tree.Header()->FixedAreaConstraints()->SetConstraints(1, 50); // MaxWidthPercent
    const int room = t.tree.ClientWidth() * 50 / 100 - 50;
    b->SetWidth(5000);
    EXPECT_EQ(b->Width(), room);
    // A minimum above a maximum raises it, a maximum below a minimum lowers that.
    TLTFixedAreaConstraints* k = t.tree.Header()->FixedAreaConstraints();
    k->SetConstraints(3, 70);
    EXPECT_EQ(k->MaxWidthPercent(), 70);
    k->SetConstraints(1, 30);
    EXPECT_EQ(k->MinWidthPercent(), 30);
    k->SetConstraints(1, 0);
    EXPECT_EQ(k->MinWidthPercent(), 30);
}

TEST(LazyTreeColumn, DeletingAdjustsTheHeadersIndexes) {
    ColumnTree t;
    for (int i = 0; i < 4; ++i) t.add();
    TLTAutoOptions autoOptions = t.tree.TreeOptions()->AutoOptions();
    autoOptions.Exclude(toAutoSort);
    t.tree.TreeOptions()->SetAutoOptions(autoOptions);
    t.tree.Header()->SetMainColumn(2);
    t.tree.Header()->SetSortColumn(3);
    t.columns->Delete(1);
    EXPECT_EQ(t.tree.Header()->MainColumn(), 1);
    EXPECT_EQ(t.tree.Header()->SortColumn(), 2);
    t.columns->Delete(1); // the main column: the first remaining one takes over
    EXPECT_EQ(t.tree.Header()->MainColumn(), 0);
    t.columns->Delete(1); // the sort column
    EXPECT_EQ(t.tree.Header()->SortColumn(), NoColumnIndex);
    EXPECT_EQ(t.columns->PositionToIndex(), std::vector<TColumnIndex>{0});
    t.columns->Delete(0);
    EXPECT_EQ(t.tree.Header()->MainColumn(), NoColumnIndex);
    EXPECT_EQ(t.tree.MainColumn(), NoColumnIndex);
}

TEST(LazyTreeColumn, NamesAssignAndEquality) {
    ColumnTree t;
    TLazyTreeColumn* a = t.add(70);
    TLazyTreeColumn* b = t.add();
    a->SetText("Gr\xC3\xB6\xC3\x9F"
               "e");
    EXPECT_EQ(a->DisplayName(), a->Text());
    b->SetText("\xE2\x82\xAC"); // above U+00FF
    EXPECT_EQ(b->DisplayName(), "Column 1");
    a->SetHint("hint");
    a->SetCaptionAlignment(taRightJustify);
    a->SetColor(clRed);
    a->SetCheckBox(true);
    b->Assign(a);
    EXPECT_EQ(b->Text(), a->Text());
    EXPECT_EQ(b->Width(), 70);
    EXPECT_EQ(b->CaptionAlignment(), taRightJustify);
    EXPECT_FALSE(b->Options().Contains(coParentColor));
    EXPECT_FALSE(b->CheckBox()); // not copied
    EXPECT_FALSE(b->Equals(a));  // positions differ
    ColumnTree other;
    TLazyTreeColumn* x = other.add();
    x->Assign(a);
    EXPECT_EQ(b->Position(), 0u); // Assign took a's position, a moved on
    EXPECT_TRUE(x->Equals(b));
    x->SetTag(1);
    EXPECT_FALSE(x->Equals(b));
}

TEST(LazyTreeColumn, StreamRecord) {
    ColumnTree t;
    TLazyTreeColumn* a = t.add(77);
    a->SetText("Name");
    a->SetHint("Tip");
    a->SetTag(9);
    TMemoryStream plain;
    a->SaveToStream(plain);
    EXPECT_EQ(plain.Size(), 4 + 8 + 4 + 6 + 13 * 4); // 17 fields
    a->SetCaptionAlignment(taCenter);
    TMemoryStream full;
    a->SaveToStream(full);
    EXPECT_EQ(full.Size(), plain.Size() + 4); // the 18th field
    full.SetPosition(0);
    TLazyTreeColumn* b = t.add();
    b->LoadFromStream(full, 6);
    EXPECT_EQ(b->Text(), "Name");
    EXPECT_EQ(b->Hint(), "Tip");
    EXPECT_EQ(b->Width(), 77);
    EXPECT_EQ(b->Tag(), 9);
    EXPECT_EQ(b->CaptionAlignment(), taCenter);
    // Version 1 options: a member was inserted at bit 4.
    TMemoryStream old;
    TLazyTreeColumn* c = t.add();
    c->SetOptions(TLTColumnOptions::FromBits(0x10));
    c->SaveToStream(old);
    old.SetPosition(0);
    c->LoadFromStream(old, 1);
    EXPECT_EQ(c->Options().ToBits(), 0x20);
    // A record that ends early is refused by the stream.
    TMemoryStream cut;
    cut.WriteBuffer(plain.Memory(), 20);
    cut.SetPosition(0);
    EXPECT_THROW(c->LoadFromStream(cut, 6), EReadError);
}

} // namespace
