// The picture of the dragged nodes: rendered by the tree, faded towards its edges and shown in
// a layered window of its own that follows the mouse.
#include "platform/ui/core/Forms.h"
#include "platform/ui/core/LayeredWindows.h"
#include "treeview/LazyTree.h"
#include "treeview/LazyTreeUtils.h"

#include <algorithm>
#include <cmath>

namespace {

// A window that never takes the focus and lets the mouse through.
class TDragImageWindow : public TForm {
public:
    using TForm::TForm;

protected:
    void CreateParams(TCreateParams& Params) override {
        TForm::CreateParams(Params);
        Params.Style = WS_POPUP | WS_DISABLED;
        Params.ExStyle |= WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT;
    }
};

std::uint8_t biased(int Value, int Bias) {
    return std::uint8_t(std::clamp(Value + Bias, 0, 255));
}

} // namespace

std::uint8_t DragImageAlpha(int X, int Y, int Width, int Height) {
    const double s = std::max(Width, Height);
    if (s <= 0) return 0;
    const double dx = (X - Width / 2) / s, dy = (Y - Height / 2) / s;
    const double r = std::sqrt(dx * dx + dy * dy);
    return std::uint8_t(std::nearbyint(255 * std::exp(-8 * r)));
}

TLTDragImage::TLTDragImage(TBaseLazyTree* AOwner) : FOwner(AOwner) {}

TLTDragImage::~TLTDragImage() {
    EndDrag();
}

bool TLTDragImage::Visible() const {
    TLTDragImageStates s = FStates;
    return s.Contains(disInDrag) && s.Contains(disPrepared) && !s.Contains(disHidden) &&
           !s.Contains(disSystemSupport);
}

void TLTDragImage::PrepareDrag(TBitmap* DragImage, TPoint ImagePosition, TPoint HotSpot,
                               const std::shared_ptr<IDataObject>&) {
    // No shell service draws pictures here: the tree always draws its own.
    FStates.Exclude(disSystemSupport);
    if (!DragImage || DragImage->Width() <= 0 || DragImage->Height() <= 0) return;
    FLastPosition = HotSpot;
    const int w = DragImage->Width(), h = DragImage->Height();
    FDragImage = std::make_unique<TBitmap>(w, h);
    FDragImage->SetPixelFormat(pf32bit);
    FDragImage->SetAlphaFormat(afDefined);
    const bool keyed = FColorKey != NoColorKey;
    const TColor key = keyed ? ColorToRGB(FColorKey) : TColor(0);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* from = DragImage->ScanLine(y);
        std::uint8_t* to = FDragImage->ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const std::uint8_t b = from[4 * x], g = from[4 * x + 1], r = from[4 * x + 2];
            to[4 * x] = biased(b, FPreBlendBias);
            to[4 * x + 1] = biased(g, FPreBlendBias);
            to[4 * x + 2] = biased(r, FPreBlendBias);
            const bool transparent = keyed && TColor(r | (g << 8) | (b << 16)) == key;
            to[4 * x + 3] = transparent ? 0 : DragImageAlpha(x, y, w, h);
        }
    }
    FDragImage->Modified();
    FImagePosition = ImagePosition;
    FStates = {disHidden, disInDrag, disPrepared};
}

void TLTDragImage::showPicture() {
    if (!FWindow) {
        FWindow = std::make_unique<TDragImageWindow>(nullptr);
        // Drops go to the windows under the picture.
        FWindow->SetEnabled(false);
        FWindow->SetBounds(FImagePosition.X, FImagePosition.Y, FDragImage->Width(),
                           FDragImage->Height());
    }
    // Premultiplied pixels: the per-pixel alpha fades the edges (with Fade or a colour key),
    // the post-blend bias brightens or darkens, the transparency weighs the whole picture.
    const int w = FDragImage->Width(), h = FDragImage->Height();
    const bool perPixel = FFade || FColorKey != NoColorKey;
    TBitmap shown(w, h);
    shown.SetPixelFormat(pf32bit);
    shown.SetAlphaFormat(afPremultiplied);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* from = FDragImage->ScanLine(y);
        std::uint8_t* to = shown.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const int a = perPixel ? from[4 * x + 3] : 255;
            for (int c = 0; c < 3; ++c)
                to[4 * x + c] = std::uint8_t(biased(from[4 * x + c], FPostBlendBias) * a / 255);
            to[4 * x + 3] = std::uint8_t(a);
        }
    }
    shown.Modified();
    FWindow->HandleNeeded();
    TPoint position = FImagePosition;
    TSize size{w, h};
    TPoint origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, FTransparency, AC_SRC_ALPHA};
    UpdateLayeredWindow(FWindow->Handle(), nullptr, &position, &size, shown.Canvas()->Handle(),
                        &origin, clNone, &blend, ULW_ALPHA);
    FWindow->SetBounds(position.X, position.Y, w, h);
    if (!FWindow->Visible()) ShowWindow(FWindow->Handle(), SW_SHOWNOACTIVATE);
}

void TLTDragImage::ShowDragImage() {
    if (FStates != TLTDragImageStates{disHidden, disInDrag, disPrepared}) return;
    FStates.Exclude(disHidden);
    showPicture();
}

void TLTDragImage::HideDragImage() {
    if (!Visible()) return;
    FStates.Include(disHidden);
    if (FWindow && FWindow->HandleAllocated()) ShowWindow(FWindow->Handle(), SW_HIDE);
}

bool TLTDragImage::WillMove(TPoint P) const {
    if (!Visible()) return false;
    switch (FRestriction) {
    case dmrHorizontalOnly:
        return P.X != FLastPosition.X;
    case dmrVerticalOnly:
        return P.Y != FLastPosition.Y;
    default:
        return P.X != FLastPosition.X || P.Y != FLastPosition.Y;
    }
}

bool TLTDragImage::DragTo(TPoint P, bool ForceRepaint) {
    int dX = FLastPosition.X - P.X, dY = FLastPosition.Y - P.Y;
    if (FRestriction == dmrHorizontalOnly) dY = 0;
    if (FRestriction == dmrVerticalOnly) dX = 0;
    if (dX == 0 && dY == 0 && !ForceRepaint) return false;
    if (Visible()) {
        FImagePosition.X -= dX;
        FImagePosition.Y -= dY;
        if (ForceRepaint)
            showPicture();
        else if (FWindow)
            FWindow->SetBounds(FImagePosition.X, FImagePosition.Y, FWindow->Width(),
                               FWindow->Height());
    }
    FLastPosition = P;
    return true;
}

TRect TLTDragImage::GetDragImageRect() const {
    if (!Visible() || !FDragImage) return TRect{0, 0, 0, 0};
    return TRect{FImagePosition.X, FImagePosition.Y, FImagePosition.X + FDragImage->Width(),
                 FImagePosition.Y + FDragImage->Height()};
}

void TLTDragImage::EndDrag() {
    HideDragImage();
    FStates.Exclude(disInDrag);
    FStates.Exclude(disPrepared);
    FWindow.reset();
    FDragImage.reset();
}

// --- the tree's side ---------------------------------------------------------------------------

void TBaseLazyTree::PrepareDragImage(TPoint HotSpot,
                                     const std::shared_ptr<IDataObject>& DataObject) {
    if (!DragImageWanted()) return;
    // The hot spot in tree coordinates.
    const TPoint p{HotSpot.X + FEffectiveOffsetX, HotSpot.Y - FOffsetY};
    TRect treeRect{p.X - FDragWidth / 2, p.Y - FDragHeight / 2, p.X + FDragWidth / 2,
                   p.Y + FDragHeight / 2};
    TRect paintRect = treeRect;
    TPoint target{0, 0};
    if (paintRect.Left < 0) {
        target.X = -paintRect.Left;
        paintRect.Left = 0;
    }
    if (paintRect.Top < 0) {
        target.Y = -paintRect.Top;
        paintRect.Top = 0;
    }
    TBitmap image(treeRect.Right - treeRect.Left, treeRect.Bottom - treeRect.Top);
    image.SetPixelFormat(pf32bit);
    const TColor back = FColors->BackGroundColor();
    image.Canvas()->Brush()->SetColor(back);
    image.Canvas()->FillRect(TRect{0, 0, image.Width(), image.Height()});
    TLTInternalPaintOptions options{poDrawSelection, poSelectedOnly};
    if (FDragImageKind == diMainColumnOnly) options.Include(poMainOnly);
    PaintTree(image.Canvas(), paintRect, target, options);
    // Back to client coordinates, then to the screen.
    const TPoint corner =
        ClientToScreen(TPoint{treeRect.Left - FEffectiveOffsetX, treeRect.Top + FOffsetY});
    FDragImage->SetColorKey(back);
    FDragImage->PrepareDrag(&image, corner, ClientToScreen(HotSpot), DataObject);
}
