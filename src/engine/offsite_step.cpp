// The off-site copy after a backup: the archive's files go to the set's remote, with progress
// in the progress window and Cancel stopping the transfer.
#include "archive/volume_out.h"
#include "common/number_text.h"
#include "common/text.h"
#include "engine/backup_runner.h"
#include "offsite/offsite_copy.h"

#include <atomic>
#include <chrono>
#include <cstdio>

namespace corvane {

namespace {

// The archive's files in the order they were written: "name.z01", "name.z02"... while they are
// beside it, then the archive itself.
std::vector<std::string> archiveFiles(const FileSystem& files, const std::string& archivePath) {
    std::vector<std::string> found;
    for (std::uint32_t disk = 0;; ++disk) {
        // Volume names do not depend on the count except for the last one.
        const std::string volume = archive::volumeName(archivePath, disk, disk + 2);
        if (!files.exists(volume)) break;
        found.push_back(volume);
    }
    found.push_back(archivePath);
    return found;
}

std::string secondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds);
    return text;
}

}  // namespace

void BackupRunner::reportOffsiteFailure(const std::string& what, const Error& error) {
    const std::string reason =
        offsite::failureName(offsite::failureOf(error)) + ": " + error.description;
    m_log.line("### Off-site copy failed - " + what + " ###");
    if (m_context.flags.commandLineRun) {
        m_log.offsiteFailedBlock(error.code, reason, m_context.document.set().setPath);
        return;
    }
    m_context.host.message(Icon::Exclamation, Buttons::Ok, "Off-site Copy",
                           "Your Backup is complete, but it could not be copied off-site.\r\n\r\n" +
                               reason + ".\r\n\r\nError #: " + std::to_string(error.code));
}

bool BackupRunner::copyOffsite(const std::string& archivePath, int disksAsked) {
    const BackupSet& set = m_context.document.set();
    std::string setName = trim(set.setName);
    setName.resize(setName.size() >= 4 ? setName.size() - 4 : 0);
    const auto settings = offsite::readOffsiteSettings(m_context.programFolder, setName);
    if (!settings) {
        reportOffsiteFailure("Offsite.ini", settings.error());
        return false;
    }
    if (!*settings) return true;  // no off-site copy for this set
    const offsite::OffsiteSettings& remote = **settings;

    const std::vector<std::string> files = archiveFiles(m_context.fileSystem, archivePath);
    if (static_cast<int>(files.size()) < disksAsked + 1) {
        // The earlier volumes went away with their disks.
        reportOffsiteFailure(remote.url, offsite::failure(offsite::Failure::LocalFile,
                                                          "the archive was written across "
                                                          "removable disks, whose earlier "
                                                          "volumes are no longer here"));
        return false;
    }

    std::atomic<bool> cancel{false};
    ProgressView& view = m_context.host.progressView();
    view.open(ProgressKind::Backup, [this, &cancel] {
        m_context.host.progressView().setOperationLine(
            "Aborting current operation...Please wait...");
        cancel.store(true);
    });
    view.setOperationLine("Copying the Backup off-site to " + remote.url + "...");
    auto lastDraw = std::chrono::steady_clock::time_point{};
    const auto progress = [&](std::uint64_t done, std::uint64_t total) {
        const auto now = std::chrono::steady_clock::now();
        if (done < total && now - lastDraw < std::chrono::milliseconds(50)) return;
        lastDraw = now;
        const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
        view.setOverallProgress(percent, {}, groupedNumber(done) + " of " + groupedNumber(total),
                                {});
        m_context.host.processPendingEvents();
    };
    const auto copied = offsite::copyArchive(remote, files, progress, cancel);
    view.close();
    if (!copied) {
        reportOffsiteFailure(remote.url, copied.error());
        return false;
    }
    for (const offsite::CopiedFile& file : copied->files) {
        m_log.line("-  Copied off-site " + file.remoteAddress + " (" + groupedNumber(file.size) +
                   " bytes, " + secondsText(file.seconds) + " s)");
    }
    for (const std::string& pruned : copied->pruned) {
        m_log.line("-  Removed off-site " + pruned);
    }
    if (!copied->pruneWarning.empty()) {
        m_log.line("-  Off-site warning: " + copied->pruneWarning);
    }
    return true;
}

}  // namespace corvane
