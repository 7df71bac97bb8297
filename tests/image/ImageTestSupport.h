#pragma once
// A throw-away project folder for the image compiler tests.
#include "image/ProjectFile.h"
#include "platform/files/Files.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

class TempProject : public TempFolder {
public:
    TempProject() : TempFolder("image_project", "bin") {}

    void Write(const std::string& name, const std::string& text) const {
        WriteBinaryFile(Path(name), text);
    }
    std::vector<std::uint8_t> Read(const std::string& name) const {
        const std::string bytes = ReadBinaryFile(Path(name));
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    }
};

// Little-endian reads of expected values in test assertions.
inline std::uint32_t LE16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::uint32_t(b.at(at)) | std::uint32_t(b.at(at + 1)) << 8;
}
inline std::uint32_t LE32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return LE16(b, at) | LE16(b, at + 2) << 16;
}

using Bytes = std::vector<std::uint8_t>;
using Attribute_List = std::vector<std::pair<std::string, std::string>>;

// A "row" element with the attributes in the order given.
inline std::string Row(const Attribute_List& attributes, const std::string& name = "row") {
    std::string text = "<" + name;
    for (const auto& [k, v] : attributes) text += " " + k + "=\"" + v + "\"";
    return text + "/>";
}

// A ParGen file with one element per key.
inline std::string ParGen(const Attribute_List& keys) {
    std::string text = "<?xml version=\"1.0\"?>\n<Par_Gen>";
    for (const auto& [k, v] : keys) text += "<" + k + ">" + v + "</" + k + ">";
    return text + "</Par_Gen><!--SW_VERSION = 1.000-->";
}

inline void Put(Bytes& b, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
    for (std::uint8_t v : bytes) b.at(at++) = v;
}
inline void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
    Put(b, at, {std::uint8_t(v), std::uint8_t(v >> 8)});
}
inline void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    Put(b, at,
        {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)});
}

// Stores the byte sum of the 2044 bytes from at into the four bytes after them.
inline void SealBlock(Bytes& b, std::size_t at) {
    std::uint32_t sum = 0;
    for (std::size_t i = at; i < at + 2044; ++i) sum += b.at(i);
    Put32(b, at + 2044, sum);
}

// The common settings block with every field at its default, without its sum, at offset at of b.
inline void PutDefaultSettings(Bytes& b, std::size_t at) {
    Put32(b, at + 0, 125000);
    Put32(b, at + 12, 9600);
    Put16(b, at + 16, 8);
    Put(b, at + 40, {192, 168, 2, 205, 255, 255, 255, 0, 255, 255, 255, 255});
    Put(b, at + 52, {0x10, 0x27, 0x11, 0x27, 0x11, 0x27}); // 10000, 10001, 10001
    Put32(b, at + 60, 9600);
    Put16(b, at + 64, 8);
    Put32(b, at + 404, 38400);
    b.at(at + 431) = 1;
    Put(b, at + 436, {8, 8, 8, 8, 8, 8, 8, 8});
    Put16(b, at + 460, 3671);
    Put(b, at + 468, {0x50, 0xC3, 0x51, 0xC3, 0x52, 0xC3}); // 50000..50002
    Put16(b, at + 478, 512);
}

// The message of the EImageError-derived failure that f raises; "" when it raises none.
template <typename F> std::string FailureOf(F f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "";
}

// The kind of compile failure f raises, as a caller tells it by its type.
template <typename F> std::string FailureKindOf(F f) {
    try {
        f();
    } catch (const EImageMalformedError&) {
        return "malformed";
    } catch (const EImageValueError&) {
        return "value";
    } catch (const EImageLimitError&) {
        return "limit";
    } catch (const Exception&) {
        return "other";
    }
    return "";
}

// A KNX access table of one enabled row, and the 20 bytes of its entry.
inline std::string OneKnxRow() {
    return "<BACnet_to_KNX><KNX_in_Read/><KNX_in_Write>" +
           Row({{"Enable", "Y"},
                {"Source_Address", "1.1.5"},
                {"Destination_Address", "1/2/3"},
                {"APCI", "Write"},
                {"Priority", "Low"},
                {"Format", "SWAP16"},
                {"Extended", "N"},
                {"ReTest", "Y"},
                {"On_Command", "Y"},
                {"On_Change", "Y"},
                {"On_Timer", "Y"},
                {"Poll_Time", "5000"},
                {"Position", "10"},
                {"Bit_Mode", "No"},
                {"Length", "2"},
                {"TimeOut", "3000"}}) +
           "</KNX_in_Write></BACnet_to_KNX>";
}
inline void PutOneKnxEntry(Bytes& b, std::size_t at) {
    Put(b, at, {0x88, 0x13, 0,    0, 0xB8, 0x0B, 0,    0,    3,    2,
                0x2B, 0x10, 0x80, 0, 0x05, 0x11, 0x03, 0x0A, 0x0A, 0});
}

// The empty PGN entry: FF x12, 8 zero bytes, FF x4, 8 zero bytes.
inline void PutEmptyPgnEntries(Bytes& b, std::size_t at, std::size_t count) {
    for (std::size_t e = 0; e < count; ++e)
        for (std::size_t i : {0u, 4u, 8u, 20u}) Put32(b, at + e * 32 + i, 0xFFFFFFFF);
}

// base with the attributes of over replacing or added to its own.
inline Attribute_List With(Attribute_List base, const Attribute_List& over) {
    for (const auto& [k, v] : over) {
        auto it =
            std::find_if(base.begin(), base.end(), [&](const auto& a) { return a.first == k; });
        if (it != base.end())
            it->second = v;
        else
            base.push_back({k, v});
    }
    return base;
}
