#include "archive/winzip_aes.h"

#include "common/le_codec.h"

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>
#include <openssl/rand.h>

#include <algorithm>
#include <new>

namespace corvane::archive {

namespace {

constexpr int kIterations = 1000;
constexpr std::size_t kBlockSize = 16;
constexpr std::size_t kKeystreamBlocks = 256;  // 4 KiB of keystream per cipher call

const EVP_CIPHER* ecbFor(std::size_t keyLength) {
    switch (keyLength) {
        case 16:
            return EVP_aes_128_ecb();
        case 24:
            return EVP_aes_192_ecb();
        default:
            return EVP_aes_256_ecb();
    }
}

EVP_MAC* hmac() {
    static EVP_MAC* const mac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
    return mac;
}

}  // namespace

AesKeys deriveAesKeys(std::string_view password, std::span<const std::uint8_t> salt,
                      std::size_t keyLength) {
    std::vector<std::uint8_t> material(keyLength * 2 + zip::kAesVerifierSize);
    PKCS5_PBKDF2_HMAC_SHA1(password.data(), static_cast<int>(password.size()), salt.data(),
                           static_cast<int>(salt.size()), kIterations,
                           static_cast<int>(material.size()), material.data());
    AesKeys keys;
    const auto split = static_cast<std::ptrdiff_t>(keyLength);
    keys.encryption.assign(material.begin(), material.begin() + split);
    keys.authentication.assign(material.begin() + split, material.begin() + 2 * split);
    keys.verifier = {material[2 * keyLength], material[2 * keyLength + 1]};
    return keys;
}

bool makeSalt(std::span<std::uint8_t> salt) {
    return RAND_bytes(salt.data(), static_cast<int>(salt.size())) == 1;
}

AesCipher::AesCipher(const AesKeys& keys) : m_keystream(kBlockSize * kKeystreamBlocks) {
    m_cipher = EVP_CIPHER_CTX_new();
    m_mac = hmac() != nullptr ? EVP_MAC_CTX_new(hmac()) : nullptr;
    if (m_cipher == nullptr || m_mac == nullptr) throw std::bad_alloc();
    EVP_EncryptInit_ex(m_cipher, ecbFor(keys.encryption.size()), nullptr, keys.encryption.data(),
                       nullptr);
    EVP_CIPHER_CTX_set_padding(m_cipher, 0);
    char digest[] = "SHA1";
    const OSSL_PARAM parameters[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
        OSSL_PARAM_construct_end()};
    EVP_MAC_init(m_mac, keys.authentication.data(), keys.authentication.size(), parameters);
    m_used = m_keystream.size();
}

AesCipher::~AesCipher() {
    EVP_MAC_CTX_free(m_mac);
    EVP_CIPHER_CTX_free(m_cipher);
}

void AesCipher::applyKeystream(std::span<std::uint8_t> data) {
    std::size_t at = 0;
    while (at < data.size()) {
        if (m_used == m_keystream.size()) {
            std::vector<std::uint8_t> counters(m_keystream.size(), 0);
            for (std::size_t block = 0; block < kKeystreamBlocks; ++block) {
                le::putU64(counters, block * kBlockSize, m_counter++);
            }
            int produced = 0;
            EVP_EncryptUpdate(m_cipher, m_keystream.data(), &produced, counters.data(),
                              static_cast<int>(counters.size()));
            m_used = 0;
        }
        const std::size_t take = std::min(data.size() - at, m_keystream.size() - m_used);
        for (std::size_t byte = 0; byte < take; ++byte)
            data[at + byte] ^= m_keystream[m_used + byte];
        at += take;
        m_used += take;
    }
}

void AesCipher::encrypt(std::span<std::uint8_t> data) {
    applyKeystream(data);
    authenticate(data);
}

void AesCipher::decrypt(std::span<std::uint8_t> data) {
    authenticate(data);
    applyKeystream(data);
}

void AesCipher::authenticate(std::span<const std::uint8_t> ciphertext) {
    EVP_MAC_update(m_mac, ciphertext.data(), ciphertext.size());
}

std::array<std::uint8_t, zip::kAesMacSize> AesCipher::finish() {
    std::array<std::uint8_t, EVP_MAX_MD_SIZE> full{};
    std::size_t length = 0;
    EVP_MAC_final(m_mac, full.data(), &length, full.size());
    std::array<std::uint8_t, zip::kAesMacSize> code{};
    std::copy_n(full.begin(), code.size(), code.begin());
    return code;
}

}  // namespace corvane::archive
