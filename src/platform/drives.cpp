#include "platform/drives.h"

namespace corvane {

std::string RealDrives::mountPoint(const std::string& path) const {
    const auto mount = mountOf(path);
    if (!mount) return {};
    std::string point = mount->mountPoint;
    if (point.size() > 1) point.pop_back();  // "/media/usb/" -> "/media/usb"
    return point;
}

std::optional<std::uint64_t> RealDrives::totalBytes(const std::string& path) const {
    const auto mount = mountOf(path);
    return totalBytesOf(mount ? mount->mountPoint : path);
}

}  // namespace corvane
