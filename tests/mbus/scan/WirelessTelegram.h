#pragma once
// Wireless telegrams of one sender, plain or encrypted, as the radio modules pass them on.
#include "ScanTestSupport.h"

#include <openssl/evp.h>

namespace scantest {

inline const std::array<std::uint8_t, 16> Key{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
                                              0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10};

// A short-header telegram of the sender 2C2D / 1A2B3C4D, version 1, water meter, access number
// 0x2A; with mode 5 its two blocks (2F 2F, a volume record, fillers) are encrypted with Key.
inline Bytes telegram(bool encrypted) {
    Bytes plain{0x2F, 0x2F, 0x04, 0x13, 0x15, 0x31, 0x00, 0x00};
    plain.resize(32, 0x2F);
    Bytes t{0x00,
            0x44,
            0x2D,
            0x2C,
            0x4D,
            0x3C,
            0x2B,
            0x1A,
            0x01,
            0x07,
            0x7A,
            0x2A,
            0x00,
            std::uint8_t(encrypted ? 0x20 : 0x00),
            std::uint8_t(encrypted ? 0x05 : 0x00)};
    if (encrypted) {
        std::array<std::uint8_t, 16> iv{};
        std::copy(t.begin() + 2, t.begin() + 10, iv.begin());
        std::fill(iv.begin() + 8, iv.end(), 0x2A);
        Bytes cipher(plain.size() + 16);
        int len = 0, tail = 0;
        EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
        EVP_EncryptInit_ex(ctx, EVP_aes_128_cbc(), nullptr, Key.data(), iv.data());
        EVP_CIPHER_CTX_set_padding(ctx, 0);
        EVP_EncryptUpdate(ctx, cipher.data(), &len, plain.data(), int(plain.size()));
        EVP_EncryptFinal_ex(ctx, cipher.data() + len, &tail);
        EVP_CIPHER_CTX_free(ctx);
        cipher.resize(std::size_t(len + tail));
        plain = cipher;
    }
    t.insert(t.end(), plain.begin(), plain.end());
    t[0] = std::uint8_t(t.size() - 1);
    return t;
}

inline Bytes telit(Bytes t) {
    t.push_back(0x00);
    t.push_back(0x46);
    return t;
}

} // namespace scantest
