#include "registry/registry_files.h"

#include <sys/stat.h>

#include "common/date_text.h"
#include "common/text.h"

namespace corvane {

RegistryPaths RegistryPaths::forWindowsFolder(std::string_view windowsFolder) {
    std::string windows(windowsFolder.substr(0, windowsFolder.find('\0')));
    windows = trim(windows);
    while (windows.size() > 1 && windows.back() == kSeparator) windows.pop_back();
    if (windows.empty()) return {};
    const auto slash = windows.rfind(kSeparator);
    std::string drive = slash == std::string::npos ? std::string() : windows.substr(0, slash);
    return {windows, drive, drive + "/CVBack"};
}

std::vector<SystemFile> systemFileTable(const RegistryPaths& paths) {
    const std::string& w = paths.windowsFolder;
    const std::string& d = paths.bootDrive;
    return {
        {w + "/System.dat", ExistenceTest::AnyAttributes},
        {w + "/User.dat", ExistenceTest::AnyAttributes},
        {w + "/Win.ini", ExistenceTest::NormalOnly},
        {w + "/System.ini", ExistenceTest::NormalOnly},
        {w + "/Control.ini", ExistenceTest::NormalOnly},
        {w + "/Command/Attrib.exe", ExistenceTest::NormalOnly},
        {d + "/Autoexec.bat", ExistenceTest::NormalOnly},
        {d + "/Msdos.sys", ExistenceTest::AnyAttributes},
        {d + "/Command.com", ExistenceTest::AnyAttributes},
    };
}

std::optional<RegistryRow> findSystemFile(const SystemFile& file) {
    struct stat info {};
    if (::stat(file.path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    if (file.test == ExistenceTest::NormalOnly) {
        std::string folder;
        const bool hidden = startsWith(fileNameOf(file.path, folder), ".");
        const bool readOnly = (info.st_mode & S_IWUSR) == 0;
        if (hidden || readOnly) return std::nullopt;
    }
    const TimePoint modified = std::chrono::system_clock::from_time_t(info.st_mtime);
    return RegistryRow{file.path, std::to_string(info.st_size), dateTimeText(modified)};
}

}  // namespace corvane
