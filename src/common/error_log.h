#pragma once

#include <string>

#include "common/date_text.h"
#include "common/result.h"

namespace corvane {

// Appends one four-line block to error.log in the program folder: the header, the detail
// line, "Backup Name: " + the set path (trimmed) and "Backup Time: " + the date-time text.
Status appendErrorLogBlock(const std::string& programFolder, const std::string& header,
                           const std::string& detail, const std::string& setPath, TimePoint when);

}  // namespace corvane
