#include "platform/base/Threads.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/core/Hooks.h"
#include "platform/ui/core/Registry.h"
#include "platform/ui/core/SysInfo.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string storePath() {
    return "/tmp/platform_settings_" + std::to_string(::getpid()) + ".txt";
}

TEST(SettingsStoreTest, WithoutAFileEveryKeyIsAbsent) {
    SetRegistryFile("");
    TRegistry reg;
    EXPECT_FALSE(reg.KeyExists("Software"));
    EXPECT_FALSE(reg.OpenKeyReadOnly("Software\\X"));
    EXPECT_THROW(reg.ReadInteger("v"), ERegistryException);
}

TEST(SettingsStoreTest, ReadsKeysAndValuesAndWritesBack) {
    std::string path = storePath();
    std::ofstream(path) << "[HKEY_CURRENT_USER\\Software\\Maker\\App]\nCount=12\nName=x y\n"
                           "[HKEY_LOCAL_MACHINE\\Other]\nv=1\n";
    SetRegistryFile(path);
    TRegistry reg;
    EXPECT_TRUE(reg.KeyExists("Software"));             // a parent of a written key
    EXPECT_TRUE(reg.KeyExists("software\\maker\\app")); // names without case
    EXPECT_FALSE(reg.KeyExists("Other"));               // another root
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\Maker\\App"));
    EXPECT_EQ(reg.ReadInteger("count"), 12);
    EXPECT_EQ(reg.ReadString("Name"), "x y");
    EXPECT_THROW(reg.ReadInteger("Name"), ERegistryException);
    EXPECT_FALSE(reg.ValueExists("Missing"));

    TEvent changed;
    ASSERT_TRUE(RegNotifyChangeKeyValue(HKEY_CURRENT_USER, "Software\\Maker", true,
                                        REG_NOTIFY_CHANGE_LAST_SET, &changed));
    reg.WriteInteger("Count", 13);
    EXPECT_EQ(changed.WaitFor(0), wrSignaled);
    SetRegistryFile(path); // read back from the file
    TRegistry again;
    ASSERT_TRUE(again.OpenKeyReadOnly("Software\\Maker\\App"));
    EXPECT_EQ(again.ReadInteger("Count"), 13);
    SetRegistryFile("");
    std::remove(path.c_str());
}

LRESULT firstHook(int, WPARAM, LPARAM);
LRESULT secondHook(int, WPARAM, LPARAM);
HHOOK first = nullptr, second = nullptr;
std::vector<std::string> calls;
LRESULT firstHook(int c, WPARAM w, LPARAM l) {
    calls.push_back("first " + std::to_string(reinterpret_cast<CWPSTRUCT*>(l)->message));
    return CallNextHookEx(first, c, w, l);
}
LRESULT secondHook(int c, WPARAM w, LPARAM l) {
    calls.push_back("second " + std::to_string(reinterpret_cast<CWPSTRUCT*>(l)->message));
    return CallNextHookEx(second, c, w, l);
}

TEST(WindowHookTest, NewestHookFirstThenThePreviousOnes) {
    TForm form(nullptr);
    form.HandleNeeded();
    EXPECT_EQ(SetWindowsHookEx(12, firstHook, nullptr, GetCurrentThreadId()), nullptr);
    first = SetWindowsHookEx(WH_CALLWNDPROC, firstHook, nullptr, GetCurrentThreadId());
    second = SetWindowsHookEx(WH_CALLWNDPROC, secondHook, nullptr, GetCurrentThreadId());
    form.Perform(0x7777);
    EXPECT_EQ(calls, (std::vector<std::string>{"second 30583", "first 30583"}));
    calls.clear();
    EXPECT_TRUE(UnhookWindowsHookEx(second));
    EXPECT_FALSE(UnhookWindowsHookEx(second));
    form.SetBounds(5, 5, 200, 100);
    EXPECT_EQ(calls, (std::vector<std::string>{"first 70", "first 5", "first 71"}));
    UnhookWindowsHookEx(first);
    calls.clear();
    form.Perform(0x7777);
    EXPECT_TRUE(calls.empty());
}

TEST(SystemInfoTest, ClassicSystemWithoutLoadableLibraries) {
    EXPECT_EQ(Win32MajorVersion(), 5);
    EXPECT_EQ(LoadLibrary("UXTHEME.DLL"), nullptr);
    EXPECT_EQ(GetProcAddress(GetModuleHandle("kernel32"), "GetLocaleInfoEx"), nullptr);
    EXPECT_GT(GetFileVersionInfoSize("C:\\Windows\\System32\\COMCTL32.DLL"), 0u);
    EXPECT_EQ(GetFileVersionInfoSize("/etc/hostname"), 0u);
    EXPECT_EQ(RegisterClipboardFormat("Some Format"), RegisterClipboardFormat("some format"));
    EXPECT_EQ(OleInitialize(nullptr) == S_OK || OleInitialized(), true);
    EXPECT_EQ(OleInitialize(nullptr), S_FALSE);
    OleUninitialize();
}

} // namespace
