#include "common/result.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace corvane {

namespace {

bool parentExists(const std::string& path) {
    std::string parent = path;
    while (parent.size() > 1 && parent.back() == '/') parent.pop_back();
    const auto slash = parent.rfind('/');
    if (slash == std::string::npos) return true;  // relative name: the current folder exists
    parent.resize(slash == 0 ? 1 : slash);
    struct stat info {};
    return ::stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

Error errorFromErrno(int errnoValue, const std::string& path) {
    switch (errnoValue) {
        case ENOENT:
            if (parentExists(path)) return {errc::kFileNotFound, "File not found"};
            return {errc::kPathNotFound, "Path not found"};
        case ENOTDIR:
            return {errc::kPathNotFound, "Path not found"};
        case EACCES:
        case EPERM:
            return {errc::kPermissionDenied, "Permission denied"};
        case ENOSPC:
        case EDQUOT:
            return {errc::kDiskFull, "Disk full"};
        case EIO:
            return {errc::kDeviceIo, "Device I/O error"};
        case EEXIST:
            return {errc::kFileExists, "File already exists"};
        case ENAMETOOLONG:
            return {errc::kBadFileName, "Bad file name or number"};
        case ENOMEDIUM:
            return {errc::kDiskNotReady, "Disk not ready"};
        default:
            return {errc::kPathFileAccess, std::string("Path/File access error (") +
                                               std::strerror(errnoValue) + ")"};
    }
}

}  // namespace corvane
