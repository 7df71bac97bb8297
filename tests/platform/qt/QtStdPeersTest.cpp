#include "platform/qt/QtStdPeers.h"

#include "platform/testing/UiTest.h"
#include "platform/ui/StdCtrls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

template <class W> W* nativeWidget(TWinControl* c) {
    auto* peer = dynamic_cast<TQtWindowPeer*>(c->Peer());
    return peer ? qobject_cast<W*>(peer->Widget()) : nullptr;
}

class QtStdPeersTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetClientSize(300, 200);
        form->Show();
    }
    void TearDown() override { form.reset(); }
    template <class T> T* make(int top) {
        T* c = new T(form.get());
        c->SetParent(form.get());
        c->SetBounds(10, top, 150, 21);
        return c;
    }
    std::unique_ptr<TForm> form;
};

TEST_F(QtStdPeersTest, EditWidgetShowsWhatTheModelTyped) {
    auto* edit = make<TEdit>(10);
    auto* line = nativeWidget<QLineEdit>(edit);
    ASSERT_NE(line, nullptr);
    edit->SetFocus();
    edit->SetMaxLength(4);
    uitest::typeText("äbcde", edit);
    EXPECT_EQ(edit->Text(), "äbcd");
    EXPECT_EQ(line->text(), QString::fromUtf8("äbcd"));
    EXPECT_EQ(line->cursorPosition(), 4);
    // A change made by the widget itself (its context menu) reaches the model.
    line->selectAll();
    line->del();
    EXPECT_EQ(edit->Text(), "");
}

TEST_F(QtStdPeersTest, ComboAndListWidgetsFollowItemsAndSelection) {
    auto* combo = make<TComboBox>(40);
    combo->SetStyle(csDropDownList);
    combo->Items()->SetCommaText("10K,20K,50K");
    combo->SetItemIndex(2);
    auto* box = nativeWidget<QComboBox>(combo);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->count(), 3);
    EXPECT_EQ(box->currentIndex(), 2);
    EXPECT_FALSE(box->isEditable());
    int changes = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    emit box->activated(0);
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(changes, 1);

    auto* list = make<TListBox>(80);
    list->Items()->SetCommaText("a,b,c");
    list->SetItemIndex(1);
    auto* widget = nativeWidget<QListWidget>(list);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->count(), 3);
    EXPECT_TRUE(widget->item(1)->isSelected());
    int clicks = 0;
    list->OnClick = [&](TObject*) { ++clicks; };
    emit widget->itemPressed(widget->item(2));
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(widget->item(1)->isSelected());
}

} // namespace
