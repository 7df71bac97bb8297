// Control painting: invalidation, backing images, PaintTo and window regions.
#include "platform/ui/core/Controls.h"

#include "platform/ui/core/ControlsInternal.h"
#include "platform/ui/core/WindowFrame.h"

#include <algorithm>
#include <mutex>
#include <vector>

using controls::state;

// --- TControl --------------------------------------------------------------------------------
void TControl::InvalidateControl() {
    if (parent_ && visible_ && !dynamic_cast<TWinControl*>(this)) parent_->Invalidate();
}

void TControl::Invalidate() {
    InvalidateControl();
}

void TControl::Update() {
    if (parent_) parent_->Update();
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

// --- TWinControl -----------------------------------------------------------------------------
void TWinControl::Invalidate() {
    if (backing_) invalid_ = true;
    if (peer_) peer_->Invalidate();
}

bool TWinControl::NeedsPaint() const {
    return invalid_ || (frame_ && frame_->Invalid);
}

void TWinControl::Update() {
    if (frame_ && frame_->Invalid) paintFrame();
    if (backing_ && invalid_) {
        TMessage m{WM_PAINT, 0, 0, 0};
        MainWndProc(m);
    }
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::EnableBackingImage() {
    if (backing_) return;
    backing_ = std::make_unique<TBitmap>();
    backing_->SetPixelFormat(pf24bit);
    backing_->Canvas()->OnChange = [this](TObject*) {
        if (peer_) peer_->Changed(pcImage);
    };
    invalid_ = true;
}

void TWinControl::PaintWindow(HDC /*DC*/) {}

void TWinControl::PaintControls(HDC DC, TControl* First) {
    bool started = First == nullptr;
    auto list = controls_;
    for (TControl* c : list) {
        if (!started) {
            started = c == First;
            if (!started) continue;
        }
        if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
        TRect r;
        if (!IntersectRect(r, c->BoundsRect(), ClientRect())) continue;
        c->Perform(WM_PAINT, WPARAM(DC));
    }
}

void TWinControl::PaintTo(TCanvas* dest, int X, int Y) {
    std::vector<TWinControl*> popups;
    paintTo(dest, X, Y, popups);
    // Pop-ups float above everything else, unclipped by their owners, at their screen place.
    TPoint origin = ClientOrigin();
    for (std::size_t i = 0; i < popups.size(); ++i) {
        TWinControl* w = popups[i];
        w->paintTo(dest, X + w->Left() - origin.X, Y + w->Top() - origin.Y, popups);
    }
}

void TWinControl::paintTo(TCanvas* dest, int X, int Y, std::vector<TWinControl*>& popups) {
    // A window and its children never draw outside its bounds, nor outside its region.
    int saved = ::SaveDC(dest);
    ::IntersectClipRect(dest, X, Y, X + width_, Y + height_);
    if (region_) {
        TPoint at{X, Y};
        ::LPtoDP(dest, &at, 1);
        TRegion shape(*region_);
        shape.Offset(at.X, at.Y);
        ::ExtSelectClipRgn(dest, &shape, RGN_AND);
    }
    BLENDFUNCTION blend;
    blend.SourceConstantAlpha = layeredAlpha_;
    if (layeredImage_) {
        blend.AlphaFormat = AC_SRC_ALPHA;
        const int w = layeredImage_->Width(), h = layeredImage_->Height();
        ::AlphaBlend(dest, X, Y, w, h, layeredImage_->Canvas(), 0, 0, w, h, blend);
    } else if (backing_) {
        Update();
        // The frame image holds the non-client area; the client's image lies inside it.
        if (frame_ && frame_->Image) dest->Draw(X, Y, frame_->Image.get());
        const int cx = X + (frame_ ? frame_->Client.Left : 0);
        const int cy = Y + (frame_ ? frame_->Client.Top : 0);
        if (IsLayeredWindow() && layeredAlpha_ != 255)
            ::AlphaBlend(dest, cx, cy, backing_->Width(), backing_->Height(), backing_->Canvas(), 0,
                         0, backing_->Width(), backing_->Height(), blend);
        else
            dest->Draw(cx, cy, backing_.get());
    } else if (peer_) {
        TBitmap shot;
        if (peer_->Grab(shot)) dest->Draw(X, Y, &shot);
    } else {
        ::FillRect(dest, Bounds(X, Y, width_, height_), Color());
    }
    for (TControl* c : controls_) {
        auto w = dynamic_cast<TWinControl*>(c);
        if (!w || !w->Visible()) continue;
        if (w->IsPopupWindow())
            popups.push_back(w);
        else if (frame_)
            w->paintTo(dest, X + frame_->Client.Left + w->Left(), Y + frame_->Client.Top + w->Top(),
                       popups);
        else
            w->paintTo(dest, X + w->Left(), Y + w->Top(), popups);
    }
    ::RestoreDC(dest, saved);
}

void TWinControl::WMPaint(TWMPaint& Message) {
    if (!backing_) {
        DefaultHandler(Message.M);
        return;
    }
    invalid_ = false;
    int w = ClientWidth();
    int h = ClientHeight();
    if (backing_->Width() != w || backing_->Height() != h) backing_->SetSize(w, h);
    if (w == 0 || h == 0) return;
    TCanvas* canvas = backing_->Canvas();
    HDC dc = canvas;
    SelectClipRgn(dc, nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    Perform(WM_ERASEBKGND, WPARAM(dc));
    PaintWindow(dc);
    PaintControls(dc, nullptr);
    SelectClipRgn(dc, nullptr);
    // A window has no frame outside its image: a control that draws its own border draws it
    // over the edge of the image, anew after every repaint.
    if (ControlStyle() & csNeedsBorderPaint) Perform(WM_NCPAINT, 1, 0);
    if (peer_) peer_->Changed(pcImage);
}

void TWinControl::WMEraseBkgnd(TWMEraseBkgnd& Message) {
    if (!(ControlStyle() & csOpaque) && Message.DC())
        ::FillRect(Message.DC(), ClientRect(), ColorToRGB(Color()));
    Message.M.Result = 1;
}

// --- TCustomControl / TGraphicControl --------------------------------------------------------
TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
    EnableBackingImage();
}
TCustomControl::~TCustomControl() = default;

TCanvas* TCustomControl::Canvas() const {
    return BackingImage()->Canvas();
}

void TCustomControl::PaintWindow(HDC /*DC*/) {
    Paint();
}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}
TGraphicControl::~TGraphicControl() = default;

TCanvas* TGraphicControl::Canvas() {
    if (paintDC_) return paintDC_;
    TBitmap* target = Parent() ? Parent()->BackingImage() : nullptr;
    if (!target) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    if (!canvas_ || canvasTarget_ != target) {
        canvas_ = std::make_unique<TCanvas>(target);
        canvasTarget_ = target;
        TWinControl* parent = Parent();
        canvas_->OnChange = [parent](TObject*) {
            if (parent->Peer()) parent->Peer()->Changed(pcImage);
        };
        canvasBounds_ = {};
    }
    // Placed at the control and clipped to it; kept while the control stays where it is.
    if (canvasBounds_ != BoundsRect()) resetCanvas();
    return canvas_.get();
}

void TGraphicControl::resetCanvas() {
    HDC dc = canvas_.get();
    SelectClipRgn(dc, nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetViewportOrgEx(dc, Left(), Top(), nullptr);
    IntersectClipRect(dc, 0, 0, Width(), Height());
    canvasBounds_ = BoundsRect();
}

void TGraphicControl::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_PAINT) {
        TWMPaint v(Message);
        WMPaint(v);
        return;
    }
    TControl::Dispatch(Message);
}

void TGraphicControl::WMPaint(TWMPaint& Message) {
    HDC dc = Message.DC();
    TBitmap* own = Parent() ? Parent()->BackingImage() : nullptr;
    if (dc && !(own && dc == own->Canvas())) {
        // Another image: drawn there at this control's place in the parent, clipped to it.
        const int saved = ::SaveDC(dc);
        TPoint origin;
        ::GetViewportOrgEx(dc, origin);
        ::SetViewportOrgEx(dc, origin.X + Left(), origin.Y + Top(), nullptr);
        ::IntersectClipRect(dc, 0, 0, Width(), Height());
        paintDC_ = dc;
        try {
            Paint();
        } catch (...) {
            paintDC_ = nullptr;
            ::RestoreDC(dc, saved);
            throw;
        }
        paintDC_ = nullptr;
        ::RestoreDC(dc, saved);
        return;
    }
    Canvas();
    resetCanvas();
    Paint();
}

// --- window-level functions ------------------------------------------------------------------
int SetWindowRgn(HWND handle, HRGN rgn, bool redraw) {
    TWinControl* c = FindControl(handle);
    if (!c) return 0; // the caller keeps the region
    c->region_.reset(rgn);
    c->PeerChanged(pcRegion);
    if (redraw) c->Invalidate();
    return 1;
}

int GetWindowRgn(HWND handle, HRGN rgn) {
    TWinControl* c = FindControl(handle);
    if (!c || !rgn || !c->WindowRegion()) return RGN_ERROR;
    *rgn = *c->WindowRegion();
    return rgn->Kind();
}

bool InvalidateRect(HWND handle, const TRect* /*rect*/, bool /*erase*/) {
    TWinControl* c = FindControl(handle);
    if (!c) return false;
    c->Invalidate();
    return true;
}

bool ValidateRect(HWND handle, const TRect* /*rect*/) {
    TWinControl* c = FindControl(handle);
    if (!c) return false;
    c->invalid_ = false;
    return true;
}

bool UpdateWindow(HWND handle) {
    TWinControl* c = FindControl(handle);
    if (!c) return false;
    c->Update();
    return true;
}

bool PaintInvalidWindows() {
    std::vector<HWND> handles;
    {
        auto& s = state();
        std::lock_guard lock(s.mutex);
        for (auto& [h, c] : s.windows)
            if (c->NeedsPaint() && c->Showing()) handles.push_back(h);
    }
    std::sort(handles.begin(), handles.end());
    bool any = false;
    for (HWND h : handles) {
        TWinControl* c = FindControl(h);
        if (c && c->NeedsPaint()) {
            c->Update();
            any = true;
        }
    }
    return any;
}
