// The popup push button: its look's defaults, what it paints, pressing, groups and sizing.
#include "controls/base/QorButton.h"

#include "platform/base/SysUtils.h"
#include "platform/gfx/ImageList.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/ExtCtrls.h"

#include <gtest/gtest.h>

#include <memory>

using namespace uitest;

namespace {

class QorButtonTest : public ::testing::Test {
protected:
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TPanel* panel = nullptr;
    TQorButtonAppearance look;

    void SetUp() override {
        form->SetBorderStyle(bsNone);
        form->SetBounds(100, 100, 300, 200);
        panel = new TPanel(form.get());
        panel->SetParent(form.get());
        panel->SetBounds(0, 0, 300, 200);
        panel->SetBevelOuter(bvNone);
        panel->SetShowCaption(false);
        panel->SetColor(clRed);
        form->Show();
        processMessages();
    }
    TQorButton* make(const std::string& caption, int left = 10) {
        auto* b = new TQorButton(panel);
        b->SetParent(panel);
        b->SetAppearance(&look);
        b->SetCaption(caption);
        b->SetBounds(left, 10, 60, 22);
        processMessages();
        return b;
    }
};

int countColour(TWinControl* c, TColor colour) {
    auto image = render(c);
    int n = 0;
    for (int y = 0; y < image->Height(); ++y)
        for (int x = 0; x < image->Width(); ++x) n += image->PixelColor(x, y) == colour;
    return n;
}

} // namespace

TEST(QorButtonAppearance, CheckedColoursComeFromTheHotOnesAndAssignCopiesTheColours) {
    TQorButtonAppearance a;
    EXPECT_EQ(a.ColorChecked(), a.ColorDown());
    EXPECT_EQ(a.ColorCheckedTo(), a.ColorDownTo());
    EXPECT_EQ(a.Font()->Name(), "Tahoma");
    TQorButtonAppearance b;
    b.SetColor(clLime);
    b.SetBorderColorChecked(clRed);
    b.SetGradient(gdHorizontal);
    b.Font()->SetName("Arial");
    int changes = 0;
    a.OnChange = [&](TObject*) { ++changes; };
    a.Assign(&b);
    EXPECT_EQ(a.Color(), clLime);
    EXPECT_EQ(a.BorderColorChecked(), clRed);
    EXPECT_EQ(a.Gradient(), gdHorizontal);
    EXPECT_EQ(a.Font()->Name(), "Tahoma") << "the font is not copied";
    EXPECT_EQ(changes, 3);
    THeaderAppearance other(nullptr);
    EXPECT_THROW(a.Assign(&other), EConvertError);
}

TEST_F(QorButtonTest, DefaultLookShowsOnlyTheCaptionUntilThePointerIsOverIt) {
    TQorButton* b = make("Go");
    auto image = render(b);
    EXPECT_EQ(image->PixelColor(0, 0), clRed) << "the parent shows through";
    EXPECT_EQ(image->PixelColor(59, 21), clRed);
    EXPECT_GT(countColour(b, clBlack), 0) << "the caption";
    postNativeMouseMove(b, {5, 5});
    processMessages();
    EXPECT_TRUE(b->MouseInControl());
    image = render(b);
    EXPECT_EQ(image->PixelColor(0, 0), look.BorderColorHot());
    EXPECT_EQ(image->PixelColor(3, 3), look.ColorHot());
    postNativeMouseDown(b, {5, 5});
    processMessages();
    EXPECT_EQ(render(b)->PixelColor(3, 3), look.ColorDown());
    postNativeMouseUp(b, {5, 5});
    postNativeLeave(b);
    processMessages();
    EXPECT_EQ(render(b)->PixelColor(3, 3), clRed);
}

TEST_F(QorButtonTest, PressMovedOffAndReleasedDoesNotClick) {
    TQorButton* b = make("Go");
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    postNativeMouseDown(b, {5, 5});
    postNativeMouseMove(b, {100, 5}, true);
    processMessages();
    EXPECT_EQ(b->State(), absUp);
    postNativeMouseUp(b, {100, 5});
    processMessages();
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(b->State(), absUp);
    postNativeClickAt(b, {5, 5});
    processMessages();
    EXPECT_EQ(clicks, 1);
}

TEST_F(QorButtonTest, GroupButtonsStayDownOneAtATimeAndCheckButtonsToggle) {
    TQorButton* plain = make("P", 10);
    plain->SetDown(true);
    EXPECT_FALSE(plain->Down()) << "a plain button never stays down";
    TQorButton* a = make("A", 80);
    TQorButton* b = make("B", 150);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    postNativeClickAt(a, {5, 5});
    processMessages();
    EXPECT_TRUE(a->Down());
    postNativeClickAt(b, {5, 5});
    processMessages();
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    postNativeClickAt(b, {5, 5});
    processMessages();
    EXPECT_TRUE(b->Down()) << "without AllowAllUp the group keeps one down";
    EXPECT_EQ(render(b)->PixelColor(3, 3), look.ColorChecked());
    TQorButton* check = make("C", 220);
    check->SetStyle(tasCheck);
    postNativeClickAt(check, {5, 5});
    processMessages();
    EXPECT_TRUE(check->Down());
    postNativeClickAt(check, {5, 5});
    processMessages();
    EXPECT_FALSE(check->Down());
}

TEST_F(QorButtonTest, FitsImageAndCaptionSideBySide) {
    TQorButton* b = make("Apply");
    TImageList images;
    images.SetSize(16, 16);
    TBitmap square(16, 16);
    images.Add(&square, nullptr);
    TBitmap measure(1, 1);
    measure.Canvas()->Font()->Assign(look.Font());
    const TSize text = measure.Canvas()->TextExtent("Apply");
    b->FitToContent();
    EXPECT_EQ(b->Width(), text.cx + 8);
    EXPECT_EQ(b->Height(), text.cy + 4);
    b->SetImages(&images);
    b->SetImageIndex(0);
    b->FitToContent();
    // Image at 4, the caption 4 after it, 4 to spare: the whole caption shows.
    EXPECT_EQ(b->Width(), 4 + 16 + 4 + text.cx + 4);
    EXPECT_EQ(b->Height(), std::max(text.cy, 16) + 4);
    b->SetAppearance(nullptr);
    b->SetBounds(10, 10, 5, 5);
    b->FitToContent();
    EXPECT_EQ(b->Width(), 5) << "nothing without a look";
}

TEST_F(QorButtonTest, AcceleratorClicksTheButton) {
    TQorButton* b = make("&Go");
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    b->Perform(CM_DIALOGCHAR, 'g', 0);
    EXPECT_EQ(clicks, 1);
    b->SetEnabled(false);
    EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 'g', 0), 0);
    EXPECT_EQ(clicks, 1);
}
