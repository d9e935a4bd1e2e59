#pragma once

#include <string>
#include <utility>
#include <vector>

namespace corvane::test {

struct ProcessResult {
    int exitCode = -1;  // -1 when the program could not be started or was killed
    std::string out;
    std::string err;
};

// Runs a program to its end, with extra environment variables, and collects its output.
ProcessResult runProcess(const std::vector<std::string>& argv,
                         const std::vector<std::pair<std::string, std::string>>& environment = {});

// The path of a program this build made, such as "bin/corvane".
std::string builtProgram(const std::string& relativePath);

// Fails the running test (instead of skipping it) when an outside tool is missing.
void requireTool(const std::string& name);

}  // namespace corvane::test
