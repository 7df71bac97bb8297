#include "platform/qt/QtWindowPeer.h"

#include "platform/base/Threads.h"
#include "platform/qt/QtDialogs.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/core/SysInfo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {
class TPainted : public TCustomControl {
public:
    explicit TPainted(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
    bool swallowButtons = false;
    LRESULT dlgCode = 0;
    std::function<void(TMessage&)> onMessage;
    void WndProc(TMessage& m) override {
        if (onMessage) onMessage(m);
        if (swallowButtons && (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONUP)) return;
        TCustomControl::WndProc(m);
    }

protected:
    void WMGetDlgCode(TMessage& m) override { m.Result = dlgCode; }
    void Paint() override {
        Canvas()->Brush()->SetColor(clRed);
        Canvas()->FillRect({0, 0, 10, 10});
    }
};

QWidget* widgetOf(TWinControl* c) {
    auto* peer = dynamic_cast<TQtWindowPeer*>(c->Peer());
    return peer ? peer->Widget() : nullptr;
}

void sendMouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::LeftButton, buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void sendKey(QWidget* w, int key, const QString& text,
             Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent down(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &down);
    QKeyEvent up(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &up);
}

class QtPeerTest : public ::testing::Test {
protected:
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TPainted* add(int left) {
        auto* c = new TPainted(form.get());
        c->SetBounds(left, 10, 40, 30);
        c->SetParent(form.get());
        return c;
    }
    void show() {
        form->SetBorderStyle(bsSingle);
        form->SetBounds(50, 60, 300, 200);
        form->SetCaption("Gateway");
        form->Show();
        uitest::processMessages();
    }
};
} // namespace

TEST_F(QtPeerTest, NativeMouseEventsReachTheWindowProcedure) {
    auto* c = add(10);
    int clicks = 0;
    c->OnClick = [&](TObject*) { ++clicks; };
    show();
    QWidget* w = widgetOf(c);
    ASSERT_NE(w, nullptr);
    sendMouse(w, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
    sendMouse(w, QEvent::MouseButtonRelease, {5, 5}, Qt::NoButton);
    EXPECT_EQ(clicks, 1);
    c->swallowButtons = true;
    sendMouse(w, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
    sendMouse(w, QEvent::MouseButtonRelease, {5, 5}, Qt::NoButton);
    EXPECT_EQ(clicks, 1);
}

// A move over a control reaches that control only: the form under it must not take the mouse
// away (which would end the control's hot look at once and never let its hint show).
TEST_F(QtPeerTest, AMouseMoveReachesOnlyTheControlUnderTheMouse) {
    auto* c = add(10);
    c->SetHint("Information");
    c->SetShowHint(true);
    int enters = 0, leaves = 0, formMoves = 0;
    c->OnMouseEnter = [&](TObject*) { ++enters; };
    c->OnMouseLeave = [&](TObject*) { ++leaves; };
    form->OnMouseMove = [&](TObject*, TShiftState, int, int) { ++formMoves; };
    show();
    QWidget* w = widgetOf(c);
    for (QPoint p : {QPoint(5, 5), QPoint(6, 7), QPoint(20, 12)})
        sendMouse(w, QEvent::MouseMove, p, Qt::NoButton);
    EXPECT_EQ(formMoves, 0);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(leaves, 0);
    EXPECT_EQ(MouseControl(), c);

    uitest::advanceClock(Application->HintPause + 50);
    ASSERT_NE(Application->HintWindow(), nullptr) << "the hint shows while the mouse rests";
    EXPECT_EQ(Application->HintWindow()->Caption(), "Information");

    // Moving on to the form leaves the control.
    sendMouse(widgetOf(form.get()), QEvent::MouseMove, {200, 150}, Qt::NoButton);
    EXPECT_EQ(formMoves, 1);
    EXPECT_EQ(leaves, 1);
    EXPECT_EQ(Application->HintWindow(), nullptr);
}

TEST_F(QtPeerTest, NativeKeysBecomeKeyDownAndCharacterMessages) {
    auto* a = add(10);
    auto* b = add(60);
    std::vector<WORD> keys;
    std::u32string chars;
    a->OnKeyDown = [&](TObject*, WORD& k, TShiftState) { keys.push_back(k); };
    a->OnKeyPress = [&](TObject*, char32_t& k) { chars += k; };
    show();
    ASSERT_TRUE(a->Focused());
    sendKey(widgetOf(a), Qt::Key_A, "a");
    sendKey(widgetOf(a), Qt::Key_E, QString::fromUtf8("é"));
    EXPECT_EQ(keys, (std::vector<WORD>{'A', 'E'}));
    EXPECT_EQ(chars, U"aé");
    sendKey(widgetOf(a), Qt::Key_Tab, "\t");
    EXPECT_TRUE(b->Focused()) << "Tab is a dialog key";
    EXPECT_TRUE(widgetOf(b)->hasFocus() || !widgetOf(b)->window()->isActiveWindow());
}

// Qt's focus may rest on the window itself (an editor under its focus closed); a key that
// arrives there still goes to the control with the focus, and an arrow is no dialog key.
TEST_F(QtPeerTest, KeysArrivingAtTheWindowGoToTheFocusedControl) {
    add(10);
    auto* b = add(60);
    b->dlgCode = DLGC_WANTARROWS;
    std::vector<WORD> keys;
    b->OnKeyDown = [&](TObject*, WORD& k, TShiftState) { keys.push_back(k); };
    show();
    b->SetFocus();
    // A key the control leaves to its default handling ends at its window: it does not go on to
    // the form's as a second key.
    sendKey(widgetOf(b), Qt::Key_Down, "");
    EXPECT_EQ(keys, (std::vector<WORD>{VK_DOWN}));
    sendKey(widgetOf(form.get()), Qt::Key_Down, "");
    sendKey(widgetOf(form.get()), Qt::Key_5, "5");
    EXPECT_EQ(keys, (std::vector<WORD>{VK_DOWN, VK_DOWN, '5'}));
    EXPECT_TRUE(b->Focused()) << "the arrows did not move the focus";
}

// A message posted while a key is handled comes before the next key, however soon that key
// follows (the grid posts the first character to the editor it opens).
TEST_F(QtPeerTest, AMessagePostedWhileAKeyIsHandledComesBeforeTheNextKey) {
    auto* a = add(10);
    std::string log;
    a->OnKeyPress = [&](TObject*, char32_t& k) {
        log += char(k);
        if (k == U'w') PostMessage(a->Handle(), WM_USER + 7, 0, 0);
    };
    a->onMessage = [&](TMessage& m) {
        if (m.Msg == WM_USER + 7) log += '*';
    };
    show();
    a->SetFocus();
    for (auto [key, text] : {std::pair{Qt::Key_W, "w"}, std::pair{Qt::Key_R, "r"}})
        QCoreApplication::postEvent(widgetOf(a),
                                    new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
    uitest::processMessages();
    EXPECT_EQ(log, "w*r");
}

TEST_F(QtPeerTest, ThePeerShowsTheBackingImage) {
    auto* c = add(10);
    show();
    QImage shot = widgetOf(c)->grab().toImage();
    EXPECT_EQ(shot.size(), QSize(40, 30));
    EXPECT_EQ(shot.pixelColor(5, 5), QColor(255, 0, 0));
    EXPECT_EQ(shot.pixelColor(20, 20), QColor(255, 255, 255)) << "clWindow background";

    // Drawing outside WM_PAINT shows too.
    c->Canvas()->Brush()->SetColor(clBlue);
    c->Canvas()->FillRect({20, 20, 30, 30});
    shot = widgetOf(c)->grab().toImage();
    EXPECT_EQ(shot.pixelColor(25, 25), QColor(0, 0, 255));
}

TEST_F(QtPeerTest, TheFormWindowMirrorsCaptionClientSizeAndVisibility) {
    show();
    QWidget* w = widgetOf(form.get());
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isWindow());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "Gateway");
    EXPECT_EQ(w->size(), QSize(form->ClientWidth(), form->ClientHeight()));
    EXPECT_EQ(w->minimumSize(), w->maximumSize()) << "a single border is not sizeable";
    form->SetCaption("Other");
    form->SetClientSize(250, 150);
    EXPECT_EQ(w->windowTitle(), "Other");
    EXPECT_EQ(w->size(), QSize(250, 150));
    form->Hide();
    EXPECT_FALSE(w->isVisible());
}

// A modal form is a dialog window owned by the window that opened it; the frame shows only the
// buttons its border icons ask for.
TEST_F(QtPeerTest, AModalFormIsADialogOwnedByTheWindowThatOpenedIt) {
    form->SetBorderIcons({biSystemMenu});
    show();
    QWidget* main = widgetOf(form.get());
    EXPECT_EQ(main->windowType(), Qt::Window);
    EXPECT_TRUE(main->windowFlags() & Qt::CustomizeWindowHint);
    EXPECT_FALSE(main->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(main->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(main->windowFlags() & Qt::WindowCloseButtonHint);

    auto makeDialog = [](TFormBorderStyle border) {
        auto d = std::make_unique<TForm>(nullptr);
        d->SetBorderStyle(border);
        d->SetBounds(80, 90, 200, 120);
        return d;
    };
    auto first = makeDialog(bsSingle);
    auto second = makeDialog(bsDialog);
    QWindow* firstOwner = nullptr;
    QWindow* secondOwner = nullptr;
    Qt::WindowType firstType = Qt::Widget, secondType = Qt::Widget;
    bool minimise = true;
    uitest::runModal(first.get(), [&](TCustomForm* f) {
        QWidget* w = widgetOf(f);
        firstType = w->windowType();
        minimise = bool(w->windowFlags() & Qt::WindowMinimizeButtonHint);
        firstOwner = w->windowHandle() ? w->windowHandle()->transientParent() : nullptr;
        uitest::runModal(second.get(), [&](TCustomForm* g) {
            QWidget* v = widgetOf(g);
            secondType = v->windowType();
            secondOwner = v->windowHandle() ? v->windowHandle()->transientParent() : nullptr;
            g->SetModalResult(mrOk);
        });
        f->SetModalResult(mrOk);
    });
    EXPECT_EQ(firstType, Qt::Dialog);
    EXPECT_FALSE(minimise);
    EXPECT_EQ(firstOwner, main->windowHandle());
    EXPECT_EQ(secondType, Qt::Dialog);
    EXPECT_EQ(secondOwner, widgetOf(first.get())->windowHandle()) << "owned by the dialog";
}

TEST_F(QtPeerTest, ClosingTheNativeWindowAsksTheForm) {
    bool allow = false;
    form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = allow; };
    show();
    QWidget* w = widgetOf(form.get());
    w->close();
    EXPECT_TRUE(form->Visible());
    allow = true;
    w->close();
    EXPECT_FALSE(form->Visible());
}

TEST_F(QtPeerTest, DestroyingAControlInItsOwnClickHandlerIsSafe) {
    auto* c = add(10);
    c->OnClick = [&](TObject*) { delete c; };
    show();
    QWidget* w = widgetOf(c);
    sendMouse(w, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
    sendMouse(w, QEvent::MouseButtonRelease, {5, 5}, Qt::NoButton);
    uitest::processMessages();
    EXPECT_EQ(form->ControlCount(), 0);
}

namespace {
// A painted window made with the given style and extended style.
class TStyledPainted : public TPainted {
public:
    TStyledPainted(TComponent* owner, DWORD style, DWORD exStyle)
        : TPainted(owner), style(style), exStyle(exStyle) {}
    DWORD style;
    DWORD exStyle;

protected:
    void CreateParams(TCreateParams& Params) override {
        TPainted::CreateParams(Params);
        Params.Style = style;
        Params.ExStyle = exStyle;
    }
};
} // namespace

TEST_F(QtPeerTest, APopupIsAnOwnedFramelessToolWindowAtItsScreenPlace) {
    auto* owner = add(10);
    show();
    auto* popup = new TStyledPainted(form.get(), WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    popup->SetBounds(400, 300, 30, 20);
    popup->SetParent(owner);
    uitest::processMessages();
    QWidget* w = widgetOf(popup);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isWindow());
    EXPECT_EQ(w->windowType(), Qt::Tool) << "not in the task bar";
    EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(w->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_EQ(w->parentWidget(), widgetOf(owner)) << "owned by its parent's window";
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->geometry(), QRect(400, 300, 30, 20));
    popup->SetLeft(420);
    EXPECT_EQ(w->geometry(), QRect(420, 300, 30, 20));
    EXPECT_FALSE(widgetOf(owner)->isWindow());

    auto* plain = new TStyledPainted(form.get(), WS_POPUP, 0);
    plain->SetParent(owner);
    EXPECT_FALSE(widgetOf(plain)->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(QtPeerTest, TheWindowRegionBecomesTheWidgetMask) {
    auto* c = add(10);
    show();
    QWidget* w = widgetOf(c);
    SetWindowRgn(c->Handle(), CreateRectRgn(0, 0, 10, 5), true);
    EXPECT_EQ(w->mask(), QRegion(0, 0, 10, 5));
    SetWindowRgn(c->Handle(), CreateRectRgn(0, 0, 0, 0), true);
    EXPECT_FALSE(w->mask().isEmpty()) << "an empty region hides the whole window";
    EXPECT_FALSE(w->mask().intersects(w->rect()));
    SetWindowRgn(c->Handle(), nullptr, true);
    EXPECT_TRUE(w->mask().isEmpty());
}

TEST_F(QtPeerTest, ADisabledWindowTakesNoNativeInput) {
    auto* owner = add(10);
    auto* child = add(60);
    show();
    auto* popup = new TStyledPainted(form.get(), WS_POPUP | WS_DISABLED, 0);
    popup->SetBounds(400, 300, 30, 20);
    popup->SetParent(owner);
    uitest::processMessages();
    child->SetEnabled(false);
    for (TPainted* c : {static_cast<TPainted*>(popup), child}) {
        int downs = 0;
        c->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
        QWidget* w = widgetOf(c);
        EXPECT_FALSE(w->isEnabled());
        sendMouse(w, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
        sendMouse(w, QEvent::MouseButtonRelease, {5, 5}, Qt::NoButton);
        EXPECT_EQ(downs, 0);
        c->OnMouseDown = nullptr;
    }
    child->SetEnabled(true);
    EXPECT_TRUE(widgetOf(child)->isEnabled());
}

TEST(QtPeers, ControlsWorkWithoutABackEnd) {
    TBackend* saved = Backend();
    SetBackend(nullptr);
    {
        TForm form(nullptr);
        auto* c = new TPainted(&form);
        c->SetParent(&form);
        c->SetBounds(0, 0, 20, 20);
        form.Show();
        EXPECT_TRUE(c->HandleAllocated());
        EXPECT_EQ(c->Peer(), nullptr);
        EXPECT_EQ(uitest::pixel(c, 1, 1), clRed);
    }
    SetBackend(saved);
}

TEST(QtDialogs, FiltersBecomeQtNameFilters) {
    struct Case {
        const char* filter;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"XML files (*.xml)|*.xml|All files (*.*)|*.*",
         {"XML files (*.xml) (*.xml)", "All files (*.*) (*.*)"}},
        {"Pictures|*.bmp;*.png", {"Pictures (*.bmp *.png)"}},
        {"", {}},
        {"Dangling|", {"Dangling ()"}},
    };
    for (const auto& c : cases) EXPECT_EQ(FilterToQtNameFilters(c.filter), c.expected) << c.filter;
}

TEST(QtDialogs, ANativeBoxKeepsTheProgramRunningAndAnswersWithTheButtonClicked) {
    TQtDialogService native;
    SetDialogService(&native);
    TForm owner(nullptr);
    owner.Show();
    owner.SetFocus();
    std::string seen;
    QWidget* parent = nullptr;
    // Runs from the program's queue while the box's own loop is running.
    TThread::Queue(nullptr, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen = box->windowTitle().toStdString() + "|" + box->text().toStdString();
        parent = box->parentWidget();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == "&No") b->click();
    });
    // Never hang: a box still open after a while is closed (the test then fails).
    QTimer::singleShot(5000, [] {
        if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    int result = MessageDlg("Overwrite?", mtConfirmation, mbYesNo, 0);
    SetDialogService(&uitest::dialogs());
    EXPECT_EQ(result, mrNo);
    EXPECT_EQ(seen, "Confirmation|Overwrite?");
    EXPECT_EQ(parent, widgetOf(&owner)) << "the box is owned by the active window";
}

TEST_F(QtPeerTest, AProgramCursorShowsItsPictureWithItsHotSpot) {
    TPainted* c = add(10);
    show();
    TBitmap picture(32, 32);
    picture.Canvas()->Brush()->SetColor(clFuchsia);
    picture.Canvas()->FillRect({0, 0, 32, 32});
    picture.Canvas()->Brush()->SetColor(clBlack);
    picture.Canvas()->FillRect({10, 10, 20, 20});
    picture.SetTransparentColor(clFuchsia);
    Screen->SetCursorImage(7001, picture, {13, 26});
    c->SetCursor(7001);
    const QCursor shown = widgetOf(c)->cursor();
    EXPECT_EQ(shown.shape(), Qt::BitmapCursor);
    EXPECT_EQ(shown.hotSpot(), QPoint(13, 26));
    const QImage image = shown.pixmap().toImage();
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "the transparent colour shows through";
    EXPECT_EQ(image.pixel(15, 15), qRgba(0, 0, 0, 255));
    // A number without a picture shows the arrow; a standard cursor keeps its shape.
    c->SetCursor(7002);
    EXPECT_EQ(widgetOf(c)->cursor().shape(), Qt::ArrowCursor);
    c->SetCursor(crHandPoint);
    EXPECT_EQ(widgetOf(c)->cursor().shape(), Qt::PointingHandCursor);
}

TEST(QtSystemParameters, TheWheelLinesAreTheDesktopsSetting) {
    UINT lines = 0;
    SystemParametersInfo(SPI_SETWHEELSCROLLLINES, 7, nullptr, 0);
    EXPECT_EQ(QApplication::wheelScrollLines(), 7);
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
    EXPECT_EQ(lines, 7u);
    QApplication::setWheelScrollLines(4);
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    EXPECT_EQ(lines, 4u);
    // A page per notch, then lines again.
    SystemParametersInfo(SPI_SETWHEELSCROLLLINES, WHEEL_PAGESCROLL, nullptr, 0);
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    EXPECT_EQ(lines, WHEEL_PAGESCROLL);
    SystemParametersInfo(SPI_SETWHEELSCROLLLINES, 3, nullptr, 0);
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    EXPECT_EQ(lines, 3u);
}
