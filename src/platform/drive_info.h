#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace corvane {

// Drive types with the numbers the program has always used.
enum class DriveType : int {
    Unknown = 0,
    NoRoot = 1,
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    Optical = 5,
};

struct MountInfo {
    std::string mountPoint;  // with a trailing "/"
    std::string fileSystem;  // "ext4", "nfs4", "fuse.sshfs"...
    std::string source;      // "/dev/sdb1", "server:/share"...
};

// The mount that contains `path` (the longest mount point that is a prefix of it).
std::optional<MountInfo> mountOf(const std::string& path);

// The drive type of the mount holding `path`; NoRoot when no mount is found.
DriveType driveTypeOf(const std::string& path);

// Free and total bytes of the file system holding `path` (statvfs); nullopt when it cannot be
// asked.
std::optional<std::uint64_t> freeBytesOf(const std::string& path);
std::optional<std::uint64_t> totalBytesOf(const std::string& path);

// Exposed for tests: classifies a mount given the root of a sysfs tree.
DriveType classifyMount(const MountInfo& mount, const std::string& sysRoot);

}  // namespace corvane
