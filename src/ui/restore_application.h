#pragma once

#include <string>

namespace corvane::ui {

// cvrest with a display: the restore window, opening `archivePath` first when one is given
// (any volume of a split archive). Returns the program's exit status.
int runRestoreWindow(int argc, char** argv, const std::string& archivePath);

}  // namespace corvane::ui
