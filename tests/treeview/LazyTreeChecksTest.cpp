// Check states: the state functions, the next state of a click, propagation through three-state
// parents and radio siblings with the order of their events, the check images.
#include "tests/treeview/TreeInput.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(LazyTreeChecks, StateFunctionsFollowTheTable) {
    struct Case {
        TCheckState state, pressed, released, enabled, toggled;
        bool disabled, checked;
    };
    const Case cases[] = {
        {csUncheckedNormal, csUncheckedPressed, csUncheckedNormal, csUncheckedNormal,
         csCheckedNormal, false, false},
        {csUncheckedPressed, csUncheckedPressed, csUncheckedNormal, csUncheckedPressed,
         csCheckedPressed, false, false},
        {csCheckedNormal, csCheckedPressed, csCheckedNormal, csCheckedNormal, csUncheckedNormal,
         false, true},
        {csCheckedPressed, csCheckedPressed, csCheckedNormal, csCheckedPressed, csUncheckedPressed,
         false, true},
        {csMixedNormal, csMixedPressed, csMixedNormal, csMixedNormal, csCheckedNormal, false,
         false},
        {csMixedPressed, csMixedPressed, csMixedNormal, csMixedPressed, csCheckedPressed, false,
         false},
        {csUncheckedDisabled, csUncheckedDisabled, csUncheckedDisabled, csUncheckedNormal,
         csUncheckedDisabled, true, false},
        {csCheckedDisabled, csCheckedDisabled, csCheckedDisabled, csCheckedNormal,
         csCheckedDisabled, true, true},
        {csMixedDisabled, csMixedDisabled, csMixedDisabled, csMixedNormal, csMixedDisabled, true,
         false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PressedCheckState(c.state), c.pressed) << int(c.state);
        EXPECT_EQ(UnpressedCheckState(c.state), c.released) << int(c.state);
        EXPECT_EQ(EnabledCheckState(c.state), c.enabled) << int(c.state);
        EXPECT_EQ(ToggledCheckState(c.state), c.toggled) << int(c.state);
        EXPECT_EQ(IsDisabledCheckState(c.state), c.disabled) << int(c.state);
        EXPECT_EQ(IsCheckedState(c.state), c.checked) << int(c.state);
    }
    TestTree tree(nullptr);
    EXPECT_EQ(tree.NextCheckState(ctCheckBox, csCheckedNormal), csUncheckedNormal);
    EXPECT_EQ(tree.NextCheckState(ctTriStateCheckBox, csMixedNormal), csCheckedNormal);
    EXPECT_EQ(tree.NextCheckState(ctRadioButton, csCheckedNormal), csCheckedNormal);
    EXPECT_EQ(tree.NextCheckState(ctButton, csCheckedNormal), csUncheckedNormal);
    EXPECT_EQ(tree.NextCheckState(ctNone, csUncheckedNormal), csMixedNormal);
}

// A three-state parent P with children A and B, and radio buttons R1 to R3 under Q.
struct CheckTree : TreeFixture {
    CheckTree() : TreeFixture({"P", "P/A", "P/B", "Q", "Q/R1", "Q/R2", "Q/R3", "C"}, false) {
        addMisc(toCheckSupport);
        addAuto(toAutoTristateTracking);
        tree->OnChecking = [this](TBaseLazyTree*, PLazyNode n, TCheckState& s, bool& allowed) {
            log.push_back("checking " + name(n) + "=" + std::to_string(int(s)));
            if (name(n) == refuse) allowed = false;
        };
        tree->OnChecked = [this](TBaseLazyTree*, PLazyNode n) {
            log.push_back("checked " + name(n));
        };
    }
    void set(const std::string& n, TCheckType t, TCheckState s) {
        nodes.at(n)->CheckType = t;
        nodes.at(n)->CheckState = s;
    }
    std::string refuse;
};

TEST(LazyTreeChecks, PropagationForEveryCheckType) {
    constexpr TCheckState U = csUncheckedNormal, C = csCheckedNormal, M = csMixedNormal;
    struct Case {
        const char* what;
        TCheckType parentType, aType, bType;
        TCheckState p, a, b; // before
        const char* node;    // the node set
        TCheckState value;
        const char* refuse; // a node whose OnChecking refuses
        TCheckState p2, a2, b2;
        const char* events;
    };
    const Case cases[] = {
        {"checking a parent checks its enabled children", ctTriStateCheckBox, ctCheckBox,
         ctCheckBox, U, U, csUncheckedDisabled, "P", C, "", C, C, csUncheckedDisabled,
         "checking P=2, checking A=2, checked A, checked P"},
        {"unchecking a parent leaves a disabled checked child", ctTriStateCheckBox, ctCheckBox,
         ctCheckBox, C, C, csCheckedDisabled, "P", U, "", M, U, csCheckedDisabled,
         "checking P=0, checking A=0, checked A, checked P"},
        {"one checked child makes the parent mixed", ctTriStateCheckBox, ctCheckBox, ctCheckBox, U,
         U, U, "A", C, "", M, C, U, "checking A=2, checking P=4, checked P, checked A"},
        {"the last unchecked child checked makes it checked", ctTriStateCheckBox, ctCheckBox,
         ctCheckBox, M, C, U, "B", C, "", C, C, C,
         "checking B=2, checking P=2, checked P, checked B"},
        {"the last checked child unchecked makes it unchecked", ctTriStateCheckBox, ctCheckBox,
         ctTriStateCheckBox, M, C, U, "A", U, "", U, U, U,
         "checking A=0, checking P=0, checked P, checked A"},
        {"a mixed child makes it mixed", ctTriStateCheckBox, ctCheckBox, ctTriStateCheckBox, C, C,
         C, "B", M, "", M, C, M, "checking B=4, checking P=4, checked P, checked B"},
        {"a refused parent rolls the child back", ctTriStateCheckBox, ctCheckBox, ctCheckBox, U, U,
         U, "A", C, "P", U, U, U, "checking A=2, checking P=4"},
        {"a refused child keeps everything", ctTriStateCheckBox, ctCheckBox, ctCheckBox, U, U, U,
         "A", C, "A", U, U, U, "checking A=2"},
        {"a two-state parent does not follow", ctCheckBox, ctCheckBox, ctCheckBox, U, U, U, "A", C,
         "", U, C, U, "checking A=2, checked A"},
        {"a two-state parent does not push down", ctCheckBox, ctCheckBox, ctCheckBox, U, U, U, "P",
         C, "", C, U, U, "checking P=2, checked P"},
        {"push buttons take the state alone", ctTriStateCheckBox, ctButton, ctCheckBox, U, U, U,
         "A", C, "", U, C, U, "checking A=2, checked A"},
        {"the current state changes nothing", ctTriStateCheckBox, ctCheckBox, ctCheckBox, U, U, U,
         "A", U, "", U, U, U, ""},
        {"a disabled node changes nothing", ctTriStateCheckBox, ctCheckBox, ctCheckBox, U, U, U,
         "B*", C, "", U, U, U, ""},
    };
    for (const Case& c : cases) {
        CheckTree t;
        t.set("P", c.parentType, c.p);
        t.set("A", c.aType, c.a);
        t.set("B", c.bType, c.b);
        std::string node = c.node;
        if (node.back() == '*') {
            node.pop_back();
            t.tree->SetDisabled(t[node], true);
        }
        t.refuse = c.refuse;
        t.tree->SetCheckState(t[node], c.value);
        EXPECT_EQ(t["P"]->CheckState, c.p2) << c.what;
        EXPECT_EQ(t["A"]->CheckState, c.a2) << c.what;
        EXPECT_EQ(t["B"]->CheckState, c.b2) << c.what;
        EXPECT_EQ(t.events(), c.events) << c.what;
        EXPECT_FALSE(t.tree->TreeStates().Contains(tsCheckPropagation)) << c.what;
        for (const char* n : {"P", "A", "B"})
            EXPECT_FALSE(t[n]->States.Contains(vsChecking)) << c.what;
    }
}

TEST(LazyTreeChecks, CheckedRadioButtonUnchecksItsSiblingsWithoutTheirEvents) {
    CheckTree t;
    t.set("R1", ctRadioButton, csCheckedNormal);
    t.set("R2", ctRadioButton, csUncheckedNormal);
    t.set("R3", ctCheckBox, csCheckedNormal);
    t.tree->SetCheckState(t["R2"], csCheckedNormal);
    EXPECT_EQ(t["R1"]->CheckState, csUncheckedNormal);
    EXPECT_EQ(t["R2"]->CheckState, csCheckedNormal);
    EXPECT_EQ(t["R3"]->CheckState, csCheckedNormal); // not a radio button
    EXPECT_EQ(t.events(), "checking R2=2, checked R2");
}

TEST(LazyTreeChecks, CheckingMayChangeTheNewStateAndReadOnlyRefusesEverything) {
    CheckTree t;
    t.set("C", ctCheckBox, csUncheckedNormal);
    t.tree->OnChecking = [](TBaseLazyTree*, PLazyNode, TCheckState& s, bool&) {
        s = csMixedNormal;
    };
    t.tree->SetCheckState(t["C"], csCheckedNormal);
    EXPECT_EQ(t["C"]->CheckState, csMixedNormal);
    t.addMisc(toReadOnly);
    t.tree->SetCheckState(t["C"], csCheckedNormal);
    t.tree->SetCheckType(t["C"], ctRadioButton);
    EXPECT_EQ(t["C"]->CheckState, csMixedNormal);
    EXPECT_EQ(t["C"]->CheckType, ctCheckBox);
}

TEST(LazyTreeChecks, CheckTypeChangesClearMixedAndFollowAThreeStateParent) {
    CheckTree t;
    t.set("C", ctTriStateCheckBox, csMixedNormal);
    t.tree->SetCheckType(t["C"], ctCheckBox);
    EXPECT_EQ(t["C"]->CheckState, csUncheckedNormal);
    t.set("P", ctTriStateCheckBox, csCheckedNormal);
    t.tree->SetCheckType(t["A"], ctCheckBox);
    EXPECT_EQ(t["A"]->CheckState, csCheckedNormal);
    t.set("Q", ctCheckBox, csCheckedNormal);
    t.tree->SetCheckType(t["R1"], ctCheckBox);
    EXPECT_EQ(t["R1"]->CheckState, csUncheckedNormal);
}

TEST(LazyTreeChecks, CountsClearsAndSetsForAll) {
    CheckTree t;
    t.set("A", ctCheckBox, csCheckedNormal);
    t.set("B", ctCheckBox, csCheckedPressed);
    t.set("C", ctCheckBox, csCheckedDisabled);
    t.set("R1", ctRadioButton, csCheckedNormal);
    EXPECT_EQ(t.tree->CheckedCount(), 2u);
    t.tree->SetCheckStateForAll(csUncheckedNormal, false, true);
    EXPECT_EQ(t["A"]->CheckState, csUncheckedNormal);
    EXPECT_EQ(t["B"]->CheckState, csUncheckedNormal);
    EXPECT_EQ(t["C"]->CheckState, csCheckedDisabled);
    EXPECT_EQ(t.tree->CheckedCount(), 0u);
    EXPECT_EQ(t.tree->UpdateCount(), 0u);
    t.set("A", ctCheckBox, csMixedNormal);
    t.tree->ClearChecked();
    EXPECT_EQ(t["A"]->CheckState, csUncheckedNormal);
}

TEST(LazyTreeChecks, CheckImageIndexByTypeStateHotAndEnabled) {
    TestTree tree(nullptr);
    struct Case {
        TCheckType type;
        TCheckState state;
        bool enabled;
        int index;
    };
    const Case cases[] = {
        {ctNone, csCheckedNormal, true, -1},
        {ctCheckBox, csUncheckedNormal, true, 9},
        {ctTriStateCheckBox, csUncheckedPressed, true, 11},
        {ctCheckBox, csCheckedNormal, true, 13},
        {ctCheckBox, csCheckedPressed, true, 15},
        {ctCheckBox, csMixedNormal, true, 17},
        {ctCheckBox, csMixedPressed, true, 19},
        {ctCheckBox, csUncheckedDisabled, true, 12},
        {ctCheckBox, csCheckedNormal, false, 16},
        {ctCheckBox, csMixedDisabled, true, 20},
        {ctRadioButton, csUncheckedNormal, true, 1},
        {ctRadioButton, csUncheckedPressed, true, 3},
        {ctRadioButton, csCheckedNormal, true, 5},
        {ctRadioButton, csCheckedDisabled, true, 8},
        {ctRadioButton, csMixedNormal, true, 17},
        {ctButton, csUncheckedNormal, true, 21},
        {ctButton, csCheckedNormal, true, 21},
        {ctButton, csCheckedPressed, true, 23},
        {ctButton, csCheckedDisabled, true, 24},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tree.GetCheckImageIndex(nullptr, c.type, c.state, c.enabled), c.index)
            << int(c.type) << " " << int(c.state);
    ASSERT_NE(tree.CheckImages(), nullptr);
    EXPECT_EQ(tree.CheckImages()->Count(), 25);
}

TEST(LazyTreeChecks, CheckImagesPaintWithTheirMaskTransparent) {
    TestTree tree(nullptr);
    auto paint = [&](int index) {
        auto bitmap = std::make_unique<TBitmap>(20, 20);
        bitmap->Canvas()->Brush()->SetColor(clWhite);
        bitmap->Canvas()->FillRect(TRect(0, 0, 20, 20));
        TLTPaintImage slot;
        slot.Index = index;
        slot.XPos = 3;
        slot.YPos = 4;
        tree.PaintCheckBox(bitmap->Canvas(), slot, false);
        return bitmap;
    };
    auto differs = [](const TBitmap& a, const TBitmap& b, TRect r) {
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (a.PixelColor(x, y) != b.PixelColor(x, y)) return true;
        return false;
    };
    const auto empty = paint(0), unchecked = paint(9), checked = paint(13), none = paint(-1);
    const TRect box(3, 4, 16, 17);
    EXPECT_FALSE(differs(*empty, *none, TRect(0, 0, 20, 20)));
    EXPECT_TRUE(differs(*unchecked, *none, box));
    EXPECT_TRUE(differs(*checked, *unchecked, box));
    // Nothing outside the image's square.
    EXPECT_FALSE(differs(*checked, *none, TRect(0, 0, 20, 4)));
    EXPECT_FALSE(differs(*checked, *none, TRect(0, 0, 3, 20)));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_NE(checked->PixelColor(x, y), clRed);
}

TEST(LazyTreeChecks, HotNodeShowsTheHotImage) {
    TreeFixture t({"a", "b"});
    t.addMisc(toCheckSupport);
    t.tree->SetCheckType(t["a"], ctCheckBox);
    EXPECT_EQ(t.tree->GetCheckImageIndex(t["a"], ctNone, csUncheckedNormal, true), 9);
    // The pointer over the check box makes the node hot.
    uitest::mouseMove(t.tree, t.rowPoint("a", 25));
    ASSERT_EQ(t.tree->HotNode(), t["a"]);
    EXPECT_EQ(t.tree->GetCheckImageIndex(t["a"], ctNone, csUncheckedNormal, true), 10);
    t.tree->SetEnabled(false);
    EXPECT_EQ(t.tree->GetCheckImageIndex(t["a"], ctNone, csUncheckedNormal, true), 12);
}

// Every check-image kind has its own shared list of 25 images in the order of the image index;
// the system lists take their push buttons from the dark (flat) strip.
TEST(LazyTreeChecks, CheckImageKindsHaveTheirOwnSharedStrips) {
    TLazyStringTree a(nullptr), b(nullptr);
    auto image = [](TImageList* list, int index) {
        auto bmp = std::make_unique<TBitmap>(list->Width(), list->Height());
        FillRect(bmp->Canvas(), TRect(0, 0, list->Width(), list->Height()), clFuchsia);
        list->Draw(bmp->Canvas(), 0, 0, index, dsTransparent, itImage, true);
        return bmp;
    };
    struct Case {
        TCheckImageKind kind;
        TColor border; // of the unchecked check box (image 9)
        TColor mark;   // in the checked one (image 13)
    } cases[] = {
        {ckLightCheck, ColorToRGB(clBtnShadow), ColorToRGB(clBtnText)},
        {ckDarkCheck, ColorToRGB(clBtnText), ColorToRGB(clBtnText)},
        {ckLightTick, ColorToRGB(clBtnShadow), ColorToRGB(clBtnText)},
        {ckFlat, ColorToRGB(clBtnShadow), ColorToRGB(clBtnText)},
        {ckXP, TColor(0x80511C), TColor(0x21A121)},
    };
    for (const Case& c : cases) {
        TImageList* list = a.CheckImageListOfKind(c.kind);
        ASSERT_TRUE(list) << c.kind;
        EXPECT_EQ(list, b.CheckImageListOfKind(c.kind)) << "shared by the trees";
        EXPECT_EQ(list->Count(), 25);
        EXPECT_EQ(list->Width(), 16);
        // The sunken kinds draw a 3-D edge over their border.
        const bool sunken = c.kind != ckFlat && c.kind != ckXP;
        if (!sunken) {
            EXPECT_EQ(image(list, 9)->PixelColor(8, 1), c.border) << c.kind;
        }
        EXPECT_EQ(image(list, 13)->PixelColor(6, 10), c.mark) << c.kind;
        EXPECT_EQ(image(list, 0)->PixelColor(8, 8), clFuchsia) << "image 0 is empty";
    }
    EXPECT_NE(a.CheckImageListOfKind(ckLightTick), a.CheckImageListOfKind(ckLightCheck));
    // Ticks are heavier than checks.
    EXPECT_EQ(image(a.CheckImageListOfKind(ckLightTick), 13)->PixelColor(6, 12),
              ColorToRGB(clBtnText));
    EXPECT_NE(image(a.CheckImageListOfKind(ckLightCheck), 13)->PixelColor(6, 12),
              ColorToRGB(clBtnText));
    TImageList* system = a.CheckImageListOfKind(ckSystemDefault);
    EXPECT_EQ(system->Count(), 25);
    const auto pushed = image(system, 21);
    const auto strip = image(a.CheckImageListOfKind(ckDarkCheck), 21);
    const int at = (system->Width() - 16) / 2;
    EXPECT_EQ(pushed->PixelColor(5, 5), strip->PixelColor(5 - at, 5 - at));
    // New system colours give new images.
    ReloadCheckImages();
    EXPECT_EQ(a.CheckImageListOfKind(ckXP)->Count(), 25);
}

} // namespace
