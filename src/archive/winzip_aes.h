#pragma once

#include "archive/zip_constants.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

struct evp_cipher_ctx_st;
struct evp_mac_ctx_st;

namespace corvane::archive {

// WinZip AES (AE-1/AE-2): PBKDF2-HMAC-SHA1 key derivation with 1000 iterations, AES in
// counter mode with a little-endian counter starting at 1, and HMAC-SHA1 over the ciphertext
// cut to 10 bytes. The primitives are OpenSSL's.

struct AesKeys {
    std::vector<std::uint8_t> encryption;
    std::vector<std::uint8_t> authentication;
    std::array<std::uint8_t, zip::kAesVerifierSize> verifier{};
};

// Derives the keys for `keyLength` (16, 24 or 32 bytes) from a password and an entry's salt.
AesKeys deriveAesKeys(std::string_view password, std::span<const std::uint8_t> salt,
                      std::size_t keyLength);

// Fills `salt` with random bytes; false when the system's generator fails.
bool makeSalt(std::span<std::uint8_t> salt);

// Encrypts or decrypts one entry's data as it streams by, and computes its authentication code.
class AesCipher {
public:
    explicit AesCipher(const AesKeys& keys);
    ~AesCipher();
    AesCipher(const AesCipher&) = delete;
    AesCipher& operator=(const AesCipher&) = delete;

    void encrypt(std::span<std::uint8_t> data);  // in place; the code covers the result
    void decrypt(std::span<std::uint8_t> data);  // in place; the code covers the input
    // Authenticates ciphertext without decrypting it (copying an entry unchanged).
    void authenticate(std::span<const std::uint8_t> ciphertext);
    std::array<std::uint8_t, zip::kAesMacSize> finish();

private:
    void applyKeystream(std::span<std::uint8_t> data);

    evp_cipher_ctx_st* m_cipher = nullptr;
    evp_mac_ctx_st* m_mac = nullptr;
    std::uint64_t m_counter = 1;
    std::vector<std::uint8_t> m_keystream;
    std::size_t m_used = 0;  // keystream bytes already consumed
};

}  // namespace corvane::archive
