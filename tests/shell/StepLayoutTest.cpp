#include "shell/StepLayout.h"

#include "shell/state/ProductProfiles.h"

#include <gtest/gtest.h>

namespace {

TStep_Button_Place placeOf(const TStep_Layout& l, const std::string& button) {
    for (const TStep_Button_Place& p : l.Buttons)
        if (p.Button == button) return p;
    return {};
}

// The places the window shows for a few types of each shape: the longest workflow, two buttons
// in one step, the top-row button, the shortest workflow.
TEST(StepLayout, PlacesOfTheLongestTheWidestAndTheShortestWorkflow) {
    const TStep_Layout canopen = Get_Step_Layout(6);
    EXPECT_EQ(canopen.Steps, 8);
    EXPECT_EQ(placeOf(canopen, "Btn_CANopen_EDS"),
              (TStep_Button_Place{"Btn_CANopen_EDS", 80, 376}));
    EXPECT_EQ(canopen.Last_At, 420);
    EXPECT_EQ(Main_Client_Height(canopen.Last_At), 572);

    const TStep_Layout dnet = Get_Step_Layout(7);
    EXPECT_EQ(placeOf(dnet, "Btn_DNet_Net"), (TStep_Button_Place{"Btn_DNet_Net", 80, 244}));
    EXPECT_EQ(placeOf(dnet, "Btn_DNet_Offset"), (TStep_Button_Place{"Btn_DNet_Offset", 258, 244}));

    const TStep_Layout meters = Get_Step_Layout(1010);
    EXPECT_EQ(placeOf(meters, "Btn_ScanDecode"), (TStep_Button_Place{"Btn_ScanDecode", 516, 70}));
    EXPECT_TRUE(meters.Logo);

    const TStep_Layout ethernet = Get_Step_Layout(14);
    EXPECT_EQ(ethernet.Steps, 3);
    EXPECT_EQ(ethernet.Last_At, 200);
    EXPECT_FALSE(ethernet.Logo);
}

// Every type: the buttons of New and Open share the first row, Set Communication is on the
// second, Update Device ends the steps, and no two buttons overlap.
TEST(StepLayout, EveryWorkflowFillsItsRowsWithoutOverlaps) {
    for (int type : Product_Types_With_Profile()) {
        const TStep_Layout l = Get_Step_Layout(type);
        SCOPED_TRACE(type);
        ASSERT_TRUE(l.Known);
        EXPECT_EQ(l.Link_Step, l.Steps);
        EXPECT_EQ(placeOf(l, "Btn_New"), (TStep_Button_Place{"Btn_New", 80, 112}));
        EXPECT_EQ(placeOf(l, "Btn_Open"), (TStep_Button_Place{"Btn_Open", 258, 112}));
        EXPECT_EQ(placeOf(l, "Btn_Prm_Gen"), (TStep_Button_Place{"Btn_Prm_Gen", 80, 156}));
        EXPECT_EQ(placeOf(l, "Btn_CreateBin").Top, l.Last_At);
        EXPECT_EQ(l.Last_At, Step_Label_Top(l.Steps) - 16);
        for (std::size_t i = 0; i < l.Buttons.size(); ++i)
            for (std::size_t j = i + 1; j < l.Buttons.size(); ++j)
                EXPECT_FALSE(l.Buttons[i].Left == l.Buttons[j].Left &&
                             l.Buttons[i].Top == l.Buttons[j].Top)
                    << l.Buttons[i].Button << " " << l.Buttons[j].Button;
    }
    for (int type : {0, 16, 1025}) EXPECT_FALSE(Get_Step_Layout(type).Known) << type;
}

TEST(StepLayout, DerivedPlacesOfType25AndOfAnOemType) {
    const TStep_Layout l25 = Get_Step_Layout(25);
    EXPECT_EQ(Link_Top(l25), 348);
    EXPECT_EQ(Shape1_Top(l25.Last_At), 383);
    EXPECT_EQ(Main_Client_Height(l25.Last_At), 484);
    EXPECT_EQ(Main_Client_Width, 694);

    const TStep_Layout l1014 = Get_Step_Layout(1014);
    EXPECT_EQ(Logo_Left(), 444);
    EXPECT_EQ(Logo_Top(l1014), Step_Label_Top(3) - 38);
    EXPECT_EQ(Main_Client_Height(l1014.Last_At), 352);

    const int tops[] = {128, 172, 216, 260, 304, 348, 392, 436};
    for (int k = 1; k <= Step_Label_Count; ++k) EXPECT_EQ(Step_Label_Top(k), tops[k - 1]) << k;
}

} // namespace
