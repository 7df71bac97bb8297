#pragma once
// Little-endian stores into byte buffers, the byte order of every image.
#include <cstdint>

inline void Put_U16(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

inline void Put_U32(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
    p[3] = std::uint8_t(v >> 24);
}

inline std::uint32_t Get_U16(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | p[1] << 8;
}

inline std::uint32_t Get_U32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
