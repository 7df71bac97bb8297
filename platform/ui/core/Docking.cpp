// Docking: controls docked to dock sites, and floating in windows of their own.
#include "platform/ui/core/Controls.h"
#include "platform/ui/core/DragDrop.h"
#include "platform/ui/core/Forms.h"

#include <algorithm>

namespace {

// The window a control floats in; it goes when its client leaves.
class TFloatingDockForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
    void DoRemoveDockClient(TControl* Client) override {
        TCustomForm::DoRemoveDockClient(Client);
        if (DockClientCount() == 0 && !(ComponentState() & csDestroying)) Release();
    }
};

// The dock site at a screen point: the window there or its nearest parent that is one.
TWinControl* dockSiteAt(TPoint P) {
    for (TWinControl* w = FindControl(WindowFromPoint(P)); w; w = w->Parent())
        if (w->DockSite()) return w;
    return nullptr;
}

} // namespace

bool TControl::ManualDock(TWinControl* NewDockSite) {
    if (NewDockSite && NewDockSite == hostDockSite_) return true;
    const TPoint origin = parent_ ? parent_->ClientToScreen({left_, top_}) : TPoint{left_, top_};
    TRect rect = Bounds(origin.X, origin.Y, width_, height_);
    if (TWinControl* host = hostDockSite_) {
        TUndockClientRec undock{NewDockSite, this};
        if (host->Perform(CM_UNDOCKCLIENT, 0, LPARAM(&undock)) != 0) return false;
        // The site's answer may have moved the control.
        rect = Bounds(origin.X, origin.Y, width_, height_);
        // Its window goes before the site may free the parent it is in.
        if (auto* w = dynamic_cast<TWinControl*>(this)) w->DestroyHandle();
        hostDockSite_ = nullptr;
        host->DoRemoveDockClient(this);
    }
    TWinControl* target = NewDockSite;
    if (!target) {
        if (auto* form = dynamic_cast<TCustomForm*>(this)) {
            // A form floats as a window of its own.
            form->DestroyHandle();
            form->SetParent(nullptr);
            SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
            return true;
        }
        auto* floating = new TFloatingDockForm(nullptr);
        floating->SetDockSite(true);
        floating->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
        target = floating;
    }
    TPoint mouse;
    GetCursorPos(mouse);
    TDockClientRec dock{this, rect, mouse};
    target->Perform(CM_DOCKCLIENT, 0, LPARAM(&dock));
    if (!NewDockSite && visible_) target->Show();
    return hostDockSite_ == target;
}

void TControl::Dock(TWinControl* NewDockSite, const TRect& ARect) {
    // The window is made again under its new parent.
    if (auto* w = dynamic_cast<TWinControl*>(this)) w->DestroyHandle();
    hostDockSite_ = NewDockSite;
    NewDockSite->dockClients_.push_back(this);
    NewDockSite->DoAddDockClient(this, ARect);
}

void TControl::sendDockNotification(UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (!hostDockSite_) return;
    TDockNotifyRec rec{Msg, WParam, LParam};
    hostDockSite_->Perform(CM_DOCKNOTIFICATION, WPARAM(this), LPARAM(&rec));
}

void TControl::dockDrop(TPoint P) {
    TWinControl* site = dockSiteAt(P);
    if (site && (site == hostDockSite_ || site == this)) return;
    if (!site) {
        // Floats where it was dropped.
        if (!ManualDock(nullptr)) return;
        TWinControl* window = hostDockSite_ ? hostDockSite_ : dynamic_cast<TWinControl*>(this);
        if (window) window->SetBounds(P.X, P.Y, window->Width(), window->Height());
        return;
    }
    ManualDock(site);
}

void TWinControl::DoAddDockClient(TControl* Client, const TRect& ARect) {
    Client->SetParent(this);
    const TPoint at = ScreenToClient(ARect.TopLeft());
    Client->SetBounds(at.X, at.Y, ARect.Width(), ARect.Height());
}

void TWinControl::DoRemoveDockClient(TControl* Client) {
    auto it = std::find(dockClients_.begin(), dockClients_.end(), Client);
    if (it != dockClients_.end()) dockClients_.erase(it);
}

void TWinControl::CMDockClient(TMessage& Message) {
    const auto* rec = reinterpret_cast<const TDockClientRec*>(Message.LParam);
    if (rec && rec->Client) rec->Client->Dock(this, rec->DockRect);
}
