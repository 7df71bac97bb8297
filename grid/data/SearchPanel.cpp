#include "grid/data/SearchPanel.h"

#include "grid/core/base/GridDraw.h"

TSearchPanel::TSearchPanel(TComponent* AOwner) : TCustomPanel(AOwner) {
    SetBevelOuter(bvNone);
    SetShowCaption(false);
    FExit = new TQorGridButton(this);
    FExit->SetParent(this);
    FExit->SetBounds(4, 4, 20, 23);
    FExit->SetCaption("X");
    FExit->OnClick = [this](TObject*) {
        if (OnExitClick) OnExitClick(this);
    };
    FEdit = new TEdit(this);
    FEdit->SetParent(this);
    FEdit->SetBounds(28, 5, 150, 21);
    FEdit->OnChange = [this](TObject*) {
        if (OnEditChange) OnEditChange(this);
    };
    auto button = [this](int left, TNotifyEvent TSearchPanel::*event) {
        auto* b = new TQorGridButton(this);
        b->SetParent(this);
        b->SetBounds(left, 4, 70, 23);
        b->OnClick = [this, event](TObject*) {
            if (this->*event) (this->*event)(this);
        };
        return b;
    };
    FBackward = button(182, &TSearchPanel::OnBackwardClick);
    FForward = button(256, &TSearchPanel::OnForwardClick);
    FHighLight = button(330, &TSearchPanel::OnHighLightClick);
    FHighLight->SetGroupIndex(1);
    FHighLight->SetAllowAllUp(true);
    FMatchCase = new TQorCheckBox(this);
    FMatchCase->SetParent(this);
    FMatchCase->SetBounds(425, 7, 120, 18);
}

void TSearchPanel::SetColorTo(TColor v) {
    FColorTo = v;
    Invalidate();
}

void TSearchPanel::SetPanelColor(TColor v) {
    SetColor(v);
    Invalidate();
}

void TSearchPanel::hint(TQorGridButton* b, const std::string& v) {
    b->SetHint(v);
    b->SetShowHint(!v.empty());
}

void TSearchPanel::Paint() {
    TCanvas* C = Canvas();
    DrawGradient(*C, Color(), FColorTo, 64, ClientRect(), false);
}
