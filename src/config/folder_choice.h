#pragma once

#include "host/host.h"

#include <string>
#include <string_view>

namespace corvane {

// Asks for a folder with the platform's chooser. The answer is cut at its first NUL, trimmed
// and given a trailing "/"; empty when the user cancelled.
std::string chooseFolderPath(Host& host, std::string_view title);

}  // namespace corvane
