// The M-Bus network editor with the scripted dialogs.
#include "mbus/Meter_Bus.h"

#include "mbus/NewIDNode.h"
#include "mbus/net/MBusNetworkFile.h"
#include "platform/ui/core/Dialogs.h"
#include "treeview/LazyTree.h"

#include "MBusTestSupport.h"

#include <memory>

namespace {

class MeterBusTest : public MBusWindowTest {
protected:
    void SetUp() override {
        MBusWindowTest::SetUp();
        form = std::make_unique<TFMeter_Bus>(nullptr);
        form->AfterConstruction();
    }
    void TearDown() override {
        form.reset();
        MBusWindowTest::TearDown();
    }
    // Two wired nodes; the first has two variables.
    void writeNetwork() {
        WriteBinaryFile(File_M_Bus,
                        "<M-Bus_Network>"
                        "<Nodo ID_Primary=\"5\" Descrizione=\"heat\">"
                        "<Variabile Enable=\"1\" Desc=\"energy\" Type=\"0\" Fun_Field=\"0\" "
                        "Dim=\"2\"/>"
                        "<Variabile Enable=\"1\" Desc=\"odd\" Type=\"-1\" VIFE=\"-1\" "
                        "Fun_Field=\"0\" Dim=\"0\"/>"
                        "</Nodo>"
                        "<Nodo ID_Primary=\"6\" Descrizione=\"water\"/>"
                        "</M-Bus_Network>");
    }
    TLazyNode* nodeItem(int i) const {
        TLazyNode* n = form->NODE_ORIG->FirstChild;
        while (i-- > 0) n = n->NextSibling;
        return n;
    }
    TLazyNode* varItem(int node, int var) const {
        TLazyNode* v = nodeItem(node)->FirstChild;
        while (var-- > 0) v = v->NextSibling;
        return v;
    }
    std::vector<std::string> itemTexts() const {
        std::vector<std::string> out;
        for (TLazyNode* n = form->NODE_ORIG->FirstChild; n; n = n->NextSibling) {
            out.push_back(form->Item_Text(n));
            for (TLazyNode* v = n->FirstChild; v; v = v->NextSibling)
                out.push_back("  " + form->Item_Text(v));
        }
        return out;
    }
    TNodi_List saved() const {
        TNodi_List list;
        Read_MBus_Network_File(File_M_Bus, list);
        return list;
    }
    std::unique_ptr<TFMeter_Bus> form;
};

} // namespace

TEST_F(MeterBusTest, ShowsTheFileAndCancelDropsChanges) {
    writeNetwork();
    for (int pass = 0; pass < 2; ++pass) {
        Show(form.get(), [&] {
            EXPECT_EQ(itemTexts(), (std::vector<std::string>{"ID 5 - heat", "  VAR - energy",
                                                             "  VAR - odd", "ID 6 - water"}));
            EXPECT_EQ(form->L_MBus_NumByte->Caption(), "Bytes Used : 5");
            form->Select_Item(nodeItem(1));
            EXPECT_EQ(form->btn_Add_Node->Caption(), "MODIFY NODE");
            form->E_New_Node_Desc->SetText("changed");
            form->btn_Add_Node->Click();
            EXPECT_EQ(form->Item_Text(nodeItem(1)), "ID 6 - changed");
            uitest::dialogs().QueueAnswer(mrYes);
            form->Btn_Cancel->Click();
        });
        EXPECT_EQ(Asked(), std::vector<std::string>{UI_Texts[798]});
        uitest::dialogs().Clear();
    }
    EXPECT_EQ(saved()[1]->Description, "water");
}

TEST_F(MeterBusTest, AddsNodesAndVariablesAndSaves) {
    EXPECT_EQ(Show(form.get(),
                   [&] {
                       form->Select_Item(form->NODE_ORIG);
                       form->E_New_Node_Desc->SetText("gas");
                       form->E_New_Node_ID_Pri->SetText("9");
                       form->btn_Add_Node->Click();
                       form->Select_Item(nodeItem(0));
                       form->E_New_Var_Desc->SetText("volume");
                       form->CB_Var_Dim->SetItemIndex(7);
                       form->E_Length->SetText("12");
                       form->E_Sto_Num->SetText("4294967295");
                       form->btn_Add_Var->Click();
                       EXPECT_EQ(form->L_MBus_NumByte->Caption(), "Bytes Used : 12");
                       form->Btn_OK->Click();
                   }),
              mrOk);
    EXPECT_TRUE(Asked().empty());
    const TNodi_List list = saved();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->Node_ID_Primary, 9);
    ASSERT_EQ(list[0]->Var_List.size(), 1u);
    EXPECT_EQ(list[0]->Var_List[0]->Storage_Number, 4294967295u);
    EXPECT_EQ(list[0]->Var_List[0]->Length, 12);
}

TEST_F(MeterBusTest, ChecksAndModes) {
    writeNetwork();
    Show(form.get(), [&] {
        // With a variable selected, ADD NODE adds a node with its node's address.
        form->Select_Item(varItem(0, 0));
        form->btn_Add_Node->Click();
        EXPECT_EQ(Asked().back(), "Error!! ID Node is already used ");
        // The same address by secondary type is free.
        form->RB_ID_Secondary->SetChecked(true);
        form->E_New_Node_ID_Sec->SetText("5");
        form->btn_Add_Node->Click();
        EXPECT_EQ(form->Nodi_List.size(), 3u);

        // A change is decided by the selection, whatever the button's text says.
        UI_Texts.Put(763, "MODIFY NODE");
        form->Select_Item(nodeItem(1));
        form->E_New_Node_Desc->SetText("renamed");
        form->btn_Add_Node->Click();
        EXPECT_EQ(form->Nodi_List.size(), 3u);
        EXPECT_EQ(form->Nodi_List[1]->Description, "renamed");

        // A text that is not a number stores nothing, not even the description.
        form->E_New_Node_Desc->SetText("half");
        form->E_New_Node_ID_Sec->SetText("abc");
        uitest::dialogs().Clear();
        form->btn_Add_Node->Click();
        EXPECT_EQ(Asked().size(), 1u);
        EXPECT_EQ(form->Nodi_List[1]->Description, "renamed");

        form->Select_Item(varItem(0, 0));
        form->E_Tariff->SetText("1048576");
        uitest::dialogs().Clear();
        form->btn_Add_Var->Click();
        EXPECT_EQ(Asked(), std::vector<std::string>{UI_Texts[784]});
        uitest::dialogs().QueueAnswer(mrYes);
    });
}

TEST_F(MeterBusTest, UnlistedDecoderCodesAreShownAsNumbersAndKept) {
    writeNetwork();
    Show(form.get(), [&] {
        form->Select_Item(varItem(0, 1));
        EXPECT_EQ(form->CB_Var_ToD->Text(), "-1");
        EXPECT_EQ(form->CB_VIFE->Text(), "-1");
        form->E_New_Var_Desc->SetText("still odd");
        form->btn_Add_Var->Click();
        form->Btn_OK->Click();
    });
    const TNodi_List list = saved();
    const TVariabile& v = *list[0]->Var_List[1];
    EXPECT_EQ(v.Description, "still odd");
    EXPECT_EQ(v.Type_Of_Data, -1);
    EXPECT_EQ(v.VIFE, -1);
}

// A scan writes numbers the lists do not hold (Dim 255, the subunit as Unit); a file may hold
// others. Changing another field of the node or variable keeps them.
TEST_F(MeterBusTest, ValuesTheListsDoNotHoldAreKeptWhenAnotherFieldChanges) {
    WriteBinaryFile(File_M_Bus,
                    "<M-Bus_Network>"
                    "<Nodo ID_Primary=\"5\" Swap_IN=\"5\" Var_List_Type=\"3\" Cut_After=\"251\">"
                    "<Variabile Enable=\"1\" Type=\"2\" Fun_Field=\"7\" Dim=\"255\" "
                    "Unit=\"1023\" Post_Operation=\"200\"/>"
                    "</Nodo>"
                    "<Nodo MBus_Type=\"0\" Swap_IN=\"4\" Var_List_Type=\"2\" "
                    "wMBus_ManID=\"1\" wMBus_Ver=\"1\" wMBus_DevType=\"7\"/>"
                    "</M-Bus_Network>");
    Show(form.get(), [&] {
        form->Select_Item(varItem(0, 0));
        EXPECT_EQ(form->CB_Var_Dim->Text(), "255");
        EXPECT_EQ(form->CB_Var_Unit->Text(), "1023");
        form->E_New_Var_Desc->SetText("renamed");
        form->btn_Add_Var->Click();
        for (int n = 0; n < 2; ++n) {
            form->Select_Item(nodeItem(n));
            form->E_New_Node_Desc->SetText("node " + std::to_string(n));
            form->btn_Add_Node->Click();
        }
        // Another item picked replaces the value.
        form->Select_Item(nodeItem(0));
        form->CB_Var_Type->SetItemIndex(1);
        form->btn_Add_Node->Click();
        form->Btn_OK->Click();
    });
    const TNodi_List list = saved();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->Description, "node 0");
    EXPECT_EQ(list[0]->Swap_Ident, 5);
    EXPECT_EQ(list[0]->Var_List_Type, 1);
    EXPECT_EQ(list[0]->Cut_After, 251);
    const TVariabile& v = *list[0]->Var_List[0];
    EXPECT_EQ(v.Description, "renamed");
    EXPECT_EQ(v.Function_Field, 7);
    EXPECT_EQ(v.Dimension, 255);
    EXPECT_EQ(v.Unita, 1023);
    EXPECT_EQ(v.Post_Operation, 200);
    EXPECT_EQ(list[1]->Description, "node 1");
    EXPECT_EQ(list[1]->Swap_Ident, 4);
    EXPECT_EQ(list[1]->Var_List_Type, 2);
}

TEST_F(MeterBusTest, CloseBoxAsksWhenSomethingChanged) {
    writeNetwork();
    const int result = uitest::runModal(form.get(), [&](TCustomForm*) {
        form->Select_Item(form->NODE_ORIG);
        uitest::dialogs().QueueAnswer(mrYes);
        form->btn_Delete_ItemClick(nullptr);
        EXPECT_TRUE(form->Nodi_List.empty());
        uitest::dialogs().QueueAnswer(mrNo);
        form->Close();
        uitest::whenModalIdle([&](TCustomForm*) {
            EXPECT_EQ(Asked().back(), UI_Texts[798]);
            EXPECT_TRUE(form->Visible());
            uitest::dialogs().QueueAnswer(mrYes);
            form->Close();
        });
    });
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(Asked().size(), 3u);
    EXPECT_EQ(saved().size(), 2u);
}

TEST_F(MeterBusTest, PartialReadIsNotWrittenWithoutAsking) {
    WriteBinaryFile(File_M_Bus, "<M-Bus_Network><Nodo Descrizione=\"a\"/><Nodo>"
                                "<Variabile Type=\"1\"/></Nodo><Nodo/></M-Bus_Network>");
    const std::string before = ReadBinaryFile(File_M_Bus);
    Show(form.get(), [&] {
        EXPECT_EQ(form->Nodi_List.size(), 2u);
        uitest::dialogs().QueueAnswer(mrNo);
        form->Btn_OK->Click();
        EXPECT_EQ(Asked().back(), UI_Texts[799]);
    });
    EXPECT_NE(Asked().front().find("Fun_Field"), std::string::npos) << Asked().front();
    EXPECT_EQ(ReadBinaryFile(File_M_Bus), before);
}

TEST_F(MeterBusTest, ByteLimitRefusesOk) {
    Show(form.get(), [&] {
        form->Select_Item(form->NODE_ORIG);
        form->btn_Add_Node->Click();
        form->Select_Item(nodeItem(0));
        form->CB_Var_Dim->SetItemIndex(7);
        form->E_Length->SetText("191");
        for (int i = 0; i < 8; ++i) form->btn_Add_Var->Click();
        EXPECT_EQ(form->L_MBus_NumByte->Caption(), "Bytes Used : 1528");
        form->Btn_OK->Click();
        EXPECT_EQ(Asked().back(), "Error!! Bytes Used for the configuration are more of 1439");
        form->Select_Item(varItem(0, 0));
        uitest::dialogs().QueueAnswer(mrYes);
        form->btn_Delete_ItemClick(nullptr);
        form->Btn_OK->Click();
    });
    EXPECT_EQ(saved()[0]->Var_List.size(), 7u);
}

TEST_F(MeterBusTest, ImportReplacesTheFileThroughACopy) {
    writeNetwork();
    const std::string other = Path("other.xml");
    WriteBinaryFile(other, "<M-Bus_Network><Nodo ID_Primary=\"42\"/></M-Bus_Network>");
    Show(form.get(), [&] {
        // The project's own file is not imported onto itself.
        uitest::dialogs().QueueFile(File_M_Bus);
        form->Btn_ImportNet->Click();
        EXPECT_EQ(form->Nodi_List.size(), 2u);
        uitest::dialogs().QueueFile(other);
        uitest::dialogs().QueueAnswer(mrNo);
        form->Btn_ImportNet->Click();
        EXPECT_EQ(form->Nodi_List.size(), 2u);
        // A file that cannot be read leaves the network file.
        uitest::dialogs().QueueFile(Path("missing.xml"));
        uitest::dialogs().QueueAnswer(mrYes);
        form->Btn_ImportNet->Click();
        EXPECT_EQ(saved().size(), 2u);
        uitest::dialogs().QueueFile(other);
        uitest::dialogs().QueueAnswer(mrYes);
        form->Btn_ImportNet->Click();
        EXPECT_EQ(itemTexts(), std::vector<std::string>{"ID 42 - "});
        EXPECT_FALSE(form->Is_Change);
    });
    EXPECT_EQ(ReadBinaryFile(File_M_Bus), ReadBinaryFile(other));
}

// A wireless node's hidden wired address equals a wired node's; pasting it asks for no address.
TEST_F(MeterBusTest, PastedWirelessNodeKeepsItsAddressesUnasked) {
    WriteBinaryFile(File_M_Bus, "<M-Bus_Network>"
                                "<Nodo ID_Primary=\"1\" Descrizione=\"wired\"/>"
                                "<Nodo MBus_Type=\"0\" ID_Primary=\"1\" wMBus_Add=\"12345678\" "
                                "Descrizione=\"radio\"/>"
                                "</M-Bus_Network>");
    Show(form.get(), [&] {
        form->Select_Item(nodeItem(1));
        form->CopyNode1Click(nullptr);
        form->PasteNode1Click(nullptr); // a dialog opened here would fail the test
        ASSERT_EQ(form->Nodi_List.size(), 3u);
        const TNodo& pasted = *form->Nodi_List[2];
        EXPECT_EQ(pasted.MBus_Type, 0);
        EXPECT_EQ(pasted.Node_ID_Primary, 1);
        EXPECT_EQ(pasted.wMBus_Add, "12345678");
        EXPECT_EQ(form->Item_Text(nodeItem(2)), form->Item_Text(nodeItem(1)));
        EXPECT_TRUE(form->Is_Change);
        uitest::dialogs().QueueAnswer(mrYes);
    });
}

TEST_F(MeterBusTest, PastedNodeTakesTheAddressChosenInTheDialog) {
    writeNetwork();
    auto dialog = std::make_unique<TFNewIDNode>(nullptr);
    dialog->AfterConstruction();
    FNewIDNode = dialog.get();
    Show(form.get(), [&] {
        form->Select_Item(nodeItem(0));
        form->CopyNode1Click(nullptr);
        EXPECT_TRUE(form->PasteNode1->Enabled());
        uitest::whenModalIdle([&](TCustomForm*) {
            dialog->Btn_OK->Click();
            EXPECT_EQ(Asked().back(), "Error!! ID Node is already used ");
            dialog->E_New_Node_ID_Pri->SetText("7");
            dialog->Btn_OK->Click();
        });
        form->PasteNode1Click(nullptr);
        EXPECT_EQ(itemTexts(), (std::vector<std::string>{
                                   "ID 5 - heat", "  VAR - energy", "  VAR - odd", "ID 6 - water",
                                   "ID 7 - heat", "  VAR - energy", "  VAR - odd"}));
        uitest::dialogs().QueueAnswer(mrYes);
    });
    FNewIDNode = nullptr;
}

TEST_F(MeterBusTest, VariableRowsShowTheirLabelsByListType) {
    writeNetwork();
    auto labelOf = [&](int ui) -> TLabel* {
        for (int i = 0; i < form->QorTabSheet2->ControlCount(); ++i)
            if (auto* l = dynamic_cast<TLabel*>(form->QorTabSheet2->Controls(i));
                l && l->Caption() == UI_Texts[ui])
                return l;
        return nullptr;
    };
    Show(form.get(), [&] {
        struct Row {
            int ui;
            TControl* field;
            bool byType, byPosition;
        };
        const Row rows[] = {
            {767, form->CB_Var_ToD, true, false}, {768, form->E_VIF_ASCII, true, false},
            {769, form->CB_Var_FF, true, false},  {770, form->CB_Var_Dim, true, true},
            {771, form->E_Length, true, true},    {772, form->CB_Var_Unit, true, false},
            {774, form->E_Sto_Num, true, false},  {775, form->E_Tariff, true, false},
            {776, form->CB_VIFE, true, false},    {920, form->CB_PostOpe, true, true},
            {780, form->E_Position, false, true},
        };
        for (int listType : {0, 1}) {
            form->Nodi_List[0]->Var_List_Type = std::uint8_t(listType);
            form->Select_Item(varItem(0, 0));
            for (const Row& r : rows) {
                SCOPED_TRACE(testing::Message() << listType << " " << r.ui);
                TLabel* l = labelOf(r.ui);
                ASSERT_NE(l, nullptr);
                EXPECT_EQ(l->Visible(), listType == 0 ? r.byType : r.byPosition);
                EXPECT_EQ(r.field->Visible(), l->Visible());
                EXPECT_EQ(l->Top(), r.field->Top() + 3);
                EXPECT_LT(l->Left(), r.field->Left()) << "before its field";
            }
        }
    });
}

TEST_F(MeterBusTest, TypeAndVifeListsOpenWiderToTheLeft) {
    Show(form.get(), [&] {
        form->QorPageControl1->SetActivePage(form->QorTabSheet2);
        TBitmap measure(1, 1);
        for (TComboBox* c : {form->CB_Var_ToD, form->CB_VIFE}) {
            SCOPED_TRACE(c->Name());
            measure.Canvas()->Font()->Assign(c->Font());
            int widest = 0;
            for (int i = 0; i < c->Items()->Count(); ++i)
                widest = std::max(widest, measure.Canvas()->TextWidth(c->Items()->Strings(i)));
            EXPECT_GT(c->DroppedWidth(), widest) << "every item fits";
            c->SetDroppedDown(true);
            const TRect r = c->DroppedRect();
            EXPECT_EQ(r.Width(), c->DroppedWidth());
            EXPECT_EQ(r.Right, c->ClientToScreen({c->Width(), 0}).X) << "right edges line up";
            c->SetDroppedDown(false);
        }
        // A list whose items fit its combo keeps the combo's width.
        EXPECT_EQ(form->CB_Var_FF->DroppedWidth(), 0);
    });
}

// Every caption on the pages can be read: no field lies over a label's text, a check box or
// radio button has room for its caption, no caption runs past its page, and each label stands
// on its field's row.
TEST_F(MeterBusTest, NoCaptionOnThePagesIsCoveredOrCut) {
    writeNetwork();
    TBitmap measure(1, 1);
    auto textWidth = [&](TControl* c) {
        measure.Canvas()->Font()->Assign(c->Font());
        return measure.Canvas()->TextWidth(c->Caption());
    };
    // The shown controls of a page, with their bounds in the page's client pixels.
    std::function<void(TWinControl*, TPoint, std::vector<std::pair<TControl*, TRect>>&)> shown =
        [&](TWinControl* parent, TPoint at, std::vector<std::pair<TControl*, TRect>>& out) {
            for (int i = 0; i < parent->ControlCount(); ++i) {
                TControl* c = parent->Controls(i);
                if (!c->Visible()) continue;
                const TRect r = Bounds(at.X + c->Left(), at.Y + c->Top(), c->Width(), c->Height());
                if (auto* panel = dynamic_cast<TPanel*>(c))
                    shown(panel, r.TopLeft(), out);
                else
                    out.emplace_back(c, r);
            }
        };
    struct Layout {
        const char* name;
        std::function<void()> select;
        TQorTabSheet* page;
    };
    const Layout layouts[] = {
        {"wired node", [&] { form->Select_Item(nodeItem(0)); }, form->QorTabSheet1},
        {"wireless node",
         [&] {
             form->CB_MBus_Type->SetItemIndex(0);
             form->CB_MBus_TypeChange();
         },
         form->QorTabSheet1},
        {"variable by type", [&] { form->Select_Item(varItem(0, 0)); }, form->QorTabSheet2},
        {"variable by position",
         [&] {
             form->Nodi_List[0]->Var_List_Type = 1;
             form->Select_Item(varItem(0, 0));
         },
         form->QorTabSheet2},
    };
    Show(form.get(), [&] {
        for (const Layout& l : layouts) {
            SCOPED_TRACE(l.name);
            l.select();
            std::vector<std::pair<TControl*, TRect>> controls;
            shown(l.page, {0, 0}, controls);
            for (const auto& [c, bounds] : controls) {
                const bool boxed = dynamic_cast<TCheckBox*>(c) || dynamic_cast<TRadioButton*>(c);
                if (!boxed && !dynamic_cast<TLabel*>(c)) continue;
                // A check box's caption starts after its box.
                const int left = bounds.Left + (boxed ? 17 : 0);
                const TRect text{left, bounds.Top, left + textWidth(c), bounds.Bottom};
                if (boxed) {
                    EXPECT_LE(text.Right, bounds.Right) << c->Caption() << " is cut";
                }
                EXPECT_LE(text.Right, l.page->ClientWidth()) << c->Caption() << " runs off";
                for (const auto& [other, r] : controls) {
                    if (other == c || !dynamic_cast<TWinControl*>(other)) continue;
                    EXPECT_TRUE(r.Right <= text.Left || r.Left >= text.Right ||
                                r.Bottom <= text.Top || r.Top >= text.Bottom)
                        << c->Caption() << " lies under " << other->Name();
                    // A label stands 3 pixels below the top of the field to its right.
                    if (!boxed && r.Left >= text.Right && r.Top < bounds.Bottom &&
                        r.Bottom > bounds.Top) {
                        EXPECT_EQ(bounds.Top, r.Top + 3) << c->Caption();
                    }
                }
            }
        }
        uitest::dialogs().QueueAnswer(mrYes);
    });
}
