#include "platform/gfx/Graphics.h"

#include <cmath>

// --- TFont ------------------------------------------------------------------------------------
TFont::TFont() = default;
TFont::~TFont() = default;

void TFont::changed() {
    if (OnChange) OnChange(this);
}

void TFont::SetName(const std::string& v) {
    if (v == name_ || v.empty()) return;
    name_ = v;
    changed();
}
void TFont::SetHeight(int v) {
    if (v == height_) return;
    height_ = v;
    changed();
}
int TFont::Size() const {
    // Size = -MulDiv(Height, 72, PixelsPerInch), rounded as MulDiv rounds.
    long long n = -(long long)height_ * 72;
    long long q = (std::llabs(n) * 2 + ScreenPixelsPerInch) / (2 * ScreenPixelsPerInch);
    return int(n < 0 ? -q : q);
}
void TFont::SetSize(int points) {
    long long n = -(long long)points * ScreenPixelsPerInch;
    long long q = (std::llabs(n) * 2 + 72) / 144;
    SetHeight(int(n < 0 ? -q : q));
}
void TFont::SetStyle(TFontStyles v) {
    if (v == style_) return;
    style_ = v;
    changed();
}
void TFont::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    changed();
}
void TFont::SetOrientation(int v) {
    if (v == orientation_) return;
    orientation_ = v;
    changed();
}
void TFont::SetCharset(TFontCharset v) {
    if (v == charset_) return;
    charset_ = v;
    changed();
}
void TFont::SetPitch(TFontPitch v) {
    if (v == pitch_) return;
    pitch_ = v;
    changed();
}
void TFont::SetQuality(TFontQuality v) {
    if (v == quality_) return;
    quality_ = v;
    changed();
}
bool TFont::IsEqual(const TFont& o) const {
    return SameText(name_, o.name_) && height_ == o.height_ && style_ == o.style_ &&
           color_ == o.color_ && orientation_ == o.orientation_ && charset_ == o.charset_ &&
           pitch_ == o.pitch_ && quality_ == o.quality_;
}
void TFont::Assign(const TPersistent* Source) {
    if (auto* f = dynamic_cast<const TFont*>(Source)) {
        if (f == this) return;
        name_ = f->name_;
        height_ = f->height_;
        style_ = f->style_;
        color_ = f->color_;
        orientation_ = f->orientation_;
        charset_ = f->charset_;
        pitch_ = f->pitch_;
        quality_ = f->quality_;
        changed();
        return;
    }
    TPersistent::Assign(Source);
}

// --- TPen -------------------------------------------------------------------------------------
int PenModeToRop2(TPenMode mode) {
    static const int table[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
                                R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                                R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                                R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
    return table[int(mode)];
}

void TPen::changed() {
    if (OnChange) OnChange(this);
}
void TPen::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    changed();
}
void TPen::SetWidth(int v) {
    if (v < 0) v = 0;
    if (v == width_) return;
    width_ = v;
    changed();
}
void TPen::SetStyle(TPenStyle v) {
    if (v == style_) return;
    style_ = v;
    changed();
}
void TPen::SetMode(TPenMode v) {
    if (v == mode_) return;
    mode_ = v;
    changed();
}
void TPen::Assign(const TPersistent* Source) {
    if (auto* p = dynamic_cast<const TPen*>(Source)) {
        if (p == this) return;
        color_ = p->color_;
        width_ = p->width_;
        style_ = p->style_;
        mode_ = p->mode_;
        changed();
        return;
    }
    TPersistent::Assign(Source);
}

// --- TBrush -----------------------------------------------------------------------------------
void TBrush::changed() {
    if (OnChange) OnChange(this);
}
void TBrush::SetColor(TColor v) {
    // As the model: a colour on a clear brush makes it solid.
    bool wasClear = style_ == bsClear;
    if (v == color_ && !wasClear) return;
    color_ = v;
    if (wasClear) style_ = bsSolid;
    changed();
}
void TBrush::SetStyle(TBrushStyle v) {
    if (v == style_) return;
    style_ = v;
    changed();
}
void TBrush::SetBitmap(TBitmap* v) {
    if (v == bitmap_) return;
    bitmap_ = v;
    changed();
}
void TBrush::Assign(const TPersistent* Source) {
    if (auto* b = dynamic_cast<const TBrush*>(Source)) {
        if (b == this) return;
        color_ = b->color_;
        style_ = b->style_;
        bitmap_ = b->bitmap_;
        changed();
        return;
    }
    TPersistent::Assign(Source);
}

// --- TTextFormat ------------------------------------------------------------------------------
unsigned TTextFormat::ToDrawTextFlags() const {
    static const unsigned table[] = {
        DT_BOTTOM,       DT_CALCRECT,      DT_CENTER,       DT_EDITCONTROL,
        DT_END_ELLIPSIS, DT_PATH_ELLIPSIS, DT_EXPANDTABS,   DT_EXTERNALLEADING,
        DT_LEFT,         DT_MODIFYSTRING,  DT_NOCLIP,       DT_NOPREFIX,
        DT_RIGHT,        DT_RTLREADING,    DT_SINGLELINE,   DT_TOP,
        DT_VCENTER,      DT_WORDBREAK,     DT_HIDEPREFIX,   DT_NOFULLWIDTHCHARBREAK,
        DT_PREFIXONLY,   DT_TABSTOP,       DT_WORD_ELLIPSIS};
    unsigned out = 0;
    for (unsigned i = 0; i < sizeof(table) / sizeof(table[0]); ++i)
        if (bits_ & (1u << i)) out |= table[i];
    return out;
}
