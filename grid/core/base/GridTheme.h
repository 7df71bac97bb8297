#pragma once
// The grid library's style types, the platform probes (system version, common controls, visual
// styles), the Office colour scheme detection, the theme notifier that watches the Office
// settings key and tells registered windows, and the visual-style binding (one copy for the
// grid, one for the drop-down controls). Without visual styles every caller takes its
// fallback: IsThemeActive of an unloaded binding answers 0.
#include "platform/base/Threads.h"
#include "platform/ui/core/Controls.h"
#include "platform/ui/core/Registry.h"
#include "platform/ui/core/SysInfo.h"

#include <array>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

enum TQorStyle {
    tsOffice2003Blue,
    tsOffice2003Silver,
    tsOffice2003Olive,
    tsOffice2003Classic,
    tsOffice2007Luna,
    tsOffice2007Obsidian,
    tsWindowsXP,
    tsWhidbey,
    tsCustom,
    tsOffice2007Silver,
    tsWindowsVista,
    tsWindows7,
    tsTerminal,
    tsOffice2010Blue,
    tsOffice2010Silver,
    tsOffice2010Black
};

struct TColorTone {
    TColor BrushColor = clNone;
    TColor BorderColor = clNone;
    TColor TextColor = clNone;
};

struct TColorTones {
    TColorTone Background;
    TColorTone Foreground;
    TColorTone Selected;
    TColorTone Hover;
    TColorTone Disabled;
};

enum TOfficeTheme {
    ot2003Blue,
    ot2003Silver,
    ot2003Olive,
    ot2003Classic,
    ot2007Blue,
    ot2007Silver,
    ot2007Black,
    ot2010Blue,
    ot2010Silver,
    ot2010Black,
    otUnknown
};

// A control that can take a library style.
class IQorStyle {
public:
    virtual ~IQorStyle() = default;
    virtual void SetComponentStyle(TQorStyle AStyle) = 0;
};

class IQorTones {
public:
    virtual ~IQorTones() = default;
    virtual void SetColorTones(const TColorTones& ATones) = 0;
};

// --- probes ----------------------------------------------------------------------------------
bool IsWindowsXPOrLater();
bool IsWindowsVistaOrLater();
bool IsComCtl6();
bool VisualStylesActive();
std::string DefaultFontName();
// major * 65536 + minor of a file's version resource; -1 without one.
int GetFileVersion(const std::string& FileName);
// 0 none or another scheme, 1 "NormalColor", 2 "HomeStead", 3 "Metallic".
int GetXPColorScheme();
// 2 with the Office 14.0 settings key, 1 with the 12.0 key, else 0.
int GetOfficeVersion();
// A "Theme" value that is not an integer raises the settings store's error.
TOfficeTheme GetOfficeTheme();

// --- theme notifier --------------------------------------------------------------------------
constexpr UINT WM_REGMONITORCHANGE = 2993;

// Window handles to notify. Locked: the UI thread changes it while the monitor thread reads.
class THandleList {
public:
    int Count() const;
    HWND Items(int Index) const;
    void SetItems(int Index, HWND Value);
    void Add(HWND Value);
    void Insert(int Index, HWND Value);
    void Delete(int Index);
    // Deletes the first occurrence; nothing when absent.
    void DeleteValue(HWND Value);
    bool HasValue(HWND Value) const;
    // The handles in list order, taken under the lock.
    std::vector<HWND> Snapshot() const;

private:
    mutable std::mutex m_;
    std::vector<HWND> items_;
};

// Watches a key of the settings store and sends WM_REGMONITORCHANGE to Wnd and then to every
// listed window, on the UI thread, after each change.
class TRegMonitorThread : public TThread {
public:
    TRegMonitorThread();
    ~TRegMonitorThread() override;

    const std::string& Key() const { return FKey; }
    void SetKey(const std::string& v) { FKey = v; }
    HKEY RootKey() const { return FRootKey; }
    void SetRootKey(HKEY v) { FRootKey = v; }
    bool WatchSub() const { return FWatchSub; }
    void SetWatchSub(bool v) { FWatchSub = v; }
    // 0 reads as 15: name, attributes, last-set and security changes.
    DWORD Filter() const { return FFilter == 0 ? 15 : FFilter; }
    void SetFilter(DWORD v) { FFilter = v; }
    HWND Wnd() const { return FWnd; }
    void SetWnd(HWND v) { FWnd = v; }
    THandleList* WinList() const { return FWinList.get(); }
    // Asks the thread to end and wakes its wait.
    void Stop();

protected:
    void Execute() override;

private:
    std::unique_ptr<TRegistry> FReg;
    // Private to the process: no other monitor shares it.
    std::unique_ptr<TEvent> FEvent;
    std::string FKey;
    HKEY FRootKey = HKEY_CURRENT_USER;
    bool FWatchSub = true;
    DWORD FFilter = 0;
    HWND FWnd = nullptr;
    std::unique_ptr<THandleList> FWinList;
};

// Never shown; turns WM_REGMONITORCHANGE into FOnOfficeThemeChange.
class TThemeNotifierWindow : public TWinControl {
public:
    using TWinControl::TWinControl;
    TNotifyEvent FOnOfficeThemeChange;

protected:
    void WndProc(TMessage& Message) override;
};

class TThemeNotifier : public TComponent {
public:
    explicit TThemeNotifier(TComponent* AOwner);
    ~TThemeNotifier() override;
    // Without a monitor thread (no Office 2007 or 2010 settings) both do nothing.
    void RegisterWindow(HWND hWnd);
    void UnRegisterWindow(HWND hWnd);
    TRegMonitorThread* RegMonitorThread() const { return FThread.get(); }

    TNotifyEvent OnOfficeThemeChange;

private:
    // Owned and joined here rather than freeing itself, so that nothing outlives the process.
    std::unique_ptr<TRegMonitorThread> FThread;
    TThemeNotifierWindow* FNotifier = nullptr;
};

// The process's one notifier, created on first use with the main form as owner when it has a
// window, else AOwner.
TThemeNotifier* GetThemeNotifier(TComponent* AOwner);

// --- visual-style binding --------------------------------------------------------------------
constexpr int ThemeEntryPointCount = 45;
extern const std::array<const char*, ThemeEntryPointCount> ThemeEntryPointNames;

struct TThemeBinding {
    bool Loaded = false;
    HMODULE Library = nullptr;
    std::array<FARPROC, ThemeEntryPointCount> Entries{};
    FARPROC Entry(const char* Name) const;
};

TThemeBinding& GridThemeBinding();
TThemeBinding& DropDownThemeBinding();
// Loads "UXTHEME.DLL" and binds its entry points (nothing when loaded already); a missing entry
// point raises. Without the library the binding stays unloaded.
void InitThemeLibrary(TThemeBinding& Binding);
void FreeThemeLibrary(TThemeBinding& Binding);
// IsThemeActive through a binding; 0 when it is not loaded.
BOOL ThemeIsActive(const TThemeBinding& Binding);
