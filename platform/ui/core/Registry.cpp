#include "platform/ui/core/Registry.h"

#include "platform/base/Threads.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <vector>

namespace {
struct Watch {
    std::string key; // full upper-case path
    bool subtree;
    TEvent* event;
};

// Keys by upper-case full path ("HKEY_CURRENT_USER\SOFTWARE\..."); each with its values, by
// upper-case name, keeping the written name and text.
struct Store {
    std::mutex m;
    std::string file;
    std::map<std::string, std::map<std::string, std::pair<std::string, std::string>>> keys;
    std::map<std::string, std::string> keyNames; // written spelling of each key
    std::vector<Watch> watches;
};

Store& store() {
    static Store s;
    return s;
}

std::string rootName(HKEY root) {
    switch (root) {
    case HKEY_CLASSES_ROOT:
        return "HKEY_CLASSES_ROOT";
    case HKEY_LOCAL_MACHINE:
        return "HKEY_LOCAL_MACHINE";
    default:
        return "HKEY_CURRENT_USER";
    }
}

std::string fullKey(HKEY root, const std::string& key) {
    std::string k = key;
    while (!k.empty() && k.front() == '\\') k.erase(0, 1);
    while (!k.empty() && k.back() == '\\') k.pop_back();
    return k.empty() ? rootName(root) : rootName(root) + "\\" + k;
}

// A key exists when it was written or a key below it was.
bool exists(const Store& s, const std::string& upper) {
    auto it = s.keys.lower_bound(upper);
    if (it == s.keys.end()) return false;
    return it->first == upper || it->first.compare(0, upper.size() + 1, upper + "\\") == 0;
}

void save(Store& s) {
    if (s.file.empty()) throw ERegistryException("The settings store has no file");
    namespace fs = std::filesystem;
    fs::path tmp = fs::path(s.file).concat(".tmp");
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        for (const auto& [key, values] : s.keys) {
            out << "[" << s.keyNames[key] << "]\n";
            for (const auto& [name, v] : values) out << v.first << "=" << v.second << "\n";
        }
        if (!out) throw ERegistryException("Cannot write " + s.file);
    }
    std::error_code ec;
    fs::rename(tmp, s.file, ec);
    if (ec) throw ERegistryException("Cannot write " + s.file);
}

void notify(Store& s, const std::string& key) {
    for (auto it = s.watches.begin(); it != s.watches.end();) {
        bool hit = key == it->key ||
                   (it->subtree && key.compare(0, it->key.size() + 1, it->key + "\\") == 0);
        if (hit) {
            it->event->SetEvent();
            it = s.watches.erase(it);
        } else {
            ++it;
        }
    }
}
} // namespace

void SetRegistryFile(const std::string& Path) {
    Store& s = store();
    std::lock_guard lock(s.m);
    s.file = Path;
    s.keys.clear();
    s.keyNames.clear();
    if (Path.empty()) return;
    std::ifstream in(Path, std::ios::binary);
    std::string line, key;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            std::string name = line.substr(1, line.size() - 2);
            key = UpperCase(name);
            s.keys[key];
            s.keyNames[key] = name;
            continue;
        }
        auto eq = line.find('=');
        if (key.empty() || eq == std::string::npos) continue;
        std::string name = line.substr(0, eq);
        s.keys[key][UpperCase(name)] = {name, line.substr(eq + 1)};
    }
}

bool TRegistry::KeyExists(const std::string& Key) const {
    Store& s = store();
    std::lock_guard lock(s.m);
    return exists(s, UpperCase(fullKey(root_, Key)));
}

bool TRegistry::OpenKeyReadOnly(const std::string& Key) {
    return OpenKey(Key, false);
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
    Store& s = store();
    std::lock_guard lock(s.m);
    std::string full = fullKey(root_, Key);
    std::string upper = UpperCase(full);
    if (!exists(s, upper)) {
        if (!CanCreate) return false;
        s.keys[upper];
        s.keyNames[upper] = full;
    }
    path_ = Key;
    open_ = true;
    return true;
}

void TRegistry::CloseKey() {
    path_.clear();
    open_ = false;
}

bool TRegistry::ValueExists(const std::string& Name) const {
    if (!open_) return false;
    Store& s = store();
    std::lock_guard lock(s.m);
    auto k = s.keys.find(UpperCase(fullKey(root_, path_)));
    return k != s.keys.end() && k->second.count(UpperCase(Name)) > 0;
}

std::string TRegistry::ReadString(const std::string& Name) const {
    Store& s = store();
    std::lock_guard lock(s.m);
    if (open_) {
        auto k = s.keys.find(UpperCase(fullKey(root_, path_)));
        if (k != s.keys.end()) {
            auto v = k->second.find(UpperCase(Name));
            if (v != k->second.end()) return v->second.second;
        }
    }
    throw ERegistryException("Invalid data type for '" + Name + "'");
}

int TRegistry::ReadInteger(const std::string& Name) const {
    std::string text = ReadString(Name);
    try {
        return StrToInt(text);
    } catch (const EConvertError&) {
        throw ERegistryException("Invalid data type for '" + Name + "'");
    }
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
    if (!open_) throw ERegistryException("No key is open to write '" + Name + "'");
    Store& s = store();
    std::lock_guard lock(s.m);
    std::string full = fullKey(root_, path_);
    std::string upper = UpperCase(full);
    if (!s.keyNames.count(upper)) s.keyNames[upper] = full;
    s.keys[upper][UpperCase(Name)] = {Name, Value};
    save(s);
    notify(s, upper);
}

void TRegistry::WriteInteger(const std::string& Name, int Value) {
    WriteString(Name, std::to_string(Value));
}

bool RegNotifyChangeKeyValue(HKEY Root, const std::string& Key, bool WatchSubtree,
                             DWORD /*Filter: every write is a last-set change*/, TEvent* Event) {
    Store& s = store();
    std::lock_guard lock(s.m);
    std::string upper = UpperCase(fullKey(Root, Key));
    if (!Event || !exists(s, upper)) return false;
    s.watches.push_back({upper, WatchSubtree, Event});
    return true;
}

void RegCancelNotify(TEvent* Event) {
    Store& s = store();
    std::lock_guard lock(s.m);
    std::erase_if(s.watches, [Event](const Watch& w) { return w.event == Event; });
}
