#include "restore/cli_events.h"

#include "restore/restore_paths.h"

namespace corvane::restore {

namespace {
constexpr auto kDrawInterval = std::chrono::milliseconds(100);
}  // namespace

void CliEvents::endProgress() {
    if (!m_drawn) return;
    m_console.err("\n");
    m_drawn = false;
}

void CliEvents::progress(const RestoreProgress& progress) {
    if (!m_console.interactive()) return;
    const auto now = std::chrono::steady_clock::now();
    const bool last = progress.filesDone == progress.filesTotal;
    if (!last && now - m_lastDraw < kDrawInterval) return;
    m_lastDraw = now;
    const std::uint64_t percent =
        progress.bytesTotal == 0 ? 100 : progress.bytesDone * 100 / progress.bytesTotal;
    m_console.err("\r  " + std::to_string(progress.filesDone) + " of " +
                  std::to_string(progress.filesTotal) + " entries, " + std::to_string(percent) +
                  "%   ");
    m_drawn = true;
}

std::optional<std::string> CliEvents::password(bool again) {
    endProgress();
    if (!m_console.interactive()) {
        m_console.err(again || m_passwordGiven
                          ? "cvrest: the password is wrong\n"
                          : "cvrest: the archive is encrypted: give --password-file\n");
        return std::nullopt;
    }
    return m_console.readSecret(again ? "Wrong password. Password: " : "Password: ");
}

bool CliEvents::volumeMissing(int number, const std::string& expected, std::string& foundAt) {
    endProgress();
    // Without a terminal the reader simply looks again a few times, then gives up.
    if (!m_console.interactive()) return true;
    const std::string which = number == 0 ? "The last volume" : "Volume " + std::to_string(number);
    m_console.err(which + " is missing: " + printable(expected) +
                  "\nInsert the disk that holds it and press Enter, type where the file is, or "
                  "q to stop: ");
    const auto answer = m_console.readLine();
    if (!answer || *answer == "q") return false;
    foundAt = *answer;
    return true;
}

bool CliEvents::confirmLargeOutput(std::uint64_t bytes, std::uint64_t archiveBytes) {
    if (m_yes) return true;
    const std::string what = "The chosen entries would write " + std::to_string(bytes) +
                             " bytes from an archive of " + std::to_string(archiveBytes) + " bytes";
    if (!m_console.interactive()) {
        m_console.err("cvrest: " + what + "; give -y to restore them anyway\n");
        return false;
    }
    endProgress();
    m_console.err(what + ". Restore them? [y/N] ");
    const auto answer = m_console.readLine();
    return answer && (*answer == "y" || *answer == "Y" || *answer == "yes");
}

}  // namespace corvane::restore
