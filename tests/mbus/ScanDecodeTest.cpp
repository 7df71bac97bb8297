// The scan-and-decode window against the simulated gateway.
#include "mbus/ScanDecode.h"

#include "mbus/net/MBusNetworkFile.h"
#include "tests/mbus/scan/ScanTestSupport.h"
#include "treeview/LazyTree.h"

#include "MBusTestSupport.h"

namespace {

using namespace scantest;

class ScanWindowTest : public MBusWindowTest {
protected:
    void SetUp() override {
        MBusWindowTest::SetUp();
        List_Slave_MBus.Clear();
        form = std::make_unique<TFScanDecode>(nullptr);
        form->AfterConstruction();
        for (const char* name : {"VST", "VST_Wireless"}) {
            auto* tree = new TLazyStringTree(form.get());
            tree->SetName(name);
            tree->SetNodeDataSize(8);
            tree->TreeOptions()->SetMiscOptions({toCheckSupport});
        }
        form->XML_Code_Dev = 15;
        form->Form_Type = 1;
        form->FileName_MBus = File_M_Bus;
        scan = form->MBusScanDecode.get();
        scan->Local_Address = "127.0.0.2";
        scan->Analyzer_Port = gateway.port();
        SetApplicationClock(&clock);
        clock.setQuiet([this] { return gateway.quiet(*scan); });
    }
    void TearDown() override {
        form.reset();
        clock.setQuiet({});
        SetApplicationClock(&uitest::testClock());
        List_Slave_MBus.Clear();
        CheckSynchronize();
        MBusWindowTest::TearDown();
    }
    void setAddress() {
        const char* parts[] = {"127", "0", "0", "1"};
        for (int i = 0; i < 4; ++i) form->E_IP[std::size_t(i)]->SetText(parts[i]);
    }
    LockstepClock clock;
    Gateway gateway;
    std::unique_ptr<TFScanDecode> form;
    TMBusScanDecode* scan = nullptr;
};

} // namespace

TEST_F(ScanWindowTest, WiredScanFromTheWindowToTheSavedFile) {
    Meter a;
    a.primary = 3;
    Meter b;
    b.primary = 7;
    gateway.bus.meters = {a, b};
    Show(form.get(), [&] {
        setAddress();
        form->Btn_StartScan->Click();
        EXPECT_EQ(form->Style(), 2);
        // A second start while the first runs is refused.
        ASSERT_TRUE(pumpUntil([&] { return scan->InScan(); }));
        EXPECT_FALSE(form->Btn_StartScan->Visible());
        form->Select_Scan();
        EXPECT_EQ(Asked(), std::vector<std::string>{UI_Texts[1226]});
        ASSERT_TRUE(pumpUntil([&] { return !scan->InScan(); }));
        form->T_InScanTimer();
        EXPECT_EQ(form->Style(), 3);
        EXPECT_EQ(form->LB_AvailableDevice->Items()->Strings(0), "ID = 0\t[NOT FOUND]");
        EXPECT_EQ(form->LB_AvailableDevice->Items()->Strings(3), "ID = 3\t");
        TLazyStringTree* tree = form->VST();
        ASSERT_EQ(tree->RootNodeCount(), 2u);
        TLazyNode* second = tree->RootNode()->FirstChild->NextSibling;
        EXPECT_EQ(form->Item_Text(second).rfind("Primary Address = 7 - ", 0), 0u);
        ASSERT_NE(second->FirstChild, nullptr);
        EXPECT_EQ(tree->ChildCount(second->FirstChild), 12u);
        // Unticking the second meter keeps it in the file, disabled.
        tree->SetCheckState(second, csUncheckedNormal);
        form->Btn_SaveConf->Click();
        EXPECT_EQ(Asked().back(), UI_Texts[1230]) << "a missing file is written without asking";
        form->SetModalResult(mrCancel);
    });
    TNodi_List saved;
    Read_MBus_Network_File(File_M_Bus, saved);
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0]->Node_ID_Primary, 3);
    EXPECT_TRUE(saved[0]->Enable);
    EXPECT_FALSE(saved[1]->Enable);
    EXPECT_EQ(saved[0]->Var_List.size(), 1u);
    EXPECT_EQ(Cut_After_Items()[saved[0]->Cut_After], "3");
}

TEST_F(ScanWindowTest, SavingToAnExistingFileAsksToAppend) {
    List_Slave_MBus.Add(std::make_unique<TSlave_MBus>());
    Write_MBus_Network_File(File_M_Bus, {});
    struct Case {
        int answer;
        std::size_t nodes;
    };
    for (const Case c : {Case{mrCancel, 0}, Case{mrYes, 1}, Case{mrYes, 2}, Case{mrNo, 1}}) {
        uitest::dialogs().Clear();
        uitest::dialogs().QueueAnswer(c.answer);
        form->Select_SaveXML();
        EXPECT_EQ(Asked().front(), UI_Texts[1237]);
        TNodi_List saved;
        Read_MBus_Network_File(File_M_Bus, saved);
        EXPECT_EQ(saved.size(), c.nodes) << c.answer;
    }
}

TEST_F(ScanWindowTest, KeyIsAskedOnlyForEncryptedSenders) {
    auto plain = std::make_unique<TSlave_wMBus>();
    List_Slave_wMBus.Clear();
    List_Slave_wMBus.Add(std::move(plain));
    form->ASG_WirelessDblClickCell(1, {0, 0});
    form->ASG_WirelessDblClickCell(5, {0, 0});
    EXPECT_TRUE(Asked().empty());
    List_Slave_wMBus.Clear();
}

TEST_F(ScanWindowTest, TicksOfTheSelectedSenderGoIntoItsRecords) {
    List_Slave_wMBus.Clear();
    for (bool cripted : {false, true}) {
        auto s = std::make_unique<TSlave_wMBus>();
        s->Cripted = cripted;
        s->Message_Type = 0x44;
        s->ALA_Manu_str = "ABC";
        s->ALA_Manufacturer = 0x0442;
        s->ALA_Address = std::int32_t(0x80000001u);
        s->ALA_Version = 3;
        s->ALA_DeviceType = 7;
        s->RSSI = -60;
        for (bool real : {true, false}) {
            auto v = std::make_unique<TVariable_MBus>();
            v->Real_Wireless_Var = real;
            v->ValueStr = "12";
            v->Desc_Type_Data = "Volume";
            s->List_Var.push_back(std::move(v));
        }
        List_Slave_wMBus.Add(std::move(s));
    }
    form->Show_Slave_in_Tree_Wireless(1);
    TLazyStringTree* tree = form->VST_Wireless();
    TLazyNode* sender = tree->RootNode()->FirstChild;
    EXPECT_EQ(form->Item_Text(sender),
              "Manufacturer = ABC - Address = 80000001 - Version = 3 - Device Type = 7 - "
              "CRIPTED!!");
    TLazyNode* filler = sender->FirstChild->NextSibling;
    EXPECT_EQ(form->Item_Text(filler), "Idle Filler");
    tree->SetCheckState(sender->FirstChild, csUncheckedNormal);
    if (tree->OnChecked) tree->OnChecked(tree, sender->FirstChild);
    EXPECT_FALSE(List_Slave_wMBus.Items(1)->List_Var[0]->Enable);
    EXPECT_TRUE(List_Slave_wMBus.Items(0)->List_Var[0]->Enable);
    List_Slave_wMBus.Clear();
}
