#include "platform/ui/core/Dialogs.h"

#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

using namespace uitest;

TEST(Dialogs, MessageDlgRecordsTheQuestionAndAnswersFromTheScript) {
    struct Case {
        TMsgDlgType type;
        const char* caption;
    };
    const Case cases[] = {{mtError, "Error"},
                          {mtWarning, "Warning"},
                          {mtInformation, "Information"},
                          {mtConfirmation, "Confirmation"}};
    for (const auto& c : cases) {
        dialogs().Clear();
        dialogs().QueueAnswer(mrNo);
        EXPECT_EQ(MessageDlg("Delete row?", c.type, mbYesNo, 0), mrNo);
        ASSERT_EQ(dialogs().Questions().size(), 1u);
        const TDialogRequest& q = dialogs().Questions()[0];
        EXPECT_EQ(q.Kind, dkMessageDlg);
        EXPECT_EQ(q.Caption, c.caption);
        EXPECT_EQ(q.Text, "Delete row?");
        EXPECT_EQ(q.Type, c.type);
        EXPECT_EQ(q.Buttons, mbYesNo);
        EXPECT_EQ(dialogs().Unanswered(), 0);
    }
}

TEST(Dialogs, WithoutAPreparedAnswerTheDefaultButtonIsTakenAndCounted) {
    EXPECT_EQ(MessageDlg("Error KNX!! ", mtError, {mbOK}, 0), mrOk);
    EXPECT_EQ(MessageDlg("Sure?", mtConfirmation, mbYesNoCancel, 0), mrYes);
    EXPECT_EQ(dialogs().Unanswered(), 2);
}

TEST(Dialogs, MessageBoxMapsItsFlagsAndReturnsTheButtonId) {
    struct Case {
        UINT flags;
        TMsgDlgButtons buttons;
        TMsgDlgType type;
        int defaultResult;
    };
    const Case cases[] = {
        {MB_OK, {mbOK}, mtCustom, IDOK},
        {MB_YESNO | MB_ICONQUESTION, mbYesNo, mtConfirmation, IDYES},
        {MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, mbYesNo, mtWarning, IDNO},
        {MB_OKCANCEL | MB_ICONERROR, mbOKCancel, mtError, IDOK},
        {MB_RETRYCANCEL | MB_ICONINFORMATION, TMsgDlgButtons{mbRetry, mbCancel}, mtInformation,
         IDRETRY},
    };
    for (const auto& c : cases) {
        dialogs().Clear();
        dialogs().QueueAnswer(IDCANCEL);
        EXPECT_EQ(Application->MessageBox("Text", "Caption", c.flags), IDCANCEL);
        const TDialogRequest& q = dialogs().Questions().at(0);
        EXPECT_EQ(q.Kind, dkMessageBox);
        EXPECT_EQ(q.Caption, "Caption");
        EXPECT_EQ(q.Buttons, c.buttons) << c.flags;
        EXPECT_EQ(q.Type, c.type) << c.flags;
        EXPECT_EQ(q.DefaultResult, c.defaultResult) << c.flags;
    }
}

TEST(Dialogs, ShowMessageUsesTheApplicationTitle) {
    ShowMessage("Saved");
    const TDialogRequest& q = dialogs().Questions().at(0);
    EXPECT_EQ(q.Kind, dkShowMessage);
    EXPECT_EQ(q.Caption, Application->Title());
    EXPECT_EQ(q.Buttons, TMsgDlgButtons{mbOK});
}

TEST(Dialogs, SaveDialogAddsTheDefaultExtensionOnlyWhenTheNameHasNone) {
    struct Case {
        const char* chosen;
        const char* result;
    };
    const Case cases[] = {{"/tmp/gw/Device", "/tmp/gw/Device.eds"},
                          {"/tmp/gw/Device.txt", "/tmp/gw/Device.txt"},
                          {"/tmp/v1.0/Device", "/tmp/v1.0/Device.eds"}};
    for (const auto& c : cases) {
        TSaveDialog dlg(nullptr);
        dlg.DefaultExt = "eds";
        dlg.Filter = "EDS files (*.eds)|*.eds|All files (*.*)|*.*";
        dlg.InitialDir = "/tmp";
        dlg.Title = "Save EDS";
        dialogs().QueueFile(c.chosen);
        ASSERT_TRUE(dlg.Execute());
        EXPECT_EQ(dlg.FileName, c.result);
    }
    const TDialogRequest& q = dialogs().Questions().back();
    EXPECT_EQ(q.Kind, dkSaveFile);
    EXPECT_EQ(q.Caption, "Save EDS");
    EXPECT_EQ(q.Filter, "EDS files (*.eds)|*.eds|All files (*.*)|*.*");
    EXPECT_EQ(q.InitialDir, "/tmp");
}

TEST(Dialogs, ACancelledFileDialogKeepsTheFileName) {
    TOpenDialog dlg(nullptr);
    dlg.FileName = "old.xml";
    dialogs().QueueFileCancel();
    EXPECT_FALSE(dlg.Execute());
    EXPECT_EQ(dlg.FileName, "old.xml");
    EXPECT_FALSE(dlg.Execute()) << "an unanswered file dialog is cancelled";
    EXPECT_EQ(dialogs().Questions().at(0).Kind, dkOpenFile);
}
