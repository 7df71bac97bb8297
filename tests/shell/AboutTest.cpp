#include "shell/About.h"

#include "platform/process/Process.h"
#include "platform/testing/UiTest.h"
#include "shell/state/ProductProfiles.h"
#include "shell/state/ProgramState.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace uitest;

namespace {

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override {
        SetShellOpenHandler([this](const std::string& target) {
            opened.push_back(target);
            return true;
        });
    }
    void TearDown() override {
        about.reset();
        SetShellOpenHandler({});
        Set_Product_Type(Built_Product_Type());
    }
    TFAbout* make(int type) {
        Set_Product_Type(type);
        about = std::make_unique<TFAbout>(nullptr);
        return about.get();
    }

    std::unique_ptr<TFAbout> about;
    std::vector<std::string> opened;
};

} // namespace

TEST_F(AboutBox, ShowsTheProfilesCodesAndVersionAndClosesWithOK) {
    struct Case {
        int type;
        const char* description;
        const char* code;
        const char* version;
        const char* manual;
        bool oem;
    };
    const Case cases[] = {
        {25, "NMEA 2000 / KNX - Converter", "QS40526", "1.000", "QM40526", false},
        {1014, "Interface Ethernet - KNX TP", "LRV-GE1-TP", "1.004", "MLRVGE1TP", true},
    };
    for (const Case& c : cases) {
        TFAbout* f = make(c.type);
        int result = runModal(f, [&](TCustomForm*) {
            EXPECT_EQ(f->Caption(), "About...");
            EXPECT_EQ(f->ClientWidth(), 406);
            EXPECT_EQ(f->ClientHeight(), 148);
            EXPECT_EQ(f->Label2->Caption(), c.description) << c.type;
            EXPECT_EQ(f->Label9->Caption(), c.code) << c.type;
            EXPECT_EQ(f->Label10->Caption(), c.version) << c.type;
            EXPECT_EQ(f->Label12->Caption(), c.manual) << c.type;
            EXPECT_EQ(f->Label6->Caption(), "Software Code : ");
            EXPECT_EQ(f->Label3->Caption(), "Version :");
            EXPECT_EQ(f->I_Lorvan->Visible(), c.oem) << c.type;
            EXPECT_EQ(f->Image2->Visible(), !c.oem) << c.type;
            EXPECT_EQ(f->Label4->Visible(), !c.oem) << c.type;
            click(f->PbButton1);
        });
        EXPECT_EQ(result, mrOk) << c.type;
    }
}

TEST_F(AboutBox, LinkOpensTheProductPageExceptForOEMEditions) {
    TFAbout* f = make(25);
    runModal(f, [&](TCustomForm*) {
        click(f->Label4);
        click(f->Image2);
        f->SetModalResult(mrOk);
    });
    EXPECT_EQ(opened, (std::vector<std::string>(2, Product_Page_URL(25))));

    opened.clear();
    f = make(1014);
    runModal(f, [&](TCustomForm*) {
        click(f->I_Lorvan);
        f->SetModalResult(mrOk);
    });
    EXPECT_TRUE(opened.empty());
}
