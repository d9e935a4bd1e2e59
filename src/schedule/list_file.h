#pragma once

#include "common/result.h"
#include "host/host.h"
#include "schedule/schedule_texts.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace corvane {

// Shows the box of a list window whose file could not be read or saved: `text` names what
// failed and is followed by the file's path and the error number.
void showListFileError(Host& host, std::string_view text, const std::string& path, int code);

// Creates an empty list file at `path` when none is there, so the window's file exists once it
// has been opened. A failure is passed over: saving at close reports it.
void createListFileIfMissing(const std::string& path);

// The records a list window opens with: on a read failure the box is shown and nothing is
// returned; otherwise a missing file is created empty and the records are handed on.
template <typename Records>
std::optional<Records> openListFile(Host& host, const std::string& path, Result<Records> records) {
    if (!records) {
        showListFileError(host, schedule_texts::kListReadFailedText, path, records.error().code);
        return std::nullopt;
    }
    createListFileIfMissing(path);
    return std::move(*records);
}

// After a list window saved its records at close: shows the box when `written` failed.
inline void reportListSaveFailure(Host& host, const std::string& path, const Status& written) {
    if (!written) {
        showListFileError(host, schedule_texts::kListWriteFailedText, path, written.error().code);
    }
}

}  // namespace corvane
