#include "grid/data/DataSettings.h"

#include "platform/ui/core/Controls.h"

void TFilterListBox::WMCancelMode(TWMNoParams& Message) {
    TListBox::WMCancelMode(Message);
    if (!Visible()) return;
    TPoint p;
    if (GetCursorPos(p)) {
        const TPoint c = ScreenToClient(p);
        if (c.X >= 0 && c.Y >= 0 && c.X < ClientWidth() && c.Y < ClientHeight()) return;
    }
    SetVisible(false);
    if (OnCancel) OnCancel(this);
}

void TDropList::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TFilterListBox::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || ItemAtPos({X, Y}, true) < 0) return;
    SetVisible(false);
    if (OnSelect) OnSelect(this, ItemIndex());
}

void TDropList::KeyDown(WORD& Key, TShiftState Shift) {
    if (Key == VK_RETURN) {
        SetVisible(false);
        if (OnSelect) OnSelect(this, ItemIndex());
        Key = 0;
        return;
    }
    TFilterListBox::KeyDown(Key, Shift);
}

TDropCheckList::TDropCheckList(TComponent* AOwner) : TFilterListBox(AOwner) {
    SetStyle(lbOwnerDrawFixed);
    OnDrawItem = [this](TWinControl*, int Index, const TRect& R, TOwnerDrawState) {
        TCanvas* c = Canvas();
        c->FillRect(R);
        const int size = std::min(13, R.Height() - 2);
        const int top = R.Top + (R.Height() - size) / 2;
        const TRect box(R.Left + 2, top, R.Left + 2 + size, top + size);
        c->Rectangle(box);
        if (Checked(Index)) {
            c->MoveTo(box.Left + 2, box.Top + size / 2);
            c->LineTo(box.Left + size / 2 - 1, box.Bottom - 3);
            c->LineTo(box.Right - 3, box.Top + 2);
        }
        c->TextOut(box.Right + 4, R.Top + 1, Items()->Get(Index));
    };
}

bool TDropCheckList::Checked(int Index) const {
    return Index >= 0 && std::size_t(Index) < FChecked.size() && FChecked[std::size_t(Index)];
}

void TDropCheckList::SetChecked(int Index, bool Value) {
    if (Index < 0 || Index >= Count()) return;
    if (FChecked.size() < std::size_t(Count())) FChecked.resize(std::size_t(Count()));
    FChecked[std::size_t(Index)] = Value;
    Invalidate();
}

void TDropCheckList::ClearItems() {
    Clear();
    FChecked.clear();
}

void TDropCheckList::toggle(int Index) {
    if (Index < 0 || Index >= Count()) return;
    SetChecked(Index, !Checked(Index));
    if (OnSelect) OnSelect(this, -1);
}

void TDropCheckList::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TFilterListBox::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft) toggle(ItemAtPos({X, Y}, true));
}

void TDropCheckList::KeyDown(WORD& Key, TShiftState Shift) {
    if (Key == VK_SPACE) {
        toggle(ItemIndex());
        Key = 0;
        return;
    }
    TFilterListBox::KeyDown(Key, Shift);
}
