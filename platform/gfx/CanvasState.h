#pragma once
// Internal to platform/gfx: the device-context state behind a TCanvas.
#include "platform/gfx/Graphics.h"

#include <cstdint>
#include <vector>

namespace gfx {
// The part of the device state that SaveDC keeps and RestoreDC brings back.
struct SavedState {
    int bkMode = OPAQUE;
    TColor bkColor = clWhite;
    TColor textColor = clBlack;
    int rop2 = R2_COPYPEN;
    TPoint windowOrg;
    TPoint viewportOrg;
    TPoint brushOrg;
    bool hasClip = false;
    TRegion clip; // device coordinates
};
struct ResolvedFont;

// A device rectangle that the last drawing pass left in one colour. Confirmed at the end of
// its operation with the target's change stamp; any other change of the pixels makes it stale.
struct SolidArea {
    TRect rect;
    std::uint32_t color = 0;
    std::uint64_t stamp = 0;
    bool valid = false;
    bool confirmed = false;
};
} // namespace gfx

struct TCanvas::State : gfx::SavedState {
    // Set when the canvas object changed; the device state follows it at the next use,
    // so SetBkMode after a brush change holds until the brush changes again.
    bool fontDirty = true;
    bool brushDirty = true;
    bool penDirty = true;
    std::vector<gfx::SavedState> saved;
    // The font as last resolved for text (fontChanged: the canvas's font changed since).
    gfx::ResolvedFont* font = nullptr;
    std::uint64_t fontGeneration = 0;
    bool fontChanged = true;
    gfx::SolidArea solid;
};

namespace gfx {
// Brings the device state in line with the canvas's font, brush and pen.
void syncState(TCanvas& c);
// The frame of one drawing operation: OnChanging and the device state sync before it,
// OnChange after it.
struct Op {
    explicit Op(TCanvas& c) : c(c) {
        c.Changing();
        syncState(c);
    }
    ~Op() { c.Changed(); }
    TCanvas& c;
};
// Logical to device offset.
inline TPoint deviceOffset(const TCanvas::State& s) {
    return {s.viewportOrg.X - s.windowOrg.X, s.viewportOrg.Y - s.windowOrg.Y};
}
} // namespace gfx
