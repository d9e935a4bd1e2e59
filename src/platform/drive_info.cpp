#include "platform/drive_info.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "common/text.h"
#include "platform/program_folder.h"

namespace corvane {

namespace {

// mountinfo escapes spaces and a few other bytes as \ooo.
std::string unescapeMountField(const std::string& field) {
    std::string out;
    for (std::size_t at = 0; at < field.size(); ++at) {
        if (field[at] == '\\' && at + 3 < field.size()) {
            const std::string octal = field.substr(at + 1, 3);
            if (octal.find_first_not_of("01234567") == std::string::npos) {
                out += static_cast<char>(std::stoi(octal, nullptr, 8));
                at += 3;
                continue;
            }
        }
        out += field[at];
    }
    return out;
}

std::string readSmallFile(const std::string& path) {
    std::ifstream in(path);
    std::string value;
    std::getline(in, value);
    return trim(value);
}

bool isNetworkFileSystem(const std::string& type) {
    return type == "nfs" || type == "nfs4" || type == "cifs" || type == "smb3" ||
           type == "smbfs" || type == "9p" || type == "afs" || type == "ceph" ||
           startsWith(type, "fuse.");
}

// The /sys/block name of the disk a block device belongs to ("sdb" for /dev/sdb1).
std::string blockDiskName(const std::string& source, const std::string& sysRoot) {
    struct stat info {};
    if (::stat(source.c_str(), &info) != 0 || !S_ISBLK(info.st_mode)) return {};
    const std::string devLink = sysRoot + "/dev/block/" + std::to_string(major(info.st_rdev)) +
                                ":" + std::to_string(minor(info.st_rdev));
    char target[4096];
    const ssize_t length = ::readlink(devLink.c_str(), target, sizeof target - 1);
    if (length <= 0) return {};
    std::string resolved(target, static_cast<std::size_t>(length));
    // .../block/sdb/sdb1 -> the disk is the folder after "block/"
    const auto blockAt = resolved.rfind("/block/");
    if (blockAt == std::string::npos) return {};
    std::string rest = resolved.substr(blockAt + 7);
    return rest.substr(0, rest.find('/'));
}

}  // namespace

std::optional<MountInfo> mountOf(const std::string& path) {
    std::ifstream in("/proc/self/mountinfo");
    std::string line;
    std::optional<MountInfo> best;
    const std::string wanted = withTrailingSeparator(path);
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, parent, devices, root, mountPoint;
        fields >> id >> parent >> devices >> root >> mountPoint;
        std::string field;
        while (fields >> field && field != "-") {
        }
        std::string type, source;
        fields >> type >> source;
        MountInfo mount{withTrailingSeparator(unescapeMountField(mountPoint)), type,
                        unescapeMountField(source)};
        if (startsWith(wanted, mount.mountPoint) &&
            (!best || mount.mountPoint.size() >= best->mountPoint.size())) {
            best = mount;
        }
    }
    return best;
}

DriveType classifyMount(const MountInfo& mount, const std::string& sysRoot) {
    if (isNetworkFileSystem(mount.fileSystem)) return DriveType::Remote;
    if (mount.fileSystem == "iso9660" || mount.fileSystem == "udf") return DriveType::Optical;
    const std::string disk = blockDiskName(mount.source, sysRoot);
    if (disk.empty()) return DriveType::Fixed;  // tmpfs, overlay and the like count as fixed
    if (startsWith(disk, "sr")) return DriveType::Optical;
    if (readSmallFile(sysRoot + "/block/" + disk + "/removable") == "1") return DriveType::Removable;
    char target[4096];
    const std::string deviceLink = sysRoot + "/block/" + disk;
    const ssize_t length = ::readlink(deviceLink.c_str(), target, sizeof target - 1);
    if (length > 0 && std::string(target, static_cast<std::size_t>(length)).find("/usb") !=
                          std::string::npos) {
        return DriveType::Removable;
    }
    return DriveType::Fixed;
}

DriveType driveTypeOf(const std::string& path) {
    const auto mount = mountOf(path);
    if (!mount) return DriveType::NoRoot;
    return classifyMount(*mount, "/sys");
}

std::optional<std::uint64_t> freeBytesOf(const std::string& path) {
    struct statvfs info {};
    if (::statvfs(path.c_str(), &info) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

std::optional<std::uint64_t> totalBytesOf(const std::string& path) {
    struct statvfs info {};
    if (::statvfs(path.c_str(), &info) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(info.f_blocks) * info.f_frsize;
}

}  // namespace corvane
