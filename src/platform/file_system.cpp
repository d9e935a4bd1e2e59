#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

namespace corvane {

Result<PathKind> RealFileSystem::probe(const std::string& path) const {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return errorFromErrno(errno, path);
    if (S_ISLNK(info.st_mode)) {
        // A folder entry ("/x/") names the link's target folder; a file entry names the link.
        if (!path.empty() && path.back() == '/' && ::stat(path.c_str(), &info) == 0 &&
            S_ISDIR(info.st_mode)) {
            return PathKind::Folder;
        }
        return PathKind::Link;
    }
    if (S_ISDIR(info.st_mode)) return PathKind::Folder;
    if (S_ISREG(info.st_mode)) return PathKind::File;
    return PathKind::Other;
}

Result<std::vector<DirEntry>> RealFileSystem::list(const std::string& folder) const {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return errorFromErrno(errno, folder);
    std::vector<DirEntry> entries;
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            isFolder = ::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                       S_ISDIR(info.st_mode);
        }
        entries.push_back({name, isFolder});
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    return entries;
}

}  // namespace corvane
