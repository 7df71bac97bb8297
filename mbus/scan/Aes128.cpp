#include "mbus/scan/Aes128.h"

#include <algorithm>

namespace {

std::uint8_t xtime(std::uint8_t b) {
    return std::uint8_t((b << 1) ^ ((b & 0x80) ? 0x1B : 0));
}

std::uint8_t mul(std::uint8_t a, std::uint8_t b) {
    std::uint8_t r = 0;
    while (b) {
        if (b & 1) r ^= a;
        a = xtime(a);
        b >>= 1;
    }
    return r;
}

std::uint32_t rotr8(std::uint32_t w) {
    return (w >> 8) | (w << 24);
}

// S-box, inverse S-box and the four inverse round tables, computed once.
struct Tables {
    std::uint8_t S[256];
    std::uint8_t Si[256];
    std::uint32_t Td[4][256];
    Tables() {
        // Multiplicative inverse through the generator 3, then the affine map.
        std::uint8_t pow3[255], log3[256] = {};
        std::uint8_t x = 1;
        for (int i = 0; i < 255; ++i) {
            pow3[i] = x;
            log3[x] = std::uint8_t(i);
            x = std::uint8_t(x ^ xtime(x));
        }
        for (int i = 0; i < 256; ++i) {
            std::uint8_t inv = i == 0 ? 0 : pow3[(255 - log3[i]) % 255];
            std::uint8_t s = inv;
            for (int k = 1; k <= 4; ++k) s ^= std::uint8_t((inv << k) | (inv >> (8 - k)));
            s ^= 0x63;
            S[i] = s;
            Si[s] = std::uint8_t(i);
        }
        for (int i = 0; i < 256; ++i) {
            const std::uint8_t s = Si[i];
            const std::uint32_t w = std::uint32_t(mul(s, 0x0E)) << 24 |
                                    std::uint32_t(mul(s, 0x09)) << 16 |
                                    std::uint32_t(mul(s, 0x0D)) << 8 | mul(s, 0x0B);
            Td[0][i] = w;
            Td[1][i] = rotr8(w);
            Td[2][i] = rotr8(Td[1][i]);
            Td[3][i] = rotr8(Td[2][i]);
        }
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

std::uint32_t subWord(std::uint32_t w) {
    const auto& S = tables().S;
    return std::uint32_t(S[w >> 24]) << 24 | std::uint32_t(S[(w >> 16) & 0xFF]) << 16 |
           std::uint32_t(S[(w >> 8) & 0xFF]) << 8 | S[w & 0xFF];
}

// InvMixColumns of one word: Td of the S-box value undoes the inverse S-box inside Td.
std::uint32_t invMixColumn(std::uint32_t w) {
    const auto& t = tables();
    return t.Td[0][t.S[w >> 24]] ^ t.Td[1][t.S[(w >> 16) & 0xFF]] ^ t.Td[2][t.S[(w >> 8) & 0xFF]] ^
           t.Td[3][t.S[w & 0xFF]];
}

std::uint32_t load(const std::uint8_t* b) {
    return std::uint32_t(b[0]) << 24 | std::uint32_t(b[1]) << 16 | std::uint32_t(b[2]) << 8 | b[3];
}

void store(std::uint32_t w, std::uint8_t* b) {
    b[0] = std::uint8_t(w >> 24);
    b[1] = std::uint8_t(w >> 16);
    b[2] = std::uint8_t(w >> 8);
    b[3] = std::uint8_t(w);
}

} // namespace

void Aes_Expand_Key128(const TAESKey128& Key, TAESExpandedKey128& Expanded) {
    auto& w = Expanded.W;
    for (int i = 0; i < 4; ++i) w[std::size_t(i)] = load(Key.data() + 4 * i);
    std::uint32_t rcon = 0x01;
    for (std::size_t i = 4; i < 44; ++i) {
        std::uint32_t t = w[i - 1];
        if (i % 4 == 0) {
            t = subWord((t << 8) | (t >> 24)) ^ (rcon << 24);
            rcon = xtime(std::uint8_t(rcon));
        }
        w[i] = w[i - 4] ^ t;
    }
}

void Aes_Expand_Decrypt_Key128(const TAESKey128& Key, TAESExpandedKey128& Expanded) {
    Aes_Expand_Key128(Key, Expanded);
    for (std::size_t i = 4; i < 40; ++i) Expanded.W[i] = invMixColumn(Expanded.W[i]);
}

void Aes_Decrypt_Block(const TAESBuffer& In, TAESBuffer& Out, const TAESExpandedKey128& Key) {
    const auto& t = tables();
    const auto& dw = Key.W;
    std::uint32_t s[4], n[4];
    for (int c = 0; c < 4; ++c) s[c] = load(In.data() + 4 * c) ^ dw[std::size_t(40 + c)];
    for (int round = 9; round >= 1; --round) {
        for (int c = 0; c < 4; ++c)
            n[c] = t.Td[0][s[c] >> 24] ^ t.Td[1][(s[(c + 3) & 3] >> 16) & 0xFF] ^
                   t.Td[2][(s[(c + 2) & 3] >> 8) & 0xFF] ^ t.Td[3][s[(c + 1) & 3] & 0xFF] ^
                   dw[std::size_t(4 * round + c)];
        std::copy(n, n + 4, s);
    }
    for (int c = 0; c < 4; ++c) {
        const std::uint32_t w = std::uint32_t(t.Si[s[c] >> 24]) << 24 |
                                std::uint32_t(t.Si[(s[(c + 3) & 3] >> 16) & 0xFF]) << 16 |
                                std::uint32_t(t.Si[(s[(c + 2) & 3] >> 8) & 0xFF]) << 8 |
                                t.Si[s[(c + 1) & 3] & 0xFF];
        store(w ^ dw[std::size_t(c)], Out.data() + 4 * c);
    }
}

void Aes_Cbc_Decrypt_Stream(TStream& Source, std::int64_t Count, const TAESExpandedKey128& Key,
                            TStream& Dest, const TAESBuffer& IV) {
    if (Count == 0) {
        Source.SetPosition(0);
        Count = Source.Size();
    } else {
        Count = std::min(Count, Source.Size() - Source.Position());
    }
    if (Count % 16 != 0) throw EAESError("Invalid buffer size for decryption");
    TAESBuffer prev = IV, in, out;
    for (; Count > 0; Count -= 16) {
        if (Source.Read(in.data(), 16) != 16) throw EAESError("Stream read error");
        Aes_Decrypt_Block(in, out, Key);
        for (int i = 0; i < 16; ++i) out[std::size_t(i)] ^= prev[std::size_t(i)];
        prev = in;
        if (Dest.Write(out.data(), 16) != 16) throw EAESError("Stream write error");
    }
}

void Aes_Cbc_Decrypt_Stream_Key(TStream& Source, std::int64_t Count, const TAESKey128& Key,
                                TStream& Dest, const TAESBuffer& IV) {
    TAESExpandedKey128 expanded;
    Aes_Expand_Decrypt_Key128(Key, expanded);
    Aes_Cbc_Decrypt_Stream(Source, Count, expanded, Dest, IV);
}

void Aes_Cbc_Decrypt_Buffer(std::uint8_t* Data, std::size_t Count, const TAESKey128& Key,
                            const TAESBuffer& IV) {
    if (Count % 16 != 0) throw EAESError("Invalid buffer size for decryption");
    TAESExpandedKey128 expanded;
    Aes_Expand_Decrypt_Key128(Key, expanded);
    TAESBuffer prev = IV, in, out;
    for (std::size_t off = 0; off < Count; off += 16) {
        std::copy(Data + off, Data + off + 16, in.begin());
        Aes_Decrypt_Block(in, out, expanded);
        for (std::size_t i = 0; i < 16; ++i) Data[off + i] = out[i] ^ prev[i];
        prev = in;
    }
}
