#include "platform/base/Resources.h"

#include <map>

namespace {
std::map<std::string, std::vector<std::uint8_t>>& resources() {
    static std::map<std::string, std::vector<std::uint8_t>> r;
    return r;
}
} // namespace

void RegisterResourceData(const std::string& Name, std::vector<std::uint8_t> Data) {
    resources()[UpperCase(Name)] = std::move(Data);
}

void UnregisterResourceData(const std::string& Name) {
    resources().erase(UpperCase(Name));
}

const std::vector<std::uint8_t>* FindResourceData(const std::string& Name) {
    auto it = resources().find(UpperCase(Name));
    return it == resources().end() ? nullptr : &it->second;
}

const std::vector<std::uint8_t>& ResourceData(int Id) {
    if (auto* d = FindResourceData("#" + std::to_string(Id))) return *d;
    throw EResNotFound("Resource " + std::to_string(Id) + " not found");
}
