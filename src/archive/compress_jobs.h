#pragma once

#include "archive/deflate_engine.h"
#include "archive/winzip_aes.h"
#include "archive/zip_item.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace corvane::archive {

// What one worker thread owns while compressing.
struct CompressContext {
    explicit CompressContext(int level) : compressor(level) {}
    Compressor compressor;
    ByteBuffer input;
};

// An open source file shared by the jobs of its pieces; closed with the last of them.
class SharedFile {
public:
    explicit SharedFile(int fd) : m_fd(fd) {}
    ~SharedFile();
    SharedFile(const SharedFile&) = delete;
    SharedFile& operator=(const SharedFile&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

// Opens a source file for reading; nullptr when it cannot be opened.
std::shared_ptr<SharedFile> openSource(const std::string& path);

// Reads up to `length` bytes at `offset` (fewer at the end of the file) into `buffer`, which
// only grows so that it is never cleared before being overwritten. The bytes read, or nullopt
// on a read error.
std::optional<std::span<const std::uint8_t>> readSource(int fd, std::uint64_t offset,
                                                        std::size_t length, ByteBuffer& buffer);

// A small file read, checked and packed in one job.
struct PackedFile {
    int skipReason = 0;     // non-zero: the file could not be read (nothing else is set)
    bool noRandom = false;  // encryption found no random numbers for its salt
    std::uint16_t method = zip::kMethodStore;  // of the data before encryption
    std::uint32_t crc = 0;
    std::uint64_t size = 0;  // bytes read
    std::optional<AesInfo> aes;
    ByteBuffer data;  // what follows the local header
};

// What the walk saw of a file: a read that finds anything else is of a file that changed.
struct FileState {
    std::uint64_t size = 0;
    std::int64_t mtime = 0;
    std::uint32_t mtimeNanoseconds = 0;
};

// True when the open file still has `expected` size and modification time.
bool unchangedSince(int fd, const FileState& expected);

// Reads, checks and compresses a whole file of at most kPieceSize bytes; encrypts it with
// WinZip AES-256 when `password` is not empty. Store at level 0 and whenever it does not shrink.
// A file that is not as `expected` after the read is skipped (kSkipChangedWhileRead).
void packFile(CompressContext& context, const std::string& path, const FileState& expected,
              const std::string& password, PackedFile& out);

// The packing of in-memory data (a link's target) as packFile does it for a file.
void packBytes(CompressContext& context, ByteBuffer bytes, const std::string& password,
               PackedFile& out);

// One piece of a large file.
struct PackedPiece {
    int skipReason = 0;
    std::uint32_t crc = 0;
    std::uint64_t size = 0;  // bytes read
    ByteBuffer data;         // raw bytes when storing, else a joinable deflate piece
};

// A piece that comes short, or a last piece after which the file is not as `expected`, is
// skipped with kSkipChangedWhileRead.
void packPiece(CompressContext& context, const SharedFile& file, std::uint64_t offset,
               std::size_t length, bool last, bool store, const FileState& expected,
               PackedPiece& out);

// WinZip AES: the salt and verifier that start an entry's data, and the keys for the rest.
struct AesStart {
    Bytes header;  // salt + password verifier
    std::unique_ptr<AesCipher> cipher;
};
std::optional<AesStart> startAes(const std::string& password);

}  // namespace corvane::archive
