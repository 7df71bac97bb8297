#pragma once
// Little-endian integers and UTF-16 texts on a stream, as the tree and header streams store them.
// A short read raises the stream's read error.
#include "platform/base/Classes.h"
#include "platform/base/SysUtils.h"

#include <cstdint>
#include <string>

template <class T> void WriteLE(TStream& Stream, T Value) {
    unsigned char bytes[sizeof(T)];
    for (std::size_t i = 0; i < sizeof(T); ++i)
        bytes[i] = static_cast<unsigned char>(std::uint64_t(Value) >> (8 * i));
    Stream.WriteBuffer(bytes, sizeof(T));
}

template <class T> T ReadLE(TStream& Stream) {
    unsigned char bytes[sizeof(T)];
    Stream.ReadBuffer(bytes, sizeof(T));
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) value |= std::uint64_t(bytes[i]) << (8 * i);
    return static_cast<T>(value);
}

// UTF-16LE code units of Text, without a terminator.
inline void WriteUtf16(TStream& Stream, const std::u16string& Text) {
    for (char16_t c : Text) WriteLE<std::uint16_t>(Stream, c);
}

// Count code units; a count beyond what the stream still holds is refused before reading.
inline std::u16string ReadUtf16(TStream& Stream, std::int64_t Count) {
    if (Count < 0 || Count * 2 > Stream.Size() - Stream.Position())
        throw EReadError("Stream read error");
    std::u16string text(std::size_t(Count), u'\0');
    for (char16_t& c : text) c = ReadLE<std::uint16_t>(Stream);
    return text;
}
