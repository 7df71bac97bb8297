#pragma once
// The settings store standing in for the registry. Its keys and values come from a text file
// named by SetRegistryFile ("[ROOT\Key\Path]" sections of "Name=Value" lines); with no file set
// it holds nothing and every key is absent. Names compare without case.
#include "platform/base/SysUtils.h"
#include "platform/ui/core/Messages.h"

#include <string>

class TEvent;

using HKEY = std::uintptr_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;

constexpr DWORD REG_NOTIFY_CHANGE_NAME = 1;
constexpr DWORD REG_NOTIFY_CHANGE_ATTRIBUTES = 2;
constexpr DWORD REG_NOTIFY_CHANGE_LAST_SET = 4;
constexpr DWORD REG_NOTIFY_CHANGE_SECURITY = 8;

class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// Loads the store from Path (empty: the store holds nothing). A file that cannot be read
// leaves the store empty. Writes go back to the same file.
void SetRegistryFile(const std::string& Path);

class TRegistry {
public:
    TRegistry() = default;
    HKEY RootKey() const { return root_; }
    void SetRootKey(HKEY v) { root_ = v; }
    const std::string& CurrentPath() const { return path_; }
    bool KeyExists(const std::string& Key) const;
    // False when the key does not exist.
    bool OpenKeyReadOnly(const std::string& Key);
    // With CanCreate a missing key is created.
    bool OpenKey(const std::string& Key, bool CanCreate);
    void CloseKey();
    bool ValueExists(const std::string& Name) const;
    // Raise ERegistryException when the value is missing or (ReadInteger) not a whole number.
    int ReadInteger(const std::string& Name) const;
    std::string ReadString(const std::string& Name) const;
    // Store into the open key and save the file; raise ERegistryException without an open key
    // or when the file cannot be written.
    void WriteInteger(const std::string& Name, int Value);
    void WriteString(const std::string& Name, const std::string& Value);

private:
    HKEY root_ = HKEY_CURRENT_USER;
    std::string path_;
    bool open_ = false;
};

// Arms a one-shot notification: Event is set at the next write of a value in Key (or in a key
// below it with WatchSubtree). False when the key does not exist.
bool RegNotifyChangeKeyValue(HKEY Root, const std::string& Key, bool WatchSubtree, DWORD Filter,
                             TEvent* Event);
// Disarms every notification that would set Event.
void RegCancelNotify(TEvent* Event);
