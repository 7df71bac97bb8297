#include "grid/render/ControlLook.h"

#include "grid/core/QorStringGrid.h"

#include <cmath>
#include <cstdint>

// --- buttons of the popup strips -----------------------------------------------------------------

void THeaderButton::buttonChanged() {
    if (auto* list = dynamic_cast<THeaderButtons*>(Collection()))
        if (list->OnChange) list->OnChange(list);
}

void THeaderButton::SetCaption(const std::string& v) {
    if (v == FCaption) return;
    FCaption = v;
    buttonChanged();
}

void THeaderButton::SetEnabled(bool v) {
    if (v == FEnabled) return;
    FEnabled = v;
    buttonChanged();
}

void THeaderButton::SetWidth(int v) {
    if (v == FWidth) return;
    FWidth = v;
    buttonChanged();
}

void THeaderButton::Assign(const TPersistent* Source) {
    if (auto s = dynamic_cast<const THeaderButton*>(Source)) {
        FCaption = s->FCaption;
        FImageIndex = s->FImageIndex;
        FEnabled = s->FEnabled;
        FWidth = s->FWidth;
        FHeight = s->FHeight;
        return;
    }
    TCollectionItem::Assign(Source);
}

void TFooterButton::Assign(const TPersistent* Source) {
    THeaderButton::Assign(Source);
    if (auto s = dynamic_cast<const TFooterButton*>(Source)) FModalResult = s->FModalResult;
}

THeaderButtons::THeaderButtons(TPersistent* AOwner)
    : THeaderButtons(AOwner, [](TCollection* c) { return new THeaderButton(c); }) {}

THeaderButtons::THeaderButtons(TPersistent* AOwner, ItemFactory factory)
    : TCollection(std::move(factory)), FMyOwner(AOwner) {}

void THeaderButtons::Update(TCollectionItem* Item) {
    TCollection::Update(Item);
    if (OnChange) OnChange(this);
}

TFooterButtons::TFooterButtons(TPersistent* AOwner)
    : THeaderButtons(AOwner, [](TCollection* c) { return new TFooterButton(c); }) {}

// --- header and footer looks ---------------------------------------------------------------------

THeaderAppearance::THeaderAppearance(TPersistent* AOwner)
    : THeaderAppearance(AOwner, std::make_unique<THeaderButtons>(AOwner)) {
    FFont->SetName("Tahoma");
}

THeaderAppearance::THeaderAppearance(TPersistent* AOwner, std::unique_ptr<THeaderButtons> Buttons)
    : FOwner(AOwner), FFont(std::make_unique<TFont>()), FButtons(std::move(Buttons)) {
    FButtons->OnChange = [this](TObject*) {
        if (OnButtonsChanged) OnButtonsChanged(this);
    };
}

THeaderAppearance::~THeaderAppearance() = default;

void THeaderAppearance::SetVisible(bool v) {
    if (v == FVisible) return;
    FVisible = v;
    if (OnChange) OnChange(this);
}

void THeaderAppearance::copyCommon(const THeaderAppearance& s) {
    FColor = s.FColor;
    FColorTo = s.FColorTo;
    FBorderColor = s.FBorderColor;
    FCaption = s.FCaption;
    FFont->Assign(s.FFont.get());
    FImageIndex = s.FImageIndex;
    FBorderWidth = s.FBorderWidth;
    FGradientDirection = s.FGradientDirection;
    FHeight = s.FHeight;
}

void THeaderAppearance::Assign(const TPersistent* Source) {
    auto s = dynamic_cast<const THeaderAppearance*>(Source);
    if (!s || dynamic_cast<const TFooterAppearance*>(Source)) return TPersistent::Assign(Source);
    copyCommon(*s);
    SetVisible(s->FVisible);
    FButtonAlignment = s->FButtonAlignment;
    FButtons->Assign(s->FButtons.get());
}

void THeaderAppearance::AssignColors(const THeaderAppearance* Source) {
    if (!Source) return;
    FColor = Source->FColor;
    FColorTo = Source->FColorTo;
    FBorderColor = Source->FBorderColor;
    FFont->Assign(Source->FFont.get());
    FGradientDirection = Source->FGradientDirection;
}

TFooterAppearance::TFooterAppearance(TPersistent* AOwner)
    : THeaderAppearance(AOwner, std::make_unique<TFooterButtons>(AOwner)) {}

void TFooterAppearance::Assign(const TPersistent* Source) {
    auto s = dynamic_cast<const TFooterAppearance*>(Source);
    if (!s) return TPersistent::Assign(Source);
    copyCommon(*s);
    FSizeGrip = s->FSizeGrip;
    SetVisible(s->FVisible);
    FButtonAlignment = s->FButtonAlignment;
    FButtons->Assign(s->FButtons.get());
}

// --- control look --------------------------------------------------------------------------------

TControlLook::TControlLook(TQorStringGrid* AGrid)
    : FGrid(AGrid), FUnCheckedGlyph(std::make_unique<TBitmap>()),
      FCheckedGlyph(std::make_unique<TBitmap>()), FRadioOffGlyph(std::make_unique<TBitmap>()),
      FRadioOnGlyph(std::make_unique<TBitmap>()),
      FDropDownHeader(std::make_unique<THeaderAppearance>(this)),
      FDropDownFooter(std::make_unique<TFooterAppearance>(this)) {
    SetFixedGradientHoverMirrorFrom(clNone);
    SetFixedGradientHoverMirrorTo(clNone);
    SetFixedGradientDownMirrorFrom(clNone);
    SetFixedGradientDownMirrorTo(clNone);
}

TControlLook::~TControlLook() = default;

void TControlLook::repaint() {
    if (FGrid) FGrid->Invalidate();
}

void TControlLook::setGlyph(TBitmap& glyph, const TBitmap* v) {
    glyph.Assign(v);
    repaint();
}

// The grid takes a colour unless it is clNone; mirror colours are passed on as they are.
void TControlLook::SetFixedGradientFrom(TColor v) {
    FFixedGradientFrom = v;
    if (FGrid && v != clNone) FGrid->SetQorGradientFrom(v);
}
void TControlLook::SetFixedGradientTo(TColor v) {
    FFixedGradientTo = v;
    if (FGrid && v != clNone) FGrid->SetQorGradientTo(v);
}
void TControlLook::SetFixedGradientMirrorFrom(TColor v) {
    FFixedGradientMirrorFrom = v;
    if (FGrid) FGrid->SetQorGradientMirrorFrom(v);
}
void TControlLook::SetFixedGradientMirrorTo(TColor v) {
    FFixedGradientMirrorTo = v;
    if (FGrid) FGrid->SetQorGradientMirrorTo(v);
}
void TControlLook::SetFixedGradientHoverFrom(TColor v) {
    FFixedGradientHoverFrom = v;
    if (FGrid && v != clNone) FGrid->SetQorGradientHoverFrom(v);
}
void TControlLook::SetFixedGradientHoverTo(TColor v) {
    FFixedGradientHoverTo = v;
    if (FGrid && v != clNone) FGrid->SetQorGradientHoverTo(v);
}
void TControlLook::SetFixedGradientHoverMirrorFrom(TColor v) {
    FFixedGradientHoverMirrorFrom = v;
    if (FGrid) FGrid->SetQorGradientHoverMirrorFrom(v);
}
void TControlLook::SetFixedGradientHoverMirrorTo(TColor v) {
    FFixedGradientHoverMirrorTo = v;
    if (FGrid) FGrid->SetQorGradientHoverMirrorTo(v);
}
void TControlLook::SetFixedGradientHoverBorder(TColor v) {
    FFixedGradientHoverBorder = v;
    if (FGrid && v != clNone) FGrid->SetQorGradientHoverBorder(v);
}
void TControlLook::SetFixedGradientDownFrom(TColor v) {
    FFixedGradientDownFrom = v;
    if (FGrid && v != clNone) FGrid->SetQorGradientDownFrom(v);
}
void TControlLook::SetFixedGradientDownTo(TColor v) {
    FFixedGradientDownTo = v;
    if (FGrid && v != clNone) FGrid->SetQorGradientDownTo(v);
}
void TControlLook::SetFixedGradientDownMirrorFrom(TColor v) {
    FFixedGradientDownMirrorFrom = v;
    if (FGrid) FGrid->SetQorGradientDownMirrorFrom(v);
}
void TControlLook::SetFixedGradientDownMirrorTo(TColor v) {
    FFixedGradientDownMirrorTo = v;
    if (FGrid) FGrid->SetQorGradientDownMirrorTo(v);
}
void TControlLook::SetFixedGradientDownBorder(TColor v) {
    FFixedGradientDownBorder = v;
    if (FGrid && v != clNone) FGrid->SetQorGradientDownBorder(v);
}

void TControlLook::ResetColors() {
    const TControlLook defaults(nullptr);
    ClearFixedGradient();
    FFixedGradientHoverFrom = defaults.FFixedGradientHoverFrom;
    FFixedGradientHoverTo = defaults.FFixedGradientHoverTo;
    FFixedGradientHoverMirrorFrom = defaults.FFixedGradientHoverMirrorFrom;
    FFixedGradientHoverMirrorTo = defaults.FFixedGradientHoverMirrorTo;
    FFixedGradientHoverBorder = defaults.FFixedGradientHoverBorder;
    FFixedGradientDownFrom = defaults.FFixedGradientDownFrom;
    FFixedGradientDownTo = defaults.FFixedGradientDownTo;
    FFixedGradientDownMirrorFrom = defaults.FFixedGradientDownMirrorFrom;
    FFixedGradientDownMirrorTo = defaults.FFixedGradientDownMirrorTo;
    FFixedGradientDownBorder = defaults.FFixedGradientDownBorder;
}

void TControlLook::ClearFixedGradient() {
    FFixedGradientFrom = FFixedGradientTo = clNone;
    FFixedGradientMirrorFrom = FFixedGradientMirrorTo = clNone;
}

void TControlLook::Assign(const TPersistent* Source) {
    auto s = dynamic_cast<const TControlLook*>(Source);
    if (!s) return TPersistent::Assign(Source);
    FCheckBoxSize = s->FCheckBoxSize;
    FRadioSize = s->FRadioSize;
    FControlStyle = s->FControlStyle;
    FCheckedGlyph->Assign(s->FCheckedGlyph.get());
    FUnCheckedGlyph->Assign(s->FUnCheckedGlyph.get());
    FRadioOnGlyph->Assign(s->FRadioOnGlyph.get());
    FRadioOffGlyph->Assign(s->FRadioOffGlyph.get());
    FProgressMarginX = s->FProgressMarginX;
    FProgressMarginY = s->FProgressMarginY;
    FCommentColor = s->FCommentColor;
    FColor = s->FColor;
    FProgressBorderColor = s->FProgressBorderColor;
    FCheckAlwaysActive = s->FCheckAlwaysActive;
    FRadioAlwaysActive = s->FRadioAlwaysActive;
    FFixedGradientFrom = s->FFixedGradientFrom;
    FFixedGradientTo = s->FFixedGradientTo;
    FFixedGradientMirrorFrom = s->FFixedGradientMirrorFrom;
    FFixedGradientMirrorTo = s->FFixedGradientMirrorTo;
    FFixedGradientHoverFrom = s->FFixedGradientHoverFrom;
    FFixedGradientHoverTo = s->FFixedGradientHoverTo;
    FFixedGradientHoverMirrorFrom = s->FFixedGradientHoverMirrorFrom;
    FFixedGradientHoverMirrorTo = s->FFixedGradientHoverMirrorTo;
    FFixedGradientHoverBorder = s->FFixedGradientHoverBorder;
    FFixedGradientDownFrom = s->FFixedGradientDownFrom;
    FFixedGradientDownTo = s->FFixedGradientDownTo;
    FFixedGradientDownMirrorFrom = s->FFixedGradientDownMirrorFrom;
    FFixedGradientDownMirrorTo = s->FFixedGradientDownMirrorTo;
    FFixedGradientDownBorder = s->FFixedGradientDownBorder;
    FDropDownAlwaysVisible = s->FDropDownAlwaysVisible;
    FSpinButtonsAlwaysVisible = s->FSpinButtonsAlwaysVisible;
    FDropDownCount = s->FDropDownCount;
    FDropDownHeader->Assign(s->FDropDownHeader.get());
    FDropDownFooter->Assign(s->FDropDownFooter.get());
    FHintMaxWidth = s->FHintMaxWidth;
}

// --- banded gradient -----------------------------------------------------------------------------

void DrawGradientRect(TCanvas& Canvas, TColor FromColor, TColor ToColor, int Steps, TRect R,
                      bool Horizontal) {
    if (Steps == 0) Steps = 1;
    const TColor from = ColorToRGB(FromColor), to = ColorToRGB(ToColor);
    const int fr = GetRValue(from), fg = GetGValue(from), fb = GetBValue(from);
    const int dr = GetRValue(to) - fr, dg = GetGValue(to) - fg, db = GetBValue(to) - fb;
    double band;
    if (Horizontal) {
        --R.Right;
        band = double(R.Right - R.Left) / Steps;
    } else {
        --R.Bottom;
        band = double(R.Bottom - R.Top) / Steps;
    }
    const int size = int(std::lrint(band)) + 1;
    for (int n = 0; n < Steps; ++n) {
        auto channel = [&](int f, int d) { return f + int(std::lrint(double(n) * d / Steps)); };
        const TColor c = RGB(channel(fr, dr), channel(fg, dg), channel(fb, db));
        Canvas.Pen()->SetColor(c);
        Canvas.Brush()->SetColor(c);
        // The offset is a 16-bit quantity in the drawing call.
        if (Horizontal) {
            const int x = std::int16_t(R.Left + std::lrint(n * band));
            Canvas.Rectangle(x, R.Top, x + size, R.Bottom);
        } else {
            const int y = std::int16_t(R.Top + std::lrint(n * band));
            Canvas.Rectangle(R.Left, y, R.Right, y + size);
        }
    }
}
