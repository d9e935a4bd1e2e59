#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// The three folders of a registry backup, fixed when the registry window loads: W, the Windows
// folder; D, the boot drive, which holds W (its parent folder here, "" for a folder directly
// under "/"); B, the backup folder D + "/CVBack". None carries a trailing "/".
struct RegistryPaths {
    std::string windowsFolder;
    std::string bootDrive;
    std::string backupFolder;

    // An empty Windows folder (the system has none) gives empty paths.
    static RegistryPaths forWindowsFolder(std::string_view windowsFolder);
};

// Which files an existence test finds. Linux has no file attributes, so they map as:
// hidden = the name begins with "."; read-only = the owner has no write permission (a
// property of the file, whoever runs the program); system has no equivalent and never holds.
enum class ExistenceTest {
    AnyAttributes,  // hidden, system and read-only files too
    NormalOnly,     // only files that are neither hidden nor read-only
};

struct SystemFile {
    std::string path;
    ExistenceTest test;
};

// The nine system files in list order: System.dat, User.dat, Win.ini, System.ini, Control.ini
// and Command/Attrib.exe in W; Autoexec.bat, Msdos.sys and Command.com in D.
std::vector<SystemFile> systemFileTable(const RegistryPaths& paths);

// One row of the list: the full path, the length in bytes and the modification time.
struct RegistryRow {
    std::string path;
    std::string size;
    std::string modified;
};

// The row of a system file that its existence test finds; nullopt when it finds none.
std::optional<RegistryRow> findSystemFile(const SystemFile& file);

}  // namespace corvane
