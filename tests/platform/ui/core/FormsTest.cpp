#include "platform/ui/core/Forms.h"

#include "UiCoreFixtures.h"

#include <gtest/gtest-spi.h>

using namespace uitest;

TEST_F(FormTest, ShowModalReturnsTheModalResultSetInsideItsLoop) {
    std::vector<std::string> log;
    form->OnShow = [&](TObject*) { log.push_back("show"); };
    form->OnClose = [&](TObject*, TCloseAction& a) {
        log.push_back("close " + std::to_string(int(a)));
    };
    form->OnHide = [&](TObject*) { log.push_back("hide"); };
    int result = runModal(form.get(), [&](TCustomForm* f) {
        EXPECT_EQ(f, form.get());
        EXPECT_TRUE(f->Visible());
        EXPECT_TRUE(f->Modal());
        EXPECT_EQ(Screen->ActiveForm(), f);
        log.push_back("inside");
        f->SetModalResult(mrOk);
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(form->Modal());
    EXPECT_EQ(log, (std::vector<std::string>{"show", "inside", "close 1", "hide"}));
}

TEST_F(FormTest, AButtonWithAModalResultClosesTheModalForm) {
    auto* ok = add<TTestButton>(10, 10, 60, 20);
    ok->ModalResult = mrYes;
    EXPECT_EQ(runModal(form.get(), [&](TCustomForm*) { click(ok); }), mrYes);
    ok->Default = true;
    EXPECT_EQ(runModal(form.get(), [&](TCustomForm*) { pressKey(VK_RETURN); }), mrYes);
}

TEST_F(FormTest, OnCloseQueryCanKeepTheModalFormOpen) {
    int asked = 0;
    form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++asked > 1; };
    whenModalIdle([](TCustomForm* f) { f->Close(); });
    whenModalIdle([](TCustomForm* f) {
        EXPECT_TRUE(f->Visible()) << "the first close was refused";
        f->SetModalResult(mrCancel);
    });
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_EQ(asked, 2);
}

TEST_F(FormTest, ModalFormsNestAndGiveTheFocusBack) {
    auto* edit = add<TProbe>(0, 0, 10, 10);
    show();
    ASSERT_TRUE(edit->Focused());
    TForm outer(nullptr), inner(nullptr);
    int innerResult = 0;
    int outerResult = runModal(&outer, [&](TCustomForm* f) {
        EXPECT_FALSE(edit->Focused());
        innerResult = runModal(&inner, [](TCustomForm* g) { g->SetModalResult(mrNo); });
        EXPECT_EQ(Screen->ActiveForm(), &outer);
        f->SetModalResult(mrOk);
    });
    EXPECT_EQ(innerResult, mrNo);
    EXPECT_EQ(outerResult, mrOk);
    EXPECT_EQ(Screen->ActiveForm(), form.get());
    EXPECT_TRUE(edit->Focused());
}

TEST_F(FormTest, FocusMovingToAnotherFormActivatesIt) {
    auto* here = add<TProbe>(0, 0, 10, 10);
    TForm other(nullptr);
    auto* there = new TProbe(&other);
    there->SetParent(&other);
    std::vector<std::string> log;
    form->OnActivate = [&](TObject*) { log.push_back("activate form"); };
    form->OnDeactivate = [&](TObject*) { log.push_back("deactivate form"); };
    other.OnActivate = [&](TObject*) { log.push_back("activate other"); };
    show();
    other.Show();
    EXPECT_EQ(Screen->ActiveForm(), &other);
    here->SetFocus();
    EXPECT_EQ(Screen->ActiveForm(), form.get());
    EXPECT_TRUE(form->Active());
    EXPECT_FALSE(other.Active());
    EXPECT_EQ(log, (std::vector<std::string>{"activate form", "deactivate form", "activate other",
                                             "activate form"}));
    EXPECT_EQ(there->Focused(), false);
}

TEST_F(FormTest, ShowModalOfAVisibleFormIsRefused) {
    show();
    EXPECT_THROW(form->ShowModal(), EInvalidOperation);
}

TEST_F(FormTest, AModalLoopWithNothingToDoFailsTheTestInsteadOfHanging) {
    TCustomForm* f = form.get();
    int result = -1;
    EXPECT_NONFATAL_FAILURE(result = f->ShowModal(), "waiting with nothing to do");
    EXPECT_EQ(result, mrCancel);
}

TEST(Forms, CloseWithCaFreeDestroysTheFormAfterPendingMessages) {
    auto* form = new TForm(Application);
    bool destroyed = false;
    form->OnDestroy = [&](TObject*) { destroyed = true; };
    form->OnClose = [](TObject*, TCloseAction& a) { a = caFree; };
    form->Show();
    form->Close();
    EXPECT_FALSE(destroyed);
    processMessages();
    EXPECT_TRUE(destroyed);
}

TEST(Forms, CloseWithCaHideOnlyHides) {
    TForm form(nullptr);
    form.Show();
    form.Close();
    EXPECT_FALSE(form.Visible());
}

TEST(Forms, PositionScreenCenterCentersOnTheScreen) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 100);
    form.SetPosition(poScreenCenter);
    form.Show();
    EXPECT_EQ(form.Left(), (Screen->Width() - 200) / 2);
    EXPECT_EQ(form.Top(), (Screen->Height() - 100) / 2);
}

namespace {
struct TCreated : TForm {
    explicit TCreated(TComponent* o) : TForm(o) {
        OnCreate = [this](TObject*) { createdWithReference = (instance == this); };
    }
    static inline TCreated* instance = nullptr;
    bool createdWithReference = false;
};
} // namespace

TEST(Forms, CreateFormRunsOnCreateWithTheReferenceSet) {
    Application->CreateForm(TCreated::instance);
    ASSERT_NE(TCreated::instance, nullptr);
    EXPECT_TRUE(TCreated::instance->createdWithReference);
    EXPECT_EQ(TCreated::instance->Owner(), Application);
    delete TCreated::instance;
}

TEST(Forms, AnExceptionInOnShowIsReportedAndTheFormStaysOpen) {
    TForm form(nullptr);
    form.OnShow = [](TObject*) { throw Exception("Bad XML"); };
    int result = runModal(&form, [](TCustomForm* f) {
        EXPECT_TRUE(f->Visible());
        f->SetModalResult(mrOk);
    });
    EXPECT_EQ(result, mrOk);
    ASSERT_EQ(dialogs().Questions().size(), 1u);
    EXPECT_EQ(dialogs().Questions()[0].Text, "Bad XML.");
}
