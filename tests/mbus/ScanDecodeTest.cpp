// The scan-and-decode window against the simulated gateway.
#include "mbus/ScanDecode.h"

#include <optional>

#include "image/MBusNetwork.h"
#include "mbus/InsertKeyWireless.h"
#include "mbus/Meter_Bus.h"
#include "mbus/net/MBusNetworkFile.h"
#include "platform/testing/NativeMouse.h"
#include "tests/mbus/scan/SerialDevice.h"
#include "tests/mbus/scan/WirelessTelegram.h"
#include "treeview/LazyTree.h"

#include "MBusTestSupport.h"
#include "ScanDecodeGridAccess.h"

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
        scan = form->TR_ScanDecode.get();
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
    // Starts a wireless scan in mode T from the window and waits for the receive mode.
    void startWireless() {
        TFScanDecode* f = form.get();
        setAddress();
        f->CB_ScanMethod->SetItemIndex(1);
        f->Move_Object_Type_Form();
        // The simulated gateway listens on a port of its own, not on the fixed 10001.
        f->E_Port->SetText(std::to_string(gateway.port()));
        f->CB_wMBus_Mode->SetItemIndex(1);
        f->Btn_StartScan->Click();
        EXPECT_EQ(f->Style(), 4);
        ASSERT_TRUE(pumpUntil([&] { return scan->Step() == 134 || !scan->InScan(); }));
    }
    // Waits until the running scan has ended and lets the window's timer notice it.
    void finishScan() {
        ASSERT_TRUE(pumpUntil([&] { return !scan->InScan(); }));
        form->T_InScanTimer();
    }
    // Whether some pixel of the rectangle of image has that colour.
    static bool anyPixel(TBitmap* image, const TRect& r, const std::function<bool(TColor)>& is) {
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (is(image->Canvas()->Pixels(x, y))) return true;
        return false;
    }
    LockstepClock clock;
    Gateway gateway;
    // A serial meter bus, when a test uses one: it lives until the scan thread has ended.
    std::optional<SerialDevice> serial;
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
        EXPECT_EQ(form->LB_AvailableDevice->Items()->Strings(0), "ID = 0\t[NOT FOUND]");
        EXPECT_EQ(form->LB_AvailableDevice->Items()->Strings(3), "ID = 3\t");

        // Missing addresses are red, with their mark in a column of its own; found ones blue.
        form->LB_AvailableDevice->SetTopIndex(0);
        auto list = uitest::render(form->LB_AvailableDevice);
        const TRect missing = form->LB_AvailableDevice->ItemRect(0);
        const TRect found = form->LB_AvailableDevice->ItemRect(3);
        auto red = [](TColor c) { return (c & 0xFF) > 0xA0 && ((c >> 16) & 0xFF) < 0x60; };
        auto blue = [](TColor c) { return ((c >> 16) & 0xFF) > 0xA0 && (c & 0xFF) < 0x60; };
        EXPECT_TRUE(anyPixel(list.get(), {missing.Left, missing.Top, 60, missing.Bottom}, red));
        EXPECT_FALSE(anyPixel(list.get(), {60, missing.Top, 70, missing.Bottom}, red))
            << "the mark starts at pixel 70";
        EXPECT_TRUE(anyPixel(list.get(), {70, missing.Top, 160, missing.Bottom}, red));
        EXPECT_TRUE(anyPixel(list.get(), found, blue));
        EXPECT_FALSE(anyPixel(list.get(), found, red));

        form->T_InScanTimer();
        EXPECT_EQ(form->Style(), 3);
        EXPECT_EQ(form->L_Num_Slave->Caption(), "2");
        TLazyStringTree* tree = form->VST();
        ASSERT_EQ(tree->RootNodeCount(), 2u);
        TLazyNode* second = tree->RootNode()->FirstChild->NextSibling;
        EXPECT_EQ(form->Item_Text(second).rfind("Primary Address = 7 - ", 0), 0u);
        ASSERT_NE(second->FirstChild, nullptr);
        EXPECT_EQ(tree->ChildCount(second->FirstChild), 12u);
        // Every level has its picture: the meters show theirs.
        auto shown = uitest::render(tree);
        const TRect row = tree->GetDisplayRect(tree->RootNode()->FirstChild, -1, false);
        EXPECT_TRUE(anyPixel(shown.get(), {0, row.Top, row.Right, row.Bottom},
                             [](TColor c) { return c == TColor(0xF0D0A0); }));
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
    // The image compiler takes the ticked meter only, and reads it three times.
    std::vector<TMBus_Nodo> wired, wireless;
    Read_MBus_Network(File_M_Bus, true, true, wired, wireless);
    ASSERT_EQ(wired.size(), 1u);
    EXPECT_EQ(wired[0].ID, 3u);
    EXPECT_EQ(wired[0].Cut_After, 3);
    EXPECT_TRUE(wireless.empty());
}

TEST_F(ScanWindowTest, WiredScanOverASerialPort) {
    SerialDevice& device = serial.emplace();
    Meter a;
    a.primary = 2;
    device.bus.meters = {a};
    clock.setQuiet([&] { return device.quiet(*scan); });
    Show(form.get(), [&] {
        // The port list holds the ports present: here the pseudo-terminal's COM5.
        ASSERT_EQ(form->CB_ComPort->Items()->Count(), 1);
        form->CB_ComPort->Items()->Add("COM99");
        form->Update_List_of_COM_Port();
        ASSERT_EQ(form->CB_ComPort->Items()->Count(), 1);
        EXPECT_EQ(form->CB_ComPort->Text(), "COM5");
        // The layout keeps the choice on Ethernet; the scan itself goes either way.
        form->CB_HardwareType->SetItemIndex(1);
        form->Btn_StartScan->Click();
        EXPECT_EQ(form->Style(), 2);
        finishScan();
        EXPECT_EQ(scan->Result(), 1);
        EXPECT_EQ(form->Style(), 3);
        ASSERT_EQ(form->VST()->RootNodeCount(), 1u);
        EXPECT_EQ(
            form->Item_Text(form->VST()->RootNode()->FirstChild).rfind("Primary Address = 2 - ", 0),
            0u);
        EXPECT_EQ(form->CB_HardwareType->ItemIndex(), 0);
    });
    ASSERT_FALSE(device.received().empty());
    EXPECT_EQ(device.received()[0], (Bytes{0x10, 0x40, 0xFF, 0x3F, 0x16}));
}

TEST_F(ScanWindowTest, WirelessScanWithAKeyThroughTheEditorToTheImage) {
    TFScanDecode* f = form.get();
    Show(f, [&] {
        startWireless();
        gateway.sendTelegram(telit(telegram(true)));
        ASSERT_TRUE(pumpUntil([&] { return scangrid::cell(f, 0, 1) == "1"; }));
        EXPECT_EQ(scangrid::cell(f, 8, 1), "1A2B3C4D");
        EXPECT_EQ(scangrid::color(f, 1, 1), TColor(0xB9BAFF));
        EXPECT_EQ(scangrid::image(f, 12, 1), 0);

        // A double click on the encrypted sender asks its key (typed in lower case).
        uitest::whenModalIdle([](TCustomForm* d) {
            auto* dialog = dynamic_cast<TFInsertKeyWireless*>(d);
            ASSERT_NE(dialog, nullptr);
            uitest::typeText("0102030405060708090a0b0c0d0e0f10", dialog->E_Key);
            dialog->Btn_OK->Click();
        });
        const std::size_t before = gateway.received().size();
        uitest::doubleClick(scangrid::grid(f), scangrid::middle(f, 3, 1));
        EXPECT_TRUE(Asked().empty()) << "the key was taken";
        ASSERT_TRUE(pumpUntil([&] { return gateway.received().size() >= before + 27; }));
        ASSERT_TRUE(pumpUntil([&] { return scan->Step() == 134; }));
        // The next telegram is decrypted: the row turns green with the open padlock.
        gateway.sendTelegram(telit(telegram(true)));
        ASSERT_TRUE(pumpUntil([&] { return scangrid::color(f, 1, 1) == TColor(0xA8FFA8); }));
        EXPECT_EQ(scangrid::image(f, 12, 1), 1);
        // The user's click on the row, through Qt, shows the sender in the tree.
        uitest::postNativeClickAt(scangrid::grid(f), scangrid::middle(f, 3, 1));
        uitest::processMessages();
        TLazyNode* sender = f->VST_Wireless()->RootNode()->FirstChild;
        ASSERT_NE(sender, nullptr);
        EXPECT_NE(f->Item_Text(sender).find("Address = 1A2B3C4D"), std::string::npos);

        f->Btn_StopScan->Click();
        finishScan();
        EXPECT_EQ(f->Style(), 5);
        f->Btn_SaveConf->Click();
        EXPECT_EQ(Asked().back(), UI_Texts[1230]);
    });

    // The editor opens the saved sender; the node state is ticked and the network saved.
    auto editor = std::make_unique<TFMeter_Bus>(nullptr);
    editor->AfterConstruction();
    EXPECT_EQ(Show(editor.get(),
                   [&] {
                       ASSERT_EQ(editor->Nodi_List.size(), 1u);
                       editor->Select_Item(editor->NODE_ORIG->FirstChild);
                       EXPECT_EQ(editor->E_wMBus_Add->Text(), std::to_string(0x1A2B3C4D));
                       EXPECT_TRUE(editor->CB_wMBus_EnKey->Checked());
                       editor->CB_wMBus_Node_State->SetChecked(true);
                       editor->btn_Add_Node->Click();
                       editor->Btn_OK->Click();
                   }),
              mrOk);
    std::vector<TMBus_Nodo> wired, wireless;
    Read_MBus_Network(File_M_Bus, true, true, wired, wireless);
    EXPECT_TRUE(wired.empty());
    ASSERT_EQ(wireless.size(), 1u);
    const TMBus_Nodo& n = wireless[0];
    EXPECT_EQ(n.Meter.Address, 0x1A2B3C4Du);
    EXPECT_EQ(n.Meter.Man_ID, 0x2C2D);
    EXPECT_EQ(n.Meter.Key_Enable, 1);
    EXPECT_EQ(n.Meter.Key, Key);
    EXPECT_EQ(n.Node_State, 1);
    EXPECT_EQ(n.Vars.size(), 1u);
}

// When the sender list is full the window says so, once per scan.
TEST_F(ScanWindowTest, AFullSenderListIsReportedOnce) {
    TFScanDecode* f = form.get();
    Show(f, [&] {
        startWireless();
        for (std::uint32_t n = 0; n <= std::uint32_t(Max_Wireless_Senders); ++n) {
            Bytes t = telegram(false);
            for (int i = 0; i < 4; ++i) t[std::size_t(4 + i)] = std::uint8_t(n >> (8 * i));
            gateway.sendTelegram(telit(t));
            ASSERT_TRUE(pumpUntil([&] { return gateway.quiet(*scan); }));
        }
        f->T_InScanTimer();
        ASSERT_EQ(Asked().size(), 1u);
        EXPECT_EQ(Asked()[0],
                  UI_Texts[1798] + std::to_string(Max_Wireless_Senders) + UI_Texts[1799]);
        EXPECT_EQ(uitest::dialogs().Questions()[0].Type, mtWarning);
        f->T_InScanTimer();
        EXPECT_EQ(Asked().size(), 1u);
        f->Btn_StopScan->Click();
        finishScan();
        EXPECT_EQ(f->Style(), 5);
    });
}

TEST_F(ScanWindowTest, OptionRowsFollowTheScanMethod) {
    struct Case {
        int formType, method;
        std::vector<TControl*> shown, hidden;
    };
    TFScanDecode* f = form.get();
    const Case cases[] = {
        {1,
         0,
         {f->L_ScanMethod, f->L_ScanBy, f->L_IP, f->L_MBus_Baud, f->L_Option_Scan,
          f->L_Opt_Cut_After},
         {f->L_Port, f->L_wMBus_Mode, f->L_wMBus_Radio_Channel, f->L_ComPort, f->CB_ComPort}},
        {1,
         1,
         {f->L_ScanMethod, f->L_IP, f->L_Port, f->E_Port, f->L_wMBus_Mode,
          f->L_wMBus_Radio_Channel},
         {f->L_ScanBy, f->L_MBus_ParGen, f->L_MBus_Parity, f->CB_Opt_App_Reset, f->L_ComPort}},
        {0, 1, {f->L_ScanBy, f->L_MBus_Baud}, {f->L_ScanMethod, f->CB_ScanMethod, f->L_Port}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.formType << " " << c.method);
        form->Form_Type = c.formType;
        form->CB_ScanMethod->SetItemIndex(c.method);
        form->CB_HardwareType->SetItemIndex(1);
        form->Move_Object_Type_Form();
        EXPECT_EQ(form->CB_HardwareType->ItemIndex(), 0);
        EXPECT_EQ(form->E_Port->Text(), "10001");
        for (TControl* ctl : c.shown) EXPECT_TRUE(ctl->Visible()) << ctl->Name();
        for (TControl* ctl : c.hidden) EXPECT_FALSE(ctl->Visible()) << ctl->Name();
        // Shown rows follow one another without overlapping.
        std::vector<int> tops;
        for (TLabel* l : {f->L_ScanMethod, f->L_ScanBy, f->L_HardwareType, f->L_IP, f->L_Port,
                          f->L_wMBus_Mode, f->L_wMBus_Radio_Channel, f->L_MBus_ParGen,
                          f->L_MBus_Baud, f->L_MBus_Parity, f->L_Option_Scan, f->L_Opt_Cut_After})
            if (l->Visible()) tops.push_back(l->Top());
        for (std::size_t i = 1; i < tops.size(); ++i) EXPECT_GE(tops[i] - tops[i - 1], 20);
        EXPECT_LT(std::abs(f->L_IP->Top() - f->E_IP[0]->Top()), 8) << "a label sits on its row";
    }
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
    Show(form.get(), [&] {
        form->Form_Style(5);
        form->Show_Slave_in_Tree_Wireless(1);
        TLazyStringTree* tree = form->VST_Wireless();
        TLazyNode* sender = tree->RootNode()->FirstChild;
        EXPECT_EQ(form->Item_Text(sender),
                  "Manufacturer = ABC - Address = 80000001 - Version = 3 - Device Type = 7 - "
                  "CRIPTED!!");
        tree->SetExpanded(sender, true);
        TLazyNode* record = sender->FirstChild;
        EXPECT_EQ(form->Item_Text(record->NextSibling), "Idle Filler");
        // The user clicks the record's check box.
        const TRect row = tree->GetDisplayRect(record, -1, false);
        TPoint box{-1, (row.Top + row.Bottom) / 2};
        for (int x = row.Left; x < row.Right && box.X < 0; ++x) {
            THitInfo hit;
            tree->GetHitTestInfoAt(x, box.Y, true, hit);
            if (hit.HitNode == record && hit.HitPositions.Contains(hiOnItemCheckbox)) box.X = x + 2;
        }
        ASSERT_GE(box.X, 0);
        uitest::postNativeClickAt(tree, box);
        uitest::processMessages();
        EXPECT_EQ(tree->CheckState(record), csUncheckedNormal);
    });
    EXPECT_FALSE(List_Slave_wMBus.Items(1)->List_Var[0]->Enable);
    EXPECT_TRUE(List_Slave_wMBus.Items(1)->List_Var[1]->Enable);
    EXPECT_TRUE(List_Slave_wMBus.Items(0)->List_Var[0]->Enable);
    List_Slave_wMBus.Clear();
}

// A primary scan reports 251 addresses: the progress list stays full with the newest line at
// the bottom, and the user scrolls back by the wheel and the list's scroll bar.
TEST_F(ScanWindowTest, ProgressListShowsItsNewestLinesAndScrollsBack) {
    Show(form.get(), [&] {
        form->Form_Style(2);
        for (int id = 0; id <= 250; ++id) form->Update_Slave_List_Proc(2, id, id == 3, 1);
        TListBox* list = form->LB_AvailableDevice;
        const int rows = (list->ClientHeight() - 4) / list->ItemHeight();
        const int top = list->TopIndex();
        EXPECT_EQ(top, 251 - rows);
        auto shown = uitest::render(list);
        EXPECT_TRUE(anyPixel(shown.get(), list->ItemRect(top), [](TColor c) {
            return (c & 0xFF) > 0xA0 && ((c >> 16) & 0xFF) < 0x60;
        })) << "the first line shown is drawn";

        uitest::postNativeWheel(list, {100, 100}, 120);
        uitest::processMessages();
        EXPECT_EQ(list->TopIndex(), top - 3);
        // The up arrow at the top of the bar.
        uitest::postNativeClickAt(list, {list->ClientWidth() - 10, 8});
        uitest::processMessages();
        EXPECT_EQ(list->TopIndex(), top - 4);
    });
}

// The gateway's address comes from the communication parameters file: key by key, and a file
// that is not well-formed is named to the user.
TEST_F(ScanWindowTest, GatewayAddressComesFromTheCommunicationParameters) {
    struct Case {
        const char* file;
        std::vector<std::string> address;
        bool error;
    };
    const Case cases[] = {
        {"<ParGen><Modbus_TCP_Slave_IP1>10</Modbus_TCP_Slave_IP1>"
         "<Modbus_TCP_Slave_IP2>1</Modbus_TCP_Slave_IP2><Modbus_TCP_Slave_IP3>2"
         "</Modbus_TCP_Slave_IP3><Modbus_TCP_Slave_IP4>3</Modbus_TCP_Slave_IP4></ParGen>",
         {"10", "1", "2", "3"},
         false},
        // A missing key and a key that holds no plain text leave their fields.
        {"<ParGen><Modbus_TCP_Slave_IP1><x/></Modbus_TCP_Slave_IP1>"
         "<Modbus_TCP_Slave_IP4>9</Modbus_TCP_Slave_IP4></ParGen>",
         {"192", "168", "2", "9"},
         false},
        {"<ParGen><Modbus_TCP_Slave_IP1>10</ParGen>", {"192", "168", "2", "205"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        uitest::dialogs().Clear();
        const char* defaults[] = {"192", "168", "2", "205"};
        for (int i = 0; i < 4; ++i) form->E_IP[std::size_t(i)]->SetText(defaults[i]);
        WriteBinaryFile(File_ParGen, c.file);
        Show(form.get(), [] {});
        std::vector<std::string> address;
        for (TEdit* e : form->E_IP) address.push_back(e->Text());
        EXPECT_EQ(address, c.address);
        ASSERT_EQ(Asked().size(), c.error ? 1u : 0u);
        if (c.error) {
            EXPECT_NE(Asked()[0].find("ParGen.xml"), std::string::npos) << Asked()[0];
        }
    }
}

// A gateway that does not answer: the message says where it was looked for.
TEST_F(ScanWindowTest, AFailedScanNamesTheAddressAndPortTried) {
    gateway.analyzerAnswers = false;
    Show(form.get(), [&] {
        setAddress();
        form->Btn_StartScan->Click();
        finishScan();
        EXPECT_EQ(Asked(), std::vector<std::string>{"Error! Device Analyzer not found (127.0.0.1 "
                                                    "port " +
                                                    std::to_string(gateway.port()) + ")"});
        EXPECT_EQ(form->Style(), 1);
    });
}
