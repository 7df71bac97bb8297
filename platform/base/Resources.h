#pragma once
// The program's raw data resources (RT_RCDATA). What the executable would carry is registered
// at start-up under its name; a numbered resource is named "#" and its number.
#include "platform/base/SysUtils.h"

#include <cstdint>
#include <string>
#include <vector>

// A numbered resource that does not exist.
class EResNotFound : public Exception {
public:
    using Exception::Exception;
};

// Replaces a resource of the same name (ASCII case ignored).
void RegisterResourceData(const std::string& Name, std::vector<std::uint8_t> Data);
void UnregisterResourceData(const std::string& Name);
// nullptr when no resource has the name.
const std::vector<std::uint8_t>* FindResourceData(const std::string& Name);
// Raises EResNotFound when no resource has the number.
const std::vector<std::uint8_t>& ResourceData(int Id);
