#pragma once

#include "common/result.h"

#include <cstdint>
#include <memory>
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

class OutputFactory {
public:
    virtual ~OutputFactory() = default;
    // Creates `path`, replacing a file of that name.
    virtual Result<std::unique_ptr<OutputFile>> create(const std::string& path) = 0;
};

// Plain files of the operating system.
OutputFactory& systemOutputFactory();

// The error for a failed system call on `path`, with the component's code `code`.
Error systemError(int code, const std::string& what, const std::string& path);

}  // namespace corvane::archive
