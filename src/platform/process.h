#pragma once

#include <string>
#include <vector>

#include "common/result.h"

namespace corvane {

// Starts `program` with `arguments` in a session of its own and does not wait for it to end (a
// background thread reaps it, so it never lingers as a zombie). Returns its process id; fails
// when the program cannot be started (missing, not executable).
Result<int> startDetached(const std::string& program, const std::vector<std::string>& arguments);

// True when a process with this id exists.
bool processExists(int pid);

}  // namespace corvane
