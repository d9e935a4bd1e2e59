#pragma once

#include <cstdio>
#include <string>

namespace corvane {

// `corvane --offsite-check SET`: reads the set's off-site settings and tests the connection
// (a small probe object sent, listed and deleted). Prints what it did to `out` and a failure to
// `err`; returns 0 when the remote works, 5 when it does not, 3 when the set has no off-site
// copy configured.
int checkOffsite(const std::string& programFolder, const std::string& setPath, std::FILE* out,
                 std::FILE* err);

}  // namespace corvane
