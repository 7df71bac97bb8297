#include "platform/qt/QtStdPeers.h"

#include "platform/testing/UiTest.h"
#include "platform/ui/StdCtrls.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
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

// Selections made with the mouse and changes from the context menu reach the model, for the
// edit and for the edit line of a combo box alike.
TEST_F(QtStdPeersTest, NativeLineChangesReachEditAndCombo) {
    auto* edit = make<TEdit>(10);
    edit->SetText("abcdef");
    auto* line = nativeWidget<QLineEdit>(edit);
    ASSERT_NE(line, nullptr);
    line->setSelection(1, 2);
    EXPECT_EQ(edit->SelStart(), 1);
    EXPECT_EQ(edit->SelLength(), 2);

    auto* combo = make<TComboBox>(40);
    combo->SetText("hello");
    auto* box = nativeWidget<QComboBox>(combo);
    ASSERT_NE(box, nullptr);
    QLineEdit* comboLine = box->lineEdit();
    ASSERT_NE(comboLine, nullptr);
    EXPECT_EQ(comboLine->text(), "hello");
    comboLine->setSelection(0, 3);
    EXPECT_EQ(combo->SelStart(), 0);
    EXPECT_EQ(combo->SelLength(), 3);
    comboLine->del();
    EXPECT_EQ(combo->Text(), "lo");
    EXPECT_EQ(comboLine->text(), "lo");
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

// A key as the window system delivers it, to the widget that has the focus.
void nativeKey(QWidget* w, int key, const QString& text, Qt::KeyboardModifiers mods = {}) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &release);
}

TEST_F(QtStdPeersTest, NativeKeysReachTheModelOnce) {
    auto* edit = make<TEdit>(10);
    edit->OnKeyPress = [&](TObject*, char32_t& k) {
        if (k == '.') k = 0;
    };
    edit->SetFocus();
    auto* line = nativeWidget<QLineEdit>(edit);
    ASSERT_NE(line, nullptr);
    nativeKey(line, Qt::Key_1, "1");
    nativeKey(line, Qt::Key_Period, ".");
    nativeKey(line, Qt::Key_2, "2");
    nativeKey(line, Qt::Key_Left, "");
    nativeKey(line, Qt::Key_Backspace, "\b");
    EXPECT_EQ(edit->Text(), "2");
    EXPECT_EQ(line->text(), "2");

    auto* combo = make<TComboBox>(40);
    combo->Items()->SetCommaText("abcd,xyz");
    combo->SetFocus();
    auto* box = nativeWidget<QComboBox>(combo);
    ASSERT_NE(box, nullptr);
    nativeKey(box, Qt::Key_X, "x");
    EXPECT_EQ(combo->Text(), "xyz");
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(box->lineEdit()->text(), "xyz");
}

} // namespace
