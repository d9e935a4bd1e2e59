#include "app/failure_notice.h"

#include "app/program.h"
#include "archive/result_codes.h"
#include "common/text.h"

#include <sys/stat.h>

#include <cstdlib>

namespace corvane {

std::optional<FailureNotice> failureNoticeFor(const std::string& setPath, int exitCode,
                                              int archiveCode) {
    std::string reason;
    const std::string code =
        archiveCode != 0 ? " (" + std::to_string(archiveCode) + ": " +
                               archive::describeResult(archiveCode) + ")"
                         : "";
    switch (exitCode) {
        case kExitSuccess:
            if (archiveCode != archive::kDoneWithWarnings) return std::nullopt;
            reason = "The backup finished, but some files were skipped.";
            break;
        case kExitCancelled:
            return std::nullopt;
        case kExitBackupFailed:
            reason = "The backup failed" + code + ".";
            break;
        case kExitSetNotOpened:
            reason = "The Backup Set could not be opened.";
            break;
        case kExitTestFailed:
            reason = "The backup was made, but its test failed.";
            break;
        case kExitOffsiteFailed:
            reason = "The backup was made, but its off-site copy failed.";
            break;
        default:
            reason = "The backup ended with status " + std::to_string(exitCode) + ".";
            break;
    }
    std::string folder;
    std::string name = fileNameOf(trim(setPath), folder);
    if (name.empty()) name = trim(setPath);
    return FailureNotice{name, reason + " See the error log for details."};
}

bool sessionBusAvailable() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address != nullptr && *address != '\0') return true;
    // Without the variable, systemd's user bus still sits at a fixed place.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0') return false;
    struct stat info {};
    return ::stat((std::string(runtime) + "/bus").c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

std::vector<std::string> notifyFailureArguments(const FailureNotice& notice) {
    return {kNotifyFailureOption, notice.setName, notice.reason};
}

}  // namespace corvane
