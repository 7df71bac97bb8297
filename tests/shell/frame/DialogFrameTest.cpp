#include "shell/frame/DialogFrame.h"

#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A table editor with copy and paste, and one without, each with two pages.
class TableDialog : public TFramed_Dialog {
public:
    TableDialog(TComponent* AOwner, bool copyRows) : TFramed_Dialog(AOwner, "FTable") {
        if (copyRows)
            Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow, Btn_CopyRow,
                              Btn_PasteRow);
        else
            Add_Table_Buttons(Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow);
        PageControl1 = Create_Page_Control(this, this, "PageControl1", alClient);
        TS_Read = Create_Tab_Sheet(this, PageControl1, "TS_Read");
        TS_Write = Create_Tab_Sheet(this, PageControl1, "TS_Write");
    }
    TFrame_Button* Btn_OK = nullptr;
    TFrame_Button* Btn_Cancel = nullptr;
    TFrame_Button* Btn_DelRow = nullptr;
    TFrame_Button* Btn_InsRow = nullptr;
    TFrame_Button* Btn_CopyRow = nullptr;
    TFrame_Button* Btn_PasteRow = nullptr;
    TPageControl* PageControl1;
    TTabSheet* TS_Read;
    TTabSheet* TS_Write;
};

TEST(DialogFrame, TableButtonsStandInTheButtonPanelFromTheLeft) {
    for (bool copyRows : {false, true}) {
        SCOPED_TRACE(copyRows);
        TableDialog d(nullptr, copyRows);
        struct Case {
            TFrame_Button* button;
            const char* name;
            int left;
            TModalResult result;
            bool copyOnly; // only in tables that copy rows
        };
        const Case cases[] = {
            {d.Btn_OK, "Btn_OK", 16, mrNone, false},
            {d.Btn_Cancel, "Btn_Cancel", 134, mrCancel, false},
            {d.Btn_DelRow, "Btn_DelRow", 252, mrNone, false},
            {d.Btn_InsRow, "Btn_InsRow", 370, mrNone, false},
            {d.Btn_CopyRow, "Btn_CopyRow", 488, mrNone, true},
            {d.Btn_PasteRow, "Btn_PasteRow", 606, mrNone, true},
        };
        for (const Case& c : cases) {
            if (c.copyOnly && !copyRows) {
                EXPECT_EQ(c.button, nullptr) << c.name;
                EXPECT_EQ(d.FindComponent(c.name), nullptr) << c.name;
                continue;
            }
            ASSERT_NE(c.button, nullptr) << c.name;
            EXPECT_EQ(d.FindComponent(c.name), c.button) << c.name;
            EXPECT_EQ(c.button->Parent(), d.P_Button) << c.name;
            EXPECT_EQ(c.button->BoundsRect(), Bounds(c.left, 6, 110, 28)) << c.name;
            EXPECT_EQ(c.button->ModalResult(), c.result) << c.name;
        }
    }
}

TEST(DialogFrame, PagesFillTheDialogBetweenTitleAndButtons) {
    TableDialog d(nullptr, false);
    d.SetClientSize(600, 337);
    EXPECT_EQ(d.FindComponent("PageControl1"), d.PageControl1);
    EXPECT_EQ(d.PageControl1->Parent(), &d);
    EXPECT_EQ(d.PageControl1->Align(), alClient);
    EXPECT_EQ(d.PageControl1->BoundsRect(), Rect(0, 69, 600, 337 - 40));
    EXPECT_EQ(d.PageControl1->PageCount(), 2);
    EXPECT_EQ(d.PageControl1->Pages(0), d.TS_Read);
    EXPECT_EQ(d.PageControl1->Pages(1), d.TS_Write);
    EXPECT_EQ(d.FindComponent("TS_Write"), d.TS_Write);
}

// A panel is drawn flat in the dialog colour, whatever the form behind it shows: no bevel
// line at its edges.
TEST(DialogFrame, PanelsPaintFlatInTheDialogColour) {
    TForm form(nullptr);
    form.SetClientSize(300, 200);
    form.SetColor(clWhite);
    TPanel* p = Create_Panel(&form, &form, "Panel1", alTop);
    p->SetHeight(40);
    const std::unique_ptr<TBitmap> image = uitest::render(&form);
    for (TPoint at :
         {TPoint{0, 0}, TPoint{299, 0}, TPoint{0, 39}, TPoint{299, 39}, TPoint{150, 20}})
        EXPECT_EQ(image->PixelColor(at.X, at.Y), Form_Color) << at.X << "," << at.Y;
    EXPECT_EQ(image->PixelColor(150, 41), clWhite) << "the form below the panel";
}

// A control given a hint shows it while the mouse rests on it.
TEST(DialogFrame, HintShowsWhileTheMouseRestsOnTheControl) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* b = Create_Control<TFrame_Button>(&form, &form, "Btn_OK");
    b->SetBounds(10, 10, 110, 28);
    Show_Hint(b, "Save and close");
    form.Show();
    uitest::processMessages();
    uitest::mouseMove(b, {20, 10});
    uitest::advanceClock(Application->HintPause);
    ASSERT_NE(Application->HintWindow(), nullptr);
    EXPECT_EQ(Application->HintWindow()->Caption(), "Save and close");
    Application->CancelHint();
    form.Hide();
}

} // namespace
