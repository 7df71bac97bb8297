#pragma once
// AES-128 decryption (the equivalent inverse cipher, table driven) and CBC decryption of
// streams, for wireless M-Bus telegrams of encryption mode 5.
#include "platform/base/Classes.h"
#include "platform/base/SysUtils.h"

#include <array>
#include <cstdint>

class EAESError : public Exception {
public:
    using Exception::Exception;
};

using TAESKey128 = std::array<std::uint8_t, 16>;
using TAESBuffer = std::array<std::uint8_t, 16>;
// 44 words of four bytes, the first byte the most significant.
struct TAESExpandedKey128 {
    std::array<std::uint32_t, 44> W{};
};

// The cipher's key schedule.
void Aes_Expand_Key128(const TAESKey128& Key, TAESExpandedKey128& Expanded);
// The decryption schedule: the cipher's, with InvMixColumns applied to round keys 1 to 9.
void Aes_Expand_Decrypt_Key128(const TAESKey128& Key, TAESExpandedKey128& Expanded);
// Decrypts one block with a decryption schedule.
void Aes_Decrypt_Block(const TAESBuffer& In, TAESBuffer& Out, const TAESExpandedKey128& Key);

// Decrypts Count bytes of Source from its position into Dest, CBC with IV. Count 0 means the
// whole source from its start; otherwise at most the bytes left. A count that is not a
// multiple of 16 raises EAESError; a short read or write raises it too.
void Aes_Cbc_Decrypt_Stream(TStream& Source, std::int64_t Count, const TAESExpandedKey128& Key,
                            TStream& Dest, const TAESBuffer& IV);
// The same with the key expanded first.
void Aes_Cbc_Decrypt_Stream_Key(TStream& Source, std::int64_t Count, const TAESKey128& Key,
                                TStream& Dest, const TAESBuffer& IV);
// CBC decryption of a byte area in place (Count a multiple of 16).
void Aes_Cbc_Decrypt_Buffer(std::uint8_t* Data, std::size_t Count, const TAESKey128& Key,
                            const TAESBuffer& IV);
