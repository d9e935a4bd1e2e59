#include "archive/zip_check.h"

#include "archive/crc32.h"
#include "archive/result_codes.h"
#include "archive/winzip_aes.h"
#include "common/le_codec.h"

#include <algorithm>

namespace corvane::archive {

namespace {

constexpr std::size_t kBlockSize = 256 * 1024;

CheckResult fail(int code, std::string detail) {
    return CheckResult{code, false, std::move(detail)};
}

// Feeds decrypted data to the decoder and counts, checks and passes on what comes out.
class DataCheck {
public:
    DataCheck(CheckContext& context, std::uint16_t method, std::uint64_t declared,
              CheckOutput& output)
        : m_context(context), m_method(method), m_declared(declared), m_output(output) {
        if (m_method == zip::kMethodDeflate) m_context.inflater.reset();
    }

    // False once the data is known to be bad or cannot be passed on (see failure()).
    bool feed(std::span<const std::uint8_t> data) {
        if (m_method == zip::kMethodStore) return take(data);
        if (m_finished) return data.empty();
        std::size_t leftover = 0;
        const auto outcome = m_context.inflater.feedUntil(
            data, [this](std::span<const std::uint8_t> out) { return take(out); }, leftover);
        if (outcome == Inflater::Outcome::Failed || outcome == Inflater::Outcome::Stopped) {
            return false;
        }
        if (outcome == Inflater::Outcome::Finished) {
            m_finished = true;
            return leftover == 0;
        }
        return true;
    }
    bool complete() const { return m_method == zip::kMethodStore || m_finished; }
    std::uint32_t crc() const { return m_crc; }
    std::uint64_t size() const { return m_size; }
    // Why feed() returned false: the sink's or the budget's failure, else damaged data.
    CheckResult failure() const {
        if (!m_writeError.description.empty()) {
            return CheckResult{m_writeError.code, false, m_writeError.description};
        }
        if (m_overBudget) {
            return CheckResult{kNotZip, false, "the archive decodes to far more than its size",
                               true};
        }
        return CheckResult{kCrcMismatch, false, "the compressed data is damaged"};
    }

private:
    bool take(std::span<const std::uint8_t> out) {
        m_crc = crc32Update(m_crc, out);
        m_size += out.size();
        // A small entry cannot expand for ever: decoding stops past its declared size.
        if (m_size > m_declared) return false;
        if (m_output.decoded != nullptr) {
            m_output.decoded->fetch_add(out.size(), std::memory_order_relaxed);
        }
        if (m_output.budget != nullptr && !m_output.budget->spend(out.size())) {
            m_overBudget = true;
            return false;
        }
        if (m_output.sink) {
            if (Status written = m_output.sink->write(out); !written) {
                m_writeError = written.error();
                return false;
            }
        }
        return true;
    }

    CheckContext& m_context;
    std::uint16_t m_method;
    std::uint64_t m_declared;
    CheckOutput& m_output;
    bool m_finished = false;
    bool m_overBudget = false;
    Error m_writeError;
    std::uint32_t m_crc = 0;
    std::uint64_t m_size = 0;
};

CheckResult checkDescriptor(const ZipItem& item, const EntryData& entry, VolumePosition at,
                            const ReadAt& read) {
    const bool zip64 = entry.local.sizes.zip64 || item.compressedSize >= zip::kMax32 ||
                       item.uncompressedSize >= zip::kMax32;
    std::vector<std::uint8_t> bytes(zip64 ? zip::kDataDescriptorSize64
                                          : zip::kDataDescriptorSize32);
    // The signature is optional; without it the record is four bytes shorter.
    if (Status got = read(at, bytes); !got) {
        bytes.resize(bytes.size() - 4);
        if (Status again = read(at, bytes); !again) return fail(kNotZip, "data descriptor missing");
    }
    std::size_t field = le::getU32(bytes, 0) == zip::kDataDescriptorSignature ? 4 : 0;
    if (bytes.size() < field + (zip64 ? 20u : 12u))
        return fail(kNotZip, "data descriptor cut short");
    const std::uint32_t crc = le::getU32(bytes, field);
    const std::uint64_t compressed =
        zip64 ? le::getU64(bytes, field + 4) : le::getU32(bytes, field + 4);
    const std::uint64_t uncompressed =
        zip64 ? le::getU64(bytes, field + 12) : le::getU32(bytes, field + 8);
    if (crc != item.crc || compressed != item.compressedSize ||
        uncompressed != item.uncompressedSize) {
        return fail(kNotZip, "the data descriptor does not match the central directory");
    }
    return {};
}

}  // namespace

std::string compareHeaders(const ZipItem& item, const LocalHeader& local) {
    if (local.name != item.name) return "the local header names another file";
    if (local.method != item.method) return "the local header gives another method";
    if ((local.flags & zip::kFlagEncrypted) != (item.flags & zip::kFlagEncrypted)) {
        return "the local header disagrees on encryption";
    }
    if ((local.flags & zip::kFlagDataDescriptor) != (item.flags & zip::kFlagDataDescriptor)) {
        return "the local header disagrees on the data descriptor";
    }
    if ((local.flags & zip::kFlagDataDescriptor) != 0) return {};
    if (local.crc != item.crc || local.sizes.compressed != item.compressedSize ||
        local.sizes.uncompressed != item.uncompressedSize) {
        return "the local header disagrees on CRC or sizes";
    }
    return {};
}

bool isReadable(const ZipItem& item) {
    const std::uint16_t method = item.dataMethod();
    if (method != zip::kMethodStore && method != zip::kMethodDeflate) return false;
    if ((item.flags & zip::kFlagStrongEncryption) != 0) return false;
    if (item.aes) return item.isEncrypted() && item.aes->strength >= 1 && item.aes->strength <= 3;
    // Encrypted without the AES field: the traditional PKWARE cipher, not read here.
    return !item.isEncrypted();
}

CheckResult checkEntry(CheckContext& context, const ZipItem& item, const EntryData& entry,
                       const std::string& password, const ReadAt& read, CheckOutput& output) {
    if (const std::string mismatch = compareHeaders(item, entry.local); !mismatch.empty()) {
        return fail(kNotZip, mismatch);
    }
    if (!isReadable(item)) return fail(kUnsupported, "unsupported method or encryption");
    const std::uint16_t method = item.dataMethod();
    VolumePosition at = entry.dataStart;
    std::uint64_t dataLength = item.compressedSize;
    std::unique_ptr<AesCipher> cipher;
    if (item.aes) {
        const std::size_t saltLength = item.aes->saltLength();
        if (dataLength < item.aes->overhead())
            return fail(kCrcMismatch, "encrypted data cut short");
        std::vector<std::uint8_t> start(saltLength + zip::kAesVerifierSize);
        if (Status got = read(at, start); !got)
            return fail(got.error().code, got.error().description);
        const AesKeys keys =
            deriveAesKeys(password, std::span(start).first(saltLength), item.aes->keyLength());
        if (!std::equal(keys.verifier.begin(), keys.verifier.end(),
                        start.begin() + static_cast<std::ptrdiff_t>(saltLength))) {
            return CheckResult{kWrongPassword, true, "wrong password"};
        }
        cipher = std::make_unique<AesCipher>(keys);
        at.offset += start.size();
        dataLength -= item.aes->overhead();
    }
    if (output.target != nullptr) {
        auto opened = output.target->open(output.index, item);
        if (!opened) return fail(kCannotCreate, opened.error().description);
        output.sink = std::move(opened.value());
    }
    DataCheck data(context, method, item.uncompressedSize, output);
    context.buffer.resize(kBlockSize);
    for (std::uint64_t left = dataLength; left > 0;) {
        if (output.stopped && output.stopped()) {
            return fail(kAborted, "cancelled");
        }
        const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(left, kBlockSize));
        const auto block = std::span(context.buffer).first(take);
        if (Status got = read(at, block); !got)
            return fail(got.error().code, got.error().description);
        if (cipher) cipher->decrypt(block);
        if (!data.feed(block)) return data.failure();
        at.offset += take;
        left -= take;
    }
    if (!data.complete()) return fail(kCrcMismatch, "the compressed data ends early");
    if (cipher) {
        std::vector<std::uint8_t> code(zip::kAesMacSize);
        if (Status got = read(at, code); !got)
            return fail(got.error().code, got.error().description);
        const auto expected = cipher->finish();
        if (!std::equal(expected.begin(), expected.end(), code.begin())) {
            return fail(kCrcMismatch, "the authentication code does not match");
        }
        at.offset += code.size();
    }
    const bool checkCrc = !item.aes || item.aes->vendorVersion != zip::kAesVersion2;
    if (data.size() != item.uncompressedSize || (checkCrc && data.crc() != item.crc)) {
        return fail(kCrcMismatch, "CRC or size mismatch");
    }
    if (entry.local.flags & zip::kFlagDataDescriptor) {
        if (CheckResult descriptor = checkDescriptor(item, entry, at, read); descriptor.code != 0) {
            return descriptor;
        }
    }
    if (output.sink) {
        if (Status closed = output.sink->close(); !closed) {
            return fail(closed.error().code, closed.error().description);
        }
    }
    return {};
}

}  // namespace corvane::archive
