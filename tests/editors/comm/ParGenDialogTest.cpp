// OK, Cancel and the close box of the communication-parameter dialog.
#include "ParGenTestSupport.h"

namespace {
const char* const Exit_Question = "Do you want to exit without saving changes?";
}

TEST_F(ParGenTest, CancelAfterATypedCharacterAsksAndNoKeepsTheDialogOpen) {
    TFParGen* f = Create(25);
    uitest::dialogs().QueueAnswer(mrNo);
    uitest::dialogs().QueueAnswer(mrYes);
    uitest::whenModalIdle([&](TCustomForm*) {
        f->E_NMEA2000_TimeOut->SetFocus();
        f->E_NMEA2000_TimeOut->SelectAll();
        uitest::typeText("7");
        uitest::click(f->Btn_Cancel);
    });
    uitest::whenModalIdle([&](TCustomForm*) {
        // No: still open, the typed text in place.
        EXPECT_TRUE(f->Visible());
        EXPECT_EQ(f->E_NMEA2000_TimeOut->Text(), "7");
        uitest::click(f->Btn_Cancel);
    });
    EXPECT_EQ(f->ShowModal(), mrCancel);
    const auto& asked = uitest::dialogs().Questions();
    ASSERT_EQ(asked.size(), 2u);
    for (const auto& q : asked) {
        EXPECT_EQ(q.Text, Exit_Question);
        EXPECT_EQ(q.Type, mtConfirmation);
        EXPECT_EQ(q.Buttons, mbYesNo);
    }
    EXPECT_FALSE(HasParGen());
}

TEST_F(ParGenTest, CancelWithoutChangeOrAfterCollapseClosesAtOnce) {
    TFParGen* f = Create(25);
    EXPECT_EQ(uitest::runModal(f, [&](TCustomForm*) { uitest::click(f->Btn_Cancel); }), mrCancel);
    EXPECT_EQ(uitest::runModal(f,
                               [&](TCustomForm*) {
                                   f->Btn_NMEA2000_Collapse->Click();
                                   f->Btn_NMEA2000_Expande->Click();
                                   uitest::click(f->Btn_Cancel);
                               }),
              mrCancel);
    EXPECT_TRUE(uitest::dialogs().Questions().empty());
    EXPECT_FALSE(HasParGen());
}

TEST_F(ParGenTest, CloseBoxAfterAChangeAsksTheSameQuestion) {
    TFParGen* f = Create(25);
    uitest::dialogs().QueueAnswer(mrNo);
    uitest::dialogs().QueueAnswer(mrYes);
    uitest::whenModalIdle([&](TCustomForm*) {
        f->CB_NMEA2000_Peer_To_Peer->SetChecked(true);
        f->Perform(WM_CLOSE);
    });
    uitest::whenModalIdle([&](TCustomForm*) {
        EXPECT_TRUE(f->Visible());
        EXPECT_TRUE(f->CB_NMEA2000_Peer_To_Peer->Checked());
        f->Perform(WM_CLOSE);
    });
    EXPECT_EQ(f->ShowModal(), mrCancel);
    EXPECT_EQ(Asked(), (std::vector<std::string>{Exit_Question, Exit_Question}));
    EXPECT_FALSE(HasParGen());

    // Without a change the close box closes at once.
    uitest::dialogs().Clear();
    EXPECT_EQ(uitest::runModal(f, [&](TCustomForm*) { f->Perform(WM_CLOSE); }), mrCancel);
    EXPECT_TRUE(uitest::dialogs().Questions().empty());
}

TEST_F(ParGenTest, OkWithAnErrorWritesNothingAndStaysOpen) {
    TFParGen* f = Create(25);
    WriteParGen("<Par_Gen><KNX_ID_DEV>1.1.9</KNX_ID_DEV></Par_Gen>");
    const std::string before = ReadParGen();
    uitest::whenModalIdle([&](TCustomForm*) {
        f->E_IP2_Modbus_TCP_Slave->SetText("300");
        uitest::click(f->Btn_OK);
    });
    uitest::whenModalIdle([&](TCustomForm*) {
        EXPECT_TRUE(f->Visible());
        EXPECT_EQ(f->E_IP2_Modbus_TCP_Slave->Text(), "300");
        EXPECT_EQ(ReadParGen(), before);
        f->E_IP2_Modbus_TCP_Slave->SetText("1");
        uitest::click(f->Btn_OK);
    });
    EXPECT_EQ(f->ShowModal(), mrOk);
    EXPECT_EQ(Asked(),
              std::vector<std::string>{"Error Ethernet!! IP Address 2 must be between 0 and 255"});
    EXPECT_NE(ReadParGen().find("<Modbus_TCP_Slave_IP2>1</Modbus_TCP_Slave_IP2>"),
              std::string::npos);
}

TEST_F(ParGenTest, AFileThatCannotBeWrittenShowsTheErrorAndKeepsTheDialogOpen) {
    TFParGen* f = Create(25);
    Project_Dir = PathJoin(Dir(), "gone");
    Set_Files();
    uitest::whenModalIdle([&](TCustomForm*) { uitest::click(f->Btn_OK); });
    uitest::whenModalIdle([&](TCustomForm*) {
        EXPECT_TRUE(f->Visible());
        ASSERT_EQ(uitest::dialogs().Questions().size(), 1u);
        EXPECT_EQ(uitest::dialogs().Questions()[0].Kind, dkException);
        // Once the folder exists the same entries are saved.
        ForceDirectories(Project_Dir);
        uitest::click(f->Btn_OK);
    });
    EXPECT_EQ(f->ShowModal(), mrOk);
    EXPECT_TRUE(HasParGen());
}
