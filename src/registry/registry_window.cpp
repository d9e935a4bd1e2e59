#include "registry/registry_window.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "common/file_io.h"
#include "common/text.h"
#include "platform/program_folder.h"
#include "registry/rescue_script.h"

namespace corvane {

namespace {

// The progress bar runs to 8 whatever the number of files.
constexpr int kProgressSteps = 8;

void showStep(ProgressView& progress, int step, std::string_view files, std::string_view bytes) {
    progress.setOverallProgress(step * 100 / kProgressSteps, files, bytes, "");
}

}  // namespace

Status copyKeepingAttributes(const std::string& source, const std::string& target) {
    struct stat info {};
    if (::stat(source.c_str(), &info) != 0) return errorFromErrno(errno, source);
    const auto content = readWholeFile(source);
    if (!content) return content.error();
    if (Status written = writeFileAtomically(target, *content); !written) return written;
    const timespec times[2] = {info.st_atim, info.st_mtim};
    if (::chmod(target.c_str(), info.st_mode & 07777) != 0 ||
        ::utimensat(AT_FDCWD, target.c_str(), times, 0) != 0) {
        return errorFromErrno(errno, target);
    }
    return {};
}

RegistryWindow::RegistryWindow(std::string_view windowsFolder, Host& host,
                               RescueDiskServices& disk)
    : m_host(host), m_disk(disk), m_paths(RegistryPaths::forWindowsFolder(windowsFolder)) {
    if (!m_paths.windowsFolder.empty()) {
        for (const SystemFile& file : systemFileTable(m_paths)) {
            if (auto row = findSystemFile(file)) m_rows.push_back(std::move(*row));
        }
    }
    if (m_rows.empty()) {
        m_host.message(Icon::Exclamation, Buttons::Ok, "No Files Found",
                       "No default System Files found to backup.  Unable to perform a Registry "
                       "Backup on this machine.");
    } else {
        m_selectedRow = 0;
    }
}

void RegistryWindow::selectRow(std::size_t index) {
    if (index < m_rows.size()) m_selectedRow = index;
}

void RegistryWindow::openStartupDisk() {
    if (startupDiskEnabled()) m_disk.openStartupDiskPage();
}

void RegistryWindow::backup() {
    if (!backupEnabled()) return;
    BusyPointer busy(m_host);
    m_visible = false;
    ProgressView& progress = m_host.progressView();
    progress.open(ProgressKind::Backup, {});
    const Status written = writeBackup(progress);
    progress.close();
    if (!written) {
        reportFailure();
        return;
    }
    const Result<bool> made = makeRescueDisk();
    if (!made) {
        reportFailure();
    } else if (!*made) {
        reportCancelled();
    } else {
        m_host.message(Icon::Information, Buttons::Ok, "Rescue Disk Created",
                       "Rescue Disk has been created.  You should ensure you read the help "
                       "section on restoring your System Registry using the Rescue Disk and "
                       "Registry backup files.");
        m_open = false;
    }
}

Status RegistryWindow::writeBackup(ProgressView& progress) {
    showStep(progress, 1, "", "");
    if (!makeFolders(m_paths.backupFolder)) {
        return Error{errc::kPathFileAccess, "Path/File access error"};
    }
    int copied = 0;
    for (const RegistryRow& row : m_rows) {
        std::string folder;
        const std::string target = m_paths.backupFolder + "/" + fileNameOf(row.path, folder);
        if (Status status = copyKeepingAttributes(row.path, target); !status) return status;
        ++copied;
        if (copied + 1 <= kProgressSteps) {
            showStep(progress, copied + 1, std::to_string(copied + 1) + " of 8", "N/A");
        }
    }
    return writeFileAtomically(m_paths.backupFolder + "/Rescue.bat", rescueScriptText(m_paths));
}

Result<bool> RegistryWindow::makeRescueDisk() {
    const Answer answer = m_host.message(
        Icon::Information, Buttons::OkCancel, "Rescue Disk Creation",
        "A Rescue Disk now needs to be created.  This disk will allow you to get into your system "
        "and restore the System Registry without starting Windows.\r\n\r\nPlease label a floppy "
        "disk 'Corvane Rescue Disk' and insert the disk into drive A:\\.  When the Windows format "
        "disk dialog comes up, simply click the 'Start' button to initiate the Rescue Disk "
        "creation.  Your disk should be EMPTY.\r\n\r\nWhen Windows has completed formatting the "
        "disk, DO NOT remove it from you drive, as Corvane needs to add files to it before it is "
        "complete.");
    if (answer != Answer::Ok || !m_disk.formatBootable()) return false;
    const Status written = writeFileAtomically(m_disk.diskFolder() + "Autoexec.bat",
                                               rescueAutoexecLine(m_paths) + "\r\n");
    if (!written) return written.error();
    return true;
}

void RegistryWindow::reportCancelled() {
    m_host.message(Icon::Information, Buttons::Ok, "Cancelled",
                   "Rescue Disk creation has been cancelled.");
    m_visible = true;
}

void RegistryWindow::reportFailure() {
    m_host.message(Icon::Exclamation, Buttons::Ok, "Error",
                   "Error encountered.  Ensure there is a disk in drive A:\\ and it has already "
                   "been formatted.");
    m_visible = true;
}

}  // namespace corvane
