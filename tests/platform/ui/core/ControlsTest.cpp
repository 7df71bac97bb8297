#include "platform/ui/core/Controls.h"

#include "UiCoreFixtures.h"
#include "platform/ui/core/Actions.h"
#include "platform/ui/core/Timers.h"

#include <thread>

using namespace uitest;

TEST_F(FormTest, MessagesReachTheOverriddenWindowProcedureWhichCanSwallowThem) {
    auto* probe = add<TProbe>(10, 10, 50, 30);
    int clicks = 0;
    probe->OnClick = [&](TObject*) { ++clicks; };
    show();

    click(probe, {5, 5});
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(probe->count(WM_LBUTTONDOWN), 1);

    probe->swallowButtons = true;
    click(probe, {5, 5});
    EXPECT_EQ(clicks, 1) << "swallowed button messages must not click";
    EXPECT_EQ(probe->count(WM_LBUTTONUP), 2);
}

TEST_F(FormTest, AReplacedWindowProcHooksEveryMessageAndCanPassItOn) {
    auto* probe = add<TProbe>(10, 10, 50, 30);
    show();
    std::vector<UINT> hooked;
    TWndMethod previous = probe->WindowProc;
    probe->WindowProc = [&](TMessage& m) {
        hooked.push_back(m.Msg);
        if (m.Msg == CM_TEXTCHANGED) return; // swallowed by the hook
        previous(m);
    };
    int clicks = 0;
    probe->OnClick = [&](TObject*) { ++clicks; };
    click(probe, {1, 1});
    probe->SetText("x");
    EXPECT_EQ(clicks, 1);
    EXPECT_NE(std::find(hooked.begin(), hooked.end(), UINT(WM_LBUTTONDOWN)), hooked.end());
    EXPECT_NE(std::find(hooked.begin(), hooked.end(), UINT(CM_TEXTCHANGED)), hooked.end());
    EXPECT_EQ(probe->count(CM_TEXTCHANGED), 0);
    probe->WindowProc = previous;
}

TEST_F(FormTest, APostedMessageArrivesAfterTheCurrentHandler) {
    const UINT ping = WM_USER + 1, pong = WM_USER + 2;
    auto* probe = add<TProbe>(0, 0, 10, 10);
    show();
    std::vector<std::string> order;
    probe->onMessage = [&](TMessage& m) {
        if (m.Msg == ping) {
            EXPECT_TRUE(PostMessage(probe->Handle(), pong, 7, 8));
            order.push_back("ping handled");
        } else if (m.Msg == pong) {
            EXPECT_EQ(m.WParam, 7u);
            EXPECT_EQ(m.LParam, 8);
            order.push_back("pong");
        }
    };
    probe->Perform(ping);
    EXPECT_EQ(order, std::vector<std::string>{"ping handled"});
    processMessages();
    EXPECT_EQ(order, (std::vector<std::string>{"ping handled", "pong"}));
}

TEST_F(FormTest, OtherThreadsCanPostToTheUiThread) {
    auto* probe = add<TProbe>(0, 0, 10, 10);
    show();
    HWND h = probe->Handle();
    std::thread worker([h] {
        for (int i = 0; i < 100; ++i) PostMessage(h, WM_USER + 5, WPARAM(i));
    });
    worker.join();
    std::vector<WPARAM> got;
    probe->onMessage = [&](TMessage& m) {
        if (m.Msg == WM_USER + 5) got.push_back(m.WParam);
    };
    processMessages();
    ASSERT_EQ(got.size(), 100u);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(got[std::size_t(i)], WPARAM(i));
}

TEST_F(FormTest, MessagesToADestroyedWindowAreDropped) {
    auto* probe = add<TProbe>(0, 0, 10, 10);
    show();
    HWND old = probe->Handle();
    EXPECT_TRUE(PostMessage(old, WM_USER + 3));
    probe->DestroyHandle();
    processMessages();
    EXPECT_EQ(probe->count(WM_USER + 3), 0);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_FALSE(PostMessage(old, WM_USER + 3));
    EXPECT_EQ(SendMessage(old, WM_USER + 3), 0);
}

TEST(RegisteredMessages, SameNameSameNumberInTheRegisteredRange) {
    UINT a = RegisterWindowMessage("GridEditDone");
    UINT b = RegisterWindowMessage("DTPShiftFocus");
    EXPECT_EQ(RegisterWindowMessage("GridEditDone"), a);
    EXPECT_EQ(RegisterWindowMessage("grideditdone"), a);
    EXPECT_NE(a, b);
    for (UINT m : {a, b}) {
        EXPECT_GE(m, 0xC000u);
        EXPECT_LE(m, 0xFFFFu);
    }
}

TEST_F(FormTest, ControlsKeepTheirStateWithoutAndAcrossWindows) {
    auto* probe = new TProbe(form.get());
    probe->SetBounds(5, 6, 70, 20);
    probe->SetText("Before");
    probe->SetColor(clYellow);
    EXPECT_FALSE(probe->HandleAllocated()) << "no window until one is needed";
    probe->SetParent(form.get());
    EXPECT_FALSE(probe->HandleAllocated()) << "the form is hidden";
    show();
    ASSERT_TRUE(probe->HandleAllocated());
    HWND first = probe->Handle();
    EXPECT_EQ(FindControl(first), probe);

    probe->DestroyHandle();
    EXPECT_FALSE(probe->HandleAllocated());
    EXPECT_EQ(probe->Text(), "Before");
    EXPECT_EQ(probe->BoundsRect(), Bounds(5, 6, 70, 20));
    EXPECT_EQ(probe->Color(), clYellow);
    HWND second = probe->Handle();
    EXPECT_NE(second, first);
    EXPECT_EQ(FindControl(second), probe);
}

TEST_F(FormTest, CustomPaintingLandsInTheBackingImage) {
    auto* probe = add<TProbe>(0, 0, 40, 30);
    probe->SetColor(clWhite);
    probe->painter = [](TCanvas* c) {
        c->Brush()->SetColor(clRed);
        c->FillRect({2, 2, 10, 10});
    };
    show();
    EXPECT_EQ(pixel(probe, 5, 5), clRed);
    EXPECT_EQ(pixel(probe, 10, 10), clWhite) << "background erased with Color";
    EXPECT_EQ(probe->BackingImage()->Width(), 40);

    // Drawing outside WM_PAINT goes into the same image.
    probe->Canvas()->SetPixels(20, 20, clBlue);
    EXPECT_EQ(pixel(probe, 20, 20), clBlue);

    // A repaint paints again from scratch.
    probe->painter = nullptr;
    probe->Repaint();
    EXPECT_EQ(pixel(probe, 5, 5), clWhite);
    EXPECT_EQ(pixel(probe, 20, 20), clWhite);
}

TEST_F(FormTest, AControlThatPaintsItsBorderDrawsItAfterEveryRepaint) {
    auto* framed = add<TProbe>(0, 0, 40, 30);
    auto* plain = add<TProbe>(50, 0, 40, 30);
    for (TProbe* p : {framed, plain}) {
        p->SetColor(clWhite);
        p->onMessage = [p](TMessage& m) {
            if (m.Msg != WM_NCPAINT) return;
            p->Canvas()->Brush()->SetColor(clRed);
            p->Canvas()->FrameRect({0, 0, p->Width(), p->Height()});
        };
    }
    framed->SetControlStyle(framed->ControlStyle() | csNeedsBorderPaint);
    show();
    EXPECT_EQ(pixel(framed, 0, 0), clRed);
    EXPECT_EQ(pixel(framed, 39, 29), clRed);
    EXPECT_EQ(pixel(framed, 1, 1), clWhite);
    EXPECT_EQ(plain->count(WM_NCPAINT), 0);

    // Over the cells of a later paint too, also one that paints on the whole image.
    framed->painter = [](TCanvas* c) {
        c->Brush()->SetColor(clBlue);
        c->FillRect({0, 0, 40, 30});
    };
    framed->Invalidate();
    uitest::processMessages();
    EXPECT_EQ(pixel(framed, 0, 15), clRed);
    EXPECT_EQ(pixel(framed, 20, 15), clBlue);
}

TEST_F(FormTest, WindowlessChildrenPaintOnTheParentClippedToTheirBounds) {
    auto* host = add<TProbe>(0, 0, 60, 40);
    host->SetColor(clWhite);
    auto* patch = add<TPatch>(10, 5, 20, 10, host);
    show();
    EXPECT_EQ(pixel(host, 10, 5), clRed);
    EXPECT_EQ(pixel(host, 29, 14), clRed);
    EXPECT_EQ(pixel(host, 30, 14), clWhite);
    EXPECT_EQ(pixel(host, 9, 5), clWhite);
    EXPECT_EQ(pixel(host, 10, 15), clWhite);

    patch->fill = clLime;
    patch->Invalidate();
    EXPECT_EQ(pixel(host, 15, 8), clLime);

    // Drawing outside WM_PAINT follows the control where it moved.
    patch->SetLeft(40);
    host->Update();
    patch->Canvas()->SetPixels(0, 0, clBlue);
    EXPECT_EQ(host->BackingImage()->PixelColor(40, 5), clBlue);
    EXPECT_EQ(pixel(host, 45, 8), clLime);
    patch->Hide();
    EXPECT_EQ(pixel(host, 45, 8), clWhite);
}

TEST_F(FormTest, RenderComposesAFormWithItsWindowedChildren) {
    form->SetColor(clSilver);
    auto* probe = add<TProbe>(20, 30, 10, 10);
    probe->SetColor(clNavy);
    show();
    auto image = render(form.get());
    EXPECT_EQ(image->Width(), form->ClientWidth());
    EXPECT_EQ(image->PixelColor(5, 5), clSilver);
    EXPECT_EQ(image->PixelColor(25, 35), clNavy);
}

TEST_F(FormTest, RenderClipsChildrenToTheirParent) {
    form->SetColor(clSilver);
    auto* box = add<TProbe>(10, 10, 20, 20);
    box->SetColor(clNavy);
    auto* inner = add<TProbe>(15, 15, 30, 30, box); // reaches past the box's edges
    inner->SetColor(clRed);
    show();
    auto image = render(form.get());
    EXPECT_EQ(image->PixelColor(27, 27), clRed);
    EXPECT_EQ(image->PixelColor(35, 35), clSilver);
    EXPECT_EQ(image->PixelColor(12, 35), clSilver);
}

TEST_F(FormTest, MouseGoesToTheWindowlessChildUnderIt) {
    auto* patch = add<TPatch>(10, 10, 20, 20);
    int formClicks = 0;
    form->OnClick = [&](TObject*) { ++formClicks; };
    show();
    click(form.get(), {15, 15});
    EXPECT_EQ(patch->clicks, 1);
    EXPECT_EQ(formClicks, 0);
    click(form.get(), {50, 50});
    EXPECT_EQ(formClicks, 1);
    EXPECT_EQ(patch->clicks, 1);
}

TEST_F(FormTest, AClickNeedsTheButtonReleasedInsideTheCapturingControl) {
    auto* probe = add<TProbe>(10, 10, 30, 30);
    int clicks = 0;
    std::vector<TPoint> ups;
    probe->OnClick = [&](TObject*) { ++clicks; };
    probe->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
        ups.push_back({x, y});
    };
    show();
    mouseDown(probe, {5, 5});
    EXPECT_TRUE(probe->MouseCapture());
    // Released over the form: the captured control still gets it, in its own coordinates.
    mouseUp(form.get(), {100, 100});
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(probe->MouseCapture());
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(ups[0], TPoint(90, 90));
    click(probe, {5, 5});
    EXPECT_EQ(clicks, 1);
}

// A control hidden while it holds the capture never sees the button's release: the next
// press goes where the pointer is, not to the hidden control.
TEST_F(FormTest, AHiddenControlLosesTheCaptureToTheNextPress) {
    auto* probe = add<TProbe>(10, 10, 30, 30);
    auto* other = add<TProbe>(60, 10, 30, 30);
    int clicks = 0;
    other->OnClick = [&](TObject*) { ++clicks; };
    show();
    mouseDown(probe, {5, 5});
    ASSERT_TRUE(probe->MouseCapture());
    probe->SetVisible(false);
    click(other, {5, 5});
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(probe->count(WM_LBUTTONUP), 0);
    EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST_F(FormTest, ADoubleClickClicksOnceAndARightClickAsksForTheContextMenu) {
    auto* probe = add<TProbe>(10, 10, 30, 30);
    auto* patch = add<TPatch>(50, 10, 20, 20);
    std::vector<std::string> log;
    probe->OnClick = [&](TObject*) { log.push_back("click"); };
    probe->OnDblClick = [&](TObject*) { log.push_back("dblclick"); };
    probe->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState s, int x, int y) {
        log.push_back("down " + std::to_string(int(b)) + (s.Contains(ssDouble) ? " double" : "") +
                      " " + std::to_string(x) + "," + std::to_string(y));
    };
    probe->OnContextPopup = [&](TObject*, TPoint p, bool& handled) {
        log.push_back("popup " + std::to_string(p.X) + "," + std::to_string(p.Y));
        handled = true;
    };
    patch->OnContextPopup = [&](TObject*, TPoint p, bool&) {
        log.push_back("patch popup " + std::to_string(p.X) + "," + std::to_string(p.Y));
    };
    show();
    doubleClick(probe, {3, 4});
    rightClick(probe, {5, 6});
    rightClick(patch, {7, 8});
    EXPECT_EQ(log, (std::vector<std::string>{"down 0 3,4", "click", "dblclick", "down 0 double 3,4",
                                             "down 1 5,6", "popup 5,6", "patch popup 7,8"}));
}

TEST_F(FormTest, MouseEnterAndLeaveFollowThePointer) {
    auto* a = add<TProbe>(0, 0, 20, 20);
    auto* b = add<TPatch>(30, 0, 20, 20);
    std::vector<std::string> log;
    a->OnMouseEnter = [&](TObject*) { log.push_back("enter a"); };
    a->OnMouseLeave = [&](TObject*) { log.push_back("leave a"); };
    b->OnMouseEnter = [&](TObject*) { log.push_back("enter b"); };
    b->OnMouseLeave = [&](TObject*) { log.push_back("leave b"); };
    show();
    mouseMove(a, {5, 5});
    mouseMove(a, {6, 6});
    mouseMove(form.get(), {35, 5});
    mouseMove(form.get(), {100, 100});
    EXPECT_EQ(log, (std::vector<std::string>{"enter a", "leave a", "enter b", "leave b"}));
}

TEST_F(FormTest, TabAndShiftTabMoveTheFocusInTabOrder) {
    auto* a = add<TProbe>(0, 0, 10, 10);
    auto* b = add<TProbe>(20, 0, 10, 10);
    auto* skipped = add<TProbe>(40, 0, 10, 10);
    auto* c = add<TProbe>(60, 0, 10, 10);
    skipped->SetTabStop(false);
    c->SetTabOrder(0);
    std::vector<std::string> log;
    a->OnEnter = [&](TObject*) { log.push_back("enter a"); };
    a->OnExit = [&](TObject*) { log.push_back("exit a"); };
    b->OnEnter = [&](TObject*) { log.push_back("enter b"); };
    show();
    EXPECT_TRUE(c->Focused()) << "first in tab order";
    pressKey(VK_TAB);
    EXPECT_TRUE(a->Focused());
    pressKey(VK_TAB);
    EXPECT_TRUE(b->Focused());
    pressKey(VK_TAB);
    EXPECT_TRUE(c->Focused()) << "wraps around, skipping the control without tab stop";
    pressKey(VK_TAB, {ssShift});
    EXPECT_TRUE(b->Focused());
    EXPECT_EQ(form->ActiveControl(), b);
    EXPECT_EQ(log, (std::vector<std::string>{"enter a", "exit a", "enter b", "enter b"}));
}

TEST_F(FormTest, AnExitHandlerThatTakesTheFocusBackKeepsItAndRunsOnce) {
    auto* a = add<TProbe>(0, 0, 10, 10);
    auto* b = add<TProbe>(20, 0, 10, 10);
    int exits = 0;
    a->OnExit = [&](TObject*) {
        ++exits;
        a->SetFocus();
    };
    show();
    ASSERT_TRUE(a->Focused());
    pressKey(VK_TAB);
    EXPECT_TRUE(a->Focused());
    EXPECT_EQ(form->ActiveControl(), a);
    EXPECT_EQ(exits, 1);
    b->SetFocus();
    EXPECT_TRUE(a->Focused());
    EXPECT_EQ(exits, 2);
}

TEST_F(FormTest, AControlThatWantsTabsGetsThem) {
    auto* a = add<TProbe>(0, 0, 10, 10);
    add<TProbe>(20, 0, 10, 10);
    a->dlgCode = DLGC_WANTTAB;
    std::vector<WORD> keys;
    a->OnKeyDown = [&](TObject*, WORD& k, TShiftState) { keys.push_back(k); };
    show();
    pressKey(VK_TAB);
    EXPECT_TRUE(a->Focused());
    EXPECT_EQ(keys, std::vector<WORD>{VK_TAB});
}

TEST_F(FormTest, EnterAndEscapeClickTheDefaultAndCancelButtons) {
    auto* edit = add<TProbe>(0, 0, 10, 10);
    auto* ok = add<TTestButton>(0, 20, 40, 20);
    auto* cancel = add<TTestButton>(50, 20, 40, 20);
    ok->Default = true;
    cancel->Cancel = true;
    std::vector<WORD> editKeys;
    edit->OnKeyDown = [&](TObject*, WORD& k, TShiftState) { editKeys.push_back(k); };
    show();
    ASSERT_TRUE(edit->Focused());
    pressKey(VK_RETURN);
    EXPECT_EQ(ok->clicks, 1);
    pressKey(VK_ESCAPE);
    EXPECT_EQ(cancel->clicks, 1);
    EXPECT_TRUE(editKeys.empty()) << "dialog keys do not reach the focused control";

    edit->dlgCode = DLGC_WANTALLKEYS;
    pressKey(VK_RETURN);
    EXPECT_EQ(ok->clicks, 1);
    EXPECT_EQ(editKeys, std::vector<WORD>{VK_RETURN});
}

TEST_F(FormTest, AcceleratorsWorkWithAltAndWithoutWhenTheFocusedControlTakesNoChars) {
    auto* edit = add<TProbe>(0, 0, 10, 10);
    auto* save = add<TTestButton>(0, 20, 40, 20);
    save->SetCaption("&Save");
    std::u32string typed;
    edit->OnKeyPress = [&](TObject*, char32_t& k) { typed += k; };
    show();
    pressKey('S', {ssAlt});
    EXPECT_EQ(save->clicks, 1);
    pressKey('S');
    EXPECT_EQ(save->clicks, 2);
    EXPECT_TRUE(typed.empty());

    edit->dlgCode = DLGC_WANTCHARS;
    pressKey('S');
    EXPECT_EQ(save->clicks, 2);
    EXPECT_EQ(typed, U"s");
    pressKey('S', {ssAlt});
    EXPECT_EQ(save->clicks, 3);
}

TEST_F(FormTest, KeyPreviewLetsTheFormSeeAndSwallowKeysFirst) {
    auto* edit = add<TProbe>(0, 0, 10, 10);
    edit->dlgCode = DLGC_WANTCHARS;
    std::vector<std::string> log;
    form->SetKeyPreview(true);
    form->OnKeyDown = [&](TObject*, WORD& k, TShiftState s) {
        log.push_back("form " + std::to_string(k) + (s.Contains(ssCtrl) ? " ctrl" : ""));
        if (k == VK_F2) k = 0;
    };
    edit->OnKeyDown = [&](TObject*, WORD& k, TShiftState) {
        log.push_back("edit " + std::to_string(k));
    };
    show();
    pressKey(VK_F2);
    pressKey('A', {ssCtrl});
    EXPECT_EQ(log, (std::vector<std::string>{"form 113", "form 65 ctrl", "edit 65"}));
}

TEST_F(FormTest, AHiddenFormTakesAnActiveControlButRefusesTheFocus) {
    add<TProbe>(0, 0, 10, 10);
    auto* second = add<TProbe>(20, 0, 10, 10);
    try {
        second->SetFocus();
        FAIL() << "no exception";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Cannot focus a disabled or invisible window");
    }
    form->SetActiveControl(second);
    show();
    EXPECT_TRUE(second->Focused());
    second->Hide();
    EXPECT_FALSE(second->Focused());
    EXPECT_EQ(form->ActiveControl(), nullptr);
    EXPECT_TRUE(form->Focused());
}

TEST_F(FormTest, AnExceptionInAHandlerShowsTheStandardErrorBox) {
    auto* probe = add<TProbe>(0, 0, 10, 10);
    std::string message;
    probe->OnClick = [&](TObject*) { throw EInOutError(message); };
    show();
    struct Case {
        const char* message;
        const char* shown;
    };
    const Case cases[] = {{"Disk full", "Disk full."},
                          {"Done.", "Done."},
                          {"Really!", "Really!"},
                          {"Code 5", "Code 5."}};
    for (const auto& c : cases) {
        dialogs().Clear();
        message = c.message;
        click(probe, {1, 1});
        ASSERT_EQ(dialogs().Questions().size(), 1u) << c.message;
        const auto& q = dialogs().Questions()[0];
        EXPECT_EQ(q.Kind, dkException);
        EXPECT_EQ(q.Text, c.shown);
        EXPECT_EQ(q.Caption, Application->Title());
        EXPECT_EQ(q.Buttons, TMsgDlgButtons{mbOK});
        EXPECT_EQ(q.Type, mtError);
    }
    probe->OnClick = [](TObject*) { Abort(); };
    dialogs().Clear();
    click(probe, {1, 1});
    EXPECT_TRUE(dialogs().Questions().empty()) << "EAbort is silent";
}

TEST_F(FormTest, OnExceptionReplacesTheErrorBox) {
    auto* probe = add<TProbe>(0, 0, 10, 10);
    probe->OnClick = [](TObject*) { throw std::runtime_error("plain"); };
    std::string seen;
    Application->OnException = [&](TObject*, const Exception& e) { seen = e.Message(); };
    show();
    click(probe, {1, 1});
    EXPECT_EQ(seen, "plain");
    EXPECT_TRUE(dialogs().Questions().empty());
}

TEST_F(FormTest, AlignedChildrenShareTheClientAreaAndAnchorsKeepDistances) {
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 200, 100);
    auto* top = add<TProbe>(0, 0, 10, 20);
    auto* bottom = add<TProbe>(0, 0, 10, 15);
    auto* client = add<TProbe>(0, 0, 10, 10);
    top->SetAlign(alTop);
    bottom->SetAlign(alBottom);
    client->SetAlign(alClient);
    auto* anchored = add<TPatch>(150, 40, 30, 10);
    anchored->SetAnchors({akTop, akRight});
    auto* stretched = add<TPatch>(10, 40, 180, 10);
    stretched->SetAnchors({akLeft, akTop, akRight});

    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 200, 20));
    EXPECT_EQ(bottom->BoundsRect(), Rect(0, 85, 200, 100));
    EXPECT_EQ(client->BoundsRect(), Rect(0, 20, 200, 85));

    form->SetBounds(0, 0, 300, 120);
    EXPECT_EQ(bottom->BoundsRect(), Rect(0, 105, 300, 120));
    EXPECT_EQ(client->BoundsRect(), Rect(0, 20, 300, 105));
    EXPECT_EQ(anchored->BoundsRect(), Rect(250, 40, 280, 50));
    EXPECT_EQ(stretched->BoundsRect(), Rect(10, 40, 290, 50));
}

TEST_F(FormTest, ChildrenFollowTheParentFontUntilGivenTheirOwn) {
    auto* probe = add<TProbe>(0, 0, 10, 10);
    form->Font()->SetName("Verdana");
    EXPECT_EQ(probe->Font()->Name(), "Verdana");
    EXPECT_TRUE(probe->ParentFont());
    probe->Font()->SetSize(12);
    EXPECT_FALSE(probe->ParentFont());
    form->Font()->SetName("Arial");
    EXPECT_EQ(probe->Font()->Name(), "Verdana");
}

TEST_F(FormTest, ChildrenFollowTheParentReadingOrderUntilGivenTheirOwn) {
    auto* box = add<TProbe>(0, 0, 40, 40);
    auto* inner = add<TProbe>(0, 0, 10, 10, box);
    form->SetBiDiMode(bdRightToLeft);
    EXPECT_EQ(inner->BiDiMode(), bdRightToLeft);
    EXPECT_TRUE(inner->UseRightToLeftAlignment());
    EXPECT_TRUE(inner->UseRightToLeftScrollBar());

    inner->SetBiDiMode(bdRightToLeftReadingOnly);
    EXPECT_FALSE(inner->ParentBiDiMode());
    EXPECT_TRUE(inner->UseRightToLeftReading());
    EXPECT_FALSE(inner->UseRightToLeftAlignment());
    form->SetBiDiMode(bdLeftToRight);
    EXPECT_EQ(box->BiDiMode(), bdLeftToRight);
    EXPECT_EQ(inner->BiDiMode(), bdRightToLeftReadingOnly);

    inner->SetParentBiDiMode(true);
    EXPECT_EQ(inner->BiDiMode(), bdLeftToRight);
    auto* late = add<TProbe>(0, 0, 10, 10);
    box->SetBiDiMode(bdRightToLeftNoAlign);
    EXPECT_EQ(late->BiDiMode(), bdLeftToRight);
    late->SetParent(box);
    EXPECT_EQ(late->BiDiMode(), bdRightToLeftNoAlign);
}

TEST_F(FormTest, FormClientAreaExcludesFrameAndCaption) {
    struct Case {
        TFormBorderStyle style;
        int frame, caption;
    };
    const Case cases[] = {{bsNone, 0, 0},
                          {bsSingle, 3, 19},
                          {bsSizeable, 4, 19},
                          {bsDialog, 3, 19},
                          {bsToolWindow, 3, 15}};
    for (const auto& c : cases) {
        form->SetBorderStyle(c.style);
        form->SetBounds(10, 20, 200, 100);
        EXPECT_EQ(form->ClientWidth(), 200 - 2 * c.frame) << c.style;
        EXPECT_EQ(form->ClientHeight(), 100 - 2 * c.frame - c.caption) << c.style;
        EXPECT_EQ(form->ClientToScreen({0, 0}), TPoint(10 + c.frame, 20 + c.frame + c.caption));
        form->SetClientSize(150, 80);
        EXPECT_EQ(form->Width(), 150 + 2 * c.frame);
        EXPECT_EQ(form->ClientHeight(), 80);
    }
}

TEST_F(FormTest, TheCursorComesFromTheControlUnderTheMouseUnlessTheScreenSetsOne) {
    auto* probe = add<TProbe>(0, 0, 40, 40);
    auto* patch = add<TPatch>(20, 20, 10, 10, probe);
    probe->SetCursor(crHandPoint);
    patch->SetCursor(crCross);
    show();
    mouseMove(probe, {5, 5});
    EXPECT_EQ(Screen->CurrentCursor(), crHandPoint);
    mouseMove(probe, {25, 25});
    EXPECT_EQ(Screen->CurrentCursor(), crCross);
    Screen->SetCursor(crHourGlass);
    mouseMove(probe, {26, 26});
    EXPECT_EQ(Screen->CurrentCursor(), crHourGlass);
}

TEST_F(FormTest, AHintShowsAfterThePauseAndHidesLater) {
    auto* probe = add<TProbe>(0, 0, 40, 40);
    probe->SetHint("Save|Saves the project");
    probe->SetShowHint(true);
    show();
    mouseMove(probe, {5, 5});
    advanceClock(499);
    EXPECT_EQ(Application->HintWindow(), nullptr);
    advanceClock(1);
    ASSERT_NE(Application->HintWindow(), nullptr);
    EXPECT_EQ(Application->HintWindow()->Caption(), "Save");
    advanceClock(2500);
    EXPECT_EQ(Application->HintWindow(), nullptr);
}

TEST_F(FormTest, TheApplicationsHintWindowKindShowsEveryHint) {
    class TMarked : public THintWindow {
    public:
        using THintWindow::THintWindow;
    };
    auto* probe = add<TProbe>(0, 0, 40, 40);
    probe->SetHint("Save");
    probe->SetShowHint(true);
    show();
    Application->HintWindowClass = [](TComponent* o) -> THintWindow* { return new TMarked(o); };
    mouseMove(probe, {5, 5});
    advanceClock(500);
    EXPECT_NE(dynamic_cast<TMarked*>(Application->HintWindow()), nullptr);
    Application->CancelHint();
    Application->HintWindowClass = nullptr;
    mouseMove(probe, {6, 6});
    advanceClock(500);
    ASSERT_NE(Application->HintWindow(), nullptr);
    EXPECT_EQ(dynamic_cast<TMarked*>(Application->HintWindow()), nullptr);
}

TEST_F(FormTest, ChangeScaleScalesBoundsChildrenAndOwnFonts) {
    auto* panel = add<TProbe>(10, 20, 100, 60);
    auto* inner = new TProbe(form.get());
    inner->SetParent(panel);
    inner->SetBounds(4, 6, 20, 10);
    panel->Font()->SetSize(10);
    panel->ChangeScale(3, 2);
    EXPECT_EQ(panel->BoundsRect(), (TRect{15, 30, 165, 120}));
    EXPECT_EQ(inner->BoundsRect(), (TRect{6, 9, 36, 24}));
    EXPECT_EQ(panel->Font()->Size(), 15);
    EXPECT_EQ(inner->Font()->Size(), 15) << "a child that follows its parent's font";
    panel->ChangeScale(5, 5);
    EXPECT_EQ(panel->Width(), 150);
}

TEST_F(FormTest, ALinkedActionGivesItsStateAndRunsOnClick) {
    auto* probe = add<TProbe>(0, 0, 40, 40);
    auto action = std::make_unique<TAction>(nullptr);
    action->SetCaption("Run");
    action->SetEnabled(false);
    int runs = 0;
    action->OnExecute = [&](TObject*) { ++runs; };
    probe->SetAction(action.get());
    EXPECT_EQ(probe->Caption(), "Run");
    EXPECT_FALSE(probe->Enabled());
    action->SetEnabled(true);
    EXPECT_TRUE(probe->Enabled());
    show();
    click(probe, {5, 5});
    EXPECT_EQ(runs, 1);
    // A caption the control changed itself is no longer linked.
    probe->SetCaption("Own");
    action->SetCaption("Later");
    EXPECT_EQ(probe->Caption(), "Own");
    // The action going first leaves the control unlinked.
    action.reset();
    EXPECT_EQ(probe->Action(), nullptr);
    click(probe, {5, 5});
    EXPECT_EQ(runs, 1);
}

TEST_F(FormTest, WindowTimersSendWmTimerWithTheirId) {
    auto* probe = add<TProbe>(0, 0, 10, 10);
    show();
    std::vector<WPARAM> ids;
    probe->onMessage = [&](TMessage& m) {
        if (m.Msg == WM_TIMER) ids.push_back(m.WParam);
    };
    SetTimer(probe->Handle(), 7, 100);
    advanceClock(250);
    EXPECT_EQ(ids, (std::vector<WPARAM>{7, 7}));
    EXPECT_TRUE(KillTimer(probe->Handle(), 7));
    advanceClock(500);
    EXPECT_EQ(ids.size(), 2u);
    SetTimer(probe->Handle(), 8, 100);
    probe->DestroyHandle();
    advanceClock(500);
    EXPECT_EQ(ids.size(), 2u) << "timers end with their window";
}

// "&" marks the hot key of a caption, except before a blank, where no key applies.
TEST(HotKeys, AnAmpersandBeforeABlankIsShownAndIsNoHotKey) {
    EXPECT_TRUE(IsAccel('D', "Scan &Decode"));
    EXPECT_FALSE(IsAccel('D', "Scan & Decode"));
    EXPECT_FALSE(IsAccel(VK_SPACE, "Scan & Decode"));
    EXPECT_TRUE(IsAccel('O', "A & B &Open"));
    EXPECT_EQ(StripHotkey("Scan & Decode"), "Scan & Decode");
    EXPECT_EQ(StripHotkey("&Open && Save"), "Open & Save");
}
