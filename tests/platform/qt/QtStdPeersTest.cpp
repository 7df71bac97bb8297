#include "platform/qt/QtStdPeers.h"

#include "platform/testing/UiTest.h"
#include "platform/ui/RichEdit.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/StdCtrls.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>

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

namespace {
QRgb rgbOf(TColor c) {
    TColor v = ColorToRGB(c);
    return qRgb(GetRValue(v), GetGValue(v), GetBValue(v));
}
} // namespace

// The native controls are drawn in the classic look: a sunken two-line frame (shadow and dark
// shadow at the top left, highlight and 3D light at the bottom right) around a field in the
// window colour, with raised arrow buttons in the button face.
TEST_F(QtStdPeersTest, StandardControlsHaveTheClassicSunkenLook) {
    auto* edit = make<TEdit>(10);
    auto* combo = make<TComboBox>(40);
    combo->SetStyle(csDropDownList);
    combo->Items()->Add("one");
    combo->SetItemIndex(0);
    auto* list = make<TListBox>(70);
    list->SetHeight(60);
    for (int i = 0; i < 20; ++i) list->Items()->Add("item");
    uitest::processMessages();
    for (TWinControl* c : {static_cast<TWinControl*>(edit), static_cast<TWinControl*>(combo),
                           static_cast<TWinControl*>(list)}) {
        QImage img = nativeWidget<QWidget>(c)->grab().toImage();
        int w = img.width(), h = img.height();
        const std::string name = c->PeerClassName();
        EXPECT_EQ(img.pixel(0, 0), rgbOf(clBtnShadow)) << name;
        EXPECT_EQ(img.pixel(1, 1), rgbOf(cl3DDkShadow)) << name;
        EXPECT_EQ(img.pixel(w - 1, h - 1), rgbOf(clBtnHighlight)) << name;
        EXPECT_EQ(img.pixel(w - 2, h - 2), rgbOf(cl3DLight)) << name;
        EXPECT_EQ(img.pixel(w / 3, h - 4), rgbOf(clWindow)) << name << ": the field";
    }
    // The arrow button of the combo box and the scroll bar's arrow are raised buttons.
    QImage box = nativeWidget<QWidget>(combo)->grab().toImage();
    QImage sb = nativeWidget<QWidget>(list)->grab().toImage();
    for (const QImage& img : {box, sb}) {
        int x = img.width() - 8;
        EXPECT_EQ(img.pixel(x, 2), rgbOf(cl3DLight));
        EXPECT_EQ(img.pixel(x, 3), rgbOf(clBtnHighlight));
        EXPECT_EQ(img.pixel(x, 5), rgbOf(clBtnFace));
    }
    EXPECT_EQ(box.pixel(box.width() - 8, box.height() - 3), rgbOf(cl3DDkShadow));

    // Check box and radio button draw their classic sunken box themselves, the group box its
    // etched frame.
    auto* check = make<TCheckBox>(140);
    auto* radio = make<TRadioButton>(160);
    auto* group = make<TGroupBox>(180);
    uitest::processMessages();
    int top = (check->Height() - 13) / 2;
    EXPECT_EQ(uitest::pixel(check, 0, top), ColorToRGB(clBtnShadow));
    EXPECT_EQ(uitest::pixel(check, 1, top + 1), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(uitest::pixel(check, 6, top + 6), ColorToRGB(clWindow));
    EXPECT_EQ(uitest::pixel(check, 12, top + 12), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(uitest::pixel(radio, 6, top + 6), ColorToRGB(clWindow));
    EXPECT_EQ(uitest::pixel(radio, 6, top), ColorToRGB(clBtnShadow));
    int line = -1;
    for (int y = 0; y < group->Height() && line < 0; ++y)
        if (uitest::pixel(group, 2, y) == ColorToRGB(clBtnShadow)) line = y;
    ASSERT_GE(line, 0);
    EXPECT_EQ(uitest::pixel(group, 2, line + 1), ColorToRGB(clBtnHighlight)) << "etched";
}

// The drop-down list opens below its field, and a disabled combo box shows its text in the
// grey text colour on the button face.
// Opening asks the combo for the list's colours; a hook that moves the list there moves the
// native list, whichever side opened it.
TEST_F(QtStdPeersTest, ComboListTakesTheDroppedWidthAndThePlaceAHookGivesIt) {
    auto* combo = make<TComboBox>(40);
    combo->SetStyle(csDropDownList);
    for (const char* item : {"one", "two", "three"}) combo->Items()->Add(item);
    combo->Perform(CB_SETDROPPEDWIDTH, 260);
    int asked = 0;
    const TWndMethod original = combo->WindowProc;
    combo->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_CTLCOLORLISTBOX) {
            ++asked;
            const TRect r = combo->DroppedRect();
            combo->SetDroppedRect(Bounds(r.Left - 110, r.Top, r.Width(), r.Height()));
        }
        original(m);
    };
    auto* box = nativeWidget<QComboBox>(combo);
    ASSERT_NE(box, nullptr);
    const QPoint origin = box->mapToGlobal(QPoint(0, 0));
    for (bool native : {false, true}) {
        SCOPED_TRACE(native);
        if (native)
            box->showPopup();
        else
            combo->SetDroppedDown(true);
        QWidget* popup = box->view()->window();
        ASSERT_TRUE(popup->isVisible());
        EXPECT_EQ(popup->geometry().left(), origin.x() - 110);
        EXPECT_EQ(popup->geometry().width(), 260);
        combo->SetDroppedDown(false);
        EXPECT_FALSE(popup->isVisible());
    }
    EXPECT_EQ(asked, 2);
    combo->WindowProc = original;
}

// The open list and the model stay in step: keys given to the open list reach the model, the
// highlight moved by a key shows in the list, the item under the mouse is the one Enter takes,
// and the list shows as many items as DropDownCount says when it opens.
TEST_F(QtStdPeersTest, TheOpenListFollowsTheModelsHighlightAndCount) {
    auto* combo = make<TComboBox>(40);
    combo->SetStyle(csDropDownList);
    for (const char* item : {"one", "two", "three", "four", "five", "six"})
        combo->Items()->Add(item);
    combo->SetItemIndex(0);
    auto* box = nativeWidget<QComboBox>(combo);
    ASSERT_NE(box, nullptr);
    combo->SetFocus();
    for (int count : {3, 5}) {
        SCOPED_TRACE(count);
        combo->SetDropDownCount(count);
        combo->SetDroppedDown(true);
        EXPECT_EQ(box->maxVisibleItems(), count);
        combo->SetDroppedDown(false);
    }
    combo->SetDroppedDown(true);
    uitest::postNativeKey(VK_DOWN);
    QApplication::processEvents();
    EXPECT_EQ(combo->DropDownIndex(), 1);
    EXPECT_EQ(box->view()->currentIndex().row(), 1);
    // The mouse moving over item four makes it current in the view.
    box->view()->setCurrentIndex(box->model()->index(3, 0));
    EXPECT_EQ(combo->DropDownIndex(), 3);
    uitest::postNativeKey(VK_RETURN);
    QApplication::processEvents();
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 3);
    EXPECT_EQ(combo->Text(), "four");
}

TEST_F(QtStdPeersTest, ComboListOpensBelowAndADisabledComboIsReadable) {
    auto* combo = make<TComboBox>(40);
    combo->SetStyle(csDropDownList);
    for (const char* item : {"one", "two", "three"}) combo->Items()->Add(item);
    combo->SetItemIndex(1);
    auto* box = nativeWidget<QComboBox>(combo);
    ASSERT_NE(box, nullptr);
    box->showPopup();
    QWidget* popup = box->view()->window();
    ASSERT_TRUE(popup->isVisible());
    EXPECT_GE(popup->geometry().top(), box->mapToGlobal(QPoint(0, box->height())).y() - 1);
    box->hidePopup();

    combo->SetEnabled(false);
    QImage img = box->grab().toImage();
    int grey = 0, face = 0;
    for (int y = 3; y < img.height() - 3; ++y)
        for (int x = 3; x < img.width() - 20; ++x) {
            grey += qGray(img.pixel(x, y)) <= qGray(rgbOf(clGrayText)) + 16;
            face += img.pixel(x, y) == rgbOf(clBtnFace);
        }
    EXPECT_GE(grey, 15) << "the text is drawn at least as dark as the grey text colour";
    EXPECT_GE(face, 100) << "on the button face";
}

// The press that opens a combo's list is released in the list, never in the combo: the combo
// gives up the capture, so that the next click elsewhere is not taken by it.
TEST_F(QtStdPeersTest, OpeningTheListByMouseEndsTheCombosCapture) {
    auto* combo = make<TComboBox>(40);
    combo->SetStyle(csDropDownList);
    for (const char* item : {"Normal", "Low"}) combo->Items()->Add(item);
    auto* box = nativeWidget<QComboBox>(combo);
    ASSERT_NE(box, nullptr);
    uitest::postNativeMouseDown(combo, {20, 10});
    uitest::processMessages();
    ASSERT_TRUE(box->view()->isVisible()) << "the press opens the list";
    EXPECT_EQ(GetCaptureControl(), nullptr);
    box->hidePopup();
}

// A disabled edit looks disabled: its field shows the button face, not the window colour.
TEST_F(QtStdPeersTest, ADisabledEditShowsTheButtonFace) {
    auto* edit = make<TEdit>(40);
    edit->SetText("10000");
    auto facePixels = [edit] {
        const QImage img = nativeWidget<QLineEdit>(edit)->grab().toImage();
        int face = 0;
        for (int y = 3; y < img.height() - 3; ++y)
            for (int x = 3; x < img.width() - 3; ++x) face += img.pixel(x, y) == rgbOf(clBtnFace);
        return face;
    };
    EXPECT_LT(facePixels(), 50);
    edit->SetEnabled(false);
    EXPECT_GE(facePixels(), 500);
}

namespace {

// Typed text, Ctrl+B and a mouse-free selection reach the model through Qt's own key delivery,
// and the document comes back out as RTF with its formats.
TEST_F(QtStdPeersTest, RichEditTypesWithCtrlBAndGivesRtf) {
    auto* rich = make<TRichEdit>(40);
    rich->SetBounds(10, 40, 200, 80);
    auto* text = nativeWidget<QTextEdit>(rich);
    ASSERT_NE(text, nullptr);
    int changes = 0, selections = 0;
    rich->OnChange = [&](TObject*) { ++changes; };
    rich->OnSelectionChange = [&](TObject*) { ++selections; };
    rich->SetFocus();
    uitest::postNativeText("ab");
    uitest::postNativeKey('B', TShiftState{ssCtrl});
    uitest::postNativeText("cd");
    uitest::postNativeKey(VK_RETURN);
    uitest::postNativeText("e");
    uitest::processMessages();
    EXPECT_EQ(rich->PlainText(), "abcd\r\ne");
    EXPECT_GT(changes, 0);
    EXPECT_GT(selections, 0);
    EXPECT_EQ(rich->SelStart(), 6);
    TRichText back;
    back.Load(rich->RichText());
    ASSERT_GE(back.Runs().size(), 2u);
    EXPECT_EQ(back.Runs()[0].Text, "ab");
    EXPECT_FALSE(back.Runs()[0].Style.Contains(fsBold));
    EXPECT_EQ(back.Runs()[1].Text.substr(0, 2), "cd");
    EXPECT_TRUE(back.Runs()[1].Style.Contains(fsBold));

    // Formats set by the model show in the widget: "a" lowered, "b" raised.
    rich->SetSel(0, 1);
    rich->SetSelOffset(-40);
    rich->SetSel(1, 1);
    rich->SetSelOffset(40);
    EXPECT_EQ(rich->SelOffset(), 40);
    QTextCursor c(text->document());
    c.setPosition(1);
    EXPECT_EQ(c.charFormat().verticalAlignment(), QTextCharFormat::AlignSubScript);
    c.setPosition(2);
    EXPECT_EQ(c.charFormat().verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(text->textCursor().selectionStart(), 1);
    EXPECT_EQ(text->textCursor().selectionEnd(), 2);
    // Loading RTF replaces the document in model and widget.
    rich->LoadRichText("{\\rtf1{\\i x}\\par y}");
    EXPECT_EQ(text->toPlainText(), "x\ny");
    EXPECT_EQ(rich->Document().Runs()[0].Style, TFontStyles{fsItalic});
}

// A click on the native bar's arrow reaches the parent as WM_VSCROLL from the bar; the position
// the model keeps is the one the widget shows.
TEST_F(QtStdPeersTest, ScrollBarReportsActionsToItsParentAsScrollMessages) {
    struct Parent : TCustomControl {
        using TCustomControl::TCustomControl;
        std::vector<std::pair<WORD, HWND>> seen;
        TScrollBar* bar = nullptr;
        void Dispatch(TMessage& m) override {
            if (m.Msg == WM_VSCROLL) {
                TWMScroll s(m);
                seen.push_back({s.ScrollCode(), s.ScrollBar()});
                if (s.ScrollBar() == bar->Handle()) bar->Perform(CN_VSCROLL, m.WParam, m.LParam);
                return;
            }
            TCustomControl::Dispatch(m);
        }
    };
    auto* parent = new Parent(form.get());
    parent->SetParent(form.get());
    parent->SetBounds(0, 0, 100, 150);
    auto* bar = new TScrollBar(form.get());
    parent->bar = bar;
    bar->SetKind(sbVertical);
    bar->SetParent(parent);
    bar->SetBounds(80, 0, 17, 120);
    bar->SetParams(0, 0, 100);
    bar->SetPageSize(20);
    bar->SetSmallChange(7);
    auto* native = nativeWidget<QScrollBar>(bar);
    ASSERT_NE(native, nullptr);
    EXPECT_EQ(native->maximum(), 81);
    uitest::postNativeClickAt(bar, {8, 110});
    uitest::processMessages();
    ASSERT_FALSE(parent->seen.empty());
    EXPECT_EQ(parent->seen[0].first, SB_LINEDOWN);
    EXPECT_EQ(parent->seen[0].second, bar->Handle());
    EXPECT_EQ(bar->Position(), 7);
    EXPECT_EQ(native->value(), 7);
    bar->SetPosition(500);
    EXPECT_EQ(bar->Position(), 81);
    EXPECT_EQ(native->value(), 81);
}

} // namespace
