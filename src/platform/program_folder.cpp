#include "platform/program_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace corvane {

std::string withTrailingSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string absolutePath(const std::string& path) {
    if (path.empty() || path.front() == '/') return path;
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    if (error) return path;
    return (current / path).lexically_normal().string();
}

std::string executableFolder() {
    char buffer[4096];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return "./";
    std::string path(buffer, static_cast<std::size_t>(length));
    return path.substr(0, path.rfind('/') + 1);
}

std::string siblingProgram(const std::string& name) {
    const std::string beside = executableFolder() + name;
    if (::access(beside.c_str(), X_OK) == 0) return beside;
    const char* path = std::getenv("PATH");
    std::string_view folders = path != nullptr ? path : "";
    while (!folders.empty()) {
        const auto colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        folders = colon == std::string_view::npos ? std::string_view() : folders.substr(colon + 1);
        if (folder.empty() || folder.front() != '/') continue;  // never the current folder
        const std::string candidate = withTrailingSeparator(std::string(folder)) + name;
        struct stat info {};
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return beside;
}

std::string locateProgramFolder() {
    if (const char* home = std::getenv("CORVANE_HOME"); home != nullptr && *home != '\0') {
        return withTrailingSeparator(home);
    }
    std::string beside = executableFolder();
    if (::access((beside + "Backup.cfg").c_str(), F_OK) == 0) return beside;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data == '/') {
        return withTrailingSeparator(data) + "corvane/";
    }
    const char* userHome = std::getenv("HOME");
    return withTrailingSeparator(userHome != nullptr ? userHome : "/tmp") + ".local/share/corvane/";
}

bool makeFolders(const std::string& folder) {
    std::string partial;
    for (std::size_t at = 0; at <= folder.size(); ++at) {
        if (at == folder.size() || folder[at] == '/') {
            if (!partial.empty()) ::mkdir(partial.c_str(), 0755);
        }
        if (at < folder.size()) partial += folder[at];
    }
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace corvane
