#include "schedule/list_file.h"

#include <unistd.h>

#include "common/file_io.h"

namespace corvane {

void showListFileError(Host& host, std::string_view text, const std::string& path, int code) {
    host.message(Icon::Exclamation, Buttons::Ok, schedule_texts::kErrorTitle,
                 schedule_texts::listFileMessage(text, path, code));
}

void createListFileIfMissing(const std::string& path) {
    if (::access(path.c_str(), F_OK) != 0) (void)createEmptyFile(path);
}

}  // namespace corvane
