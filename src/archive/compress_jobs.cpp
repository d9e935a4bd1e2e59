#include "archive/compress_jobs.h"

#include "archive/archive_observer.h"
#include "archive/crc32.h"
#include "archive/winzip_aes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace corvane::archive {

namespace {

constexpr std::size_t kAesKeyLength = 32;
// The probe compresses 32 KiB of samples: for a file under 256 KiB that costs more, over a tree
// of source files, than compressing the few incompressible ones in vain.
constexpr std::size_t kSmallestProbed = 256 * 1024;

// Encrypts `data` in place behind the AES header and appends the authentication code.
bool encryptInto(const std::string& password, std::span<const std::uint8_t> plain,
                 ByteBuffer& out) {
    auto aes = startAes(password);
    if (!aes) return false;
    out.assign(aes->header.begin(), aes->header.end());
    const std::size_t start = out.size();
    out.insert(out.end(), plain.begin(), plain.end());
    aes->cipher->encrypt(std::span(out).subspan(start));
    const auto code = aes->cipher->finish();
    out.insert(out.end(), code.begin(), code.end());
    return true;
}

// Moves `size` bytes held by `source` into `target`, taking the buffer instead of copying.
void take(ByteBuffer& source, std::size_t size, ByteBuffer& target) {
    target.swap(source);
    target.resize(size);
}

void pack(CompressContext& context, std::span<const std::uint8_t> input,
          const std::string& password, PackedFile& out) {
    out.size = input.size();
    out.crc = crc32Update(0, input);
    const bool worthCompressing =
        input.size() < kSmallestProbed || !context.compressor.looksIncompressible(input);
    const auto packed = worthCompressing ? context.compressor.compressWhole(input)
                                         : std::span<const std::uint8_t>();
    out.method = packed.empty() ? zip::kMethodStore : zip::kMethodDeflate;
    const std::span<const std::uint8_t> data = packed.empty() ? input : packed;
    if (password.empty()) {
        if (!packed.empty()) {
            take(context.compressor.buffer(), packed.size(), out.data);
        } else if (input.data() == context.input.data()) {
            take(context.input, input.size(), out.data);
        } else {
            out.data.assign(input.begin(), input.end());
        }
        return;
    }
    AesInfo aes;
    aes.actualMethod = out.method;
    aes.vendorVersion =
        input.size() >= zip::kAe1MinimumSize ? zip::kAesVersion1 : zip::kAesVersion2;
    out.aes = aes;
    if (!encryptInto(password, data, out.data)) out.noRandom = true;
}

}  // namespace

SharedFile::~SharedFile() {
    if (m_fd >= 0) ::close(m_fd);
}

std::shared_ptr<SharedFile> openSource(const std::string& path) {
    // A backup should not mark every file as read; O_NOATIME is refused for files of other
    // users, which are then opened plainly.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOATIME);
    if (fd < 0 && errno == EPERM) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    return fd < 0 ? nullptr : std::make_shared<SharedFile>(fd);
}

std::optional<std::span<const std::uint8_t>> readSource(int fd, std::uint64_t offset,
                                                        std::size_t length, ByteBuffer& buffer) {
    if (buffer.size() < length) buffer.resize(length);
    std::size_t done = 0;
    while (done < length) {
        const ssize_t got =
            ::pread(fd, buffer.data() + done, length - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return std::span<const std::uint8_t>(buffer.data(), done);
}

bool unchangedSince(int fd, const FileState& expected) {
    struct stat now {};
    return ::fstat(fd, &now) == 0 && static_cast<std::uint64_t>(now.st_size) == expected.size &&
           now.st_mtim.tv_sec == expected.mtime &&
           static_cast<std::uint32_t>(now.st_mtim.tv_nsec) == expected.mtimeNanoseconds;
}

void packFile(CompressContext& context, const std::string& path, const FileState& expected,
              const std::string& password, PackedFile& out) {
    const auto file = openSource(path);
    if (!file) {
        out.skipReason = kSkipCannotOpen;
        return;
    }
    // One byte more than planned shows a file that grew.
    const auto size = static_cast<std::size_t>(expected.size);
    const auto data = readSource(file->fd(), 0, size + 1, context.input);
    if (!data) {
        out.skipReason = kSkipReadFailed;
        return;
    }
    if (data->size() != size || !unchangedSince(file->fd(), expected)) {
        out.skipReason = kSkipChangedWhileRead;
        return;
    }
    pack(context, *data, password, out);
}

void packBytes(CompressContext& context, ByteBuffer bytes, const std::string& password,
               PackedFile& out) {
    pack(context, bytes, password, out);
}

void packPiece(CompressContext& context, const SharedFile& file, std::uint64_t offset,
               std::size_t length, bool last, bool store, const FileState& expected,
               PackedPiece& out) {
    const std::size_t history =
        store ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(offset, kHistorySize));
    const auto read = readSource(file.fd(), offset - history, history + length, context.input);
    if (!read) {
        out.skipReason = kSkipReadFailed;
        return;
    }
    const std::span<const std::uint8_t> all = *read;
    if (all.size() != history + length || (last && !unchangedSince(file.fd(), expected))) {
        out.skipReason = kSkipChangedWhileRead;
        return;
    }
    const auto before = all.first(std::min(history, all.size()));
    const auto piece = all.subspan(before.size());
    out.size = piece.size();
    out.crc = crc32Update(0, piece);
    if (store) {
        take(context.input, piece.size(), out.data);  // no history was read before it
    } else {
        context.compressor.compressPiece(before, piece, last, out.data);
    }
}

std::optional<AesStart> startAes(const std::string& password) {
    AesStart start;
    start.header.resize(zip::kAes256SaltSize);
    if (!makeSalt(start.header)) return std::nullopt;
    const AesKeys keys = deriveAesKeys(password, start.header, kAesKeyLength);
    start.header.insert(start.header.end(), keys.verifier.begin(), keys.verifier.end());
    start.cipher = std::make_unique<AesCipher>(keys);
    return start;
}

}  // namespace corvane::archive
