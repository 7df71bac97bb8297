#pragma once
// Small controls that show what the UI core does with messages, painting and dialog keys.
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

// Records every message; can swallow mouse buttons and say which keys it wants.
class TProbe : public TCustomControl {
public:
    explicit TProbe(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
    std::vector<UINT> seen;
    bool swallowButtons = false;
    LRESULT dlgCode = 0;
    std::function<void(TCanvas*)> painter;
    std::function<void(TMessage&)> onMessage;

    void WndProc(TMessage& m) override {
        seen.push_back(m.Msg);
        if (onMessage) onMessage(m);
        if (swallowButtons && (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONUP)) return;
        TCustomControl::WndProc(m);
    }
    int count(UINT msg) const { return int(std::count(seen.begin(), seen.end(), msg)); }

protected:
    void Paint() override {
        if (painter) painter(Canvas());
    }
    void WMGetDlgCode(TMessage& m) override { m.Result = dlgCode; }
};

// A push button as a form sees it: Enter clicks the default one, Escape the cancel one, its
// "&x" caption is an accelerator, and a modal result closes a modal form.
class TTestButton : public TCustomControl {
public:
    explicit TTestButton(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
    bool Default = false;
    bool Cancel = false;
    int ModalResult = 0;
    int clicks = 0;

    void Click() override {
        ++clicks;
        TCustomControl::Click();
        if (ModalResult)
            if (TCustomForm* f = GetParentForm()) f->SetModalResult(ModalResult);
    }

protected:
    void Dispatch(TMessage& m) override {
        if (m.Msg == CM_DIALOGKEY) {
            TWMKey k(m);
            if ((k.CharCode() == VK_RETURN && Default) || (k.CharCode() == VK_ESCAPE && Cancel)) {
                Click();
                m.Result = 1;
                return;
            }
        } else if (m.Msg == CM_DIALOGCHAR) {
            TWMKey k(m);
            if (IsAccel(k.CharCode(), Caption()) && CanFocus()) {
                Click();
                m.Result = 1;
                return;
            }
        }
        TCustomControl::Dispatch(m);
    }
};

// A windowless control that fills itself with one colour.
class TPatch : public TGraphicControl {
public:
    explicit TPatch(TComponent* owner) : TGraphicControl(owner) {}
    TColor fill = clRed;
    int clicks = 0;
    void Click() override {
        ++clicks;
        TGraphicControl::Click();
    }

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(fill);
        // Larger than the control: the canvas clips to the control's bounds.
        Canvas()->FillRect({-50, -50, 500, 500});
    }
};

class FormTest : public ::testing::Test {
protected:
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);

    template <class T> T* add(int l, int t, int w, int h, TWinControl* parent = nullptr) {
        T* c = new T(form.get());
        c->SetBounds(l, t, w, h);
        c->SetParent(parent ? parent : form.get());
        return c;
    }
    void show() {
        form->SetBounds(100, 100, 320, 240);
        form->Show();
        uitest::processMessages();
    }
};
