#pragma once
// Visual styles: parts of controls drawn in the platform's themed look. A theme is opened by
// its class name for a window; classes without themed parts here open no theme.
#include "platform/gfx/Graphics.h"

struct HWND__;
struct HTHEME__;
using HTHEME = HTHEME__*;

// The "HEADER" class: header items and the sort arrow.
constexpr int HP_HEADERITEM = 1;
constexpr int HIS_NORMAL = 1;
constexpr int HIS_HOT = 2;
constexpr int HIS_PRESSED = 3;
constexpr int HP_HEADERSORTARROW = 4;
constexpr int HSAS_SORTEDUP = 1;
constexpr int HSAS_SORTEDDOWN = 2;

enum THEMESIZE { TS_MIN, TS_TRUE, TS_DRAW };

// nullptr when no class of the ';'-separated ClassList has themed parts.
HTHEME OpenThemeData(HWND__* Wnd, const char* ClassList);
void CloseThemeData(HTHEME Theme);
// False for a part or state the theme does not have.
bool DrawThemeBackground(HTHEME Theme, HDC DC, int PartId, int StateId, const TRect& Rect,
                         const TRect* ClipRect = nullptr);
bool GetThemePartSize(HTHEME Theme, HDC DC, int PartId, int StateId, const TRect* Rect,
                      THEMESIZE Size, TSize& PartSize);
