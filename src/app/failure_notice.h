#pragma once

#include <optional>
#include <string>
#include <vector>

namespace corvane {

// What a desktop notification says about an unattended run that went wrong.
struct FailureNotice {
    std::string setName;  // the set file's name ("Daily.cvt")
    std::string reason;
};

// The notice an ended unattended run of `setPath` deserves: none when it succeeded cleanly or was
// cancelled. `archiveCode` is the compress step's result (527: done, but files were skipped).
std::optional<FailureNotice> failureNoticeFor(const std::string& setPath, int exitCode,
                                              int archiveCode);

// True when the environment names a session bus (a desktop session); a server or a cron job has
// none, and then nobody is notified.
bool sessionBusAvailable();

// The arguments of `corvane --notify-failure`, which shows the notice and, when it is clicked,
// the error log.
inline constexpr const char* kNotifyFailureOption = "--notify-failure";
std::vector<std::string> notifyFailureArguments(const FailureNotice& notice);

}  // namespace corvane
