#include "grid/core/GridLibrary.h"
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridTheme.h"
#include "platform/base/FormatSettings.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Points the settings store at a file with the given text for one test.
class SettingsStoreFile {
public:
    explicit SettingsStoreFile(const std::string& text)
        : path_("/tmp/g2_settings_" + std::to_string(::getpid()) + ".txt") {
        std::ofstream(path_) << text;
        SetRegistryFile(path_);
    }
    ~SettingsStoreFile() {
        SetRegistryFile("");
        std::remove(path_.c_str());
    }

private:
    std::string path_;
};

TEST(GridLibraryTest, SetUpOnceBeforeTheFirstGrid) {
    GridLibraryInitialize();
    TGridLibraryState& lib = GridLibrary();
    EXPECT_TRUE(lib.Initialized);
    EXPECT_NE(lib.HookHandle, nullptr);
    EXPECT_EQ(lib.GridClipboardFormat, RegisterClipboardFormat("TQorStringGrid Cells"));
    EXPECT_EQ(lib.GridEditDoneMessage, RegisterWindowMessage("GridEditDone"));
    EXPECT_EQ(lib.DTPShiftFocusMessage, RegisterWindowMessage("DTPShiftFocus"));
    EXPECT_NE(lib.GridEditDoneMessage, lib.DTPShiftFocusMessage);
    EXPECT_TRUE(lib.NewCommonControls);
    EXPECT_TRUE(OleInitialized());
    HHOOK hook = lib.HookHandle;
    GridLibraryInitialize(); // a second call changes nothing
    EXPECT_EQ(lib.HookHandle, hook);
    EXPECT_EQ(lib.LinkCursor, crHandPoint);
}

// A hook installed after the grid library's sees each message first and passes it on; the
// library's hook passes every position message on unchanged and moves nothing without a
// focus-frame grid.
LRESULT countingHook(int Code, WPARAM wParam, LPARAM lParam);
std::vector<UINT> hookSeen;
HHOOK countingHandle = nullptr;
LRESULT countingHook(int Code, WPARAM wParam, LPARAM lParam) {
    hookSeen.push_back(reinterpret_cast<CWPSTRUCT*>(lParam)->message);
    return CallNextHookEx(countingHandle, Code, wParam, lParam);
}

struct FrameGrid : TQorStringGrid {
    using TQorStringGrid::TQorStringGrid;
    int moves = 0;
    void MoveFocusWindow() override { ++moves; }
};

TEST(GridLibraryTest, WindowHookSeesPositionMessagesAndMovesTheFocusFrame) {
    GridLibraryInitialize();
    TForm form(nullptr);
    auto* grid = new FrameGrid(&form);
    grid->SetParent(&form);
    form.HandleNeeded();
    countingHandle = SetWindowsHookEx(WH_CALLWNDPROC, countingHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(countingHandle, nullptr);
    form.SetBounds(10, 10, 300, 200);
    EXPECT_NE(std::count(hookSeen.begin(), hookSeen.end(), UINT(WM_WINDOWPOSCHANGED)), 0);
    EXPECT_EQ(grid->moves, 0);
    GridLibrary().FocusFrameGrid = grid;
    form.SetBounds(20, 10, 300, 200);
    EXPECT_GE(grid->moves, 2); // changing and changed
    delete grid;               // the grid leaves the library's state
    EXPECT_EQ(GridLibrary().FocusFrameGrid, nullptr);
    UnhookWindowsHookEx(countingHandle);
    hookSeen.clear();
}

TEST(GridLibraryTest, HelpersReadTheCurrentFormatSettings) {
    FormatSettings().DecimalSeparator = ',';
    FormatSettings().ShortDateFormat = "yyyy-mm-dd";
    EXPECT_EQ(GetDecimalSeparator(), ',');
    EXPECT_EQ(GetShortDateFormat(), "yyyy-mm-dd");
    ResetFormatSettings();
    EXPECT_EQ(GetDecimalSeparator(), '.');
    EXPECT_EQ(GetFileVersion("comctl32.dll"), 6 * 65536);
    EXPECT_EQ(GetFileVersion("/etc/passwd"), -1);
    EXPECT_EQ(GetFileVersion("/no/such/file"), -1);
}

TEST(ThemeTest, ProbesAnswerNoThemeHere) {
    EXPECT_TRUE(IsWindowsXPOrLater());
    EXPECT_FALSE(IsWindowsVistaOrLater());
    EXPECT_TRUE(IsComCtl6());
    EXPECT_FALSE(VisualStylesActive());
    EXPECT_EQ(DefaultFontName(), "Tahoma");
    EXPECT_EQ(GetXPColorScheme(), 0);
    EXPECT_FALSE(GridThemeBinding().Loaded);
    EXPECT_FALSE(DropDownThemeBinding().Loaded);
    EXPECT_EQ(ThemeIsActive(GridThemeBinding()), 0);
    EXPECT_EQ(GetOfficeVersion(), 0);
    EXPECT_EQ(GetOfficeTheme(), ot2003Classic);
}

TEST(ThemeTest, OfficeThemeFromTheSettingsStore) {
    struct Case {
        const char* text;
        TOfficeTheme theme;
        int version;
    };
    const Case cases[] = {
        {"[HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\14.0\\Common]\nTheme=2\n"
         "[HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\12.0\\Common]\nTheme=1\n",
         ot2010Silver, 0},
        {"[HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\14.0\\Common]\nTheme=0\n"
         "[HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\12.0\\Common]\nTheme=1\n",
         ot2003Blue, 0},
        {"[HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\12.0\\Common\\General]\nx=1\n"
         "[HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\12.0\\Common]\nTheme=3\n",
         ot2007Black, 1},
        {"[HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\14.0\\Common\\General]\n", ot2003Classic,
         2},
    };
    for (const auto& c : cases) {
        SettingsStoreFile store(c.text);
        EXPECT_EQ(GetOfficeTheme(), c.theme) << c.text;
        EXPECT_EQ(GetOfficeVersion(), c.version) << c.text;
    }
    SettingsStoreFile bad("[HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\14.0\\Common]\n"
                          "Theme=blue\n");
    EXPECT_THROW(GetOfficeTheme(), ERegistryException);
}

TEST(ThemeTest, NotifierWithoutOfficeSettingsHasNoThread) {
    TForm form(nullptr);
    TThemeNotifier* n = GetThemeNotifier(&form);
    EXPECT_EQ(n->RegMonitorThread(), nullptr);
    n->RegisterWindow(form.Handle()); // nothing to do
    EXPECT_EQ(GetThemeNotifier(&form), n);
    delete n;
    TThemeNotifier* again = GetThemeNotifier(&form);
    EXPECT_NE(again, nullptr);
}

TEST(ThemeTest, MonitorTellsItsWindowsOfAChangeInRegistrationOrder) {
    SettingsStoreFile store("[HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\14.0\\Common\\"
                            "General]\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\14.0\\"
                            "Common]\nTheme=1\n");
    TForm form(nullptr);
    form.HandleNeeded();
    struct Listener : TWinControl {
        using TWinControl::TWinControl;
        std::vector<int>* order = nullptr;
        int id = 0;
        void WndProc(TMessage& m) override {
            if (m.Msg == WM_REGMONITORCHANGE) order->push_back(id);
            TWinControl::WndProc(m);
        }
    };
    std::vector<int> order;
    auto* a = new Listener(&form);
    auto* b = new Listener(&form);
    a->order = b->order = &order;
    a->id = 1;
    b->id = 2;
    a->SetParent(&form);
    b->SetParent(&form);
    auto* n = new TThemeNotifier(&form);
    ASSERT_NE(n->RegMonitorThread(), nullptr);
    int themeChanges = 0;
    n->OnOfficeThemeChange = [&](TObject* s) {
        EXPECT_EQ(s, n);
        ++themeChanges;
    };
    n->RegisterWindow(b->Handle());
    n->RegisterWindow(a->Handle());
    n->RegisterWindow(b->Handle()); // listed once
    EXPECT_EQ(n->RegMonitorThread()->WinList()->Count(), 2);
    n->UnRegisterWindow(form.Handle()); // not listed: nothing
    // Let the thread arm its watch, then change the theme.
    for (int i = 0; i < 2000; ++i) {
        TRegistry reg;
        if (reg.OpenKey("Software\\Microsoft\\Office\\14.0\\Common", false)) {
            reg.WriteInteger("Theme", 2);
        }
        for (int k = 0; k < 50 && order.empty(); ++k) {
            CheckSynchronize();
            std::this_thread::yield();
        }
        if (!order.empty()) break;
    }
    ASSERT_EQ(order, (std::vector<int>{2, 1}));
    EXPECT_EQ(themeChanges, 1);
    EXPECT_EQ(GetOfficeTheme(), ot2010Silver);
    delete n; // stops and joins its thread
}

} // namespace
