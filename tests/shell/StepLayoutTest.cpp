#include "shell/StepLayout.h"

#include "shell/state/ProductProfiles.h"

#include <gtest/gtest.h>

namespace {

using Places = std::vector<TStep_Button_Place>;
const TStep_Button_Place Knx{"Btn_KNX_Access", 80, 200};

struct LayoutCase {
    int type;
    int steps;
    bool logo;
    Places buttons;
    int lastAt;
};

const LayoutCase Cases[] = {
    {1, 5, false, {Knx, {"Btn_ModM_SetAccess", 80, 244}}, 288},
    {1001, 5, true, {Knx, {"Btn_ModM_SetAccess", 80, 244}}, 288},
    {2, 4, false, {Knx}, 244},
    {4, 4, false, {Knx}, 244},
    {8, 4, false, {Knx}, 244},
    {13, 4, false, {Knx}, 244},
    {15, 4, false, {Knx}, 244},
    {3, 5, false, {Knx, {"Btn_ModM_SetAccess", 80, 244}}, 288},
    {1003, 5, true, {Knx, {"Btn_ModM_SetAccess", 80, 244}}, 288},
    {5, 6, false, {Knx, {"Btn_CAN_Rec_Frame", 80, 244}, {"Btn_CAN_Send_Frame", 80, 288}}, 332},
    {6,
     8,
     false,
     {Knx,
      {"Btn_SDO_Server_CANopen", 80, 244},
      {"Btn_SDO_Client_CANopen", 80, 288},
      {"Btn_PDO_CANopen", 80, 332},
      {"Btn_CANopen_EDS", 80, 376}},
     420},
    {7, 5, false, {Knx, {"Btn_DNet_Net", 80, 244}, {"Btn_DNet_Offset", 258, 244}}, 288},
    {9, 6, false, {Knx, {"Btn_J1939_Rec_Frame", 80, 244}, {"Btn_J1939_Send_Frame", 80, 288}}, 332},
    {25, 6, false, {Knx, {"Btn_J1939_Rec_Frame", 80, 244}, {"Btn_J1939_Send_Frame", 80, 288}}, 332},
    {10, 5, false, {{"Btn_ScanDecode", 516, 70}, Knx, {"Btn_MBus", 80, 244}}, 288},
    {1010, 5, true, {{"Btn_ScanDecode", 516, 70}, Knx, {"Btn_MBus", 80, 244}}, 288},
    {11, 5, false, {Knx, {"Btn_DMX_Default", 80, 244}}, 288},
    {1011, 5, true, {Knx, {"Btn_DMX_Default", 80, 244}}, 288},
    {12, 5, false, {Knx, {"Btn_PROFINET_XML", 80, 244}}, 288},
    {1012, 5, true, {Knx, {"Btn_PROFINET_XML", 80, 244}}, 288},
    {14, 3, false, {}, 200},
    {1014, 3, true, {}, 200},
};

TEST(StepLayout, EveryProductTypeHasItsStepsButtonsAndLastStep) {
    for (const LayoutCase& c : Cases) {
        const TStep_Layout l = Get_Step_Layout(c.type);
        EXPECT_TRUE(l.Known) << c.type;
        EXPECT_EQ(l.Steps, c.steps) << c.type;
        EXPECT_EQ(l.Link_Step, c.steps) << c.type;
        EXPECT_EQ(l.Logo, c.logo) << c.type;
        EXPECT_EQ(l.Buttons, c.buttons) << c.type;
        EXPECT_EQ(l.Last_At, c.lastAt) << c.type;
        // The layout and the profile agree on the number of steps.
        EXPECT_EQ(l.Steps, Step_Count(Get_Product_Profile(c.type))) << c.type;
    }
}

TEST(StepLayout, EveryTypeWithAProfileHasALayout) {
    for (int type : Product_Types_With_Profile()) EXPECT_TRUE(Get_Step_Layout(type).Known) << type;
    EXPECT_FALSE(Get_Step_Layout(0).Known);
    EXPECT_FALSE(Get_Step_Layout(16).Known);
    EXPECT_FALSE(Get_Step_Layout(1025).Known);
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
