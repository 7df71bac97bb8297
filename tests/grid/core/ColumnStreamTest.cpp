// The column grid's items written to and read from a stream in the component streaming format.
#include "grid/core/QorColumnGrid.h"
#include "grid/data/DataSettings.h"
#include "platform/base/ComponentStream.h"
#include "platform/ui/core/Forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

TEST(ColumnStreamTest, ItemsComeBackWithEveryStreamedSetting) {
    TForm form(nullptr);
    auto* menu = new TPopupMenu(&form);
    menu->SetName("ColumnMenu");
    auto* source = new TQorColumnGrid(&form);
    source->SetColCount(3);
    TGridColumnItem* a = source->Columns()->Items(1);
    a->SetHeader("Amount");
    a->SetWidth(123);
    a->SetAlignment(taRightJustify);
    a->SetSortStyle(ssNumeric);
    a->SetSortPrefix("EUR ");
    a->SetEditMask("999");
    a->SetEditLength(7);
    a->Font()->SetName("Courier New");
    a->Font()->SetSize(11);
    a->Font()->SetStyle(TFontStyles{fsItalic});
    a->SetColor(clInfoBk);
    a->SetEditor(edComboList);
    a->SetFixed(true);
    a->SetReadOnly(true);
    a->ComboItems()->Add("one");
    a->ComboItems()->Add("t\xC3\xA9n");
    a->SetDropDownCount(12);
    a->SetSpinMin(-5);
    a->SetSpinMax(500);
    a->SetSpinStep(5);
    a->SetPassword(true);
    a->SetPrintColor(0x00ABCDEF);
    a->SetBorders(TCellBorders{cbTop, cbBottom});
    a->BorderPen()->SetWidth(3);
    a->BorderPen()->SetStyle(psDot);
    a->SetPrintBorders(TCellBorders{cbLeft});
    a->SetTag(-9);
    a->SetDefIdx(2);
    a->SetName("amount");
    a->SetCheckTrue("yes");
    a->SetCheckFalse("no");
    a->SetShowBands(true);
    a->Filter()->Add("Large=>100");
    a->SetMaxSize(300);
    a->SetMinSize(20);
    a->SetAutoMinSize(30);
    a->SetAutoMaxSize(250);
    a->SetColumnPopupType(cpAllCellsLClick);
    a->SetColumnPopup(menu);
    a->SetFilterCaseSensitive(true);
    a->SetFloatFormat("%.3f");
    a->SetHeaderAlignment(taCenter);
    a->HeaderFont()->SetColor(clNavy);
    a->SetPrintBorderCustom(false);
    a->SetPrintFontCustom(false);
    TMemoryStream m;
    source->SaveColumnsToStream(m);

    auto* target = new TQorColumnGrid(&form);
    target->SetColCount(3);
    m.SetPosition(0);
    target->LoadColumnsFromStream(m);
    EXPECT_EQ(m.Position(), m.Size());
    ASSERT_EQ(target->Columns()->Count(), 3);
    const TGridColumnItem* b = target->Columns()->Items(1);
    EXPECT_EQ(b->Header(), "Amount");
    EXPECT_EQ(target->Cells(1, 0), "Amount");
    EXPECT_EQ(target->ColWidths(1), 123);
    EXPECT_EQ(b->Alignment(), taRightJustify);
    EXPECT_EQ(b->SortStyle(), ssNumeric);
    EXPECT_EQ(b->SortPrefix(), "EUR ");
    EXPECT_EQ(b->EditMask(), "999");
    EXPECT_EQ(b->EditLength(), 7);
    EXPECT_EQ(b->Font()->Name(), "Courier New");
    EXPECT_EQ(b->Font()->Size(), 11);
    EXPECT_TRUE(b->Font()->Style().Contains(fsItalic));
    EXPECT_EQ(b->Color(), clInfoBk);
    EXPECT_EQ(b->Editor(), edComboList);
    EXPECT_TRUE(b->Fixed());
    EXPECT_TRUE(b->ReadOnly());
    EXPECT_EQ(b->ComboItems()->ToVector(), (std::vector<std::string>{"one", "t\xC3\xA9n"}));
    EXPECT_EQ(b->DropDownCount(), 12);
    EXPECT_EQ(b->SpinMin(), -5);
    EXPECT_EQ(b->SpinMax(), 500);
    EXPECT_EQ(b->SpinStep(), 5);
    EXPECT_TRUE(b->Password());
    EXPECT_EQ(b->PrintColor(), 0x00ABCDEF);
    EXPECT_EQ(b->Borders(), (TCellBorders{cbTop, cbBottom}));
    EXPECT_EQ(b->BorderPen()->Width(), 3);
    EXPECT_EQ(b->BorderPen()->Style(), psDot);
    EXPECT_EQ(b->PrintBorders(), (TCellBorders{cbLeft}));
    EXPECT_EQ(b->Tag(), -9);
    EXPECT_EQ(b->DefIdx(), 2);
    EXPECT_EQ(b->Name(), "amount");
    EXPECT_EQ(b->CheckTrue(), "yes");
    EXPECT_EQ(b->CheckFalse(), "no");
    EXPECT_TRUE(b->ShowBands());
    EXPECT_EQ(b->Filter()->ToVector(), (std::vector<std::string>{"Large=>100"}));
    EXPECT_EQ(b->MaxSize(), 300);
    EXPECT_EQ(b->MinSize(), 20);
    EXPECT_EQ(b->AutoMinSize(), 30);
    EXPECT_EQ(b->AutoMaxSize(), 250);
    EXPECT_EQ(b->ColumnPopupType(), cpAllCellsLClick);
    EXPECT_EQ(b->ColumnPopup(), menu);
    EXPECT_TRUE(b->FilterCaseSensitive());
    EXPECT_EQ(b->FloatFormat(), "%.3f");
    EXPECT_EQ(b->HeaderAlignment(), taCenter);
    EXPECT_EQ(b->HeaderFont()->Color(), clNavy);
    EXPECT_FALSE(b->PrintBorderCustom());
    EXPECT_FALSE(b->PrintFontCustom());
    // The other items keep what a new item has.
    EXPECT_EQ(target->Columns()->Items(2)->CheckTrue(), "Y");
}

TEST(ColumnStreamTest, RefusesAStreamOfAnotherComponent) {
    TQorColumnGrid g(nullptr);
    g.Columns()->Items(0)->SetHeader("kept");
    struct Case {
        const char* what;
        std::string bytes;
        const char* message;
    };
    TMemoryStream other;
    {
        TWriter w(other);
        w.WriteComponentHeader("TQorColumnGridIO", "");
        w.WritePropName("Colour");
        w.WriteInteger(1);
        w.WriteComponentEnd();
        w.FlushBuffer();
    }
    const Case cases[] = {
        {"text", "Items", "Invalid stream format"},
        {"other class", std::string("TPF0\x0BTGridCellIO\x00\x00\x00", 19),
         "Invalid stream format: TQorColumnGridIO expected, TGridCellIO found"},
        {"unknown property",
         std::string(reinterpret_cast<const char*>(other.Bytes().data()), other.Bytes().size()),
         "Property Colour does not exist"},
    };
    for (const auto& c : cases) {
        TMemoryStream m;
        m.WriteBuffer(c.bytes.data(), std::int64_t(c.bytes.size()));
        m.SetPosition(0);
        try {
            g.LoadColumnsFromStream(m);
            ADD_FAILURE() << c.what;
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), c.message) << c.what;
        }
        EXPECT_EQ(g.Columns()->Items(0)->Header(), "kept") << c.what;
    }
}
