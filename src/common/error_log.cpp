#include "common/error_log.h"

#include "common/file_io.h"
#include "common/text.h"

namespace corvane {

Status appendErrorLogBlock(const std::string& programFolder, const std::string& header,
                           const std::string& detail, const std::string& setPath, TimePoint when) {
    return appendLogLines(programFolder + "error.log",
                       {header, detail, "Backup Name: " + trim(setPath),
                        "Backup Time: " + dateTimeText(when)});
}

}  // namespace corvane
