#pragma once

#include "common/result.h"
#include "offsite/offsite_settings.h"
#include "offsite/transfer_control.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane::offsite {

// A local file opened for sending; its size is taken once, when it is opened.
class LocalFile {
public:
    static Result<LocalFile> open(const std::string& path);
    LocalFile(LocalFile&& other) noexcept;
    LocalFile& operator=(LocalFile&&) = delete;
    LocalFile(const LocalFile&) = delete;
    ~LocalFile();

    const std::string& path() const { return m_path; }
    int fd() const { return m_fd; }
    std::uint64_t size() const { return m_size; }

    // Reads `length` bytes at `offset` into `buffer`; a short file is an error.
    Status readAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) const;

private:
    LocalFile(std::string path, int fd, std::uint64_t size)
        : m_path(std::move(path)), m_fd(fd), m_size(size) {}
    std::string m_path;
    int m_fd;
    std::uint64_t m_size;
};

struct RemoteObject {
    std::string name;
    std::uint64_t size = 0;
};

// An off-site store: a folder of named objects (a bucket's key prefix, a folder on a server).
// Names are plain file names without "/". Failed requests that a network fault may explain are
// tried again as the TransferControl's policy says; a cancelled operation ends with an Error of
// kind Cancelled.
class Remote {
public:
    virtual ~Remote() = default;

    // Sends `file` as `name`. An object appears under `name` only once it is complete; a failed
    // or cancelled upload leaves nothing of itself behind that the remote can still delete.
    virtual Status upload(const LocalFile& file, const std::string& name) = 0;

    virtual Result<std::uint64_t> sizeOf(const std::string& name) = 0;

    // The objects directly in the folder (none in its sub-folders); a missing folder is empty.
    virtual Result<std::vector<RemoteObject>> list() = 0;

    virtual Status remove(const std::string& name) = 0;

    // Where `name` is, for log lines and messages: no user, password or key in it.
    virtual std::string address(const std::string& name) const = 0;
};

// The remote the settings describe, reporting to `control`, which must outlive it.
std::unique_ptr<Remote> makeRemote(const OffsiteSettings& settings, TransferControl& control);

}  // namespace corvane::offsite
