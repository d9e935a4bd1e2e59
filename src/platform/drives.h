#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/drive_info.h"

namespace corvane {

// What a backup run asks about the drive a destination lies on; behind an interface so tests
// can play a removable or full disk.
class Drives {
public:
    virtual ~Drives() = default;
    virtual DriveType driveType(const std::string& path) const = 0;
    // The mount point holding `path` ("/media/usb"), or empty text when none is found.
    virtual std::string mountPoint(const std::string& path) const = 0;
    // The total size of the file system holding `path`.
    virtual std::optional<std::uint64_t> totalBytes(const std::string& path) const = 0;
};

class RealDrives final : public Drives {
public:
    DriveType driveType(const std::string& path) const override { return driveTypeOf(path); }
    std::string mountPoint(const std::string& path) const override;
    std::optional<std::uint64_t> totalBytes(const std::string& path) const override;
};

}  // namespace corvane
