#pragma once
// Draws, measures and hit-tests a text in the small tag language of cells, footers and hints,
// inside a rectangle of a canvas. Tags: A, B, BR, BLINK, BODY, CONTROL, E, FONT, HI, HR, I, IMG,
// IND, LI, P, R, S, SHAD, SUB, SUP, U, UL, Z and their closing tags; unknown tags are ignored.
// IMG and CONTROL place boxes on the line: pictures from an image list, the system icons, a
// picture container or a picture cache, and drawn form controls.
#include "platform/base/Types.h"
#include "platform/ui/core/Controls.h"
#include "platform/ui/core/Messages.h"

#include <string>
#include <string_view>

class TCanvas;
class TBitmap;
class TImageList;
class THTMLPictureCache;
class TPictureContainer;

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
    // The mouse button is down: embedded push buttons under the hit point look pressed.
    bool ButtonDown = false;
    // Image-list and system-icon pictures are drawn stretched by ScaleFactor.
    bool PrintScale = false;
    double ScaleFactor = 1.0;
    // Sources of IMG pictures: "IDX:n", a name, a URL ("RES://", "FILE://"); nullptr: none.
    TImageList* ImageList = nullptr;
    TPictureContainer* PictureContainer = nullptr;
    THTMLPictureCache* PictureCache = nullptr;
    // The window whose theme data would draw embedded controls.
    HWND ThemeWindow = nullptr;
    TColor LinkColor = clBlue;
    TColor HoverBackColor = clNone;
    TColor HoverTextColor = clNone;
    TColor ShadowColor = clGray;
    // Right to left (bdRightToLeft) a line's runs follow each other from its right end and the
    // line's alignment is mirrored; every right-to-left mode reads the runs from the right.
    TBiDiMode BiDiMode = bdLeftToRight;
};

// The DrawText flags of a run in the reading order: for bdRightToLeft DT_RIGHT is dropped, or
// added unless centred; DT_RTLREADING for every right-to-left mode.
unsigned HTMLDrawTextFlags(unsigned Flags, TBiDiMode BiDiMode);

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
    // The embedded control under the hit point (HitHref is then "ctrl"). ControlID is also an
    // input: with HitTestOnly the control of that ID counts as hit wherever the point is;
    // otherwise the call clears it first.
    TRect ControlRect;
    std::string ControlID;
    std::string ControlValue;
    std::string ControlType;
};

// True when the hit point lies on an anchor, a linked image or an embedded control. The canvas's
// pen, brush, font and background mode are as before when the call returns.
bool HTMLRenderText(TCanvas& canvas, std::string_view markup, const TRect& bounds,
                    const HTMLRenderOptions& options, HTMLRenderResult& result);

// "#RRGGBB" (upper-case digits) as a colour.
TColor HTMLColorFromHex(std::string_view value);
// A colour name such as "clred" or "clbtnface"; unknown names give black.
TColor HTMLColorFromName(std::string_view name);

// Copies the whole bitmap stretched into R.
void HTMLDrawStretched(TCanvas& canvas, const TBitmap& bitmap, const TRect& R);
// The path exists and is a folder.
bool HTMLIsFolder(const std::string& path);
// Draws icon Text (an index, or the path or bare extension of a file) of the system image list
// at (X, Y) (stretched by Scale when printing) and answers its size; 0 x 0 without an icon.
TSize HTMLDrawSysIcon(TCanvas& canvas, int X, int Y, double Scale, bool Print, bool Draw,
                      bool Large, const std::string& Text);
