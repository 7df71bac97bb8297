// The wireless senders' grid of the scan window.
#include "grid/core/QorColumnGrid.h"
#include "mbus/ScanDecode.h"

#include "MBusTestSupport.h"
#include "ScanDecodeGridAccess.h"

TEST_F(MBusWindowTest, WirelessRowsShowTheSendersInTheirColours) {
    auto form = std::make_unique<TFScanDecode>(nullptr);
    form->AfterConstruction();
    List_Slave_wMBus.Clear();
    for (bool cripted : {false, true}) {
        auto s = std::make_unique<TSlave_wMBus>();
        s->Cripted = cripted;
        s->Message_Type = 0x44;
        s->ALA_Manu_str = "ABC";
        s->ALA_Manufacturer = 0x0442;
        s->ALA_Address = std::int32_t(0x80000001u);
        s->ALA_Version = 3;
        s->RSSI = -60;
        const int i = List_Slave_wMBus.Add(std::move(s));
        form->Update_Wireless_List(i, List_Slave_wMBus.Items(i));
    }
    TQorColumnGrid* g = form->ASG_Wireless;
    ASSERT_EQ(g->RowCount(), 3);
    EXPECT_EQ(g->Cells(0, 2), "2");
    EXPECT_EQ(g->Cells(2, 1), "0x44");
    EXPECT_EQ(g->Cells(7, 1), "ABC(0442)");
    EXPECT_EQ(g->Cells(8, 1), "80000001");
    EXPECT_EQ(g->Cells(9, 1), "3 (03)");
    EXPECT_EQ(g->Cells(11, 1), "-60");
    EXPECT_EQ(g->Colors(1, 1), TColor(0xA8FFA8));
    EXPECT_EQ(g->Colors(1, 2), TColor(0xB9BAFF));

    List_Slave_wMBus.Clear();
}

TEST_F(MBusWindowTest, DotInTheAddressMovesToItsNextPart) {
    auto form = std::make_unique<TFScanDecode>(nullptr);
    form->AfterConstruction();
    Show(form.get(), [&] {
        // Typed as messages, and as keys of the keyboard through Qt.
        for (bool native : {false, true}) {
            SCOPED_TRACE(native);
            for (TEdit* e : form->E_IP) e->SetText("");
            form->E_IP[0]->SetFocus();
            if (native) {
                for (WORD vk : {WORD('1'), WORD('0'), VK_DECIMAL, WORD('0'), VK_DECIMAL, WORD('0'),
                                VK_DECIMAL, WORD('7'), VK_DECIMAL}) {
                    uitest::postNativeKey(vk);
                    uitest::processMessages();
                }
            } else {
                uitest::typeText("10.0.0.7.");
            }
            EXPECT_EQ(form->E_IP[0]->Text(), "10");
            EXPECT_EQ(form->E_IP[1]->Text(), "0");
            EXPECT_EQ(form->E_IP[2]->Text(), "0");
            EXPECT_EQ(form->E_IP[3]->Text(), "7");
            EXPECT_TRUE(form->E_IP[3]->Focused());
        }
    });
}

namespace scangrid {

TWinControl* grid(TFScanDecode* Form) {
    return Form->ASG_Wireless;
}

std::string cell(TFScanDecode* Form, int Col, int Row) {
    return Form->ASG_Wireless->Cells(Col, Row);
}

TColor color(TFScanDecode* Form, int Col, int Row) {
    return Form->ASG_Wireless->Colors(Col, Row);
}

int image(TFScanDecode* Form, int Col, int Row) {
    int index = -1;
    return Form->ASG_Wireless->GetImageIdx(Col, Row, index) ? index : -1;
}

TPoint middle(TFScanDecode* Form, int Col, int Row) {
    const TRect r = Form->ASG_Wireless->CellRect(Col, Row);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

} // namespace scangrid
