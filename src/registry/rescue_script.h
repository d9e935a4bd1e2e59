#pragma once

#include <string>
#include <vector>

#include "registry/registry_files.h"

namespace corvane {

// The 38 lines of Rescue.bat, which copies the saved files from B back over the live ones and
// restores their attributes. The script is the same whichever files were found.
std::vector<std::string> rescueScriptLines(const RegistryPaths& paths);

// The lines joined, each ended by CR LF, as the file holds them.
std::string rescueScriptText(const RegistryPaths& paths);

// The one line of the rescue disk's Autoexec.bat, which calls the script in B.
std::string rescueAutoexecLine(const RegistryPaths& paths);

}  // namespace corvane
