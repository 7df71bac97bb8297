#include "grid/core/base/GridTheme.h"

#include "platform/ui/core/Forms.h"

#include <algorithm>
#include <cstring>

namespace {
const char* const Office14Key = "Software\\Microsoft\\Office\\14.0\\Common";
const char* const Office12Key = "Software\\Microsoft\\Office\\12.0\\Common";

TThemeNotifier* sharedNotifier = nullptr;

// The integer "Theme" of an Office settings key; -1 when the key or value is missing.
int officeThemeValue(const char* key) {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKeyReadOnly(key) || !reg.ValueExists("Theme")) return -1;
    return reg.ReadInteger("Theme");
}
} // namespace

bool IsWindowsXPOrLater() {
    return Win32MajorVersion() > 5 || (Win32MajorVersion() == 5 && Win32MinorVersion() != 0);
}

bool IsWindowsVistaOrLater() {
    return GetProcAddress(GetModuleHandle("kernel32"), "GetLocaleInfoEx") != nullptr;
}

int GetFileVersion(const std::string& FileName) {
    DWORD size = GetFileVersionInfoSize(FileName);
    if (size == 0) return -1;
    std::vector<unsigned char> buffer(size);
    if (!GetFileVersionInfo(FileName, size, buffer.data())) return -1;
    void* block = nullptr;
    UINT len = 0;
    if (!VerQueryValue(buffer.data(), "\\", &block, &len) || len < sizeof(VS_FIXEDFILEINFO))
        return -1;
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(block);
    return info->dwSignature == VS_FFI_SIGNATURE ? int(info->dwFileVersionMS) : -1;
}

bool IsComCtl6() {
    int v = GetFileVersion("COMCTL32.DLL");
    return v >= 0 && (v >> 16) > 5;
}

bool VisualStylesActive() {
    return IsWindowsXPOrLater() && ThemeIsActive(GridThemeBinding()) != 0 && IsComCtl6();
}

std::string DefaultFontName() {
    return IsWindowsVistaOrLater() ? "Segoe UI" : "Tahoma";
}

int GetXPColorScheme() {
    if (!IsWindowsXPOrLater()) return 0;
    HMODULE lib = LoadLibrary("uxtheme.dll");
    if (!lib) return 0;
    int scheme = 0;
    using IsThemeActiveFn = BOOL (*)();
    using GetCurrentThemeNameFn = long (*)(char16_t*, int, char16_t*, int, char16_t*, int);
    auto active = reinterpret_cast<IsThemeActiveFn>(GetProcAddress(lib, "IsThemeActive"));
    auto name = reinterpret_cast<GetCurrentThemeNameFn>(GetProcAddress(lib, "GetCurrentThemeName"));
    if (active && name && active() != 0 && IsComCtl6()) {
        char16_t file[256]{}, color[256]{}, size[256]{};
        name(file, 255, color, 255, size, 255);
        std::u16string c(color);
        if (c.find(u"NormalColor") != std::u16string::npos)
            scheme = 1;
        else if (c.find(u"HomeStead") != std::u16string::npos)
            scheme = 2;
        else if (c.find(u"Metallic") != std::u16string::npos)
            scheme = 3;
    }
    FreeLibrary(lib);
    return scheme;
}

int GetOfficeVersion() {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (reg.KeyExists("Software\\Microsoft\\Office\\14.0\\Common\\General")) return 2;
    if (reg.KeyExists("Software\\Microsoft\\Office\\12.0\\Common\\General")) return 1;
    return 0;
}

TOfficeTheme GetOfficeTheme() {
    int v = officeThemeValue(Office14Key);
    if (v == 1) return ot2010Blue;
    if (v == 2) return ot2010Silver;
    if (v == 3) return ot2010Black;
    if (v != -1) return ot2003Blue;
    v = officeThemeValue(Office12Key);
    if (v == 1) return ot2007Blue;
    if (v == 2) return ot2007Silver;
    if (v == 3) return ot2007Black;
    if (v != -1) return ot2003Blue;
    switch (GetXPColorScheme()) {
    case 0:
        return ot2003Classic;
    case 2:
        return ot2003Olive;
    case 3:
        return ot2003Silver;
    default:
        return ot2003Blue;
    }
}

// --- THandleList -----------------------------------------------------------------------------
int THandleList::Count() const {
    std::lock_guard lock(m_);
    return int(items_.size());
}

HWND THandleList::Items(int Index) const {
    std::lock_guard lock(m_);
    return items_.at(std::size_t(Index));
}

void THandleList::SetItems(int Index, HWND Value) {
    std::lock_guard lock(m_);
    items_.at(std::size_t(Index)) = Value;
}

void THandleList::Add(HWND Value) {
    std::lock_guard lock(m_);
    items_.push_back(Value);
}

void THandleList::Insert(int Index, HWND Value) {
    std::lock_guard lock(m_);
    items_.insert(items_.begin() + std::clamp<std::ptrdiff_t>(Index, 0, items_.size()), Value);
}

void THandleList::Delete(int Index) {
    std::lock_guard lock(m_);
    if (Index >= 0 && Index < int(items_.size())) items_.erase(items_.begin() + Index);
}

void THandleList::DeleteValue(HWND Value) {
    std::lock_guard lock(m_);
    auto it = std::find(items_.begin(), items_.end(), Value);
    if (it != items_.end()) items_.erase(it);
}

bool THandleList::HasValue(HWND Value) const {
    std::lock_guard lock(m_);
    return std::find(items_.begin(), items_.end(), Value) != items_.end();
}

std::vector<HWND> THandleList::Snapshot() const {
    std::lock_guard lock(m_);
    return items_;
}

// --- TRegMonitorThread -----------------------------------------------------------------------
TRegMonitorThread::TRegMonitorThread()
    : TThread(true), FReg(std::make_unique<TRegistry>()), FEvent(std::make_unique<TEvent>()),
      FWinList(std::make_unique<THandleList>()) {}

TRegMonitorThread::~TRegMonitorThread() {
    Stop();
    WaitFor();
    RegCancelNotify(FEvent.get());
}

void TRegMonitorThread::Stop() {
    Terminate();
    FEvent->SetEvent();
}

void TRegMonitorThread::Execute() {
    FReg->SetRootKey(FRootKey);
    if (!FReg->OpenKeyReadOnly(FKey)) throw Exception("Unable to open registry key " + FKey);
    FEvent->ResetEvent();
    RegNotifyChangeKeyValue(FRootKey, FKey, true, Filter(), FEvent.get());
    while (!Terminated()) {
        if (FEvent->WaitFor(INFINITE) != wrSignaled) continue;
        if (Terminated()) break;
        // The key's text stays alive until the synchronous sends return.
        std::string key = FKey;
        Synchronize([this, &key] {
            auto root = WPARAM(FRootKey);
            auto text = reinterpret_cast<LPARAM>(key.c_str());
            if (FWnd) SendMessage(FWnd, WM_REGMONITORCHANGE, root, text);
            for (HWND w : FWinList->Snapshot()) SendMessage(w, WM_REGMONITORCHANGE, root, text);
        });
        FEvent->ResetEvent();
        if (!Terminated()) RegNotifyChangeKeyValue(FRootKey, FKey, true, Filter(), FEvent.get());
    }
}

// --- notifier --------------------------------------------------------------------------------
void TThemeNotifierWindow::WndProc(TMessage& Message) {
    if (Message.Msg == WM_REGMONITORCHANGE && FOnOfficeThemeChange) FOnOfficeThemeChange(this);
    TWinControl::WndProc(Message);
}

TThemeNotifier::TThemeNotifier(TComponent* AOwner) : TComponent(AOwner) {
    if (ComponentState() & csDesigning) return;
    int v = GetOfficeVersion();
    if (v != 1 && v != 2) return;
    FNotifier = new TThemeNotifierWindow(this);
    FNotifier->SetParent(dynamic_cast<TWinControl*>(AOwner));
    FNotifier->SetVisible(false);
    FNotifier->FOnOfficeThemeChange = [this](TObject*) {
        if (OnOfficeThemeChange) OnOfficeThemeChange(this);
    };
    FThread = std::make_unique<TRegMonitorThread>();
    FThread->SetWnd(FNotifier->Handle());
    FThread->SetFilter(REG_NOTIFY_CHANGE_LAST_SET);
    FThread->SetKey(v == 2 ? Office14Key : Office12Key);
    FThread->SetRootKey(HKEY_CURRENT_USER);
    FThread->SetWatchSub(true);
    FThread->Start();
}

TThemeNotifier::~TThemeNotifier() {
    if (FThread) {
        FThread->Stop();
        // The thread may be waiting in a hand-over to this (the UI) thread: serve it until it
        // has ended.
        while (!FThread->Finished()) {
            CheckSynchronize();
            std::this_thread::yield();
        }
        FThread.reset();
    }
    if (sharedNotifier == this) sharedNotifier = nullptr;
}

void TThemeNotifier::RegisterWindow(HWND hWnd) {
    if (FThread && !FThread->WinList()->HasValue(hWnd)) FThread->WinList()->Add(hWnd);
}

void TThemeNotifier::UnRegisterWindow(HWND hWnd) {
    if (FThread) FThread->WinList()->DeleteValue(hWnd);
}

TThemeNotifier* GetThemeNotifier(TComponent* AOwner) {
    if (!sharedNotifier) {
        TComponent* owner = AOwner;
        if (Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
            owner = Application->MainForm();
        sharedNotifier = new TThemeNotifier(owner);
    }
    return sharedNotifier;
}

// --- binding ---------------------------------------------------------------------------------
const std::array<const char*, ThemeEntryPointCount> ThemeEntryPointNames = {
    "OpenThemeData",
    "CloseThemeData",
    "DrawThemeBackground",
    "DrawThemeText",
    "GetThemeBackgroundContentRect",
    "GetThemeBackgroundExtent",
    "GetThemeTextExtent",
    "GetThemeTextMetrics",
    "GetThemeBackgroundRegion",
    "HitTestThemeBackground",
    "DrawThemeEdge",
    "DrawThemeIcon",
    "IsThemePartDefined",
    "IsThemeBackgroundPartiallyTransparent",
    "GetThemeColor",
    "GetThemeMetric",
    "GetThemeString",
    "GetThemeBool",
    "GetThemeInt",
    "GetThemeEnumValue",
    "GetThemePosition",
    "GetThemeFont",
    "GetThemeRect",
    "GetThemeMargins",
    "GetThemeIntList",
    "SetWindowTheme",
    "GetThemeFilename",
    "GetThemeSysColor",
    "GetThemeSysColorBrush",
    "GetThemeSysBool",
    "GetThemeSysSize",
    "GetThemeSysFont",
    "GetThemeSysString",
    "GetThemeSysInt",
    "IsThemeActive",
    "IsAppThemed",
    "GetWindowTheme",
    "EnableThemeDialogTexture",
    "IsThemeDialogTextureEnabled",
    "GetThemeAppProperties",
    "SetThemeAppProperties",
    "GetCurrentThemeName",
    "GetThemeDocumentationProperty",
    "DrawThemeParentBackground",
    "EnableTheming",
};

FARPROC TThemeBinding::Entry(const char* Name) const {
    if (!Loaded) return nullptr;
    for (int i = 0; i < ThemeEntryPointCount; ++i)
        if (std::strcmp(ThemeEntryPointNames[std::size_t(i)], Name) == 0)
            return Entries[std::size_t(i)];
    return nullptr;
}

TThemeBinding& GridThemeBinding() {
    static TThemeBinding b;
    return b;
}

TThemeBinding& DropDownThemeBinding() {
    static TThemeBinding b;
    return b;
}

void InitThemeLibrary(TThemeBinding& Binding) {
    if (Binding.Loaded) return;
    HMODULE lib = LoadLibrary("UXTHEME.DLL");
    if (!lib) return;
    Binding.Library = lib;
    Binding.Loaded = true;
    for (int i = 0; i < ThemeEntryPointCount; ++i) {
        const char* name = ThemeEntryPointNames[std::size_t(i)];
        Binding.Entries[std::size_t(i)] = GetProcAddress(lib, name);
        if (!Binding.Entries[std::size_t(i)])
            throw Exception(std::string("Visual-style entry point not found: ") + name);
    }
}

void FreeThemeLibrary(TThemeBinding& Binding) {
    if (!Binding.Loaded) return;
    FreeLibrary(Binding.Library);
    Binding = TThemeBinding{};
}

BOOL ThemeIsActive(const TThemeBinding& Binding) {
    auto fn = reinterpret_cast<BOOL (*)()>(Binding.Entry("IsThemeActive"));
    return fn ? fn() : 0;
}
