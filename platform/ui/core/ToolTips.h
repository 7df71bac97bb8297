#pragma once
// The tooltip control ("Tooltips_Class32"): a pop-up that shows a tip over a tool after the
// pointer has rested there for the initial delay and hides it after the auto-pop delay, when
// the pointer leaves the tool or a button goes down, or on TTM_POP. With TTS_BALLOON the tip is
// a balloon with an optional title and title icon. A tool added with TTF_SUBCLASS watches its
// window's mouse messages itself; a tool whose text is LPSTR_TEXTCALLBACK asks its window for
// the text each time with WM_NOTIFY TTN_GETDISPINFO (the answer's text must stay valid until
// the notification returns).
#include "platform/ui/core/Controls.h"

#include <cstdint>
#include <string>

constexpr DWORD TTS_ALWAYSTIP = 0x01;
constexpr DWORD TTS_NOPREFIX = 0x02;
constexpr DWORD TTS_BALLOON = 0x40;

constexpr UINT TTF_IDISHWND = 0x0001;
constexpr UINT TTF_SUBCLASS = 0x0010;

// Texts are UTF-8 in this layer.
constexpr UINT TTM_SETDELAYTIME = WM_USER + 3;
constexpr UINT TTM_ADDTOOL = WM_USER + 50;
constexpr UINT TTM_GETTOOLCOUNT = WM_USER + 13;
constexpr UINT TTM_SETTIPBKCOLOR = WM_USER + 19;
constexpr UINT TTM_SETTIPTEXTCOLOR = WM_USER + 20;
constexpr UINT TTM_SETMAXTIPWIDTH = WM_USER + 24;
constexpr UINT TTM_POP = WM_USER + 28;
constexpr UINT TTM_SETTITLE = WM_USER + 33;

// Delays of TTM_SETDELAYTIME (WParam); LParam the milliseconds, -1 the default.
constexpr WPARAM TTDT_RESHOW = 1;
constexpr WPARAM TTDT_AUTOPOP = 2;
constexpr WPARAM TTDT_INITIAL = 3;

// Title icons of TTM_SETTITLE (WParam).
constexpr int TTI_NONE = 0;
constexpr int TTI_INFO = 1;
constexpr int TTI_WARNING = 2;
constexpr int TTI_ERROR = 3;

inline char* const LPSTR_TEXTCALLBACK = reinterpret_cast<char*>(std::intptr_t(-1));

// TTM_ADDTOOL (LParam points to it).
struct TOOLINFO {
    UINT cbSize = sizeof(TOOLINFO);
    UINT uFlags = 0;
    HWND hwnd = nullptr;
    // With TTF_IDISHWND the tool's window.
    std::uintptr_t uId = 0;
    // Client coordinates of hwnd; the whole window with TTF_IDISHWND.
    TRect rect;
    const char* lpszText = nullptr;
    LPARAM lParam = 0;
};

// WM_NOTIFY TTN_GETDISPINFO: the window sets lpszText or fills szText.
struct NMTTDISPINFO {
    NMHDR hdr;
    const char* lpszText = nullptr;
    char szText[80] = {};
    UINT uFlags = 0;
    LPARAM lParam = 0;
};

class TToolTipWindow : public TCustomControl {
public:
    explicit TToolTipWindow(TComponent* AOwner);
    ~TToolTipWindow() override;
    std::string PeerClassName() const override { return "HINT"; }

    // The TTS_ styles; set before the window is made.
    DWORD TipStyle() const { return tipStyle_; }
    void SetTipStyle(DWORD v) { tipStyle_ = v; }

    int ToolCount() const { return toolWindow_ ? 1 : 0; }
    // What the shown (or last shown) tip holds.
    const std::string& TipText() const { return text_; }
    const std::string& Title() const { return title_; }
    int TitleIcon() const { return titleIcon_; }
    int MaxTipWidth() const { return maxWidth_; }
    TColor TipTextColor() const { return textColor_; }
    TColor TipBkColor() const { return bkColor_; }
    // The delay in milliseconds (TTDT_INITIAL, TTDT_RESHOW, TTDT_AUTOPOP).
    int Delay(WPARAM which) const;

protected:
    void WndProc(TMessage& Message) override;
    void WMTimer(TWMTimer& Message) override;
    void CreateParams(TCreateParams& Params) override;
    bool IsTopLevelWindow() const override { return true; }
    void Paint() override;

private:
    void addTool(const TOOLINFO& info);
    // A mouse message of the tool's window.
    void relay(const TMessage& Message);
    void startWait(unsigned ms);
    void showTip();
    void pop();
    TSize layout();
    DWORD tipStyle_ = 0;
    TWinControl* toolWindow_ = nullptr;
    TOOLINFO tool_;
    std::string toolText_;
    // Cleared when this control goes: the tool window's watcher then only passes messages on.
    std::shared_ptr<bool> watching_;
    std::string text_;
    std::string title_;
    int titleIcon_ = TTI_NONE;
    int maxWidth_ = -1;
    TColor textColor_ = clInfoText;
    TColor bkColor_ = clInfoBk;
    int initial_ = -1, reshow_ = -1, autoPop_ = -1;
    TPoint lastPos_{-1, -1};
    bool shown_ = false;
    bool waiting_ = false;
    // The pointer left the tip's tool; the next rest waits the reshow delay if a tip was shown.
    std::uint64_t hiddenAt_ = 0;
};
