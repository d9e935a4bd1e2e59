#pragma once

#include "common/result.h"
#include "host/host.h"
#include "registry/registry_files.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// What the system offers for the rescue disk: formatting a bootable floppy, the folder where
// that disk then appears, and the system's own start-up disk page.
class RescueDiskServices {
public:
    virtual ~RescueDiskServices() = default;
    // Formats the disk with the system files; false when formatting failed, was cancelled or
    // cannot be done on this system.
    virtual bool formatBootable() = 0;
    // The root folder of the formatted disk, with a trailing "/".
    virtual std::string diskFolder() const = 0;
    virtual bool startupDiskPageAvailable() const = 0;
    virtual void openStartupDiskPage() = 0;
};

// Linux has neither a floppy format dialog nor a start-up disk page: formatting always takes
// the cancel path and "&Windows Startup Disk" stays disabled.
class UnavailableRescueDisk final : public RescueDiskServices {
public:
    bool formatBootable() override { return false; }
    std::string diskFolder() const override { return {}; }
    bool startupDiskPageAvailable() const override { return false; }
    void openStartupDiskPage() override {}
};

// Copies `source` to `target` keeping its permissions and modification time. The copy is
// written beside the target and renamed over it, so an earlier read-only copy is replaced.
Status copyKeepingAttributes(const std::string& source, const std::string& target);

// The "System Registry Backup" window: lists the system files found, copies them into the
// backup folder B with a Rescue.bat that restores them, and guides the making of a rescue disk.
class RegistryWindow {
public:
    static constexpr std::string_view kTitle = "System Registry Backup";
    static constexpr std::string_view kIntro =
        "This option allows you to perform a quick Windows Registry backup.  The registry files "
        "determine many settings for your computer.";
    static constexpr std::string_view kListTitle = "System Files to be Included";
    static constexpr std::string_view kNote =
        "Note:  This option is designed for Windows 95 && 98 systems only.";
    static constexpr std::string_view kBackupCaption = "&Backup";
    static constexpr std::string_view kStartupDiskCaption = "&Windows Startup Disk";
    static constexpr std::string_view kCancelCaption = "&Cancel";
    static constexpr std::string_view kHelpCaption = "&Help";
    static constexpr int kHelpTopic = 28;

    // A list column: its caption and its width as a fraction (1 / divisor) of the list's.
    struct Column {
        std::string_view caption;
        int widthDivisor;
    };
    static constexpr std::array<Column, 3> kColumns = {
        {{"Filename & Path", 2}, {"Size", 6}, {"Date/Time", 3}}};

    // The window's load step: fixes W, D and B from `windowsFolder` (empty when the system has
    // none) and lists the system files found. With none, "&Backup" is disabled and the user is
    // told "No Files Found".
    RegistryWindow(std::string_view windowsFolder, Host& host, RescueDiskServices& disk);

    const RegistryPaths& paths() const { return m_paths; }
    const std::vector<RegistryRow>& rows() const { return m_rows; }
    std::optional<std::size_t> selectedRow() const { return m_selectedRow; }
    void selectRow(std::size_t index);

    bool backupEnabled() const { return !m_rows.empty(); }
    bool startupDiskEnabled() const { return m_disk.startupDiskPageAvailable(); }

    // Copies the listed files into B, writes B/Rescue.bat, then asks for the rescue disk. The
    // window is hidden meanwhile and shown again unless the disk was made.
    void backup();
    void openStartupDisk();
    void cancel() { m_open = false; }

    bool isVisible() const { return m_open && m_visible; }
    bool isOpen() const { return m_open; }

private:
    // Copies the rows into B and writes the script, moving the progress bar on.
    Status writeBackup(ProgressView& progress);
    // Asks for the disk, formats it and writes its Autoexec.bat; false when the user cancelled.
    Result<bool> makeRescueDisk();
    void reportCancelled();
    void reportFailure();

    Host& m_host;
    RescueDiskServices& m_disk;
    RegistryPaths m_paths;
    std::vector<RegistryRow> m_rows;
    std::optional<std::size_t> m_selectedRow;
    bool m_visible = true;
    bool m_open = true;
};

}  // namespace corvane
