#include "config/folder_choice.h"

#include "common/text.h"

namespace corvane {

std::string chooseFolderPath(Host& host, std::string_view title) {
    std::string chosen = host.chooseFolder(title);
    if (const auto nul = chosen.find('\0'); nul != std::string::npos) chosen.resize(nul);
    chosen = trim(chosen);
    if (chosen.empty()) return chosen;
    if (!endsWith(chosen, "/")) chosen += kSeparator;
    return chosen;
}

}  // namespace corvane
