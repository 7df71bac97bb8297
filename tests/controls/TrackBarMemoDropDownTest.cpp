// The track-bar and memo drop-downs, used through the mouse and the keys on a shown form.
#include "controls/QorMemoDropDown.h"
#include "controls/QorTrackBarDropDown.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/TrackBar.h"

#include <gtest/gtest.h>

#include <memory>

using namespace uitest;

namespace {

template <class Edit> class OnFormTest : public ::testing::Test {
protected:
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    Edit* edit = nullptr;

    void SetUp() override {
        form->SetBorderStyle(bsNone);
        form->SetBounds(100, 100, 400, 300);
        edit = new Edit(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(20, 30, 200, 22);
        form->Show();
        edit->SetFocus();
        processMessages();
    }
    void TearDown() override { form.reset(); }
    void key(WORD vk, TShiftState shift = {}) {
        postNativeKey(vk, shift);
        processMessages();
    }
    void type(const std::string& text) {
        postNativeText(text);
        processMessages();
    }
};

using TrackBarDropDownTest = OnFormTest<TQorTrackBarDropDown>;
using MemoDropDownTest = OnFormTest<TQorMemoDropDown>;

} // namespace

TEST_F(TrackBarDropDownTest, KeysStepWithinTheRange) {
    EXPECT_EQ(edit->Min(), 0);
    EXPECT_EQ(edit->Max(), 10);
    EXPECT_EQ(edit->Position(), 0);
    key(VK_UP);
    EXPECT_EQ(edit->Position(), 0) << "not below the minimum";
    key(VK_DOWN);
    EXPECT_EQ(edit->Position(), 1);
    EXPECT_EQ(edit->Text(), "1");
    edit->SetFrequency(4);
    key(VK_DOWN);
    key(VK_DOWN);
    EXPECT_EQ(edit->Position(), 9);
    key(VK_DOWN);
    EXPECT_EQ(edit->Position(), 9) << "13 would pass the maximum";
    key(VK_UP);
    EXPECT_EQ(edit->Position(), 5);
    EXPECT_EQ(edit->Text(), "5");
}

TEST_F(TrackBarDropDownTest, TheBarKeepsPositionAndRangeSound) {
    edit->SetPosition(15);
    EXPECT_EQ(edit->Position(), 10);
    EXPECT_EQ(edit->Text(), "10");
    edit->SetMin(20);
    EXPECT_EQ(edit->Min(), 0) << "a minimum above the maximum is refused";
    edit->SetMax(5);
    EXPECT_EQ(edit->Max(), 5);
    EXPECT_EQ(edit->Position(), 5);
    EXPECT_EQ(edit->Text(), "5");
    // A text that is not an integer leaves the position alone and raises nothing.
    edit->SetText("abc");
    EXPECT_EQ(edit->Position(), 5);
    edit->SetText("3");
    EXPECT_EQ(edit->Position(), 3);
}

TEST_F(TrackBarDropDownTest, DraggingOverTheEditStepsByPageSize) {
    postNativeMouseDown(edit, {50, 10});
    postNativeMouseMove(edit, {55, 10}, true);
    processMessages();
    EXPECT_EQ(edit->Position(), 2) << "5 pixels at 2 a step";
    for (int x = 56; x < 60; ++x) postNativeMouseMove(edit, {x, 10}, true);
    processMessages();
    EXPECT_EQ(edit->Position(), 2) << "a pixel at a time adds nothing";
    postNativeMouseUp(edit, {59, 10});
    postNativeMouseMove(edit, {90, 10});
    processMessages();
    EXPECT_EQ(edit->Position(), 2) << "the release ends the drag";
}

TEST_F(TrackBarDropDownTest, TheBarInThePopupChangesTheValue) {
    int changes = 0;
    edit->OnTrackChange = [&](TObject*) { ++changes; };
    edit->SetPosition(4);
    changes = 0;
    edit->SetPageSize(3);
    key(VK_F4);
    ASSERT_TRUE(edit->DroppedDown());
    TTrackBar* bar = edit->TrackBar();
    EXPECT_EQ(bar->Position(), 4);
    EXPECT_EQ(bar->PageSize(), 3);
    EXPECT_EQ(bar->Width(), edit->DropDownForm()->ClientWidth() - 2);
    const TRect channel = bar->ChannelRect();
    postNativeClickAt(bar, {channel.Right - 2, (channel.Top + channel.Bottom) / 2});
    processMessages();
    EXPECT_EQ(edit->Position(), 7) << "a press on the channel moves a page towards it";
    EXPECT_EQ(edit->Text(), "7");
    EXPECT_EQ(changes, 1);
    const TRect thumb = bar->ThumbRect();
    const int y = (thumb.Top + thumb.Bottom) / 2;
    postNativeMouseDown(bar, {(thumb.Left + thumb.Right) / 2, y});
    postNativeMouseMove(bar, {1, y}, true);
    postNativeMouseUp(bar, {1, y});
    processMessages();
    EXPECT_EQ(edit->Position(), 0) << "the thumb follows a drag";
    EXPECT_EQ(edit->Text(), "0");
    key(VK_ESCAPE);
    EXPECT_FALSE(edit->DroppedDown());
}

TEST_F(MemoDropDownTest, TheEditSummarisesTheFirstLine) {
    edit->SetEditorEnabled(false);
    TStringList lines;
    lines.SetText("short\nsecond");
    edit->SetMemoText(&lines);
    EXPECT_EQ(edit->EditText(), "short...");
    lines.SetText(std::string(80, 'W') + "\nmore");
    edit->SetMemoText(&lines);
    const std::string cut = edit->EditText();
    ASSERT_GT(cut.size(), 3u);
    EXPECT_EQ(cut.substr(cut.size() - 3), "...");
    EXPECT_EQ(cut.substr(0, cut.size() - 3), std::string(cut.size() - 3, 'W'));
    EXPECT_LT(cut.size(), 80u);
    lines.SetText("only");
    edit->SetMemoText(&lines);
    EXPECT_EQ(edit->EditText(), "only");
    EXPECT_EQ(edit->MemoText()->Count(), 1) << "the summary is not copied back";
}

TEST_F(MemoDropDownTest, AnEditableEditShowsAndReplacesTheWholeText) {
    edit->SetEditorEnabled(true);
    TStringList lines;
    lines.SetText("a\nb");
    edit->SetMemoText(&lines);
    EXPECT_EQ(edit->EditText(), "a\nb");
    edit->SelectAll();
    type("new");
    EXPECT_EQ(edit->MemoText()->Count(), 1);
    EXPECT_EQ(edit->MemoText()->Get(0), "new");
}

TEST_F(MemoDropDownTest, ThePopupEditsTheTextAndACancelDropsTheEdits) {
    int memoChanges = 0;
    edit->OnMemoChange = [&](TObject*) { ++memoChanges; };
    edit->SetEditorEnabled(false);
    TStringList lines;
    lines.SetText("one\ntwo");
    edit->SetMemoText(&lines);
    key(VK_F4);
    ASSERT_TRUE(edit->DroppedDown());
    TMemo* memo = edit->Memo();
    EXPECT_EQ(memo->Height(), 100);
    EXPECT_EQ(memo->Text(), "one\ntwo");
    EXPECT_TRUE(memo->Focused());
    key('A', {ssCtrl});
    type("x");
    key(VK_RETURN);
    type("y");
    EXPECT_EQ(memo->Text(), "x\ny") << "Ctrl+A selected all; Enter stays with the memo";
    EXPECT_GT(memoChanges, 0);
    key(VK_ESCAPE);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->MemoText()->Count(), 2);
    EXPECT_EQ(edit->MemoText()->Get(0), "one");
    EXPECT_EQ(edit->EditText(), "one...");

    key(VK_F4);
    EXPECT_EQ(memo->Text(), "one\ntwo") << "the cancelled edits are gone";
    key(VK_END, {ssCtrl});
    type("s");
    key(VK_F4);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->MemoText()->Get(1), "twos");
    EXPECT_EQ(edit->SelLength(), 0);
}

TEST_F(MemoDropDownTest, SettingsReachTheMemoWhenThePopupOpens) {
    edit->SetMemoScrollBars(ssVertical);
    edit->SetMemoReadOnly(true);
    edit->SetMaxLength(5);
    key(VK_F4);
    ASSERT_TRUE(edit->DroppedDown());
    EXPECT_EQ(edit->Memo()->ScrollBars(), ssVertical);
    EXPECT_TRUE(edit->Memo()->ReadOnly());
    EXPECT_EQ(edit->Memo()->MaxLength(), 5);
    edit->SetMemoReadOnly(false);
    EXPECT_FALSE(edit->Memo()->ReadOnly()) << "applied at once while open";
    key(VK_ESCAPE);
}

TEST_F(MemoDropDownTest, AutoDropOpensOnEntry) {
    auto* other = new TEdit(form.get());
    other->SetParent(form.get());
    other->SetBounds(20, 100, 100, 22);
    edit->SetAutoDrop(true);
    other->SetFocus();
    processMessages();
    EXPECT_FALSE(edit->DroppedDown());
    edit->SetFocus();
    processMessages();
    EXPECT_TRUE(edit->DroppedDown());
    key(VK_ESCAPE);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_TRUE(edit->AutoDrop());
}
