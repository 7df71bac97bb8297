// Balloon tooltips over the cells: the balloon window and the text it asks for.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridDraw.h"
#include "grid/core/base/GridUtils.h"
#include "grid/render/LookSettings.h"
#include "grid/render/markup/MarkupText.h"
#include "platform/ui/core/ToolTips.h"

namespace {

constexpr std::size_t kMaxText = 2048;
constexpr std::size_t kMaxTitle = 100;
constexpr DWORD kLayeredAlpha = 2; // LWA_ALPHA: one opacity for the whole window

// At most max characters: longer texts keep max - 3 of them and end in "...".
std::string shortened(const std::string& s, std::size_t max) {
    if (Utf8Length(s) <= max) return s;
    return Utf8Substr(s, 0, max - 3) + "...";
}

} // namespace

void TQorStringGrid::BalloonInit() {
    if (!FBalloon->Init()) {
        FBalloon->SetInit(true);
        FBalloonWindow = new TToolTipWindow(this);
        FBalloonWindow->SetTipStyle(TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_BALLOON);
        FBalloonWindow->HandleNeeded();
        if (FBalloon->InitialDelay() != -1)
            FBalloonWindow->Perform(TTM_SETDELAYTIME, TTDT_INITIAL, FBalloon->InitialDelay());
        if (FBalloon->ReshowDelay() != -1)
            FBalloonWindow->Perform(TTM_SETDELAYTIME, TTDT_RESHOW, FBalloon->ReshowDelay());
        if (FBalloon->AutoHideDelay() != -1)
            FBalloonWindow->Perform(TTM_SETDELAYTIME, TTDT_AUTOPOP, FBalloon->AutoHideDelay());
        if (FBalloon->Transparency() > 0)
            DynSetLayeredWindowAttributes(FBalloonWindow->Handle(), clNone,
                                          std::uint8_t(255 - FBalloon->Transparency()),
                                          kLayeredAlpha);
    }
    // One tool over the client area, its text asked for each time. A grid without a window
    // gets it when the window is made.
    if (!FBalloonWindow || FBalloonWindow->ToolCount() > 0 || !HandleAllocated() || !Parent())
        return;
    TOOLINFO tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<std::uintptr_t>(Handle());
    tool.rect = ClientRect();
    tool.lpszText = LPSTR_TEXTCALLBACK;
    FBalloonWindow->Perform(TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&tool));
    FBalloonTitle = "ToolTipText";
    FBalloonWindow->Perform(TTM_SETTITLE, TTI_ERROR,
                            reinterpret_cast<LPARAM>(FBalloonTitle.c_str()));
}

void TQorStringGrid::BalloonDone() {
    // The window goes whenever it exists: Enable is already off when balloons are switched off.
    delete FBalloonWindow;
    FBalloonWindow = nullptr;
    FBalloon->SetInit(false);
    FLastBalloonPos = {-1, -1};
}

void TQorStringGrid::balloonText(NMTTDISPINFO& Info) {
    TPoint p;
    GetCursorPos(p);
    p = ScreenToClient(p);
    int col = -1, row = -1;
    MouseToCell(p.X, p.Y, col, row);
    const bool onCell = col >= 0 && row >= 0;
    std::string text, title = " ";
    int icon = biInfo;
    int realCol = -1;
    if (onCell) {
        const TPoint base = BaseCell(col, row);
        col = base.X;
        row = base.Y;
        realCol = RealColIndex(col);
        const std::string cell = Cells(realCol, row);
        switch (GetCellTextKind(cell, FEnableHTML)) {
        case ctkMarkup:
            text = HTMLStripTags(cell);
            break;
        case ctkRTF: {
            TRichText rich;
            rich.Load(cell);
            text = rich.PlainText();
            break;
        }
        case ctkPackedWide:
            text = WideToUtf8(WideCells(realCol, row));
            break;
        default:
            text = cell;
        }
        for (char& ch : text)
            if (ch == '\t') ch = ' ';
        text = text.substr(std::min(text.size(), text.find_first_not_of("\r\n\t")));
        text = shortened(text, kMaxText);
        std::string t, x;
        TBalloonIcon i = biNone;
        if (IsBalloon(realCol, row, t, x, i)) {
            title = t;
            text = x;
            icon = i;
        }
    }
    if (OnCellBalloon) OnCellBalloon(this, realCol, row, title, text, icon);
    FLastBalloonPos = onCell ? TPoint{col, row} : TPoint{-1, -1};
    FBalloonText = text;
    Info.lpszText = FBalloonText.c_str();
    FBalloonTitle = shortened(title, kMaxTitle);
    TToolTipWindow* tip = FBalloonWindow;
    if (!tip) return;
    tip->Perform(TTM_SETMAXTIPWIDTH, 0, 300);
    if (FBalloon->TextColor() != clNone)
        tip->Perform(TTM_SETTIPTEXTCOLOR, WPARAM(ColorToRGB(FBalloon->TextColor())));
    if (FBalloon->BackgroundColor() != clNone)
        tip->Perform(TTM_SETTIPBKCOLOR, WPARAM(ColorToRGB(FBalloon->BackgroundColor())));
    tip->Perform(TTM_SETTITLE, WPARAM(icon >= 0 && icon <= 3 ? icon : 0),
                 reinterpret_cast<LPARAM>(FBalloonTitle.c_str()));
}
