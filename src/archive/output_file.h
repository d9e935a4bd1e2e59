#pragma once

#include "common/result.h"

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace corvane::archive {

// Where the writer's bytes go. The component writes every archive and volume through an
// OutputFactory, so that tests can put a device that fails after N bytes in its place.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    virtual Status write(std::span<const std::uint8_t> bytes) = 0;
    // Makes the written bytes durable (fsync).
    virtual Status sync() = 0;
    virtual Status close() = 0;
};

// Who may read a file: the permission bits and group of the archive a new one replaces.
struct FileAccess {
    mode_t mode = 0;
    gid_t group = 0;
};

class OutputFactory {
public:
    virtual ~OutputFactory() = default;
    // Creates `path`, replacing a file of that name. With `like`, the file is created readable
    // by its owner only and then given that group (where permitted) and mode.
    virtual Result<std::unique_ptr<OutputFile>> create(const std::string& path,
                                                       const std::optional<FileAccess>& like) = 0;
};

// Plain files of the operating system.
OutputFactory& systemOutputFactory();

// The error for a failed system call on `path`, with the component's code `code`.
Error systemError(int code, const std::string& what, const std::string& path);

}  // namespace corvane::archive
