#include "mbus/scan/Aes128.h"

#include "MiniJson.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;

template <std::size_t N> std::array<std::uint8_t, N> arr(const std::string& hex) {
    Bytes b = json::hexBytes(hex);
    std::array<std::uint8_t, N> a{};
    std::copy(b.begin(), b.end(), a.begin());
    return a;
}

Bytes streamBytes(TMemoryStream& s) {
    return s.Bytes();
}

const std::string Vectors = std::string(KNX_MBUS_EXAMPLES) + "/aes.json";

TEST(Aes128, PublishedVectors) {
    if (!std::filesystem::exists(Vectors)) GTEST_SKIP() << "no vectors";
    const json::Value v = json::parseFile(Vectors);

    // Key expansion (FIPS-197 A.1).
    TAESExpandedKey128 w;
    Aes_Expand_Key128(arr<16>(v["fips197_appendix_A1_key_expansion"]["key"].text), w);
    const json::Value& words = v["fips197_appendix_A1_key_expansion"]["w"];
    ASSERT_EQ(words.size(), 44u);
    for (std::size_t i = 0; i < 44; ++i)
        EXPECT_EQ(w.W[i], std::uint32_t(std::stoul(words[i].text, nullptr, 16))) << i;

    // Decryption schedule: round keys 0 and 10 as the cipher's, 1..9 through InvMixColumns.
    const json::Value& dw = v["fips197_C1_equivalent_inverse_cipher_round_keys"];
    TAESExpandedKey128 d;
    Aes_Expand_Decrypt_Key128(arr<16>(dw["key"].text), d);
    for (std::size_t r = 0; r <= 10; ++r) {
        const Bytes k = json::hexBytes(dw["dw_rounds_0_to_10"][r].text);
        for (std::size_t c = 0; c < 4; ++c) {
            const std::uint32_t expected = std::uint32_t(k[4 * c]) << 24 |
                                           std::uint32_t(k[4 * c + 1]) << 16 |
                                           std::uint32_t(k[4 * c + 2]) << 8 | k[4 * c + 3];
            EXPECT_EQ(d.W[4 * r + c], expected) << "round " << r;
        }
    }

    // Single blocks (FIPS-197 B and C.1).
    for (const char* name : {"fips197_appendix_B", "fips197_appendix_C1"}) {
        const json::Value& c = v[name];
        TAESExpandedKey128 k;
        Aes_Expand_Decrypt_Key128(arr<16>(c["key"].text), k);
        TAESBuffer out;
        Aes_Decrypt_Block(arr<16>(c["ciphertext"].text), out, k);
        EXPECT_EQ(out, arr<16>(c["plaintext"].text)) << name;
    }

    // CBC (SP 800-38A F.2.2), whole stream by count 0 and by its byte count.
    const json::Value& cbc = v["sp800_38a_F21_F22_cbc_aes128"];
    Bytes cipher, plain;
    for (std::size_t i = 0; i < 4; ++i) {
        Bytes c = json::hexBytes(cbc["ciphertext_blocks"][i].text);
        Bytes p = json::hexBytes(cbc["plaintext_blocks"][i].text);
        cipher.insert(cipher.end(), c.begin(), c.end());
        plain.insert(plain.end(), p.begin(), p.end());
    }
    for (std::int64_t count : {0, 64}) {
        TMemoryStream src, dst;
        src.WriteBuffer(cipher.data(), std::int64_t(cipher.size()));
        src.SetPosition(0);
        Aes_Cbc_Decrypt_Stream_Key(src, count, arr<16>(cbc["key"].text), dst,
                                   arr<16>(cbc["iv"].text));
        EXPECT_EQ(streamBytes(dst), plain) << count;
    }
}

TEST(Aes128, StreamCountsAndErrors) {
    const TAESKey128 key{};
    const TAESBuffer iv{};
    TMemoryStream src, dst;
    Bytes data(40, 0x11);
    src.WriteBuffer(data.data(), 40);
    // Count 20 is no multiple of 16.
    src.SetPosition(0);
    try {
        Aes_Cbc_Decrypt_Stream_Key(src, 20, key, dst, iv);
        FAIL() << "no error";
    } catch (const EAESError& e) {
        EXPECT_EQ(e.Message(), "Invalid buffer size for decryption");
    }
    // A count beyond the bytes left is cut to them: 8 left from position 32 is refused, 32 from
    // position 8 decrypts two blocks.
    src.SetPosition(32);
    EXPECT_THROW(Aes_Cbc_Decrypt_Stream_Key(src, 64, key, dst, iv), EAESError);
    src.SetPosition(8);
    Aes_Cbc_Decrypt_Stream_Key(src, 1000, key, dst, iv);
    EXPECT_EQ(dst.Size(), 32);

    // A destination that takes nothing.
    class FullStream : public TMemoryStream {
    public:
        std::int64_t Write(const void*, std::int64_t) override { return 0; }
    } full;
    src.SetPosition(0);
    try {
        Aes_Cbc_Decrypt_Stream_Key(src, 16, key, full, iv);
        FAIL() << "no error";
    } catch (const EAESError& e) {
        EXPECT_EQ(e.Message(), "Stream write error");
    }
}

// The reference cipher encrypts random data; our decryption must give it back.
TEST(Aes128, MatchesTheReferenceCipherOnRandomData) {
    std::mt19937 rng(12345);
    for (int round = 0; round < 50; ++round) {
        TAESKey128 key;
        TAESBuffer iv;
        for (auto& b : key) b = std::uint8_t(rng());
        for (auto& b : iv) b = std::uint8_t(rng());
        const std::size_t blocks = 1 + rng() % 16;
        Bytes plain(blocks * 16);
        for (auto& b : plain) b = std::uint8_t(rng());

        Bytes cipher(plain.size() + 16);
        int len = 0, tail = 0;
        EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
        ASSERT_EQ(EVP_EncryptInit_ex(ctx, EVP_aes_128_cbc(), nullptr, key.data(), iv.data()), 1);
        EVP_CIPHER_CTX_set_padding(ctx, 0);
        ASSERT_EQ(EVP_EncryptUpdate(ctx, cipher.data(), &len, plain.data(), int(plain.size())), 1);
        ASSERT_EQ(EVP_EncryptFinal_ex(ctx, cipher.data() + len, &tail), 1);
        EVP_CIPHER_CTX_free(ctx);
        cipher.resize(std::size_t(len + tail));
        ASSERT_EQ(cipher.size(), plain.size());

        TMemoryStream src, dst;
        src.WriteBuffer(cipher.data(), std::int64_t(cipher.size()));
        Aes_Cbc_Decrypt_Stream_Key(src, 0, key, dst, iv);
        EXPECT_EQ(dst.Bytes(), plain) << "round " << round;

        Bytes inPlace = cipher;
        Aes_Cbc_Decrypt_Buffer(inPlace.data(), inPlace.size(), key, iv);
        EXPECT_EQ(inPlace, plain);
    }
}

} // namespace
