#include "shell/state/ProductProfiles.h"

#include "shell/state/ProgramState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

// One edition of each kind in full: an own-brand type, an OEM edition that shows another device
// code than its software code, and one whose update method differs from its base's.
TEST(ProductProfiles, TextsCodesVersionAndUpdateMethodOfThreeEditions) {
    struct Case {
        int type;
        int base;
        const char* caption;
        const char* swCode;
        const char* description;
        const char* deviceCode;
        const char* version;
        const char* manualCode;
        const char* versionCheck;
        TUpdate_Method method;
    };
    const Case cases[] = {
        {25, 25, "Morvik - Configurator QS40526 - NMEA 2000 / KNX ", "QS40526",
         "NMEA 2000 / KNX - Converter", "QV40526", "1.000", "QM40526", "QS40526", umNewBootFile},
        {1014, 14, "Lorvan - Configurator LRV-GE1-TP - Ethernet / KNX ", "LRV-GE1-TP",
         "Interface Ethernet - KNX TP", "LRV-GX1-TP", "1.004", "MLRVGE1TP", "", umCommandLine},
        {1003, 3, "Lorvan - Configurator LRV-GM1-TP-TCP - Modbus Master / KNX ", "LRV-GM1-TP-TCP",
         "Gateway Modbus TCP/IP master - KNX TP", "LRV-GM1-TP-TCP", "1.103", "MLRVGM1TPTCP", "",
         umCommandLine},
    };
    for (const Case& c : cases) {
        const TProduct_Profile p = Get_Product_Profile(c.type);
        SCOPED_TRACE(c.type);
        EXPECT_EQ(p.Base_Type, c.base);
        EXPECT_EQ(p.OEM, c.type != c.base);
        EXPECT_EQ(p.Caption, c.caption);
        EXPECT_EQ(p.SW_Code, c.swCode);
        EXPECT_EQ(p.Description, c.description);
        EXPECT_EQ(p.Device_Code, c.deviceCode);
        EXPECT_EQ(p.Version, c.version);
        EXPECT_EQ(p.Manual_Code, c.manualCode);
        EXPECT_EQ(p.Version_Check_Code, c.versionCheck);
        EXPECT_EQ(p.Update_Method, c.method);
    }
    EXPECT_EQ(Get_Product_Profile(3).Update_Method, umOldBootFile);
    EXPECT_EQ(Product_Types_With_Profile(),
              (std::vector<int>{1,  2,  3,  4,  5,  6,    7,    8,    9,    10,   11,
                                12, 13, 14, 15, 25, 1001, 1003, 1010, 1011, 1012, 1014}));
}

TEST(ProductProfiles, OwnBrandRulesAndOemEditionsFollowTheirBase) {
    for (int type : Product_Types_With_Profile()) {
        const TProduct_Profile p = Get_Product_Profile(type);
        SCOPED_TRACE(type);
        // One blank after "KNX", never two.
        EXPECT_TRUE(p.Caption.ends_with("/ KNX ") && !p.Caption.ends_with("  "));
        ASSERT_EQ(p.Version.size(), 5u);
        EXPECT_EQ(p.Version[1], '.');
        if (!p.OEM) {
            EXPECT_EQ(p.Device_Code, "QV40" + p.SW_Code.substr(4));
            EXPECT_EQ(p.Manual_Code, "QM40" + p.SW_Code.substr(4));
            continue;
        }
        const TProduct_Profile base = Get_Product_Profile(p.Base_Type);
        EXPECT_EQ(p.Version, base.Version);
        EXPECT_EQ(p.Steps, base.Steps);
    }
}

// Every workflow starts with New and Open, then Set Communication, counts its steps without a
// gap and ends with Update Device; a button belongs to one step only.
TEST(ProductProfiles, EveryWorkflowRunsFromNewToUpdateDevice) {
    for (int type : Product_Types_With_Profile()) {
        const std::vector<TProduct_Step> steps = Get_Product_Profile(type).Steps;
        SCOPED_TRACE(type);
        ASSERT_GE(steps.size(), 4u);
        EXPECT_EQ(steps[0], (TProduct_Step{1, "Btn_New", "TFNew_Project"}));
        EXPECT_EQ(steps[1], (TProduct_Step{1, "Btn_Open", "TFOpenConf"}));
        EXPECT_EQ(steps[2], (TProduct_Step{2, "Btn_Prm_Gen", "TFParGen"}));
        int last = 0;
        std::set<std::string> buttons;
        for (const TProduct_Step& s : steps) {
            EXPECT_TRUE(buttons.insert(s.Button).second) << s.Button;
            if (s.Step == 0) continue;
            EXPECT_TRUE(s.Step == last || s.Step == last + 1) << s.Button;
            last = s.Step;
        }
        EXPECT_EQ(Step_Count(Get_Product_Profile(type)), last);
        const auto update = std::find_if(steps.begin(), steps.end(), [](const TProduct_Step& s) {
            return s.Button == "Btn_CreateBin";
        });
        ASSERT_NE(update, steps.end());
        EXPECT_EQ(update->Step, last);
        EXPECT_EQ(update->Opens, "Update_Device");
    }
}

TEST(ProductProfiles, TypeWithoutRowHasEmptyTextsAndOnlyTheCommonSteps) {
    for (int type : {0, 16, 24, 1002, -1}) {
        const TProduct_Profile p = Get_Product_Profile(type);
        SCOPED_TRACE(type);
        EXPECT_EQ(p.Caption + p.SW_Code + p.Description + p.Device_Code + p.Version +
                      p.Manual_Code + p.Version_Check_Code,
                  "");
        EXPECT_EQ(p.Update_Method, umNone);
        const std::vector<TProduct_Step> common = {{1, "Btn_New", "TFNew_Project"},
                                                   {1, "Btn_Open", "TFOpenConf"},
                                                   {2, "Btn_Prm_Gen", "TFParGen"},
                                                   {3, "Btn_CreateBin", "Update_Device"}};
        EXPECT_EQ(p.Steps, common);
        EXPECT_EQ(Product_Page_URL(type), "");
        EXPECT_EQ(Version_Query_URL(type), "");
    }
}

TEST(ProductProfiles, WebLinks) {
    const std::string host = Maker_Web_Host;
    EXPECT_EQ(Product_Page_URL(25), host + "/HOME/default.asp?frompg=QS40526");
    EXPECT_EQ(Download_Page_URL(25), host + "/Home/download/download.asp#QV40526");
    EXPECT_EQ(Version_Query_URL(25), host + "/home/download/GetversionSW.asp?nomesw=QS40526");
    // OEM editions: no product page, no version query, the download page of type 1.
    EXPECT_EQ(Product_Page_URL(1014), "");
    EXPECT_EQ(Version_Query_URL(1014), "");
    EXPECT_EQ(Download_Page_URL(1014), host + "/Home/download/download.asp#QV40518");
    EXPECT_EQ(Download_Page_URL(99), host + "/Home/download/download.asp#QV40518");
}

TEST(ProductProfiles, CurrentProfileFollowsTheProductType) {
    EXPECT_EQ(Product_Profile().Type, Product_Type());
    Set_Product_Type(1014);
    EXPECT_EQ(Product_Profile().SW_Code, "LRV-GE1-TP");
    Set_Product_Type(Built_Product_Type());
}
