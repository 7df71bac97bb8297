#pragma once
// Draws, measures and hit-tests a text in the small tag language of cells, footers and hints,
// inside a rectangle of a canvas. Tags: A, B, BR, BLINK, BODY, E, FONT, HI, HR, I, IND, LI, P, R,
// S, SHAD, SUB, SUP, U, UL, Z and their closing tags; unknown tags are ignored.
#include "platform/base/Types.h"

#include <string>
#include <string_view>

class TCanvas;

struct HTMLRenderOptions {
    int HitX = -1;
    int HitY = -1;
    // Anchors before the focused one (0 = first anchor), -1 none.
    int FocusedLink = -1;
    // Number (from 1) of the hovered anchor, used with HoverOnly.
    int HoveredLink = -1;
    int ShadowShift = 1;
    // The second pass only tests the hit point and draws nothing.
    bool HitTestOnly = false;
    // Only the measuring pass runs; nothing is drawn.
    bool MeasureOnly = false;
    // Colour tags and link colours are ignored (the caller has set selection colours).
    bool SelectedLook = false;
    bool BlinkVisible = true;
    // Underline and hover colours apply only to the anchor numbered HoveredLink.
    bool HoverOnly = false;
    bool WordWrap = false;
    TColor LinkColor = clBlue;
    TColor HoverBackColor = clNone;
    TColor HoverTextColor = clNone;
    TColor ShadowColor = clGray;
};

struct HTMLRenderResult {
    // Reference of the anchor under the hit point; left alone when none is hit.
    std::string HitHref;
    // The text runs in order, one carriage return for each BR.
    std::string PlainText;
    std::string FocusedHref;
    std::string HitTitle;
    int MaxLineWidth = 0;
    int TotalHeight = 0;
    int LinkCount = 0;
    // Number (from 1) of the anchor under the hit point, -1 none.
    int HitLink = -1;
    // Rectangle of that anchor on its last line.
    TRect HitLinkRect;
};

// True when the hit point lies on an anchor. The canvas's pen, brush, font and background mode
// are as before when the call returns.
bool HTMLRenderText(TCanvas& canvas, std::string_view markup, const TRect& bounds,
                    const HTMLRenderOptions& options, HTMLRenderResult& result);

// "#RRGGBB" (upper-case digits) as a colour.
TColor HTMLColorFromHex(std::string_view value);
// A colour name such as "clred" or "clbtnface"; unknown names give black.
TColor HTMLColorFromName(std::string_view name);
